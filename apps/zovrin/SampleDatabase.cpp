#include "SampleDatabase.h"

#include "platform/db/Sqlite.h"
#include "platform/rtl/Variant.h"

#include <array>
#include <filesystem>

namespace zovrin {

using namespace zv;
using namespace zv::sqlite;

bool EnsureSampleDatabase(const std::string& path) {
  if (std::filesystem::exists(path)) return true;
  const std::string partial = path + ".part";
  std::error_code ignored;
  std::filesystem::remove(partial, ignored);
  {
    TSqliteDatabase db(partial);
    db.Execute(
        "CREATE TABLE customers (ID INTEGER PRIMARY KEY, NAME VARCHAR(40), CITY TEXT, BALANCE DECIMAL(12,2), "
        "SINCE DATE, ACTIVE BOOLEAN, NOTES TEXT)");
    static const std::array<const char*, 10> names = {"Ålesund Fisk", "Zoë Müller", "Łukasz Wójcik", "Иван Петров",
                                                      "山田 太郎", "Sørensen & Co", "José Núñez", "Ελένη Παππά",
                                                      "Chloé Lefèvre", "Grünwald 🍀"};
    static const std::array<const char*, 6> cities = {"Oslo", "København", "Kraków", "Москва", "東京", "Αθήνα"};
    db.Execute("BEGIN");
    TSqliteStatement insert(db, "INSERT INTO customers VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (int i = 1; i <= 5000; ++i) {
      const std::string name = std::string(names[static_cast<std::size_t>(i % 10)]) + " " + std::to_string(i);
      std::string notes;
      if (i % 3 == 0)
        notes = "Prefers e-mail. Orders arrive every " + std::to_string(i % 12 + 1) +
                " weeks; the invoice goes to the head office, never to the branch that ordered.";
      else if (i % 3 == 1)
        notes = "Short note";
      insert.Reset();
      insert.BindAll({Variant(i), Variant(name),
                      i % 7 == 0 ? Variant() : Variant(String(cities[static_cast<std::size_t>(i % 6)])),
                      i % 11 == 0 ? Variant() : Variant((i * 37 % 100000) / 100.0),
                      Variant(String("20") + (i % 20 < 10 ? "0" : "") + std::to_string(i % 20) + "-0" +
                              std::to_string(i % 9 + 1) + "-1" + std::to_string(i % 9)),
                      Variant(i % 4 != 0), notes.empty() ? Variant() : Variant(String(notes))});
      insert.Step();
    }
    db.Execute("COMMIT");
  }
  std::filesystem::rename(partial, path);
  return true;
}

}  // namespace zovrin
