// TMemTable: rows of Variants in the current order, found by identity through a hash map.
//
// Sections: record buffers and bookmarks; creating and opening; the cursor; posting and
// deleting; sorting. Field data and blobs are TVariantDataSet's.

#include "platform/db/MemTable.h"

#include "platform/db/BookmarkSet.h"

#include "platform/db/SortString.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/detail/DataSetInternal.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TMemTable, TVariantDataSet)

void TMemTable::DeclareProperties(TPropTable<TMemTable>& t) {
  t.Prop("IndexFieldNames", &TMemTable::IndexFieldNames, &TMemTable::SetIndexFieldNames);
}

namespace {

bool IsNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

// The bytes of a byte array; none for other arrays, which all compare equal.
std::span<const std::uint8_t> ArrayBytes(const Variant& v) {
  return (v.VarType() & varTypeMask) == varByte ? v.Bytes() : std::span<const std::uint8_t>();
}

// Nulls first, blobs (arrays) last and by their bytes, as SQLite orders them; other values of
// one column compare by the Variant rules, and a pair those rules cannot order compares as
// text, so that sorting never fails half way.
int CompareValues(const Variant& a, const Variant& b) {
  const bool na = IsNullish(a), nb = IsNullish(b);
  if (na || nb) return na == nb ? 0 : (na ? -1 : 1);
  if (a.IsArray() || b.IsArray()) {
    if (!a.IsArray() || !b.IsArray()) return a.IsArray() ? 1 : -1;
    const auto x = ArrayBytes(a), y = ArrayBytes(b);
    const auto c = std::lexicographical_compare_three_way(x.begin(), x.end(), y.begin(), y.end());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  try {
    switch (VarCompareValue(a, b)) {
      case vrLessThan: return -1;
      case vrGreaterThan: return 1;
      case vrEqual: return 0;
      case vrNotEqual: break;
    }
  } catch (const Exception&) {
  }
  try {
    return CompareStr(VarToStr(a), VarToStr(b));
  } catch (const Exception&) {
    return 0;
  }
}


}  // namespace

// ---------------------------------------------------------------------------------------------
// Record buffers and bookmarks

TMemTable::TMemTable(TComponent* owner) : TVariantDataSet(owner) {}

TMemTable::~TMemTable() {
  Destroying();
  Close();
}

void TMemTable::FillBuffer(TRecordBuffer& buffer, const TRow& row) const {
  TVariantRecordBuffer& record = Values(buffer);
  record.Values = row.Values;
  record.Changed.assign(row.Values.size(), 0);
  buffer.Bookmark = IntegerBookmark(row.Id);
  buffer.BookmarkFlag = bfCurrent;
}

TMemTable::TRow* TMemTable::FindRow(const TBookmarkStr& bookmark) const {
  std::int64_t id = 0;
  if (!DecodeIntegerBookmark(bookmark, id)) return nullptr;
  const auto it = fById.find(id);
  return it == fById.end() ? nullptr : it->second;
}

bool TMemTable::BookmarkValid(const TBookmarkStr& bookmark) const { return FindRow(bookmark) != nullptr; }

int TMemTable::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  const TRow* ra = FindRow(a);
  const TRow* rb = FindRow(b);
  if (ra && rb) return ra->Pos < rb->Pos ? -1 : (ra->Pos > rb->Pos ? 1 : 0);
  std::int64_t ia = 0, ib = 0;
  DecodeIntegerBookmark(a, ia);
  DecodeIntegerBookmark(b, ib);
  return ia < ib ? -1 : (ia > ib ? 1 : 0);
}

// ---------------------------------------------------------------------------------------------
// Creating and opening

void TMemTable::CreateDataSet() {
  CheckInactive();
  InternalInitFieldDefs();
  CreateTable();
  Open();
}

void TMemTable::CreateTable() {
  fColumns.clear();
  TFieldDefs& defs = FieldDefs();
  for (int i = 0; i < defs.Count(); ++i) fColumns.push_back({defs[i]->Name(), defs[i]->DataType()});
  fRows.clear();
  fById.clear();
  fNextNatural = 0;
  fNextAutoInc = 1;
  fCursor = -1;
  fCreated = true;
}

bool TMemTable::SameStructure() const {
  TFieldDefs& defs = const_cast<TMemTable*>(this)->FieldDefs();
  if (defs.Count() != static_cast<int>(fColumns.size())) return false;
  for (int i = 0; i < defs.Count(); ++i) {
    const TColumn& c = fColumns[static_cast<std::size_t>(i)];
    if (c.Name != defs[i]->Name() || c.DataType != defs[i]->DataType()) return false;
  }
  return true;
}

// A table defined by its fields alone gets definitions from them.
void TMemTable::InternalInitFieldDefs() {
  TFieldDefs& defs = FieldDefs();
  if (defs.Count() > 0) return;
  for (TField* f : Fields())
    if (f->FieldKind() == fkData) defs.Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
}

void TMemTable::InternalOpen() {
  if (!fCreated || !SameStructure()) CreateTable();
  fOpen = true;
  try {
    fSortKeys = ParseSortString(fSortString);
  } catch (...) {
    fOpen = false;
    throw;
  }
  if (!fSortKeys.empty()) {
    std::sort(fRows.begin(), fRows.end(), [this](const auto& a, const auto& b) { return RowLess(*a, *b); });
    Renumber(0);
  }
  fCursor = -1;
}

void TMemTable::InternalClose() {
  fOpen = false;
  fCursor = -1;
}

void TMemTable::EmptyDataSet() {
  CheckActive();
  if (State() == dsEdit || State() == dsInsert) Cancel();
  fRows.clear();
  fById.clear();
  fNextNatural = 0;
  fCursor = -1;
  LookupDataChanged();
  First();
}

int TMemTable::RecordCount() const {
  CheckActive();
  return static_cast<int>(fRows.size());
}

// ---------------------------------------------------------------------------------------------
// The cursor

void TMemTable::InternalFirst() { fCursor = -1; }
void TMemTable::InternalLast() { fCursor = static_cast<int>(fRows.size()); }

TGetResult TMemTable::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool) {
  const int count = static_cast<int>(fRows.size());
  switch (mode) {
    case gmCurrent:
      if (fCursor < 0) return grBOF;
      if (fCursor >= count) return grEOF;
      break;
    case gmNext:
      if (fCursor < count) ++fCursor;
      if (fCursor >= count) return grEOF;
      break;
    case gmPrior:
      if (fCursor >= 0) --fCursor;
      if (fCursor < 0) return grBOF;
      break;
  }
  FillBuffer(buffer, *fRows[static_cast<std::size_t>(fCursor)]);
  return grOK;
}

bool TMemTable::FindKeyRecord(TRecordBuffer& scratch, const std::vector<TField*>& fields,
                              const std::vector<Variant>& keys) {
  std::vector<std::size_t> columns;
  for (const TField* field : fields) {
    const int column = ColumnOf(field);
    if (column < 0) return TVariantDataSet::FindKeyRecord(scratch, fields, keys);  // a calculated key
    columns.push_back(static_cast<std::size_t>(column));
  }
  // Only the key columns are copied while looking; the whole row, and its calculated fields,
  // once found.
  TVariantRecordBuffer& record = Values(scratch);
  record.ClearValues(ColumnCount(), false);
  for (const auto& row : fRows) {
    for (const std::size_t column : columns) record.Values[column] = row->Values[column];
    if (!dataset_detail::MatchesKeys(fields, keys, {})) continue;
    FillBuffer(scratch, *row);
    GetCalcFields(scratch);
    return true;
  }
  return false;
}

void TMemTable::InternalSetToRecord(TRecordBuffer& buffer) {
  if (const TRow* row = FindRow(GetBookmarkData(buffer))) fCursor = row->Pos;
}

void TMemTable::InternalGotoBookmark(const TBookmarkStr& bookmark) {
  const TRow* row = FindRow(bookmark);
  if (!row) DatabaseError(SBookmarkNotFound, this);
  fCursor = row->Pos;
}

int TMemTable::RecNo() const {
  CheckActive();
  if (IsEmpty()) return 0;
  const TRecordBuffer& buffer = *ActiveBuffer();
  switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
      return 1;
    case bfEOF:
      return static_cast<int>(fRows.size()) + 1;
    default: {
      // An inserted record shows where it will go: before the record it was inserted at.
      const TRow* row = FindRow(GetBookmarkData(buffer));
      return row ? row->Pos + 1 : -1;
    }
  }
}

void TMemTable::SetRecNo(int value) {
  CheckActive();
  if (fRows.empty()) return;
  value = std::clamp(value, 1, static_cast<int>(fRows.size()));
  if (value == RecNo() && State() == dsBrowse) return;
  GotoBookmark(IntegerBookmark(fRows[static_cast<std::size_t>(value - 1)]->Id));
}

// ---------------------------------------------------------------------------------------------
// Posting and deleting

void TMemTable::Renumber(std::size_t from) {
  for (std::size_t i = from; i < fRows.size(); ++i) fRows[i]->Pos = static_cast<int>(i);
}

int TMemTable::PlaceRow(std::unique_ptr<TRow> row, int unsortedIndex) {
  const int count = static_cast<int>(fRows.size());
  int index;
  if (!fSortKeys.empty()) {
    const auto it = std::upper_bound(fRows.begin(), fRows.end(), row,
                                     [this](const auto& a, const auto& b) { return RowLess(*a, *b); });
    index = static_cast<int>(it - fRows.begin());
  } else {
    index = std::clamp(unsortedIndex, 0, count);
  }
  fRows.insert(fRows.begin() + index, std::move(row));
  Renumber(static_cast<std::size_t>(index));
  // Without a sort the order is the order of addition: a record inserted between others
  // takes its rank from its place.
  if (fSortKeys.empty() && index < count) {
    for (std::size_t i = 0; i < fRows.size(); ++i) fRows[i]->Natural = static_cast<std::int64_t>(i);
    fNextNatural = static_cast<std::int64_t>(fRows.size());
  }
  return index;
}

void TMemTable::AssignAutoIncrements(std::vector<Variant>& values) {
  for (std::size_t c = 0; c < fColumns.size() && c < values.size(); ++c) {
    if (fColumns[c].DataType != ftAutoInc) continue;
    if (IsNullish(values[c]))
      values[c] = static_cast<int>(fNextAutoInc++);
    else
      fNextAutoInc = std::max<std::int64_t>(fNextAutoInc, values[c].AsInt64() + 1);
  }
}

void TMemTable::InternalAddRecord(TRecordBuffer& buffer, bool append) {
  auto row = std::make_unique<TRow>();
  row->Id = fNextId++;
  row->Natural = fNextNatural++;
  row->Values = Values(buffer).Values;
  row->Values.resize(fColumns.size(), Variant::Null());
  AssignAutoIncrements(row->Values);
  fById[row->Id] = row.get();
  fCursor = PlaceRow(std::move(row), append ? static_cast<int>(fRows.size()) : std::max(fCursor, 0));
}

void TMemTable::InternalPost() {
  TRecordBuffer& buffer = *ActiveBuffer();
  std::vector<Variant>& values = Values(buffer).Values;
  if (State() == dsInsert) AssignAutoIncrements(values);
  TDataSet::InternalPost();
  if (State() == dsEdit) {
    TRow* row = FindRow(GetBookmarkData(buffer));
    if (!row) DatabaseError(SRecordNotFound, this);
    row->Values = values;
    if (fSortKeys.empty()) {
      fCursor = row->Pos;
      return;
    }
    // A changed key may move the record.
    const int from = row->Pos;
    std::unique_ptr<TRow> owned = std::move(fRows[static_cast<std::size_t>(from)]);
    fRows.erase(fRows.begin() + from);
    Renumber(static_cast<std::size_t>(from));
    fCursor = PlaceRow(std::move(owned), from);
    return;
  }
  auto row = std::make_unique<TRow>();
  row->Id = fNextId++;
  row->Natural = fNextNatural++;
  row->Values = values;
  int at = static_cast<int>(fRows.size());
  switch (GetBookmarkFlag(buffer)) {
    case bfEOF:
      break;
    case bfBOF:
      at = 0;
      break;
    default:
      if (const TRow* before = FindRow(GetBookmarkData(buffer)))
        at = before->Pos;
      else
        at = std::clamp(fCursor, 0, at);
      break;
  }
  fById[row->Id] = row.get();
  fCursor = PlaceRow(std::move(row), at);
}

void TMemTable::InternalDelete() {
  const TRow* row = FindRow(GetBookmarkData(*ActiveBuffer()));
  if (!row) DatabaseError(SRecordNotFound, this);
  const int pos = row->Pos;
  fById.erase(row->Id);
  fRows.erase(fRows.begin() + pos);
  Renumber(static_cast<std::size_t>(pos));
  fCursor = pos;  // now on the record that followed, or past the last
}

// ---------------------------------------------------------------------------------------------
// Sorting

std::vector<TMemTable::TSortKey> TMemTable::ParseSortString(const String& sortString) const {
  std::vector<TSortKey> keys;
  auto columnOf = [this](const String& name) -> int {
    if (fOpen) {
      for (std::size_t i = 0; i < fColumns.size(); ++i)
        if (AnsiSameText(fColumns[i].Name, name)) return static_cast<int>(i);
      return -1;
    }
    return const_cast<TMemTable*>(this)->FieldDefs().IndexOf(name);
  };
  for (const TSortItem& item : zv::ParseSortString(sortString)) {
    const int column = columnOf(item.Name);
    if (column < 0) DatabaseError(Format(SInvalidSortField, {item.Name}), this);
    keys.push_back({column, item.Descending});
  }
  return keys;
}

bool TMemTable::RowLess(const TRow& a, const TRow& b) const {
  for (const TSortKey& key : fSortKeys) {
    const auto column = static_cast<std::size_t>(key.Column);
    int c = CompareValues(a.Values[column], b.Values[column]);
    if (key.Descending) c = -c;
    if (c != 0) return c < 0;
  }
  return a.Natural < b.Natural;
}

void TMemTable::SortBy(const String& sortString) {
  // Definitions known: the text is checked now, even on a closed table.
  std::vector<TSortKey> keys;
  if (fOpen || FieldDefs().Count() > 0) keys = ParseSortString(sortString);
  if (!fOpen) {
    fSortString = sortString;
    return;
  }
  CheckBrowseMode();
  fSortString = sortString;
  fSortKeys = std::move(keys);
  const TBookmarkStr current = Bookmark();
  if (fSortKeys.empty())
    std::sort(fRows.begin(), fRows.end(), [](const auto& a, const auto& b) { return a->Natural < b->Natural; });
  else
    std::sort(fRows.begin(), fRows.end(), [this](const auto& a, const auto& b) { return RowLess(*a, *b); });
  Renumber(0);
  if (const TRow* row = FindRow(current)) {
    fCursor = row->Pos;
    Resync({rmExact, rmCenter});
  } else {
    First();
  }
}

// ---------------------------------------------------------------------------------------------
// Bookmark sets

bool TMemTable::BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const {
  return DecodeIntegerBookmark(bookmark, number);
}

void TMemTable::BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) {
  std::size_t first = 0, last = fRows.size();
  if (!from.empty() || !to.empty()) {
    const TRow* a = FindRow(from);
    const TRow* b = FindRow(to);
    if (!a || !b) return;
    first = static_cast<std::size_t>(std::min(a->Pos, b->Pos));
    last = static_cast<std::size_t>(std::max(a->Pos, b->Pos)) + 1;
  }
  // Identities are consecutive in the order records were added: runs go in whole.
  for (std::size_t i = first; i < last;) {
    std::size_t j = i + 1;
    while (j < last && fRows[j]->Id == fRows[j - 1]->Id + 1) ++j;
    set.AddNumbers(fRows[i]->Id, fRows[j - 1]->Id);
    i = j;
  }
}

std::int64_t TMemTable::BookmarkRank(const TBookmarkStr& bookmark) {
  const TRow* row = FindRow(bookmark);
  return row ? row->Pos : -1;
}

void TMemTable::BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                                 const TBookmarkStr& after, std::vector<TBookmarkStr>& into) {
  std::size_t from = 0;
  if (const TRow* last = after.empty() ? nullptr : FindRow(after)) {
    from = static_cast<std::size_t>(last->Pos) + 1;
    skip = 0;
  }
  for (std::size_t i = from; i < fRows.size() && into.size() < count; ++i) {
    const auto& row = fRows[i];
    TBookmarkStr bookmark = IntegerBookmark(row->Id);
    if (!set.Contains(bookmark)) continue;
    if (skip > 0)
      --skip;
    else
      into.push_back(std::move(bookmark));
  }
}

void TMemTable::BookmarkSetPurge(TBookmarkSet& set) {
  std::vector<std::int64_t> gone;
  set.EachRun([&](std::int64_t lo, std::int64_t hi) {
    for (std::int64_t n = lo; n <= hi; ++n)
      if (!fById.contains(n)) gone.push_back(n);
  });
  for (const std::int64_t n : gone) set.Remove(IntegerBookmark(n));
}

// One pass over the rows; the controls hear of it once.
void TMemTable::BookmarkSetDelete(TBookmarkSet& set) {
  const TBookmarkStr current = Bookmark();
  const int currentPos = fCursor;
  int before = 0;  // deleted rows before the cursor's
  std::vector<std::unique_ptr<TRow>> kept;
  kept.reserve(fRows.size());
  for (auto& row : fRows) {
    if (set.Contains(IntegerBookmark(row->Id))) {
      if (row->Pos < currentPos) ++before;
      fById.erase(row->Id);
    } else {
      kept.push_back(std::move(row));
    }
  }
  fRows = std::move(kept);
  Renumber(0);
  set.Clear();
  LookupDataChanged();
  if (const TRow* row = FindRow(current))
    fCursor = row->Pos;
  else
    fCursor = std::min(currentPos - before, static_cast<int>(fRows.size()));
  Resync({});
}

}  // namespace zv
