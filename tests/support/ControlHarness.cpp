#include "ControlHarness.h"

#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

class TNullDriver : public TControlDriver {
public:
  TNullDriver()
      : fGraphics(SetGraphicsBackend(CreateNullBackend())), fWindows(SetWindowBackend(CreateNullWindowBackend())) {}
  ~TNullDriver() override {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }
  std::string Name() const override { return "null"; }
  void Inject(TNativeWindow window, const TNativeInput& input) override { Backend().Inject(window, input); }
  void Wait(unsigned ms) override {
    for (unsigned done = 0; done < ms; done += 5) {
      Backend().AdvanceTime(std::min(5u, ms - done));
      Application->ProcessMessages();
    }
  }
  TColor Shown(TNativeWindow window, int x, int y) override {
    const auto* r = Backend().Window(window);
    if (!r || !r->Presented.Contains({x, y})) return CLR_INVALID;
    return PixelToColor(r->Screen.At(x, y));
  }
  void SwitchApplication(bool active) override { Backend().SwitchApplication(active); }

private:
  static TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
  std::unique_ptr<TGraphicsBackend> fGraphics;
  std::unique_ptr<TWindowBackend> fWindows;
};

std::string Pos(const TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  return std::to_string(p.X) + " " + std::to_string(p.Y);
}

// The log line of a message, or empty for messages nobody asked about.
std::string Describe(const TMessage& m) {
  switch (m.Msg) {
    case CM_ENTER: return "enter";
    case CM_EXIT: return "exit";
    case WM_TIMER: return "timer " + std::to_string(m.WParam);
    case WM_VSCROLL:
    case WM_HSCROLL:
      return std::string(m.Msg == WM_VSCROLL ? "vscroll " : "hscroll ") + std::to_string(LoWord(m.WParam)) + " " +
             std::to_string(static_cast<std::int16_t>(HiWord(m.WParam)));
    case WM_SIZE:
      return "size " + std::to_string(LoWord(static_cast<std::uintptr_t>(m.LParam))) + " " +
             std::to_string(HiWord(static_cast<std::uintptr_t>(m.LParam)));
    case WM_CAPTURECHANGED: return "capturechanged";
    case WM_USER + 1: return "posted " + std::to_string(m.WParam);
    case CM_MOUSEENTER: return m.LParam == 0 ? "mouseenter" : "";
    case CM_MOUSELEAVE: return m.LParam == 0 ? "mouseleave" : "";
    case WM_KEYDOWN: return "keydown " + std::to_string(m.WParam);
    case WM_KEYUP: return "keyup " + std::to_string(m.WParam);
    case WM_CHAR: return "char " + std::to_string(m.WParam);
    case WM_LBUTTONDOWN: return "ldown " + Pos(m);
    case WM_LBUTTONUP: return "lup " + Pos(m);
    case WM_LBUTTONDBLCLK: return "ldbl " + Pos(m);
    case WM_RBUTTONDOWN: return "rdown " + Pos(m);
    case CM_CANCELMODE: {
      const TControl* sender = reinterpret_cast<const TControl*>(m.LParam);
      if (auto* p = dynamic_cast<const TProbe*>(sender)) return "cancelmode " + p->Id;
      if (auto* g = dynamic_cast<const TGraphicProbe*>(sender)) return "cancelmode " + g->Id;
      return "cancelmode ?";
    }
    case WM_MOUSEMOVE: return "move " + Pos(m);
    default: return "";
  }
}

}  // namespace

std::unique_ptr<TControlDriver> MakeNullDriver() { return std::make_unique<TNullDriver>(); }

// --- TProbe ------------------------------------------------------------------------------------

TProbe::TProbe(TComponent* owner, std::string id, TLog* log) : TCustomControl(owner), Id(std::move(id)), fLog(log) {}

void TProbe::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= ExtraStyle;
  params.ExStyle |= ExtraExStyle;
}

void TProbe::Paint() {
  ++PaintCount;
  const TRegion* clip = Canvas()->Handle().ClipRegion();
  PaintClips.push_back(clip ? *clip : TRegion(ClientRect()));
  if (fLog) fLog->push_back(Id + " paint");
  if (OnPaint) {
    OnPaint(*this);
    return;
  }
  Canvas()->Brush()->SetColor(PaintColor);
  Canvas()->FillRect(ClientRect());
}

void TProbe::WndProc(TMessage& message) {
  if (message.Msg == WM_NCHITTEST && ClaimsAsClient && ClaimsAsClient(ScreenToClient(LParamToPoint(message.LParam)))) {
    message.Result = HTCLIENT;
    return;
  }
  if (fLog)
    if (const std::string what = Describe(message); !what.empty()) fLog->push_back(Id + " " + what);
  TCustomControl::WndProc(message);
}

void TProbe::WMNCCalcSize(TWMNCCalcSize& message) {
  TCustomControl::WMNCCalcSize(message);
  if (FrameWidth > 0) InflateRect(message.CalcSize_Params()->rgrc[0], -FrameWidth, -FrameWidth);
}

void TProbe::WMNCPaint(TWMNCPaint& message) {
  TCustomControl::WMNCPaint(message);
  if (FrameWidth <= 0) return;
  auto dc = GetWindowDC(Handle());
  TRect r{0, 0, Width(), Height()};
  for (int i = 0; i < FrameWidth; ++i) {
    dc->FrameRect(r, {ColorToRGB(FrameColor), bsSolid});
    InflateRect(r, -1, -1);
  }
}

// Focus is logged where it is handled: after the CM_EXIT / CM_ENTER that its arrival causes.
void TProbe::WMSetFocus(TWMSetFocus& message) {
  if (fLog) fLog->push_back(Id + " setfocus");
  TCustomControl::WMSetFocus(message);
}

void TProbe::WMKillFocus(TWMKillFocus& message) {
  if (fLog) fLog->push_back(Id + " killfocus");
  TCustomControl::WMKillFocus(message);
}

void TProbe::WMGetDlgCode(TMessage& message) { message.Result = static_cast<LRESULT>(DlgCode); }

void TProbe::DoExit() {
  TCustomControl::DoExit();
  if (OnExitHook) OnExitHook(*this);
}

// --- TGraphicProbe -------------------------------------------------------------------------------

TGraphicProbe::TGraphicProbe(TComponent* owner, std::string id, TLog* log)
    : TGraphicControl(owner), Id(std::move(id)), fLog(log) {}

void TGraphicProbe::Paint() {
  ++PaintCount;
  Canvas()->Brush()->SetColor(PaintColor);
  Canvas()->FillRect(ClientRect());
}

void TGraphicProbe::WndProc(TMessage& message) {
  if (fLog)
    if (const std::string what = Describe(message); !what.empty()) fLog->push_back(Id + " " + what);
  TGraphicControl::WndProc(message);
}

// --- THarness ------------------------------------------------------------------------------------

THarness::~THarness() {
  fTops.clear();
  Application->ProcessMessages();
}

TProbe* THarness::TopLevel(int x, int y, int width, int height, TColor color) {
  auto top = std::make_unique<TProbe>(nullptr, "T", &Log);
  top->PaintColor = color;
  top->SetBounds(x, y, width, height);
  top->Show();
  fTops.push_back(std::move(top));
  Pump();
  return fTops.back().get();
}

TProbe* THarness::Child(TWinControl* parent, const std::string& id, int x, int y, int width, int height,
                        TColor color, const std::function<void(TProbe&)>& setup) {
  auto* child = new TProbe(parent, id, &Log);
  child->PaintColor = color;
  child->SetBounds(x, y, width, height);
  if (setup) setup(*child);
  child->SetParent(parent);
  return child;
}

TGraphicProbe* THarness::Graphic(TWinControl* parent, const std::string& id, int x, int y, int width, int height) {
  auto* g = new TGraphicProbe(parent, id, &Log);
  g->SetBounds(x, y, width, height);
  g->SetParent(parent);
  return g;
}

TNativeWindow THarness::Native(const TControl* control) {
  TWinControl* top = GetTopLevelParent(control);
  return top ? NativeWindowOf(top->Handle()) : 0;
}

TPoint THarness::NativePos(const TControl* control, TPoint client) {
  const TWinControl* top = GetTopLevelParent(control);
  const TPoint screen = control->ClientToScreen(client);
  return {screen.X - top->Left(), screen.Y - top->Top()};
}

void THarness::Mouse(TNativeInputKind kind, TControl* control, int x, int y, TMouseButton button, TShiftState shift) {
  const TShiftStateItem item = button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle;
  if (kind == TNativeInputKind::MouseDown) fButtons.Include(item);
  if (kind == TNativeInputKind::MouseUp) fButtons.Exclude(item);
  TNativeInput in;
  in.Kind = kind;
  in.Pos = NativePos(control, {x, y});
  in.Button = button;
  in.Shift = shift + fButtons + fModifiers;
  fDriver.Inject(Native(control), in);
  if (PumpAfterInput) Pump();
}

void THarness::MouseDown(TControl* c, int x, int y, TMouseButton b, TShiftState s) {
  Mouse(TNativeInputKind::MouseDown, c, x, y, b, s);
}
void THarness::MouseUp(TControl* c, int x, int y, TMouseButton b, TShiftState s) {
  Mouse(TNativeInputKind::MouseUp, c, x, y, b, s);
}
void THarness::MouseMove(TControl* c, int x, int y, TShiftState s) { Mouse(TNativeInputKind::MouseMove, c, x, y, mbLeft, s); }

void THarness::Click(TControl* c, int x, int y) {
  MouseDown(c, x, y);
  MouseUp(c, x, y);
}

void THarness::Wheel(TControl* c, int x, int y, int delta, TShiftState shift) {
  TNativeInput in;
  in.Kind = TNativeInputKind::Wheel;
  in.Pos = NativePos(c, {x, y});
  in.WheelDelta = delta;
  in.Shift = shift + fButtons + fModifiers;
  fDriver.Inject(Native(c), in);
  Pump();
}

void THarness::Key(TNativeInputKind kind, TControl* c, Word key, char32_t ch, TShiftState shift) {
  const TShiftStateItem modifier = key == VK_SHIFT ? ssShift : key == VK_CONTROL ? ssCtrl : ssAlt;
  if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) {
    if (kind == TNativeInputKind::KeyDown) fModifiers.Include(modifier);
    if (kind == TNativeInputKind::KeyUp) fModifiers.Exclude(modifier);
  }
  TNativeInput in;
  in.Kind = kind;
  in.Key = key;
  in.Char = ch;
  in.Shift = shift + fModifiers + fButtons;
  fDriver.Inject(Native(c), in);
  if (PumpAfterInput) Pump();
}

void THarness::KeyDown(TControl* c, Word key, TShiftState s) { Key(TNativeInputKind::KeyDown, c, key, 0, s); }
void THarness::KeyUp(TControl* c, Word key, TShiftState s) { Key(TNativeInputKind::KeyUp, c, key, 0, s); }
void THarness::Char(TControl* c, char32_t ch, TShiftState s) { Key(TNativeInputKind::Char, c, 0, ch, s); }

TColor THarness::Pixel(TWinControl* control, int x, int y) {
  TPoint origin;
  TPaintDevice* surface = RetainedSurfaceOf(control->Handle(), &origin);
  return surface ? surface->GetPixel(origin.X + x, origin.Y + y) : CLR_INVALID;
}

TColor THarness::WindowPixel(TWinControl* control, int x, int y) {
  TRect window;
  GetWindowRect(control->Handle(), window);
  const TPoint origin = control->ClientOrigin();
  return Pixel(control, x - (origin.X - window.Left), y - (origin.Y - window.Top));
}

TColor THarness::Shown(TWinControl* control, int x, int y) {
  const TPoint p = NativePos(control, {x, y});
  return fDriver.Shown(Native(control), p.X, p.Y);
}

TLog THarness::Take(const std::set<std::string>& events, const std::set<std::string>& ids) {
  TLog out;
  for (const std::string& line : Log) {
    const auto first = line.find(' ');
    const auto second = line.find(' ', first + 1);
    const std::string event = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    if (events.count(event) && (ids.empty() || ids.count(line.substr(0, first)))) out.push_back(line);
  }
  Log.clear();
  return out;
}

}  // namespace zvtest
