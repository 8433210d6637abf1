// The check-box and multi-state visions on the headless backend: states read from each field
// kind, the switch cycles and what they write, cancelled switches, conversion failures, the
// box's pixels, the multi-state collection, its switching, picks and completion, and a form
// round trip.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/SwitchVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/Painter.h"
#include "runtime/vision/StdDesigners.h"

#include "EditControlFixture.h"
#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

// One record of B (logical), I (integer), T (text) and M (memo); each test field starts null.
std::unique_ptr<TMemTable> FlagTable() {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("B", ftBoolean);
  table->FieldDefs().Add("I", ftInteger);
  table->FieldDefs().Add("T", ftString, 10);
  table->FieldDefs().Add("M", ftMemo);
  table->CreateDataSet();
  table->AppendRecord({Variant(1), Null(), Null(), Null(), Null()});
  table->First();
  return table;
}

// A shown form with an edit control on one field of a dataset, focused.
class SwitchFixture : public EditControlFixture {
protected:
  void Space(TShiftState shift = {}) {
    h->KeyDown(edit, VK_SPACE, shift);
    h->Char(edit, U' ', shift);
    h->KeyUp(edit, VK_SPACE, shift);
  }
};

// ---- Check box ---------------------------------------------------------------------------

class CheckBoxVision : public SwitchFixture {};

TEST_F(CheckBoxVision, StateFromEachFieldKind) {
  auto table = FlagTable();
  TCheckBoxVision vision(nullptr);
  Open(&vision, table.get(), "B");
  struct Case {
    const char* field;
    Variant value;
    String checked, unchecked;
    TcbvState showNullAs, expected;
  } const cases[] = {
      {"B", Variant(true), "", "", cbvGrayed, cbvChecked},
      {"B", Variant(false), "", "", cbvGrayed, cbvUnChecked},
      {"B", Null(), "", "", cbvGrayed, cbvGrayed},
      {"B", Null(), "", "", cbvUnChecked, cbvUnChecked},
      {"I", Variant(1), "1", "0", cbvGrayed, cbvChecked},
      {"I", Variant(0), "1", "0", cbvGrayed, cbvUnChecked},
      {"I", Variant(2), "1", "0", cbvGrayed, cbvGrayed},
      {"T", Variant("YES"), "Y;yes", "N", cbvGrayed, cbvChecked},
      {"T", Variant("y"), "Y;yes", "N", cbvGrayed, cbvChecked},
      {"T", Variant("n"), "Y;yes", "N", cbvGrayed, cbvUnChecked},
      {"T", Variant("ä"), "Ä", "", cbvGrayed, cbvChecked},
      {"T", Variant(""), ";Y;;", "", cbvChecked, cbvGrayed},  // an empty text matches no empty item
      {"T", Variant("x"), "", "", cbvGrayed, cbvGrayed},
      {"M", Variant("Y"), "Y", "N", cbvGrayed, cbvChecked},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + (c.value.IsNull() ? String("null") : c.value.AsString()));
    table->Edit();
    table->FieldByName(c.field)->SetValue(c.value);
    table->Post();
    edit->SetDataField(c.field);
    vision.SetValueChecked(c.checked);
    vision.SetValueUnChecked(c.unchecked);
    vision.SetShowNullAs(c.showNullAs);
    EXPECT_EQ(vision.GetState(edit->Fields()), c.expected);
  }
  vision.OnGetState = [](TObject*, TgpFieldList*, TcbvState& state) { state = cbvUnChecked; };
  EXPECT_EQ(vision.GetState(edit->Fields()), cbvUnChecked);

  bool valid = false;
  vision.VM_ValidFields(edit->Fields(), valid);
  EXPECT_TRUE(valid) << "a memo is text: a flag kept there is a check box too";
}

// Each press writes the next state as the field's kind takes it.
TEST_F(CheckBoxVision, SwitchCyclesAndWhatEachWrites) {
  auto table = FlagTable();
  TCheckBoxVision vision(nullptr);
  Open(&vision, table.get(), "B");
  struct Case {
    const char* field;
    bool allowGrayed;
    String checked, unchecked, grayed;
    Variant start;
    std::vector<String> after;  // the stored text after each press ("<null>" for null)
  } const cases[] = {
      {"B", false, "", "", "", Variant(), {"True", "False", "True"}},
      {"B", true, "", "", "", Variant(false), {"<null>", "True", "False"}},
      {"I", false, "1", "0", "", Variant(2), {"1", "0", "1"}},
      {"I", true, "1", "0", "", Variant(0), {"<null>", "1", "0"}},
      {"T", false, "Y;yes", "N;no", "", Variant("yes"), {"N", "Y"}},
      {"T", true, "Y", "N", "?", Variant("N"), {"?", "Y", "N"}},
      {"M", false, "Y", "N", "", Variant("N"), {"Y", "N"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    table->Edit();
    table->FieldByName(c.field)->SetValue(c.start);
    table->Post();
    edit->SetDataField(c.field);
    vision.SetAllowGrayed(c.allowGrayed);
    vision.SetValueChecked(c.checked);
    vision.SetValueUnChecked(c.unchecked);
    vision.SetValueGrayed(c.grayed);
    h->Pump();
    for (std::size_t i = 0; i < c.after.size(); ++i) {
      if (i % 2) Click(); else Space();
      TField* f = table->FieldByName(c.field);
      EXPECT_EQ(f->IsNull() ? String("<null>") : f->AsString(), c.after[i]) << "press " << i + 1;
    }
    table->Post();
  }
}

TEST_F(CheckBoxVision, CancelledSwitchAndConversionFailure) {
  auto table = FlagTable();
  TCheckBoxVision vision(nullptr);
  vision.SetValueChecked("1");
  vision.SetValueUnChecked("0");
  Open(&vision, table.get(), "I");
  int afterPost = 0, setState = 0;
  vision.AfterPost = [&](TObject*, TgpFieldList*) { ++afterPost; };
  vision.OnSetState = [&](TObject*, TgpFieldList*, TcbvState&, bool& doPost) {
    ++setState;
    doPost = false;
  };
  Space();
  Click();
  EXPECT_EQ(setState, 2);
  EXPECT_EQ(afterPost, 0);
  EXPECT_TRUE(table->FieldByName("I")->IsNull());
  EXPECT_FALSE(table->Modified()) << "a switch not posted leaves the record unmodified";

  vision.OnSetState = [](TObject*, TgpFieldList*, TcbvState& state, bool&) { state = cbvUnChecked; };
  Space();
  EXPECT_EQ(table->FieldByName("I")->AsString(), "0") << "the handler chose the state";
  vision.OnSetState = nullptr;

  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  vision.SetValueChecked("yes");
  Space();
  EXPECT_EQ(errors.size(), 1u) << "a value the field cannot take surfaces";
  EXPECT_EQ(table->FieldByName("I")->AsString(), "0") << "and the field keeps its value";
  vision.SetValueChecked("1");
  Space();
  EXPECT_EQ(table->FieldByName("I")->AsString(), "1") << "the next valid switch works";
  Application->OnException = nullptr;

  vision.SetReadOnly(true);
  Space();
  EXPECT_EQ(table->FieldByName("I")->AsString(), "1") << "read-only: nothing changes";
}

// The three SQLite columns a flag is found in, written and read back through the file.
TEST_F(CheckBoxVision, SqliteFlagColumns) {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE f (id INTEGER PRIMARY KEY, b BOOL, i INTEGER, t TEXT)");
    db.Execute("INSERT INTO f VALUES (1, 0, 0, 'N')");
  }
  TGridSqliteDataSet table;
  table.SetFileName(path);
  table.SetTableName("f");
  table.Open();
  TCheckBoxVision vision(nullptr);
  Open(&vision, &table, "b");
  for (const char* field : {"b", "i", "t"}) {
    SCOPED_TRACE(field);
    edit->SetDataField(field);
    vision.SetValueChecked(std::string(field) == "t" ? "Y" : "1");
    vision.SetValueUnChecked(std::string(field) == "t" ? "N" : "0");
    EXPECT_EQ(vision.GetState(edit->Fields()), cbvUnChecked);
    Space();
    table.Post();
    table.Refresh();
    EXPECT_EQ(vision.GetState(edit->Fields()), cbvChecked);
  }
  sqlite::TSqliteDatabase db(path);
  sqlite::TSqliteStatement row(db, "SELECT b || ',' || i || ',' || t FROM f");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.ColumnText(0), "1,1,Y");
}

// The box is drawn 13 pixels square, centred vertically, placed by the alignment; the flat
// style frames it in the button-shadow colour.
TEST_F(CheckBoxVision, BoxPlacementAndFrame) {
  auto table = FlagTable();
  TCheckBoxVision vision(nullptr);
  Open(&vision, table.get(), "B");
  TBitmap bitmap;
  bitmap.SetWidth(100);
  bitmap.SetHeight(21);
  TfvPainter painter(true);
  painter.Canvas = bitmap.Canvas();
  painter.CellRect = {0, 0, 100, 21};
  painter.ClientRect = {2, 0, 98, 21};
  painter.TextRect = painter.ClientRect;
  TvpCellAttrs attrs;
  painter.CellAttrs = &attrs;
  const TColor shadow = ColorToRGB(clBtnShadow);
  struct Case {
    TAlignment alignment;
    int left;
  } const cases[] = {{taLeftJustify, 3}, {taRightJustify, 84}, {taCenter, 2 + (96 - 13) / 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.left);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect({0, 0, 100, 21});
    edit->Fields().SetAlignment(c.alignment);
    painter.DefaultDrawing = true;
    vision.DrawState(edit->Fields(), painter, cbvChecked);
    EXPECT_FALSE(painter.DefaultDrawing);
    EXPECT_EQ(bitmap.Canvas()->Pixels(c.left, 4 + 6), shadow) << "left edge of the frame";
    EXPECT_EQ(bitmap.Canvas()->Pixels(c.left + 6, 4), shadow) << "top edge, (21 - 13) / 2 down";
    EXPECT_EQ(bitmap.Canvas()->Pixels(c.left - 1, 4 + 6), ColorToRGB(clWhite)) << "nothing left of the box";
  }
}

// In a grid: space and a click switch the current cell, the arrows leave it, a switch the
// handler does not post leaves the record unmodified.
TEST_F(CheckBoxVision, GridCellSwitchesByKeyAndClick) {
  auto table = FlagTable();
  table->Edit();
  table->FieldByName("B")->SetAsBoolean(false);
  table->Post();
  TCheckBoxVision vision(nullptr);
  TProbe* window = h->TopLevel(0, 0, 400, 200);
  TStandardDesigner designer(nullptr);
  source.SetDataSet(table.get());
  auto grid = std::make_unique<TDBDivoRud>(nullptr);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 0, 300, 150);
  grid->SetParent(window);
  for (const char* name : {"ID", "B", "T"}) grid->Columns()->Add()->SetFieldName(name);
  grid->Columns()->Items(1)->SetVision(&vision);
  grid->SetDataSource(&source);
  grid->SetFocus();
  grid->SetCol(1);
  h->Pump();
  TControl* focus = grid.get();
  auto space = [&] {
    focus = (grid->InplaceEditor() && grid->InplaceEditor()->Visible() ? static_cast<TControl*>(grid->InplaceEditor()) : grid.get());
    h->KeyDown(focus, VK_SPACE);
    h->Char(focus, U' ');
    h->KeyUp(focus, VK_SPACE);
  };
  space();
  EXPECT_TRUE(table->FieldByName("B")->AsBoolean());
  const TRect cell = grid->CellClientRect(grid->Columns()->Items(1), grid->CurrentRow(), false);
  h->Wait(600);
  h->Click(grid.get(), cell.Left + 3, cell.Top + 3);
  EXPECT_FALSE(table->FieldByName("B")->AsBoolean()) << "a click anywhere in the cell";
  h->MouseDown(grid.get(), cell.Left + 3, cell.Top + 3);
  h->MouseUp(grid.get(), cell.Left + 3, cell.Bottom + 60);
  EXPECT_FALSE(table->FieldByName("B")->AsBoolean()) << "released outside: no switch";
  table->Post();

  int afterPost = 0;
  vision.AfterPost = [&](TObject*, TgpFieldList*) { ++afterPost; };
  vision.OnSetState = [](TObject*, TgpFieldList*, TcbvState&, bool& doPost) { doPost = false; };
  space();
  EXPECT_FALSE(table->FieldByName("B")->AsBoolean());
  EXPECT_FALSE(table->Modified());
  EXPECT_EQ(afterPost, 0);

  focus = (grid->InplaceEditor() && grid->InplaceEditor()->Visible() ? static_cast<TControl*>(grid->InplaceEditor()) : grid.get());
  h->KeyDown(focus, VK_RIGHT);
  h->KeyUp(focus, VK_RIGHT);
  EXPECT_EQ(grid->Col(), 2) << "the arrows move between cells";
  grid->SetDataSource(nullptr);
}

// ---- Multi-state -------------------------------------------------------------------------

TEST(XStates, FindSwitchableNullStateNamesAndCopies) {
  TXStateVision vision(nullptr);
  TXStates* states = vision.States();
  const struct {
    const char* value;
    const char* text;
    bool switchable;
  } rows[] = {{"a", "Alpha", true}, {"b", "Beta", false}, {"c", "Gamma", true}};
  for (const auto& r : rows) {
    TXState* s = states->Add();
    s->SetFieldValue(r.value);
    s->SetDisplayText(r.text);
    s->SetSwitchable(r.switchable);
  }
  EXPECT_EQ(states->Find("b", false), states->Items(1));
  EXPECT_EQ(states->Find("B", false), nullptr) << "values compare exactly";
  EXPECT_EQ(states->Find("", true), nullptr);
  EXPECT_EQ(states->FindSwitchable(0), 2);
  EXPECT_EQ(states->FindSwitchable(1), 2);
  EXPECT_EQ(states->FindSwitchable(2), -1);
  EXPECT_EQ(states->FindSwitchable(-1), 0);

  EXPECT_EQ(states->Items(0)->DisplayName(), "a: Alpha");
  TXState* none = states->Add();
  EXPECT_EQ(none->DisplayName(), "(Empty)");
  none->SetDisplayText("Nothing");
  none->SetNullValue(true);
  EXPECT_EQ(none->DisplayName(), "NULL: Nothing");
  EXPECT_EQ(states->Find("", true), none);
  states->Items(0)->SetNullValue(true);
  EXPECT_FALSE(none->NullValue()) << "one null state at most";
  EXPECT_EQ(states->Items(0)->FieldValue(), "");
  states->Items(0)->SetFieldValue("a");
  EXPECT_FALSE(states->Items(0)->NullValue()) << "a value makes it a plain state again";

  TXStateVision copy(nullptr);
  copy.SetStates(states);
  ASSERT_EQ(copy.States()->Count(), 4);
  EXPECT_EQ(copy.States()->Items(2)->DisplayText(), "Gamma");
  EXPECT_FALSE(copy.States()->Items(1)->Switchable());
  copy.SetStates(copy.States());
  EXPECT_EQ(copy.States()->Count(), 4) << "assigned itself, nothing changes";
}

TEST(XStates, FormRoundTripKeepsStatesAndSwitchOptions) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* vision = new TXStateVision(owner.get());
  vision->SetName("States1");
  TXState* s = vision->States()->Add();
  s->SetFieldValue("1");
  s->SetDisplayText("One");
  s->SetImageIndex(2);
  s->SetPushedImageIndex(3);
  s->SetFontColor(clRed);
  s->SetFontStyle(TFontStyles{fsBold});
  s->SetInDropDownList(false);
  TXState* n = vision->States()->Add();
  n->SetNullValue(true);
  n->SetDisplayText("None");
  vision->SetSwitchKey(ShortCut(VK_SPACE, {ssCtrl}));
  vision->SetEnableSwitches(true);
  EXPECT_EQ(vision->SurfaceKind(), vskCustom) << "switching makes the surface custom";

  const String text = ComponentToText(vision);
  auto back = std::make_unique<TXStateVision>(nullptr);
  TextToComponent(text, back.get());
  EXPECT_EQ(ComponentToText(back.get()), text);
  ASSERT_EQ(back->States()->Count(), 2);
  EXPECT_EQ(back->States()->Items(0)->FontColor(), clRed);
  EXPECT_TRUE(back->States()->Items(1)->NullValue());
  EXPECT_TRUE(back->EnableSwitches());
  back->SetSurfaceKind(vskEdit);
  EXPECT_FALSE(back->EnableSwitches()) << "an edit surface does not switch";
}

class XStateVision : public SwitchFixture {
protected:
  void SetUp() override {
    SwitchFixture::SetUp();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
  }
  void TearDown() override {
    SwitchFixture::TearDown();
    while (DefaultPackStarts() > 0) StopDefaultPack();
  }
  // States 1 "One", 2 "Two" (not switchable), 3 "Three", and the null state "None".
  void AddStates(TXStateVision& vision) {
    const struct {
      const char* value;
      const char* text;
      bool switchable;
    } rows[] = {{"1", "One", true}, {"2", "Two", false}, {"3", "Three", true}};
    for (const auto& r : rows) {
      TXState* s = vision.States()->Add();
      s->SetFieldValue(r.value);
      s->SetDisplayText(r.text);
      s->SetSwitchable(r.switchable);
    }
    TXState* none = vision.States()->Add();
    none->SetNullValue(true);
    none->SetDisplayText("None");
    none->SetSwitchable(false);
  }
  String Stored(TDataSet& table, const char* field = "I") {
    TField* f = table.FieldByName(field);
    return f->IsNull() ? "<null>" : f->AsString();
  }
};

TEST_F(XStateVision, SwitchingCyclesTheSwitchableStates) {
  auto table = FlagTable();
  TXStateVision vision(nullptr);
  AddStates(vision);
  vision.SetEnableSwitches(true);
  Open(&vision, table.get(), "I");
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "None");
  const struct {
    Variant start;
    const char* after;
  } cases[] = {{Variant(1), "3"}, {Variant(3), "1"}, {Variant(2), "3"}, {Variant(9), "1"}, {Null(), "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start.IsNull() ? String("null") : c.start.AsString());
    table->Edit();
    table->FieldByName("I")->SetValue(c.start);
    table->Post();
    h->Pump();
    Space();
    EXPECT_EQ(Stored(*table), c.after);
    table->Post();
  }
  Click();
  EXPECT_EQ(Stored(*table), "3") << "a click anywhere switches";
  table->Post();

  vision.SetSwitchKey(ShortCut(VK_SPACE, {ssCtrl}));
  Space();
  EXPECT_EQ(Stored(*table), "3") << "plain space is not the short-cut";
  Space({ssCtrl});
  EXPECT_EQ(Stored(*table), "1");
  table->Post();
  vision.SetSwitchKey(0);
  Space({ssCtrl});
  Space();
  EXPECT_EQ(Stored(*table), "1") << "no short-cut, no key switching";

  vision.States()->Clear();
  Click();
  EXPECT_EQ(Stored(*table), "1") << "no state: nothing happens";
}

// A pick from the list and a typed completion post the state's value, never its text; the null
// state posts null, also into a text column, where an empty text would be a value.
TEST_F(XStateVision, PickAndCompletionPostValuesAndNull) {
  auto table = FlagTable();
  TXStateVision vision(nullptr);
  AddStates(vision);
  Open(&vision, table.get(), "T");
  TDataListLayout layout;
  ASSERT_TRUE(vision.DL_DropDownLayout(150, layout));
  EXPECT_EQ(layout.UniqueFields, "FieldValue");
  EXPECT_EQ(layout.FieldNames, "DisplayText");
  EXPECT_EQ(layout.ImageField, "ImageIndex");

  TDataSource* own = vision.DL_EditDataSource(edit->Fields());
  ASSERT_TRUE(own && own->DataSet() && own->DataSet()->Active()) << "the editor lists the states";
  EXPECT_EQ(own->DataSet()->RecordCount(), 4);
  Type(U"thr");
  EXPECT_EQ(edit->Text(), "Three") << "completed from the states";
  Enter();
  EXPECT_EQ(Stored(*table, "T"), "3");
  table->Post();

  edit->DropDownBtnClick(false);
  ASSERT_NE(edit->ToolForm(), nullptr);
  TDataSet* list = zvDefPack->gpDataListList->DataSet();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->FieldByName("DisplayText")->AsString(), "Three") << "the current state is marked";
  h->KeyDown(edit, VK_DOWN);
  h->KeyUp(edit, VK_DOWN);
  EXPECT_EQ(list->FieldByName("DisplayText")->AsString(), "None");
  Enter();
  EXPECT_EQ(Stored(*table, "T"), "<null>") << "the null state posts null, not an empty text";

  // The list is the editor's own pair: one that lost the focus and got it back lists anew.
  TDBDevidEdit* other = new TDBDevidEdit(form.get());
  other->SetBounds(10, 40, 150, 21);
  other->SetParent(form.get());
  other->SetFocus();
  h->Pump();
  edit->SetFocus();
  h->Pump();
  Type(U"on");
  Enter();
  EXPECT_EQ(Stored(*table, "T"), "1");
}

}  // namespace
}  // namespace zvtest
