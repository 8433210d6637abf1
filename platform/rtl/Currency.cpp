#include "platform/rtl/Currency.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

__extension__ typedef __int128 Int128;

namespace detail {
void RaiseCurrencyIntOverflow() { throw EIntOverflow(SIntOverflow); }
}  // namespace detail

namespace {

using detail::RaiseCurrencyIntOverflow;

// num / den rounded to the nearest integer, ties to even (den != 0).
Int128 DivRoundEven(Int128 num, Int128 den) {
  if (den < 0) {
    num = -num;
    den = -den;
  }
  Int128 q = num / den;
  Int128 r = num % den;  // same sign as num
  Int128 twice = (r < 0 ? -r : r) * 2;
  if (twice > den || (twice == den && (q & 1) != 0)) q += num < 0 ? -1 : 1;
  return q;
}

Currency Checked(Int128 scaled) {
  if (scaled > INT64_MAX || scaled < INT64_MIN) throw EOverflow(SOverflow);
  return Currency::FromScaled(static_cast<std::int64_t>(scaled));
}

}  // namespace

Currency Currency::FromDouble(double value) {
  if (std::isnan(value)) throw EInvalidOp(SInvalidOp);
  if (std::isinf(value) || std::fabs(value) >= 1e15) throw EOverflow(SOverflow);
  // value = mantissa * 2^exponent exactly; scale by 10,000 and round in integers so that no
  // intermediate double rounding can move a tie.
  int exponent = 0;
  double fraction = std::frexp(value, &exponent);
  auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
  exponent -= 53;
  Int128 scaled = static_cast<Int128>(mantissa) * Scale;
  if (exponent >= 0) {
    scaled <<= exponent;  // |value| < 1e15 keeps this far inside 128 bits
  } else if (exponent > -120) {
    scaled = DivRoundEven(scaled, static_cast<Int128>(1) << -exponent);
  } else {
    scaled = 0;
  }
  return Checked(scaled);
}

double Currency::ToDouble() const {
  // Below 2^53 both operands are exact, so one division rounds correctly; beyond, let the
  // decimal parser round the exact text.
  if (Value > -(std::int64_t{1} << 53) && Value < (std::int64_t{1} << 53)) {
    return static_cast<double>(Value) / Scale;
  }
  std::string text = std::to_string(Value) + "e-4";
  double result = 0;
  std::from_chars(text.data(), text.data() + text.size(), result);
  return result;
}

Currency Currency::operator-() const {
  if (Value == INT64_MIN) RaiseCurrencyIntOverflow();
  return FromScaled(-Value);
}

Currency& Currency::operator+=(Currency o) {
  std::int64_t result = 0;
  if (__builtin_add_overflow(Value, o.Value, &result)) RaiseCurrencyIntOverflow();
  Value = result;
  return *this;
}

Currency& Currency::operator-=(Currency o) {
  std::int64_t result = 0;
  if (__builtin_sub_overflow(Value, o.Value, &result)) RaiseCurrencyIntOverflow();
  Value = result;
  return *this;
}

Currency& Currency::operator*=(Currency o) {
  *this = Checked(DivRoundEven(static_cast<Int128>(Value) * o.Value, Scale));
  return *this;
}

Currency& Currency::operator/=(Currency o) {
  if (o.Value == 0) throw EZeroDivide(SZeroDivide);
  *this = Checked(DivRoundEven(static_cast<Int128>(Value) * Scale, o.Value));
  return *this;
}

Currency& Currency::operator*=(std::int64_t n) {
  std::int64_t result = 0;
  if (__builtin_mul_overflow(Value, n, &result)) RaiseCurrencyIntOverflow();
  Value = result;
  return *this;
}

Currency operator+(Currency a, Currency b) { return a += b; }
Currency operator-(Currency a, Currency b) { return a -= b; }
Currency operator*(Currency a, Currency b) { return a *= b; }
Currency operator/(Currency a, Currency b) { return a /= b; }
Currency operator*(Currency a, std::int64_t n) { return a *= n; }
Currency operator*(std::int64_t n, Currency a) { return a *= n; }

}  // namespace zv
