// Driving Qt windows as a user would: input as Qt events, time in Qt's event loop, and what a
// window shows, grabbed from its backing store.

#include "platform/qt/QtWindowBackend.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

namespace zv::qt {

namespace {

Qt::KeyboardModifiers ModifiersOf(TShiftState s) {
  Qt::KeyboardModifiers m;
  if (s.Contains(ssShift)) m |= Qt::ShiftModifier;
  if (s.Contains(ssCtrl)) m |= Qt::ControlModifier;
  if (s.Contains(ssAlt)) m |= Qt::AltModifier;
  return m;
}

Qt::MouseButtons ButtonsOf(TShiftState s) {
  Qt::MouseButtons b;
  if (s.Contains(ssLeft)) b |= Qt::LeftButton;
  if (s.Contains(ssRight)) b |= Qt::RightButton;
  if (s.Contains(ssMiddle)) b |= Qt::MiddleButton;
  return b;
}

Qt::MouseButton ButtonOf(TMouseButton b) {
  return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
}

}  // namespace

void AnnounceApplicationState(bool active) {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    emit app->applicationStateChanged(active ? Qt::ApplicationActive : Qt::ApplicationInactive);
}

void SendInputAsQtEvents(TNativeWindow window, const TNativeInput& in) {
  QWindow* w = NativeQWindow(window);
  if (!w) return;
  const QPointF local(in.Pos.X, in.Pos.Y);
  const QPointF global = w->mapToGlobal(local);
  const Qt::KeyboardModifiers mods = ModifiersOf(in.Shift);
  switch (in.Kind) {
    case TNativeInputKind::MouseDown:
    case TNativeInputKind::MouseUp:
    case TNativeInputKind::MouseMove: {
      const QEvent::Type type = in.Kind == TNativeInputKind::MouseDown ? QEvent::MouseButtonPress
                                : in.Kind == TNativeInputKind::MouseUp ? QEvent::MouseButtonRelease
                                                                       : QEvent::MouseMove;
      QMouseEvent e(type, local, global, in.Kind == TNativeInputKind::MouseMove ? Qt::NoButton : ButtonOf(in.Button),
                    ButtonsOf(in.Shift), mods);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case TNativeInputKind::Wheel: {
      const QPoint angle = in.Horizontal ? QPoint(in.WheelDelta, 0) : QPoint(0, in.WheelDelta);
      QWheelEvent e(local, global, QPoint(), angle, ButtonsOf(in.Shift), mods, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case TNativeInputKind::MouseLeave: {
      QEvent e(QEvent::Leave);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case TNativeInputKind::KeyDown:
    case TNativeInputKind::KeyUp:
      SendQtKey(window, in.Kind == TNativeInputKind::KeyDown, in.Key, in.Shift, String(), in.Repeat);
      break;
    case TNativeInputKind::Char: {
      QKeyEvent e(QEvent::KeyPress, Qt::Key_unknown, mods, QString::fromUcs4(&in.Char, 1));
      QCoreApplication::sendEvent(w, &e);
      break;
    }
  }
}

void SendQtKey(TNativeWindow window, bool press, Word vk, TShiftState shift, const String& text, bool autoRepeat) {
  QWindow* w = NativeQWindow(window);
  if (!w) return;
  QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, QtKeyFromVirtualKey(vk), ModifiersOf(shift),
              QString::fromStdString(text), autoRepeat);
  QCoreApplication::sendEvent(w, &e);
}

void SendQtKeyCode(TNativeWindow window, bool press, int qtKey, const String& text) {
  QWindow* w = NativeQWindow(window);
  if (!w) return;
  QKeyEvent e(press ? QEvent::KeyPress : QEvent::KeyRelease, qtKey, Qt::NoModifier, QString::fromStdString(text));
  QCoreApplication::sendEvent(w, &e);
}

void RunQtEventLoop(unsigned milliseconds, const std::function<void()>& each) {
  QElapsedTimer clock;
  clock.start();
  bool done = false;
  QTimer::singleShot(static_cast<int>(milliseconds), [&] { done = true; });
  while (!done || clock.elapsed() < static_cast<qint64>(milliseconds)) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (each) each();
  }
}

TColor ShownPixel(TNativeWindow window, int x, int y) {
  QWindow* w = NativeQWindow(window);
  if (!w || !w->screen()) return CLR_INVALID;
  QEvent update(QEvent::UpdateRequest);  // paint what was presented now, not at the next frame
  QCoreApplication::sendEvent(w, &update);
  const QImage image = w->screen()->grabWindow(w->winId(), x, y, 1, 1).toImage();
  if (image.isNull() || image.width() < 1) return CLR_INVALID;
  const QRgb p = image.pixel(0, 0);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

TRect NativeGeometry(TNativeWindow window) {
  QWindow* w = NativeQWindow(window);
  if (!w) return {};
  const QRect g = w->geometry();
  return Bounds(g.x(), g.y(), g.width(), g.height());
}

String NativeTitle(TNativeWindow window) {
  QWindow* w = NativeQWindow(window);
  return w ? w->title().toStdString() : String();
}

bool NativeVisible(TNativeWindow window) {
  QWindow* w = NativeQWindow(window);
  return w && w->isVisible();
}

void ResizeNative(TNativeWindow window, int width, int height) {
  if (QWindow* w = NativeQWindow(window)) w->resize(width, height);
}

void SizeNative(TNativeWindow window, const TRect& bounds) {
  if (QWindow* w = NativeQWindow(window)) w->setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
}

std::uintptr_t WindowSystemId(TNativeWindow window) {
  QWindow* w = NativeQWindow(window);
  return w ? static_cast<std::uintptr_t>(w->winId()) : 0;
}

TColor ScreenPixel(TNativeWindow window, int x, int y) {
  QWindow* w = NativeQWindow(window);
  if (!w || !w->screen()) return CLR_INVALID;
  const QPoint at = w->mapToGlobal(QPoint(x, y));
  const QImage image = w->screen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
  if (image.isNull() || image.width() < 1) return CLR_INVALID;
  const QRgb p = image.pixel(0, 0);
  return RGB(qRed(p), qGreen(p), qBlue(p));
}

}  // namespace zv::qt
