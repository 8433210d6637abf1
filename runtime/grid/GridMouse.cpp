// The mouse: presses on cells, the click event, double clicks and clicks that pick a record up,
// tracking the record under the mouse, and the context menus.
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/rtm/InputRoutines.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

bool TDBDivoRud::RowSelected(int row) {
  if (row < 0 || row >= fDataLink->RecordCount()) return false;
  const int saved = fDataLink->ActiveRecord();
  if (row == saved) return fSelection->RecordSelected();
  TActiveRecordScope record(*fDataLink);
  fDataLink->SetActiveRecord(row);
  const bool selected = fSelection->RecordSelected();
  record.Restore();
  return selected;
}

void TDBDivoRud::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  fAutoSearch->Cancel();
  fClickHandled = false;
  fEditOnMouseUp = false;
  fClearOnMouseUp = false;
  const bool hadFocus = fHasFocus;
  const bool manySelected = fSelection->Count() > 1;
  if ((button == mbLeft || button == mbRight) && IsRuntimeMode() && !Focused() && CanFocus()) SetFocus();
  TCustomControl::MouseDown(button, shift, x, y);
  const bool dbl = shift.Contains(ssDouble);
  if (!fColumns->HasGroups()) {
    if (dbl && button == mbLeft) TControl::DblClick();
    return;
  }
  DoMouseMove(x, y);
  if (button == mbLeft && fTitleTracker->StartSizingOrTitleClick(shift, x, y)) {
    fTitleTracker->UpdateCursorShape();
    return;
  }
  fTitleTracker->UpdateCursorShape();
  if (!HasActiveDataSet() || fGridState != gsNormal) return;
  const TgpGridHit hit = fHover;
  const bool onRecord = hit.Area == gaCell && fHoverColumn && hit.Row < fDataLink->RecordCount();
  const bool wasCurrentCell = onRecord && hit.Column == fCol && hit.Row == fCurrentRow;
  const bool wasCurrentRow = onRecord && hit.Row == fCurrentRow;
  bool mayDrag = false;
  if ((button == mbLeft || button == mbRight) && onRecord) {
    fClickedColumn = fHoverColumn;
    const int target = fHoverColumn->Selectable() ? hit.Column : fCol;
    TgpUserActions bits;
    if (!EditorVisible() || AlwaysShowEditor()) {
      if (shift.Contains(ssShift))
        bits = {uaRange};
      else if (shift.Contains(ssCtrl))
        bits = fSelection->Empty() && hit.Row != fCurrentRow ? TgpUserActions{uaToggle, uaSelectOld} : TgpUserActions{uaToggle};
      else if (button == mbLeft)
        bits = {uaClear};
    }
    if (DragMode() == dmAutomatic && button == mbLeft) {
      mayDrag = fTitleTracker->DragMayStart(x, y);
      // A press on a selected record may begin dragging the selection: keep it until the release.
      if (bits == TgpUserActions{uaClear} && RowSelected(hit.Row)) {
        bits = {};
        fClearOnMouseUp = true;
      }
    }
    if (target != fCol || hit.Row != fCurrentRow || !bits.Empty()) {
      if (hit.Row != fCurrentRow) bits.Include(uaRow);
      DoUserActions(bits, hit.Row - (fCurrentRow >= 0 ? fCurrentRow : 0), target);
    }
    if (fOptionsPickup.Contains(gpoCaptureRecord)) CreateAutoScroller();
  }
  if (hit.Area == gaUndefined && hadFocus) CloseEdit(feaPost, false);
  bool handled = false;
  if (OnClick) OnClick(this, x, y, shift, false, handled);
  fClickHandled = handled;
  if (handled) return;
  if (button == mbLeft && dbl && DoPickupInt(gpoDblClick, true)) return;
  if (button == mbRight) {
    if (hit.Area == gaCell && fHoverColumn)
      DoPopupMenu(fHoverColumn, x, y);
    else if (hit.Area == gaFooter && fHoverColumn)
      fTitleTracker->FooterMenu(fHoverColumn, x, y);
    else if (hit.Area == gaUndefined)
      DoPopupMenu(nullptr, x, y);
    return;
  }
  if (!fHoverColumn || button != mbLeft || !onRecord || fCurrentRow < 0) return;
  TvpFieldVision* vision = fHoverColumn->CurVision();
  const bool switches = vision && vision->EnableSwitches();
  if (!switches) {
    if (fHoverColumn != fCurrentColumn || DoQuickEdit(fCurrentColumn, geoNoQuickEditByClick) || !hadFocus) return;
    const bool plain = (shift - TShiftState{ssLeft, ssDouble}).Empty();
    // A first click only moves to the cell; a click on the cell already current edits it.
    if (plain && wasCurrentCell && !RowSelected(hit.Row) && !manySelected) {
      if (mayDrag)
        fEditOnMouseUp = true;
      else
        Edit();
    }
    return;
  }
  if ((wasCurrentCell && hadFocus) || !vision->OptionsSwitch().Contains(vsoNeedCurrent)) {
    int px = x, py = y;
    if (!wasCurrentRow) {
      // The editor comes up on the new row: the pointer goes where the switch will be.
      py += fLayout.RowHeight / 2;
      const TPoint p = ClientToScreen({px, py});
      SetCursorPos(p.X, p.Y);
    }
    ActivateEdit(fHoverColumn);
    PassMouseToEditor(button, shift, px, py);
  }
}

void TDBDivoRud::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  DestroyAutoScroller();
  TCustomControl::MouseUp(button, shift, x, y);
  if (fGridState != gsNormal) return;
  if (fClearOnMouseUp) {
    fClearOnMouseUp = false;
    if (!fTitleTracker->Dragging()) fSelection->Clear(true);
  }
  if (fEditOnMouseUp) {
    fEditOnMouseUp = false;
    if (!fTitleTracker->Dragging()) Edit();
  }
  bool handled = false;
  if (fClickHandled) {
    fClickHandled = false;
    if (OnClick) OnClick(this, x, y, shift, true, handled);
  }
  if (handled || button != mbLeft || !fColumns->HasGroups()) return;
  const TgpGridHit hit = PointToCell(x, y);
  const bool overCurrent = hit.Area == gaCell && fCurrentRow >= 0 && hit.Row == fCurrentRow;
  DoPickupInt(gpoClick, GetHasCurrent() && overCurrent);
}

void TDBDivoRud::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  DoMouseMove(x, y);
  if (!IsRuntimeMode() || !HasActiveDataSet() || fGridState != gsNormal) return;
  const bool track =
      fOptionsPickup.Contains(gpoMouseTrack) || (fOptionsPickup.Contains(gpoCaptureRecord) && AutoScrolling());
  if (!track || fHover.Area != gaCell) return;
  if (fOverPrevPos.Area == gaCell && fOverPrevPos.Row == fHover.Row) return;
  if (fHover.Row >= fDataLink->RecordCount()) return;
  const int old = fCurrentRow;
  fDataSet->MoveBy(fHover.Row - fDataLink->ActiveRecord());
  fCurrentRecShot->Select(true);
  SetCurrentRow(fDataLink->ActiveRecord());
  InvalidateRow(old);
  InvalidateRow(fCurrentRow);
  if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
}

void TDBDivoRud::CMMouseEnter(TMessage& message) { TCustomControl::CMMouseEnter(message); }

void TDBDivoRud::CMMouseLeave(TMessage& message) {
  if (message.LParam == 0) {
    fOverPrevPos = {fHover.Area, fHover.Column, fHover.Row};
    fHover = {};
    fHoverColumn = nullptr;
  }
  TCustomControl::CMMouseLeave(message);
  if (message.LParam == 0 && AutoScrolling() && fOptionsPickup.Contains(gpoCaptureRecord)) {
    fCurrentRecShot->Deselect(true);
    InvalidateRows();
  }
}

// ---- Menus ----------------------------------------------------------------------------------------

void TDBDivoRud::DoPopupMenu(TgpColumn* column, int x, int y) {
  fClickedColumn = column;
  TPopupMenu* menu = PopupMenu();
  if (!menu && column) menu = column->PopupMenu();
  if (!menu) return;
  if (x == -1 && y == -1) {
    // From the keyboard: under the current cell, else at the top left of the rows.
    const TRect cell = column && fCurrentRow >= 0 ? CellClientRect(column, fCurrentRow, false) : TRect{};
    x = cell.IsEmpty() ? 0 : cell.Left;
    y = cell.IsEmpty() ? fLayout.TitleArea : cell.Bottom;
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
