// TSqliteCursor: statement texts, the keyset ranges, the row cache and the moves over it.
//
// Sections: statements; reading rows; keyset ranges; fetching; moving; counting and positions;
// the cache.

#include "platform/db/detail/SqliteCursor.h"

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
constexpr int CachePages = 4;

bool IsNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

// A query row's position, or a rowid.
std::int64_t Number(const TSqliteId& id) { return id.empty() ? -1 : id.front().AsInt64(); }
TSqliteId IdOf(std::int64_t number) { return TSqliteId{Variant(number)}; }

String Join(const std::vector<String>& parts, const char* separator) {
  String out;
  for (const String& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

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
    : fDb(db), fSource(std::move(source)), fSort(std::move(sort)) {}

TSqliteCursor::~TSqliteCursor() = default;

void TSqliteCursor::SetPageSize(int rows) { fPageSize = std::clamp(rows, 16, 4096); }

// ---------------------------------------------------------------------------------------------
// Statements

TSqliteStatement& TSqliteCursor::Prepare(const String& sql) {
  auto it = fStatements.find(sql);
  if (it != fStatements.end()) return *it->second;
  if (fStatements.size() >= MaxPreparedStatements) fStatements.clear();
  auto statement = std::make_unique<TSqliteStatement>(fDb, sql);
  return *fStatements.emplace(sql, std::move(statement)).first->second;
}

// The identity first (a query's rows are numbered by the caller), then every column.
String TSqliteCursor::SelectList() const {
  String list = fSource.IsTable ? Join(fSource.IdColumns, ", ") : String("0");
  for (const String& c : fSource.Columns) list += ", " + c;
  return list;
}

String TSqliteCursor::IdEquals() const {
  std::vector<String> parts;
  for (const String& c : fSource.IdColumns) parts.push_back(c + " = ?");
  return Join(parts, " AND ");
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
  return terms.empty() ? String() : " ORDER BY " + Join(terms, ", ");
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
    row.Id = IdOf(position);
  }
  row.Values.reserve(fSource.Columns.size());
  for (std::size_t c = 0; c < fSource.Columns.size(); ++c)
    row.Values.push_back(st.ColumnValue(static_cast<int>(c) + width, fSource.Types[c]));
  return row;
}

void TSqliteCursor::Collect(const String& sql, const std::vector<Variant>& params, std::int64_t firstId,
                            std::vector<TSqliteRow>& into) {
  TSqliteStatement& st = Prepare(sql);
  TResetGuard guard{st};
  st.BindAll(params);
  std::int64_t id = firstId;
  while (st.Step()) {
    into.push_back(ReadRow(st, id));
    if (id >= 0) ++id;
  }
}

// ---------------------------------------------------------------------------------------------
// Keyset ranges
//
// The rows after (k1..km, rowid) in the order are, in order: those equal on every column with a
// later rowid; then those equal on k1..k(m-1) and after km; ...; then those after k1. Each is
// an equality on a prefix and one range, which an index on the sort columns serves directly;
// a single row-value comparison would not handle NULLs and reads equal keys past the start.

std::vector<TSqliteCursor::TRange> TSqliteCursor::AfterRanges(const std::vector<Variant>& key, const TSqliteId& id,
                                                              bool backward) const {
  // The total order: the sort columns, then the identity's columns (ascending, never NULL).
  struct TTerm {
    const String* Column;
    bool Descending;
    const Variant* Value;
  };
  std::vector<TTerm> terms;
  for (std::size_t j = 0; j < fSort.size(); ++j)
    terms.push_back({&fSource.Columns[static_cast<std::size_t>(fSort[j].Column)], fSort[j].Descending, &key[j]});
  for (std::size_t j = 0; j < fSource.IdColumns.size() && j < id.size(); ++j) terms.push_back({&fSource.IdColumns[j], false, &id[j]});
  std::vector<TRange> ranges;
  for (std::size_t level = terms.size(); level-- > 0;) {
    std::vector<String> prefix;
    std::vector<Variant> params;
    for (std::size_t j = 0; j < level; ++j) {
      if (IsNullish(*terms[j].Value)) {
        prefix.push_back(*terms[j].Column + " IS NULL");
      } else {
        prefix.push_back(*terms[j].Column + " = ?");
        params.push_back(*terms[j].Value);
      }
    }
    auto add = [&](const String& condition, const Variant* value) {
      TRange range;
      std::vector<String> parts = prefix;
      parts.push_back(condition);
      range.Where = " WHERE " + Join(parts, " AND ");
      range.Params = params;
      if (value) range.Params.push_back(*value);
      ranges.push_back(std::move(range));
    };
    const String& column = *terms[level].Column;
    const Variant& v = *terms[level].Value;
    // Ascending in the direction of travel: NULLs come first, so they are never after a value.
    const bool ascending = terms[level].Descending == backward;
    if (ascending) {
      if (IsNullish(v))
        add(column + " IS NOT NULL", nullptr);
      else
        add(column + " > ?", &v);
    } else if (!IsNullish(v)) {
      add(column + " < ?", &v);
      add(column + " IS NULL", nullptr);
    }
  }
  return ranges;
}

// ---------------------------------------------------------------------------------------------
// Fetching

// The first rows, or (backward) the last ones; always returned in the forward order.
std::vector<TSqliteRow> TSqliteCursor::FetchFirst(int count, bool backward) {
  std::vector<TSqliteRow> rows;
  const String head = fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From;
  if (fSource.IsTable) {
    Collect(head + OrderBy(backward) + " LIMIT ?", {Variant(count)}, -1, rows);
    if (backward) std::reverse(rows.begin(), rows.end());
  } else {
    const std::int64_t offset = backward ? std::max<std::int64_t>(0, Count() - count) : 0;
    Collect(head + OrderBy(false) + " LIMIT ? OFFSET ?", {Variant(count), Variant(offset)}, offset, rows);
  }
  return rows;
}

// The rows after (or before) a row, in the forward order.
std::vector<TSqliteRow> TSqliteCursor::FetchAfter(const std::vector<Variant>& key, const TSqliteId& id, int count,
                                                  bool backward) {
  std::vector<TSqliteRow> rows;
  const String head = fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From;
  if (!fSource.IsTable) {
    const std::int64_t position = Number(id);
    std::int64_t offset = position + 1;
    std::int64_t limit = count;
    if (backward) {
      offset = std::max<std::int64_t>(0, position - count);
      limit = position - offset;
    }
    if (limit > 0) Collect(head + OrderBy(false) + " LIMIT ? OFFSET ?", {Variant(limit), Variant(offset)}, offset, rows);
    return rows;
  }
  const String order = OrderBy(backward);
  for (const TRange& range : AfterRanges(key, id, backward)) {
    const int wanted = count - static_cast<int>(rows.size());
    if (wanted <= 0) break;
    std::vector<Variant> params = range.Params;
    params.push_back(Variant(wanted));
    Collect(head + range.Where + order + " LIMIT ?", params, -1, rows);
  }
  if (backward) std::reverse(rows.begin(), rows.end());
  return rows;
}

std::optional<TSqliteRow> TSqliteCursor::FetchById(const TSqliteId& id) {
  std::vector<TSqliteRow> rows;
  const String head = fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From;
  if (fSource.IsTable) {
    if (id.size() != fSource.IdColumns.size()) return std::nullopt;
    Collect(head + " WHERE " + IdEquals(), id, -1, rows);
  } else if (Number(id) >= 0) {
    Collect(head + OrderBy(false) + " LIMIT 1 OFFSET ?", id, Number(id), rows);
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

std::optional<TSqliteRow> TSqliteCursor::FindFirst(const TSqliteCondition& condition) {
  std::vector<TSqliteRow> rows;
  if (fSource.IsTable) {
    Collect(fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From + " WHERE " + condition.Where +
                OrderBy(false) + " LIMIT 1",
            condition.Params, -1, rows);
  } else {
    // A query's row is known by its position: number the rows in the dataset's order.
    String columns;
    for (const String& c : fSource.Columns) columns += ", " + c;
    String over = OrderBy(false);
    if (!over.empty()) over = over.substr(1);  // "ORDER BY ..." inside OVER ()
    const String sql = fSource.Prefix + "SELECT zv_n" + columns + " FROM (SELECT row_number() OVER (" + over +
                       ") - 1 AS zv_n" + columns + " FROM " + fSource.From + ") WHERE " + condition.Where +
                       " ORDER BY zv_n LIMIT 1";
    TSqliteStatement& st = Prepare(sql);
    TResetGuard guard{st};
    st.BindAll(condition.Params);
    if (st.Step()) rows.push_back(ReadRow(st, st.ColumnInt64(0)));
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

// ---------------------------------------------------------------------------------------------
// Moving

void TSqliteCursor::SetToBof() { fPosition = TPosition::Bof; }
void TSqliteCursor::SetToEof() { fPosition = TPosition::Eof; }

void TSqliteCursor::SetToRow(const TSqliteId& id, const std::vector<Variant>* key) {
  fPosition = TPosition::Row;
  fId = id;
  if (key) {
    fKey = *key;
    fKeyKnown = true;
  } else if (const int index = CacheIndex(id); index >= 0) {
    fKey = fRows[static_cast<std::size_t>(index)].Key;
    fKeyKnown = true;
  } else {
    fKeyKnown = !fSource.IsTable;
  }
}

void TSqliteCursor::SetToRow(TSqliteRow row) {
  const TSqliteId id = row.Id;
  if (CacheIndex(id) < 0) {
    std::vector<TSqliteRow> one;
    one.push_back(std::move(row));
    ReplaceCache(std::move(one), false, false, fSource.IsTable ? -1 : Number(id));
  }
  EnterRow(CacheIndex(id));
}

bool TSqliteCursor::SetToExistingRow(const TSqliteId& id) {
  if (CacheIndex(id) >= 0) {
    SetToRow(id, nullptr);
    return true;
  }
  auto row = FetchById(id);
  if (!row) return false;
  SetToRow(std::move(*row));
  return true;
}

const TSqliteRow* TSqliteCursor::EnterRow(int index) {
  const TSqliteRow& row = fRows[static_cast<std::size_t>(index)];
  fPosition = TPosition::Row;
  fId = row.Id;
  fKey = row.Key;
  fKeyKnown = true;
  return &row;
}

bool TSqliteCursor::ResolveKey() {
  if (fKeyKnown) return true;
  if (const int index = CacheIndex(fId); index >= 0) {
    fKey = fRows[static_cast<std::size_t>(index)].Key;
  } else {
    const auto row = FetchById(fId);
    if (!row) return false;
    fKey = row->Key;
  }
  fKeyKnown = true;
  return true;
}

const TSqliteRow* TSqliteCursor::Current() {
  if (fPosition != TPosition::Row) return nullptr;
  if (const int index = CacheIndex(fId); index >= 0) return EnterRow(index);
  auto row = FetchById(fId);
  if (!row) return nullptr;  // gone; the position stays, so that its neighbours can be found
  SetToRow(std::move(*row));
  return EnterRow(CacheIndex(fId));
}

const TSqliteRow* TSqliteCursor::Next() {
  const auto page = static_cast<std::size_t>(fPageSize);
  switch (fPosition) {
    case TPosition::Eof:
      return nullptr;
    case TPosition::Bof:
      if (!fAtStart) {
        auto rows = FetchFirst(fPageSize, false);
        const bool atEnd = rows.size() < page;
        ReplaceCache(std::move(rows), true, atEnd, 0);
      }
      if (fRows.empty()) {
        fPosition = TPosition::Eof;
        return nullptr;
      }
      return EnterRow(0);
    case TPosition::Row:
      break;
  }
  const int index = CacheIndex(fId);
  if (index >= 0 && index + 1 < static_cast<int>(fRows.size())) return EnterRow(index + 1);
  if (index >= 0 && fAtEnd) {
    fPosition = TPosition::Eof;
    return nullptr;
  }
  if (!ResolveKey()) {
    // A row that is gone and whose place was never known: start over.
    fPosition = TPosition::Bof;
    return Next();
  }
  auto rows = FetchAfter(fKey, fId, fPageSize, false);
  if (rows.empty()) {
    if (index >= 0) fAtEnd = true;
    fPosition = TPosition::Eof;
    return nullptr;
  }
  const bool atEnd = rows.size() < page;
  const TSqliteId first = rows.front().Id;
  if (index >= 0)
    Append(std::move(rows), atEnd);
  else
    ReplaceCache(std::move(rows), false, atEnd, fSource.IsTable ? -1 : Number(first));
  return EnterRow(CacheIndex(first));
}

const TSqliteRow* TSqliteCursor::Prior() {
  const auto page = static_cast<std::size_t>(fPageSize);
  switch (fPosition) {
    case TPosition::Bof:
      return nullptr;
    case TPosition::Eof:
      if (!fAtEnd) {
        auto rows = FetchFirst(fPageSize, true);
        const bool atStart = rows.size() < page;
        std::int64_t base = -1;
        if (!fSource.IsTable && !rows.empty()) base = Number(rows.front().Id);
        else if (fCount >= 0) base = fCount - static_cast<std::int64_t>(rows.size());
        ReplaceCache(std::move(rows), atStart, true, base);
      }
      if (fRows.empty()) {
        fPosition = TPosition::Bof;
        return nullptr;
      }
      return EnterRow(static_cast<int>(fRows.size()) - 1);
    case TPosition::Row:
      break;
  }
  const int index = CacheIndex(fId);
  if (index > 0) return EnterRow(index - 1);
  if (index == 0 && fAtStart) {
    fPosition = TPosition::Bof;
    return nullptr;
  }
  if (!ResolveKey()) {
    fPosition = TPosition::Eof;
    return Prior();
  }
  auto rows = FetchAfter(fKey, fId, fPageSize, true);
  if (rows.empty()) {
    if (index >= 0) fAtStart = true;
    fPosition = TPosition::Bof;
    return nullptr;
  }
  const bool atStart = rows.size() < page;
  const TSqliteId first = rows.front().Id, last = rows.back().Id;
  if (index >= 0)
    Prepend(std::move(rows), atStart);
  else
    ReplaceCache(std::move(rows), atStart, false, fSource.IsTable ? -1 : Number(first));
  return EnterRow(CacheIndex(last));
}

// ---------------------------------------------------------------------------------------------
// Counting and positions

std::int64_t TSqliteCursor::Count() {
  if (fCount < 0) {
    TSqliteStatement& st = Prepare(fSource.Prefix + "SELECT COUNT(*) FROM " + fSource.From);
    TResetGuard guard{st};
    fCount = st.Step() ? st.ColumnInt64(0) : 0;
  }
  return fCount;
}

bool TSqliteCursor::Dense() {
  if (fDense < 0) {
    const std::int64_t count = Count();
    fDense = 0;
    if (count > 0) {
      auto read = [this](const char* aggregate) {
        TSqliteStatement& st = Prepare("SELECT " + String(aggregate) + "(" + fSource.IdColumns.front() + ") FROM " + fSource.From);
        TResetGuard guard{st};
        return st.Step() ? st.ColumnInt64(0) : 0;
      };
      fMinId = read("MIN");
      fMaxId = read("MAX");
      std::int64_t span = 0;
      fDense = !__builtin_sub_overflow(fMaxId, fMinId, &span) && span == count - 1 ? 1 : 0;
    }
  }
  return fDense == 1;
}

std::int64_t TSqliteCursor::KnownPositionOf(const TSqliteId& id) const {
  if (!fSource.IsTable) return Number(id);
  const int index = CacheIndex(id);
  return index >= 0 && fBase >= 0 ? fBase + index : -1;
}

std::int64_t TSqliteCursor::PositionOf(const TSqliteId& id, const std::vector<Variant>* key) {
  if (!fSource.IsTable) return Number(id);
  const int index = CacheIndex(id);
  if (index >= 0 && fBase >= 0) return fBase + index;
  std::int64_t position = 0;
  if (RowIdOrder()) {
    const std::int64_t rowid = Number(id);
    if (Dense()) {
      if (rowid < fMinId || rowid > fMaxId) return -1;
      position = rowid - fMinId;
    } else {
      TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + " WHERE " + fSource.IdColumns.front() + " < ?");
      TResetGuard guard{st};
      st.Bind(1, Variant(rowid));
      position = st.Step() ? st.ColumnInt64(0) : 0;
    }
  } else {
    std::vector<Variant> known;
    if (key) {
      known = *key;
    } else if (index >= 0) {
      known = fRows[static_cast<std::size_t>(index)].Key;
    } else {
      const auto row = FetchById(id);
      if (!row) return -1;
      known = row->Key;
    }
    // The rows before this one are the rows after it going backward.
    for (const TRange& range : AfterRanges(known, id, true)) {
      TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + range.Where);
      TResetGuard guard{st};
      st.BindAll(range.Params);
      if (st.Step()) position += st.ColumnInt64(0);
    }
  }
  if (index >= 0) fBase = position - index;
  return position;
}

std::optional<TSqliteId> TSqliteCursor::IdAt(std::int64_t position) {
  if (position < 0) return std::nullopt;
  if (!fSource.IsTable) {
    if (position >= Count()) return std::nullopt;
    return IdOf(position);
  }
  if (fBase >= 0 && position >= fBase && position - fBase < static_cast<std::int64_t>(fRows.size()))
    return fRows[static_cast<std::size_t>(position - fBase)].Id;
  if (RowIdOrder() && Dense()) {
    if (position >= Count()) return std::nullopt;
    return IdOf(fMinId + position);
  }
  // Over the key alone, so that SQLite may step through an index rather than the table.
  TSqliteStatement& st =
      Prepare("SELECT " + Join(fSource.IdColumns, ", ") + " FROM " + fSource.From + OrderBy(false) + " LIMIT 1 OFFSET ?");
  TResetGuard guard{st};
  st.Bind(1, Variant(position));
  if (!st.Step()) return std::nullopt;
  TSqliteId id;
  for (int i = 0; i < IdWidth(); ++i) id.push_back(st.ColumnValue(i, ftUnknown));
  return id;
}

bool TSqliteCursor::Exists(const TSqliteId& id) {
  if (!fSource.IsTable) return Number(id) >= 0 && Number(id) < Count();
  if (id.size() != fSource.IdColumns.size()) return false;
  if (CacheIndex(id) >= 0) return true;
  TSqliteStatement& st = Prepare("SELECT 1 FROM " + fSource.From + " WHERE " + IdEquals());
  TResetGuard guard{st};
  st.BindAll(id);
  return st.Step();
}

int TSqliteCursor::Compare(const TSqliteId& a, const TSqliteId& b) {
  const String ea = EncodeSqliteId(a), eb = EncodeSqliteId(b);
  if (ea == eb) return 0;
  // Rows that cannot be placed are ordered by their identities, so that the answer is stable.
  const int byId = fSource.RowId || !fSource.IsTable ? (Number(a) < Number(b) ? -1 : 1) : (ea < eb ? -1 : 1);
  if (RowIdOrder() || !fSource.IsTable) return byId;
  const int ia = CacheIndex(a), ib = CacheIndex(b);
  if (ia >= 0 && ib >= 0) return ia < ib ? -1 : 1;
  std::vector<Variant> keyB;
  if (ib >= 0) {
    keyB = fRows[static_cast<std::size_t>(ib)].Key;
  } else {
    const auto row = FetchById(b);
    if (!row) return byId;
    keyB = row->Key;
  }
  if (!Exists(a)) return byId;
  // Row a comes after row b when it lies in one of the ranges after b.
  std::vector<String> alternatives;
  std::vector<Variant> params = a;
  for (const TRange& range : AfterRanges(keyB, b, false)) {
    String alternative = "(";
    alternative.append(range.Where, 7);  // without " WHERE "
    alternative += ')';
    alternatives.push_back(std::move(alternative));
    params.insert(params.end(), range.Params.begin(), range.Params.end());
  }
  TSqliteStatement& st =
      Prepare("SELECT EXISTS (SELECT 1 FROM " + fSource.From + " WHERE " + IdEquals() + " AND (" + Join(alternatives, " OR ") + "))");
  TResetGuard guard{st};
  st.BindAll(params);
  return st.Step() && st.ColumnInt64(0) != 0 ? 1 : -1;
}

void TSqliteCursor::Invalidate() {
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  fAtStart = fAtEnd = false;
  fBase = -1;
  fCount = -1;
  fDense = -1;
}

// ---------------------------------------------------------------------------------------------
// The cache

int TSqliteCursor::CacheIndex(const TSqliteId& id) const {
  const auto it = fSeqById.find(EncodeSqliteId(id));
  if (it == fSeqById.end()) return -1;
  const std::int64_t index = it->second - fFrontSeq;
  return index >= 0 && index < static_cast<std::int64_t>(fRows.size()) ? static_cast<int>(index) : -1;
}

void TSqliteCursor::ReplaceCache(std::vector<TSqliteRow> rows, bool atStart, bool atEnd, std::int64_t base) {
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  for (TSqliteRow& row : rows) {
    fSeqById[EncodeSqliteId(row.Id)] = static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtStart = atStart;
  fAtEnd = atEnd;
  fBase = atStart ? 0 : base;
  TrimBack();
}

void TSqliteCursor::Append(std::vector<TSqliteRow> rows, bool atEnd) {
  for (TSqliteRow& row : rows) {
    fSeqById[EncodeSqliteId(row.Id)] = fFrontSeq + static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtEnd = atEnd;
  TrimFront();
}

void TSqliteCursor::Prepend(std::vector<TSqliteRow> rows, bool atStart) {
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    --fFrontSeq;
    fSeqById[EncodeSqliteId(it->Id)] = fFrontSeq;
    fRows.push_front(std::move(*it));
  }
  if (fBase >= 0) fBase -= static_cast<std::int64_t>(rows.size());
  fAtStart = atStart;
  if (atStart) fBase = 0;
  TrimBack();
}

// Memory stays bounded: rows far from where the cursor went are dropped.
void TSqliteCursor::TrimFront() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodeSqliteId(fRows.front().Id));
    fRows.pop_front();
    ++fFrontSeq;
    fAtStart = false;
    if (fBase >= 0) ++fBase;
  }
}

void TSqliteCursor::TrimBack() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodeSqliteId(fRows.back().Id));
    fRows.pop_back();
    fAtEnd = false;
  }
}

}  // namespace zv::sqlite
