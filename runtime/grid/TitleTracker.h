#pragma once
// What the mouse does on the titles and footers, a part the grid owns: sizing a column by its
// edge, clicking a title, dragging, the footer's menu and the cursor shape over them. Title clicks
// and the footer menu are in GridTitles.cpp, sizing and the cursor in ColumnSizing.cpp, title
// drags in ColumnDrag.cpp (their markers in DragMarkers.cpp), record drags in RecordDrag.cpp and
// the customizer's side in CustomizerHandOff.cpp.

#include "platform/controls/ControlTypes.h"

#include <climits>
#include <functional>
#include <memory>

namespace zv {

class TDBDivoRud;
class TgpColumn;
class TCanvas;
class TgpDragger;
class TgpGroupInfo;

// Where a dragged title would land: a group of its own before group (nullptr: after the last
// group), a new level of group, or a new place on a level of group.
ZV_ENUM(TgpDragColHitTest, chtUndefined, chtMovingSingle, chtNewLayoutLevel, chtNewLayoutIndex);
struct TgpDropHit {
  TgpDragColHitTest Result = chtUndefined;
  TgpGroupInfo* Group = nullptr;
  int Level = -1;
  int Index = -1;
};
// Exclusions of the title hit test: no new place between groups, on a new level, on a level.
inline constexpr int htxBetweenGroups = 2, htxNewLevel = 4, htxNewIndex = 8;
class TWinControl;
// Every customizer window attached to some grid, library-wide (a drag from one is not a foreign
// drag).
bool IsCustomizerWindow(const TWinControl* window);
// The column customizer: what it does with the columns it takes away, the actions of the private
// message (CM_CUSTOMIZER) it exchanges with the grid, and the grid's event passing them on.
ZV_ENUM(TgpCustomizeMode, gcmRemove, gcmHide);
ZV_ENUM(TgpCustomizerAction, gcaStart, gcaFinish, gcaBeforeAddColumn, gcaAddColumn, gcaRemoveColumn, gcaShowColumn,
        gcaHideColumn, gcaGetSel, gcaDragDrop);
inline constexpr unsigned CM_CUSTOMIZER = 1526;
ZV_EVENT(TgpCustomizerActionEvent, void(TObject* sender, TgpCustomizerAction action, TgpColumn* column));
ZV_EVENT(TgpColumnMovedEvent, void(TObject* sender, int fromIndex, int toIndex));

// The hot zones around boundaries, in pixels, from the screen height once: half the width of a
// sizing zone, of the zone between groups, and half the height of the zone between levels.
struct TgpHotZones {
  int Sizing = 1;
  int BetweenGroups = 1;
  int BetweenLevels = 1;
};
const TgpHotZones& GridHotZones();
// Recomputes them for another screen height (0 and below keep every zone at 1 pixel).
void RecomputeGridHotZones(int screenHeight);

// The one column being sized, whichever grid it is in: its bounds and the line drawn.
struct TgpColumnSizer {
  int LeftBound = 0;
  int RightBound = INT_MAX;
  int LineX = -1;  // -1 while no line is drawn
  TgpColumn* Column = nullptr;
  TDBDivoRud* Grid = nullptr;
  int PressX = 0;      // where the press fell: a release there applies nothing
  bool Moved = false;  // the line has left the press
};
TgpColumnSizer& ColumnSizer();

class TgpTitleTracker {
public:
  explicit TgpTitleTracker(TDBDivoRud& grid);
  virtual ~TgpTitleTracker();
  TgpTitleTracker(const TgpTitleTracker&) = delete;
  TgpTitleTracker& operator=(const TgpTitleTracker&) = delete;

  TDBDivoRud& Grid() const { return fGrid; }

  // A left press on a title or a column edge; true when sizing or a title click began. A title
  // click posts the record in edit first: when that raises, nothing begins.
  virtual bool StartSizingOrTitleClick(TShiftState shift, int x, int y);
  // The release ending a title click: over the pressed title it changes the column's state.
  virtual void EndTitleClick(TShiftState shift, int x, int y);
  // Ends a title click with nothing changed (cancel mode, a lost capture).
  virtual void CancelTitleClick();
  // A column is going away.
  virtual void ColumnDestroying(TgpColumn* column);
  // The collection index of the title held down, -1 when none.
  int PressedTitle() const;
  // A left press on a cell that may begin a record drag (DragMode automatic): the drag waits
  // until the mouse leaves the cell (RecordDrag.cpp).
  virtual bool DragMayStart(int x, int y);
  // The release of a press that began no drag.
  void ReleasePending();
  virtual bool Dragging() const { return DragRunning(); }
  // A right click on a footer: the footer menu.
  virtual void FooterMenu(TgpColumn* column, int x, int y);
  virtual void UpdateCursorShape() { (void)UpdateCursor(); }

  // ---- Sizing (ColumnSizing.cpp) ----------------------------------------------------------------
  // A move with no button or while sizing; true when the tracker took it (the grid then does no
  // record tracking).
  virtual bool MouseMove(TShiftState shift, int x, int y);
  // Whether (x, y) is a boundary the mouse may grab now; the sizer is loaded with it when so.
  bool SizingHotSpot(int x, int y);
  // The release ending sizing: the width is applied when the line moved.
  virtual void EndSizing(int x, int y);
  // Ends sizing with nothing applied and the line erased (cancel mode, lost capture, Esc).
  virtual void CancelSizing();
  bool Sizing() const;
  // Sets the cursor the state asks for; false when the grid's own cursor should show.
  virtual bool UpdateCursor();
  // Paint redraws the tracking line last on its canvas, so the erasing pass stays exact.
  void PaintSizingLine(TCanvas& canvas);

  // ---- Column drags (ColumnDrag.cpp, DragMarkers.cpp) ------------------------------------------
  TgpDragger& Dragger();
  // The title being dragged, nullptr when none.
  TgpColumn* DraggedColumn() const { return fDragged; }
  // A column drag or a record drag has begun and not ended.
  bool DragRunning() const;
  // A drop row is shown for a drag over the grid.
  bool DragTrackShown() const;
  // Moves column as the last hit test says; a mouse drop that changed its index fires OnColMoved.
  void MoveColumnInt(TgpColumn* column, bool byMouse);

private:
  friend class TDBDivoRud;
  bool StartColumnDrag(int x, int y);
  bool StartRecordDrag(int x, int y);
  // A design-time drag runs inside the grid: its moves and its release.
  bool DesignDragMove(int x, int y);
  bool DesignDragEnd(int x, int y);
  TgpColumn* fDragged = nullptr;
  TRect fThreshold;
  std::unique_ptr<TgpDragger> fDragger;
  bool StartSizing(int x, int y);
  void DrawSizingLine(TCanvas& canvas, int x);
  void MoveSizingLine(int x);
  bool fSizingCursor = false;

  TDBDivoRud& fGrid;
  TgpColumn* fPressed = nullptr;
};

}  // namespace zv
