#pragma once
// What a TBookmarkSet holds. Integer bookmarks (rowids, a memory table's identities, a query's
// positions) go into a set of numbers kept as intervals or as a bitmap, whichever is smaller, so
// that a million consecutive rowids cost one interval; any other bookmark goes into a hashed set
// of its bytes.

#include "platform/db/DBTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <unordered_set>
#include <vector>

namespace zv::detail {

class TNumberSet {
public:
  bool Contains(std::int64_t n) const;
  // Whether n was new.
  bool Add(std::int64_t n);
  void AddRange(std::int64_t first, std::int64_t last);
  bool Remove(std::int64_t n);
  std::int64_t Count() const { return fCount; }
  void Clear();
  // Ascending runs of consecutive members.
  void EachRun(const std::function<void(std::int64_t first, std::int64_t last)>& f) const;
  bool IsBitmap() const { return fBitmap; }
  std::size_t RunCount() const;
  std::size_t MemoryBytes() const;

private:
  // A map node's cost in the interval form, near enough to compare the two forms.
  static constexpr std::size_t RunBytes = 48;
  void Reform();
  void ToBitmap();
  void ToIntervals();
  bool BitTest(std::int64_t n) const;
  void BitGrow(std::int64_t first, std::int64_t last);

  std::map<std::int64_t, std::int64_t> fRuns;  // first -> last, disjoint, not adjacent
  bool fBitmap = false;
  std::int64_t fBase = 0;              // the number of bit 0
  std::vector<std::uint64_t> fBits;
  std::int64_t fCount = 0;
};

struct TBookmarkSetData {
  TNumberSet Numbers;
  std::unordered_set<TBookmarkStr> Bytes;
  std::int64_t Epoch = 0;  // the dataset's, when the set was last filled
  bool EpochKnown = false;
};

}  // namespace zv::detail
