// Dragging a title: when a column may move, the start once the mouse leaves the pressed title,
// the hit test of the drop place with its exclusions, restrictions and fixed boundary, the move
// on drop, and the grid's side of the host's drag (start, over, drop, end, cancel) that column
// drags and record drags share. At design time the drag runs inside the grid's own capture.
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <algorithm>

namespace zv {

namespace {

bool GroupHoldsOption(const TgpColumns& columns, const TgpGroupInfo& group, TgpColumnBehaviorOption a,
                      TgpColumnBehaviorOption b) {
  for (int i = group.FirstIndex; i >= 0 && i <= group.LastIndex && i < columns.Count(); ++i) {
    const TgpColumnBehaviorOptions o = columns.Items(i)->OptionsBehavior();
    if (o.Contains(a) || o.Contains(b)) return true;
  }
  return false;
}

bool IsGroupOf(const TgpColumns& columns, const TgpGroupInfo* group) {
  const auto& groups = columns.Groups();
  return std::find(groups.begin(), groups.end(), group) != groups.end();
}

bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }

}  // namespace

// ---- The grid's face -----------------------------------------------------------------------------

bool TDBDivoRud::CanMoveColumn(const TgpColumn* column) const {
  if (IsDesigntimeMode()) return true;
  if (!column) return false;
  const TgpColumnBehaviorOptions o = column->OptionsBehavior();
  if (o.Contains(cboNoDragging) && (o.Contains(cboNoCustomizing) || !d->CustomizerWindow)) return false;
  return !(d->OptionsBehavior.Contains(gboNoColumnMoving) && d->OptionsBehavior.Contains(gboNoColumnGrouping));
}

bool TDBDivoRud::IsHitPoint(int x, int y, int dy, int dx, TgpGridArea area, int& right, int& left) const {
  const TgpGridHit l = PointToCell(x - dx, y - dy);
  const TgpGridHit r = PointToCell(x + dx, y + dy);
  const bool leftIn = l.Area == area && l.Column >= 0;
  const bool rightIn = r.Area == area && r.Column >= 0;
  left = right = -1;
  if (!leftIn && !rightIn) return false;
  if (!leftIn) {
    right = r.Column;
    return true;
  }
  left = l.Column;
  if (!rightIn || r.Row != l.Row) return true;
  right = r.Column;
  return left != right;
}

TgpDropHit TDBDivoRud::GetTitleHitTest(int x, int y, int exclusions, TgpGridArea area) const {
  TgpDropHit result;
  const TgpGridHit over = PointToCell(x, y);
  if (over.Area != area || over.Row != 0) return result;
  const TgpColumns& columns = *d->Columns;
  TgpColumn* hovered = over.Column >= 0 ? columns.Items(over.Column) : nullptr;
  const TgpHotZones& zones = GridHotZones();
  int right = -1, left = -1;
  if (!(exclusions & htxNewLevel) && hovered && IsHitPoint(x, y, zones.BetweenLevels, 0, area, right, left)) {
    result.Result = chtNewLayoutLevel;
    result.Group = hovered->Group();
    result.Level = right >= 0 ? columns.Items(right)->LayoutLevel() : columns.Items(left)->LayoutLevel() + 1;
    return result;
  }
  if (!(exclusions & htxBetweenGroups) && IsHitPoint(x, y, 0, zones.BetweenGroups, area, right, left)) {
    TgpGroupInfo* leftGroup = left >= 0 ? columns.Items(left)->Group() : nullptr;
    TgpGroupInfo* rightGroup = right >= 0 ? columns.Items(right)->Group() : nullptr;
    if (left < 0 || right < 0 || leftGroup != rightGroup) {
      result.Result = chtMovingSingle;
      result.Group = rightGroup;
      return result;
    }
  }
  if (!(exclusions & htxNewIndex) && hovered && IsHitPoint(x, y, 0, hovered->Width() / 3, area, right, left)) {
    TgpGroupInfo* group = hovered->Group();
    if (left >= 0 && columns.Items(left)->Group() != group) left = -1;
    if (right >= 0 && columns.Items(right)->Group() != group) right = -1;
    if (left != right) {
      result.Result = chtNewLayoutIndex;
      result.Group = group;
      result.Level = hovered->LayoutLevel();
      result.Index = right >= 0 ? columns.Items(right)->LayoutIndex() : columns.Items(left)->LayoutIndex() + 1;
    }
  }
  return result;
}

void TDBDivoRud::MoveColumn(TgpColumn* column) { d->TitleTracker->MoveColumnInt(column, false); }
TgpColumn* TDBDivoRud::DraggedColumn() const { return d->TitleTracker->DraggedColumn(); }
const TgpDropHit& TDBDivoRud::LastDropHit() const { return d->TitleTracker->Dragger().Hit; }
bool TDBDivoRud::ColumnDragging() const { return d->TitleTracker->Dragger().ColumnDrag; }
TgpRecShot& TDBDivoRud::HotSpotRecShot() const { return d->TitleTracker->Dragger().HotSpot; }
TDragImageList* TDBDivoRud::GetDragImages() { return nullptr; }

// ---- The tracker's side ------------------------------------------------------------------------------

TgpDragger& TgpTitleTracker::Dragger() {
  if (!fDragger) fDragger = std::make_unique<TgpDragger>(fGrid);
  return *fDragger;
}

bool TgpTitleTracker::DragRunning() const {
  return fDragger && (fDragger->ColumnDrag || fDragger->RecordDragStarted);
}

bool TgpTitleTracker::StartColumnDrag(int x, int y) {
  TDBDivoRud& grid = fGrid;
  if (!fPressed || PtInRect(fThreshold, TPoint{x, y}) || !grid.CanMoveColumn(fPressed)) return false;
  TgpDragger& dragger = Dragger();
  dragger.ColumnDrag = true;
  dragger.Hit = {};
  fDragged = fPressed;
  grid.d->GridState = gsNormal;
  if (grid.IsDesigntimeMode()) {
    TDragObject* object = nullptr;
    grid.DoStartDrag(object);
  } else {
    grid.BeginDrag(true);
  }
  return true;
}

bool TgpTitleTracker::DesignDragMove(int x, int y) {
  if (!fDragger || !fDragger->DesignDrag) return false;
  bool accept = false;
  fGrid.DragOver(&fGrid, x, y, dsDragMove, accept);
  return true;
}

bool TgpTitleTracker::DesignDragEnd(int x, int y) {
  if (!fDragger || !fDragger->DesignDrag) return false;
  // The drop is the grid's own: a failing move still ends the drag before it is reported.
  try {
    fGrid.DragDrop(&fGrid, x, y);
  } catch (...) {
    fGrid.DoEndDrag(&fGrid, x, y);
    throw;
  }
  fGrid.DoEndDrag(&fGrid, x, y);
  return true;
}

void TgpTitleTracker::MoveColumnInt(TgpColumn* column, bool byMouse) {
  TDBDivoRud& grid = fGrid;
  TgpDragger& dragger = Dragger();
  const TgpDropHit hit = dragger.Hit;
  TgpColumns& columns = *grid.d->Columns;
  if (!column || column->GetGrid() != &grid || hit.Result == chtUndefined) return;
  if (hit.Group && !IsGroupOf(columns, hit.Group)) return;
  TgpColumn* target = hit.Group ? columns.Items(hit.Group->FirstIndex) : nullptr;
  const int from = column->Index();
  switch (hit.Result) {
    case chtMovingSingle:
      if (ShiftHeld() || (grid.IsRuntimeMode() && grid.d->OptionsBehavior.Contains(gboNoColumnGrouping)))
        columns.MoveGroup(column, target);
      else
        columns.Outgroup(column, target);
      break;
    case chtNewLayoutLevel:
    case chtNewLayoutIndex: columns.Regroup(column, target, hit.Index, hit.Level); break;
    default: return;
  }
  grid.Modified();
  if (byMouse && column->Index() != from && grid.OnColMoved) grid.OnColMoved(&grid, from, column->Index());
}

// ---- Tracing a title drag ------------------------------------------------------------------------------

void TgpDragger::TraceTitleDrag(int x, int y) {
  TDBDivoRud& grid = Grid;
  const TgpColumns& columns = *grid.Columns();
  const bool runtime = grid.IsRuntimeMode();
  const TgpGridBehaviorOptions options = runtime ? grid.OptionsBehavior() : TgpGridBehaviorOptions{};
  int exclusions = 0;
  if (runtime) {
    if (options.Contains(gboNoColumnGrouping) || ShiftHeld()) exclusions |= htxNewLevel | htxNewIndex;
    if (options.Contains(gboNoColumnMoving)) exclusions |= htxBetweenGroups;
  }
  TgpDropHit hit = grid.GetTitleHitTest(x, y, exclusions, gaTitle);
  const TgpColumn* dragged = grid.DraggedColumn();
  const bool grouping = hit.Result == chtNewLayoutLevel || hit.Result == chtNewLayoutIndex;
  if (runtime && dragged && hit.Result != chtUndefined) {
    const TgpColumnBehaviorOptions o = dragged->OptionsBehavior();
    if (o.Contains(cboNoDragging) || (grouping && (o.Contains(cboFixedWidth) || o.Contains(cboStandalone))) ||
        (options.Contains(gboNoColumnMoving) && !options.Contains(gboNoColumnGrouping) && hit.Group != dragged->Group()) ||
        (grouping && hit.Group && GroupHoldsOption(columns, *hit.Group, cboStandalone, cboFixedWidth)))
      hit = {};
  }
  if (hit.Result != chtUndefined) {
    // Fixed groups stay in front: a column lands only among groups of its own kind.
    const TgpColumnFixed kind = dragged ? dragged->Fixed() : cfNone;
    bool either = false;
    TgpColumnFixed side = cfNone;
    if (!columns.HasFixed()) {
      side = cfNone;
    } else if (!columns.HasScrollable()) {
      side = cfLeft;
    } else if (hit.Result == chtMovingSingle) {
      if (hit.Group && hit.Group->Number == columns.FirstScrollGroup())
        either = true;
      else if (!hit.Group)
        side = columns.Groups().back()->FixedKind;
      else if (hit.Group->Number == 0)
        side = hit.Group->FixedKind;
      else
        side = columns.GetGroupInfo(hit.Group->Number - 1)->FixedKind;
    } else if (hit.Group) {
      side = hit.Group->FixedKind;
    }
    if (!either && side != kind) hit = {};
  }
  Hit = hit;
  switch (hit.Result) {
    case chtNewLayoutLevel: DrawMarkerAtLevel(hit); break;
    case chtNewLayoutIndex: DrawMarkerBetweenCells(hit); break;
    case chtMovingSingle: DrawMarkerBetweenGroups(hit); break;
    default: Restore(); break;
  }
}

void TgpDragger::UpdateHotSpotRecShot(bool clear) {
  const TgpGridHit& hover = Grid.Hover();
  TDataLinkEx* link = Grid.DataLink();
  if (clear || hover.Area != gaCell || !link || !link->Active() || hover.Row >= link->RecordCount()) {
    HotSpot.Init({});
    return;
  }
  TActiveRecordScope record(*link);
  link->SetActiveRecord(hover.Row);
  HotSpot.Init(Grid.DataSet()->Bookmark());
}

// ---- The host's drag -----------------------------------------------------------------------------------

namespace {

// A control on the form of a customizer window any grid has attached.
bool OnCustomizerForm(TObject* source);

}  // namespace

void TDBDivoRud::DoStartDrag(TDragObject*& dragObject) {
  TgpDragger& dragger = d->TitleTracker->Dragger();
  dragger.PrepareMarkers();
  dragger.RecordDragPending = false;
  dragger.RecordDragStarted = true;
  dragger.DesignDrag = IsDesigntimeMode();
  dragger.UpdateHotSpotRecShot(true);
  if (dragger.ColumnDrag) return;
  InvalidateRow(d->CurrentRow);
  TCustomControl::DoStartDrag(dragObject);
}

void TDBDivoRud::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  TgpDragger& dragger = d->TitleTracker->Dragger();
  DoMouseMove(x, y);
  accept = false;
  auto* sourceControl = dynamic_cast<TControl*>(source);
  const bool fromCustomizer =
      d->CustomizerWindow && sourceControl && GetParentForm(sourceControl) == d->CustomizerWindow;
  const bool ours = dragger.ColumnDrag || fromCustomizer;
  auto* sourceGrid = dynamic_cast<TDBDivoRud*>(source);
  const bool sourceColumnDrag = sourceGrid && sourceGrid->ColumnDragging();
  dragger.Accepting = !ours && !sourceColumnDrag && !OnCustomizerForm(source);
  const TgpGridBehaviorOption trackOption = source == this ? gboNoInsideDragTrack : gboNoIncomingDragTrack;
  dragger.TrackShown = dragger.Accepting && state != dsDragLeave &&
                       !(IsRuntimeMode() && d->OptionsBehavior.Contains(trackOption));
  if (source != this) {
    if (state == dsDragEnter) dragger.PrepareMarkers();
    if (state == dsDragLeave) dragger.UnPrepareMarkers();
  }
  if (dragger.TrackShown) dragger.UpdateHotSpotRecShot(false);
  if (fromCustomizer) {
    // The customizer names the column its drag stands for (none for a field not shown yet).
    TgpColumn* column = nullptr;
    if (state == dsDragEnter) {
      column = dynamic_cast<TgpColumn*>(reinterpret_cast<TObject*>(Perform(CM_CUSTOMIZER, gcaGetSel, 0)));
      if (column && column->GetGrid() != this) column = nullptr;
    }
    if (state != dsDragMove) d->TitleTracker->fDragged = column;
  }
  if (ours) {
    if (state == dsDragMove) {
      dragger.TraceTitleDrag(x, y);
      accept = true;
    } else if (state == dsDragLeave) {
      dragger.Restore();
    }
    return;
  }
  TCustomControl::DragOver(source, x, y, state, accept);
  // The drop row follows the mouse.
  const int hovered = d->Hover.Area == gaCell ? d->Hover.Row : -1;
  const int before = d->OverPrevPos.Area == gaCell ? d->OverPrevPos.Row : -1;
  if (state == dsDragEnter) {
    InvalidateRow(d->CurrentRow);
    InvalidateRow(hovered);
  } else if (state == dsDragLeave) {
    InvalidateRow(d->CurrentRow);
    InvalidateRow(before);
  } else if (hovered != before) {
    InvalidateRow(before);
    InvalidateRow(hovered);
  }
}

void TDBDivoRud::DragDrop(TObject* source, int x, int y) {
  TgpDragger& dragger = d->TitleTracker->Dragger();
  // The drop ends the drag over this grid, whatever the drop does.
  const int hovered = d->Hover.Area == gaCell ? d->Hover.Row : -1;
  dragger.Accepting = false;
  dragger.TrackShown = false;
  dragger.Restore();
  if (source != this) InvalidateRow(hovered);
  if (dragger.ColumnDrag) {
    // A move or a handler that fails still ends the drag: the failure goes on to the application
    // alone, with no drag state, arrow or pressed title left behind.
    try {
      d->TitleTracker->MoveColumnInt(d->TitleTracker->DraggedColumn(), true);
    } catch (...) {
      if (!dragger.DesignDrag) DoEndDrag(this, x, y);
      throw;
    }
    return;
  }
  auto* sourceControl = dynamic_cast<TControl*>(source);
  if (d->CustomizerWindow && sourceControl && GetParentForm(sourceControl) == d->CustomizerWindow) {
    // The customizer places the column itself, by the last hit.
    Perform(CM_CUSTOMIZER, gcaDragDrop, 0);
    d->TitleTracker->fDragged = nullptr;
    return;
  }
  TCustomControl::DragDrop(source, x, y);
}

void TDBDivoRud::DoEndDrag(TObject* target, int x, int y) {
  TgpDragger& dragger = d->TitleTracker->Dragger();
  const bool column = dragger.ColumnDrag;
  dragger.ColumnDrag = dragger.RecordDragPending = dragger.RecordDragStarted = false;
  dragger.Accepting = dragger.TrackShown = dragger.DesignDrag = false;
  dragger.UnPrepareMarkers();
  dragger.HotSpot.Init({});
  if (d->Hover.Area == gaCell) InvalidateRow(d->Hover.Row);
  if (column) {
    d->TitleTracker->fDragged = nullptr;
    d->TitleTracker->fPressed = nullptr;
    InvalidateTitles();
    return;
  }
  TCustomControl::DoEndDrag(target, x, y);
}

void TDBDivoRud::DragCanceled() {
  TgpDragger& dragger = d->TitleTracker->Dragger();
  dragger.Accepting = dragger.TrackShown = false;
  dragger.Restore();
  InvalidateRows();
  TCustomControl::DragCanceled();
}

namespace {

bool OnCustomizerForm(TObject* source) {
  auto* control = dynamic_cast<TControl*>(source);
  if (!control) return false;
  const TCustomForm* form = GetParentForm(control);
  return form && IsCustomizerWindow(form);
}

}  // namespace

}  // namespace zv
