// TDataSet: its fields (the list, default fields made from the definitions, binding to
// columns), searching (Locate, Lookup) and field values, and the calculated and lookup fields.
//
// Sections: helpers; TFields; making and binding fields; searching and field values;
// calculated and lookup fields.

#include "platform/db/DataSet.h"

#include "platform/classes/Strings.h"
#include "platform/db/DBConsts.h"
#include "platform/db/detail/DataSetInternal.h"
#include "platform/db/FieldDefs.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

using namespace dataset_detail;

// ---------------------------------------------------------------------------------------------
// Helpers

std::vector<String> dataset_detail::SplitFieldNames(const String& names) {
  std::vector<String> list;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == String::npos) end = names.size();
    String name = Trim(std::string_view(names).substr(start, end - start));
    if (!name.empty()) list.push_back(std::move(name));
    start = end + 1;
  }
  return list;
}

Variant dataset_detail::KeyValue(const Variant& keyValues, std::size_t index, std::size_t count) {
  if (!keyValues.IsArray()) {
    if (count == 1) return keyValues;
    throw EVariantError(SVarNotArray);
  }
  return keyValues.GetElement(VarArrayLowBound(keyValues, 1) + static_cast<int>(index));
}

namespace dataset_detail {

bool MatchesKey(const TField& field, const Variant& key, TLocateOptions options) {
  if (key.IsNull() || key.IsEmpty()) return field.IsNull();
  if (field.IsNull()) return false;
  const Variant value = field.AsVariant();
  if (VarIsStr(value)) {
    // Text compares as text, whatever the key's kind, so that the options apply.
    String text = VarToStr(value);
    String wanted = VarToStr(key);
    if (options.Contains(loCaseInsensitive)) {
      text = AnsiLowerCase(text);
      wanted = AnsiLowerCase(wanted);
    }
    if (options.Contains(loPartialKey)) return text.compare(0, wanted.size(), wanted) == 0;
    return text == wanted;
  }
  try {
    return VarCompareValue(value, key) == vrEqual;
  } catch (const Exception&) {
    return false;  // a key that is not even of the field's kind matches nothing
  }
}

bool MatchesKeys(const std::vector<TField*>& fields, const std::vector<Variant>& keys, TLocateOptions options) {
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (!MatchesKey(*fields[i], keys[i], options)) return false;
  return true;
}

}  // namespace dataset_detail

// ---------------------------------------------------------------------------------------------
// TFields

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count()) DatabaseError(SFieldIndexError, fDataSet);
  return fList[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(std::string_view name) const {
  for (TField* f : fList)
    if (AnsiSameText(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) DatabaseError(Format(SFieldNotFound, {name}), fDataSet);
  return f;
}

int TFields::IndexOf(const TField* field) const {
  const auto it = std::find(fList.begin(), fList.end(), field);
  return it == fList.end() ? -1 : static_cast<int>(it - fList.begin());
}

void TFields::Add(TField* field) {
  if (IndexOf(field) >= 0) return;
  if (!field->FieldName().empty()) {
    const TField* other = FindField(field->FieldName());
    if (other && other != field) DatabaseError(Format(SDuplicateFieldName, {field->FieldName()}), fDataSet);
  }
  fList.push_back(field);
  if (fDataSet && !fDataSet->ComponentState().Contains(csDestroying)) fDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Remove(TField* field) {
  const int i = IndexOf(field);
  if (i < 0) return;
  fList.erase(fList.begin() + i);
  if (fDataSet) {
    auto& made = fDataSet->fDefaultFieldList;
    made.erase(std::remove(made.begin(), made.end(), field), made.end());
  }
  if (fDataSet && !fDataSet->ComponentState().Contains(csDestroying)) fDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Clear() {
  // Detaching a field removes it from this list through TField::SetDataSet.
  while (!fList.empty()) {
    TField* f = fList.back();
    f->SetDataSet(nullptr);
    if (!fList.empty() && fList.back() == f) fList.pop_back();
  }
}

void TFields::Move(int from, int to) {
  if (from < 0 || from >= Count()) DatabaseError(SFieldIndexError, fDataSet);
  to = std::clamp(to, 0, Count() - 1);
  if (from == to) return;
  TField* f = fList[static_cast<std::size_t>(from)];
  fList.erase(fList.begin() + from);
  fList.insert(fList.begin() + to, f);
  if (fDataSet) fDataSet->DataEvent(deFieldListChange, 0);
}


// ---------------------------------------------------------------------------------------------
// Making and binding fields

void TDataSet::CreateFields() {
  TFieldDefs& defs = FieldDefs();
  for (int i = 0; i < defs.Count(); ++i) {
    TFieldDef* def = defs[i];
    if (def->DataType() == ftUnknown || def->Attributes().Contains(faHiddenCol)) continue;
    def->CreateField(this);
  }
}

void TDataSet::DestroyFields() {
  // Fields the dataset created are its components; the others only leave it.
  const std::vector<TField*> fields(fFields.begin(), fFields.end());
  for (TField* f : fields) {
    if (f->Owner() == this) {
      fFields.Remove(f);  // a field does not leave a dataset that is being destroyed itself
      delete f;
    } else {
      f->SetDataSet(nullptr);
    }
  }
}

// The fields Open made; those the application made stay for the next Open.
void TDataSet::DestroyDefaultFields() {
  while (!fDefaultFieldList.empty()) {
    TField* f = fDefaultFieldList.back();
    fDefaultFieldList.pop_back();
    fFields.Remove(f);
    if (f->Owner() == this)
      delete f;
    else
      f->SetDataSet(nullptr);
  }
}

// Data fields find their column through FieldNo, taken from the definition of the same name;
// calculated and lookup fields get a slot in the buffers' calculated values.
void TDataSet::BindFields() {
  int slots = 0;
  for (TField* f : fFields) {
    f->fCalcIndex = -1;
    switch (f->FieldKind()) {
      case fkData:
        if (fFieldDefs) {
          const int i = fFieldDefs->IndexOf(f->FieldName());
          if (i < 0) DatabaseError(Format(SFieldNotFound, {f->FieldName()}), this);
          f->SetFieldNo((*fFieldDefs)[i]->FieldNo());
        }
        break;
      case fkLookup:
        if (!f->LookupDataSet() || f->KeyFields().empty() || f->LookupKeyFields().empty() ||
            f->LookupResultField().empty())
          DatabaseError(Format(SLookupInfoError, {f->DisplayName()}), this);
        GetFieldList(f->KeyFields());  // raises for a key field that is not there
        f->RefreshLookupList();
        f->fCalcIndex = slots++;
        break;
      case fkCalculated:
      case fkInternalCalc:
        f->fCalcIndex = slots++;
        break;
      case fkAggregate:
        break;
    }
  }
  fCalcFieldsCount = slots;
}

TFieldDefs& TDataSet::FieldDefs() {
  if (!fFieldDefs) fFieldDefs = std::make_unique<TFieldDefs>(this);
  return *fFieldDefs;
}

// ---------------------------------------------------------------------------------------------
// Searching and field values

// Walks the records from the first with controls quiet. On a match the window is rebuilt
// around it; otherwise the window is rebuilt as it was, with the same record on the same row.
// Callers have put the dataset in browse mode.
bool TDataSet::LocateRecord(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  const std::vector<TField*> fields = GetFieldList(keyFields);
  if (fields.empty() || IsEmpty()) return false;
  std::vector<Variant> keys;
  for (std::size_t i = 0; i < fields.size(); ++i) keys.push_back(KeyValue(keyValues, i, fields.size()));

  const TBookmarkStr saved = Bookmark();
  const int savedRow = fActiveRecord;
  TControlsGuard quiet(*this);
  TCounterGuard noScrollEvents(fScrollEventLock);
  bool found = false;
  for (First(); !Eof(); Next()) {
    found = MatchesKeys(fields, keys, options);
    if (found) break;
  }
  if (found) {
    UpdateCursorPos();
    Resync({rmExact, rmCenter});
  } else if (!saved.empty()) {
    InternalGotoBookmark(saved);
    fActiveRecord = savedRow;
    Resync({rmExact});
  } else {
    First();
  }
  return found;
}

bool TDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  DoBeforeScroll();
  const bool found = LocateRecord(keyFields, keyValues, options);
  if (found) DoAfterScroll();
  return found;
}

TPrefixSearchResult TDataSet::FindPrefix(TField& field, TFieldTextKind kind, const String& key, bool forward,
                                         TPrefixSearchFrom from) {
  (void)field, (void)kind, (void)key, (void)forward, (void)from;
  return psrCannot;
}

Variant TDataSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  CheckBrowseMode();
  return ReadByKey(keyFields, keyValues, resultFields);
}

// The records are read into a buffer of their own, outside the window the links see, and the
// fields read from it as a calculation reads its record. The next fetch puts the physical
// cursor back where the window needs it.
Variant TDataSet::ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  if (!Active()) return Variant::Null();
  const std::vector<TField*> fields = GetFieldList(keyFields);
  GetFieldList(resultFields);  // raises for a result field that is not there
  if (fields.empty()) return Variant::Null();
  std::vector<Variant> keys;
  for (std::size_t i = 0; i < fields.size(); ++i) keys.push_back(KeyValue(keyValues, i, fields.size()));

  TRecordBufferPtr scratch = AllocRecordBuffer();
  struct TRestore {
    TDataSet& DataSet;
    TRecordBuffer* CalcBuffer;
    TDataSetState State;
    ~TRestore() {
      DataSet.fCalcBuffer = CalcBuffer;
      DataSet.RestoreState(State);
      DataSet.fCurrentRecord = -1;
    }
  } restore{*this, fCalcBuffer, SetTempState(dsInternalCalc)};
  fCalcBuffer = scratch.get();
  return FindKeyRecord(*scratch, fields, keys) ? FieldValues(resultFields) : Variant::Null();
}

bool TDataSet::FindKeyRecord(TRecordBuffer& scratch, const std::vector<TField*>& fields,
                             const std::vector<Variant>& keys) {
  InternalFirst();
  while (FetchRecord(scratch, gmNext, false) == grOK)
    if (MatchesKeys(fields, keys, {})) return true;
  return false;
}

std::vector<TField*> TDataSet::GetFieldList(const String& fieldNames) const {
  std::vector<TField*> list;
  for (const String& name : SplitFieldNames(fieldNames)) list.push_back(FieldByName(name));
  return list;
}

Variant TDataSet::FieldValues(const String& fieldNames) const {
  const std::vector<TField*> fields = GetFieldList(fieldNames);
  if (fields.size() == 1) return fields[0]->AsVariant();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->AsVariant());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const String& fieldNames, const Variant& values) {
  const std::vector<TField*> fields = GetFieldList(fieldNames);
  if (fields.size() == 1 && !values.IsArray()) {
    fields[0]->SetAsVariant(values);
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(KeyValue(values, i, fields.size()));
}

void TDataSet::GetFieldNames(TStrings& list) const {
  list.BeginUpdate();
  list.Clear();
  if (FieldCount() > 0 || !fFieldDefs) {
    for (TField* f : fFields) list.Add(f->FieldName());
  } else {
    fFieldDefs->GetItemNames(list);
  }
  list.EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Calculated and lookup fields

void TDataSet::ClearCalcFields(TRecordBuffer& buffer) {
  buffer.CalcValues.assign(static_cast<std::size_t>(fCalcFieldsCount), Variant::Null());
}

void TDataSet::GetCalcFields(TRecordBuffer& buffer) {
  if (fCalcFieldsCount == 0) return;
  TRecordBuffer* const outer = fCalcBuffer;
  const TDataSetState state = SetTempState(dsCalcFields);
  fCalcBuffer = &buffer;
  TryFinally(
      [&] {
        ClearCalcFields(buffer);
        CalculateFields(buffer);
      },
      [&] {
        fCalcBuffer = outer;
        RestoreState(state);
      });
}

// Lookup values first, so that OnCalcFields can use them.
void TDataSet::CalculateFields(TRecordBuffer& buffer) {
  for (TField* f : fFields) {
    if (f->FieldKind() != fkLookup || f->fCalcIndex < 0) continue;
    const auto slot = static_cast<std::size_t>(f->fCalcIndex);
    if (slot < buffer.CalcValues.size()) buffer.CalcValues[slot] = f->LookupValue();
  }
  DoOnCalcFields();
}

void TDataSet::DoOnCalcFields() {
  if (OnCalcFields) OnCalcFields(this);
}

bool TDataSet::GetCalcFieldData(const TField* field, Variant& value) const {
  const TRecordBuffer* buffer = GetActiveRecordBuffer();
  const int slot = field->fCalcIndex;
  if (!buffer || slot < 0 || slot >= static_cast<int>(buffer->CalcValues.size())) return false;
  const Variant& v = buffer->CalcValues[static_cast<std::size_t>(slot)];
  if (v.IsNull() || v.IsEmpty()) return false;
  value = v;
  return true;
}

// Only calculations write here (TField refuses the other states), and they tell no one: the
// record is being read.
void TDataSet::SetCalcFieldData(TField* field, const Variant& value) {
  TRecordBuffer* buffer = GetActiveRecordBuffer();
  if (!buffer) DatabaseError(SNotEditing, this);
  const int slot = field->fCalcIndex;
  if (slot < 0 || slot >= static_cast<int>(buffer->CalcValues.size())) DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  buffer->CalcValues[static_cast<std::size_t>(slot)] = value;
}

void TDataSet::RecalcWindow() {
  if (!Active() || fState == dsCalcFields || fCalcFieldsCount == 0) return;
  for (int row = 0; row < fRecordCount; ++row) GetCalcFields(*fBuffers[static_cast<std::size_t>(row)]);
  DataEvent(deDataSetChange, 0);
}

void TDataSet::AddLookupField(TField* field) {
  if (std::find(fLookupClients.begin(), fLookupClients.end(), field) == fLookupClients.end())
    fLookupClients.push_back(field);
}

void TDataSet::RemoveLookupField(TField* field) {
  fLookupClients.erase(std::remove(fLookupClients.begin(), fLookupClients.end(), field), fLookupClients.end());
}

void TDataSet::LookupDataChanged() {
  for (TField* f : fLookupClients) f->RefreshLookupList();
}

}  // namespace zv
