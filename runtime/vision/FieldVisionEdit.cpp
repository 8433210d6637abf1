// The vision's side of editing: posting a typed or picked value into the field, the button
// action, the switch hit tests and toggles, and the base answers of the edit operations.

#include "platform/db/DataLink.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldVision.h"

namespace zv {

namespace {

// Closes a posting bracket on every way out; Posted is what the bracket reports.
class TPostBracket {
public:
  TPostBracket(TgpFieldList& fields, IvpFieldEditor* edit, bool selectAll)
      : fFields(fields), fEdit(edit), fSelectAll(selectAll) {
    fFields.BeginPostChanges();
  }
  ~TPostBracket() noexcept(false) {
    if (fSelectAll && fEdit) fEdit->SelectAll();
    // Closing fires the host's DoAfterPost; during unwinding it is not a posting and cannot
    // raise anything that would end the program.
    fFields.EndPostChanges(fPosted && std::uncaught_exceptions() == fUncaught);
  }
  void SetPosted(bool value) { fPosted = value; }
  bool Posted() const { return fPosted; }

private:
  TgpFieldList& fFields;
  IvpFieldEditor* fEdit;
  bool fSelectAll;
  bool fPosted = false;
  int fUncaught = std::uncaught_exceptions();
};

bool DataSetEditing(TgpFieldList& fields) {
  TDataSet* dataSet = fields.DataLink() ? fields.DataLink()->DataSet() : fields.DataSet();
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}

}  // namespace

bool TvpFieldVision::PostChanges(IvpFieldEditor& edit, bool selectAll) {
  TgpFieldList& fields = edit.Fields();
  TPostBracket bracket(fields, &edit, selectAll);
  TgpFieldValue value;
  edit.RemovePendingKeys(false);
  edit.CancelMode(nullptr);

  if (fSurfaceKind == vskEdit && fields.Modified() && edit.HasEditMask() && !edit.ValidateEditText())
    throw EZVError(SEInvalidInputText);

  TfvCurrentValue& current = edit.CurrentValue();
  bool proceed = fields.Modified();
  // A value put there by a drop-down or a switch starts editing now.
  if (!proceed && current.Modified()) proceed = fields.EditInt(true);
  if (!proceed) return false;

  value.SetDataType(current.DataType());
  bool cancel = false;
  if (edit.CustomSurface() || current.Modified())
    value.Assign(current);
  else if (current.TextChanged())
    PE_ParseText(edit, value, cancel);
  else
    cancel = true;  // nothing typed, nothing picked
  if (cancel) return false;

  bool handled = false;
  if (BeforePost) BeforePost(this, &fields, &value, handled);
  if (!handled) VM_SetFieldValue(fields, value);
  if (AfterPost) AfterPost(this, &fields);
  fields.SetModified(false);
  bracket.SetPosted(true);
  return true;
}

bool TvpFieldVision::PostChangesAndHide(IvpFieldEditor& edit, bool selectAll) {
  if (edit.IsInplace()) return edit.HideWithPosting();
  return PostChanges(edit, selectAll);
}

void TvpFieldVision::ButtonClick(IvpFieldEditor& edit, TfvButtonState state) {
  struct Restore {
    TfvButtonState& s;
    ~Restore() { s = vbsNormal; }
  } restore{fButtonState};
  fButtonState = state;
  if (fButtonStyle == pbsDropDown && fEnableDropDown) fButtonState = vbsDropDown;
  PE_ButtonClick(edit);
  if (fButtonState == vbsDropDown) edit.DropDownBtnClick(state == vbsShortCut);
}

// ---------------------------------------------------------------------------------------------
// Switches

bool TvpFieldVision::KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift) {
  TgpFieldList& fields = edit.Fields();
  if (!edit.Focused() || !fields.Valid()) return false;
  bool hit = false;
  PE_KeySwitchHit(edit, key, shift, hit);
  return hit && fields.CanModify() && (!fOptionsSwitch.Contains(vsoNeedEditing) || DataSetEditing(fields));
}

bool TvpFieldVision::MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift) {
  TgpFieldList& fields = edit.Fields();
  if (!edit.Focused() || !fields.Valid()) return false;
  bool hit = false;
  PE_MouseSwitchHit(edit, x, y, shift, hit);
  hit = hit && fields.CanModify() && (!fOptionsSwitch.Contains(vsoNeedEditing) || DataSetEditing(fields));
  if (hit) edit.CaptureMouse();
  return hit;
}

void TvpFieldVision::KeySwitch(IvpFieldEditor& edit) {
  TgpFieldList& fields = edit.Fields();
  if (!fields.Edit()) return;
  TPostBracket bracket(fields, nullptr, false);
  bool posted = true;
  PE_KeySwitch(edit, posted);
  edit.Repaint();
  bracket.SetPosted(posted);
}

void TvpFieldVision::MouseSwitch(IvpFieldEditor& edit) {
  TgpFieldList& fields = edit.Fields();
  if (!fields.Edit()) return;
  TPostBracket bracket(fields, nullptr, false);
  bool posted = true;
  PE_MouseSwitch(edit, posted);
  edit.Repaint();
  bracket.SetPosted(posted);
}

// ---------------------------------------------------------------------------------------------
// Base edit operations

void TvpFieldVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  (void)cancel;
  value.SetAsString(edit.Text());
}

void TvpFieldVision::PE_InitEdit(IvpFieldEditor& edit) {
  if (OnInitEdit) OnInitEdit(this, &edit.Fields());
}

void TvpFieldVision::PE_EnterEdit(IvpFieldEditor& edit) { (void)edit; }

void TvpFieldVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftString);
  current.SetAsString(GetText(edit.Fields(), false));
  current.SetModified(false);
  current.SetTextChanged(false);
}

void TvpFieldVision::PE_KeySwitch(IvpFieldEditor& edit, bool& posted) {
  (void)edit;
  (void)posted;
}

void TvpFieldVision::PE_MouseSwitch(IvpFieldEditor& edit, bool& posted) {
  (void)edit;
  (void)posted;
}

void TvpFieldVision::PE_KeySwitchHit(IvpFieldEditor& edit, Word key, TShiftState shift, bool& hit) {
  (void)edit;
  (void)key;
  (void)shift;
  (void)hit;
}

void TvpFieldVision::PE_MouseSwitchHit(IvpFieldEditor& edit, int x, int y, TShiftState shift, bool& hit) {
  (void)edit;
  (void)x;
  (void)y;
  (void)shift;
  (void)hit;
}

void TvpFieldVision::PE_GetEditMask(TgpFieldList& fields, String& mask) {
  if (!mask.empty()) return;
  mask = fEditMask;
  if (mask.empty())
    if (TField* field = fields.MainField()) mask = field->EditMask();
}

void TvpFieldVision::PE_ButtonClick(IvpFieldEditor& edit) {
  if (OnButtonClick) OnButtonClick(this, &edit.Fields());
}

void TvpFieldVision::PE_DblClick(IvpFieldEditor& edit) {
  if (OnDblClick) OnDblClick(this, &edit.Fields());
}

bool TvpFieldVision::PE_AcceptText(IvpFieldEditor& edit, String& text, const String& oldText, int& selStart,
                                   int& selEnd) {
  (void)edit;
  (void)text;
  (void)oldText;
  (void)selStart;
  (void)selEnd;
  return true;
}

void TvpFieldVision::PE_KeyDown(IvpFieldEditor& edit, Word& key, TShiftState shift) {
  (void)edit;
  (void)key;
  (void)shift;
}

void TvpFieldVision::PE_KeyPress(IvpFieldEditor& edit, char32_t& key) {
  (void)edit;
  (void)key;
}

void TvpFieldVision::PE_EditAction(IvpFieldEditor& edit, TvpEditAction action) {
  (void)edit;
  (void)action;
}

void TvpFieldVision::PE_ShowDropDown(IvpFieldEditor& edit, TWinControl* toolForm) {
  (void)edit;
  (void)toolForm;
}

}  // namespace zv
