#pragma once
// TControl: the host's visual component. Position and size inside the parent's client area,
// visibility, enablement, colour and font (inherited from the parent unless set), cursor,
// hint, and messages: Perform sends a message through WindowProc to WndProc, which routes
// mouse messages and calls Dispatch; Dispatch calls the virtual handler of the message (WM...,
// CM...) or DefaultHandler. Descendants override handlers or WndProc as on the host.
//
// A control without a window (a TGraphicControl) is drawn by its parent's painting and gets its
// mouse messages through its parent's window; keyboard input goes to windowed controls only.

#include "platform/classes/Component.h"
#include "platform/classes/Strings.h"
#include "platform/controls/ControlSizing.h"
#include "platform/controls/DragDrop.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Font.h"

#include <memory>

namespace zv {

class TWinControl;
class TPopupMenu;

// How a control's help is looked up: by HelpKeyword or by HelpContext.
ZV_ENUM(THelpType, htKeyword, htContext);

// A right click (or the menu key) asks for a context menu at mousePos (client coordinates;
// (-1, -1) when it came from the keyboard); setting handled keeps the menu from popping up.
ZV_EVENT(TContextPopupEvent, void(TObject* sender, TPoint mousePos, bool& handled));

enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

class TControl : public TComponent {
  ZV_CLASS(TControl, TComponent)

public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return fParent; }
  // Inserts the control into parent's list (removing it from the old parent first); EInvalidOperation
  // when the control would become its own ancestor.
  virtual void SetParent(TWinControl* parent);
  // Streaming: a control is written inside its parent and read back into it.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  // Sets Parent when parent is a windowed control; anything else is ignored.
  void SetParentComponent(TComponent* parent) override;

  int Left() const { return fLeft; }
  int Top() const { return fTop; }
  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  void SetLeft(int v) { SetBounds(v, fTop, fWidth, fHeight); }
  void SetTop(int v) { SetBounds(fLeft, v, fWidth, fHeight); }
  void SetWidth(int v) { SetBounds(fLeft, fTop, v, fHeight); }
  void SetHeight(int v) { SetBounds(fLeft, fTop, fWidth, v); }
  TRect BoundsRect() const { return {fLeft, fTop, fLeft + fWidth, fTop + fHeight}; }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // Negative sizes count as 0. Moves the window, repaints what is uncovered and realigns.
  virtual void SetBounds(int left, int top, int width, int height);
  // Rescales the control by m/d without moving its top-left corner: its size, its size
  // constraints and (unless ParentFont) its font; a windowed control's children are scaled whole
  // (ChangeScale). Nothing when m equals d or d is 0.
  void ScaleBy(int m, int d);

  // The drawable area in the control's own coordinates (a window's excludes its frame).
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  // Screen position of the client area's top left.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  bool Visible() const { return fVisible; }
  void SetVisible(bool visible);
  virtual void Show();
  void Hide() { SetVisible(false); }
  // Visible, and so are the parents up to a shown top-level window.
  virtual bool Showing() const;
  bool Enabled() const { return fEnabled; }
  virtual void SetEnabled(bool enabled);

  TColor Color() const { return fColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return fParentColor; }
  void SetParentColor(bool value);
  TFont* Font() const { return fFont.get(); }
  void SetFont(const TFont* font) { fFont->Assign(font); }
  bool ParentFont() const { return fParentFont; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return fCursor; }
  void SetCursor(TCursor cursor);
  const String& Hint() const { return fHint; }
  void SetHint(const String& hint) { fHint = hint; }
  bool ShowHint() const { return fShowHint; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return fParentShowHint; }
  void SetParentShowHint(bool value);
  THelpType HelpType() const { return fHelpType; }
  void SetHelpType(THelpType type) { fHelpType = type; }
  const String& HelpKeyword() const { return fHelpKeyword; }
  void SetHelpKeyword(const String& keyword) { fHelpKeyword = keyword; }
  int HelpContext() const { return fHelpContext; }
  void SetHelpContext(int context) { fHelpContext = context; }
  TPopupMenu* PopupMenu() const { return fPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  // The menu a context-menu request pops up (PopupMenu unless a descendant knows better).
  virtual TPopupMenu* GetPopupMenu() const { return fPopupMenu; }
  TContextPopupEvent OnContextPopup;
  // The host's Caption / Text.
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& caption);
  TAlign Align() const { return fAlign; }
  void SetAlign(TAlign align);

  // --- Anchors and size constraints (see ControlSizing.h) ---------------------------------------
  TAnchors Anchors() const { return fAnchors; }
  void SetAnchors(TAnchors value);
  TSizeConstraints* Constraints() const { return fConstraints.get(); }
  void SetConstraints(const TSizeConstraints* value) { fConstraints->Assign(value); }
  // The constraints changed: the present size is limited anew.
  void ConstraintsChanged();

  TControlStyle ControlStyle() const { return fControlStyle; }
  void SetControlStyle(TControlStyle style) { fControlStyle = style; }
  TControlState ControlState() const { return fControlState; }
  void SetControlState(TControlState state) { fControlState = state; }

  // Invalidate marks the control for repainting; Update paints what is marked now; Repaint does both.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Sends a message straight to WindowProc; exceptions reach the caller.
  LRESULT Perform(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Replaceable to subclass a control; calls WndProc by default.
  std::function<void(TMessage&)> WindowProc;
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  bool MouseCapture() const;
  void SetMouseCapture(bool value);
  // CM_CANCELMODE (LParam: sender) to the active control of every form from this control up.
  // A mouse press sends it, naming the pressed control, before the press is handled.
  void SendCancelMode(TControl* sender);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

  // --- Drag and drop (see DragDrop.h) -----------------------------------------------------------
  // dmAutomatic starts a drag on a left press (BeginDrag with Mouse's settings).
  TDragMode DragMode() const { return fDragMode; }
  void SetDragMode(TDragMode mode) { fDragMode = mode; }
  // The cursor over a control that accepts the drag.
  TCursor DragCursor() const { return fDragCursor; }
  void SetDragCursor(TCursor cursor) { fDragCursor = cursor; }
  TDragKind DragKind() const { return fDragKind; }
  void SetDragKind(TDragKind kind) { fDragKind = kind; }
  // Starts a drag now (immediate) or once the mouse has moved threshold pixels with the button
  // held (a negative threshold: Mouse->DragThreshold()); released before that, it was a click.
  void BeginDrag(bool immediate, int threshold = -1);
  // A drag of this control was begun and has not ended.
  bool Dragging() const;
  // Ends this control's drag: drop on the accepting control under the mouse, or cancel.
  void EndDrag(bool drop);
  // Fires OnDragDrop: source (a control or a drag object) was dropped at (x, y).
  virtual void DragDrop(TObject* source, int x, int y);
  // The images shown under the mouse while this control is dragged; none by default.
  virtual TDragImageList* GetDragImages();
  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

  // Publishes what the host's TControl publishes (position, size, cursor, hint, help) and
  // declares the rest for descendants to publish in their own order.
  static void DeclareProperties(TPropTable<TControl>& t);

protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Fires OnMouseWheel, then OnMouseWheelDown/Up once per whole notch; true when handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
  virtual void Resize();
  // Scales position, size, size constraints and (unless ParentFont) font by m/d, then the
  // children (ScaleControls).
  virtual void ChangeScale(int m, int d);
  // Scales the children (a windowed control's) around resize, which gives the control its
  // scaled bounds.
  virtual void ScaleControls(int, int, const std::function<void()>& resize) { resize(); }
  // Drag and drop: accept starts true when OnDragOver is assigned, which then decides.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DoStartDrag(TDragObject*& dragObject);
  virtual void DoEndDrag(TObject* target, int x, int y);
  // A drag over the control was cancelled (Esc, lost capture, its source destroyed): after the
  // dsDragLeave, so that what the control drew for the drag goes.
  virtual void DragCanceled();
  virtual void BeginAutoDrag();
  virtual void CMDrag(TCMDrag& message);
  // Marks the control's rectangle in the parent (for controls without a window).
  void InvalidateControl(bool isVisible, bool isOpaque);
  void Notification(TComponent* component, TOperation operation) override;
  // Asks the parent to realign its children.
  void RequestAlign();
  // Limits a proposed size by Constraints; every SetBounds does.
  void ConstrainSize(int& width, int& height) const { fConstraints->Apply(width, height); }
  // Remembers the bounds and the parent's client size that anchoring measures from (after
  // every change of the bounds that anchoring did not make itself).
  void UpdateAnchorRules();

  // --- Message handlers ----------------------------------------------------------------------
  virtual void WMLButtonDown(TWMMouse& message);
  virtual void WMRButtonDown(TWMMouse& message);
  virtual void WMMButtonDown(TWMMouse& message);
  virtual void WMLButtonDblClk(TWMMouse& message);
  virtual void WMRButtonDblClk(TWMMouse& message);
  virtual void WMMButtonDblClk(TWMMouse& message);
  virtual void WMLButtonUp(TWMMouse& message);
  virtual void WMRButtonUp(TWMMouse& message);
  virtual void WMMButtonUp(TWMMouse& message);
  virtual void WMMouseMove(TWMMouse& message);
  virtual void WMMouseWheel(TWMMouseWheel& message);
  virtual void WMPaint(TWMPaint& message);
  virtual void WMCancelMode(TMessage& message);
  virtual void CMMouseWheel(TWMMouseWheel& message);
  virtual void CMEnabledChanged(TMessage& message);
  virtual void CMVisibleChanged(TMessage& message);
  virtual void CMColorChanged(TMessage& message);
  virtual void CMFontChanged(TMessage& message);
  virtual void CMParentColorChanged(TMessage& message);
  virtual void CMParentFontChanged(TMessage& message);
  virtual void CMParentShowHintChanged(TMessage& message);
  virtual void CMTextChanged(TMessage& message);
  virtual void CMCursorChanged(TMessage& message);
  virtual void CMMouseEnter(TMessage& message);
  virtual void CMMouseLeave(TMessage& message);
  virtual void CMHitTest(TMessage& message);
  // WM_CONTEXTMENU (screen position in LParam): OnContextPopup, then the pop-up menu with
  // AutoPopup; unanswered requests go to the parent, as on the host.
  virtual void WMContextMenu(TMessage& message);
  virtual void DoContextPopup(TPoint mousePos, bool& handled);

  // The mouse-button messages' shared work.
  void DoMouseDown(TWMMouse& message, TMouseButton button, TShiftState shift);
  void DoMouseUp(TWMMouse& message, TMouseButton button);

  TWinControl* fParent = nullptr;
  int fLeft = 0;
  int fTop = 0;
  int fWidth = 0;
  int fHeight = 0;

private:
  // The scaling of ScaleBy (keepPosition) and ChangeScale.
  void Rescale(int m, int d, bool keepPosition);
  friend class TWinControl;
  void FontChanged(TObject* sender);
  bool IsColorStored() const { return !fParentColor; }
  bool IsFontStored() const { return !fParentFont; }
  bool IsShowHintStored() const { return !fParentShowHint; }

  bool fVisible = true;
  bool fEnabled = true;
  TColor fColor = clWindow;
  bool fParentColor = true;
  std::unique_ptr<TFont> fFont;
  bool fParentFont = true;
  bool fAssigningParentFont = false;
  TCursor fCursor = crDefault;
  String fHint;
  bool fShowHint = false;
  bool fParentShowHint = true;
  TPopupMenu* fPopupMenu = nullptr;
  String fCaption;
  TAlign fAlign = alNone;
  // Anchoring: the bounds and the parent's client size when the control was last placed.
  TAnchors fAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> fConstraints;
  TRect fAnchorOrigin;
  TPoint fAnchorParentSize;
  bool fAnchorRulesSet = false;
  bool fAnchoring = false;  // the parent is moving the control by its anchors
  TControlStyle fControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState fControlState;
  int fWheelAccumulator = 0;
  friend class TDragSession;
  TDragMode fDragMode = dmManual;
  TCursor fDragCursor = crDrag;
  TDragKind fDragKind = dkDrag;
  THelpType fHelpType = htContext;
  String fHelpKeyword;
  int fHelpContext = 0;
};

// Declares Anchors and Constraints in a descendant's property table, unpublished: the classes
// the host publishes them on name them in their Publish lists (or pass published for a class
// that declares and publishes in one table).
template <class C>
void DeclareSizing(TPropTable<C>& t, bool anchors = true, bool published = false) {
  if (anchors) {
    auto prop = t.Prop("Anchors", &C::Anchors, &C::SetAnchors);
    prop.Default(TAnchors{akLeft, akTop});
    if (!published) prop.Unpublished();
  }
  auto constraints = t.Prop("Constraints", &C::Constraints);
  if (!published) constraints.Unpublished();
}

// The capture as the host keeps it: a control without a window captures through its parent.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The top-level windowed control holding control (control itself when it has no parent).
TWinControl* GetTopLevelParent(const TControl* control);

}  // namespace zv
