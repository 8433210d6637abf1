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
#include "platform/db/pg/PgConnection.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zv::pg {

// A row's identity: its primary key's values as text, or a query row's 0-based position.
using TPgId = std::vector<Variant>;
String EncodePgId(const TPgId& id);
bool DecodePgId(const String& bytes, TPgId& id);

struct TPgSource {
  bool IsTable = true;
  String From;                    // the quoted table, or the parenthesised query with its alias
  std::vector<String> IdColumns;  // the primary key's columns, quoted (tables only)
  std::vector<String> Columns;    // the select-list expression of each column
  std::vector<TFieldType> Types;
  std::vector<TPgParam> Params;   // a query's own parameters ($1..$n come first)
  bool IntegerId = false;         // the primary key is one integer column
};

struct TPgSortColumn {
  int Column = 0;
  bool Descending = false;
};

struct TPgRow {
  TPgId Id;
  std::vector<Variant> Key;  // the sort columns' text (Null for NULL)
  std::vector<Variant> Values;
};

struct TPgCondition {
  String Where;  // parameters numbered from 1 after the source's own
  std::vector<TPgParam> Params;
};

class TPgCursor {
public:
  TPgCursor(TPgConnection& connection, TPgSource source, std::vector<TPgSortColumn> sort);
  TPgCursor(const TPgCursor&) = delete;
  TPgCursor& operator=(const TPgCursor&) = delete;

  const TPgSource& Source() const { return fSource; }
  bool IsTable() const { return fSource.IsTable; }
  void SetPageSize(int rows);

  void SetToBof() { fPosition = TPosition::Bof; }
  void SetToEof() { fPosition = TPosition::Eof; }
  void SetToRow(const TPgId& id, const std::vector<Variant>* key);
  void SetToRow(TPgRow row);
  bool SetToExistingRow(const TPgId& id);
  bool AtBof() const { return fPosition == TPosition::Bof; }
  bool AtEof() const { return fPosition == TPosition::Eof; }

  const TPgRow* Current();
  const TPgRow* Next();
  const TPgRow* Prior();

  std::int64_t Count();
  std::int64_t PositionOf(const TPgId& id, const std::vector<Variant>* key);
  std::int64_t KnownPositionOf(const TPgId& id) const;
  std::optional<TPgId> IdAt(std::int64_t position);
  bool Exists(const TPgId& id);
  int Compare(const TPgId& a, const TPgId& b);
  std::optional<TPgRow> FindFirst(const TPgCondition& condition);
  void Invalidate();

private:
  enum class TPosition { Bof, Eof, Row };
  struct TRange {
    std::vector<String> Parts;      // conditions with '?' for each parameter
    std::vector<Variant> Params;
  };

  // Runs a statement whose '?' marks are numbered after the source's own parameters.
  TPgResult Run(const String& sql, const std::vector<TPgParam>& params);
  String SelectList() const;
  String OrderBy(bool backward) const;
  String IdEquals() const;
  int IdWidth() const { return fSource.IsTable ? static_cast<int>(fSource.IdColumns.size()) : 0; }
  TPgRow ReadRow(const TPgResult& result, int row, std::int64_t position) const;
  void Collect(const String& sql, const std::vector<TPgParam>& params, std::int64_t firstId, std::vector<TPgRow>& into);

  std::vector<TRange> AfterRanges(const std::vector<Variant>& key, const TPgId& id, bool backward) const;
  std::vector<TPgRow> FetchFirst(int count, bool backward);
  std::vector<TPgRow> FetchAfter(const std::vector<Variant>& key, const TPgId& id, int count, bool backward);
  std::optional<TPgRow> FetchById(const TPgId& id);
  bool ResolveKey();
  // Whether, in key order, every integer from the smallest key to the largest is taken:
  // positions are then keys, and RecNo and SetRecNo need no count of rows before a row.
  bool Dense();

  void ReplaceCache(std::vector<TPgRow> rows, bool atStart, bool atEnd, std::int64_t base);
  void Append(std::vector<TPgRow> rows, bool atEnd);
  void Prepend(std::vector<TPgRow> rows, bool atStart);
  void TrimFront();
  void TrimBack();
  int CacheIndex(const TPgId& id) const;
  const TPgRow* EnterRow(int index);

  TPgConnection& fConnection;
  TPgSource fSource;
  std::vector<TPgSortColumn> fSort;
  int fPageSize = 64;

  TPosition fPosition = TPosition::Bof;
  TPgId fId;
  std::vector<Variant> fKey;
  bool fKeyKnown = false;

  std::deque<TPgRow> fRows;
  std::unordered_map<String, std::int64_t> fSeqById;
  std::int64_t fFrontSeq = 0;
  bool fAtStart = false;
  bool fAtEnd = false;
  std::int64_t fBase = -1;
  std::int64_t fCount = -1;
  std::int64_t fMinId = 0, fMaxId = 0;
  int fDense = -1;  // -1 unknown
};

// Numbers each '?' outside quotes as $first, $first+1, ...
String NumberPlaceholders(const String& sql, int first);

}  // namespace zv::pg
