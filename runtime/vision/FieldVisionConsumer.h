#pragma once
// How a field list and its vision reach their host (a grid column, an edit control, a text
// control) without knowing its class. The host implements it; nothing here owns the host.

namespace zv {

class TComponent;
class TvpFieldVision;

class IvpFieldVisionConsumer {
public:
  // The component the vision must free-notify: the grid of a column (may be null), the control
  // itself for the controls.
  virtual TComponent* GetComponent() = 0;
  // Whether the host allows editing.
  virtual bool CanModify() = 0;
  // Fires the vision's BeforeEdit and the host's own hook; false cancels the edit.
  virtual bool DoBeforeEdit() = 0;
  virtual void DoBeginEdit() = 0;
  virtual void DoAfterPost() = 0;
  // Recomputes Caption, Alignment and Layout of the list; true when any of them changed.
  virtual bool UpdateVisualAttrs() = 0;
  virtual void UpdatePopupMenu() = 0;
  // The list's vision changed; `vision` is what the host asked for (null for the default).
  virtual void VisionChanged(TvpFieldVision* vision) = 0;
  virtual void UpdateFields() = 0;
  virtual void ValidateFields() = 0;
  virtual void Invalidate() = 0;
  virtual void UpdateHeight() = 0;
  virtual void UpdateEditButton() = 0;
  virtual void RecreateEditor() = 0;

protected:
  ~IvpFieldVisionConsumer() = default;
};

}  // namespace zv
