#pragma once
// TvpList: a pointer list that may own its items. Objects are destroyed through their virtual
// destructor; items that are not objects are freed by ItemDeleter, because raw memory of an
// unknown kind cannot be freed safely. An owning list without a deleter therefore refuses
// non-object items (EZVError) instead of leaking or freeing them wrongly.

#include "platform/classes/Lists.h"

#include <functional>

namespace zv {

inline constexpr const char SEListCannotFreeItem[] =
    "The list owns its items but has no way to free an item that is not an object";

class TvpList : public TList {
  ZV_CLASS(TvpList, TList)

public:
  TvpList() = default;
  ~TvpList() override;  // clears, freeing what it owns

  // Delete, Clear, SetCount and SetItems free the items they drop while this is true; Extract
  // never frees.
  bool OwnsItems() const { return fOwnsItems; }
  void SetOwnsItems(bool value) { fOwnsItems = value; }
  bool ItemsAreObjects() const { return fItemsAreObjects; }
  void SetItemsAreObjects(bool value) { fItemsAreObjects = value; }
  // Frees an owned item that is not an object.
  std::function<void(void*)> ItemDeleter;

  // These raise EZVError SEListCannotFreeItem for a non-null item the list would own but could
  // not free; the list is left unchanged.
  int Add(void* item);
  void Insert(int index, void* item);
  void SetItems(int index, void* item);

protected:
  void Notify(void* ptr, TListNotification action) override;

private:
  void CheckCanOwn(const void* item) const;

  bool fOwnsItems = true;
  bool fItemsAreObjects = false;
};

}  // namespace zv
