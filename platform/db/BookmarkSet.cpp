#include "platform/db/BookmarkSet.h"

#include "platform/db/DataSet.h"
#include "platform/db/detail/BookmarkSetData.h"
#include "platform/db/detail/DataSetInternal.h"

#include <algorithm>
#include <bit>

namespace zv {

// ---------------------------------------------------------------------------------------------
// Numbers: runs or a bitmap

namespace detail {

bool TNumberSet::BitTest(std::int64_t n) const {
  if (n < fBase) return false;
  const auto offset = static_cast<std::uint64_t>(n - fBase);
  const std::size_t word = offset / 64;
  return word < fBits.size() && (fBits[word] >> (offset % 64) & 1u);
}

bool TNumberSet::Contains(std::int64_t n) const {
  if (fBitmap) return BitTest(n);
  auto it = fRuns.upper_bound(n);
  if (it == fRuns.begin()) return false;
  --it;
  return n <= it->second;
}

// Makes room in the bitmap for first..last, moving the base down when needed.
void TNumberSet::BitGrow(std::int64_t first, std::int64_t last) {
  if (fBits.empty()) fBase = first & ~std::int64_t{63};
  if (first < fBase) {
    const std::int64_t newBase = first & ~std::int64_t{63};
    const auto shiftWords = static_cast<std::size_t>((fBase - newBase) / 64);
    fBits.insert(fBits.begin(), shiftWords, 0);
    fBase = newBase;
  }
  const auto words = static_cast<std::size_t>((last - fBase) / 64 + 1);
  if (words > fBits.size()) fBits.resize(words, 0);
}

bool TNumberSet::Add(std::int64_t n) {
  if (Contains(n)) return false;
  AddRange(n, n);
  return true;
}

void TNumberSet::AddRange(std::int64_t first, std::int64_t last) {
  if (first > last) std::swap(first, last);
  if (fBitmap) {
    BitGrow(first, last);
    for (std::int64_t n = first; n <= last; ++n) {
      const auto offset = static_cast<std::uint64_t>(n - fBase);
      std::uint64_t& word = fBits[offset / 64];
      const std::uint64_t bit = std::uint64_t{1} << (offset % 64);
      if (!(word & bit)) {
        word |= bit;
        ++fCount;
      }
    }
  } else {
    // Merges with every run that overlaps or touches first..last.
    std::int64_t lo = first, hi = last;
    auto it = fRuns.upper_bound(first);
    if (it != fRuns.begin()) {
      auto before = std::prev(it);
      if (before->second >= first - 1 || first == INT64_MIN) it = before;
    }
    while (it != fRuns.end() && (last == INT64_MAX || it->first <= last + 1)) {
      lo = std::min(lo, it->first);
      hi = std::max(hi, it->second);
      fCount -= it->second - it->first + 1;
      it = fRuns.erase(it);
    }
    fRuns.emplace(lo, hi);
    fCount += hi - lo + 1;
  }
  Reform();
}

bool TNumberSet::Remove(std::int64_t n) {
  if (!Contains(n)) return false;
  --fCount;
  if (fBitmap) {
    const auto offset = static_cast<std::uint64_t>(n - fBase);
    fBits[offset / 64] &= ~(std::uint64_t{1} << (offset % 64));
  } else {
    auto it = std::prev(fRuns.upper_bound(n));
    const std::int64_t lo = it->first, hi = it->second;
    fRuns.erase(it);
    if (lo < n) fRuns.emplace(lo, n - 1);
    if (n < hi) fRuns.emplace(n + 1, hi);
  }
  Reform();
  return true;
}

void TNumberSet::Clear() {
  fRuns.clear();
  fBits.clear();
  fBitmap = false;
  fBase = 0;
  fCount = 0;
}

void TNumberSet::EachRun(const std::function<void(std::int64_t, std::int64_t)>& f) const {
  if (!fBitmap) {
    for (const auto& [lo, hi] : fRuns) f(lo, hi);
    return;
  }
  bool open = false;
  std::int64_t start = 0;
  for (std::size_t w = 0; w < fBits.size(); ++w) {
    const std::uint64_t word = fBits[w];
    if ((word == 0 && !open) || (word == ~std::uint64_t{0} && open)) continue;
    for (int b = 0; b < 64; ++b) {
      const bool set = word >> b & 1u;
      const std::int64_t n = fBase + static_cast<std::int64_t>(w * 64) + b;
      if (set && !open) {
        open = true;
        start = n;
      } else if (!set && open) {
        open = false;
        f(start, n - 1);
      }
    }
  }
  if (open) f(start, fBase + static_cast<std::int64_t>(fBits.size() * 64) - 1);
}

std::size_t TNumberSet::RunCount() const {
  if (!fBitmap) return fRuns.size();
  std::size_t runs = 0;
  EachRun([&](std::int64_t, std::int64_t) { ++runs; });
  return runs;
}

std::size_t TNumberSet::MemoryBytes() const {
  return fBitmap ? fBits.capacity() * sizeof(std::uint64_t) : fRuns.size() * RunBytes;
}

// Keeps whichever form is smaller, with a margin either way so that a set on the edge does not
// change form at every addition. The bitmap's runs are counted only when it may be worth leaving.
void TNumberSet::Reform() {
  if (!fBitmap) {
    if (fRuns.size() < 64) return;
    const std::int64_t span = std::prev(fRuns.end())->second - fRuns.begin()->first + 1;
    if (static_cast<std::uint64_t>(span) / 8 * 2 < fRuns.size() * RunBytes) ToBitmap();
    return;
  }
  if (fCount == 0) {
    Clear();
    return;
  }
  // Few members in a wide bitmap: runs are surely smaller.
  if (static_cast<std::uint64_t>(fCount) * RunBytes * 2 < fBits.size() * 8) ToIntervals();
}

void TNumberSet::ToBitmap() {
  std::map<std::int64_t, std::int64_t> runs;
  runs.swap(fRuns);
  fBits.clear();
  fBitmap = true;
  BitGrow(runs.begin()->first, std::prev(runs.end())->second);
  fCount = 0;
  for (const auto& [lo, hi] : runs)
    for (std::int64_t n = lo; n <= hi; ++n) {
      const auto offset = static_cast<std::uint64_t>(n - fBase);
      fBits[offset / 64] |= std::uint64_t{1} << (offset % 64);
      ++fCount;
    }
}

void TNumberSet::ToIntervals() {
  std::map<std::int64_t, std::int64_t> runs;
  EachRun([&](std::int64_t lo, std::int64_t hi) { runs.emplace(lo, hi); });
  fBits.clear();
  fBits.shrink_to_fit();
  fBitmap = false;
  fRuns.swap(runs);
}

}  // namespace detail

// ---------------------------------------------------------------------------------------------
// The set

TBookmarkSet::TBookmarkSet(TDataSet& dataSet) : fDataSet(&dataSet), d(std::make_unique<detail::TBookmarkSetData>()) {}
TBookmarkSet::~TBookmarkSet() = default;

void TBookmarkSet::Sync() const {
  const std::int64_t epoch = fDataSet->BookmarkEpoch();
  if (d->EpochKnown && epoch == d->Epoch) return;
  if (d->EpochKnown) {
    d->Numbers.Clear();
    d->Bytes.clear();
  }
  d->Epoch = epoch;
  d->EpochKnown = true;
}

bool TBookmarkSet::Contains(const TBookmarkStr& bookmark) const {
  Sync();
  std::int64_t n = 0;
  if (fDataSet->BookmarkNumber(bookmark, n)) return d->Numbers.Contains(n);
  return d->Bytes.contains(bookmark);
}

std::int64_t TBookmarkSet::Count() const {
  Sync();
  return d->Numbers.Count() + static_cast<std::int64_t>(d->Bytes.size());
}

bool TBookmarkSet::Add(const TBookmarkStr& bookmark) {
  if (bookmark.empty()) return false;
  Sync();
  std::int64_t n = 0;
  if (fDataSet->BookmarkNumber(bookmark, n)) return d->Numbers.Add(n);
  return d->Bytes.insert(bookmark).second;
}

bool TBookmarkSet::Remove(const TBookmarkStr& bookmark) {
  Sync();
  std::int64_t n = 0;
  if (fDataSet->BookmarkNumber(bookmark, n)) return d->Numbers.Remove(n);
  return d->Bytes.erase(bookmark) > 0;
}

void TBookmarkSet::Clear() {
  d->Numbers.Clear();
  d->Bytes.clear();
  d->EpochKnown = false;
}

void TBookmarkSet::AddNumbers(std::int64_t first, std::int64_t last) {
  Sync();
  d->Numbers.AddRange(first, last);
}

void TBookmarkSet::EachRun(const std::function<void(std::int64_t, std::int64_t)>& f) const {
  Sync();
  d->Numbers.EachRun(f);
}

void TBookmarkSet::EachBytes(const std::function<void(const TBookmarkStr&)>& f) const {
  Sync();
  for (const TBookmarkStr& b : d->Bytes) f(b);
}

void TBookmarkSet::EachBookmark(const std::function<void(const TBookmarkStr&)>& f) const {
  EachRun([&](std::int64_t lo, std::int64_t hi) {
    for (std::int64_t n = lo;; ++n) {
      f(fDataSet->NumberBookmark(n));
      if (n == hi) break;
    }
  });
  EachBytes(f);
}

bool TBookmarkSet::IsBitmap() const { return d->Numbers.IsBitmap(); }
std::size_t TBookmarkSet::RunCount() const { return d->Numbers.RunCount(); }
std::size_t TBookmarkSet::MemoryBytes() const {
  std::size_t bytes = d->Numbers.MemoryBytes();
  for (const TBookmarkStr& b : d->Bytes) bytes += b.capacity() + 32;
  return bytes;
}

void TBookmarkSet::AddRange(const TBookmarkStr& from, const TBookmarkStr& to) {
  if (from.empty() || to.empty() || !fDataSet->Active()) return;
  Sync();
  fDataSet->BookmarkSetAddRange(*this, from, to);
}

void TBookmarkSet::AddAll() {
  if (!fDataSet->Active()) return;
  Sync();
  fDataSet->BookmarkSetAddRange(*this, {}, {});
}

std::int64_t TBookmarkSet::Rank(const TBookmarkStr& bookmark) const {
  if (bookmark.empty() || !fDataSet->Active()) return -1;
  return fDataSet->BookmarkRank(bookmark);
}

std::vector<TBookmarkStr> TBookmarkSet::Items(std::int64_t skip, std::size_t count, const TBookmarkStr& after) const {
  std::vector<TBookmarkStr> items;
  if (count == 0 || Empty() || !fDataSet->Active() || skip >= Count()) return items;
  fDataSet->BookmarkSetItems(*this, std::max<std::int64_t>(0, skip), count, after, items);
  return items;
}

std::int64_t TBookmarkSet::Purge() {
  if (Empty() || !fDataSet->Active()) return 0;
  const std::int64_t before = Count();
  fDataSet->BookmarkSetPurge(*this);
  return before - Count();
}

void TBookmarkSet::DeleteRecords() {
  if (Empty()) return;
  TDataSet& ds = *fDataSet;
  ds.CheckBrowseMode();
  if (ds.BeforeDelete || ds.AfterDelete || ds.OnDeleteError)
    ds.TDataSet::BookmarkSetDelete(*this);
  else
    ds.BookmarkSetDelete(*this);
}

// ---------------------------------------------------------------------------------------------
// TDataSet's answers: a walk over the records, with the cursor put back

bool TDataSet::BookmarkNumber(const TBookmarkStr&, std::int64_t&) const { return false; }
TBookmarkStr TDataSet::NumberBookmark(std::int64_t number) const { return IntegerBookmark(number); }

std::unique_ptr<TBookmarkSet> TDataSet::CreateBookmarkSet() { return std::make_unique<TBookmarkSet>(*this); }

namespace {

using dataset_detail::TControlsGuard;
using dataset_detail::TCounterGuard;
using dataset_detail::TryFinally;

// Runs body with the controls and scroll events quiet, then puts the cursor back on its record
// and row (or on the first record when that one is gone).
template <class TBody>
void WalkAndReturn(TDataSet& ds, const TBookmarkStr& saved, TBody body) {
  TControlsGuard quiet(ds);
  TryFinally(body, [&] {
    if (!saved.empty() && ds.BookmarkValid(saved))
      ds.GotoBookmark(saved);
    else
      ds.First();
  });
}

}  // namespace

void TDataSet::BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) {
  CheckBrowseMode();
  const bool all = from.empty() && to.empty();
  if (!all && (!BookmarkValid(from) || !BookmarkValid(to))) return;
  TCounterGuard noScrollEvents(fScrollEventLock);
  WalkAndReturn(*this, Bookmark(), [&] {
    if (all) {
      for (First(); !Eof(); Next()) set.Add(Bookmark());
      return;
    }
    GotoBookmark(from);
    const bool forward = CompareBookmarks(from, to) < 0;
    while (!(forward ? Eof() : Bof())) {
      const TBookmarkStr here = Bookmark();
      set.Add(here);
      if (here == to) break;
      MoveBy(forward ? 1 : -1);
    }
  });
}

std::int64_t TDataSet::BookmarkRank(const TBookmarkStr& bookmark) {
  if (!BookmarkValid(bookmark)) return -1;
  std::int64_t rank = -1;
  dataset_detail::TCounterGuard noScrollEvents(fScrollEventLock);
  WalkAndReturn(*this, Bookmark(), [&] {
    std::int64_t i = 0;
    for (First(); !Eof(); Next(), ++i)
      if (Bookmark() == bookmark) {
        rank = i;
        break;
      }
  });
  return rank;
}

void TDataSet::BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count, const TBookmarkStr&,
                                std::vector<TBookmarkStr>& into) {
  TCounterGuard noScrollEvents(fScrollEventLock);
  WalkAndReturn(*this, Bookmark(), [&] {
    for (First(); !Eof() && into.size() < count; Next()) {
      TBookmarkStr here = Bookmark();
      if (!set.Contains(here)) continue;
      if (skip > 0)
        --skip;
      else
        into.push_back(std::move(here));
    }
  });
}

void TDataSet::BookmarkSetPurge(TBookmarkSet& set) {
  std::vector<TBookmarkStr> gone;
  set.EachBookmark([&](const TBookmarkStr& b) {
    if (!BookmarkValid(b)) gone.push_back(b);
  });
  for (const TBookmarkStr& b : gone) set.Remove(b);
}

// As Delete, one record after another from the last in the order, each with its events; a
// record that is gone is skipped, and an error stops the walk with the rest kept.
void TDataSet::BookmarkSetDelete(TBookmarkSet& set) {
  const std::vector<TBookmarkStr> items = set.Items(0, static_cast<std::size_t>(set.Count()));
  // The current record stays current when it is not deleted.
  WalkAndReturn(*this, Bookmark(), [&] {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
      if (BookmarkValid(*it)) {
        GotoBookmark(*it);
        Delete();
      }
      set.Remove(*it);
    }
    // What is left was never met: gone.
    set.Clear();
  });
}

}  // namespace zv
