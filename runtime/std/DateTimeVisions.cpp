// The date and time visions: texts by format kind, parsing with the range and the nullable
// flag, posting that keeps the other part of the field's value, the time mask and its spin.

#include "runtime/std/DateTimeVisions.h"

#include "platform/db/Field.h"
#include "platform/db/Fields.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldEditor.h"
#include "runtime/vision/FieldValue.h"

#include <algorithm>
#include <cmath>

namespace zv {

namespace {

TField* MainFieldOf(TgpFieldList& fields) { return fields.FieldNames().empty() ? nullptr : fields.MainField(); }

// The whole days and the time of day (counted forward from midnight, also before 1899), to
// the millisecond.
TDateTime WholeDays(TDateTime value) { return DateOf(value); }
TDateTime DayFraction(TDateTime value) { return TimeOf(value); }

// The last second of a day: a spin never leaves the day it edits.
const TDateTime LastSecond = EncodeTime(23, 59, 59, 0);

}  // namespace

// ---- TDateTimeVision -----------------------------------------------------------------------------

ZV_DEFINE_CLASS(TDateTimeVision, TToolFormVision)

TDateTimeVision::TDateTimeVision(TComponent* owner) : TToolFormVision(owner) { SetEnableButton(true); }

template <class C>
void TDateTimeVision::PublishShared(TPropTable<C>& t) {
  using V = TvpFieldVision;
  using D = TDateTimeVision;
  t.Prop("Alignment", &V::Alignment, &V::SetAlignment).Default(talDefault);
  t.Prop("Images", &V::Images, &V::SetImages);
  t.Prop("AlignImage", &V::AlignImage, &V::SetAlignImage).Default(aiDefault);
  t.Prop("DrawImages", &V::DrawImages, &V::SetDrawImages).Default(true);
  t.Prop("EnableButton", &V::EnableButton, &V::SetEnableButton).Default(true);
  t.Prop("ComboBoxStyle", &V::ComboBoxStyle, &V::SetComboBoxStyle).Default(false);
  t.Prop("EditMask", &V::EditMask, &V::SetEditMask);
  t.Prop("DropDown", &TToolFormVision::DropDown, &TToolFormVision::SetDropDown);
  t.Prop("EnableDropDown", &V::EnableDropDown, &V::SetEnableDropDown).Default(true);
  t.Prop("DisplayFormat", &D::DisplayFormat, &D::SetDisplayFormat);
  t.Prop("DisplayFormatKind", &D::DisplayFormatKind, &D::SetDisplayFormatKind).Default(dfkDefault);
  t.Prop("Nullable", &D::Nullable, &D::SetNullable).Default(true);
  t.Event("OnDblClick", &D::OnDblClick);
  t.Event("AfterPost", &D::AfterPost);
  t.Event("OnInitEdit", &D::OnInitEdit);
  t.Event("OnGetText", &D::OnGetText);
  t.Event("BeforeEdit", &D::BeforeEdit);
  t.Event("BeforePost", &D::BeforePost);
  t.Event("OnDraw", &D::OnDraw);
  t.Event("OnDrawEdit", &D::OnDrawEdit);
  t.Event("OnGetEditFont", &D::OnGetEditFont);
  t.Event("OnGetValue", &D::OnGetValue);
}

void TDateTimeVision::SetDisplayFormat(const String& value) {
  if (fDisplayFormat == value) return;
  fDisplayFormat = value;
  fDisplayFormatKind = dfkCustom;
  Invalidate();
}

void TDateTimeVision::SetDisplayFormatKind(TvpDisplayFormatKind value) {
  if (fDisplayFormatKind == value) return;
  fDisplayFormatKind = value;
  Invalidate();
}

void TDateTimeVision::SetRangeMin(TDateTime value) {
  fRangeMin = value;
  if (value != 0 && fRangeMax != 0 && value.Value > fRangeMax.Value) fRangeMax = value + 1;
}

void TDateTimeVision::SetRangeMax(TDateTime value) {
  fRangeMax = value;
  if (value != 0 && fRangeMin != 0 && value.Value < fRangeMin.Value) fRangeMin = value - 1;
}

void TDateTimeVision::VM_ValidFields(TgpFieldList& fields, bool& valid) {
  TField* field = MainFieldOf(fields);
  valid = (!fields.FieldNames().empty() && (!field || dynamic_cast<TDateTimeField*>(field))) ||
          dynamic_cast<TSQLTimeStampField*>(field);
}

void TDateTimeVision::VM_GetText(TgpFieldList& fields, bool displayText, String& text) {
  const bool time = IsTimeVision();
  String format;
  if (displayText) {
    format = fields.DisplayFormat();
    if (format.empty()) switch (fDisplayFormatKind) {
        case dfkShort: format = time ? "t" : "ddddd"; break;
        case dfkLong: format = time ? "tt" : "dddddd"; break;
        case dfkCustom: format = fDisplayFormat; break;
        case dfkDefault: break;
      }
  } else {
    format = EditFormat();
  }

  TField* field = MainFieldOf(fields);
  if (!field) {
    TDateTime value = 0;
    bool isNull = true;
    if (OnGetValue) {
      isNull = false;
      OnGetValue(this, &fields, value, isNull);
    }
    if (format.empty()) format = time ? "t" : "ddddd";
    text = isNull ? String() : FormatDateTime(format, value);
    return;
  }
  if (!format.empty()) {
    const TDateTime value = field->AsDateTime();
    // A date at 0 is no date worth showing; a time at 0 is midnight, and only null is no time.
    const bool empty = time ? field->IsNull() : value == 0;
    text = empty ? String() : FormatDateTime(format, value);
    return;
  }
  if (displayText) {
    text = field->DisplayText();
    return;
  }
  if (field->IsNull()) {
    text.clear();
    return;
  }
  const TDateTime value = field->AsDateTime();
  text = time ? FormatDateTime("tt", DayFraction(value)) : FormatDateTime("c", WholeDays(value));
}

void TDateTimeVision::PE_ResetEdit(IvpFieldEditor& edit) {
  TfvCurrentValue& current = edit.CurrentValue();
  current.Clear();
  current.SetDataType(ftDateTime);
  TgpFieldList& fields = edit.Fields();
  if (TField* field = MainFieldOf(fields)) {
    current.Assign(field);
  } else if (OnGetValue) {
    TDateTime value = 0;
    bool isNull = false;
    OnGetValue(this, &fields, value, isNull);
    if (!isNull) current.SetAsDateTime(value);
  }
  current.SetModified(false);
  current.SetTextChanged(false);
}

String TDateTimeVision::ParseSource(IvpFieldEditor& edit) { return edit.Text(); }

String TDateTimeVision::BoundText(TDateTime bound) const { return DateToStr(bound); }

void TDateTimeVision::PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) {
  (void)cancel;
  const String s = ParseSource(edit);
  if (s.empty()) {
    if (!fNullable) throw EZVError(SEDateValueBlank);
    value.Clear();
    return;
  }
  const double x = StrToDateTime(s);
  if (RangeApplies()) {
    if (fRangeMin != 0 && x < fRangeMin.Value)
      throw EZVError(Format(SEDateValueOutOfRangeM.Text(), {s, BoundText(fRangeMin)}));
    if (fRangeMax != 0 && x > fRangeMax.Value)
      throw EZVError(Format(SEDateValueOutOfRangeL.Text(), {s, BoundText(fRangeMax)}));
  }
  value.SetAsDateTime(x);
}

// ---- TDateVision -------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TDateVision, TDateTimeVision)

TDateVision::TDateVision(TComponent* owner) : TDateTimeVision(owner) {}

void TDateVision::DeclareProperties(TPropTable<TDateVision>& t) {
  using D = TDateVision;
  PublishShared(t);
  t.Prop("DropDownOptions", &TToolFormVision::DropDownOptions, &TToolFormVision::SetDropDownOptions)
      .Default(TfvDropDownOptions{});
  t.Prop("MinDate", &D::MinDate, &D::SetMinDate).Stored(&D::IsMinDateStored);
  t.Prop("MaxDate", &D::MaxDate, &D::SetMaxDate).Stored(&D::IsMaxDateStored);
  t.Prop("Buttons", &D::Buttons, &D::SetButtons).Default(TvpCalendarButtons{clbToday, clbClear});
  t.Prop("SaveTime", &D::SaveTime, &D::SetSaveTime).Default(true);
}

void TDateVision::SetMinDate(TDate value) { SetRangeMin(WholeDays(value)); }

void TDateVision::SetMaxDate(TDate value) { SetRangeMax(WholeDays(value)); }

String TDateVision::ParseSource(IvpFieldEditor& edit) { return Trim(edit.Text()); }

String TDateVision::BoundText(TDateTime bound) const { return DateToStr(bound); }

void TDateVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  TField* field = MainFieldOf(fields);
  if (!field) return;
  if (value.IsNull()) {
    field->Clear();
    return;
  }
  TDateTime d = WholeDays(value.AsDateTime());
  if (fSaveTime) d = ComposeDateTime(d, DayFraction(field->AsDateTime()));
  field->SetAsDateTime(d);
}

TVisionToolForm* TDateVision::DefaultDropDown() { return zvDefPack ? zvDefPack->vtfCalendar : nullptr; }

// ---- TTimeVision -------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TTimeVision, TDateTimeVision)

TTimeVision::TTimeVision(TComponent* owner) : TDateTimeVision(owner) { SetButtonStyle(pbsSpin); }

void TTimeVision::DeclareProperties(TPropTable<TTimeVision>& t) {
  using V = TvpFieldVision;
  using T = TTimeVision;
  PublishShared(t);
  t.Prop("ButtonStyle", &V::ButtonStyle, &V::SetButtonStyle).Default(pbsSpin);
  t.Prop("EditFormatKind", &T::EditFormatKind, &T::SetEditFormatKind).Default(tefHhMm);
  t.Prop("MinTime", &T::MinTime, &T::SetMinTime).Stored(&T::IsMinTimeStored);
  t.Prop("MaxTime", &T::MaxTime, &T::SetMaxTime).Stored(&T::IsMaxTimeStored);
  t.Prop("SaveDate", &T::SaveDate, &T::SetSaveDate).Default(true);
}

void TTimeVision::SetMinTime(TTime value) { SetRangeMin(DayFraction(value)); }

void TTimeVision::SetMaxTime(TTime value) { SetRangeMax(DayFraction(value)); }

String TTimeVision::EditFormat() const {
  switch (fEditFormatKind) {
    case tefHhMmSs: return "hh:mm:ss";
    case tefHhMm: return "hh:mm";
    case tefHh: return "hh";
    case tefDefault: break;
  }
  return {};
}

// The time masks keep their literals in the text and show blanks as "0": an emptied text
// reads as midnight, as the mask shows it.
String TTimeVision::ParseSource(IvpFieldEditor& edit) { return Trim(edit.Text()); }

String TTimeVision::BoundText(TDateTime bound) const { return TimeToStr(bound); }

void TTimeVision::VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) {
  TField* field = MainFieldOf(fields);
  if (!field) return;
  if (value.IsNull()) {
    field->Clear();
    return;
  }
  TDateTime t = DayFraction(value.AsDateTime());
  // Composed rather than summed: before 30 December 1899 the date part is negative and the
  // time of day still counts forward from midnight.
  if (fSaveDate) t = ComposeDateTime(WholeDays(field->AsDateTime()), t);
  field->SetAsDateTime(t);
}

void TTimeVision::PE_GetEditMask(TgpFieldList& fields, String& mask) {
  switch (fEditFormatKind) {
    case tefHhMmSs: mask = "!99:99:99;1;0"; break;
    case tefHhMm: mask = "!99:99;1;0"; break;
    case tefHh: mask = "!99;1;0"; break;
    case tefDefault: break;
  }
  TDateTimeVision::PE_GetEditMask(fields, mask);
}

void TTimeVision::PE_ButtonClick(IvpFieldEditor& edit) {
  TDateTimeVision::PE_ButtonClick(edit);
  if (ButtonStyle() != pbsSpin || fEditFormatKind == tefDefault) return;
  TDBDevidEdit* editor = edit.Fields().EditControl();
  if (!editor) return;
  const TfvButtonState state = ButtonState();
  const bool up = state == vbsClick || state == vbsShortCut;
  const bool down = state == vbsClick2 || state == vbsShortCut2;
  if (!up && !down) return;

  const int caret = editor->SelStart();
  int part = 0;
  double step = EncodeTime(1, 0, 0, 0);
  if (caret > 5) {
    part = 6;
    step = EncodeTime(0, 0, 1, 0);
  } else if (caret > 2) {
    part = 3;
    step = EncodeTime(0, 1, 0, 0);
  }
  String s = ParseSource(edit);
  if (s.empty()) s = "0";
  const double old = StrToTime(s);
  const double low = RangeMin();
  // A maximum moved a day ahead by the minimum still ends the day.
  const double high = RangeMax() == 0 ? LastSecond.Value : std::min<double>(RangeMax(), LastSecond);
  double x = old;
  if (up)
    x = x >= low ? std::min<double>(x + step, high) : low;
  else
    x = x > high ? high : std::max<double>(x - step, low);
  if (x == old) return;
  editor->SetDataText(FormatDateTime(EditFormat(), x), false);
  editor->SetSelStart(part);
  editor->SetSelLength(2);
}

}  // namespace zv
