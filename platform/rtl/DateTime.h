#pragma once
// TDateTime: days since 30 December 1899 in the integral part, the time of day as the fraction.
// Before that date the integral part is negative and the fraction still counts forward from
// midnight (-1.25 is 29 December 1899, 06:00), as the host stores it.

#include <compare>

namespace zv {

struct TDateTime {
  double Value = 0;

  constexpr TDateTime() = default;
  constexpr TDateTime(double v) : Value(v) {}  // NOLINT: the host converts freely
  constexpr operator double() const { return Value; }
};

}  // namespace zv
