// The lookup visions: TLookupVision over the host's lookup fields, TVLookupVision with its
// TVLookupParams over an ordinary key field.

#include "runtime/std/LookupVisions.h"
#include "runtime/std/detail/TextFields.h"

#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"
#include "runtime/vision/ToolForm.h"

namespace zv {

using namespace switchdetail;

namespace {

TField* MainFieldOf(TgpFieldList& fields) { return fields.FieldNames().empty() ? nullptr : fields.MainField(); }

bool IsNumericType(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftFloat: case ftCurrency: case ftBCD:
    case ftAutoInc: case ftLargeint: case ftFMTBcd:
      return true;
    default:
      return false;
  }
}

bool IsTextOrNoBlob(const TField* field) { return field && (!field->IsBlob() || IsMemoType(field->DataType())); }

// The clear short-cut: the value is cleared and marked modified, so that the null is posted.
bool ClearByShortCut(TvpFieldVision& vision, TShortCut shortCut, IvpFieldEditor& edit, Word& key, TShiftState shift) {
  if (shortCut == 0 || ShortCut(key, shift) != shortCut) return false;
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetModified(true);
  vision.PostChangesAndHide(edit, true);
  key = 0;
  return true;
}

// Typed text that matched no record: posted only when the handler supplies a key.
void ParseNewKey(TvpFieldVision* vision, const TfvLkpNewKeyEvent& onNewKey, IvpFieldEditor& edit,
                 TgpFieldValue& value, bool& cancel) {
  cancel = true;
  if (!onNewKey) return;
  cancel = false;
  value.Clear();
  onNewKey(vision, &edit.Fields(), edit.Text(), &value, cancel);
}

// The drop-down's columns: extra fields, then the text field unless they hold it already.
String ColumnsWith(const String& extra, const String& textField) {
  if (extra.empty()) return textField;
  return lioHasItem(extra, textField) ? extra : extra + ";" + textField;
}

// The field list of the editor whose drop-down is asking.
TgpFieldList* DroppingFields(TToolFormVision& vision) {
  IVisionToolForm* callback = vision.CallbackInterface();
  TVisionToolForm* panel = callback ? callback->GetSelf() : nullptr;
  TDBDevidEdit* editor = panel ? panel->Editor() : nullptr;
  return editor ? &editor->Fields() : nullptr;
}

void TakeKey(TfvCurrentValue& current, const Variant& key) {
  current.Clear();
  current.SetDataType(ftVariant);
  if (!key.IsNull() && !key.IsEmpty()) current.SetAsVariant(key);
  current.SetModified(true);
}

}  // namespace

// ---- TLookupVision ----------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TLookupVision, TDataListVision)

TLookupVision::TLookupVision(TComponent* owner) : TDataListVision(owner) {
  TvpFieldVision::SetEnableButton(true);
  SetButtonStyle(pbsDropDown);
  SetEnableDropDown(true);
}

TLookupVision::~TLookupVision() { Destroying(); }

void TLookupVision::DeclareProperties(TPropTable<TLookupVision>& t) {
  using V = TvpFieldVision;
  using D = TDataListVision;
  using L = TLookupVision;
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage).Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages).Default(true);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton).Default(true);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle).Default(false);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly).Default(false);
  t.Prop("Nullable", &D::Nullable, &D::SetNullable).Default(true);
  t.Prop("DropDown", &TToolFormVision::DropDown, &TToolFormVision::SetDropDown);
  t.Prop("DropDownWidth", &L::DropDownWidth, &L::SetDropDownWidth);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("DropDownRows", &D::DropDownRows, &D::SetDropDownRows).Default(7);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown).Default(true);
  t.Prop("ClearShortCut", &L::ClearShortCut, &L::SetClearShortCut).Default(0);
  t.Prop("ListFields", &L::ListFields, &L::SetListFields);
  t.Event("OnDblClick", &L::OnDblClick);
  t.Event("AfterPost", &L::AfterPost);
  t.Event("OnInitEdit", &L::OnInitEdit);
  t.Event("OnGetText", &L::OnGetText);
  t.Event("BeforeEdit", &L::BeforeEdit);
  t.Event("BeforePost", &L::BeforePost);
  t.Event("OnDraw", &L::OnDraw);
  t.Event("OnDrawEdit", &L::OnDrawEdit);
  t.Event("OnGetEditFont", &L::OnGetEditFont);
  t.Event("OnNewKey", &L::OnNewKey);
}

void TLookupVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  const TField* field = MainFieldOf(fields);
  valid = field && field->Lookup() && field->LookupDataSet() && field->LookupDataSet()->Active();
}

void TLookupVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  TField* field = MainFieldOf(fields);
  if (!field || !field->DataSet()) return;
  field->DataSet()->SetFieldValues(field->KeyFields(), value.IsNull() ? Variant::Null() : value.AsVariant());
}

void TLookupVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  ParseNewKey(this, OnNewKey, edit, value, cancel);
}

void TLookupVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftVariant);
  if (TField* field = MainFieldOf(edit.Fields()); field && field->DataSet()) {
    const Variant key = field->DataSet()->FieldValues(field->KeyFields());
    if (!key.IsNull()) current.SetAsVariant(key);
  }
  current.SetModified(false);
  current.SetTextChanged(false);
}

void TLookupVision::PE_InitEdit(IvpFieldEditor& edit) {
  TDataListVision::PE_InitEdit(edit);
  TDBDevidEdit* editor = edit.Fields().EditControl();
  TField* field = MainFieldOf(edit.Fields());
  if (editor && field) editor->AllocDataSource()->SetDataSet(field->LookupDataSet());
}

void TLookupVision::PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift) {
  TDataListVision::PE_KeyDown(edit, key, shift);
  ClearByShortCut(*this, fClearShortCut, edit, key, shift);
}

String TLookupVision::DL_ListField(TgpFieldList& fields) {
  const TField* field = MainFieldOf(fields);
  return field ? field->LookupResultField() : String();
}

TDataSource* TLookupVision::DL_EditDataSource(TgpFieldList& fields) {
  // The editor's own source, bound to this field's lookup dataset: two editors sharing the
  // vision each list their own.
  TDBDevidEdit* editor = fields.EditControl();
  return editor ? editor->AllocDataSource() : nullptr;
}

void TLookupVision::DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) {
  if (action == uvaClear) {
    TakeKey(edit.CurrentValue(), Variant::Null());
    return;
  }
  if (action != uvaUpdate) return;
  TField* field = MainFieldOf(edit.Fields());
  TDataSource* source = DL_EditDataSource(edit.Fields());
  TDataSet* list = source ? source->DataSet() : nullptr;
  if (!field || !list || !list->Active() || list->IsEmpty()) return;
  TakeKey(edit.CurrentValue(), list->FieldValues(field->LookupKeyFields()));
}

bool TLookupVision::DL_DropDownLayout(int width, TDataListLayout& layout) {
  TgpFieldList* fields = DroppingFields(*this);
  const TField* field = fields ? MainFieldOf(*fields) : nullptr;
  if (!field) return false;
  layout.UniqueFields = field->LookupKeyFields();
  layout.FieldNames = ColumnsWith(fListFields, field->LookupResultField());
  layout.Widths = fDropDownWidth.empty() ? std::to_string(width) : fDropDownWidth;
  layout.Images = Images();
  layout.EditorWidth = false;
  layout.KeepsWidths = true;
  return true;
}

TVisionToolForm* TLookupVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfDataList : nullptr; }

// ---- TVLookupParams ---------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TVLookupParams, TPersistent)

TVLookupParams::TVLookupParams(TVLookupVision* vision) : fVision(vision), fLink(std::make_unique<TDataLinkEx>()) {
  fLink->SetBufferCount(2);
  auto changed = [this](TDataLinkEx*) { DataChanged(); };
  fLink->OnActiveChanged = changed;
  fLink->OnDataSetChanged = changed;
  fLink->OnRecordChanged = [this](TDataLinkEx*, TField*) { DataChanged(); };
}

TVLookupParams::~TVLookupParams() {
  fLink->OnActiveChanged = nullptr;
  fLink->OnDataSetChanged = nullptr;
  fLink->OnRecordChanged = nullptr;
  fLink->SetDataSource(nullptr);
}

void TVLookupParams::DeclareProperties(TPropTable<TVLookupParams>& t) {
  using P = TVLookupParams;
  t.Prop("KeyField", &P::KeyField, &P::SetKeyField);
  t.Prop("LookupField", &P::LookupField, &P::SetLookupField);
  t.Prop("ImageField", &P::ImageField, &P::SetImageField);
  t.Prop("DescriptionField", &P::DescriptionField, &P::SetDescriptionField);
  t.Prop("DataSource", &P::DataSource, &P::SetDataSource);
  t.Prop("EditDataSource", &P::EditDataSource, &P::SetEditDataSource);
}

TDataSource* TVLookupParams::DataSource() const { return fLink->DataSource(); }

void TVLookupParams::SetDataSource(TDataSource* value) {
  if (value == fLink->DataSource()) return;
  if (fVision) {
    if (TDataSource* old = fLink->DataSource(); old && old != fEditDataSource) old->RemoveFreeNotification(fVision);
    if (value) value->FreeNotification(fVision);
  }
  fLink->SetDataSource(value);
  DataChanged();
}

void TVLookupParams::SetEditDataSource(TDataSource* value) {
  if (value == fEditDataSource) return;
  if (fVision) {
    if (fEditDataSource && fEditDataSource != fLink->DataSource()) fEditDataSource->RemoveFreeNotification(fVision);
    if (value) value->FreeNotification(fVision);
  }
  fEditDataSource = value;
}

void TVLookupParams::SetFieldName(int index, const String& value) {
  if (index < 1 || index > 3 || fFieldNames[index - 1] == value) return;
  fFieldNames[index - 1] = value;
  if (!fVision) return;
  if (index != 3) fVision->ValidateFields();
  fVision->Invalidate();
}

bool TVLookupParams::Ready() const {
  const TDataSet* ds = fLink->DataSet();
  return ds && ds->Active() && ds->State() == dsBrowse;
}

bool TVLookupParams::NeedImages() const { return IsValidDataSetImg(fLink->DataSet()); }

bool TVLookupParams::IsValidDataSet(TDataSet* dataSet) const {
  if (!dataSet || !dataSet->Active()) return false;
  return IsTextOrNoBlob(dataSet->FindField(LookupField())) && IsTextOrNoBlob(dataSet->FindField(KeyField()));
}

bool TVLookupParams::IsValidDataSetImg(TDataSet* dataSet) const {
  if (!dataSet || ImageField().empty()) return false;
  const TField* field = dataSet->FindField(ImageField());
  return field && IsNumericType(field->DataType());
}

// The active record answers first (a grid over the lookup table shows its current record's
// key often); otherwise one keyed read, never a walk from the first record.
Variant TVLookupParams::Lookup(const Variant& key, const String& resultFields) const {
  TDataSet* ds = fLink->DataSet();
  if (!ds || key.IsNull() || key.IsEmpty() || fLink->RecordCount() == 0) return Variant::Null();
  if (const TField* keyField = ds->FindField(KeyField()); keyField && !ds->IsEmpty()) {
    const Variant active = keyField->AsVariant();
    try {
      if (!active.IsNull() && VarCompareValue(active, key) == vrEqual) return ds->FieldValues(resultFields);
    } catch (const Exception&) {
      // keys of kinds that do not compare are different keys
    }
  }
  return ds->ReadByKey(KeyField(), key, resultFields);
}

void TVLookupParams::DataChanged() {
  if (!fVision || fVision->ComponentState().Contains(csLoading)) return;
  fVision->ValidateFields();
  if (Ready()) fVision->Invalidate();
}

void TVLookupParams::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TVLookupParams*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  SetDataSource(other->DataSource());
  SetEditDataSource(other->EditDataSource());
  for (int i = 1; i <= 3; ++i) SetFieldName(i, other->fFieldNames[i - 1]);
  fDescriptionField = other->fDescriptionField;
}

// ---- TVLookupVision ---------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TVLookupVision, TDataListVision)

TVLookupVision::TVLookupVision(TComponent* owner)
    : TDataListVision(owner), fParams(std::make_unique<TVLookupParams>(this)) {
  TvpFieldVision::SetEnableButton(true);
  SetButtonStyle(pbsDropDown);
  SetEnableDropDown(true);
  SetPickListValuesOnly(true);
}

TVLookupVision::~TVLookupVision() {
  Destroying();
  fParams.reset();
}

void TVLookupVision::DeclareProperties(TPropTable<TVLookupVision>& t) {
  using V = TvpFieldVision;
  using D = TDataListVision;
  using L = TVLookupVision;
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage).Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages).Default(true);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton).Default(true);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle).Default(false);
  t.Prop("EditReadOnly", &V::EditReadOnly, &V::SetEditReadOnly).Default(false);
  t.Prop("Nullable", &D::Nullable, &D::SetNullable).Default(true);
  t.Prop("DropDown", &TToolFormVision::DropDown, &TToolFormVision::SetDropDown);
  t.Prop("DropDownWidth", &L::DropDownWidth, &L::SetDropDownWidth);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("DropDownRows", &D::DropDownRows, &D::SetDropDownRows).Default(7);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown).Default(true);
  t.Prop("ClearShortCut", &L::ClearShortCut, &L::SetClearShortCut).Default(0);
  t.Prop("LookupParams", &L::LookupParams, &L::SetLookupParams);
  t.Prop("AllowNewKeys", &L::AllowNewKeys, &L::SetAllowNewKeys).Default(false);
  t.Event("OnDblClick", &L::OnDblClick);
  t.Event("AfterPost", &L::AfterPost);
  t.Event("OnInitEdit", &L::OnInitEdit);
  t.Event("OnGetText", &L::OnGetText);
  t.Event("BeforeEdit", &L::BeforeEdit);
  t.Event("BeforePost", &L::BeforePost);
  t.Event("OnDraw", &L::OnDraw);
  t.Event("OnDrawEdit", &L::OnDrawEdit);
  t.Event("OnGetEditFont", &L::OnGetEditFont);
  t.Event("OnNewKey", &L::OnNewKey);
  t.Event("OnGetValue", &L::OnGetValue);
}

void TVLookupVision::SetLookupParams(TVLookupParams* value) {
  if (value && value != fParams.get()) fParams->Assign(value);
}

TDataSet* TVLookupVision::ViewingDataSet() const {
  TDataSource* source = fParams->DataSource();
  return source ? source->DataSet() : nullptr;
}

TDataSet* TVLookupVision::EditingDataSet() const {
  TDataSource* source = fParams->EditDataSource();
  return source && source->DataSet() ? source->DataSet() : ViewingDataSet();
}

void TVLookupVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  const TField* field = MainFieldOf(fields);
  valid = !fields.FieldNames().empty() && (!field || IsTextOrNoBlob(field)) && fParams->IsValidDataSet(ViewingDataSet());
}

void TVLookupVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  (void)displayText;
  fImageIndex = -1;
  text.clear();
  if (!fParams->Ready()) return;
  Variant key = Variant::Null();
  if (TField* field = MainFieldOf(fields))
    key = field->AsVariant();
  else if (OnGetValue)
    OnGetValue(this, &fields, key);
  else
    return;
  if (fParams->NeedImages() && DrawImages() && Images()) {
    const Variant found = fParams->Lookup(key, fParams->ImageField() + ";" + fParams->LookupField());
    if (!found.IsArray()) return;
    if (const Variant image = found.GetElement(VarArrayLowBound(found, 1)); !image.IsNull()) fImageIndex = image.AsInteger();
    const Variant value = found.GetElement(VarArrayLowBound(found, 1) + 1);
    if (!value.IsNull()) text = VarToStr(value);
    return;
  }
  const Variant found = fParams->Lookup(key, fParams->LookupField());
  if (!found.IsNull() && !found.IsEmpty()) text = VarToStr(found);
}

void TVLookupVision::VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) {
  TDataListVision::VM_PreparePainter(fields, painter);
  painter.ImageIndex = fImageIndex;
}

void TVLookupVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  ParseNewKey(this, OnNewKey, edit, value, cancel);
}

void TVLookupVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftVariant);
  Variant value = Variant::Null();
  if (TField* field = MainFieldOf(edit.Fields()))
    value = field->AsVariant();
  else if (OnGetValue)
    OnGetValue(this, &edit.Fields(), value);
  if (!value.IsNull() && !value.IsEmpty()) current.SetAsVariant(value);
  current.SetModified(false);
  current.SetTextChanged(false);
}

void TVLookupVision::PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift) {
  TDataListVision::PE_KeyDown(edit, key, shift);
  ClearByShortCut(*this, fClearShortCut, edit, key, shift);
}

bool TVLookupVision::IsValidChar(TgpFieldList& fields, char32_t& key) {
  (void)fields;
  (void)key;
  return true;
}

String TVLookupVision::DL_ListField(TgpFieldList& fields) {
  (void)fields;
  return fParams->LookupField();
}

TDataSource* TVLookupVision::DL_EditDataSource(TgpFieldList& fields) {
  (void)fields;
  return fParams->EditDataSource() ? fParams->EditDataSource() : fParams->DataSource();
}

void TVLookupVision::DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) {
  if (action == uvaClear) {
    TakeKey(edit.CurrentValue(), Variant::Null());
    return;
  }
  if (action != uvaUpdate) return;
  TDataSet* list = EditingDataSet();
  TField* key = list && list->Active() && !list->IsEmpty() ? list->FindField(fParams->KeyField()) : nullptr;
  if (key) TakeKey(edit.CurrentValue(), key->AsVariant());
}

bool TVLookupVision::DL_DropDownLayout(int width, TDataListLayout& layout) {
  layout.UniqueFields = fParams->KeyField();
  layout.FieldNames = ColumnsWith(fParams->DescriptionField(), fParams->LookupField());
  layout.Widths = fDropDownWidth.empty() ? std::to_string(width) : fDropDownWidth;
  if (fParams->IsValidDataSetImg(EditingDataSet())) {
    layout.ImageField = fParams->ImageField();
    layout.Images = Images();
  }
  layout.EditorWidth = false;
  layout.KeepsWidths = true;
  return true;
}

TAlignment TVLookupVision::DefaultAlignment(TgpFieldList& fields) {
  (void)fields;
  return taLeftJustify;
}

int TVLookupVision::DefaultMaxLength(TgpFieldList& fields) {
  (void)fields;
  return 0;
}

TVisionToolForm* TVLookupVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfDataList : nullptr; }

void TVLookupVision::Loaded() {
  TDataListVision::Loaded();
  if (fParams->DataSource()) ValidateFields();
}

void TVLookupVision::Notification(TComponent* component, TOperation operation) {
  TDataListVision::Notification(component, operation);
  if (operation != opRemove || !fParams) return;
  if (component == fParams->DataSource()) fParams->SetDataSource(nullptr);
  if (component == fParams->fEditDataSource) fParams->fEditDataSource = nullptr;
}

}  // namespace zv
