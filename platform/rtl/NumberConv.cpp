#include "platform/rtl/NumberConv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"

namespace zv {
namespace {

String Hex(std::uint64_t bits, int digits) {
  char buf[20];
  auto res = std::to_chars(buf, buf + sizeof buf, bits, 16);
  String s(buf, res.ptr);
  for (char& c : s) {
    if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
  }
  // The host pads to at most 32 digits; more would only be zeros anyway.
  digits = std::clamp(digits, 0, 32);
  if (static_cast<int>(s.size()) < digits) s.insert(0, static_cast<std::size_t>(digits) - s.size(), '0');
  return s;
}

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads an integer of `bits` width (32 or 64) as the host's Val does. Hexadecimal without a
// minus sign may use the whole bit pattern.
bool ParseInteger(std::string_view s, int bits, std::int64_t& value) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  std::uint64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    int digit = DigitValue(s[i], hex);
    if (digit < 0) return false;
    if (__builtin_mul_overflow(magnitude, hex ? 16u : 10u, &magnitude) ||
        __builtin_add_overflow(magnitude, static_cast<unsigned>(digit), &magnitude)) {
      return false;
    }
  }
  const std::uint64_t signBit = std::uint64_t{1} << (bits - 1);
  const std::uint64_t allBits = bits == 64 ? ~std::uint64_t{0} : (signBit << 1) - 1;
  std::uint64_t limit = negative ? signBit : hex ? allBits : signBit - 1;
  if (magnitude > limit) return false;
  if (negative) magnitude = 0 - magnitude;
  // Two's complement reinterpretation within the type's width.
  value = bits == 64 ? static_cast<std::int64_t>(magnitude)
                     : static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude));
  return true;
}

[[noreturn]] void InvalidInteger(std::string_view text) {
  throw EConvertError(Format(SInvalidInteger, {text}));
}

}  // namespace

String IntToStr(int value) { return std::to_string(value); }
String IntToStr(std::int64_t value) { return std::to_string(value); }
String UIntToStr(std::uint64_t value) { return std::to_string(value); }

String IntToHex(int value, int digits) { return Hex(static_cast<std::uint32_t>(value), digits); }
String IntToHex(std::int64_t value, int digits) {
  return Hex(static_cast<std::uint64_t>(value), digits);
}

bool TryStrToInt(std::string_view text, int& value) {
  std::int64_t v = 0;
  if (!ParseInteger(text, 32, v)) return false;
  value = static_cast<int>(v);
  return true;
}

bool TryStrToInt64(std::string_view text, std::int64_t& value) {
  return ParseInteger(text, 64, value);
}

int StrToInt(std::string_view text) {
  int value = 0;
  if (!TryStrToInt(text, value)) InvalidInteger(text);
  return value;
}

std::int64_t StrToInt64(std::string_view text) {
  std::int64_t value = 0;
  if (!TryStrToInt64(text, value)) InvalidInteger(text);
  return value;
}

int StrToIntDef(std::string_view text, int defaultValue) {
  int value = 0;
  return TryStrToInt(text, value) ? value : defaultValue;
}

std::int64_t StrToInt64Def(std::string_view text, std::int64_t defaultValue) {
  std::int64_t value = 0;
  return TryStrToInt64(text, value) ? value : defaultValue;
}

String BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs) return value ? SDefaultTrueBoolStr : SDefaultFalseBoolStr;
  return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view text, bool& value) {
  double number = 0;
  if (TryStrToFloat(text, number) && std::isfinite(number)) {
    value = number != 0;
    return true;
  }
  if (SameText(text, SDefaultTrueBoolStr)) {
    value = true;
    return true;
  }
  if (SameText(text, SDefaultFalseBoolStr)) {
    value = false;
    return true;
  }
  return false;
}

bool StrToBool(std::string_view text) {
  bool value = false;
  if (!TryStrToBool(text, value)) throw EConvertError(Format(SInvalidBoolean, {text}));
  return value;
}

bool StrToBoolDef(std::string_view text, bool defaultValue) {
  bool value = false;
  return TryStrToBool(text, value) ? value : defaultValue;
}

}  // namespace zv
