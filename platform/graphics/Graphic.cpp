#include "platform/graphics/Graphic.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Modules.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/Format.h"

#include <algorithm>
#include <cctype>

namespace zv {

ZV_DEFINE_CLASS(TGraphic, TPersistent)
ZV_DEFINE_CLASS(TRasterImage, TGraphic)
ZV_DEFINE_CLASS(TPngImage, TRasterImage)
ZV_DEFINE_CLASS(TJPEGImage, TRasterImage)
ZV_DEFINE_CLASS(TGIFImage, TRasterImage)
ZV_DEFINE_CLASS(TPicture, TPersistent)

namespace {

std::vector<std::uint8_t> ReadRest(TStream& stream) {
  const std::int64_t left = stream.Size() - stream.Position();
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(0, left)));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return bytes;
}

struct TFileFormat {
  String Extension;
  String Description;
  TClass GraphicClass;
};

std::vector<TFileFormat>& FileFormats() {
  static std::vector<TFileFormat> formats = [] {
    for (TClass c : {TBitmap::StaticClass(), TPngImage::StaticClass(), TJPEGImage::StaticClass(),
                     TGIFImage::StaticClass()})
      RegisterClass(c);
    return std::vector<TFileFormat>{
        {"bmp", "Bitmaps", TBitmap::StaticClass()},
        {"dib", "Bitmaps", TBitmap::StaticClass()},
        {"png", "Portable Network Graphics", TPngImage::StaticClass()},
        {"jpg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"jpeg", "JPEG Image File", TJPEGImage::StaticClass()},
        {"gif", "GIF Image", TGIFImage::StaticClass()},
    };
  }();
  return formats;
}

String Extension(const String& fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == String::npos || (slash != String::npos && dot < slash)) return {};
  String ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::unique_ptr<TGraphic> CreateGraphic(TClass cls) {
  if (!cls || !cls->Factory || !cls->InheritsFrom(TGraphic::StaticClass())) return nullptr;
  std::unique_ptr<TObject> obj(cls->Factory(nullptr));
  auto* g = dynamic_cast<TGraphic*>(obj.get());
  if (!g) return nullptr;
  obj.release();
  return std::unique_ptr<TGraphic>(g);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGraphic

void TGraphic::SetTransparent(bool value) {
  if (value == fTransparent) return;
  fTransparent = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed();
  else
    fModified = false;
}

void TGraphic::Changed() {
  fModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const String& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

void TGraphic::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); }, !Empty());
}

void TGraphic::ReadData(TStream& stream) { LoadFromStream(stream); }
void TGraphic::WriteData(TStream& stream) { SaveToStream(stream); }

// ---------------------------------------------------------------------------------------------
// TRasterImage

void TRasterImage::SetPixels(const TPixelBuffer& pixels) {
  fPixels = pixels;
  Changed();
}

void TRasterImage::SetWidth(int width) {
  TPixelBuffer resized(width, fPixels.Height(), 0);
  WritePixelsTo(resized);
}

void TRasterImage::SetHeight(int height) {
  TPixelBuffer resized(fPixels.Width(), height, 0);
  WritePixelsTo(resized);
}

void TRasterImage::WritePixelsTo(TPixelBuffer& resized) {
  for (int y = 0; y < std::min(resized.Height(), fPixels.Height()); ++y)
    for (int x = 0; x < std::min(resized.Width(), fPixels.Width()); ++x) resized.Set(x, y, fPixels.At(x, y));
  SetPixels(resized);
}

void TRasterImage::LoadFromStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = ReadRest(stream);
  const TImageFormat format = DetectImageFormat(bytes).value_or(FileFormat());
  if (GraphicsBackend().CanDecode(format)) CheckImageComplete(bytes, format);
  SetPixels(GraphicsBackend().DecodeImage(bytes, format));
}

void TRasterImage::SaveToStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = GraphicsBackend().EncodeImage(fPixels, FileFormat());
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TRasterImage::Assign(const TPersistent* source) {
  if (auto* g = dynamic_cast<const TGraphic*>(source)) {
    SetPixels(g->ToPixels());
    return;
  }
  TGraphic::Assign(source);
}

void TRasterImage::Draw(TCanvas& canvas, const TRect& rect) {
  canvas.Handle().DrawImage(canvas.ToDevice(rect), fPixels, fPixels.BoundsRect());
}

// ---------------------------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const String& extension, const String& description, TClass graphicClass) {
  String ext = extension;
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto& formats = FileFormats();
  std::erase_if(formats, [&](const TFileFormat& f) { return f.Extension == ext; });
  formats.push_back({ext, description, graphicClass});
  RegisterClass(graphicClass);
}

void TPicture::UnregisterGraphicClass(TClass graphicClass) {
  std::erase_if(FileFormats(), [&](const TFileFormat& f) { return f.GraphicClass == graphicClass; });
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Replace(std::unique_ptr<TGraphic> graphic) {
  fGraphic = std::move(graphic);
  if (fGraphic) fGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (!graphic) {
    Replace(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> copy = CreateGraphic(graphic->ClassType());
  if (!copy) throw EConvertError(Format(SAssignError, {graphic->ClassName(), ClassName()}));
  copy->Assign(graphic);
  Replace(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(fGraphic.get())) return b;
  Replace(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(fGraphic.get());
}

int TPicture::Width() const { return fGraphic ? fGraphic->Width() : 0; }
int TPicture::Height() const { return fGraphic ? fGraphic->Height() : 0; }

void TPicture::LoadFromFile(const String& fileName) {
  const String ext = Extension(fileName);
  TClass cls = nullptr;
  for (const TFileFormat& f : FileFormats())
    if (f.Extension == ext) cls = f.GraphicClass;
  std::unique_ptr<TGraphic> graphic = CreateGraphic(cls);
  if (!graphic) throw EInvalidGraphic(Format(SUnknownExtension, {ext}));
  graphic->LoadFromFile(fileName);
  Replace(std::move(graphic));
}

void TPicture::SaveToFile(const String& fileName) {
  if (fGraphic) fGraphic->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<const TPicture*>(source)) {
    SetGraphic(p->fGraphic.get());
  } else if (auto* g = dynamic_cast<const TGraphic*>(source)) {
    SetGraphic(const_cast<TGraphic*>(g));
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::AssignTo(TPersistent* dest) const {
  if (fGraphic && dest && dest->InheritsFrom(fGraphic->ClassType())) {
    dest->Assign(fGraphic.get());
    return;
  }
  TPersistent::AssignTo(dest);
}

void TPicture::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      fGraphic && !fGraphic->Empty());
}

// The class name as a short string, then the graphic's own data.
void TPicture::ReadData(TStream& stream) {
  std::uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  String name(length, '\0');
  if (length) stream.ReadBuffer(name.data(), length);
  FileFormats();  // registers the standard graphic classes
  std::unique_ptr<TGraphic> graphic = CreateGraphic(FindClass(name));
  if (!graphic) throw EInvalidGraphic(SInvalidImage);
  graphic->ReadData(stream);
  Replace(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  const String name = fGraphic->ClassName();
  const auto length = static_cast<std::uint8_t>(std::min<std::size_t>(name.size(), 255));
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(name.data(), length);
  fGraphic->WriteData(stream);
}

// The graphics module: the classes form files name (image lists, and the graphic classes a
// picture's data names).
namespace {
std::vector<TClass> GraphicsClasses() {
  return {TBitmap::StaticClass(), TPngImage::StaticClass(), TJPEGImage::StaticClass(), TGIFImage::StaticClass(),
          TImageList::StaticClass()};
}
}  // namespace

ZV_MODULE(graphics, {.Name = "graphics",
                     .Initialization = [] { RegisterClasses(GraphicsClasses()); },
                     .Finalization = [] { UnRegisterClasses(GraphicsClasses()); }});

}  // namespace zv
