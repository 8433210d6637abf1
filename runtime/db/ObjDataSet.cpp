// TObjDataSet: properties and options, record buffers, opening and the provider, moving, and
// bookmarks.

#include "runtime/db/ObjDataSet.h"

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjMapping.h"
#include "runtime/db/QuickRecordSet.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"

#include <algorithm>
#include <climits>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TodsObjectParams, TPersistent)
ZV_DEFINE_CLASS(TodsFieldValue, TvpUniValue)
ZV_DEFINE_CLASS_WITH_PROPS(TObjDataSet, TDataSet)

// ---------------------------------------------------------------------------------------------
// Options

void TodsObjectParams::DeclareProperties(TPropTable<TodsObjectParams>& t) {
  t.Prop("ExpandSets", &TodsObjectParams::ExpandSets, &TodsObjectParams::SetExpandSets);
  t.Prop("BlobProperties", &TodsObjectParams::BlobProperties, &TodsObjectParams::SetBlobProperties);
  t.Prop("StringLength", &TodsObjectParams::StringLength, &TodsObjectParams::SetStringLength).Default(1024);
  t.Prop("NullableProperties", &TodsObjectParams::NullableProperties, &TodsObjectParams::SetNullableProperties);
  t.Prop("NullableTypes", &TodsObjectParams::NullableTypes, &TodsObjectParams::SetNullableTypes);
}

void TodsObjectParams::CheckInactive() const {
  if (fDataSet) fDataSet->CheckInactive();
}

void TodsObjectParams::SetExpandSets(bool value) {
  CheckInactive();
  fExpandSets = value;
}

void TodsObjectParams::SetBlobProperties(const String& value) {
  CheckInactive();
  fBlobProperties = value;
}

void TodsObjectParams::SetStringLength(int value) {
  CheckInactive();
  CheckForPositive(value);
  fStringLength = value;
}

void TodsObjectParams::SetNullableProperties(const String& value) {
  CheckInactive();
  fNullableProperties = value;
}

void TodsObjectParams::SetNullableTypes(const String& value) {
  CheckInactive();
  fNullableTypes = value;
}

void TodsObjectParams::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TodsObjectParams*>(source)) {
    if (other == this) return;
    CheckInactive();
    fExpandSets = other->fExpandSets;
    fBlobProperties = other->fBlobProperties;
    fStringLength = other->fStringLength;
    fNullableProperties = other->fNullableProperties;
    fNullableTypes = other->fNullableTypes;
    return;
  }
  TPersistent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// Record buffers

TodsFieldValue::TodsFieldValue(const String& fieldName, TFieldType dataType)
    : TvpUniValue(false, false), fFieldName(AnsiLowerCase(fieldName)) {
  if (dataType != ftUnknown) SetDataType(dataType);
}

TodsFieldValue* TodsRecordBuffer::FindValue(std::string_view name) const {
  const String lower = AnsiLowerCase(name);
  for (const auto& value : Values)
    if (value->FieldName() == lower) return value.get();
  return nullptr;
}

TodsFieldValue* TodsRecordBuffer::FindValue(const TField* field) const {
  return field ? FindValue(field->FieldName()) : nullptr;
}

void TodsRecordBuffer::ClearValues() {
  Bookmark.clear();
  for (auto& value : Values) value->Clear();
}

TRecordBufferPtr TObjDataSet::AllocRecordBuffer() {
  auto buffer = std::make_unique<TodsRecordBuffer>();
  buffer->DataSet = this;
  if (fDestroying) return buffer;
  for (std::string_view name : lioSplit(fFieldNames)) {
    if (name.empty()) continue;
    const TFieldDef* def = FieldDefs().Find(name);
    buffer->Values.push_back(std::make_unique<TodsFieldValue>(String(name), def ? def->DataType() : ftUnknown));
  }
  return buffer;
}

void TObjDataSet::InternalInitRecord(TRecordBuffer& buffer) {
  Ods(buffer).ClearValues();
  InitRecordData(Ods(buffer));
}

void TObjDataSet::InitRecordData(TodsRecordBuffer&) {}

TodsFieldValue* TObjDataSet::ValueOf(const TodsRecordBuffer& buffer, const TField* field) const {
  if (!field) return nullptr;
  const auto it = fValueIndex.find(field);
  if (it != fValueIndex.end()) {
    return it->second >= 0 && it->second < buffer.Count() ? buffer.Values[static_cast<std::size_t>(it->second)].get()
                                                          : nullptr;
  }
  // A field made after the open: found by name once.
  int place = -1;
  const String lower = AnsiLowerCase(field->FieldName());
  for (int i = 0; i < buffer.Count(); ++i)
    if (buffer.Values[static_cast<std::size_t>(i)]->FieldName() == lower) {
      place = i;
      break;
    }
  fValueIndex[field] = place;
  return place >= 0 ? buffer.Values[static_cast<std::size_t>(place)].get() : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Construction and properties

TObjDataSet::TObjDataSet(TComponent* owner)
    : TDataSet(owner),
      fParamsObject(std::make_unique<TodsObjectParams>(this)),
      fConstraints(std::make_unique<TCheckConstraints>(this)) {}

TObjDataSet::~TObjDataSet() {
  Destroying();
  fDestroying = true;
  try {
    Close();
  } catch (...) {
    HandleExceptionQuietly();
  }
  fProvider.reset();
}

void TObjDataSet::DeclareProperties(TPropTable<TObjDataSet>& t) {
  t.Prop("Constraints", &TObjDataSet::Constraints, &TObjDataSet::SetConstraints);
  t.Prop("CompRef", &TObjDataSet::CompRef, &TObjDataSet::SetCompRef);
  t.Prop("Path", &TObjDataSet::Path, &TObjDataSet::SetPath);
  t.Prop("ReadOnly", &TObjDataSet::ReadOnly, &TObjDataSet::SetReadOnly).Default(false);
  t.Prop("UseEditBuffer", &TObjDataSet::UseEditBuffer, &TObjDataSet::SetUseEditBuffer).Default(true);
  t.Prop("ParamsObject", &TObjDataSet::ParamsObject, &TObjDataSet::SetParamsObject);
  t.Event("OnCursorMove", &TObjDataSet::OnCursorMove);
  t.Event("BeforeOpen", &TDataSet::BeforeOpen);
  t.Event("AfterOpen", &TDataSet::AfterOpen);
  t.Event("BeforeClose", &TDataSet::BeforeClose);
  t.Event("AfterClose", &TDataSet::AfterClose);
  t.Event("BeforeInsert", &TDataSet::BeforeInsert);
  t.Event("AfterInsert", &TDataSet::AfterInsert);
  t.Event("BeforeEdit", &TDataSet::BeforeEdit);
  t.Event("AfterEdit", &TDataSet::AfterEdit);
  t.Event("BeforePost", &TDataSet::BeforePost);
  t.Event("AfterPost", &TDataSet::AfterPost);
  t.Event("BeforeCancel", &TDataSet::BeforeCancel);
  t.Event("AfterCancel", &TDataSet::AfterCancel);
  t.Event("BeforeDelete", &TDataSet::BeforeDelete);
  t.Event("AfterDelete", &TDataSet::AfterDelete);
  t.Event("BeforeScroll", &TDataSet::BeforeScroll);
  t.Event("AfterScroll", &TDataSet::AfterScroll);
  t.Event("BeforeRefresh", &TDataSet::BeforeRefresh);
  t.Event("AfterRefresh", &TDataSet::AfterRefresh);
  t.Event("OnCalcFields", &TDataSet::OnCalcFields);
  t.Event("OnNewRecord", &TDataSet::OnNewRecord);
  t.Event("OnDeleteError", &TDataSet::OnDeleteError);
  t.Event("OnEditError", &TDataSet::OnEditError);
  t.Event("OnPostError", &TDataSet::OnPostError);
}

void TObjDataSet::DefineProperties(TFiler& filer) {
  TDataSet::DefineProperties(filer);
  filer.DefineProperty("ExpandSetProps", [this](TReader& r) { ReadExpandSetProps(r); }, nullptr, false);
  filer.DefineProperty("StrFieldsLength", [this](TReader& r) { ReadStrFieldsLength(r); }, nullptr, false);
  filer.DefineProperty("BlobStrTypes", [this](TReader& r) { ReadBlobStrTypes(r); }, nullptr, false);
}

void TObjDataSet::ReadExpandSetProps(TReader& reader) { fParamsObject->SetExpandSets(reader.ReadBoolean()); }

void TObjDataSet::ReadStrFieldsLength(TReader& reader) {
  fParamsObject->SetStringLength(static_cast<int>(reader.ReadInteger()));
}

void TObjDataSet::ReadBlobStrTypes(TReader& reader) { fParamsObject->SetBlobProperties(reader.ReadString()); }

void TObjDataSet::Loaded() {
  // A descendant may have opened the cursor while the form was read: the stored Active decides.
  if (fCursorOpen && !Active()) CloseCursor();
  TDataSet::Loaded();
}

void TObjDataSet::WatchComponent(TComponent* component) {
  if (fWatched == component) return;
  if (fWatched) RemoveFreeNotification(fWatched);
  fWatched = component;
  if (component) FreeNotification(component);
}

void TObjDataSet::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != opRemove || !component || component != fWatched) return;
  fWatched = nullptr;
  if (component == fCompRef)
    SetCompRef(nullptr);
  else
    SetObjectRef(nullptr);
}

void TObjDataSet::SetObjectRef(TPersistent* value) {
  const bool wasActive = Active();
  Close();
  fObjectRef = value;
  // CompRef names the root object it set; another root replaces it.
  if (fCompRef && value != fCompRef) fCompRef = nullptr;
  WatchComponent(dynamic_cast<TComponent*>(value));
  RecreateProvider();
  if (wasActive && value) Open();
}

void TObjDataSet::SetCompRef(TComponent* value) {
  if (value == fCompRef) return;
  fCompRef = value;
  SetObjectRef(value);
}

void TObjDataSet::SetPath(const String& value) {
  CheckInactive();
  fPath = value;
  RecreateProvider();
}

void TObjDataSet::SetReadOnly(bool value) {
  if (value == fReadOnly) return;
  if (Active()) Cancel();
  fReadOnly = value;
}

void TObjDataSet::SetParamsObject(TodsObjectParams* value) {
  if (value) fParamsObject->Assign(value);
}

void TObjDataSet::RecreateProvider() {
  fProvider.reset();
  if (fDestroying) return;
  TObject* data = ResolvePath(fObjectRef, fPath);
  if (!data) data = fObjectRef;
  if (!data) return;
  auto* persistent = dynamic_cast<TPersistent*>(data);
  if (auto* collection = dynamic_cast<TCollection*>(data))
    fProvider = std::make_unique<TCollectionDataProvider>(collection, this);
  else if (auto* recordSet = dynamic_cast<TvpQuickRecordSet*>(data))
    fProvider = std::make_unique<TRecordSetDataProvider>(recordSet, this);
  else if (auto* strings = dynamic_cast<TStrings*>(data))
    fProvider = std::make_unique<TStringsDataProvider>(strings, this);
  else if (persistent)
    fProvider = std::make_unique<TObjectDataProvider>(persistent, this);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TObjDataSet::InternalInitFieldDefs() {
  TFieldDefs& defs = FieldDefs();
  defs.Clear();
  fFieldNames.clear();
  if (fProvider) fProvider->InitFieldDefs(defs, fFieldNames);
}

void TObjDataSet::InternalOpen() {
  if (!fObjectRef || !fProvider) throw EZVError(SENoDataProvider.Text());
  fModifiedFields.clear();
  fCursorPos = -1;
  // Each field's place among a buffer's values, found once: reading a field is then a lookup.
  fValueIndex.clear();
  std::vector<String> names;
  for (std::string_view name : lioSplit(fFieldNames))
    if (!name.empty()) names.push_back(AnsiLowerCase(name));
  for (const TField* field : Fields()) {
    if (field->FieldKind() != fkData) continue;
    const String lower = AnsiLowerCase(field->FieldName());
    int place = -1;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == lower) {
        place = static_cast<int>(i);
        break;
      }
    fValueIndex[field] = place;
  }
  fCursorOpen = true;
}

void TObjDataSet::CreateFields() {
  TFieldDefs& defs = FieldDefs();
  for (int i = 0; i < defs.Count(); ++i)
    if (defs[i]->DataType() == ftUnknown) DatabaseErrorFmt(SUnknownFieldType, {defs[i]->Name()});
  TDataSet::CreateFields();
}

void TObjDataSet::InternalClose() {
  fCursorOpen = false;
  fCursorPos = -1;
  fValueIndex.clear();
}

void TObjDataSet::InternalHandleException() { TDataSet::InternalHandleException(); }

// ---------------------------------------------------------------------------------------------
// Moving

int TObjDataSet::RecordCount() const {
  if (!fObjectRef || !fProvider) return -1;
  return fProvider->GetRecordCount();
}

void TObjDataSet::ParkNotification() {}

void TObjDataSet::MoveNotification(int offset, bool& skipped) {
  if (OnCursorMove) OnCursorMove(this, offset, skipped);
}

bool TObjDataSet::MoveCursor(int offset) {
  const int count = ProviderCount();
  const int origin = fCursorPos;
  int step = offset;
  // A skip asked where nothing moved (offset 0, after a delete) goes on forward, then, from
  // the start, backward: a handler that skips everything ends at an end instead of looping.
  bool skippedInPlace = false;
  bool turned = false;
  for (;;) {
    fCursorPos += step;
    if (fCursorPos < 0 && step <= 0) {
      fCursorPos = -1;
      return true;
    }
    if (fCursorPos >= count && step >= 0) {
      if (skippedInPlace && !turned) {
        turned = true;
        fCursorPos = origin;
        step = -1;
        continue;
      }
      fCursorPos = count;
      return true;
    }
    bool skipped = false;
    MoveNotification(step, skipped);
    if (!skipped) return false;
    if (step == 0) skippedInPlace = true;
    step = step < 0 || turned ? -1 : 1;
  }
}

TGetResult TObjDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) {
  const int count = ProviderCount();
  TGetResult result = grOK;
  if (count <= 0) {
    result = mode == gmNext ? grEOF : mode == gmPrior ? grBOF : grError;
  } else {
    switch (mode) {
      case gmNext:
        if (MoveCursor(1)) result = grEOF;
        break;
      case gmPrior:
        if (MoveCursor(-1)) result = grBOF;
        break;
      case gmCurrent:
        if (fCursorPos < 0 || fCursorPos >= count) result = grError;
        break;
    }
  }
  if (result == grOK) {
    TodsRecordBuffer& record = Ods(buffer);
    record.Bookmark = fProvider->GetBookmark(fCursorPos);
    record.BookmarkFlag = bfCurrent;
    GetRecordData(record);
  } else if (result == grError && doCheck) {
    DatabaseError(Format(SEInternal.Text(), {SENoRecords.Text()}), this);
  }
  return result;
}

void TObjDataSet::GetRecordData(TodsRecordBuffer& buffer, const String&) {
  const int pos = GetRealCurPos();
  for (auto& value : buffer.Values) {
    value->Clear();
    fProvider->GetFieldData(value->FieldName(), pos, *value);
  }
}

int TObjDataSet::GetRealCurPos() const {
  if (!fProvider || !fProvider->IsMultiRecord()) return 0;
  if (State() == dsInsert) {
    if (fCursorPos == -1) return 0;
    if (fCursorPos == ProviderCount()) return ProviderCount() - 1;
  }
  return fCursorPos;
}

void TObjDataSet::InternalFirst() {
  fCursorPos = -1;
  ParkNotification();
}

void TObjDataSet::InternalLast() {
  fCursorPos = ProviderCount();
  ParkNotification();
}

int TObjDataSet::RecNo() const {
  if (!Active()) return -1;
  const_cast<TObjDataSet*>(this)->UpdateCursorPos();
  const int count = ProviderCount();
  if (count <= 0) return 0;
  if (fCursorPos == -1) return 1;
  if (fCursorPos == count) return fCursorPos;
  return fCursorPos + 1;
}

void TObjDataSet::SetRecNo(int value) {
  CheckBrowseMode();
  if (value <= 0 || value > ProviderCount()) return;
  UpdateCursorPos();
  if (BeforeScroll) BeforeScroll(this);
  MoveCursor(value - fCursorPos - 1);
  Resync({});
  if (AfterScroll) AfterScroll(this);
}

void TObjDataSet::SetCursorPos(int value) {
  if (fCursorLocked) {
    fCursorPos = value;
    return;
  }
  if (value < 0 || value >= ProviderCount()) return;
  CheckBrowseMode();
  // The window's reads leave the cursor on its last row: compare with the current record.
  UpdateCursorPos();
  if (value == fCursorPos) return;
  if (BeforeScroll) BeforeScroll(this);
  MoveCursor(value - fCursorPos);
  Resync({rmCenter});
  if (AfterScroll) AfterScroll(this);
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

int TObjDataSet::GetIndexOfBookmark(const TBookmarkStr& bookmark) const {
  if (!fProvider || bookmark.empty()) return -1;
  return fProvider->GetIndexOfBookmark(bookmark);
}

int TObjDataSet::GetIndexOfItem(const TObject* item) const {
  if (!fProvider || !item) return -1;
  if (item == fObjectRef && !fProvider->IsMultiRecord()) return 0;
  return fProvider->GetIndexOfItem(item);
}

int TObjDataSet::BookmarkToCursorPos(const TBookmarkStr& bookmark) const {
  return bookmark.empty() ? -1 : GetIndexOfBookmark(bookmark);
}

TBookmarkStr TObjDataSet::CursorPosToBookmarkStr(int pos) const {
  if (!fProvider || pos < 0 || pos >= ProviderCount()) return TBookmarkStr();
  return fProvider->GetBookmark(pos);
}

bool TObjDataSet::BookmarkValid(const TBookmarkStr& bookmark) const {
  return !bookmark.empty() && GetIndexOfBookmark(bookmark) != -1;
}

// Nil sorts after everything (two nils compare as INT_MAX, never equal); the difference of two
// positions is computed wide so an unknown bookmark (-1) cannot overflow it.
int TObjDataSet::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  const std::int64_t ia = a.empty() ? INT_MAX : GetIndexOfBookmark(a);
  if (b.empty()) return a.empty() ? INT_MAX : (ia >= 0 ? 1 : -1);
  const std::int64_t diff = ia - GetIndexOfBookmark(b);
  return static_cast<int>(std::clamp<std::int64_t>(diff, INT_MIN, INT_MAX));
}

void TObjDataSet::InternalGotoBookmark(const TBookmarkStr& bookmark) {
  const int index = GetIndexOfBookmark(bookmark);
  if (index == -1) throw EZVError(SEBookmarkNotFound.Text());
  MoveCursor(index - fCursorPos);
}

void TObjDataSet::InternalSetToRecord(TRecordBuffer& buffer) {
  const int index = GetIndexOfBookmark(Ods(buffer).Bookmark);
  if (index >= 0) fCursorPos = index;
}

}  // namespace zv
