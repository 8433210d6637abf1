// The grid's reactions to its data link: rows, the current record and its snapshot follow the
// dataset from here.
#include "runtime/grid/DBDivoRud.h"

#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"

namespace zv {

void TDBDivoRud::DaActiveChanged() {
  CacheDataSet();
  ColumnsDataSetChanged();
  RecordsActiveChanged();
  if (IsLoading()) return;
  UpdateRows();
  InvalidateGrid();
}

void TDBDivoRud::DaDataChanged() {
  RecordsDataChanged();
  if (IsLoading()) return;
  UpdateRows();
  InvalidateRows();
}

// The window moved by distance rows (positive towards the end) or the cursor moved inside it.
void TDBDivoRud::DaDataSetScrolled(int distance) {
  const int oldActive = fActiveRow;
  RecordsDataSetScrolled(distance);
  if (IsLoading()) return;
  fActiveRow = fDataLink->ActiveRecord();
  fLayout.RowCount = std::max(fDataLink->RecordCount(), 1);
  fLayout.Recount();
  UpdateRecordBar(false);
  if (distance != 0) {
    DoScrollGrid(distance, oldActive);
  } else if (oldActive != fActiveRow) {
    InvalidateRow(oldActive);
    InvalidateRow(fActiveRow);
  }
}

void TDBDivoRud::DaFocusControl(TField*&) {}

// A new layout is the dataset opened anew with new data.
void TDBDivoRud::DaLayoutChanged() {
  DaActiveChanged();
  DaDataChanged();
}

void TDBDivoRud::DaRecordChanged(TField*) { InvalidateRow(fDataLink->ActiveRecord()); }
void TDBDivoRud::DaUpdateData() {}

}  // namespace zv
