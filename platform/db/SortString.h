#pragma once
// Sort strings as an application builds them when a user clicks grid titles: "Name;Date DESC".
// Items are separated by ';'; a trailing ASC or DESC is the direction and the rest of the item
// the field name (names may contain spaces). Empty items are skipped.
//
// A name in double quotes is taken as it stands, a doubled quote inside standing for one:
// "a;b" DESC, "x ASC", "say ""hi""". Only ASC or DESC may follow the closing quote; an item that
// breaks this (or never closes its quote) comes back whole as its name, which names no field.

#include "platform/rtl/StringUtils.h"

#include <vector>

namespace zv {

struct TSortItem {
  String Name;
  bool Descending = false;
};

std::vector<TSortItem> ParseSortString(std::string_view text);

// name in double quotes, quotes inside doubled: what ParseSortString reads back as name.
String QuoteSortName(std::string_view name);

}  // namespace zv
