#pragma once
// Window messages with the host's numbers: the Windows messages the controls handle, the
// framework's own CM_ messages (CM_BASE + n), key codes, mouse-key flags, scroll-bar codes and
// window styles. TMessage carries any message; the typed views (TWMMouse, TWMKey, ...) read
// and write its fields by name. A typed view is a copy: dispatching copies it back.

#include "platform/controls/ControlTypes.h"
#include "platform/graphics/PaintDevice.h"

#include <cstdint>

namespace zv {

class TControl;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct TMessage {
  unsigned Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// --- Windows messages ------------------------------------------------------------------------
inline constexpr unsigned WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
                          WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
                          WM_ENABLE = 0x000A, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
                          WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
                          WM_SHOWWINDOW = 0x0018, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
                          WM_WINDOWPOSCHANGED = 0x0047, WM_CONTEXTMENU = 0x007B, WM_NCCALCSIZE = 0x0083,
                          WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_GETDLGCODE = 0x0087,
                          WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
                          WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_KEYLAST = 0x0109,
                          WM_COMMAND = 0x0111, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115, WM_MOUSEFIRST = 0x0200,
                          WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
                          WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205,
                          WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208,
                          WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A, WM_MOUSEHWHEEL = 0x020E,
                          WM_MOUSELAST = 0x020E, WM_CAPTURECHANGED = 0x0215, WM_MOUSELEAVE = 0x02A3,
                          WM_USER = 0x0400;

// Clipboard and edit-control messages.
inline constexpr unsigned WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304;
inline constexpr unsigned EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SCROLLCARET = 0x00B7,
                          EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA,
                          EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2,
                          EM_LIMITTEXT = 0x00C5, EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9,
                          EM_SETPASSWORDCHAR = 0x00CC, EM_EMPTYUNDOBUFFER = 0x00CD,
                          EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF, EM_GETPASSWORDCHAR = 0x00D2,
                          EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;
// The edit's text rectangle and margins (EM_SETMARGINS: WParam EC_ flags, LParam the left
// margin in the low word and the right one in the high word).
inline constexpr unsigned EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4;
inline constexpr unsigned EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
// Edit-control styles.
inline constexpr unsigned ES_LEFT = 0x0, ES_CENTER = 0x1, ES_RIGHT = 0x2, ES_MULTILINE = 0x4, ES_UPPERCASE = 0x8,
                          ES_LOWERCASE = 0x10, ES_PASSWORD = 0x20, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80,
                          ES_NOHIDESEL = 0x100, ES_READONLY = 0x800, ES_WANTRETURN = 0x1000;

// --- The framework's control messages ----------------------------------------------------------
inline constexpr unsigned CM_BASE = 0xB000;
inline constexpr unsigned CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
                          CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                          CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                          CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                          CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                          CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
                          CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                          CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
                          CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                          CM_WANTSPECIALKEY = CM_BASE + 30, CM_SHOWHINTCHANGED = CM_BASE + 34,
                          CM_PARENTSHOWHINTCHANGED = CM_BASE + 35, CM_SYSCOLORCHANGE = CM_BASE + 36,
                          CM_TABSTOPCHANGED = CM_BASE + 40, CM_CONTROLLISTCHANGE = CM_BASE + 44,
                          CM_GETDATALINK = CM_BASE + 45, CM_CHILDKEY = CM_BASE + 46, CM_HINTSHOW = CM_BASE + 48,
                          CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
                          CM_CONTROLCHANGE = CM_BASE + 54, CM_CHANGED = CM_BASE + 55,
                          CM_BORDERCHANGED = CM_BASE + 59, CM_MOUSEWHEEL = CM_BASE + 67,
                          CM_RELEASE = CM_BASE + 33;
// To a control of a designed form: non-zero when the control wants the mouse message at
// (LParam, a point relative to the control; WParam the mouse keys) itself.
inline constexpr unsigned CM_DESIGNHITTEST = CM_BASE + 28;

// Speed buttons of one group tell each other (WParam: the group, LParam: the pressed button).
inline constexpr unsigned CM_BUTTONPRESSED = CM_BASE + 24;

// A form's main menu changed (items added, removed, shown, renamed): the bar is laid out again.
inline constexpr unsigned CM_MENUCHANGED = CM_BASE + 21;

// Drag and drop (see DragDrop.h).
inline constexpr unsigned CM_DRAG = CM_BASE + 47;

// Hints (see HintWindow.h): WParam whether a hint was showing, LParam an int* pause in ms.
inline constexpr unsigned CM_HINTSHOWPAUSE = CM_BASE + 65;

// Window management: non-client mouse presses (WParam the hit code, LParam the screen point),
// sizing and moving by the user (WM_SIZING: WParam the WMSZ_ edge, LParam a TRect* of the
// proposed screen rectangle the handler may change), the application's activation
// (WM_ACTIVATEAPP: WParam non-zero when it gains it).
inline constexpr unsigned WM_ACTIVATEAPP = 0x001C, WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1,
                          WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4,
                          WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7,
                          WM_NCMBUTTONUP = 0x00A8, WM_NCMBUTTONDBLCLK = 0x00A9, WM_SIZING = 0x0214,
                          WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231, WM_EXITSIZEMOVE = 0x0232;
inline constexpr int HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15,
                     HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17;
inline constexpr unsigned WMSZ_LEFT = 1, WMSZ_RIGHT = 2, WMSZ_TOP = 3, WMSZ_TOPLEFT = 4, WMSZ_TOPRIGHT = 5,
                          WMSZ_BOTTOM = 6, WMSZ_BOTTOMLEFT = 7, WMSZ_BOTTOMRIGHT = 8;
// A top-level window with it lets the mouse through to what lies below (drag markers).
inline constexpr unsigned WS_EX_TRANSPARENT = 0x20;

// The library's own messages, numbered outside WM_USER so that they never meet an application's.
inline constexpr unsigned ZV_CM_FIELDMAPCHANGED = 1525;
inline constexpr unsigned ZV_CM_CUSTOMIZER = 1526;
inline constexpr unsigned ZV_CM_SHOWTOOLFORM = 1527;

// --- Parameters ------------------------------------------------------------------------------
// Mouse-key flags of mouse messages.
inline constexpr unsigned MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                          MK_MBUTTON = 0x0010;
inline constexpr int WHEEL_DELTA = 120;
// WM_SIZE kinds.
inline constexpr unsigned SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
// Hit-test codes (WM_SETCURSOR, WM_NCHITTEST).
inline constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTMENU = 5,
                     HTHSCROLL = 6, HTVSCROLL = 7, HTBORDER = 18;
// WM_GETDLGCODE answers.
inline constexpr unsigned DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                          DLGC_WANTMESSAGE = 0x0004, DLGC_HASSETSEL = 0x0008, DLGC_WANTCHARS = 0x0080,
                          DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;

// Scroll bars, scroll codes and SetScrollInfo masks.
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
                     SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5,
                     SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
inline constexpr unsigned SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
                          SIF_TRACKPOS = 0x10, SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
// ScrollWindowEx flags.
inline constexpr unsigned SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4;

// Window styles that the window model honours.
inline constexpr unsigned WS_POPUP = 0x80000000u, WS_CHILD = 0x40000000u, WS_VISIBLE = 0x10000000u,
                          WS_DISABLED = 0x08000000u, WS_CLIPSIBLINGS = 0x04000000u, WS_CLIPCHILDREN = 0x02000000u,
                          WS_CAPTION = 0x00C00000u, WS_BORDER = 0x00800000u, WS_VSCROLL = 0x00200000u,
                          WS_HSCROLL = 0x00100000u, WS_THICKFRAME = 0x00040000u, WS_TABSTOP = 0x00010000u;
inline constexpr unsigned WS_EX_TOPMOST = 0x8, WS_EX_TOOLWINDOW = 0x80, WS_EX_CLIENTEDGE = 0x200,
                          WS_EX_CONTROLPARENT = 0x10000;
// Frame styles of top-level windows (the windowing system draws these frames).
inline constexpr unsigned WS_DLGFRAME = 0x00400000u, WS_SYSMENU = 0x00080000u, WS_EX_DLGMODALFRAME = 0x1,
                          WS_EX_NOACTIVATE = 0x08000000u, WS_MINIMIZEBOX = 0x00020000u, WS_MAXIMIZEBOX = 0x00010000u,
                          WS_EX_CONTEXTHELP = 0x400;
// Class styles.
inline constexpr unsigned CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8;

// --- Virtual key codes -------------------------------------------------------------------------
inline constexpr Word VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
                      VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
                      VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
                      VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
                      VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29, VK_PRINT = 0x2A, VK_EXECUTE = 0x2B,
                      VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B,
                      VK_RWIN = 0x5C, VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A,
                      VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
                      VK_F1 = 0x70, VK_F10 = 0x79, VK_F24 = 0x87, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91,
                      VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
                      VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC,
                      VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_8 = 0xDF, VK_OEM_102 = 0xE2;
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).

// --- Packing -------------------------------------------------------------------------------------
constexpr Word LoWord(std::uintptr_t v) { return static_cast<Word>(v & 0xFFFF); }
constexpr Word HiWord(std::uintptr_t v) { return static_cast<Word>((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(Word lo, Word hi) { return static_cast<LPARAM>(static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16)); }
constexpr WPARAM MakeWParam(Word lo, Word hi) { return static_cast<WPARAM>(static_cast<std::uint32_t>(lo) | (static_cast<std::uint32_t>(hi) << 16)); }
// A point as the two signed 16-bit halves of an LPARAM; coordinates beyond them are clamped.
LPARAM PointToLParam(TPoint p);
TPoint LParamToPoint(LPARAM l);

// Shift states of the host: from mouse-key flags (Alt read from the key state), from the key
// data of a key message (Alt from bit 29), and from the whole keyboard state.
TShiftState KeysToShiftState(unsigned keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeyboardStateToShiftState();
// Mouse-key flags of a shift state (Alt has none).
unsigned ShiftStateToKeys(TShiftState shift);
// Key data of a key message: repeat count 1, Alt in bit 29, the previous state in bit 30 and
// the transition (up) in bit 31.
LPARAM MakeKeyData(bool alt, bool wasDown, bool up);

// --- Parameter records -----------------------------------------------------------------------
struct TScrollInfo {
  unsigned fMask = 0;
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// WM_NCCALCSIZE: rgrc[0] comes in as the window rectangle (in the parent's client coordinates)
// and goes out as the client rectangle.
struct TNCCalcSizeParams {
  TRect rgrc[3];
};

// --- Typed views ---------------------------------------------------------------------------------
struct TWMMouse : TMessage {  // WM_MOUSEMOVE, WM_xBUTTONDOWN/UP/DBLCLK
  explicit TWMMouse(const TMessage& m) : TMessage(m) {}
  unsigned Keys() const { return static_cast<unsigned>(WParam); }
  TPoint Pos() const { return LParamToPoint(LParam); }
  int XPos() const { return Pos().X; }
  int YPos() const { return Pos().Y; }
};

struct TWMMouseWheel : TMessage {  // WM_MOUSEWHEEL, CM_MOUSEWHEEL
  explicit TWMMouseWheel(const TMessage& m) : TMessage(m) {}
  unsigned Keys() const { return LoWord(WParam); }
  int WheelDelta() const { return static_cast<std::int16_t>(HiWord(WParam)); }
  TPoint Pos() const { return LParamToPoint(LParam); }  // screen coordinates
};

struct TWMKey : TMessage {  // WM_KEYDOWN/UP, WM_CHAR, WM_SYSKEYDOWN/UP, WM_SYSCHAR
  explicit TWMKey(const TMessage& m) : TMessage(m) {}
  Word CharCode() const { return static_cast<Word>(WParam); }
  void SetCharCode(Word key) { WParam = key; }
  char32_t Char() const { return static_cast<char32_t>(WParam); }  // WM_CHAR: one code point
  void SetChar(char32_t c) { WParam = c; }
  LPARAM KeyData() const { return LParam; }
};

struct TWMScroll : TMessage {  // WM_HSCROLL, WM_VSCROLL
  explicit TWMScroll(const TMessage& m) : TMessage(m) {}
  int ScrollCode() const { return LoWord(WParam); }
  int Pos() const { return static_cast<std::int16_t>(HiWord(WParam)); }
  HWND ScrollBar() const { return static_cast<HWND>(LParam); }
};

struct TWMTimer : TMessage {
  explicit TWMTimer(const TMessage& m) : TMessage(m) {}
  std::uintptr_t TimerID() const { return WParam; }
};

struct TWMSize : TMessage {
  explicit TWMSize(const TMessage& m) : TMessage(m) {}
  unsigned SizeType() const { return static_cast<unsigned>(WParam); }
  int Width() const { return LoWord(static_cast<std::uintptr_t>(LParam)); }
  int Height() const { return HiWord(static_cast<std::uintptr_t>(LParam)); }
};

struct TWMPaint : TMessage {  // WM_PAINT; a device in WParam paints into it instead of the window
  explicit TWMPaint(const TMessage& m) : TMessage(m) {}
  TPaintDevice* DC() const { return reinterpret_cast<TPaintDevice*>(WParam); }
};

struct TWMEraseBkgnd : TMessage {
  explicit TWMEraseBkgnd(const TMessage& m) : TMessage(m) {}
  TPaintDevice* DC() const { return reinterpret_cast<TPaintDevice*>(WParam); }
};

struct TWMNCPaint : TMessage {  // WParam: 1 for the whole frame
  explicit TWMNCPaint(const TMessage& m) : TMessage(m) {}
};

struct TWMNCCalcSize : TMessage {
  explicit TWMNCCalcSize(const TMessage& m) : TMessage(m) {}
  bool CalcValidRects() const { return WParam != 0; }
  TNCCalcSizeParams* CalcSize_Params() const { return reinterpret_cast<TNCCalcSizeParams*>(LParam); }
};

struct TWMSetFocus : TMessage {  // WM_SETFOCUS: the window losing focus; WM_KILLFOCUS: the one getting it
  explicit TWMSetFocus(const TMessage& m) : TMessage(m) {}
  HWND FocusedWnd() const { return static_cast<HWND>(WParam); }
};
using TWMKillFocus = TWMSetFocus;

struct TWMSetCursor : TMessage {
  explicit TWMSetCursor(const TMessage& m) : TMessage(m) {}
  HWND CursorWnd() const { return static_cast<HWND>(WParam); }
  int HitTest() const { return static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(LParam))); }
  unsigned MouseMsg() const { return HiWord(static_cast<std::uintptr_t>(LParam)); }
};

struct TCMCancelMode : TMessage {  // CM_CANCELMODE: LParam is the control that was pressed
  explicit TCMCancelMode(const TMessage& m) : TMessage(m) {}
  TControl* Sender() const { return reinterpret_cast<TControl*>(LParam); }
};

struct TWMNCHitTest : TMessage {  // WM_NCHITTEST: LParam is the point, screen coordinates
  explicit TWMNCHitTest(const TMessage& m) : TMessage(m) {}
  TPoint Pos() const { return LParamToPoint(LParam); }
  int XPos() const { return Pos().X; }
  int YPos() const { return Pos().Y; }
};

struct TWMCaptureChanged : TMessage {  // LParam: the window getting the capture
  explicit TWMCaptureChanged(const TMessage& m) : TMessage(m) {}
  HWND NewCapture() const { return static_cast<HWND>(LParam); }
};

// --- Dispatching to typed handlers -----------------------------------------------------------
// Calls a handler that takes a typed view with a copy of the message and copies the copy back:
// a handler may change fields (a key code set to 0, a result) that later handlers see.
//   case WM_KEYDOWN: return Call(this, message, &TMyControl::WMKeyDown);
template <class T, class C, class Self>
void Call(Self* self, TMessage& message, void (C::*handler)(T&)) {
  T typed(message);
  (static_cast<C*>(self)->*handler)(typed);
  message = static_cast<const TMessage&>(typed);
}

// --- Building messages -----------------------------------------------------------------------
TMessage MouseMessage(unsigned msg, unsigned keys, TPoint pos);
TMessage KeyMessage(unsigned msg, WPARAM key, LPARAM keyData);
TMessage ScrollMessage(unsigned msg, int code, int pos);
TMessage WheelMessage(unsigned keys, int delta, TPoint screenPos);

}  // namespace zv
