#include "platform/rtl/NumberConv.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {


TEST(NumberConvTest, IntToStrAndIntToHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(INT_MIN), "-2147483648");
  EXPECT_EQ(IntToStr(INT64_MAX), "9223372036854775807");
  EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(UIntToStr(UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0xABCDEF, 2), "ABCDEF");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(std::int64_t{-1}, 0), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(std::int64_t{0x1234}, 8), "00001234");
}

TEST(NumberConvTest, StrToIntReadsDecimalAndHex) {
  EXPECT_EQ(StrToInt("123"), 123);
  EXPECT_EQ(StrToInt("   42"), 42);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-0"), 0);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
  EXPECT_EQ(StrToInt("$FF"), 255);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("0X1F"), 31);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);  // the bit pattern, as IntToHex writes it
  EXPECT_EQ(StrToInt("-$80000000"), INT_MIN);
  EXPECT_EQ(StrToInt("0007"), 7);
  EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(StrToInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("$100000000"), 0x100000000);
}

TEST(NumberConvTest, StrToIntRejectsJunkAndOverflowWithTheText) {
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt("2147483648"); }),
            "'2147483648' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt("-2147483649"); }),
            "'-2147483649' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt("$100000000"); }),
            "'$100000000' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt64("9223372036854775808"); }),
            "'9223372036854775808' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt64("-9223372036854775809"); }),
            "'-9223372036854775809' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt64("$10000000000000000"); }),
            "'$10000000000000000' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt64("99999999999999999999999"); }),
            "'99999999999999999999999' is not a valid integer value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToInt("12 "); }), "'12 ' is not a valid integer value");
  for (const char* bad : {"", " ", "-", "$", "0x", "1.5", "1e3", "12a", "- 5", "$G", "++1", "1,000"}) {
    int v = 99;
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
    EXPECT_EQ(v, 99) << bad;
    EXPECT_EQ(StrToIntDef(bad, -3), -3) << bad;
    EXPECT_EQ(StrToInt64Def(bad, -4), -4) << bad;
  }
}

TEST(NumberConvTest, IntegerTextRoundTrips) {
  for (std::int64_t v : {INT64_MIN, INT64_MIN + 1, std::int64_t{-1}, std::int64_t{0},
                         std::int64_t{1}, std::int64_t{4294967296}, INT64_MAX}) {
    EXPECT_EQ(StrToInt64(IntToStr(v)), v);
    EXPECT_EQ(StrToInt64("$" + IntToHex(v, 16)), v);
    std::int64_t parsed = 0;
    EXPECT_TRUE(TryStrToInt64("0x" + IntToHex(v, 1), parsed));
    EXPECT_EQ(parsed, v);
  }
  for (int v : {INT_MIN, -1, 0, 65535, INT_MAX}) {
    EXPECT_EQ(StrToInt(IntToStr(v)), v);
    EXPECT_EQ(StrToInt("$" + IntToHex(v, 8)), v);
  }
}

TEST(NumberConvTest, BooleanText) {
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
  EXPECT_TRUE(StrToBool("TRUE"));
  EXPECT_TRUE(StrToBool("true"));
  EXPECT_FALSE(StrToBool("fAlSe"));
  EXPECT_FALSE(StrToBool("0"));
  EXPECT_TRUE(StrToBool("1"));
  EXPECT_TRUE(StrToBool("-1"));
  EXPECT_TRUE(StrToBool("2.5"));
  EXPECT_FALSE(StrToBool("0.0"));
  EXPECT_EQ(StrToBool(BoolToStr(true)), true);
  EXPECT_EQ(StrToBool(BoolToStr(false, true)), false);
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToBool("yes"); }), "'yes' is not a valid boolean value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToBool(""); }), "'' is not a valid boolean value");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { StrToBool("Truth"); }), "'Truth' is not a valid boolean value");
  EXPECT_TRUE(StrToBoolDef("maybe", true));
  EXPECT_FALSE(StrToBoolDef("maybe", false));
  bool b = true;
  EXPECT_FALSE(TryStrToBool("NAN", b));
  EXPECT_TRUE(b);
}

}  // namespace
}  // namespace zv
