#include "platform/controls/Clipboard.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/controls/WindowBackend.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TClipboard, TPersistent)

namespace {

using TFormats = std::vector<TWindowBackend::TClipboardFormat>;

constexpr const char kText[] = "text/plain";
constexpr const char kPng[] = "image/png";
constexpr const char kBmp[] = "image/bmp";

// Stands in for the system clipboard while no window backend is active.
TFormats& ProcessStore() {
  static TFormats store;
  return store;
}

void Store(const TFormats& formats) {
  if (HasWindowBackend())
    WindowBackend().SetClipboardContent(formats);
  else
    ProcessStore() = formats;
}

std::vector<String> StoredFormats() {
  if (HasWindowBackend()) return WindowBackend().ClipboardFormats();
  std::vector<String> names;
  for (const auto& f : ProcessStore()) names.push_back(f.Mime);
  return names;
}

std::vector<std::uint8_t> StoredData(const String& mime) {
  if (HasWindowBackend()) return WindowBackend().ClipboardData(mime);
  for (const auto& f : ProcessStore())
    if (f.Mime == mime) return f.Data;
  return {};
}

bool Has(const std::vector<String>& names, const char* mime) {
  return std::find(names.begin(), names.end(), mime) != names.end();
}

std::unique_ptr<TClipboard>& Global() {
  static std::unique_ptr<TClipboard> clipboard;
  return clipboard;
}

}  // namespace

// The content of an open clipboard: emptied by its first change, published on the last Close.
struct TClipboard::TPending {
  TFormats Formats;
  bool Changed = false;

  void Put(const String& mime, std::vector<std::uint8_t> data) {
    std::erase_if(Formats, [&](const auto& f) { return f.Mime == mime; });
    Formats.push_back({mime, std::move(data)});
    Changed = true;
  }
};

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

void TClipboard::Open() {
  if (fOpenCount++ == 0) fPending = std::make_unique<TPending>();
}

void TClipboard::Close() {
  if (fOpenCount == 0) return;
  if (--fOpenCount == 0) Publish();
}

void TClipboard::Publish() {
  std::unique_ptr<TPending> pending = std::move(fPending);
  if (pending && pending->Changed) Store(pending->Formats);
}

void TClipboard::Clear() {
  Open();
  fPending->Formats.clear();
  fPending->Changed = true;
  Close();
}

bool TClipboard::HasFormat(Word format) const {
  const int n = FormatCount();
  for (int i = 0; i < n; ++i) {
    const Word f = Formats(i);
    if (f == format) return true;
    if (format == CF_PICTURE && f == CF_BITMAP) return true;
  }
  return false;
}

int TClipboard::FormatCount() const {
  std::vector<String> names;
  if (fPending && fPending->Changed)
    for (const auto& f : fPending->Formats) names.push_back(f.Mime);
  else
    names = StoredFormats();
  int count = 0;
  if (Has(names, kText)) count += 2;
  if (Has(names, kPng) || Has(names, kBmp)) count += 1;
  return count;
}

Word TClipboard::Formats(int index) const {
  std::vector<Word> formats;
  std::vector<String> names;
  if (fPending && fPending->Changed)
    for (const auto& f : fPending->Formats) names.push_back(f.Mime);
  else
    names = StoredFormats();
  if (Has(names, kText)) formats.insert(formats.end(), {CF_UNICODETEXT, CF_TEXT});
  if (Has(names, kPng) || Has(names, kBmp)) formats.push_back(CF_BITMAP);
  if (index < 0 || index >= static_cast<int>(formats.size())) throw EListError(Format(SListIndexError, {index}));
  return formats[static_cast<std::size_t>(index)];
}

String TClipboard::AsText() const {
  std::vector<std::uint8_t> data;
  if (fPending && fPending->Changed) {
    for (const auto& f : fPending->Formats)
      if (f.Mime == kText) data = f.Data;
  } else {
    data = StoredData(kText);
  }
  return String(data.begin(), data.end());
}

void TClipboard::SetAsText(const String& text) {
  Open();
  fPending->Put(kText, std::vector<std::uint8_t>(text.begin(), text.end()));
  Close();
}

void TClipboard::Assign(const TPersistent* source) {
  if (!source) {
    Clear();
    return;
  }
  const TGraphic* graphic = dynamic_cast<const TGraphic*>(source);
  if (auto* picture = dynamic_cast<const TPicture*>(source)) graphic = picture->Graphic();
  if (!graphic && !dynamic_cast<const TPicture*>(source)) {
    TPersistent::Assign(source);
    return;
  }
  if (!graphic || graphic->Empty()) {
    Clear();
    return;
  }
  // Encode both before touching the clipboard, so that a failure leaves it as it was.
  const TPixelBuffer pixels = graphic->ToPixels();
  std::vector<std::uint8_t> bmp = EncodeBmp(pixels, pixels.HasAlpha() ? 32 : 24);
  std::vector<std::uint8_t> png;
  if (GraphicsBackend().CanEncode(TImageFormat::Png)) png = GraphicsBackend().EncodeImage(pixels, TImageFormat::Png);
  Open();
  if (!png.empty()) fPending->Put(kPng, std::move(png));
  fPending->Put(kBmp, std::move(bmp));
  Close();
}

void TClipboard::AssignTo(TPersistent* dest) const {
  auto* picture = dynamic_cast<TPicture*>(dest);
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (!picture && !bitmap) {
    TPersistent::AssignTo(dest);
    return;
  }
  auto data = [&](const char* mime) {
    if (fPending && fPending->Changed) {
      for (const auto& f : fPending->Formats)
        if (f.Mime == mime) return f.Data;
      return std::vector<std::uint8_t>{};
    }
    return StoredData(mime);
  };
  // Decode first: a picture that cannot be read leaves the destination as it was.
  TPixelBuffer pixels;
  bool found = false;
  if (GraphicsBackend().CanDecode(TImageFormat::Png)) {
    const std::vector<std::uint8_t> png = data(kPng);
    if (!png.empty()) {
      pixels = GraphicsBackend().DecodeImage(png, TImageFormat::Png);
      found = true;
    }
  }
  if (!found) {
    const std::vector<std::uint8_t> bmp = data(kBmp);
    if (bmp.empty()) throw EConvertError(Format(SAssignError, {ClassName(), dest->ClassName()}));
    pixels = DecodeBmp(bmp);
  }
  if (picture) bitmap = picture->Bitmap();
  bitmap->SetPixels(pixels);
}

TClipboard* Clipboard() {
  if (!Global()) Global() = std::make_unique<TClipboard>();
  return Global().get();
}

std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard) {
  std::swap(Global(), clipboard);
  return clipboard;
}

}  // namespace zv
