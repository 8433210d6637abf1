// TPgDataSet: the record-buffer protocol on TPgCursor, posting through bound statements,
// Locate as one query.
//
// Sections: helpers; properties; opening; the cursor protocol; positions and bookmarks;
// posting and deleting; searching. Field data and blobs are TVariantDataSet's.

#include "platform/db/pg/PgDataSet.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/SortString.h"
#include "platform/db/pg/detail/PgCursor.h"
#include "platform/db/detail/KeysetRecord.h"
#include "platform/db/pg/detail/PgValues.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>
#include <climits>

namespace zv {

using pg::TPgCursor;
using pg::TPgParam;
using pg::TPgResult;
using pg::TPgRow;

ZV_DEFINE_CLASS_WITH_PROPS(TPgDataSet, TVariantDataSet)

void TPgDataSet::DeclareProperties(TPropTable<TPgDataSet>& t) {
  t.Prop("Connection", &TPgDataSet::Connection, &TPgDataSet::SetConnection);
  t.Prop("TableName", &TPgDataSet::TableName, &TPgDataSet::SetTableName);
  t.Prop("SQL", &TPgDataSet::SQL, &TPgDataSet::SetSQL);
  t.Prop("ReadOnly", &TPgDataSet::ReadOnly, &TPgDataSet::SetReadOnly).Default(0);
  t.Prop("SortFields", &TPgDataSet::SortFields, &TPgDataSet::SetSortFields);
  t.Prop("Filter", &TPgDataSet::Filter, &TPgDataSet::SetFilter);
  t.Prop("Filtered", &TPgDataSet::Filtered, &TPgDataSet::SetFiltered).Default(0);
  t.Prop("Params", &TPgDataSet::Params, &TPgDataSet::SetParams);
}

// ---------------------------------------------------------------------------------------------
// Helpers

namespace {

using keyset::CharCount;
using keyset::IsNullish;
using keyset::KeysetRec;
using keyset::KeyValue;
using keyset::TKeysetRecordBuffer;
using keyset::ToInt;

bool IsTextType(TFieldType type) { return type == ftString || type == ftFixedChar || type == ftMemo; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         (static_cast<unsigned char>(c) & 0x80);
}

// ":name" becomes "$n" (one number per name); "::" (a cast), text in quotes or dollar quotes
// and comments are left alone.
String NumberNamedParams(const String& sql, std::vector<String>& names) {
  String out;
  char quote = 0;
  for (std::size_t i = 0; i < sql.size(); ++i) {
    const char c = sql[i];
    if (quote) {
      if (c == quote) quote = 0;
      out += c;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      out += c;
      continue;
    }
    if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {  // a block comment
      const std::size_t end = sql.find("*/", i + 2);
      out += sql.substr(i, end == String::npos ? String::npos : end + 2 - i);
      if (end == String::npos) break;
      i = end + 1;
      continue;
    }
    if (c == '$' && (i == 0 || !IsNameChar(sql[i - 1]))) {  // a dollar-quoted text: $$...$$, $tag$...$tag$
      std::size_t tagEnd = i + 1;
      while (tagEnd < sql.size() && IsNameChar(sql[tagEnd]) && !(sql[tagEnd] >= '0' && sql[tagEnd] <= '9' && tagEnd == i + 1)) ++tagEnd;
      if (tagEnd < sql.size() && sql[tagEnd] == '$') {
        const String tag = sql.substr(i, tagEnd + 1 - i);
        const std::size_t end = sql.find(tag, tagEnd + 1);
        out += sql.substr(i, end == String::npos ? String::npos : end + tag.size() - i);
        if (end == String::npos) break;
        i = end + tag.size() - 1;
        continue;
      }
    }
    if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {  // a comment to the end of the line
      const std::size_t end = sql.find('\n', i);
      out += sql.substr(i, end == String::npos ? String::npos : end - i);
      if (end == String::npos) break;
      i = end - 1;
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
      out += "::";
      ++i;
      continue;
    }
    if (c == ':' && i + 1 < sql.size() && IsNameChar(sql[i + 1]) && !(sql[i + 1] >= '0' && sql[i + 1] <= '9')) {
      std::size_t end = i + 1;
      while (end < sql.size() && IsNameChar(sql[end])) ++end;
      const String name = sql.substr(i + 1, end - i - 1);
      auto it = std::find_if(names.begin(), names.end(), [&](const String& n) { return SameText(n, name); });
      if (it == names.end()) it = names.insert(names.end(), name);
      out += "$" + IntToStr(static_cast<int>(it - names.begin()) + 1);
      i = end - 1;
      continue;
    }
    out += c;
  }
  return out;
}

// A text of unbounded (or very large) length and a bytea are read as their start when long;
// the server's text of another type is short, and a sort key is read whole anyway.
char LongKind(const pg::TPgType& type) {
  if (type.OutputText || type.Money) return 0;
  if (type.FieldType == ftBlob) return 2;
  if (type.FieldType == ftString && (type.Size == 0 || type.Size > pg::LongValueStart / 4)) return 1;
  return 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Properties

TPgDataSet::TPgDataSet(TComponent* owner) : TVariantDataSet(owner), fParams(std::make_unique<TParams>(this)) {
  fParams->OnChange = [this] {
    if (fFiltered && Active() && fCursor && !ComponentState().Contains(csDestroying)) ChangeFilter(fFilter, true);
  };
}

TPgDataSet::~TPgDataSet() {
  Destroying();
  Close();
  SetConnection(nullptr);
}

void TPgDataSet::SetConnection(TPgConnection* value) {
  if (value == fConnection) return;
  if (value) CheckInactive();
  else Close();
  if (fConnection) {
    fConnection->UnregisterDataSet(this);
    fConnection->RemoveFreeNotification(this);
  }
  fConnection = value;
  if (fConnection) {
    fConnection->FreeNotification(this);
    fConnection->RegisterDataSet(this);
  }
  FieldDefs().SetUpdated(false);
}

void TPgDataSet::Notification(TComponent* component, TOperation operation) {
  TVariantDataSet::Notification(component, operation);
  if (operation == opRemove && component == fConnection) {
    Close();
    fConnection->UnregisterDataSet(this);
    fConnection = nullptr;
  }
}

void TPgDataSet::SetTableName(const String& value) {
  if (value == fTableName) return;
  CheckInactive();
  fTableName = value;
  FieldDefs().SetUpdated(false);
}

void TPgDataSet::SetSQL(const String& value) {
  if (value == fSQL) return;
  CheckInactive();
  fSQL = value;
  fQueryParamNames.clear();
  fQuery = NumberNamedParams(value, fQueryParamNames);
  // The parameters of the new text, with the values of the names it kept.
  TParams old;
  old.Assign(fParams.get());
  fParams->Clear();
  for (const String& name : fQueryParamNames) fParams->CreateParam(ftUnknown, name, ptInput);
  fParams->AssignValues(old);
  // The filter's parameters stay with their values.
  String condition;
  std::vector<String> filterNames;
  if (keyset::PrepareFilterText(fFilter, keyset::TSqlDialect::Pg, 1, condition, filterNames))
    for (const String& name : filterNames)
      if (const TParam* kept = old.FindParam(name); kept && !fParams->FindParam(name))
        fParams->CreateParam(kept->DataType(), name, ptInput)->SetValue(kept->Value());
  FieldDefs().SetUpdated(false);
}

void TPgDataSet::SetReadOnly(bool value) {
  if (value == fReadOnly) return;
  CheckInactive();
  fReadOnly = value;
}

void TPgDataSet::SetSortFields(const String& value) {
  if (!Active() || !fCursor) {
    fSortFields = value;
    return;
  }
  ReplaceCursor(value, fFilter, fFiltered, true);
}

void TPgDataSet::ReplaceCursor(const String& sortFields, const String& filter, bool filtered, bool sameRows) {
  keyset::TKeysetDataSetOps::ReplaceCursor(*this, sortFields, filter, filtered, sameRows);
}

void TPgDataSet::SetParams(TParams* value) { fParams->Assign(value); }

void TPgDataSet::Interrupt() {
  if (!fConnection || fWriting || !fConnection->Running()) return;
  fStop = true;
}

void TPgDataSet::SetFilter(const String& value) {
  if (value == fFilter) return;
  ChangeFilter(value, fFiltered);
}

void TPgDataSet::SetFiltered(bool value) {
  if (value == fFiltered) return;
  ChangeFilter(fFilter, value);
}

bool TPgDataSet::RecordOutsideFilter() const {
  TId id;
  return Active() && fCursor && !IsEmpty() && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent &&
         DecodeRowBookmark(GetBookmarkData(*ActiveBuffer()), id) && fCursor->IsPinned(id);
}

void TPgDataSet::ChangeFilter(const String& filter, bool filtered) {
  String sql;
  std::vector<String> names;
  if (!Trim(filter).empty() && !keyset::PrepareFilterText(filter, keyset::TSqlDialect::Pg, 1, sql, names))
    DatabaseError(SFilterNotExpression, this);
  if (!Active() || !fCursor) {
    fFilter = filter;
    fFiltered = filtered;
    return;
  }
  ReplaceCursor(fSortFields, filter, filtered);
}

String TPgDataSet::ReadOnlyReason() const {
  if (fReadOnly) return SDataSetReadOnly;
  return fReadOnlyReason;
}

bool TPgDataSet::CanModify() const { return !fReadOnly && fIsTable && fReadOnlyReason.empty(); }

// ---------------------------------------------------------------------------------------------
// Opening

TPgConnection& TPgDataSet::Conn() const {
  if (!fConnection) DatabaseError(SPgNoConnection, this);
  return *fConnection;
}

void TPgDataSet::InternalInitFieldDefs() {
  TPgConnection& conn = Conn();
  if (!conn.Connected()) conn.Open();
  fColumns.clear();
  fIsTable = false;
  fCountFollowsWrites = false;
  fKeyColumns.clear();
  fReadOnlyReason.clear();
  FieldDefs().Clear();
  if (!fSQL.empty())
    ReadQueryColumns();
  else if (!fTableName.empty())
    ReadTableColumns();
  else
    DatabaseError(SPgNoSource, this);
  FieldDefs().SetUpdated(true);
}

// The name is resolved by the server (to_regclass, bound): whatever it holds, it is never read
// as SQL; the statements then name the table by its catalogue names, quoted.
void TPgDataSet::ReadTableColumns() {
  TPgConnection& conn = Conn();
  const TPgResult table = conn.Execute(
      "SELECT c.oid, c.relkind, n.nspname, c.relname, "
      "  c.relhasrules OR c.relrowsecurity "
      "  OR EXISTS (SELECT 1 FROM pg_trigger t WHERE t.tgrelid = c.oid AND NOT t.tgisinternal) "
      "  OR EXISTS (SELECT 1 FROM pg_constraint k WHERE k.contype = 'f' AND k.conrelid = c.oid AND k.confrelid = c.oid) "
      "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
      "WHERE c.oid = to_regclass($1)",
      {fTableName});
  if (table.Rows() == 0) DatabaseError(Format(SPgTableNotFound, {fTableName}), this);
  const String oid(table.Text(0, 0));
  const String kind(table.Text(0, 1));
  const bool writesMore = table.Text(0, 4) == "t";
  fQuotedTable = PgQuoteIdentifier(table.Text(0, 2)) + "." + PgQuoteIdentifier(table.Text(0, 3));
  const TPgResult columns = conn.Execute(
      "SELECT attname, atttypid, atttypmod, attnotnull, atthasdef OR attidentity <> '' OR attgenerated <> '' "
      "FROM pg_attribute WHERE attrelid = $1 AND attnum > 0 AND NOT attisdropped ORDER BY attnum",
      {oid});
  const TPgResult keys = conn.Execute(
      "SELECT a.attname FROM pg_index i CROSS JOIN LATERAL unnest(i.indkey) WITH ORDINALITY AS k(attnum, n) "
      "JOIN pg_attribute a ON a.attrelid = i.indrelid AND a.attnum = k.attnum "
      "WHERE i.indrelid = $1 AND i.indisprimary ORDER BY k.n",
      {oid});
  for (int r = 0; r < columns.Rows(); ++r) {
    const String name(columns.Text(r, 0));
    const pg::TPgType type = pg::PgTypeOf(static_cast<pg::TOid>(StrToInt64(columns.Text(r, 1))),
                                          static_cast<int>(StrToInt64(columns.Text(r, 2))));
    const bool notNull = columns.Text(r, 3) == "t";
    const bool filled = columns.Text(r, 4) == "t";
    FieldDefs().Add(name, type.FieldType, type.Size, notNull && !filled);
    if (type.Precision > 0) FieldDefs()[r]->SetPrecision(type.Precision);
    // Money's own text follows the server's lc_monetary; numeric's does not.
    fColumns.push_back({name, pg::PgReadExpression(PgQuoteIdentifier(name), type), type.FieldType,
                        type.Money ? "::numeric" : "", type.Ordered,
                        type.OutputText});
    fColumns.back().Long = LongKind(type);
  }
  for (int r = 0; r < keys.Rows(); ++r) {
    const String name(keys.Text(r, 0));
    const auto it = std::find_if(fColumns.begin(), fColumns.end(), [&](const TColumn& c) { return c.Name == name; });
    if (it != fColumns.end()) fKeyColumns.push_back(static_cast<int>(it - fColumns.begin()));
  }
  const bool plainTable = kind == "r" || kind == "p";
  if (plainTable && !fKeyColumns.empty()) {
    fIsTable = true;
    fCountFollowsWrites = !writesMore;
    return;
  }
  // A view, or a table with no key to find its rows by: read as a query of the whole relation.
  fReadOnlyReason = plainTable ? SPgNoPrimaryKey : SPgIsView;
  fQuery = "SELECT * FROM " + fQuotedTable;
  fQueryParamNames.clear();
  fKeyColumns.clear();
  fColumns.clear();
  FieldDefs().Clear();
  ReadQueryColumns();
}

// A statement is checked before it is wrapped: the server prepares it alone (so it holds one
// statement) and it is read as a subquery, where nothing can write.
void TPgDataSet::ReadQueryColumns() {
  String sql = TrimRight(fQuery);
  while (!sql.empty() && sql.back() == ';') sql = TrimRight(std::string_view(sql).substr(0, sql.size() - 1));
  const String first = UpperCase(TrimLeft(sql).substr(0, 6));
  if (!(first.starts_with("SELECT") || first.starts_with("WITH") || first.starts_with("VALUES") ||
        first.starts_with("TABLE")))
    DatabaseError(SPgNotSelect, this);
  fQuery = sql;
  TPgResult described;
  try {
    described = Conn().Describe(fQuery, static_cast<int>(fQueryParamNames.size()));
  } catch (const EPgError& e) {
    if (e.SqlState() == "42P14" || e.Message().find("multiple commands") != String::npos) DatabaseError(SPgNotSelect, this);
    throw;
  }
  if (described.Columns() == 0) DatabaseError(SPgNotSelect, this);
  for (int c = 0; c < described.Columns(); ++c) {
    const pg::TPgType type = pg::PgTypeOf(described.ColumnType(c), described.ColumnModifier(c));
    String name = described.ColumnName(c);
    if (name.empty() || name == "?column?") name = "COLUMN" + IntToStr(c + 1);
    const String base = name;
    for (int n = 1; FieldDefs().IndexOf(name) >= 0; ++n) name = base + "_" + IntToStr(n);
    FieldDefs().Add(name, type.FieldType, type.Size, false);
    if (type.Precision > 0) FieldDefs()[c]->SetPrecision(type.Precision);
    fColumns.push_back({name, pg::PgReadExpression("zv_c" + IntToStr(c + 1), type), type.FieldType, "", type.Ordered,
                        type.OutputText});
    fColumns.back().Long = LongKind(type);
  }
  if (fReadOnlyReason.empty()) fReadOnlyReason = SPgIsQuery;
}

std::vector<TPgParam> TPgDataSet::QueryParams() const {
  std::vector<TPgParam> values;
  for (const String& name : fQueryParamNames) {
    const TParam* p = fParams->FindParam(name);
    values.push_back(p ? pg::PgValueToText(p->Value(), p->DataType()) : TPgParam());
  }
  return values;
}

void TPgDataSet::CreateCursor(const String& sortFields, const String& filter, bool filtered) {
  std::vector<pg::TPgSortColumn> sort;
  for (const TSortItem& item : ParseSortString(sortFields)) {
    const auto it = std::find_if(fColumns.begin(), fColumns.end(), [&](const TColumn& c) { return AnsiSameText(c.Name, item.Name); });
    if (it == fColumns.end()) DatabaseError(Format(SInvalidSortField, {item.Name}), this);
    sort.push_back({static_cast<int>(it - fColumns.begin()), item.Descending});
  }
  pg::TPgSource source;
  source.IsTable = fIsTable;
  for (const TColumn& c : fColumns) {
    source.Types.push_back(c.Type);
    source.Ordered.push_back(c.Ordered);
    source.Columns.push_back(c.Expression);
    source.Long.push_back(c.Long);
  }
  if (fIsTable) {
    source.From = fQuotedTable;
    for (const int c : fKeyColumns) source.IdColumns.push_back(PgQuoteIdentifier(fColumns[static_cast<std::size_t>(c)].Name));
    const TFieldType keyType = fColumns[static_cast<std::size_t>(fKeyColumns.front())].Type;
    source.IntegerId = fKeyColumns.size() == 1 && (keyType == ftSmallint || keyType == ftInteger || keyType == ftLargeint);
  } else {
    // The statement's columns renamed by position: its own names may repeat or clash.
    String names;
    for (std::size_t c = 0; c < fColumns.size(); ++c) names += (c ? ", zv_c" : "zv_c") + IntToStr(static_cast<int>(c) + 1);
    source.From = "(" + fQuery + ") AS zv_q(" + names + ")";
    source.Params = QueryParams();
  }
  if (filtered && !Trim(filter).empty()) {
    // The condition reads the source's own column names; its marks number after the query's.
    String condition;
    std::vector<String> names;
    if (!keyset::PrepareFilterText(filter, keyset::TSqlDialect::Pg, static_cast<int>(source.Params.size()) + 1,
                                   condition, names))
      DatabaseError(SFilterNotExpression, this);
    for (const String& name : names) {
      const TParam* p = fParams->ParamByName(name);
      source.Params.push_back(pg::PgValueToText(p->Value(), p->DataType()));
    }
    source.Filtered = true;
    if (fIsTable) {
      source.BaseFrom = source.From;
      source.From = "(SELECT * FROM " + fQuotedTable + " WHERE (" + condition + "\n)) AS zv_f";
    } else {
      String columns;
      for (std::size_t c = 0; c < fColumns.size(); ++c) columns += (c ? ", zv_c" : "zv_c") + IntToStr(static_cast<int>(c) + 1);
      source.From = "(SELECT zv_q0.* FROM (" + fQuery + ") AS zv_q0 WHERE (" + condition + "\n)) AS zv_q(" + columns + ")";
    }
  }
  auto cursor = std::make_unique<TPgCursor>(Conn(), std::move(source), std::move(sort));
  cursor->SetWait([this] {
    if (fWriting) return false;
    bool stop = fStop.exchange(false);
    if (!stop && OnProgress) OnProgress(this, stop);
    return stop || fStop.exchange(false);
  });
  if (cursor->Source().Filtered) cursor->CheckSource();
  if (!ParseSortString(sortFields).empty()) {
    // The server refuses an order it cannot keep (a json column): ask before the order changes.
    pg::TPgCondition none{"false", {}};
    cursor->FindFirst(none);
  }
  fCursor = std::move(cursor);
  ++fReading;
}

TBookmarkStr TPgDataSet::RowBookmark(const TId& id) const {
  if (fIsTable) return pg::EncodePgId(id);
  return keyset::PositionBookmark(fReading, id);
}

bool TPgDataSet::DecodeRowBookmark(const TBookmarkStr& bookmark, TId& id) const {
  id.clear();
  if (fIsTable) return bookmark.size() != 8 && pg::DecodePgId(bookmark, id);
  return keyset::DecodePositionBookmark(bookmark, fReading, id);
}

void TPgDataSet::InternalOpen() {
  if (!Conn().Connected()) Conn().Open();
  CreateCursor(fSortFields, fFilter, fFiltered);
}

void TPgDataSet::InternalClose() { fCursor.reset(); }

// ---------------------------------------------------------------------------------------------
// The cursor protocol

bool TPgDataSet::ReadWholeValue(const TRecordBuffer& buffer, int column, Variant& value) const {
  return keyset::TKeysetDataSetOps::ReadWholeValue(*this, buffer, column, value);
}

TRecordBufferPtr TPgDataSet::AllocRecordBuffer() {
  auto buffer = std::make_unique<TKeysetRecordBuffer>();
  buffer->ClearValues(fColumns.size(), false);
  return buffer;
}

void TPgDataSet::InternalInitRecord(TRecordBuffer& buffer) {
  TVariantDataSet::InternalInitRecord(buffer);
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  rec.Key.clear();
  rec.KeyValid = false;
}

void TPgDataSet::SetBookmarkData(TRecordBuffer& buffer, const TBookmarkStr& data) {
  buffer.Bookmark = data;
  KeysetRec(buffer).KeyValid = false;
}

TGetResult TPgDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool) {
  return keyset::ReadRecord(*fCursor, mode, BufferCount(), buffer, fColumns.size(),
                            [this](const auto& id) { return RowBookmark(id); });
}

void TPgDataSet::InternalSetToRecord(TRecordBuffer& buffer) {
  TId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) return;
  fCursor->SetToRow(id, keyset::KnownKey(buffer, id, pg::EncodePgId));
}

void TPgDataSet::InternalGotoBookmark(const TBookmarkStr& bookmark) {
  TId id;
  if (!DecodeRowBookmark(bookmark, id) || !fCursor->SetToExistingRow(id)) DatabaseError(SBookmarkNotFound, this);
}

void TPgDataSet::InternalFirst() { fCursor->SetToBof(); }
void TPgDataSet::InternalLast() { fCursor->SetToEof(); }

// ---------------------------------------------------------------------------------------------
// Positions and bookmarks

int TPgDataSet::RecordCount() const {
  CheckActive();
  return ToInt(fCursor->Count());
}

bool TPgDataSet::RecordCountKnown() const { return fCursor && fCursor->CountKnown(); }
bool TPgDataSet::RecNoKnown() const { return keyset::TKeysetDataSetOps::RecNoKnown(*this); }

int TPgDataSet::RecordCountEstimate() const {
  CheckActive();
  return ToInt(fCursor->Estimate());
}

int TPgDataSet::RecNo() const {
  CheckActive();
  if (IsEmpty()) return 0;
  const TRecordBuffer& buffer = *ActiveBuffer();
  switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
      return 1;
    case bfEOF:
      return RecordCount() + 1;
    default: {
      TId id;
      if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) return -1;
      const std::int64_t position = fCursor->PositionOf(id, keyset::KnownKey(buffer, id, pg::EncodePgId));
      return position < 0 ? -1 : ToInt(position + 1);
    }
  }
}

void TPgDataSet::SetRecNo(int value) {
  CheckActive();
  const int count = RecordCount();
  if (count == 0) return;
  value = std::clamp(value, 1, count);
  if (State() == dsBrowse && !IsEmpty() && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent) {
    TId current;
    if (DecodeRowBookmark(GetBookmarkData(*ActiveBuffer()), current) && fCursor->KnownPositionOf(current) == value - 1)
      return;
  }
  if (const auto id = fCursor->IdAt(value - 1)) GotoBookmark(RowBookmark(*id));
}

bool TPgDataSet::BookmarkValid(const TBookmarkStr& bookmark) const {
  TId id;
  return fCursor && DecodeRowBookmark(bookmark, id) && fCursor->Exists(id);
}

int TPgDataSet::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  if (a == b) return 0;
  TId ia, ib;
  const bool va = DecodeRowBookmark(a, ia), vb = DecodeRowBookmark(b, ib);
  if (!va || !vb) return va == vb ? (a < b ? -1 : 1) : (va ? 1 : -1);
  if (fCursor) return fCursor->Compare(ia, ib);
  return a < b ? -1 : 1;
}

// ---------------------------------------------------------------------------------------------
// Posting and deleting

template <class F>
auto TPgDataSet::Guarded(F&& write) {
  TPgConnection& conn = Conn();
  if (!conn.InTransaction()) return write();
  conn.Execute("SAVEPOINT zv_post");
  try {
    auto result = write();
    conn.Execute("RELEASE SAVEPOINT zv_post");
    return result;
  } catch (const EPgError& e) {
    // The user's transaction stays usable: only this write is undone.
    if (!e.IsConnectionLost() && conn.Connected()) conn.Execute("ROLLBACK TO SAVEPOINT zv_post");
    throw;
  }
}

String TPgDataSet::IdCondition(int firstParam) const {
  String where;
  for (std::size_t i = 0; i < fKeyColumns.size(); ++i)
    where += (i ? " AND " : "") + PgQuoteIdentifier(fColumns[static_cast<std::size_t>(fKeyColumns[i])].Name) + " = $" +
             IntToStr(firstParam + static_cast<int>(i));
  return where;
}

// One statement of the changed columns with bound values; the key comes back from it, as the
// server stored it (a default, a sequence, a changed key).
TPgDataSet::TId TPgDataSet::WriteRecord(TRecordBuffer& buffer, bool insert) {
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  std::vector<String> names, casts;
  std::vector<TPgParam> values;
  for (std::size_t c = 0; c < fColumns.size(); ++c) {
    if (!rec.Changed[c]) continue;
    names.push_back(PgQuoteIdentifier(fColumns[c].Name));
    casts.push_back(fColumns[c].WriteCast);
    values.push_back(pg::PgValueToText(rec.Values[c], fColumns[c].Type));
  }
  String returning = " RETURNING ";
  for (std::size_t i = 0; i < fKeyColumns.size(); ++i)
    returning += (i ? ", " : "") + PgQuoteIdentifier(fColumns[static_cast<std::size_t>(fKeyColumns[i])].Name);
  auto run = [&](const String& sql) {
    return Guarded([&] {
      const TPgResult result = Conn().Execute(sql + returning, values);
      TId id;
      if (result.Rows() > 0)
        for (int i = 0; i < result.Columns(); ++i) id.push_back(Variant(String(result.Text(0, i))));
      return id;
    });
  };
  if (insert) {
    String sql = "INSERT INTO " + fQuotedTable;
    if (names.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      String columns, marks;
      for (std::size_t i = 0; i < names.size(); ++i) {
        columns += (i ? ", " : "") + names[i];
        marks += (i ? ", $" : "$") + IntToStr(static_cast<int>(i) + 1) + casts[i];
      }
      sql += " (" + columns + ") VALUES (" + marks + ")";
    }
    return run(sql);
  }
  TId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) DatabaseError(SRecordNotFound, this);
  if (names.empty()) return id;
  String sets;
  for (std::size_t i = 0; i < names.size(); ++i)
    sets += (i ? ", " : "") + names[i] + " = $" + IntToStr(static_cast<int>(i) + 1) + casts[i];
  const int first = static_cast<int>(values.size()) + 1;
  for (const Variant& v : id) values.push_back(v.AsString());
  id = run("UPDATE " + fQuotedTable + " SET " + sets + " WHERE " + IdCondition(first));
  if (id.empty()) DatabaseError(SRecordNotFound, this);  // deleted by another session
  return id;
}

void TPgDataSet::InternalPost() {
  const keyset::TFlagGuard writing(fWriting);
  TDataSet::InternalPost();
  if (!CanModify()) DatabaseError(ReadOnlyReason().empty() ? String(SDataSetReadOnly) : ReadOnlyReason(), this);
  const bool insert = State() == dsInsert;
  const TId id = WriteRecord(*ActiveBuffer(), insert);
  fCursor->AfterWrite(id, fCountFollowsWrites, insert ? 1 : 0);
  fCursor->ReadAround();
}

// The cached rows are stale after a write; the count is not taken again when it follows from
// the one row written (on a large table the count costs more than the write).
void TPgDataSet::ForgetAfterWrite(int countDelta) {
  if (fCountFollowsWrites)
    fCursor->InvalidateAfterOneRow(countDelta);
  else
    fCursor->Invalidate();
}

void TPgDataSet::InternalAddRecord(TRecordBuffer& buffer, bool) {
  const keyset::TFlagGuard writing(fWriting);
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  for (std::size_t c = 0; c < fColumns.size(); ++c) rec.Changed[c] = IsNullish(rec.Values[c]) ? 0 : 1;
  const TId id = WriteRecord(buffer, true);
  fCursor->AfterWrite(id, fCountFollowsWrites, 1);
  fCursor->ReadAround();
}

void TPgDataSet::InternalDelete() {
  const keyset::TFlagGuard writing(fWriting);
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
  TRecordBuffer& buffer = *ActiveBuffer();
  TId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) DatabaseError(SRecordNotFound, this);
  std::vector<TPgParam> params;
  for (const Variant& v : id) params.push_back(v.AsString());
  const std::int64_t deleted = Guarded([&] {
    return Conn().Execute("DELETE FROM " + fQuotedTable + " WHERE " + IdCondition(1), params).Affected();
  });
  if (deleted == 0) DatabaseError(SRecordNotFound, this);
  fCursor->SetToRow(id, keyset::KnownKey(buffer, id, pg::EncodePgId));
  if (deleted == 1)
    ForgetAfterWrite(-1);
  else
    fCursor->Invalidate();
}

void TPgDataSet::InternalRefresh() {
  fCursor->Invalidate();
  ++fReading;
}

// ---------------------------------------------------------------------------------------------
// Searching
//
// Each key field becomes a condition on its column with the key bound. Text matches as
// TDataSet's walk matches it: by prefix for loPartialKey, through the server's lower() for
// loCaseInsensitive; other kinds compare as the server compares values of the column's type.

bool TPgDataSet::FindRow(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options,
                         TPgRow& row) {
  pg::TPgCondition condition;
  std::vector<String> parts;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int column = ColumnOf(fields[i]);
    const TColumn& info = fColumns[static_cast<std::size_t>(column)];
    const String& expr = fCursor->Source().Columns[static_cast<std::size_t>(column)];
    const Variant key = KeyValue(keyValues, i, fields.size());
    if (IsNullish(key)) {
      parts.push_back(expr + " IS NULL");
      continue;
    }
    if (!IsTextType(info.Type)) {
      parts.push_back(expr + " = ?");
      condition.Params.push_back(pg::PgValueToText(key, info.Type));
      continue;
    }
    const bool caseless = options.Contains(loCaseInsensitive);
    const String text = VarToStr(key);
    const String shown = info.OutputText ? "format('%s', " + expr + ")" : expr + "::text";
    const String value = caseless ? "lower(" + shown + ")" : shown;
    const String param = caseless ? "lower(?)" : "?";
    if (!options.Contains(loPartialKey)) {
      parts.push_back(value + " = " + param);
      condition.Params.push_back(text);
      continue;
    }
    parts.push_back("left(" + value + ", ?) = " + param);
    condition.Params.push_back(IntToStr(CharCount(text)));
    condition.Params.push_back(text);
  }
  for (const String& p : parts) condition.Where += (condition.Where.empty() ? "" : " AND ") + p;
  auto found = fCursor->FindFirst(condition);
  if (!found) return false;
  row = std::move(*found);
  return true;
}

bool TPgDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  const std::vector<TField*> fields = GetFieldList(keyFields);
  if (std::any_of(fields.begin(), fields.end(), [this](const TField* f) { return ColumnOf(f) < 0; }))
    return TDataSet::Locate(keyFields, keyValues, options);
  if (BeforeScroll) BeforeScroll(this);
  if (fields.empty() || IsEmpty()) return false;
  TPgRow row;
  if (!FindRow(fields, keyValues, options, row)) return false;
  fCursor->SetToRow(std::move(row));
  Resync({rmExact, rmCenter});
  if (AfterScroll) AfterScroll(this);
  return true;
}

Variant TPgDataSet::ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  if (!fCursor) return TDataSet::ReadByKey(keyFields, keyValues, resultFields);
  const std::vector<TField*> keys = GetFieldList(keyFields);
  const std::vector<TField*> results = GetFieldList(resultFields);
  auto noColumn = [this](const TField* f) { return ColumnOf(f) < 0; };
  if (std::any_of(keys.begin(), keys.end(), noColumn) || std::any_of(results.begin(), results.end(), noColumn))
    return TDataSet::ReadByKey(keyFields, keyValues, resultFields);
  TPgRow row;
  if (keys.empty() || results.empty() || !FindRow(keys, keyValues, {}, row)) return Variant::Null();
  std::vector<Variant> values;
  for (const TField* f : results) {
    const Variant v = keyset::TKeysetDataSetOps::FoundValue(*this, row, static_cast<std::size_t>(ColumnOf(f)));
    values.push_back(IsNullish(v) ? Variant::Null() : v);
  }
  return values.size() == 1 ? values.front() : VarArrayOf(values);
}

// ---------------------------------------------------------------------------------------------
// Bookmark sets

String TPgDataSet::DataIdentity() const {
  if (!fConnection) return {};
  return "pg:" + fConnection->ConnectionString() + (fSQL.empty() ? "|table:" + fTableName : "|sql:" + fSQL);
}

bool TPgDataSet::BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const {
  return !fIsTable && keyset::TKeysetDataSetOps::QueryNumber(*this, bookmark, number);
}

TBookmarkStr TPgDataSet::NumberBookmark(std::int64_t number) const {
  return keyset::PositionBookmark(fReading, keyset::IdOfNumber(number));
}

void TPgDataSet::BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) {
  keyset::TKeysetDataSetOps::SetAddRange(*this, set, from, to);
}

std::int64_t TPgDataSet::BookmarkRank(const TBookmarkStr& bookmark) {
  return keyset::TKeysetDataSetOps::Rank(*this, bookmark);
}

void TPgDataSet::BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                                  const TBookmarkStr& after, std::vector<TBookmarkStr>& into) {
  keyset::TKeysetDataSetOps::SetItems(*this, set, skip, count, after, into);
}

void TPgDataSet::BookmarkSetPurge(TBookmarkSet& set) { keyset::TKeysetDataSetOps::SetPurge(*this, set); }

// Every member by its key, in one transaction (a savepoint inside the connection's own).
void TPgDataSet::BookmarkSetDelete(TBookmarkSet& set) {
  keyset::TKeysetDataSetOps::SetDelete(*this, set, [&] {
    TPgConnection& conn = Conn();
    const bool own = !conn.InTransaction();
    if (own) conn.Execute("BEGIN");
    try {
      Guarded([&] {
        const String sql = "DELETE FROM " + fQuotedTable + " WHERE " + IdCondition(1);
        set.EachBookmark([&](const TBookmarkStr& bookmark) {
          TId id;
          if (!DecodeRowBookmark(bookmark, id)) return;
          std::vector<TPgParam> params;
          for (const Variant& v : id) params.push_back(v.AsString());
          conn.Execute(sql, params);
        });
        return 0;
      });
      if (own) conn.Execute("COMMIT");
    } catch (...) {
      if (own && conn.Connected()) {
        try {
          conn.Execute("ROLLBACK");
        } catch (...) {
          // The session is gone already; the first error is the one to report.
        }
      }
      throw;
    }
  });
}

}  // namespace zv
