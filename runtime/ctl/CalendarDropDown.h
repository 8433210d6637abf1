#pragma once
// The calendar of the date vision's drop-down: the ctl module puts it on the default pack's
// calendar tool form, named calCalendar, whenever a pack is loaded.

namespace zv {

class TDevidCalendar;

inline constexpr const char PackCalendarName[] = "calCalendar";

// The pack's calendar; null without a pack.
TDevidCalendar* PackCalendar();

}  // namespace zv
