// Default decompositions of the Windows frame drawing into one-pixel fills: DrawEdge,
// DrawFrameControl (push buttons, check boxes, radio buttons, scroll arrows, size grip) and
// DrawFocusRect. Colours are the system colours of the classic three-dimensional look.

#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/PaintDevice.h"

#include <algorithm>

namespace zv {

namespace {

void Fill(TPaintDevice& d, const TRect& r, TColor color) {
  if (!r.IsEmpty()) d.FillRect(r, {ColorToRGB(color), bsSolid});
}

struct TBorderColors {
  TColor TopLeft = clNone;
  TColor BottomRight = clNone;
};

// The colours of one border layer; outer selects the outer layer.
TBorderColors LayerColors(unsigned edge, unsigned flags, bool outer) {
  const unsigned raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
  const unsigned sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
  if (!(edge & (raised | sunken))) return {};
  if (flags & BF_MONO) return outer ? TBorderColors{clWindowFrame, clWindowFrame} : TBorderColors{clWindow, clWindow};
  if (flags & BF_FLAT) return outer ? TBorderColors{clBtnShadow, clBtnShadow} : TBorderColors{clBtnFace, clBtnFace};
  const bool soft = flags & BF_SOFT;
  if (edge & raised)
    return outer ? TBorderColors{soft ? clBtnHighlight : cl3DLight, cl3DDkShadow}
                 : TBorderColors{soft ? cl3DLight : clBtnHighlight, clBtnShadow};
  return outer ? TBorderColors{soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight}
               : TBorderColors{soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
}

// The classic 7 x 7 check mark: column c covers rows CheckTop[c] .. CheckTop[c] + 2.
constexpr int CheckTop[7] = {2, 3, 4, 3, 2, 1, 0};

void DrawCheckMark(TPaintDevice& d, const TRect& box, TColor color) {
  const int side = std::min(box.Width(), box.Height());
  const int scale = std::max(1, side / 9);
  const int x0 = box.Left + (box.Width() - 7 * scale) / 2;
  const int y0 = box.Top + (box.Height() - 7 * scale) / 2;
  for (int c = 0; c < 7; ++c)
    Fill(d, Bounds(x0 + c * scale, y0 + CheckTop[c] * scale, scale, 3 * scale), color);
}

// A filled triangle pointing in `direction` (DFCS_SCROLLUP..RIGHT), of `size` rows or columns,
// centred on (cx, cy).
void DrawArrow(TPaintDevice& d, unsigned direction, int cx, int cy, int size, TColor color) {
  for (int i = 0; i < size; ++i) {
    const int half = (direction == DFCS_SCROLLUP || direction == DFCS_SCROLLLEFT) ? i : size - 1 - i;
    if (direction == DFCS_SCROLLUP || direction == DFCS_SCROLLDOWN) {
      const int y = cy - size / 2 + i;
      Fill(d, {cx - half, y, cx + half + 1, y + 1}, color);
    } else {
      const int x = cx - size / 2 + i;
      Fill(d, {x, cy - half, x + 1, cy + half + 1}, color);
    }
  }
}

TRect CenteredSquare(const TRect& r) {
  const int side = std::min(r.Width(), r.Height());
  const int x = r.Left + (r.Width() - side) / 2, y = r.Top + (r.Height() - side) / 2;
  return {x, y, x + side, y + side};
}

unsigned StyleFlags(unsigned state) {
  return ((state & DFCS_FLAT) ? BF_FLAT : 0u) | ((state & DFCS_MONO) ? BF_MONO : 0u);
}

bool PushButton(TPaintDevice& d, TRect& rc, unsigned state) {
  TRect r = rc;
  const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
  d.DrawEdge(r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST | StyleFlags(state));
  if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED)) {
    // A latched button shows a dithered face.
    const TColor hi = ColorToRGB(clBtnHighlight);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) d.SetPixel(x, y, hi);
  }
  if (state & DFCS_ADJUSTRECT) rc = r;
  return true;
}

bool CheckBox(TPaintDevice& d, TRect& rc, unsigned state) {
  TRect box = CenteredSquare(rc);
  d.DrawEdge(box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | StyleFlags(state));
  const bool grayed = (state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
  Fill(d, box, (state & (DFCS_INACTIVE | DFCS_PUSHED)) || grayed ? clBtnFace : clWindow);
  if (state & DFCS_CHECKED) DrawCheckMark(d, box, (state & DFCS_INACTIVE) || grayed ? clBtnShadow : clWindowText);
  if (state & DFCS_ADJUSTRECT) rc = box;
  return true;
}

bool RadioButton(TPaintDevice& d, TRect& rc, unsigned state) {
  const TRect box = CenteredSquare(rc);
  const TColor face = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? clBtnFace : clWindow;
  d.Ellipse(box, {ColorToRGB(clBtnShadow), 1, psSolid, pmCopy}, {ColorToRGB(face), bsSolid});
  if (state & DFCS_CHECKED) {
    const int side = std::max(1, box.Width() / 3);
    const int x = box.Left + (box.Width() - side) / 2, y = box.Top + (box.Height() - side) / 2;
    const TColor dot = ColorToRGB((state & DFCS_INACTIVE) ? clBtnShadow : clWindowText);
    d.Ellipse(Bounds(x, y, side, side), {dot, 1, psSolid, pmCopy}, {dot, bsSolid});
  }
  return true;
}

bool ScrollButton(TPaintDevice& d, TRect& rc, unsigned state) {
  const unsigned kind = state & 0xFF;
  TRect r = rc;
  if (kind == DFCS_SCROLLSIZEGRIP) {
    // Three pairs of diagonal lines towards the bottom-right corner.
    Fill(d, r, clBtnFace);
    const int side = std::min(r.Width(), r.Height());
    for (int k = 1; k + 2 <= side; k += 4) {
      for (int j = 0; j < 2; ++j) {
        const int off = k + j;
        const TPoint line[] = {{r.Right - off, r.Bottom - 1}, {r.Right - 1, r.Bottom - off}};
        d.Polyline(line, {ColorToRGB(j == 0 ? clBtnHighlight : clBtnShadow), 1, psSolid, pmCopy}, clNone);
      }
    }
    return true;
  }
  if ((state & DFCS_PUSHED) && !(state & (DFCS_FLAT | DFCS_MONO)))
    d.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE | BF_ADJUST);
  else
    d.DrawEdge(r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST | StyleFlags(state));
  const unsigned direction = kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : kind;
  if (direction > DFCS_SCROLLRIGHT) return false;
  const int size = std::max(1, (std::min(rc.Width(), rc.Height()) - 4) / 3);
  int cx = rc.Left + rc.Width() / 2, cy = rc.Top + rc.Height() / 2;
  if (state & DFCS_PUSHED) {
    ++cx;
    ++cy;
  }
  if (state & DFCS_INACTIVE) {
    DrawArrow(d, direction, cx + 1, cy + 1, size, clBtnHighlight);
    DrawArrow(d, direction, cx, cy, size, clGrayText);
  } else {
    DrawArrow(d, direction, cx, cy, size, clBtnText);
  }
  if (state & DFCS_ADJUSTRECT) rc = r;
  return true;
}

}  // namespace

bool TPaintDevice::DrawEdge(TRect& rc, unsigned edge, unsigned flags) {
  TRect r = rc;
  for (const bool outer : {true, false}) {
    const TBorderColors c = LayerColors(edge, flags, outer);
    if (c.TopLeft == clNone || r.IsEmpty()) continue;
    // Light sides stop short of the corners the dark sides take.
    if (flags & BF_TOP) Fill(*this, {r.Left, r.Top, (flags & BF_RIGHT) ? r.Right - 1 : r.Right, r.Top + 1}, c.TopLeft);
    if (flags & BF_LEFT)
      Fill(*this, {r.Left, r.Top, r.Left + 1, (flags & BF_BOTTOM) ? r.Bottom - 1 : r.Bottom}, c.TopLeft);
    if (flags & BF_BOTTOM) Fill(*this, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, c.BottomRight);
    if (flags & BF_RIGHT) Fill(*this, {r.Right - 1, r.Top, r.Right, r.Bottom}, c.BottomRight);
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  }
  if (flags & BF_MIDDLE) Fill(*this, r, (flags & BF_MONO) ? clWindow : clBtnFace);
  if (flags & BF_ADJUST) rc = r;
  return true;
}

bool TPaintDevice::DrawFrameControl(TRect& rc, unsigned type, unsigned state) {
  if (rc.IsEmpty()) return false;
  switch (type) {
    case DFC_BUTTON:
      if (state & DFCS_BUTTONPUSH) return PushButton(*this, rc, state);
      if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
        return RadioButton(*this, rc, state);
      return CheckBox(*this, rc, state);
    case DFC_SCROLL:
      return ScrollButton(*this, rc, state);
    default:
      return false;
  }
}

void TPaintDevice::DrawFocusRect(const TRect& r) {
  if (r.IsEmpty()) return;
  // The four sides as strips that do not overlap, so no pixel is inverted twice.
  std::vector<TRect> strips{{r.Left, r.Top, r.Right, r.Top + 1}};
  if (r.Height() > 1) strips.push_back({r.Left, r.Bottom - 1, r.Right, r.Bottom});
  if (r.Height() > 2) {
    strips.push_back({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1});
    if (r.Width() > 1) strips.push_back({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1});
  }
  for (const TRect& s : strips) {
    TPixelBuffer px = ReadPixels(s);
    for (int y = 0; y < px.Height(); ++y)
      for (int x = 0; x < px.Width(); ++x)
        if (((s.Left + x + s.Top + y) & 1) == 0) px.Set(x, y, px.At(x, y) ^ 0x00FFFFFFu);
    WritePixels(s, px, {0, 0}, SRCCOPY, 0, false);
  }
}

}  // namespace zv
