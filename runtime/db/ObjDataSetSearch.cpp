// TObjDataSet: searching straight through the provider (FindRecordEx, Locate, Lookup), without
// moving the cursor record by record. Keys on fields the provider does not serve (calculated,
// lookup) take the host's walk instead.
//
// The keys are converted before anything else happens, so a key that does not convert leaves
// the cursor, the window and an edit in progress as they were.

#include "runtime/db/ObjDataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/rtm/OneStringLists.h"

namespace zv {

namespace {

struct TSearchKey {
  String FieldName;  // lower case: what the providers look up fastest
  std::unique_ptr<TvpUniValue> Key;
  std::unique_ptr<TvpUniValue> Row;
};

Variant KeyOf(const Variant& keyValues, std::size_t i, std::size_t count) {
  if (count == 1) return keyValues;
  if (!keyValues.IsArray()) return i == 0 ? keyValues : Variant::Null();
  return keyValues.GetElement(static_cast<int>(i));
}

bool AllServed(const std::vector<TField*>& fields, const String& fieldNames) {
  for (const TField* f : fields)
    if (f->FieldKind() != fkData || !lioHasItem(fieldNames, f->FieldName())) return false;
  return true;
}

// One key per field, typed as the field (as text for partial keys); a value that does not
// convert raises here.
std::vector<TSearchKey> MakeKeys(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options) {
  const bool partial = options.Contains(loPartialKey);
  std::vector<TSearchKey> keys;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    TSearchKey key{AnsiLowerCase(fields[i]->FieldName()), std::make_unique<TvpUniValue>(false, false),
                   std::make_unique<TvpUniValue>(false, false)};
    const TFieldType type = partial ? ftString : fields[i]->DataType();
    key.Key->SetDataType(type);
    key.Row->SetDataType(type);
    const Variant v = KeyOf(keyValues, i, fields.size());
    if (v.IsNull() || v.IsEmpty())
      key.Key->Clear();
    else
      key.Key->SetAsVariant(v);
    if (partial && options.Contains(loCaseInsensitive)) key.Key->SetAsString(AnsiLowerCase(key.Key->AsString()));
    keys.push_back(std::move(key));
  }
  return keys;
}

// The first record whose key fields all match, read from the provider; -1 when none.
int Search(TodsDataProvider& provider, std::vector<TSearchKey>& keys, TLocateOptions options) {
  if (keys.empty()) return -1;
  const bool partial = options.Contains(loPartialKey);
  const bool caseless = options.Contains(loCaseInsensitive);
  const int count = provider.GetRecordCount();
  for (int index = 0; index < count; ++index) {
    bool match = true;
    for (TSearchKey& key : keys) {
      key.Row->Clear();
      provider.GetFieldData(key.FieldName, index, *key.Row);
      if (partial) {
        const String text = caseless ? AnsiLowerCase(key.Row->AsString()) : key.Row->AsString();
        const String prefix = key.Key->AsString();
        match = text.compare(0, prefix.size(), prefix) == 0;
      } else {
        match = key.Row->CompareWith(*key.Key, !caseless, true) == 0;
      }
      if (!match) break;
    }
    if (match) return index;
  }
  return -1;
}

}  // namespace

int TObjDataSet::FindRecordEx(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  if (keyFields.empty() || !fProvider) return -1;
  const std::vector<TField*> fields = GetFieldList(keyFields);
  // A field the provider does not serve has no value here: nothing can match it.
  if (!AllServed(fields, fFieldNames)) return -1;
  std::vector<TSearchKey> keys = MakeKeys(fields, keyValues, options);
  return Search(*fProvider, keys, options);
}

bool TObjDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  const std::vector<TField*> fields = GetFieldList(keyFields);
  if (!AllServed(fields, fFieldNames)) return TDataSet::Locate(keyFields, keyValues, options);
  std::vector<TSearchKey> keys = MakeKeys(fields, keyValues, options);
  // An edit is posted or cancelled first: moving in the edit state would lose it or write it
  // to another record.
  CheckBrowseMode();
  const int index = fProvider ? Search(*fProvider, keys, options) : -1;
  if (index < 0) return false;
  if (BeforeScroll) BeforeScroll(this);
  fCursorPos = index;
  Resync({rmExact, rmCenter});
  if (AfterScroll) AfterScroll(this);
  return true;
}

Variant TObjDataSet::ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  const std::vector<TField*> fields = GetFieldList(keyFields);
  const std::vector<TField*> results = GetFieldList(resultFields);
  if (!AllServed(fields, fFieldNames) || !AllServed(results, fFieldNames))
    return TDataSet::ReadByKey(keyFields, keyValues, resultFields);
  std::vector<TSearchKey> keys = MakeKeys(fields, keyValues, {});
  const int index = fProvider ? Search(*fProvider, keys, {}) : -1;
  if (index < 0) return Variant::Null();
  std::vector<Variant> values;
  for (const TField* field : results) {
    TvpUniValue value(false, true);
    value.SetDataType(field->DataType());
    fProvider->GetFieldData(AnsiLowerCase(field->FieldName()), index, value);
    values.push_back(value.AsVariant());
  }
  if (resultFields.find(';') != String::npos) return VarArrayOf(values);
  return values.empty() ? Variant::Null() : values.front();
}

}  // namespace zv
