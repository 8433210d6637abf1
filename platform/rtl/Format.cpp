#include "platform/rtl/Format.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFormat.h"

namespace zv {
namespace {

// Widths and precisions beyond this are taken as this, so that a hostile format string cannot
// ask for gigabytes of padding.
constexpr int kMaxWidth = 1 << 20;

String Digits(std::uint64_t value, int base) {
  char buf[24];
  auto res = std::to_chars(buf, buf + sizeof buf, value, base);
  String s(buf, res.ptr);
  if (base == 16) std::transform(s.begin(), s.end(), s.begin(), [](char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
  });
  return s;
}

String ZeroPadded(String digits, int minDigits) {
  if (static_cast<int>(digits.size()) < minDigits) {
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  }
  return digits;
}

bool IsInteger(const TVarRec& a) {
  return a.VType == TVarRec::vtInteger || a.VType == TVarRec::vtInt64 ||
         a.VType == TVarRec::vtUInt64;
}

// One Format call: the format text, the arguments and the position in both.
class TFormatter {
public:
  TFormatter(std::string_view fmt, std::initializer_list<TVarRec> args, const TFormatSettings& fs)
      : fFmt(fmt), fArgs(args.begin()), fArgCount(args.size()), fFs(fs) {}

  String Run() {
    while (fPos < fFmt.size()) {
      std::size_t percent = fFmt.find('%', fPos);
      if (percent == std::string_view::npos) percent = fFmt.size();
      fOut.append(fFmt.substr(fPos, percent - fPos));
      fPos = percent;
      if (fPos < fFmt.size()) Specifier();
    }
    return std::move(fOut);
  }

private:
  [[noreturn]] void Fail(const char* message) const {
    throw EConvertError(Format(message, {fFmt}));
  }

  const TVarRec& NextArg() {
    if (fArgIndex >= fArgCount) Fail(SArgumentMissing);
    return fArgs[fArgIndex++];
  }

  // Digits or '*' (the value then comes from the next argument, which must be an integer).
  bool ReadNumber(int& value) {
    if (fPos < fFmt.size() && fFmt[fPos] == '*') {
      ++fPos;
      const TVarRec& a = NextArg();
      if (!IsInteger(a)) Fail(SInvalidFormat);
      std::int64_t n = a.VType == TVarRec::vtUInt64
                           ? static_cast<std::int64_t>(std::min<std::uint64_t>(a.VUInt64, kMaxWidth))
                           : a.VInt64;
      value = static_cast<int>(std::clamp<std::int64_t>(n, 0, kMaxWidth));
      return true;
    }
    bool any = false;
    value = 0;
    while (fPos < fFmt.size() && fFmt[fPos] >= '0' && fFmt[fPos] <= '9') {
      value = std::min(value * 10 + (fFmt[fPos++] - '0'), kMaxWidth);
      any = true;
    }
    return any;
  }

  void Specifier() {
    ++fPos;  // the '%'
    if (fPos >= fFmt.size()) Fail(SInvalidFormat);
    if (fFmt[fPos] == '%') {
      fOut.push_back('%');
      ++fPos;
      return;
    }
    int number = 0;
    bool hasNumber = ReadNumber(number);
    if (hasNumber && fPos < fFmt.size() && fFmt[fPos] == ':') {
      // An index also moves the position of the specifiers that follow.
      fArgIndex = static_cast<std::size_t>(number);
      ++fPos;
      hasNumber = false;
    }
    bool left = false;
    if (!hasNumber) {
      if (fPos < fFmt.size() && fFmt[fPos] == '-') {
        left = true;
        ++fPos;
      }
      hasNumber = ReadNumber(number);
    }
    int width = hasNumber ? number : 0;
    int precision = -1;
    if (fPos < fFmt.size() && fFmt[fPos] == '.') {
      ++fPos;
      ReadNumber(precision);
    }
    if (fPos >= fFmt.size()) Fail(SInvalidFormat);
    char type = fFmt[fPos++];
    if (type >= 'a' && type <= 'z') type = static_cast<char>(type - 'a' + 'A');
    if (std::string_view("DUXEFGNMSP").find(type) == std::string_view::npos) Fail(SInvalidFormat);
    String text = Convert(type, NextArg(), precision);
    int pad = width - Length(text);  // characters, not bytes
    if (pad > 0 && !left) fOut.append(static_cast<std::size_t>(pad), ' ');
    fOut += text;
    if (pad > 0 && left) fOut.append(static_cast<std::size_t>(pad), ' ');
  }

  String Convert(char type, const TVarRec& a, int precision) {
    switch (type) {
      case 'D':
      case 'U':
      case 'X': return ConvertInteger(type, a, precision);
      case 'S': return ConvertString(a, precision);
      case 'P':
        if (a.VType != TVarRec::vtPointer) Fail(SInvalidFormat);
        return ZeroPadded(Digits(reinterpret_cast<std::uintptr_t>(a.VPointer), 16),
                          static_cast<int>(sizeof(void*) * 2));
      default: return ConvertFloat(type, a, precision);
    }
  }

  String ConvertInteger(char type, const TVarRec& a, int precision) {
    if (!IsInteger(a)) Fail(SInvalidFormat);
    bool negative = a.VType != TVarRec::vtUInt64 && a.VInt64 < 0;
    std::uint64_t bits = a.VType == TVarRec::vtUInt64  ? a.VUInt64
                         : a.VType == TVarRec::vtInteger ? static_cast<std::uint32_t>(a.VInt64)
                                                         : static_cast<std::uint64_t>(a.VInt64);
    String s;
    if (type == 'X') {
      s = ZeroPadded(Digits(bits, 16), precision);
    } else if (type == 'U') {
      s = ZeroPadded(Digits(bits, 10), precision);
    } else {
      std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(a.VInt64) : bits;
      s = ZeroPadded(Digits(magnitude, 10), precision);
      if (negative) s.insert(0, 1, '-');
    }
    return s;
  }

  String ConvertString(const TVarRec& a, int precision) {
    String s;
    switch (a.VType) {
      case TVarRec::vtString: s = a.VString; break;
      case TVarRec::vtChar: s.assign(1, a.VChar); break;
      case TVarRec::vtWideString: s = UTF8Encode(a.VWideString); break;
      default: Fail(SInvalidFormat);
    }
    if (precision >= 0) s = Copy(s, 1, precision);  // whole characters only
    return s;
  }

  String ConvertFloat(char type, const TVarRec& a, int precision) {
    if (a.VType != TVarRec::vtExtended && a.VType != TVarRec::vtCurrency) Fail(SInvalidFormat);
    bool isCurrency = a.VType == TVarRec::vtCurrency;
    // Significant digits for the fixed forms: all that the type holds.
    int allDigits = isCurrency ? 19 : 18;
    int significant = precision < 0 || precision > 18 ? 15 : precision;
    int decimals = precision < 0 ? 2 : std::min(precision, 18);
    TFloatFormat format = TFloatFormat::ffFixed;
    int p = allDigits;
    int d = decimals;
    switch (type) {
      case 'E': format = TFloatFormat::ffExponent; p = significant; d = 3; break;
      case 'G': format = TFloatFormat::ffGeneral; p = significant; d = 0; break;
      case 'N': format = TFloatFormat::ffNumber; break;
      case 'M':
        format = TFloatFormat::ffCurrency;
        if (precision < 0) d = fFs.CurrencyDecimals;
        break;
      default: break;
    }
    return isCurrency ? FloatToStrF(a.VCurrency, format, p, d, fFs)
                      : FloatToStrF(a.VExtended, format, p, d, fFs);
  }

  std::string_view fFmt;
  const TVarRec* fArgs;
  std::size_t fArgCount;
  const TFormatSettings& fFs;
  std::size_t fPos = 0;
  std::size_t fArgIndex = 0;
  String fOut;
};

}  // namespace

String Format(std::string_view fmt, std::initializer_list<TVarRec> args,
              const TFormatSettings& fs) {
  return TFormatter(fmt, args, fs).Run();
}

void DatabaseErrorFmt(std::string_view fmt, std::initializer_list<TVarRec> args) {
  throw EDatabaseError(Format(fmt, args));
}

}  // namespace zv
