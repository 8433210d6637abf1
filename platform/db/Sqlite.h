#pragma once
// A thin, safe layer over SQLite's C API for the SQLite dataset: connections and statements as
// owning handles, values exchanged as Variants, every failure raised as EDatabaseError with
// SQLite's own message, identifiers always quoted, and the mapping from declared column types to
// field types.

#include "platform/db/DBTypes.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct sqlite3_value;

namespace zv::sqlite {

class TSqliteStatement;

struct TColumnInfo {
  String Name;
  String DeclaredType;
  bool NotNull = false;
  int PrimaryKeyOrder = 0;  // 1-based position in the primary key; 0 when not part of it
};

class TSqliteDatabase {
public:
  // Opens (and, unless readOnly, creates) the database file; ":memory:" is a private database.
  explicit TSqliteDatabase(const String& fileName, bool readOnly = false);
  ~TSqliteDatabase();
  TSqliteDatabase(const TSqliteDatabase&) = delete;
  TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

  sqlite3* Handle() const { return fDb; }
  const String& FileName() const { return fFileName; }
  // Runs statements that return no rows (several may be separated by ';').
  void Execute(std::string_view sql);
  std::int64_t LastInsertRowId() const;
  int Changes() const;
  // Rows written since the connection opened, by statements and the triggers they fired.
  std::int64_t TotalChanges() const;
  void SetBusyTimeout(int milliseconds);
  std::vector<String> TableNames() const;
  std::vector<TColumnInfo> TableColumns(std::string_view table) const;
  bool TableExists(std::string_view table) const;
  // Raises EDatabaseError with SQLite's message for the result code.
  [[noreturn]] void RaiseError(int resultCode) const;

private:
  sqlite3* fDb = nullptr;
  String fFileName;
};

class TSqliteStatement {
public:
  TSqliteStatement(const TSqliteDatabase& db, std::string_view sql);
  ~TSqliteStatement();
  TSqliteStatement(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(const TSqliteStatement&) = delete;

  // Binds a value to a 1-based parameter: Null and Empty as NULL, booleans as 0/1, integers,
  // floats, currency as a float, dates as ISO-8601 text, strings, byte arrays as blobs.
  void Bind(int index, const Variant& value);
  void BindAll(const std::vector<Variant>& values);
  int ParameterCount() const;
  // A 1-based parameter's name as written (":name", "?3"); empty for a bare "?".
  String ParameterName(int index) const;
  // Advances to the next row; false when there are no more.
  bool Step();
  void Reset();
  int ColumnCount() const;
  String ColumnName(int column) const;
  String ColumnDeclaredType(int column) const;  // empty for expressions
  bool ColumnIsNull(int column) const;
  int ColumnStorage(int column) const;  // SQLITE_INTEGER, SQLITE_TEXT, ...
  std::int64_t ColumnInt64(int column) const;
  double ColumnDouble(int column) const;
  String ColumnText(int column) const;
  std::vector<std::uint8_t> ColumnBlob(int column) const;
  // The column as the Variant kind the field type uses (Null for SQL NULL).
  Variant ColumnValue(int column, TFieldType type) const;

private:
  const TSqliteDatabase& fDb;
  sqlite3_stmt* fStmt = nullptr;
};

// "name" with embedded quotes doubled: the only way identifiers enter SQL text.
String QuoteIdentifier(std::string_view name);

// The field type (and size for strings) of a declared column type: the usual SQL type names
// (TEXT and VARCHAR(n) are strings, CLOB a memo) and the common BOOLEAN, DATE, DATETIME, TIME,
// CURRENCY, DECIMAL(p,s); any other name, or none, is ftVariant, which shows values as stored.
TFieldType FieldTypeFromDeclaredType(std::string_view declaredType, int& size);
// Whether a stored value reads as a field of the type without changing (NULL always does).
bool StoredValueFits(sqlite3_value* value, TFieldType type);

// Dates travel as SQLite's ISO-8601 text.
String DateTimeToSqlText(TDateTime value, TFieldType type);
bool SqlTextToDateTime(std::string_view text, TDateTime& value);

}  // namespace zv::sqlite
