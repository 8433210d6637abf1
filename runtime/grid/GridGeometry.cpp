// Where things are: the client rectangle, group and column rectangles, hit tests and the hover
// state, and invalidation. Every rectangle comes from the grid's TgpGridLayout; invalidation
// is by group rectangle or row band, so that painting works group by group.
#include "platform/controls/WinApi.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>

namespace zv {

TRect TDBDivoRud::GetClientRect() const {
  if (!HandleAllocated()) return {0, 0, Width(), Height()};
  return ClientRect();
}

TRect TDBDivoRud::GetGroupRect(const TgpGroupInfo* group, TgpGridArea area, int row) const {
  return group ? d->Layout.GroupRect(*group, area, row) : TRect{};
}

TRect TDBDivoRud::TitleClientRect(const TgpColumn* column, bool withLines) const {
  return column ? d->Layout.TitleRect(*column, withLines) : TRect{};
}

TRect TDBDivoRud::CellClientRect(const TgpColumn* column, int row, bool withLines) const {
  return column ? d->Layout.CellRect(*column, row, withLines) : TRect{};
}

TRect TDBDivoRud::FooterClientRect(const TgpColumn* column, bool absolute, bool withLines) const {
  return column ? d->Layout.FooterRect(*column, withLines, absolute) : TRect{};
}

bool TDBDivoRud::IsVisible(int columnIndex) const {
  if (columnIndex < 0 || columnIndex >= d->Columns->Count()) return false;
  const TgpColumn* c = d->Columns->Items(columnIndex);
  const TgpGroupInfo* g = c->Group();
  return c->Visible() && g && (g->FixedKind == cfLeft || g->Number >= d->Columns->FirstGroupInView());
}

TgpGridHit TDBDivoRud::PointToCell(int x, int y) const { return d->Layout.PointToCell(*d->Columns, x, y); }

void TDBDivoRud::DoMouseMove(int x, int y) {
  d->OverPrevPos = {d->Hover.Area, d->Hover.Column, d->Hover.Row};
  d->Hover = PointToCell(x, y);
  d->HoverColumn = d->Hover.Area == gaUndefined || d->Hover.Column < 0 ? nullptr : d->Columns->Items(d->Hover.Column);
}

// ---- Invalidation ------------------------------------------------------------------------------

namespace {

void InvalidateBand(HWND window, const TRect& r) {
  if (!r.IsEmpty()) InvalidateRect(window, &r, false);
}

}  // namespace

// The rows first..last as one band, clipped to the rows' area.
TRect TDBDivoRud::RowsRect(int first, int last) const {
  TRect r = d->Layout.RowBand(first);
  r.Bottom = d->Layout.RowBand(last).Bottom;
  r.Bottom = std::min(r.Bottom, d->Layout.FooterTop());
  return r;
}

void TDBDivoRud::InvalidateGrid() {
  if (!PaintingEnabled() || !HandleAllocated()) return;
  Invalidate();
}

void TDBDivoRud::InvalidateRow(int row) {
  if (row < 0 || !PaintingEnabled() || !HandleAllocated() || !d->Columns->HasGroups()) return;
  InvalidateBand(Handle(), RowsRect(row, row));
}

void TDBDivoRud::InvalidateRowBand(int first, int last) {
  if (first < 0 || last < first || !PaintingEnabled() || !HandleAllocated() || !d->Columns->HasGroups()) return;
  InvalidateBand(Handle(), RowsRect(first, last));
}

void TDBDivoRud::InvalidateRows() {
  if (!PaintingEnabled() || !HandleAllocated() || !d->Columns->HasGroups()) return;
  InvalidateBand(Handle(), d->Layout.RowsBand());
}

void TDBDivoRud::InvalidateTitles() {
  if (!PaintingEnabled() || !HandleAllocated() || !d->Columns->HasGroups() || d->Layout.TitleArea <= 0) return;
  InvalidateBand(Handle(), d->Layout.TitleBand());
}

void TDBDivoRud::InvalidateFooters() {
  if (!PaintingEnabled() || !HandleAllocated() || !d->Columns->HasGroups() || d->Layout.FooterArea <= 0) return;
  InvalidateBand(Handle(), d->Layout.FooterBand());
}

namespace {

// The group rectangle of one column in one band, when the column is on screen.
bool ColumnGroupRect(const TDBDivoRud& grid, int index, TgpGridArea area, int row, TRect& r) {
  if (index < 0 || !grid.PaintingEnabled() || !grid.HandleAllocated() || !grid.Columns()->HasGroups()) return false;
  if (!grid.IsVisible(index)) return false;
  const TgpColumn* c = grid.Columns()->Items(index);
  if (!c->Group()->InView) return false;
  r = grid.GetGroupRect(c->Group(), area, row);
  return !r.IsEmpty();
}

}  // namespace

void TDBDivoRud::InvalidateTitle(int index) {
  TRect r;
  if (ColumnGroupRect(*this, index, gaTitle, 0, r)) InvalidateRect(Handle(), &r, false);
}

void TDBDivoRud::InvalidateFooter(int index) {
  TRect r;
  if (ColumnGroupRect(*this, index, gaFooter, 0, r)) InvalidateRect(Handle(), &r, false);
}

void TDBDivoRud::InvalidateCol(int index) {
  TRect r;
  if (ColumnGroupRect(*this, index, gaUndefined, 0, r)) InvalidateRect(Handle(), &r, false);
}

void TDBDivoRud::InvalidateCell(int index, int row) {
  TRect r;
  if (row >= 0 && ColumnGroupRect(*this, index, gaCell, row, r)) InvalidateRect(Handle(), &r, false);
}

}  // namespace zv
