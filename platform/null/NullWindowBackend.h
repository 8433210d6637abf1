#pragma once
// The headless window backend: native windows are records, nothing reaches a screen, and
// nothing happens by itself. A test drives it: it injects input as a user would, resizes or
// closes windows, and moves the clock, which fires the timers that come due. Each window keeps
// what it shows (the presented pixels), the presented region and a count of presentations.
//
// As a window manager would, showing a window activates it, unless it is a pop-up or asked
// not to be.

#include "platform/controls/WindowBackend.h"

#include <map>
#include <optional>

namespace zv {

class TNullWindowBackend : public TWindowBackend {
public:
  struct TWindowRecord {
    TRect Bounds;
    String Caption;
    bool Visible = false;
    bool Popup = false;
    TNativeFrame Frame = TNativeFrame::None;
    bool StayOnTop = false;
    TNativeWindow Owner = 0;
    bool ActivateOnShow = true;
    TCursor Cursor = crDefault;
    bool TransparentForInput = false;
    bool Buttons[4] = {true, true, true, false};  // system menu, minimize, maximize, help
    std::optional<TRegion> Shape;  // window coordinates; none: the whole rectangle
    TRegion Presented;  // everything presented since the record was cleared
    int PresentCount = 0;
    TPixelBuffer Screen;  // what the window shows: the surface's pixels as last presented
  };

  String Name() const override { return "null"; }
  TNativeWindow CreateWindow(const TNativeWindowParams& params) override;
  void DestroyWindow(TNativeWindow window) override;
  void ShowWindow(TNativeWindow window, bool visible) override;
  void SetWindowBounds(TNativeWindow window, const TRect& screenBounds) override;
  void SetWindowCaption(TNativeWindow window, const String& caption) override;
  void ActivateWindow(TNativeWindow window) override;
  void SetWindowShape(TNativeWindow window, const TRegion* region) override;
  void Present(TNativeWindow window, TPaintDevice& surface, const TRegion& region) override;
  void SetCapture(TNativeWindow window) override { fCapture = window; }
  void SetCursor(TNativeWindow window, TCursor cursor) override;
  void StartTimer(std::uintptr_t timer, unsigned milliseconds) override;
  void StopTimer(std::uintptr_t timer) override { fTimers.erase(timer); }
  void ProcessEvents(bool) override {}
  void Wake() override {}
  std::uint64_t TickCount() const override { return fNow; }
  TRect ScreenRect() const override { return {0, 0, 1920, 1080}; }
  TRect WorkAreaRect() const override { return {0, 0, 1920, 1040}; }
  TPoint CursorPos() const override { return fCursor; }
  void SetCursorPos(TPoint p) override { fCursor = p; }
  void Beep() override { ++fBeeps; }

  // --- Driving ---------------------------------------------------------------------------------
  // Input as the user makes it, in the window's coordinates.
  void Inject(TNativeWindow window, const TNativeInput& input);
  void UserResize(TNativeWindow window, int width, int height);
  // The user drags one edge or corner (a WMSZ_ code) of a framed window to the screen position
  // to (for a side, only its coordinate counts); the window hears it before it is applied.
  void UserSizeEdge(TNativeWindow window, unsigned edge, TPoint to);
  void UserClose(TNativeWindow window);
  // The user moves a window (by its caption, which the windowing system draws).
  void UserMove(TNativeWindow window, int x, int y);
  // The user switches to another application (false) and back (true): no window of this one
  // is active meanwhile; coming back activates the window that was.
  void SwitchApplication(bool active);
  // Moves the clock, firing each timer as it comes due, in time order.
  void AdvanceTime(unsigned milliseconds);

  // --- Inspecting ------------------------------------------------------------------------------
  const TWindowRecord* Window(TNativeWindow window) const;
  TWindowRecord* Window(TNativeWindow window);
  TNativeWindow CaptureWindow() const { return fCapture; }
  TNativeWindow ActiveWindow() const { return fActive; }
  std::size_t TimerCount() const { return fTimers.size(); }
  // How many times the alert sounded.
  int BeepCount() const { return fBeeps; }

private:
  struct TTimer {
    unsigned Interval = 0;
    std::uint64_t Due = 0;
  };
  std::map<TNativeWindow, TWindowRecord> fWindows;
  TNativeWindow fNext = 1;
  TNativeWindow fCapture = 0;
  TNativeWindow fActive = 0;
  TNativeWindow fActiveBeforeSwitch = 0;
  bool fAppActive = true;
  std::map<std::uintptr_t, TTimer> fTimers;
  std::uint64_t fNow = 0;
  TPoint fCursor;
  int fBeeps = 0;
};

std::unique_ptr<TWindowBackend> CreateNullWindowBackend();
// The null backend behind the active window backend, or null when another one is active.
TNullWindowBackend* ActiveNullWindowBackend();

}  // namespace zv
