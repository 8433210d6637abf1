#include "runtime/rtm/Switcher.h"

#include "platform/controls/WinApi.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace zv {

// The shared repeat timer needs a window to deliver WM_TIMER to, and no control of the caller
// may be assumed to have one: a hidden top-level window of its own owns it. It exists only while
// the timer runs, so that no window outlives the switchers' use of the backend.
class TRepeatTimerWindow : public TWinControl {
public:
  static constexpr std::uintptr_t TimerId = 1;
  TRepeatTimerWindow() : TWinControl(nullptr) { SetVisible(false); }
  bool InTick = false;

protected:
  void WMTimer(TWMTimer& message) override;
};

namespace {

TvpSwitcher* gTarget = nullptr;
std::unique_ptr<TRepeatTimerWindow> gTimerWindow;

// Stops the timer and frees its window, unless the window's own tick is running: it then goes
// at the end of that tick.
void StopTimer() {
  if (!gTimerWindow) return;
  if (gTimerWindow->HandleAllocated()) KillTimer(gTimerWindow->Handle(), TRepeatTimerWindow::TimerId);
  if (!gTimerWindow->InTick) gTimerWindow.reset();
}

}  // namespace

void TRepeatTimerWindow::WMTimer(TWMTimer& message) {
  if (message.TimerID() != TimerId) return TWinControl::WMTimer(message);
  InTick = true;
  TvpSwitcher::RepeatTick();
  InTick = false;
  // The tick stopped the repeat: the window frees itself. Nothing of it is touched on the way
  // out of its message handler, as with a form's Release.
  if (!gTarget && gTimerWindow.get() == this) gTimerWindow.reset();
}

TvpSwitcher* TvpSwitcher::RepeatTarget() { return gTarget; }

TvpSwitcher::TvpSwitcher(TWinControl* owner) : fOwner(owner) {}

TvpSwitcher::~TvpSwitcher() {
  // The timer must never drive a destroyed switcher, even while its owner is going away.
  StopRepeat();
  if (!fOwner || !fOwner->ComponentState().Contains(csDestroying)) TvpSwitcher::Reset();
}

bool TvpSwitcher::BeginSwitch(int, int, int, Word, TShiftState) { return true; }
void TvpSwitcher::DownedStateChanged(int) {}
void TvpSwitcher::Toggle(int, int, int, Word) {}

void TvpSwitcher::MouseDown(int index, int x, int y, TShiftState shift, const TRect& area, bool toggleOnPress,
                            bool autoRepeat) {
  Reset();
  if (!BeginSwitch(index, x, y, 0, shift)) return;
  fTracking = true;
  fArea = area;
  fIndex = index;
  fPoint = {x, y};
  fKey = 0;
  fAutoRepeat = autoRepeat;
  fDowned = PtInRect(fArea, fPoint);
  if (fDowned) {
    DownedStateChanged(index);
    if (toggleOnPress) {
      fToggledOnPress = true;
      Toggle(index, x, y, 0);
    }
  }
  if (autoRepeat && fTracking) StartRepeat();
}

void TvpSwitcher::MouseMove(int x, int y) {
  if (!fTracking || fKey != 0) return;
  fPoint = {x, y};
  const bool downed = PtInRect(fArea, fPoint);
  if (downed == fDowned) return;
  fDowned = downed;
  DownedStateChanged(fIndex);
}

void TvpSwitcher::MouseUp(int x, int y) {
  if (!fTracking || fKey != 0) return;
  MouseMove(x, y);
  const bool toggle = fDowned && !fToggledOnPress;
  const int index = fIndex;
  Reset();
  if (toggle) Toggle(index, x, y, 0);
}

bool TvpSwitcher::KeyDown(int index, Word key, TShiftState shift) {
  if (fTracking) {
    if (key == fKey) return false;
    Reset();
  }
  if (!BeginSwitch(index, -1, -1, key, shift)) return false;
  fTracking = true;
  fDowned = true;
  fIndex = index;
  fKey = key;
  fPoint = {-1, -1};
  DownedStateChanged(index);
  return true;
}

void TvpSwitcher::KeyUp(Word key) {
  if (!fTracking || key == 0 || key != fKey) return;
  const int index = fIndex;
  Reset();
  Toggle(index, -1, -1, key);
}

void TvpSwitcher::Reset() {
  if (fTracking) {
    fTracking = false;
    fKey = 0;
    const int index = fIndex;
    fIndex = -1;
    if (fDowned) {
      fDowned = false;
      DownedStateChanged(index);
    }
  }
  fToggledOnPress = false;
  StopRepeat();
}

void TvpSwitcher::StartRepeat() {
  gTarget = this;
  fRepeatCount = 0;
  if (!gTimerWindow) gTimerWindow = std::make_unique<TRepeatTimerWindow>();
  SetTimer(gTimerWindow->Handle(), TRepeatTimerWindow::TimerId, RepeatInterval);
}

void TvpSwitcher::StopRepeat() {
  if (gTarget != this) return;
  gTarget = nullptr;
  StopTimer();
}

void TvpSwitcher::RepeatTick() {
  TvpSwitcher* s = gTarget;
  if (!s) {
    StopTimer();
    return;
  }
  const int c = s->fRepeatCount++;
  if (!s->fDowned) return;
  // Integer forms of the thresholds 8.33, 25 and 66.67 ticks.
  const bool fire = c > 66 || (c > 8 && c <= 25 && c % 3 == 0) || (c > 25 && c <= 66 && c % 2 == 0);
  // Toggle may reset or even destroy the switcher: nothing of it is used afterwards.
  if (fire) s->Toggle(s->fIndex, s->fPoint.X, s->fPoint.Y, s->fKey);
}

}  // namespace zv
