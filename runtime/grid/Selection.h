#pragma once
// The grid's selection of records, a part the grid owns and its key, mouse and navigation code
// reach through the virtual operations below; a grid may be handed another (SetSelection).
//
// Every selected record is held in one bookmark set of the dataset (platform/db/BookmarkSet.h),
// which answers membership from the bookmark's bytes and ranges, all records, order and
// deletion with one question to the dataset, so that selecting a million rows costs what the
// dataset's statement costs, not a walk. The set holds records, not positions: when the order
// changes, membership and counts stay and the items follow the new order.
//
// The sorted list of snapshots the grid's callers know is the set in the dataset's order:
// GetItem, Find and IndexOf rank in it; snapshots are made when asked, owned here. The
// insertion list is the order of additions, a range being one addition that ends at its far end
// (LastAdded). A record selected on its own keeps its identity and record number; a range's
// records get their bookmark only.
//
// The selection also owns the grid's current snapshot, which the grid reaches through its own
// pointer.

#include "platform/db/DBTypes.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace zv {

class TDBDivoRud;
class TDataSet;
class TBookmarkSet;
class TgpRecShot;
class TgpCurrentRecShot;

class TgpSelection {
public:
  explicit TgpSelection(TDBDivoRud& grid);
  virtual ~TgpSelection();
  TgpSelection(const TgpSelection&) = delete;
  TgpSelection& operator=(const TgpSelection&) = delete;

  TDBDivoRud& Grid() const { return fGrid; }

  // ---- What the grid's key, mouse and navigation code call ---------------------------------
  // No record is in the list (the current record may still count as the selection).
  virtual bool Empty() const;
  virtual int Count() const { return GetCount(); }
  // Whether the dataset's current record is selected.
  virtual bool RecordSelected() const { return GetSelected(); }
  // The dataset's current record: selected (true) or deselected, or flipped.
  virtual void SelectCurrent(bool select) { SetSelectedInt(select, true); }
  virtual void ToggleCurrent() { SetSelectedInt(!GetSelected(), true); }
  // To the dataset's current record from the last added one, or, while nothing is selected,
  // from the anchor the gesture set before it moved.
  virtual void AddRange() { AddRange(Empty() && HasAnchor() ? fAnchor : LastAdded()); }
  virtual void Clear(bool invalidate) { Clear(invalidate, false); }
  // Deletes the selected records and marks the record that takes their place.
  virtual void DeleteRecords() { DeleteRecords(true, true); }
  // Where Shift+Up/Down measure from.
  virtual bool HasAnchor() const { return !fAnchor.empty(); }
  virtual TBookmarkStr Anchor() const { return fAnchor; }
  virtual void SetAnchor(const TBookmarkStr& bookmark) { fAnchor = bookmark; }
  // Every record of the dataset, the cursor unmoved; nothing unless the grid is MultiSelect.
  virtual void SelectAll();
  // The grid's data link became active or inactive, or its dataset changed: the changed flag
  // clears; a selection made over other data (another dataset, file or table) is dropped.
  virtual void ActiveChanged();
  // The dataset's records or order changed: the items are listed again when next asked.
  virtual void DataChanged() { Touched(); }

  // ---- The list ------------------------------------------------------------------------------
  // The selection count: 1 for the current record while the list is empty, else the list's.
  int GetCount() const;
  int GetCount2() const;
  // The i-th in the dataset's order (the current snapshot for 0 while the list is empty).
  TgpRecShot* GetItem(int i);
  TgpRecShot* GetItem2(int i);
  bool GetSelected() const;
  bool SetSelected(bool select) { return SetSelectedInt(select, true); }
  bool SetSelectedInt(bool select, bool notify);
  // The position is the record's place in the order, which the set keeps by itself.
  bool InsertInt(int position, const TBookmarkStr& bookmark);
  bool DeleteInt(int position);
  // From the dataset's current record to the one given, both included; nothing when either is
  // gone.
  void AddRange(const TBookmarkStr& bookmark);
  TBookmarkStr LastAdded() const;
  void Clear(bool invalidate, bool withCurrent);
  void Delete(int i);
  void DeleteRecords(bool restorePosition, bool refresh);
  bool Find(const TBookmarkStr& bookmark, int& position) const;
  int IndexOf(const TBookmarkStr& bookmark) const;
  int IndexOfPtr(const TBookmarkStr& bookmark) const { return IndexOf(bookmark); }
  // Posts a pending edit and drops the records that are gone; true when some were.
  bool Refresh(bool invalidate);
  void Changed(int row, bool invalidate, bool currentChanged);

  // Set by every change of the selection, cleared when the dataset opens or closes.
  bool ChangedFlag() const { return fChanged; }
  void NoteChanged() { fChanged = true; }
  TgpCurrentRecShot& CurrentRecShot() const { return *fCurrent; }
  // The store, made for the grid's dataset on the first selection; null before.
  TBookmarkSet* Set() const { return fSet.get(); }

private:
  friend class TDBDivoRud;
  TDataSet* ActiveDataSet() const;
  TBookmarkSet& EnsureSet();
  // Forgets what depends on the set's contents or order: the item snapshots.
  void Touched();
  // Drops the snapshots and additions of records the set no longer holds.
  void TrimLists();
  void DropAll();

  TDBDivoRud& fGrid;
  std::unique_ptr<TgpCurrentRecShot> fCurrent;
  std::unique_ptr<TBookmarkSet> fSet;
  String fIdentity;  // what the set's dataset showed when the set was made
  bool fChanged = false;
  TBookmarkStr fAnchor;
  // Records selected one by one, with their identity and number.
  std::unordered_map<TBookmarkStr, std::unique_ptr<TgpRecShot>> fShots;
  std::vector<TBookmarkStr> fAdded;  // the insertion list
  // GetItem's window: snapshots of the items from fItemsFrom on.
  std::vector<std::unique_ptr<TgpRecShot>> fItemShots;
  std::vector<TgpRecShot*> fItems;
  int fItemsFrom = 0;
};

}  // namespace zv
