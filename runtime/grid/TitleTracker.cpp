#include "runtime/grid/TitleTracker.h"

namespace zv {

// Out of line: the part's type information lives here.
TgpTitleTracker::~TgpTitleTracker() = default;

}  // namespace zv
