#include "platform/rtl/DateFormat.h"

#include <gtest/gtest.h>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

template <class F>
void ExpectConvertError(F&& f, const char* message, std::string_view text) {
  String expected(message);
  expected.replace(expected.find("%s"), 2, text);
  try {
    f();
    ADD_FAILURE() << "no exception, expected: " << expected;
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), expected);
  }
}

TFormatSettings German() {
  TFormatSettings fs;
  fs.DateSeparator = '.';
  fs.ShortDateFormat = "dd.mm.yyyy";
  fs.LongDateFormat = "dddd, d. mmmm yyyy";
  fs.TimeSeparator = ':';
  fs.ShortTimeFormat = "hh:nn";
  fs.LongTimeFormat = "hh:nn:ss";
  fs.DecimalSeparator = ',';
  fs.TimeAMString = "";
  fs.TimePMString = "";
  fs.ShortMonthNames = {"Jan", "Feb", "Mär", "Apr", "Mai", "Jun",
                        "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"};
  fs.LongMonthNames = {"Januar", "Februar", "März",      "April",   "Mai",      "Juni",
                       "Juli",   "August",  "September", "Oktober", "November", "Dezember"};
  fs.ShortDayNames = {"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"};
  fs.LongDayNames = {"Sonntag",    "Montag",  "Dienstag", "Mittwoch",
                     "Donnerstag", "Freitag", "Samstag"};
  return fs;
}

int ThisYear() {
  std::uint16_t y, m, d;
  DecodeDate(Date(), y, m, d);
  return y;
}

// Friday 9 February 2024, 07:05:03.004: every field has a single digit.
const TDateTime kSample = EncodeDateTime(2024, 2, 9, 7, 5, 3, 4);
const TFormatSettings kUS;

TEST(DateFormatTest, FieldTokens) {
  EXPECT_EQ(FormatDateTime("d dd ddd dddd", kSample, kUS), "9 09 Fri Friday");
  EXPECT_EQ(FormatDateTime("m mm mmm mmmm", kSample, kUS), "2 02 Feb February");
  EXPECT_EQ(FormatDateTime("yy yyyy", kSample, kUS), "24 2024");
  EXPECT_EQ(FormatDateTime("h hh n nn s ss z zzz", kSample, kUS), "7 07 5 05 3 03 4 004");
  EXPECT_EQ(FormatDateTime("D/MM/YYYY HH:NN:SS.ZZZ", kSample, kUS), "9/02/2024 07:05:03.004");
  EXPECT_EQ(FormatDateTime("yyyy", EncodeDate(1, 1, 1), kUS), "0001");
  EXPECT_EQ(FormatDateTime("yy", EncodeDate(2005, 1, 1), kUS), "05");
  const TDateTime last = EncodeDateTime(9999, 12, 31, 23, 59, 59, 999);
  EXPECT_EQ(FormatDateTime("dd mmmm yyyy hh:nn:ss.zzz", last, kUS),
            "31 December 9999 23:59:59.999");
}

// m after h (literals in between do not count) is the minute; elsewhere the month.
TEST(DateFormatTest, MinutesAfterHours) {
  EXPECT_EQ(FormatDateTime("h:m", kSample, kUS), "7:5");
  EXPECT_EQ(FormatDateTime("hh:mm", kSample, kUS), "07:05");
  EXPECT_EQ(FormatDateTime("mm/dd hh:mm", kSample, kUS), "02/09 07:05");
  EXPECT_EQ(FormatDateTime("hh 'h' mm", kSample, kUS), "07 h 05");
  EXPECT_EQ(FormatDateTime("hh:nn:ss mm", kSample, kUS), "07:05:03 02");
  EXPECT_EQ(FormatDateTime("hh dd mm", kSample, kUS), "07 09 02");
}

TEST(DateFormatTest, SettingsFormats) {
  EXPECT_EQ(FormatDateTime("ddddd", kSample, kUS), "2/9/2024");
  EXPECT_EQ(FormatDateTime("dddddd", kSample, kUS), "Friday, February 9, 2024");
  EXPECT_EQ(FormatDateTime("t", kSample, kUS), "7:05 AM");
  EXPECT_EQ(FormatDateTime("tt", kSample, kUS), "7:05:03 AM");
  EXPECT_EQ(FormatDateTime("c", kSample, kUS), "2/9/2024 7:05:03 AM");
  EXPECT_EQ(FormatDateTime("", kSample, kUS), "2/9/2024 7:05:03 AM");
  EXPECT_EQ(FormatDateTime("c", DateOf(kSample), kUS), "2/9/2024");
  // One millisecond past midnight is not midnight.
  EXPECT_EQ(FormatDateTime("c", DateOf(kSample) + 1.0 / MSecsPerDay, kUS),
            "2/9/2024 12:00:00 AM");
  // Formats naming each other must not recurse forever.
  TFormatSettings fs;
  fs.ShortDateFormat = "c|ddddd";
  fs.LongTimeFormat = "tt";
  EXPECT_NO_THROW(FormatDateTime("c", kSample, fs));
}

TEST(DateFormatTest, TwelveHourClock) {
  const auto at = [](int h, int n) { return EncodeTime(h, n, 0, 0); };
  EXPECT_EQ(FormatDateTime("h:nn am/pm", at(0, 30), kUS), "12:30 am");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", at(11, 59), kUS), "11:59 am");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", at(12, 0), kUS), "12:00 pm");
  EXPECT_EQ(FormatDateTime("hh:nn AM/PM", at(13, 5), kUS), "01:05 PM");
  EXPECT_EQ(FormatDateTime("h:nn Am/pM", at(23, 59), kUS), "11:59 pM");
  EXPECT_EQ(FormatDateTime("h a/p", at(9, 0), kUS), "9 a");
  EXPECT_EQ(FormatDateTime("h A/P", at(21, 0), kUS), "9 P");
  EXPECT_EQ(FormatDateTime("h ampm", at(21, 0), kUS), "9 PM");
  EXPECT_EQ(FormatDateTime("hh:nn", at(21, 0), kUS), "21:00");
  // Only an hour before the marker turns to 12 hours.
  EXPECT_EQ(FormatDateTime("ampm h", at(21, 0), kUS), "PM 21");
  EXPECT_EQ(FormatDateTime("h 'am/pm' h", at(21, 0), kUS), "21 am/pm 21");
  EXPECT_EQ(FormatDateTime("h:nn h:nn am/pm", at(21, 0), kUS), "21:00 9:00 pm");
  TFormatSettings fs;
  fs.TimeAMString = "vorm.";
  fs.TimePMString = "nachm.";
  EXPECT_EQ(FormatDateTime("h:nn ampm", at(15, 0), fs), "3:00 nachm.");
  EXPECT_EQ(FormatDateTime("h:nn ampm", at(3, 0), fs), "3:00 vorm.");
  // An 'a' that starts no marker is a plain character.
  EXPECT_EQ(FormatDateTime("h 'x' a", at(15, 0), kUS), "15 x a");
}

TEST(DateFormatTest, LiteralsAndSeparators) {
  EXPECT_EQ(FormatDateTime("'Today is' dddd", kSample, kUS), "Today is Friday");
  EXPECT_EQ(FormatDateTime("\"d/m\" d/m", kSample, kUS), "d/m 9/2");
  EXPECT_EQ(FormatDateTime("d 'unterminated", kSample, kUS), "9 unterminated");
  EXPECT_EQ(FormatDateTime("yyyy年m月d日", kSample, kUS), "2024年2月9日");
  TFormatSettings fs;
  fs.DateSeparator = '-';
  fs.TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn", kSample, fs), "2024-02-09 07.05");
  EXPECT_EQ(FormatDateTime("yyyy'/'mm", kSample, fs), "2024/02");
  const TFormatSettings de = German();
  EXPECT_EQ(DateToStr(kSample, de), "09.02.2024");
  EXPECT_EQ(FormatDateTime("dddddd", EncodeDate(2024, 3, 1), de), "Freitag, 1. März 2024");
  EXPECT_EQ(FormatDateTime("ddd d. mmm", EncodeDate(2024, 3, 1), de), "Fr 1. Mär");
  EXPECT_EQ(DateTimeToStr(kSample, de), "09.02.2024 07:05:03");
}

TEST(DateFormatTest, ConvenienceForms) {
  EXPECT_EQ(DateToStr(kSample, kUS), "2/9/2024");
  EXPECT_EQ(TimeToStr(kSample, kUS), "7:05:03 AM");
  EXPECT_EQ(DateTimeToStr(kSample, kUS), "2/9/2024 7:05:03 AM");
  EXPECT_EQ(DateTimeToStr(DateOf(kSample), kUS), "2/9/2024");
  EXPECT_EQ(DateTimeToStr(-1.25, kUS), "12/29/1899 6:00:00 AM");
  EXPECT_EQ(DateTimeToStr(-1.75, kUS), "12/29/1899 6:00:00 PM");
  EXPECT_EQ(DateTimeToStr(-0.5, kUS), "12/30/1899 12:00:00 PM");
  EXPECT_EQ(DateToStr(EncodeDate(1, 1, 1), kUS), "1/1/0001");
  EXPECT_EQ(DateToStr(EncodeDate(2024, 2, 29)), "2/29/2024");  // the global settings
}

TEST(DateFormatTest, StrToDateFollowsTheSettingsOrder) {
  EXPECT_EQ(StrToDate("2/29/2024", kUS).Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(StrToDate("  02 / 09 / 2024  ", kUS).Value, EncodeDate(2024, 2, 9).Value);
  EXPECT_EQ(StrToDate("12/29/1899", kUS).Value, -1.0);
  EXPECT_EQ(StrToDate("1/1/0001", kUS).Value, EncodeDate(1, 1, 1).Value);
  EXPECT_EQ(StrToDate("12/31/9999", kUS).Value, EncodeDate(9999, 12, 31).Value);
  EXPECT_EQ(StrToDate("1/2/0024", kUS).Value, EncodeDate(24, 1, 2).Value);  // four digits
  const TFormatSettings de = German();
  EXPECT_EQ(StrToDate("29.02.2024", de).Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(StrToDate("9.2.2024", de).Value, EncodeDate(2024, 2, 9).Value);
  TFormatSettings iso;
  iso.ShortDateFormat = "yyyy-mm-dd";
  iso.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2024-02-29", iso).Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(StrToDate("2-28", iso).Value, StrToDate("2/28", kUS).Value);
  // A missing year is this year.
  EXPECT_EQ(StrToDate("3/4", kUS).Value, EncodeDate(ThisYear(), 3, 4).Value);
  EXPECT_EQ(StrToDate("4.3", de).Value, EncodeDate(ThisYear(), 3, 4).Value);
}

// Two-digit years land in the hundred years starting TwoDigitYearCenturyWindow years ago.
TEST(DateFormatTest, TwoDigitYearsFollowTheCenturyWindow) {
  const int year = ThisYear();
  for (const int window : {50, 10, 99}) {
    TFormatSettings fs;
    fs.TwoDigitYearCenturyWindow = static_cast<unsigned short>(window);
    for (int yy = 0; yy < 100; yy += 7) {
      const String text = "1/1/" + std::to_string(yy);
      std::uint16_t y, m, d;
      DecodeDate(StrToDate(text, fs), y, m, d);
      EXPECT_EQ(y % 100, yy) << text;
      EXPECT_GE(y, year - window) << text << " window " << window;
      EXPECT_LT(y, year - window + 100) << text << " window " << window;
    }
  }
  // Without a window the century is the current one.
  TFormatSettings fs;
  fs.TwoDigitYearCenturyWindow = 0;
  std::uint16_t y, m, d;
  DecodeDate(StrToDate("1/1/99", fs), y, m, d);
  EXPECT_EQ(y, year / 100 * 100 + 99);
  DecodeDate(StrToDate("1/1/00", fs), y, m, d);
  EXPECT_EQ(y, year / 100 * 100);
}

TEST(DateFormatTest, BadDatesRaiseWithTheText) {
  for (const char* text : {"", " ", "abc", "2/30/2024", "2/29/2023", "2/29/1900", "13/1/2024",
                           "1/2/2024x", "2-9-2024", "1/2/", "1//2024", "1/2/3/4", "2/9/2024 10:00",
                           "99999999999999999999/1/2024", "0/1/2024", "1/1/0000"}) {
    TDateTime value = 7;
    EXPECT_FALSE(TryStrToDate(text, value, kUS)) << text;
    EXPECT_EQ(value.Value, 7.0);
    EXPECT_EQ(StrToDateDef(text, 3, kUS).Value, 3.0);
    ExpectConvertError([&] { StrToDate(text, kUS); }, SInvalidDate, text);
  }
  TDateTime value;
  EXPECT_FALSE(TryStrToDate("2/29/2024", value, German()));
  EXPECT_EQ(StrToDateDef("2/29/2024", 3, kUS).Value, EncodeDate(2024, 2, 29).Value);
}

TEST(DateFormatTest, StrToTimeReadsOptionalPartsAndMarkers) {
  const auto t = [](int h, int n, int s, int z) { return EncodeTime(h, n, s, z).Value; };
  EXPECT_EQ(StrToTime("10:30", kUS).Value, t(10, 30, 0, 0));
  EXPECT_EQ(StrToTime("10", kUS).Value, t(10, 0, 0, 0));
  EXPECT_EQ(StrToTime("10:30:15", kUS).Value, t(10, 30, 15, 0));
  EXPECT_EQ(StrToTime("10:30:15.5", kUS).Value, t(10, 30, 15, 500));
  EXPECT_EQ(StrToTime("10:30:15.123", kUS).Value, t(10, 30, 15, 123));
  EXPECT_EQ(StrToTime("23:59:59.999", kUS).Value, t(23, 59, 59, 999));
  EXPECT_EQ(StrToTime("1:05 PM", kUS).Value, t(13, 5, 0, 0));
  EXPECT_EQ(StrToTime("12:00 AM", kUS).Value, t(0, 0, 0, 0));
  EXPECT_EQ(StrToTime("12:00 PM", kUS).Value, t(12, 0, 0, 0));
  EXPECT_EQ(StrToTime("12:30 am", kUS).Value, t(0, 30, 0, 0));
  EXPECT_EQ(StrToTime("  7 : 05 : 03 pm  ", kUS).Value, t(19, 5, 3, 0));
  EXPECT_EQ(StrToTime("PM 3:00", kUS).Value, t(15, 0, 0, 0));
  EXPECT_EQ(StrToTime("11:00AM", kUS).Value, t(11, 0, 0, 0));
  TFormatSettings fs;
  fs.TimeSeparator = '.';
  fs.DecimalSeparator = ',';
  fs.TimeAMString = "午前";
  fs.TimePMString = "午後";
  EXPECT_EQ(StrToTime("午後 3.15", fs).Value, t(15, 15, 0, 0));
  EXPECT_EQ(StrToTime("3.15.20,25 午前", fs).Value, t(3, 15, 20, 250));
  EXPECT_EQ(StrToTime("3.15 pm", fs).Value, t(15, 15, 0, 0));
  fs.TimeAMString = "ÉM";  // a non-ASCII marker matches in any case
  EXPECT_EQ(StrToTime("3.15 ém", fs).Value, t(3, 15, 0, 0));
}

TEST(DateFormatTest, BadTimesRaiseWithTheText) {
  for (const char* text : {"", "x", "24:00", "10:60", "10:00:60", "13:00 PM", "0:30 AM",
                           "10:30:15.1234", "10:", "10:30:", "10:30:15.", "10:30 XM",
                           "10:30 AM PM", "1/2/2024", "-1:00", "10:30:15.5.5"}) {
    TDateTime value = 7;
    EXPECT_FALSE(TryStrToTime(text, value, kUS)) << text;
    EXPECT_EQ(value.Value, 7.0);
    EXPECT_EQ(StrToTimeDef(text, 3, kUS).Value, 3.0);
    ExpectConvertError([&] { StrToTime(text, kUS); }, SInvalidTime, text);
  }
  // The English markers are understood whatever the settings say.
  EXPECT_EQ(StrToTime("10:30 PM", German()).Value, EncodeTime(22, 30, 0, 0).Value);
  EXPECT_EQ(StrToTimeDef("10:30", 3, kUS).Value, EncodeTime(10, 30, 0, 0).Value);
}

TEST(DateFormatTest, StrToDateTimeTakesDateTimeOrEither) {
  EXPECT_EQ(StrToDateTime("2/29/2024 13:45:10", kUS).Value,
            EncodeDateTime(2024, 2, 29, 13, 45, 10, 0).Value);
  EXPECT_EQ(StrToDateTime("2/29/2024 1:45 pm", kUS).Value,
            EncodeDateTime(2024, 2, 29, 13, 45, 0, 0).Value);
  EXPECT_EQ(StrToDateTime("2/29/2024", kUS).Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(StrToDateTime("13:45", kUS).Value, EncodeTime(13, 45, 0, 0).Value);
  EXPECT_EQ(StrToDateTime("12/29/1899 6:00 AM", kUS).Value, -1.25);
  EXPECT_EQ(StrToDateTime("12/29/1899 18:00", kUS).Value, -1.75);
  EXPECT_EQ(StrToDateTime("29.02.2024 13:45:10", German()).Value,
            EncodeDateTime(2024, 2, 29, 13, 45, 10, 0).Value);
  for (const char* text : {"", "2/29/2024 25:00", "2/30/2024 10:00", "2/29/2024 x",
                           "2/29/2024 10:00 10:00", "10:00 2/29/2024", "2/29/202410:00"}) {
    TDateTime value = 7;
    EXPECT_FALSE(TryStrToDateTime(text, value, kUS)) << text;
    EXPECT_EQ(value.Value, 7.0);
    EXPECT_EQ(StrToDateTimeDef(text, 3, kUS).Value, 3.0);
    ExpectConvertError([&] { StrToDateTime(text, kUS); }, SInvalidDateTime, text);
  }
}

TEST(DateFormatTest, TextRoundTrips) {
  TFormatSettings precise;
  precise.LongTimeFormat = "hh:nn:ss.zzz";
  TFormatSettings de = German();
  TFormatSettings twelveHour;
  twelveHour.ShortDateFormat = "yyyy/mm/dd";
  twelveHour.DateSeparator = '-';
  twelveHour.LongTimeFormat = "hh:nn:ss.zzz am/pm";
  const TDateTime dates[] = {EncodeDate(1, 1, 1), EncodeDate(1899, 12, 29), 0.0,
                             EncodeDate(1900, 2, 28), EncodeDate(2024, 2, 29),
                             EncodeDate(9999, 12, 31)};
  for (const TDateTime date : dates) {
    for (int ms = 0; ms < MSecsPerDay; ms += 7654321) {
      const int h = ms / 3600000, n = ms / 60000 % 60, s = ms / 1000 % 60;
      const TDateTime exact = ComposeDateTime(date, EncodeTime(h, n, s, ms % 1000));
      const TDateTime seconds = ComposeDateTime(date, EncodeTime(h, n, s, 0));
      ASSERT_EQ(StrToDateTime(DateTimeToStr(exact, precise), precise).Value, exact.Value);
      ASSERT_EQ(StrToDateTime(DateTimeToStr(exact, twelveHour), twelveHour).Value, exact.Value)
          << DateTimeToStr(exact, twelveHour);
      ASSERT_EQ(StrToDateTime(DateTimeToStr(seconds, kUS), kUS).Value, seconds.Value);
      ASSERT_EQ(StrToDateTime(DateTimeToStr(seconds, de), de).Value, seconds.Value);
      ASSERT_EQ(StrToDate(DateToStr(exact, de), de).Value, DateOf(exact).Value);
      ASSERT_EQ(StrToTime(TimeToStr(seconds, kUS), kUS).Value, TimeOf(seconds).Value);
    }
  }
}

}  // namespace
}  // namespace zv
