// Dragging records out of the grid: a left press on a cell with DragMode automatic waits until
// the mouse leaves the cell, then starts the host's drag at once (the deferred edit is dropped).
// What a drag over the grid shows and what a drop does are in ColumnDrag.cpp, shared with titles.
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/grid/detail/GridPrivate.h"

namespace zv {

void TDBDivoRud::BeginAutoDrag() {}

bool TgpTitleTracker::DragMayStart(int, int) {
  TDBDivoRud& grid = fGrid;
  TgpColumn* column = grid.HoverColumn();
  if (grid.IsDesigntimeMode() || !column || grid.Hover().Area != gaCell) return false;
  Dragger().RecordDragPending = true;
  fThreshold = grid.CellClientRect(column, grid.Hover().Row, true);
  return true;
}

void TgpTitleTracker::ReleasePending() {
  if (fDragger) fDragger->RecordDragPending = false;
}

bool TgpTitleTracker::DragTrackShown() const { return fDragger && fDragger->TrackShown; }

bool TgpTitleTracker::StartRecordDrag(int x, int y) {
  if (!fDragger || !fDragger->RecordDragPending || PtInRect(fThreshold, TPoint{x, y})) return false;
  fDragger->RecordDragPending = false;
  fDragger->RecordDragStarted = true;
  fGrid.d->EditOnMouseUp = false;
  fGrid.BeginDrag(true);
  return true;
}

}  // namespace zv
