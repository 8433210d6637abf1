#include "platform/controls/Messages.h"

#include "platform/controls/WinApi.h"

#include <algorithm>

namespace zv {

namespace {
std::int16_t Clamp16(int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); }
}  // namespace

LPARAM PointToLParam(TPoint p) {
  return MakeLParam(static_cast<Word>(Clamp16(p.X)), static_cast<Word>(Clamp16(p.Y)));
}

TPoint LParamToPoint(LPARAM l) {
  const auto u = static_cast<std::uintptr_t>(l);
  return {static_cast<std::int16_t>(LoWord(u)), static_cast<std::int16_t>(HiWord(u))};
}

TShiftState KeysToShiftState(unsigned keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (static_cast<std::uintptr_t>(keyData) & (1u << 29)) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  if (GetKeyState(VK_LBUTTON) < 0) s.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) s.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) s.Include(ssMiddle);
  return s;
}

unsigned ShiftStateToKeys(TShiftState shift) {
  unsigned keys = 0;
  if (shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

LPARAM MakeKeyData(bool alt, bool wasDown, bool up) {
  std::uint32_t data = 1;
  if (alt) data |= 1u << 29;
  if (wasDown) data |= 1u << 30;
  if (up) data |= 1u << 31;
  return static_cast<LPARAM>(data);
}

TMessage MouseMessage(unsigned msg, unsigned keys, TPoint pos) { return {msg, keys, PointToLParam(pos), 0}; }

TMessage KeyMessage(unsigned msg, WPARAM key, LPARAM keyData) { return {msg, key, keyData, 0}; }

TMessage ScrollMessage(unsigned msg, int code, int pos) {
  return {msg, MakeWParam(static_cast<Word>(code), static_cast<Word>(Clamp16(pos))), 0, 0};
}

TMessage WheelMessage(unsigned keys, int delta, TPoint screenPos) {
  return {WM_MOUSEWHEEL, MakeWParam(static_cast<Word>(keys), static_cast<Word>(Clamp16(delta))),
          PointToLParam(screenPos), 0};
}

}  // namespace zv
