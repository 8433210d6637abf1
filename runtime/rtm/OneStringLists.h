#pragma once
// Lists held in one string: items separated by a separator character (the library uses ';'),
// split at every separator with no quoting and no trimming; the empty string is one empty item.
// Item comparisons ignore case (Unicode case folding).

#include "platform/classes/Strings.h"

#include <memory>
#include <string_view>
#include <vector>

namespace zv {

inline constexpr char lioDefaultSep = ';';

// The items as views into s.
std::vector<std::string_view> lioSplit(std::string_view s, char sep = lioDefaultSep);
String lioJoin(const std::vector<std::string_view>& items, char sep = lioDefaultSep);

std::unique_ptr<TStringList> lioCreateStrings(std::string_view s, char sep = lioDefaultSep);
int lioCount(std::string_view s, char sep = lioDefaultSep);   // 1 for the empty string
int lioCount2(std::string_view s, char sep = lioDefaultSep);  // 0 for the empty string
// The item at index; an index outside the list raises EListError as a list does.
String lioRead(std::string_view s, int index, char sep = lioDefaultSep);
String lioWrite(std::string_view s, int index, std::string_view value, char sep = lioDefaultSep);
// Appends item unless it is empty or present (lioAdd), unless present (lioAdd2), always (lioAdd3);
// adding to the empty string gives the item alone.
String lioAdd(std::string_view s, std::string_view item, char sep = lioDefaultSep);
String lioAdd2(std::string_view s, std::string_view item, char sep = lioDefaultSep);
String lioAdd3(std::string_view s, std::string_view item, char sep = lioDefaultSep);
String lioMove(std::string_view s, int from, int to, char sep = lioDefaultSep);
String lioDelete(std::string_view s, int index, char sep = lioDefaultSep);
String lioRemove(std::string_view s, std::string_view item, char sep = lioDefaultSep);
String lioRemoveItems(std::string_view s, std::string_view items, char sep = lioDefaultSep);
// The 0-based position of item, -1 when s is empty or item is not found. The whole
// sep+item+sep is searched for, so an "item" spanning separators is found where it stands.
int lioIndexOf(std::string_view s, std::string_view item, char sep = lioDefaultSep);
bool lioHasItem(std::string_view s, std::string_view item, char sep = lioDefaultSep);
bool lioHasItems(std::string_view s, std::string_view items, char sep = lioDefaultSep);
int lioPlaceCount(std::string_view s, std::string_view item, char sep = lioDefaultSep);
String lioReplace(std::string_view s, std::string_view oldItem, std::string_view newItem, char sep = lioDefaultSep);
String lioUpdateItems(std::string_view s, std::string_view prefix, std::string_view suffix, char sep = lioDefaultSep);
String lioEmptyStr(int count, char sep = lioDefaultSep);
String lioChangeSep(std::string_view s, char newSep, char oldSep = lioDefaultSep);

}  // namespace zv
