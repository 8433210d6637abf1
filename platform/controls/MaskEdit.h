#pragma once
// TCustomMaskEdit / TMaskEdit: the host's masked edit. With an edit mask the edit works in
// overwrite mode through the mask engine (EditMask.h): typed characters the mask forbids are
// refused, literals are skipped, Backspace/Delete/cut/clear blank positions instead of closing
// up the text, pasting keeps what fits. Leaving the control validates the text: an incomplete
// one raises EDBEditError and the focus stays, the caret on the first missing place. Escape
// brings back the text from before editing. Without a mask it is a plain edit.

#include "platform/controls/Edit.h"
#include "platform/rtl/EditMask.h"

namespace zv {

class TCustomMaskEdit : public TCustomEdit {
  ZV_CLASS(TCustomMaskEdit, TCustomEdit)

public:
  explicit TCustomMaskEdit(TComponent* owner);

  // The mask; setting it lays the present Text out on the new mask and sets MaxLength to the
  // mask's length (0 when the mask is removed).
  const String& EditMask() const { return fMask.Mask(); }
  void SetEditMask(const String& value);
  bool IsMasked() const { return fMask.IsMasked(); }
  const TEditMask& MaskRules() const { return fMask; }

  // The text as shown, literals and blank characters included.
  String EditText() const { return WindowText(); }
  void SetEditText(const String& value);
  // With a mask: the edit text with blanks as spaces, literals dropped when the mask does not
  // save them (then trimmed). Setting it reads the value as such a text.
  String Text() const override;
  void SetText(const String& text) override;

  // Raises the validation error, the caret on the first missing place, when the text was
  // modified and does not fill the mask.
  virtual void ValidateEdit();
  // Back to the text from before editing (focus entry or the last programmatic change).
  void Reset();

protected:
  // Raises EDBEditError with SMaskEditErr.
  virtual void ValidateError();
  // Puts a caret that is not on an input position onto the next one.
  void CheckCursor();
  // Caret at pos, nothing selected.
  void SetCursor(int pos);

  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void WMCut(TMessage& message) override;
  void WMPaste(TMessage& message) override;
  void WMClear(TMessage& message) override;
  void WMSetText(TMessage& message) override;
  void WMLButtonUp(TWMMouse& message) override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;

private:
  TMaskEditState State() const;
  // Puts an engine result into the edit (one undo step), as the user's change.
  void Apply(const TMaskEditState& state);

  TEditMask fMask;
  String fOldValue;       // the edit text Reset returns to
  bool fReEnter = false;  // focus taken back after a failed validation: keep fOldValue
};

// TMaskEdit publishes TCustomMaskEdit's properties.
class TMaskEdit : public TCustomMaskEdit {
  ZV_CLASS(TMaskEdit, TCustomMaskEdit)

public:
  explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
  static void DeclareProperties(TPropTable<TMaskEdit>& t);
};

}  // namespace zv
