// The database-independent helpers of TKeysetCursor: SQL joins and the keyset ranges.

#include "platform/db/detail/KeysetCursor.h"

namespace zv::keyset {

bool IsNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

String JoinSql(const std::vector<String>& parts, const char* separator) {
  String out;
  for (const String& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

std::int64_t IdNumber(const TKeysetId& id) { return id.empty() ? -1 : id.front().AsInt64(); }
TKeysetId IdOfNumber(std::int64_t number) { return TKeysetId{Variant(number)}; }

String AnyOfRanges(const std::vector<TKeysetRange>& ranges, std::vector<Variant>& params) {
  std::vector<String> alternatives;
  for (const TKeysetRange& range : ranges) {
    alternatives.push_back("(" + JoinSql(range.Parts, " AND ") + ")");
    params.insert(params.end(), range.Params.begin(), range.Params.end());
  }
  return JoinSql(alternatives, " OR ");
}

std::vector<TKeysetRange> AfterRanges(const std::vector<String>& columns, const std::vector<TKeysetSort>& sort,
                                      const std::vector<String>& idColumns, const std::vector<Variant>& key,
                                      const TKeysetId& id, bool backward, TNullOrder nulls) {
  struct TTerm {
    const String* Column;
    bool Descending;
    const Variant* Value;
    bool MayBeNull;
  };
  std::vector<TTerm> terms;
  for (std::size_t j = 0; j < sort.size(); ++j)
    terms.push_back({&columns[static_cast<std::size_t>(sort[j].Column)], sort[j].Descending, &key[j], true});
  for (std::size_t j = 0; j < idColumns.size() && j < id.size(); ++j) terms.push_back({&idColumns[j], false, &id[j], false});
  std::vector<TKeysetRange> ranges;
  for (std::size_t level = terms.size(); level-- > 0;) {
    TKeysetRange prefix;
    for (std::size_t j = 0; j < level; ++j) {
      if (IsNullish(*terms[j].Value)) {
        prefix.Parts.push_back(*terms[j].Column + " IS NULL");
      } else {
        prefix.Parts.push_back(*terms[j].Column + " = ?");
        prefix.Params.push_back(*terms[j].Value);
      }
    }
    auto add = [&](const String& condition, const Variant* value) {
      TKeysetRange range = prefix;
      range.Parts.push_back(condition);
      if (value) range.Params.push_back(*value);
      ranges.push_back(std::move(range));
    };
    const String& column = *terms[level].Column;
    const Variant& v = *terms[level].Value;
    // Whether the values grow in the direction of travel; NULLs are then met first (smallest)
    // or last (largest), as the database places them.
    const bool ascending = terms[level].Descending == backward;
    const bool nullsComeFirst = ascending == (nulls == TNullOrder::First);
    if (IsNullish(v)) {
      if (nullsComeFirst) add(column + " IS NOT NULL", nullptr);
    } else {
      add(column + (ascending ? " > ?" : " < ?"), &v);
      // A key column is never NULL: a range of its NULLs would cost a query and find nothing.
      if (!nullsComeFirst && terms[level].MayBeNull) add(column + " IS NULL", nullptr);
    }
  }
  return ranges;
}

}  // namespace zv::keyset
