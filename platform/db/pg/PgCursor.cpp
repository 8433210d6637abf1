// TPgCursor: statement texts, the keyset ranges, the row cache and the moves over it.
//
// Sections: identities; statements; keyset ranges; fetching; moving; counting and positions;
// the cache.

#include "platform/db/pg/detail/PgCursor.h"

#include "platform/db/pg/detail/PgValues.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>

namespace zv::pg {

namespace {

constexpr int CachePages = 4;

bool IsNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

std::int64_t Number(const TPgId& id) { return id.empty() ? -1 : id.front().AsInt64(); }
TPgId IdOf(std::int64_t number) { return TPgId{Variant(number)}; }

String Join(const std::vector<String>& parts, const char* separator) {
  String out;
  for (const String& p : parts) {
    if (!out.empty()) out += separator;
    out += p;
  }
  return out;
}

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
    : fConnection(connection), fSource(std::move(source)), fSort(std::move(sort)) {}

void TPgCursor::SetPageSize(int rows) { fPageSize = std::clamp(rows, 16, 4096); }

// ---------------------------------------------------------------------------------------------
// Statements

TPgResult TPgCursor::Run(const String& sql, const std::vector<TPgParam>& params) {
  std::vector<TPgParam> all = fSource.Params;
  all.insert(all.end(), params.begin(), params.end());
  return fConnection.Execute(sql, all);
}

String TPgCursor::SelectList() const {
  std::vector<String> list = fSource.IdColumns;
  for (const String& c : fSource.Columns) list.push_back(c);
  return Join(list, ", ");
}

String TPgCursor::IdEquals() const {
  std::vector<String> parts;
  for (const String& c : fSource.IdColumns) parts.push_back(c + " = ?");
  return Join(parts, " AND ");
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
      const TFieldType t = fSource.Types[c];
      if (t == ftMemo || t == ftBlob) continue;  // json and xml have no order
      terms.push_back(fSource.Columns[c] + (backward ? " DESC" : ""));
    }
  }
  return terms.empty() ? String() : " ORDER BY " + Join(terms, ", ");
}

TPgRow TPgCursor::ReadRow(const TPgResult& result, int r, std::int64_t position) const {
  TPgRow row;
  const int width = IdWidth();
  if (fSource.IsTable) {
    for (int i = 0; i < width; ++i) row.Id.push_back(Variant(String(result.Text(r, i))));
  } else {
    row.Id = IdOf(position);
  }
  for (const TPgSortColumn& s : fSort) {
    const int c = width + s.Column;
    row.Key.push_back(result.IsNull(r, c) ? Variant::Null() : Variant(String(result.Text(r, c))));
  }
  row.Values.reserve(fSource.Columns.size());
  for (std::size_t c = 0; c < fSource.Columns.size(); ++c) {
    const int column = width + static_cast<int>(c);
    row.Values.push_back(result.IsNull(r, column) ? Variant::Null() : PgTextToValue(result.Text(r, column), fSource.Types[c]));
  }
  return row;
}

void TPgCursor::Collect(const String& tail, const std::vector<TPgParam>& params, std::int64_t firstId,
                        std::vector<TPgRow>& into) {
  const String sql = "SELECT " + SelectList() + " FROM " + fSource.From +
                     NumberPlaceholders(tail, static_cast<int>(fSource.Params.size()) + 1);
  const TPgResult result = Run(sql, params);
  std::int64_t id = firstId;
  for (int r = 0; r < result.Rows(); ++r) {
    into.push_back(ReadRow(result, r, id));
    if (id >= 0) ++id;
  }
}

// ---------------------------------------------------------------------------------------------
// Keyset ranges
//
// The rows after (k1..km, id) are, in order: those equal on every sort column with a later id;
// then those equal on k1..k(m-1) and after km; ...; then those after k1. Each is an equality on
// a prefix and one range, which an index on the sort columns serves directly.

std::vector<TPgCursor::TRange> TPgCursor::AfterRanges(const std::vector<Variant>& key, const TPgId& id,
                                                      bool backward) const {
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
    TRange prefix;
    for (std::size_t j = 0; j < level; ++j) {
      if (IsNullish(*terms[j].Value)) {
        prefix.Parts.push_back(*terms[j].Column + " IS NULL");
      } else {
        prefix.Parts.push_back(*terms[j].Column + " = ?");
        prefix.Params.push_back(*terms[j].Value);
      }
    }
    auto add = [&](const String& condition, const Variant* value) {
      TRange range = prefix;
      range.Parts.push_back(condition);
      if (value) range.Params.push_back(*value);
      ranges.push_back(std::move(range));
    };
    const String& column = *terms[level].Column;
    const Variant& v = *terms[level].Value;
    // NULLs are the largest values: going up they come after every value, going down before.
    const bool ascending = terms[level].Descending == backward;
    if (ascending) {
      if (!IsNullish(v)) {
        add(column + " > ?", &v);
        add(column + " IS NULL", nullptr);
      }
    } else if (IsNullish(v)) {
      add(column + " IS NOT NULL", nullptr);
    } else {
      add(column + " < ?", &v);
    }
  }
  return ranges;
}

// ---------------------------------------------------------------------------------------------
// Fetching

std::vector<TPgRow> TPgCursor::FetchFirst(int count, bool backward) {
  std::vector<TPgRow> rows;
  if (fSource.IsTable) {
    Collect(OrderBy(backward) + " LIMIT ?", {IntToStr(count)}, -1, rows);
    if (backward) std::reverse(rows.begin(), rows.end());
  } else {
    const std::int64_t offset = backward ? std::max<std::int64_t>(0, Count() - count) : 0;
    Collect(OrderBy(false) + " LIMIT ? OFFSET ?", {IntToStr(count), IntToStr(offset)}, offset, rows);
  }
  return rows;
}

std::vector<TPgRow> TPgCursor::FetchAfter(const std::vector<Variant>& key, const TPgId& id, int count, bool backward) {
  std::vector<TPgRow> rows;
  if (!fSource.IsTable) {
    const std::int64_t position = Number(id);
    std::int64_t offset = position + 1;
    std::int64_t limit = count;
    if (backward) {
      offset = std::max<std::int64_t>(0, position - count);
      limit = position - offset;
    }
    if (limit > 0) Collect(OrderBy(false) + " LIMIT ? OFFSET ?", {IntToStr(limit), IntToStr(offset)}, offset, rows);
    return rows;
  }
  const String order = OrderBy(backward);
  for (const TRange& range : AfterRanges(key, id, backward)) {
    const int wanted = count - static_cast<int>(rows.size());
    if (wanted <= 0) break;
    std::vector<TPgParam> params = Params(range.Params);
    params.push_back(IntToStr(wanted));
    Collect(" WHERE " + Join(range.Parts, " AND ") + order + " LIMIT ?", params, -1, rows);
  }
  if (backward) std::reverse(rows.begin(), rows.end());
  return rows;
}

std::optional<TPgRow> TPgCursor::FetchById(const TPgId& id) {
  std::vector<TPgRow> rows;
  if (fSource.IsTable) {
    if (id.size() != fSource.IdColumns.size()) return std::nullopt;
    Collect(" WHERE " + IdEquals(), Params(id), -1, rows);
  } else if (Number(id) >= 0) {
    Collect(OrderBy(false) + " LIMIT 1 OFFSET ?", {IntToStr(Number(id))}, Number(id), rows);
  }
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

std::optional<TPgRow> TPgCursor::FindFirst(const TPgCondition& condition) {
  std::vector<TPgRow> rows;
  if (fSource.IsTable) {
    Collect(" WHERE " + condition.Where + OrderBy(false) + " LIMIT 1", condition.Params, -1, rows);
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
      row.Id = IdOf(StrToInt64(result.Text(0, 0)));
      for (std::size_t c = 0; c < fSource.Columns.size(); ++c) {
        const int column = 1 + static_cast<int>(c);
        row.Values.push_back(result.IsNull(0, column) ? Variant::Null() : PgTextToValue(result.Text(0, column), fSource.Types[c]));
      }
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
// Moving

void TPgCursor::SetToRow(const TPgId& id, const std::vector<Variant>* key) {
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

void TPgCursor::SetToRow(TPgRow row) {
  const TPgId id = row.Id;
  if (CacheIndex(id) < 0) {
    std::vector<TPgRow> one;
    one.push_back(std::move(row));
    ReplaceCache(std::move(one), false, false, fSource.IsTable ? -1 : Number(id));
  }
  EnterRow(CacheIndex(id));
}

bool TPgCursor::SetToExistingRow(const TPgId& id) {
  if (CacheIndex(id) >= 0) {
    SetToRow(id, nullptr);
    return true;
  }
  auto row = FetchById(id);
  if (!row) return false;
  SetToRow(std::move(*row));
  return true;
}

const TPgRow* TPgCursor::EnterRow(int index) {
  const TPgRow& row = fRows[static_cast<std::size_t>(index)];
  fPosition = TPosition::Row;
  fId = row.Id;
  fKey = row.Key;
  fKeyKnown = true;
  return &row;
}

bool TPgCursor::ResolveKey() {
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

const TPgRow* TPgCursor::Current() {
  if (fPosition != TPosition::Row) return nullptr;
  if (const int index = CacheIndex(fId); index >= 0) return EnterRow(index);
  auto row = FetchById(fId);
  if (!row) return nullptr;
  SetToRow(std::move(*row));
  return EnterRow(CacheIndex(fId));
}

const TPgRow* TPgCursor::Next() {
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
  const TPgId first = rows.front().Id;
  if (index >= 0)
    Append(std::move(rows), atEnd);
  else
    ReplaceCache(std::move(rows), false, atEnd, fSource.IsTable ? -1 : Number(first));
  return EnterRow(CacheIndex(first));
}

const TPgRow* TPgCursor::Prior() {
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
  const TPgId first = rows.front().Id, last = rows.back().Id;
  if (index >= 0)
    Prepend(std::move(rows), atStart);
  else
    ReplaceCache(std::move(rows), atStart, false, fSource.IsTable ? -1 : Number(first));
  return EnterRow(CacheIndex(last));
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
        fMinId = StrToInt64(result.Text(0, 0));
        fMaxId = StrToInt64(result.Text(0, 1));
        std::int64_t span = 0;
        fDense = !__builtin_sub_overflow(fMaxId, fMinId, &span) && span == count - 1 ? 1 : 0;
      }
    }
  }
  return fDense == 1;
}

std::int64_t TPgCursor::KnownPositionOf(const TPgId& id) const {
  if (!fSource.IsTable) return Number(id);
  const int index = CacheIndex(id);
  return index >= 0 && fBase >= 0 ? fBase + index : -1;
}

std::int64_t TPgCursor::PositionOf(const TPgId& id, const std::vector<Variant>* key) {
  if (!fSource.IsTable) return Number(id);
  const int index = CacheIndex(id);
  if (index >= 0 && fBase >= 0) return fBase + index;
  if (Dense()) {
    std::int64_t n = 0;
    if (id.size() != 1 || !TryStrToInt64(id.front().AsString(), n) || n < fMinId || n > fMaxId) return -1;
    if (index >= 0) fBase = n - fMinId - index;
    return n - fMinId;
  }
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
  // The rows before this one are the rows after it going backward: one count over the ranges.
  std::vector<String> alternatives;
  std::vector<Variant> params;
  for (const TRange& range : AfterRanges(known, id, true)) {
    alternatives.push_back("(" + Join(range.Parts, " AND ") + ")");
    params.insert(params.end(), range.Params.begin(), range.Params.end());
  }
  std::int64_t position = 0;
  if (!alternatives.empty()) {
    const TPgResult result = Run("SELECT count(*) FROM " + fSource.From + " WHERE " +
                                     NumberPlaceholders(Join(alternatives, " OR "), static_cast<int>(fSource.Params.size()) + 1),
                                 Params(params));
    position = result.Rows() ? StrToInt64(result.Text(0, 0)) : 0;
  }
  if (index >= 0) fBase = position - index;
  return position;
}

std::optional<TPgId> TPgCursor::IdAt(std::int64_t position) {
  if (position < 0) return std::nullopt;
  if (!fSource.IsTable) {
    if (position >= Count()) return std::nullopt;
    return IdOf(position);
  }
  if (fBase >= 0 && position >= fBase && position - fBase < static_cast<std::int64_t>(fRows.size()))
    return fRows[static_cast<std::size_t>(position - fBase)].Id;
  if (Dense()) {
    if (position >= Count()) return std::nullopt;
    return TPgId{Variant(IntToStr(fMinId + position))};
  }
  const TPgResult result =
      Run("SELECT " + Join(fSource.IdColumns, ", ") + " FROM " + fSource.From + OrderBy(false) +
              NumberPlaceholders(" LIMIT 1 OFFSET ?", static_cast<int>(fSource.Params.size()) + 1),
          {IntToStr(position)});
  if (result.Rows() == 0) return std::nullopt;
  TPgId id;
  for (int i = 0; i < IdWidth(); ++i) id.push_back(Variant(String(result.Text(0, i))));
  return id;
}

bool TPgCursor::Exists(const TPgId& id) {
  if (!fSource.IsTable) return Number(id) >= 0 && Number(id) < Count();
  if (id.size() != fSource.IdColumns.size()) return false;
  if (CacheIndex(id) >= 0) return true;
  const TPgResult result = Run("SELECT 1 FROM " + fSource.From + " WHERE " + NumberPlaceholders(IdEquals(), static_cast<int>(fSource.Params.size()) + 1), Params(id));
  return result.Rows() > 0;
}

int TPgCursor::Compare(const TPgId& a, const TPgId& b) {
  const String ea = EncodePgId(a), eb = EncodePgId(b);
  if (ea == eb) return 0;
  const int byId = !fSource.IsTable ? (Number(a) < Number(b) ? -1 : 1) : (ea < eb ? -1 : 1);
  if (!fSource.IsTable) return byId;
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
  std::vector<String> alternatives;
  std::vector<Variant> params = a;
  for (const TRange& range : AfterRanges(keyB, b, false)) {
    alternatives.push_back("(" + Join(range.Parts, " AND ") + ")");
    params.insert(params.end(), range.Params.begin(), range.Params.end());
  }
  if (alternatives.empty()) return -1;
  const TPgResult result = Run("SELECT EXISTS (SELECT 1 FROM " + fSource.From + " WHERE " +
                                   NumberPlaceholders(IdEquals() + " AND (" + Join(alternatives, " OR ") + ")", static_cast<int>(fSource.Params.size()) + 1) + ")",
                               Params(params));
  return result.Rows() && result.Text(0, 0) == "t" ? 1 : -1;
}

void TPgCursor::Invalidate() {
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

int TPgCursor::CacheIndex(const TPgId& id) const {
  const auto it = fSeqById.find(EncodePgId(id));
  if (it == fSeqById.end()) return -1;
  const std::int64_t index = it->second - fFrontSeq;
  return index >= 0 && index < static_cast<std::int64_t>(fRows.size()) ? static_cast<int>(index) : -1;
}

void TPgCursor::ReplaceCache(std::vector<TPgRow> rows, bool atStart, bool atEnd, std::int64_t base) {
  fRows.clear();
  fSeqById.clear();
  fFrontSeq = 0;
  for (TPgRow& row : rows) {
    fSeqById[EncodePgId(row.Id)] = static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtStart = atStart;
  fAtEnd = atEnd;
  fBase = atStart ? 0 : base;
  TrimBack();
}

void TPgCursor::Append(std::vector<TPgRow> rows, bool atEnd) {
  for (TPgRow& row : rows) {
    fSeqById[EncodePgId(row.Id)] = fFrontSeq + static_cast<std::int64_t>(fRows.size());
    fRows.push_back(std::move(row));
  }
  fAtEnd = atEnd;
  TrimFront();
}

void TPgCursor::Prepend(std::vector<TPgRow> rows, bool atStart) {
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    --fFrontSeq;
    fSeqById[EncodePgId(it->Id)] = fFrontSeq;
    fRows.push_front(std::move(*it));
  }
  if (fBase >= 0) fBase -= static_cast<std::int64_t>(rows.size());
  fAtStart = atStart;
  if (atStart) fBase = 0;
  TrimBack();
}

// Memory stays bounded: rows far from where the cursor went are dropped.
void TPgCursor::TrimFront() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodePgId(fRows.front().Id));
    fRows.pop_front();
    ++fFrontSeq;
    fAtStart = false;
    if (fBase >= 0) ++fBase;
  }
}

void TPgCursor::TrimBack() {
  const auto limit = static_cast<std::size_t>(CachePages * fPageSize);
  while (fRows.size() > limit) {
    fSeqById.erase(EncodePgId(fRows.back().Id));
    fRows.pop_back();
    fAtEnd = false;
  }
}

}  // namespace zv::pg
