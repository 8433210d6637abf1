#pragma once
// What the mouse does on the titles and footers, a part the grid owns: sizing a column by its
// edge, clicking a title, dragging, the footer's menu and the cursor shape over them. This one
// tracks nothing: no press starts sizing, a title click or a drag, and the cursor stays as it is.

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

  // A left press on a title or a column edge; true when sizing or a title click began.
  virtual bool StartSizingOrTitleClick(TShiftState shift, int x, int y) { return (void)shift, (void)x, (void)y, false; }
  // A left press that may begin a drag (DragMode automatic).
  virtual bool DragMayStart(int x, int y) { return (void)x, (void)y, false; }
  virtual bool Dragging() const { return false; }
  // A right click on a footer.
  virtual void FooterMenu(TgpColumn* column, int x, int y) { (void)column, (void)x, (void)y; }
  virtual void UpdateCursorShape() {}

private:
  TDBDivoRud& fGrid;
};

}  // namespace zv
