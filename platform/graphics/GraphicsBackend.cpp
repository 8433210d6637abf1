#include "platform/graphics/GraphicsBackend.h"

#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/graphics/TextLayoutCache.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <cctype>

namespace zv {

namespace {
std::unique_ptr<TGraphicsBackend>& Active() {
  static std::unique_ptr<TGraphicsBackend> backend;
  return backend;
}
}  // namespace

const char* ImageFormatName(TImageFormat format) {
  switch (format) {
    case TImageFormat::Bmp: return "BMP";
    case TImageFormat::Png: return "PNG";
    case TImageFormat::Jpeg: return "JPEG";
    case TImageFormat::Gif: return "GIF";
  }
  return "?";
}

std::optional<TImageFormat> DetectImageFormat(std::span<const std::uint8_t> d) {
  auto starts = [&](std::initializer_list<std::uint8_t> sig) {
    return d.size() >= sig.size() && std::equal(sig.begin(), sig.end(), d.begin());
  };
  if (starts({'B', 'M'})) return TImageFormat::Bmp;
  if (starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})) return TImageFormat::Png;
  if (starts({0xFF, 0xD8, 0xFF})) return TImageFormat::Jpeg;
  if (starts({'G', 'I', 'F', '8'})) return TImageFormat::Gif;
  return std::nullopt;
}

std::optional<TImageFormat> ImageFormatFromExtension(std::string_view fileName) {
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string_view::npos) return std::nullopt;
  String ext(fileName.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "bmp" || ext == "dib") return TImageFormat::Bmp;
  if (ext == "png") return TImageFormat::Png;
  if (ext == "jpg" || ext == "jpeg" || ext == "jpe") return TImageFormat::Jpeg;
  if (ext == "gif") return TImageFormat::Gif;
  return std::nullopt;
}

void CheckImageComplete(std::span<const std::uint8_t> d, TImageFormat format) {
  // Trailing zero bytes are padding some writers add after the end marker.
  std::size_t n = d.size();
  while (n > 0 && d[n - 1] == 0) --n;
  bool complete = true;
  switch (format) {
    case TImageFormat::Bmp: return;
    case TImageFormat::Png: {
      // The IEND chunk's type, then its CRC.
      static constexpr std::uint8_t iend[] = {'I', 'E', 'N', 'D'};
      const auto tail = d.size() >= 12 ? d.subspan(d.size() - 12) : d;
      const auto it = std::search(tail.begin(), tail.end(), std::begin(iend), std::end(iend));
      complete = it != tail.end() && tail.end() - it >= 8;
      break;
    }
    case TImageFormat::Jpeg: complete = n >= 4 && d[n - 2] == 0xFF && d[n - 1] == 0xD9; break;
    case TImageFormat::Gif: complete = n >= 14 && d[n - 1] == 0x3B; break;
  }
  if (!complete) throw EInvalidGraphic(Format(SInvalidImageData, {ImageFormatName(format), "the data ends early"}));
}

TGraphicsBackend::~TGraphicsBackend() = default;

TColor TGraphicsBackend::SysColor(int index) const { return DefaultSysColor(index); }

bool TGraphicsBackend::CanDecode(TImageFormat format) const { return format == TImageFormat::Bmp; }
bool TGraphicsBackend::CanEncode(TImageFormat format) const { return format == TImageFormat::Bmp; }

TPixelBuffer TGraphicsBackend::DecodeImage(std::span<const std::uint8_t> data, TImageFormat format) {
  if (format != TImageFormat::Bmp) Unsupported("read", format);
  return DecodeBmp(data);
}

std::vector<std::uint8_t> TGraphicsBackend::EncodeImage(const TPixelBuffer& image, TImageFormat format, int) {
  if (format != TImageFormat::Bmp) Unsupported("write", format);
  return EncodeBmp(image, image.HasAlpha() ? 32 : 24);
}

void TGraphicsBackend::Unsupported(const char* verb, TImageFormat format) const {
  throw EInvalidGraphic(Format(SUnsupportedImageFormat, {Name(), verb, ImageFormatName(format)}));
}

std::unique_ptr<TGraphicsBackend> SetGraphicsBackend(std::unique_ptr<TGraphicsBackend> backend) {
  std::swap(Active(), backend);
  // Another backend measures differently (a window's device measures through the backend).
  TextLayoutCache().Clear();
  return backend;
}

TGraphicsBackend& GraphicsBackend() {
  if (!Active()) throw EInvalidGraphicOperation(SNoGraphicsBackend);
  return *Active();
}

bool HasGraphicsBackend() { return Active() != nullptr; }

}  // namespace zv
