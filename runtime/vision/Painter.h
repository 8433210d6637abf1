#pragma once
// The painters: what a vision paints a cell with. A painter carries the rectangles, font,
// colours, text and images of the cell being painted and a DefaultDrawing switch through which
// any stage can take over. Each grid has one TgpPainter; every edit control paints through the
// one edit painter of the library.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/ImageList.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/PaintRecords.h"

#include <functional>
#include <string_view>

namespace zv {

class TDataLink;
class TgpColumn;
class TgpFieldList;

// Vertical alignment of a cell text; tlaDefault follows the field list's layout.
ZV_ENUM(TvpDefLayout, tlaDefault, tlaTop, tlaCenter, tlaBottom);
// Side of the cell image; aiDefault is the left.
ZV_ENUM(TvpAlignImage, aiDefault, aiLeft, aiRight);

// What Init reads from a field list and its vision to place the image and the text.
struct TfvPlacement {
  TCustomImageList* Images = nullptr;  // the vision's Images
  int ImageWidth = 0;                  // the vision's image size; no image when not above 0
  int ImageHeight = 0;
  TLayout Layout = tlCenter;           // the field list's layout
  TvpAlignImage AlignImage = aiDefault;
  bool DrawText = true;                // the vision draws text
  bool MultiLine = false;              // the vision paints multi-line text
  bool CustomSurface = false;          // the vision paints a custom surface (vskCustom)
  bool Number = false;                 // the main field is numeric: its value is a number
};

class TfvPainter {
public:
  explicit TfvPainter(bool isGrid) : IsGrid(isGrid) {}
  virtual ~TfvPainter() = default;
  TfvPainter(const TfvPainter&) = delete;
  TfvPainter& operator=(const TfvPainter&) = delete;

  // Takes fields and the vision's images, and places the image and the text in ClientRect:
  // the image at the end AlignImage names (centred when the vision draws no text), the text in
  // what is left, two pixels away.
  virtual void Init(TgpFieldList* fields, const TfvPlacement& placement);
  // The same, with what the field list and its vision say (no image and plain text without a
  // vision).
  void Init(TgpFieldList& fields);
  // Draws text in TextRect through vprDrawText; tlaDefault takes the field list's layout. A
  // number that does not fit where text would be cut with an ellipsis (EndEllipsis) is never
  // shown in part: the text rectangle is filled with "#" marks in the number's alignment.
  virtual void DrawText(std::string_view text, TAlignment alignment, TvpDefLayout layout, int leftIndent,
                        int rightIndent);
  // The text is a stored value's failure to become text (a message, not the value): drawn in
  // the disabled-text colour and cut as any text is, never taken for a number. Init and each
  // row's Prepare clear it.
  void MarkUnreadable();
  bool Unreadable() const { return fUnreadable; }
  // Draws image index (nothing for -1) of images, or of Images when nil, at ImageRect's top left.
  void DrawImage(int index, TCustomImageList* images = nullptr);
  // The dotted focus frame, unless NoFocusRect.
  void DrawFocusRect(const TRect& rect);

  TFont Font;  // the cell's base font before row and cell overrides
  TRect CellRect;
  TRect ClientRect;  // CellRect less the cell margins
  TRect ImageRect;
  TRect TextRect;
  TCustomImageList* Images = nullptr;
  TCanvas* Canvas = nullptr;
  TvpCellAttrs* CellAttrs = nullptr;
  String Text;
  int ImageIndex = -1;
  int OverlayIndex = -1;
  bool EndEllipsis = false;
  bool WordWrap = false;
  bool NoFocusRect = false;
  const bool IsGrid;
  bool Standalone = false;  // edit painter: the edit is not a grid's in-place editor
  bool InGrid = false;      // edit painter: the edit is a grid's in-place editor
  bool DefaultDrawing = true;
  TgpFieldList* Fields = nullptr;

protected:
  // Taken by Init: the field list's layout, whether the vision paints a custom surface and
  // whether the list shows a number.
  TLayout fFieldsLayout = tlCenter;
  bool fCustomSurface = false;
  bool fNumber = false;
  bool fUnreadable = false;
};

// The painter of a grid: advanced row by row over one column.
class TgpPainter : public TfvPainter {
public:
  TgpPainter() : TfvPainter(true) {}

  // The grid's side of painting: its paint request, which gives the row attributes.
  TgpPaintInfo* PaintInfo = nullptr;
  TgpColumn* Column = nullptr;
  TDataLink* DataLink = nullptr;
  int Row = 0;  // the visible row being painted
  int LastRow = -1;
  TgpRowAttrs* RowAttrs = nullptr;
  int ColumnIndex = -1;  // the column's collection index, for its cell attributes
  int RowHeight = 0;     // what Next moves the rectangles by
  // The grid's owner drawing of a cell (its OnDrawCell), set for columns that ask for it.
  std::function<void(TgpPainter&)> OwnerDraw;
  bool HasOwnerDraw = false;

  // False past LastRow; else makes Row's record active and takes its attributes and fonts.
  bool Prepare();
  // The next row: the four rectangles move down by RowHeight.
  void Next();

  // CellAttrs as the grid fills it.
  TgpCellAttrs* GridCellAttrs() const { return static_cast<TgpCellAttrs*>(CellAttrs); }
  void SetGridCellAttrs(TgpCellAttrs* attrs) { CellAttrs = attrs; }
};

// The painter and cell attributes every edit control paints through. Painting is single
// threaded and not reentrant: a handler must not make another edit paint while one does.
TfvPainter& EditPainter();
TvpCellAttrs& EditCellAttrs();

}  // namespace zv
