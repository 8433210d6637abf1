// The numeric vision: formatting, parsing with its range, the spin and the choice of drop-down.

#include "runtime/std/NumericVision.h"

#include "platform/classes/Modules.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"

#include <cmath>
#include <cstdint>

namespace zv {

namespace {

// Digits of the general form for a field that has no precision of its own: every 32-bit
// integer shows whole, without an exponent.
constexpr int GeneralDigits = 18;

bool IsCurrencyField(const TField* field) {
  if (const auto* f = dynamic_cast<const TFloatField*>(field)) return f->Currency();
  if (const auto* f = dynamic_cast<const TBCDField*>(field)) return f->Currency();
  if (const auto* f = dynamic_cast<const TFMTBCDField*>(field)) return f->Currency();
  return false;
}

int PrecisionOf(const TField* field) {
  int precision = 0;
  if (const auto* f = dynamic_cast<const TFloatField*>(field)) precision = f->Precision();
  else if (const auto* f = dynamic_cast<const TBCDField*>(field)) precision = f->Precision();
  else if (const auto* f = dynamic_cast<const TFMTBCDField*>(field)) precision = f->Precision();
  return precision > 0 ? precision : GeneralDigits;
}

TField* MainFieldOf(TgpFieldList& fields) { return fields.FieldNames().empty() ? nullptr : fields.MainField(); }

// Whether x, which posts as a double, fits what the main field stores: a finite double for every
// field, and the range of the stored type for integers and for the BCD field's Currency. The
// field's own MinValue and MaxValue stay the field's to check.
bool FitsField(const TField* field, long double x) {
  if (!std::isfinite(static_cast<double>(x))) return false;
  if (!field) return true;
  const long double whole = std::nearbyint(x);
  switch (field->DataType()) {
    case ftSmallint: return whole >= INT16_MIN && whole <= INT16_MAX;
    case ftWord: return whole >= 0 && whole <= UINT16_MAX;
    case ftInteger:
    case ftAutoInc: return whole >= INT32_MIN && whole <= INT32_MAX;
    case ftLargeint: return whole >= -0x1p63L && whole < 0x1p63L;
    case ftBCD: return std::fabs(x) < 0x1p63L / Currency::Scale;
    default: return true;
  }
}

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TNumericVision, TToolFormVision)

TNumericVision::TNumericVision(TComponent* owner) : TToolFormVision(owner) {
  // The published default: a stored form that leaves it out reads back this button.
  SetButtonStyle(pbsEllipsis);
}

TNumericVision::~TNumericVision() { Destroying(); }

void TNumericVision::DeclareProperties(TPropTable<TNumericVision>& t) {
  using V = TvpFieldVision;
  using N = TNumericVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment)
      .Default(talDefault);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage)
      .Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages)
      .Default(true);
  t.Prop("ButtonStyle", &V::ButtonStyle, &V::SetButtonStyle)
      .Default(pbsEllipsis);
  t.Prop("ButtonGlyph", &V::ButtonGlyph, &V::SetButtonGlyph)
      .Stored(&V::HasButtonGlyph);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton)
      .Default(false);
  t.Prop("EditMask", &V::EditMask, &V::SetEditMask);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle)
      .Default(false);
  t.Prop("DropDown", &TToolFormVision::DropDown, &N::SetDropDown);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown)
      .Default(true);
  t.Prop("DisplayFormat", &N::DisplayFormat, &N::SetDisplayFormat);
  t.Prop("EditFormat", &N::EditFormat, &N::SetEditFormat);
  t.Prop("Nullable", &N::Nullable, &N::SetNullable)
      .Default(true);
  // Extended bounds travel whole; a zero bound is not written.
  t.Prop("MinValue", &N::MinValue, &N::SetMinValue);
  t.Prop("MaxValue", &N::MaxValue, &N::SetMaxValue);
  t.Prop("Step", &N::Step, &N::SetStep)
      .Stored(&N::IsStepStored);
  // Always written: a form read back must not depend on the class's initial kind.
  t.Prop("DropDownKind", &N::DropDownKind, &N::SetDropDownKind);
  t.Event("OnDblClick", &N::OnDblClick);
  t.Event("OnButtonClick", &N::OnButtonClick);
  t.Event("AfterPost", &N::AfterPost);
  t.Event("OnInitEdit", &N::OnInitEdit);
  t.Event("OnGetText", &N::OnGetText);
  t.Event("BeforeEdit", &N::BeforeEdit);
  t.Event("BeforePost", &N::BeforePost);
  t.Event("OnDraw", &N::OnDraw);
  t.Event("OnDrawEdit", &N::OnDrawEdit);
  t.Event("OnGetEditFont", &N::OnGetEditFont);
  t.Event("OnGetValue", &N::OnGetValue);
}

void TNumericVision::SetDropDown(TVisionToolForm* value) {
  if (value == DropDown()) return;
  TToolFormVision::SetDropDown(value);
  fDropDownKind = ndkCustom;
}

void TNumericVision::SetDisplayFormat(const String& value) {
  if (value == fDisplayFormat) return;
  fDisplayFormat = value;
  Invalidate();
}

String TNumericVision::GetFormattedText(TgpFieldList& fields, bool display, long double value, bool useFieldText) {
  const String& hostFormat = display ? fields.DisplayFormat() : fields.EditFormat();
  const String& format = !hostFormat.empty() ? hostFormat : display ? fDisplayFormat : fEditFormat;
  if (!format.empty()) return FormatFloat(format, value);
  TField* field = MainFieldOf(fields);
  if (!field) return FloatToStr(value);
  if (useFieldText) return display ? field->DisplayText() : field->Text();
  if (IsCurrencyField(field))
    return FloatToStrF(value, display ? ffCurrency : ffFixed, PrecisionOf(field), FormatSettings().CurrencyDecimals);
  return FloatToStrF(value, ffGeneral, PrecisionOf(field), 0);
}

void TNumericVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  TField* field = MainFieldOf(fields);
  valid = !fields.FieldNames().empty() && (!field || dynamic_cast<TNumericField*>(field));
}

void TNumericVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  long double value = 0;
  bool isNull = true;
  if (TField* field = MainFieldOf(fields)) {
    isNull = field->IsNull();
    // The field's own text needs no number: one is read only for a format.
    const bool formatted = !(displayText ? fields.DisplayFormat() : fields.EditFormat()).empty() ||
                           !(displayText ? fDisplayFormat : fEditFormat).empty();
    if (!isNull && formatted) value = field->AsFloat();
  } else if (OnGetValue) {
    isNull = false;
    OnGetValue(this, &fields, value, isNull);
  }
  text = isNull ? String() : GetFormattedText(fields, displayText, value, true);
}

String TNumericVision::VM_GetFormattedValue(TgpFieldList& fields, const TvpUniValue& value) {
  return GetFormattedText(fields, true, value.AsFloat(), false);
}

void TNumericVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  (void)cancel;
  const String s = edit.Text();
  if (s.empty()) {
    if (!fNullable) throw EZVError(SENumericValueBlank);
    value.Clear();
    return;
  }
  long double x = 0;
  // A number the field cannot take is as unreadable as a misspelt one: posting it would store
  // an infinity or fail in the field's conversion.
  if (!TryStrToFloat(s, x) || !FitsField(MainFieldOf(edit.Fields()), x))
    throw EZVError(Format(SEInvalidNumericValue, {s}));
  if (NeedCheckRange() && (x < fMinValue || x > fMaxValue))
    throw EZVError(Format(SENumericValueOutOfRange, {s, fMinValue, fMaxValue}));
  value.SetAsFloat(static_cast<double>(x));
}

void TNumericVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftFloat);
  if (TField* field = MainFieldOf(edit.Fields())) {
    current.Assign(field);
  } else if (OnGetValue) {
    long double value = 0;
    bool isNull = false;
    OnGetValue(this, &edit.Fields(), value, isNull);
    if (!isNull) current.SetAsFloat(static_cast<double>(value));
  }
  current.SetModified(false);
  current.SetTextChanged(false);
}

void TNumericVision::PE_ButtonClick(IvpFieldEditor& edit) {
  TToolFormVision::PE_ButtonClick(edit);
  if (ButtonStyle() == pbsSpin) Spin(edit);
}

void TNumericVision::Spin(IvpFieldEditor& edit) {
  const TfvButtonState state = ButtonState();
  const bool up = state == vbsClick || state == vbsShortCut;
  const bool down = state == vbsClick2 || state == vbsShortCut2;
  if (!up && !down) return;
  const String text = edit.Text();
  const long double old = StrToFloat<long double>(text.empty() ? String("0") : text);
  if (!std::isfinite(old)) throw EConvertError(Format(SInvalidFloat, {text}));
  const bool range = NeedCheckRange();
  long double x = old;
  // A step is not clipped to the range: the posting's check has the last word.
  if (up) {
    if (range && x >= fMaxValue) return;
    x = range && x < fMinValue ? fMinValue : x + fStep;
  } else {
    if (range && x <= fMinValue) return;
    x = range && x > fMaxValue ? fMaxValue : x - fStep;
  }
  if (x == old) return;
  if (TDBDevidEdit* editor = edit.Fields().EditControl()) editor->SetDataText(GetFormattedText(edit.Fields(), false, x, false), true);
}

String TNumericVision::AutoSearchText(TgpFieldList& fields) { return GetText(fields, false); }

TAlignment TNumericVision::DefaultAlignment(TgpFieldList& fields) {
  (void)fields;
  return taRightJustify;
}

TWinControl* TNumericVision::DefaultToolForm() {
  if (fDropDownKind == ndkCalculator) return zvDefPack ? zvDefPack->vtfCalculator : nullptr;
  return DropDown();
}

void TNumericVision::Assign(const TPersistent* source) {
  TToolFormVision::Assign(source);
  const auto* other = dynamic_cast<const TNumericVision*>(source);
  if (!other) return;
  SetImages(other->Images());
  SetAlignImage(other->AlignImage());
  SetDrawImages(other->DrawImages());
  SetButtonStyle(other->ButtonStyle());
  SetEnableButton(other->EnableButton());
  SetEditMask(other->EditMask());
  SetComboBoxStyle(other->ComboBoxStyle());
  SetDropDown(other->DropDown());
  SetDropDownOptions(other->DropDownOptions());
  SetEnableDropDown(other->EnableDropDown());
  SetDisplayFormat(other->DisplayFormat());
  SetEditFormat(other->EditFormat());
  SetNullable(other->Nullable());
  SetMinValue(other->MinValue());
  SetMaxValue(other->MaxValue());
  SetStep(other->Step());
  SetDropDownKind(other->DropDownKind());
}

// ---- Registration -----------------------------------------------------------------------------------

namespace {
std::vector<TClass> NumericClasses() { return {TNumericVision::StaticClass()}; }
}  // namespace

ZV_MODULE(zvnumeric, {.Name = "zvnumeric",
                      .Uses = {"zvstd"},
                      .Initialization = [] { RegisterClasses(NumericClasses()); },
                      .Finalization = [] { UnRegisterClasses(NumericClasses()); }});

}  // namespace zv
