#pragma once
// Searching by typing, a part the grid owns: the keyboard code asks it whether a key starts,
// feeds or ends a search. This one is never enabled: no key is its short-cut, no search starts,
// and every key is left to the grid.

#include "platform/controls/ControlTypes.h"

namespace zv {

class TDBDivoRud;

class TgpAutoSearch {
public:
  explicit TgpAutoSearch(TDBDivoRud& grid) : fGrid(grid) {}
  virtual ~TgpAutoSearch();
  TgpAutoSearch(const TgpAutoSearch&) = delete;
  TgpAutoSearch& operator=(const TgpAutoSearch&) = delete;

  TDBDivoRud& Grid() const { return fGrid; }

  virtual bool Enabled() const { return false; }
  virtual bool Active() const { return false; }
  virtual bool IsShortCut(Word key, TShiftState shift) { return (void)key, (void)shift, false; }
  virtual void Start() {}
  virtual void Cancel() {}
  // A character typed while a search is active; true when the search took it.
  virtual bool KeyPress(char32_t& key) { return (void)key, false; }

private:
  TDBDivoRud& fGrid;
};

}  // namespace zv
