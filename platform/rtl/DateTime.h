#pragma once
// TDateTime: days since 30 December 1899 in the integral part, the time of day as the fraction.
// Before that date the integral part is negative and the fraction still counts forward from
// midnight (-1.25 is 29 December 1899, 06:00), as the host stores it.
//
// Calendar routines: the proleptic Gregorian calendar, years 1..9999. Encoding bad arguments
// raises EConvertError (SDateEncodeError / STimeEncodeError); decoding rounds to the nearest
// millisecond so that encoded values come back unchanged.

#include <compare>
#include <cstdint>
#include <functional>

namespace zv {

struct TDateTime {
  double Value = 0;

  constexpr TDateTime() = default;
  constexpr TDateTime(double v) : Value(v) {}  // NOLINT: the host converts freely
  constexpr operator double() const { return Value; }
};

// Dates and times of day as distinct types, so that a property says which part it holds (the
// object dataset maps them to date and time fields).
struct TDate : TDateTime {
  using TDateTime::TDateTime;
};
struct TTime : TDateTime {
  using TDateTime::TDateTime;
};

inline constexpr int HoursPerDay = 24;
inline constexpr int MinsPerDay = HoursPerDay * 60;
inline constexpr int SecsPerDay = MinsPerDay * 60;
inline constexpr int MSecsPerSec = 1000;
inline constexpr int MSecsPerDay = SecsPerDay * MSecsPerSec;
// Days between 1 January 0001 and 30 December 1899 (plus one: TTimeStamp counts from day 1).
inline constexpr int DateDelta = 693594;
// Days between 30 December 1899 and 1 January 1970.
inline constexpr int UnixDateDelta = 25569;

// Message for an impossible TTimeStamp (days, milliseconds).
inline constexpr const char SInvalidTimeStamp[] = "'%d.%d' is not a valid timestamp";

// The host's split form: Time = milliseconds since midnight, Date = days since 1 January 0001
// plus one (1 January 0001 is 1). Datasets store dates and times in this form.
struct TTimeStamp {
  int Time = 0;
  int Date = 0;
  friend bool operator==(const TTimeStamp&, const TTimeStamp&) = default;
};

bool IsLeapYear(int year);
// Days of month 1..12 of year; 0 for a month or year out of range.
int DaysInAMonth(int year, int month);
// The host's table: MonthDays[IsLeapYear(y)][month - 1].
inline constexpr unsigned short MonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Dates. Try forms return false instead of raising.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
// Fields of the date part; all zero when the value lies outside years 1..9999.
void DecodeDate(TDateTime date, std::uint16_t& year, std::uint16_t& month, std::uint16_t& day);
// As DecodeDate, plus the day of the week (1 = Sunday); returns IsLeapYear(year).
bool DecodeDateFully(TDateTime date, std::uint16_t& year, std::uint16_t& month,
                     std::uint16_t& day, std::uint16_t& dayOfWeek);

// Times of day: hour 0..23, minute and second 0..59, milliseconds 0..999.
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeTime(TDateTime time, std::uint16_t& hour, std::uint16_t& min, std::uint16_t& sec,
                std::uint16_t& msec);

// Both at once; the date and time are composed as ComposeDateTime does.
bool TryEncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec,
                       TDateTime& value);
TDateTime EncodeDateTime(int year, int month, int day, int hour, int min, int sec, int msec);
void DecodeDateTime(TDateTime value, std::uint16_t& year, std::uint16_t& month,
                    std::uint16_t& day, std::uint16_t& hour, std::uint16_t& min,
                    std::uint16_t& sec, std::uint16_t& msec);

// The date of `date` at the time of day of `time`: before 30 December 1899 the time is
// subtracted, so that the fraction keeps counting forward from midnight.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);
// The date part (midnight) and the time of day (0 <= result < 1) of a value.
TDateTime DateOf(TDateTime value);
TDateTime TimeOf(TDateTime value);
// Replace the date part or the time of day of value, keeping the other.
void ReplaceDate(TDateTime& value, TDateTime newDate);
void ReplaceTime(TDateTime& value, TDateTime newTime);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime date);
// Adds months, clamping the day to the target month's length and keeping the time of day.
TDateTime IncMonth(TDateTime date, int numberOfMonths = 1);

// The local clock: today at midnight, the time of day, both. They read the clock source, which
// is the system's local time until an application or a test sets another.
TDateTime Date();
TDateTime Time();
TDateTime Now();

using TClockSource = std::function<TDateTime()>;
// An empty source gives the system clock back.
void SetClockSource(TClockSource source);
// A clock stopped at moment; move it with PinClock again.
void PinClock(TDateTime moment);

// TTimeStamp conversions; invalid values raise EConvertError.
TTimeStamp DateTimeToTimeStamp(TDateTime value);
TDateTime TimeStampToDateTime(const TTimeStamp& stamp);
// Date * MSecsPerDay + Time, as the host counts them.
double TimeStampToMSecs(const TTimeStamp& stamp);
TTimeStamp MSecsToTimeStamp(double msecs);

}  // namespace zv
