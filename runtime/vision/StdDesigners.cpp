#include "runtime/vision/StdDesigners.h"

#include "platform/classes/Modules.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/rtm/ZvErrors.h"

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TLiteDesigner, TgpBaseDesigner)
ZV_DEFINE_CLASS_WITH_PROPS(TStandardDesigner, TgpBaseDesigner)

namespace {

template <class C>
void DeclareBaseColors(TPropTable<C>& t, TColor vertDefault, TColor horizDefault, TColor cellSepDefault) {
  using B = TgpBaseDesigner;
  const TTypeInfo* colors = ColorTypeInfo();
  t.Prop("VertLines", &B::VertLines, &B::SetVertLines).Default(vertDefault).Idents(colors);
  t.Prop("HorizLines", &B::HorizLines, &B::SetHorizLines).Default(horizDefault).Idents(colors);
  t.Prop("CellSeparator", &B::CellSeparator, &B::SetCellSeparator)
      .Default(cellSepDefault)
      .Idents(colors);
  t.Prop("RowSeparator", &B::RowSeparator, &B::SetRowSeparator).Default(clNone).Idents(colors);
  t.Prop("FooterSurfaceColor", &B::FooterSurfaceColor, &B::SetFooterSurfaceColor)
      .Default(clBtnFace)
      .Idents(colors);
  t.Prop("FooterLines", &B::FooterLines, &B::SetFooterLines).Default(clGray).Idents(colors);
}

}  // namespace

// ---- Lite ---------------------------------------------------------------------------------------

void TLiteDesigner::DeclareProperties(TPropTable<TLiteDesigner>& t) {
  DeclareDesignerProperties(t);
  // Lines are declared black but start silver: black lines are not stored and load as silver.
  DeclareBaseColors(t, clBlack, clBlack, clSilver);
  t.Prop("FlatFooter", &TgpBaseDesigner::FlatFooter, &TgpBaseDesigner::SetFlatFooter)
      .Default(false);
  t.Prop("TitleStyle", &TLiteDesigner::TitleStyle, &TLiteDesigner::SetTitleStyle).Default(lts3D);
  t.Prop("ShowLines", &TLiteDesigner::ShowLines, &TLiteDesigner::SetShowLines).Default(true);
  t.Prop("ShowLastLine", &TLiteDesigner::ShowLastLine, &TLiteDesigner::SetShowLastLine).Default(true);
}

TLiteDesigner::TLiteDesigner(TComponent* owner) : TgpBaseDesigner(owner) {
  SetCellSeparator(clSilver);
  SetVertLines(clSilver);
  SetHorizLines(clSilver);
  SetUpdateMode(dumSmartScroll);
  SetNoTitleInvert(true);
  MarginsChanged();
}

void TLiteDesigner::SetTitleStyle(TLiteDsgnTitleStyle value) {
  if (value == fTitleStyle) return;
  fTitleStyle = value;
  SetNoTitleInvert(value != ltsNon3D);
  InvalidateTitles();
}

void TLiteDesigner::SetShowLines(bool value) {
  if (value == fShowLines) return;
  fShowLines = value;
  MarginsChanged();
}

void TLiteDesigner::SetShowLastLine(bool value) {
  if (value == fShowLastLine) return;
  fShowLastLine = value;
  InvalidateGrids();
}

int TLiteDesigner::GetColumnMargin() const { return fShowLines ? 1 : 0; }
int TLiteDesigner::GetRowMargin() const { return fShowLines && HorizLines() != clNone ? 1 : 0; }

void TLiteDesigner::GetTitleMargins(int& top, int& bottom) const {
  top = 0;
  bottom = 1;
}

void TLiteDesigner::DM_Copy(const TgpDesigner& source) {
  const auto& s = static_cast<const TLiteDesigner&>(source);
  CopyBaseProperties(s);
  SetTitleStyle(s.fTitleStyle);
  SetShowLines(s.fShowLines);
  SetShowLastLine(s.fShowLastLine);
}

void TLiteDesigner::DrawBGTitle() {
  TgpBaseDesigner::DrawBGTitle();
  if (!fShowLines) return;
  const bool non3D = fTitleStyle == ltsNon3D;
  TColor pen = non3D ? (HorizLines() != clNone ? HorizLines() : VertLines()) : clBlack;
  Line(pen, PaintLeft(), TitleHeight() - 1, PaintRight(), TitleHeight() - 1);
  pen = non3D ? (VertLines() != clNone ? VertLines() : HorizLines()) : clBlack;
  ForEachGroup([&](const TgpPaintGroup& g, int x, int w) {
    DrawSeparator(g, gaTitle, pen, 0);
    Line(pen, x + w - 1, 0, x + w - 1, TitleHeight() - 1);
  });
}

void TLiteDesigner::DrawBGCells() {
  TgpBaseDesigner::DrawBGCells();
  if (!fShowLines) return;
  const int rows = RowsHeight() / std::max(RowHeight(), 1);
  if (HorizLines() != clNone)
    for (int k = 0; k < rows; ++k) {
      const int y = RowsTop() + RowHeight() - 1 + k * RowHeight();
      Line(HorizLines(), PaintLeft(), y, PaintRight(), y);
    }
  if (VertLines() != clNone) {
    ForEachGroup([&](const TgpPaintGroup& g, int x, int w) {
      const TColor pen = g.LastOfGrid && !fShowLastLine ? PaintInfo()->Color : VertLines();
      Line(pen, x + w - 1, RowsTop(), x + w - 1, RowsTop() + RowsHeight());
    });
  }
}

void TLiteDesigner::DrawTitle(const TgpPaintGroup& group) {
  const int pressed = PaintInfo()->PressedTitle;
  for (const TgpPaintColumn& c : PaintInfo()->GroupColumns(group)) {
    const int index = c.Index;
    TRect r = c.Title;
    if (r.IsEmpty()) continue;
    if (fTitleStyle == ltsFlat) {
      ++r.Right;
      ++r.Bottom;
    }
    if (fTitleStyle != ltsNon3D) {
      TRect e = r;
      if (index == pressed)
        DrawEdge(*Canvas(), e, BDR_SUNKENOUTER, BF_RECT | BF_FLAT);
      else
        DrawEdge(*Canvas(), e, BDR_RAISEDINNER, BF_RECT);
    }
    if (fTitleStyle == ltsFlat && fShowLines && !c.FirstInLine) {
      Line(clBtnHighlight, r.Left, r.Top, r.Left - 2, r.Top);
      const int patch = r.Height() / 14;
      Fill(TitleColor(), TRect{r.Left - 2, r.Top + 1, r.Left + 1, r.Top + 1 + patch});
      Fill(TitleColor(), TRect{r.Left - 2, r.Bottom - 1 - patch, r.Left + 1, r.Bottom - 1});
    }
  }
}

// ---- Standard -------------------------------------------------------------------------------------

void TStandardDesigner::DeclareProperties(TPropTable<TStandardDesigner>& t) {
  DeclareDesignerProperties(t);
  DeclareBaseColors(t, clBlack, clBlack, clBlack);
  // Follows Options; never stored.
  t.Prop("FlatFooter", &TgpBaseDesigner::FlatFooter, &TgpBaseDesigner::SetFlatFooter)
      .Stored(false);
  const TTypeInfo* colors = ColorTypeInfo();
  t.Prop("TitleSeparator", &TStandardDesigner::TitleSeparator, &TStandardDesigner::SetTitleSeparator)
      .Default(clBlack)
      .Idents(colors);
  t.Prop("MarginLines", &TStandardDesigner::MarginLines, &TStandardDesigner::SetMarginLines)
      .Default(clSilver)
      .Idents(colors);
  t.Prop("BoundLines", &TStandardDesigner::BoundLines, &TStandardDesigner::SetBoundLines)
      .Default(clBlack)
      .Idents(colors);
  t.Prop("Options", &TStandardDesigner::Options, &TStandardDesigner::SetOptions);
}

TStandardDesigner::TStandardDesigner(TComponent* owner) : TgpBaseDesigner(owner) {
  SetFlatFooter(!fOptions.Contains(dg3DFooter));
  SetNoTitleInvert(fOptions.Contains(dg3DTitle));
  UpdateUpdateMode();
  MarginsChanged();
}

TColor TStandardDesigner::StdLineColor(int index) const {
  return const_cast<TStandardDesigner*>(this)->StdLineSlot(index);
}

TColor& TStandardDesigner::StdLineSlot(int index) {
  switch (index) {
    case liTitleSeparator: return fTitleSeparator;
    case liMarginLines: return fMarginLines;
    case liBoundLines: return fBoundLines;
    default: throw EZVError("Line colour index out of range");
  }
}

void TStandardDesigner::SetStdLineColor(int index, TColor value) {
  TColor& slot = StdLineSlot(index);
  if (slot == value) return;
  slot = value;
  if (index == liTitleSeparator) {
    InvalidateTitles();
    return;
  }
  UpdateUpdateMode();
  InvalidateGrids();
}

void TStandardDesigner::UpdateUpdateMode() {
  const bool smart = fOptions.Contains(dgBoundLines) && (!fOptions.Contains(dgHorizLines) || fBoundLines != HorizLines());
  SetUpdateMode(smart ? dumSmart : dumSmartScroll);
}

void TStandardDesigner::SetOptions(TStdDsgnOptions value) {
  if (value == fOptions) return;
  if (!value.Contains(dgHorizLines)) value.Include(dgHorizBackground);
  const bool horizChanged = value.Contains(dgHorizLines) != fOptions.Contains(dgHorizLines);
  fOptions = value;
  SetFlatFooter(!value.Contains(dg3DFooter));
  SetNoTitleInvert(value.Contains(dg3DTitle));
  UpdateUpdateMode();
  if (horizChanged)
    MarginsChanged();
  else
    InvalidateGrids();
}

int TStandardDesigner::GetRowMargin() const { return fOptions.Contains(dgHorizLines) ? 1 : 0; }

void TStandardDesigner::GetTitleMargins(int& top, int& bottom) const {
  top = 0;
  bottom = 3;
}

void TStandardDesigner::DM_Copy(const TgpDesigner& source) {
  const auto& s = static_cast<const TStandardDesigner&>(source);
  CopyBaseProperties(s);
  SetTitleSeparator(s.fTitleSeparator);
  SetMarginLines(s.fMarginLines);
  SetBoundLines(s.fBoundLines);
  SetOptions(s.fOptions);
}

void TStandardDesigner::DrawBGTitle() {
  TgpBaseDesigner::DrawBGTitle();
  const int th = TitleHeight();
  Line(HorizLines(), PaintLeft(), th - 3, PaintRight(), th - 3);
  Line(HorizLines(), PaintLeft(), th - 1, PaintRight(), th - 1);
  Line(MarginLines(), PaintLeft(), th - 2, PaintRight(), th - 2);
  const TColor middle = fOptions.Contains(dgMarginLines) ? fMarginLines : TitleColor();
  ForEachGroup([&](const TgpPaintGroup&, int x, int w) {
    Line(VertLines(), x + w - 1, 0, x + w - 1, th - 2);
    Line(VertLines(), x + w - 3, 0, x + w - 3, th - 2);
    Line(middle, x + w - 2, 0, x + w - 2, th - 2);
  });
}

void TStandardDesigner::DrawBGCells() {
  TgpBaseDesigner::DrawBGCells();
  const TgpPaintInfo& info = *PaintInfo();
  auto horizontal = [&] {
    if (!fOptions.Contains(dgHorizLines)) return;
    const int rows = info.LastRow - info.FirstRow + 1;
    for (int k = 0; k < rows; ++k) {
      const int y = RowsTop() + RowHeight() - 1 + k * RowHeight();
      Line(HorizLines(), PaintLeft(), y, PaintRight(), y);
    }
  };
  auto vertical = [&] {
    int bottom = RowsTop() + RowsHeight();
    if (info.LastRow == info.LastVisibleRow) --bottom;
    const TColor middle = fOptions.Contains(dgMarginLines) ? fMarginLines : info.Color;
    ForEachGroup([&](const TgpPaintGroup&, int x, int w) {
      Line(VertLines(), x + w - 1, RowsTop(), x + w - 1, bottom);
      Line(VertLines(), x + w - 3, RowsTop(), x + w - 3, bottom);
      Line(middle, x + w - 2, RowsTop(), x + w - 2, bottom);
    });
  };
  if (fOptions.Contains(dgHorizBackground)) {
    horizontal();
    vertical();
  } else {
    vertical();
    horizontal();
  }
}

void TStandardDesigner::DrawTitle(const TgpPaintGroup& group) {
  if (fTitleSeparator != clNone) DrawSeparator(group, gaTitle, fTitleSeparator, 0);
  if (!fOptions.Contains(dg3DTitle)) return;
  const int pressed = PaintInfo()->PressedTitle;
  for (const TgpPaintColumn& c : PaintInfo()->GroupColumns(group)) {
    TRect r = c.Title;
    if (r.IsEmpty()) continue;
    DrawEdge(*Canvas(), r, c.Index == pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

// ---- The default designer ---------------------------------------------------------------------------

namespace {
TgpDesigner* gDefaultDesigner = nullptr;
std::vector<TClass> DesignerClasses() { return {TLiteDesigner::StaticClass(), TStandardDesigner::StaticClass()}; }
}  // namespace

TgpDesigner* DefaultDesigner() { return gDefaultDesigner; }
void SetDefaultDesigner(TgpDesigner* designer) { gDefaultDesigner = designer; }

// The default designer itself comes with the standard visions' start-up, with the pack.
ZV_MODULE(zvdesigners, {.Name = "zvdesigners",
                        .Uses = {"graphics", "controls"},
                        .Initialization = [] { RegisterClasses(DesignerClasses()); },
                        .Finalization = [] { UnRegisterClasses(DesignerClasses()); }});

}  // namespace zv
