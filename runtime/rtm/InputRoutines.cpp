#include "runtime/rtm/InputRoutines.h"

#include "platform/controls/Application.h"
#include "platform/controls/WinApi.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

#include <utility>

namespace zv {

TPoint GetMousePosInScr() { return GetCursorPos(); }

TPoint GetMousePos(const TControl* control) {
  const TPoint p = GetMousePosInScr();
  return control ? control->ScreenToClient(p) : p;
}

bool IsKeyPressed(int key) { return GetKeyState(key) < 0; }

void PerformKeyDown(TControl* control, Word key, TShiftState shift) {
  if (!control) return;
  control->Perform(WM_KEYDOWN, key, shift.Contains(ssAlt) ? KeyDataAltContext : 0);
}

bool HasAsParent(const TControl* parent, const TControl* control) {
  if (!parent || !control) return false;
  for (const TControl* p = control->Parent(); p; p = p->Parent())
    if (p == parent) return true;
  return false;
}

namespace {
// Puts a window procedure back when the scope ends, however it ends.
class TWindowProcRestorer {
public:
  explicit TWindowProcRestorer(TControl& control) : fControl(control), fSaved(control.WindowProc) {}
  ~TWindowProcRestorer() { fControl.WindowProc = std::move(fSaved); }
  TWindowProcRestorer(const TWindowProcRestorer&) = delete;
  TWindowProcRestorer& operator=(const TWindowProcRestorer&) = delete;
  const std::function<void(TMessage&)>& Saved() const { return fSaved; }

private:
  TControl& fControl;
  std::function<void(TMessage&)> fSaved;
};
}  // namespace

void SafeSetFocusTo(TWinControl* form, TWinControl* control) {
  if (!control) return;
  if (!form) {
    control->SetFocus();
    return;
  }
  TWindowProcRestorer restorer(*form);
  // The filter holds its own copy of the previous procedure: someone may keep the filter
  // (subclassing on top of it) beyond this call.
  form->WindowProc = [form, previous = restorer.Saved()](TMessage& message) {
    if (message.Msg == CM_ACTIVATE || message.Msg == CM_DEACTIVATE) return;
    if (previous)
      previous(message);
    else
      form->WndProc(message);
  };
  control->SetFocus();
}

namespace {
int gFirstDayOfWeek = 1;
}

int GetFirstDayOfWeek() { return gFirstDayOfWeek; }

void SetFirstDayOfWeek(int day) {
  if (day < 1 || day > 7) throw ERangeError(SRangeError);
  gFirstDayOfWeek = day;
}

void ProcessCommandMsg() {
  TMessage next{};
  if (PeekMessage(next) && next.Msg == WM_COMMAND) Application->ProcessMessages();
}

}  // namespace zv
