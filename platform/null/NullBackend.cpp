#include "platform/null/NullBackend.h"

#include "platform/graphics/detail/Raster.h"
#include "platform/graphics/TextBreak.h"

#include <algorithm>

namespace zv {

// ---------------------------------------------------------------------------------------------
// Metrics

namespace {

int EmHeight(const TFontData& font) {
  const int h = font.Height == 0 ? DefaultFontHeight : font.Height;
  if (h < 0) return std::max(1, h == INT32_MIN ? INT32_MAX : -h);
  return std::max(1, h - h / 6);
}

int CharWidth(const TFontData& font) { return (EmHeight(font) + 1) / 2 + (font.Style.Contains(fsBold) ? 1 : 0); }

bool IsBlank(std::string_view cluster) {
  const char32_t c = FirstCodePoint(cluster);
  return c == U' ' || c == U'\t' || c == 0xA0 || c == 0x3000 || c == U'\r' || c == U'\n';
}

// Calls f(offset, advance, cluster) for every grapheme cluster.
template <class F>
void ForEachCluster(const TFontData& font, std::string_view text, F&& f) {
  const int w = CharWidth(font);
  const std::vector<int> b = GraphemeBoundaries(text);
  int x = 0;
  for (std::size_t i = 0; i + 1 < b.size(); ++i) {
    const std::string_view cluster = text.substr(b[i], b[i + 1] - b[i]);
    const int advance = IsWideCodePoint(FirstCodePoint(cluster)) ? 2 * w : w;
    f(x, advance, cluster);
    x = CheckedAdd(x, advance);
  }
}

}  // namespace

TFontMetrics NullFontMetrics(const TFontData& font) {
  const int e = EmHeight(font);
  TFontMetrics m;
  m.Height = font.Height > 0 ? font.Height : CheckedAdd(e, e / 5);
  m.InternalLeading = m.Height - e;
  m.Descent = e / 4;
  m.Ascent = m.Height - m.Descent;
  m.ExternalLeading = 0;
  m.AveCharWidth = CharWidth(font);
  m.MaxCharWidth = 2 * m.AveCharWidth;
  return m;
}

int NullTextWidth(const TFontData& font, std::string_view text) {
  int width = 0;
  ForEachCluster(font, text, [&](int x, int advance, std::string_view) { width = CheckedAdd(x, advance); });
  return width;
}

// ---------------------------------------------------------------------------------------------
// Recording

const char* PaintOpName(TPaintOpKind kind) {
  static const char* const names[] = {"FillRect", "Polyline", "Polygon", "Rectangle", "Ellipse", "TextOut",
                                      "WritePixels", "SetPixel", "FrameRect", "TextRect", "DrawText", "DrawEdge",
                                      "DrawFrameControl", "DrawFocusRect", "InvertRect", "BitBlt", "StretchBlt",
                                      "DrawImage"};
  return names[static_cast<int>(kind)];
}

class TNullSurface::TNest {
public:
  explicit TNest(int& depth) : fDepth(depth) { ++fDepth; }
  TNest(const TNest&) = delete;
  ~TNest() { --fDepth; }

private:
  int& fDepth;
};

TNullSurface::TNest TNullSurface::Record(TPaintOp op) {
  op.Depth = fDepth;
  if (fRecordOperations) fOps.push_back(std::move(op));
  return TNest(fDepth);
}

std::vector<TPaintOp> TNullSurface::TopLevelOps() const {
  std::vector<TPaintOp> out;
  std::copy_if(fOps.begin(), fOps.end(), std::back_inserter(out), [](const TPaintOp& o) { return o.Depth == 0; });
  return out;
}

std::vector<TPaintOp> TNullSurface::OpsOf(TPaintOpKind kind) const {
  std::vector<TPaintOp> out;
  std::copy_if(fOps.begin(), fOps.end(), std::back_inserter(out), [kind](const TPaintOp& o) { return o.Kind == kind; });
  return out;
}

// ---------------------------------------------------------------------------------------------
// Surface

namespace {

TRect PointBounds(std::span<const TPoint> points) {
  if (points.empty()) return {};
  TRect r{points[0].X, points[0].Y, points[0].X, points[0].Y};
  for (TPoint p : points) {
    r.Left = std::min(r.Left, p.X);
    r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X);
    r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

TRasterPen RasterPen(const TPenData& pen, TColor background) {
  TRasterPen p;
  p.Color = ColorToPixel(pen.Color);
  p.Width = pen.Width;
  p.Style = pen.Style;
  p.Rop2 = PenModeToRop2(pen.Mode);
  if (background != clNone) p.GapColor = ColorToPixel(background);
  return p;
}

TRasterBrush RasterBrush(const TBrushData& brush) { return {ColorToPixel(brush.Color), brush.Style}; }

TPaintOp MakeOp(TPaintOpKind kind, const TRect& rect, unsigned flags = 0, unsigned edge = 0,
                std::vector<TPoint> points = {}) {
  TPaintOp op;
  op.Kind = kind;
  op.Rect = rect;
  op.Flags = flags;
  op.Edge = edge;
  op.Points = std::move(points);
  return op;
}

}  // namespace

TNullSurface::TNullSurface(int width, int height, bool recordOperations)
    : fPixels(width, height), fRecordOperations(recordOperations) {}

void TNullSurface::Resize(int width, int height) {
  // Windows are given their size again and again as they show and lay out: keep the pixels.
  if (width == fPixels.Width() && height == fPixels.Height()) return;
  TPixelBuffer resized(width, height);
  const int kept = std::min(width, fPixels.Width());
  for (int y = 0; y < std::min(height, fPixels.Height()); ++y) {
    const auto from = fPixels.Row(y).first(static_cast<std::size_t>(kept));
    std::copy(from.begin(), from.end(), resized.Row(y).begin());
  }
  fPixels = std::move(resized);
}

void TNullSurface::FillRect(const TRect& r, const TBrushData& brush) {
  TPaintOp op = MakeOp(TPaintOpKind::FillRect, r);
  op.Brush = brush;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).FillRect(r, RasterBrush(brush));
}

void TNullSurface::Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) {
  TPaintOp op = MakeOp(TPaintOpKind::Polyline, PointBounds(points));
  op.Points.assign(points.begin(), points.end());
  op.Pen = pen;
  op.Background = background;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).Polyline(points, RasterPen(pen, background));
}

void TNullSurface::Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush,
                           TColor background) {
  TPaintOp op = MakeOp(TPaintOpKind::Polygon, PointBounds(points));
  op.Points.assign(points.begin(), points.end());
  op.Pen = pen;
  op.Brush = brush;
  op.Background = background;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).Polygon(points, RasterPen(pen, background), RasterBrush(brush));
}

void TNullSurface::Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) {
  TPaintOp op = MakeOp(TPaintOpKind::Rectangle, r);
  op.Pen = pen;
  op.Brush = brush;
  op.Background = background;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).Rectangle(r, RasterPen(pen, background), RasterBrush(brush));
}

void TNullSurface::Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) {
  TPaintOp op = MakeOp(TPaintOpKind::Ellipse, r);
  op.Pen = pen;
  op.Brush = brush;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).Ellipse(r, RasterPen(pen, clNone), RasterBrush(brush));
}

void TNullSurface::TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color,
                           TColor background) {
  const TFontMetrics m = NullFontMetrics(font);
  const int width = NullTextWidth(font, text);
  TPaintOp op = MakeOp(TPaintOpKind::TextOut, Bounds(x, y, width, m.Height));
  op.Text = String(text);
  op.Color = color;
  op.Background = background;
  op.Font = font;
  auto nest = Record(std::move(op));
  TRaster raster(TPixelView::Of(fPixels), ClipRegion());
  if (background != clNone) raster.FillRect(Bounds(x, y, width, m.Height), {ColorToPixel(background), bsSolid});
  const TRasterBrush ink{ColorToPixel(color), bsSolid};
  ForEachCluster(font, text, [&](int cx, int advance, std::string_view cluster) {
    if (!IsBlank(cluster))
      raster.FillRect({x + cx + 1, y + m.InternalLeading, x + cx + advance - 1, y + m.Ascent}, ink);
  });
  if (font.Style.Contains(fsUnderline)) raster.FillRect({x, y + m.Ascent, x + width, y + m.Ascent + 1}, ink);
  if (font.Style.Contains(fsStrikeOut)) {
    const int mid = y + m.InternalLeading + (m.Ascent - m.InternalLeading) / 2;
    raster.FillRect({x, mid, x + width, mid + 1}, ink);
  }
}

TFontMetrics TNullSurface::FontMetrics(const TFontData& font) { return NullFontMetrics(font); }
int TNullSurface::TextWidth(const TFontData& font, std::string_view text) { return NullTextWidth(font, text); }

TPixelBuffer TNullSurface::ReadPixels(const TRect& r) {
  return TRaster(TPixelView::Of(fPixels), nullptr).Read(r);
}

void TNullSurface::WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop,
                               TColor pattern, bool blendAlpha) {
  TPaintOp op = MakeOp(TPaintOpKind::WritePixels, dst, rop);
  op.Color = pattern;
  auto nest = Record(std::move(op));
  TRaster(TPixelView::Of(fPixels), ClipRegion()).Blit(dst, src, srcPos, rop, ColorToPixel(pattern), blendAlpha);
}

void TNullSurface::SetPixel(int x, int y, TColor color) {
  TPaintOp op = MakeOp(TPaintOpKind::SetPixel, TRect{x, y, x + 1, y + 1});
  op.Color = color;
  auto nest = Record(std::move(op));
  TPaintDevice::SetPixel(x, y, color);
}

void TNullSurface::FrameRect(const TRect& r, const TBrushData& brush) {
  TPaintOp op = MakeOp(TPaintOpKind::FrameRect, r);
  op.Brush = brush;
  auto nest = Record(std::move(op));
  TPaintDevice::FrameRect(r, brush);
}

void TNullSurface::TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                            TColor background) {
  TPaintOp op = MakeOp(TPaintOpKind::TextRect, r, 0, 0, {{x, y}});
  op.Text = String(text);
  op.Color = color;
  op.Background = background;
  op.Font = font;
  auto nest = Record(std::move(op));
  TPaintDevice::TextRect(r, x, y, text, font, color, background);
}

int TNullSurface::DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
                           TColor background) {
  TPaintOp op = MakeOp(TPaintOpKind::DrawText, r, format);
  op.Text = String(text);
  op.Color = color;
  op.Background = background;
  op.Font = font;
  auto nest = Record(std::move(op));
  return TPaintDevice::DrawText(text, r, format, font, color, background);
}

bool TNullSurface::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
  auto nest = Record(MakeOp(TPaintOpKind::DrawEdge, r, flags, edge));
  return TPaintDevice::DrawEdge(r, edge, flags);
}

bool TNullSurface::DrawFrameControl(TRect& r, unsigned type, unsigned state) {
  auto nest = Record(MakeOp(TPaintOpKind::DrawFrameControl, r, state, type));
  return TPaintDevice::DrawFrameControl(r, type, state);
}

void TNullSurface::DrawFocusRect(const TRect& r) {
  auto nest = Record(MakeOp(TPaintOpKind::DrawFocusRect, r));
  TPaintDevice::DrawFocusRect(r);
}

void TNullSurface::InvertRect(const TRect& r) {
  auto nest = Record(MakeOp(TPaintOpKind::InvertRect, r));
  TPaintDevice::InvertRect(r);
}

void TNullSurface::BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) {
  TPaintOp op = MakeOp(TPaintOpKind::BitBlt, dst, rop, 0, {srcPos});
  op.Color = pattern;
  auto nest = Record(std::move(op));
  TPaintDevice::BitBlt(dst, src, srcPos, rop, pattern);
}

void TNullSurface::StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop,
                              TColor pattern) {
  TPaintOp op = MakeOp(TPaintOpKind::StretchBlt, dst, rop, 0, {srcRect.TopLeft(), srcRect.BottomRight()});
  op.Color = pattern;
  auto nest = Record(std::move(op));
  TPaintDevice::StretchBlt(dst, src, srcRect, rop, pattern);
}

void TNullSurface::DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect) {
  auto nest = Record(MakeOp(TPaintOpKind::DrawImage, dst, 0, 0, {srcRect.TopLeft(), srcRect.BottomRight()}));
  TPaintDevice::DrawImage(dst, image, srcRect);
}

// ---------------------------------------------------------------------------------------------
// Backend

std::unique_ptr<TPaintDevice> TNullBackend::CreateSurface(int width, int height) {
  return std::make_unique<TNullSurface>(width, height, fRecordOperations);
}

std::unique_ptr<TGraphicsBackend> CreateNullBackend(bool recordOperations) {
  return std::make_unique<TNullBackend>(recordOperations);
}

TNullSurface* AsNullSurface(TPaintDevice* device) { return dynamic_cast<TNullSurface*>(device); }

}  // namespace zv
