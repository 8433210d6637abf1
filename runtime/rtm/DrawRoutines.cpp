#include "runtime/rtm/DrawRoutines.h"

#include "platform/controls/WinApi.h"
#include "platform/graphics/GraphicsBackend.h"

#include <algorithm>

namespace zv {

namespace {

// Restores the brush and font colours of a canvas on scope exit, also when drawing fails.
class TColorsKeeper {
public:
  explicit TColorsKeeper(TCanvas& canvas)
      : fCanvas(canvas), fBrush(canvas.Brush()->Color()), fBrushStyle(canvas.Brush()->Style()),
        fFont(canvas.Font()->Color()) {}
  ~TColorsKeeper() {
    fCanvas.Brush()->SetColor(fBrush);
    fCanvas.Brush()->SetStyle(fBrushStyle);
    fCanvas.Font()->SetColor(fFont);
  }
  TColorsKeeper(const TColorsKeeper&) = delete;
  TColorsKeeper& operator=(const TColorsKeeper&) = delete;

private:
  TCanvas& fCanvas;
  TColor fBrush;
  TBrushStyle fBrushStyle;
  TColor fFont;
};

// Restores the clipping of a canvas on scope exit.
class TClipKeeper {
public:
  explicit TClipKeeper(TCanvas& canvas) : fCanvas(canvas), fLevel(SaveDC(canvas)) {}
  ~TClipKeeper() { RestoreDC(fCanvas, fLevel); }
  TClipKeeper(const TClipKeeper&) = delete;
  TClipKeeper& operator=(const TClipKeeper&) = delete;

private:
  TCanvas& fCanvas;
  int fLevel;
};

unsigned LayoutFlag(TLayout layout) {
  switch (layout) {
    case tlCenter: return DT_VCENTER;
    case tlBottom: return DT_BOTTOM;
    case tlTop: break;
  }
  return DT_TOP;
}

// Top of a box of height h placed by layout in [top, bottom).
int PlaceVertically(int top, int bottom, int h, TLayout layout) {
  switch (layout) {
    case tlCenter: return top + (bottom - top - h) / 2;  // rounds towards zero, as the host does
    case tlBottom: return bottom - h;
    case tlTop: break;
  }
  return top;
}

void FillSolid(TCanvas& canvas, const TRect& r, TColor color) {
  canvas.Brush()->SetColor(color);
  canvas.FillRect(r);
}

// The face frame of one button (or one half of a spin button).
void DrawFace(TCanvas& canvas, const TRect& r, bool pressed, unsigned state) {
  if (state & vbsMono) {
    canvas.Brush()->SetColor(clWindow);
    canvas.FrameRect(r);
    if (pressed) {
      TRect inside = r;
      InflateRect(inside, -1, -1);
      if (!inside.IsEmpty()) InvertRect(canvas, inside);
    }
  } else {
    vprDrawFrame(canvas, r, pressed, (state & vbsSoft) != 0);
  }
}

// The system's scroll-arrow picture without its own frame: rendered two pixels larger on each
// side off-screen, so that the frame falls outside, and copied into area.
void DrawArrow(TCanvas& canvas, const TRect& area, unsigned direction, bool disabled) {
  if (area.IsEmpty()) return;
  const int w = area.Width();
  const int h = area.Height();
  TBitmap picture;
  picture.SetSize(w + 4, h + 4);
  TCanvas& pc = *picture.Canvas();
  TRect full{0, 0, w + 4, h + 4};
  DrawFrameControl(pc, full, DFC_SCROLL, direction | (disabled ? DFCS_INACTIVE : 0u));
  BitBlt(canvas, area.Left, area.Top, w, h, &pc, 2, 2, SRCCOPY);
}

TRect Narrowed(const TRect& r, int by, int down) {
  TRect a = r;
  InflateRect(a, -by, -by);
  OffsetRect(a, 0, down);
  return a;
}

}  // namespace

// --- Text ----------------------------------------------------------------------------------

int vprDrawText(TCanvas& canvas, const TRect& rect, std::string_view text, TAlignment alignment, TLayout layout,
                int leftIndent, int rightIndent, bool wordWrap, bool endEllipsis, bool editControl,
                unsigned removeFlags, unsigned addFlags) {
  TRect r = rect;
  r.Left = CheckedAdd(r.Left, leftIndent);
  r.Right = CheckedSub(r.Right, rightIndent);
  unsigned extra = 0;
  if (endEllipsis) extra |= DT_END_ELLIPSIS;
  if (editControl) extra |= DT_EDITCONTROL;
  if (!wordWrap) {
    const unsigned format = (AlignmentFlags(alignment) | LayoutFlag(layout) | DT_SINGLELINE | extra) & ~removeFlags;
    return DrawText(canvas, text, r, format | addFlags);
  }
  // The lines are laid out once and placed as a block: wrapping is the costly part of a cell.
  const unsigned format = (AlignmentFlags(alignment) | DT_WORDBREAK | extra) & ~removeFlags;
  return DrawText(canvas, text, r, format | LayoutFlag(layout) | DT_PLACELINES | addFlags);
}

void CalcTextRect(const TRect& outer, TRect& textRect, TLayout layout) {
  const int h = std::max(0, std::min(textRect.Height(), outer.Height()));
  textRect.Top = PlaceVertically(outer.Top, outer.Bottom, h, layout);
  textRect.Bottom = textRect.Top + h;
}

int GetFontHeight(const TFont& font) {
  const auto surface = GraphicsBackend().CreateSurface(1, 1);
  return surface->FontMetrics(font.Data()).Height;
}

// --- Bitmaps -------------------------------------------------------------------------------

void CalcBitmapRect(TRect& freeRect, TRect& bitmapRect, TImageLayout layout) {
  const int fw = std::max(0, freeRect.Width());
  const int fh = std::max(0, freeRect.Height());
  const int bw = std::clamp(bitmapRect.Width(), 0, fw);
  const int bh = std::clamp(bitmapRect.Height(), 0, fh);
  // The bitmap's cell: one pixel of margin to the right and below.
  const int w = bw + 1;
  const int h = bh + 1;
  const int cx = freeRect.Left + (fw - w) / 2;
  const int cy = freeRect.Top + (fh - h) / 2;
  int x = freeRect.Left;
  int y = freeRect.Top;
  switch (layout) {
    case ilLeft:
      y = cy;
      freeRect.Left += w + 2;
      break;
    case ilLeftTop:
      freeRect.Top += h + 2;
      break;
    case ilTop:
      x = cx;
      freeRect.Top += h + 2;
      break;
    case ilRightTop:
      x = freeRect.Right - w;
      freeRect.Top += h + 2;
      break;
    case ilRight:
      x = freeRect.Right - w;
      y = cy;
      freeRect.Right = x - 2;
      break;
    case ilRightBottom:
      x = freeRect.Right - w;
      y = freeRect.Bottom - h;
      freeRect.Bottom = y - 2;
      break;
    case ilBottom:
      x = cx;
      y = freeRect.Bottom - h;
      freeRect.Bottom = y - 2;
      break;
    case ilLeftBottom:
      y = freeRect.Bottom - h;
      freeRect.Bottom = y - 2;
      break;
    case ilCenter:
      x = cx;
      y = cy;
      break;
  }
  bitmapRect = Bounds(x, y, bw, bh);
}

void DrawBitmap(TCanvas& canvas, int x, int y, TBitmap& bitmap) {
  TColorsKeeper keep(canvas);
  canvas.Draw(x, y, &bitmap);
}

int CutAndAddToList(TBitmap& strip, TCustomImageList& list) {
  const int w = list.Width();
  const int h = list.Height();
  if (w <= 0 || h <= 0) return 0;
  const int count = strip.Width() / w;
  for (int i = 0; i < count; ++i) {
    TBitmap image;
    image.SetSize(w, h);
    image.Canvas()->CopyRect({0, 0, w, h}, strip.Canvas(), Bounds(i * w, 0, w, h));
    list.AddMasked(&image, clDefault);
  }
  return count;
}

// --- Frames and buttons --------------------------------------------------------------------

void vprDrawFocusRect(TCanvas& canvas, const TRect& rect) {
  // The dots invert what is below them; the colours are the host's, kept for painters that
  // read them back.
  TColorsKeeper keep(canvas);
  canvas.Brush()->SetColor(clBlack);
  canvas.Font()->SetColor(clWhite);
  DrawFocusRect(canvas, rect);
}

void vprDrawFrame(TCanvas& canvas, const TRect& rect, bool down, bool soft) {
  if (soft && !down) {
    TRect r = rect;
    DrawEdge(canvas, r, BDR_RAISEDINNER, BF_TOP);
    r = rect;
    DrawEdge(canvas, r, EDGE_RAISED, BF_LEFT);
    r = rect;
    DrawEdge(canvas, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
    return;
  }
  TRect r = rect;
  DrawEdge(canvas, r, EDGE_RAISED, BF_RECT | (down ? BF_FLAT : 0u));
}

void vprDrawButton(int kind, unsigned state, TCanvas& canvas, const TRect& rect, TBitmap* glyph) {
  if (rect.IsEmpty()) return;
  TColorsKeeper keep(canvas);
  const bool mono = state & vbsMono;
  const bool pressed = state & vbsPressed;
  const bool disabled = state & vbsDisabled;
  FillSolid(canvas, rect, clBtnFace);

  if (kind == vbkSpin) {
    const int middle = rect.Top + rect.Height() / 2;
    const TRect upper{rect.Left, rect.Top, rect.Right, middle};
    const TRect lower{rect.Left, middle, rect.Right, rect.Bottom};
    const bool lowerPressed = state & vbsLowerPressed;
    DrawFace(canvas, upper, pressed, state);
    DrawFace(canvas, lower, lowerPressed, state);
    DrawArrow(canvas, Narrowed(upper, 2, pressed && !mono ? 1 : 0), DFCS_SCROLLUP, disabled);
    DrawArrow(canvas, Narrowed(lower, 2, lowerPressed && !mono ? 1 : 0), DFCS_SCROLLDOWN, disabled);
    return;
  }

  DrawFace(canvas, rect, pressed, state);
  const int down = pressed && !mono ? 1 : 0;
  switch (kind) {
    case vbkDropDown:
      DrawArrow(canvas, Narrowed(rect, 2, down), DFCS_SCROLLDOWN, disabled);
      break;
    case vbkEllipsis: {
      const int dot = 2;
      const int gap = rect.Width() < 17 ? 1 : 2;
      const int total = 3 * dot + 2 * gap;
      const int x = rect.Left + (rect.Width() - total) / 2;
      const int y = rect.Top + (rect.Height() - dot) / 2 + down;
      canvas.Brush()->SetColor(disabled ? clGrayText : clBtnText);
      for (int i = 0; i < 3; ++i) canvas.FillRect(Bounds(x + i * (dot + gap), y, dot, dot));
      break;
    }
    case vbkGlyph:
      if (glyph && !glyph->Empty()) {
        const int x = rect.Left + (rect.Width() - glyph->Width()) / 2;
        const int y = rect.Top + (rect.Height() - glyph->Height()) / 2 + down;
        DrawBitmap(canvas, x, y, *glyph);
      }
      break;
    default:
      break;
  }
}

// --- Borders -------------------------------------------------------------------------------

int vprBorderWidth(TvpBorderStyle style) {
  switch (style) {
    case bsNoBorder:
    case bs3D: return 0;
    case bsSoftExt:
    case bsFlatExt:
    case bsMonoExt: return 2;
    case bsSoft:
    case bsFlat:
    case bsMono: break;
  }
  return 1;
}

void CalcBorderSizeEx(TvpBorderStyle style, TRect& clientRect) {
  const int width = vprBorderWidth(style);
  InflateRect(clientRect, -width, -width);
}

TRect vprGetTranspBorderSize(TvpBorderStyle style) {
  int m = 0;
  switch (style) {
    case bsNoBorder: m = 2; break;
    case bsSoft:
    case bsFlat:
    case bsMono: m = 1; break;
    default: break;
  }
  return {m, m, m, m};
}

void vprDrawBorderEx(TvpBorderStyle style, TCanvas& canvas, const TRect& windowRect, const TRect& clientRect,
                     TColor background, bool transparent) {
  if (vprBorderWidth(style) == 0) return;
  TColorsKeeper colors(canvas);
  TClipKeeper clip(canvas);
  ExcludeClipRect(canvas, clientRect.Left, clientRect.Top, clientRect.Right, clientRect.Bottom);
  TRect r = windowRect;
  if (transparent) {
    const TRect m = vprGetTranspBorderSize(style);
    r = {r.Left + m.Left, r.Top + m.Top, r.Right - m.Right, r.Bottom - m.Bottom};
  }
  unsigned flags = BF_RECT | BF_ADJUST;
  if (style == bsFlat || style == bsFlatExt) flags |= BF_FLAT;
  if (style == bsMono || style == bsMonoExt) flags |= BF_MONO;
  DrawEdge(canvas, r, BDR_SUNKENOUTER, flags);
  IntersectClipRect(canvas, r.Left, r.Top, r.Right, r.Bottom);
  if (vprBorderWidth(style) == 2) {
    canvas.Brush()->SetColor(style == bsSoftExt ? cl3DLight : background);
    canvas.FrameRect(r);
  }
}

void vprDrawBorderEx(TvpBorderStyle style, TWinControl& control, bool transparent) {
  if (!control.HandleAllocated()) return;
  const HWND handle = control.Handle();
  const auto dc = GetWindowDC(handle);
  if (!dc) return;
  TRect windowRect;
  if (!GetWindowRect(handle, windowRect)) return;
  // The client rectangle relative to the window's top left.
  const TPoint origin = control.ClientOrigin();
  const TRect client = control.ClientRect();
  const int dx = origin.X - windowRect.Left;
  const int dy = origin.Y - windowRect.Top;
  TCanvas canvas(dc.get());
  vprDrawBorderEx(style, canvas, {0, 0, windowRect.Width(), windowRect.Height()},
                  {client.Left + dx, client.Top + dy, client.Right + dx, client.Bottom + dy},
                  control.Color(), transparent);
}

// --- Colours -------------------------------------------------------------------------------

namespace {
// n * 5 / 14 (that is n / 2.8) rounded to the nearest integer, ties to even.
int DivBy2Point8(int n) {
  const int q = n * 5 / 14;
  const int rem2 = (n * 5 % 14) * 2;
  return (rem2 > 14 || (rem2 == 14 && q % 2 != 0)) ? q + 1 : q;
}
}  // namespace

TColor vprGetUltraColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  const int r = GetRValue(rgb);
  const int g = GetGValue(rgb);
  const int b = GetBValue(rgb);
  const int r2 = r - (81 - (256 - r) / 4);
  const int g2 = g <= 47 ? g + (47 - g) / 4 : g - (77 - 3 * ((255 - g) / 8));
  const int b2 = b - (53 - DivBy2Point8(255 - b));
  return RGB(std::max(r2, 0), std::max(g2, 0), std::max(b2, 0));
}

}  // namespace zv
