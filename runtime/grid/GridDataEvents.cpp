// The grid's reactions to its data link: rows, the current record and its snapshot follow the
// dataset from here, and a user action's pending column and selection bits land here when the
// dataset's scroll arrives in its middle.
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"

#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/detail/GridFreeze.h"

#include <cstdlib>

namespace zv {

void TDBDivoRud::DaActiveChanged() {
  CacheDataSet();
  griddetail::TGridFreeze freeze(*this, false);
  ColumnsDataSetChanged();
  RecordsActiveChanged();
  if (!IsLoading()) UpdateRows();
  freeze.Release(!IsLoading());
}

void TDBDivoRud::DaDataChanged() {
  // A range that reached an end of the dataset is taken up to there.
  if (fAction.InProgress() && fAction.Pending().Contains(uaRange) && fDataSet && (fDataSet->Bof() || fDataSet->Eof())) fSelection->AddRange();
  RecordsDataChanged();
  if (IsLoading()) return;
  UpdateRows();
  InvalidateRows();
}

// The window moved by distance rows (positive towards the end) or the cursor moved inside it.
void TDBDivoRud::DaDataSetScrolled(int distance) {
  const int oldActive = fActiveRow;
  const int oldCurrent = fCurrentRow;
  CloseEdit(feaCancel, true);
  RecordsDataSetScrolled(distance);
  if (IsLoading()) return;
  const int pendingCol = fAction.PendingCol();
  if (pendingCol != -1 && pendingCol != fCol) UpdateSelectedCol(pendingCol);
  fActiveRow = fDataLink->ActiveRecord();
  fLayout.RowCount = std::max(fDataLink->RecordCount(), 1);
  fLayout.Recount();
  const TgpUserActions bits = fAction.Pending();
  const TgpUserActions old{uaSelectOld, uaDeselectOld}, arrived{uaSelectNew, uaToggle};
  const bool painting = PaintingEnabled() && HandleAllocated();
  if (fColumns->HasGroups() && distance != 0) {
    ApplyAt(fActiveRow - distance, bits * old);
    ApplySelectionBits(bits * arrived);
    if (bits.Contains(uaRange)) fSelection->AddRange();
    if (PaintingEnabled()) {
      if (bits.Contains(uaClear) && !fSelection->Empty())
        fSelection->Clear(true);
      else
        DoScrollGrid(distance, oldActive);
      if (painting) UpdateWindow(Handle());
    }
  } else if (fColumns->HasGroups()) {
    if (oldCurrent >= 0) ApplyAt(oldCurrent, bits * old);
    ApplySelectionBits(bits * arrived);
    bool all = false;
    if (bits.Contains(uaRange)) {
      fSelection->AddRange();
      all = true;
    }
    if (bits.Contains(uaClear) && !fSelection->Empty()) {
      fSelection->Clear(false);
      all = true;
    }
    if (all) {
      InvalidateRows();
    } else if (oldCurrent != fCurrentRow || oldActive != fActiveRow) {
      const int old = oldCurrent >= 0 ? oldCurrent : oldActive;
      InvalidateRow(old);
      if (painting && std::abs(old - fActiveRow) > 1) UpdateWindow(Handle());
      InvalidateRow(fCurrentRow >= 0 ? fCurrentRow : fActiveRow);
      if (painting) UpdateWindow(Handle());
    }
  }
  // A sequenced dataset's bar moves only with the window; the others show the cursor's end.
  if (distance != 0 || !fDataSet || !fDataSet->IsSequenced()) UpdateRecordBar(false);
  if (!fAction.InProgress()) UpdateEditorPos();
}

// The field that must have a value: its column becomes current, so that the user stands on the
// cell the message names.
void TDBDivoRud::DaFocusControl(TField*& field) {
  if (!field) return;
  for (int i = 0; i < fColumns->GetSelectableCount(); ++i) {
    TgpColumn* column = fColumns->GetSelectable(i);
    if (column->Field() != field) continue;
    if (CanFocus() && !Focused()) SetFocus();
    SetCol(column->Index());
    field = nullptr;
    return;
  }
}

// A new layout is the dataset opened anew with new data.
void TDBDivoRud::DaLayoutChanged() {
  griddetail::TGridFreeze freeze(*this, false);
  DaActiveChanged();
  DaDataChanged();
  freeze.Release(true);
}

void TDBDivoRud::DaRecordChanged(TField*) {
  InvalidateRow(fDataLink->ActiveRecord());
  if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
}

void TDBDivoRud::DaUpdateData() { CloseEdit(feaPost, true); }

}  // namespace zv
