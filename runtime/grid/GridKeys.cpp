// The keyboard: the key table, typing that starts editing, which keys the grid takes from its
// form, and the menus' short-cuts.
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

namespace {

bool Editing(const TDataSet* dataSet) {
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

constexpr Word kF2 = VK_F1 + 1;

// Shift, Ctrl or Alt alone (either side).
bool IsModifierKey(Word key) { return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || (key >= 0xA0 && key <= 0xA5); }

}  // namespace

bool TDBDivoRud::NavigationKey(Word key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  const bool withShift = shift.Contains(ssShift);
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_TAB:
    case VK_INSERT:
      // The keys that move start from the marked record; a mark that cannot be reached swallows them.
      if (!SyncCursors(true)) return true;
      break;
    default: break;
  }
  TgpUserActions range;
  if (withShift && (key == VK_PRIOR || key == VK_NEXT || (ctrl && (key == VK_HOME || key == VK_END)))) {
    if (!d->Selection->HasAnchor()) d->Selection->SetAnchor(d->DataSet->Bookmark());
    range = {uaRange};
  }
  const int first = d->Columns->GetSelectableCount() > 0 ? d->Columns->GetSelectable(0)->Index() : -1;
  const int last =
      d->Columns->GetSelectableCount() > 0 ? d->Columns->GetSelectable(d->Columns->GetSelectableCount() - 1)->Index() : -1;
  const int current = d->CurrentRow >= 0 ? d->CurrentRow : 0;
  const int rows = RowCount();
  switch (key) {
    case VK_TAB:
      if (ctrl) return false;
      SelectCell(withShift ? feaPrevTab : feaNextTab, false);
      return true;
    case VK_RETURN:
      if (ctrl) return false;
      if (Editing(d->DataSet) || EditorVisible()) {
        PostChanges();
        return true;
      }
      return DoPickupInt(gpoReturnKey, true);
    case VK_ESCAPE:
      if (ctrl) return false;
      CancelChanges();
      return true;
    case VK_PRIOR:
      if (ctrl)
        DoUserActions({uaRow}, -current, d->Col);
      else
        DoUserActions(TgpUserActions{uaRow} + range, -(rows - 1) - current, d->Col);
      return true;
    case VK_NEXT:
      if (ctrl)
        DoUserActions({uaRow}, d->DataLink->RecordCount() - 1 - current, d->Col);
      else
        DoUserActions(TgpUserActions{uaRow} + range, 2 * (rows - 1) - current, d->Col);
      return true;
    case VK_HOME:
      if (ctrl)
        DoUserActions(TgpUserActions{uaFirst} + range, 0, d->Col);
      else if (first >= 0)
        DoUserActions({}, 0, first);
      return true;
    case VK_END:
      if (ctrl)
        DoUserActions(TgpUserActions{uaLast} + range, 0, d->Col);
      else if (last >= 0)
        DoUserActions({}, 0, last);
      return true;
    case VK_LEFT:
      if (ctrl) {
        if (first >= 0) DoUserActions({}, 0, first);
      } else {
        SelectCell(feaMoveLeft, false);
      }
      return true;
    case VK_RIGHT:
      if (ctrl) {
        if (last >= 0) DoUserActions({}, 0, last);
      } else {
        SelectCell(feaMoveRight, false);
      }
      return true;
    case VK_UP:
    case VK_DOWN:
      if (ctrl) return false;
      SelectCell(key == VK_UP ? feaMoveUp : feaMoveDown, withShift);
      return true;
    case VK_INSERT:
      if (ctrl || withShift || shift.Contains(ssAlt)) return false;
      InsertRecord(false);
      return true;
    case VK_APPS:
      if (ctrl) return false;
      DoPopupMenu(d->CurrentColumn, -1, -1);
      return true;
    case 'A':
      // Ctrl+A selects every record (a menu's Ctrl+A was offered the key first).
      if (!ctrl || withShift || shift.Contains(ssAlt) || !d->MultiSelect) return false;
      SelectAll();
      return true;
    default: return false;
  }
}

void TDBDivoRud::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  // Esc while a boundary is held drops the drag, and only that.
  if (key == VK_ESCAPE && d->GridState == gsColSizing) {
    d->TitleTracker->CancelSizing();
    key = 0;
    return;
  }
  if (key == 0 || !HasActiveDataSet() || !d->Columns->HasGroups()) return;
  bool handled = NavigationKey(key, shift);
  const TShiftState mods = shift * TShiftState{ssShift, ssCtrl, ssAlt};
  if (!handled && d->CurrentColumn) {
    TvpFieldVision* vision = d->CurrentColumn->CurVision();
    if (key != 0 && d->ParamsDelete->DeleteRecordsInt(key, shift)) {
      handled = true;
    } else if (vision && vision->EnableSwitches() && d->CurrentRow == d->DataLink->ActiveRecord() && !IsModifierKey(key)) {
      // The switch takes the key itself: its character must not reach the grid as typing.
      if (HandleAllocated()) {
        TMsg pending;
        PeekMessage(pending, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
      }
      ActivateEdit(d->CurrentColumn);
      PassKeyToEditor(key, shift);
      handled = true;
    } else if (key == kF2 && mods.Empty()) {
      Edit();
      handled = true;
    }
  }
  if (handled) {
    d->AutoSearch->Cancel();
    key = 0;
    return;
  }
  if ((mods.Empty() || mods == TShiftState{ssShift}) && key >= 32 && key <= 255 && d->AutoSearch->Enabled() &&
      !d->AutoSearch->Active())
    d->AutoSearch->Start();
}

void TDBDivoRud::KeyPress(char32_t& key) {
  TCustomControl::KeyPress(key);
  if (key == 0 || !HasActiveDataSet() || EditorVisible() || !d->CurrentColumn) return;
  if (d->AutoSearch->Active()) {
    if (key > 31 || key == 8) d->AutoSearch->KeyPress(key);
    return;
  }
  if (key <= 31) return;
  TvpFieldVision* vision = d->CurrentColumn->CurVision();
  if (!vision || vision->SurfaceKind() != vskEdit) return;
  const char32_t typed = key;
  if (!Edit()) return;
  key = 0;
  // The character starts the editor's text, ahead of whatever was typed after it (which the
  // editor finds in its queue).
  PassCharToEditor(typed);
}

// ---- What the grid takes from its form -------------------------------------------------------------

void TDBDivoRud::WMGetDlgCode(TMessage& message) {
  unsigned code = DLGC_WANTARROWS;
  if (d->WantTabs && !d->RowSelect) code |= DLGC_WANTTAB;
  if (!d->ReadOnly || d->AutoSearch->Enabled() || d->WantReturns) code |= DLGC_WANTCHARS;
  message.Result = static_cast<LRESULT>(code);
}

void TDBDivoRud::CMWantSpecialKey(TWMKey& message) {
  const Word key = message.CharCode();
  const bool editing = Editing(d->DataSet) || EditorVisible();
  if ((key == VK_ESCAPE && editing) || (key == VK_RETURN && (d->WantReturns || editing))) {
    message.Result = 1;
    return;
  }
  TCustomControl::CMWantSpecialKey(message);
}

// ---- Menus by key ------------------------------------------------------------------------------------

bool TDBDivoRud::IsMenuKey(Word key, TShiftState shift) {
  for (TPopupMenu* menu : {d->CurrentColumn ? d->CurrentColumn->PopupMenu() : nullptr, PopupMenu()}) {
    if (!menu) continue;
    if (TMenuItem* item = menu->FindShortCut(key, shift)) {
      item->Click();
      return true;
    }
  }
  return false;
}

void TDBDivoRud::WMKeyDown(TWMKey& message) {
  const TShiftState shift = KeyDataToShiftState(message.KeyData());
  if (IsMenuKey(message.CharCode(), shift) || d->AutoSearch->IsShortCut(message.CharCode(), shift)) {
    message.Result = 0;
    return;
  }
  TCustomControl::WMKeyDown(message);
}

void TDBDivoRud::WMSysKeyDown(TWMKey& message) {
  const TShiftState shift = KeyDataToShiftState(message.KeyData());
  if (IsMenuKey(message.CharCode(), shift) || d->AutoSearch->IsShortCut(message.CharCode(), shift)) {
    message.Result = 0;
    return;
  }
  TCustomControl::WMSysKeyDown(message);
}

}  // namespace zv
