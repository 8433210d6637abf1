// The grid's header alone: each object an accessor returns is called through.
#include "runtime/grid/DBDivoRud.h"

bool ReachThroughGrid(zv::TDBDivoRud& grid) {
  return grid.DataLink()->Active() && grid.DataSet()->Active() && grid.DataSource()->Enabled() &&
         grid.Columns()->Items(0)->Width() > 0 && grid.CurrentColumn()->Field()->FieldName().empty() &&
         grid.InplaceEditor()->Column()->Visible() &&
         grid.Mapper()->GetFieldCaptions("", "", grid.PaintDataSet()).empty();
}
