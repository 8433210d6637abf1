// The grid's side of its columns: the column collection, the mapper and the attribute words,
// the designer's margin, the current column, default columns and captions, and the layout
// pass every column change ends in (groups, widths, fit, scroll stops, the horizontal bar).
#include "platform/controls/HintWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/detail/GridFreeze.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/FlagScope.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/vision/Designer.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace zv {

void TDBDivoRud::SetColumns(TgpColumns* value) {
  if (value && value != d->Columns.get()) d->Columns->Assign(value);
}

// ---- Mapper and attributes ---------------------------------------------------------------

void TDBDivoRud::SetMapper(TvpCustomFieldMapper* value) {
  if (HandOverMapper(this, d->Mapper, value)) FieldMapChanged();
}

void TDBDivoRud::FieldMapChanged() {
  if (!d->Columns || IsLoading()) return;
  for (int i = 0; i < d->Columns->Count(); ++i) d->Columns->Items(i)->UpdateFieldMap();
}

void TDBDivoRud::CMFieldMapChanged(TMessage& message) {
  FieldMapChanged();
  message.Result = 0;
}

void TDBDivoRud::SetAttrs(const String& value) {
  if (value == d->Attrs) return;
  d->Attrs = value;
  if (d->Columns) d->Columns->UpdateAttrs();
  if (d->Mapper) FieldMapChanged();
}

void TDBDivoRud::AddAttrs(const String& items) {
  String attrs = lioRemoveItems(d->Attrs, items);
  for (std::string_view item : lioSplit(items))
    if (!item.empty()) attrs = lioAdd2(attrs, item);
  SetAttrs(attrs);
}

void TDBDivoRud::RemoveAttrs(const String& items) { SetAttrs(lioRemoveItems(d->Attrs, items)); }

bool TDBDivoRud::HasAttrs(const String& items) const { return lioHasItems(d->Attrs, items); }

// ---- Designer, fit, alignment --------------------------------------------------------------

void TDBDivoRud::SetDesigner(TgpDesigner* value) {
  if (value == d->Designer) return;
  if (d->Designer && !d->Designer->ComponentState().Contains(csDestroying)) d->Designer->RemoveGrid(this);
  d->Designer = value;
  if (value) {
    value->FreeNotification(this);
    value->AddGrid(this);
  }
  LayoutChanged();
}

int TDBDivoRud::ColumnMargin() const { return d->Designer ? d->Designer->ColumnMargin() : 0; }

bool TDBDivoRud::AutoColumnFit() const { return d->Columns->AutoFit(); }

void TDBDivoRud::SetAutoColumnFit(bool value) {
  if (value == d->Columns->AutoFit()) return;
  d->Columns->SetAutoFit(value);
  if (IsLoading()) return;
  d->Columns->DoFullFit();
  Invalidate();
}

void TDBDivoRud::SetVertAlignment(TLayout value) {
  if (value == d->VertAlignment) return;
  d->VertAlignment = value;
  for (int i = 0; i < d->Columns->Count(); ++i) d->Columns->Items(i)->UpdateVisualAttrs();
  Invalidate();
}

void TDBDivoRud::FitColumns() {
  if (!d->Columns->HasGroups()) return;
  d->Columns->DoFit(true, true);
  d->Columns->UpdateScrollStop(false, true);
  Invalidate();
}

// ---- Current column ----------------------------------------------------------------------

void TDBDivoRud::ColumnDestroying(TgpColumn* column) {
  if (column == d->CurrentColumn) d->CurrentColumn = nullptr;
  if (d->TitleTracker) d->TitleTracker->ColumnDestroying(column);
}

// ---- Layout ------------------------------------------------------------------------------

void TDBDivoRud::GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last,
                               int& count) const {
  d->Columns->GetLevelRange(group, actualLevel, first, last, count);
}

void TDBDivoRud::LayoutChanged() {
  if (IsLoading() || !d->Columns || d->Columns->UpdateCount() > 0) return;
  d->Columns->UpdateGroupsInfo();
  d->Columns->UpdateWidthsInfo();
  d->Columns->UpdateSelectable();
  d->Col = d->CurrentColumn ? d->CurrentColumn->Index() : std::min(d->Col, d->Columns->Count() - 1);
  if (!d->CurrentColumn || !d->CurrentColumn->Selectable()) d->Col = d->Columns->GetNearSelectable();
  d->CurrentColumn = d->Col >= 0 ? d->Columns->Items(d->Col) : nullptr;
  d->Columns->DoFullFit();
  UpdateHeights();
  UpdateRows();
  InvalidateGrid();
  // An open editor goes with its cell, or closes when its column left the view.
  if (!d->Action.InProgress()) UpdateEditorPos();
}

void TDBDivoRud::UpdateViewBar(bool force) {
  TScrollInfo info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nPage = 1;
  info.nMax = std::max(d->Columns->ScrollStopCount() - 1, 0);
  info.nPos = d->Columns->HasScrollable() ? d->Columns->FirstGroupInView() - d->Columns->FirstScrollGroup() : 0;
  const bool changed = !d->ViewBarSet || info.nMax != d->ViewBar.nMax || info.nPage != d->ViewBar.nPage ||
                       info.nPos != d->ViewBar.nPos;
  if (!changed && !force) return;
  if (d->ScrollBars != ssHorizontal && d->ScrollBars != ssBoth) {
    info.nMin = 1;
    info.nMax = 1;
    info.nPage = 0;
    info.nPos = 1;
  }
  d->ViewBar = info;
  d->ViewBarSet = true;
  if (HandleAllocated()) SetScrollInfo(Handle(), SB_HORZ, info, PaintingEnabled());
}

void TDBDivoRud::ColumnHeightChanged(TgpColumn*) { HeightsChanged(); }

// ---- Title-state sequence numbers --------------------------------------------------------

void TDBDivoRud::NormalizeSettingID() {
  // The visible sorted columns first, then the hidden ones (they keep their sort for when they
  // show again, after the others); each part in the order of its numbers, unnumbered ones last.
  std::vector<TgpColumn*> sorted;
  for (int i = 0; i < d->Columns->Count(); ++i) {
    TgpColumn* c = d->Columns->Items(i);
    if (c->TitleState() != tsSortedNone)
      sorted.push_back(c);
    else
      c->SetSortID(-1);
  }
  const auto key = [](const TgpColumn* c) {
    return std::pair{!c->Visible(), c->SortID() < 0 ? std::numeric_limits<int>::max() : c->SortID()};
  };
  std::stable_sort(sorted.begin(), sorted.end(), [&](const TgpColumn* a, const TgpColumn* b) { return key(a) < key(b); });
  for (std::size_t k = 0; k < sorted.size(); ++k) sorted[k]->SetSortID(static_cast<int>(k));
  d->TitleStateCounter = static_cast<int>(sorted.size()) - 1;
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
  d->Columns->BeginUpdate();
  try {
    if (clearFirst) d->Columns->Clear();
    for (int i = 0; i < dataSet->FieldCount(); ++i) d->Columns->Add()->SetFieldName(dataSet->Fields()[i]->FieldName());
  } catch (...) {
    d->Columns->EndUpdate();
    throw;
  }
  d->Columns->EndUpdate();
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
  if (d->Mapper) return d->Mapper->GetFieldCaptions(names, d->Attrs, dataSet);
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
    d->Columns->BeginUpdate();
    d->Columns->NormalizeLayout();
    for (int i = 0; i < d->Columns->Count(); ++i) d->Columns->Items(i)->UpdateFields();
    d->Columns->EndUpdate();  // lays out once
  }
  FieldMapChanged();
}

void TDBDivoRud::ColumnsDataSetChanged() {
  if (IsLoading()) return;  // Loaded resolves every column once
  d->Columns->BeginUpdate();
  for (int i = 0; i < d->Columns->Count(); ++i) d->Columns->Items(i)->UpdateFields();
  d->Columns->EndUpdate();
}

void TDBDivoRud::CreateWnd() {
  TCustomControl::CreateWnd();
  d->Columns->SetAvailableWidth(ClientRect().Width());
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
  if (!d->Columns) return;
  d->Columns->SetAvailableWidth(ClientRect().Width());
  if (!d->Columns->HasGroups()) {
    Invalidate();
    return;
  }
  if (IsLoading()) return;
  UpdateRows();
  d->Columns->DoFullFit();
  InvalidateGrid();
}

void TDBDivoRud::Dispatch(TMessage& message) {
  if (message.Msg == CM_FIELDMAPCHANGED) {
    CMFieldMapChanged(message);
    return;
  }
  if (message.Msg == CM_CANCELMODE) CMCancelMode(message);
  // A title click ends with the release; losing the mouse otherwise cancels it. The release
  // itself gives the capture up before MouseUp sees it.
  if (message.Msg == WM_LBUTTONUP) {
    TFlagScope releasing(d->ReleasingButton);
    TCustomControl::Dispatch(message);
    return;
  }
  if (message.Msg == WM_CAPTURECHANGED && !d->ReleasingButton && d->TitleTracker) {
    d->TitleTracker->CancelTitleClick();
    d->TitleTracker->CancelSizing();
  }
  if (message.Msg == CM_DESIGNHITTEST) {
    // At design time the grid keeps the presses on its titles (they set the stored sort) and
    // everything while a title is held down; the form designer takes the rest.
    const TPoint p = LParamToPoint(message.LParam);
    message.Result = d->GridState == gsTitleClick || d->GridState == gsColSizing || PointToCell(p.X, p.Y).Area == gaTitle ||
                             d->TitleTracker->SizingHotSpot(p.X, p.Y) || d->TitleTracker->DragRunning()
                         ? 1
                         : 0;
    return;
  }
  if (message.Msg == CM_CUSTOMIZER) {
    CMCustomizer(message);
    return;
  }
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
  if (component == d->Mapper) SetMapper(nullptr);
  if (component == d->Designer) SetDesigner(nullptr);
  if (d->Columns) d->Columns->Notification(component);
}

}  // namespace zv
