#pragma once
// TgpInplaceEdit: the grid's cell editor. It is the data edit control laid over the current cell;
// the keys that leave a cell (Enter, Esc, Tab, Up and Down) and the end of a posting are handed
// back to the grid, which decides what closes and where the cell moves next.

#include "runtime/grid/Column.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/vision/DevidEdit.h"

namespace zv {

class TDBDivoRud;

class TgpInplaceEdit : public TDBDevidEdit {
  ZV_CLASS(TgpInplaceEdit, TDBDevidEdit)

public:
  // The grid is owner and parent; the editor starts hidden.
  explicit TgpInplaceEdit(TDBDivoRud* grid);

  TDBDivoRud* Grid() const { return fGrid; }
  TgpColumn* Column() const { return fColumn; }
  // How the last edit left the cell, and the move the grid follows it with.
  TgpFieldPostCode PostCode() const { return fPostCode; }
  void SetPostCode(TgpFieldPostCode value) { fPostCode = value; }
  TgpFieldEditAction Action() const { return fAction; }
  TgpFieldEditAction PendingAction() const { return fPendingAction; }
  void SetPendingAction(TgpFieldEditAction value) { fPendingAction = value; }
  bool AlwaysShow() const { return fAlwaysShow; }

  // Binds the editor to column: field, vision, data source, font and colour.
  void Init(TgpColumn* column);
  // Lays the editor over the column's cell in the current row, clipped to the grid.
  void UpdatePosition();
  // Leaves edit mode and hides; the grid gives the focus back to itself.
  void HideEdit();

  // The grid hands on what opened the editor: a key, a character, a press at client (x, y).
  void PassKey(Word key, TShiftState shift);
  void PassChar(char32_t key);

  // The edit mode the grid opens and closes.
  void EnterEdit() { SetFocused(true); }

  bool CanModify() override;
  void DoAfterPost() override;

protected:
  void DoEscapeKey() override;
  bool DoReturnKey(TShiftState shift) override;
  bool DoArrowKey(bool up, TShiftState shift) override;
  bool DoLeftRightKey(bool left) override;
  bool DoTabKey(TShiftState shift) override;
  void DoMouseWheelMsg(TMessage& message) override;
  // The column's alignment, else the vision's default, else the grid's.
  bool UpdateVertAlignment() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(Word& key, TShiftState shift) override;

private:
  bool MultiLineVision();
  // Asks the grid to close with action, remembering how the cell was left.
  void Leave(TgpFieldPostCode code, TgpFieldEditAction action);

  TDBDivoRud* fGrid;
  TgpColumn* fColumn = nullptr;
  TgpFieldPostCode fPostCode = fpcUnknown;
  TgpFieldEditAction fAction = feaNone;
  TgpFieldEditAction fPendingAction = feaNone;
  bool fAlwaysShow = false;
  bool fCloseOnKeyUp = false;  // a character chose an action: the release closes the editor
};

}  // namespace zv
