#pragma once
// TMemTable: a dataset whose records live in memory. Define FieldDefs (or fields), then
// CreateDataSet. Records keep an identity for their lifetime, so bookmarks survive inserts,
// deletes and re-sorting; RecNo and RecordCount cost nothing. SortBy orders the records by a
// list of fields (what a grid does when its title is clicked); records posted later take their
// place in that order. The records stay when the table is closed and opened again with the
// same definitions.

#include "platform/db/VariantDataSet.h"

#include <cstdint>
#include <unordered_map>

namespace zv {

class TMemTable : public TVariantDataSet {
  ZV_CLASS(TMemTable, TVariantDataSet)

public:
  explicit TMemTable(TComponent* owner);
  ~TMemTable() override;

  // A new, empty table of the FieldDefs (taken from the fields when there are no
  // definitions), opened.
  void CreateDataSet();
  // Removes every record; the table stays open at its (empty) start.
  void EmptyDataSet();

  // Orders the records by "Name;Date DESC": field names (any case), each optionally followed
  // by ASC or DESC. Nulls come first in ascending order; equal keys keep their relative order.
  // An empty text goes back to the order the records were added in. An unknown field raises
  // EDatabaseError (SInvalidSortField); the order is then unchanged. The current record stays
  // current.
  void SortBy(const String& sortString);
  const String& IndexFieldNames() const { return fSortString; }
  void SetIndexFieldNames(const String& value) { SortBy(value); }

  int RecordCount() const override;
  int RecNo() const override;
  void SetRecNo(int value) override;
  bool BookmarkValid(const TBookmarkStr& bookmark) const override;
  int CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const override;

  static void DeclareProperties(TPropTable<TMemTable>& t);

protected:
  std::size_t ColumnCount() const override { return fColumns.size(); }
  TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
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
  bool IsCursorOpen() const override { return fOpen; }
  // Looks at the rows, not through the cursor: only the record found is calculated.
  bool FindKeyRecord(TRecordBuffer& scratch, const std::vector<TField*>& fields,
                     const std::vector<Variant>& keys) override;
  // Bookmark sets answered from the rows, the cursor unmoved.
  bool BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const override;
  void BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) override;
  std::int64_t BookmarkRank(const TBookmarkStr& bookmark) override;
  void BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                        const TBookmarkStr& after, std::vector<TBookmarkStr>& into) override;
  void BookmarkSetPurge(TBookmarkSet& set) override;
  void BookmarkSetDelete(TBookmarkSet& set) override;

private:
  struct TRow {
    std::int64_t Id = 0;       // the record's identity, its bookmark
    std::int64_t Natural = 0;  // rank in the order the records were added in
    int Pos = 0;               // index in fRows
    std::vector<Variant> Values;
  };
  struct TSortKey {
    int Column = 0;
    bool Descending = false;
  };
  struct TColumn {
    String Name;
    TFieldType DataType = ftUnknown;
  };

  void CreateTable();
  bool SameStructure() const;
  std::vector<TSortKey> ParseSortString(const String& sortString) const;
  bool RowLess(const TRow& a, const TRow& b) const;
  void Renumber(std::size_t from);
  // Puts a new or changed row where the order wants it; returns its index.
  int PlaceRow(std::unique_ptr<TRow> row, int unsortedIndex);
  TRow* FindRow(const TBookmarkStr& bookmark) const;
  void FillBuffer(TRecordBuffer& buffer, const TRow& row) const;
  void AssignAutoIncrements(std::vector<Variant>& values);

  std::vector<TColumn> fColumns;
  std::vector<std::unique_ptr<TRow>> fRows;  // in the current order
  std::unordered_map<std::int64_t, TRow*> fById;
  std::int64_t fNextId = 1;
  std::int64_t fNextNatural = 0;
  std::int64_t fNextAutoInc = 1;
  int fCursor = -1;  // -1: before the first record; Count: after the last
  bool fOpen = false;
  bool fCreated = false;
  String fSortString;
  std::vector<TSortKey> fSortKeys;
};

}  // namespace zv
