#include "platform/rtl/SqlTimeStamp.h"

#include <gtest/gtest.h>

#include "platform/rtl/Consts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

std::ostream& operator<<(std::ostream& os, const TSQLTimeStamp& s) {
  return os << s.Year << '-' << s.Month << '-' << s.Day << ' ' << s.Hour << ':' << s.Minute << ':'
            << s.Second << '.' << s.Fractions;
}

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

const TFormatSettings kUS;

TEST(SqlTimeStampTest, NullTimeStamp) {
  const TSQLTimeStamp null = NullSQLTimeStamp;
  EXPECT_TRUE(IsSQLTimeStampBlank(null));
  EXPECT_EQ(SQLTimeStampToDateTime(null).Value, 0.0);
  EXPECT_NO_THROW(CheckSqlTimeStamp(null));
  // One millisecond is no longer blank.
  EXPECT_FALSE(IsSQLTimeStampBlank(TSQLTimeStamp{0, 0, 0, 0, 0, 0, 1}));
  EXPECT_EQ(SQLTimeStampToDateTime(TSQLTimeStamp{0, 0, 0, 0, 0, 0, 1}).Value,
            1.0 / MSecsPerDay);
}

TEST(SqlTimeStampTest, ConvertsToAndFromDateTime) {
  const TSQLTimeStamp leap{2024, 2, 29, 13, 45, 10, 123};
  EXPECT_EQ(SQLTimeStampToDateTime(leap).Value, EncodeDateTime(2024, 2, 29, 13, 45, 10, 123).Value);
  EXPECT_EQ(DateTimeToSQLTimeStamp(SQLTimeStampToDateTime(leap)), leap);
  EXPECT_EQ(SQLTimeStampToDateTime(TSQLTimeStamp{1899, 12, 29, 6, 0, 0, 0}).Value, -1.25);
  EXPECT_EQ(DateTimeToSQLTimeStamp(-1.75), (TSQLTimeStamp{1899, 12, 29, 18, 0, 0, 0}));
  EXPECT_EQ(DateTimeToSQLTimeStamp(-0.5), (TSQLTimeStamp{1899, 12, 30, 12, 0, 0, 0}));
  EXPECT_EQ(DateTimeToSQLTimeStamp(0), (TSQLTimeStamp{1899, 12, 30, 0, 0, 0, 0}));
  // A time with no date is a time of day.
  EXPECT_EQ(SQLTimeStampToDateTime(TSQLTimeStamp{0, 0, 0, 6, 0, 0, 0}).Value, 0.25);
  const TSQLTimeStamp stamps[] = {{1, 1, 1, 0, 0, 0, 0},        {1, 1, 1, 23, 59, 59, 999},
                                  {1899, 12, 29, 23, 59, 59, 1}, {1900, 2, 28, 0, 0, 0, 1},
                                  {2000, 2, 29, 10, 0, 0, 0},   {9999, 12, 31, 23, 59, 59, 999}};
  for (const TSQLTimeStamp& s : stamps) {
    EXPECT_EQ(DateTimeToSQLTimeStamp(SQLTimeStampToDateTime(s)), s);
    EXPECT_NO_THROW(CheckSqlTimeStamp(s)) << s;
  }
  for (const double bad : {-693594.0, 2958466.0, 1e300}) {
    EXPECT_THROW(DateTimeToSQLTimeStamp(bad), EConvertError) << bad;
  }
}

TEST(SqlTimeStampTest, ImpossibleValuesAreRejected) {
  const TSQLTimeStamp bad[] = {
      {2024, 13, 1, 0, 0, 0, 0}, {2023, 2, 29, 0, 0, 0, 0},  {1900, 2, 29, 0, 0, 0, 0},
      {2024, 4, 31, 0, 0, 0, 0}, {2024, 1, 0, 0, 0, 0, 0},   {0, 1, 1, 0, 0, 0, 0},
      {-5, 1, 1, 0, 0, 0, 0},    {2024, 1, 1, 24, 0, 0, 0},  {2024, 1, 1, 0, 60, 0, 0},
      {2024, 1, 1, 0, 0, 60, 0}, {2024, 1, 1, 0, 0, 0, 1000}, {2024, 1, 1, 0, 0, 0, 70000},
      {0, 0, 0, 24, 0, 0, 0}};
  for (const TSQLTimeStamp& s : bad) {
    ExpectThrowMessage<ESQLTimeStampException>([&] { CheckSqlTimeStamp(s); },
                                               SInvalidSQLTimeStamp);
    EXPECT_THROW(SQLTimeStampToDateTime(s), EConvertError) << s;
  }
  EXPECT_NO_THROW(CheckSqlTimeStamp(TSQLTimeStamp{0, 0, 0, 23, 59, 59, 999}));
  ExpectThrowMessage<EConvertError>([] { SQLTimeStampToDateTime({2023, 2, 29, 0, 0, 0, 0}); },
                                    SDateEncodeError);
  // 70000 milliseconds must not wrap into a valid 16-bit value.
  ExpectThrowMessage<EConvertError>([] { SQLTimeStampToDateTime({2024, 1, 1, 0, 0, 0, 70000}); },
                                    STimeEncodeError);
}

TEST(SqlTimeStampTest, FormatsAsText) {
  const TSQLTimeStamp stamp{2024, 2, 29, 13, 45, 10, 7};
  EXPECT_EQ(SQLTimeStampToStr("", stamp, kUS), "2/29/2024 1:45:10 PM");
  EXPECT_EQ(SQLTimeStampToStr("yyyy-mm-dd hh:nn:ss.zzz", stamp, kUS), "2024-02-29 13:45:10.007");
  // An empty format always shows the time, midnight included.
  EXPECT_EQ(SQLTimeStampToStr("", TSQLTimeStamp{2024, 2, 29, 0, 0, 0, 0}, kUS),
            "2/29/2024 12:00:00 AM");
  EXPECT_EQ(SQLTimeStampToStr("", TSQLTimeStamp{1899, 12, 29, 18, 0, 0, 0}, kUS),
            "12/29/1899 6:00:00 PM");
  TFormatSettings de;
  de.ShortDateFormat = "dd.mm.yyyy";
  de.DateSeparator = '.';
  de.LongTimeFormat = "hh:nn:ss";
  EXPECT_EQ(SQLTimeStampToStr("", stamp, de), "29.02.2024 13:45:10");
  EXPECT_EQ(SQLTimeStampToStr("", stamp), SQLTimeStampToStr("", stamp, FormatSettings()));
  EXPECT_THROW(SQLTimeStampToStr("", TSQLTimeStamp{2024, 2, 30, 0, 0, 0, 0}, kUS), EConvertError);
}

TEST(SqlTimeStampTest, ParsesText) {
  EXPECT_EQ(StrToSQLTimeStamp("2/29/2024 1:45:10 PM", kUS),
            (TSQLTimeStamp{2024, 2, 29, 13, 45, 10, 0}));
  EXPECT_EQ(StrToSQLTimeStamp("2/29/2024 13:45:10.250", kUS),
            (TSQLTimeStamp{2024, 2, 29, 13, 45, 10, 250}));
  EXPECT_EQ(StrToSQLTimeStamp("12/29/1899 6:00", kUS), (TSQLTimeStamp{1899, 12, 29, 6, 0, 0, 0}));
  TFormatSettings de;
  de.ShortDateFormat = "dd.mm.yyyy";
  de.DateSeparator = '.';
  de.LongTimeFormat = "hh:nn:ss";
  EXPECT_EQ(StrToSQLTimeStamp("29.02.2024 13:45:10", de),
            (TSQLTimeStamp{2024, 2, 29, 13, 45, 10, 0}));
  for (const char* text : {"", "garbage", "2/30/2024", "2/29/2024 24:00", "29.02.2024"}) {
    TSQLTimeStamp stamp{1, 1, 1, 0, 0, 0, 0};
    EXPECT_FALSE(TryStrToSQLTimeStamp(text, stamp, kUS)) << text;
    EXPECT_EQ(stamp, (TSQLTimeStamp{1, 1, 1, 0, 0, 0, 0}));
    ExpectThrowMessage<EConvertError>([&] { StrToSQLTimeStamp(text, kUS); },
                                      SCouldNotParseTimeStamp);
  }
}

TEST(SqlTimeStampTest, TextRoundTrips) {
  TFormatSettings precise;
  precise.LongTimeFormat = "hh:nn:ss.zzz";
  TFormatSettings de;
  de.ShortDateFormat = "dd.mm.yyyy";
  de.DateSeparator = '.';
  de.LongTimeFormat = "hh:nn:ss.zzz";
  const TSQLTimeStamp stamps[] = {{1, 1, 1, 0, 0, 0, 0},        {1899, 12, 29, 23, 59, 59, 1},
                                  {1899, 12, 30, 12, 0, 0, 0},   {2024, 2, 29, 13, 45, 10, 123},
                                  {9999, 12, 31, 23, 59, 59, 999}};
  for (const TSQLTimeStamp& s : stamps) {
    EXPECT_EQ(StrToSQLTimeStamp(SQLTimeStampToStr("", s, precise), precise), s);
    EXPECT_EQ(StrToSQLTimeStamp(SQLTimeStampToStr("", s, de), de), s);
    TSQLTimeStamp whole = s;
    whole.Fractions = 0;
    EXPECT_EQ(StrToSQLTimeStamp(SQLTimeStampToStr("", whole, kUS), kUS), whole);
  }
}

}  // namespace
}  // namespace zv
