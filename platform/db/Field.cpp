#include "platform/db/Field.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TField, TComponent)

TFieldChars& TFieldChars::Include(char32_t c) {
  if (fAllBut)
    fChars.erase(c);
  else
    fChars.insert(c);
  return *this;
}

TFieldChars& TFieldChars::Exclude(char32_t c) {
  if (fAllBut)
    fChars.insert(c);
  else
    fChars.erase(c);
  return *this;
}

TFieldChars& TFieldChars::Include(char32_t first, char32_t last) {
  for (char32_t c = first; c <= last && c >= first; ++c) Include(c);
  return *this;
}

void TField::DeclareProperties(TPropTable<TField>& t) {
  t.Prop("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
  t.Prop("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).Stored(&TField::IsDisplayLabelStored);
  t.Prop("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth).Stored(&TField::IsDisplayWidthStored);
  t.Prop("EditMask", &TField::EditMask, &TField::SetEditMask);
  t.Prop("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
  t.Prop("FieldName", &TField::FieldName, &TField::SetFieldName);
  t.Prop("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  t.Prop("LookupCache", &TField::LookupCache, &TField::SetLookupCache).Default(false);
  t.Prop("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  t.Prop("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  t.Prop("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  t.Prop("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
  t.Prop("Required", &TField::Required, &TField::SetRequired).Default(false);
  t.Prop("Visible", &TField::Visible, &TField::SetVisible).Default(true);
}

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  if (fLookupDataSet) fLookupDataSet->RemoveLookupField(this);
  // A dataset that is being destroyed drops its field list itself.
  if (fDataSet && !fDataSet->ComponentState().Contains(csDestroying)) {
    TDataSet* dataSet = fDataSet;
    fDataSet = nullptr;
    dataSet->Fields().Remove(this);
  }
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == fDataSet) return;
  if (fDataSet) fDataSet->CheckInactive();
  if (dataSet) {
    dataSet->CheckInactive();
    if (dataSet == fLookupDataSet) DatabaseError(SCircularDataLink, dataSet);
    if (fFieldName.empty()) DatabaseError(SFieldNameMissing, dataSet);
    if (dataSet->FindField(fFieldName)) DatabaseError(Format(SDuplicateFieldName, {fFieldName}), dataSet);
  }
  // The link is set before the list changes, so that a list that asks the field back finds
  // it already done.
  if (TDataSet* old = fDataSet) {
    fDataSet = nullptr;
    old->Fields().Remove(this);
  }
  if (dataSet) {
    fDataSet = dataSet;
    try {
      dataSet->Fields().Add(this);
    } catch (...) {
      fDataSet = nullptr;
      throw;
    }
  }
}

void TField::SetFieldName(const String& name) {
  CheckInactive();
  if (fDataSet && !SameText(name, fFieldName)) {
    if (name.empty()) DatabaseError(SFieldNameMissing, fDataSet);
    if (fDataSet->FindField(name)) DatabaseError(Format(SDuplicateFieldName, {name}), fDataSet);
  }
  fFieldName = name;
  if (fDisplayLabel == name) fDisplayLabel.clear();
}

void TField::SetFieldKind(TFieldKind kind) {
  if (kind == fFieldKind) return;
  CheckInactive();
  fFieldKind = kind;
}

void TField::SetCalculated(bool value) {
  if (value)
    SetFieldKind(fkCalculated);
  else if (fFieldKind == fkCalculated)
    SetFieldKind(fkData);
}

void TField::SetLookup(bool value) {
  if (value)
    SetFieldKind(fkLookup);
  else if (fFieldKind == fkLookup)
    SetFieldKind(fkData);
}

// ---------------------------------------------------------------------------------------------
// Lookup

void TField::SetLookupDataSet(TDataSet* dataSet) {
  if (dataSet == fLookupDataSet) return;
  // Looking up in itself would read the dataset while it reads the record being calculated.
  if (dataSet && dataSet == fDataSet) DatabaseError(SCircularDataLink, dataSet);
  if (fLookupDataSet) {
    fLookupDataSet->RemoveLookupField(this);
    RemoveFreeNotification(fLookupDataSet);
  }
  fLookupDataSet = dataSet;
  if (dataSet) {
    dataSet->AddLookupField(this);
    FreeNotification(dataSet);
  }
  LookupChanged();
}

void TField::SetLookupKeyFields(const String& names) {
  if (names == fLookupKeyFields) return;
  fLookupKeyFields = names;
  LookupChanged();
}

void TField::SetLookupResultField(const String& name) {
  if (name == fLookupResultField) return;
  fLookupResultField = name;
  LookupChanged();
}

void TField::SetKeyFields(const String& names) {
  if (names == fKeyFields) return;
  fKeyFields = names;
  LookupChanged();
}

void TField::SetLookupCache(bool value) {
  if (value == fLookupCache) return;
  fLookupCache = value;
  fLookupValues.clear();
}

void TField::LookupChanged() {
  fLookupValues.clear();
  if (fFieldKind == fkLookup && fDataSet && fDataSet->Active()) fDataSet->RecalcWindow();
}

void TField::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || !component || component != fLookupDataSet) return;
  // The lookup dataset is being destroyed: the field reads Null from now on. Whatever the
  // controls do on hearing it cannot reach a caller from inside a destructor.
  fLookupDataSet = nullptr;
  fLookupValues.clear();
  if (fFieldKind != fkLookup || !fDataSet || !fDataSet->Active() || fDataSet->ComponentState().Contains(csDestroying))
    return;
  try {
    fDataSet->DataEvent(deDataSetChange, 0);
  } catch (...) {
    fDataSet->HandleExceptionQuietly();
  }
}

Variant TField::LookupValue() {
  if (!fLookupDataSet || !fLookupDataSet->Active() || !fDataSet) return Variant::Null();
  const Variant key = fDataSet->FieldValues(fKeyFields);
  if (fLookupCache) {
    for (const TLookupValue& entry : fLookupValues) {
      if (VarType(entry.Key) != VarType(key)) continue;
      try {
        if (VarCompareValue(entry.Key, key) == vrEqual) return entry.Value;
      } catch (const Exception&) {
        // keys of the same kind that do not compare are simply different
      }
    }
  }
  Variant value = fLookupDataSet->ReadByKey(fLookupKeyFields, key, fLookupResultField);
  if (fLookupCache) {
    // A small cache: a window of rows repeats few keys, and a table of many keys is not
    // held in memory.
    constexpr std::size_t MaxCachedValues = 256;
    if (fLookupValues.size() >= MaxCachedValues) fLookupValues.erase(fLookupValues.begin());
    fLookupValues.push_back({key, value});
  }
  return value;
}

// ---------------------------------------------------------------------------------------------

void TField::SetSize(int size) {
  CheckInactive();
  CheckTypeSize(size);
  fSize = size;
}

void TField::CheckTypeSize(int size) const {
  if (size != 0 && !IsBlob()) DatabaseError(SInvalidFieldSize);
}

int TField::Index() const { return fDataSet ? fDataSet->Fields().IndexOf(this) : -1; }

void TField::SetIndex(int index) {
  if (!fDataSet) return;
  TFields& fields = fDataSet->Fields();
  // Out-of-range positions move to the nearest end, as the host clamps them.
  if (index < 0) index = 0;
  if (index >= fields.Count()) index = fields.Count() - 1;
  const int current = fields.IndexOf(this);
  if (current != index) {
    fields.Move(current, index);
    PropertyChanged(true);
  }
}

void TField::SetDisplayLabel(const String& label) {
  // A label equal to the name is no label: DisplayName falls back to the name anyway.
  const String value = label == fFieldName ? String() : label;
  if (value == fDisplayLabel) return;
  fDisplayLabel = value;
  PropertyChanged(true);
}

int TField::DisplayWidth() const { return fDisplayWidth > 0 ? fDisplayWidth : GetDefaultWidth(); }

void TField::SetDisplayWidth(int width) {
  if (width == fDisplayWidth) return;
  fDisplayWidth = width;
  PropertyChanged(true);
}

void TField::SetAlignment(TAlignment a) {
  if (a == fAlignment) return;
  fAlignment = a;
  PropertyChanged(false);
}

void TField::SetVisible(bool v) {
  if (v == fVisible) return;
  fVisible = v;
  PropertyChanged(true);
}

bool TField::CanModify() const {
  if (fReadOnly || !fDataSet || fFieldKind != fkData) return false;
  return fDataSet->CanModify();
}

bool TField::IsNull() const {
  Variant v;
  return !GetData(v, false);
}

std::int64_t TField::DataLength() const {
  if (fDataSet && !HasCalcValue() && !fValidating)
    if (const std::int64_t length = fDataSet->GetFieldDataLength(this); length >= 0) return length;
  Variant v;
  if (!GetData(v, false)) return 0;
  return v.IsArray() ? static_cast<std::int64_t>(v.Bytes().size()) : static_cast<std::int64_t>(v.AsString().size());
}

bool TField::GetData(Variant& value, bool whole) const {
  if (fValidating) {
    value = *fValidating;
    return !value.IsNull() && !value.IsEmpty();
  }
  if (!fDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  // A lookup field whose lookup dataset is gone has no value, whatever was found before.
  const bool found = HasCalcValue() ? (fFieldKind != fkLookup || fLookupDataSet) && fDataSet->GetCalcFieldData(this, value)
                   : whole ? fDataSet->GetFieldData(this, value) : fDataSet->GetFieldDataStart(this, value);
  if (!found || value.IsEmpty() || value.IsNull()) {
    value = Variant::Null();
    return false;
  }
  return true;
}

void TField::SetData(const Variant& value) {
  if (!fDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  const TDataSetState state = fDataSet->State();
  if (!dsWriteModes.Contains(state)) DatabaseError(SNotEditing, fDataSet);
  // Calculations fill read-only and calculated fields; only users are refused.
  const bool calculating = state == dsCalcFields || state == dsInternalCalc;
  if ((fReadOnly || HasCalcValue()) && !calculating) DatabaseErrorFmt(SFieldReadOnly, {DisplayName()});
  fValidating = &value;
  try {
    Validate();
  } catch (...) {
    fValidating = nullptr;
    throw;
  }
  fValidating = nullptr;
  if (HasCalcValue())
    fDataSet->SetCalcFieldData(this, value);
  else
    fDataSet->SetFieldData(this, value);
}

void TField::FocusControl() {
  if (!fDataSet || !fDataSet->Active()) return;
  // A link that takes the focus clears the reference, which stops the others being asked.
  TField* field = this;
  fDataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&field));
}

void TField::Validate() {
  if (OnValidate) OnValidate(this);
}

void TField::Change() {
  if (OnChange) OnChange(this);
}

String TField::Text() const {
  String text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, false);
  else
    text = GetText(false);
  return text;
}

String TField::DisplayText() const {
  String text;
  if (OnGetText)
    OnGetText(const_cast<TField*>(this), text, true);
  else
    text = GetText(true);
  return text;
}

void TField::SetText(const String& text) {
  if (OnSetText)
    OnSetText(this, text);
  else
    SetAsString(text);
}

String TField::GetText(bool) const { return AsString(); }

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), typeName});
}

void TField::CheckInactive() const {
  if (fDataSet) fDataSet->CheckInactive();
}

void TField::PropertyChanged(bool layoutAffected) {
  if (fDataSet && fDataSet->Active())
    fDataSet->DataEvent(layoutAffected ? deLayoutChange : deDataSetChange, 0);
}

String TField::ClassDesc() const {
  std::string_view name = ClassType()->Name;
  if (!name.empty() && name.front() == 'T') name.remove_prefix(1);
  if (name.size() > 5 && SameText(name.substr(name.size() - 5), "Field")) name.remove_suffix(5);
  String desc = "(" + String(name) + ")";
  if (fDataSet && !IsNull()) desc = UpperCase(desc);
  return desc;
}

// Conversions a class does not have. Text and Currency have host defaults: the class
// description, and the float conversions.
String TField::AsString() const { return ClassDesc(); }
void TField::SetAsString(const String&) { AccessError("String"); }
int TField::AsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(int) { AccessError("Integer"); }
std::int64_t TField::AsLargeInt() const { AccessError("Largeint"); }
void TField::SetAsLargeInt(std::int64_t) { AccessError("Largeint"); }
double TField::AsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
Currency TField::AsCurrency() const { return Currency::FromDouble(AsFloat()); }
void TField::SetAsCurrency(Currency v) { SetAsFloat(v.ToDouble()); }
TBcd TField::AsBCD() const { AccessError("BCD"); }
void TField::SetAsBCD(const TBcd&) { AccessError("BCD"); }
bool TField::AsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
TDateTime TField::AsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
TSQLTimeStamp TField::AsSQLTimeStamp() const { AccessError("SQLTimeStamp"); }
void TField::SetAsSQLTimeStamp(const TSQLTimeStamp&) { AccessError("SQLTimeStamp"); }
Variant TField::AsVariant() const { AccessError("Variant"); }

void TField::SetAsVariant(const Variant& v) {
  if (v.IsNull())
    Clear();
  else
    SetVarValue(v);
}

void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

}  // namespace zv
