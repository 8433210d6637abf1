#pragma once
// The records every painting step hands around: the margins a designer keeps per band, the
// attributes of one cell and one visible row, and the paint request a grid fills before it
// hands over to its designer. They do not know the grid: what they need from it (the columns'
// per-row cell attributes, the dataset, the visible row count) comes through IgpPaintGrid.

#include "platform/classes/ClassesTypes.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/rtl/Set.h"

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace zv {

class TCanvas;
class TChildFont;
class TCustomImageList;
class TGraphic;
class TDataLink;
class TDataSet;
class TgpDesigner;
class TgpGroupInfo;
class TgpPaintInfo;

// --- Margins --------------------------------------------------------------------------------

// The space a band leaves inside each of its cells. Owned by a designer, which hears every
// change (the grid's heights depend on it); a value is only stored while the designer loads.
class TgpCellMargins : public TPersistent {
  ZV_CLASS(TgpCellMargins, TPersistent)

public:
  static constexpr int DefaultMargin = 2;

  explicit TgpCellMargins(TgpDesigner* designer = nullptr) : fDesigner(designer) {}

  TgpDesigner* Designer() const { return fDesigner; }

  // Index 1 left, 2 top, 3 right, 4 bottom; any other index raises EZVError.
  int Margin(int index) const;
  // A negative value raises EZVError and keeps the old one.
  void SetMargin(int index, int value);

  int LeftMargin() const { return fValues[0]; }
  void SetLeftMargin(int value) { SetMargin(1, value); }
  int TopMargin() const { return fValues[1]; }
  void SetTopMargin(int value) { SetMargin(2, value); }
  int RightMargin() const { return fValues[2]; }
  void SetRightMargin(int value) { SetMargin(3, value); }
  int BottomMargin() const { return fValues[3]; }
  void SetBottomMargin(int value) { SetMargin(4, value); }

  // r less the four margins (left and top added, right and bottom subtracted).
  TRect Shrink(const TRect& r) const;

  // From another TgpCellMargins: the four values, one notification when any changed.
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TgpCellMargins>& t);

private:
  friend class TgpDesigner;
  void Changed();

  TgpDesigner* fDesigner;
  int fValues[4] = {DefaultMargin, DefaultMargin, DefaultMargin, DefaultMargin};
  bool fQuiet = false;  // the designer notifies once for a whole assignment
};

// --- Cell and row attributes -----------------------------------------------------------------

// What a painter knows about the cell it paints. clNone means "no colour set".
class TvpCellAttrs {
public:
  TColor Color = clNone;
  bool Focused = false;  // the focused cell of a focused control
  bool Pressed = false;  // the cell's switch or button is held down
  bool Tracked = false;  // the mouse pointer is over the cell

  void Reset();
};

// A grid cell's attributes: font overrides and selection looks on top of the plain ones.
class TgpCellAttrs : public TvpCellAttrs {
public:
  TColor FontColor = clNone;
  TFontStyles FontStyle;  // added to the font's styles
  String FontName;        // empty = not set
  bool ForceColor = false;  // the cell colour wins over the column's colours
  bool UltraSoft = false;   // paint with the ultra-soft variant of the colour
  bool Current = false;     // the current cell of the current row

  void Reset();
};

ZV_ENUM(TgpGridArea, gaUndefined, gaTitle, gaCell, gaFooter);

// What a column's title shows: its caption, the sort glyph at its right edge, and the column's
// own glyph or else an image of the grid's title images beside (or instead of) the caption.
struct TgpPaintTitle {
  String Caption;
  TAlignment Alignment = taLeftJustify;
  bool ShowCaption = true;
  TCustomImageList* SortGlyphs = nullptr;
  int SortGlyph = -1;  // -1 when unsorted
  TGraphic* Glyph = nullptr;
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
};

// One column of a paint plan: its collection index, group and level, its own colours, and its
// rectangles in client coordinates, without and with the lines after and below it (empty where
// the column or its band is not shown). The cell rectangles are row 0's: row r's lie r rows
// lower (TgpPaintInfo::CellRect).
struct TgpPaintColumn {
  int Index = -1;
  int Group = -1;
  int Level = 0;             // actual level in its group
  bool FirstInLine = true;   // no visible column before it on its level
  bool Fixed = false;        // fixed at the left
  bool ForeColorFill = false;
  bool HasFooter = false;    // a footer state or text to show
  TColor Color = clNone;     // the column's own colour
  TColor FooterColor = clNone;
  TRect Title, TitleLines;
  TRect Cell, CellLines;
  TRect Footer, FooterLines;
  TgpPaintTitle TitleContent;  // when the title band is shown
};

// One group of a paint plan: its number, its left edge (client coordinates) and width, and
// where its visible columns lie in the plan's column list.
struct TgpPaintGroup {
  int Number = 0;
  int Left = 0;
  int Width = 0;
  int FirstColumn = 0;
  int ColumnCount = 0;
  bool LastOfGrid = false;  // the grid's last group
};

// What the paint records need from their grid. The grid implements it; its columns keep one
// TgpCellAttrs per visible row. The columns' own drawing has defaults for grids that only keep
// attributes; where things lie comes with the paint request's plan, not from here.
class IgpPaintGrid {
public:
  // The dataset of the grid's data link, or nil.
  virtual TDataSet* PaintDataSet() const = 0;
  virtual int VisibleRowCount() const = 0;
  virtual int PaintColumnCount() const = 0;
  // Column columnIndex's attributes of visible row `row`; nil when either is out of range.
  virtual TgpCellAttrs* ColumnCellAttrs(int columnIndex, int row) = 0;
  // The index of the column that shows fieldName, -1 when none does.
  virtual int ColumnIndexOfField(const String& fieldName) const = 0;
  // Gives every column rowCount cell attributes (kept ones unchanged), or none.
  virtual void ResizeColumnCellAttrs(int rowCount) = 0;
  virtual void ClearColumnCellAttrs() = 0;

  // ---- Painting ---------------------------------------------------------------------------
  // A planned column's own drawing, where the plan puts it (the canvas takes client
  // coordinates): its footer's text, and its cells in the request's rows.
  virtual void PaintColumnFooter(const TgpPaintColumn& column, TCanvas& canvas) {
    (void)column; (void)canvas;
  }
  virtual void PaintColumnRecords(const TgpPaintInfo& info, const TgpPaintColumn& column, TCanvas& canvas) {
    (void)info; (void)column; (void)canvas;
  }

protected:
  ~IgpPaintGrid() = default;
};

// One visible row's look, handed to the grid's OnGetRowAttrs with the row's record active.
class TgpRowAttrs {
public:
  explicit TgpRowAttrs(TgpPaintInfo* paintInfo) : PaintInfo(paintInfo) {}

  TgpPaintInfo* const PaintInfo;
  TDataSet* DataSet = nullptr;
  TColor Color = clNone;
  TColor FontColor = clNone;
  TFontStyles FontStyle;
  String FontName;
  bool ForceColor = false;
  bool UltraSoft = false;
  int Row = 0;         // 0 = first row on screen
  int StripIndex = 0;  // 1..StripStep in the grid's strip cycle; 0 without strips
  bool Current = false;
  bool Focused = false;
  bool Selected = false;
  bool Tracked = false;

  // Clears everything but Row and DataSet, then resets this row's cell in every column.
  void Reset();
  // This row's cell in column columnIndex; nil when out of range.
  TgpCellAttrs* GetCellAttr(int columnIndex) const;
  // This row's cell in the column that shows fieldName; nil when no column does.
  TgpCellAttrs* GetFieldAttr(const String& fieldName) const;
};

ZV_EVENT(TgpGetRowAttrsEvent, void(TObject* sender, TgpRowAttrs& rowAttrs));

// --- Cell look -------------------------------------------------------------------------------

// Where a cell's look comes from, least specific first: the grid's font and colour, the
// designer's cell font and colour of fixed columns, the column, the row and the cell. Any may be
// nil: row heights know neither row nor cell, a painter's base font already holds the first three.
struct TgpLookSources {
  const TFont* GridFont = nullptr;
  const TChildFont* DesignerFont = nullptr;  // nil when the designer sets no cell font
  const TChildFont* ColumnFont = nullptr;    // nil when the column has no font of its own
  TColor Background = clWindow;              // the grid's colour
  TColor FixedColor = clNone;                // the designer's colour of fixed columns
  const TgpPaintColumn* Column = nullptr;
  const TgpRowAttrs* Row = nullptr;
  const TgpCellAttrs* Cell = nullptr;
};

struct TgpCellLook {
  TColor RowFill = clNone;  // the row's fill (ultra-soft applied); clNone shows the background
  TColor Fill = clNone;     // the cell's; equal to RowFill or clNone where the row's shows through
};

// The one rule for a cell's look: its font into font (when given, from GridFont on), and its
// fills when the row is known (the cell's only with its column).
TgpCellLook ResolveCellLook(const TgpLookSources& sources, TFont* font);

// What decides which of the designer's selection looks a row takes, beside the row's own marks
// (Selected, Current, Focused, Tracked).
struct TgpRowLookSources {
  const TgpDesigner* Designer = nullptr;  // nil: no selection looks
  bool SelectionEmpty = true;
  bool HideSelection = true;  // an unfocused grid's current row shows the hidden selection's colour
  bool DragTrack = false;     // a drop row is shown for a drag: it, not the current row, looks selected
};

// The row's part of the look, ahead of ResolveCellLook: the selection looks that apply written
// into the row and its current cell (nil when it has none), as the row's own colours that the
// grid's OnGetRowAttrs may still change.
void ResolveRowLook(const TgpRowLookSources& sources, TgpRowAttrs& row, TgpCellAttrs* currentCell);

// --- Paint request ---------------------------------------------------------------------------

using TgpGridAreas = TSet<TgpGridArea>;

// What a grid asks its designer to paint. One per grid, created with it.
class TgpPaintInfo {
public:
  explicit TgpPaintInfo(IgpPaintGrid* grid) : Grid(grid) {}
  TgpPaintInfo(const TgpPaintInfo&) = delete;
  TgpPaintInfo& operator=(const TgpPaintInfo&) = delete;

  IgpPaintGrid* const Grid;
  TCanvas* Canvas = nullptr;
  TRect Rect;  // clip rectangle in client coordinates
  TColor Color = clWindow;
  int FirstGroup = 0;
  int LastGroup = -1;
  int FirstRow = -1;  // both -1 when no row is painted
  int LastRow = -1;
  TgpGridAreas Areas;
  bool Buffered = false;
  TDataLink* DataLink = nullptr;
  std::span<TgpGroupInfo* const> Groups;

  // The plan, built once per request from the grid's layout: the groups the request crosses
  // that show a column, left to right, their visible columns, and the bands' heights.
  std::vector<TgpPaintGroup> PaintGroups;
  std::vector<TgpPaintColumn> Columns;
  int TitleHeight = 0;  // of the whole band, shown or not
  int RowHeight = 0;
  int FooterHeight = 0;
  int RowsTop = 0;    // the top of visible row 0's band
  int FooterTop = 0;  // the top of the footer band, shown or not: it ends at the client's bottom
  int LastVisibleRow = -1;  // the last row on screen
  int PressedTitle = -1;    // the column whose title is held down, -1 when none
  const TFont* Font = nullptr;  // the grid's font, under the designer's band fonts

  std::span<const TgpPaintColumn> GroupColumns(const TgpPaintGroup& group) const {
    return std::span<const TgpPaintColumn>(Columns).subspan(static_cast<std::size_t>(group.FirstColumn),
                                                            static_cast<std::size_t>(group.ColumnCount));
  }
  // The top of visible row `row`'s band.
  int RowTop(int row) const { return RowsTop + row * RowHeight; }
  // The column's cell rectangle in visible row `row` (empty when the column is off screen).
  TRect CellRect(const TgpPaintColumn& column, int row, bool withLines) const {
    TRect r = withLines ? column.CellLines : column.Cell;
    if (r.IsEmpty()) return r;
    r.Top += row * RowHeight;
    r.Bottom += row * RowHeight;
    return r;
  }
  // The column's title or footer rectangle (empty when not shown).
  static TRect BandRect(const TgpPaintColumn& column, TgpGridArea area, bool withLines) {
    if (area == gaTitle) return withLines ? column.TitleLines : column.Title;
    return withLines ? column.FooterLines : column.Footer;
  }

  int RowAttrsCount() const { return static_cast<int>(fRowAttrs.size()); }
  // Entry row; EZVError when out of range.
  TgpRowAttrs& GetRowAttrs(int row) const;
  // Appends new entries or frees them from the front until count remain (a negative count
  // raises EZVError), then resizes the columns' cell attributes to the grid's visible row
  // count and gives every entry the grid's dataset.
  void RowCountChanged(int count);
  // No entries, and no cell attributes in any column.
  void ClearRowAttrs();

private:
  std::vector<std::unique_ptr<TgpRowAttrs>> fRowAttrs;
};

}  // namespace zv
