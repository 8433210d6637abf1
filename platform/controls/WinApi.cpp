#include "platform/controls/WinApi.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

using detail::Manager;
using detail::TWindow;

namespace {
TWindow* W(HWND window) { return Manager().FindWindow(window); }
}  // namespace

// --- Invalidation and painting -------------------------------------------------------------------

bool InvalidateRect(HWND window, const TRect* rect, bool erase) {
  TWindow* w = W(window);
  if (!w) return false;
  w->Invalidate(rect, erase);
  return true;
}

bool InvalidateRgn(HWND window, const TRegion* region, bool erase) {
  TWindow* w = W(window);
  if (!w) return false;
  if (!region) {
    w->Invalidate(nullptr, erase);
    return true;
  }
  for (const TRect& r : region->Rects()) w->Invalidate(&r, erase);
  return true;
}

bool ValidateRect(HWND window, const TRect* rect) {
  TWindow* w = W(window);
  if (!w) return false;
  if (rect)
    w->Update.Subtract(*rect);
  else
    w->Update = TRegion();
  ++w->UpdateSerial;
  return true;
}

bool GetUpdateRect(HWND window, TRect* rect, bool) {
  TWindow* w = W(window);
  const bool any = w && !w->Update.IsEmpty();
  if (rect) *rect = any ? w->Update.Bounds() : TRect{};
  return any;
}

int GetUpdateRgn(HWND window, TRegion* region, bool erase) {
  TWindow* w = W(window);
  if (!w || !region) return RGN_ERROR;
  if (erase && w->Erase && !w->Update.IsEmpty()) {
    // The erase is done now; painting later will not erase again.
    w->Erase = false;
    detail::TWindowDevice dc(*w, true);
    dc.SelectClipRegion(&w->Update);
    SendMessage(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc), 0);
    w = W(window);
    if (!w) return RGN_ERROR;
  }
  *region = w->Update;
  region->Intersect(w->ClientRect());
  return region->Complexity();
}

bool SetWindowRgn(HWND window, const TRegion* region, bool redraw) {
  TWindow* w = W(window);
  if (!w) return false;
  // What the old shape covered is repainted by the parent once uncovered.
  if (redraw)
    if (TWindow* parent = w->ParentWindow()) {
      const TRect r = w->Control.BoundsRect();
      parent->Invalidate(&r, true);
    }
  if (region)
    w->Shape = *region;
  else
    w->Shape.reset();
  if (w->Native && HasWindowBackend()) WindowBackend().SetWindowShape(w->Native, region);
  detail::GeometryChanged();
  if (redraw) w->InvalidateAll(true);
  return true;
}

int GetWindowRgn(HWND window, TRegion& region) {
  TWindow* w = W(window);
  if (!w || !w->Shape) return RGN_ERROR;
  region = *w->Shape;
  return region.Complexity();
}

bool UpdateWindow(HWND window) {
  TWindow* w = W(window);
  if (!w) return false;
  Manager().PaintWindow(*w);
  Manager().Present();
  return true;
}

void FrameChanged(HWND window) {
  if (TWindow* w = W(window)) w->RecalcFrame(true);
}

bool BeginPaint(HWND window, TPaintStruct& ps) {
  TWindow* w = W(window);
  return w && detail::BeginPaint(*w, ps);
}

void EndPaint(HWND, TPaintStruct& ps) { ps.hdc.reset(); }

std::unique_ptr<TPaintDevice> GetDC(HWND window) {
  TWindow* w = W(window);
  if (!w) return nullptr;
  return std::make_unique<detail::TWindowDevice>(*w, true);
}

std::unique_ptr<TPaintDevice> GetWindowDC(HWND window) {
  TWindow* w = W(window);
  if (!w) return nullptr;
  return std::make_unique<detail::TWindowDevice>(*w, false);
}

int ScrollWindowEx(HWND window, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, unsigned flags) {
  TWindow* w = W(window);
  if (!w) return RGN_ERROR;
  return w->Scroll(dx, dy, scroll, clip, update, updateRect, flags);
}

bool ScrollWindow(HWND window, int dx, int dy, const TRect* scroll, const TRect* clip) {
  const unsigned flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0u : SW_SCROLLCHILDREN);
  return ScrollWindowEx(window, dx, dy, scroll, clip, nullptr, nullptr, flags) != RGN_ERROR;
}

// --- Scroll bars -----------------------------------------------------------------------------------

int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw) {
  TWindow* w = W(window);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return 0;
  detail::TScrollBarState& b = w->Bars[bar];
  const TRect thumb = w->ThumbRect(bar);
  if (info.fMask & SIF_RANGE) {
    const bool valid = info.nMin <= info.nMax && static_cast<std::int64_t>(info.nMax) - info.nMin < 0x80000000LL;
    b.Min = valid ? info.nMin : 0;
    b.Max = valid ? info.nMax : 0;
  }
  const std::int64_t range = std::max<std::int64_t>(static_cast<std::int64_t>(b.Max) - b.Min + 1, 0);
  if (info.fMask & SIF_PAGE) b.Page = static_cast<unsigned>(std::min<std::int64_t>(info.nPage, range));
  if (info.fMask & SIF_POS) b.Pos = info.nPos;
  const std::int64_t last = static_cast<std::int64_t>(b.Max) - std::max<std::int64_t>(static_cast<std::int64_t>(b.Page) - 1, 0);
  b.Pos = static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(b.Pos, last), b.Min));
  if (!b.Tracking) b.TrackPos = b.Pos;
  if (info.fMask & (SIF_RANGE | SIF_PAGE)) {
    const bool fits = b.Max <= b.Min || (b.Page > 0 && static_cast<std::int64_t>(b.Page) >= range);
    b.Disabled = fits && (info.fMask & SIF_DISABLENOSCROLL);
    w->SetBarShown(bar, !fits || b.Disabled);
  }
  // The bar looks as it did unless its thumb moved, grew or went (a changed frame repaints all):
  // a thumb that only moved repaints its track, one that came or went the arrows too.
  const TRect now = w->ThumbRect(bar);
  if (redraw && now != thumb) {
    if (thumb.IsEmpty() || now.IsEmpty()) {
      w->InvalidateFramePart(w->BarRect(bar));
    } else {
      w->InvalidateFramePart(thumb);
      w->InvalidateFramePart(now);
    }
  }
  return b.Pos;
}

bool GetScrollInfo(HWND window, int bar, TScrollInfo& info) {
  TWindow* w = W(window);
  if (!w || (bar != SB_HORZ && bar != SB_VERT)) return false;
  const detail::TScrollBarState& b = w->Bars[bar];
  if (info.fMask & SIF_RANGE) {
    info.nMin = b.Min;
    info.nMax = b.Max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = b.Page;
  if (info.fMask & SIF_POS) info.nPos = b.Pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = b.Tracking ? b.TrackPos : b.Pos;
  return true;
}

int SetScrollPos(HWND window, int bar, int pos, bool redraw) {
  const int old = GetScrollPos(window, bar);
  TScrollInfo info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(window, bar, info, redraw);
  return old;
}

int GetScrollPos(HWND window, int bar) {
  TScrollInfo info;
  info.fMask = SIF_POS;
  return GetScrollInfo(window, bar, info) ? info.nPos : 0;
}

bool SetScrollRange(HWND window, int bar, int min, int max, bool redraw) {
  TScrollInfo info;
  info.fMask = SIF_RANGE;
  info.nMin = min;
  info.nMax = max;
  return W(window) && (SetScrollInfo(window, bar, info, redraw), true);
}

bool ShowScrollBar(HWND window, int bar, bool show) {
  TWindow* w = W(window);
  if (!w) return false;
  if (bar == SB_HORZ || bar == SB_BOTH) w->SetBarShown(SB_HORZ, show);
  if (bar == SB_VERT || bar == SB_BOTH) w->SetBarShown(SB_VERT, show);
  return true;
}

// --- Focus, capture, keys, timers --------------------------------------------------------------------

HWND SetFocus(HWND window) { return Manager().SetFocus(window); }
HWND GetFocus() { return Manager().Focus(); }
HWND SetCapture(HWND window) { return Manager().SetCapture(window); }

bool ReleaseCapture() {
  Manager().ReleaseCapture();
  return true;
}

HWND GetCapture() { return Manager().Capture(); }
short GetKeyState(int virtualKey) { return Manager().KeyState(virtualKey); }

std::uintptr_t SetTimer(HWND window, std::uintptr_t id, unsigned milliseconds) {
  return Manager().SetTimer(window, id, milliseconds);
}

bool KillTimer(HWND window, std::uintptr_t id) { return Manager().KillTimer(window, id); }

// --- Messages ------------------------------------------------------------------------------------------

bool PostMessage(HWND window, unsigned msg, WPARAM wParam, LPARAM lParam) {
  if (!Manager().Find(window)) return false;
  Manager().Post(window, {msg, wParam, lParam, 0});
  return true;
}

bool PeekMessage(TMsg& message, HWND window, unsigned first, unsigned last, unsigned remove) {
  return Manager().PeekMessage(message, window, first, last, (remove & PM_REMOVE) != 0);
}

bool PeekMessage(TMessage& message) {
  TMsg m;
  if (!PeekMessage(m, HWND{}, 0, 0, PM_NOREMOVE)) return false;
  message = m;
  return true;
}

LRESULT SendMessage(HWND window, unsigned msg, WPARAM wParam, LPARAM lParam) {
  TWinControl* c = Manager().Find(window);
  if (!c) return 0;
  TMessage m{msg, wParam, lParam, 0};
  c->MainWndProc(m);
  return m.Result;
}

void PostQuitMessage() { Manager().PostQuit(); }

// --- Windows and the system ------------------------------------------------------------------------------

bool IsWindow(HWND window) { return W(window) != nullptr; }

HWND FindWindow(const char* className, const char* windowName) {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (!form->HandleAllocated() || form->Parent()) continue;
    if (className && !SameText(form->ClassName(), className)) continue;
    if (windowName && form->Caption() != windowName) continue;
    return form->Handle();
  }
  return HWND{};
}

bool IsWindowVisible(HWND window) {
  TWindow* w = W(window);
  return w && w->Visible();
}

bool IsWindowEnabled(HWND window) {
  TWinControl* c = Manager().Find(window);
  return c && c->Enabled();
}

bool GetClientRect(HWND window, TRect& rect) {
  TWindow* w = W(window);
  if (!w) return false;
  rect = w->ClientRect();
  return true;
}

bool GetWindowRect(HWND window, TRect& rect) {
  TWindow* w = W(window);
  if (!w) return false;
  const TPoint o = w->Control.ClientOrigin();
  rect = Bounds(o.X - w->ClientInWindow.Left, o.Y - w->ClientInWindow.Top, w->Width(), w->Height());
  return true;
}

std::uint64_t GetTickCount() { return HasWindowBackend() ? WindowBackend().TickCount() : 0; }
unsigned GetDoubleClickTime() { return 500; }
TPoint GetCursorPos() { return Manager().CursorPos(); }

bool SetCursorPos(int x, int y) {
  if (!HasWindowBackend()) return false;
  Manager().SetCursorPos({x, y});
  return true;
}

namespace {
bool IsStockCursor(TCursor cursor) {
  if (cursor == crDefault) return false;
  for (const TIdentMapEntry& e : CursorIdents)
    if (e.Value == cursor) return true;
  return false;
}
}  // namespace

TCursor SetCursor(TCursor cursor) { return Manager().SetCursorShape(IsStockCursor(cursor) ? cursor : crArrow); }
TCursor GetCursor() { return Manager().CursorShape(); }

bool MessageBeep(unsigned) {
  if (!HasWindowBackend()) return false;
  WindowBackend().Beep();
  return true;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return HasWindowBackend() ? WindowBackend().ScreenRect().Width() : 0;
    case SM_CYSCREEN: return HasWindowBackend() ? WindowBackend().ScreenRect().Height() : 0;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    default: return 0;
  }
}

}  // namespace zv
