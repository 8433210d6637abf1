// Only the grid's header: what its data link accessor returns is called through.
#include "runtime/grid/DBDivoRud.h"

#include <string>

std::string GridLink(zv::TWinControl* parent) {
  auto* grid = new zv::TDBDivoRud(parent);
  grid->SetParent(parent);
  auto* source = new zv::TDataSource(grid);
  grid->SetDataSource(source);
  const zv::TDataLinkEx* link = grid->DataLink();
  if (link->DataSource() != source) return "grid's link misses its source";
  return link->Active() ? "grid link active" : "grid link inactive";
}
