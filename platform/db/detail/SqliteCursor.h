#pragma once
// TSqliteCursor: a position in an ordered SQLite result and a bounded cache of the rows around
// it, for TSqliteDataSet. Rows are read a page at a time as the position moves, so that showing
// a window of a table of millions of rows reads the window, not the table.
//
// Over a table, rows are found by keyset: a row's place is its sort key and its identity (the
// rowid, or the primary key of a table WITHOUT ROWID), and the page after it is
// "WHERE (key, id) > (?, ?) ORDER BY key, id LIMIT n" (split into index-friendly ranges, NULLs
// placed as SQLite sorts them). Over a query, which has no key, a row's identity is its 0-based
// position and pages are read with LIMIT/OFFSET.

#include "platform/db/Sqlite.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zv::sqlite {

// A row's identity: its rowid, the values of a table WITHOUT ROWID's primary key, or a query
// row's 0-based position.
using TSqliteId = std::vector<Variant>;
// The identity as bytes (a bookmark): a single integer as IntegerBookmark has it.
String EncodeSqliteId(const TSqliteId& id);
bool DecodeSqliteId(const String& bytes, TSqliteId& id);

// What the cursor reads: a table, or a read-only query.
struct TSqliteSource {
  bool IsTable = true;
  String Prefix;                   // prepended to every statement (the query's WITH clause)
  String From;                     // the quoted table, or the query's name in Prefix
  std::vector<String> IdColumns;   // the rowid's name, or the primary key's columns (tables only)
  bool RowId = true;               // IdColumns is the rowid
  std::vector<String> Columns;  // the SQL expressions of the columns, quoted
  std::vector<TFieldType> Types;
};

struct TSortColumn {
  int Column = 0;  // index into TSqliteSource::Columns
  bool Descending = false;
};

// One row: its identity (rowid, or position for a query), its sort key as SQLite stores it, and
// its values as the field types exchange them.
struct TSqliteRow {
  TSqliteId Id;
  std::vector<Variant> Key;
  std::vector<Variant> Values;
};

// A condition on one row, with its bound parameters, for FindFirst.
struct TSqliteCondition {
  String Where;
  std::vector<Variant> Params;
};

class TSqliteCursor {
public:
  TSqliteCursor(const TSqliteDatabase& db, TSqliteSource source, std::vector<TSortColumn> sort);
  ~TSqliteCursor();
  TSqliteCursor(const TSqliteCursor&) = delete;
  TSqliteCursor& operator=(const TSqliteCursor&) = delete;

  const TSqliteSource& Source() const { return fSource; }
  bool IsTable() const { return fSource.IsTable; }
  // Rows read per query; the cache keeps a few pages.
  void SetPageSize(int rows);

  // Positioning never queries.
  void SetToBof();
  void SetToEof();
  // On the row with this identity; key is its sort key when known (null: read when needed).
  void SetToRow(const TSqliteId& id, const std::vector<Variant>* key);
  // On a row just read (by FindFirst), which joins the cache.
  void SetToRow(TSqliteRow row);
  // On the row with this identity when it exists (reading it); else false, the position kept.
  bool SetToExistingRow(const TSqliteId& id);
  bool AtBof() const { return fPosition == TPosition::Bof; }
  bool AtEof() const { return fPosition == TPosition::Eof; }

  // The row at the position: null before the first, after the last, or when it is gone.
  const TSqliteRow* Current();
  // Moves and reads; null at an end, the position then before the first or after the last.
  const TSqliteRow* Next();
  const TSqliteRow* Prior();

  std::int64_t Count();
  // 0-based position of a row in the order; -1 when it is gone.
  std::int64_t PositionOf(const TSqliteId& id, const std::vector<Variant>* key);
  // The position when it is known without a query (a cached row whose place is known); else -1.
  std::int64_t KnownPositionOf(const TSqliteId& id) const;
  // The identity of the row at a 0-based position; nothing past the end.
  std::optional<TSqliteId> IdAt(std::int64_t position);
  bool Exists(const TSqliteId& id);
  // <0, 0, >0 as row a comes before, is, or comes after row b in the order.
  int Compare(const TSqliteId& a, const TSqliteId& b);
  // The first row in the order that meets the condition (column expressions from Source()).
  std::optional<TSqliteRow> FindFirst(const TSqliteCondition& condition);
  // Forgets cached rows and counts (after a write or to see other connections' changes); the
  // position stays.
  void Invalidate();

private:
  enum class TPosition { Bof, Eof, Row };
  struct TRange {
    String Where;
    std::vector<Variant> Params;
  };

  TSqliteStatement& Prepare(const String& sql);
  String SelectList() const;
  String OrderBy(bool backward) const;
  bool RowIdOrder() const { return fSource.IsTable && fSource.RowId && fSort.empty(); }
  // The identity's columns in the select list (one for a query's placeholder).
  int IdWidth() const { return fSource.IsTable ? static_cast<int>(fSource.IdColumns.size()) : 1; }
  String IdEquals() const;  // "id1 = ? AND id2 = ?"
  TSqliteRow ReadRow(const TSqliteStatement& st, std::int64_t position) const;
  // Runs a row query; rows are numbered from firstId for a query source.
  void Collect(const String& sql, const std::vector<Variant>& params, std::int64_t firstId, std::vector<TSqliteRow>& into);

  // The rows after (or before, backward) a row, in the direction of travel, as ranges that an
  // index can serve one after another.
  std::vector<TRange> AfterRanges(const std::vector<Variant>& key, const TSqliteId& id, bool backward) const;
  std::vector<TSqliteRow> FetchFirst(int count, bool backward);
  std::vector<TSqliteRow> FetchAfter(const std::vector<Variant>& key, const TSqliteId& id, int count, bool backward);
  std::optional<TSqliteRow> FetchById(const TSqliteId& id);
  // The sort key of the row at the position, read when unknown; false when the row is gone.
  bool ResolveKey();
  // Whether every rowid from the smallest to the largest is taken: positions are then rowids.
  bool Dense();

  // The cache: rows in order, from position fBase when that is known (-1 otherwise).
  void ReplaceCache(std::vector<TSqliteRow> rows, bool atStart, bool atEnd, std::int64_t base);
  void Append(std::vector<TSqliteRow> rows, bool atEnd);
  void Prepend(std::vector<TSqliteRow> rows, bool atStart);
  void TrimFront();
  void TrimBack();
  int CacheIndex(const TSqliteId& id) const;  // -1 when not cached
  const TSqliteRow* EnterRow(int index);

  const TSqliteDatabase& fDb;
  TSqliteSource fSource;
  std::vector<TSortColumn> fSort;
  std::unordered_map<String, std::unique_ptr<TSqliteStatement>> fStatements;
  int fPageSize = 64;

  TPosition fPosition = TPosition::Bof;
  TSqliteId fId;
  std::vector<Variant> fKey;
  bool fKeyKnown = false;

  std::deque<TSqliteRow> fRows;
  std::unordered_map<String, std::int64_t> fSeqById;  // encoded row identity -> sequence number
  std::int64_t fFrontSeq = 0;  // sequence number of fRows.front()
  bool fAtStart = false;       // fRows starts at the first row
  bool fAtEnd = false;         // fRows ends at the last row
  std::int64_t fBase = -1;     // position of fRows.front(); -1 unknown

  std::int64_t fCount = -1;
  std::int64_t fMinId = 0, fMaxId = 0;
  int fDense = -1;  // -1 unknown
};

}  // namespace zv::sqlite
