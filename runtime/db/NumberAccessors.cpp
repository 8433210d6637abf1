// Accessors of the number kinds: integer, 64-bit integer, float, BCD (currency) and FMT BCD.

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/db/Field.h"
#include "platform/db/Params.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/db/ValueAccessors.h"

namespace zv {

using namespace uvdetail;

static_assert(sizeof(TBcd) == 34, "the FMT BCD kind stores the host's 34-byte record");

namespace {

// The stream's decimal texts are the same whatever the application's settings.
const TFormatSettings& StreamSettings() {
  static const TFormatSettings settings;
  return settings;
}

bool IsTextValue(TValueType type) {
  return type == vaString || type == vaLString || type == vaUTF8String || type == vaWString;
}

// An amount in ten-thousandths rounded to whole units, ties to even, exactly.
std::int64_t RoundScaled(std::int64_t scaled) {
  std::int64_t units = scaled / Currency::Scale;
  const std::int64_t rest = scaled % Currency::Scale;  // same sign as scaled
  const std::int64_t half = Currency::Scale / 2;
  const std::int64_t away = rest < 0 ? -rest : rest;
  if (away > half || (away == half && units % 2 != 0)) units += rest < 0 ? -1 : 1;
  return units;
}

// A decimal rounded to a whole number, ties to even, exactly; out of range raises
// EBcdOverflowException as BcdToInt64 does.
std::int64_t RoundBcd(const TBcd& bcd) {
  std::int64_t units = BcdToInt64(bcd, true);
  TBcd rest = bcd - IntegerToBcd(units);
  if (IsBcdNegative(rest)) rest = -rest;
  const int c = BcdCompare(rest * IntegerToBcd(2), IntegerToBcd(1));
  if (c > 0 || (c == 0 && units % 2 != 0)) {
    const std::int64_t step = IsBcdNegative(bcd) ? -1 : 1;
    if (__builtin_add_overflow(units, step, &units)) throw EBcdOverflowException(SBcdOverflow);
  }
  return units;
}

TBcd CurrencyAsBcd(Currency value) {
  TBcd bcd;
  CurrToBCD(value, bcd, 32, 4);
  return bcd;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TvpNumericAccessor

void TvpNumericAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.empty())
    v.Clear();
  else
    SetFromText(v, value);
}

bool TvpNumericAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpNumericAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  const TValueType next = reader.NextValue();
  if (next == vaNil || next == vaNull) {
    reader.ReadValue();
    v.Clear();
  } else if (IsTextValue(next)) {
    SetAsString(v, reader.ReadString());
  } else {
    ReadNumber(v, reader);
  }
}

// ---------------------------------------------------------------------------------------------
// TvpIntegerAccessor

int TvpIntegerAccessor::GetAsInteger(const TvpUniValue& v) const { return Load<std::int32_t>(v); }
double TvpIntegerAccessor::GetAsFloat(const TvpUniValue& v) const { return GetAsInteger(v); }
std::int64_t TvpIntegerAccessor::GetAsLargeint(const TvpUniValue& v) const { return GetAsInteger(v); }
String TvpIntegerAccessor::GetAsString(const TvpUniValue& v) const { return IntToStr(GetAsInteger(v)); }
Variant TvpIntegerAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsInteger(v)); }

void TvpIntegerAccessor::SetAsInteger(TvpUniValue& v, int value) const { Store<std::int32_t>(v, value); }
void TvpIntegerAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsInteger(v, NarrowToInt(RoundToInt64(value))); }
void TvpIntegerAccessor::SetAsLargeint(TvpUniValue& v, std::int64_t value) const { SetAsInteger(v, NarrowToInt(value)); }
void TvpIntegerAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsInteger(v, value.AsInteger()); }
void TvpIntegerAccessor::SetFromText(TvpUniValue& v, std::string_view text) const { SetAsInteger(v, StrToInt(text)); }

void TvpIntegerAccessor::ReadNumber(TvpUniValue& v, TReader& reader) const { SetAsLargeint(v, reader.ReadInteger()); }
void TvpIntegerAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteInteger(GetAsInteger(v)); }

void TvpIntegerAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsInteger(v, source.AsInteger()); }
void TvpIntegerAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsInteger(v, field.AsInteger()); }
void TvpIntegerAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsInteger(v, param.AsInteger()); }
void TvpIntegerAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsInteger(GetAsInteger(v)); }
void TvpIntegerAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsInteger(GetAsInteger(v)); }

int TvpIntegerAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsInteger(v), other.AsInteger());
}

// ---------------------------------------------------------------------------------------------
// TvpLargeIntAccessor

std::int64_t TvpLargeIntAccessor::GetAsLargeint(const TvpUniValue& v) const { return Load<std::int64_t>(v); }
int TvpLargeIntAccessor::GetAsInteger(const TvpUniValue& v) const { return NarrowToInt(GetAsLargeint(v)); }
double TvpLargeIntAccessor::GetAsFloat(const TvpUniValue& v) const { return static_cast<double>(GetAsLargeint(v)); }
String TvpLargeIntAccessor::GetAsString(const TvpUniValue& v) const { return IntToStr(GetAsLargeint(v)); }
Variant TvpLargeIntAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsLargeint(v)); }

void TvpLargeIntAccessor::SetAsLargeint(TvpUniValue& v, std::int64_t value) const { Store<std::int64_t>(v, value); }
void TvpLargeIntAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsLargeint(v, value); }
void TvpLargeIntAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsLargeint(v, RoundToInt64(value)); }
void TvpLargeIntAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsLargeint(v, value.AsInt64()); }
void TvpLargeIntAccessor::SetFromText(TvpUniValue& v, std::string_view text) const { SetAsLargeint(v, StrToInt64(text)); }

void TvpLargeIntAccessor::ReadNumber(TvpUniValue& v, TReader& reader) const { SetAsLargeint(v, reader.ReadInteger()); }
void TvpLargeIntAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteInteger(GetAsLargeint(v)); }

void TvpLargeIntAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  SetAsLargeint(v, source.AsLargeint());
}
void TvpLargeIntAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsLargeint(v, field.AsLargeInt()); }
void TvpLargeIntAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsLargeint(v, param.AsLargeInt()); }
void TvpLargeIntAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsLargeInt(GetAsLargeint(v)); }
void TvpLargeIntAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsLargeInt(GetAsLargeint(v)); }

int TvpLargeIntAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsLargeint(v), other.AsLargeint());
}

// ---------------------------------------------------------------------------------------------
// TvpFloatAccessor

double TvpFloatAccessor::GetAsFloat(const TvpUniValue& v) const { return Load<double>(v); }
int TvpFloatAccessor::GetAsInteger(const TvpUniValue& v) const { return NarrowToInt(RoundToInt64(GetAsFloat(v))); }
std::int64_t TvpFloatAccessor::GetAsLargeint(const TvpUniValue& v) const { return RoundToInt64(GetAsFloat(v)); }
String TvpFloatAccessor::GetAsString(const TvpUniValue& v) const { return FloatToStr(GetAsFloat(v)); }
Variant TvpFloatAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsFloat(v)); }

void TvpFloatAccessor::SetAsFloat(TvpUniValue& v, double value) const { Store<double>(v, value); }
void TvpFloatAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsFloat(v, value); }
void TvpFloatAccessor::SetAsLargeint(TvpUniValue& v, std::int64_t value) const { SetAsFloat(v, static_cast<double>(value)); }
void TvpFloatAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsFloat(v, value.AsDouble()); }
void TvpFloatAccessor::SetFromText(TvpUniValue& v, std::string_view text) const { SetAsFloat(v, StrToFloat(text)); }

void TvpFloatAccessor::ReadNumber(TvpUniValue& v, TReader& reader) const {
  SetAsFloat(v, static_cast<double>(reader.ReadFloat()));
}
void TvpFloatAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteFloat(GetAsFloat(v)); }

void TvpFloatAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsFloat(v, source.AsFloat()); }
void TvpFloatAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsFloat(v, field.AsFloat()); }
void TvpFloatAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsFloat(v, param.AsFloat()); }
void TvpFloatAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsFloat(GetAsFloat(v)); }
void TvpFloatAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsFloat(GetAsFloat(v)); }

int TvpFloatAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsFloat(v), other.AsFloat());
}

// ---------------------------------------------------------------------------------------------
// TvpBCDAccessor

Currency TvpBCDAccessor::GetAsCurrency(const TvpUniValue& v) const { return Currency::FromScaled(Load<std::int64_t>(v)); }

TBcd TvpBCDAccessor::GetAsBCD(const TvpUniValue& v) const {
  return v.IsNull() ? NullBcd : CurrencyAsBcd(GetAsCurrency(v));
}

double TvpBCDAccessor::GetAsFloat(const TvpUniValue& v) const { return GetAsCurrency(v).ToDouble(); }
std::int64_t TvpBCDAccessor::GetAsLargeint(const TvpUniValue& v) const { return RoundScaled(GetAsCurrency(v).Value); }
int TvpBCDAccessor::GetAsInteger(const TvpUniValue& v) const { return NarrowToInt(GetAsLargeint(v)); }
String TvpBCDAccessor::GetAsString(const TvpUniValue& v) const { return CurrToStr(GetAsCurrency(v)); }
Variant TvpBCDAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsCurrency(v)); }

void TvpBCDAccessor::SetAsCurrency(TvpUniValue& v, Currency value) const { Store<std::int64_t>(v, value.Value); }
void TvpBCDAccessor::SetAsBCD(TvpUniValue& v, const TBcd& value) const { SetAsCurrency(v, BCDToCurrency(value)); }
void TvpBCDAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsCurrency(v, Currency::FromDouble(value)); }
void TvpBCDAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsCurrency(v, Currency::FromInt(value)); }
void TvpBCDAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsCurrency(v, value.AsCurrency()); }
void TvpBCDAccessor::SetFromText(TvpUniValue& v, std::string_view text) const { SetAsCurrency(v, StrToCurr(text)); }

void TvpBCDAccessor::ReadNumber(TvpUniValue& v, TReader& reader) const {
  if (reader.NextValue() == vaCurrency)
    SetAsCurrency(v, reader.ReadCurrency());
  else
    SetAsFloat(v, static_cast<double>(reader.ReadFloat()));
}
void TvpBCDAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteCurrency(GetAsCurrency(v)); }

void TvpBCDAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsBCD(v, source.AsBCD()); }
void TvpBCDAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsBCD(v, field.AsBCD()); }
void TvpBCDAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsCurrency(v, param.AsBCD()); }
void TvpBCDAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsBCD(GetAsBCD(v)); }
void TvpBCDAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsBCD(GetAsCurrency(v)); }

int TvpBCDAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return Sign(GetAsCurrency(v).Value, other.AsCurrency().Value);
}

// ---------------------------------------------------------------------------------------------
// TvpFMTBCDAccessor

TBcd TvpFMTBCDAccessor::GetAsBCD(const TvpUniValue& v) const { return v.IsNull() ? NullBcd : Load<TBcd>(v); }
double TvpFMTBCDAccessor::GetAsFloat(const TvpUniValue& v) const { return v.IsNull() ? 0.0 : BcdToDouble(GetAsBCD(v)); }

Currency TvpFMTBCDAccessor::GetAsCurrency(const TvpUniValue& v) const {
  return v.IsNull() ? Currency() : BCDToCurrency(GetAsBCD(v));
}

std::int64_t TvpFMTBCDAccessor::GetAsLargeint(const TvpUniValue& v) const { return v.IsNull() ? 0 : RoundBcd(GetAsBCD(v)); }
int TvpFMTBCDAccessor::GetAsInteger(const TvpUniValue& v) const { return NarrowToInt(GetAsLargeint(v)); }
String TvpFMTBCDAccessor::GetAsString(const TvpUniValue& v) const { return BcdToStr(GetAsBCD(v)); }
Variant TvpFMTBCDAccessor::GetAsVariant(const TvpUniValue& v) const { return VarFMTBcdCreate(GetAsBCD(v)); }

void TvpFMTBCDAccessor::SetAsBCD(TvpUniValue& v, const TBcd& value) const { Store<TBcd>(v, value); }
void TvpFMTBCDAccessor::SetAsCurrency(TvpUniValue& v, Currency value) const { SetAsBCD(v, CurrencyAsBcd(value)); }
void TvpFMTBCDAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsCurrency(v, Currency::FromDouble(value)); }
void TvpFMTBCDAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsCurrency(v, Currency::FromInt(value)); }
void TvpFMTBCDAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsBCD(v, VarToBcd(value)); }
void TvpFMTBCDAccessor::SetFromText(TvpUniValue& v, std::string_view text) const { SetAsBCD(v, StrToBcd(text)); }

void TvpFMTBCDAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (!IsTextValue(reader.NextValue())) {
    TvpNumericAccessor::ReadData(v, reader);
    return;
  }
  const String text = reader.ReadString();
  if (text.empty())
    v.Clear();
  else
    SetAsBCD(v, StrToBcd(text, StreamSettings()));
}

void TvpFMTBCDAccessor::ReadNumber(TvpUniValue& v, TReader& reader) const {
  if (reader.NextValue() == vaCurrency)
    SetAsCurrency(v, reader.ReadCurrency());
  else
    SetAsFloat(v, static_cast<double>(reader.ReadFloat()));
}

void TvpFMTBCDAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const {
  // A currency loses nothing of a value of at most four places within its range; anything
  // else keeps every digit as text.
  const TBcd bcd = GetAsBCD(v);
  Currency amount;
  if (BcdScale(bcd) <= 4 && BCDToCurr(bcd, amount))
    writer.WriteCurrency(amount);
  else
    writer.WriteString(BcdToStr(bcd, StreamSettings()));
}

void TvpFMTBCDAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsBCD(v, source.AsBCD()); }
void TvpFMTBCDAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsBCD(v, field.AsBCD()); }
void TvpFMTBCDAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsBCD(v, param.AsFMTBCD()); }
void TvpFMTBCDAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsBCD(GetAsBCD(v)); }
void TvpFMTBCDAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsFMTBCD(GetAsBCD(v)); }

int TvpFMTBCDAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  if (other.DataType() == ftFMTBcd || other.DataType() == ftBCD) return BcdCompare(GetAsBCD(v), other.AsBCD());
  return Sign(GetAsFloat(v), other.AsFloat());
}

}  // namespace zv
