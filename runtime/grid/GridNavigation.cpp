// Moving through the grid: the current column, the one user-action routine every key and click
// goes through, cell-to-cell moves inside groups and levels, and pick-up.
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/detail/GridFreeze.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/ToolFormLink.h"

#include <optional>

namespace zv {

// ---- The current column --------------------------------------------------------------------------

void TDBDivoRud::SetCol(int index) {
  if (index == d->Col) return;
  if (index == -1) {
    const int old = d->Col;
    FireColExiting();
    UpdateSelectedCol(-1);
    InvalidateCol(old);
    if (old != -1 && OnColExit) OnColExit(this, old);
    if (OnColEnter) OnColEnter(this, -1);
    return;
  }
  CheckIndex(index, d->Columns->Count());
  if (!d->Columns->Items(index)->Selectable()) throw EDBDivoRud(Format(SEInvalidSelection.Text(), {index}));
  DoUserActions({}, 0, index);
}

void TDBDivoRud::SetSelectedCol(TgpColumn* column) { SetCol(column ? column->Index() : -1); }

int TDBDivoRud::UpdateSelectedCol(int index) {
  const int old = d->Col;
  d->Col = index;
  d->CurrentColumn = index >= 0 && index < d->Columns->Count() ? d->Columns->Items(index) : nullptr;
  return old;
}

void TDBDivoRud::FireColExiting() {
  if (OnColExiting) OnColExiting(this, d->Col);
}

// ---- The user action -------------------------------------------------------------------------------

void TDBDivoRud::ApplySelectionBits(TgpUserActions bits) {
  if (bits.Contains(uaSelectOld) || bits.Contains(uaSelectNew)) d->Selection->SelectCurrent(true);
  if (bits.Contains(uaDeselectOld)) d->Selection->SelectCurrent(false);
  if (bits.Contains(uaToggle)) d->Selection->ToggleCurrent();
}

// The bits applied to the record of another row, the active record put back afterwards.
void TDBDivoRud::ApplyAt(int row, TgpUserActions bits) {
  if (bits.Empty() || row < 0 || row >= d->DataLink->RecordCount()) return;
  TActiveRecordScope record(*d->DataLink);
  d->DataLink->SetActiveRecord(row);
  ApplySelectionBits(bits);
  record.Restore();
}

void TDBDivoRud::DoUserActions(TgpUserActions actions, int rowDelta, int targetColumn) {
  const int oldCol = d->Col;
  const bool colChanges = targetColumn != d->Col;
  if (colChanges) FireColExiting();
  const bool noRowMove = (actions * uaMoves).Empty();
  const bool toggleHere = noRowMove && actions.Contains(uaToggle);
  const TgpColumn* target =
      targetColumn >= 0 && targetColumn < d->Columns->Count() ? d->Columns->Items(targetColumn) : nullptr;
  const bool outOfView = colChanges && target && !d->Columns->IsColInView(target);
  TgpUserActions pending;
  if (d->MultiSelect) {
    if (d->Selection->Empty()) actions.Exclude(uaClear);
    pending = actions - uaMoves;
  } else {
    actions -= uaSelection;
  }
  // Whatever way the action ends, its pending state is cleared after the freeze ends.
  TgpUserAction::TScope action(d->Action, targetColumn, pending);
  griddetail::TGridFreeze freeze(*this, true,
                             outOfView || !(actions * TgpUserActions{uaFirst, uaLast, uaRange, uaClear}).Empty());
  TDataSet* dataSet = HasActiveDataSet() ? d->DataSet : nullptr;
  if (dataSet && actions.Contains(uaFirst)) {
    dataSet->First();
    if (d->CursorType != gctSensitive) d->CurrentRecShot->Select(false);
  } else if (dataSet && actions.Contains(uaLast)) {
    dataSet->Last();
    if (d->CursorType != gctSensitive) d->CurrentRecShot->Select(false);
  } else if (dataSet && actions.Contains(uaRow)) {
    const int distance = (d->CurrentRow >= 0 ? d->CurrentRow : 0) + rowDelta - d->DataLink->ActiveRecord();
    // A zero move still posts a pending edit but sends no scroll: the selection bits need it.
    if (distance != 0 || dataSet->State() != dsBrowse) dataSet->MoveBy(distance);
    if (distance == 0) DaDataSetScrolled(0);
  } else if (noRowMove && actions.Contains(uaClear)) {
    d->Selection->Clear(true);
  }
  if (noRowMove) {
    if (targetColumn != oldCol) CloseEdit(feaPost, true);
    UpdateSelectedCol(targetColumn);
    if (actions.Contains(uaRange)) d->Selection->AddRange();
  } else if (d->Action.PendingCol() != d->Col) {
    // The dataset stood still (an end reached): no scroll carried the column over.
    UpdateSelectedCol(d->Action.PendingCol());
  }
  if (toggleHere) {
    if (SyncCursors(false)) d->Selection->ToggleCurrent();
    InvalidateRow(d->CurrentRow);
    if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
  }
  const bool changed = d->Col != oldCol;
  if (changed && !outOfView) {
    InvalidateTitle(oldCol);
    InvalidateTitle(d->Col);
    if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
    if (!toggleHere) {
      InvalidateCell(oldCol, d->CurrentRow);
      InvalidateCell(d->Col, d->CurrentRow);
    }
  }
  if (outOfView) d->Columns->UpdateScrollStop(true, false);
  if (freeze.Engaged()) {
    freeze.Release(outOfView);
    if (!outOfView) {
      InvalidateRows();
      UpdateRecordBar(true);
      UpdateViewBar(true);
    }
  }
  if (AlwaysShowEditor()) ActivateEdit(d->CurrentColumn);
  if (changed && OnColEnter) OnColEnter(this, d->Col);
  if (d->Action.SelectionChanged()) SetUserActionInProgress(false);
}

// ---- Cell movement ------------------------------------------------------------------------------

TgpColumn* TDBDivoRud::GetNextAtLevel(const TgpColumn* column) const {
  if (!column || !column->Group()) return nullptr;
  const int level = column->ActualLevel();
  for (int i = column->Index() + 1; i < d->Columns->Count(); ++i) {
    TgpColumn* c = d->Columns->Items(i);
    if (!c->Visible() || !c->Group()) continue;
    if (c->Group() == column->Group()) {
      if (c->ActualLevel() == level) return c;
    } else if (c->ActualLevel() == level || c->Group()->LevelCount <= level) {
      return c;
    }
  }
  return nullptr;
}

TgpColumn* TDBDivoRud::GetPrevAtLevel(const TgpColumn* column) const {
  if (!column || !column->Group()) return nullptr;
  const int level = column->ActualLevel();
  for (int i = column->Index() - 1; i >= 0; --i) {
    TgpColumn* c = d->Columns->Items(i);
    if (!c->Visible() || !c->Group()) continue;
    if (c->Group() == column->Group()) {
      if (c->ActualLevel() == level) return c;
    } else if (c->ActualLevel() == level || c->Group()->LevelCount <= level) {
      return c;
    }
  }
  return nullptr;
}

namespace {

// The rightmost (last) or leftmost (first) selectable column of a group's actual level.
TgpColumn* SelectableOnLevel(const TgpColumns& columns, const TgpGroupInfo* group, int level, bool last) {
  int first = -1, end = -1, count = 0;
  columns.GetLevelRange(group, level, first, end, count);
  if (count == 0) return nullptr;
  for (int k = 0; k <= end - first; ++k) {
    TgpColumn* c = columns.Items(last ? end - k : first + k);
    if (c->Group() == group && c->ActualLevel() == level && c->Selectable()) return c;
  }
  return nullptr;
}

}  // namespace

TgpMovePlan TDBDivoRud::PlanMove(TgpFieldEditAction action, bool shift) const {
  TgpMoveContext context;
  if (HasActiveDataSet()) {
    const TDataSet& dataSet = *d->DataSet;
    context.ActiveRow = d->DataLink->ActiveRecord();
    context.LastRow = d->DataLink->RecordCount() - 1;
    context.Bof = dataSet.Bof();
    context.Eof = dataSet.Eof();
    context.Inserting = dataSet.State() == dsInsert;
    context.Editing = dataSet.State() == dsEdit;
    context.Modified = dataSet.Modified();
    context.AnchorOrder = [this, &dataSet]() -> std::optional<int> {
      if (!d->Selection->HasAnchor()) return std::nullopt;
      return dataSet.CompareBookmarks(dataSet.Bookmark(), d->Selection->Anchor());
    };
  }
  return PlanMove(action, shift, context);
}

TgpMovePlan TDBDivoRud::PlanMove(TgpFieldEditAction action, bool shift, const TgpMoveContext& context) const {
  TgpMovePlan plan;
  if (!d->Columns->HasGroups()) return plan;
  if (action < feaMoveLeft || action > feaNextTab) return plan;
  const bool up = action == feaMoveUp || action == feaPrevTab;
  TgpColumn* current = d->CurrentColumn;
  if (!current) {
    if (action != feaMoveLeft && action != feaMoveRight) {
      plan.Act = true;
      plan.Actions = {uaRow};
      plan.RowDelta = up ? -1 : 1;
    }
    return plan;
  }
  const int active = context.ActiveRow;
  const int lastRow = context.LastRow;
  const bool inserting = context.Inserting;
  // A new record at the end that holds nothing yet: moving on from it would only append again.
  const bool freshAppend = inserting && !context.Modified && (context.Eof || active == lastRow);
  const TgpGroupInfo* group = current->Group();
  TgpColumn* target = current;
  int delta = 0;
  bool recordMove = false;
  switch (action) {
    case feaMoveLeft:
    case feaMoveRight: {
      TgpColumn* c = current;
      do c = action == feaMoveLeft ? GetPrevAtLevel(c) : GetNextAtLevel(c);
      while (c && !c->Selectable());
      if (c) target = c;
      break;
    }
    case feaMoveUp: {
      const int level = current->ActualLevel();
      if (!d->RowSelect && group->LevelCount > 1)
        if (TgpColumn* c = SelectableOnLevel(*d->Columns, group, level == 0 ? group->LevelCount - 1 : level - 1, true))
          target = c;
      if (level == 0 || d->RowSelect) {
        if (active == 0 && context.Bof) return plan;  // nothing above the first record
        recordMove = true;
        // From a record edited at the end the move only posts (or drops an untouched new one).
        const bool editingAtEnd = (inserting && (context.Eof || active == lastRow)) || (context.Editing && context.Eof);
        delta = editingAtEnd ? 0 : -1;
      }
      break;
    }
    case feaMoveDown: {
      const int level = current->ActualLevel();
      const bool lastLevel = level >= group->LevelCount - 1;
      if (!d->RowSelect && group->LevelCount > 1)
        if (TgpColumn* c = SelectableOnLevel(*d->Columns, group, lastLevel ? 0 : level + 1, false)) target = c;
      if (lastLevel || d->RowSelect) {
        if (freshAppend) return plan;
        recordMove = true;
        delta = inserting ? 0 : 1;
      }
      break;
    }
    default: {  // both tabs, across groups and levels in collection order
      TgpColumn* c = current;
      do c = up ? c->LowLevel().PrevVisible : c->LowLevel().NextVisible;
      while (c && !c->Selectable());
      if (c) {
        target = c;
      } else {
        if (!up && freshAppend) return plan;
        delta = up ? -1 : 1;
        target = d->Columns->GetSelectable(up ? d->Columns->GetSelectableCount() - 1 : 0);
      }
      break;
    }
  }
  TgpUserActions actions;
  if (delta != 0 || recordMove) actions.Include(uaRow);
  // At the view's edge the dataset scrolls the rows under the column, which stays.
  if (recordMove && ((active == 0 && delta <= 0) || (active == lastRow && delta >= 0))) target = current;
  if (delta != 0) {
    const std::optional<int> order = shift && context.AnchorOrder ? context.AnchorOrder() : std::nullopt;
    if (!shift) {
      actions.Include(uaClear);
    } else if (order) {
      actions.Include(uaSelectNew);
      actions.Include(delta < 0 ? (*order <= 0 ? uaSelectOld : uaDeselectOld) : (*order < 0 ? uaDeselectOld : uaSelectOld));
    } else {
      actions += {uaSelectOld, uaSelectNew};
      plan.SetAnchor = true;
    }
  }
  if (!d->MultiSelect) actions -= uaSelection;
  plan.Actions = actions;
  plan.RowDelta = delta;
  plan.TargetColumn = target ? target->Index() : -1;
  plan.Act = !actions.Empty() || target != current;
  plan.Complete = true;
  return plan;
}

void TDBDivoRud::SelectCell(TgpFieldEditAction action, bool shift) {
  if (!HasActiveDataSet() || !d->Columns->HasGroups()) return;
  const TgpMovePlan plan = PlanMove(action, shift);
  if (plan.SetAnchor) d->Selection->SetAnchor(d->DataSet->Bookmark());
  if (plan.Act) DoUserActions(plan.Actions, plan.RowDelta, plan.TargetColumn);
  if (!plan.Complete || shift) return;
  const bool tab = action == feaPrevTab || action == feaNextTab;
  if ((action == feaMoveDown || tab) && plan.RowDelta > 0 && HasActiveDataSet() && d->DataSet->Eof() &&
      d->DataSet->State() == dsBrowse)
    InsertRecord(true);
  if (tab) DoQuickEdit(d->CurrentColumn, geoNoQuickEditByTabKey);
}

// ---- Pick-up ----------------------------------------------------------------------------------------

bool TDBDivoRud::DoPickupInt(TgpPickupOption kind, bool hasRecord) {
  d->GridState = gsNormal;
  bool picked = hasRecord && GetHasCurrent() && HasActiveDataSet();
  if (kind == gpoDblClick || kind == gpoClick) picked = picked && d->Hover.Area == gaCell && d->Hover.Row >= 0;
  bool result = false;
  if (kind == gpoDblClick) {
    TControl::DblClick();
    result = true;
  }
  if (d->OptionsPickup.Contains(kind)) {
    PickupDone(picked);
    result = true;
  }
  return result;
}

void TDBDivoRud::DoPickup() { PickupDone(true); }

void TDBDivoRud::PickupDone(bool picked) {
  d->PickupResult = picked;
  if (IvtfToolForm* toolForm = ToolFormValue()) toolForm->tfClosePopup(picked);
  if (OnPickup) OnPickup(this);
}

}  // namespace zv
