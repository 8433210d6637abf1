// The quick record set's records: storage kept in step across the columns, positions and
// storage rows, bookmarks, update brackets and the order (the sort itself is QrsSort.cpp).

#include "runtime/db/QuickRecordSet.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/db/detail/QrsBookmarkIndex.h"
#include "runtime/db/detail/QrsColumnCells.h"
#include "runtime/db/detail/QrsOrder.h"
#include "runtime/db/detail/QrsSortKeys.h"
#include "runtime/rtm/ZvErrors.h"

#include <algorithm>
#include <cstring>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpQuickRecordSet, TPersistent)

void TvpQuickRecordSet::DeclareProperties(TPropTable<TvpQuickRecordSet>& t) {
  // Columns first: the sort order is read after them and sorts the loaded records.
  t.Prop("Fields", &TvpQuickRecordSet::Fields, &TvpQuickRecordSet::SetFields);
  t.Prop("SortString", &TvpQuickRecordSet::SortString, &TvpQuickRecordSet::SetSortString);
}

TvpQuickRecordSet::TvpQuickRecordSet()
    : fFields(std::make_unique<TvpQRSFields>(this)),
      fOrder(std::make_unique<qrsdetail::TQrsOrder>()),
      fBookmarkIndex(std::make_unique<qrsdetail::TQrsBookmarkIndex>()) {
  fFields->SetPropName("Fields");
}

TvpQuickRecordSet::~TvpQuickRecordSet() {
  fDestroying = true;
  fKeys.clear();
  fFields.reset();
}

void TvpQuickRecordSet::SetFields(TvpQRSFields* value) {
  if (value == fFields.get()) return;
  if (value)
    fFields->Assign(value);
  else
    fFields->Clear();
}

// ---------------------------------------------------------------------------------------------
// Columns

TvpQRSField* TvpQuickRecordSet::FindField(std::string_view fieldName) const { return fFields->Find(fieldName); }

TvpQRSField* TvpQuickRecordSet::FieldByName(std::string_view fieldName) const {
  TvpQRSField* column = FindField(fieldName);
  if (!column) throw EZVError(Format(SFieldNotFound, {String(fieldName)}));
  return column;
}

TvpUniValue* TvpQuickRecordSet::GetData(std::string_view fieldName, int pos) const {
  return FieldByName(fieldName)->GetRowData(pos);
}

TvpUniValue* TvpQuickRecordSet::GetDataByBmrk(std::string_view fieldName, const TBookmarkStr& bookmark) const {
  TvpQRSField* column = FieldByName(fieldName);
  const int pos = IndexOfBookmark(bookmark);
  return pos < 0 ? nullptr : column->GetRowData(pos);
}

void TvpQuickRecordSet::ColumnJoined(TvpQRSField& column) {
  if (column.Count() != fRecordCount) column.ResizeTo(fRecordCount);
}

void TvpQuickRecordSet::LastColumnGone() {
  if (fRecordCount != 0) Clear();
}

void TvpQuickRecordSet::ColumnCellsRead(TvpQRSField& column, std::unique_ptr<qrsdetail::TQrsColumnCells> cells) {
  const int count = cells->Count();
  ColumnLeaving(column);
  if (column.Index() == 0) {
    // The first column sets the record count; the others must then agree with it.
    column.fCells = std::move(cells);
    for (int i = 0; i < fFields->Count(); ++i)
      if (fFields->Items(i) != &column) fFields->Items(i)->ResizeTo(count);
    fRecordCount = count;
    CreateIndex();
    return;
  }
  if (count != fRecordCount)
    throw EReadError(Format("Column '%s' holds %d values for %d records", {column.FieldName(), count, fRecordCount}));
  column.fCells = std::move(cells);
  if (!fSortString.empty()) UpdateIndex();
}

void TvpQuickRecordSet::ColumnLeaving(const TvpQRSField& column) {
  // Keys of a column whose cells go are no keys: the order is made anew when it is back.
  for (const auto& k : fKeys)
    if (k->Column() == &column) {
      fKeys.clear();
      return;
    }
}

// ---------------------------------------------------------------------------------------------
// Positions and bookmarks

void TvpQuickRecordSet::CheckRecord(int row) const {
  if (row < 0 || row >= fRecordCount) throw EListError(Format(SListIndexError, {row}));
}

int TvpQuickRecordSet::RowOf(int pos) const {
  CheckRecord(pos);
  return fOrder->RowAt(pos);
}

int TvpQuickRecordSet::PosOf(int row) const {
  CheckRecord(row);
  return fOrder->PosOf(row);
}

std::uint32_t TvpQuickRecordSet::NextBookmark() {
  if (++fLastBookmark == 0) ++fLastBookmark;  // 0 is no bookmark
  return fLastBookmark;
}

TBookmarkStr TvpQuickRecordSet::GetBookmarkStr() {
  const std::uint32_t value = NextBookmark();
  TBookmarkStr bookmark(sizeof(value), '\0');
  std::memcpy(bookmark.data(), &value, sizeof(value));
  return bookmark;
}

TBookmarkStr TvpQuickRecordSet::BookmarkOf(int pos) const {
  const std::uint32_t value = fBookmarks[static_cast<std::size_t>(RowOf(pos))];
  TBookmarkStr bookmark(sizeof(value), '\0');
  std::memcpy(bookmark.data(), &value, sizeof(value));
  return bookmark;
}

int TvpQuickRecordSet::IndexOfBookmark(const TBookmarkStr& bookmark) const {
  std::uint32_t value = 0;
  if (bookmark.size() != sizeof(value)) return -1;
  std::memcpy(&value, bookmark.data(), sizeof(value));
  if (!fBookmarkIndex->Valid()) fBookmarkIndex->Rebuild(fBookmarks);
  const int row = fBookmarkIndex->Find(value);
  return row < 0 ? -1 : PosOf(row);
}

void TvpQuickRecordSet::AddBookmark(int row) {
  const std::uint32_t bookmark = NextBookmark();
  fBookmarks.insert(fBookmarks.begin() + row, bookmark);
  if (row == fRecordCount)
    fBookmarkIndex->Add(bookmark, row);
  else
    fBookmarkIndex->Invalidate();
}

void TvpQuickRecordSet::CreateIndex() {
  fBookmarks.clear();
  fBookmarkIndex->Invalidate();
  fBookmarks.reserve(static_cast<std::size_t>(fRecordCount));
  for (int row = 0; row < fRecordCount; ++row) fBookmarks.push_back(NextBookmark());
  ResetOrder();
  UpdateIndex();
}

// ---------------------------------------------------------------------------------------------
// Records

void TvpQuickRecordSet::BeginUpdate() { ++fUpdateCount; }

void TvpQuickRecordSet::EndUpdate() {
  if (fUpdateCount > 0 && --fUpdateCount == 0) UpdateIndex();
}

namespace {

// Calls f with the order the keys give to storage rows whose first keys have the given code
// (one key: without the loop). A code that stands for one key leaves the first item out: the
// records' keys need not be read.
template <class F>
void WithLess(const std::vector<std::unique_ptr<qrsdetail::TSortKeys>>& keys, std::uint64_t code, F f) {
  const std::size_t from = keys[0]->ExactCode(code) ? 1 : 0;
  if (keys.size() == from) {
    f([](std::int32_t a, std::int32_t b) { return a < b; });
    return;
  }
  if (keys.size() == from + 1) {
    const qrsdetail::TSortKeys& k = *keys[from];
    f([&k](std::int32_t a, std::int32_t b) {
      const int c = k.CompareRows(a, b);
      return c != 0 ? c < 0 : a < b;
    });
    return;
  }
  f([&keys, from](std::int32_t a, std::int32_t b) {
    for (std::size_t i = from; i < keys.size(); ++i)
      if (const int c = keys[i]->CompareRows(a, b)) return c < 0;
    return a < b;
  });
}

}  // namespace

std::uint64_t TvpQuickRecordSet::CodeOf(int row) const { return fKeys.empty() ? 0 : fKeys[0]->Code(row); }

void TvpQuickRecordSet::Place(int row) {
  const std::uint64_t code = CodeOf(row);
  WithLess(fKeys, code, [&](auto less) { fOrder->Place(row, code, less); });
}

void TvpQuickRecordSet::AddRecord() {
  const int row = fRecordCount;
  for (int i = 0; i < fFields->Count(); ++i) fFields->Items(i)->Add();
  AddBookmark(row);
  ++fRecordCount;
  fOrder->StorageInserted(row);
  if (Incremental()) {
    for (const auto& k : fKeys) k->Insert(row);
    Place(row);
  } else {
    if (!fOrder->Identity()) fOrder->InsertAt(row, row, 0);  // last until the order is made
    fKeys.clear();
    UpdateIndex();
  }
}

void TvpQuickRecordSet::InsertRecord(int row) {
  if (row < 0 || row > fRecordCount) throw EListError(Format(SListIndexError, {row}));
  for (int i = 0; i < fFields->Count(); ++i) fFields->Items(i)->Insert(row);
  AddBookmark(row);
  ++fRecordCount;
  fOrder->StorageInserted(row);
  if (Incremental()) {
    for (const auto& k : fKeys) k->Insert(row);
    Place(row);
  } else {
    // Until the order is made the new record shows at the position of the same number.
    if (!fOrder->Identity()) fOrder->InsertAt(row, row, 0);
    fKeys.clear();
    UpdateIndex();
  }
}

void TvpQuickRecordSet::DeleteRecord(int row) {
  CheckRecord(row);
  for (int i = 0; i < fFields->Count(); ++i) fFields->Items(i)->Delete(row);
  fBookmarks.erase(fBookmarks.begin() + row);
  fBookmarkIndex->Invalidate();
  if (!fOrder->Identity()) fOrder->Remove(row);
  fOrder->StorageErased(row);
  --fRecordCount;
  if (Incremental()) {
    for (const auto& k : fKeys) k->Erase(row);
  } else {
    fKeys.clear();
    UpdateIndex();
  }
}

void TvpQuickRecordSet::MoveRecord(int curIndex, int newIndex) {
  CheckRecord(curIndex);
  CheckRecord(newIndex);
  if (curIndex == newIndex) return;
  for (int i = 0; i < fFields->Count(); ++i) fFields->Items(i)->MoveCell(curIndex, newIndex);
  const std::uint32_t bookmark = fBookmarks[static_cast<std::size_t>(curIndex)];
  fBookmarks.erase(fBookmarks.begin() + curIndex);
  fBookmarks.insert(fBookmarks.begin() + newIndex, bookmark);
  fBookmarkIndex->Invalidate();
  // Every record keeps its position; only the storage rows it refers to shift.
  fOrder->StorageMoved(curIndex, newIndex);
  if (Incremental()) {
    // Only the moved record changes its place among the others: its storage row breaks ties.
    for (const auto& k : fKeys) k->Move(curIndex, newIndex);
    fOrder->Remove(newIndex);
    Place(newIndex);
  } else {
    fKeys.clear();
    UpdateIndex();
  }
}

void TvpQuickRecordSet::CellWritten(TvpQRSField& column, int row) {
  if (fUpdateCount > 0) {
    fKeys.clear();  // the order is made when the bracket closes
    return;
  }
  if (std::none_of(fKeys.begin(), fKeys.end(), [&column](const auto& k) { return k->Column() == &column; })) return;
  fOrder->Expect(row);
  // The keys first: the entry is found by its row, whatever its keys. The way to its new place
  // is asked for while it leaves the old one.
  bool recode = false;
  for (const auto& k : fKeys) {
    if (k->Column() == &column && !k->Update(row)) {
      UpdateIndex();
      return;
    }
    if (k->TakeCodesChanged() && k == fKeys[0]) recode = true;
  }
  if (recode) {
    // The order stands; only the codes of its entries are others now. They are made in storage
    // order, where the keys lie side by side.
    std::vector<std::uint64_t> codes(static_cast<std::size_t>(fRecordCount));
    for (int r = 0; r < fRecordCount; ++r) codes[static_cast<std::size_t>(r)] = CodeOf(r);
    fOrder->Recode([&codes](std::int32_t r) { return codes[static_cast<std::size_t>(r)]; });
  }
  const std::uint64_t code = CodeOf(row);
  fOrder->ExpectPlace(code);
  bool kept = false;
  WithLess(fKeys, code, [&](auto less) { kept = fOrder->KeepsPlaceOrLeaves(row, code, less); });
  if (!kept) Place(row);
}

void TvpQuickRecordSet::Clear() {
  for (int i = 0; i < fFields->Count(); ++i) fFields->Items(i)->Clear();
  fBookmarks.clear();
  fBookmarks.shrink_to_fit();
  fBookmarkIndex->Invalidate();
  fRecordCount = 0;
  fKeys.clear();
  if (fOrder->Identity())
    fOrder->Reset(0);
  else
    fOrder->Assign({});
}

// ---------------------------------------------------------------------------------------------
// Order

void TvpQuickRecordSet::ResetOrder() {
  fKeys.clear();
  fOrder->Reset(fRecordCount);
}

void TvpQuickRecordSet::UpdateIndex() {
  if (fUpdateCount > 0) return;
  fSortApplied = false;
  if (fSortString.empty()) {
    ResetOrder();
    fSortApplied = true;
    return;
  }
  fKeys.clear();  // made anew: their memory serves the new ones
  TSortKeyList keys;
  try {
    keys = ParseSortString(fSortString);
  } catch (const EZVError&) {
    // A column of the order is not there (removed, renamed, not read yet): no order until
    // it is, rather than every later change failing.
    ResetOrder();
    return;
  }
  fOrder->Assign(SortedRows(keys));
  fKeys = std::move(keys);
  fSortApplied = true;
}

void TvpQuickRecordSet::SetSortString(const String& value) {
  if (value == fSortString && fSortApplied) return;
  String text = Trim(value);
  if (text.empty()) {
    fSortString.clear();
    ResetOrder();
    fSortApplied = true;
    return;
  }
  // Everything that can fail comes before anything changes.
  TSortKeyList keys = ParseSortString(text);
  const TRankedRows ranked = SortedRows(keys);
  fSortString = std::move(text);
  fOrder->Assign(ranked);
  fKeys = std::move(keys);
  if (fUpdateCount > 0) fKeys.clear();
  fSortApplied = true;
}

void TvpQuickRecordSet::ColumnsChanged() {
  if (!fSortString.empty()) UpdateIndex();
}

TvpQuickRecordSet::TSortKeyList TvpQuickRecordSet::ParseSortString(std::string_view text) const {
  std::vector<std::pair<const TvpQRSField*, bool>> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    String item = AnsiLowerCase(Trim(text.substr(start, comma - start)));
    bool descending = false;
    auto endsWith = [&item](std::string_view suffix) {
      return item.size() > suffix.size() && item.compare(item.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith(" asc")) {
      item.resize(item.size() - 4);
    } else if (endsWith(" desc")) {
      item.resize(item.size() - 5);
      descending = true;
    }
    items.emplace_back(FieldByName(Trim(item)), descending);
    start = comma + 1;
  }
  // Names first, keys after: a missing name costs no keys.
  TSortKeyList keys;
  keys.reserve(items.size());
  for (const auto& [column, descending] : items)
    keys.push_back(std::make_unique<qrsdetail::TSortKeys>(*column, descending, fRecordCount));
  return keys;
}

// ---------------------------------------------------------------------------------------------
// Change notification

void TvpQuickRecordSet::FieldChanged(TodsRecordSetAction action, const String& fieldName, int recNo) {
  if (OnChanged) OnChanged(this, action, fieldName, recNo);
}

}  // namespace zv
