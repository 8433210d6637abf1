// Scrolling: both scroll bars, the scroll messages and the wheel, moving the window's pixels when
// the dataset scrolled by one row, and the timer that scrolls while the mouse is held outside
// the rows.
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "platform/db/RecNoCost.h"
#include "platform/graphics/Region.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>
#include <cstdlib>

namespace zv {

namespace {
constexpr std::uintptr_t kAutoScrollTimer = 1;
constexpr unsigned kAutoScrollPeriod = 25;
}  // namespace

// ---- The vertical bar ------------------------------------------------------------------------

void TDBDivoRud::UpdateRecordBar(bool force) {
  if (!HandleAllocated() || !PaintingEnabled()) return;
  TScrollInfo info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  const bool vertical = d->ScrollBars == ssVertical || d->ScrollBars == ssBoth;
  TDataSet* dataSet = HasActiveDataSet() ? d->DataLink->DataSet() : nullptr;
  if (vertical) info.fMask |= SIF_DISABLENOSCROLL;  // without the bar it is hidden, not disabled
  if (vertical && dataSet && dataSet->IsSequenced()) {
    // A count not taken yet would cost a pass over the rows: the bar starts from the dataset's
    // estimate and settles once something has asked for the count.
    const int estimate = dataSet->RecordCountKnown() ? -1 : dataSet->RecordCountEstimate();
    const int records = estimate >= 0 ? estimate : dataSet->RecordCount();
    info.nMin = 1;
    info.nPage = 1;
    info.nMax = records - d->Layout.RowCount + 1;
    if (records <= d->Layout.RowCount) {
      info.nMax = 1;
      info.nPage = 0;
    }
    // A position that would cost a count (a new order no index serves) leaves the thumb where
    // it was until something asks for it.
    if (dataSet->State() != dsInsert && RecNoKnown(*dataSet))
      info.nPos = std::max(dataSet->RecNo() - d->DataLink->ActiveRecord(), 1);
    else
      info.nPos = std::clamp(d->RecordBarSet ? d->RecordBar.nPos : 1, 1, std::max(info.nMax, 1));
  } else if (vertical && dataSet) {
    info.nMin = 0;
    info.nMax = 4;
    info.nPage = 0;
    info.nPos = dataSet->Bof() ? 0 : dataSet->Eof() ? 4 : 2;
  } else {
    info.nMin = 1;
    info.nMax = 1;
    info.nPage = 0;
    info.nPos = 1;
  }
  const bool changed = !d->RecordBarSet || info.nMin != d->RecordBar.nMin || info.nMax != d->RecordBar.nMax ||
                       info.nPage != d->RecordBar.nPage || info.nPos != d->RecordBar.nPos;
  if (!changed && !force) return;
  d->RecordBar = info;
  d->RecordBarSet = true;
  SetScrollInfo(Handle(), SB_VERT, info, true);
}

// ---- Scroll messages ---------------------------------------------------------------------------

void TDBDivoRud::VertScroll(int code, int pos) {
  if (!HasActiveDataSet()) return;
  TDataSet* dataSet = d->DataLink->DataSet();
  const int active = d->DataLink->ActiveRecord();
  const int rows = d->Layout.RowCount;
  switch (code) {
    case SB_LINEUP: dataSet->MoveBy(-(active + 1)); break;
    case SB_LINEDOWN: dataSet->MoveBy(rows - active); break;
    case SB_PAGEUP: dataSet->MoveBy(-rows); break;
    case SB_PAGEDOWN: dataSet->MoveBy(rows); break;
    case SB_THUMBTRACK:
      if (!dataSet->IsSequenced()) {
        switch (pos) {
          case 0: dataSet->First(); break;
          case 1: dataSet->MoveBy(-rows); break;
          case 3: dataSet->MoveBy(rows); break;
          case 4: dataSet->Last(); break;
          default: return;
        }
      } else {
        const int records = dataSet->RecordCount();
        const int top = dataSet->RecNo() - active;
        if (pos <= 1) {
          dataSet->First();
        } else if (pos >= records) {
          dataSet->Last();
        } else if (pos != top) {
          // Jump to the record, then scroll the window until it is the top row: at most a
          // window's worth of moves, whatever the distance.
          dataSet->SetRecNo(pos);
          const int row = d->DataLink->ActiveRecord();
          if (row > 0) {
            dataSet->MoveBy(rows - 1 - row);
            dataSet->MoveBy(row);
          } else {
            dataSet->MoveBy(rows - 1);
          }
          // Moving up the cursor lands on the wanted record, moving down on the last row.
          if (pos < top) dataSet->MoveBy(-(rows - 1));
        }
      }
      break;
    case SB_TOP: dataSet->First(); break;
    case SB_BOTTOM: dataSet->Last(); break;
    default: break;
  }
}

void TDBDivoRud::WMVScroll(TWMScroll& message) {
  int pos = message.Pos();
  if (message.ScrollCode() == SB_THUMBTRACK && HandleAllocated()) {
    // The message carries 16 bits; the bar knows the whole position.
    TScrollInfo info;
    info.fMask = SIF_TRACKPOS;
    // Only a track position that the message's 16 bits could stand for (clamped or cut) belongs
    // to this drag; a message sent by code keeps its own position.
    if (GetScrollInfo(Handle(), SB_VERT, info)) {
      const int clamped = std::clamp(info.nTrackPos, -32768, 32767);
      if (clamped == pos || (info.nTrackPos & 0xFFFF) == (pos & 0xFFFF)) pos = info.nTrackPos;
    }
  }
  VertScroll(message.ScrollCode(), pos);
  message.Result = 0;
}

void TDBDivoRud::WMHScroll(TWMScroll& message) {
  message.Result = 0;
  if (!d->Columns->HasScrollable()) return;
  const int first = d->Columns->FirstGroupInView();
  int value = first;
  switch (message.ScrollCode()) {
    case SB_LINELEFT:
    case SB_PAGELEFT: value = first - 1; break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT: value = first + 1; break;
    case SB_THUMBPOSITION: value = message.Pos() + first - d->ViewBar.nPos; break;
    case SB_LEFT: value = d->Columns->FirstScrollGroup(); break;
    case SB_RIGHT: value = d->Columns->FirstScrollGroup() + d->Columns->ScrollStopCount() - 1; break;
    default: return;
  }
  if (value == first) return;
  // The cell under the editor slides away: its value is posted first (a rejected one stops the
  // scroll), and an always-shown editor is laid over the cell where it went.
  CloseEdit(feaPost, true);
  d->Columns->SetFirstGroupInView(value);
  d->Columns->UpdateScrollStop(false, false);
  InvalidateGrid();
  UpdateEditorPos();
}

void TDBDivoRud::WMMouseWheel(TWMMouseWheel& message) {
  TCustomControl::WMMouseWheel(message);
  // One record per notch, whatever the delta.
  VertScroll(message.WheelDelta() <= 0 ? SB_LINEDOWN : SB_LINEUP, 0);
  message.Result = 1;
}

// ---- Moving the picture --------------------------------------------------------------------------

void TDBDivoRud::DoScrollGrid(int scrolled, int oldActiveRow) {
  if (!PaintingEnabled() || !HandleAllocated()) return;
  const TgpDesigner* designer = EffectiveDesigner();
  const TgpDsgnUpdateMode mode = designer ? designer->UpdateMode() : dumFull;
  const int rows = d->Layout.RowCount;
  const int rh = d->Layout.RowHeight;
  const int ta = d->Layout.TitleArea;
  const int rb = d->Layout.RowsBottom;
  const TRect clip = RowsRect(0, rows - 1);
  const bool down = scrolled > 0;
  // A window moved by several rows keeps the rows still in view as a one-row move keeps them:
  // the same bands move further, and the rows that came into view are painted.
  const int n = std::abs(scrolled);
  auto scroll = [&](int top, int bottom, int dy) {
    const TRect band{d->Layout.Client.Left, top, d->Layout.Client.Right, bottom};
    ScrollWindowEx(Handle(), 0, dy * n, &band, &clip, nullptr, nullptr, SW_INVALIDATE);
  };
  if (rows >= 5 && n <= rows - 3 && mode == dumSmart) {
    // The row that does not move is painted before the pixels around it do. Whatever else was
    // pending (the new current row) waits and moves with the pixels: painted now, its bounds
    // with that row would take in every row between them.
    TRegion pending;
    GetUpdateRgn(Handle(), &pending, false);
    ValidateRect(Handle(), nullptr);
    InvalidateRow(down ? 0 : rows - 1);
    UpdateWindow(Handle());
    InvalidateRgn(Handle(), &pending, false);
    if (down)
      scroll(ta + (n + 1) * rh, rb - rh, -rh);
    else
      scroll(ta + rh, rb - (n + 1) * rh, rh);
  } else if (rows >= 3 && (n == 1 || n <= (down ? rows - 2 : rows - 3)) && mode == dumSmartScroll) {
    scroll(ta + rh, rb - rh, down ? -rh : rh);
  } else {
    InvalidateRows();
    UpdateWindow(Handle());
    return;
  }
  // The rows that came into view: the n + 1 at the end the view moved towards.
  if (down)
    InvalidateRowBand(rows - 1 - n, rows - 1);
  else
    InvalidateRowBand(0, n);
  const int old = oldActiveRow - scrolled;
  if (old >= 0 && old < rows) InvalidateRow(old);
  UpdateWindow(Handle());
  // A designer may end the grid's last row differently from the rows above it (the standard one
  // stops its vertical lines short of the last bottom line). Pixels moved down into that row were
  // drawn as some other row's: it is painted again, on its own, so that the region painted
  // above does not grow to every row between them.
  if (!down && mode == dumSmartScroll) {
    InvalidateRow(rows - 1);
    UpdateWindow(Handle());
  }
}

// ---- Auto-scroll timer ---------------------------------------------------------------------------

void TDBDivoRud::CreateAutoScroller() {
  if (d->AutoScrollTicks >= 0 || !HandleAllocated()) return;
  SetTimer(Handle(), kAutoScrollTimer, kAutoScrollPeriod);
  d->AutoScrollTicks = 0;
}

void TDBDivoRud::DestroyAutoScroller() {
  if (d->AutoScrollTicks < 0) return;
  if (HandleAllocated()) KillTimer(Handle(), kAutoScrollTimer);
  d->AutoScrollTicks = -1;
}

void TDBDivoRud::AutoScrollTimerProc() {
  if (d->AutoScrollTicks < 0) return;
  const int tick = d->AutoScrollTicks++;
  const TPoint p = ScreenToClient(GetCursorPos());
  const TRect client = GetClientRect();
  int code = -1;
  int distance = client.Top + d->Layout.TitleArea - p.Y;
  if (distance > 0) {
    code = SB_LINEUP;
  } else {
    distance = p.Y - client.Bottom;
    if (distance > 0) code = SB_LINEDOWN;
  }
  if (code < 0) return;
  // Farther from the rows, faster.
  if (distance > 132 || (distance > 82 && tick % 2 == 0) || (distance > 32 && tick % 3 == 0) || tick % 6 == 0)
    Perform(WM_VSCROLL, static_cast<WPARAM>(code), 0);
}

void TDBDivoRud::WMTimer(TWMTimer& message) {
  if (message.TimerID() == kAutoScrollTimer) {
    AutoScrollTimerProc();
    return;
  }
  TCustomControl::WMTimer(message);
}

void TDBDivoRud::WMCancelMode(TMessage& message) {
  DestroyAutoScroller();
  TCustomControl::WMCancelMode(message);
}

}  // namespace zv
