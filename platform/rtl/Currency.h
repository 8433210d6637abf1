#pragma once
// Currency: a 64-bit integer scaled by 10,000 (four decimal places), exact for money.

#include <cstdint>
#include <compare>

namespace zv {

struct Currency {
  static constexpr std::int64_t Scale = 10000;
  std::int64_t Value = 0;  // the amount times 10,000

  constexpr Currency() = default;
  static constexpr Currency FromScaled(std::int64_t scaled) { Currency c; c.Value = scaled; return c; }
  static constexpr Currency FromInt(std::int64_t units) { return FromScaled(units * Scale); }

  constexpr auto operator<=>(const Currency&) const = default;
};

}  // namespace zv
