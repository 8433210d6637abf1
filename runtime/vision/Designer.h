#pragma once
// TgpDesigner: the component that gives grids their look. It keeps the colours, fonts and cell
// margins of titles, cells and footers, the margins the grid's geometry adds between groups,
// rows and bands, and the way a grid repaints when it scrolls; grids that use it hear of every
// change through IgpDesignerClient. Concrete designers publish the properties and paint.

#include "platform/classes/Component.h"
#include "platform/graphics/Colors.h"
#include "runtime/rtm/ChildFont.h"
#include "runtime/vision/PaintRecords.h"

#include <memory>
#include <vector>

namespace zv {

ZV_ENUM(TgpFocusRectKind, frcNone, frcCell, frcRow, frcPersistentCell, frcPersistentRow);
// How a grid repaints when it scrolls by one row.
ZV_ENUM(TgpDsgnUpdateMode, dumSmart, dumSmartScroll, dumFull);

// The indexes that pick one of a family of indexed properties (the numbers stored forms and the
// host's index clauses use): the band of a font or margins, a selection colour, an ultra-soft flag.
enum TgpBandIndex : int { biTitle = 1, biCell = 2, biFooter = 3 };
enum TgpSelectionColorIndex : int { sciSelectedCell = 1, sciSelectedRow = 2, sciHiddenSelection = 3 };
enum TgpSelectionTextIndex : int { stiSelectedCellText = 1, stiSelectedRowText = 2 };
enum TgpUltraSoftIndex : int { usiSelectedCell = 1, usiSelectedRow = 2 };

// What a designer needs from a grid that uses it. The grid calls AddGrid when its designer is
// set and RemoveGrid when it changes; the designer also forgets a grid whose component is freed.
class IgpDesignerClient {
public:
  // The grid as a component (for free notification), or nil.
  virtual TComponent* DesignerClientComponent() = 0;
  // The client area the base designer fills.
  virtual TRect DesignerClientRect() const = 0;
  virtual void InvalidateTitles() = 0;  // the titles, then the grid's own update
  virtual void InvalidateFooters() = 0;
  virtual void InvalidateSelectedRow() = 0;  // the current row
  virtual void InvalidateGrid() = 0;         // everything
  virtual void LayoutChanged() = 0;
  virtual void HeightsChanged() = 0;  // recompute heights, then repaint

protected:
  ~IgpDesignerClient() = default;
};

class TgpDesigner : public TComponent {
  ZV_CLASS(TgpDesigner, TComponent)

public:
  explicit TgpDesigner(TComponent* owner);
  ~TgpDesigner() override;

  // --- Grids ---------------------------------------------------------------------------------
  // Both do nothing while the designer is being destroyed; a grid is listed once.
  void AddGrid(IgpDesignerClient* grid);
  void RemoveGrid(IgpDesignerClient* grid);
  int GridCount() const { return static_cast<int>(fGrids.size()); }
  IgpDesignerClient* Grids(int index) const;

  // --- Colours -------------------------------------------------------------------------------
  TColor TitleColor() const { return fTitleColor; }
  void SetTitleColor(TColor value);
  TColor FooterColor() const { return fFooterColor; }
  void SetFooterColor(TColor value);
  TColor FixedColor() const { return fFixedColor; }
  void SetFixedColor(TColor value);
  TgpFocusRectKind FocusRectKind() const { return fFocusRectKind; }
  void SetFocusRectKind(TgpFocusRectKind value);

  // Index: TgpSelectionColorIndex.
  TColor SelectionColor(int index) const;
  void SetSelectionColor(int index, TColor value);
  TColor SelectedCell() const { return SelectionColor(sciSelectedCell); }
  void SetSelectedCell(TColor value) { SetSelectionColor(sciSelectedCell, value); }
  TColor SelectedRow() const { return SelectionColor(sciSelectedRow); }
  void SetSelectedRow(TColor value) { SetSelectionColor(sciSelectedRow, value); }
  TColor HiddenSelection() const { return SelectionColor(sciHiddenSelection); }
  void SetHiddenSelection(TColor value) { SetSelectionColor(sciHiddenSelection, value); }
  // Index: TgpSelectionTextIndex.
  TColor SelectionTextColor(int index) const;
  void SetSelectionTextColor(int index, TColor value);
  TColor SelectedCellText() const { return SelectionTextColor(stiSelectedCellText); }
  void SetSelectedCellText(TColor value) { SetSelectionTextColor(stiSelectedCellText, value); }
  TColor SelectedRowText() const { return SelectionTextColor(stiSelectedRowText); }
  void SetSelectedRowText(TColor value) { SetSelectionTextColor(stiSelectedRowText, value); }

  bool SelectedCellFill() const { return fSelectedCellFill; }
  void SetSelectedCellFill(bool value);
  bool SelectedRowFill() const { return fSelectedRowFill; }
  void SetSelectedRowFill(bool value);
  // Index: TgpUltraSoftIndex.
  bool UltraSoft(int index) const;
  void SetUltraSoft(int index, bool value);
  bool UltraSoftSelectedCell() const { return UltraSoft(usiSelectedCell); }
  void SetUltraSoftSelectedCell(bool value) { SetUltraSoft(usiSelectedCell, value); }
  bool UltraSoftSelectedRow() const { return UltraSoft(usiSelectedRow); }
  void SetUltraSoftSelectedRow(bool value) { SetUltraSoft(usiSelectedRow, value); }

  // The selection colours on a row's look. A selected row (or a drop row shown for a drag):
  // the selected text colour over the selected fill or the ultra-soft shading. The current row
  // with its current cell (nil when none): its row and cell fills, or with shown false the
  // hidden selection's colour.
  void ApplySelectedRowLook(TgpRowAttrs& row) const;
  void ApplyCurrentRowLook(TgpRowAttrs& row, TgpCellAttrs* cell, bool shown) const;

  // --- Fonts, by TgpBandIndex ---------------------------------------------------------------
  // Created on first read, with the designer as change listener.
  TChildFont* GetFont(int index) const;
  // Nil frees the font; anything else is copied into it. Heights change once either way.
  void SetFont(int index, TChildFont* value);
  // Whether the font exists; never creates it (painters and the stored test ask this).
  bool HasFont(int index) const;
  TChildFont* TitleFont() const { return GetFont(biTitle); }
  void SetTitleFont(TChildFont* value) { SetFont(biTitle, value); }
  TChildFont* CellFont() const { return GetFont(biCell); }
  void SetCellFont(TChildFont* value) { SetFont(biCell, value); }
  TChildFont* FooterFont() const { return GetFont(biFooter); }
  void SetFooterFont(TChildFont* value) { SetFont(biFooter, value); }
  bool HasTitleFont() const { return HasFont(biTitle); }
  bool HasCellFont() const { return HasFont(biCell); }
  bool HasFooterFont() const { return HasFont(biFooter); }

  // --- Cell margins, by TgpBandIndex --------------------------------------------------------
  TgpCellMargins* GetMargins(int index) const;
  // Copies value's four numbers (nil raises as TPersistent::Assign does); heights change once.
  void SetMargins(int index, TgpCellMargins* value);
  TgpCellMargins* TitleMargins() const { return GetMargins(biTitle); }
  void SetTitleMargins(TgpCellMargins* value) { SetMargins(biTitle, value); }
  TgpCellMargins* CellMargins() const { return GetMargins(biCell); }
  void SetCellMargins(TgpCellMargins* value) { SetMargins(biCell, value); }
  TgpCellMargins* FooterMargins() const { return GetMargins(biFooter); }
  void SetFooterMargins(TgpCellMargins* value) { SetMargins(biFooter, value); }

  // --- State the grid reads ----------------------------------------------------------------------
  bool Updating() const { return fUpdating; }
  TgpDsgnUpdateMode UpdateMode() const { return fUpdateMode; }
  bool NoTitleInvert() const { return fNoTitleInvert; }
  // Pixels the grid's geometry adds between groups, below rows, around the title and footer.
  int ColumnMargin() const { return fColumnMargin; }
  int RowMargin() const { return fRowMargin; }
  int TitleTopMargin() const { return fTitleTopMargin; }
  int TitleBottomMargin() const { return fTitleBottomMargin; }
  int FooterTopMargin() const { return fFooterTopMargin; }
  int FooterBottomMargin() const { return fFooterBottomMargin; }
  // Recomputes the six margins above, then lays the grids out again.
  void MarginsChanged();

  // --- Painting ------------------------------------------------------------------------------
  // The base fills the grid's client area with paintInfo.Color.
  virtual void PaintToScreen(IgpDesignerClient* grid, TgpPaintInfo& paintInfo);
  // Printing is not supported; descendants may.
  virtual void PaintToPrinter(TgpPaintInfo& paintInfo);

  // From a designer of exactly this class: DM_Copy under Updating, then one LayoutChanged
  // (also when the copy fails). Anything else fails as TPersistent::Assign does.
  void Assign(const TPersistent* source) override;

  // The published properties of concrete designers (this class publishes only Name and Tag).
  template <class C>
  static void DeclareDesignerProperties(TPropTable<C>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

  // Overridden by concrete designers; the base ones give no margins and copy nothing.
  virtual int GetColumnMargin() const;
  virtual int GetRowMargin() const;
  virtual void GetTitleMargins(int& top, int& bottom) const;
  virtual void GetFooterMargins(int& top, int& bottom) const;
  virtual void DM_Copy(const TgpDesigner& source);
  // Copies every property this class keeps; concrete designers' DM_Copy start with it.
  void CopyDesignerProperties(const TgpDesigner& source);

  void SetUpdateMode(TgpDsgnUpdateMode value) { fUpdateMode = value; }
  void SetNoTitleInvert(bool value) { fNoTitleInvert = value; }

  // Told to every grid in the list, in order; nothing while loading or Updating.
  void InvalidateTitles();
  void InvalidateFooters();
  void InvalidateSelectedRow();
  void InvalidateGrids();
  void LayoutChanged();
  void HeightsChanged();

  virtual void FontChanged(TObject* sender);

private:
  friend class TgpCellMargins;
  void CellMarginsChanged();  // a single value or an assignment from outside
  template <class F>
  void TellGrids(F&& call);

  struct TGridEntry {
    IgpDesignerClient* Client;
    TComponent* Component;  // compared on removal: the client may be half destroyed by then
  };
  std::vector<TGridEntry> fGrids;

  TColor fTitleColor = clBtnFace;
  TColor fFooterColor = clBtnFace;
  TColor fFixedColor = clBtnFace;
  TgpFocusRectKind fFocusRectKind = frcCell;
  TColor fSelectionColors[3] = {clHighlight, clHighlight, clBtnFace};
  TColor fSelectionTextColors[2] = {clHighlightText, clHighlightText};
  bool fSelectedCellFill = true;
  bool fSelectedRowFill = false;
  bool fUltraSoft[2] = {false, false};
  mutable std::unique_ptr<TChildFont> fFonts[3];
  std::unique_ptr<TgpCellMargins> fMargins[3];

  bool fUpdating = false;
  bool fFontQuiet = false;
  TgpDsgnUpdateMode fUpdateMode = dumSmart;
  bool fNoTitleInvert = true;
  int fColumnMargin = 0;
  int fRowMargin = 0;
  int fTitleTopMargin = 0;
  int fTitleBottomMargin = 0;
  int fFooterTopMargin = 0;
  int fFooterBottomMargin = 0;
};

// A column title's content in r (the title's rectangle without its lines): the designer's title
// margins, font and pressed look over the grid's font. truncated, when given, tells whether the
// caption needs more room than it has.
void DrawTitleContent(TCanvas& canvas, TRect r, const TgpPaintTitle& title, const TgpDesigner* designer,
                      const TFont& gridFont, bool pressed, bool* truncated = nullptr);

// The designer of grids that have none; created with the runtime package (nil before).
TgpDesigner* DefaultDesigner();
void SetDefaultDesigner(TgpDesigner* designer);


template <class C>
void TgpDesigner::DeclareDesignerProperties(TPropTable<C>& t) {
  static_assert(std::is_base_of_v<TgpDesigner, C>);
  using D = TgpDesigner;
  const TTypeInfo* colors = ColorTypeInfo();
  t.Prop("TitleColor", &D::TitleColor, &D::SetTitleColor).Default(clBtnFace).Idents(colors);
  t.Prop("FooterColor", &D::FooterColor, &D::SetFooterColor).Default(clBtnFace).Idents(colors);
  t.Prop("FixedColor", &D::FixedColor, &D::SetFixedColor).Default(clBtnFace).Idents(colors);
  t.Prop("FocusRectKind", &D::FocusRectKind, &D::SetFocusRectKind).Default(frcCell);
  t.Prop("TitleFont", &D::TitleFont, &D::SetTitleFont).Stored(&D::HasTitleFont);
  t.Prop("CellFont", &D::CellFont, &D::SetCellFont).Stored(&D::HasCellFont);
  t.Prop("FooterFont", &D::FooterFont, &D::SetFooterFont).Stored(&D::HasFooterFont);
  t.Prop("TitleMargins", &D::TitleMargins, &D::SetTitleMargins);
  t.Prop("CellMargins", &D::CellMargins, &D::SetCellMargins);
  t.Prop("FooterMargins", &D::FooterMargins, &D::SetFooterMargins);
  t.Prop("SelectedCell", &D::SelectedCell, &D::SetSelectedCell).Default(clHighlight).Idents(colors);
  t.Prop("SelectedRow", &D::SelectedRow, &D::SetSelectedRow).Default(clHighlight).Idents(colors);
  t.Prop("SelectedCellText", &D::SelectedCellText, &D::SetSelectedCellText)
      .Default(clHighlightText)
      .Idents(colors);
  t.Prop("SelectedRowText", &D::SelectedRowText, &D::SetSelectedRowText)
      .Default(clHighlightText)
      .Idents(colors);
  t.Prop("HiddenSelection", &D::HiddenSelection, &D::SetHiddenSelection)
      .Default(clBtnFace)
      .Idents(colors);
  t.Prop("SelectedCellFill", &D::SelectedCellFill, &D::SetSelectedCellFill).Default(true);
  t.Prop("SelectedRowFill", &D::SelectedRowFill, &D::SetSelectedRowFill).Default(false);
  t.Prop("UltraSoftSelectedCell", &D::UltraSoftSelectedCell, &D::SetUltraSoftSelectedCell)
      .Default(false);
  t.Prop("UltraSoftSelectedRow", &D::UltraSoftSelectedRow, &D::SetUltraSoftSelectedRow)
      .Default(false);
}

}  // namespace zv
