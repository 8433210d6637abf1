#include "platform/classes/Lists.h"

#include <algorithm>

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS(TList, TObject)

TList::~TList() = default;

void TList::Error(const char* message, int data) { throw EListError(Format(message, {data})); }

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= fCount) Error(SListIndexError, index);
}

void TList::Notify(void*, TListNotification) {}

// The host's steps: small lists grow by 4, then 16, then by a quarter.
void TList::Grow() {
  const int capacity = Capacity();
  const int delta = capacity > 64 ? capacity / 4 : capacity > 8 ? 16 : 4;
  SetCapacity(capacity > MaxListSize - delta ? MaxListSize + 1 : capacity + delta);
}

TList* TList::Expand() {
  if (fCount == Capacity()) Grow();
  return this;
}

void TList::SetCapacity(int capacity) {
  if (capacity < fCount || capacity > MaxListSize) Error(SListCapacityError, capacity);
  fList.resize(static_cast<std::size_t>(capacity), nullptr);
}

void TList::SetCount(int count) {
  if (count < 0 || count > MaxListSize) Error(SListCountError, count);
  if (count > Capacity()) SetCapacity(count);
  if (count >= fCount) {
    fCount = count;  // the new slots are already null
    return;
  }
  for (int i = fCount - 1; i >= count; --i) Delete(i);
}

int TList::Add(void* item) {
  const int index = fCount;
  if (index == Capacity()) Grow();
  fList[static_cast<std::size_t>(index)] = item;
  ++fCount;
  if (item) Notify(item, lnAdded);
  return index;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > fCount) Error(SListIndexError, index);
  if (fCount == Capacity()) Grow();
  const auto first = fList.begin() + index;
  std::move_backward(first, fList.begin() + fCount, fList.begin() + fCount + 1);
  *first = item;
  ++fCount;
  if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = fList[static_cast<std::size_t>(index)];
  std::move(fList.begin() + index + 1, fList.begin() + fCount, fList.begin() + index);
  --fCount;
  fList[static_cast<std::size_t>(fCount)] = nullptr;
  if (item) Notify(item, lnDeleted);
}

int TList::IndexOf(const void* item) const {
  const auto end = fList.begin() + fCount;
  const auto it = std::find(fList.begin(), end, item);
  return it == end ? -1 : static_cast<int>(it - fList.begin());
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  fList[static_cast<std::size_t>(index)] = nullptr;  // so that Delete does not report lnDeleted
  Delete(index);
  if (item) Notify(item, lnExtracted);
  return item;
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void* TList::Items(int index) const {
  CheckIndex(index);
  return fList[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item) {
  CheckIndex(index);
  void*& slot = fList[static_cast<std::size_t>(index)];
  if (slot == item) return;
  void* old = slot;
  slot = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(fList[static_cast<std::size_t>(index1)], fList[static_cast<std::size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(newIndex);
  CheckIndex(curIndex);
  const auto base = fList.begin();
  if (curIndex < newIndex)
    std::rotate(base + curIndex, base + curIndex + 1, base + newIndex + 1);
  else
    std::rotate(base + newIndex, base + curIndex, base + curIndex + 1);
}

void TList::Pack() {
  const auto end = fList.begin() + fCount;
  const auto kept = std::remove(fList.begin(), end, nullptr);
  std::fill(kept, end, nullptr);
  fCount = static_cast<int>(kept - fList.begin());
}

void TList::Sort(const TListSortCompare& compare) {
  if (fCount < 2) return;
  detail::QuickSortIndices(
      0, fCount - 1,
      [&](int i, int p) { return compare(fList[static_cast<std::size_t>(i)], fList[static_cast<std::size_t>(p)]); },
      [&](int i, int j) { std::swap(fList[static_cast<std::size_t>(i)], fList[static_cast<std::size_t>(j)]); });
}

}  // namespace zv
