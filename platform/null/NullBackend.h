#pragma once
// The headless graphics backend: deterministic text metrics, surfaces that keep a real pixel
// buffer (so pixel checks and raster operations work without a display), and a record of every
// drawing operation that tests can query and clear.
//
// Text metrics. For a font of em height E pixels (E = -Height when Height < 0; for a positive
// Height H, the cell height, E = H - H / 6; Height 0 is the default -11):
//   internal leading L = E / 5 and cell height E + L   (a positive Height gives exactly H)
//   descent D = E / 4, ascent = cell height - D, external leading 0
//   average character width W = (E + 1) / 2, one pixel more for bold; max width 2W
//   every grapheme cluster advances W, an East Asian wide one (CJK, most emoji) 2W; so does a
//   tab, a line break or any other control character when it reaches TextWidth.
// So the default font (-11) has E 11, cell height 13, ascent 11, descent 2, W 6.
// Glyphs are drawn as solid boxes in the text colour: each cluster that is not white space
// fills its advance less one pixel on each side (columns x+1 .. x+advance-2), from the
// internal leading down to the baseline (rows y+L .. y+ascent-1). Underline is the row below
// the baseline, strike-out the middle row of the box, across the run.
//
// Image codecs: BMP only (through platform/graphics); PNG, JPEG and GIF raise EInvalidGraphic
// "The null graphics backend cannot read PNG images".

#include "platform/graphics/GraphicsBackend.h"

#include <memory>
#include <vector>

namespace zv {

enum class TPaintOpKind {
  FillRect, Polyline, Polygon, Rectangle, Ellipse, TextOut, WritePixels, SetPixel, FrameRect, TextRect,
  DrawText, DrawEdge, DrawFrameControl, DrawFocusRect, InvertRect, BitBlt, StretchBlt, DrawImage
};
const char* PaintOpName(TPaintOpKind kind);

// One recorded operation; fields that do not apply keep their defaults.
struct TPaintOp {
  TPaintOpKind Kind = TPaintOpKind::FillRect;
  int Depth = 0;            // 0 when called from outside; n+1 when made by a depth-n composite
  TRect Rect;               // target rectangle; the points' bounds for lines and polygons
  std::vector<TPoint> Points;
  unsigned Flags = 0;       // DT_/BF_/DFCS_ flags, or the raster operation of blits
  unsigned Edge = 0;        // DrawEdge's edge, DrawFrameControl's type
  String Text;
  TColor Color = clNone;       // text colour, or the single colour of a pixel write
  TColor Background = clNone;  // text background / dash gaps
  TPenData Pen;
  TBrushData Brush;
  TFontData Font;
};

class TNullSurface : public TPaintDevice {
public:
  // recordOperations false keeps the pixels only: a long-running program (a benchmark) would
  // otherwise keep every operation it ever painted.
  TNullSurface(int width, int height, bool recordOperations = true);

  const TPixelBuffer& Pixels() const { return fPixels; }
  const std::vector<TPaintOp>& Ops() const { return fOps; }
  // Only the operations made from outside (Depth 0).
  std::vector<TPaintOp> TopLevelOps() const;
  // Operations of one kind, any depth.
  std::vector<TPaintOp> OpsOf(TPaintOpKind kind) const;
  void ClearOps() { fOps.clear(); }

  int Width() const override { return fPixels.Width(); }
  int Height() const override { return fPixels.Height(); }
  void Resize(int width, int height) override;

  void FillRect(const TRect& r, const TBrushData& brush) override;
  void Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) override;
  void Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush, TColor background) override;
  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) override;
  void Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) override;
  void TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color, TColor background) override;
  TFontMetrics FontMetrics(const TFontData& font) override;
  int TextWidth(const TFontData& font, std::string_view text) override;
  TPixelBuffer ReadPixels(const TRect& r) override;
  void WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop, TColor pattern,
                   bool blendAlpha) override;

  void SetPixel(int x, int y, TColor color) override;
  void FrameRect(const TRect& r, const TBrushData& brush) override;
  void TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                TColor background) override;
  int DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
               TColor background) override;
  bool DrawEdge(TRect& r, unsigned edge, unsigned flags) override;
  bool DrawFrameControl(TRect& r, unsigned type, unsigned state) override;
  void DrawFocusRect(const TRect& r) override;
  void InvertRect(const TRect& r) override;
  void BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) override;
  void StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop, TColor pattern) override;
  void DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect) override;

private:
  // Records op at the current depth; the returned guard makes nested calls one level deeper.
  class TNest;
  TNest Record(TPaintOp op);

  TPixelBuffer fPixels;
  std::vector<TPaintOp> fOps;
  int fDepth = 0;
  bool fRecordOperations = true;
};

class TNullBackend : public TGraphicsBackend {
public:
  explicit TNullBackend(bool recordOperations = true) : fRecordOperations(recordOperations) {}
  String Name() const override { return "null"; }
  std::unique_ptr<TPaintDevice> CreateSurface(int width, int height) override;

private:
  bool fRecordOperations;
};

// Surfaces recording their operations for tests, or only their pixels when recordOperations is
// false.
std::unique_ptr<TGraphicsBackend> CreateNullBackend(bool recordOperations = true);
// The metrics described above, without a surface.
TFontMetrics NullFontMetrics(const TFontData& font);
int NullTextWidth(const TFontData& font, std::string_view text);
// The null surface behind a device or canvas handle, or null when it is another kind.
TNullSurface* AsNullSurface(TPaintDevice* device);

}  // namespace zv
