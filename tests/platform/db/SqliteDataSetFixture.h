#pragma once
// What the SQLite dataset's suites share: a database file of their own, the suite's items written
// into it, and a fixture opening a dataset over it beside a second connection.

#include "DataSetBehaviour.h"

#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <unordered_map>
#include <vector>

namespace zvtest {

using sqlite::TSqliteDatabase;
using sqlite::TSqliteStatement;

// A database file of its own, removed with the object.
inline String TempFileName() {
  static std::atomic<int> counter{0};
  const auto name = "zv-sqlite-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".db";
  return (std::filesystem::temp_directory_path() / name).string();
}

inline void RemoveDatabaseFile(const String& path) {
  std::error_code ignored;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) std::filesystem::remove(path + suffix, ignored);
}

inline void FillItems(const String& path, int count,
               const String& create = "CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME VARCHAR(20))") {
  TSqliteDatabase db(path);
  db.Execute(create);
  db.Execute("BEGIN");
  TSqliteStatement insert(db, "INSERT INTO items (ID, NAME) VALUES (?, ?)");
  for (int i = 1; i <= count; ++i) {
    insert.Reset();
    insert.BindAll({Variant(i), Variant(ItemName(i))});
    insert.Step();
  }
  db.Execute("COMMIT");
}

class SqliteDataSetTest : public ::testing::Test {
protected:
  void SetUp() override { fPath = TempFileName(); }
  void TearDown() override {
    fDataSet.reset();
    fOther.reset();
    RemoveDatabaseFile(fPath);
  }

  // Another connection to the same file, as another program would have.
  TSqliteDatabase& Other() {
    if (!fOther) fOther = std::make_unique<TSqliteDatabase>(fPath);
    return *fOther;
  }
  Variant Scalar(const String& sql) {
    TSqliteStatement st(Other(), sql);
    return st.Step() ? st.ColumnValue(0, ftUnknown) : Variant::Null();
  }
  TSqliteDataSet& Open(const String& table, const String& sort = "") {
    fDataSet = std::make_unique<TSqliteDataSet>(nullptr);
    fDataSet->SetFileName(fPath);
    fDataSet->SetTableName(table);
    fDataSet->SetSortFields(sort);
    fDataSet->Open();
    return *fDataSet;
  }
  TSqliteDataSet& OpenQuery(const String& sql) {
    fDataSet = std::make_unique<TSqliteDataSet>(nullptr);
    fDataSet->SetFileName(fPath);
    fDataSet->SetSQL(sql);
    fDataSet->Open();
    return *fDataSet;
  }
  TSqliteDataSet& DS() { return *fDataSet; }
  TField* F(const char* name) { return fDataSet->FieldByName(name); }
  std::int64_t Id() { return F("ID")->AsLargeInt(); }
  std::vector<std::int64_t> Ids(const String& sql) {
    std::vector<std::int64_t> ids;
    TSqliteStatement st(Other(), sql);
    while (st.Step()) ids.push_back(st.ColumnInt64(0));
    return ids;
  }
  template <class F>
  static String MessageOf(F&& f) {
    try {
      f();
    } catch (const EDatabaseError& e) {
      return e.Message();
    }
    return "(no error)";
  }

  String fPath;
  std::unique_ptr<TSqliteDatabase> fOther;
  std::unique_ptr<TSqliteDataSet> fDataSet;
};

// A window of rows on a dataset, as a grid keeps one, for as long as it lives.
struct TRowWindow {
  TDataSource Source{nullptr};
  TDataLink Link;
  TRowWindow(TDataSet& dataSet, int rows) {
    Link.SetBufferCount(rows);
    Source.SetDataSet(&dataSet);
    Link.SetDataSource(&Source);
  }
  ~TRowWindow() { Link.SetDataSource(nullptr); }
};

// Statements started on the dataset's connection, counted through SQLite's statement trace.
inline long long SqliteStatementsRun(TDataSet& dataSet) {
  static std::unordered_map<sqlite3*, long long> counts;
  sqlite3* db = static_cast<TSqliteDataSet&>(dataSet).Database()->Handle();
  sqlite3_trace_v2(
      db, SQLITE_TRACE_STMT,
      [](unsigned, void* context, void*, void*) {
        ++counts[static_cast<sqlite3*>(context)];
        return 0;
      },
      db);
  return counts[db];
}

}  // namespace zvtest
