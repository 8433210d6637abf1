#pragma once
// The visions of date-and-time fields:
// - TDateTimeVision: what the two share: the display format, the nullable flag, a range and
//   loading the editor's value as a date-time;
// - TDateVision: edits the date part, keeps the field's time of day when posting, drops down the
//   pack's calendar;
// - TTimeVision: edits the time part through an edit mask, keeps the field's date when posting,
//   steps the hour, minute or second under the caret with its spin buttons.
// Source: DateTimeVisions.cpp.

#include "platform/rtl/DateTime.h"
#include "runtime/std/ListVisions.h"

namespace zv {

ZV_ENUM(TvpDisplayFormatKind, dfkDefault, dfkShort, dfkLong, dfkCustom);
ZV_ENUM(TvpTimeEditFormatKind, tefDefault, tefHhMmSs, tefHhMm, tefHh);
ZV_ENUM(TvpCalendarButton, clbToday, clbClear, clbNoYearNavigator);
using TvpCalendarButtons = TSet<TvpCalendarButton>;

using TfvGetDateValueEvent =
    std::function<void(TObject* sender, TgpFieldList* fields, TDateTime& value, bool& isNull)>;

class TDateTimeVision : public TToolFormVision {
  ZV_CLASS(TDateTimeVision, TToolFormVision)

public:
  explicit TDateTimeVision(TComponent* owner);

  const String& DisplayFormat() const { return fDisplayFormat; }
  // A different format also makes the kind dfkCustom.
  void SetDisplayFormat(const String& value);
  TvpDisplayFormatKind DisplayFormatKind() const { return fDisplayFormatKind; }
  void SetDisplayFormatKind(TvpDisplayFormatKind value);
  bool Nullable() const { return fNullable; }
  void SetNullable(bool value) { fNullable = value; }

  // The range; 0 is no bound on that side. A minimum above a set maximum moves the maximum to
  // a day after it, a maximum below a set minimum moves the minimum to a day before it.
  TDateTime RangeMin() const { return fRangeMin; }
  void SetRangeMin(TDateTime value);
  TDateTime RangeMax() const { return fRangeMax; }
  void SetRangeMax(TDateTime value);
  bool RangeApplies() const { return fRangeMin != 0 || fRangeMax != 0; }

  TfvGetDateValueEvent OnGetValue;

  void VM_ValidFields(TgpFieldList& fields, bool& valid) override;
  void VM_GetText(TgpFieldList& fields, bool displayText, String& text) override;
  void PE_ResetEdit(IvpFieldEditor& edit) override;
  void PE_ParseText(IvpFieldEditor& edit, TgpFieldValue& value, bool& cancel) override;

protected:
  // What the two visions tell apart (the base answers as the date vision).
  virtual bool IsTimeVision() const { return false; }
  // The edit text's format; empty for none.
  virtual String EditFormat() const { return {}; }
  // The text the editor holds for parsing.
  virtual String ParseSource(IvpFieldEditor& edit);
  // A bound as the range messages name it.
  virtual String BoundText(TDateTime bound) const;

  template <class C>
  static void PublishShared(TPropTable<C>& t);

private:
  String fDisplayFormat;
  TvpDisplayFormatKind fDisplayFormatKind = dfkDefault;
  bool fNullable = true;
  TDateTime fRangeMin = 0;
  TDateTime fRangeMax = 0;
};

class TDateVision : public TDateTimeVision {
  ZV_CLASS(TDateVision, TDateTimeVision)

public:
  explicit TDateVision(TComponent* owner);

  // Whole days only.
  TDate MinDate() const { return TDate(RangeMin()); }
  void SetMinDate(TDate value);
  TDate MaxDate() const { return TDate(RangeMax()); }
  void SetMaxDate(TDate value);
  bool IsMinDateStored() const { return RangeMin() != 0; }
  bool IsMaxDateStored() const { return RangeMax() != 0; }
  TvpCalendarButtons Buttons() const { return fButtons; }
  void SetButtons(TvpCalendarButtons value) { fButtons = value; }
  bool SaveTime() const { return fSaveTime; }
  void SetSaveTime(bool value) { fSaveTime = value; }

  void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) override;
  TVisionToolForm* DefaultDropDown() override;

  static void DeclareProperties(TPropTable<TDateVision>& t);

protected:
  bool IsTimeVision() const override { return false; }
  String EditFormat() const override { return {}; }
  String ParseSource(IvpFieldEditor& edit) override;
  String BoundText(TDateTime bound) const override;

private:
  TvpCalendarButtons fButtons{clbToday, clbClear};
  bool fSaveTime = true;
};

class TTimeVision : public TDateTimeVision {
  ZV_CLASS(TTimeVision, TDateTimeVision)

public:
  explicit TTimeVision(TComponent* owner);

  TvpTimeEditFormatKind EditFormatKind() const { return fEditFormatKind; }
  void SetEditFormatKind(TvpTimeEditFormatKind value) { fEditFormatKind = value; }
  // The time of day only.
  TTime MinTime() const { return TTime(RangeMin()); }
  void SetMinTime(TTime value);
  TTime MaxTime() const { return TTime(RangeMax()); }
  void SetMaxTime(TTime value);
  bool IsMinTimeStored() const { return RangeMin() != 0; }
  bool IsMaxTimeStored() const { return RangeMax() != 0; }
  bool SaveDate() const { return fSaveDate; }
  void SetSaveDate(bool value) { fSaveDate = value; }

  void VM_SetFieldValue(TgpFieldList& fields, TgpFieldValue& value) override;
  void PE_GetEditMask(TgpFieldList& fields, String& mask) override;
  // After the base: the spin steps the part under the caret within the range of one day.
  void PE_ButtonClick(IvpFieldEditor& edit) override;

  static void DeclareProperties(TPropTable<TTimeVision>& t);

protected:
  bool IsTimeVision() const override { return true; }
  String EditFormat() const override;
  String ParseSource(IvpFieldEditor& edit) override;
  String BoundText(TDateTime bound) const override;

private:
  TvpTimeEditFormatKind fEditFormatKind = tefHhMm;
  bool fSaveDate = true;
};

}  // namespace zv
