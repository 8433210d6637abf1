#pragma once
// TvpQuickRecordSet: a small in-memory table of named, typed columns of TvpUniValue cells, with
// an optional multi-column sort order, bookmarks, text search and lookup, and streaming of its
// whole content with a form. Shown through the object dataset it becomes an editable dataset.
//
// Records are addressed two ways. A *position* (0 .. RecordCount - 1) is where a record shows
// in the current order; reading and writing cells (GetData, GetRowData, IndexOfRec, Lookup,
// IndexOfBookmark) use positions. A *storage row* is where the cells are kept; InsertRecord,
// DeleteRecord and MoveRecord take storage rows. Without a sort order the two coincide. Both
// maps (RowOf, PosOf) are valid at every moment, inside an update bracket too: O(1) without a
// sort, O(log n) under one.
//
// Bookmarks are four bytes holding a number drawn from a counter of the record set: unique for
// the set's life (until the counter wraps after 2^32 - 1 records), never streamed, so a loaded
// set has new ones. They stay with their record through inserts, deletes, moves and sorts.
//
// The sort order (SortString) is a list of column names separated by ",", each optionally
// followed by " asc" or " desc". Nulls come first ascending and last descending; records whose
// keys tie keep the order of their storage rows. The order holds at every moment outside a
// BeginUpdate/EndUpdate bracket: a record added, inserted or moved, and a record whose key cell
// is written, goes to its place by binary search, a deleted one leaves; inside a bracket
// nothing moves (a new record shows last, or at the position of its storage row when inserted)
// and the whole order is made once when the bracket closes. A sort that names a column the set
// does not have (removed, renamed, not loaded yet) keeps its text but leaves the records
// unsorted until the column is there again.
//
// Cells: a typed column keeps its cells compactly by kind; a TvpUniValue is made for a caller
// that asks for a cell (Cells, GetRowData, GetData, GetFirst, GetDataByBmrk). Writing through it
// writes the cell (and re-places the record under a sort). It stays valid until the column's
// records next change in number or storage place (a record added, inserted, deleted or moved,
// the set cleared, assigned or loaded) or the column's type changes: keep a position or a
// bookmark across those, not the cell. Asking twice for one cell meanwhile gives the same value.
//
// Streaming: each column writes "Data", one list entry per cell in storage order; a null cell
// (and a cell the stream has no form for, such as a variant holding an array) is written as nil
// and reads back null. The cells of an untyped (ftUnknown) column each take the kind of their
// first write; they read back as variants of their values.

#include "platform/classes/Collection.h"
#include "platform/db/DBTypes.h"
#include "runtime/db/UniValue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace zv {

class TDataSet;
class TFieldDefs;
class TvpQuickRecordSet;
namespace qrsdetail {
class TQrsBookmarkIndex;
class TQrsColumnCells;
class TQrsOrder;
class TSortKeys;
}  // namespace qrsdetail

// What a bound dataset did to the record set (reported through FieldChanged).
enum TodsRecordSetAction { rsaUpdate, rsaInsert, rsaDelete };

ZV_EVENT(TvpQRSChangedEvent, void(TObject* sender, TodsRecordSetAction action,
                                  const String& fieldName, int recNo));

// One column: its definition and its cells in storage order.
class TvpQRSField : public TCollectionItem {
  ZV_CLASS(TvpQRSField, TCollectionItem)

public:
  // Joining the columns of a record set gives the column one null cell per record.
  explicit TvpQRSField(TCollection* collection = nullptr);
  ~TvpQRSField() override;

  const String& FieldName() const { return fFieldName; }
  // Another column of the same collection with the name (ignoring case) raises EDatabaseError
  // SDuplicateFieldName; the name is then unchanged.
  void SetFieldName(const String& name);
  TFieldType DataType() const { return fDataType; }
  // A new type empties the column: every cell is replaced by a null cell of that type.
  void SetDataType(TFieldType dataType);
  int Size() const { return fSize; }
  void SetSize(int size);  // negative: EZVError SENegativeValue
  int Precision() const { return fPrecision; }
  void SetPrecision(int precision);

  // Number of cells (RecordCount while the column belongs to a record set).
  int Count() const;
  // The cell at a position (through the record set's order when there is one). EListError
  // outside the cells.
  TvpUniValue* GetRowData(int pos) const;
  // The cell at a storage row. EListError outside the cells.
  TvpUniValue* Cells(int row) const;
  // dest takes the cell at a position (TvpUniValue::Assign), without a cell being made.
  void CopyRowData(int pos, TvpUniValue& dest) const;

  // A null cell of the column's type (both change flags off, DataType not streamed).
  std::unique_ptr<TvpUniValue> CreateValue() const;
  // Cell management by storage row. The record set keeps every column in step through these;
  // calling them on a column of a record set breaks that step.
  void Init(int count);  // appends count null cells
  void Add();
  void Insert(int row);  // 0 .. Count
  void Delete(int row);  // 0 .. Count - 1
  void Clear();

  TvpQuickRecordSet* GetRecordSet() const;

  // From another column: name, type, size and precision (not the cells).
  void Assign(const TPersistent* source) override;
  String DisplayName() const override;
  static void DeclareProperties(TPropTable<TvpQRSField>& t);

protected:
  void DefineProperties(TFiler& filer) override;

private:
  friend class TvpQuickRecordSet;
  friend class TvpQRSFields;
  friend class qrsdetail::TQrsColumnCells;
  friend class qrsdetail::TSortKeys;

  void CheckRow(int row, int count) const;
  void ResizeTo(int count);  // truncates or pads with nulls
  void MoveCell(int from, int to);
  void ReadCells(TReader& reader);
  void WriteCells(TWriter& writer) const;
  void CellWritten(int row);  // from the cells

  std::unique_ptr<qrsdetail::TQrsColumnCells> fCells;
  String fFieldName;
  TFieldType fDataType = ftUnknown;
  int fSize = 0;
  int fPrecision = 0;
};

// The columns of a record set. Removing the last column empties the record set.
class TvpQRSFields : public TOwnedCollection {
  ZV_CLASS(TvpQRSFields, TOwnedCollection)

public:
  explicit TvpQRSFields(TvpQuickRecordSet* recordSet = nullptr);

  using TCollection::Add;
  // A new column with the name, type and size. A name already there raises EDatabaseError
  // SDuplicateFieldName and a negative size SENegativeValue; nothing is added then.
  TvpQRSField* Add(const String& fieldName, TFieldType dataType, int size = 0);
  // The first column whose name equals fieldName ignoring case, or null.
  TvpQRSField* Find(std::string_view fieldName) const;
  TvpQRSField* Items(int index) const { return ItemAs<TvpQRSField>(index); }
  TvpQuickRecordSet* RecordSet() const { return fRecordSet; }

protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  TvpQuickRecordSet* fRecordSet;
};

class TvpQuickRecordSet : public TPersistent {
  ZV_CLASS(TvpQuickRecordSet, TPersistent)

public:
  TvpQuickRecordSet();
  ~TvpQuickRecordSet() override;

  TvpQRSChangedEvent OnChanged;

  TvpQRSFields* Fields() const { return fFields.get(); }
  // Replaces the columns by copies of value's definitions (no cells: the records go).
  void SetFields(TvpQRSFields* value);
  int RecordCount() const { return fRecordCount; }
  const String& SortString() const { return fSortString; }
  // Stores the text trimmed and sorts. A name that is no column raises EZVError SFieldNotFound
  // and keeps the previous text and order.
  void SetSortString(const String& value);
  int UpdateCount() const { return fUpdateCount; }

  // From another record set: its column definitions and all its records (not its sort order
  // nor OnChanged). Assigning a set to itself does nothing.
  void Assign(const TPersistent* source) override;

  // FieldByName raises EZVError SFieldNotFound; FindField gives null.
  TvpQRSField* FieldByName(std::string_view fieldName) const;
  TvpQRSField* FindField(std::string_view fieldName) const;
  TvpUniValue* GetData(std::string_view fieldName, int pos) const;
  TvpUniValue* GetFirst(std::string_view fieldName) const { return GetData(fieldName, 0); }
  // Null when the bookmark is not one of a record here.
  TvpUniValue* GetDataByBmrk(std::string_view fieldName, const TBookmarkStr& bookmark) const;

  // A new bookmark, never handed out before by this record set.
  TBookmarkStr GetBookmarkStr();
  // The bookmark of the record at a position.
  TBookmarkStr BookmarkOf(int pos) const;
  // The position of the record with the bookmark (compared byte for byte); -1 for an empty or
  // unknown bookmark. O(1).
  int IndexOfBookmark(const TBookmarkStr& bookmark) const;
  // Storage row of a position and position of a storage row; EListError outside the records.
  int RowOf(int pos) const;
  int PosOf(int row) const;

  // Nesting brackets; the order is re-applied once when the last bracket closes.
  void BeginUpdate();
  void EndUpdate();

  // Records. Each column (and the bookmarks and order) changes in step; a new record is null
  // in every column and has a new bookmark. Rows outside the records raise EListError.
  void AddRecord();
  void InsertRecord(int row);  // 0 .. RecordCount
  void DeleteRecord(int row);
  void MoveRecord(int curIndex, int newIndex);
  void Clear();  // every record goes; the columns stay
  // Appends count records of source from its position startPos, taking the cells of the
  // columns whose names are here (others are skipped; columns here without one stay null).
  // A range outside source raises EListError before anything is added; a cell that does not
  // convert raises its error and the records added so far stay.
  void Append(const TvpQuickRecordSet& source, int startPos, int count);
  // New bookmarks for every record and the order rebuilt (after loading).
  void CreateIndex();
  // Re-applies the order (nothing inside an update bracket).
  void UpdateIndex();

  // The first position in startPos .. startPos + span (to the last record when span is -1)
  // whose key columns all match, or -1. keyFields is a ";" list; with several fields,
  // keyValues is a variant array with one element per field. A cell matches by text: a Null
  // key is the empty text, a number its text; loCaseInsensitive lower-cases both texts,
  // loPartialKey lets the cell's text begin with the key's (an empty key then never matches).
  int IndexOfRec(const String& keyFields, const Variant& keyValues, TLocateOptions options = {},
                 int startPos = 0, int span = -1) const;
  // The result cells (AsVariant; a variant array for several ";" fields) of the first record
  // matching exactly; Null when none does.
  Variant Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) const;

  // One column per definition: name, type, size, precision.
  void ImportFieldDefs(const TFieldDefs& fieldDefs);
  // One definition per column, added to fieldDefs; fieldNames becomes the ";" list of them.
  void ExportFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) const;
  // The cells at pos take the current values of every field of dataSet (a field without a
  // column raises SFieldNotFound before anything changes).
  void ImportFromDataSet(TDataSet& dataSet, int pos);

  // Called by whoever changed the records on the set's behalf (the object dataset's provider);
  // fires OnChanged.
  virtual void FieldChanged(TodsRecordSetAction action, const String& fieldName, int recNo);

  static void DeclareProperties(TPropTable<TvpQuickRecordSet>& t);

private:
  friend class TvpQRSField;
  friend class TvpQRSFields;

  using TSortKeyList = std::vector<std::unique_ptr<qrsdetail::TSortKeys>>;

  // The keys of the sort items of a sort text.
  TSortKeyList ParseSortString(std::string_view text) const;
  // (code of the first key, storage row) in the order the keys give.
  using TRankedRows = std::vector<std::pair<std::uint64_t, std::int32_t>>;
  TRankedRows SortedRows(const TSortKeyList& keys) const;
  // The order of two storage rows: by the keys, then by row.
  static int CompareKeys(const TSortKeyList& keys, std::int32_t a, std::int32_t b);
  void ResetOrder();  // identity
  std::uint64_t CodeOf(int row) const;
  // The order is kept record by record: a sort is in force and no bracket is open.
  bool Incremental() const { return fUpdateCount == 0 && !fKeys.empty(); }
  void Place(int row);
  void CellWritten(TvpQRSField& column, int row);
  void ColumnLeaving(const TvpQRSField& column);
  std::uint32_t NextBookmark();
  void AddBookmark(int row);
  void CheckRecord(int row) const;
  // Column hooks.
  void ColumnJoined(TvpQRSField& column);
  void LastColumnGone();
  void ColumnsChanged();  // a column renamed, retyped, added or removed
  void ColumnCellsRead(TvpQRSField& column, std::unique_ptr<qrsdetail::TQrsColumnCells> cells);

  std::unique_ptr<TvpQRSFields> fFields;
  std::vector<std::uint32_t> fBookmarks;   // by storage row
  std::unique_ptr<qrsdetail::TQrsOrder> fOrder;
  TSortKeyList fKeys;  // while the sort is in force, outside brackets
  std::unique_ptr<qrsdetail::TQrsBookmarkIndex> fBookmarkIndex;
  std::uint32_t fLastBookmark = 0;
  int fRecordCount = 0;
  int fUpdateCount = 0;
  bool fSortApplied = true;  // the order is the one fSortString gives
  bool fDestroying = false;
  String fSortString;
};

}  // namespace zv
