// The combo box's drop-down list: placement, scrolling, the mouse while it is open, painting.

#include "platform/controls/detail/ComboDropDown.h"

#include "platform/controls/Application.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/detail/Window.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>

namespace zv {

namespace {
constexpr int kTextIndent = 2;
// Rows scrolled by one notch of the wheel.
constexpr int kWheelRows = 3;
}  // namespace

ZV_DEFINE_CLASS(TComboDropDown, TCustomControl)

TComboDropDown::TComboDropDown(TCustomComboBox* combo) : TCustomControl(nullptr), fCombo(combo) {
  SetVisible(false);
  SetColor(clWindow);
}

TComboDropDown::~TComboDropDown() {
  Destroying();
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
}

void TComboDropDown::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = (params.Style & ~(WS_CAPTION | WS_TABSTOP)) | WS_POPUP | WS_BORDER;
  params.ExStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  // Owned by the combo box's window: clicks in the list leave its form active.
  TWinControl* top = fCombo;
  while (top->Parent()) top = top->Parent();
  if (top->HandleAllocated()) params.WndParent = top->Handle();
}

int TComboDropDown::ItemCount() const { return fCombo->Items()->Count(); }

void TComboDropDown::Open() {
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas()->SetFont(fCombo->Font());
  fRowHeight = std::max(measure.Canvas()->TextHeight("Wg") + 2, 1);
  const int count = ItemCount();
  fVisibleRows = std::clamp(count, 1, std::max(fCombo->DropDownCount(), 1));
  SetFont(fCombo->Font());

  // The window is made for the owner the combo box has now; the owner is fixed at creation.
  if (HandleAllocated()) DestroyHandle();
  HandleNeeded();
  const bool bar = count > fVisibleRows;
  ShowScrollBar(Handle(), SB_VERT, bar);
  const int frame = 2;  // WS_BORDER on both sides
  const int height = fVisibleRows * fRowHeight + frame;
  const TRect work = Screen->WorkAreaRect();
  const TPoint below = fCombo->ClientToScreen({0, fCombo->Height()});
  const TPoint above = fCombo->ClientToScreen({0, 0});
  int y = below.Y;
  if (y + height > work.Bottom && above.Y - height >= work.Top) y = above.Y - height;
  const int width = std::max(fCombo->Width(), 20);
  const int x = std::clamp(below.X, work.Left, std::max(work.Left, work.Right - width));
  SetBounds(x, y, width, height);

  fTopIndex = 0;
  fHighlighted = -1;
  fArmed = false;
  fThumbTracking = false;
  UpdateScrollBar();
  SetHighlighted(fCombo->ItemIndex());
  Show();
  Invalidate();
  SetCapture(Handle());
}

void TComboDropDown::Close() {
  fThumbTracking = false;
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  Hide();
}

void TComboDropDown::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  TScrollInfo si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = std::max(ItemCount() - 1, 0);
  si.nPage = static_cast<unsigned>(fVisibleRows);
  si.nPos = fTopIndex;
  SetScrollInfo(Handle(), SB_VERT, si, true);
}

void TComboDropDown::SetTopIndex(int index) {
  index = std::clamp(index, 0, std::max(ItemCount() - fVisibleRows, 0));
  if (index == fTopIndex) return;
  fTopIndex = index;
  UpdateScrollBar();
  Invalidate();
}

void TComboDropDown::SetHighlighted(int index) {
  if (index < -1 || index >= ItemCount()) index = -1;
  if (index >= 0) {
    if (index < fTopIndex) SetTopIndex(index);
    else if (index >= fTopIndex + fVisibleRows) SetTopIndex(index - fVisibleRows + 1);
  }
  if (index == fHighlighted) return;
  fHighlighted = index;
  Invalidate();
}

TRect TComboDropDown::ItemRect(int index) const {
  if (index < fTopIndex || index >= std::min(fTopIndex + fVisibleRows, ItemCount())) return {};
  const int top = (index - fTopIndex) * fRowHeight;
  return {0, top, ClientWidth(), top + fRowHeight};
}

int TComboDropDown::ItemAtPos(TPoint pos) const {
  if (pos.X < 0 || pos.X >= ClientWidth() || pos.Y < 0 || pos.Y >= ClientHeight()) return -1;
  const int index = fTopIndex + pos.Y / fRowHeight;
  return index < ItemCount() ? index : -1;
}

void TComboDropDown::Scroll(int code, int trackPos) {
  switch (code) {
    case SB_LINEUP: SetTopIndex(fTopIndex - 1); break;
    case SB_LINEDOWN: SetTopIndex(fTopIndex + 1); break;
    case SB_PAGEUP: SetTopIndex(fTopIndex - fVisibleRows); break;
    case SB_PAGEDOWN: SetTopIndex(fTopIndex + fVisibleRows); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTopIndex(trackPos); break;
    default: break;
  }
}

bool TComboDropDown::BarPress(TPoint windowPos) {
  detail::TWindow* w = Window();
  if (!w) return false;
  const detail::TBarPart part = w->BarPartAt(SB_VERT, windowPos);
  switch (part) {
    case detail::TBarPart::None: return PtInRect(w->BarRect(SB_VERT), windowPos);
    case detail::TBarPart::LineUp: Scroll(SB_LINEUP, 0); break;
    case detail::TBarPart::LineDown: Scroll(SB_LINEDOWN, 0); break;
    case detail::TBarPart::PageUp: Scroll(SB_PAGEUP, 0); break;
    case detail::TBarPart::PageDown: Scroll(SB_PAGEDOWN, 0); break;
    case detail::TBarPart::Thumb:
      fThumbTracking = true;
      fThumbGrab = windowPos.Y - w->ThumbRect(SB_VERT).Top;
      break;
  }
  return true;
}

void TComboDropDown::Mouse(unsigned msg, TPoint pos) {
  const int item = ItemAtPos(pos);
  const TPoint screen = ClientToScreen(pos);
  switch (msg) {
    case WM_MOUSEMOVE:
      if (fThumbTracking) {
        if (detail::TWindow* w = Window()) {
          const int y = pos.Y + w->ClientInWindow.Top;
          Scroll(SB_THUMBTRACK, w->PosFromThumb(SB_VERT, y - fThumbGrab));
        }
        return;
      }
      if (item >= 0) {
        fArmed = true;
        SetHighlighted(item);
      }
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      if (item >= 0) {
        fArmed = true;
        SetHighlighted(item);
        return;
      }
      if (PtInRect(BoundsRect(), screen)) {
        if (detail::TWindow* w = Window(); w && msg != WM_RBUTTONDOWN && msg != WM_RBUTTONDBLCLK)
          BarPress({pos.X + w->ClientInWindow.Left, pos.Y + w->ClientInWindow.Top});
        return;
      }
      // Anywhere else the press closes the list and goes no further (a press on the combo
      // box's own button closes it too, rather than opening it again).
      fCombo->CloseUp(false);
      return;
    }
    case WM_LBUTTONUP:
      if (fThumbTracking) {
        fThumbTracking = false;
        return;
      }
      if (item >= 0 && fArmed) fCombo->CloseUp(true, item);
      return;
    default: return;
  }
}

void TComboDropDown::WndProc(TMessage& m) {
  if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && m.Msg != WM_MOUSEHWHEEL) {
    Mouse(m.Msg, LParamToPoint(m.LParam));
    return;
  }
  switch (m.Msg) {
    case WM_MOUSEWHEEL: {
      const int notches = TWMMouseWheel(m).WheelDelta() / WHEEL_DELTA;
      SetTopIndex(fTopIndex - notches * kWheelRows);
      return;
    }
    case WM_VSCROLL: {
      TScrollInfo si;
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_VERT, si);
      Scroll(LoWord(m.WParam), si.nTrackPos);
      return;
    }
    case WM_CAPTURECHANGED:
      // Someone else took the mouse (a dialog, a menu): the list goes as the host's does.
      if (Visible() && static_cast<HWND>(m.LParam) != Handle()) fCombo->CloseUp(false);
      return;
    case WM_CANCELMODE:
      if (Visible()) fCombo->CloseUp(false);
      return;
    default: break;
  }
  TCustomControl::WndProc(m);
}

void TComboDropDown::Paint() {
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(fCombo->Color());
  c.FillRect(client);
  c.SetFont(fCombo->Font());
  const int last = std::min(fTopIndex + fVisibleRows, ItemCount());
  for (int i = fTopIndex; i < last; ++i) {
    TRect r = ItemRect(i);
    const bool lit = i == fHighlighted;
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(lit ? clHighlight : fCombo->Color());
    c.FillRect(r);
    c.Font()->SetColor(lit ? clHighlightText : fCombo->Font()->Color());
    c.Brush()->SetStyle(bsClear);
    r.Left += kTextIndent;
    DrawText(c, fCombo->Items()->Strings(i), r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  c.Brush()->SetStyle(bsSolid);
}

}  // namespace zv
