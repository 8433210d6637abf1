#pragma once
// TPgCursor: a position in an ordered server result and a bounded cache of the rows around it,
// for TPgDataSet. Rows are read a page at a time as the position moves, so that showing a
// window of a table of millions of rows reads the window, not the table.
//
// Over a table, a row's place is its sort key and its primary key, and the page after it is
// "WHERE <after (key, id)> ORDER BY key, id LIMIT n", split into ranges that an index on the
// sort columns serves one after another (NULLs in the server's place: after every value in an
// ascending order, before them in a descending one). Key and identity values are kept in the server's text form and
// bound back as such, so that no comparison loses a digit or a microsecond. Over a query, a
// row's identity is its 0-based position and pages are read with LIMIT/OFFSET.

#include "platform/db/DBTypes.h"
#include "platform/db/detail/KeysetCursor.h"
#include "platform/db/pg/PgConnection.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace zv::pg {

// A row's identity: its primary key's values as text, or a query row's 0-based position.
using TPgId = keyset::TKeysetId;
String EncodePgId(const TPgId& id);
bool DecodePgId(const String& bytes, TPgId& id);

struct TPgSource {
  bool IsTable = true;
  String From;                    // the quoted table, or the parenthesised query with its alias
  std::vector<String> IdColumns;  // the primary key's columns, quoted (tables only)
  std::vector<String> Columns;    // the select-list expression of each column
  std::vector<TFieldType> Types;
  std::vector<bool> Ordered;      // whether the server can order the column's values
  std::vector<TPgParam> Params;   // a query's own parameters ($1..$n come first)
  bool IntegerId = false;         // the primary key is one integer column
  // Per column: 1 a text, 2 a bytea read as its start (at most LongValueStart bytes) and its
  // length when longer, the whole value only when asked (ReadWhole); 0 read whole.
  std::vector<char> Long;
  // A filter: From reads through it (its values follow the query's in Params), and every read
  // runs in a read-only transaction, so that no function it calls can write.
  bool Filtered = false;
  String BaseFrom;  // the table without the filter (a posted row is read from it)
};

using TPgSortColumn = keyset::TKeysetSort;

struct TPgRow {
  TPgId Id;
  std::vector<Variant> Key;  // the sort columns' text (Null for NULL)
  std::vector<Variant> Values;
  std::vector<std::int64_t> Lengths;  // empty, or per column a value held in part's stored length (else -1)
};

// What a window keeps of a long text or bytea; the rest is read when asked. A text keeps as
// many characters as fit in these bytes whatever their encoding.
inline constexpr std::int64_t LongValueStart = 65536;

struct TPgCondition {
  String Where;  // parameters numbered from 1 after the source's own
  std::vector<TPgParam> Params;
};

// The window, moves and ranges are TKeysetCursor's; this adds the server's statements ('?'
// numbered after the query's own parameters, values bound as text), its NULL order (last when
// ascending) and the dense integer key shortcut.
class TPgCursor : public keyset::TKeysetCursor<TPgRow> {
public:
  TPgCursor(TPgConnection& connection, TPgSource source, std::vector<TPgSortColumn> sort);

  const TPgSource& Source() const { return fSource; }
  bool IsTable() const { return fSource.IsTable; }

  std::int64_t Count() override;
  std::int64_t PositionOf(const TPgId& id, const std::vector<Variant>* key);
  std::optional<TPgId> IdAt(std::int64_t position);
  int Compare(const TPgId& a, const TPgId& b);
  std::optional<TPgRow> FindFirst(const TPgCondition& condition);
  // A column's whole value in the row (a table's read past the filter); nullopt when the row is gone.
  std::optional<Variant> ReadWhole(const TPgId& id, int column);
  // Reads nothing through the source, which raises on a filter the server refuses.
  void CheckSource();
  // Asked while a read waits for the server (the connection's OnWait during the cursor's reads).
  void SetWait(std::function<bool()> wait) { fWait = std::move(wait); }

private:
  const std::vector<String>& ColumnSql() const override { return fSource.Columns; }
  const std::vector<String>& IdColumnSql() const override { return fSource.IdColumns; }
  String EncodeId(const TPgId& id) const override { return EncodePgId(id); }
  String OrderBy(bool backward) const override;
  void Collect(const String& tail, const std::vector<Variant>& params, std::int64_t firstId,
               std::vector<TPgRow>& into) override;
  bool AnyWhere(const String& where, const std::vector<Variant>& params) override;
  std::int64_t CountInRanges(const std::vector<keyset::TKeysetRange>& ranges) override;
  bool Filtered() const override { return fSource.Filtered && fSource.IsTable; }
  std::int64_t Guess() override;
  bool OrderIndexed() override;
  std::optional<TPgRow> FetchUnfiltered(const TPgId& id) override;
  void EachId(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) override;

  // Runs a statement whose '?' marks are numbered after the source's own parameters.
  TPgResult Run(const String& sql, const std::vector<TPgParam>& params);
  int fOrderIndexed = -1;  // -1 not asked yet
  String SelectList() const;
  int IdWidth() const { return fSource.IsTable ? static_cast<int>(fSource.IdColumns.size()) : 0; }
  TPgRow ReadRow(const TPgResult& result, int row, std::int64_t position) const;
  // The values of a row from its result's column first on, and the long columns' lengths after them.
  void ReadValues(const TPgResult& result, int row, int first, TPgRow& into) const;
  bool IsLong(std::size_t column) const;
  // Whether, in key order, every integer from the smallest key to the largest is taken:
  // positions are then keys, and RecNo and SetRecNo need no count of rows before a row.
  bool Dense();

  TPgConnection& fConnection;
  TPgSource fSource;
  std::function<bool()> fWait;
};

// Numbers each '?' outside quotes as $first, $first+1, ...
String NumberPlaceholders(const String& sql, int first);

}  // namespace zv::pg
