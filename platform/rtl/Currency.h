#pragma once
// Currency: a 64-bit integer scaled by 10,000 (four decimal places), exact for money.
// Arithmetic never wraps: addition, subtraction, negation and multiplication by an integer raise
// EIntOverflow; multiplication and division by a Currency (which round the exact result to four
// decimals, ties to even, as the host's FPU does) raise EOverflow, and division by zero
// EZeroDivide.

#include <cstdint>
#include <compare>

namespace zv {

namespace detail {
[[noreturn]] void RaiseCurrencyIntOverflow();
}

struct Currency {
  static constexpr std::int64_t Scale = 10000;
  std::int64_t Value = 0;  // the amount times 10,000

  constexpr Currency() = default;
  static constexpr Currency FromScaled(std::int64_t scaled) { Currency c; c.Value = scaled; return c; }
  static constexpr Currency FromInt(std::int64_t units) {
    std::int64_t scaled = 0;
    if (__builtin_mul_overflow(units, Scale, &scaled)) detail::RaiseCurrencyIntOverflow();
    return FromScaled(scaled);
  }
  // Rounds to four decimals, ties to even. Out of range raises EOverflow; NaN raises EInvalidOp.
  static Currency FromDouble(double value);
  // The nearest double to the amount.
  double ToDouble() const;

  constexpr auto operator<=>(const Currency&) const = default;

  Currency operator-() const;
  Currency& operator+=(Currency o);
  Currency& operator-=(Currency o);
  Currency& operator*=(Currency o);
  Currency& operator/=(Currency o);
  Currency& operator*=(std::int64_t n);
};

Currency operator+(Currency a, Currency b);
Currency operator-(Currency a, Currency b);
Currency operator*(Currency a, Currency b);
Currency operator/(Currency a, Currency b);
Currency operator*(Currency a, std::int64_t n);
Currency operator*(std::int64_t n, Currency a);

// The largest and smallest amounts: +/-922,337,203,685,477.5807/.5808.
inline constexpr Currency MaxCurrency = Currency::FromScaled(INT64_MAX);
inline constexpr Currency MinCurrency = Currency::FromScaled(INT64_MIN);

}  // namespace zv
