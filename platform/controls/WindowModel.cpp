// The window model. Sections: geometry and visibility; invalidation; the frame (non-client
// area) and standard scroll bars; scrolling; window devices; default message handling.

#include "platform/controls/detail/Window.h"

#include "platform/controls/Application.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsBackend.h"

#include <algorithm>

namespace zv::detail {

namespace {

std::uint64_t gGeometrySerial = 1;
std::uint64_t gStamp = 0;

constexpr int kBarSize = 17;  // SM_CXVSCROLL / SM_CYHSCROLL
constexpr int kMinThumb = 8;

void Subtract(TRegion& from, const TRegion& what) {
  for (const TRect& r : what.Rects()) from.Subtract(r);
}

void Unite(TRegion& into, const TRegion& what) {
  for (const TRect& r : what.Rects()) into.Unite(r);
}

TRect Intersection(const TRect& a, const TRect& b) {
  TRect r;
  IntersectRect(r, a, b);
  return r;
}

}  // namespace

std::uint64_t GeometrySerial() { return gGeometrySerial; }
void GeometryChanged() { ++gGeometrySerial; }

// --- Geometry and visibility ---------------------------------------------------------------------

TWindow::TWindow(TWinControl& control, const TCreateParams& params)
    : Control(control),
      Handle(Manager().Register(&control)),
      Style(params.Style),
      ExStyle(params.ExStyle),
      ClassStyle(params.WindowClassStyle),
      ClientInWindow{0, 0, control.Width(), control.Height()} {
  Bars[SB_HORZ].Shown = (Style & WS_HSCROLL) != 0;
  Bars[SB_VERT].Shown = (Style & WS_VSCROLL) != 0;
  if (!IsTopLevel()) return;
  try {
    Surface = GraphicsBackend().CreateSurface(control.Width(), control.Height());
    TNativeWindowParams native;
    native.Bounds = control.BoundsRect();
    native.Caption = params.Caption;
    // WS_BORDER is one of WS_CAPTION's two bits: only both make a caption.
    native.Popup = (Style & WS_CAPTION) != WS_CAPTION;
    InputTransparent = (ExStyle & WS_EX_TRANSPARENT) != 0;
    native.TransparentForInput = InputTransparent;
    control.NativeWindowParams(native);
    Owner = params.WndParent;
    NoActivate = native.Popup || !native.ActivateOnShow || (ExStyle & WS_EX_NOACTIVATE) != 0;
    Band = (native.Popup ? 2 : 0) + (native.StayOnTop || (ExStyle & WS_EX_TOPMOST) ? 1 : 0);
    Native = WindowBackend().CreateWindow(native);
  } catch (...) {
    Manager().Unregister(*this);
    throw;
  }
}

TWindow::~TWindow() {
  DetachDevices();
  if (Native) {
    try {
      WindowBackend().DestroyWindow(Native);
    } catch (...) {  // no backend any more: nothing to destroy
    }
  }
  Manager().Unregister(*this);
}

TWindow& TWindow::TopLevel() {
  TWindow* w = this;
  while (TWindow* p = w->ParentWindow()) w = p;
  return *w;
}

TWindow* TWindow::ParentWindow() const {
  TWinControl* parent = Control.Parent();
  return parent ? parent->fWindow.get() : nullptr;
}

TPoint TWindow::SurfaceOrigin() const {
  const TWindow* parent = ParentWindow();
  if (!parent) return {0, 0};
  const TPoint o = parent->ClientSurfaceOrigin();
  return {CheckedAdd(o.X, Control.Left()), CheckedAdd(o.Y, Control.Top())};
}

TPoint TWindow::ClientSurfaceOrigin() const {
  const TPoint o = SurfaceOrigin();
  return {CheckedAdd(o.X, ClientInWindow.Left), CheckedAdd(o.Y, ClientInWindow.Top)};
}

TRect TWindow::SurfaceRect() const { return Bounds(SurfaceOrigin().X, SurfaceOrigin().Y, Width(), Height()); }

TRect TWindow::ClientSurfaceRect() const {
  const TPoint o = ClientSurfaceOrigin();
  return Bounds(o.X, o.Y, ClientInWindow.Width(), ClientInWindow.Height());
}

TRegion TWindow::SurfaceArea() const {
  const TRect r = SurfaceRect();
  TRegion area(r);
  if (Shape) {
    TRegion shape = *Shape;
    shape.Offset(r.Left, r.Top);
    area.Intersect(shape);
  }
  return area;
}

bool TWindow::InShape(TPoint p) const {
  if (!Shape) return true;
  const TPoint o = SurfaceOrigin();
  return Shape->Contains({p.X - o.X, p.Y - o.Y});
}

const TRegion& TWindow::VisibleRegion(bool clientOnly) {
  const int k = clientOnly ? 1 : 0;
  if (fVisibleSerial[k] == gGeometrySerial) return fVisible[k];
  fVisibleSerial[k] = gGeometrySerial;
  TRegion& region = fVisible[k];
  region = TRegion();
  if (!Visible()) return region;
  region = SurfaceArea();
  if (clientOnly) region.Intersect(ClientSurfaceRect());
  const TWindow* w = this;
  while (const TWindow* parent = w->ParentWindow()) {
    region.Intersect(parent->ClientSurfaceRect());
    if (parent->Shape) region.Intersect(parent->SurfaceArea());
    const auto& siblings = parent->Control.fControls;
    auto it = std::find(siblings.begin(), siblings.end(), &w->Control);
    for (++it; it != siblings.end(); ++it)
      if (auto* s = dynamic_cast<TWinControl*>(*it); s && s->fWindow && s->Showing())
        Subtract(region, s->fWindow->SurfaceArea());
    w = parent;
  }
  if (const TPaintDevice* surface = w->Surface.get()) region.Intersect(TRect{0, 0, surface->Width(), surface->Height()});
  for (TControl* c : Control.fControls)
    if (auto* child = dynamic_cast<TWinControl*>(c); child && child->fWindow && child->Showing())
      Subtract(region, child->fWindow->SurfaceArea());
  return region;
}

// --- Invalidation ----------------------------------------------------------------------------------

void TWindow::Invalidate(const TRect* r, bool erase) {
  const TRect client = ClientRect();
  const TRect area = r ? Intersection(*r, client) : client;
  if (area.IsEmpty()) return;
  Update.Unite(area);
  Erase = Erase || erase;
  ++UpdateSerial;
  Manager().PaintRequested();
}

void TWindow::InvalidateFrame() {
  FrameInvalid = true;
  Manager().PaintRequested();
}

void TWindow::InvalidateFramePart(const TRect& r) {
  if (FrameInvalid || r.IsEmpty()) return;
  FrameUpdate.Unite(r);
  Manager().PaintRequested();
}

void TWindow::InvalidateAll(bool children) {
  InvalidateFrame();
  Invalidate(nullptr, true);
  if (!children) return;
  for (TControl* c : Control.fControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->fWindow) w->fWindow->InvalidateAll(true);
}

void TWindow::MarkDirty(const TRegion& surfaceRegion) { Unite(TopLevel().Dirty, surfaceRegion); }

void TWindow::MarkDirty(const TRect& surfaceRect) {
  if (!surfaceRect.IsEmpty()) TopLevel().Dirty.Unite(surfaceRect);
}

void TWindow::RemoveDevice(TWindowDevice* device) { std::erase(fDevices, device); }

void TWindow::DetachDevices() {
  for (TWindowDevice* d : fDevices) d->Detach();
  fDevices.clear();
}

// --- The frame and the standard scroll bars ----------------------------------------------------------

void TWindow::RecalcFrame(bool sendSize) {
  const TRect bounds = Control.BoundsRect();
  TNCCalcSizeParams params;
  params.rgrc[0] = params.rgrc[1] = bounds;
  Control.Perform(WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&params));
  TRect client = params.rgrc[0];
  OffsetRect(client, -bounds.Left, -bounds.Top);
  client.Left = std::clamp(client.Left, 0, Width());
  client.Top = std::clamp(client.Top, 0, Height());
  client.Right = std::clamp(client.Right, client.Left, Width());
  client.Bottom = std::clamp(client.Bottom, client.Top, Height());
  const bool sized = client.Width() != ClientInWindow.Width() || client.Height() != ClientInWindow.Height();
  if (client != ClientInWindow) {
    ClientInWindow = client;
    Update.Intersect(ClientRect());
    GeometryChanged();
    Invalidate(nullptr, true);
  }
  InvalidateFrame();
  if (sized && sendSize)
    Control.Perform(WM_SIZE, SIZE_RESTORED,
                    MakeLParam(static_cast<Word>(std::min(client.Width(), 0xFFFF)),
                               static_cast<Word>(std::min(client.Height(), 0xFFFF))));
}

TRect TWindow::FrameInner() const {
  TRect r{0, 0, Width(), Height()};
  if (Style & WS_BORDER) InflateRect(r, -1, -1);
  if (ExStyle & WS_EX_CLIENTEDGE) InflateRect(r, -2, -2);
  return r;
}

TRect TWindow::BarRect(int bar) const {
  if (bar != SB_HORZ && bar != SB_VERT) return {};
  if (!Bars[bar].Shown) return {};
  const TRect in = FrameInner();
  const int vert = Bars[SB_VERT].Shown ? kBarSize : 0;
  const int horz = Bars[SB_HORZ].Shown ? kBarSize : 0;
  TRect r = bar == SB_VERT ? TRect{in.Right - kBarSize, in.Top, in.Right, in.Bottom - horz}
                           : TRect{in.Left, in.Bottom - kBarSize, in.Right - vert, in.Bottom};
  return r.IsEmpty() ? TRect{} : r;
}

namespace {
struct TBarGeometry {
  int Start = 0;    // track start along the bar
  int Length = 0;   // track length
  int Arrow = 0;
  int Thumb = 0;    // thumb length, 0 when there is none
  std::int64_t Span = 0;  // positions the thumb can take - 1
};

TBarGeometry Geometry(const TScrollBarState& b, const TRect& r, bool vertical) {
  TBarGeometry g;
  const int length = vertical ? r.Height() : r.Width();
  g.Arrow = std::min(kBarSize, length / 2);
  g.Start = (vertical ? r.Top : r.Left) + g.Arrow;
  g.Length = length - 2 * g.Arrow;
  const std::int64_t range = static_cast<std::int64_t>(b.Max) - b.Min + 1;
  if (b.Disabled || range <= 0 || (b.Page > 0 && b.Page >= range)) return g;
  const int thumb = b.Page > 0 ? static_cast<int>(std::max<std::int64_t>(g.Length * static_cast<std::int64_t>(b.Page) / range, kMinThumb))
                               : kBarSize;
  if (thumb > g.Length) return g;
  g.Thumb = thumb;
  g.Span = range - 1 - std::max<std::int64_t>(static_cast<std::int64_t>(b.Page) - 1, 0);
  return g;
}
}  // namespace

TRect TWindow::ThumbRect(int bar) const {
  const TRect r = BarRect(bar);
  if (r.IsEmpty()) return {};
  const TScrollBarState& b = Bars[bar];
  const TBarGeometry g = Geometry(b, r, bar == SB_VERT);
  if (g.Thumb == 0) return {};
  const int pos = b.Tracking ? b.TrackPos : b.Pos;
  const std::int64_t offset = g.Span > 0 ? (g.Length - g.Thumb) * (static_cast<std::int64_t>(pos) - b.Min) / g.Span : 0;
  const int start = g.Start + static_cast<int>(std::clamp<std::int64_t>(offset, 0, g.Length - g.Thumb));
  return bar == SB_VERT ? TRect{r.Left, start, r.Right, start + g.Thumb} : TRect{start, r.Top, start + g.Thumb, r.Bottom};
}

int TWindow::PosFromThumb(int bar, int offset) const {
  const TScrollBarState& b = Bars[bar];
  const TBarGeometry g = Geometry(b, BarRect(bar), bar == SB_VERT);
  if (g.Thumb == 0 || g.Length <= g.Thumb) return b.Min;
  const std::int64_t along = std::clamp<std::int64_t>(offset - g.Start, 0, g.Length - g.Thumb);
  const std::int64_t span = g.Length - g.Thumb;
  return static_cast<int>(b.Min + (along * g.Span + span / 2) / span);
}

TBarPart TWindow::BarPartAt(int bar, TPoint p) const {
  const TRect r = BarRect(bar);
  if (!PtInRect(r, p)) return TBarPart::None;
  const bool vertical = bar == SB_VERT;
  const TBarGeometry g = Geometry(Bars[bar], r, vertical);
  const int along = vertical ? p.Y : p.X;
  if (along < g.Start) return TBarPart::LineUp;
  if (along >= g.Start + g.Length) return TBarPart::LineDown;
  const TRect thumb = ThumbRect(bar);
  if (thumb.IsEmpty()) return TBarPart::None;
  if (PtInRect(thumb, p)) return TBarPart::Thumb;
  return along < (vertical ? thumb.Top : thumb.Left) ? TBarPart::PageUp : TBarPart::PageDown;
}

void TWindow::SetBarShown(int bar, bool shown) {
  if (Bars[bar].Shown == shown) return;
  Bars[bar].Shown = shown;
  if (shown)
    Style |= bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  else
    Style &= ~(bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL);
  RecalcFrame(true);
}

void TWindow::PaintDefaultFrame(TPaintDevice& dc, const TRegion* area) {
  auto wanted = [area](const TRect& part) {
    if (!area) return true;
    TRegion touched(part);
    touched.Intersect(*area);
    return !touched.IsEmpty();
  };
  if (!area) {
    TRect r{0, 0, Width(), Height()};
    if (Style & WS_BORDER) {
      dc.FrameRect(r, {ColorToRGB(clWindowFrame), bsSolid});
      InflateRect(r, -1, -1);
    }
    if (ExStyle & WS_EX_CLIENTEDGE) dc.DrawEdge(r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  for (int bar : {SB_HORZ, SB_VERT}) {
    const TRect b = BarRect(bar);
    if (b.IsEmpty() || !wanted(b)) continue;
    const bool vertical = bar == SB_VERT;
    const TScrollBarState& s = Bars[bar];
    const TBarGeometry g = Geometry(s, b, vertical);
    const unsigned inactive = g.Thumb == 0 ? DFCS_INACTIVE : 0;
    TRect up = vertical ? TRect{b.Left, b.Top, b.Right, b.Top + g.Arrow} : TRect{b.Left, b.Top, b.Left + g.Arrow, b.Bottom};
    TRect down = vertical ? TRect{b.Left, b.Bottom - g.Arrow, b.Right, b.Bottom}
                          : TRect{b.Right - g.Arrow, b.Top, b.Right, b.Bottom};
    if (wanted(up)) dc.DrawFrameControl(up, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | inactive);
    if (wanted(down)) dc.DrawFrameControl(down, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | inactive);
    const TRect track = vertical ? TRect{b.Left, g.Start, b.Right, g.Start + g.Length}
                                 : TRect{g.Start, b.Top, g.Start + g.Length, b.Bottom};
    if (!wanted(track)) continue;
    if (area) {
      // Only where the thumb was and where it is now.
      TRegion part(track);
      part.Intersect(*area);
      for (const TRect& p : part.Rects()) dc.FillRect(p, {ColorToRGB(clScrollBar), bsSolid});
    } else {
      dc.FillRect(track, {ColorToRGB(clScrollBar), bsSolid});
    }
    TRect thumb = ThumbRect(bar);
    if (!thumb.IsEmpty()) dc.DrawEdge(thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
  if (Bars[SB_HORZ].Shown && Bars[SB_VERT].Shown) {
    const TRect v = BarRect(SB_VERT), h = BarRect(SB_HORZ);
    const TRect corner{v.Left, h.Top, v.Right, h.Bottom};
    if (wanted(corner)) dc.FillRect(corner, {ColorToRGB(clBtnFace), bsSolid});
  }
}

// --- Scrolling ---------------------------------------------------------------------------------------

int TWindow::Scroll(int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update, TRect* updateRect,
                    unsigned flags) {
  const TRect client = ClientRect();
  const TRect s = scroll ? Intersection(*scroll, client) : client;
  const TRect c = clip ? Intersection(*clip, client) : client;
  const TPoint o = ClientSurfaceOrigin();
  TRegion visible = VisibleRegion(true);
  visible.Offset(-o.X, -o.Y);

  // Pixels move only from where they are valid: visible and not waiting for a repaint.
  TRegion dest(s);
  dest.Intersect(visible);
  Subtract(dest, Update);
  dest.Offset(dx, dy);
  dest.Intersect(c);
  dest.Intersect(visible);

  // A pending update region moves with the pixels.
  if (!Update.IsEmpty()) {
    TRegion inside = Update;
    inside.Intersect(s);
    if (!inside.IsEmpty()) {
      Update.Subtract(s);
      inside.Offset(dx, dy);
      inside.Intersect(c);
      Unite(Update, inside);
      ++UpdateSerial;
    }
  }

  if (!dest.IsEmpty() && (dx != 0 || dy != 0)) {
    TWindow& top = TopLevel();
    TPaintDevice* surface = top.Surface.get();
    TRegion target = dest;
    target.Offset(o.X, o.Y);
    surface->SelectClipRegion(&target);
    top.ClipOwner = nullptr;
    const TRect b = target.Bounds();
    surface->BitBlt(b, surface, {b.Left - dx, b.Top - dy}, SRCCOPY, 0);
    surface->SelectClipRegion(nullptr);
    MarkDirty(target);
  }

  TRegion exposed(Intersection(s, c));
  exposed.Intersect(visible);
  Subtract(exposed, dest);
  if ((flags & SW_INVALIDATE) && !exposed.IsEmpty()) {
    for (const TRect& r : exposed.Rects()) Invalidate(&r, (flags & SW_ERASE) != 0);
  }
  if (update) *update = exposed;
  if (updateRect) *updateRect = exposed.IsEmpty() ? TRect{} : exposed.Bounds();

  if (flags & SW_SCROLLCHILDREN) {
    for (TControl* child : std::vector<TControl*>(Control.fControls)) {
      auto* w = dynamic_cast<TWinControl*>(child);
      if (!w || !w->fWindow) continue;
      TRect overlap;
      if (scroll && !IntersectRect(overlap, *scroll, w->BoundsRect())) continue;
      w->SetBounds(w->Left() + dx, w->Top() + dy, w->Width(), w->Height());
    }
  }
  return exposed.Complexity();
}

// --- Window devices ----------------------------------------------------------------------------------

TWindowDevice::TWindowDevice(TWindow& window, bool clientArea) : fWindow(&window), fClientArea(clientArea) {
  window.AddDevice(this);
}

TWindowDevice::~TWindowDevice() {
  if (fWindow) fWindow->RemoveDevice(this);
}

int TWindowDevice::Width() const {
  if (!fWindow) return 0;
  return fClientArea ? fWindow->ClientInWindow.Width() : fWindow->Width();
}

int TWindowDevice::Height() const {
  if (!fWindow) return 0;
  return fClientArea ? fWindow->ClientInWindow.Height() : fWindow->Height();
}

TPoint TWindowDevice::Offset() const {
  return fClientArea ? fWindow->ClientSurfaceOrigin() : fWindow->SurfaceOrigin();
}

TRect TWindowDevice::Out(TRect r) const {
  const TPoint o = Offset();
  OffsetRect(r, o.X, o.Y);
  return r;
}

TPoint TWindowDevice::Out(TPoint p) const {
  const TPoint o = Offset();
  return {CheckedAdd(p.X, o.X), CheckedAdd(p.Y, o.Y)};
}

TPaintDevice* TWindowDevice::Target() {
  if (!fWindow) return nullptr;
  TWindow& top = fWindow->TopLevel();
  TPaintDevice* surface = top.Surface.get();
  if (!surface) return nullptr;
  if (fClipDirty || fBuiltFor != GeometrySerial()) {
    fClip = fWindow->VisibleRegion(fClientArea);
    if (const TRegion* own = ClipRegion()) {
      TRegion mine = *own;
      const TPoint o = Offset();
      mine.Offset(o.X, o.Y);
      fClip.Intersect(mine);
    }
    fBuiltFor = GeometrySerial();
    fClipDirty = false;
    fStamp = ++gStamp;
    fDirtySerial = 0;
  }
  if (fClip.IsEmpty()) return nullptr;
  if (top.ClipOwner != this || top.ClipStamp != fStamp) {
    surface->SelectClipRegion(&fClip);
    top.ClipOwner = this;
    top.ClipStamp = fStamp;
  }
  if (fDirtySerial != top.PresentSerial) {
    fWindow->MarkDirty(fClip);
    fDirtySerial = top.PresentSerial;
  }
  return surface;
}

TPaintDevice* TWindowDevice::Measure() {
  if (fWindow) return fWindow->TopLevel().Surface.get();
  if (!fMeasure) fMeasure = GraphicsBackend().CreateSurface(1, 1);
  return fMeasure.get();
}

void TWindowDevice::FillRect(const TRect& r, const TBrushData& brush) {
  if (TPaintDevice* t = Target()) t->FillRect(Out(r), brush);
}

void TWindowDevice::Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) {
  TPaintDevice* t = Target();
  if (!t) return;
  std::vector<TPoint> moved;
  moved.reserve(points.size());
  for (TPoint p : points) moved.push_back(Out(p));
  t->Polyline(moved, pen, background);
}

void TWindowDevice::Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush,
                            TColor background) {
  TPaintDevice* t = Target();
  if (!t) return;
  std::vector<TPoint> moved;
  moved.reserve(points.size());
  for (TPoint p : points) moved.push_back(Out(p));
  t->Polygon(moved, pen, brush, background);
}

void TWindowDevice::Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) {
  if (TPaintDevice* t = Target()) t->Rectangle(Out(r), pen, brush, background);
}

void TWindowDevice::Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) {
  if (TPaintDevice* t = Target()) t->Ellipse(Out(r), pen, brush);
}

void TWindowDevice::TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color,
                            TColor background) {
  if (TPaintDevice* t = Target()) {
    const TPoint p = Out(TPoint{x, y});
    t->TextOut(p.X, p.Y, text, font, color, background);
  }
}

TFontMetrics TWindowDevice::FontMetrics(const TFontData& font) { return Measure()->FontMetrics(font); }

int TWindowDevice::TextWidth(const TFontData& font, std::string_view text) { return Measure()->TextWidth(font, text); }

TPixelBuffer TWindowDevice::ReadPixels(const TRect& r) {
  if (!fWindow || !fWindow->TopLevel().Surface) return TPixelBuffer(std::max(r.Width(), 0), std::max(r.Height(), 0));
  return fWindow->TopLevel().Surface->ReadPixels(Out(r));
}

void TWindowDevice::WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop,
                                TColor pattern, bool blendAlpha) {
  if (TPaintDevice* t = Target()) t->WritePixels(Out(dst), src, srcPos, rop, pattern, blendAlpha);
}

TColor TWindowDevice::GetPixel(int x, int y) {
  if (!fWindow || x < 0 || y < 0 || x >= Width() || y >= Height()) return CLR_INVALID;
  const TPoint p = Out(TPoint{x, y});
  return fWindow->TopLevel().Surface->GetPixel(p.X, p.Y);
}

void TWindowDevice::SetPixel(int x, int y, TColor color) {
  if (TPaintDevice* t = Target()) {
    const TPoint p = Out(TPoint{x, y});
    t->SetPixel(p.X, p.Y, color);
  }
}

void TWindowDevice::FrameRect(const TRect& r, const TBrushData& brush) {
  if (TPaintDevice* t = Target()) t->FrameRect(Out(r), brush);
}

void TWindowDevice::TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                             TColor background) {
  if (TPaintDevice* t = Target()) {
    const TPoint p = Out(TPoint{x, y});
    t->TextRect(Out(r), p.X, p.Y, text, font, color, background);
  }
}

int TWindowDevice::DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
                            TColor background) {
  TPaintDevice* t = (format & DT_CALCRECT) ? nullptr : Target();
  // Measuring, or nothing visible: the layout still answers (and draws nothing).
  if (!t) return TPaintDevice::DrawText(text, r, format, font, color, background);
  TRect out = Out(r);
  const int height = t->DrawText(text, out, format, font, color, background);
  const TPoint o = Offset();
  OffsetRect(out, -o.X, -o.Y);
  r = out;
  return height;
}

bool TWindowDevice::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
  TPaintDevice* t = Target();
  if (!t) return TPaintDevice::DrawEdge(r, edge, flags);
  TRect out = Out(r);
  const bool ok = t->DrawEdge(out, edge, flags);
  const TPoint o = Offset();
  OffsetRect(out, -o.X, -o.Y);
  r = out;
  return ok;
}

bool TWindowDevice::DrawFrameControl(TRect& r, unsigned type, unsigned state) {
  TPaintDevice* t = Target();
  if (!t) return TPaintDevice::DrawFrameControl(r, type, state);
  TRect out = Out(r);
  const bool ok = t->DrawFrameControl(out, type, state);
  const TPoint o = Offset();
  OffsetRect(out, -o.X, -o.Y);
  r = out;
  return ok;
}

void TWindowDevice::DrawFocusRect(const TRect& r) {
  if (TPaintDevice* t = Target()) t->DrawFocusRect(Out(r));
}

void TWindowDevice::InvertRect(const TRect& r) {
  if (TPaintDevice* t = Target()) t->InvertRect(Out(r));
}

void TWindowDevice::BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) {
  TPaintDevice* t = Target();
  if (!t) return;
  if (auto* w = dynamic_cast<TWindowDevice*>(src)) {
    if (!w->fWindow) return;
    srcPos = w->Out(srcPos);
    src = w->fWindow->TopLevel().Surface.get();
  }
  t->BitBlt(Out(dst), src, srcPos, rop, pattern);
}

void TWindowDevice::StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop,
                               TColor pattern) {
  TPaintDevice* t = Target();
  if (!t) return;
  if (auto* w = dynamic_cast<TWindowDevice*>(&src)) {
    if (!w->fWindow) return;
    t->StretchBlt(Out(dst), *w->fWindow->TopLevel().Surface, w->Out(srcRect), rop, pattern);
    return;
  }
  t->StretchBlt(Out(dst), src, srcRect, rop, pattern);
}

void TWindowDevice::DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect) {
  if (TPaintDevice* t = Target()) t->DrawImage(Out(dst), image, srcRect);
}

// --- Default message handling -------------------------------------------------------------------------

bool BeginPaint(TWindow& window, TPaintStruct& ps) {
  TRegion region = window.Update;
  region.Intersect(window.ClientRect());
  ps.rcPaint = region.IsEmpty() ? TRect{} : region.Bounds();
  window.Update = TRegion();
  ++window.UpdateSerial;
  const bool erase = window.Erase;
  window.Erase = false;
  auto dc = std::make_unique<TWindowDevice>(window, true);
  dc->SelectClipRegion(&region);
  ps.fErase = false;
  if (erase) ps.fErase = SendMessage(window.Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0) == 0;
  ps.hdc = std::move(dc);
  return true;
}

void DefWindowProc(TWindow& window, TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      if (m.WParam == 0) {
        TPaintStruct ps;
        BeginPaint(window, ps);
      }
      m.Result = 0;
      break;
    case WM_ERASEBKGND:
      m.Result = 0;
      break;
    case WM_NCCALCSIZE: {
      auto* params = reinterpret_cast<TNCCalcSizeParams*>(m.LParam);
      if (!params) break;
      TRect& r = params->rgrc[0];
      if (window.Style & WS_BORDER) InflateRect(r, -1, -1);
      if (window.ExStyle & WS_EX_CLIENTEDGE) InflateRect(r, -2, -2);
      if (window.Bars[SB_VERT].Shown) r.Right -= kBarSize;
      if (window.Bars[SB_HORZ].Shown) r.Bottom -= kBarSize;
      r.Right = std::max(r.Right, r.Left);
      r.Bottom = std::max(r.Bottom, r.Top);
      m.Result = 0;
      break;
    }
    case WM_NCPAINT: {
      // WParam 1 asks for the whole frame; anything else is the TRegion (window coordinates)
      // that a moved thumb left to paint.
      TWindowDevice dc(window, false);
      dc.ExcludeClipRect(window.ClientInWindow);
      window.PaintDefaultFrame(dc, m.WParam > 1 ? reinterpret_cast<const TRegion*>(m.WParam) : nullptr);
      m.Result = 0;
      break;
    }
    case WM_SETCURSOR: {
      // The parent may choose first; the class cursor otherwise.
      if (TWindow* parent = window.ParentWindow())
        if (SendMessage(parent->Handle, WM_SETCURSOR, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          break;
        }
      // The class cursor is the arrow, and so is every part of the frame but its sizing edges.
      const int hit = static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(m.LParam)));
      if (hit != HTERROR) {
        static constexpr TCursor kEdges[] = {crSizeWE,   crSizeWE,   crSizeNS,   crSizeNWSE,
                                             crSizeNESW, crSizeNS,   crSizeNESW, crSizeNWSE};
        SetCursor(hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? kEdges[hit - HTLEFT] : crArrow);
        m.Result = 1;
      }
      break;
    }
    case WM_NCLBUTTONDOWN:
      Manager().NonClientPress(window, static_cast<int>(m.WParam));
      m.Result = 0;
      break;
    case WM_NCHITTEST: {
      const TPoint screen = LParamToPoint(m.LParam);
      const TWindow& top = window.TopLevel();
      const TPoint o = window.SurfaceOrigin();
      const TPoint surface{screen.X - top.Control.Left(), screen.Y - top.Control.Top()};
      const TPoint p{surface.X - o.X, surface.Y - o.Y};
      if (!PtInRect(TRect{0, 0, window.Width(), window.Height()}, p) || !window.InShape(surface))
        m.Result = HTNOWHERE;
      else if (PtInRect(window.ClientInWindow, p))
        m.Result = HTCLIENT;
      else if (PtInRect(window.BarRect(SB_VERT), p))
        m.Result = HTVSCROLL;
      else if (PtInRect(window.BarRect(SB_HORZ), p))
        m.Result = HTHSCROLL;
      else
        m.Result = HTBORDER;
      break;
    }
    case WM_CANCELMODE:
      if (GetCapture() == window.Handle) ReleaseCapture();
      break;
    // The keyboard's ways to the context menu: Shift+F10, and the menu key once released. The
    // position (-1, -1) tells the control that no mouse is involved.
    case WM_SYSKEYDOWN:
      if (m.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)
        m.Result = SendMessage(window.Handle, WM_CONTEXTMENU, static_cast<WPARAM>(window.Handle), PointToLParam({-1, -1}));
      break;
    case WM_KEYUP:
      if (m.WParam == VK_APPS)
        m.Result = SendMessage(window.Handle, WM_CONTEXTMENU, static_cast<WPARAM>(window.Handle), PointToLParam({-1, -1}));
      break;
    case WM_CLOSE:
      if (window.IsTopLevel()) {
        window.Control.Hide();
        if (Application->MainControl() == &window.Control) Application->Terminate();
      }
      break;
    default:
      break;
  }
}

}  // namespace zv::detail
