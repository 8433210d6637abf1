// libFuzzer target for filters with bound parameters on the SQLite dataset. The first byte holds
// options (bit 0 a SELECT source instead of the table, bit 1 the table WITHOUT ROWID, bit 2 an
// order on Name); the rest is lines: the filter text, then one parameter per line as a type
// letter (s text, i integer, f real, b blob, t boolean, n null), its name, '=' and its value.
// Whatever the text, the dataset either refuses it with its own error (EDatabaseError), keeping
// the filter it had, or shows exactly the rows sqlite3 itself returns for the same condition with
// the same values bound by name; no byte of the file ever changes.

#include "platform/db/DBConsts.h"
#include "platform/db/Field.h"
#include "platform/db/Params.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/rtl/Exceptions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>

using namespace zv;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {}) {
  std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
  std::abort();
}

// Unicode, NULLs, quotes, ';' and blobs in every column.
const char* const kRows =
    "CREATE TABLE T (id INTEGER PRIMARY KEY, Name TEXT, Age INTEGER, Price REAL, Data BLOB, Note);"
    "CREATE INDEX TName ON T(Name);"
    "CREATE TABLE W (id INTEGER PRIMARY KEY, Name TEXT, Age INTEGER, Price REAL, Data BLOB, Note) WITHOUT ROWID;"
    "INSERT INTO T VALUES (1, 'Ann', 30, 1.5, x'00ff', NULL);"
    "INSERT INTO T VALUES (2, 'ann', NULL, -2, NULL, 7);"
    "INSERT INTO T VALUES (3, 'Zoë', 41, 0, x'', 'n');"
    "INSERT INTO T VALUES (4, '日本', 30, 1e300, zeroblob(70000), x'41');"
    "INSERT INTO T VALUES (5, NULL, -1, NULL, 'text', 2.5);"
    "INSERT INTO T VALUES (6, 'O''Brien', 9, 3, x'3b27', ';--');"
    "INSERT INTO T VALUES (7, '', 9223372036854775807, -0.0, NULL, '\"x\"');"
    "INSERT INTO W SELECT * FROM T;";

const std::string& FileName() {
  static const std::string name = [] {
    char path[] = "/tmp/zv-fuzz-filter-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) Fail("cannot create the database file");
    close(fd);
    std::remove(path);
    sqlite3* db = nullptr;
    if (sqlite3_open(path, &db) != SQLITE_OK || sqlite3_exec(db, kRows, nullptr, nullptr, nullptr) != SQLITE_OK)
      Fail("cannot fill the database file");
    sqlite3_close(db);
    return std::string(path);
  }();
  return name;
}

std::string Bytes() {
  std::ifstream in(FileName(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
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

struct TParamLine {
  char Type;
  std::string Name, Value;
};

std::vector<TParamLine> ParamLines(const std::vector<std::string>& lines) {
  std::vector<TParamLine> params;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t eq = line.find('=');
    if (line.size() < 2 || eq == std::string::npos || eq < 2 || !std::strchr("sifbtn", line[0])) continue;
    params.push_back({line[0], line.substr(1, eq - 1), line.substr(eq + 1)});
  }
  return params;
}

std::int64_t Integer(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }

void AddParam(TParams& params, const TParamLine& p) {
  if (params.FindParam(p.Name)) return;
  switch (p.Type) {
    case 's': params.CreateParam(ftString, p.Name, ptInput)->SetAsString(p.Value); break;
    case 'i': params.CreateParam(ftLargeint, p.Name, ptInput)->SetAsLargeInt(Integer(p.Value)); break;
    case 'f': params.CreateParam(ftFloat, p.Name, ptInput)->SetAsFloat(std::strtod(p.Value.c_str(), nullptr)); break;
    case 'b': {
      std::vector<std::uint8_t> bytes(p.Value.begin(), p.Value.end());
      params.CreateParam(ftBlob, p.Name, ptInput)->SetValue(VarArrayOfBytes(bytes));
      break;
    }
    case 't': params.CreateParam(ftBoolean, p.Name, ptInput)->SetAsBoolean(!p.Value.empty() && p.Value != "0"); break;
    default: params.CreateParam(ftString, p.Name, ptInput)->Clear(); break;
  }
}

// The first parameter line of a name, compared without case as the dataset's parameters are.
const TParamLine* FindLine(const std::vector<TParamLine>& params, std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const TParamLine& p : params) {
    std::string n = p.Name;
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return std::tolower(c); });
    if (n == name) return &p;
  }
  return nullptr;
}

// The ids sqlite3 returns for the condition, each :name bound from its line; false when sqlite3
// refuses the statement or a mark has no value.
bool Reference(const std::string& table, const std::string& filter, const std::vector<TParamLine>& params,
               std::multiset<std::int64_t>& ids) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(FileName().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) Fail("cannot open the file");
  const std::string sql = "SELECT id FROM " + table + " WHERE (" + filter + "\n)";
  sqlite3_stmt* st = nullptr;
  const char* tail = nullptr;
  bool ok = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail) == SQLITE_OK && st;
  if (ok && tail && std::any_of(tail, sql.c_str() + sql.size(), [](char c) { return !std::isspace(static_cast<unsigned char>(c)); }))
    ok = false;  // a second statement
  for (int i = 1; ok && i <= sqlite3_bind_parameter_count(st); ++i) {
    const char* name = sqlite3_bind_parameter_name(st, i);
    const TParamLine* p = name && name[0] == ':' ? FindLine(params, name + 1) : nullptr;
    if (!p) {
      ok = false;
      break;
    }
    switch (p->Type) {
      case 's': sqlite3_bind_text(st, i, p->Value.data(), static_cast<int>(p->Value.size()), SQLITE_TRANSIENT); break;
      case 'i': sqlite3_bind_int64(st, i, Integer(p->Value)); break;
      case 'f': sqlite3_bind_double(st, i, std::strtod(p->Value.c_str(), nullptr)); break;
      // An empty blob is no value to the host's fields and parameters: bound as NULL.
      case 'b':
        if (p->Value.empty())
          sqlite3_bind_null(st, i);
        else
          sqlite3_bind_blob(st, i, p->Value.data(), static_cast<int>(p->Value.size()), SQLITE_TRANSIENT);
        break;
      case 't': sqlite3_bind_int(st, i, !p->Value.empty() && p->Value != "0"); break;
      default: sqlite3_bind_null(st, i); break;
    }
  }
  int rc = SQLITE_DONE;
  while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) ids.insert(sqlite3_column_int64(st, 0));
  if (rc != SQLITE_DONE) ok = false;
  sqlite3_finalize(st);
  sqlite3_close(db);
  return ok;
}

std::multiset<std::int64_t> Walk(TSqliteDataSet& ds) {
  std::multiset<std::int64_t> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.insert(ds.FieldByName("id")->AsLargeInt());
  return ids;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string original = Bytes();
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const auto lines = Lines(data + 1, size - 1);
  const std::string& filter = lines[0];
  const auto params = ParamLines(lines);
  // Texts whose rows change between two reads have no rows to compare.
  std::string lower = filter;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  const bool stable = lower.find("random") == std::string::npos && lower.find("now") == std::string::npos;
  const std::string table = flags & 2 ? "W" : "T";

  {
    TSqliteDataSet ds(nullptr);
    ds.SetFileName(FileName());
    if (flags & 1)
      ds.SetSQL("SELECT * FROM " + table);
    else
      ds.SetTableName(table);
    for (const TParamLine& p : params) AddParam(*ds.Params(), p);
    ds.Open();
    if (flags & 4) ds.SetSortFields("Name DESC");
    const std::multiset<std::int64_t> all = Walk(ds);
    bool refused = false;
    try {
      ds.SetFilter(filter);
      ds.SetFiltered(true);
    } catch (const EDatabaseError&) {
      refused = true;
    }
    if (refused) {
      // The old filter (none) stays in force.
      if (!ds.Active() || (ds.Filtered() && ds.Filter() == filter) || Walk(ds) != all)
        Fail("a refused filter changed the dataset", filter);
    } else {
      try {
        const std::multiset<std::int64_t> shown = Walk(ds);
        const int count = ds.RecordCount();
        std::multiset<std::int64_t> expected;
        // Control characters are blanks to the dataset, as to Trim.
        const bool blank = std::all_of(filter.begin(), filter.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
        if (blank) {
          if (shown != all) Fail("a blank filter hid rows");
        } else if (stable) {
          if (!Reference(table, filter, params, expected)) Fail("the dataset took a filter sqlite3 refuses", filter);
          if (shown != expected) Fail("the filtered rows differ from sqlite3's", filter);
          if (count != static_cast<int>(expected.size())) Fail("the filtered count differs from sqlite3's", filter);
        }
      } catch (const EDatabaseError&) {
        // A condition failing while it runs (a function's error): the database's message.
      }
    }
    ds.Close();
  }
  if (Bytes() != original) Fail("the file's bytes changed", filter);
  return 0;
}
