#pragma once
// TPaintDevice: the surface a canvas draws on, and the contract every backend implements.
//
// A backend implements the primitives (fills, lines, shapes, text runs, text measuring, pixel
// reads and raster writes). The composite operations (DrawText, DrawEdge, DrawFrameControl,
// DrawFocusRect, InvertRect, BitBlt, ...) have default implementations here that decompose
// them into primitives, so that both backends lay out text and draw edges alike; a backend
// overrides one only where it has something better.
//
// Everything here is in device pixels: the canvas applies its origin and resolves colours
// (ColorToRGB) first; clNone means "none" (no background, transparent gaps). Every drawing
// call is limited by the clip region, which the device keeps with a stack of saved states.

#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/graphics/Region.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zv {

inline constexpr TColor CLR_INVALID = -1;

// A font's vertical metrics and widths in pixels, as Windows' TEXTMETRIC has them: Height =
// Ascent + Descent; InternalLeading = Height - the em size.
struct TFontMetrics {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
};

class TPaintDevice {
public:
  TPaintDevice() = default;
  TPaintDevice(const TPaintDevice&) = delete;
  TPaintDevice& operator=(const TPaintDevice&) = delete;
  virtual ~TPaintDevice();

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Keeps the pixels at the top left; new pixels are black.
  virtual void Resize(int width, int height) = 0;

  // --- Primitives -------------------------------------------------------------------------
  // A plain fill with the brush (no raster operation); hatches leave their gaps untouched.
  virtual void FillRect(const TRect& r, const TBrushData& brush) = 0;
  // Lines through the points, the last point left out, combined by the pen's mode; dash gaps
  // take `background` unless it is clNone.
  virtual void Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) = 0;
  // Closed, filled by the even-odd rule; the pen's mode applies to the interior too.
  virtual void Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush,
                       TColor background) = 0;
  // Outline on the rectangle's outermost pixels, interior filled with the brush.
  virtual void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) = 0;
  virtual void Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) = 0;
  // One run of text (no tabs, no line breaks) with (x, y) its top left; `background` fills the
  // run's cell (its width x the font height) first unless it is clNone.
  virtual void TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color, TColor background) = 0;
  virtual TFontMetrics FontMetrics(const TFontData& font) = 0;
  virtual int TextWidth(const TFontData& font, std::string_view text) = 0;
  // Pixels of r, opaque; outside the device they read as black.
  virtual TPixelBuffer ReadPixels(const TRect& r) = 0;
  // Combines src (from srcPos; src may be empty when rop reads no source) into dst through the
  // ternary raster operation rop with a solid pattern colour, or, with blendAlpha, draws it
  // over dst by its alpha.
  virtual void WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop,
                           TColor pattern, bool blendAlpha) = 0;

  // --- Composite operations (defaults decompose into primitives) --------------------------
  virtual TColor GetPixel(int x, int y);  // CLR_INVALID outside the device
  virtual void SetPixel(int x, int y, TColor color);
  virtual void FrameRect(const TRect& r, const TBrushData& brush);
  // ExtTextOut with ETO_CLIPPED, and ETO_OPAQUE when background is not clNone (fills all of r).
  virtual void TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                        TColor background);
  // Windows DrawText (see TextLayout.h for the layout); returns the text height.
  virtual int DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
                       TColor background);
  virtual bool DrawEdge(TRect& r, unsigned edge, unsigned flags);
  virtual bool DrawFrameControl(TRect& r, unsigned type, unsigned state);
  // The dotted focus frame: every other pixel of the border inverted, aligned to the device, so
  // that drawing it twice restores the pixels.
  virtual void DrawFocusRect(const TRect& r);
  virtual void InvertRect(const TRect& r);
  // src may be this device (scrolling) and may be null when rop reads no source.
  virtual void BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern);
  virtual void StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop,
                          TColor pattern);
  // Draws the part srcRect of image stretched into dst, blended by the image's alpha.
  virtual void DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect);

  // --- State: clipping, origin, saved states -----------------------------------------------
  const TRegion* ClipRegion() const { return fState.Clip ? &*fState.Clip : nullptr; }
  // Null removes clipping. Returns the region's complexity (NULLREGION, SIMPLEREGION, ...).
  int SelectClipRegion(const TRegion* region);
  int IntersectClipRect(const TRect& r);
  int ExcludeClipRect(const TRect& r);
  // Device position of the canvas's logical (0, 0).
  TPoint Origin() const { return fState.Origin; }
  void SetOrigin(TPoint origin) { fState.Origin = origin; }
  // Returns the new save level (1 for the first save).
  int SaveState();
  // A positive level restores that save (and drops the later ones); -1 the most recent one.
  bool RestoreState(int level);

protected:
  // Told whenever the clip region changed (a backend may mirror it).
  virtual void ClipChanged() {}
  TRect DeviceBounds() const { return {0, 0, Width(), Height()}; }

private:
  struct TState {
    std::optional<TRegion> Clip;
    TPoint Origin;
  };
  TState fState;
  std::vector<TState> fSaved;
};

}  // namespace zv
