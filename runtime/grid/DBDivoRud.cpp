#include "runtime/grid/DBDivoRud.h"

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
    : TCustomControl(owner),
      fSelection(std::make_unique<TgpSelection>(*this)),
      fAutoSearch(std::make_unique<TgpAutoSearch>(*this)),
      fTitleTracker(std::make_unique<TgpTitleTracker>(*this)) {
  fDataLink = std::make_unique<TDataLinkEx>();
  fDataLink->OnActiveChanged = [this](TDataLinkEx*) { DaActiveChanged(); };
  fDataLink->OnDataSetChanged = [this](TDataLinkEx*) { DaDataChanged(); };
  fDataLink->OnDataSetScrolled = [this](TDataLinkEx*, int distance) { DaDataSetScrolled(distance); };
  fDataLink->OnFocusControl = [this](TDataLinkEx*, TField*& field) { DaFocusControl(field); };
  fDataLink->OnLayoutChanged = [this](TDataLinkEx*) { DaLayoutChanged(); };
  fDataLink->OnRecordChanged = [this](TDataLinkEx*, TField* field) { DaRecordChanged(field); };
  fDataLink->OnUpdateData = [this](TDataLinkEx*) { DaUpdateData(); };
  fDataLink->SetVisualControl(true);
  fColumns = std::make_unique<TgpColumns>(this);
  fPaintInfo = std::make_unique<TgpPaintInfo>(this);
  fPainter.PaintInfo = fPaintInfo.get();
  fPainter.DataLink = fDataLink.get();
  InitRecords();
  fParamsDelete = std::make_unique<TgpDeleteParams>(this);

  SetShowHint(true);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(true);
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks, csDisplayDragImage});
  SetBounds(Left(), Top(), 340, 240);
}

TDBDivoRud::~TDBDivoRud() {
  Destroying();
  // The editor is a child window bound to the data source: it goes before the grid's parts.
  fEditorShown = false;
  fInplaceEdit.reset();
  if (fMapper) fMapper->RemoveControl(this);
  if (fDesigner) fDesigner->RemoveGrid(this);
  fPaintInfo->ClearRowAttrs();
  fColumns.reset();
  fDataLink.reset();
}

TDataSource* TDBDivoRud::DataSource() const { return fDataLink->DataSource(); }

void TDBDivoRud::SetDataSource(TDataSource* value) {
  if (value == fDataLink->DataSource()) return;
  fDataLink->SetDataSource(value);
  CacheDataSet();
  if (value) value->FreeNotification(this);
}

void TDBDivoRud::SetDataSet(TDataSet* value) {
  TDataSource* source = DataSource();
  if (!source) return;
  source->SetDataSet(value);
  CacheDataSet();
}

void TDBDivoRud::CacheDataSet() { fDataSet = fDataLink->DataSet(); }

void TDBDivoRud::SetBorderStyle(TvpBorderStyle value) {
  if (value == fBorderStyle) return;
  fBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

bool TDBDivoRud::IsLoading() const { return ComponentState().Contains(csLoading); }
bool TDBDivoRud::IsDesigntimeMode() const { return ComponentState().Contains(csDesigning); }

void TDBDivoRud::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style |= WS_TABSTOP;
  params.WindowClassStyle |= CS_DBLCLKS;
  if (fScrollBars == ssVertical || fScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  if (fScrollBars == ssHorizontal || fScrollBars == ssBoth) params.Style |= WS_HSCROLL;
  if (fBorderStyle == bs3D) {
    params.Style &= ~WS_BORDER;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TDBDivoRud::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (fDataLink && component == fDataLink->DataSource()) SetDataSource(nullptr);
  if (component == fToolForm) fToolForm = nullptr;
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
  fSelection = value ? std::move(value) : std::make_unique<TgpSelection>(*this);
}

void TDBDivoRud::SetAutoSearch(std::unique_ptr<TgpAutoSearch> value) {
  fAutoSearch = value ? std::move(value) : std::make_unique<TgpAutoSearch>(*this);
}

void TDBDivoRud::SetTitleTracker(std::unique_ptr<TgpTitleTracker> value) {
  fTitleTracker = value ? std::move(value) : std::make_unique<TgpTitleTracker>(*this);
}

}  // namespace zv
