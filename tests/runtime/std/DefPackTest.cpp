// The default pack on the headless backend: start-up and shutdown, the stored parts, the column
// batch, the list drop-down and the calculator drop-down under a stand-alone edit control over
// the memory table (ID 1..3, NAME "Name001"...), and the colour picker's texts and postings.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/controls/Dialogs.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/Exceptions.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ScreenRoutines.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/env/Env.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/StdDesigners.h"

#include "DataListBehaviour.h"
#include "HarnessTest.h"
#include "IdleScript.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

// A published property of a pack part as the form text writes it; "a.b" reads b of the
// object property a.
String PropText(TObject* object, const String& path) {
  const auto dot = path.find('.');
  if (dot != String::npos) return PropText(GetObjectProp(object, path.substr(0, dot)), path.substr(dot + 1));
  const TPropInfo* p = GetPropInfo(object, path);
  if (!p) return "<none>";
  switch (p->PropType->Kind) {
    case tkEnumeration: return GetEnumProp(object, path);
    case tkSet: return GetSetProp(object, path);
    case tkString:
    case tkLString:
    case tkWString: return GetStrProp(object, path);
    case tkClass: {
      auto* c = dynamic_cast<TComponent*>(GetObjectProp(object, path));
      return c ? c->Name() : "nil";
    }
    case tkMethod: {
      const TMethod m = GetMethodProp(object, p);
      return m.Code ? MethodName(zvDefPack->ClassType(), static_cast<const TMethodInfo*>(m.Code)) : "nil";
    }
    default: {
      String ident;
      const std::int64_t v = GetOrdProp(object, p);
      if (p->PropType->IntToIdent && p->PropType->IntToIdent(static_cast<int>(v), ident)) return ident;
      return std::to_string(v);
    }
  }
}

class DefPack : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    // A pack of this test's backend.
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
    ASSERT_NE(zvDefPack, nullptr);
    pack = zvDefPack;
  }
  void TearDown() override {
    form.reset();
    source.reset();
    data.reset();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    THarnessTest::TearDown();
  }
  // A shown form with an editor on NAME of a three-record memory table under vision.
  void MakeEditor(TvpFieldVision* vision, const char* field = "NAME", std::unique_ptr<TDataSet> table = {}) {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    data = table ? std::move(table) : CreateGridMemTable(3);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(data.get());
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision);
    edit->SetDataSource(source.get());
    edit->SetDataField(field);
    h->Pump();
    edit->SetFocus();
    h->Pump();
  }
  String Name() const { return data->FieldByName("NAME")->AsString(); }

  TzvDefPack* pack = nullptr;
  std::unique_ptr<TForm> form;
  std::unique_ptr<TDataSet> data;
  std::unique_ptr<TDataSource> source;
  TDBDevidEdit* edit = nullptr;
};

TEST_F(DefPack, StartsNestedOwnedByTheApplicationAndStopsEitherWay) {
  TgpDesigner* designer = DefaultDesigner();
  EXPECT_NE(dynamic_cast<TStandardDesigner*>(designer), nullptr);
  EXPECT_NE(dynamic_cast<TLiteVision*>(DefaultVision()), nullptr);
  EXPECT_EQ(pack->Owner(), Application.operator->());
  EXPECT_EQ(FindGlobalComponent("zvDefPack"), pack);
  StartDefaultPack();
  EXPECT_EQ(zvDefPack, pack) << "a nested start creates nothing";
  StopDefaultPack();
  EXPECT_EQ(zvDefPack, pack) << "only the outermost stop frees";
  // The application frees the pack first: the shutdown still frees the defaults, in reverse.
  delete pack;
  EXPECT_EQ(zvDefPack, nullptr);
  EXPECT_EQ(FindGlobalComponent("zvDefPack"), nullptr);
  StopDefaultPack();
  EXPECT_EQ(DefaultVision(), nullptr);
  EXPECT_NE(DefaultDesigner(), designer) << "the designer before the start is back";
  StartDefaultPack();
  ASSERT_NE(zvDefPack, nullptr);
  pack = zvDefPack;
  StopDefaultPack();
  EXPECT_EQ(zvDefPack, nullptr);
  StartDefaultPack();
}

TEST_F(DefPack, TheBlobMenusShowTheEnvironmentsEditActionGlyphs) {
  ASSERT_NE(zvEnv, nullptr) << "the environment starts before the pack";
  for (TPopupMenu* menu : {pack->BlobContextMenu, pack->PictureContextMenu}) {
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Images(), zvEnv->ToolbarImages) << menu->Name();
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      const TMenuItem* item = menu->Items()->Items(i);
      if (item->Tag() > 0) { EXPECT_EQ(item->ImageIndex(), item->Tag() - 1) << item->Name(); }
    }
  }
}

TEST_F(DefPack, EveryPartHoldsItsStoredProperties) {
  // Part, then "Property=value" pairs as the form text stores them.
  const std::pair<const char*, const char*> cases[] = {
      {"zvDefPack", "Caption=;Width=664;Height=340;Font.Name=MS Sans Serif;Font.Height=-11"},
      {"vtfDataList",
       "Tag=2;Width=169;Height=36;DataGrid=gpDataListList;OnShow=DataListShow;"
       "OnClose=DataListClose;OnSizing=DataListSizing;OnKeyDown=DataListKeyDown"},
      {"gpDataListList",
       "Tag=2;Align=alClient;ParentColor=False;TabStop=True;BorderStyle=bsNoBorder;"
       "AutoColumnFit=True;UniqueFields=_Key;ShowTitles=False;HideSelection=False;"
       "OptionsVisual=[gvoNoEndEllipsis];OptionsBehavior=[gboSmartSizing];"
       "OptionsPickup=[gpoReturnKey,gpoClick,gpoMouseTrack,gpoCaptureRecord];"
       "ReadOnly=True;CursorType=gctInsensitiveID;Designer=dsgDataList"},
      {"vtfCalendar", "Width=169;Height=89;Options=[tfoFocusable,tfoFixedWidth,tfoFixedHeight]"},
      {"vtfBlobPicker", "Height=105;ActiveControl=pnBlobPickerBG;Options=[tfoFocusable,tfoNoAutoPost]"},
      {"pnBlobPickerCtrl", "Align=alBottom;Height=32"},
      {"bvBlobPickerBevel", "Shape=bsBottomLine;Style=bsRaised"},
      {"pnBlobPickerCtrl2", "Width=136;Align=alRight"},
      {"btnBlobPickerOK", "Default=True"},
      {"btnBlobPickerCancel", "ModalResult=2;Left=72"},
      {"pnBlobPickerBG", "Color=clWindow;FullRepaint=False"},
      {"vtfCalculator",
       "Width=204;Height=144;Color=clBtnFace;"
       "Options=[tfoFocusable,tfoFixedWidth,tfoFixedHeight];OnPaint=CalcPaint;OnShow=CalcShow;"
       "OnClose=CalcClose;OnKeyDown=CalcKeyDown;OnKeyPress=CalcKeyPress"},
      {"pnCalcMemory",
       "Width=84;Alignment=taLeftJustify;BevelOuter=bvLowered;Font.Name=Tahoma;"
       "Font.Color=clGrayText"},
      {"cbtnBS", "Left=96;Width=32"},
      {"cbtnC", "Left=168"},
      {"cbtnSqrt", "Caption="},
      {"cbtnPerc", "Top=60"},
      {"cbtn1DivX", "Caption=1/x"},
      {"cbtnMPlus", "Top=116"},
      {"cbtnEqu", "Left=172;Flat=True;OnClick=CalcButtonClick"},
      {"DsgnListNormal", "HiddenSelection=clNone;VertLines=clSilver;HorizLines=clSilver"},
      {"DsgnListFlat", "HiddenSelection=clNone;VertLines=clSilver;HorizLines=clSilver;TitleStyle=ltsFlat"},
      {"DsgnViewSimple",
       "FocusRectKind=frcNone;CellMargins.TopMargin=1;CellMargins.BottomMargin=1;HiddenSelection=clNone;"
       "SelectedCellFill=False;VertLines=clSilver;HorizLines=clSilver;ShowLines=False"},
      {"DsgnList", "CellMargins.TopMargin=1;CellMargins.BottomMargin=1;VertLines=clSilver;ShowLines=False"},
      {"DsgnListActive",
       "FocusRectKind=frcPersistentRow;CellMargins.TopMargin=1;SelectedRowFill=True;HorizLines=clSilver;"
       "CellSeparator=clNone;ShowLines=False"},
      {"DsgnListClassic", "VertLines=clSilver;HorizLines=clSilver"},
      {"dsgDataList",
       "Tag=-1;FocusRectKind=frcNone;CellMargins.TopMargin=1;CellMargins.BottomMargin=1;SelectedCellFill=False;"
       "SelectedRowFill=True;VertLines=clSilver;HorizLines=clNone;ShowLastLine=False"},
      {"TitleSurface", "ReadOnly=True;OnDraw=TitleSurfaceDraw"},
      {"ColorPicker",
       "Alignment=talLeftJustify;Images=NullImageList;SkipCharValidation=True;"
       "BeforePost=ColorPickerBeforePost;OnDblClick=ColorPickerDblClick;OnGetText=ColorPickerGetText;"
       "OnDraw=ColorPickerDraw;OnDrawEdit=ColorPickerDrawEdit"},
      {"visImagedText", "Tag=-1;OnDraw=ImagedTextDraw"},
      {"NullImageList", "Width=16;Height=16"},
      {"miBlobPreview", "Tag=7;ImageIndex=6"},
      {"miPictSaveTo", "Caption=Save to..."},
      {"miPictSep2", "Caption=-"},
  };

  for (const auto& [name, pairs] : cases) {
    TComponent* part = String(name) == "zvDefPack" ? pack : pack->FindComponent(name);
    ASSERT_NE(part, nullptr) << name;
    for (std::string_view pair : lioSplit(pairs)) {
      const auto eq = pair.find('=');
      const String prop(pair.substr(0, eq));
      EXPECT_EQ(PropText(part, prop), pair.substr(eq + 1)) << name << "." << prop;
    }
  }
  // The calculator's keys: 27, one for each key of the engine.
  std::set<std::int64_t> sent;
  for (int i = 0; i < pack->vtfCalculator->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TSpeedButton*>(pack->vtfCalculator->Controls(i))) sent.insert(b->Tag());
  EXPECT_EQ(sent.size(), 27u);
  EXPECT_EQ(*sent.rbegin(), cbtnBS);
  EXPECT_FALSE(pack->CalcButton(cbtnSqrt)->Glyph()->Empty());
  EXPECT_EQ(pack->ColorPicker->PickList()->Strings(0), "clBlack");
  EXPECT_EQ(pack->ColorPicker->PickList()->Count(), 52);
}

TEST_F(DefPack, StoredFormsReferToPackPartsByDottedNames) {
  TForm stored(nullptr);
  TextToComponent(R"(object Stored: TForm
  object Grid: TDBDivoRud
    Designer = zvDefPack.DsgnListFlat
    Columns = <
      item
        FieldName = 'ID'
        Vision = zvDefPack.ColorPicker
      end>
  end
end
)",
                  &stored);
  auto* grid = dynamic_cast<TDBDivoRud*>(stored.FindComponent("Grid"));
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->Designer(), pack->FindComponent("DsgnListFlat"));
  EXPECT_EQ(grid->Columns()->Items(0)->Vision(), pack->ColorPicker);
  const String text = ComponentToText(&stored);
  EXPECT_NE(text.find("Designer = zvDefPack.DsgnListFlat"), String::npos) << text;
  EXPECT_NE(text.find("Vision = zvDefPack.ColorPicker"), String::npos) << text;
}

TEST_F(DefPack, DescriptionsAndCaptionsFollowTheMessageTable) {
  TMessageTable table = DefaultMessageTable();
  table[SfvdTitleSurface.Id] = "Titelfläche";
  table[SCutAction.Id] = "Ausschneiden";
  table.erase(SPreviewAction.Id);
  ReplaceMessageTable(table);
  StopDefaultPack();
  StartDefaultPack();
  pack = zvDefPack;
  RestoreDefaultMessageTable();
  EXPECT_EQ(pack->TitleSurface->Description(), "Titelfläche");
  EXPECT_EQ(PropText(pack->FindComponent("miPictCut"), "Caption"), "Ausschneiden");
  EXPECT_EQ(PropText(pack->FindComponent("miBlobPreview"), "Caption"), "Preview") << "a missing text stays English";
}

// Columns and an editor without visions: the field's own text, edited in place; a grid without a
// designer paints with the default one.
TEST_F(DefPack, WithoutAVisionEveryFieldTypeShowsAndEditsItsOwnText) {
  auto owned = std::make_unique<TMemTable>(nullptr);
  TMemTable* table = owned.get();
  const struct {
    const char* Name;
    TFieldType Type;
    Variant Stored;
    String Typed;
  } cases[] = {
      {"S", ftString, Variant("abc"), "xyz"},
      {"I", ftInteger, Variant(7), "42"},
      {"F", ftFloat, Variant(1.25), "2.5"},
      {"D", ftDate, Variant(EncodeDate(2003, 2, 1)), DateToStr(EncodeDate(2004, 5, 6))},
      {"T", ftTime, Variant(EncodeTime(10, 20, 30, 0)), TimeToStr(EncodeTime(11, 22, 33, 0))},
      {"B", ftBoolean, Variant(true), "False"},
  };
  std::vector<Variant> values;
  for (const auto& c : cases) {
    table->FieldDefs().Add(c.Name, c.Type, c.Type == ftString ? 20 : 0);
    values.push_back(c.Stored);
  }
  table->CreateDataSet();
  table->AppendRecord(values);
  table->First();
  MakeEditor(nullptr, "S", std::move(owned));
  auto* grid = new TDBDivoRud(form.get());
  grid->SetBounds(10, 60, 380, 120);
  grid->SetParent(form.get());
  for (const auto& c : cases) grid->Columns()->Add()->SetFieldName(c.Name);
  grid->SetDataSource(source.get());
  EXPECT_EQ(grid->EffectiveDesigner(), DefaultDesigner());
  grid->SetFocus();
  h->Pump();
  for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.Name);
    TField* field = table->FieldByName(c.Name);
    TgpFieldList* fields = grid->Columns()->Items(i)->FieldList();
    EXPECT_EQ(fields->Vision(), DefaultVision());
    EXPECT_EQ(DefaultVision()->GetText(*fields, true), field->DisplayText());
    grid->SetCol(i);
    h->KeyDown(grid, VK_F1 + 1);
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Visible());
    for (char32_t ch : std::u32string(c.Typed.begin(), c.Typed.end())) h->Char(grid->InplaceEditor(), ch);
    h->KeyDown(grid->InplaceEditor(), VK_RETURN);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(field->AsString(), c.Typed) << "posted";
  }
  grid->PostChanges();
  // The stand-alone editor on the string field.
  EXPECT_EQ(edit->Fields().Vision(), DefaultVision());
  EXPECT_EQ(edit->Text(), "xyz");
  edit->SetFocus();
  h->Pump();
  edit->SelectAll();
  for (char32_t ch : std::u32string(U"new")) h->Char(edit, ch);
  h->KeyDown(edit, VK_RETURN);
  EXPECT_EQ(table->FieldByName("S")->AsString(), "new");
}

TEST(DefPackBatch, ColumnsFromNamesAndWidths) {
  const struct {
    const char* Names;
    const char* Widths;
    std::vector<std::pair<std::string, int>> Expected;
  } cases[] = {
      {"A;B;C", "10;20;30", {{"A", 10}, {"B", 20}, {"C", 30}}},
      {"A;B;C", "10", {{"A", 10}, {"B", 99}, {"C", 99}}},
      {"A;B;C;D", "x;0;-4;7", {{"A", 99}, {"B", 99}, {"C", 99}, {"D", 7}}},
      {"", "10", {}},
  };
  for (const auto& c : cases) {
    TDBDivoRud grid(nullptr);
    TzvDefPack::AddBatch(grid.Columns(), c.Names, 99, c.Widths);
    std::vector<std::pair<std::string, int>> got;
    for (int i = 0; i < grid.Columns()->Count(); ++i)
      got.emplace_back(grid.Columns()->Items(i)->FieldName(), grid.Columns()->Items(i)->Width());
    EXPECT_EQ(got, c.Expected) << c.Names << " / " << c.Widths;
  }
}

INSTANTIATE_TEST_SUITE_P(Null, DataListBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

// ---- The calculator drop-down ----------------------------------------------------------------------

class CalcDropDown : public DefPack {
protected:
  void SetUp() override {
    DefPack::SetUp();
    vision = std::make_unique<TToolFormVision>(nullptr);
    vision->SetDropDown(pack->vtfCalculator);
    MakeEditor(vision.get());
  }
  void TearDown() override {
    DefPack::TearDown();
    vision.reset();
  }
  // Opens the calculator on text and runs steps inside its loop; the loop's end closes it.
  void Run(const String& text, std::vector<std::function<void()>> steps) {
    edit->SetDataText(text, true);
    TIdleScript script(std::move(steps));
    edit->DropDownBtnClick(false);
    EXPECT_FALSE(script.GaveUp);
  }
  TSpeedButton* Key(TvpCalcButton key) { return pack->CalcButton(key); }
  std::function<void()> Click(TvpCalcButton key) {
    return [this, key] { h->Click(Key(key), 5, 5); };
  }
  std::function<void()> Press(int key) {
    return [this, key] { h->KeyDown(pack->vtfCalculator, key); };
  }
  std::function<void()> Type(char32_t c) {
    return [this, c] { h->Char(pack->vtfCalculator, c); };
  }
  std::function<void()> Held() {
    return [this] { h->Wait(TzvDefPack::CalcPressTime); };
  }
  std::function<void()> Expect(const String& text) {
    return [this, text] { EXPECT_EQ(edit->Text(), text); };
  }
  std::function<void()> Close(Word key) {
    return [this, key] { h->KeyDown(pack->vtfCalculator, key); };
  }
  std::unique_ptr<TToolFormVision> vision;
};

TEST_F(CalcDropDown, SequencesByMouseAndByBothKeyBlocksShowInTheEditor) {
  // By mouse: 12 + 3 = shows 15; Enter after a clicked "=" accepts it.
  Run("", {Click(cbtnOne), Click(cbtnTwo), Click(cbtnPlus), Click(cbtnThree), Expect("3"), Click(cbtnEqu),
           Expect("15"), Close(VK_RETURN)});
  EXPECT_EQ(Name(), "15");
  EXPECT_EQ(edit->ToolForm(), nullptr);
  // The main block's digits and typed operators; Enter presses "=" first, then accepts.
  Run("", {Press('4'), Held(), Type(U'*'), Held(), Press('5'), Held(), Expect("5"), Press(VK_RETURN), Held(),
           Expect("20"), Close(VK_RETURN)});
  EXPECT_EQ(Name(), "20");
  // The numeric pad, from the editor's text.
  Run("7", {Press(VK_ADD), Held(), Press(VK_NUMPAD0 + 3), Held(), Press(VK_DECIMAL), Held(), Press(VK_NUMPAD0 + 5), Held(),
            Press(VK_SUBTRACT), Held(), Expect("10.5"), Press(VK_NUMPAD0 + 1), Held(), Type(U'='), Held(), Expect("9.5"),
            Close(VK_RETURN)});
  EXPECT_EQ(Name(), "9.5");
}

TEST_F(CalcDropDown, KeysAreHeldThenClickedAndQueuedKeysWaitTheirTurn) {
  Run("", {Press('7'),
           [this] {
             EXPECT_EQ(Key(cbtnSeven)->State(), bsDown);
             EXPECT_EQ(edit->Text(), "") << "clicked only once released";
           },
           Held(),
           [this] {
             EXPECT_EQ(Key(cbtnSeven)->State(), bsUp);
             EXPECT_EQ(edit->Text(), "7");
           },
           // Typed faster than handled: everything queued before the first is handled.
           [this] {
             h->PumpAfterInput = false;
             for (Word k : {Word('1'), Word(VK_ADD), Word('2'), Word(VK_RETURN)}) h->KeyDown(pack->vtfCalculator, k);
             h->PumpAfterInput = true;
             h->Pump();
           },
           Held(), Held(), Held(), Held(), Expect("73"), Close(VK_ESCAPE)});
  EXPECT_EQ(Name(), "Name001") << "Escape posts nothing";
}

TEST_F(CalcDropDown, ErrorsShowThePromptAndCloseBackToTheOpeningText) {
  Run("8", {Click(cbtnDiv), Click(cbtnZero), Click(cbtnEqu),
            [this] {
              EXPECT_EQ(edit->Text(), "Error");
              EXPECT_EQ(edit->SelLength(), 0);
            },
            Close(VK_ESCAPE)});
  EXPECT_EQ(edit->Text(), "8");
  EXPECT_EQ(edit->SelLength(), 1);
  // Text that is no number: the calculator does not open and nothing changes.
  edit->SetDataText("abc", true);
  EXPECT_THROW(edit->DropDownBtnClick(false), EConvertError);
  EXPECT_EQ(edit->ToolForm(), nullptr);
  EXPECT_EQ(edit->Text(), "abc");
}

TEST_F(CalcDropDown, MemoryKeysColoursAndSeparator) {
  Run("42", {[this] {
               EXPECT_FALSE(Key(cbtnMR)->Enabled());
               EXPECT_EQ(Key(cbtnPoint)->Caption(), ".");
               EXPECT_EQ(Key(cbtnBS)->Font()->Color(), clMaroon);
               EXPECT_EQ(Key(cbtnMS)->Font()->Color(), clRed);
               EXPECT_EQ(Key(cbtnFive)->Font()->Color(), clBlue);
               EXPECT_EQ(Key(cbtnEqu)->Font()->Color(), clRed);
               EXPECT_EQ(Key(cbtnSqrt)->Font()->Color(), clNavy);
             },
             Click(cbtnMS),
             [this] {
               EXPECT_TRUE(Key(cbtnMR)->Enabled()) << "at once after MS";
               EXPECT_EQ(pack->pnCalcMemory->Caption(), " 42");
             },
             Click(cbtnC), Click(cbtnMR), Expect("42"), Close(VK_ESCAPE)});
  Run("1", {[this] { EXPECT_TRUE(Key(cbtnMC)->Enabled()) << "across openings"; }, Click(cbtnMC),
            [this] { EXPECT_FALSE(Key(cbtnMR)->Enabled()); }, Close(VK_ESCAPE)});
}

// ---- The colour picker -----------------------------------------------------------------------------

TEST_F(DefPack, ColorPickerTextsAndPostings) {
  MakeEditor(pack->ColorPicker, "ID");
  TField* id = data->FieldByName("ID");
  TgpFieldList& fields = edit->Fields();
  const struct {
    const char* Posted;
    std::int64_t Stored;
    const char* Shown;
  } cases[] = {
      {"", 536870911, "clNone"},
      {"clRed", 255, "clRed"},
      {"255", 255, "clRed"},
      {"$FF0000", 0xFF0000, "clBlue"},
      {"123456", 123456, "$0001E240"},
  };
  for (const auto& c : cases) {
    data->Edit();
    TgpFieldValue value;
    value.SetAsString(c.Posted);
    bool posted = false;
    pack->ColorPickerBeforePost(pack->ColorPicker, &fields, &value, posted);
    EXPECT_TRUE(posted) << c.Posted;
    EXPECT_EQ(id->AsInteger(), c.Stored) << c.Posted;
    EXPECT_EQ(pack->ColorPicker->GetText(fields, true), c.Shown) << c.Posted;
  }
  TgpFieldValue bad;
  bad.SetAsString("reddish");
  bool posted = false;
  EXPECT_THROW(pack->ColorPickerBeforePost(pack->ColorPicker, &fields, &bad, posted), EConvertError);
  EXPECT_EQ(id->AsInteger(), 123456);
  id->Clear();
  EXPECT_EQ(pack->ColorPicker->GetText(fields, true), "") << "a null field shows no colour";
  data->Post();

  // A double click asks the colour dialog, preset with the field's colour.
  for (TModalResult answer : {mrCancel, mrOk}) {
    data->Edit();
    id->SetAsInteger(clGreen);
    data->Post();
    TColor asked = clNone;
    const TDialogResponder before = SetDialogResponder([&](TDialogRequest& request) {
      asked = request.Color;
      request.Color = clFuchsia;
      return answer;
    });
    pack->ColorPicker->PE_DblClick(*edit);
    SetDialogResponder(before);
    EXPECT_EQ(asked, clGreen);
    EXPECT_EQ(id->AsInteger(), answer == mrOk ? clFuchsia : clGreen) << answer;
  }
  data->Cancel();
}

}  // namespace
}  // namespace zvtest
