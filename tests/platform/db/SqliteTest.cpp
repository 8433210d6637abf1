// The SQLite layer: errors carry SQLite's message, identifiers are quoted, values keep their
// kinds, and declared types map to field types.

#include "platform/db/Sqlite.h"

#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

using namespace zv;
using namespace zv::sqlite;

TEST(Sqlite, ValuesRoundTripWithTheirKinds) {
  TSqliteDatabase db(":memory:");
  db.Execute("CREATE TABLE t (i INTEGER, f REAL, s VARCHAR(20), b BOOLEAN, d DATETIME, x BLOB, m DECIMAL(10,2))");
  TSqliteStatement insert(db, "INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?)");
  const TDateTime when = EncodeDate(1850, 6, 1) + EncodeTime(13, 5, 7, 250);
  const std::uint8_t bytes[] = {0, 1, 255};
  insert.BindAll({Variant(INT64_C(9007199254740993)), Variant(0.1), Variant(String("Grüße 😀")), Variant(true),
                  Variant(when), VarArrayOfBytes(bytes), VarFMTBcdCreate("12345678.91", 10, 2)});
  EXPECT_FALSE(insert.Step());
  EXPECT_EQ(db.Changes(), 1);

  TSqliteStatement select(db, "SELECT i, f, s, b, d, x, m FROM t");
  ASSERT_TRUE(select.Step());
  EXPECT_EQ(select.ColumnValue(0, ftLargeint).AsInt64(), INT64_C(9007199254740993));
  EXPECT_EQ(select.ColumnValue(1, ftFloat).AsDouble(), 0.1);
  EXPECT_EQ(select.ColumnValue(2, ftString).AsString(), "Grüße 😀");
  EXPECT_TRUE(select.ColumnValue(3, ftBoolean).AsBoolean());
  EXPECT_NEAR(select.ColumnValue(4, ftDateTime).AsDateTime().Value, when.Value, 1e-9);
  const Variant blob = select.ColumnValue(5, ftBlob);
  ASSERT_TRUE(VarIsArray(blob));
  EXPECT_EQ(std::vector<std::uint8_t>(blob.Bytes().begin(), blob.Bytes().end()), (std::vector<std::uint8_t>{0, 1, 255}));
  EXPECT_EQ(VarToStr(select.ColumnValue(6, ftFMTBcd)), "12345678.91");
  EXPECT_EQ(select.ColumnDeclaredType(2), "VARCHAR(20)");
  EXPECT_FALSE(select.Step());
}

TEST(Sqlite, ErrorsCarrySqlitesMessageAndLeaveStatementsUsable) {
  TSqliteDatabase db(":memory:");
  db.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE)");
  try {
    db.Execute("SELECT * FROM missing");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "no such table: missing");
  }
  TSqliteStatement insert(db, "INSERT INTO t (name) VALUES (?)");
  insert.Bind(1, Variant(String("a")));
  insert.Step();
  insert.Reset();
  insert.Bind(1, Variant(String("a")));
  try {
    insert.Step();
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "UNIQUE constraint failed: t.name");
  }
  insert.Reset();
  insert.Bind(1, Variant(String("b")));
  EXPECT_NO_THROW(insert.Step());
  EXPECT_EQ(db.LastInsertRowId(), 2);
  EXPECT_THROW(TSqliteDatabase("/nonexistent/dir/x.db"), EDatabaseError);
}

TEST(Sqlite, IdentifiersAreQuotedNotPasted) {
  EXPECT_EQ(QuoteIdentifier("Name"), "\"Name\"");
  EXPECT_EQ(QuoteIdentifier("a\"; DROP TABLE t; --"), "\"a\"\"; DROP TABLE t; --\"");
  TSqliteDatabase db(":memory:");
  db.Execute("CREATE TABLE \"odd \"\"name\" (\"x y\" INT)");
  EXPECT_TRUE(db.TableExists("odd \"name"));
  const auto columns = db.TableColumns("odd \"name");
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns[0].Name, "x y");
  EXPECT_TRUE(db.TableColumns("nope\"); DROP TABLE x; --").empty());
  EXPECT_EQ(db.TableNames(), std::vector<String>{"odd \"name"});
}

TEST(Sqlite, DeclaredTypesMapToFieldTypes) {
  struct TCase {
    const char* Declared;
    TFieldType Type;
    int Size;
  };
  const TCase cases[] = {
      {"VARCHAR(40)", ftString, 40},   {"TEXT", ftString, 0},           {"text (12)", ftString, 12},
      {"NVARCHAR( 8 )", ftString, 8},  {"CLOB", ftMemo, 0},             {"integer", ftLargeint, 0},
      {"INT", ftInteger, 0},           {"UNSIGNED INT", ftInteger, 0},  {"SMALLINT", ftSmallint, 0},
      {"BOOLEAN", ftBoolean, 0},       {"DATE", ftDate, 0},             {"DATETIME", ftDateTime, 0},
      {"TIME", ftTime, 0},             {"DOUBLE  PRECISION", ftFloat, 0}, {"DECIMAL(10,2)", ftFMTBcd, 10},
      {"MONEY", ftCurrency, 0},        {"BLOB", ftBlob, 0},
      // Names of the application's own, or none, promise nothing about what is stored.
      {"", ftVariant, 0},              {"INTEGER_OR_TEXT", ftVariant, 0}, {"FLOATING POINT", ftVariant, 0},
      {"STRING", ftVariant, 0},        {"JSON", ftVariant, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Declared);
    int size = -1;
    EXPECT_EQ(FieldTypeFromDeclaredType(c.Declared, size), c.Type);
    EXPECT_EQ(size, c.Size);
  }
}

// A value of another storage class than its column's type is given as stored, not converted.
TEST(Sqlite, ValuesThatDoNotFitTheirTypeReadAsStored) {
  TSqliteDatabase db(":memory:");
  db.Execute("CREATE TABLE t (i INTEGER, n INT, r REAL, d DATE, b BOOLEAN, s VARCHAR(9));"
             "INSERT INTO t VALUES ('1_Ceres', 3000000000, 'big', 'soon', 'maybe', x'41');"
             "INSERT INTO t VALUES (7, 7, 2, '2024-01-02', 1, 'ok')");
  TSqliteStatement st(db, "SELECT i, n, r, d, b, s FROM t");
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(st.ColumnValue(0, ftLargeint).AsString(), "1_Ceres");
  EXPECT_EQ(st.ColumnValue(1, ftInteger).AsInt64(), INT64_C(3000000000));
  EXPECT_EQ(st.ColumnValue(2, ftFloat).AsString(), "big");
  EXPECT_EQ(st.ColumnValue(3, ftDate).AsString(), "soon");
  EXPECT_EQ(st.ColumnValue(4, ftBoolean).AsString(), "maybe");
  EXPECT_TRUE(VarIsArray(st.ColumnValue(5, ftString)));
  ASSERT_TRUE(st.Step());
  EXPECT_EQ(VarType(st.ColumnValue(0, ftLargeint)), varInt64);
  EXPECT_EQ(VarType(st.ColumnValue(1, ftInteger)), varInteger);
  EXPECT_EQ(st.ColumnValue(2, ftFloat).AsDouble(), 2.0);
  EXPECT_EQ(st.ColumnValue(3, ftDate).AsDateTime().Value, EncodeDate(2024, 1, 2).Value);
  EXPECT_TRUE(st.ColumnValue(4, ftBoolean).AsBoolean());
}

TEST(Sqlite, DateTextParsesSqliteForms) {
  TDateTime v;
  ASSERT_TRUE(SqlTextToDateTime("2024-02-29 23:59:59.999", v));
  EXPECT_EQ(DateTimeToSqlText(v, ftDateTime), "2024-02-29 23:59:59.999");
  ASSERT_TRUE(SqlTextToDateTime("1899-12-29T06:00", v));
  EXPECT_DOUBLE_EQ(v.Value, -1.25);
  ASSERT_TRUE(SqlTextToDateTime("12:30:00", v));
  EXPECT_DOUBLE_EQ(v.Value, 0.5208333333333334);
  EXPECT_FALSE(SqlTextToDateTime("2023-02-29", v));
  EXPECT_FALSE(SqlTextToDateTime("yesterday", v));
  EXPECT_FALSE(SqlTextToDateTime("2024-01-01 25:00", v));
}
