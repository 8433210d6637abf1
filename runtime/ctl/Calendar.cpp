// The calendar's dates and range, its page of six weeks, its sizes from the font, and the
// mouse and keyboard.

#include "runtime/ctl/Calendar.h"
#include "runtime/ctl/detail/YearEditor.h"

#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/GraphicsObject.h"
#include "platform/graphics/TextBreak.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/InputRoutines.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace zv {

namespace {

constexpr std::uintptr_t ArrowTimer = 1;
constexpr unsigned ArrowInterval = 30;
// Dates of 1 January 0001 and 31 December 9999.
constexpr double FirstDate = -693593;
constexpr double LastDate = 2958465;

int MonthIndex(TDateTime d) {
  std::uint16_t y, m, day;
  DecodeDate(d, y, m, day);
  return y * 12 + (m - 1);
}

// The first grapheme cluster of a name, upper-cased: a letter that is one user-perceived
// character whatever its bytes.
String FirstLetter(const String& name) {
  const std::vector<int> bounds = GraphemeBoundaries(name);
  if (bounds.size() < 2) return {};
  return AnsiUpperCase(std::string_view(name).substr(0, bounds[1]));
}

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TDevidCalendar, TCustomControl)

TDevidCalendar::TDevidCalendar(TComponent* owner) : TCustomControl(owner) {
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  fDate = zv::Date();
  fMonthMenu = new TPopupMenu(this);
  fMonthMenu->SetAlignment(paCenter);
  for (int m = 1; m <= 12; ++m) {
    auto* item = new TMenuItem(fMonthMenu);
    item->SetTag(m);
    item->OnClick = [this](TObject* sender) { MonthClick(sender); };
    fMonthMenu->Items()->Add(item);
  }
  UpdateSizes();
  UpdatePage();
}

TDevidCalendar::~TDevidCalendar() {
  HideYearEditor();
  if (fArrow && HandleAllocated()) KillTimer(Handle(), ArrowTimer);
  Destroying();
}

void TDevidCalendar::DeclareProperties(TPropTable<TDevidCalendar>& t) {
  using C = TDevidCalendar;
  DeclareSizing(t, true, true);
  for (const char* name : {"Color", "DragCursor", "DragMode", "DragKind", "Enabled", "Font", "ParentColor",
                           "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible"})
    t.Publish(name);
  t.Prop("BorderStyle", &C::BorderStyle, &C::SetBorderStyle).Default(bs3D);
  t.Prop("Date", &C::Date, &C::SetDate);
  t.Prop("NullDate", &C::NullDate, &C::SetNullDate).Default(false);
  t.Prop("MinDate", &C::MinDate, &C::SetMinDate).Stored(&C::IsMinDateStored);
  t.Prop("MaxDate", &C::MaxDate, &C::SetMaxDate).Stored(&C::IsMaxDateStored);
  t.Prop("ShowTodayButton", &C::ShowTodayButton, &C::SetShowTodayButton).Default(true);
  t.Prop("ShowClearButton", &C::ShowClearButton, &C::SetShowClearButton).Default(false);
  t.Prop("ShowYearNavigator", &C::ShowYearNavigator, &C::SetShowYearNavigator).Default(true);
  t.Prop("DisableClearButton", &C::DisableClearButton, &C::SetDisableClearButton).Default(false);
  for (const char* name : {"OnDblClick", "OnStartDrag", "OnDragOver", "OnDragDrop", "OnEndDrag", "OnEnter", "OnExit",
                           "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseMove"})
    t.Publish(name);
  t.Event("OnChange", &C::OnChange);
  t.Event("OnPickup", &C::OnPickup);
}

// ---- Dates and range ----------------------------------------------------------------------------

void TDevidCalendar::SetBorderStyle(TvpBorderStyle value) {
  if (fBorderStyle == value) return;
  fBorderStyle = value;
  RecreateWnd();
  UpdateSizes();
}

void TDevidCalendar::SetDate(TDate value) {
  const TDateTime d = std::trunc(value.Value);
  if (d == fDate.Value && !fNullDate) return;
  fDate = d;
  fNullDate = false;
  UpdatePage();
}

void TDevidCalendar::SetNullDate(bool value) {
  if (fNullDate == value) return;
  fNullDate = value;
  UpdatePage();
}

TDateTime TDevidCalendar::RealMinDate() const { return fMinDate != 0 ? fMinDate.Value : FirstDate; }
TDateTime TDevidCalendar::RealMaxDate() const { return fMaxDate != 0 ? fMaxDate.Value : LastDate; }

TDateTime TDevidCalendar::FindNearest(bool backward, TDateTime d) const {
  (void)backward;
  return std::clamp(d.Value, RealMinDate().Value, RealMaxDate().Value);
}

int TDevidCalendar::GetYMD(int which) const {
  std::uint16_t y, m, d;
  DecodeDate(fDate, y, m, d);
  return which == 1 ? y : which == 2 ? m : d;
}

void TDevidCalendar::SetYMD(int which, int value) {
  int ymd[3] = {GetYMD(1), GetYMD(2), GetYMD(3)};
  ymd[which - 1] = value;
  SetDate(TDate(EncodeDate(ymd[0], ymd[1], ymd[2]).Value));
}

void TDevidCalendar::SetMinMaxDate(int index, TDateTime value) {
  if (index == 1) {
    if (value != 0 && value.Value > RealMaxDate().Value) fMaxDate = value.Value + 1;
    if (fMinDate.Value == value.Value) return;
    fMinDate = value;
  } else {
    if (value != 0 && value.Value < RealMinDate().Value) fMinDate = value.Value - 1;
    if (fMaxDate.Value == value.Value) return;
    fMaxDate = value;
  }
  UpdatePage();
}

void TDevidCalendar::SetShowButton(int index, bool value) {
  bool& flag = index == 1 ? fShowToday : fShowClear;
  if (flag == value) return;
  flag = value;
  UpdateSizes();
}

void TDevidCalendar::SetShowYearNavigator(bool value) {
  if (fShowYearNavigator == value) return;
  fShowYearNavigator = value;
  UpdateSizes();
}

void TDevidCalendar::SetDisableClearButton(bool value) {
  if (fDisableClear == value) return;
  fDisableClear = value;
  Invalidate();
}

bool TDevidCalendar::TodayButtonEnabled() const { return IsValidDate(zv::Date()); }

void TDevidCalendar::MoveDays(int days) { SetDate(TDate(FindNearest(days < 0, fDate.Value + days).Value)); }

void TDevidCalendar::MoveMonths(int months) {
  // The host's month step raises past the calendar's ends: stop at them instead.
  const int target = MonthIndex(fDate) + months;
  TDateTime d;
  if (target < 12)
    d = FirstDate;
  else if (target > 9999 * 12 + 11)
    d = LastDate;
  else
    d = IncMonth(fDate, months);
  SetDate(TDate(FindNearest(months < 0, d).Value));
}

void TDevidCalendar::PrevDay() { MoveDays(-1); }
void TDevidCalendar::NextDay() { MoveDays(1); }
void TDevidCalendar::PrevWeek() { MoveDays(-7); }
void TDevidCalendar::NextWeek() { MoveDays(7); }
void TDevidCalendar::PrevMonth() { MoveMonths(-1); }
void TDevidCalendar::NextMonth() { MoveMonths(1); }
void TDevidCalendar::PrevYear() { MoveMonths(-12); }
void TDevidCalendar::NextYear() { MoveMonths(12); }

void TDevidCalendar::Changed(bool pickup) {
  if (OnChange) OnChange(this);
  if (pickup && OnPickup) OnPickup(this);
}

// ---- Page ---------------------------------------------------------------------------------------

void TDevidCalendar::UpdatePage() {
  std::uint16_t y, m, d;
  DecodeDate(fDate, y, m, d);
  fFirstOfMonth = EncodeDate(y, m, 1);
  fLastOfMonth = EncodeDate(y, m, DaysInAMonth(y, m));
  const int page = MonthIndex(fDate);
  fPrevEnabled = page > MonthIndex(RealMinDate());
  fNextEnabled = page < MonthIndex(RealMaxDate());
  const int minMonth = MonthIndex(RealMinDate()), maxMonth = MonthIndex(RealMaxDate());
  for (int i = 0; i < 12; ++i) {
    const int month = y * 12 + i;
    fMonthEnabled[i] = i + 1 != m && month >= minMonth && month <= maxMonth;
    TMenuItem* item = fMonthMenu->Items()->Items(i);
    item->SetCaption(FormatSettings().LongMonthStandAloneNames[i]);
    item->SetEnabled(fMonthEnabled[i]);
  }
  // The letters follow the first day of the week as it is now, as the days below them do.
  const int firstDay = GetFirstDayOfWeek();
  const TFormatSettings& fs = FormatSettings();
  for (int c = 0; c < 7; ++c) fDayLetters[c] = FirstLetter(fs.ShortDayNames[(firstDay - 1 + c) % 7]);
  int k = DayOfWeek(fFirstOfMonth) - firstDay;
  if (k < 0) k += 7;
  for (int i = 0; i < 42; ++i) fDays[i] = fFirstOfMonth.Value - k + i;
  Invalidate();
}

// ---- Sizes and geometry -------------------------------------------------------------------------

int TDevidCalendar::BorderWidth() const { return fBorderStyle == bs3D ? 2 : vprBorderWidth(fBorderStyle); }

int TDevidCalendar::BodyHeight() const {
  return 7 * fCellHeight + 14 + (fShowToday || fShowClear ? fButtonHeight + 3 : 0) + 2;
}

void TDevidCalendar::UpdateSizes() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TFontStyles styles = canvas->Font()->Style();
  canvas->Font()->SetStyle(styles + TFontStyles{fsBold});
  const TFormatSettings& fs = FormatSettings();
  std::array<String, 7> letters;
  const int firstDay = GetFirstDayOfWeek();
  for (int c = 0; c < 7; ++c) letters[c] = FirstLetter(fs.ShortDayNames[(firstDay - 1 + c) % 7]);
  int w = canvas->TextWidth("99"), h = canvas->TextHeight("99");
  for (const String& l : letters) {
    w = std::max(w, canvas->TextWidth(l));
    h = std::max(h, canvas->TextHeight(l));
  }
  for (const String& name : fs.LongMonthStandAloneNames) h = std::max(h, canvas->TextHeight(name));
  canvas->Font()->SetStyle(styles);
  fCellWidth = w;
  fCellHeight = h;
  fLabelHeight = h % 2 == 0 ? h - 1 : h;
  fHeaderHeight = fLabelHeight + 10;
  const int b = BorderWidth();
  SetBounds(Left(), Top(), BodyWidth() + 2 * b, fHeaderHeight + BodyHeight() + 2 * b);
  Invalidate();
}

void TDevidCalendar::SetBounds(int left, int top, int width, int height) {
  (void)width;
  (void)height;
  const int b = BorderWidth();
  TCustomControl::SetBounds(left, top, BodyWidth() + 2 * b, fHeaderHeight + BodyHeight() + 2 * b);
}

void TDevidCalendar::ChangeScale(int m, int d) {
  TCustomControl::ChangeScale(m, d);
  fButtonHeight = MulDiv(fButtonHeight, m, d);
  fArrowWidth = MulDiv(fArrowWidth, m, d);
  UpdateSizes();
}

void TDevidCalendar::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  UpdateSizes();
}

TRect TDevidCalendar::PrevArrowRect() const { return {2, 2, 2 + fArrowWidth, fHeaderHeight - 2}; }

TRect TDevidCalendar::NextArrowRect() const {
  const int right = ClientRect().Right;
  TCanvas* canvas = Canvas();
  const int left = right - fArrowWidth - canvas->TextWidth("99999999") - 2;
  return {left, 2, left + fArrowWidth, fHeaderHeight - 2};
}

TRect TDevidCalendar::MonthLabelRect() const {
  const int top = (fHeaderHeight - fLabelHeight) / 2;
  return {2 + fArrowWidth, top, NextArrowRect().Left, top + fLabelHeight};
}

TRect TDevidCalendar::YearLabelRect() const {
  const int top = (fHeaderHeight - fLabelHeight) / 2;
  const TRect next = NextArrowRect();
  return {next.Right, top, next.Right + Canvas()->TextWidth("99999999"), top + fLabelHeight};
}

TRect TDevidCalendar::LetterRect(int column) const {
  const int left = 6 + column * (fCellWidth + 5), top = fHeaderHeight + 2;
  return {left, top, left + fCellWidth, top + fCellHeight};
}

TRect TDevidCalendar::CellRect(int row, int column) const {
  const int left = 6 + column * (fCellWidth + 5);
  const int top = fHeaderHeight + fCellHeight + 5 + row * (fCellHeight + 1);
  return {left, top, left + fCellWidth, top + fCellHeight};
}

TRect TDevidCalendar::TodayButtonRect() const {
  if (!fShowToday) return {};
  const int offset = BorderWidth() + 6, width = (ClientRect().Right - (offset + 12)) / 2;
  const int top = ClientRect().Bottom - fButtonHeight - 3;
  return {offset, top, offset + width, top + fButtonHeight};
}

TRect TDevidCalendar::ClearButtonRect() const {
  if (!fShowClear) return {};
  const int client = ClientRect().Right;
  const int offset = BorderWidth() + 6, width = (client - (offset + 12)) / 2;
  const int top = ClientRect().Bottom - fButtonHeight - 3;
  return {client - width - offset, top, client - offset, top + fButtonHeight};
}

TDateTime TDevidCalendar::GetDateAt(int x, int y) const {
  // Divisions truncate towards zero as the host's do: the margin left of the first column
  // belongs to it.
  const int c = (x - 6) / (fCellWidth + 5);
  const int dy = y - (fHeaderHeight + fCellHeight + 5);
  if (c < 0 || c > 6 || dy <= 0) return 0;
  const int r = dy / (fCellHeight + 1);
  if (r < 0 || r > 5) return 0;
  return fDays[7 * r + c];
}

// ---- Window -------------------------------------------------------------------------------------

void TDevidCalendar::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (fBorderStyle == bs3D) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TDevidCalendar::WMNCCalcSize(TWMNCCalcSize& message) {
  TCustomControl::WMNCCalcSize(message);
  if (fBorderStyle != bs3D) CalcBorderSizeEx(fBorderStyle, message.CalcSize_Params()->rgrc[0]);
}

void TDevidCalendar::WMNCPaint(TWMNCPaint& message) {
  TCustomControl::WMNCPaint(message);
  if (fBorderStyle != bs3D) vprDrawBorderEx(fBorderStyle, *this, false);
}

void TDevidCalendar::WMGetDlgCode(TMessage& message) { message.Result = DLGC_WANTARROWS; }

void TDevidCalendar::DoEnter() {
  TCustomControl::DoEnter();
  Invalidate();
}

void TDevidCalendar::DoExit() {
  TCustomControl::DoExit();
  Invalidate();
}

// ---- Keyboard -----------------------------------------------------------------------------------

void TDevidCalendar::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  const TShiftState modifiers = shift * TShiftState{ssShift, ssCtrl, ssAlt};
  if (modifiers.Empty()) {
    switch (key) {
      case VK_PRIOR: PrevMonth(); break;
      case VK_NEXT: NextMonth(); break;
      case VK_END: SetDate(TDate(FindNearest(false, fLastOfMonth).Value)); break;
      case VK_HOME: SetDate(TDate(FindNearest(true, fFirstOfMonth).Value)); break;
      case VK_LEFT: PrevDay(); break;
      case VK_UP: PrevWeek(); break;
      case VK_RIGHT: NextDay(); break;
      case VK_DOWN: NextWeek(); break;
      default: break;
    }
    Changed(false);
    key = 0;
  } else if (modifiers == TShiftState{ssCtrl} && (key == VK_PRIOR || key == VK_NEXT)) {
    if (key == VK_PRIOR)
      PrevYear();
    else
      NextYear();
    Changed(false);
    key = 0;
  }
}

// ---- Mouse --------------------------------------------------------------------------------------

void TDevidCalendar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  if (CanFocus()) SetFocus();
  fSavedDate = fDate;
  fMouse = {x, y};
  const TPoint p{x, y};
  if (PtInRect(PrevArrowRect(), p) || PtInRect(NextArrowRect(), p)) {
    const int arrow = PtInRect(PrevArrowRect(), p) ? -1 : 1;
    if (!(arrow < 0 ? fPrevEnabled : fNextEnabled)) return;
    fArrow = arrow;
    fTick = 0;
    MoveMonths(arrow);
    Changed(false);
    if (HandleAllocated()) SetTimer(Handle(), ArrowTimer, ArrowInterval);
    return;
  }
  if (YearEditorShown()) HideYearEditor();
  if (PtInRect(YearLabelRect(), p)) {
    ShowYearEditor();
    return;
  }
  if (PtInRect(MonthLabelRect(), p)) {
    const TRect label = MonthLabelRect();
    const TPoint at = ClientToScreen({(label.Left + label.Right) / 2, fHeaderHeight});
    fMonthMenu->Popup(at.X, at.Y);
    return;
  }
  if (fShowToday && PtInRect(TodayButtonRect(), p) && TodayButtonEnabled()) {
    fPressedButton = 1;
    return;
  }
  if (fShowClear && PtInRect(ClearButtonRect(), p) && ClearButtonEnabled()) {
    fPressedButton = 2;
    return;
  }
  if (y >= fHeaderHeight) {
    fTracking = true;
    MouseMove(shift + TShiftState{ssLeft}, x, y);
  }
}

void TDevidCalendar::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  fMouse = {x, y};
  if (!fTracking || !shift.Contains(ssLeft)) return;
  const TDateTime d = GetDateAt(x, y);
  // The page stays while tracking; the day under the pointer shows as chosen.
  if (d != 0 && IsValidDate(d) && d.Value != fDate.Value) {
    fDate = d;
    Invalidate();
  }
}

void TDevidCalendar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  const TPoint p{x, y};
  if (fArrow) {
    StopArrow();
    return;
  }
  if (const int pressed = std::exchange(fPressedButton, 0)) {
    if (pressed == 1 && PtInRect(TodayButtonRect(), p)) {
      SetDate(TDate(zv::Date().Value));
      Changed(true);
    } else if (pressed == 2 && PtInRect(ClearButtonRect(), p)) {
      SetNullDate(true);
      Changed(true);
    }
    return;
  }
  if (!std::exchange(fTracking, false)) return;
  const TDateTime d = GetDateAt(x, y);
  if (d != 0 && IsValidDate(d)) {
    // Tracking set Date already: the page must still turn to a day of the next or previous
    // month, and a null date becomes this one.
    fDate = d;
    fNullDate = false;
    UpdatePage();
    Changed(true);
  } else {
    fDate = fSavedDate;
    Invalidate();
  }
}

// ---- Year editor --------------------------------------------------------------------------------

bool TDevidCalendar::YearEditorShown() const { return YearEditorExists() && YearEditorParts().Navi.Calendar == this; }

void TDevidCalendar::ShowYearEditor() {
  if (!fShowYearNavigator) return;
  TYearEditorParts& parts = YearEditorParts();
  if (parts.Navi.Calendar && parts.Navi.Calendar != this) parts.Navi.Calendar->HideYearEditor();
  parts.Navi.Calendar = this;
  parts.Data.Cancel();
  parts.Data.Refresh();
  TvpYearEditor& editor = *parts.Editor;
  const TRect label = YearLabelRect();
  const int height = std::max(20, Canvas()->TextHeight("9999") + 2 * vprBorderWidth(bsSoft) + 2);
  editor.SetParent(this);
  editor.SetBounds(label.Left + 1, (label.Top + label.Bottom - height) / 2, label.Right - label.Left - 1, height);
  editor.SetVisible(true);
  if (editor.CanFocus()) editor.SetFocus();
}

void TDevidCalendar::HideYearEditor() {
  if (!YearEditorShown()) return;
  TYearEditorParts& parts = YearEditorParts();
  parts.Navi.Calendar = nullptr;
  parts.Data.Cancel();
  parts.Editor->SetVisible(false);
  parts.Editor->SetParent(nullptr);
  // Its window goes too: the next calendar may live on another form (or backend).
  if (parts.Editor->HandleAllocated()) parts.Editor->DestroyHandle();
}

void TDevidCalendar::MonthClick(TObject* sender) {
  const int month = static_cast<int>(static_cast<TComponent*>(sender)->Tag());
  MoveMonths(month - GetYMD(2));
  Changed(false);
}

void TDevidCalendar::StopArrow() {
  fArrow = 0;
  if (HandleAllocated()) KillTimer(Handle(), ArrowTimer);
}

void TDevidCalendar::WMTimer(TWMTimer& message) {
  if (message.TimerID() != ArrowTimer || !fArrow) {
    TCustomControl::WMTimer(message);
    return;
  }
  const int c = fTick++;
  const TRect arrow = fArrow < 0 ? PrevArrowRect() : NextArrowRect();
  if (!PtInRect(arrow, fMouse)) return;
  const bool move = c > 200 || (c > 21.67 && c <= 133.33 && c % 3 == 0) || (c > 133.33 && c <= 200 && c % 2 == 0);
  if (!move) return;
  MoveMonths(fArrow);
  Changed(false);
}

}  // namespace zv
