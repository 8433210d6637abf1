#pragma once
// A software rasterizer with the host's pixel rules, working on any 32-bit pixel memory: the
// null backend draws everything with it, the Qt backend its one-pixel lines and raster
// operations, so that both give the same pixels there.
//
// Rules: right and bottom edges are exclusive; a polyline leaves out its last point; a shape
// is composed once (outline over interior), so XOR modes never cancel at joints; dashes of
// one-pixel pens follow the classic cosmetic patterns and their gaps take the background
// colour when one is given.

#include "platform/graphics/Brush.h"
#include "platform/graphics/Pen.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/graphics/Region.h"

#include <cstddef>
#include <optional>
#include <span>

namespace zv {

// Pixel memory owned elsewhere: Stride is in pixels.
struct TPixelView {
  TPixel* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  std::ptrdiff_t Stride = 0;
  static TPixelView Of(TPixelBuffer& b) { return {b.Data().data(), b.Width(), b.Height(), b.Width()}; }
};

// Colours already resolved to pixels; a missing colour draws nothing.
struct TRasterPen {
  TPixel Color = 0xFF000000u;
  int Width = 1;
  TPenStyle Style = psSolid;
  int Rop2 = R2_COPYPEN;
  std::optional<TPixel> GapColor;  // opaque background of dashed lines
};
struct TRasterBrush {
  TPixel Color = 0xFFFFFFFFu;
  TBrushStyle Style = bsSolid;
};

// Whether the hatch of style covers device pixel (x, y) (bsSolid covers all, bsClear none).
bool HatchCovers(TBrushStyle style, int x, int y);

class TRaster {
public:
  // clip (device coordinates) may be null for the whole view.
  TRaster(TPixelView view, const TRegion* clip);

  // A plain fill (PATCOPY); no raster operation.
  void FillRect(const TRect& r, const TRasterBrush& brush);
  void Polyline(std::span<const TPoint> points, const TRasterPen& pen);
  void Polygon(std::span<const TPoint> points, const TRasterPen& pen, const TRasterBrush& brush);
  void Rectangle(const TRect& r, const TRasterPen& pen, const TRasterBrush& brush);
  void Ellipse(const TRect& r, const TRasterPen& pen, const TRasterBrush& brush);

  // Combines src (from srcPos) into dst through rop, or blends it by its alpha.
  void Blit(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop, TPixel pattern,
            bool blendAlpha);
  // SRCCOPY straight from other pixel memory (not this view's), row by row.
  void Copy(const TRect& dst, const TPixel* src, int srcWidth, int srcHeight, std::ptrdiff_t srcStride,
            TPoint srcPos);
  TPixelBuffer Read(const TRect& r) const;  // pixels outside the view read as opaque black
  TPixel Get(int x, int y) const;

private:
  class TMask;
  void StrokePath(std::span<const TPoint> points, bool closed, const TRasterPen& pen, TMask& penMask,
                  TMask& gapMask) const;
  void Compose(const TMask& fill, const TMask& penMask, const TMask& gapMask, const TRasterPen& pen,
               const TRasterBrush* brush);
  template <class F>
  void ForEachClipped(const TRect& r, F&& f) const;
  template <class F>
  void ForEachClippedRect(const TRect& r, F&& f) const;
  bool PlainLines(std::span<const TPoint> points, const TRasterPen& pen);
  bool SolidBar(std::span<const TPoint> points, const TRasterPen& pen);
  TPixel& At(int x, int y) const { return fView.Bits[static_cast<std::ptrdiff_t>(y) * fView.Stride + x]; }

  TPixelView fView;
  const TRegion* fClip;
};

}  // namespace zv
