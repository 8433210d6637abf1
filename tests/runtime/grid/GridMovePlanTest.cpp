// Cell moves planned without a dataset: the plan a key would apply, for each move and dataset
// state, and no trace of the planning on the grid.
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using namespace zv;

class TCountingSelection : public TgpSelection {
public:
  TCountingSelection(TDBDivoRud& grid, int& calls) : TgpSelection(grid), fCalls(calls) {}
  void SetAnchor(const TBookmarkStr&) override { ++fCalls; }

private:
  int& fCalls;
};

class TPlanGrid : public TDBDivoRud {
public:
  explicit TPlanGrid(TComponent* owner) : TDBDivoRud(owner) {
    SetSelection(std::make_unique<TCountingSelection>(*this, AnchorCalls));
  }
  int AnchorCalls = 0;
};

// Columns 0..3 (2 cannot be selected); levels gives each column's layout level (0 starts a group).
struct TPlanFixture {
  explicit TPlanFixture(std::vector<int> levels = {0, 0, 0, 0}) : grid(nullptr) {
    grid.Columns()->SetAvailableWidth(1000);
    grid.Columns()->BeginUpdate();
    for (std::size_t i = 0; i < levels.size(); ++i) {
      TgpColumn* c = grid.Columns()->Add();
      c->SetFieldName(i % 2 ? "NAME" : "ID");
      c->SetWidth(60);
      c->SetLayoutLevel(levels[i]);
      if (i == 2) c->SetOptionsBehavior({cboNoSelecting});
    }
    grid.Columns()->EndUpdate();
  }
  TPlanGrid grid;
};

TgpMoveContext Middle() {
  TgpMoveContext c;
  c.ActiveRow = 4;
  c.LastRow = 9;
  c.Bof = c.Eof = false;
  return c;
}

TEST(GridMovePlan, EachMoveForEachDataSetState) {
  const TgpMoveContext middle = Middle();
  TgpMoveContext top = middle, bottom = middle, fresh = middle, typed = middle, edited = middle;
  top.ActiveRow = 0;
  top.Bof = true;
  bottom.ActiveRow = 9;
  fresh.ActiveRow = 9;
  fresh.Inserting = true;
  typed.ActiveRow = 9;
  typed.Inserting = typed.Modified = true;
  edited.Editing = true;
  edited.Eof = true;
  auto anchored = [&](int order) {
    TgpMoveContext c = middle;
    c.AnchorOrder = [order]() -> std::optional<int> { return order; };
    return c;
  };
  TgpMoveContext unanchored = middle;
  unanchored.AnchorOrder = []() -> std::optional<int> { return std::nullopt; };
  const TgpUserActions none, row{uaRow};
  struct Case {
    const char* name;
    int col;
    TgpFieldEditAction action;
    bool shift, multi;
    TgpMoveContext context;
    TgpMovePlan want;  // SetAnchor, Act, Actions, RowDelta, TargetColumn, Complete
  } cases[] = {
      {"Right skips the column that cannot be selected", 1, feaMoveRight, false, false, middle,
       {false, true, none, 0, 3, true}},
      {"Left at the first column stays", 0, feaMoveLeft, false, false, middle, {false, false, none, 0, 0, true}},
      {"Down: one row, the column stays", 1, feaMoveDown, false, false, middle, {false, true, row, 1, 1, true}},
      {"Down with a selection clears it", 1, feaMoveDown, false, true, middle,
       {false, true, {uaRow, uaClear}, 1, 1, true}},
      {"Shift+Down without an anchor sets one and selects both", 1, feaMoveDown, true, true, unanchored,
       {true, true, {uaRow, uaSelectOld, uaSelectNew}, 1, 1, true}},
      {"Shift+Down towards the anchor deselects behind", 1, feaMoveDown, true, true, anchored(-1),
       {false, true, {uaRow, uaDeselectOld, uaSelectNew}, 1, 1, true}},
      {"Shift+Down away from the anchor selects behind", 1, feaMoveDown, true, true, anchored(0),
       {false, true, {uaRow, uaSelectOld, uaSelectNew}, 1, 1, true}},
      {"Shift+Up on the anchor selects behind", 1, feaMoveUp, true, true, anchored(0),
       {false, true, {uaRow, uaSelectOld, uaSelectNew}, -1, 1, true}},
      {"Shift+Up below the anchor deselects behind", 1, feaMoveUp, true, true, anchored(1),
       {false, true, {uaRow, uaDeselectOld, uaSelectNew}, -1, 1, true}},
      {"Shift without a selection only moves", 1, feaMoveDown, true, false, unanchored,
       {true, true, row, 1, 1, true}},
      {"Up on the first record does nothing", 1, feaMoveUp, false, false, top, {}},
      {"Down on an untouched new record does nothing", 1, feaMoveDown, false, false, fresh, {}},
      {"Down on a typed new record posts in place", 1, feaMoveDown, false, false, typed, {false, true, row, 0, 1, true}},
      {"Up from a new record at the end posts in place", 1, feaMoveUp, false, false, typed,
       {false, true, row, 0, 1, true}},
      {"Up from an edited record at the end posts in place", 1, feaMoveUp, false, false, edited,
       {false, true, row, 0, 1, true}},
      {"Down on the last row scrolls under the column", 3, feaMoveDown, false, false, bottom,
       {false, true, row, 1, 3, true}},
      {"Tab at the row's end: next record, first column", 3, feaNextTab, false, false, middle,
       {false, true, row, 1, 0, true}},
      {"Shift+Tab at the row's start: previous record, last column", 0, feaPrevTab, false, false, middle,
       {false, true, row, -1, 3, true}},
      {"Tab at the end of an untouched new record does nothing", 3, feaNextTab, false, false, fresh, {}},
      {"Tab inside the row", 0, feaNextTab, false, false, middle, {false, true, none, 0, 1, true}},
      {"Not a move", 1, feaPost, false, false, middle, {}},
      {"No current column: Down moves the record only", -1, feaMoveDown, false, false, middle,
       {false, true, row, 1, -1, false}},
      {"No current column: Up", -1, feaMoveUp, false, false, middle, {false, true, row, -1, -1, false}},
      {"No current column: Left does nothing", -1, feaMoveLeft, false, false, middle, {}},
  };
  TPlanFixture f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.grid.SetMultiSelect(c.multi);
    f.grid.SetCol(c.col);
    const TgpMovePlan plan = f.grid.PlanMove(c.action, c.shift, c.context);
    EXPECT_EQ(plan.SetAnchor, c.want.SetAnchor);
    EXPECT_EQ(plan.Act, c.want.Act);
    EXPECT_EQ(plan.Actions.Bits(), c.want.Actions.Bits());
    EXPECT_EQ(plan.RowDelta, c.want.RowDelta);
    EXPECT_EQ(plan.TargetColumn, c.want.TargetColumn);
    EXPECT_EQ(plan.Complete, c.want.Complete);
    EXPECT_EQ(f.grid.Col(), c.col) << "planning moves nothing";
  }
  EXPECT_EQ(f.grid.AnchorCalls, 0) << "planning sets no anchor";
  EXPECT_FALSE(f.grid.UserActionInProgress());
}

// Two stacked levels: Up and Down go through the levels of the group before they move records;
// with RowSelect they move records at once.
TEST(GridMovePlan, LevelsOfAGroupBeforeRecords) {
  const TgpMoveContext middle = Middle();
  const TgpUserActions none, row{uaRow};
  struct Case {
    const char* name;
    int col;
    TgpFieldEditAction action;
    bool rowSelect;
    TgpMovePlan want;
  } cases[] = {
      {"Down from the upper level", 0, feaMoveDown, false, {false, true, none, 0, 1, true}},
      {"Down from the lower level: next record, upper level", 1, feaMoveDown, false, {false, true, row, 1, 0, true}},
      {"Up from the lower level", 1, feaMoveUp, false, {false, true, none, 0, 0, true}},
      {"Up from the upper level: previous record, lower level", 0, feaMoveUp, false, {false, true, row, -1, 1, true}},
      {"RowSelect: Down moves the record, the column stays", 0, feaMoveDown, true, {false, true, row, 1, 0, true}},
  };
  TPlanFixture f({0, 1, 0, 0});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    f.grid.SetRowSelect(c.rowSelect);
    f.grid.SetCol(c.col);
    const TgpMovePlan plan = f.grid.PlanMove(c.action, false, middle);
    EXPECT_EQ(plan.Act, c.want.Act);
    EXPECT_EQ(plan.Actions.Bits(), c.want.Actions.Bits());
    EXPECT_EQ(plan.RowDelta, c.want.RowDelta);
    EXPECT_EQ(plan.TargetColumn, c.want.TargetColumn);
    EXPECT_EQ(plan.Complete, c.want.Complete);
  }
}

}  // namespace
