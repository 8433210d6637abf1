#pragma once
// TList: the host's list of untyped pointers, with its growth policy, index checks and the
// Notify hook that owning descendants use. New code prefers a typed std::vector; TList is here
// for the component model and for code written against the host.

#include <climits>
#include <functional>
#include <vector>

#include "platform/classes/Object.h"

namespace zv {

// The host's ceiling on a list's count and capacity.
inline constexpr int MaxListSize = INT_MAX / 16;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// <0 when item1 sorts before item2, 0 when equal, >0 after.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

class TList : public TObject {
  ZV_CLASS(TList, TObject)

public:
  TList() = default;
  // Clears without calling descendants' Notify; a descendant that frees its items in Notify
  // clears itself in its own destructor.
  ~TList() override;

  // Index errors raise EListError "List index out of bounds (n)".
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Index of the removed item, -1 when absent.
  int Remove(void* item);
  // Removes the item without freeing it (Notify gets lnExtracted); null when absent.
  void* Extract(void* item);
  int IndexOf(const void* item) const;
  // Empties the list and releases its capacity.
  virtual void Clear();
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  // Removes the null items.
  void Pack();
  void Sort(const TListSortCompare& compare);
  // Grows the capacity when the list is full.
  TList* Expand();

  void* First() const { return Items(0); }
  void* Last() const { return Items(fCount - 1); }

  int Count() const { return fCount; }
  // Growing appends nulls; shrinking deletes from the end. EListError outside 0..MaxListSize.
  void SetCount(int count);
  int Capacity() const { return static_cast<int>(fList.size()); }
  // EListError below Count or above MaxListSize.
  void SetCapacity(int capacity);
  void* Items(int index) const;
  void SetItems(int index, void* item);

  [[noreturn]] static void Error(const char* message, int data);

protected:
  // Called after an item enters or leaves the list (never for null items).
  virtual void Notify(void* ptr, TListNotification action);
  virtual void Grow();

private:
  void CheckIndex(int index) const;

  std::vector<void*> fList;  // one slot per unit of capacity; slots past fCount are null
  int fCount = 0;
};

namespace detail {
// The host's in-place quicksort on indices [lo, hi]: compare(i, p) compares the items at i and
// p, exchange(i, j) swaps them, so that a comparison may look at the list as it stands. Scans
// stay inside the range even when the comparison is inconsistent; recursion goes into the
// smaller part, so the depth stays logarithmic.
template <class Compare, class Exchange>
void QuickSortIndices(int lo, int hi, const Compare& compare, const Exchange& exchange) {
  while (lo < hi) {
    int i = lo, j = hi, p = lo + (hi - lo) / 2;
    do {
      while (i < hi && compare(i, p) < 0) ++i;
      while (j > lo && compare(j, p) > 0) --j;
      if (i <= j) {
        if (i != j) {
          exchange(i, j);
          if (p == i) p = j;
          else if (p == j) p = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      QuickSortIndices(lo, j, compare, exchange);
      lo = i;
    } else {
      QuickSortIndices(i, hi, compare, exchange);
      hi = j;
    }
  }
}
}  // namespace detail

// A TList of T*: the same storage with typed access.
template <class T>
class TListOf : public TList {
public:
  int Add(T* item) { return TList::Add(item); }
  void Insert(int index, T* item) { TList::Insert(index, item); }
  int IndexOf(const T* item) const { return TList::IndexOf(item); }
  int Remove(T* item) { return TList::Remove(item); }
  T* Extract(T* item) { return static_cast<T*>(TList::Extract(item)); }
  T* Items(int index) const { return static_cast<T*>(TList::Items(index)); }
  void SetItems(int index, T* item) { TList::SetItems(index, item); }
  T* First() const { return Items(0); }
  T* Last() const { return Items(Count() - 1); }
};

// A TListOf<T> that, when OwnsObjects, destroys the items it deletes, clears or replaces (not
// those it extracts).
template <class T>
class TObjectListOf : public TListOf<T> {
public:
  explicit TObjectListOf(bool ownsObjects = true) : fOwnsObjects(ownsObjects) {}
  ~TObjectListOf() override { this->Clear(); }
  bool OwnsObjects() const { return fOwnsObjects; }
  void SetOwnsObjects(bool value) { fOwnsObjects = value; }

protected:
  void Notify(void* ptr, TListNotification action) override {
    if (fOwnsObjects && action == lnDeleted) delete static_cast<T*>(ptr);
  }

private:
  bool fOwnsObjects;
};

}  // namespace zv
