// TDBDevidEdit: the window and its non-client area (border, button), the button's face, hit
// test and cursors, the mouse on the button and on the text, and the drop-down entry points.

#include "runtime/vision/DevidEdit.h"

#include "platform/controls/WinApi.h"
#include "platform/graphics/Region.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/ToolFormLink.h"
#include "runtime/vision/detail/FlagScope.h"

#include <algorithm>

namespace zv {

// ---- Window ---------------------------------------------------------------------------------

void TDBDevidEdit::ApplyNativeBorder() {
  // bs3D is the native client edge; the library draws every other style itself.
  TCustomEdit::SetBorderStyle(!fIsInplace && fBorderStyle == bs3D ? bsSingle : bsNone);
}

void TDBDevidEdit::ApplyEditStyle() {
  TvpFieldVision* vision = fFields ? fFields->Vision() : nullptr;
  const bool wrap = fWordWrap || (vision && vision->EditWordWrap());
  // Enter as a line break needs lines. The grid's editor always wants returns, but keeps Enter
  // only for a multi-line vision (it leaves the cell otherwise), so it stays on one line.
  const bool lines = !fIsInplace && (fWantReturns || (vision && vision->WantReturns()));
  const bool multiLine = wrap || lines || (vision && vision->MultiLine());
  TCustomEdit::SetWordWrap(wrap);
  SetScrollBars(vision ? vision->EditScrollBars() : ssNone);
  SetMultiLine(multiLine);
  if (vision && vision->MultiLine()) TCustomEdit::SetAlignment(fFields->Alignment());
  else TCustomEdit::SetAlignment(taLeftJustify);
}

void TDBDevidEdit::SetBorderStyle(TvpBorderStyle value) {
  if (value == fBorderStyle) return;
  fBorderStyle = value;
  ApplyNativeBorder();
  RecreateEditor();
}

void TDBDevidEdit::SetWordWrap(bool value) {
  if (value == fWordWrap) return;
  fWordWrap = value;
  if (value) SetEditMask(String());
  ApplyEditStyle();
  RecreateEditor();
}

void TDBDevidEdit::SetWantReturns(bool value) {
  if (value == fWantReturns) return;
  fWantReturns = value;
  ApplyEditStyle();
}

void TDBDevidEdit::SetTextMargins(const TRect& value) {
  fTextMargins = value;
  UpdateNC();
}

void TDBDevidEdit::CreateParams(TCreateParams& params) {
  TCustomMaskEdit::CreateParams(params);
  // Automatic horizontal scrolling would keep a wrapped text on one line.
  if (MultiLine() && TCustomEdit::WordWrap()) params.Style &= ~static_cast<unsigned>(ES_AUTOHSCROLL);
}

void TDBDevidEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  UpdateNC();
}

void TDBDevidEdit::WMSize(TWMSize& message) {
  TCustomMaskEdit::WMSize(message);
  UpdateNC();
}

void TDBDevidEdit::CMFontChanged(TMessage& message) {
  TCustomMaskEdit::CMFontChanged(message);
  UpdateNC();
}

void TDBDevidEdit::CMEnabledChanged(TMessage& message) {
  TCustomMaskEdit::CMEnabledChanged(message);
  UpdateNC();
}

void TDBDevidEdit::UpdateNC() {
  TvpFieldVision* vision = fFields ? fFields->Vision() : nullptr;
  int width = 0;
  if (vision && vision->EnableButton()) {
    width = fDefaultButtonWidth;
    if (vision->ButtonStyle() == pbsCustom && vision->HasButtonGlyph())
      width = std::max(width, vision->ButtonGlyph()->Width() + 4);
  }
  fButtonWidth = width;
  if (!HandleAllocated()) return;
  const TRect transparent = fIsInplace ? TRect{0, 0, 0, 0} : vprGetTranspBorderSize(fBorderStyle);
  if (transparent.Left || transparent.Top || transparent.Right || transparent.Bottom) {
    const TRegion region(TRect{transparent.Left, transparent.Top, Width() - transparent.Right,
                               Height() - transparent.Bottom});
    SetWindowRgn(Handle(), &region, false);
  } else {
    SetWindowRgn(Handle(), nullptr, false);
  }
  FrameChanged(Handle());
  const TRect& m = fTextMargins;
  if (m.Left || m.Top || m.Right || m.Bottom) {
    TRect r = ClientRect();
    r = {r.Left + m.Left, r.Top + m.Top, r.Right - m.Right, r.Bottom - m.Bottom};
    Perform(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
  }
  ScrollCaret();
  TCustomMaskEdit::Invalidate();
}

void TDBDevidEdit::WMNCCalcSize(TWMNCCalcSize& message) {
  TCustomMaskEdit::WMNCCalcSize(message);
  TRect& client = message.CalcSize_Params()->rgrc[0];
  if (!fIsInplace && fBorderStyle != bs3D) CalcBorderSizeEx(fBorderStyle, client);
  client.Right = std::max(client.Left, client.Right - fButtonWidth);
}

TRect TDBDevidEdit::ButtonRect() {
  if (fButtonWidth <= 0) return {};
  const TRect client = ClientRect();
  return {client.Right, 0, client.Right + fButtonWidth, client.Bottom};
}

bool TDBDevidEdit::OverButton(TPoint p) { return fButtonWidth > 0 && PtInRect(ButtonRect(), p); }

unsigned TDBDevidEdit::ButtonStateBits() {
  unsigned bits = 0;
  if (!fIsInplace && fBorderStyle != bs3D) bits |= vbsSoft;
  if (!fIsInplace && (fBorderStyle == bsNoBorder || fBorderStyle == bsFlat || fBorderStyle == bsFlatExt ||
                      fBorderStyle == bsMono || fBorderStyle == bsMonoExt))
    bits |= vbsMono;
  if (!Enabled()) bits |= vbsDisabled;
  if (fButtonTracker->Downed()) bits |= fButtonTracker->ItemIndex() == 3 ? vbsLowerPressed : vbsPressed;
  return bits;
}

void TDBDevidEdit::WMNCPaint(TWMNCPaint& message) {
  TCustomMaskEdit::WMNCPaint(message);
  if (!fIsInplace && fBorderStyle != bs3D) vprDrawBorderEx(fBorderStyle, *this, false);
  TvpFieldVision* vision = fFields->Vision();
  if (fButtonWidth <= 0 || !vision || !HandleAllocated()) return;
  auto dc = GetWindowDC(Handle());
  if (!dc) return;
  TRect window;
  GetWindowRect(Handle(), window);
  const TPoint origin = ClientOrigin();
  TRect r = ButtonRect();
  OffsetRect(r, origin.X - window.Left, origin.Y - window.Top);
  TCanvas canvas(dc.get());
  vprDrawButton(static_cast<int>(vision->ButtonStyle()) + 1, ButtonStateBits(), canvas, r,
                vision->ButtonStyle() == pbsCustom && vision->HasButtonGlyph() ? vision->ButtonGlyph() : nullptr);
}

void TDBDevidEdit::NCHitTest(TMessage& message) {
  TCustomMaskEdit::Dispatch(message);
  // Button clicks arrive as client mouse messages.
  if (OverButton(ScreenToClient(LParamToPoint(message.LParam)))) message.Result = HTCLIENT;
}

void TDBDevidEdit::WMSetCursor(TWMSetCursor& message) {
  if (message.HitTest() == HTCLIENT && HandleAllocated()) {
    TvpFieldVision* vision = fFields->Vision();
    const TPoint p = ScreenToClient(GetCursorPos());
    if (CustomSurface() || (vision && vision->ComboBoxStyle()) || OverButton(p)) {
      zv::SetCursor(crArrow);
      message.Result = 1;
      return;
    }
  }
  TCustomMaskEdit::WMSetCursor(message);
}

// ---- Mouse ----------------------------------------------------------------------------------

void TDBDevidEdit::ButtonMouseDown(TWMMouse& message) {
  if (!CanFocus()) return;
  const bool wasFocused = fFocused;
  {
    // Entering by the button does not open a drop-down of its own.
    TFlagScope pressing(fPressingButton, true);
    if (!TWinControl::Focused()) SetFocus();
  }
  if (!fFocused) return;
  if (!wasFocused) SelectAll();
  TvpFieldVision* vision = fFields->Vision();
  if (!vision) return;
  const TPoint p = message.Pos();
  TRect area = ButtonRect();
  int position = 1;
  if (vision->ButtonStyle() == pbsSpin) {
    const int middle = (area.Top + area.Bottom) / 2;
    if (p.Y < middle) {
      position = 2;
      area.Bottom = middle;
    } else {
      position = 3;
      area.Top = middle;
    }
  }
  fButtonTracker->MouseDown(position, p.X, p.Y, KeysToShiftState(message.Keys()), area,
                            vision->ButtonStyle() == pbsDropDown, vision->ButtonStyle() == pbsSpin);
}

bool TDBDevidEdit::TextMouseDown(TWMMouse& message) {
  if (!fFocused && CanFocus() && !TWinControl::Focused()) SetFocus();
  if (!fFocused) return false;
  TvpFieldVision* vision = fFields->Vision();
  if (!vision) return false;
  if (vision->ComboBoxStyle()) {
    if (fFields->Valid()) {
      SelectAll();
      EditAreaClick();
    }
    return true;
  }
  if (vision->EnableSwitches()) {
    const TPoint p = message.Pos();
    fSwitchTracker->MouseDown(0, p.X, p.Y, KeysToShiftState(message.Keys()), ClientRect(), false, false);
    if (fSwitchTracker->Tracking()) return true;
  }
  return false;
}

TPoint TDBDevidEdit::SwitchPoint(TPoint p) {
  // The switch is wherever the vision's hit test says: elsewhere counts as off the switch.
  TvpFieldVision* vision = fFields->Vision();
  if (!fSwitchTracker->Tracking() || !vision) return p;
  bool hit = false;
  vision->PE_MouseSwitchHit(*this, p.X - fTextMargins.Left, p.Y - fTextMargins.Top, KeyboardStateToShiftState(), hit);
  return hit ? p : TPoint{-10000, -10000};
}

void TDBDevidEdit::WMLButtonDown(TWMMouse& message) {
  if (OverButton(message.Pos())) return ButtonMouseDown(message);
  if (!TextMouseDown(message)) TCustomMaskEdit::WMLButtonDown(message);
}

void TDBDevidEdit::WMLButtonDblClk(TWMMouse& message) {
  if (OverButton(message.Pos())) return ButtonMouseDown(message);
  if (TextMouseDown(message)) return;
  TCustomMaskEdit::WMLButtonDblClk(message);
  if (fFields->Valid())
    if (TvpFieldVision* vision = fFields->Vision()) vision->PE_DblClick(*this);
}

void TDBDevidEdit::WMLButtonUp(TWMMouse& message) {
  {
    TFlagScope lock(fMouseUpLock, true);
    const TPoint p = message.Pos();
    fButtonTracker->MouseUp(p.X, p.Y);
    const TPoint s = SwitchPoint(p);
    fSwitchTracker->MouseUp(s.X, s.Y);
  }
  TCustomMaskEdit::WMLButtonUp(message);
}

void TDBDevidEdit::WMMouseMove(TWMMouse& message) {
  const TPoint p = message.Pos();
  fButtonTracker->MouseMove(p.X, p.Y);
  if (fSwitchTracker->Tracking()) {
    const TPoint s = SwitchPoint(p);
    fSwitchTracker->MouseMove(s.X, s.Y);
  }
  TCustomMaskEdit::WMMouseMove(message);
}

void TDBDevidEdit::WMRButtonDown(TWMMouse& message) {
  if (CustomSurface() && !TWinControl::Focused() && CanFocus()) SetFocus();
  TCustomMaskEdit::WMRButtonDown(message);
}

void TDBDevidEdit::EditAreaClick() {
  if (TvpFieldVision* vision = fFields->Vision()) vision->ButtonClick(*this, vbsEditAreaClick);
}

// ---- Drop-down --------------------------------------------------------------------------------

void TDBDevidEdit::ShowToolForm() {
  TvpFieldVision* vision = fFields->Vision();
  if (fToolForm || !vision) return;
  // A focusable drop-down runs a loop in which the editor itself may be destroyed: nothing of it
  // is touched after that.
  bool gone = false;
  bool* const outer = fGoneFlag;
  fGoneFlag = &gone;
  const bool showing = fShowingToolForm;
  fShowingToolForm = true;
  auto leave = [&] {
    if (gone) {
      if (outer) *outer = true;
      return;
    }
    fShowingToolForm = showing;
    fGoneFlag = outer;
  };
  try {
    if (TWinControl* form = vision->DefaultToolForm()) vision->PE_ShowDropDown(*this, form);
  } catch (...) {
    leave();
    throw;
  }
  leave();
}

void TDBDevidEdit::DropDownBtnClick(bool postOnClose) {
  if (!CloseToolForm(postOnClose)) ShowToolForm();
}

void TDBDevidEdit::CancelMode(TControl* control) {
  fSwitchTracker->Reset();
  if (!fUpdating && !fShowingToolForm) fButtonTracker->Reset();
  if (IVisionToolForm* form = dynamic_cast<IVisionToolForm*>(fToolForm)) form->UserCancelMode(control);
}

void TDBDevidEdit::tfSetToolForm(TWinControl* control) {
  if (fToolForm == control) return;
  fToolForm = control;
  if (control) control->FreeNotification(this);
  if (CustomSurface()) Invalidate();
}

bool TDBDevidEdit::tfOverButton(int x, int y) { return OverButton({x, y}); }

bool TDBDevidEdit::tfComboBoxStyle() {
  TvpFieldVision* vision = fFields->Vision();
  return vision && (vision->ComboBoxStyle() || vision->SupportsDropDownOption(ddoShowOnEnter));
}

}  // namespace zv
