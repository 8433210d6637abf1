#include "runtime/rtm/VpList.h"

#include "runtime/rtm/ZvErrors.h"

namespace zv {

ZV_DEFINE_CLASS(TvpList, TList)

TvpList::~TvpList() { Clear(); }

void TvpList::CheckCanOwn(const void* item) const {
  if (item && fOwnsItems && !fItemsAreObjects && !ItemDeleter) throw EZVError(SEListCannotFreeItem);
}

int TvpList::Add(void* item) {
  CheckCanOwn(item);
  return TList::Add(item);
}

void TvpList::Insert(int index, void* item) {
  CheckCanOwn(item);
  TList::Insert(index, item);
}

void TvpList::SetItems(int index, void* item) {
  CheckCanOwn(item);
  TList::SetItems(index, item);
}

// The base list calls this after the slot is gone, so an item's destructor never sees itself
// still listed.
void TvpList::Notify(void* ptr, TListNotification action) {
  if (action != lnDeleted || !fOwnsItems) return;
  if (fItemsAreObjects)
    delete static_cast<TObject*>(ptr);
  else if (ItemDeleter)
    ItemDeleter(ptr);
  // Otherwise the item reached the list around the checks above (through a TList reference, or
  // the flags changed after adding); it is left to whoever allocated it.
}

}  // namespace zv
