#pragma once
// TBcd: the host's binary-coded decimal of up to 64 digits, laid out as the host lays it out so
// that values read from or written to a database buffer keep their bytes. Every conversion and
// comparison here is exact decimal arithmetic; only the double conversions round.
//
//   Precision          number of digits stored, 1..64 (0 only in NullBcd)
//   SignSpecialPlaces  0x80 the sign, 0x40 "special" (unused), low 6 bits the decimal places
//   Fraction           the digits, two per byte, high nibble first; digit i is the i-th of
//                      Precision, the last Places of them after the decimal point
//
// Errors: bad text raises EBcdException (SInvalidBcdValue with the text), as the host's FMTBcd
// unit does; a value needing more than 64 digits, or more than 63 places, raises
// EBcdOverflowException (SBcdOverflow).

#include <array>
#include <compare>
#include <cstdint>
#include <string_view>

#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"

namespace zv {

struct TBcd {
  std::uint8_t Precision = 0;
  std::uint8_t SignSpecialPlaces = 0;
  std::array<std::uint8_t, 32> Fraction{};

  static constexpr std::uint8_t SignBit = 0x80;
  static constexpr std::uint8_t PlacesMask = 0x3F;
  static constexpr int MaxDigits = 64;
  static constexpr int MaxPlaces = 63;
};

// The all-zero record, which reads as zero.
inline constexpr TBcd NullBcd{};

// Text: blanks around, optional sign, digits with DecimalSeparator, optional exponent
// ("1.5E3"). Precision and places follow the digits given: "1.50" has 3 digits, 2 places;
// leading zeros of the integral part are dropped. "-0" is plain zero.
TBcd StrToBcd(std::string_view text, const TFormatSettings& fs = FormatSettings());
bool TryStrToBcd(std::string_view text, TBcd& bcd, const TFormatSettings& fs = FormatSettings());
// Shortest text of the value: no leading zeros, no trailing zeros after the decimal separator,
// "0" for zero.
String BcdToStr(const TBcd& bcd, const TFormatSettings& fs = FormatSettings());

// At most 15 significant digits, as many places as the value needs. NaN and infinities raise
// EBcdException; magnitudes past 64 integral digits EBcdOverflowException; digits past the
// 63rd place are dropped.
TBcd DoubleToBcd(double value);
void DoubleToBcd(double value, TBcd& bcd);
double BcdToDouble(const TBcd& bcd);

TBcd IntegerToBcd(std::int64_t value);
// With truncate the fraction is dropped; without it a fraction raises EBcdException. Values
// out of range raise EBcdOverflowException.
int BcdToInteger(const TBcd& bcd, bool truncate = false);
std::int64_t BcdToInt64(const TBcd& bcd, bool truncate = false);

// Currency to a BCD of exactly the given precision and places, as NormalizeBcd: false when
// decimals < 4 truncated non-zero digits, or (bcd unchanged) when the value does not fit.
bool CurrToBCD(Currency curr, TBcd& bcd, int precision = 32, int decimals = 4);
// The shortest exact BCD of the amount.
TBcd CurrencyToBcd(Currency curr);
// To four places, ties to even; false (curr unchanged) when out of the Currency range.
bool BCDToCurr(const TBcd& bcd, Currency& curr);
// As BCDToCurr, raising EBcdOverflowException when out of range.
Currency BCDToCurrency(const TBcd& bcd);

// -1, 0 or 1 by value: scale and precision do not matter (1.50 equals 1.5), nor the sign of
// zero.
int BcdCompare(const TBcd& a, const TBcd& b);
// Significant digits: integral digits without leading zeros plus the places.
int BcdPrecision(const TBcd& bcd);
int BcdScale(const TBcd& bcd);
bool IsBcdNegative(const TBcd& bcd);

// Re-expresses the value with exactly `precision` digits and `places` decimals. Surplus
// decimals are truncated (not rounded) and make the result false; integral digits that do not
// fit raise EBcdOverflowException, as do precision outside 1..64 or places outside
// 0..min(precision, 63).
bool NormalizeBcd(const TBcd& in, TBcd& out, int precision, int places);

// Exact arithmetic. Results keep every digit; one that needs more than 64 raises
// EBcdOverflowException, except that products and quotients drop (truncate) surplus decimals.
// Division by zero raises EBcdException (SDivByZero).
void BcdAdd(const TBcd& a, const TBcd& b, TBcd& result);
void BcdSubtract(const TBcd& a, const TBcd& b, TBcd& result);
void BcdMultiply(const TBcd& a, const TBcd& b, TBcd& result);
void BcdDivide(const TBcd& dividend, const TBcd& divisor, TBcd& result);

TBcd operator-(const TBcd& a);
TBcd operator+(const TBcd& a, const TBcd& b);
TBcd operator-(const TBcd& a, const TBcd& b);
TBcd operator*(const TBcd& a, const TBcd& b);
TBcd operator/(const TBcd& a, const TBcd& b);
// By value, as BcdCompare.
bool operator==(const TBcd& a, const TBcd& b);
std::weak_ordering operator<=>(const TBcd& a, const TBcd& b);

}  // namespace zv
