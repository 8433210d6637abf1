// The progress bar, the tab sheet and the page control.

#include "platform/controls/ComCtrls.h"

#include "platform/controls/StdCtrls.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

// --- Progress bar ---------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TProgressBar, TCustomControl)

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 16);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TProgressBar::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TProgressBar::SetMin(int value) {
  if (fMin == value) return;
  fMin = value;
  if (fMax < fMin) fMax = fMin;
  SetPosition(fPosition);
  Invalidate();
}

void TProgressBar::SetMax(int value) {
  if (fMax == value) return;
  fMax = value;
  if (fMin > fMax) fMin = fMax;
  SetPosition(fPosition);
  Invalidate();
}

void TProgressBar::SetPosition(int value) {
  value = std::clamp(value, fMin, fMax);
  if (fPosition == value) return;
  fPosition = value;
  Invalidate();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (fOrientation == value) return;
  fOrientation = value;
  Invalidate();
}

void TProgressBar::SetSmooth(bool value) {
  if (fSmooth == value) return;
  fSmooth = value;
  Invalidate();
}

void TProgressBar::StepBy(int delta) {
  const long long next = static_cast<long long>(fPosition) + delta;
  if (next > fMax) SetPosition(fMin + static_cast<int>((next - fMax - 1) % (static_cast<long long>(fMax) - fMin + 1)));
  else SetPosition(static_cast<int>(std::max<long long>(next, fMin)));
}

void TProgressBar::StepIt() { StepBy(fStep); }

TRect TProgressBar::BarRect() const {
  const TRect client = ClientRect();
  const long long range = static_cast<long long>(fMax) - fMin;
  const long long done = static_cast<long long>(fPosition) - fMin;
  if (range <= 0 || done <= 0) return {client.Left, client.Top, client.Left, client.Top};
  if (fOrientation == pbHorizontal) {
    const int w = static_cast<int>(client.Width() * done / range);
    return {client.Left, client.Top, client.Left + w, client.Bottom};
  }
  const int h = static_cast<int>(client.Height() * done / range);
  return {client.Left, client.Bottom - h, client.Right, client.Bottom};
}

void TProgressBar::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  const TRect bar = BarRect();
  if (bar.Width() <= 0 || bar.Height() <= 0) return;
  c.Brush()->SetColor(clHighlight);
  if (fSmooth) {
    c.FillRect(bar);
    return;
  }
  // Blocks two thirds of the bar's thickness long, two pixels apart.
  const bool horizontal = fOrientation == pbHorizontal;
  const int thickness = horizontal ? bar.Height() : bar.Width();
  const int block = std::max(2, thickness * 2 / 3);
  if (horizontal) {
    for (int x = bar.Left; x < bar.Right; x += block + 2)
      c.FillRect({x, bar.Top + 1, std::min(x + block, bar.Right), bar.Bottom - 1});
  } else {
    for (int y = bar.Bottom; y > bar.Top; y -= block + 2)
      c.FillRect({bar.Left + 1, std::max(y - block, bar.Top), bar.Right - 1, y});
  }
}

void TProgressBar::DeclareProperties(TPropTable<TProgressBar>& t) {
  t.Publish("Align");
  DeclareSizing(t, true, true);
  for (const char* name : {"DragCursor", "DragKind", "DragMode", "Enabled", "Hint"}) t.Publish(name);
  t.Prop("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  t.Prop("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  t.Prop("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation).Default(pbHorizontal);
  for (const char* name : {"ParentShowHint", "PopupMenu"}) t.Publish(name);
  t.Prop("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  t.Prop("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(0);
  t.Prop("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  for (const char* name : {"ShowHint", "TabOrder", "TabStop", "Visible", "OnContextPopup", "OnDragDrop",
                           "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                           "OnStartDrag"})
    t.Publish(name);
}

// --- Tab sheet --------------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TTabSheet, TCustomControl)

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetVisible(false);
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
  Destroying();
  if (fPageControl) fPageControl->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
  if (fPageControl && parent != fPageControl) fPageControl->RemovePage(this);
  TCustomControl::SetParent(parent);
  if (auto* pc = dynamic_cast<TPageControl*>(parent); pc && pc != fPageControl) pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) { SetParent(pageControl); }

int TTabSheet::PageIndex() const {
  if (!fPageControl) return -1;
  const auto& pages = fPageControl->fPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (!fPageControl) return;
  auto& pages = fPageControl->fPages;
  value = std::clamp(value, 0, static_cast<int>(pages.size()) - 1);
  pages.erase(std::find(pages.begin(), pages.end(), this));
  pages.insert(pages.begin() + value, this);
  fPageControl->TabsChanged();
}

int TTabSheet::TabIndex() const {
  if (!fPageControl || !fTabVisible) return -1;
  int index = 0;
  for (TTabSheet* p : fPageControl->fPages) {
    if (p == this) return index;
    if (p->fTabVisible) ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool value) {
  if (fTabVisible == value) return;
  fTabVisible = value;
  if (fPageControl) fPageControl->TabsChanged();
}

void TTabSheet::CMTextChanged(TMessage& message) {
  TCustomControl::CMTextChanged(message);
  if (fPageControl) fPageControl->TabsChanged();
}

void TTabSheet::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
}

void TTabSheet::DeclareProperties(TPropTable<TTabSheet>& t) {
  DeclareSizing(t);
  // A sheet is always shown through its page control: Visible follows the active page.
  t.Prop("Visible", &TTabSheet::Visible, &TTabSheet::SetVisible)
      .Default(0)
      .Unpublished();
  t.Prop("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl).Unpublished();
  for (const char* name : {"Caption", "Color", "Enabled", "Font", "ParentColor", "ParentFont", "ParentShowHint",
                           "PopupMenu", "ShowHint"})
    t.Publish(name);
  t.Prop("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(1);
  for (const char* name : {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit",
                           "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"})
    t.Publish(name);
}

// --- Page control -------------------------------------------------------------------------------------------

namespace {
constexpr int kTabPadding = 6;
}

ZV_DEFINE_CLASS_WITH_PROPS(TPageControl, TCustomControl)

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* p : fPages) p->fPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError(Format(SListIndexError, {index}));
  return fPages[static_cast<std::size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
  fPages.push_back(page);
  page->fPageControl = this;
  page->FreeNotification(this);
  TabsChanged();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const auto it = std::find(fPages.begin(), fPages.end(), page);
  if (it == fPages.end()) return;
  const bool wasActive = page == fActivePage;
  TTabSheet* next = wasActive && !ComponentState().Contains(csDestroying) ? FindNextPage(page, true, true) : nullptr;
  fPages.erase(it);
  page->fPageControl = nullptr;
  if (wasActive) {
    fActivePage = nullptr;
    if (next != page) SetActivePage(next);
  }
  TabsChanged();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove)
    if (auto* page = dynamic_cast<TTabSheet*>(component)) RemovePage(page);
}

void TPageControl::TabsChanged() {
  Realign();
  Invalidate();
}

void TPageControl::Loaded() {
  TCustomControl::Loaded();
  // Sheets are read hidden; the active one shows once all are in.
  if (!fActivePage && !fPages.empty()) SetActivePage(FindNextPage(nullptr, true, true));
  else if (fActivePage) fActivePage->SetVisible(true);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->fPageControl != this) return;
  TTabSheet* old = fActivePage;
  if (old == page) {
    if (page && !ComponentState().Contains(csLoading)) page->SetVisible(true);
    return;
  }
  // The focus leaves a page that hides.
  if (old) {
    if (TCustomForm* form = GetParentForm(this); form && old->ContainsControl(form->ActiveControl()) && CanFocus())
      SetFocus();
  }
  fActivePage = page;
  if (page && !ComponentState().Contains(csLoading)) {
    page->BringToFront();
    page->SetVisible(true);
  }
  if (old) old->SetVisible(false);
  Invalidate();
}

int TPageControl::ActivePageIndex() const { return fActivePage ? fActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? fPages[static_cast<std::size_t>(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  const auto it = std::find(fPages.begin(), fPages.end(), current);
  int start = it == fPages.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - fPages.begin());
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TTabSheet* p = fPages[static_cast<std::size_t>(i)];
    if (!checkTabVisible || p->TabVisible()) return p;
  } while (i != start);
  return nullptr;
}

bool TPageControl::ChangeTo(TTabSheet* page) {
  if (!page || page == fActivePage) return false;
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return false;
  SetActivePage(page);
  if (OnChange) OnChange(this);
  return true;
}

void TPageControl::SelectNextPage(bool goForward) { ChangeTo(FindNextPage(fActivePage, goForward, true)); }

int TPageControl::TabHeight() const {
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas()->SetFont(Font());
  return measure.Canvas()->TextHeight("Wg") + 2 * kTabPadding / 2 + 2;
}

TRect TPageControl::TabRect(int tabIndex) const {
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas()->SetFont(Font());
  int x = 2, index = 0;
  const int height = TabHeight();
  for (TTabSheet* p : fPages) {
    if (!p->TabVisible()) continue;
    TRect r{0, 0, 0, 0};
    DrawText(*measure.Canvas(), p->Caption(), r, DT_CALCRECT | DT_SINGLELINE);
    const int w = r.Width() + 2 * kTabPadding;
    if (index == tabIndex) return {x, 2, x + w, 2 + height};
    x += w;
    ++index;
  }
  return {0, 0, 0, 0};
}

TRect TPageControl::DisplayRect() const {
  TRect r = ClientRect();
  r.Top += TabHeight() + 2;
  InflateRect(r, -4, -4);
  r.Top -= 2;
  return r;
}

void TPageControl::AlignControls(TControl* control, TRect& rect) {
  rect = DisplayRect();
  TCustomControl::AlignControls(control, rect);
}

TTabSheet* TPageControl::PageAt(TPoint pos) const {
  for (TTabSheet* p : fPages)
    if (const int tab = p->TabIndex(); tab >= 0 && PtInRect(TabRect(tab), pos)) return p;
  return nullptr;
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (TTabSheet* page = PageAt({x, y})) {
    if (CanFocus() && !Focused()) SetFocus();
    ChangeTo(page);
  }
}

void TPageControl::WMGetDlgCode(TMessage& message) { message.Result = DLGC_WANTARROWS; }

void TPageControl::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_TAB && shift.Contains(ssCtrl)) {
    SelectNextPage(!shift.Contains(ssShift));
    key = 0;
  } else if (Focused() && (key == VK_LEFT || key == VK_RIGHT) && !shift.Contains(ssCtrl)) {
    SelectNextPage(key == VK_RIGHT);
    key = 0;
  }
}

void TPageControl::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR) {
    // A tab's accelerator shows its page, before the controls inside are asked.
    for (TTabSheet* p : fPages)
      if (p->TabVisible() && IsAccel(static_cast<char32_t>(message.WParam), p->Caption()) && CanFocus() &&
          Showing()) {
        ChangeTo(p);
        message.Result = 1;
        return;
      }
    if (fActivePage) message.Result = fActivePage->Perform(CM_DIALOGCHAR, message.WParam, message.LParam);
    return;
  }
  if (message.Msg == CM_DIALOGKEY && fActivePage) {
    // Ctrl+Tab turns the page wherever the focus is inside it.
    if (message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && ContainsControl(FindControl(GetFocus()))) {
      SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
      message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(message);
}

void TPageControl::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  TRect frame = ClientRect();
  frame.Top += TabHeight();
  DrawEdge(c, frame, EDGE_RAISED, BF_RECT);
  const int active = TabIndex();
  c.SetFont(Font());
  for (int i = 0;; ++i) {
    TRect tab = TabRect(i);
    if (tab.Width() == 0) break;
    if (i == active) InflateRect(tab, 2, 2);  // the active tab stands out and joins its page
    tab.Bottom = TabHeight() + (i == active ? 2 : 1);
    c.Brush()->SetColor(Color());
    c.FillRect(tab);
    DrawEdge(c, tab, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    TTabSheet* page = nullptr;
    for (TTabSheet* p : fPages)
      if (p->TabIndex() == i) page = p;
    c.Brush()->SetStyle(bsClear);
    TRect text = tab;
    DrawText(c, page ? page->Caption() : String(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    c.Brush()->SetStyle(bsSolid);
    if (i == active && Focused()) {
      TRect focus = tab;
      InflateRect(focus, -3, -3);
      c.DrawFocusRect(focus);
    }
  }
}

void TPageControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  // Pages in page order, then anything else placed on the control.
  for (TTabSheet* p : fPages)
    if (p->Owner() == root) proc(p);
  for (int i = 0; i < ControlCount(); ++i)
    if (TControl* c = Controls(i); c->Owner() == root && !dynamic_cast<TTabSheet*>(c)) proc(c);
}

void TPageControl::DeclareProperties(TPropTable<TPageControl>& t) {
  t.Prop("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  t.Publish("Align");
  DeclareSizing(t, true, true);
  for (const char* name : {"DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                           "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible"})
    t.Publish(name);
  t.Event("OnChange", &TPageControl::OnChange);
  t.Event("OnChanging", &TPageControl::OnChanging);
  for (const char* name : {"OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit",
                           "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnResize", "OnStartDrag"})
    t.Publish(name);
}

}  // namespace zv
