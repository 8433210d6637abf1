#pragma once
// Types shared by the controls and the window backends: window handles, shift states, mouse
// buttons, cursors, alignment and the event signatures of the host's Controls unit.

#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Geometry.h"
#include "platform/rtl/Set.h"

#include <cstdint>
#include <functional>

namespace zv {

class TObject;

// A window handle: names a windowed control while its window exists. Handles are never
// reused, so a stale one finds no window instead of another control. 0 is no window.
enum HWND : std::uintptr_t {};

using Word = std::uint16_t;

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

ZV_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom);

// Borders of forms; controls with a border (panels, edits) use the first two (the host's
// TBorderStyle is the subrange bsNone..bsSingle).
ZV_ENUM(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin);
using TBorderStyle = TFormBorderStyle;

// Which scroll bars a control shows (edits, memos, the library's editors and drop-downs).
ZV_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth);

// Cursors by the host's numbers: 0 defers to the parent or the class, negatives are the
// stock shapes.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = crSizeAll;

// The cursor names forms store ("Cursor = crHandPoint"). -22 is written crSizeAll; crSize
// still reads.
inline constexpr TIdentMapEntry CursorIdents[] = {
    {crDefault, "crDefault"}, {crArrow, "crArrow"}, {crCross, "crCross"}, {crIBeam, "crIBeam"},
    {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"}, {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"}, {crNoDrop, "crNoDrop"},
    {crHSplit, "crHSplit"}, {crVSplit, "crVSplit"}, {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},
    {crNo, "crNo"}, {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"}, {crNone, "crNone"}, {crSize, "crSize"},
};
inline bool CursorToIdent(TCursor cursor, String& ident) { return IntToIdent(cursor, ident, CursorIdents); }
inline bool IdentToCursor(std::string_view ident, TCursor& cursor) { return IdentToInt(ident, cursor, CursorIdents); }
// The type information of cursor properties ("TCursor"), streamed by the names above.
inline const TTypeInfo* CursorTypeInfo() {
  static const TTypeInfo* type = RegisterIntegerConsts("TCursor", &IdentToCursor, &CursorToIdent);
  return type;
}

ZV_EVENT(TMouseEvent, void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y));
ZV_EVENT(TMouseMoveEvent, void(TObject* sender, TShiftState shift, int x, int y));
ZV_EVENT(TKeyEvent, void(TObject* sender, Word& key, TShiftState shift));
// One Unicode code point per key press (the host passes UTF-16 units; here a surrogate pair
// arrives as one character). Setting key to 0 swallows it.
ZV_EVENT(TKeyPressEvent, void(TObject* sender, char32_t& key));
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
ZV_EVENT(TMouseWheelUpDownEvent, void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled));

}  // namespace zv
