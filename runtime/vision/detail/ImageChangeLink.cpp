#include "runtime/vision/detail/ImageChangeLink.h"

#include "platform/graphics/ImageList.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace zv::detail {

struct ImageLinkRegistry {
  struct Entry {
    TNotifyEvent Previous;  // the list's own handler before the first link
    std::vector<TvpImageChangeLink*> Links;
  };
  // Never destroyed: visions held by globals may detach after static destruction began.
  static std::unordered_map<TCustomImageList*, Entry>& Entries() {
    static auto* entries = new std::unordered_map<TCustomImageList*, Entry>();
    return *entries;
  }

  static void Changed(TCustomImageList* list, TObject* sender) {
    auto it = Entries().find(list);
    if (it == Entries().end()) return;
    if (it->second.Previous) it->second.Previous(sender);
    // A handler may attach or detach links: call those present at the start and still there.
    const std::vector<TvpImageChangeLink*> snapshot = Entries()[list].Links;
    for (TvpImageChangeLink* link : snapshot) {
      auto now = Entries().find(list);
      if (now == Entries().end()) return;
      const auto& links = now->second.Links;
      if (std::find(links.begin(), links.end(), link) != links.end() && link->fOnChange) link->fOnChange();
    }
  }
};

void TvpImageChangeLink::SetImages(TCustomImageList* images) {
  if (images == fImages) return;
  Detach(true);
  if (!images) return;
  auto& entries = ImageLinkRegistry::Entries();
  auto [it, inserted] = entries.try_emplace(images);
  if (inserted) {
    it->second.Previous = std::move(images->OnChange);
    images->OnChange = [images](TObject* sender) { ImageLinkRegistry::Changed(images, sender); };
  }
  it->second.Links.push_back(this);
  fImages = images;
}

void TvpImageChangeLink::Forget() { Detach(false); }

void TvpImageChangeLink::Detach(bool restoreHandler) {
  if (!fImages) return;
  auto& entries = ImageLinkRegistry::Entries();
  auto it = entries.find(fImages);
  if (it != entries.end()) {
    auto& links = it->second.Links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    if (!restoreHandler) {
      // The list is going away: no link may reach it any more.
      for (TvpImageChangeLink* other : links) other->fImages = nullptr;
      entries.erase(it);
    } else if (links.empty()) {
      fImages->OnChange = std::move(it->second.Previous);
      entries.erase(it);
    }
  }
  fImages = nullptr;
}

}  // namespace zv::detail
