#pragma once
// The grid's selection of records, a part the grid owns and its key, mouse and navigation code
// reach through this interface. This one selects nothing: it is empty, has no anchor, and
// every change does nothing. A selection that keeps records derives from it and is handed to the
// grid (TDBDivoRud::SetSelection); its logic needs no window.

#include "platform/db/DBTypes.h"

namespace zv {

class TDBDivoRud;

class TgpSelection {
public:
  explicit TgpSelection(TDBDivoRud& grid) : fGrid(grid) {}
  virtual ~TgpSelection();
  TgpSelection(const TgpSelection&) = delete;
  TgpSelection& operator=(const TgpSelection&) = delete;

  TDBDivoRud& Grid() const { return fGrid; }

  virtual bool Empty() const { return true; }
  virtual int Count() const { return 0; }
  // Whether the dataset's current record is selected.
  virtual bool RecordSelected() const { return false; }
  // The dataset's current record: selected (true) or deselected, or flipped.
  virtual void SelectCurrent(bool select) { (void)select; }
  virtual void ToggleCurrent() {}
  // From the anchor (the last added record) to the dataset's current one.
  virtual void AddRange() {}
  virtual void Clear(bool invalidate) { (void)invalidate; }
  // Deletes the selected records (more than one) and marks the record that takes their place.
  virtual void DeleteRecords() {}
  // Where a range starts.
  virtual bool HasAnchor() const { return false; }
  virtual TBookmarkStr Anchor() const { return {}; }
  virtual void SetAnchor(const TBookmarkStr& bookmark) { (void)bookmark; }

private:
  TDBDivoRud& fGrid;
};

}  // namespace zv
