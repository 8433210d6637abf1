#pragma once
// TDevidCalendar: one month as six weeks of days under a header with the month, the year and
// arrows to the neighbouring months; days are picked by mouse or keyboard, optional Today and
// Clear buttons sit below. The control sizes itself from its font.
//
// The header, its arrows and labels and the two buttons are drawn and hit-tested by the
// calendar itself (no child windows), so that one painting shows the whole control.
// Sources: Calendar.cpp (dates, page, sizes, input), CalendarPaint.cpp (painting).

#include "platform/controls/CustomControl.h"
#include "platform/rtl/DateTime.h"
#include "runtime/rtm/RtmTypes.h"

#include <array>

namespace zv {

class TPopupMenu;

class TDevidCalendar : public TCustomControl {
  ZV_CLASS(TDevidCalendar, TCustomControl)

public:
  explicit TDevidCalendar(TComponent* owner);
  ~TDevidCalendar() override;

  TvpBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TvpBorderStyle value);
  // Whole days; setting from code checks no range.
  TDate Date() const { return TDate(fDate.Value); }
  void SetDate(TDate value);
  bool NullDate() const { return fNullDate; }
  void SetNullDate(bool value);
  TDate MinDate() const { return TDate(fMinDate.Value); }
  void SetMinDate(TDate value) { SetMinMaxDate(1, value); }
  TDate MaxDate() const { return TDate(fMaxDate.Value); }
  void SetMaxDate(TDate value) { SetMinMaxDate(2, value); }
  bool IsMinDateStored() const { return fMinDate != 0; }
  bool IsMaxDateStored() const { return fMaxDate != 0; }
  bool ShowTodayButton() const { return fShowToday; }
  void SetShowTodayButton(bool value) { SetShowButton(1, value); }
  bool ShowClearButton() const { return fShowClear; }
  void SetShowClearButton(bool value) { SetShowButton(2, value); }
  bool ShowYearNavigator() const { return fShowYearNavigator; }
  void SetShowYearNavigator(bool value);
  bool DisableClearButton() const { return fDisableClear; }
  void SetDisableClearButton(bool value);

  TNotifyEvent OnChange;
  TNotifyEvent OnPickup;

  TDateTime RealMinDate() const;
  TDateTime RealMaxDate() const;
  bool IsValidDate(TDateTime d) const { return RealMinDate() <= d.Value && d.Value <= RealMaxDate(); }
  TDateTime FindNearest(bool backward, TDateTime d) const;
  // 1 year, 2 month, 3 day.
  int GetYMD(int which) const;
  // EConvertError for a day the month lacks; Date stays.
  void SetYMD(int which, int value);
  void SetMinMaxDate(int index, TDateTime value);
  void SetShowButton(int index, bool value);

  void PrevDay();
  void NextDay();
  void PrevWeek();
  void NextWeek();
  void PrevMonth();
  void NextMonth();
  void PrevYear();
  void NextYear();
  // The date of the day cell at a client point; 0 when none.
  TDateTime GetDateAt(int x, int y) const;
  void Changed(bool pickup);
  // The process's year editor over the year label (nothing without the year navigator);
  // hiding concerns only the calendar the editor sits on.
  void ShowYearEditor();
  void HideYearEditor();
  bool YearEditorShown() const;

  // ---- Layout and page, for painting and tests ---------------------------------------------
  TDateTime FirstOfMonth() const { return fFirstOfMonth; }
  TDateTime LastOfMonth() const { return fLastOfMonth; }
  const std::array<TDateTime, 42>& Days() const { return fDays; }
  const std::array<String, 7>& DayLetters() const { return fDayLetters; }
  int CellWidth() const { return fCellWidth; }
  int CellHeight() const { return fCellHeight; }
  int BodyWidth() const { return 7 * fCellWidth + 42; }
  int BodyHeight() const;
  int ButtonHeight() const { return fButtonHeight; }
  int ArrowWidth() const { return fArrowWidth; }
  int HeaderHeight() const { return fHeaderHeight; }
  // Client rectangles of the header's parts, the day cells and the buttons.
  TRect PrevArrowRect() const;
  TRect NextArrowRect() const;
  TRect MonthLabelRect() const;
  TRect YearLabelRect() const;
  TRect LetterRect(int column) const;
  TRect CellRect(int row, int column) const;
  TRect TodayButtonRect() const;
  TRect ClearButtonRect() const;
  bool PrevArrowEnabled() const { return fPrevEnabled; }
  bool NextArrowEnabled() const { return fNextEnabled; }
  bool MonthEnabled(int month) const { return fMonthEnabled[month - 1]; }
  bool TodayButtonEnabled() const;
  bool ClearButtonEnabled() const { return !fNullDate && !fDisableClear; }
  // The pop-up of the twelve months the month label opens.
  TPopupMenu* MonthMenu() const { return fMonthMenu; }
  // The whole control as it paints, onto any canvas of its client size.
  void PaintTo(TCanvas& canvas);

  void UpdateSizes();
  void UpdatePage();

  static void DeclareProperties(TPropTable<TDevidCalendar>& t);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoEnter() override;
  void DoExit() override;
  void WMGetDlgCode(TMessage& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;
  void WMTimer(TWMTimer& message) override;
  void CMFontChanged(TMessage& message) override;
  void ChangeScale(int m, int d) override;

public:
  void SetBounds(int left, int top, int width, int height) override;

private:
  int BorderWidth() const;
  // Moves Date by months, within 1 January 0001 .. 31 December 9999 and the valid range.
  void MoveMonths(int months);
  void MoveDays(int days);
  void StopArrow();

  void MonthClick(TObject* sender);

  TPopupMenu* fMonthMenu = nullptr;  // owned as a component
  TvpBorderStyle fBorderStyle = bs3D;
  TDateTime fDate = 0;
  bool fNullDate = false;
  TDateTime fMinDate = 0;
  TDateTime fMaxDate = 0;
  bool fShowToday = true;
  bool fShowClear = false;
  bool fShowYearNavigator = true;
  bool fDisableClear = false;

  TDateTime fFirstOfMonth = 0;
  TDateTime fLastOfMonth = 0;
  std::array<TDateTime, 42> fDays{};
  std::array<String, 7> fDayLetters;
  std::array<bool, 12> fMonthEnabled{};
  bool fPrevEnabled = true;
  bool fNextEnabled = true;
  int fCellWidth = 0;
  int fCellHeight = 0;
  int fButtonHeight = 19;
  int fArrowWidth = 14;
  int fHeaderHeight = 0;
  int fLabelHeight = 0;

  // Mouse state: tracking days, the arrow held (-1 previous, 1 next, 0 none) and its ticks,
  // the button pressed (1 Today, 2 Clear, 0 none), the date at the press.
  bool fTracking = false;
  int fArrow = 0;
  int fTick = 0;
  TPoint fMouse{};
  int fPressedButton = 0;
  TDateTime fSavedDate = 0;
};

}  // namespace zv
