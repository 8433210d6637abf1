#pragma once
// The record side of a dataset over a TKeysetCursor: the buffer that remembers a row's identity
// and sort key, filling it from the cursor, and the bookmarks of a query's rows.

#include "platform/db/BookmarkSet.h"
#include "platform/db/DBConsts.h"
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
  // A page fills a window of the largest link at once, and holds as much again for the next
  // moves; the first page back from the end (a jump to the last record) holds the window only,
  // so that the jump reads what it shows.
  const bool fromEnd = mode == gmPrior && cursor.AtEof();
  cursor.SetPageSize(fromEnd ? bufferCount + 1 : std::max(64, 2 * bufferCount));
  if (cursor.FillingFromRow()) {
    if (mode == gmPrior) return grBOF;
    if (mode == gmNext) cursor.SetFillingFromRow(false);
  }
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

// The dataset side both SQL datasets share, reaching their private cursor state as a friend.
struct TKeysetDataSetOps {
  // A long value held in part, read whole by the row's identity; false when the row is gone.
  template <class TDataSetT>
  static bool ReadWholeValue(const TDataSetT& ds, const TRecordBuffer& buffer, int column, Variant& value) {
    if (!ds.fCursor) return false;
    auto whole = ds.fCursor->ReadWhole(KeysetRec(buffer).Id, column);
    if (!whole) return false;
    value = std::move(*whole);
    return true;
  }
  // A found row's value of a column: read whole when the row holds only its start.
  template <class TDataSetT, class TRowT>
  static Variant FoundValue(const TDataSetT& ds, const TRowT& row, std::size_t column) {
    if (column < row.Lengths.size() && row.Lengths[column] >= 0)
      return ds.fCursor->ReadWhole(row.Id, static_cast<int>(column)).value_or(Variant::Null());
    return row.Values[column];
  }

  // Swaps the dataset's cursor for one in a new order or filter. The current record stays
  // current when the new cursor reads it; else the first is. A query's bookmark is a position,
  // which a new order or filter gives to another row. A failure (an interrupt among them) puts
  // the old cursor back, with its order, filter and window. sameRows: only the order changes,
  // so that the count stays.
  // In an order no index serves, every read of the rows before or after a row is a pass over
  // the table: the kept record goes to the window's first row, so that one read fills the
  // window (see SetFillingFromRow), and its position is counted only when asked (RecNoKnown).
  // The controls hear of the new window once it is complete: a control asking during the swap
  // would read through a cursor that a failure is about to drop.
  template <class TDataSetT>
  static void ReplaceCursor(TDataSetT& ds, const String& sortFields, const String& filter, bool filtered,
                            bool sameRows) {
    ds.CheckBrowseMode();
    ds.DisableControls();
    try {
      SwapCursor(ds, sortFields, filter, filtered, sameRows);
    } catch (...) {
      ds.EnableControls();
      throw;
    }
    ds.EnableControls();
  }

  template <class TDataSetT>
  static void SwapCursor(TDataSetT& ds, const String& sortFields, const String& filter, bool filtered,
                         bool sameRows) {
    TKeysetId id;
    const bool known = !ds.IsEmpty() && ds.DecodeRowBookmark(ds.Bookmark(), id);
    const String oldSort = ds.fSortFields, oldFilter = ds.fFilter;
    const bool oldFiltered = ds.fFiltered;
    const std::int64_t oldReading = ds.fReading;
    auto old = std::move(ds.fCursor);
    bool buffersTouched = false;
    try {
      ds.CreateCursor(sortFields, filter, filtered);
      if (sameRows) ds.fCursor->TakeCountFrom(*old);
      ds.fSortFields = sortFields;
      ds.fFilter = filter;
      ds.fFiltered = filtered;
      const bool kept = ds.fIsTable && known && ds.fCursor->SetToExistingRow(id);
      buffersTouched = true;
      if (kept) {
        ds.fCursor->SetFillingFromRow(!ds.fCursor->OrderServedByIndex());
        ds.Resync({rmExact, rmCenter});
        ds.fCursor->SetFillingFromRow(false);
      } else {
        ds.First();
      }
    } catch (...) {
      ds.fCursor = std::move(old);
      ds.fSortFields = oldSort;
      ds.fFilter = oldFilter;
      ds.fFiltered = oldFiltered;
      ds.fReading = oldReading;
      if (buffersTouched) {
        if (known) ds.fCursor->SetToRow(id, nullptr);
        ds.Resync(known ? TResyncMode{rmExact, rmCenter} : TResyncMode{});
      }
      throw;
    }
  }

  // Whether RecNo costs no pass over the rows.
  template <class TDataSetT>
  static bool RecNoKnown(const TDataSetT& ds) {
    if (!ds.Active() || !ds.fCursor || ds.IsEmpty()) return true;
    const TRecordBuffer& buffer = *ds.ActiveBuffer();
    switch (ds.GetBookmarkFlag(buffer)) {
      case bfBOF:
        return true;
      case bfEOF:
        return ds.RecordCountKnown();
      default: {
        TKeysetId id;
        return !ds.DecodeRowBookmark(ds.GetBookmarkData(buffer), id) || ds.fCursor->PositionKnown(id);
      }
    }
  }

  // ---- Bookmark sets ------------------------------------------------------------------------
  // A query's bookmarks are positions in the dataset's order, so the set's numbers are the
  // order itself; a table's members are found by reading identities in one statement, which
  // moves neither the dataset's cursor nor its window.

  // A query row's bookmark as its position in this reading.
  template <class TDataSetT>
  static bool QueryNumber(const TDataSetT& ds, const TBookmarkStr& bookmark, std::int64_t& number) {
    TKeysetId id;
    if (!DecodePositionBookmark(bookmark, ds.fReading, id)) return false;
    number = IdNumber(id);
    return true;
  }

  // Gathers identities into a set: integer ones as runs, consecutive numbers joined as they
  // come and lone ones sorted a bounded batch at a time, so that memory stays flat whatever the
  // order; others as their bookmarks.
  template <class TDataSetT>
  struct TCollector {
    TDataSetT& Ds;
    TBookmarkSet& Set;
    std::vector<std::int64_t> Lone;
    std::int64_t First = 0, Last = -1;
    bool Open = false;
    static constexpr std::size_t Batch = 65536;

    bool operator()(const TKeysetId& id) {
      Set.Add(Ds.RowBookmark(id));
      return true;
    }
    bool operator()(std::int64_t n) {
      if (Open && n == Last + 1 && n != INT64_MIN) {
        Last = n;
        return true;
      }
      if (Open) Close();
      First = Last = n;
      Open = true;
      return true;
    }
    void Close() {
      if (First != Last) {
        Set.AddNumbers(First, Last);
        return;
      }
      Lone.push_back(First);
      if (Lone.size() >= Batch) FlushLone();
    }
    void FlushLone() {
      std::sort(Lone.begin(), Lone.end());
      for (std::size_t i = 0; i < Lone.size();) {
        std::size_t j = i + 1;
        while (j < Lone.size() && Lone[j] <= Lone[j - 1] + 1) ++j;
        Set.AddNumbers(Lone[i], Lone[j - 1]);
        i = j;
      }
      Lone.clear();
    }
    void Flush() {
      if (Open) Close();
      Open = false;
      FlushLone();
    }
    // Reads the rows the tail admits.
    void Read(const String& tail, const std::vector<Variant>& params) {
      // In rowid order a table is read as stored, and consecutive rowids arrive as runs.
      if (Ds.IdsAreNumbers())
        Ds.fCursor->EachNumberWhere(tail + " ORDER BY " + Ds.fCursor->IdColumns().front(), params, std::ref(*this));
      else
        Ds.fCursor->EachIdWhere(tail, params, std::ref(*this));
      Flush();
    }
  };

  template <class TDataSetT>
  static void SetAddRange(TDataSetT& ds, TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) {
    const bool all = from.empty() && to.empty();
    auto& cursor = *ds.fCursor;
    TKeysetId a, b;
    if (!all && (!ds.DecodeRowBookmark(from, a) || !ds.DecodeRowBookmark(to, b))) return;
    if (!ds.fIsTable) {
      const std::int64_t count = cursor.Count();
      if (all) {
        if (count > 0) set.AddNumbers(0, count - 1);
        return;
      }
      const std::int64_t pa = IdNumber(a), pb = IdNumber(b);
      if (pa >= 0 && pb >= 0 && pa < count && pb < count) set.AddNumbers(std::min(pa, pb), std::max(pa, pb));
      return;
    }
    String tail;
    std::vector<Variant> params;
    if (!all && !cursor.BetweenCondition(a, b, tail, params)) return;
    TCollector<TDataSetT>{ds, set, {}}.Read(tail, params);
  }

  template <class TDataSetT>
  static std::int64_t Rank(TDataSetT& ds, const TBookmarkStr& bookmark) {
    TKeysetId id;
    if (!ds.DecodeRowBookmark(bookmark, id)) return -1;
    return ds.fCursor->RankOf(id);
  }

  template <class TDataSetT>
  static void SetItems(TDataSetT& ds, const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                       const TBookmarkStr& after, std::vector<TBookmarkStr>& into) {
    if (!ds.fIsTable) {
      const std::int64_t rows = ds.fCursor->Count();
      bool done = false;
      set.EachRun([&](std::int64_t lo, std::int64_t hi) {
        for (std::int64_t n = std::max<std::int64_t>(lo, 0); !done && n <= hi && n < rows; ++n) {
          if (skip > 0) {
            const std::int64_t jump = std::min(skip, std::min(hi, rows - 1) - n + 1);
            skip -= jump;
            n += jump - 1;
            continue;
          }
          into.push_back(PositionBookmark(ds.fReading, IdOfNumber(n)));
          done = into.size() >= count;
        }
      });
      return;
    }
    // Read on from the member before, when it is there: the rows after it in the order.
    String tail;
    std::vector<Variant> params;
    TKeysetId last;
    if (!after.empty() && ds.DecodeRowBookmark(after, last) && ds.fCursor->AfterCondition(last, tail, params)) skip = 0;
    ds.fCursor->EachIdWhere(tail + ds.fCursor->Order(), params, [&](const TKeysetId& id) {
      TBookmarkStr bookmark = ds.RowBookmark(id);
      if (!set.Contains(bookmark)) return true;
      if (skip > 0)
        --skip;
      else
        into.push_back(std::move(bookmark));
      return into.size() < count;
    });
  }

  // Small sets ask for each member; larger ones read every identity once.
  template <class TDataSetT>
  static void SetPurge(TDataSetT& ds, TBookmarkSet& set) {
    if (!ds.fIsTable) {
      const std::int64_t rows = ds.fCursor->Count();
      std::vector<std::pair<std::int64_t, std::int64_t>> runs;
      set.EachRun([&](std::int64_t lo, std::int64_t hi) {
        if (lo < rows) runs.emplace_back(lo, std::min(hi, rows - 1));
      });
      set.Clear();
      for (const auto& [lo, hi] : runs) set.AddNumbers(lo, hi);
      return;
    }
    if (set.Count() <= 64) {
      std::vector<TBookmarkStr> gone;
      set.EachBookmark([&](const TBookmarkStr& b) {
        if (!ds.BookmarkValid(b)) gone.push_back(b);
      });
      for (const TBookmarkStr& b : gone) set.Remove(b);
      return;
    }
    TBookmarkSet kept(set.DataSet());
    TCollector<TDataSetT> collect{ds, kept, {}};
    ds.fCursor->EachIdWhere({}, {}, [&](const TKeysetId& id) { return !set.Contains(ds.RowBookmark(id)) || collect(id); });
    collect.Flush();
    set.Clear();
    kept.EachRun([&](std::int64_t lo, std::int64_t hi) { set.AddNumbers(lo, hi); });
    kept.EachBytes([&](const TBookmarkStr& b) { set.Add(b); });
  }

  // deleteRows deletes the members in one transaction and raises, with nothing deleted, on
  // failure. The cursor keeps the current row's key so that the window refills around its
  // place; the cached rows and the count are forgotten once.
  template <class TDataSetT, class FDelete>
  static void SetDelete(TDataSetT& ds, TBookmarkSet& set, FDelete deleteRows) {
    if (!ds.fIsTable || !ds.CanModify()) DatabaseError(SDataSetReadOnly, &ds);
    const TFlagGuard writing(ds.fWriting);
    TKeysetId current;
    if (!ds.IsEmpty() && ds.DecodeRowBookmark(ds.Bookmark(), current)) {
      ds.fCursor->SetToRow(current, nullptr);
      ds.fCursor->KeepPlace();
    }
    deleteRows();
    ds.fCursor->Invalidate();
    set.Clear();
    ds.LookupDataChanged();
    ds.Resync({});
  }
};

}  // namespace zv::keyset
