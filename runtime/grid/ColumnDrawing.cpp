// A column's title and footer as the designer paints them and the hint test measures them, and
// the grid's title images (the list, its change link and what its changes recompute).
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/ImageList.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/vision/Designer.h"

#include <algorithm>

namespace zv {

namespace {

TAlignment ToAlignment(TvpDefAlignment a) {
  switch (a) {
    case talRightJustify: return taRightJustify;
    case talCenter: return taCenter;
    default: return taLeftJustify;
  }
}

// Whether text needs more room than r, measured with the flags it is drawn with.
bool Truncated(TCanvas& canvas, const String& text, const TRect& r, unsigned flags) {
  if (r.IsEmpty()) return !text.empty();
  TRect needed{r.Left, r.Top, r.Right, r.Top};
  DrawText(canvas, text, needed, flags | DT_CALCRECT | DT_NOPREFIX);
  return needed.Width() > r.Width() || needed.Height() > r.Height();
}

}  // namespace

String TgpColumn::TitleCaption() const { return fCaption.empty() ? fFieldName : fCaption; }

TgpPaintTitle TgpColumn::PaintTitle() const {
  TgpPaintTitle t;
  t.ShowCaption = !fOptionsVisual.Contains(cvoNoCaption);
  if (t.ShowCaption) t.Caption = TitleCaption();
  t.Alignment = ToAlignment(fCaptionAlignment);
  if (fTitleState != tsSortedNone && zvEnv && zvEnv->TitleStateImgs) {
    t.SortGlyphs = zvEnv->TitleStateImgs;
    t.SortGlyph = static_cast<int>(fTitleState) - 1;
  }
  if (HasTitleGlyph()) {
    t.Glyph = fTitleGlyph.get();
  } else if (const TDBDivoRud* grid = GetGrid()) {
    t.Images = grid->TitleImages();
    t.ImageIndex = fTitleImageIndex;
  }
  return t;
}

// The hint test's measure of a title, drawn as the designer draws it.
void TgpColumn::DrawTitle(TCanvas& canvas, bool* truncated) {
  if (truncated) *truncated = false;
  TDBDivoRud* grid = GetGrid();
  if (!grid) return;
  const TRect r = grid->Layout().TitleRect(*this, false);
  if (r.IsEmpty()) return;
  DrawTitleContent(canvas, r, PaintTitle(), grid->EffectiveDesigner(), *grid->Font(),
                   grid->PaintPressedTitle() == Index(), truncated);
}

void TgpColumn::DrawFooter(TCanvas& canvas, bool* truncated) {
  const TDBDivoRud* grid = GetGrid();
  DrawFooterIn(canvas, grid ? grid->Layout().FooterRect(*this, false, true) : TRect{}, truncated);
}

void TgpColumn::DrawFooterIn(TCanvas& canvas, const TRect& footer, bool* truncated) {
  if (truncated) *truncated = false;
  TDBDivoRud* grid = GetGrid();
  if (!grid || (fFooterState == fsNone && fFooterText.empty()) || footer.IsEmpty()) return;
  TRect r = footer;
  TgpDesigner* d = grid->EffectiveDesigner();
  if (d) r = d->FooterMargins()->Shrink(r);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Font()->Assign(grid->Font());
  if (d && d->HasFooterFont()) d->FooterFont()->CopyTo(*canvas.Font());
  if (const TgpFooterAttrs* attrs = fFooterAttrs.get()) {
    if (!attrs->FontName().empty()) canvas.Font()->SetName(attrs->FontName());
    if (attrs->FontColor() != clNone) canvas.Font()->SetColor(attrs->FontColor());
    if (!attrs->FontStyle().Empty()) canvas.Font()->SetStyle(attrs->FontStyle());
  }
  String text = grid->FooterDisplayText(*this);
  // One line shows no more than a few characters a pixel (a glyph is at least a pixel wide,
  // marks on it aside): a longer text is cut to that before it is measured and drawn, so that
  // megabytes in FooterText cost what a footer shows.
  const std::size_t most = static_cast<std::size_t>(std::max(0, r.Width())) * 4 + 16;
  const bool cut = text.size() > most;
  if (cut) {
    std::size_t end = most;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole code points
    text.resize(end);
  }
  const TAlignment alignment = ToAlignment(fFooterTextAlignment);
  // Footers are drawn on one line: measured on one line, a text that would wrap into a second
  // line of a tall footer still counts as cut.
  if (truncated) *truncated = cut || Truncated(canvas, text, r, AlignmentFlags(alignment) | DT_SINGLELINE);
  vprDrawText(canvas, r, text, alignment, tlCenter, 0, 0, false, !grid->OptionsVisual().Contains(gvoNoEndEllipsis),
              false);
}

// ---- The grid's title images -------------------------------------------------------------------------

void TDBDivoRud::SetTitleImages(TCustomImageList* value) {
  if (value == d->TitleImages) return;
  if (!d->TitleImagesLink) {
    d->TitleImagesLink = std::make_unique<TChangeLink>();
    d->TitleImagesLink->OnChange = [this](TObject*) { ImagesChanged(); };
  }
  if (d->TitleImages) d->TitleImages->UnRegisterChanges(d->TitleImagesLink.get());
  d->TitleImages = value;
  if (value) {
    value->FreeNotification(this);
    value->RegisterChanges(d->TitleImagesLink.get());
  }
  ImagesChanged();
}

// Titles grow to fit the images; only when the heights moved does more than the titles repaint.
void TDBDivoRud::ImagesChanged() {
  if (IsLoading()) return;
  if (UpdateHeights())
    InvalidateGrid();
  else
    InvalidateTitles();
}

void TDBDivoRud::TitleImagesNotification(TComponent* component) {
  if (!component || component != d->TitleImages) return;
  d->TitleImages = nullptr;  // the dying list clears its links itself
  if (!ComponentState().Contains(csDestroying)) ImagesChanged();
}

}  // namespace zv
