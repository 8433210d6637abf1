#include "platform/controls/Control.h"

#include "platform/controls/Application.h"
#include "platform/controls/ControlsConsts.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/WinControl.h"
#include "platform/controls/detail/WindowManager.h"

#include <algorithm>
#include <cstdlib>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TControl, TComponent)

TControl::TControl(TComponent* owner)
    : TComponent(owner), fFont(std::make_unique<TFont>()), fConstraints(std::make_unique<TSizeConstraints>(this)) {
  fFont->OnChange = [this](TObject* sender) { FontChanged(sender); };
  WindowProc = [this](TMessage& m) { WndProc(m); };
}

TControl::~TControl() {
  Destroying();
  detail::DragControlDestroyed(this);
  detail::Manager().ControlDestroyed(this);
  if (fParent) fParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == fParent) return;
  for (const TControl* p = parent; p; p = p->fParent)
    if (p == this) throw EInvalidOperation(SControlParentSetToSelf);
  if (fParent) fParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
  UpdateAnchorRules();
}

TComponent* TControl::GetParentComponent() const { return fParent; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* window = dynamic_cast<TWinControl*>(parent)) SetParent(window);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  ConstrainSize(width, height);
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == fLeft && top == fTop && width == fWidth && height == fHeight) return;
  const bool sized = width != fWidth || height != fHeight;
  InvalidateControl(fVisible, false);
  fLeft = left;
  fTop = top;
  fWidth = width;
  fHeight = height;
  InvalidateControl(fVisible, false);
  if (!fAnchoring) UpdateAnchorRules();
  RequestAlign();
  if (sized && !ComponentState().Contains(csLoading)) Resize();
}

TRect TControl::ClientRect() const { return {0, 0, fWidth, fHeight}; }

TPoint TControl::ClientOrigin() const {
  if (!fParent) return {fLeft, fTop};
  const TPoint o = fParent->ClientOrigin();
  return {CheckedAdd(o.X, fLeft), CheckedAdd(o.Y, fTop)};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {CheckedAdd(p.X, o.X), CheckedAdd(p.Y, o.Y)};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {CheckedSub(p.X, o.X), CheckedSub(p.Y, o.Y)};
}

void TControl::SetVisible(bool visible) {
  if (fVisible == visible) return;
  fVisible = visible;
  Perform(CM_VISIBLECHANGED, visible);
  RequestAlign();
}

void TControl::Show() { SetVisible(true); }

bool TControl::Showing() const { return fVisible && fParent && fParent->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (fEnabled == enabled) return;
  fEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
  if (fColor == color) {
    fParentColor = false;
    return;
  }
  fColor = color;
  fParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (fParentColor == value) return;
  fParentColor = value;
  if (fParent && value) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (fParentFont == value) return;
  fParentFont = value;
  if (fParent && value) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!fAssigningParentFont) fParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
  if (fCursor == cursor) return;
  fCursor = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool value) {
  fParentShowHint = false;
  if (fShowHint == value) return;
  fShowHint = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (fParentShowHint == value) return;
  fParentShowHint = value;
  if (fParent && value) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (fPopupMenu == menu) return;
  if (fPopupMenu) fPopupMenu->RemoveFreeNotification(this);
  fPopupMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fPopupMenu) fPopupMenu = nullptr;
}

void TControl::SetCaption(const String& caption) {
  if (fCaption == caption) return;
  fCaption = caption;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetAlign(TAlign align) {
  if (fAlign == align) return;
  fAlign = align;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (fParent) fParent->Realign();
}

// --- Anchors and constraints -------------------------------------------------------------------

void TControl::SetAnchors(TAnchors value) {
  if (fAnchors == value) return;
  fAnchors = value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  fAnchorRulesSet = fParent != nullptr;
  if (!fParent) return;
  const TRect client = fParent->ClientRect();
  fAnchorOrigin = BoundsRect();
  fAnchorParentSize = {client.Width(), client.Height()};
}

// --- Scaling ------------------------------------------------------------------------------------------

void TControl::ScaleBy(int m, int d) { Rescale(m, d, true); }

void TControl::ChangeScale(int m, int d) { Rescale(m, d, false); }

void TControl::Rescale(int m, int d, bool keepPosition) {
  if (m == d || d == 0) return;
  // Edges are scaled, not extents, so that neighbours that touched still touch.
  const int left = keepPosition ? fLeft : MulDiv(fLeft, m, d);
  const int top = keepPosition ? fTop : MulDiv(fTop, m, d);
  const int width = keepPosition ? MulDiv(fWidth, m, d) : MulDiv(fLeft + fWidth, m, d) - left;
  const int height = keepPosition ? MulDiv(fHeight, m, d) : MulDiv(fTop + fHeight, m, d) - top;
  TSizeConstraints& c = *fConstraints;
  const int minW = MulDiv(c.MinWidth(), m, d), minH = MulDiv(c.MinHeight(), m, d);
  const int maxW = MulDiv(c.MaxWidth(), m, d), maxH = MulDiv(c.MaxHeight(), m, d);
  // Growing, the maxima go first; shrinking, the minima: the limits never cross meanwhile.
  if (m > d) {
    c.SetMaxWidth(maxW), c.SetMaxHeight(maxH), c.SetMinWidth(minW), c.SetMinHeight(minH);
  } else {
    c.SetMinWidth(minW), c.SetMinHeight(minH), c.SetMaxWidth(maxW), c.SetMaxHeight(maxH);
  }
  // A control with no parent has no font to follow: its own is scaled.
  if (!fParentFont || !fParent) fFont->SetHeight(MulDiv(fFont->Height(), m, d));
  ScaleControls(m, d, [&] { SetBounds(left, top, width, height); });
}

void TControl::ConstraintsChanged() { SetBounds(fLeft, fTop, fWidth, fHeight); }

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || !fParent || !fParent->HandleAllocated()) return;
  const TRect r = BoundsRect();
  InvalidateRect(fParent->Handle(), &r, !(isOpaque || fParent->ControlStyle().Contains(csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(fVisible, fControlStyle.Contains(csOpaque)); }

void TControl::Update() {
  if (fParent) fParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!fParent) return;
  auto& list = fParent->fControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it + 1 == list.end()) return;
  list.erase(it);
  list.push_back(this);
  detail::GeometryChanged();
  Invalidate();
}

void TControl::SendToBack() {
  if (!fParent) return;
  auto& list = fParent->fControls;
  auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end() || it == list.begin()) return;
  list.erase(it);
  list.insert(list.begin(), this);
  detail::GeometryChanged();
  // What was below shows now.
  if (fParent->HandleAllocated()) {
    const TRect r = BoundsRect();
    InvalidateRect(fParent->Handle(), &r, true);
    for (TControl* c : list)
      if (auto* w = dynamic_cast<TWinControl*>(c); w && w != this && w->HandleAllocated()) w->Invalidate();
  }
}

LRESULT TControl::Perform(unsigned msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (ComponentState().Contains(csDesigning) &&
      ((m.Msg >= WM_KEYFIRST && m.Msg <= WM_KEYLAST) || (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST))) {
    TCustomForm* form = GetParentForm(this);
    if (IDesignerHook* designer = form ? form->Designer() : nullptr; designer && designer->IsDesignMsg(this, m)) return;
  }
  // While this control is dragged, the mouse belongs to the drag.
  if (detail::DragMessage(this, m)) return;
  // Hints follow the mouse; keys and clicks end them.
  if (m.Msg == WM_MOUSEMOVE)
    Application->HintMouseMessage(this, m);
  else if (m.Msg >= WM_KEYFIRST && m.Msg <= WM_MOUSELAST)
    Application->IsHintMsg(m);
  else if (m.Msg == CM_MOUSELEAVE && m.LParam == 0)
    Application->HintMouseLeave(this);
  if ((m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) && fDragMode == dmAutomatic && !Dragging() &&
      !ComponentState().Contains(csDesigning)) {
    BeginAutoDrag();
    if (Mouse->IsDragging()) return;  // an immediate drag takes the press
  }
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
    if (!fControlStyle.Contains(csDoubleClicks) &&
        (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK))
      m.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;
    if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) fControlState.Include(csLButtonDown);
    if (m.Msg == WM_LBUTTONUP) fControlState.Exclude(csLButtonDown);
  }
  Dispatch(m);
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: return Call(this, m, &TControl::WMLButtonDown);
    case WM_RBUTTONDOWN: return Call(this, m, &TControl::WMRButtonDown);
    case WM_MBUTTONDOWN: return Call(this, m, &TControl::WMMButtonDown);
    case WM_LBUTTONDBLCLK: return Call(this, m, &TControl::WMLButtonDblClk);
    case WM_RBUTTONDBLCLK: return Call(this, m, &TControl::WMRButtonDblClk);
    case WM_MBUTTONDBLCLK: return Call(this, m, &TControl::WMMButtonDblClk);
    case WM_LBUTTONUP: return Call(this, m, &TControl::WMLButtonUp);
    case WM_RBUTTONUP: return Call(this, m, &TControl::WMRButtonUp);
    case WM_MBUTTONUP: return Call(this, m, &TControl::WMMButtonUp);
    case WM_MOUSEMOVE: return Call(this, m, &TControl::WMMouseMove);
    case WM_MOUSEWHEEL: return Call(this, m, &TControl::WMMouseWheel);
    case WM_PAINT: return Call(this, m, &TControl::WMPaint);
    case WM_CANCELMODE: return WMCancelMode(m);
    case CM_MOUSEWHEEL: return Call(this, m, &TControl::CMMouseWheel);
    case CM_ENABLEDCHANGED: return CMEnabledChanged(m);
    case CM_VISIBLECHANGED: return CMVisibleChanged(m);
    case CM_COLORCHANGED: return CMColorChanged(m);
    case CM_FONTCHANGED: return CMFontChanged(m);
    case CM_PARENTCOLORCHANGED: return CMParentColorChanged(m);
    case CM_PARENTFONTCHANGED: return CMParentFontChanged(m);
    case CM_PARENTSHOWHINTCHANGED: return CMParentShowHintChanged(m);
    case CM_TEXTCHANGED: return CMTextChanged(m);
    case CM_CURSORCHANGED: return CMCursorChanged(m);
    case CM_MOUSEENTER: return CMMouseEnter(m);
    case CM_MOUSELEAVE: return CMMouseLeave(m);
    case CM_HITTEST: return CMHitTest(m);
    case WM_CONTEXTMENU: return WMContextMenu(m);
    case CM_DRAG: return Call(this, m, &TControl::CMDrag);
    default: return DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage&) {}

// --- Mouse -----------------------------------------------------------------------------------

void TControl::DoMouseDown(TWMMouse& m, TMouseButton button, TShiftState shift) {
  if (!fControlStyle.Contains(csNoStdEvents)) MouseDown(button, KeysToShiftState(m.Keys()) + shift, m.XPos(), m.YPos());
}

void TControl::DoMouseUp(TWMMouse& m, TMouseButton button) {
  if (!fControlStyle.Contains(csNoStdEvents)) MouseUp(button, KeysToShiftState(m.Keys()), m.XPos(), m.YPos());
}

// A press anywhere tells the focused control of each form it lies in, which closes its
// drop-downs, stops its timers and releases what it holds, unless the press is its own.
void TControl::SendCancelMode(TControl* sender) {
  for (TControl* c = this; c; c = c->Parent())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) form->SendCancelMode(sender);
}

void TControl::WMLButtonDown(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  if (fControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (fControlStyle.Contains(csClickEvents)) fControlState.Include(csClicked);
  DoMouseDown(m, mbLeft, {});
}

void TControl::WMRButtonDown(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  DoMouseDown(m, mbRight, {});
}

void TControl::WMMButtonDown(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  DoMouseDown(m, mbMiddle, {});
}

void TControl::WMLButtonDblClk(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  if (fControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (fControlStyle.Contains(csClickEvents)) DblClick();
  DoMouseDown(m, mbLeft, {ssDouble});
}

void TControl::WMRButtonDblClk(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  DoMouseDown(m, mbRight, {ssDouble});
}

void TControl::WMMButtonDblClk(TWMMouse& m) {
  SendCancelMode(this);
  DefaultHandler(m);
  DoMouseDown(m, mbMiddle, {ssDouble});
}

void TControl::WMLButtonUp(TWMMouse& m) {
  DefaultHandler(m);
  if (fControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (fControlState.Contains(csClicked)) {
    fControlState.Exclude(csClicked);
    if (PtInRect(ClientRect(), m.Pos())) Click();
  }
  DoMouseUp(m, mbLeft);
}

void TControl::WMRButtonUp(TWMMouse& m) {
  DefaultHandler(m);
  DoMouseUp(m, mbRight);
  // A right click asks for the context menu, as the host's default window procedure does.
  HWND window{};
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    window = w->Handle();
  else if (fParent && fParent->HandleAllocated())
    window = fParent->Handle();
  Perform(WM_CONTEXTMENU, static_cast<WPARAM>(window), PointToLParam(ClientToScreen(m.Pos())));
}

// --- Context menus -------------------------------------------------------------------------------

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
  if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::WMContextMenu(TMessage& m) {
  if (m.Result != 0 || ComponentState().Contains(csDesigning)) return;
  TPoint pos = LParamToPoint(m.LParam);
  const bool fromKeyboard = pos.X == -1 && pos.Y == -1;
  bool handled = false;
  DoContextPopup(fromKeyboard ? pos : ScreenToClient(pos), handled);
  if (handled) {
    m.Result = 1;
    return;
  }
  if (TPopupMenu* menu = GetPopupMenu(); menu && menu->AutoPopup()) {
    menu->SetPopupComponent(this);
    if (fromKeyboard) pos = ClientToScreen({0, 0});
    m.Result = 1;
    menu->Popup(pos.X, pos.Y);
    return;
  }
  if (fParent) m.Result = fParent->Perform(WM_CONTEXTMENU, m.WParam, m.LParam);
}

void TControl::WMMButtonUp(TWMMouse& m) {
  DefaultHandler(m);
  DoMouseUp(m, mbMiddle);
}

void TControl::WMMouseMove(TWMMouse& m) {
  DefaultHandler(m);
  if (!fControlStyle.Contains(csNoStdEvents)) MouseMove(KeysToShiftState(m.Keys()), m.XPos(), m.YPos());
}

void TControl::WMMouseWheel(TWMMouseWheel& m) {
  // CM_MOUSEWHEEL carries the shift state instead of the mouse-key flags.
  const TShiftState shift = KeysToShiftState(m.Keys());
  m.WParam = MakeWParam(static_cast<Word>(shift.Bits()), HiWord(m.WParam));
  m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
  if (m.Result == 0) DefaultHandler(m);
}

void TControl::CMMouseWheel(TWMMouseWheel& m) {
  m.Result = 0;
  const TShiftState shift = TShiftState::FromBits(LoWord(m.WParam));
  if (DoMouseWheel(shift, m.WheelDelta(), m.Pos()))
    m.Result = 1;
  else if (fParent)
    m.Result = fParent->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  bool result = false;
  if (OnMouseWheel) OnMouseWheel(this, shift, wheelDelta, mousePos, result);
  if (result) return true;
  fWheelAccumulator += wheelDelta;
  while (std::abs(fWheelAccumulator) >= WHEEL_DELTA) {
    const bool negative = fWheelAccumulator < 0;
    fWheelAccumulator = std::abs(fWheelAccumulator) - WHEEL_DELTA;
    if (negative) {
      fWheelAccumulator = -fWheelAccumulator;
      result = DoMouseWheelDown(shift, mousePos);
    } else {
      result = DoMouseWheelUp(shift, mousePos);
    }
  }
  return result;
}

bool TControl::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  bool result = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, shift, mousePos, result);
  return result;
}

bool TControl::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  bool result = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, shift, mousePos, result);
  return result;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (MouseCapture() == value) return;
  SetCaptureControl(value ? this : nullptr);
}

// --- Notifications -------------------------------------------------------------------------------

void TControl::WMPaint(TWMPaint& m) { DefaultHandler(m); }
void TControl::WMCancelMode(TMessage& m) { DefaultHandler(m); }

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) { InvalidateControl(true, fVisible && fControlStyle.Contains(csOpaque)); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMParentColorChanged(TMessage& m) {
  if (!fParentColor) return;
  SetColor(m.WParam != 0 ? static_cast<TColor>(m.LParam) : fParent ? fParent->Color() : fColor);
  fParentColor = true;
}

void TControl::CMParentFontChanged(TMessage& m) {
  if (!fParentFont) return;
  const TFont* source = m.WParam != 0 ? reinterpret_cast<const TFont*>(m.LParam) : fParent ? fParent->Font() : nullptr;
  if (!source) return;
  fAssigningParentFont = true;
  try {
    fFont->Assign(source);
  } catch (...) {
    fAssigningParentFont = false;
    throw;
  }
  fAssigningParentFont = false;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (fParentShowHint && fParent && fShowHint != fParent->ShowHint()) {
    fShowHint = fParent->ShowHint();
    Perform(CM_SHOWHINTCHANGED);
  }
}

void TControl::CMTextChanged(TMessage&) {}
void TControl::CMCursorChanged(TMessage&) {}

void TControl::CMMouseEnter(TMessage& m) {
  if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage& m) {
  if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& m) { m.Result = HTCLIENT; }

void TControl::DeclareProperties(TPropTable<TControl>& t) {
  t.Prop("Left", &TControl::Left, &TControl::SetLeft);
  t.Prop("Top", &TControl::Top, &TControl::SetTop);
  t.Prop("Width", &TControl::Width, &TControl::SetWidth);
  t.Prop("Height", &TControl::Height, &TControl::SetHeight);
  t.Prop("Cursor", &TControl::Cursor, &TControl::SetCursor).Idents(CursorTypeInfo()).Default(crDefault);
  t.Prop("Hint", &TControl::Hint, &TControl::SetHint);
  t.Prop("HelpType", &TControl::HelpType, &TControl::SetHelpType).Default(htContext);
  t.Prop("HelpKeyword", &TControl::HelpKeyword, &TControl::SetHelpKeyword);
  t.Prop("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext).Default(0);
  // For descendants to publish (t.Publish("Caption")), as the host's descendants do.
  t.Prop("Align", &TControl::Align, &TControl::SetAlign).Default(alNone).Unpublished();
  t.Prop("Caption", &TControl::Caption, &TControl::SetCaption).Unpublished();
  t.Prop("Color", &TControl::Color, &TControl::SetColor)
      .Idents(ColorTypeInfo())
      .Stored(&TControl::IsColorStored)
      .Unpublished();
  t.Prop("DragCursor", &TControl::DragCursor, &TControl::SetDragCursor)
      .Idents(CursorTypeInfo())
      .Default(crDrag)
      .Unpublished();
  t.Prop("DragKind", &TControl::DragKind, &TControl::SetDragKind).Default(dkDrag).Unpublished();
  t.Prop("DragMode", &TControl::DragMode, &TControl::SetDragMode).Default(dmManual).Unpublished();
  t.Prop("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(1).Unpublished();
  t.Prop("Font", &TControl::Font).Stored(&TControl::IsFontStored).Unpublished();
  t.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(1).Unpublished();
  t.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(1).Unpublished();
  t.Prop("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(1).Unpublished();
  t.Prop("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu).Unpublished();
  t.Prop("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Stored(&TControl::IsShowHintStored).Unpublished();
  t.Prop("Visible", &TControl::Visible, &TControl::SetVisible).Default(1).Unpublished();
  for (auto [name, event] : {std::pair{"OnClick", &TControl::OnClick}, std::pair{"OnDblClick", &TControl::OnDblClick},
                             std::pair{"OnResize", &TControl::OnResize},
                             std::pair{"OnMouseEnter", &TControl::OnMouseEnter},
                             std::pair{"OnMouseLeave", &TControl::OnMouseLeave}})
    t.Event(name, event).Unpublished();
  t.Event("OnContextPopup", &TControl::OnContextPopup).Unpublished();
  t.Event("OnDragDrop", &TControl::OnDragDrop).Unpublished();
  t.Event("OnDragOver", &TControl::OnDragOver).Unpublished();
  t.Event("OnEndDrag", &TControl::OnEndDrag).Unpublished();
  t.Event("OnMouseDown", &TControl::OnMouseDown).Unpublished();
  t.Event("OnMouseMove", &TControl::OnMouseMove).Unpublished();
  t.Event("OnMouseUp", &TControl::OnMouseUp).Unpublished();
  t.Event("OnMouseWheel", &TControl::OnMouseWheel).Unpublished();
  t.Event("OnMouseWheelDown", &TControl::OnMouseWheelDown).Unpublished();
  t.Event("OnMouseWheelUp", &TControl::OnMouseWheelUp).Unpublished();
  t.Event("OnStartDrag", &TControl::OnStartDrag).Unpublished();
}

// --- Drag and drop -----------------------------------------------------------------------------

void TControl::BeginDrag(bool immediate, int threshold) {
  if (ComponentState().Contains(csDesigning) || Dragging()) return;
  detail::DragBegin(this, immediate, threshold < 0 ? Mouse->DragThreshold() : threshold);
}

bool TControl::Dragging() const { return detail::DragSource() == this; }

void TControl::EndDrag(bool drop) {
  if (Dragging()) detail::DragDone(drop);
}

void TControl::BeginAutoDrag() { BeginDrag(Mouse->DragImmediate(), Mouse->DragThreshold()); }

void TControl::DoStartDrag(TDragObject*& dragObject) {
  if (OnStartDrag) OnStartDrag(this, dragObject);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = static_cast<bool>(OnDragOver);
  if (accept) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

TDragImageList* TControl::GetDragImages() { return nullptr; }

void TControl::DragCanceled() {}

void TControl::CMDrag(TCMDrag& m) {
  TDragRec* rec = m.DragRec();
  if (!rec) return;
  if (m.DragMessage() == dmFindTarget) {
    // A window hands the drag to the control without a window under the mouse, if any.
    TControl* target = this;
    if (auto* w = dynamic_cast<TWinControl*>(this))
      if (TControl* child = w->ControlAtPos(ScreenToClient(rec->Pos), false)) target = child;
    m.Result = reinterpret_cast<LRESULT>(target);
    return;
  }
  // A drag made by the control itself shows the control as the source.
  TObject* source = detail::DragSourceSeen(rec->Source);
  const TPoint p = ScreenToClient(rec->Pos);
  switch (m.DragMessage()) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      const TDragState state = m.DragMessage() == dmDragEnter   ? dsDragEnter
                               : m.DragMessage() == dmDragLeave ? dsDragLeave
                                                                : dsDragMove;
      bool accept = false;
      DragOver(source, p.X, p.Y, state, accept);
      m.Result = accept ? 1 : 0;
      break;
    }
    case dmDragDrop: DragDrop(source, p.X, p.Y); break;
    case dmDragCancel: DragCanceled(); break;
    default: break;
  }
}

// --- Free functions --------------------------------------------------------------------------

TControl* GetCaptureControl() {
  TWinControl* window = TWinControl::FindControl(GetCapture());
  if (!window) return nullptr;
  TControl* control = detail::Manager().CaptureControl();
  return control && control->Parent() == window ? control : window;
}

void SetCaptureControl(TControl* control) {
  detail::Manager().SetCaptureControl(nullptr);
  if (!control) {
    ReleaseCapture();
    return;
  }
  if (auto* window = dynamic_cast<TWinControl*>(control)) {
    SetCapture(window->Handle());
    return;
  }
  if (!control->Parent()) return;
  const HWND parent = control->Parent()->Handle();
  SetCapture(parent);
  detail::Manager().SetCaptureControl(control);
}

TWinControl* GetTopLevelParent(const TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(control));
}

}  // namespace zv
