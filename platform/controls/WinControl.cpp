// TWinControl. Sections: children and alignment; the window's life; geometry and painting;
// focus; keyboard; message routing.

#include "platform/controls/WinControl.h"

#include "platform/controls/Application.h"
#include "platform/controls/ControlsConsts.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <limits>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TWinControl, TControl)

namespace {

// Counts focus changes: a CM_EXIT or CM_ENTER handler that moves the focus elsewhere ends the
// sequence that sent it.
unsigned gFocusCount = 0;

bool SendFocusMessage(HWND window, unsigned msg) {
  const unsigned count = gFocusCount;
  SendMessage(window, msg, 0, 0);
  return count == gFocusCount;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner), fBrush(std::make_unique<TBrush>()) {
  fBrush->SetColor(Color());
}

TWinControl::~TWinControl() {
  Destroying();
  RemoveFocus(true);
  // A parent destroys its children, as on the host; each leaves the list as it goes.
  while (!fControls.empty()) delete fControls.back();
  DestroyHandle();
  if (fParent) fParent->RemoveControl(this);
}

// --- Children and alignment --------------------------------------------------------------------

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(Format(SListIndexError, {index}));
  return fControls[static_cast<std::size_t>(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->fParent == this) return;
  control->fParent = this;
  fControls.push_back(control);
  auto* window = dynamic_cast<TWinControl*>(control);
  if (window) fTabList.push_back(window);
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTSHOWHINTCHANGED);
  if (window) {
    if (HandleAllocated()) window->UpdateShowing();
  } else {
    control->Invalidate();
  }
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(fControls.begin(), fControls.end(), control);
  if (it == fControls.end()) return;
  if (auto* window = dynamic_cast<TWinControl*>(control)) {
    window->RemoveFocus(true);
    window->DestroyHandle();
  } else if (auto* graphic = dynamic_cast<TGraphicControl*>(control)) {
    graphic->FreeDeviceContext();
  }
  if (!dynamic_cast<TWinControl*>(control)) control->InvalidateControl(control->Visible(), false);
  std::erase(fTabList, control);
  fControls.erase(std::find(fControls.begin(), fControls.end(), control));
  control->fParent = nullptr;
  Realign();
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  // By index with the bound re-read: the callback is the writer, which does not change the
  // list, but a descendant's may.
  for (std::size_t i = 0; i < fControls.size(); ++i)
    if (fControls[i]->Owner() == root) proc(fControls[i]);
}

void TWinControl::Loaded() {
  TControl::Loaded();
  const auto key = [](const TWinControl* c) {
    return c->fReadTabOrder < 0 ? std::numeric_limits<int>::max() : c->fReadTabOrder;
  };
  std::stable_sort(fTabList.begin(), fTabList.end(),
                   [&](const TWinControl* a, const TWinControl* b) { return key(a) < key(b); });
  for (TWinControl* c : fTabList) c->fReadTabOrder = -1;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (; control; control = control->Parent())
    if (control == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) const {
  auto hit = [&](TControl* c) {
    if (!c->Visible() || (!c->Enabled() && !allowDisabled) || !PtInRect(c->BoundsRect(), pos)) return false;
    return c->Perform(CM_HITTEST, 0, PointToLParam({pos.X - c->Left(), pos.Y - c->Top()})) != 0;
  };
  if (allowWinControls)
    for (auto it = fControls.rbegin(); it != fControls.rend(); ++it)
      if (dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
  for (auto it = fControls.rbegin(); it != fControls.rend(); ++it)
    if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
  return nullptr;
}

// The children are scaled from where they are, with aligning and anchoring held off until the
// control has its new size; the anchors then measure from the scaled places.
void TWinControl::ScaleControls(int m, int d, const std::function<void()>& resize) {
  ++fAlignLevel;
  try {
    for (TControl* c : std::vector<TControl*>(fControls)) c->ChangeScale(m, d);
    resize();
  } catch (...) {
    --fAlignLevel;
    throw;
  }
  --fAlignLevel;
  for (TControl* c : fControls) c->UpdateAnchorRules();
  Realign();
}

void TWinControl::Realign() {
  if (fAlignLevel > 0) return;
  TRect r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  ++fAlignLevel;
  try {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient})
      for (TControl* c : std::vector<TControl*>(fControls)) {
        if (c->Align() != align || !c->Visible()) continue;
        const int w = c->Width(), h = c->Height();
        switch (align) {
          case alTop:
            c->SetBounds(rect.Left, rect.Top, rect.Right - rect.Left, h);
            rect.Top += c->Height();
            break;
          case alBottom:
            c->SetBounds(rect.Left, rect.Bottom - h, rect.Right - rect.Left, h);
            rect.Bottom -= c->Height();
            break;
          case alLeft:
            c->SetBounds(rect.Left, rect.Top, w, rect.Bottom - rect.Top);
            rect.Left += c->Width();
            break;
          case alRight:
            c->SetBounds(rect.Right - w, rect.Top, w, rect.Bottom - rect.Top);
            rect.Right -= c->Width();
            break;
          default:
            c->SetBounds(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
            break;
        }
      }
    AnchorControls();
  } catch (...) {
    --fAlignLevel;
    throw;
  }
  --fAlignLevel;
}

// Children that are not aligned keep the distances their anchors name, measured from where
// they were last placed against the client size the parent had then.
void TWinControl::AnchorControls() {
  const TRect client = ClientRect();
  const int width = client.Width(), height = client.Height();
  // One axis: the near edge and the extent for the parent's extent now.
  auto follow = [](bool nearEdge, bool farEdge, int origin, int extent, int parentThen, int parentNow, int& pos,
                   int& size) {
    pos = origin;
    size = extent;
    const int delta = parentNow - parentThen;
    if (nearEdge && farEdge)
      size = extent + delta;
    else if (farEdge)
      pos = origin + delta;
    else if (!nearEdge && parentThen > 0)  // the centre keeps its proportion
      pos = static_cast<int>((static_cast<long long>(origin) * 2 + extent) * parentNow / parentThen / 2) - extent / 2;
  };
  for (TControl* c : std::vector<TControl*>(fControls)) {
    if (c->Align() != alNone || !c->fAnchorRulesSet || c->fAnchors == TAnchors{akLeft, akTop}) continue;
    const TRect& o = c->fAnchorOrigin;
    int left, top, w, h;
    follow(c->fAnchors.Contains(akLeft), c->fAnchors.Contains(akRight), o.Left, o.Width(), c->fAnchorParentSize.X,
           width, left, w);
    follow(c->fAnchors.Contains(akTop), c->fAnchors.Contains(akBottom), o.Top, o.Height(), c->fAnchorParentSize.Y,
           height, top, h);
    if (left == c->Left() && top == c->Top() && std::max(w, 0) == c->Width() && std::max(h, 0) == c->Height())
      continue;
    c->fAnchoring = true;
    try {
      c->SetBounds(left, top, w, h);
    } catch (...) {
      c->fAnchoring = false;
      throw;
    }
    c->fAnchoring = false;
  }
}

void TWinControl::NotifyControls(unsigned msg) {
  for (TControl* c : std::vector<TControl*>(fControls)) c->Perform(msg);
}

// --- The window's life ---------------------------------------------------------------------------

HWND TWinControl::Handle() {
  if (!fWindow) CreateHandle();
  return fWindow->Handle;
}

TWinControl* TWinControl::FindControl(HWND handle) { return detail::Manager().Find(handle); }

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Caption();
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle().Contains(csAcceptsControls)) {
    p.Style |= WS_CLIPCHILDREN;
    p.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (fTabStop) p.Style |= WS_TABSTOP;
  if (!fParent) p.Style = (p.Style & ~(WS_CHILD | WS_CLIPSIBLINGS)) | WS_POPUP | WS_CLIPCHILDREN;
  p.X = fLeft;
  p.Y = fTop;
  p.Width = fWidth;
  p.Height = fHeight;
  if (fParent && fParent->HandleAllocated()) p.WndParent = fParent->fWindow->Handle;
  p.WindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
}

void TWinControl::CreateHandle() {
  if (fWindow) return;
  if (fParent) fParent->HandleNeeded();
  if (fWindow) return;  // the parent's creation made this one too
  CreateWnd();
  for (TControl* c : std::vector<TControl*>(fControls))
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Visible() && !w->fWindow) w->CreateHandle();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  CreateWindowHandle(params);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  fWindow = std::make_unique<detail::TWindow>(*this, params);
  detail::GeometryChanged();
  fWindow->RecalcFrame();
  // The children were placed against the client area without the frame: what anchoring keeps
  // is their distance to the real one, and aligned children fill the real one.
  if (fWindow->ClientRect().Width() != fWidth || fWindow->ClientRect().Height() != fHeight) {
    for (TControl* c : fControls) c->UpdateAnchorRules();
    Realign();
  }
  fWindow->InvalidateAll(false);
  if (!fParent && fVisible) {
    WindowBackend().ShowWindow(fWindow->Native, true);
    detail::Manager().Raise(*fWindow);
  }
}

void TWinControl::DestroyHandle() {
  if (!fWindow) return;
  fControlState.Include(csDestroyingHandle);
  try {
    for (TControl* c : std::vector<TControl*>(fControls))
      if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
  } catch (...) {
    fControlState.Exclude(csDestroyingHandle);
    throw;
  }
  fControlState.Exclude(csDestroyingHandle);
}

void TWinControl::DestroyWnd() { DestroyWindowHandle(); }

void TWinControl::DestroyWindowHandle() {
  FreeDeviceContexts();
  if (fParent && fParent->fWindow && Showing()) {
    const TRect r = BoundsRect();
    fParent->fWindow->Invalidate(&r, true);
  }
  fWindow.reset();
  detail::GeometryChanged();
}

void TWinControl::FreeDeviceContexts() {
  for (TControl* c : fControls)
    if (auto* g = dynamic_cast<TGraphicControl*>(c)) g->FreeDeviceContext();
}

void TWinControl::RecreateWnd() {
  if (!fWindow) return;
  const bool wasFocused = Focused();
  DestroyHandle();
  if (fParent ? fParent->HandleAllocated() && Showing() : true) CreateHandle();
  if (wasFocused && fWindow) zv::SetFocus(fWindow->Handle);
}

void TWinControl::UpdateShowing() {
  if (!fParent) {
    if (fWindow) {
      WindowBackend().ShowWindow(fWindow->Native, fVisible);
      if (fVisible) detail::Manager().Raise(*fWindow);
      detail::GeometryChanged();
      if (fVisible) fWindow->InvalidateAll(true);
    }
    if (!fVisible) RemoveFocus(false);
    return;
  }
  const bool showing = Showing();
  if (showing && !fWindow && fParent->HandleAllocated()) CreateHandle();
  if (fWindow) {
    detail::GeometryChanged();
    if (showing) fWindow->InvalidateAll(true);
    if (fParent->fWindow) {
      const TRect r = BoundsRect();
      fParent->fWindow->Invalidate(&r, true);
    }
  }
  if (!showing) RemoveFocus(false);
}

bool TWinControl::Showing() const { return fVisible && (fParent ? fParent->Showing() : fWindow != nullptr); }

void TWinControl::Show() {
  TControl::Show();
  if (!fParent) HandleNeeded();
}

// --- Geometry and painting -------------------------------------------------------------------------

TRect TWinControl::ClientRect() const { return fWindow ? fWindow->ClientRect() : TRect{0, 0, fWidth, fHeight}; }

TPoint TWinControl::ClientOrigin() const {
  TPoint o = TControl::ClientOrigin();
  if (fWindow) {
    o.X = CheckedAdd(o.X, fWindow->ClientInWindow.Left);
    o.Y = CheckedAdd(o.Y, fWindow->ClientInWindow.Top);
  }
  return o;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const int askedWidth = std::max(width, 0), askedHeight = std::max(height, 0);
  ConstrainSize(width, height);
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == fLeft && top == fTop && width == fWidth && height == fHeight) return;
  if (!fWindow) {
    const bool resized = width != fWidth || height != fHeight;
    TControl::SetBounds(left, top, width, height);
    if (resized) Realign();
    return;
  }
  const bool sized = width != fWidth || height != fHeight;
  const bool moved = left != fLeft || top != fTop;
  const TRect old = BoundsRect();
  const bool showing = Showing();
  fLeft = left;
  fTop = top;
  fWidth = width;
  fHeight = height;
  detail::GeometryChanged();
  if (!fParent) {
    // A size the constraints refused goes back to the window the user is sizing.
    if (!detail::NativeResizeInProgress() || width != askedWidth || height != askedHeight)
      WindowBackend().SetWindowBounds(fWindow->Native, BoundsRect());
    if (sized) {
      fWindow->Surface->Resize(width, height);
      fWindow->RecalcFrame();
      fWindow->InvalidateAll(true);
    }
  } else {
    if (showing && fParent->fWindow) fParent->fWindow->Invalidate(&old, true);
    if (sized) fWindow->RecalcFrame();
    // The pixels at the new place are the parent's: everything inside paints again.
    fWindow->InvalidateAll(true);
  }
  if (sized) {
    const TRect c = fWindow->ClientRect();
    Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(static_cast<Word>(std::min(c.Width(), 0xFFFF)),
                                               static_cast<Word>(std::min(c.Height(), 0xFFFF))));
  }
  if (moved) Perform(WM_MOVE, 0, PointToLParam({left, top}));
  if (!fAnchoring) UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::Invalidate() {
  if (fWindow) fWindow->Invalidate(nullptr, !ControlStyle().Contains(csOpaque));
}

void TWinControl::Update() {
  if (fWindow) UpdateWindow(fWindow->Handle);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::ScrollBy(int dx, int dy) {
  const bool visible = fWindow && Showing();
  if (visible) ScrollWindow(fWindow->Handle, dx, dy, nullptr, nullptr);
  for (TControl* c : std::vector<TControl*>(fControls)) {
    auto* w = dynamic_cast<TWinControl*>(c);
    OffsetRect(c->fAnchorOrigin, dx, dy);  // scrolling is no new placement
    if (!w || !w->fWindow) {
      c->fLeft = CheckedAdd(c->fLeft, dx);
      c->fTop = CheckedAdd(c->fTop, dy);
    } else if (!visible) {
      w->SetBounds(w->Left() + dx, w->Top() + dy, w->Width(), w->Height());
    }
  }
  Realign();
}

namespace {
// The designer of the form a designed window is on, which draws its marks above the window.
IDesignerHook* DesignMarksHook(TWinControl* window) {
  if (!window->ComponentState().Contains(csDesigning)) return nullptr;
  TCustomForm* form = GetParentForm(window);
  return form ? form->Designer() : nullptr;
}
}  // namespace

void TWinControl::PaintWindow(TPaintDevice& dc) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintHandler(TWMPaint& message) {
  TPaintStruct ps;
  TPaintDevice* dc = message.DC();
  if (!dc) {
    if (!BeginPaint(fWindow->Handle, ps)) return;
    dc = ps.hdc.get();
  }
  const int saved = dc->SaveState();
  int clip = SIMPLEREGION;
  for (TControl* c : fControls)
    if (!dynamic_cast<TWinControl*>(c) && c->Visible() && c->ControlStyle().Contains(csOpaque)) {
      TRect r = c->BoundsRect();
      OffsetRect(r, dc->Origin().X, dc->Origin().Y);
      clip = dc->ExcludeClipRect(r);
      if (clip == NULLREGION) break;
    }
  if (clip != NULLREGION) PaintWindow(*dc);
  dc->RestoreState(saved);
  PaintControls(*dc, nullptr);
  if (IDesignerHook* designer = DesignMarksHook(this)) designer->PaintDesignMarks(this, *dc);
  if (!message.DC()) EndPaint(fWindow->Handle, ps);
}


void TWinControl::PaintControls(TPaintDevice& dc, TControl* first) {
  auto it = first ? std::find(fControls.begin(), fControls.end(), first) : fControls.begin();
  if (it == fControls.end()) it = fControls.begin();
  const std::vector<TControl*> list(it, fControls.end());
  for (TControl* c : list) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible() || c->Width() == 0 || c->Height() == 0) continue;
    const TPoint o = dc.Origin();
    TRect r = c->BoundsRect();
    OffsetRect(r, o.X, o.Y);
    if (const TRegion* clip = dc.ClipRegion()) {
      TRegion visible = *clip;
      visible.Intersect(r);
      if (visible.IsEmpty()) continue;
    }
    const int saved = dc.SaveState();
    dc.SetOrigin({r.Left, r.Top});
    dc.IntersectClipRect(r);
    try {
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&dc), 0);
    } catch (...) {
      dc.RestoreState(saved);
      throw;
    }
    dc.RestoreState(saved);
  }
}

void TWinControl::WMPaint(TWMPaint& message) {
  // A designed window paints through PaintHandler too, for the designer's marks above it.
  if (!ControlState().Contains(csCustomPaint) && fControls.empty() && !DesignMarksHook(this))
    DefaultHandler(message);
  else
    PaintHandler(message);
}

void TWinControl::WMEraseBkgnd(TWMEraseBkgnd& message) {
  if (TPaintDevice* dc = message.DC()) dc->FillRect(ClientRect(), {ColorToRGB(fBrush->Color()), bsSolid});
  message.Result = 1;
}

void TWinControl::WMNCCalcSize(TWMNCCalcSize& message) { DefaultHandler(message); }
void TWinControl::WMNCPaint(TWMNCPaint& message) { DefaultHandler(message); }

void TWinControl::WMSize(TWMSize& message) {
  DefaultHandler(message);
  Realign();
  if (!ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMSetCursor(TWMSetCursor& message) {
  if (fWindow && message.CursorWnd() == fWindow->Handle && message.HitTest() == HTCLIENT) {
    TCursor cursor = Screen->Cursor();
    if (cursor == crDefault) {
      if (TControl* c = ControlAtPos(ScreenToClient(GetCursorPos()), false)) cursor = c->Cursor();
      if (cursor == crDefault) cursor = Cursor();
    }
    if (cursor != crDefault) {
      zv::SetCursor(cursor);
      message.Result = 1;
      return;
    }
  }
  DefaultHandler(message);
}

void TWinControl::WMHScroll(TWMScroll& message) { DefaultHandler(message); }
void TWinControl::WMVScroll(TWMScroll& message) { DefaultHandler(message); }
void TWinControl::WMTimer(TWMTimer& message) { DefaultHandler(message); }
void TWinControl::WMCaptureChanged(TWMCaptureChanged& message) { DefaultHandler(message); }

// --- Focus -----------------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
  const TWinControl* root = GetTopLevelParent(this);
  for (const TWinControl* c = this; c && c != root; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return root != nullptr;
}

bool TWinControl::Focused() const { return fWindow && detail::Manager().Focus() == fWindow->Handle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(SCannotFocus);
  zv::SetFocus(Handle());
}

bool TWinControl::SetFocusedControl(TWinControl* control) {
  ++gFocusCount;
  if (!control || control->ControlState().Contains(csFocusing)) return false;
  control->fControlState.Include(csFocusing);
  struct Guard {
    TWinControl* c;
    ~Guard() { c->fControlState.Exclude(csFocusing); }
  } guard{control};
  if (!fFocusedControl) fFocusedControl = this;
  if (fFocusedControl != control) {
    while (fFocusedControl && !fFocusedControl->ContainsControl(control)) {
      const HWND h = fFocusedControl->fWindow ? fFocusedControl->fWindow->Handle : HWND{};
      fFocusedControl = fFocusedControl->Parent();
      if (!SendFocusMessage(h, CM_EXIT)) return false;
    }
    while (fFocusedControl != control) {
      TWinControl* temp = control;
      while (temp->Parent() != fFocusedControl) temp = temp->Parent();
      fFocusedControl = temp;
      if (!SendFocusMessage(temp->Handle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  }
  return true;
}

void TWinControl::RemoveFocus(bool removing) {
  TWinControl* root = GetTopLevelParent(this);
  if (!root) return;
  if (removing && root != this && root->fFocusedControl && ContainsControl(root->fFocusedControl))
    root->fFocusedControl = fParent;
  TWinControl* focused = FindControl(detail::Manager().Focus());
  if (!focused || !ContainsControl(focused)) return;
  if (root != this && root->fWindow && !root->ComponentState().Contains(csDestroying) && root->Showing())
    zv::SetFocus(root->fWindow->Handle);
  else if (root == this && fWindow) {
    // A window being destroyed hears nothing more of its focus.
    if (removing) detail::Manager().DropFocus();
    detail::Manager().ReturnFocusFrom(*fWindow);
  }
  else
    detail::Manager().DropFocus();
}

void TWinControl::SetTabStop(bool value) {
  if (fTabStop == value) return;
  fTabStop = value;
  Perform(CM_TABSTOPCHANGED);
}

int TWinControl::TabOrder() const {
  if (!fParent) return -1;
  const auto& list = fParent->fTabList;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (ComponentState().Contains(csReading)) fReadTabOrder = order;
  if (!fParent) return;
  auto& list = fParent->fTabList;
  const auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int count = static_cast<int>(list.size());
  list.insert(list.begin() + (order < 0 || order > count ? count : order), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : fTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  const auto found = std::find(list.begin(), list.end(), current);
  const int start = found != list.end() ? static_cast<int>(found - list.begin()) : goForward ? count - 1 : 0;
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[static_cast<std::size_t>(i)];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this)) return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop)) next->SetFocus();
}

void TWinControl::WMSetFocus(TWMSetFocus& message) { DefaultHandler(message); }
void TWinControl::WMKillFocus(TWMKillFocus& message) { DefaultHandler(message); }

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::CMFocusChanged(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(fControls)) c->Perform(message.Msg, message.WParam, message.LParam);
}

// --- Keyboard ----------------------------------------------------------------------------------------

// With KeyPreview, the form sees a key before the focused control inside it.
static TWinControl* PreviewingForm(TWinControl* control) {
  TCustomForm* form = GetParentForm(control);
  return form && form != control && form->KeyPreview() ? form : nullptr;
}

bool TWinControl::DoKeyDown(TWMKey& message) {
  if (TWinControl* form = PreviewingForm(this); form && form->DoKeyDown(message)) return true;
  if (ControlStyle().Contains(csNoStdEvents)) return false;
  Word key = message.CharCode();
  KeyDown(key, KeyDataToShiftState(message.KeyData()));
  message.SetCharCode(key);
  return key == 0;
}

bool TWinControl::DoKeyUp(TWMKey& message) {
  if (TWinControl* form = PreviewingForm(this); form && form->DoKeyUp(message)) return true;
  if (ControlStyle().Contains(csNoStdEvents)) return false;
  Word key = message.CharCode();
  KeyUp(key, KeyDataToShiftState(message.KeyData()));
  message.SetCharCode(key);
  return key == 0;
}

bool TWinControl::DoKeyPress(TWMKey& message) {
  if (TWinControl* form = PreviewingForm(this); form && form->DoKeyPress(message)) return true;
  if (ControlStyle().Contains(csNoStdEvents)) return false;
  char32_t c = message.Char();
  KeyPress(c);
  message.SetChar(c);
  return c == 0;
}

void TWinControl::KeyDown(Word& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(Word& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

// The form's menu bar sees a key before the focused control (its short-cuts, Alt and F10).
static bool IsMenuKey(TWinControl* control, TWMKey& message) {
  TCustomForm* form = GetParentForm(control);
  return form && form->IsMenuKey(message);
}

void TWinControl::WMKeyDown(TWMKey& message) {
  if (IsMenuKey(this, message)) return;
  if (!DoKeyDown(message)) DefaultHandler(message);
}

void TWinControl::WMSysKeyDown(TWMKey& message) {
  if (IsMenuKey(this, message)) return;
  if (!DoKeyDown(message)) DefaultHandler(message);
}

void TWinControl::WMKeyUp(TWMKey& message) {
  if (IsMenuKey(this, message)) return;
  if (!DoKeyUp(message)) DefaultHandler(message);
}

void TWinControl::WMSysKeyUp(TWMKey& message) {
  if (IsMenuKey(this, message)) return;
  if (!DoKeyUp(message)) DefaultHandler(message);
}

void TWinControl::WMChar(TWMKey& message) {
  if (DoKeyPress(message)) return;
  // A character the focused control has no use for may be a caption's accelerator.
  if (!(static_cast<unsigned>(Perform(WM_GETDLGCODE)) & DLGC_WANTCHARS))
    if (TWinControl* root = GetTopLevelParent(this); root && root->Perform(CM_DIALOGCHAR, message.WParam, message.LParam))
      return;
  DefaultHandler(message);
}

// Alt with a character is an accelerator wherever the focus is.
void TWinControl::WMSysChar(TWMKey& message) {
  if (TWinControl* root = GetTopLevelParent(this); root && root->Perform(CM_DIALOGCHAR, message.WParam, message.LParam))
    return;
  DefaultHandler(message);
}

// Offers a dialog key or an accelerator to every child until one takes it.
bool TWinControl::BroadcastUntilAnswered(TMessage& message) {
  for (TControl* c : std::vector<TControl*>(fControls)) {
    if (c->Perform(message.Msg, message.WParam, message.LParam) != 0) {
      message.Result = 1;
      return true;
    }
  }
  return false;
}

void TWinControl::WMGetDlgCode(TMessage& message) { DefaultHandler(message); }
void TWinControl::CMWantSpecialKey(TWMKey& message) { DefaultHandler(message); }

void TWinControl::CMDialogKey(TWMKey& message) {
  // The top-level control moves the focus with Tab, as a form does.
  if (!fParent && message.CharCode() == VK_TAB && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_CONTROL) >= 0) {
    SelectNext(fFocusedControl, GetKeyState(VK_SHIFT) >= 0, true);
    message.Result = 1;
    return;
  }
  if (BroadcastUntilAnswered(message)) return;
  DefaultHandler(message);
}

// --- Notifications -----------------------------------------------------------------------------------

void TWinControl::CMEnabledChanged(TMessage& message) {
  if (!Enabled()) RemoveFocus(false);
  TControl::CMEnabledChanged(message);
}

void TWinControl::CMVisibleChanged(TMessage&) { UpdateShowing(); }

void TWinControl::CMColorChanged(TMessage& message) {
  fBrush->SetColor(Color());
  NotifyControls(CM_PARENTCOLORCHANGED);
  TControl::CMColorChanged(message);
}

void TWinControl::CMFontChanged(TMessage& message) {
  TControl::CMFontChanged(message);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMTextChanged(TMessage&) {
  if (!fParent && fWindow) WindowBackend().SetWindowCaption(fWindow->Native, Caption());
}

// --- Message routing ---------------------------------------------------------------------------------

void TWinControl::MainWndProc(TMessage& message) {
  try {
    if (WindowProc)
      WindowProc(message);
    else
      WndProc(message);
  } catch (...) {
    Application->HandleException(this);
  }
}

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
      if (TWinControl* root = GetTopLevelParent(this); root && !root->SetFocusedControl(this)) return;
      break;
    case WM_KILLFOCUS:
      if (ControlState().Contains(csFocusing)) return;
      break;
    default:
      // Mouse messages of a control without a window come through its parent's.
      if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL &&
          fWindow) {
        TControl* target = nullptr;
        if (GetCapture() == fWindow->Handle) {
          TControl* captured = detail::Manager().CaptureControl();
          if (captured && captured->Parent() == this) target = captured;
        } else {
          target = ControlAtPos(LParamToPoint(m.LParam), false);
        }
        if (target) {
          const TPoint p = LParamToPoint(m.LParam);
          m.Result = target->Perform(m.Msg, m.WParam, PointToLParam({p.X - target->Left(), p.Y - target->Top()}));
          return;
        }
      }
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: return Call(this, m, &TWinControl::WMPaint);
    case WM_ERASEBKGND: return Call(this, m, &TWinControl::WMEraseBkgnd);
    case WM_NCCALCSIZE: return Call(this, m, &TWinControl::WMNCCalcSize);
    case WM_NCPAINT: return Call(this, m, &TWinControl::WMNCPaint);
    case WM_SETFOCUS: return Call(this, m, &TWinControl::WMSetFocus);
    case WM_KILLFOCUS: return Call(this, m, &TWinControl::WMKillFocus);
    case WM_KEYDOWN: return Call(this, m, &TWinControl::WMKeyDown);
    case WM_SYSKEYDOWN: return Call(this, m, &TWinControl::WMSysKeyDown);
    case WM_KEYUP: return Call(this, m, &TWinControl::WMKeyUp);
    case WM_SYSKEYUP: return Call(this, m, &TWinControl::WMSysKeyUp);
    case WM_CHAR: return Call(this, m, &TWinControl::WMChar);
    case WM_SYSCHAR: return Call(this, m, &TWinControl::WMSysChar);
    case CM_DIALOGCHAR: BroadcastUntilAnswered(m); return;
    case WM_GETDLGCODE: return WMGetDlgCode(m);
    case WM_SIZE: return Call(this, m, &TWinControl::WMSize);
    case WM_SETCURSOR: return Call(this, m, &TWinControl::WMSetCursor);
    case WM_HSCROLL: return Call(this, m, &TWinControl::WMHScroll);
    case WM_VSCROLL: return Call(this, m, &TWinControl::WMVScroll);
    case WM_TIMER: return Call(this, m, &TWinControl::WMTimer);
    case WM_CAPTURECHANGED: return Call(this, m, &TWinControl::WMCaptureChanged);
    case CM_ENTER: return CMEnter(m);
    case CM_EXIT: return CMExit(m);
    case CM_DIALOGKEY: return Call(this, m, &TWinControl::CMDialogKey);
    case CM_WANTSPECIALKEY: return Call(this, m, &TWinControl::CMWantSpecialKey);
    case CM_FOCUSCHANGED: return CMFocusChanged(m);
    case CM_SHOWHINTCHANGED: return NotifyControls(CM_PARENTSHOWHINTCHANGED);
    default: return TControl::Dispatch(m);
  }
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (fWindow)
    detail::DefWindowProc(*fWindow, message);
  else
    TControl::DefaultHandler(message);
}

// Nothing more is published by a windowed control; its descendants choose.
void TWinControl::DeclareProperties(TPropTable<TWinControl>& t) {
  t.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1).Unpublished();
  t.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(0).Unpublished();
  t.Event("OnEnter", &TWinControl::OnEnter).Unpublished();
  t.Event("OnExit", &TWinControl::OnExit).Unpublished();
  t.Event("OnKeyDown", &TWinControl::OnKeyDown).Unpublished();
  t.Event("OnKeyPress", &TWinControl::OnKeyPress).Unpublished();
  t.Event("OnKeyUp", &TWinControl::OnKeyUp).Unpublished();
}

}  // namespace zv
