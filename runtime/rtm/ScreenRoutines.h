#pragma once
// Screen geometry and capture helpers: the scroll-bar width, a copy of what a control shows,
// and keeping pop-ups inside the work area.

#include "platform/controls/Control.h"
#include "platform/graphics/Bitmap.h"

#include <memory>

namespace zv {

// The system width of a vertical scroll bar (its arrow button); less one when makeOdd and the
// width is even, so that arrows drawn in it have a centre column.
int GetScrollWidth(bool makeOdd);
// A new bitmap of control's size holding what its top-level window shows at the control's
// place (child windows and anything drawn over the control included). An empty bitmap when
// the control is not showing on a top-level window.
std::unique_ptr<TBitmap> MakeScreenshot(TControl& control);
// The top left for a width x height box at (x, y) that keeps it in the screen's work area:
// x and y are raised to its left and top; a box passing its right (bottom) edge is moved to
// end one pixel before it. A box larger than the work area therefore ends up left of (above)
// it.
TPoint FitToWorkspace(int x, int y, int width, int height);
// The same for a rectangle; the size is kept.
TRect FitToWorkspace(const TRect& rect);

}  // namespace zv
