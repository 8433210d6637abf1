#pragma once
// The SQLite table the dataset and grid benchmarks share: items (id INTEGER PRIMARY KEY, name
// TEXT with an index, amount REAL, created DATETIME), ids 1..rows in rowid order, names spread
// over the index. Built without a journal or syncing, in one transaction.

#include "platform/db/Sqlite.h"
#include "platform/rtl/DateTime.h"

#include <unistd.h>

#include <filesystem>
#include <string>

namespace zvbench {

inline zv::String BenchItemName(int i) { return "Name" + std::to_string((static_cast<long long>(i) * 7919) % 1'000'003); }

// A file in the temporary folder named after this process and tag.
inline zv::String BenchTableFileName(const std::string& tag) {
  return (std::filesystem::temp_directory_path() / ("zv-" + tag + "-" + std::to_string(::getpid()) + ".db")).string();
}

inline void BuildItemsTable(const zv::String& fileName, int rows) {
  using namespace zv;
  sqlite::TSqliteDatabase db(fileName);
  db.Execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
             "CREATE TABLE items (id INTEGER PRIMARY KEY, name TEXT, amount REAL, created DATETIME)");
  db.Execute("BEGIN");
  sqlite::TSqliteStatement insert(db, "INSERT INTO items (id, name, amount, created) VALUES (?, ?, ?, ?)");
  const TDateTime start = EncodeDate(2020, 1, 1);
  for (int i = 1; i <= rows; ++i) {
    insert.Reset();
    insert.BindAll({Variant(i), Variant(BenchItemName(i)), Variant(i * 0.25), Variant(TDateTime(start + i / 1440.0))});
    insert.Step();
  }
  db.Execute("COMMIT");
  db.Execute("CREATE INDEX items_name ON items (name)");
}

}  // namespace zvbench
