// Moving through the grid on both datasets (100 records, ten rows in view), driven by key and
// mouse input through the harness: the key table with its modifiers, moves across groups and
// levels, the column events and their order, clicks, double clicks and pick-up, menus, the keys
// a form leaves to the grid, the dataset changed under the grid, and a failing post mid-move.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Menus.h"
#include "platform/db/DBConsts.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/detail/GridFreeze.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"
#include "MenuScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

namespace zvtest {
namespace {

// A small selection of IDs, kept in the grid below so the cases can read it.
class TNavSelection : public TgpSelection {
public:
  TNavSelection(TDBDivoRud& grid, std::set<int>& selected, TBookmarkStr& anchor, int& failOn)
      : TgpSelection(grid), Selected(selected), AnchorMark(anchor), FailOnSelect(failOn) {}
  bool Empty() const override { return Selected.empty(); }
  int Count() const override { return static_cast<int>(Selected.size()); }
  bool RecordSelected() const override { return Selected.count(Id()) > 0; }
  void SelectCurrent(bool select) override {
    if (Id() == FailOnSelect) throw EDatabaseError("selection refused");
    if (select) Selected.insert(Id()); else Selected.erase(Id());
  }
  void ToggleCurrent() override {
    if (!Selected.erase(Id())) Selected.insert(Id());
  }
  void Clear(bool) override { Selected.clear(); }
  bool HasAnchor() const override { return !AnchorMark.empty(); }
  TBookmarkStr Anchor() const override { return AnchorMark; }
  void SetAnchor(const TBookmarkStr& b) override { AnchorMark = b; }

private:
  int Id() const { return Grid().DataSet()->FieldByName("ID")->AsInteger(); }
  std::set<int>& Selected;
  TBookmarkStr& AnchorMark;
  int& FailOnSelect;
};

// The entry points editing fills, written down, and the selection above.
class TNavGrid : public TDBDivoRud {
public:
  explicit TNavGrid(TComponent* owner) : TDBDivoRud(owner) {
    SetSelection(std::make_unique<TNavSelection>(*this, Selected, AnchorMark, FailOnSelect));
  }
  TLog* Log = nullptr;
  std::set<int> Selected;
  TBookmarkStr AnchorMark;
  int FailOnSelect = -1;  // selecting or deselecting this record raises

protected:
  void Note(const std::string& s) { Log->push_back(s); }
  int Id() const { return DataSet()->FieldByName("ID")->AsInteger(); }
  bool Edit() override { return Note("Edit"), false; }
  bool ActivateEdit(TgpColumn*) override { return Note("ActivateEdit"), false; }
  bool InsertRecord(bool append) override {
    Note(append ? "Append" : "Insert");
    if (append) DataSet()->Append();
    return true;
  }
  void PostChanges() override { Note("Post"); }
  void CancelChanges() override { Note("Cancel"); }
};

class GridNavigation : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    form = h->TopLevel(0, 0, 500, 420);
    designer = std::make_unique<TStandardDesigner>(nullptr);
    Open(GetParam().Create(100));
  }
  void TearDown() override {
    Application->OnException = nullptr;
    grid.reset();
    source.reset();
    ds.reset();
    designer.reset();
    h.reset();
    driver.reset();
  }
  // Columns ID, NAME, ID (not selectable), NAME, each a group of its own, unless levels gives
  // each column's layout level (0 starts a new group, above 0 stacks under the group before).
  void Open(std::unique_ptr<TDataSet> dataSet, std::vector<int> levels = {0, 0, 0, 0}, int noSelect = 2) {
    grid.reset();
    ds = std::move(dataSet);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    grid = std::make_unique<TNavGrid>(nullptr);
    grid->Log = &log;
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(designer.get());
    // Ten rows: one level is a 20-pixel title band and 18-pixel rows, two levels 38 and 36.
    const bool twoLevels = std::find(levels.begin(), levels.end(), 1) != levels.end();
    grid->SetBounds(0, 0, 400, twoLevels ? 38 + 10 * 36 : 20 + 10 * 18);
    grid->SetParent(form);
    grid->Columns()->BeginUpdate();
    const char* fields[] = {"ID", "NAME", "ID", "NAME"};
    for (std::size_t i = 0; i < levels.size(); ++i) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(fields[i % 4]);
      c->SetWidth(60);
      c->SetLayoutLevel(levels[i]);
      if (static_cast<int>(i) == noSelect) c->SetOptionsBehavior({cboNoSelecting});
    }
    grid->Columns()->EndUpdate();
    grid->SetDataSource(source.get());
    grid->OnColExiting = [this](TObject*, int c) { log.push_back("Exiting " + std::to_string(c)); };
    grid->OnColExit = [this](TObject*, int c) { log.push_back("Exit " + std::to_string(c)); };
    grid->OnColEnter = [this](TObject*, int c) { log.push_back("Enter " + std::to_string(c)); };
    grid->OnPickup = [this](TObject*) { log.push_back("Pickup"); };
    grid->OnDblClick = [this](TObject*) { log.push_back("DblClick"); };
    grid->SetFocus();
    h->Pump();
    if (!levels.empty()) { ASSERT_EQ(grid->VisibleRowCount(), 10); }
    log.clear();
  }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  int Top() { return Id() - grid->DataLink()->ActiveRecord(); }
  // Record id current with the view's top at record top.
  void At(int id, int col, int top = 1) {
    ds->First();
    ds->MoveBy(top - 1 + 9);
    ds->MoveBy(id - (top + 9));
    ASSERT_EQ(Id(), id);
    ASSERT_EQ(Top(), top);
    if (grid->Col() != col) grid->SetCol(col);
    log.clear();
  }
  void Key(Word key, TShiftState shift = {}) {
    for (TShiftStateItem m : {ssShift, ssCtrl, ssAlt})
      if (shift.Contains(m)) h->KeyDown(grid.get(), m == ssShift ? VK_SHIFT : m == ssCtrl ? VK_CONTROL : VK_MENU);
    h->KeyDown(grid.get(), key);
    h->KeyUp(grid.get(), key);
    for (TShiftStateItem m : {ssShift, ssCtrl, ssAlt})
      if (shift.Contains(m)) h->KeyUp(grid.get(), m == ssShift ? VK_SHIFT : m == ssCtrl ? VK_CONTROL : VK_MENU);
  }
  TPoint Cell(int col, int row) {
    const TRect r = grid->CellClientRect(grid->Columns()->Items(col), row, false);
    return {r.Left + 5, r.Top + 5};
  }
  void Click(int col, int row, TShiftState shift = {}) {
    const TPoint p = Cell(col, row);
    h->MouseDown(grid.get(), p.X, p.Y, mbLeft, shift);
    h->MouseUp(grid.get(), p.X, p.Y, mbLeft, shift);
  }
  std::string Joined() { return TakeJoined(log); }

  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TProbe* form = nullptr;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TDataSet> ds;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TNavGrid> grid;
  TLog log;
};

TEST_P(GridNavigation, EveryKeyOfTheTableWithAndWithoutItsModifiers) {
  const TShiftState none, shift{ssShift}, ctrl{ssCtrl};
  struct Case {
    const char* name;
    int id, col, top;
    Word key;
    TShiftState mods;
    int wantId, wantCol, wantTop;
    const char* calls;  // the entry points and events besides the column events
  } cases[] = {
      {"Right skips the column that cannot be selected", 5, 1, 1, VK_RIGHT, none, 5, 3, 1, ""},
      {"Left", 5, 3, 1, VK_LEFT, none, 5, 1, 1, ""},
      {"Left at the first column", 5, 0, 1, VK_LEFT, none, 5, 0, 1, ""},
      {"Ctrl+Left", 5, 3, 1, VK_LEFT, ctrl, 5, 0, 1, ""},
      {"Ctrl+Right", 5, 0, 1, VK_RIGHT, ctrl, 5, 3, 1, ""},
      {"Home", 5, 3, 1, VK_HOME, none, 5, 0, 1, ""},
      {"End", 5, 0, 1, VK_END, none, 5, 3, 1, ""},
      {"Ctrl+Home", 50, 1, 41, VK_HOME, ctrl, 1, 1, 1, ""},
      {"Ctrl+End", 5, 1, 1, VK_END, ctrl, 100, 1, 91, ""},
      {"Down", 5, 1, 1, VK_DOWN, none, 6, 1, 1, ""},
      {"Up", 5, 1, 1, VK_UP, none, 4, 1, 1, ""},
      {"Up on the first record", 1, 1, 1, VK_UP, none, 1, 1, 1, ""},
      {"Down on the last row scrolls", 10, 1, 1, VK_DOWN, none, 11, 1, 2, ""},
      {"Ctrl+Up is not the grid's", 5, 1, 1, VK_UP, ctrl, 5, 1, 1, ""},
      {"Page Down: nine rows below the last row", 5, 1, 1, VK_NEXT, none, 19, 1, 10, ""},
      {"Page Up: nine rows above the top row", 95, 1, 91, VK_PRIOR, none, 82, 1, 82, ""},
      {"Ctrl+Page Down: the last row", 3, 1, 1, VK_NEXT, ctrl, 10, 1, 1, ""},
      {"Ctrl+Page Up: the top row, no scroll", 95, 1, 91, VK_PRIOR, ctrl, 91, 1, 91, ""},
      {"Tab", 5, 0, 1, VK_TAB, none, 5, 1, 1, ""},
      {"Tab at the row's end", 5, 3, 1, VK_TAB, none, 6, 0, 1, ""},
      {"Shift+Tab at the row's start", 5, 0, 1, VK_TAB, shift, 4, 3, 1, ""},
      {"Enter picks up", 5, 1, 1, VK_RETURN, none, 5, 1, 1, "Pickup"},
      {"Esc", 5, 1, 1, VK_ESCAPE, none, 5, 1, 1, "Cancel"},
      {"Insert", 5, 1, 1, VK_INSERT, none, 5, 1, 1, "Insert"},
      {"Shift+Insert is not the grid's", 5, 1, 1, VK_INSERT, shift, 5, 1, 1, ""},
      {"F2 edits", 5, 1, 1, VK_F1 + 1, none, 5, 1, 1, "Edit"},
      {"Down on the last record appends", 100, 1, 91, VK_DOWN, none, 100, 1, 91, "Append"},
      {"Shift+Down on the last record does not", 100, 1, 91, VK_DOWN, shift, 100, 1, 91, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (ds->State() != dsBrowse) ds->Cancel();
    At(c.id, c.col, c.top);
    Key(c.key, c.mods);
    EXPECT_EQ(grid->Col(), c.wantCol);
    std::string calls;
    for (const auto& e : log)
      if (e.rfind("Ex", 0) != 0 && e.rfind("Enter ", 0) != 0) calls += (calls.empty() ? "" : ", ") + e;
    EXPECT_EQ(calls, c.calls);
    if (ds->State() != dsBrowse) continue;  // the new record has no ID, nor a place among them
    EXPECT_EQ(Id(), c.wantId);
    EXPECT_EQ(Top(), c.wantTop);
  }
  // The new record untouched: Down again does nothing more.
  ASSERT_EQ(ds->State(), dsBrowse);
  At(100, 1, 91);
  Key(VK_DOWN);
  ASSERT_EQ(ds->State(), dsInsert);
  log.clear();
  Key(VK_DOWN);
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(Joined(), "");
  Key(VK_UP);  // drops it and stands on the last record again
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Id(), 100);
}

TEST_P(GridNavigation, LevelsAndGroupsInCollectionOrder) {
  // ID over NAME in one group, then ID and NAME groups of one level each.
  Open(GetParam().Create(100), {0, 1, 0, 0}, -1);
  struct Step {
    Word key;
    TShiftState mods;
    int wantId, wantCol;
  } steps[] = {
      {VK_DOWN, {}, 5, 1},       // level 0 to level 1 of the same record
      {VK_DOWN, {}, 6, 0},       // level 1 to level 0 of the next
      {VK_UP, {}, 5, 1},         // level 0 up: the last level of the record before
      {VK_UP, {}, 5, 0},         // level 1 up: level 0 of the same record
      {VK_RIGHT, {}, 5, 2},      // level 0 right: the next group's level 0
      {VK_LEFT, {}, 5, 0},       //
      {VK_TAB, {}, 5, 1},        // tabs visit the levels in collection order
      {VK_RIGHT, {}, 5, 2},      // level 1 right: a group too shallow for level 1
      {VK_TAB, {}, 5, 3},        //
      {VK_TAB, {}, 6, 0},        // row wrap
      {VK_TAB, {ssShift}, 5, 3}, // and back
  };
  At(5, 0);
  for (const Step& s : steps) {
    SCOPED_TRACE(testing::Message() << "key " << s.key << " to " << s.wantId << "/" << s.wantCol);
    Key(s.key, s.mods);
    EXPECT_EQ(Id(), s.wantId);
    EXPECT_EQ(grid->Col(), s.wantCol);
  }
  EXPECT_EQ(grid->GetNextAtLevel(grid->Columns()->Items(3)), nullptr);
  EXPECT_EQ(grid->GetPrevAtLevel(grid->Columns()->Items(0)), nullptr);
}

TEST_P(GridNavigation, ColumnEventsTheirOrderAndBadColumns) {
  At(5, 1);
  EXPECT_THROW(grid->SetCol(4), EZVError);
  try {
    grid->SetCol(2);
    ADD_FAILURE() << "no error";
  } catch (const EDBDivoRud& e) {
    EXPECT_EQ(String(e.Message()), "Unable to select column (2)");
  }
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(Joined(), "") << "nothing changes, no event fires";
  grid->SetCol(-1);
  EXPECT_EQ(Joined(), "Exiting 1, Exit 1, Enter -1");
  EXPECT_EQ(grid->CurrentColumn(), nullptr);
  grid->SetCol(3);
  EXPECT_EQ(Joined(), "Exiting -1, Enter 3");
  ds->AfterScroll = [this](TDataSet*) { log.push_back("Scroll"); };
  Key(VK_TAB);  // to the next record's first column
  EXPECT_EQ(Joined(), "Exiting 3, Scroll, Enter 0");
  Click(1, 7);
  EXPECT_EQ(Joined(), "Exiting 0, Scroll, Enter 1");
  EXPECT_EQ(Id(), 8);
  ds->AfterScroll = nullptr;
  for (const char* name : {"WantTabs", "WantReturns", "OptionsPickup", "PopupMenu", "OptionsEdit", "OnColEnter",
                           "OnColExit", "OnColExiting", "OnClick", "OnDblClick", "OnPickup", "OnAction",
                           "OnMouseEnter", "OnMouseLeave"})
    EXPECT_TRUE(IsPublishedProp(grid.get(), name)) << name;
}

TEST_P(GridNavigation, ClicksDoubleClicksAndPickup) {
  At(5, 0);
  std::vector<std::string> clicks;
  bool handle = false;
  grid->OnClick = [&](TObject*, int, int, TShiftState, bool released, bool& handled) {
    clicks.push_back(released ? "up" : "down");
    handled = handle;
  };
  Click(1, 2);
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(clicks, (std::vector<std::string>{"down"})) << "the release is reported only for a handled press";
  EXPECT_EQ(Joined(), "Exiting 0, Enter 1") << "a first click only moves";
  h->Wait(1000);  // no double click
  Click(1, 2);
  EXPECT_EQ(Joined(), "Edit") << "a click on the current cell of the focused grid edits";
  handle = true;
  clicks.clear();
  Click(0, 4);
  EXPECT_EQ(clicks, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(Id(), 5) << "the move comes before OnClick";
  handle = false;
  log.clear();
  h->Wait(1000);
  // A double click elsewhere: one OnDblClick, then the pick-up.
  const TPoint p = Cell(1, 6);
  h->MouseDown(grid.get(), p.X, p.Y);
  h->MouseUp(grid.get(), p.X, p.Y);
  h->MouseDown(grid.get(), p.X, p.Y);
  h->MouseUp(grid.get(), p.X, p.Y);
  EXPECT_EQ(Joined(), "Exiting 0, Enter 1, DblClick, Pickup");
  EXPECT_TRUE(grid->PickupResult());
  // gpoClick: a release over the current row picks up.
  grid->SetOptionsPickup({gpoClick});
  h->Wait(1000);
  Click(1, 6);
  EXPECT_EQ(Joined(), "Edit, Pickup");
  Key(VK_RETURN);
  EXPECT_EQ(Joined(), "") << "Enter picks up only with gpoReturnKey";
  // gpoMouseTrack: the record under the mouse becomes current.
  grid->SetOptionsPickup({gpoMouseTrack});
  const TPoint q = Cell(1, 8);
  h->MouseMove(grid.get(), q.X, q.Y);
  EXPECT_EQ(Id(), 9);
  EXPECT_EQ(grid->CurrentRow(), 8);
  grid->OnMouseLeave = [this](TObject*) { log.push_back("Leave"); };
  h->MouseMove(form, 450, 10);
  EXPECT_EQ(Joined(), "Leave");
  EXPECT_EQ(grid->Hover().Area, gaUndefined);
}

TEST_P(GridNavigation, MenusByRightClickApplicationsKeyAndShortCut) {
  TPopupMenu gridMenu(nullptr), columnMenu(nullptr);
  int chosen = 0;
  for (TPopupMenu* m : {&gridMenu, &columnMenu}) {
    auto* item = new TMenuItem(m);
    item->SetCaption(m == &gridMenu ? "Grid" : "Column");
    item->SetShortCut(ShortCut('K', m == &gridMenu ? TShiftState{ssCtrl} : TShiftState{ssCtrl, ssShift}));
    item->OnClick = [&chosen, m, &gridMenu](TObject*) { chosen = m == &gridMenu ? 1 : 2; };
    m->Items()->Add(item);
  }
  grid->Columns()->Items(1)->SetPopupMenu(&columnMenu);
  At(5, 1);
  TMenuScript script(form);
  // The column's menu over its cell; one gesture, one menu (the release asks for none).
  script.OnNextPopup(&columnMenu, [](TMenuWindow&) {});
  const TPoint p = Cell(1, 3);
  h->MouseDown(grid.get(), p.X, p.Y, mbRight);
  h->MouseUp(grid.get(), p.X, p.Y, mbRight);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_EQ(columnMenu.PopupComponent(), grid.get());
  EXPECT_EQ(Id(), 4) << "the right button moves too";
  // With a grid menu, it wins; the Applications key pops the current column's menu.
  grid->SetPopupMenu(&gridMenu);
  script.OnNextPopup(&gridMenu, [](TMenuWindow&) {});
  Key(VK_APPS);
  EXPECT_EQ(script.Popups, 2);
  Key('K', {ssCtrl, ssShift});
  EXPECT_EQ(chosen, 2) << "the current column's short-cut first";
  Key('K', {ssCtrl});
  EXPECT_EQ(chosen, 1);
}

TEST_P(GridNavigation, KeysTheGridTakesFromItsForm) {
  struct Case {
    bool wantTabs, wantReturns, rowSelect, readOnly, editing;
    unsigned code;
    bool esc, enter;
  } cases[] = {
      {true, true, false, false, false, DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS, false, true},
      {false, true, false, false, false, DLGC_WANTARROWS | DLGC_WANTCHARS, false, true},
      {true, true, true, false, false, DLGC_WANTARROWS | DLGC_WANTCHARS, false, true},
      {true, false, false, true, false, DLGC_WANTARROWS | DLGC_WANTTAB, false, false},
      {true, false, false, true, true, DLGC_WANTARROWS | DLGC_WANTTAB, true, true},
  };
  for (const Case& c : cases) {
    grid->SetWantTabs(c.wantTabs);
    grid->SetWantReturns(c.wantReturns);
    grid->SetRowSelect(c.rowSelect);
    grid->SetReadOnly(c.readOnly);
    if (c.editing) ds->Edit();
    EXPECT_EQ(static_cast<unsigned>(grid->Perform(WM_GETDLGCODE)), c.code);
    EXPECT_EQ(grid->Perform(CM_WANTSPECIALKEY, VK_ESCAPE) != 0, c.esc);
    EXPECT_EQ(grid->Perform(CM_WANTSPECIALKEY, VK_RETURN) != 0, c.enter);
    if (c.editing) ds->Cancel();
  }
  // On a form: without WantTabs the Tab goes to the next control.
  TProbe* other = h->Child(form, "other", 420, 10, 50, 20);
  other->SetTabStop(true);
  grid->SetReadOnly(false);
  grid->SetRowSelect(false);
  grid->SetWantTabs(true);
  At(5, 0);
  Key(VK_TAB);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_TRUE(grid->Focused());
  grid->SetWantTabs(false);
  Key(VK_TAB);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_TRUE(other->Focused());
  EXPECT_FALSE(grid->HasFocus());
}

TEST_P(GridNavigation, TheDatasetMovedClosedReopenedAndChangedByCode) {
  At(5, 1);
  ds->MoveBy(3);
  EXPECT_EQ(grid->CurrentRow(), 7);
  Key(VK_DOWN);
  EXPECT_EQ(Id(), 9);
  ds->Close();
  for (Word key : {VK_DOWN, VK_UP, VK_NEXT, VK_END, VK_TAB, VK_RETURN}) EXPECT_NO_THROW(Key(key));
  EXPECT_NO_THROW(Click(1, 2));
  EXPECT_NO_THROW(h->Wheel(grid.get(), 50, 50, -120));
  EXPECT_EQ(Joined(), "");
  ds->Open();
  EXPECT_EQ(Id(), 1);
  EXPECT_EQ(grid->CurrentRow(), 0);
  Key(VK_DOWN);
  EXPECT_EQ(Id(), 2);
  ds->Edit();
  ds->FieldByName("NAME")->SetAsString("changed");
  ds->Post();
  Key(VK_DOWN);
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(grid->CurrentRow(), 2);
  // A field asking for the focus (a value it must have) makes its column current.
  TField* name = ds->FieldByName("NAME");
  grid->SetCol(0);
  name->FocusControl();
  EXPECT_EQ(grid->Col(), 1);
  // An empty dataset and a grid without columns take keys and clicks quietly.
  Open(GetParam().Create(0));
  for (Word key : {VK_DOWN, VK_UP, VK_TAB, VK_END, VK_NEXT}) EXPECT_NO_THROW(Key(key));
  EXPECT_NO_THROW(Click(1, 0));
  Open(GetParam().Create(10), {});
  for (Word key : {VK_DOWN, VK_TAB}) EXPECT_NO_THROW(Key(key));
  EXPECT_NO_THROW(h->Click(grid.get(), 30, 30));
}

TEST_P(GridNavigation, SelectionBitsFollowShiftAndCtrl) {
  grid->SetMultiSelect(true);
  At(5, 1);
  Key(VK_DOWN, {ssShift});
  Key(VK_DOWN, {ssShift});
  EXPECT_EQ(grid->Selected, (std::set<int>{5, 6, 7}));
  Key(VK_UP, {ssShift});  // back towards the anchor: the record left is dropped
  EXPECT_EQ(grid->Selected, (std::set<int>{5, 6}));
  Click(1, 8, {ssCtrl});
  EXPECT_EQ(grid->Selected, (std::set<int>{5, 6, 9}));
  Click(1, 8, {ssCtrl});
  EXPECT_EQ(grid->Selected, (std::set<int>{5, 6}));
  Key(VK_DOWN);
  EXPECT_TRUE(grid->Selected.empty()) << "a plain move clears";
  grid->SetMultiSelect(false);
  Click(1, 2, {ssCtrl});
  EXPECT_TRUE(grid->Selected.empty()) << "no selection bits without MultiSelect";
}

// A post that fails as Down leaves the record: the error reaches the application, the grid is
// whole again and the user keeps what was typed.
TEST_P(GridNavigation, AFailingPostInsideAMoveLeavesTheRecordInEdit) {
  std::vector<String> errors;
  // SQLite refuses the duplicate key itself; the memory table has no unique key and is told to.
  if (GetParam().Name != "Sqlite")
    ds->BeforePost = [](TDataSet* d) {
      if (d->FieldByName("ID")->AsInteger() == 2) throw EDatabaseError("UNIQUE constraint failed: items.ID");
    };
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  At(5, 0);
  ds->Edit();
  ds->FieldByName("ID")->SetAsInteger(2);
  Key(VK_DOWN);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(grid->Col(), 0);
  EXPECT_EQ(grid->FreezeCount(), 0);
  EXPECT_FALSE(grid->UserActionInProgress());
  EXPECT_EQ(grid->PendingCol(), -1);
  Key(VK_RIGHT);
  EXPECT_EQ(grid->Col(), 1) << "the next key works";
  ds->Cancel();
  Key(VK_DOWN);
  EXPECT_EQ(Id(), 6);
  ds->BeforePost = nullptr;
}

// Whatever raises in the middle of a move, the grid comes out as it went in: the data link's
// active record on the cursor's record, no freeze left, no user action pending.
TEST_P(GridNavigation, AnErrorAtAnyPointOfAMoveLeavesRecordFreezeAndActionAsTheyWere) {
  const TShiftState none, shift{ssShift}, ctrl{ssCtrl};
  struct Case {
    const char* name;
    int id, col, top;
    Word key;
    TShiftState mods;
    std::function<void()> arm;
    int wantId, wantCol;
  } cases[] = {
      {"OnColExiting refuses a column move", 5, 1, 1, VK_RIGHT, none,
       [this] { grid->OnColExiting = [](TObject*, int) { throw EDatabaseError("stay"); }; }, 5, 1},
      {"BeforeScroll refuses a frozen jump", 50, 1, 41, VK_HOME, ctrl,
       [this] { ds->BeforeScroll = [](TDataSet*) { throw EDatabaseError("stay"); }; }, 50, 1},
      {"BeforeScroll refuses a row move", 5, 1, 1, VK_DOWN, none,
       [this] { ds->BeforeScroll = [](TDataSet*) { throw EDatabaseError("stay"); }; }, 5, 1},
      {"AfterScroll raises after a frozen jump", 5, 1, 1, VK_END, ctrl,
       [this] { ds->AfterScroll = [](TDataSet*) { throw EDatabaseError("late"); }; }, 100, 1},
      {"the selection refuses the row left behind", 5, 1, 1, VK_DOWN, shift,
       [this] {
         grid->SetMultiSelect(true);
         grid->FailOnSelect = 5;
       },
       6, 1},
      {"the selection refuses the row left behind at the view's edge", 10, 1, 1, VK_DOWN, shift,
       [this] {
         grid->SetMultiSelect(true);
         grid->FailOnSelect = 10;
       },
       11, 1},
  };
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    At(c.id, c.col, c.top);
    errors.clear();
    c.arm();
    Key(c.key, c.mods);
    grid->OnColExiting = nullptr;
    ds->BeforeScroll = nullptr;
    ds->AfterScroll = nullptr;
    grid->FailOnSelect = -1;
    grid->SetMultiSelect(false);
    grid->Selected.clear();
    grid->AnchorMark.clear();
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(Id(), c.wantId) << "the active record is the cursor's";
    EXPECT_EQ(grid->DataLink()->ActiveRecord(), grid->CurrentRow());
    EXPECT_EQ(grid->Col(), c.wantCol);
    EXPECT_EQ(grid->FreezeCount(), 0);
    EXPECT_FALSE(grid->UserActionInProgress());
    EXPECT_EQ(grid->PendingCol(), -1);
    EXPECT_TRUE(grid->PendingActions().Empty());
  }
}

// A handler that closes the grid's dataset and raises: nothing is put back on the closed link,
// and the freeze and the action end all the same.
TEST_P(GridNavigation, AHandlerClosingTheDataSetMidMoveLeavesNoFreezeOrAction) {
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  At(5, 1);
  ds->AfterScroll = [](TDataSet* d) {
    d->AfterScroll = nullptr;
    d->Close();
    throw EDatabaseError("gone");
  };
  Key(VK_END, {ssCtrl});
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_FALSE(ds->Active());
  EXPECT_EQ(grid->FreezeCount(), 0);
  EXPECT_FALSE(grid->UserActionInProgress());
  EXPECT_EQ(grid->PendingCol(), -1);
  ds->Open();
  Key(VK_DOWN);
  EXPECT_EQ(grid->FreezeCount(), 0);
}

// A row-attributes handler that raises while the rows are painted: the active record the paint
// moved through the rows goes back to the cursor's.
TEST_P(GridNavigation, AnErrorWhilePaintingRowsPutsTheActiveRecordBack) {
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  At(5, 1);
  int calls = 0;
  grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs&) {
    if (++calls == 3) throw EDatabaseError("paint");
  };
  try {
    grid->Invalidate();
    h->Pump();
  } catch (const Exception& e) {
    errors.push_back(e.Message());
  }
  grid->OnGetRowAttrs = nullptr;
  EXPECT_GE(calls, 3);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(Id(), 5);
  EXPECT_EQ(grid->FreezeCount(), 0);
}

// The scopes themselves: the record saved on an active link comes back on an exception and on
// Restore(); the freeze ends with the refresh chosen for each way out.
TEST_P(GridNavigation, TheRecordAndFreezeScopesEndOnEveryWayOut) {
  At(5, 1);
  TDataLink& link = *grid->DataLink();
  const int saved = link.ActiveRecord();
  try {
    TActiveRecordScope record(link);
    link.SetActiveRecord(0);
    throw EDatabaseError("x");
  } catch (const EDatabaseError&) {
  }
  EXPECT_EQ(link.ActiveRecord(), saved);
  {
    TActiveRecordScope record(link);
    link.SetActiveRecord(2);
    record.Restore();
    EXPECT_EQ(link.ActiveRecord(), saved);
    link.SetActiveRecord(3);
  }
  EXPECT_EQ(link.ActiveRecord(), 3) << "restored once only";
  link.SetActiveRecord(saved);
  {
    TActiveRecordScope record(link);
    link.SetActiveRecord(1);
    ds->Close();
  }
  EXPECT_FALSE(link.Active());
  ds->Open();

  struct Way {
    const char* name;
    bool engage, raise;
    int release;  // -1: not released on the way
  } ways[] = {{"released", true, false, 0}, {"unwound", true, true, -1}, {"never engaged", false, true, -1},
              {"engaged late", false, false, 1}};
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    try {
      griddetail::TGridFreeze freeze(*grid, true, w.engage);
      if (!w.engage && !w.raise) freeze.Freeze();
      EXPECT_EQ(grid->FreezeCount(), freeze.Engaged() ? 1 : 0);
      if (w.raise) throw EDatabaseError("x");
      freeze.Release(w.release != 0);
      EXPECT_FALSE(freeze.Engaged());
    } catch (const EDatabaseError&) {
    }
    EXPECT_EQ(grid->FreezeCount(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, GridNavigation, ::testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
