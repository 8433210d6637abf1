#include "runtime/rtm/DataSetRoutines.h"

#include <climits>

namespace zv {

int GetRecordNumber(TDataSet& dataSet) {
  if (dataSet.IsEmpty()) return -1;
  const int count = dataSet.RecordCount();
  // One step more than the records guarantees reaching the first one.
  const int back = count < INT_MAX ? count + 1 : INT_MAX;
  dataSet.DisableControls();
  try {
    const int moved = -dataSet.MoveBy(-back);
    dataSet.MoveBy(moved);
    dataSet.EnableControls();
    return moved;
  } catch (...) {
    dataSet.EnableControls();
    throw;
  }
}

}  // namespace zv
