#include "platform/db/Params.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TParam, TCollectionItem)
ZV_DEFINE_CLASS(TParams, TOwnedCollection)

namespace {

// The field type a value of unknown type gives its parameter.
TFieldType FieldTypeOfVariant(const Variant& v) {
  switch (v.VarType()) {
    case varSmallint:
    case varShortInt:
    case varByte: return ftSmallint;
    case varWord: return ftWord;
    case varInteger: return ftInteger;
    case varLongWord:
    case varInt64:
    case varUInt64: return ftLargeint;
    case varCurrency: return ftBCD;
    case varSingle:
    case varDouble: return ftFloat;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varString:
    case varOleStr: return ftString;
    case varFMTBcd: return ftFMTBcd;
    case varSQLTimeStamp: return ftTimeStamp;
    case varArray | varByte: return ftBlob;
    default: return ftUnknown;
  }
}

// The variant kind a parameter of a type holds; varEmpty when the value is kept as it is.
TVarType VarTypeOfField(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo:
    case ftGuid: return varString;
    case ftSmallint: return varSmallint;
    case ftInteger:
    case ftWord:
    case ftAutoInc: return varInteger;
    case ftLargeint: return varInt64;
    case ftBoolean: return varBoolean;
    case ftFloat: return varDouble;
    case ftCurrency:
    case ftBCD: return varCurrency;
    case ftDate:
    case ftTime:
    case ftDateTime: return varDate;
    case ftFMTBcd: return varFMTBcd;
    case ftTimeStamp: return varSQLTimeStamp;
    default: return varEmpty;
  }
}

String BytesText(const Variant& v) {
  if (v.VarType() == (varArray | varByte)) {
    auto b = v.Bytes();
    return String(reinterpret_cast<const char*>(b.data()), b.size());
  }
  return v.AsString();
}

bool IsNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || u >= 0x80;
}

bool IsQuote(char c) { return c == '\'' || c == '"' || c == '`'; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TParam

void TParam::DeclareProperties(TPropTable<TParam>& t) {
  t.Prop("DataType", &TParam::DataType, &TParam::SetDataType).Default(ftUnknown);
  t.Prop("Name", &TParam::Name, &TParam::SetName);
  t.Prop("NumericScale", &TParam::NumericScale, &TParam::SetNumericScale).Default(0);
  t.Prop("ParamType", &TParam::ParamType, &TParam::SetParamType).Default(ptUnknown);
  t.Prop("Precision", &TParam::Precision, &TParam::SetPrecision).Default(0);
  t.Prop("Size", &TParam::Size, &TParam::SetSize).Default(0);
  t.Prop("Value", &TParam::Value, &TParam::SetValue);
}

TParam::TParam(TCollection* collection) : TCollectionItem(collection) {}
TParam::TParam(TParams* params, TParamType paramType) : TCollectionItem(params), fParamType(paramType) {}

TParams* TParam::Params() const { return dynamic_cast<TParams*>(Collection()); }

void TParam::SetDataType(TFieldType type) {
  fDataType = type;
  if (IsNull()) return;
  const TVarType target = VarTypeOfField(type);
  if (target == varEmpty) return;
  try {
    fData = VarAsType(fData, target);
  } catch (const Exception&) {
    Clear();
  }
}

void TParam::SetBound(bool v) {
  fBound = v;
  if (!v) fData = Variant();
  Changed(false);
}

void TParams::Update(TCollectionItem* item) {
  TOwnedCollection::Update(item);
  if (OnChange) OnChange();
}

void TParam::SetValue(const Variant& value) {
  fBound = !value.IsEmpty();
  if (fDataType == ftUnknown) fDataType = FieldTypeOfVariant(value);
  fData = value;
  Changed(false);
}

void TParam::SetTyped(TFieldType type, Variant value) {
  fDataType = type;
  fData = std::move(value);
  fBound = true;
  Changed(false);
}

String TParam::AsString() const {
  if (IsNull()) return String();
  if (fDataType == ftBoolean) return fData.AsBoolean() ? STextTrue : STextFalse;
  return BytesText(fData);
}

void TParam::SetAsString(const String& v) {
  const bool keep = fDataType == ftFixedChar || fDataType == ftWideString;
  SetTyped(keep ? fDataType : ftString, Variant(v));
}

int TParam::AsInteger() const { return IsNull() ? 0 : fData.AsInteger(); }
void TParam::SetAsInteger(int v) { SetTyped(ftInteger, Variant(v)); }
void TParam::SetAsSmallInt(int v) { SetTyped(ftSmallint, Variant(v)); }
void TParam::SetAsWord(int v) { SetTyped(ftWord, Variant(v)); }
std::int64_t TParam::AsLargeInt() const { return IsNull() ? 0 : fData.AsInt64(); }
void TParam::SetAsLargeInt(std::int64_t v) { SetTyped(ftLargeint, Variant(v)); }
double TParam::AsFloat() const { return IsNull() ? 0 : fData.AsDouble(); }
void TParam::SetAsFloat(double v) { SetTyped(ftFloat, Variant(v)); }
Currency TParam::AsCurrency() const { return IsNull() ? Currency() : fData.AsCurrency(); }
void TParam::SetAsCurrency(Currency v) { SetTyped(ftCurrency, Variant(v)); }
Currency TParam::AsBCD() const { return AsCurrency(); }
void TParam::SetAsBCD(Currency v) { SetTyped(ftBCD, Variant(v)); }
TBcd TParam::AsFMTBCD() const { return IsNull() ? NullBcd : fData.AsBcd(); }
void TParam::SetAsFMTBCD(const TBcd& v) { SetTyped(ftFMTBcd, VarFMTBcdCreate(v)); }
bool TParam::AsBoolean() const { return !IsNull() && fData.AsBoolean(); }
void TParam::SetAsBoolean(bool v) { SetTyped(ftBoolean, Variant(v)); }
void TParam::SetAsDate(TDateTime v) { SetTyped(ftDate, Variant(v)); }
void TParam::SetAsTime(TDateTime v) { SetTyped(ftTime, Variant(v)); }
TDateTime TParam::AsDateTime() const { return IsNull() ? TDateTime() : fData.AsDateTime(); }
void TParam::SetAsDateTime(TDateTime v) { SetTyped(ftDateTime, Variant(v)); }
TSQLTimeStamp TParam::AsSQLTimeStamp() const { return IsNull() ? NullSQLTimeStamp : fData.AsSQLTimeStamp(); }
void TParam::SetAsSQLTimeStamp(const TSQLTimeStamp& v) { SetTyped(ftTimeStamp, VarSQLTimeStampCreate(v)); }
void TParam::SetAsMemo(const String& v) { SetTyped(ftMemo, Variant(v)); }
String TParam::AsBlob() const { return IsNull() ? String() : BytesText(fData); }

void TParam::SetAsBlob(const String& v) {
  SetTyped(ftBlob, VarArrayOfBytes(std::span(reinterpret_cast<const std::uint8_t*>(v.data()), v.size())));
}

void TParam::AssignField(const TField* field) {
  if (!field) return;
  AssignFieldValue(field, field->Value());
  fName = field->FieldName();
}

void TParam::AssignFieldValue(const TField* field, const Variant& value) {
  if (!field) return;
  fDataType = field->DataType();
  if (value.IsNull() || value.IsEmpty())
    Clear();
  else
    fData = value;
  fBound = true;
  fSize = field->Size();
  if (auto* bcd = dynamic_cast<const TBCDField*>(field)) {
    fPrecision = bcd->Precision();
    fNumericScale = bcd->Size();
  } else if (auto* fmt = dynamic_cast<const TFMTBCDField*>(field)) {
    fPrecision = fmt->Precision();
    fNumericScale = fmt->Size();
  }
}

void TParam::AssignTo(TPersistent* dest) const {
  if (auto* field = dynamic_cast<TField*>(dest)) {
    if (IsNull())
      field->Clear();
    else
      field->SetValue(fData);
    return;
  }
  TCollectionItem::AssignTo(dest);
}

void TParam::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TParam*>(source)) {
    fName = other->fName;
    fDataType = other->fDataType;
    fParamType = other->fParamType;
    fPrecision = other->fPrecision;
    fNumericScale = other->fNumericScale;
    fSize = other->fSize;
    fBound = other->fBound;
    fData = other->fData;
    return;
  }
  if (auto* field = dynamic_cast<const TField*>(source)) {
    AssignField(field);
    return;
  }
  TCollectionItem::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// TParams

TParams::TParams(TPersistent* owner) : TOwnedCollection(owner, TParam::StaticClass()) {}

TParam* TParams::CreateParam(TFieldType type, const String& name, TParamType paramType) {
  TParam* p = AddParameter();
  p->SetName(name);
  p->SetDataType(type);
  p->SetParamType(paramType);
  return p;
}

TParam* TParams::FindParam(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (CaseFoldCompare(Items(i)->Name(), name) == 0) return Items(i);
  return nullptr;
}

TParam* TParams::ParamByName(std::string_view name) const {
  TParam* p = FindParam(name);
  if (!p) DatabaseErrorFmt(SParameterNotFound, {name});
  return p;
}

std::vector<TParam*> TParams::GetParamList(const String& paramNames) const {
  std::vector<TParam*> list;
  std::size_t start = 0;
  while (start <= paramNames.size()) {
    const std::size_t semicolon = paramNames.find(';', start);
    const std::size_t end = semicolon == String::npos ? paramNames.size() : semicolon;
    const String name = Trim(std::string_view(paramNames).substr(start, end - start));
    if (!name.empty()) list.push_back(ParamByName(name));
    if (semicolon == String::npos) break;
    start = semicolon + 1;
  }
  return list;
}

Variant TParams::ParamValues(const String& paramNames) const {
  const std::vector<TParam*> list = GetParamList(paramNames);
  if (paramNames.find(';') == String::npos) return list.empty() ? Variant::Null() : list.front()->Value();
  std::vector<Variant> values;
  values.reserve(list.size());
  for (TParam* p : list) values.push_back(p->Value());
  return VarArrayOf(values);
}

void TParams::SetParamValues(const String& paramNames, const Variant& values) {
  const std::vector<TParam*> list = GetParamList(paramNames);
  if (paramNames.find(';') == String::npos) {
    if (!list.empty()) list.front()->SetValue(values);
    return;
  }
  const int low = VarArrayLowBound(values, 1);
  for (std::size_t i = 0; i < list.size(); ++i) list[i]->SetValue(values.GetElement(low + static_cast<int>(i)));
}

void TParams::AssignValues(const TParams& values) {
  for (int i = 0; i < values.Count(); ++i)
    if (TParam* p = FindParam(values.Items(i)->Name())) p->Assign(values.Items(i));
}

bool TParams::IsEqual(const TParams& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i) {
    const TParam* a = Items(i);
    const TParam* b = other.Items(i);
    if (a->Name() != b->Name() || a->DataType() != b->DataType() || a->ParamType() != b->ParamType() ||
        a->Bound() != b->Bound() || !(a->Value() == b->Value()))
      return false;
  }
  return true;
}

String TParams::ParseSQL(const String& sql, bool doCreate) {
  if (doCreate) Clear();
  String out;
  out.reserve(sql.size());
  const std::size_t n = sql.size();
  char quote = 0;  // the quote of the literal the scan is in
  std::size_t i = 0;
  while (i < n) {
    const char c = sql[i];
    if (quote) {
      out += c;
      if (c == quote) quote = 0;
      ++i;
      continue;
    }
    if (IsQuote(c)) {
      quote = c;
      out += c;
      ++i;
      continue;
    }
    if (c != ':') {
      out += c;
      ++i;
      continue;
    }
    const char next = i + 1 < n ? sql[i + 1] : '\0';
    if (next == ':') {  // "::" is a literal colon
      out += ':';
      i += 2;
      continue;
    }
    String name;
    if (IsQuote(next)) {
      const std::size_t close = sql.find(next, i + 2);
      if (close == String::npos) {  // no closing quote: not a parameter
        out += c;
        ++i;
        continue;
      }
      name = sql.substr(i + 2, close - (i + 2));
      i = close + 1;
    } else if (IsNameChar(next)) {
      std::size_t j = i + 1;
      while (j < n && IsNameChar(sql[j])) ++j;
      name = sql.substr(i + 1, j - (i + 1));
      i = j;
    } else {  // ":=" and a lone colon stay as they are
      out += c;
      ++i;
      continue;
    }
    out += '?';
    if (doCreate) CreateParam(ftUnknown, name, ptInput);
  }
  return out;
}

}  // namespace zv
