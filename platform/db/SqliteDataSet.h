#pragma once
// TSqliteDataSet: a dataset over an SQLite table (editable) or a SELECT statement (read-only).
//
// Rows are read a page at a time around the cursor (TSqliteCursor), never the whole table:
// First, Last, moving by a page, going to a bookmark, RecNo, SetRecNo and Locate each cost a few
// indexed queries, and the memory held does not grow with the table. Opening costs more: with
// the schema it reads the first 100,000 rows (every row of a smaller table or statement; a
// statement that sorts or groups runs in full to give them), in one aggregate query that keeps
// no row, and a column (other than the rowid's alias or one read as a variant anyway) holding
// a value its declared type cannot read unchanged becomes a variant field; then the cursor
// reads its first page. A value past those rows that does not fit is read as stored. The
// decision is kept in the process per file and table (or statement) until the file's schema or
// data changes, so that opening the same table again reads only the schema and the first page;
// the record count is taken only when asked (RecordCountKnown, RecordCountEstimate).
//
// A table's bookmark is the row's rowid, or its primary key in a table WITHOUT ROWID; a query's
// is the row's position in one reading of the query (a refresh makes older bookmarks invalid).
//
// Posting writes one INSERT or UPDATE ... WHERE rowid = ? with bound parameters, of the columns
// that were changed; a failure raises EDatabaseError with SQLite's message and leaves the record
// in edit or insert state with what the user typed, so that a later Post can succeed.

#include "platform/db/Params.h"
#include "platform/db/RecNoCost.h"
#include "platform/db/VariantDataSet.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zv {

namespace sqlite {
class TSqliteDatabase;
class TSqliteCursor;
struct TSqliteRow;
using TSqliteId = std::vector<Variant>;
}  // namespace sqlite
namespace keyset {
struct TKeysetDataSetOps;
}

inline constexpr const char SSqliteNoFileName[] = "Missing FileName property";
inline constexpr const char SSqliteNoSource[] = "Missing TableName or SQL property";
inline constexpr const char SSqliteNotSelect[] = "The SQL property must hold a single SELECT statement";

class TSqliteDataSet : public TVariantDataSet, public TRecNoCost {
  ZV_CLASS(TSqliteDataSet, TVariantDataSet)

public:
  explicit TSqliteDataSet(TComponent* owner);
  ~TSqliteDataSet() override;

  // The database file; the dataset opens its own connection while it is active.
  const String& FileName() const { return fFileName; }
  void SetFileName(const String& value);
  // A table or view of the database; ignored when SQL is set.
  const String& TableName() const { return fTableName; }
  void SetTableName(const String& value);
  // A SELECT statement; a dataset over a statement is read-only.
  const String& SQL() const { return fSQL; }
  void SetSQL(const String& value);
  // Opens the file read-only: nothing can be edited and the file is never created.
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value);
  // The order, as "Name;Date DESC": column names (any case), each optionally followed by ASC or
  // DESC; empty is the rowid order (a statement's own order). An unknown name raises
  // EDatabaseError (SInvalidSortField) and leaves the order as it was. Changing it on an open
  // dataset keeps the current record current.
  const String& SortFields() const { return fSortFields; }
  void SetSortFields(const String& value);
  // A condition over the table's (or statement's) columns in SQLite's SQL, read while Filtered:
  // every read (windows, RecordCount, RecNo, Locate, Lookup, bookmarks) sees only the rows it
  // admits. ":name" marks a parameter of Params, bound with its type, never pasted into the SQL.
  // Anything but one read-only expression raises EDatabaseError (SFilterNotExpression), an
  // unknown column or parameter the database's message; either keeps the filter as it was.
  // Changing Filter, Filtered or a parameter's value on an open dataset keeps the current
  // record when the new condition admits it, else goes to the first.
  const String& Filter() const { return fFilter; }
  void SetFilter(const String& value);
  bool Filtered() const { return fFiltered; }
  void SetFiltered(bool value);
  TParams* Params() const { return fParams.get(); }
  void SetParams(TParams* value);
  // True while the current record is one this dataset posted that the filter no longer admits:
  // it stays current (RecordCount already left it out) until the cursor moves, and no later
  // read returns it.
  bool RecordOutsideFilter() const;
  // Stops the read running now (an open, sort, count, Locate, a filter's first read), which then
  // raises EAbort and leaves the dataset as it was before the call. Nothing happens when nothing
  // runs or while a post, insert or delete writes: a write is never stopped half-way.
  void Interrupt();
  // Asked every few thousand steps of a long read, without dispatching anything: the place to
  // look for Esc. Setting stop interrupts the read.
  TDataSetProgressEvent OnProgress;
  // Milliseconds a write waits for another connection's lock before failing (default 1000).
  int BusyTimeout() const { return fBusyTimeout; }
  void SetBusyTimeout(int value);

  // The connection while the dataset is open (null otherwise), for statements beside it.
  sqlite::TSqliteDatabase* Database() const { return fDatabase.get(); }

  bool CanModify() const override;
  // SELECT COUNT(*), kept until the next post, delete or refresh.
  int RecordCount() const override;
  // Counts the rows before the record's key (free for rows whose position is already known).
  // Whether RecordCount answers without counting now; and a figure that costs no count: the
  // count when known, else a guess (an SQLite table's rowid span, PostgreSQL's planner
  // figure), or -1 when there is none (a query, a filter).
  bool RecordCountKnown() const override;
  // After a new order no index serves, the record's position is counted only when asked.
  bool RecNoKnown() const override;
  int RecordCountEstimate() const override;
  int RecNo() const override;
  void SetRecNo(int value) override;
  bool IsSequenced() const override { return true; }
  // The file and the table or statement.
  String DataIdentity() const override;
  bool BookmarkValid(const TBookmarkStr& bookmark) const override;
  int CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const override;
  // One query with the keys bound as parameters (calculated key fields fall back to the walk
  // of TDataSet); the cursor then goes to the found row by its bookmark.
  bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options = {}) override;
  Variant ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) override;
  // One statement in the dataset's order over a text column (zv_prefix); other fields walk.
  TPrefixSearchResult FindPrefix(TField& field, TFieldTextKind kind, const String& key, bool forward,
                                 TPrefixSearchFrom from) override;

  static void DeclareProperties(TPropTable<TSqliteDataSet>& t);

protected:
  std::size_t ColumnCount() const override { return fColumns.size(); }
  TRecordBufferPtr AllocRecordBuffer() override;
  void InternalInitRecord(TRecordBuffer& buffer) override;
  TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
  void SetBookmarkData(TRecordBuffer& buffer, const TBookmarkStr& data) override;
  void InternalGotoBookmark(const TBookmarkStr& bookmark) override;
  void InternalSetToRecord(TRecordBuffer& buffer) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override;
  void InternalAddRecord(TRecordBuffer& buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  bool IsCursorOpen() const override { return fCursor != nullptr; }
  bool ReadWholeValue(const TRecordBuffer& buffer, int column, Variant& value) const override;
  // Bookmark sets: a rowid table's and a query's bookmarks are numbers; one statement each.
  bool BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const override;
  TBookmarkStr NumberBookmark(std::int64_t number) const override;
  std::int64_t BookmarkEpoch() const override { return fIsTable ? 0 : fReading; }
  void BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) override;
  std::int64_t BookmarkRank(const TBookmarkStr& bookmark) override;
  void BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                        const TBookmarkStr& after, std::vector<TBookmarkStr>& into) override;
  void BookmarkSetPurge(TBookmarkSet& set) override;
  void BookmarkSetDelete(TBookmarkSet& set) override;

private:
  struct TColumn {
    String Name;       // in SQL; "" is a valid column name
    String FieldName;  // its field's: the name, or for "" the column's position
    TFieldType Type = ftUnknown;
    String Collation;  // of a table's column; BINARY compares bytes
  };
  void OpenDatabase();
  void CloseDatabase();
  void ReadTableColumns();
  void ReadQueryColumns();
  void CheckStoredValues();
  void MakeVariantColumn(std::size_t column);
  // A cursor in the order of the sort text, with the filter when filtered; raises (keeping the
  // current cursor) on a bad one.
  void CreateCursor(const String& sortFields, const String& filter, bool filtered);
  void ChangeFilter(const String& filter, bool filtered);
  // sameRows: only the order changes, so that the count stays.
  void ReplaceCursor(const String& sortFields, const String& filter, bool filtered, bool sameRows = false);
  friend struct keyset::TKeysetDataSetOps;
  // A table's identity is one integer (its rowid): the bookmark sets read it as a number.
  bool IdsAreNumbers() const { return fIsTable && !fWithoutRowId; }
  // Reads the first row, in the dataset's order, whose key fields hold the values.
  bool FindRow(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options,
               sqlite::TSqliteRow& row);
  // Inserts or updates the record's changed columns in one statement; returns the row's identity.
  sqlite::TSqliteId WriteRecord(TRecordBuffer& buffer, bool insert);
  String IdCondition() const;  // the row by its identity, as bound parameters
  TBookmarkStr RowBookmark(const sqlite::TSqliteId& id) const;
  bool DecodeRowBookmark(const TBookmarkStr& bookmark, sqlite::TSqliteId& id) const;

  String fFileName;
  String fTableName;
  String fSQL;
  String fSortFields;
  String fFilter;
  bool fFiltered = false;
  std::unique_ptr<TParams> fParams;
  bool fReadOnly = false;
  int fBusyTimeout = 1000;

  std::unique_ptr<sqlite::TSqliteDatabase> fDatabase;
  std::vector<TColumn> fColumns;
  bool fIsTable = false;
  String fQuery;              // the statement read when not a table with a rowid
  String fRowIdName;          // rowid, _rowid_ or oid: whichever no column is called
  int fRowIdAlias = -1;       // the INTEGER PRIMARY KEY column, if any
  bool fWithoutRowId = false; // a table found by its primary key
  std::vector<int> fKeyColumns;  // the primary key's columns, in key order (WITHOUT ROWID)
  std::int64_t fReading = 0;  // counts the readings of a query, whose bookmarks hold it
  std::unique_ptr<sqlite::TSqliteCursor> fCursor;
  bool fWriting = false;  // a post, insert or delete runs: not interrupted
};

}  // namespace zv
