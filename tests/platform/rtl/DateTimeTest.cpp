#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <limits>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

template <class E, class F>
void ExpectThrowMessage(F&& f, std::string_view message) {
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << message;
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

struct Ymd {
  int Year, Month, Day;
  bool operator==(const Ymd&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Ymd& d) {
  return os << d.Year << '-' << d.Month << '-' << d.Day;
}

struct Hms {
  int Hour, Min, Sec, MSec;
  bool operator==(const Hms&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Hms& t) {
  return os << t.Hour << ':' << t.Min << ':' << t.Sec << '.' << t.MSec;
}

Ymd DateParts(TDateTime v) {
  std::uint16_t y, m, d;
  DecodeDate(v, y, m, d);
  return {y, m, d};
}

Hms TimeParts(TDateTime v) {
  std::uint16_t h, m, s, ms;
  DecodeTime(v, h, m, s, ms);
  return {h, m, s, ms};
}

TEST(DateTimeTest, EncodeDateKnownDays) {
  EXPECT_EQ(EncodeDate(1899, 12, 30).Value, 0.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29).Value, -1.0);
  EXPECT_EQ(EncodeDate(1900, 2, 28).Value, 60.0);
  EXPECT_EQ(EncodeDate(1900, 3, 1).Value, 61.0);  // no 29 February 1900
  EXPECT_EQ(EncodeDate(2000, 1, 1).Value, 36526.0);
  EXPECT_EQ(EncodeDate(2024, 2, 29).Value, 45351.0);
  EXPECT_EQ(EncodeDate(1, 1, 1).Value, -693593.0);
  EXPECT_EQ(EncodeDate(9999, 12, 31).Value, 2958465.0);
}

// Every 11th day of the whole range against the standard library's civil calendar.
TEST(DateTimeTest, DateRoundTripAgreesWithChronoCalendar) {
  using namespace std::chrono;
  const sys_days epoch = sys_days(year(1899) / December / 30);
  for (int day = -693593; day <= 2958465; day += 11) {
    const year_month_day ref{epoch + days(day)};
    const Ymd expected{int(ref.year()), int(unsigned(ref.month())), int(unsigned(ref.day()))};
    ASSERT_EQ(DateParts(TDateTime(day)), expected) << day;
    TDateTime encoded;
    ASSERT_TRUE(TryEncodeDate(expected.Year, expected.Month, expected.Day, encoded));
    ASSERT_EQ(encoded.Value, double(day));
    ASSERT_EQ(DayOfWeek(TDateTime(day)), int(weekday(ref).c_encoding()) + 1) << day;
  }
}

TEST(DateTimeTest, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_EQ(DaysInAMonth(1900, 2), 28);
  EXPECT_EQ(DaysInAMonth(2000, 2), 29);
  EXPECT_EQ(DaysInAMonth(2023, 13), 0);
  EXPECT_EQ(DaysInAMonth(0, 1), 0);
  EXPECT_EQ(DateParts(EncodeDate(2024, 2, 29)), (Ymd{2024, 2, 29}));
  EXPECT_EQ(DateParts(EncodeDate(2024, 2, 29) + 1), (Ymd{2024, 3, 1}));
  EXPECT_EQ(DateParts(EncodeDate(1900, 2, 28) + 1), (Ymd{1900, 3, 1}));
}

TEST(DateTimeTest, InvalidDatesRaiseEncodeError) {
  const int bad[][3] = {{0, 1, 1},    {10000, 1, 1}, {2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1},
                        {2024, 0, 1}, {2024, 4, 31}, {2024, 1, 0},  {-1, 1, 1}};
  for (const auto& d : bad) {
    TDateTime value = 7;
    EXPECT_FALSE(TryEncodeDate(d[0], d[1], d[2], value)) << d[0] << '-' << d[1] << '-' << d[2];
    EXPECT_EQ(value.Value, 7.0);
    ExpectThrowMessage<EConvertError>([&] { EncodeDate(d[0], d[1], d[2]); }, SDateEncodeError);
  }
}

TEST(DateTimeTest, InvalidTimesRaiseEncodeError) {
  const int bad[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000},
                        {-1, 0, 0, 0}, {0, 0, 0, -1}, {70000, 0, 0, 0}};
  for (const auto& t : bad) {
    TDateTime value = 7;
    EXPECT_FALSE(TryEncodeTime(t[0], t[1], t[2], t[3], value));
    EXPECT_EQ(value.Value, 7.0);
    ExpectThrowMessage<EConvertError>([&] { EncodeTime(t[0], t[1], t[2], t[3]); },
                                      STimeEncodeError);
  }
  ExpectThrowMessage<EConvertError>([] { EncodeDateTime(2024, 2, 30, 0, 0, 0, 0); },
                                    SDateEncodeError);
  ExpectThrowMessage<EConvertError>([] { EncodeDateTime(2024, 2, 29, 0, 0, 0, 1000); },
                                    STimeEncodeError);
}

// Decoding rounds to the millisecond, on any date: 10:00:00.000 must not come back as
// 09:59:59.999, also far from 1899 where the fraction has fewer bits.
TEST(DateTimeTest, MillisecondsRoundTripOnAnyDate) {
  EXPECT_EQ(TimeParts(EncodeTime(10, 0, 0, 0)), (Hms{10, 0, 0, 0}));
  EXPECT_EQ(TimeParts(EncodeTime(23, 59, 59, 999)), (Hms{23, 59, 59, 999}));
  const TDateTime dates[] = {EncodeDate(1, 1, 1), EncodeDate(1899, 12, 29), 0.0,
                             EncodeDate(2024, 2, 29), EncodeDate(9999, 12, 31)};
  for (const TDateTime date : dates) {
    for (int ms = 0; ms < MSecsPerDay; ms += 99991) {
      const Hms t{ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000};
      const TDateTime value = ComposeDateTime(date, EncodeTime(t.Hour, t.Min, t.Sec, t.MSec));
      ASSERT_EQ(TimeParts(value), t) << date.Value;
      ASSERT_EQ(DateParts(value), DateParts(date)) << date.Value;
      std::uint16_t y, mo, d, h, mi, s, z;
      DecodeDateTime(value, y, mo, d, h, mi, s, z);
      ASSERT_EQ((Hms{h, mi, s, z}), t);
    }
  }
}

// Before 30 December 1899 the integral part is negative and the fraction counts forward.
TEST(DateTimeTest, ValuesBefore1899CountTheTimeForward) {
  EXPECT_EQ(DateParts(-1.25), (Ymd{1899, 12, 29}));
  EXPECT_EQ(TimeParts(-1.25), (Hms{6, 0, 0, 0}));
  EXPECT_EQ(DateParts(-1.75), (Ymd{1899, 12, 29}));
  EXPECT_EQ(TimeParts(-1.75), (Hms{18, 0, 0, 0}));
  EXPECT_EQ(DateParts(-0.5), (Ymd{1899, 12, 30}));
  EXPECT_EQ(TimeParts(-0.5), (Hms{12, 0, 0, 0}));
  EXPECT_EQ(DateParts(-1), (Ymd{1899, 12, 29}));

  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0).Value, -1.25);
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 18, 0, 0, 0).Value, -1.75);
  EXPECT_EQ(EncodeDateTime(1899, 12, 30, 12, 0, 0, 0).Value, 0.5);
  EXPECT_EQ(ComposeDateTime(-1, 0.25).Value, -1.25);
  EXPECT_EQ(ComposeDateTime(-1.75, -1.25).Value, -1.25);  // a negative time still means 06:00
  EXPECT_EQ(ComposeDateTime(2, 0.25).Value, 2.25);

  EXPECT_EQ(DateOf(-1.25).Value, -1.0);
  EXPECT_EQ(TimeOf(-1.25).Value, 0.25);
  EXPECT_EQ(DateOf(-0.5).Value, 0.0);
  EXPECT_EQ(TimeOf(-0.5).Value, 0.5);

  TDateTime v = -1.25;
  ReplaceTime(v, EncodeTime(18, 0, 0, 0));
  EXPECT_EQ(v.Value, -1.75);
  ReplaceDate(v, EncodeDate(1900, 1, 1));
  EXPECT_EQ(v.Value, 2.75);
  ReplaceDate(v, EncodeDate(1899, 12, 28));
  EXPECT_EQ(v.Value, -2.75);
  EXPECT_EQ(TimeParts(v), (Hms{18, 0, 0, 0}));

  EXPECT_EQ(DayOfWeek(-1.25), 6);  // Friday
  EXPECT_EQ(DayOfWeek(0), 7);      // Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);
}

// A value a fraction of a millisecond before midnight belongs to the next day.
TEST(DateTimeTest, RoundingToMidnightMovesToTheNextDay) {
  const double tiny = 0.1 / MSecsPerDay;
  EXPECT_EQ(DateParts(1 - tiny), (Ymd{1899, 12, 31}));
  EXPECT_EQ(TimeParts(1 - tiny), (Hms{0, 0, 0, 0}));
  EXPECT_EQ(DateParts(-2 + tiny), (Ymd{1899, 12, 28}));
  EXPECT_EQ(TimeParts(-2 + tiny), (Hms{0, 0, 0, 0}));
  EXPECT_EQ(DateParts(-1 + tiny), (Ymd{1899, 12, 29}));
  EXPECT_EQ(DateOf(1 - tiny).Value, 1.0);
  EXPECT_EQ(TimeOf(1 - tiny).Value, 0.0);
  // At the end of the range the last millisecond stays on 31 December 9999.
  EXPECT_EQ(DateParts(2958466 - tiny), (Ymd{9999, 12, 31}));
  EXPECT_EQ(TimeParts(2958466 - tiny), (Hms{23, 59, 59, 999}));
}

TEST(DateTimeTest, ValuesOutsideTheCalendarDecodeToZero) {
  const double bad[] = {-693594.0, 2958466.0, 1e300, -1e300,
                        std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity()};
  for (const double v : bad) {
    EXPECT_EQ(DateParts(v), (Ymd{0, 0, 0})) << v;
    EXPECT_EQ(DayOfWeek(v), 0) << v;
    EXPECT_THROW(DateTimeToTimeStamp(v), EConvertError) << v;
    EXPECT_THROW(IncMonth(v, 1), EConvertError) << v;
  }
  ExpectThrowMessage<EConvertError>([] { DateTimeToTimeStamp(1e300); },
                                    "'1E300' is not a valid date and time");
  EXPECT_EQ(DateParts(-693593.5), (Ymd{1, 1, 1}));
  EXPECT_EQ(TimeParts(-693593.5), (Hms{12, 0, 0, 0}));
}

TEST(DateTimeTest, IncMonthClampsTheDayAndKeepsTheTime) {
  const TDateTime time = EncodeTime(13, 14, 15, 16);
  const auto at = [&](int y, int m, int d) { return ComposeDateTime(EncodeDate(y, m, d), time); };
  EXPECT_EQ(IncMonth(at(2024, 1, 31)).Value, at(2024, 2, 29).Value);
  EXPECT_EQ(IncMonth(at(2023, 1, 31)).Value, at(2023, 2, 28).Value);
  EXPECT_EQ(IncMonth(at(2024, 3, 31), -1).Value, at(2024, 2, 29).Value);
  EXPECT_EQ(IncMonth(at(2024, 2, 29), 12).Value, at(2025, 2, 28).Value);
  EXPECT_EQ(IncMonth(at(2024, 11, 15), 3).Value, at(2025, 2, 15).Value);
  EXPECT_EQ(IncMonth(at(2024, 2, 15), -14).Value, at(2022, 12, 15).Value);
  EXPECT_EQ(IncMonth(at(2024, 5, 31), 0).Value, at(2024, 5, 31).Value);
  // Across 1899: the time of day survives the change of sign.
  EXPECT_EQ(IncMonth(-1.25, 1).Value, EncodeDateTime(1900, 1, 29, 6, 0, 0, 0).Value);
  EXPECT_EQ(IncMonth(EncodeDateTime(1900, 1, 29, 6, 0, 0, 0), -1).Value, -1.25);
  EXPECT_EQ(IncMonth(at(9999, 11, 30), 1).Value, at(9999, 12, 30).Value);
  ExpectThrowMessage<EConvertError>([&] { IncMonth(at(9999, 12, 31), 1); }, SDateEncodeError);
  ExpectThrowMessage<EConvertError>([&] { IncMonth(at(1, 1, 1), -1); }, SDateEncodeError);
  EXPECT_THROW(IncMonth(at(2024, 1, 1), INT_MAX), EConvertError);
  EXPECT_THROW(IncMonth(at(2024, 1, 1), INT_MIN), EConvertError);
}

TEST(DateTimeTest, ClockIsConsistent) {
  const TDateTime before = Now();
  const TDateTime today = Date();
  const TDateTime time = Time();
  const TDateTime after = Now();
  EXPECT_LE(before.Value, after.Value);
  EXPECT_EQ(TimeOf(today).Value, 0.0);
  EXPECT_GE(time.Value, 0.0);
  EXPECT_LT(time.Value, 1.0);
  // Unless midnight passed during the test, today is the date of both readings of Now.
  EXPECT_TRUE(DateOf(before).Value == today.Value || DateOf(after).Value == today.Value);
  EXPECT_GE(DateParts(today).Year, 2024);
}

TEST(DateTimeTest, TimeStampsSplitDaysAndMilliseconds) {
  EXPECT_EQ(DateTimeToTimeStamp(0), (TTimeStamp{0, DateDelta}));
  EXPECT_EQ(DateTimeToTimeStamp(-1.25), (TTimeStamp{6 * 3600000, DateDelta - 1}));
  EXPECT_EQ(DateTimeToTimeStamp(EncodeDate(1, 1, 1)), (TTimeStamp{0, 1}));
  const TDateTime values[] = {0.0, -1.25, -1.75, EncodeDateTime(2024, 2, 29, 23, 59, 59, 999),
                              EncodeDate(1, 1, 1), EncodeDateTime(9999, 12, 31, 23, 59, 59, 999)};
  for (const TDateTime v : values) {
    const TTimeStamp stamp = DateTimeToTimeStamp(v);
    EXPECT_EQ(TimeStampToDateTime(stamp).Value, v.Value);
    EXPECT_EQ(MSecsToTimeStamp(TimeStampToMSecs(stamp)), stamp);
  }
  ExpectThrowMessage<EConvertError>([] { TimeStampToDateTime(TTimeStamp{0, 0}); },
                                    "'0.0' is not a valid timestamp");
  ExpectThrowMessage<EConvertError>([] { TimeStampToDateTime(TTimeStamp{MSecsPerDay, 5}); },
                                    "'5.86400000' is not a valid timestamp");
  EXPECT_THROW(TimeStampToDateTime(TTimeStamp{-1, 5}), EConvertError);
  EXPECT_THROW(TimeStampToDateTime(TTimeStamp{0, 3652060}), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(-1), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(1e300), EConvertError);
  EXPECT_THROW(MSecsToTimeStamp(std::numeric_limits<double>::quiet_NaN()), EConvertError);
}

}  // namespace
}  // namespace zv
