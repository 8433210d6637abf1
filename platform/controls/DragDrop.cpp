#include "platform/controls/DragDrop.h"

#include "platform/controls/Application.h"
#include "platform/controls/DragImageList.h"
#include "platform/controls/Control.h"
#include "platform/controls/WinControl.h"
#include "platform/controls/detail/WindowManager.h"

#include <cstdlib>

namespace zv {

ZV_DEFINE_CLASS(TDragImageList, TCustomImageList)
ZV_DEFINE_CLASS(TDragObject, TObject)
ZV_DEFINE_CLASS(TBaseDragControlObject, TDragObject)
ZV_DEFINE_CLASS(TDragControlObject, TBaseDragControlObject)

// ---------------------------------------------------------------------------------------------
// TDragImageList

bool TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
  if (index < 0 || index >= Count()) return false;
  fDragIndex = index;
  fHotspot = {hotSpotX, hotSpotY};
  if (fDragging) DragImageChanged();
  return true;
}

bool TDragImageList::BeginDrag(int x, int y) {
  if (Count() == 0) return false;
  fDragging = true;
  fVisible = true;
  fPos = {x, y};
  DragImageChanged();
  return true;
}

bool TDragImageList::DragMove(int x, int y) {
  if (!fDragging) return false;
  if (fPos == TPoint{x, y}) return true;
  fPos = {x, y};
  DragImageChanged();
  return true;
}

bool TDragImageList::EndDrag() {
  if (!fDragging) return false;
  fDragging = false;
  fVisible = false;
  DragImageChanged();
  return true;
}

void TDragImageList::ShowDragImage() {
  if (fVisible) return;
  fVisible = true;
  if (fDragging) DragImageChanged();
}

void TDragImageList::HideDragImage() {
  if (!fVisible) return;
  fVisible = false;
  if (fDragging) DragImageChanged();
}

void TDragImageList::DragImageChanged() {
  if (OnDragImageChanged) OnDragImageChanged(this);
}

// ---------------------------------------------------------------------------------------------
// Drag objects

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }
TDragImageList* TDragObject::GetDragImages() { return nullptr; }

void TDragObject::ShowDragImage() {
  if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

void TDragObject::HideDragImage() {
  if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::Finished(TObject*, int, int, bool) {}

void TBaseDragControlObject::Finished(TObject* target, int x, int y, bool) { EndDrag(target, x, y); }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
  return accepted && Control() ? Control()->DragCursor() : crNoDrop;
}

TDragImageList* TDragControlObject::GetDragImages() { return Control() ? Control()->GetDragImages() : nullptr; }

// ---------------------------------------------------------------------------------------------
// The drag in progress. There is at most one: the mouse has one button to hold.

class TDragSession;

// Hears of the source's and the target's destruction while they are whole, so that a drag
// whose source goes ends as a cancelled one: the target removes what it drew, the images go.
class TDragWatch : public TComponent {
public:
  TDragWatch() : TComponent(nullptr) {}

protected:
  void Notification(TComponent* component, TOperation operation) override;
};

class TDragSession {
public:
  std::unique_ptr<TDragWatch> Watch = std::make_unique<TDragWatch>();
  TControl* Source = nullptr;
  TDragObject* Object = nullptr;
  std::unique_ptr<TDragObject> Owned;  // the drag object the drag made itself
  bool Active = false;                 // past the threshold: a real drag
  bool TookCapture = false;
  TPoint Start;
  int Threshold = 0;
  TControl* Target = nullptr;
  bool Accepted = false;

  static std::unique_ptr<TDragSession>& Current() {
    static std::unique_ptr<TDragSession> session;
    return session;
  }

  static void Begin(TControl* source, bool immediate, int threshold);
  // The source is being destroyed: the drag ends, cancelled, without its events.
  static void SourceGoing();
  // A session that ended keeps its watch until the next one starts: the watch may be the
  // one telling of the end.
  static std::unique_ptr<TDragWatch>& RetiredWatch() {
    static std::unique_ptr<TDragWatch> watch;
    return watch;
  }
  void Activate(TPoint pos);
  void MoveTo(TPoint pos);
  static void Done(bool drop);
  // Forgets a drag that never started; no events.
  static void Drop();

  static void ClearClickState(TControl& c) {
    c.fControlState.Exclude(csClicked);
    c.fControlState.Exclude(csLButtonDown);
  }
  static void EndDragOf(TControl& c, TObject* target, int x, int y) { c.DoEndDrag(target, x, y); }
  static void StartDragOf(TControl& c, TDragObject*& object) { c.DoStartDrag(object); }
  static TObject* SourceSeen(TDragObject* object) {
    if (auto* o = dynamic_cast<TBaseDragControlObject*>(object); o && o->fMadeByDrag) return o->Control();
    return object;
  }
  static void Orphan(TBaseDragControlObject& o) { o.fControl = nullptr; }

private:
  LRESULT Send(TControl* target, TDragMessage message, TPoint pos) {
    TDragRec rec{pos, Object, target, false};
    return target->Perform(CM_DRAG, message, reinterpret_cast<LPARAM>(&rec));
  }
  TControl* FindTarget(TPoint pos);
  void SetTarget(TPoint pos) {
    Object->fDragTarget = Target;
    Object->fDragTargetPos = Target ? Target->ScreenToClient(pos) : pos;
  }
  void UpdateImages(TPoint pos);
};

namespace {
TDragSession* Session() { return TDragSession::Current().get(); }
}  // namespace

void TDragSession::Begin(TControl* source, bool immediate, int threshold) {
  if (Session()) Done(false);
  auto s = std::make_unique<TDragSession>();
  RetiredWatch().reset();
  s->Source = source;
  s->Watch->FreeNotification(source);
  s->Start = Mouse->CursorPos();
  s->Threshold = threshold;
  Current() = std::move(s);
  if (!source->MouseCapture()) {
    Session()->TookCapture = true;
    SetCaptureControl(source);
  }
  if (immediate && Session() && Session()->Source == source) Session()->Activate(Session()->Start);
}

void TDragSession::Activate(TPoint pos) {
  Active = true;
  ClearClickState(*Source);
  TControl* source = Source;
  TDragObject* object = nullptr;
  StartDragOf(*source, object);
  if (Session() != this) return;  // OnStartDrag ended the drag
  if (!object) {
    auto own = std::make_unique<TDragControlObject>(source);
    own->fMadeByDrag = true;
    object = own.get();
    Owned = std::move(own);
  }
  Object = object;
  Object->fDragPos = pos;
  MoveTo(pos);
}

TControl* TDragSession::FindTarget(TPoint pos) {
  auto* window = TWinControl::FindControl(detail::Manager().WindowFromPoint(pos));
  if (!window) return nullptr;
  TDragRec rec{pos, Object, nullptr, false};
  return reinterpret_cast<TControl*>(window->Perform(CM_DRAG, dmFindTarget, reinterpret_cast<LPARAM>(&rec)));
}

void TDragSession::MoveTo(TPoint pos) {
  Object->fDragPos = pos;
  TControl* target = FindTarget(pos);
  if (target != Target) {
    if (TControl* old = Target) {
      Accepted = false;
      Send(old, dmDragLeave, pos);
      if (Session() != this) return;
    }
    if (Target && Target != Source) Watch->RemoveFreeNotification(Target);
    Target = target;
    if (target) Watch->FreeNotification(target);
    SetTarget(pos);
    Accepted = target && Send(target, dmDragEnter, pos) != 0;
  } else {
    SetTarget(pos);
    Accepted = target && Send(target, dmDragMove, pos) != 0;
  }
  if (Session() != this) return;
  zv::SetCursor(Object->GetDragCursor(Accepted, pos.X, pos.Y));
  UpdateImages(pos);
}

void TDragSession::UpdateImages(TPoint pos) {
  TDragImageList* images = Object->GetDragImages();
  if (!images) return;
  if (!images->Dragging())
    images->BeginDrag(pos.X, pos.Y);
  else
    images->DragMove(pos.X, pos.Y);
  // Images show over controls that ask for them.
  if (Object->AlwaysShowDragImages || (Target && Target->ControlStyle().Contains(csDisplayDragImage)))
    images->ShowDragImage();
  else
    images->HideDragImage();
}

void TDragWatch::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  TDragSession* s = TDragSession::Current().get();
  if (operation != opRemove || !s || s->Watch.get() != this) return;
  if (component == s->Source) {
    try {
      TDragSession::SourceGoing();
    } catch (...) {
      Application->HandleException(nullptr);
    }
  } else if (component == s->Target) {
    s->Target = nullptr;
    s->Accepted = false;
  }
}

void TDragSession::SourceGoing() {
  std::unique_ptr<TDragSession> gone = std::move(Current());
  if (!gone) return;
  RetiredWatch() = std::move(gone->Watch);
  TDragObject* object = gone->Object;
  if (gone->Active && object) {
    object->fCancelling = true;
    if (TDragImageList* images = object->GetDragImages()) images->EndDrag();
    if (TControl* target = gone->Target; target && target != gone->Source) {
      TDragRec rec{object->fDragPos, object, target, false};
      target->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<LPARAM>(&rec));
      target->Perform(CM_DRAG, dmDragCancel, reinterpret_cast<LPARAM>(&rec));
    }
  }
  // An application's drag object outlives the drag; it forgets the control.
  if (object && object != gone->Owned.get())
    if (auto* o = dynamic_cast<TBaseDragControlObject*>(object); o && o->Control() == gone->Source) Orphan(*o);
  if (gone->TookCapture && gone->Source->MouseCapture()) SetCaptureControl(nullptr);
}

void TDragSession::Drop() {
  std::unique_ptr<TDragSession> s = std::move(Current());
  if (s) RetiredWatch() = std::move(s->Watch);
  if (s && s->TookCapture && s->Source->MouseCapture()) SetCaptureControl(nullptr);
}

void TDragSession::Done(bool drop) {
  TDragSession* s = Session();
  if (!s) return;
  if (!s->Active || !s->Object) {
    Drop();
    return;
  }
  // The session leaves first: handlers below see no drag and may start another.
  std::unique_ptr<TDragSession> ending = std::move(Current());
  RetiredWatch() = std::move(ending->Watch);
  TDragObject* object = ending->Object;
  TControl* source = ending->Source;
  TControl* target = ending->Target;
  const TPoint pos = object->fDragPos;
  const bool accepted = drop && target && ending->Accepted;
  object->fCancelling = !drop;
  object->fDropped = accepted;
  if (TDragImageList* images = object->GetDragImages()) images->EndDrag();
  if (source->MouseCapture()) SetCaptureControl(nullptr);
  if (target && !accepted) {
    TDragRec rec{pos, object, target, false};
    target->Perform(CM_DRAG, dmDragLeave, reinterpret_cast<LPARAM>(&rec));
    if (!drop) target->Perform(CM_DRAG, dmDragCancel, reinterpret_cast<LPARAM>(&rec));
  }
  // The drag object lives through the events, even if a handler starts another drag.
  std::unique_ptr<TDragObject> owned = std::move(ending->Owned);
  TPoint at = source->ScreenToClient(pos);
  if (accepted) {
    at = target->ScreenToClient(pos);
    TDragRec rec{pos, object, target, false};
    target->Perform(CM_DRAG, dmDragDrop, reinterpret_cast<LPARAM>(&rec));
  }
  object->Finished(accepted ? target : nullptr, at.X, at.Y, accepted);
}

void TBaseDragControlObject::EndDrag(TObject* target, int x, int y) {
  if (fControl) TDragSession::EndDragOf(*fControl, target, x, y);
}

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
  auto* window = TWinControl::FindControl(detail::Manager().WindowFromPoint(pos));
  if (!window) return nullptr;
  if (TControl* child = window->ControlAtPos(window->ScreenToClient(pos), allowDisabled)) return child;
  return window;
}

bool IsDragObject(const TObject* object) { return dynamic_cast<const TDragObject*>(object) != nullptr; }

// ---------------------------------------------------------------------------------------------
// TMouse

TPoint TMouse::CursorPos() const { return detail::Manager().CursorPos(); }
bool TMouse::IsDragging() const { return Session() && Session()->Active; }

TMouse* TMouseRef::operator->() const {
  static TMouse mouse;
  return &mouse;
}

// ---------------------------------------------------------------------------------------------
// The controls layer's hooks

namespace detail {

void DragBegin(TControl* source, bool immediate, int threshold) { TDragSession::Begin(source, immediate, threshold); }

void DragDone(bool drop) { TDragSession::Done(drop); }

TControl* DragSource() { return Session() ? Session()->Source : nullptr; }

TObject* DragSourceSeen(TDragObject* object) { return TDragSession::SourceSeen(object); }

bool DragMessage(TControl* control, TMessage& m) {
  TDragSession* s = Session();
  if (!s) return false;
  if (m.Msg == WM_CAPTURECHANGED) {
    // Someone else took the mouse: the drag cannot go on.
    auto* window = dynamic_cast<TWinControl*>(s->Source);
    TWinControl* holder = window ? window : s->Source->Parent();
    if (control != holder || !holder) return false;
    if (holder->HandleAllocated() && static_cast<HWND>(m.LParam) == holder->Handle()) return false;
    if (s->Active)
      TDragSession::Done(false);
    else
      TDragSession::Drop();
    return false;
  }
  if (control != s->Source || m.Msg < WM_MOUSEFIRST || m.Msg > WM_MOUSELAST || m.Msg == WM_MOUSEWHEEL ||
      m.Msg == WM_MOUSEHWHEEL)
    return false;
  const TPoint pos = control->ClientToScreen(LParamToPoint(m.LParam));
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      if (s->Active) {
        s->MoveTo(pos);
        return true;
      }
      if (std::abs(pos.X - s->Start.X) >= s->Threshold || std::abs(pos.Y - s->Start.Y) >= s->Threshold) {
        s->Activate(pos);
        return true;
      }
      return false;
    case WM_LBUTTONUP:
      if (!s->Active) {
        TDragSession::Drop();
        return false;  // no drag happened: the release completes a click
      }
      if (s->Object && pos != s->Object->DragPos()) s->MoveTo(pos);
      TDragSession::Done(true);
      return true;
    default:
      return s->Active;  // other buttons do nothing while dragging
  }
}

bool DragKeyDown(Word key) {
  TDragSession* s = Session();
  if (!s || !s->Active || key != VK_ESCAPE) return false;
  TControl* source = s->Source;
  try {
    TDragSession::Done(false);
  } catch (...) {
    Application->HandleException(source);
  }
  return true;
}

void DragControlDestroyed(TControl* control) {
  TDragSession* s = Session();
  if (!s) return;
  if (s->Source == control) {
    std::unique_ptr<TDragSession> gone = std::move(TDragSession::Current());
    if (gone->Object && gone->Object != gone->Owned.get())
      if (auto* o = dynamic_cast<TBaseDragControlObject*>(gone->Object); o && o->Control() == control)
        TDragSession::Orphan(*o);
    return;
  }
  if (s->Target == control) {
    s->Target = nullptr;
    s->Accepted = false;
  }
}

}  // namespace detail

}  // namespace zv
