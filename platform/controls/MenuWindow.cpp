#include "platform/controls/detail/MenuWindow.h"

#include "platform/controls/Application.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

namespace {

constexpr int kFrame = 3;          // raised edge and one pixel of margin
constexpr int kSeparatorHeight = 9;
constexpr int kTextGap = 4;        // between the gutter and the caption
constexpr int kShortCutGap = 16;   // between the captions and the short-cuts
constexpr int kArrowWidth = 16;    // the sub-menu arrow's column

bool HasSubMenu(const TMenuItem* item) { return item->Count() > 0; }

}  // namespace

ZV_DEFINE_CLASS(TMenuWindow, TCustomControl)

TMenuWindow::TMenuWindow(TMenu* menu, TMenuItem* item, TMenuWindow* parentMenu)
    : TCustomControl(nullptr), fMenu(menu), fItem(item), fParentMenu(parentMenu) {
  SetVisible(false);
  SetColor(clMenu);
}

TMenuWindow::~TMenuWindow() {
  Destroying();
  fSubMenu.reset();
  UnhookFocus();
  if (GetCapture() != HWND{} && HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TMenuWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style &= ~WS_CAPTION;
  params.ExStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
}

TMenuWindow* TMenuWindow::Root() {
  TMenuWindow* w = this;
  while (w->fParentMenu) w = w->fParentMenu;
  return w;
}

TMenuWindow* TMenuWindow::Deepest() {
  TMenuWindow* w = this;
  while (w->fSubMenu) w = w->fSubMenu.get();
  return w;
}

void TMenuWindow::Orphan() {
  EndTracking(nullptr);
  fSubMenu.reset();
  fRows.clear();
  fMenu = nullptr;
  fItem = nullptr;
}

// --- Layout ----------------------------------------------------------------------------------------

void TMenuWindow::Layout() {
  fRows.clear();
  fSelected = -1;
  if (!fItem) return;
  TBitmap measure;
  measure.SetSize(1, 1);
  TCanvas& c = *measure.Canvas();
  TCustomImageList* images = fMenu ? fMenu->Images() : nullptr;
  const int imageWidth = images ? images->Width() : 16, imageHeight = images ? images->Height() : 16;
  c.SetFont(Font());
  const int rowHeight = std::max(c.TextHeight("Wg") + 6, imageHeight + 4);
  fGutter = imageWidth + 6;
  int captionWidth = 0, shortCutWidth = 0, height = kFrame;
  for (int i = 0; i < fItem->Count(); ++i) {
    TMenuItem* item = fItem->Items(i);
    if (!item->Visible()) continue;
    item->FreeNotification(this);
    const int h = item->IsLine() ? kSeparatorHeight : rowHeight;
    fRows.push_back({item, TRect{kFrame, height, kFrame, height + h}});
    height += h;
    if (item->IsLine()) continue;
    c.Font()->SetStyle(item->Default() ? TFontStyles{fsBold} : TFontStyles{});
    captionWidth = std::max(captionWidth, c.TextWidth(StripHotkey(item->Caption())));
    c.Font()->SetStyle({});
    shortCutWidth = std::max(shortCutWidth, c.TextWidth(ShortCutToText(item->ShortCut())));
  }
  int width = kFrame + fGutter + kTextGap + captionWidth;
  fShortCutLeft = shortCutWidth > 0 ? width + kShortCutGap : 0;
  if (shortCutWidth > 0) width += kShortCutGap + shortCutWidth;
  width += kArrowWidth + kFrame;
  for (TRow& row : fRows) row.Rect.Right = width - kFrame;
  SetBounds(Left(), Top(), width, height + kFrame);
  Invalidate();
}

TMenuItem* TMenuWindow::ItemAt(int index) const {
  return index >= 0 && index < ItemCount() ? fRows[static_cast<std::size_t>(index)].Item : nullptr;
}

TRect TMenuWindow::ItemRect(int index) const {
  return index >= 0 && index < ItemCount() ? fRows[static_cast<std::size_t>(index)].Rect : TRect{};
}

int TMenuWindow::RowAt(TPoint pos) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (PtInRect(fRows[static_cast<std::size_t>(i)].Rect, pos)) return i;
  return -1;
}

bool TMenuWindow::Selectable(int index) const {
  const TMenuItem* item = ItemAt(index);
  return item && item->Enabled() && !item->IsLine();
}

int TMenuWindow::NextSelectable(int start, int step) const {
  const int n = ItemCount();
  for (int k = 1; k <= n; ++k) {
    const int i = ((start + step * k) % n + n) % n;
    if (Selectable(i)) return i;
  }
  return -1;
}

void TMenuWindow::Select(int index) {
  if (index < -1 || index >= ItemCount()) index = -1;
  if (index == fSelected) return;
  if (HandleAllocated()) {
    TRect old = ItemRect(fSelected), now = ItemRect(index);
    if (fSelected >= 0) InvalidateRect(Handle(), &old, false);
    if (index >= 0) InvalidateRect(Handle(), &now, false);
  }
  fSelected = index;
}

void TMenuWindow::PlaceAt(TPoint screen, TPopupAlignment alignment) {
  const TRect work = Screen->WorkAreaRect();
  const int w = Width(), h = Height();
  int x = alignment == paRight ? screen.X - w : alignment == paCenter ? screen.X - w / 2 : screen.X;
  int y = screen.Y;
  if (x + w > work.Right) x = alignment == paLeft ? screen.X - w : work.Right - w;
  if (x < work.Left) x = work.Left;
  if (y + h > work.Bottom) y = screen.Y - h;
  if (y < work.Top) y = work.Top;
  SetBounds(x, y, w, h);
}

// --- Sub-menus ---------------------------------------------------------------------------------------

void TMenuWindow::OpenSubMenu(bool selectFirst) {
  TMenuItem* item = ItemAt(fSelected);
  if (!item || !HasSubMenu(item)) return;
  if (!fSubMenu || fSubMenu->fItem != item) {
    CloseSubMenu();
    auto sub = std::make_unique<TMenuWindow>(fMenu, item, this);
    sub->SetFont(Font());
    sub->Layout();
    if (sub->ItemCount() == 0) return;
    const TRect work = Screen->WorkAreaRect();
    const TRect row = ItemRect(fSelected);
    const TPoint rowTop = ClientToScreen({row.Right, row.Top});
    int x = rowTop.X, y = rowTop.Y - kFrame;
    if (x + sub->Width() > work.Right) x = ClientToScreen({0, 0}).X - sub->Width();
    if (y + sub->Height() > work.Bottom) y = work.Bottom - sub->Height();
    sub->SetBounds(std::max(x, work.Left), std::max(y, work.Top), sub->Width(), sub->Height());
    sub->Show();
    fSubMenu = std::move(sub);
  }
  if (selectFirst) fSubMenu->Select(fSubMenu->NextSelectable(-1, 1));
}

void TMenuWindow::CloseSubMenu() {
  if (!fSubMenu) return;
  fSubMenu->CloseSubMenu();
  fSubMenu.reset();
}

void TMenuWindow::Activate(int index) {
  if (!Selectable(index)) return;
  Select(index);
  TMenuItem* item = ItemAt(index);
  if (HasSubMenu(item))
    OpenSubMenu(true);
  else
    Root()->EndTracking(item);
}

// --- Tracking ----------------------------------------------------------------------------------------

void TMenuWindow::SetBar(std::function<int(TPoint)> itemAt, int index, int count) {
  fBarItemAt = std::move(itemAt);
  fBarIndex = index;
  fBarCount = count;
}

void TMenuWindow::StepBar(int index) {
  if (fBarCount <= 0) return;
  fBarStep = (index % fBarCount + fBarCount) % fBarCount;
  EndTracking(nullptr);
}

TMenuItem* TMenuWindow::Track(bool selectFirst) {
  fChosen = nullptr;
  fArmed = false;
  fBarStep = -1;
  fOpenedAt = GetCursorPos();
  Select(selectFirst ? NextSelectable(-1, 1) : -1);
  Show();
  Invalidate();
  fTracking = true;
  SetCapture(Handle());
  UnhookFocus();
  HookFocus();
  Application->RunNestedLoop();
  if (fTracking) Finish();  // the loop ended without EndTracking (the application terminates)
  return fChosen;
}

void TMenuWindow::EndTracking(TMenuItem* item) {
  if (!fTracking) return;
  fChosen = item;
  Finish();
  Application->EndNestedLoop();
}

void TMenuWindow::Finish() {
  fTracking = false;
  CloseSubMenu();
  // A key that closed the menu is followed by its character: that belongs to the menu too.
  if (fInKey && fHooked)
    fTrailing = true;
  else
    UnhookFocus();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  Hide();
}

void TMenuWindow::HookFocus() {
  TWinControl* focused = TWinControl::FindControl(GetFocus());
  if (!focused || focused == this) return;
  fHooked = focused;
  fHookedProc = focused->WindowProc;
  focused->FreeNotification(this);
  // The focused control keeps the focus while the menu is open; its keys are the menu's.
  // Unhooking replaces this closure: nothing of it is touched after UnhookFocus.
  focused->WindowProc = [this](TMessage& m) {
    TMenuWindow* self = this;
    if (self->fTrailing) {
      const bool isChar = m.Msg == WM_CHAR || m.Msg == WM_SYSCHAR;
      if (!isChar && m.Msg != WM_KEYDOWN && m.Msg != WM_SYSKEYDOWN && m.Msg != WM_LBUTTONDOWN &&
          m.Msg != WM_RBUTTONDOWN)
        return self->fHookedProc(m);
      const std::function<void(TMessage&)> inherited = self->fHookedProc;
      self->UnhookFocus();
      if (!isChar) inherited(m);
      return;
    }
    switch (m.Msg) {
      case WM_GETDLGCODE: m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB; return;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        self->fInKey = true;
        self->TrackKey(static_cast<Word>(m.WParam));
        self->fInKey = false;
        return;
      case WM_CHAR:
      case WM_SYSCHAR: self->TrackChar(static_cast<char32_t>(m.WParam)); return;
      case WM_KEYUP:
      case WM_SYSKEYUP: return;
      default: self->fHookedProc(m);
    }
  };
}

void TMenuWindow::UnhookFocus() {
  fTrailing = false;
  if (!fHooked) return;
  TWinControl* hooked = fHooked;
  fHooked = nullptr;
  hooked->RemoveFreeNotification(this);
  hooked->WindowProc = std::move(fHookedProc);
  fHookedProc = nullptr;
}

void TMenuWindow::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fHooked) {
    fHooked = nullptr;
    fHookedProc = nullptr;
    fTrailing = false;
  }
  for (std::size_t i = 0; i < fRows.size(); ++i) {
    if (fRows[i].Item != component) continue;
    if (fSubMenu && fSubMenu->fItem == component) CloseSubMenu();
    const int index = static_cast<int>(i);
    if (fSelected == index) fSelected = -1;
    if (fSelected > index) --fSelected;
    fRows.erase(fRows.begin() + index);
    Invalidate();
    break;
  }
}

void TMenuWindow::HoverRow(int row) {
  if (!Selectable(row)) {
    if (!fSubMenu) Select(-1);
    return;
  }
  if (row != fSelected) CloseSubMenu();
  Select(row);
  OpenSubMenu(false);
}

void TMenuWindow::TrackMouse(unsigned msg, TPoint screen) {
  if (!fTracking) return;
  TMenuWindow* over = nullptr;
  for (TMenuWindow* w = Deepest(); w; w = w->fParentMenu)
    if (PtInRect(w->BoundsRect(), screen)) {
      over = w;
      break;
    }
  const int row = over ? over->RowAt(over->ScreenToClient(screen)) : -1;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (screen.X != fOpenedAt.X || screen.Y != fOpenedAt.Y) fArmed = true;
      if (over) {
        over->HoverRow(row);
      } else if (const int bar = fBarItemAt ? fBarItemAt(screen) : -1; bar >= 0 && bar != fBarIndex) {
        // Sliding along the bar opens the menu under the mouse.
        StepBar(bar);
        return;
      } else {
        Deepest()->Select(-1);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      fArmed = true;
      if (!over) {
        // A press on another item of the bar opens that one; on this one, closes the menu.
        if (const int bar = fBarItemAt ? fBarItemAt(screen) : -1; bar >= 0 && bar != fBarIndex)
          StepBar(bar);
        else
          EndTracking(nullptr);
        return;
      }
      over->HoverRow(row);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (over && fArmed && over->Selectable(row) && !HasSubMenu(over->ItemAt(row))) EndTracking(over->ItemAt(row));
      break;
    default:
      break;
  }
}

void TMenuWindow::TrackKey(Word key) {
  if (!fTracking) return;
  TMenuWindow* d = Deepest();
  switch (key) {
    case VK_DOWN: d->Select(d->NextSelectable(d->fSelected, 1)); break;
    case VK_UP: d->Select(d->NextSelectable(d->fSelected < 0 ? d->ItemCount() : d->fSelected, -1)); break;
    case VK_HOME: d->Select(d->NextSelectable(-1, 1)); break;
    case VK_END: d->Select(d->NextSelectable(d->ItemCount(), -1)); break;
    case VK_RIGHT:
      if (d->Selectable(d->fSelected) && HasSubMenu(d->ItemAt(d->fSelected)))
        d->OpenSubMenu(true);
      else if (fBarCount > 0)
        StepBar(fBarIndex + 1);
      break;
    case VK_LEFT:
      if (d->fParentMenu)
        d->fParentMenu->CloseSubMenu();
      else if (fBarCount > 0)
        StepBar(fBarIndex - 1);
      break;
    case VK_ESCAPE:
      if (d->fParentMenu)
        d->fParentMenu->CloseSubMenu();
      else
        EndTracking(nullptr);
      break;
    case VK_RETURN:
    case VK_SPACE:
      if (d->fSelected >= 0)
        d->Activate(d->fSelected);
      else
        EndTracking(nullptr);
      break;
    case VK_MENU:
    case VK_F10: EndTracking(nullptr); break;
    default: break;
  }
}

void TMenuWindow::TrackChar(char32_t c) {
  if (!fTracking || c < 0x20) return;
  TMenuWindow* d = Deepest();
  const String hot = AnsiUpperCase(CodePointToUTF8(c));
  std::vector<int> matches;
  for (int i = 0; i < d->ItemCount(); ++i)
    if (d->Selectable(i) && GetHotkey(d->ItemAt(i)->Caption()) == hot) matches.push_back(i);
  if (matches.size() == 1) {
    d->Activate(matches.front());
  } else if (!matches.empty()) {
    // Several items share the letter: each press moves to the next of them.
    const auto next = std::upper_bound(matches.begin(), matches.end(), d->fSelected);
    d->Select(next == matches.end() ? matches.front() : *next);
  }
}

void TMenuWindow::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
    Root()->TrackMouse(m.Msg, ClientToScreen(LParamToPoint(m.LParam)));
    return;
  }
  switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB; return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: Root()->TrackKey(static_cast<Word>(m.WParam)); return;
    case WM_CHAR:
    case WM_SYSCHAR: Root()->TrackChar(static_cast<char32_t>(m.WParam)); return;
    case WM_KEYUP:
    case WM_SYSKEYUP: return;
    case WM_CANCELMODE: Root()->EndTracking(nullptr); return;
    case WM_CAPTURECHANGED:
      if (fTracking && static_cast<HWND>(m.LParam) != Handle()) EndTracking(nullptr);
      break;
    case WM_COMMAND:
      if (fMenu)
        if (TMenuItem* item = fMenu->FindItem(static_cast<unsigned>(m.WParam))) item->Click();
      return;
    default: break;
  }
  TCustomControl::WndProc(m);
}

// --- Painting ----------------------------------------------------------------------------------------

void TMenuWindow::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clMenu);
  c.FillRect(r);
  DrawEdge(c, r, EDGE_RAISED, BF_RECT);
  for (int i = 0; i < ItemCount(); ++i) PaintRow(c, i);
}

void TMenuWindow::PaintRow(TCanvas& c, int index) {
  TMenuItem* item = ItemAt(index);
  const TRect r = ItemRect(index);
  if (item->IsLine()) {
    TRect line{r.Left + 1, r.Top + r.Height() / 2 - 1, r.Right - 1, r.Top + r.Height() / 2 + 1};
    DrawEdge(c, line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const bool selected = index == fSelected, enabled = item->Enabled();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(selected ? clHighlight : clMenu);
  c.FillRect(r);
  const TColor textColor = selected ? clHighlightText : enabled ? clMenuText : clGrayText;

  // The gutter: the image (framed when checked), else the check mark or radio bullet.
  TCustomImageList* images = fMenu ? fMenu->Images() : nullptr;
  const bool hasImage = images && item->ImageIndex() >= 0 && item->ImageIndex() < images->Count();
  const TRect gutter{r.Left, r.Top, r.Left + fGutter, r.Bottom};
  if (hasImage) {
    const int x = gutter.Left + (gutter.Width() - images->Width()) / 2;
    const int y = gutter.Top + (gutter.Height() - images->Height()) / 2;
    if (item->Checked()) {
      TRect frame{x - 1, y - 1, x + images->Width() + 1, y + images->Height() + 1};
      DrawEdge(c, frame, BDR_SUNKENOUTER, BF_RECT);
    }
    images->Draw(&c, x, y, item->ImageIndex(), enabled);
  } else if (item->Checked()) {
    const int cx = gutter.Left + gutter.Width() / 2, cy = gutter.Top + gutter.Height() / 2;
    c.Pen()->SetColor(textColor);
    c.Brush()->SetColor(textColor);
    if (item->RadioItem()) {
      c.Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    } else {
      for (int d = 0; d < 3; ++d) {
        const TPoint mark[] = {{cx - 3, cy - 1 + d}, {cx - 1, cy + 1 + d}, {cx + 4, cy - 4 + d}};
        c.Polyline(mark);
      }
    }
  }

  c.Font()->Assign(Font());
  if (item->Default()) c.Font()->SetStyle({fsBold});
  c.Brush()->SetStyle(bsClear);
  TRect text{gutter.Right + kTextGap, r.Top, r.Right - kArrowWidth, r.Bottom};
  const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  if (!enabled && !selected) {
    // Disabled text is embossed: a highlight one pixel down-right under the shadow.
    TRect lit = text;
    OffsetRect(lit, 1, 1);
    c.Font()->SetColor(clBtnHighlight);
    DrawText(c, item->Caption(), lit, format);
    c.Font()->SetColor(clBtnShadow);
  } else {
    c.Font()->SetColor(textColor);
  }
  DrawText(c, item->Caption(), text, format);
  if (fShortCutLeft > 0 && item->ShortCut() != scNone) {
    TRect shortCut{fShortCutLeft, r.Top, r.Right - kArrowWidth, r.Bottom};
    c.Font()->SetStyle({});
    DrawText(c, ShortCutToText(item->ShortCut()), shortCut, format | DT_NOPREFIX);
  }
  c.Brush()->SetStyle(bsSolid);
  if (HasSubMenu(item)) {
    const int x = r.Right - kArrowWidth / 2 - 2, cy = r.Top + r.Height() / 2;
    const TPoint arrow[] = {{x, cy - 4}, {x + 4, cy}, {x, cy + 4}};
    c.Pen()->SetColor(c.Font()->Color());
    c.Brush()->SetColor(c.Font()->Color());
    c.Polygon(arrow);
  }
}

}  // namespace zv
