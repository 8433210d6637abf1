// Hints: the hint window (measuring, placing, painting), the hint routines, and the
// application's side (the hint timer, the CM_HINTSHOW conversation, cancelling).

#include "platform/controls/HintWindow.h"

#include "platform/controls/Application.h"
#include "platform/controls/DragDrop.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(THintWindow, TCustomControl)

namespace {

// The hint window sits this far below the mouse, clear of the arrow cursor's picture.
constexpr int kCursorHeightMargin = 20;
constexpr std::uintptr_t kHintTimerId = 1;

TClass& HintClass() {
  static TClass cls = THintWindow::StaticClass();
  return cls;
}

}  // namespace

TClass HintWindowClass() { return HintClass(); }

void SetHintWindowClass(TClass cls) {
  if (!cls || !cls->InheritsFrom(THintWindow::StaticClass()) || !cls->Factory)
    throw EInvalidOperation("A hint window class must be a creatable descendant of THintWindow");
  HintClass() = cls;
}

// --- Hint routines ------------------------------------------------------------------------------------

String GetShortHint(const String& hint) {
  const std::size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(0, bar);
}

String GetLongHint(const String& hint) {
  const std::size_t bar = hint.find('|');
  return bar == String::npos ? hint : hint.substr(bar + 1);
}

String GetHint(const TControl* control) {
  for (; control; control = control->Parent())
    if (!control->Hint().empty()) return control->Hint();
  return String();
}

TControl* GetHintControl(TControl* control) {
  while (control && !control->ShowHint()) control = control->Parent();
  if (control && control->ComponentState().Contains(csDesigning)) return nullptr;
  return control;
}

// --- THintWindow ------------------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetParentColor(false);
  SetColor(clInfoBk);
}

THintWindow::~THintWindow() { Destroying(); }

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  // A pop-up with no caption: the window system never activates it. The frame is painted with
  // the text, so the window needs no non-client border.
  params.Style = (params.Style & ~(WS_CAPTION | WS_TABSTOP)) | WS_POPUP;
  params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
}

TCanvas& THintWindow::MeasureCanvas() {
  if (!fMeasure) {
    fMeasure = std::make_unique<TBitmap>();
    fMeasure->SetSize(1, 1);
  }
  TCanvas& c = *fMeasure->Canvas();
  c.SetFont(Font());
  return c;
}

String THintWindow::ShowableText(std::string_view hint, int maxWidth, const TRect& workArea, int lineHeight) {
  // Every shown character takes at least a pixel of a line and every line a line height, so
  // what lies past lines x width characters (line breaks counted) can never be on the screen.
  const long long lines = std::max(1, workArea.Height() / std::max(1, lineHeight) + 1);
  const long long perLine = std::max(1, std::min(maxWidth, std::max(workArea.Width(), 1))) + 2;
  const std::size_t limit = static_cast<std::size_t>(std::min<long long>(lines * perLine, 1 << 22));
  std::size_t bytes = 0, chars = 0;
  while (bytes < hint.size() && chars < limit) {
    const unsigned char c = static_cast<unsigned char>(hint[bytes]);
    bytes += c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    ++chars;
  }
  // Decoding and encoding again turns invalid sequences (and a sequence cut at the end) into
  // U+FFFD.
  return UTF8Encode(UTF8Decode(hint.substr(0, std::min(bytes, hint.size()))));
}

TRect THintWindow::CalcHintRect(int maxWidth, const String& hint, void*) {
  TCanvas& c = MeasureCanvas();
  const int width = std::max(maxWidth, 1);
  const String text = ShowableText(hint, width, Screen->WorkAreaRect(), c.TextHeight("Wg"));
  TRect r{0, 0, width, 0};
  DrawText(c, text, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(TRect rect, const String& hint) {
  const TRect work = Screen->WorkAreaRect();
  const String text = ShowableText(hint, std::max(rect.Width(), 1), work, MeasureCanvas().TextHeight("Wg"));
  if (text != Caption()) SetCaption(text);
  rect.Bottom += 4;
  // Inside the work area: cut to its size, then moved in from whichever edge it crosses.
  const int w = work.IsEmpty() ? rect.Width() : std::min(rect.Width(), work.Width());
  const int h = work.IsEmpty() ? rect.Height() : std::min(rect.Height(), work.Height());
  int x = rect.Left, y = rect.Top;
  if (!work.IsEmpty()) {
    x = std::clamp(x, work.Left, work.Right - w);
    y = std::clamp(y, work.Top, work.Bottom - h);
  }
  SetBounds(x, y, w, h);
  if (!Visible()) Show();
  Invalidate();
}

void THintWindow::ActivateHintData(TRect rect, const String& hint, void*) { ActivateHint(rect, hint); }

void THintWindow::WndProc(TMessage& m) {
  if (m.Msg == CM_RELEASE) {
    if (!Visible()) DestroyHandle();
    return;
  }
  TCustomControl::WndProc(m);
}

void THintWindow::ReleaseHandle() {
  SetVisible(false);
  DestroyHandle();
}

bool THintWindow::IsHintMsg(const TMessage& m) const {
  return (m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST) || m.Msg == CM_ACTIVATE || m.Msg == CM_DEACTIVATE ||
         m.Msg == WM_COMMAND || (m.Msg > WM_MOUSEMOVE && m.Msg <= WM_MOUSELAST);
}

void THintWindow::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetColor(Color());
  c.Brush()->SetStyle(bsSolid);
  c.FillRect(ClientRect());
  c.Brush()->SetColor(clWindowFrame);
  c.FrameRect(ClientRect());
  c.Brush()->SetColor(Color());
  // Inside the one-pixel frame, two pixels in.
  TRect r = ClientRect();
  InflateRect(r, -1, -1);
  r.Left += 2;
  r.Top += 2;
  c.Font()->SetColor(clInfoText);
  c.Brush()->SetStyle(bsClear);
  DrawText(c, Caption(), r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
  c.Brush()->SetStyle(bsSolid);
}

// --- The application's hints ------------------------------------------------------------------------

// The hidden window the hint timer ticks for (the host's application window does this).
class THintTimerWindow : public TWinControl {
public:
  THintTimerWindow() : TWinControl(nullptr) { SetVisible(false); }

protected:
  void WMTimer(TWMTimer& message) override {
    if (message.TimerID() == kHintTimerId) Application->HintTimerExpired();
  }
};

void TApplication::SetShowHint(bool value) {
  if (fShowHint == value) return;
  fShowHint = value;
  if (!value) CancelHint();
}

void TApplication::SetHintControl(TControl* control) {
  if (fHintControl == control) return;
  if (fHintControl) fHintControl->RemoveFreeNotification(this);
  fHintControl = control;
  if (control) control->FreeNotification(this);
}

void TApplication::StartHintTimer(int ms, THintTimerMode mode) {
  StopHintTimer();
  fHintTimerMode = mode;
  if (mode == THintTimerMode::Hide && ms < 0) return;  // the hint stays until the mouse leaves
  if (!fHintTimer) fHintTimer = std::make_unique<THintTimerWindow>();
  if (SetTimer(fHintTimer->Handle(), kHintTimerId, static_cast<unsigned>(std::max(ms, 0))) == 0) CancelHint();
}

void TApplication::StopHintTimer() {
  if (fHintTimer && fHintTimer->HandleAllocated()) {
    KillTimer(fHintTimer->Handle(), kHintTimerId);
    // No native window stays behind a hint that is over.
    if (!fHintControl) fHintTimer->DestroyHandle();
  }
}

void TApplication::HintTimerExpired() {
  StopHintTimer();
  if (fHintMouseLeft) {
    CancelHint();
    return;
  }
  if (fHintTimerMode == THintTimerMode::Show && fHintControl)
    ActivateHint(GetCursorPos());
  else
    CancelHint();
}

void TApplication::HintMouseMessage(TControl* control, const TMessage& message) {
  if (!control || control->ComponentState().Contains(csDesigning)) return;
  if (!fShowHint) return;
  fHintMouseLeft = false;
  const TPoint screen = control->ClientToScreen(LParamToPoint(message.LParam));
  TControl* hintControl = GetHintControl(FindDragTarget(screen, true));
  if (!hintControl) {
    CancelHint();
    return;
  }
  // While a hint is pending every move starts the pause again: the mouse has to rest.
  if (hintControl != fHintControl || !PtInRect(fHintCursorRect, screen)) {
    const bool wasActive = fHintActive;
    int pause = wasActive ? fHintShortPause : fHintPause;
    hintControl->Perform(CM_HINTSHOWPAUSE, wasActive ? 1 : 0, reinterpret_cast<LPARAM>(&pause));
    SetHintControl(hintControl);
    StartHintTimer(pause, THintTimerMode::Show);
  }
}

void TApplication::ActivateHint(TPoint cursorPos) {
  fHintActive = false;
  fHintCursorRect = TRect{};
  THintInfo info;
  if (fShowHint && fHintControl && fHintControl == GetHintControl(FindDragTarget(cursorPos, false))) {
    TControl* control = fHintControl;
    info.HintControl = control;
    info.HintWindowClass = HintWindowClass();
    info.HintPos = {cursorPos.X, cursorPos.Y + kCursorHeightMargin};
    info.HintMaxWidth = Screen->Width() > 0 ? Screen->Width() : 1;
    info.HintColor = fHintColor;
    // The whole control, in its client coordinates.
    const TPoint origin = control->ClientOrigin();
    const TPoint parentOrigin = control->Parent() ? control->Parent()->ClientOrigin() : TPoint{0, 0};
    info.CursorRect = control->BoundsRect();
    OffsetRect(info.CursorRect, parentOrigin.X - origin.X, parentOrigin.Y - origin.Y);
    info.CursorPos = control->ScreenToClient(cursorPos);
    info.HintStr = GetShortHint(GetHint(control));
    info.HideTimeout = fHintHidePause;
    bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
    if (canShow && OnShowHint) OnShowHint(info.HintStr, canShow, info);
    // The control may have gone away while it was asked.
    fHintActive = canShow && fHintControl == control;
    if (fHintActive && !info.HintStr.empty()) {
      TClass cls = info.HintWindowClass ? info.HintWindowClass : HintWindowClass();
      if (!cls->InheritsFrom(THintWindow::StaticClass()) || !cls->Factory)
        throw EInvalidOperation("A hint window class must be a creatable descendant of THintWindow");
      if (!fHintWindow || fHintWindow->ClassType() != cls) {
        fHintWindow.reset();
        fHintWindow.reset(static_cast<THintWindow*>(cls->Factory(nullptr)));
      }
      fHintWindow->SetColor(info.HintColor);
      TRect r = fHintWindow->CalcHintRect(info.HintMaxWidth, info.HintStr, info.HintData);
      OffsetRect(r, info.HintPos.X, info.HintPos.Y);
      fHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
      const TPoint topLeft = control->ClientToScreen({info.CursorRect.Left, info.CursorRect.Top});
      const TPoint bottomRight = control->ClientToScreen({info.CursorRect.Right, info.CursorRect.Bottom});
      fHintCursorRect = TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
      if (info.ReshowTimeout > 0)
        StartHintTimer(info.ReshowTimeout, THintTimerMode::Show);
      else
        StartHintTimer(info.HideTimeout, THintTimerMode::Hide);
      return;
    }
  }
  if (info.ReshowTimeout > 0 && fHintControl) {
    HideHint();
    StartHintTimer(info.ReshowTimeout, THintTimerMode::Show);
  } else {
    CancelHint();
  }
}

void TApplication::HintMouseLeave(TControl* control) {
  for (const TControl* c = control; c && fHintControl; c = c->Parent())
    if (c == fHintControl) {
      fHintMouseLeft = true;
      return;
    }
}

bool TApplication::IsHintMsg(const TMessage& message) {
  if (!fHintControl) return false;
  const bool ends = fHintWindow ? fHintWindow->IsHintMsg(message)
                                : (message.Msg >= WM_KEYFIRST && message.Msg <= WM_KEYLAST) ||
                                      (message.Msg > WM_MOUSEMOVE && message.Msg <= WM_MOUSELAST);
  if (ends) CancelHint();
  return false;
}

void TApplication::HideHint() {
  if (!fHintWindow || !fHintWindow->HandleAllocated()) return;
  fHintWindow->Hide();
  // The window goes once the message being handled (perhaps one of its own) is done.
  PostMessage(fHintWindow->Handle(), CM_RELEASE, 0, 0);
}

void TApplication::CancelHint() {
  SetHintControl(nullptr);
  fHintActive = false;
  fHintMouseLeft = false;
  fHintCursorRect = TRect{};
  StopHintTimer();
  HideHint();
}

}  // namespace zv
