#pragma once
// TgpGridLayout: where everything of a grid lies on screen. One value, refreshed by the grid
// when its heights, rows or client size change; hit testing, invalidation and painting all read
// their rectangles from it and compute none of their own.

#include "platform/graphics/Geometry.h"
#include "runtime/vision/PaintRecords.h"

namespace zv {

class TgpColumn;
class TgpColumns;
class TgpGroupInfo;

// Where a point falls: the band, the visible row (0 on screen) and the column's collection index.
struct TgpGridHit {
  TgpGridArea Area = gaUndefined;
  int Row = 0;
  int Column = -1;
};

struct TgpGridLayout {
  TRect Client;  // client coordinates, (0, 0) at the top left

  // Heights of the whole title band, one record row and the whole footer band.
  int TitleHeight = 10;
  int RowHeight = 10;
  int FooterHeight = 10;
  // Title and footer band heights as shown (0 while hidden).
  int TitleArea = 0;
  int FooterArea = 0;
  int VisibleRowCount = 1;  // whole rows that fit, at least 1
  int RowCount = 1;         // rows in the data link's window, 1 without records
  bool DataRowsShown = false;
  bool MoreRows = false;  // records follow the last buffered row
  int RowsBottom = 0;
  int EmptyArea = 0;

  // The designer's space after each group, below each row, around the title and footer bands.
  int ColumnMargin = 0;
  int RowMargin = 0;
  int TitleTopMargin = 0;
  int TitleBottomMargin = 0;
  int FooterTopMargin = 0;
  int FooterBottomMargin = 0;

  // Whole rows that fit between the shown title and footer bands (at least 1).
  int CountVisibleRows() const;
  // Rows bottom and the empty area from the rest.
  void Recount();

  int FooterTop() const { return Client.Bottom - FooterArea; }
  // Full client width bands.
  TRect RowBand(int row) const;
  TRect RowsBand() const;
  TRect TitleBand() const;
  TRect FooterBand() const;

  // The height of one level of a group of `levels` levels in the title band, a row or the footer
  // band: what the band leaves inside its margins, shared with a line between each two levels.
  int LevelHeight(TgpGridArea area, int levels) const;
  // The top of a level below the top of its band, row or band margin.
  int LevelTop(TgpGridArea area, int levels, int level) const { return (LevelHeight(area, levels) + 1) * level; }

  // A group's left edge in client coordinates: where the horizontal scroll has put it.
  int GroupLeft(const TgpGroupInfo& group) const;
  // A column's left edge in client coordinates (its group's while it is hidden).
  int ColumnLeft(const TgpColumn& column) const;
  // A group's columns in one band: gaUndefined is the whole client height, gaCell one row.
  TRect GroupRect(const TgpGroupInfo& group, TgpGridArea area, int row) const;

  // A column's rectangles, empty when the column is not on screen or its band is hidden. With
  // lines they take the margins after and below them, so that together they tile the band.
  TRect TitleRect(const TgpColumn& column, bool withLines) const;
  TRect CellRect(const TgpColumn& column, int row, bool withLines) const;
  // absolute: in client coordinates; otherwise from the footer band's top.
  TRect FooterRect(const TgpColumn& column, bool withLines, bool absolute = true) const;

  // The visible rows a vertical span [top, bottom) of the client crosses, within the rows
  // shown; First and Last both -1 when it crosses none.
  struct TRowSpan {
    int First = -1;
    int Last = -1;
  };
  TRowSpan RowsIn(int top, int bottom) const;
  // The visible row at y, -1 above or below the rows shown.
  int RowAt(int y) const;
  // r widened to what is painted as a whole: rows to their edges, the titles and the footers
  // each to its band (the footer band down to the client's bottom).
  TRect WholeRows(const TRect& r) const;

  // The plan of a paint request over groups firstGroup..lastGroup: the groups that show a column
  // with their visible columns and rectangles, and the bands' heights.
  void Plan(const TgpColumns& columns, int firstGroup, int lastGroup, TgpPaintInfo& info) const;

  TgpGridHit PointToCell(const TgpColumns& columns, int x, int y) const;

  // Pixels from a column's group's left edge to its own: the widths of the visible columns
  // before it on its level; -1 while it is hidden or in no group.
  static int OffsetInLevel(const TgpColumn& column);

  // On screen: visible and in a group that is fixed or not scrolled off.
  static bool IsOnScreen(const TgpColumn& column);
};

}  // namespace zv
