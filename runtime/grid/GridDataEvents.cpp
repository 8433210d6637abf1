// The grid's reactions to its data link: rows, the current record and its snapshot follow the
// dataset from here.
#include "runtime/grid/DBDivoRud.h"

#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"

namespace zv {

void TDBDivoRud::DaActiveChanged() { CacheDataSet(); }
void TDBDivoRud::DaDataChanged() {}
void TDBDivoRud::DaDataSetScrolled(int) {}
void TDBDivoRud::DaFocusControl(TField*&) {}
void TDBDivoRud::DaLayoutChanged() {}
void TDBDivoRud::DaRecordChanged(TField*) {}
void TDBDivoRud::DaUpdateData() {}

}  // namespace zv
