#pragma once
// The current record of a dataset together with its row in the window of record buffers, taken
// before an operation that moves the cursor and put back after it, so that the record shows
// on the same row again.

#include "platform/db/DBTypes.h"

namespace zv {

class TDataSet;

struct TvpCurrRecInfo {
  TBookmarkStr Bookmark;  // the current record's bookmark
  int ActiveRow = 0;      // its row in the dataset's window
};

TvpCurrRecInfo vprGetCurrRecInfo(const TDataSet& dataSet);
// Goes to the record and scrolls the window so that it stands on its row again, as far as
// the records before or after it allow; the cursor always ends on the record. False, with the
// cursor left where it was, for an empty bookmark or one that names no record.
bool vprSetCurrRec(TDataSet& dataSet, const TvpCurrRecInfo& info);

}  // namespace zv
