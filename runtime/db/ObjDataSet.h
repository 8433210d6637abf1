#pragma once
// TObjDataSet: a dataset whose records are objects: one object, the items of a collection, the
// lines of a string list or the rows of a quick record set. Its fields are made from the
// published properties of the objects' class (see ObjMapping.h), so data-aware controls show
// and edit plain objects.
//
// The dataset never touches the objects itself: a provider (ObjProviders.h), chosen by the class
// of the data object, reads and writes one field of one record at a time. Records are numbered
// by the cursor position, 0 .. RecordCount - 1; -1 is before the first and RecordCount after
// the last.
//
// With UseEditBuffer (the default) an edited record is written to its object at Post; without,
// each field is written through as it is assigned, and Cancel leaves the object as it is. A post
// that fails keeps what the user typed and, for a new record, takes the half-added item out
// again, so posting the corrected record adds exactly one.
//
// Sources: ObjDataSet.cpp (properties, opening, moving, bookmarks), ObjDataSetEditing.cpp
// (field data, posting, inserting, deleting, blobs), ObjDataSetSearch.cpp (FindRecordEx,
// Locate, Lookup).

#include "platform/classes/Persistent.h"
#include "platform/db/CheckConstraints.h"
#include "platform/db/DataSet.h"
#include "runtime/db/ObjProviders.h"
#include "runtime/db/UniValue.h"

#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zv {

class TObjDataSet;

// The field-building options (see BuildFieldDefs); they change only while the dataset is
// closed.
class TodsObjectParams : public TPersistent {
  ZV_CLASS(TodsObjectParams, TPersistent)

public:
  explicit TodsObjectParams(TObjDataSet* dataSet = nullptr) : fDataSet(dataSet) {}

  bool ExpandSets() const { return fExpandSets; }
  void SetExpandSets(bool value);
  const String& BlobProperties() const { return fBlobProperties; }
  void SetBlobProperties(const String& value);
  int StringLength() const { return fStringLength; }
  void SetStringLength(int value);  // EZVError SEPositiveValue unless positive
  const String& NullableProperties() const { return fNullableProperties; }
  void SetNullableProperties(const String& value);
  const String& NullableTypes() const { return fNullableTypes; }
  void SetNullableTypes(const String& value);

  void Assign(const TPersistent* source) override;
  static void DeclareProperties(TPropTable<TodsObjectParams>& t);

private:
  void CheckInactive() const;

  TObjDataSet* fDataSet;
  bool fExpandSets = false;
  String fBlobProperties;
  int fStringLength = 1024;
  String fNullableProperties;
  String fNullableTypes;
};

// One field of a record buffer; FieldName is lower case.
class TodsFieldValue : public TvpUniValue {
  ZV_CLASS(TodsFieldValue, TvpUniValue)

public:
  explicit TodsFieldValue(const String& fieldName = String(), TFieldType dataType = ftUnknown);
  const String& FieldName() const { return fFieldName; }

private:
  String fFieldName;
};

// A record of the buffer window: the provider's bookmark (TRecordBuffer::Bookmark) and one value
// per field the provider declared, in the order of FieldNames.
struct TodsRecordBuffer : TRecordBuffer {
  TObjDataSet* DataSet = nullptr;
  std::vector<std::unique_ptr<TodsFieldValue>> Values;

  int Count() const { return static_cast<int>(Values.size()); }
  // The first value of the name (case ignored); null when none.
  TodsFieldValue* FindValue(std::string_view name) const;
  TodsFieldValue* FindValue(const TField* field) const;
  // No bookmark, every value null.
  void ClearValues();
};

ZV_EVENT(TCursorMoveEvent, void(TObject* sender, int offset, bool& skipped));

class TObjDataSet : public TDataSet {
  ZV_CLASS(TObjDataSet, TDataSet)

public:
  explicit TObjDataSet(TComponent* owner = nullptr);
  ~TObjDataSet() override;

  // The root data object (not owned). Setting it closes the dataset, replaces the provider and
  // reopens when the dataset was open and the object is not null.
  TPersistent* ObjectRef() const { return fObjectRef; }
  void SetObjectRef(TPersistent* value);
  // A component as the root object, cleared when the component is destroyed; when a component
  // is set through ObjectRef it is watched the same way.
  TComponent* CompRef() const { return fCompRef; }
  void SetCompRef(TComponent* value);
  // A dotted property path from ObjectRef to the data object; a path that leads nowhere shows
  // ObjectRef itself. Only while closed.
  const String& Path() const { return fPath; }
  void SetPath(const String& value);
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value);  // a change cancels an edit first
  bool UseEditBuffer() const { return fUseEditBuffer; }
  void SetUseEditBuffer(bool value) { fUseEditBuffer = value; }
  TodsObjectParams* ParamsObject() const { return fParamsObject.get(); }
  void SetParamsObject(TodsObjectParams* value);
  // Stored with the form, not evaluated.
  TCheckConstraints* Constraints() const { return fConstraints.get(); }
  void SetConstraints(TCheckConstraints* value) { fConstraints->Assign(value); }
  // The object the provider serves (ObjectRef followed along Path); null without a provider.
  TPersistent* DataObject() const { return fProvider ? fProvider->Owner() : nullptr; }
  TodsDataProvider* Provider() const { return fProvider.get(); }

  // The names of the fields the provider declared at open (";" list).
  const String& FieldNames() const { return fFieldNames; }
  // Names of the fields written since the last post or cancel (";" list).
  const String& ModifiedFields() const { return fModifiedFields; }
  void AddModifiedField(const TField* field);
  bool CursorLocked() const { return fCursorLocked; }

  // The provider's cursor: reading the window moves it, UpdateCursorPos puts it back on the
  // current record. Setting it leaves an edit first (posting or cancelling), moves from the
  // current record with skips and re-reads the window around the record; positions outside
  // the records are ignored. While CursorLocked it is only stored.
  int CursorPos() const { return fCursorPos; }
  void SetCursorPos(int value);
  // The record the provider reads for the cursor: 0 for a single object; in the insert state
  // the cursor parked at either end reads the first or last record.
  int GetRealCurPos() const;
  int GetIndexOfBookmark(const TBookmarkStr& bookmark) const;
  int GetIndexOfItem(const TObject* item) const;
  int BookmarkToCursorPos(const TBookmarkStr& bookmark) const;
  int BookmarkStrToCursorPos(const TBookmarkStr& bookmark) const { return BookmarkToCursorPos(bookmark); }
  TBookmarkStr CursorPosToBookmarkStr(int pos) const;
  // The first record whose key fields match, -1 when none; read straight from the provider.
  int FindRecordEx(const String& keyFields, const Variant& keyValues, TLocateOptions options);
  // Moves by offset, letting OnCursorMove skip records; true when an end was hit.
  bool MoveCursor(int offset);
  // The buffer's values from the provider for the current record.
  void GetRecordData(TodsRecordBuffer& buffer, const String& fieldNames = String());
  // The fields written into the buffer go to the object (adding the record in the insert
  // state).
  void SetRecordData(TodsRecordBuffer& buffer);
  // A hook for descendants: a new record's initial values (nothing here).
  virtual void InitRecordData(TodsRecordBuffer& buffer);
  // A new provider for the current ObjectRef and Path.
  void RecreateProvider();

  int RecordCount() const override;
  int RecNo() const override;
  void SetRecNo(int value) override;
  bool IsSequenced() const override { return true; }
  bool CanModify() const override { return !fReadOnly; }
  bool BookmarkValid(const TBookmarkStr& bookmark) const override;
  int CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const override;
  bool Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options = {}) override;
  Variant ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) override;
  bool GetFieldData(const TField* field, Variant& value) const override;
  void SetFieldData(TField* field, const Variant& value) override;
  std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;

  void Loaded() override;
  static void DeclareProperties(TPropTable<TObjDataSet>& t);

  TCursorMoveEvent OnCursorMove;

protected:
  void DefineProperties(TFiler& filer) override;
  void Notification(TComponent* component, TOperation operation) override;

  // Hooks: the cursor was parked at an end; the cursor moved by offset (fires OnCursorMove).
  virtual void ParkNotification();
  virtual void MoveNotification(int offset, bool& skipped);

  TRecordBufferPtr AllocRecordBuffer() override;
  void InternalInitRecord(TRecordBuffer& buffer) override;
  TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) override;
  void InternalGotoBookmark(const TBookmarkStr& bookmark) override;
  void InternalSetToRecord(TRecordBuffer& buffer) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalOpen() override;
  void InternalClose() override;
  void InternalInitFieldDefs() override;
  void InternalAddRecord(TRecordBuffer& buffer, bool append) override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalCancel() override;
  void InternalHandleException() override;
  // Default fields: a definition of no known type (a property of an unmapped class) refuses,
  // naming the field, instead of leaving the property out unseen.
  void CreateFields() override;
  bool IsCursorOpen() const override { return fCursorOpen; }

private:
  static TodsRecordBuffer& Ods(TRecordBuffer& buffer) { return static_cast<TodsRecordBuffer&>(buffer); }
  static const TodsRecordBuffer& Ods(const TRecordBuffer& buffer) {
    return static_cast<const TodsRecordBuffer&>(buffer);
  }
  int ProviderCount() const { return fProvider ? fProvider->GetRecordCount() : 0; }
  // The value of a field in a buffer: by the field's place, found once per open.
  TodsFieldValue* ValueOf(const TodsRecordBuffer& buffer, const TField* field) const;
  void WatchComponent(TComponent* component);
  // SetRecordData's insert: where the new record goes, from the buffer.
  int InsertPosition(const TodsRecordBuffer& buffer) const;

  // Legacy form properties: read into ParamsObject, never written.
  void ReadExpandSetProps(TReader& reader);
  void ReadStrFieldsLength(TReader& reader);
  void ReadBlobStrTypes(TReader& reader);

  TPersistent* fObjectRef = nullptr;
  TComponent* fCompRef = nullptr;
  TComponent* fWatched = nullptr;  // the component whose destruction clears ObjectRef
  String fPath;
  bool fReadOnly = false;
  bool fUseEditBuffer = true;
  bool fCursorLocked = false;
  bool fCursorOpen = false;
  bool fDestroying = false;
  int fCursorPos = -1;
  String fFieldNames;
  String fModifiedFields;
  std::unique_ptr<TodsObjectParams> fParamsObject;
  std::unique_ptr<TCheckConstraints> fConstraints;
  std::unique_ptr<TodsDataProvider> fProvider;
  mutable std::unordered_map<const TField*, int> fValueIndex;  // field -> place in the values
};

}  // namespace zv
