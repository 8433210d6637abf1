// Sorting a quick record set. The positions are ordered exactly as TvpUniValue::CompareWith
// (case-sensitive, nulls less) orders their cells, but without calling it per comparison: each
// sort item first turns its column into keys, once per sort:
//   integers, large integers, booleans, BCD currency      64-bit integers
//   floats, currencies, dates and times, time stamps       doubles
//   strings (case-sensitive collation)                     collation sort keys of the text
//   wide strings and blobs (collation ignoring case)       collation sort keys of the folded text
//   binary values                                          the bytes
// Collation sort keys compare byte-wise exactly as the collator compares the texts. A column
// whose cells are of another or of mixed kinds compares through CompareWith.
// The merge sort below is O(n log n) in every case, touches only the ranges it is given (so a
// comparison that is not a strict order, such as a variant compare, cannot take it out of
// bounds) and allocates once per sort.

#include "runtime/db/QuickRecordSet.h"

#include "platform/rtl/StringUtils.h"
#include "runtime/db/ValueAccessor.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace zv {

namespace {

enum class TKeyKind { Integer, Float, Bytes, Cells };

TKeyKind KindOf(const TvpValueAccessor& accessor) {
  auto is = [&accessor](TFieldType t) { return &accessor == &AccessorOf(t); };
  if (is(ftInteger) || is(ftLargeint) || is(ftBoolean) || is(ftBCD)) return TKeyKind::Integer;
  if (is(ftFloat) || is(ftDateTime) || is(ftTimeStamp)) return TKeyKind::Float;
  if (is(ftString) || is(ftWideString) || is(ftBlob) || is(ftBytes)) return TKeyKind::Bytes;
  return TKeyKind::Cells;
}

struct TSortKeys {
  TKeyKind Kind = TKeyKind::Cells;
  bool Descending = false;
  const TvpQRSField* Column = nullptr;
  std::vector<std::uint8_t> Null;         // by storage row
  std::vector<std::int64_t> Integers;     // by storage row
  std::vector<double> Floats;             // by storage row
  std::vector<std::uint32_t> Offsets;     // row r's key is Arena[Offsets[r] .. Offsets[r + 1])
  std::vector<std::uint8_t> Arena;
  bool HasNaN = false;

  // Ascending result of two non-null cells.
  int Compare(std::int32_t a, std::int32_t b) const {
    switch (Kind) {
      case TKeyKind::Integer: {
        const auto x = Integers[static_cast<std::size_t>(a)], y = Integers[static_cast<std::size_t>(b)];
        return (x > y) - (x < y);
      }
      case TKeyKind::Float: {
        const auto x = Floats[static_cast<std::size_t>(a)], y = Floats[static_cast<std::size_t>(b)];
        return (x > y) - (x < y);
      }
      case TKeyKind::Bytes: {
        const std::uint32_t a0 = Offsets[static_cast<std::size_t>(a)], a1 = Offsets[static_cast<std::size_t>(a) + 1];
        const std::uint32_t b0 = Offsets[static_cast<std::size_t>(b)], b1 = Offsets[static_cast<std::size_t>(b) + 1];
        const std::uint32_t la = a1 - a0, lb = b1 - b0;
        const int c = std::memcmp(Arena.data() + a0, Arena.data() + b0, std::min(la, lb));
        if (c != 0) return c;
        return (la > lb) - (la < lb);
      }
      case TKeyKind::Cells:
        break;
    }
    return Column->Cells(a)->CompareWith(*Column->Cells(b), true, true);
  }

  // The order of two rows for this item (nulls first ascending, last descending).
  int CompareRows(std::int32_t a, std::int32_t b) const {
    const bool na = Null[static_cast<std::size_t>(a)] != 0, nb = Null[static_cast<std::size_t>(b)] != 0;
    int c;
    if (na || nb)
      c = na == nb ? 0 : (na ? -1 : 1);
    else
      c = Compare(a, b);
    return Descending ? -c : c;
  }
};

void BuildByteKeys(TSortKeys& keys, const TvpValueAccessor& accessor, int count) {
  const bool binary = &accessor == &AccessorOf(ftBytes);
  const bool folded = &accessor == &AccessorOf(ftWideString) || &accessor == &AccessorOf(ftBlob);
  keys.Offsets.resize(static_cast<std::size_t>(count) + 1);
  for (int row = 0; row < count; ++row) {
    keys.Offsets[static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(keys.Arena.size());
    const TvpUniValue& cell = *keys.Column->Cells(row);
    if (cell.IsNull()) continue;
    const auto data = cell.Data();
    if (binary) {
      keys.Arena.insert(keys.Arena.end(), data.begin(), data.end());
      continue;
    }
    if (&accessor == &AccessorOf(ftWideString)) {
      // UTF-16 units and their terminating zero.
      AppendAnsiSortKey(keys.Arena,
                        std::u16string_view(reinterpret_cast<const char16_t*>(data.data()), data.size() / 2 - 1), folded);
    } else {
      // A string's bytes end with a zero; a blob's do not.
      std::size_t size = data.size();
      if (&accessor == &AccessorOf(ftString) && size > 0) --size;
      AppendAnsiSortKey(keys.Arena, std::string_view(reinterpret_cast<const char*>(data.data()), size), folded);
    }
    if (keys.Arena.size() > UINT32_MAX) throw std::length_error("sort keys exceed 4 GB");
  }
  keys.Offsets[static_cast<std::size_t>(count)] = static_cast<std::uint32_t>(keys.Arena.size());
}

TSortKeys BuildKeys(const TvpQRSField& column, bool descending, int count) {
  TSortKeys keys;
  keys.Column = &column;
  keys.Descending = descending;
  keys.Null.resize(static_cast<std::size_t>(count));
  const TvpValueAccessor* accessor = nullptr;
  bool mixed = false;
  for (int row = 0; row < count; ++row) {
    const TvpUniValue& cell = *column.Cells(row);
    keys.Null[static_cast<std::size_t>(row)] = cell.IsNull();
    if (cell.IsNull()) continue;
    if (!accessor)
      accessor = &cell.Accessor();
    else if (accessor != &cell.Accessor())
      mixed = true;
  }
  keys.Kind = accessor && !mixed ? KindOf(*accessor) : TKeyKind::Cells;
  switch (keys.Kind) {
    case TKeyKind::Integer: {
      keys.Integers.resize(static_cast<std::size_t>(count));
      const bool currency = accessor == &AccessorOf(ftBCD);
      const bool boolean = accessor == &AccessorOf(ftBoolean);
      for (int row = 0; row < count; ++row) {
        const TvpUniValue& cell = *column.Cells(row);
        if (cell.IsNull()) continue;
        keys.Integers[static_cast<std::size_t>(row)] =
            currency ? cell.AsCurrency().Value : boolean ? std::int64_t{cell.AsBoolean()} : cell.AsLargeint();
      }
      break;
    }
    case TKeyKind::Float: {
      keys.Floats.resize(static_cast<std::size_t>(count));
      const bool timeStamp = accessor == &AccessorOf(ftTimeStamp);
      for (int row = 0; row < count; ++row) {
        const TvpUniValue& cell = *column.Cells(row);
        if (cell.IsNull()) continue;
        const double value = timeStamp ? cell.AsDateTime().Value : cell.AsFloat();
        // NaN is equal to everything in CompareWith: no strict order for a sort of pairs.
        if (value != value) keys.HasNaN = true;
        keys.Floats[static_cast<std::size_t>(row)] = value;
      }
      break;
    }
    case TKeyKind::Bytes:
      BuildByteKeys(keys, *accessor, count);
      break;
    case TKeyKind::Cells:
      break;
  }
  return keys;
}

// Bottom-up merge sort of rows by less(a, b) < 0.
template <class Compare>
void MergeSort(std::vector<std::int32_t>& rows, Compare compare) {
  const std::size_t n = rows.size();
  // Short runs by insertion sort, bounded on both sides.
  constexpr std::size_t Run = 24;
  for (std::size_t lo = 0; lo < n; lo += Run) {
    const std::size_t hi = std::min(n, lo + Run);
    for (std::size_t i = lo + 1; i < hi; ++i) {
      const std::int32_t v = rows[i];
      std::size_t j = i;
      while (j > lo && compare(v, rows[j - 1]) < 0) {
        rows[j] = rows[j - 1];
        --j;
      }
      rows[j] = v;
    }
  }
  if (n <= Run) return;
  std::vector<std::int32_t> buffer(n);
  std::vector<std::int32_t>* from = &rows;
  std::vector<std::int32_t>* to = &buffer;
  for (std::size_t width = Run; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(n, lo + width), hi = std::min(n, lo + 2 * width);
      std::size_t i = lo, j = mid, k = lo;
      // Already in order: copy the run as it is.
      if (mid < hi && compare((*from)[mid], (*from)[mid - 1]) >= 0) {
        std::copy((*from).begin() + static_cast<std::ptrdiff_t>(lo), (*from).begin() + static_cast<std::ptrdiff_t>(hi),
                  (*to).begin() + static_cast<std::ptrdiff_t>(lo));
        continue;
      }
      while (i < mid && j < hi) (*to)[k++] = compare((*from)[j], (*from)[i]) < 0 ? (*from)[j++] : (*from)[i++];
      while (i < mid) (*to)[k++] = (*from)[i++];
      while (j < hi) (*to)[k++] = (*from)[j++];
    }
    std::swap(from, to);
  }
  if (from != &rows) rows.swap(buffer);
}

}  // namespace

std::vector<std::int32_t> TvpQuickRecordSet::SortedRows(const std::vector<SortItem>& items) const {
  const int count = fRecordCount;
  std::vector<std::int32_t> rows(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) rows[static_cast<std::size_t>(i)] = i;
  if (count < 2 || items.empty()) return rows;

  std::vector<TSortKeys> keys;
  keys.reserve(items.size());
  for (const SortItem& item : items) keys.push_back(BuildKeys(*item.Column, item.Descending, count));

  // One numeric item, the common case: sort (key, row) pairs in place, nulls set apart.
  if (keys.size() == 1 && (keys[0].Kind == TKeyKind::Integer || (keys[0].Kind == TKeyKind::Float && !keys[0].HasNaN))) {
    const TSortKeys& k = keys[0];
    auto split = std::stable_partition(rows.begin(), rows.end(),
                                       [&k](std::int32_t r) { return k.Null[static_cast<std::size_t>(r)] != 0; });
    auto sortBy = [&](const auto& values) {
      using V = typename std::decay_t<decltype(values)>::value_type;
      std::vector<std::pair<V, std::int32_t>> pairs;
      pairs.reserve(static_cast<std::size_t>(rows.end() - split));
      for (auto it = split; it != rows.end(); ++it) pairs.emplace_back(values[static_cast<std::size_t>(*it)], *it);
      if (k.Descending)
        std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return b.first < a.first; });
      else
        std::sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
      auto out = k.Descending ? rows.begin() : split;
      if (k.Descending) std::rotate(rows.begin(), split, rows.end());  // nulls last
      for (const auto& p : pairs) *out++ = p.second;
    };
    if (k.Kind == TKeyKind::Integer)
      sortBy(k.Integers);
    else
      sortBy(k.Floats);
    return rows;
  }

  MergeSort(rows, [&keys](std::int32_t a, std::int32_t b) {
    for (const TSortKeys& k : keys)
      if (const int c = k.CompareRows(a, b)) return c;
    return 0;
  });
  return rows;
}

}  // namespace zv
