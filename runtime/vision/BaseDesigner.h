#pragma once
// TgpBaseDesigner: the painting template the concrete designers share. PaintToScreen paints a
// grid's paint request band by band (cells, titles, footers), straight onto the grid's window
// in the grid's client coordinates, the coordinates of the request's plan; the virtual drawing
// steps are what the standard and lite designers change.

#include "platform/graphics/Bitmap.h"
#include "runtime/vision/Designer.h"

#include <memory>

namespace zv {

// The indexes of the designers' line colours, shared by the base and the standard designer (the
// numbers stored forms and the host's index clauses use).
enum TgpLineIndex : int {
  liTitleSeparator = 2, liVertLines = 5, liHorizLines = 6, liMarginLines = 7, liCellSeparator = 8,
  liRowSeparator = 9, liBoundLines = 10
};

class TgpBaseDesigner : public TgpDesigner {
  ZV_CLASS(TgpBaseDesigner, TgpDesigner)

public:
  explicit TgpBaseDesigner(TComponent* owner);
  ~TgpBaseDesigner() override;

  // Index: liVertLines, liHorizLines, liCellSeparator, liRowSeparator.
  TColor LineColor(int index) const;
  void SetLineColor(int index, TColor value);
  TColor VertLines() const { return LineColor(liVertLines); }
  void SetVertLines(TColor value) { SetLineColor(liVertLines, value); }
  TColor HorizLines() const { return LineColor(liHorizLines); }
  void SetHorizLines(TColor value) { SetLineColor(liHorizLines, value); }
  TColor CellSeparator() const { return LineColor(liCellSeparator); }
  void SetCellSeparator(TColor value) { SetLineColor(liCellSeparator, value); }
  TColor RowSeparator() const { return LineColor(liRowSeparator); }
  void SetRowSeparator(TColor value) { SetLineColor(liRowSeparator, value); }
  TColor FooterSurfaceColor() const { return fFooterSurfaceColor; }
  void SetFooterSurfaceColor(TColor value);
  TColor FooterLines() const { return fFooterLines; }
  void SetFooterLines(TColor value);
  bool FlatFooter() const { return fFlatFooter; }
  void SetFlatFooter(bool value);

  void PaintToScreen(IgpDesignerClient* grid, TgpPaintInfo& paintInfo) override;

  // ---- Paint state: valid only inside PaintToScreen --------------------------------------------
  TgpPaintInfo* PaintInfo() const { return fPaintInfo; }
  IgpPaintGrid* Grid() const { return fGrid; }
  TCanvas* Canvas() const { return fCanvas; }
  // Client coordinates, as the plan's: the painted groups span PaintLeft..PaintRight, the title
  // band 0..TitleHeight (0 when not painted), the painted rows RowsTop..RowsTop + RowsHeight.
  int RowHeight() const { return fRowHeight; }
  int TitleHeight() const { return fTitleHeight; }
  int RowsTop() const { return fRowsTop; }
  int RowsHeight() const { return fRowsHeight; }
  int FooterTop() const { return fFooterTop; }
  int FooterHeight() const { return fFooterHeight; }
  int PaintLeft() const { return fPaintLeft; }
  int PaintRight() const { return fPaintRight; }

  void DrawGroupTitle(const TgpPaintGroup& group);
  void DrawGroupFooter(const TgpPaintGroup& group);
  void DrawGroupRecords(const TgpPaintGroup& group);
  // Lines between the cells of one group in one band (row for gaCell).
  void DrawSeparator(const TgpPaintGroup& group, TgpGridArea area, TColor color, int row);

protected:
  void GetFooterMargins(int& top, int& bottom) const override;
  void DM_Copy(const TgpDesigner& source) override;
  void CopyBaseProperties(const TgpBaseDesigner& source);

  virtual void DrawBGTitle();
  virtual void DrawBGCells();
  virtual void DrawBGFooter();
  virtual void DrawTitle(const TgpPaintGroup& group);
  virtual void DrawFooter(const TgpPaintGroup& group);
  virtual void DrawFG() {}

  // The plan's groups, left to right, with their left edge x and width w.
  template <class F>
  void ForEachGroup(F&& f) const;
  void Line(TColor color, int x1, int y1, int x2, int y2);
  void Fill(TColor color, const TRect& r);

private:
  void ClearPaintState();

  TColor fLines[4] = {clBlack, clBlack, clBlack, clNone};  // 5, 6, 8, 9
  TColor fFooterSurfaceColor = clBtnFace;
  TColor fFooterLines = clGray;
  bool fFlatFooter = false;

  TgpPaintInfo* fPaintInfo = nullptr;
  IgpPaintGrid* fGrid = nullptr;
  TCanvas* fCanvas = nullptr;
  int fRowHeight = 0, fTitleHeight = 0, fRowsTop = 0, fRowsHeight = 0, fFooterTop = 0, fFooterHeight = 0,
      fPaintLeft = 0, fPaintRight = 0;
  std::unique_ptr<TCanvas> fScreen;  // draws on the window during a buffered paint
};

template <class F>
void TgpBaseDesigner::ForEachGroup(F&& f) const {
  if (!fPaintInfo) return;
  for (const TgpPaintGroup& g : fPaintInfo->PaintGroups) f(g, g.Left, g.Width);
}

}  // namespace zv
