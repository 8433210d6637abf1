// Sections: number text (floats, currency) - binary to text - text to binary - conveniences.

#include "platform/classes/FormText.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Component.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/classes/Writer.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace zv {

namespace {

// ---------------------------------------------------------------------------------------------
// Number text

constexpr int FloatDecimals = 18;       // the host writes floats with 18 decimals...
constexpr int FloatPrecision = 16;      // ...of which 16 significant digits
constexpr int DoublePrecision = 17;     // always enough to tell two doubles apart
constexpr int ExtendedPrecision = 21;   // ...and two 64-bit mantissas
constexpr std::size_t StringChunk = 64;  // characters per line of a long string
constexpr std::size_t BinaryChunk = 32;  // bytes per line of a binary value

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}
long double ParseExtended(const String& text) { return strtold_l(text.c_str(), nullptr, CLocale()); }
double ParseDouble(const String& text) { return strtod_l(text.c_str(), nullptr, CLocale()); }
float ParseSingle(const String& text) { return strtof_l(text.c_str(), nullptr, CLocale()); }

struct Decimal {
  String digits;  // significant digits, the first nonzero unless the value is zero
  int exponent;   // decimal exponent of the first digit
};

// |value| in significant digits: `precision` of them, or with none given the fewest that
// read back as a T.
template <class T>
Decimal ToDecimal(T value, int precision = 0) {
  char buf[64];
  constexpr auto scientific = std::chars_format::scientific;
  const auto r = precision ? std::to_chars(buf, buf + sizeof buf, std::fabs(value), scientific, precision - 1)
                           : std::to_chars(buf, buf + sizeof buf, std::fabs(value), scientific);
  const std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));  // d.ddde+XX
  const std::size_t e = s.find('e');
  Decimal d;
  for (std::size_t i = 0; i < e; ++i)
    if (s[i] != '.') d.digits += s[i];
  d.exponent = std::atoi(String(s.substr(e + 1)).c_str());
  return d;
}

// ffFixed with FloatDecimals decimals of the digits, rounded half away from zero.
String FixedText(const Decimal& d, bool negative) {
  const int high = std::max(d.exponent, 0);
  String out;
  const auto digit = [&](int i) {
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
  };
  for (int q = high; q >= -FloatDecimals; --q) out += digit(d.exponent - q);
  if (digit(d.exponent + FloatDecimals + 1) >= '5') {  // the first digit dropped
    std::size_t i = out.size();
    while (i > 0 && out[i - 1] == '9') out[--i] = '0';
    if (i == 0)
      out.insert(out.begin(), '1');
    else
      ++out[i - 1];
  }
  out.insert(out.size() - FloatDecimals, 1, '.');
  return negative ? "-" + out : out;
}

// ffGeneral's scientific form: "1E20", "-1.5E-10"; untrimmed keeps every digit.
String GeneralText(const Decimal& d, bool negative, bool trim = true) {
  String digits = d.digits;
  while (trim && digits.size() > 1 && digits.back() == '0') digits.pop_back();
  String out = negative ? "-" : "";
  out += digits[0];
  if (digits.size() > 1) out += "." + digits.substr(1);
  return out + "E" + std::to_string(d.exponent);
}

// The host's text at `precision` significant digits: ffFixed with 18 decimals, or ffGeneral's
// scientific form when the integer part has more digits than the host's 16.
String HostText(long double value, int precision) {
  const Decimal d = ToDecimal(value, precision);
  return d.exponent < FloatPrecision ? FixedText(d, std::signbit(value)) : GeneralText(d, std::signbit(value));
}

// The host's text (16 digits) when it reads back to the same value, else with 17 digits; a
// value too small for 18 decimals takes the shortest scientific form that reads back.
template <class T, class Parse>
String FloatText(T value, const Parse& parse) {
  for (int precision = FloatPrecision; precision <= DoublePrecision; ++precision) {
    String text = HostText(value, precision);
    if (parse(text) == value) return text;
  }
  return GeneralText(ToDecimal(value), std::signbit(value));
}

// Significant digits of a float's text as the reader counts them: trailing zeros count only
// in the mantissa of the scientific form (so "1.000000000000000000E5" has 19).
int SignificantDigits(std::string_view text) {
  const std::size_t e = text.find_first_of("eE");
  const std::string_view mantissa = text.substr(0, e);
  int count = 0, pendingZeros = 0;
  bool started = false;
  for (char c : mantissa) {
    if (c < '0' || c > '9') continue;
    if (c == '0') {
      if (started) ++pendingZeros;
      continue;
    }
    started = true;
    count += pendingZeros + 1;
    pendingZeros = 0;
  }
  return e == std::string_view::npos ? count : count + pendingZeros;
}

String NonFiniteText(long double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-NAN" : "NAN";
  return value < 0 ? "-INF" : "INF";
}

String DoubleText(double value) {
  return std::isfinite(value) ? FloatText(value, ParseDouble) : NonFiniteText(value);
}

String SingleText(float value) {
  return std::isfinite(value) ? FloatText(value, ParseSingle) : NonFiniteText(value);
}

// A float's text reads as the nearest extended, which is what a typed value is, except where
// that extended sits exactly halfway between two doubles and would round to the wrong one: up
// to 17 significant digits may be a double's text, and a double property must get that double
// back. The neighbouring extended on the double's side is then taken (one unit off the nearest
// extended, in about one text in four thousand of 17 digits, and never for short texts).
long double ReadExtendedText(const String& text) {
  const long double x = ParseExtended(text);
  if (SignificantDigits(text) > DoublePrecision || !std::isfinite(x)) return x;
  const double d = ParseDouble(text);
  if (!std::isfinite(d) || static_cast<double>(x) == d) return x;
  return std::nextafter(x, static_cast<long double>(d));
}

// The shortest of the host's texts (16 to 21 significant digits) that ReadExtendedText reads
// back bit for bit; for what 18 decimals cannot show, the shortest scientific form that does.
String ExtendedText(long double value) {
  if (!std::isfinite(value)) return NonFiniteText(value);
  for (int precision = FloatPrecision; precision <= ExtendedPrecision; ++precision) {
    String text = HostText(value, precision);
    if (ReadExtendedText(text) == value) return text;
  }
  for (int precision = 1; precision <= ExtendedPrecision; ++precision) {
    String text = GeneralText(ToDecimal(value, precision), std::signbit(value));
    if (ReadExtendedText(text) == value) return text;
  }
  return GeneralText(ToDecimal(value, ExtendedPrecision), std::signbit(value), false);
}

// Exact, in the float layout: "-12345.678900000000000000".
String CurrencyText(std::int64_t scaled) {
  const bool negative = scaled < 0;
  const auto bits = static_cast<std::uint64_t>(scaled);
  const std::uint64_t magnitude = negative ? 0 - bits : bits;
  String fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return (negative ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction + String(FloatDecimals - 4, '0');
}

bool FitsInt(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// ---------------------------------------------------------------------------------------------
// Binary to text

// A character of a string value: a code point, or (with RawByte set) a byte that is not
// part of valid UTF-8 and travels unchanged inside the quotes.
constexpr std::uint32_t RawByte = 0x80000000u;

void DecodeUtf8(std::string_view s, std::vector<std::uint32_t>& out) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    const int len = b >= 0xF8 ? 0 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    std::uint32_t cp = len == 4 ? b & 0x07u : len == 3 ? b & 0x0Fu : b & 0x1Fu;
    bool ok = len > 0 && i + static_cast<std::size_t>(len) <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      ok = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are bytes, not characters.
    static constexpr std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= minimum[len] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    if (ok) {
      out.push_back(cp);
      i += static_cast<std::size_t>(len);
    } else {
      out.push_back(RawByte | b);
      ++i;
    }
  }
}

class BinaryToTextConverter {
public:
  explicit BinaryToTextConverter(TStream& input) : fInput(input), fReader(input) {}

  String Convert() {
    fReader.ReadSignature();
    WriteObject(0);
    return std::move(fOut);
  }

private:
  void Indent(int n) { fOut.append(static_cast<std::size_t>(n), ' '); }
  void Enter() {
    if (++fDepth > MaxFormNesting) throw EReadError(SInvalidImage);
  }

  void WriteObject(int indent) {
    Enter();
    int childPos = 0;
    const TFilerFlags flags = fReader.ReadPrefix(childPos);
    const String className = fReader.ReadStr();
    const String name = fReader.ReadStr();
    Indent(indent);
    fOut += flags.Contains(ffInherited) ? "inherited " : flags.Contains(ffInline) ? "inline " : "object ";
    if (!name.empty()) fOut += name + ": ";
    fOut += className;
    if (flags.Contains(ffChildPos)) fOut += " [" + std::to_string(childPos) + "]";
    fOut += '\n';
    while (!fReader.EndOfList()) WriteProperty(indent + 2);
    fReader.ReadListEnd();
    while (!fReader.EndOfList()) WriteObject(indent + 2);
    fReader.ReadListEnd();
    Indent(indent);
    fOut += "end\n";
    --fDepth;
  }

  void WriteProperty(int indent) {
    Indent(indent);
    fOut += fReader.ReadStr();
    fOut += " = ";
    WriteValue(indent);
    fOut += '\n';
  }

  // A little-endian value of the form, whatever the machine's order.
  template <class T>
  T ReadRaw() {
    using U = std::conditional_t<sizeof(T) == 2, std::uint16_t,
                                 std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>;
    std::uint8_t bytes[sizeof(T)];
    fReader.Read(bytes, sizeof(T));
    U u = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) u = static_cast<U>((u << 8) | bytes[i]);
    T v;
    std::memcpy(&v, &u, sizeof(T));
    return v;
  }

  // `indent` is that of the line the value starts on; nested lines go two further.
  void WriteValue(int indent) {
    switch (fReader.NextValue()) {
      case vaList: {
        fReader.ReadValue();
        Enter();
        fOut += '(';
        while (!fReader.EndOfList()) {
          fOut += '\n';
          Indent(indent + 2);
          WriteValue(indent + 2);
        }
        fReader.ReadListEnd();
        fOut += ')';
        --fDepth;
        return;
      }
      case vaInt8:
      case vaInt16:
      case vaInt32:
      case vaInt64: fOut += std::to_string(fReader.ReadInteger()); return;
      case vaExtended: {
        fReader.ReadValue();
        std::array<std::uint8_t, 10> bytes{};
        fReader.Read(bytes.data(), 10);
        fOut += ExtendedText(DecodeExtended(bytes));
        return;
      }
      case vaSingle:
        fReader.ReadValue();
        fOut += SingleText(ReadRaw<float>()) + "s";
        return;
      case vaCurrency:
        fReader.ReadValue();
        fOut += CurrencyText(ReadRaw<std::int64_t>()) + "c";
        return;
      case vaDate:
        fReader.ReadValue();
        fOut += DoubleText(ReadRaw<double>()) + "d";
        return;
      case vaString:
      case vaLString:
      case vaUTF8String: {
        fChars.clear();
        DecodeUtf8(fReader.ReadString(), fChars);
        WriteString(indent);
        return;
      }
      case vaWString: ReadWideChars(); WriteString(indent); return;
      case vaIdent:
      case vaFalse:
      case vaTrue:
      case vaNil:
      case vaNull: fOut += fReader.ReadIdent(); return;
      case vaBinary: WriteBinary(indent); return;
      case vaSet: {
        fOut += '[';
        const auto names = fReader.ReadSet();
        for (std::size_t i = 0; i < names.size(); ++i) fOut += (i ? ", " : "") + names[i];
        fOut += ']';
        return;
      }
      case vaCollection: WriteCollection(indent); return;
      default: throw EReadError(SInvalidPropertyValue);
    }
  }

  void ReadWideChars() {
    fReader.ReadValue();
    const std::int64_t count = ReadRaw<std::int32_t>();
    if (count < 0 || count * 2 > fInput.Size() - fInput.Position()) throw EReadError(SReadError);
    fChars.clear();
    std::uint32_t high = 0;
    for (std::int64_t i = 0; i < count; ++i) {
      const std::uint32_t unit = ReadRaw<std::uint16_t>();
      if (high && unit >= 0xDC00 && unit <= 0xDFFF) {
        fChars.back() = 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00);
        high = 0;
        continue;
      }
      high = unit >= 0xD800 && unit <= 0xDBFF ? unit : 0;
      fChars.push_back(unit);  // a lone surrogate is written as its #nnn
    }
  }

  // fChars as quoted runs and #nnn; past StringChunk characters, on lines of their own.
  void WriteString(int indent) {
    const bool split = fChars.size() > StringChunk;
    if (split) {
      fOut += '\n';
      Indent(indent + 2);
    }
    if (fChars.empty()) fOut += "''";
    bool quoted = false;
    for (std::size_t i = 0; i < fChars.size(); ++i) {
      if (split && i > 0 && i % StringChunk == 0) {
        if (quoted) fOut += '\'';
        quoted = false;
        fOut += " +\n";
        Indent(indent + 2);
      }
      const std::uint32_t c = fChars[i];
      const bool plain = (c & RawByte) || (c >= ' ' && c < 0x7F && c != '\'');
      if (plain) {
        if (!quoted) fOut += '\'';
        quoted = true;
        fOut += static_cast<char>(c & 0xFF);
      } else {
        if (quoted) fOut += '\'';
        quoted = false;
        fOut += '#';
        fOut += std::to_string(c);
      }
    }
    if (quoted) fOut += '\'';
  }

  void WriteBinary(int indent) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto bytes = fReader.ReadBinary();
    fOut += '{';
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i % BinaryChunk == 0) {
        fOut += '\n';
        Indent(indent + 2);
      }
      fOut += hex[bytes[i] >> 4];
      fOut += hex[bytes[i] & 15];
    }
    fOut += '}';
  }

  void WriteCollection(int indent) {
    fReader.ReadValue();
    Enter();
    fOut += '<';
    while (!fReader.EndOfList()) {
      fOut += '\n';
      Indent(indent + 2);
      fOut += "item";
      const TValueType v = fReader.NextValue();
      if (v >= vaInt8 && v <= vaInt32) fOut += " [" + std::to_string(fReader.ReadInteger()) + "]";
      fOut += '\n';
      fReader.ReadListBegin();
      while (!fReader.EndOfList()) WriteProperty(indent + 4);
      fReader.ReadListEnd();
      Indent(indent + 2);
      fOut += "end";
    }
    fReader.ReadListEnd();
    fOut += '>';
    --fDepth;
  }

  TStream& fInput;
  TReader fReader;
  String fOut;
  std::vector<std::uint32_t> fChars;
  int fDepth = 0;
};

// ---------------------------------------------------------------------------------------------
// Text to binary

// Whether the published property at path ("Font.Name") of cls is a wide string. The text
// does not tell a wide string from a narrow one; the class does, so that a form written by
// TWriter comes back byte for byte.
bool IsWideStringProperty(TClass cls, std::string_view path) {
  while (cls) {
    const std::size_t dot = path.find('.');
    const TPropInfo* prop = GetPropInfo(cls, path.substr(0, dot));
    if (!prop) return false;
    if (dot == std::string_view::npos) return prop->PropType->Kind == tkWString;
    if (prop->PropType->Kind != tkClass || prop->PropType->IsComponentReference) return false;
    cls = prop->PropType->ClassType;
    path.remove_prefix(dot + 1);
  }
  return false;
}

class TextToBinaryConverter {
public:
  TextToBinaryConverter(TParser& parser, TStream& output) : fParser(parser), fWriter(output) {}

  void Convert() {
    fWriter.WriteSignature();
    ConvertObject(true);
  }

private:
  void Enter() {
    if (++fDepth > MaxFormNesting) fParser.Error(SParNestingTooDeep);
  }
  bool AtObject() const {
    return fParser.TokenSymbolIs("object") || fParser.TokenSymbolIs("inherited") || fParser.TokenSymbolIs("inline");
  }
  void WriteShortString(const String& s) {
    if (s.size() > 255) fParser.Error(SParIdentifierTooLong);
    fWriter.WriteStr(s);
  }
  String Identifier() {
    fParser.CheckToken(toSymbol);
    if (fParser.TokenString().size() > 255) fParser.Error(SParIdentifierTooLong);
    String s = fParser.TokenString();
    fParser.NextToken();
    return s;
  }
  // "[n]" after a header, as an int.
  std::int64_t Index() {
    fParser.NextToken();
    fParser.CheckToken(toInteger);
    const std::int64_t n = fParser.TokenInt();
    if (!FitsInt(n)) fParser.Error(SParNumberTooLarge);
    fParser.NextToken();
    fParser.CheckToken(']');
    fParser.NextToken();
    return n;
  }

  void ConvertObject(bool root) {
    Enter();
    TFilerFlags flags;
    if (fParser.TokenSymbolIs("inherited"))
      flags.Include(ffInherited);
    else if (fParser.TokenSymbolIs("inline"))
      flags.Include(ffInline);
    else
      fParser.CheckTokenSymbol("object");
    fParser.NextToken();
    String name = Identifier();
    String className;
    if (fParser.Token() == ':') {
      fParser.NextToken();
      className = Identifier();
    } else {
      className = std::move(name);
      name.clear();
    }
    std::int64_t childPos = 0;
    if (fParser.Token() == '[') {
      childPos = Index();
      flags.Include(ffChildPos);
    }
    fWriter.WritePrefix(flags, static_cast<int>(childPos));
    WriteShortString(className);
    WriteShortString(name);
    const TClass cls = GetClass(className);
    while (!fParser.TokenSymbolIs("end") && !AtObject()) ConvertProperty(cls);
    fWriter.WriteListEnd();
    while (!fParser.TokenSymbolIs("end")) ConvertObject(false);
    fWriter.WriteListEnd();
    if (!root) fParser.NextToken();  // the root's "end" stays current: the form ends there
    --fDepth;
  }

  void ConvertProperty(TClass cls) {
    String name = Identifier();
    while (fParser.Token() == '.') {
      fParser.NextToken();
      name += "." + Identifier();
    }
    WriteShortString(name);
    fParser.CheckToken('=');
    fParser.NextToken();
    ConvertValue(IsWideStringProperty(cls, name));
  }

  void ConvertValue(bool wide) {
    switch (fParser.Token()) {
      case toString:
      case toWString: {
        String s = fParser.TokenString();
        while (fParser.NextToken() == '+') {
          fParser.NextToken();
          fParser.CheckToken(toString);
          s += fParser.TokenString();
        }
        if (wide)
          fWriter.WriteWideString(UTF8Decode(s));
        else
          fWriter.WriteString(s);
        return;
      }
      case toInteger:
        fWriter.WriteInteger(fParser.TokenInt());
        fParser.NextToken();
        return;
      case toFloat:
        ConvertFloat();
        fParser.NextToken();
        return;
      case toSymbol:
        if (!ConvertNonFinite(false)) {
          String ident = Identifier();  // a reference may name its owner: "Form2.Button1"
          while (fParser.Token() == '.') {
            fParser.NextToken();
            ident += "." + Identifier();
            if (ident.size() > 255) fParser.Error(SParIdentifierTooLong);
          }
          fWriter.WriteIdent(ident);
        }
        return;
      case '-':
        fParser.NextToken();
        if (fParser.Token() != toSymbol || !ConvertNonFinite(true)) fParser.Error(SInvalidPropertyValue);
        return;
      case '[': ConvertSet(); return;
      case '(': {
        Enter();
        fWriter.WriteListBegin();
        fParser.NextToken();
        while (fParser.Token() != ')') {
          // The binary form ends a list with the same byte as Null: one inside would end it early.
          if (fParser.TokenSymbolIs("Null")) fParser.Error(SInvalidPropertyValue);
          ConvertValue(false);
        }
        fWriter.WriteListEnd();
        fParser.NextToken();
        --fDepth;
        return;
      }
      case '{': {
        TMemoryStream bytes;
        fParser.HexToBinary(bytes);
        fWriter.WriteBinary(bytes.Memory().data(), bytes.Size());
        fParser.NextToken();
        return;
      }
      case '<': ConvertCollection(); return;
      default: fParser.Error(SInvalidPropertyValue);
    }
  }

  void ConvertFloat() {
    const String& text = fParser.TokenString();
    switch (fParser.FloatType()) {
      case 'c': fWriter.WriteCurrency(Currency::FromScaled(TokenCurrency())); return;
      case 's': {
        const float v = ParseSingle(text);
        if (std::isinf(v)) fParser.Error(SParNumberTooLarge);
        fWriter.WriteSingle(v);
        return;
      }
      case 'd': {
        const double v = ParseDouble(text);
        if (std::isinf(v)) fParser.Error(SParNumberTooLarge);
        fWriter.WriteDate(TDateTime(v));
        return;
      }
      default: {
        const long double v = ReadExtendedText(text);
        if (std::isinf(v)) fParser.Error(SParNumberTooLarge);
        fWriter.WriteFloat(v);
      }
    }
  }

  // Exact decimal scaling (no detour through a binary float); past four decimals, the
  // nearest amount, ties to even, as the host's FPU rounds.
  std::int64_t TokenCurrency() {
    const String& t = fParser.TokenString();
    if (t.find_first_of("eE") != String::npos) {
      const long double scaled = fParser.TokenFloat() * Currency::Scale;
      if (!(std::fabs(scaled) < 9.2233720368547758e18L)) fParser.Error(SParNumberTooLarge);
      return std::llrint(scaled);
    }
    const bool negative = t[0] == '-';
    std::size_t i = negative ? 1 : 0;
    std::uint64_t v = 0;
    int decimals = -1;
    int roundDigit = -1;
    bool sticky = false;
    for (; i < t.size(); ++i) {
      if (t[i] == '.') {
        decimals = 0;
        continue;
      }
      const auto d = static_cast<unsigned>(t[i] - '0');
      if (decimals >= 4) {
        if (roundDigit < 0)
          roundDigit = static_cast<int>(d);
        else
          sticky = sticky || d != 0;
        continue;
      }
      if (__builtin_mul_overflow(v, 10u, &v) || __builtin_add_overflow(v, d, &v)) fParser.Error(SParNumberTooLarge);
      if (decimals >= 0) ++decimals;
    }
    for (int k = std::max(decimals, 0); k < 4; ++k)
      if (__builtin_mul_overflow(v, 10u, &v)) fParser.Error(SParNumberTooLarge);
    if (roundDigit > 5 || (roundDigit == 5 && (sticky || (v & 1)))) ++v;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    if (v > limit) fParser.Error(SParNumberTooLarge);
    return negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
  }

  // INF, NAN and their s/d forms: what the binary-to-text side writes for values the host's
  // text cannot hold. Leaves the parser after the word when it was one.
  bool ConvertNonFinite(bool negative) {
    const String& w = fParser.TokenString();
    const bool inf = w.rfind("INF", 0) == 0;
    if (!inf && w.rfind("NAN", 0) != 0) return false;
    const String suffix = w.substr(3);
    if (!suffix.empty() && suffix != "s" && suffix != "d") return false;
    long double v = inf ? HUGE_VALL : std::numeric_limits<long double>::quiet_NaN();
    if (negative) v = -v;
    if (suffix == "s")
      fWriter.WriteSingle(static_cast<float>(v));
    else if (suffix == "d")
      fWriter.WriteDate(TDateTime(static_cast<double>(v)));
    else
      fWriter.WriteFloat(v);
    fParser.NextToken();
    return true;
  }

  void ConvertSet() {
    std::vector<String> names;
    fParser.NextToken();
    if (fParser.Token() != ']') {
      for (;;) {
        fParser.CheckToken(toSymbol);
        if (fParser.TokenString().size() > 255) fParser.Error(SParIdentifierTooLong);
        names.push_back(fParser.TokenString());
        fParser.NextToken();
        if (fParser.Token() == ']') break;
        fParser.CheckToken(',');
        fParser.NextToken();
      }
    }
    fParser.NextToken();
    fWriter.WriteSet(names);
  }

  void ConvertCollection() {
    Enter();
    fWriter.WriteValue(vaCollection);
    fParser.NextToken();
    while (fParser.Token() != '>') {
      fParser.CheckTokenSymbol("item");
      fParser.NextToken();
      if (fParser.Token() == '[') fWriter.WriteInteger(Index());
      fWriter.WriteListBegin();
      while (!fParser.TokenSymbolIs("end")) ConvertProperty(nullptr);
      fWriter.WriteListEnd();
      fParser.NextToken();
    }
    fWriter.WriteListEnd();
    fParser.NextToken();
    --fDepth;
  }

  TParser& fParser;
  TWriter fWriter;
  int fDepth = 0;
};

String BinaryToTextString(TStream& input) { return BinaryToTextConverter(input).Convert(); }

void WriteAll(TStream& output, std::span<const std::uint8_t> bytes) {
  if (!bytes.empty()) output.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

long double StreamedDouble(double value) {
  if (!std::isfinite(value)) return value;
  const long double x = ReadExtendedText(DoubleText(value));
  // DoubleText reads back as the double, so x rounds to it; the check guards the invariant.
  return static_cast<double>(x) == value ? x : static_cast<long double>(value);
}

void ObjectBinaryToText(TStream& input, TStream& output) {
  const String text = BinaryToTextString(input);
  output.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void ObjectTextToBinary(TStream& input, TStream& output) {
  TMemoryStream buffer;
  {
    TParser parser(input);
    TextToBinaryConverter(parser, buffer).Convert();
  }
  WriteAll(output, buffer.Memory());
}

// ---------------------------------------------------------------------------------------------
// Conveniences

String ComponentToText(TComponent* root) {
  TMemoryStream binary;
  TWriter writer(binary);
  writer.WriteRootComponent(root);
  binary.SetPosition(0);
  return BinaryToTextString(binary);
}

TComponent* TextToComponent(std::string_view text, TComponent* root) {
  TMemoryStream input;
  if (!text.empty()) input.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  input.SetPosition(0);
  TMemoryStream binary;
  ObjectTextToBinary(input, binary);
  binary.SetPosition(0);
  TReader reader(binary);
  return reader.ReadRootComponent(root);
}

std::vector<std::uint8_t> ComponentToBinary(TComponent* root) {
  TMemoryStream binary;
  TWriter writer(binary);
  writer.WriteRootComponent(root);
  const auto bytes = binary.Memory();
  return {bytes.begin(), bytes.end()};
}

TComponent* BinaryToComponent(std::span<const std::uint8_t> data, TComponent* root) {
  TMemoryStream binary;
  WriteAll(binary, data);
  binary.SetPosition(0);
  TReader reader(binary);
  return reader.ReadRootComponent(root);
}

}  // namespace zv
