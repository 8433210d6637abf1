#pragma once
// TGraphic, the host's abstract image, and TPicture, which holds one graphic of whatever class
// a file's extension names. Raster formats other than BMP (PNG, JPEG, GIF) are TRasterImage
// descendants whose pixels come from the active backend's codecs.

#include "platform/classes/Persistent.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/graphics/GraphicsBackend.h"

#include <memory>

namespace zv {

class TCanvas;
class TBitmap;

class TGraphic : public TPersistent {
  ZV_CLASS(TGraphic, TPersistent)

public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  bool Transparent() const { return fTransparent; }
  virtual void SetTransparent(bool value);
  bool Modified() const { return fModified; }
  // Setting true fires OnChange, as the host does.
  void SetModified(bool value);

  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const String& fileName);
  virtual void SaveToFile(const String& fileName);

  // The image as straight-alpha pixels, and back (the size follows the pixels).
  virtual TPixelBuffer ToPixels() const = 0;
  virtual void SetPixels(const TPixelBuffer& pixels) = 0;

  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  friend class TPicture;
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
  virtual void Changed();
  // The graphic's form data ("Data"): its stream format by default.
  void DefineProperties(TFiler& filer) override;
  virtual void ReadData(TStream& stream);
  virtual void WriteData(TStream& stream);

private:
  bool fTransparent = false;
  bool fModified = false;
};

// An image kept as pixels and stored in one file format through the backend's codecs.
class TRasterImage : public TGraphic {
  ZV_CLASS(TRasterImage, TGraphic)

public:
  bool Empty() const override { return fPixels.Empty(); }
  int Width() const override { return fPixels.Width(); }
  int Height() const override { return fPixels.Height(); }
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  TPixelBuffer ToPixels() const override { return fPixels; }
  void SetPixels(const TPixelBuffer& pixels) override;
  void Assign(const TPersistent* source) override;
  virtual TImageFormat FileFormat() const = 0;

protected:
  void Draw(TCanvas& canvas, const TRect& rect) override;

private:
  void WritePixelsTo(TPixelBuffer& resized);  // keeps the top-left pixels
  TPixelBuffer fPixels;
};

class TPngImage : public TRasterImage {
  ZV_CLASS(TPngImage, TRasterImage)
public:
  TImageFormat FileFormat() const override { return TImageFormat::Png; }
};
class TJPEGImage : public TRasterImage {
  ZV_CLASS(TJPEGImage, TRasterImage)
public:
  TImageFormat FileFormat() const override { return TImageFormat::Jpeg; }
};
class TGIFImage : public TRasterImage {
  ZV_CLASS(TGIFImage, TRasterImage)
public:
  TImageFormat FileFormat() const override { return TImageFormat::Gif; }
};

class TPicture : public TPersistent {
  ZV_CLASS(TPicture, TPersistent)

public:
  TPicture();
  ~TPicture() override;

  TGraphic* Graphic() const { return fGraphic.get(); }
  // Copies graphic (a new graphic of its class); null clears.
  void SetGraphic(TGraphic* graphic);
  // The graphic as a bitmap; a graphic of another class is replaced by an empty bitmap.
  TBitmap* Bitmap();
  int Width() const;
  int Height() const;

  // The graphic class comes from the extension; EInvalidGraphic "Unknown picture file
  // extension (.xyz)" when none is registered for it.
  void LoadFromFile(const String& fileName);
  void SaveToFile(const String& fileName);
  // Accepts a TPicture, a TGraphic or null.
  void Assign(const TPersistent* source) override;

  TNotifyEvent OnChange;

  // Registers the class of graphics read from files with extension (without the dot).
  static void RegisterFileFormat(const String& extension, const String& description, TClass graphicClass);
  static void UnregisterGraphicClass(TClass graphicClass);

protected:
  void AssignTo(TPersistent* dest) const override;
  void DefineProperties(TFiler& filer) override;
  virtual void Changed();

private:
  void Replace(std::unique_ptr<TGraphic> graphic);
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  std::unique_ptr<TGraphic> fGraphic;
};

}  // namespace zv
