// Editing cells in the grid on both datasets, driven by keys and clicks through the harness:
// opening the editor, the order of events for one edit and post, the keys that leave a cell,
// Esc once and twice, a value the vision rejects, a failing record post, and refusals.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/db/DBConsts.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

class TEditGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  using TDBDivoRud::CancelChanges;
  using TDBDivoRud::EditorVisible;
  using TDBDivoRud::PostChanges;
};

// Refuses the text "bad" as a parse error would.
class TPickyVision : public TvpFieldVision {
public:
  using TvpFieldVision::TvpFieldVision;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override {
    if (edit.Text() == "bad") throw EZVError("Invalid input text");
    TvpFieldVision::PE_ParseText(edit, value, cancel);
  }
};

class GridEditing : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    form = h->TopLevel(0, 0, 500, 420);
    designer = std::make_unique<TStandardDesigner>(nullptr);
    vision = std::make_unique<TPickyVision>(nullptr);
    ds = GetParam().Create(20);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    grid = std::make_unique<TEditGrid>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(designer.get());
    grid->SetBounds(0, 0, 400, 20 + 10 * 18);
    grid->SetParent(form);
    for (const char* name : {"ID", "NAME", "ID"}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(name);
      c->SetWidth(80);
      c->SetVision(vision.get());
    }
    grid->SetDataSource(source.get());
    grid->AfterFieldPost = [this](TObject*, TgpColumn* c, TgpFieldPostCode code, TgpFieldEditAction&) {
      log.push_back("AfterFieldPost " + std::to_string(c->Index()) + " " + std::to_string(code));
    };
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
    grid->SetFocus();
    h->Pump();
    ds->MoveBy(4);  // record 5
    grid->SetCol(1);
    log.clear();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    grid.reset();
    source.reset();
    ds.reset();
    vision.reset();
    designer.reset();
    h.reset();
    driver.reset();
  }
  TControl* Focus() { return grid->EditorVisible() ? static_cast<TControl*>(grid->InplaceEditor()) : grid.get(); }
  void Key(Word key, TShiftState shift = {}) {
    if (shift.Contains(ssShift)) h->KeyDown(Focus(), VK_SHIFT);
    if (shift.Contains(ssCtrl)) h->KeyDown(Focus(), VK_CONTROL);
    TControl* target = Focus();
    h->KeyDown(target, key);
    h->KeyUp(target, key);
    if (shift.Contains(ssCtrl)) h->KeyUp(Focus(), VK_CONTROL);
    if (shift.Contains(ssShift)) h->KeyUp(Focus(), VK_SHIFT);
  }
  void Type(const std::u32string& text) {
    for (char32_t c : text) h->Char(Focus(), c);
  }
  String EditText() { return grid->InplaceEditor()->Text(); }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  String Name() { return ds->FieldByName("NAME")->AsString(); }
  std::string Joined() {
    std::string s;
    for (const auto& e : log) s += (s.empty() ? "" : ", ") + e;
    log.clear();
    return s;
  }

  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TProbe* form = nullptr;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TPickyVision> vision;
  std::unique_ptr<TDataSet> ds;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TEditGrid> grid;
  TLog log;
  std::vector<String> errors;
};

// F2, Unicode typing with a Backspace, Enter to post the cell and Enter to post the record.
TEST_P(GridEditing, EventOrderOfOneCellEditAndRecordPost) {
  grid->BeforeFieldEdit = [this](TObject*, TgpColumn*, bool&) { log.push_back("BeforeFieldEdit"); };
  grid->OnInitEdit = [this](TObject*) {
    log.push_back(std::string("InitEdit ") + (grid->InplaceEditor()->Visible() ? "shown" : "hidden"));
  };
  ds->BeforeEdit = [this](TDataSet*) { log.push_back("ds.BeforeEdit"); };
  ds->AfterEdit = [this](TDataSet*) { log.push_back("ds.AfterEdit"); };
  ds->BeforePost = [this](TDataSet*) { log.push_back("ds.BeforePost"); };
  ds->AfterPost = [this](TDataSet*) { log.push_back("ds.AfterPost"); };
  vision->BeforePost = [this](auto...) { log.push_back("vision.BeforePost"); };
  vision->AfterPost = [this](auto...) { log.push_back("vision.AfterPost"); };
  Key(VK_F1 + 1);
  ASSERT_TRUE(grid->EditorVisible());
  EXPECT_EQ(EditText(), "Name005");
  EXPECT_EQ(grid->InplaceEditor()->SelLength(), 7) << "the text is selected";
  EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow(), false));
  Type(U"Zé😀");
  Key(VK_BACK);
  Type(U"漢");
  EXPECT_EQ(EditText(), "Zé漢");
  Key(VK_RETURN);
  EXPECT_FALSE(grid->EditorVisible());
  EXPECT_EQ(ds->State(), dsEdit) << "posting a cell leaves the record in edit";
  Key(VK_RETURN);
  EXPECT_EQ(Joined(),
            "BeforeFieldEdit, InitEdit hidden, ds.BeforeEdit, ds.AfterEdit, vision.BeforePost, vision.AfterPost, "
            "AfterFieldPost 1 1, ds.BeforePost, ds.AfterPost");
  EXPECT_EQ(ds->State(), dsBrowse);
  ds->Refresh();
  EXPECT_EQ(Name(), "Zé漢");
  EXPECT_TRUE(errors.empty());
}

// Each key that leaves an edited cell: its post code, where the cell goes, whether quick edit
// reopens the editor there, and what became of the record.
TEST_P(GridEditing, KeysThatLeaveTheCell) {
  struct Case {
    Word key;
    TShiftState shift;
    TgpGridEditOptions options;
    std::string postLog;
    int col, id;
    bool editorAfter;
    TDataSetState state;
  };
  const Case cases[] = {
      {VK_RETURN, {}, {}, "AfterFieldPost 1 1", 1, 5, false, dsEdit},
      {VK_TAB, {}, {}, "AfterFieldPost 1 3", 2, 5, true, dsEdit},
      {VK_TAB, {ssShift}, {}, "AfterFieldPost 1 3", 0, 5, true, dsEdit},
      {VK_TAB, {}, {geoNoQuickEditByTabKey}, "AfterFieldPost 1 3", 2, 5, false, dsEdit},
      {VK_DOWN, {}, {}, "AfterFieldPost 1 2", 1, 6, false, dsBrowse},
      {VK_UP, {}, {}, "AfterFieldPost 1 2", 1, 4, false, dsBrowse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + (c.shift.Empty() ? "" : " shifted"));
    grid->SetOptionsEdit(c.options);
    Type(U"q");
    ASSERT_TRUE(grid->EditorVisible());
    Key(c.key, c.shift);
    EXPECT_EQ(Joined(), c.postLog);
    EXPECT_EQ(grid->Col(), c.col);
    EXPECT_EQ(Id(), c.id);
    EXPECT_EQ(grid->EditorVisible(), c.editorAfter);
    EXPECT_EQ(ds->State(), c.state);
    // Back to record 5, column 1, unedited.
    grid->PostChanges();
    grid->CancelChanges();
    EXPECT_FALSE(grid->EditorVisible());
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
    EXPECT_EQ(Name(), "q");
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("Name005");
    ds->Post();
    grid->SetCol(1);
    log.clear();
  }
  EXPECT_TRUE(errors.empty());
}

TEST_P(GridEditing, EscapeCancelsTheCellThenTheRecord) {
  Type(U"a");
  Key(VK_TAB);  // NAME posted into the record, ID opened by quick edit
  Type(U"77");
  Key(VK_ESCAPE);
  EXPECT_FALSE(grid->EditorVisible());
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(Id(), 5) << "the cell's own typing is gone";
  EXPECT_EQ(Name(), "a") << "the posted cell stays";
  Key(VK_ESCAPE);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(), "Name005");
}

// The editor keeps a rejected text selected and nothing moves; mended, the same key goes on.
TEST_P(GridEditing, ARejectedValueKeepsTheEditorOpen) {
  for (Word key : {Word(VK_RETURN), Word(VK_TAB), Word(VK_DOWN)}) {
    SCOPED_TRACE(key);
    Type(U"bad");
    Key(key);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Invalid input text");
    errors.clear();
    EXPECT_TRUE(grid->EditorVisible());
    EXPECT_EQ(EditText(), "bad");
    EXPECT_EQ(grid->InplaceEditor()->SelLength(), 3);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(Id(), 5);
    Type(U"ok");
    Key(key);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(grid->EditorVisible(), key == VK_TAB) << "only Tab edits on";
    grid->PostChanges();
    grid->CancelChanges();
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
    EXPECT_EQ(Name(), "ok");
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("Name005");
    ds->Post();
    grid->SetCol(1);
  }
}

// A record that cannot be posted stays in edit with what was typed in every cell; mended, it posts.
TEST_P(GridEditing, AFailingRecordPostKeepsTheTypedValues) {
  if (GetParam().Name != "Sqlite")
    ds->BeforePost = [](TDataSet* d) {
      if (d->FieldByName("ID")->AsInteger() == 2) throw EDatabaseError("UNIQUE constraint failed: items.ID");
    };
  Type(U"Né");
  Key(VK_TAB, {ssShift});  // to ID, quick edit
  Type(U"2");
  Key(VK_DOWN);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("UNIQUE"), String::npos);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(Name(), "Né");
  EXPECT_EQ(grid->Col(), 0);
  Type(U"55");
  Key(VK_RETURN);
  Key(VK_RETURN);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_TRUE(ds->Locate("ID", Variant(55), {}));
  EXPECT_EQ(Name(), "Né");
  ds->BeforePost = nullptr;
}

// What opens the editor, and what refuses it.
TEST_P(GridEditing, OpeningAndRefusals) {
  struct Case {
    const char* what;
    std::function<void()> setup;
    bool opens;
  };
  bool refuse = false;
  grid->BeforeFieldEdit = [&](TObject*, TgpColumn*, bool& doEdit) { doEdit = !refuse; };
  const Case cases[] = {
      {"plain", [] {}, true},
      {"read-only grid", [&] { grid->SetReadOnly(true); }, false},
      {"read-only column", [&] { grid->Columns()->Items(1)->SetReadOnly(true); }, false},
      {"BeforeFieldEdit", [&] { refuse = true; }, false},
  };
  const TRect cell = grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow(), false);
  for (const Case& c : cases) {
    for (int gesture = 0; gesture < 3; ++gesture) {
      SCOPED_TRACE(std::string(c.what) + " gesture " + std::to_string(gesture));
      c.setup();
      if (gesture == 0) Key(VK_F1 + 1);
      if (gesture == 1) Type(U"x");
      if (gesture == 2) h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
      EXPECT_EQ(grid->EditorVisible(), c.opens);
      if (c.opens && gesture == 1) EXPECT_EQ(EditText(), "x");
      EXPECT_EQ(ds->State(), c.opens && gesture == 1 ? dsEdit : dsBrowse);
      grid->CancelChanges();
      grid->CancelChanges();
      grid->SetReadOnly(false);
      grid->Columns()->Items(1)->SetReadOnly(false);
      refuse = false;
    }
  }
  EXPECT_EQ(Name(), "Name005");
}

// Posting and cancelling from code with the editor open.
TEST_P(GridEditing, PostAndCancelFromCode) {
  Type(U"code");
  grid->PostChanges();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(), "code");
  Type(U"gone");
  grid->CancelChanges();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(), "code");
  EXPECT_EQ(EditText(), "code") << "the editor shows the stored value again";
}

INSTANTIATE_TEST_SUITE_P(Grid, GridEditing, ::testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
