// The date vision's drop-down: the calendar the ctl module puts on the pack's calendar tool
// form at start-up, set up from the vision that opens it and posting what it picks.

#include "runtime/ctl/Calendar.h"
#include "runtime/ctl/CalendarDropDown.h"
#include "runtime/ctl/detail/YearEditor.h"

#include "platform/classes/Modules.h"
#include "runtime/std/DateTimeVisions.h"
#include "runtime/std/DefPack.h"
#include "runtime/vision/FieldValue.h"
#include "runtime/vision/ToolForm.h"

namespace zv {

namespace {

void CalendarShow(TVisionToolForm& form, TDevidCalendar& cal) {
  auto* vision = dynamic_cast<TDateVision*>(form.Vision());
  if (!vision) return;
  const TvpCalendarButtons buttons = vision->Buttons();
  cal.SetShowTodayButton(buttons.Contains(clbToday));
  cal.SetShowClearButton(buttons.Contains(clbClear));
  cal.SetShowYearNavigator(!buttons.Contains(clbNoYearNavigator));
  cal.SetDisableClearButton(!vision->Nullable());
  // Cleared first, so that the bounds of the last vision never move the new ones.
  cal.SetMinDate(TDate(0));
  cal.SetMaxDate(TDate(0));
  cal.SetMinDate(vision->MinDate());
  cal.SetMaxDate(vision->MaxDate());
  const TfvCurrentValue* current = form.CurrentValue();
  if (!current || current->IsNull()) {
    cal.SetDate(TDate(zv::Date().Value));
    cal.SetNullDate(true);
  } else {
    cal.SetDate(TDate(current->AsDateTime().Value));
  }
  form.SetPopupWidth(cal.Width());
  form.SetHeight(cal.Height());
}

void CalendarPostChanges(TVisionToolForm& form, TDevidCalendar& cal) {
  TfvCurrentValue* current = form.CurrentValue();
  if (!current) return;
  if (cal.NullDate())
    current->Clear();
  else
    current->SetAsDateTime(cal.Date());
}

void InstallCalendar(TzvDefPack& pack) {
  TVisionToolForm* form = pack.vtfCalendar;
  if (!form || pack.FindComponent(PackCalendarName)) return;
  auto* cal = new TDevidCalendar(&pack);
  cal->SetName(PackCalendarName);
  cal->SetBorderStyle(bsNoBorder);
  cal->SetShowTodayButton(false);
  cal->SetParent(form);
  cal->SetBounds(0, 0, 140, 130);
  form->SetActiveControl(cal);
  form->OnShow = [form, cal](TObject*) { CalendarShow(*form, *cal); };
  form->OnPostChanges = [form, cal](TObject*) { CalendarPostChanges(*form, *cal); };
  cal->OnChange = [form](TObject*) { form->SetChanged(true); };
  // A pick closes with posting; a cleared date leaves the grid's cell as well.
  cal->OnPickup = [form, cal](TObject*) { form->ClosePopup(true, cal->NullDate()); };
}

int gExtension = 0;

}  // namespace

TDevidCalendar* PackCalendar() {
  return zvDefPack ? dynamic_cast<TDevidCalendar*>(zvDefPack->FindComponent(PackCalendarName)) : nullptr;
}

ZV_MODULE(zvctl, {.Name = "zvctl",
                  .Uses = {"zvstd", DefaultPackModule},
                  .Initialization =
                      [] {
                        RegisterClasses({TDevidCalendar::StaticClass()});
                        gExtension = AddDefaultPackExtension(InstallCalendar);
                      },
                  .Finalization =
                      [] {
                        RemoveDefaultPackExtension(gExtension);
                        FreeYearEditor();
                        UnRegisterClasses({TDevidCalendar::StaticClass()});
                      }});

}  // namespace zv
