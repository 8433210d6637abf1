#include "runtime/grid/AutoSearch.h"

namespace zv {

// Out of line: the part's type information lives here.
TgpAutoSearch::~TgpAutoSearch() = default;

}  // namespace zv
