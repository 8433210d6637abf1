#include "runtime/vision/BaseDesigner.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"

#include <algorithm>

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
  fTitleHeight = info.Areas.Contains(gaTitle) ? info.TitleHeight : 0;
  const bool cells = info.Areas.Contains(gaCell) && info.FirstRow >= 0;
  fRowsTop = cells ? info.RowTop(info.FirstRow) : fTitleHeight;
  fRowsHeight = cells ? (info.LastRow - info.FirstRow + 1) * fRowHeight : 0;
  if (info.Areas.Contains(gaFooter)) {
    fFooterHeight = info.FooterHeight;
    fFooterTop = info.FooterTop;
  } else {
    fFooterHeight = fFooterTop = 0;
  }
  fPaintLeft = info.PaintGroups.empty() ? info.Rect.Left : info.PaintGroups.front().Left;
  fPaintRight = fPaintLeft;
  for (const TgpPaintGroup& g : info.PaintGroups) fPaintRight = std::max(fPaintRight, g.Left + g.Width);
  TCanvas* target = info.Canvas;
  // Everything is drawn in the plan's client coordinates: the one origin set here maps them onto
  // the target, the window (whose origin already is the client's) or a picture of the request.
  if (info.Buffered) {
    // A window's pixels reach the screen only when its surface is presented, so the request is
    // painted straight onto the window, clipped to it: no picture of its own to fill and copy.
    // The designer draws with a canvas of its own, whose pen, brush and font stay between
    // paints and leave the window canvas's alone.
    if (!fScreen) fScreen = std::make_unique<TCanvas>();
    fScreen->SetHandle(&target->Handle());
    fCanvas = fScreen.get();
  } else {
    fCanvas = target;
  }
  const int saved = SaveDC(*fCanvas);
  if (info.Buffered) {
    IntersectClipRect(*fCanvas, info.Rect.Left, info.Rect.Top, info.Rect.Right, info.Rect.Bottom);
  } else {
    TPoint origin;
    GetViewportOrgEx(*fCanvas, origin);
    SetViewportOrgEx(*fCanvas, origin.X - info.Rect.Left, origin.Y - info.Rect.Top, nullptr);
  }
  auto finish = [&] {
    RestoreDC(*fCanvas, saved);
    if (info.Buffered) fScreen->SetHandle(nullptr);
    ClearPaintState();
  };
  try {
    if (info.Buffered) Fill(info.Color, info.Rect);
    if (cells) {
      DrawBGCells();
      ForEachGroup([&](const TgpPaintGroup& g, int, int) { DrawGroupRecords(g); });
    }
    if (fTitleHeight > 0) {
      DrawBGTitle();
      ForEachGroup([&](const TgpPaintGroup& g, int, int) {
        DrawTitle(g);
        DrawGroupTitle(g);
      });
      if (info.PressedTitle >= 0 && !NoTitleInvert())
        for (const TgpPaintColumn& c : info.Columns)
          if (c.Index == info.PressedTitle && !c.Title.IsEmpty()) InvertRect(*fCanvas, c.Title);
    }
    if (fFooterHeight > 0) {
      DrawBGFooter();
      ForEachGroup([&](const TgpPaintGroup& g, int, int) {
        DrawFooter(g);
        DrawGroupFooter(g);
      });
    }
    DrawFG();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TgpBaseDesigner::DrawGroupTitle(const TgpPaintGroup& group) {
  if (!fPaintInfo->Font) return;
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    if (!c.Title.IsEmpty())
      DrawTitleContent(*fCanvas, c.Title, c.TitleContent, this, *fPaintInfo->Font, c.Index == fPaintInfo->PressedTitle);
}

void TgpBaseDesigner::DrawGroupFooter(const TgpPaintGroup& group) {
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    if (c.HasFooter && !c.Footer.IsEmpty()) fGrid->PaintColumnFooter(c, *fCanvas);
}

void TgpBaseDesigner::DrawGroupRecords(const TgpPaintGroup& group) {
  if (!fPaintInfo->DataLink) return;
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group))
    fGrid->PaintColumnRecords(*fPaintInfo, c, *fCanvas);
}

void TgpBaseDesigner::DrawSeparator(const TgpPaintGroup& group, TgpGridArea area, TColor color, int row) {
  fCanvas->Pen()->SetColor(color);
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group)) {
    TRect r = area == gaCell ? fPaintInfo->CellRect(c, row, false) : TgpPaintInfo::BandRect(c, area, false);
    if (r.IsEmpty()) continue;
    if (c.Level > 0) Line(color, r.Left, r.Top - 1, r.Right, r.Top - 1);
    if (!c.FirstInLine) Line(color, r.Left - 1, r.Top - 1, r.Left - 1, r.Bottom);
  }
}

void TgpBaseDesigner::DrawBGTitle() { Fill(TitleColor(), TRect{fPaintLeft, 0, fPaintRight, fTitleHeight}); }

void TgpBaseDesigner::DrawBGCells() {
  const TgpPaintInfo& info = *fPaintInfo;
  const TColor background = info.Color;
  const TgpFocusRectKind focusKind = FocusRectKind();
  TgpLookSources sources;
  sources.Background = background;
  sources.FixedColor = FixedColor();
  for (int row = info.FirstRow; row <= info.LastRow; ++row) {
    const int top = info.RowTop(row);
    if (row >= info.RowAttrsCount()) break;
    const TgpRowAttrs& a = info.GetRowAttrs(row);
    sources.Row = &a;
    sources.Column = nullptr;
    sources.Cell = nullptr;
    const TColor rowColor = ResolveCellLook(sources, nullptr).RowFill;
    if (rowColor != clNone) Fill(rowColor, TRect{fPaintLeft, top, fPaintRight, top + fRowHeight});
    int right = 0;
    ForEachGroup([&](const TgpPaintGroup& g, int x, int w) {
      right = x + w;
      for (const TgpPaintColumn& c : info.GroupColumns(g)) {
        const TgpCellAttrs* cell = a.GetCellAttr(c.Index);
        sources.Column = &c;
        sources.Cell = cell;
        const TColor color = ResolveCellLook(sources, nullptr).Fill;
        const TRect withLines = info.CellRect(c, row, true);
        if (color != clNone && color != rowColor) Fill(color, withLines);
        if (cell && cell->Current &&
            (focusKind == frcPersistentCell || (focusKind == frcCell && cell->Focused))) {
          TRect r = info.CellRect(c, row, false);
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
      vprDrawFocusRect(*fCanvas, TRect{0, top, right, top + fRowHeight - RowMargin()});
  }
}

void TgpBaseDesigner::DrawBGFooter() {
  Fill(fFooterSurfaceColor, TRect{fPaintLeft, fFooterTop, fPaintRight, fFooterTop + fFooterHeight});
  if (fFlatFooter) return;
  const int right = fPaintRight - 1;
  const int bottom = fFooterTop + fFooterHeight - 1;
  Line(clBtnHighlight, 0, bottom, 0, fFooterTop);
  Line(clBtnHighlight, 0, fFooterTop, right, fFooterTop);
  Line(clBtnShadow, right, fFooterTop, right, bottom);
  Line(clBtnShadow, right, bottom, -1, bottom);
}

void TgpBaseDesigner::DrawTitle(const TgpPaintGroup&) {}

void TgpBaseDesigner::DrawFooter(const TgpPaintGroup& group) {
  fCanvas->Pen()->SetColor(fFooterLines);
  for (const TgpPaintColumn& c : fPaintInfo->GroupColumns(group)) {
    if (!c.HasFooter) continue;
    TRect r = c.Footer;
    if (r.IsEmpty()) continue;
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
