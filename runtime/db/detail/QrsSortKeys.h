#pragma once
// The sort keys of one sort item of a quick record set, by storage row, kept while the sort is
// in force: built once for every record, then one record's at a time as its key cell is
// written or a record comes, goes or moves in storage, so that placing a record compares keys,
// never cells. Which keys a column gets (QrsSort.cpp):
//   integers, large integers, booleans, BCD currency      64-bit integers
//   floats, currencies, dates and times, time stamps       doubles
//   strings (case-sensitive collation)                     collation sort keys of the text
//   wide strings and blobs (collation ignoring case)       collation sort keys of the folded text
//   binary values                                          the bytes
// Collation sort keys compare byte-wise exactly as the collator compares the texts. A column of
// another kind, or whose cells are of several kinds, compares its cells through CompareWith.

#include "runtime/db/UniValue.h"
#include "runtime/db/detail/QrsBigArray.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace zv {
class TvpQRSField;
class TvpValueAccessor;
}  // namespace zv

namespace zv::qrsdetail {

class TQrsColumnCells;

enum class TKeyKind { Integer, Float, Bytes, Cells };
// Keys whose value is the stored bytes of one number, read without making a value.
enum class TPlainNumber { None, Int32, Int64, Double };

class TSortKeys {
public:
  TSortKeys(const TvpQRSField& column, bool descending, int count);

  const TvpQRSField* Column() const { return fColumn; }
  TKeyKind Kind() const { return fKind; }
  bool Descending() const { return fDescending; }
  bool HasNaN() const { return fHasNaN; }
  bool IsNull(std::int32_t row) const { return fNull[static_cast<std::size_t>(row)] != 0; }
  const TBigArray<std::int64_t>& Integers() const { return fIntegers; }
  const TBigArray<double>& Floats() const { return fFloats; }

  // Ascending result of two non-null cells.
  int Compare(std::int32_t a, std::int32_t b) const {
    if (fKind != TKeyKind::Bytes) return CompareOther(a, b);
    // Texts, the costly kind, compared here where a sort can have it inline.
    // Every key begins with the common prefix: the bytes after it decide.
    const TSlot& sa = fSlots[static_cast<std::size_t>(a)];
    const TSlot& sb = fSlots[static_cast<std::size_t>(b)];
    const int c = std::memcmp(KeyOf(sa) + fPrefix.size(), KeyOf(sb) + fPrefix.size(), std::min(sa.Size, sb.Size) - fPrefix.size());
    if (c != 0) return c;
    return (sa.Size > sb.Size) - (sa.Size < sb.Size);
  }
  // The order of two rows for this item (nulls first ascending, last descending).
  int CompareRows(std::int32_t a, std::int32_t b) const {
    const bool na = IsNull(a), nb = IsNull(b);
    int c;
    if (na || nb)
      c = na == nb ? 0 : (na ? -1 : 1);
    else
      c = Compare(a, b);
    return fDescending ? -c : c;
  }

  // A code of the row's key: codes that differ order their rows as CompareRows does; equal
  // codes (always so for keys compared through the cells, or with a NaN among them) say nothing.
  std::uint64_t Code(std::int32_t row) const;
  // Rows with this code have equal keys for this item (both null, or one value).
  bool ExactCode(std::uint64_t code) const {
    if (fKind == TKeyKind::Float) return !fHasNaN;
    // The two lowest integers share a code.
    return fKind == TKeyKind::Integer && (fDescending ? ~code : code) != 1;
  }
  // The code of a non-null integer or float key.
  std::uint64_t ValueCode(std::int64_t value) const;
  std::uint64_t ValueCode(double value) const;

  // The key of a row whose cell was written. False when the keys can no longer stand for the
  // column (a first value in a column of nulls, a cell of another kind): build them anew.
  [[nodiscard]] bool Update(std::int32_t row);
  // True once after an Update that changed the code of every row (a written text without the
  // beginning the others share, which is then shorter).
  bool TakeCodesChanged() { return std::exchange(fCodesChanged, false); }
  void Insert(std::int32_t row);  // a null cell at a new storage row
  void Erase(std::int32_t row);
  void Move(std::int32_t from, std::int32_t to);

private:
  // A key of a row: a short one (most texts') in the slot itself, so that comparing it with
  // another reads one place; a longer one in the arena.
  static constexpr std::uint32_t InlineMax = 24;
  struct alignas(32) TSlot {
    std::uint32_t Size = 0;
    std::uint32_t Offset = 0;  // in the arena, of a key longer than InlineMax
    std::uint8_t Inline[InlineMax] = {};
  };
  const std::uint8_t* KeyOf(const TSlot& slot) const { return slot.Size <= InlineMax ? slot.Inline : fArena.data() + slot.Offset; }

  const TQrsColumnCells& Cells() const;
  int CompareOther(std::int32_t a, std::int32_t b) const;
  void ComputeRow(std::int32_t row);
  void CompactArena();
  bool HasPrefix(std::int32_t row) const;
  void ShrinkPrefix(std::int32_t row);

  const TvpQRSField* fColumn;
  const TvpValueAccessor* fAccessor = nullptr;  // of every non-null cell; null: none yet
  TKeyKind fKind = TKeyKind::Cells;
  TPlainNumber fPlain = TPlainNumber::None;
  bool fDescending;
  bool fMixed = false;  // cells of several kinds
  bool fHasNaN = false;
  TBigArray<std::uint8_t> fNull;         // by storage row
  TBigArray<std::int64_t> fIntegers;     // by storage row
  TBigArray<double> fFloats;             // by storage row
  TBigArray<TSlot> fSlots;               // by storage row
  TBigArray<std::uint8_t> fArena;        // keys longer than InlineMax
  std::size_t fHoles = 0;
  std::vector<std::uint8_t> fScratchKey;
  // The bytes every non-null key begins with (keys of texts that share a beginning, such as
  // "customer 1..."). Codes are made of the bytes after them, so that they still tell keys
  // apart; a key written without them shortens them, and every code changes.
  std::vector<std::uint8_t> fPrefix;
  bool fCodesChanged = false;
  // Cells of a compact column read for CompareWith, and for making keys.
  std::unique_ptr<TvpUniValue> fScratchA, fScratchB;
};

}  // namespace zv::qrsdetail
