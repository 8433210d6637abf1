#include "platform/rtl/Variant.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

#include "platform/rtl/Consts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

// Sections: type codes and names; conversions (integers, floats, currency, booleans, text,
// dates, BCD, time stamps, VarAsType); arrays; comparison.

namespace zv {

bool NullStrictConvert = true;
String NullAsStringValue;

namespace {

// Type code of each Storage alternative, in declaration order; the array alternative's code
// comes from its element type.
constexpr TVarType kCodes[] = {varEmpty,   varNull,     varSmallint, varInteger, varSingle,
                               varDouble,  varCurrency, varDate,     varOleStr,  varBoolean,
                               varShortInt, varByte,    varWord,     varLongWord, varInt64,
                               varUInt64,  varString,   varFMTBcd,   varSQLTimeStamp};

bool IsText(TVarType t) { return t == varString || t == varOleStr; }

bool IsIntegral(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varShortInt: case varByte: case varWord:
    case varLongWord: case varInt64: case varUInt64:
      return true;
    default:
      return false;
  }
}

// Codes an array may hold, as the host allows them.
bool IsArrayElementType(TVarType t) {
  switch (t) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency:
    case varDate: case varOleStr: case varBoolean: case varVariant: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64: case varUInt64:
    case varFMTBcd: case varSQLTimeStamp:
      return true;
    default:
      return false;
  }
}

constexpr double kTwo63 = 9223372036854775808.0;
// The Currency range in units, for integer sources.
constexpr std::int64_t kMaxCurrencyUnits = std::numeric_limits<std::int64_t>::max() / Currency::Scale;

// Nearest integer, ties to even (the default rounding mode), as the host converts floats.
bool RoundToInt64(double v, std::int64_t& result) {
  const double r = std::nearbyint(v);
  if (!(r >= -kTwo63 && r < kTwo63)) return false;  // also rejects NaN
  result = static_cast<std::int64_t>(r);
  return true;
}

std::int64_t RoundCurrency(Currency c) {
  std::int64_t q = c.Value / Currency::Scale;
  const std::int64_t rem = c.Value % Currency::Scale;
  const std::int64_t twice = 2 * (rem < 0 ? -rem : rem);
  if (twice > Currency::Scale || (twice == Currency::Scale && q % 2 != 0)) q += rem < 0 ? -1 : 1;
  return q;
}

}  // namespace

// ---- type codes and names ----------------------------------------------------------------

Variant Variant::Null() {
  Variant v;
  v.fValue = NullValue{};
  return v;
}

TVarType Variant::VarType() const {
  if (const auto* a = std::get_if<ArrayValue>(&fValue)) return varArray | a->ElementType;
  return kCodes[fValue.index()];
}

TVarType VarType(const Variant& value) { return value.VarType(); }

String VarTypeAsText(TVarType varType) {
  if (varType & varArray) return "Array " + VarTypeAsText(varType & varTypeMask);
  switch (varType) {
    case varEmpty: return "Empty";
    case varNull: return "Null";
    case varSmallint: return "Smallint";
    case varInteger: return "Integer";
    case varSingle: return "Single";
    case varDouble: return "Double";
    case varCurrency: return "Currency";
    case varDate: return "Date";
    case varOleStr: return "OleStr";
    case varBoolean: return "Boolean";
    case varVariant: return "Variant";
    case varShortInt: return "ShortInt";
    case varByte: return "Byte";
    case varWord: return "Word";
    case varLongWord: return "LongWord";
    case varInt64: return "Int64";
    case varUInt64: return "UInt64";
    case varString: return "String";
    case varFMTBcd: return "FMTBcd";
    case varSQLTimeStamp: return "SQLTimeStamp";
    default: return "$" + IntToHex(static_cast<int>(varType), 4);
  }
}

void Variant::CastError(TVarType target) const {
  throw EVariantTypeCastError(
      Format(SVarTypeCouldNotConvert, {VarTypeAsText(VarType()), VarTypeAsText(target)}));
}

void Variant::OverflowError(TVarType target) const {
  throw EVariantOverflowError(
      Format(SVarTypeConvertOverflow, {VarTypeAsText(VarType()), VarTypeAsText(target)}));
}

bool Variant::ReadsAsEmpty(TVarType target) const {
  if (IsEmpty()) return true;
  if (!IsNull()) return false;
  if (NullStrictConvert) CastError(target);
  return true;
}

// ---- conversions ---------------------------------------------------------------------------

std::int64_t Variant::IntegerIn(TVarType target, std::int64_t lo, std::int64_t hi) const {
  if (ReadsAsEmpty(target)) return 0;
  std::int64_t r = 0;
  const auto fromFloat = [&](double v) {
    if (!RoundToInt64(v, r)) OverflowError(target);
  };
  const auto fromText = [&](const String& text) {
    double d = 0;
    if (TryStrToInt64(text, r)) return;
    if (TryStrToFloat(text, d)) return fromFloat(d);
    r = StrToInt64(text);  // raises the parser's own error
  };
  switch (VarType()) {
    case varBoolean: r = std::get<bool>(fValue) ? -1 : 0; break;
    case varSmallint: r = std::get<std::int16_t>(fValue); break;
    case varInteger: r = std::get<std::int32_t>(fValue); break;
    case varShortInt: r = std::get<std::int8_t>(fValue); break;
    case varByte: r = std::get<std::uint8_t>(fValue); break;
    case varWord: r = std::get<std::uint16_t>(fValue); break;
    case varLongWord: r = std::get<std::uint32_t>(fValue); break;
    case varInt64: r = std::get<std::int64_t>(fValue); break;
    case varUInt64: {
      const std::uint64_t u = std::get<std::uint64_t>(fValue);
      if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        OverflowError(target);
      r = static_cast<std::int64_t>(u);
      break;
    }
    case varSingle: fromFloat(std::get<float>(fValue)); break;
    case varDouble: fromFloat(std::get<double>(fValue)); break;
    case varDate: fromFloat(std::get<TDateTime>(fValue).Value); break;
    case varCurrency: r = RoundCurrency(std::get<Currency>(fValue)); break;
    case varString: fromText(std::get<String>(fValue)); break;
    case varOleStr: fromText(UTF8Encode(std::get<WideString>(fValue))); break;
    case varFMTBcd:
      try {
        r = BcdToInt64(std::get<TBcd>(fValue), true);
      } catch (const EBcdOverflowException&) {
        OverflowError(target);
      }
      break;
    case varSQLTimeStamp:
      fromFloat(SQLTimeStampToDateTime(std::get<TSQLTimeStamp>(fValue)).Value);
      break;
    default: CastError(target);
  }
  if (r < lo || r > hi) OverflowError(target);
  return r;
}

std::uint64_t Variant::UnsignedValue() const {
  constexpr double kTwo64 = 18446744073709551616.0;
  const auto fromDigits = [](std::string_view text, std::uint64_t& r) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    r = 0;
    for (char c : text) {
      if (c < '0' || c > '9' || __builtin_mul_overflow(r, std::uint64_t{10}, &r) ||
          __builtin_add_overflow(r, static_cast<std::uint64_t>(c - '0'), &r))
        return false;
    }
    return true;
  };
  std::uint64_t r = 0;
  switch (VarType()) {
    case varUInt64: return std::get<std::uint64_t>(fValue);
    case varString: if (fromDigits(std::get<String>(fValue), r)) return r; break;
    case varOleStr: if (fromDigits(UTF8Encode(std::get<WideString>(fValue)), r)) return r; break;
    case varSingle: case varDouble: {
      const double d = std::nearbyint(FloatValue(varUInt64));
      if (!(d >= 0 && d < kTwo64)) OverflowError(varUInt64);
      return static_cast<std::uint64_t>(d);
    }
    default: break;
  }
  return static_cast<std::uint64_t>(
      IntegerIn(varUInt64, 0, std::numeric_limits<std::int64_t>::max()));
}

double Variant::FloatValue(TVarType target) const {
  if (ReadsAsEmpty(target)) return 0;
  switch (VarType()) {
    case varBoolean: return std::get<bool>(fValue) ? -1 : 0;
    case varSmallint: return std::get<std::int16_t>(fValue);
    case varInteger: return std::get<std::int32_t>(fValue);
    case varShortInt: return std::get<std::int8_t>(fValue);
    case varByte: return std::get<std::uint8_t>(fValue);
    case varWord: return std::get<std::uint16_t>(fValue);
    case varLongWord: return std::get<std::uint32_t>(fValue);
    case varInt64: return static_cast<double>(std::get<std::int64_t>(fValue));
    case varUInt64: return static_cast<double>(std::get<std::uint64_t>(fValue));
    case varSingle: return std::get<float>(fValue);
    case varDouble: return std::get<double>(fValue);
    case varDate: return std::get<TDateTime>(fValue).Value;
    case varCurrency: return std::get<Currency>(fValue).ToDouble();
    case varString: return StrToFloat(std::get<String>(fValue));
    case varOleStr: return StrToFloat(UTF8Encode(std::get<WideString>(fValue)));
    case varFMTBcd: return BcdToDouble(std::get<TBcd>(fValue));
    case varSQLTimeStamp: return SQLTimeStampToDateTime(std::get<TSQLTimeStamp>(fValue)).Value;
    default: CastError(target);
  }
}

int Variant::AsInteger() const {
  return static_cast<int>(IntegerIn(varInteger, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()));
}

std::int64_t Variant::AsInt64() const {
  return IntegerIn(varInt64, std::numeric_limits<std::int64_t>::min(),
                   std::numeric_limits<std::int64_t>::max());
}

double Variant::AsDouble() const { return FloatValue(varDouble); }

Currency Variant::AsCurrency() const {
  if (ReadsAsEmpty(varCurrency)) return Currency();
  const TVarType t = VarType();
  if (t == varCurrency) return std::get<Currency>(fValue);
  if (t == varString) return StrToCurr(std::get<String>(fValue));
  if (t == varOleStr) return StrToCurr(UTF8Encode(std::get<WideString>(fValue)));
  if (t == varFMTBcd) {
    Currency c;
    if (!BCDToCurr(std::get<TBcd>(fValue), c)) OverflowError(varCurrency);
    return c;
  }
  if (IsIntegral(t) || t == varBoolean) {
    const std::int64_t v = IntegerIn(varCurrency, -kMaxCurrencyUnits, kMaxCurrencyUnits);
    return Currency::FromScaled(v * Currency::Scale);
  }
  const double d = FloatValue(varCurrency);
  try {
    return Currency::FromDouble(d);
  } catch (const EMathError&) {
    OverflowError(varCurrency);
  }
}

bool Variant::AsBoolean() const {
  if (ReadsAsEmpty(varBoolean)) return false;
  switch (const TVarType t = VarType()) {
    case varBoolean: return std::get<bool>(fValue);
    case varString: return StrToBool(std::get<String>(fValue));
    case varOleStr: return StrToBool(UTF8Encode(std::get<WideString>(fValue)));
    case varCurrency: return std::get<Currency>(fValue).Value != 0;
    case varFMTBcd: return BcdCompare(std::get<TBcd>(fValue), NullBcd) != 0;
    case varSingle: case varDouble: case varDate: return FloatValue(varBoolean) != 0;
    default:
      if (IsIntegral(t)) {
        if (t == varUInt64) return std::get<std::uint64_t>(fValue) != 0;
        return IntegerIn(varBoolean, std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::int64_t>::max()) != 0;
      }
      CastError(varBoolean);
  }
}

String Variant::AsString() const {
  if (IsNull()) {
    if (NullStrictConvert) CastError(varString);
    return NullAsStringValue;
  }
  switch (const TVarType t = VarType()) {
    case varEmpty: return String();
    case varBoolean: return BoolToStr(std::get<bool>(fValue), true);
    case varUInt64: return UIntToStr(std::get<std::uint64_t>(fValue));
    // A Single shows the digits a Single holds, not those of its widening to double.
    case varSingle: return FloatToStrF(std::get<float>(fValue), ffGeneral, 7, 0);
    case varDouble: return FloatToStr(std::get<double>(fValue));
    case varCurrency: return CurrToStr(std::get<Currency>(fValue));
    case varDate: return DateTimeToStr(std::get<TDateTime>(fValue));
    case varString: return std::get<String>(fValue);
    case varOleStr: return UTF8Encode(std::get<WideString>(fValue));
    case varFMTBcd: return BcdToStr(std::get<TBcd>(fValue));
    case varSQLTimeStamp: return SQLTimeStampToStr("", std::get<TSQLTimeStamp>(fValue));
    default:
      if (IsIntegral(t)) return IntToStr(AsInt64());
      CastError(varString);
  }
}

WideString Variant::AsWideString() const {
  if (const auto* w = std::get_if<WideString>(&fValue)) return *w;
  if (IsNull()) {
    if (NullStrictConvert) CastError(varOleStr);
    return UTF8Decode(NullAsStringValue);
  }
  if (IsArray()) CastError(varOleStr);
  return UTF8Decode(AsString());
}

TDateTime Variant::AsDateTime() const {
  if (ReadsAsEmpty(varDate)) return TDateTime();
  switch (VarType()) {
    case varDate: return std::get<TDateTime>(fValue);
    case varString: return StrToDateTime(std::get<String>(fValue));
    case varOleStr: return StrToDateTime(UTF8Encode(std::get<WideString>(fValue)));
    case varSQLTimeStamp: return SQLTimeStampToDateTime(std::get<TSQLTimeStamp>(fValue));
    default: return FloatValue(varDate);
  }
}

TBcd Variant::AsBcd() const {
  if (ReadsAsEmpty(varFMTBcd)) return IntegerToBcd(0);
  switch (const TVarType t = VarType()) {
    case varFMTBcd: return std::get<TBcd>(fValue);
    case varCurrency: return CurrencyToBcd(std::get<Currency>(fValue));
    case varString: return StrToBcd(std::get<String>(fValue));
    case varOleStr: return StrToBcd(UTF8Encode(std::get<WideString>(fValue)));
    case varBoolean: return IntegerToBcd(std::get<bool>(fValue) ? -1 : 0);
    case varUInt64: return StrToBcd(UIntToStr(std::get<std::uint64_t>(fValue)));
    case varSingle: return StrToBcd(AsString());  // the digits a Single holds
    case varDouble: case varDate: return DoubleToBcd(FloatValue(varFMTBcd));
    default:
      if (IsIntegral(t)) return IntegerToBcd(AsInt64());
      CastError(varFMTBcd);
  }
}

TSQLTimeStamp Variant::AsSQLTimeStamp() const {
  if (ReadsAsEmpty(varSQLTimeStamp)) return NullSQLTimeStamp;
  switch (const TVarType t = VarType()) {
    case varSQLTimeStamp: return std::get<TSQLTimeStamp>(fValue);
    case varString: return StrToSQLTimeStamp(std::get<String>(fValue));
    case varOleStr: return StrToSQLTimeStamp(UTF8Encode(std::get<WideString>(fValue)));
    case varDate: case varSingle: case varDouble: case varCurrency: case varFMTBcd:
      return DateTimeToSQLTimeStamp(AsDateTime());
    default:
      if (IsIntegral(t)) return DateTimeToSQLTimeStamp(AsDateTime());
      CastError(varSQLTimeStamp);
  }
}

Variant VarAsType(const Variant& value, TVarType varType) {
  using L = std::numeric_limits<std::int64_t>;
  if (varType & varArray) {
    if (value.VarType() == varType) return value;
    value.CastError(varType);
  }
  switch (varType) {
    case varEmpty: return Variant();
    case varNull: return Variant::Null();
    case varVariant: return value;
    case varSmallint: return static_cast<std::int16_t>(value.IntegerIn(varType, INT16_MIN, INT16_MAX));
    case varInteger: return static_cast<std::int32_t>(value.IntegerIn(varType, INT32_MIN, INT32_MAX));
    case varShortInt: return static_cast<std::int8_t>(value.IntegerIn(varType, INT8_MIN, INT8_MAX));
    case varByte: return static_cast<std::uint8_t>(value.IntegerIn(varType, 0, UINT8_MAX));
    case varWord: return static_cast<std::uint16_t>(value.IntegerIn(varType, 0, UINT16_MAX));
    case varLongWord: return static_cast<std::uint32_t>(value.IntegerIn(varType, 0, UINT32_MAX));
    case varInt64: return value.IntegerIn(varType, L::min(), L::max());
    case varUInt64: return value.UnsignedValue();
    case varSingle: {
      const double d = value.FloatValue(varType);
      if (std::isfinite(d) && std::fabs(d) > FLT_MAX) value.OverflowError(varType);
      return static_cast<float>(d);
    }
    case varDouble: return value.FloatValue(varType);
    case varCurrency: return value.AsCurrency();
    case varDate: return value.AsDateTime();
    case varOleStr: return value.AsWideString();
    case varString: return value.AsString();
    case varBoolean: return value.AsBoolean();
    case varFMTBcd: return value.AsBcd();
    case varSQLTimeStamp: return value.AsSQLTimeStamp();
    default: throw EVariantTypeCastError(SInvalidVarCast);
  }
}

String VarToStr(const Variant& value) {
  return value.IsNull() ? NullAsStringValue : value.AsString();
}

WideString VarToWideStr(const Variant& value) {
  return value.IsNull() ? UTF8Decode(NullAsStringValue) : value.AsWideString();
}

TDateTime VarToDateTime(const Variant& value) { return value.AsDateTime(); }

bool VarIsNull(const Variant& value) { return value.IsNull(); }
bool VarIsEmpty(const Variant& value) { return value.IsEmpty(); }
bool VarIsClear(const Variant& value) { return value.IsEmpty(); }
bool VarIsArray(const Variant& value) { return value.IsArray(); }

bool VarIsOrdinal(const Variant& value) {
  const TVarType t = value.VarType();
  return IsIntegral(t) || t == varBoolean;
}

bool VarIsFloat(const Variant& value) {
  const TVarType t = value.VarType();
  return t == varSingle || t == varDouble || t == varCurrency || t == varFMTBcd;
}

bool VarIsNumeric(const Variant& value) { return VarIsOrdinal(value) || VarIsFloat(value); }
bool VarIsStr(const Variant& value) { return IsText(value.VarType()); }

Variant VarFMTBcdCreate(const TBcd& value) { return Variant(value); }

Variant VarFMTBcdCreate(std::string_view text, int precision, int scale) {
  TBcd out;
  NormalizeBcd(StrToBcd(text), out, precision, scale);
  return Variant(out);
}

Variant VarFMTBcdCreate(double value, int precision, int scale) {
  TBcd out;
  NormalizeBcd(DoubleToBcd(value), out, precision, scale);
  return Variant(out);
}

bool VarIsFMTBcd(const Variant& value) { return value.VarType() == varFMTBcd; }
TBcd VarToBcd(const Variant& value) { return value.AsBcd(); }
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value) { return Variant(value); }
Variant VarSQLTimeStampCreate(TDateTime value) { return Variant(DateTimeToSQLTimeStamp(value)); }
bool VarIsSQLTimeStamp(const Variant& value) { return value.VarType() == varSQLTimeStamp; }
TSQLTimeStamp VarToSQLTimeStamp(const Variant& value) { return value.AsSQLTimeStamp(); }

// ---- arrays --------------------------------------------------------------------------------

int Variant::ArrayValue::Count() const {
  return static_cast<int>(ElementType == varByte ? Bytes.size() : Items.size());
}

const Variant::ArrayValue& Variant::Array() const {
  const auto* a = std::get_if<ArrayValue>(&fValue);
  if (!a) throw EVariantError(SVarNotArray);
  return *a;
}

namespace {

std::size_t Slot(int index, int low, int count) {
  const std::int64_t offset = static_cast<std::int64_t>(index) - low;
  if (offset < 0 || offset >= count) throw EVariantBadIndexError(SVarArrayBounds);
  return static_cast<std::size_t>(offset);
}

}  // namespace

Variant VarArrayCreate(int low, int high, TVarType elementType) {
  const std::int64_t count = static_cast<std::int64_t>(high) - low + 1;
  if (!IsArrayElementType(elementType) || count < 0 ||
      count > std::numeric_limits<std::int32_t>::max())
    throw EVariantArrayCreateError(SVarArrayCreate);
  Variant::ArrayValue a;
  a.ElementType = elementType;
  a.Low = low;
  if (elementType == varByte) a.Bytes.assign(static_cast<std::size_t>(count), 0);
  else a.Items.assign(static_cast<std::size_t>(count), VarAsType(Variant(), elementType));
  Variant v;
  v.fValue = std::move(a);
  return v;
}

Variant VarArrayOf(const std::vector<Variant>& values) {
  Variant v = VarArrayCreate(0, static_cast<int>(values.size()) - 1, varVariant);
  for (std::size_t i = 0; i < values.size(); ++i) v.PutElement(static_cast<int>(i), values[i]);
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  return VarArrayOf(std::vector<Variant>(values));
}

Variant VarArrayOfBytes(std::span<const std::uint8_t> bytes) {
  Variant v = VarArrayCreate(0, static_cast<int>(bytes.size()) - 1, varByte);
  std::get<Variant::ArrayValue>(v.fValue).Bytes.assign(bytes.begin(), bytes.end());
  return v;
}

Variant Variant::GetElement(int index) const {
  const ArrayValue& a = Array();
  const std::size_t slot = Slot(index, a.Low, a.Count());
  if (a.ElementType == varByte) return a.Bytes[slot];
  return a.Items[slot];
}

void Variant::PutElement(int index, const Variant& value) {
  Array();  // raises on a non-array
  // Converted (or copied) before the array is touched: value may be this array or part of it.
  const TVarType elementType = std::get<ArrayValue>(fValue).ElementType;
  if (elementType == varByte) {
    const auto byte = static_cast<std::uint8_t>(value.IntegerIn(varByte, 0, UINT8_MAX));
    ArrayValue& a = std::get<ArrayValue>(fValue);
    a.Bytes[Slot(index, a.Low, a.Count())] = byte;
    return;
  }
  Variant stored = elementType == varVariant ? value : VarAsType(value, elementType);
  ArrayValue& a = std::get<ArrayValue>(fValue);
  a.Items[Slot(index, a.Low, a.Count())] = std::move(stored);
}

std::span<const std::uint8_t> Variant::Bytes() const {
  const ArrayValue& a = Array();
  if (a.ElementType != varByte) CastError(varArray | varByte);
  return a.Bytes;
}

int VarArrayDimCount(const Variant& value) { return value.IsArray() ? 1 : 0; }

int VarArrayLowBound(const Variant& value, int dim) {
  const Variant::ArrayValue& a = value.Array();
  if (dim != 1) throw EVariantBadIndexError(SVarArrayBounds);
  return a.Low;
}

int VarArrayHighBound(const Variant& value, int dim) {
  const Variant::ArrayValue& a = value.Array();
  if (dim != 1) throw EVariantBadIndexError(SVarArrayBounds);
  return a.Low + a.Count() - 1;
}

Variant VarArrayGet(const Variant& array, int index) { return array.GetElement(index); }
void VarArrayPut(Variant& array, const Variant& value, int index) { array.PutElement(index, value); }

// ---- comparison ----------------------------------------------------------------------------

namespace {

TVariantRelationship FromOrder(int c) {
  return c < 0 ? vrLessThan : (c > 0 ? vrGreaterThan : vrEqual);
}

template <class T>
TVariantRelationship Order(const T& a, const T& b) {
  if (a < b) return vrLessThan;
  if (b < a) return vrGreaterThan;
  return a == b ? vrEqual : vrNotEqual;  // NaN
}

TVariantRelationship CompareStamps(const TSQLTimeStamp& a, const TSQLTimeStamp& b) {
  const auto key = [](const TSQLTimeStamp& s) {
    return std::tuple(s.Year, s.Month, s.Day, s.Hour, s.Minute, s.Second, s.Fractions);
  };
  return Order(key(a), key(b));
}

// An exact decimal of the value when it has one (text that StrToBcd reads, any number but a
// float); false sends the comparison to doubles.
bool ExactDecimal(const Variant& v, TBcd& bcd) {
  const TVarType t = v.VarType();
  if (t == varSingle || t == varDouble) return false;
  if (IsText(t)) {
    const String text = v.AsString();
    StrToFloat(text);  // text that is no number fails as the host's conversion does
    return TryStrToBcd(text, bcd);
  }
  bcd = v.AsBcd();
  return true;
}

}  // namespace

TVariantRelationship VarCompareValue(const Variant& a, const Variant& b) {
  const TVarType ta = a.VarType(), tb = b.VarType();
  if (ta == varEmpty || ta == varNull || tb == varEmpty || tb == varNull)
    return ta == tb ? vrEqual : vrNotEqual;
  if ((ta | tb) & varArray) {
    if (ta != tb) return vrNotEqual;
    const Variant::ArrayValue& x = a.Array();
    const Variant::ArrayValue& y = b.Array();
    if (x.Low != y.Low || x.Bytes != y.Bytes || x.Items.size() != y.Items.size()) return vrNotEqual;
    // Identical means element by element of the same type, so nothing is converted.
    for (std::size_t i = 0; i < x.Items.size(); ++i) {
      if (x.Items[i].VarType() != y.Items[i].VarType() ||
          VarCompareValue(x.Items[i], y.Items[i]) != vrEqual)
        return vrNotEqual;
    }
    return vrEqual;
  }
  if (IsText(ta) && IsText(tb)) return FromOrder(AnsiCompareStr(a.AsString(), b.AsString()));
  if (ta == varSQLTimeStamp && tb == varSQLTimeStamp)
    return CompareStamps(std::get<TSQLTimeStamp>(a.fValue), std::get<TSQLTimeStamp>(b.fValue));
  if (ta == varDate || tb == varDate || ta == varSQLTimeStamp || tb == varSQLTimeStamp)
    return Order(a.AsDateTime().Value, b.AsDateTime().Value);
  if (ta == varBoolean && (tb == varBoolean || IsText(tb)))
    return Order(a.AsBoolean(), b.AsBoolean());
  if (tb == varBoolean && IsText(ta)) return Order(a.AsBoolean(), b.AsBoolean());
  // Numbers, with text read as a number.
  const auto isSignedOrdinal = [](TVarType t) {
    return (IsIntegral(t) && t != varUInt64) || t == varBoolean;
  };
  if (isSignedOrdinal(ta) && isSignedOrdinal(tb)) return Order(a.AsInt64(), b.AsInt64());
  TBcd x, y;
  if (ExactDecimal(a, x) && ExactDecimal(b, y)) return FromOrder(BcdCompare(x, y));
  if (ta == varFMTBcd || tb == varFMTBcd) return FromOrder(BcdCompare(a.AsBcd(), b.AsBcd()));
  return Order(a.AsDouble(), b.AsDouble());
}

bool VarSameValue(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }

bool operator==(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == vrEqual; }

bool operator<(const Variant& a, const Variant& b) {
  if (a.IsNull()) return !b.IsNull();
  if (b.IsNull()) return false;
  return VarCompareValue(a, b) == vrLessThan;
}

}  // namespace zv
