#pragma once
// TPgDataSet: a dataset over a PostgreSQL table (editable by its primary key) or a read-only
// SELECT with :name parameters, through a shared TPgConnection.
//
// Rows are read a page at a time around the cursor by keyset (the table's primary key, any
// number of columns), never the whole table: opening, First, Last, moving by a page, going to a
// bookmark and Locate each cost a few indexed queries, and the memory held does not grow with
// the table. RecordCount is one count, kept until the next post, delete or refresh. A table's
// bookmark is the row's primary key, so that after a refresh it names the same row or none; a
// query's is the row's position in one reading of the query.
//
// Post writes one INSERT or UPDATE of the changed columns by primary key, with bound values,
// reading the key back (RETURNING) so that defaults and generated keys show; inside a
// transaction of the connection it runs within a savepoint. A failure raises EPgError with the
// server's message and SQLSTATE and leaves the record in edit or insert state with what the
// user typed. A table without a primary key, a view and a query open read-only; ReadOnlyReason
// says why.

#include "platform/db/Params.h"
#include "platform/db/RecNoCost.h"
#include "platform/db/VariantDataSet.h"
#include "platform/db/pg/PgConnection.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace zv {

namespace pg {
class TPgCursor;
struct TPgRow;
}  // namespace pg
namespace keyset {
struct TKeysetDataSetOps;
}

inline constexpr const char SPgNoConnection[] = "Missing Connection property";
inline constexpr const char SPgNoSource[] = "Missing TableName or SQL property";
inline constexpr const char SPgNotSelect[] = "The SQL property must hold a single SELECT statement";
inline constexpr const char SPgTableNotFound[] = "Table or view not found: %s";
inline constexpr const char SPgNoPrimaryKey[] = "The table has no primary key: it is opened read-only";
inline constexpr const char SPgIsView[] = "A view is opened read-only";
inline constexpr const char SPgIsQuery[] = "A query is read-only";

class TPgDataSet : public TVariantDataSet, public TRecNoCost {
  ZV_CLASS(TPgDataSet, TVariantDataSet)

public:
  explicit TPgDataSet(TComponent* owner);
  ~TPgDataSet() override;

  TPgConnection* Connection() const { return fConnection; }
  void SetConnection(TPgConnection* value);
  // A table or view, schema-qualified or not, as the server reads names ("sales.orders",
  // "\"Mixed Case\""); ignored when SQL is set.
  const String& TableName() const { return fTableName; }
  void SetTableName(const String& value);
  // A SELECT (or WITH/VALUES/TABLE) statement; :name marks parameters, sent bound, never
  // spliced. Setting it lists its parameters in Params (keeping the values of names kept).
  const String& SQL() const { return fSQL; }
  void SetSQL(const String& value);
  TParams* Params() const { return fParams.get(); }
  void SetParams(TParams* value);
  // A condition over the table's (or statement's) columns in the server's SQL, read while
  // Filtered, with the rules of the SQLite dataset: every read sees only the rows it admits;
  // ":name" marks a parameter of Params, sent bound; anything but one expression raises
  // EDatabaseError (SFilterNotExpression) and keeps the filter in force; reads that carry it
  // run in a read-only transaction (a read-only savepoint inside the connection's transaction).
  const String& Filter() const { return fFilter; }
  void SetFilter(const String& value);
  bool Filtered() const { return fFiltered; }
  void SetFiltered(bool value);
  // True while the current record is one this dataset posted that the filter no longer admits.
  bool RecordOutsideFilter() const;
  // Stops the read running now (PQcancel), which raises EAbort and leaves the dataset as it was
  // before the call; nothing happens when nothing runs or while a post, insert or delete runs.
  // From another thread the server is asked at once; otherwise within about 50 ms.
  void Interrupt();
  // Asked about every 50 ms while a read waits for the server, without dispatching anything;
  // setting stop interrupts the read.
  TDataSetProgressEvent OnProgress;
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value);
  // The order, as "Name;Date DESC", with the rules of the other datasets: column names (any
  // case), each optionally followed by ASC or DESC; an unknown name raises SInvalidSortField and
  // keeps the order. NULLs sort as the server sorts them (last going up), so that an index on
  // the column serves the order both ways. Empty is the primary key's order (a query's own).
  const String& SortFields() const { return fSortFields; }
  void SetSortFields(const String& value);
  // Why an open dataset cannot be edited (empty when it can).
  String ReadOnlyReason() const;

  bool CanModify() const override;
  int RecordCount() const override;
  // Whether RecordCount answers without counting now; and a figure that costs no count: the
  // count when known, else a guess (an SQLite table's rowid span, PostgreSQL's planner
  // figure), or -1 when there is none (a query, a filter).
  bool RecordCountKnown() const override;
  bool RecNoKnown() const override;
  int RecordCountEstimate() const override;
  int RecNo() const override;
  void SetRecNo(int value) override;
  bool IsSequenced() const override { return true; }
  // The server (the connection's text) and the table or statement.
  String DataIdentity() const override;
  bool BookmarkValid(const TBookmarkStr& bookmark) const override;
  int CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const override;
  bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options = {}) override;
  Variant ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) override;
  bool ReadWholeValue(const TRecordBuffer& buffer, int column, Variant& value) const override;

  static void DeclareProperties(TPropTable<TPgDataSet>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;
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
  // Bookmark sets: a query's bookmarks are numbers; a table's keys go into a hashed set.
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
    String Name;
    String Expression;  // in the select list and in conditions
    TFieldType Type = ftUnknown;
    String WriteCast;   // after a written value's placeholder: money is written as numeric
    bool Ordered = true;
    bool OutputText = false;  // compared as the text the server writes, not through a cast
    char Long = 0;            // read as its start when long: 1 a text, 2 a bytea
  };
  using TId = std::vector<Variant>;
  TPgConnection& Conn() const;
  void ReadTableColumns();
  void ReadQueryColumns();
  std::vector<pg::TPgParam> QueryParams() const;
  void CreateCursor(const String& sortFields, const String& filter, bool filtered);
  void ChangeFilter(const String& filter, bool filtered);
  // sameRows: only the order changes, so that the count stays.
  void ReplaceCursor(const String& sortFields, const String& filter, bool filtered, bool sameRows = false);
  friend struct keyset::TKeysetDataSetOps;
  // A table's identity is one integer (its rowid): the bookmark sets read it as a number.
  bool IdsAreNumbers() const { return false; }
  bool FindRow(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options, pg::TPgRow& row);
  TId WriteRecord(TRecordBuffer& buffer, bool insert);
  // After a write of one row: 1 inserted, 0 updated, -1 deleted.
  void ForgetAfterWrite(int countDelta);
  // Runs a write alone, or within a savepoint inside the connection's transaction.
  template <class F>
  auto Guarded(F&& write);
  String IdCondition(int firstParam) const;
  TBookmarkStr RowBookmark(const TId& id) const;
  bool DecodeRowBookmark(const TBookmarkStr& bookmark, TId& id) const;

  TPgConnection* fConnection = nullptr;
  String fTableName;
  String fSQL;
  String fQuery;  // the SQL with $n for its parameters
  std::vector<String> fQueryParamNames;
  std::unique_ptr<TParams> fParams;
  String fSortFields;
  String fFilter;
  bool fFiltered = false;
  bool fReadOnly = false;

  std::vector<TColumn> fColumns;
  bool fIsTable = false;
  // No trigger, rule, row security or self-referencing foreign key: a write of one row moves
  // the table's count by that row alone.
  bool fCountFollowsWrites = false;
  String fQuotedTable;
  String fReadOnlyReason;
  std::vector<int> fKeyColumns;
  std::int64_t fReading = 0;
  std::unique_ptr<pg::TPgCursor> fCursor;
  std::atomic<bool> fStop{false};
  bool fWriting = false;  // a post, insert or delete runs: not interrupted
};

}  // namespace zv
