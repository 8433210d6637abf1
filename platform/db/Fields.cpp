// The field classes. Sections: class map; string fields; numeric fields (integer, large
// integer, float, BCD, FMTBcd); boolean; date-time and SQL time stamp; binary and blob;
// variant.

#include "platform/db/Fields.h"

#include "platform/classes/Streams.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/EditMask.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace zv {

namespace {

// Sets a property's member; true when the value changed.
template <class T>
bool Store(T& member, const T& value) {
  if (member == value) return false;
  member = value;
  return true;
}

// A float rounded half to even, as the host's Round; false when it leaves the 64-bit range.
bool RoundToInt64(double v, std::int64_t& out) {
  const double r = std::nearbyint(v);
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return false;
  out = static_cast<std::int64_t>(r);
  return true;
}

int CheckedInt(std::int64_t v) {
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) throw ERangeError(SRangeError);
  return static_cast<int>(v);
}

String BytesToString(std::span<const std::uint8_t> bytes) {
  return String(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<std::uint8_t> StringToBytes(std::string_view s) {
  return std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(s.data()),
                                   reinterpret_cast<const std::uint8_t*>(s.data()) + s.size());
}

// The bytes of a value: a byte array as it is, any other array element by element (each
// 0..255), anything else through its text.
std::vector<std::uint8_t> BytesOf(const Variant& v) {
  if (v.VarType() == (varArray | varByte)) {
    auto b = v.Bytes();
    return std::vector<std::uint8_t>(b.begin(), b.end());
  }
  if (v.IsArray()) {
    std::vector<std::uint8_t> out;
    for (int i = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1); i <= hi; ++i) {
      const int e = v.GetElement(i).AsInteger();
      if (e < 0 || e > 255) throw ERangeError(SRangeError);
      out.push_back(static_cast<std::uint8_t>(e));
    }
    return out;
  }
  return StringToBytes(v.AsString());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// String fields

ZV_DEFINE_CLASS_WITH_PROPS(TStringField, TField)
ZV_DEFINE_CLASS(TWideStringField, TStringField)
ZV_DEFINE_CLASS(TGuidField, TStringField)

void TStringField::DeclareProperties(TPropTable<TStringField>& t) {
  t.Prop("FixedChar", &TStringField::FixedChar, &TStringField::SetFixedChar).Default(false);
  t.Prop("Size", &TField::Size, &TField::SetSize).Default(20);
  t.Prop("Transliterate", &TStringField::Transliterate, &TStringField::SetTransliterate).Default(true);
}

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  SetSize(20);
}

void TStringField::SetFixedChar(bool value) { SetDataType(value ? ftFixedChar : ftString); }

void TStringField::CheckTypeSize(int size) const {
  if (size < 0) DatabaseError(SInvalidFieldSize);
}

String TStringField::AsString() const {
  Variant v;
  return GetData(v) ? v.AsString() : String();
}

void TStringField::SetAsString(const String& v) {
  // The host's fixed-size buffer keeps the first Size characters.
  if (Size() > 0 && Length(v) > Size())
    SetData(Variant(Copy(v, 1, Size())));
  else
    SetData(Variant(v));
}

int TStringField::AsInteger() const { return StrToInt(AsString()); }
void TStringField::SetAsInteger(int v) { SetAsString(IntToStr(v)); }
std::int64_t TStringField::AsLargeInt() const { return StrToInt64(AsString()); }
void TStringField::SetAsLargeInt(std::int64_t v) { SetAsString(IntToStr(v)); }
double TStringField::AsFloat() const { return StrToFloat(AsString()); }
void TStringField::SetAsFloat(double v) { SetAsString(FloatToStr(v)); }
TBcd TStringField::AsBCD() const { return StrToBcd(AsString()); }
void TStringField::SetAsBCD(const TBcd& v) { SetAsString(BcdToStr(v)); }

bool TStringField::AsBoolean() const {
  const String s = AsString();
  return !s.empty() && (s[0] == 'T' || s[0] == 't' || s[0] == 'Y' || s[0] == 'y');
}

void TStringField::SetAsBoolean(bool v) { SetAsString(v ? "T" : "F"); }
TDateTime TStringField::AsDateTime() const { return StrToDateTime(AsString()); }
void TStringField::SetAsDateTime(TDateTime v) { SetAsString(DateTimeToStr(v)); }

Variant TStringField::AsVariant() const {
  Variant v;
  return GetData(v) ? Variant(v.AsString()) : Variant::Null();
}

void TStringField::SetVarValue(const Variant& v) { SetAsString(v.AsString()); }
// Display text shows the value laid out on its edit mask (a phone number with its brackets);
// editing text stays the raw value, which a mask edit lays out itself.
String TStringField::GetText(bool displayText) const {
  // Shown, a long text is its start: no cell shows more, and the rest stays unread.
  Variant start;
  String text = !displayText ? AsString() : GetData(start, false) ? start.AsString() : String();
  if (displayText && !EditMask().empty()) return FormatMaskText(EditMask(), text);
  return text;
}

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) { SetDataType(ftWideString); }

TGuidField::TGuidField(TComponent* owner) : TStringField(owner) {
  SetDataType(ftGuid);
  SetSize(38);
}

void TGuidField::CheckTypeSize(int size) const {
  if (size != 38) DatabaseError(SInvalidFieldSize);
}

// ---------------------------------------------------------------------------------------------
// Numeric fields

ZV_DEFINE_CLASS_WITH_PROPS(TNumericField, TField)

void TNumericField::DeclareProperties(TPropTable<TNumericField>& t) {
  t.Prop("Alignment", &TField::Alignment, &TField::SetAlignment)
      .Default(taRightJustify);
  t.Prop("DisplayFormat", &TNumericField::DisplayFormat, &TNumericField::SetDisplayFormat);
  t.Prop("EditFormat", &TNumericField::EditFormat, &TNumericField::SetEditFormat);
}

TNumericField::TNumericField(TComponent* owner) : TField(owner) { SetAlignment(taRightJustify); }

namespace {

// What the numeric classes accept as typed: signs and digits, the decimal separator of the
// settings in force when the field is made (as the host's), and the exponent letter.
TFieldChars NumberChars(bool decimals, bool exponent) {
  TFieldChars chars{U'+', U'-'};
  chars.Include(U'0', U'9');
  if (decimals) chars.Include(FormatSettings().DecimalSeparator.Code());
  if (exponent) chars.Include(U'E').Include(U'e');
  return chars;
}

}  // namespace

void TNumericField::SetDisplayFormat(const String& v) { if (Store(fDisplayFormat, v)) PropertyChanged(false); }

void TNumericField::SetEditFormat(const String& v) { if (Store(fEditFormat, v)) PropertyChanged(false); }

const String& TNumericField::FormatFor(bool displayText) const {
  return displayText || fEditFormat.empty() ? fDisplayFormat : fEditFormat;
}

void TNumericField::RangeError(double value, double min, double max) const {
  DatabaseErrorFmt(SFieldRangeError, {value, DisplayName(), min, max});
}

// Integer ------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TIntegerField, TNumericField)
ZV_DEFINE_CLASS(TSmallintField, TIntegerField)
ZV_DEFINE_CLASS(TWordField, TIntegerField)
ZV_DEFINE_CLASS(TAutoIncField, TIntegerField)

void TIntegerField::DeclareProperties(TPropTable<TIntegerField>& t) {
  t.Prop("MaxValue", &TIntegerField::MaxValue, &TIntegerField::SetMaxValue).Default(0);
  t.Prop("MinValue", &TIntegerField::MinValue, &TIntegerField::SetMinValue).Default(0);
}

TIntegerField::TIntegerField(TComponent* owner)
    : TIntegerField(owner, ftInteger, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()) {}

TIntegerField::TIntegerField(TComponent* owner, TFieldType type, std::int64_t minRange, std::int64_t maxRange)
    : TNumericField(owner), fMinRange(minRange), fMaxRange(maxRange) {
  SetDataType(type);
  SetValidChars(NumberChars(false, false));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner, ftSmallint, -32768, 32767) {}
TWordField::TWordField(TComponent* owner) : TIntegerField(owner, ftWord, 0, 65535) {}
TAutoIncField::TAutoIncField(TComponent* owner)
    : TIntegerField(owner, ftAutoInc, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()) {}

void TIntegerField::SetMinValue(int v) { fMinValue = v; }
void TIntegerField::SetMaxValue(int v) { fMaxValue = v; }

bool TIntegerField::GetValue(int& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsInteger();
  return true;
}

void TIntegerField::CheckRange(std::int64_t v) const {
  // Both bounds 0 means no bounds of the field's own: the type's range still applies.
  if (fMinValue != 0 || fMaxValue != 0) {
    if (v < fMinValue || v > fMaxValue)
      RangeError(static_cast<double>(v), fMinValue, fMaxValue);
  } else if (v < fMinRange || v > fMaxRange) {
    RangeError(static_cast<double>(v), static_cast<double>(fMinRange), static_cast<double>(fMaxRange));
  }
}

String TIntegerField::AsString() const {
  int v = 0;
  return GetValue(v) ? IntToStr(v) : String();
}

void TIntegerField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  int n = 0;
  if (!TryStrToInt(v, n)) DatabaseErrorFmt(SInvalidIntegerValue, {v, DisplayName()});
  SetAsInteger(n);
}

int TIntegerField::AsInteger() const {
  int v = 0;
  return GetValue(v) ? v : 0;
}

void TIntegerField::SetAsInteger(int v) {
  CheckRange(v);
  SetData(Variant(v));
}

std::int64_t TIntegerField::AsLargeInt() const { return AsInteger(); }

void TIntegerField::SetAsLargeInt(std::int64_t v) {
  CheckRange(v);
  SetData(Variant(static_cast<int>(v)));
}

double TIntegerField::AsFloat() const { return AsInteger(); }

void TIntegerField::SetAsFloat(double v) {
  std::int64_t n = 0;
  if (!RoundToInt64(v, n)) {
    const bool own = fMinValue != 0 || fMaxValue != 0;
    RangeError(v, own ? fMinValue : static_cast<double>(fMinRange), own ? fMaxValue : static_cast<double>(fMaxRange));
  }
  SetAsLargeInt(n);
}

Variant TIntegerField::AsVariant() const {
  int v = 0;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

void TIntegerField::SetVarValue(const Variant& v) {
  if (VarIsFloat(v))
    SetAsFloat(v.AsDouble());
  else
    SetAsLargeInt(v.AsInt64());
}

String TIntegerField::GetText(bool displayText) const {
  int v = 0;
  if (!GetValue(v)) return String();
  const String& fmt = FormatFor(displayText);
  return fmt.empty() ? IntToStr(v) : FormatFloat(fmt, v);
}

// Large integer ------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TLargeintField, TNumericField)

void TLargeintField::DeclareProperties(TPropTable<TLargeintField>& t) {
  t.Prop("MaxValue", &TLargeintField::MaxValue, &TLargeintField::SetMaxValue).Default(0);
  t.Prop("MinValue", &TLargeintField::MinValue, &TLargeintField::SetMinValue).Default(0);
}

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftLargeint);
  SetValidChars(NumberChars(false, false));
}

void TLargeintField::SetMinValue(std::int64_t v) { fMinValue = v; }
void TLargeintField::SetMaxValue(std::int64_t v) { fMaxValue = v; }

bool TLargeintField::GetValue(std::int64_t& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsInt64();
  return true;
}

String TLargeintField::AsString() const {
  std::int64_t v = 0;
  return GetValue(v) ? IntToStr(v) : String();
}

void TLargeintField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  std::int64_t n = 0;
  if (!TryStrToInt64(v, n)) DatabaseErrorFmt(SInvalidIntegerValue, {v, DisplayName()});
  SetAsLargeInt(n);
}

int TLargeintField::AsInteger() const { return CheckedInt(AsLargeInt()); }
void TLargeintField::SetAsInteger(int v) { SetAsLargeInt(v); }

std::int64_t TLargeintField::AsLargeInt() const {
  std::int64_t v = 0;
  return GetValue(v) ? v : 0;
}

void TLargeintField::SetAsLargeInt(std::int64_t v) {
  if ((fMinValue != 0 || fMaxValue != 0) && (v < fMinValue || v > fMaxValue))
    RangeError(static_cast<double>(v), static_cast<double>(fMinValue), static_cast<double>(fMaxValue));
  SetData(Variant(v));
}

double TLargeintField::AsFloat() const { return static_cast<double>(AsLargeInt()); }

void TLargeintField::SetAsFloat(double v) {
  std::int64_t n = 0;
  if (!RoundToInt64(v, n)) {
    const bool own = fMinValue != 0 || fMaxValue != 0;
    RangeError(v, own ? static_cast<double>(fMinValue) : -9223372036854775808.0,
               own ? static_cast<double>(fMaxValue) : 9223372036854775807.0);
  }
  SetAsLargeInt(n);
}

Variant TLargeintField::AsVariant() const {
  std::int64_t v = 0;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

void TLargeintField::SetVarValue(const Variant& v) {
  if (VarIsFloat(v))
    SetAsFloat(v.AsDouble());
  else
    SetAsLargeInt(v.AsInt64());
}

String TLargeintField::GetText(bool displayText) const {
  std::int64_t v = 0;
  if (!GetValue(v)) return String();
  const String& fmt = FormatFor(displayText);
  return fmt.empty() ? IntToStr(v) : FormatFloat(fmt, static_cast<double>(v));
}

// Float --------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TFloatField, TNumericField)
ZV_DEFINE_CLASS(TCurrencyField, TFloatField)

void TFloatField::DeclareProperties(TPropTable<TFloatField>& t) {
  t.Prop("Currency", &TFloatField::Currency, &TFloatField::SetCurrency).Default(false);
  t.Prop("MaxValue", &TFloatField::MaxValue, &TFloatField::SetMaxValue);
  t.Prop("MinValue", &TFloatField::MinValue, &TFloatField::SetMinValue);
  t.Prop("Precision", &TFloatField::Precision, &TFloatField::SetPrecision).Default(15);
}

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftFloat);
  SetValidChars(NumberChars(true, true));
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) {
  SetDataType(ftCurrency);
  SetCurrency(true);
}

void TFloatField::SetCurrency(bool v) { if (Store(fCurrency, v)) PropertyChanged(false); }

void TFloatField::SetPrecision(int v) {
  v = v < 2 ? 2 : v > 15 ? 15 : v;
  if (Store(fPrecision, v)) PropertyChanged(false);
}

bool TFloatField::GetValue(double& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsDouble();
  return true;
}

String TFloatField::AsString() const {
  double v = 0;
  return GetValue(v) ? FloatToStr(v) : String();
}

void TFloatField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  double f = 0;
  if (!TryStrToFloat(v, f)) DatabaseErrorFmt(SInvalidFloatValue, {v, DisplayName()});
  SetAsFloat(f);
}

int TFloatField::AsInteger() const { return CheckedInt(AsLargeInt()); }
void TFloatField::SetAsInteger(int v) { SetAsFloat(v); }

std::int64_t TFloatField::AsLargeInt() const {
  std::int64_t n = 0;
  if (!RoundToInt64(AsFloat(), n)) throw ERangeError(SRangeError);
  return n;
}

void TFloatField::SetAsLargeInt(std::int64_t v) { SetAsFloat(static_cast<double>(v)); }

double TFloatField::AsFloat() const {
  double v = 0;
  return GetValue(v) ? v : 0;
}

void TFloatField::SetAsFloat(double v) {
  if ((fMinValue != 0 || fMaxValue != 0) && (v < fMinValue || v > fMaxValue)) RangeError(v, fMinValue, fMaxValue);
  SetData(Variant(v));
}

Variant TFloatField::AsVariant() const {
  double v = 0;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

void TFloatField::SetVarValue(const Variant& v) { SetAsFloat(v.AsDouble()); }

String TFloatField::GetText(bool displayText) const {
  double v = 0;
  if (!GetValue(v)) return String();
  const String& fmt = FormatFor(displayText);
  if (!fmt.empty()) return FormatFloat(fmt, v);
  if (fCurrency)
    return FloatToStrF(v, displayText ? ffCurrency : ffFixed, fPrecision, FormatSettings().CurrencyDecimals);
  return FloatToStrF(v, ffGeneral, fPrecision, 0);
}

// BCD ----------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TBCDField, TNumericField)

void TBCDField::DeclareProperties(TPropTable<TBCDField>& t) {
  t.Prop("Currency", &TBCDField::Currency, &TBCDField::SetCurrency).Default(false);
  t.Prop("MaxValue", &TBCDField::MaxValue, &TBCDField::SetMaxValue);
  t.Prop("MinValue", &TBCDField::MinValue, &TBCDField::SetMinValue);
  t.Prop("Precision", &TBCDField::Precision, &TBCDField::SetPrecision).Default(0);
  t.Prop("Size", &TField::Size, &TField::SetSize).Default(4);
}

TBCDField::TBCDField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftBCD);
  SetSize(4);
  SetValidChars(NumberChars(true, false));
}

void TBCDField::CheckTypeSize(int size) const {
  if (size < 0 || size > 4) DatabaseError(SInvalidFieldSize);
}

void TBCDField::SetCurrency(bool v) { if (Store(fCurrency, v)) PropertyChanged(false); }

void TBCDField::SetPrecision(int v) {
  v = v < 0 ? 0 : v > 32 ? 32 : v;
  if (Store(fPrecision, v)) PropertyChanged(false);
}

int TBCDField::GetDefaultWidth() const { return fPrecision > 0 ? fPrecision + 2 : 10; }

bool TBCDField::GetValue(zv::Currency& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsCurrency();
  return true;
}

String TBCDField::AsString() const {
  zv::Currency v;
  return GetValue(v) ? CurrToStr(v) : String();
}

void TBCDField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  zv::Currency c;
  if (!TryStrToCurr(v, c)) DatabaseErrorFmt(SInvalidFloatValue, {v, DisplayName()});
  SetAsCurrency(c);
}

int TBCDField::AsInteger() const { return Variant(AsCurrency()).AsInteger(); }
void TBCDField::SetAsInteger(int v) { SetAsCurrency(zv::Currency::FromInt(v)); }
std::int64_t TBCDField::AsLargeInt() const { return Variant(AsCurrency()).AsInt64(); }
void TBCDField::SetAsLargeInt(std::int64_t v) { SetAsCurrency(zv::Currency::FromInt(v)); }
double TBCDField::AsFloat() const { return AsCurrency().ToDouble(); }
void TBCDField::SetAsFloat(double v) { SetAsCurrency(zv::Currency::FromDouble(v)); }

zv::Currency TBCDField::AsCurrency() const {
  zv::Currency v;
  return GetValue(v) ? v : zv::Currency();
}

void TBCDField::SetAsCurrency(zv::Currency v) {
  if ((fMinValue != zv::Currency() || fMaxValue != zv::Currency()) && (v < fMinValue || v > fMaxValue))
    RangeError(v.ToDouble(), fMinValue.ToDouble(), fMaxValue.ToDouble());
  // The column keeps Size decimals; the rest is cut, as storing into the column's BCD does.
  std::int64_t scale = 1;
  for (int i = Size(); i < 4; ++i) scale *= 10;
  SetData(Variant(zv::Currency::FromScaled(v.Value / scale * scale)));
}

TBcd TBCDField::AsBCD() const {
  zv::Currency v;
  return GetValue(v) ? CurrencyToBcd(v) : NullBcd;
}

void TBCDField::SetAsBCD(const TBcd& v) { SetAsCurrency(BCDToCurrency(v)); }

Variant TBCDField::AsVariant() const {
  zv::Currency v;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

void TBCDField::SetVarValue(const Variant& v) { SetAsCurrency(v.AsCurrency()); }

String TBCDField::GetText(bool displayText) const {
  zv::Currency v;
  if (!GetValue(v)) return String();
  const String& fmt = FormatFor(displayText);
  if (!fmt.empty()) return FormatCurr(fmt, v);
  if (fCurrency) return CurrToStrF(v, displayText ? ffCurrency : ffFixed, FormatSettings().CurrencyDecimals);
  return CurrToStrF(v, ffGeneral, 0);
}

// FMTBcd -------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TFMTBCDField, TNumericField)

void TFMTBCDField::DeclareProperties(TPropTable<TFMTBCDField>& t) {
  t.Prop("Currency", &TFMTBCDField::Currency, &TFMTBCDField::SetCurrency).Default(false);
  t.Prop("MaxValue", &TFMTBCDField::MaxValue, &TFMTBCDField::SetMaxValue);
  t.Prop("MinValue", &TFMTBCDField::MinValue, &TFMTBCDField::SetMinValue);
  t.Prop("Precision", &TFMTBCDField::Precision, &TFMTBCDField::SetPrecision).Default(15);
  t.Prop("Size", &TField::Size, &TField::SetSize).Default(8);
}

TFMTBCDField::TFMTBCDField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftFMTBcd);
  SetSize(8);
  SetValidChars(NumberChars(true, false));
}

void TFMTBCDField::CheckTypeSize(int size) const {
  if (size < 0 || size > TBcd::MaxPlaces) DatabaseError(SInvalidFieldSize);
}

void TFMTBCDField::SetCurrency(bool v) { if (Store(fCurrency, v)) PropertyChanged(false); }

void TFMTBCDField::SetPrecision(int v) {
  v = v < 0 ? 0 : v > TBcd::MaxDigits ? TBcd::MaxDigits : v;
  if (Store(fPrecision, v)) PropertyChanged(false);
}

// Bounds must be decimal numbers (or empty for none).
void TFMTBCDField::SetMinValue(const String& v) {
  if (!v.empty()) StrToBcd(v);
  fMinValue = v;
}

void TFMTBCDField::SetMaxValue(const String& v) {
  if (!v.empty()) StrToBcd(v);
  fMaxValue = v;
}

int TFMTBCDField::GetDefaultWidth() const { return fPrecision > 0 ? fPrecision + 2 : 10; }

bool TFMTBCDField::GetValue(TBcd& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsBcd();
  return true;
}

String TFMTBCDField::AsString() const {
  TBcd v;
  return GetValue(v) ? BcdToStr(v) : String();
}

void TFMTBCDField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  TBcd b;
  if (!TryStrToBcd(v, b)) DatabaseErrorFmt(SInvalidFloatValue, {v, DisplayName()});
  SetAsBCD(b);
}

int TFMTBCDField::AsInteger() const { return BcdToInteger(AsBCD(), true); }
void TFMTBCDField::SetAsInteger(int v) { SetAsBCD(IntegerToBcd(v)); }
std::int64_t TFMTBCDField::AsLargeInt() const { return BcdToInt64(AsBCD(), true); }
void TFMTBCDField::SetAsLargeInt(std::int64_t v) { SetAsBCD(IntegerToBcd(v)); }
double TFMTBCDField::AsFloat() const { return BcdToDouble(AsBCD()); }
void TFMTBCDField::SetAsFloat(double v) { SetAsBCD(DoubleToBcd(v)); }
zv::Currency TFMTBCDField::AsCurrency() const { return BCDToCurrency(AsBCD()); }
void TFMTBCDField::SetAsCurrency(zv::Currency v) { SetAsBCD(CurrencyToBcd(v)); }

TBcd TFMTBCDField::AsBCD() const {
  TBcd v;
  return GetValue(v) ? v : NullBcd;
}

void TFMTBCDField::SetAsBCD(const TBcd& v) {
  if (!fMinValue.empty() || !fMaxValue.empty()) {
    const bool below = !fMinValue.empty() && BcdCompare(v, StrToBcd(fMinValue)) < 0;
    const bool above = !fMaxValue.empty() && BcdCompare(v, StrToBcd(fMaxValue)) > 0;
    if (below || above)
      RangeError(BcdToDouble(v), fMinValue.empty() ? 0.0 : BcdToDouble(StrToBcd(fMinValue)),
                 fMaxValue.empty() ? 0.0 : BcdToDouble(StrToBcd(fMaxValue)));
  }
  TBcd stored = v;
  const int places = BcdScale(v);
  if (places > Size()) {
    // The column keeps Size decimals; the rest is cut.
    const int integral = BcdPrecision(v) - places;
    NormalizeBcd(v, stored, std::max(1, integral + Size()), Size());
  }
  SetData(VarFMTBcdCreate(stored));
}

Variant TFMTBCDField::AsVariant() const {
  TBcd v;
  return GetValue(v) ? VarFMTBcdCreate(v) : Variant::Null();
}

void TFMTBCDField::SetVarValue(const Variant& v) { SetAsBCD(v.AsBcd()); }

String TFMTBCDField::GetText(bool displayText) const {
  TBcd v;
  if (!GetValue(v)) return String();
  const String& fmt = FormatFor(displayText);
  zv::Currency c;
  // Pictures and money formats are exact through Currency when the value fits in one.
  const bool fits = BCDToCurr(v, c) && BcdScale(v) <= 4;
  if (!fmt.empty()) return fits ? FormatCurr(fmt, c) : FormatFloat(fmt, BcdToDouble(v));
  if (fCurrency) {
    const TFloatFormat f = displayText ? ffCurrency : ffFixed;
    const int digits = FormatSettings().CurrencyDecimals;
    return fits ? CurrToStrF(c, f, digits) : FloatToStrF(BcdToDouble(v), f, 18, digits);
  }
  return BcdToStr(v);
}

// ---------------------------------------------------------------------------------------------
// Boolean

ZV_DEFINE_CLASS_WITH_PROPS(TBooleanField, TField)

void TBooleanField::DeclareProperties(TPropTable<TBooleanField>& t) {
  t.Prop("DisplayValues", &TBooleanField::DisplayValues, &TBooleanField::SetDisplayValues);
}

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

void TBooleanField::SetDisplayValues(const String& v) {
  if (v == fDisplayValues) return;
  fDisplayValues = v;
  if (v.empty()) {
    fTrueText = STextTrue;
    fFalseText = STextFalse;
  } else {
    const auto semicolon = v.find(';');
    fTrueText = v.substr(0, semicolon);
    fFalseText = semicolon == String::npos ? String() : v.substr(semicolon + 1);
  }
  PropertyChanged(true);
}

int TBooleanField::GetDefaultWidth() const { return std::max(Length(fTrueText), Length(fFalseText)); }

String TBooleanField::AsString() const {
  Variant v;
  if (!GetData(v)) return String();
  return v.AsBoolean() ? fTrueText : fFalseText;
}

void TBooleanField::SetAsString(const String& v) {
  if (v.empty()) {
    // Empty text is the value whose text is empty, if one is.
    if (fFalseText.empty())
      SetAsBoolean(false);
    else if (fTrueText.empty())
      SetAsBoolean(true);
    else
      Clear();
    return;
  }
  // Any leading part of a text will do ("f", "Tr"), ignoring case; false is tried first.
  const int n = Length(v);
  auto matches = [&](const String& text) { return Length(text) >= n && AnsiSameText(Copy(text, 1, n), v); };
  if (matches(fFalseText))
    SetAsBoolean(false);
  else if (matches(fTrueText))
    SetAsBoolean(true);
  else
    DatabaseErrorFmt(SInvalidBoolValue, {v, DisplayName()});
}

bool TBooleanField::AsBoolean() const {
  Variant v;
  return GetData(v) && v.AsBoolean();
}

void TBooleanField::SetAsBoolean(bool v) { SetData(Variant(v)); }

Variant TBooleanField::AsVariant() const {
  Variant v;
  return GetData(v) ? Variant(v.AsBoolean()) : Variant::Null();
}

void TBooleanField::SetVarValue(const Variant& v) { SetAsBoolean(v.AsBoolean()); }

// ---------------------------------------------------------------------------------------------
// Date-time and SQL time stamp

ZV_DEFINE_CLASS_WITH_PROPS(TDateTimeField, TField)
ZV_DEFINE_CLASS(TDateField, TDateTimeField)
ZV_DEFINE_CLASS(TTimeField, TDateTimeField)

void TDateTimeField::DeclareProperties(TPropTable<TDateTimeField>& t) {
  t.Prop("DisplayFormat", &TDateTimeField::DisplayFormat, &TDateTimeField::SetDisplayFormat);
}

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}

void TDateTimeField::SetDisplayFormat(const String& v) { if (Store(fDisplayFormat, v)) PropertyChanged(false); }

bool TDateTimeField::GetValue(TDateTime& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsDateTime();
  return true;
}

String TDateTimeField::AsString() const { return GetText(false); }

void TDateTimeField::SetAsString(const String& v) {
  if (v.empty()) return Clear();
  switch (DataType()) {
    case ftDate: SetAsDateTime(StrToDate(v)); break;
    case ftTime: SetAsDateTime(StrToTime(v)); break;
    default: SetAsDateTime(StrToDateTime(v)); break;
  }
}

double TDateTimeField::AsFloat() const { return AsDateTime().Value; }
void TDateTimeField::SetAsFloat(double v) { SetAsDateTime(TDateTime(v)); }

TDateTime TDateTimeField::AsDateTime() const {
  TDateTime v;
  return GetValue(v) ? v : TDateTime();
}

void TDateTimeField::SetAsDateTime(TDateTime v) {
  // A date column keeps the day, a time column the time of day.
  switch (DataType()) {
    case ftDate: SetData(Variant(DateOf(v))); break;
    case ftTime: SetData(Variant(TimeOf(v))); break;
    default: SetData(Variant(v)); break;
  }
}

TSQLTimeStamp TDateTimeField::AsSQLTimeStamp() const {
  TDateTime v;
  return GetValue(v) ? DateTimeToSQLTimeStamp(v) : NullSQLTimeStamp;
}

void TDateTimeField::SetAsSQLTimeStamp(const TSQLTimeStamp& v) { SetAsDateTime(SQLTimeStampToDateTime(v)); }

Variant TDateTimeField::AsVariant() const {
  TDateTime v;
  return GetValue(v) ? Variant(v) : Variant::Null();
}

void TDateTimeField::SetVarValue(const Variant& v) { SetAsDateTime(v.AsDateTime()); }

String TDateTimeField::GetText(bool displayText) const {
  TDateTime v;
  if (!GetValue(v)) return String();
  String fmt;
  if (displayText && !fDisplayFormat.empty())
    fmt = fDisplayFormat;
  else if (DataType() == ftDate)
    fmt = FormatSettings().ShortDateFormat;
  else if (DataType() == ftTime)
    fmt = FormatSettings().LongTimeFormat;
  return FormatDateTime(fmt, v);
}

ZV_DEFINE_CLASS_WITH_PROPS(TSQLTimeStampField, TField)

void TSQLTimeStampField::DeclareProperties(TPropTable<TSQLTimeStampField>& t) {
  t.Prop("DisplayFormat", &TSQLTimeStampField::DisplayFormat, &TSQLTimeStampField::SetDisplayFormat);
}

TSQLTimeStampField::TSQLTimeStampField(TComponent* owner) : TField(owner) { SetDataType(ftTimeStamp); }

void TSQLTimeStampField::SetDisplayFormat(const String& v) { if (Store(fDisplayFormat, v)) PropertyChanged(false); }

bool TSQLTimeStampField::GetValue(TSQLTimeStamp& v) const {
  Variant d;
  if (!GetData(d)) return false;
  v = d.AsSQLTimeStamp();
  return true;
}

String TSQLTimeStampField::AsString() const { return GetText(false); }

void TSQLTimeStampField::SetAsString(const String& v) {
  if (v.empty())
    Clear();
  else
    SetAsSQLTimeStamp(StrToSQLTimeStamp(v));
}

double TSQLTimeStampField::AsFloat() const { return AsDateTime().Value; }
void TSQLTimeStampField::SetAsFloat(double v) { SetAsDateTime(TDateTime(v)); }

TDateTime TSQLTimeStampField::AsDateTime() const {
  TSQLTimeStamp v;
  return GetValue(v) ? SQLTimeStampToDateTime(v) : TDateTime();
}

void TSQLTimeStampField::SetAsDateTime(TDateTime v) { SetAsSQLTimeStamp(DateTimeToSQLTimeStamp(v)); }

TSQLTimeStamp TSQLTimeStampField::AsSQLTimeStamp() const {
  TSQLTimeStamp v;
  return GetValue(v) ? v : NullSQLTimeStamp;
}

void TSQLTimeStampField::SetAsSQLTimeStamp(const TSQLTimeStamp& v) {
  CheckSqlTimeStamp(v);
  SetData(VarSQLTimeStampCreate(v));
}

Variant TSQLTimeStampField::AsVariant() const {
  TSQLTimeStamp v;
  return GetValue(v) ? VarSQLTimeStampCreate(v) : Variant::Null();
}

void TSQLTimeStampField::SetVarValue(const Variant& v) { SetAsSQLTimeStamp(v.AsSQLTimeStamp()); }

String TSQLTimeStampField::GetText(bool displayText) const {
  TSQLTimeStamp v;
  if (!GetValue(v)) return String();
  return SQLTimeStampToStr(displayText ? fDisplayFormat : String(), v);
}

// ---------------------------------------------------------------------------------------------
// Binary and blob fields

ZV_DEFINE_CLASS(TBinaryField, TField)
ZV_DEFINE_CLASS_WITH_PROPS(TBytesField, TBinaryField)
ZV_DEFINE_CLASS_WITH_PROPS(TVarBytesField, TBinaryField)

template <class C>
static void DeclareBinarySize(TPropTable<C>& t) {
  t.Prop("Size", &TField::Size, &TField::SetSize).Default(16);
}
void TBytesField::DeclareProperties(TPropTable<TBytesField>& t) { DeclareBinarySize(t); }
void TVarBytesField::DeclareProperties(TPropTable<TVarBytesField>& t) { DeclareBinarySize(t); }

TBinaryField::TBinaryField(TComponent* owner, TFieldType type) : TField(owner) {
  SetDataType(type);
  SetSize(16);
}

TBytesField::TBytesField(TComponent* owner) : TBinaryField(owner, ftBytes) {}
TVarBytesField::TVarBytesField(TComponent* owner) : TBinaryField(owner, ftVarBytes) {}

void TBinaryField::CheckTypeSize(int size) const {
  if (size <= 0) DatabaseError(SInvalidFieldSize);
}

String TBinaryField::AsString() const {
  Variant v;
  return GetData(v) ? BytesToString(BytesOf(v)) : String();
}

void TBinaryField::SetAsString(const String& v) { SetVarValue(Variant(v)); }

Variant TBinaryField::AsVariant() const {
  Variant v;
  return GetData(v) ? VarArrayOfBytes(BytesOf(v)) : Variant::Null();
}

void TBinaryField::SetVarValue(const Variant& v) {
  std::vector<std::uint8_t> bytes = BytesOf(v);
  const auto size = static_cast<std::size_t>(Size());
  // Fixed-size bytes are padded with zeros; both kinds keep at most Size bytes.
  if (bytes.size() > size || DataType() == ftBytes) bytes.resize(size, 0);
  SetData(VarArrayOfBytes(bytes));
}

String TBinaryField::GetText(bool) const { return ClassDesc(); }

ZV_DEFINE_CLASS_WITH_PROPS(TBlobField, TField)
ZV_DEFINE_CLASS(TMemoField, TBlobField)
ZV_DEFINE_CLASS(TGraphicField, TBlobField)

void TBlobField::DeclareProperties(TPropTable<TBlobField>& t) {
  t.Prop("BlobType", &TBlobField::BlobType, &TBlobField::SetBlobType);
  t.Prop("Size", &TField::Size, &TField::SetSize).Default(0);
}

TBlobField::TBlobField(TComponent* owner) : TBlobField(owner, ftBlob) {}
TBlobField::TBlobField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TMemoField::TMemoField(TComponent* owner) : TBlobField(owner, ftMemo) {}
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic) {}

void TBlobField::SetBlobType(TFieldType type) { SetDataType(type); }

void TBlobField::CheckTypeSize(int size) const {
  if (size < 0) DatabaseError(SInvalidFieldSize);
}

int TBlobField::BlobSize() const { return static_cast<int>(std::min<std::int64_t>(DataLength(), INT_MAX)); }

void TBlobField::LoadFromStream(TStream& stream) {
  if (!DataSet()) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  std::unique_ptr<TStream> blob = DataSet()->CreateBlobStream(this, bmWrite);
  blob->CopyFrom(stream, 0);
  fModified = true;
}

void TBlobField::SaveToStream(TStream& stream) const {
  if (!DataSet()) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  std::unique_ptr<TStream> blob = DataSet()->CreateBlobStream(const_cast<TBlobField*>(this), bmRead);
  stream.CopyFrom(*blob, 0);
}

void TBlobField::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TBlobField::SaveToFile(const String& fileName) const {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

String TBlobField::AsString() const {
  Variant v;
  return GetData(v) ? BytesToString(BytesOf(v)) : String();
}

void TBlobField::SetAsString(const String& v) { SetAsVariant(Variant(v)); }

Variant TBlobField::AsVariant() const {
  Variant v;
  return GetData(v) ? VarArrayOfBytes(BytesOf(v)) : Variant::Null();
}

void TBlobField::SetVarValue(const Variant& v) {
  const std::vector<std::uint8_t> bytes = BytesOf(v);
  // An empty blob is a null one, as the host reports it.
  if (bytes.empty())
    Clear();
  else
    SetData(VarArrayOfBytes(bytes));
  fModified = true;
}

String TBlobField::GetText(bool) const { return ClassDesc(); }

Variant TMemoField::AsVariant() const {
  Variant v;
  return GetData(v) ? Variant(BytesToString(BytesOf(v))) : Variant::Null();
}

void TMemoField::SetVarValue(const Variant& v) {
  const String text = v.IsArray() ? BytesToString(BytesOf(v)) : v.AsString();
  if (text.empty())
    Clear();
  else
    SetData(Variant(text));
  SetModified(true);
}

// ---------------------------------------------------------------------------------------------
// Variant

ZV_DEFINE_CLASS(TVariantField, TField)

TVariantField::TVariantField(TComponent* owner) : TField(owner) { SetDataType(ftVariant); }

String TVariantField::AsString() const { return VarToStr(AsVariant()); }
void TVariantField::SetAsString(const String& v) { SetAsVariant(Variant(v)); }
int TVariantField::AsInteger() const { return AsVariant().AsInteger(); }
void TVariantField::SetAsInteger(int v) { SetAsVariant(Variant(v)); }
std::int64_t TVariantField::AsLargeInt() const { return AsVariant().AsInt64(); }
void TVariantField::SetAsLargeInt(std::int64_t v) { SetAsVariant(Variant(v)); }
double TVariantField::AsFloat() const { return AsVariant().AsDouble(); }
void TVariantField::SetAsFloat(double v) { SetAsVariant(Variant(v)); }
zv::Currency TVariantField::AsCurrency() const { return AsVariant().AsCurrency(); }
void TVariantField::SetAsCurrency(zv::Currency v) { SetAsVariant(Variant(v)); }
TBcd TVariantField::AsBCD() const { return AsVariant().AsBcd(); }
void TVariantField::SetAsBCD(const TBcd& v) { SetAsVariant(VarFMTBcdCreate(v)); }
bool TVariantField::AsBoolean() const { return AsVariant().AsBoolean(); }
void TVariantField::SetAsBoolean(bool v) { SetAsVariant(Variant(v)); }
TDateTime TVariantField::AsDateTime() const { return AsVariant().AsDateTime(); }
void TVariantField::SetAsDateTime(TDateTime v) { SetAsVariant(Variant(v)); }
TSQLTimeStamp TVariantField::AsSQLTimeStamp() const { return AsVariant().AsSQLTimeStamp(); }
void TVariantField::SetAsSQLTimeStamp(const TSQLTimeStamp& v) { SetAsVariant(VarSQLTimeStampCreate(v)); }

Variant TVariantField::AsVariant() const {
  Variant v;
  return GetData(v) ? v : Variant::Null();
}

void TVariantField::SetVarValue(const Variant& v) { SetData(v); }

String TVariantField::GetText(bool displayText) const {
  Variant v;
  if (GetData(v) && v.IsArray()) return "(BLOB)";
  return TField::GetText(displayText);
}

}  // namespace zv
