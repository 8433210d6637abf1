#include "platform/db/SortString.h"

namespace zv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A trailing direction word of an item: ASC, DESC or nothing; false for anything else.
bool ReadDirection(std::string_view rest, bool& descending) {
  const String word = Trim(rest);
  if (word.empty()) return true;
  if (!SameText(word, "DESC") && !SameText(word, "ASC")) return false;
  descending = SameText(word, "DESC");
  return true;
}

// A quoted item starting at text[start] ('"'): its name and direction, end just past the item
// (at its ';' or the end). False when the item is not a well-formed quoted one.
bool ReadQuotedItem(std::string_view text, std::size_t start, TSortItem& item, std::size_t& end) {
  String name;
  std::size_t i = start + 1;
  for (;;) {
    const std::size_t quote = text.find('"', i);
    if (quote == std::string_view::npos) return false;
    name.append(text.substr(i, quote - i));
    if (quote + 1 < text.size() && text[quote + 1] == '"') {
      name += '"';
      i = quote + 2;
      continue;
    }
    i = quote + 1;
    break;
  }
  end = text.find(';', i);
  if (end == std::string_view::npos) end = text.size();
  item.Name = std::move(name);
  return ReadDirection(text.substr(i, end - i), item.Descending);
}

}  // namespace

std::vector<TSortItem> ParseSortString(std::string_view text) {
  std::vector<TSortItem> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t first = start;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first < text.size() && text[first] == '"') {
      TSortItem quoted;
      std::size_t end = 0;
      if (ReadQuotedItem(text, first, quoted, end)) {
        items.push_back(std::move(quoted));
        start = end + 1;
        continue;
      }
      // Malformed: the item to its end (past every ';' when the quote never closes), whole.
      if (text.find('"', first + 1) == std::string_view::npos) end = text.size();
      items.push_back({Trim(text.substr(first, end - first)), false});
      start = end + 1;
      continue;
    }
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

String QuoteSortName(std::string_view name) {
  String s = "\"";
  for (char c : name) {
    if (c == '"') s += '"';
    s += c;
  }
  return s + '"';
}

}  // namespace zv
