#pragma once
// TApplication: the message loop and the last line of exception handling; TScreen: the
// display and what is active on it. Both exist once, reached through Application and Screen
// (Application->ProcessMessages()), created on first use.
//
// Every message the loop dispatches is handled inside a try block: an exception goes to
// HandleException (OnException, or ShowException when unassigned; EAbort is silent), never
// into the backend's event loop.

#include "platform/classes/Component.h"
#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/HintWindow.h"

#include <functional>

namespace zv {

ZV_EVENT(TExceptionEvent, void(TObject* sender, const Exception& e));
ZV_EVENT(TIdleEvent, void(TObject* sender, bool& done));

class TApplication : public TComponent {
  ZV_CLASS(TApplication, TComponent)

public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Runs the initialization of every module linked into the program (their classes become
  // findable by name, their shared objects exist); a program calls it first. Again, it only
  // initializes modules added since. Their finalization runs on FinalizeModules() or at exit.
  void Initialize();
  // Shows the main form (when there is one and ShowMainForm), then dispatches messages until
  // Terminate. Closing MainControl's window (the main form) terminates too. Run may run again
  // after it returned (a test program runs many loops).
  void Run();
  // Dispatches everything waiting (input, posted messages, painting, timers), without waiting.
  void ProcessMessages();
  // Dispatches one message, or, when there is none, runs OnIdle and waits for one.
  void HandleMessage();
  // Ends Run (and every nested loop) once the messages before it are handled.
  void Terminate();
  bool Terminated() const { return fTerminated; }

  // A loop inside a handler (a drop-down list waits for its choice this way); returns when
  // EndNestedLoop is called from inside it, or on a Terminate that happens while it runs.
  void RunNestedLoop();
  // Ends the innermost running nested loop.
  void EndNestedLoop();
  int NestedLoopDepth() const { return static_cast<int>(fLoopEnds.size()); }

  // Whether the application holds the activation: false once the user switched to another
  // application (a drop-down's loop ends then), true again when they come back.
  bool Active() const { return fActive; }
  // The windowing system reported the switch; fires OnActivate / OnDeactivate.
  void ActiveChanged(bool active);
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Call from inside a catch block (or with the exception at hand).
  void HandleException(TObject* sender);
  // Reports an exception to the user: an error message box (captioned with Title) when a
  // dialog responder is set or a user can answer windows, else the message on standard error
  // (a headless run must not wait for a box nobody can close).
  virtual void ShowException(const Exception& e);

  // The window whose closing ends Run: the main form, or any top-level control.
  TWinControl* MainControl() const { return fMainControl; }
  void SetMainControl(TWinControl* control);
  // MainControl when it is a form.
  TCustomForm* MainForm() const;
  bool ShowMainForm() const { return fShowMainForm; }
  void SetShowMainForm(bool value) { fShowMainForm = value; }
  // Creates a form owned by the application, fires its OnCreate; the first form created
  // becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    FormCreated(reference);
  }
  const String& Title() const { return fTitle; }
  void SetTitle(const String& title) { fTitle = title; }

  // --- Hints (see HintWindow.h) ---------------------------------------------------------------
  TColor HintColor() const { return fHintColor; }
  void SetHintColor(TColor color) { fHintColor = color; }
  // How long the mouse rests before a hint shows, the same when it moves on from a showing
  // hint, and how long a hint stays (ms).
  int HintPause() const { return fHintPause; }
  void SetHintPause(int ms) { fHintPause = ms; }
  int HintShortPause() const { return fHintShortPause; }
  void SetHintShortPause(int ms) { fHintShortPause = ms; }
  int HintHidePause() const { return fHintHidePause; }
  void SetHintHidePause(int ms) { fHintHidePause = ms; }
  // Off: no hint shows anywhere (a showing one goes).
  bool ShowHint() const { return fShowHint; }
  void SetShowHint(bool value);
  // The mouse moved over control (message: its WM_MOUSEMOVE): starts, keeps or ends a hint.
  void HintMouseMessage(TControl* control, const TMessage& message);
  // The mouse left control (its CM_MOUSELEAVE): unless it moves over a control again before
  // the hint timer runs out, the pending or showing hint ends then.
  void HintMouseLeave(TControl* control);
  // A key, a mouse button or a command ends the hint (the hint window's IsHintMsg decides);
  // returns false: the message goes on to its control.
  bool IsHintMsg(const TMessage& message);
  // Shows the hint of the control under cursorPos (screen) now, as the hint timer does.
  void ActivateHint(TPoint cursorPos);
  // Ends the hint: hidden, its control forgotten, its timer stopped.
  void CancelHint();
  // Hides the hint window (the hint stays pending).
  void HideHint();
  // The control whose hint shows or is about to, and the window that shows it (null before the
  // first hint and after a cancel).
  TControl* HintControl() const { return fHintControl; }
  THintWindow* HintWindow() const { return fHintWindow.get(); }
  std::function<void(String& hintStr, bool& canShow, THintInfo& hintInfo)> OnShowHint;

  TExceptionEvent OnException;
  TIdleEvent OnIdle;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class THintTimerWindow;
  enum class THintTimerMode { Show, Hide };
  void StartHintTimer(int ms, THintTimerMode mode);
  void StopHintTimer();
  void HintTimerExpired();
  void SetHintControl(TControl* control);

  void FormCreated(TCustomForm* form);
  bool ProcessMessage();
  void Idle();

  bool fTerminated = false;
  bool fActive = true;
  std::vector<bool> fLoopEnds;
  TWinControl* fMainControl = nullptr;
  bool fShowMainForm = true;
  String fTitle;
  TColor fHintColor = clInfoBk;
  int fHintPause = 500;
  int fHintShortPause = 50;
  int fHintHidePause = 2500;
  bool fShowHint = true;
  TControl* fHintControl = nullptr;
  bool fHintActive = false;
  bool fHintMouseLeft = false;  // no mouse move since the mouse left the hint control  // a hint shows (or was asked for and refused by a reshow timeout)
  TRect fHintCursorRect;     // screen coordinates
  std::unique_ptr<THintWindow> fHintWindow;
  std::unique_ptr<TWinControl> fHintTimer;  // the hidden window the hint timer ticks for
  THintTimerMode fHintTimerMode = THintTimerMode::Show;
};

class TScreen : public TComponent {
  ZV_CLASS(TScreen, TComponent)

public:
  explicit TScreen(TComponent* owner);

  int Width() const;
  int Height() const;
  TRect WorkAreaRect() const;
  // Anything but crDefault overrides every control's cursor (an hourglass during a long task).
  TCursor Cursor() const { return fCursor; }
  void SetCursor(TCursor cursor);
  // The focused control, and the form holding it (null when the focus is in a top-level
  // control that is no form).
  TWinControl* ActiveControl() const;
  TForm* ActiveForm() const;
  TCustomForm* ActiveCustomForm() const;
  // Every form that exists, in creation order.
  int FormCount() const { return static_cast<int>(fForms.size()); }
  TCustomForm* Forms(int index) const;
  int PixelsPerInch() const { return ScreenPixelsPerInch; }

  // Told when the focus moved (forms hook in here).
  TNotifyEvent OnActiveControlChange;

private:
  friend class TCustomForm;
  void AddForm(TCustomForm* form) { fForms.push_back(form); }
  void RemoveForm(TCustomForm* form);

  TCursor fCursor = crDefault;
  std::vector<TCustomForm*> fForms;
};

// Application->..., Screen->...: the single instances, created on first use.
struct TApplicationRef {
  TApplication* operator->() const;
  TApplication& operator*() const { return *operator->(); }
  operator TApplication*() const { return operator->(); }
};
struct TScreenRef {
  TScreen* operator->() const;
  TScreen& operator*() const { return *operator->(); }
  operator TScreen*() const { return operator->(); }
};
inline constexpr TApplicationRef Application{};
inline constexpr TScreenRef Screen{};

}  // namespace zv
