#pragma once
// Routines over the host's datasets that the library shares.

#include "platform/db/DataSet.h"

namespace zv {

// The 0-based position of the cursor, -1 for an empty dataset. Measured by moving back to the
// first record; the cursor is then moved back where it was (controls disabled meanwhile).
int GetRecordNumber(TDataSet& dataSet);

}  // namespace zv
