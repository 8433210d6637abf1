// Cell margins, cell and row attributes and the paint request's row list, against a test grid
// whose columns keep their own per-row cell attributes.

#include "ExpectMessage.h"
#include "TestGrid.h"

#include "platform/db/MemTable.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/Designer.h"
#include "runtime/vision/PaintRecords.h"

#include <gtest/gtest.h>

using namespace zv;
using zvtest::MessageOf;
using zvtest::TTestGrid;

TEST(CellMarginsTest, IndexesDefaultsAndRejectedValues) {
  TgpCellMargins m;
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(m.Margin(i), 2) << i;
  m.SetMargin(1, 5);
  m.SetMargin(2, 6);
  m.SetMargin(3, 7);
  m.SetMargin(4, 0);
  EXPECT_EQ(m.LeftMargin(), 5);
  EXPECT_EQ(m.TopMargin(), 6);
  EXPECT_EQ(m.RightMargin(), 7);
  EXPECT_EQ(m.BottomMargin(), 0);
  EXPECT_EQ(m.Shrink({10, 10, 50, 30}), Rect(15, 16, 43, 30));

  EXPECT_EQ(MessageOf<EZVError>([&] { m.SetTopMargin(-3); }), "Value can not be negative (-3)");
  EXPECT_EQ(m.TopMargin(), 6);
  EXPECT_THROW(m.SetMargin(0, 1), EZVError);
  EXPECT_THROW(m.SetMargin(5, 1), EZVError);
  EXPECT_THROW((void)m.Margin(5), EZVError);

  // The property table streams each value by its own name, with 2 as default.
  const TPropInfo* p = GetPropInfo(TgpCellMargins::StaticClass(), "RightMargin");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Default, 2);
  EXPECT_EQ(GetOrdProp(&m, p), 7);
}

TEST(CellMarginsTest, AssignCopiesFromMarginsOnly) {
  TgpCellMargins a, b;
  b.SetLeftMargin(9);
  b.SetBottomMargin(1);
  a.Assign(&b);
  EXPECT_EQ(a.LeftMargin(), 9);
  EXPECT_EQ(a.TopMargin(), 2);
  EXPECT_EQ(a.BottomMargin(), 1);
  TMemTable other(nullptr);
  EXPECT_EQ(MessageOf<Exception>([&] { a.Assign(&other); }), "Cannot assign a TMemTable to a TgpCellMargins");
  EXPECT_EQ(a.LeftMargin(), 9);
}

TEST(CellAttrsTest, ResetClearsEveryMember) {
  TgpCellAttrs c;
  c.Color = clRed;
  c.Focused = c.Pressed = c.Tracked = true;
  c.FontColor = clBlue;
  c.FontStyle = {fsBold, fsItalic};
  c.FontName = "Ünïcode Sans";
  c.ForceColor = c.UltraSoft = c.Current = true;
  c.Reset();
  EXPECT_EQ(c.Color, clNone);
  EXPECT_EQ(c.FontColor, clNone);
  EXPECT_TRUE(c.FontStyle.Empty());
  EXPECT_TRUE(c.FontName.empty());
  EXPECT_FALSE(c.Focused || c.Pressed || c.Tracked || c.ForceColor || c.UltraSoft || c.Current);

  TvpCellAttrs plain;
  EXPECT_EQ(plain.Color, clNone);
  plain.Color = clGreen;
  plain.Pressed = true;
  plain.Reset();
  EXPECT_EQ(plain.Color, clNone);
  EXPECT_FALSE(plain.Pressed);
}

class PaintInfoTest : public ::testing::Test {
protected:
  PaintInfoTest() : grid(nullptr, {"ID", "Name", "Price"}), info(&grid), table(nullptr) {
    grid.dataSet = &table;
  }
  TTestGrid grid;
  TgpPaintInfo info;
  TMemTable table;
};

TEST_F(PaintInfoTest, RowCountChangedGrowsAtTheEndAndShrinksFromTheFront) {
  grid.visibleRows = 3;
  info.RowCountChanged(3);
  ASSERT_EQ(info.RowAttrsCount(), 3);
  std::vector<TgpRowAttrs*> first;
  for (int i = 0; i < 3; ++i) {
    first.push_back(&info.GetRowAttrs(i));
    EXPECT_EQ(first.back()->PaintInfo, &info);
    EXPECT_EQ(first.back()->DataSet, &table);
  }
  EXPECT_EQ(grid.CellRows(0), 3u);
  EXPECT_EQ(grid.CellRows(2), 3u);

  grid.visibleRows = 5;
  info.RowCountChanged(5);
  ASSERT_EQ(info.RowAttrsCount(), 5);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(&info.GetRowAttrs(i), first[static_cast<std::size_t>(i)]) << i;
  EXPECT_EQ(info.GetRowAttrs(4).DataSet, &table);
  EXPECT_EQ(grid.CellRows(1), 5u);

  // Shrinking frees the front entries: what was row 3 and 4 is now entries 0 and 1.
  TgpRowAttrs* fourth = &info.GetRowAttrs(3);
  TgpRowAttrs* fifth = &info.GetRowAttrs(4);
  grid.visibleRows = 2;
  grid.dataSet = nullptr;
  info.RowCountChanged(2);
  ASSERT_EQ(info.RowAttrsCount(), 2);
  EXPECT_EQ(&info.GetRowAttrs(0), fourth);
  EXPECT_EQ(&info.GetRowAttrs(1), fifth);
  EXPECT_EQ(info.GetRowAttrs(0).DataSet, nullptr);
  EXPECT_EQ(grid.CellRows(0), 2u);

  EXPECT_EQ(MessageOf<EZVError>([&] { info.RowCountChanged(-1); }), "Value can not be negative (-1)");
  EXPECT_EQ(info.RowAttrsCount(), 2);
  EXPECT_THROW(info.GetRowAttrs(2), EZVError);
  EXPECT_THROW(info.GetRowAttrs(-1), EZVError);

  info.ClearRowAttrs();
  EXPECT_EQ(info.RowAttrsCount(), 0);
  EXPECT_EQ(grid.CellRows(0), 0u);
  EXPECT_EQ(grid.CellRows(2), 0u);
}

TEST_F(PaintInfoTest, RowResetKeepsRowAndDataSetAndResetsItsCellsOnly) {
  grid.visibleRows = 2;
  info.RowCountChanged(2);
  TgpRowAttrs& r = info.GetRowAttrs(1);
  r.Row = 1;
  r.Color = r.FontColor = clYellow;
  r.FontStyle = {fsUnderline};
  r.FontName = "X";
  r.ForceColor = r.UltraSoft = r.Current = r.Focused = r.Selected = r.Tracked = true;
  r.StripIndex = 3;
  for (int c = 0; c < 3; ++c) {
    grid.ColumnCellAttrs(c, 0)->Color = clRed;
    r.GetCellAttr(c)->Color = clRed;
    r.GetCellAttr(c)->Current = true;
  }
  r.Reset();
  EXPECT_EQ(r.Row, 1);
  EXPECT_EQ(r.DataSet, &table);
  EXPECT_EQ(r.Color, clNone);
  EXPECT_EQ(r.FontColor, clNone);
  EXPECT_TRUE(r.FontStyle.Empty());
  EXPECT_TRUE(r.FontName.empty());
  EXPECT_EQ(r.StripIndex, 0);
  EXPECT_FALSE(r.ForceColor || r.UltraSoft || r.Current || r.Focused || r.Selected || r.Tracked);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(r.GetCellAttr(c)->Color, clNone) << c;
    EXPECT_FALSE(r.GetCellAttr(c)->Current);
    EXPECT_EQ(grid.ColumnCellAttrs(c, 0)->Color, clRed) << "another row's cell";
  }
}

TEST_F(PaintInfoTest, CellLookupsByColumnAndField) {
  grid.visibleRows = 2;
  info.RowCountChanged(2);
  TgpRowAttrs& r = info.GetRowAttrs(1);
  r.Row = 1;
  EXPECT_EQ(r.GetCellAttr(2), grid.ColumnCellAttrs(2, 1));
  EXPECT_EQ(r.GetFieldAttr("Name"), grid.ColumnCellAttrs(1, 1));
  EXPECT_EQ(r.GetFieldAttr("Missing"), nullptr);
  EXPECT_EQ(r.GetCellAttr(3), nullptr);
  EXPECT_EQ(r.GetCellAttr(-1), nullptr);
  // A row the columns do not have (before the resize reaches them) has no cells.
  r.Row = 7;
  EXPECT_EQ(r.GetCellAttr(0), nullptr);
  r.Reset();  // nothing to reset, nothing touched

  // Paint info without a grid: no cells, nothing resized.
  TgpPaintInfo lone(nullptr);
  lone.RowCountChanged(1);
  EXPECT_EQ(lone.GetRowAttrs(0).GetCellAttr(0), nullptr);
  EXPECT_EQ(lone.GetRowAttrs(0).GetFieldAttr("ID"), nullptr);
  EXPECT_EQ(lone.FirstRow, -1);
  EXPECT_EQ(lone.LastRow, -1);
}

// The one rule for a cell's look: fills from the cell, the column, the fixed colour and the row,
// least specific first, and the fonts overridden by the row, then the cell.
TEST(CellLookTest, FillsAndFontsFollowTheMostSpecificSource) {
  TgpRowAttrs plainRow(nullptr), redRow(nullptr), forcedRow(nullptr), softRow(nullptr);
  redRow.Color = clRed;
  forcedRow.Color = clRed;
  forcedRow.ForceColor = true;
  softRow.UltraSoft = true;
  TgpCellAttrs none, blue, forcedBlue, softCell;
  blue.Color = clBlue;
  forcedBlue.Color = clBlue;
  forcedBlue.ForceColor = true;
  softCell.UltraSoft = true;
  TgpPaintColumn plain, yellow, fixed, fill;
  yellow.Color = clYellow;
  fixed.Fixed = true;
  fill.Color = clYellow;
  fill.ForeColorFill = true;
  const TColor softWhite = vprGetUltraColor(clWhite);
  struct Case {
    const char* name;
    const TgpRowAttrs* row;
    const TgpPaintColumn* column;
    const TgpCellAttrs* cell;
    TColor rowFill, fill;
  } cases[] = {
      {"nothing set", &plainRow, &plain, &none, clNone, clNone},
      {"the column's colour", &plainRow, &yellow, &none, clNone, clYellow},
      {"the cell's over the column's", &plainRow, &yellow, &blue, clNone, clBlue},
      {"the fixed colour", &plainRow, &fixed, &none, clNone, clGreen},
      {"a row colour covers the column's", &redRow, &yellow, &none, clRed, clRed},
      {"a fore-colour-filled column keeps its own", &redRow, &fill, &none, clRed, clYellow},
      {"unless the row forces its colour", &forcedRow, &fill, &none, clRed, clRed},
      {"a forced cell colour wins", &forcedRow, &fill, &forcedBlue, clRed, clBlue},
      {"an ultra-soft row over the background", &softRow, &plain, &none, softWhite, softWhite},
      {"an ultra-soft row covers the column's", &softRow, &yellow, &none, softWhite, softWhite},
      {"and softens a fore-colour fill", &softRow, &fill, &none, softWhite, vprGetUltraColor(clYellow)},
      {"an ultra-soft cell", &plainRow, &plain, &softCell, clNone, softWhite},
      {"no column: the row alone", &redRow, nullptr, &blue, clRed, clNone},
  };
  for (const Case& c : cases) {
    TgpLookSources s;
    s.Background = clWhite;
    s.FixedColor = clGreen;
    s.Row = c.row;
    s.Column = c.column;
    s.Cell = c.cell;
    const TgpCellLook look = ResolveCellLook(s, nullptr);
    EXPECT_EQ(look.RowFill, c.rowFill) << c.name;
    EXPECT_EQ(look.Fill, c.fill) << c.name;
  }

  TFont grid;
  grid.SetName("Base");
  grid.SetColor(clBlack);
  redRow.FontColor = clMaroon;
  redRow.FontStyle = {fsBold};
  blue.FontName = "Cell";
  blue.FontStyle = {fsItalic};
  TFont font;
  TgpLookSources s;
  s.GridFont = &grid;
  s.Row = &redRow;
  s.Cell = &blue;
  ResolveCellLook(s, &font);
  EXPECT_EQ(font.Name(), "Cell");
  EXPECT_EQ(font.Color(), clMaroon);
  EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
  s.Row = nullptr;
  s.Cell = nullptr;
  ResolveCellLook(s, &font);
  EXPECT_EQ(font.Name(), "Base") << "each resolution starts again from the grid's font";
  EXPECT_TRUE(font.Style().Empty());
}

// Which of the designer's selection looks a row and its current cell take, from the row's marks
// and the grid's selection, focus and drag.
TEST(CellLookTest, TheSelectionLookARowTakesFollowsItsMarksAndTheGrid) {
  TgpDesigner designer(nullptr);
  designer.SetSelectedRow(clRed);
  designer.SetSelectedCell(clBlue);
  designer.SetHiddenSelection(clGray);
  designer.SetSelectedRowText(clYellow);
  designer.SetSelectedCellText(clWhite);
  enum Mark { Selected = 1, Current = 2, Focused = 4, Tracked = 8 };
  struct Case {
    const char* name;
    int marks;
    bool selectionEmpty, hideSelection, dragTrack;
    TColor rowColor, rowText, cellColor, cellText;
  } cases[] = {
      {"a plain row", 0, true, true, false, clNone, clNone, clNone, clNone},
      {"a selected row", Selected, false, true, false, clRed, clYellow, clNone, clNone},
      {"the focused current row", Current | Focused, true, true, false, clNone, clNone, clBlue, clWhite},
      {"unfocused, the selection hidden", Current, true, true, false, clNone, clNone, clGray, clNone},
      {"unfocused, the selection kept", Current, true, false, false, clNone, clNone, clBlue, clWhite},
      {"current beside a selection", Current | Focused, false, true, false, clNone, clNone, clNone, clNone},
      {"current and selected", Selected | Current, false, true, false, clRed, clYellow, clBlue, clWhite},
      {"current while a drop row shows", Current | Focused, true, true, true, clNone, clNone, clNone, clNone},
      {"the drop row", Tracked, true, true, true, clRed, clYellow, clNone, clNone},
      {"a hovered row without a drag", Tracked, true, true, false, clNone, clNone, clNone, clNone},
  };
  for (const Case& c : cases) {
    TgpRowAttrs row(nullptr);
    TgpCellAttrs cell;
    row.Selected = c.marks & Selected;
    row.Current = c.marks & Current;
    row.Focused = c.marks & Focused;
    row.Tracked = c.marks & Tracked;
    TgpRowLookSources s;
    s.Designer = &designer;
    s.SelectionEmpty = c.selectionEmpty;
    s.HideSelection = c.hideSelection;
    s.DragTrack = c.dragTrack;
    ResolveRowLook(s, row, row.Current ? &cell : nullptr);
    EXPECT_EQ(row.Color, c.rowColor) << c.name;
    EXPECT_EQ(row.FontColor, c.rowText) << c.name;
    EXPECT_EQ(cell.Color, c.cellColor) << c.name;
    EXPECT_EQ(cell.FontColor, c.cellText) << c.name;
  }
  TgpRowAttrs row(nullptr);
  row.Selected = true;
  ResolveRowLook(TgpRowLookSources{}, row, nullptr);
  EXPECT_EQ(row.Color, clNone) << "no designer, no selection look";
}
