#pragma once
// The host's extra controls (ExtCtrls) beside the panel: the bevel, the image and the splitter.
// All three are drawn in their parent's window.

#include "platform/controls/CustomControl.h"
#include "platform/graphics/Graphic.h"

#include <memory>

namespace zv {

ZV_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer);
ZV_ENUM(TBevelStyle, bsLowered, bsRaised);

// A sunken or raised box, frame or line, for grouping controls; bsSpacer draws nothing.
class TBevel : public TGraphicControl {
  ZV_CLASS(TBevel, TGraphicControl)

public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return fShape; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return fStyle; }
  void SetStyle(TBevelStyle value);
  static void DeclareProperties(TPropTable<TBevel>& t);

protected:
  void Paint() override;

private:
  TBevelShape fShape = bsBox;
  TBevelStyle fStyle = bsLowered;
};

// Shows a picture: at its own size from the top left, centred, or stretched (keeping its
// proportions with Proportional, which also shrinks a picture larger than the control).
class TImage : public TGraphicControl {
  ZV_CLASS(TImage, TGraphicControl)

public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return fPicture.get(); }
  void SetPicture(const TPicture* value) { fPicture->Assign(value); }
  bool Center() const { return fCenter; }
  void SetCenter(bool value);
  bool Stretch() const { return fStretch; }
  void SetStretch(bool value);
  bool Proportional() const { return fProportional; }
  void SetProportional(bool value);
  // The control takes the picture's size whenever the picture changes.
  bool AutoSize() const { return fAutoSize; }
  void SetAutoSize(bool value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect() const;

  static void DeclareProperties(TPropTable<TImage>& t);

protected:
  void Paint() override;

private:
  void PictureChanged(TObject* sender);

  std::unique_ptr<TPicture> fPicture;
  bool fCenter = false;
  bool fStretch = false;
  bool fProportional = false;
  bool fAutoSize = false;
};

ZV_ENUM(TResizeStyle, rsNone, rsLine, rsUpdate, rsPattern);
ZV_EVENT(TCanResizeEvent, void(TObject* sender, int& newSize, bool& accept));

// A bar between an aligned control and the rest of its parent; dragging it sizes that control.
// The control is the sibling with the same alignment whose edge touches the splitter. The size
// stays at least MinSize, and the room left for the rest of the parent at least MinSize too.
// With rsUpdate the control follows the mouse; otherwise it takes its size on release, and
// meanwhile rsLine shows where the splitter would go as an inverted bar drawn on the parent,
// rsPattern as a bar of every other pixel inverted (rsNone shows nothing).
class TSplitter : public TGraphicControl {
  ZV_CLASS(TSplitter, TGraphicControl)

public:
  explicit TSplitter(TComponent* owner);

  int MinSize() const { return fMinSize; }
  void SetMinSize(int value) { fMinSize = value < 1 ? 1 : value; }
  bool Beveled() const { return fBeveled; }
  void SetBeveled(bool value);
  TResizeStyle ResizeStyle() const { return fResizeStyle; }
  void SetResizeStyle(TResizeStyle value) { fResizeStyle = value; }
  // The control a drag sizes now (found anew when a drag starts).
  TControl* FindControl() const;

  TCanResizeEvent OnCanResize;
  TNotifyEvent OnMoved;

  static void DeclareProperties(TPropTable<TSplitter>& t);

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Dispatch(TMessage& message) override;

private:
  bool Horizontal() const;  // sizes widths (aligned left or right)
  // The new size of the control for a mouse at (x, y), limited; false when OnCanResize refuses.
  bool NewSize(int x, int y, int& size);
  void ApplySize(int size);
  void AlignChanged();
  // Where the splitter would be for a size of the control, in the parent's client area.
  TRect LineRect(int size) const;
  // Inverts the drag line for size on the parent (drawing it twice takes it away).
  void InvertLine(int size);
  void HideLine();

  int fMinSize = 30;
  bool fBeveled = false;
  TResizeStyle fResizeStyle = rsPattern;
  TControl* fControl = nullptr;  // during a drag
  TPoint fDownPos;
  int fStartSize = 0;
  int fMaxSize = 0;
  int fPendingSize = -1;
  int fLineSize = -1;  // the size whose drag line shows, -1 for none
};

}  // namespace zv
