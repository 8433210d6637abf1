#include "runtime/vision/BaseDesigner.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"

namespace zv {

ZV_DEFINE_CLASS(TgpBaseDesigner, TgpDesigner)

TgpBaseDesigner::TgpBaseDesigner(TComponent* owner) : TgpDesigner(owner) {}
TgpBaseDesigner::~TgpBaseDesigner() = default;

namespace {
int LineSlot(int index) {
  switch (index) {
    case liVertLines: return 0;
    case liHorizLines: return 1;
    case liCellSeparator: return 2;
    case liRowSeparator: return 3;
    default: throw EZVError("Line colour index out of range");
  }
}
}  // namespace

TColor TgpBaseDesigner::LineColor(int index) const { return fLines[LineSlot(index)]; }

void TgpBaseDesigner::SetLineColor(int index, TColor value) {
  TColor& slot = fLines[LineSlot(index)];
  if (slot == value) return;
  // The lite designer's row margin follows whether there are horizontal lines at all.
  const bool marginsMove = index == 6 && (slot == clNone || value == clNone);
  slot = value;
  if (marginsMove)
    MarginsChanged();
  else
    InvalidateGrids();
}

void TgpBaseDesigner::SetFooterSurfaceColor(TColor value) {
  if (value == fFooterSurfaceColor) return;
  fFooterSurfaceColor = value;
  InvalidateFooters();
}

void TgpBaseDesigner::SetFooterLines(TColor value) {
  if (value == fFooterLines) return;
  fFooterLines = value;
  InvalidateFooters();
}

void TgpBaseDesigner::SetFlatFooter(bool value) {
  if (value == fFlatFooter) return;
  fFlatFooter = value;
  InvalidateFooters();
}

void TgpBaseDesigner::GetFooterMargins(int& top, int& bottom) const {
  top = 4;
  bottom = 3;
}

void TgpBaseDesigner::CopyBaseProperties(const TgpBaseDesigner& source) {
  CopyDesignerProperties(source);
  for (int i : {liVertLines, liHorizLines, liCellSeparator, liRowSeparator}) SetLineColor(i, source.LineColor(i));
  SetFooterSurfaceColor(source.fFooterSurfaceColor);
  SetFooterLines(source.fFooterLines);
  SetFlatFooter(source.fFlatFooter);
}

void TgpBaseDesigner::DM_Copy(const TgpDesigner& source) {
  CopyBaseProperties(static_cast<const TgpBaseDesigner&>(source));
}

// ---- Drawing helpers ----------------------------------------------------------------------------

void TgpBaseDesigner::Line(TColor color, int x1, int y1, int x2, int y2) {
  fCanvas->Pen()->SetColor(color);
  fCanvas->MoveTo(x1, y1);
  fCanvas->LineTo(x2, y2);
}

void TgpBaseDesigner::Fill(TColor color, const TRect& r) {
  fCanvas->Brush()->SetStyle(bsSolid);
  fCanvas->Brush()->SetColor(color);
  fCanvas->FillRect(r);
}

TRect TgpBaseDesigner::Shifted(TRect r, bool shiftY) const {
  OffsetRect(r, -fOriginX, shiftY ? -fOriginY : 0);
  return r;
}

// ---- The template ---------------------------------------------------------------------------------

void TgpBaseDesigner::ClearPaintState() {
  fPaintInfo = nullptr;
  fGrid = nullptr;
  fCanvas = nullptr;
}

void TgpBaseDesigner::PaintToScreen(IgpDesignerClient* client, TgpPaintInfo& info) {
  if (!client || !info.Canvas || !info.Grid) return;
  fPaintInfo = &info;
  fGrid = info.Grid;
  fRowHeight = info.RowHeight;
  fOriginX = info.Rect.Left;
  fOriginY = info.Rect.Top;
  fTitleHeight = info.Areas.Contains(gaTitle) ? info.TitleHeight : 0;
  const bool cells = info.Areas.Contains(gaCell) && info.FirstRow >= 0;
  if (info.Areas.Contains(gaFooter)) {
    fFooterHeight = info.FooterHeight;
    // The footer band sits at the bottom of the client area, whatever the rows above it.
    fFooterTop = client->DesignerClientRect().Bottom - fFooterHeight - fOriginY;
  } else {
    fFooterHeight = fFooterTop = 0;
  }
  TCanvas* target = info.Canvas;
  const int w = info.Rect.Width(), h = info.Rect.Height();
  int saved = 0;
  if (info.Buffered) {
    // A window's pixels reach the screen only when its surface is presented, so the request is
    // painted straight onto the window, logical (0, 0) at the request's top left and clipped to
    // it: no picture of its own to fill and copy. The designer draws with a canvas of its own,
    // whose pen, brush and font stay between paints and leave the window canvas's alone.
    if (!fScreen) fScreen = std::make_unique<TCanvas>();
    fScreen->SetHandle(&target->Handle());
    saved = SaveDC(*fScreen);
    TPoint origin;
    GetViewportOrgEx(*fScreen, origin);
    SetViewportOrgEx(*fScreen, origin.X + info.Rect.Left, origin.Y + info.Rect.Top, nullptr);
    IntersectClipRect(*fScreen, 0, 0, w, h);
    fCanvas = fScreen.get();
    Fill(info.Color, TRect{0, 0, w, h});
  } else {
    fCanvas = target;
  }
  auto finish = [&] {
    if (saved) {
      RestoreDC(*fScreen, saved);
      fScreen->SetHandle(nullptr);
    }
    ClearPaintState();
  };
  try {
    fPaintWidth = 0;
    ForEachGroup([&](const TgpPaintGroup&, int, int gw) { fPaintWidth += gw; });
    fRowsHeight = cells ? (info.LastRow - info.FirstRow + 1) * fRowHeight : 0;
    if (cells) {
      DrawBGCells();
      ForEachGroup([&](const TgpPaintGroup& g, int, int) {
        DrawGroupRecords(g, fOriginX, fOriginY, info.FirstRow, info.LastRow);
      });
    }
    if (fTitleHeight > 0) {
      DrawBGTitle();
      ForEachGroup([&](const TgpPaintGroup& g, int x, int) {
        DrawTitle(g, x, fOriginX);
        DrawGroupTitle(g, x, fOriginX);
      });
      if (info.PressedTitle >= 0 && !NoTitleInvert())
        for (const TgpPaintColumn& c : info.Columns)
          if (c.Index == info.PressedTitle && !c.Title.IsEmpty()) InvertRect(*fCanvas, Shifted(c.Title, false));
    }
    if (fFooterHeight > 0) {
      DrawBGFooter();
      ForEachGroup([&](const TgpPaintGroup& g, int x, int) {
        DrawFooter(g, x, fOriginX);
        DrawGroupFooter(g, x, fOriginX);
      });
    }
    DrawFG();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TgpBaseDesigner::DrawGroupTitle(const TgpPaintGroup& group, int, int) {
  if (!fPaintInfo->Font) return;
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    if (!c.Title.IsEmpty())
      DrawTitleContent(*fCanvas, Shifted(c.Title, false), c.TitleContent, this, *fPaintInfo->Font,
                       c.Index == fPaintInfo->PressedTitle);
}

void TgpBaseDesigner::DrawGroupFooter(const TgpPaintGroup& group, int, int originX) {
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    fGrid->PaintColumnFooter(c.Index, *fCanvas, originX, fOriginY);
}

void TgpBaseDesigner::DrawGroupRecords(const TgpPaintGroup& group, int originX, int originY, int firstRow,
                                       int lastRow) {
  if (!fPaintInfo->DataLink) return;
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    fGrid->PaintColumnRecords(c.Index, *fCanvas, originX, originY, firstRow, lastRow);
}

void TgpBaseDesigner::DrawSeparator(const TgpPaintGroup& group, TgpGridArea area, TColor color, int row) {
  fCanvas->Pen()->SetColor(color);
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group)) {
    TRect r = area == gaCell ? fPaintInfo->CellRect(c, row, false) : TgpPaintInfo::BandRect(c, area, false);
    if (r.IsEmpty()) continue;
    r = Shifted(r, area != gaTitle);
    if (c.Level > 0) Line(color, r.Left, r.Top - 1, r.Right, r.Top - 1);
    if (!c.FirstInLine) Line(color, r.Left - 1, r.Top - 1, r.Left - 1, r.Bottom);
  }
}

void TgpBaseDesigner::DrawBGTitle() { Fill(TitleColor(), TRect{0, 0, fPaintWidth, fTitleHeight}); }

void TgpBaseDesigner::DrawBGCells() {
  const TgpPaintInfo& info = *fPaintInfo;
  const TColor background = info.Color;
  const TgpFocusRectKind focusKind = FocusRectKind();
  TgpLookSources sources;
  sources.Background = background;
  sources.FixedColor = FixedColor();
  for (int row = info.FirstRow; row <= info.LastRow; ++row) {
    const int top = (row - info.FirstRow) * fRowHeight + fTitleHeight;
    if (row >= info.RowAttrsCount()) break;
    const TgpRowAttrs& a = info.GetRowAttrs(row);
    sources.Row = &a;
    sources.Column = nullptr;
    sources.Cell = nullptr;
    const TColor rowColor = ResolveCellLook(sources, nullptr).RowFill;
    if (rowColor != clNone) Fill(rowColor, TRect{0, top, fPaintWidth, top + fRowHeight});
    int right = 0;
    ForEachGroup([&](const TgpPaintGroup& g, int x, int w) {
      right = x + w;
      for (const TgpPaintColumn& c : info.GroupColumns(g)) {
        const TgpCellAttrs* cell = a.GetCellAttr(c.Index);
        sources.Column = &c;
        sources.Cell = cell;
        const TColor color = ResolveCellLook(sources, nullptr).Fill;
        const TRect withLines = Shifted(info.CellRect(c, row, true), true);
        if (color != clNone && color != rowColor) Fill(color, withLines);
        if (cell && cell->Current &&
            (focusKind == frcPersistentCell || (focusKind == frcCell && cell->Focused))) {
          TRect r = Shifted(info.CellRect(c, row, false), true);
          if (CellSeparator() == clNone && RowSeparator() == clNone) r = withLines;
          fCanvas->Brush()->SetColor(clHighlight);
          fCanvas->FrameRect(r);
          vprDrawFocusRect(*fCanvas, r);
        }
      }
      if (CellSeparator() != clNone) DrawSeparator(g, gaCell, CellSeparator(), row);
      if (a.Current && RowSeparator() != clNone) DrawSeparator(g, gaCell, RowSeparator(), row);
    });
    if ((a.Current && focusKind == frcPersistentRow) || (a.Focused && focusKind == frcRow))
      vprDrawFocusRect(*fCanvas, TRect{-fOriginX, top, right, top + fRowHeight - RowMargin()});
  }
}

void TgpBaseDesigner::DrawBGFooter() {
  Fill(fFooterSurfaceColor, TRect{0, fFooterTop, fPaintWidth, fFooterTop + fFooterHeight});
  if (fFlatFooter) return;
  const int right = fPaintWidth - 1;
  const int bottom = fFooterTop + fFooterHeight - 1;
  Line(clBtnHighlight, -fOriginX, bottom, -fOriginX, fFooterTop);
  Line(clBtnHighlight, -fOriginX, fFooterTop, right, fFooterTop);
  Line(clBtnShadow, right, fFooterTop, right, bottom);
  Line(clBtnShadow, right, bottom, -fOriginX - 1, bottom);
}

void TgpBaseDesigner::DrawTitle(const TgpPaintGroup&, int, int) {}

void TgpBaseDesigner::DrawFooter(const TgpPaintGroup& group, int, int) {
  fCanvas->Pen()->SetColor(fFooterLines);
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group)) {
    if (!c.HasFooter) continue;
    TRect r = c.Footer;
    if (r.IsEmpty()) continue;
    r = Shifted(r, true);
    Fill(c.FooterColor != clNone ? c.FooterColor : FooterColor(), r);
    if (fFlatFooter) {
      fCanvas->Brush()->SetColor(fFooterLines);
      fCanvas->FrameRect(r);
    } else {
      DrawEdge(*fCanvas, r, BDR_SUNKENOUTER, BF_RECT);
    }
  }
}

}  // namespace zv
