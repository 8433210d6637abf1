// The grid's reactions to its data link: rows, the current record and its snapshot follow the
// dataset from here, and a user action's pending column and selection bits land here when the
// dataset's scroll arrives in its middle.
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"

#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/detail/GridFreeze.h"

#include <cstdlib>

namespace zv {

void TDBDivoRud::DaActiveChanged() {
  // A search belongs to the dataset it was typed over: opened or closed, it ends.
  d->AutoSearch->Cancel();
  CacheDataSet();
  griddetail::TGridFreeze freeze(*this, false);
  ColumnsDataSetChanged();
  RecordsActiveChanged();
  d->Selection->ActiveChanged();
  if (!IsLoading()) UpdateRows();
  freeze.Release(!IsLoading());
}

void TDBDivoRud::DaDataChanged() {
  d->Selection->DataChanged();
  // A range that reached an end of the dataset is taken up to there.
  if (d->Action.InProgress() && d->Action.Pending().Contains(uaRange) && d->DataSet && (d->DataSet->Bof() || d->DataSet->Eof())) d->Selection->AddRange();
  RecordsDataChanged();
  if (IsLoading()) return;
  UpdateRows();
  InvalidateRows();
}

// The window moved by distance rows (positive towards the end) or the cursor moved inside it.
void TDBDivoRud::DaDataSetScrolled(int distance) {
  const int oldActive = d->ActiveRow;
  const int oldCurrent = d->CurrentRow;
  CloseEdit(feaCancel, true);
  RecordsDataSetScrolled(distance);
  if (IsLoading()) return;
  const int pendingCol = d->Action.PendingCol();
  if (pendingCol != -1 && pendingCol != d->Col) UpdateSelectedCol(pendingCol);
  d->ActiveRow = d->DataLink->ActiveRecord();
  d->Layout.RowCount = std::max(d->DataLink->RecordCount(), 1);
  d->Layout.Recount();
  const TgpUserActions bits = d->Action.Pending();
  const TgpUserActions old{uaSelectOld, uaDeselectOld}, arrived{uaSelectNew, uaToggle};
  const bool painting = PaintingEnabled() && HandleAllocated();
  if (d->Columns->HasGroups() && distance != 0) {
    ApplyAt(d->ActiveRow - distance, bits * old);
    ApplySelectionBits(bits * arrived);
    if (bits.Contains(uaRange)) d->Selection->AddRange();
    if (PaintingEnabled()) {
      if (bits.Contains(uaClear) && !d->Selection->Empty())
        d->Selection->Clear(true);
      else
        DoScrollGrid(distance, oldActive);
      if (painting) UpdateWindow(Handle());
    }
  } else if (d->Columns->HasGroups()) {
    if (oldCurrent >= 0) ApplyAt(oldCurrent, bits * old);
    ApplySelectionBits(bits * arrived);
    bool all = false;
    if (bits.Contains(uaRange)) {
      d->Selection->AddRange();
      all = true;
    }
    if (bits.Contains(uaClear) && !d->Selection->Empty()) {
      d->Selection->Clear(false);
      all = true;
    }
    if (all) {
      InvalidateRows();
    } else if (oldCurrent != d->CurrentRow || oldActive != d->ActiveRow) {
      const int old = oldCurrent >= 0 ? oldCurrent : oldActive;
      InvalidateRow(old);
      if (painting && std::abs(old - d->ActiveRow) > 1) UpdateWindow(Handle());
      InvalidateRow(d->CurrentRow >= 0 ? d->CurrentRow : d->ActiveRow);
      if (painting) UpdateWindow(Handle());
    }
  }
  // A sequenced dataset's bar moves only with the window; the others show the cursor's end.
  if (distance != 0 || !d->DataSet || !d->DataSet->IsSequenced()) UpdateRecordBar(false);
  if (!d->Action.InProgress()) UpdateEditorPos();
}

// The field that must have a value: its column becomes current, so that the user stands on the
// cell the message names.
void TDBDivoRud::DaFocusControl(TField*& field) {
  if (!field) return;
  for (int i = 0; i < d->Columns->GetSelectableCount(); ++i) {
    TgpColumn* column = d->Columns->GetSelectable(i);
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
  InvalidateRow(d->DataLink->ActiveRecord());
  if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
}

void TDBDivoRud::DaUpdateData() { CloseEdit(feaPost, true); }

}  // namespace zv
