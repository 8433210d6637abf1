// The multi-state vision: states matched by value, shown with their text and images, cycled
// by a short-cut or a click and picked from the list drop-down.

#include "runtime/std/SwitchVisions.h"
#include "runtime/std/detail/TextFields.h"

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/Format.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"

namespace zv {

using namespace switchdetail;

namespace {

// What a state writes: null for the null state and for an empty value, which reads back as
// null anyway (an empty text in a text column would be a value no state shows).
void SetStateValue(TfvCurrentValue& current, bool nullValue, const String& fieldValue) {
  if (nullValue || fieldValue.empty())
    current.Clear();
  else
    current.SetAsString(fieldValue);
  current.SetModified(true);
}

}  // namespace

// ---- TXState ----------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TXState, TCollectionItem)

TXState::TXState(TCollection* collection) : TCollectionItem(collection) {}

void TXState::DeclareProperties(TPropTable<TXState>& t) {
  t.Prop("DisplayText", &TXState::DisplayText, &TXState::SetDisplayText);
  t.Prop("ImageIndex", &TXState::ImageIndex, &TXState::SetImageIndex).Default(-1);
  t.Prop("PushedImageIndex", &TXState::PushedImageIndex, &TXState::SetPushedImageIndex).Default(-1);
  t.Prop("FontColor", &TXState::FontColor, &TXState::SetFontColor).Default(clNone).Idents(ColorTypeInfo());
  t.Prop("FontStyle", &TXState::FontStyle, &TXState::SetFontStyle).Default(TFontStyles{});
  t.Prop("FieldValue", &TXState::FieldValue, &TXState::SetFieldValue);
  t.Prop("NullValue", &TXState::NullValue, &TXState::SetNullValue).Default(false);
  t.Prop("Switchable", &TXState::Switchable, &TXState::SetSwitchable).Default(true);
  t.Prop("InDropDownList", &TXState::InDropDownList, &TXState::SetInDropDownList).Default(true);
}

namespace {
template <class T>
bool Change(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TXState::SetDisplayText(const String& value) {
  if (Change(fDisplayText, value)) Changed(false);
}
void TXState::SetImageIndex(int value) {
  if (Change(fImageIndex, value)) Changed(false);
}
void TXState::SetPushedImageIndex(int value) {
  if (Change(fPushedImageIndex, value)) Changed(false);
}
void TXState::SetFontColor(TColor value) {
  if (Change(fFontColor, value)) Changed(false);
}
void TXState::SetFontStyle(TFontStyles value) {
  if (Change(fFontStyle, value)) Changed(false);
}
void TXState::SetSwitchable(bool value) {
  if (Change(fSwitchable, value)) Changed(false);
}
void TXState::SetInDropDownList(bool value) {
  if (Change(fInDropDownList, value)) Changed(false);
}

void TXState::SetFieldValue(const String& value) {
  if (fFieldValue == value) return;
  fFieldValue = value;
  fNullValue = false;
  Changed(false);
}

void TXState::SetNullValue(bool value) {
  if (fNullValue == value) return;
  if (value) {
    if (TCollection* states = Collection())
      for (int i = 0; i < states->Count(); ++i)
        if (auto* other = states->ItemAs<TXState>(i); other != this && other->fNullValue) {
          other->fNullValue = false;
          other->Changed(false);
        }
    fFieldValue.clear();
  }
  fNullValue = value;
  Changed(false);
}

void TXState::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TXState*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  fDisplayText = other->fDisplayText;
  fImageIndex = other->fImageIndex;
  fPushedImageIndex = other->fPushedImageIndex;
  fFontColor = other->fFontColor;
  fFontStyle = other->fFontStyle;
  fSwitchable = other->fSwitchable;
  fInDropDownList = other->fInDropDownList;
  fFieldValue = other->fFieldValue;
  // Through the setter: a copied null state takes the flag from the state that had it.
  fNullValue = false;
  if (other->fNullValue) SetNullValue(true);
  Changed(false);
}

String TXState::DisplayName() const {
  if (fFieldValue.empty() && fDisplayText.empty() && !fNullValue) return Format("(%s)", {SEmpty.Text()});
  if (fNullValue) return Format("NULL: %s", {fDisplayText});
  return Format("%s: %s", {fFieldValue, fDisplayText});
}

// ---- TXStates ---------------------------------------------------------------------------------

ZV_DEFINE_CLASS(TXStates, TOwnedCollection)

TXStates::TXStates(TXStateVision* vision) : TOwnedCollection(vision, TXState::StaticClass()), fVision(vision) {}

void TXStates::SetItems(int index, TXState* value) { Items(index)->Assign(value); }

TXState* TXStates::Find(const String& value, bool isNull) const {
  for (int i = 0; i < Count(); ++i) {
    TXState* state = Items(i);
    if (isNull ? state->NullValue() : (!state->NullValue() && state->FieldValue() == value)) return state;
  }
  return nullptr;
}

int TXStates::FindSwitchable(int index) const {
  for (int i = std::max(index + 1, 0); i < Count(); ++i)
    if (Items(i)->Switchable()) return i;
  return -1;
}

void TXStates::Update(TCollectionItem* item) {
  (void)item;
  if (fVision) fVision->StatesChanged();
}

void TXStates::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  if (fVision && action != cnAdded && fVision->fCurrentState == item) fVision->fCurrentState = nullptr;
}

// ---- TXStateVision ----------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TXStateVision, TDataListVision)

TXStateVision::TXStateVision(TComponent* owner)
    : TDataListVision(owner), fStates(std::make_unique<TXStates>(this)) {
  TvpFieldVision::SetEnableButton(true);
  SetButtonStyle(pbsDropDown);
  SetEnableDropDown(true);
  SetNullable(false);
}

TXStateVision::~TXStateVision() {
  Destroying();
  fCurrentState = nullptr;
  fStates.reset();
}

void TXStateVision::DeclareProperties(TPropTable<TXStateVision>& t) {
  using V = TvpFieldVision;
  using D = TDataListVision;
  using X = TXStateVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage).Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages).Default(true);
  t.Prop("DrawText", &V::DrawText, &V::SetDrawText).Default(true);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton).Default(true);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle).Default(false);
  t.Prop("Nullable", &D::Nullable, &D::SetNullable).Default(false);
  t.Prop("DropDown", &TToolFormVision::DropDown, &TToolFormVision::SetDropDown);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("DropDownRows", &D::DropDownRows, &D::SetDropDownRows).Default(7);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown).Default(true);
  t.Prop("OptionsSwitch", &V::OptionsSwitch, &V::SetOptionsSwitch).Default(TfvSwitchOptions{vsoEditDataSet});
  t.Prop("SwitchKey", &X::SwitchKey, &X::SetSwitchKey).Default(32);
  t.Prop("EnableSwitches", &V::EnableSwitches, &X::SetEnableSwitches).Default(false);
  t.Prop("States", &X::States, &X::SetStates);
  t.Prop("DropDownImages", &X::DropDownImages, &X::SetDropDownImages);
  t.Prop("SurfaceKind", &V::SurfaceKind, &X::SetSurfaceKind).Default(vskEdit);
  t.Event("OnDblClick", &X::OnDblClick);
  t.Event("OnButtonClick", &X::OnButtonClick);
  t.Event("AfterPost", &X::AfterPost);
  t.Event("OnInitEdit", &X::OnInitEdit);
  t.Event("OnGetText", &X::OnGetText);
  t.Event("BeforeEdit", &X::BeforeEdit);
  t.Event("BeforePost", &X::BeforePost);
  t.Event("OnDraw", &X::OnDraw);
  t.Event("OnDrawEdit", &X::OnDrawEdit);
  t.Event("OnGetEditFont", &X::OnGetEditFont);
  t.Event("OnGetValue", &X::OnGetValue);
}

void TXStateVision::SetStates(TXStates* value) {
  if (!value || value == fStates.get()) return;
  fStates->Assign(value);
}

void TXStateVision::SetDropDownImages(TImageList* value) {
  if (fDropDownImages == value) return;
  if (fDropDownImages) fDropDownImages->RemoveFreeNotification(this);
  fDropDownImages = value;
  if (value) value->FreeNotification(this);
}

void TXStateVision::Notification(TComponent* component, TOperation operation) {
  TDataListVision::Notification(component, operation);
  if (operation == opRemove && component == fDropDownImages) fDropDownImages = nullptr;
}

void TXStateVision::SetEnableSwitches(bool value) {
  if (value) TvpFieldVision::SetSurfaceKind(vskCustom);
  TvpFieldVision::SetEnableSwitches(value);
  RecreateEditors();
}

void TXStateVision::SetSurfaceKind(TfvSurfaceKind value) {
  TvpFieldVision::SetSurfaceKind(value);
  if (value == vskEdit) TvpFieldVision::SetEnableSwitches(false);
  RecreateEditors();
}

void TXStateVision::StatesChanged() {
  fCurrentState = nullptr;
  // The list of an open drop-down follows states added or removed by code.
  if (TDataSource* source = DefDataSource())
    if (TDataSet* list = source->DataSet(); list && list->Active()) list->Refresh();
  Invalidate();
}

bool TXStateVision::GetValue(TgpFieldList& fields, String& value) {
  value.clear();
  if (TField* field = fields.FieldNames().empty() ? nullptr : fields.MainField()) {
    value = field->AsString();
  } else if (OnGetValue) {
    bool isNull = false;
    OnGetValue(this, &fields, value, isNull);
  }
  return value.empty();
}

void TXStateVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  (void)displayText;
  String value;
  const bool isNull = GetValue(fields, value);
  fCurrentState = fStates->Find(value, isNull);
  text = fCurrentState ? fCurrentState->DisplayText() : String();
}

void TXStateVision::VM_PreparePainter(TgpFieldList& fields, TfvPainter& painter) {
  fCurrentState = nullptr;
  TDataListVision::VM_PreparePainter(fields, painter);
  TXState* state = fCurrentState;
  if (!state) return;
  painter.ImageIndex = state->ImageIndex();
  if (painter.CellAttrs && painter.CellAttrs->Pressed) {
    if (state->PushedImageIndex() != -1) painter.ImageIndex = state->PushedImageIndex();
    if (painter.Canvas) {
      TFont* font = painter.Canvas->Font();
      TFontStyles style = font->Style();
      style.Include(fsUnderline);
      font->SetStyle(style);
    }
  }
}

void TXStateVision::VM_DrawEdit(TgpFieldList& fields, TfvPainter& painter) {
  if (!painter.IsGrid && painter.Standalone && painter.CellAttrs && painter.CellAttrs->Focused) {
    const TRect& cell = painter.CellRect;
    if (DrawText())
      painter.DrawFocusRect({painter.TextRect.Left - 1, cell.Top + 1, painter.TextRect.Right + 1, cell.Bottom - 1});
    else
      painter.DrawFocusRect({cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1});
  }
  TDataListVision::VM_DrawEdit(fields, painter);
}

void TXStateVision::VM_ValidFields(TgpFieldList& fields, bool& valid) { ValidTextOrMemo(fields, valid); }

bool TXStateVision::DoSwitch(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  const String value = current.IsNull() ? String() : current.AsString();
  TXState* state = fStates->Find(value, value.empty());
  const int index = state ? state->Index() : -1;
  int target = fStates->FindSwitchable(index);
  if (target == -1 && state) target = fStates->FindSwitchable(-1);
  TXState* next = target != -1 ? fStates->Items(target) : state;
  if (!next) return false;
  SetStateValue(current, next->NullValue(), next->FieldValue());
  return PostChanges(edit, false);
}

void TXStateVision::PE_KeySwitch(IvpFieldEditor& edit, bool& posted) { posted = DoSwitch(edit); }

void TXStateVision::PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) { posted = DoSwitch(edit); }

void TXStateVision::PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit) {
  (void)edit;
  hit = fSwitchKey != 0 && ShortCut(key, shift) == fSwitchKey;
}

void TXStateVision::PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit) {
  TDataListVision::PE_MouseSwitchHit(edit, x, y, shift, hit);
  // A click anywhere on a switching editor cycles the states.
  if (!hit) hit = true;
}

void TXStateVision::PE_InitEdit(IvpFieldEditor& edit) {
  TDataListVision::PE_InitEdit(edit);
  OpenEditorList(edit, fStates.get());
}

void TXStateVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftString);
  String value;
  if (!GetValue(edit.Fields(), value)) current.SetAsString(value);
  current.SetModified(false);
  current.SetTextChanged(false);
}

// Typed text names a state by its display text; the state's value is what is posted.
void TXStateVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  TDataListVision::PE_ParseText(edit, value, cancel);
  const String text = value.AsString();
  TXState* state = nullptr;
  for (int i = 0; i < fStates->Count() && !state; ++i)
    if (fStates->Items(i)->DisplayText() == text) state = fStates->Items(i);
  for (int i = 0; i < fStates->Count() && !state; ++i)
    if (AnsiSameText(fStates->Items(i)->DisplayText(), text)) state = fStates->Items(i);
  if (state) {
    if (state->NullValue() || state->FieldValue().empty())
      value.Clear();
    else
      value.SetAsString(state->FieldValue());
  } else if (text.empty()) {
    value.Clear();
  }
}

void TXStateVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  if (!value.IsNull() && value.AsString().empty()) value.Clear();
  TDataListVision::VM_SetFieldValue(fields, value);
}

bool TXStateVision::IsValidChar(TgpFieldList& fields, char32_t& key) {
  (void)fields;
  (void)key;
  return true;
}

String TXStateVision::DL_ListField(TgpFieldList& fields) {
  (void)fields;
  return "DisplayText";
}

TDataSource* TXStateVision::DL_EditDataSource(TgpFieldList& fields) {
  // The pair belongs to the editor of this field list; the one of another editor may be gone.
  TDBDevidEdit* editor = fields.EditControl();
  return editor ? editor->AllocDataSource() : nullptr;
}

void TXStateVision::DL_UpdateFieldValue(IvpFieldEditor& edit, TfvUpdateValueAction action) {
  TfvCurrentValue& current = edit.CurrentValue();
  if (action == uvaClear) {
    current.Clear();
    current.SetModified(true);
    return;
  }
  if (action != uvaUpdate) return;
  TDataSource* source = DL_EditDataSource(edit.Fields());
  TDataSet* list = source ? source->DataSet() : nullptr;
  if (!list || !list->Active() || list->IsEmpty()) return;
  TField* nullField = list->FindField("NullValue");
  TField* valueField = list->FindField("FieldValue");
  if (!valueField) return;
  SetStateValue(current, nullField && nullField->AsBoolean(), valueField->AsString());
}

bool TXStateVision::DL_DropDownLayout(int width, TDataListLayout& layout) {
  layout.UniqueFields = "FieldValue";
  layout.FieldNames = "DisplayText";
  layout.Widths = std::to_string(width);
  layout.ImageField = "ImageIndex";
  layout.Images = fDropDownImages ? fDropDownImages : DrawImages() ? Images() : nullptr;
  layout.EditorWidth = true;
  layout.KeepsWidths = false;
  return true;
}

TAlignment TXStateVision::DefaultAlignment(TgpFieldList& fields) {
  (void)fields;
  return taLeftJustify;
}

int TXStateVision::DefaultMaxLength(TgpFieldList& fields) {
  (void)fields;
  return 0;
}

TVisionToolForm* TXStateVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfDataList : nullptr; }

}  // namespace zv
