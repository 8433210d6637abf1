#include "runtime/vision/Designer.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImageList.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TgpDesigner, TComponent, nullptr)

TgpDesigner::TgpDesigner(TComponent* owner) : TComponent(owner) {
  for (auto& m : fMargins) m = std::make_unique<TgpCellMargins>(this);
  // The margins of this class are all zero; descendants compute theirs in their own
  // constructors, where their overrides are reached.
}

TgpDesigner::~TgpDesigner() {
  Destroying();
  fGrids.clear();
}

// --- Grids --------------------------------------------------------------------------------------

void TgpDesigner::AddGrid(IgpDesignerClient* grid) {
  if (!grid || ComponentState().Contains(csDestroying)) return;
  for (const auto& e : fGrids)
    if (e.Client == grid) return;
  TComponent* component = grid->DesignerClientComponent();
  fGrids.push_back({grid, component});
  if (component) FreeNotification(component);
}

void TgpDesigner::RemoveGrid(IgpDesignerClient* grid) {
  if (ComponentState().Contains(csDestroying)) return;
  // The free-notification link stays: the grid may hold one on us for its own reference.
  std::erase_if(fGrids, [grid](const TGridEntry& e) { return e.Client == grid; });
}

IgpDesignerClient* TgpDesigner::Grids(int index) const {
  CheckIndex(index, GridCount());
  return fGrids[static_cast<std::size_t>(index)].Client;
}

void TgpDesigner::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component)
    std::erase_if(fGrids, [component](const TGridEntry& e) { return e.Component == component; });
}

template <class F>
void TgpDesigner::TellGrids(F&& call) {
  if (fUpdating || ComponentState().Contains(csLoading)) return;
  // A grid may leave (or another join) while it is told; each grid listed at the start and
  // still listed is told once.
  const std::vector<TGridEntry> snapshot = fGrids;
  for (const auto& e : snapshot) {
    const bool listed =
        std::any_of(fGrids.begin(), fGrids.end(), [&](const TGridEntry& g) { return g.Client == e.Client; });
    if (listed) call(*e.Client);
  }
}

void TgpDesigner::InvalidateTitles() { TellGrids([](IgpDesignerClient& g) { g.InvalidateTitles(); }); }
void TgpDesigner::InvalidateFooters() { TellGrids([](IgpDesignerClient& g) { g.InvalidateFooters(); }); }
void TgpDesigner::InvalidateSelectedRow() { TellGrids([](IgpDesignerClient& g) { g.InvalidateSelectedRow(); }); }
void TgpDesigner::InvalidateGrids() { TellGrids([](IgpDesignerClient& g) { g.InvalidateGrid(); }); }
void TgpDesigner::LayoutChanged() { TellGrids([](IgpDesignerClient& g) { g.LayoutChanged(); }); }
void TgpDesigner::HeightsChanged() { TellGrids([](IgpDesignerClient& g) { g.HeightsChanged(); }); }

// --- Colours and flags ----------------------------------------------------------------------------

void TgpDesigner::SetTitleColor(TColor value) {
  if (fTitleColor == value) return;
  fTitleColor = value;
  InvalidateTitles();
}

void TgpDesigner::SetFooterColor(TColor value) {
  if (fFooterColor == value) return;
  fFooterColor = value;
  InvalidateFooters();
}

void TgpDesigner::SetFixedColor(TColor value) {
  if (fFixedColor == value) return;
  fFixedColor = value;
  InvalidateGrids();
}

void TgpDesigner::SetFocusRectKind(TgpFocusRectKind value) {
  if (fFocusRectKind == value) return;
  fFocusRectKind = value;
  InvalidateSelectedRow();
}

TColor TgpDesigner::SelectionColor(int index) const {
  CheckIndex(index - 1, 3);
  return fSelectionColors[index - 1];
}

void TgpDesigner::SetSelectionColor(int index, TColor value) {
  CheckIndex(index - 1, 3);
  if (fSelectionColors[index - 1] == value) return;
  fSelectionColors[index - 1] = value;
  InvalidateSelectedRow();
}

TColor TgpDesigner::SelectionTextColor(int index) const {
  CheckIndex(index - 1, 2);
  return fSelectionTextColors[index - 1];
}

void TgpDesigner::SetSelectionTextColor(int index, TColor value) {
  CheckIndex(index - 1, 2);
  if (fSelectionTextColors[index - 1] == value) return;
  fSelectionTextColors[index - 1] = value;
  if (index == 1) {
    InvalidateTitles();
    InvalidateSelectedRow();
  } else {
    InvalidateGrids();
  }
}

void TgpDesigner::SetSelectedCellFill(bool value) {
  if (fSelectedCellFill == value) return;
  fSelectedCellFill = value;
  InvalidateSelectedRow();
}

void TgpDesigner::SetSelectedRowFill(bool value) {
  if (fSelectedRowFill == value) return;
  fSelectedRowFill = value;
  InvalidateSelectedRow();
}

bool TgpDesigner::UltraSoft(int index) const {
  CheckIndex(index - 1, 2);
  return fUltraSoft[index - 1];
}

void TgpDesigner::SetUltraSoft(int index, bool value) {
  CheckIndex(index - 1, 2);
  if (fUltraSoft[index - 1] == value) return;
  fUltraSoft[index - 1] = value;
  InvalidateGrids();
}

// --- Fonts ----------------------------------------------------------------------------------------

TChildFont* TgpDesigner::GetFont(int index) const {
  CheckIndex(index - 1, 3);
  auto& font = fFonts[index - 1];
  if (!font) {
    font = std::make_unique<TChildFont>();
    auto* self = const_cast<TgpDesigner*>(this);
    font->OnChange = [self](TObject* sender) { self->FontChanged(sender); };
  }
  return font.get();
}

bool TgpDesigner::HasFont(int index) const {
  CheckIndex(index - 1, 3);
  return fFonts[index - 1] != nullptr;
}

void TgpDesigner::SetFont(int index, TChildFont* value) {
  CheckIndex(index - 1, 3);
  if (!value) {
    fFonts[index - 1].reset();
  } else {
    fFontQuiet = true;
    try {
      GetFont(index)->Assign(value);
    } catch (...) {
      fFontQuiet = false;
      throw;
    }
    fFontQuiet = false;
  }
  HeightsChanged();
}

void TgpDesigner::FontChanged(TObject*) {
  if (!fFontQuiet) HeightsChanged();
}

// --- Margins --------------------------------------------------------------------------------------

TgpCellMargins* TgpDesigner::GetMargins(int index) const {
  CheckIndex(index - 1, 3);
  return fMargins[index - 1].get();
}

void TgpDesigner::SetMargins(int index, TgpCellMargins* value) {
  CheckIndex(index - 1, 3);
  TgpCellMargins& margins = *fMargins[index - 1];
  margins.fQuiet = true;
  try {
    margins.Assign(value);
  } catch (...) {
    margins.fQuiet = false;
    throw;
  }
  margins.fQuiet = false;
  HeightsChanged();
}

void TgpDesigner::CellMarginsChanged() { HeightsChanged(); }

void TgpDesigner::MarginsChanged() {
  fColumnMargin = GetColumnMargin();
  fRowMargin = GetRowMargin();
  GetTitleMargins(fTitleTopMargin, fTitleBottomMargin);
  GetFooterMargins(fFooterTopMargin, fFooterBottomMargin);
  LayoutChanged();
}

int TgpDesigner::GetColumnMargin() const { return 0; }
int TgpDesigner::GetRowMargin() const { return 0; }

void TgpDesigner::GetTitleMargins(int& top, int& bottom) const { top = bottom = 0; }
void TgpDesigner::GetFooterMargins(int& top, int& bottom) const { top = bottom = 0; }

// --- Painting -------------------------------------------------------------------------------------

void TgpDesigner::PaintToScreen(IgpDesignerClient* grid, TgpPaintInfo& paintInfo) {
  if (!grid || !paintInfo.Canvas) return;
  TCanvas& canvas = *paintInfo.Canvas;
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(paintInfo.Color);
  canvas.FillRect(grid->DesignerClientRect());
}

void TgpDesigner::PaintToPrinter(TgpPaintInfo&) {}

// --- Copying --------------------------------------------------------------------------------------

void TgpDesigner::Assign(const TPersistent* source) {
  if (!source || source->ClassType() != ClassType()) {
    TComponent::Assign(source);
    return;
  }
  fUpdating = true;
  try {
    DM_Copy(static_cast<const TgpDesigner&>(*source));
  } catch (...) {
    fUpdating = false;
    LayoutChanged();
    throw;
  }
  fUpdating = false;
  LayoutChanged();
}

void TgpDesigner::DM_Copy(const TgpDesigner&) {}

void TgpDesigner::CopyDesignerProperties(const TgpDesigner& source) {
  SetTitleColor(source.fTitleColor);
  SetFooterColor(source.fFooterColor);
  SetFixedColor(source.fFixedColor);
  SetFocusRectKind(source.fFocusRectKind);
  for (int i = 1; i <= 3; ++i) SetSelectionColor(i, source.SelectionColor(i));
  for (int i = 1; i <= 2; ++i) SetSelectionTextColor(i, source.SelectionTextColor(i));
  SetSelectedCellFill(source.fSelectedCellFill);
  SetSelectedRowFill(source.fSelectedRowFill);
  for (int i = 1; i <= 2; ++i) SetUltraSoft(i, source.UltraSoft(i));
  for (int i = 1; i <= 3; ++i) {
    if (&source == this) break;
    SetFont(i, source.HasFont(i) ? source.GetFont(i) : nullptr);
    SetMargins(i, source.GetMargins(i));
  }
}

// ---- Selection looks -----------------------------------------------------------------------------

void TgpDesigner::ApplySelectedRowLook(TgpRowAttrs& a) const {
  a.FontColor = SelectedRowText();
  if (UltraSoftSelectedRow()) {
    a.UltraSoft = true;
  } else {
    a.ForceColor = true;
    a.Color = SelectedRow();
  }
}

void TgpDesigner::ApplyCurrentRowLook(TgpRowAttrs& a, TgpCellAttrs* cell, bool shown) const {
  if (!shown) {
    if (SelectedRowFill()) {
      a.ForceColor = true;
      a.Color = HiddenSelection();
    }
    if (SelectedCellFill() && cell) {
      cell->ForceColor = true;
      cell->Color = HiddenSelection();
    }
    return;
  }
  if (SelectedRowFill()) {
    a.ForceColor = true;
    a.FontColor = SelectedRowText();
    if (UltraSoftSelectedRow())
      a.UltraSoft = true;
    else
      a.Color = SelectedRow();
  }
  if (SelectedCellFill() && cell) {
    cell->FontColor = SelectedCellText();
    if (UltraSoftSelectedCell()) {
      cell->UltraSoft = true;
    } else {
      cell->ForceColor = true;
      cell->Color = SelectedCell();
    }
  }
}

// ---- Column titles ---------------------------------------------------------------------------------

void DrawTitleContent(TCanvas& canvas, TRect r, const TgpPaintTitle& title, const TgpDesigner* designer,
                      const TFont& gridFont, bool pressed, bool* truncated) {
  if (truncated) *truncated = false;
  if (designer) r = designer->TitleMargins()->Shrink(r);
  // A pressed title drawn sunken rather than inverted shows its content one pixel down-right.
  if (designer && designer->NoTitleInvert() && pressed) OffsetRect(r, 1, 1);
  canvas.Brush()->SetStyle(bsClear);
  // The sort glyph at the right edge; the caption and image share what is left of it.
  if (title.SortGlyph >= 0 && title.SortGlyphs && title.SortGlyph < title.SortGlyphs->Count()) {
    TCustomImageList* glyphs = title.SortGlyphs;
    glyphs->Draw(&canvas, r.Right - glyphs->Width(), r.Top + (r.Height() - glyphs->Height()) / 2, title.SortGlyph,
                 true);
    r.Right -= glyphs->Width() + 1;
  }
  const bool image = !title.Glyph && title.Images && title.ImageIndex != -1;
  if (title.Glyph || image) {
    const int w = title.Glyph ? title.Glyph->Width() : title.Images->Width();
    const int h = title.Glyph ? title.Glyph->Height() : title.Images->Height();
    const int x = title.ShowCaption ? r.Left : r.Left + (r.Width() - w) / 2;
    const int y = r.Top + (r.Height() - h) / 2;
    if (title.Glyph)
      canvas.Draw(x, y, title.Glyph);
    else
      title.Images->Draw(&canvas, x, y, title.ImageIndex, true);
    if (title.ShowCaption) r.Left += w + 1;
  }
  if (!title.ShowCaption) return;
  canvas.Font()->Assign(&gridFont);
  if (designer && designer->HasTitleFont()) designer->TitleFont()->CopyTo(*canvas.Font());
  if (truncated) {
    // Measured with the flags it is drawn with.
    if (r.IsEmpty()) {
      *truncated = !title.Caption.empty();
    } else {
      TRect needed{r.Left, r.Top, r.Right, r.Top};
      DrawText(canvas, title.Caption, needed,
               AlignmentFlags(title.Alignment) | DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
      *truncated = needed.Width() > r.Width() || needed.Height() > r.Height();
    }
  }
  vprDrawText(canvas, r, title.Caption, title.Alignment, tlCenter, 0, 0, true, false, false);
}

}  // namespace zv
