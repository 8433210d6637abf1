// The grid as a component: what it is when dropped on a form, and how it follows its data
// source's life.
#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/rtm/ComponentStreaming.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace {

using namespace zv;

class GridComponentTest : public zvtest::THarnessTest {};

TEST_F(GridComponentTest, ADroppedGridIsSunkenTabStopAndSized) {
  TDBDivoRud grid(nullptr);
  EXPECT_EQ(grid.Width(), 340);
  EXPECT_EQ(grid.Height(), 240);
  EXPECT_TRUE(grid.TabStop());
  EXPECT_TRUE(grid.ShowHint());
  EXPECT_FALSE(grid.ParentColor());
  EXPECT_EQ(grid.BorderStyle(), bs3D);
  EXPECT_TRUE(grid.DataLink()->VisualControl());
  TWinControl* form = h->TopLevel(0, 0, 400, 300);
  grid.SetParent(form);
  grid.HandleNeeded();
  EXPECT_TRUE(grid.HandleAllocated());
  grid.SetParent(nullptr);
}

TEST_F(GridComponentTest, ForgetsADataSourceThatIsDestroyed) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("ID", ftInteger);
  table.CreateDataSet();
  TDBDivoRud grid(nullptr);
  {
    TDataSource source(nullptr);
    source.SetDataSet(&table);
    grid.SetDataSource(&source);
    EXPECT_EQ(grid.DataSource(), &source);
    EXPECT_EQ(grid.DataSet(), &table);
  }
  EXPECT_EQ(grid.DataSource(), nullptr);
  EXPECT_EQ(grid.DataSet(), nullptr);
}

TEST_F(GridComponentTest, AFormFileNamesTheGridAndItsColumnsComeBack) {
  TDBDivoRud original(nullptr);
  original.SetName("Grid1");
  original.SetRowLines(2);
  TgpColumn* id = original.Columns()->Add();
  id->SetFieldName("ID");
  TgpColumn* name = original.Columns()->Add();
  name->SetFieldName("NAME");
  name->SetCaption("Näme");
  original.Columns()->Regroup(name, id, 0, 1);
  original.ParamsDelete()->SetEnabled(true);
  original.ParamsDelete()->SetPromptKind(dpkNever);
  original.ParamsDelete()->SetPromptMsgMulti("Löschen: %d?");
  for (bool asText : {true, false}) {
    const String stored = ComponentToStr(original, asText);
    std::unique_ptr<TComponent> read = CreateComponentFromStr(stored, asText);
    auto* grid = dynamic_cast<TDBDivoRud*>(read.get());
    ASSERT_NE(grid, nullptr) << asText;
    EXPECT_EQ(grid->RowLines(), 2);
    ASSERT_EQ(grid->Columns()->Count(), 2);
    EXPECT_EQ(grid->Columns()->Items(1)->Caption(), "Näme");
    EXPECT_EQ(grid->Columns()->Items(1)->LayoutLevel(), 1);
    EXPECT_TRUE(grid->ParamsDelete()->Enabled());
    EXPECT_EQ(grid->ParamsDelete()->PromptKind(), dpkNever);
    EXPECT_EQ(grid->ParamsDelete()->PromptMsgMulti(), "Löschen: %d?");
    EXPECT_EQ(ComponentToStr(*grid, asText), stored);
  }
}

// The parts a grid is created with select, search and track nothing; a part handed over is the
// one the grid uses, and handing over null puts the do-nothing one back.
TEST_F(GridComponentTest, TheOwnedPartsAreTheGridsOwnUntilOthersAreHandedOver) {
  TDBDivoRud grid(nullptr);
  TgpSelection& selection = grid.Selection();
  EXPECT_EQ(&selection.Grid(), &grid);
  EXPECT_TRUE(selection.Empty());
  EXPECT_EQ(selection.Count(), 0);
  EXPECT_FALSE(selection.RecordSelected());
  EXPECT_FALSE(selection.HasAnchor());
  // Without a dataset there is nothing to select; the anchor is only remembered.
  selection.SetAnchor("x");
  selection.SelectCurrent(true);
  selection.SelectAll();
  EXPECT_TRUE(selection.HasAnchor());
  EXPECT_TRUE(selection.Empty());
  char32_t key = U'a';
  EXPECT_FALSE(grid.AutoSearch().Enabled());
  EXPECT_FALSE(grid.AutoSearch().Active());
  EXPECT_FALSE(grid.AutoSearch().IsShortCut('A', {}));
  EXPECT_FALSE(grid.AutoSearch().KeyPress(key));
  EXPECT_EQ(key, U'a');
  EXPECT_FALSE(grid.TitleTracker().StartSizingOrTitleClick({}, 5, 5));
  EXPECT_FALSE(grid.TitleTracker().DragMayStart(5, 5));
  EXPECT_FALSE(grid.TitleTracker().Dragging());

  struct TOneSelected : TgpSelection {
    using TgpSelection::TgpSelection;
    bool Empty() const override { return false; }
    int Count() const override { return 1; }
  };
  auto own = std::make_unique<TOneSelected>(grid);
  TgpSelection* handed = own.get();
  grid.SetSelection(std::move(own));
  EXPECT_EQ(&grid.Selection(), handed);
  EXPECT_EQ(grid.Selection().Count(), 1);
  grid.SetSelection(nullptr);
  EXPECT_TRUE(grid.Selection().Empty());
}

}  // namespace
