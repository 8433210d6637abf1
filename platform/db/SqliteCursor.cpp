// TSqliteCursor: SQLite's statements under the shared keyset window, and the counts and
// positions that use the rowid.
//
// Sections: identities; statements; reading rows; finding; counting and positions.

#include "platform/db/detail/SqliteCursor.h"

#include "platform/db/DBConsts.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace zv::sqlite {

namespace {

// Statements are kept prepared; a guard puts one back (reset, unbound) however its use ends,
// so that no read transaction stays open between calls.
struct TResetGuard {
  TSqliteStatement& Statement;
  ~TResetGuard() { Statement.Reset(); }
};

constexpr std::size_t MaxPreparedStatements = 64;

using keyset::IdNumber;  // a query row's position, or a rowid
using keyset::IdOfNumber;
using keyset::IsNullish;
using keyset::JoinSql;

void PutUInt64(String& out, std::uint64_t u) {
  for (int i = 0; i < 8; ++i, u >>= 8) out += static_cast<char>(u & 0xFF);
}

bool GetUInt64(const String& in, std::size_t& pos, std::uint64_t& u) {
  if (in.size() - pos < 8) return false;
  u = 0;
  for (std::size_t i = 8; i-- > 0;) u = (u << 8) | static_cast<unsigned char>(in[pos + i]);
  pos += 8;
  return true;
}

}  // namespace

// One integer is IntegerBookmark's 8 bytes; anything else a tag and its bytes per value, never 8
// bytes long in all (a tag byte, then 8 bytes or a length and the bytes).
String EncodeSqliteId(const TSqliteId& id) {
  if (id.size() == 1 && (VarType(id[0]) == varInt64 || VarType(id[0]) == varInteger)) return IntegerBookmark(id[0].AsInt64());
  String out;
  out += static_cast<char>(id.size());
  for (const Variant& v : id) {
    if (IsNullish(v)) {
      out += 'n';
    } else if (VarType(v) == varInt64 || VarType(v) == varInteger) {
      out += 'i';
      PutUInt64(out, static_cast<std::uint64_t>(v.AsInt64()));
    } else if (VarType(v) == varDouble) {
      out += 'f';
      const double d = v.AsDouble();
      std::uint64_t u = 0;
      std::memcpy(&u, &d, sizeof u);
      PutUInt64(out, u);
    } else if (v.IsArray()) {
      out += 'b';
      const auto bytes = v.Bytes();
      PutUInt64(out, bytes.size());
      out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    } else {
      out += 't';
      const String text = v.AsString();
      PutUInt64(out, text.size());
      out += text;
    }
  }
  if (out.size() == 8) out += 'x';  // never read as one integer
  return out;
}

bool DecodeSqliteId(const String& bytes, TSqliteId& id) {
  id.clear();
  if (bytes.size() == 8) {
    std::int64_t n = 0;
    DecodeIntegerBookmark(bytes, n);
    id.push_back(Variant(n));
    return true;
  }
  if (bytes.empty()) return false;
  const std::size_t count = static_cast<unsigned char>(bytes[0]);
  std::size_t pos = 1;
  for (std::size_t i = 0; i < count; ++i) {
    if (pos >= bytes.size()) return false;
    const char tag = bytes[pos++];
    std::uint64_t u = 0;
    if (tag == 'n') {
      id.push_back(Variant::Null());
      continue;
    }
    if (!GetUInt64(bytes, pos, u)) return false;
    if (tag == 'i') {
      id.push_back(Variant(static_cast<std::int64_t>(u)));
    } else if (tag == 'f') {
      double d = 0;
      std::memcpy(&d, &u, sizeof d);
      id.push_back(Variant(d));
    } else if (tag == 't' || tag == 'b') {
      if (bytes.size() - pos < u) return false;
      const String part = bytes.substr(pos, static_cast<std::size_t>(u));
      pos += static_cast<std::size_t>(u);
      if (tag == 't') {
        id.push_back(Variant(part));
      } else {
        std::vector<std::uint8_t> data(part.begin(), part.end());
        id.push_back(VarArrayOfBytes(data));
      }
    } else {
      return false;
    }
  }
  return true;
}

TSqliteCursor::TSqliteCursor(const TSqliteDatabase& db, TSqliteSource source, std::vector<TSortColumn> sort)
    : TKeysetCursor(source.IsTable, std::move(sort), keyset::TNullOrder::First), fDb(db), fSource(std::move(source)) {}

TSqliteCursor::~TSqliteCursor() = default;

// ---------------------------------------------------------------------------------------------
// Statements

namespace {

// While a filtered statement is prepared, SQLite asks before each action it compiles: reading a
// column, selecting and calling a function are allowed; anything else (a write, an ATTACH, a
// PRAGMA, a function that reaches the file system) is refused, and so is the statement.
int Authorize(int action, const char* arg1, const char* arg2) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    case SQLITE_FUNCTION: {
      const char* name = arg2 ? arg2 : arg1;
      for (const char* refused : {"load_extension", "readfile", "writefile", "edit", "fts3_tokenizer"})
        if (name && sqlite3_stricmp(name, refused) == 0) return SQLITE_DENY;
      return SQLITE_OK;
    }
    default:
      return SQLITE_DENY;
  }
}

int ReadOnlyAuthorizer(void* denied, int action, const char* arg1, const char* arg2, const char*, const char*) {
  const int answer = Authorize(action, arg1, arg2);
  if (answer == SQLITE_DENY) *static_cast<bool*>(denied) = true;
  return answer;
}

struct TAuthorizerGuard {
  sqlite3* Db;
  bool Denied = false;
  explicit TAuthorizerGuard(sqlite3* db) : Db(db) { sqlite3_set_authorizer(db, ReadOnlyAuthorizer, &Denied); }
  ~TAuthorizerGuard() { sqlite3_set_authorizer(Db, nullptr, nullptr); }
};

}  // namespace

// Every statement reads the source through Prefix (a query's WITH clause, a filter's).
TSqliteStatement& TSqliteCursor::Prepare(const String& tail) {
  const String sql = fSource.Prefix + tail;
  auto it = fStatements.find(sql);
  if (it != fStatements.end()) return *it->second;
  if (fStatements.size() >= MaxPreparedStatements) fStatements.clear();
  std::unique_ptr<TSqliteStatement> statement;
  if (fSource.Filtered) {
    TAuthorizerGuard guard(fDb.Handle());
    try {
      statement = std::make_unique<TSqliteStatement>(fDb, sql);
    } catch (const EDatabaseError&) {
      // SQLite names the refused action; the filter's own message says what is allowed.
      if (guard.Denied) throw EDatabaseError(SFilterNotExpression);
      throw;
    }
  } else {
    statement = std::make_unique<TSqliteStatement>(fDb, sql);
  }
  return *fStatements.emplace(sql, std::move(statement)).first->second;
}

void TSqliteCursor::BindAll(TSqliteStatement& st, const std::vector<Variant>& params) const {
  const std::size_t marks = fSource.FilterParams.size();
  for (std::size_t i = 0; i < marks; ++i) st.Bind(static_cast<int>(i) + 1, fSource.FilterParams[i]);
  for (std::size_t i = 0; i < params.size(); ++i) st.Bind(static_cast<int>(marks + i) + 1, params[i]);
}

void TSqliteCursor::CheckSource() {
  TSqliteStatement& st = Prepare("SELECT 1 FROM " + fSource.From);
  // A mark the filter wrote itself (?, @x, $x, #x) would take a value meant for the statement,
  // or share the place of a parameter bound by name: every place must be one of ours, ?1..?n.
  const int marks = static_cast<int>(fSource.FilterParams.size());
  if (st.ParameterCount() != marks) throw EDatabaseError(SFilterNotExpression);
  for (int i = 1; i <= marks; ++i)
    if (st.ParameterName(i) != "?" + std::to_string(i)) throw EDatabaseError(SFilterNotExpression);
}

std::optional<TSqliteRow> TSqliteCursor::FetchUnfiltered(const TSqliteId& id) {
  TSqliteStatement& st = Prepare("SELECT " + SelectList() + " FROM " + fSource.BaseFrom + " WHERE " + IdEquals());
  TResetGuard guard{st};
  BindAll(st, id);
  if (!st.Step()) return std::nullopt;
  return ReadRow(st, -1);
}

// The identity first (a query's rows are numbered by the caller), then every column.
String TSqliteCursor::SelectList() const {
  return (fSource.IsTable ? JoinSql(fSource.IdColumns, ", ") : String("0")) + ValueList();
}

// A sort column is read whole: its value is the key the next page is found from.
bool TSqliteCursor::IsLong(std::size_t column) const {
  return column < fSource.Long.size() && fSource.Long[column] &&
         std::none_of(fSort.begin(), fSort.end(), [&](const TSortColumn& s) { return s.Column == static_cast<int>(column); });
}

// ", value, ...", a long column's through zv_start, which says itself whether it cut the value.
String TSqliteCursor::ValueList() const {
  String list;
  for (std::size_t c = 0; c < fSource.Columns.size(); ++c) {
    const String& column = fSource.Columns[c];
    list += IsLong(c) ? ", zv_start(" + column + ")" : ", " + column;
  }
  return list;
}

void RegisterLongValueStart(const TSqliteDatabase& db) {
  auto start = [](sqlite3_context* context, int, sqlite3_value** args) {
    sqlite3_value* v = args[0];
    const int storage = sqlite3_value_type(v);
    const int bytes = storage == SQLITE_TEXT || storage == SQLITE_BLOB ? sqlite3_value_bytes(v) : 0;
    if (bytes <= LongValueStart) {
      sqlite3_result_value(context, v);
      return;
    }
    String out;
    PutUInt64(out, static_cast<std::uint64_t>(bytes));
    std::size_t cut = static_cast<std::size_t>(LongValueStart);
    if (storage == SQLITE_BLOB) {
      out += 'b';
      out.append(static_cast<const char*>(sqlite3_value_blob(v)), cut);
    } else {
      const auto* text = sqlite3_value_text(v);
      while (cut > 0 && (text[cut] & 0xC0) == 0x80) --cut;
      out += 't';
      out.append(reinterpret_cast<const char*>(text), cut);
    }
    sqlite3_result_blob(context, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
  };
  const int rc = sqlite3_create_function_v2(db.Handle(), "zv_start", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, start,
                                            nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) db.RaiseError(rc);
}

std::optional<Variant> TSqliteCursor::ReadWhole(const TSqliteId& id, int column) {
  const String& expr = fSource.Columns[static_cast<std::size_t>(column)];
  // A table's row is read past the filter: it was admitted when its window was read.
  TSqliteStatement& st = fSource.IsTable ? Prepare("SELECT " + expr + " FROM " + (fSource.Filtered ? fSource.BaseFrom : fSource.From) +
                                                   " WHERE " + IdEquals())
                                         : Prepare("SELECT " + expr + " FROM " + fSource.From + OrderBy(false) + " LIMIT 1 OFFSET ?");
  TResetGuard guard{st};
  BindAll(st, fSource.IsTable ? id : TSqliteId{Variant(IdNumber(id))});
  if (!st.Step()) return std::nullopt;
  return st.ColumnValue(0, fSource.Types[static_cast<std::size_t>(column)]);
}

// The order of the sort columns, the rowid last so that the order is total; backward reverses
// every term, which in SQLite also moves NULLs from first to last. A query has no rowid: its
// remaining columns break ties, so that equal rows are interchangeable.
String TSqliteCursor::OrderBy(bool backward) const {
  std::vector<String> terms;
  for (const TSortColumn& s : fSort) terms.push_back(fSource.Columns[static_cast<std::size_t>(s.Column)] + (s.Descending != backward ? " DESC" : ""));
  if (fSource.IsTable) {
    for (const String& c : fSource.IdColumns) terms.push_back(c + (backward ? " DESC" : ""));
  } else if (!fSort.empty()) {
    for (const String& c : fSource.Columns) terms.push_back(c + (backward ? " DESC" : ""));
  }
  return terms.empty() ? String() : " ORDER BY " + JoinSql(terms, ", ");
}

// ---------------------------------------------------------------------------------------------
// Reading rows

// The key is read first and as stored: a typed read may convert the column in the statement.
TSqliteRow TSqliteCursor::ReadRow(const TSqliteStatement& st, std::int64_t position) const {
  TSqliteRow row;
  const int width = IdWidth();
  if (fSource.IsTable) {
    for (int i = 0; i < width; ++i) row.Id.push_back(st.ColumnValue(i, ftUnknown));
    row.Key.reserve(fSort.size());
    for (const TSortColumn& s : fSort) row.Key.push_back(st.ColumnValue(width + s.Column, ftUnknown));
  } else {
    row.Id = IdOfNumber(position);
  }
  const std::size_t columns = fSource.Columns.size();
  row.Values.reserve(columns);
  for (std::size_t c = 0; c < columns; ++c) {
    const int at = static_cast<int>(c) + width;
    // A long column's blob is one of its values, or, longer than any of them, a value zv_start
    // cut: its length, its class and its start. Blobs are bytes whatever the field's type.
    if (!IsLong(c) || st.ColumnStorage(at) != SQLITE_BLOB) {
      row.Values.push_back(st.ColumnValue(at, fSource.Types[c]));
      continue;
    }
    std::vector<std::uint8_t> bytes = st.ColumnBlob(at);
    if (bytes.size() <= static_cast<std::size_t>(LongValueStart)) {
      row.Values.push_back(VarArrayOfBytes(bytes));
      continue;
    }
    const String head(bytes.begin(), bytes.begin() + 9);
    std::size_t pos = 0;
    std::uint64_t whole = 0;
    GetUInt64(head, pos, whole);
    if (head[8] == 't')
      row.Values.push_back(Variant(String(bytes.begin() + 9, bytes.end())));
    else
      row.Values.push_back(VarArrayOfBytes(std::span<const std::uint8_t>(bytes).subspan(9)));
    row.Lengths.resize(columns, -1);
    row.Lengths[c] = static_cast<std::int64_t>(whole);
  }
  return row;
}

void TSqliteCursor::Collect(const String& tail, const std::vector<Variant>& params, std::int64_t firstId,
                            std::vector<TSqliteRow>& into) {
  TSqliteStatement& st = Prepare("SELECT " + SelectList() + " FROM " + fSource.From + tail);
  TResetGuard guard{st};
  BindAll(st, params);
  std::int64_t id = firstId;
  while (st.Step()) {
    into.push_back(ReadRow(st, id));
    if (id >= 0) ++id;
  }
}

// ---------------------------------------------------------------------------------------------
// Finding

std::optional<TSqliteRow> TSqliteCursor::FindFirst(const TSqliteCondition& condition) {
  std::vector<TSqliteRow> rows;
  if (fSource.IsTable) {
    Collect(" WHERE " + condition.Where + OrderBy(false) + " LIMIT 1", condition.Params, -1, rows);
  } else {
    // A query's row is known by its position: number the rows in the dataset's order.
    String columns;
    for (const String& c : fSource.Columns) columns += ", " + c;
    String over = OrderBy(false);
    if (!over.empty()) over = over.substr(1);  // "ORDER BY ..." inside OVER ()
    const String sql = "SELECT zv_n" + ValueList() + " FROM (SELECT row_number() OVER (" + over +
                       ") - 1 AS zv_n" + columns + " FROM " + fSource.From + ") WHERE " + condition.Where +
                       " ORDER BY zv_n LIMIT 1";
    TSqliteStatement& st = Prepare(sql);
    TResetGuard guard{st};
    BindAll(st, condition.Params);
    if (st.Step()) rows.push_back(ReadRow(st, st.ColumnInt64(0)));
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

std::optional<TSqliteRow> TSqliteCursor::FindNearest(const TSqliteCondition& condition, bool backward,
                                                     const TSqliteId* from, const std::vector<Variant>* fromKey,
                                                     bool includeFrom) {
  std::vector<TSqliteRow> rows;
  if (fSource.IsTable) {
    String where = "(" + condition.Where + ")";
    std::vector<Variant> params;
    if (from) {
      std::vector<Variant> key;
      if (!KeyOf(*from, fromKey, key)) return std::nullopt;
      // The ranges after the row, each an index-friendly condition; the row itself by identity.
      std::vector<keyset::TKeysetRange> ranges = RangesAfter(key, *from, backward);
      if (includeFrom) ranges.insert(ranges.begin(), keyset::TKeysetRange{{IdEquals()}, *from});
      if (ranges.empty()) return std::nullopt;
      where = "(" + keyset::AnyOfRanges(ranges, params) + ") AND " + where;
    }
    params.insert(params.end(), condition.Params.begin(), condition.Params.end());
    Collect(" WHERE " + where + OrderBy(backward) + " LIMIT 1", params, -1, rows);
  } else {
    // A query's row is known by its position, counted in the dataset's order.
    String columns;
    for (const String& c : fSource.Columns) columns += ", " + c;
    String over = OrderBy(false);
    if (!over.empty()) over = over.substr(1);
    std::vector<Variant> params = condition.Params;
    String where = condition.Where;
    if (from) {
      where = "(" + where + ") AND zv_n " + (backward ? "<" : ">") + (includeFrom ? "=" : "") + " ?";
      params.push_back(Variant(keyset::IdNumber(*from)));
    }
    const String sql = "SELECT zv_n" + ValueList() + " FROM (SELECT row_number() OVER (" + over +
                       ") - 1 AS zv_n" + columns + " FROM " + fSource.From + ") WHERE " + where + " ORDER BY zv_n" +
                       (backward ? " DESC" : "") + " LIMIT 1";
    TSqliteStatement& st = Prepare(sql);
    TResetGuard guard{st};
    BindAll(st, params);
    if (st.Step()) rows.push_back(ReadRow(st, st.ColumnInt64(0)));
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

// ---------------------------------------------------------------------------------------------
// Counting and positions

std::int64_t TSqliteCursor::Count() {
  if (fCount < 0) {
    TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From);
    TResetGuard guard{st};
    BindAll(st, {});
    fCount = st.Step() ? st.ColumnInt64(0) : 0;
  }
  return fCount;
}

// The span of the rowids: two steps to the ends of the table's b-tree, an upper bound that equals
// the count while no row was deleted. Two statements: SQLite goes straight to an end only for a
// lone min() or max(); both in one statement scan the table.
// Under a filter the table's own span is taken: still an upper bound, where counting what the
// condition admits would cost the pass this figure is there to avoid.
std::int64_t TSqliteCursor::Guess() {
  if (!fSource.IsTable || !fSource.RowId) return -1;
  const String& from = fSource.Filtered ? fSource.BaseFrom : fSource.From;
  auto end = [this, &from](const char* aggregate) -> std::optional<std::int64_t> {
    TSqliteStatement& st = Prepare("SELECT " + String(aggregate) + "(" + fSource.IdColumns.front() + ") FROM " + from);
    TResetGuard guard{st};
    BindAll(st, {});
    if (!st.Step() || st.ColumnIsNull(0)) return std::nullopt;
    return st.ColumnInt64(0);
  };
  const auto max = end("MAX");
  const auto min = end("MIN");
  return max && min ? *max - *min + 1 : 0;
}

bool TSqliteCursor::Dense() {
  if (fDense < 0) {
    const std::int64_t count = Count();
    fDense = 0;
    if (count > 0) {
      auto read = [this](const char* aggregate) {
        TSqliteStatement& st = Prepare("SELECT " + String(aggregate) + "(" + fSource.IdColumns.front() + ") FROM " + fSource.From);
        TResetGuard guard{st};
        BindAll(st, {});
        return st.Step() ? st.ColumnInt64(0) : 0;
      };
      NoteIdSpan(read("MIN"), read("MAX"));
    }
  }
  return fDense == 1;
}

std::int64_t TSqliteCursor::PositionOf(const TSqliteId& id, const std::vector<Variant>* key) {
  if (const std::int64_t known = KnownPositionOf(id); known >= 0 || !fSource.IsTable) return known;
  const int index = CacheIndex(id);
  std::int64_t position = 0;
  if (RowIdOrder()) {
    const std::int64_t rowid = IdNumber(id);
    if (Dense()) {
      if (rowid < fMinId || rowid > fMaxId) return -1;
      position = rowid - fMinId;
    } else {
      TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + " WHERE " + fSource.IdColumns.front() + " < ?");
      TResetGuard guard{st};
      BindAll(st, {Variant(rowid)});
      position = st.Step() ? st.ColumnInt64(0) : 0;
    }
    if (index >= 0) fBase = position - index;
    return position;
  }
  return CountBefore(id, key);
}

// SQLite's plan says whether it sorts the rows itself (a temporary b-tree) rather than walking
// an index in the order. Nothing runs: the statement is only compiled.
bool TSqliteCursor::OrderIndexed() {
  if (fOrderIndexed < 0) {
    fOrderIndexed = 1;
    if (fSource.IsTable && !fSort.empty()) {
      TSqliteStatement st(fDb, "EXPLAIN QUERY PLAN " + fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From +
                                   OrderBy(false) + " LIMIT 1");
      while (st.Step())
        if (st.ColumnText(3).find("TEMP B-TREE") != String::npos) fOrderIndexed = 0;
    }
  }
  return fOrderIndexed == 1;
}

// One count a range, each of which an index on the sort columns serves; without such an index,
// one count of them all.
std::int64_t TSqliteCursor::CountInRanges(const std::vector<keyset::TKeysetRange>& ranges) {
  if (!OrderIndexed()) {
    std::vector<Variant> params;
    const String any = keyset::AnyOfRanges(ranges, params);
    if (any.empty()) return 0;
    TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + " WHERE (" + any + ")");
    TResetGuard guard{st};
    BindAll(st, params);
    return st.Step() ? st.ColumnInt64(0) : 0;
  }
  std::int64_t count = 0;
  for (const keyset::TKeysetRange& range : ranges) {
    TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + " WHERE " + JoinSql(range.Parts, " AND "));
    TResetGuard guard{st};
    BindAll(st, range.Params);
    if (st.Step()) count += st.ColumnInt64(0);
  }
  return count;
}

// Over the key alone, so that SQLite may step through an index rather than the table.
void TSqliteCursor::EachId(const String& tail, const std::vector<Variant>& params, const TIdVisitor& f) {
  TSqliteStatement& st = Prepare("SELECT " + JoinSql(fSource.IdColumns, ", ") + " FROM " + fSource.From + tail);
  TResetGuard guard{st};
  BindAll(st, params);
  TSqliteId id;
  while (st.Step()) {
    id.clear();
    for (int i = 0; i < IdWidth(); ++i) id.push_back(st.ColumnValue(i, ftUnknown));
    if (!f(id)) break;
  }
}

void TSqliteCursor::EachNumber(const String& tail, const std::vector<Variant>& params, const TNumberVisitor& f) {
  TSqliteStatement& st = Prepare("SELECT " + fSource.IdColumns.front() + " FROM " + fSource.From + tail);
  TResetGuard guard{st};
  BindAll(st, params);
  while (st.Step())
    if (!f(st.ColumnInt64(0))) break;
}

bool TSqliteCursor::AnyWhere(const String& where, const std::vector<Variant>& params) {
  TSqliteStatement& st = Prepare("SELECT EXISTS (SELECT 1 FROM " + fSource.From + " WHERE " + where + ")");
  TResetGuard guard{st};
  BindAll(st, params);
  return st.Step() && st.ColumnInt64(0) != 0;
}

std::optional<TSqliteId> TSqliteCursor::IdAt(std::int64_t position) {
  if (position < 0) return std::nullopt;
  if (!fSource.IsTable) {
    if (position >= Count()) return std::nullopt;
    return IdOfNumber(position);
  }
  if (auto cached = CachedIdAt(position)) return cached;
  if (RowIdOrder() && Dense()) {
    if (position >= Count()) return std::nullopt;
    return IdOfNumber(fMinId + position);
  }
  // Over the key alone, so that SQLite may step through an index rather than the table.
  TSqliteStatement& st =
      Prepare("SELECT " + JoinSql(fSource.IdColumns, ", ") + " FROM " + fSource.From + OrderBy(false) + " LIMIT 1 OFFSET ?");
  TResetGuard guard{st};
  BindAll(st, {Variant(position)});
  if (!st.Step()) return std::nullopt;
  TSqliteId id;
  for (int i = 0; i < IdWidth(); ++i) id.push_back(st.ColumnValue(i, ftUnknown));
  return id;
}

int TSqliteCursor::Compare(const TSqliteId& a, const TSqliteId& b) {
  const String ea = EncodeSqliteId(a), eb = EncodeSqliteId(b);
  if (ea == eb) return 0;
  // Rows that cannot be placed are ordered by their identities, so that the answer is stable.
  const int byId = fSource.RowId || !fSource.IsTable ? (IdNumber(a) < IdNumber(b) ? -1 : 1) : (ea < eb ? -1 : 1);
  if (RowIdOrder() || !fSource.IsTable) return byId;
  return CompareByKey(a, b, byId);
}

}  // namespace zv::sqlite
