// The grid's state on screen: the line counts and shown bands, the heights of bands and levels,
// the rows in view and the data link's window, the metrics pass every setter ends in, and the
// freeze counter that batches updates.
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"
#include "runtime/vision/FieldVision.h"

#include <algorithm>

namespace zv {

TgpDesigner* TDBDivoRud::EffectiveDesigner() const { return fDesigner ? fDesigner : DefaultDesigner(); }

// ---- Properties ------------------------------------------------------------------------------

void TDBDivoRud::SetLines(int& field, int value) {
  CheckForPositive(value);
  if (value == field) return;
  field = value;
  MetricsChanged(mpHeights | mpRepaint);
}

void TDBDivoRud::SetTitleLines(int value) { SetLines(fTitleLines, value); }
void TDBDivoRud::SetRowLines(int value) { SetLines(fRowLines, value); }
void TDBDivoRud::SetFootLines(int value) { SetLines(fFootLines, value); }

void TDBDivoRud::SetShowTitles(bool value) {
  if (value == fShowTitles) return;
  fShowTitles = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetShowFooters(bool value) {
  if (value == fShowFooters) return;
  fShowFooters = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetShowEmptyRow(bool value) {
  if (value == fShowEmptyRow) return;
  fShowEmptyRow = value;
  MetricsChanged(mpRows | mpRepaint);
}

void TDBDivoRud::SetStripStep(int value) {
  if (value == fStripStep || (value != -1 && value <= 1)) return;
  fStripStep = value;
  InvalidateRows();
}

void TDBDivoRud::SetScrollBars(TScrollStyle value) {
  if (value == fScrollBars) return;
  fScrollBars = value;
  UpdateRecordBar(true);
  UpdateViewBar(true);
}

void TDBDivoRud::SetOptionsVisual(TgpGridVisualOptions value) {
  if (value == fOptionsVisual) return;
  fOptionsVisual = value;
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
  fLayout.Client = GetClientRect();
  const TgpDesigner* d = EffectiveDesigner();
  fLayout.ColumnMargin = d ? d->ColumnMargin() : 0;
  fLayout.RowMargin = d ? d->RowMargin() : 0;
  fLayout.TitleTopMargin = d ? d->TitleTopMargin() : 0;
  fLayout.TitleBottomMargin = d ? d->TitleBottomMargin() : 0;
  fLayout.FooterTopMargin = d ? d->FooterTopMargin() : 0;
  fLayout.FooterBottomMargin = d ? d->FooterBottomMargin() : 0;
  fLayout.TitleArea = fShowTitles ? fLayout.TitleHeight : 0;
  fLayout.FooterArea = fShowFooters ? fLayout.FooterHeight : 0;
}

bool TDBDivoRud::UpdateHeights() {
  if (!fColumns || fColumns->Updating() || fColumns->UpdateCount() > 0) return false;
  RefreshLayoutClient();
  TgpDesigner* d = EffectiveDesigner();
  auto padding = [d](int index) {
    const TgpCellMargins* m = d ? d->GetMargins(index) : nullptr;
    return m ? m->TopMargin() + m->BottomMargin() : 0;
  };
  const int titlePadding = padding(1);
  const int cellPadding = padding(2);
  const int footerPadding = padding(3);
  const int footerCandidate =
      GetTextHeight(nullptr, d && d->HasFooterFont() ? d->FooterFont() : nullptr) * fFootLines + footerPadding;

  int titleNeed = 1, cellNeed = 1, footerNeed = 1;
  TFont cellFont;
  for (const TgpGroupInfo* g : fColumns->Groups()) {
    int titleCandidate = 0, cellCandidate = 0;
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i) {
      TgpColumn* c = fColumns->Items(i);
      if (!c->Visible()) continue;
      titleCandidate = std::max(titleCandidate, c->CalcTitleHeight(fTitleLines, titlePadding));
      cellFont.Assign(Font());
      if (d && d->HasCellFont()) d->CellFont()->CopyTo(cellFont);
      if (c->HasFont()) c->Font()->CopyTo(cellFont);
      // A window-less grid measures nothing: 13 pixels a line, as GetTextHeight answers.
      TvpFieldVision* vision = c->CurVision();
      int cell;
      if (vision && HandleAllocated())
        cell = vision->VM_CalcHeight(c, cellFont, fRowLines, cellPadding);
      else
        cell = std::max(vision ? vision->ImageHeight() : 0, GetTextHeight(&cellFont, nullptr) * fRowLines + cellPadding);
      cellCandidate = std::max(cellCandidate, cell);
    }
    const int levels = std::max(g->LevelCount, 1);
    titleNeed = std::max(titleNeed, titleCandidate * levels + levels - 1);
    cellNeed = std::max(cellNeed, cellCandidate * levels + levels - 1);
    footerNeed = std::max(footerNeed, footerCandidate * levels + levels - 1);
  }
  const TgpGridLayout old = fLayout;
  fLayout.TitleHeight = titleNeed + fLayout.TitleTopMargin + fLayout.TitleBottomMargin;
  fLayout.RowHeight = cellNeed + fLayout.RowMargin;
  fLayout.FooterHeight = footerNeed + fLayout.FooterTopMargin + fLayout.FooterBottomMargin;
  for (const TgpGroupInfo* g : fColumns->Groups()) {
    const int levels = std::max(g->LevelCount, 1);
    const int title = (fLayout.TitleHeight - levels - fLayout.TitleTopMargin - fLayout.TitleBottomMargin + 1) / levels;
    const int cell = (fLayout.RowHeight - levels - fLayout.RowMargin + 1) / levels;
    const int footer =
        (fLayout.FooterHeight - levels - fLayout.FooterTopMargin - fLayout.FooterBottomMargin + 1) / levels;
    for (int i = g->FirstIndex; i <= g->LastIndex; ++i) fColumns->Items(i)->SetLevelHeights(title, cell, footer);
  }
  const bool changed = old.TitleHeight != fLayout.TitleHeight || old.RowHeight != fLayout.RowHeight ||
                       old.FooterHeight != fLayout.FooterHeight;
  if (changed) UpdateRows();
  return changed;
}

// ---- Rows ------------------------------------------------------------------------------------

void TDBDivoRud::UpdateRows() {
  RefreshLayoutClient();
  fLayout.VisibleRowCount = fLayout.CountVisibleRows();
  TDataSet* dataSet = fDataLink->DataSet();
  const bool open = HasActiveDataSet() && dataSet->Active();
  if (open && fDataLink->RecordCount() > 0) {
    fDataLink->SetBufferCount(fLayout.VisibleRowCount);
    fActiveRow = fDataLink->ActiveRecord();
    fLayout.RowCount = fDataLink->RecordCount();
    // Records follow the window when the dataset counts more of them than end at its last row.
    if (dataSet->IsSequenced() && dataSet->RecordCountKnown() && dataSet->RecNo() > 0)
      fLayout.MoreRows = dataSet->RecNo() - fActiveRow + fLayout.RowCount - 1 < dataSet->RecordCount();
    else
      fLayout.MoreRows = fLayout.RowCount >= fDataLink->BufferCount();
    fLayout.DataRowsShown = true;
  } else {
    fActiveRow = 0;
    fLayout.RowCount = 1;
    fLayout.MoreRows = false;
    fLayout.DataRowsShown = open && fShowEmptyRow;
  }
  fLayout.Recount();
  fPaintInfo->RowCountChanged(fLayout.VisibleRowCount);
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
  if (parts & mpFullFit) fColumns->DoFullFit();
  if (parts & mpWidths) {
    fColumns->UpdateWidthsInfo();
    fColumns->UpdateScrollStop(false, true);
  }
  if (parts & mpRepaint) InvalidateGrid();
  if (!fAction.InProgress()) UpdateEditorPos();
}

// ---- Freezing --------------------------------------------------------------------------------

void TDBDivoRud::FreezeGrid() { ++fFreezeCount; }

void TDBDivoRud::UnfreezeGrid(bool refresh) {
  if (fFreezeCount == 0) throw EDBDivoRud(Format(SEMethodCanceled, {String("UnfreezeGrid")}));
  if (--fFreezeCount > 0 || !refresh) return;
  UpdateRecordBar(true);
  UpdateViewBar(true);
  InvalidateGrid();
}

}  // namespace zv
