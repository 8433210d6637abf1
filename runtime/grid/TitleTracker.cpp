#include "runtime/grid/TitleTracker.h"

#include "runtime/grid/Dragger.h"

namespace zv {

// Out of line: the part's type information lives here; its work is in GridTitles.cpp,
// ColumnSizing.cpp and ColumnDrag.cpp. A grid going away mid-sizing leaves the shared sizer empty (its window, and
// the line on it, go with it).
TgpTitleTracker::TgpTitleTracker(TDBDivoRud& grid) : fGrid(grid) {}

TgpTitleTracker::~TgpTitleTracker() {
  if (ColumnSizer().Grid == &fGrid) ColumnSizer() = {};
}

}  // namespace zv
