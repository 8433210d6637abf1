#pragma once
// Test support for the controls layer on either backend. A driver puts a backend's graphics
// and windows in place and feeds input the way that backend's windowing system does; the
// harness speaks in controls and client coordinates; TProbe and TGraphicProbe log what they
// receive and paint plain colours.

#include "platform/controls/Application.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/WindowBackend.h"

#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

class TControlDriver {
public:
  virtual ~TControlDriver() = default;
  virtual std::string Name() const = 0;
  // Input delivered to a native window as the windowing system delivers it.
  virtual void Inject(TNativeWindow window, const TNativeInput& input) = 0;
  // Lets at least ms pass on the backend's clock, timers ticking, handling messages meanwhile.
  virtual void Wait(unsigned ms) = 0;
  // What the native window shows at (x, y), once presented; CLR_INVALID where nothing was.
  virtual TColor Shown(TNativeWindow window, int x, int y) = 0;
  // The user switches to another application (false) and back (true), as the windowing
  // system reports it.
  virtual void SwitchApplication(bool active) = 0;
};

struct TDriverFactory {
  std::string Name;
  std::function<std::unique_ptr<TControlDriver>()> Make;
};
inline void PrintTo(const TDriverFactory& factory, std::ostream* os) { *os << factory.Name; }

// The null backends, active for the driver's lifetime.
std::unique_ptr<TControlDriver> MakeNullDriver();

using TLog = std::vector<std::string>;

// The entries logged so far joined by separator; the log starts afresh.
inline std::string TakeJoined(TLog& log, const char* separator = ", ") {
  std::string s;
  for (const auto& e : log) s += (s.empty() ? "" : separator) + e;
  log.clear();
  return s;
}

// A custom control that fills its client area with PaintColor (or runs OnPaint) and logs
// "<Id> <event> <details>" for focus, enter/exit, keys, mouse, timers, scrolling and sizes.
class TProbe : public TCustomControl {
public:
  TProbe(TComponent* owner, std::string id, TLog* log);

  std::string Id;
  TColor PaintColor = clWhite;
  std::function<void(TProbe&)> OnPaint;
  unsigned ExtraStyle = 0;
  unsigned ExtraExStyle = 0;
  int FrameWidth = 0;  // a frame of its own, measured in WM_NCCALCSIZE and painted in WM_NCPAINT
  TColor FrameColor = clRed;
  unsigned DlgCode = 0;
  int PaintCount = 0;
  std::vector<TRegion> PaintClips;  // the canvas's clip at each Paint, client coordinates
  std::function<void(TProbe&)> OnExitHook;
  // Answers HTCLIENT to WM_NCHITTEST where it returns true (client coordinates).
  std::function<bool(TPoint)> ClaimsAsClient;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WndProc(TMessage& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;
  void WMGetDlgCode(TMessage& message) override;
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void DoExit() override;

private:
  TLog* fLog;
};

class TGraphicProbe : public TGraphicControl {
public:
  TGraphicProbe(TComponent* owner, std::string id, TLog* log);
  std::string Id;
  TColor PaintColor = clYellow;
  int PaintCount = 0;

protected:
  void Paint() override;
  void WndProc(TMessage& message) override;

private:
  TLog* fLog;
};

class THarness {
public:
  // Initializes the program's modules first, as a program's first line does.
  explicit THarness(TControlDriver& driver) : fDriver(driver) { Application->Initialize(); }
  ~THarness();
  THarness(const THarness&) = delete;
  THarness& operator=(const THarness&) = delete;

  TControlDriver& Driver() { return fDriver; }
  TLog Log;
  // Off: input stays queued until the test pumps (to see it waiting with PeekMessage).
  bool PumpAfterInput = true;

  // A shown top-level probe, painted.
  TProbe* TopLevel(int x, int y, int width, int height, TColor color = clBtnFace);
  // setup runs before the child gets its window (styles, frames).
  TProbe* Child(TWinControl* parent, const std::string& id, int x, int y, int width, int height,
                TColor color = clWhite, const std::function<void(TProbe&)>& setup = {});
  TGraphicProbe* Graphic(TWinControl* parent, const std::string& id, int x, int y, int width, int height);

  void Pump() { Application->ProcessMessages(); }
  void Wait(unsigned ms) { fDriver.Wait(ms); }

  // Input at client coordinates of control (which may lie outside it).
  void MouseDown(TControl* control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
  void MouseUp(TControl* control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
  void MouseMove(TControl* control, int x, int y, TShiftState shift = {});
  void Click(TControl* control, int x, int y);
  void Wheel(TControl* control, int x, int y, int delta, TShiftState shift = {});
  // Keys go to the native window of control's top-level window.
  void KeyDown(TControl* control, Word key, TShiftState shift = {});
  void KeyUp(TControl* control, Word key, TShiftState shift = {});
  void Char(TControl* control, char32_t c, TShiftState shift = {});

  // Pixels drawn (the retained surface) at client / window coordinates, and shown.
  TColor Pixel(TWinControl* control, int x, int y);
  TColor WindowPixel(TWinControl* control, int x, int y);
  TColor Shown(TWinControl* control, int x, int y);

  // The log entries whose event is one of events (and whose control is one of ids, when given),
  // in order; the log is emptied.
  TLog Take(const std::set<std::string>& events, const std::set<std::string>& ids = {});

private:
  TNativeWindow Native(const TControl* control);
  TPoint NativePos(const TControl* control, TPoint client);
  void Mouse(TNativeInputKind kind, TControl* control, int x, int y, TMouseButton button, TShiftState shift);
  void Key(TNativeInputKind kind, TControl* control, Word key, char32_t c, TShiftState shift);

  TControlDriver& fDriver;
  std::vector<std::unique_ptr<TProbe>> fTops;
  TShiftState fButtons;    // held, as the user holds them
  TShiftState fModifiers;
};

}  // namespace zvtest
