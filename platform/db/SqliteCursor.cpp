// TSqliteCursor: statement texts, the keyset ranges, the row cache and the moves over it.
//
// Sections: statements; reading rows; keyset ranges; fetching; moving; counting and positions;
// the cache.

#include "platform/db/detail/SqliteCursor.h"

#include <algorithm>

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

String Join(const std::vector<String>& parts, const char* separator) {
  String out;
  for (const String& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

}  // namespace

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
  String list = fSource.IsTable ? fSource.IdColumn : String("0");
  for (const String& c : fSource.Columns) list += ", " + c;
  return list;
}

// The order of the sort columns, the rowid last so that the order is total; backward reverses
// every term, which in SQLite also moves NULLs from first to last. A query has no rowid: its
// remaining columns break ties, so that equal rows are interchangeable.
String TSqliteCursor::OrderBy(bool backward) const {
  std::vector<String> terms;
  for (const TSortColumn& s : fSort) terms.push_back(fSource.Columns[static_cast<std::size_t>(s.Column)] + (s.Descending != backward ? " DESC" : ""));
  if (fSource.IsTable) {
    terms.push_back(fSource.IdColumn + (backward ? " DESC" : ""));
  } else if (!fSort.empty()) {
    for (const String& c : fSource.Columns) terms.push_back(c + (backward ? " DESC" : ""));
  }
  return terms.empty() ? String() : " ORDER BY " + Join(terms, ", ");
}

// ---------------------------------------------------------------------------------------------
// Reading rows

// The key is read first and as stored: a typed read may convert the column in the statement.
TSqliteRow TSqliteCursor::ReadRow(const TSqliteStatement& st, std::int64_t id) const {
  TSqliteRow row;
  row.Id = id >= 0 ? id : st.ColumnInt64(0);
  if (fSource.IsTable) {
    row.Key.reserve(fSort.size());
    for (const TSortColumn& s : fSort) row.Key.push_back(st.ColumnValue(1 + s.Column, ftUnknown));
  }
  row.Values.reserve(fSource.Columns.size());
  for (std::size_t c = 0; c < fSource.Columns.size(); ++c) row.Values.push_back(st.ColumnValue(static_cast<int>(c) + 1, fSource.Types[c]));
  return row;
}

void TSqliteCursor::Collect(const String& sql, const std::vector<Variant>& params, std::int64_t firstId,
                            std::vector<TSqliteRow>& into) {
  TSqliteStatement& st = Prepare(sql);
  TResetGuard guard{st};
  st.BindAll(params);
  std::int64_t id = firstId;
  while (st.Step()) {
    into.push_back(ReadRow(st, fSource.IsTable ? -1 : id));
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

std::vector<TSqliteCursor::TRange> TSqliteCursor::AfterRanges(const std::vector<Variant>& key, std::int64_t id,
                                                              bool backward) const {
  std::vector<TRange> ranges;
  const std::size_t m = fSort.size();
  for (std::size_t level = m + 1; level-- > 0;) {
    std::vector<String> prefix;
    std::vector<Variant> params;
    for (std::size_t j = 0; j < level; ++j) {
      const String& column = fSource.Columns[static_cast<std::size_t>(fSort[j].Column)];
      if (IsNullish(key[j])) {
        prefix.push_back(column + " IS NULL");
      } else {
        prefix.push_back(column + " = ?");
        params.push_back(key[j]);
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
    if (level == m) {
      const Variant rowid(id);
      add(fSource.IdColumn + (backward ? " < ?" : " > ?"), &rowid);
      continue;
    }
    const String& column = fSource.Columns[static_cast<std::size_t>(fSort[level].Column)];
    const Variant& v = key[level];
    // Ascending in the direction of travel: NULLs come first, so they are never after a value.
    const bool ascending = fSort[level].Descending == backward;
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
std::vector<TSqliteRow> TSqliteCursor::FetchAfter(const std::vector<Variant>& key, std::int64_t id, int count,
                                                  bool backward) {
  std::vector<TSqliteRow> rows;
  const String head = fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From;
  if (!fSource.IsTable) {
    std::int64_t offset = id + 1;
    std::int64_t limit = count;
    if (backward) {
      offset = std::max<std::int64_t>(0, id - count);
      limit = id - offset;
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

std::optional<TSqliteRow> TSqliteCursor::FetchById(std::int64_t id) {
  std::vector<TSqliteRow> rows;
  const String head = fSource.Prefix + "SELECT " + SelectList() + " FROM " + fSource.From;
  if (fSource.IsTable) {
    Collect(head + " WHERE " + fSource.IdColumn + " = ?", {Variant(id)}, -1, rows);
  } else if (id >= 0) {
    Collect(head + OrderBy(false) + " LIMIT 1 OFFSET ?", {Variant(id)}, id, rows);
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

void TSqliteCursor::SetToRow(std::int64_t id, const std::vector<Variant>* key) {
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
  const std::int64_t id = row.Id;
  if (CacheIndex(id) < 0) {
    std::vector<TSqliteRow> one;
    one.push_back(std::move(row));
    ReplaceCache(std::move(one), false, false, fSource.IsTable ? -1 : id);
  }
  EnterRow(CacheIndex(id));
}

bool TSqliteCursor::SetToExistingRow(std::int64_t id) {
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
  const std::int64_t first = rows.front().Id;
  if (index >= 0)
    Append(std::move(rows), atEnd);
  else
    ReplaceCache(std::move(rows), false, atEnd, fSource.IsTable ? -1 : first);
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
        if (!fSource.IsTable && !rows.empty()) base = rows.front().Id;
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
  const std::int64_t first = rows.front().Id, last = rows.back().Id;
  if (index >= 0)
    Prepend(std::move(rows), atStart);
  else
    ReplaceCache(std::move(rows), atStart, false, fSource.IsTable ? -1 : first);
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
        TSqliteStatement& st = Prepare("SELECT " + String(aggregate) + "(" + fSource.IdColumn + ") FROM " + fSource.From);
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

std::int64_t TSqliteCursor::PositionOf(std::int64_t id, const std::vector<Variant>* key) {
  if (!fSource.IsTable) return id;
  const int index = CacheIndex(id);
  if (index >= 0 && fBase >= 0) return fBase + index;
  std::int64_t position = 0;
  if (RowIdOrder()) {
    if (Dense()) {
      if (id < fMinId || id > fMaxId) return -1;
      position = id - fMinId;
    } else {
      TSqliteStatement& st = Prepare("SELECT COUNT(*) FROM " + fSource.From + " WHERE " + fSource.IdColumn + " < ?");
      TResetGuard guard{st};
      st.Bind(1, Variant(id));
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

std::optional<std::int64_t> TSqliteCursor::IdAt(std::int64_t position) {
  if (position < 0) return std::nullopt;
  if (!fSource.IsTable) {
    if (position >= Count()) return std::nullopt;
    return position;
  }
  if (fBase >= 0 && position >= fBase && position - fBase < static_cast<std::int64_t>(fRows.size()))
    return fRows[static_cast<std::size_t>(position - fBase)].Id;
  if (RowIdOrder() && Dense()) {
    if (position >= Count()) return std::nullopt;
    return fMinId + position;
  }
  // Over the key alone, so that SQLite may step through an index rather than the table.
  TSqliteStatement& st = Prepare("SELECT " + fSource.IdColumn + " FROM " + fSource.From + OrderBy(false) + " LIMIT 1 OFFSET ?");
  TResetGuard guard{st};
  st.Bind(1, Variant(position));
  if (!st.Step()) return std::nullopt;
  return st.ColumnInt64(0);
}

bool TSqliteCursor::Exists(std::int64_t id) {
  if (!fSource.IsTable) return id >= 0 && id < Count();
  if (CacheIndex(id) >= 0) return true;
  TSqliteStatement& st = Prepare("SELECT 1 FROM " + fSource.From + " WHERE " + fSource.IdColumn + " = ?");
  TResetGuard guard{st};
  st.Bind(1, Variant(id));
  return st.Step();
}

int TSqliteCursor::Compare(std::int64_t a, std::int64_t b) {
  if (a == b) return 0;
  const int byId = a < b ? -1 : 1;
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
  std::vector<Variant> params{Variant(a)};
  for (const TRange& range : AfterRanges(keyB, b, false)) {
    String alternative = "(";
    alternative.append(range.Where, 7);  // without " WHERE "
    alternative += ')';
    alternatives.push_back(std::move(alternative));
    params.insert(params.end(), range.Params.begin(), range.Params.end());
  }
  TSqliteStatement& st = Prepare("SELECT EXISTS (SELECT 1 FROM " + fSource.From + " WHERE " + fSource.IdColumn +
                                 " = ? AND (" + Join(alternatives, " OR ") + "))");
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

int TSqliteCursor::CacheIndex(std::int64_t id) const {
  const auto it = fSeqById.find(id);
  if (it == fSeqById.end()) return -1;
  const std::int64_t index = it->second - fFrontSeq;
  return index >= 0 && index < static_cast<std::int64_t>(fRows.size()) ? static_cast<int>(index) : -1;
}

void TSqliteCursor::ReplaceCache(std::vector<TSqliteRow> rows, bool atStart, bool atEnd, std::int64_t base) {
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  for (TSqliteRow& row : rows) {
    fSeqById[row.Id] = static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtStart = atStart;
  fAtEnd = atEnd;
  fBase = atStart ? 0 : base;
  TrimBack();
}

void TSqliteCursor::Append(std::vector<TSqliteRow> rows, bool atEnd) {
  for (TSqliteRow& row : rows) {
    fSeqById[row.Id] = fFrontSeq + static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtEnd = atEnd;
  TrimFront();
}

void TSqliteCursor::Prepend(std::vector<TSqliteRow> rows, bool atStart) {
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    --fFrontSeq;
    fSeqById[it->Id] = fFrontSeq;
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
    fSeqById.erase(fRows.front().Id);
    fRows.pop_front();
    ++fFrontSeq;
    fAtStart = false;
    if (fBase >= 0) ++fBase;
  }
}

void TSqliteCursor::TrimBack() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(fRows.back().Id);
    fRows.pop_back();
    fAtEnd = false;
  }
}

}  // namespace zv::sqlite
