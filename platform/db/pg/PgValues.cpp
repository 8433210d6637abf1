// The server's types as field types, and the text form of every value in both directions.

#include "platform/db/pg/detail/PgValues.h"

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/SqlTimeStamp.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zv::pg {

namespace {

// The type oids of the server's catalogue (pg_type.h); stable across releases.
enum : TOid {
  OidBool = 16, OidBytea = 17, OidChar = 18, OidName = 19, OidInt8 = 20, OidInt2 = 21, OidInt4 = 23,
  OidText = 25, OidOid = 26, OidJson = 114, OidXml = 142, OidFloat4 = 700, OidFloat8 = 701, OidMoney = 790,
  OidBpchar = 1042, OidVarchar = 1043, OidDate = 1082, OidTime = 1083, OidTimestamp = 1114,
  OidTimestampTz = 1184, OidInterval = 1186, OidNumeric = 1700, OidUuid = 2950, OidJsonb = 3802
};

TFormatSettings Invariant() {
  TFormatSettings fs;
  fs.DecimalSeparator = '.';
  fs.ThousandSeparator = ',';
  return fs;
}

bool Digits(std::string_view text, std::size_t& pos, int count, int& value) {
  value = 0;
  for (int i = 0; i < count; ++i, ++pos) {
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
    value = value * 10 + (text[pos] - '0');
  }
  return true;
}

// "YYYY-MM-DD" (a longer year is not a TDateTime).
bool ParseDate(std::string_view text, std::size_t& pos, int& y, int& m, int& d) {
  return Digits(text, pos, 4, y) && pos < text.size() && text[pos++] == '-' && Digits(text, pos, 2, m) &&
         pos < text.size() && text[pos++] == '-' && Digits(text, pos, 2, d);
}

// "HH:MM:SS[.ffffff]": the fraction as milliseconds (the rest of the microseconds cut).
bool ParseTime(std::string_view text, std::size_t& pos, int& h, int& n, int& s, int& ms) {
  if (!(Digits(text, pos, 2, h) && pos < text.size() && text[pos++] == ':' && Digits(text, pos, 2, n) &&
        pos < text.size() && text[pos++] == ':' && Digits(text, pos, 2, s)))
    return false;
  ms = 0;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    int scale = 100;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      ms += (text[pos++] - '0') * scale;
      scale /= 10;
    }
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

String DateText(int y, int m, int d) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

String TimeText(int h, int n, int s, int ms) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", h, n, s, ms);
  return buf;
}

String DoubleText(double v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v > 0 ? "Infinity" : "-Infinity";
  char buf[32];
  const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  return String(buf, end);
}

}  // namespace

TPgType PgTypeOf(TOid type, int modifier) {
  switch (type) {
    case OidBool: return {ftBoolean};
    case OidInt2: return {ftSmallint};
    case OidInt4: return {ftInteger};
    case OidInt8: return {ftLargeint};
    case OidOid: return {ftLargeint};
    case OidFloat4:
    case OidFloat8: return {ftFloat};
    case OidMoney: return {ftCurrency, 0, 0, true};
    case OidNumeric: {
      // numeric(p, s) keeps ((p << 16) | s) + 4; an unconstrained numeric keeps any places.
      if (modifier < 4) return {ftFMTBcd, TBcd::MaxPlaces, 0};
      const int precision = ((modifier - 4) >> 16) & 0xFFFF;
      const int scale = (modifier - 4) & 0xFFFF;
      return {ftFMTBcd, std::min(scale, static_cast<int>(TBcd::MaxPlaces)), precision};
    }
    case OidVarchar:
    case OidBpchar: return {type == OidBpchar ? ftFixedChar : ftString, modifier > 4 ? modifier - 4 : 0};
    case OidText:
    case OidName:
    case OidChar: return {ftString, type == OidName ? 63 : type == OidChar ? 1 : 0};
    case OidDate: return {ftDate};
    case OidTime: return {ftTime};
    case OidTimestamp:
    case OidTimestampTz: return {ftTimeStamp};
    case OidBytea: return {ftBlob};
    // A uuid as the server writes it (lower case, no braces), not as a GUID field shows one.
    case OidUuid: return {ftString, 36, 0, false, true, true};
    case OidJsonb:
    case OidInterval: return {ftString, 0, 0, false, true, true};
    // json, xml, arrays, ranges, addresses, enumerations, domains, ...: the server's text, as a
    // text column reads (a memo would show "(MEMO)" in every row, never the value). json and xml
    // have no order; another type's is not known.
    default: return {ftString, 0, 0, false, false, true};
  }
}

String PgReadExpression(const String& quotedColumn, const TPgType& type) {
  return type.Money ? quotedColumn + "::numeric" : quotedColumn;
}

Variant PgTextToValue(std::string_view text, TFieldType type) {
  switch (type) {
    case ftBoolean:
      return Variant(text == "t" || text == "true");
    case ftSmallint:
    case ftInteger:
      return Variant(static_cast<int>(StrToInt64(text)));
    case ftLargeint:
      return Variant(StrToInt64(text));
    case ftFloat: {
      if (text == "NaN") return Variant(std::nan(""));
      if (text == "Infinity") return Variant(HUGE_VAL);
      if (text == "-Infinity") return Variant(-HUGE_VAL);
      double v = 0;
      std::from_chars(text.data(), text.data() + text.size(), v);
      return Variant(v);
    }
    case ftCurrency:
    case ftFMTBcd: {
      TBcd bcd;
      if (!TryStrToBcd(text, bcd, Invariant())) return Variant(String(text));  // NaN, or past 64 digits
      if (type == ftCurrency) {
        Currency c;
        if (BCDToCurr(bcd, c)) return Variant(c);
      }
      return VarFMTBcdCreate(bcd);
    }
    case ftDate: {
      std::size_t pos = 0;
      int y, m, d;
      TDateTime date;
      if (ParseDate(text, pos, y, m, d) && pos == text.size() && TryEncodeDate(y, m, d, date)) return Variant(date);
      return Variant::Null();  // infinity, BC and five-digit years have no TDateTime
    }
    case ftTime: {
      std::size_t pos = 0;
      int h, n, s, ms;
      TDateTime time;
      if (ParseTime(text, pos, h, n, s, ms) && TryEncodeTime(h == 24 ? 0 : h, n, s, ms, time)) return Variant(time);
      return Variant::Null();
    }
    case ftTimeStamp: {
      std::size_t pos = 0;
      int y, m, d, h = 0, n = 0, s = 0, ms = 0;
      if (!ParseDate(text, pos, y, m, d)) return Variant::Null();
      if (pos < text.size() && text[pos] == ' ' && !ParseTime(text, ++pos, h, n, s, ms)) return Variant::Null();
      TSQLTimeStamp stamp;
      stamp.Year = static_cast<std::int16_t>(y);
      stamp.Month = static_cast<std::uint16_t>(m);
      stamp.Day = static_cast<std::uint16_t>(d);
      stamp.Hour = static_cast<std::uint16_t>(h);
      stamp.Minute = static_cast<std::uint16_t>(n);
      stamp.Second = static_cast<std::uint16_t>(s);
      stamp.Fractions = static_cast<std::uint32_t>(ms);
      return VarSQLTimeStampCreate(stamp);
    }
    case ftBlob: {
      std::vector<std::uint8_t> bytes;
      if (text.starts_with("\\x")) {
        bytes.reserve((text.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < text.size(); i += 2)
          bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1])));
      }
      return VarArrayOfBytes(bytes);
    }
    default:
      return Variant(String(text));
  }
}

TPgParam PgValueToText(const Variant& value, TFieldType type) {
  if (value.IsNull() || value.IsEmpty()) return std::nullopt;
  const TVarType vt = VarType(value);
  if (value.IsArray()) {
    static const char hex[] = "0123456789abcdef";
    String out = "\\x";
    for (const std::uint8_t b : value.Bytes()) {
      out += hex[b >> 4];
      out += hex[b & 15];
    }
    return out;
  }
  switch (type) {
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      if (vt == varString) return value.AsString();  // the server reads its own forms
      const TSQLTimeStamp st = vt == varSQLTimeStamp ? value.AsSQLTimeStamp() : DateTimeToSQLTimeStamp(value.AsDateTime());
      const String date = DateText(st.Year, st.Month, st.Day);
      const String time = TimeText(st.Hour, st.Minute, st.Second, static_cast<int>(st.Fractions));
      if (type == ftDate) return date;
      if (type == ftTime) return time;
      return date + " " + time;
    }
    case ftGuid: {
      String text = value.AsString();
      if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
      return text;
    }
    case ftBoolean:
      if (vt == varString) return value.AsString();
      return String(value.AsBoolean() ? "true" : "false");
    default:
      break;
  }
  if (vt == varFMTBcd) return BcdToStr(value.AsBcd(), Invariant());
  if (vt == varCurrency) return BcdToStr(CurrencyToBcd(value.AsCurrency()), Invariant());
  if (vt == varDouble || vt == varSingle) return DoubleText(value.AsDouble());
  if (vt == varBoolean) return String(value.AsBoolean() ? "true" : "false");
  if (vt == varDate) return DoubleText(value.AsDouble());
  return value.AsString();
}

}  // namespace zv::pg
