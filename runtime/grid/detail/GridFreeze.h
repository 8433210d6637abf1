#pragma once
// Pairs the grid's FreezeGrid with its UnfreezeGrid. The ordinary path ends the freeze with
// Release(refresh) at the point it chooses; leaving the scope any other way (an exception from a
// handler, a dataset event, a failing post) unfreezes with the refresh given at construction, so
// the freeze count is back where it was. While an exception unwinds, a failing unfreeze is
// dropped so that the first error is the one reported.

#include "runtime/grid/DBDivoRud.h"

#include <exception>

namespace zv::griddetail {

class TGridFreeze {
public:
  // Freezes now unless engaged is false (then Freeze() may engage it later).
  explicit TGridFreeze(TDBDivoRud& grid, bool refreshOnUnwind, bool engaged = true)
      : fGrid(grid), fRefreshOnUnwind(refreshOnUnwind), fUnwinding(std::uncaught_exceptions()) {
    if (engaged) Freeze();
  }
  ~TGridFreeze() noexcept(false) {
    if (!fEngaged) return;
    fEngaged = false;
    if (std::uncaught_exceptions() > fUnwinding) {
      try {
        fGrid.UnfreezeGrid(fRefreshOnUnwind);
      } catch (...) {  // the error being unwound wins
      }
      return;
    }
    fGrid.UnfreezeGrid(fRefreshOnUnwind);
  }
  TGridFreeze(const TGridFreeze&) = delete;
  TGridFreeze& operator=(const TGridFreeze&) = delete;

  bool Engaged() const { return fEngaged; }
  void Freeze() {
    if (fEngaged) return;
    fGrid.FreezeGrid();
    fEngaged = true;
  }
  // Ends the freeze now (nothing when not engaged).
  void Release(bool refresh) {
    if (!fEngaged) return;
    fEngaged = false;
    fGrid.UnfreezeGrid(refresh);
  }

private:
  TDBDivoRud& fGrid;
  bool fRefreshOnUnwind;
  bool fEngaged = false;
  int fUnwinding;
};

}  // namespace zv::griddetail
