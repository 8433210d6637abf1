#include "platform/classes/Parser.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Format.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace zv {

ZV_DEFINE_CLASS(TParser, TObject)

namespace {

bool IsIdentStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80; }
bool IsIdentChar(unsigned char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Numbers in form text always use '.', whatever locale the application has set.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
  return locale;
}

}  // namespace

TParser::TParser(TStream& stream) : fStream(stream) {
  fOrigin = stream.Position();
  const std::int64_t size = stream.Size() - fOrigin;
  if (size > 0) {
    fText.resize(static_cast<std::size_t>(size));
    stream.ReadBuffer(fText.data(), size);
  }
  NextToken();
}

TParser::~TParser() {
  try {
    fStream.SetPosition(fOrigin + static_cast<std::int64_t>(fPos));
  } catch (...) {  // a destructor must not throw; the position is a courtesy
  }
}

void TParser::Error(const String& message) const {
  throw EParserError(Format(SParseError, {message, fTokenLine}));
}

void TParser::SkipBlanks() {
  while (fPos < fText.size()) {
    const auto c = static_cast<unsigned char>(fText[fPos]);
    if (c > ' ') return;
    if (c == '\n' || (c == '\r' && (fPos + 1 >= fText.size() || fText[fPos + 1] != '\n'))) ++fLine;
    ++fPos;
  }
}

char TParser::NextToken() {
  SkipBlanks();
  fTokenStart = fPos;
  fTokenLine = fLine;
  fFloatType = 0;
  fValue.clear();
  if (fPos >= fText.size()) return fToken = toEOF;
  const auto c = static_cast<unsigned char>(fText[fPos]);
  if (IsIdentStart(c)) {
    while (fPos < fText.size() && IsIdentChar(static_cast<unsigned char>(fText[fPos]))) ++fPos;
    fValue.assign(fText, fTokenStart, fPos - fTokenStart);
    return fToken = toSymbol;
  }
  if (c == '\'' || c == '#') {
    ScanString();
    return fToken;
  }
  const bool negativeNumber =
      c == '-' && fPos + 1 < fText.size() && IsDigit(static_cast<unsigned char>(fText[fPos + 1]));
  if (c == '$' || IsDigit(c) || negativeNumber) {
    ScanNumber();
    return fToken;
  }
  ++fPos;
  return fToken = static_cast<char>(c);
}

void TParser::ScanString() {
  bool wide = false;
  char32_t pendingHigh = 0;  // a high surrogate waiting for its low half
  auto flushPending = [&] {
    if (pendingHigh) AppendUTF8(fValue, 0xFFFD);
    pendingHigh = 0;
  };
  while (fPos < fText.size()) {
    const char c = fText[fPos];
    if (c == '\'') {
      flushPending();
      ++fPos;
      for (;;) {
        if (fPos >= fText.size() || fText[fPos] == '\n' || fText[fPos] == '\r') Error(SParUnterminatedString);
        const char q = fText[fPos];
        if (q == '\'') {
          if (fPos + 1 < fText.size() && fText[fPos + 1] == '\'') {
            fValue += '\'';
            fPos += 2;
            continue;
          }
          ++fPos;
          break;
        }
        if (static_cast<unsigned char>(q) >= 0x80) wide = true;
        fValue += q;
        ++fPos;
      }
    } else if (c == '#') {
      ++fPos;
      const bool hex = fPos < fText.size() && fText[fPos] == '$';
      if (hex) ++fPos;
      const std::size_t start = fPos;
      char32_t code = 0;
      while (fPos < fText.size()) {
        const auto d = static_cast<unsigned char>(fText[fPos]);
        const int v = hex ? HexValue(d) : (IsDigit(d) ? d - '0' : -1);
        if (v < 0) break;
        code = code * (hex ? 16 : 10) + static_cast<char32_t>(v);
        if (code > 0x10FFFF) Error(SParInvalidString);
        ++fPos;
      }
      if (fPos == start) Error(SParInvalidString);
      if (code >= 0x80) wide = true;
      if (pendingHigh && code >= 0xDC00 && code <= 0xDFFF) {
        AppendUTF8(fValue, 0x10000 + ((pendingHigh - 0xD800) << 10) + (code - 0xDC00));
        pendingHigh = 0;
        continue;
      }
      flushPending();
      if (code >= 0xD800 && code <= 0xDBFF)
        pendingHigh = code;
      else
        AppendUTF8(fValue, code >= 0xDC00 && code <= 0xDFFF ? 0xFFFD : code);
    } else {
      break;
    }
  }
  flushPending();
  fToken = wide ? toWString : toString;
}

void TParser::ScanNumber() {
  fToken = toInteger;
  if (fText[fPos] == '$') {
    ++fPos;
    while (fPos < fText.size() && HexValue(static_cast<unsigned char>(fText[fPos])) >= 0) ++fPos;
    if (fPos == fTokenStart + 1) Error(SParInvalidNumber);
  } else {
    if (fText[fPos] == '-') ++fPos;
    auto digits = [&] {
      const std::size_t start = fPos;
      while (fPos < fText.size() && IsDigit(static_cast<unsigned char>(fText[fPos]))) ++fPos;
      return fPos > start;
    };
    digits();
    if (fPos + 1 < fText.size() && fText[fPos] == '.' && IsDigit(static_cast<unsigned char>(fText[fPos + 1]))) {
      ++fPos;
      digits();
      fToken = toFloat;
    }
    if (fPos < fText.size() && (fText[fPos] == 'e' || fText[fPos] == 'E')) {
      ++fPos;
      if (fPos < fText.size() && (fText[fPos] == '+' || fText[fPos] == '-')) ++fPos;
      if (!digits()) Error(SParInvalidNumber);
      fToken = toFloat;
    }
  }
  fValue.assign(fText, fTokenStart, fPos - fTokenStart);
  if (fToken != toInteger || fValue[0] != '$') {
    if (fPos < fText.size()) {
      const char s = static_cast<char>(fText[fPos] | 0x20);
      const bool nextIsIdent = fPos + 1 < fText.size() && IsIdentChar(static_cast<unsigned char>(fText[fPos + 1]));
      if ((s == 's' || s == 'c' || s == 'd') && !nextIsIdent) {
        fFloatType = s;
        fToken = toFloat;
        ++fPos;
      }
    }
  }
  // "12abc" is not a number followed by a name.
  if (fPos < fText.size() && IsIdentChar(static_cast<unsigned char>(fText[fPos]))) Error(SParInvalidNumber);
}

std::int64_t TParser::TokenInt() const {
  if (fToken != toInteger) CheckToken(toInteger);
  std::uint64_t magnitude = 0;
  if (fValue[0] == '$') {
    if (fValue.size() - 1 > 16) Error(SParNumberTooLarge);
    for (std::size_t i = 1; i < fValue.size(); ++i)
      magnitude = (magnitude << 4) | static_cast<std::uint64_t>(HexValue(static_cast<unsigned char>(fValue[i])));
    return static_cast<std::int64_t>(magnitude);  // the bit pattern, as $FFFFFFFFFFFFFFFF is -1
  }
  const bool negative = fValue[0] == '-';
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  for (std::size_t i = negative ? 1 : 0; i < fValue.size(); ++i) {
    const auto d = static_cast<std::uint64_t>(fValue[i] - '0');
    if (magnitude > (limit - d) / 10) Error(SParNumberTooLarge);
    magnitude = magnitude * 10 + d;
  }
  return negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

long double TParser::TokenFloat() const {
  if (fToken == toInteger && fValue[0] == '$') return static_cast<long double>(TokenInt());
  if (fToken != toInteger && fToken != toFloat) CheckToken(toFloat);
  errno = 0;
  char* end = nullptr;
  const long double v = strtold_l(fValue.c_str(), &end, CLocale());
  if (end != fValue.c_str() + fValue.size()) Error(SParInvalidNumber);
  if (std::isinf(v)) Error(SParNumberTooLarge);
  return v;  // an underflow gives the nearest denormal or zero, as the hardware would
}

WideString TParser::TokenWideString() const { return UTF8Decode(fValue); }

bool TParser::TokenSymbolIs(std::string_view symbol) const { return fToken == toSymbol && SameText(fValue, symbol); }

void TParser::CheckToken(char token) const {
  if (fToken == token || (token == toString && fToken == toWString)) return;
  switch (token) {
    case toSymbol: Error(SIdentifierExpected);
    case toString:
    case toWString: Error(SStringExpected);
    case toInteger:
    case toFloat: Error(SNumberExpected);
    default: Error(Format(SCharExpected, {String(1, token)}));
  }
}

void TParser::CheckTokenSymbol(std::string_view symbol) const {
  if (!TokenSymbolIs(symbol)) Error(Format(SSymbolExpected, {symbol}));
}

String TParser::TokenComponentIdent() {
  CheckToken(toSymbol);
  String result = fValue;
  while (NextToken() == '.') {
    NextToken();
    CheckToken(toSymbol);
    result += '.';
    result += fValue;
  }
  return result;
}

void TParser::HexToBinary(TStream& stream) {
  std::vector<std::uint8_t> bytes;
  for (;;) {
    SkipBlanks();
    fTokenStart = fPos;
    fTokenLine = fLine;
    if (fPos >= fText.size()) Error(SInvalidBinary);
    if (fText[fPos] == '}') break;
    const int hi = HexValue(static_cast<unsigned char>(fText[fPos]));
    const int lo = fPos + 1 < fText.size() ? HexValue(static_cast<unsigned char>(fText[fPos + 1])) : -1;
    if (hi < 0 || lo < 0) Error(SInvalidBinary);
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    fPos += 2;
  }
  ++fPos;
  fToken = '}';
  fValue.clear();
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace zv
