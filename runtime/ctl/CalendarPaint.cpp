// Painting of the calendar: header, day letters, the page's days with the chosen date, today's
// frame, the days of other months and out of range, and the Today and Clear buttons.

#include "runtime/ctl/Calendar.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FormatSettings.h"
#include "runtime/rtm/ZvStrings.h"

#include <algorithm>
#include <array>
#include <string>

namespace zv {

namespace {

constexpr TColor TodayFrame = static_cast<TColor>(0x000080);

void CenteredText(TCanvas& canvas, const TRect& r, const String& text) {
  const TSize size = canvas.TextExtent(text);
  canvas.TextRect(r, r.Left + (r.Right - r.Left - size.cx) / 2, r.Top + (r.Bottom - r.Top - size.cy) / 2, text);
}

void Arrow(TCanvas& canvas, const TRect& r, bool left, bool enabled) {
  const int w = r.Right - r.Left - 4, h = r.Bottom - r.Top - 4;
  const int half = std::max(1, std::min(w, h) / 2);
  const int cx = r.Left + (r.Right - r.Left) / 2, cy = r.Top + (r.Bottom - r.Top) / 2;
  const TColor color = enabled ? clBlack : clGrayText;
  canvas.Brush()->SetColor(color);
  canvas.Pen()->SetColor(color);
  const int dx = half / 2;
  const std::array<TPoint, 3> triangle =
      left ? std::array<TPoint, 3>{TPoint{cx - dx, cy}, TPoint{cx + dx, cy - half}, TPoint{cx + dx, cy + half}}
           : std::array<TPoint, 3>{TPoint{cx + dx, cy}, TPoint{cx - dx, cy - half}, TPoint{cx - dx, cy + half}};
  canvas.Polygon(triangle);
}

void Button(TCanvas& canvas, const TRect& rect, const String& caption, bool enabled) {
  TRect r = rect;
  DrawFrameControl(canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | (enabled ? 0u : DFCS_INACTIVE));
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(enabled ? clBtnText : clGrayText);
  CenteredText(canvas, rect, caption);
  canvas.Brush()->SetStyle(bsSolid);
}

}  // namespace

void TDevidCalendar::Paint() {
  // Drawn off the screen first and copied in one go, so the days never flicker.
  const TRect client = ClientRect();
  TBitmap buffer;
  buffer.SetSize(client.Right, client.Bottom);
  PaintTo(*buffer.Canvas());
  Canvas()->Draw(0, 0, &buffer);
}

void TDevidCalendar::PaintTo(TCanvas& canvas) {
  const TRect client = ClientRect();
  canvas.Font()->Assign(Font());
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(Color());
  canvas.FillRect(client);

  // Header: a raised panel with the arrows, the month and the year.
  TRect header{0, 0, client.Right, fHeaderHeight};
  canvas.Brush()->SetColor(clBtnFace);
  canvas.FillRect(header);
  DrawEdge(canvas, header, BDR_RAISEDOUTER, BF_RECT);
  Arrow(canvas, PrevArrowRect(), true, fPrevEnabled);
  Arrow(canvas, NextArrowRect(), false, fNextEnabled);
  std::uint16_t y, m, d;
  DecodeDate(fFirstOfMonth, y, m, d);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->SetColor(clBtnText);
  CenteredText(canvas, MonthLabelRect(), FormatSettings().LongMonthStandAloneNames[m - 1]);
  CenteredText(canvas, YearLabelRect(), std::to_string(y));

  // Day letters in bold and the line under them.
  const TFontStyles styles = canvas.Font()->Style();
  canvas.Font()->SetStyle(styles + TFontStyles{fsBold});
  canvas.Font()->SetColor(Font()->Color());
  for (int c = 0; c < 7; ++c) CenteredText(canvas, LetterRect(c), fDayLetters[c]);
  canvas.Font()->SetStyle(styles);
  canvas.Pen()->SetColor(clBlack);
  const int lineY = fHeaderHeight + fCellHeight + 3;
  canvas.MoveTo(6, lineY);
  canvas.LineTo(BodyWidth() - 6, lineY);

  // The days. Tracking shows the day under the pointer as chosen even while no date is.
  const bool showChosen = !fNullDate || fTracking;
  const TDateTime today = zv::Date();
  for (int i = 0; i < 42; ++i) {
    const TRect cell = CellRect(i / 7, i % 7);
    const TDateTime day = fDays[i];
    const TRect mark{cell.Left - fCellWidth / 3, cell.Top, cell.Right + fCellWidth / 3 - 1, cell.Bottom + 1};
    const bool chosen = showChosen && day.Value == fDate.Value;
    if (chosen) {
      canvas.Brush()->SetStyle(bsSolid);
      canvas.Brush()->SetColor(clBtnShadow);
      canvas.Pen()->SetColor(clBtnShadow);
      canvas.Rectangle(mark);
    }
    if (fShowToday && day.Value == today.Value) {
      canvas.Brush()->SetStyle(bsClear);
      canvas.Pen()->SetColor(TodayFrame);
      canvas.Rectangle(mark);
    }
    canvas.Brush()->SetStyle(bsClear);
    std::uint16_t dy, dm, dd;
    DecodeDate(day, dy, dm, dd);
    const String text = std::to_string(dd);
    if (!IsValidDate(day)) {
      canvas.Font()->SetColor(clBtnHighlight);
      CenteredText(canvas, {cell.Left + 1, cell.Top + 1, cell.Right + 1, cell.Bottom + 1}, text);
      canvas.Font()->SetColor(clBtnShadow);
    } else if (chosen) {
      canvas.Font()->SetColor(clHighlightText);
    } else if (day.Value < fFirstOfMonth.Value || day.Value > fLastOfMonth.Value) {
      canvas.Font()->SetColor(clGrayText);
    } else {
      canvas.Font()->SetColor(Font()->Color());
    }
    CenteredText(canvas, cell, text);
  }

  if (fShowToday || fShowClear) {
    const int sepY = CellRect(5, 0).Bottom + 2;
    canvas.Pen()->SetColor(clBlack);
    canvas.MoveTo(6, sepY);
    canvas.LineTo(BodyWidth() - 6, sepY);
    if (fShowToday) Button(canvas, TodayButtonRect(), SToday.Text(), TodayButtonEnabled());
    if (fShowClear) Button(canvas, ClearButtonRect(), SClearAction.Text(), ClearButtonEnabled());
  }
  canvas.Brush()->SetStyle(bsSolid);
}

}  // namespace zv
