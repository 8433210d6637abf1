#pragma once
// TNumericVision: numbers shown and edited through format pictures, typed text read as an
// extended float and checked against an optional range, spin buttons that step the value, and
// a drop-down that is either a tool form of the application's or the default pack's calculator.

#include "runtime/std/ListVisions.h"

#include <functional>

namespace zv {

ZV_ENUM(TvfNumericDropDownKind, ndkCustom, ndkCalculator);

// The value of a vision without a main field; isNull starts false.
using TfvGetExtValueEvent =
    std::function<void(TObject* sender, TgpFieldList* fields, long double& value, bool& isNull)>;

class TNumericVision : public TToolFormVision {
  ZV_CLASS(TNumericVision, TToolFormVision)

public:
  explicit TNumericVision(TComponent* owner);
  ~TNumericVision() override;

  // Another tool form than the current one makes the drop-down the custom one.
  void SetDropDown(TVisionToolForm* value);
  TvfNumericDropDownKind DropDownKind() const { return fDropDownKind; }
  void SetDropDownKind(TvfNumericDropDownKind value) { fDropDownKind = value; }
  const String& DisplayFormat() const { return fDisplayFormat; }
  // Every consumer repaints with the new format.
  void SetDisplayFormat(const String& value);
  const String& EditFormat() const { return fEditFormat; }
  void SetEditFormat(const String& value) { fEditFormat = value; }
  bool Nullable() const { return fNullable; }
  void SetNullable(bool value) { fNullable = value; }
  // Both 0: no range. MinValue > MaxValue is kept: then no value is in range.
  long double MinValue() const { return fMinValue; }
  void SetMinValue(long double value) { fMinValue = value; }
  long double MaxValue() const { return fMaxValue; }
  void SetMaxValue(long double value) { fMaxValue = value; }
  long double Step() const { return fStep; }
  void SetStep(long double value) { fStep = value; }
  bool NeedCheckRange() const { return fMinValue != 0 || fMaxValue != 0; }

  TfvGetExtValueEvent OnGetValue;

  // The text of value: the host's format beats the vision's (display or edit one); without a
  // format the field's own text (useFieldText), money or the general form at the field's
  // precision; without a main field the general form.
  String GetFormattedText(TgpFieldList& fields, bool display, long double value, bool useFieldText);

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  String VM_GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_ButtonClick(IvpFieldEditor& edit) override;
  String AutoSearchText(TgpFieldList& fields) override;
  TAlignment DefaultAlignment(TgpFieldList& fields) override;
  TWinControl* DefaultToolForm() override;
  void Assign(const TPersistent* source) override;

  static void DeclareProperties(TPropTable<TNumericVision>& t);

private:
  bool IsStepStored() const { return fStep != 1; }
  // The spin of the button's halves and the arrow keys.
  void Spin(IvpFieldEditor& edit);

  TvfNumericDropDownKind fDropDownKind = ndkCustom;
  String fDisplayFormat;
  String fEditFormat;
  bool fNullable = true;
  long double fMinValue = 0;
  long double fMaxValue = 0;
  long double fStep = 1;
};

}  // namespace zv
