#pragma once
// The host's standard controls (StdCtrls): the label, the push button and the check box. The
// combo box lives in ComboBox.h.
//
// Accelerators: a caption's "&x" marks x as the control's accelerator ("&&" is a plain "&").
// Alt+x, or x alone when the focused control takes no characters, reaches the form as
// CM_DIALOGCHAR; the form hands it to its controls until one answers: a label focuses its
// FocusControl, a button clicks, a check box toggles. Enter and Esc reach the form as
// CM_DIALOGKEY: Enter clicks the focused button, else the Default one; Esc clicks the Cancel one.

#include "platform/classes/ClassesTypes.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/Form.h"

namespace zv {

// True when caption marks key as its accelerator (compared without regard to case).
bool IsAccel(char32_t key, const String& caption);

ZV_ENUM(TTextLayout, tlTop, tlCenter, tlBottom);

class TCustomLabel : public TGraphicControl {
  ZV_CLASS(TCustomLabel, TGraphicControl)

public:
  explicit TCustomLabel(TComponent* owner);
  ~TCustomLabel() override;

  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return fLayout; }
  void SetLayout(TTextLayout value);
  // Lines break at word boundaries within the width; auto size then grows only the height.
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool value);
  // The label takes the size of its caption whenever the caption or the font changes.
  bool AutoSize() const { return fAutoSize; }
  void SetAutoSize(bool value);
  // Transparent labels paint no background: what lies below shows through.
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool value);
  // "&" marks the accelerator (underlined); without it the caption is shown as written.
  bool ShowAccelChar() const { return fShowAccelChar; }
  void SetShowAccelChar(bool value);
  // The control the accelerator focuses.
  TWinControl* FocusControl() const { return fFocusControl; }
  void SetFocusControl(TWinControl* control);

  // The DrawText format the label paints its caption with.
  unsigned TextFormat() const;

  static void DeclareProperties(TPropTable<TCustomLabel>& t);

protected:
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  virtual void AdjustBounds();

private:
  TAlignment fAlignment = taLeftJustify;
  TTextLayout fLayout = tlTop;
  bool fWordWrap = false;
  bool fAutoSize = true;
  bool fShowAccelChar = true;
  TWinControl* fFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  ZV_CLASS(TLabel, TCustomLabel)

public:
  using TCustomLabel::TCustomLabel;
  static void DeclareProperties(TPropTable<TLabel>& t);
};

// What push buttons and check boxes share: a window that takes the focus with Tab and clicks.
class TButtonControl : public TCustomControl {
  ZV_CLASS(TButtonControl, TCustomControl)

public:
  explicit TButtonControl(TComponent* owner);
  static void DeclareProperties(TPropTable<TButtonControl>& t);

protected:
  void WMGetDlgCode(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  // The caption in rect, greyed when disabled, with its accelerator underlined.
  void DrawCaption(TCanvas& canvas, TRect rect, unsigned format);
};

class TButton : public TButtonControl {
  ZV_CLASS(TButton, TButtonControl)

public:
  explicit TButton(TComponent* owner);

  // Enter on the form clicks the default button unless another button has the focus.
  bool Default() const { return fDefault; }
  void SetDefault(bool value);
  // Esc on the form clicks the cancel button.
  bool Cancel() const { return fCancel; }
  void SetCancel(bool value) { fCancel = value; }
  // Clicking sets the parent form's ModalResult to this (ending a modal form).
  TModalResult ModalResult() const { return fModalResult; }
  void SetModalResult(TModalResult value) { fModalResult = value; }
  // Enter would click this button now (it has the focus, or it is the default one and no other
  // button has it).
  bool Active() const { return fActive; }
  // Shown pressed while the mouse or the space bar holds it.
  bool Pressed() const { return fPressed; }

  void Click() override;

  static void DeclareProperties(TPropTable<TButton>& t);

protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyUp(Word& key, TShiftState shift) override;
  void CMDialogKey(TWMKey& message) override;
  void CMFocusChanged(TMessage& message) override;
  void WMKillFocus(TWMKillFocus& message) override;

private:
  void SetPressed(bool value);

  bool fDefault = false;
  bool fCancel = false;
  TModalResult fModalResult = mrNone;
  bool fActive = false;
  bool fPressed = false;
  bool fMouseHeld = false;
  bool fSpaceHeld = false;
};

ZV_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed);

class TCheckBox : public TButtonControl {
  ZV_CLASS(TCheckBox, TButtonControl)

public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return fState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  // Fires OnClick when it changes (as clicking does), not while the form is read.
  TCheckBoxState State() const { return fState; }
  void SetState(TCheckBoxState value);
  // A click cycles through cbGrayed too.
  bool AllowGrayed() const { return fAllowGrayed; }
  void SetAllowGrayed(bool value) { fAllowGrayed = value; }
  // taRightJustify puts the box on the right of the caption.
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment value);

  // What a click does: the next state.
  virtual void Toggle();
  // Where the box and the caption are drawn.
  void CalcLayout(TRect& box, TRect& text) const;

  static void DeclareProperties(TPropTable<TCheckBox>& t);

protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyUp(Word& key, TShiftState shift) override;

private:
  TCheckBoxState fState = cbUnchecked;
  bool fAllowGrayed = false;
  TAlignment fAlignment = taRightJustify;
  bool fMouseHeld = false;
};

}  // namespace zv
