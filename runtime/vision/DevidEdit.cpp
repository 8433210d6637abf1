// TDBDevidEdit: construction and properties, the data link, edit mode and reloading, typing,
// posting, field mapping and visual attributes.

#include "runtime/vision/DevidEdit.h"

#include "platform/classes/Modules.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/ToolFormLink.h"
#include "runtime/vision/detail/FlagScope.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TDBDevidEdit, TCustomMaskEdit)

void TDBDevidEdit::DeclareProperties(TPropTable<TDBDevidEdit>& t) {
  // What the host's controls have; bidirectional layout, input methods and docking are not
  // part of this host.
  for (const char* name : {"Align", "Anchors", "AutoSelect", "AutoSize", "CharCase", "Color", "Constraints",
                           "DragCursor", "DragKind", "DragMode", "Enabled", "Font", "ParentColor", "ParentFont",
                           "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible"})
    t.Publish(name);
  t.Prop("Attrs", &TDBDevidEdit::Attrs, &TDBDevidEdit::SetAttrs);
  t.Prop("MappingOptions", &TDBDevidEdit::MappingOptions, &TDBDevidEdit::SetMappingOptions)
      .Default(TgpMappingOptions{eioImportDomain});
  t.Prop("Mapper", &TDBDevidEdit::Mapper, &TDBDevidEdit::SetMapper);
  t.Prop("DisplayFormat", &TDBDevidEdit::DisplayFormat, &TDBDevidEdit::SetDisplayFormat);
  t.Prop("EditFormat", &TDBDevidEdit::EditFormat, &TDBDevidEdit::SetEditFormat);
  t.Prop("Caption", &TDBDevidEdit::Caption, &TDBDevidEdit::SetCaption);
  t.Prop("DataField", &TDBDevidEdit::DataField, &TDBDevidEdit::SetDataField);
  t.Prop("Vision", &TDBDevidEdit::Vision, &TDBDevidEdit::SetVision).Stored(&TDBDevidEdit::IsVisionStored);
  t.Prop("DataSource", &TDBDevidEdit::DataSource, &TDBDevidEdit::SetDataSource);
  t.Prop("ReadOnly", &TDBDevidEdit::ReadOnly, &TDBDevidEdit::SetReadOnly).Default(false);
  t.Prop("BorderStyle", &TDBDevidEdit::BorderStyle, &TDBDevidEdit::SetBorderStyle).Default(bs3D);
  t.Prop("WordWrap", &TDBDevidEdit::WordWrap, &TDBDevidEdit::SetWordWrap).Default(false);
  t.Prop("WantTabs", &TDBDevidEdit::WantTabs, &TDBDevidEdit::SetWantTabs).Default(false);
  t.Prop("WantReturns", &TDBDevidEdit::WantReturns, &TDBDevidEdit::SetWantReturns).Default(false);
  for (const char* name : {"OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                           "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                           "OnStartDrag", "OnMouseEnter", "OnMouseLeave"})
    t.Publish(name);
  t.Event("OnAction", &TDBDevidEdit::OnAction);
  t.Event("OnDraw", &TDBDevidEdit::OnDraw);
}

TDBDevidEdit::TDBDevidEdit(TComponent* owner) : TDBDevidEdit(owner, false) {}

TDBDevidEdit::TDBDevidEdit(TComponent* owner, bool inplace) : TCustomMaskEdit(owner), fIsInplace(inplace) { Init(); }

void TDBDevidEdit::Init() {
  fDataLink = std::make_unique<TDataLinkEx>();
  fDataLink->SetVisualControl(true);
  fDataLink->OnActiveChanged = [this](TDataLinkEx*) { DaActiveChanged(); };
  fDataLink->OnLayoutChanged = [this](TDataLinkEx*) { DaActiveChanged(); };
  fDataLink->OnDataSetChanged = [this](TDataLinkEx*) { DaDataChanged(); };
  fDataLink->OnDataSetScrolled = [this](TDataLinkEx*, int) { DaDataChanged(); };
  fDataLink->OnRecordChanged = [this](TDataLinkEx*, TField*) { DaDataChanged(); };
  fDataLink->OnFocusControl = [this](TDataLinkEx*, TField*& field) { DaFocusControl(field); };
  fDataLink->OnUpdateData = [this](TDataLinkEx*) { DaUpdateData(); };
  fFields = std::make_unique<TgpFieldList>(this, fhtEdit, this, fDataLink.get());
  fFields->SetEditControl(this);
  fFields->SetActionTarget(this, &OnAction);
  fCurrentValue.SetEditor(this);
  fButtonTracker = std::make_unique<TvpEditBtnSwitcher>(this);
  fSwitchTracker = std::make_unique<TvpEditSwitcher>(this);
  fDefaultButtonWidth = GetSystemMetrics(SM_CXVSCROLL);
  TCustomEdit::SetReadOnly(true);  // display mode: editing starts with BeginEdit
  ApplyNativeBorder();
}

TDBDevidEdit::~TDBDevidEdit() {
  if (fGoneFlag) *fGoneFlag = true;
  Destroying();
  if (fMapper) fMapper->RemoveControl(this);
  fSwitchTracker.reset();
  fButtonTracker.reset();
  FreePrivateData();
  fFields.reset();
  fDataLink.reset();
}

void TDBDevidEdit::Notification(TComponent* component, TOperation operation) {
  TCustomMaskEdit::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fMapper) fMapper = nullptr;
  if (fDataLink && component == DataSource()) SetDataSource(nullptr);
  if (component == fToolForm) fToolForm = nullptr;
}

void TDBDevidEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  SendFieldMapChanged();
  UpdateFields();
}

// ---- Properties -----------------------------------------------------------------------------

void TDBDevidEdit::SetAttrs(const String& value) {
  if (value == fFields->Attrs()) return;
  fFields->SetAttrs(value);
  SendFieldMapChanged();
}

void TDBDevidEdit::AddAttrs(const String& items) {
  String attrs = lioRemoveItems(Attrs(), items);
  for (std::string_view item : lioSplit(items))
    if (!item.empty()) attrs = lioAdd2(attrs, item);
  SetAttrs(attrs);
}

void TDBDevidEdit::RemoveAttrs(const String& items) { SetAttrs(lioRemoveItems(Attrs(), items)); }

bool TDBDevidEdit::HasAttrs(const String& items) const { return lioHasItems(Attrs(), items); }

void TDBDevidEdit::SetMappingOptions(TgpMappingOptions value) {
  if (value == fMappingOptions) return;
  fMappingOptions = value;
  if (!value.Empty()) SendFieldMapChanged();
}

void TDBDevidEdit::SetMapper(TvpCustomFieldMapper* value) {
  if (HandOverMapper(this, fMapper, value)) SendFieldMapChanged();
}

void TDBDevidEdit::SetDisplayFormat(const String& value) {
  fFields->SetDisplayFormat(value);
  Reload();
}

void TDBDevidEdit::SetEditFormat(const String& value) {
  fFields->SetEditFormat(value);
  Reload();
}

void TDBDevidEdit::SetCaption(const String& value) {
  // A caption typed by hand wins over the mapper's.
  if (!fMappingUpdate && fMapper) fMappingOptions.Exclude(eioImportCaption);
  if (value == fCaption) return;
  fCaption = value;
  if (UpdateVisualAttrs()) Invalidate();
}

void TDBDevidEdit::SetDataField(const String& value) {
  if (value == fFields->FieldNames()) return;
  fFields->SetFieldNames(value);
  if (!fMappingOptions.Empty()) SendFieldMapChanged();
  UpdateFields();
}

void TDBDevidEdit::SetField(TField* value) { SetDataField(value ? value->FieldName() : String()); }

void TDBDevidEdit::SetVision(TvpFieldVision* value) {
  if (value == fVision && value == fFields->Vision()) return;
  fFields->SetVision(value);
}

bool TDBDevidEdit::IsVisionStored() const {
  return fVision && !(fMapper && fMappingOptions.Contains(eioImportDomain));
}

void TDBDevidEdit::VisionChanged(TvpFieldVision* vision) {
  TvpFieldVision* old = fVision;
  fVision = vision;
  if (vision) vision->FreeNotification(this);
  const bool oldDying = old && old->ComponentState().Contains(csDestroying);
  // A vision chosen by hand wins over the mapper's.
  if (vision != old && !oldDying && !fMappingUpdate && fMapper) fMappingOptions.Exclude(eioImportDomain);
  if (!HandleAllocated()) {
    UpdateFields();
    return;
  }
  UpdateFields();
  RecreateEditor();
}

TDataSource* TDBDevidEdit::DataSource() const { return fDataLink->DataSource(); }

void TDBDevidEdit::SetDataSource(TDataSource* value) {
  if (value == DataSource()) return;
  fDataLink->SetDataSource(value);
  if (value) value->FreeNotification(this);
  UpdateFields();
}

bool TDBDevidEdit::ReadOnly() const { return fDataLink->ReadOnly(); }

void TDBDevidEdit::SetReadOnly(bool value) {
  if (value == ReadOnly()) return;
  fDataLink->SetReadOnly(value);
  Reload();
}

TDataSet* TDBDevidEdit::DataSet() const { return fDataLink->DataSet(); }

int TDBDevidEdit::CurrentLine() { return MultiLine() ? LineOfPos(CaretPos()) : 0; }

int TDBDevidEdit::LineCount() { return MultiLine() ? VisualLineCount() : 1; }

// ---- Data link ------------------------------------------------------------------------------

void TDBDevidEdit::DaActiveChanged() { UpdateFields(); }

void TDBDevidEdit::DaDataChanged() { Reload(); }

void TDBDevidEdit::DaFocusControl(TField*& field) {
  if (!field || field != Field() || !CanFocus()) return;
  field = nullptr;
  SetFocus();
}

void TDBDevidEdit::DaUpdateData() { PostField(); }

void TDBDevidEdit::UpdateFields() {
  if (fFieldsLock || !fFields) return;
  fFields->UpdateList(fDataLink->Active() ? DataSet() : nullptr);
  ValidateFields();
  UpdateVisualAttrs();
  ApplyEditStyle();
  Reload();
  Invalidate();
}

void TDBDevidEdit::ValidateFields() {
  bool valid = false;
  if (fDataLink->Active())
    if (TvpFieldVision* vision = fFields->Vision()) vision->VM_ValidFields(*fFields, valid);
  if (valid == fFields->Valid()) return;
  fFields->SetValid(valid);
  Reload();
}

bool TDBDevidEdit::UpdateVisualAttrs() {
  TvpFieldVision* vision = fFields->Vision();
  bool changed = false;
  const String caption = !fCaption.empty() ? fCaption : vision ? vision->DefaultCaption(*fFields) : String();
  if (caption != fFields->Caption()) {
    fFields->SetCaption(caption);
    changed = true;
  }
  TAlignment alignment = taLeftJustify;
  if (vision) switch (vision->Alignment()) {
      case talLeftJustify: alignment = taLeftJustify; break;
      case talRightJustify: alignment = taRightJustify; break;
      case talCenter: alignment = taCenter; break;
      case talDefault: alignment = vision->DefaultAlignment(*fFields); break;
    }
  const bool alignmentChanged = alignment != fFields->Alignment();
  if (alignmentChanged) {
    fFields->SetAlignment(alignment);
    changed = true;
    // The native edit takes the alignment of a multi-line vision's text.
    if (vision && vision->MultiLine() && HandleAllocated()) RecreateEditor();
  }
  if (UpdateVertAlignment()) changed = true;
  return changed;
}

bool TDBDevidEdit::UpdateVertAlignment() {
  TvpFieldVision* vision = fFields->Vision();
  TLayout layout = tlTop;
  if (vision) switch (vision->DefaultLayout(*fFields)) {
      case tlaCenter: layout = tlCenter; break;
      case tlaBottom: layout = tlBottom; break;
      default: layout = tlTop; break;
    }
  if (layout == fFields->Layout()) return false;
  fFields->SetLayout(layout);
  return true;
}

void TDBDevidEdit::UpdatePopupMenu() {
  TvpFieldVision* vision = fFields->Vision();
  if (TPopupMenu* menu = vision ? vision->DefaultPopupMenu() : nullptr) SetPopupMenu(menu);
}

void TDBDevidEdit::RecreateEditor() {
  ApplyEditStyle();
  if (HandleAllocated()) RecreateWnd();
}

void TDBDevidEdit::Invalidate() {
  if (fButtonWidth > 0 && HandleAllocated()) FrameChanged(Handle());
  TCustomMaskEdit::Invalidate();
}

void TDBDevidEdit::Repaint() {
  Invalidate();
  Update();
}

// ---- Field mapping --------------------------------------------------------------------------

void TDBDevidEdit::SendFieldMapChanged() {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  Perform(CM_FIELDMAPCHANGED);
}

void TDBDevidEdit::FieldMapChanged() {
  if (ComponentState().Contains(csLoading)) return;
  if (DataField().empty() || !fMapper || fMappingOptions.Empty()) return;
  TFlagScope mapping(fMappingUpdate);
  TvpFieldMap* map = fMapper->FindMap(fFields.get());
  if (fMappingOptions.Contains(eioImportDomain)) SetVision(map ? map->Vision() : nullptr);
  if (fMappingOptions.Contains(eioImportCaption)) SetCaption(map ? map->Caption() : String());
}

// ---- Edit mode ------------------------------------------------------------------------------

void TDBDevidEdit::FreePrivateData() {
  fPrivateSource.reset();
  fPrivateDataSet.reset();
}

TDataSource* TDBDevidEdit::AllocDataSource() {
  if (!fPrivateSource) fPrivateSource = std::make_unique<TDataSource>(nullptr);
  return fPrivateSource.get();
}

TObjDataSet* TDBDevidEdit::AllocDataSet() {
  if (!fPrivateDataSet) fPrivateDataSet = std::make_unique<TObjDataSet>(nullptr);
  return fPrivateDataSet.get();
}

void TDBDevidEdit::SetFocused(bool value) {
  if (value == fFocused) return;
  FreePrivateData();
  fCurrentValue.Clear();
  fCurrentValue.SetModified(false);
  fCurrentValue.SetTextChanged(false);
  fFocused = value;
  if (value) {
    fFields->SetModified(false);
    fAutoCompleteAllowed = false;
  }
  Reload();
  if (fFocused && fFields->Valid())
    if (TvpFieldVision* vision = fFields->Vision()) {
      vision->PE_InitEdit(*this);
      vision->PE_EnterEdit(*this);
    }
}

void TDBDevidEdit::Reload() {
  if (!fFields || ComponentState().Contains(csDestroying)) return;
  TFlagScope updating(fUpdating);
  TvpFieldVision* vision = fFields->Vision();
  if (fFields->Valid() && vision) {
    if (fFocused && !fFields->InEdit()) CancelMode(nullptr);
    TCustomEdit::SetReadOnly(true);
    fValueUnreadable = false;
    String editText;
    if (fFocused && !ReadOnly() && !vision->ReadOnly()) editText = vision->GetText(*fFields, false, &fValueUnreadable);
    // A value the field cannot turn into text is shown, not edited: its message is no value.
    if (!fFocused || ReadOnly() || vision->ReadOnly() || fValueUnreadable) {
      SetEditMask(String());
      SetMaxLength(0);
      SetText(vision->GetText(*fFields, true));
    } else {
      String mask;
      // Word wrap and a mask do not go together: the wrapped text has no fixed places.
      if (!fWordWrap) vision->PE_GetEditMask(*fFields, mask);
      SetEditMask(mask);
      if (!IsMasked()) SetMaxLength(vision->DefaultMaxLength(*fFields));
      if (editText != Text()) SetText(editText);
    }
    SetModified(false);
    fOldText = WindowText();
    TCustomMaskEdit::Invalidate();
    if (fFocused && !fFields->InEdit()) {
      fFields->SetModified(false);
      vision->PE_ResetEdit(*this);
    }
  } else {
    SetEditMask(String());
    SetText(ComponentState().Contains(csDesigning) ? Name() : String());
    fOldText = WindowText();
  }
}

bool TDBDevidEdit::Editable() {
  TvpFieldVision* vision = fFields->Vision();
  return !(vision && vision->EditReadOnly()) && !ReadOnly() && !fValueUnreadable;
}

bool TDBDevidEdit::BeginEdit() { return fFields->EditInt(true); }

void TDBDevidEdit::ResetEdit() {
  Reload();
  SelectAll();
}

bool TDBDevidEdit::PostField() {
  if (!fFocused) return true;
  TvpFieldVision* vision = fFields->Vision();
  return vision ? vision->PostChanges(*this, false) : true;
}

bool TDBDevidEdit::HideWithPosting() { return PostField(); }

bool TDBDevidEdit::SetDataText(const String& text, bool selectAll) {
  if (!fFocused || !fFields->EditInt(true)) return false;
  {
    TFlagScope updating(fUpdating);
    SetText(text);
  }
  fCurrentValue.SetTextChanged(true);
  if (selectAll) SelectAll();
  fCurrentValue.SetModified(false);
  return true;
}

bool TDBDevidEdit::DoBeforeEdit() {
  TvpFieldVision* vision = fFields->Vision();
  if (vision && !vision->FireBeforeEdit(*fFields)) return false;
  return FireBeforeEdit();
}

void TDBDevidEdit::DoBeginEdit() {
  if (Editable()) TCustomEdit::SetReadOnly(false);
}

bool TDBDevidEdit::ValidateEditText() { return !IsMasked() || MaskRules().FirstIncomplete(EditText()) < 0; }

bool TDBDevidEdit::CustomSurface() const {
  const TvpFieldVision* vision = fFields ? fFields->Vision() : nullptr;
  return vision && vision->SurfaceKind() == vskCustom;
}

bool TDBDevidEdit::WantReturnsAny() {
  TvpFieldVision* vision = fFields->Vision();
  return fWantReturns || (vision && vision->WantReturns());
}

bool TDBDevidEdit::WantTabsAny() {
  TvpFieldVision* vision = fFields->Vision();
  return fWantTabs || (vision && vision->WantTabs());
}

void TDBDevidEdit::Change() {
  TCustomMaskEdit::Change();
  if (!HandleAllocated() || fChangeLock || fUpdating || !fFocused) return;
  TFlagScope lock(fChangeLock);
  TvpFieldVision* vision = fFields->Vision();
  auto markChange = [this] {
    SetModified(true);
    fCurrentValue.SetTextChanged(true);
    if (IVisionToolForm* form = dynamic_cast<IVisionToolForm*>(fToolForm)) form->EditTextChanged();
  };
  if (!vision || !vision->FilterTyping() || IsMasked()) {
    fOldText = WindowText();
    markChange();
    return;
  }
  String text = WindowText();
  int selStart = SelStart();
  int selEnd = selStart + SelLength();
  const bool wasModified = Modified();
  if (vision->PE_AcceptText(*this, text, fOldText, selStart, selEnd)) {
    fOldText = text;
    if (text != WindowText()) SetWindowText(text);
    markChange();
  } else {
    SetWindowText(fOldText);
    SetModified(wasModified);
  }
  SetSel(selStart, selEnd);
  ScrollCaret();
  fOldText = WindowText();
}

// ---- Entering and leaving -------------------------------------------------------------------

void TDBDevidEdit::CMEnter(TMessage& message) {
  const bool wasFocused = fFocused;
  SetFocused(true);
  if (AutoSelect() && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
  TCustomMaskEdit::CMEnter(message);
  TvpFieldVision* vision = fFields->Vision();
  if (!wasFocused && fFields->Valid() && vision && vision->EnableDropDown() &&
      vision->SupportsDropDownOption(ddoShowOnEnter) && (!fPressingButton || fIsInplace) &&
      HandleAllocated())
    // After the focus change completes.
    PostMessage(Handle(), CM_SHOWTOOLFORM, 0, 0);
}

void TDBDevidEdit::WMKillFocus(TWMKillFocus& message) {
  // Focus moving into the open drop-down keeps it.
  if (fToolForm) CancelMode(FindControl(message.FocusedWnd()));
  TCustomMaskEdit::WMKillFocus(message);
}

void TDBDevidEdit::CMExit(TMessage& message) {
  (void)message;
  fButtonTracker->Reset();
  fSwitchTracker->Reset();
  if (fIsInplace) return;  // the grid ends editing
  try {
    PostField();
  } catch (...) {
    SelectAll();
    if (CanFocus()) SetFocus();
    throw;
  }
  SetFocused(false);
  DoExit();
}

// ---- Registration ---------------------------------------------------------------------------

ZV_MODULE(zvdevidedit, {.Name = "zvdevidedit",
                        .Uses = {"graphics", "controls"},
                        .Initialization = [] { RegisterClasses({TDBDevidEdit::StaticClass()}); },
                        .Finalization = [] { UnRegisterClasses({TDBDevidEdit::StaticClass()}); }});

}  // namespace zv
