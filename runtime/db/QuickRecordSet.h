#pragma once
// TvpQuickRecordSet: a small in-memory table of named, typed columns of TvpUniValue cells, with
// an optional multi-column sort order, bookmarks, text search and lookup, and streaming of its
// whole content with a form. Shown through the object dataset it becomes an editable dataset.
//
// Records are addressed two ways. A *position* (0 .. RecordCount - 1) is where a record shows
// in the current order; reading and writing cells (GetData, GetRowData, IndexOfRec, Lookup,
// IndexOfBookmark) use positions. A *storage row* is where the cells are kept; InsertRecord,
// DeleteRecord and MoveRecord take storage rows. Without a sort order the two coincide. Both
// maps (RowOf, PosOf) are O(1) and valid at every moment, inside an update bracket too.
//
// Bookmarks are four bytes holding a number drawn from a counter of the record set: unique for
// the set's life (until the counter wraps after 2^32 - 1 records), never streamed, so a loaded
// set has new ones. They stay with their record through inserts, deletes, moves and sorts.
//
// The sort order (SortString) is a list of column names separated by ",", each optionally
// followed by " asc" or " desc". Nulls come first ascending and last descending; ties come in
// any order. The order is re-applied after every AddRecord, InsertRecord, DeleteRecord and
// MoveRecord outside a BeginUpdate/EndUpdate bracket, and once when the bracket closes. A sort
// that names a column the set does not have (removed, renamed, not loaded yet) keeps its text
// but leaves the records unsorted until the column is there again.
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
}

// What a bound dataset did to the record set (reported through FieldChanged).
enum TodsRecordSetAction { rsaUpdate, rsaInsert, rsaDelete };

using TvpQRSChangedEvent = std::function<void(TObject* sender, TodsRecordSetAction action,
                                              const String& fieldName, int recNo)>;

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
  int Count() const { return static_cast<int>(fValues.size()); }
  // The cell at a position (through the record set's order when there is one). EListError
  // outside the cells.
  TvpUniValue* GetRowData(int pos) const;
  // The cell at a storage row. EListError outside the cells.
  TvpUniValue* Cells(int row) const;

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

  void CheckRow(int row, int count) const;
  void ResizeTo(int count);  // truncates or pads with nulls
  void MoveCell(int from, int to);
  void ReadCells(TReader& reader);
  void WriteCells(TWriter& writer) const;

  std::vector<std::unique_ptr<TvpUniValue>> fValues;
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

  struct SortItem {
    const TvpQRSField* Column;
    bool Descending;
  };

  std::vector<SortItem> ParseSortString(std::string_view text) const;
  // The storage rows in the order the items give.
  std::vector<std::int32_t> SortedRows(const std::vector<SortItem>& items) const;
  void ResetOrder();  // identity
  void SetOrder(std::vector<std::int32_t> rows);
  void RebuildPositions();
  std::uint32_t NextBookmark();
  void AddBookmark(int row);
  void CheckRecord(int row) const;
  // Column hooks.
  void ColumnJoined(TvpQRSField& column);
  void LastColumnGone();
  void ColumnsChanged();  // a column renamed, retyped, added or removed
  void ColumnCellsRead(TvpQRSField& column, std::vector<std::unique_ptr<TvpUniValue>> cells);

  std::unique_ptr<TvpQRSFields> fFields;
  std::vector<std::uint32_t> fBookmarks;   // by storage row
  std::vector<std::int32_t> fOrder;        // position -> storage row; empty: identity
  std::vector<std::int32_t> fPositions;    // storage row -> position; empty: identity
  std::unique_ptr<qrsdetail::TQrsBookmarkIndex> fBookmarkIndex;
  std::uint32_t fLastBookmark = 0;
  int fRecordCount = 0;
  int fUpdateCount = 0;
  bool fSortApplied = true;  // the order is the one fSortString gives
  bool fDestroying = false;
  String fSortString;
};

}  // namespace zv
