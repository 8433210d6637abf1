#include "platform/graphics/PixelBuffer.h"

#include "platform/graphics/GraphicsConsts.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace zv {

TPixelBuffer::TPixelBuffer(int width, int height, TPixel fill) {
  if (width < 0 || height < 0) throw EInvalidGraphicOperation(SInvalidImageSize);
  const auto count = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height);
  if (count > std::numeric_limits<std::size_t>::max() / sizeof(TPixel) / 2 || count > (1ull << 31))
    throw EOutOfResources(SOutOfResources);
  fWidth = width;
  fHeight = height;
  fPixels.assign(static_cast<std::size_t>(count), fill);
}

std::span<TPixel> TPixelBuffer::Row(int y) {
  return std::span<TPixel>(fPixels).subspan(static_cast<std::size_t>(y) * fWidth, fWidth);
}
std::span<const TPixel> TPixelBuffer::Row(int y) const {
  return std::span<const TPixel>(fPixels).subspan(static_cast<std::size_t>(y) * fWidth, fWidth);
}

TPixel TPixelBuffer::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= fWidth || y >= fHeight) return 0;
  return fPixels[static_cast<std::size_t>(y) * fWidth + x];
}

void TPixelBuffer::Set(int x, int y, TPixel p) {
  if (x < 0 || y < 0 || x >= fWidth || y >= fHeight) return;
  fPixels[static_cast<std::size_t>(y) * fWidth + x] = p;
}

void TPixelBuffer::Fill(TPixel p) { std::fill(fPixels.begin(), fPixels.end(), p); }

TPixelBuffer TPixelBuffer::Copy(const TRect& r) const {
  TRect c;
  if (!IntersectRect(c, r, BoundsRect())) return {};
  TPixelBuffer out(c.Width(), c.Height());
  for (int y = c.Top; y < c.Bottom; ++y) {
    auto src = Row(y).subspan(c.Left, c.Width());
    std::copy(src.begin(), src.end(), out.Row(y - c.Top).begin());
  }
  return out;
}

bool TPixelBuffer::HasAlpha() const {
  return std::any_of(fPixels.begin(), fPixels.end(), [](TPixel p) { return (p >> 24) != 0xFF; });
}

bool RopUsesSource(std::uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}

bool RopUsesPattern(std::uint32_t rop) {
  const unsigned t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

TPixel Rop3(std::uint32_t rop, TPixel p, TPixel s, TPixel d) {
  const unsigned table = (rop >> 16) & 0xFF;
  TPixel r = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return 0xFF000000u | (r & 0xFFFFFFu);
}

TPixel Rop2(int r2, TPixel p, TPixel d) {
  const unsigned table = static_cast<unsigned>(r2 - 1) & 0x0F;
  TPixel r = 0;
  for (unsigned i = 0; i < 4; ++i) {
    if (!(table & (1u << i))) continue;
    r |= ((i & 2) ? p : ~p) & ((i & 1) ? d : ~d);
  }
  return 0xFF000000u | (r & 0xFFFFFFu);
}

TPixel BlendOver(TPixel s, TPixel d) {
  const unsigned a = s >> 24;
  if (a == 0xFF) return s | 0xFF000000u;
  if (a == 0) return d | 0xFF000000u;
  auto mix = [a](unsigned sc, unsigned dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
  const unsigned r = mix((s >> 16) & 0xFF, (d >> 16) & 0xFF);
  const unsigned g = mix((s >> 8) & 0xFF, (d >> 8) & 0xFF);
  const unsigned b = mix(s & 0xFF, d & 0xFF);
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TPixelBuffer ScaleImage(const TPixelBuffer& image, const TRect& src, int width, int height) {
  const int w = std::abs(width), h = std::abs(height);
  TPixelBuffer out(w, h, 0);
  const int sw = src.Width(), sh = src.Height();
  if (sw == 0 || sh == 0) return out;
  for (int y = 0; y < h; ++y) {
    const int ty = height < 0 ? h - 1 - y : y;
    const int sy = src.Top + static_cast<int>((static_cast<long long>(ty) * sh) / h);
    auto row = out.Row(y);
    for (int x = 0; x < w; ++x) {
      const int tx = width < 0 ? w - 1 - x : x;
      const int sx = src.Left + static_cast<int>((static_cast<long long>(tx) * sw) / w);
      row[x] = image.At(sx, sy);
    }
  }
  return out;
}

}  // namespace zv
