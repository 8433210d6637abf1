#include "ValueTable.h"

#include "platform/controls/WinApi.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zovrin {

namespace {

struct TColumn {
  const char* Title;
  int Width;  // the last column takes what is left
  unsigned Align;
};

constexpr TColumn kColumns[] = {
    {"Name", 170, DT_LEFT}, {"Amount", 130, DT_RIGHT}, {"FormatFloat", 140, DT_RIGHT},
    {"Date", 150, DT_LEFT}, {"Share", 0, DT_RIGHT},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));
constexpr int kPadding = 6;

TColor Tint() { return RGB(0xF3, 0xF6, 0xFA); }

}  // namespace

TValueTable::TValueTable(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
  SetColor(clWindow);
  SetTabStop(true);
}

void TValueTable::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_VSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TValueTable::SetRows(std::vector<TValueRow> rows) {
  fRows = std::move(rows);
  fRow = std::clamp(fRow, 0, std::max(RowCount() - 1, 0));
  fTopRow = 0;
  UpdateScrollBar();
  Invalidate();
}

int TValueTable::RowHeight() {
  if (fRowHeight == 0) {
    Canvas()->SetFont(Font());
    TTextMetric tm;
    GetTextMetrics(*Canvas(), tm);
    fRowHeight = tm.tmHeight + 8;
  }
  return fRowHeight;
}

int TValueTable::VisibleRows() { return std::max((ClientHeight() - RowHeight()) / RowHeight(), 1); }

TRect TValueTable::RowRect(int row) {
  const int top = RowHeight() * (1 + row - fTopRow);
  return {0, top, ClientWidth(), top + RowHeight()};
}

void TValueTable::InvalidateRow(int row) {
  if (!HandleAllocated()) return;
  const TRect r = RowRect(row);
  InvalidateRect(Handle(), &r, false);
}

String TValueTable::Cell(const TValueRow& row, int column) const {
  switch (column) {
    case 0: return row.Name;
    case 1: return Format("%.2n", {row.Amount});
    case 2: return FormatFloat("#,##0.00;(#,##0.00)", row.Amount);
    case 3: return FormatDateTime("ddd d mmm yyyy", row.When);
    default: return FormatFloat("0.0 %", row.Share * 100);
  }
}

String TValueTable::RowText(int row) const {
  String text;
  for (int col = 0; col < kColumnCount; ++col) text += (col ? "\t" : "") + Cell(Rows(row), col);
  return text;
}

int TValueTable::FindName(const String& prefix) const {
  const String folded = CaseFold(prefix);
  for (int i = 0; i < RowCount(); ++i)
    if (CaseFold(fRows[static_cast<std::size_t>(i)].Name).rfind(folded, 0) == 0) return i;
  return -1;
}

void TValueTable::Paint() {
  TCanvas& c = *Canvas();
  c.SetFont(Font());
  const TRect clip = c.ClipRect();
  const int rh = RowHeight();
  const int width = ClientWidth();

  // Header.
  int x = 0;
  for (int col = 0; col < kColumnCount; ++col) {
    const int w = kColumns[col].Width ? kColumns[col].Width : std::max(width - x, 0);
    TRect r = Rect(x, 0, x + w, rh);
    DrawEdge(c, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    c.Brush()->SetStyle(bsClear);
    c.Font()->SetStyle({fsBold});
    c.Font()->SetColor(clBtnText);
    InflateRect(r, -kPadding, 0);
    DrawText(c, kColumns[col].Title, r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | kColumns[col].Align);
    c.Font()->SetStyle({});
    x += w;
  }

  // The rows that need painting, and the empty space under the last one.
  const int first = std::max(fTopRow + (clip.Top - rh) / rh, fTopRow);
  const int last = std::min(fTopRow + (clip.Bottom - rh + rh - 1) / rh, RowCount() - 1);
  for (int row = first; row <= last; ++row) {
    const TRect r = RowRect(row);
    const bool selected = row == fRow;
    c.Brush()->SetColor(selected ? clHighlight : (row % 2 ? Tint() : clWindow));
    c.FillRect(r);
    c.Font()->SetColor(selected ? clHighlightText : clWindowText);
    c.Brush()->SetStyle(bsClear);
    x = 0;
    for (int col = 0; col < kColumnCount; ++col) {
      const int w = kColumns[col].Width ? kColumns[col].Width : std::max(width - x, 0);
      TRect cell = Rect(x + kPadding, r.Top, x + w - kPadding, r.Bottom);
      DrawText(c, Cell(fRows[static_cast<std::size_t>(row)], col), cell,
               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | kColumns[col].Align);
      x += w;
    }
    c.Pen()->SetColor(clBtnFace);
    c.MoveTo(0, r.Bottom - 1);
    c.LineTo(width, r.Bottom - 1);
    if (selected && Focused()) DrawFocusRect(c, Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 2));
  }
  const int below = RowRect(RowCount()).Top;
  if (below < clip.Bottom) {
    c.Brush()->SetColor(clWindow);
    c.FillRect(Rect(0, std::max(below, rh), width, ClientHeight()));
  }
}

void TValueTable::SetRow(int row) {
  row = std::clamp(row, 0, std::max(RowCount() - 1, 0));
  if (row == fRow) return;
  InvalidateRow(fRow);
  fRow = row;
  InvalidateRow(fRow);
  if (fRow < fTopRow)
    SetTopRow(fRow);
  else if (fRow >= fTopRow + VisibleRows())
    SetTopRow(fRow - VisibleRows() + 1);
  if (OnSelect) OnSelect(this);
}

void TValueTable::SetTopRow(int row) {
  row = std::clamp(row, 0, std::max(RowCount() - VisibleRows(), 0));
  if (row == fTopRow) return;
  const int dy = (fTopRow - row) * RowHeight();
  fTopRow = row;
  if (HandleAllocated()) {
    // The painted rows move; only the uncovered ones paint again.
    const TRect body = BodyRect();
    ScrollWindowEx(Handle(), 0, dy, &body, &body, nullptr, nullptr, SW_INVALIDATE);
    UpdateScrollBar();
  }
}

void TValueTable::UpdateScrollBar() {
  if (!HandleAllocated()) return;
  TScrollInfo info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = std::max(RowCount() - 1, 0);
  info.nPage = static_cast<unsigned>(VisibleRows());
  info.nPos = fTopRow;
  SetScrollInfo(Handle(), SB_VERT, info, true);
}

void TValueTable::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (CanFocus()) SetFocus();
  if (button == mbLeft && y >= RowHeight()) SetRow(fTopRow + (y - RowHeight()) / RowHeight());
  TCustomControl::MouseDown(button, shift, x, y);
}

void TValueTable::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  switch (key) {
    case VK_UP: SetRow(fRow - 1); break;
    case VK_DOWN: SetRow(fRow + 1); break;
    case VK_PRIOR: SetRow(fRow - VisibleRows()); break;
    case VK_NEXT: SetRow(fRow + VisibleRows()); break;
    case VK_HOME: SetRow(0); break;
    case VK_END: SetRow(RowCount() - 1); break;
    default: return;
  }
  key = 0;
}

bool TValueTable::DoMouseWheelDown(TShiftState shift, TPoint mousePos) {
  if (!TCustomControl::DoMouseWheelDown(shift, mousePos)) SetTopRow(fTopRow + 3);
  return true;
}

bool TValueTable::DoMouseWheelUp(TShiftState shift, TPoint mousePos) {
  if (!TCustomControl::DoMouseWheelUp(shift, mousePos)) SetTopRow(fTopRow - 3);
  return true;
}

void TValueTable::WMVScroll(TWMScroll& message) {
  switch (message.ScrollCode()) {
    case SB_LINEUP: SetTopRow(fTopRow - 1); break;
    case SB_LINEDOWN: SetTopRow(fTopRow + 1); break;
    case SB_PAGEUP: SetTopRow(fTopRow - VisibleRows()); break;
    case SB_PAGEDOWN: SetTopRow(fTopRow + VisibleRows()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      TScrollInfo info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), SB_VERT, info);
      SetTopRow(info.nTrackPos);
      break;
    }
    case SB_TOP: SetTopRow(0); break;
    case SB_BOTTOM: SetTopRow(RowCount()); break;
    default: break;
  }
}

void TValueTable::WMGetDlgCode(TMessage& message) { message.Result = DLGC_WANTARROWS; }

void TValueTable::WMSize(TWMSize& message) {
  TCustomControl::WMSize(message);
  SetTopRow(fTopRow);
  UpdateScrollBar();
}

void TValueTable::WMSetFocus(TWMSetFocus& message) {
  TCustomControl::WMSetFocus(message);
  InvalidateRow(fRow);
}

void TValueTable::WMKillFocus(TWMKillFocus& message) {
  TCustomControl::WMKillFocus(message);
  InvalidateRow(fRow);
}

void TValueTable::CMFontChanged(TMessage& message) {
  fRowHeight = 0;
  TCustomControl::CMFontChanged(message);
  UpdateScrollBar();
}

// --- Status line and heading -------------------------------------------------------------------

TStatusLine::TStatusLine(TComponent* owner) : TGraphicControl(owner) { SetHeight(26); }

void TStatusLine::Paint() {
  TCanvas& c = *Canvas();
  c.SetFont(Font());
  c.Brush()->SetColor(clBtnFace);
  c.FillRect(ClientRect());
  TRect r = Rect(4, 3, Width() - 4, Height() - 3);
  DrawEdge(c, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  InflateRect(r, -6, 0);
  c.Brush()->SetStyle(bsClear);
  DrawText(c, Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

THeading::THeading(TComponent* owner) : TGraphicControl(owner) { SetHeight(40); }

void THeading::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetColor(clBtnFace);
  c.FillRect(ClientRect());
  c.SetFont(Font());
  c.Font()->SetHeight(-18);
  c.Font()->SetStyle({fsBold});
  c.Brush()->SetStyle(bsClear);
  TRect r = Rect(10, 0, Width() - 10, Height() - 4);
  DrawText(c, Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  TRect rule = Rect(10, Height() - 4, Width() - 10, Height() - 2);
  DrawEdge(c, rule, EDGE_ETCHED, BF_TOP);
}

}  // namespace zovrin
