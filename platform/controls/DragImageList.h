#pragma once
// TDragImageList: the images that follow the mouse during a drag (see DragDrop.h).

#include "platform/controls/ControlTypes.h"
#include "platform/graphics/ImageList.h"

namespace zv {

// An image list whose image follows the mouse during a drag. The list keeps where the image
// is and whether it shows; drawing it on screen is left to DragImageChanged (no pop-up
// window is made here).
class TDragImageList : public TCustomImageList {
  ZV_CLASS(TDragImageList, TCustomImageList)

public:
  using TCustomImageList::TCustomImageList;

  // The image to drag and the point of it that sits under the mouse; false for a bad index.
  bool SetDragImage(int index, int hotSpotX, int hotSpotY);
  int DragIndex() const { return fDragIndex; }
  TPoint DragHotspot() const { return fHotspot; }
  TCursor DragCursor() const { return fDragCursor; }
  void SetDragCursor(TCursor cursor) { fDragCursor = cursor; }

  // Screen coordinates of the mouse.
  bool BeginDrag(int x, int y);
  bool DragMove(int x, int y);
  bool EndDrag();
  void ShowDragImage();
  void HideDragImage();
  bool Dragging() const { return fDragging; }
  bool DragImageVisible() const { return fDragging && fVisible; }
  TPoint DragPos() const { return fPos; }

  // Told whenever the image moves, shows or hides.
  TNotifyEvent OnDragImageChanged;

protected:
  virtual void DragImageChanged();

private:
  int fDragIndex = 0;
  TPoint fHotspot;
  TCursor fDragCursor = crNone;
  bool fDragging = false;
  bool fVisible = false;
  TPoint fPos;
};

}  // namespace zv
