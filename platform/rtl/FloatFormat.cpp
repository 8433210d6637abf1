// Floating-point and Currency text conversions.
//
// Sections: 1. decimal digit strings (exact generation and the host's rounding);
// 2. FloatToStrF; 3. FormatFloat pictures; 4. parsing (StrToFloat, StrToCurr).

#include "platform/rtl/FloatFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

namespace zv {
namespace {

// Every conversion needs a decimal separator; the thousand separator matters only where digits
// are grouped, and there it must differ from the decimal one (CheckNumberSeparators).
void RequireDecimalSeparator(const TFormatSettings& fs) {
  if (fs.DecimalSeparator.IsEmpty()) throw EConvertError(SNoDecimalSeparator);
}

// ---- 1. Decimal digit strings ---------------------------------------------------------------

// The host converts a value to the 18 significant digits of its extended type before any
// rounding for display; a Currency has at most 19.
constexpr int kFloatDigits = 18;
constexpr int kCurrencyDigits = 19;

// value = 0.d1d2...dn * 10^exponent. No leading or trailing zeros in digits; empty is zero.
struct TDecimal {
  bool negative = false;
  int exponent = 0;
  std::string digits;

  bool IsZero() const { return digits.empty(); }
  // Digit at 0-based index i of the digit string, '0' outside it.
  char DigitAt(int i) const {
    return i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
  }
};

void StripTrailingZeros(std::string& digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
}

TDecimal DecimalOf(long double value) {
  TDecimal d;
  if (value == 0 || !std::isfinite(value)) return d;
  d.negative = value < 0;
  std::array<char, 64> buf{};
  // Exact, correctly rounded digits: "d.ddddddddddddddddde+XX".
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                           std::chars_format::scientific, kFloatDigits - 1);
  std::string_view text(buf.data(), static_cast<std::size_t>(res.ptr - buf.data()));
  std::size_t e = text.find('e');
  d.digits.push_back(text[0]);
  d.digits.append(text.substr(2, e - 2));
  std::size_t expStart = e + 1;
  bool expNegative = text[expStart] == '-';
  if (text[expStart] == '-' || text[expStart] == '+') ++expStart;
  int exp = 0;
  std::from_chars(text.data() + expStart, text.data() + text.size(), exp);
  d.exponent = (expNegative ? -exp : exp) + 1;
  StripTrailingZeros(d.digits);
  return d;
}

TDecimal DecimalOf(Currency value) {
  TDecimal d;
  if (value.Value == 0) return d;
  d.negative = value.Value < 0;
  // The magnitude of INT64_MIN does not fit an int64; take it unsigned.
  std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(value.Value)
                                       : static_cast<std::uint64_t>(value.Value);
  std::array<char, 24> buf{};
  auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude);
  d.digits.assign(buf.data(), res.ptr);
  d.exponent = static_cast<int>(d.digits.size()) - 4;
  StripTrailingZeros(d.digits);
  return d;
}

// Keeps `count` significant digits, rounding half away from zero (the host's rule for the
// digit string). A count <= 0 rounds at or above the first digit.
void RoundDigits(TDecimal& d, int count) {
  if (d.IsZero() || count >= static_cast<int>(d.digits.size())) return;
  if (count < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[static_cast<std::size_t>(count)] >= '5';
  d.digits.resize(static_cast<std::size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
      d.digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i >= 0) {
      ++d.digits[static_cast<std::size_t>(i)];
    } else {
      // All nines (or count == 0): the value becomes the next power of ten.
      d.digits.insert(d.digits.begin(), '1');
      ++d.exponent;
    }
  }
  StripTrailingZeros(d.digits);
}

// ---- 2. FloatToStrF -------------------------------------------------------------------------

String ExponentText(int exponent, bool forceSign, int minDigits) {
  String s;
  if (exponent < 0) {
    s.push_back('-');
  } else if (forceSign) {
    s.push_back('+');
  }
  String digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < minDigits) {
    s.append(static_cast<std::size_t>(minDigits) - digits.size(), '0');
  }
  return s + digits;
}

// The integer digits of d grouped by the thousand separator when it is set.
String IntegerPart(const TDecimal& d, const TFormatChar& thousandSeparator, bool grouped) {
  String s;
  int n = std::max(d.exponent, 0);
  for (int i = 0; i < n; ++i) {
    s.push_back(d.DigitAt(i));
    int fromRight = n - i - 1;
    if (grouped && fromRight > 0 && fromRight % 3 == 0) {
      s += thousandSeparator;
    }
  }
  return s.empty() ? String("0") : s;
}

String Signed(const TDecimal& d, String text) {
  return d.negative && !d.IsZero() ? "-" + text : text;
}

String GeneralText(TDecimal d, int precision, int expDigits, const TFormatSettings& fs) {
  RoundDigits(d, precision);
  if (d.IsZero()) return "0";
  String s;
  int count = static_cast<int>(d.digits.size());
  if (d.exponent > precision || d.exponent < -4) {
    s.push_back(d.digits[0]);
    if (count > 1) {
      s += fs.DecimalSeparator;
      s.append(d.digits, 1);
    }
    s += "E" + ExponentText(d.exponent - 1, false, expDigits);
  } else if (d.exponent <= 0) {
    s = "0";
    s += fs.DecimalSeparator;
    s.append(static_cast<std::size_t>(-d.exponent), '0');
    s += d.digits;
  } else {
    s = IntegerPart(d, TFormatChar(), false);
    if (count > d.exponent) {
      s += fs.DecimalSeparator;
      s.append(d.digits, static_cast<std::size_t>(d.exponent));
    }
  }
  return Signed(d, s);
}

String ExponentFormText(TDecimal d, int precision, int expDigits, const TFormatSettings& fs) {
  RoundDigits(d, precision);
  String s(1, d.DigitAt(0));
  if (precision > 1) {
    s += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i) s.push_back(d.DigitAt(i));
  }
  s += "E" + ExponentText(d.IsZero() ? 0 : d.exponent - 1, true, std::clamp(expDigits, 0, 4));
  return Signed(d, s);
}

String CurrencyText(const String& amount, bool negative, const TFormatSettings& fs) {
  // '$' stands for the currency string, '1' for the amount, as the host tables them.
  static constexpr std::array<std::string_view, 4> kPositive{"$1", "1$", "$ 1", "1 $"};
  static constexpr std::array<std::string_view, 16> kNegative{
      "($1)", "-$1",  "$-1",  "$1-",  "(1$)",  "-1$",  "1-$",  "1$-",
      "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  std::string_view pattern = negative ? kNegative[fs.NegCurrFormat % kNegative.size()]
                                      : kPositive[fs.CurrencyFormat % kPositive.size()];
  String s;
  for (char c : pattern) {
    if (c == '$') {
      s += fs.CurrencyString;
    } else if (c == '1') {
      s += amount;
    } else {
      s.push_back(c);
    }
  }
  return s;
}

String FixedText(TDecimal d, TFloatFormat format, int precision, int decimals,
                 const TFormatSettings& fs) {
  if (format != TFloatFormat::ffFixed) CheckNumberSeparators(fs);
  decimals = std::clamp(decimals, 0, 18);
  RoundDigits(d, std::min(precision, d.exponent + decimals));
  if (d.exponent > precision) return GeneralText(d, precision, 0, fs);
  bool grouped = format != TFloatFormat::ffFixed;
  String s = IntegerPart(d, fs.ThousandSeparator, grouped);
  if (decimals > 0) {
    s += fs.DecimalSeparator;
    for (int i = 0; i < decimals; ++i) s.push_back(d.DigitAt(d.exponent + i));
  }
  if (format == TFloatFormat::ffCurrency) return CurrencyText(s, d.negative && !d.IsZero(), fs);
  return Signed(d, s);
}

String DecimalToText(const TDecimal& d, TFloatFormat format, int precision, int digits,
                     const TFormatSettings& fs) {
  switch (format) {
    case TFloatFormat::ffGeneral: return GeneralText(d, precision, digits, fs);
    case TFloatFormat::ffExponent: return ExponentFormText(d, precision, digits, fs);
    default: return FixedText(d, format, precision, digits, fs);
  }
}

const char* SpecialText(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return nullptr;
}

// ---- 3. FormatFloat pictures ----------------------------------------------------------------

// Up to three sections split at ';' outside quoted literals; anything after a third ';' is
// ignored.
std::vector<std::string_view> SplitSections(std::string_view format) {
  std::vector<std::string_view> sections;
  std::size_t start = 0;
  char quote = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(format.substr(start));
  if (sections.size() > 3) sections.resize(3);
  return sections;
}

// Exponent marker ("E+", "e-", ...) at position i of a section.
bool IsExponentAt(std::string_view s, std::size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// What a section asks for, found by one scan of it.
struct TPicture {
  int intPlaces = 0;     // digit placeholders before the decimal point
  int intRequired = 0;   // of those, how many show a zero when the value has no digit there
  int fracPlaces = 0;    // digit placeholders after the decimal point
  int fracRequired = 0;  // up to the last '0' after the decimal point
  bool thousands = false;
  bool scientific = false;
  int expDigits = 0;
};

// Index just past the exponent marker and its digit placeholders.
std::size_t SkipExponent(std::string_view s, std::size_t i, int* expDigits) {
  i += 2;
  int n = 0;
  while (i < s.size() && (s[i] == '0' || s[i] == '#')) {
    if (s[i] == '0' && n < 4) ++n;
    ++i;
  }
  if (expDigits != nullptr) *expDigits = n;
  return i;
}

TPicture AnalyzeSection(std::string_view s) {
  TPicture p;
  bool afterPoint = false;
  int firstZero = -1;
  for (std::size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '\'' || c == '"') {
      std::size_t close = s.find(c, i + 1);
      i = close == std::string_view::npos ? s.size() : close + 1;
      continue;
    }
    if (!p.scientific && IsExponentAt(s, i)) {
      p.scientific = true;
      i = SkipExponent(s, i, &p.expDigits);
      continue;
    }
    if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.fracPlaces;
        if (c == '0') p.fracRequired = p.fracPlaces;
      } else {
        if (c == '0' && firstZero < 0) firstZero = p.intPlaces;
        ++p.intPlaces;
      }
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      p.thousands = true;
    }
    ++i;
  }
  if (firstZero >= 0) p.intRequired = p.intPlaces - firstZero;
  return p;
}

// Rounds d as the picture asks; returns the exponent shown in scientific form.
int RoundForPicture(TDecimal& d, const TPicture& p) {
  if (!p.scientific) {
    RoundDigits(d, d.exponent + p.fracPlaces);
    return 0;
  }
  RoundDigits(d, std::max(p.intPlaces + p.fracPlaces, 1));
  return d.IsZero() ? 0 : d.exponent - p.intPlaces;
}

String RenderSection(std::string_view s, const TPicture& p, const TDecimal& d, int sciExponent,
                     bool minus, const TFormatSettings& fs) {
  // The digits to place: integer digits (all of them, at least intRequired) and the fraction
  // digits (trailing zeros dropped down to fracRequired).
  String intDigits;
  String fracDigits;
  int intCount = p.scientific ? p.intPlaces : std::max(d.exponent, 0);
  for (int i = 0; i < intCount; ++i) intDigits.push_back(d.DigitAt(i));
  if (static_cast<int>(intDigits.size()) < p.intRequired) {
    intDigits.insert(0, static_cast<std::size_t>(p.intRequired) - intDigits.size(), '0');
  }
  int fracStart = p.scientific ? p.intPlaces : d.exponent;
  for (int i = 0; i < p.fracPlaces; ++i) fracDigits.push_back(d.DigitAt(fracStart + i));
  while (static_cast<int>(fracDigits.size()) > p.fracRequired && fracDigits.back() == '0') {
    fracDigits.pop_back();
  }

  String out = minus ? "-" : "";
  const int n = static_cast<int>(intDigits.size());
  int intSeen = 0;        // integer placeholders passed
  int nextDigit = 0;      // next index into intDigits
  int fracSeen = 0;
  bool afterPoint = false;
  bool hasPlaces = p.intPlaces + p.fracPlaces > 0;
  auto emitIntegerUpTo = [&](int last) {
    for (; nextDigit <= last && nextDigit < n; ++nextDigit) {
      out.push_back(intDigits[static_cast<std::size_t>(nextDigit)]);
      int fromRight = n - nextDigit - 1;
      if (p.thousands && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
    }
  };
  for (std::size_t i = 0; i < s.size();) {
    char c = s[i];
    if (c == '\'' || c == '"') {
      std::size_t close = s.find(c, i + 1);
      std::size_t end = close == std::string_view::npos ? s.size() : close;
      out.append(s.substr(i + 1, end - i - 1));
      i = close == std::string_view::npos ? s.size() : close + 1;
      continue;
    }
    if (p.scientific && IsExponentAt(s, i)) {
      if (hasPlaces) emitIntegerUpTo(n - 1);
      out.push_back(c);
      out += ExponentText(sciExponent, s[i + 1] == '+', p.expDigits);
      i = SkipExponent(s, i, nullptr);
      continue;
    }
    if ((c == '0' || c == '#') && !afterPoint) {
      // Placeholder k (of intPlaces) shows digit n - intPlaces + k; the first one also shows
      // every digit that has no placeholder of its own.
      emitIntegerUpTo(n - p.intPlaces + intSeen);
      ++intSeen;
    } else if (c == '0' || c == '#') {
      if (fracSeen < static_cast<int>(fracDigits.size())) {
        out.push_back(fracDigits[static_cast<std::size_t>(fracSeen)]);
      }
      ++fracSeen;
    } else if (c == '.') {
      if (!afterPoint) {
        emitIntegerUpTo(n - 1);
        afterPoint = true;
        if (!fracDigits.empty()) out += fs.DecimalSeparator;
      }
    } else if (c != ',') {
      out.push_back(c);
    }
    ++i;
  }
  if (hasPlaces) emitIntegerUpTo(n - 1);
  return out;
}

// FormatFloat and FormatCurr share this; `general` formats the value when the picture can not.
template <class General>
String FormatDecimal(std::string_view format, const TDecimal& value, const TFormatSettings& fs,
                     General general) {
  std::vector<std::string_view> sections = SplitSections(format);
  auto usable = [&](std::size_t i) { return i < sections.size() && !sections[i].empty(); };
  std::size_t index = 0;
  if (value.IsZero()) {
    index = usable(2) ? 2 : 0;
  } else if (value.negative) {
    index = usable(1) ? 1 : 0;
  }
  if (sections[index].empty()) return general();
  TPicture picture = AnalyzeSection(sections[index]);
  if (picture.thousands) CheckNumberSeparators(fs);
  // Beyond 18 integer digits there is nothing exact to place.
  if (!picture.scientific && value.exponent > kFloatDigits) return general();
  TDecimal rounded = value;
  int sciExponent = RoundForPicture(rounded, picture);
  if (rounded.IsZero() && !value.IsZero() && (usable(2) || index != 0)) {
    // Rounded to zero: the zero section if there is one, else the first; never "-0".
    index = usable(2) ? 2 : 0;
    picture = AnalyzeSection(sections[index]);
    rounded = TDecimal{};
    sciExponent = RoundForPicture(rounded, picture);
  }
  bool minus = index == 0 && rounded.negative && !rounded.IsZero();
  return RenderSection(sections[index], picture, rounded, sciExponent, minus, fs);
}

// ---- 4. Parsing -----------------------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Reads [sign] digits [separator digits] [(E|e) [sign] digits] into an exact decimal.
bool ParseDecimal(std::string_view s, const TFormatChar& decimalSeparator, TDecimal& out) {
  out = TDecimal{};
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) out.negative = s[i++] == '-';
  std::string all;
  int intDigits = 0;
  bool anyDigit = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    all.push_back(s[i++]);
    ++intDigits;
    anyDigit = true;
  }
  if (decimalSeparator.IsAt(s, i)) {
    i += decimalSeparator.Size();
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      all.push_back(s[i++]);
      anyDigit = true;
    }
  }
  if (!anyDigit) return false;
  long exponent = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool expNegative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
    if (i >= s.size()) return false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      // Saturates far beyond any representable magnitude.
      exponent = std::min(exponent * 10 + (s[i++] - '0'), 100000L);
    }
    if (expNegative) exponent = -exponent;
  }
  if (i != s.size()) return false;
  std::size_t lead = all.find_first_not_of('0');
  if (lead == std::string::npos) {
    out.negative = false;
    return true;
  }
  out.digits = all.substr(lead);
  StripTrailingZeros(out.digits);
  out.exponent = static_cast<int>(intDigits - static_cast<long>(lead) + exponent);
  return true;
}

// Exact scaling of a decimal to a Currency; more than four decimals round half to even.
bool DecimalToCurrency(const TDecimal& d, Currency& out) {
  if (d.IsZero()) {
    out = Currency{};
    return true;
  }
  int intCount = d.exponent + 4;  // digits of the scaled integer
  if (intCount > kCurrencyDigits) return false;
  std::uint64_t magnitude = 0;
  for (int i = 0; i < intCount; ++i) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(d.DigitAt(i) - '0');
  }
  int n = static_cast<int>(d.digits.size());
  if (intCount >= 0 && intCount < n) {
    // Digits beyond the fourth decimal: above one half rounds up, exactly one half to even.
    int first = d.digits[static_cast<std::size_t>(intCount)] - '0';
    bool more = intCount + 1 < n;
    if (first > 5 || (first == 5 && (more || (magnitude & 1) != 0))) ++magnitude;
  }
  std::uint64_t limit = d.negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  if (magnitude > limit) return false;
  out.Value = d.negative ? static_cast<std::int64_t>(0 - magnitude)
                         : static_cast<std::int64_t>(magnitude);
  return true;
}

// Rounds the decimal once, straight to T: a double is not read through a long double, whose
// rounding followed by a second one to double could land one unit off.
template <std::floating_point T>
bool TryParseFloat(std::string_view text, T& value, const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  std::string_view s = TrimBlanks(text);
  if (SameText(s, "INF") || SameText(s, "+INF")) {
    value = std::numeric_limits<T>::infinity();
    return true;
  }
  if (SameText(s, "-INF")) {
    value = -std::numeric_limits<T>::infinity();
    return true;
  }
  if (SameText(s, "NAN")) {
    value = std::numeric_limits<T>::quiet_NaN();
    return true;
  }
  TDecimal d;
  if (!ParseDecimal(s, fs.DecimalSeparator, d)) return false;
  if (d.IsZero()) {
    value = d.negative ? -T(0) : T(0);
    return true;
  }
  // Far past the largest value the text overflows; far below the smallest it is zero.
  constexpr int maxExponent = std::numeric_limits<T>::max_exponent10 + 1;
  constexpr int minExponent = std::numeric_limits<T>::min_exponent10 - std::numeric_limits<T>::digits10 - 6;
  if (d.exponent > maxExponent) return false;
  if (d.exponent < minExponent) {
    value = d.negative ? -T(0) : T(0);
    return true;
  }
  String normalized = "0." + d.digits + "e" + std::to_string(d.exponent);
  T parsed = 0;
  auto res = std::from_chars(normalized.data(), normalized.data() + normalized.size(), parsed);
  if (res.ec == std::errc::result_out_of_range) {
    if (d.exponent > 0) return false;  // overflow; underflow becomes zero
    parsed = 0;
  } else if (res.ec != std::errc{} || std::isinf(parsed)) {
    return false;
  }
  value = d.negative ? -parsed : parsed;
  return true;
}

}  // namespace

String FloatToStr(long double value, const TFormatSettings& fs) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, fs);
}

String FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  if (const char* special = SpecialText(value)) return special;
  return DecimalToText(DecimalOf(value), format, std::clamp(precision, 1, kFloatDigits), digits,
                       fs);
}

String FloatToStrF(Currency value, TFloatFormat format, int precision, int digits,
                   const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  return DecimalToText(DecimalOf(value), format, std::clamp(precision, 1, kCurrencyDigits),
                       digits, fs);
}

String FormatFloat(std::string_view format, long double value, const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  if (const char* special = SpecialText(value)) return special;
  return FormatDecimal(format, DecimalOf(value), fs,
                       [&] { return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, fs); });
}

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& fs) {
  return TryParseFloat(text, value, fs);
}

bool TryStrToFloat(std::string_view text, long double& value, const TFormatSettings& fs) {
  return TryParseFloat(text, value, fs);
}

template <std::floating_point T>
T StrToFloat(std::string_view text, const TFormatSettings& fs) {
  T value = 0;
  if (!TryParseFloat(text, value, fs)) throw EConvertError(Format(SInvalidFloat, {text}));
  return value;
}

template <std::floating_point T>
T StrToFloatDef(std::string_view text, std::type_identity_t<T> defaultValue, const TFormatSettings& fs) {
  T value = 0;
  return TryParseFloat(text, value, fs) ? value : defaultValue;
}

template double StrToFloat<double>(std::string_view, const TFormatSettings&);
template long double StrToFloat<long double>(std::string_view, const TFormatSettings&);
template double StrToFloatDef<double>(std::string_view, double, const TFormatSettings&);
template long double StrToFloatDef<long double>(std::string_view, long double, const TFormatSettings&);

String CurrToStr(Currency value, const TFormatSettings& fs) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, kCurrencyDigits, 0, fs);
}

String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs) {
  return FloatToStrF(value, format, kCurrencyDigits, digits, fs);
}

String FormatCurr(std::string_view format, Currency value, const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  return FormatDecimal(format, DecimalOf(value), fs, [&] { return CurrToStr(value, fs); });
}

bool TryStrToCurr(std::string_view text, Currency& value, const TFormatSettings& fs) {
  RequireDecimalSeparator(fs);
  TDecimal d;
  Currency parsed;
  if (!ParseDecimal(TrimBlanks(text), fs.DecimalSeparator, d) || !DecimalToCurrency(d, parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

Currency StrToCurr(std::string_view text, const TFormatSettings& fs) {
  Currency value;
  if (!TryStrToCurr(text, value, fs)) throw EConvertError(Format(SInvalidCurrency, {text}));
  return value;
}

Currency StrToCurrDef(std::string_view text, Currency defaultValue, const TFormatSettings& fs) {
  Currency value;
  return TryStrToCurr(text, value, fs) ? value : defaultValue;
}

}  // namespace zv
