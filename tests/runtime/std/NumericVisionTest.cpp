// The numeric vision on the headless backend over a memory table with a float (F), a currency
// (C), an integer (I) and a BCD (B) field: formats, parsing with its messages and range, the
// spin through the edit control, its button and the grid's in-place editor, the drop-down
// kinds, streaming, the pack's stock visions, and the separators of other locales.
#include "tests/runtime/std/NumericVisionFixture.h"

#include "platform/classes/DataModule.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVisionConsumer.h"

namespace zvtest {
namespace {

TEST_F(NumericFixture, FormatsHostBeatsVisionThenFieldTextCurrencyOrPrecision) {
  struct Case {
    const char* Field;
    const char* HostDisplay;
    const char* HostEdit;
    const char* VisionDisplay;
    const char* VisionEdit;
    String Display, Edit;
    long double Value;   // for the display of a value not in the field (footers)
    String Formatted;    // display form of Value
    String EditOfValue;  // edit form of Value (what the spin writes)
  } const cases[] = {
      // Without formats the field's own texts; a value not in the field in the general form at
      // the field's precision (15 for floats, 18 for integers and BCD without one).
      {"F", "", "", "", "", "1234.5", "1234.5", 1234567890123456.0L, "1.23456789012346E15", "1.23456789012346E15"},
      {"I", "", "", "", "", "42", "42", 1234567890123456.0L, "1234567890123456", "1234567890123456"},
      {"I", "", "", "", "", "42", "42", 2147483647.0L, "2147483647", "2147483647"},
      {"B", "", "", "", "", "12.25", "12.25", 1234567890123456.0L, "1234567890123456", "1234567890123456"},
      // Money: the currency format for display, fixed for editing, with the host's decimals.
      {"C", "", "", "", "", "$1,234.50", "1234.50", 1234.5L, "$1,234.50", "1234.50"},
      // The vision's formats, each for its own purpose.
      {"F", "", "", "0.00,", "0.0000", "1,234.50", "1234.5000", 0.5L, "0.50", "0.5000"},
      // The host's formats win over the vision's.
      {"F", "0.000", "#", "0.00,", "0.0000", "1234.500", "1235", 2.5L, "2.500", "3"},
      {"C", "0.0", "", "", "", "1234.5", "1234.50", 3.0L, "3.0", "3.00"},
  };
  TNumericVision vision(nullptr);
  Open(&vision, "F");
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Field) + " host '" + c.HostDisplay + "'/'" + c.HostEdit + "' vision '" + c.VisionDisplay +
                 "'/'" + c.VisionEdit + "'");
    edit->SetDataField(c.Field);
    edit->SetDisplayFormat(c.HostDisplay);
    edit->SetEditFormat(c.HostEdit);
    vision.SetDisplayFormat(c.VisionDisplay);
    vision.SetEditFormat(c.VisionEdit);
    TgpFieldList& fields = edit->Fields();
    EXPECT_EQ(vision.GetText(fields, true), c.Display);
    EXPECT_EQ(vision.GetText(fields, false), c.Edit);
    EXPECT_EQ(vision.AutoSearchText(fields), c.Edit) << "search compares the edit form";
    TvpUniValue value;
    value.SetAsFloat(static_cast<double>(c.Value));
    EXPECT_EQ(vision.GetFormattedValue(fields, value), c.Formatted);
    EXPECT_EQ(vision.GetFormattedText(fields, false, c.Value, false), c.EditOfValue);
    EXPECT_EQ(vision.DefaultAlignment(fields), taRightJustify);
  }
  edit->SetDisplayFormat("");
  edit->SetEditFormat("");
  // A null field shows nothing, whatever the format.
  table->Edit();
  table->FieldByName("F")->Clear();
  edit->SetDataField("F");
  vision.SetDisplayFormat("0.00");
  EXPECT_EQ(vision.GetText(edit->Fields(), true), "");
  table->Cancel();
}

// Counts the repaints a vision asks of its consumer.
class TCountingHost : public IvpFieldVisionConsumer {
public:
  int Invalidations = 0;
  TComponent* GetComponent() override { return nullptr; }
  bool CanModify() override { return true; }
  bool DoBeforeEdit() override { return true; }
  void DoBeginEdit() override {}
  void DoAfterPost() override {}
  bool UpdateVisualAttrs() override { return false; }
  void UpdatePopupMenu() override {}
  void VisionChanged(TvpFieldVision*) override {}
  void UpdateFields() override {}
  void ValidateFields() override {}
  void Invalidate() override { ++Invalidations; }
  void UpdateHeight() override {}
  void UpdateEditButton() override {}
  void RecreateEditor() override {}
};

TEST_F(NumericFixture, ADisplayFormatChangeRepaintsEveryConsumer) {
  TNumericVision vision(nullptr);
  TCountingHost first, second;
  TgpFieldList a(nullptr, fhtColumn, &first), b(nullptr, fhtColumn, &second);
  a.SetVision(&vision);
  b.SetVision(&vision);
  vision.SetDisplayFormat("0.0");
  vision.SetDisplayFormat("0.0");
  vision.SetEditFormat("0.00");
  EXPECT_EQ(first.Invalidations, 1);
  EXPECT_EQ(second.Invalidations, 1);
}

TEST_F(NumericFixture, WithoutAMainFieldTheValueComesFromTheHandler) {
  TNumericVision vision(nullptr);
  Open(&vision, "NOFIELD");
  TgpFieldList& fields = edit->Fields();
  bool valid = false;
  vision.VM_ValidFields(fields, valid);
  EXPECT_TRUE(valid) << "a missing main field is valid";
  EXPECT_EQ(vision.GetText(fields, true), "") << "no handler: null";
  long double supplied = 2.5L;
  bool null = false;
  vision.OnGetValue = [&](TObject*, TgpFieldList*, long double& value, bool& isNull) {
    EXPECT_FALSE(isNull) << "starts not null";
    value = supplied;
    isNull = null;
  };
  EXPECT_EQ(vision.GetText(fields, true), "2.5");
  vision.SetDisplayFormat("0.00");
  EXPECT_EQ(vision.GetText(fields, true), "2.50");
  EXPECT_EQ(vision.GetText(fields, false), "2.5") << "the general form without an edit format";
  // The editor's value: a float from the handler, untouched.
  edit->SetFocus();
  h->Pump();
  vision.PE_ResetEdit(*edit);
  EXPECT_EQ(edit->CurrentValue().DataType(), ftFloat);
  EXPECT_EQ(edit->CurrentValue().AsFloat(), 2.5);
  EXPECT_FALSE(edit->CurrentValue().Modified());
  EXPECT_FALSE(edit->CurrentValue().TextChanged());
  null = true;
  EXPECT_EQ(vision.GetText(fields, true), "");
  vision.PE_ResetEdit(*edit);
  EXPECT_TRUE(edit->CurrentValue().IsNull());
  edit->SetDataField("B");
  vision.PE_ResetEdit(*edit);
  EXPECT_EQ(edit->CurrentValue().DataType(), ftFloat) << "the field's value as a float";
  EXPECT_EQ(edit->CurrentValue().AsFloat(), 12.25);
  edit->SetDataField("NOFIELD");
  // Only numeric main fields are valid, and an empty field list never.
  const struct {
    const char* Names;
    bool Valid;
  } validity[] = {{"F", true}, {"I", true}, {"B", true}, {"C", true}, {"S", false}, {"", false}};
  for (const auto& v : validity) {
    edit->SetDataField(v.Names);
    vision.VM_ValidFields(edit->Fields(), valid);
    EXPECT_EQ(valid, v.Valid) << v.Names;
  }
}

TEST_F(NumericFixture, PostingParsesChecksTheRangeAndKeepsBadText) {
  const String blank = SENumericValueBlank;
  auto invalid = [](const String& s) { return Format(SEInvalidNumericValue, {s}); };
  struct Case {
    const char* Field;
    String Text;
    bool Nullable;
    long double Min, Max;
    String Message;  // empty: posts
    String Stored;   // the field's text afterwards, posted
  } const cases[] = {
      {"F", "", true, 0, 0, "", ""},
      {"F", "", false, 0, 0, blank, ""},
      {"F", "2.5", false, 0, 0, "", "2.5"},
      {"F", "-1e300", true, 0, 0, "", "-1E300"},
      {"F", "abc", true, 0, 0, invalid("abc"), ""},
      {"F", "1,234.5", true, 0, 0, invalid("1,234.5"), ""},
      {"F", "$5", true, 0, 0, invalid("$5"), ""},
      {"F", "NaN", true, 0, 0, invalid("NaN"), ""},
      {"F", "INF", true, 0, 0, invalid("INF"), ""},
      {"F", "-INF", true, 0, 0, invalid("-INF"), ""},
      {"F", "1e5000", true, 0, 0, invalid("1e5000"), ""},
      {"F", "1e400", true, 0, 0, invalid("1e400"), ""},
      {"F", "-", true, 0, 0, invalid("-"), ""},
      {"F", ".", true, 0, 0, invalid("."), ""},
      {"F", "100", true, 0, 100, "", "100"},
      {"F", "100.01", true, 0, 100, "\"100.01\" is out of range. The allowed range is 0 to 100", ""},
      {"F", "-0.5", true, 0, 100, "\"-0.5\" is out of range. The allowed range is 0 to 100", ""},
      {"F", "0.25", true, 0.1L, 0.3L, "", "0.25"},
      {"F", "7", true, 10, 5, "\"7\" is out of range. The allowed range is 10 to 5", ""},
      {"F", "", true, 10, 5, "", ""},
      {"I", "17", true, 0, 0, "", "17"},
      {"I", "1e10", true, 0, 0, invalid("1e10"), ""},
      {"I", "-2147483648", true, 0, 0, "", "-2147483648"},
      {"B", "1e20", true, 0, 0, invalid("1e20"), ""},
      {"C", "9.99", true, 0, 0, "", "9.99"},
      {"B", "3.25", true, 0, 0, "", "3.25"},
      {"B", "x", true, 0, 0, invalid("x"), ""},
  };
  TNumericVision vision(nullptr);
  Open(&vision, "F");
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Field) + " '" + c.Text + "'");
    vision.SetNullable(c.Nullable);
    vision.SetMinValue(c.Min);
    vision.SetMaxValue(c.Max);
    edit->SetDataField(c.Field);
    edit->SetFocus();
    h->Pump();
    TField* field = table->FieldByName(c.Field);
    const String before = field->Text();
    ASSERT_TRUE(edit->SetDataText(c.Text, true));
    if (c.Message.empty()) {
      EXPECT_TRUE(edit->PostField());
      EXPECT_EQ(field->Text(), c.Stored);
      EXPECT_EQ(field->IsNull(), c.Stored.empty());
    } else {
      String got;
      try {
        edit->PostField();
      } catch (const EZVError& e) {
        got = e.Message();
      }
      EXPECT_EQ(got, c.Message);
      EXPECT_EQ(field->Text(), before) << "the field keeps its value";
      EXPECT_EQ(edit->Text(), c.Text) << "the editor keeps the text";
      EXPECT_TRUE(edit->Fields().Modified());
      // A corrected text posts.
      edit->SetDataText("1", true);
      vision.SetMinValue(0);
      vision.SetMaxValue(0);
      EXPECT_TRUE(edit->PostField());
      EXPECT_EQ(field->AsFloat(), 1.0);
    }
    table->Post();
  }
}

// The spin of Up and Down keys, of the button's halves and of Ctrl+Up and Ctrl+Down in the
// grid: ranges jump, steps are not clipped, and nothing changes at a bound.
TEST_F(NumericFixture, SpinStepsJumpsIntoTheRangeAndStopsAtItsBounds) {
  enum Way { KeyUp, KeyDown, UpperHalf, LowerHalf, GridUp, GridDown };
  struct Case {
    Way By;
    const char* Field;
    String Text;
    long double Min, Max, Step;
    String Expected;  // the editor's text afterwards
  } const cases[] = {
      {KeyUp, "F", "", 0, 0, 1, "1"},
      {KeyDown, "F", "1.5", 0, 0, 0.25L, "1.25"},
      {UpperHalf, "F", "2", 5, 10, 1, "5"},
      {LowerHalf, "F", "12", 5, 10, 1, "10"},
      {KeyDown, "F", "5", 5, 10, 1, "5"},
      {UpperHalf, "F", "10", 5, 10, 1, "10"},
      {KeyUp, "F", "9.5", 5, 10, 1, "10.5"},
      {LowerHalf, "F", "5.5", 5, 10, 1, "4.5"},
      {KeyUp, "C", "1234.5", 0, 0, 1, "1235.50"},
      {KeyDown, "I", "0", 0, 0, 1, "-1"},
      {GridUp, "F", "3", 0, 0, 1, "4"},
      {GridDown, "F", "3", 0, 0, 1, "2"},
      {GridUp, "F", "10", 0, 10, 1, "10"},
  };
  TNumericVision vision(nullptr);
  vision.SetButtonStyle(pbsSpin);
  vision.SetEnableButton(true);
  Open(&vision, "F");
  auto* grid = new TDBDivoRud(form.get());
  grid->SetBounds(10, 60, 380, 120);
  grid->SetParent(form.get());
  for (const char* name : {"F", "C", "I"}) grid->Columns()->Add()->SetFieldName(name);
  grid->Columns()->Items(0)->SetVision(&vision);
  grid->SetDataSource(source.get());
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.Field) + " '" + c.Text + "' way " + std::to_string(c.By));
    vision.SetMinValue(c.Min);
    vision.SetMaxValue(c.Max);
    vision.SetStep(c.Step);
    TDBDevidEdit* editor = edit;
    if (c.By == GridUp || c.By == GridDown) {
      grid->SetFocus();
      grid->SetCol(0);
      h->KeyDown(grid, VK_F1 + 1);
      editor = grid->InplaceEditor();
      ASSERT_TRUE(editor && editor->Visible());
    } else {
      edit->SetDataField(c.Field);
      edit->SetFocus();
      h->Pump();
    }
    editor->SetDataText(c.Text, false);
    editor->SetSelStart(0);
    const TRect b = editor->ButtonRect();
    switch (c.By) {
      case KeyUp: h->KeyDown(editor, VK_UP); break;
      case KeyDown: h->KeyDown(editor, VK_DOWN); break;
      case UpperHalf: h->Click(editor, b.Left + 2, b.Top + 1); break;
      case LowerHalf: h->Click(editor, b.Left + 2, b.Bottom - 2); break;
      case GridUp: h->KeyDown(editor, VK_UP, {ssCtrl}); break;
      case GridDown: h->KeyDown(editor, VK_DOWN, {ssCtrl}); break;
    }
    EXPECT_EQ(editor->Text(), c.Expected);
    if (c.Expected != c.Text) EXPECT_EQ(editor->SelLength(), static_cast<int>(c.Expected.size())) << "all selected";
    else EXPECT_EQ(editor->SelLength(), 0) << "nothing written";
    if (editor != edit) h->KeyDown(editor, VK_ESCAPE);
  }
  // Text that is no number: the host's conversion error, the text unchanged.
  edit->SetFocus();
  h->Pump();
  edit->SetDataText("12a", false);
  String got;
  try {
    vision.ButtonClick(*edit, vbsClick);
  } catch (const EConvertError& e) {
    got = e.Message();
  }
  EXPECT_EQ(got, Format(SInvalidFloat, {"12a"}));
  EXPECT_EQ(edit->Text(), "12a");
  // Only the spin style spins; the button's own event comes first.
  std::vector<String> log;
  vision.OnButtonClick = [&](TObject*, TgpFieldList*) { log.push_back(edit->Text()); };
  edit->SetDataText("1", false);
  vision.ButtonClick(*edit, vbsClick);
  vision.SetButtonStyle(pbsEllipsis);
  vision.ButtonClick(*edit, vbsClick);
  EXPECT_EQ(log, (std::vector<String>{"1", "2"}));
  EXPECT_EQ(edit->Text(), "2");
}

TEST_F(NumericFixture, DropDownKindsAndTheFormTextRoundTrip) {
  auto owner = std::make_unique<TDataModule>(nullptr);
  owner->SetName("Holder");
  auto* vision = new TNumericVision(owner.get());
  vision->SetName("Num");
  EXPECT_EQ(vision->DropDownKind(), ndkCustom);
  EXPECT_EQ(vision->DefaultToolForm(), nullptr);
  vision->SetDropDownKind(ndkCalculator);
  EXPECT_EQ(vision->DefaultToolForm(), pack->vtfCalculator);
  auto* custom = new TVisionToolForm(owner.get());
  vision->SetDropDown(custom);
  EXPECT_EQ(vision->DropDownKind(), ndkCustom) << "another tool form makes the kind custom";
  EXPECT_EQ(vision->DefaultToolForm(), custom);
  vision->SetDropDownKind(ndkCalculator);
  vision->SetDropDown(custom);
  EXPECT_EQ(vision->DropDownKind(), ndkCalculator) << "the same form changes nothing";
  EXPECT_EQ(vision->DefaultToolForm(), pack->vtfCalculator);
  vision->SetDropDownKind(ndkCustom);
  delete custom;
  EXPECT_EQ(vision->DropDown(), nullptr) << "a deleted tool form is forgotten";
  EXPECT_EQ(vision->DefaultToolForm(), nullptr);
  // The pack may go first: the calculator kind then has no drop-down.
  vision->SetDropDownKind(ndkCalculator);
  StopDefaultPack();
  EXPECT_EQ(vision->DefaultToolForm(), nullptr);
  StartDefaultPack();
  pack = zvDefPack;
  EXPECT_EQ(vision->DefaultToolForm(), pack->vtfCalculator);
  vision->SetDropDownKind(ndkCustom);

  // Defaults are not written, the kind always is, and extended bounds read back exact.
  String text = ComponentToText(owner.get());
  EXPECT_NE(text.find("DropDownKind = ndkCustom"), String::npos) << text;
  for (const char* absent : {"ButtonStyle", "EnableButton", "EnableDropDown", "Nullable", "Step", "MinValue",
                             "MaxValue", "DisplayFormat", "Alignment", "DrawImages", "ButtonGlyph"})
    EXPECT_EQ(text.find(absent), String::npos) << absent << " in\n" << text;
  vision->SetMinValue(0.1L);
  vision->SetMaxValue(1.5e4000L);
  vision->SetStep(0.3L);
  vision->SetNullable(false);
  vision->SetDisplayFormat("0.00,");
  vision->SetButtonStyle(pbsSpin);
  text = ComponentToText(owner.get());
  auto back = std::make_unique<TDataModule>(nullptr);
  TextToComponent(text, back.get());
  auto* read = dynamic_cast<TNumericVision*>(back->FindComponent("Num"));
  ASSERT_NE(read, nullptr) << text;
  EXPECT_EQ(read->MinValue(), 0.1L);
  EXPECT_EQ(read->MaxValue(), 1.5e4000L);
  EXPECT_EQ(read->Step(), 0.3L);
  EXPECT_FALSE(read->Nullable());
  EXPECT_EQ(read->DisplayFormat(), "0.00,");
  EXPECT_EQ(read->ButtonStyle(), pbsSpin);
  EXPECT_EQ(read->DropDownKind(), ndkCustom);
  // A bound read from a form accepts the same number typed.
  back = std::make_unique<TDataModule>(nullptr);
  TextToComponent("object Holder: TDataModule\n object Num: TNumericVision\n MinValue = 0.1\n MaxValue = 0.3\n"
                  " DropDownKind = ndkCustom\n end\nend\n",
                  back.get());
  read = dynamic_cast<TNumericVision*>(back->FindComponent("Num"));
  ASSERT_NE(read, nullptr);
  Open(read, "F");
  for (const char* typed : {"0.1", "0.3"}) {
    edit->SetDataText(typed, true);
    EXPECT_NO_THROW(edit->PostField()) << typed;
  }
}

TEST_F(NumericFixture, ThePacksStockVisions) {
  const struct {
    const char* Name;
    TvpButtonStyle Style;
    bool Button;
    const char* Format;
    TvfNumericDropDownKind Kind;
    String Description;
  } stock[] = {
      {"Numeric", pbsEllipsis, false, "", ndkCustom, "Dsiplays and edits data as number."},
      {"NumericDef", pbsEllipsis, false, "0.00", ndkCustom, SfvdNumericDef},
      {"NumericDefSep", pbsEllipsis, false, "0.00,", ndkCustom, SfvdNumericDefSep},
      {"NumericSpin", pbsSpin, true, "", ndkCustom, SfvdNumericSpin},
      {"Calculator", pbsDropDown, true, "", ndkCalculator, ""},
  };
  for (const auto& s : stock) {
    SCOPED_TRACE(s.Name);
    auto* v = dynamic_cast<TNumericVision*>(pack->FindComponent(s.Name));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->ButtonStyle(), s.Style);
    EXPECT_EQ(v->EnableButton(), s.Button);
    EXPECT_EQ(v->DisplayFormat(), s.Format);
    EXPECT_EQ(v->DropDownKind(), s.Kind);
    EXPECT_EQ(v->Description(), s.Description);
    EXPECT_TRUE(v->EnableDropDown());
    EXPECT_TRUE(v->Nullable());
  }
  // Descriptions follow the translated table, not the English of the form text.
  TMessageTable messages = DefaultMessageTable();
  messages[SfvdNumericSpin.Id] = "Zahl mit Drehknopf.";
  ReplaceMessageTable(messages);
  StopDefaultPack();
  StartDefaultPack();
  pack = zvDefPack;
  RestoreDefaultMessageTable();
  EXPECT_EQ(dynamic_cast<TNumericVision*>(pack->FindComponent("NumericSpin"))->Description(), "Zahl mit Drehknopf.");
}

// Other locales: "," as decimal and "." or a no-break space as thousand separator.
TEST_F(NumericFixture, SeparatorsOfOtherLocales) {
  auto* sep = dynamic_cast<TNumericVision*>(pack->FindComponent("NumericDefSep"));
  ASSERT_NE(sep, nullptr);
  Open(sep, "F");
  const struct {
    const char* Thousand;
    String Display;
  } cases[] = {{".", "1.234,50"}, {"\u00A0", "1\u00A0234,50"}, {"\u202F", "1\u202F234,50"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Display);
    TLocaleScope locale(",", c.Thousand);
    EXPECT_EQ(sep->GetText(edit->Fields(), true), c.Display);
    edit->SetFocus();
    h->Pump();
    edit->SetDataText("1234,25", true);
    EXPECT_TRUE(edit->PostField());
    EXPECT_EQ(table->FieldByName("F")->AsFloat(), 1234.25);
    edit->SetDataText(c.Display, true);
    EXPECT_THROW(edit->PostField(), EZVError) << "no thousand separators in typed text";
    edit->SetDataText("1234.5", true);
    EXPECT_THROW(edit->PostField(), EZVError) << "the other locale's decimal point";
    edit->SetDataText("1234,5", true);
    EXPECT_TRUE(edit->PostField());
    table->Post();
  }
}

}  // namespace
}  // namespace zvtest
