#include "platform/db/FieldDefs.h"

#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

#include <memory>

namespace zv {

TClass DefaultFieldClass(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD: return TBCDField::StaticClass();
    case ftFMTBcd: return TFMTBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftTimeStamp: return TSQLTimeStampField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftMemo:
    case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftBlob:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary:
    case ftOraBlob: return TBlobField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    default: return nullptr;
  }
}

ZV_DEFINE_CLASS_WITH_PROPS(TFieldDef, TCollectionItem)
ZV_DEFINE_CLASS(TFieldDefs, TOwnedCollection)

void TFieldDef::DeclareProperties(TPropTable<TFieldDef>& t) {
  t.Prop("Name", &TFieldDef::Name, &TFieldDef::SetName);
  t.Prop("Attributes", &TFieldDef::Attributes, &TFieldDef::SetAttributes).Default(TFieldAttributes{});
  t.Prop("DataType", &TFieldDef::DataType, &TFieldDef::SetDataType).Default(ftUnknown);
  t.Prop("Precision", &TFieldDef::Precision, &TFieldDef::SetPrecision).Default(0);
  t.Prop("Size", &TFieldDef::Size, &TFieldDef::SetSize).Default(0);
}

TFieldDef::TFieldDef(TCollection* collection) : TCollectionItem(collection) {}

TFieldDefs* TFieldDef::FieldDefs() const { return dynamic_cast<TFieldDefs*>(Collection()); }

void TFieldDef::SetName(const String& name) {
  if (name == fName) return;
  if (!name.empty()) {
    if (TFieldDefs* defs = FieldDefs()) {
      const int other = defs->IndexOf(name);
      if (other >= 0 && other != Index()) DatabaseErrorFmt(SDuplicateItemName, {name, defs->ClassName()});
    }
  }
  fName = name;
  Changed(false);
}

void TFieldDef::SetDataType(TFieldType type) {
  fDataType = type;
  Changed(false);
}

void TFieldDef::SetSize(int size) {
  fSize = size;
  Changed(false);
}

void TFieldDef::SetPrecision(int precision) {
  fPrecision = precision;
  Changed(false);
}

void TFieldDef::SetAttributes(TFieldAttributes attributes) {
  fAttributes = attributes;
  Changed(false);
}

void TFieldDef::SetRequired(bool value) {
  TFieldAttributes a = fAttributes;
  if (value)
    a.Include(faRequired);
  else
    a.Exclude(faRequired);
  SetAttributes(a);
}

TClass TFieldDef::FieldClass() const { return DefaultFieldClass(fDataType); }

TField* TFieldDef::CreateField(TComponent* owner, const String& fieldName) {
  TClass cls = FieldClass();
  if (!cls || !cls->Factory) DatabaseErrorFmt(SUnknownFieldType, {fName});
  // Owned by `owner` once made; the holder only covers failures on the way.
  std::unique_ptr<TObject> made(cls->Factory(owner));
  auto* field = dynamic_cast<TField*>(made.get());
  if (!field) DatabaseErrorFmt(SUnknownFieldType, {fName});
  // The class covers several types (fixed and variable strings, the blob kinds).
  field->SetDataType(fDataType);
  field->SetFieldName(fieldName.empty() ? fName : fieldName);
  const bool sized = dynamic_cast<TStringField*>(field) || dynamic_cast<TBCDField*>(field) ||
                     dynamic_cast<TFMTBCDField*>(field) || dynamic_cast<TBlobField*>(field) ||
                     (dynamic_cast<TBinaryField*>(field) && fSize > 0);
  if (sized && !dynamic_cast<TGuidField*>(field)) field->SetSize(fSize);
  if (fPrecision > 0) {
    if (auto* bcd = dynamic_cast<TBCDField*>(field)) bcd->SetPrecision(fPrecision);
    if (auto* fmt = dynamic_cast<TFMTBCDField*>(field)) fmt->SetPrecision(fPrecision);
    if (auto* flt = dynamic_cast<TFloatField*>(field)) flt->SetPrecision(fPrecision);
  }
  field->SetRequired(Required());
  if (fAttributes.Contains(faReadonly)) field->SetReadOnly(true);
  if (fInternalCalcField) field->SetFieldKind(fkInternalCalc);
  field->SetFieldNo(FieldNo());
  if (TFieldDefs* defs = FieldDefs())
    if (TDataSet* dataSet = defs->DataSet()) field->SetDataSet(dataSet);
  made.release();
  return field;
}

void TFieldDef::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TFieldDef*>(source)) {
    if (auto* defs = FieldDefs()) defs->BeginUpdate();
    try {
      SetName(other->fName);
      fDataType = other->fDataType;
      fSize = other->fSize;
      fPrecision = other->fPrecision;
      fAttributes = other->fAttributes;
      fInternalCalcField = other->fInternalCalcField;
      Changed(false);
    } catch (...) {
      if (auto* defs = FieldDefs()) defs->EndUpdate();
      throw;
    }
    if (auto* defs = FieldDefs()) defs->EndUpdate();
    return;
  }
  TCollectionItem::Assign(source);
}

TFieldDefs::TFieldDefs(TPersistent* owner) : TOwnedCollection(owner, TFieldDef::StaticClass()) {}

TDataSet* TFieldDefs::DataSet() const { return dynamic_cast<TDataSet*>(GetOwner()); }

TFieldDef* TFieldDefs::AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }

void TFieldDefs::Add(const String& name, TFieldType type, int size, bool required) {
  if (name.empty()) DatabaseError(SFieldNameMissing);
  if (IndexOf(name) >= 0) DatabaseErrorFmt(SDuplicateItemName, {name, ClassName()});
  BeginUpdate();
  try {
    TFieldDef* def = AddFieldDef();
    def->SetName(name);
    def->SetDataType(type);
    def->SetSize(size);
    def->SetRequired(required);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TFieldDefs::IndexOf(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (CaseFoldCompare(Items(i)->Name(), name) == 0) return i;
  return -1;
}

TFieldDef* TFieldDefs::FindDef(std::string_view name) const {
  const int i = IndexOf(name);
  return i >= 0 ? Items(i) : nullptr;
}

TFieldDef* TFieldDefs::Find(std::string_view name) const {
  TFieldDef* def = FindDef(name);
  if (!def) DatabaseError(Format(SFieldNotFound, {name}), DataSet());
  return def;
}

void TFieldDefs::GetItemNames(TStrings& list) const {
  list.BeginUpdate();
  try {
    list.Clear();
    for (int i = 0; i < Count(); ++i) list.Add(Items(i)->Name());
  } catch (...) {
    list.EndUpdate();
    throw;
  }
  list.EndUpdate();
}

void TFieldDefs::Update() {
  if (fUpdated || fInUpdate) return;
  fInUpdate = true;
  try {
    if (OnUpdate) OnUpdate(*this);
  } catch (...) {
    fInUpdate = false;
    throw;
  }
  fInUpdate = false;
  fUpdated = true;
}

void TFieldDefs::Update(TCollectionItem* item) {
  // Definitions changed by anyone but the dataset's own reading no longer reflect it.
  if (!fInUpdate) fUpdated = false;
  TOwnedCollection::Update(item);
}

}  // namespace zv
