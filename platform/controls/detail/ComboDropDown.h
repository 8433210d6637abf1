#pragma once
// The list a combo box drops down: a top-level pop-up window owned by the combo box's form, so
// it never takes the activation and the combo box keeps the focus (and the keys, which it hands
// to the list while the list is open).
//
// While open the list holds the mouse capture: a press outside it closes it (the press is used
// up by that), a press on its scroll bar scrolls, hovering highlights, and a release over an item
// chooses it, once the mouse has been in the list since it opened.

#include "platform/controls/CustomControl.h"

namespace zv {

class TCustomComboBox;

class TComboDropDown : public TCustomControl {
  ZV_CLASS(TComboDropDown, TCustomControl)

public:
  explicit TComboDropDown(TCustomComboBox* combo);
  ~TComboDropDown() override;

  // Sizes the list to the combo box's items (at most DropDownCount rows, a scroll bar past
  // that), places it under the combo box (above when the work area ends first), shows it with
  // the chosen item highlighted and takes the mouse.
  void Open();
  // Hides it and gives the mouse back.
  void Close();

  int RowHeight() const { return fRowHeight; }
  int VisibleRows() const { return fVisibleRows; }
  int TopIndex() const { return fTopIndex; }
  // Clamped so that the last page stays full.
  void SetTopIndex(int index);
  // The highlighted item (-1 for none); setting it scrolls it into view.
  int Highlighted() const { return fHighlighted; }
  void SetHighlighted(int index);
  // The item's row in client coordinates; empty when it is scrolled out of view.
  TRect ItemRect(int index) const;
  // The item at a client point, -1 when none is there.
  int ItemAtPos(TPoint pos) const;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WndProc(TMessage& message) override;

private:
  int ItemCount() const;
  void UpdateScrollBar();
  void Mouse(unsigned msg, TPoint pos);
  // A press at a window point on the scroll bar: scrolls; true when it was on the bar.
  bool BarPress(TPoint windowPos);
  void Scroll(int code, int trackPos);

  TCustomComboBox* fCombo;
  int fRowHeight = 16;
  int fVisibleRows = 0;
  int fTopIndex = 0;
  int fHighlighted = -1;
  bool fArmed = false;         // the mouse was in the list or went down there since it opened
  bool fThumbTracking = false;
  int fThumbGrab = 0;          // where on the thumb it was taken, along the bar
};

}  // namespace zv
