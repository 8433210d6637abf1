#include "platform/graphics/ImageList.h"

#include "platform/graphics/GraphicsConsts.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TCustomImageList, TComponent)
ZV_DEFINE_CLASS(TImageList, TCustomImageList)
ZV_DEFINE_CLASS(TChangeLink, TObject)

TChangeLink::~TChangeLink() {
  if (fSender) fSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(fSender);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
  Destroying();
  for (TChangeLink* link : fLinks) link->SetSender(nullptr);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link) return;
  if (link->Sender() && link->Sender() != this) link->Sender()->UnRegisterChanges(link);
  link->SetSender(this);
  if (std::find(fLinks.begin(), fLinks.end(), link) == fLinks.end()) fLinks.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  const auto it = std::find(fLinks.begin(), fLinks.end(), link);
  if (it == fLinks.end()) return;
  fLinks.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++fUpdateCount; }

void TCustomImageList::EndUpdate() {
  if (fUpdateCount == 0) return;
  if (--fUpdateCount == 0 && fChanged) Change();
}

void TCustomImageList::DeclareProperties(TPropTable<TCustomImageList>& t) {
  t.Prop("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Idents(ColorTypeInfo()).Default(clNone);
  t.Prop("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
  t.Prop("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
  t.Prop("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
}

void TCustomImageList::Change() {
  if (fUpdateCount > 0) {
    fChanged = true;
    return;
  }
  fChanged = false;
  // A listener may unregister itself or others while being told: each link still registered
  // when its turn comes hears the change once.
  const std::vector<TChangeLink*> links = fLinks;
  for (TChangeLink* link : links)
    if (std::find(fLinks.begin(), fLinks.end(), link) != fLinks.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::SetWidth(int width) {
  if (width <= 0 || width == fWidth) return;
  fWidth = width;
  Clear();
}

void TCustomImageList::SetHeight(int height) {
  if (height <= 0 || height == fHeight) return;
  fHeight = height;
  Clear();
}

void TCustomImageList::SetMasked(bool masked) {
  if (masked == fMasked) return;
  fMasked = masked;
  Change();
}

void TCustomImageList::SetBkColor(TColor color) {
  if (color == fBkColor) return;
  fBkColor = color;
  Change();
}

void TCustomImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidOperation(SImageIndexError);
}

const TPixelBuffer& TCustomImageList::Image(int index) const {
  CheckIndex(index);
  return fImages[static_cast<std::size_t>(index)];
}

int TCustomImageList::AddPixels(const TPixelBuffer& pixels) {
  const int first = Count();
  const int pieces = std::max(1, pixels.Width() / fWidth);
  for (int i = 0; i < pieces; ++i) {
    TPixelBuffer image(fWidth, fHeight, 0);
    for (int y = 0; y < std::min(fHeight, pixels.Height()); ++y)
      for (int x = 0; x < fWidth && i * fWidth + x < pixels.Width(); ++x) image.Set(x, y, pixels.At(i * fWidth + x, y));
    fImages.push_back(std::move(image));
  }
  Change();
  return first;
}

namespace {
// Applies a monochrome mask (white = transparent) as alpha.
TPixelBuffer WithMask(TPixelBuffer pixels, TBitmap* mask) {
  if (!mask || mask->Empty()) return pixels;
  const TPixelBuffer m = mask->ToPixels();
  for (int y = 0; y < pixels.Height(); ++y)
    for (int x = 0; x < pixels.Width(); ++x) {
      const TPixel p = m.At(x, y);
      const int luminance = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
      if (luminance >= 3 * 128) pixels.Set(x, y, pixels.At(x, y) & 0xFFFFFFu);
    }
  return pixels;
}
}  // namespace

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image) return -1;
  return AddPixels(WithMask(image->ToPixels(), mask));
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image) return -1;
  if (maskColor == clDefault) maskColor = image->TransparentColor();
  TPixelBuffer pixels = image->ToPixels();
  const TPixel key = ColorToPixel(ColorToRGB(maskColor)) & 0xFFFFFFu;
  for (TPixel& p : pixels.Data())
    if ((p & 0xFFFFFFu) == key) p &= 0xFFFFFFu;
  return AddPixels(pixels);
}

void TCustomImageList::Delete(int index) {
  CheckIndex(index);
  fImages.erase(fImages.begin() + index);
  Change();
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  if (!image) return;
  const int added = Add(image, mask);
  fImages[static_cast<std::size_t>(index)] = std::move(fImages[static_cast<std::size_t>(added)]);
  fImages.resize(static_cast<std::size_t>(added));
  Change();
}

void TCustomImageList::Clear() {
  fImages.clear();
  Change();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image || index < 0 || index >= Count()) return false;
  const TPixel back = ColorToPixel(ColorToRGB(fBkColor == clNone ? clBtnFace : fBkColor));
  TPixelBuffer pixels = fImages[static_cast<std::size_t>(index)];
  for (TPixel& p : pixels.Data()) p = BlendOver(p, back);
  image->SetPixels(pixels);
  return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || index < 0 || index >= Count()) return;
  TPaintDevice& d = canvas->Handle();
  const TRect cell = canvas->ToDevice(Bounds(x, y, fWidth, fHeight));
  if (fBkColor != clNone) d.FillRect(cell, {ColorToRGB(fBkColor), bsSolid});
  TPixelBuffer pixels = fImages[static_cast<std::size_t>(index)];
  if (!fMasked)
    for (TPixel& p : pixels.Data()) p |= 0xFF000000u;
  if (enabled) {
    d.DrawImage(cell, pixels, pixels.BoundsRect());
    return;
  }
  // Disabled: the image's shape only, embossed.
  auto shape = [&](TColor color) {
    TPixelBuffer s = pixels;
    const TPixel c = ColorToPixel(ColorToRGB(color)) & 0xFFFFFFu;
    for (TPixel& p : s.Data()) p = (p >> 24) >= 128 ? (0xFF000000u | c) : 0;
    return s;
  };
  TRect shifted = cell;
  OffsetRect(shifted, 1, 1);
  const TPixelBuffer highlight = shape(clBtnHighlight), shadow = shape(clBtnShadow);
  d.DrawImage(shifted, highlight, highlight.BoundsRect());
  d.DrawImage(cell, shadow, shadow.BoundsRect());
}

}  // namespace zv
