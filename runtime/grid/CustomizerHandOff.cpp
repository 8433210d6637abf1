// The column customizer's side of the grid: the windows attached to grids, library-wide.
#include "runtime/grid/TitleTracker.h"

#include <algorithm>
#include <vector>

namespace zv {

namespace {

std::vector<const TWinControl*>& CustomizerWindows() {
  static std::vector<const TWinControl*> windows;
  return windows;
}

}  // namespace

bool IsCustomizerWindow(const TWinControl* window) {
  const auto& windows = CustomizerWindows();
  return window && std::find(windows.begin(), windows.end(), window) != windows.end();
}

}  // namespace zv
