// The list visions: lite, tool-form, data-list (filtered typing) and standard (pick list).

#include "runtime/std/ListVisions.h"
#include "runtime/std/BlobVisions.h"

#include "runtime/std/DefPack.h"
#include "runtime/std/DateTimeVisions.h"
#include "runtime/std/LookupVisions.h"
#include "runtime/std/SwitchVisions.h"

#include "platform/classes/Modules.h"
#include "platform/db/DataLink.h"
#include "platform/controls/Menus.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"

namespace zv {

int TextLength(const String& text) {
  int n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

namespace {

// Shared by the lite and standard visions.
void ValidWithoutBlob(TgpFieldList& fields, bool& valid) {
  const TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField();
  valid = !fields.FieldNames().empty() && !(field && field->IsBlob());
}

void TextOrValue(TvpFieldVision* vision, const TfvGetStrValueEvent& onGetValue, TgpFieldList& fields,
                 bool displayText, String& text) {
  if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    text = displayText ? field->DisplayText() : field->Text();
    return;
  }
  text.clear();
  bool isNull = false;
  if (onGetValue) onGetValue(vision, &fields, text, isNull);
}

void MaskFromFormat(TvpFieldVision* vision, TgpFieldList& fields, String& mask) {
  if (!fields.EditFormat().empty()) mask = fields.EditFormat();
  vision->TvpFieldVision::PE_GetEditMask(fields, mask);
}

}  // namespace

// ---- TgpPickList ----------------------------------------------------------------------------------

ZV_DEFINE_CLASS(TgpPickList, TStringList)

TgpPickList::TgpPickList(TStandardVision* vision) : fVision(vision) { SetDuplicates(dupIgnore); }

// ---- TLiteVision -----------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TLiteVision, TvpFieldVision)

TLiteVision::TLiteVision(TComponent* owner) : TvpFieldVision(owner) {
  // The button this vision publishes defaults to the ellipsis: it starts with it, so that a
  // stored form that leaves the default out reads back the same button.
  SetButtonStyle(pbsEllipsis);
}

void TLiteVision::DeclareProperties(TPropTable<TLiteVision>& t) {
  using V = TvpFieldVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment)
      .Default(talDefault);
  t.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength)
      .Default(0);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage)
      .Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages)
      .Default(true);
  t.Prop("EditMask", &V::EditMask, &V::SetEditMask);
  t.Prop("EditWordWrap", &V::EditWordWrap, &V::SetEditWordWrap)
      .Default(false);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly)
      .Default(false);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton)
      .Default(false);
  t.Prop("ButtonStyle", &V::ButtonStyle, &V::SetButtonStyle)
      .Default(pbsEllipsis);
  t.Prop("ButtonGlyph", &V::ButtonGlyph, &V::SetButtonGlyph)
      .Stored(&V::HasButtonGlyph);
  t.Event("OnDblClick", &TLiteVision::OnDblClick);
  t.Event("OnButtonClick", &TLiteVision::OnButtonClick);
  t.Event("AfterPost", &TLiteVision::AfterPost);
  t.Event("OnInitEdit", &TLiteVision::OnInitEdit);
  t.Event("OnGetText", &TLiteVision::OnGetText);
  t.Event("BeforeEdit", &TLiteVision::BeforeEdit);
  t.Event("BeforePost", &TLiteVision::BeforePost);
  t.Event("OnDraw", &TLiteVision::OnDraw);
  t.Event("OnDrawEdit", &TLiteVision::OnDrawEdit);
  t.Event("OnGetEditFont", &TLiteVision::OnGetEditFont);
  t.Event("OnGetValue", &TLiteVision::OnGetValue);
}

void TLiteVision::VM_ValidFields(TgpFieldList& fields, bool& valid) { ValidWithoutBlob(fields, valid); }

void TLiteVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  TextOrValue(this, OnGetValue, fields, displayText, text);
}

void TLiteVision::PE_GetEditMask(TgpFieldList& fields, String& mask) { MaskFromFormat(this, fields, mask); }

TField* TLiteVision::AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind) {
  return fields.FieldNames().empty() ? nullptr : MainSearchField(fields, kind);
}

// ---- TToolFormVision ---------------------------------------------------------------------------------

ZV_DEFINE_CLASS(TToolFormVision, TvpFieldVision)

TToolFormVision::TToolFormVision(TComponent* owner) : TvpFieldVision(owner) { SetEnableDropDown(true); }

TToolFormVision::~TToolFormVision() { Destroying(); }

void TToolFormVision::SetDropDown(TVisionToolForm* value) {
  if (fDropDown == value) return;
  if (fDropDown) fDropDown->RemoveFreeNotification(this);
  fDropDown = value;
  if (value) value->FreeNotification(this);
}

void TToolFormVision::Notification(TComponent* component, TOperation operation) {
  TvpFieldVision::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fDropDown) fDropDown = nullptr;
  if (fCallback && fCallback->GetSelf() == component) fCallback = nullptr;
}

TWinControl* TToolFormVision::DefaultToolForm() { return fDropDown ? fDropDown : DefaultDropDown(); }

void TToolFormVision::PE_ShowDropDown(IvpFieldEditor& edit, TWinControl* toolForm) {
  auto* panel = dynamic_cast<TVisionToolForm*>(toolForm);
  auto* editor = dynamic_cast<TDBDevidEdit*>(edit.Control());
  if (panel && editor) panel->ShowPopup(this, editor);
}

TDataSource* TToolFormVision::TF_DefaultDataSource(TgpFieldList& fields) {
  (void)fields;
  return nullptr;
}

TDataSource* TToolFormVision::DefDataSource() {
  TVisionToolForm* panel = fCallback ? fCallback->GetSelf() : nullptr;
  TDBDevidEdit* editor = panel ? panel->Editor() : nullptr;
  return editor ? TF_DefaultDataSource(editor->Fields()) : nullptr;
}

// ---- TDataListVision ----------------------------------------------------------------------------------

ZV_DEFINE_CLASS(TDataListVision, TToolFormVision)

TDataListVision::TDataListVision(TComponent* owner) : TToolFormVision(owner) { SetFilterTyping(true); }

void TDataListVision::SetDropDownRows(int value) {
  CheckForPositive(value);
  fDropDownRows = value;
}

String TDataListVision::DL_ListField(TgpFieldList& fields) {
  (void)fields;
  return {};
}

TDataSource* TDataListVision::DL_EditDataSource(TgpFieldList& fields) {
  (void)fields;
  return nullptr;
}

void TDataListVision::DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) {
  (void)edit;
  (void)action;
}

bool TDataListVision::PE_AcceptText(IvpFieldEditor& edit, String& text, const String& oldText, int& selStart,
                                    int& selEnd) {
  TgpFieldList& fields = edit.Fields();
  TDataSource* source = DL_EditDataSource(fields);
  TDataSet* list = source ? source->DataSet() : nullptr;
  auto* editor = dynamic_cast<TDBDevidEdit*>(edit.Control());
  const bool completion = editor && editor->AutoCompleteAllowed();
  auto tellDropDown = [this] {
    if (IVisionToolForm* form = CallbackInterface()) form->CurrentChanged();
  };
  if (!text.empty()) {
    String found;
    const String listField = DL_ListField(fields);
    // Without a list (none yet, or closed) the text is taken as typed.
    if (list && list->Active() && !listField.empty() && list->FindField(listField) &&
        list->Locate(listField, Variant(text), {loCaseInsensitive, loPartialKey}))
      found = list->FieldByName(listField)->AsString();
    if (!found.empty() && (completion || AnsiSameText(found, text))) {
      selStart = TextLength(found);
      selEnd = TextLength(text);
      text = found;
      DL_UpdateFieldValue(edit, uvaUpdate);
      tellDropDown();
    } else if (!fPickListValuesOnly || !list || !list->Active()) {
      edit.CurrentValue().Clear();
      edit.CurrentValue().SetModified(false);
      DL_UpdateFieldValue(edit, uvaNew);
      tellDropDown();
    } else if (completion) {
      selEnd = selStart - 1;
      selStart = TextLength(oldText);
      return false;
    }
    return true;
  }
  if (fNullable) {
    edit.CurrentValue().Clear();
    DL_UpdateFieldValue(edit, uvaClear);
    tellDropDown();
  }
  return true;
}

bool TDataListVision::DL_DropDownLayout(int width, TDataListLayout& layout) {
  (void)width;
  (void)layout;
  return false;
}

// ---- TStandardVision ----------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TStandardVision, TDataListVision)

TStandardVision::TStandardVision(TComponent* owner)
    : TDataListVision(owner), fPickList(std::make_unique<TgpPickList>(this)) {
  SetButtonStyle(pbsDropDown);
  // The defaults this class publishes are where it starts.
  SetEnableButton(true);
  SetPickListValuesOnly(false);
}

TStandardVision::~TStandardVision() { Destroying(); }

void TStandardVision::DeclareProperties(TPropTable<TStandardVision>& t) {
  using V = TvpFieldVision;
  using S = TStandardVision;
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle)
      .Default(false);
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment)
      .Default(talDefault);
  t.Prop("MaxLength", &V::MaxLength, &V::SetMaxLength)
      .Default(0);
  t.Prop("EditMask", &V::EditMask, &V::SetEditMask);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton)
      .Default(true);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly)
      .Default(false);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage)
      .Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages)
      .Default(true);
  t.Prop("Nullable", &TDataListVision::Nullable, &TDataListVision::SetNullable)
      .Default(true);
  t.Prop("DropDown", &TToolFormVision::DropDown, &TToolFormVision::SetDropDown);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("DropDownRows", &TDataListVision::DropDownRows, &TDataListVision::SetDropDownRows)
      .Default(7);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown)
      .Default(true);
  t.Prop("PickList", &S::PickList, &S::SetPickList);
  t.Prop("PickListValuesOnly", &TDataListVision::PickListValuesOnly, &TDataListVision::SetPickListValuesOnly)
      .Default(false);
  t.Prop("PickListType", &S::PickListType, &S::SetPickListType).Default(pltDefault);
  t.Prop("SkipCharValidation", &S::SkipCharValidation, &S::SetSkipCharValidation).Default(false);
  t.Event("OnDblClick", &S::OnDblClick);
  t.Event("AfterPost", &S::AfterPost);
  t.Event("OnInitEdit", &S::OnInitEdit);
  t.Event("OnGetText", &S::OnGetText);
  t.Event("OnDraw", &S::OnDraw);
  t.Event("OnDrawEdit", &S::OnDrawEdit);
  t.Event("OnGetEditFont", &S::OnGetEditFont);
  t.Event("BeforeEdit", &S::BeforeEdit);
  t.Event("BeforePost", &S::BeforePost);
  t.Event("OnGetValue", &S::OnGetValue);
  t.Event("OnNewValue", &S::OnNewValue);
}

TStrings* TStandardVision::PickList() const { return fPickList.get(); }

void TStandardVision::SetPickList(TStrings* value) {
  if (value == fPickList.get()) return;
  if (!value) fPickList->Clear();
  else fPickList->Assign(value);
}

void TStandardVision::SetPickListType(TfvPickListType value) {
  fPickListType = value;
  fPickList->SetSorted(value == pltSorted || value == pltSortedMRU);
}

void TStandardVision::VM_ValidFields(TgpFieldList& fields, bool& valid) { ValidWithoutBlob(fields, valid); }

void TStandardVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  TextOrValue(this, OnGetValue, fields, displayText, text);
}

void TStandardVision::PE_GetEditMask(TgpFieldList& fields, String& mask) { MaskFromFormat(this, fields, mask); }

bool TStandardVision::IsValidChar(TgpFieldList& fields, char32_t& key) {
  return fSkipCharValidation || TDataListVision::IsValidChar(fields, key);
}

void OpenEditorList(IvpFieldEditor& edit, TPersistent* items) {
  TDBDevidEdit* editor = edit.Fields().EditControl();
  if (!editor) return;
  TObjDataSet* list = editor->AllocDataSet();
  TDataSource* source = editor->AllocDataSource();
  source->SetDataSet(list);
  list->Close();
  list->SetObjectRef(items);
  list->Open();
}

void TStandardVision::PE_InitEdit(IvpFieldEditor& edit) {
  TDataListVision::PE_InitEdit(edit);
  OpenEditorList(edit, fPickList.get());
}

void TStandardVision::RefreshList(TgpFieldList& fields) {
  TDataSource* source = DL_EditDataSource(fields);
  TDataSet* list = source ? source->DataSet() : nullptr;
  if (list && list->Active()) list->Refresh();
}

void TStandardVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  TDataListVision::PE_ParseText(edit, value, cancel);
  String text = value.AsString();
  if (text.empty()) return;
  bool doSkip = false;
  if (OnNewValue) OnNewValue(this, &edit.Fields(), text, doSkip);
  value.SetAsString(text);
  if (doSkip || (fPickListType != pltMRU && fPickListType != pltSortedMRU)) return;
  // A value the list holds already is not added again: the posting moves it to the top.
  if (fPickList->IndexOf(text) < 0) {
    fPickList->Add(text);
    RefreshList(edit.Fields());
  }
}

void TStandardVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  TDataListVision::VM_SetFieldValue(fields, value);
  if (fPickListType != pltMRU) return;
  const String text = value.AsString();
  int index = fPickList->IndexOf(text);
  if (index < 0) index = fPickList->Add(text);
  fPickList->Move(index, 0);
  RefreshList(fields);
}

String TStandardVision::DL_ListField(TgpFieldList& fields) {
  (void)fields;
  return "Value";
}

TDataSource* TStandardVision::DL_EditDataSource(TgpFieldList& fields) {
  // The pair belongs to the editor of this field list; the one of another editor may be gone.
  TDBDevidEdit* editor = fields.EditControl();
  return editor ? editor->AllocDataSource() : nullptr;
}

void TStandardVision::DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) {
  if (action == uvaClear) {
    edit.CurrentValue().Clear();
    return;
  }
  if (action != uvaUpdate) return;
  TDataSource* source = DL_EditDataSource(edit.Fields());
  TDataSet* list = source ? source->DataSet() : nullptr;
  if (!list || !list->Active()) return;
  if (TField* field = list->FindField("value")) edit.CurrentValue().SetAsString(field->AsString());
}

bool TStandardVision::DL_DropDownLayout(int width, TDataListLayout& layout) {
  layout.UniqueFields = "Value";
  layout.FieldNames = "Value";
  layout.Widths = std::to_string(width);
  return true;
}

TVisionToolForm* TStandardVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfDataList : nullptr; }

void TStandardVision::Assign(const TPersistent* source) {
  TDataListVision::Assign(source);
  const auto* other = dynamic_cast<const TStandardVision*>(source);
  if (!other) return;
  SetComboBoxStyle(other->ComboBoxStyle());
  SetMaxLength(other->MaxLength());
  SetEditMask(other->EditMask());
  SetEnableButton(other->EnableButton());
  SetEditReadOnly(other->EditReadOnly());
  SetImages(other->Images());
  SetAlignImage(other->AlignImage());
  SetDrawImages(other->DrawImages());
  SetNullable(other->Nullable());
  SetDropDown(other->DropDown());
  SetDropDownOptions(other->DropDownOptions());
  SetDropDownRows(other->DropDownRows());
  SetEnableDropDown(other->EnableDropDown());
  SetPickListType(other->PickListType());
  SetPickList(other->PickList());
  SetPickListValuesOnly(other->PickListValuesOnly());
  SetSkipCharValidation(other->SkipCharValidation());
}

// ---- TOwnerDrawVision ---------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TOwnerDrawVision, TvpFieldVision)

TOwnerDrawVision::TOwnerDrawVision(TComponent* owner) : TvpFieldVision(owner) {
  SetSurfaceKind(vskCustom);
  // Published with true as its default: it starts so, or a stored false would read back true.
  SetReadOnly(true);
}

TOwnerDrawVision::~TOwnerDrawVision() { Destroying(); }

void TOwnerDrawVision::DeclareProperties(TPropTable<TOwnerDrawVision>& t) {
  using V = TvpFieldVision;
  using O = TOwnerDrawVision;
  t.Prop("ReadOnly", &V::ReadOnly, &V::SetReadOnly)
      .Default(true);
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment)
      .Default(talDefault);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage)
      .Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages)
      .Default(true);
  t.Prop("DrawText", &V::DrawText, &V::SetDrawText)
      .Default(true);
  t.Prop("PopupMenu", &O::PopupMenu, &O::SetPopupMenu);
  t.Event("OnDblClick", &O::OnDblClick);
  t.Event("OnGetText", &O::OnGetText);
  t.Event("OnDraw", &O::OnDraw);
  t.Event("OnDrawEdit", &O::OnDrawEdit);
  t.Event("OnGetEditFont", &O::OnGetEditFont);
  t.Event("OnEditAction", &O::OnEditAction);
}

void TOwnerDrawVision::SetPopupMenu(TPopupMenu* value) {
  if (fPopupMenu == value) return;
  fPopupMenu = value;
  if (value) value->FreeNotification(this);
  UpdatePopupMenus();
}

void TOwnerDrawVision::Notification(TComponent* component, TOperation operation) {
  TvpFieldVision::Notification(component, operation);
  if (operation == opRemove && component == fPopupMenu) {
    fPopupMenu = nullptr;
    UpdatePopupMenus();
  }
}

void TOwnerDrawVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  (void)fields;
  valid = true;
}

void TOwnerDrawVision::PE_EditAction(IvpFieldEditor& edit, TvpEditAction action) {
  TvpFieldVision::PE_EditAction(edit, action);
  if (OnEditAction) OnEditAction(this, &edit.Fields(), action);
}

// ---- Registration -----------------------------------------------------------------------------------

namespace {
std::vector<TClass> StdClasses() {
  return {TLiteVision::StaticClass(),     TStandardVision::StaticClass(), TOwnerDrawVision::StaticClass(),
          TCheckBoxVision::StaticClass(), TXStateVision::StaticClass(),   TLookupVision::StaticClass(),
          TVLookupVision::StaticClass(),  TDateVision::StaticClass(),     TTimeVision::StaticClass(),
          TMemoVision::StaticClass(),     TImageVision::StaticClass(),    TTextVision::StaticClass(),
          TPictureVision::StaticClass()};
}
}  // namespace

ZV_MODULE(zvstd, {.Name = "zvstd",
                  .Initialization = [] { RegisterClasses(StdClasses()); },
                  .Finalization = [] { UnRegisterClasses(StdClasses()); }});

}  // namespace zv
