#include "platform/graphics/detail/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <type_traits>
#include <vector>

namespace zv {

// Which pixels of a shape belong to one part (outline, interior, dash gaps); limited to the view.
class TRaster::TMask {
public:
  explicit TMask(const TRect& bounds) : fBounds(bounds) {
    if (!fBounds.IsEmpty())
      fBits.assign(static_cast<std::size_t>(fBounds.Width()) * static_cast<std::size_t>(fBounds.Height()), 0);
  }
  const TRect& Bounds() const { return fBounds; }
  bool Get(int x, int y) const {
    return PtInRect(fBounds, {x, y}) && fBits[Index(x, y)];
  }
  void Set(int x, int y) {
    if (PtInRect(fBounds, {x, y})) fBits[Index(x, y)] = 1;
  }
  void SetSpan(int y, int x0, int x1) {  // [x0, x1)
    if (y < fBounds.Top || y >= fBounds.Bottom) return;
    x0 = std::max(x0, fBounds.Left);
    x1 = std::min(x1, fBounds.Right);
    for (int x = x0; x < x1; ++x) fBits[Index(x, y)] = 1;
  }
  void Subtract(const TMask& other) {
    for (int y = fBounds.Top; y < fBounds.Bottom; ++y)
      for (int x = fBounds.Left; x < fBounds.Right; ++x)
        if (other.Get(x, y)) fBits[Index(x, y)] = 0;
  }

private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y - fBounds.Top) * static_cast<std::size_t>(fBounds.Width()) +
           static_cast<std::size_t>(x - fBounds.Left);
  }
  TRect fBounds;
  std::vector<std::uint8_t> fBits;
};

namespace {

std::span<const int> DashPattern(TPenStyle style) {
  static const int dash[] = {18, 6};
  static const int dot[] = {3, 3};
  static const int dashDot[] = {9, 6, 3, 6};
  static const int dashDotDot[] = {9, 3, 3, 3, 3, 3};
  static const int alternate[] = {1, 1};
  switch (style) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    case psAlternate: return alternate;
    default: return {};
  }
}

// True when the pixel at index i of a dashed line is drawn ("on").
bool DashOn(std::span<const int> pattern, long long i) {
  int period = 0;
  for (int n : pattern) period += n;
  long long k = i % period;
  for (std::size_t j = 0; j < pattern.size(); ++j) {
    if (k < pattern[j]) return j % 2 == 0;
    k -= pattern[j];
  }
  return true;
}

TRect ShapeBounds(std::span<const TPoint> pts, int grow) {
  long long l = pts[0].X, t = pts[0].Y, r = pts[0].X, b = pts[0].Y;
  for (const TPoint& p : pts) {
    l = std::min<long long>(l, p.X);
    t = std::min<long long>(t, p.Y);
    r = std::max<long long>(r, p.X);
    b = std::max<long long>(b, p.Y);
  }
  auto clampInt = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN / 2, INT32_MAX / 2)); };
  return {clampInt(l - grow), clampInt(t - grow), clampInt(r + grow + 1), clampInt(b + grow + 1)};
}

}  // namespace

bool HatchCovers(TBrushStyle style, int x, int y) {
  const int mx = x & 7, my = y & 7;
  switch (style) {
    case bsSolid: return true;
    case bsClear: return false;
    case bsHorizontal: return my == 0;
    case bsVertical: return mx == 0;
    case bsFDiagonal: return ((mx - my) & 7) == 0;
    case bsBDiagonal: return ((mx + my) & 7) == 7;
    case bsCross: return mx == 0 || my == 0;
    case bsDiagCross: return ((mx - my) & 7) == 0 || ((mx + my) & 7) == 7;
  }
  return false;
}

TRaster::TRaster(TPixelView view, const TRegion* clip) : fView(view), fClip(clip) {}

template <class F>
void TRaster::ForEachClipped(const TRect& r, F&& f) const {
  TRect inView;
  if (!IntersectRect(inView, r, {0, 0, fView.Width, fView.Height})) return;
  auto run = [&](const TRect& c) {
    for (int y = c.Top; y < c.Bottom; ++y)
      for (int x = c.Left; x < c.Right; ++x) f(x, y);
  };
  if (!fClip) {
    run(inView);
    return;
  }
  for (const TRect& cr : fClip->Rects()) {
    TRect c;
    if (IntersectRect(c, cr, inView)) run(c);
  }
}

namespace {
// Spans of one pixel value: the C library's wide-character fill is the vectorised one (a
// pixel and a wide character are both 32 bits here); a plain loop stores a pixel at a time.
void FillSpan(TPixel* p, int n, TPixel value) {
  if constexpr (sizeof(wchar_t) == sizeof(TPixel)) {
    wchar_t w;
    std::memcpy(&w, &value, sizeof w);
    std::wmemset(reinterpret_cast<wchar_t*>(p), w, static_cast<std::size_t>(n));
  } else {
    std::fill_n(p, n, value);
  }
}
}  // namespace

template <class F>
void TRaster::ForEachClippedRect(const TRect& r, F&& f) const {
  TRect inView;
  if (!IntersectRect(inView, r, {0, 0, fView.Width, fView.Height})) return;
  if (!fClip) {
    f(inView);
    return;
  }
  for (const TRect& cr : fClip->Rects()) {
    TRect c;
    if (IntersectRect(c, cr, inView)) f(c);
  }
}

void TRaster::FillRect(const TRect& r, const TRasterBrush& brush) {
  if (brush.Style == bsClear) return;
  if (brush.Style == bsSolid) {
    ForEachClippedRect(r, [&](const TRect& c) {
      for (int y = c.Top; y < c.Bottom; ++y) FillSpan(&At(c.Left, y), c.Width(), brush.Color);
    });
    return;
  }
  ForEachClipped(r, [&](int x, int y) {
    if (HatchCovers(brush.Style, x, y)) At(x, y) = brush.Color;
  });
}

// Grid lines and frames: one-pixel solid copy-mode pens along the axes are plain spans, drawn
// without the masks (copying twice where segments meet changes nothing).
bool TRaster::PlainLines(std::span<const TPoint> points, const TRasterPen& pen) {
  if (pen.Style != psSolid && pen.Style != psInsideFrame) return false;
  if (pen.Width > 1 || pen.Rop2 != R2_COPYPEN) return false;
  for (std::size_t i = 0; i + 1 < points.size(); ++i)
    if (points[i].X != points[i + 1].X && points[i].Y != points[i + 1].Y) return false;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const TPoint a = points[i], b = points[i + 1];
    if (a.X == b.X && a.Y == b.Y) continue;
    // The segment's own pixels: from a up to, not including, b.
    TRect span;
    if (a.Y == b.Y)
      span = a.X < b.X ? TRect{a.X, a.Y, b.X, a.Y + 1} : TRect{b.X + 1, a.Y, a.X + 1, a.Y + 1};
    else
      span = a.Y < b.Y ? TRect{a.X, a.Y, a.X + 1, b.Y} : TRect{a.X, b.Y + 1, a.X + 1, a.Y + 1};
    ForEachClippedRect(span, [&](const TRect& c) {
      if (c.Width() == 1) {  // a vertical line: one pixel a row, down the stride
        TPixel* p = &At(c.Left, c.Top);
        for (int y = c.Top; y < c.Bottom; ++y, p += fView.Stride) *p = pen.Color;
        return;
      }
      for (int y = c.Top; y < c.Bottom; ++y) FillSpan(&At(c.Left, y), c.Width(), pen.Color);
    });
  }
  return true;
}

// Tracking lines (XOR rulers, inverted splitters): one solid axis-aligned segment of a pen up to
// two pixels wide covers a plain rectangle, so any raster operation applies to it row by row. A
// single segment has no joint, so nothing is combined twice; wider pens have round stamps.
bool TRaster::SolidBar(std::span<const TPoint> points, const TRasterPen& pen) {
  constexpr int Ahead = 8;  // rows fetched ahead
  if (points.size() != 2 || (pen.Style != psSolid && pen.Style != psInsideFrame) || pen.Width > 2) return false;
  const TPoint a = points[0], b = points[1];
  if (a.X != b.X && a.Y != b.Y) return false;
  if (a.X == b.X && a.Y == b.Y) return true;
  const long long w = std::max(1, pen.Width);
  // The stamped steps from a up to, not including, b; each stamp reaches w - 1 right and down.
  long long l, t, r, btm;
  if (a.Y == b.Y) {
    l = a.X < b.X ? a.X : b.X + 1LL;
    r = (a.X < b.X ? b.X - 1LL : a.X) + w;
    t = a.Y;
    btm = a.Y + w;
  } else {
    t = a.Y < b.Y ? a.Y : b.Y + 1LL;
    btm = (a.Y < b.Y ? b.Y - 1LL : a.Y) + w;
    l = a.X;
    r = a.X + w;
  }
  auto clampInt = [](long long v) { return static_cast<int>(std::clamp<long long>(v, INT32_MIN / 2, INT32_MAX / 2)); };
  const TRect bar{clampInt(l), clampInt(t), clampInt(r), clampInt(btm)};
  // Each result bit depends on the pen's and the destination's bit alone, so the operation is
  // known from what it makes of an all-ones and an all-zero destination: bits that follow the
  // destination are kept, those that oppose it flipped, the rest set or cleared.
  const TPixel ones = Rop2(pen.Rop2, pen.Color, 0xFFFFFFFFu), zeros = Rop2(pen.Rop2, pen.Color, 0);
  const TPixel keep = (ones ^ zeros) & 0xFFFFFFu, flip = zeros | 0xFF000000u;
  ForEachClippedRect(bar, [&](const TRect& c) {
    // Vertical bars are one or two pixels wide: a fixed width leaves no inner loop per row.
    auto rows = [&](auto width) {
      TPixel* row = &At(c.Left, c.Top);
      for (int y = c.Top; y < c.Bottom; ++y, row += fView.Stride) {
        // Rows of a wide surface lie further apart than the hardware follows by itself.
        if (y + Ahead < c.Bottom) __builtin_prefetch(row + Ahead * fView.Stride, 1);
        for (int x = 0; x < width; ++x) row[x] = (row[x] & keep) ^ flip;
      }
    };
    switch (c.Width()) {
      case 1: rows(std::integral_constant<int, 1>{}); break;
      case 2: rows(std::integral_constant<int, 2>{}); break;
      default: rows(c.Width());
    }
  });
  return true;
}

void TRaster::StrokePath(std::span<const TPoint> pts, bool closed, const TRasterPen& pen, TMask& penMask,
                         TMask& gapMask) const {
  if (pen.Style == psClear || pts.size() < 2) return;
  const int w = std::max(1, pen.Width);
  const std::span<const int> pattern = w == 1 ? DashPattern(pen.Style) : std::span<const int>();
  // Offsets of the round stamp of a wide pen.
  std::vector<TPoint> stamp;
  const double c = (w - 1) / 2.0, r2 = (w / 2.0) * (w / 2.0) + 0.25;
  for (int oy = 0; oy < w; ++oy)
    for (int ox = 0; ox < w; ++ox)
      if (w <= 2 || (ox - c) * (ox - c) + (oy - c) * (oy - c) <= r2) stamp.push_back({ox - (w - 1) / 2, oy - (w - 1) / 2});

  const TRect& mb = penMask.Bounds();
  long long index = 0;
  const std::size_t segments = closed ? pts.size() : pts.size() - 1;
  for (std::size_t s = 0; s < segments; ++s) {
    const TPoint a = pts[s], b = pts[(s + 1) % pts.size()];
    const long long dx = static_cast<long long>(b.X) - a.X, dy = static_cast<long long>(b.Y) - a.Y;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0) continue;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    // Only the steps whose major coordinate can reach the mask are visited.
    const long long ax = a.X, ay = a.Y, ww = w;
    const long long lo = xMajor ? (sx > 0 ? mb.Left - ww - ax : ax - (mb.Right + ww))
                                : (sy > 0 ? mb.Top - ww - ay : ay - (mb.Bottom + ww));
    const long long hi = xMajor ? (sx > 0 ? mb.Right + ww - ax : ax - (mb.Left - ww))
                                : (sy > 0 ? mb.Bottom + ww - ay : ay - (mb.Top - ww));
    const long long first = std::max<long long>(0, lo), last = std::min<long long>(n, hi + 1);
    for (long long i = first; i < last; ++i) {
      long long x, y;
      if (xMajor) {
        x = a.X + sx * i;
        y = a.Y + sy * ((2 * i * ady + adx) / (2 * adx));
      } else {
        y = a.Y + sy * i;
        x = a.X + sx * ((2 * i * adx + ady) / (2 * ady));
      }
      const bool on = pattern.empty() || DashOn(pattern, index + i);
      TMask& target = on ? penMask : gapMask;
      if (!on && !pen.GapColor) continue;
      for (const TPoint& o : stamp) target.Set(static_cast<int>(x + o.X), static_cast<int>(y + o.Y));
    }
    index += n;
  }
}

void TRaster::Compose(const TMask& fill, const TMask& penMask, const TMask& gapMask, const TRasterPen& pen,
                      const TRasterBrush* brush) {
  TRect area;
  UnionRect(area, fill.Bounds(), penMask.Bounds());
  UnionRect(area, area, gapMask.Bounds());
  if (pen.Rop2 == R2_NOP) return;
  ForEachClipped(area, [&](int x, int y) {
    TPixel& d = At(x, y);
    if (penMask.Get(x, y))
      d = Rop2(pen.Rop2, pen.Color, d);
    else if (gapMask.Get(x, y))
      d = Rop2(pen.Rop2, *pen.GapColor, d);
    else if (brush && fill.Get(x, y) && HatchCovers(brush->Style, x, y))
      d = Rop2(pen.Rop2, brush->Color, d);
  });
}

void TRaster::Polyline(std::span<const TPoint> points, const TRasterPen& pen) {
  if (points.size() < 2) return;
  if (PlainLines(points, pen) || SolidBar(points, pen)) return;
  TRect bounds;
  IntersectRect(bounds, ShapeBounds(points, std::max(1, pen.Width)), {0, 0, fView.Width, fView.Height});
  TMask none(TRect{}), penMask(bounds), gapMask(bounds);
  StrokePath(points, false, pen, penMask, gapMask);
  Compose(none, penMask, gapMask, pen, nullptr);
}

void TRaster::Polygon(std::span<const TPoint> points, const TRasterPen& pen, const TRasterBrush& brush) {
  if (points.empty()) return;
  TRect bounds;
  IntersectRect(bounds, ShapeBounds(points, std::max(1, pen.Width)), {0, 0, fView.Width, fView.Height});
  TMask fill(bounds), penMask(bounds), gapMask(bounds);
  if (brush.Style != bsClear) {
    // Even-odd rule, sampled at pixel centres.
    std::vector<double> xs;
    for (int y = bounds.Top; y < bounds.Bottom; ++y) {
      const double yc = y + 0.5;
      xs.clear();
      for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint a = points[i], b = points[(i + 1) % points.size()];
        if (a.Y == b.Y) continue;
        const double y0 = std::min(a.Y, b.Y), y1 = std::max(a.Y, b.Y);
        if (yc < y0 || yc >= y1) continue;
        xs.push_back(a.X + (yc - a.Y) * (static_cast<double>(b.X) - a.X) / (static_cast<double>(b.Y) - a.Y));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        fill.SetSpan(y, static_cast<int>(std::ceil(xs[i] - 0.5)), static_cast<int>(std::ceil(xs[i + 1] - 0.5)));
    }
  }
  StrokePath(points, true, pen, penMask, gapMask);
  Compose(fill, penMask, gapMask, pen, &brush);
}

void TRaster::Rectangle(const TRect& r, const TRasterPen& pen, const TRasterBrush& brush) {
  if (r.IsEmpty()) return;
  const int w = std::max(1, pen.Width);
  TRect bounds, grown = r;
  InflateRect(grown, w, w);
  IntersectRect(bounds, grown, {0, 0, fView.Width, fView.Height});
  TMask fill(bounds), penMask(bounds), gapMask(bounds);
  const bool outlined = pen.Style != psClear;
  const TRect inner = outlined ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1} : r;
  // Rows outside the view are never visited: rectangles may be far larger than the surface.
  const int top = std::max(inner.Top, bounds.Top), bottom = std::min(inner.Bottom, bounds.Bottom);
  for (int y = top; y < bottom; ++y) fill.SetSpan(y, inner.Left, inner.Right);
  if (outlined) {
    const TPoint path[] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
    if (r.Width() == 1 || r.Height() == 1) {
      for (int y = std::max(r.Top, bounds.Top); y < std::min(r.Bottom, bounds.Bottom); ++y)
        penMask.SetSpan(y, r.Left, r.Right);
    } else {
      StrokePath(path, true, pen, penMask, gapMask);
    }
  }
  Compose(fill, penMask, gapMask, pen, &brush);
}

void TRaster::Ellipse(const TRect& r, const TRasterPen& pen, const TRasterBrush& brush) {
  if (r.IsEmpty()) return;
  TRect bounds;
  IntersectRect(bounds, r, {0, 0, fView.Width, fView.Height});
  TMask outer(bounds), fill(bounds), gapMask(TRect{});
  const double cx = (static_cast<double>(r.Left) + r.Right) / 2, cy = (static_cast<double>(r.Top) + r.Bottom) / 2;
  const double rx = r.Width() / 2.0, ry = r.Height() / 2.0;
  const int w = pen.Style == psClear ? 0 : std::max(1, pen.Width);
  auto spans = [&](TMask& m, double ex, double ey) {
    if (ex <= 0 || ey <= 0) return;
    for (int y = bounds.Top; y < bounds.Bottom; ++y) {
      const double t = (y + 0.5 - cy) / ey;
      if (t <= -1 || t >= 1) continue;
      const double dx = ex * std::sqrt(1 - t * t);
      m.SetSpan(y, static_cast<int>(std::ceil(cx - dx - 0.5)), static_cast<int>(std::ceil(cx + dx - 0.5)));
    }
  };
  spans(outer, rx, ry);
  spans(fill, rx - w, ry - w);
  outer.Subtract(fill);
  Compose(fill, outer, gapMask, pen.Style == psClear ? TRasterPen{pen.Color, 0, psClear, pen.Rop2, {}} : pen, &brush);
}

void TRaster::Blit(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop, TPixel pattern,
                   bool blendAlpha) {
  if (rop == SRCCOPY && !blendAlpha) {
    Copy(dst, src.Data().data(), src.Width(), src.Height(), src.Width(), srcPos);
    return;
  }
  const bool usesSource = RopUsesSource(rop);
  ForEachClipped(dst, [&](int x, int y) {
    const int sx = srcPos.X + (x - dst.Left), sy = srcPos.Y + (y - dst.Top);
    const bool inside = sx >= 0 && sy >= 0 && sx < src.Width() && sy < src.Height();
    TPixel& d = At(x, y);
    if (blendAlpha) {
      if (inside) d = BlendOver(src.At(sx, sy), d);
    } else if (rop == SRCCOPY) {
      d = inside ? (src.At(sx, sy) | 0xFF000000u) : 0xFF000000u;
    } else {
      const TPixel s = usesSource && inside ? src.At(sx, sy) : 0xFF000000u;
      d = Rop3(rop, pattern, s, d);
    }
  });
}

namespace {

// Pixels made opaque on the way, four at a time: a full-window copy per frame is worth the
// vector registers the compiler would not use here on its own.
void OpaqueCopy(TPixel* d, const TPixel* s, int n) {
  using TVec = std::uint32_t __attribute__((vector_size(16)));
  constexpr int Lanes = sizeof(TVec) / sizeof(TPixel);
  int x = 0;
  for (; x + Lanes <= n; x += Lanes) {
    TVec v;
    std::memcpy(&v, s + x, sizeof v);
    v |= 0xFF000000u;
    std::memcpy(d + x, &v, sizeof v);
  }
  for (; x < n; ++x) d[x] = s[x] | 0xFF000000u;
}

}  // namespace

void TRaster::Copy(const TRect& dst, const TPixel* src, int srcWidth, int srcHeight, std::ptrdiff_t srcStride,
                   TPoint srcPos) {
  // Off-screen buffers onto windows: a tight loop per row, no call per pixel.
  ForEachClippedRect(dst, [&](const TRect& c) {
    const long long dx = static_cast<long long>(srcPos.X) - dst.Left;
    // The columns of c whose source lies inside src; the rest reads as black.
    const int inLeft = static_cast<int>(std::clamp<long long>(-dx, c.Left, c.Right));
    const int inRight = static_cast<int>(std::clamp<long long>(srcWidth - dx, inLeft, c.Right));
    for (int y = c.Top; y < c.Bottom; ++y) {
      const long long sy = static_cast<long long>(srcPos.Y) + (y - dst.Top);
      TPixel* d = &At(0, y);
      if (sy < 0 || sy >= srcHeight) {
        std::fill(d + c.Left, d + c.Right, 0xFF000000u);
        continue;
      }
      std::fill(d + c.Left, d + inLeft, 0xFF000000u);
      const TPixel* s = src + sy * srcStride + dx;
      OpaqueCopy(d + inLeft, s + inLeft, inRight - inLeft);
      std::fill(d + inRight, d + c.Right, 0xFF000000u);
    }
  });
}

TPixelBuffer TRaster::Read(const TRect& r) const {
  TPixelBuffer out(std::max(0, r.Width()), std::max(0, r.Height()));
  TRect c;
  if (IntersectRect(c, r, {0, 0, fView.Width, fView.Height}))
    for (int y = c.Top; y < c.Bottom; ++y) {
      const std::span<TPixel> row = out.Row(y - r.Top);
      for (int x = c.Left; x < c.Right; ++x) row[static_cast<std::size_t>(x - r.Left)] = At(x, y) | 0xFF000000u;
    }
  return out;
}

TPixel TRaster::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= fView.Width || y >= fView.Height) return 0;
  return At(x, y) | 0xFF000000u;
}

}  // namespace zv
