#pragma once
// The BMP format, read and written here so that every backend has it: reads uncompressed and
// bit-field images of 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up or top-down, with the
// core, info, V4 and V5 headers; writes 24 bits (opaque) or 32 bits with alpha, as the host
// does for pf32bit. A 32-bit image whose alpha bytes are all zero reads as opaque. RLE
// compressed files are refused. Bad data raises EInvalidGraphic ("Bitmap image is not valid").

#include "platform/graphics/PixelBuffer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zv {

TPixelBuffer DecodeBmp(std::span<const std::uint8_t> data);
// bitsPerPixel 24 or 32; anything else raises EInvalidGraphic (SInvalidPixelFormat).
std::vector<std::uint8_t> EncodeBmp(const TPixelBuffer& image, int bitsPerPixel);

}  // namespace zv
