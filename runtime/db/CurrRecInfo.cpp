#include "runtime/db/CurrRecInfo.h"

#include "platform/db/DataSet.h"

namespace zv {

TvpCurrRecInfo vprGetCurrRecInfo(const TDataSet& dataSet) {
  return TvpCurrRecInfo{dataSet.Bookmark(), dataSet.ActiveRecord()};
}

bool vprSetCurrRec(TDataSet& dataSet, const TvpCurrRecInfo& info) {
  if (info.Bookmark.empty() || !dataSet.BookmarkValid(info.Bookmark)) return false;
  dataSet.GotoBookmark(info.Bookmark);
  const int row = info.ActiveRow;
  const int active = dataSet.ActiveRecord();
  int away = 0;
  if (active < row)
    away = -row;  // to the window's top, so coming back leaves the record `row` rows down
  else if (active > row)
    away = dataSet.BufferCount() - row - 1;  // to its bottom, for the mirror reason
  if (away == 0) return true;
  // Back by what was actually moved: near either end of the data the first move is shorter.
  const int moved = dataSet.MoveBy(away);
  dataSet.MoveBy(-moved);
  return true;
}

}  // namespace zv
