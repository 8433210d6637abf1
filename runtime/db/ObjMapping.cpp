// Object mapping: descriptions, field definitions from classes, paths, and the routines that
// copy between objects, parameters and records.

#include "runtime/db/ObjMapping.h"

#include "platform/classes/Collection.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DataSet.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Params.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/db/PropAccessor.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvErrors.h"

namespace zv {

namespace {

constexpr const char kDescribeMethod[] = "_GetObjFieldsInfo";
using TDescribe = void(TObjFieldsInfo&);

// The entry of `to` at the place `name` has in `from` (case ignored); name itself otherwise.
String MapThrough(std::string_view from, std::string_view to, std::string_view name) {
  const int at = lioIndexOf(from, name);
  if (at < 0 || at >= lioCount2(to)) return String(name);
  return lioRead(to, at);
}

}  // namespace

bool HasObjFieldsInfo(TClass cls) {
  if (!cls) return false;
  const TMethodInfo* m = MethodAddress(cls, kDescribeMethod);
  return m && *m->Signature == typeid(TDescribe);
}

bool GetObjFieldsInfo(TObject* obj, TObjFieldsInfo& info) {
  info = TObjFieldsInfo{};
  if (!obj) return false;
  const auto describe = PublishedMethod<TDescribe>(obj, kDescribeMethod);
  if (!describe) return false;
  describe(info);
  return true;
}

String PropToFieldName(const TObjFieldsInfo& info, std::string_view propName) {
  return MapThrough(info.PropNames, info.FieldNames, propName);
}

String FieldToPropName(const TObjFieldsInfo& info, std::string_view fieldName) {
  return MapThrough(info.FieldNames, info.PropNames, fieldName);
}

String PropToFieldName(TObject* obj, std::string_view propName) {
  TObjFieldsInfo info;
  if (!GetObjFieldsInfo(obj, info)) return String(propName);
  return PropToFieldName(info, propName);
}

String FieldToPropName(TObject* obj, std::string_view fieldName) {
  TObjFieldsInfo info;
  if (!GetObjFieldsInfo(obj, info)) return String(fieldName);
  return FieldToPropName(info, fieldName);
}

bool IsNullValue(TObject* obj, std::string_view propName) {
  TObjFieldsInfo info;
  if (!GetObjFieldsInfo(obj, info) || !lioHasItem(info.NullableProps, propName)) return false;
  TvpPropAccessor accessor(obj, propName);
  return accessor.Active() && accessor.IsEmpty();
}

bool IsNullByOptions(const TvpPropAccessor& accessor, std::string_view nullableProperties,
                     std::string_view nullableTypes) {
  if (!accessor.Active()) return false;
  const bool listed = (!nullableProperties.empty() && lioHasItem(nullableProperties, accessor.PropName())) ||
                      (!nullableTypes.empty() && lioHasItem(nullableTypes, accessor.PropInfo()->PropType->Name));
  return listed && accessor.IsEmpty();
}

// ---------------------------------------------------------------------------------------------
// Field definitions

void BuildFieldDefs(TFieldDefs& fieldDefs, TClass itemClass, TObject* instance, String& fieldNames,
                    std::string_view blobProperties, int stringLength, bool expandSets, TStrings* setFieldNames,
                    TStrings* setOwnerNames) {
  TObjFieldsInfo info;
  const bool described = instance && GetObjFieldsInfo(instance, info);
  fieldDefs.BeginUpdate();
  try {
    fieldDefs.Clear();
    fieldNames.clear();
    if (itemClass) {
      for (const TPropInfo* prop : GetPropList(itemClass, tkProperties, true)) {
        const String fieldName = described ? PropToFieldName(info, prop->Name) : prop->Name;
        const TvpPropInfo mapped = GetPropFieldInfo(prop, stringLength, blobProperties);
        if (mapped.PropType == pteSet && expandSets) {
          for (std::string_view element : lioSplit(mapped.SetElements)) {
            if (element.empty()) continue;
            const String name = fieldName + "_" + String(element);
            if (lioHasItem(fieldNames, name)) continue;
            TFieldDef* def = fieldDefs.AddFieldDef();
            def->SetName(name);
            def->SetDataType(ftBoolean);
            if (mapped.ReadOnly) def->SetAttributes({faReadonly});
            fieldNames = lioAdd(fieldNames, name);
            if (setFieldNames) setFieldNames->Add(name);
            if (setOwnerNames) setOwnerNames->Add(fieldName);
          }
          continue;
        }
        if (fieldName.empty() || lioHasItem(fieldNames, fieldName)) continue;
        TFieldDef* def = fieldDefs.AddFieldDef();
        def->SetName(fieldName);
        def->SetDataType(mapped.DataType);
        def->SetSize(mapped.Size);
        if (mapped.ReadOnly) def->SetAttributes({faReadonly});
        fieldNames = lioAdd(fieldNames, fieldName);
      }
    }
  } catch (...) {
    fieldDefs.EndUpdate();
    throw;
  }
  fieldDefs.EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Paths

TObject* ResolvePath(TObject* root, std::string_view path) {
  TObject* current = root;
  if (path.empty() || !root) return current;
  for (std::string_view segment : lioSplit(path, '.')) {
    const TPropInfo* prop = GetPropInfo(current, segment);
    if (!prop || !prop->PropType || prop->PropType->Kind != tkClass || !prop->GetObj) return nullptr;
    current = prop->GetObj(*current);
    if (!current) return nullptr;
  }
  return current;
}

// ---------------------------------------------------------------------------------------------
// Parameters and records

namespace {

// The accessor of a property named directly or through the object's description.
std::unique_ptr<TvpPropAccessor> AccessorFor(TObject* obj, std::string_view name, const TObjFieldsInfo* info) {
  auto accessor = std::make_unique<TvpPropAccessor>(obj, name);
  if (!accessor->Active() && info) accessor = std::make_unique<TvpPropAccessor>(obj, FieldToPropName(*info, name));
  return accessor;
}

}  // namespace

void ObjToParams(const String& sql, TObject* obj, TParams& params, std::string_view inOutParams,
                 std::string_view outParams) {
  params.ParseSQL(sql, true);
  TObjFieldsInfo info;
  const bool described = GetObjFieldsInfo(obj, info);
  for (int i = 0; i < params.Count(); ++i) {
    TParam* param = params.Items(i);
    const String name = param->Name();
    auto accessor = AccessorFor(obj, name, described ? &info : nullptr);
    const bool inOut = lioHasItem(inOutParams, name);
    if (inOut || !lioHasItem(outParams, name)) {
      if (!accessor->Active()) throw EZVError(Format(SEObjToParamsNoProperty, {name}));
      const Variant value = accessor->AsVariant();
      if (value.IsNull() || value.IsEmpty())
        param->Clear();
      else
        param->SetValue(value);
      param->SetDataType(accessor->DataType());
      param->SetParamType(inOut ? ptInputOutput : ptInput);
      if (described && lioHasItem(info.NullableProps, accessor->PropName()) && accessor->IsEmpty())
        param->Clear();
    } else {
      param->SetParamType(ptOutput);
      if (accessor->Active()) param->SetDataType(accessor->DataType());
    }
  }
}

void ParamsToObj(const TParams& params, TObject* obj) {
  if (!obj) return;
  TObjFieldsInfo info;
  const bool described = GetObjFieldsInfo(obj, info);
  for (int i = 0; i < params.Count(); ++i) {
    const TParam* param = params.Items(i);
    auto accessor = AccessorFor(obj, param->Name(), described ? &info : nullptr);
    // A read-only property (an output of the statement the object cannot take) is left alone.
    if (accessor->Active() && !accessor->ReadOnly()) accessor->Assign(param);
  }
}

namespace {

void RecordToObj(TDataSet& dataSet, TObject* obj) {
  TObjFieldsInfo info;
  const bool described = GetObjFieldsInfo(obj, info);
  for (TField* field : dataSet.Fields()) {
    auto accessor = AccessorFor(obj, field->FieldName(), described ? &info : nullptr);
    if (accessor->Active() && !accessor->ReadOnly()) accessor->Assign(field);
  }
}

}  // namespace

void DataSetToObj(TDataSet& dataSet, TObject* obj) {
  if (!obj) return;
  if (auto* collection = dynamic_cast<TCollection*>(obj)) {
    // Adding to the collection the dataset shows would add a record for every item added.
    if (auto* ods = dynamic_cast<TObjDataSet*>(&dataSet); ods && ods->DataObject() == collection)
      throw EZVError(SEDataSetToOwnCollection);
    while (!dataSet.Eof()) {
      RecordToObj(dataSet, collection->Add());
      dataSet.Next();
    }
  }
  RecordToObj(dataSet, obj);
}

}  // namespace zv
