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

enum TgpFocusRectKind { frcNone, frcCell, frcRow, frcPersistentCell, frcPersistentRow };
// How a grid repaints when it scrolls by one row.
enum TgpDsgnUpdateMode { dumSmart, dumSmartScroll, dumFull };

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

  // Index 1 SelectedCell, 2 SelectedRow, 3 HiddenSelection.
  TColor SelectionColor(int index) const;
  void SetSelectionColor(int index, TColor value);
  TColor SelectedCell() const { return SelectionColor(1); }
  void SetSelectedCell(TColor value) { SetSelectionColor(1, value); }
  TColor SelectedRow() const { return SelectionColor(2); }
  void SetSelectedRow(TColor value) { SetSelectionColor(2, value); }
  TColor HiddenSelection() const { return SelectionColor(3); }
  void SetHiddenSelection(TColor value) { SetSelectionColor(3, value); }
  // Index 1 SelectedCellText, 2 SelectedRowText.
  TColor SelectionTextColor(int index) const;
  void SetSelectionTextColor(int index, TColor value);
  TColor SelectedCellText() const { return SelectionTextColor(1); }
  void SetSelectedCellText(TColor value) { SetSelectionTextColor(1, value); }
  TColor SelectedRowText() const { return SelectionTextColor(2); }
  void SetSelectedRowText(TColor value) { SetSelectionTextColor(2, value); }

  bool SelectedCellFill() const { return fSelectedCellFill; }
  void SetSelectedCellFill(bool value);
  bool SelectedRowFill() const { return fSelectedRowFill; }
  void SetSelectedRowFill(bool value);
  // Index 1 UltraSoftSelectedCell, 2 UltraSoftSelectedRow.
  bool UltraSoft(int index) const;
  void SetUltraSoft(int index, bool value);
  bool UltraSoftSelectedCell() const { return UltraSoft(1); }
  void SetUltraSoftSelectedCell(bool value) { SetUltraSoft(1, value); }
  bool UltraSoftSelectedRow() const { return UltraSoft(2); }
  void SetUltraSoftSelectedRow(bool value) { SetUltraSoft(2, value); }

  // --- Fonts: index 1 title, 2 cell, 3 footer --------------------------------------------------
  // Created on first read, with the designer as change listener.
  TChildFont* GetFont(int index) const;
  // Nil frees the font; anything else is copied into it. Heights change once either way.
  void SetFont(int index, TChildFont* value);
  // Whether the font exists; never creates it (painters and the stored test ask this).
  bool HasFont(int index) const;
  TChildFont* TitleFont() const { return GetFont(1); }
  void SetTitleFont(TChildFont* value) { SetFont(1, value); }
  TChildFont* CellFont() const { return GetFont(2); }
  void SetCellFont(TChildFont* value) { SetFont(2, value); }
  TChildFont* FooterFont() const { return GetFont(3); }
  void SetFooterFont(TChildFont* value) { SetFont(3, value); }
  bool HasTitleFont() const { return HasFont(1); }
  bool HasCellFont() const { return HasFont(2); }
  bool HasFooterFont() const { return HasFont(3); }

  // --- Cell margins: index 1 title, 2 cell, 3 footer -------------------------------------------
  TgpCellMargins* GetMargins(int index) const;
  // Copies value's four numbers (nil raises as TPersistent::Assign does); heights change once.
  void SetMargins(int index, TgpCellMargins* value);
  TgpCellMargins* TitleMargins() const { return GetMargins(1); }
  void SetTitleMargins(TgpCellMargins* value) { SetMargins(1, value); }
  TgpCellMargins* CellMargins() const { return GetMargins(2); }
  void SetCellMargins(TgpCellMargins* value) { SetMargins(2, value); }
  TgpCellMargins* FooterMargins() const { return GetMargins(3); }
  void SetFooterMargins(TgpCellMargins* value) { SetMargins(3, value); }

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

// The designer of grids that have none; created with the runtime package (nil before).
TgpDesigner* DefaultDesigner();
void SetDefaultDesigner(TgpDesigner* designer);

}  // namespace zv

ZV_ENUM_TYPE(zv::TgpFocusRectKind, frcNone, frcCell, frcRow, frcPersistentCell, frcPersistentRow)
ZV_ENUM_TYPE(zv::TgpDsgnUpdateMode, dumSmart, dumSmartScroll, dumFull)

namespace zv {

template <class C>
void TgpDesigner::DeclareDesignerProperties(TPropTable<C>& t) {
  static_assert(std::is_base_of_v<TgpDesigner, C>);
  using D = TgpDesigner;
  // The table binds C's accessors: the base's are converted to them.
  const TTypeInfo* colors = ColorTypeInfo();
  using Color = TColor (C::*)() const;
  using SetColorFn = void (C::*)(TColor);
  using Flag = bool (C::*)() const;
  using SetFlagFn = void (C::*)(bool);
  using Font = TChildFont* (C::*)() const;
  using SetFontFn = void (C::*)(TChildFont*);
  using Margins = TgpCellMargins* (C::*)() const;
  using SetMarginsFn = void (C::*)(TgpCellMargins*);
  t.Prop("TitleColor", Color(&D::TitleColor), SetColorFn(&D::SetTitleColor)).Default(clBtnFace).Idents(colors);
  t.Prop("FooterColor", Color(&D::FooterColor), SetColorFn(&D::SetFooterColor)).Default(clBtnFace).Idents(colors);
  t.Prop("FixedColor", Color(&D::FixedColor), SetColorFn(&D::SetFixedColor)).Default(clBtnFace).Idents(colors);
  t.Prop("FocusRectKind", static_cast<TgpFocusRectKind (C::*)() const>(&D::FocusRectKind),
         static_cast<void (C::*)(TgpFocusRectKind)>(&D::SetFocusRectKind))
      .Default(frcCell);
  t.Prop("TitleFont", Font(&D::TitleFont), SetFontFn(&D::SetTitleFont)).Stored(Flag(&D::HasTitleFont));
  t.Prop("CellFont", Font(&D::CellFont), SetFontFn(&D::SetCellFont)).Stored(Flag(&D::HasCellFont));
  t.Prop("FooterFont", Font(&D::FooterFont), SetFontFn(&D::SetFooterFont)).Stored(Flag(&D::HasFooterFont));
  t.Prop("TitleMargins", Margins(&D::TitleMargins), SetMarginsFn(&D::SetTitleMargins));
  t.Prop("CellMargins", Margins(&D::CellMargins), SetMarginsFn(&D::SetCellMargins));
  t.Prop("FooterMargins", Margins(&D::FooterMargins), SetMarginsFn(&D::SetFooterMargins));
  t.Prop("SelectedCell", Color(&D::SelectedCell), SetColorFn(&D::SetSelectedCell)).Default(clHighlight).Idents(colors);
  t.Prop("SelectedRow", Color(&D::SelectedRow), SetColorFn(&D::SetSelectedRow)).Default(clHighlight).Idents(colors);
  t.Prop("SelectedCellText", Color(&D::SelectedCellText), SetColorFn(&D::SetSelectedCellText))
      .Default(clHighlightText)
      .Idents(colors);
  t.Prop("SelectedRowText", Color(&D::SelectedRowText), SetColorFn(&D::SetSelectedRowText))
      .Default(clHighlightText)
      .Idents(colors);
  t.Prop("HiddenSelection", Color(&D::HiddenSelection), SetColorFn(&D::SetHiddenSelection))
      .Default(clBtnFace)
      .Idents(colors);
  t.Prop("SelectedCellFill", Flag(&D::SelectedCellFill), SetFlagFn(&D::SetSelectedCellFill)).Default(true);
  t.Prop("SelectedRowFill", Flag(&D::SelectedRowFill), SetFlagFn(&D::SetSelectedRowFill)).Default(false);
  t.Prop("UltraSoftSelectedCell", Flag(&D::UltraSoftSelectedCell), SetFlagFn(&D::SetUltraSoftSelectedCell))
      .Default(false);
  t.Prop("UltraSoftSelectedRow", Flag(&D::UltraSoftSelectedRow), SetFlagFn(&D::SetUltraSoftSelectedRow))
      .Default(false);
}

}  // namespace zv
