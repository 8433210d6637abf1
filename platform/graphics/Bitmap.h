#pragma once
// TBitmap: an off-screen image with a canvas. Its pixels live on a surface of the active
// backend, created when the bitmap first gets a size. Streams and files hold BMP (24 bits,
// or 32 with alpha for pf32bit); PNG data is read too (by its signature), and SaveToFile
// writes PNG when the name ends in ".png".

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

namespace zv {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap : public TGraphic {
  ZV_CLASS(TBitmap, TGraphic)

public:
  TBitmap();
  ~TBitmap() override;

  // Drawing on it; the bitmap's surface is created on first use.
  TCanvas* Canvas();
  bool Empty() const override { return fWidth == 0 || fHeight == 0; }
  int Width() const override { return fWidth; }
  int Height() const override { return fHeight; }
  void SetWidth(int width) override { SetSize(width, fHeight); }
  void SetHeight(int height) override { SetSize(fWidth, height); }
  // Keeps the top-left pixels; new pixels are black. Negative sizes raise EInvalidGraphic.
  void SetSize(int width, int height);

  TPixelFormat PixelFormat() const { return fPixelFormat; }
  // Recorded for saving: pf32bit keeps alpha; the others are stored as 24 bits.
  void SetPixelFormat(TPixelFormat format);
  // tmAuto: the colour of the bottom-left pixel (clDefault when empty); setting a colour
  // switches to tmFixed.
  TColor TransparentColor();
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return fTransparentMode; }
  void SetTransparentMode(TTransparentMode mode);

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void SaveToStream(TStream& stream, TImageFormat format);
  void SaveToFile(const String& fileName) override;

  TPixelBuffer ToPixels() const override;
  void SetPixels(const TPixelBuffer& pixels) override;
  // Copies a bitmap (pixels, format, transparency) or draws any other graphic.
  void Assign(const TPersistent* source) override;

  // The surface itself, for backends and controls that present bitmaps.
  TPaintDevice* Surface() const { return fSurface.get(); }

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;
  // Form data: a 32-bit length, then the BMP file.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

private:
  TPaintDevice& EnsureSurface();

  std::unique_ptr<TPaintDevice> fSurface;
  std::unique_ptr<TCanvas> fCanvas;
  TPixelBuffer fAlpha;  // surfaces are opaque: a 32-bit image's alpha is kept here
  int fWidth = 0;
  int fHeight = 0;
  TPixelFormat fPixelFormat = pfDevice;
  TColor fTransparentColor = clDefault;
  TTransparentMode fTransparentMode = tmAuto;
};

}  // namespace zv
