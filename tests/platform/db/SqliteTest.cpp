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
  int size = -1;
  EXPECT_EQ(FieldTypeFromDeclaredType("VARCHAR(40)", size), ftString);
  EXPECT_EQ(size, 40);
  EXPECT_EQ(FieldTypeFromDeclaredType("TEXT", size), ftMemo);
  EXPECT_EQ(FieldTypeFromDeclaredType("integer", size), ftLargeint);
  EXPECT_EQ(FieldTypeFromDeclaredType("INT", size), ftInteger);
  EXPECT_EQ(FieldTypeFromDeclaredType("SMALLINT", size), ftSmallint);
  EXPECT_EQ(FieldTypeFromDeclaredType("BOOLEAN", size), ftBoolean);
  EXPECT_EQ(FieldTypeFromDeclaredType("DATE", size), ftDate);
  EXPECT_EQ(FieldTypeFromDeclaredType("DATETIME", size), ftDateTime);
  EXPECT_EQ(FieldTypeFromDeclaredType("TIME", size), ftTime);
  EXPECT_EQ(FieldTypeFromDeclaredType("DOUBLE PRECISION", size), ftFloat);
  EXPECT_EQ(FieldTypeFromDeclaredType("DECIMAL(10,2)", size), ftFMTBcd);
  EXPECT_EQ(FieldTypeFromDeclaredType("MONEY", size), ftCurrency);
  EXPECT_EQ(FieldTypeFromDeclaredType("BLOB", size), ftBlob);
  EXPECT_EQ(FieldTypeFromDeclaredType("", size), ftString);
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
