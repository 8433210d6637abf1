// A memory table's header alone: its field definitions are usable as such.
#include "platform/db/MemTable.h"

void ReachThroughFieldDefs(zv::TMemTable& table) {
  table.FieldDefs().Add("ID", zv::ftInteger);
}
