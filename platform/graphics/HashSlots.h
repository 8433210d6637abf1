#pragma once
// An index from 64-bit hashes to small values, held in one flat array (open addressing, linear
// probing, erasing by shifting the probe chain back). The text caches look up and drop entries
// on every new text while scrolling through thousands of them: a node-based map walks cold nodes
// there (a find reads the bucket and a node, an erase the node before it and the bucket of the
// one after), while a slot and its neighbours here share a cache line or two.
//
// One value per hash: the caches keep at most one entry per hash and compare their whole key on
// a hit. Hash 0 marks an empty slot and is stored as 1; the two share a value, which a cache that
// compares keys treats as the collision it already handles.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace zv {

template <class V>
class THashSlots {
public:
  V* Find(std::uint64_t hash) {
    if (fSlots.empty()) return nullptr;
    hash = Stored(hash);
    for (std::size_t i = Home(hash);; i = (i + 1) & fMask) {
      if (fSlots[i].Hash == hash) return &fSlots[i].Value;
      if (fSlots[i].Hash == 0) return nullptr;
    }
  }

  // Adds the hash or replaces its value.
  void Set(std::uint64_t hash, V value) {
    if ((fCount + 1) * 4 > fSlots.size() * 3) Grow();
    hash = Stored(hash);
    std::size_t i = Home(hash);
    while (fSlots[i].Hash != 0 && fSlots[i].Hash != hash) i = (i + 1) & fMask;
    if (fSlots[i].Hash == 0) ++fCount;
    fSlots[i] = {hash, std::move(value)};
  }

  bool Erase(std::uint64_t hash) {
    if (fSlots.empty()) return false;
    hash = Stored(hash);
    std::size_t hole = Home(hash);
    while (fSlots[hole].Hash != hash) {
      if (fSlots[hole].Hash == 0) return false;
      hole = (hole + 1) & fMask;
    }
    // Later slots of the chain whose home lies at or before the hole move into it, so that
    // every lookup still meets its hash before an empty slot.
    for (std::size_t j = (hole + 1) & fMask; fSlots[j].Hash != 0; j = (j + 1) & fMask) {
      const std::size_t home = Home(fSlots[j].Hash);
      if (((j - home) & fMask) >= ((j - hole) & fMask)) {
        fSlots[hole] = std::move(fSlots[j]);
        hole = j;
      }
    }
    fSlots[hole] = {};
    --fCount;
    return true;
  }

  // Keeps the slots: a cache emptied fills up again to about its former size.
  void Clear() {
    if (fCount == 0) return;
    std::fill(fSlots.begin(), fSlots.end(), TSlot{});
    fCount = 0;
  }

  std::size_t Size() const { return fCount; }

private:
  struct TSlot {
    std::uint64_t Hash = 0;
    V Value{};
  };

  static std::uint64_t Stored(std::uint64_t hash) { return hash ? hash : 1; }
  // The high bits of a multiplied hash: hashes that differ only in their high bits (a pointer
  // mixed into a text's hash) still spread.
  std::size_t Home(std::uint64_t hash) const {
    return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ull) >> fShift) & fMask;
  }

  void Grow() {
    std::vector<TSlot> old = std::move(fSlots);
    const std::size_t size = old.empty() ? 16 : old.size() * 2;
    fSlots.assign(size, TSlot{});
    fMask = size - 1;
    fShift = 64;
    for (std::size_t s = size; s > 1; s >>= 1) --fShift;
    fCount = 0;
    for (TSlot& slot : old)
      if (slot.Hash != 0) {
        std::size_t i = Home(slot.Hash);
        while (fSlots[i].Hash != 0) i = (i + 1) & fMask;
        fSlots[i] = std::move(slot);
        ++fCount;
      }
  }

  std::vector<TSlot> fSlots;
  std::size_t fMask = 0;
  int fShift = 64;
  std::size_t fCount = 0;
};

}  // namespace zv
