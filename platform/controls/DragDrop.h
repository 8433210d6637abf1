#pragma once
// Drag and drop between controls, as the host's Controls unit does it: a control starts a
// drag (BeginDrag, or by itself in dmAutomatic mode); while the button is held the drag keeps
// the mouse captured, asks the control under the mouse (in any top-level window of the
// application) whether it accepts the drag through CM_DRAG (OnDragOver), shows crDrag or
// crNoDrop accordingly, and on release drops on an accepting control (OnDragDrop); the source
// then hears OnEndDrag with the target, or null when nothing took it. Esc cancels.
//
// The messages of a drag are CM_DRAG with a TDragMessage in WParam and a TDragRec* in LParam.

#include "platform/controls/ControlTypes.h"
#include "platform/controls/Messages.h"

#include <functional>

namespace zv {

class TControl;
class TDragObject;
class TDragImageList;  // DragImageList.h

ZV_ENUM(TDragMode, dmManual, dmAutomatic);
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// Docking is not supported: dkDock behaves as dkDrag.
ZV_ENUM(TDragKind, dkDrag, dkDock);
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// The record CM_DRAG points to. Pos is in screen coordinates; for dmFindTarget the handler
// sets Result to the TControl* that takes the drag at Pos.
struct TDragRec {
  TPoint Pos;
  TDragObject* Source = nullptr;
  TControl* Target = nullptr;
  bool Docking = false;
};

struct TCMDrag : TMessage {
  explicit TCMDrag(const TMessage& m) : TMessage(m) {}
  TDragMessage DragMessage() const { return static_cast<TDragMessage>(WParam); }
  TDragRec* DragRec() const { return reinterpret_cast<TDragRec*>(LParam); }
};

// Source is the dragged control when the drag made its own drag object, else the drag object.
ZV_EVENT(TStartDragEvent, void(TObject* sender, TDragObject*& dragObject));
using TDragOverEvent =
    std::function<void(TObject* sender, TObject* source, int x, int y, TDragState state, bool& accept)>;
ZV_EVENT(TDragDropEvent, void(TObject* sender, TObject* source, int x, int y));
ZV_EVENT(TEndDragEvent, void(TObject* sender, TObject* target, int x, int y));

// What is being dragged. An application may make its own (in OnStartDrag) to carry data; it
// stays the application's, and the drag only uses it until OnEndDrag.
class TDragObject : public TObject {
  ZV_CLASS(TDragObject, TObject)

public:
  // The mouse, in screen coordinates, and the control under it with the mouse in its client
  // coordinates.
  TPoint DragPos() const { return fDragPos; }
  TControl* DragTarget() const { return fDragTarget; }
  TPoint DragTargetPos() const { return fDragTargetPos; }
  bool Cancelling() const { return fCancelling; }
  bool Dropped() const { return fDropped; }
  // Show the drag images over every control, not only over csDisplayDragImage ones.
  bool AlwaysShowDragImages = false;

  // crDrag when accepted, crNoDrop when not.
  virtual TCursor GetDragCursor(bool accepted, int x, int y);
  // Null: no image follows the mouse.
  virtual TDragImageList* GetDragImages();
  void ShowDragImage();
  void HideDragImage();

protected:
  friend class TDragSession;
  // The drag ended: target is what took it (null when nothing did); x, y in the target's
  // client coordinates (in the source's when there is no target).
  virtual void Finished(TObject* target, int x, int y, bool accepted);

private:
  TPoint fDragPos;
  TControl* fDragTarget = nullptr;
  TPoint fDragTargetPos;
  bool fCancelling = false;
  bool fDropped = false;
};

// A drag object for a control.
class TBaseDragControlObject : public TDragObject {
  ZV_CLASS(TBaseDragControlObject, TDragObject)

public:
  explicit TBaseDragControlObject(TControl* control) : fControl(control) {}
  TControl* Control() const { return fControl; }

protected:
  // Fires the control's OnEndDrag.
  virtual void EndDrag(TObject* target, int x, int y);
  void Finished(TObject* target, int x, int y, bool accepted) override;

private:
  friend class TDragSession;
  TControl* fControl;
  bool fMadeByDrag = false;
};

// The drag object a control makes for itself: the control's DragCursor and drag images.
class TDragControlObject : public TBaseDragControlObject {
  ZV_CLASS(TDragControlObject, TBaseDragControlObject)

public:
  using TBaseDragControlObject::TBaseDragControlObject;
  TCursor GetDragCursor(bool accepted, int x, int y) override;
  TDragImageList* GetDragImages() override;
};

// The host's Mouse: drag settings and where the mouse is.
class TMouse {
public:
  // Automatic drags start on the press (true, the default) or after DragThreshold pixels.
  bool DragImmediate() const { return fDragImmediate; }
  void SetDragImmediate(bool value) { fDragImmediate = value; }
  int DragThreshold() const { return fDragThreshold; }
  void SetDragThreshold(int value) { fDragThreshold = value < 0 ? 0 : value; }
  TPoint CursorPos() const;
  bool IsDragging() const;

private:
  bool fDragImmediate = true;
  int fDragThreshold = 5;
};
struct TMouseRef {
  TMouse* operator->() const;
  TMouse& operator*() const { return *operator->(); }
};
inline constexpr TMouseRef Mouse{};

// The control that would take a drag at pos (screen coordinates): the topmost visible control
// there, disabled ones only when allowed; null over no window of the application.
TControl* FindDragTarget(TPoint pos, bool allowDisabled);
bool IsDragObject(const TObject* object);

namespace detail {
// The controls layer's side of a drag (Control.cpp, WindowManager.cpp).
void DragBegin(TControl* source, bool immediate, int threshold);
void DragDone(bool drop);
TControl* DragSource();
// A mouse or capture message reached control: true when the drag took it.
bool DragMessage(TControl* control, TMessage& message);
// A key was pressed while a drag may be on: true when the drag took it (Esc cancels).
bool DragKeyDown(Word key);
void DragControlDestroyed(TControl* control);
// What targets see as the source: the control for a drag object the drag made itself.
TObject* DragSourceSeen(TDragObject* object);
}  // namespace detail

}  // namespace zv
