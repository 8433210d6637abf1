#pragma once
// Bookmark -> storage row of a quick record set: an open-addressing hash table (linear
// probing, 8 bytes a slot, at most half full). Appending a record adds one entry; anything that
// shifts storage rows (insert, delete, move) invalidates the table, which is rebuilt in O(n) on
// the next look-up: those changes cost O(n) already.

#include <cstdint>
#include <span>
#include <vector>

namespace zv::qrsdetail {

class TQrsBookmarkIndex {
public:
  // Bookmarks are never 0: 0 marks an empty slot.
  void Invalidate() {
    fValid = false;
    fSlots.clear();
    fSlots.shrink_to_fit();
    fSize = 0;
  }
  bool Valid() const { return fValid; }

  void Rebuild(std::span<const std::uint32_t> bookmarks) {
    fSlots.assign(CapacityFor(bookmarks.size()), Slot{});
    fSize = 0;
    for (std::size_t row = 0; row < bookmarks.size(); ++row) Put(bookmarks[row], static_cast<std::int32_t>(row));
    fValid = true;
  }

  // Appends an entry when the table is valid (an invalid one is rebuilt later anyway).
  void Add(std::uint32_t bookmark, std::int32_t row) {
    if (!fValid) return;
    if ((fSize + 1) * 2 > fSlots.size()) {
      std::vector<Slot> old = std::move(fSlots);
      fSlots.assign(CapacityFor(fSize + 1), Slot{});
      fSize = 0;
      for (const Slot& s : old)
        if (s.Key) Put(s.Key, s.Row);
    }
    Put(bookmark, row);
  }

  // The storage row, or -1.
  std::int32_t Find(std::uint32_t bookmark) const {
    if (fSlots.empty() || bookmark == 0) return -1;
    const std::size_t mask = fSlots.size() - 1;
    for (std::size_t i = Hash(bookmark) & mask;; i = (i + 1) & mask) {
      if (fSlots[i].Key == bookmark) return fSlots[i].Row;
      if (fSlots[i].Key == 0) return -1;
    }
  }

private:
  struct Slot {
    std::uint32_t Key = 0;
    std::int32_t Row = 0;
  };

  static std::size_t CapacityFor(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count * 2 + 2) capacity *= 2;
    return capacity;
  }
  // Bookmarks are consecutive numbers: a multiplicative hash spreads them over the table.
  static std::size_t Hash(std::uint32_t key) { return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20); }

  void Put(std::uint32_t key, std::int32_t row) {
    const std::size_t mask = fSlots.size() - 1;
    std::size_t i = Hash(key) & mask;
    while (fSlots[i].Key != 0 && fSlots[i].Key != key) i = (i + 1) & mask;
    if (fSlots[i].Key == 0) ++fSize;
    fSlots[i] = Slot{key, row};
  }

  std::vector<Slot> fSlots;
  std::size_t fSize = 0;
  bool fValid = false;
};

}  // namespace zv::qrsdetail
