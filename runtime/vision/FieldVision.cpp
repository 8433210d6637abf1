// The vision component: properties and what a change of each tells the consumers, the consumer
// list and its broadcasts, assignment, and the base answers of the value, view and default
// operations. Editing (posting, buttons, switches) is in FieldVisionEdit.cpp.

#include "runtime/vision/FieldVision.h"

#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/db/Fields.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/FieldVisionConsumer.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TvpFieldVision, TComponent)

void TvpFieldVision::DeclareProperties(TPropTable<TvpFieldVision>& t) {
  t.Prop("Caption", &TvpFieldVision::Caption, &TvpFieldVision::SetCaption);
  t.Prop("Description", &TvpFieldVision::Description, &TvpFieldVision::SetDescription);
  t.Prop("RelatedFields", &TvpFieldVision::RelatedFields, &TvpFieldVision::SetRelatedFields);
  t.Prop("ReadOnly", &TvpFieldVision::ReadOnly, &TvpFieldVision::SetReadOnly).Default(false);
}

TvpFieldVision::TvpFieldVision(TComponent* owner)
    : TComponent(owner) {
  fImageLink.OnChange = [this](TObject*) { ImagesChanged(); };
}

TvpFieldVision::~TvpFieldVision() {
  Destroying();
  // Lists whose hosts do not free-notify (a column outside a grid) would keep a dangling
  // vision: every list still here falls back to the default and its host hears of it once.
  if (DefaultVision() == this) SetDefaultVision(nullptr);
  std::vector<TgpFieldList*> lists;
  lists.swap(fConsumers);
  for (TgpFieldList* list : lists) list->VisionDestroyed();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TvpFieldVision::SetCaption(const String& value) {
  if (value == fCaption) return;
  fCaption = value;
  UpdateVisualAttrs();
}

void TvpFieldVision::SetRelatedFields(const String& value) {
  if (value == fRelatedFields) return;
  fRelatedFields = value;
  UpdateFieldsOfConsumers();
}

void TvpFieldVision::SetAlignment(TvpDefAlignment value) {
  if (value == fAlignment) return;
  fAlignment = value;
  UpdateVisualAttrs();
}

void TvpFieldVision::SetImages(TImageList* value) {
  if (value == fImages) return;
  if (fImages) fImages->UnRegisterChanges(&fImageLink);
  fImages = value;
  if (value) {
    value->FreeNotification(this);
    value->RegisterChanges(&fImageLink);
  }
  ImagesChanged();
}

void TvpFieldVision::SetAlignImage(TvpAlignImage value) {
  if (value == fAlignImage) return;
  fAlignImage = value;
  Invalidate();
}

void TvpFieldVision::SetDrawText(bool value) {
  if (value == fDrawText) return;
  fDrawText = value;
  Invalidate();
}

void TvpFieldVision::SetDrawImages(bool value) {
  if (value == fDrawImages) return;
  fDrawImages = value;
  ImagesChanged();
}

void TvpFieldVision::SetMaxLength(int value) {
  CheckForPositiveAndZero(value);
  fMaxLength = value;
}

void TvpFieldVision::SetEditWordWrap(bool value) {
  if (value == fEditWordWrap) return;
  fEditWordWrap = value;
  RecreateEditors();
}

void TvpFieldVision::SetEditScrollBars(TScrollStyle value) {
  if (value == fEditScrollBars) return;
  fEditScrollBars = value;
  RecreateEditors();
}

void TvpFieldVision::SetEnableButton(bool value) {
  if (value == fEnableButton) return;
  fEnableButton = value;
  UpdateEditButton();
}

void TvpFieldVision::SetButtonStyle(TvpButtonStyle value) {
  if (value == fButtonStyle) return;
  fButtonStyle = value;
  UpdateEditButton();
}

TBitmap* TvpFieldVision::ButtonGlyph() const {
  if (!fButtonGlyph) {
    fButtonGlyph = std::make_unique<TBitmap>();
    fButtonGlyph->SetTransparent(true);
    // Loading a glyph into it re-lays the buttons out like assigning one.
    auto* self = const_cast<TvpFieldVision*>(this);
    fButtonGlyph->OnChange = [self](TObject*) { self->UpdateEditButton(); };
  }
  return fButtonGlyph.get();
}

void TvpFieldVision::SetButtonGlyph(TBitmap* value) {
  if (value) {
    TBitmap* glyph = ButtonGlyph();
    if (glyph != value) glyph->Assign(value);
    glyph->SetTransparent(true);
  } else {
    fButtonGlyph.reset();
  }
  if (fButtonStyle != pbsCustom)
    SetButtonStyle(pbsCustom);
  else
    UpdateEditButton();
}

void TvpFieldVision::SetOptionsSwitch(TfvSwitchOptions value) { fOptionsSwitch = value; }

void TvpFieldVision::SetUnboundMode(bool value) {
  if (value)
    fOptionsSwitch.Exclude(vsoEditDataSet);
  else
    fOptionsSwitch.Include(vsoEditDataSet);
}

void TvpFieldVision::ImagesChanged() {
  if (fImages && fDrawImages) {
    fImageWidth = fImages->Width();
    fImageHeight = fImages->Height();
  } else {
    fImageWidth = 0;
    fImageHeight = 0;
  }
  UpdateHeight();
}

void TvpFieldVision::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == fImages) {
    fImages = nullptr;  // the dying list clears its links itself
    if (!ComponentState().Contains(csDestroying)) ImagesChanged();
  }
}

// ---------------------------------------------------------------------------------------------
// Consumers and broadcasts

void TvpFieldVision::AddConsumer(TgpFieldList* fields) {
  if (!fields || ComponentState().Contains(csDestroying) || HasConsumer(fields)) return;
  fConsumers.push_back(fields);
}

// A list may leave while the vision is being destroyed (its host heard of the removal first);
// the destructor then no longer detaches it.
void TvpFieldVision::RemoveConsumer(TgpFieldList* fields) {
  fConsumers.erase(std::remove(fConsumers.begin(), fConsumers.end(), fields), fConsumers.end());
}

bool TvpFieldVision::HasConsumer(const TgpFieldList* fields) const {
  return std::find(fConsumers.begin(), fConsumers.end(), fields) != fConsumers.end();
}

template <class F>
void TvpFieldVision::Broadcast(F&& fn) {
  if (fConsumers.empty()) return;
  // A consumer may re-resolve and move to another vision, or lists may come and go while we
  // call: each list present at the start and still present gets exactly one call.
  const std::vector<TgpFieldList*> snapshot = fConsumers;
  for (TgpFieldList* list : snapshot)
    if (HasConsumer(list) && list->Consumer()) fn(*list->Consumer());
}

void TvpFieldVision::Invalidate() {
  if (ComponentState().Contains(csLoading)) return;
  Broadcast([](IvpFieldVisionConsumer& c) { c.Invalidate(); });
}

void TvpFieldVision::UpdateHeight() {
  if (ComponentState().Contains(csLoading)) return;
  Broadcast([](IvpFieldVisionConsumer& c) { c.UpdateHeight(); });
}

void TvpFieldVision::ValidateFields() {
  if (ComponentState().Contains(csLoading)) return;
  Broadcast([](IvpFieldVisionConsumer& c) { c.ValidateFields(); });
}

void TvpFieldVision::UpdateEditButton() {
  Broadcast([](IvpFieldVisionConsumer& c) { c.UpdateEditButton(); });
}

void TvpFieldVision::RecreateEditors() {
  Broadcast([](IvpFieldVisionConsumer& c) { c.RecreateEditor(); });
}

void TvpFieldVision::UpdateVisualAttrs() {
  Broadcast([](IvpFieldVisionConsumer& c) {
    if (c.UpdateVisualAttrs()) c.Invalidate();
  });
}

void TvpFieldVision::UpdatePopupMenus() {
  Broadcast([](IvpFieldVisionConsumer& c) { c.UpdatePopupMenu(); });
}

void TvpFieldVision::UpdateFieldsOfConsumers() {
  Broadcast([](IvpFieldVisionConsumer& c) { c.UpdateFields(); });
}

void TvpFieldVision::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TvpFieldVision*>(source);
  if (other && other->ClassName() == ClassName()) {
    SetCaption(other->Caption());
    SetDescription(other->Description());
    SetAlignment(other->Alignment());
    SetRelatedFields(other->RelatedFields());
    SetReadOnly(other->ReadOnly());
    SetTag(other->Tag());
    return;
  }
  TComponent::Assign(source);
}

// ---------------------------------------------------------------------------------------------
// Value and view

bool IsStoredValueFault(const TField* field, const std::exception& e) {
  if (!field || field->OnGetText) return false;
  return dynamic_cast<const EVariantError*>(&e) || dynamic_cast<const EConvertError*>(&e) ||
         dynamic_cast<const EBcdException*>(&e) || dynamic_cast<const ESQLTimeStampException*>(&e) ||
         dynamic_cast<const EMathError*>(&e) || dynamic_cast<const EIntError*>(&e);
}

String StoredValueText(const TField& field, bool displayText, bool* unreadable) {
  try {
    return displayText ? field.DisplayText() : field.Text();
  } catch (const Exception& e) {
    if (!IsStoredValueFault(&field, e)) throw;
    if (unreadable) *unreadable = true;
    return e.Message();
  }
}

String TvpFieldVision::GetText(TgpFieldList& fields, bool displayText, bool* unreadable) {
  String text;
  try {
    VM_GetText(fields, displayText, text);
  } catch (const Exception& e) {
    if (!IsStoredValueFault(fields.MainField(), e)) throw;
    text = e.Message();
    if (unreadable) *unreadable = true;
  }
  if (OnGetText) OnGetText(this, &fields, displayText, text);
  return text;
}

String TvpFieldVision::GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value) {
  if (value.IsNull()) return String();
  return VM_GetFormattedValue(fields, value);
}

bool TvpFieldVision::CanModify(TgpFieldList& fields) {
  if (fReadOnly) return false;
  bool result = true;
  VM_CanModify(fields, result);
  return result;
}

bool TvpFieldVision::FireBeforeEdit(TgpFieldList& fields) {
  bool doEdit = true;
  if (BeforeEdit) BeforeEdit(this, &fields, doEdit);
  return doEdit;
}

void TvpFieldVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  if (TField* field = fields.MainField()) text = displayText ? field->DisplayText() : field->Text();
}

// The painter's members belong to the painting records; the text hand-over is wired there.
void TvpFieldVision::VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) {
  bool unreadable = false;
  painter.Text = GetText(fields, true, &unreadable);
  if (unreadable) painter.MarkUnreadable();
}

// A vision that draws the same in cells and editors overrides VM_DrawEdit alone.
void TvpFieldVision::VM_DrawCell(TgpFieldList& fields, TgpPainter& painter) { VM_DrawEdit(fields, painter); }

void TvpFieldVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  (void)fields;
  (void)painter;
}

void TvpFieldVision::VM_DrawInactive(TgpFieldList& fields, TfvPainter& painter) {
  (void)fields;
  (void)painter;
}

int TvpFieldVision::VM_CalcHeight(TgpColumn* column, const TFont& cellFont, int lines, int extra) {
  (void)column;
  return std::max(fImageHeight, extra + lines * GetFontHeight(cellFont));
}

void TvpFieldVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  valid = !fields.FieldNames().empty() && fields.MainField() != nullptr;
}

String TvpFieldVision::VM_GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value) {
  (void)fields;
  return value.AsString();
}

void TvpFieldVision::VM_CanModify(TgpFieldList& fields, bool& canModify) {
  if (UnboundMode()) {
    canModify = true;
    return;
  }
  TField* field = fields.MainField();
  if (field && field->ReadOnly()) {
    canModify = false;
    return;
  }
  TDataSet* dataSet = fields.DataLink() ? fields.DataLink()->DataSet() : nullptr;
  if (!dataSet) dataSet = fields.DataSet();
  // Without a dataset there is nothing that could take a change.
  canModify = dataSet && dataSet->CanModify();
}

void TvpFieldVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  if (TField* field = fields.MainField()) field->Assign(&value);
}

// ---------------------------------------------------------------------------------------------
// Defaults

TAlignment TvpFieldVision::DefaultAlignment(TgpFieldList& fields) {
  TField* field = fields.MainField();
  return field ? field->Alignment() : taLeftJustify;
}

TvpDefLayout TvpFieldVision::DefaultLayout(TgpFieldList& fields) {
  (void)fields;
  return tlaDefault;
}

String TvpFieldVision::DefaultCaption(TgpFieldList& fields) {
  if (!fCaption.empty()) return fCaption;
  TField* field = fields.MainField();
  return field ? field->DisplayLabel() : String();
}

int TvpFieldVision::DefaultMaxLength(TgpFieldList& fields) {
  if (fMaxLength != 0) return fMaxLength;
  TField* field = fields.MainField();
  if (field && (field->DataType() == ftString || field->DataType() == ftWideString)) return field->Size();
  return 0;
}

TPopupMenu* TvpFieldVision::DefaultPopupMenu() { return nullptr; }

bool TvpFieldVision::IsValidChar(TgpFieldList& fields, char32_t& key) {
  TField* field = fields.MainField();
  return !field || field->IsValidChar(key);
}

bool TvpFieldVision::WantArrows() { return true; }

String TvpFieldVision::AutoSearchText(TgpFieldList& fields) {
  TField* field = fields.MainField();
  // Incremental search compares raw numbers, not their formatted display.
  return GetText(fields, !(field && dynamic_cast<const TNumericField*>(field)));
}

TField* TvpFieldVision::AutoSearchField(TgpFieldList& fields, TFieldTextKind& kind) {
  if (ClassType() != TvpFieldVision::StaticClass()) return nullptr;
  return MainSearchField(fields, kind);
}

TField* TvpFieldVision::MainSearchField(TgpFieldList& fields, TFieldTextKind& kind) {
  if (OnGetText) return nullptr;
  TField* field = fields.MainField();
  if (!field) return nullptr;
  kind = dynamic_cast<const TNumericField*>(field) ? ftkEditText : ftkDisplayText;
  return field;
}

bool TvpFieldVision::SupportsDropDownOption(TfvDropDownOption option) {
  (void)option;
  return false;
}

TWinControl* TvpFieldVision::DefaultToolForm() { return nullptr; }

}  // namespace zv
