// The date vision's calendar drop-down on the headless backend, through a stand-alone edit
// control over a memory table: what the calendar shows for each vision and value, picks by key,
// click, Today and Clear, and Escape.
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "runtime/ctl/Calendar.h"
#include "runtime/ctl/CalendarDropDown.h"
#include "runtime/std/DateTimeVisions.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"
#include "IdleScript.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

using namespace zv;

const double March12At1530 = EncodeDateTime(2003, 3, 12, 15, 30, 0, 0);

class CalendarDropDown : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    PinClock(EncodeDateTime(2003, 3, 20, 9, 0, 0, 0));
    // A pack of this test's backend, with the calendar the ctl module puts on it.
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
    ASSERT_NE(PackCalendar(), nullptr);
    cal = PackCalendar();
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("DT", ftDateTime);
    table->CreateDataSet();
    table->AppendRecord({Null()});
    table->First();
    source.SetDataSet(table.get());
  }
  void TearDown() override {
    form.reset();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    SetClockSource(nullptr);
    THarnessTest::TearDown();
  }
  void Open(TDateVision* vision, std::optional<double> value) {
    table->Edit();
    if (value)
      table->FieldByName("DT")->SetAsDateTime(*value);
    else
      table->FieldByName("DT")->Clear();
    table->Post();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision);
    edit->SetDataSource(&source);
    edit->SetDataField("DT");
    h->Pump();
    edit->SetFocus();
    h->Pump();
  }
  void Run(std::vector<std::function<void()>> steps) {
    TIdleScript script(std::move(steps));
    edit->DropDownBtnClick(false);
    EXPECT_FALSE(script.GaveUp);
    if (table->State() != dsBrowse) table->Post();
  }
  std::function<void()> Key(Word key) {
    return [this, key] { PressKey(*h, cal, key); };
  }
  std::function<void()> ClickAt(std::function<TPoint()> where) {
    return [this, where] {
      const TPoint p = where();
      h->MouseDown(cal, p.X, p.Y);
      h->MouseUp(cal, p.X, p.Y);
    };
  }
  TPoint CellOf(double date) {
    for (int i = 0; i < 42; ++i)
      if (cal->Days()[i].Value == date) {
        const TRect r = cal->CellRect(i / 7, i % 7);
        return {r.Left + 3, r.Top + 3};
      }
    return {};
  }
  TField* Field() { return table->FieldByName("DT"); }

  TDevidCalendar* cal = nullptr;
  std::unique_ptr<TMemTable> table;
  TDataSource source{nullptr};
  std::unique_ptr<TForm> form;
  TDBDevidEdit* edit = nullptr;
};

TEST_F(CalendarDropDown, ShowsTheValueAndTheVisionsButtons) {
  TDateVision* vision = zvDefPack->Calendar;
  vision->SetMinDate(TDate(EncodeDate(2003, 3, 5).Value));
  Open(vision, March12At1530);
  Run({[&] {
         EXPECT_EQ(cal->Date().Value, EncodeDate(2003, 3, 12).Value);
         EXPECT_FALSE(cal->NullDate());
         EXPECT_TRUE(cal->ShowTodayButton());
         EXPECT_TRUE(cal->ShowClearButton());
         EXPECT_TRUE(cal->ShowYearNavigator());
         EXPECT_EQ(cal->MinDate().Value, EncodeDate(2003, 3, 5).Value);
         EXPECT_EQ(zvDefPack->vtfCalendar->PopupWidth(), cal->Width());
       },
       Key(VK_ESCAPE)});
  EXPECT_EQ(Field()->AsDateTime().Value, March12At1530) << "Escape posts nothing";
  vision->SetMinDate(TDate(0));

  TDateVision* simple = zvDefPack->CalendarSimple;
  simple->SetNullable(false);
  Open(simple, std::nullopt);
  Run({[&] {
         EXPECT_FALSE(cal->ShowTodayButton());
         EXPECT_FALSE(cal->ShowClearButton());
         EXPECT_TRUE(cal->NullDate()) << "a null value shows today's page without a chosen day";
         EXPECT_EQ(cal->Date().Value, EncodeDate(2003, 3, 20).Value);
         EXPECT_FALSE(cal->ClearButtonEnabled());
       },
       Key(VK_ESCAPE)});
  EXPECT_TRUE(Field()->IsNull());
  simple->SetNullable(true);
}

TEST_F(CalendarDropDown, PicksByKeyClickTodayAndClear) {
  TDateVision* vision = zvDefPack->Calendar;
  Open(vision, March12At1530);
  Run({Key(VK_RIGHT), Key(VK_DOWN), Key(VK_RETURN)});
  EXPECT_EQ(Field()->AsDateTime().Value, EncodeDateTime(2003, 3, 20, 15, 30, 0, 0).Value) << "the time is kept";

  Run({ClickAt([&] { return CellOf(EncodeDate(2003, 4, 2)); })});
  EXPECT_EQ(Field()->AsDateTime().Value, EncodeDateTime(2003, 4, 2, 15, 30, 0, 0).Value);

  Run({ClickAt([&] { return TPoint{cal->ClearButtonRect().Left + 3, cal->ClearButtonRect().Top + 3}; })});
  EXPECT_TRUE(Field()->IsNull());

  Run({ClickAt([&] { return TPoint{cal->TodayButtonRect().Left + 3, cal->TodayButtonRect().Top + 3}; })});
  EXPECT_EQ(Field()->AsDateTime().Value, EncodeDate(2003, 3, 20).Value);
}

class TEditGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  using TDBDivoRud::ActivateEdit;
  using TDBDivoRud::EditorVisible;
};

// The grid's in-place editor under German settings: typed dates with the settings' order and
// separator, and a Clear pick in the drop-down that leaves the cell.
TEST_F(CalendarDropDown, InTheGridsEditorUnderGermanSettings) {
  const TFormatSettings saved = FormatSettings();
  FormatSettings().ShortDateFormat = "dd.MM.yyyy";
  FormatSettings().DateSeparator = '.';
  FormatSettings().LongTimeFormat = "HH:mm:ss";
  FormatSettings().LongMonthStandAloneNames[2] = "März";
  TDateVision* vision = zvDefPack->Calendar;
  Open(vision, March12At1530);
  TStandardDesigner designer{nullptr};
  auto grid = std::make_unique<TEditGrid>(nullptr);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 40, 300, 150);
  grid->SetParent(form.get());
  TgpColumn* column = grid->Columns()->Add();
  column->SetFieldName("DT");
  column->SetVision(vision);
  grid->SetDataSource(&source);
  h->Pump();
  grid->SetFocus();
  h->Pump();
  EXPECT_EQ(vision->GetText(edit->Fields(), false), "12.03.2003");
  vision->SetDisplayFormatKind(dfkShort);
  EXPECT_EQ(vision->GetText(edit->Fields(), true), "12.03.2003");
  vision->SetDisplayFormatKind(dfkDefault);

  grid->ActivateEdit(column);
  ASSERT_TRUE(grid->EditorVisible());
  TgpInplaceEdit* inplace = grid->InplaceEditor();
  EXPECT_EQ(inplace->Text(), "12.03.2003");
  ASSERT_TRUE(inplace->SetDataText("24.12.2003", false));
  h->KeyDown(inplace, VK_RETURN);
  if (table->State() != dsBrowse) table->Post();
  EXPECT_EQ(Field()->AsDateTime().Value, EncodeDateTime(2003, 12, 24, 15, 30, 0, 0).Value);

  grid->ActivateEdit(column);
  ASSERT_TRUE(grid->EditorVisible());
  inplace = grid->InplaceEditor();
  {
    TIdleScript script({[&] {
                          EXPECT_EQ(cal->Date().Value, EncodeDate(2003, 12, 24).Value);
                          const TRect clear = cal->ClearButtonRect();
                          h->MouseDown(cal, clear.Left + 3, clear.Top + 3);
                          h->MouseUp(cal, clear.Left + 3, clear.Top + 3);
                        }});
    inplace->DropDownBtnClick(false);
    EXPECT_FALSE(script.GaveUp);
  }
  if (table->State() != dsBrowse) table->Post();
  EXPECT_TRUE(Field()->IsNull());
  EXPECT_FALSE(grid->EditorVisible()) << "a cleared date leaves the cell";
  grid.reset();
  FormatSettings() = saved;
}

}  // namespace
}  // namespace zvtest
