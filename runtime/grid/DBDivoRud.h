#pragma once
// TDBDivoRud, the data-aware grid: a windowed control that shows a dataset's records through
// its columns. The class is split by concern across several sources (construction and the data
// source here; columns and layout, record snapshots, geometry, painting, input and editing in
// their own files); this header is its whole public face.
//
// How the work flows (the file of each step in brackets):
//
// Painting: WM_PAINT -> Paint [GridPaint] builds one paint request (TgpPaintInfo) for the damaged
//   band, with the plan of its groups and columns from the layout [GridLayout] -> HandOver:
//   InitRowAttrs walks the rows with the data link's active record moved
//   (TActiveRecordScope puts it back), OnGetRowAttrs -> the designer's PaintToScreen
//   [vision/BaseDesigner]: titles from the plan, per column PaintColumnRecords / PaintColumnFooter
//   [GridPaint] -> the column's vision draws each cell through the grid's one TgpPainter
//   [vision/VisionDraw, ColumnDrawing].
// A key (Down): WMKeyDown -> KeyDown -> NavigationKey [GridKeys] -> SelectCell [GridNavigation]
//   -> PlanMove (actions, row distance, target column; no side effects) -> DoUserActions: the
//   user action (TgpUserAction::TScope, UserAction.h) holds the pending column and selection
//   actions, TGridFreeze pairs the freeze -> TDataSet::MoveBy [platform/db] -> the data link ->
//   DaDataSetScrolled [GridDataEvents] applies the pending column and selection actions through
//   the selection part (Selection.h) and repaints the rows that moved -> back in DoUserActions:
//   title and cell invalidation, OnColEnter; the scopes end the action and the freeze.
// A click: MouseDown [GridMouse] -> the title tracker (TitleTracker.h) may take a press on a
//   title or an edge -> DoMouseMove hit-tests (TgpGridLayout) -> DoUserActions with the row
//   distance and the selection actions of the modifiers -> OnClick, pick-up, menus; MouseUp
//   closes a click (quick edit, the deferred clear).
// A data event: TDataSet -> TDataLink -> TDataLinkEx's events -> Da... [GridDataEvents]:
//   ActiveChanged (columns find their fields, snapshots, rows), DataChanged (snapshots, rows,
//   repaint), DataSetScrolled (above), RecordChanged (one row), LayoutChanged (all under one
//   freeze), UpdateData (the editor posts); the snapshot side is in GridRecords.

// The classes its accessors return (data link, dataset and source, columns, in-place editor,
// mapper) come with it: a caller reaches through them without further includes.

#include "platform/controls/CustomControl.h"
#include "platform/db/DataSet.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/env/Env.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/AutoSearchParams.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DeleteParams.h"
#include "runtime/grid/GridLayout.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/grid/RecShot.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/TitleTracker.h"
#include "runtime/grid/UserAction.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/RtmTypes.h"
#include "runtime/vision/Designer.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/Painter.h"
#include "runtime/vision/ToolFormLink.h"

#include <functional>
#include <memory>

namespace zv {

class TgpDesigner;
namespace griddetail {
struct TGridPrivate;
}

ZV_ENUM(TgpGridVisualOption, gvoNoEndEllipsis);
using TgpGridVisualOptions = TSet<TgpGridVisualOption>;

// The hover state before the last hit test.
struct TgpOverPrevPos {
  TgpGridArea Area = gaUndefined;
  int Column = -1;
  int Row = -1;
};

ZV_EVENT(TgpEditKeyPressEvent, void(TObject* sender, TgpColumn* column, char32_t& key,
                                    TgpFieldEditAction& action, bool& handleKey));
ZV_EVENT(TgpDrawCellEvent, void(TObject* sender, TgpColumn* column, TgpPainter& painter));

// Navigation: the gestures that pick a record up, the editing options the exit reads, what the
// mouse is doing, and the events of column changes and clicks.
ZV_ENUM(TgpPickupOption, gpoReturnKey, gpoDblClick, gpoClick, gpoMouseTrack, gpoCaptureRecord);
using TgpPickupOptions = TSet<TgpPickupOption>;
ZV_ENUM(TgpGridEditOption,
  geoNoInserts, geoNoAppends, geoNoQuickEditByTabKey, geoNoQuickEditByClick, geoNoEditActionOnExit,
  geoCancelFieldOnExit, geoCancelRecordOnExit, geoAlwaysShowEditor);
using TgpGridEditOptions = TSet<TgpGridEditOption>;
ZV_ENUM(TgpGridState, gsNormal, gsAboutColSizing, gsColSizing, gsTitleClick);
ZV_EVENT(TgpColEvent, void(TObject* sender, int col));
// Title states and footers: what the user may change at run time (design mode ignores these),
// the events of a changed title or footer state, and the veto before the footer menu opens.
ZV_ENUM(TgpGridBehaviorOption,
  gboNoColumnSizing, gboNoGroupSizing, gboFullHeightSizing, gboSmartSizing, gboNoColumnMoving, gboNoColumnGrouping,
  gboNoTitleStates, gboNoMultiTitleStates, gboNoFooterStates, gboNoIncomingDragTrack, gboNoInsideDragTrack);
using TgpGridBehaviorOptions = TSet<TgpGridBehaviorOption>;
ZV_EVENT(TgpColumnEvent, void(TObject* sender, TgpColumn* column));
ZV_EVENT(TgpContextMenuEvent, void(TObject* sender, int x, int y, bool& doPopup));
// Handled on a press stops the grid's own handling and asks for the release (buttonReleased).
using TgpClickEvent =
    std::function<void(TObject* sender, int x, int y, TShiftState shift, bool buttonReleased, bool& handled)>;

class TDBDivoRud : public TCustomControl,
                   public IvtfDataGrid,
                   public IgpPaintGrid,
                   public IgpDesignerClient,
                   public IzvFooterMenuTarget {
  ZV_CLASS(TDBDivoRud, TCustomControl)

public:
  explicit TDBDivoRud(TComponent* owner);
  ~TDBDivoRud() override;

  // ---- Data source ------------------------------------------------------------------------
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  // Replaces the data source's dataset (nothing without a data source).
  void SetDataSet(TDataSet* value);
  // The data link's dataset, cached when the source or its dataset changes.
  TDataSet* DataSet() const;
  TDataLinkEx* DataLink() const;

  TvpBorderStyle BorderStyle() const;
  void SetBorderStyle(TvpBorderStyle value);

  // ---- Modes ------------------------------------------------------------------------------
  bool IsLoading() const;
  bool IsNonLoading() const { return !IsLoading(); }
  bool IsDesigntimeMode() const;
  bool IsRuntimeMode() const { return !IsDesigntimeMode(); }

  // ---- Columns and layout (GridColumns.cpp) -----------------------------------------------
  // The grid owns its columns; assigning copies into them.
  TgpColumns* Columns() const;
  void SetColumns(TgpColumns* value);
  TvpCustomFieldMapper* Mapper() const;
  void SetMapper(TvpCustomFieldMapper* value);
  // Every column takes the mapper's vision and caption again.
  void FieldMapChanged();
  // Attribute words (";" list) the columns' field lists and the mapper see.
  const String& Attrs() const;
  void SetAttrs(const String& value);
  // Each item ends up once, at the end.
  void AddAttrs(const String& items);
  void RemoveAttrs(const String& items);
  bool HasAttrs(const String& items) const;
  bool AutoColumnFit() const;
  void SetAutoColumnFit(bool value);
  TgpDesigner* Designer() const;
  void SetDesigner(TgpDesigner* value);
  // The space after each group: the designer's ColumnMargin, 0 without a designer.
  int ColumnMargin() const;
  bool ReadOnly() const;
  void SetReadOnly(bool value);
  TLayout VertAlignment() const;
  void SetVertAlignment(TLayout value);

  // The current column: its collection index (-1 when none) and the column.
  int Col() const;
  TgpColumn* CurrentColumn() const;
  // Makes a selectable column current through a user action (GridNavigation.cpp); -1 clears it.
  // EZVError out of range, EDBDivoRud for a column that cannot be selected.
  void SetCol(int index);

  // ";" captions of fieldNames (every dataset field when empty): the mapper's, else the
  // field's display name, else the name itself.
  String GetFieldCaptions(const String& fieldNames);
  // One column per field of the open dataset (nothing on a closed one).
  void CreateDefColumns(bool clearFirst);
  void GetLevelRange(const TgpGroupInfo* group, int actualLevel, int& first, int& last, int& count) const;
  // Groups, widths, the selectable list, the current column, fit and scroll stops, once.
  void LayoutChanged() override;
  void FitColumns();
  // The horizontal bar: one position per scroll stop.
  void UpdateViewBar(bool force);
  const TScrollInfo& ViewBar() const;

  // The last title-state sequence number handed out (-1: none).
  int TitleStateCounter() const;
  void SetTitleStateCounter(int value);
  int NextTitleStateID();
  // Renumbers the sorted visible columns 0, 1, 2 ... in their order.
  void NormalizeSettingID();

  bool FireBeforeFieldEdit(TgpColumn* column);
  void FireAfterFieldPost(TgpColumn* column, TgpFieldPostCode postCode, TgpFieldEditAction& action);
  // Repaints a column (the whole client area until per-group rectangles exist).
  void InvalidateCol(int index);
  // A column's heights may have changed.
  void ColumnHeightChanged(TgpColumn* column);
  // A column is going away: the grid forgets it as its current column.
  void ColumnDestroying(TgpColumn* column);

  TgpActionEvent OnAction;
  // Editing (GridEditing.cpp): the editor placed over the cell, before it shows; each character
  // typed into it, which may choose where the cell goes instead of typing it.
  TNotifyEvent OnInitEdit;
  // Before a record is inserted or appended (doInsert false refuses), and after.
  std::function<void(TObject* sender, bool& doInsert)> BeforeInsert;
  TNotifyEvent AfterInsert;
  TgpEditKeyPressEvent OnEditKeyPress;
  // The in-place editor, created the first time a cell is edited (null before).
  TgpInplaceEdit* InplaceEditor() const;
  TgpBeforeFieldEditEvent BeforeFieldEdit;
  TgpAfterFieldPostEvent AfterFieldPost;
  // After the delete command deleted.
  TNotifyEvent AfterDelete;
  // The delete command; assigning copies into the grid's own.
  TgpDeleteParams* ParamsDelete() const;
  void SetParamsDelete(TgpDeleteParams* value);

  // Opens the editor on column, which must be the current column; true when it is shown.
  virtual bool ActivateEdit(TgpColumn* column);
  // Closes the editor: feaCancel drops the typing, any other action posts the cell and then
  // moves as the action says. An always-shown editor stays when keepAlwaysShown.
  virtual void CloseEdit(TgpFieldEditAction action, bool keepAlwaysShown);
  // The editor over the current cell after every user action (and on focus entry).
  virtual bool AlwaysShowEditor() const;
  // Places the open editor over its cell again, or cancels it when the cell went out of view.
  virtual void UpdateEditorPos();
  // While the record is in edit and option (geoNoQuickEditByTabKey, geoNoQuickEditByClick) is
  // not set, opens the editor on column; true when that was tried.
  virtual bool DoQuickEdit(TgpColumn* column, TgpGridEditOption option);
  // Inserts (or appends) a record; false when refused.
  virtual bool InsertRecord(bool append);
  // Posts the record in edit; without one, closes the editor (kept when always shown).
  virtual void PostChanges();
  // Cancels the record in edit; without one, closes the editor (kept when always shown).
  virtual void CancelChanges();
  // Runs the delete command from code (asking as ParamsDelete says); true when deleted.
  bool DeleteRecords();

  // ---- State: bands, rows, freezing (GridState.cpp) -----------------------------------------
  int TitleLines() const;
  void SetTitleLines(int value);
  int RowLines() const;
  void SetRowLines(int value);
  int FootLines() const;
  void SetFootLines(int value);
  bool ShowTitles() const;
  void SetShowTitles(bool value);
  bool ShowFooters() const;
  void SetShowFooters(bool value);
  bool ShowEmptyRow() const;
  void SetShowEmptyRow(bool value);
  // -1 (no stripes) or above 1; anything else is ignored.
  int StripStep() const;
  void SetStripStep(int value);
  TScrollStyle ScrollBars() const;
  void SetScrollBars(TScrollStyle value);
  TgpGridVisualOptions OptionsVisual() const;
  void SetOptionsVisual(TgpGridVisualOptions value);
  // The grid's own designer, else the library's default one (may be nil).
  TgpDesigner* EffectiveDesigner() const;

  // The layout every rectangle comes from.
  const TgpGridLayout& Layout() const;
  int TitleHeight() const;
  int RowHeight() const;
  int FooterHeight() const;
  int VisibleRowCount() const override;
  bool DataRowsShown() const;
  int ActiveRow() const;

  // Height of "Wg" in the grid font with font and childFont over it, bold and underlined; 13
  // without a window.
  int GetTextHeight(const TFont* font, const TChildFont* childFont);
  // Band and level heights from the columns and the designer; true when a band changed.
  bool UpdateHeights();
  // Visible rows, the data link's window and the row metrics.
  void UpdateRows();
  // What MetricsChanged brings up to date, or-ed together; done in this order.
  enum TMetricsPart : int { mpHeights = 1, mpRows = 2, mpFullFit = 4, mpWidths = 8 /* and scroll stops */, mpRepaint = 16 };
  void MetricsChanged(int parts);
  void UpdatePartialRow() {}
  void FreezeGrid();
  // Raises EDBDivoRud when not frozen; the last one refreshes both bars and repaints on request.
  void UnfreezeGrid(bool refresh);
  int FreezeCount() const;
  bool PaintingEnabled() const;

  // ---- Geometry, hit tests, invalidation (GridGeometry.cpp) --------------------------------
  TRect GetClientRect() const;
  TRect GetGroupRect(const TgpGroupInfo* group, TgpGridArea area, int row) const;
  TRect TitleClientRect(const TgpColumn* column, bool withLines) const;
  TRect CellClientRect(const TgpColumn* column, int row, bool withLines) const;
  TRect FooterClientRect(const TgpColumn* column, bool absolute, bool withLines) const;
  bool IsVisible(int columnIndex) const;
  TgpGridHit PointToCell(int x, int y) const;
  // Saves the hover state, then hit-tests into it.
  void DoMouseMove(int x, int y);
  const TgpGridHit& Hover() const;
  TgpColumn* HoverColumn() const;
  const TgpOverPrevPos& OverPrevPos() const;
  void InvalidateGrid() override;
  void InvalidateTitle(int index);
  void InvalidateTitles() override;
  void InvalidateFooter(int index);
  void InvalidateFooters() override;
  void InvalidateCell(int index, int row);

  // ---- Scrolling (GridScroll.cpp) ------------------------------------------------------------
  void UpdateRecordBar(bool force);
  const TScrollInfo& RecordBar() const;
  void DoScrollGrid(int scrolled, int oldActiveRow);
  void CreateAutoScroller();
  void DestroyAutoScroller();
  bool AutoScrolling() const;
  void AutoScrollTimerProc();

  // ---- Painting (GridPaint.cpp) ---------------------------------------------------------------
  // Paints areas of the columns first..last and rows first..last onto canvas, its top left at
  // the first column's cell (or title).
  void DrawGrid(TCanvas* canvas, TgpGridAreas areas, int firstColumn, int lastColumn, int firstRow, int lastRow,
                int width, int height);
  TgpPaintInfo& PaintInfo();
  TgpPainter& Painter();
  TgpGetRowAttrsEvent OnGetRowAttrs;
  TgpDrawCellEvent OnDrawCell;

  // IgpPaintGrid
  TDataSet* PaintDataSet() const override;
  int PaintColumnCount() const override;
  TgpCellAttrs* ColumnCellAttrs(int columnIndex, int row) override;
  int ColumnIndexOfField(const String& fieldName) const override;
  void ResizeColumnCellAttrs(int rowCount) override;
  void ClearColumnCellAttrs() override;
  void PaintColumnFooter(const TgpPaintColumn& column, TCanvas& canvas) override;
  void PaintColumnRecords(const TgpPaintInfo& info, const TgpPaintColumn& column, TCanvas& canvas) override;

  // IgpDesignerClient
  TComponent* DesignerClientComponent() override { return this; }
  TRect DesignerClientRect() const override { return GetClientRect(); }
  void InvalidateSelectedRow() override { InvalidateRow(CurrentRow()); }
  void HeightsChanged() override;

  // ---- Records and snapshots (GridRecords.cpp) --------------------------------------------
  TgpCursorType CursorType() const;
  void SetCursorType(TgpCursorType value);
  // Field names (";" list) whose combined value identifies a record.
  const String& UniqueFields() const;
  void SetUniqueFields(const String& value);
  // Field names whose values every snapshot also captures ("$RECNO$" is dropped).
  const String& BookmarkFields() const;
  void SetBookmarkFields(const String& value);
  TgpDBParams* ParamsDB() const;
  void SetParamsDB(TgpDBParams* value);
  // The snapshot of the grid's current record.
  TgpCurrentRecShot* CurrentRecShot() const;
  bool GetHasCurrent() const;
  // The row in view showing the current record, -1 when it is out of view.
  int CurrentRow() const;
  // Rows in the data link's window (1 when there are no records).
  int RowCount() const;
  // The data link is active: the grid has an open dataset.
  bool HasActiveDataSet() const;
  bool UserActionInProgress() const;
  bool Posting() const;
  // Finds the current row after the rows in view moved by `scrolled` (0: search every row).
  void UpdateCurrentInfo(int scrolled);
  // Brings the dataset's cursor to the marked record; with force, an unmarked grid marks the
  // first record. True when the cursor stands on the marked record.
  bool SyncCursors(bool force);
  // Raised by a change of the current record or the selection.
  virtual void SelectionChanged(bool currentChanged, bool selectionChanged);
  TNotifyEvent OnSelectionChange;

  // Role of the record list of a drop-down tool form.
  void tfSetToolForm(TControl* toolForm) override;
  void tfCurrentChanged() override;
  void tfPostChanges() override;
  TControl* ToolForm() const;

  // ---- Navigation: user actions, keys, mouse, focus, menus (GridNavigation.cpp, GridKeys.cpp,
  // GridMouse.cpp, GridFocus.cpp) ----------------------------------------------------------------
  bool WantTabs() const;
  void SetWantTabs(bool value);
  bool WantReturns() const;
  void SetWantReturns(bool value);
  TgpPickupOptions OptionsPickup() const;
  void SetOptionsPickup(TgpPickupOptions value);
  TgpGridEditOptions OptionsEdit() const;
  void SetOptionsEdit(TgpGridEditOptions value);
  // Read at their next use; the selection gives them their full meaning.
  bool RowSelect() const;
  void SetRowSelect(bool value);
  bool MultiSelect() const;
  void SetMultiSelect(bool value);
  // The current row and cell show the hidden-selection colour while the grid has no focus.
  bool HideSelection() const;
  void SetHideSelection(bool value);
  // Every record joins the selection, the cursor unmoved (a MultiSelect grid only; Ctrl+A).
  void SelectAll();

  void SetSelectedCol(TgpColumn* column);
  // Stores the current column without events; returns the old index.
  int UpdateSelectedCol(int index);
  // The one path of every move: the actions, a row relative to the current one, and the column
  // that becomes current.
  void DoUserActions(TgpUserActions actions, int rowDelta, int targetColumn);
  // Moves the cell: left, right, up, down and both tabs; anything else does nothing. The move is
  // planned (PlanMove), then applied.
  void SelectCell(TgpFieldEditAction action, bool shift);
  // What SelectCell would do now, without doing any of it; the context is the dataset's side
  // (read from the grid's dataset by the first form).
  TgpMovePlan PlanMove(TgpFieldEditAction action, bool shift) const;
  TgpMovePlan PlanMove(TgpFieldEditAction action, bool shift, const TgpMoveContext& context) const;
  // The visible neighbour on the same actual level (or in a group too shallow to have it).
  TgpColumn* GetNextAtLevel(const TgpColumn* column) const;
  TgpColumn* GetPrevAtLevel(const TgpColumn* column) const;
  // A pick-up gesture; true when it was handled (OnDblClick or OnPickup fired).
  bool DoPickupInt(TgpPickupOption kind, bool hasRecord);
  void DoPickup();
  // Whether the last pick-up had a record.
  bool PickupResult() const;
  // A column's menu (the grid's when it has one) or the grid's menu, at client (x, y); (-1, -1)
  // for the current cell.
  void DoPopupMenu(TgpColumn* column, int x, int y);
  // True when the key is a short-cut of the current column's menu or the grid's, and ran it.
  bool IsMenuKey(Word key, TShiftState shift);
  bool HasFocus() const;
  TgpGridState GridState() const;
  TgpColumn* ClickedColumn() const;
  int PendingCol() const;
  TgpUserActions PendingActions() const;

  TgpColEvent OnColEnter;
  TgpColEvent OnColExit;
  TgpColEvent OnColExiting;
  // Replaces the host's click: the grid reports its own presses and releases.
  TgpClickEvent OnClick;
  TNotifyEvent OnPickup;

  // ---- Title images and title/footer drawing (ColumnDrawing.cpp) ---------------------------------
  // Images for the columns' titles (TgpColumn::TitleImageIndex); the grid follows the list's
  // changes and forgets a list that is freed.
  TCustomImageList* TitleImages() const;
  void SetTitleImages(TCustomImageList* value);
  // Heights recomputed: the grid repaints when they moved, else its titles.
  void ImagesChanged();

  // ---- Title states and footers (GridTitles.cpp) -----------------------------------------------
  // The grid keeps the states and raises the events; the application sorts and aggregates.
  TgpGridBehaviorOptions OptionsBehavior() const;
  void SetOptionsBehavior(TgpGridBehaviorOptions value);
  // After a title click changed a column's sort state.
  TgpColumnEvent OnTitleStateChange;
  // After the footer menu changed a column's footer state (its FooterText is cleared first).
  TgpColumnEvent OnFooterStateChange;
  // Before the footer menu opens; doPopup false keeps it closed.
  TgpContextMenuEvent OnFooterMenuPopup;
  // Whether column's title may be clicked into a state (multi: added to the sorted ones).
  bool CanClickTitle(bool multi, const TgpColumn* column) const;
  void FireTitleStateChanged(TgpColumn* column);
  // Stores state on column and fires OnFooterStateChange, the footer repainted once at the end
  // (also when the handler raises); nothing while loading.
  void FireFooterStateChanged(TgpColumn* column, TgpColumnFooterState state);
  // The environment's footer menu for column at client (x, y), the choice applied at once.
  void DoPopupFooterMenu(TgpColumn* column, int x, int y);
  // A footer menu item chosen for the column the menu was opened for.
  void FooterMenuClick(TMenuItem* item) override;
  // The column the footer menu was last opened for, while it and its grid exist.
  static TgpColumn* FooterMenuColumn();
  // The title held down by the mouse, -1 when none.
  int PaintPressedTitle() const;
  // Tells the form designer that the form changed (design mode only).
  void Modified();

  // ---- Owned parts (Selection.h, AutoSearch.h, TitleTracker.h) --------------------------------
  // The selection, auto search and title tracking; each does nothing until a fuller one is
  // handed over. Handing over null puts the do-nothing part back.
  TgpSelection& Selection() const;
  void SetSelection(std::unique_ptr<TgpSelection> value);
  TgpAutoSearch& AutoSearch() const;
  void SetAutoSearch(std::unique_ptr<TgpAutoSearch> value);
  // Searching by typing; assigning copies into the grid's own.
  TgpAutoSearchParams* ParamsAutoSearch() const;
  void SetParamsAutoSearch(TgpAutoSearchParams* value);
  TgpTitleTracker& TitleTracker() const;
  void SetTitleTracker(std::unique_ptr<TgpTitleTracker> value);

  // ---- Column and record drags (ColumnDrag.cpp, DragMarkers.cpp) ----------------------------------
  // Whether the mouse may drag column's title (always at design time).
  bool CanMoveColumn(const TgpColumn* column) const;
  // Where a title dropped at client (x, y) of area would go; exclusions or-ed from htx...
  TgpDropHit GetTitleHitTest(int x, int y, int exclusions, TgpGridArea area) const;
  // Hit-tests (x - dx, y - dy) into left and (x + dx, y + dy) into right (-1: outside area or,
  // for right, another row); true when they differ or one side is outside.
  bool IsHitPoint(int x, int y, int dy, int dx, TgpGridArea area, int& right, int& left) const;
  // Moves column as the last title hit test says (nothing without one).
  void MoveColumn(TgpColumn* column);
  // The column whose title is being dragged, the last drop hit, and whether a column drag runs.
  TgpColumn* DraggedColumn() const;
  const TgpDropHit& LastDropHit() const;
  bool ColumnDragging() const;
  // The record under the mouse while a drop row is shown (an OnDragDrop handler reads it).
  TgpRecShot& HotSpotRecShot() const;
  void DragDrop(TObject* source, int x, int y) override;
  // After a mouse drop moved a column to another collection index.
  TgpColumnMovedEvent OnColMoved;

  // ---- The column customizer (CustomizerHandOff.cpp) -------------------------------------------------
  // Posts pending edits and hands the customizer the names, captions and shown names
  // (";"-separated): gcmHide lists the customizable columns, gcmRemove the fields (all of the
  // dataset's when fields is empty); excludeFields are left out. Nothing without a dataset or a
  // customizer module.
  void Customize(TgpCustomizeMode mode, const String& excludeFields, const String& fields);
  // The customizer's form attached by gcaStart, nullptr when none.
  TWinControl* CustomizerWindow() const;
  // Each customizer message, after it went on to the attached customizer.
  TgpCustomizerActionEvent OnCustomizerAction;

  static void DeclareProperties(TPropTable<TDBDivoRud>& t);

protected:
  // ---- Drags: the host's hooks ---------------------------------------------------------------------
  void DoStartDrag(TDragObject*& dragObject) override;
  void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
  void DoEndDrag(TObject* target, int x, int y) override;
  void DragCanceled() override;
  TDragImageList* GetDragImages() override;
  // A record drag waits for the mouse to leave the pressed cell (DragMayStart), not the host's
  // threshold.
  void BeginAutoDrag() override;
  void CMCustomizer(TMessage& message);

  // ---- Navigation: handlers ----------------------------------------------------------------------
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void WMKeyDown(TWMKey& message) override;
  void WMSysKeyDown(TWMKey& message) override;
  void WMGetDlgCode(TMessage& message) override;
  void CMWantSpecialKey(TWMKey& message) override;
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void CMEnter(TMessage& message) override;
  void CMExit(TMessage& message) override;
  void CMMouseEnter(TMessage& message) override;
  void CMMouseLeave(TMessage& message) override;
  void WMContextMenu(TMessage& message) override;
  void WMSetCursor(TWMSetCursor& message) override;
  void CMCancelMode(TMessage& message);
  // The key table of KeyDown; true when the key was handled.
  bool NavigationKey(Word key, TShiftState shift);
  void ApplySelectionBits(TgpUserActions bits);
  // Whether the record in a row of the view is selected.
  bool RowSelected(int row);

  // Entry points that editing fills (GridEditing.cpp).
  virtual bool EditorVisible() const;
  virtual bool EditorHiding() const;
  // Opens the editor on the current cell; true when it is shown.
  virtual bool Edit();
  virtual void EditorFocus();
  virtual void PassKeyToEditor(Word key, TShiftState shift);
  virtual void PassCharToEditor(char32_t key);
  virtual void PassMouseToEditor(TMouseButton button, TShiftState shift, int x, int y);
  // The records the delete command takes: the selection's, else the current record (1) or none.
  int DeleteCount() const;

  // ---- Columns and layout (GridColumns.cpp) -----------------------------------------------
  void Loaded() override;
  void CreateWnd() override;
  void WMSize(TWMSize& message) override;
  void Dispatch(TMessage& message) override;
  void ColumnsNotification(TComponent* component);
  // The dataset opened, closed or changed its fields: every column finds its fields again.
  void ColumnsDataSetChanged();
  void CMFieldMapChanged(TMessage& message);

  // ---- Records and snapshots: hooks the geometry and painting complete -----------------------
  virtual void InvalidateRow(int row);
  virtual void InvalidateRows();
  virtual void InvalidateRowBand(int first, int last);

  // ---- Messages and painting -----------------------------------------------------------------
  void Paint() override;
  void WMVScroll(TWMScroll& message) override;
  void WMHScroll(TWMScroll& message) override;
  void WMTimer(TWMTimer& message) override;
  void WMEraseBkgnd(TWMEraseBkgnd& message) override;
  void WMNCCalcSize(TWMNCCalcSize& message) override;
  void WMNCPaint(TWMNCPaint& message) override;
  void WMMouseWheel(TWMMouseWheel& message) override;
  void WMCancelMode(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Row attributes of rows first..last, each with its record active (OnGetRowAttrs last).
  void InitRowAttrs(int firstRow, int lastRow);
  // ---- Hints (GridHints.cpp) ----------------------------------------------------------------
  void CMHintShow(TMessage& message);
  void CMHintShowPause(TMessage& message);

public:
  // The hint over a cut title or footer at hit; empty when its text fits.
  String HintTextAt(const TgpGridHit& hit);
  // What a footer shows: its aggregate's marker, "=" and its text (SUM=1250), or the text.
  String FooterDisplayText(const TgpColumn& column) const;

protected:
  // Flags that the navigation and editing code sets around its work. A change of the current
  // record during a user action is announced when the action ends.
  void SetUserActionInProgress(bool value);
  void SetPosting(bool value);
  // The snapshot side of the data link reactions.
  void RecordsActiveChanged();
  void RecordsDataChanged();
  void RecordsDataSetScrolled(int distance);

  void CreateParams(TCreateParams& params) override;
  void Notification(TComponent* component, TOperation operation) override;

  // ---- Data link reactions (GridDataEvents.cpp) -------------------------------------------
  virtual void DaActiveChanged();
  virtual void DaDataChanged();
  virtual void DaDataSetScrolled(int distance);
  virtual void DaFocusControl(TField*& field);
  virtual void DaLayoutChanged();
  virtual void DaRecordChanged(TField* field);
  virtual void DaUpdateData();

private:
  // Everything the grid remembers lives in its private state (detail/GridPrivate.h), so this
  // header stays the component's face. The helpers below are the members' shared steps.
  std::unique_ptr<griddetail::TGridPrivate> d;

  void CacheDataSet();
  // Navigation.
  void FireColExiting();
  void ApplyAt(int row, TgpUserActions bits);
  void PickupDone(bool picked);
  void TitleImagesNotification(TComponent* component);
  // State, layout, scrolling, painting.
  void SetLines(int& field, int value);
  void DoMetricsChanged(int parts);
  void RefreshLayoutClient();
  void VertScroll(int code, int pos);
  // The band of rows first..last (client coordinates).
  TRect RowsRect(int first, int last) const;
  void HandOver(TgpPaintInfo& info);
  void PaintBand(TCanvas& canvas, const TRect& clip);
  // Records and snapshots.
  friend class TgpRecShot;
  friend class TgpCurrentRecShot;
  friend class TgpSelection;
  void InitRecords();
  void CheckFieldNames(const String& names) const;
  void SetCurrentRow(int row);
  void DoSelectionChanged();
  IvtfToolForm* ToolFormValue() const;
  // Editing.
  friend class TgpInplaceEdit;
  friend class TgpColumn;
  friend class TgpDeleteParams;
  void HideEditor();
  // Title clicks and the footer menu.
  friend class TgpTitleTracker;
  // The customizer's window went away or detached.
  void ForgetCustomizer();
};

// Opens the column customizer for grid; the customizer's module sets it (nil until then).
using TgpShowCustomizer = void (*)(TDBDivoRud* grid, const String& names, const String& captions,
                                   TgpCustomizeMode mode, const String& present);
extern TgpShowCustomizer ShowGridCustomizer;

}  // namespace zv
