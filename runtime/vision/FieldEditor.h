#pragma once
// What a vision needs of the edit control that is editing through it (the stand-alone data
// edit or the grid's in-place editor). Visions see editors only through this interface.

#include "platform/controls/ControlTypes.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

class TControl;
class TWinControl;
class TgpFieldList;
class TfvCurrentValue;

class IvpFieldEditor {
public:
  virtual TgpFieldList& Fields() = 0;
  virtual TfvCurrentValue& CurrentValue() = 0;
  // The editor window, for drop-downs and messages.
  virtual TWinControl* Control() = 0;
  virtual String Text() const = 0;
  virtual bool HasEditMask() const = 0;
  // Whether the text satisfies the edit mask.
  virtual bool ValidateEditText() = 0;
  // The vision paints the whole surface and edits by keys, mouse and switches.
  virtual bool CustomSurface() const = 0;
  virtual void SelectAll() = 0;
  // Closes an open drop-down (its user cancelled towards `control`) and resets the trackers.
  virtual void CancelMode(TControl* control) = 0;
  // Drops keyboard messages still queued for the editor.
  virtual void RemovePendingKeys(bool charsOnly) = 0;
  // Closes an open drop-down (posting when asked) or opens it.
  virtual void DropDownBtnClick(bool postOnClose) = 0;
  virtual bool Focused() const = 0;
  virtual void Repaint() = 0;
  virtual void CaptureMouse() = 0;
  // The grid's in-place editor rather than a stand-alone control.
  virtual bool IsInplace() const = 0;
  // In-place editors only: the grid closes the editor with posting; true when it is hidden now.
  virtual bool HideWithPosting() = 0;

protected:
  ~IvpFieldEditor() = default;
};

}  // namespace zv
