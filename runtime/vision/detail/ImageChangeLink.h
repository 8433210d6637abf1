#pragma once
// Tells its owner when an image list changes. Image lists announce changes through their one
// OnChange event only, so every link to a list shares one dispatcher installed there: it calls
// the handler the list had before, then each link. The last link to leave puts the old handler
// back. A list that is being destroyed is only forgotten, never touched.
//
// Several visions may share one list; a handler assigned to the list's OnChange while links
// are attached replaces the dispatcher (the links then stop hearing changes).

#include <functional>

namespace zv {
class TCustomImageList;
}

namespace zv::detail {

class TvpImageChangeLink {
public:
  explicit TvpImageChangeLink(std::function<void()> onChange) : fOnChange(std::move(onChange)) {}
  ~TvpImageChangeLink() { SetImages(nullptr); }
  TvpImageChangeLink(const TvpImageChangeLink&) = delete;
  TvpImageChangeLink& operator=(const TvpImageChangeLink&) = delete;

  TCustomImageList* Images() const { return fImages; }
  void SetImages(TCustomImageList* images);
  // The list is being destroyed: drop it without calling into it.
  void Forget();

private:
  friend struct ImageLinkRegistry;
  void Detach(bool restoreHandler);

  std::function<void()> fOnChange;
  TCustomImageList* fImages = nullptr;
};

}  // namespace zv::detail
