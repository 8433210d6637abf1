#pragma once
// TvpSwitcher: turns presses of a mouse button or a key on a switchable area of a control into
// toggles, optionally toggling on the press itself and repeating while the press is held.
// Descendants decide whether a press may start (BeginSwitch), how the pressed look changes
// (DownedStateChanged) and what a toggle does (Toggle).
//
// Auto-repeat runs on one 30 ms timer shared by all switchers; one switcher at a time is its
// target. Ticks count from 0 and toggle at counts 9..24 divisible by 3, even counts 26..66,
// then every count from 67: nothing for 300 ms, then faster and faster.

#include "platform/controls/WinControl.h"

namespace zv {

class TvpSwitcher {
public:
  static constexpr unsigned RepeatInterval = 30;  // ms

  explicit TvpSwitcher(TWinControl* owner);
  virtual ~TvpSwitcher();
  TvpSwitcher(const TvpSwitcher&) = delete;
  TvpSwitcher& operator=(const TvpSwitcher&) = delete;

  // A mouse press at (x, y) on item index whose switchable area is area.
  void MouseDown(int index, int x, int y, TShiftState shift, const TRect& area, bool toggleOnPress, bool autoRepeat);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  // True when the key started a press; the key already held is ignored.
  bool KeyDown(int index, Word key, TShiftState shift);
  void KeyUp(Word key);
  // Ends a press in progress without toggling, and stops its repeat.
  virtual void Reset();

  TWinControl* Owner() const { return fOwner; }
  bool Tracking() const { return fTracking; }
  bool Downed() const { return fDowned; }
  int ItemIndex() const { return fIndex; }
  const TRect& Area() const { return fArea; }
  TPoint LastPoint() const { return fPoint; }
  Word Key() const { return fKey; }  // 0 for the mouse
  bool ToggledOnPress() const { return fToggledOnPress; }
  bool AutoRepeat() const { return fAutoRepeat; }
  int RepeatCount() const { return fRepeatCount; }
  // The switcher the repeat timer drives, or null.
  static TvpSwitcher* RepeatTarget();

protected:
  // Whether a press may start; x and y are -1 for a key. Base: true.
  virtual bool BeginSwitch(int index, int x, int y, Word key, TShiftState shift);
  // Downed changed for item index (descendants repaint the pressed look).
  virtual void DownedStateChanged(int index);
  // One switch of item index; x and y are -1 for a key.
  virtual void Toggle(int index, int x, int y, Word key);

private:
  friend class TRepeatTimerWindow;
  static void RepeatTick();
  void StartRepeat();
  void StopRepeat();

  TWinControl* fOwner;
  bool fTracking = false;
  bool fDowned = false;
  int fIndex = -1;
  TRect fArea;
  TPoint fPoint;
  Word fKey = 0;
  bool fToggledOnPress = false;
  bool fAutoRepeat = false;
  int fRepeatCount = 0;
};

}  // namespace zv
