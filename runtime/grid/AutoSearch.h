#pragma once
// Searching by typing, a part the grid owns: the keyboard code asks it whether a key starts,
// feeds or ends a search. This one runs the search the grid's ParamsAutoSearch describes
// (AutoSearchParams.h); a part handed over in its place may search otherwise.

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

  virtual bool Enabled() const;
  virtual bool Active() const;
  virtual bool IsShortCut(Word key, TShiftState shift);
  // A key nothing else took: starts a search unless a short-cut alone starts one.
  virtual void Start();
  virtual void Cancel();
  // A character typed while a search is active; true when the search took it.
  virtual bool KeyPress(char32_t& key);

private:
  TDBDivoRud& fGrid;
};

}  // namespace zv
