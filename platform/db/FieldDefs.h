#pragma once
// Field definitions: what a dataset knows of its columns before any field exists (name, type,
// size, precision, attributes). The dataset creates its default fields from them.

#include "platform/classes/Collection.h"
#include "platform/db/DBTypes.h"

#include <functional>
#include <string_view>

namespace zv {

class TComponent;
class TDataSet;
class TField;
class TFieldDefs;
class TStrings;

class TFieldDef : public TCollectionItem {
  ZV_CLASS(TFieldDef, TCollectionItem)

public:
  explicit TFieldDef(TCollection* collection = nullptr);

  const String& Name() const { return fName; }
  // Raises "Duplicate name 'X' in TFieldDefs" when another definition has the name.
  void SetName(const String& name);
  TFieldType DataType() const { return fDataType; }
  void SetDataType(TFieldType type);
  int Size() const { return fSize; }
  void SetSize(int size);
  int Precision() const { return fPrecision; }
  void SetPrecision(int precision);
  TFieldAttributes Attributes() const { return fAttributes; }
  void SetAttributes(TFieldAttributes attributes);
  bool Required() const { return fAttributes.Contains(faRequired); }
  void SetRequired(bool value);
  // The column's number in the dataset (1-based): the one set, else Index() + 1.
  int FieldNo() const { return fFieldNo > 0 ? fFieldNo : Index() + 1; }
  void SetFieldNo(int n) { fFieldNo = n; }
  bool InternalCalcField() const { return fInternalCalcField; }
  void SetInternalCalcField(bool v) { fInternalCalcField = v; }

  String DisplayName() const override { return fName; }
  TFieldDefs* FieldDefs() const;
  // The class CreateField creates: DefaultFieldClass(DataType()).
  TClass FieldClass() const;
  // Creates the field for this definition, owned by `owner`, and attaches it to the dataset
  // of the definitions (when there is one). Raises SUnknownFieldType when the type has no
  // field class.
  TField* CreateField(TComponent* owner, const String& fieldName = String());

  void Assign(const TPersistent* source) override;
  static void DeclareProperties(TPropTable<TFieldDef>& t);

private:
  String fName;
  TFieldType fDataType = ftUnknown;
  int fSize = 0;
  int fPrecision = 0;
  TFieldAttributes fAttributes;
  int fFieldNo = 0;
  bool fInternalCalcField = false;
};

class TFieldDefs : public TOwnedCollection {
  ZV_CLASS(TFieldDefs, TOwnedCollection)

public:
  // owner is the dataset (or null for free-standing definitions).
  explicit TFieldDefs(TPersistent* owner = nullptr);

  TDataSet* DataSet() const;
  TFieldDef* Items(int index) const { return ItemAs<TFieldDef>(index); }
  TFieldDef* operator[](int index) const { return Items(index); }
  TFieldDef* AddFieldDef();
  // Raises SFieldNameMissing for an empty name, and the duplicate-name error.
  void Add(const String& name, TFieldType type, int size = 0, bool required = false);
  // Case-insensitive; -1 / null when absent. Find raises SFieldNotFound.
  int IndexOf(std::string_view name) const;
  TFieldDef* Find(std::string_view name) const;
  TFieldDef* FindDef(std::string_view name) const;
  void GetItemNames(TStrings& list) const;

  // Whether the definitions reflect the dataset; a change to them clears it.
  bool Updated() const { return fUpdated; }
  void SetUpdated(bool value) { fUpdated = value; }
  // Brings the definitions up to date: when not Updated, calls OnUpdate (the dataset reads
  // its columns there) and marks them Updated.
  void Update();
  std::function<void(TFieldDefs& defs)> OnUpdate;

protected:
  void Update(TCollectionItem* item) override;

private:
  bool fUpdated = false;
  bool fInUpdate = false;
};

}  // namespace zv
