// The window manager. Sections: handles; the queue; painting and presentation; focus,
// capture and keys; timers; the backend's reports; input translation.

#include "platform/controls/detail/WindowManager.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace zv::detail {

namespace {
bool gNativeResize = false;
constexpr std::uint64_t kDoubleClickTime = 500;
constexpr int kDoubleClickBox = 2;  // half of SM_CXDOUBLECLK
// A held scroll-bar arrow or track repeats after the first delay, then at the repeat rate.
constexpr unsigned kBarFirstDelay = 200;
constexpr unsigned kBarRepeatDelay = 50;

bool IsKeyInput(TNativeInputKind kind) {
  return kind == TNativeInputKind::KeyDown || kind == TNativeInputKind::KeyUp || kind == TNativeInputKind::Char;
}

bool InRange(unsigned msg, unsigned first, unsigned last) { return (first == 0 && last == 0) || (msg >= first && msg <= last); }
}  // namespace

bool NativeResizeInProgress() { return gNativeResize; }

TWindowManager& TWindowManager::Instance() {
  static TWindowManager manager;
  return manager;
}

// --- Handles -------------------------------------------------------------------------------------

HWND TWindowManager::Register(TWinControl* control) {
  const HWND handle = static_cast<HWND>(fNextHandle++);
  fHandles[handle] = control;
  return handle;
}

void TWindowManager::Unregister(TWindow& window) {
  const HWND h = window.Handle;
  fHandles.erase(h);
  std::erase_if(fQueue, [h](const TQueued& q) { return q.Window == h; });
  for (auto it = fTimers.begin(); it != fTimers.end();) {
    if (it->first.first != h) {
      ++it;
      continue;
    }
    try {
      if (HasWindowBackend()) WindowBackend().StopTimer(it->second.BackendKey);
    } catch (...) {
    }
    it = fTimers.erase(it);
  }
  if (fCapture == h) {
    fCapture = HWND{};
    fCaptureControl = nullptr;
    try {
      if (HasWindowBackend()) WindowBackend().SetCapture(0);
    } catch (...) {
    }
  }
  if (fFocus == h) fFocus = HWND{};
  if (fBarTrack.Window == h) {
    fBarTrack = {};
    StopBarRepeat();
  }
  if (fLastClickWindow == h) fLastClickWindow = HWND{};
  if (fSizeMove.Window == h) {
    fSizeMove = {};
    try {
      if (HasWindowBackend()) WindowBackend().SetCapture(0);
    } catch (...) {
    }
  }
  if (fMouseTop == h) fMouseTop = HWND{};
  if (fMouseControl == &window.Control) fMouseControl = nullptr;
  fDisabled.erase(h);
}

TWinControl* TWindowManager::Find(HWND handle) const {
  const auto it = fHandles.find(handle);
  return it == fHandles.end() ? nullptr : it->second;
}

TWindow* TWindowManager::FindWindow(HWND handle) const {
  TWinControl* c = Find(handle);
  return c ? c->fWindow.get() : nullptr;
}

TWindow* TWindowManager::FindNative(TNativeWindow native) const {
  if (native == 0) return nullptr;
  for (const auto& [h, c] : fHandles)
    if (c->fWindow && c->fWindow->Native == native) return c->fWindow.get();
  return nullptr;
}

void TWindowManager::ControlDestroyed(TControl* control) {
  if (fCaptureControl == control) fCaptureControl = nullptr;
  if (fMouseControl == control) fMouseControl = nullptr;
}

// --- The queue -------------------------------------------------------------------------------------

void TWindowManager::Wake() {
  if (HasWindowBackend()) WindowBackend().Wake();
}

void TWindowManager::Enqueue(TQueued entry) {
  fQueue.push_back(std::move(entry));
  Wake();
}

void TWindowManager::Post(HWND window, const TMessage& message) { Enqueue({TKind::Message, window, message, {}, {}}); }

void TWindowManager::PostQuit() { Enqueue({TKind::Message, HWND{}, {WM_QUIT, 0, 0, 0}, {}, {}}); }

LRESULT TWindowManager::Send(HWND window, TMessage message) {
  if (TWinControl* c = Find(window)) c->MainWndProc(message);
  return message.Result;
}

std::deque<TWindowManager::TQueued>::iterator TWindowManager::NextEntry() {
  auto quit = fQueue.end(), input = fQueue.end();
  for (auto it = fQueue.begin(); it != fQueue.end(); ++it) {
    if (it->Kind == TKind::Input) {
      if (input == fQueue.end()) input = it;
    } else if (it->Kind == TKind::Message && it->Message.Msg == WM_QUIT && it->Window == HWND{}) {
      if (quit == fQueue.end()) quit = it;
    } else {
      return it;
    }
  }
  return input != fQueue.end() ? input : quit;
}

HWND TWindowManager::KeyTarget(TWindow& top) {
  // Keys reaching a window go to the focus when it is inside it or in a pop-up it owns.
  const std::vector<HWND> chain = ActivationChain(FindWindow(fFocus));
  if (std::find(chain.begin(), chain.end(), top.Handle) != chain.end()) return fFocus;
  TWinControl* c = top.Control.FocusedControl();
  return c && c->HandleAllocated() ? c->Handle() : top.Handle;
}

bool TWindowManager::KeyInputMessage(const TQueued& entry, TMsg& message) {
  const TNativeInput& in = entry.Input;
  if (entry.Kind != TKind::Input || !IsKeyInput(in.Kind) || TopLevelDisabled(entry.Window)) return false;
  TWindow* top = FindWindow(entry.Window);
  if (!top) return false;
  const bool alt = in.Shift.Contains(ssAlt), ctrl = in.Shift.Contains(ssCtrl);
  const bool sys = (alt && !ctrl) || in.Key == VK_F10;
  message = {};
  message.hwnd = KeyTarget(*top);
  switch (in.Kind) {
    case TNativeInputKind::KeyDown:
      static_cast<TMessage&>(message) = KeyMessage(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, in.Key, MakeKeyData(alt, in.Repeat, false));
      break;
    case TNativeInputKind::KeyUp:
      static_cast<TMessage&>(message) = KeyMessage(sys ? WM_SYSKEYUP : WM_KEYUP, in.Key, MakeKeyData(alt, true, true));
      break;
    default:
      static_cast<TMessage&>(message) = KeyMessage(alt && !ctrl ? WM_SYSCHAR : WM_CHAR, in.Char, MakeKeyData(alt, false, false));
      break;
  }
  return true;
}

bool TWindowManager::PeekMessage(TMsg& message, HWND window, unsigned first, unsigned last, bool remove) {
  const bool threadOnly = window == static_cast<HWND>(~std::uintptr_t{0});
  if (first > last || (window != HWND{} && !threadOnly && !Find(window))) return false;
  // A window's filter takes its child windows' messages too (IsChild).
  auto forWindow = [&](HWND target) {
    if (window == HWND{}) return true;
    if (threadOnly) return target == HWND{};
    for (TWinControl* c = Find(target); c; c = c->Parent())
      if (c->HandleAllocated() && c->Handle() == window) return true;
    return false;
  };
  auto matches = [&](HWND target, unsigned msg) { return forWindow(target) && InRange(msg, first, last); };
  // Posted messages first, then keyboard input, as they would be retrieved.
  for (auto it = fQueue.begin(); it != fQueue.end(); ++it) {
    if (it->Kind != TKind::Message || !matches(it->Window, it->Message.Msg)) continue;
    static_cast<TMessage&>(message) = it->Message;
    message.hwnd = it->Window;
    if (remove) fQueue.erase(it);
    return true;
  }
  for (auto it = fQueue.begin(); it != fQueue.end(); ++it) {
    if (it->Kind != TKind::Move && it->Kind != TKind::Resize) continue;
    TMsg m;
    if (it->Kind == TKind::Move)
      static_cast<TMessage&>(m) = {WM_MOVE, 0, PointToLParam({static_cast<int>(static_cast<std::intptr_t>(it->Message.WParam)),
                                                            static_cast<int>(it->Message.LParam)}), 0};
    else
      static_cast<TMessage&>(m) = {WM_SIZE, SIZE_RESTORED, MakeLParam(static_cast<Word>(std::min<WPARAM>(it->Message.WParam, 0xFFFF)),
                                                                    static_cast<Word>(std::min<LPARAM>(it->Message.LParam, 0xFFFF))), 0};
    m.hwnd = it->Window;
    if (!matches(m.hwnd, m.Msg)) continue;
    message = m;
    if (remove) {
      // The window moved or changed size all the same: taking the message applies it.
      const TQueued entry = std::move(*it);
      fQueue.erase(it);
      Dispatch(entry);
    }
    return true;
  }
  // Input in the order it came.
  for (auto it = fQueue.begin(); it != fQueue.end(); ++it) {
    TMsg m;
    TPoint screen;
    const bool key = KeyInputMessage(*it, m);
    if (!key && !MousePressMessage(*it, m, &screen)) continue;
    if (!matches(m.hwnd, m.Msg)) continue;
    message = m;
    if (remove) {
      // A key or button taken from the queue still counts as pressed, and a press as the
      // first of a double click.
      SyncKeyState(it->Input);
      if (!key) {
        const unsigned msg = m.Msg;
        const bool dbl = msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK ||
                         msg == WM_NCLBUTTONDBLCLK || msg == WM_NCRBUTTONDBLCLK || msg == WM_NCMBUTTONDBLCLK;
        RecordClick(m.hwnd, it->Input.Button, screen, dbl);
        fCursorPos = screen;
        fCursorKnown = true;
      }
      fQueue.erase(it);
    }
    return true;
  }
  return false;
}

bool TWindowManager::MousePressMessage(const TQueued& entry, TMsg& message, TPoint* screenOut) {
  const TNativeInput& in = entry.Input;
  if (entry.Kind != TKind::Input || in.Kind != TNativeInputKind::MouseDown || TopLevelDisabled(entry.Window) ||
      fBarTrack.Window != HWND{} || fSizeMove.Window != HWND{})
    return false;
  TWindow* top = FindWindow(entry.Window);
  if (!top) return false;
  const HWND topHandle = top->Handle;
  const TPoint screen{CheckedAdd(top->Control.Left(), in.Pos.X), CheckedAdd(top->Control.Top(), in.Pos.Y)};
  TWindow* target = FindWindow(fCapture);
  TPoint p = in.Pos;
  int hit = HTCLIENT;
  if (target) {
    const TWinControl& holder = target->TopLevel().Control;
    p = {CheckedSub(screen.X, holder.Left()), CheckedSub(screen.Y, holder.Top())};
  } else {
    target = WindowAt(*top, p);
    if (!target) return false;
    hit = HitTest(target, p);
    if (!target || !FindWindow(topHandle) || hit == HTNOWHERE || hit == HTTRANSPARENT || hit == HTERROR) return false;
  }
  const bool client = hit == HTCLIENT;
  const bool dbl = IsDoubleClick(target->Handle, !client || (target->ClassStyle & CS_DBLCLKS), in.Button, screen);
  message = {};
  if (client) {
    const unsigned base = in.Button == mbLeft ? WM_LBUTTONDOWN : in.Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    const TPoint o = target->ClientSurfaceOrigin();
    static_cast<TMessage&>(message) = MouseMessage(dbl ? base + 2 : base, ShiftStateToKeys(in.Shift), {p.X - o.X, p.Y - o.Y});
  } else {
    const unsigned base = in.Button == mbLeft ? WM_NCLBUTTONDOWN : in.Button == mbRight ? WM_NCRBUTTONDOWN : WM_NCMBUTTONDOWN;
    static_cast<TMessage&>(message) = {dbl ? base + 2 : base, static_cast<WPARAM>(hit), PointToLParam(screen), 0};
  }
  message.hwnd = target->Handle;
  if (screenOut) *screenOut = screen;
  return true;
}

bool TWindowManager::IsDoubleClick(HWND handle, bool classAllows, TMouseButton button, TPoint screen) const {
  const std::uint64_t now = HasWindowBackend() ? WindowBackend().TickCount() : 0;
  return classAllows && fLastClickWindow == handle && fLastClickButton == button && !fLastWasDouble &&
         now - fLastClickTime <= kDoubleClickTime && std::abs(screen.X - fLastClickPos.X) <= kDoubleClickBox &&
         std::abs(screen.Y - fLastClickPos.Y) <= kDoubleClickBox;
}

void TWindowManager::RecordClick(HWND handle, TMouseButton button, TPoint screen, bool doubleClick) {
  fLastClickWindow = handle;
  fLastClickButton = button;
  fLastClickPos = screen;
  fLastClickTime = HasWindowBackend() ? WindowBackend().TickCount() : 0;
  fLastWasDouble = doubleClick;
}

bool TWindowManager::ProcessOne(bool& quit) {
  if (HasWindowBackend()) WindowBackend().ProcessEvents(false);
  bool done = false;
  if (const auto next = NextEntry(); next != fQueue.end()) {
    const TQueued entry = std::move(*next);
    fQueue.erase(next);
    if (entry.Kind == TKind::Message && entry.Message.Msg == WM_QUIT && entry.Window == HWND{}) {
      quit = true;
      return true;
    }
    try {
      Dispatch(entry);
    } catch (...) {
      Application->HandleException(nullptr);
    }
    done = true;
  } else {
    done = PaintAll() || DeliverTimers();
  }
  // Drawing outside painting shows too, even when nothing else happened.
  Present();
  return done;
}

void TWindowManager::Dispatch(const TQueued& entry) {
  switch (entry.Kind) {
    case TKind::Message:
      Send(entry.Window, entry.Message);
      break;
    case TKind::Input:
      DispatchInput(entry.Window, entry.Input);
      break;
    case TKind::Resize:
    case TKind::Move: {
      TWinControl* c = Find(entry.Window);
      if (!c) break;
      const int a = static_cast<int>(entry.Message.WParam), b = static_cast<int>(entry.Message.LParam);
      gNativeResize = true;
      try {
        if (entry.Kind == TKind::Resize)
          c->SetBounds(c->Left(), c->Top(), a, b);
        else
          c->SetBounds(a, b, c->Width(), c->Height());
      } catch (...) {
        gNativeResize = false;
        throw;
      }
      gNativeResize = false;
      break;
    }
    case TKind::Sizing:
      UserSizing(entry);
      break;
    case TKind::Activate:
      if (TWindow* w = FindWindow(entry.Window)) Activate(*w);
      break;
    case TKind::AppActivate: {
      // Only the latest report counts: a switch between two windows may pass through "no
      // window active".
      const bool later = std::any_of(fQueue.begin(), fQueue.end(), [](const TQueued& q) { return q.Kind == TKind::AppActivate; });
      const bool active = entry.Message.WParam != 0;
      if (later || active == fAppActive) break;
      fAppActive = active;
      Application->ActiveChanged(active);
      break;
    }
  }
}

// --- Painting and presentation -----------------------------------------------------------------------

void TWindowManager::PaintRequested() {
  if (fPaintPending) return;
  fPaintPending = true;
  Wake();
}

bool TWindowManager::PaintAll() {
  if (!fPaintPending) return false;
  fPaintPending = false;
  std::vector<HWND> tops;
  for (const auto& [h, c] : fHandles)
    if (!c->Parent()) tops.push_back(static_cast<HWND>(h));
  std::sort(tops.begin(), tops.end());
  for (HWND h : tops)
    if (TWinControl* c = Find(h)) PaintTree(*c);
  return true;
}

void TWindowManager::PaintTree(TWinControl& control) {
  if (!control.fWindow || !control.Showing()) return;
  const HWND handle = control.fWindow->Handle;
  PaintWindow(*control.fWindow);
  TWinControl* again = Find(handle);
  if (!again) return;
  std::vector<HWND> children;
  for (TControl* c : again->fControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->fWindow) children.push_back(w->fWindow->Handle);
  for (HWND h : children)
    if (TWinControl* c = Find(h)) PaintTree(*c);
}

void TWindowManager::PaintWindow(TWindow& window) {
  const HWND h = window.Handle;
  if (!window.Visible()) return;
  if (window.FrameInvalid) {
    window.FrameInvalid = false;
    window.FrameUpdate = TRegion();
    Send(h, {WM_NCPAINT, 1, 0, 0});
  } else if (!window.FrameUpdate.IsEmpty()) {
    // Only what a moved thumb changed: the rest of the frame keeps its pixels.
    const TRegion part = std::exchange(window.FrameUpdate, TRegion());
    Send(h, {WM_NCPAINT, reinterpret_cast<WPARAM>(&part), 0, 0});
  }
  TWindow* w = FindWindow(h);
  if (!w || w->Update.IsEmpty()) return;
  const unsigned serial = w->UpdateSerial;
  Send(h, {WM_PAINT, 0, 0, 0});
  // A handler that did not take the update region validated it all the same.
  w = FindWindow(h);
  if (w && w->UpdateSerial == serial) {
    w->Update = TRegion();
    w->Erase = false;
  }
}

void TWindowManager::Present() {
  if (!HasWindowBackend()) return;
  for (const auto& [h, c] : fHandles) {
    TWindow* w = c->fWindow.get();
    if (c->Parent() || !w || w->Dirty.IsEmpty() || !w->Native) continue;
    try {
      WindowBackend().Present(w->Native, *w->Surface, w->Dirty);
    } catch (...) {
      Application->HandleException(nullptr);
    }
    w->Dirty = TRegion();
    ++w->PresentSerial;
  }
}

// --- Focus, capture and keys -----------------------------------------------------------------------------

HWND TWindowManager::SetFocus(HWND window) {
  const HWND old = fFocus;
  if (window == old) return old;
  if (window != HWND{} && !Find(window)) return HWND{};
  const std::vector<HWND> oldChain = ActivationChain(FindWindow(old));
  fFocus = window;
  if (TWinControl* c = Find(old); c && !c->ComponentState().Contains(csDestroying))
    Send(old, {WM_KILLFOCUS, static_cast<WPARAM>(window), 0, 0});
  if (fFocus != window) return old;
  if (TWindow* w = FindWindow(window)) {
    const std::vector<HWND> newChain = ActivationChain(w);
    auto in = [](const std::vector<HWND>& chain, HWND h) { return std::find(chain.begin(), chain.end(), h) != chain.end(); };
    // The windows that stop being active are deactivated, then the new ones activated, the
    // activation root first. A pop-up's owner stays active while the focus is in the pop-up.
    for (HWND h : oldChain)
      if (TWinControl* c = Find(h); c && !in(newChain, h) && !c->ComponentState().Contains(csDestroying)) {
        Send(h, {CM_DEACTIVATE, 0, 0, 0});
        if (fFocus != window) return old;
      }
    for (auto it = newChain.rbegin(); it != newChain.rend(); ++it)
      if (!in(oldChain, *it)) {
        Send(*it, {CM_ACTIVATE, 0, 0, 0});
        if (fFocus != window) return old;
      }
    const HWND oldRoot = oldChain.empty() ? HWND{} : oldChain.back();
    if (TWindow* root = FindWindow(newChain.back()); root && root->Handle != oldRoot) {
      Raise(*root);
      // An activation the backend reported needs no request back (a stale report would
      // otherwise bounce between two windows); a pop-up is never activated natively.
      if (root->Native && !root->NoActivate && HasWindowBackend() && !fActivating)
        WindowBackend().ActivateWindow(root->Native);
    }
    if (!FindWindow(window)) return old;
    Send(window, {WM_SETFOCUS, static_cast<WPARAM>(old), 0, 0});
  }
  if (Screen->OnActiveControlChange) Screen->OnActiveControlChange(Screen);
  return old;
}

std::vector<HWND> TWindowManager::ActivationChain(TWindow* window) {
  std::vector<HWND> chain;
  if (!window) return chain;
  TWindow* top = &window->TopLevel();
  chain.push_back(top->Handle);
  while (top->NoActivate && top->Owner != HWND{}) {
    TWindow* owner = FindWindow(top->Owner);
    if (!owner) break;
    owner = &owner->TopLevel();
    if (std::find(chain.begin(), chain.end(), owner->Handle) != chain.end()) break;
    chain.push_back(owner->Handle);
    top = owner;
  }
  return chain;
}

void TWindowManager::ReturnFocusFrom(TWindow& top) {
  TWindow* owner = FindWindow(top.Owner);
  if (owner) owner = &owner->TopLevel();
  if (!owner || owner == &top || !owner->Visible() || !owner->Control.Enabled() || TopLevelDisabled(owner->Handle) ||
      owner->Control.ComponentState().Contains(csDestroying)) {
    DropFocus();
    return;
  }
  TWinControl& root = owner->Control;
  TWinControl* target = root.FocusedControl();
  if (auto* form = dynamic_cast<TCustomForm*>(&root)) target = form->ActivationFocus();
  if (!target || !target->HandleAllocated() || !target->CanFocus() || !target->Showing()) target = &root;
  SetFocus(target->Handle());
}

void TWindowManager::Raise(TWindow& top) {
  top.ZSerial = ++fZCounter;
  GeometryChanged();
  for (const auto& [h, c] : fHandles)
    if (TWindow* w = c->fWindow.get(); w && w != &top && w->IsTopLevel() && w->Owner == top.Handle && w->Visible())
      w->ZSerial = ++fZCounter;
}

HWND TWindowManager::SetCapture(HWND window) {
  const HWND old = fCapture;
  if (old == window) return old;
  TWindow* w = FindWindow(window);
  if (window != HWND{} && !w) return old;
  fCapture = window;
  if (HasWindowBackend()) WindowBackend().SetCapture(w ? w->TopLevel().Native : 0);
  if (Find(old)) Send(old, {WM_CAPTURECHANGED, 0, static_cast<LPARAM>(window), 0});
  return old;
}

short TWindowManager::KeyState(int vk) const {
  if (vk < 0 || vk > 255) return 0;
  const unsigned char k = fKeys[vk];
  return static_cast<short>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

TCursor TWindowManager::SetCursorShape(TCursor cursor) {
  const TCursor old = fCursorShape;
  TWindow* top = FindWindow(fMouseTop);
  fCursorShape = cursor;
  if (cursor != old && top && HasWindowBackend()) WindowBackend().SetCursor(top->Native, cursor);
  return old;
}

void TWindowManager::SetCursorPos(TPoint p) {
  fCursorPos = p;
  fCursorKnown = true;
  WindowBackend().SetCursorPos(p);
}

HWND TWindowManager::WindowFromPoint(TPoint screenPos) {
  std::vector<TWindow*> tops;
  for (const auto& [key, control] : fHandles) {
    TWindow* w = control ? control->fWindow.get() : nullptr;
    if (w && w->IsTopLevel() && w->Native && w->Visible() && !w->InputTransparent &&
        PtInRect(control->BoundsRect(), screenPos))
      tops.push_back(w);
  }
  // Pop-ups above stay-on-top windows above the others; in a band the last shown or
  // activated is above, then the newer window.
  std::sort(tops.begin(), tops.end(), [](const TWindow* a, const TWindow* b) {
    if (a->Band != b->Band) return a->Band > b->Band;
    if (a->ZSerial != b->ZSerial) return a->ZSerial > b->ZSerial;
    return a->Handle > b->Handle;
  });
  std::vector<HWND> handles;
  for (TWindow* w : tops) handles.push_back(w->Handle);
  for (HWND h : handles) {
    TWindow* top = FindWindow(h);
    if (!top) continue;
    const TPoint p{screenPos.X - top->Control.Left(), screenPos.Y - top->Control.Top()};
    TWindow* w = WindowAt(*top, p);
    if (!w) continue;
    const int hit = HitTest(w, p);
    if (w && hit != HTTRANSPARENT && hit != HTNOWHERE) return w->Handle;
  }
  return HWND{};
}

TPoint TWindowManager::CursorPos() const {
  if (fCursorKnown || !HasWindowBackend()) return fCursorPos;
  return WindowBackend().CursorPos();
}

void TWindowManager::SyncKeyState(const TNativeInput& in) {
  auto set = [this](int vk, bool down) {
    if (down)
      fKeys[vk] |= 0x80;
    else
      fKeys[vk] &= static_cast<unsigned char>(~0x80);
  };
  set(VK_SHIFT, in.Shift.Contains(ssShift));
  set(VK_CONTROL, in.Shift.Contains(ssCtrl));
  set(VK_MENU, in.Shift.Contains(ssAlt));
  set(VK_LBUTTON, in.Shift.Contains(ssLeft));
  set(VK_RBUTTON, in.Shift.Contains(ssRight));
  set(VK_MBUTTON, in.Shift.Contains(ssMiddle));
  if (in.Key == 0 || in.Key > 255) return;
  if (in.Kind == TNativeInputKind::KeyDown) {
    if (!(fKeys[in.Key] & 0x80)) fKeys[in.Key] ^= 1;
    set(in.Key, true);
  } else if (in.Kind == TNativeInputKind::KeyUp) {
    set(in.Key, false);
  }
}

// --- Modal state -------------------------------------------------------------------------------------------

std::vector<HWND> TWindowManager::DisableTopLevels(HWND except) {
  std::vector<HWND> list;
  for (const auto& [h, c] : fHandles)
    if (!c->Parent() && static_cast<HWND>(h) != except && c->Showing() && !TopLevelDisabled(static_cast<HWND>(h)))
      list.push_back(static_cast<HWND>(h));
  std::sort(list.begin(), list.end());
  for (HWND h : list) ++fDisabled[h];
  return list;
}

void TWindowManager::EnableTopLevels(const std::vector<HWND>& windows) {
  for (HWND h : windows) {
    const auto it = fDisabled.find(h);
    if (it != fDisabled.end() && --it->second <= 0) fDisabled.erase(it);
  }
}

// --- Timers ------------------------------------------------------------------------------------------------

std::uintptr_t TWindowManager::SetTimer(HWND window, std::uintptr_t id, unsigned milliseconds) {
  if (!Find(window)) return 0;
  TTimer& t = fTimers[{static_cast<std::uintptr_t>(window), id}];
  if (t.BackendKey == 0) t.BackendKey = fNextTimerKey++;
  t.Ticked = false;
  WindowBackend().StartTimer(t.BackendKey, std::max(milliseconds, 10u));
  return id == 0 ? 1 : id;
}

bool TWindowManager::KillTimer(HWND window, std::uintptr_t id) {
  const auto it = fTimers.find({static_cast<std::uintptr_t>(window), id});
  if (it == fTimers.end()) return false;
  if (HasWindowBackend()) WindowBackend().StopTimer(it->second.BackendKey);
  fTimers.erase(it);
  return true;
}

bool TWindowManager::DeliverTimers() {
  const bool repeated = fBarRepeatTicked;
  if (repeated) {
    fBarRepeatTicked = false;
    BarRepeat();
  }
  std::vector<std::pair<std::uintptr_t, std::uintptr_t>> ticked;
  for (auto& [key, t] : fTimers)
    if (t.Ticked) {
      t.Ticked = false;
      ticked.push_back(key);
    }
  for (const auto& [window, id] : ticked)
    if (fTimers.count({window, id})) Send(static_cast<HWND>(window), {WM_TIMER, id, 0, 0});
  return repeated || !ticked.empty();
}

// --- The backend's reports ---------------------------------------------------------------------------------

void TWindowManager::Input(TNativeWindow native, const TNativeInput& input) {
  if (TWindow* w = FindNative(native)) Enqueue({TKind::Input, w->Handle, {}, input, {}});
}

void TWindowManager::Resized(TNativeWindow native, int width, int height) {
  TWindow* w = FindNative(native);
  if (w && (width != w->Width() || height != w->Height()))
    Enqueue({TKind::Resize, w->Handle, {0, static_cast<WPARAM>(std::max(width, 0)), std::max(height, 0), 0}, {}, {}});
}

void TWindowManager::Moved(TNativeWindow native, int x, int y) {
  TWindow* w = FindNative(native);
  // A frame sized by its left or top edge moves too: that move belongs to the sizing.
  if (w && std::any_of(fQueue.begin(), fQueue.end(), [&](const TQueued& q) {
        return q.Kind == TKind::Sizing && q.Window == w->Handle && q.Bounds.Left == x && q.Bounds.Top == y;
      }))
    return;
  if (w && (x != w->Control.Left() || y != w->Control.Top()))
    Enqueue({TKind::Move, w->Handle, {0, static_cast<WPARAM>(static_cast<std::intptr_t>(x)), y, 0}, {}, {}});
}

void TWindowManager::UserSized(TNativeWindow native, const TRect& bounds) {
  if (TWindow* w = FindNative(native)) Enqueue({TKind::Sizing, w->Handle, {}, {}, bounds});
}

void TWindowManager::CloseRequested(TNativeWindow native) {
  if (TWindow* w = FindNative(native)) Post(w->Handle, {WM_CLOSE, 0, 0, 0});
}

void TWindowManager::ActiveChanged(TNativeWindow native, bool active) {
  if (TWindow* w = FindNative(native); w && active) Enqueue({TKind::Activate, w->Handle, {}, {}, {}});
}

void TWindowManager::ApplicationActiveChanged(bool active) {
  Enqueue({TKind::AppActivate, HWND{}, {WM_ACTIVATEAPP, active ? 1u : 0u, 0, 0}, {}, {}});
}

void TWindowManager::TimerFired(std::uintptr_t timer) {
  if (timer != 0 && timer == fBarRepeatKey) {
    fBarRepeatTicked = true;
    Wake();
    return;
  }
  for (auto& [key, t] : fTimers)
    if (t.BackendKey == timer) {
      t.Ticked = true;
      Wake();
      return;
    }
}

void TWindowManager::HandleException() { Application->HandleException(nullptr); }

// An activated top-level window gives the focus back to its focused control, unless the focus
// is inside it already.
void TWindowManager::Activate(TWindow& top) {
  if (TopLevelDisabled(top.Handle)) return;
  // The focus in one of its pop-ups is the focus in it.
  const std::vector<HWND> chain = ActivationChain(FindWindow(fFocus));
  if (std::find(chain.begin(), chain.end(), top.Handle) != chain.end()) return;
  // An owned pop-up never takes the activation, even when the windowing system offers it.
  if (top.NoActivate && FindWindow(top.Owner)) return;
  Raise(top);
  TWinControl& root = top.Control;
  TWinControl* target = root.FocusedControl();
  if (auto* form = dynamic_cast<TCustomForm*>(&root)) target = form->ActivationFocus();
  if (!target || !target->HandleAllocated() || !target->CanFocus()) target = &root;
  if (!target->Showing()) return;
  fActivating = true;
  try {
    SetFocus(target->Handle());
  } catch (...) {
    fActivating = false;
    throw;
  }
  fActivating = false;
}

// --- Input translation ---------------------------------------------------------------------------------------

void TWindowManager::DispatchInput(HWND topLevel, const TNativeInput& input) {
  TWindow* top = FindWindow(topLevel);
  if (!top) return;
  SyncKeyState(input);
  // A window disabled by a modal loop hears nothing of the mouse and the keyboard.
  if (TopLevelDisabled(topLevel) && input.Kind != TNativeInputKind::MouseLeave) return;
  switch (input.Kind) {
    case TNativeInputKind::MouseDown:
    case TNativeInputKind::MouseUp:
    case TNativeInputKind::MouseMove:
      DispatchMouse(*top, input);
      break;
    case TNativeInputKind::Wheel:
      DispatchWheel(*top, input);
      break;
    case TNativeInputKind::MouseLeave:
      if (fMouseTop == topLevel && !fCapture) SetMouseControl(nullptr);
      break;
    case TNativeInputKind::KeyDown:
    case TNativeInputKind::KeyUp:
    case TNativeInputKind::Char:
      DispatchKey(*top, input);
      break;
  }
}

TWindow* TWindowManager::WindowAt(TWindow& top, TPoint p) const {
  if (!top.Control.Enabled() || !PtInRect(top.SurfaceRect(), p) || !top.InShape(p)) return nullptr;
  TWindow* w = &top;
  for (;;) {
    if (!PtInRect(w->ClientSurfaceRect(), p)) return w;
    TWindow* next = nullptr;
    const auto& children = w->Control.fControls;
    for (auto it = children.rbegin(); it != children.rend() && !next; ++it)
      if (auto* c = dynamic_cast<TWinControl*>(*it);
          c && c->fWindow && c->Showing() && c->Enabled() && PtInRect(c->fWindow->SurfaceRect(), p) &&
          c->fWindow->InShape(p))
        next = c->fWindow.get();
    if (!next) return w;
    w = next;
  }
}

void TWindowManager::SetMouseControl(TControl* control) {
  if (control == fMouseControl) return;
  TControl* old = fMouseControl;
  fMouseControl = control;
  try {
    if (old) old->Perform(CM_MOUSELEAVE);
    if (control && control == fMouseControl) control->Perform(CM_MOUSEENTER);
  } catch (...) {
    Application->HandleException(control);
  }
}

void TWindowManager::TrackMouseControl(TWindow* window, TPoint p) {
  TControl* control = nullptr;
  if (window) {
    control = &window->Control;
    const TPoint o = window->ClientSurfaceOrigin();
    if (TControl* g = window->Control.ControlAtPos({p.X - o.X, p.Y - o.Y}, false)) control = g;
  }
  SetMouseControl(control);
}

void TWindowManager::UpdateCursor(TWindow& window, int hit, unsigned mouseMsg) {
  Send(window.Handle, {WM_SETCURSOR, static_cast<WPARAM>(window.Handle),
                       MakeLParam(static_cast<Word>(hit), static_cast<Word>(mouseMsg)), 0});
}

int TWindowManager::HitTest(TWindow*& window, TPoint p) {
  for (;;) {
    const HWND h = window->Handle;
    const TPoint screen{CheckedAdd(window->TopLevel().Control.Left(), p.X),
                        CheckedAdd(window->TopLevel().Control.Top(), p.Y)};
    const int hit = static_cast<int>(Send(h, {WM_NCHITTEST, 0, PointToLParam(screen), 0}));
    window = FindWindow(h);
    if (!window) return HTNOWHERE;
    TWindow* parent = window->ParentWindow();
    if (hit != HTTRANSPARENT || !parent) return hit;
    window = parent;
  }
}

void TWindowManager::DispatchMouse(TWindow& top, const TNativeInput& in) {
  const TPoint& inPos = in.Pos;
  fCursorPos = {CheckedAdd(top.Control.Left(), inPos.X), CheckedAdd(top.Control.Top(), inPos.Y)};
  fCursorKnown = true;
  fMouseTop = top.Handle;

  if (fSizeMove.Window != HWND{}) {
    SizeMoveMouse(in);
    return;
  }
  if (fBarTrack.Window != HWND{}) {
    if (TWindow* w = FindWindow(fBarTrack.Window)) {
      const TPoint o = w->SurfaceOrigin();
      BarMouse(*w, in, {inPos.X - o.X, inPos.Y - o.Y});
      return;
    }
    fBarTrack = {};
  }

  TWindow* target = FindWindow(fCapture);
  bool client = true;
  TPoint p = in.Pos;
  if (target && &target->TopLevel() != &top) {
    // Captured by another top-level window: the position is taken over into its surface.
    const TWinControl& holder = target->TopLevel().Control;
    p = {CheckedSub(fCursorPos.X, holder.Left()), CheckedSub(fCursorPos.Y, holder.Top())};
  }
  int hit = HTCLIENT;
  if (!target) {
    target = WindowAt(top, p);
    if (target) hit = HitTest(target, p);
    if (!target || hit == HTNOWHERE || hit == HTTRANSPARENT || hit == HTERROR) {
      SetMouseControl(nullptr);
      return;
    }
    // A window may claim part of its frame (an edit button drawn there): that part takes
    // client mouse messages.
    client = hit == HTCLIENT;
  }
  const HWND handle = target->Handle;
  if (!client) {
    SetMouseControl(&target->Control);
    if (in.Kind != TNativeInputKind::MouseUp && fCapture == HWND{}) {
      UpdateCursor(*target, hit, in.Kind == TNativeInputKind::MouseMove ? WM_MOUSEMOVE : WM_LBUTTONDOWN);
      target = FindWindow(handle);
      if (!target) return;
    }
    const TPoint o = target->SurfaceOrigin();
    if (BarMouse(*target, in, {p.X - o.X, p.Y - o.Y}) || in.Kind == TNativeInputKind::MouseUp) return;
    // The rest of a frame hears its presses and moves as non-client messages.
    if (in.Kind == TNativeInputKind::MouseMove) {
      Send(handle, {WM_NCMOUSEMOVE, static_cast<WPARAM>(hit), PointToLParam(fCursorPos), 0});
      return;
    }
    const bool dbl = IsDoubleClick(handle, true, in.Button, fCursorPos);
    RecordClick(handle, in.Button, fCursorPos, dbl);
    const unsigned base = in.Button == mbLeft ? WM_NCLBUTTONDOWN : in.Button == mbRight ? WM_NCRBUTTONDOWN : WM_NCMBUTTONDOWN;
    Send(handle, {dbl ? base + 2 : base, static_cast<WPARAM>(hit), PointToLParam(fCursorPos), 0});
    return;
  }
  TrackMouseControl(target, p);
  target = FindWindow(handle);
  if (!target) return;
  const TPoint o = target->ClientSurfaceOrigin();
  const TPoint cp{p.X - o.X, p.Y - o.Y};
  const unsigned keys = ShiftStateToKeys(in.Shift);
  const unsigned base = in.Button == mbLeft ? WM_LBUTTONDOWN : in.Button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  switch (in.Kind) {
    case TNativeInputKind::MouseMove:
      if (fCapture == HWND{}) UpdateCursor(*target, HTCLIENT, WM_MOUSEMOVE);
      Send(handle, MouseMessage(WM_MOUSEMOVE, keys, cp));
      break;
    case TNativeInputKind::MouseDown: {
      const bool dbl = IsDoubleClick(handle, (target->ClassStyle & CS_DBLCLKS) != 0, in.Button, fCursorPos);
      RecordClick(handle, in.Button, fCursorPos, dbl);
      if (fCapture == HWND{}) UpdateCursor(*target, HTCLIENT, base);
      Send(handle, MouseMessage(dbl ? base + 2 : base, keys, cp));
      break;
    }
    case TNativeInputKind::MouseUp:
      Send(handle, MouseMessage(base + 1, keys, cp));
      break;
    default:
      break;
  }
}

namespace {
int BarCode(TBarPart part) {
  return part == TBarPart::LineUp ? SB_LINEUP
         : part == TBarPart::LineDown ? SB_LINEDOWN
         : part == TBarPart::PageUp ? SB_PAGEUP
                                    : SB_PAGEDOWN;
}
}  // namespace

bool TWindowManager::BarMouse(TWindow& window, const TNativeInput& in, TPoint windowPos) {
  const HWND h = window.Handle;
  if (fBarTrack.Window == HWND{}) {
    if (in.Kind != TNativeInputKind::MouseDown || in.Button != mbLeft) return false;
    for (int bar : {SB_VERT, SB_HORZ}) {
      const TBarPart part = window.BarPartAt(bar, windowPos);
      if (part == TBarPart::None) continue;
      const unsigned msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
      fBarTrack = {h, bar, part, 0};
      fBarMousePos = windowPos;
      if (HasWindowBackend()) WindowBackend().SetCapture(window.TopLevel().Native);
      if (part == TBarPart::Thumb) {
        const TRect thumb = window.ThumbRect(bar);
        fBarTrack.GrabOffset = bar == SB_VERT ? windowPos.Y - thumb.Top : windowPos.X - thumb.Left;
        window.Bars[bar].Tracking = true;
        window.Bars[bar].TrackPos = window.Bars[bar].Pos;
        return true;
      }
      Send(h, ScrollMessage(msg, BarCode(part), 0));
      if (fBarTrack.Window == h) StartBarRepeat(kBarFirstDelay);
      return true;
    }
    return false;
  }
  const int bar = fBarTrack.Bar;
  const unsigned msg = bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  TScrollBarState& state = window.Bars[bar];
  if (in.Kind == TNativeInputKind::MouseMove) {
    fBarMousePos = windowPos;
    if (fBarTrack.Part != TBarPart::Thumb) return true;
    const int pos = window.PosFromThumb(bar, (bar == SB_VERT ? windowPos.Y : windowPos.X) - fBarTrack.GrabOffset);
    if (pos != state.TrackPos) {
      state.TrackPos = pos;
      window.InvalidateFrame();
      Send(h, ScrollMessage(msg, SB_THUMBTRACK, pos));
    }
  } else if (in.Kind == TNativeInputKind::MouseUp) {
    const bool thumb = fBarTrack.Part == TBarPart::Thumb;
    fBarTrack = {};
    StopBarRepeat();
    if (HasWindowBackend()) WindowBackend().SetCapture(0);
    if (thumb) {
      // SIF_TRACKPOS still reads the dragged position while SB_THUMBPOSITION is handled.
      Send(h, ScrollMessage(msg, SB_THUMBPOSITION, state.TrackPos));
      if (TWindow* w = FindWindow(h)) w->Bars[bar].Tracking = false;
    }
    if (FindWindow(h)) Send(h, ScrollMessage(msg, SB_ENDSCROLL, 0));
    if (TWindow* w = FindWindow(h)) w->InvalidateFrame();
  }
  return true;
}

void TWindowManager::StartBarRepeat(unsigned milliseconds) {
  if (!HasWindowBackend()) return;
  if (fBarRepeatKey == 0) fBarRepeatKey = fNextTimerKey++;
  fBarRepeatTicked = false;
  fBarRepeatFirst = milliseconds == kBarFirstDelay;
  WindowBackend().StartTimer(fBarRepeatKey, milliseconds);
}

void TWindowManager::StopBarRepeat() {
  fBarRepeatTicked = false;
  if (fBarRepeatKey != 0 && HasWindowBackend()) WindowBackend().StopTimer(fBarRepeatKey);
}

// The held part repeats while the mouse stays on it; a page repeat stops where the thumb
// reaches the mouse, since the part under the mouse is then the thumb.
void TWindowManager::BarRepeat() {
  TWindow* w = FindWindow(fBarTrack.Window);
  if (!w || fBarTrack.Part == TBarPart::Thumb || fBarTrack.Part == TBarPart::None) {
    StopBarRepeat();
    return;
  }
  if (fBarRepeatFirst) StartBarRepeat(kBarRepeatDelay);
  if (w->BarPartAt(fBarTrack.Bar, fBarMousePos) != fBarTrack.Part) return;
  Send(w->Handle, ScrollMessage(fBarTrack.Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, BarCode(fBarTrack.Part), 0));
}

void TWindowManager::DispatchWheel(TWindow& top, const TNativeInput& in) {
  fCursorPos = {CheckedAdd(top.Control.Left(), in.Pos.X), CheckedAdd(top.Control.Top(), in.Pos.Y)};
  fCursorKnown = true;
  // The host sends the wheel to the focused window; with the focus elsewhere, to the one below.
  HWND target{};
  if (TWindow* f = FindWindow(fFocus); f && &f->TopLevel() == &top)
    target = fFocus;
  else if (TWindow* w = WindowAt(top, in.Pos))
    target = w->Handle;
  if (target == HWND{}) return;
  TMessage m = WheelMessage(ShiftStateToKeys(in.Shift), in.WheelDelta, fCursorPos);
  if (in.Horizontal) m.Msg = WM_MOUSEHWHEEL;
  Send(target, m);
}

bool TWindowManager::IsDialogKey(TWinControl& control, Word key, LPARAM keyData) {
  unsigned mask = 0;
  switch (key) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: return false;
  }
  if (control.Perform(CM_WANTSPECIALKEY, key, keyData) != 0) return false;
  if (static_cast<unsigned>(control.Perform(WM_GETDLGCODE)) & mask) return false;
  TWinControl* root = GetTopLevelParent(&control);
  return root && root->Perform(CM_DIALOGKEY, key, keyData) != 0;
}

void TWindowManager::DispatchKey(TWindow& top, const TNativeInput& in) {
  if (fSizeMove.Window != HWND{}) {
    // Esc puts the window back where the drag began; no other key reaches anyone meanwhile.
    if (in.Kind == TNativeInputKind::KeyDown && in.Key == VK_ESCAPE)
      if (TWinControl* c = Find(fSizeMove.Window)) {
        const TRect r = fSizeMove.Bounds;
        EndSizeMove();
        c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
      }
    return;
  }
  if (in.Kind == TNativeInputKind::KeyDown && DragKeyDown(in.Key)) {
    fSuppressChar = true;  // Esc ended a drag and is no key for anyone else
    return;
  }
  const HWND target = KeyTarget(top);
  TWinControl* control = Find(target);
  if (!control) return;
  const bool alt = in.Shift.Contains(ssAlt), ctrl = in.Shift.Contains(ssCtrl);
  const bool sys = (alt && !ctrl) || in.Key == VK_F10;
  switch (in.Kind) {
    case TNativeInputKind::KeyDown: {
      const LPARAM data = MakeKeyData(alt, in.Repeat, false);
      fSuppressChar = false;
      if (!sys && IsDialogKey(*control, in.Key, data)) {
        fSuppressChar = true;
        return;
      }
      Send(target, KeyMessage(sys ? WM_SYSKEYDOWN : WM_KEYDOWN, in.Key, data));
      break;
    }
    case TNativeInputKind::KeyUp:
      Send(target, KeyMessage(sys ? WM_SYSKEYUP : WM_KEYUP, in.Key, MakeKeyData(alt, true, true)));
      break;
    case TNativeInputKind::Char:
      if (fSuppressChar) {
        fSuppressChar = false;
        return;
      }
      Send(target, KeyMessage(alt && !ctrl ? WM_SYSCHAR : WM_CHAR, in.Char, MakeKeyData(alt, false, false)));
      break;
    default:
      break;
  }
}

}  // namespace zv::detail

namespace zv::detail {

// --- Sizing and moving by the user ----------------------------------------------------------------------

void TWindowManager::NonClientPress(TWindow& window, int hit) {
  if (!window.IsTopLevel() || (hit != HTCAPTION && (hit < HTLEFT || hit > HTBOTTOMRIGHT))) return;
  BeginSizeMove(window, hit);
}

void TWindowManager::BeginSizeMove(TWindow& top, int hit) {
  if (fSizeMove.Window != HWND{}) return;
  fSizeMove = {top.Handle, hit, fCursorPos, top.Control.BoundsRect()};
  if (HasWindowBackend()) WindowBackend().SetCapture(top.Native);
  Send(top.Handle, {WM_ENTERSIZEMOVE, 0, 0, 0});
}

void TWindowManager::SizeMoveMouse(const TNativeInput& in) {
  TWindow* w = FindWindow(fSizeMove.Window);
  if (!w) {
    EndSizeMove();
    return;
  }
  if (in.Kind == TNativeInputKind::MouseUp) {
    EndSizeMove();
    return;
  }
  if (in.Kind != TNativeInputKind::MouseMove) return;
  const int dx = fCursorPos.X - fSizeMove.Start.X, dy = fCursorPos.Y - fSizeMove.Start.Y;
  TRect r = fSizeMove.Bounds;
  const int hit = fSizeMove.Hit;
  if (hit == HTCAPTION) {
    OffsetRect(r, dx, dy);
  } else {
    // The dragged edges follow the mouse; the others stay. An edge never passes the opposite one.
    if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) r.Left = std::min(r.Left + dx, r.Right);
    if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) r.Right = std::max(r.Right + dx, r.Left);
    if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) r.Top = std::min(r.Top + dy, r.Bottom);
    if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) r.Bottom = std::max(r.Bottom + dy, r.Top);
  }
  const HWND h = w->Handle;
  // The window may correct the proposal (keep a ratio, snap to rows).
  if (hit == HTCAPTION)
    Send(h, {WM_MOVING, 0, reinterpret_cast<LPARAM>(&r), 0});
  else
    Send(h, {WM_SIZING, static_cast<WPARAM>(hit - HTLEFT + WMSZ_LEFT), reinterpret_cast<LPARAM>(&r), 0});
  TWinControl* c = Find(h);
  if (!c || fSizeMove.Window != h) return;
  if (r != c->BoundsRect()) c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
}

// A frame the windowing system sized: the edges that moved name the one the user dragged, and the
// window hears WM_SIZING as when the window layer runs the drag itself. Anything else (both edges
// of a side moved: maximized, tiled, moved) is applied as it is.
void TWindowManager::UserSizing(const TQueued& entry) {
  TWinControl* c = Find(entry.Window);
  if (!c) return;
  const TRect was = c->BoundsRect();
  TRect r = entry.Bounds;
  const bool left = r.Left != was.Left, right = r.Right != was.Right;
  const bool top = r.Top != was.Top, bottom = r.Bottom != was.Bottom;
  if ((left || right || top || bottom) && !(left && right) && !(top && bottom)) {
    const unsigned side = left ? 1 : right ? 2 : 0;  // WMSZ_TOP + 1 is WMSZ_TOPLEFT, and so on
    const unsigned edge = top ? WMSZ_TOP + side : bottom ? WMSZ_BOTTOM + side : side;
    Send(entry.Window, {WM_SIZING, edge, reinterpret_cast<LPARAM>(&r), 0});
    c = Find(entry.Window);
    if (!c) return;
  }
  // The windowing system shows the rectangle it reported already; only an answer goes back.
  gNativeResize = r == entry.Bounds;
  try {
    c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
  } catch (...) {
    gNativeResize = false;
    throw;
  }
  gNativeResize = false;
}

void TWindowManager::EndSizeMove() {
  const HWND h = fSizeMove.Window;
  if (h == HWND{}) return;
  fSizeMove = {};
  if (HasWindowBackend()) {
    TWindow* capture = FindWindow(fCapture);
    WindowBackend().SetCapture(capture ? capture->TopLevel().Native : 0);
  }
  if (Find(h)) Send(h, {WM_EXITSIZEMOVE, 0, 0, 0});
}

}  // namespace zv::detail
