#pragma once
// The host's panel (ExtCtrls): a container with a border of bevels and a centred caption.
// From the outside in: the outer bevel, BorderWidth pixels of the panel's colour, the inner
// bevel, then the client area that aligned children fill (AdjustClientRect).

#include "platform/controls/CustomControl.h"
#include "platform/classes/ClassesTypes.h"

namespace zv {

ZV_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace);
ZV_ENUM(TVerticalAlignment, taAlignTop, taAlignBottom, taVerticalCenter);

// The host's Frame3D: width nested one-pixel frames, top and left in topColor, bottom and right
// in bottomColor; rect shrinks to the inside.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

class TCustomPanel : public TCustomControl {
  ZV_CLASS(TCustomPanel, TCustomControl)

public:
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return fBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return fBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return fBevelWidth; }
  // Below 1 counts as 1.
  void SetBevelWidth(int value);
  int BorderWidth() const { return fBorderWidth; }
  void SetBorderWidth(int value);
  // bsSingle gives the window a sunken client edge (the frame outside the client area).
  TBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment value);
  TVerticalAlignment VerticalAlignment() const { return fVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment value);
  // Repaint everything when resized (else only what the resize uncovers).
  bool FullRepaint() const { return fFullRepaint; }
  void SetFullRepaint(bool value) { fFullRepaint = value; }

  // Shrinks rect (the client rectangle) by the border width and the bevels: what aligned
  // children may fill.
  virtual void AdjustClientRect(TRect& rect) const;

  static void DeclareProperties(TPropTable<TCustomPanel>& t);

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
  void Resize() override;
  void CMTextChanged(TMessage& message) override;

private:
  void Changed();

  TBevelCut fBevelInner = bvNone;
  TBevelCut fBevelOuter = bvRaised;
  int fBevelWidth = 1;
  int fBorderWidth = 0;
  TBorderStyle fBorderStyle = bsNone;
  TAlignment fAlignment = taCenter;
  TVerticalAlignment fVerticalAlignment = taVerticalCenter;
  bool fFullRepaint = true;
};

class TPanel : public TCustomPanel {
  ZV_CLASS(TPanel, TCustomPanel)

public:
  using TCustomPanel::TCustomPanel;
  static void DeclareProperties(TPropTable<TPanel>& t);
};

}  // namespace zv
