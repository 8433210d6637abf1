#pragma once
// The datasets the record suites (the grid's snapshots, the record position routines) run on:
// the in-memory table and an SQLite table in a file of its own, both holding ID 1..count and
// NAME "Name001"... in ID order, open on their first record (the contract of the factories of
// tests/platform/db/DataSetBehaviour.h).

#define ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY
#include "tests/platform/db/DataSetBehaviour.h"

#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>

namespace zvtest {

inline String GridTempFileName() {
  static std::atomic<int> counter{0};
  const auto name = "zv-grid-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".db";
  return (std::filesystem::temp_directory_path() / name).string();
}

// An SQLite dataset that removes its file with itself.
class TGridSqliteDataSet : public TSqliteDataSet {
public:
  TGridSqliteDataSet() : TSqliteDataSet(nullptr) {}
  ~TGridSqliteDataSet() override {
    Close();
    std::error_code ignored;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) std::filesystem::remove(FileName() + suffix, ignored);
  }
};

inline std::unique_ptr<TDataSet> CreateGridMemTable(int count) {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 20);
  table->CreateDataSet();
  for (int i = 1; i <= count; ++i) table->AppendRecord({Variant(i), Variant(ItemName(i))});
  table->First();
  return table;
}

// The items table in a new file; `select` opens a SELECT over it instead of the table.
inline std::unique_ptr<TSqliteDataSet> CreateGridSqlite(int count, const String& select = "") {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME VARCHAR(20))");
    db.Execute("BEGIN");
    for (int i = 1; i <= count; ++i)
      db.Execute(Format("INSERT INTO items (ID, NAME) VALUES (%d, '%s')", {i, ItemName(i)}));
    db.Execute("COMMIT");
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  if (select.empty())
    table->SetTableName("items");
  else
    table->SetSQL(select);
  table->Open();
  return table;
}

inline const std::vector<DataSetFactory>& TestDataSets() {
  static const std::vector<DataSetFactory> factories = {
      {"MemTable", CreateGridMemTable},
      {"Sqlite", [](int count) -> std::unique_ptr<TDataSet> { return CreateGridSqlite(count); }},
  };
  return factories;
}

}  // namespace zvtest
