// The grid's side of its columns: the column collection, the mapper and the attribute words,
// the designer's margin, the current column, default columns and captions, and the layout
// pass every column change ends in (groups, widths, fit, scroll stops, the horizontal bar).
#include "platform/controls/HintWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridFreeze.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/Designer.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>
#include <vector>

namespace zv {

void TDBDivoRud::SetColumns(TgpColumns* value) {
  if (value && value != fColumns.get()) fColumns->Assign(value);
}

// ---- Mapper and attributes ---------------------------------------------------------------

void TDBDivoRud::SetMapper(TvpCustomFieldMapper* value) {
  if (HandOverMapper(this, fMapper, value)) FieldMapChanged();
}

void TDBDivoRud::FieldMapChanged() {
  if (!fColumns || IsLoading()) return;
  for (int i = 0; i < fColumns->Count(); ++i) fColumns->Items(i)->UpdateFieldMap();
}

void TDBDivoRud::CMFieldMapChanged(TMessage& message) {
  FieldMapChanged();
  message.Result = 0;
}

void TDBDivoRud::SetAttrs(const String& value) {
  if (value == fAttrs) return;
  fAttrs = value;
  if (fColumns) fColumns->UpdateAttrs();
  if (fMapper) FieldMapChanged();
}

void TDBDivoRud::AddAttrs(const String& items) {
  String attrs = lioRemoveItems(fAttrs, items);
  for (std::string_view item : lioSplit(items))
    if (!item.empty()) attrs = lioAdd2(attrs, item);
  SetAttrs(attrs);
}

void TDBDivoRud::RemoveAttrs(const String& items) { SetAttrs(lioRemoveItems(fAttrs, items)); }

bool TDBDivoRud::HasAttrs(const String& items) const { return lioHasItems(fAttrs, items); }

// ---- Designer, fit, alignment --------------------------------------------------------------

void TDBDivoRud::SetDesigner(TgpDesigner* value) {
  if (value == fDesigner) return;
  if (fDesigner && !fDesigner->ComponentState().Contains(csDestroying)) fDesigner->RemoveGrid(this);
  fDesigner = value;
  if (value) {
    value->FreeNotification(this);
    value->AddGrid(this);
  }
  LayoutChanged();
}

int TDBDivoRud::ColumnMargin() const { return fDesigner ? fDesigner->ColumnMargin() : 0; }

bool TDBDivoRud::AutoColumnFit() const { return fColumns->AutoFit(); }

void TDBDivoRud::SetAutoColumnFit(bool value) {
  if (value == fColumns->AutoFit()) return;
  fColumns->SetAutoFit(value);
  if (IsLoading()) return;
  fColumns->DoFullFit();
  Invalidate();
}

void TDBDivoRud::SetVertAlignment(TLayout value) {
  if (value == fVertAlignment) return;
  fVertAlignment = value;
  for (int i = 0; i < fColumns->Count(); ++i) fColumns->Items(i)->UpdateVisualAttrs();
  Invalidate();
}

void TDBDivoRud::FitColumns() {
  if (!fColumns->HasGroups()) return;
  fColumns->DoFit(true, true);
  fColumns->UpdateScrollStop(false, true);
  Invalidate();
}

// ---- Current column ----------------------------------------------------------------------

void TDBDivoRud::ColumnDestroying(TgpColumn* column) {
  if (column == fCurrentColumn) fCurrentColumn = nullptr;
}

// ---- Layout ------------------------------------------------------------------------------

void TDBDivoRud::GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last,
                               int& count) const {
  fColumns->GetLevelRange(group, actualLevel, first, last, count);
}

void TDBDivoRud::LayoutChanged() {
  if (IsLoading() || !fColumns || fColumns->UpdateCount() > 0) return;
  fColumns->UpdateGroupsInfo();
  fColumns->UpdateWidthsInfo();
  fColumns->UpdateSelectable();
  fCol = fCurrentColumn ? fCurrentColumn->Index() : std::min(fCol, fColumns->Count() - 1);
  if (!fCurrentColumn || !fCurrentColumn->Selectable()) fCol = fColumns->GetNearSelectable();
  fCurrentColumn = fCol >= 0 ? fColumns->Items(fCol) : nullptr;
  fColumns->DoFullFit();
  UpdateHeights();
  UpdateRows();
  InvalidateGrid();
  // An open editor goes with its cell, or closes when its column left the view.
  if (!fAction.InProgress()) UpdateEditorPos();
}

void TDBDivoRud::UpdateViewBar(bool force) {
  TScrollInfo info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nPage = 1;
  info.nMax = std::max(fColumns->ScrollStopCount() - 1, 0);
  info.nPos = fColumns->HasScrollable() ? fColumns->FirstGroupInView() - fColumns->FirstScrollGroup() : 0;
  const bool changed = !fViewBarSet || info.nMax != fViewBar.nMax || info.nPage != fViewBar.nPage ||
                       info.nPos != fViewBar.nPos;
  if (!changed && !force) return;
  if (fScrollBars != ssHorizontal && fScrollBars != ssBoth) {
    info.nMin = 1;
    info.nMax = 1;
    info.nPage = 0;
    info.nPos = 1;
  }
  fViewBar = info;
  fViewBarSet = true;
  if (HandleAllocated()) SetScrollInfo(Handle(), SB_HORZ, info, PaintingEnabled());
}

void TDBDivoRud::ColumnHeightChanged(TgpColumn*) { HeightsChanged(); }

// ---- Title-state sequence numbers --------------------------------------------------------

void TDBDivoRud::NormalizeSettingID() {
  std::vector<TgpColumn*> sorted;
  for (int i = 0; i < fColumns->Count(); ++i) {
    TgpColumn* c = fColumns->Items(i);
    if (c->Visible() && c->TitleState() != tsSortedNone) sorted.push_back(c);
  }
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const TgpColumn* a, const TgpColumn* b) { return a->SortID() < b->SortID(); });
  for (std::size_t k = 0; k < sorted.size(); ++k) sorted[k]->SetSortID(static_cast<int>(k));
  fTitleStateCounter = static_cast<int>(sorted.size()) - 1;
}

// ---- Editing hooks the columns fire --------------------------------------------------------

bool TDBDivoRud::FireBeforeFieldEdit(TgpColumn* column) {
  bool doEdit = true;
  if (BeforeFieldEdit) BeforeFieldEdit(this, column, doEdit);
  return doEdit;
}

void TDBDivoRud::FireAfterFieldPost(TgpColumn* column, TgpFieldPostCode postCode, TgpFieldEditAction& action) {
  if (AfterFieldPost) AfterFieldPost(this, column, postCode, action);
}

// ---- Default columns and captions ----------------------------------------------------------

void TDBDivoRud::CreateDefColumns(bool clearFirst) {
  TDataSet* dataSet = DataSet();
  if (!dataSet || !dataSet->Active()) return;
  fColumns->BeginUpdate();
  try {
    if (clearFirst) fColumns->Clear();
    for (int i = 0; i < dataSet->FieldCount(); ++i) fColumns->Add()->SetFieldName(dataSet->Fields()[i]->FieldName());
  } catch (...) {
    fColumns->EndUpdate();
    throw;
  }
  fColumns->EndUpdate();
}

String TDBDivoRud::GetFieldCaptions(const String& fieldNames) {
  TDataSet* dataSet = DataSet();
  String names = fieldNames;
  if (names.empty() && dataSet) {
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      if (i > 0) names += ';';
      names += dataSet->Fields()[i]->FieldName();
    }
  }
  if (fMapper) return fMapper->GetFieldCaptions(names, fAttrs, dataSet);
  if (names.empty()) return {};
  String result = names;
  const auto items = lioSplit(names);
  for (int i = 0; i < static_cast<int>(items.size()); ++i)
    if (TField* field = dataSet ? dataSet->FindField(items[static_cast<std::size_t>(i)]) : nullptr)
      result = lioWrite(result, i, field->DisplayName());
  return result;
}

// ---- Loading, window, messages -------------------------------------------------------------

void TDBDivoRud::Loaded() {
  TCustomControl::Loaded();
  NormalizeSettingID();
  {
    // A stored layout is taken as read and repaired once, here.
    fColumns->BeginUpdate();
    fColumns->NormalizeLayout();
    for (int i = 0; i < fColumns->Count(); ++i) fColumns->Items(i)->UpdateFields();
    fColumns->EndUpdate();  // lays out once
  }
  FieldMapChanged();
}

void TDBDivoRud::ColumnsDataSetChanged() {
  if (IsLoading()) return;  // Loaded resolves every column once
  fColumns->BeginUpdate();
  for (int i = 0; i < fColumns->Count(); ++i) fColumns->Items(i)->UpdateFields();
  fColumns->EndUpdate();
}

void TDBDivoRud::CreateWnd() {
  TCustomControl::CreateWnd();
  fColumns->SetAvailableWidth(ClientRect().Width());
  LayoutChanged();
  // A new window's bars hold the window system's defaults, not what an earlier window (or no
  // window) was given: both are set, whatever was remembered.
  UpdateRecordBar(true);
  UpdateViewBar(true);
}

void TDBDivoRud::WMSize(TWMSize& message) {
  // What the inherited handling sets off (OnResize, aligned children) paints nothing half-sized.
  {
    griddetail::TGridFreeze freeze(*this, false);
    TCustomControl::WMSize(message);
    freeze.Release(false);
  }
  if (!fColumns) return;
  fColumns->SetAvailableWidth(ClientRect().Width());
  if (!fColumns->HasGroups()) {
    Invalidate();
    return;
  }
  if (IsLoading()) return;
  UpdateRows();
  fColumns->DoFullFit();
  InvalidateGrid();
}

void TDBDivoRud::Dispatch(TMessage& message) {
  if (message.Msg == CM_FIELDMAPCHANGED) {
    CMFieldMapChanged(message);
    return;
  }
  if (message.Msg == CM_CANCELMODE) CMCancelMode(message);
  if (message.Msg == CM_HINTSHOW) {
    CMHintShow(message);
    return;
  }
  if (message.Msg == CM_HINTSHOWPAUSE) {
    CMHintShowPause(message);
    return;
  }
  TCustomControl::Dispatch(message);
}

void TDBDivoRud::ColumnsNotification(TComponent* component) {
  if (component == fMapper) SetMapper(nullptr);
  if (component == fDesigner) SetDesigner(nullptr);
  if (fColumns) fColumns->Notification(component);
}

}  // namespace zv
