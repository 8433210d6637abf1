#include "platform/rtl/Bcd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

String RoundTrip(std::string_view text) { return BcdToStr(StrToBcd(text)); }

TEST(BcdText, RoundTripsKeepEveryDigit) {
  EXPECT_EQ(RoundTrip("123.45"), "123.45");
  EXPECT_EQ(RoundTrip("-0.001"), "-0.001");
  EXPECT_EQ(RoundTrip("1234567890123456789012.345678901234"), "1234567890123456789012.345678901234");
  const std::string digits64(64, '9');
  EXPECT_EQ(RoundTrip(digits64), digits64);
  EXPECT_EQ(RoundTrip("-" + std::string(63, '1')), "-" + std::string(63, '1'));
  EXPECT_EQ(RoundTrip("0." + std::string(62, '0') + "1"), "0." + std::string(62, '0') + "1");
  // Shortest text: leading and trailing zeros go, a bare point gets its zero.
  EXPECT_EQ(RoundTrip("007"), "7");
  EXPECT_EQ(RoundTrip("1.50"), "1.5");
  EXPECT_EQ(RoundTrip(".5"), "0.5");
  EXPECT_EQ(RoundTrip("  +42  "), "42");
  EXPECT_EQ(RoundTrip("0.000"), "0");
  EXPECT_EQ(RoundTrip("1.5E3"), "1500");
  EXPECT_EQ(RoundTrip("-1.5e-3"), "-0.0015");
  EXPECT_EQ(RoundTrip("0e999999"), "0");
}

TEST(BcdText, UsesTheDecimalSeparatorOfTheSettings) {
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  const TBcd b = StrToBcd("-1234,5", fs);
  EXPECT_EQ(BcdToStr(b, fs), "-1234,5");
  EXPECT_EQ(BcdToStr(b), "-1234.5");
  TBcd out;
  EXPECT_FALSE(TryStrToBcd("1.5", out, fs));
}

TEST(BcdText, BadTextRaisesWithTheText) {
  for (const char* bad : {"", "  ", "abc", "1.2.3", "1e", "--1", "1 2", "+", "1,5", "0x10"}) {
    TBcd out = IntegerToBcd(7);
    EXPECT_FALSE(TryStrToBcd(bad, out)) << bad;
    EXPECT_EQ(BcdToStr(out), "7") << bad;
    EXPECT_THROW(StrToBcd(bad), EBcdException) << bad;
  }
  try {
    StrToBcd("12x");
    FAIL();
  } catch (const EBcdException& e) {
    EXPECT_STREQ(e.what(), "12x is not a valid BCD value");
  }
}

TEST(BcdText, MoreThan64DigitsOverflow) {
  const std::string digits65(65, '1');
  EXPECT_THROW(StrToBcd(digits65), EBcdOverflowException);
  EXPECT_THROW(StrToBcd("1e64"), EBcdOverflowException);
  EXPECT_THROW(StrToBcd("0." + std::string(63, '0') + "1"), EBcdOverflowException);
  TBcd out;
  EXPECT_FALSE(TryStrToBcd(digits65, out));
  try {
    StrToBcd(digits65);
    FAIL();
  } catch (const EBcdOverflowException& e) {
    EXPECT_STREQ(e.what(), "BCD overflow");
  }
  // Trailing zeros of the fraction are not digits that matter.
  EXPECT_EQ(RoundTrip(std::string(64, '9') + ".000"), std::string(64, '9'));
}

TEST(BcdLayout, MatchesTheHostRecord) {
  const TBcd b = StrToBcd("-12.345");
  EXPECT_EQ(b.Precision, 5);
  EXPECT_EQ(b.SignSpecialPlaces, 0x80 | 3);
  EXPECT_EQ(b.Fraction[0], 0x12);
  EXPECT_EQ(b.Fraction[1], 0x34);
  EXPECT_EQ(b.Fraction[2], 0x50);
  EXPECT_EQ(b.Fraction[3], 0x00);

  TBcd hand;  // 9.05 written by hand, as a database buffer would hold it
  hand.Precision = 3;
  hand.SignSpecialPlaces = 2;
  hand.Fraction[0] = 0x90;
  hand.Fraction[1] = 0x50;
  EXPECT_EQ(BcdToStr(hand), "9.05");

  TBcd corrupt = hand;
  corrupt.Fraction[0] = 0xA0;
  EXPECT_THROW(BcdToStr(corrupt), EBcdException);
  corrupt = hand;
  corrupt.SignSpecialPlaces = 4;  // more places than digits
  EXPECT_THROW(BcdToDouble(corrupt), EBcdException);
}

TEST(BcdLayout, PrecisionAndScale) {
  const TBcd a = StrToBcd("1.50");
  EXPECT_EQ(a.Precision, 3);
  EXPECT_EQ(BcdScale(a), 2);
  EXPECT_EQ(BcdPrecision(a), 3);
  EXPECT_EQ(StrToBcd("00123").Precision, 3);
  EXPECT_EQ(BcdPrecision(StrToBcd("0.001")), 3);
  EXPECT_EQ(BcdScale(StrToBcd("0.001")), 3);
  EXPECT_EQ(BcdPrecision(StrToBcd("530")), 3);
  EXPECT_EQ(BcdScale(StrToBcd("530")), 0);
  EXPECT_EQ(BcdPrecision(NullBcd), 1);
  EXPECT_EQ(BcdScale(NullBcd), 0);
  // Precision and scale describe the value well enough to normalise it without loss.
  for (const char* text : {"530", "0.05", "1.50", "-98765.4321", "0"}) {
    const TBcd b = StrToBcd(text);
    TBcd out;
    EXPECT_TRUE(NormalizeBcd(b, out, BcdPrecision(b), BcdScale(b))) << text;
    EXPECT_EQ(BcdCompare(out, b), 0) << text;
  }
}

TEST(BcdSign, NegativeZeroIsZero) {
  const TBcd minusZero = StrToBcd("-0.00");
  EXPECT_FALSE(IsBcdNegative(minusZero));
  EXPECT_EQ(BcdToStr(minusZero), "0");
  TBcd signedZero;  // a zero that carries the sign bit, as a foreign buffer might
  signedZero.Precision = 2;
  signedZero.SignSpecialPlaces = 0x80 | 1;
  EXPECT_FALSE(IsBcdNegative(signedZero));
  EXPECT_EQ(BcdToStr(signedZero), "0");
  EXPECT_EQ(BcdCompare(signedZero, NullBcd), 0);
  EXPECT_EQ(BcdCompare(signedZero, StrToBcd("-0.01")), 1);
  EXPECT_FALSE(IsBcdNegative(-StrToBcd("0")));
  EXPECT_TRUE(IsBcdNegative(-StrToBcd("0.5")));
  EXPECT_FALSE(IsBcdNegative(-StrToBcd("-0.5")));
}

TEST(BcdCompare, ByValueWhateverTheScale) {
  EXPECT_EQ(BcdCompare(StrToBcd("1.50"), StrToBcd("1.5")), 0);
  EXPECT_EQ(BcdCompare(StrToBcd("-2"), StrToBcd("1")), -1);
  EXPECT_EQ(BcdCompare(StrToBcd("0.1"), StrToBcd("0.09")), 1);
  EXPECT_EQ(BcdCompare(StrToBcd("-0.1"), StrToBcd("-0.09")), -1);
  EXPECT_EQ(BcdCompare(StrToBcd("10"), StrToBcd("9.999")), 1);
  EXPECT_EQ(BcdCompare(StrToBcd("0012.000"), StrToBcd("12")), 0);
  EXPECT_EQ(BcdCompare(NullBcd, StrToBcd("0.000")), 0);
  const std::string big = "1" + std::string(40, '0') + ".0000000000000000000001";
  const std::string bigger = "1" + std::string(40, '0') + ".0000000000000000000002";
  EXPECT_EQ(BcdCompare(StrToBcd(big), StrToBcd(bigger)), -1);
  EXPECT_TRUE(StrToBcd("1.5") == StrToBcd("1.500"));
  EXPECT_TRUE(StrToBcd("-3") < StrToBcd("-2.99"));
  EXPECT_TRUE(StrToBcd("2") >= StrToBcd("2.0"));
}

TEST(BcdCurrency, CurrToBcdAndBack) {
  TBcd b;
  EXPECT_TRUE(CurrToBCD(Currency::FromScaled(15000), b));
  EXPECT_EQ(b.Precision, 32);
  EXPECT_EQ(BcdScale(b), 4);
  EXPECT_EQ(BcdToStr(b), "1.5");
  Currency c;
  EXPECT_TRUE(BCDToCurr(b, c));
  EXPECT_EQ(c.Value, 15000);

  // Fewer decimals truncate and report the loss; too few digits fail and leave bcd alone.
  EXPECT_FALSE(CurrToBCD(Currency::FromScaled(1234567), b, 10, 2));
  EXPECT_EQ(BcdToStr(b), "123.45");
  EXPECT_FALSE(CurrToBCD(Currency::FromScaled(123450000), b, 5, 2));
  EXPECT_EQ(BcdToStr(b), "123.45");
  EXPECT_TRUE(CurrToBCD(Currency::FromScaled(-1234500), b, 5, 2));
  EXPECT_EQ(BcdToStr(b), "-123.45");

  for (Currency extreme : {MaxCurrency, MinCurrency, Currency::FromScaled(-1)}) {
    EXPECT_EQ(BCDToCurrency(CurrencyToBcd(extreme)).Value, extreme.Value);
  }
  EXPECT_EQ(BcdToStr(CurrencyToBcd(MinCurrency)), "-922337203685477.5808");
}

TEST(BcdCurrency, RoundsTiesToEvenAtFourPlaces) {
  const auto toScaled = [](const char* text) { return BCDToCurrency(StrToBcd(text)).Value; };
  EXPECT_EQ(toScaled("0.00005"), 0);
  EXPECT_EQ(toScaled("0.00015"), 2);
  EXPECT_EQ(toScaled("0.000250"), 2);
  EXPECT_EQ(toScaled("0.00025000001"), 3);
  EXPECT_EQ(toScaled("-0.00015"), -2);
  EXPECT_EQ(toScaled("-0.00014999"), -1);
  EXPECT_EQ(toScaled("2.99995"), 30000);
  EXPECT_EQ(toScaled("-0.00004"), 0);
}

TEST(BcdCurrency, OutOfRangeFails) {
  Currency c = Currency::FromScaled(7);
  EXPECT_FALSE(BCDToCurr(StrToBcd("922337203685477.5808"), c));
  EXPECT_EQ(c.Value, 7);
  EXPECT_TRUE(BCDToCurr(StrToBcd("-922337203685477.5808"), c));
  EXPECT_EQ(c.Value, std::numeric_limits<std::int64_t>::min());
  // Rounding up past the top is an overflow too.
  EXPECT_FALSE(BCDToCurr(StrToBcd("922337203685477.58075"), c));
  EXPECT_THROW(BCDToCurrency(StrToBcd(std::string(30, '9'))), EBcdOverflowException);
}

TEST(BcdNormalize, TruncatesPlacesAndRejectsLostIntegralDigits) {
  TBcd out;
  EXPECT_FALSE(NormalizeBcd(StrToBcd("123.456"), out, 5, 2));
  EXPECT_EQ(BcdToStr(out), "123.45");
  EXPECT_EQ(out.Precision, 5);
  EXPECT_EQ(BcdScale(out), 2);
  EXPECT_TRUE(NormalizeBcd(StrToBcd("123.456"), out, 10, 6));
  EXPECT_EQ(out.Precision, 10);
  EXPECT_EQ(BcdScale(out), 6);
  EXPECT_EQ(BcdToStr(out), "123.456");
  EXPECT_FALSE(NormalizeBcd(StrToBcd("-0.999"), out, 2, 2));
  EXPECT_EQ(BcdToStr(out), "-0.99");
  EXPECT_FALSE(NormalizeBcd(StrToBcd("-0.001"), out, 3, 2));
  EXPECT_FALSE(IsBcdNegative(out));
  EXPECT_TRUE(NormalizeBcd(StrToBcd("0.25"), out, 2, 2));
  EXPECT_EQ(BcdToStr(out), "0.25");
  EXPECT_THROW(NormalizeBcd(StrToBcd("-123.456"), out, 4, 2), EBcdOverflowException);
  EXPECT_THROW(NormalizeBcd(StrToBcd("1"), out, 0, 0), EBcdOverflowException);
  EXPECT_THROW(NormalizeBcd(StrToBcd("1"), out, 4, 5), EBcdOverflowException);
  EXPECT_THROW(NormalizeBcd(StrToBcd("1"), out, 65, 0), EBcdOverflowException);
}

TEST(BcdDouble, FifteenSignificantDigits) {
  EXPECT_EQ(BcdToStr(DoubleToBcd(0.1)), "0.1");
  EXPECT_EQ(BcdToStr(DoubleToBcd(-2.5)), "-2.5");
  EXPECT_EQ(BcdToStr(DoubleToBcd(1.0 / 3.0)), "0.333333333333333");
  EXPECT_EQ(BcdToStr(DoubleToBcd(2.0 / 3.0)), "0.666666666666667");
  EXPECT_EQ(BcdToStr(DoubleToBcd(1e20)), "100000000000000000000");
  EXPECT_EQ(BcdToStr(DoubleToBcd(123456.789e-10)), "0.0000123456789");
  EXPECT_EQ(BcdToStr(DoubleToBcd(-0.0)), "0");
  EXPECT_EQ(BcdToStr(DoubleToBcd(1e-70)), "0");
  EXPECT_EQ(BcdScale(DoubleToBcd(0.125)), 3);
  EXPECT_THROW(DoubleToBcd(std::nan("")), EBcdException);
  EXPECT_THROW(DoubleToBcd(std::numeric_limits<double>::infinity()), EBcdException);
  EXPECT_THROW(DoubleToBcd(1e70), EBcdOverflowException);

  EXPECT_EQ(BcdToDouble(StrToBcd("0.1")), 0.1);
  EXPECT_EQ(BcdToDouble(StrToBcd("-1234.5678")), -1234.5678);
  EXPECT_EQ(BcdToDouble(NullBcd), 0.0);
  EXPECT_DOUBLE_EQ(BcdToDouble(StrToBcd("1234567890123456789012.345678901234")), 1.234567890123456789e21);
  for (double v : {0.3, -7.25, 1e15, 9.87654321e-8}) EXPECT_EQ(BcdToDouble(DoubleToBcd(v)), v);
}

TEST(BcdInteger, ConvertsExactlyOrFails) {
  const auto minimum = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(BcdToStr(IntegerToBcd(minimum)), "-9223372036854775808");
  EXPECT_EQ(BcdToInt64(IntegerToBcd(minimum)), minimum);
  EXPECT_EQ(BcdToInteger(StrToBcd("-2147483648")), std::numeric_limits<int>::min());
  EXPECT_EQ(BcdToInteger(StrToBcd("12.000")), 12);
  EXPECT_THROW(BcdToInteger(StrToBcd("12.5")), EBcdException);
  EXPECT_EQ(BcdToInteger(StrToBcd("12.5"), true), 12);
  EXPECT_EQ(BcdToInteger(StrToBcd("-12.9"), true), -12);
  EXPECT_THROW(BcdToInteger(StrToBcd("2147483648")), EBcdOverflowException);
  EXPECT_EQ(BcdToInt64(StrToBcd("2147483648")), 2147483648LL);
  EXPECT_THROW(BcdToInt64(StrToBcd("9223372036854775808")), EBcdOverflowException);
}

TEST(BcdArithmetic, ExactResults) {
  EXPECT_EQ(BcdToStr(StrToBcd("0.1") + StrToBcd("0.2")), "0.3");
  EXPECT_EQ(BcdToStr(StrToBcd("1.05") - StrToBcd("2.1")), "-1.05");
  EXPECT_EQ(BcdToStr(StrToBcd("-1.5") + StrToBcd("1.5")), "0");
  EXPECT_FALSE(IsBcdNegative(StrToBcd("-1.5") + StrToBcd("1.5")));
  const std::string nines(33, '9');
  EXPECT_EQ(BcdToStr(StrToBcd(nines + ".9") + StrToBcd("0.1")), "1" + std::string(33, '0'));
  EXPECT_EQ(BcdToStr(StrToBcd("1.5") * StrToBcd("-2.25")), "-3.375");
  EXPECT_EQ(BcdToStr(StrToBcd("10") / StrToBcd("4")), "2.5");
  EXPECT_EQ(BcdToStr(StrToBcd("-1") / StrToBcd("0.125")), "-8");
  const String third = BcdToStr(StrToBcd("1") / StrToBcd("3"));
  EXPECT_EQ(third, "0." + std::string(63, '3'));
  EXPECT_THROW(StrToBcd("1") / StrToBcd("0.00"), EBcdException);
  EXPECT_THROW(StrToBcd(std::string(64, '9')) + StrToBcd("1"), EBcdOverflowException);
  // A product keeps 64 digits, dropping the surplus places.
  const TBcd p = StrToBcd("0." + std::string(40, '3')) * StrToBcd("0." + std::string(40, '3'));
  EXPECT_EQ(BcdScale(p), 63);
}

}  // namespace
}  // namespace zv
