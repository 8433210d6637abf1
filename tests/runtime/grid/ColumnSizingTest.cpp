// Sizing columns by mouse on the headless backend: the hot zones per option, with and without
// titles and in design mode; the cursor; the widths a drag leaves; the XOR line and its erasure;
// everything that ends sizing early.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include "CountingDesignerHook.h"
#include "FourColumnGrid.h"
#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zvtest {
namespace {

using namespace zv;

class ColumnSizing : public TFourColumnGridTest {
protected:
  TDBDivoRud& Make(int width = 400) { return MakeGrid(width); }
  TgpColumn* Col(int i) { return grid->Columns()->Items(i); }
  // The first pixel right of a column, its line included: the boundary the mouse grabs.
  int Edge(int i) { return grid->CellClientRect(Col(i), 0, true).Right; }
  int TitleY() { return grid->TitleHeight() / 2; }
  int RowY(int row) { return grid->Layout().TitleArea + row * grid->RowHeight() + grid->RowHeight() / 2; }
  void Move(int x, int y) { h->MouseMove(grid.get(), x, y); }
  // Drags from (x, y) to toX and releases there.
  void Drag(int x, int y, int toX) {
    Move(x, y);
    h->MouseDown(grid.get(), x, y);
    Move(toX, y);
    h->MouseUp(grid.get(), toX, y);
  }
  std::string Widths() {
    std::string s;
    for (int i = 0; i < 4; ++i) s += (i ? " " : "") + std::to_string(Col(i)->Width());
    return s;
  }
  // The x of every pixel of row y where the mouse finds a boundary to grab.
  std::set<int> HotPixels(int y) {
    std::set<int> hot;
    for (int x = 0; x < grid->ClientWidth(); ++x) {
      Move(x, y);
      if (grid->GridState() == gsAboutColSizing) hot.insert(x);
    }
    Move(grid->ClientWidth() - 1, grid->ClientHeight() - 1);
    return hot;
  }
  // The pixels of the zones around the edges of the given columns.
  std::set<int> Zones(const std::vector<int>& columns) {
    const int z = GridHotZones().Sizing;
    std::set<int> hot;
    for (int i : columns)
      for (int x = Edge(i) - z; x < Edge(i) + z; ++x) hot.insert(x);
    return hot;
  }

};

TEST_F(ColumnSizing, HotZonesComeFromTheScreenHeightOnce) {
  const TgpHotZones before = GridHotZones();
  struct Case {
    int height, sizing, groups, levels;
  };
  for (const Case& c : {Case{1080, 13, 13, 6}, Case{480, 6, 6, 3}, Case{79, 1, 1, 1}, Case{0, 1, 1, 1}, Case{-5, 1, 1, 1}}) {
    RecomputeGridHotZones(c.height);
    EXPECT_EQ(GridHotZones().Sizing, c.sizing) << c.height;
    EXPECT_EQ(GridHotZones().BetweenGroups, c.groups) << c.height;
    EXPECT_EQ(GridHotZones().BetweenLevels, c.levels) << c.height;
  }
  RecomputeGridHotZones(GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(GridHotZones().Sizing, before.Sizing);
}

TEST_F(ColumnSizing, HotSpotsPerOptionWithAndWithoutTitlesAndInDesignMode) {
  struct Case {
    const char* name;
    TgpGridBehaviorOptions options;
    bool titles, design, fixedB;
    int row;  // -1: the title band
    std::vector<int> edges;
  };
  const std::vector<int> all{0, 1, 2, 3};
  const Case cases[] = {
      {"titles: every boundary", {}, true, false, false, -1, all},
      {"titles: nothing in the rows", {gboFullHeightSizing, gboSmartSizing}, true, false, false, 1, {}},
      {"no column sizing keeps the group edges", {gboNoColumnSizing}, true, false, false, -1, {0, 2, 3}},
      {"no group sizing keeps the inner boundary", {gboNoGroupSizing}, true, false, false, -1, {1}},
      {"a fixed-width column stands alone, frozen", {}, true, false, true, -1, {0, 2, 3}},
      {"no titles, no option: nowhere", {}, false, false, false, 0, {}},
      {"no titles, smart sizing: the first row", {gboSmartSizing}, false, false, false, 0, all},
      {"no titles, smart sizing: not below it", {gboSmartSizing}, false, false, false, 2, {}},
      {"no titles, full height: any row", {gboFullHeightSizing}, false, false, false, 2, all},
      {"design mode: the first row without titles", {gboNoColumnSizing, gboNoGroupSizing}, false, true, false, 0, all},
      {"design mode: options ignored on titles", {gboNoColumnSizing, gboNoGroupSizing}, true, true, false, -1, all},
      {"design mode: still no zone in a fixed-width group", {}, true, true, true, -1, {0, 2, 3}},
  };
  for (const Case& c : cases) {
    Make();
    grid->SetOptionsBehavior(c.options);
    grid->SetShowTitles(c.titles);
    if (c.fixedB) Col(1)->SetOptionsBehavior({cboFixedWidth});
    if (c.design) grid->SetDesigning(true);
    h->Pump();
    const int y = c.row < 0 ? TitleY() : RowY(c.row);
    EXPECT_EQ(HotPixels(y), Zones(c.edges)) << c.name;
    if (c.design && !c.edges.empty()) {
      // The form designer leaves the zones to the grid, and the rest of the rows to itself.
      EXPECT_EQ(grid->Perform(CM_DESIGNHITTEST, 0, PointToLParam({Edge(0), y})), 1) << c.name;
      if (!c.titles) { EXPECT_EQ(grid->Perform(CM_DESIGNHITTEST, 0, PointToLParam({Edge(0) - 20, y})), 0) << c.name; }
    }
  }
}

TEST_F(ColumnSizing, CursorSplitsOverAZoneAndReturnsOnceAfterwards) {
  Make();
  grid->SetCursor(crHandPoint);
  Move(Edge(0) - 20, TitleY());
  EXPECT_EQ(GetCursor(), crHandPoint);
  Move(Edge(0), TitleY());
  EXPECT_EQ(GetCursor(), crHSplit);
  EXPECT_EQ(grid->GridState(), gsAboutColSizing);
  // Leaving the zone shows the default shape once; the grid's own follows.
  Move(Edge(0) - 20, TitleY());
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_EQ(GetCursor(), crArrow);
  Move(Edge(0) - 21, TitleY());
  EXPECT_EQ(GetCursor(), crHandPoint);
  // Held through the drag, back after the release.
  Move(Edge(0), TitleY());
  h->MouseDown(grid.get(), Edge(0), TitleY());
  EXPECT_EQ(grid->GridState(), gsColSizing);
  Move(Edge(0) + 30, TitleY());
  EXPECT_EQ(GetCursor(), crHSplit);
  h->MouseUp(grid.get(), Edge(0) + 30, TitleY());
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_NE(GetCursor(), crHSplit);
}

TEST_F(ColumnSizing, WidthsAfterADrag) {
  struct Case {
    const char* name;
    int column, dx;
    bool autoFit;
    std::string widths;
  };
  const Case cases[] = {
      // Grabbed 2 pixels left of the boundary (which is 3 pixels of line right of the content).
      {"a lone column", 0, 25, false, "86 49 31 70"},
      {"an inner column: its neighbour absorbs it", 1, -30, false, "60 17 63 70"},
      {"an inner column stops at its group's edge", 1, 200, false, "60 80 2 70"},
      {"a group edge widens the group by the change", 2, 20, false, "60 62 39 70"},
      {"down to the left bound (the group keeps its minimum)", 0, -500, false, "2 49 31 70"},
      {"the last column", 3, 40, false, "60 49 31 111"},
      {"a click on the edge without moving", 0, 0, false, "60 49 31 70"},
      {"fitted: the others give way", 0, 25, true, "90 43 28 62"},
  };
  TCountingDesignerHook recorder;
  for (const Case& c : cases) {
    Make(c.autoFit ? 232 : 400);
    grid->SetAutoColumnFit(c.autoFit);
    h->Pump();
    ASSERT_EQ(Widths(), c.autoFit ? "64 52 33 74" : "60 49 31 70") << c.name;
    const int edge = Edge(c.column);
    // Grabbed a few pixels off the line: the width follows the mouse, not the grab.
    Drag(edge - 2, TitleY(), edge - 2 + c.dx);
    EXPECT_EQ(Widths(), c.widths) << c.name;
    EXPECT_EQ(grid->GridState(), gsNormal) << c.name;
  }
  // Design mode tells the form designer.
  Make();
  form->SetDesigner(&recorder);
  grid->SetDesigning(true);
  Drag(Edge(0), TitleY(), Edge(0) + 10);
  EXPECT_EQ(Col(0)->Width(), 73);
  EXPECT_EQ(recorder.Modifications, 1);
  form->SetDesigner(nullptr);
}

TEST_F(ColumnSizing, TheLineIsXoredOverTheClientAndErasedWithoutATrace) {
  Make();
  const int h0 = grid->ClientHeight();
  const int x0 = Edge(0) + 40, x1 = Edge(0) + 90;
  // The pixels from one left of the line to one right of its two, drawn and shown.
  auto column = [&](int x) {
    std::vector<TColor> px;
    for (int dx = -1; dx <= 2; ++dx)
      for (int y : {0, TitleY(), RowY(3), h0 - 1}) {
        px.push_back(h->Pixel(grid.get(), x + dx, y));
        px.push_back(h->Shown(grid.get(), x + dx, y));
      }
    return px;
  };
  const auto before0 = column(x0), before1 = column(x1);
  Move(Edge(0), TitleY());
  h->MouseDown(grid.get(), Edge(0), TitleY());
  Move(x0, TitleY());
  // White XOR: every pixel under the line turns into its complement, and nothing beside it.
  auto expectLine = [](const std::vector<TColor>& now, const std::vector<TColor>& before) {
    for (size_t i = 0; i < now.size(); ++i) EXPECT_EQ(now[i], i >= 8 && i < 24 ? before[i] ^ 0xFFFFFF : before[i]) << i;
  };
  expectLine(column(x0), before0);
  Move(x1, TitleY());
  EXPECT_EQ(column(x0), before0);
  EXPECT_NE(column(x1), before1);
  // A paint during the drag leaves the line where it was.
  grid->Invalidate();
  h->Pump();
  expectLine(column(x1), before1);
  h->MouseUp(grid.get(), x1, TitleY());
  h->Pump();
  EXPECT_EQ(Col(0)->Width(), x1 - grid->TitleClientRect(Col(0), false).Left);
}

TEST_F(ColumnSizing, EndingSizingEarlyLeavesNoLineAndNoWidth) {
  enum How { CancelMode, CaptureLost, Escape, ColumnFreed, GridFreed };
  for (How how : {CancelMode, CaptureLost, Escape, ColumnFreed, GridFreed}) {
    Make();
    const int x0 = Edge(0) + 40;
    const TColor before = h->Pixel(grid.get(), x0, TitleY());
    Move(Edge(0), TitleY());
    h->MouseDown(grid.get(), Edge(0), TitleY());
    Move(x0, TitleY());
    ASSERT_NE(h->Pixel(grid.get(), x0, TitleY()), before) << how;
    switch (how) {
      case CancelMode: grid->Perform(CM_CANCELMODE, 0, 0); break;
      case CaptureLost: ReleaseCapture(); break;
      case Escape: h->KeyDown(grid.get(), VK_ESCAPE); break;
      case ColumnFreed: delete Col(0); break;
      case GridFreed: grid.reset(); break;
    }
    if (!grid) {
      EXPECT_EQ(ColumnSizer().Grid, nullptr);
      continue;
    }
    EXPECT_EQ(grid->GridState(), gsNormal) << how;
    EXPECT_EQ(h->Pixel(grid.get(), x0, TitleY()), before) << how;
    Move(x0 + 30, TitleY());
    h->MouseUp(grid.get(), x0 + 30, TitleY());
    EXPECT_EQ(Col(0)->Width(), how == ColumnFreed ? 49 : 60) << how;
    EXPECT_EQ(ColumnSizer().Column, nullptr) << how;
  }
}

TEST_F(ColumnSizing, FarCoordinatesWhileCapturedStayInBounds) {
  Make();
  Move(Edge(1), TitleY());
  h->MouseDown(grid.get(), Edge(1), TitleY());
  for (int x : {30000, -30000, 30000}) Move(x, TitleY());
  h->MouseUp(grid.get(), 30000, TitleY());
  EXPECT_EQ(Widths(), "60 80 2 70");
}

}  // namespace
}  // namespace zvtest
