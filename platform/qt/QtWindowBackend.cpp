#include "platform/qt/QtWindowBackend.h"

#include "platform/controls/Messages.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtClipboard.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>
#include <string>
#include <map>

namespace zv::qt {

namespace {

class TQtWindowBackend;

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s;
  if (modifiers & Qt::ShiftModifier) s.Include(ssShift);
  if (modifiers & Qt::ControlModifier) s.Include(ssCtrl);
  if (modifiers & Qt::AltModifier) s.Include(ssAlt);
  if (buttons & Qt::LeftButton) s.Include(ssLeft);
  if (buttons & Qt::RightButton) s.Include(ssRight);
  if (buttons & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

// Pop-ups are tool tips to Qt: frameless, above everything, never activated by showing.
Qt::WindowFlags FlagsOf(const TNativeWindowParams& p) {
  // Input passes through markers to the windows below.
  const Qt::WindowFlags input = p.TransparentForInput ? Qt::WindowTransparentForInput : Qt::WindowFlags();
  // Never given the keyboard focus: the owner keeps it and hands the keys on.
  if (p.Popup) return Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | input;
  Qt::WindowFlags f = input;
  switch (p.Frame) {
    case TNativeFrame::None: f |= Qt::Window | Qt::FramelessWindowHint; break;
    case TNativeFrame::Single: f |= Qt::Window | Qt::MSWindowsFixedSizeDialogHint; break;
    case TNativeFrame::Sizeable: f |= Qt::Window; break;
    case TNativeFrame::Dialog: f |= Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint; break;
    case TNativeFrame::Tool: f |= Qt::Tool | Qt::MSWindowsFixedSizeDialogHint; break;
    case TNativeFrame::SizeableTool: f |= Qt::Tool; break;
  }
  // A caption whose buttons differ from what its frame shows by default names them all.
  const bool small = p.Frame == TNativeFrame::Dialog || p.Frame == TNativeFrame::Tool ||
                     p.Frame == TNativeFrame::SizeableTool;
  const bool usual = p.SystemMenu && p.MinimizeButton == !small && p.MaximizeButton == !small && !p.HelpButton;
  if (p.Frame != TNativeFrame::None && !usual) {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (p.SystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (p.MinimizeButton) f |= Qt::WindowMinimizeButtonHint;
    if (p.MaximizeButton) f |= Qt::WindowMaximizeButtonHint;
    if (p.HelpButton) f |= Qt::WindowContextHelpButtonHint;
  }
  if (p.StayOnTop) f |= Qt::WindowStaysOnTopHint;
  if (!p.ActivateOnShow) f |= Qt::WindowDoesNotAcceptFocus;
  return f;
}

class TQtWindow : public QRasterWindow {
public:
  TQtWindow(TQtWindowBackend& backend, TNativeWindow id) : fBackend(backend), fId(id) {}
  const QImage* Image = nullptr;
  bool SizeableFrame = false;  // the window manager sizes it by its frame

protected:
  void paintEvent(QPaintEvent* e) override {
    if (!Image) return;
    QPainter p(this);
    for (const QRect& r : e->region()) p.drawImage(r.topLeft(), *Image, r);
  }
  void mousePressEvent(QMouseEvent* e) override { Mouse(TNativeInputKind::MouseDown, e); }
  void mouseReleaseEvent(QMouseEvent* e) override { Mouse(TNativeInputKind::MouseUp, e); }
  void mouseMoveEvent(QMouseEvent* e) override { Mouse(TNativeInputKind::MouseMove, e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override { Key(e, true); }
  void keyReleaseEvent(QKeyEvent* e) override { Key(e, false); }
  void focusInEvent(QFocusEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void moveEvent(QMoveEvent*) override;
  bool event(QEvent* e) override;

private:
  void Mouse(TNativeInputKind kind, QMouseEvent* e);
  void Key(QKeyEvent* e, bool down);
  void Deliver(const TNativeInput& input);
  template <class F>
  void Guard(F&& f);

  TQtWindowBackend& fBackend;
  TNativeWindow fId;
};

class TQtWindowBackend : public TWindowBackend {
public:
  TQtWindowBackend() {
    fClock.start();
    // The application's activation follows the windowing system's: with no window of the
    // program active, the user is in another application.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
      fAppState = QObject::connect(app, &QGuiApplication::applicationStateChanged, [this](Qt::ApplicationState state) {
        try {
          if (Sink()) Sink()->ApplicationActiveChanged(state == Qt::ApplicationActive);
        } catch (...) {
          if (Sink()) Sink()->HandleException();
        }
      });
  }
  ~TQtWindowBackend() override {
    QObject::disconnect(fAppState);
    fTimers.clear();
    fWindows.clear();
  }

  String Name() const override { return "Qt"; }

  TNativeWindow CreateWindow(const TNativeWindowParams& params) override {
    const TNativeWindow id = fNext++;
    auto window = std::make_unique<TQtWindow>(*this, id);
    window->setFlags(FlagsOf(params));
    window->SizeableFrame =
        !params.Popup && (params.Frame == TNativeFrame::Sizeable || params.Frame == TNativeFrame::SizeableTool);
    if (TQtWindow* owner = Find(params.Owner)) window->setTransientParent(owner);
    window->setTitle(QString::fromStdString(params.Caption));
    SetGeometry(*window, params.Bounds);
    fWindows[id] = std::move(window);
    return id;
  }

  void DestroyWindow(TNativeWindow id) override {
    if (fGrabbed == id) fGrabbed = 0;
    fWindows.erase(id);
  }

  void ShowWindow(TNativeWindow id, bool visible) override {
    if (TQtWindow* w = Find(id)) w->setVisible(visible);
  }

  void SetWindowBounds(TNativeWindow id, const TRect& r) override {
    if (TQtWindow* w = Find(id)) SetGeometry(*w, r);
  }

  void SetWindowCaption(TNativeWindow id, const String& caption) override {
    if (TQtWindow* w = Find(id)) w->setTitle(QString::fromStdString(caption));
  }

  void ActivateWindow(TNativeWindow id) override {
    if (TQtWindow* w = Find(id); w && w->isVisible()) w->requestActivate();
  }

  void SetWindowShape(TNativeWindow id, const TRegion* region) override {
    TQtWindow* w = Find(id);
    if (!w) return;
    QRegion mask;
    if (region)
      for (const TRect& r : region->Rects()) mask += QRect(r.Left, r.Top, r.Width(), r.Height());
    // An empty mask would show the whole window: a shape of nothing is a one-pixel-off mask.
    if (region && mask.isEmpty()) mask = QRegion(-1, -1, 1, 1);
    w->setMask(mask);
  }

  void Present(TNativeWindow id, TPaintDevice& surface, const TRegion& region) override {
    TQtWindow* w = Find(id);
    if (!w) return;
    w->Image = SurfaceImage(surface);
    QRegion r;
    for (const TRect& rect : region.Rects()) r += QRect(rect.Left, rect.Top, rect.Width(), rect.Height());
    w->update(r);
  }

  void SetCapture(TNativeWindow id) override {
    // The off-screen platforms have no mouse to grab (and say so on every try).
    static const bool canGrab = QGuiApplication::platformName() != QLatin1String("offscreen") &&
                                QGuiApplication::platformName() != QLatin1String("minimal");
    if (!canGrab || id == fGrabbed) return;
    if (TQtWindow* old = Find(fGrabbed)) old->setMouseGrabEnabled(false);
    fGrabbed = id;
    if (TQtWindow* w = Find(id)) w->setMouseGrabEnabled(true);
  }

  void SetCursor(TNativeWindow id, TCursor cursor) override {
    if (TQtWindow* w = Find(id)) w->setCursor(QCursor(ShapeOf(cursor)));
  }

  void StartTimer(std::uintptr_t key, unsigned milliseconds) override {
    auto& timer = fTimers[key];
    if (!timer) {
      timer = std::make_unique<QTimer>();
      QObject::connect(timer.get(), &QTimer::timeout, [this, key] {
        try {
          if (Sink()) Sink()->TimerFired(key);
        } catch (...) {
          if (Sink()) Sink()->HandleException();
        }
      });
    }
    timer->start(static_cast<int>(std::min(milliseconds, 0x7FFFFFFFu)));
  }

  void StopTimer(std::uintptr_t key) override { fTimers.erase(key); }

  void ProcessEvents(bool wait) override {
    QCoreApplication::processEvents(wait ? QEventLoop::WaitForMoreEvents : QEventLoop::AllEvents);
  }

  void Wake() override {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
  }

  std::uint64_t TickCount() const override { return static_cast<std::uint64_t>(fClock.elapsed()); }

  TRect ScreenRect() const override {
    const QScreen* s = QGuiApplication::primaryScreen();
    const QRect r = s ? s->geometry() : QRect(0, 0, 1920, 1080);
    return Bounds(r.x(), r.y(), r.width(), r.height());
  }

  TRect WorkAreaRect() const override {
    const QScreen* s = QGuiApplication::primaryScreen();
    const QRect r = s ? s->availableGeometry() : QRect(0, 0, 1920, 1080);
    return Bounds(r.x(), r.y(), r.width(), r.height());
  }

  TPoint CursorPos() const override {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
  }

  void SetCursorPos(TPoint p) override { QCursor::setPos(p.X, p.Y); }
  void Beep() override {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) QApplication::beep();
  }

  bool Interactive() const override { return QtInteractive(); }
  bool RunFileDialog(TNativeWindow owner, TNativeFileDialog& dialog) override {
    return RunQtFileDialog(Find(owner), dialog);
  }
  bool RunColorDialog(TNativeWindow owner, TColor& color) override { return RunQtColorDialog(Find(owner), color); }

  void SetClipboardContent(const std::vector<TClipboardFormat>& formats) override { SetQtClipboard(formats); }
  std::vector<String> ClipboardFormats() const override { return QtClipboardFormats(); }
  std::vector<std::uint8_t> ClipboardData(const String& mime) const override { return QtClipboardData(mime); }
  void ClearClipboard() override { ClearQtClipboard(); }

  TQtWindow* Find(TNativeWindow id) const {
    const auto it = fWindows.find(id);
    return it == fWindows.end() ? nullptr : it->second.get();
  }

  // Geometry that the controls set is not reported back to them.
  bool SettingGeometry = false;

private:
  void SetGeometry(TQtWindow& w, const TRect& r) {
    SettingGeometry = true;
    w.setGeometry(r.Left, r.Top, std::max(r.Width(), 1), std::max(r.Height(), 1));
    SettingGeometry = false;
  }

  std::map<TNativeWindow, std::unique_ptr<TQtWindow>> fWindows;
  std::map<std::uintptr_t, std::unique_ptr<QTimer>> fTimers;
  TNativeWindow fNext = 1;
  TNativeWindow fGrabbed = 0;
  QElapsedTimer fClock;
  QMetaObject::Connection fAppState;
};

template <class F>
void TQtWindow::Guard(F&& f) {
  TWindowSink* sink = fBackend.Sink();
  if (!sink) return;
  try {
    f(*sink);
  } catch (...) {
    sink->HandleException();
  }
}

void TQtWindow::Deliver(const TNativeInput& input) {
  Guard([&](TWindowSink& sink) { sink.Input(fId, input); });
}

void TQtWindow::Mouse(TNativeInputKind kind, QMouseEvent* e) {
  TNativeInput in;
  in.Kind = kind;
  const QPointF p = e->position();
  in.Pos = {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
  in.Button = e->button() == Qt::RightButton ? mbRight : e->button() == Qt::MiddleButton ? mbMiddle : mbLeft;
  in.Shift = ShiftOf(e->modifiers(), e->buttons());
  Deliver(in);
  e->accept();
}

void TQtWindow::wheelEvent(QWheelEvent* e) {
  TNativeInput in;
  in.Kind = TNativeInputKind::Wheel;
  const QPointF p = e->position();
  in.Pos = {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
  const QPoint delta = e->angleDelta();
  in.Horizontal = delta.y() == 0 && delta.x() != 0;
  in.WheelDelta = in.Horizontal ? delta.x() : delta.y();
  in.Shift = ShiftOf(e->modifiers(), e->buttons());
  if (in.WheelDelta != 0) Deliver(in);
  e->accept();
}

void TQtWindow::Key(QKeyEvent* e, bool down) {
  if (!down && e->isAutoRepeat()) return;  // the host repeats key downs only
  TNativeInput in;
  in.Kind = down ? TNativeInputKind::KeyDown : TNativeInputKind::KeyUp;
  // X key codes name the physical key on xcb and wayland; elsewhere they are unknown.
  static const bool xKeyCodes = QGuiApplication::platformName() == QLatin1String("xcb") ||
                                QGuiApplication::platformName() == QLatin1String("wayland");
  in.Key = VirtualKeyFromQt(e->key(), e->modifiers() & Qt::KeypadModifier, xKeyCodes ? e->nativeScanCode() : 0);
  in.Repeat = e->isAutoRepeat();
  in.Shift = ShiftOf(e->modifiers(), QGuiApplication::mouseButtons());
  if (in.Key != 0) Deliver(in);
  if (down)
    for (char32_t c : e->text().toUcs4()) {
      if (c == 0x7F) continue;  // Delete makes no character on the host
      TNativeInput ch = in;
      ch.Kind = TNativeInputKind::Char;
      ch.Char = c;
      Deliver(ch);
    }
  e->accept();
}

void TQtWindow::focusInEvent(QFocusEvent*) {
  Guard([&](TWindowSink& sink) { sink.ActiveChanged(fId, true); });
}

void TQtWindow::resizeEvent(QResizeEvent*) {
  if (fBackend.SettingGeometry) return;
  // A frame the window manager sized: the window hears which edge moved and may answer (the
  // geometry, position included, is the new one already when the resize arrives).
  if (SizeableFrame) {
    const QRect g = geometry();
    Guard([&](TWindowSink& sink) { sink.UserSized(fId, Bounds(g.x(), g.y(), g.width(), g.height())); });
    return;
  }
  const int w = width(), h = height();
  Guard([&](TWindowSink& sink) { sink.Resized(fId, w, h); });
}

void TQtWindow::moveEvent(QMoveEvent*) {
  if (fBackend.SettingGeometry) return;
  const int x = this->x(), y = this->y();
  Guard([&](TWindowSink& sink) { sink.Moved(fId, x, y); });
}

bool TQtWindow::event(QEvent* e) {
  if (e->type() == QEvent::Close) {
    Guard([&](TWindowSink& sink) { sink.CloseRequested(fId); });
    e->ignore();
    return true;
  }
  if (e->type() == QEvent::Leave) {
    TNativeInput in;
    in.Kind = TNativeInputKind::MouseLeave;
    Deliver(in);
  }
  return QRasterWindow::event(e);
}

struct TKeyPair {
  int Qt;
  Word Vk;
};
constexpr TKeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK},   {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},    {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL},  {Qt::Key_Alt, VK_MENU},        {Qt::Key_AltGr, VK_MENU},
    {Qt::Key_Pause, VK_PAUSE},      {Qt::Key_CapsLock, VK_CAPITAL}, {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},      {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},          {Qt::Key_Home, VK_HOME},       {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},            {Qt::Key_Right, VK_RIGHT},     {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Print, VK_SNAPSHOT},   {Qt::Key_Insert, VK_INSERT},   {Qt::Key_Delete, VK_DELETE},
    {Qt::Key_Help, VK_HELP},        {Qt::Key_Meta, VK_LWIN},       {Qt::Key_Menu, VK_APPS},
    {Qt::Key_NumLock, VK_NUMLOCK},  {Qt::Key_ScrollLock, VK_SCROLL}, {Qt::Key_Clear, VK_CLEAR},
    {Qt::Key_Semicolon, VK_OEM_1},  {Qt::Key_Equal, VK_OEM_PLUS},  {Qt::Key_Comma, VK_OEM_COMMA},
    {Qt::Key_Minus, VK_OEM_MINUS},  {Qt::Key_Period, VK_OEM_PERIOD}, {Qt::Key_Slash, VK_OEM_2},
    {Qt::Key_QuoteLeft, VK_OEM_3},  {Qt::Key_BracketLeft, VK_OEM_4}, {Qt::Key_Backslash, VK_OEM_5},
    {Qt::Key_BracketRight, VK_OEM_6}, {Qt::Key_Apostrophe, VK_OEM_7},
};

// The keys of a US keyboard by X key code (evdev code + 8): where a key lies, whatever it types.
Word VirtualKeyFromScanCode(std::uint32_t code) {
  static constexpr const char* kRows[] = {"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
  static constexpr std::uint32_t kFirst[] = {10, 24, 38, 52};
  for (int row = 0; row < 4; ++row) {
    const std::uint32_t n = static_cast<std::uint32_t>(std::char_traits<char>::length(kRows[row]));
    if (code >= kFirst[row] && code < kFirst[row] + n) return static_cast<Word>(kRows[row][code - kFirst[row]]);
  }
  switch (code) {
    case 20: return VK_OEM_MINUS;
    case 21: return VK_OEM_PLUS;
    case 34: return VK_OEM_4;
    case 35: return VK_OEM_6;
    case 47: return VK_OEM_1;
    case 48: return VK_OEM_7;
    case 49: return VK_OEM_3;
    case 51: return VK_OEM_5;
    case 59: return VK_OEM_COMMA;
    case 60: return VK_OEM_PERIOD;
    case 61: return VK_OEM_2;
    case 94: return VK_OEM_102;
    default: return 0;
  }
}

// Cyrillic capitals А..Я (U+0410..U+042F) on the Russian layout's keys.
constexpr Word kCyrillic[32] = {
    'F', VK_OEM_COMMA, 'D', 'U', 'L', 'T', VK_OEM_1, 'P', 'B', 'Q', 'R', 'K', 'V', 'Y', 'J', 'G',
    'H', 'C', 'N', 'E', 'A', VK_OEM_4, 'W', 'X', 'I', 'O', VK_OEM_6, 'S', 'M', VK_OEM_7, VK_OEM_PERIOD, 'Z'};
// Greek capitals Α..Ω (U+0391..U+03A9) on the Greek layout's keys (U+03A2 is no letter).
constexpr Word kGreek[25] = {'A', 'B', 'G', 'D', 'E', 'Z', 'H', 'U', 'I', 'K', 'L', 'M', 'N',
                             'J', 'O', 'P', 'R', 0,   'S', 'T', 'Y', 'F', 'X', 'C', 'V'};

// The key of a character a layout types; 0 for none.
Word VirtualKeyFromChar(char32_t c) {
  const char32_t u = QChar::toUpper(c);
  if (u >= 'A' && u <= 'Z') return static_cast<Word>(u);
  if (u >= 0x410 && u <= 0x42F) return kCyrillic[u - 0x410];
  if (u >= 0x391 && u <= 0x3A9) return kGreek[u - 0x391];
  switch (u) {
    case 0x401: return VK_OEM_3;     // Ё
    case 0x406: return 'S';          // Ukrainian І, where Ы is
    case 0x407: return VK_OEM_6;     // Ї
    case 0x404: return VK_OEM_7;     // Є
    case 0x3C2: return 'W';          // final sigma
    case 0xDC: return VK_OEM_1;      // Ü
    case 0xD6: return VK_OEM_3;      // Ö
    case 0xC4: return VK_OEM_7;      // Ä
    case 0xDF: case 0x1E9E: return VK_OEM_4;  // ß
    default: break;
  }
  // An accented letter lies on its base letter's key (Greek tonos included).
  const QString d = QChar::decomposition(u);
  if (!d.isEmpty() && d.at(0).unicode() != u) {
    const Word base = VirtualKeyFromChar(d.at(0).unicode());
    if (base != 0) return base;
  }
  return 0;
}

}  // namespace

Word VirtualKeyFromQt(int key, bool keypad, std::uint32_t scanCode) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<Word>('A' + (key - Qt::Key_A));
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return static_cast<Word>((keypad ? VK_NUMPAD0 : '0') + (key - Qt::Key_0));
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (key - Qt::Key_F1));
  if (keypad) {
    switch (key) {
      case Qt::Key_Asterisk: return VK_MULTIPLY;
      case Qt::Key_Plus: return VK_ADD;
      case Qt::Key_Minus: return VK_SUBTRACT;
      case Qt::Key_Period: return VK_DECIMAL;
      case Qt::Key_Slash: return VK_DIVIDE;
      default: break;
    }
  }
  if (key == Qt::Key_Plus) return VK_OEM_PLUS;
  for (const TKeyPair& k : kKeys)
    if (k.Qt == key) return k.Vk;
  // Qt names a key that types a character beyond ASCII by that character.
  if (key < 0xA0 || key > 0x10FFFF) return 0;
  if (const Word vk = VirtualKeyFromScanCode(scanCode)) return vk;
  const Word vk = VirtualKeyFromChar(static_cast<char32_t>(key));
  return vk != 0 ? vk : (QChar::isPrint(static_cast<char32_t>(key)) ? VK_OEM_8 : Word{0});
}

int QtKeyFromVirtualKey(Word vk) {
  if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + (vk - 'A');
  if (vk >= '0' && vk <= '9') return Qt::Key_0 + (vk - '0');
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return Qt::Key_0 + (vk - VK_NUMPAD0);
  if (vk >= VK_F1 && vk <= VK_F24) return Qt::Key_F1 + (vk - VK_F1);
  for (const TKeyPair& k : kKeys)
    if (k.Vk == vk) return k.Qt;
  return 0;
}

std::unique_ptr<TWindowBackend> CreateQtWindowBackend() { return std::make_unique<TQtWindowBackend>(); }

QWindow* NativeQWindow(TNativeWindow window) {
  auto* backend = HasWindowBackend() ? dynamic_cast<TQtWindowBackend*>(&WindowBackend()) : nullptr;
  return backend ? backend->Find(window) : nullptr;
}

}  // namespace zv::qt
