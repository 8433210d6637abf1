#include "runtime/rtm/DiagTimers.h"

#include <algorithm>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace zv {

std::array<std::int32_t, _max_time> _times{};
int _time = 0;

namespace {

constexpr const char SNoTimerSlot[] = "All %d diagnostic timer slots are used";
constexpr int kPrintWidth = 1024;
constexpr int kPrintHeight = 768;

std::int32_t Ticks() {
  // The tick count wraps at 32 bits as the host's does; differences stay right across the wrap.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(GetTickCount()));
}

void RequireSlot() {
  if (_time < 0 || _time >= _max_time) throw ERangeError(Format(SNoTimerSlot, {_max_time}));
}

// The window _PrintToScreen draws on: borderless, above every other window, never activated.
class TPrintWindow : public TCustomForm {
public:
  static TPrintWindow*& Instance() {
    static TPrintWindow* window = nullptr;
    return window;
  }

  explicit TPrintWindow(TComponent* owner) : TCustomForm(owner) {
    SetBorderStyle(bsNone);
    SetFormStyle(fsStayOnTop);
    Instance() = this;
  }
  ~TPrintWindow() override {
    if (Instance() == this) Instance() = nullptr;
  }

  void ShowText(const String& text) {
    fText = text;
    // As much of the 1024 x 768 area as the text covers.
    TRect r(0, 0, kPrintWidth, kPrintHeight);
    DrawText(*Canvas(), fText.empty() ? " " : fText, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    SetBounds(0, 0, std::clamp(r.Width(), 1, kPrintWidth), std::clamp(r.Height(), 1, kPrintHeight));
    if (!Visible()) ShowNoActivate();
    Invalidate();
    Update();
  }
  const String& Text() const { return fText; }

protected:
  void Paint() override {
    TCanvas& c = *Canvas();
    c.Brush()->SetColor(clWindow);
    c.Font()->SetColor(clWindowText);
    TRect r = ClientRect();
    c.FillRect(r);
    DrawText(c, fText, r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  }

private:
  String fText;
};

}  // namespace

void _StartTime() {
  RequireSlot();
  _times[static_cast<std::size_t>(_time)] = Ticks();
}

std::int32_t _StopTime() {
  RequireSlot();
  std::int32_t& slot = _times[static_cast<std::size_t>(_time)];
  slot = static_cast<std::int32_t>(static_cast<std::uint32_t>(Ticks()) - static_cast<std::uint32_t>(slot));
  ++_time;
  return slot;
}

void _PrintToScreen(const String& S) {
  TPrintWindow* window = TPrintWindow::Instance();
  if (window == nullptr) window = new TPrintWindow(Application);  // the application frees it
  window->ShowText(S);
}

}  // namespace zv
