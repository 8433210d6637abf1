#pragma once
// A DrawText flag of the library's own (no host value): with an ellipsis flag on a single line,
// a text that would not show whole is not drawn at all and DrawText returns DrawTextCut. The
// layout that finds out is the one the draw uses, so asking "does it fit?" measures nothing of
// its own and a repaint from the layout cache measures nothing at all.

namespace zv {

inline constexpr unsigned DT_WHOLEONLY = 0x20000000;
inline constexpr int DrawTextCut = -0x7FFFFFFF - 1;

}  // namespace zv
