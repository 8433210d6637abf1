#pragma once
// The Qt 6 graphics backend: surfaces are QImages (RGB32); solid fills, shapes, text and image
// codecs go through QPainter, QFont and QImage; what must match the null backend pixel for
// pixel (one-pixel and wide lines, dashes, hatches, raster operations, pen modes other than
// pmCopy) goes through the shared software rasterizer on the image's own pixels.
//
// Text uses the pinned DejaVu fonts (LoadPinnedFonts) without hinting; common Windows family
// names map to them (sans-serif faces to DejaVu Sans, fixed-pitch ones to DejaVu Sans Mono).
// Codecs: BMP through the shared codec (identical files on both backends); PNG and JPEG read
// and written by Qt, GIF read only. Creating the backend requires a live QGuiApplication.

#include "platform/graphics/GraphicsBackend.h"

#include <QImage>

#include <cstddef>

namespace zv::qt {

class TQtBackend : public TGraphicsBackend {
public:
  // nativePalette: system colours from the application's QPalette instead of the fixed palette
  // (which keeps rendered pixels reproducible).
  explicit TQtBackend(bool nativePalette = false);

  String Name() const override { return "Qt"; }
  std::unique_ptr<TPaintDevice> CreateSurface(int width, int height) override;
  TColor SysColor(int index) const override;
  bool CanDecode(TImageFormat format) const override;
  bool CanEncode(TImageFormat format) const override;
  TPixelBuffer DecodeImage(std::span<const std::uint8_t> data, TImageFormat format) override;
  std::vector<std::uint8_t> EncodeImage(const TPixelBuffer& image, TImageFormat format, int quality = 90) override;

private:
  bool fNativePalette;
};

std::unique_ptr<TGraphicsBackend> CreateQtBackend(bool nativePalette = false);
// The image behind a Qt surface (to present it in a window), or null for another kind of device.
const QImage* SurfaceImage(const TPaintDevice& device);
// What the shaped runs kept for drawing text hold, as the bound reckons it (for benches and
// tests).
std::size_t KeptRunBytes();

}  // namespace zv::qt
