// The pop-up window of a drop-down panel: its own one- or two-pixel frame, sizing by the edges
// away from the editor, the keys it previews for a focusable panel, dialog characters and
// activation.

#include "platform/controls/Application.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/ToolForm.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TvpToolFormBG, TCustomForm)

TvpToolFormBG::TvpToolFormBG(TVisionToolForm* panel, TCustomForm* editorForm)
    : TCustomForm(panel), fPanel(panel), fEditorForm(editorForm) {
  SetBorderStyle(bsNone);
  SetKeyPreview(true);
  SetFormStyle(fsStayOnTop);
  if (editorForm) SetPopupParent(editorForm);
}

TvpToolFormBG::~TvpToolFormBG() { Destroying(); }

void TvpToolFormBG::SetFrameStyle(TvtfBorderStyle value) {
  if (fFrameStyle == value) return;
  fFrameStyle = value;
  if (HandleAllocated()) FrameChanged(Handle());
}

int TvpToolFormBG::FrameWidth() const {
  const TvtfOptions o = fPanel->Options();
  const bool sizable = !(o.Contains(tfoFixedWidth) && o.Contains(tfoFixedHeight));
  return sizable || fFrameStyle == tfb3D ? 2 : 1;
}

// ---- Frame and sizing ---------------------------------------------------------------------------

void TvpToolFormBG::WMNCCalcSize(TWMNCCalcSize& message) {
  message.Result = 0;
  if (TNCCalcSizeParams* params = message.CalcSize_Params()) {
    const int f = FrameWidth();
    TRect& r = params->rgrc[0];
    r = {r.Left + f, r.Top + f, std::max(r.Left + f, r.Right - f), std::max(r.Top + f, r.Bottom - f)};
  }
}

void TvpToolFormBG::WMNCPaint(TWMNCPaint& message) {
  message.Result = 0;
  const auto dc = GetWindowDC(Handle());
  if (!dc) return;
  TCanvas canvas(dc.get());
  TRect r{0, 0, Width(), Height()};
  unsigned flags = BF_RECT;
  if (fFrameStyle == tfbMono || fFrameStyle == tfbDefault) flags |= BF_MONO | BF_FLAT;
  else if (fFrameStyle == tfbFlat) flags |= BF_FLAT;
  else if (fFrameStyle == tfbSoft) flags |= BF_SOFT;
  DrawEdge(canvas, r, fFrameStyle == tfb3D ? EDGE_RAISED : BDR_RAISEDOUTER, flags | BF_ADJUST);
  // What the edge left of a wider frame takes the window's colour.
  const int f = FrameWidth();
  canvas.Brush()->SetColor(Color());
  const TRect client{f, f, std::max(f, Width() - f), std::max(f, Height() - f)};
  for (const TRect& band : {TRect{r.Left, r.Top, r.Right, client.Top}, TRect{r.Left, client.Bottom, r.Right, r.Bottom},
                            TRect{r.Left, client.Top, client.Left, client.Bottom},
                            TRect{client.Right, client.Top, r.Right, client.Bottom}})
    if (!band.IsEmpty()) canvas.FillRect(band);
}

bool TvpToolFormBG::EdgeSizable(unsigned edge) const {
  const TvtfOptions o = fPanel->Options();
  const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  if ((left || right) && o.Contains(tfoFixedWidth)) return false;
  if ((top || bottom) && o.Contains(tfoFixedHeight)) return false;
  // The edge that touches the editor stays where it is.
  const bool flipped = fPanel->Flipped();
  if (fPanel->PlacementInForce() == tfpRightCenter) return !(flipped ? right : left);
  return !(flipped ? bottom : top);
}

int TvpToolFormBG::FrameHitTest(TPoint p) const {
  const int f = FrameWidth();
  const TvtfOptions o = fPanel->Options();
  if (o.Contains(tfoFixedWidth) && o.Contains(tfoFixedHeight)) return HTCLIENT;
  // A fixed dimension turns its edges into client area and its corners into the other edges.
  const bool l = !o.Contains(tfoFixedWidth) && p.X < f;
  const bool r = !o.Contains(tfoFixedWidth) && p.X >= Width() - f;
  const bool t = !o.Contains(tfoFixedHeight) && p.Y < f;
  const bool b = !o.Contains(tfoFixedHeight) && p.Y >= Height() - f;
  unsigned edge = 0;
  if (t && l) edge = WMSZ_TOPLEFT;
  else if (t && r) edge = WMSZ_TOPRIGHT;
  else if (b && l) edge = WMSZ_BOTTOMLEFT;
  else if (b && r) edge = WMSZ_BOTTOMRIGHT;
  else if (l) edge = WMSZ_LEFT;
  else if (r) edge = WMSZ_RIGHT;
  else if (t) edge = WMSZ_TOP;
  else if (b) edge = WMSZ_BOTTOM;
  if (edge == 0) return HTCLIENT;
  if (!EdgeSizable(edge)) {
    // A corner whose one side is fixed still sizes by the other.
    const bool horizontalOk = (l || r) && EdgeSizable(l ? WMSZ_LEFT : WMSZ_RIGHT);
    const bool verticalOk = (t || b) && EdgeSizable(t ? WMSZ_TOP : WMSZ_BOTTOM);
    if (horizontalOk) return l ? HTLEFT : HTRIGHT;
    if (verticalOk) return t ? HTTOP : HTBOTTOM;
    return HTBORDER;
  }
  return static_cast<int>(edge - WMSZ_LEFT) + HTLEFT;
}

void TvpToolFormBG::UserSizing(unsigned edge, TRect& rect) {
  const TRect old = BoundsRect();
  const int f = FrameWidth();
  TvpSizingInfo info{rect.Width(), rect.Height()};
  fPanel->Sizing(info);
  // Never below the frame, never beyond the work area, within the constraints of the window.
  const TRect work = Screen->WorkAreaRect();
  int w = std::clamp<int>(info.Width, 2 * f + 1, std::max(work.Width(), 2 * f + 1));
  int h = std::clamp<int>(info.Height, 2 * f + 1, std::max(work.Height(), 2 * f + 1));
  const TSizeConstraints* c = Constraints();
  if (c->MinWidth() > 0) w = std::max(w, c->MinWidth());
  if (c->MaxWidth() > 0) w = std::min(w, c->MaxWidth());
  if (c->MinHeight() > 0) h = std::max(h, c->MinHeight());
  if (c->MaxHeight() > 0) h = std::min(h, c->MaxHeight());
  const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  rect = old;
  if (left && EdgeSizable(WMSZ_LEFT)) rect.Left = rect.Right - w;
  if (right && EdgeSizable(WMSZ_RIGHT)) rect.Right = rect.Left + w;
  if (top && EdgeSizable(WMSZ_TOP)) rect.Top = rect.Bottom - h;
  if (bottom && EdgeSizable(WMSZ_BOTTOM)) rect.Bottom = rect.Top + h;
  fPanel->fWidthChanged = rect.Width() - 2 * f != fPanel->fSavedBounds.Width();
  fPanel->fHeightChanged = rect.Height() - 2 * f != fPanel->fSavedBounds.Height();
}

// ---- Messages ----------------------------------------------------------------------------------------

void TvpToolFormBG::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NCHITTEST: {
      TRect r;
      GetWindowRect(Handle(), r);
      const TPoint p = LParamToPoint(message.LParam);
      message.Result = FrameHitTest({p.X - r.Left, p.Y - r.Top});
      return;
    }
    case WM_SIZING:
      UserSizing(static_cast<unsigned>(message.WParam), *reinterpret_cast<TRect*>(message.LParam));
      message.Result = 1;
      return;
    case CM_DIALOGCHAR: {
      Word key = static_cast<Word>(message.WParam);
      if (fPanel->OnShortCut) fPanel->OnShortCut(fPanel, key);
      if (key != 0 && fPanel->Options().Contains(tfoFocusable) && fEditorForm)
        message.Result = fEditorForm->Perform(CM_DIALOGCHAR, key, message.LParam);
      if (GetKeyState(VK_MENU) < 0) message.Result = 1;
      return;
    }
    default: break;
  }
  TCustomForm::WndProc(message);
}

void TvpToolFormBG::KeyDown(Word& key, TShiftState shift) {
  if (!fPanel->Options().Contains(tfoFocusable)) return TCustomForm::KeyDown(key, shift);
  fPanel->UserKeyDown(key, shift);
  if (key == 0) return;
  const TvtfOptions o = fPanel->Options();
  const bool handOn = (key == VK_DOWN && shift == TShiftState{ssAlt}) || (key == VK_RETURN && !o.Contains(tfoNoAutoPost)) ||
                      (key == VK_ESCAPE && !o.Contains(tfoNoAutoCancel));
  if (handOn) {
    if (TDBDevidEdit* editor = fPanel->Editor()) {
      const Word k = key;
      key = 0;
      editor->Perform(WM_KEYDOWN, k, 0);
    }
    key = 0;
    return;
  }
  const bool shiftOnly = shift == TShiftState{ssShift};
  const bool ctrlOnly = shift == TShiftState{ssCtrl};
  if ((shiftOnly && key == VK_INSERT) || (ctrlOnly && key == 'V')) fPanel->FireEditAction(veaPaste);
  else if ((shiftOnly && key == VK_DELETE) || (ctrlOnly && key == 'X')) fPanel->FireEditAction(veaCut);
  else if ((ctrlOnly && key == VK_INSERT) || (ctrlOnly && key == 'C')) fPanel->FireEditAction(veaCopy);
  TCustomForm::KeyDown(key, shift);
}

void TvpToolFormBG::KeyPress(char32_t& key) {
  if (fPanel->Options().Contains(tfoFocusable) && fPanel->OnKeyPress) fPanel->OnKeyPress(fPanel, key);
  if (key != 0) TCustomForm::KeyPress(key);
}

// ---- Activation and closing -------------------------------------------------------------------------

void TvpToolFormBG::Activate() {
  TCustomForm::Activate();
}

void TvpToolFormBG::Deactivate() {
  TCustomForm::Deactivate();
  if (!fPanel->Options().Contains(tfoFocusable) || fPanel->Popup() != this) return;
  // A dialog or menu opened from a control on the pop-up borrows the activation: the pop-up
  // stays, and gets the focus back when it ends.
  if (TCustomForm* active = Screen->ActiveCustomForm(); active && active != this && active->FormState().Contains(fsModal))
    return;
  if (TPopupMenu::Current() != nullptr) return;
  // The focus is moving on right now: the loop closes the pop-up once that is done.
  fPanel->fLostActivation = true;
}

void TvpToolFormBG::DoClose(TCloseAction& action) {
  // Closing the frameless pop-up means closing what it belongs to.
  action = caNone;
  if (fEditorForm) fEditorForm->Close();
}

}  // namespace zv
