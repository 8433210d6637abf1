#pragma once
// A user action of the grid: what a key, a click or a call asks for, as a typed set of actions,
// a row distance and the column that becomes current. A cell move is planned first (PlanMove, no
// side effects) and then applied by the one routine every move goes through (DoUserActions);
// while it runs, the action in progress holds the pending column and selection actions that the
// data-event handlers read when the dataset's scroll arrives in its middle.

#include "platform/rtl/Set.h"

#include <functional>
#include <optional>

namespace zv {

// Record moves first, then what happens to the selection. The positions are the bit numbers the
// actions have always had (1, 2, 4, then 32 up to 1024).
enum TgpUserActionItem {
  uaFirst,        // to the first record
  uaLast,         // to the last record
  uaRow,          // by a number of rows from the current one
  uaSelectOld = 5,  // the record left behind becomes selected
  uaDeselectOld,  // the record left behind stops being selected
  uaSelectNew,    // the record arrived at becomes selected
  uaToggle,       // the record arrived at (or the current one) flips
  uaRange,        // the range from the anchor is added
  uaClear,        // the selection is cleared
};
using TgpUserActions = TSet<TgpUserActionItem>;
inline constexpr TgpUserActions uaMoves{uaFirst, uaLast, uaRow};
inline constexpr TgpUserActions uaSelection{uaSelectOld, uaDeselectOld, uaSelectNew, uaToggle, uaRange, uaClear};

// The dataset's side of a cell move, read before planning; the defaults are those of a grid
// without an open dataset.
struct TgpMoveContext {
  int ActiveRow = 0;  // the data link's active record
  int LastRow = -1;   // the last row that holds a record
  bool Bof = true;
  bool Eof = true;
  bool Inserting = false;  // a record being inserted
  bool Editing = false;    // a record being edited (not inserted)
  bool Modified = false;
  // The current record against the selection's anchor (<0 before it); nothing without an anchor.
  // Asked only when a shifted move needs it.
  std::function<std::optional<int>()> AnchorOrder;
};

// What a cell move does: the current record becomes the anchor (SetAnchor) when a shifted move
// starts a range, the action runs (Act), and the steps after a completed move (append at the end,
// quick edit after a tab) follow (Complete).
struct TgpMovePlan {
  bool SetAnchor = false;
  bool Act = false;
  TgpUserActions Actions;
  int RowDelta = 0;
  int TargetColumn = -1;
  bool Complete = false;
  bool operator==(const TgpMovePlan&) const = default;
};

// The user action in progress, owned by the grid: the column and the selection actions left for
// the data-event handlers, and whether the selection changed meanwhile (announced at its end).
class TgpUserAction {
public:
  bool InProgress() const { return fInProgress; }
  int PendingCol() const { return fPendingCol; }
  TgpUserActions Pending() const { return fPending; }
  bool SelectionChanged() const { return fSelectionChanged; }

  // The flag alone, for the grid's own work that moves the cursor without a planned move.
  void SetInProgress(bool value) { fInProgress = value; }
  void NoteSelectionChanged() {
    if (fInProgress) fSelectionChanged = true;
  }
  // True (once) when the selection changed during the action.
  bool TakeSelectionChanged() {
    const bool changed = fSelectionChanged;
    fSelectionChanged = false;
    return changed;
  }

  // Begins an action for the length of a scope; any way out ends it, pending state cleared, as
  // an action begun inside it would also have cleared it.
  class TScope {
  public:
    TScope(TgpUserAction& action, int pendingCol, TgpUserActions pending) : fAction(action) {
      fAction.fPending = pending;
      fAction.fPendingCol = pendingCol;
      fAction.fInProgress = true;
      fAction.fSelectionChanged = false;
    }
    ~TScope() { fAction = TgpUserAction(); }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

  private:
    TgpUserAction& fAction;
  };

private:
  int fPendingCol = -1;
  TgpUserActions fPending;
  bool fInProgress = false;
  bool fSelectionChanged = false;
};

}  // namespace zv
