#pragma once
// TCustomImageList: equally sized images drawn by index (toolbar glyphs, grid indicators).
// Images keep their transparency as alpha: a mask's white pixels, or the pixels of the mask
// colour, are transparent. Changing Width or Height clears the list, as on the host.

#include "platform/classes/Component.h"
#include "platform/graphics/Bitmap.h"

#include <vector>

namespace zv {

class TCustomImageList : public TComponent {
  ZV_CLASS(TCustomImageList, TComponent)

public:
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  int Width() const { return fWidth; }
  void SetWidth(int width);
  int Height() const { return fHeight; }
  void SetHeight(int height);
  int Count() const { return static_cast<int>(fImages.size()); }
  // Unmasked lists draw their images opaque.
  bool Masked() const { return fMasked; }
  void SetMasked(bool masked);
  // Fills each drawn image's cell first unless clNone.
  TColor BkColor() const { return fBkColor; }
  void SetBkColor(TColor color);

  // Adds image, cut into Width-wide images when it is wider; mask (optional) is monochrome,
  // white for transparent. Returns the index of the first image added.
  int Add(TBitmap* image, TBitmap* mask);
  // As Add, the pixels of maskColor transparent (clDefault: the image's TransparentColor).
  int AddMasked(TBitmap* image, TColor maskColor);
  // EInvalidOperation "Invalid ImageList Index" for a bad index.
  void Delete(int index);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void Clear();
  // Copies an image into bitmap (transparent pixels as BkColor, or clBtnFace); false for a bad index.
  bool GetBitmap(int index, TBitmap* image);
  // A bad index draws nothing. Disabled images are drawn embossed (highlight offset by one
  // pixel under shadow), as the host does.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  const TPixelBuffer& Image(int index) const;

  TNotifyEvent OnChange;

  static void DeclareProperties(TPropTable<TCustomImageList>& t);

protected:
  virtual void Change();

private:
  int AddPixels(const TPixelBuffer& pixels);
  void CheckIndex(int index) const;

  int fWidth = 16;
  int fHeight = 16;
  bool fMasked = true;
  TColor fBkColor = clNone;
  std::vector<TPixelBuffer> fImages;
};

class TImageList : public TCustomImageList {
  ZV_CLASS(TImageList, TCustomImageList)
public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace zv
