#include "platform/controls/MaskEdit.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Clipboard.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TCustomMaskEdit, TCustomEdit)
ZV_DEFINE_CLASS_WITH_PROPS(TMaskEdit, TCustomMaskEdit)

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::SetEditMask(const String& value) {
  if (value == fMask.Mask()) return;
  // An old mask's Text carries literals as that mask saved them; a plain text is read as a
  // Text of the new mask.
  const String text = Text();
  const bool wasMasked = IsMasked(), oldSave = fMask.SaveLiterals();
  fMask = TEditMask(value);
  SetMaxLength(fMask.IsMasked() ? fMask.Count() : 0);
  if (IsMasked())
    SetWindowText(fMask.EditTextFor(text, wasMasked ? oldSave : fMask.SaveLiterals()));
  else
    SetWindowText(text);
  fOldValue = WindowText();
}

void TCustomMaskEdit::SetEditText(const String& value) {
  SetWindowText(IsMasked() ? fMask.EditTextFor(value, true) : value);
}

String TCustomMaskEdit::Text() const {
  return IsMasked() ? fMask.TextOf(WindowText()) : WindowText();
}

void TCustomMaskEdit::SetText(const String& text) {
  if (!IsMasked()) {
    TCustomEdit::SetText(text);
    return;
  }
  SetWindowText(fMask.EditTextFor(text, fMask.SaveLiterals()));
}

void TCustomMaskEdit::ValidateEdit() {
  if (!IsMasked() || !Modified()) return;
  const int pos = fMask.FirstIncomplete(EditText());
  if (pos < 0) return;
  if (!Focused() && CanFocus() && !ComponentState().Contains(csDesigning)) {
    fReEnter = true;
    SetFocus();
  }
  SetCursor(pos);
  ValidateError();
}

void TCustomMaskEdit::ValidateError() { throw EDBEditError(SMaskEditErr); }

void TCustomMaskEdit::Reset() {
  if (!IsMasked() || !Modified()) return;
  SetWindowText(fOldValue);
  SetModified(false);
}

void TCustomMaskEdit::SetCursor(int pos) {
  Editor().SetSel(pos, pos);
  EditorChanged(false, false);
}

void TCustomMaskEdit::CheckCursor() {
  if (!IsMasked() || SelLength() > 0) return;
  const int pos = std::min(fMask.InputAtOrAfter(SelStart()), fMask.EndCaret());
  if (pos != SelStart()) SetCursor(pos);
}

TMaskEditState TCustomMaskEdit::State() const { return {WindowText(), SelStart(), SelLength()}; }

void TCustomMaskEdit::Apply(const TMaskEditState& state) {
  const bool changed = state.EditText != WindowText();
  if (changed) {
    // The whole text in one replacement: Undo brings back the text before this edit.
    Editor().SelectAll();
    Editor().ReplaceSel(state.EditText, true);
  }
  Editor().SetSel(state.SelStart, state.SelStart + state.SelLength);
  EditorChanged(changed, true);
}

void TCustomMaskEdit::KeyDown(Word& key, TShiftState shift) {
  TCustomEdit::KeyDown(key, shift);
  if (!IsMasked() || key == 0 || shift.Contains(ssAlt)) return;
  // Cut, copy and paste keys reach the edit's WM_CUT / WM_PASTE / WM_CLEAR, handled below.
  const bool ctrl = shift.Contains(ssCtrl), extend = shift.Contains(ssShift);
  const bool collapse = SelLength() > 0 && !extend;
  auto move = [&](int pos) {
    Editor().MoveTo(pos, extend);
    EditorChanged(false, true);
    key = 0;
  };
  switch (key) {
    case VK_LEFT:
      return move(collapse ? fMask.InputAtOrAfter(SelStart()) : fMask.CaretLeft(CaretPos()));
    case VK_RIGHT:
      return move(collapse ? fMask.InputAtOrAfter(SelStart() + SelLength())
                           : fMask.CaretRight(CaretPos()));
    case VK_HOME: return move(fMask.CaretHome());
    case VK_END: return move(fMask.CaretEnd());
    case VK_ESCAPE:
      if (Modified()) {
        Reset();
        key = 0;
      }
      return;
    case VK_BACK:
    case VK_DELETE: {
      if (key == VK_DELETE && extend && !ctrl) return;  // Shift+Del cuts
      if (!ReadOnly()) {
        TMaskEditState state = State();
        if (key == VK_BACK ? fMask.Backspace(state) : fMask.Delete(state)) Apply(state);
      }
      key = 0;
      return;
    }
    default: return;
  }
}

void TCustomMaskEdit::KeyPress(char32_t& key) {
  TCustomEdit::KeyPress(key);
  if (!IsMasked() || key == 0) return;
  // Control characters (Backspace, Ctrl+letters) were handled as keys or are not text.
  if (key < U' ' || key == 0x7F) return;
  const char32_t c = key;
  key = 0;
  if (ReadOnly()) return;
  TMaskEditState state = State();
  if (fMask.InputChar(state, c)) Apply(state);
}

void TCustomMaskEdit::WMCut(TMessage& message) {
  if (!IsMasked()) return TCustomEdit::WMCut(message);
  if (ReadOnly() || SelLength() == 0) return;
  Perform(WM_COPY);
  TMaskEditState state = State();
  if (fMask.DeleteSelection(state)) Apply(state);
}

void TCustomMaskEdit::WMPaste(TMessage& message) {
  if (!IsMasked()) return TCustomEdit::WMPaste(message);
  if (ReadOnly()) return;
  TMaskEditState state = State();
  if (fMask.Paste(state, Clipboard()->AsText())) Apply(state);
}

void TCustomMaskEdit::WMClear(TMessage& message) {
  if (!IsMasked()) return TCustomEdit::WMClear(message);
  if (ReadOnly()) return;
  TMaskEditState state = State();
  if (fMask.DeleteSelection(state)) Apply(state);
}

void TCustomMaskEdit::WMSetText(TMessage& message) {
  TCustomEdit::WMSetText(message);
  fOldValue = WindowText();
}

void TCustomMaskEdit::WMLButtonUp(TWMMouse& message) {
  TCustomEdit::WMLButtonUp(message);
  CheckCursor();
}

void TCustomMaskEdit::CMEnter(TMessage& message) {
  if (IsMasked() && !ComponentState().Contains(csDesigning)) {
    if (!fReEnter) fOldValue = EditText();
    fReEnter = false;
  }
  TCustomEdit::CMEnter(message);
  CheckCursor();
}

void TCustomMaskEdit::CMExit(TMessage& message) {
  if (IsMasked() && !ComponentState().Contains(csDesigning)) {
    ValidateEdit();
    CheckCursor();
  }
  TCustomEdit::CMExit(message);
}

void TMaskEdit::DeclareProperties(TPropTable<TMaskEdit>& t) {
  // The host's TMaskEdit list; EditMask comes before MaxLength and Text, which setting the mask
  // sets and reformats.
  for (const char* name : {"Alignment", "Anchors", "AutoSelect", "AutoSize", "BorderStyle", "CharCase", "Color", "Constraints", "DragCursor", "DragKind",
                           "DragMode", "Enabled"})
    t.Publish(name);
  t.Prop("EditMask", &TMaskEdit::EditMask, &TMaskEdit::SetEditMask);
  for (const char* name :
       {"Font", "MaxLength", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ReadOnly", "ShowHint",
        "TabOrder", "TabStop", "Text", "Visible", "OnChange", "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop",
        "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
        "OnMouseMove", "OnMouseUp", "OnStartDrag"})
    t.Publish(name);
}

}  // namespace zv
