// Editing cells on both datasets, driven by keys and clicks through the harness: the event
// order of one edit and post and of an insert or append, the keys and handlers that leave a
// cell, Esc once and twice, a value the vision rejects, a failing record post, what refuses an
// edit, typing queued ahead of the grid, the always-shown editor per cursor type, switch columns,
// quick edit by click and Tab, and the editor through layout changes and scrolling.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/db/DBConsts.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

class TEditGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  using TDBDivoRud::AlwaysShowEditor;
  using TDBDivoRud::CancelChanges;
  using TDBDivoRud::Edit;
  using TDBDivoRud::EditorVisible;
  using TDBDivoRud::PostChanges;
};

// Refuses the text "bad" as a parse error would; lays its text out as Layout says.
class TPickyVision : public TvpFieldVision {
public:
  using TvpFieldVision::TvpFieldVision;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override {
    if (edit.Text() == "bad") throw EZVError("Invalid input text");
    TvpFieldVision::PE_ParseText(edit, value, cancel);
  }
  TvpDefLayout DefaultLayout(TgpFieldList&) override { return Layout; }
  TvpDefLayout Layout = tlaDefault;
};

// A switch that flips NAME between "on" and "off" (in unbound mode it only counts), hit by the
// space or by a press in the first 20 pixels of the cell.
class TSwitchVision : public TvpFieldVision {
public:
  using TvpFieldVision::TvpFieldVision;
  int Flips = 0;
  void PE_KeySwitchHit(IvpFieldEditor&, Word key, TShiftState, bool& hit) override { hit = key == VK_SPACE; }
  void PE_MouseSwitchHit(IvpFieldEditor&, int x, int, TShiftState, bool& hit) override { hit = x < 20; }
  void PE_KeySwitch(IvpFieldEditor& edit, bool&) override { Flip(edit); }
  void PE_MouseSwitch(IvpFieldEditor& edit, bool&) override { Flip(edit); }

private:
  void Flip(IvpFieldEditor& edit) {
    ++Flips;
    if (UnboundMode()) return;
    TField* f = edit.Fields().MainField();
    f->SetAsString(f->AsString() == "on" ? "off" : "on");
  }
};

// Columns ID, NAME, ID over 20 records; record 5 and NAME are current.
class GridEditing : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    h = std::make_unique<THarness>(*driver);
    TProbe* form = h->TopLevel(0, 0, 500, 420);
    other = h->Child(form, "other", 0, 300, 50, 20);
    ds = GetParam().Create(20);
    source.SetDataSet(ds.get());
    grid = std::make_unique<TEditGrid>(nullptr);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(&designer);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetParent(form);
    for (const char* name : {"ID", "NAME", "ID"}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(name);
      c->SetVision(&vision);
    }
    grid->SetDataSource(&source);
    grid->AfterFieldPost = [this](TObject*, TgpColumn* c, TgpFieldPostCode code, TgpFieldEditAction& action) {
      log.push_back("AfterFieldPost " + std::to_string(c->Index()) + " " + std::to_string(code));
      if (code == fpcReturnKey && steerEnter) action = feaMoveDown;
    };
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
    grid->SetFocus();
    Back();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    grid.reset();
  }
  // Record 5 with its stored name, column NAME, no editor, logs empty.
  void Back() {
    grid->PostChanges();
    grid->CancelChanges();
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
    storedName = Name();
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("Name005");
    ds->Post();
    grid->SetCol(1);
    log.clear();
  }
  TControl* Focus() { return grid->EditorVisible() ? static_cast<TControl*>(grid->InplaceEditor()) : grid.get(); }
  void Key(Word key, TShiftState shift = {}, char32_t c = 0) {
    if (shift.Contains(ssShift)) h->KeyDown(Focus(), VK_SHIFT);
    if (shift.Contains(ssCtrl)) h->KeyDown(Focus(), VK_CONTROL);
    TControl* target = Focus();
    h->KeyDown(target, key);
    if (c) h->Char(target, c);
    h->KeyUp(Focus(), key);
    if (shift.Contains(ssCtrl)) h->KeyUp(Focus(), VK_CONTROL);
    if (shift.Contains(ssShift)) h->KeyUp(Focus(), VK_SHIFT);
  }
  void Type(const std::u32string& text) {
    for (char32_t c : text) h->Char(Focus(), c);
  }
  String EditText() { return grid->InplaceEditor()->Text(); }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  String Name() { return ds->FieldByName("NAME")->AsString(); }
  std::string Joined() { return TakeJoined(log); }

  std::unique_ptr<TControlDriver> driver = MakeNullDriver();
  std::unique_ptr<THarness> h;
  TStandardDesigner designer{nullptr};
  TPickyVision vision{nullptr};
  std::unique_ptr<TDataSet> ds;
  TDataSource source{nullptr};
  std::unique_ptr<TEditGrid> grid;
  TLog log;
  std::vector<String> errors;
  TProbe* other = nullptr;
  String storedName;
  bool steerEnter = false;
};

// F2, Unicode typing with a Backspace, Enter to post the cell and Enter to post the record.
TEST_P(GridEditing, EventOrderOfOneCellEditAndRecordPost) {
  grid->BeforeFieldEdit = [this](TObject*, TgpColumn*, bool&) { log.push_back("BeforeFieldEdit"); };
  grid->OnInitEdit = [this](TObject*) { log.push_back(grid->InplaceEditor()->Visible() ? "InitEdit shown" : "InitEdit"); };
  ds->BeforeEdit = [this](TDataSet*) { log.push_back("ds.BeforeEdit"); };
  ds->AfterEdit = [this](TDataSet*) { log.push_back("ds.AfterEdit"); };
  ds->BeforePost = [this](TDataSet*) { log.push_back("ds.BeforePost"); };
  ds->AfterPost = [this](TDataSet*) { log.push_back("ds.AfterPost"); };
  vision.BeforePost = [this](auto...) { log.push_back("vision.BeforePost"); };
  vision.AfterPost = [this](auto...) { log.push_back("vision.AfterPost"); };
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
  EXPECT_EQ(Joined(), "BeforeFieldEdit, InitEdit, ds.BeforeEdit, ds.AfterEdit, vision.BeforePost, vision.AfterPost, "
                      "AfterFieldPost 1 1, ds.BeforePost, ds.AfterPost");
  EXPECT_EQ(ds->State(), dsBrowse);
  ds->Refresh();
  EXPECT_EQ(Name(), "Zé漢");
  EXPECT_TRUE(errors.empty());
}

// "q" typed into NAME of record 5, then the key: post code, cell and record reached, quick edit,
// the record's state, and what record 5 stores in the end.
TEST_P(GridEditing, KeysAndHandlersThatLeaveTheCell) {
  // '+' moves on instead of being typed; '*' and Backspace are typed and then move on.
  grid->OnEditKeyPress = [](TObject*, TgpColumn*, char32_t& key, TgpFieldEditAction& action, bool& handleKey) {
    if (key == U'+' || key == U'*' || key == 8) action = feaNextTab;
    handleKey = key == U'*';
  };
  struct Case {
    Word key;
    TShiftState shift;
    TgpGridEditOptions options;
    bool steerEnter;
    std::string log;
    int col, id;
    bool editor;
    TDataSetState state;
    String stored;
  } const cases[] = {
      {VK_RETURN, {}, {}, false, "AfterFieldPost 1 1", 1, 5, false, dsEdit, "q"},
      {VK_RETURN, {}, {}, true, "AfterFieldPost 1 1", 1, 6, false, dsBrowse, "q"},
      {VK_TAB, {}, {}, false, "AfterFieldPost 1 3", 2, 5, true, dsEdit, "q"},
      {VK_TAB, {ssShift}, {}, false, "AfterFieldPost 1 3", 0, 5, true, dsEdit, "q"},
      {VK_TAB, {}, {geoNoQuickEditByTabKey}, false, "AfterFieldPost 1 3", 2, 5, false, dsEdit, "q"},
      {VK_DOWN, {}, {}, false, "AfterFieldPost 1 2", 1, 6, false, dsBrowse, "q"},
      {VK_UP, {}, {}, false, "AfterFieldPost 1 2", 1, 4, false, dsBrowse, "q"},
      {0xBB, {}, {}, false, "AfterFieldPost 1 4", 2, 5, true, dsEdit, "q"},  // '+' by OnEditKeyPress
      {0x6A, {}, {}, false, "AfterFieldPost 1 4", 2, 5, true, dsEdit, "q*"},  // '*' handled and moving
      {VK_BACK, {}, {}, false, "AfterFieldPost 1 4", 2, 5, true, dsEdit, ""},  // always typed, then moving
      {VK_ESCAPE, {}, {}, false, "", 1, 5, false, dsEdit, "Name005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + (c.steerEnter ? " steered" : ""));
    grid->SetOptionsEdit(c.options);
    steerEnter = c.steerEnter;
    Type(U"q");
    ASSERT_TRUE(grid->EditorVisible());
    Key(c.key, c.shift, c.key == 0xBB ? U'+' : c.key == 0x6A ? U'*' : c.key == VK_BACK ? U'\b' : 0);
    EXPECT_EQ(Joined(), c.log);
    EXPECT_EQ(grid->Col(), c.col);
    EXPECT_EQ(Id(), c.id);
    EXPECT_EQ(grid->EditorVisible(), c.editor);
    if (c.editor) { EXPECT_EQ(grid->InplaceEditor()->Column(), grid->CurrentColumn()); }
    EXPECT_EQ(ds->State(), c.state);
    Back();
    EXPECT_EQ(storedName, c.stored);
  }
  EXPECT_TRUE(errors.empty());
}

// The second Esc drops the record; code cancels and posts with the editor open.
TEST_P(GridEditing, EscapeTwiceAndFromCode) {
  Type(U"a");
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(), "Name005");
  Type(U"gone");
  grid->CancelChanges();
  EXPECT_EQ(EditText(), "Name005") << "the editor shows the stored value again";
  Type(U"code");
  grid->PostChanges();
  EXPECT_EQ(ds->State(), dsBrowse);
  EXPECT_EQ(Name(), "code");
  TgpColumn* id = grid->Columns()->Items(2);
  id->SetEditing(true);
  EXPECT_TRUE(id->Editing() && grid->EditorVisible() && !grid->Columns()->Items(1)->Editing());
  EXPECT_EQ(grid->Col(), 2);
  Type(U"9");
  id->SetEditing(false);
  EXPECT_FALSE(grid->EditorVisible());
  EXPECT_EQ(Id(), 9) << "closed with a post";
}

// The focus leaving the grid with "e" typed: the record's state and NAME, by exit option.
TEST_P(GridEditing, LeavingTheGridByExitOption) {
  const std::tuple<TgpGridEditOptions, TDataSetState, String> cases[] = {
      {{}, dsBrowse, "e"},
      {{geoNoEditActionOnExit}, dsEdit, "e"},
      {{geoNoEditActionOnExit, geoCancelFieldOnExit}, dsEdit, "Name005"},
      {{geoCancelRecordOnExit}, dsBrowse, "Name005"},
  };
  for (const auto& [options, state, name] : cases) {
    SCOPED_TRACE(name + " " + std::to_string(state));
    grid->SetOptionsEdit(options);
    Type(U"e");
    other->SetFocus();
    h->Pump();
    EXPECT_FALSE(grid->EditorVisible());
    EXPECT_EQ(ds->State(), state);
    EXPECT_EQ(Name(), name);
    grid->SetFocus();
    Back();
  }
  EXPECT_TRUE(errors.empty());
}

// A rejected text stays selected in the open editor and nothing moves, whatever tried to leave
// the cell (a key, a character's action, a click on another cell); mended, the gesture goes on.
TEST_P(GridEditing, ARejectedValueKeepsTheEditorOpen) {
  grid->OnEditKeyPress = [](TObject*, TgpColumn*, char32_t& key, TgpFieldEditAction& action, bool&) {
    if (key == U'+') action = feaNextTab;
  };
  const auto click = [this](int column, int row) {
    const TRect cell = grid->CellClientRect(grid->Columns()->Items(column), grid->CurrentRow() + row, false);
    h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
  };
  const std::tuple<const char*, std::function<void()>, int, int, bool> cases[] = {
      {"Enter", [this] { Key(VK_RETURN); }, 1, 5, false},
      {"Tab", [this] { Key(VK_TAB); }, 2, 5, true},
      {"Down", [this] { Key(VK_DOWN); }, 1, 6, false},
      {"'+'", [this] { Key(0xBB, {}, U'+'); }, 2, 5, true},
      {"click beside", [&] { click(2, 0); }, 2, 5, true},
      {"click below", [&] { click(1, 1); }, 1, 6, false},
  };
  for (const auto& [what, gesture, col, id, editor] : cases) {
    SCOPED_TRACE(what);
    Type(U"bad");
    gesture();
    EXPECT_EQ(errors, std::vector<String>{"Invalid input text"});
    errors.clear();
    ASSERT_TRUE(grid->EditorVisible());
    EXPECT_EQ(EditText(), "bad");
    EXPECT_EQ(grid->InplaceEditor()->SelLength(), 3);
    EXPECT_EQ(grid->InplaceEditor()->Column(), grid->Columns()->Items(1));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(Id(), 5);
    Type(U"ok");
    h->Wait(600);  // the click again is a click, not a double click
    gesture();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(grid->Col(), col);
    EXPECT_EQ(Id(), id);
    EXPECT_EQ(grid->EditorVisible(), editor) << "only a move within the record edits on";
    Back();
    EXPECT_EQ(storedName, "ok");
  }
}

// A record that cannot be posted stays in edit with every typed cell, in the same cell and
// record, whatever posted it (a key, a click on another record, the focus leaving, code); mended,
// it posts.
TEST_P(GridEditing, AFailingRecordPostKeepsTheTypedValues) {
  // SQLite refuses the duplicate key itself; the memory table is told to.
  if (GetParam().Name != "Sqlite")
    ds->BeforePost = [](TDataSet* d) {
      if (d->FieldByName("ID")->AsInteger() == 2) throw EDatabaseError("UNIQUE constraint failed: items.ID");
    };
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"Down", [this] { Key(VK_DOWN); }},
      {"Enter twice", [this] { Key(VK_RETURN), Key(VK_RETURN); }},
      {"click below", [this] {
         const TRect cell = grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow() + 1, false);
         h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
       }},
      {"focus exit", [this] { other->SetFocus(), h->Pump(); }},
      {"code", [this] {
         try {
           grid->PostChanges();
         } catch (const Exception& e) {
           errors.push_back(e.Message());
         }
       }},
  };
  for (const auto& [what, post] : cases) {
    SCOPED_TRACE(what);
    Type(U"Né");
    Key(VK_TAB, {ssShift});
    Type(U"2");
    post();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("UNIQUE"), String::npos);
    errors.clear();
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(Id(), 2);
    EXPECT_EQ(Name(), "Né");
    EXPECT_EQ(grid->Col(), 0);
    EXPECT_FALSE(other->Focused()) << "the user stays on the record";
    if (!grid->EditorVisible()) Key(VK_F1 + 1);
    Type(U"55");
    Key(VK_RETURN);
    Key(VK_RETURN);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ds->State(), dsBrowse);
    ASSERT_TRUE(ds->Locate("ID", Variant(55), {}));
    EXPECT_EQ(Name(), "Né");
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(5);
    ds->Post();
    grid->SetFocus();
    Back();
  }
  ds->BeforePost = nullptr;
}

// F2, typing and a click on the current cell open the editor, unless something refuses.
TEST_P(GridEditing, OpeningAndRefusals) {
  bool refuse = false;
  grid->BeforeFieldEdit = [&](TObject*, TgpColumn*, bool& doEdit) { doEdit = !refuse; };
  const std::pair<const char*, std::function<void(bool)>> cases[] = {
      {"plain", [](bool) {}},
      {"read-only grid", [&](bool on) { grid->SetReadOnly(on); }},
      {"read-only column", [&](bool on) { grid->Columns()->Items(1)->SetReadOnly(on); }},
      {"BeforeFieldEdit", [&](bool on) { refuse = on; }},
  };
  const TRect cell = grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow(), false);
  for (const auto& [what, refusal] : cases) {
    const bool opens = what == std::string("plain");
    for (int gesture = 0; gesture < 3; ++gesture) {
      SCOPED_TRACE(std::string(what) + " gesture " + std::to_string(gesture));
      refusal(true);
      if (gesture == 0) Key(VK_F1 + 1);
      if (gesture == 1) Type(U"x");
      if (gesture == 2) h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
      EXPECT_EQ(grid->EditorVisible(), opens);
      if (opens && gesture == 1) { EXPECT_EQ(EditText(), "x"); }
      EXPECT_EQ(ds->State(), opens && gesture == 1 ? dsEdit : dsBrowse);
      refusal(false);
      Back();
      EXPECT_EQ(storedName, opens && gesture == 1 ? "x" : "Name005");
    }
  }
}

// What a column's vision keeps in the editor: a spin button takes Ctrl+Up and Ctrl+Down while
// plain Down leaves; a multi-line vision keeps Enter (and Up and Down) as its own and leaves by
// Ctrl+Enter or Tab.
TEST_P(GridEditing, KeysTheColumnsVisionKeeps) {
  TvpFieldVision spin{nullptr};
  spin.SetEnableButton(true);
  spin.SetButtonStyle(pbsSpin);
  spin.OnButtonClick = [&](TObject*, TgpFieldList*) { log.push_back("spin " + std::to_string(spin.ButtonState())); };
  TvpFieldVision lines{nullptr};
  lines.SetMultiLine(true);
  lines.SetWantReturns(true);
  struct Case {
    TvpFieldVision* vision;
    Word key;
    TShiftState shift;
    std::string log;
    bool stays;
    int id, col;
  } const cases[] = {
      {&spin, VK_UP, {ssCtrl}, "spin 2", true, 5, 1},
      {&spin, VK_DOWN, {ssCtrl}, "spin 4", true, 5, 1},
      {&spin, VK_DOWN, {}, "AfterFieldPost 1 2", false, 6, 1},
      {&lines, VK_RETURN, {}, "", true, 5, 1},
      {&lines, VK_DOWN, {}, "", true, 5, 1},
      {&lines, VK_RETURN, {ssCtrl}, "AfterFieldPost 1 1", false, 5, 1},
      {&lines, VK_TAB, {}, "AfterFieldPost 1 3", true, 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + (c.vision == &spin ? " spin" : " multi-line"));
    grid->Columns()->Items(1)->SetVision(c.vision);
    Type(U"k");
    const char32_t typed = c.key != VK_RETURN ? 0 : c.shift.Contains(ssCtrl) ? U'\n' : U'\r';
    Key(c.key, c.shift, typed);
    EXPECT_EQ(Joined(), c.log);
    EXPECT_EQ(grid->EditorVisible(), c.stays);
    EXPECT_EQ(Id(), c.id);
    EXPECT_EQ(grid->Col(), c.col);
    if (c.stays && c.col == 1) { EXPECT_EQ(grid->InplaceEditor()->Column(), grid->Columns()->Items(1)); }
    if (c.vision == &lines && c.key == VK_RETURN && c.stays) { EXPECT_NE(EditText().find('\n'), String::npos); }
    grid->CancelChanges();
    grid->CancelChanges();
    grid->Columns()->Items(1)->SetVision(&vision);
    Back();
  }
  EXPECT_TRUE(errors.empty());
}

// Typing queued faster than the grid handles it: the first character opens the editor, and
// every character reaches it once, in order.
TEST_P(GridEditing, QueuedTypingReachesTheEditorOnce) {
  const auto queue = [this](Word key, char32_t c) {
    h->KeyDown(grid.get(), key);
    h->Char(grid.get(), c);
    h->KeyUp(grid.get(), key);
  };
  h->PumpAfterInput = false;
  for (char32_t c : std::u32string(U"ab😀")) queue('A', c);
  h->PumpAfterInput = true;
  h->Pump();
  ASSERT_TRUE(grid->EditorVisible());
  EXPECT_EQ(EditText(), "ab😀");
  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  // Enter or Tab typed ahead leaves the cell with the text as typed, without their characters.
  for (const Word key : {Word(VK_RETURN), Word(VK_TAB)}) {
    SCOPED_TRACE(key);
    h->PumpAfterInput = false;
    queue('A', U'x');
    queue(key, key == VK_TAB ? U'\t' : U'\r');
    h->PumpAfterInput = true;
    h->Pump();
    EXPECT_EQ(grid->Col(), key == VK_TAB ? 2 : 1);
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(Name(), "x");
    Back();
  }
}

// geoAlwaysShowEditor holds under the sensitive cursor only: there the editor follows Down, Tab
// and clicks, and while its field is unmodified the paging keys, Left, and plain Enter, Esc and
// Insert go to the grid; a modified field, or an editor opened under another cursor type, keeps them.
TEST_P(GridEditing, AlwaysShownEditorUnderEachCursorType) {
  struct Case {
    Word key;
    int gridCol;  // what the grid makes of the key
    bool gridMoves;
    TDataSetState gridState;
  } const keys[] = {
      {VK_NEXT, 1, true, dsBrowse},    {VK_HOME, 0, false, dsBrowse},   {VK_END, 2, false, dsBrowse},
      {VK_LEFT, 0, false, dsBrowse},   {VK_INSERT, 1, true, dsInsert},  {VK_RETURN, 1, false, dsBrowse},
      {VK_ESCAPE, 1, false, dsBrowse},
  };
  grid->SetOptionsEdit({geoAlwaysShowEditor});
  for (TgpCursorType type : {gctSensitive, gctInsensitiveBmrk, gctInsensitiveID}) {
    SCOPED_TRACE("cursor type " + std::to_string(type));
    const bool always = type == gctSensitive;
    grid->SetCursorType(type);
    Back();
    Key(VK_DOWN);
    EXPECT_EQ(grid->EditorVisible(), always);
    const int below = Id();
    Key(VK_TAB);
    EXPECT_EQ(grid->EditorVisible(), always);
    if (always) { EXPECT_EQ(EditText(), "6") << "the editor moved with the cell"; }
    const TRect cell = grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow() + 1, false);
    h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
    EXPECT_EQ(Id(), below + 1);
    EXPECT_EQ(grid->EditorVisible(), always) << "a first click on another cell";
    if (always) { EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), cell); }
    other->SetFocus();
    h->Pump();
    EXPECT_FALSE(grid->EditorVisible());
    grid->SetFocus();
    h->Pump();
    EXPECT_EQ(grid->EditorVisible(), always) << "back on focus entry";
    if (always) {
      const int top = Id() - grid->CurrentRow();
      h->Wheel(grid->InplaceEditor(), 5, 5, -120);
      EXPECT_EQ(Id() - grid->CurrentRow(), top + 1) << "one notch over the editor scrolls one record";
      ASSERT_TRUE(grid->EditorVisible()) << "the editor goes with the current record";
      EXPECT_EQ(EditText(), ItemName(Id()));
      EXPECT_EQ(grid->InplaceEditor()->BoundsRect(),
                grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow(), false));
    }
    for (const bool modified : {false, true}) {
      for (const Case& c : keys) {
        SCOPED_TRACE("key " + std::to_string(c.key) + (modified ? " modified" : ""));
        Back();
        ASSERT_TRUE(grid->Edit());
        const int start = Id();  // an insensitive cursor keeps its marked record
        if (modified) Type(U"m");
        Key(c.key);
        if (always && !modified) {
          EXPECT_EQ(grid->Col(), c.gridCol);
          EXPECT_EQ(Id() != start, c.gridMoves);
          EXPECT_EQ(ds->State(), c.gridState);
          EXPECT_TRUE(grid->EditorVisible()) << "over the cell the grid went to";
        } else {
          EXPECT_EQ(grid->Col(), 1);
          EXPECT_EQ(Id(), start);
          EXPECT_EQ(ds->State(), modified ? dsEdit : dsBrowse);
          const bool closing = c.key == VK_RETURN || c.key == VK_ESCAPE;
          EXPECT_EQ(grid->EditorVisible(), always || !closing);
          if (always && c.key == VK_ESCAPE) { EXPECT_EQ(EditText(), ItemName(start)) << "Esc resets instead of hiding"; }
          if (always && c.key == VK_RETURN) {
            Key(VK_RETURN);
            EXPECT_EQ(ds->State(), dsBrowse) << "the second Enter, the field unmodified, posts the record";
          }
        }
        if (ds->State() == dsInsert) ds->Cancel();
      }
    }
  }
  // No data rows: nothing to stay over, on focus entry or after a key.
  grid->SetCursorType(gctSensitive);
  grid->SetShowEmptyRow(false);
  other->SetFocus();
  std::unique_ptr<TDataSet> empty = GetParam().Create(0);
  source.SetDataSet(empty.get());
  ds = std::move(empty);
  grid->SetFocus();
  h->Pump();
  EXPECT_FALSE(grid->AlwaysShowEditor());
  EXPECT_FALSE(grid->EditorVisible());
  Key(VK_DOWN);
  EXPECT_FALSE(grid->EditorVisible());
  EXPECT_TRUE(errors.empty());
}

// A switch column toggles once per space or click: on the current cell of the focused grid, and
// on another cell unless vsoNeedCurrent makes the first click only choose it; the record goes
// into edit only when the switch edits the dataset.
TEST_P(GridEditing, SwitchColumnTogglesOncePerKeyOrClick) {
  TSwitchVision switcher{nullptr};
  switcher.SetEnableSwitches(true);
  switcher.SetSurfaceKind(vskCustom);
  TgpColumn* name = grid->Columns()->Items(1);
  name->SetVision(&switcher);
  const TfvSwitchOptions bound{vsoEditDataSet}, unbound{};
  struct Case {
    const char* what;
    TfvSwitchOptions options;
    bool byKey, focused;
    int row;  // 0 the current row, 1 the one below
    int flips, secondFlips;
    TDataSetState state;
    String stored;
    bool readOnly = false;
  } const cases[] = {
      {"space", bound, true, true, 0, 1, 2, dsEdit, "on"},
      {"space, read-only grid", bound, true, true, 0, 0, 0, dsBrowse, "Name005", true},
      {"click, read-only grid", bound, false, true, 0, 0, 0, dsBrowse, "Name005", true},
      {"click", bound, false, true, 0, 1, 2, dsEdit, "on"},
      {"click below", bound, false, true, 1, 1, 2, dsEdit, "on"},
      {"click below, need current", TfvSwitchOptions{vsoEditDataSet, vsoNeedCurrent}, false, true, 1, 0, 1, dsBrowse, "Name006"},
      {"click unfocused, need current", TfvSwitchOptions{vsoEditDataSet, vsoNeedCurrent}, false, false, 0, 0, 1, dsBrowse, "Name005"},
      {"space unbound", unbound, true, true, 0, 1, 2, dsBrowse, "Name005"},
      {"click unbound", unbound, false, true, 0, 1, 2, dsBrowse, "Name005"},
      {"space, need editing", TfvSwitchOptions{vsoEditDataSet, vsoNeedEditing}, true, true, 0, 0, 0, dsBrowse, "Name005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    switcher.SetOptionsSwitch(c.options);
    switcher.Flips = 0;
    grid->SetReadOnly(c.readOnly);
    log.clear();
    if (!c.focused) {
      other->SetFocus();
      h->Pump();
    }
    const TRect cell = grid->CellClientRect(name, grid->CurrentRow() + c.row, false);
    for (int press = 1; press <= 2; ++press) {
      h->Wait(600);  // a press, not the second half of a double click
      if (c.byKey) {
        // The character is queued with its key, as the keyboard's translation does.
        h->PumpAfterInput = false;
        h->KeyDown(Focus(), VK_SPACE);
        h->Char(Focus(), U' ');
        h->PumpAfterInput = true;
        h->Pump();
        h->KeyUp(Focus(), VK_SPACE);
      } else {
        h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
      }
      EXPECT_EQ(switcher.Flips, press == 1 ? c.flips : c.secondFlips) << "press " << press;
      EXPECT_EQ(Id(), 5 + c.row);
      if (press == 1) {
        EXPECT_EQ(ds->State(), c.state);
        EXPECT_EQ(Name(), c.stored);
        EXPECT_EQ(Joined(), c.flips ? "AfterFieldPost 1 0" : "") << "a toggle is a posting of the cell";
      }
    }
    EXPECT_EQ(grid->Col(), 1);
    grid->SetFocus();
    grid->SetReadOnly(false);
    grid->CancelChanges();
    Back();
  }
  EXPECT_TRUE(errors.empty());
}

// One press of a switch column, one toggle, however the windowing system hands its messages
// over: all queued before the grid looks (a quick keystroke or click), the release after the
// rest, or each alone. The first press opens the editor over the cell, the second finds it open.
TEST_P(GridEditing, SwitchColumnTogglesOncePerPressHoweverTheInputIsQueued) {
  TSwitchVision switcher{nullptr};
  switcher.SetEnableSwitches(true);
  switcher.SetSurfaceKind(vskCustom);
  switcher.SetOptionsSwitch({vsoEditDataSet});
  TgpColumn* name = grid->Columns()->Items(1);
  name->SetVision(&switcher);
  enum Queue { allAtOnce, releaseLater, eachAlone };
  for (const bool byKey : {true, false})
    for (const Queue queue : {allAtOnce, releaseLater, eachAlone}) {
      SCOPED_TRACE(testing::Message() << (byKey ? "space" : "click") << " queued " << queue);
      switcher.Flips = 0;
      const TRect cell = grid->CellClientRect(name, grid->CurrentRow(), false);
      for (int press = 1; press <= 2; ++press) {
        h->Wait(600);  // a press, not the second half of a double click
        h->PumpAfterInput = queue == eachAlone;
        if (byKey) {
          h->KeyDown(Focus(), VK_SPACE);
          h->Char(Focus(), U' ');
        } else {
          h->MouseDown(grid.get(), cell.Left + 5, cell.Top + 5);
        }
        if (queue == releaseLater) h->Pump();
        if (byKey)
          h->KeyUp(Focus(), VK_SPACE);
        else
          h->MouseUp(grid.get(), cell.Left + 5, cell.Top + 5);
        h->PumpAfterInput = true;
        h->Pump();
        EXPECT_EQ(switcher.Flips, press) << "press " << press;
        EXPECT_EQ(Name(), press == 1 ? "on" : "off");
        ASSERT_NE(grid->InplaceEditor(), nullptr);
        EXPECT_FALSE(grid->InplaceEditor()->SwitchTracker().Tracking()) << "the press has ended";
      }
      EXPECT_EQ(Id(), 5);
      EXPECT_EQ(grid->Col(), 1);
      grid->CancelChanges();
      Back();
    }
  EXPECT_TRUE(errors.empty());
}

// The same for a character whose action leaves the cell it opened the editor on: its release
// closes the editor and moves on, queued with the key or not.
TEST_P(GridEditing, ACharactersActionFollowsItsReleaseHoweverTheInputIsQueued) {
  grid->OnEditKeyPress = [](TObject*, TgpColumn*, char32_t& key, TgpFieldEditAction& action, bool&) {
    if (key == U'+') action = feaNextTab;
  };
  for (const bool allAtOnce : {true, false}) {
    SCOPED_TRACE(allAtOnce ? "queued at once" : "each alone");
    h->PumpAfterInput = !allAtOnce;
    h->KeyDown(grid.get(), 0xBB);
    h->Char(grid.get(), U'+');
    h->KeyUp(grid.get(), 0xBB);
    h->PumpAfterInput = true;
    h->Pump();
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_FALSE(grid->EditorVisible());
    EXPECT_EQ(Name(), "Name005") << "the character was not typed";
    Back();
  }
  EXPECT_TRUE(errors.empty());
}

// With the record in edit a click on another cell, or Tab, reopens the editor there unless the
// option for that gesture says no; a browsing record, or a click on another record, opens nothing.
TEST_P(GridEditing, QuickEditByClickAndByTab) {
  enum Before { browsing, editorOpen, cellPosted };
  const TgpGridEditOptions none{}, noClick{geoNoQuickEditByClick}, noTab{geoNoQuickEditByTabKey};
  struct Case {
    bool tab;
    int row;  // of the clicked cell, from the current one
    TgpGridEditOptions options;
    Before before;
    bool editor;
    TDataSetState state;
  } const cases[] = {
      {false, 0, none, editorOpen, true, dsEdit},     {false, 0, noClick, editorOpen, false, dsEdit},
      {false, 0, none, cellPosted, true, dsEdit},     {false, 0, noClick, cellPosted, false, dsEdit},
      {false, 0, noTab, cellPosted, true, dsEdit},    {false, 0, none, browsing, false, dsBrowse},
      {false, 1, none, editorOpen, false, dsBrowse},  {true, 0, none, cellPosted, true, dsEdit},
      {true, 0, noTab, cellPosted, false, dsEdit},    {true, 0, noClick, cellPosted, true, dsEdit},
      {true, 0, none, browsing, false, dsBrowse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tab ? "Tab" : "click") + " row +" + std::to_string(c.row) + " before " +
                 std::to_string(c.before) + (c.options.Empty() ? "" : " with option"));
    grid->SetOptionsEdit(c.options);
    if (c.before != browsing) Type(U"q");
    if (c.before == cellPosted) Key(VK_RETURN);
    const TRect cell = grid->CellClientRect(grid->Columns()->Items(2), grid->CurrentRow() + c.row, false);
    if (c.tab)
      Key(VK_TAB);
    else
      h->Click(grid.get(), cell.Left + 5, cell.Top + 5);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(Id(), 5 + c.row);
    EXPECT_EQ(ds->State(), c.state);
    EXPECT_EQ(grid->EditorVisible(), c.editor);
    if (c.editor) { EXPECT_EQ(grid->InplaceEditor()->Column(), grid->Columns()->Items(2)); }
    if (c.editor) { EXPECT_EQ(EditText(), "5"); }
    Back();
    EXPECT_EQ(storedName, c.before == browsing ? "Name005" : "q");
  }
  EXPECT_TRUE(errors.empty());
}

// Insert, and Down past the last record, then a name, Shift+Tab to ID, a number and Enter twice:
// the grid's and the dataset's insert events come first, each cell's edit after, the post last.
TEST_P(GridEditing, EventOrderOfInsertAndAppend) {
  grid->BeforeInsert = [this](TObject*, bool&) { log.push_back("BeforeInsert"); };
  grid->AfterInsert = [this](TObject*) { log.push_back("AfterInsert"); };
  grid->BeforeFieldEdit = [this](TObject*, TgpColumn* c, bool&) { log.push_back("BeforeFieldEdit " + std::to_string(c->Index())); };
  grid->OnInitEdit = [this](TObject*) { log.push_back("InitEdit"); };
  ds->BeforeInsert = [this](TDataSet*) { log.push_back("ds.BeforeInsert"); };
  ds->AfterInsert = [this](TDataSet*) { log.push_back("ds.AfterInsert"); };
  ds->BeforeEdit = [this](TDataSet*) { log.push_back("ds.BeforeEdit"); };
  ds->BeforePost = [this](TDataSet*) { log.push_back("ds.BeforePost"); };
  ds->AfterPost = [this](TDataSet*) { log.push_back("ds.AfterPost"); };
  vision.AfterPost = [this](auto...) { log.push_back("vision.AfterPost"); };
  for (const bool append : {false, true}) {
    SCOPED_TRACE(append ? "append" : "insert");
    const int id = append ? 78 : 77;
    if (append) ds->Last();
    grid->SetCol(1);
    log.clear();
    Key(append ? VK_DOWN : VK_INSERT);
    EXPECT_EQ(Joined(), "BeforeInsert, ds.BeforeInsert, ds.AfterInsert, AfterInsert");
    EXPECT_EQ(ds->State(), dsInsert);
    EXPECT_FALSE(grid->EditorVisible());
    Type(U"Nový 😀");
    Key(VK_TAB, {ssShift});
    Type(std::u32string(1, U'0' + id / 10) + char32_t(U'0' + id % 10));
    Key(VK_RETURN);
    EXPECT_EQ(ds->State(), dsInsert);
    Key(VK_RETURN);
    EXPECT_EQ(Joined(), "BeforeFieldEdit 1, InitEdit, vision.AfterPost, AfterFieldPost 1 3, BeforeFieldEdit 0, InitEdit, "
                        "vision.AfterPost, AfterFieldPost 0 1, ds.BeforePost, ds.AfterPost");
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(Id(), id) << "the posted record stays current";
    EXPECT_EQ(ds->RecordCount(), append ? 22 : 21);
    ds->Refresh();
    ASSERT_TRUE(ds->Locate("ID", Variant(id), {}));
    EXPECT_EQ(Name(), "Nový 😀");
  }
  EXPECT_TRUE(errors.empty());
}

// The open editor with "q" typed stays over its cell when the columns change size, and gives way
// when its column goes or the wheel moves the record; the typing is kept in the field where the
// cell is left with a post.
TEST_P(GridEditing, EditorFollowsItsCellThroughLayoutChanges) {
  TgpColumn* id = grid->Columns()->Items(0);
  TgpColumn* name = grid->Columns()->Items(1);
  const std::tuple<const char*, std::function<void()>, bool, String> cases[] = {
      {"column before widened", [&] { id->SetWidth(id->Width() + 30); }, true, "q"},
      {"own column narrowed", [&] { name->SetWidth(name->Width() - 20); }, true, "q"},
      {"own column hidden", [&] { name->SetVisible(false); }, false, "Name005"},
      {"wheel", [&] { h->Wheel(grid->InplaceEditor(), 5, 5, -120); }, false, "q"},
      {"scrolled sideways", [&] {
         name->SetWidth(390);
         ASSERT_TRUE(grid->EditorVisible());
         const TRect before = grid->InplaceEditor()->BoundsRect();
         grid->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
         ASSERT_NE(grid->CellClientRect(name, grid->CurrentRow(), false), before) << "the view must scroll";
       }, false, "q"},
  };
  const int idWidth = id->Width(), nameWidth = name->Width();
  for (const auto& [what, change, shown, stored] : cases) {
    SCOPED_TRACE(what);
    Type(U"q");
    change();
    EXPECT_EQ(grid->EditorVisible(), shown);
    if (shown) {
      EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellClientRect(name, grid->CurrentRow(), false));
      EXPECT_EQ(EditText(), "q");
      Key(VK_RETURN);
    }
    id->SetWidth(idWidth);
    name->SetWidth(nameWidth);
    name->SetVisible(true);
    grid->PostChanges();
    ds->Refresh();
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
    EXPECT_EQ(Name(), stored);
    Back();
  }
  EXPECT_TRUE(errors.empty());
}

// The editor's text sits where the column says, else where its vision says, else the grid.
TEST_P(GridEditing, EditorVerticalAlignmentFromColumnVisionOrGrid) {
  struct Case {
    TvpDefLayout column, vision;
    TLayout grid, editor;
  } const cases[] = {
      {tlaDefault, tlaDefault, tlCenter, tlCenter}, {tlaDefault, tlaDefault, tlBottom, tlBottom},
      {tlaDefault, tlaTop, tlBottom, tlTop},        {tlaBottom, tlaTop, tlCenter, tlBottom},
      {tlaCenter, tlaDefault, tlTop, tlCenter},
  };
  TgpColumn* name = grid->Columns()->Items(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.vision) + " " + std::to_string(c.grid));
    name->SetVertAlignment(c.column);
    vision.Layout = c.vision;
    grid->SetVertAlignment(c.grid);
    Key(VK_F1 + 1);
    ASSERT_TRUE(grid->EditorVisible());
    EXPECT_EQ(grid->InplaceEditor()->Fields().Layout(), c.editor);
    Key(VK_ESCAPE);
  }
  name->SetVertAlignment(tlaDefault);
  vision.Layout = tlaDefault;
}

// Insert, and Down past the last record appending, with their refusals.
TEST_P(GridEditing, InsertAndAppendAndTheirRefusals) {
  bool refuse = false;
  grid->BeforeInsert = [&](TObject*, bool& doInsert) { doInsert = !refuse, log.push_back("BeforeInsert"); };
  grid->AfterInsert = [this](TObject*) { log.push_back("AfterInsert"); };
  // Down and Tab from the last cell of the last record append.
  const std::tuple<Word, TgpGridEditOptions, bool, bool, std::string> cases[] = {
      {VK_INSERT, {}, false, false, "BeforeInsert, AfterInsert"},
      {VK_DOWN, {}, false, false, "BeforeInsert, AfterInsert"},
      {VK_TAB, {}, false, false, "BeforeInsert, AfterInsert"},
      {VK_INSERT, {geoNoInserts}, false, false, ""},
      {VK_DOWN, {geoNoInserts}, false, false, "BeforeInsert, AfterInsert"},
      {VK_DOWN, {geoNoAppends}, false, false, ""},
      {VK_TAB, {geoNoAppends}, false, false, ""},
      {VK_INSERT, {geoNoAppends}, false, false, "BeforeInsert, AfterInsert"},
      {VK_INSERT, {}, true, false, ""},
      {VK_TAB, {}, true, false, ""},
      {VK_DOWN, {}, false, true, "BeforeInsert"},
  };
  for (const auto& [key, options, readOnly, refused, expected] : cases) {
    SCOPED_TRACE(expected + " key " + std::to_string(key));
    grid->SetOptionsEdit(options);
    grid->SetReadOnly(readOnly);
    refuse = refused;
    if (key != VK_INSERT) ds->Last();
    grid->SetCol(key == VK_TAB ? 2 : 1);
    Key(key);
    EXPECT_EQ(Joined(), expected);
    const bool inserted = expected.find("AfterInsert") != std::string::npos;
    EXPECT_EQ(ds->State(), inserted ? dsInsert : dsBrowse);
    if (inserted) { EXPECT_EQ(ds->FieldByName("ID")->IsNull(), true) << "on the new record"; }
    if (key == VK_TAB) { EXPECT_EQ(grid->Col(), 0) << "the row's end wraps, appended or not"; }
    ds->Cancel();
    grid->SetReadOnly(false);
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, GridEditing, ::testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

}  // namespace
}  // namespace zvtest
