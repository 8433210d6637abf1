#pragma once
// The window backend: what the controls need from a windowing system, and nothing more. Only
// top-level controls get a native window; everything inside one (child controls, their
// invalidation, painting, clipping, scrolling, non-client frames, capture, focus, hit-testing)
// is modelled in platform/controls on one retained surface per native window, so that both
// backends behave alike.
//
// A backend reports what happens (input, resizes, timer ticks) to its sink; the sink only
// queues work for the application's message loop, which dispatches it. Sink calls never throw.
// The headless backend is platform/null/NullWindowBackend.h, the Qt one
// platform/qt/QtWindowBackend.h.

#include "platform/controls/ControlTypes.h"
#include "platform/graphics/PaintDevice.h"
#include "platform/graphics/Region.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zv {

// The backend's name for one of its native windows; 0 is none.
using TNativeWindow = std::uintptr_t;

enum class TNativeInputKind { MouseDown, MouseUp, MouseMove, Wheel, MouseLeave, KeyDown, KeyUp, Char };

// One input event, in the native window's coordinates (which may lie outside it while a
// button is held or the mouse is captured).
struct TNativeInput {
  TNativeInputKind Kind = TNativeInputKind::MouseMove;
  TPoint Pos;
  TMouseButton Button = mbLeft;  // MouseDown, MouseUp
  int WheelDelta = 0;            // Wheel: WHEEL_DELTA per notch, positive away from the user
  bool Horizontal = false;       // Wheel
  // Modifiers and mouse buttons held once the event has happened (a MouseDown includes its
  // button, a MouseUp no longer does).
  TShiftState Shift;
  Word Key = 0;          // KeyDown, KeyUp: the virtual key code
  bool Repeat = false;   // KeyDown: auto-repeat
  char32_t Char = 0;     // Char: one code point
};

class TWindowSink {
public:
  virtual void Input(TNativeWindow window, const TNativeInput& input) = 0;
  // The user (or the windowing system) changed a window's size or position.
  virtual void Resized(TNativeWindow window, int width, int height) = 0;
  virtual void Moved(TNativeWindow window, int x, int y) = 0;
  // The user dragged edges of a window the windowing system frames: the client area's new screen
  // rectangle. The window may answer with another, which then goes back to the windowing system.
  virtual void UserSized(TNativeWindow window, const TRect& bounds) = 0;
  virtual void CloseRequested(TNativeWindow window) = 0;
  virtual void ActiveChanged(TNativeWindow window, bool active) = 0;
  // The application gained or lost the activation (the user switched to another one).
  virtual void ApplicationActiveChanged(bool active) = 0;
  virtual void TimerFired(std::uintptr_t timer) = 0;
  // Call from inside a catch block: hands the exception to the application.
  virtual void HandleException() = 0;

protected:
  ~TWindowSink() = default;
};

// The frame the windowing system draws around a window's client area.
enum class TNativeFrame { None, Single, Sizeable, Dialog, Tool, SizeableTool };

struct TNativeWindowParams {
  TRect Bounds;        // screen coordinates of the client area
  String Caption;
  bool Popup = false;  // no frame, above its owner, never activated by showing (drop-downs, hints)
  TNativeFrame Frame = TNativeFrame::None;
  bool StayOnTop = false;
  TNativeWindow Owner = 0;     // kept above its owner
  bool ActivateOnShow = true;  // showing the window makes it the active one
  bool TransparentForInput = false;  // the mouse reaches the windows below it
  // The buttons of a frame with a caption: system menu (with the close button), minimize,
  // maximize, help.
  bool SystemMenu = true;
  bool MinimizeButton = true;
  bool MaximizeButton = true;
  bool HelpButton = false;
};

// A file dialog's question and, once answered, its answer (FileName, FilterIndex).
struct TNativeFileDialog {
  bool Save = false;
  String Title;
  String InitialDir;
  String FileName;
  String DefaultExt;      // without the dot; added to a typed name that has none
  String Filter;          // the host's form: "Bitmaps (*.bmp)|*.bmp|All files (*.*)|*.*"
  int FilterIndex = 1;    // 1-based
  bool MustExist = false;
  bool OverwritePrompt = false;
};

class TWindowBackend {
public:
  virtual ~TWindowBackend();
  virtual String Name() const = 0;

  // Native windows start hidden.
  virtual TNativeWindow CreateWindow(const TNativeWindowParams& params) = 0;
  virtual void DestroyWindow(TNativeWindow window) = 0;
  virtual void ShowWindow(TNativeWindow window, bool visible) = 0;
  virtual void SetWindowBounds(TNativeWindow window, const TRect& screenBounds) = 0;
  virtual void SetWindowCaption(TNativeWindow window, const String& caption) = 0;
  virtual void ActivateWindow(TNativeWindow window) = 0;
  // Shapes the window to region (window coordinates): the rest shows what lies below and
  // takes no input. Null restores its rectangle.
  virtual void SetWindowShape(TNativeWindow, const TRegion*) {}
  // Makes region (surface coordinates) of the window's retained surface visible. The surface
  // outlives the window and keeps its address while the window exists.
  virtual void Present(TNativeWindow window, TPaintDevice& surface, const TRegion& region) = 0;
  // Routes all mouse input to window (0 releases), wherever the mouse is.
  virtual void SetCapture(TNativeWindow window) = 0;
  virtual void SetCursor(TNativeWindow window, TCursor cursor) = 0;

  // A periodic timer under the caller's key; starting a running key restarts it.
  virtual void StartTimer(std::uintptr_t timer, unsigned milliseconds) = 0;
  virtual void StopTimer(std::uintptr_t timer) = 0;

  // One iteration of the native event loop; with wait, blocks until something happens.
  virtual void ProcessEvents(bool wait) = 0;
  // Ends a wait in ProcessEvents.
  virtual void Wake() = 0;
  // Milliseconds of a monotonic clock.
  virtual std::uint64_t TickCount() const = 0;
  virtual TRect ScreenRect() const = 0;
  virtual TRect WorkAreaRect() const = 0;
  virtual TPoint CursorPos() const = 0;
  // Moves the mouse pointer (screen coordinates) and sounds the alert; nothing by default.
  virtual void SetCursorPos(TPoint) {}
  virtual void Beep() {}
  // Whether a user can answer windows (false headless and off-screen): a modal loop nobody
  // can end must not be started.
  virtual bool Interactive() const { return false; }
  // The system's file and colour dialogs, modal over owner; false when cancelled or when the
  // backend has none (the default: there is no user to ask).
  virtual bool RunFileDialog(TNativeWindow owner, TNativeFileDialog& dialog);
  virtual bool RunColorDialog(TNativeWindow owner, TColor& color);

  // The clipboard, as a list of formats named by MIME type ("text/plain" is UTF-8 text,
  // "image/png" a picture). The default keeps an in-process store; a backend with a system
  // clipboard overrides all four.
  struct TClipboardFormat {
    String Mime;
    std::vector<std::uint8_t> Data;
  };
  // Replaces the whole content.
  virtual void SetClipboardContent(const std::vector<TClipboardFormat>& formats);
  virtual std::vector<String> ClipboardFormats() const;
  // Empty when the format is absent.
  virtual std::vector<std::uint8_t> ClipboardData(const String& mime) const;
  virtual void ClearClipboard();

  TWindowSink* Sink() const { return fSink; }

private:
  friend std::unique_ptr<TWindowBackend> SetWindowBackend(std::unique_ptr<TWindowBackend> backend);
  TWindowSink* fSink = nullptr;
  std::vector<TClipboardFormat> fClipboard;
};

// The native window of window's top-level window, and its retained surface with the place of
// window's client area on it; 0 / null for a stale handle.
TNativeWindow NativeWindowOf(HWND window);
TPaintDevice* RetainedSurfaceOf(HWND window, TPoint* clientOrigin = nullptr);

// Makes backend the active one and returns the previous one. Windows of the previous backend
// must be gone (their controls' handles destroyed) before switching.
std::unique_ptr<TWindowBackend> SetWindowBackend(std::unique_ptr<TWindowBackend> backend);
// The active backend; EInvalidOperation when none is.
TWindowBackend& WindowBackend();
bool HasWindowBackend();

}  // namespace zv
