// Sizing columns by their edges: the hot zones, the hot-spot test, the tracking line drawn with
// XOR on the grid's device outside painting, the width applied on release, and the cursor shape
// the sizing states ask for.
#include "platform/controls/WinApi.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Region.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>

namespace zv {

namespace {

TgpHotZones ZonesFor(int screenHeight) {
  // Multiply first, then truncate: the zones grow with the screen, never below one pixel.
  TgpHotZones z;
  z.Sizing = std::max(screenHeight * 8 / 640, 1);
  z.BetweenGroups = std::max(screenHeight * 8 / 640, 1);
  z.BetweenLevels = std::max(screenHeight * 4 / 640, 1);
  return z;
}

TgpHotZones& Zones() {
  static TgpHotZones zones = ZonesFor(GetSystemMetrics(SM_CYSCREEN));
  return zones;
}

// Read from the columns: an option set a moment ago counts before the groups are rebuilt.
bool HasFixedWidthColumn(const TgpColumns& columns, const TgpGroupInfo& group) {
  for (int i = group.FirstIndex; i >= 0 && i <= group.LastIndex && i < columns.Count(); ++i)
    if (columns.Items(i)->OptionsBehavior().Contains(cboFixedWidth)) return true;
  return false;
}

// The sizing line's pen, and the pixels a vertical line of it covers: a wide pen's stamp
// reaches right of the path.
constexpr int LineWidth = 2;
TRect LinePixels(int x, int height) { return {x, 0, x + LineWidth, height}; }

int Clamp(const TgpColumnSizer& s, int x) { return std::max(s.LeftBound, std::min(x, s.RightBound)); }

}  // namespace

const TgpHotZones& GridHotZones() { return Zones(); }
void RecomputeGridHotZones(int screenHeight) { Zones() = ZonesFor(screenHeight); }

TgpColumnSizer& ColumnSizer() {
  static TgpColumnSizer sizer;
  return sizer;
}

bool TgpTitleTracker::Sizing() const {
  return fGrid.d->GridState == gsColSizing && ColumnSizer().Grid == &fGrid;
}

bool TgpTitleTracker::SizingHotSpot(int x, int y) {
  TDBDivoRud& grid = fGrid;
  const auto& d = *grid.d;
  if (!d.Columns->HasGroups()) return false;
  TgpColumnSizer& s = ColumnSizer();
  // The sizer is shared: a grid sizing now keeps it.
  if (s.Grid && s.Grid != &grid && s.Grid->d->GridState == gsColSizing) return false;
  const bool design = grid.IsDesigntimeMode();
  const TgpGridBehaviorOptions options = design ? TgpGridBehaviorOptions{} : d.OptionsBehavior;
  const TgpGridLayout& l = d.Layout;
  const int z = GridHotZones().Sizing;
  const int clientWidth = l.Client.Width();
  TgpGridArea area = gaTitle;
  if (d.ShowTitles) {
    if (y >= l.TitleArea) return false;
  } else {
    area = gaCell;
    if (!options.Contains(gboFullHeightSizing)) {
      if (y >= l.TitleArea + l.RowHeight) return false;
      if (!design && !(options.Contains(gboSmartSizing) && x < clientWidth - z - 2)) return false;
    }
  }
  const TgpGridHit left = l.PointToCell(*d.Columns, x - z, y);
  if (left.Area != area || left.Column < 0) return false;
  const TgpGridHit right = l.PointToCell(*d.Columns, x + z, y);
  const bool atClientEdge = x >= clientWidth - z;
  if (right.Area == area && right.Column == left.Column && !atClientEdge) return false;
  TgpColumn* column = d.Columns->Items(left.Column);
  const TgpGroupInfo* group = column->Group();
  if (!group || HasFixedWidthColumn(*d.Columns, *group)) return false;
  const bool endsLine = column->LowLevel().EndsLine;
  if (options.Contains(endsLine ? gboNoGroupSizing : gboNoColumnSizing)) return false;
  const int columnLeft = l.ColumnLeft(*column);
  // Near the client's edge the visible part is what the mouse holds.
  s.LeftBound = atClientEdge ? x + columnLeft - clientWidth : columnLeft;
  s.RightBound = endsLine ? INT_MAX : l.GroupLeft(*group) + group->ContentWidth;
  s.Column = column;
  s.Grid = &grid;
  return true;
}

bool TgpTitleTracker::MouseMove(TShiftState shift, int x, int y) {
  if (DesignDragMove(x, y)) return true;
  TgpGridState& state = fGrid.d->GridState;
  if (state == gsTitleClick) return StartColumnDrag(x, y);
  if (!(shift * TShiftState{ssLeft}).Empty() && StartRecordDrag(x, y)) return true;
  if (state == gsColSizing) {
    if (ColumnSizer().Grid == &fGrid) MoveSizingLine(x);
    return true;
  }
  if (state != gsNormal && state != gsAboutColSizing) return false;
  // A move with a button held belongs to whatever that press began.
  const bool hot = (shift * TShiftState{ssLeft, ssRight, ssMiddle}).Empty() && SizingHotSpot(x, y);
  const TgpGridState next = hot ? gsAboutColSizing : gsNormal;
  if (next != state) {
    state = next;
    UpdateCursor();
  }
  return hot;
}

bool TgpTitleTracker::StartSizing(int x, int y) {
  if (!SizingHotSpot(x, y)) return false;
  TgpColumnSizer& s = ColumnSizer();
  fGrid.d->GridState = gsColSizing;
  s.PressX = x;
  s.Moved = false;
  s.LineX = -1;
  MoveSizingLine(x);
  return true;
}

void TgpTitleTracker::DrawSizingLine(TCanvas& canvas, int x) {
  TPen& pen = *canvas.Pen();
  pen.SetColor(clWhite);
  pen.SetWidth(LineWidth);
  pen.SetStyle(psSolid);
  pen.SetMode(pmXor);
  canvas.MoveTo(x, 0);
  canvas.LineTo(x, fGrid.d->Layout.Client.Height());
}

void TgpTitleTracker::MoveSizingLine(int x) {
  TgpColumnSizer& s = ColumnSizer();
  const int cx = Clamp(s, x);
  if (cx == s.LineX) return;
  if (cx != Clamp(s, s.PressX)) s.Moved = true;
  if (fGrid.HandleAllocated())
    if (const auto dc = GetDC(fGrid.Handle())) {
      // Only the two lines change on screen: the device is clipped to exactly their pixels, so
      // that a move shows no more than two strips as wide as the pen.
      const int h = fGrid.d->Layout.Client.Height();
      TRegion lines(LinePixels(cx, h));
      if (s.LineX >= 0) lines.Unite(LinePixels(s.LineX, h));
      dc->SelectClipRegion(&lines);
      TCanvas canvas(dc.get());
      if (s.LineX >= 0) DrawSizingLine(canvas, s.LineX);
      DrawSizingLine(canvas, cx);
    }
  s.LineX = cx;
}

void TgpTitleTracker::PaintSizingLine(TCanvas& canvas) {
  const TgpColumnSizer& s = ColumnSizer();
  if (!Sizing() || s.LineX < 0) return;
  TPen saved;
  saved.Assign(canvas.Pen());
  DrawSizingLine(canvas, s.LineX);
  canvas.Pen()->Assign(&saved);
}

void TgpTitleTracker::CancelSizing() {
  TgpColumnSizer& s = ColumnSizer();
  if (s.Grid == &fGrid) {
    if (s.LineX >= 0 && fGrid.d->GridState == gsColSizing && fGrid.HandleAllocated())
      if (const auto dc = GetDC(fGrid.Handle())) {
        TCanvas canvas(dc.get());
        DrawSizingLine(canvas, s.LineX);
      }
    s = {};
  }
  TgpGridState& state = fGrid.d->GridState;
  if (state == gsColSizing || state == gsAboutColSizing) {
    state = gsNormal;
    UpdateCursor();
  }
}

void TgpTitleTracker::EndSizing(int x, int) {
  if (!Sizing()) {
    CancelSizing();
    return;
  }
  TgpColumnSizer& s = ColumnSizer();
  const int cx = Clamp(s, x);
  const bool moved = s.Moved || cx != Clamp(s, s.PressX);
  const int width = std::max(cx - s.LeftBound, 0);
  TgpColumn* column = s.Column;
  CancelSizing();
  // A press and release on the edge is no resize, however far the press was from the line.
  if (!column || !moved || !column->Visible() || !column->Group()) return;
  if (column->LowLevel().EndsLine) {
    fGrid.d->Columns->UpdateGroupWidth(column->Group(), 0, width - column->Width());
    fGrid.LayoutChanged();
  } else {
    column->SetWidth(width);
  }
  fGrid.Modified();
}

bool TgpTitleTracker::UpdateCursor() {
  // While the mouse is held by the grid the shape set at the press stays.
  if (fGrid.HandleAllocated() && GetCapture() == fGrid.Handle()) return false;
  switch (fGrid.d->GridState) {
    case gsAboutColSizing:
    case gsColSizing:
      SetCursor(crHSplit);
      fSizingCursor = true;
      return true;
    case gsTitleClick:
      SetCursor(crDefault);
      return true;
    default:
      if (!fSizingCursor) return false;
      fSizingCursor = false;
      SetCursor(crDefault);
      return true;
  }
}

}  // namespace zv
