// Extended precision and the separators of real locales through formatting and parsing.

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/EditMask.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFormat.h"

namespace zv {
namespace {

// ---- long double ---------------------------------------------------------------------------

// 18 significant digits read into a long double and written with 18 digits come back the same.
TEST(ExtendedConversions, EighteenDigitTextsRoundTrip) {
  const char* fixed[] = {"0.1", "123456789012345678", "0.123456789012345678", "9.99999999999999999E4000",
                         "1.23456789012345678E-4000", "-3.14159265358979324", "1.00000000000000001",
                         "7.77777777777777777E-6"};
  for (const char* text : fixed) {
    const long double v = StrToFloat<long double>(text);
    EXPECT_EQ(StrToFloat<long double>(FloatToStrF(v, ffGeneral, 18, 0)), v) << text;
    EXPECT_EQ(FloatToStrF(v, ffGeneral, 18, 0), text) << text;
  }
  // Pseudo-random digits over a wide range of exponents.
  std::uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    String digits = std::to_string(100000000000000000ull + (seed >> 8) % 900000000000000000ull);
    const int exponent = static_cast<int>((seed >> 3) % 9000) - 4500;
    const String text = digits.substr(0, 1) + "." + digits.substr(1) + "E" + std::to_string(exponent);
    const long double v = StrToFloat<long double>(text);
    String back = FloatToStrF(v, ffExponent, 18, 0);
    ASSERT_EQ(StrToFloat<long double>(back), v) << text;
    ASSERT_EQ(back.substr(0, 19), text.substr(0, 19)) << text;
  }
}

TEST(ExtendedConversions, ExtendedKeepsWhatADoubleLoses) {
  const long double tenth = StrToFloat<long double>("0.1");
  EXPECT_NE(tenth, static_cast<long double>(StrToFloat("0.1")));
  EXPECT_EQ(FloatToStrF(tenth, ffGeneral, 18, 0), "0.1");
  EXPECT_EQ(FloatToStrF(static_cast<long double>(0.1), ffGeneral, 18, 0), "0.100000000000000006");
  EXPECT_EQ(FormatFloat("0.000000000000000000", 1.0L / 3), "0.333333333333333333");
  EXPECT_EQ(FloatToStr(1e4000L), "1E4000");
  EXPECT_EQ(StrToFloat<long double>("1e4000"), 1e4000L);
  EXPECT_THROW(StrToFloat("1e4000"), EConvertError);  // beyond a double
  EXPECT_THROW(StrToFloat<long double>("1e5000"), EConvertError);
  EXPECT_EQ(StrToFloatDef<long double>("x", 2), 2.0L);
  long double v = 0;
  EXPECT_TRUE(TryStrToFloat("-2.5E-3000", v));
  EXPECT_EQ(v, -2.5e-3000L);
}

// Read straight to a double, not through a long double: this text lies just above the midpoint of
// two doubles, and an extended rounds it onto that midpoint, whence a double would go down.
TEST(ExtendedConversions, DoublesAreRoundedOnce) {
  EXPECT_EQ(StrToFloat("9007199254740993.0001"), 9007199254740994.0);
  EXPECT_EQ(StrToFloat("9007199254740993"), 9007199254740992.0);
}

// ---- separators of real locales ----------------------------------------------------------------

struct TSeparatorCase {
  const char* Name;
  const char* Decimal;
  const char* Thousand;
  const char* Date;
  const char* Time;
  const char* Number;    // 1234567.891 in ffNumber with 2 decimals
  const char* Negative;  // -0.5 in the picture "#,##0.0#"
  const char* DateTime;  // 2024-03-05 14:07:09 as "dd/mm/yyyy hh:nn:ss"
};

const TSeparatorCase kSeparatorCases[] = {
    {"French", ",", "\u202F", "/", ":", "1\u202F234\u202F567,89", "-0,5", "05/03/2024 14:07:09"},
    {"Russian", ",", "\u00A0", ".", ":", "1\u00A0234\u00A0567,89", "-0,5", "05.03.2024 14:07:09"},
    {"Swiss", ".", "\u2019", ".", ":", "1\u2019234\u2019567.89", "-0.5", "05.03.2024 14:07:09"},
    {"Arabic", "\u066B", "\u066C", "/", ":", "1\u066C234\u066C567\u066B89", "-0\u066B5", "05/03/2024 14:07:09"},
    {"Full width", "\u066B", "\u00A0", "\uFF0F", "\uFF1A", "1\u00A0234\u00A0567\u066B89", "-0\u066B5",
     "05\uFF0F03\uFF0F2024 14\uFF1A07\uFF1A09"},
};

TFormatSettings SettingsOf(const TSeparatorCase& c) {
  TFormatSettings fs;
  fs.DecimalSeparator = c.Decimal;
  fs.ThousandSeparator = c.Thousand;
  fs.DateSeparator = c.Date;
  fs.TimeSeparator = c.Time;
  fs.ShortDateFormat = "dd/mm/yyyy";
  fs.LongTimeFormat = "hh:nn:ss";
  return fs;
}

TEST(LocaleSeparators, FormatAndParseWithCharactersOfAnyWidth) {
  for (const TSeparatorCase& c : kSeparatorCases) {
    SCOPED_TRACE(c.Name);
    const TFormatSettings fs = SettingsOf(c);
    EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, fs), c.Number);
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, fs), c.Number);
    EXPECT_EQ(FormatFloat("#,##0.0#", -0.5, fs), c.Negative);
    EXPECT_EQ(CurrToStrF(Currency::FromScaled(12345678910), ffNumber, 2, fs), c.Number);
    const String decimal = String("-1234") + c.Decimal + "5";
    EXPECT_EQ(StrToFloat(decimal, fs), -1234.5);
    EXPECT_EQ(StrToFloat<long double>(decimal, fs), -1234.5L);
    EXPECT_EQ(StrToCurr(decimal, fs).Value, -12345000);
    EXPECT_EQ(BcdToStr(StrToBcd(decimal, fs), fs), decimal);
    // Thousand separators are not read, and a part of a separator is no separator.
    EXPECT_THROW(StrToFloat(c.Number, fs), EConvertError);
    if (String(c.Decimal).size() > 1) { EXPECT_THROW(StrToFloat(String("1") + c.Decimal[0] + "5", fs), EConvertError); }

    const TDateTime when = EncodeDateTime(2024, 3, 5, 14, 7, 9, 500);
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn:ss", when, fs), c.DateTime);
    EXPECT_EQ(StrToDateTime(String(c.DateTime) + c.Decimal + "5", fs).Value, when.Value);
    EXPECT_EQ(StrToDate(DateToStr(when, fs), fs).Value, EncodeDate(2024, 3, 5).Value);

    // Masks show the settings' separators, one character each.
    const TEditMask mask("99/99/9999 99:99;1;_", fs);
    EXPECT_EQ(mask.EmptyEditText(), String("__") + c.Date + "__" + c.Date + "____ __" + c.Time + "__");
    EXPECT_EQ(mask.Count(), 16);
    TMaskEditState state;
    state.EditText = mask.EmptyEditText();
    EXPECT_TRUE(mask.Paste(state, "05032024 1407"));
    EXPECT_EQ(mask.TextOf(state.EditText), String("05") + c.Date + "03" + c.Date + "2024 14" + c.Time + "07");
  }
}

TEST(LocaleSeparators, CollisionsAndNonCharactersAreRefused) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  // No grouping: nothing to confuse.
  EXPECT_EQ(FloatToStr(1234.5, fs), "1234,5");
  EXPECT_EQ(StrToFloat("1234,5", fs), 1234.5);
  // Grouped, the text could not be read back.
  try {
    FloatToStrF(1234.5, ffNumber, 15, 2, fs);
    ADD_FAILURE() << "grouping with colliding separators";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "The decimal separator ',' cannot also be the thousand separator");
  }
  EXPECT_THROW(FormatFloat("#,##0", 1234.0, fs), EConvertError);
  EXPECT_THROW(CurrToStrF(Currency::FromScaled(10000), ffCurrency, 2, fs), EConvertError);
  EXPECT_THROW(CheckNumberSeparators(fs), EConvertError);
  fs.ThousandSeparator = TFormatChar();  // none: grouping writes no separator
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 2, fs), "1234,50");
  EXPECT_NO_THROW(CheckNumberSeparators(fs));
  fs.DecimalSeparator = TFormatChar();
  EXPECT_THROW(StrToFloat("1", fs), EConvertError);
  EXPECT_THROW(FloatToStr(1.0, fs), EConvertError);

  const char* notOneCharacter[] = {"ab", "\xC2", "\xC2\xA0\xC2\xA0", "\xED\xA0\x80", "\xC0\xAE", "\xFF"};
  for (const char* text : notOneCharacter) EXPECT_THROW(TFormatChar{text}, EConvertError) << text;
  EXPECT_THROW(TFormatChar('\xA0'), EConvertError);  // a Latin-1 byte is not UTF-8
  EXPECT_THROW(TFormatChar(char32_t{0xD800}), EConvertError);
  EXPECT_EQ(TFormatChar(U'\u00A0').View(), "\u00A0");
  EXPECT_EQ(TFormatChar("\u2019").Code(), U'\u2019');
  EXPECT_TRUE(TFormatChar("\U0001F600") == U'\U0001F600');
  // Comparing with a byte never throws, whatever the byte.
  EXPECT_FALSE(TFormatChar(U'\u00A0') == '\xA0');
  EXPECT_TRUE(TFormatChar() == '\0');
  EXPECT_TRUE(TFormatChar(',') == ',');
}

// ---- the clock ------------------------------------------------------------------------------

TEST(Clock, NowDateAndTimeReadThePinnedClock) {
  const TDateTime moment = EncodeDateTime(2024, 2, 29, 23, 59, 59, 999);
  PinClock(moment);
  EXPECT_EQ(Now().Value, moment.Value);
  EXPECT_EQ(Date().Value, EncodeDate(2024, 2, 29).Value);
  EXPECT_EQ(Time().Value, EncodeTime(23, 59, 59, 999).Value);
  // A two-digit year falls in the window around the clock's year.
  EXPECT_EQ(StrToDate("3/1/75").Value, EncodeDate(1975, 3, 1).Value);
  PinClock(EncodeDate(2090, 1, 1));
  EXPECT_EQ(StrToDate("3/1/75").Value, EncodeDate(2075, 3, 1).Value);
  double ticks = 0;
  SetClockSource([&] { return TDateTime(45000 + (ticks += 0.5)); });
  EXPECT_EQ(Now().Value, 45000.5);
  EXPECT_EQ(Date().Value, 45001.0);  // each call reads the clock once
  SetClockSource({});
  EXPECT_GT(Now().Value, EncodeDate(2020, 1, 1).Value);
}

}  // namespace
}  // namespace zv
