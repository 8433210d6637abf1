// The mouse: presses on cells, the click event, double clicks and clicks that pick a record up,
// tracking the record under the mouse, and the context menus.
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/rtm/InputRoutines.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

bool TDBDivoRud::RowSelected(int row) {
  if (row < 0 || row >= d->DataLink->RecordCount()) return false;
  const int saved = d->DataLink->ActiveRecord();
  if (row == saved) return d->Selection->RecordSelected();
  TActiveRecordScope record(*d->DataLink);
  d->DataLink->SetActiveRecord(row);
  const bool selected = d->Selection->RecordSelected();
  record.Restore();
  return selected;
}

void TDBDivoRud::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  d->AutoSearch->Cancel();
  d->ClickHandled = false;
  d->EditOnMouseUp = false;
  d->ClearOnMouseUp = false;
  const bool hadFocus = d->HasFocus;
  const bool manySelected = d->Selection->Count() > 1;
  if ((button == mbLeft || button == mbRight) && IsRuntimeMode() && !Focused() && CanFocus()) SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
  const bool dbl = shift.Contains(ssDouble);
  if (!d->Columns->HasGroups()) {
    if (dbl && button == mbLeft) TControl::DblClick();
    return;
  }
  DoMouseMove(x, y);
  if (button == mbLeft && d->TitleTracker->StartSizingOrTitleClick(shift, x, y)) {
    d->TitleTracker->UpdateCursorShape();
    return;
  }
  d->TitleTracker->UpdateCursorShape();
  if (!HasActiveDataSet() || d->GridState != gsNormal) return;
  const TgpGridHit hit = d->Hover;
  const bool onRecord = hit.Area == gaCell && d->HoverColumn && hit.Row < d->DataLink->RecordCount();
  const bool wasCurrentCell = onRecord && hit.Column == d->Col && hit.Row == d->CurrentRow;
  const bool wasCurrentRow = onRecord && hit.Row == d->CurrentRow;
  bool mayDrag = false;
  if ((button == mbLeft || button == mbRight) && onRecord) {
    d->ClickedColumn = d->HoverColumn;
    const int target = d->HoverColumn->Selectable() ? hit.Column : d->Col;
    TgpUserActions bits;
    if (!EditorVisible() || AlwaysShowEditor()) {
      if (shift.Contains(ssShift)) {
        bits = {uaRange};
        // From nothing selected, the range starts at the record current before the click.
        if (d->Selection->Empty() && !d->Selection->HasAnchor() && d->CurrentRecShot->HasRecord())
          d->Selection->SetAnchor(d->CurrentRecShot->GetBookmarkPtr());
      }
      else if (shift.Contains(ssCtrl))
        bits = d->Selection->Empty() && hit.Row != d->CurrentRow ? TgpUserActions{uaToggle, uaSelectOld} : TgpUserActions{uaToggle};
      else if (button == mbLeft)
        bits = {uaClear};
    }
    if (DragMode() == dmAutomatic && button == mbLeft) {
      mayDrag = d->TitleTracker->DragMayStart(x, y);
      // A press on a selected record may begin dragging the selection: keep it until the release.
      if (bits == TgpUserActions{uaClear} && RowSelected(hit.Row)) {
        bits = {};
        d->ClearOnMouseUp = true;
      }
    }
    if (target != d->Col || hit.Row != d->CurrentRow || !bits.Empty()) {
      if (hit.Row != d->CurrentRow) bits.Include(uaRow);
      DoUserActions(bits, hit.Row - (d->CurrentRow >= 0 ? d->CurrentRow : 0), target);
    }
    if (d->OptionsPickup.Contains(gpoCaptureRecord)) CreateAutoScroller();
  }
  if (hit.Area == gaUndefined && hadFocus) CloseEdit(feaPost, false);
  bool handled = false;
  if (OnClick) OnClick(this, x, y, shift, false, handled);
  d->ClickHandled = handled;
  if (handled) return;
  if (button == mbLeft && dbl && DoPickupInt(gpoDblClick, true)) return;
  if (button == mbRight) {
    if (hit.Area == gaCell && d->HoverColumn)
      DoPopupMenu(d->HoverColumn, x, y);
    else if (hit.Area == gaFooter && d->HoverColumn)
      d->TitleTracker->FooterMenu(d->HoverColumn, x, y);
    else if (hit.Area == gaUndefined)
      DoPopupMenu(nullptr, x, y);
    return;
  }
  if (!d->HoverColumn || button != mbLeft || !onRecord || d->CurrentRow < 0) return;
  TvpFieldVision* vision = d->HoverColumn->CurVision();
  const bool switches = vision && vision->EnableSwitches();
  if (!switches) {
    if (d->HoverColumn != d->CurrentColumn || DoQuickEdit(d->CurrentColumn, geoNoQuickEditByClick) || !hadFocus) return;
    const bool plain = (shift - TShiftState{ssLeft, ssDouble}).Empty();
    // A first click only moves to the cell; a click on the cell already current edits it.
    if (plain && wasCurrentCell && !RowSelected(hit.Row) && !manySelected) {
      if (mayDrag)
        d->EditOnMouseUp = true;
      else
        Edit();
    }
    return;
  }
  if ((wasCurrentCell && hadFocus) || !vision->OptionsSwitch().Contains(vsoNeedCurrent)) {
    int px = x, py = y;
    if (!wasCurrentRow) {
      // The editor comes up on the new row: the pointer goes where the switch will be.
      py += d->Layout.RowHeight / 2;
      const TPoint p = ClientToScreen({px, py});
      SetCursorPos(p.X, p.Y);
    }
    ActivateEdit(d->HoverColumn);
    PassMouseToEditor(button, shift, px, py);
  }
}

void TDBDivoRud::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  DestroyAutoScroller();
  TCustomControl::MouseUp(button, shift, x, y);
  if (button == mbLeft && d->TitleTracker->DesignDragEnd(x, y)) return;
  if (button == mbLeft) d->TitleTracker->ReleasePending();
  if (d->GridState == gsColSizing) {
    if (button == mbLeft) d->TitleTracker->EndSizing(x, y);
    return;
  }
  if (d->GridState == gsTitleClick) {
    if (button == mbLeft) d->TitleTracker->EndTitleClick(shift, x, y);
    return;
  }
  if (d->GridState != gsNormal) return;
  if (d->ClearOnMouseUp) {
    d->ClearOnMouseUp = false;
    if (!d->TitleTracker->Dragging()) d->Selection->Clear(true);
  }
  if (d->EditOnMouseUp) {
    d->EditOnMouseUp = false;
    if (!d->TitleTracker->Dragging()) Edit();
  }
  bool handled = false;
  if (d->ClickHandled) {
    d->ClickHandled = false;
    if (OnClick) OnClick(this, x, y, shift, true, handled);
  }
  if (handled || button != mbLeft || !d->Columns->HasGroups()) return;
  const TgpGridHit hit = PointToCell(x, y);
  const bool overCurrent = hit.Area == gaCell && d->CurrentRow >= 0 && hit.Row == d->CurrentRow;
  DoPickupInt(gpoClick, GetHasCurrent() && overCurrent);
}

void TDBDivoRud::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  DoMouseMove(x, y);
  if (d->TitleTracker->MouseMove(shift, x, y)) return;
  if (!IsRuntimeMode() || !HasActiveDataSet() || d->GridState != gsNormal) return;
  const bool track =
      d->OptionsPickup.Contains(gpoMouseTrack) || (d->OptionsPickup.Contains(gpoCaptureRecord) && AutoScrolling());
  if (!track || d->Hover.Area != gaCell) return;
  if (d->OverPrevPos.Area == gaCell && d->OverPrevPos.Row == d->Hover.Row) return;
  if (d->Hover.Row >= d->DataLink->RecordCount()) return;
  const int old = d->CurrentRow;
  d->DataSet->MoveBy(d->Hover.Row - d->DataLink->ActiveRecord());
  d->CurrentRecShot->Select(true);
  SetCurrentRow(d->DataLink->ActiveRecord());
  InvalidateRow(old);
  InvalidateRow(d->CurrentRow);
  if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
}

void TDBDivoRud::CMMouseEnter(TMessage& message) { TCustomControl::CMMouseEnter(message); }

void TDBDivoRud::CMMouseLeave(TMessage& message) {
  if (message.LParam == 0 && d->GridState == gsAboutColSizing) d->GridState = gsNormal;
  if (message.LParam == 0) {
    d->OverPrevPos = {d->Hover.Area, d->Hover.Column, d->Hover.Row};
    d->Hover = {};
    d->HoverColumn = nullptr;
  }
  TCustomControl::CMMouseLeave(message);
  if (message.LParam == 0 && AutoScrolling() && d->OptionsPickup.Contains(gpoCaptureRecord)) {
    d->CurrentRecShot->Deselect(true);
    InvalidateRows();
  }
}

// ---- Menus ----------------------------------------------------------------------------------------

void TDBDivoRud::DoPopupMenu(TgpColumn* column, int x, int y) {
  d->ClickedColumn = column;
  TPopupMenu* menu = PopupMenu();
  if (!menu && column) menu = column->PopupMenu();
  if (!menu) return;
  if (x == -1 && y == -1) {
    // From the keyboard: under the current cell, else at the top left of the rows.
    const TRect cell = column && d->CurrentRow >= 0 ? CellClientRect(column, d->CurrentRow, false) : TRect{};
    x = cell.IsEmpty() ? 0 : cell.Left;
    y = cell.IsEmpty() ? d->Layout.TitleArea : cell.Bottom;
  }
  menu->SetPopupComponent(this);
  const TPoint p = ClientToScreen({x, y});
  menu->Popup(p.X, p.Y);
  ProcessCommandMsg();
}

// The grid pops its menus itself, on the press and the Applications key: the request the host
// makes of the release is answered, so one gesture shows one menu.
void TDBDivoRud::WMContextMenu(TMessage& message) { message.Result = 1; }

}  // namespace zv
