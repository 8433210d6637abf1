#pragma once
// The plain text visions and the bases of the visions that drop something down:
// - TLiteVision: text in and out through the field's own conversion;
// - TToolFormVision: drops down a tool form (the panel's user while it is shown);
// - TDataListVision: its drop-down is a list of records; typed text is filtered and completed
//   against that list;
// - TStandardVision: a text vision with a pick list, optionally sorted or in most-recently-used
//   order.

#include "platform/classes/Strings.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/ToolForm.h"
#include "runtime/vision/ToolFormLink.h"

#include <functional>
#include <memory>

namespace zv {

class TDataSource;
class TDBDevidEdit;
class TStandardVision;

ZV_ENUM(TfvUpdateValueAction, uvaUpdate, uvaClear, uvaNew);
ZV_ENUM(TfvPickListType, pltDefault, pltSorted, pltMRU, pltSortedMRU);

ZV_EVENT(TfvGetStrValueEvent, void(TObject* sender, TgpFieldList* fields, String& value, bool& isNull));
ZV_EVENT(TfvStdNewValueEvent, void(TObject* sender, TgpFieldList* fields, String& value, bool& doSkip));
ZV_EVENT(TfvEditActionEvent, void(TObject* sender, TgpFieldList* fields, TvpEditAction editAction));

// The pick list of a standard vision: a string list that knows its vision. Sorted, it ignores a
// line it holds already.
class TgpPickList : public TStringList {
  ZV_CLASS(TgpPickList, TStringList)

public:
  explicit TgpPickList(TStandardVision* vision = nullptr);
  TStandardVision* Vision() const { return fVision; }

private:
  TStandardVision* fVision;
};

// Valid with a field name whose field is no blob (a field that is missing is valid: the text
// then comes from OnGetValue); the text of a missing field asks OnGetValue; the edit format of
// the host wins over the vision's mask.
class TLiteVision : public TvpFieldVision {
  ZV_CLASS(TLiteVision, TvpFieldVision)

public:
  explicit TLiteVision(TComponent* owner);

  TfvGetStrValueEvent OnGetValue;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void PE_GetEditMask(TgpFieldList& fields, String& mask) override;
  // The main field's own text, unless the list names no field (OnGetValue's text then).
  TField* AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind) override;

  static void DeclareProperties(TPropTable<TLiteVision>& t);
};

class TToolFormVision : public TvpFieldVision, public IVisionToolFormUser {
  ZV_CLASS(TToolFormVision, TvpFieldVision)

public:
  explicit TToolFormVision(TComponent* owner);
  ~TToolFormVision() override;

  // Null: the class's default (DefaultDropDown).
  TVisionToolForm* DropDown() const { return fDropDown; }
  void SetDropDown(TVisionToolForm* value);
  TfvDropDownOptions DropDownOptions() const { return fDropDownOptions; }
  void SetDropDownOptions(TfvDropDownOptions value) { fDropDownOptions = value; }
  // The drop-down showing for this vision now, if any.
  IVisionToolForm* CallbackInterface() const { return fCallback; }

  virtual TVisionToolForm* DefaultDropDown() { return nullptr; }
  TWinControl* DefaultToolForm() override;
  void PE_ShowDropDown(IvpFieldEditor& edit, TWinControl* toolForm) override;
  bool SupportsDropDownOption(TfvDropDownOption option) override { return fDropDownOptions.Contains(option); }
  virtual TDataSource* TF_DefaultDataSource(TgpFieldList& fields);

  // --- IVisionToolFormUser --------------------------------------------------------------------
  TDataSource* DefDataSource() override;
  void SetCallbackInterface(IVisionToolForm* toolForm) override { fCallback = toolForm; }
  bool PostChanges(IvpFieldEditor& edit, bool selectAll) override {
    return TvpFieldVision::PostChanges(edit, selectAll);
  }
  bool PostChangesAndHide(IvpFieldEditor& edit, bool selectAll) override {
    return TvpFieldVision::PostChangesAndHide(edit, selectAll);
  }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TVisionToolForm* fDropDown = nullptr;
  TfvDropDownOptions fDropDownOptions;
  IVisionToolForm* fCallback = nullptr;
};

// What a list vision shows in the shared list drop-down: the grid's unique fields, the columns
// (";"-separated names and widths; a missing width is the drop-down's), the field giving each
// row its image and the images, and whether the pop-up takes the editor's width.
struct TDataListLayout {
  String UniqueFields;
  String FieldNames;
  String Widths;
  String ImageField;
  TImageList* Images = nullptr;
  bool EditorWidth = true;  // false: the pop-up is as wide as its columns
  bool KeepsWidths = false; // the column widths go back to the vision when the list closes
};

class TDataListVision : public TToolFormVision {
  ZV_CLASS(TDataListVision, TToolFormVision)

public:
  explicit TDataListVision(TComponent* owner);

  bool Nullable() const { return fNullable; }
  void SetNullable(bool value) { fNullable = value; }
  bool PickListValuesOnly() const { return fPickListValuesOnly; }
  void SetPickListValuesOnly(bool value) { fPickListValuesOnly = value; }
  int DropDownRows() const { return fDropDownRows; }
  // EZVError "Value must be positive (%d)" below 1; the old value stays.
  void SetDropDownRows(int value);

  virtual String DL_ListField(TgpFieldList& fields);
  virtual TDataSource* DL_EditDataSource(TgpFieldList& fields);
  virtual void DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action);
  TDataSource* TF_DefaultDataSource(TgpFieldList& fields) override { return DL_EditDataSource(fields); }
  bool PE_AcceptText(IvpFieldEditor& edit, String& text, const String& oldText, int& selStart, int& selEnd) override;
  // The list drop-down asks each class what to show, width being the drop-down's; false shows
  // nothing (the base). A class whose layout KeepsWidths hears the widths the user left.
  virtual bool DL_DropDownLayout(int width, TDataListLayout& layout);
  virtual void DL_StoreDropDownWidths(const String& widths) { (void)widths; }

private:
  bool fNullable = true;
  bool fPickListValuesOnly = true;
  int fDropDownRows = 7;
};

class TStandardVision : public TDataListVision {
  ZV_CLASS(TStandardVision, TDataListVision)

public:
  explicit TStandardVision(TComponent* owner);
  ~TStandardVision() override;

  TStrings* PickList() const;
  // Copies the lines; null empties the list.
  void SetPickList(TStrings* value);
  TfvPickListType PickListType() const { return fPickListType; }
  // The sorted kinds sort the list; the others stop sorting and keep the order.
  void SetPickListType(TfvPickListType value);
  bool SkipCharValidation() const { return fSkipCharValidation; }
  void SetSkipCharValidation(bool value) { fSkipCharValidation = value; }

  TfvGetStrValueEvent OnGetValue;
  TfvStdNewValueEvent OnNewValue;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void PE_GetEditMask(TgpFieldList& fields, String& mask) override;
  bool IsValidChar(TgpFieldList& fields, char32_t& key) override;
  void PE_InitEdit(IvpFieldEditor& edit) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) override;
  String DL_ListField(TgpFieldList& fields) override;
  TDataSource* DL_EditDataSource(TgpFieldList& fields) override;
  void DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) override;
  bool DL_DropDownLayout(int width, TDataListLayout& layout) override;
  TVisionToolForm* DefaultDropDown() override;
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TStandardVision>& t);

private:
  // The list dataset of the editor behind fields shows the pick list anew.
  void RefreshList(TgpFieldList& fields);

  std::unique_ptr<TgpPickList> fPickList;
  TfvPickListType fPickListType = pltDefault;
  bool fSkipCharValidation = false;
};

// A vision whose surface the application paints (OnDraw, OnDrawEdit); it needs no field, is
// read-only unless told otherwise, and hands edit actions and a pop-up menu to its editors.
class TOwnerDrawVision : public TvpFieldVision {
  ZV_CLASS(TOwnerDrawVision, TvpFieldVision)

public:
  explicit TOwnerDrawVision(TComponent* owner);
  ~TOwnerDrawVision() override;

  TPopupMenu* PopupMenu() const { return fPopupMenu; }
  // Every consumer takes the new menu.
  void SetPopupMenu(TPopupMenu* value);

  TfvEditActionEvent OnEditAction;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  TPopupMenu* DefaultPopupMenu() override { return fPopupMenu; }
  void PE_EditAction(IvpFieldEditor& edit, TvpEditAction action) override;

  static void DeclareProperties(TPropTable<TOwnerDrawVision>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TPopupMenu* fPopupMenu = nullptr;
};

// Opens the list dataset of the editor behind edit over items (a string list or a collection)
// and binds it to the editor's list source. The pair is the editor's own: it is freed at every
// focus change, so a vision never keeps it.
void OpenEditorList(IvpFieldEditor& edit, TPersistent* items);

// The length of a text in characters (the unit of an editor's positions).
int TextLength(const String& text);

}  // namespace zv
