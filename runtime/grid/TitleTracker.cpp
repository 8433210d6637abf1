#include "runtime/grid/TitleTracker.h"

namespace zv {

// Out of line: the part's type information lives here; its work is in GridTitles.cpp.
TgpTitleTracker::~TgpTitleTracker() = default;

}  // namespace zv
