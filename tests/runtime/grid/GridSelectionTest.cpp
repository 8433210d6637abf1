// The grid's selection over the memory table, an SQLite table, a table WITHOUT ROWID and an
// SQLite SELECT: the gestures that select, what moves keep or clear, the order changing under
// it, the look of rows, and deleting the selected records.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/db/BookmarkSet.h"
#include "platform/db/MemTable.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/DeleteParams.h"
#include "runtime/grid/RecShot.h"
#include "runtime/grid/Selection.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace zvtest {
namespace {

std::unique_ptr<TDataSet> CreateKeyedSqlite(int count) {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE items (ID INTEGER NOT NULL, NAME VARCHAR(20) NOT NULL, PRIMARY KEY (ID, NAME)) WITHOUT ROWID");
    for (int i = 1; i <= count; ++i) db.Execute(Format("INSERT INTO items VALUES (%d, '%s')", {i, ItemName(i)}));
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("items");
  table->Open();
  return table;
}

const std::vector<DataSetFactory>& SelectionDataSets() {
  static const std::vector<DataSetFactory> factories = {
      {"MemTable", CreateGridMemTable},
      {"Sqlite", [](int count) -> std::unique_ptr<TDataSet> { return CreateGridSqlite(count); }},
      {"SqliteWithoutRowid", CreateKeyedSqlite},
      {"SqliteSelect",
       [](int count) -> std::unique_ptr<TDataSet> { return CreateGridSqlite(count, "SELECT ID, NAME FROM items ORDER BY ID"); }},
  };
  return factories;
}

class GridSelection : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    form = h->TopLevel(0, 0, 500, 420);
    other = h->Child(form, "other", 450, 300, 40, 40);
    designer = std::make_unique<TStandardDesigner>(nullptr);
    Open(GetParam().Create(100));
  }
  void TearDown() override {
    SetDialogResponder(nullptr);
    grid.reset();
    source.reset();
    ds.reset();
    designer.reset();
    h.reset();
    driver.reset();
  }
  void Open(std::unique_ptr<TDataSet> dataSet) {
    grid.reset();
    ds = std::move(dataSet);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(designer.get());
    grid->SetBounds(0, 0, 400, 20 + 10 * 18);
    grid->SetParent(form);
    for (const char* name : {"ID", "NAME"}) grid->Columns()->Add()->SetFieldName(name);
    grid->SetDataSource(source.get());
    grid->SetMultiSelect(true);
    grid->OnSelectionChange = [this](TObject*) { ++changes; };
    grid->SetFocus();
    h->Pump();
    marks.clear();
    for (ds->First(); !ds->Eof(); ds->Next()) marks[Id()] = ds->Bookmark();
    ds->First();
    changes = 0;
  }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  TgpSelection& S() { return grid->Selection(); }
  // The selected IDs, by membership of each record's bookmark.
  std::set<int> Selected() {
    std::set<int> ids;
    for (const auto& [id, mark] : marks)
      if (S().Set() && S().Set()->Contains(mark)) ids.insert(id);
    return ids;
  }
  // Record id current with the view's top at record top.
  void At(int id, int top = 1) {
    ds->First();
    ds->MoveBy(top - 1 + 9);
    ds->MoveBy(id - (top + 9));
    ASSERT_EQ(Id(), id);
    changes = 0;
  }
  void Key(Word key, TShiftState shift = {}) {
    for (TShiftStateItem m : {ssShift, ssCtrl})
      if (shift.Contains(m)) h->KeyDown(grid.get(), m == ssShift ? VK_SHIFT : VK_CONTROL);
    h->KeyDown(grid.get(), key);
    h->KeyUp(grid.get(), key);
    for (TShiftStateItem m : {ssShift, ssCtrl})
      if (shift.Contains(m)) h->KeyUp(grid.get(), m == ssShift ? VK_SHIFT : VK_CONTROL);
  }
  void Click(int row, TShiftState shift = {}) {
    const TRect r = grid->CellClientRect(grid->Columns()->Items(1), row, false);
    h->MouseDown(grid.get(), r.Left + 5, r.Top + 5, mbLeft, shift);
    h->MouseUp(grid.get(), r.Left + 5, r.Top + 5, mbLeft, shift);
  }
  static std::set<int> Span(int from, int to) {
    std::set<int> s;
    for (int i = from; i <= to; ++i) s.insert(i);
    return s;
  }
  bool IsQuery() const { return GetParam().Name == "SqliteSelect"; }
  bool IsMemTable() const { return GetParam().Name == "MemTable"; }

  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TProbe* form = nullptr;
  TProbe* other = nullptr;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TDataSet> ds;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TDBDivoRud> grid;
  std::map<int, TBookmarkStr> marks;
  int changes = 0;
};

// Each gesture, from the state the one before left: what is selected after it, where the
// cursor stands, and one OnSelectionChange for the user's action.
TEST_P(GridSelection, GesturesSelectAndPlainMovesClear) {
  At(5);
  struct Step {
    const char* what;
    std::function<void()> act;
    std::set<int> selected;
    int current;
  } const steps[] = {
      {"Shift+Down", [&] { Key(VK_DOWN, {ssShift}); }, {5, 6}, 6},
      {"Shift+Down again", [&] { Key(VK_DOWN, {ssShift}); }, {5, 6, 7}, 7},
      {"Shift+Up back towards the anchor", [&] { Key(VK_UP, {ssShift}); }, {5, 6}, 6},
      {"Ctrl+click", [&] { Click(8, {ssCtrl}); }, {5, 6, 9}, 9},
      {"Ctrl+click toggles inside", [&] { Click(5, {ssCtrl}); }, {5, 9}, 6},
      {"Shift+click from the last added", [&] { Click(1, {ssShift}); }, Span(2, 9), 2},
      {"a plain move clears", [&] { Key(VK_DOWN); }, {}, 3},
      {"Shift+Page Down from the anchor", [&] { Key(VK_NEXT, {ssShift}); }, Span(3, 19), 19},
      {"a plain click clears", [&] { Click(2); }, {}, 12},
      {"Shift+Ctrl+End", [&] { Key(VK_END, {ssShift, ssCtrl}); }, Span(12, 100), 100},
      {"Shift+Ctrl+Home", [&] { Key(VK_HOME, {ssShift, ssCtrl}); }, Span(1, 100), 1},
      {"Down clears", [&] { Key(VK_DOWN); }, {}, 2},
      {"Ctrl+A: every record, the cursor unmoved", [&] { Key('A', {ssCtrl}); }, Span(1, 100), 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    changes = 0;
    step.act();
    EXPECT_EQ(Selected(), step.selected);
    EXPECT_EQ(Id(), step.current);
    EXPECT_EQ(changes, 1);
  }
  // Scrolling keeps the selection: the wheel, and the dataset moved by the application.
  h->Wheel(grid.get(), 50, 50, -120);
  ds->MoveBy(40);
  EXPECT_EQ(Selected(), Span(1, 100));
  // Without MultiSelect nothing is selected, and nothing can be.
  grid->SetMultiSelect(false);
  EXPECT_TRUE(S().Empty());
  Click(3, {ssCtrl});
  Key('A', {ssCtrl});
  grid->SelectAll();
  EXPECT_TRUE(S().Empty());
  EXPECT_EQ(S().GetCount(), 1) << "the current record counts as the selection";
  EXPECT_EQ(S().GetItem(0), grid->CurrentRecShot());
}

// The list is the set in the dataset's order: items, ranks and AddRange either way; the order
// changing keeps the records and lists them in the new order; Refresh drops the gone.
TEST_P(GridSelection, TheListFollowsTheOrderAndRefreshDropsTheGone) {
  At(40);
  S().AddRange(marks[45]);
  ds->Locate("ID", Variant(30), {});
  S().AddRange(marks[28]);
  ds->Locate("ID", Variant(3), {});
  S().SetSelected(true);
  std::set<int> expected = Span(40, 45);
  expected.insert({3, 28, 29, 30});
  EXPECT_EQ(Selected(), expected);
  ASSERT_EQ(S().GetCount2(), 10);
  EXPECT_EQ(S().GetItem2(0)->GetBookmarkPtr(), marks[3]);
  EXPECT_EQ(S().GetItem2(9)->GetBookmarkPtr(), marks[45]);
  EXPECT_EQ(S().IndexOf(marks[29]), 2);
  EXPECT_EQ(S().IndexOf(marks[31]), -1);
  EXPECT_EQ(S().LastAdded(), marks[3]);
  if (!IsQuery()) {
    if (IsMemTable())
      static_cast<TMemTable&>(*ds).SortBy("ID DESC");
    else
      static_cast<TSqliteDataSet&>(*ds).SetSortFields("ID DESC");
    EXPECT_EQ(S().GetCount2(), 10);
    EXPECT_EQ(S().GetItem2(0)->GetBookmarkPtr(), marks[45]);
    EXPECT_TRUE(S().Set()->Contains(marks[28]));
    // A selected record deleted behind the grid's back goes at the next Refresh.
    ds->Locate("ID", Variant(29), {});
    ds->Delete();
    changes = 0;
    EXPECT_TRUE(S().Refresh(true));
    EXPECT_EQ(S().GetCount2(), 9);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(S().Refresh(true));
  }
  // A record being inserted has no bookmark: selecting it changes nothing.
  if (!IsQuery()) {
    ds->Append();
    EXPECT_FALSE(S().SetSelected(true));
    ds->Cancel();
  }
}

// Selected rows show the selection; the current row does when it is selected or nothing is,
// hidden while unfocused under HideSelection.
TEST_P(GridSelection, RowAttributesShowTheSelectionAndTheHiddenOne) {
  struct Look {
    TColor Color, CellColor;
    bool Selected;
  };
  std::map<int, Look> seen;
  grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) {
    const TgpCellAttrs* cell = a.GetCellAttr(grid->Col());
    seen[Id()] = {a.Color, cell ? cell->Color : clNone, a.Selected};
  };
  const TColor selected = designer->SelectedRow(), selectedCell = designer->SelectedCell(),
               hidden = designer->HiddenSelection();
  struct Case {
    const char* what;
    std::set<int> selection;
    bool focused, hide;
    TColor currentCell;  // the current record's (5) cell colour
  } const cases[] = {
      {"nothing selected, focused", {}, true, true, selectedCell},
      {"nothing selected, unfocused, hidden", {}, false, true, hidden},
      {"nothing selected, unfocused, not hidden", {}, false, false, selectedCell},
      {"the current record outside the selection", {2, 3}, true, true, clNone},
      {"the current record in it, unfocused", {3, 5}, false, true, selectedCell},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    At(5);
    S().Clear(true, false);
    for (int id : c.selection) {
      ds->Locate("ID", Variant(id), {});
      S().SetSelected(true);
    }
    ds->Locate("ID", Variant(5), {});
    grid->SetHideSelection(c.hide);
    if (c.focused)
      grid->SetFocus();
    else
      other->SetFocus();
    h->Pump();
    seen.clear();
    grid->Repaint();
    ASSERT_TRUE(seen.count(5));
    EXPECT_EQ(seen.at(5).CellColor, c.currentCell);
    for (int id : {2, 3, 4})
      EXPECT_EQ(seen.at(id).Selected, c.selection.count(id) > 0) << id;
    if (c.selection.count(3)) { EXPECT_EQ(seen.at(3).Color, selected); }
  }
}

// Ctrl+Delete with each prompt kind and answer, and the faults once seen: one selected record
// that is not the current one, a selected record that is gone, a delete that fails.
TEST_P(GridSelection, DeletingTheSelectedRecords) {
  if (IsQuery()) {
    Click(2, {ssCtrl});
    EXPECT_NO_THROW(Key(VK_DELETE, {ssCtrl})) << "a read-only dataset refuses quietly";
    EXPECT_EQ(ds->RecordCount(), 100);
    return;
  }
  std::vector<String> asked;
  TModalResult answer = mrOk;
  SetDialogResponder([&](TDialogRequest& r) {
    asked.push_back(r.Message);
    return answer;
  });
  grid->ParamsDelete()->SetEnabled(true);
  auto selectIds = [&](std::initializer_list<int> ids) {
    for (int id : ids) {
      ds->Locate("ID", Variant(id), {});
      S().SetSelected(true);
    }
  };
  // Cancel deletes nothing; OK deletes the three and lands on the first one's place.
  At(5);
  selectIds({2, 4, 7});
  answer = mrCancel;
  Key(VK_DELETE, {ssCtrl});
  EXPECT_EQ(asked, std::vector<String>{"Delete 3 records. Are you sure?"});
  EXPECT_EQ(ds->RecordCount(), 100);
  EXPECT_EQ(S().GetCount2(), 3);
  answer = mrOk;
  Key(VK_DELETE, {ssCtrl});
  EXPECT_EQ(ds->RecordCount(), 97);
  EXPECT_TRUE(S().Empty());
  EXPECT_EQ(Id(), 3);
  for (int id : {2, 4, 7}) EXPECT_FALSE(ds->BookmarkValid(marks[id])) << id;

  // One selected record that is not the current one: that record goes, after the one-record
  // question.
  asked.clear();
  selectIds({9});
  ds->Locate("ID", Variant(5), {});
  Key(VK_DELETE, {ssCtrl});
  EXPECT_EQ(asked, std::vector<String>{"Delete record. Are you sure?"});
  EXPECT_FALSE(ds->BookmarkValid(marks[9]));
  EXPECT_TRUE(ds->BookmarkValid(marks[5]));

  // A selected record deleted behind the grid's back is skipped.
  grid->ParamsDelete()->SetPromptKind(dpkNever);
  selectIds({10, 12});
  ds->Locate("ID", Variant(12), {});
  ds->Delete();
  Key(VK_DELETE, {ssCtrl});
  EXPECT_FALSE(ds->BookmarkValid(marks[10]));
  EXPECT_EQ(ds->RecordCount(), 94);

  // A delete the database refuses: the error surfaces, nothing is deleted, the selection and
  // the current record stay.
  if (IsMemTable()) return;
  auto& sq = static_cast<TSqliteDataSet&>(*ds);
  sq.Database()->Execute("CREATE TRIGGER refuse BEFORE DELETE ON items WHEN OLD.ID = 20 BEGIN SELECT RAISE(ABORT, 'kept'); END");
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  selectIds({15, 20});
  ds->Locate("ID", Variant(30), {});
  Key(VK_DELETE, {ssCtrl});
  Application->OnException = nullptr;
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(ds->RecordCount(), 94);
  EXPECT_EQ(Selected(), (std::set<int>{15, 20}));
  EXPECT_EQ(Id(), 30);
}

// The selection goes with the data: another dataset, or the same one on other data; a close and
// reopen of the same data keep it. A range towards a record that is gone adds nothing.
TEST_P(GridSelection, TheSelectionFollowsTheDataItWasMadeOn) {
  At(5);
  Key(VK_DOWN, {ssShift});
  ASSERT_EQ(Selected(), (std::set<int>{5, 6}));
  ds->Close();
  ds->Open();
  // A query's bookmarks are positions in one reading: its selection goes with the reading.
  EXPECT_EQ(Selected(), (IsQuery() ? std::set<int>{} : std::set<int>{5, 6})) << "the same data reopened";
  EXPECT_FALSE(S().ChangedFlag()) << "cleared when the dataset opened";
  if (!IsMemTable() && !IsQuery()) {
    ds->Locate("ID", Variant(50), {});
    TBookmarkStr gone = ds->Bookmark();
    ds->Delete();
    ds->Locate("ID", Variant(40), {});
    const int before = S().GetCount2();
    S().AddRange(gone);
    EXPECT_EQ(S().GetCount2(), before) << "towards a record that is gone";
    auto& sq = static_cast<TSqliteDataSet&>(*ds);
    sq.Database()->Execute("CREATE TABLE others AS SELECT * FROM items");
    sq.Close();
    sq.SetTableName("others");
    sq.Open();
    EXPECT_TRUE(S().Empty()) << "another table of the file";
  }
  ds->First();
  Key(VK_DOWN, {ssShift});
  ASSERT_FALSE(S().Empty());
  auto another = CreateGridMemTable(10);
  source->SetDataSet(another.get());
  EXPECT_TRUE(S().Empty()) << "another dataset";
  source->SetDataSet(ds.get());
}

INSTANTIATE_TEST_SUITE_P(Grid, GridSelection, ::testing::ValuesIn(SelectionDataSets()),
                         [](const ::testing::TestParamInfo<DataSetFactory>& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
