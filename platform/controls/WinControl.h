#pragma once
// TWinControl: a control with a window. It holds child controls, takes the keyboard focus,
// has a non-client frame (border and standard scroll bars, measured by WM_NCCALCSIZE and drawn
// by WM_NCPAINT), an update region painted by WM_PAINT, and receives the keyboard.
//
// Windows follow the host's window semantics (see WindowBackend.h for where they live):
// - the window is created on demand (Handle / HandleNeeded) from CreateParams, and destroyed
//   with the control or by DestroyHandle / RecreateWnd;
// - a top-level control (no parent) gets a native window; children are regions of it, clipped
//   by their parents and by the siblings above them (later in the parent's list is above);
// - painting is clipped to the update region and never draws over child windows;
// - focus moves send WM_KILLFOCUS to the old window, then, before WM_SETFOCUS reaches the new
//   one, CM_EXIT to the old control and its parents up to the common ancestor (innermost
//   first) and CM_ENTER down to the new control (outermost first), as a form does on the host.
//   The top-level control keeps the focused control (SetFocusedControl); a form also
//   remembers it as its ActiveControl (Form.h).
// - a parent destroys its child controls, as on the host.

#include "platform/controls/Control.h"
#include "platform/graphics/Brush.h"

#include <vector>

namespace zv {

namespace detail {
class TWindow;
class TWindowManager;
}

struct TNativeWindowParams;

struct TCreateParams {
  String Caption;
  unsigned Style = 0;
  unsigned ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent{};
  unsigned WindowClassStyle = 0;
};

class TWinControl : public TControl {
  ZV_CLASS(TWinControl, TControl)

public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // --- Children ---------------------------------------------------------------------------------
  int ControlCount() const { return static_cast<int>(fControls.size()); }
  TControl* Controls(int index) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // control is this one or lies inside it.
  bool ContainsControl(const TControl* control) const;
  // The topmost visible child at pos (client coordinates); windowed children only when asked.
  TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false) const;
  void Realign();
  // Streaming: the child controls root owns, in z-order.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  // --- Window ---------------------------------------------------------------------------------
  // Creates the window (and the parents' windows) when needed.
  HWND Handle();
  bool HandleAllocated() const { return fWindow != nullptr; }
  void HandleNeeded() { Handle(); }
  void DestroyHandle();
  // Destroys the window and makes a new one from CreateParams (after a style change).
  void RecreateWnd();
  // The window behind a handle, or null when it is gone.
  static TWinControl* FindControl(HWND handle);
  TBrush* Brush() const { return fBrush.get(); }
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  bool Showing() const override;
  void Show() override;
  void SetBounds(int left, int top, int width, int height) override;
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  // Scrolls the client area's pixels and the child controls by (dx, dy).
  void ScrollBy(int dx, int dy);
  // Handles a message as if the window received it: exceptions go to the application's
  // HandleException instead of the caller.
  void MainWndProc(TMessage& message);

  // --- Focus ------------------------------------------------------------------------------------
  virtual bool CanFocus() const;
  bool Focused() const;
  // EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();
  bool TabStop() const { return fTabStop; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int order);
  // Children that take part in tabbing, in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  // On a top-level control: the focused control inside it (the hook forms take over), and the
  // CM_EXIT / CM_ENTER sequence; false when focus moved elsewhere meanwhile.
  TWinControl* FocusedControl() const { return fFocusedControl; }
  virtual bool SetFocusedControl(TWinControl* control);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  static void DeclareProperties(TPropTable<TWinControl>& t);

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;

protected:
  void ScaleControls(int m, int d, const std::function<void()>& resize) override;
  // Puts the children back in the tab order they were read with (read in z-order, their
  // TabOrder values could not all be applied while siblings were still missing).
  void Loaded() override;

  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  // What a top-level control asks of its native window (frame, stacking, owner); the window
  // model has filled in the bounds, caption and pop-up kind from the create params.
  virtual void NativeWindowParams(TNativeWindowParams&) {}

  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyUp(Word& key, TShiftState shift);
  virtual void KeyPress(char32_t& key);
  // True when the key was swallowed (set to 0): the window procedure then skips it.
  bool DoKeyDown(TWMKey& message);
  bool DoKeyUp(TWMKey& message);
  bool DoKeyPress(TWMKey& message);
  virtual void DoEnter();
  virtual void DoExit();

  // Paints the window's own content into dc (TCustomControl calls Paint).
  virtual void PaintWindow(TPaintDevice& dc);
  // WM_PAINT's work: PaintWindow, then the children without windows.
  void PaintHandler(TWMPaint& message);
  void PaintControls(TPaintDevice& dc, TControl* first);
  virtual void AlignControls(TControl* control, TRect& rect);
  // Moves and sizes the children by their Anchors after the client area changed size.
  void AnchorControls();
  void NotifyControls(unsigned msg);
  // CM_DIALOGKEY and CM_DIALOGCHAR go to the children in turn until one answers (Result 1).
  bool BroadcastUntilAnswered(TMessage& message);
  // Frees device contexts that canvases hold outside painting (the window is going away).
  virtual void FreeDeviceContexts();

  // --- Message handlers ----------------------------------------------------------------------
  void WMPaint(TWMPaint& message) override;
  virtual void WMEraseBkgnd(TWMEraseBkgnd& message);
  virtual void WMNCCalcSize(TWMNCCalcSize& message);
  virtual void WMNCPaint(TWMNCPaint& message);
  virtual void WMSetFocus(TWMSetFocus& message);
  virtual void WMKillFocus(TWMKillFocus& message);
  virtual void WMKeyDown(TWMKey& message);
  virtual void WMSysKeyDown(TWMKey& message);
  virtual void WMKeyUp(TWMKey& message);
  virtual void WMSysKeyUp(TWMKey& message);
  virtual void WMChar(TWMKey& message);
  virtual void WMSysChar(TWMKey& message);
  virtual void WMGetDlgCode(TMessage& message);
  virtual void WMSize(TWMSize& message);
  virtual void WMSetCursor(TWMSetCursor& message);
  virtual void WMHScroll(TWMScroll& message);
  virtual void WMVScroll(TWMScroll& message);
  virtual void WMTimer(TWMTimer& message);
  virtual void WMCaptureChanged(TWMCaptureChanged& message);
  virtual void CMEnter(TMessage& message);
  virtual void CMExit(TMessage& message);
  virtual void CMDialogKey(TWMKey& message);
  virtual void CMWantSpecialKey(TWMKey& message);
  virtual void CMFocusChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMColorChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;

  detail::TWindow* Window() const { return fWindow.get(); }

private:
  friend class TControl;
  friend class detail::TWindow;
  friend class detail::TWindowManager;
  void UpdateShowing();
  // Moves focus out of this control (and its children) before it hides or goes away.
  void RemoveFocus(bool removing);

  std::vector<TControl*> fControls;  // z-order: later is above
  std::vector<TWinControl*> fTabList;
  std::unique_ptr<detail::TWindow> fWindow;
  std::unique_ptr<TBrush> fBrush;
  TWinControl* fFocusedControl = nullptr;  // top-level only
  bool fTabStop = false;
  int fReadTabOrder = -1;  // TabOrder as read, applied by the parent's Loaded
  int fAlignLevel = 0;
};

}  // namespace zv
