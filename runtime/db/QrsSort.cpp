// Sorting a quick record set. The positions are ordered exactly as TvpUniValue::CompareWith
// (case-sensitive, nulls less) orders their cells, then by storage row, so that the order is
// total and a record placed alone lands where a whole sort would put it. Each sort item keeps
// keys of its column (detail/QrsSortKeys.h) while the sort is in force; a whole sort compares
// keys only. The merge sort below is O(n log n) in every case, touches only the ranges it is
// given (so a comparison that is not a strict order, such as a variant compare, cannot take it
// out of bounds) and allocates once per sort.

#include "runtime/db/QuickRecordSet.h"

#include "platform/rtl/StringUtils.h"
#include "runtime/db/ValueAccessor.h"
#include "runtime/db/ValueAccessors.h"
#include "runtime/db/detail/QrsColumnCells.h"
#include "runtime/db/detail/QrsSortKeys.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace zv {

namespace qrsdetail {

namespace {

TKeyKind KindOf(const TvpValueAccessor& accessor) {
  auto is = [&accessor](TFieldType t) { return &accessor == &AccessorOf(t); };
  if (is(ftInteger) || is(ftLargeint) || is(ftBoolean) || is(ftBCD)) return TKeyKind::Integer;
  if (is(ftFloat) || is(ftDateTime) || is(ftTimeStamp)) return TKeyKind::Float;
  if (is(ftString) || is(ftWideString) || is(ftBlob) || is(ftBytes)) return TKeyKind::Bytes;
  return TKeyKind::Cells;
}

// Which accessors read their value as the stored bytes of one number.
TPlainNumber PlainNumberOf(const TvpValueAccessor& accessor) {
  if (&accessor == &AccessorOf(ftInteger)) return TPlainNumber::Int32;
  if (&accessor == &AccessorOf(ftLargeint)) return TPlainNumber::Int64;
  if (&accessor == &AccessorOf(ftFloat) || &accessor == &AccessorOf(ftDateTime)) return TPlainNumber::Double;
  return TPlainNumber::None;
}

std::unique_ptr<TvpUniValue> Scratch(TFieldType dataType) {
  auto value = std::make_unique<TvpUniValue>(false, false);
  value->SetDataType(dataType);
  return value;
}

}  // namespace

const TQrsColumnCells& TSortKeys::Cells() const { return *fColumn->fCells; }

TSortKeys::TSortKeys(const TvpQRSField& column, bool descending, int count)
    : fColumn(&column), fDescending(descending) {
  const TQrsColumnCells& cells = Cells();
  fScratchA = Scratch(column.DataType());
  fScratchB = Scratch(column.DataType());
  ReserveToGrow(fNull, static_cast<std::size_t>(count));
  fNull.resize(static_cast<std::size_t>(count));
  bool mixed = false;
  for (int row = 0; row < count; ++row) {
    const bool null = cells.IsNull(row);
    fNull[static_cast<std::size_t>(row)] = null;
    if (null) continue;
    const TvpUniValue* stored = cells.StoredCell(row);
    const TvpValueAccessor* accessor = stored ? &stored->Accessor() : &fScratchA->Accessor();
    if (!fAccessor)
      fAccessor = accessor;
    else if (fAccessor != accessor)
      mixed = true;
  }
  fKind = fAccessor && !mixed ? KindOf(*fAccessor) : TKeyKind::Cells;
  if (fKind != TKeyKind::Cells) fPlain = PlainNumberOf(*fAccessor);
  fMixed = mixed;
  switch (fKind) {
    case TKeyKind::Integer:
      ReserveToGrow(fIntegers, static_cast<std::size_t>(count));
      fIntegers.resize(static_cast<std::size_t>(count));
      break;
    case TKeyKind::Float:
      ReserveToGrow(fFloats, static_cast<std::size_t>(count));
      fFloats.resize(static_cast<std::size_t>(count));
      break;
    case TKeyKind::Bytes:
      ReserveToGrow(fSlots, static_cast<std::size_t>(count));
      fSlots.resize(static_cast<std::size_t>(count));
      break;
    case TKeyKind::Cells:
      return;
  }
  for (int row = 0; row < count; ++row)
    if (!fNull[static_cast<std::size_t>(row)]) ComputeRow(row);
  if (fKind != TKeyKind::Bytes) return;
  // The common prefix shrinks from the first key's whole bytes to what every key shares.
  const std::uint8_t* first = nullptr;
  std::size_t common = 0;
  for (int row = 0; row < count; ++row) {
    if (fNull[static_cast<std::size_t>(row)]) continue;
    const TSlot& slot = fSlots[static_cast<std::size_t>(row)];
    const std::uint8_t* key = KeyOf(slot);
    if (!first) {
      first = key;
      common = slot.Size;
      continue;
    }
    common = static_cast<std::size_t>(std::mismatch(first, first + std::min<std::size_t>(common, slot.Size), key).first - first);
    if (common == 0) break;
  }
  if (first) fPrefix.assign(first, first + common);
}

bool TSortKeys::HasPrefix(std::int32_t row) const {
  const TSlot& slot = fSlots[static_cast<std::size_t>(row)];
  return slot.Size >= fPrefix.size() && std::equal(fPrefix.begin(), fPrefix.end(), KeyOf(slot));
}

void TSortKeys::ShrinkPrefix(std::int32_t row) {
  const TSlot& slot = fSlots[static_cast<std::size_t>(row)];
  const auto end = fPrefix.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(fPrefix.size(), slot.Size));
  fPrefix.erase(std::mismatch(fPrefix.begin(), end, KeyOf(slot)).first, fPrefix.end());
}

void TSortKeys::ComputeRow(std::int32_t row) {
  const auto r = static_cast<std::size_t>(row);
  const TQrsColumnCells& cells = Cells();
  const TvpValueAccessor& accessor = *fAccessor;
  // The plain numbers of a compact column straight from their stored bytes, read as their
  // accessors read them: a written key makes no value.
  if (fPlain != TPlainNumber::None && !cells.StoredCell(row)) {
    const auto bytes = cells.Bytes(row);
    switch (fPlain) {
      case TPlainNumber::Int32:
        fIntegers[r] = uvdetail::Load<std::int32_t>(bytes);
        return;
      case TPlainNumber::Int64:
        fIntegers[r] = uvdetail::Load<std::int64_t>(bytes);
        return;
      case TPlainNumber::Double: {
        const double value = uvdetail::Load<double>(bytes);
        if (value != value) fHasNaN = true;
        fFloats[r] = value;
        return;
      }
      case TPlainNumber::None:
        break;
    }
  }
  const TvpUniValue* cell = nullptr;
  if (fKind == TKeyKind::Integer || fKind == TKeyKind::Float) cell = &cells.Peek(row, *fScratchA);
  switch (fKind) {
    case TKeyKind::Integer:
      fIntegers[r] = &accessor == &AccessorOf(ftBCD)       ? cell->AsCurrency().Value
                     : &accessor == &AccessorOf(ftBoolean) ? std::int64_t{cell->AsBoolean()}
                                                           : cell->AsLargeint();
      break;
    case TKeyKind::Float: {
      const double value = &accessor == &AccessorOf(ftTimeStamp) ? cell->AsDateTime().Value : cell->AsFloat();
      // NaN is equal to everything in CompareWith: no strict order for a sort of pairs.
      if (value != value) fHasNaN = true;
      fFloats[r] = value;
      break;
    }
    case TKeyKind::Bytes: {
      // Straight from the stored bytes: no value is made.
      const auto data = cells.Bytes(row);
      std::vector<std::uint8_t>& key = fScratchKey;
      key.clear();
      if (&accessor == &AccessorOf(ftBytes)) {
        key.assign(data.begin(), data.end());
      } else if (&accessor == &AccessorOf(ftWideString)) {
        // UTF-16 units and their terminating zero.
        AppendAnsiSortKey(key, std::u16string_view(reinterpret_cast<const char16_t*>(data.data()), data.size() / 2 - 1), true);
      } else {
        // A string's bytes end with a zero; a blob's do not.
        std::size_t size = data.size();
        const bool string = &accessor == &AccessorOf(ftString);
        if (string && size > 0) --size;
        AppendAnsiSortKey(key, std::string_view(reinterpret_cast<const char*>(data.data()), size), !string);
      }
      TSlot& slot = fSlots[r];
      if (key.size() <= InlineMax) {
        if (slot.Size > InlineMax) fHoles += slot.Size;
        slot.Size = static_cast<std::uint32_t>(key.size());
        std::copy(key.begin(), key.end(), slot.Inline);
        break;
      }
      if (fArena.size() + key.size() > UINT32_MAX) throw std::length_error("sort keys exceed 4 GB");
      if (slot.Size > InlineMax) fHoles += slot.Size;
      slot.Size = static_cast<std::uint32_t>(key.size());
      slot.Offset = static_cast<std::uint32_t>(fArena.size());
      fArena.insert(fArena.end(), key.begin(), key.end());
      if (fHoles > 4096 && fHoles * 2 > fArena.size()) CompactArena();
      break;
    }
    case TKeyKind::Cells:
      break;
  }
}

void TSortKeys::CompactArena() {
  TBigArray<std::uint8_t> arena;
  arena.reserve(fArena.size() - std::min(fHoles, fArena.size()));
  for (TSlot& slot : fSlots) {
    if (slot.Size <= InlineMax) continue;
    const auto offset = static_cast<std::uint32_t>(arena.size());
    arena.insert(arena.end(), fArena.begin() + slot.Offset, fArena.begin() + slot.Offset + slot.Size);
    slot.Offset = offset;
  }
  fArena = std::move(arena);
  fHoles = 0;
}

int TSortKeys::CompareOther(std::int32_t a, std::int32_t b) const {
  const auto ra = static_cast<std::size_t>(a), rb = static_cast<std::size_t>(b);
  switch (fKind) {
    case TKeyKind::Integer: {
      const auto x = fIntegers[ra], y = fIntegers[rb];
      return (x > y) - (x < y);
    }
    case TKeyKind::Float: {
      const auto x = fFloats[ra], y = fFloats[rb];
      return (x > y) - (x < y);
    }
    case TKeyKind::Bytes:
      return Compare(a, b);
    case TKeyKind::Cells:
      break;
  }
  const TQrsColumnCells& cells = Cells();
  const TvpUniValue* x = cells.StoredCell(a);
  const TvpUniValue* y = cells.StoredCell(b);
  if (!x) {
    cells.Load(a, *fScratchA);
    cells.Load(b, *fScratchB);
    x = fScratchA.get();
    y = fScratchB.get();
  }
  return x->CompareWith(*y, true, true);
}

namespace {
constexpr std::uint64_t Sign = std::uint64_t{1} << 63;
}  // namespace

std::uint64_t TSortKeys::ValueCode(std::int64_t value) const {
  // Order-preserving; 0 is the null's, so the two lowest values share 1.
  const std::uint64_t code = std::max<std::uint64_t>(static_cast<std::uint64_t>(value) ^ Sign, 1);
  return fDescending ? ~code : code;
}

std::uint64_t TSortKeys::ValueCode(double value) const {
  if (fHasNaN) return 0;
  if (value == 0) value = 0.0;  // -0 equals 0
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const std::uint64_t code = std::max<std::uint64_t>(bits & Sign ? ~bits : bits | Sign, 1);
  return fDescending ? ~code : code;
}

std::uint64_t TSortKeys::Code(std::int32_t row) const {
  const auto r = static_cast<std::size_t>(row);
  std::uint64_t code = 0;  // a null comes first
  if (!fNull[r]) {
    switch (fKind) {
      case TKeyKind::Integer:
        return ValueCode(fIntegers[r]);
      case TKeyKind::Float:
        return ValueCode(fFloats[r]);
      case TKeyKind::Bytes: {
        // The first eight bytes after the common prefix, big-endian; a shorter key padded with
        // zeros (a prefix of another never codes above it).
        const TSlot& slot = fSlots[r];
        const std::uint8_t* key = KeyOf(slot);
        const std::size_t skip = fPrefix.size();
        for (std::size_t i = skip; i < skip + 8; ++i) code = code << 8 | (i < slot.Size ? key[i] : 0);
        break;
      }
      case TKeyKind::Cells:
        return 0;
    }
  }
  return fDescending ? ~code : code;
}

bool TSortKeys::Update(std::int32_t row) {
  const TQrsColumnCells& cells = Cells();
  const bool null = cells.IsNull(row);
  fNull[static_cast<std::size_t>(row)] = null;
  if (null) return true;
  const TvpUniValue* stored = cells.StoredCell(row);
  const TvpValueAccessor* accessor = stored ? &stored->Accessor() : &fScratchA->Accessor();
  // A first value in a column of nulls, or a second kind: the keys must be made anew (cells of
  // several kinds compare through CompareWith and need none).
  if (fMixed) return true;
  if (accessor != fAccessor) return false;
  const bool hadNaN = fHasNaN;
  ComputeRow(row);
  if (fKind == TKeyKind::Bytes && !HasPrefix(row)) {
    ShrinkPrefix(row);
    fCodesChanged = true;
  }
  return hadNaN == fHasNaN;  // a first NaN leaves no order the codes could follow
}

void TSortKeys::Insert(std::int32_t row) {
  const auto at = static_cast<std::ptrdiff_t>(row);
  fNull.insert(fNull.begin() + at, 1);
  if (!fIntegers.empty() || fKind == TKeyKind::Integer) fIntegers.insert(fIntegers.begin() + at, 0);
  if (!fFloats.empty() || fKind == TKeyKind::Float) fFloats.insert(fFloats.begin() + at, 0.0);
  if (fKind == TKeyKind::Bytes) fSlots.insert(fSlots.begin() + at, TSlot{});
}

void TSortKeys::Erase(std::int32_t row) {
  const auto at = static_cast<std::ptrdiff_t>(row);
  fNull.erase(fNull.begin() + at);
  if (fKind == TKeyKind::Integer) fIntegers.erase(fIntegers.begin() + at);
  if (fKind == TKeyKind::Float) fFloats.erase(fFloats.begin() + at);
  if (fKind == TKeyKind::Bytes) {
    const std::uint32_t size = fSlots[static_cast<std::size_t>(row)].Size;
    if (size > InlineMax) fHoles += size;
    fSlots.erase(fSlots.begin() + at);
  }
}

void TSortKeys::Move(std::int32_t from, std::int32_t to) {
  auto move = [from, to](auto& v) {
    if (v.empty()) return;
    const auto f = v.begin() + from, t = v.begin() + to;
    if (from < to)
      std::rotate(f, f + 1, t + 1);
    else
      std::rotate(t, f, f + 1);
  };
  move(fNull);
  move(fIntegers);
  move(fFloats);
  move(fSlots);
}

namespace {

// Bottom-up merge sort by compare(a, b) < 0.
template <class T, class Compare>
void MergeSort(std::vector<T>& rows, Compare compare) {
  const std::size_t n = rows.size();
  // Short runs by insertion sort, bounded on both sides.
  constexpr std::size_t Run = 24;
  for (std::size_t lo = 0; lo < n; lo += Run) {
    const std::size_t hi = std::min(n, lo + Run);
    for (std::size_t i = lo + 1; i < hi; ++i) {
      const T v = rows[i];
      std::size_t j = i;
      while (j > lo && compare(v, rows[j - 1]) < 0) {
        rows[j] = rows[j - 1];
        --j;
      }
      rows[j] = v;
    }
  }
  if (n <= Run) return;
  std::vector<T> buffer(n);
  std::vector<T>* from = &rows;
  std::vector<T>* to = &buffer;
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

// (code, row) pairs in row order sorted by code, ties keeping their order: by comparison when
// few, else by a radix sort of 11 bits a pass that passes over the bits every code shares (the
// high bits of integers of a small range).
void SortByCode(std::vector<std::pair<std::uint64_t, std::int32_t>>& pairs) {
  if (pairs.size() < 4096) {
    std::sort(pairs.begin(), pairs.end());  // rows differ: (code, row) is the stable order
    return;
  }
  constexpr int Bits = 11;
  constexpr std::uint64_t Mask = (std::uint64_t{1} << Bits) - 1;
  std::uint64_t all = ~std::uint64_t{0}, any = 0;
  for (const auto& p : pairs) {
    all &= p.first;
    any |= p.first;
  }
  const std::uint64_t varying = all ^ any;
  std::vector<std::pair<std::uint64_t, std::int32_t>> buffer(pairs.size());
  auto* from = &pairs;
  auto* to = &buffer;
  std::vector<std::size_t> start(Mask + 1);
  for (int shift = 0; shift < 64; shift += Bits) {
    if (((varying >> shift) & Mask) == 0) continue;
    std::fill(start.begin(), start.end(), 0);
    for (const auto& p : *from) ++start[(p.first >> shift) & Mask];
    std::size_t sum = 0;
    for (auto& n : start) sum += std::exchange(n, sum);
    for (const auto& p : *from) (*to)[start[(p.first >> shift) & Mask]++] = p;
    std::swap(from, to);
  }
  if (from != &pairs) pairs.swap(buffer);
}

}  // namespace

}  // namespace qrsdetail

TvpQuickRecordSet::TRankedRows TvpQuickRecordSet::SortedRows(const TSortKeyList& keys) const {
  using namespace qrsdetail;
  const int count = fRecordCount;
  TRankedRows ranked(static_cast<std::size_t>(count));

  // One numeric item, the common case.
  if (keys.size() == 1 && (keys[0]->Kind() == TKeyKind::Integer || (keys[0]->Kind() == TKeyKind::Float && !keys[0]->HasNaN()))) {
    const TSortKeys& k = *keys[0];
    // The codes order the records alone (nulls included) unless the lowest integer, which
    // shares its code, is there: then the pairs of values below.
    const std::uint64_t shared = k.Kind() == TKeyKind::Integer ? k.ValueCode(std::numeric_limits<std::int64_t>::min()) : 0;
    bool exact = true;
    for (int row = 0; row < count; ++row) {
      const std::uint64_t code = k.Code(row);
      ranked[static_cast<std::size_t>(row)] = {code, row};
      if (code == shared && shared != 0 && !k.IsNull(row)) exact = false;
    }
    if (exact) {
      SortByCode(ranked);
      return ranked;
    }
    const std::uint64_t nullCode = k.Descending() ? ~std::uint64_t{0} : 0;
    auto sortBy = [&](const auto& values) {
      using V = typename std::decay_t<decltype(values)>::value_type;
      std::vector<std::pair<V, std::int32_t>> pairs;
      pairs.reserve(static_cast<std::size_t>(count));
      std::size_t nulls = 0;
      for (int row = 0; row < count; ++row) {
        if (k.IsNull(row))
          ++nulls;
        else
          pairs.emplace_back(values[static_cast<std::size_t>(row)], row);
      }
      if (k.Descending())
        std::sort(pairs.begin(), pairs.end(),
                  [](const auto& a, const auto& b) { return b.first < a.first || (!(a.first < b.first) && a.second < b.second); });
      else
        std::sort(pairs.begin(), pairs.end());
      // Nulls first ascending, last descending, in storage order.
      auto out = ranked.begin() + static_cast<std::ptrdiff_t>(k.Descending() ? 0 : nulls);
      for (const auto& p : pairs) *out++ = {k.ValueCode(p.first), p.second};
      out = k.Descending() ? out : ranked.begin();
      for (int row = 0; row < count; ++row)
        if (k.IsNull(row)) *out++ = {nullCode, row};
    };
    if (k.Kind() == TKeyKind::Integer)
      sortBy(k.Integers());
    else
      sortBy(k.Floats());
    return ranked;
  }

  // Codes made in storage order, where the keys lie side by side.
  for (int row = 0; row < count; ++row)
    ranked[static_cast<std::size_t>(row)] = {keys.empty() ? 0 : keys[0]->Code(row), row};
  if (count < 2 || keys.empty()) return ranked;

  // The pairs are sorted: codes that differ decide side by side, without the keys (texts are
  // coded after the beginning they all share).
  if (keys.size() == 1) {
    const TSortKeys& k = *keys[0];
    MergeSort(ranked, [&k](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first < b.first ? -1 : 1;
      if (const int c = k.CompareRows(a.second, b.second)) return c;
      return (a.second > b.second) - (a.second < b.second);
    });
  } else {
    // The items side by side, as the comparison reads them.
    std::vector<const TSortKeys*> items;
    for (const auto& k : keys) items.push_back(k.get());
    MergeSort(ranked, [&items](const auto& a, const auto& b) {
      if (a.first != b.first) return a.first < b.first ? -1 : 1;
      for (const TSortKeys* k : items)
        if (const int c = k->CompareRows(a.second, b.second)) return c;
      return (a.second > b.second) - (a.second < b.second);
    });
  }
  return ranked;
}

int TvpQuickRecordSet::CompareKeys(const TSortKeyList& keys, std::int32_t a, std::int32_t b) {
  for (const auto& k : keys)
    if (const int c = k->CompareRows(a, b)) return c;
  return (a > b) - (a < b);
}

}  // namespace zv
