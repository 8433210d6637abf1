#pragma once
// The Windows flag constants of DrawText, DrawEdge and DrawFrameControl, with their values.

namespace zv {

// DrawText formats.
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;  // single-line only, as on the host
inline constexpr unsigned DT_BOTTOM = 0x8;   // single-line only
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_TABSTOP = 0x80;  // bits 8..15 give the tab width in characters
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x200;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_INTERNAL = 0x1000;
inline constexpr unsigned DT_EDITCONTROL = 0x2000;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;
inline constexpr unsigned DT_MODIFYSTRING = 0x10000;  // accepted, never modifies
inline constexpr unsigned DT_RTLREADING = 0x20000;    // accepted, ignored
inline constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;
inline constexpr unsigned DT_NOFULLWIDTHCHARBREAK = 0x80000;
inline constexpr unsigned DT_HIDEPREFIX = 0x100000;
// The library's own (no host value): with DT_VCENTER or DT_BOTTOM, the block of wrapped lines
// is placed in the rectangle and clipped to the band it covers, as a DT_CALCRECT pass followed
// by drawing into the placed rectangle would, with one layout instead of two.
inline constexpr unsigned DT_PLACELINES = 0x40000000;

// DrawEdge edges: an outer and an inner one-pixel border.
inline constexpr unsigned BDR_RAISEDOUTER = 0x1;
inline constexpr unsigned BDR_SUNKENOUTER = 0x2;
inline constexpr unsigned BDR_RAISEDINNER = 0x4;
inline constexpr unsigned BDR_SUNKENINNER = 0x8;
inline constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

// DrawEdge flags.
inline constexpr unsigned BF_LEFT = 0x1;
inline constexpr unsigned BF_TOP = 0x2;
inline constexpr unsigned BF_RIGHT = 0x4;
inline constexpr unsigned BF_BOTTOM = 0x8;
inline constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr unsigned BF_DIAGONAL = 0x10;  // accepted; diagonal borders are not drawn
inline constexpr unsigned BF_MIDDLE = 0x800;
inline constexpr unsigned BF_SOFT = 0x1000;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// DrawFrameControl types and states.
inline constexpr unsigned DFC_CAPTION = 1;  // not drawn (returns false)
inline constexpr unsigned DFC_MENU = 2;     // not drawn (returns false)
inline constexpr unsigned DFC_SCROLL = 3;
inline constexpr unsigned DFC_BUTTON = 4;

inline constexpr unsigned DFCS_BUTTONCHECK = 0x0;
inline constexpr unsigned DFCS_BUTTONRADIOIMAGE = 0x1;
inline constexpr unsigned DFCS_BUTTONRADIOMASK = 0x2;
inline constexpr unsigned DFCS_BUTTONRADIO = 0x4;
inline constexpr unsigned DFCS_BUTTON3STATE = 0x8;
inline constexpr unsigned DFCS_BUTTONPUSH = 0x10;

inline constexpr unsigned DFCS_SCROLLUP = 0x0;
inline constexpr unsigned DFCS_SCROLLDOWN = 0x1;
inline constexpr unsigned DFCS_SCROLLLEFT = 0x2;
inline constexpr unsigned DFCS_SCROLLRIGHT = 0x3;
inline constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x5;
inline constexpr unsigned DFCS_SCROLLSIZEGRIP = 0x8;

inline constexpr unsigned DFCS_INACTIVE = 0x100;
inline constexpr unsigned DFCS_PUSHED = 0x200;
inline constexpr unsigned DFCS_CHECKED = 0x400;
inline constexpr unsigned DFCS_TRANSPARENT = 0x800;
inline constexpr unsigned DFCS_HOT = 0x1000;
inline constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
inline constexpr unsigned DFCS_FLAT = 0x4000;
inline constexpr unsigned DFCS_MONO = 0x8000;

}  // namespace zv
