// The object dataset's providers.
//
// Sections: the base and bookmarks; object properties (reading, writing, the field map); the
// single object; the collection; the quick record set; the string list.

#include "runtime/db/ObjProviders.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/db/ObjMapping.h"
#include "runtime/db/PropAccessor.h"
#include "runtime/db/UniValue.h"
#include "runtime/db/detail/ObjFieldMap.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"

#include <cstring>

namespace zv {

ZV_DEFINE_CLASS(TodsDataProvider, TObject)
ZV_DEFINE_CLASS(TCustomObjectDataProvider, TodsDataProvider)
ZV_DEFINE_CLASS(TObjectDataProvider, TCustomObjectDataProvider)
ZV_DEFINE_CLASS(TCollectionDataProvider, TCustomObjectDataProvider)
ZV_DEFINE_CLASS(TRecordSetDataProvider, TodsDataProvider)
ZV_DEFINE_CLASS(TStringsDataProvider, TodsDataProvider)

using odsdetail::TObjFieldBinding;
using odsdetail::TObjFieldMap;

namespace {

TBookmarkStr PackInts(std::int32_t a, std::int32_t b, bool two) {
  TBookmarkStr s(two ? 8 : 4, '\0');
  std::memcpy(s.data(), &a, 4);
  if (two) std::memcpy(s.data() + 4, &b, 4);
  return s;
}

bool UnpackInt(const TBookmarkStr& s, std::size_t at, std::int32_t& value) {
  if (s.size() < at + 4) return false;
  std::memcpy(&value, s.data() + at, 4);
  return true;
}

[[noreturn]] void RaiseInternal(const String& what) { throw EZVError(Format(SEInternal.Text(), {what})); }

}  // namespace

int TodsDataProvider::GetIndexOfItem(const TObject*) const { return -1; }

int TodsDataProvider::Notification(TodsRecordSetAction, const String&, int recNo) { return recNo; }

// ---------------------------------------------------------------------------------------------
// Object properties

TCustomObjectDataProvider::TCustomObjectDataProvider(TPersistent* owner, TObjDataSet* dataSet)
    : TodsDataProvider(owner, dataSet),
      fSetOwnerNames(std::make_unique<TStringList>()),
      fSetFieldNames(std::make_unique<TStringList>()),
      fMap(std::make_unique<TObjFieldMap>()) {}

TCustomObjectDataProvider::~TCustomObjectDataProvider() = default;

TObject* TCustomObjectDataProvider::GetItemObject(int) const { return nullptr; }

void TCustomObjectDataProvider::BuildDefs(TFieldDefs& fieldDefs, String& fieldNames, TClass itemClass,
                                          TObject* instance) {
  fSetOwnerNames->Clear();
  fSetFieldNames->Clear();
  fMap->Clear();
  const TodsObjectParams& options = *DataSet()->ParamsObject();
  BuildFieldDefs(fieldDefs, itemClass, instance, fieldNames, options.BlobProperties(), options.StringLength(),
                 options.ExpandSets(), fSetFieldNames.get(), fSetOwnerNames.get());
  if (!itemClass) return;
  TObjFieldsInfo info;
  const bool described = instance && GetObjFieldsInfo(instance, info);
  for (const TPropInfo* prop : GetPropList(itemClass, tkProperties, true)) {
    const String fieldName = described ? PropToFieldName(info, prop->Name) : prop->Name;
    TObjFieldBinding binding;
    binding.PropName = prop->Name;
    const String& typeName = prop->PropType ? prop->PropType->Name : String();
    binding.NullableByOptions = (!options.NullableProperties().empty() && lioHasItem(options.NullableProperties(), prop->Name)) ||
                                (!options.NullableTypes().empty() && lioHasItem(options.NullableTypes(), typeName));
    const TvpPropInfo mapped = GetPropFieldInfo(prop, options.StringLength(), options.BlobProperties());
    if (mapped.PropType == pteSet && options.ExpandSets()) {
      int element = 0;
      for (std::string_view name : lioSplit(mapped.SetElements)) {
        TObjFieldBinding elementBinding = binding;
        elementBinding.SetElement = element++;
        fMap->Add(AnsiLowerCase(fieldName + "_" + String(name)), elementBinding);
      }
      continue;
    }
    fMap->Add(AnsiLowerCase(fieldName), binding);
  }
}

namespace {

// The binding of a field: from the map built at open (the record buffers ask by the lower-case
// name the map is keyed by, so the common case costs one look-up), else the field's own name
// (and, for a set element, its owner's) read through the item's description.
const TObjFieldBinding* Resolve(const TObjFieldMap& map, const TStringList& setFieldNames,
                                const TStringList& setOwnerNames, TObject* obj, std::string_view fieldName,
                                TObjFieldBinding& scratch, String& element) {
  element.clear();
  if (const TObjFieldBinding* b = map.Find(fieldName)) return b;
  if (const TObjFieldBinding* b = map.Find(AnsiLowerCase(fieldName))) return b;
  scratch = TObjFieldBinding{};
  String name(fieldName);
  const int at = setFieldNames.IndexOf(name);
  if (at >= 0) {
    const String owner = setOwnerNames.Strings(at);
    element = name.substr(owner.size() + 1);
    name = owner;
  }
  scratch.PropName = FieldToPropName(obj, name);
  return &scratch;
}

int SetElementIndex(const TvpPropAccessor& accessor, const TObjFieldBinding& binding, const String& element) {
  if (binding.SetElement >= 0) return binding.SetElement;
  return element.empty() ? -1 : lioIndexOf(accessor.SetElements(), element);
}

}  // namespace

void TCustomObjectDataProvider::GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) {
  TObject* obj = GetItemObject(index);
  if (!obj) return;
  TObjFieldBinding scratch;
  String element;
  const TObjFieldBinding& binding = *Resolve(*fMap, *fSetFieldNames, *fSetOwnerNames, obj, fieldName, scratch, element);
  TvpPropAccessor accessor(obj, binding.PropName);
  if (!accessor.Active()) return;
  const bool isElement = binding.SetElement >= 0 || !element.empty();
  const TodsObjectParams& options = *DataSet()->ParamsObject();
  const bool nullable = &binding == &scratch
                            ? IsNullByOptions(accessor, options.NullableProperties(), options.NullableTypes())
                            : binding.NullableByOptions && accessor.IsEmpty();
  if (nullable ||
      (fMap->Describes(obj->ClassType(), &HasObjFieldsInfo) && IsNullValue(obj, binding.PropName))) {
    value.Clear();
    return;
  }
  if (isElement) {
    const int p = SetElementIndex(accessor, binding, element);
    const std::int64_t bits = accessor.AsInt64();
    value.SetAsBoolean(p >= 0 && p <= 31 && ((bits >> p) & 1) != 0);
    return;
  }
  accessor.ReadData();
  try {
    value.Assign(accessor.Value());
  } catch (...) {
    accessor.Value().Clear();
    throw;
  }
  accessor.Value().Clear();
}

void TCustomObjectDataProvider::SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) {
  TObject* obj = GetItemObject(index);
  if (!obj) return;
  TObjFieldBinding scratch;
  String element;
  const TObjFieldBinding& binding = *Resolve(*fMap, *fSetFieldNames, *fSetOwnerNames, obj, fieldName, scratch, element);
  TvpPropAccessor accessor(obj, binding.PropName);
  if (!accessor.Active()) return;
  if (binding.SetElement >= 0 || !element.empty()) {
    const int p = SetElementIndex(accessor, binding, element);
    if (p < 0 || p > 31) return;
    std::int64_t bits = accessor.AsInt64();
    const std::int64_t bit = std::int64_t{1} << p;
    bits = !value.IsNull() && value.AsBoolean() ? (bits | bit) : (bits & ~bit);
    accessor.SetAsInt64(bits);
    return;
  }
  accessor.Assign(&value);
}

// ---------------------------------------------------------------------------------------------
// The single object

void TObjectDataProvider::InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) {
  BuildDefs(fieldDefs, fieldNames, Owner() ? Owner()->ClassType() : nullptr, Owner());
}

TBookmarkStr TObjectDataProvider::GetBookmark(int) const { return PackInts(0, 0, false); }

int TObjectDataProvider::GetIndexOfBookmark(const TBookmarkStr& bookmark) const {
  std::int32_t v = 0;
  return bookmark.size() == 4 && UnpackInt(bookmark, 0, v) && v == 0 ? 0 : -1;
}

int TObjectDataProvider::GetIndexOfItem(const TObject* item) const { return item && item == Owner() ? 0 : -1; }

TObject* TObjectDataProvider::GetItemObject(int) const { return Owner(); }

int TObjectDataProvider::AddItem(int) { RaiseInternal(SEUnableToInsertDate); }

void TObjectDataProvider::DeleteItem(int) { RaiseInternal("unable to delete data"); }

// ---------------------------------------------------------------------------------------------
// The collection

TCollection* TCollectionDataProvider::Collection() const { return static_cast<TCollection*>(Owner()); }

void TCollectionDataProvider::InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) {
  BuildDefs(fieldDefs, fieldNames, Collection()->ItemClass(), Collection());
}

int TCollectionDataProvider::GetRecordCount() const { return Collection()->Count(); }

TBookmarkStr TCollectionDataProvider::GetBookmark(int index) const {
  return PackInts(Collection()->Items(index)->ID(), index, true);
}

int TCollectionDataProvider::GetIndexOfBookmark(const TBookmarkStr& bookmark) const {
  std::int32_t id = 0, hint = 0;
  if (bookmark.size() != 8 || !UnpackInt(bookmark, 0, id) || !UnpackInt(bookmark, 4, hint)) return -1;
  TCollection* items = Collection();
  if (hint >= 0 && hint < items->Count() && items->Items(hint)->ID() == id) return hint;
  const TCollectionItem* item = items->FindItemID(id);
  return item ? item->Index() : -1;
}

int TCollectionDataProvider::GetIndexOfItem(const TObject* item) const {
  const auto* ci = dynamic_cast<const TCollectionItem*>(item);
  return ci && ci->Collection() == Collection() ? ci->Index() : -1;
}

TObject* TCollectionDataProvider::GetItemObject(int index) const { return Collection()->Items(index); }

int TCollectionDataProvider::AddItem(int index) {
  TCollection* items = Collection();
  return (index < 0 ? items->Add() : items->Insert(index))->Index();
}

void TCollectionDataProvider::DeleteItem(int index) { delete Collection()->Items(index); }

// ---------------------------------------------------------------------------------------------
// The quick record set

TvpQuickRecordSet* TRecordSetDataProvider::RecordSet() const { return static_cast<TvpQuickRecordSet*>(Owner()); }

void TRecordSetDataProvider::InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) {
  fieldDefs.BeginUpdate();
  try {
    fieldDefs.Clear();
    RecordSet()->ExportFieldDefs(fieldDefs, fieldNames);
  } catch (...) {
    fieldDefs.EndUpdate();
    throw;
  }
  fieldDefs.EndUpdate();
}

int TRecordSetDataProvider::GetRecordCount() const { return RecordSet()->RecordCount(); }

TBookmarkStr TRecordSetDataProvider::GetBookmark(int index) const { return RecordSet()->BookmarkOf(index); }

int TRecordSetDataProvider::GetIndexOfBookmark(const TBookmarkStr& bookmark) const {
  return RecordSet()->IndexOfBookmark(bookmark);
}

int TRecordSetDataProvider::RowOfPosted(int index) {
  TvpQuickRecordSet* set = RecordSet();
  if (index == fPostedPos) {
    const int pos = set->IndexOfBookmark(fPosted);
    if (pos >= 0) return set->RowOf(pos);
  }
  fPostedPos = index;
  fPosted = set->BookmarkOf(index);
  return set->RowOf(index);
}

void TRecordSetDataProvider::GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) {
  TvpQuickRecordSet* set = RecordSet();
  const TvpQRSField* column = set->FindField(fieldName);
  if (!column) return;
  if (index == fPostedPos)
    column->CopyRowData(set->PosOf(RowOfPosted(index)), value);
  else
    column->CopyRowData(index, value);
}

void TRecordSetDataProvider::SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) {
  if (const TvpQRSField* column = RecordSet()->FindField(fieldName)) column->Cells(RowOfPosted(index))->Assign(value);
}

int TRecordSetDataProvider::AddItem(int index) {
  TvpQuickRecordSet* set = RecordSet();
  fPostedPos = -1;
  int row;
  if (index < 0 || index >= set->RecordCount()) {
    row = set->RecordCount();
    set->AddRecord();
  } else {
    row = set->RowOf(index);
    set->InsertRecord(row);
  }
  return set->PosOf(row);
}

void TRecordSetDataProvider::DeleteItem(int index) {
  TvpQuickRecordSet* set = RecordSet();
  const int row = index == fPostedPos ? RowOfPosted(index) : set->RowOf(index);
  fPostedPos = -1;
  set->DeleteRecord(row);
}

int TRecordSetDataProvider::Notification(TodsRecordSetAction action, const String& fieldNames, int recNo) {
  TvpQuickRecordSet* set = RecordSet();
  int pos = recNo;
  if (action != rsaDelete && recNo >= 0 && recNo < set->RecordCount()) {
    // The cells written re-placed the record under the set's sort: it only needs finding.
    pos = set->PosOf(RowOfPosted(recNo));
  }
  fPostedPos = -1;
  set->FieldChanged(action, fieldNames, pos);
  return pos;
}

// ---------------------------------------------------------------------------------------------
// The string list

namespace {
constexpr const char kNoField[] = "no";
constexpr const char kValueField[] = "value";
constexpr int kLineLength = 4096;
}  // namespace

TStrings* TStringsDataProvider::Strings() const { return static_cast<TStrings*>(Owner()); }

void TStringsDataProvider::InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) {
  fieldDefs.BeginUpdate();
  try {
    fieldDefs.Clear();
    TFieldDef* no = fieldDefs.AddFieldDef();
    no->SetName(kNoField);
    no->SetDataType(ftInteger);
    no->SetAttributes({faReadonly});
    TFieldDef* value = fieldDefs.AddFieldDef();
    value->SetName(kValueField);
    value->SetDataType(ftString);
    value->SetSize(kLineLength);
  } catch (...) {
    fieldDefs.EndUpdate();
    throw;
  }
  fieldDefs.EndUpdate();
  fieldNames = String(kNoField) + ";" + kValueField;
}

int TStringsDataProvider::GetRecordCount() const { return Strings()->Count(); }

TBookmarkStr TStringsDataProvider::GetBookmark(int index) const { return PackInts(index, 0, false); }

int TStringsDataProvider::GetIndexOfBookmark(const TBookmarkStr& bookmark) const {
  std::int32_t index = -1;
  if (bookmark.size() != 4 || !UnpackInt(bookmark, 0, index)) return -1;
  return index >= 0 && index < Strings()->Count() ? index : -1;
}

void TStringsDataProvider::GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) {
  if (SameText(fieldName, kNoField))
    value.SetAsInteger(index);
  else if (SameText(fieldName, kValueField))
    value.SetAsString(Strings()->Strings(index));
}

void TStringsDataProvider::SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) {
  if (SameText(fieldName, kValueField)) Strings()->SetStrings(index, value.AsString());
}

int TStringsDataProvider::AddItem(int index) {
  TStrings* lines = Strings();
  if (auto* list = dynamic_cast<TStringList*>(lines); list && list->Sorted()) throw EStringListError(SSortedListError);
  if (index < 0 || index >= lines->Count()) return lines->Add(String());
  lines->Insert(index, String());
  return index;
}

void TStringsDataProvider::DeleteItem(int index) { Strings()->Delete(index); }

}  // namespace zv
