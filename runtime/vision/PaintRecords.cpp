#include "runtime/vision/PaintRecords.h"

#include "runtime/rtm/ChildFont.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/Designer.h"

namespace zv {

// --- TgpCellMargins ---------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TgpCellMargins, TPersistent)

void TgpCellMargins::DeclareProperties(TPropTable<TgpCellMargins>& t) {
  t.Prop("LeftMargin", &TgpCellMargins::LeftMargin, &TgpCellMargins::SetLeftMargin).Default(DefaultMargin);
  t.Prop("TopMargin", &TgpCellMargins::TopMargin, &TgpCellMargins::SetTopMargin).Default(DefaultMargin);
  t.Prop("RightMargin", &TgpCellMargins::RightMargin, &TgpCellMargins::SetRightMargin).Default(DefaultMargin);
  t.Prop("BottomMargin", &TgpCellMargins::BottomMargin, &TgpCellMargins::SetBottomMargin).Default(DefaultMargin);
}

int TgpCellMargins::Margin(int index) const {
  CheckIndex(index - 1, 4);
  return fValues[index - 1];
}

void TgpCellMargins::SetMargin(int index, int value) {
  CheckIndex(index - 1, 4);
  CheckForPositiveAndZero(value);
  if (fValues[index - 1] == value) return;
  fValues[index - 1] = value;
  Changed();
}

TRect TgpCellMargins::Shrink(const TRect& r) const {
  return {r.Left + fValues[0], r.Top + fValues[1], r.Right - fValues[2], r.Bottom - fValues[3]};
}

void TgpCellMargins::Assign(const TPersistent* source) {
  const auto* other = dynamic_cast<const TgpCellMargins*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  bool changed = false;
  for (int i = 0; i < 4; ++i)
    if (fValues[i] != other->fValues[i]) {
      fValues[i] = other->fValues[i];
      changed = true;
    }
  if (changed) Changed();
}

void TgpCellMargins::Changed() {
  if (fDesigner && !fQuiet) fDesigner->CellMarginsChanged();
}

// --- Cell and row attributes ------------------------------------------------------------------

void TvpCellAttrs::Reset() {
  Color = clNone;
  Focused = Pressed = Tracked = false;
}

void TgpCellAttrs::Reset() {
  TvpCellAttrs::Reset();
  FontColor = clNone;
  FontStyle = {};
  FontName.clear();
  ForceColor = UltraSoft = Current = false;
}

void TgpRowAttrs::Reset() {
  Color = FontColor = clNone;
  FontStyle = {};
  FontName.clear();
  ForceColor = UltraSoft = false;
  StripIndex = 0;
  Current = Focused = Selected = Tracked = false;
  IgpPaintGrid* grid = PaintInfo ? PaintInfo->Grid : nullptr;
  if (!grid) return;
  for (int c = 0, n = grid->PaintColumnCount(); c < n; ++c)
    if (TgpCellAttrs* cell = grid->ColumnCellAttrs(c, Row)) cell->Reset();
}

TgpCellAttrs* TgpRowAttrs::GetCellAttr(int columnIndex) const {
  IgpPaintGrid* grid = PaintInfo ? PaintInfo->Grid : nullptr;
  return grid ? grid->ColumnCellAttrs(columnIndex, Row) : nullptr;
}

TgpCellAttrs* TgpRowAttrs::GetFieldAttr(const String& fieldName) const {
  IgpPaintGrid* grid = PaintInfo ? PaintInfo->Grid : nullptr;
  if (!grid) return nullptr;
  const int index = grid->ColumnIndexOfField(fieldName);
  return index < 0 ? nullptr : grid->ColumnCellAttrs(index, Row);
}

// --- Cell look ----------------------------------------------------------------------------------

namespace {

// A row's or a cell's font overrides.
void ApplyOverrides(TFont& font, TColor color, TFontStyles style, const String& name) {
  if (color != clNone) font.SetColor(color);
  if (!style.Empty()) font.SetStyle(font.Style() + style);
  if (!name.empty()) font.SetName(name);
}

}  // namespace

TgpCellLook ResolveCellLook(const TgpLookSources& s, TFont* font) {
  const TgpRowAttrs* row = s.Row;
  const TgpCellAttrs* cell = s.Cell;
  if (font) {
    if (s.GridFont) font->Assign(s.GridFont);
    if (s.DesignerFont) s.DesignerFont->CopyTo(*font);
    if (s.ColumnFont) s.ColumnFont->CopyTo(*font);
    if (row) ApplyOverrides(*font, row->FontColor, row->FontStyle, row->FontName);
    if (cell) ApplyOverrides(*font, cell->FontColor, cell->FontStyle, cell->FontName);
  }
  TgpCellLook look;
  if (!row) return look;
  TColor rowColor = row->Color;
  if (row->UltraSoft) rowColor = vprGetUltraColor(rowColor != clNone ? rowColor : s.Background);
  look.RowFill = rowColor;
  if (!s.Column) return look;
  // A forced cell colour wins; else the cell's, column's or fixed colour shows where the row
  // has none or lets a fore-colour-filled column keep its own.
  const TgpPaintColumn& c = *s.Column;
  TColor color = rowColor;
  if (cell && cell->ForceColor && cell->Color != clNone) {
    color = cell->Color;
  } else if (rowColor == clNone || (!row->ForceColor && c.ForeColorFill)) {
    color = cell ? cell->Color : clNone;
    if (color == clNone) color = c.Color;
    if (color == clNone && c.Fixed) color = s.FixedColor;
    if (color != clNone && row->UltraSoft) color = vprGetUltraColor(color);
    if (color == clNone) color = rowColor;
  }
  if (cell && cell->UltraSoft) color = vprGetUltraColor(color != clNone ? color : s.Background);
  look.Fill = color;
  return look;
}

void ResolveRowLook(const TgpRowLookSources& s, TgpRowAttrs& row, TgpCellAttrs* cell) {
  const TgpDesigner* designer = s.Designer;
  if (!designer) return;
  // A selected record shows the selection look wherever it is.
  if (row.Selected) designer->ApplySelectedRowLook(row);
  // The current row carries the selection look when it is selected or nothing is; beside a
  // selection that leaves it out it keeps only its current and focused marks.
  if (row.Current && !s.DragTrack && (row.Selected || s.SelectionEmpty))
    designer->ApplyCurrentRowLook(row, cell, row.Selected || row.Focused || !s.HideSelection);
  if (s.DragTrack && row.Tracked) designer->ApplySelectedRowLook(row);
}

// --- TgpPaintInfo -----------------------------------------------------------------------------

TgpRowAttrs& TgpPaintInfo::GetRowAttrs(int row) const {
  CheckIndex(row, RowAttrsCount());
  return *fRowAttrs[static_cast<std::size_t>(row)];
}

void TgpPaintInfo::RowCountChanged(int count) {
  CheckForPositiveAndZero(count);
  const auto wanted = static_cast<std::size_t>(count);
  // Rows scroll off the top, so the entries that stay are the last ones.
  if (fRowAttrs.size() > wanted)
    fRowAttrs.erase(fRowAttrs.begin(), fRowAttrs.begin() + static_cast<std::ptrdiff_t>(fRowAttrs.size() - wanted));
  while (fRowAttrs.size() < wanted) fRowAttrs.push_back(std::make_unique<TgpRowAttrs>(this));
  TDataSet* dataSet = nullptr;
  if (Grid) {
    Grid->ResizeColumnCellAttrs(Grid->VisibleRowCount());
    dataSet = Grid->PaintDataSet();
  }
  for (auto& r : fRowAttrs) r->DataSet = dataSet;
}

void TgpPaintInfo::ClearRowAttrs() {
  fRowAttrs.clear();
  if (Grid) Grid->ClearColumnCellAttrs();
}

}  // namespace zv
