// TgpInplaceEdit: binding to a column, placing over the cell, and the keys that hand the cell
// back to the grid.
#include "runtime/grid/InplaceEdit.h"

#include "platform/controls/WinApi.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/PaintRecords.h"

namespace zv {

ZV_DEFINE_CLASS(TgpInplaceEdit, TDBDevidEdit)

TgpInplaceEdit::TgpInplaceEdit(TDBDivoRud* grid) : TDBDevidEdit(grid, true), fGrid(grid) {
  SetVisible(false);
  SetBorderStyle(bsNoBorder);
  SetAutoSelect(false);
  SetAutoSize(false);
  SetWantReturns(true);
  SetWantTabs(true);
  SetParent(grid);
}

void TgpInplaceEdit::Init(TgpColumn* column) {
  // The option alone is not enough: under an insensitive cursor, or without data rows, the editor
  // is an ordinary one and keeps its keys.
  fAlwaysShow = fGrid->AlwaysShowEditor();
  fPostCode = fpcUnknown;
  fAction = feaNone;
  fPendingAction = feaNone;
  fCloseOnKeyUp = false;
  fColumn = column;
  Font()->Assign(fGrid->Font());
  if (column->HasFont()) column->Font()->CopyTo(*Font());
  SetColor(column->Color() == clNone ? fGrid->Color() : column->Color());
  SetFieldsLock(true);
  try {
    SetVision(column->Vision());
    SetDataField(column->FieldName());
    SetDataSource(fGrid->DataSource());
  } catch (...) {
    SetFieldsLock(false);
    throw;
  }
  SetFieldsLock(false);
  UpdateFields();
  if (fAlwaysShow && Focused()) {
    // The editor stays up from cell to cell: edit mode starts afresh for the new field.
    SetFocused(false);
    SetFocused(true);
  }
}

bool TgpInplaceEdit::UpdateVertAlignment() {
  TvpDefLayout layout = fColumn ? fColumn->VertAlignment() : tlaDefault;
  if (layout == tlaDefault)
    if (TvpFieldVision* vision = Fields().Vision()) layout = vision->DefaultLayout(Fields());
  TLayout value = fGrid->VertAlignment();
  switch (layout) {
    case tlaTop: value = tlTop; break;
    case tlaCenter: value = tlCenter; break;
    case tlaBottom: value = tlBottom; break;
    case tlaDefault: break;
  }
  if (value == Fields().Layout()) return false;
  Fields().SetLayout(value);
  return true;
}

void TgpInplaceEdit::UpdatePosition() {
  if (!fColumn) return;
  if (TgpDesigner* designer = fGrid->EffectiveDesigner()) {
    const TgpCellMargins* m = designer->CellMargins();
    SetTextMargins({m->LeftMargin(), m->TopMargin(), m->RightMargin(), m->BottomMargin()});
  }
  TRect cell = fGrid->CellClientRect(fColumn, fGrid->CurrentRow(), false);
  const TRect client = fGrid->GetClientRect();
  cell.Left = std::max(cell.Left, client.Left);
  cell.Top = std::max(cell.Top, client.Top);
  cell.Right = std::min(cell.Right, client.Right);
  cell.Bottom = std::min(cell.Bottom, client.Bottom);
  SetBounds(cell.Left, cell.Top, std::max(0, cell.Right - cell.Left), std::max(0, cell.Bottom - cell.Top));
}

void TgpInplaceEdit::HideEdit() {
  CancelMode(nullptr);
  SetFocused(false);
  SetVisible(false);
}

void TgpInplaceEdit::PassKey(Word key, TShiftState shift) {
  KeyDown(key, shift);
  if (key != 0) KeyUp(key, shift);
}

void TgpInplaceEdit::PassChar(char32_t key) {
  if (HandleAllocated()) Perform(WM_CHAR, static_cast<WPARAM>(key), 0);
}

bool TgpInplaceEdit::CanModify() { return !ReadOnly(); }

void TgpInplaceEdit::DoAfterPost() {
  fAction = fPendingAction;
  fGrid->FireAfterFieldPost(fColumn, fPostCode, fAction);
  fPendingAction = fAction;
}

bool TgpInplaceEdit::MultiLineVision() {
  TvpFieldVision* vision = CurVision();
  return vision && vision->MultiLine();
}

void TgpInplaceEdit::Leave(TgpFieldPostCode code, TgpFieldEditAction action) {
  fPostCode = code;
  fGrid->CloseEdit(action, true);  // an always-shown editor stays
}

// ---- Keys ---------------------------------------------------------------------------------------

void TgpInplaceEdit::KeyDown(Word& key, TShiftState shift) {
  const TShiftState mods = shift * TShiftState{ssShift, ssCtrl, ssAlt};
  if (fAlwaysShow && !Fields().Modified()) {
    const bool paging = key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_END;
    const bool plain = mods.Empty() && (key == VK_RETURN || key == VK_ESCAPE || key == VK_INSERT);
    if (paging || plain) {
      Word passed = key;
      key = 0;
      fGrid->KeyDown(passed, shift);
      return;
    }
  }
  fPendingAction = feaNone;
  TDBDevidEdit::KeyDown(key, shift);
}

void TgpInplaceEdit::KeyPress(char32_t& key) {
  fPendingAction = feaNone;
  TgpFieldEditAction action = feaNone;
  bool handleKey = false;
  // Backspace is asked about too, but it is always typed.
  const bool backspace = key == 8;
  if (fGrid->OnEditKeyPress) fGrid->OnEditKeyPress(fGrid, fColumn, key, action, handleKey);
  if (backspace || handleKey || action == feaNone)
    TDBDevidEdit::KeyPress(key);
  else
    key = 0;  // the character chose where to go instead of being typed
  if (action == feaNone) return;
  // A chosen action closes the editor at the release, also after a character that was typed.
  fPendingAction = action;
  fPostCode = fpcCharKey;
  fCloseOnKeyUp = true;
}

void TgpInplaceEdit::KeyUp(Word& key, TShiftState shift) {
  if (!fCloseOnKeyUp) return TDBDevidEdit::KeyUp(key, shift);
  fCloseOnKeyUp = false;
  key = 0;
  Leave(fpcCharKey, fPendingAction);
}

void TgpInplaceEdit::DoEscapeKey() {
  if (CloseToolForm(false)) return;
  Leave(fpcUnknown, feaCancel);
}

bool TgpInplaceEdit::DoReturnKey(TShiftState shift) {
  if (CloseToolForm(true)) return true;
  if (MultiLineVision()) {
    TvpFieldVision* vision = CurVision();
    const TShiftState mods = shift * TShiftState{ssShift, ssCtrl, ssAlt};
    // A multi-line vision keeps Enter as a new line.
    if ((vision->WantReturns() && mods.Empty()) || (!vision->WantReturns() && mods == TShiftState{ssCtrl}))
      return false;
  }
  Leave(fpcReturnKey, feaPost);
  return true;
}

bool TgpInplaceEdit::DoTabKey(TShiftState shift) {
  TDBDevidEdit::DoTabKey(shift);
  if (MultiLineVision()) {
    TvpFieldVision* vision = CurVision();
    const TShiftState mods = shift * TShiftState{ssShift, ssCtrl, ssAlt};
    if ((vision->WantTabs() && mods.Empty()) || (!vision->WantTabs() && mods == TShiftState{ssCtrl})) return false;
  }
  Leave(fpcTabKey, shift.Contains(ssShift) ? feaPrevTab : feaNextTab);
  return true;
}

bool TgpInplaceEdit::DoArrowKey(bool up, TShiftState shift) {
  if (MultiLineVision()) return false;
  // Ctrl+Up and Ctrl+Down spin; plain Up and Down leave the cell.
  if (shift.Contains(ssCtrl) && TDBDevidEdit::DoArrowKey(up, shift)) return true;
  Leave(fpcArrowKey, up ? feaMoveUp : feaMoveDown);
  return true;
}

bool TgpInplaceEdit::DoLeftRightKey(bool left) {
  if (!CustomSurface() && !(fAlwaysShow && !Fields().Modified())) return false;
  fGrid->SelectCell(left ? feaMoveLeft : feaMoveRight, false);
  return true;
}

void TgpInplaceEdit::DoMouseWheelMsg(TMessage& message) { fGrid->Perform(message.Msg, message.WParam, message.LParam); }

}  // namespace zv
