#pragma once
// The record side of a dataset over a TKeysetCursor: the buffer that remembers a row's identity
// and sort key, filling it from the cursor, and the bookmarks of a query's rows.

#include "platform/db/VariantDataSet.h"
#include "platform/db/detail/KeysetCursor.h"
#include "platform/rtl/Consts.h"

#include <algorithm>
#include <climits>

namespace zv::keyset {

struct TKeysetRecordBuffer : TVariantRecordBuffer {
  std::vector<Variant> Key;  // the row's sort key as read, when KeyValid
  TKeysetId Id;
  bool KeyValid = false;
};

inline TKeysetRecordBuffer& KeysetRec(TRecordBuffer& buffer) { return static_cast<TKeysetRecordBuffer&>(buffer); }
inline const TKeysetRecordBuffer& KeysetRec(const TRecordBuffer& buffer) {
  return static_cast<const TKeysetRecordBuffer&>(buffer);
}

// The sort key a buffer holds for this row, so that the cursor need not read it again; null
// when it holds none or holds another row's. encode is the identity's encoding.
template <class FEncode>
const std::vector<Variant>* KnownKey(const TRecordBuffer& buffer, const TKeysetId& id, FEncode encode) {
  const TKeysetRecordBuffer& rec = KeysetRec(buffer);
  return rec.KeyValid && encode(rec.Id) == encode(id) ? &rec.Key : nullptr;
}

// GetRecord over the cursor: moves, and fills the buffer from the row it lands on.
template <class TRow, class FBookmark>
TGetResult ReadRecord(TKeysetCursor<TRow>& cursor, TGetMode mode, int bufferCount, TRecordBuffer& buffer,
                      std::size_t columns, FBookmark bookmark) {
  // A page fills a window of the largest link at once.
  cursor.SetPageSize(std::max(64, 2 * bufferCount));
  const TRow* row = nullptr;
  switch (mode) {
    case gmCurrent:
      row = cursor.Current();
      if (!row) return cursor.AtBof() ? grBOF : cursor.AtEof() ? grEOF : grError;
      break;
    case gmNext:
      row = cursor.Next();
      if (!row) return grEOF;
      break;
    case gmPrior:
      row = cursor.Prior();
      if (!row) return grBOF;
      break;
  }
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  rec.Values = row->Values;
  rec.Changed.assign(columns, 0);
  if constexpr (requires { row->Lengths; })
    rec.Lengths = row->Lengths;
  else
    rec.Lengths.clear();
  rec.Key = row->Key;
  rec.Id = row->Id;
  rec.KeyValid = true;
  buffer.Bookmark = bookmark(row->Id);
  buffer.BookmarkFlag = bfCurrent;
  return grOK;
}

// Sets a flag for as long as a scope runs (a write in progress, which no interrupt stops).
struct TFlagGuard {
  bool& Flag;
  const bool Old;
  explicit TFlagGuard(bool& flag) : Flag(flag), Old(flag) { Flag = true; }
  ~TFlagGuard() { Flag = Old; }
};

// A query row's bookmark: the reading it came from, then its position, so that a bookmark kept
// across a refresh is refused rather than landing on whichever row now has that position.
inline TBookmarkStr PositionBookmark(std::int64_t reading, const TKeysetId& id) {
  return IntegerBookmark(reading) + IntegerBookmark(id.front().AsInt64());
}

inline bool DecodePositionBookmark(const TBookmarkStr& bookmark, std::int64_t reading, TKeysetId& id) {
  id.clear();
  std::int64_t from = 0, position = 0;
  if (bookmark.size() != 16 || !DecodeIntegerBookmark(bookmark.substr(0, 8), from) || from != reading ||
      !DecodeIntegerBookmark(bookmark.substr(8), position))
    return false;
  id.push_back(Variant(position));
  return true;
}

inline int ToInt(std::int64_t value) {
  if (value > INT_MAX || value < INT_MIN) throw ERangeError(SRangeError);
  return static_cast<int>(value);
}

// The i-th of Locate's key values: the value itself for one field.
inline Variant KeyValue(const Variant& keyValues, std::size_t index, std::size_t count) {
  if (!keyValues.IsArray()) {
    if (count == 1) return keyValues;
    throw EVariantError(SVarNotArray);
  }
  return keyValues.GetElement(VarArrayLowBound(keyValues, 1) + static_cast<int>(index));
}

// Characters, not bytes, of UTF-8 text: a partial key's length as the database counts it.
inline std::int64_t CharCount(const String& text) {
  return std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

}  // namespace zv::keyset
