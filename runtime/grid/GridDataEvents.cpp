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
}

void TDBDivoRud::DaDataChanged() { RecordsDataChanged(); }

void TDBDivoRud::DaDataSetScrolled(int distance) { RecordsDataSetScrolled(distance); }

void TDBDivoRud::DaFocusControl(TField*&) {}

// A new layout is the dataset opened anew with new data.
void TDBDivoRud::DaLayoutChanged() {
  DaActiveChanged();
  DaDataChanged();
}

void TDBDivoRud::DaRecordChanged(TField*) {}
void TDBDivoRud::DaUpdateData() {}

}  // namespace zv
