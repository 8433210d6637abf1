#include "runtime/rtm/OneStringLists.h"

#include "platform/classes/Lists.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

namespace {

bool SameItem(std::string_view a, std::string_view b) { return a == b || CaseFoldCompare(a, b) == 0; }

void CheckListIndex(int index, std::size_t count) {
  if (index < 0 || static_cast<std::size_t>(index) >= count) throw EListError(Format(SListIndexError, {index}));
}

String Appended(std::string_view s, std::string_view item, char sep) {
  if (s.empty()) return String(item);
  String out;
  out.reserve(s.size() + 1 + item.size());
  out.append(s).push_back(sep);
  out.append(item);
  return out;
}

}  // namespace

std::vector<std::string_view> lioSplit(std::string_view s, char sep) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  for (std::size_t at = s.find(sep); at != std::string_view::npos; at = s.find(sep, start)) {
    items.push_back(s.substr(start, at - start));
    start = at + 1;
  }
  items.push_back(s.substr(start));
  return items;
}

String lioJoin(const std::vector<std::string_view>& items, char sep) {
  String out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out.push_back(sep);
    out.append(items[i]);
  }
  return out;
}

std::unique_ptr<TStringList> lioCreateStrings(std::string_view s, char sep) {
  auto list = std::make_unique<TStringList>();
  for (auto item : lioSplit(s, sep)) list->Add(String(item));
  return list;
}

int lioCount(std::string_view s, char sep) { return 1 + static_cast<int>(std::count(s.begin(), s.end(), sep)); }

int lioCount2(std::string_view s, char sep) { return s.empty() ? 0 : lioCount(s, sep); }

String lioRead(std::string_view s, int index, char sep) {
  const auto items = lioSplit(s, sep);
  CheckListIndex(index, items.size());
  return String(items[static_cast<std::size_t>(index)]);
}

String lioWrite(std::string_view s, int index, std::string_view value, char sep) {
  auto items = lioSplit(s, sep);
  CheckListIndex(index, items.size());
  items[static_cast<std::size_t>(index)] = value;
  return lioJoin(items, sep);
}

String lioAdd(std::string_view s, std::string_view item, char sep) {
  if (item.empty() || lioHasItem(s, item, sep)) return String(s);
  return Appended(s, item, sep);
}

String lioAdd2(std::string_view s, std::string_view item, char sep) {
  if (lioHasItem(s, item, sep)) return String(s);
  return Appended(s, item, sep);
}

String lioAdd3(std::string_view s, std::string_view item, char sep) { return Appended(s, item, sep); }

String lioMove(std::string_view s, int from, int to, char sep) {
  auto items = lioSplit(s, sep);
  CheckListIndex(from, items.size());
  CheckListIndex(to, items.size());
  const auto moved = items[static_cast<std::size_t>(from)];
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, moved);
  return lioJoin(items, sep);
}

String lioDelete(std::string_view s, int index, char sep) {
  auto items = lioSplit(s, sep);
  CheckListIndex(index, items.size());
  items.erase(items.begin() + index);
  return lioJoin(items, sep);
}

String lioRemove(std::string_view s, std::string_view item, char sep) {
  auto items = lioSplit(s, sep);
  const auto it = std::find_if(items.begin(), items.end(), [&](std::string_view x) { return SameItem(x, item); });
  if (it == items.end()) return String(s);
  items.erase(it);
  return lioJoin(items, sep);
}

String lioRemoveItems(std::string_view s, std::string_view items, char sep) {
  auto list = lioSplit(s, sep);
  const auto remove = lioSplit(items, sep);
  for (std::size_t i = list.size(); i-- > 0;)
    if (std::any_of(remove.begin(), remove.end(), [&](std::string_view r) { return SameItem(list[i], r); }))
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  return lioJoin(list, sep);
}

int lioIndexOf(std::string_view s, std::string_view item, char sep) {
  if (s.empty()) return -1;
  const String haystack = CaseFold(String(1, sep) + String(s) + sep);
  const String needle = CaseFold(String(1, sep) + String(item) + sep);
  const auto at = haystack.find(needle);
  if (at == String::npos) return -1;
  // Separators in s before the match: those in the haystack before it, less the leading one.
  return static_cast<int>(std::count(haystack.begin(), haystack.begin() + static_cast<std::ptrdiff_t>(at), sep));
}

bool lioHasItem(std::string_view s, std::string_view item, char sep) {
  if (s.empty() || item.empty()) return false;
  return lioIndexOf(s, item, sep) >= 0;
}

bool lioHasItems(std::string_view s, std::string_view items, char sep) {
  if (items.empty()) return false;
  for (auto item : lioSplit(items, sep))
    if (!lioHasItem(s, item, sep)) return false;
  return true;
}

int lioPlaceCount(std::string_view s, std::string_view item, char sep) {
  int n = 0;
  for (auto x : lioSplit(s, sep))
    if (SameItem(x, item)) ++n;
  return n;
}

String lioReplace(std::string_view s, std::string_view oldItem, std::string_view newItem, char sep) {
  auto items = lioSplit(s, sep);
  for (auto& x : items)
    if (SameItem(x, oldItem)) x = newItem;
  return lioJoin(items, sep);
}

String lioUpdateItems(std::string_view s, std::string_view prefix, std::string_view suffix, char sep) {
  String out;
  bool first = true;
  for (auto x : lioSplit(s, sep)) {
    if (!first) out.push_back(sep);
    first = false;
    out.append(prefix).append(x).append(suffix);
  }
  return out;
}

String lioEmptyStr(int count, char sep) { return count > 0 ? String(static_cast<std::size_t>(count), sep) : String(); }

String lioChangeSep(std::string_view s, char newSep, char oldSep) {
  String out(s);
  std::replace(out.begin(), out.end(), oldSep, newSep);
  return out;
}

}  // namespace zv
