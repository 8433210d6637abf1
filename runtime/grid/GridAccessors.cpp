// The plain reads and writes behind the grid's properties: each answers from the private state
// with no side effect (setters that relayout or repaint live with their concern).
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <limits>

namespace zv {

TDataSet* TDBDivoRud::DataSet() const { return d->DataSet; }
TDataLinkEx* TDBDivoRud::DataLink() const { return d->DataLink.get(); }
TvpBorderStyle TDBDivoRud::BorderStyle() const { return d->BorderStyle; }
TgpColumns* TDBDivoRud::Columns() const { return d->Columns.get(); }
TvpCustomFieldMapper* TDBDivoRud::Mapper() const { return d->Mapper; }
const String& TDBDivoRud::Attrs() const { return d->Attrs; }
TgpDesigner* TDBDivoRud::Designer() const { return d->Designer; }
bool TDBDivoRud::ReadOnly() const { return d->ReadOnly; }
void TDBDivoRud::SetReadOnly(bool value) { d->ReadOnly = value; }
TLayout TDBDivoRud::VertAlignment() const { return d->VertAlignment; }
int TDBDivoRud::Col() const { return d->Col; }
TgpColumn* TDBDivoRud::CurrentColumn() const { return d->CurrentColumn; }
const TScrollInfo& TDBDivoRud::ViewBar() const { return d->ViewBar; }
int TDBDivoRud::TitleStateCounter() const { return d->TitleStateCounter; }
void TDBDivoRud::SetTitleStateCounter(int value) { d->TitleStateCounter = value; }
int TDBDivoRud::NextTitleStateID() {
  // A stored number may have taken the counter to the top: renumbering frees the range.
  if (d->TitleStateCounter == std::numeric_limits<int>::max()) NormalizeSettingID();
  return ++d->TitleStateCounter;
}
TgpInplaceEdit* TDBDivoRud::InplaceEditor() const { return d->InplaceEdit.get(); }
TgpDeleteParams* TDBDivoRud::ParamsDelete() const { return d->ParamsDelete.get(); }
int TDBDivoRud::TitleLines() const { return d->TitleLines; }
int TDBDivoRud::RowLines() const { return d->RowLines; }
int TDBDivoRud::FootLines() const { return d->FootLines; }
bool TDBDivoRud::ShowTitles() const { return d->ShowTitles; }
bool TDBDivoRud::ShowFooters() const { return d->ShowFooters; }
bool TDBDivoRud::ShowEmptyRow() const { return d->ShowEmptyRow; }
int TDBDivoRud::StripStep() const { return d->StripStep; }
TScrollStyle TDBDivoRud::ScrollBars() const { return d->ScrollBars; }
TgpGridVisualOptions TDBDivoRud::OptionsVisual() const { return d->OptionsVisual; }
const TgpGridLayout& TDBDivoRud::Layout() const { return d->Layout; }
int TDBDivoRud::TitleHeight() const { return d->Layout.TitleHeight; }
int TDBDivoRud::RowHeight() const { return d->Layout.RowHeight; }
int TDBDivoRud::FooterHeight() const { return d->Layout.FooterHeight; }
int TDBDivoRud::VisibleRowCount() const { return d->Layout.VisibleRowCount; }
bool TDBDivoRud::DataRowsShown() const { return d->Layout.DataRowsShown; }
int TDBDivoRud::ActiveRow() const { return d->ActiveRow; }
int TDBDivoRud::FreezeCount() const { return d->FreezeCount; }
bool TDBDivoRud::PaintingEnabled() const { return d->FreezeCount == 0; }
const TgpGridHit& TDBDivoRud::Hover() const { return d->Hover; }
TgpColumn* TDBDivoRud::HoverColumn() const { return d->HoverColumn; }
const TgpOverPrevPos& TDBDivoRud::OverPrevPos() const { return d->OverPrevPos; }
const TScrollInfo& TDBDivoRud::RecordBar() const { return d->RecordBar; }
bool TDBDivoRud::AutoScrolling() const { return d->AutoScrollTicks >= 0; }
TgpPaintInfo& TDBDivoRud::PaintInfo() { return *d->PaintInfo; }
TgpPainter& TDBDivoRud::Painter() { return d->Painter; }
TDataSet* TDBDivoRud::PaintDataSet() const { return d->DataSet; }
TgpCursorType TDBDivoRud::CursorType() const { return d->CursorType; }
const String& TDBDivoRud::UniqueFields() const { return d->UniqueFields; }
const String& TDBDivoRud::BookmarkFields() const { return d->BookmarkFields; }
TgpDBParams* TDBDivoRud::ParamsDB() const { return d->ParamsDB.get(); }
TgpCurrentRecShot* TDBDivoRud::CurrentRecShot() const { return d->CurrentRecShot; }
int TDBDivoRud::CurrentRow() const { return d->CurrentRow; }
bool TDBDivoRud::UserActionInProgress() const { return d->Action.InProgress(); }
bool TDBDivoRud::Posting() const { return d->Posting; }
TControl* TDBDivoRud::ToolForm() const { return d->ToolForm; }
bool TDBDivoRud::WantTabs() const { return d->WantTabs; }
void TDBDivoRud::SetWantTabs(bool value) { d->WantTabs = value; }
bool TDBDivoRud::WantReturns() const { return d->WantReturns; }
void TDBDivoRud::SetWantReturns(bool value) { d->WantReturns = value; }
TgpPickupOptions TDBDivoRud::OptionsPickup() const { return d->OptionsPickup; }
void TDBDivoRud::SetOptionsPickup(TgpPickupOptions value) { d->OptionsPickup = value; }
TgpGridEditOptions TDBDivoRud::OptionsEdit() const { return d->OptionsEdit; }
void TDBDivoRud::SetOptionsEdit(TgpGridEditOptions value) { d->OptionsEdit = value; }
bool TDBDivoRud::RowSelect() const { return d->RowSelect; }
void TDBDivoRud::SetRowSelect(bool value) { d->RowSelect = value; }
bool TDBDivoRud::MultiSelect() const { return d->MultiSelect; }
void TDBDivoRud::SetMultiSelect(bool value) {
  if (value == d->MultiSelect) return;
  d->MultiSelect = value;
  // Without multi-selection nothing can be selected, so nothing stays selected.
  if (!value) d->Selection->Clear(true);
}
bool TDBDivoRud::HideSelection() const { return d->HideSelection; }
void TDBDivoRud::SetHideSelection(bool value) {
  if (value == d->HideSelection) return;
  d->HideSelection = value;
  InvalidateRows();
}
void TDBDivoRud::SelectAll() { d->Selection->SelectAll(); }
bool TDBDivoRud::PickupResult() const { return d->PickupResult; }
bool TDBDivoRud::HasFocus() const { return d->HasFocus; }
TgpGridState TDBDivoRud::GridState() const { return d->GridState; }
TgpColumn* TDBDivoRud::ClickedColumn() const { return d->ClickedColumn; }
int TDBDivoRud::PendingCol() const { return d->Action.PendingCol(); }
TgpUserActions TDBDivoRud::PendingActions() const { return d->Action.Pending(); }
TCustomImageList* TDBDivoRud::TitleImages() const { return d->TitleImages; }
TgpSelection& TDBDivoRud::Selection() const { return *d->Selection; }
TgpAutoSearch& TDBDivoRud::AutoSearch() const { return *d->AutoSearch; }
TgpTitleTracker& TDBDivoRud::TitleTracker() const { return *d->TitleTracker; }
bool TDBDivoRud::EditorHiding() const { return d->EditorHiding; }
void TDBDivoRud::SetPosting(bool value) { d->Posting = value; }
void TDBDivoRud::SetCurrentRow(int row) { d->CurrentRow = row; }

}  // namespace zv
