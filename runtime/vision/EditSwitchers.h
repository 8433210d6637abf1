#pragma once
// The data edit control's two trackers: the button tracker turns presses of the non-client
// button into the vision's button clicks (positions 1 whole button, 2 upper half and 3 lower
// half of a spin); the switch tracker turns key presses and clicks on the vision's switch into
// toggles. Keys arrive at (-1, -1); mouse points are relative to the text area.

#include "runtime/rtm/Switcher.h"

namespace zv {

class TDBDevidEdit;

class TvpEditCustomSwitcher : public TvpSwitcher {
public:
  explicit TvpEditCustomSwitcher(TDBDevidEdit* edit);
  TDBDevidEdit* Edit() const { return fEdit; }
  void Reset() override;

protected:
  // Only in edit mode over a valid field list.
  bool BeginSwitch(int index, int x, int y, Word key, TShiftState shift) override;

private:
  TDBDevidEdit* fEdit;
};

class TvpEditBtnSwitcher : public TvpEditCustomSwitcher {
public:
  using TvpEditCustomSwitcher::TvpEditCustomSwitcher;

protected:
  bool BeginSwitch(int index, int x, int y, Word key, TShiftState shift) override;
  void DownedStateChanged(int index) override;
  void Toggle(int index, int x, int y, Word key) override;
};

class TvpEditSwitcher : public TvpEditCustomSwitcher {
public:
  using TvpEditCustomSwitcher::TvpEditCustomSwitcher;

protected:
  bool BeginSwitch(int index, int x, int y, Word key, TShiftState shift) override;
  void DownedStateChanged(int index) override;
  void Toggle(int index, int x, int y, Word key) override;
};

}  // namespace zv
