#include "platform/rtl/Currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

Currency C(std::int64_t scaled) { return Currency::FromScaled(scaled); }

TEST(CurrencyTest, AdditionSubtractionAndNegationNeverWrap) {
  EXPECT_EQ(C(15000) + C(2500), C(17500));
  EXPECT_EQ(C(15000) - C(20000), C(-5000));
  EXPECT_EQ(-C(7), C(-7));
  EXPECT_EQ(-MaxCurrency, C(-INT64_MAX));
  EXPECT_THROW(MaxCurrency + C(1), EIntOverflow);
  EXPECT_THROW(MinCurrency - C(1), EIntOverflow);
  EXPECT_THROW(-MinCurrency, EIntOverflow);
  Currency c = MaxCurrency;
  EXPECT_THROW(c += C(1), EIntOverflow);
  EXPECT_EQ(c, MaxCurrency);  // unchanged by the failed operation
  EXPECT_THROW(Currency::FromInt(INT64_MAX / Currency::Scale + 1), EIntOverflow);
  EXPECT_EQ(Currency::FromInt(-3), C(-30000));
}

TEST(CurrencyTest, MultiplicationAndDivisionRoundToEven) {
  EXPECT_EQ(C(25000) * C(40000), C(100000));      // 2.5 * 4 = 10
  EXPECT_EQ(C(1) * C(5000), C(0));                // 0.00005 -> 0
  EXPECT_EQ(C(3) * C(5000), C(2));                // 0.00015 -> 0.0002
  EXPECT_EQ(C(-3) * C(5000), C(-2));
  EXPECT_EQ(C(3) * C(5001), C(2));                // 0.00015003 -> 0.0002
  EXPECT_EQ(C(10000) / C(30000), C(3333));        // 1/3
  EXPECT_EQ(C(20000) / C(30000), C(6667));        // 2/3
  EXPECT_EQ(C(-20000) / C(30000), C(-6667));
  EXPECT_EQ(C(1) / C(20000), C(0));               // 0.00005 -> 0
  EXPECT_EQ(C(3) / C(20000), C(2));               // 0.00015 -> 0.0002
  EXPECT_EQ(MaxCurrency / C(10000), MaxCurrency);
  EXPECT_EQ(C(12345) * 3, C(37035));
  EXPECT_EQ(-2 * C(12345), C(-24690));
  EXPECT_THROW(MaxCurrency * C(20000), EOverflow);
  EXPECT_THROW(MaxCurrency / C(5000), EOverflow);
  EXPECT_THROW(C(1) / C(0), EZeroDivide);
  EXPECT_THROW(MaxCurrency * std::int64_t{2}, EIntOverflow);
  EXPECT_THROW(MinCurrency * std::int64_t{-1}, EIntOverflow);
}

TEST(CurrencyTest, FromDoubleRoundsToFourDecimalsTiesToEven) {
  EXPECT_EQ(Currency::FromDouble(1.5), C(15000));
  EXPECT_EQ(Currency::FromDouble(0.1), C(1000));
  EXPECT_EQ(Currency::FromDouble(-1.23456), C(-12346));
  // 1/32 and 3/32 are exact doubles whose scaled values end in .5.
  EXPECT_EQ(Currency::FromDouble(0.03125), C(312));
  EXPECT_EQ(Currency::FromDouble(0.09375), C(938));
  EXPECT_EQ(Currency::FromDouble(-0.03125), C(-312));
  // 0.00005 is slightly above the tie as a double.
  EXPECT_EQ(Currency::FromDouble(0.00005), C(1));
  EXPECT_EQ(Currency::FromDouble(1e-300), C(0));
  EXPECT_EQ(Currency::FromDouble(922337203685477.5), C(9223372036854775000));
  EXPECT_THROW(Currency::FromDouble(922337203685478.0), EOverflow);
  EXPECT_THROW(Currency::FromDouble(-1e15), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::numeric_limits<double>::infinity()), EOverflow);
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EInvalidOp);
}

TEST(CurrencyTest, ToDoubleIsTheNearestDouble) {
  EXPECT_EQ(C(12345).ToDouble(), 1.2345);
  EXPECT_EQ(C(-1).ToDouble(), -0.0001);
  EXPECT_EQ(MaxCurrency.ToDouble(), 922337203685477.5807);
  EXPECT_EQ(MinCurrency.ToDouble(), -922337203685477.5808);
  for (std::int64_t scaled : {std::int64_t{1}, std::int64_t{-98765432}, std::int64_t{1} << 52}) {
    EXPECT_EQ(Currency::FromDouble(C(scaled).ToDouble()), C(scaled));
  }
}

}  // namespace
}  // namespace zv
