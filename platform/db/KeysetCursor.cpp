// The database-independent helpers of TKeysetCursor: SQL joins and the keyset ranges.

#include "platform/db/detail/KeysetCursor.h"

#include <cctype>
#include <string>

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

namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         (static_cast<unsigned char>(c) & 0x80);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// The scan reads the text as the database's tokenizer does where it matters for the shape: a
// literal, quoted name or comment is copied whole, so that a ";" or a parenthesis inside one
// counts for nothing, and one that does not end is refused (it would swallow the closing
// parenthesis of the WHERE around it).
bool PrepareFilterText(const String& text, TSqlDialect dialect, int firstMark, String& sql, std::vector<String>& names) {
  const bool pg = dialect == TSqlDialect::Pg;
  sql.clear();
  names.clear();
  int depth = 0;
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const char c = text[i];
    // Copies text[i, end) whole; false when it does not end.
    auto copyTo = [&](std::size_t end) {
      if (end == String::npos) return false;
      sql.append(text, i, end - i);
      i = end;
      return true;
    };
    if (c == '\'' || c == '"' || (!pg && (c == '`' || c == '['))) {
      const char close = c == '[' ? ']' : c;
      // E'...' in PostgreSQL takes backslash escapes.
      const bool escapes = pg && c == '\'' && i > 0 && (text[i - 1] == 'E' || text[i - 1] == 'e') &&
                           (i < 2 || !IsNameChar(text[i - 2]));
      std::size_t j = i + 1;
      for (;; ++j) {
        if (j >= n) return false;
        if (escapes && text[j] == '\\') {
          ++j;
          continue;
        }
        if (text[j] == close) {
          if (close != ']' && j + 1 < n && text[j + 1] == close) {  // a doubled quote stands for itself
            ++j;
            continue;
          }
          break;
        }
      }
      copyTo(j + 1);
      continue;
    }
    if (c == '-' && i + 1 < n && text[i + 1] == '-') {
      const std::size_t end = text.find('\n', i);
      if (!copyTo(end)) return false;  // it would run over the closing parenthesis
      continue;
    }
    if (c == '/' && i + 1 < n && text[i + 1] == '*') {
      // PostgreSQL nests block comments; SQLite ends one at the first "*/".
      std::size_t j = i + 2;
      int level = 1;
      while (level > 0) {
        if (j + 1 >= n) return false;
        if (text[j] == '*' && text[j + 1] == '/') {
          --level;
          j += 2;
        } else if (pg && text[j] == '/' && text[j + 1] == '*') {
          ++level;
          j += 2;
        } else {
          ++j;
        }
      }
      copyTo(j);
      continue;
    }
    // "$1" would take a value meant for the statement around the filter.
    if (pg && c == '$' && i + 1 < n && IsDigit(text[i + 1]) && (i == 0 || !IsNameChar(text[i - 1]))) return false;
    if (pg && c == '$' && (i == 0 || !IsNameChar(text[i - 1]))) {  // $$...$$ or $tag$...$tag$
      std::size_t tagEnd = i + 1;
      while (tagEnd < n && IsNameChar(text[tagEnd]) && !(tagEnd == i + 1 && IsDigit(text[tagEnd]))) ++tagEnd;
      if (tagEnd < n && text[tagEnd] == '$') {
        const String tag = text.substr(i, tagEnd + 1 - i);
        const std::size_t end = text.find(tag, tagEnd + 1);
        if (!copyTo(end == String::npos ? end : end + tag.size())) return false;
        continue;
      }
    }
    if (c == ':' && i + 1 < n && text[i + 1] == ':') {  // a cast
      sql += "::";
      i += 2;
      continue;
    }
    if (c == ':' && i + 1 < n && IsNameChar(text[i + 1]) && !IsDigit(text[i + 1])) {
      std::size_t end = i + 1;
      while (end < n && IsNameChar(text[end])) ++end;
      const String name = text.substr(i + 1, end - i - 1);
      auto it = std::find_if(names.begin(), names.end(), [&](const String& m) {
        return m.size() == name.size() &&
               std::equal(m.begin(), m.end(), name.begin(), [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); });
      });
      if (it == names.end()) it = names.insert(names.end(), name);
      sql += (pg ? "$" : "?") + std::to_string(firstMark + (it - names.begin()));
      i = end;
      continue;
    }
    if (c == ';') return false;
    // "?1" would name the place of a parameter the filter binds by name, and so pass the check
    // that the statement has no marks but those.
    if (!pg && c == '?') return false;
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return false;
    sql += c;
    ++i;
  }
  if (depth != 0) return false;
  // Nothing but blanks and comments is no condition.
  return std::any_of(sql.begin(), sql.end(), [](char ch) { return !std::isspace(static_cast<unsigned char>(ch)); });
}

}  // namespace zv::keyset
