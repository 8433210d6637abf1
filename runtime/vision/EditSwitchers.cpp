#include "runtime/vision/EditSwitchers.h"

#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

TvpEditCustomSwitcher::TvpEditCustomSwitcher(TDBDevidEdit* edit) : TvpSwitcher(edit), fEdit(edit) {}

bool TvpEditCustomSwitcher::BeginSwitch(int, int, int, Word, TShiftState) {
  return fEdit->Focused() && fEdit->Fields().Valid();
}

void TvpEditCustomSwitcher::Reset() {
  // A press of the mouse was tracked with the capture: let it go with the press.
  if (Tracking() && Key() == 0 && fEdit->HandleAllocated() && fEdit->MouseCapture()) fEdit->SetMouseCapture(false);
  TvpSwitcher::Reset();
}

bool TvpEditBtnSwitcher::BeginSwitch(int index, int x, int y, Word key, TShiftState shift) {
  if (!TvpEditCustomSwitcher::BeginSwitch(index, x, y, key, shift)) return false;
  Edit()->SetMouseCapture(true);
  return true;
}

void TvpEditBtnSwitcher::DownedStateChanged(int) { Edit()->UpdateNC(); }

void TvpEditBtnSwitcher::Toggle(int index, int, int, Word) {
  TvpFieldVision* vision = Edit()->CurVision();
  if (!vision) return;
  vision->ButtonClick(*Edit(), index == 3 ? vbsClick2 : vbsClick);
}

bool TvpEditSwitcher::BeginSwitch(int index, int x, int y, Word key, TShiftState shift) {
  TvpFieldVision* vision = Edit()->CurVision();
  if (!vision || !TvpEditCustomSwitcher::BeginSwitch(index, x, y, key, shift)) return false;
  // The vision captures the mouse on a hit.
  if (x == -1 && y == -1) return vision->KeySwitchHit(*Edit(), key, shift);
  const TRect& m = Edit()->TextMargins();
  return vision->MouseSwitchHit(*Edit(), x - m.Left, y - m.Top, shift);
}

void TvpEditSwitcher::DownedStateChanged(int) {
  if (Edit()->IsInplace()) Edit()->SetCellPressed(Downed());
  Edit()->Invalidate();
}

void TvpEditSwitcher::Toggle(int, int x, int y, Word) {
  TvpFieldVision* vision = Edit()->CurVision();
  if (!vision) return;
  if (x == -1 && y == -1)
    vision->KeySwitch(*Edit());
  else
    vision->MouseSwitch(*Edit());
}

}  // namespace zv
