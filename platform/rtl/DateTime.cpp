#include "platform/rtl/DateTime.h"

#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

namespace {

constexpr long long kMinDay = 1 - DateDelta;           // 1 January 0001
constexpr long long kMaxDay = 3652059 - DateDelta;     // 31 December 9999
constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;

// A value split into whole days (relative to 30 December 1899) and milliseconds of the day,
// rounded to the nearest millisecond. The fraction counts forward within the day on both sides
// of 1899, so a rounding that reaches midnight moves to the day farther from zero. Values
// outside years 1..9999 (and NaN) do not split.
struct SplitTime {
  long long Day = 0;
  int MSec = 0;
};

bool Split(double value, SplitTime& out) {
  if (!std::isfinite(value) || value <= double(kMinDay - 1) || value >= double(kMaxDay + 1))
    return false;
  const double whole = std::trunc(value);
  long long day = static_cast<long long>(whole);
  long long msec = std::llround(std::fabs(value - whole) * MSecsPerDay);
  if (msec >= MSecsPerDay) {
    const long long next = value < 0 ? day - 1 : day + 1;
    if (next < kMinDay || next > kMaxDay) {
      msec = MSecsPerDay - 1;
    } else {
      day = next;
      msec = 0;
    }
  }
  if (day < kMinDay || day > kMaxDay) return false;
  out.Day = day;
  out.MSec = static_cast<int>(msec);
  return true;
}

// Days before 1 January of year (1-based count, so 1 January 0001 gives 0).
long long DaysBeforeYear(int year) {
  const long long y = year - 1;
  return y * 365 + y / 4 - y / 100 + y / 400;
}

void CivilFromDay(long long day, std::uint16_t& year, std::uint16_t& month, std::uint16_t& dom) {
  long long n = day + DateDelta - 1;  // 0 = 1 January 0001
  const long long y400 = n / kDaysPer400Years;
  n %= kDaysPer400Years;
  long long y100 = n / kDaysPer100Years;
  if (y100 == 4) y100 = 3;  // the last day of a 400-year cycle
  n -= y100 * kDaysPer100Years;
  const long long y4 = n / kDaysPer4Years;
  n %= kDaysPer4Years;
  long long y1 = n / 365;
  if (y1 == 4) y1 = 3;  // 31 December of a leap year
  n -= y1 * 365;
  const int y = static_cast<int>(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
  const auto& table = MonthDays[IsLeapYear(y) ? 1 : 0];
  int m = 0;
  while (n >= table[m]) {
    n -= table[m];
    ++m;
  }
  year = static_cast<std::uint16_t>(y);
  month = static_cast<std::uint16_t>(m + 1);
  dom = static_cast<std::uint16_t>(n + 1);
}

String InvalidTimeStampText(long long date, long long time) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "'%lld.%lld' is not a valid timestamp", date, time);
  return buf;
}

TTimeStamp CheckedTimeStamp(long long date, long long time) {
  if (date < 1 || date > kMaxDay + DateDelta || time < 0 || time >= MSecsPerDay)
    throw EConvertError(InvalidTimeStampText(date, time));
  return TTimeStamp{static_cast<int>(time), static_cast<int>(date)};
}

std::tm LocalNow(int& msec) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  msec = static_cast<int>(((ms % 1000) + 1000) % 1000);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return 0;
  return MonthDays[IsLeapYear(year) ? 1 : 0][month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  const int length = DaysInAMonth(year, month);
  if (length == 0 || day < 1 || day > length) return false;
  long long days = DaysBeforeYear(year);
  const auto& table = MonthDays[IsLeapYear(year) ? 1 : 0];
  for (int m = 0; m < month - 1; ++m) days += table[m];
  days += day;
  date = TDateTime(static_cast<double>(days - DateDelta));
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError(SDateEncodeError);
  return result;
}

void DecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day) {
  std::uint16_t dow;
  DecodeDateFully(date, year, month, day, dow);
}

bool DecodeDateFully(TDateTime date, std::uint16_t& year, std::uint16_t& month,
                     std::uint16_t& day, std::uint16_t& dayOfWeek) {
  SplitTime split;
  if (!Split(date.Value, split)) {
    year = month = day = dayOfWeek = 0;
    return false;
  }
  CivilFromDay(split.Day, year, month, day);
  dayOfWeek = static_cast<std::uint16_t>((split.Day + DateDelta) % 7 + 1);
  return IsLeapYear(year);
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
  if (hour < 0 || hour >= HoursPerDay || min < 0 || min >= 60 || sec < 0 || sec >= 60 ||
      msec < 0 || msec >= MSecsPerSec)
    return false;
  const int total = ((hour * 60 + min) * 60 + sec) * MSecsPerSec + msec;
  time = TDateTime(static_cast<double>(total) / MSecsPerDay);
  return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  TDateTime result;
  if (!TryEncodeTime(hour, min, sec, msec, result)) throw EConvertError(STimeEncodeError);
  return result;
}

void DecodeTime(TDateTime time, std::uint16_t& hour, std::uint16_t& min, std::uint16_t& sec,
                std::uint16_t& msec) {
  SplitTime split;
  int ms = Split(time.Value, split) ? split.MSec : 0;
  msec = static_cast<std::uint16_t>(ms % MSecsPerSec);
  ms /= MSecsPerSec;
  sec = static_cast<std::uint16_t>(ms % 60);
  ms /= 60;
  min = static_cast<std::uint16_t>(ms % 60);
  hour = static_cast<std::uint16_t>(ms / 60);
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value) {
  TDateTime date, time;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, min, sec, msec, time))
    return false;
  value = ComposeDateTime(date, time);
  return true;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec) {
  const TDateTime date = EncodeDate(year, month, day);
  return ComposeDateTime(date, EncodeTime(hour, min, sec, msec));
}

void DecodeDateTime(TDateTime value, std::uint16_t& year, std::uint16_t& month,
                    std::uint16_t& day, std::uint16_t& hour, std::uint16_t& min,
                    std::uint16_t& sec, std::uint16_t& msec) {
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, min, sec, msec);
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  const double day = DateOf(date).Value;
  const double fraction = TimeOf(time).Value;
  return TDateTime(day >= 0 ? day + fraction : day - fraction);
}

TDateTime DateOf(TDateTime value) {
  SplitTime split;
  if (!Split(value.Value, split)) return TDateTime(std::trunc(value.Value));
  return TDateTime(static_cast<double>(split.Day));
}

TDateTime TimeOf(TDateTime value) {
  SplitTime split;
  if (!Split(value.Value, split))
    return TDateTime(std::fabs(value.Value - std::trunc(value.Value)));
  return TDateTime(static_cast<double>(split.MSec) / MSecsPerDay);
}

void ReplaceDate(TDateTime& value, TDateTime newDate) {
  value = ComposeDateTime(newDate, TimeOf(value));
}

void ReplaceTime(TDateTime& value, TDateTime newTime) { value = ComposeDateTime(value, newTime); }

int DayOfWeek(TDateTime date) {
  std::uint16_t y, m, d, dow;
  DecodeDateFully(date, y, m, d, dow);
  return dow;
}

TDateTime IncMonth(TDateTime date, int numberOfMonths) {
  std::uint16_t year, month, day;
  DecodeDate(date, year, month, day);
  if (year == 0) throw EConvertError(SDateEncodeError);
  const long long total = static_cast<long long>(year) * 12 + (month - 1) + numberOfMonths;
  if (total < 12 || total >= 10000LL * 12) throw EConvertError(SDateEncodeError);
  const int newYear = static_cast<int>(total / 12);
  const int newMonth = static_cast<int>(total % 12) + 1;
  const int length = DaysInAMonth(newYear, newMonth);
  const TDateTime newDate = EncodeDate(newYear, newMonth, day > length ? length : day);
  return ComposeDateTime(newDate, TimeOf(date));
}

namespace {

TDateTime SystemNow() {
  int msec;
  const std::tm local = LocalNow(msec);
  // A leap second shows as 60; keep it within the minute.
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec, msec);
}

TClockSource& ClockSource() {
  static TClockSource source;
  return source;
}

}  // namespace

void SetClockSource(TClockSource source) { ClockSource() = std::move(source); }

void PinClock(TDateTime moment) {
  SetClockSource([moment] { return moment; });
}

TDateTime Now() {
  const TClockSource& source = ClockSource();
  return source ? source() : SystemNow();
}

TDateTime Date() { return DateOf(Now()); }

TDateTime Time() { return TimeOf(Now()); }

TTimeStamp DateTimeToTimeStamp(TDateTime value) {
  SplitTime split;
  if (!Split(value.Value, split)) {
    throw EConvertError(Format(SInvalidDateTime, {FloatToStr(value.Value)}));
  }
  return TTimeStamp{split.MSec, static_cast<int>(split.Day + DateDelta)};
}

TDateTime TimeStampToDateTime(const TTimeStamp& stamp) {
  const TTimeStamp checked = CheckedTimeStamp(stamp.Date, stamp.Time);
  return ComposeDateTime(TDateTime(static_cast<double>(checked.Date - DateDelta)),
                         TDateTime(static_cast<double>(checked.Time) / MSecsPerDay));
}

double TimeStampToMSecs(const TTimeStamp& stamp) {
  return static_cast<double>(stamp.Date) * MSecsPerDay + stamp.Time;
}

TTimeStamp MSecsToTimeStamp(double msecs) {
  // Far out of range values are reported as the nearest representable ones.
  constexpr double kLimit = 1e15;
  const double clamped = std::isnan(msecs) ? 0 : std::fmax(-kLimit, std::fmin(kLimit, msecs));
  const long long total = std::llround(clamped);
  if (clamped != msecs) throw EConvertError(InvalidTimeStampText(total / MSecsPerDay, 0));
  return CheckedTimeStamp(total / MSecsPerDay, total % MSecsPerDay);
}

}  // namespace zv
