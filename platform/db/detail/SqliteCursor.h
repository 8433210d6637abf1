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
#include "platform/db/detail/KeysetCursor.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zv::sqlite {

// A row's identity: its rowid, the values of a table WITHOUT ROWID's primary key, or a query
// row's 0-based position.
using TSqliteId = keyset::TKeysetId;
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
  // Per column: its texts and blobs are read as their start (at most LongValueStart bytes)
  // and their length, the whole value only when asked (ReadWhole). Needs zv_start.
  std::vector<char> Long;
  // A filter: Prefix then holds it as marks ?1..?n, whose values come first in every statement,
  // and every statement is prepared under an authorizer that allows reads and functions only.
  bool Filtered = false;
  std::vector<Variant> FilterParams;
  String BaseFrom;  // the table without the filter (a posted row is read from it)
};

using TSortColumn = keyset::TKeysetSort;

// One row: its identity (rowid, or position for a query), its sort key as SQLite stores it, and
// its values as the field types exchange them.
struct TSqliteRow {
  TSqliteId Id;
  std::vector<Variant> Key;
  std::vector<Variant> Values;
  std::vector<std::int64_t> Lengths;  // empty, or per column a value held in part's stored length (else -1)
};

// What a window keeps of a long text or blob; the rest is read when asked.
inline constexpr std::int64_t LongValueStart = 65536;
// zv_start(value): a text or blob of at most LongValueStart bytes as it is; a longer one as a
// blob of its length in bytes (8 bytes, little endian), its class ('t' or 'b') and its first
// bytes up to LongValueStart (a text's cut at a character's start), which is longer than any
// value returned as it is; anything else as it is. One function and no other column per long
// value, which a walk over every row pays for each of them. Registered on the connection by the
// dataset.
void RegisterLongValueStart(const TSqliteDatabase& db);

// A condition on one row, with its bound parameters, for FindFirst.
struct TSqliteCondition {
  String Where;
  std::vector<Variant> Params;
};

// The window, moves and ranges are TKeysetCursor's; this adds SQLite's statements, its NULL
// order (first when ascending) and the rowid shortcuts.
class TSqliteCursor : public keyset::TKeysetCursor<TSqliteRow> {
public:
  TSqliteCursor(const TSqliteDatabase& db, TSqliteSource source, std::vector<TSortColumn> sort);
  ~TSqliteCursor() override;

  const TSqliteSource& Source() const { return fSource; }
  bool IsTable() const { return fSource.IsTable; }

  std::int64_t Count() override;
  // 0-based position of a row in the order; -1 when it is gone.
  std::int64_t PositionOf(const TSqliteId& id, const std::vector<Variant>* key);
  // The identity of the row at a 0-based position; nothing past the end.
  std::optional<TSqliteId> IdAt(std::int64_t position);
  // <0, 0, >0 as row a comes before, is, or comes after row b in the order.
  int Compare(const TSqliteId& a, const TSqliteId& b);
  // The first row in the order that meets the condition (column expressions from Source()).
  std::optional<TSqliteRow> FindFirst(const TSqliteCondition& condition);
  // The first row in the order (backward: the last) that meets the condition, in one statement.
  // With from, only the rows after it (backward: before it), and from itself with includeFrom;
  // fromKey is from's sort key when known.
  std::optional<TSqliteRow> FindNearest(const TSqliteCondition& condition, bool backward, const TSqliteId* from,
                                        const std::vector<Variant>* fromKey, bool includeFrom);
  // Prepares a statement over the source, which raises on a filter that does not compile, is
  // not allowed, or holds marks other than its own.
  void CheckSource();
  // A column's whole stored value in the row with this identity, as stored now; nothing when
  // the row is gone.
  std::optional<Variant> ReadWhole(const TSqliteId& id, int column);

private:
  const std::vector<String>& ColumnSql() const override { return fSource.Columns; }
  const std::vector<String>& IdColumnSql() const override { return fSource.IdColumns; }
  String EncodeId(const TSqliteId& id) const override { return EncodeSqliteId(id); }
  String OrderBy(bool backward) const override;
  void Collect(const String& tail, const std::vector<Variant>& params, std::int64_t firstId,
               std::vector<TSqliteRow>& into) override;
  bool AnyWhere(const String& where, const std::vector<Variant>& params) override;
  std::int64_t CountInRanges(const std::vector<keyset::TKeysetRange>& ranges) override;
  bool Filtered() const override { return fSource.Filtered && fSource.IsTable; }
  std::int64_t Guess() override;
  bool OrderIndexed() override;
  std::optional<TSqliteRow> FetchUnfiltered(const TSqliteId& id) override;
  void EachId(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) override;
  void EachNumber(const String& tail, const std::vector<Variant>& params, const TNumberVisitor& f) override;

  TSqliteStatement& Prepare(const String& sql);
  // Binds the filter's values, then params after them.
  void BindAll(TSqliteStatement& st, const std::vector<Variant>& params) const;
  String SelectList() const;
  String ValueList() const;
  bool IsLong(std::size_t column) const;
  bool RowIdOrder() const { return fSource.IsTable && fSource.RowId && fSort.empty(); }
  // The identity's columns in the select list (one for a query's placeholder).
  int IdWidth() const { return fSource.IsTable ? static_cast<int>(fSource.IdColumns.size()) : 1; }
  TSqliteRow ReadRow(const TSqliteStatement& st, std::int64_t position) const;
  // Whether every rowid from the smallest to the largest is taken: positions are then rowids.
  bool Dense();

  const TSqliteDatabase& fDb;
  TSqliteSource fSource;
  std::unordered_map<String, std::unique_ptr<TSqliteStatement>> fStatements;
  int fOrderIndexed = -1;  // -1 not asked yet
};

}  // namespace zv::sqlite
