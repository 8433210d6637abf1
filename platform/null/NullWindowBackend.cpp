#include "platform/null/NullWindowBackend.h"

#include "platform/controls/Messages.h"
#include "platform/null/NullBackend.h"

#include <algorithm>
#include <type_traits>

namespace zv {

TNativeWindow TNullWindowBackend::CreateWindow(const TNativeWindowParams& params) {
  const TNativeWindow id = fNext++;
  TWindowRecord& r = fWindows[id];
  r.Bounds = params.Bounds;
  r.Caption = params.Caption;
  r.Popup = params.Popup;
  r.Frame = params.Frame;
  r.StayOnTop = params.StayOnTop;
  r.Owner = params.Owner;
  r.ActivateOnShow = params.ActivateOnShow;
  r.TransparentForInput = params.TransparentForInput;
  r.Buttons[0] = params.SystemMenu;
  r.Buttons[1] = params.MinimizeButton;
  r.Buttons[2] = params.MaximizeButton;
  r.Buttons[3] = params.HelpButton;
  return id;
}

void TNullWindowBackend::DestroyWindow(TNativeWindow window) {
  fWindows.erase(window);
  if (fCapture == window) fCapture = 0;
  if (fActive == window) fActive = 0;
}

void TNullWindowBackend::ShowWindow(TNativeWindow window, bool visible) {
  TWindowRecord* r = Window(window);
  if (!r || r->Visible == visible) return;
  r->Visible = visible;
  if (visible && !r->Popup && r->ActivateOnShow) ActivateWindow(window);
}

void TNullWindowBackend::SetWindowBounds(TNativeWindow window, const TRect& screenBounds) {
  if (TWindowRecord* r = Window(window)) r->Bounds = screenBounds;
}

void TNullWindowBackend::SetWindowCaption(TNativeWindow window, const String& caption) {
  if (TWindowRecord* r = Window(window)) r->Caption = caption;
}

void TNullWindowBackend::ActivateWindow(TNativeWindow window) {
  if (!Window(window) || fActive == window) return;
  fActive = window;
  if (!fAppActive) {  // activating one of its windows brings the application back
    fAppActive = true;
    if (Sink()) Sink()->ApplicationActiveChanged(true);
  }
  if (Sink()) Sink()->ActiveChanged(window, true);
}

void TNullWindowBackend::SetWindowShape(TNativeWindow window, const TRegion* region) {
  TWindowRecord* r = Window(window);
  if (!r) return;
  if (region)
    r->Shape = *region;
  else
    r->Shape.reset();
}

void TNullWindowBackend::Present(TNativeWindow window, TPaintDevice& surface, const TRegion& region) {
  TWindowRecord* r = Window(window);
  if (!r) return;
  if (r->Screen.Width() != surface.Width() || r->Screen.Height() != surface.Height()) {
    TPixelBuffer screen(surface.Width(), surface.Height());
    const int w = std::min(screen.Width(), r->Screen.Width());
    for (int y = 0; y < std::min(screen.Height(), r->Screen.Height()); ++y)
      std::copy_n(r->Screen.Row(y).begin(), w, screen.Row(y).begin());
    r->Screen = std::move(screen);
  }
  // Headless surfaces are read in place: a tracking line presents two narrow strips the height
  // of a window on every mouse move, and a copy through a buffer per strip costs more than the
  // line itself.
  const auto* own = dynamic_cast<const TNullSurface*>(&surface);
  for (const TRect& rect : region.Rects()) {
    r->Presented.Unite(rect);
    TRect on;
    if (!IntersectRect(on, rect, r->Screen.BoundsRect())) continue;
    if (own) {
      const std::ptrdiff_t stride = r->Screen.Width();  // the surface's width too, as resized above
      const TPixel* from = own->Pixels().Data().data() + on.Top * stride + on.Left;
      TPixel* to = r->Screen.Data().data() + on.Top * stride + on.Left;
      auto rows = [&](auto width) {
        constexpr int Ahead = 8;  // rows of a wide window lie further apart than the hardware follows
        for (int y = on.Top; y < on.Bottom; ++y, from += stride, to += stride) {
          if (y + Ahead < on.Bottom) {
            __builtin_prefetch(from + Ahead * stride, 0);
            __builtin_prefetch(to + Ahead * stride, 1);
          }
          for (int x = 0; x < width; ++x) to[x] = from[x] | 0xFF000000u;
        }
      };
      // A fixed width leaves the narrow strips no inner loop per row.
      switch (on.Width()) {
        case 1: rows(std::integral_constant<int, 1>{}); break;
        case 2: rows(std::integral_constant<int, 2>{}); break;
        default: rows(on.Width());
      }
      continue;
    }
    const TPixelBuffer part = surface.ReadPixels(on);
    for (int y = 0; y < part.Height(); ++y)
      std::copy(part.Row(y).begin(), part.Row(y).end(), r->Screen.Row(on.Top + y).begin() + on.Left);
  }
  ++r->PresentCount;
}

void TNullWindowBackend::SetCursor(TNativeWindow window, TCursor cursor) {
  if (TWindowRecord* r = Window(window)) r->Cursor = cursor;
}

void TNullWindowBackend::StartTimer(std::uintptr_t timer, unsigned milliseconds) {
  fTimers[timer] = {milliseconds, fNow + milliseconds};
}

void TNullWindowBackend::Inject(TNativeWindow window, const TNativeInput& input) {
  const TWindowRecord* r = Window(window);
  if (!r || !Sink()) return;
  if (input.Kind != TNativeInputKind::KeyDown && input.Kind != TNativeInputKind::KeyUp &&
      input.Kind != TNativeInputKind::Char)
    fCursor = {r->Bounds.Left + input.Pos.X, r->Bounds.Top + input.Pos.Y};
  Sink()->Input(window, input);
}

void TNullWindowBackend::UserResize(TNativeWindow window, int width, int height) {
  TWindowRecord* r = Window(window);
  if (!r) return;
  r->Bounds = Bounds(r->Bounds.Left, r->Bounds.Top, width, height);
  if (Sink()) Sink()->Resized(window, width, height);
}

void TNullWindowBackend::UserSizeEdge(TNativeWindow window, unsigned edge, TPoint to) {
  TWindowRecord* r = Window(window);
  if (!r || edge < WMSZ_LEFT || edge > WMSZ_BOTTOMRIGHT) return;
  // As a window manager drags a frame: an edge never passes the opposite one.
  TRect b = r->Bounds;
  if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) b.Left = std::min(to.X, b.Right);
  if (edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT) b.Right = std::max(to.X, b.Left);
  if (edge >= WMSZ_TOP && edge <= WMSZ_TOPRIGHT) b.Top = std::min(to.Y, b.Bottom);
  if (edge >= WMSZ_BOTTOM) b.Bottom = std::max(to.Y, b.Top);
  r->Bounds = b;
  if (Sink()) Sink()->UserSized(window, b);
}

void TNullWindowBackend::UserMove(TNativeWindow window, int x, int y) {
  TWindowRecord* r = Window(window);
  if (!r) return;
  r->Bounds = Bounds(x, y, r->Bounds.Width(), r->Bounds.Height());
  if (Sink()) Sink()->Moved(window, x, y);
}

void TNullWindowBackend::SwitchApplication(bool active) {
  if (active == fAppActive) return;
  fAppActive = active;
  if (!active) {
    fActiveBeforeSwitch = fActive;
    fActive = 0;
    if (Sink()) Sink()->ApplicationActiveChanged(false);
    return;
  }
  if (Sink()) Sink()->ApplicationActiveChanged(true);
  if (Window(fActiveBeforeSwitch)) ActivateWindow(fActiveBeforeSwitch);
}

void TNullWindowBackend::UserClose(TNativeWindow window) {
  if (Window(window) && Sink()) Sink()->CloseRequested(window);
}

void TNullWindowBackend::AdvanceTime(unsigned milliseconds) {
  const std::uint64_t until = fNow + milliseconds;
  for (;;) {
    auto next = fTimers.end();
    for (auto it = fTimers.begin(); it != fTimers.end(); ++it)
      if (it->second.Due <= until && (next == fTimers.end() || it->second.Due < next->second.Due)) next = it;
    if (next == fTimers.end()) break;
    fNow = next->second.Due;
    next->second.Due += std::max(next->second.Interval, 1u);
    if (Sink()) Sink()->TimerFired(next->first);
  }
  fNow = until;
}

const TNullWindowBackend::TWindowRecord* TNullWindowBackend::Window(TNativeWindow window) const {
  const auto it = fWindows.find(window);
  return it == fWindows.end() ? nullptr : &it->second;
}

TNullWindowBackend::TWindowRecord* TNullWindowBackend::Window(TNativeWindow window) {
  const auto it = fWindows.find(window);
  return it == fWindows.end() ? nullptr : &it->second;
}

std::unique_ptr<TWindowBackend> CreateNullWindowBackend() { return std::make_unique<TNullWindowBackend>(); }

TNullWindowBackend* ActiveNullWindowBackend() {
  return HasWindowBackend() ? dynamic_cast<TNullWindowBackend*>(&WindowBackend()) : nullptr;
}

}  // namespace zv
