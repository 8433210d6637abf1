// Sizing and dragging on a real Qt window (offscreen): the same widths, order and marker places
// as on the headless backend.

#include "QtDriver.h"
#include "tests/runtime/grid/FourColumnGrid.h"
#include "HarnessTest.h"

#include "platform/db/MemTable.h"
#include "platform/db/FieldDefs.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/vision/StdDesigners.h"

#include <vector>

namespace zvtest {
namespace {

using namespace zv;

class GridDragQt : public THarnessTest {
protected:
  GridDragQt() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    table.FieldDefs().Add("ID", ftInteger);
    table.FieldDefs().Add("NAME", ftString, 30);
    table.CreateDataSet();
    for (int i = 1; i <= 4; ++i) table.AppendRecord({Variant(i), Variant(String("Name ") + std::to_string(i))});
    table.First();
    source.SetDataSet(&table);
    form = h->TopLevel(0, 0, 700, 300, clWhite);
    // A | B C | D: 60, 49 + 31, 70 pixels.
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(&designer);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetParent(form);
    AddFourColumns(*grid);
    grid->SetDataSource(&source);
    h->Pump();
  }
  void TearDown() override {
    grid.reset();
    THarnessTest::TearDown();
  }
  TgpColumn* Col(int i) { return grid->Columns()->Items(i); }
  std::string Order() {
    std::string s;
    for (int i = 0; i < 4; ++i) s += Col(i)->Caption();
    return s;
  }

  TStandardDesigner designer{nullptr};
  TMemTable table{nullptr};
  TDataSource source{nullptr};
  TWinControl* form = nullptr;
  std::unique_ptr<TDBDivoRud> grid;
};

TEST_F(GridDragQt, SizingAnEdge) {
  const int edge = grid->TitleClientRect(Col(0), true).Right;
  const int y = grid->TitleHeight() / 2;
  h->MouseMove(grid.get(), edge - 2, y);
  EXPECT_EQ(grid->GridState(), gsAboutColSizing);
  // The line shows its two pixels complemented over the client's height, nothing beside them.
  const int lineX = edge + 23, bottom = grid->ClientHeight() - 1;
  auto shown = [&] {
    std::vector<TColor> px;
    for (int dx = -1; dx <= 2; ++dx)
      for (int row : {0, y, bottom}) px.push_back(h->Shown(grid.get(), lineX + dx, row));
    return px;
  };
  const std::vector<TColor> before = shown();
  h->MouseDown(grid.get(), edge - 2, y);
  h->MouseMove(grid.get(), lineX, y, {ssLeft});
  const std::vector<TColor> held = shown();
  for (size_t i = 0; i < held.size(); ++i) EXPECT_EQ(held[i], i >= 3 && i < 9 ? before[i] ^ 0xFFFFFF : before[i]) << i;
  h->MouseUp(grid.get(), lineX, y);
  EXPECT_EQ(Col(0)->Width(), 86);
  EXPECT_EQ(Col(1)->Width(), 49);
  EXPECT_EQ(grid->GridState(), gsNormal);
}

TEST_F(GridDragQt, DraggingATitleBeforeAnotherGroup) {
  const TRect b = grid->TitleClientRect(Col(1), false);
  const int y = (b.Top + b.Bottom) / 2;
  const int x = Col(3)->Group()->DisplayLeft;
  const int cx = (b.Left + b.Right) / 2;
  h->MouseMove(grid.get(), cx, y);
  h->MouseDown(grid.get(), cx, y);
  h->MouseMove(grid.get(), cx, b.Bottom + 30, {ssLeft});
  h->MouseMove(grid.get(), x, y, {ssLeft});
  h->MouseMove(grid.get(), x + 1, y, {ssLeft});
  ASSERT_EQ(grid->LastDropHit().Result, chtMovingSingle);
  const TgpDragger::TMarkers& m = grid->TitleTracker().Dragger().Markers;
  ASSERT_TRUE(m.Shown);
  EXPECT_EQ(m.Images, zvEnv->ArrowsGrImgs);
  const TPoint top = grid->ClientToScreen({x - 7, -15});
  const TPoint bottom = grid->ClientToScreen({x - 7, grid->Layout().TitleArea});
  EXPECT_EQ(m.Windows[0]->BoundsRect(), TRect(top.X, top.Y, top.X + 15, top.Y + 15));
  EXPECT_EQ(m.Windows[1]->BoundsRect(), TRect(bottom.X, bottom.Y, bottom.X + 15, bottom.Y + 15));
  h->MouseUp(grid.get(), x + 1, y);
  h->Pump();
  EXPECT_EQ(Order(), "ACBD");
  EXPECT_FALSE(grid->ColumnDragging());
  EXPECT_FALSE(m.Shown);
}

}  // namespace
}  // namespace zvtest
