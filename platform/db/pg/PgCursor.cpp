// TPgCursor: the server's statements under the shared keyset window, and the counts and
// positions that use a dense integer key.
//
// Sections: identities; statements; finding; counting and positions.

#include "platform/db/pg/detail/PgCursor.h"

#include "platform/db/pg/detail/PgValues.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>

namespace zv::pg {

namespace {

using keyset::IdNumber;  // a query row's position
using keyset::IdOfNumber;
using keyset::IsNullish;
using keyset::JoinSql;

TPgParam Param(const Variant& v) { return IsNullish(v) ? TPgParam() : TPgParam(v.AsString()); }

std::vector<TPgParam> Params(const std::vector<Variant>& values) {
  std::vector<TPgParam> out;
  for (const Variant& v : values) out.push_back(Param(v));
  return out;
}

void PutLength(String& out, std::size_t n) {
  for (int i = 0; i < 4; ++i, n >>= 8) out += static_cast<char>(n & 0xFF);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Identities
//
// A query row's position is IntegerBookmark's 8 bytes; a key is its values' text, each behind a
// marker (NULL or text) and a length, so that no two keys share bytes.

String EncodePgId(const TPgId& id) {
  if (id.size() == 1 && (VarType(id[0]) == varInt64 || VarType(id[0]) == varInteger)) return IntegerBookmark(id[0].AsInt64());
  String out = "k";
  for (const Variant& v : id) {
    if (IsNullish(v)) {
      out += 'n';
      continue;
    }
    const String text = v.AsString();
    out += 't';
    PutLength(out, text.size());
    out += text;
  }
  if (out.size() == 8) out += 'x';
  return out;
}

bool DecodePgId(const String& bytes, TPgId& id) {
  id.clear();
  if (bytes.size() == 8) {
    std::int64_t n = 0;
    DecodeIntegerBookmark(bytes, n);
    id.push_back(Variant(n));
    return true;
  }
  if (bytes.empty() || bytes[0] != 'k') return false;
  std::size_t pos = 1;
  while (pos < bytes.size()) {
    const char tag = bytes[pos++];
    if (tag == 'x' && pos == bytes.size()) break;
    if (tag == 'n') {
      id.push_back(Variant::Null());
      continue;
    }
    if (tag != 't' || bytes.size() - pos < 4) return false;
    std::size_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(bytes[pos + static_cast<std::size_t>(i)]);
    pos += 4;
    if (bytes.size() - pos < n) return false;
    id.push_back(Variant(bytes.substr(pos, n)));
    pos += n;
  }
  return !id.empty();
}

String NumberPlaceholders(const String& sql, int first) {
  String out;
  out.reserve(sql.size() + 16);
  char quote = 0;
  for (const char c : sql) {
    if (quote) {
      if (c == quote) quote = 0;
      out += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
      out += c;
    } else if (c == '?') {
      out += "$" + IntToStr(first++);
    } else {
      out += c;
    }
  }
  return out;
}

TPgCursor::TPgCursor(TPgConnection& connection, TPgSource source, std::vector<TPgSortColumn> sort)
    : TKeysetCursor(source.IsTable, std::move(sort), keyset::TNullOrder::Last), fConnection(connection),
      fSource(std::move(source)) {}

// ---------------------------------------------------------------------------------------------
// Statements

// A filtered read runs read-only: in a transaction of its own, or inside the connection's in a
// savepoint made read-only and rolled back, which leaves that transaction as it was.
TPgResult TPgCursor::Run(const String& sql, const std::vector<TPgParam>& params) {
  std::vector<TPgParam> all = fSource.Params;
  all.insert(all.end(), params.begin(), params.end());
  // Only the read itself can be stopped; what ends the transaction around it cannot.
  auto execute = [&] {
    struct TWaitGuard {
      TPgConnection& Connection;
      std::function<bool()> Old;
      ~TWaitGuard() { Connection.OnWait = std::move(Old); }
    } guard{fConnection, fConnection.OnWait};
    fConnection.OnWait = fWait;
    return fConnection.Execute(sql, all);
  };
  if (!fSource.Filtered) return execute();
  const bool own = !fConnection.InTransaction();
  auto finish = [&] {
    if (own) {
      fConnection.Execute("ROLLBACK");
    } else {
      fConnection.Execute("ROLLBACK TO SAVEPOINT zv_filter");
      fConnection.Execute("RELEASE SAVEPOINT zv_filter");
    }
  };
  if (own) {
    fConnection.Execute("BEGIN READ ONLY");
  } else {
    fConnection.Execute("SAVEPOINT zv_filter");
    fConnection.Execute("SET TRANSACTION READ ONLY");
  }
  TPgResult result;
  try {
    result = execute();
  } catch (...) {
    try {
      finish();
    } catch (...) {
    }
    throw;
  }
  finish();
  return result;
}

// Reads up to one row, so that the condition runs: a function that would write fails here, in
// the read-only transaction, rather than at the first window.
// The planner's figure for the table (kept by VACUUM and ANALYZE; -1 before the first). Under a
// filter the table's own, an upper bound: counting what the filter admits is the pass avoided.
std::int64_t TPgCursor::Guess() {
  if (!fSource.IsTable) return -1;
  const TPgResult result = fConnection.Execute("SELECT reltuples::bigint FROM pg_class WHERE oid = $1::regclass",
                                               {fSource.Filtered ? fSource.BaseFrom : fSource.From});
  if (result.Rows() == 0 || result.IsNull(0, 0)) return -1;
  const std::int64_t n = StrToInt64(result.Text(0, 0));
  return n >= 0 ? n : -1;
}

void TPgCursor::CheckSource() { Run("SELECT 1 FROM " + fSource.From + " LIMIT 1", {}); }

std::optional<TPgRow> TPgCursor::FetchUnfiltered(const TPgId& id) {
  std::vector<String> parts;
  for (std::size_t i = 0; i < fSource.IdColumns.size(); ++i) parts.push_back(fSource.IdColumns[i] + " = $" + IntToStr(static_cast<int>(i) + 1));
  const TPgResult result = fConnection.Execute("SELECT " + SelectList() + " FROM " + fSource.BaseFrom + " WHERE " + JoinSql(parts, " AND "), Params(id));
  if (result.Rows() == 0) return std::nullopt;
  return ReadRow(result, 0, -1);
}

// A sort column is read whole: its value is the key the next page is found from.
bool TPgCursor::IsLong(std::size_t column) const {
  return column < fSource.Long.size() && fSource.Long[column] &&
         std::none_of(fSort.begin(), fSort.end(), [&](const TPgSortColumn& s) { return s.Column == static_cast<int>(column); });
}

// The identities, the values (a long one's start when it is longer), then each long column's
// length in bytes, which the server takes from the stored value's header.
String TPgCursor::SelectList() const {
  std::vector<String> list = fSource.IdColumns;
  std::vector<String> lengths;
  const String limit = IntToStr(static_cast<int>(LongValueStart));
  for (std::size_t c = 0; c < fSource.Columns.size(); ++c) {
    const String& column = fSource.Columns[c];
    if (!IsLong(c)) {
      list.push_back(column);
      continue;
    }
    const String start = fSource.Long[c] == 2 ? "substring(" + column + " from 1 for " + limit + ")"
                                              : "left(" + column + ", " + IntToStr(static_cast<int>(LongValueStart / 4)) + ")";
    list.push_back("CASE WHEN octet_length(" + column + ") > " + limit + " THEN " + start + " ELSE " + column + " END");
    lengths.push_back("octet_length(" + column + ")");
  }
  for (const String& l : lengths) list.push_back(l);
  return JoinSql(list, ", ");
}

void TPgCursor::ReadValues(const TPgResult& result, int r, int first, TPgRow& row) const {
  const std::size_t columns = fSource.Columns.size();
  row.Values.reserve(columns);
  int length = first + static_cast<int>(columns);  // the long columns' lengths follow the values
  for (std::size_t c = 0; c < columns; ++c) {
    const int column = first + static_cast<int>(c);
    row.Values.push_back(result.IsNull(r, column) ? Variant::Null() : PgTextToValue(result.Text(r, column), fSource.Types[c]));
    if (!IsLong(c)) continue;
    const int at = length++;
    if (result.IsNull(r, at)) continue;
    const std::int64_t bytes = StrToInt64(result.Text(r, at));
    if (bytes > LongValueStart) {
      row.Lengths.resize(columns, -1);
      row.Lengths[c] = bytes;
    }
  }
}

std::optional<Variant> TPgCursor::ReadWhole(const TPgId& id, int column) {
  const auto c = static_cast<std::size_t>(column);
  TPgResult result;
  if (fSource.IsTable) {
    // Read past the filter: the row was admitted when its window was read.
    std::vector<String> parts;
    for (std::size_t i = 0; i < fSource.IdColumns.size(); ++i) parts.push_back(fSource.IdColumns[i] + " = $" + IntToStr(static_cast<int>(i) + 1));
    result = fConnection.Execute("SELECT " + fSource.Columns[c] + " FROM " + (fSource.Filtered ? fSource.BaseFrom : fSource.From) +
                                     " WHERE " + JoinSql(parts, " AND "),
                                 Params(id));
  } else {
    result = Run("SELECT " + fSource.Columns[c] + " FROM " + fSource.From + OrderBy(false) +
                     NumberPlaceholders(" LIMIT 1 OFFSET ?", static_cast<int>(fSource.Params.size()) + 1),
                 {IntToStr(IdNumber(id))});
  }
  if (result.Rows() == 0) return std::nullopt;
  return result.IsNull(0, 0) ? Variant::Null() : PgTextToValue(result.Text(0, 0), fSource.Types[c]);
}

// The sort columns in the server's own order (NULLs after every value: ASC NULLS LAST, and going
// backward DESC NULLS FIRST), which a plain index on the column serves both ways; then the
// primary key (never NULL), so that the order is total. A query's ties are broken by its other
// comparable columns.
String TPgCursor::OrderBy(bool backward) const {
  std::vector<String> terms;
  for (const TPgSortColumn& s : fSort)
    terms.push_back(fSource.Columns[static_cast<std::size_t>(s.Column)] + (s.Descending != backward ? " DESC" : ""));
  if (fSource.IsTable) {
    for (const String& c : fSource.IdColumns) terms.push_back(c + (backward ? " DESC" : ""));
  } else if (!fSort.empty()) {
    for (std::size_t c = 0; c < fSource.Columns.size(); ++c) {
      if (!fSource.Ordered[c] || fSource.Types[c] == ftBlob) continue;  // json and xml have no order
      terms.push_back(fSource.Columns[c] + (backward ? " DESC" : ""));
    }
  }
  return terms.empty() ? String() : " ORDER BY " + JoinSql(terms, ", ");
}

TPgRow TPgCursor::ReadRow(const TPgResult& result, int r, std::int64_t position) const {
  TPgRow row;
  const int width = IdWidth();
  if (fSource.IsTable) {
    for (int i = 0; i < width; ++i) row.Id.push_back(Variant(String(result.Text(r, i))));
  } else {
    row.Id = IdOfNumber(position);
  }
  for (const TPgSortColumn& s : fSort) {
    const int c = width + s.Column;
    row.Key.push_back(result.IsNull(r, c) ? Variant::Null() : Variant(String(result.Text(r, c))));
  }
  ReadValues(result, r, width, row);
  return row;
}

void TPgCursor::Collect(const String& tail, const std::vector<Variant>& params, std::int64_t firstId,
                        std::vector<TPgRow>& into) {
  const String numbered = NumberPlaceholders(tail, static_cast<int>(fSource.Params.size()) + 1);
  String sql = "SELECT " + SelectList() + " FROM " + fSource.From + numbered;
  // In an order no index serves, the server sorts every row it reads, computing the select list
  // (the long values' starts and lengths) for each before it sorts: the rows are sorted as they
  // are, and the list computed for the page only.
  const std::size_t order = tail.rfind(" ORDER BY ");
  if (fSource.IsTable && order != String::npos && tail.ends_with(" LIMIT ?") && !OrderIndexed())
    sql = "SELECT " + SelectList() + " FROM (SELECT * FROM " + fSource.From + numbered + ") AS zv_w" +
          tail.substr(order, tail.size() - order - 8);
  const TPgResult result = Run(sql, Params(params));
  std::int64_t id = firstId;
  for (int r = 0; r < result.Rows(); ++r) {
    into.push_back(ReadRow(result, r, id));
    if (id >= 0) ++id;
  }
}

// ---------------------------------------------------------------------------------------------
// Finding

std::optional<TPgRow> TPgCursor::FindFirst(const TPgCondition& condition) {
  std::vector<TPgRow> rows;
  if (fSource.IsTable) {
    // The condition's parameters are text already: run it as Collect would, without converting.
    const String tail = " WHERE " + condition.Where + OrderBy(false) + " LIMIT 1";
    const String sql = "SELECT " + SelectList() + " FROM " + fSource.From +
                       NumberPlaceholders(tail, static_cast<int>(fSource.Params.size()) + 1);
    const TPgResult result = Run(sql, condition.Params);
    if (result.Rows() > 0) rows.push_back(ReadRow(result, 0, -1));
  } else {
    // A query's row is known by its position: number the rows in the dataset's order.
    String over = OrderBy(false);
    if (!over.empty()) over = over.substr(1);
    const String sql = "SELECT zv_n, " + SelectList() + " FROM (SELECT row_number() OVER (" + over +
                       ") - 1 AS zv_n, * FROM " + fSource.From + ") zv_f WHERE " +
                       NumberPlaceholders(condition.Where, static_cast<int>(fSource.Params.size()) + 1) +
                       " ORDER BY zv_n LIMIT 1";
    const TPgResult result = Run(sql, condition.Params);
    if (result.Rows() > 0) {
      TPgRow row;
      row.Id = IdOfNumber(StrToInt64(result.Text(0, 0)));
      ReadValues(result, 0, 1, row);
      for (const TPgSortColumn& s : fSort) {
        const int c = 1 + s.Column;
        row.Key.push_back(result.IsNull(0, c) ? Variant::Null() : Variant(String(result.Text(0, c))));
      }
      rows.push_back(std::move(row));
    }
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

// ---------------------------------------------------------------------------------------------
// Counting and positions

std::int64_t TPgCursor::Count() {
  if (fCount < 0) {
    const TPgResult result = Run("SELECT count(*) FROM " + fSource.From, {});
    fCount = result.Rows() ? StrToInt64(result.Text(0, 0)) : 0;
  }
  return fCount;
}

bool TPgCursor::Dense() {
  if (!fSource.IsTable || !fSource.IntegerId || !fSort.empty()) return false;
  if (fDense < 0) {
    const std::int64_t count = Count();
    fDense = 0;
    if (count > 0) {
      const String id = fSource.IdColumns.front();
      const TPgResult result = Run("SELECT min(" + id + "), max(" + id + ") FROM " + fSource.From, {});
      if (result.Rows() && !result.IsNull(0, 0)) {
        NoteIdSpan(StrToInt64(result.Text(0, 0)), StrToInt64(result.Text(0, 1)));
      }
    }
  }
  return fDense == 1;
}

std::int64_t TPgCursor::PositionOf(const TPgId& id, const std::vector<Variant>* key) {
  if (const std::int64_t known = KnownPositionOf(id); known >= 0 || !fSource.IsTable) return known;
  if (Dense()) {
    const int index = CacheIndex(id);
    std::int64_t n = 0;
    if (id.size() != 1 || !TryStrToInt64(id.front().AsString(), n) || n < fMinId || n > fMaxId) return -1;
    if (index >= 0) fBase = n - fMinId - index;
    return n - fMinId;
  }
  return CountBefore(id, key);
}

// The server's plan says whether it sorts the rows itself rather than walking an index in the
// order (an incremental sort walks one). Nothing runs: the statement is only explained.
bool TPgCursor::OrderIndexed() {
  if (fOrderIndexed < 0) {
    fOrderIndexed = 1;
    if (fSource.IsTable && !fSort.empty()) {
      const TPgResult plan = Run("EXPLAIN SELECT " + SelectList() + " FROM " + fSource.From + OrderBy(false) + " LIMIT 1", {});
      for (int r = 0; r < plan.Rows(); ++r) {
        const String line(plan.Text(r, 0));
        const auto at = line.find("Sort  (");
        if (at != String::npos && !(at >= 12 && line.compare(at - 12, 12, "Incremental ") == 0)) fOrderIndexed = 0;
      }
    }
  }
  return fOrderIndexed == 1;
}

// One count over all the ranges: a round trip each would cost more than the server's plan.
std::int64_t TPgCursor::CountInRanges(const std::vector<keyset::TKeysetRange>& ranges) {
  std::vector<Variant> params;
  const String any = keyset::AnyOfRanges(ranges, params);
  if (any.empty()) return 0;
  const TPgResult result = Run("SELECT count(*) FROM " + fSource.From + " WHERE " +
                                   NumberPlaceholders(any, static_cast<int>(fSource.Params.size()) + 1),
                               Params(params));
  return result.Rows() ? StrToInt64(result.Text(0, 0)) : 0;
}

void TPgCursor::EachId(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) {
  const TPgResult result = Run("SELECT " + JoinSql(fSource.IdColumns, ", ") + " FROM " + fSource.From +
                                   NumberPlaceholders(tail, static_cast<int>(fSource.Params.size()) + 1),
                               Params(params));
  TPgId id;
  for (int r = 0; r < result.Rows(); ++r) {
    id.clear();
    for (int i = 0; i < IdWidth(); ++i) id.push_back(Variant(String(result.Text(r, i))));
    if (!f(id)) break;
  }
}

bool TPgCursor::AnyWhere(const String& where, const std::vector<Variant>& params) {
  const TPgResult result =
      Run("SELECT EXISTS (SELECT 1 FROM " + fSource.From + " WHERE " +
              NumberPlaceholders(where, static_cast<int>(fSource.Params.size()) + 1) + ")",
          Params(params));
  return result.Rows() && result.Text(0, 0) == "t";
}

std::optional<TPgId> TPgCursor::IdAt(std::int64_t position) {
  if (position < 0) return std::nullopt;
  if (!fSource.IsTable) {
    if (position >= Count()) return std::nullopt;
    return IdOfNumber(position);
  }
  if (auto cached = CachedIdAt(position)) return cached;
  if (Dense()) {
    if (position >= Count()) return std::nullopt;
    return TPgId{Variant(IntToStr(fMinId + position))};
  }
  const TPgResult result =
      Run("SELECT " + JoinSql(fSource.IdColumns, ", ") + " FROM " + fSource.From + OrderBy(false) +
              NumberPlaceholders(" LIMIT 1 OFFSET ?", static_cast<int>(fSource.Params.size()) + 1),
          {IntToStr(position)});
  if (result.Rows() == 0) return std::nullopt;
  TPgId id;
  for (int i = 0; i < IdWidth(); ++i) id.push_back(Variant(String(result.Text(0, i))));
  return id;
}

int TPgCursor::Compare(const TPgId& a, const TPgId& b) {
  const String ea = EncodePgId(a), eb = EncodePgId(b);
  if (ea == eb) return 0;
  const int byId = !fSource.IsTable ? (IdNumber(a) < IdNumber(b) ? -1 : 1) : (ea < eb ? -1 : 1);
  if (!fSource.IsTable) return byId;
  return CompareByKey(a, b, byId);
}

}  // namespace zv::pg
