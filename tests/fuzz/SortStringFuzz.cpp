// libFuzzer target for sort strings and locate keys against the SQLite dataset. The first byte
// holds options (bit 0 case-insensitive, bit 1 partial key, bit 2 a SELECT source instead of the
// table, bit 3 numbers as numbers); the rest is lines: the sort string, the key fields, then one
// key value per line. Whatever the text, the dataset either answers or raises its own error
// (never SQLite's), a located record matches its keys, and no row of the file ever changes.

#include "platform/db/DBConsts.h"
#include "platform/db/Field.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringUtils.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace zv;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
  std::abort();
}

const char* const kRows =
    "CREATE TABLE T (id INTEGER PRIMARY KEY, Name TEXT, \"Full Name\" TEXT, Age INTEGER, "
    "Price REAL, Note, \"Desc\" TEXT, \"a;b\" TEXT);"
    "CREATE INDEX TName ON T(Name);"
    "INSERT INTO T VALUES (1, 'Ann', 'Ann Lee', 30, 1.5, NULL, 'x', 'p');"
    "INSERT INTO T VALUES (2, 'ann', 'Ann Low', NULL, -2, 7, 'y', 'q');"
    "INSERT INTO T VALUES (3, 'Zoë', 'Zoë Ünal', 41, 0, 'n', NULL, NULL);"
    "INSERT INTO T VALUES (4, '日本', '日本 語', 30, 1e300, x'00ff', 'z', 'r');"
    "INSERT INTO T VALUES (5, NULL, '', -1, NULL, 2.5, '', '');"
    "INSERT INTO T VALUES (6, 'O''Brien', 'it''s', 9, 3, 'DESC', 'ASC', ';');";

const String& FileName() {
  static const String name = [] {
    char path[] = "/tmp/zv-fuzz-sort-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) Fail("cannot create the database file");
    close(fd);
    std::remove(path);
    sqlite::TSqliteDatabase db(path);
    db.Execute(kRows);
    return String(path);
  }();
  return name;
}

// Every stored value of the file, in rowid order, as one text.
std::string Contents() {
  sqlite::TSqliteDatabase db(FileName(), true);
  sqlite::TSqliteStatement s(db, "SELECT quote(id), quote(Name), quote(\"Full Name\"), quote(Age), "
                                 "quote(Price), quote(Note), quote(\"Desc\"), quote(\"a;b\") FROM T ORDER BY id");
  std::string all;
  while (s.Step())
    for (int c = 0; c < s.ColumnCount(); ++c) all += s.ColumnText(c) + "|";
  return all;
}

std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> lines(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else
      lines.back() += static_cast<char>(data[i]);
  }
  return lines;
}

bool OwnMessage(const String& message) {
  for (const char* prefix : {"Invalid sort field '", "Field '", "Cannot perform this operation"})
    if (message.rfind(prefix, 0) == 0) return true;
  return false;
}

Variant KeyValue(const std::string& text, bool numbers) {
  if (numbers) {
    char* end = nullptr;
    long long n = std::strtoll(text.c_str(), &end, 10);
    if (!text.empty() && end && *end == 0) return Variant(static_cast<std::int64_t>(n));
  }
  if (text == "<null>") return Null();
  return Variant(String(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string original = Contents();
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const auto lines = Lines(data + 1, size - 1);
  TLocateOptions options;
  if (flags & 1) options.Include(loCaseInsensitive);
  if (flags & 2) options.Include(loPartialKey);

  TSqliteDataSet ds(nullptr);
  ds.SetFileName(FileName());
  if (flags & 4)
    ds.SetSQL("SELECT * FROM T WHERE id > 0");
  else
    ds.SetTableName("T");
  ds.Open();
  try {
    ds.SetSortFields(lines[0]);
    // The order holds: walking the set visits every row once.
    int rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++rows;
    if (rows != 6) Fail("a sorted walk lost or repeated rows", lines[0]);
  } catch (const EDatabaseError& e) {
    if (!OwnMessage(e.Message())) Fail("sort raised a foreign error:", e.Message());
  }
  if (lines.size() >= 3) {
    std::vector<Variant> keys;
    for (std::size_t i = 2; i < lines.size(); ++i) keys.push_back(KeyValue(lines[i], flags & 8));
    const Variant key = keys.size() == 1 ? keys[0] : VarArrayOf(keys);
    try {
      if (ds.Locate(lines[1], key, options)) {
        if (!ds.Active() || ds.Eof()) Fail("a located record is not current");
        // A record found by one text key carries that text, as the options compare it.
        TField* field = keys.size() == 1 ? ds.FindField(lines[1]) : nullptr;
        if (field && keys[0].VarType() == varString && field->DataType() == ftString) {
          String have = field->AsString(), want = keys[0].AsString();
          if (options.Contains(loCaseInsensitive)) {
            have = AnsiLowerCase(have);
            want = AnsiLowerCase(want);
          }
          if (options.Contains(loPartialKey) ? have.rfind(want, 0) != 0 : have != want)
            Fail("located a record that does not match its key:", lines[1] + "=" + lines[2]);
        }
      }
    } catch (const EDatabaseError& e) {
      if (!OwnMessage(e.Message())) Fail("locate raised a foreign error:", e.Message());
    } catch (const EVariantError&) {
    } catch (const EConvertError&) {
    }
  }
  ds.Close();
  if (Contents() != original) Fail("a row of the file changed");
  return 0;
}
