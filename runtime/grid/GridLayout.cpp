#include "runtime/grid/GridLayout.h"

#include "runtime/grid/Columns.h"

#include <algorithm>

namespace zv {

int TgpGridLayout::CountVisibleRows() const {
  const int room = Client.Height() - TitleArea - FooterArea;
  return std::max(RowHeight > 0 ? room / RowHeight : 1, 1);
}

void TgpGridLayout::Recount() {
  RowsBottom = TitleArea + RowHeight * (DataRowsShown ? RowCount : 0);
  EmptyArea = std::max(Client.Height() - RowsBottom - FooterArea, 0);
}

TRect TgpGridLayout::RowBand(int row) const {
  const int top = TitleArea + row * RowHeight;
  return {Client.Left, top, Client.Right, top + RowHeight};
}

TRect TgpGridLayout::RowsBand() const { return {Client.Left, TitleArea, Client.Right, FooterTop()}; }
TRect TgpGridLayout::TitleBand() const { return {Client.Left, 0, Client.Right, TitleArea}; }
TRect TgpGridLayout::FooterBand() const { return {Client.Left, FooterTop(), Client.Right, Client.Bottom}; }

TgpGridLayout::TRowSpan TgpGridLayout::RowsIn(int top, int bottom) const {
  TRowSpan span;
  if (!DataRowsShown || RowHeight <= 0 || bottom <= TitleArea || top >= RowsBottom) return span;
  const int first = std::max(top - TitleArea, 0) / RowHeight;
  const int last = std::min((bottom - TitleArea - 1) / RowHeight, RowCount - 1);
  if (first <= last) span = {first, last};
  return span;
}

int TgpGridLayout::RowAt(int y) const {
  if (y < TitleArea || y >= RowsBottom || RowHeight <= 0) return -1;
  const int row = (y - TitleArea) / RowHeight;
  return row < RowCount ? row : -1;
}

TRect TgpGridLayout::WholeRows(const TRect& r) const {
  if (RowHeight <= 0) return r;
  auto top = [&](int y) {
    if (y < TitleArea) return 0;
    if (y >= RowsBottom) return y >= FooterTop() ? FooterTop() : y;
    return TitleArea + (y - TitleArea) / RowHeight * RowHeight;
  };
  auto bottom = [&](int y) {  // y is the last pixel row
    if (y < TitleArea) return TitleArea;
    if (y >= FooterTop()) return std::max(Client.Bottom, y + 1);
    if (y >= RowsBottom) return y + 1;
    return std::min(TitleArea + ((y - TitleArea) / RowHeight + 1) * RowHeight, RowsBottom);
  };
  return {r.Left, top(r.Top), r.Right, bottom(r.Bottom - 1)};
}

int TgpGridLayout::LevelHeight(TgpGridArea area, int levels) const {
  levels = std::max(levels, 1);
  switch (area) {
    case gaTitle: return (TitleHeight - levels - TitleTopMargin - TitleBottomMargin + 1) / levels;
    case gaFooter: return (FooterHeight - levels - FooterTopMargin - FooterBottomMargin + 1) / levels;
    default: return (RowHeight - levels - RowMargin + 1) / levels;
  }
}

int TgpGridLayout::GroupLeft(const TgpGroupInfo& group) const { return group.DisplayLeft; }

int TgpGridLayout::ColumnLeft(const TgpColumn& column) const {
  const TgpGroupInfo* group = column.Group();
  return group ? GroupLeft(*group) + std::max(OffsetInLevel(column), 0) : 0;
}

TRect TgpGridLayout::GroupRect(const TgpGroupInfo& group, TgpGridArea area, int row) const {
  TRect r{GroupLeft(group), 0, GroupLeft(group) + group.TotalWidth, 0};
  switch (area) {
    case gaUndefined:
      r.Top = Client.Top;
      r.Bottom = Client.Bottom;
      break;
    case gaTitle: r.Bottom = TitleArea; break;
    case gaCell:
      r.Top = TitleArea + row * RowHeight;
      r.Bottom = r.Top + RowHeight;
      break;
    case gaFooter:
      r.Top = FooterTop();
      r.Bottom = Client.Bottom;
      break;
  }
  return r;
}

int TgpGridLayout::OffsetInLevel(const TgpColumn& column) {
  const TgpGroupInfo* group = column.Group();
  const TgpColumns* columns = column.GetColumns();
  if (!column.Visible() || !group || !columns || column.ActualLevel() < 0) return -1;
  int offset = 0;
  for (int i = column.Index() - 1; i >= group->FirstIndex; --i) {
    const TgpColumn& before = *columns->Items(i);
    if (!before.Visible()) continue;
    if (before.ActualLevel() != column.ActualLevel()) break;
    offset += before.Width();
  }
  return offset;
}

bool TgpGridLayout::IsOnScreen(const TgpColumn& column) {
  const TgpGroupInfo* group = column.Group();
  return column.Visible() && group && group->InView && column.ActualLevel() >= 0;
}

namespace {

// Right of a column from its left edge, with or without the line after it.
void Horizontal(const TgpColumn& column, int left, int columnMargin, bool withLines, TRect& r) {
  r.Left = left;
  r.Right = r.Left + column.Width();
  if (withLines) {
    if (column.LowLevel().EndsLine) r.Right += columnMargin;
  } else if (!column.LowLevel().EndsLine) {
    --r.Right;
  }
}

// A band of levels (titles or footers): level k of height h under the band's top margin. With
// lines the first level reaches up to the band's top and the last down to its bottom.
void BandLevel(const TgpColumn& column, int h, int topMargin, int bottomMargin, bool withLines, TRect& r) {
  const int k = column.ActualLevel();
  r.Top = topMargin + (h + 1) * k;
  r.Bottom = r.Top + h;
  if (!withLines) return;
  if (k == 0) r.Top -= topMargin;
  if (column.LowLevel().OnLastLevel)
    r.Bottom += bottomMargin;
  else
    r.Bottom += 1;
}

}  // namespace

TRect TgpGridLayout::TitleRect(const TgpColumn& column, bool withLines) const {
  if (!IsOnScreen(column) || TitleArea <= 0) return {};
  TRect r;
  Horizontal(column, ColumnLeft(column), ColumnMargin, withLines, r);
  BandLevel(column, LevelHeight(gaTitle, column.Group()->LevelCount), TitleTopMargin, TitleBottomMargin, withLines, r);
  return r;
}

TRect TgpGridLayout::CellRect(const TgpColumn& column, int row, bool withLines) const {
  if (!IsOnScreen(column)) return {};
  TRect r;
  Horizontal(column, ColumnLeft(column), ColumnMargin, withLines, r);
  const int h = LevelHeight(gaCell, column.Group()->LevelCount);
  r.Top = TitleArea + (h + 1) * column.ActualLevel() + row * RowHeight;
  r.Bottom = r.Top + h;
  if (withLines) r.Bottom += column.LowLevel().OnLastLevel ? RowMargin : 1;
  return r;
}

TRect TgpGridLayout::FooterRect(const TgpColumn& column, bool withLines, bool absolute) const {
  if (!IsOnScreen(column) || FooterArea <= 0) return {};
  TRect r;
  Horizontal(column, ColumnLeft(column), ColumnMargin, withLines, r);
  if (r.Left == 0) r.Left = 1;  // the band's raised frame keeps the first pixel
  BandLevel(column, LevelHeight(gaFooter, column.Group()->LevelCount), FooterTopMargin, FooterBottomMargin, withLines, r);
  if (absolute) {
    r.Top += FooterTop();
    r.Bottom += FooterTop();
  }
  return r;
}

void TgpGridLayout::Plan(const TgpColumns& columns, int firstGroup, int lastGroup, TgpPaintInfo& info) const {
  info.PaintGroups.clear();
  info.Columns.clear();
  info.TitleHeight = TitleHeight;
  info.RowHeight = RowHeight;
  info.FooterHeight = FooterHeight;
  info.RowsTop = TitleArea;
  info.FooterTop = Client.Bottom - FooterHeight;
  info.LastVisibleRow = VisibleRowCount - 1;
  const int groupCount = columns.GroupCount();
  for (int g = std::max(firstGroup, 0); g <= lastGroup && g < groupCount; ++g) {
    const TgpGroupInfo* group = columns.GetGroupInfo(g);
    if (!group || !group->InView) continue;
    const int first = static_cast<int>(info.Columns.size());
    for (int i = group->FirstIndex; i <= group->LastIndex; ++i) {
      const TgpColumn& c = *columns.Items(i);
      if (!c.Visible()) continue;
      TgpPaintColumn p;
      p.Index = i;
      p.Group = g;
      p.Level = std::max(c.ActualLevel(), 0);
      p.FirstInLine = OffsetInLevel(c) <= 0;
      p.Fixed = c.Fixed() == cfLeft;
      p.ForeColorFill = c.OptionsVisual().Contains(cvoForeColorFill);
      p.HasFooter = c.FooterState() != fsNone || !c.FooterText().empty();
      p.Color = c.Color();
      p.FooterColor = c.FooterAttrs() ? c.FooterAttrs()->Color() : clNone;
      p.Title = TitleRect(c, false);
      p.TitleLines = TitleRect(c, true);
      p.Cell = CellRect(c, 0, false);
      p.CellLines = CellRect(c, 0, true);
      if (!p.Title.IsEmpty()) p.TitleContent = c.PaintTitle();
      p.Footer = FooterRect(c, false);
      p.FooterLines = FooterRect(c, true);
      info.Columns.push_back(p);
    }
    const int count = static_cast<int>(info.Columns.size()) - first;
    if (count == 0) continue;
    info.PaintGroups.push_back(
        TgpPaintGroup{g, GroupLeft(*group), group->TotalWidth, first, count, g == groupCount - 1});
  }
}

TgpGridHit TgpGridLayout::PointToCell(const TgpColumns& columns, int x, int y) const {
  TgpGridHit hit;
  if (!PtInRect(Client, TPoint{x, y})) return hit;
  const TgpGroupInfo* group = nullptr;
  for (const TgpGroupInfo* g : columns.Groups())
    if (g->InView && GroupLeft(*g) <= x && (!group || GroupLeft(*g) >= GroupLeft(*group))) group = g;
  if (!group) return hit;

  TgpGridArea area = gaUndefined;
  int row = 0;
  if (y < TitleArea) {
    area = gaTitle;
  } else if (y < RowsBottom) {
    row = RowAt(y);
    if (row < 0) return hit;
    area = gaCell;
  } else if (y >= RowsBottom + EmptyArea && FooterArea > 0) {
    area = gaFooter;
  } else {
    return hit;
  }
  const TPoint p{x, y};
  for (int i = group->FirstIndex; i <= group->LastIndex; ++i) {
    const TgpColumn& column = *columns.Items(i);
    if (!column.Visible()) continue;
    TRect r;
    switch (area) {
      case gaTitle: r = TitleRect(column, true); break;
      case gaCell: r = CellRect(column, row, true); break;
      default: r = FooterRect(column, true); break;
    }
    if (PtInRect(r, p)) {
      hit.Area = area;
      hit.Row = row;
      hit.Column = i;
      return hit;
    }
  }
  return hit;
}

}  // namespace zv
