// Title states and footers: a column's sort and footer states as clicks and the footer menu set
// them, the grid's events around them, the title tracker's clicks, and the one footer menu all
// grids share (the environment's), with the column it was last opened for.
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/WinApi.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/detail/GridTitles.h"
#include "runtime/rtm/InputRoutines.h"

namespace zv {

namespace {

// One menu serves every grid, so the column it was opened for is remembered once, library-wide;
// the column and its grid forget it when they go.
TgpColumn* gFooterMenuColumn = nullptr;

TgpColumnTitleState NextTitleState(TgpColumnTitleState state) {
  return state == tsSortedUp ? tsSortedDown : tsSortedUp;
}

}  // namespace

namespace griddetail {

void ForgetFooterMenuColumn(const TgpColumn* column) {
  if (gFooterMenuColumn == column) gFooterMenuColumn = nullptr;
}

void ForgetFooterMenuGrid(const TDBDivoRud* grid) {
  if (gFooterMenuColumn && gFooterMenuColumn->GetGrid() == grid) gFooterMenuColumn = nullptr;
}

}  // namespace griddetail

// ---- The column's states -------------------------------------------------------------------------

void TgpColumn::SetTitleState(TgpColumnTitleState value, bool exclusive, bool fireEvent) {
  if (value == fTitleState) return;
  if (exclusive)
    if (TgpColumns* columns = GetColumns())
      for (int i = 0; i < columns->Count(); ++i) columns->Items(i)->SetTitleStateField(tsSortedNone);
  SetTitleStateField(value);
  TDBDivoRud* grid = GetGrid();
  if (!grid) return;
  grid->InvalidateTitles();
  if (fireEvent) grid->FireTitleStateChanged(this);
}

void TgpColumn::SetFooterState(TgpColumnFooterState value) {
  if (value == fFooterState) return;
  if (TDBDivoRud* grid = GetGrid())
    grid->FireFooterStateChanged(this, value);
  else
    SetFooterStateField(value);
}

// ---- The grid's side -----------------------------------------------------------------------------

TgpGridBehaviorOptions TDBDivoRud::OptionsBehavior() const { return d->OptionsBehavior; }
void TDBDivoRud::SetOptionsBehavior(TgpGridBehaviorOptions value) { d->OptionsBehavior = value; }

bool TDBDivoRud::CanClickTitle(bool multi, const TgpColumn* column) const {
  if (IsDesigntimeMode()) return true;
  if (!column || column->OptionsBehavior().Contains(cboNoTitleStates)) return false;
  if (d->OptionsBehavior.Contains(gboNoTitleStates)) return false;
  return !(multi && d->OptionsBehavior.Contains(gboNoMultiTitleStates));
}

void TDBDivoRud::FireTitleStateChanged(TgpColumn* column) {
  if (IsLoading()) return;
  if (OnTitleStateChange) OnTitleStateChange(this, column);
}

void TDBDivoRud::FireFooterStateChanged(TgpColumn* column, TgpColumnFooterState state) {
  if (IsLoading() || !column) return;
  // The handler writes FooterText: one repaint when it is done, not one per step.
  column->fNoInvalidate = true;
  try {
    column->SetFooterStateField(state);
    if (OnFooterStateChange) OnFooterStateChange(this, column);
  } catch (...) {
    column->fNoInvalidate = false;
    column->InvalidateFooter();
    throw;
  }
  column->fNoInvalidate = false;
  column->InvalidateFooter();
}

TgpColumn* TDBDivoRud::FooterMenuColumn() { return gFooterMenuColumn; }

void TDBDivoRud::DoPopupFooterMenu(TgpColumn* column, int x, int y) {
  if (!column || !zvEnv) return;
  TzvEnv& env = *zvEnv;
  const TgpColumnFooterStates states = column->FooterStates();
  for (int i = 0; i < TzvEnv::FooterStateCount; ++i) {
    TMenuItem* item = env.GetFooterStateMenu(i);
    item->SetChecked(static_cast<int>(column->FooterState()) == i);
    item->SetEnabled(true);
    item->SetVisible(states.Contains(static_cast<TgpColumnFooterState>(i)));
  }
  bool doPopup = !d->OptionsBehavior.Contains(gboNoFooterStates) &&
                 !column->OptionsBehavior().Contains(cboNoFooterStates) && !states.Empty() &&
                 states != TgpColumnFooterStates{fsNone};
  if (OnFooterMenuPopup) OnFooterMenuPopup(this, x, y, doPopup);
  // The handler may have freed the column (or this grid's columns).
  if (!doPopup || column->GetGrid() != this) return;
  gFooterMenuColumn = column;
  env.pumFooterMenu->SetPopupComponent(this);
  const TPoint p = ClientToScreen({x, y});
  env.pumFooterMenu->Popup(p.X, p.Y);
  ProcessCommandMsg();
}

void TDBDivoRud::FooterMenuClick(TMenuItem* item) {
  TgpColumn* column = gFooterMenuColumn;
  if (!item || !column || column->GetGrid() != this) return;
  if (item->Tag() < 0 || item->Tag() >= TzvEnv::FooterStateCount) return;
  auto state = static_cast<TgpColumnFooterState>(item->Tag());
  // The checked state chosen again switches the footer off.
  if (state == column->FooterState()) state = fsNone;
  column->SetFooterState(state);
}

int TDBDivoRud::PaintPressedTitle() const { return d->TitleTracker ? d->TitleTracker->PressedTitle() : -1; }

void TDBDivoRud::Modified() {
  if (!IsDesigntimeMode()) return;
  TCustomForm* form = GetParentForm(this);
  if (IDesignerHook* designer = form ? form->Designer() : nullptr) designer->Modified();
}

// ---- The title tracker ---------------------------------------------------------------------------

int TgpTitleTracker::PressedTitle() const { return fPressed ? fPressed->Index() : -1; }

bool TgpTitleTracker::StartSizingOrTitleClick(TShiftState, int x, int y) {
  if (StartSizing(x, y)) return true;
  TDBDivoRud& grid = fGrid;
  TgpColumn* column = grid.HoverColumn();
  if (grid.Hover().Area != gaTitle || !column || (!grid.CanClickTitle(false, column) && !grid.CanMoveColumn(column)))
    return false;
  // A record that cannot be posted keeps its edit; the click then never began.
  if (grid.IsRuntimeMode()) grid.PostChanges();
  fPressed = column;
  fThreshold = grid.TitleClientRect(column, true);
  grid.d->GridState = gsTitleClick;
  grid.InvalidateTitle(column->Index());
  if (grid.HandleAllocated() && grid.PaintingEnabled()) UpdateWindow(grid.Handle());
  return true;
}

void TgpTitleTracker::EndTitleClick(TShiftState shift, int x, int y) {
  TDBDivoRud& grid = fGrid;
  TgpColumn* column = fPressed;
  fPressed = nullptr;
  grid.d->GridState = gsNormal;
  grid.InvalidateTitles();
  grid.DoMouseMove(x, y);
  const bool counts = column && grid.Hover().Area == gaTitle && grid.HoverColumn() == column &&
                      grid.CanClickTitle(false, column);
  if (counts) {
    TgpColumnTitleState state = tsSortedNone;
    bool exclusive = false;
    if (!shift.Contains(ssCtrl)) {
      state = NextTitleState(column->TitleState());
      exclusive = !shift.Contains(ssShift) || (!grid.CanClickTitle(true, column) && !grid.IsDesigntimeMode());
    }
    // The state stays as set when the application's handler raises; the grid repaints still.
    try {
      column->SetTitleState(state, exclusive, true);
    } catch (...) {
      grid.Modified();
      if (grid.HandleAllocated() && grid.PaintingEnabled()) UpdateWindow(grid.Handle());
      throw;
    }
    grid.Modified();
  }
  if (grid.HandleAllocated() && grid.PaintingEnabled()) UpdateWindow(grid.Handle());
}

void TgpTitleTracker::CancelTitleClick() {
  if (fGrid.d->GridState != gsTitleClick && !fPressed) return;
  fPressed = nullptr;
  fGrid.d->GridState = gsNormal;
  fGrid.InvalidateTitles();
}

void TgpTitleTracker::ColumnDestroying(TgpColumn* column) {
  if (column == fPressed && !DragRunning()) CancelTitleClick();
  if (column == fPressed) fPressed = nullptr;
  if (column == fDragged) {
    fDragged = nullptr;
    if (fDragger) {
      fDragger->Hit = {};
      fDragger->Restore();
    }
  }
  if (ColumnSizer().Column == column && ColumnSizer().Grid == &fGrid) CancelSizing();
}

void TgpTitleTracker::FooterMenu(TgpColumn* column, int x, int y) { fGrid.DoPopupFooterMenu(column, x, y); }

}  // namespace zv
