#pragma once
// The providers of the object dataset: each turns one kind of data object into a numbered
// list of records with named fields. TObjDataSet picks one by the class of its data object:
// a single object, the items of a collection, the lines of a string list, the rows of a quick
// record set.
//
// Bookmarks are byte strings that stay with their record where the data object allows it: a
// collection item's is its ID with a position hint (an item that did not move is found without
// a search), a record set row's is the record set's own bookmark; a string line's is its
// position (lines have no identity), the single object's is constant.

#include "platform/classes/Object.h"
#include "platform/db/DBTypes.h"
#include "runtime/db/QuickRecordSet.h"

#include <memory>
#include <string_view>

namespace zv {

class TCollection;
class TFieldDefs;
class TObjDataSet;
class TPersistent;
class TStringList;
class TStrings;
class TvpUniValue;
namespace odsdetail {
class TObjFieldMap;
}

class TodsDataProvider : public TObject {
  ZV_CLASS(TodsDataProvider, TObject)

public:
  // owner is the data object (not owned).
  TodsDataProvider(TPersistent* owner, TObjDataSet* dataSet) : fOwner(owner), fDataSet(dataSet) {}

  TPersistent* Owner() const { return fOwner; }
  TObjDataSet* DataSet() const { return fDataSet; }

  // Adds the field definitions; fieldNames becomes the ";" list of their names.
  virtual void InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) = 0;
  virtual bool IsMultiRecord() const = 0;
  virtual int GetRecordCount() const = 0;
  virtual TBookmarkStr GetBookmark(int index) const = 0;
  // -1 for a bookmark of no record here (an empty one included).
  virtual int GetIndexOfBookmark(const TBookmarkStr& bookmark) const = 0;
  // The index of an item object of the data object; -1 when it holds no such object.
  virtual int GetIndexOfItem(const TObject* item) const;
  // One field of one record into value; a field the record does not have leaves it as it is.
  virtual void GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) = 0;
  virtual void SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) = 0;
  // Inserts a record before index, or appends for -1; returns where the new record is.
  virtual int AddItem(int index) = 0;
  virtual void DeleteItem(int index) = 0;
  // After a post (the fields written) or a delete (none). Returns where the record at recNo is
  // once the data object has settled (a sorted record set re-sorts here).
  virtual int Notification(TodsRecordSetAction action, const String& fieldNames, int recNo);

private:
  TPersistent* fOwner;
  TObjDataSet* fDataSet;
};

// The base of the two providers over published properties: fields by property through
// TvpPropAccessor, set elements as boolean fields, nulls by the object's description and the
// dataset's options. The field-to-property map is built with the definitions, so fields named
// by a description reach their property on every item.
class TCustomObjectDataProvider : public TodsDataProvider {
  ZV_CLASS(TCustomObjectDataProvider, TodsDataProvider)

public:
  TCustomObjectDataProvider(TPersistent* owner, TObjDataSet* dataSet);
  ~TCustomObjectDataProvider() override;

  // Parallel lists: a field made of one set element, and the field name of its set property.
  TStringList* SetOwnerNames() const { return fSetOwnerNames.get(); }
  TStringList* SetFieldNames() const { return fSetFieldNames.get(); }

  // The object of a record; null in the base.
  virtual TObject* GetItemObject(int index) const;
  void GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) override;
  void SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) override;

protected:
  // BuildFieldDefs with the dataset's options, then the field map.
  void BuildDefs(TFieldDefs& fieldDefs, String& fieldNames, TClass itemClass, TObject* instance);

private:
  std::unique_ptr<TStringList> fSetOwnerNames;
  std::unique_ptr<TStringList> fSetFieldNames;
  std::unique_ptr<odsdetail::TObjFieldMap> fMap;
};

class TObjectDataProvider : public TCustomObjectDataProvider {
  ZV_CLASS(TObjectDataProvider, TCustomObjectDataProvider)

public:
  using TCustomObjectDataProvider::TCustomObjectDataProvider;
  void InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) override;
  bool IsMultiRecord() const override { return false; }
  int GetRecordCount() const override { return 1; }
  TBookmarkStr GetBookmark(int index) const override;
  int GetIndexOfBookmark(const TBookmarkStr& bookmark) const override;
  int GetIndexOfItem(const TObject* item) const override;
  TObject* GetItemObject(int index) const override;
  // A single object takes no record and loses none: both raise EZVError (SEInternal).
  int AddItem(int index) override;
  void DeleteItem(int index) override;
};

class TCollectionDataProvider : public TCustomObjectDataProvider {
  ZV_CLASS(TCollectionDataProvider, TCustomObjectDataProvider)

public:
  using TCustomObjectDataProvider::TCustomObjectDataProvider;
  TCollection* Collection() const;
  void InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) override;
  bool IsMultiRecord() const override { return true; }
  int GetRecordCount() const override;
  TBookmarkStr GetBookmark(int index) const override;
  int GetIndexOfBookmark(const TBookmarkStr& bookmark) const override;
  int GetIndexOfItem(const TObject* item) const override;
  TObject* GetItemObject(int index) const override;
  int AddItem(int index) override;
  void DeleteItem(int index) override;
};

class TRecordSetDataProvider : public TodsDataProvider {
  ZV_CLASS(TRecordSetDataProvider, TodsDataProvider)

public:
  using TodsDataProvider::TodsDataProvider;
  TvpQuickRecordSet* RecordSet() const;
  void InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) override;
  bool IsMultiRecord() const override { return true; }
  int GetRecordCount() const override;
  TBookmarkStr GetBookmark(int index) const override;
  int GetIndexOfBookmark(const TBookmarkStr& bookmark) const override;
  void GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) override;
  void SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) override;
  // Positions go through the record set's order: a new record is inserted before the record
  // shown at index; the order is applied again once, in Notification.
  int AddItem(int index) override;
  void DeleteItem(int index) override;
  // Re-applies the order, tells the record set (FieldChanged) where the record now is.
  int Notification(TodsRecordSetAction action, const String& fieldNames, int recNo) override;

private:
  // Under a sort a written key cell moves its record at once, while a post goes on addressing
  // it by the position it had: the record being posted is followed by its bookmark.
  int RowOfPosted(int index);

  int fPostedPos = -1;
  TBookmarkStr fPosted;
};

// Fields "no" (the 0-based line number, read-only) and "value" (the line, 4096 characters).
class TStringsDataProvider : public TodsDataProvider {
  ZV_CLASS(TStringsDataProvider, TodsDataProvider)

public:
  using TodsDataProvider::TodsDataProvider;
  TStrings* Strings() const;
  void InitFieldDefs(TFieldDefs& fieldDefs, String& fieldNames) override;
  bool IsMultiRecord() const override { return true; }
  int GetRecordCount() const override;
  TBookmarkStr GetBookmark(int index) const override;
  int GetIndexOfBookmark(const TBookmarkStr& bookmark) const override;
  void GetFieldData(std::string_view fieldName, int index, TvpUniValue& value) override;
  void SetFieldData(std::string_view fieldName, int index, const TvpUniValue& value) override;
  // A sorted string list refuses (EStringListError): the new line could not stay where the
  // record is being inserted.
  int AddItem(int index) override;
  void DeleteItem(int index) override;
};

}  // namespace zv
