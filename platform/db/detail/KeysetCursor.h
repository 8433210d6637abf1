#pragma once
// TKeysetCursor: the part of an SQL dataset's cursor that does not depend on the database: a
// position in an ordered result, a bounded window of the rows around it, the moves over that
// window, and the keyset ranges that find the rows after a row. A database's cursor derives from
// it and supplies its dialect: how a statement tail with '?' marks runs and returns rows, the
// ORDER BY text, how NULLs sort, and how an identity is encoded as a cache key.
//
// Over a table, a row's place is its sort key and its identity, and the page after it is read
// as ranges an index on the sort columns serves one after another. Over a query, which has no
// key, a row's identity is its 0-based position and pages are read with LIMIT/OFFSET.

#include "platform/db/DBTypes.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zv::keyset {

// A row's identity: its key's values, or a query row's 0-based position.
using TKeysetId = std::vector<Variant>;

struct TKeysetSort {
  int Column = 0;  // index into the source's columns
  bool Descending = false;
};

// Where NULLs sort in an ascending order.
enum class TNullOrder { First, Last };

// One index-friendly range: conditions joined with AND, with a '?' for each parameter.
struct TKeysetRange {
  std::vector<String> Parts;
  std::vector<Variant> Params;
};

bool IsNullish(const Variant& v);
String JoinSql(const std::vector<String>& parts, const char* separator);
// A query row's position (or a single integer key) and back.
std::int64_t IdNumber(const TKeysetId& id);
TKeysetId IdOfNumber(std::int64_t number);
// "(p1 AND p2) OR (...)": every range as one condition, with their parameters in order.
String AnyOfRanges(const std::vector<TKeysetRange>& ranges, std::vector<Variant>& params);

// The rows after (k1..km, id) in the order (before it, backward) are, in order: those equal on
// every sort column with a later identity; then those equal on k1..k(m-1) and after km; ...;
// then those after k1. Each is an equality on a prefix and one range, which an index on the sort
// columns serves directly; a single row-value comparison would not handle NULLs and reads equal
// keys past the start. Identity columns are ascending and never NULL.
std::vector<TKeysetRange> AfterRanges(const std::vector<String>& columns, const std::vector<TKeysetSort>& sort,
                                      const std::vector<String>& idColumns, const std::vector<Variant>& key,
                                      const TKeysetId& id, bool backward, TNullOrder nulls);

// A filter's text made ready for a statement: the SQL with each :name replaced by the dialect's
// numbered mark ("?n" for SQLite, "$n" for PostgreSQL, counting from firstMark), and the names in
// the order of their numbers. False when the text is not one expression that a parenthesised
// WHERE can hold: a ";" outside literals and comments, parentheses that close more than they
// open or stay open, an unterminated literal or comment, a line comment running to the end.
enum class TSqlDialect { Sqlite, Pg };
bool PrepareFilterText(const String& text, TSqlDialect dialect, int firstMark, String& sql, std::vector<String>& names);

template <class TRow>
class TKeysetCursor {
public:
  virtual ~TKeysetCursor() = default;
  TKeysetCursor(const TKeysetCursor&) = delete;
  TKeysetCursor& operator=(const TKeysetCursor&) = delete;

  // Rows read per query; the cache keeps a few pages.
  void SetPageSize(int rows) { fPageSize = std::clamp(rows, 16, 4096); }

  // Positioning never queries.
  void SetToBof() { fPosition = TPosition::Bof; }
  void SetToEof() { fPosition = TPosition::Eof; }
  // On the row with this identity; key is its sort key when known (null: read when needed).
  void SetToRow(const TKeysetId& id, const std::vector<Variant>* key);
  // On a row just read (by FindFirst), which joins the cache.
  void SetToRow(TRow row);
  // On the row with this identity when it exists (reading it); else false, the position kept.
  bool SetToExistingRow(const TKeysetId& id);
  // On a row written by this connection that the source's condition no longer admits: it stays
  // readable as the current row, and moves from it find its neighbours by its key, which no read
  // returns again. A later pin or Invalidate forgets it.
  void PinRow(TRow row) {
    fPinned = std::move(row);
    fPosition = TPosition::Row;
    fId = fPinned->Id;
    fKey = fPinned->Key;
    fKeyKnown = true;
  }
  bool IsPinned(const TKeysetId& id) const { return fPinned && EncodeId(fPinned->Id) == EncodeId(id); }
  bool AtBof() const { return fPosition == TPosition::Bof; }
  bool AtEof() const { return fPosition == TPosition::Eof; }

  // The row at the position: null before the first, after the last, or when it is gone.
  const TRow* Current();
  // Moves and reads; null at an end, the position then before the first or after the last.
  const TRow* Next();
  const TRow* Prior();

  virtual std::int64_t Count() = 0;
  bool CountKnown() const { return fCount >= 0 || (fAtStart && fAtEnd); }
  // The count when known (or when the cache holds every row); else the dialect's guess from
  // what costs no pass over the rows, or -1. The guess is asked once until the cached rows are
  // forgotten: a grid asks at every scroll, and the guess is a query or two each time.
  std::int64_t Estimate() {
    if (fCount < 0 && fAtStart && fAtEnd) fCount = static_cast<std::int64_t>(fRows.size());
    if (fCount >= 0) return fCount;
    if (!fGuessed) {
      fGuess = Guess();
      fGuessed = true;
    }
    return fGuess;
  }
  bool Exists(const TKeysetId& id);
  // The position when it is known without a query (a cached row whose place is known); else -1.
  std::int64_t KnownPositionOf(const TKeysetId& id) const;
  // Whether a row's position costs no pass over the rows: its place is known, or an index serves
  // the order (the rows before it are counted in the index).
  bool PositionKnown(const TKeysetId& id) { return !fIsTable || KnownPositionOf(id) >= 0 || OrderIndexed(); }
  bool OrderServedByIndex() { return OrderIndexed(); }
  // While a window is refilled with the current row as its first: no row before it is read
  // (a dataset's read of the prior row answers that there is none) until a row after it has
  // been, so that one read fills the window; the rows before it are read only when too few
  // follow. For an order no index serves, where each of those reads is a pass over the rows.
  void SetFillingFromRow(bool value) { fFillingFromRow = value; }
  bool FillingFromRow() const { return fFillingFromRow; }
  // Forgets cached rows and counts (after a write or to see other connections' changes); the
  // position stays.
  void Invalidate();
  // After this connection wrote exactly one row of a table and nothing else: the count moves by
  // countDelta (1 inserted, 0 updated, -1 deleted) instead of being counted again, which on a
  // large table costs more than the write. A query's count is always taken again.
  void InvalidateAfterOneRow(int countDelta);
  // The count of another cursor over the same rows in another order, when it knows it.
  void TakeCountFrom(const TKeysetCursor& other) {
    if (other.fCount >= 0) fCount = other.fCount;
  }
  // After this connection wrote the row (and, with oneRow, nothing else; countDelta as for
  // InvalidateAfterOneRow): the cursor goes to it. Under a filter that no longer admits it, it
  // stays current (pinned) and is not counted.
  void AfterWrite(const TKeysetId& id, bool oneRow, int countDelta);
  // Reads the row at the position and a page on either side into the cache, the position kept:
  // a write reads here what the window shows after it, so that no read after the write (which
  // an interrupt could stop) is left.
  void ReadAround();

  // ---- Reading identities only (bookmark sets) ----------------------------------------------
  // Each id (or a single integer id as its number) in one statement over the source, with a
  // tail and its parameters; f returns false to stop. Tables only: a query's identities are its
  // positions.
  using TIdVisitor = std::function<bool(const TKeysetId&)>;
  using TNumberVisitor = std::function<bool(std::int64_t)>;
  void EachIdWhere(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) { EachId(tail, params, f); }
  void EachNumberWhere(const String& tail, const std::vector<Variant>& params, const TNumberVisitor& f) {
    EachNumber(tail, params, f);
  }
  // Every row's, in the order.
  void EachIdInOrder(const TIdVisitor& f) { EachId(OrderBy(false), {}, f); }
  // The ORDER BY of the order, for a tail.
  String Order() const { return OrderBy(false); }
  // The condition (" WHERE ...") and its parameters that admit the rows after a row in the
  // order; false when the row is gone, or when no row can follow it.
  bool AfterCondition(const TKeysetId& id, String& tail, std::vector<Variant>& params) {
    std::vector<Variant> key;
    if (!fIsTable || !KeyOf(id, nullptr, key)) return false;
    params.clear();
    const String any = AnyOfRanges(RangesAfter(key, id, false), params);
    if (any.empty()) return false;
    tail = " WHERE (" + any + ")";
    return true;
  }
  // The condition (" WHERE ...") and its parameters that admit the rows from a to b in the
  // order, either way round, both included; false when either row is gone. The rows are read
  // in no particular order, so that no sort is needed to learn which they are.
  bool BetweenCondition(const TKeysetId& a, const TKeysetId& b, String& tail, std::vector<Variant>& params);
  // A row's 0-based place in the order, counted; -1 when it is gone.
  std::int64_t RankOf(const TKeysetId& id) {
    if (!fIsTable) return Exists(id) ? IdNumber(id) : -1;
    if (const std::int64_t known = KnownPositionOf(id); known >= 0) return known;
    return CountBefore(id, nullptr);
  }
  // Before rows around the position are deleted: its sort key is read while the row is there,
  // so that the moves after the delete find its neighbours.
  void KeepPlace() {
    if (fPosition == TPosition::Row) ResolveKey();
  }
  const std::vector<String>& IdColumns() const { return IdColumnSql(); }

protected:
  // Runs "SELECT <id columns> FROM <source>" + tail and hands each identity to f.
  virtual void EachId(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) = 0;
  // The same for a single integer identity, without making a value of each.
  virtual void EachNumber(const String& tail, const std::vector<Variant>& params, const TNumberVisitor& f) {
    EachId(tail, params, [&](const TKeysetId& id) { return f(IdNumber(id)); });
  }

  TKeysetCursor(bool isTable, std::vector<TKeysetSort> sort, TNullOrder nulls)
      : fIsTable(isTable), fSort(std::move(sort)), fNulls(nulls) {}

  // The dialect.
  virtual const std::vector<String>& ColumnSql() const = 0;
  virtual const std::vector<String>& IdColumnSql() const = 0;
  virtual String EncodeId(const TKeysetId& id) const = 0;
  virtual String OrderBy(bool backward) const = 0;
  // Runs "SELECT <id columns and columns> FROM <source>" + tail, whose '?' marks take params in
  // order, and appends its rows; a query source's rows are numbered from firstId.
  virtual void Collect(const String& tail, const std::vector<Variant>& params, std::int64_t firstId,
                       std::vector<TRow>& into) = 0;
  // Whether a row of the source meets the condition ('?' marks take params in order).
  virtual bool AnyWhere(const String& where, const std::vector<Variant>& params) = 0;
  // How many rows lie in the ranges, which do not overlap.
  virtual std::int64_t CountInRanges(const std::vector<TKeysetRange>& ranges) = 0;
  virtual std::int64_t Guess() { return -1; }
  // Whether an index serves the order, so that each range is read on its own; without one,
  // every range costs a pass over the rows, and the ranges are read in one statement instead.
  virtual bool OrderIndexed() { return true; }
  // Whether a table's rows are read through a filter, and a row read past it by its identity.
  virtual bool Filtered() const { return false; }
  virtual std::optional<TRow> FetchUnfiltered(const TKeysetId&) { return std::nullopt; }

  String IdEquals() const;  // "id1 = ? AND id2 = ?"
  std::vector<TKeysetRange> RangesAfter(const std::vector<Variant>& key, const TKeysetId& id, bool backward) const {
    return AfterRanges(ColumnSql(), fSort, IdColumnSql(), key, id, backward, fNulls);
  }
  // The first rows, or (backward) the last ones; always returned in the forward order.
  std::vector<TRow> FetchFirst(int count, bool backward);
  // The rows after (or before) a row, in the forward order.
  std::vector<TRow> FetchAfter(const std::vector<Variant>& key, const TKeysetId& id, int count, bool backward);
  std::optional<TRow> FetchById(const TKeysetId& id);
  // The sort key of the row at the position, read when unknown; false when the row is gone.
  bool ResolveKey();
  // A row's sort key: the one given, the cached one, or read; false when the row is gone.
  bool KeyOf(const TKeysetId& id, const std::vector<Variant>* given, std::vector<Variant>& key);
  // A table row's 0-based position found by counting the rows before it; -1 when it is gone.
  std::int64_t CountBefore(const TKeysetId& id, const std::vector<Variant>* key);
  // Notes the smallest and largest integer key: positions are keys when every one between is taken.
  void NoteIdSpan(std::int64_t min, std::int64_t max) {
    fMinId = min;
    fMaxId = max;
    std::int64_t span = 0;
    fDense = !__builtin_sub_overflow(max, min, &span) && span == Count() - 1 ? 1 : 0;
  }
  // The identity at a position inside the cached window, when its place is known.
  std::optional<TKeysetId> CachedIdAt(std::int64_t position) const;
  // The order of two table rows by their sort keys; byId where one cannot be placed.
  int CompareByKey(const TKeysetId& a, const TKeysetId& b, int byId);

  // The cache: rows in order, from position fBase when that is known (-1 otherwise).
  void ReplaceCache(std::vector<TRow> rows, bool atStart, bool atEnd, std::int64_t base);
  void Append(std::vector<TRow> rows, bool atEnd);
  void Prepend(std::vector<TRow> rows, bool atStart);
  void TrimFront();
  void TrimBack();
  int CacheIndex(const TKeysetId& id) const;  // -1 when not cached
  const TRow* EnterRow(int index);

  enum class TPosition { Bof, Eof, Row };
  static constexpr int CachePages = 4;

  const bool fIsTable;
  const std::vector<TKeysetSort> fSort;
  const TNullOrder fNulls;
  int fPageSize = 64;

  TPosition fPosition = TPosition::Bof;
  TKeysetId fId;
  std::vector<Variant> fKey;
  bool fKeyKnown = false;

  std::deque<TRow> fRows;
  std::unordered_map<String, std::int64_t> fSeqById;  // encoded row identity -> sequence number
  std::int64_t fFrontSeq = 0;  // sequence number of fRows.front()
  bool fAtStart = false;       // fRows starts at the first row
  bool fAtEnd = false;         // fRows ends at the last row
  std::int64_t fBase = -1;     // position of fRows.front(); -1 unknown

  std::optional<TRow> fPinned;  // see PinRow
  std::int64_t fCount = -1;
  std::int64_t fGuess = -1;  // see Estimate
  bool fGuessed = false;
  std::int64_t fMinId = 0, fMaxId = 0;
  int fDense = -1;  // whether every integer key from the smallest to the largest is taken; -1 unknown
  bool fFillingFromRow = false;
};

// ---------------------------------------------------------------------------------------------
// Fetching

template <class TRow>
String TKeysetCursor<TRow>::IdEquals() const {
  std::vector<String> parts;
  for (const String& c : IdColumnSql()) parts.push_back(c + " = ?");
  return JoinSql(parts, " AND ");
}

template <class TRow>
std::vector<TRow> TKeysetCursor<TRow>::FetchFirst(int count, bool backward) {
  std::vector<TRow> rows;
  rows.reserve(static_cast<std::size_t>(std::clamp(count, 0, 256)));
  if (fIsTable) {
    Collect(OrderBy(backward) + " LIMIT ?", {Variant(count)}, -1, rows);
    if (backward) std::reverse(rows.begin(), rows.end());
  } else {
    const std::int64_t offset = backward ? std::max<std::int64_t>(0, Count() - count) : 0;
    Collect(OrderBy(false) + " LIMIT ? OFFSET ?", {Variant(count), Variant(offset)}, offset, rows);
  }
  return rows;
}

template <class TRow>
std::vector<TRow> TKeysetCursor<TRow>::FetchAfter(const std::vector<Variant>& key, const TKeysetId& id, int count,
                                                  bool backward) {
  std::vector<TRow> rows;
  rows.reserve(static_cast<std::size_t>(std::clamp(count, 0, 256)));
  if (!fIsTable) {
    const std::int64_t position = IdNumber(id);
    std::int64_t offset = position + 1;
    std::int64_t limit = count;
    if (backward) {
      offset = std::max<std::int64_t>(0, position - count);
      limit = position - offset;
    }
    if (limit > 0) Collect(OrderBy(false) + " LIMIT ? OFFSET ?", {Variant(limit), Variant(offset)}, offset, rows);
    return rows;
  }
  const String order = OrderBy(backward);
  const std::vector<TKeysetRange> ranges = RangesAfter(key, id, backward);
  if (!OrderIndexed()) {
    std::vector<Variant> params;
    const String any = AnyOfRanges(ranges, params);
    params.push_back(Variant(count));
    if (!any.empty()) Collect(" WHERE (" + any + ")" + order + " LIMIT ?", params, -1, rows);
    if (backward) std::reverse(rows.begin(), rows.end());
    return rows;
  }
  for (const TKeysetRange& range : ranges) {
    const int wanted = count - static_cast<int>(rows.size());
    if (wanted <= 0) break;
    std::vector<Variant> params = range.Params;
    params.push_back(Variant(wanted));
    Collect(" WHERE " + JoinSql(range.Parts, " AND ") + order + " LIMIT ?", params, -1, rows);
  }
  if (backward) std::reverse(rows.begin(), rows.end());
  return rows;
}

template <class TRow>
std::optional<TRow> TKeysetCursor<TRow>::FetchById(const TKeysetId& id) {
  std::vector<TRow> rows;
  if (fIsTable) {
    if (id.size() != IdColumnSql().size()) return std::nullopt;
    Collect(" WHERE " + IdEquals(), id, -1, rows);
  } else if (IdNumber(id) >= 0) {
    Collect(OrderBy(false) + " LIMIT 1 OFFSET ?", {Variant(IdNumber(id))}, IdNumber(id), rows);
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

// ---------------------------------------------------------------------------------------------
// Places

template <class TRow>
bool TKeysetCursor<TRow>::BetweenCondition(const TKeysetId& a0, const TKeysetId& b0, String& tail,
                                           std::vector<Variant>& params) {
  std::vector<Variant> keyA, keyB;
  if (!KeyOf(a0, nullptr, keyA) || !KeyOf(b0, nullptr, keyB)) return false;
  params.clear();
  if (EncodeId(a0) == EncodeId(b0)) {
    tail = " WHERE " + IdEquals();
    params = a0;
    return true;
  }
  std::vector<Variant> probe = b0;
  const String after = AnyOfRanges(RangesAfter(keyA, a0, false), probe);
  const bool swap = after.empty() || !AnyWhere(IdEquals() + " AND (" + after + ")", probe);
  const TKeysetId& a = swap ? b0 : a0;
  const TKeysetId& b = swap ? a0 : b0;
  if (swap) std::swap(keyA, keyB);
  // From a (itself, or after it) to b (itself, or before it).
  const String afterA = AnyOfRanges(RangesAfter(keyA, a, false), params);
  params.insert(params.end(), a.begin(), a.end());
  const String beforeB = AnyOfRanges(RangesAfter(keyB, b, true), params);
  params.insert(params.end(), b.begin(), b.end());
  const String from = afterA.empty() ? IdEquals() : "(" + afterA + ") OR (" + IdEquals() + ")";
  const String to = beforeB.empty() ? IdEquals() : "(" + beforeB + ") OR (" + IdEquals() + ")";
  tail = " WHERE (" + from + ") AND (" + to + ")";
  return true;
}


template <class TRow>
bool TKeysetCursor<TRow>::KeyOf(const TKeysetId& id, const std::vector<Variant>* given, std::vector<Variant>& key) {
  if (given) {
    key = *given;
  } else if (const int index = CacheIndex(id); index >= 0) {
    key = fRows[static_cast<std::size_t>(index)].Key;
  } else if (IsPinned(id)) {
    key = fPinned->Key;
  } else {
    const auto row = FetchById(id);
    if (!row) return false;
    key = row->Key;
  }
  return true;
}

template <class TRow>
std::int64_t TKeysetCursor<TRow>::CountBefore(const TKeysetId& id, const std::vector<Variant>* key) {
  std::vector<Variant> known;
  if (!KeyOf(id, key, known)) return -1;
  // The rows before this one are the rows after it going backward.
  const std::int64_t position = CountInRanges(RangesAfter(known, id, true));
  if (const int index = CacheIndex(id); index >= 0) fBase = position - index;
  return position;
}

template <class TRow>
std::optional<TKeysetId> TKeysetCursor<TRow>::CachedIdAt(std::int64_t position) const {
  if (fBase >= 0 && position >= fBase && position - fBase < static_cast<std::int64_t>(fRows.size()))
    return fRows[static_cast<std::size_t>(position - fBase)].Id;
  return std::nullopt;
}

template <class TRow>
bool TKeysetCursor<TRow>::Exists(const TKeysetId& id) {
  if (!fIsTable) return IdNumber(id) >= 0 && IdNumber(id) < Count();
  if (id.size() != IdColumnSql().size()) return false;
  if (CacheIndex(id) >= 0) return true;
  return AnyWhere(IdEquals(), id);
}

template <class TRow>
int TKeysetCursor<TRow>::CompareByKey(const TKeysetId& a, const TKeysetId& b, int byId) {
  const int ia = CacheIndex(a), ib = CacheIndex(b);
  if (ia >= 0 && ib >= 0) return ia < ib ? -1 : 1;
  std::vector<Variant> keyB;
  if (!KeyOf(b, nullptr, keyB) || !Exists(a)) return byId;
  // Row a comes after row b when it lies in one of the ranges after b.
  std::vector<Variant> params = a;
  const String after = AnyOfRanges(RangesAfter(keyB, b, false), params);
  if (after.empty()) return -1;
  return AnyWhere(IdEquals() + " AND (" + after + ")", params) ? 1 : -1;
}

// ---------------------------------------------------------------------------------------------
// Moving

template <class TRow>
void TKeysetCursor<TRow>::SetToRow(const TKeysetId& id, const std::vector<Variant>* key) {
  fPosition = TPosition::Row;
  fId = id;
  if (key) {
    fKey = *key;
    fKeyKnown = true;
  } else if (const int index = CacheIndex(id); index >= 0) {
    fKey = fRows[static_cast<std::size_t>(index)].Key;
    fKeyKnown = true;
  } else if (IsPinned(id)) {
    fKey = fPinned->Key;
    fKeyKnown = true;
  } else {
    fKeyKnown = !fIsTable;
  }
}

template <class TRow>
void TKeysetCursor<TRow>::SetToRow(TRow row) {
  const TKeysetId id = row.Id;
  if (CacheIndex(id) < 0) {
    std::vector<TRow> one;
    one.push_back(std::move(row));
    ReplaceCache(std::move(one), false, false, fIsTable ? -1 : IdNumber(id));
  }
  EnterRow(CacheIndex(id));
}

template <class TRow>
bool TKeysetCursor<TRow>::SetToExistingRow(const TKeysetId& id) {
  if (CacheIndex(id) >= 0) {
    SetToRow(id, nullptr);
    return true;
  }
  auto row = FetchById(id);
  if (!row) return false;
  SetToRow(std::move(*row));
  return true;
}

template <class TRow>
const TRow* TKeysetCursor<TRow>::EnterRow(int index) {
  const TRow& row = fRows[static_cast<std::size_t>(index)];
  fPosition = TPosition::Row;
  fId = row.Id;
  fKey = row.Key;
  fKeyKnown = true;
  return &row;
}

template <class TRow>
bool TKeysetCursor<TRow>::ResolveKey() {
  if (fKeyKnown) return true;
  if (const int index = CacheIndex(fId); index >= 0) {
    fKey = fRows[static_cast<std::size_t>(index)].Key;
  } else {
    const auto row = FetchById(fId);
    if (!row) return false;
    fKey = row->Key;
  }
  fKeyKnown = true;
  return true;
}

template <class TRow>
const TRow* TKeysetCursor<TRow>::Current() {
  if (fPosition != TPosition::Row) return nullptr;
  if (const int index = CacheIndex(fId); index >= 0) return EnterRow(index);
  if (IsPinned(fId)) return &*fPinned;
  auto row = FetchById(fId);
  if (!row) return nullptr;  // gone; the position stays, so that its neighbours can be found
  SetToRow(std::move(*row));
  return EnterRow(CacheIndex(fId));
}

template <class TRow>
const TRow* TKeysetCursor<TRow>::Next() {
  const auto page = static_cast<std::size_t>(fPageSize);
  switch (fPosition) {
    case TPosition::Eof:
      return nullptr;
    case TPosition::Bof:
      if (!fAtStart) {
        auto rows = FetchFirst(fPageSize, false);
        const bool atEnd = rows.size() < page;
        ReplaceCache(std::move(rows), true, atEnd, 0);
      }
      if (fRows.empty()) {
        fPosition = TPosition::Eof;
        return nullptr;
      }
      return EnterRow(0);
    case TPosition::Row:
      break;
  }
  const int index = CacheIndex(fId);
  if (index >= 0 && index + 1 < static_cast<int>(fRows.size())) return EnterRow(index + 1);
  if (index >= 0 && fAtEnd) {
    fPosition = TPosition::Eof;
    return nullptr;
  }
  if (!ResolveKey()) {
    // A row that is gone and whose place was never known: start over.
    fPosition = TPosition::Bof;
    return Next();
  }
  auto rows = FetchAfter(fKey, fId, fPageSize, false);
  if (rows.empty()) {
    if (index >= 0) fAtEnd = true;
    fPosition = TPosition::Eof;
    return nullptr;
  }
  const bool atEnd = rows.size() < page;
  const TKeysetId first = rows.front().Id;
  if (index >= 0)
    Append(std::move(rows), atEnd);
  else
    ReplaceCache(std::move(rows), false, atEnd, fIsTable ? -1 : IdNumber(first));
  return EnterRow(CacheIndex(first));
}

template <class TRow>
const TRow* TKeysetCursor<TRow>::Prior() {
  const auto page = static_cast<std::size_t>(fPageSize);
  switch (fPosition) {
    case TPosition::Bof:
      return nullptr;
    case TPosition::Eof:
      if (!fAtEnd) {
        auto rows = FetchFirst(fPageSize, true);
        const bool atStart = rows.size() < page;
        std::int64_t base = -1;
        if (!fIsTable && !rows.empty()) base = IdNumber(rows.front().Id);
        else if (fCount >= 0) base = fCount - static_cast<std::int64_t>(rows.size());
        ReplaceCache(std::move(rows), atStart, true, base);
      }
      if (fRows.empty()) {
        fPosition = TPosition::Bof;
        return nullptr;
      }
      return EnterRow(static_cast<int>(fRows.size()) - 1);
    case TPosition::Row:
      break;
  }
  const int index = CacheIndex(fId);
  if (index > 0) return EnterRow(index - 1);
  if (index == 0 && fAtStart) {
    fPosition = TPosition::Bof;
    return nullptr;
  }
  if (!ResolveKey()) {
    fPosition = TPosition::Eof;
    return Prior();
  }
  auto rows = FetchAfter(fKey, fId, fPageSize, true);
  if (rows.empty()) {
    if (index >= 0) fAtStart = true;
    fPosition = TPosition::Bof;
    return nullptr;
  }
  const bool atStart = rows.size() < page;
  const TKeysetId first = rows.front().Id, last = rows.back().Id;
  if (index >= 0)
    Prepend(std::move(rows), atStart);
  else
    ReplaceCache(std::move(rows), atStart, false, fIsTable ? -1 : IdNumber(first));
  return EnterRow(CacheIndex(last));
}

template <class TRow>
std::int64_t TKeysetCursor<TRow>::KnownPositionOf(const TKeysetId& id) const {
  if (!fIsTable) return IdNumber(id);
  const int index = CacheIndex(id);
  return index >= 0 && fBase >= 0 ? fBase + index : -1;
}

template <class TRow>
void TKeysetCursor<TRow>::Invalidate() {
  fPinned.reset();
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  fAtStart = fAtEnd = false;
  fBase = -1;
  fCount = -1;
  fGuessed = false;
  fDense = -1;
}

template <class TRow>
void TKeysetCursor<TRow>::InvalidateAfterOneRow(int countDelta) {
  const std::int64_t count = fCount;
  Invalidate();
  if (fIsTable && count >= 0) fCount = count + countDelta;
}

template <class TRow>
void TKeysetCursor<TRow>::AfterWrite(const TKeysetId& id, bool oneRow, int countDelta) {
  const bool admitted = !Filtered() || AnyWhere(IdEquals(), id);
  // Under a filter: inserted and left out, nothing more; updated and left out, one fewer.
  if (!admitted) countDelta = countDelta == 1 ? 0 : -1;
  if (oneRow)
    InvalidateAfterOneRow(countDelta);
  else
    Invalidate();
  if (!admitted) {
    if (auto row = FetchUnfiltered(id)) {
      PinRow(std::move(*row));
      return;
    }
  }
  SetToRow(id, nullptr);
}

template <class TRow>
void TKeysetCursor<TRow>::ReadAround() {
  if (fPosition != TPosition::Row) return;
  const TKeysetId id = fId;
  if (!Current()) return;
  Prior();
  SetToRow(id, nullptr);
  Next();
  SetToRow(id, nullptr);
}

// ---------------------------------------------------------------------------------------------
// The cache

template <class TRow>
int TKeysetCursor<TRow>::CacheIndex(const TKeysetId& id) const {
  const auto it = fSeqById.find(EncodeId(id));
  if (it == fSeqById.end()) return -1;
  const std::int64_t index = it->second - fFrontSeq;
  return index >= 0 && index < static_cast<std::int64_t>(fRows.size()) ? static_cast<int>(index) : -1;
}

template <class TRow>
void TKeysetCursor<TRow>::ReplaceCache(std::vector<TRow> rows, bool atStart, bool atEnd, std::int64_t base) {
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  for (TRow& row : rows) {
    fSeqById[EncodeId(row.Id)] = static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtStart = atStart;
  fAtEnd = atEnd;
  fBase = atStart ? 0 : base;
  TrimBack();
}

template <class TRow>
void TKeysetCursor<TRow>::Append(std::vector<TRow> rows, bool atEnd) {
  for (TRow& row : rows) {
    fSeqById[EncodeId(row.Id)] = fFrontSeq + static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtEnd = atEnd;
  TrimFront();
}

template <class TRow>
void TKeysetCursor<TRow>::Prepend(std::vector<TRow> rows, bool atStart) {
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    --fFrontSeq;
    fSeqById[EncodeId(it->Id)] = fFrontSeq;
    fRows.push_front(std::move(*it));
  }
  if (fBase >= 0) fBase -= static_cast<std::int64_t>(rows.size());
  fAtStart = atStart;
  if (atStart) fBase = 0;
  TrimBack();
}

// Memory stays bounded: rows far from where the cursor went are dropped.
template <class TRow>
void TKeysetCursor<TRow>::TrimFront() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodeId(fRows.front().Id));
    fRows.pop_front();
    ++fFrontSeq;
    fAtStart = false;
    if (fBase >= 0) ++fBase;
  }
}

template <class TRow>
void TKeysetCursor<TRow>::TrimBack() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodeId(fRows.back().Id));
    fRows.pop_back();
    fAtEnd = false;
  }
}

}  // namespace zv::keyset
