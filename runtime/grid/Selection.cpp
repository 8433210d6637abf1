#include "runtime/grid/Selection.h"

namespace zv {

// Out of line: the part's type information lives here.
TgpSelection::~TgpSelection() = default;

}  // namespace zv
