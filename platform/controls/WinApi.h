#pragma once
// The windowing routines the library calls, with the host's names and meanings, on window
// handles (TWinControl::Handle()). A stale handle makes them do nothing and return false / 0.

#include "platform/controls/Messages.h"
#include "platform/graphics/PaintDevice.h"

#include <memory>

namespace zv {

// --- Invalidation and painting -----------------------------------------------------------------
// rect in client coordinates; null means the whole client area. erase asks for WM_ERASEBKGND.
bool InvalidateRect(HWND window, const TRect* rect, bool erase);
bool InvalidateRgn(HWND window, const TRegion* region, bool erase);
bool ValidateRect(HWND window, const TRect* rect);
// The bounds of the update region; false when it is empty.
bool GetUpdateRect(HWND window, TRect* rect, bool erase);
// Paints the window now when its update region is not empty (not its children).
bool UpdateWindow(HWND window);
// Marks the frame for WM_NCPAINT and asks for a new WM_NCCALCSIZE (SetWindowPos with
// SWP_FRAMECHANGED).
void FrameChanged(HWND window);

struct TPaintStruct {
  std::unique_ptr<TPaintDevice> hdc;  // clipped to the update region
  bool fErase = false;                // WM_ERASEBKGND did not erase
  TRect rcPaint;
};
// Copies the update region (client coordinates) into region; with erase, a pending erase
// is done now (WM_ERASEBKGND). Returns the region's complexity (NULLREGION when the window is
// valid), RGN_ERROR for a stale handle or no region.
int GetUpdateRgn(HWND window, TRegion* region, bool erase);

// The window's shape (window coordinates): outside it the window neither draws nor takes the
// mouse, and what it covered of its parent shows through. Null restores the rectangle. The
// region is copied. With redraw, the window and what it uncovered are repainted. The shape
// clips this window and its children, and hit-testing through the shape falls to the parent.
// A top-level window's native window stays rectangular: only its drawing and mouse input
// follow the shape there.
bool SetWindowRgn(HWND window, const TRegion* region, bool redraw);
// Copies the shape into region; RGN_ERROR (and region untouched) when the window has none.
int GetWindowRgn(HWND window, TRegion& region);

// Takes the update region: the window is valid afterwards.
bool BeginPaint(HWND window, TPaintStruct& ps);
void EndPaint(HWND window, TPaintStruct& ps);
// A device on the client area (GetDC) or the whole window (GetWindowDC), for drawing outside
// WM_PAINT; clipped to what is visible. Null for a stale handle.
std::unique_ptr<TPaintDevice> GetDC(HWND window);
std::unique_ptr<TPaintDevice> GetWindowDC(HWND window);

// Moves the pixels of scroll (client coordinates; null for the client area) by (dx, dy),
// keeping them inside clip; what is uncovered (and what was hidden at the source) is returned
// in update / updateRect and, with SW_INVALIDATE, added to the update region. A pending update
// region moves with the pixels. SW_SCROLLCHILDREN moves the child windows too. Returns the
// update region's complexity (NULLREGION, SIMPLEREGION, COMPLEXREGION), RGN_ERROR for a stale
// handle.
int ScrollWindowEx(HWND window, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update,
                   TRect* updateRect, unsigned flags);
bool ScrollWindow(HWND window, int dx, int dy, const TRect* scroll, const TRect* clip);

// --- Scroll bars ---------------------------------------------------------------------------------
// The standard scroll bars (SB_HORZ, SB_VERT) of the window's frame. A range that fits in the
// page hides the bar, or disables it with SIF_DISABLENOSCROLL. The position is kept inside
// Min .. Max - max(Page - 1, 0); a range with Min > Max (or wider than 2^31 - 1) becomes
// 0 .. 0, as Windows makes it. Returns the new position.
// SIF_TRACKPOS reads the thumb's position while the user drags it, in full 32 bits (the
// position in a WM_xSCROLL message is only 16 bits wide); otherwise the position.
int SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw);
bool GetScrollInfo(HWND window, int bar, TScrollInfo& info);
int SetScrollPos(HWND window, int bar, int pos, bool redraw);
int GetScrollPos(HWND window, int bar);
bool SetScrollRange(HWND window, int bar, int min, int max, bool redraw);
bool ShowScrollBar(HWND window, int bar, bool show);

// --- Focus, capture, keys, timers ----------------------------------------------------------------
// Returns the window that had the focus.
HWND SetFocus(HWND window);
HWND GetFocus();
// Mouse messages go to window wherever the mouse is; the old capture gets WM_CAPTURECHANGED.
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();
// Negative (high bit) while the key is down; bit 0 toggles on each press (Caps Lock...). The
// state is the one of the message being handled, not of the hardware.
short GetKeyState(int virtualKey);
// WM_TIMER to window every interval (at least 10 ms); an existing id is replaced. 0 on failure.
std::uintptr_t SetTimer(HWND window, std::uintptr_t id, unsigned milliseconds);
bool KillTimer(HWND window, std::uintptr_t id);

// --- Messages ------------------------------------------------------------------------------------
// Queues the message for the message loop.
bool PostMessage(HWND window, unsigned msg, WPARAM wParam, LPARAM lParam);
// Handles the message now, as the window (exceptions go to the application).
LRESULT SendMessage(HWND window, unsigned msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage();
// A queued message and the window it is for.
struct TMsg : TMessage {
  HWND hwnd{};  // 0 for a message posted to no window (WM_QUIT)
};
inline constexpr unsigned PM_NOREMOVE = 0x0, PM_REMOVE = 0x1;
// The first queued message for window or one of its child windows (0: for any window, and
// those for none; HWND(-1): only those for none) whose number lies in first .. last (0 .. 0:
// any); with PM_REMOVE it leaves the queue. Messages posted
// with PostMessage come before input, as the host retrieves them. Keyboard input waiting in
// the queue is seen as the messages it becomes for the window that has the focus
// (WM_KEYDOWN, WM_CHAR, WM_KEYUP and the WM_SYS variants); mouse presses as the messages they
// become for the window they will reach (WM_LBUTTONDOWN ... WM_MBUTTONDBLCLK in client
// coordinates, WM_NCLBUTTONDOWN ... with the hit code and the screen point over a frame); a
// move or size the windowing system made as WM_MOVE / WM_SIZE to its form (removing one
// applies it). Mouse moves and releases, painting and timers are not seen. A removed key
// still counts in GetKeyState, a removed press in the next double click. False when nothing
// matches, for a stale window and for an empty range (first > last).
bool PeekMessage(TMsg& message, HWND window, unsigned first, unsigned last, unsigned remove);
// The next message of any window, left in the queue.
bool PeekMessage(TMessage& message);

// --- Windows and the system --------------------------------------------------------------------
bool IsWindow(HWND window);
// The top-level window (a form with a window) whose class is className and whose caption is
// windowName (null: any), 0 if none; class names compare without case, captions exactly.
HWND FindWindow(const char* className, const char* windowName);
bool IsWindowVisible(HWND window);
bool IsWindowEnabled(HWND window);
bool GetClientRect(HWND window, TRect& rect);
// Screen coordinates of the whole window.
bool GetWindowRect(HWND window, TRect& rect);
std::uint64_t GetTickCount();
unsigned GetDoubleClickTime();
TPoint GetCursorPos();
// Moves the mouse pointer (screen coordinates); the windows hear of it with the next mouse
// input. False without a window backend.
bool SetCursorPos(int x, int y);

// The mouse pointer's shape, for the window under the mouse until a WM_SETCURSOR answer sets
// another: a stock cursor (crArrow, crIBeam, ...); crDefault and cursors the system does not
// know show the arrow. Returns the shape shown before.
TCursor SetCursor(TCursor cursor);
TCursor GetCursor();

// Sounds the system's alert. type names the kind of alert as on the host (0 the default
// sound, 0xFFFFFFFF the simple beep); every kind plays the platform's one alert sound. The
// headless backend counts the beeps.
bool MessageBeep(unsigned type);

inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CXBORDER = 5,
                     SM_CYBORDER = 6, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
                     SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXDRAG = 68,
                     SM_CYDRAG = 69;
int GetSystemMetrics(int index);

}  // namespace zv
