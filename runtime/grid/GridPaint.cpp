// Painting: the paint request the grid fills from its layout and the clip rectangle (with the
// plan of the columns to paint), the row attributes of the rows to paint, and the columns'
// titles, footers and cells the designer has drawn through IgpPaintGrid.
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/graphics/Region.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>

namespace zv {

// ---- Paint request ------------------------------------------------------------------------------

namespace {

// The update region's rectangles as horizontal bands widened to whole rows (the titles and the
// footers each one band), bands that touch merged: each is painted once, nothing between them.
std::vector<TRect> PaintBands(TCanvas& canvas, const TRect& bounds, const TgpGridLayout& l) {
  const TRegion* region = canvas.Handle().ClipRegion();
  if (!region || region->Rects().size() < 2 || l.RowHeight <= 0) return {bounds};
  const TPoint origin = canvas.Handle().Origin();
  std::vector<TRect> bands;
  for (TRect r : region->Rects()) {
    OffsetRect(r, -origin.X, -origin.Y);
    if (!IntersectRect(r, r, bounds)) continue;
    bands.push_back(l.WholeRows(r));
  }
  std::sort(bands.begin(), bands.end(), [](const TRect& a, const TRect& b) { return a.Top < b.Top; });
  std::vector<TRect> merged;
  for (const TRect& b : bands) {
    if (!merged.empty() && b.Top <= merged.back().Bottom) {
      TRect& m = merged.back();
      m = TRect{std::min(m.Left, b.Left), m.Top, std::max(m.Right, b.Right), std::max(m.Bottom, b.Bottom)};
    } else {
      merged.push_back(b);
    }
  }
  // Clipped back to what is to be painted; a single band is the clip itself.
  for (TRect& m : merged) IntersectRect(m, m, bounds);
  if (merged.size() <= 1) return {bounds};
  return merged;
}

}  // namespace

void TDBDivoRud::Paint() {
  if (!PaintingEnabled() || IsLoading()) return;
  TCanvas* canvas = Canvas();
  const TRect clip = canvas->ClipRect();
  if (clip.IsEmpty()) return;
  // A sizing line goes back over whatever this paints, whichever way it returns.
  struct TSizingLineLast {
    TDBDivoRud& grid;
    TCanvas& canvas;
    ~TSizingLineLast() { grid.d->TitleTracker->PaintSizingLine(canvas); }
  } sizingLineLast{*this, *canvas};
  TgpDesigner* designer = EffectiveDesigner();
  if (!d->Columns->HasGroups() || !designer) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(clip);
    ResolveCellLook(griddetail::CellLookSources(*this, designer, nullptr), canvas->Font());
    return;
  }
  // The parts of the update region far apart (the rows a scroll uncovered at both ends) are
  // painted each on its own: one paint of their bounds would draw every row between them again.
  const std::vector<TRect> bands = PaintBands(*canvas, clip, d->Layout);
  if (bands.size() == 1) return PaintBand(*canvas, clip);
  for (const TRect& band : bands) {
    const int saved = SaveDC(*canvas);
    IntersectClipRect(*canvas, band.Left, band.Top, band.Right, band.Bottom);
    try {
      PaintBand(*canvas, band);
    } catch (...) {
      RestoreDC(*canvas, saved);
      throw;
    }
    RestoreDC(*canvas, saved);
  }
}

// One band of the clip: the groups and rows it crosses, handed to the designer.
void TDBDivoRud::PaintBand(TCanvas& canvas, const TRect& clip) {
  TgpPaintInfo& info = *d->PaintInfo;
  info.Canvas = &canvas;
  info.Rect = clip;
  info.Color = Color();
  info.Buffered = true;
  // The groups the clip crosses; its left edge moves to the first one's.
  info.FirstGroup = -1;
  info.LastGroup = -1;
  int firstLeft = 0;
  for (const TgpGroupInfo* g : d->Columns->Groups()) {
    const TRect r = d->Layout.GroupRect(*g, gaUndefined, 0);
    if (!g->InView || r.Left >= clip.Right || r.Right <= clip.Left) continue;
    if (info.FirstGroup < 0) {
      info.FirstGroup = g->Number;
      firstLeft = r.Left;
    }
    info.LastGroup = g->Number;
  }
  if (info.FirstGroup < 0) {
    // Right of the last group: background only.
    canvas.Brush()->SetColor(Color());
    canvas.Brush()->SetStyle(bsSolid);
    canvas.FillRect(clip);
    return;
  }
  info.Rect.Left = std::min(clip.Left, firstLeft);
  // The bands the clip crosses.
  info.Areas = {};
  info.FirstRow = info.LastRow = -1;
  const TgpGridLayout& l = d->Layout;
  if (clip.Top < l.TitleArea) {
    info.Areas.Include(gaTitle);
    info.Rect.Top = 0;
  }
  if (const TgpGridLayout::TRowSpan rows = l.RowsIn(clip.Top, clip.Bottom); rows.First >= 0) {
    info.Areas.Include(gaCell);
    info.FirstRow = rows.First;
    info.LastRow = rows.Last;
    if (!info.Areas.Contains(gaTitle)) info.Rect.Top = l.RowBand(rows.First).Top;
  }
  if (l.FooterArea > 0 && clip.Bottom > l.FooterTop()) {
    info.Areas.Include(gaFooter);
    info.Rect.Top = std::min(info.Rect.Top, l.FooterTop());
  }
  HandOver(info);
}

// Row attributes, the designer, and the active record put back whatever happens.
void TDBDivoRud::HandOver(TgpPaintInfo& info) {
  d->Layout.Plan(*d->Columns, info.FirstGroup, info.LastGroup, info);
  info.PressedTitle = PaintPressedTitle();
  info.Font = Font();
  info.Groups = std::span<TgpGroupInfo* const>(d->Columns->Groups().data(), d->Columns->Groups().size());
  info.DataLink = d->DataLink.get();
  struct TCanvasRelease {
    TgpPaintInfo& info;
    ~TCanvasRelease() { info.Canvas = nullptr; }
  } release{info};
  TActiveRecordScope record(*d->DataLink);
  if (d->DataLink->Active() && info.Areas.Contains(gaCell)) InitRowAttrs(info.FirstRow, info.LastRow);
  EffectiveDesigner()->PaintToScreen(this, info);
  record.Restore();
}

void TDBDivoRud::DrawGrid(TCanvas* canvas, TgpGridAreas areas, int firstColumn, int lastColumn, int firstRow,
                          int lastRow, int width, int height) {
  if (!canvas || !d->Columns->HasGroups() || !EffectiveDesigner()) return;
  const TgpColumn* first = d->Columns->Items(firstColumn);
  const TgpColumn* last = d->Columns->Items(lastColumn);
  if (!first->Group() || !last->Group()) return;
  TgpPaintInfo& info = *d->PaintInfo;
  info.Canvas = canvas;
  info.Areas = areas;
  info.Color = Color();
  info.Buffered = false;
  info.FirstGroup = first->Group()->Number;
  info.LastGroup = last->Group()->Number;
  info.FirstRow = firstRow;
  info.LastRow = lastRow;
  TRect r;
  r.Left = d->Layout.ColumnLeft(*first);
  // Titles start the picture at the band's top; cells alone start at the first column's level.
  if (areas.Contains(gaTitle))
    r.Top = 0;
  else
    r.Top = d->Layout.RowBand(firstRow).Top +
            d->Layout.LevelTop(gaCell, first->Group()->LevelCount, std::max(first->ActualLevel(), 0));
  r.Right = r.Left + width;
  r.Bottom = r.Top + height;
  info.Rect = r;
  HandOver(info);
}

// ---- Row attributes -------------------------------------------------------------------------------

void TDBDivoRud::InitRowAttrs(int firstRow, int lastRow) {
  if (!d->DataLink->Active() || firstRow < 0) return;
  TgpPaintInfo& info = *d->PaintInfo;
  TgpDesigner* designer = EffectiveDesigner();
  TDataSet* dataSet = d->DataLink->DataSet();
  const bool focused = Focused();
  const int current = CurrentRow();
  const int currentCol = d->CurrentColumn ? d->CurrentColumn->Index() : -1;
  TgpRowLookSources look;
  look.Designer = designer;
  look.SelectionEmpty = d->Selection->Empty();
  look.HideSelection = d->HideSelection;
  look.DragTrack = d->TitleTracker->DragTrackShown();
  lastRow = std::min(lastRow, info.RowAttrsCount() - 1);
  for (int row = firstRow; row <= lastRow; ++row) {
    d->DataLink->SetActiveRecord(row);
    TgpRowAttrs& a = info.GetRowAttrs(row);
    a.Row = row;
    a.Reset();
    if (d->StripStep != -1 && dataSet->RecNo() > 0) a.StripIndex = ((dataSet->RecNo() - 1) % d->StripStep) + 1;
    a.Current = row == current;
    if (a.Current) a.Focused = focused;
    if (d->Hover.Area == gaCell && d->Hover.Row == row) {
      a.Tracked = true;
      if (TgpCellAttrs* cell = a.GetCellAttr(d->Hover.Column)) cell->Tracked = true;
    }
    // Asked per row only when something is selected: one look-up of the row's bookmark bytes.
    a.Selected = !look.SelectionEmpty && d->Selection->RecordSelected();
    TgpCellAttrs* cell = nullptr;
    if (a.Current && designer && currentCol >= 0 && (cell = a.GetCellAttr(currentCol))) {
      cell->Current = true;
      cell->Focused = a.Focused;
    }
    ResolveRowLook(look, a, cell);
    if (OnGetRowAttrs) OnGetRowAttrs(this, a);
  }
}

// ---- IgpPaintGrid -----------------------------------------------------------------------------------

int TDBDivoRud::PaintColumnCount() const { return d->Columns ? d->Columns->Count() : 0; }

TgpCellAttrs* TDBDivoRud::ColumnCellAttrs(int columnIndex, int row) {
  if (!d->Columns || columnIndex < 0 || columnIndex >= d->Columns->Count()) return nullptr;
  return d->Columns->Items(columnIndex)->CellAttrs(row);
}

int TDBDivoRud::ColumnIndexOfField(const String& fieldName) const {
  const TgpColumn* c = d->Columns ? d->Columns->ByField(fieldName) : nullptr;
  return c ? c->Index() : -1;
}

void TDBDivoRud::ResizeColumnCellAttrs(int rowCount) {
  if (!d->Columns) return;
  for (int i = 0; i < d->Columns->Count(); ++i) d->Columns->Items(i)->SetCellAttrsCount(rowCount);
}

void TDBDivoRud::ClearColumnCellAttrs() { ResizeColumnCellAttrs(0); }

void TDBDivoRud::PaintColumnFooter(const TgpPaintColumn& column, TCanvas& canvas) {
  d->Columns->Items(column.Index)->DrawFooterIn(canvas, column.Footer);
}

// The aggregate's marker, "=" and the text (SUM=1250); the text alone without a marker.
String TDBDivoRud::FooterDisplayText(const TgpColumn& column) const {
  const String marker = column.FooterState() == fsNone || column.OptionsVisual().Contains(cvoNoFooterMarker)
                            ? String()
                            : lioRead(SFooterStateMarkers.Text(), static_cast<int>(column.FooterState()));
  return marker.empty() ? column.FooterText() : marker + "=" + column.FooterText();
}

void TDBDivoRud::PaintColumnRecords(const TgpPaintInfo& info, const TgpPaintColumn& column, TCanvas& canvas) {
  TgpColumn* c = d->Columns->Items(column.Index);
  TvpFieldVision* vision = c->CurVision();
  if (info.FirstRow < 0 || !c->Field()) return;
  TgpPainter& p = d->Painter;
  TgpDesigner* designer = EffectiveDesigner();
  p.Canvas = &canvas;
  p.ColumnIndex = column.Index;
  p.RowHeight = info.RowHeight;
  p.CellRect = info.CellRect(column, info.FirstRow, false);
  p.ClientRect = designer ? designer->CellMargins()->Shrink(p.CellRect) : p.CellRect;
  p.Row = info.FirstRow;
  p.LastRow = info.LastRow;
  ResolveCellLook(griddetail::CellLookSources(*this, designer, c), &p.Font);
  p.EndEllipsis = !d->OptionsVisual.Contains(gvoNoEndEllipsis);
  p.WordWrap = c->OptionsVisual().Contains(cvoWordWrap);
  p.NoFocusRect = false;
  p.HasOwnerDraw = c->OptionsVisual().Contains(cvoOwnerDraw) && OnDrawCell;
  if (p.HasOwnerDraw && !p.OwnerDraw) p.OwnerDraw = [this](TgpPainter& painter) {
    if (OnDrawCell) OnDrawCell(this, d->Columns->Items(painter.ColumnIndex), painter);
  };
  if (vision) {
    vision->DrawRecords(*c->FieldList(), p);
    return;
  }
  // No vision at all (no default pack): the field's display text, as a plain text vision would.
  canvas.Brush()->SetStyle(bsClear);
  p.Init(*c->FieldList());
  const TAlignment alignment = c->Field()->Alignment();
  while (p.Prepare()) {
    bool unreadable = false;
    p.Text = StoredValueText(*c->Field(), true, &unreadable);
    if (unreadable) p.MarkUnreadable();
    if (p.HasOwnerDraw && p.OwnerDraw) p.OwnerDraw(p);
    if (p.DefaultDrawing) p.DrawText(p.Text, alignment, tlaDefault, 0, 0);
    p.Next();
  }
}

}  // namespace zv

namespace zv {

// The grid paints every pixel of what it is asked to; erasing first would only flicker.
void TDBDivoRud::WMEraseBkgnd(TWMEraseBkgnd& message) { message.Result = 1; }

void TDBDivoRud::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  if (IsLoading()) return;
  UpdateHeights();
  InvalidateGrid();
}

}  // namespace zv

namespace zv {

// Borders after bs3D are the library's: their room comes off the client area, and they are
// drawn after the system's frame (scroll bars included).
void TDBDivoRud::WMNCCalcSize(TWMNCCalcSize& message) {
  TCustomControl::WMNCCalcSize(message);
  if (d->BorderStyle > bs3D)
    if (TNCCalcSizeParams* params = message.CalcSize_Params()) CalcBorderSizeEx(d->BorderStyle, params->rgrc[0]);
}

void TDBDivoRud::WMNCPaint(TWMNCPaint& message) {
  TCustomControl::WMNCPaint(message);
  if (d->BorderStyle > bs3D) vprDrawBorderEx(d->BorderStyle, *this, false);
}

}  // namespace zv
