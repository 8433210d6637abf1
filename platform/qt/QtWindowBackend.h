#pragma once
// The Qt 6 window backend: each native window is a QRasterWindow showing its retained surface
// (a QImage of the Qt graphics backend, see QtBackend.h); Qt's input events become native input
// for the controls layer, QTimers drive the timers, and the application's message loop runs
// Qt's event loop one iteration at a time. Qt's own double clicks are ignored: the controls
// layer detects double clicks itself, alike on every backend. Exceptions thrown while Qt
// delivers an event go to the application's exception handler.
//
// Requires a live QGuiApplication (see GuiSession.h) and the Qt graphics backend.

#include "platform/controls/WindowBackend.h"

#include <QWindow>

#include <functional>

namespace zv::qt {

std::unique_ptr<TWindowBackend> CreateQtWindowBackend();
// The QWindow of a native window of the active Qt window backend, or null.
QWindow* NativeQWindow(TNativeWindow window);

// --- Driving windows as a user would (tests, demonstrations) -----------------------------------
// Input sent to the window as Qt events, so that it takes the way of real input. A Char
// becomes text without a key, as an input method delivers it.
void SendInputAsQtEvents(TNativeWindow window, const TNativeInput& input);
// A key event as a keyboard layout makes it: the key with its text.
void SendQtKey(TNativeWindow window, bool press, Word vk, TShiftState shift, const String& text,
               bool autoRepeat = false);
// A key event with Qt's own key code, as a layout makes it for a key Qt names by its character
// (Qt::Key_Eacute, a Cyrillic letter's capital).
void SendQtKeyCode(TNativeWindow window, bool press, int qtKey, const String& text);
// The application's activation changes, as the platform announces it to Qt's application
// object (the user switched to another application and back).
void AnnounceApplicationState(bool active);
// Runs Qt's event loop for at least milliseconds, calling each after every round.
void RunQtEventLoop(unsigned milliseconds, const std::function<void()>& each);
// What the window shows at (x, y), once what was presented is painted; CLR_INVALID when
// unknown.
TColor ShownPixel(TNativeWindow window, int x, int y);
// The window as Qt has it, and a resize as the user makes it.
TRect NativeGeometry(TNativeWindow window);
String NativeTitle(TNativeWindow window);
bool NativeVisible(TNativeWindow window);
void ResizeNative(TNativeWindow window, int width, int height);
// The client area moved to bounds (screen), as the user drags any edge of the frame.
void SizeNative(TNativeWindow window, const TRect& bounds);
// The windowing system's own id of the window (the X window on xcb), 0 when there is none.
std::uintptr_t WindowSystemId(TNativeWindow window);
// What the screen shows at (x, y) of the window, read back from the windowing system as it is,
// with nothing painted first (so a window that failed to repaint shows as such); CLR_INVALID
// when unknown.
TColor ScreenPixel(TNativeWindow window, int x, int y);

// The virtual key code of a Qt key (Qt::Key; keypad when the key came from the keypad), and a
// Qt key for a virtual key code; 0 when there is none. Every key that types a character has
// one, as on the host: a letter beyond ASCII is named by the key it lies on, from scanCode
// (the X / evdev key code, 0 when unknown) when given, else by the standard layout of its
// script (Cyrillic and Greek letters on the Latin keys they replace, accented letters on their
// base letter, German letters on their German keys), else VK_OEM_8.
Word VirtualKeyFromQt(int qtKey, bool keypad, std::uint32_t scanCode = 0);
int QtKeyFromVirtualKey(Word vk);

}  // namespace zv::qt
