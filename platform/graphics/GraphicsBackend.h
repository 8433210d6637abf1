#pragma once
// The active graphics backend ("widget set"): creates surfaces, knows the system colours and
// encodes and decodes images. One is active at a time; the null backend (platform/null) for
// headless runs, the Qt one (platform/qt) for the screen.

#include "platform/graphics/PaintDevice.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace zv {

enum class TImageFormat { Bmp, Png, Jpeg, Gif };

const char* ImageFormatName(TImageFormat format);  // "BMP", "PNG", ...
// By the data's signature; empty when unknown.
std::optional<TImageFormat> DetectImageFormat(std::span<const std::uint8_t> data);
// By a file name's extension (case-insensitive, "bmp", "png", "jpg"/"jpeg", "gif").
std::optional<TImageFormat> ImageFormatFromExtension(std::string_view fileName);
// Codecs may decode a cut-off PNG, JPEG or GIF into a partly grey image: refuse data that stops
// before its format's end marker with EInvalidGraphic ("JPEG image is not valid: the data ends
// early"). BMP data is checked by its decoder.
void CheckImageComplete(std::span<const std::uint8_t> data, TImageFormat format);

class TGraphicsBackend {
public:
  virtual ~TGraphicsBackend();
  virtual String Name() const = 0;

  // An off-screen surface, black.
  virtual std::unique_ptr<TPaintDevice> CreateSurface(int width, int height) = 0;
  // RGB of a system colour index; the fixed palette unless overridden.
  virtual TColor SysColor(int index) const;

  // BMP through the own codec here; other formats raise EInvalidGraphic naming the backend.
  virtual bool CanDecode(TImageFormat format) const;
  virtual bool CanEncode(TImageFormat format) const;
  virtual TPixelBuffer DecodeImage(std::span<const std::uint8_t> data, TImageFormat format);
  // quality (1..100) matters for JPEG only.
  virtual std::vector<std::uint8_t> EncodeImage(const TPixelBuffer& image, TImageFormat format, int quality = 90);

protected:
  [[noreturn]] void Unsupported(const char* verb, TImageFormat format) const;
};

// Makes backend the active one and returns the previous one (to restore it later).
std::unique_ptr<TGraphicsBackend> SetGraphicsBackend(std::unique_ptr<TGraphicsBackend> backend);
// The active backend; EInvalidGraphicOperation when none is.
TGraphicsBackend& GraphicsBackend();
bool HasGraphicsBackend();

}  // namespace zv
