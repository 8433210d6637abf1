#include "platform/graphics/Bitmap.h"

#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/GraphicsConsts.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TBitmap, TGraphic)

namespace {

// A canvas that draws on its bitmap's surface and tells the bitmap when it did.
class TBitmapCanvas : public TCanvas {
public:
  TBitmapCanvas(TBitmap& bitmap, std::function<TPaintDevice&()> surface)
      : fBitmap(bitmap), fSurface(std::move(surface)) {}

protected:
  void CreateHandle() override { SetHandle(&fSurface()); }
  void Changed() override {
    TCanvas::Changed();
    fBitmap.SetModified(true);
  }

private:
  TBitmap& fBitmap;
  std::function<TPaintDevice&()> fSurface;
};

std::vector<std::uint8_t> ReadAll(TStream& stream) {
  const std::int64_t left = stream.Size() - stream.Position();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, left)));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return bytes;
}

}  // namespace

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

TPaintDevice& TBitmap::EnsureSurface() {
  if (!fSurface) fSurface = GraphicsBackend().CreateSurface(fWidth, fHeight);
  return *fSurface;
}

TCanvas* TBitmap::Canvas() {
  if (!fCanvas) fCanvas = std::make_unique<TBitmapCanvas>(*this, [this]() -> TPaintDevice& { return EnsureSurface(); });
  return fCanvas.get();
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0 || height < 0) throw EInvalidGraphic(SInvalidImageSize);
  if (width == fWidth && height == fHeight) return;
  fWidth = width;
  fHeight = height;
  if (fSurface) fSurface->Resize(width, height);
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == fPixelFormat) return;
  fPixelFormat = format;
  Changed();
}

TColor TBitmap::TransparentColor() {
  if (fTransparentMode == tmFixed) return fTransparentColor;
  if (Empty()) return clDefault;
  return EnsureSurface().GetPixel(0, fHeight - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  fTransparentColor = color;
  fTransparentMode = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == fTransparentMode) return;
  fTransparentMode = mode;
  if (mode == tmAuto) fTransparentColor = clDefault;
  Changed();
}

TPixelBuffer TBitmap::ToPixels() const {
  if (Empty()) return {};
  if (!fSurface) return TPixelBuffer(fWidth, fHeight);
  TPixelBuffer px = fSurface->ReadPixels({0, 0, fWidth, fHeight});
  if (fPixelFormat == pf32bit && fAlpha.Width() == fWidth && fAlpha.Height() == fHeight)
    for (int y = 0; y < fHeight; ++y)
      for (int x = 0; x < fWidth; ++x) px.Set(x, y, (px.At(x, y) & 0xFFFFFFu) | (fAlpha.At(x, y) & 0xFF000000u));
  return px;
}

void TBitmap::SetPixels(const TPixelBuffer& pixels) {
  fWidth = pixels.Width();
  fHeight = pixels.Height();
  if (fSurface)
    fSurface->Resize(fWidth, fHeight);
  else
    EnsureSurface();
  if (!pixels.Empty()) fSurface->WritePixels({0, 0, fWidth, fHeight}, pixels, {0, 0}, SRCCOPY, 0, false);
  // Surfaces are opaque: the alpha channel of a 32-bit image is kept beside them.
  if (pixels.HasAlpha()) {
    fAlpha = pixels;
    fPixelFormat = pf32bit;
  } else {
    fAlpha = TPixelBuffer();
  }
  Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = ReadAll(stream);
  const auto format = DetectImageFormat(bytes);
  if (format == TImageFormat::Bmp || !format) {
    SetPixels(DecodeBmp(bytes));
  } else {
    if (GraphicsBackend().CanDecode(*format)) CheckImageComplete(bytes, *format);
    SetPixels(GraphicsBackend().DecodeImage(bytes, *format));
  }
}

void TBitmap::SaveToStream(TStream& stream) { SaveToStream(stream, TImageFormat::Bmp); }

void TBitmap::SaveToStream(TStream& stream, TImageFormat format) {
  const TPixelBuffer pixels = ToPixels();
  std::vector<std::uint8_t> bytes;
  if (format == TImageFormat::Bmp) {
    bytes = EncodeBmp(pixels, fPixelFormat == pf32bit ? 32 : 24);
  } else {
    bytes = GraphicsBackend().EncodeImage(pixels, format);
  }
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::SaveToFile(const String& fileName) {
  const TImageFormat format = ImageFormatFromExtension(fileName) == TImageFormat::Png ? TImageFormat::Png : TImageFormat::Bmp;
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream, format);
}

void TBitmap::Assign(const TPersistent* source) {
  if (auto* b = dynamic_cast<const TBitmap*>(source)) {
    if (b == this) return;
    fPixelFormat = b->fPixelFormat;
    fTransparentColor = b->fTransparentColor;
    fTransparentMode = b->fTransparentMode;
    SetTransparent(b->Transparent());
    SetPixels(b->ToPixels());
    return;
  }
  if (auto* g = dynamic_cast<const TGraphic*>(source)) {
    SetPixels(g->ToPixels());
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
  if (Empty()) return;
  TPaintDevice& target = canvas.Handle();
  const TRect dst = canvas.ToDevice(rect);
  const bool alpha = fPixelFormat == pf32bit && !fAlpha.Empty();
  if (Transparent() || alpha) {
    TPixelBuffer px = ToPixels();
    if (Transparent()) {
      const TPixel key = ColorToPixel(ColorToRGB(TransparentColor())) & 0xFFFFFFu;
      for (TPixel& p : px.Data())
        if ((p & 0xFFFFFFu) == key) p &= 0xFFFFFFu;
    }
    target.DrawImage(dst, px, px.BoundsRect());
    return;
  }
  if (dst.Width() == fWidth && dst.Height() == fHeight)
    target.BitBlt(dst, &EnsureSurface(), {0, 0}, canvas.CopyMode(), canvas.DeviceBrush().Color);
  else
    target.StretchBlt(dst, EnsureSurface(), {0, 0, fWidth, fHeight}, canvas.CopyMode(), canvas.DeviceBrush().Color);
}

void TBitmap::ReadData(TStream& stream) {
  std::int32_t size = 0;
  stream.ReadBuffer(&size, 4);
  if (size < 0 || size > stream.Size() - stream.Position()) throw EInvalidGraphic(SInvalidBitmap);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size) stream.ReadBuffer(bytes.data(), size);
  SetPixels(DecodeBmp(bytes));
}

void TBitmap::WriteData(TStream& stream) {
  TMemoryStream data;
  SaveToStream(data);
  const auto size = static_cast<std::int32_t>(data.Size());
  stream.WriteBuffer(&size, 4);
  data.SaveToStream(stream);
}

}  // namespace zv
