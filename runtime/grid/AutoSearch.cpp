#include "runtime/grid/AutoSearch.h"

#include "runtime/grid/AutoSearchParams.h"
#include "runtime/grid/DBDivoRud.h"

namespace zv {

// Out of line: the part's type information lives here.
TgpAutoSearch::~TgpAutoSearch() = default;

bool TgpAutoSearch::Enabled() const { return fGrid.ParamsAutoSearch()->Enabled(); }

bool TgpAutoSearch::Active() const { return fGrid.ParamsAutoSearch()->Active(); }

bool TgpAutoSearch::IsShortCut(Word key, TShiftState shift) {
  return fGrid.ParamsAutoSearch()->IsAutoSearchShortCut(key, shift);
}

void TgpAutoSearch::Start() {
  TgpAutoSearchParams& params = *fGrid.ParamsAutoSearch();
  if (params.Enabled() && params.ShortCut() == 0) params.Start(0);
}

void TgpAutoSearch::Cancel() { fGrid.ParamsAutoSearch()->Cancel(); }

bool TgpAutoSearch::KeyPress(char32_t& key) {
  TgpAutoSearchParams& params = *fGrid.ParamsAutoSearch();
  if (!params.Active()) return false;
  params.ProcessKey(key);
  return true;
}

}  // namespace zv
