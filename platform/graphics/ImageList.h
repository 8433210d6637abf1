#pragma once
// TCustomImageList: equally sized images drawn by index (toolbar glyphs, grid indicators).
// Images keep their transparency as alpha: a mask's white pixels, or the pixels of the mask
// colour, are transparent. Changing Width or Height clears the list, as on the host.

#include "platform/classes/Component.h"
#include "platform/graphics/Bitmap.h"

#include <vector>

namespace zv {

class TCustomImageList;

// A listener of one image list: any number of controls follow a shared list, each through its
// own link. A link freed while registered leaves its list; a list freed first clears Sender.
class TChangeLink : public TObject {
  ZV_CLASS(TChangeLink, TObject)

public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;

  TCustomImageList* Sender() const { return fSender; }
  void SetSender(TCustomImageList* sender) { fSender = sender; }
  virtual void Change();

  TNotifyEvent OnChange;

private:
  TCustomImageList* fSender = nullptr;
};

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

  // Every registered link hears each change, in registration order and before OnChange;
  // registering twice is once. A link is unregistered by
  // the list when either of them goes.
  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  // Changes made between BeginUpdate and the matching EndUpdate are told once, at the end.
  void BeginUpdate();
  void EndUpdate();

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
  std::vector<TChangeLink*> fLinks;
  int fUpdateCount = 0;
  bool fChanged = false;
};

class TImageList : public TCustomImageList {
  ZV_CLASS(TImageList, TCustomImageList)
public:
  using TCustomImageList::TCustomImageList;
};

}  // namespace zv
