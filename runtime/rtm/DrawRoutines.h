#pragma once
// The painting routines every painter of the library shares: text placement, bitmap placement,
// button frames and edit-button faces, the non-client borders of TvpBorderStyle, the
// ultra-soft selection tint and a few canvas and bitmap utilities. They draw on a TCanvas
// (the host's device context) and leave its pen, brush and font as they found them.

#include "platform/controls/WinControl.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"
#include "runtime/rtm/RtmTypes.h"

#include <string_view>

namespace zv {

// --- Text ----------------------------------------------------------------------------------

// Draws text in rect less the indents. Single-line text is aligned by DrawText itself; wrapped
// text is laid out once and its block of lines placed by layout within the rectangle (cut to
// it). endEllipsis and editControl add DT_END_ELLIPSIS and DT_EDITCONTROL; removeFlags are
// cleared last, addFlags set after that. Returns what DrawText returned.
int vprDrawText(TCanvas& canvas, const TRect& rect, std::string_view text, TAlignment alignment, TLayout layout,
                int leftIndent, int rightIndent, bool wordWrap, bool endEllipsis, bool editControl,
                unsigned removeFlags = 0, unsigned addFlags = 0);
// Cuts textRect to outer's height and places it vertically in outer (left and right kept).
void CalcTextRect(const TRect& outer, TRect& textRect, TLayout layout);
// The font's character cell height, measured by the active graphics backend.
int GetFontHeight(const TFont& font);

// --- Bitmaps -------------------------------------------------------------------------------

// Places bitmapRect (cut to freeRect's size) in freeRect by layout and takes the room it
// needs, a one-pixel cell margin and two pixels of spacing out of freeRect (ilCenter takes
// nothing).
void CalcBitmapRect(TRect& freeRect, TRect& bitmapRect, TImageLayout layout);
// Draws bitmap with its top left at (x, y); the canvas's colours are left unchanged.
void DrawBitmap(TCanvas& canvas, int x, int y, TBitmap& bitmap);
// Cuts strip into strip width div image width images of the list's size, left to right, and
// adds each with its own transparent colour as mask. Returns the number added.
int CutAndAddToList(TBitmap& strip, TCustomImageList& list);

// --- Frames and buttons --------------------------------------------------------------------

// The dotted focus frame; drawing it twice restores the pixels.
void vprDrawFocusRect(TCanvas& canvas, const TRect& rect);
// A raised button frame, flat when down. The soft face (not down) keeps the full raised edge
// on the left only and draws the inner raised line on the top, right and bottom.
void vprDrawFrame(TCanvas& canvas, const TRect& rect, bool down, bool soft);

// vprDrawButton kinds.
inline constexpr int vbkDropDown = 1;
inline constexpr int vbkEllipsis = 2;
inline constexpr int vbkSpin = 3;
inline constexpr int vbkGlyph = 4;
// vprDrawButton state bits.
inline constexpr unsigned vbsPressed = 1;
inline constexpr unsigned vbsLowerPressed = 2;  // spin: the lower half
inline constexpr unsigned vbsDisabled = 4;
inline constexpr unsigned vbsSoft = 8;
inline constexpr unsigned vbsMono = 16;
// The face of an edit button in rect; glyph is drawn for vbkGlyph only and may be null.
// Content moves one pixel down while pressed (not for the mono face).
void vprDrawButton(int kind, unsigned state, TCanvas& canvas, const TRect& rect, TBitmap* glyph = nullptr);

// --- Borders -------------------------------------------------------------------------------

// Pixels per side the library draws for style: 0 for bsNoBorder and bs3D (the system draws
// bs3D's client edge), 2 for the Ext styles, else 1.
int vprBorderWidth(TvpBorderStyle style);
// Shrinks a window's client rectangle (WM_NCCALCSIZE's first rectangle) by the border.
void CalcBorderSizeEx(TvpBorderStyle style, TRect& clientRect);
// The margins a transparent control leaves outside its border: 2 for bsNoBorder, 1 for the
// one-pixel styles, 0 for the others.
TRect vprGetTranspBorderSize(TvpBorderStyle style);
// Paints style's border in windowRect (window coordinates) without touching clientRect;
// background is the control's colour (the inner line of bsFlatExt and bsMonoExt). Clipping is
// restored afterwards.
void vprDrawBorderEx(TvpBorderStyle style, TCanvas& canvas, const TRect& windowRect, const TRect& clientRect,
                     TColor background, bool transparent);
// The same on control's frame, through its window device context (nothing when the control has
// no window yet); the inner line of bsFlatExt and bsMonoExt takes the control's colour. Call it
// from WM_NCPAINT after the inherited painting.
void vprDrawBorderEx(TvpBorderStyle style, TWinControl& control, bool transparent);

// --- Colours -------------------------------------------------------------------------------

// The tint of the ultra-soft selection look: white gives (174, 178, 202), black (0, 11, 38).
TColor vprGetUltraColor(TColor color);

}  // namespace zv
