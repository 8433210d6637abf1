#include "platform/graphics/BmpCodec.h"

#include "platform/graphics/GraphicsConsts.h"

#include <bit>

namespace zv {

namespace {

constexpr int MaxDimension = 1 << 15;

[[noreturn]] void Invalid() { throw EInvalidGraphic(SInvalidBitmap); }

class TReaderLE {
public:
  explicit TReaderLE(std::span<const std::uint8_t> d) : fData(d) {}
  std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return fData[at] | (fData[at + 1] << 8) | (fData[at + 2] << 16) | (static_cast<std::uint32_t>(fData[at + 3]) << 24);
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(fData[at] | (fData[at + 1] << 8));
  }
  std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }
  std::uint8_t U8(std::size_t at) const {
    Need(at, 1);
    return fData[at];
  }
  void Need(std::size_t at, std::size_t n) const {
    if (at > fData.size() || n > fData.size() - at) Invalid();
  }

private:
  std::span<const std::uint8_t> fData;
};

// Extracts a channel by its bit mask and scales it to 8 bits.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;
  explicit TChannel(std::uint32_t mask = 0) : Mask(mask) {
    if (!mask) return;
    Shift = std::countr_zero(mask);
    Bits = std::popcount(mask);
    if (Bits > 8) {  // keep the top 8 bits
      Shift += Bits - 8;
      Bits = 8;
    }
  }
  std::uint32_t Get(std::uint32_t v) const {
    if (!Mask) return 0;
    const std::uint32_t c = (v & Mask) >> Shift & ((1u << Bits) - 1);
    return Bits == 8 ? c : (c * 255 + ((1u << Bits) - 1) / 2) / ((1u << Bits) - 1);
  }
};

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

TPixelBuffer DecodeBmp(std::span<const std::uint8_t> data) {
  const TReaderLE in(data);
  if (data.size() < 26 || data[0] != 'B' || data[1] != 'M') Invalid();
  const std::uint32_t offBits = in.U32(10);
  const std::uint32_t headerSize = in.U32(14);
  const std::size_t h = 14;
  int width, height, bpp;
  std::uint32_t compression = 0, colorsUsed = 0;
  std::size_t paletteAt, paletteEntry;
  if (headerSize == 12) {
    width = in.U16(h + 4);
    height = static_cast<std::int16_t>(in.U16(h + 6));
    bpp = in.U16(h + 10);
    paletteAt = h + 12;
    paletteEntry = 3;
  } else if (headerSize >= 40) {
    width = in.I32(h + 4);
    height = in.I32(h + 8);
    bpp = in.U16(h + 14);
    compression = in.U32(h + 16);
    colorsUsed = in.U32(h + 32);
    paletteAt = h + headerSize;
    paletteEntry = 4;
  } else {
    Invalid();
  }
  const bool topDown = height < 0;
  if (height == INT32_MIN) Invalid();
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width > MaxDimension || height > MaxDimension) Invalid();

  // Bit fields: in the V4/V5 header, or as three masks after the info header.
  std::uint32_t masks[4] = {0, 0, 0, 0};
  if (compression == 3 || compression == 6) {
    if (bpp != 16 && bpp != 32) Invalid();
    const std::size_t at = h + 40;
    const int count = (headerSize >= 56 || compression == 6) ? 4 : 3;
    for (int i = 0; i < count; ++i) masks[i] = in.U32(at + 4 * i);
    if (headerSize == 40) paletteAt += 4 * static_cast<std::size_t>(count);
  } else if (compression != 0) {
    Invalid();  // RLE and embedded JPEG/PNG are not read
  } else if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
    masks[3] = 0xFF000000;
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Invalid();

  std::vector<TPixel> palette;
  if (bpp <= 8) {
    std::uint32_t n = colorsUsed ? colorsUsed : (1u << bpp);
    if (n > 256) Invalid();
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::size_t at = paletteAt + i * paletteEntry;
      palette.push_back(0xFF000000u | (static_cast<TPixel>(in.U8(at + 2)) << 16) |
                        (static_cast<TPixel>(in.U8(at + 1)) << 8) | in.U8(at));
    }
  }

  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
  const std::uint64_t need = stride * static_cast<std::uint64_t>(height);
  if (offBits > data.size() || need > data.size() - offBits) Invalid();

  const TChannel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
  TPixelBuffer out(width, height);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = data.data() + offBits + stride * static_cast<std::uint64_t>(topDown ? y : height - 1 - y);
    auto dst = out.Row(y);
    for (int x = 0; x < width; ++x) {
      TPixel p;
      switch (bpp) {
        case 1:
        case 4:
        case 8: {
          const int perByte = 8 / bpp;
          const int shift = 8 - bpp * (1 + x % perByte);
          const unsigned index = (row[x / perByte] >> shift) & ((1u << bpp) - 1);
          if (index >= palette.size()) Invalid();
          p = palette[index];
          break;
        }
        case 24:
          p = 0xFF000000u | (static_cast<TPixel>(row[3 * x + 2]) << 16) | (static_cast<TPixel>(row[3 * x + 1]) << 8) |
              row[3 * x];
          break;
        default: {
          const std::uint32_t v = bpp == 16 ? static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8))
                                            : row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16) |
                                                  (static_cast<std::uint32_t>(row[4 * x + 3]) << 24);
          const std::uint32_t alpha = a.Mask ? a.Get(v) : 0;
          anyAlpha = anyAlpha || alpha != 0;
          p = (alpha << 24) | (r.Get(v) << 16) | (g.Get(v) << 8) | b.Get(v);
        }
      }
      dst[x] = p;
    }
  }
  if (bpp == 16 || bpp == 32) {
    if (!anyAlpha)  // no alpha channel really used: opaque
      for (TPixel& p : out.Data()) p |= 0xFF000000u;
  }
  return out;
}

std::vector<std::uint8_t> EncodeBmp(const TPixelBuffer& image, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) throw EInvalidGraphic(SInvalidPixelFormat);
  if (image.Width() > MaxDimension || image.Height() > MaxDimension) throw EInvalidGraphic(SInvalidImageSize);
  const std::uint32_t stride = ((static_cast<std::uint32_t>(image.Width()) * bitsPerPixel + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(image.Height());
  const std::uint32_t offBits = 14 + 40;
  std::vector<std::uint8_t> out;
  out.reserve(offBits + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, offBits + imageSize);
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(image.Width()));
  Put32(out, static_cast<std::uint32_t>(image.Height()));
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(bitsPerPixel));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 pixels per inch
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.Height() - 1; y >= 0; --y) {
    const auto row = image.Row(y);
    std::size_t written = 0;
    for (TPixel p : row) {
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
      written += 3;
      if (bitsPerPixel == 32) {
        out.push_back(static_cast<std::uint8_t>(p >> 24));
        ++written;
      }
    }
    for (; written < stride; ++written) out.push_back(0);
  }
  return out;
}

}  // namespace zv
