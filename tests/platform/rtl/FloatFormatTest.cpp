#include "platform/rtl/FloatFormat.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

TFormatSettings European() {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  fs.CurrencyString = "€";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  return fs;
}


TEST(FloatFormatTest, FloatToStrUsesFifteenDigitsAndSwitchesToScientific) {
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToStr(0.1), "0.1");
  EXPECT_EQ(FloatToStr(-2.5), "-2.5");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(FloatToStr(1.005), "1.005");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(999999999999999.9), "1E15");
  EXPECT_EQ(FloatToStr(1e20), "1E20");
  EXPECT_EQ(FloatToStr(-1.25e20), "-1.25E20");
  EXPECT_EQ(FloatToStr(0.0001), "0.0001");
  EXPECT_EQ(FloatToStr(0.00001), "0.00001");
  EXPECT_EQ(FloatToStr(0.000009), "9E-6");
  EXPECT_EQ(FloatToStr(1.5e-10), "1.5E-10");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
  EXPECT_EQ(FloatToStr(1234.5, European()), "1234,5");
}

TEST(FloatFormatTest, FloatToStrFFormats) {
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 15, 3), "1.23450000000000E+003");
  EXPECT_EQ(FloatToStrF(-0.00012345, ffExponent, 3, 0), "-1.23E-4");
  EXPECT_EQ(FloatToStrF(0, ffExponent, 4, 2), "0.000E+00");
  EXPECT_EQ(FloatToStrF(9.99, ffExponent, 2, 1), "1.0E+1");
  EXPECT_EQ(FloatToStrF(345.6789, ffFixed, 5, 3), "345.680");
  EXPECT_EQ(FloatToStrF(0.125, ffFixed, 15, 2), "0.13");
  EXPECT_EQ(FloatToStrF(0.004, ffFixed, 15, 2), "0.00");
  EXPECT_EQ(FloatToStrF(0.005, ffFixed, 15, 2), "0.01");
  EXPECT_EQ(FloatToStrF(-0.001, ffFixed, 15, 2), "0.00");
  EXPECT_EQ(FloatToStrF(12.5, ffFixed, 15, 0), "13");
  EXPECT_EQ(FloatToStrF(1e20, ffFixed, 15, 2), "1E20");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2), "1,234,567.89");
  EXPECT_EQ(FloatToStrF(-999.995, ffNumber, 15, 2), "-1,000.00");
  EXPECT_EQ(FloatToStrF(123.0, ffNumber, 15, 0), "123");
  EXPECT_EQ(FloatToStrF(123456.0, ffGeneral, 4, 0), "1.235E5");
  EXPECT_EQ(FloatToStrF(123456.0, ffGeneral, 4, 3), "1.235E005");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, European()), "1.234.567,89");
  EXPECT_EQ(FloatToStrF(std::nan(""), ffFixed, 15, 2), "NAN");
}

TEST(FloatFormatTest, CurrencyFormatsFollowTheSettings) {
  EXPECT_EQ(FloatToStrF(1234.5, ffCurrency, 15, 2), "$1,234.50");
  TFormatSettings fs;
  const char* positive[] = {"$1.50", "1.50$", "$ 1.50", "1.50 $"};
  for (int i = 0; i < 4; ++i) {
    fs.CurrencyFormat = static_cast<unsigned char>(i);
    EXPECT_EQ(FloatToStrF(1.5, ffCurrency, 15, 2, fs), positive[i]) << i;
  }
  const char* negative[] = {"($1.50)", "-$1.50", "$-1.50", "$1.50-", "(1.50$)", "-1.50$",
                            "1.50-$",  "1.50$-", "-1.50 $", "-$ 1.50", "1.50 $-", "$ 1.50-",
                            "$ -1.50", "1.50- $", "($ 1.50)", "(1.50 $)"};
  for (int i = 0; i < 16; ++i) {
    fs.NegCurrFormat = static_cast<unsigned char>(i);
    EXPECT_EQ(FloatToStrF(-1.5, ffCurrency, 15, 2, fs), negative[i]) << i;
  }
  EXPECT_EQ(FloatToStrF(-1234.5, ffCurrency, 15, 2, European()), "-1.234,50 €");
  // Rounding to zero leaves no negative form.
  EXPECT_EQ(FloatToStrF(-0.001, ffCurrency, 15, 2), "$0.00");
}

TEST(FloatFormatTest, FormatFloatRoundsTheEighteenDigitStringHalfAwayFromZero) {
  EXPECT_EQ(FormatFloat("0.00", 1.005), "1.00");  // 1.00499999999999989...
  EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
  EXPECT_EQ(FormatFloat("0.00", 2.675), "2.67");
  EXPECT_EQ(FormatFloat("0.00", 999.995), "1000.00");
  EXPECT_EQ(FormatFloat("0", 2.5), "3");
  EXPECT_EQ(FormatFloat("0", -2.5), "-3");
  EXPECT_EQ(FormatFloat("0", 0.5), "1");
  EXPECT_EQ(FormatFloat("0", 0.49), "0");
  EXPECT_EQ(FormatFloat("0.0#", 1.255), "1.25");
  EXPECT_EQ(FormatFloat("#", 9.5), "10");
}

TEST(FloatFormatTest, FormatFloatPlaceholders) {
  EXPECT_EQ(FormatFloat("0", 12345.6), "12346");
  EXPECT_EQ(FormatFloat("00.00", 1.5), "01.50");
  EXPECT_EQ(FormatFloat("#.##", 0.5), ".5");
  EXPECT_EQ(FormatFloat("#.##", 5), "5");
  EXPECT_EQ(FormatFloat("#.##", 0), "");
  EXPECT_EQ(FormatFloat("0.##", 1.5), "1.5");
  EXPECT_EQ(FormatFloat("0.0#", 1), "1.0");
  EXPECT_EQ(FormatFloat("0.0#", 1.25), "1.25");
  EXPECT_EQ(FormatFloat(".00", 12.5), "12.50");
  EXPECT_EQ(FormatFloat("000-0000", 5551234), "555-1234");
  EXPECT_EQ(FormatFloat("0.00", 1.5, European()), "1,50");
  // More than 18 integer digits: the general form.
  EXPECT_EQ(FormatFloat("0", 1e20), "1E20");
  EXPECT_EQ(FormatFloat("", 1.5), "1.5");
  EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::infinity()), "INF");
}

TEST(FloatFormatTest, FormatFloatThousandSeparators) {
  EXPECT_EQ(FormatFloat("#,##0", 1234567), "1,234,567");
  EXPECT_EQ(FormatFloat("#,##0", 5), "5");
  EXPECT_EQ(FormatFloat("#,##0", 123), "123");
  EXPECT_EQ(FormatFloat("#,##0", 1234), "1,234");
  EXPECT_EQ(FormatFloat("0,000", 5), "0,005");
  EXPECT_EQ(FormatFloat(",0", 1000), "1,000");
  EXPECT_EQ(FormatFloat("#,##0.00", 0), "0.00");
  EXPECT_EQ(FormatFloat("#,##0.00", -1234567.891), "-1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, European()), "1.234.567,89");
}

TEST(FloatFormatTest, FormatFloatSections) {
  const char* fmt = "#,##0.00;(#,##0.00);Zero";
  EXPECT_EQ(FormatFloat(fmt, 1234.5), "1,234.50");
  EXPECT_EQ(FormatFloat(fmt, -1234.5), "(1,234.50)");
  EXPECT_EQ(FormatFloat(fmt, 0), "Zero");
  // A value that rounds to zero uses the zero section and never shows "-0".
  EXPECT_EQ(FormatFloat(fmt, -0.001), "Zero");
  EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");
  EXPECT_EQ(FormatFloat("0.0;(0.0)", -0.01), "0.0");
  // Empty negative or zero sections fall back to the first.
  EXPECT_EQ(FormatFloat("0.00;;Zero", -1.5), "-1.50");
  EXPECT_EQ(FormatFloat("0.00;(0.00);", 0), "0.00");
  // An empty positive section means the general form.
  EXPECT_EQ(FormatFloat(";(0)", 2.5), "2.5");
  EXPECT_EQ(FormatFloat(";(0)", -2.5), "(3)");
  // A ';' inside quotes does not split.
  EXPECT_EQ(FormatFloat("\"a;b\"0", 5), "a;b5");
}

TEST(FloatFormatTest, FormatFloatExponents) {
  EXPECT_EQ(FormatFloat("0.000E+00", 1234), "1.234E+03");
  EXPECT_EQ(FormatFloat("0.000E+00", -1234), "-1.234E+03");
  EXPECT_EQ(FormatFloat("0.000E+00", 0.5), "5.000E-01");
  EXPECT_EQ(FormatFloat("0.000E+00", 0), "0.000E+00");
  EXPECT_EQ(FormatFloat("#.###E-0", 1234), "1.234E3");
  EXPECT_EQ(FormatFloat("#.###E-0", 0.5), "5E-1");
  EXPECT_EQ(FormatFloat("#.###E-0", 0), "0E0");
  EXPECT_EQ(FormatFloat("00.0e+0", 12345), "12.3e+3");
  EXPECT_EQ(FormatFloat("0E+0000", 1), "1E+0000");
  EXPECT_EQ(FormatFloat("0.00E+00", 9.999), "1.00E+01");
  EXPECT_EQ(FormatFloat("0.0E+0", 1e300), "1.0E+300");
}

TEST(FloatFormatTest, FormatFloatLiterals) {
  EXPECT_EQ(FormatFloat("\"$\"#,##0.00", 1234.5), "$1,234.50");
  EXPECT_EQ(FormatFloat("\"$\"0.00", -5), "-$5.00");
  EXPECT_EQ(FormatFloat("'Total: '0' units'", 42), "Total: 42 units");
  EXPECT_EQ(FormatFloat("\"#0.\"0", 5), "#0.5");
  EXPECT_EQ(FormatFloat("0 kg", 3), "3 kg");
  EXPECT_EQ(FormatFloat("0.0 %", 12.25), "12.3 %");
  EXPECT_EQ(FormatFloat("Zero", 5), "Zero");
}

TEST(FloatFormatTest, StrToFloatAcceptsTheHostSyntax) {
  EXPECT_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_EQ(StrToFloat("  -1.5e3  "), -1500);
  EXPECT_EQ(StrToFloat("+.5"), 0.5);
  EXPECT_EQ(StrToFloat("1."), 1);
  EXPECT_EQ(StrToFloat("1E-2"), 0.01);
  EXPECT_EQ(StrToFloat("000123"), 123);
  EXPECT_EQ(StrToFloat("1,5", European()), 1.5);
  EXPECT_EQ(StrToFloat("1.7976931348623157e308"), std::numeric_limits<double>::max());
  EXPECT_EQ(StrToFloat("1e-400"), 0);
  EXPECT_EQ(StrToFloat("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(StrToFloat("inf"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(StrToFloat("-INF"), -std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(StrToFloat("NAN")));
  EXPECT_EQ(StrToFloat("0.1000000000000000000000000000000000000001"), 0.1);
  EXPECT_EQ(StrToFloatDef("x", 7.5), 7.5);
  double v = 0;
  EXPECT_FALSE(TryStrToFloat("1.5", v, European()));
}

TEST(FloatFormatTest, StrToFloatRejectsBadTextWithItsMessage) {
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToFloat("1,000"); }),
            "'1,000' is not a valid floating point value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToFloat("1e309"); }),
            "'1e309' is not a valid floating point value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToFloat(""); }), "'' is not a valid floating point value");
  for (const char* bad : {" ", "abc", "1e", "e5", "1.5.2", "--1", "1 2", ".", "-", "1e+", "0x10"}) {
    double v = 0;
    EXPECT_FALSE(TryStrToFloat(bad, v)) << bad;
  }
}

TEST(FloatFormatTest, FloatTextRoundTrips) {
  for (double x : {0.1, 1.0 / 3, -2.5e-300, 1.7976931348623157e308, 123456.789, 5e-324, 1e22}) {
    // Seventeen significant digits identify every double.
    EXPECT_EQ(StrToFloat(FloatToStrF(x, ffExponent, 17, 0)), x) << x;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    EXPECT_EQ(StrToFloat(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf))), x);
  }
  // Fifteen digits survive FloatToStr.
  for (double x : {0.1, 123.456, -7.25e-12, 9.87654321e100}) {
    EXPECT_EQ(FloatToStr(StrToFloat(FloatToStr(x))), FloatToStr(x));
    EXPECT_EQ(StrToFloat(FloatToStr(x)), x) << x;
  }
  TFormatSettings eu = European();
  EXPECT_EQ(StrToFloat(FloatToStr(-1234.5, eu), eu), -1234.5);
}

TEST(FloatFormatTest, CurrencyTextIsExact) {
  EXPECT_EQ(CurrToStr(Currency::FromScaled(15000)), "1.5");
  EXPECT_EQ(CurrToStr(Currency{}), "0");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(-1)), "-0.0001");
  EXPECT_EQ(CurrToStr(MaxCurrency), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(MinCurrency), "-922337203685477.5808");
  EXPECT_EQ(CurrToStrF(MaxCurrency, ffNumber, 4), "922,337,203,685,477.5807");
  EXPECT_EQ(CurrToStrF(MaxCurrency, ffFixed, 2), "922337203685477.58");
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(-12345000), ffCurrency, 2), "($1,234.50)");
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(125), ffFixed, 2), "0.01");
  EXPECT_EQ(CurrToStrF(Currency::FromScaled(12345), ffExponent, 2), "1.234500000000000000E+00");
  EXPECT_EQ(CurrToStr(Currency::FromScaled(15000), European()), "1,5");
  EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromScaled(12345678)), "1,234.57");
  EXPECT_EQ(FormatCurr("0.0000", MinCurrency), "-922337203685477.5808");
  EXPECT_EQ(FormatCurr("0.00;(0.00);-", Currency::FromScaled(-49)), "-");
  EXPECT_EQ(FormatCurr("", Currency::FromScaled(25)), "0.0025");
}

TEST(FloatFormatTest, StrToCurrParsesExactlyWithTiesToEven) {
  EXPECT_EQ(StrToCurr("12.3456").Value, 123456);
  EXPECT_EQ(StrToCurr(" -0.5 ").Value, -5000);
  EXPECT_EQ(StrToCurr("0.00005").Value, 0);
  EXPECT_EQ(StrToCurr("0.00015").Value, 2);
  EXPECT_EQ(StrToCurr("0.00025").Value, 2);
  EXPECT_EQ(StrToCurr("0.000250001").Value, 3);
  EXPECT_EQ(StrToCurr("-0.00015").Value, -2);
  EXPECT_EQ(StrToCurr("0.00004999").Value, 0);
  EXPECT_EQ(StrToCurr("12.34567").Value, 123457);
  EXPECT_EQ(StrToCurr("1e3").Value, 10000000);
  EXPECT_EQ(StrToCurr("1,5", European()).Value, 15000);
  EXPECT_EQ(StrToCurr("922337203685477.5807"), MaxCurrency);
  EXPECT_EQ(StrToCurr("-922337203685477.5808"), MinCurrency);
  // 0.1 has no exact double; the text has an exact Currency.
  EXPECT_EQ(StrToCurr("0.1").Value, 1000);
  EXPECT_EQ(StrToCurrDef("junk", Currency::FromInt(7)), Currency::FromInt(7));
}

TEST(FloatFormatTest, StrToCurrRejectsOverflowAndJunk) {
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToCurr("922337203685477.5808"); }),
            "'922337203685477.5808' is not a valid currency value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToCurr("922337203685477.58075"); }),
            "'922337203685477.58075' is not a valid currency value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToCurr("1e20"); }), "'1e20' is not a valid currency value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToCurr("1,000"); }), "'1,000' is not a valid currency value");
  Currency c = Currency::FromInt(3);
  EXPECT_FALSE(TryStrToCurr("INF", c));
  EXPECT_FALSE(TryStrToCurr("", c));
  EXPECT_EQ(c, Currency::FromInt(3));  // untouched on failure
}

TEST(FloatFormatTest, CurrencyTextRoundTrips) {
  for (std::int64_t scaled : {INT64_MAX, INT64_MIN, std::int64_t{0}, std::int64_t{1},
                              std::int64_t{-123456789}, std::int64_t{10000}}) {
    Currency c = Currency::FromScaled(scaled);
    EXPECT_EQ(StrToCurr(CurrToStr(c)), c) << scaled;
    EXPECT_EQ(StrToCurr(CurrToStrF(c, ffFixed, 4)), c) << scaled;
    EXPECT_EQ(StrToCurr(CurrToStr(c, European()), European()), c) << scaled;
  }
}

}  // namespace
}  // namespace zv
