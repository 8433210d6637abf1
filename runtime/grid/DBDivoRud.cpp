#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/detail/GridTitles.h"

#include "platform/classes/Modules.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/map/FieldMap.h"
#include "runtime/vision/Designer.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TDBDivoRud, TCustomControl)

void TDBDivoRud::DeclareProperties(TPropTable<TDBDivoRud>& t) {
  for (const char* name : {"Align", "Color", "ParentColor", "TabStop"}) t.Publish(name);
  t.Prop("BorderStyle", &TDBDivoRud::BorderStyle, &TDBDivoRud::SetBorderStyle).Default(bs3D);
  t.Prop("DataSource", &TDBDivoRud::DataSource, &TDBDivoRud::SetDataSource);
  t.Prop("TitleImages", &TDBDivoRud::TitleImages, &TDBDivoRud::SetTitleImages);
  t.Prop("ParamsDB", &TDBDivoRud::ParamsDB, &TDBDivoRud::SetParamsDB);
  t.Prop("ParamsDelete", &TDBDivoRud::ParamsDelete, &TDBDivoRud::SetParamsDelete);
  t.Prop("ParamsAutoSearch", &TDBDivoRud::ParamsAutoSearch, &TDBDivoRud::SetParamsAutoSearch);
  t.Prop("AutoColumnFit", &TDBDivoRud::AutoColumnFit, &TDBDivoRud::SetAutoColumnFit).Default(false);
  t.Prop("UniqueFields", &TDBDivoRud::UniqueFields, &TDBDivoRud::SetUniqueFields);
  t.Prop("BookmarkFields", &TDBDivoRud::BookmarkFields, &TDBDivoRud::SetBookmarkFields);
  t.Prop("VertAlignment", &TDBDivoRud::VertAlignment, &TDBDivoRud::SetVertAlignment).Default(tlCenter);
  t.Prop("ReadOnly", &TDBDivoRud::ReadOnly, &TDBDivoRud::SetReadOnly).Default(false);
  t.Prop("CursorType", &TDBDivoRud::CursorType, &TDBDivoRud::SetCursorType).Default(gctSensitive);
  t.Prop("TitleLines", &TDBDivoRud::TitleLines, &TDBDivoRud::SetTitleLines).Default(1);
  t.Prop("RowLines", &TDBDivoRud::RowLines, &TDBDivoRud::SetRowLines).Default(1);
  t.Prop("FootLines", &TDBDivoRud::FootLines, &TDBDivoRud::SetFootLines).Default(1);
  t.Prop("ShowTitles", &TDBDivoRud::ShowTitles, &TDBDivoRud::SetShowTitles).Default(true);
  t.Prop("ShowFooters", &TDBDivoRud::ShowFooters, &TDBDivoRud::SetShowFooters).Default(false);
  t.Prop("ShowEmptyRow", &TDBDivoRud::ShowEmptyRow, &TDBDivoRud::SetShowEmptyRow).Default(true);
  t.Prop("StripStep", &TDBDivoRud::StripStep, &TDBDivoRud::SetStripStep).Default(-1);
  t.Prop("ScrollBars", &TDBDivoRud::ScrollBars, &TDBDivoRud::SetScrollBars).Default(ssBoth);
  t.Prop("OptionsVisual", &TDBDivoRud::OptionsVisual, &TDBDivoRud::SetOptionsVisual);
  t.Prop("Designer", &TDBDivoRud::Designer, &TDBDivoRud::SetDesigner);
  t.Prop("Attrs", &TDBDivoRud::Attrs, &TDBDivoRud::SetAttrs);
  t.Prop("Columns", &TDBDivoRud::Columns, &TDBDivoRud::SetColumns);
  t.Prop("Mapper", &TDBDivoRud::Mapper, &TDBDivoRud::SetMapper);
  t.Prop("WantTabs", &TDBDivoRud::WantTabs, &TDBDivoRud::SetWantTabs).Default(true);
  t.Prop("WantReturns", &TDBDivoRud::WantReturns, &TDBDivoRud::SetWantReturns).Default(true);
  t.Prop("OptionsPickup", &TDBDivoRud::OptionsPickup, &TDBDivoRud::SetOptionsPickup)
      .Default(TgpPickupOptions{gpoReturnKey, gpoDblClick});
  t.Publish("PopupMenu");
  t.Prop("OptionsEdit", &TDBDivoRud::OptionsEdit, &TDBDivoRud::SetOptionsEdit);
  t.Prop("OptionsBehavior", &TDBDivoRud::OptionsBehavior, &TDBDivoRud::SetOptionsBehavior);
  t.Event("OnTitleStateChange", &TDBDivoRud::OnTitleStateChange);
  t.Event("OnFooterStateChange", &TDBDivoRud::OnFooterStateChange);
  t.Event("OnFooterMenuPopup", &TDBDivoRud::OnFooterMenuPopup);
  t.Prop("RowSelect", &TDBDivoRud::RowSelect, &TDBDivoRud::SetRowSelect).Default(false);
  t.Prop("MultiSelect", &TDBDivoRud::MultiSelect, &TDBDivoRud::SetMultiSelect).Default(false);
  t.Prop("HideSelection", &TDBDivoRud::HideSelection, &TDBDivoRud::SetHideSelection).Default(true);
  t.Event("OnColEnter", &TDBDivoRud::OnColEnter);
  t.Event("OnColExit", &TDBDivoRud::OnColExit);
  t.Event("OnColExiting", &TDBDivoRud::OnColExiting);
  t.Event("OnClick", &TDBDivoRud::OnClick);
  t.Publish("OnDblClick");
  t.Event("OnPickup", &TDBDivoRud::OnPickup);
  t.Event("OnAction", &TDBDivoRud::OnAction);
  t.Publish("OnMouseEnter");
  t.Publish("OnMouseLeave");
  t.Event("OnSelectionChange", &TDBDivoRud::OnSelectionChange);
  t.Event("OnGetRowAttrs", &TDBDivoRud::OnGetRowAttrs);
  t.Event("OnDrawCell", &TDBDivoRud::OnDrawCell);
  // Editing.
  t.Event("OnInitEdit", &TDBDivoRud::OnInitEdit);
  t.Event("BeforeInsert", &TDBDivoRud::BeforeInsert);
  t.Event("AfterInsert", &TDBDivoRud::AfterInsert);
  t.Event("AfterDelete", &TDBDivoRud::AfterDelete);
  t.Event("BeforeFieldEdit", &TDBDivoRud::BeforeFieldEdit);
  t.Event("OnEditKeyPress", &TDBDivoRud::OnEditKeyPress);
  t.Event("AfterFieldPost", &TDBDivoRud::AfterFieldPost);
}

TDBDivoRud::TDBDivoRud(TComponent* owner)
    : TCustomControl(owner), d(std::make_unique<griddetail::TGridPrivate>()) {
  d->Selection = std::make_unique<TgpSelection>(*this);
  d->AutoSearch = std::make_unique<TgpAutoSearch>(*this);
  d->ParamsAutoSearch = std::make_unique<TgpAutoSearchParams>(this);
  d->TitleTracker = std::make_unique<TgpTitleTracker>(*this);
  d->DataLink = std::make_unique<TDataLinkEx>();
  d->DataLink->OnActiveChanged = [this](TDataLinkEx*) { DaActiveChanged(); };
  d->DataLink->OnDataSetChanged = [this](TDataLinkEx*) { DaDataChanged(); };
  d->DataLink->OnDataSetScrolled = [this](TDataLinkEx*, int distance) { DaDataSetScrolled(distance); };
  d->DataLink->OnFocusControl = [this](TDataLinkEx*, TField*& field) { DaFocusControl(field); };
  d->DataLink->OnLayoutChanged = [this](TDataLinkEx*) { DaLayoutChanged(); };
  d->DataLink->OnRecordChanged = [this](TDataLinkEx*, TField* field) { DaRecordChanged(field); };
  d->DataLink->OnUpdateData = [this](TDataLinkEx*) { DaUpdateData(); };
  d->DataLink->SetVisualControl(true);
  d->Columns = std::make_unique<TgpColumns>(this);
  d->PaintInfo = std::make_unique<TgpPaintInfo>(this);
  d->Painter.PaintInfo = d->PaintInfo.get();
  d->Painter.DataLink = d->DataLink.get();
  InitRecords();
  d->Selection->fCurrent = std::move(d->OwnedCurrentRecShot);
  d->ParamsDelete = std::make_unique<TgpDeleteParams>(this);

  SetShowHint(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(true);
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csDisplayDragImage});
  SetBounds(Left(), Top(), 340, 240);
}

TDBDivoRud::~TDBDivoRud() {
  Destroying();
  griddetail::ForgetFooterMenuGrid(this);
  ForgetCustomizer();
  // The editor is a child window bound to the data source: it goes before the grid's parts.
  d->EditorShown = false;
  d->InplaceEdit.reset();
  if (d->Mapper) d->Mapper->RemoveControl(this);
  if (d->Designer) d->Designer->RemoveGrid(this);
  d->PaintInfo->ClearRowAttrs();
  d->Columns.reset();
  d->DataLink.reset();
}

TDataSource* TDBDivoRud::DataSource() const { return d->DataLink->DataSource(); }

void TDBDivoRud::SetDataSource(TDataSource* value) {
  if (value == d->DataLink->DataSource()) return;
  d->DataLink->SetDataSource(value);
  CacheDataSet();
  if (value) value->FreeNotification(this);
}

void TDBDivoRud::SetDataSet(TDataSet* value) {
  TDataSource* source = DataSource();
  if (!source) return;
  source->SetDataSet(value);
  CacheDataSet();
}

void TDBDivoRud::CacheDataSet() { d->DataSet = d->DataLink->DataSet(); }

void TDBDivoRud::SetBorderStyle(TvpBorderStyle value) {
  if (value == d->BorderStyle) return;
  d->BorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

bool TDBDivoRud::IsLoading() const { return ComponentState().Contains(csLoading); }
bool TDBDivoRud::IsDesigntimeMode() const { return ComponentState().Contains(csDesigning); }

void TDBDivoRud::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_TABSTOP;
  params.WindowClassStyle |= CS_DBLCLKS;
  if (d->ScrollBars == ssVertical || d->ScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  if (d->ScrollBars == ssHorizontal || d->ScrollBars == ssBoth) params.Style |= WS_HSCROLL;
  if (d->BorderStyle == bs3D) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TDBDivoRud::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (d->DataLink && component == d->DataLink->DataSource()) SetDataSource(nullptr);
  if (component == d->ToolForm) d->ToolForm = nullptr;
  if (component == d->CustomizerWindow) ForgetCustomizer();
  TitleImagesNotification(component);
  ColumnsNotification(component);
}

// Forms name the grid by class when they are read back.
ZV_MODULE(zvgrid, {.Name = "zvgrid",
                   .Uses = {"graphics", "controls"},
                   .Initialization = [] { RegisterClasses({TDBDivoRud::StaticClass()}); },
                   .Finalization = [] { UnRegisterClasses({TDBDivoRud::StaticClass()}); }});

// ---- Owned parts -----------------------------------------------------------------------------

void TDBDivoRud::SetSelection(std::unique_ptr<TgpSelection> value) {
  auto old = std::move(d->Selection);
  d->Selection = value ? std::move(value) : std::make_unique<TgpSelection>(*this);
  // The current snapshot moves with the part; the grid's reference stays valid.
  d->Selection->fCurrent = std::move(old->fCurrent);
}

void TDBDivoRud::SetAutoSearch(std::unique_ptr<TgpAutoSearch> value) {
  d->AutoSearch = value ? std::move(value) : std::make_unique<TgpAutoSearch>(*this);
}

TgpAutoSearchParams* TDBDivoRud::ParamsAutoSearch() const { return d->ParamsAutoSearch.get(); }

void TDBDivoRud::SetParamsAutoSearch(TgpAutoSearchParams* value) { d->ParamsAutoSearch->Assign(value); }

void TDBDivoRud::SetTitleTracker(std::unique_ptr<TgpTitleTracker> value) {
  d->TitleTracker = value ? std::move(value) : std::make_unique<TgpTitleTracker>(*this);
}

}  // namespace zv
