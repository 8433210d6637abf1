// TSqliteDataSet: the record-buffer protocol on TSqliteCursor, posting through bound
// statements, Locate as one query.
//
// Sections: helpers; properties; opening; the cursor protocol; positions and bookmarks;
// posting and deleting; searching. Field data and blobs are TVariantDataSet's.

#include "platform/db/SqliteDataSet.h"

#include "platform/db/SortString.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/Sqlite.h"
#include "platform/db/detail/SqliteCursor.h"
#include "platform/db/detail/KeysetRecord.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"
#include "platform/rtl/StringUtils.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <unordered_map>

namespace zv {

using sqlite::QuoteIdentifier;
using sqlite::TSqliteCursor;
using sqlite::TSqliteRow;
using sqlite::TSqliteStatement;

ZV_DEFINE_CLASS_WITH_PROPS(TSqliteDataSet, TVariantDataSet)

void TSqliteDataSet::DeclareProperties(TPropTable<TSqliteDataSet>& t) {
  t.Prop("FileName", &TSqliteDataSet::FileName, &TSqliteDataSet::SetFileName);
  t.Prop("TableName", &TSqliteDataSet::TableName, &TSqliteDataSet::SetTableName);
  t.Prop("SQL", &TSqliteDataSet::SQL, &TSqliteDataSet::SetSQL);
  t.Prop("ReadOnly", &TSqliteDataSet::ReadOnly, &TSqliteDataSet::SetReadOnly).Default(0);
  t.Prop("SortFields", &TSqliteDataSet::SortFields, &TSqliteDataSet::SetSortFields);
  t.Prop("BusyTimeout", &TSqliteDataSet::BusyTimeout, &TSqliteDataSet::SetBusyTimeout).Default(1000);
  t.Prop("Filter", &TSqliteDataSet::Filter, &TSqliteDataSet::SetFilter);
  t.Prop("Filtered", &TSqliteDataSet::Filtered, &TSqliteDataSet::SetFiltered).Default(0);
  t.Prop("Params", &TSqliteDataSet::Params, &TSqliteDataSet::SetParams);
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

bool IsBlobType(TFieldType type) {
  switch (type) {
    case ftBlob:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
      return true;
    default:
      return false;
  }
}

bool IsTextType(TFieldType type) {
  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
    case ftMemo:
    case ftFmtMemo:
      return true;
    default:
      return false;
  }
}

// Dates are written as SQLite's date functions read them, in the column's own form.
Variant ToSqlValue(const Variant& value, TFieldType type) {
  if (IsNullish(value)) return Variant::Null();
  if ((type == ftDate || type == ftTime || type == ftDateTime) && VarType(value) == varDate)
    return Variant(sqlite::DateTimeToSqlText(value.AsDateTime(), type));
  return value;
}

// zv_lower(text): the host's case folding (AnsiLowerCase), which SQLite's lower() does only for
// ASCII; case-insensitive Locate compares through it.
void SqlLower(sqlite3_context* context, int, sqlite3_value** args) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
  if (!text) {
    sqlite3_result_null(context);
    return;
  }
  try {
    const String lower = AnsiLowerCase(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(args[0]))));
    sqlite3_result_text64(context, lower.data(), lower.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } catch (const std::exception& e) {
    sqlite3_result_error(context, e.what(), -1);
  }
}

// zv_prefix(value, key): whether the value's text has a caseless key starting with key (the
// rtl's CaselessKeyStartsWith, the test a walk over the records makes). NULL is no text; a
// number is its text as a field reads it.
void SqlPrefix(sqlite3_context* context, int, sqlite3_value** args) {
  const auto* keyText = reinterpret_cast<const char*>(sqlite3_value_text(args[1]));
  const std::string_view key(keyText ? keyText : "", keyText ? static_cast<std::size_t>(sqlite3_value_bytes(args[1])) : 0);
  try {
    String number;
    std::string_view text;
    switch (sqlite3_value_type(args[0])) {
      case SQLITE_NULL:
        sqlite3_result_int(context, key.empty() ? 1 : 0);
        return;
      case SQLITE_FLOAT:
        number = VarToStr(Variant(sqlite3_value_double(args[0])));
        text = number;
        break;
      default: {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
        text = std::string_view(bytes ? bytes : "", bytes ? static_cast<std::size_t>(sqlite3_value_bytes(args[0])) : 0);
      }
    }
    sqlite3_result_int(context, CaselessKeyStartsWith(text, key) ? 1 : 0);
  } catch (const std::exception& e) {
    sqlite3_result_error(context, e.what(), -1);
  }
}

// zv_fits(value, field type): whether the stored value reads as the field type unchanged.
void SqlFits(sqlite3_context* context, int, sqlite3_value** args) {
  const auto type = static_cast<TFieldType>(sqlite3_value_int(args[1]));
  sqlite3_result_int(context, sqlite::StoredValueFits(args[0], type) ? 1 : 0);
}

// Rows whose values are checked against their columns' declared types when a dataset opens: a
// bounded read, so that opening stays cheap on any table. A value past them that does not fit
// is still read as stored (TSqliteStatement::ColumnValue), never converted.
constexpr int CheckedRows = 100000;

// The field name of an unnamed column (SQLite accepts "" as a name): its position, as a
// statement's unnamed expression is named.
String UnnamedColumnName(std::size_t column) { return "COLUMN" + IntToStr(static_cast<int>(column) + 1); }

// Field names for a table's columns: each column's own name, and for a column named "" its
// position, with "_n" added while another column already bears that name.
std::vector<String> TableFieldNames(const std::vector<String>& columns) {
  std::vector<String> names = columns;
  auto taken = [&](const String& name) {
    return std::any_of(names.begin(), names.end(), [&](const String& n) { return CaseFoldCompare(n, name) == 0; });
  };
  for (std::size_t c = 0; c < names.size(); ++c) {
    if (!names[c].empty()) continue;
    const String base = UnnamedColumnName(c);
    String name = base;
    for (int n = 1; taken(name); ++n) name = base + "_" + IntToStr(n);
    names[c] = name;
  }
  return names;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Properties

TSqliteDataSet::TSqliteDataSet(TComponent* owner) : TVariantDataSet(owner), fParams(std::make_unique<TParams>(this)) {
  fParams->OnChange = [this] {
    if (fFiltered && Active() && fCursor && !ComponentState().Contains(csDestroying)) ChangeFilter(fFilter, true);
  };
}

void TSqliteDataSet::SetParams(TParams* value) { fParams->Assign(value); }

void TSqliteDataSet::SetFilter(const String& value) {
  if (value == fFilter) return;
  ChangeFilter(value, fFiltered);
}

void TSqliteDataSet::SetFiltered(bool value) {
  if (value == fFiltered) return;
  ChangeFilter(fFilter, value);
}

bool TSqliteDataSet::RecordOutsideFilter() const {
  sqlite::TSqliteId id;
  return Active() && fCursor && !IsEmpty() && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent &&
         DecodeRowBookmark(GetBookmarkData(*ActiveBuffer()), id) && fCursor->IsPinned(id);
}

// The text's shape is checked at once, so that a refused filter never replaces the one in force;
// on an open dataset the new cursor is prepared (and so authorised) before it replaces the old.
void TSqliteDataSet::ChangeFilter(const String& filter, bool filtered) {
  String sql;
  std::vector<String> names;
  if (!Trim(filter).empty() && !keyset::PrepareFilterText(filter, keyset::TSqlDialect::Sqlite, 1, sql, names))
    DatabaseError(SFilterNotExpression, this);
  if (!Active() || !fCursor) {
    fFilter = filter;
    fFiltered = filtered;
    return;
  }
  ReplaceCursor(fSortFields, filter, filtered);
}

TSqliteDataSet::~TSqliteDataSet() {
  Destroying();
  Close();
  CloseDatabase();
}

void TSqliteDataSet::SetFileName(const String& value) {
  if (value == fFileName) return;
  CheckInactive();
  CloseDatabase();
  fFileName = value;
  FieldDefs().SetUpdated(false);
}

void TSqliteDataSet::SetTableName(const String& value) {
  if (value == fTableName) return;
  CheckInactive();
  fTableName = value;
  FieldDefs().SetUpdated(false);
}

void TSqliteDataSet::SetSQL(const String& value) {
  if (value == fSQL) return;
  CheckInactive();
  fSQL = value;
  FieldDefs().SetUpdated(false);
}

void TSqliteDataSet::SetReadOnly(bool value) {
  if (value == fReadOnly) return;
  CheckInactive();
  CloseDatabase();  // the connection is opened read-only or not
  fReadOnly = value;
}

void TSqliteDataSet::SetBusyTimeout(int value) {
  fBusyTimeout = std::max(value, 0);
  if (fDatabase) fDatabase->SetBusyTimeout(fBusyTimeout);
}

void TSqliteDataSet::SetSortFields(const String& value) {
  if (!Active() || !fCursor) {
    fSortFields = value;  // checked when the dataset opens
    return;
  }
  ReplaceCursor(value, fFilter, fFiltered, true);
}

void TSqliteDataSet::ReplaceCursor(const String& sortFields, const String& filter, bool filtered, bool sameRows) {
  keyset::TKeysetDataSetOps::ReplaceCursor(*this, sortFields, filter, filtered, sameRows);
}

bool TSqliteDataSet::CanModify() const {
  if (fReadOnly || !fIsTable || !fDatabase) return false;
  return sqlite3_db_readonly(fDatabase->Handle(), "main") != 1;
}

// ---------------------------------------------------------------------------------------------
// Opening

void TSqliteDataSet::OpenDatabase() {
  if (fDatabase) return;
  if (fFileName.empty()) DatabaseError(SSqliteNoFileName, this);
  auto db = std::make_unique<sqlite::TSqliteDatabase>(fFileName, fReadOnly);
  db->SetBusyTimeout(fBusyTimeout);
  const int rc = sqlite3_create_function_v2(db->Handle(), "zv_lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                            SqlLower, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) db->RaiseError(rc);
  const int fits = sqlite3_create_function_v2(db->Handle(), "zv_fits", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              SqlFits, nullptr, nullptr, nullptr);
  if (fits != SQLITE_OK) db->RaiseError(fits);
  const int prefix = sqlite3_create_function_v2(db->Handle(), "zv_prefix", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                nullptr, SqlPrefix, nullptr, nullptr, nullptr);
  if (prefix != SQLITE_OK) db->RaiseError(prefix);
  sqlite::RegisterLongValueStart(*db);
  // Every 4096 virtual-machine steps: often enough to stop within a few milliseconds.
  sqlite3_progress_handler(
      db->Handle(), 4096,
      [](void* context) {
        auto* self = static_cast<TSqliteDataSet*>(context);
        if (self->fWriting || !self->OnProgress) return 0;
        bool stop = false;
        self->OnProgress(self, stop);
        return stop && !self->fWriting ? 1 : 0;
      },
      this);
  fDatabase = std::move(db);
}

void TSqliteDataSet::Interrupt() {
  if (fDatabase && !fWriting) sqlite3_interrupt(fDatabase->Handle());
}

void TSqliteDataSet::CloseDatabase() {
  fCursor.reset();  // its statements belong to the connection
  fDatabase.reset();
}

void TSqliteDataSet::InternalInitFieldDefs() {
  OpenDatabase();
  try {
    fColumns.clear();
    fIsTable = false;
    fRowIdAlias = -1;
    fQuery.clear();
    FieldDefs().Clear();
    if (!fSQL.empty())
      ReadQueryColumns();
    else if (!fTableName.empty())
      ReadTableColumns();
    else
      DatabaseError(SSqliteNoSource, this);
    CheckStoredValues();
    FieldDefs().SetUpdated(true);
  } catch (...) {
    if (!IsCursorOpen()) CloseDatabase();
    throw;
  }
}

void TSqliteDataSet::ReadTableColumns() {
  const String table = QuoteIdentifier(fTableName);
  {
    // Raises SQLite's own "no such table" for a missing one.
    TSqliteStatement probe(*fDatabase, "SELECT * FROM " + table + " LIMIT 0");
  }
  String type;
  {
    TSqliteStatement st(*fDatabase, "SELECT type FROM sqlite_master WHERE name = ? COLLATE NOCASE");
    st.Bind(1, Variant(fTableName));
    if (st.Step()) type = st.ColumnText(0);
  }
  struct TInfo {
    String Name, DeclaredType;
    bool NotNull = false, HasDefault = false;
    int PrimaryKey = 0;
  };
  std::vector<TInfo> infos;
  {
    TSqliteStatement st(*fDatabase, "PRAGMA table_info(" + table + ")");
    while (st.Step()) infos.push_back({st.ColumnText(1), st.ColumnText(2), st.ColumnInt64(3) != 0, !st.ColumnIsNull(4),
                                       static_cast<int>(st.ColumnInt64(5))});
  }
  // The rowid answers to three names; a column may have taken any of them. A table WITHOUT
  // ROWID is found and written by its primary key; a view is read as a query.
  fWithoutRowId = false;
  fKeyColumns.clear();
  if (SameText(type, "table")) {
    for (const char* name : {"rowid", "_rowid_", "oid"}) {
      if (std::any_of(infos.begin(), infos.end(), [&](const TInfo& i) { return SameText(i.Name, name); })) continue;
      try {
        TSqliteStatement probe(*fDatabase, "SELECT " + String(name) + " FROM " + table + " LIMIT 0");
        fRowIdName = name;
        fIsTable = true;
      } catch (const EDatabaseError&) {
      }
      break;
    }
  }
  const int keyColumns = static_cast<int>(std::count_if(infos.begin(), infos.end(), [](const TInfo& i) { return i.PrimaryKey > 0; }));
  if (!fIsTable && SameText(type, "table") && keyColumns > 0) {
    fIsTable = true;
    fWithoutRowId = true;
    fKeyColumns.assign(static_cast<std::size_t>(keyColumns), 0);
    for (std::size_t c = 0; c < infos.size(); ++c)
      if (infos[c].PrimaryKey > 0 && infos[c].PrimaryKey <= keyColumns)
        fKeyColumns[static_cast<std::size_t>(infos[c].PrimaryKey - 1)] = static_cast<int>(c);
  }
  if (!fIsTable) {
    fQuery = "SELECT * FROM " + table;
    ReadQueryColumns();
    return;
  }
  std::vector<String> columnNames;
  for (const TInfo& info : infos) columnNames.push_back(info.Name);
  const std::vector<String> fieldNames = TableFieldNames(columnNames);
  for (std::size_t c = 0; c < infos.size(); ++c) {
    const TInfo& info = infos[c];
    int size = 0;
    TFieldType fieldType = sqlite::FieldTypeFromDeclaredType(info.DeclaredType, size);
    int precision = 0;
    if (fieldType == ftFMTBcd || fieldType == ftBCD) {
      // DECIMAL(p,s): the size of a decimal field is its places.
      precision = size;
      size = 8;
      const auto comma = info.DeclaredType.find(',');
      if (comma != String::npos) {
        size = 0;
        for (std::size_t i = comma + 1; i < info.DeclaredType.size(); ++i) {
          const char ch = info.DeclaredType[i];
          if (ch == ' ') continue;
          if (ch < '0' || ch > '9') break;
          size = std::min(size * 10 + (ch - '0'), static_cast<int>(TBcd::MaxPlaces));
        }
      }
    }
    const bool alias =
        !fWithoutRowId && keyColumns == 1 && info.PrimaryKey == 1 && SameText(Trim(info.DeclaredType), "INTEGER");
    if (alias) fRowIdAlias = static_cast<int>(c);
    // NOT NULL with a default, or the rowid, is filled by SQLite when left empty; a key of a
    // table WITHOUT ROWID is never NULL.
    const bool notNull = info.NotNull || (fWithoutRowId && info.PrimaryKey > 0);
    FieldDefs().Add(fieldNames[c], fieldType, size, notNull && !info.HasDefault && !alias);
    if (precision > 0) FieldDefs()[static_cast<int>(c)]->SetPrecision(precision);
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(fDatabase->Handle(), nullptr, fTableName.c_str(), info.Name.c_str(), nullptr,
                                      &collation, nullptr, nullptr, nullptr) != SQLITE_OK)
      collation = nullptr;
    fColumns.push_back({info.Name, fieldNames[c], fieldType, collation ? collation : "BINARY"});
  }
}

// A statement is checked before it is wrapped: one read-only SELECT, nothing after it.
void TSqliteDataSet::ReadQueryColumns() {
  if (fQuery.empty()) {
    String sql = TrimRight(fSQL);
    while (!sql.empty() && sql.back() == ';') sql = TrimRight(std::string_view(sql).substr(0, sql.size() - 1));
    fQuery = sql;
  }
  const String first = UpperCase(TrimLeft(fQuery).substr(0, 6));
  if (!(first.starts_with("SELECT") || first.starts_with("WITH") || first.starts_with("VALUES")))
    DatabaseError(SSqliteNotSelect, this);
  sqlite3* handle = fDatabase->Handle();
  const char* tail = fQuery.c_str();
  const char* end = tail + fQuery.size();
  int statements = 0;
  while (tail < end) {
    sqlite3_stmt* stmt = nullptr;
    const char* next = nullptr;
    const int rc = sqlite3_prepare_v2(handle, tail, static_cast<int>(end - tail), &stmt, &next);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(stmt);
      fDatabase->RaiseError(rc);
    }
    if (stmt) {
      const bool select = sqlite3_stmt_readonly(stmt) && sqlite3_column_count(stmt) > 0;
      sqlite3_finalize(stmt);
      if (!select || ++statements > 1) DatabaseError(SSqliteNotSelect, this);
    }
    if (!next || next <= tail) break;
    tail = next;
  }
  if (statements != 1) DatabaseError(SSqliteNotSelect, this);

  TSqliteStatement st(*fDatabase, fQuery);
  const int count = st.ColumnCount();
  bool stepped = false, hasRow = false;
  for (int c = 0; c < count; ++c) {
    int size = 0;
    const String declared = st.ColumnDeclaredType(c);
    TFieldType fieldType = sqlite::FieldTypeFromDeclaredType(declared, size);
    if (declared.empty()) {
      // An expression declares nothing: its first value tells.
      if (!stepped) {
        hasRow = st.Step();
        stepped = true;
      }
      if (hasRow) {
        const Variant v = st.ColumnValue(c, ftUnknown);
        if (v.IsArray())
          fieldType = ftBlob;
        else if (VarType(v) == varInt64)
          fieldType = ftLargeint;
        else if (VarType(v) == varDouble)
          fieldType = ftFloat;
        else if (VarType(v) == varString)
          fieldType = ftString;
      }
    }
    if (fieldType == ftFMTBcd || fieldType == ftBCD) size = 8;
    // Names of a join may repeat: later ones get a suffix, as the host names them.
    String base = st.ColumnName(c);
    if (base.empty()) base = UnnamedColumnName(static_cast<std::size_t>(c));
    String name = base;
    for (int n = 1; FieldDefs().IndexOf(name) >= 0; ++n) name = base + "_" + IntToStr(n);
    FieldDefs().Add(name, fieldType, size, false);
    fColumns.push_back({name, name, fieldType, String()});  // a statement's collations are not known
  }
}

namespace {

// What a file looked like when its stored values were checked: the schema cookie, and the
// bytes that move with every commit (the header's change counter, the file's and its
// write-ahead log's sizes and times). Any difference means the decision is made again.
struct TFileStamp {
  std::int64_t SchemaVersion = 0;
  std::uint32_t ChangeCounter = 0;
  std::vector<std::int64_t> Files;
  bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const sqlite::TSqliteDatabase& db, const String& path) {
  TFileStamp stamp;
  {
    TSqliteStatement st(db, "PRAGMA schema_version");
    if (st.Step()) stamp.SchemaVersion = st.ColumnInt64(0);
  }
  if (std::ifstream file(path, std::ios::binary); file.seekg(24)) {
    unsigned char bytes[4] = {};
    if (file.read(reinterpret_cast<char*>(bytes), 4))
      stamp.ChangeCounter = (std::uint32_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
  }
  for (const String& name : {path, path + "-wal"}) {
    std::error_code error;
    const auto size = std::filesystem::file_size(name, error);
    stamp.Files.push_back(error ? -1 : static_cast<std::int64_t>(size));
    const auto time = std::filesystem::last_write_time(name, error);
    stamp.Files.push_back(error ? -1 : static_cast<std::int64_t>(time.time_since_epoch().count()));
  }
  return stamp;
}

// The storage-class decisions of the tables and statements opened in this process, kept
// between opens: checking 100,000 rows again is most of what opening a large table costs.
struct TStoredValuesMemo {
  TFileStamp Stamp;
  std::vector<TFieldType> Declared;  // the columns' types before the check
  std::vector<std::size_t> Variants; // the columns the check turned into variants
};

std::unordered_map<String, TStoredValuesMemo>& StoredValuesMemos() {
  static std::unordered_map<String, TStoredValuesMemo> memos;
  return memos;
}

constexpr std::size_t MaxStoredValuesMemos = 256;

}  // namespace

// SQLite stores any value in any column: a column whose values do not all have the kind its
// declared type names becomes a variant field, which shows each value as it is stored. The
// decision is kept per file and table (or statement) until the file's schema or data changes.
void TSqliteDataSet::CheckStoredValues() {
  const char* file = sqlite3_db_filename(fDatabase->Handle(), "main");
  const String path = file ? file : "";
  String memoKey;
  TStoredValuesMemo memo;
  if (!path.empty()) {  // a private or memory database has no file to keep it for
    memoKey = path + '\0' + (fIsTable ? "table" : "query") + '\0' + (fIsTable ? fTableName : fQuery);
    memo.Stamp = StampOf(*fDatabase, path);
    for (const TColumn& c : fColumns) memo.Declared.push_back(c.Type);
    const auto it = StoredValuesMemos().find(memoKey);
    if (it != StoredValuesMemos().end() && it->second.Stamp == memo.Stamp && it->second.Declared == memo.Declared) {
      for (const std::size_t c : it->second.Variants) MakeVariantColumn(c);
      return;
    }
  }
  auto remember = [&] {
    if (memoKey.empty()) return;
    if (StoredValuesMemos().size() >= MaxStoredValuesMemos) StoredValuesMemos().clear();
    StoredValuesMemos()[memoKey] = std::move(memo);
  };
  std::vector<std::size_t> checked;
  String tests, columns;
  for (std::size_t c = 0; c < fColumns.size(); ++c) {
    const String column = fIsTable ? QuoteIdentifier(fColumns[c].Name) : "zv_c" + IntToStr(static_cast<int>(c) + 1);
    columns += (c ? ", " : "") + column;
    if (fColumns[c].Type == ftVariant || static_cast<int>(c) == fRowIdAlias) continue;
    checked.push_back(c);
    tests += (tests.empty() ? "" : ", ") + Format("max(NOT zv_fits(%s, %d))", {column, static_cast<int>(fColumns[c].Type)});
  }
  if (checked.empty()) {
    remember();
    return;
  }
  String sql;
  if (fIsTable)
    sql = "SELECT " + tests + " FROM (SELECT " + columns + " FROM " + QuoteIdentifier(fTableName) + " LIMIT " +
          IntToStr(CheckedRows) + ")";
  else
    sql = "WITH zv_q(" + columns + ") AS (\n" + fQuery + "\n) SELECT " + tests + " FROM (SELECT * FROM zv_q LIMIT " +
          IntToStr(CheckedRows) + ")";
  TSqliteStatement st(*fDatabase, sql);
  if (st.Step()) {
    for (std::size_t i = 0; i < checked.size(); ++i) {
      if (st.ColumnInt64(static_cast<int>(i)) != 1) continue;
      MakeVariantColumn(checked[i]);
      memo.Variants.push_back(checked[i]);
    }
  }
  remember();
}

void TSqliteDataSet::MakeVariantColumn(std::size_t column) {
  fColumns[column].Type = ftVariant;
  TFieldDef* def = FieldDefs()[static_cast<int>(column)];
  def->SetDataType(ftVariant);
  def->SetSize(0);
  def->SetPrecision(0);
}

void TSqliteDataSet::CreateCursor(const String& sortFields, const String& filter, bool filtered) {
  std::vector<sqlite::TSortColumn> sort;
  for (const TSortItem& item : ParseSortString(sortFields)) {
    const auto it = std::find_if(fColumns.begin(), fColumns.end(), [&](const TColumn& c) { return AnsiSameText(c.FieldName, item.Name); });
    if (it == fColumns.end()) DatabaseError(Format(SInvalidSortField, {item.Name}), this);
    sort.push_back({static_cast<int>(it - fColumns.begin()), item.Descending});
  }
  sqlite::TSqliteSource source;
  source.IsTable = fIsTable;
  for (const TColumn& c : fColumns) {
    source.Types.push_back(c.Type);
    source.Long.push_back(IsTextType(c.Type) || IsBlobType(c.Type) || c.Type == ftVariant ? 1 : 0);
  }
  if (fIsTable) {
    source.From = QuoteIdentifier(fTableName);
    source.RowId = !fWithoutRowId;
    if (fWithoutRowId)
      for (const int c : fKeyColumns) source.IdColumns.push_back(QuoteIdentifier(fColumns[static_cast<std::size_t>(c)].Name));
    else
      source.IdColumns.push_back(fRowIdName);
    for (const TColumn& c : fColumns) source.Columns.push_back(QuoteIdentifier(c.Name));
  } else {
    // The statement's columns renamed by position: its own names may repeat or clash.
    String names;
    for (std::size_t c = 0; c < fColumns.size(); ++c) {
      source.Columns.push_back("zv_c" + IntToStr(static_cast<int>(c) + 1));
      names += (c ? ", " : "") + source.Columns.back();
    }
    source.Prefix = "WITH zv_q(" + names + ") AS (\n" + fQuery + "\n) ";
    source.From = "zv_q";
  }
  if (filtered && !Trim(filter).empty()) {
    // The condition reads the source's own column names; the marks ?1..?n come first in every
    // statement, so that the cursor's own '?' marks number after them.
    String condition;
    std::vector<String> names;
    if (!keyset::PrepareFilterText(filter, keyset::TSqlDialect::Sqlite, 1, condition, names))
      DatabaseError(SFilterNotExpression, this);
    source.Filtered = true;
    for (const String& name : names) {
      const TParam* p = fParams->ParamByName(name);
      source.FilterParams.push_back(ToSqlValue(p->Value(), p->DataType()));
    }
    if (fIsTable) {
      source.BaseFrom = source.From;
      const String all = fWithoutRowId ? String("*") : fRowIdName + " AS " + fRowIdName + ", *";
      source.Prefix = "WITH zv_f AS (SELECT " + all + " FROM " + source.From + " WHERE (" + condition + "\n)) ";
      source.From = "zv_f";
    } else {
      String names2;
      for (std::size_t c = 0; c < fColumns.size(); ++c) names2 += (c ? ", " : "") + source.Columns[c];
      source.Prefix = "WITH zv_q0 AS (\n" + fQuery + "\n), zv_q(" + names2 + ") AS (SELECT * FROM zv_q0 WHERE (" +
                      condition + "\n)) ";
    }
  }
  auto cursor = std::make_unique<TSqliteCursor>(*fDatabase, std::move(source), std::move(sort));
  if (cursor->Source().Filtered) {
    cursor->CheckSource();
  }
  fCursor = std::move(cursor);
  ++fReading;  // a query's positions now name other rows
}

// A table row's bookmark is its identity. A query row's is its position in one reading of the
// query: after a refresh or a new order the position may name another row, so an older bookmark
// is no longer valid.
TBookmarkStr TSqliteDataSet::RowBookmark(const sqlite::TSqliteId& id) const {
  if (fIsTable) return sqlite::EncodeSqliteId(id);
  return keyset::PositionBookmark(fReading, id);
}

bool TSqliteDataSet::DecodeRowBookmark(const TBookmarkStr& bookmark, sqlite::TSqliteId& id) const {
  id.clear();
  if (fIsTable) return sqlite::DecodeSqliteId(bookmark, id);
  return keyset::DecodePositionBookmark(bookmark, fReading, id);
}

void TSqliteDataSet::InternalOpen() {
  try {
    OpenDatabase();
    CreateCursor(fSortFields, fFilter, fFiltered);
  } catch (...) {
    CloseDatabase();
    throw;
  }
}

void TSqliteDataSet::InternalClose() { CloseDatabase(); }

// ---------------------------------------------------------------------------------------------
// The cursor protocol

TRecordBufferPtr TSqliteDataSet::AllocRecordBuffer() {
  auto buffer = std::make_unique<TKeysetRecordBuffer>();
  buffer->ClearValues(fColumns.size(), false);
  return buffer;
}

// Clearing an edited record clears every column; a new record writes only what is set, so
// that the table's defaults apply to the rest.
void TSqliteDataSet::InternalInitRecord(TRecordBuffer& buffer) {
  TVariantDataSet::InternalInitRecord(buffer);
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  rec.Key.clear();
  rec.KeyValid = false;
}

void TSqliteDataSet::SetBookmarkData(TRecordBuffer& buffer, const TBookmarkStr& data) {
  buffer.Bookmark = data;
  KeysetRec(buffer).KeyValid = false;
}

bool TSqliteDataSet::ReadWholeValue(const TRecordBuffer& buffer, int column, Variant& value) const {
  return keyset::TKeysetDataSetOps::ReadWholeValue(*this, buffer, column, value);
}

TGetResult TSqliteDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode, bool) {
  return keyset::ReadRecord(*fCursor, mode, BufferCount(), buffer, fColumns.size(),
                            [this](const auto& id) { return RowBookmark(id); });
}

void TSqliteDataSet::InternalSetToRecord(TRecordBuffer& buffer) {
  sqlite::TSqliteId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) return;
  fCursor->SetToRow(id, keyset::KnownKey(buffer, id, sqlite::EncodeSqliteId));
}

void TSqliteDataSet::InternalGotoBookmark(const TBookmarkStr& bookmark) {
  sqlite::TSqliteId id;
  if (!DecodeRowBookmark(bookmark, id) || !fCursor->SetToExistingRow(id)) DatabaseError(SBookmarkNotFound, this);
}

void TSqliteDataSet::InternalFirst() { fCursor->SetToBof(); }
void TSqliteDataSet::InternalLast() { fCursor->SetToEof(); }

// ---------------------------------------------------------------------------------------------
// Positions and bookmarks

int TSqliteDataSet::RecordCount() const {
  CheckActive();
  return ToInt(fCursor->Count());
}

bool TSqliteDataSet::RecordCountKnown() const { return fCursor && fCursor->CountKnown(); }
bool TSqliteDataSet::RecNoKnown() const { return keyset::TKeysetDataSetOps::RecNoKnown(*this); }

int TSqliteDataSet::RecordCountEstimate() const {
  CheckActive();
  return ToInt(fCursor->Estimate());
}

int TSqliteDataSet::RecNo() const {
  CheckActive();
  if (IsEmpty()) return 0;
  const TRecordBuffer& buffer = *ActiveBuffer();
  switch (GetBookmarkFlag(buffer)) {
    case bfBOF:
      return 1;
    case bfEOF:
      return RecordCount() + 1;
    default: {
      // An inserted record shows where it was inserted: at the record it went before.
      sqlite::TSqliteId id;
      if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) return -1;
      const std::int64_t position = fCursor->PositionOf(id, keyset::KnownKey(buffer, id, sqlite::EncodeSqliteId));
      return position < 0 ? -1 : ToInt(position + 1);
    }
  }
}

void TSqliteDataSet::SetRecNo(int value) {
  CheckActive();
  const int count = RecordCount();
  if (count == 0) return;
  value = std::clamp(value, 1, count);
  // Only a position known for free is compared: the move does not pay for a count first.
  if (State() == dsBrowse && !IsEmpty() && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent) {
    sqlite::TSqliteId current;
    if (DecodeRowBookmark(GetBookmarkData(*ActiveBuffer()), current) && fCursor->KnownPositionOf(current) == value - 1)
      return;
  }
  if (const auto id = fCursor->IdAt(value - 1)) GotoBookmark(RowBookmark(*id));
}

bool TSqliteDataSet::BookmarkValid(const TBookmarkStr& bookmark) const {
  sqlite::TSqliteId id;
  return fCursor && DecodeRowBookmark(bookmark, id) && fCursor->Exists(id);
}

// Equal bookmarks are the same row without a query; a bookmark that names no row of this
// reading sorts before every valid one.
int TSqliteDataSet::CompareBookmarks(const TBookmarkStr& a, const TBookmarkStr& b) const {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? -1 : 1);
  if (a == b) return 0;
  sqlite::TSqliteId ia, ib;
  const bool va = DecodeRowBookmark(a, ia), vb = DecodeRowBookmark(b, ib);
  if (!va || !vb) return va == vb ? (a < b ? -1 : 1) : (va ? 1 : -1);
  if (fCursor) return fCursor->Compare(ia, ib);
  return a < b ? -1 : 1;
}

// ---------------------------------------------------------------------------------------------
// Posting and deleting

// One statement, so that a failure writes nothing; the values are bound, never pasted. The row's
// identity comes back from the statement: a new or changed key is read as SQLite stored it.
sqlite::TSqliteId TSqliteDataSet::WriteRecord(TRecordBuffer& buffer, bool insert) {
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  std::vector<String> names;
  std::vector<Variant> values;
  for (std::size_t c = 0; c < fColumns.size(); ++c) {
    if (!rec.Changed[c]) continue;
    names.push_back(QuoteIdentifier(fColumns[c].Name));
    values.push_back(ToSqlValue(rec.Values[c], fColumns[c].Type));
  }
  const String table = QuoteIdentifier(fTableName);
  String returning = " RETURNING ";
  if (fWithoutRowId) {
    for (std::size_t i = 0; i < fKeyColumns.size(); ++i)
      returning += (i ? ", " : "") + QuoteIdentifier(fColumns[static_cast<std::size_t>(fKeyColumns[i])].Name);
  } else {
    returning += fRowIdName;
  }
  auto run = [&](const String& sql) {
    TSqliteStatement st(*fDatabase, sql + returning);
    st.BindAll(values);
    sqlite::TSqliteId id;
    if (st.Step())
      for (int i = 0; i < st.ColumnCount(); ++i) id.push_back(st.ColumnValue(i, ftUnknown));
    while (st.Step()) {
    }
    return id;
  };
  if (insert) {
    String sql = "INSERT INTO " + table;
    if (names.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      String columns, marks;
      for (std::size_t i = 0; i < names.size(); ++i) {
        columns += (i ? ", " : "") + names[i];
        marks += i ? ", ?" : "?";
      }
      sql += " (" + columns + ") VALUES (" + marks + ")";
    }
    return run(sql);
  }
  sqlite::TSqliteId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) DatabaseError(SRecordNotFound, this);
  if (names.empty()) return id;
  String sets;
  for (std::size_t i = 0; i < names.size(); ++i) sets += (i ? ", " : "") + names[i] + " = ?";
  values.insert(values.end(), id.begin(), id.end());
  id = run("UPDATE " + table + " SET " + sets + " WHERE " + IdCondition());
  if (id.empty()) DatabaseError(SRecordNotFound, this);  // deleted by another connection
  return id;
}

String TSqliteDataSet::IdCondition() const {
  if (!fWithoutRowId) return fRowIdName + " = ?";
  String where;
  for (std::size_t i = 0; i < fKeyColumns.size(); ++i)
    where += (i ? " AND " : "") + QuoteIdentifier(fColumns[static_cast<std::size_t>(fKeyColumns[i])].Name) + " = ?";
  return where;
}

namespace {

// The cached rows are stale after a write. When the statement wrote its one row and no trigger
// wrote others, a table's count follows from the write and is not counted again.
void ForgetAfterWrite(TSqliteCursor& cursor, const sqlite::TSqliteDatabase& db, std::int64_t changesBefore,
                      int countDelta) {
  if (db.TotalChanges() - changesBefore == 1)
    cursor.InvalidateAfterOneRow(countDelta);
  else
    cursor.Invalidate();
}

}  // namespace

// Nothing changes here before the statement succeeded: on failure the record keeps its state
// and values. Afterwards the cached rows are stale and the cursor goes to the row by rowid.
void TSqliteDataSet::InternalPost() {
  const keyset::TFlagGuard writing(fWriting);
  TDataSet::InternalPost();
  const bool insert = State() == dsInsert;
  const std::int64_t changes = fDatabase->TotalChanges();
  const sqlite::TSqliteId id = WriteRecord(*ActiveBuffer(), insert);
  fCursor->AfterWrite(id, fDatabase->TotalChanges() - changes == 1, insert ? 1 : 0);
  fCursor->ReadAround();
}

void TSqliteDataSet::InternalAddRecord(TRecordBuffer& buffer, bool) {
  const keyset::TFlagGuard writing(fWriting);
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
  TKeysetRecordBuffer& rec = KeysetRec(buffer);
  for (std::size_t c = 0; c < fColumns.size(); ++c) rec.Changed[c] = IsNullish(rec.Values[c]) ? 0 : 1;
  const std::int64_t changes = fDatabase->TotalChanges();
  const sqlite::TSqliteId id = WriteRecord(buffer, true);
  fCursor->AfterWrite(id, fDatabase->TotalChanges() - changes == 1, 1);
  fCursor->ReadAround();
}

void TSqliteDataSet::InternalDelete() {
  const keyset::TFlagGuard writing(fWriting);
  TRecordBuffer& buffer = *ActiveBuffer();
  sqlite::TSqliteId id;
  if (!DecodeRowBookmark(GetBookmarkData(buffer), id)) DatabaseError(SRecordNotFound, this);
  TSqliteStatement st(*fDatabase, "DELETE FROM " + QuoteIdentifier(fTableName) + " WHERE " + IdCondition());
  st.BindAll(id);
  const std::int64_t changes = fDatabase->TotalChanges();
  st.Step();
  if (fDatabase->Changes() == 0) DatabaseError(SRecordNotFound, this);
  // The cursor stays on the row's key, from which its neighbours are found.
  fCursor->SetToRow(id, keyset::KnownKey(buffer, id, sqlite::EncodeSqliteId));
  ForgetAfterWrite(*fCursor, *fDatabase, changes, -1);
}

void TSqliteDataSet::InternalRefresh() {
  fCursor->Invalidate();
  ++fReading;  // the rows of a query are read anew; the cursor keeps its position
}

// ---------------------------------------------------------------------------------------------
// Searching
//
// Each key field becomes a condition on its column with the key bound as a parameter. Text
// matches as TDataSet's walk matches it: by prefix for loPartialKey, through the host's case
// folding for loCaseInsensitive; other kinds compare as SQLite compares the stored value.

bool TSqliteDataSet::FindRow(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options,
                             TSqliteRow& row) {
  sqlite::TSqliteCondition condition;
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
      condition.Params.push_back(ToSqlValue(key, info.Type));
      continue;
    }
    const bool caseless = options.Contains(loCaseInsensitive);
    const String text = caseless ? AnsiLowerCase(VarToStr(key)) : VarToStr(key);
    const String value = caseless ? "zv_lower(" + expr + ")" : expr;
    if (!options.Contains(loPartialKey)) {
      parts.push_back(value + " = ?");
      condition.Params.push_back(Variant(text));
      continue;
    }
    if (!caseless && SameText(info.Collation, "BINARY")) {
      // Every text that starts with the key lies in [key, key + 0xF5): no UTF-8 byte is that
      // high. The range lets an index on the column find the candidates.
      parts.push_back(expr + " >= ? AND " + expr + " < ?");
      condition.Params.push_back(Variant(text));
      condition.Params.push_back(Variant(text + "\xF5"));
    }
    parts.push_back("substr(" + value + ", 1, ?) = ?");
    condition.Params.push_back(Variant(CharCount(text)));
    condition.Params.push_back(Variant(text));
  }
  for (const String& p : parts) condition.Where += (condition.Where.empty() ? "" : " AND ") + p;
  auto found = fCursor->FindFirst(condition);
  if (!found) return false;
  row = std::move(*found);
  return true;
}

bool TSqliteDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  const std::vector<TField*> fields = GetFieldList(keyFields);
  if (std::any_of(fields.begin(), fields.end(), [this](const TField* f) { return ColumnOf(f) < 0; }))
    return TDataSet::Locate(keyFields, keyValues, options);
  if (BeforeScroll) BeforeScroll(this);
  if (fields.empty() || IsEmpty()) return false;
  TSqliteRow row;
  if (!FindRow(fields, keyValues, options, row)) return false;
  fCursor->SetToRow(std::move(row));
  Resync({rmExact, rmCenter});
  if (AfterScroll) AfterScroll(this);
  return true;
}

Variant TSqliteDataSet::ReadByKey(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  if (!fCursor) return TDataSet::ReadByKey(keyFields, keyValues, resultFields);
  const std::vector<TField*> keys = GetFieldList(keyFields);
  const std::vector<TField*> results = GetFieldList(resultFields);
  auto noColumn = [this](const TField* f) { return ColumnOf(f) < 0; };
  if (std::any_of(keys.begin(), keys.end(), noColumn) || std::any_of(results.begin(), results.end(), noColumn))
    return TDataSet::ReadByKey(keyFields, keyValues, resultFields);
  TSqliteRow row;
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

String TSqliteDataSet::DataIdentity() const {
  if (fFileName.empty()) return {};
  return "sqlite:" + fFileName + (fSQL.empty() ? "|table:" + fTableName : "|sql:" + fSQL);
}

bool TSqliteDataSet::BookmarkNumber(const TBookmarkStr& bookmark, std::int64_t& number) const {
  if (!fIsTable) return keyset::TKeysetDataSetOps::QueryNumber(*this, bookmark, number);
  return !fWithoutRowId && DecodeIntegerBookmark(bookmark, number);
}

TBookmarkStr TSqliteDataSet::NumberBookmark(std::int64_t number) const {
  return fIsTable ? IntegerBookmark(number) : keyset::PositionBookmark(fReading, keyset::IdOfNumber(number));
}

void TSqliteDataSet::BookmarkSetAddRange(TBookmarkSet& set, const TBookmarkStr& from, const TBookmarkStr& to) {
  keyset::TKeysetDataSetOps::SetAddRange(*this, set, from, to);
}

std::int64_t TSqliteDataSet::BookmarkRank(const TBookmarkStr& bookmark) {
  return keyset::TKeysetDataSetOps::Rank(*this, bookmark);
}

void TSqliteDataSet::BookmarkSetItems(const TBookmarkSet& set, std::int64_t skip, std::size_t count,
                                      const TBookmarkStr& after, std::vector<TBookmarkStr>& into) {
  keyset::TKeysetDataSetOps::SetItems(*this, set, skip, count, after, into);
}

void TSqliteDataSet::BookmarkSetPurge(TBookmarkSet& set) { keyset::TKeysetDataSetOps::SetPurge(*this, set); }

// A rowid table's runs go as ranges of rowids, other members one statement each, all in one
// transaction that a failure rolls back whole.
void TSqliteDataSet::BookmarkSetDelete(TBookmarkSet& set) {
  keyset::TKeysetDataSetOps::SetDelete(*this, set, [&] {
    fDatabase->Execute("BEGIN IMMEDIATE");
    try {
      const String table = QuoteIdentifier(fTableName);
      if (!fWithoutRowId) {
        TSqliteStatement range(*fDatabase, "DELETE FROM " + table + " WHERE " + fRowIdName + " BETWEEN ? AND ?");
        set.EachRun([&](std::int64_t first, std::int64_t last) {
          range.BindAll({Variant(first), Variant(last)});
          range.Step();
          range.Reset();
        });
      }
      TSqliteStatement one(*fDatabase, "DELETE FROM " + table + " WHERE " + IdCondition());
      set.EachBytes([&](const TBookmarkStr& bookmark) {
        sqlite::TSqliteId id;
        if (!DecodeRowBookmark(bookmark, id)) return;
        one.BindAll(id);
        one.Step();
        one.Reset();
      });
      fDatabase->Execute("COMMIT");
    } catch (...) {
      try {
        fDatabase->Execute("ROLLBACK");
      } catch (...) {
        // The transaction is gone already; the first error is the one to report.
      }
      throw;
    }
  });
}

// A text (or variant) field whose text is its stored value (no handler changes it) is searched by one
// statement; the rows after the current one are the keyset's ranges after it, so an index on
// the order still serves the start. Anything else walks.
TPrefixSearchResult TSqliteDataSet::FindPrefix(TField& field, TFieldTextKind kind, const String& key, bool forward,
                                               TPrefixSearchFrom from) {
  (void)kind;  // a text field's display, edit and value texts are one
  CheckBrowseMode();
  const int column = ColumnOf(&field);
  // A variant column holds values of mixed storage classes, each read as its own text.
  if (column < 0 || field.OnGetText || field.DataSet() != this) return psrCannot;
  const TFieldType type = fColumns[static_cast<std::size_t>(column)].Type;
  if (!IsTextType(type) && type != ftVariant) return psrCannot;
  if (IsEmpty()) return psrNotFound;
  sqlite::TSqliteCondition condition;
  condition.Where = "zv_prefix(" + fCursor->Source().Columns[static_cast<std::size_t>(column)] + ", ?)";
  condition.Params.push_back(Variant(key));
  sqlite::TSqliteId current;
  const bool onRow = from != psfEdge && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent &&
                     DecodeRowBookmark(GetBookmarkData(*ActiveBuffer()), current);
  auto found = fCursor->FindNearest(condition, !forward, onRow ? &current : nullptr,
                                    onRow ? keyset::KnownKey(*ActiveBuffer(), current, sqlite::EncodeSqliteId) : nullptr,
                                    from == psfCurrent);
  if (!found) return psrNotFound;
  if (BeforeScroll) BeforeScroll(this);
  fCursor->SetToRow(std::move(*found));
  Resync({rmExact, rmCenter});
  if (AfterScroll) AfterScroll(this);
  return psrFound;
}

}  // namespace zv
