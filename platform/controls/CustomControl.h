#pragma once
// The controls that draw themselves: TCustomControl (a window with a canvas) and
// TGraphicControl (no window; drawn in its parent's painting). Both paint in a virtual Paint
// through Canvas. During painting the canvas is clipped to what needs painting; outside
// painting (a drag line, a tracking rectangle) the canvas draws straight on the visible part of
// the control, and the drawing is presented with the next message.

#include "platform/controls/WinControl.h"
#include "platform/graphics/Canvas.h"

namespace zv {

// A canvas on a control: it obtains a device for the control when drawn on outside painting.
class TControlCanvas : public TCanvas {
  ZV_CLASS(TControlCanvas, TCanvas)

public:
  TControlCanvas() = default;
  ~TControlCanvas() override;
  TControl* Control() const { return fControl; }
  void SetControl(TControl* control);
  // Drops the device (the own one, or the one painting lent).
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TControl* fControl = nullptr;
  std::unique_ptr<TPaintDevice> fOwnDC;
};

// Lends painting's device to a control canvas for the scope of a paint: whatever device the
// canvas held for drawing outside painting goes first, and the lent one is dropped at the end.
class TCanvasLoan {
public:
  TCanvasLoan(TControlCanvas& canvas, TPaintDevice& dc) : fCanvas(canvas) {
    fCanvas.FreeHandle();
    fCanvas.SetHandle(&dc);
  }
  ~TCanvasLoan() { fCanvas.FreeHandle(); }
  TCanvasLoan(const TCanvasLoan&) = delete;
  TCanvasLoan& operator=(const TCanvasLoan&) = delete;

private:
  TControlCanvas& fCanvas;
};

class TCustomControl : public TWinControl {
  ZV_CLASS(TCustomControl, TWinControl)

public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return fCanvas.get(); }

protected:
  virtual void Paint() {}
  void PaintWindow(TPaintDevice& dc) override;
  void FreeDeviceContexts() override;
  void WMPaint(TWMPaint& message) override;

private:
  std::unique_ptr<TControlCanvas> fCanvas;
};

class TGraphicControl : public TControl {
  ZV_CLASS(TGraphicControl, TControl)

public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return fCanvas.get(); }
  void FreeDeviceContext() { fCanvas->FreeHandle(); }
  // Moving drops the canvas's device: it was clipped to the old place.
  void SetBounds(int left, int top, int width, int height) override;

protected:
  virtual void Paint() {}
  void WMPaint(TWMPaint& message) override;

private:
  std::unique_ptr<TControlCanvas> fCanvas;
};

}  // namespace zv
