#pragma once
// Diagnostic timers for measuring stretches of code by hand: _StartTime notes the tick count in
// slot _time of _times, _StopTime turns that slot into the elapsed ticks and moves to the next
// slot. Nothing in the library calls them. The slots are never reused: a measurement past the
// last one raises ERangeError instead of writing past the array.

#include <array>
#include <cstdint>

#include "platform/rtl/StringUtils.h"

namespace zv {

inline constexpr int _max_time = 500;
extern std::array<std::int32_t, _max_time> _times;
extern int _time;

// ERangeError when all _max_time slots are used.
void _StartTime();
// The elapsed ticks (milliseconds) since the matching _StartTime; ERangeError past the last slot.
std::int32_t _StopTime();
// Shows S at the top left of the screen, within 1024 x 768, on a top-most window of its own
// that never takes the focus; each call replaces the text.
void _PrintToScreen(const String& S);

}  // namespace zv
