#include "platform/rtl/FormatSettings.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

namespace {

[[noreturn]] void RaiseNotAChar(std::string_view text) {
  throw EConvertError(Format(SInvalidFormatChar, {text}));
}

// The code point of a well-formed UTF-8 sequence that is exactly one character, else -1.
long DecodeOne(std::string_view s) {
  if (s.empty() || s.size() > 4) return -1;
  const auto b0 = static_cast<unsigned char>(s[0]);
  std::size_t n = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
  if (n == 0 || n != s.size()) return -1;
  long cp = n == 1 ? b0 : n == 2 ? (b0 & 0x1F) : n == 3 ? (b0 & 0x0F) : (b0 & 0x07);
  for (std::size_t i = 1; i < n; ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((b >> 6) != 2) return -1;
    cp = (cp << 6) | (b & 0x3F);
  }
  static constexpr long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;  // overlong, surrogate
  return cp;
}

}  // namespace

TFormatChar::TFormatChar(char c) {
  if (c == '\0') return;
  if (static_cast<unsigned char>(c) >= 0x80) RaiseNotAChar(std::string_view(&c, 1));
  fBytes[0] = c;
  fSize = 1;
  fCode = static_cast<unsigned char>(c);
}

TFormatChar::TFormatChar(char32_t c) {
  if (c == 0) return;
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) RaiseNotAChar("U+" + std::to_string(static_cast<unsigned long>(c)));
  const String s = CodePointToUTF8(c);
  s.copy(fBytes.data(), s.size());
  fSize = s.size();
  fCode = c;
}

TFormatChar::TFormatChar(std::string_view utf8) {
  if (utf8.empty()) return;
  const long cp = DecodeOne(utf8);
  if (cp < 0) RaiseNotAChar(utf8);
  utf8.copy(fBytes.data(), utf8.size());
  fSize = utf8.size();
  fCode = static_cast<char32_t>(cp);
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

void CheckNumberSeparators(const TFormatSettings& fs) {
  if (fs.DecimalSeparator.IsEmpty()) throw EConvertError(SNoDecimalSeparator);
  if (fs.DecimalSeparator == fs.ThousandSeparator) {
    throw EConvertError(Format(SSeparatorsCollide, {fs.DecimalSeparator.View()}));
  }
}

}  // namespace zv
