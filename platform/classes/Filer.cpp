#include "platform/classes/Filer.h"

#include <cmath>
#include <limits>

namespace zv {

std::array<std::uint8_t, 10> EncodeExtended(long double value) {
  std::array<std::uint8_t, 10> out{};
  const bool negative = std::signbit(value);
  std::uint16_t exponent = 0;
  std::uint64_t mantissa = 0;
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    const long double m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
    int biased = e - 1 + 16383;
    if (biased <= 0) {  // denormal: keep what fits, shifting the explicit integer bit down
      mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64 + biased - 1));
      biased = 0;
    } else {
      mantissa = static_cast<std::uint64_t>(std::ldexp(m, 64));
    }
    exponent = static_cast<std::uint16_t>(biased);
  }
  for (int i = 0; i < 8; ++i) out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<std::uint8_t>(exponent & 0xFF);
  out[9] = static_cast<std::uint8_t>(((exponent >> 8) & 0x7F) | (negative ? 0x80 : 0));
  return out;
}

long double DecodeExtended(const std::array<std::uint8_t, 10>& bytes) {
  std::uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[static_cast<std::size_t>(i)];
  const int exponent = bytes[8] | ((bytes[9] & 0x7F) << 8);
  const bool negative = (bytes[9] & 0x80) != 0;
  long double value;
  if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                 : std::numeric_limits<long double>::quiet_NaN();
  } else if (exponent == 0) {
    value = std::ldexp(static_cast<long double>(mantissa), 1 - 16383 - 63);
  } else {
    value = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

}  // namespace zv
