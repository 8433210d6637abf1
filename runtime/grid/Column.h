#pragma once
// TgpColumn: one column of a TDBDivoRud. It binds a field (by name) to a field vision through
// its own field list, and carries what the grid shows of that field: caption, title image and
// sort state, footer text and aggregate state, width, colours, alignment, font and options.
// Consecutive columns form groups whose levels stack inside each row (Columns.h).

#include "platform/classes/Collection.h"
#include "platform/controls/Menus.h"
#include "platform/db/Field.h"
#include "platform/graphics/Bitmap.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/ChildFont.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/FieldVisionConsumer.h"
#include "runtime/vision/Painter.h"

#include <memory>

namespace zv {

class TDBDivoRud;
class TgpColumns;
class TvpFieldVision;

class TgpColumn : public TCollectionItem, public IvpFieldVisionConsumer {
  ZV_CLASS(TgpColumn, TCollectionItem)

public:
  static constexpr int DefaultWidth = 45;
  static constexpr int MinWidth = 2;
  // Wider than any screen; keeps the sums of a group's and the grid's widths far from overflow
  // whatever width a stored layout holds.
  static constexpr int MaxWidth = 32767;

  explicit TgpColumn(TCollection* collection = nullptr);
  ~TgpColumn() override;

  // The grid whose collection holds this column, and that collection; null otherwise.
  TDBDivoRud* GetGrid() const;
  TgpColumns* GetColumns() const;
  TvpCustomFieldMapper* GetMapper() const;

  // ---- Published --------------------------------------------------------------------------
  const String& FieldName() const { return fFieldName; }
  void SetFieldName(const String& value);
  // What was asked for (null: the field list's default vision is in use).
  TvpFieldVision* Vision() const { return fVision; }
  void SetVision(TvpFieldVision* value);
  TgpColumnVisualOptions OptionsVisual() const { return fOptionsVisual; }
  void SetOptionsVisual(TgpColumnVisualOptions value);
  TgpColumnBehaviorOptions OptionsBehavior() const { return fOptionsBehavior; }
  void SetOptionsBehavior(TgpColumnBehaviorOptions value);
  TgpColumnMappingOptions OptionsMapping() const { return fOptionsMapping; }
  void SetOptionsMapping(TgpColumnMappingOptions value);
  TgpColumnFixed Fixed() const { return fFixed; }
  void SetFixed(TgpColumnFixed value);
  const String& DisplayFormat() const { return fDisplayFormat; }
  void SetDisplayFormat(const String& value);
  const String& EditFormat() const { return fEditFormat; }
  void SetEditFormat(const String& value);
  const String& Caption() const { return fCaption; }
  void SetCaption(const String& value);
  TvpDefAlignment CaptionAlignment() const { return fCaptionAlignment; }
  void SetCaptionAlignment(TvpDefAlignment value);
  // Created on first read, always transparent.
  TBitmap* TitleGlyph() const;
  void SetTitleGlyph(TBitmap* value);
  bool HasTitleGlyph() const { return fTitleGlyph && !fTitleGlyph->Empty(); }
  int TitleImageIndex() const { return fTitleImageIndex; }
  void SetTitleImageIndex(int value);
  TgpColumnTitleState TitleState() const { return fTitleState; }
  // The field writer: numbers a newly sorted column after the grid's last one; no event.
  void SetTitleStateField(TgpColumnTitleState value);
  // A sort state as a title click sets it: exclusive first clears every column's state; the
  // titles repaint and, with fireEvent, the grid's OnTitleStateChange follows.
  void SetTitleState(TgpColumnTitleState value, bool exclusive, bool fireEvent);
  const String& FooterText() const { return fFooterText; }
  void SetFooterText(const String& value);
  TvpDefAlignment FooterTextAlignment() const { return fFooterTextAlignment; }
  void SetFooterTextAlignment(TvpDefAlignment value);
  TgpColumnFooterState FooterState() const { return fFooterState; }
  // The field writer: a new state clears FooterText.
  void SetFooterStateField(TgpColumnFooterState value);
  // A footer state as the footer menu sets it: through the grid, which fires OnFooterStateChange.
  void SetFooterState(TgpColumnFooterState value);
  TgpColumnFooterStates FooterStates() const { return fFooterStates; }
  void SetFooterStates(TgpColumnFooterStates value) { fFooterStates = value; }
  int Tag() const { return fTag; }
  void SetTag(int value) { fTag = value; }
  int Width() const { return fWidth; }
  void SetWidth(int value);
  int LayoutLevel() const { return fLayoutLevel; }
  void SetLayoutLevel(int value);
  int LayoutIndex() const { return fLayoutIndex; }
  void SetLayoutIndex(int value);
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value) { fReadOnly = value; }
  TColor Color() const { return fColor; }
  void SetColor(TColor value);
  TvpDefAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TvpDefAlignment value);
  TvpDefLayout VertAlignment() const { return fVertAlignment; }
  void SetVertAlignment(TvpDefLayout value);
  // Created on first read; its changes recompute the grid's heights.
  TChildFont* Font() const;
  void SetFont(TChildFont* value);
  bool HasFont() const { return fFont != nullptr; }
  TPopupMenu* PopupMenu() const { return fPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  bool Visible() const { return fVisible; }
  void SetVisible(bool value);

  // ---- Run-time state ---------------------------------------------------------------------
  TgpFieldList* FieldList() const { return fFieldList.get(); }
  // The field list's effective vision (the asked one, else the default); may be null.
  TvpFieldVision* CurVision() const;
  TField* Field() const { return fField; }
  TgpGroupInfo* Group() const { return fGroup; }
  int ActualLevel() const { return fActualLevel; }
  int ActualIndex() const { return fActualIndex; }
  const TgpColumnLowLevelInfo& LowLevel() const { return fLowLevel; }
  TgpFooterAttrs* FooterAttrs() const { return fFooterAttrs.get(); }
  TgpCellAttrs* CellAttrs(int row) const { return fCellAttrs.Items(row); }
  int CellAttrsCount() const { return fCellAttrs.Count(); }
  void SetCellAttrsCount(int count) { fCellAttrs.SetCount(count); }
  // The title-state sequence number; -1 while the title is unsorted.
  int SortID() const { return fSortID; }
  void SetSortID(int value) { fSortID = value; }
  // The height of this column's level in each band, as its grid's layout gives it (0 without
  // a grid or a group).
  int TitleLevelHeight() const;
  int CellLevelHeight() const;
  int FooterLevelHeight() const;
  // Pixels from its group's left edge to its own on its level, as the layout gives it; -1 while
  // hidden or in no group.
  int OffsetInLevel() const;
  // True while the grid's editor is open on this column; on opens it (Edit), off closes it
  // with a post (GridEditing.cpp).
  bool Editing() const { return fEditing; }
  void SetEditing(bool value);
  // Makes the column current and opens the grid's editor on it; true when it is open.
  bool Edit();

  bool Selectable() const { return fVisible && !fOptionsBehavior.Contains(cboNoSelecting); }
  bool IsLeading() const { return fLayoutLevel == 0 && fLayoutIndex == 0; }
  bool FieldNameIs(std::string_view name) const;

  // ---- Operations -------------------------------------------------------------------------
  void Assign(const TPersistent* source) override;
  // What AssignEx copies: an or-ed combination of these (apAll, 0, is a full Assign).
  enum TAssignPart : int {
    apAll = 0,
    apPosition = 1,  // width, layout and actual level and index
    apVisible = 2,
    apStates = 4,  // title and footer states, sort order
    apLooks = 8,   // visual options, colour, alignment, font
    apFieldName = 32,
    apVision = 64,
    apOptionsBehavior = 128,
  };
  void AssignEx(const TgpColumn* source, int parts);
  String DisplayName() const override;
  // Applies the mapper's entry for this column's field (with the import options).
  void UpdateFieldMap();
  // The vision's text for the current record; empty while the field list is not valid.
  String GetText(bool displayText);
  int CalcTitleHeight(int lines, int margins);
  // The caption, or the field name without one.
  String TitleCaption() const;
  // Draw the title (its glyph or title image and its caption) and the footer (marker and text)
  // of this column of a grid where they lie in its client area; truncated, when given, tells
  // whether the text needed more room than its rectangle has.
  void DrawTitle(TCanvas& canvas, bool* truncated = nullptr);
  // What the title shows, as a paint plan carries it.
  TgpPaintTitle PaintTitle() const;
  void DrawFooter(TCanvas& canvas, bool* truncated = nullptr);
  // The footer's text in r, its rectangle without lines.
  void DrawFooterIn(TCanvas& canvas, const TRect& r, bool* truncated = nullptr);
  // Moves the whole group; during the collection's own reshuffles a plain move.
  void SetIndex(int index) override;
  void InvalidateTitle();
  void InvalidateFooter();

  // ---- IvpFieldVisionConsumer -------------------------------------------------------------
  TComponent* GetComponent() override;
  bool CanModify() override;
  bool DoBeforeEdit() override;
  void DoBeginEdit() override {}
  void DoAfterPost() override;
  bool UpdateVisualAttrs() override;
  void UpdatePopupMenu() override {}
  void VisionChanged(TvpFieldVision* vision) override;
  void UpdateFields() override;
  void ValidateFields() override;
  void Invalidate() override;
  void UpdateHeight() override;
  void UpdateEditButton() override {}
  void RecreateEditor() override {}

  static void DeclareProperties(TPropTable<TgpColumn>& t);

protected:
  void DefineProperties(TFiler& filer) override;

private:
  friend class TgpColumns;
  friend class TDBDivoRud;
  bool IsLayoutFrozen() const;  // loading, or the collection is in an update
  bool IsVisionStored() const;
  bool IsCaptionStored() const;
  bool IsFontStored() const { return fFont != nullptr; }
  bool IsSortIDStored() const { return fSortID != -1; }
  void FontChanged(TObject*);
  void MoveInLayout(int level, int index);

  String fFieldName;
  TvpFieldVision* fVision = nullptr;
  TgpColumnVisualOptions fOptionsVisual;
  TgpColumnBehaviorOptions fOptionsBehavior;
  TgpColumnMappingOptions fOptionsMapping{cioImportCaption, cioImportDomain};
  TgpColumnFixed fFixed = cfNone;
  String fDisplayFormat;
  String fEditFormat;
  String fCaption;
  TvpDefAlignment fCaptionAlignment = talDefault;
  mutable std::unique_ptr<TBitmap> fTitleGlyph;
  int fTitleImageIndex = -1;
  TgpColumnTitleState fTitleState = tsSortedNone;
  String fFooterText;
  TvpDefAlignment fFooterTextAlignment = talDefault;
  TgpColumnFooterState fFooterState = fsNone;
  TgpColumnFooterStates fFooterStates = AllFooterStates;
  int fTag = 0;
  int fWidth = DefaultWidth;
  int fLayoutLevel = 0;
  int fLayoutIndex = 0;
  bool fReadOnly = false;
  TColor fColor = clNone;
  TvpDefAlignment fAlignment = talDefault;
  TvpDefLayout fVertAlignment = tlaDefault;
  mutable std::unique_ptr<TChildFont> fFont;
  TPopupMenu* fPopupMenu = nullptr;
  bool fVisible = true;

  std::unique_ptr<TgpFieldList> fFieldList;
  TField* fField = nullptr;
  TgpCellAttrsList fCellAttrs;
  std::unique_ptr<TgpFooterAttrs> fFooterAttrs;
  TgpColumnLowLevelInfo fLowLevel;
  TgpGroupInfo* fGroup = nullptr;
  int fActualLevel = -1;
  int fActualIndex = -1;
  int fSortID = -1;
  bool fEditing = false;
  bool fAssigning = false;
  bool fMapping = false;
  bool fNoInvalidate = false;  // the grid repaints once after a change with an event inside
};

}  // namespace zv
