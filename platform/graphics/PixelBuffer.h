#pragma once
// TPixelBuffer: an image in memory, 32 bits per pixel as 0xAARRGGBB (straight, not premultiplied
// alpha). It is how images travel between codecs, bitmaps, image lists and backends, and what
// the raster operations below work on.

#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zv {

using TPixel = std::uint32_t;

constexpr TPixel ColorToPixel(TColor rgb) {  // rgb must be resolved (ColorToRGB) first
  return 0xFF000000u | (static_cast<TPixel>(GetRValue(rgb)) << 16) | (static_cast<TPixel>(GetGValue(rgb)) << 8) |
         static_cast<TPixel>(GetBValue(rgb));
}
constexpr TColor PixelToColor(TPixel p) {
  return RGB(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF), static_cast<int>(p & 0xFF));
}
constexpr int PixelAlpha(TPixel p) { return static_cast<int>(p >> 24); }

class TPixelBuffer {
public:
  TPixelBuffer() = default;
  // Raises EOutOfResources when the pixel count is too large, EInvalidGraphicOperation for
  // negative sizes.
  TPixelBuffer(int width, int height, TPixel fill = 0xFF000000u);

  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  bool Empty() const { return fWidth == 0 || fHeight == 0; }
  TRect BoundsRect() const { return {0, 0, fWidth, fHeight}; }

  std::span<TPixel> Row(int y);
  std::span<const TPixel> Row(int y) const;
  std::span<TPixel> Data() { return fPixels; }
  std::span<const TPixel> Data() const { return fPixels; }
  // Bounds-checked access; out-of-range reads return 0, writes are ignored.
  TPixel At(int x, int y) const;
  void Set(int x, int y, TPixel p);

  void Fill(TPixel p);
  // The part of this buffer inside r (clipped to the buffer).
  TPixelBuffer Copy(const TRect& r) const;
  // True when some pixel is not fully opaque.
  bool HasAlpha() const;
  bool operator==(const TPixelBuffer&) const = default;

private:
  int fWidth = 0;
  int fHeight = 0;
  std::vector<TPixel> fPixels;
};

// Windows raster operation codes for BitBlt (ternary: pattern, source, destination).
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;
inline constexpr std::uint32_t SRCAND = 0x008800C6;
inline constexpr std::uint32_t SRCINVERT = 0x00660046;
inline constexpr std::uint32_t SRCERASE = 0x00440328;
inline constexpr std::uint32_t NOTSRCCOPY = 0x00330008;
inline constexpr std::uint32_t NOTSRCERASE = 0x001100A6;
inline constexpr std::uint32_t MERGECOPY = 0x00C000CA;
inline constexpr std::uint32_t MERGEPAINT = 0x00BB0226;
inline constexpr std::uint32_t PATCOPY = 0x00F00021;
inline constexpr std::uint32_t PATPAINT = 0x00FB0A09;
inline constexpr std::uint32_t PATINVERT = 0x005A0049;
inline constexpr std::uint32_t DSTINVERT = 0x00550009;
inline constexpr std::uint32_t BLACKNESS = 0x00000042;
inline constexpr std::uint32_t WHITENESS = 0x00FF0062;

// Whether a ternary raster operation reads the source / the pattern.
bool RopUsesSource(std::uint32_t rop);
bool RopUsesPattern(std::uint32_t rop);

// One pixel through a ternary raster operation (bits 16..23 of rop are its truth table).
// Works on the colour bits; the result is opaque.
TPixel Rop3(std::uint32_t rop, TPixel pattern, TPixel source, TPixel dest);
// One pixel through a binary raster operation given as its Windows R2_* code (1..16).
TPixel Rop2(int r2, TPixel pen, TPixel dest);
// Straight-alpha source over an opaque destination.
TPixel BlendOver(TPixel source, TPixel dest);

// Nearest-neighbour scaling of the part src of image to width x height (StretchBlt's
// COLORONCOLOR mode); a negative size mirrors.
TPixelBuffer ScaleImage(const TPixelBuffer& image, const TRect& src, int width, int height);

}  // namespace zv
