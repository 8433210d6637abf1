#pragma once
// The lookup visions: a key value shown as the text (and image) of a record of another
// dataset, edited by picking that record from the list drop-down or typing its text.
// - TLookupVision serves the host's lookup fields (the dataset describes the lookup);
// - TVLookupVision serves an ordinary key field, with the lookup described by TVLookupParams.
// Painting reads the lookup dataset by key (TDataSet::ReadByKey): it never moves that dataset's
// cursor, posts its edit or reaches its links.

#include "platform/controls/Menus.h"
#include "runtime/std/ListVisions.h"

namespace zv {

class TDataLinkEx;
class TVLookupVision;

// The typed text matched no record: the handler may create the key, put it into keyValue and
// leave doSkipPost false to post it.
ZV_EVENT(TfvLkpNewKeyEvent, void(TObject* sender, TgpFieldList* fields, const String& lookupValue,
                                 TgpFieldValue* keyValue, bool& doSkipPost));
ZV_EVENT(TfvGetVarValueEvent, void(TObject* sender, TgpFieldList* fields, Variant& value));

class TLookupVision : public TDataListVision {
  ZV_CLASS(TLookupVision, TDataListVision)

public:
  explicit TLookupVision(TComponent* owner);
  ~TLookupVision() override;

  // ";"-separated widths of the drop-down's columns, written back when the user resizes them.
  const String& DropDownWidth() const { return fDropDownWidth; }
  void SetDropDownWidth(const String& value) { fDropDownWidth = value; }
  TShortCut ClearShortCut() const { return fClearShortCut; }
  void SetClearShortCut(TShortCut value) { fClearShortCut = value; }
  // ";"-separated fields of the lookup dataset shown as the drop-down's columns.
  const String& ListFields() const { return fListFields; }
  void SetListFields(const String& value) { fListFields = value; }

  TfvLkpNewKeyEvent OnNewKey;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_InitEdit(IvpFieldEditor& edit) override;
  void PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift) override;
  String DL_ListField(TgpFieldList& fields) override;
  TDataSource* DL_EditDataSource(TgpFieldList& fields) override;
  void DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) override;
  bool DL_DropDownLayout(int width, TDataListLayout& layout) override;
  void DL_StoreDropDownWidths(const String& widths) override { fDropDownWidth = widths; }
  TVisionToolForm* DefaultDropDown() override;

  static void DeclareProperties(TPropTable<TLookupVision>& t);

private:
  String fDropDownWidth;
  TShortCut fClearShortCut = 0;
  String fListFields;
};

// Where a TVLookupVision finds its texts and images: the lookup dataset's key, text, image and
// extra list fields, and its data sources.
class TVLookupParams : public TPersistent {
  ZV_CLASS(TVLookupParams, TPersistent)

public:
  explicit TVLookupParams(TVLookupVision* vision = nullptr);
  ~TVLookupParams() override;

  const String& KeyField() const { return fFieldNames[0]; }
  void SetKeyField(const String& value) { SetFieldName(1, value); }
  const String& LookupField() const { return fFieldNames[1]; }
  void SetLookupField(const String& value) { SetFieldName(2, value); }
  // A numeric field giving each record's image index.
  const String& ImageField() const { return fFieldNames[2]; }
  void SetImageField(const String& value) { SetFieldName(3, value); }
  const String& DescriptionField() const { return fDescriptionField; }
  void SetDescriptionField(const String& value) { fDescriptionField = value; }
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  // The list the drop-down shows and takes keys from; null: DataSource's.
  TDataSource* EditDataSource() const { return fEditDataSource; }
  void SetEditDataSource(TDataSource* value);

  // index 1 KeyField, 2 LookupField, 3 ImageField.
  void SetFieldName(int index, const String& value);
  // The lookup dataset is open and browsing now: an edit started on it elsewhere is neither
  // read by a paint nor posted by one.
  bool Ready() const;
  bool NeedImages() const;
  bool IsValidDataSet(TDataSet* dataSet) const;
  bool IsValidDataSetImg(TDataSet* dataSet) const;
  // resultFields of the lookup record whose KeyField equals key; Null when none, when the key
  // is null or nothing is ready.
  Variant Lookup(const Variant& key, const String& resultFields) const;
  void DataChanged();

  void Assign(const TPersistent* source) override;
  static void DeclareProperties(TPropTable<TVLookupParams>& t);

private:
  friend class TVLookupVision;

  TVLookupVision* fVision;
  String fFieldNames[3];
  String fDescriptionField;
  TDataSource* fEditDataSource = nullptr;
  std::unique_ptr<TDataLinkEx> fLink;
};

class TVLookupVision : public TDataListVision {
  ZV_CLASS(TVLookupVision, TDataListVision)

public:
  explicit TVLookupVision(TComponent* owner);
  ~TVLookupVision() override;

  TVLookupParams* LookupParams() const { return fParams.get(); }
  void SetLookupParams(TVLookupParams* value);
  const String& DropDownWidth() const { return fDropDownWidth; }
  void SetDropDownWidth(const String& value) { fDropDownWidth = value; }
  TShortCut ClearShortCut() const { return fClearShortCut; }
  void SetClearShortCut(TShortCut value) { fClearShortCut = value; }
  // Typed text that matches no record may stand (and post through OnNewKey).
  bool AllowNewKeys() const { return !PickListValuesOnly(); }
  void SetAllowNewKeys(bool value) { SetPickListValuesOnly(!value); }
  TDataSet* ViewingDataSet() const;
  TDataSet* EditingDataSet() const;

  TfvLkpNewKeyEvent OnNewKey;
  TfvGetVarValueEvent OnGetValue;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift) override;
  bool IsValidChar(TgpFieldList& fields, char32_t& key) override;
  String DL_ListField(TgpFieldList& fields) override;
  TDataSource* DL_EditDataSource(TgpFieldList& fields) override;
  void DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) override;
  bool DL_DropDownLayout(int width, TDataListLayout& layout) override;
  void DL_StoreDropDownWidths(const String& widths) override { fDropDownWidth = widths; }
  TAlignment DefaultAlignment(TgpFieldList& fields) override;
  int DefaultMaxLength(TgpFieldList& fields) override;
  TVisionToolForm* DefaultDropDown() override;

  static void DeclareProperties(TPropTable<TVLookupVision>& t);

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::unique_ptr<TVLookupParams> fParams;
  String fDropDownWidth;
  TShortCut fClearShortCut = 0;
  int fImageIndex = -1;  // found by the last text request, for the painter step that follows
};

}  // namespace zv
