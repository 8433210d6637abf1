#pragma once
// Sort strings as an application builds them when a user clicks grid titles: "Name;Date DESC".
// Items are separated by ';'; a trailing ASC or DESC is the direction and the rest of the item
// the field name (names may contain spaces). Empty items are skipped.

#include "platform/rtl/StringUtils.h"

#include <vector>

namespace zv {

struct TSortItem {
  String Name;
  bool Descending = false;
};

std::vector<TSortItem> ParseSortString(std::string_view text);

}  // namespace zv
