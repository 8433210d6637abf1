#include "platform/db/SortString.h"

namespace zv {

std::vector<TSortItem> ParseSortString(std::string_view text) {
  std::vector<TSortItem> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const String item = Trim(text.substr(start, end - start));
    start = end + 1;
    if (item.empty()) continue;
    TSortItem sortItem{item, false};
    const std::size_t space = item.find_last_of(" \t");
    if (space != String::npos) {
      const String word = item.substr(space + 1);
      if (SameText(word, "DESC") || SameText(word, "ASC")) {
        sortItem.Descending = SameText(word, "DESC");
        sortItem.Name = Trim(std::string_view(item).substr(0, space));
      }
    }
    items.push_back(std::move(sortItem));
  }
  return items;
}

}  // namespace zv
