#pragma once
// Mouse, keyboard and focus helpers the library's controls share. They read the input state
// the windowing system keeps for the message being handled (not the hardware), so a handler
// sees the state that came with its own message.

#include "platform/controls/WinControl.h"

namespace zv {

// The mouse position of the last mouse message, in screen coordinates.
TPoint GetMousePosInScr();
// The same in control's client coordinates; screen coordinates when control is null.
TPoint GetMousePos(const TControl* control);
// key is down (the high bit of its key state).
bool IsKeyPressed(int key);
// ShiftStateToKeys(shift) (mouse-key flags of a shift state) comes from platform/controls/Messages.h.

// The context bit of a key message's data: Alt was held.
inline constexpr LPARAM KeyDataAltContext = 0x20000000;
// Sends WM_KEYDOWN for key to control now (through its WindowProc); the key data carries only
// the context bit, set when shift holds ssAlt. Exceptions reach the caller.
void PerformKeyDown(TControl* control, Word key, TShiftState shift);
// When the next queued message is a command (WM_COMMAND), lets the application handle what is
// pending, so that a command issued from a pop-up is not left behind a nested operation.
void ProcessCommandMsg();
// parent is a (direct or indirect) parent of control; a control is not its own parent.
bool HasAsParent(const TControl* parent, const TControl* control);
// Gives control the focus while form (its top-level control, or null) ignores CM_ACTIVATE and
// CM_DEACTIVATE, so that focusing from inside an activation does not start another one.
// form's WindowProc is restored afterwards, also when focusing throws.
void SafeSetFocusTo(TWinControl* form, TWinControl* control);

// The first day of the week as the host numbers days (1 Sunday ... 7 Saturday). The settings
// are fixed, not read from the process locale, so calendars look the same on every machine:
// Sunday, the first of TFormatSettings' day names, unless the application sets another day.
int GetFirstDayOfWeek();
// ERangeError for a day outside 1..7.
void SetFirstDayOfWeek(int day);

}  // namespace zv
