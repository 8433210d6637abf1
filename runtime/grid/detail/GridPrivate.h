#pragma once
// The grid's private state: what TDBDivoRud remembers between calls, grouped as its sources are.
// Only the grid's own sources (and the friends named in DBDivoRud.h) include this header; they
// reach it as d->Name.

#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/DeleteParams.h"
#include "runtime/grid/InplaceEdit.h"

#include <memory>

namespace zv::griddetail {

struct TGridPrivate {
  // ---- Navigation: state ------------------------------------------------------------------------
  bool WantTabs = true;
  bool WantReturns = true;
  TgpPickupOptions OptionsPickup{gpoReturnKey, gpoDblClick};
  TgpGridEditOptions OptionsEdit;
  bool RowSelect = false;
  bool MultiSelect = false;
  bool HideSelection = true;
  bool HasFocus = false;
  TgpGridState GridState = gsNormal;
  TgpColumn* ClickedColumn = nullptr;
  bool ClickHandled = false;
  bool EditOnMouseUp = false;
  bool ClearOnMouseUp = false;
  bool PickupResult = false;

  // ---- Title images ------------------------------------------------------------------------------
  TCustomImageList* TitleImages = nullptr;
  std::unique_ptr<TChangeLink> TitleImagesLink;
  std::unique_ptr<TBitmap> HintScratch;  // the 1 x 1 canvas hints measure titles and footers on

  // ---- Data link and owned parts ---------------------------------------------------------------
  std::unique_ptr<TDataLinkEx> DataLink;
  std::unique_ptr<TgpSelection> Selection;
  std::unique_ptr<TgpAutoSearch> AutoSearch;
  std::unique_ptr<TgpAutoSearchParams> ParamsAutoSearch;
  std::unique_ptr<TgpTitleTracker> TitleTracker;
  TDataSet* DataSet = nullptr;
  TvpBorderStyle BorderStyle = bs3D;

  // ---- Columns and layout ------------------------------------------------------------------
  std::unique_ptr<TgpColumns> Columns;
  TvpCustomFieldMapper* Mapper = nullptr;
  TgpDesigner* Designer = nullptr;
  String Attrs;
  bool ReadOnly = false;
  TLayout VertAlignment = tlCenter;
  int Col = -1;
  TgpColumn* CurrentColumn = nullptr;
  int TitleStateCounter = -1;
  TScrollInfo ViewBar;
  bool ViewBarSet = false;

  // ---- State, layout, scrolling, painting ------------------------------------------------------
  int TitleLines = 1;
  int RowLines = 1;
  int FootLines = 1;
  bool ShowTitles = true;
  bool ShowFooters = false;
  bool ShowEmptyRow = true;
  int StripStep = -1;
  TScrollStyle ScrollBars = ssBoth;
  TgpGridVisualOptions OptionsVisual;
  TgpGridLayout Layout;
  int ActiveRow = 0;
  int FreezeCount = 0;
  TgpGridHit Hover;
  TgpColumn* HoverColumn = nullptr;
  TgpOverPrevPos OverPrevPos;
  TScrollInfo RecordBar;
  bool RecordBarSet = false;
  int AutoScrollTicks = -1;  // -1 while the timer is off
  std::unique_ptr<TgpPaintInfo> PaintInfo;
  TgpPainter Painter;
  std::unique_ptr<TBitmap> PaintBitmap;

  // ---- Records and snapshots ----------------------------------------------------------------
  TgpCursorType CursorType = gctSensitive;
  String UniqueFields;
  String BookmarkFields;
  std::unique_ptr<TgpDBParams> ParamsDB;
  // Owned here until the selection takes it; CurrentRecShot is the reference kept after that.
  std::unique_ptr<TgpCurrentRecShot> OwnedCurrentRecShot;
  TgpCurrentRecShot* CurrentRecShot = nullptr;
  int CurrentRow = -1;
  TgpUserAction Action;
  bool Posting = false;
  TControl* ToolForm = nullptr;

  // ---- Title states and footers ----------------------------------------------------------------
  TgpGridBehaviorOptions OptionsBehavior;
  bool ReleasingButton = false;  // inside the left button's release

  // ---- Editing ------------------------------------------------------------------------------------
  std::unique_ptr<TgpDeleteParams> ParamsDelete;
  std::unique_ptr<TgpInplaceEdit> InplaceEdit;
  bool EditorShown = false;
  bool EditorHiding = false;
  bool EditorActivating = false;

  // ---- Drags and the customizer --------------------------------------------------------------------
  TWinControl* CustomizerWindow = nullptr;  // the attached customizer's form
};

// Where a column's cells take their font from: the grid's, the designer's cell font and the
// column's own (no column: the grid's cells without one).
inline TgpLookSources CellLookSources(const TDBDivoRud& grid, const TgpDesigner* designer, const TgpColumn* column) {
  TgpLookSources s;
  s.GridFont = grid.Font();
  s.DesignerFont = designer && designer->HasCellFont() ? designer->CellFont() : nullptr;
  s.ColumnFont = column && column->HasFont() ? column->Font() : nullptr;
  return s;
}

}  // namespace zv::griddetail
