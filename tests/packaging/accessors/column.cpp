// A column's header alone.
#include "runtime/grid/Column.h"

bool ReachThroughColumn(zv::TgpColumn& column) {
  return column.Field()->DataType() == zv::ftString && column.PopupMenu()->AutoPopup() &&
         column.GetMapper()->FindMap2("", "") != nullptr;
}
