// The date and time visions on the headless backend under a stand-alone edit control, over a
// memory table (date, time, date-time and SQL time-stamp fields) and SQLite date columns:
// published defaults and streaming, the range moves, texts of every kind, parsing with its
// messages, posting that keeps the other part of the value, the time masks and the spin.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/DateFormat.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/std/DateTimeVisions.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/vision/StdDesigners.h"

#include "ExpectMessage.h"
#include "EditControlFixture.h"
#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

const TDateTime March12At1530 = EncodeDateTime(2003, 3, 12, 15, 30, 0, 0);

std::unique_ptr<TDataSet> MemDates() {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("D", ftDate);
  table->FieldDefs().Add("T", ftTime);
  table->FieldDefs().Add("DT", ftDateTime);
  table->FieldDefs().Add("TS", ftTimeStamp);
  table->CreateDataSet();
  table->AppendRecord({Variant(1), Null(), Null(), Null(), Null()});
  table->First();
  return table;
}

std::unique_ptr<TDataSet> SqliteDates() {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE dates (ID INTEGER PRIMARY KEY, D DATE, T TIME, DT DATETIME)");
    db.Execute("INSERT INTO dates (ID) VALUES (1)");
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("dates");
  table->Open();
  return table;
}

void SetField(TDataSet& table, const char* name, std::optional<double> value) {
  if (table.State() == dsBrowse) table.Edit();
  TField* field = table.FieldByName(name);
  if (value)
    field->SetAsDateTime(*value);
  else
    field->Clear();
  table.Post();
}

template <class V>
void ExpectStartsWithPublishedDefaults() {
  V fresh(nullptr);
  for (const TPropInfo* p : GetPropInfos(V::StaticClass()))
    if (p->Published && p->Default != NoDefault && p->GetOrd) {
      EXPECT_EQ(GetOrdProp(&fresh, p), p->Default) << V::StaticClass()->ClassName() << "." << p->Name;
    }
}

class DateTimeVisions : public EditControlFixture {};

// ---- Properties ---------------------------------------------------------------------------

TEST_F(DateTimeVisions, DefaultsStreamingAndTheStockVisions) {
  ExpectStartsWithPublishedDefaults<TDateVision>();
  ExpectStartsWithPublishedDefaults<TTimeVision>();
  TDateVision date(nullptr);
  EXPECT_EQ(date.Buttons(), (TvpCalendarButtons{clbToday, clbClear}));
  EXPECT_TRUE(date.EnableButton());
  EXPECT_TRUE(date.EnableDropDown());
  date.SetDisplayFormat("yyyy");
  EXPECT_EQ(date.DisplayFormatKind(), dfkCustom) << "a format of its own is the custom kind";
  date.SetDisplayFormatKind(dfkLong);
  date.SetDisplayFormat("yyyy");
  EXPECT_EQ(date.DisplayFormatKind(), dfkLong) << "the same format again changes nothing";

  const String plain = ComponentToText(&date);
  EXPECT_EQ(plain.find("MinDate"), String::npos) << "no bound is stored as none";
  date.SetMinDate(TDate(EncodeDateTime(2004, 1, 10, 18, 0, 0, 0).Value));
  date.SetButtons({clbClear, clbNoYearNavigator});
  date.SetSaveTime(false);
  TTimeVision time(nullptr);
  time.SetMaxTime(TTime(EncodeDateTime(2004, 1, 10, 18, 0, 0, 0).Value));
  time.SetEditFormatKind(tefHhMmSs);
  for (TComponent* vision : std::initializer_list<TComponent*>{&date, &time}) {
    const String text = ComponentToText(vision);
    std::unique_ptr<TComponent> back(static_cast<TComponent*>(vision->ClassType()->Factory(nullptr)));
    TextToComponent(text, back.get());
    EXPECT_EQ(ComponentToText(back.get()), text);
  }
  EXPECT_EQ(double(date.MinDate()), double(EncodeDate(2004, 1, 10))) << "whole days";
  EXPECT_DOUBLE_EQ(time.MaxTime(), EncodeTime(18, 0, 0, 0)) << "the time of day";

  StartDefaultPack();
  ASSERT_NE(zvDefPack, nullptr);
  TzvDefPack& pack = *zvDefPack;
  ASSERT_TRUE(pack.Date && pack.Calendar && pack.CalendarSimple && pack.Time && pack.TimeShort);
  EXPECT_FALSE(pack.Date->EnableButton());
  EXPECT_EQ(pack.Date->Description(), "Displays and edits data as date.");
  EXPECT_EQ(pack.Calendar->Buttons(), (TvpCalendarButtons{clbToday, clbClear}));
  EXPECT_EQ(pack.Calendar->Description(), "Calendar control with buttons.");
  EXPECT_EQ(pack.CalendarSimple->Buttons(), TvpCalendarButtons{});
  EXPECT_EQ(pack.CalendarSimple->Description(), "Calendar control without buttons.");
  EXPECT_EQ(pack.Calendar->DefaultToolForm(), pack.vtfCalendar);
  EXPECT_FALSE(pack.Time->EnableButton());
  EXPECT_EQ(pack.Time->EditFormatKind(), tefDefault);
  EXPECT_EQ(pack.TimeShort->DisplayFormatKind(), dfkShort);
  EXPECT_EQ(pack.TimeShort->ButtonStyle(), pbsSpin);
  EXPECT_EQ(pack.TimeShort->DefaultToolForm(), nullptr) << "the time vision drops nothing down";
  StopDefaultPack();
}

TEST_F(DateTimeVisions, RangeMovesAndParts) {
  const TDateTime jan5 = EncodeDate(2004, 1, 5), jan10 = EncodeDate(2004, 1, 10);
  struct Case {
    const char* name;
    double min0, max0;  // set first
    bool setMin;        // then the minimum (else the maximum) to value
    double value;
    double min, max;
  } const cases[] = {
      {"min above max moves max", 0, jan5, true, jan10, jan10, jan10 + 1},
      {"max below min moves min", jan10, 0, false, jan5, jan5 - 1, jan5},
      {"min without max", 0, 0, true, jan10, jan10, 0},
      {"min below max", 0, jan10, true, jan5, jan5, jan10},
      {"min cleared", jan5, jan10, true, 0, 0, jan10},
      {"max cleared below min", jan10, 0, false, 0, jan10, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDateVision v(nullptr);
    if (c.min0) v.SetMinDate(TDate(c.min0));
    if (c.max0) v.SetMaxDate(TDate(c.max0));
    if (c.setMin)
      v.SetMinDate(TDate(c.value));
    else
      v.SetMaxDate(TDate(c.value));
    EXPECT_EQ(double(v.MinDate()), c.min);
    EXPECT_EQ(double(v.MaxDate()), c.max);
    EXPECT_EQ(v.RangeApplies(), c.min != 0 || c.max != 0);
  }
  TTimeVision t(nullptr);
  t.SetMinTime(TTime(EncodeTime(20, 0, 0, 0).Value));
  t.SetMaxTime(TTime(EncodeDateTime(1999, 1, 1, 10, 0, 0, 0).Value));
  EXPECT_DOUBLE_EQ(t.MaxTime(), EncodeTime(10, 0, 0, 0));
  EXPECT_DOUBLE_EQ(t.MinTime(), EncodeTime(10, 0, 0, 0) - 1) << "moved a day before the maximum";
}

// ---- Texts --------------------------------------------------------------------------------

TEST_F(DateTimeVisions, TextsOfEveryKind) {
  auto table = MemDates();
  TDateVision date(nullptr);
  TTimeVision time(nullptr);
  Open(&date, table.get(), "DT");
  struct Case {
    bool time;
    const char* field;
    std::optional<double> value;
    TvpDisplayFormatKind kind;
    TvpTimeEditFormatKind editKind;
    const char* listFormat;  // the host's display format of the field list
    bool display;
    const char* expected;
  } const cases[] = {
      {false, "DT", March12At1530, dfkDefault, tefHhMm, "", true, "3/12/2003 3:30:00 PM"},
      {false, "DT", March12At1530, dfkShort, tefHhMm, "", true, "3/12/2003"},
      {false, "DT", March12At1530, dfkLong, tefHhMm, "", true, "Wednesday, March 12, 2003"},
      {false, "DT", March12At1530, dfkShort, tefHhMm, "yyyy-mm-dd", true, "2003-03-12"},
      {false, "DT", March12At1530, dfkLong, tefHhMm, "", false, "3/12/2003"},
      {false, "D", 0.0, dfkShort, tefHhMm, "", true, ""},
      {false, "D", 0.0, dfkDefault, tefHhMm, "", true, "12/30/1899"},
      {false, "D", std::nullopt, dfkDefault, tefHhMm, "", false, ""},
      {false, "TS", March12At1530, dfkShort, tefHhMm, "", true, "3/12/2003"},
      {false, "TS", March12At1530, dfkShort, tefHhMm, "", false, "3/12/2003"},
      {true, "DT", March12At1530, dfkDefault, tefHhMm, "", false, "15:30"},
      {true, "DT", March12At1530, dfkDefault, tefHhMmSs, "", false, "15:30:00"},
      {true, "DT", March12At1530, dfkDefault, tefHh, "", false, "15"},
      {true, "DT", March12At1530, dfkDefault, tefDefault, "", false, "3:30:00 PM"},
      {true, "DT", March12At1530, dfkShort, tefHhMm, "", true, "3:30 PM"},
      {true, "DT", March12At1530, dfkLong, tefHhMm, "", true, "3:30:00 PM"},
      {true, "T", 0.0, dfkDefault, tefHhMm, "", false, "00:00"},
      {true, "T", 0.0, dfkShort, tefHhMm, "", true, "12:00 AM"},
      {true, "T", std::nullopt, dfkShort, tefHhMm, "", true, ""},
      {true, "T", std::nullopt, dfkDefault, tefDefault, "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " -> " + c.expected);
    SetField(*table, c.field, c.value);
    TDateTimeVision& v = c.time ? static_cast<TDateTimeVision&>(time) : date;
    v.SetDisplayFormatKind(c.kind);
    time.SetEditFormatKind(c.editKind);
    edit->SetDataField(c.field);
    edit->Fields().SetDisplayFormat(c.listFormat);
    EXPECT_EQ(v.GetText(edit->Fields(), c.display), c.expected);
  }

  // Without a field the text is what OnGetValue answers, in the short format by default.
  edit->SetDataField("");
  EXPECT_EQ(date.GetText(edit->Fields(), true), "") << "no handler, no text";
  bool isNull = false;
  date.OnGetValue = [&](TObject*, TgpFieldList*, TDateTime& value, bool& null) {
    value = March12At1530;
    null = isNull;
  };
  time.OnGetValue = date.OnGetValue;
  date.SetDisplayFormatKind(dfkDefault);
  time.SetDisplayFormatKind(dfkDefault);
  EXPECT_EQ(date.GetText(edit->Fields(), true), "3/12/2003");
  EXPECT_EQ(time.GetText(edit->Fields(), true), "3:30 PM");
  isNull = true;
  EXPECT_EQ(date.GetText(edit->Fields(), true), "");

  for (auto [field, valid] : {std::pair{"D", true}, std::pair{"T", true}, std::pair{"DT", true}, std::pair{"TS", true},
                              std::pair{"ID", false}}) {
    edit->SetDataField(field);
    bool ok = !valid;
    time.VM_ValidFields(edit->Fields(), ok);
    EXPECT_EQ(ok, valid) << field;
  }
}

TEST_F(DateTimeVisions, TimeEditMasks) {
  TTimeVision v(nullptr);
  auto table = MemDates();
  Open(&v, table.get(), "T");
  table->FieldByName("T")->SetEditMask("!00:00;1;_");
  struct Case {
    TvpTimeEditFormatKind kind;
    const char* own;
    const char* expected;
  } const cases[] = {
      {tefHhMmSs, "", "!99:99:99;1;0"}, {tefHhMm, "", "!99:99;1;0"},      {tefHh, "x", "!99;1;0"},
      {tefDefault, "", "!00:00;1;_"},   {tefDefault, "!90;0", "!90;0"},
  };
  for (const Case& c : cases) {
    v.SetEditFormatKind(c.kind);
    v.SetEditMask(c.own);
    String mask;
    v.PE_GetEditMask(edit->Fields(), mask);
    EXPECT_EQ(mask, c.expected) << c.kind;
  }
}

// ---- Parsing and posting ------------------------------------------------------------------

TEST_F(DateTimeVisions, ParsingAndPostingOverEachDataSet) {
  const double dec25At6 = EncodeDateTime(1899, 12, 25, 6, 0, 0, 0);
  struct Case {
    bool time;
    const char* field;
    std::optional<double> start;
    const char* typed;
    bool keep;       // SaveTime / SaveDate
    bool nullable;
    double min, max;
    std::optional<double> expected;  // the field after posting
    std::string error;               // or the message that stops it
    TvpTimeEditFormatKind kind = tefHhMm;
  } const cases[] = {
      {false, "DT", March12At1530, "4/1/2004", true, true, 0, 0, EncodeDateTime(2004, 4, 1, 15, 30, 0, 0), ""},
      {false, "DT", March12At1530, "4/1/2004", false, true, 0, 0, EncodeDate(2004, 4, 1), ""},
      {false, "DT", dec25At6, "12/20/1899", true, true, 0, 0, EncodeDateTime(1899, 12, 20, 6, 0, 0, 0), ""},
      {false, "D", March12At1530, "", true, true, 0, 0, std::nullopt, ""},
      {false, "D", EncodeDate(2003, 3, 12), "", true, false, 0, 0, EncodeDate(2003, 3, 12),
       "Input value can not be blank. Please input valid date value"},
      {false, "D", EncodeDate(2003, 3, 12), "1/1/2000", true, true, EncodeDate(2000, 1, 5), 0, EncodeDate(2003, 3, 12),
       "\"1/1/2000\" is out of range. Value must be more than 1/5/2000"},
      {false, "D", EncodeDate(2003, 3, 12), "2/1/2000", true, true, EncodeDate(2000, 1, 5), EncodeDate(2000, 1, 31),
       EncodeDate(2003, 3, 12), "\"2/1/2000\" is out of range. Value must be less than 1/31/2000"},
      {false, "D", EncodeDate(2003, 3, 12), "1/20/2000", true, true, EncodeDate(2000, 1, 5), EncodeDate(2000, 1, 31),
       EncodeDate(2000, 1, 20), ""},
      {false, "D", EncodeDate(2003, 3, 12), "13/45/2000", true, true, 0, 0, EncodeDate(2003, 3, 12),
       "'13/45/2000' is not a valid date and time"},
      {true, "DT", March12At1530, "08:15", true, true, 0, 0, EncodeDateTime(2003, 3, 12, 8, 15, 0, 0), ""},
      {true, "DT", March12At1530, "08:15", false, true, 0, 0, EncodeTime(8, 15, 0, 0), ""},
      {true, "DT", dec25At6, "08:15", true, true, 0, 0, EncodeDateTime(1899, 12, 25, 8, 15, 0, 0), ""},
      {true, "T", EncodeTime(9, 0, 0, 0), "", true, true, 0, 0, std::nullopt, "", tefDefault},
      {true, "T", EncodeTime(9, 0, 0, 0), "", true, false, 0, 0, EncodeTime(9, 0, 0, 0),
       "Input value can not be blank. Please input valid date value", tefDefault},
      // The mask shows its blanks as zeros: an emptied text is midnight.
      {true, "T", EncodeTime(9, 0, 0, 0), "", true, true, 0, 0, 0.0, ""},
      {true, "T", EncodeTime(9, 0, 0, 0), "07:00", true, true, EncodeTime(8, 0, 0, 0), 0, EncodeTime(9, 0, 0, 0),
       "\"07:00\" is out of range. Value must be more than 8:00:00 AM"},
      {true, "T", EncodeTime(9, 0, 0, 0), "25:99", true, true, 0, 0, EncodeTime(9, 0, 0, 0),
       "'25:99' is not a valid date and time"},
      {false, "TS", March12At1530, "4/1/2004", true, true, 0, 0, EncodeDateTime(2004, 4, 1, 15, 30, 0, 0), ""},
      {true, "TS", March12At1530, "08:15", true, true, 0, 0, EncodeDateTime(2003, 3, 12, 8, 15, 0, 0), ""},
  };
  for (const DataSetFactory& factory :
       {DataSetFactory{"MemTable", [](int) { return MemDates(); }}, DataSetFactory{"Sqlite", [](int) { return SqliteDates(); }}}) {
    auto table = factory.Create(1);
    for (const Case& c : cases) {
      if (!table->FindField(c.field)) continue;  // SQLite has no time-stamp column kind of its own
      SCOPED_TRACE(factory.Name + " " + c.field + " '" + c.typed + "'");
      TDateVision date(nullptr);
      TTimeVision time(nullptr);
      date.SetSaveTime(c.keep);
      time.SetSaveDate(c.keep);
      time.SetEditFormatKind(c.kind);
      TDateTimeVision& v = c.time ? static_cast<TDateTimeVision&>(time) : date;
      v.SetNullable(c.nullable);
      v.SetRangeMin(c.min);
      v.SetRangeMax(c.max);
      SetField(*table, c.field, c.start);
      Open(&v, table.get(), c.field);
      ASSERT_TRUE(edit->SetDataText(c.typed, false));
      const String shown = edit->Text();
      std::string error;
      try {
        edit->PostField();
      } catch (const Exception& e) {
        error = e.Message();
      }
      EXPECT_EQ(error, c.error);
      if (!c.error.empty()) {
        EXPECT_EQ(edit->Text(), shown) << "the text stays";
        EXPECT_TRUE(edit->Fields().Modified());
        table->Cancel();
      }
      if (table->State() != dsBrowse) table->Post();
      TField* field = table->FieldByName(c.field);
      if (c.expected) {
        EXPECT_NEAR(field->AsDateTime(), *c.expected, 1e-8) << DateTimeToStr(field->AsDateTime());
      } else {
        EXPECT_TRUE(field->IsNull());
      }
      edit->ResetEdit();
      form.reset();
    }
  }
}

// ---- The spin -----------------------------------------------------------------------------

TEST_F(DateTimeVisions, TimeSpinStepsThePartUnderTheCaret) {
  auto table = MemDates();
  TTimeVision v(nullptr);
  Open(&v, table.get(), "T");
  struct Case {
    const char* name;
    TvpTimeEditFormatKind kind;
    const char* text;
    int caret;
    TfvButtonState state;
    double min, max;
    const char* expected;
    int selected;  // the first of the two selected characters; -1 when nothing changed
  } const cases[] = {
      {"minute up", tefHhMm, "23:30", 4, vbsClick, 0, 0, "23:31", 3},
      {"hour up stops at the day's end", tefHhMm, "23:30", 0, vbsShortCut, 0, 0, "23:59", 0},
      {"hour down", tefHhMm, "10:00", 2, vbsClick2, 0, 0, "09:00", 0},
      {"hour down stops at midnight", tefHhMm, "00:30", 1, vbsShortCut2, 0, 0, "00:00", 0},
      {"up below the minimum goes to it", tefHhMm, "07:00", 4, vbsClick, EncodeTime(8, 0, 0, 0), 0, "08:00", 3},
      {"down above the maximum goes to it", tefHhMm, "13:00", 4, vbsClick2, 0, EncodeTime(12, 0, 0, 0), "12:00", 3},
      {"a maximum a day ahead still ends the day", tefHhMm, "23:30", 0, vbsClick, EncodeTime(20, 0, 0, 0),
       EncodeTime(20, 0, 0, 0) + 1, "23:59", 0},
      {"second up", tefHhMmSs, "10:20:30", 7, vbsClick, 0, 0, "10:20:31", 6},
      {"at the minimum, down stays", tefHhMm, "08:00", 4, vbsClick2, EncodeTime(8, 0, 0, 0), 0, "08:00", -1},
      {"a drop-down request does not spin", tefHhMm, "10:00", 0, vbsDropDown, 0, 0, "10:00", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    v.SetEditFormatKind(c.kind);
    v.SetRangeMin(0);
    v.SetRangeMax(0);
    v.SetRangeMin(c.min);
    v.SetRangeMax(c.max);
    edit->ResetEdit();
    ASSERT_TRUE(edit->SetDataText(c.text, false));
    edit->SetSelStart(c.caret);
    v.ButtonClick(*edit, c.state);
    EXPECT_EQ(edit->Text(), c.expected);
    if (c.selected >= 0) {
      EXPECT_EQ(edit->SelStart(), c.selected);
      EXPECT_EQ(edit->SelLength(), 2);
    }
  }
  v.SetEditFormatKind(tefHhMm);
  ASSERT_TRUE(edit->SetDataText("25:99", false));
  EXPECT_EQ(MessageOf<Exception>([&] { v.ButtonClick(*edit, vbsClick); }), "'25:99' is not a valid time");
  v.SetEditFormatKind(tefDefault);
  ASSERT_TRUE(edit->SetDataText("10:00", false));
  v.ButtonClick(*edit, vbsClick);
  EXPECT_EQ(edit->Text(), "10:00") << "the field's own edit text has no parts to step";
}

class TEditGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  using TDBDivoRud::ActivateEdit;
  using TDBDivoRud::EditorVisible;
};

// The grid's in-place editor reaches the spin through its field list, as the stand-alone one.
TEST_F(DateTimeVisions, TimeSpinInTheGridsEditor) {
  auto table = MemDates();
  SetField(*table, "T", EncodeTime(10, 0, 0, 0));
  TTimeVision v(nullptr);
  Open(&v, table.get(), "T");
  TStandardDesigner designer{nullptr};
  auto grid = std::make_unique<TEditGrid>(nullptr);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 40, 300, 150);
  grid->SetParent(form.get());
  TgpColumn* column = grid->Columns()->Add();
  column->SetFieldName("T");
  column->SetVision(&v);
  grid->SetDataSource(&source);
  h->Pump();
  grid->SetFocus();
  h->Pump();
  grid->ActivateEdit(column);
  ASSERT_TRUE(grid->EditorVisible());
  TgpInplaceEdit* inplace = grid->InplaceEditor();
  EXPECT_EQ(inplace->Text(), "10:00");
  inplace->SetSelStart(4);
  v.ButtonClick(*inplace, vbsClick);
  EXPECT_EQ(inplace->Text(), "10:01");
  EXPECT_EQ(inplace->SelStart(), 3);
  h->KeyDown(inplace, VK_RETURN);
  if (table->State() != dsBrowse) table->Post();
  EXPECT_NEAR(table->FieldByName("T")->AsDateTime(), EncodeTime(10, 1, 0, 0), 1e-8);
  grid.reset();
}

}  // namespace
}  // namespace zvtest
