#include "platform/db/Sqlite.h"

#include "platform/rtl/Bcd.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/SqlTimeStamp.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>

namespace zv::sqlite {

namespace {

TFormatSettings InvariantSettings() {
  TFormatSettings fs;
  fs.DecimalSeparator = '.';
  fs.ThousandSeparator = ',';
  return fs;
}

int ParseDigits(std::string_view text, std::size_t& pos, int count) {
  int value = 0;
  for (int i = 0; i < count; ++i, ++pos) {
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return -1;
    value = value * 10 + (text[pos] - '0');
  }
  return value;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TSqliteDatabase::TSqliteDatabase(const String& fileName, bool readOnly) : fFileName(fileName) {
  const int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  const int rc = sqlite3_open_v2(fileName.c_str(), &fDb, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const String message = fDb ? sqlite3_errmsg(fDb) : sqlite3_errstr(rc);
    sqlite3_close(fDb);
    fDb = nullptr;
    throw EDatabaseError(message);
  }
  sqlite3_extended_result_codes(fDb, 1);
}

TSqliteDatabase::~TSqliteDatabase() { sqlite3_close_v2(fDb); }

void TSqliteDatabase::RaiseError(int resultCode) const {
  // A statement stopped by sqlite3_interrupt or a progress handler is a cancellation.
  if (resultCode == SQLITE_INTERRUPT || (fDb && sqlite3_errcode(fDb) == SQLITE_INTERRUPT)) Abort();
  const char* message = fDb ? sqlite3_errmsg(fDb) : nullptr;
  throw EDatabaseError(message && *message ? message : sqlite3_errstr(resultCode));
}

void TSqliteDatabase::Execute(std::string_view sql) {
  const String text(sql);
  char* error = nullptr;
  const int rc = sqlite3_exec(fDb, text.c_str(), nullptr, nullptr, &error);
  if (rc != SQLITE_OK) {
    const String message = error ? error : sqlite3_errstr(rc);
    sqlite3_free(error);
    throw EDatabaseError(message);
  }
}

std::int64_t TSqliteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(fDb); }
int TSqliteDatabase::Changes() const { return sqlite3_changes(fDb); }
std::int64_t TSqliteDatabase::TotalChanges() const { return sqlite3_total_changes64(fDb); }
void TSqliteDatabase::SetBusyTimeout(int milliseconds) { sqlite3_busy_timeout(fDb, milliseconds); }

std::vector<String> TSqliteDatabase::TableNames() const {
  std::vector<String> names;
  TSqliteStatement st(*this, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name");
  while (st.Step()) names.push_back(st.ColumnText(0));
  return names;
}

bool TSqliteDatabase::TableExists(std::string_view table) const {
  TSqliteStatement st(*this, "SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?");
  st.Bind(1, Variant(String(table)));
  return st.Step();
}

std::vector<TColumnInfo> TSqliteDatabase::TableColumns(std::string_view table) const {
  std::vector<TColumnInfo> columns;
  // The pragma takes the name as a quoted identifier, never as pasted text.
  TSqliteStatement st(*this, "PRAGMA table_info(" + QuoteIdentifier(table) + ")");
  while (st.Step()) {
    TColumnInfo c;
    c.Name = st.ColumnText(1);
    c.DeclaredType = st.ColumnText(2);
    c.NotNull = st.ColumnInt64(3) != 0;
    c.PrimaryKeyOrder = static_cast<int>(st.ColumnInt64(5));
    columns.push_back(std::move(c));
  }
  return columns;
}

// ---------------------------------------------------------------------------------------------

TSqliteStatement::TSqliteStatement(const TSqliteDatabase& db, std::string_view sql) : fDb(db) {
  const int rc = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &fStmt, nullptr);
  if (rc != SQLITE_OK) db.RaiseError(rc);
  if (!fStmt) throw EDatabaseError("Empty SQL statement");
}

TSqliteStatement::~TSqliteStatement() { sqlite3_finalize(fStmt); }

void TSqliteStatement::Bind(int index, const Variant& value) {
  int rc = SQLITE_OK;
  const TVarType type = VarType(value);
  if (VarIsArray(value)) {
    const auto bytes = value.Bytes();
    // An empty vector's data may be null, which SQLite would bind as NULL: empty is not NULL.
    rc = bytes.empty() ? sqlite3_bind_zeroblob(fStmt, index, 0)
                       : sqlite3_bind_blob64(fStmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
  } else {
    switch (type & varTypeMask) {
      case varEmpty:
      case varNull:
        rc = sqlite3_bind_null(fStmt, index);
        break;
      case varBoolean:
        rc = sqlite3_bind_int(fStmt, index, value.AsBoolean() ? 1 : 0);
        break;
      case varSmallint:
      case varInteger:
      case varShortInt:
      case varByte:
      case varWord:
      case varLongWord:
      case varInt64:
        rc = sqlite3_bind_int64(fStmt, index, value.AsInt64());
        break;
      case varSingle:
      case varDouble:
      case varCurrency:
        rc = sqlite3_bind_double(fStmt, index, value.AsDouble());
        break;
      case varDate: {
        const String text = DateTimeToSqlText(value.AsDateTime(), ftDateTime);
        rc = sqlite3_bind_text(fStmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        break;
      }
      default: {
        String text;
        if (type == varFMTBcd)
          text = BcdToStr(value.AsBcd(), InvariantSettings());
        else if (type == varSQLTimeStamp)
          text = DateTimeToSqlText(SQLTimeStampToDateTime(value.AsSQLTimeStamp()), ftDateTime);
        else
          text = value.AsString();
        rc = sqlite3_bind_text64(fStmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
      }
    }
  }
  if (rc != SQLITE_OK) fDb.RaiseError(rc);
}

void TSqliteStatement::BindAll(const std::vector<Variant>& values) {
  for (std::size_t i = 0; i < values.size(); ++i) Bind(static_cast<int>(i) + 1, values[i]);
}

int TSqliteStatement::ParameterCount() const { return sqlite3_bind_parameter_count(fStmt); }

String TSqliteStatement::ParameterName(int index) const {
  const char* name = sqlite3_bind_parameter_name(fStmt, index);
  return name ? String(name) : String();
}

bool TSqliteStatement::Step() {
  const int rc = sqlite3_step(fStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(fStmt);  // leaves the statement usable after a constraint failure
  fDb.RaiseError(rc);
}

void TSqliteStatement::Reset() {
  sqlite3_reset(fStmt);
  sqlite3_clear_bindings(fStmt);
}

int TSqliteStatement::ColumnCount() const { return sqlite3_column_count(fStmt); }

String TSqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(fStmt, column);
  return name ? name : "";
}

String TSqliteStatement::ColumnDeclaredType(int column) const {
  const char* type = sqlite3_column_decltype(fStmt, column);
  return type ? type : "";
}

bool TSqliteStatement::ColumnIsNull(int column) const { return sqlite3_column_type(fStmt, column) == SQLITE_NULL; }
int TSqliteStatement::ColumnStorage(int column) const { return sqlite3_column_type(fStmt, column); }
std::int64_t TSqliteStatement::ColumnInt64(int column) const { return sqlite3_column_int64(fStmt, column); }
double TSqliteStatement::ColumnDouble(int column) const { return sqlite3_column_double(fStmt, column); }

String TSqliteStatement::ColumnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(fStmt, column));
  return text ? String(text, static_cast<std::size_t>(sqlite3_column_bytes(fStmt, column))) : String();
}

std::vector<std::uint8_t> TSqliteStatement::ColumnBlob(int column) const {
  const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(fStmt, column));
  const int size = sqlite3_column_bytes(fStmt, column);
  return data ? std::vector<std::uint8_t>(data, data + size) : std::vector<std::uint8_t>();
}

Variant TSqliteStatement::ColumnValue(int column, TFieldType type) const {
  const int storage = sqlite3_column_type(fStmt, column);
  if (storage == SQLITE_NULL) return Variant::Null();
  // A value of another kind than its column's is given as stored, never converted to a
  // different one ("1_Ceres" is not 1).
  if (type != ftUnknown && !StoredValueFits(sqlite3_column_value(fStmt, column), type)) type = ftUnknown;
  switch (type) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: {
      const auto v = ColumnInt64(column);
      if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int>(v));
      return Variant(v);
    }
    case ftLargeint:
      return Variant(ColumnInt64(column));
    case ftBoolean:
      if (storage == SQLITE_TEXT) {
        const String t = ColumnText(column);
        return Variant(SameText(t, "true") || SameText(t, "yes") || SameText(t, "t") || t == "1");
      }
      return Variant(ColumnInt64(column) != 0);
    case ftFloat:
    case ftCurrency:
      return Variant(ColumnDouble(column));
    case ftBCD:
    case ftFMTBcd: {
      TBcd bcd;
      if (TryStrToBcd(ColumnText(column), bcd, InvariantSettings())) {
        if (type == ftBCD) {
          Currency c;
          if (BCDToCurr(bcd, c)) return Variant(c);
        }
        return VarFMTBcdCreate(bcd);
      }
      return Variant(ColumnDouble(column));
    }
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      TDateTime dt;
      if (storage == SQLITE_TEXT) {
        if (!SqlTextToDateTime(ColumnText(column), dt)) return Variant::Null();
      } else if (storage == SQLITE_INTEGER) {
        dt = TDateTime(static_cast<double>(ColumnInt64(column)) / 86400.0 + 25569.0);  // Unix seconds
      } else {
        dt = TDateTime(ColumnDouble(column) - 2415018.5);  // Julian day number
      }
      if (type == ftTimeStamp) return VarSQLTimeStampCreate(DateTimeToSQLTimeStamp(dt));
      return Variant(dt);
    }
    case ftBlob:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary: {
      const auto bytes = ColumnBlob(column);
      return VarArrayOfBytes(bytes);
    }
    default:
      break;
  }
  switch (storage) {
    case SQLITE_INTEGER: return Variant(ColumnInt64(column));
    case SQLITE_FLOAT: return Variant(ColumnDouble(column));
    case SQLITE_BLOB: return VarArrayOfBytes(ColumnBlob(column));
    default: return Variant(ColumnText(column));
  }
}

// ---------------------------------------------------------------------------------------------

String QuoteIdentifier(std::string_view name) {
  String out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

// The usual type names of SQL as SQLite's documentation lists them, and the few date, boolean
// and money names applications write. Anything else (a name of the application's own, or none)
// promises nothing about what is stored and becomes a variant field.
TFieldType FieldTypeFromDeclaredType(std::string_view declaredType, int& size) {
  size = 0;
  String upper = UpperCase(Trim(declaredType));
  // A size in parentheses: VARCHAR(40), DECIMAL(10,2).
  if (const auto open = upper.find('('); open != String::npos) {
    std::size_t pos = open + 1;
    int n = 0;
    while (pos < upper.size() && upper[pos] == ' ') ++pos;
    while (pos < upper.size() && upper[pos] >= '0' && upper[pos] <= '9' && n < 100000000) n = n * 10 + (upper[pos++] - '0');
    size = n;
    upper = TrimRight(std::string_view(upper).substr(0, open));
  }
  // One space between words: "DOUBLE   PRECISION".
  String name;
  for (char c : upper) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (!name.empty() && name.back() != ' ') name += ' ';
    } else {
      name += c;
    }
  }
  if (name.starts_with("UNSIGNED ") && name != "UNSIGNED BIG INT") name.erase(0, 9);
  struct TName {
    const char* Name;
    TFieldType Type;
  };
  static constexpr TName names[] = {
      {"INTEGER", ftLargeint},  // SQLite integers are 64-bit
      {"BIGINT", ftLargeint},       {"INT8", ftLargeint},        {"UNSIGNED BIG INT", ftLargeint},
      {"INT", ftInteger},           {"MEDIUMINT", ftInteger},    {"INT4", ftInteger},
      {"SMALLINT", ftSmallint},     {"TINYINT", ftSmallint},     {"INT2", ftSmallint},
      {"TEXT", ftString},           {"CHAR", ftString},          {"VARCHAR", ftString},
      {"CHARACTER", ftString},      {"VARYING CHARACTER", ftString}, {"CHARACTER VARYING", ftString},
      {"NCHAR", ftString},          {"NATIVE CHARACTER", ftString}, {"NVARCHAR", ftString},
      {"CLOB", ftMemo},             {"BLOB", ftBlob},
      {"REAL", ftFloat},            {"DOUBLE", ftFloat},         {"DOUBLE PRECISION", ftFloat},
      {"FLOAT", ftFloat},           {"NUMERIC", ftFMTBcd},       {"DECIMAL", ftFMTBcd},
      {"MONEY", ftCurrency},        {"CURRENCY", ftCurrency},    {"BOOLEAN", ftBoolean},
      {"BOOL", ftBoolean},          {"DATE", ftDate},            {"DATETIME", ftDateTime},
      {"TIMESTAMP", ftDateTime},    {"TIME", ftTime},
  };
  for (const TName& n : names) {
    if (name != n.Name) continue;
    if (n.Type != ftString && n.Type != ftFMTBcd) size = 0;
    return n.Type;
  }
  size = 0;
  return ftVariant;
}

// Whether a stored value reads as the field type without changing: the storage classes each
// type keeps, integers within the type's range, and texts that parse completely.
bool StoredValueFits(sqlite3_value* value, TFieldType type) {
  const int storage = sqlite3_value_type(value);
  if (storage == SQLITE_NULL) return true;
  auto text = [value] {
    const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(value)));
  };
  switch (type) {
    case ftSmallint: {
      if (storage != SQLITE_INTEGER) return false;
      const auto v = sqlite3_value_int64(value);
      return v >= INT16_MIN && v <= INT16_MAX;
    }
    case ftInteger:
    case ftWord:
    case ftAutoInc: {
      if (storage != SQLITE_INTEGER) return false;
      const auto v = sqlite3_value_int64(value);
      return v >= INT32_MIN && v <= INT32_MAX;
    }
    case ftLargeint:
      return storage == SQLITE_INTEGER;
    case ftFloat:
    case ftCurrency:
      return storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
    case ftBCD:
    case ftFMTBcd: {
      if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) return true;
      TBcd bcd;
      return storage == SQLITE_TEXT && TryStrToBcd(String(text()), bcd, InvariantSettings());
    }
    case ftBoolean:
      if (storage == SQLITE_INTEGER) {
        const auto v = sqlite3_value_int64(value);
        return v == 0 || v == 1;
      }
      if (storage == SQLITE_TEXT) {
        const String t(text());
        for (const char* word : {"true", "false", "yes", "no", "t", "f"})
          if (SameText(t, word)) return true;
      }
      return false;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT) return true;
      TDateTime dt;
      return storage == SQLITE_TEXT && SqlTextToDateTime(text(), dt);
    }
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo:
      return storage == SQLITE_TEXT;
    case ftBlob:
    case ftGraphic:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
      return storage == SQLITE_BLOB;
    default:
      return true;
  }
}

String DateTimeToSqlText(TDateTime value, TFieldType type) {
  std::uint16_t y, m, d, h, n, s, ms;
  DecodeDateTime(value, y, m, d, h, n, s, ms);
  char buf[80];  // room for any 16-bit fields, though decoded values are in range
  if (type == ftDate)
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u", y, m, d);
  else if (type == ftTime)
    std::snprintf(buf, sizeof buf, "%02u:%02u:%02u", h, n, s);
  else if (ms)
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", y, m, d, h, n, s, ms);
  else
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u", y, m, d, h, n, s);
  return buf;
}

bool SqlTextToDateTime(std::string_view text, TDateTime& value) {
  std::size_t pos = 0;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
  bool hasDate = false;
  if (text.size() >= 10 && text[4] == '-') {
    y = ParseDigits(text, pos, 4);
    ++pos;
    mo = ParseDigits(text, pos, 2);
    if (pos >= text.size() || text[pos] != '-') return false;
    ++pos;
    d = ParseDigits(text, pos, 2);
    if (y < 0 || mo < 0 || d < 0) return false;
    hasDate = true;
    if (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T')) ++pos;
  }
  if (pos < text.size()) {
    h = ParseDigits(text, pos, 2);
    if (h < 0 || pos >= text.size() || text[pos] != ':') return false;
    ++pos;
    mi = ParseDigits(text, pos, 2);
    if (mi < 0) return false;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      s = ParseDigits(text, pos, 2);
      if (s < 0) return false;
      if (pos < text.size() && text[pos] == '.') {
        ++pos;
        int scale = 100;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
          ms += (text[pos++] - '0') * scale;
          scale /= 10;
        }
      }
    }
    // A zone suffix (Z, +hh:mm) is accepted and ignored: values are local as written.
    if (pos < text.size() && text[pos] != 'Z' && text[pos] != '+' && text[pos] != '-') return false;
  }
  TDateTime date = 0, time = 0;
  if (hasDate && !TryEncodeDate(y, mo, d, date)) return false;
  if (!TryEncodeTime(h, mi, s, ms, time)) return false;
  value = hasDate ? ComposeDateTime(date, time) : time;
  return true;
}

}  // namespace zv::sqlite
