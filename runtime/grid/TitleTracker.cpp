#include "runtime/grid/TitleTracker.h"

namespace zv {

// Out of line: the part's type information lives here; its work is in GridTitles.cpp and
// ColumnSizing.cpp. A grid going away mid-sizing leaves the shared sizer empty (its window, and
// the line on it, go with it).
TgpTitleTracker::~TgpTitleTracker() {
  if (ColumnSizer().Grid == &fGrid) ColumnSizer() = {};
}

}  // namespace zv
