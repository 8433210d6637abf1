// A form's menu bar: the bar's layout and painting, and tracking it while a drop-down is open.

#include "platform/controls/Menus.h"

#include "platform/controls/Application.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/detail/MenuWindow.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

namespace {

constexpr int kItemPadding = 7;  // on each side of a bar item's caption
constexpr int kBarExtra = 6;     // above and below the captions together

TMainMenu* gOpenBar = nullptr;
// Drop-downs of main menus freed while their loop ran: they go once the loop is over.
std::vector<std::unique_ptr<TMenuWindow>> gBarOrphans;

// A canvas with the menu font for measuring (a bitmap of the backend in use now).
struct TMeasure {
  TBitmap bitmap;
  TMeasure() {
    bitmap.SetSize(1, 1);
    TFont standard;
    bitmap.Canvas()->SetFont(&standard);
  }
  TCanvas& Canvas() { return *bitmap.Canvas(); }
};

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TMainMenu, TMenu)

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

TMainMenu::~TMainMenu() {
  Destroying();
  if (gOpenBar == this) {
    gOpenBar = nullptr;
    if (fWindow) {
      fWindow->Orphan();
      gBarOrphans.push_back(std::move(fWindow));
    }
  }
  fWindow.reset();
  SetHost(nullptr);
}

void TMainMenu::SetHost(TWinControl* host) {
  if (fHost == host) return;
  if (fHost) fHost->RemoveFreeNotification(this);
  fHost = host;
  if (host) host->FreeNotification(this);
}

void TMainMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == fHost) {
    fHost = nullptr;
    CloseMenu();
  }
}

void TMainMenu::MenuChanged() {
  if (fHost && fHost->HandleAllocated() && !ComponentState().Contains(csLoading)) fHost->Perform(CM_MENUCHANGED);
}

int TMainMenu::BarHeight() const {
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Items(i)->Visible()) return TMeasure().Canvas().TextHeight("Wg") + kBarExtra;
  return 0;
}

std::vector<TMainMenu::TBarItem> TMainMenu::BarItems(int width) const {
  std::vector<TBarItem> items;
  const int height = BarHeight();
  TMeasure measure;
  TCanvas& c = measure.Canvas();
  int x = 0;
  for (int i = 0; i < Items()->Count() && x < width; ++i) {
    TMenuItem* item = Items()->Items(i);
    if (!item->Visible()) continue;
    const int w = c.TextWidth(StripHotkey(item->Caption())) + 2 * kItemPadding;
    items.push_back({item, TRect{x, 0, x + w, height}});
    x += w;
  }
  return items;
}

int TMainMenu::FindBarHotkey(char32_t c) const {
  const String hot = AnsiUpperCase(CodePointToUTF8(c));
  const auto items = BarItems(fHost ? fHost->Width() : 0);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].Item->Enabled() && GetHotkey(items[i].Item->Caption()) == hot) return static_cast<int>(i);
  return -1;
}

TRect TMainMenu::BarOnScreen() const {
  TRect window;
  if (!fHost || !fHost->HandleAllocated() || !GetWindowRect(fHost->Handle(), window)) return {};
  return {window.Left, window.Top, window.Right, window.Top + BarHeight()};
}

int TMainMenu::BarItemAt(TPoint screen) const {
  const TRect bar = BarOnScreen();
  if (!PtInRect(bar, screen)) return -1;
  const auto items = BarItems(bar.Width());
  for (std::size_t i = 0; i < items.size(); ++i)
    if (PtInRect(items[i].Rect, {screen.X - bar.Left, screen.Y - bar.Top})) return static_cast<int>(i);
  return -1;
}

void TMainMenu::InvalidateBar() const {
  if (fHost && fHost->HandleAllocated()) fHost->Perform(CM_MENUCHANGED);
}

void TMainMenu::PaintBar(TCanvas& c, const TRect& rect) const {
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(clMenu);
  c.FillRect(rect);
  TFont standard;
  c.SetFont(&standard);
  const auto items = BarItems(rect.Width());
  for (std::size_t i = 0; i < items.size(); ++i) {
    TRect r = items[i].Rect;
    OffsetRect(r, rect.Left, rect.Top);
    r.Right = std::min(r.Right, rect.Right);
    const bool open = static_cast<int>(i) == fOpenIndex;
    c.Brush()->SetStyle(bsSolid);
    if (open) {
      c.Brush()->SetColor(clHighlight);
      c.FillRect(r);
    }
    c.Font()->SetColor(open ? clHighlightText : items[i].Item->Enabled() ? clMenuText : clGrayText);
    c.Brush()->SetStyle(bsClear);
    DrawText(c, items[i].Item->Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  c.Brush()->SetStyle(bsSolid);
}

TMainMenu* TMainMenu::Current() { return gOpenBar; }

TMenuWindow* TMainMenu::DropDownWindow() const {
  return gOpenBar == this && fWindow && fWindow->Tracking() ? fWindow.get() : nullptr;
}

void TMainMenu::CloseMenu() {
  if (gOpenBar == this && fWindow) fWindow->EndTracking(nullptr);
}

void TMainMenu::Open(int index, bool byKey) {
  if (gOpenBar || TPopupMenu::Current() || !fHost || !fHost->HandleAllocated() || !fHost->Showing()) return;
  const TMainMenu* self = this;
  gOpenBar = this;
  TMenuItem* chosen = nullptr;
  while (index >= 0) {
    const TRect bar = BarOnScreen();
    const auto items = BarItems(bar.Width());
    if (index >= static_cast<int>(items.size())) break;
    TMenuItem* top = items[static_cast<std::size_t>(index)].Item;
    if (!top->Enabled()) break;
    fOpenIndex = index;
    InvalidateBar();
    // The top item hears of the opening first: it may fill its sub-items.
    top->Click();
    if (gOpenBar != self || !fHost) break;
    if (top->Count() == 0) break;
    fWindow = std::make_unique<TMenuWindow>(this, top, nullptr);
    fWindow->SetBar([this](TPoint p) { return BarItemAt(p); }, index, static_cast<int>(items.size()));
    fWindow->Layout();
    if (fWindow->ItemCount() == 0) break;
    const TRect r = items[static_cast<std::size_t>(index)].Rect;
    fWindow->PlaceAt({bar.Left + r.Left, bar.Top + r.Bottom}, paLeft);
    chosen = fWindow->Track(byKey);
    if (gOpenBar != self) {
      // A handler inside the loop freed the menu.
      gBarOrphans.clear();
      return;
    }
    if (chosen) break;
    index = fWindow->BarStep();
  }
  gOpenBar = nullptr;
  fOpenIndex = -1;
  InvalidateBar();
  // As on the host, the choice arrives at the form as a command after the loop.
  if (chosen && fHost && fHost->HandleAllocated()) PostMessage(fHost->Handle(), WM_COMMAND, chosen->Command(), 0);
}

void TMainMenu::DeclareProperties(TPropTable<TMainMenu>&) {}

}  // namespace zv
