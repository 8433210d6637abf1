// The calendar on the headless backend (text height 13, bold "99" 14 wide): sizes with and
// without buttons and borders, the header and cells, GetDateAt; pages for both first days and
// the day letters of several languages; the range and its moves; every key; mouse tracking and
// release, the neighbouring month, Today and Clear; the arrow's repeat schedule; painting.
#include "platform/classes/FormText.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/detail/MenuWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/ctl/Calendar.h"
#include "runtime/ctl/detail/YearEditor.h"
#include "runtime/rtm/InputRoutines.h"

#include "ExpectMessage.h"
#include "HarnessTest.h"
#include "MenuScript.h"

#include <gtest/gtest.h>

namespace zv {
// Dates compare as the days they hold (a test-only equality, for the expectations below).
inline bool operator==(TDate a, TDate b) { return a.Value == b.Value; }
inline void PrintTo(TDate d, std::ostream* os) { *os << DateToStr(d); }
}  // namespace zv

namespace zvtest {
namespace {

using namespace zv;

TDate Day(int y, int m, int d) { return TDate(EncodeDate(y, m, d).Value); }

class Calendar : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    savedSettings = FormatSettings();
    savedFirstDay = GetFirstDayOfWeek();
    PinClock(EncodeDate(2003, 3, 12));
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    cal = new TDevidCalendar(form.get());
    cal->SetParent(form.get());
    cal->SetLeft(10);
    cal->SetTop(10);
    cal->OnChange = [this](TObject*) { events += "C"; };
    cal->OnPickup = [this](TObject*) { events += "P"; };
    h->Pump();
  }
  void TearDown() override {
    form.reset();
    FormatSettings() = savedSettings;
    SetFirstDayOfWeek(savedFirstDay);
    SetClockSource(nullptr);
    THarnessTest::TearDown();
  }
  TPoint CellCentre(int index) {
    const TRect r = cal->CellRect(index / 7, index % 7);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  int IndexOf(TDateTime d) {
    for (int i = 0; i < 42; ++i)
      if (cal->Days()[i].Value == d.Value) return i;
    return -1;
  }
  std::unique_ptr<TForm> form;
  TDevidCalendar* cal = nullptr;
  std::string events;
  TFormatSettings savedSettings;
  int savedFirstDay = 1;
};

TEST_F(Calendar, SizesHeaderAndCells) {
  EXPECT_EQ(cal->Date(), Day(2003, 3, 12)) << "today";
  EXPECT_EQ(cal->CellWidth(), 14);
  EXPECT_EQ(cal->CellHeight(), 13);
  EXPECT_EQ(cal->HeaderHeight(), 23);
  struct Case {
    TvpBorderStyle border;
    bool today, clear;
    int width, height;
  } const cases[] = {
      {bsNoBorder, false, false, 140, 130},  // the pack's drop-down
      {bs3D, true, false, 144, 23 + 129 + 4},
      {bsSoft, false, true, 142, 23 + 129 + 2},
      {bsSoftExt, true, true, 144, 23 + 129 + 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.border);
    cal->SetBorderStyle(c.border);
    cal->SetShowTodayButton(c.today);
    cal->SetShowClearButton(c.clear);
    h->Pump();
    EXPECT_EQ(cal->Width(), c.width);
    EXPECT_EQ(cal->Height(), c.height);
    cal->SetBounds(0, 0, 300, 300);
    EXPECT_EQ(cal->Width(), c.width) << "the control keeps its own size";
    EXPECT_EQ(cal->Height(), c.height);
  }
  cal->SetBorderStyle(bs3D);
  cal->SetShowTodayButton(true);
  cal->SetShowClearButton(true);
  h->Pump();
  EXPECT_EQ(cal->ClientRect().Right, 140);
  EXPECT_EQ(cal->PrevArrowRect(), (TRect{2, 2, 16, 21}));
  const int yearWidth = cal->Canvas()->TextWidth("99999999");
  EXPECT_EQ(cal->NextArrowRect(), (TRect{140 - 14 - yearWidth - 2, 2, 140 - yearWidth - 2, 21}));
  EXPECT_EQ(cal->MonthLabelRect(), (TRect{16, 5, 140 - 14 - yearWidth - 2, 18}));
  EXPECT_EQ(cal->LetterRect(1), (TRect{25, 25, 39, 38}));
  EXPECT_EQ(cal->CellRect(2, 3), (TRect{63, 41 + 28, 77, 41 + 28 + 13}));
  EXPECT_EQ(cal->TodayButtonRect(), (TRect{8, 129 + 23 - 22, 8 + 60, 129 + 23 - 3}));
  EXPECT_EQ(cal->ClearButtonRect(), (TRect{140 - 60 - 8, 129 + 23 - 22, 132, 129 + 23 - 3}));
  struct Hit {
    int x, y;
    double expected;
  } const hits[] = {
      {6, 42, EncodeDate(2003, 2, 23)},  {3, 42, EncodeDate(2003, 2, 23)},  {63, 69, EncodeDate(2003, 3, 12)},
      {126, 41 + 5 * 14 + 5, EncodeDate(2003, 4, 5)}, {6, 41, 0}, {6, 41 + 6 * 14, 0},     {139, 50, 0},
  };
  for (const Hit& hit : hits) EXPECT_EQ(cal->GetDateAt(hit.x, hit.y).Value, hit.expected) << hit.x << "," << hit.y;
}

TEST_F(Calendar, PublishedPropertiesStreamBack) {
  const String plain = ComponentToText(cal);
  EXPECT_NE(plain.find("Date = "), String::npos) << "the date is always stored";
  EXPECT_EQ(plain.find("MinDate"), String::npos);
  cal->SetMinDate(Day(2003, 3, 5));
  cal->SetShowClearButton(true);
  cal->SetShowTodayButton(false);
  cal->SetBorderStyle(bsSoft);
  cal->SetDisableClearButton(true);
  const String text = ComponentToText(cal);
  auto back = std::make_unique<TDevidCalendar>(nullptr);
  TextToComponent(text, back.get());
  EXPECT_EQ(back->Date(), cal->Date());
  EXPECT_EQ(back->MinDate(), Day(2003, 3, 5));
  EXPECT_TRUE(back->ShowClearButton());
  EXPECT_FALSE(back->ShowTodayButton());
  EXPECT_TRUE(back->DisableClearButton());
  EXPECT_EQ(back->BorderStyle(), bsSoft);
  EXPECT_TRUE(back->TabStop());
  EXPECT_FALSE(back->ParentColor());
}

TEST_F(Calendar, PagesForBothFirstDays) {
  struct Case {
    int firstDay;
    TDate date;
    double first;
    const char* letters;
  } const cases[] = {
      {1, Day(2003, 3, 12), EncodeDate(2003, 2, 23), "SMTWTFS"},
      {2, Day(2003, 3, 12), EncodeDate(2003, 2, 24), "MTWTFSS"},
      {1, Day(2003, 6, 5), EncodeDate(2003, 6, 1), "SMTWTFS"},  // begins on the first day: no May
      {2, Day(2003, 9, 30), EncodeDate(2003, 9, 1), "MTWTFSS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.letters);
    SetFirstDayOfWeek(c.firstDay);
    // Moving to another month builds the page anew, letters included.
    cal->SetDate(Day(1999, 1, 1));
    cal->SetDate(c.date);
    EXPECT_EQ(cal->Days()[0].Value, c.first);
    EXPECT_EQ(cal->Days()[41].Value, c.first + 41);
    std::string letters;
    for (const String& l : cal->DayLetters()) letters += l;
    EXPECT_EQ(letters, c.letters);
  }
}

TEST_F(Calendar, DayLettersAreFirstCharactersOfAnyScript) {
  struct Case {
    const char* language;
    std::array<String, 7> names;
    std::array<String, 7> letters;
  } const cases[] = {
      {"German", {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}, {"S", "M", "D", "M", "D", "F", "S"}},
      {"Russian", {"вс", "пн", "вт", "ср", "чт", "пт", "сб"}, {"В", "П", "В", "С", "Ч", "П", "С"}},
      {"Polish", {"niedz.", "pon.", "wt.", "śr.", "czw.", "pt.", "sob."}, {"N", "P", "W", "Ś", "C", "P", "S"}},
      {"decomposed", {"e\u0301t", "", "\u0301", "x\ny", "日", "月", "火"}, {"E\u0301", "", "\u0301", "X", "日", "月", "火"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    FormatSettings().ShortDayNames = c.names;
    cal->SetDate(Day(2003, 4, 1));
    cal->SetDate(Day(2003, 3, 1));
    EXPECT_EQ(cal->DayLetters(), c.letters);
    cal->UpdateSizes();
    TBitmap bitmap;
    bitmap.SetSize(cal->ClientRect().Right, cal->ClientRect().Bottom);
    cal->PaintTo(*bitmap.Canvas());  // no crash on any of them
  }
  FormatSettings().LongMonthStandAloneNames = {"", "\u0301", std::string(300, 'M'), "a\nb", "", "", "", "", "", "", "", ""};
  cal->UpdateSizes();
  TBitmap bitmap;
  bitmap.SetSize(cal->ClientRect().Right, cal->ClientRect().Bottom);
  cal->PaintTo(*bitmap.Canvas());
}

TEST_F(Calendar, RangeMovesAndNavigationLimits) {
  cal->SetMaxDate(Day(2003, 1, 5));
  cal->SetMinDate(Day(2003, 1, 10));
  EXPECT_EQ(cal->MaxDate(), Day(2003, 1, 11)) << "a minimum above the maximum moves it";
  cal->SetMinDate(TDate(0));
  cal->SetMaxDate(TDate(0));
  cal->SetMinDate(Day(2003, 3, 1));
  cal->SetDate(Day(2003, 3, 12));
  EXPECT_FALSE(cal->PrevArrowEnabled());
  EXPECT_TRUE(cal->NextArrowEnabled());
  EXPECT_FALSE(cal->MonthEnabled(1));
  EXPECT_FALSE(cal->MonthEnabled(2));
  EXPECT_FALSE(cal->MonthEnabled(3)) << "the page's own month";
  EXPECT_TRUE(cal->MonthEnabled(4));
  cal->PrevMonth();
  EXPECT_EQ(cal->Date(), Day(2003, 3, 1)) << "navigation stops at the minimum";
  cal->SetDate(Day(2003, 2, 1));
  EXPECT_EQ(cal->Date(), Day(2003, 2, 1)) << "code sets any date";

  // The host's month step raises past the calendar's ends; the moves stop there.
  cal->SetMinDate(TDate(0));
  struct Case {
    TDate from;
    int months;  // NextMonth 1, NextYear 12, PrevMonth -1, PrevYear -12
    TDate expected;
  } const cases[] = {
      {Day(9999, 12, 15), 1, Day(9999, 12, 31)},
      {Day(9999, 3, 15), 12, Day(9999, 12, 31)},
      {Day(1, 1, 15), -1, Day(1, 1, 1)},
      {Day(1, 6, 15), -12, Day(1, 1, 1)},
      {Day(2004, 2, 29), 12, Day(2005, 2, 28)},
  };
  for (const Case& c : cases) {
    cal->SetDate(c.from);
    switch (c.months) {
      case 1: cal->NextMonth(); break;
      case 12: cal->NextYear(); break;
      case -1: cal->PrevMonth(); break;
      default: cal->PrevYear(); break;
    }
    EXPECT_EQ(cal->Date(), c.expected);
  }
  cal->SetDate(Day(2004, 2, 29));
  EXPECT_THROW(cal->SetYMD(1, 2003), EConvertError);
  EXPECT_EQ(cal->Date(), Day(2004, 2, 29));
  cal->SetDate(TDate(EncodeDateTime(2004, 2, 3, 18, 0, 0, 0).Value));
  EXPECT_EQ(cal->Date(), Day(2004, 2, 3)) << "whole days";
}

TEST_F(Calendar, EveryKey) {
  cal->SetFocus();
  h->Pump();
  struct Case {
    TDate from;
    Word key;
    TShiftState shift;
    TDate expected;
    const char* events;
  } const cases[] = {
      {Day(2003, 3, 12), VK_PRIOR, {}, Day(2003, 2, 12), "C"},
      {Day(2003, 3, 31), VK_NEXT, {}, Day(2003, 4, 30), "C"},
      {Day(2003, 3, 12), VK_END, {}, Day(2003, 3, 31), "C"},
      {Day(2003, 3, 12), VK_HOME, {}, Day(2003, 3, 1), "C"},
      {Day(2003, 3, 1), VK_LEFT, {}, Day(2003, 2, 28), "C"},
      {Day(2003, 3, 12), VK_UP, {}, Day(2003, 3, 5), "C"},
      {Day(2003, 3, 12), VK_RIGHT, {}, Day(2003, 3, 13), "C"},
      {Day(2003, 3, 12), VK_DOWN, {}, Day(2003, 3, 19), "C"},
      {Day(2003, 3, 12), 'A', {}, Day(2003, 3, 12), "C"},  // any key changes
      {Day(2004, 2, 29), VK_PRIOR, {ssCtrl}, Day(2003, 2, 28), "C"},
      {Day(2003, 3, 12), VK_NEXT, {ssCtrl}, Day(2004, 3, 12), "C"},
      {Day(2003, 3, 12), VK_LEFT, {ssCtrl}, Day(2003, 3, 12), ""},
      {Day(2003, 3, 12), VK_LEFT, {ssShift}, Day(2003, 3, 12), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    cal->SetDate(c.from);
    events.clear();
    h->KeyDown(cal, c.key, c.shift);
    h->KeyUp(cal, c.key, c.shift);
    EXPECT_EQ(cal->Date(), c.expected);
    EXPECT_EQ(events, c.events);
  }
  cal->SetMinDate(Day(2003, 3, 12));
  cal->SetDate(Day(2003, 3, 12));
  h->KeyDown(cal, VK_LEFT);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 12)) << "Left on the minimum stays";
}

TEST_F(Calendar, MouseTrackingReleaseAndButtons) {
  cal->SetShowClearButton(true);
  cal->SetMinDate(Day(2003, 3, 5));
  cal->SetDate(Day(2003, 3, 12));
  h->Pump();
  const TPoint d20 = CellCentre(IndexOf(EncodeDate(2003, 3, 20)));
  const TPoint d21 = CellCentre(IndexOf(EncodeDate(2003, 3, 21)));
  const TPoint apr2 = CellCentre(IndexOf(EncodeDate(2003, 4, 2)));
  const TPoint mar3 = CellCentre(IndexOf(EncodeDate(2003, 3, 3)));  // below the minimum

  h->MouseDown(cal, d20.X, d20.Y);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 20)) << "tracking shows the day under the pointer";
  h->MouseMove(cal, d21.X, d21.Y, {ssLeft});
  h->MouseMove(cal, mar3.X, mar3.Y, {ssLeft});
  EXPECT_EQ(cal->Date(), Day(2003, 3, 21)) << "an invalid day is not tracked";
  h->MouseUp(cal, d21.X, d21.Y);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 21));
  EXPECT_EQ(events, "CP") << "OnChange before OnPickup";

  events.clear();
  h->MouseDown(cal, d20.X, d20.Y);
  h->MouseUp(cal, 5, 5);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 21)) << "a release elsewhere restores the date";
  h->MouseDown(cal, mar3.X, mar3.Y);
  h->MouseUp(cal, mar3.X, mar3.Y);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 21));
  EXPECT_EQ(events, "") << "an invalid day changes nothing";

  // A day of the next month: the page turns to it.
  h->MouseDown(cal, apr2.X, apr2.Y);
  h->MouseUp(cal, apr2.X, apr2.Y);
  EXPECT_EQ(cal->Date(), Day(2003, 4, 2));
  EXPECT_EQ(cal->FirstOfMonth().Value, EncodeDate(2003, 4, 1).Value);
  EXPECT_EQ(events, "CP");

  events.clear();
  const TRect clear = cal->ClearButtonRect();
  h->MouseDown(cal, clear.Left + 3, clear.Top + 3);
  h->MouseUp(cal, clear.Left + 3, clear.Top + 3);
  EXPECT_TRUE(cal->NullDate());
  EXPECT_FALSE(cal->ClearButtonEnabled());
  const TRect today = cal->TodayButtonRect();
  h->MouseDown(cal, today.Left + 3, today.Top + 3);
  h->MouseUp(cal, today.Left + 3, today.Top + 3);
  EXPECT_FALSE(cal->NullDate());
  EXPECT_EQ(cal->Date(), Day(2003, 3, 12));
  EXPECT_EQ(events, "CPCP");
  cal->SetDisableClearButton(true);
  EXPECT_FALSE(cal->ClearButtonEnabled());
}

TEST_F(Calendar, MonthMenuUnderTheMonthLabel) {
  cal->SetMinDate(Day(2003, 3, 5));
  cal->SetDate(Day(2003, 3, 31));
  h->Pump();
  TMenuScript script(form.get());
  script.OnNextPopup(cal->MonthMenu(), [&](TMenuWindow& w) {
    EXPECT_EQ(w.Item()->Count(), 12);
    EXPECT_EQ(w.ItemAt(3)->Caption(), "April");
    EXPECT_FALSE(w.ItemAt(1)->Enabled()) << "February lies before the minimum";
    EXPECT_FALSE(w.ItemAt(2)->Enabled()) << "the page's own month";
    const TPoint p = RowCentre(w, 3);
    h->Click(&w, p.X, p.Y);
  });
  const TRect label = cal->MonthLabelRect();
  const TPoint centre = cal->ClientToScreen({(label.Left + label.Right) / 2, cal->HeaderHeight()});
  h->MouseDown(cal, label.Left + 5, label.Top + 3);
  h->MouseUp(cal, label.Left + 5, label.Top + 3);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_FALSE(script.LeftOpen);
  EXPECT_EQ(cal->MonthMenu()->PopupPoint(), centre) << "centred under the label";
  EXPECT_EQ(cal->Date(), Day(2003, 4, 30)) << "the day is cut to the month";
  EXPECT_EQ(events, "C");
}

TEST_F(Calendar, YearEditorOverTheYearLabel) {
  cal->SetDate(Day(2004, 3, 12));
  h->Pump();
  const TRect label = cal->YearLabelRect();
  h->MouseDown(cal, label.Left + 3, label.Top + 3);
  h->MouseUp(cal, label.Left + 3, label.Top + 3);
  ASSERT_TRUE(cal->YearEditorShown());
  TYearEditorParts& parts = YearEditorParts();
  TvpYearEditor* editor = parts.Editor.get();
  EXPECT_EQ(editor->Parent(), cal);
  EXPECT_TRUE(editor->Visible());
  EXPECT_TRUE(editor->Focused());
  EXPECT_EQ(editor->Left(), label.Left + 1);
  EXPECT_EQ(editor->Width(), label.Right - label.Left - 1);
  EXPECT_EQ(editor->Height(), 20);
  EXPECT_EQ(editor->Text(), "2004");

  parts.Vision.ButtonClick(*editor, vbsClick);
  EXPECT_EQ(cal->Date(), Day(2005, 3, 12));
  EXPECT_EQ(events, "C");
  EXPECT_EQ(editor->Text(), "2005");
  cal->SetDate(Day(2004, 2, 29));
  parts.Data.Refresh();
  EXPECT_EQ(MessageOf<Exception>([&] { parts.Vision.ButtonClick(*editor, vbsShortCut2); }),
            "Invalid argument to date encode");
  EXPECT_EQ(cal->Date(), Day(2004, 2, 29)) << "29 February has no year before";
  cal->SetDate(Day(2004, 3, 1));
  parts.Data.Refresh();
  parts.Vision.ButtonClick(*editor, vbsClick2);
  EXPECT_EQ(cal->Date(), Day(2003, 3, 1));

  // A press on the calendar hides it; another calendar takes it over; a calendar destroyed
  // with it open lets it go.
  h->MouseDown(cal, 60, 80);
  h->MouseUp(cal, 60, 80);
  EXPECT_FALSE(cal->YearEditorShown());
  EXPECT_EQ(editor->Parent(), nullptr);
  auto* other = new TDevidCalendar(form.get());
  other->SetParent(form.get());
  other->SetLeft(200);
  cal->ShowYearEditor();
  other->ShowYearEditor();
  EXPECT_FALSE(cal->YearEditorShown());
  EXPECT_EQ(editor->Parent(), other);
  delete other;
  EXPECT_EQ(editor->Parent(), nullptr);
  EXPECT_EQ(parts.Navi.Calendar, nullptr);
  cal->SetShowYearNavigator(false);
  cal->ShowYearEditor();
  EXPECT_FALSE(cal->YearEditorShown());
}

TEST_F(Calendar, ArrowRepeatScheduleTickByTick) {
  cal->SetDate(Day(2003, 3, 12));
  h->Pump();
  const TRect next = cal->NextArrowRect();
  const int x = next.Left + 3, y = next.Top + 3;
  h->MouseDown(cal, x, y);
  EXPECT_EQ(cal->Date(), Day(2003, 4, 12)) << "one month at once";
  // Moves at 750 ms (tick 24), then every 90 ms to tick 132, every 60 ms to 200, then 30 ms.
  struct Step {
    unsigned waitTo;  // ms after the press
    int months;       // moved by then
  } const steps[] = {{745, 1}, {755, 2}, {835, 2}, {845, 3}, {3985, 37}, {4000, 38}, {6040, 72}, {6080, 73}};
  unsigned at = 0;
  for (const Step& s : steps) {
    h->Wait(s.waitTo - at);
    at = s.waitTo;
    const int moved = (cal->GetYMD(1) - 2003) * 12 + cal->GetYMD(2) - 3;
    EXPECT_EQ(moved, s.months) << s.waitTo;
  }
  h->MouseUp(cal, x, y);
  const TDate stopped = cal->Date();
  h->Wait(300);
  EXPECT_EQ(cal->Date(), stopped) << "a release stops it";

  // Destroyed while an arrow is held or the year editor is open: the timer and the editor go.
  h->MouseDown(cal, x, y);
  cal->ShowYearEditor();
  delete cal;
  cal = nullptr;
  h->Wait(100);
  EXPECT_EQ(YearEditorParts().Editor->Parent(), nullptr);
}

TEST_F(Calendar, ScalingRescalesButtonsAndArrows) {
  cal->SetBorderStyle(bsNoBorder);
  cal->SetShowTodayButton(true);
  form->ScaleBy(3, 2);  // scales its controls
  EXPECT_EQ(cal->ButtonHeight(), 29) << "MulDiv rounds";
  EXPECT_EQ(cal->ArrowWidth(), 21);
  EXPECT_EQ(cal->BodyHeight(), 7 * cal->CellHeight() + 14 + 29 + 3 + 2);
  EXPECT_EQ(cal->Height(), cal->HeaderHeight() + cal->BodyHeight()) << "sizes from the scaled font";
  EXPECT_EQ(cal->Width(), cal->BodyWidth());
  EXPECT_EQ(cal->PrevArrowRect().Right, 2 + 21);
}

TEST_F(Calendar, PaintingMarksChosenTodayGreyAndInvalid) {
  cal->SetShowClearButton(true);
  cal->SetMinDate(Day(2003, 3, 3));
  cal->SetDate(Day(2003, 3, 20));
  TBitmap bitmap;
  bitmap.SetSize(cal->ClientRect().Right, cal->ClientRect().Bottom);
  auto paint = [&] {
    AsNullSurface(&bitmap.Canvas()->Handle())->ClearOps();
    cal->PaintTo(*bitmap.Canvas());
    return AsNullSurface(&bitmap.Canvas()->Handle())->OpsOf(TPaintOpKind::TextOut);
  };
  auto colorOf = [](const std::vector<TPaintOp>& runs, const String& text, int nth = 0) {
    for (const TPaintOp& op : runs)
      if (op.Text == text && nth-- == 0) return op.Color;
    return clNone;
  };
  const TRect chosen = cal->CellRect(IndexOf(EncodeDate(2003, 3, 20)) / 7, IndexOf(EncodeDate(2003, 3, 20)) % 7);
  const TRect today = cal->CellRect(IndexOf(EncodeDate(2003, 3, 12)) / 7, IndexOf(EncodeDate(2003, 3, 12)) % 7);
  auto runs = paint();
  EXPECT_EQ(bitmap.Canvas()->Pixels(chosen.Left - 3, chosen.Top + 5), ColorToRGB(clBtnShadow)) << "chosen, widened";
  EXPECT_EQ(bitmap.Canvas()->Pixels(today.Left - 4, today.Top + 5), TColor(0x000080)) << "today's frame";
  EXPECT_EQ(bitmap.Canvas()->Pixels(today.Left - 2, today.Top + 5), ColorToRGB(clWindow));
  // Text runs carry the colour as drawn.
  EXPECT_EQ(colorOf(runs, "20"), ColorToRGB(clHighlightText));
  EXPECT_EQ(colorOf(runs, "5", 1), ColorToRGB(clGrayText)) << "5 April";
  EXPECT_EQ(colorOf(runs, "2", 0), ColorToRGB(clBtnHighlight)) << "2 March, invalid: embossed";
  EXPECT_EQ(colorOf(runs, "2", 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(colorOf(runs, "March"), ColorToRGB(clBtnText));
  EXPECT_EQ(colorOf(runs, "Today"), ColorToRGB(clBtnText));
  EXPECT_EQ(colorOf(runs, "Clear"), ColorToRGB(clBtnText));

  cal->SetNullDate(true);
  runs = paint();
  EXPECT_EQ(bitmap.Canvas()->Pixels(chosen.Left - 3, chosen.Top + 5), ColorToRGB(clWindow)) << "no chosen mark";
  EXPECT_EQ(bitmap.Canvas()->Pixels(today.Left - 4, today.Top + 5), TColor(0x000080)) << "today's frame stays";
  EXPECT_EQ(colorOf(runs, "20"), ColorToRGB(cal->Font()->Color()));
  EXPECT_EQ(colorOf(runs, "Clear"), ColorToRGB(clGrayText)) << "nothing to clear";
}

}  // namespace
}  // namespace zvtest
