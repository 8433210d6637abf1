// The grid's state on screen: the line counts and shown bands, the heights of bands and levels,
// the rows in view and the data link's window, the metrics pass every setter ends in, and the
// freeze counter that batches updates.
#include "platform/db/DataSet.h"
#include "platform/db/RecNoCost.h"
#include "platform/rtl/Format.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>

namespace zv {

TgpDesigner* TDBDivoRud::EffectiveDesigner() const { return d->Designer ? d->Designer : DefaultDesigner(); }

// ---- Properties ------------------------------------------------------------------------------

void TDBDivoRud::SetLines(int& field, int value) {
  CheckForPositive(value);
  if (value == field) return;
  field = value;
  MetricsChanged(mpHeights | mpRepaint);
}

void TDBDivoRud::SetTitleLines(int value) { SetLines(d->TitleLines, value); }
void TDBDivoRud::SetRowLines(int value) { SetLines(d->RowLines, value); }
void TDBDivoRud::SetFootLines(int value) { SetLines(d->FootLines, value); }

void TDBDivoRud::SetShowTitles(bool value) {
  if (value == d->ShowTitles) return;
  d->ShowTitles = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetShowFooters(bool value) {
  if (value == d->ShowFooters) return;
  d->ShowFooters = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetShowEmptyRow(bool value) {
  if (value == d->ShowEmptyRow) return;
  d->ShowEmptyRow = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetStripStep(int value) {
  if (value == d->StripStep || (value != -1 && value <= 1)) return;
  d->StripStep = value;
  InvalidateRows();
}

void TDBDivoRud::SetScrollBars(TScrollStyle value) {
  if (value == d->ScrollBars) return;
  d->ScrollBars = value;
  UpdateRecordBar(true);
  UpdateViewBar(true);
}

void TDBDivoRud::SetOptionsVisual(TgpGridVisualOptions value) {
  if (value == d->OptionsVisual) return;
  d->OptionsVisual = value;
  InvalidateGrid();
}

// ---- Heights ---------------------------------------------------------------------------------

int TDBDivoRud::GetTextHeight(const TFont* font, const TChildFont* childFont) {
  if (!HandleAllocated()) return 13;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(font ? font : Font());
  if (childFont) childFont->CopyTo(*canvas->Font());
  TFontStyles style = canvas->Font()->Style();
  style.Include(fsBold);
  style.Include(fsUnderline);
  canvas->Font()->SetStyle(style);
  return canvas->TextHeight("Wg");
}

// Every designer metric the layout caches; no designer leaves no margins.
void TDBDivoRud::RefreshLayoutClient() {
  d->Layout.Client = GetClientRect();
  const TgpDesigner* designer = EffectiveDesigner();
  d->Layout.ColumnMargin = designer ? designer->ColumnMargin() : 0;
  d->Layout.RowMargin = designer ? designer->RowMargin() : 0;
  d->Layout.TitleTopMargin = designer ? designer->TitleTopMargin() : 0;
  d->Layout.TitleBottomMargin = designer ? designer->TitleBottomMargin() : 0;
  d->Layout.FooterTopMargin = designer ? designer->FooterTopMargin() : 0;
  d->Layout.FooterBottomMargin = designer ? designer->FooterBottomMargin() : 0;
  d->Layout.TitleArea = d->ShowTitles ? d->Layout.TitleHeight : 0;
  d->Layout.FooterArea = d->ShowFooters ? d->Layout.FooterHeight : 0;
}

bool TDBDivoRud::UpdateHeights() {
  if (!d->Columns || d->Columns->Updating() || d->Columns->UpdateCount() > 0) return false;
  RefreshLayoutClient();
  TgpDesigner* designer = EffectiveDesigner();
  auto padding = [designer](int index) {
    const TgpCellMargins* m = designer ? designer->GetMargins(index) : nullptr;
    return m ? m->TopMargin() + m->BottomMargin() : 0;
  };
  const int titlePadding = padding(biTitle);
  const int cellPadding = padding(biCell);
  const int footerPadding = padding(biFooter);
  const int footerCandidate =
      GetTextHeight(nullptr, designer && designer->HasFooterFont() ? designer->FooterFont() : nullptr) * d->FootLines + footerPadding;

  int titleNeed = 1, cellNeed = 1, footerNeed = 1;
  TFont cellFont;
  for (const TgpGroupInfo* g : d->Columns->Groups()) {
    int titleCandidate = 0, cellCandidate = 0;
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i) {
      TgpColumn* c = d->Columns->Items(i);
      if (!c->Visible()) continue;
      titleCandidate = std::max(titleCandidate, c->CalcTitleHeight(d->TitleLines, titlePadding));
      ResolveCellLook(griddetail::CellLookSources(*this, designer, c), &cellFont);
      // A window-less grid measures nothing: 13 pixels a line, as GetTextHeight answers.
      TvpFieldVision* vision = c->CurVision();
      int cell;
      if (vision && HandleAllocated())
        cell = vision->VM_CalcHeight(c, cellFont, d->RowLines, cellPadding);
      else
        cell = std::max(vision ? vision->ImageHeight() : 0, GetTextHeight(&cellFont, nullptr) * d->RowLines + cellPadding);
      cellCandidate = std::max(cellCandidate, cell);
    }
    const int levels = std::max(g->LevelCount, 1);
    titleNeed = std::max(titleNeed, titleCandidate * levels + levels - 1);
    cellNeed = std::max(cellNeed, cellCandidate * levels + levels - 1);
    footerNeed = std::max(footerNeed, footerCandidate * levels + levels - 1);
  }
  const TgpGridLayout old = d->Layout;
  d->Layout.TitleHeight = titleNeed + d->Layout.TitleTopMargin + d->Layout.TitleBottomMargin;
  d->Layout.RowHeight = cellNeed + d->Layout.RowMargin;
  d->Layout.FooterHeight = footerNeed + d->Layout.FooterTopMargin + d->Layout.FooterBottomMargin;
  const bool changed = old.TitleHeight != d->Layout.TitleHeight || old.RowHeight != d->Layout.RowHeight ||
                       old.FooterHeight != d->Layout.FooterHeight;
  if (changed) UpdateRows();
  return changed;
}

// ---- Rows ------------------------------------------------------------------------------------

void TDBDivoRud::UpdateRows() {
  RefreshLayoutClient();
  d->Layout.VisibleRowCount = d->Layout.CountVisibleRows();
  TDataSet* dataSet = d->DataLink->DataSet();
  const bool open = HasActiveDataSet() && dataSet->Active();
  if (open && d->DataLink->RecordCount() > 0) {
    d->DataLink->SetBufferCount(d->Layout.VisibleRowCount);
    d->ActiveRow = d->DataLink->ActiveRecord();
    d->Layout.RowCount = d->DataLink->RecordCount();
    // Records follow the window when the dataset counts more of them than end at its last row.
    if (dataSet->IsSequenced() && dataSet->RecordCountKnown() && RecNoKnown(*dataSet) && dataSet->RecNo() > 0)
      d->Layout.MoreRows = dataSet->RecNo() - d->ActiveRow + d->Layout.RowCount - 1 < dataSet->RecordCount();
    else
      d->Layout.MoreRows = d->Layout.RowCount >= d->DataLink->BufferCount();
    d->Layout.DataRowsShown = true;
  } else {
    d->ActiveRow = 0;
    d->Layout.RowCount = 1;
    d->Layout.MoreRows = false;
    d->Layout.DataRowsShown = open && d->ShowEmptyRow;
  }
  d->Layout.Recount();
  d->PaintInfo->RowCountChanged(d->Layout.VisibleRowCount);
  if (open) UpdateCurrentInfo(0);
  UpdateRecordBar(false);
}

void TDBDivoRud::HeightsChanged() {
  if (IsLoading()) return;
  UpdateHeights();
  InvalidateGrid();
}

void TDBDivoRud::MetricsChanged(int parts) {
  if (IsLoading()) return;
  if (parts & mpHeights) UpdateHeights();
  if (parts & mpRows) UpdateRows();
  if (parts & mpFullFit) d->Columns->DoFullFit();
  if (parts & mpWidths) {
    d->Columns->UpdateWidthsInfo();
    d->Columns->UpdateScrollStop(false, true);
  }
  if (parts & mpRepaint) InvalidateGrid();
  if (!d->Action.InProgress()) UpdateEditorPos();
}

// ---- Freezing --------------------------------------------------------------------------------

void TDBDivoRud::FreezeGrid() { ++d->FreezeCount; }

void TDBDivoRud::UnfreezeGrid(bool refresh) {
  if (d->FreezeCount == 0) throw EDBDivoRud(Format(SEMethodCanceled, {String("UnfreezeGrid")}));
  if (--d->FreezeCount > 0 || !refresh) return;
  UpdateRecordBar(true);
  UpdateViewBar(true);
  InvalidateGrid();
}

}  // namespace zv
