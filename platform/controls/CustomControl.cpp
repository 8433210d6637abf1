#include "platform/controls/CustomControl.h"

#include "platform/controls/WinApi.h"

namespace zv {

ZV_DEFINE_CLASS(TControlCanvas, TCanvas)
ZV_DEFINE_CLASS(TCustomControl, TWinControl)
ZV_DEFINE_CLASS(TGraphicControl, TControl)

// --- TControlCanvas ------------------------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (fControl == control) return;
  FreeHandle();
  fControl = control;
}

void TControlCanvas::FreeHandle() {
  SetHandle(nullptr);
  fOwnDC.reset();
}

void TControlCanvas::CreateHandle() {
  if (!fControl) return;
  if (auto* window = dynamic_cast<TWinControl*>(fControl)) {
    fOwnDC = GetDC(window->Handle());
  } else if (TWinControl* parent = fControl->Parent()) {
    // A control without a window draws on its part of the parent's client area.
    fOwnDC = GetDC(parent->Handle());
    if (fOwnDC) {
      const TRect r = fControl->BoundsRect();
      fOwnDC->SetOrigin(r.TopLeft());
      fOwnDC->IntersectClipRect(r);
    }
  }
  SetHandle(fOwnDC.get());
}

// --- TCustomControl ----------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), fCanvas(std::make_unique<TControlCanvas>()) {
  fCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
  Destroying();
  // The canvas goes before the window does: it lets go of its device first.
  fCanvas->FreeHandle();
}

void TCustomControl::PaintWindow(TPaintDevice& dc) {
  TCanvasLoan loan(*fCanvas, dc);
  Paint();
}

void TCustomControl::WMPaint(TWMPaint& message) {
  SetControlState(ControlState() + TControlState{csCustomPaint});
  try {
    TWinControl::WMPaint(message);
  } catch (...) {
    SetControlState(ControlState() - TControlState{csCustomPaint});
    throw;
  }
  SetControlState(ControlState() - TControlState{csCustomPaint});
}

void TCustomControl::FreeDeviceContexts() {
  TWinControl::FreeDeviceContexts();
  fCanvas->FreeHandle();
}

// --- TGraphicControl -----------------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), fCanvas(std::make_unique<TControlCanvas>()) {
  fCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() {
  Destroying();
  fCanvas->FreeHandle();
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
  FreeDeviceContext();
  TControl::SetBounds(left, top, width, height);
}

void TGraphicControl::WMPaint(TWMPaint& message) {
  TPaintDevice* dc = message.DC();
  if (!dc) return;
  TCanvasLoan loan(*fCanvas, *dc);
  Paint();
}

}  // namespace zv
