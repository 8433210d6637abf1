#include "runtime/grid/Selection.h"

#include "platform/db/BookmarkSet.h"
#include "platform/db/DataSet.h"
#include "runtime/grid/RecShot.h"
#include "runtime/grid/detail/GridFreeze.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>

namespace zv {

namespace {

// A range's record: known by its bookmark alone, so that listing a million of them reads no
// field and counts no record number.
class TgpBookmarkShot : public TgpRecShot {
public:
  TgpBookmarkShot(TDBDivoRud* grid, const TBookmarkStr& bookmark) : TgpRecShot(grid) {
    fBookmark = bookmark;
    fHasRecord = !bookmark.empty();
  }
};

// Items are listed a page at a time: walking the list upwards costs one question per page.
constexpr int ItemPage = 1024;

}  // namespace

TgpSelection::TgpSelection(TDBDivoRud& grid) : fGrid(grid) {}
TgpSelection::~TgpSelection() = default;

TDataSet* TgpSelection::ActiveDataSet() const { return fGrid.HasActiveDataSet() ? fGrid.DataSet() : nullptr; }

TBookmarkSet& TgpSelection::EnsureSet() {
  TDataSet* ds = ActiveDataSet();
  if (!fSet || &fSet->DataSet() != ds) {
    DropAll();
    fSet = ds->CreateBookmarkSet();
    fIdentity = ds->DataIdentity();
  }
  return *fSet;
}

void TgpSelection::Touched() {
  fItems.clear();
  fItemShots.clear();
  fItemsFrom = 0;
}

void TgpSelection::DropAll() {
  fSet.reset();
  fShots.clear();
  fAdded.clear();
  fAnchor.clear();
  Touched();
}

void TgpSelection::TrimLists() {
  if (!fSet) return;
  std::erase_if(fShots, [&](const auto& item) { return !fSet->Contains(item.first); });
  std::erase_if(fAdded, [&](const TBookmarkStr& b) { return !fSet->Contains(b); });
  Touched();
}

bool TgpSelection::Empty() const { return !fSet || fSet->Empty(); }

int TgpSelection::GetCount2() const { return fSet ? static_cast<int>(fSet->Count()) : 0; }

int TgpSelection::GetCount() const {
  if (Empty()) return fCurrent && fCurrent->HasRecord() ? 1 : 0;
  return GetCount2();
}

TgpRecShot* TgpSelection::GetItem(int i) {
  if (Empty() && i == 0 && fCurrent && fCurrent->HasRecord()) return fCurrent.get();
  return GetItem2(i);
}

TgpRecShot* TgpSelection::GetItem2(int i) {
  if (i < 0 || i >= GetCount2() || !ActiveDataSet()) return nullptr;
  if (i < fItemsFrom || i >= fItemsFrom + static_cast<int>(fItems.size())) {
    // Walking upwards, the next page reads on from the last item of this one.
    const bool next = !fItems.empty() && i == fItemsFrom + static_cast<int>(fItems.size());
    const TBookmarkStr after = next ? fItems.back()->GetBookmarkPtr() : TBookmarkStr();
    Touched();
    fItemsFrom = i;
    for (const TBookmarkStr& b : fSet->Items(i, ItemPage, after)) {
      if (const auto it = fShots.find(b); it != fShots.end()) {
        fItems.push_back(it->second.get());
      } else {
        fItemShots.push_back(std::make_unique<TgpBookmarkShot>(&fGrid, b));
        fItems.push_back(fItemShots.back().get());
      }
    }
    if (i >= fItemsFrom + static_cast<int>(fItems.size())) return nullptr;
  }
  return fItems[static_cast<std::size_t>(i - fItemsFrom)];
}

bool TgpSelection::GetSelected() const {
  TDataSet* ds = ActiveDataSet();
  if (!ds || !fSet || &fSet->DataSet() != ds) return false;
  const TBookmarkStr bookmark = ds->Bookmark();
  return !bookmark.empty() && fSet->Contains(bookmark);
}

bool TgpSelection::SetSelectedInt(bool select, bool notify) {
  TDataSet* ds = ActiveDataSet();
  // A record being inserted has no bookmark yet: nothing to select.
  if (!ds || ds->State() == dsInsert || ds->IsEmpty()) return false;
  const TBookmarkStr bookmark = ds->Bookmark();
  if (bookmark.empty()) return false;
  TBookmarkSet& set = EnsureSet();
  if (set.Contains(bookmark) == select) return false;
  bool currentChanged = false;
  if (select) {
    set.Add(bookmark);
    auto shot = std::make_unique<TgpRecShot>(&fGrid);
    shot->Init(bookmark);
    fShots[bookmark] = std::move(shot);
    fAdded.push_back(bookmark);
  } else {
    set.Remove(bookmark);
    fShots.erase(bookmark);
    std::erase(fAdded, bookmark);
    if (fGrid.CursorType() != gctSensitive && fCurrent->HasRecord() && fCurrent->GetBookmarkPtr() == bookmark) {
      fCurrent->Deselect(false);
      currentChanged = true;
    }
  }
  Touched();
  Changed(fGrid.CurrentRow() >= 0 ? fGrid.CurrentRow() : fGrid.d->DataLink->ActiveRecord(), notify, currentChanged);
  return true;
}

bool TgpSelection::InsertInt(int position, const TBookmarkStr& bookmark) {
  (void)position;  // the set keeps the order itself
  if (ActiveDataSet() && !bookmark.empty()) {
    EnsureSet().Add(bookmark);
    fAdded.push_back(bookmark);
    Touched();
  }
  return Empty();
}

bool TgpSelection::DeleteInt(int position) {
  if (TgpRecShot* shot = GetItem2(position)) {
    const TBookmarkStr bookmark = shot->GetBookmarkPtr();
    fSet->Remove(bookmark);
    fShots.erase(bookmark);
    std::erase(fAdded, bookmark);
    Touched();
  }
  return Empty();
}

void TgpSelection::Delete(int i) {
  const int before = GetCount2();
  DeleteInt(i);
  if (GetCount2() != before) Changed(-1, true, false);
}

void TgpSelection::AddRange(const TBookmarkStr& bookmark) {
  TDataSet* ds = ActiveDataSet();
  if (!ds || bookmark.empty() || ds->State() == dsInsert) return;
  const TBookmarkStr current = ds->Bookmark();
  if (current.empty()) return;
  TBookmarkSet& set = EnsureSet();
  const std::int64_t before = set.Count();
  set.AddRange(current, bookmark);
  if (set.Count() == before) return;
  fAdded.push_back(bookmark);
  Touched();
  Changed(-1, true, false);
}

TBookmarkStr TgpSelection::LastAdded() const {
  if (Empty() || fAdded.empty()) return fCurrent ? fCurrent->GetBookmarkPtr() : TBookmarkStr();
  return fAdded.back();
}

void TgpSelection::SelectAll() {
  TDataSet* ds = ActiveDataSet();
  if (!ds || !fGrid.MultiSelect() || ds->IsEmpty()) return;
  ds->CheckBrowseMode();
  TBookmarkSet& set = EnsureSet();
  const std::int64_t before = set.Count();
  set.AddAll();
  if (set.Count() == before) return;
  fAdded.push_back(ds->Bookmark());
  Touched();
  Changed(-1, true, false);
}

void TgpSelection::Clear(bool invalidate, bool withCurrent) {
  if (withCurrent ? GetCount() == 0 : Empty()) return;
  fAnchor.clear();
  if (fSet) fSet->Clear();
  fShots.clear();
  fAdded.clear();
  Touched();
  bool currentChanged = false;
  if (withCurrent && fCurrent->HasRecord()) {
    fCurrent->Deselect(false);
    currentChanged = true;
  }
  Changed(-1, invalidate, currentChanged);
}

bool TgpSelection::Find(const TBookmarkStr& bookmark, int& position) const {
  position = 0;
  if (Empty() || bookmark.empty()) return false;
  const std::vector<TBookmarkStr> items = fSet->Items(0, static_cast<std::size_t>(fSet->Count()));
  if (const auto it = std::find(items.begin(), items.end(), bookmark); it != items.end()) {
    position = static_cast<int>(it - items.begin());
    return true;
  }
  // Not selected: where it would go, by its place in the order.
  const std::int64_t rank = fSet->Rank(bookmark);
  while (position < static_cast<int>(items.size()) && fSet->Rank(items[static_cast<std::size_t>(position)]) < rank)
    ++position;
  return false;
}

int TgpSelection::IndexOf(const TBookmarkStr& bookmark) const {
  int position = 0;
  return Find(bookmark, position) ? position : -1;
}

bool TgpSelection::Refresh(bool invalidate) {
  TDataSet* ds = ActiveDataSet();
  if (!ds || Empty()) return false;
  ds->CheckBrowseMode();
  const bool removed = fSet->Purge() > 0;
  ds->UpdateCursorPos();
  if (!removed) return false;
  TrimLists();
  Changed(-1, invalidate, false);
  return true;
}

void TgpSelection::Changed(int row, bool invalidate, bool currentChanged) {
  if (invalidate) {
    if (row == -1)
      fGrid.InvalidateRows();
    else
      fGrid.InvalidateRow(row);
  }
  fGrid.SelectionChanged(currentChanged, true);
}

// Several records, or one that is not the current one: the first one's record number is where
// the current record lands afterwards.
void TgpSelection::DeleteRecords(bool restorePosition, bool refresh) {
  TDataSet* ds = ActiveDataSet();
  if (!ds || GetCount() == 0) return;
  if (Empty()) {
    // The current record is the selection.
    if (!fGrid.SyncCursors(false)) return;
    ds->Delete();
    fCurrent->Select(true);
    return;
  }
  ds->CheckBrowseMode();
  int recNo = -1;
  if (restorePosition) {
    const std::vector<TBookmarkStr> first = fSet->Items(0, 1);
    if (!first.empty()) recNo = static_cast<int>(fSet->Rank(first.front())) + 1;
  }
  const bool oneByOne = ds->BeforeDelete || ds->AfterDelete || ds->OnDeleteError;
  {
    griddetail::TGridFreeze freeze(fGrid, refresh);
    try {
      fSet->DeleteRecords();
    } catch (...) {
      // Record by record, what was deleted stays deleted and the selection goes; in one
      // transaction nothing was, and the selection stays for another try.
      if (oneByOne) Clear(false, true);
      throw;
    }
    Clear(false, true);
    freeze.Release(refresh);
  }
  if (recNo < 0) return;
  const int count = ds->RecordCount();
  if (count < recNo) recNo = count;
  if (recNo <= 0) {
    fCurrent->Deselect(true);
    return;
  }
  ds->SetRecNo(recNo);
  fCurrent->Select(true);
}

// The changed flag clears when the dataset opens or closes. A selection over other data goes:
// another dataset, or the same one reopened on another file, table or statement; a close and a
// reopen of the same data keep it.
void TgpSelection::ActiveChanged() {
  fChanged = false;
  TDataSet* ds = fGrid.d->DataLink->DataSet();
  if (!fSet) return;
  if (&fSet->DataSet() != ds) {
    const bool had = !Empty();
    DropAll();
    if (had) Changed(-1, true, false);
    return;
  }
  if (!ds->Active()) return;
  if (ds->DataIdentity() != fIdentity) {
    const bool had = !Empty();
    DropAll();
    if (had) Changed(-1, true, false);
  }
}

}  // namespace zv
