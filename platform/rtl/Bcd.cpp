#include "platform/rtl/Bcd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

namespace zv {

namespace {

// A decimal being worked on: the digits as characters '0'..'9', most significant first, the
// last `scale` of them after the point. Leading zeros are allowed; the sign of zero is ignored.
struct Dec {
  bool neg = false;
  std::string digits;
  int scale = 0;
};

[[noreturn]] void RaiseInvalid(std::string_view text) {
  throw EBcdException(Format(SInvalidBcdValue, {text}));
}

[[noreturn]] void RaiseOverflow() { throw EBcdOverflowException(SBcdOverflow); }

bool IsZero(const Dec& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

int IntegralLength(const Dec& d) { return static_cast<int>(d.digits.size()) - d.scale; }

// Drops the zeros in front of the integral part; zero with no places keeps one "0".
void TrimLeading(Dec& d) {
  std::size_t drop = 0;
  const std::size_t integral = static_cast<std::size_t>(IntegralLength(d));
  while (drop < integral && d.digits[drop] == '0') ++drop;
  d.digits.erase(0, drop);
  if (d.digits.empty()) d.digits = "0";
}

void TrimTrailingZeros(Dec& d) {
  while (d.scale > 0 && !d.digits.empty() && d.digits.back() == '0') {
    d.digits.pop_back();
    --d.scale;
  }
  if (d.digits.empty()) d.digits = "0";
}

// Drops places past `places`; true when one of them was not zero.
bool TruncatePlaces(Dec& d, int places) {
  bool lost = false;
  while (d.scale > places) {
    lost = lost || d.digits.back() != '0';
    d.digits.pop_back();
    --d.scale;
  }
  if (d.digits.empty()) d.digits = "0";
  return lost;
}

Dec Unpack(const TBcd& bcd) {
  Dec d;
  if (bcd.Precision == 0) {  // NullBcd
    d.digits = "0";
    return d;
  }
  const int places = bcd.SignSpecialPlaces & TBcd::PlacesMask;
  if (bcd.Precision > TBcd::MaxDigits || places > bcd.Precision) RaiseInvalid("TBcd");
  d.digits.reserve(bcd.Precision);
  for (int i = 0; i < bcd.Precision; ++i) {
    const std::uint8_t byte = bcd.Fraction[static_cast<std::size_t>(i / 2)];
    const int digit = (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
    if (digit > 9) RaiseInvalid("TBcd");
    d.digits.push_back(static_cast<char>('0' + digit));
  }
  d.scale = places;
  d.neg = (bcd.SignSpecialPlaces & TBcd::SignBit) != 0;
  return d;
}

// Stores the digits as they are; the caller has checked the limits.
TBcd Store(const Dec& d) {
  TBcd bcd;
  bcd.Precision = static_cast<std::uint8_t>(d.digits.size());
  bcd.SignSpecialPlaces = static_cast<std::uint8_t>(d.scale);
  if (d.neg && !IsZero(d)) bcd.SignSpecialPlaces |= TBcd::SignBit;
  for (std::size_t i = 0; i < d.digits.size(); ++i) {
    const auto digit = static_cast<std::uint8_t>(d.digits[i] - '0');
    bcd.Fraction[i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(digit << 4) : digit;
  }
  return bcd;
}

// The shortest record of the value. Trailing zeros of the fraction are kept when they fit
// (they carry the scale); the fraction is cut only when allowed (products, quotients).
TBcd Pack(Dec d, bool mayTruncate = false) {
  TrimLeading(d);
  while ((static_cast<int>(d.digits.size()) > TBcd::MaxDigits || d.scale > TBcd::MaxPlaces) &&
         d.scale > 0 && (mayTruncate || d.digits.back() == '0')) {
    d.digits.pop_back();
    --d.scale;
  }
  if (d.digits.empty()) d.digits = "0";
  if (static_cast<int>(d.digits.size()) > TBcd::MaxDigits || d.scale > TBcd::MaxPlaces)
    RaiseOverflow();
  return Store(d);
}

// Compares magnitudes of two digit strings without leading zeros.
int CompareDigits(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Brings both to the same scale and length, so that digit strings compare and add directly.
void Align(Dec& a, Dec& b) {
  if (a.scale < b.scale) a.digits.append(static_cast<std::size_t>(b.scale - a.scale), '0');
  if (b.scale < a.scale) b.digits.append(static_cast<std::size_t>(a.scale - b.scale), '0');
  a.scale = b.scale = std::max(a.scale, b.scale);
  if (a.digits.size() < b.digits.size()) a.digits.insert(0, b.digits.size() - a.digits.size(), '0');
  if (b.digits.size() < a.digits.size()) b.digits.insert(0, a.digits.size() - b.digits.size(), '0');
}

int CompareMagnitude(Dec a, Dec b) {
  Align(a, b);
  const int c = a.digits.compare(b.digits);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int Compare(const Dec& a, const Dec& b) {
  const bool az = IsZero(a), bz = IsZero(b);
  const bool aneg = a.neg && !az, bneg = b.neg && !bz;
  if (aneg != bneg) return aneg ? -1 : 1;
  const int m = CompareMagnitude(a, b);
  return aneg ? -m : m;
}

// Sum of two aligned digit strings of equal length.
std::string AddDigits(const std::string& a, const std::string& b) {
  std::string r(a.size() + 1, '0');
  int carry = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const int s = (a[i] - '0') + (b[i] - '0') + carry;
    r[i + 1] = static_cast<char>('0' + s % 10);
    carry = s / 10;
  }
  r[0] = static_cast<char>('0' + carry);
  return r;
}

// a - b for aligned digit strings of equal length with a >= b.
std::string SubtractDigits(const std::string& a, const std::string& b) {
  std::string r(a.size(), '0');
  int borrow = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    int s = (a[i] - '0') - (b[i] - '0') - borrow;
    borrow = s < 0 ? 1 : 0;
    if (s < 0) s += 10;
    r[i] = static_cast<char>('0' + s);
  }
  return r;
}

Dec AddDec(Dec a, Dec b) {
  a.neg = a.neg && !IsZero(a);
  b.neg = b.neg && !IsZero(b);
  Align(a, b);
  Dec r;
  r.scale = a.scale;
  if (a.neg == b.neg) {
    r.digits = AddDigits(a.digits, b.digits);
    r.neg = a.neg;
  } else if (a.digits >= b.digits) {
    r.digits = SubtractDigits(a.digits, b.digits);
    r.neg = a.neg;
  } else {
    r.digits = SubtractDigits(b.digits, a.digits);
    r.neg = b.neg;
  }
  return r;
}

// Strips leading zeros of a plain integer digit string, keeping "0".
std::string StripInt(std::string s) {
  const std::size_t first = s.find_first_not_of('0');
  if (first == std::string::npos) return "0";
  s.erase(0, first);
  return s;
}

Dec FromUnsigned(std::uint64_t magnitude, bool neg, int scale) {
  Dec d;
  d.digits = std::to_string(magnitude);
  if (static_cast<int>(d.digits.size()) < scale + 1)
    d.digits.insert(0, static_cast<std::size_t>(scale + 1) - d.digits.size(), '0');
  d.scale = scale;
  d.neg = neg;
  return d;
}

Dec FromCurrency(Currency c) {
  const bool neg = c.Value < 0;
  const std::uint64_t mag =
      neg ? 0 - static_cast<std::uint64_t>(c.Value) : static_cast<std::uint64_t>(c.Value);
  return FromUnsigned(mag, neg, 4);
}

enum class Rounding { Truncate, HalfEven };

// The value times 10^places as an integer; false when out of the int64 range.
bool ToScaled(Dec d, int places, Rounding rounding, std::int64_t& result) {
  if (d.scale < places) {
    d.digits.append(static_cast<std::size_t>(places - d.scale), '0');
    d.scale = places;
  }
  const std::size_t keep = d.digits.size() - static_cast<std::size_t>(d.scale - places);
  std::string kept = d.digits.substr(0, keep);
  bool up = false;
  if (rounding == Rounding::HalfEven && keep < d.digits.size()) {
    const char first = d.digits[keep];
    const bool restZero = d.digits.find_first_not_of('0', keep + 1) == std::string::npos;
    const bool odd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
    up = first > '5' || (first == '5' && (!restZero || odd));
  }
  std::uint64_t mag = 0;
  for (char c : kept) {
    if (__builtin_mul_overflow(mag, std::uint64_t{10}, &mag) ||
        __builtin_add_overflow(mag, static_cast<std::uint64_t>(c - '0'), &mag))
      return false;
  }
  if (up && __builtin_add_overflow(mag, std::uint64_t{1}, &mag)) return false;
  const bool neg = d.neg && mag != 0;
  const std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (mag > limit + (neg ? 1 : 0)) return false;
  result = neg ? static_cast<std::int64_t>(0 - mag) : static_cast<std::int64_t>(mag);
  return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads the text; false when it is not a number.
bool Parse(std::string_view text, const TFormatChar& decimalSeparator, Dec& d) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  std::size_t i = b;
  d = Dec{};
  if (i < e && (text[i] == '+' || text[i] == '-')) d.neg = text[i++] == '-';
  bool anyDigit = false, point = false;
  for (; i < e; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      d.digits.push_back(c);
      anyDigit = true;
      if (point) ++d.scale;
      // Bounded so that absurd input cannot grow the buffer: anything this long cannot fit.
      if (d.digits.size() > 4096) return false;
    } else if (!point && decimalSeparator.IsAt(text.substr(0, e), i)) {
      point = true;
      i += decimalSeparator.Size() - 1;
    } else {
      break;
    }
  }
  if (!anyDigit) return false;
  if (i < e && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNeg = false;
    if (i < e && (text[i] == '+' || text[i] == '-')) expNeg = text[i++] == '-';
    if (i == e) return false;
    int exp = 0;
    for (; i < e && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (exp < 10000) exp = exp * 10 + (text[i] - '0');
    }
    if (exp > 4096) {
      // Only zero survives an exponent this large; other values overflow in Pack.
      if (IsZero(d)) exp = 0;
      else exp = 4096;
    }
    if (expNeg) {
      d.scale += exp;
      if (static_cast<int>(d.digits.size()) < d.scale + 1)
        d.digits.insert(0, static_cast<std::size_t>(d.scale + 1) - d.digits.size(), '0');
    } else if (exp <= d.scale) {
      d.scale -= exp;
    } else {
      d.digits.append(static_cast<std::size_t>(exp - d.scale), '0');
      d.scale = 0;
    }
  }
  return i == e;
}

// Long division of plain integers a / b (b not zero), truncated to `extra` digits after the
// point; the result has the integral digits followed by the extra digits.
std::string DivideDigits(const std::string& a, const std::string& b, int extra) {
  std::string quotient;
  std::string rem = "0";
  const std::size_t total = a.size() + static_cast<std::size_t>(extra);
  for (std::size_t i = 0; i < total; ++i) {
    rem = StripInt(rem + (i < a.size() ? a[i] : '0'));
    int q = 0;
    while (CompareDigits(rem, b) >= 0) {
      std::string bb = b;
      bb.insert(0, rem.size() - bb.size(), '0');
      rem = StripInt(SubtractDigits(rem, bb));
      ++q;
    }
    quotient.push_back(static_cast<char>('0' + q));
  }
  return quotient;
}

}  // namespace

bool TryStrToBcd(std::string_view text, TBcd& bcd, const TFormatSettings& fs) {
  Dec d;
  if (!Parse(text, fs.DecimalSeparator, d)) return false;
  try {
    bcd = Pack(d);
  } catch (const EBcdOverflowException&) {
    return false;
  }
  return true;
}

TBcd StrToBcd(std::string_view text, const TFormatSettings& fs) {
  Dec d;
  if (!Parse(text, fs.DecimalSeparator, d)) RaiseInvalid(text);
  return Pack(d);
}

String BcdToStr(const TBcd& bcd, const TFormatSettings& fs) {
  Dec d = Unpack(bcd);
  if (IsZero(d)) return "0";
  TrimLeading(d);
  TrimTrailingZeros(d);
  const std::size_t integral = static_cast<std::size_t>(IntegralLength(d));
  String s;
  if (d.neg) s.push_back('-');
  if (integral == 0) s.push_back('0');
  s.append(d.digits, 0, integral);
  if (d.scale > 0) {
    s += fs.DecimalSeparator;
    s.append(d.digits, integral, std::string::npos);
  }
  return s;
}

TBcd DoubleToBcd(double value) {
  if (std::isnan(value)) RaiseInvalid("NAN");
  if (std::isinf(value)) RaiseInvalid(value > 0 ? "INF" : "-INF");
  if (value == 0) return Pack(Dec{false, "0", 0});
  // 15 significant digits, the precision the host keeps for a double.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                 std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
  const std::size_t ePos = sci.find('e');
  std::string mantissa;
  for (char c : sci.substr(0, ePos))
    if (c != '.') mantissa.push_back(c);
  int exponent = 0;
  std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(),
                  exponent);
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  Dec d;
  d.neg = value < 0;
  const int len = static_cast<int>(mantissa.size());
  const int integral = exponent + 1;
  if (integral >= len) {
    d.digits = mantissa + std::string(static_cast<std::size_t>(integral - len), '0');
  } else {
    d.scale = len - integral;
    d.digits = mantissa;
    if (integral < 0) d.digits.insert(0, static_cast<std::size_t>(-integral), '0');
  }
  TruncatePlaces(d, TBcd::MaxPlaces);
  if (IsZero(d)) return Pack(Dec{false, "0", 0});
  return Pack(d);
}

void DoubleToBcd(double value, TBcd& bcd) { bcd = DoubleToBcd(value); }

double BcdToDouble(const TBcd& bcd) {
  const Dec d = Unpack(bcd);
  std::string text;
  if (d.neg) text.push_back('-');
  text.append(d.digits);
  text.append("e-").append(std::to_string(d.scale));
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TBcd IntegerToBcd(std::int64_t value) {
  const bool neg = value < 0;
  const std::uint64_t mag =
      neg ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return Pack(FromUnsigned(mag, neg, 0));
}

std::int64_t BcdToInt64(const TBcd& bcd, bool truncate) {
  Dec d = Unpack(bcd);
  if (!truncate) {
    Dec check = d;
    if (TruncatePlaces(check, 0)) RaiseInvalid(BcdToStr(bcd));
  }
  std::int64_t result = 0;
  if (!ToScaled(d, 0, Rounding::Truncate, result)) RaiseOverflow();
  return result;
}

int BcdToInteger(const TBcd& bcd, bool truncate) {
  const std::int64_t v = BcdToInt64(bcd, truncate);
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) RaiseOverflow();
  return static_cast<int>(v);
}

TBcd CurrencyToBcd(Currency curr) {
  Dec d = FromCurrency(curr);
  TrimTrailingZeros(d);
  return Pack(d);
}

bool CurrToBCD(Currency curr, TBcd& bcd, int precision, int decimals) {
  TBcd out;
  bool exact = false;
  try {
    exact = NormalizeBcd(Store(FromCurrency(curr)), out, precision, decimals);
  } catch (const EBcdOverflowException&) {
    return false;
  }
  bcd = out;
  return exact;
}

bool BCDToCurr(const TBcd& bcd, Currency& curr) {
  std::int64_t scaled = 0;
  if (!ToScaled(Unpack(bcd), 4, Rounding::HalfEven, scaled)) return false;
  curr = Currency::FromScaled(scaled);
  return true;
}

Currency BCDToCurrency(const TBcd& bcd) {
  Currency c;
  if (!BCDToCurr(bcd, c)) RaiseOverflow();
  return c;
}

int BcdCompare(const TBcd& a, const TBcd& b) { return Compare(Unpack(a), Unpack(b)); }

int BcdPrecision(const TBcd& bcd) {
  Dec d = Unpack(bcd);
  TrimLeading(d);
  const int integral = IntegralLength(d) == 1 && d.digits[0] == '0' ? 0 : IntegralLength(d);
  return std::max(1, integral + d.scale);
}

int BcdScale(const TBcd& bcd) {
  return bcd.Precision == 0 ? 0 : (bcd.SignSpecialPlaces & TBcd::PlacesMask);
}

bool IsBcdNegative(const TBcd& bcd) {
  const Dec d = Unpack(bcd);
  return d.neg && !IsZero(d);
}

bool NormalizeBcd(const TBcd& in, TBcd& out, int precision, int places) {
  if (precision < 1 || precision > TBcd::MaxDigits || places < 0 ||
      places > std::min(precision, TBcd::MaxPlaces))
    RaiseOverflow();
  Dec d = Unpack(in);
  TrimLeading(d);
  const bool lost = TruncatePlaces(d, places);
  d.digits.append(static_cast<std::size_t>(places - d.scale), '0');
  d.scale = places;
  // Integral digits beyond the room left by the places overflow, unless they are zeros.
  const int room = precision - places;
  int integral = IntegralLength(d);
  while (integral > room && d.digits[0] == '0') {
    d.digits.erase(0, 1);
    --integral;
  }
  if (integral > room) RaiseOverflow();
  d.digits.insert(0, static_cast<std::size_t>(room - integral), '0');
  out = Store(d);
  return !lost;
}

void BcdAdd(const TBcd& a, const TBcd& b, TBcd& result) {
  result = Pack(AddDec(Unpack(a), Unpack(b)));
}

void BcdSubtract(const TBcd& a, const TBcd& b, TBcd& result) {
  Dec nb = Unpack(b);
  nb.neg = !nb.neg;
  result = Pack(AddDec(Unpack(a), nb));
}

void BcdMultiply(const TBcd& a, const TBcd& b, TBcd& result) {
  const Dec x = Unpack(a), y = Unpack(b);
  std::vector<int> acc(x.digits.size() + y.digits.size(), 0);
  for (std::size_t i = x.digits.size(); i-- > 0;) {
    for (std::size_t j = y.digits.size(); j-- > 0;) {
      acc[i + j + 1] += (x.digits[i] - '0') * (y.digits[j] - '0');
    }
  }
  for (std::size_t k = acc.size(); k-- > 1;) {
    acc[k - 1] += acc[k] / 10;
    acc[k] %= 10;
  }
  Dec r;
  r.neg = x.neg != y.neg;
  r.scale = x.scale + y.scale;
  for (int v : acc) r.digits.push_back(static_cast<char>('0' + v));
  result = Pack(r, true);
}

void BcdDivide(const TBcd& dividend, const TBcd& divisor, TBcd& result) {
  Dec n = Unpack(dividend), m = Unpack(divisor);
  if (IsZero(m)) throw EBcdException(SDivByZero);
  // n / m = (N / 10^sn) / (M / 10^sm) = (N * 10^sm) / (M * 10^sn).
  std::string num = n.digits + std::string(static_cast<std::size_t>(m.scale), '0');
  std::string den = StripInt(m.digits + std::string(static_cast<std::size_t>(n.scale), '0'));
  num = StripInt(num);
  // Enough places for 64 significant digits of any quotient that fits at all.
  const std::string q = DivideDigits(num, den, TBcd::MaxPlaces);
  Dec r;
  r.neg = n.neg != m.neg;
  r.digits = q;
  r.scale = TBcd::MaxPlaces;
  TrimLeading(r);
  TrimTrailingZeros(r);
  result = Pack(r, true);
}

TBcd operator-(const TBcd& a) {
  Dec d = Unpack(a);
  d.neg = !d.neg;
  return Store(d);
}

TBcd operator+(const TBcd& a, const TBcd& b) { TBcd r; BcdAdd(a, b, r); return r; }
TBcd operator-(const TBcd& a, const TBcd& b) { TBcd r; BcdSubtract(a, b, r); return r; }
TBcd operator*(const TBcd& a, const TBcd& b) { TBcd r; BcdMultiply(a, b, r); return r; }
TBcd operator/(const TBcd& a, const TBcd& b) { TBcd r; BcdDivide(a, b, r); return r; }

bool operator==(const TBcd& a, const TBcd& b) { return BcdCompare(a, b) == 0; }

std::weak_ordering operator<=>(const TBcd& a, const TBcd& b) {
  const int c = BcdCompare(a, b);
  return c < 0 ? std::weak_ordering::less
               : (c > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
}

}  // namespace zv
