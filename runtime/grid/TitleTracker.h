#pragma once
// What the mouse does on the titles and footers, a part the grid owns: sizing a column by its
// edge, clicking a title, dragging, the footer's menu and the cursor shape over them. This one
// clicks titles into their sort states and opens the footer menu (GridTitles.cpp); it sizes and
// drags nothing, and the cursor stays as it is.

#include "platform/controls/ControlTypes.h"

namespace zv {

class TDBDivoRud;
class TgpColumn;

class TgpTitleTracker {
public:
  explicit TgpTitleTracker(TDBDivoRud& grid) : fGrid(grid) {}
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
  // A left press that may begin a drag (DragMode automatic).
  virtual bool DragMayStart(int x, int y) { return (void)x, (void)y, false; }
  virtual bool Dragging() const { return false; }
  // A right click on a footer: the footer menu.
  virtual void FooterMenu(TgpColumn* column, int x, int y);
  virtual void UpdateCursorShape() {}

private:
  TDBDivoRud& fGrid;
  TgpColumn* fPressed = nullptr;
};

}  // namespace zv
