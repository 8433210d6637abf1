// The base accessor, the kind table and the helpers every accessor shares.

#include "runtime/db/ValueAccessor.h"

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "runtime/db/UniValueConsts.h"
#include "runtime/db/ValueAccessors.h"

#include <cmath>

namespace zv {

void UniValueAccessError(const char* kindName) { DatabaseErrorFmt(SFieldAccessError, {SvpUniValueName, kindName}); }

namespace {

// Shared, stateless strategies, constant-initialised so that a value constructed during
// static initialisation finds them ready.
constinit const TvpValueAccessor kBase{};
constinit const TvpStringAccessor kString{};
constinit const TvpWideStringAccessor kWideString{};
constinit const TvpIntegerAccessor kInteger{};
constinit const TvpLargeIntAccessor kLargeInt{};
constinit const TvpFloatAccessor kFloat{};
constinit const TvpBoolAccessor kBool{};
constinit const TvpDateTimeAccessor kDateTime{};
constinit const TvpSQLTimeStampAccessor kSQLTimeStamp{};
constinit const TvpBinaryAccessor kBinary{};
constinit const TvpBCDAccessor kBCD{};
constinit const TvpFMTBCDAccessor kFMTBCD{};
constinit const TvpBlobAccessor kBlob{};
constinit const TvpVariantAccessor kVariant{};

[[noreturn]] void KindError(const TvpUniValue& v) { UniValueAccessError(FieldTypeName(v.DataType())); }

}  // namespace

const TvpValueAccessor& BaseAccessor() { return kBase; }

const TvpValueAccessor& AccessorOf(TFieldType fieldType) {
  switch (fieldType) {
    case ftString:
    case ftFixedChar: return kString;
    case ftWideString: return kWideString;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return kInteger;
    case ftLargeint: return kLargeInt;
    case ftFloat:
    case ftCurrency: return kFloat;
    case ftBoolean: return kBool;
    case ftDate:
    case ftTime:
    case ftDateTime: return kDateTime;
    case ftTimeStamp: return kSQLTimeStamp;
    case ftBytes:
    case ftVarBytes: return kBinary;
    case ftBCD: return kBCD;
    case ftFMTBcd: return kFMTBCD;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob:
    case ftOraClob: return kBlob;
    case ftVariant:
    case ftUnknown: return kVariant;
    default: return kBase;
  }
}

// ---------------------------------------------------------------------------------------------
// Base reads

TBcd TvpValueAccessor::GetAsBCD(const TvpUniValue& v) const {
  TBcd bcd;
  CurrToBCD(GetAsCurrency(v), bcd, 32, 4);
  return bcd;
}

bool TvpValueAccessor::GetAsBoolean(const TvpUniValue&) const { UniValueAccessError("Boolean"); }

Variant TvpValueAccessor::GetAsByteArray(const TvpUniValue& v) const {
  return v.IsNull() ? Variant::Null() : VarArrayOfBytes(v.Data());
}

Currency TvpValueAccessor::GetAsCurrency(const TvpUniValue& v) const { return Currency::FromDouble(GetAsFloat(v)); }

TDateTime TvpValueAccessor::GetAsDateTime(const TvpUniValue&) const { UniValueAccessError("DateTime"); }

double TvpValueAccessor::GetAsFloat(const TvpUniValue&) const { UniValueAccessError("Float"); }

int TvpValueAccessor::GetAsInteger(const TvpUniValue& v) const {
  try {
    return uvdetail::NarrowToInt(uvdetail::RoundToInt64(GetAsFloat(v)));
  } catch (const Exception&) {
    UniValueAccessError("Integer");
  }
}

std::int64_t TvpValueAccessor::GetAsLargeint(const TvpUniValue& v) const { return GetAsInteger(v); }

TSQLTimeStamp TvpValueAccessor::GetAsSQLTimeStamp(const TvpUniValue&) const { UniValueAccessError("SQLTimeStamp"); }

String TvpValueAccessor::GetAsString(const TvpUniValue&) const { UniValueAccessError("String"); }

Variant TvpValueAccessor::GetAsVariant(const TvpUniValue&) const { UniValueAccessError("Variant"); }

WideString TvpValueAccessor::GetAsWideString(const TvpUniValue& v) const { return UTF8Decode(GetAsString(v)); }

// ---------------------------------------------------------------------------------------------
// Base writes

void TvpValueAccessor::SetAsBCD(TvpUniValue& v, const TBcd& value) const { SetAsCurrency(v, BCDToCurrency(value)); }
void TvpValueAccessor::SetAsBoolean(TvpUniValue&, bool) const { UniValueAccessError("Boolean"); }
void TvpValueAccessor::SetAsByteArray(TvpUniValue&, const Variant&) const { UniValueAccessError("ByteArray"); }
void TvpValueAccessor::SetAsCurrency(TvpUniValue& v, Currency value) const { SetAsFloat(v, value.ToDouble()); }
void TvpValueAccessor::SetAsDateTime(TvpUniValue&, TDateTime) const { UniValueAccessError("DateTime"); }
void TvpValueAccessor::SetAsFloat(TvpUniValue&, double) const { UniValueAccessError("Float"); }
void TvpValueAccessor::SetAsInteger(TvpUniValue&, int) const { UniValueAccessError("Integer"); }
void TvpValueAccessor::SetAsLargeint(TvpUniValue&, std::int64_t) const { UniValueAccessError("LargeInt"); }
void TvpValueAccessor::SetAsSQLTimeStamp(TvpUniValue&, const TSQLTimeStamp&) const { UniValueAccessError("SQLTimeStamp"); }
void TvpValueAccessor::SetAsString(TvpUniValue&, const String&) const { UniValueAccessError("String"); }
void TvpValueAccessor::SetAsVariant(TvpUniValue&, const Variant&) const { UniValueAccessError("Variant"); }
void TvpValueAccessor::SetAsWideString(TvpUniValue&, const WideString&) const { UniValueAccessError("WideString"); }

// ---------------------------------------------------------------------------------------------
// Base streaming, assignments and order

bool TvpValueAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpValueAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  const TValueType next = reader.NextValue();
  if (next == vaNil || next == vaNull) {
    reader.ReadValue();
    v.Clear();
    return;
  }
  const auto bytes = reader.ReadBinary();
  v.SetData(bytes);
}

void TvpValueAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const {
  const auto data = v.Data();
  writer.WriteBinary(data.data(), static_cast<std::int64_t>(data.size()));
}

void TvpValueAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  if (&source.Accessor() != &kBase) KindError(v);
  v.SetData(source.Data());
}

void TvpValueAccessor::AssignFromField(TvpUniValue& v, const TField&) const { KindError(v); }
void TvpValueAccessor::AssignFromParam(TvpUniValue& v, const TParam&) const { KindError(v); }
void TvpValueAccessor::AssignToField(const TvpUniValue& v, TField&) const { KindError(v); }
void TvpValueAccessor::AssignToParam(const TvpUniValue& v, TParam&) const { KindError(v); }

int TvpValueAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  const auto a = uvdetail::StoredBytes(v);
  const auto b = uvdetail::StoredBytes(other);
  const int c = a.compare(b);
  return (c > 0) - (c < 0);
}

// ---------------------------------------------------------------------------------------------
// Helpers

namespace uvdetail {

std::int64_t RoundToInt64(double value) {
  // nearbyint rounds ties to even in the default rounding mode; 2^63 itself is out of range.
  const double r = std::nearbyint(value);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) throw EInvalidOp(SInvalidOp);
  return static_cast<std::int64_t>(r);
}

int NarrowToInt(std::int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) throw ERangeError(SRangeError);
  return static_cast<int>(value);
}

std::span<const std::uint8_t> ByteArrayOf(const Variant& value) {
  if (value.VarType() != (varArray | varByte)) DatabaseError(SvpInvalidVarByteArray);
  return value.Bytes();
}

std::span<const std::uint8_t> BytesOf(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void StoreBytes(TvpUniValue& v, std::span<const std::uint8_t> bytes) { v.SetData(bytes); }

std::string_view StoredBytes(const TvpUniValue& v) {
  const auto data = v.Data();
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace uvdetail

}  // namespace zv
