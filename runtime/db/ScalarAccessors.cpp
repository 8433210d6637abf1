// Accessors of the boolean, date-time, SQL time stamp and variant kinds.

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Field.h"
#include "platform/db/Params.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/Format.h"
#include "runtime/db/UniValueConsts.h"
#include "runtime/db/ValueAccessors.h"

namespace zv {

using namespace uvdetail;

static_assert(sizeof(TSQLTimeStamp) == 16, "the time-stamp kind stores the host's 16-byte record");

namespace {

bool IsNil(TReader& reader) {
  const TValueType next = reader.NextValue();
  if (next != vaNil && next != vaNull) return false;
  reader.ReadValue();
  return true;
}

bool IsText(TReader& reader) {
  const TValueType next = reader.NextValue();
  return next == vaString || next == vaLString || next == vaUTF8String || next == vaWString;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TvpBoolAccessor

bool TvpBoolAccessor::GetAsBoolean(const TvpUniValue& v) const { return Load<std::int16_t>(v) != 0; }
String TvpBoolAccessor::GetAsString(const TvpUniValue& v) const { return GetAsBoolean(v) ? STextTrue : STextFalse; }
Variant TvpBoolAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsBoolean(v)); }

void TvpBoolAccessor::SetAsBoolean(TvpUniValue& v, bool value) const {
  Store<std::int16_t>(v, static_cast<std::int16_t>(value ? -1 : 0));
}

void TvpBoolAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.empty())
    v.Clear();
  else if (AnsiSameText(value, STextFalse))
    SetAsBoolean(v, false);
  else if (AnsiSameText(value, STextTrue))
    SetAsBoolean(v, true);
  else
    DatabaseErrorFmt(SvpInvalidBoolValue, {value});
}

void TvpBoolAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsBoolean(v, value.AsBoolean()); }

bool TvpBoolAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpBoolAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else if (IsText(reader))
    SetAsString(v, reader.ReadString());
  else
    SetAsBoolean(v, reader.ReadBoolean());
}

void TvpBoolAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteBoolean(GetAsBoolean(v)); }

void TvpBoolAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsBoolean(v, source.AsBoolean()); }
void TvpBoolAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsBoolean(v, field.AsBoolean()); }
void TvpBoolAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsBoolean(v, param.AsBoolean()); }
void TvpBoolAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsBoolean(GetAsBoolean(v)); }
void TvpBoolAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsBoolean(GetAsBoolean(v)); }

int TvpBoolAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return static_cast<int>(GetAsBoolean(v)) - static_cast<int>(other.AsBoolean());
}

// ---------------------------------------------------------------------------------------------
// TvpDateTimeAccessor

TDateTime TvpDateTimeAccessor::GetAsDateTime(const TvpUniValue& v) const { return Load<double>(v); }
double TvpDateTimeAccessor::GetAsFloat(const TvpUniValue& v) const { return Load<double>(v); }

String TvpDateTimeAccessor::GetAsString(const TvpUniValue& v) const {
  const TDateTime value = GetAsDateTime(v);
  switch (v.DataType()) {
    case ftDate: return DateToStr(value);
    case ftTime: return TimeToStr(value);
    default: return DateTimeToStr(value);
  }
}

Variant TvpDateTimeAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsDateTime(v)); }

void TvpDateTimeAccessor::SetAsDateTime(TvpUniValue& v, TDateTime value) const { Store<double>(v, value.Value); }
void TvpDateTimeAccessor::SetAsFloat(TvpUniValue& v, double value) const { Store<double>(v, value); }

void TvpDateTimeAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.empty()) {
    v.Clear();
    return;
  }
  switch (v.DataType()) {
    case ftDate: SetAsDateTime(v, StrToDate(value)); break;
    case ftTime: SetAsDateTime(v, StrToTime(value)); break;
    default: SetAsDateTime(v, StrToDateTime(value)); break;
  }
}

void TvpDateTimeAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsDateTime(v, VarToDateTime(value)); }

bool TvpDateTimeAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpDateTimeAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else if (IsText(reader))
    SetAsString(v, reader.ReadString());
  else
    SetAsDateTime(v, static_cast<double>(reader.ReadFloat()));
}

void TvpDateTimeAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteDate(GetAsDateTime(v)); }

void TvpDateTimeAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  SetAsDateTime(v, source.AsDateTime());
}
void TvpDateTimeAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsDateTime(v, field.AsDateTime()); }
void TvpDateTimeAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsDateTime(v, param.AsDateTime()); }
void TvpDateTimeAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsDateTime(GetAsDateTime(v)); }
void TvpDateTimeAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsDateTime(GetAsDateTime(v)); }

int TvpDateTimeAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsDateTime(v).Value, other.AsDateTime().Value);
}

// ---------------------------------------------------------------------------------------------
// TvpSQLTimeStampAccessor

TSQLTimeStamp TvpSQLTimeStampAccessor::GetAsSQLTimeStamp(const TvpUniValue& v) const {
  return v.IsNull() ? NullSQLTimeStamp : Load<TSQLTimeStamp>(v);
}

TDateTime TvpSQLTimeStampAccessor::GetAsDateTime(const TvpUniValue& v) const {
  return v.IsNull() ? TDateTime() : SQLTimeStampToDateTime(GetAsSQLTimeStamp(v));
}

String TvpSQLTimeStampAccessor::GetAsString(const TvpUniValue& v) const { return SQLTimeStampToStr("", GetAsSQLTimeStamp(v)); }
Variant TvpSQLTimeStampAccessor::GetAsVariant(const TvpUniValue& v) const { return VarSQLTimeStampCreate(GetAsSQLTimeStamp(v)); }

void TvpSQLTimeStampAccessor::SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const {
  Store<TSQLTimeStamp>(v, value);
}

void TvpSQLTimeStampAccessor::SetAsDateTime(TvpUniValue& v, TDateTime value) const {
  if (value.Value == 0)
    v.Clear();
  else
    SetAsSQLTimeStamp(v, DateTimeToSQLTimeStamp(value));
}

void TvpSQLTimeStampAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.empty())
    v.Clear();
  else
    SetAsSQLTimeStamp(v, StrToSQLTimeStamp(value));
}

void TvpSQLTimeStampAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const {
  SetAsSQLTimeStamp(v, VarToSQLTimeStamp(value));
}

bool TvpSQLTimeStampAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpSQLTimeStampAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else if (IsText(reader))
    SetAsString(v, reader.ReadString());
  else
    SetAsDateTime(v, static_cast<double>(reader.ReadFloat()));
}

void TvpSQLTimeStampAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteDate(GetAsDateTime(v)); }

void TvpSQLTimeStampAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  SetAsSQLTimeStamp(v, source.AsSQLTimeStamp());
}
void TvpSQLTimeStampAccessor::AssignFromField(TvpUniValue& v, const TField& field) const {
  SetAsSQLTimeStamp(v, field.AsSQLTimeStamp());
}
void TvpSQLTimeStampAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const {
  SetAsSQLTimeStamp(v, param.AsSQLTimeStamp());
}
void TvpSQLTimeStampAccessor::AssignToField(const TvpUniValue& v, TField& field) const {
  field.SetAsSQLTimeStamp(GetAsSQLTimeStamp(v));
}
void TvpSQLTimeStampAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const {
  param.SetAsSQLTimeStamp(GetAsSQLTimeStamp(v));
}

int TvpSQLTimeStampAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsDateTime(v).Value, other.AsDateTime().Value);
}

// ---------------------------------------------------------------------------------------------
// TvpVariantAccessor

namespace {

const Variant& Held(const TvpUniValue& v) {
  static const Variant none = Variant::Null();
  const TvpVariantHolder* holder = v.VariantHolder();
  return holder ? holder->Value() : none;
}

bool Streamable(const Variant& value) {
  switch (value.VarType()) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varString:
    case varBoolean:
      return true;
    default:
      return false;
  }
}

// An order for values the host's comparison leaves unordered (or cannot convert): by type
// code, then by bytes or text, so that sorting stays consistent.
int FallbackOrder(const Variant& a, const Variant& b) {
  const TVarType ta = a.VarType();
  const TVarType tb = b.VarType();
  if (ta != tb) return ta < tb ? -1 : 1;
  if (ta == (varArray | varByte)) {
    const auto x = a.Bytes();
    const auto y = b.Bytes();
    const int c = std::string_view(reinterpret_cast<const char*>(x.data()), x.size())
                      .compare(std::string_view(reinterpret_cast<const char*>(y.data()), y.size()));
    return (c > 0) - (c < 0);
  }
  if (a.IsArray()) return 0;
  const int c = CompareStr(VarToStr(a), VarToStr(b));
  return (c > 0) - (c < 0);
}

}  // namespace

Variant TvpVariantAccessor::GetAsVariant(const TvpUniValue& v) const { return Held(v); }
String TvpVariantAccessor::GetAsString(const TvpUniValue& v) const { return VarToStr(Held(v)); }
int TvpVariantAccessor::GetAsInteger(const TvpUniValue& v) const { return Held(v).AsInteger(); }
std::int64_t TvpVariantAccessor::GetAsLargeint(const TvpUniValue& v) const { return Held(v).AsInt64(); }
double TvpVariantAccessor::GetAsFloat(const TvpUniValue& v) const { return Held(v).AsDouble(); }
bool TvpVariantAccessor::GetAsBoolean(const TvpUniValue& v) const { return Held(v).AsBoolean(); }
TDateTime TvpVariantAccessor::GetAsDateTime(const TvpUniValue& v) const { return VarToDateTime(Held(v)); }
TBcd TvpVariantAccessor::GetAsBCD(const TvpUniValue& v) const { return VarToBcd(Held(v)); }
TSQLTimeStamp TvpVariantAccessor::GetAsSQLTimeStamp(const TvpUniValue& v) const { return VarToSQLTimeStamp(Held(v)); }

Variant TvpVariantAccessor::GetAsByteArray(const TvpUniValue& v) const {
  if (v.IsNull()) return Variant::Null();
  const Variant& held = Held(v);
  if (held.VarType() != (varArray | varByte)) UniValueAccessError("ByteArray");
  return held;
}

void TvpVariantAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const {
  if (value.IsNull()) {
    v.Clear();
    return;
  }
  v.EnsureHolder().SetValue(value);
  if (v.IsNull()) {
    // Four bytes stand for the holder, as the reference to it did; they carry no address.
    const auto bytes = v.NewData(4);
    std::fill(bytes.begin(), bytes.end(), 0);
  } else {
    v.SetModified(true);
  }
}

void TvpVariantAccessor::SetAsString(TvpUniValue& v, const String& value) const { SetAsVariant(v, Variant(value)); }
void TvpVariantAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsVariant(v, Variant(value)); }
void TvpVariantAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsVariant(v, Variant(value)); }
void TvpVariantAccessor::SetAsBoolean(TvpUniValue& v, bool value) const { SetAsVariant(v, Variant(value)); }
void TvpVariantAccessor::SetAsDateTime(TvpUniValue& v, TDateTime value) const { SetAsVariant(v, Variant(value)); }
void TvpVariantAccessor::SetAsBCD(TvpUniValue& v, const TBcd& value) const { SetAsVariant(v, VarFMTBcdCreate(value)); }

void TvpVariantAccessor::SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const {
  SetAsVariant(v, VarSQLTimeStampCreate(value));
}

bool TvpVariantAccessor::HasStreamForm(const TvpUniValue& v) const { return Streamable(Held(v)); }

void TvpVariantAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else
    SetAsVariant(v, reader.ReadVariant());
}

void TvpVariantAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteVariant(Held(v)); }

void TvpVariantAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsVariant(v, source.AsVariant()); }
void TvpVariantAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsVariant(v, field.AsVariant()); }
void TvpVariantAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsVariant(v, param.Value()); }
void TvpVariantAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsVariant(Held(v)); }
void TvpVariantAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetValue(Held(v)); }

int TvpVariantAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const {
  const Variant& a = Held(v);
  const Variant b = other.AsVariant();
  if (!caseSensitive && VarIsStr(a) && VarIsStr(b)) {
    const int c = AnsiCompareText(VarToStr(a), VarToStr(b));
    return (c > 0) - (c < 0);
  }
  try {
    switch (VarCompareValue(a, b)) {
      case vrEqual: return 0;
      case vrLessThan: return -1;
      case vrGreaterThan: return 1;
      case vrNotEqual: break;
    }
  } catch (const Exception&) {
    // Values of kinds that do not convert into each other (a text against a number).
  }
  return FallbackOrder(a, b);
}

}  // namespace zv
