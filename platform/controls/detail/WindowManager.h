#pragma once
// Internal to platform/controls: what the host's windowing system keeps for the whole program.
// Window handles, the message queue, painting and presentation, keyboard focus, mouse capture,
// timers, the key state, and the translation of a backend's native input into messages
// (hit-testing, double clicks, CM_MOUSEENTER / CM_MOUSELEAVE, dialog keys, scroll-bar clicks).
//
// The queue is retrieved as the host retrieves it: posted messages first, then input, then
// WM_PAINT for windows with an update region, then WM_TIMER for timers that ticked; WM_QUIT
// once nothing else is posted or input.

#include "platform/controls/detail/Window.h"

#include <deque>
#include <map>
#include <unordered_map>

namespace zv::detail {

class TWindowManager final : public TWindowSink {
public:
  static TWindowManager& Instance();

  // --- Handles ----------------------------------------------------------------------------------
  HWND Register(TWinControl* control);
  void Unregister(TWindow& window);
  TWinControl* Find(HWND handle) const;
  TWindow* FindWindow(HWND handle) const;
  TWindow* FindNative(TNativeWindow native) const;
  // A control is going away: forget it as the capture or the control under the mouse.
  void ControlDestroyed(TControl* control);

  // --- Queue ------------------------------------------------------------------------------------
  void Post(HWND window, const TMessage& message);
  void PostQuit();
  // Dispatches one queued message, or paints, or delivers ticked timers. False when there was
  // nothing to do. Sets quit when it retrieved WM_QUIT.
  bool ProcessOne(bool& quit);
  // PeekMessage (see WinApi.h).
  bool PeekMessage(TMsg& message, HWND window, unsigned first, unsigned last, bool remove);
  // Makes what was drawn visible.
  void Present();

  // --- Painting ---------------------------------------------------------------------------------
  void PaintRequested();
  void PaintWindow(TWindow& window);  // WM_NCPAINT / WM_PAINT for one window when it needs them

  // --- Focus, capture, keys ---------------------------------------------------------------------
  HWND Focus() const { return fFocus; }
  // The host's SetFocus: WM_KILLFOCUS to the old window, WM_SETFOCUS to the new one.
  HWND SetFocus(HWND window);
  // Forgets the focus without telling anyone (its window is going away).
  void DropFocus() { fFocus = HWND{}; }
  HWND Capture() const { return fCapture; }
  HWND SetCapture(HWND window);
  void ReleaseCapture() { SetCapture(HWND{}); }
  TControl* CaptureControl() const { return fCaptureControl; }
  void SetCaptureControl(TControl* control) { fCaptureControl = control; }
  short KeyState(int vk) const;
  // The host's SetCursor: the shape over the window under the mouse; returns the old one.
  TCursor SetCursorShape(TCursor cursor);
  TCursor CursorShape() const { return fCursorShape; }
  void SetCursorPos(TPoint screenPos);
  // The last mouse position seen (screen coordinates).
  TPoint CursorPos() const;
  // The window under a screen point, across the top-level windows in stacking order (drag and
  // drop); windows transparent for input, or answering HTTRANSPARENT, let the point through.
  // 0 if none.
  HWND WindowFromPoint(TPoint screenPos);

  // --- Activation and stacking ------------------------------------------------------------------
  // The top-level windows that are active while the focus is in window: its top-level window
  // and, for one that is never activated natively (a pop-up), its owners up to the first
  // that is; that last one, the activation root, holds the native activation.
  std::vector<HWND> ActivationChain(TWindow* window);
  // A top-level window holding the focus hides or goes: the focus returns to its owner (a
  // form's ActiveControl); without a usable owner it is dropped.
  void ReturnFocusFrom(TWindow& top);
  // The window was shown or activated: it goes above the others of its band, and the windows
  // it owns above it.
  void Raise(TWindow& top);
  bool ApplicationActive() const { return fAppActive; }
  // DefWindowProc's WM_NCLBUTTONDOWN: a press on a sizing edge or the caption of a top-level
  // window starts the sizing or moving track.
  void NonClientPress(TWindow& window, int hit);
  bool SizingOrMoving() const { return fSizeMove.Window != HWND{}; }

  // --- Modal state ------------------------------------------------------------------------------
  // Disables every shown top-level window but except (a modal form's loop); they take no mouse
  // and keyboard input and are not activated until enabled again. Returns those it disabled.
  std::vector<HWND> DisableTopLevels(HWND except);
  void EnableTopLevels(const std::vector<HWND>& windows);
  bool TopLevelDisabled(HWND window) const { return fDisabled.count(window) != 0; }

  // --- Timers -----------------------------------------------------------------------------------
  std::uintptr_t SetTimer(HWND window, std::uintptr_t id, unsigned milliseconds);
  bool KillTimer(HWND window, std::uintptr_t id);

  // --- The backend's reports --------------------------------------------------------------------
  void Input(TNativeWindow window, const TNativeInput& input) override;
  void Resized(TNativeWindow window, int width, int height) override;
  void Moved(TNativeWindow window, int x, int y) override;
  void UserSized(TNativeWindow window, const TRect& bounds) override;
  void CloseRequested(TNativeWindow window) override;
  void ActiveChanged(TNativeWindow window, bool active) override;
  void ApplicationActiveChanged(bool active) override;
  void TimerFired(std::uintptr_t timer) override;
  void HandleException() override;

private:
  enum class TKind { Message, Input, Resize, Move, Activate, AppActivate, Sizing };
  struct TQueued {
    TKind Kind = TKind::Message;
    HWND Window{};
    TMessage Message;  // Resize / Move: the size or position in WParam and LParam
    TNativeInput Input;
    TRect Bounds;  // Sizing: the rectangle the user dragged the frame to
  };
  struct TTimer {
    std::uintptr_t BackendKey = 0;
    bool Ticked = false;
  };
  struct TBarTrack {
    HWND Window{};
    int Bar = SB_VERT;
    TBarPart Part = TBarPart::None;
    int GrabOffset = 0;  // mouse position inside the thumb
  };

  void Wake();
  void Enqueue(TQueued entry);
  void Dispatch(const TQueued& entry);
  // The next entry to retrieve, posted before input; end() when the queue is empty.
  std::deque<TQueued>::iterator NextEntry();
  // The message keyboard input becomes, for the window that will get it; false for other input.
  bool KeyInputMessage(const TQueued& entry, TMsg& message);
  // The window that keyboard input to the top-level window goes to.
  HWND KeyTarget(TWindow& top);
  // The message a queued mouse press becomes, for the window it will reach; false for other
  // input and for a press no window takes. With screen, the press's screen point.
  bool MousePressMessage(const TQueued& entry, TMsg& message, TPoint* screen = nullptr);
  // Whether a press of button at a screen point on handle is the second of a double click, and
  // the record of a press for the next one.
  bool IsDoubleClick(HWND handle, bool classAllows, TMouseButton button, TPoint screen) const;
  void RecordClick(HWND handle, TMouseButton button, TPoint screen, bool doubleClick);
  // The user drags a frame edge (a sizing hit code) or the caption of a top-level window.
  void BeginSizeMove(TWindow& top, int hit);
  void SizeMoveMouse(const TNativeInput& input);
  void EndSizeMove();
  void UserSizing(const TQueued& entry);
  // WM_NCHITTEST to window for a surface point, following HTTRANSPARENT to the parents;
  // the window that answered is returned in window.
  int HitTest(TWindow*& window, TPoint surfacePos);
  void StartBarRepeat(unsigned milliseconds);
  void StopBarRepeat();
  void BarRepeat();
  void Activate(TWindow& top);
  bool IsDialogKey(TWinControl& control, Word key, LPARAM keyData);
  bool PaintAll();
  void PaintTree(TWinControl& control);
  bool DeliverTimers();
  void DispatchInput(HWND topLevel, const TNativeInput& input);
  void DispatchMouse(TWindow& top, const TNativeInput& input);
  void DispatchWheel(TWindow& top, const TNativeInput& input);
  void DispatchKey(TWindow& top, const TNativeInput& input);
  void SyncKeyState(const TNativeInput& input);
  TWindow* WindowAt(TWindow& top, TPoint surfacePos) const;
  void TrackMouseControl(TWindow* window, TPoint surfacePos);
  void SetMouseControl(TControl* control);
  void UpdateCursor(TWindow& window, int hit, unsigned mouseMsg);
  bool BarMouse(TWindow& window, const TNativeInput& input, TPoint windowPos);
  LRESULT Send(HWND window, TMessage message);

  std::unordered_map<std::uintptr_t, TWinControl*> fHandles;
  std::uintptr_t fNextHandle = 1;
  std::deque<TQueued> fQueue;
  bool fPaintPending = false;
  HWND fFocus{};
  HWND fCapture{};
  TControl* fCaptureControl = nullptr;
  TControl* fMouseControl = nullptr;
  std::map<std::pair<std::uintptr_t, std::uintptr_t>, TTimer> fTimers;  // (window, id)
  std::uintptr_t fNextTimerKey = 1;
  unsigned char fKeys[256] = {};
  // Double clicks: the last button press.
  HWND fLastClickWindow{};
  TMouseButton fLastClickButton = mbLeft;
  TPoint fLastClickPos;
  std::uint64_t fLastClickTime = 0;
  bool fLastWasDouble = false;
  bool fSuppressChar = false;  // the key before was taken as a dialog key
  TPoint fCursorPos;
  bool fCursorKnown = false;
  HWND fMouseTop{};           // the top-level window the mouse was last over
  TCursor fCursorShape = crDefault;
  TBarTrack fBarTrack;
  // Holding an arrow or the track repeats the scroll message; the timer has its own key.
  std::uintptr_t fBarRepeatKey = 0;
  bool fBarRepeatTicked = false;
  bool fBarRepeatFirst = false;  // still waiting out the first delay
  TPoint fBarMousePos;           // the last mouse position while tracking, window coordinates
  std::map<HWND, int> fDisabled;
  bool fActivating = false;  // handling an activation the backend reported
  std::uint64_t fZCounter = 0;
  struct TSizeMove {
    HWND Window{};
    int Hit = HTNOWHERE;
    TPoint Start;   // screen
    TRect Bounds;   // the window's screen rectangle when the drag began
  };
  TSizeMove fSizeMove;
  bool fAppActive = true;
};

inline TWindowManager& Manager() { return TWindowManager::Instance(); }

}  // namespace zv::detail
