// Searching by typing in a grid, headless, over an SQLite table of 1,000,000 rows (id INTEGER
// PRIMARY KEY, name VARCHAR(60) with accented and non-Latin text, city), a grid of 30 rows on
// name. The names starting "Zür" are every tenth row from the 900,000th on.
//   - PlainRead: the baseline, one plain read of name over every row;
//   - Keystroke: "zür" typed from the first record, per keystroke (the first match is the
//     900,000th row); KeystrokeSortedByCity: the same under an order on the unindexed city;
//   - FindNext: F3 to the match 10 rows on; beside it LocateById, a Locate by id;
//   - Miss: a character that matches nothing;
//   - Walk: a search the dataset cannot answer (a vision with an OnGetText handler) walking
//     100,000 rows, per record; beside it NextDisplayText, a Next and DisplayText loop;
//   - peak resident memory of a search at 1,000,000 rows and at 10,000, each in a process of its
//     own.
// Ratios: Keystroke, KeystrokeSortedByCity and Miss to PlainRead at most 3; FindNext to
// LocateById at most 2; Walk to NextDisplayText at most 1.5; the memories within 10 MiB. The
// tables are built by a child process.

#include "GridBenchWindow.h"

#include "runtime/grid/AutoSearchParams.h"
#include "runtime/vision/FieldVision.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;

namespace {

constexpr int Rows = 1'000'000;
constexpr int SmallRows = 10'000;
constexpr int FirstMatch = 900'000;
constexpr int WalkRows = 100'000;

const String& FileName(int rows) { return zvbench::GridBenchFileName("autosearch-bench", rows); }

String Name(int i) {
  static const char* const first[] = {"Émile", "Ørsted", "Σωκράτης", "東京", "Łukasz", "Ana", "Jürgen", "Søren", "Иван", "Åsa"};
  if (i >= FirstMatch && i % 10 == 0) return "Zürich " + std::to_string(i);
  return String(first[i % 10]) + " " + std::to_string(i);
}

void BuildTable(const String& fileName, int rows) {
  static const char* const cities[] = {"Oslo", "Zürich", "Kraków", "Αθήνα", "Москва", "京都", "Lyon"};
  sqlite::TSqliteDatabase db(fileName);
  db.Execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
             "CREATE TABLE items (id INTEGER PRIMARY KEY, name VARCHAR(60), city VARCHAR(40))");
  db.Execute("BEGIN");
  sqlite::TSqliteStatement insert(db, "INSERT INTO items (id, name, city) VALUES (?, ?, ?)");
  for (int i = 1; i <= rows; ++i) {
    insert.Reset();
    insert.BindAll({Variant(i), Variant(Name(i)), Variant(String(cities[(i * 5 + i / 7) % 7]))});
    insert.Step();
  }
  db.Execute("COMMIT");
}

// The grid 30 rows high, on name, searching.
struct TSearchWindow : zvbench::TGridWindow {
  explicit TSearchWindow(const String& fileName, const String& sort = "") : TGridWindow(fileName, [&](TSqliteDataSet& ds) {
    ds.SetSortFields(sort);
  }) {
    Grid->SetBounds(0, 0, 600, 20 + 30 * 18);
    Grid->SetCol(1);  // id, name, city
    TgpAutoSearchParams& p = *Grid->ParamsAutoSearch();
    p.SetEnabled(true);
    p.SetShortCutFindNext(ShortCut(VK_F1 + 2, {}));
    Application->ProcessMessages();
  }
  void Type(const String& text) {
    for (char32_t c : UTF8Decode(text)) Key('A', {}, c);
  }
};

void PlainRead(benchmark::State& state) {
  sqlite::TSqliteDatabase db(FileName(Rows), true);
  for (auto _ : state) {
    sqlite::TSqliteStatement st(db, "SELECT name FROM items");
    int n = 0;
    while (st.Step()) {
      benchmark::DoNotOptimize(st.ColumnValue(0, ftString));
      ++n;
    }
    if (n != Rows) state.SkipWithError("short read");
  }
}

void KeystrokeIn(benchmark::State& state, const String& sort) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows), sort);
  for (auto _ : state) {
    state.PauseTiming();
    w.Grid->ParamsAutoSearch()->Cancel();
    w.DataSet.First();
    w.Grid->ParamsAutoSearch()->Start(0);
    state.ResumeTiming();
    w.Type("zür");
    if (w.DataSet.FieldByName("name")->AsString().rfind("Zür", 0) != 0) state.SkipWithError("not found");
  }
  // Three keystrokes an iteration.
  state.counters["keystrokes"] = 3;
}
void Keystroke(benchmark::State& state) { KeystrokeIn(state, ""); }
void KeystrokeSortedByCity(benchmark::State& state) { KeystrokeIn(state, "city"); }

void FindNext(benchmark::State& state) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows));
  w.Type("zür");
  for (auto _ : state) {
    state.PauseTiming();
    w.DataSet.Locate("id", Variant(FirstMatch + 10'000));
    state.ResumeTiming();
    w.Key(VK_F1 + 2);
    if (w.Id() != FirstMatch + 10'010) state.SkipWithError("not the next match");
  }
}

void LocateById(benchmark::State& state) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows));
  int id = FirstMatch;
  for (auto _ : state) {
    id += 10;
    w.DataSet.Locate("id", Variant(id));
    Application->ProcessMessages();
  }
}

void Miss(benchmark::State& state) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows));
  w.Type("zür");
  const int at = w.Id();
  for (auto _ : state) {
    w.Type("q");
    if (w.Id() != at || w.Grid->ParamsAutoSearch()->SearchText() != "zür") state.SkipWithError("moved");
  }
}

// A match only past WalkRows: the walk reads every record before it.
void Walk(benchmark::State& state) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows));
  TvpFieldVision handled(nullptr);
  handled.OnGetText = [](TObject*, TgpFieldList*, bool, String&) {};
  w.Grid->Columns()->Items(w.Grid->Col())->SetVision(&handled);
  for (auto _ : state) {
    state.PauseTiming();
    w.Grid->ParamsAutoSearch()->Cancel();
    w.DataSet.Locate("id", Variant(FirstMatch - WalkRows));
    w.Grid->ParamsAutoSearch()->SetSearchFromBegin(false);
    w.Grid->ParamsAutoSearch()->Start(0);
    state.ResumeTiming();
    w.Type("z");
    if (w.Id() != FirstMatch) state.SkipWithError("not found");
  }
  w.Grid->Columns()->Items(w.Grid->Col())->SetVision(nullptr);
  state.counters["records"] = WalkRows;
}

void NextDisplayText(benchmark::State& state) {
  zvbench::TBackends backends;
  TSearchWindow w(FileName(Rows));
  TField* name = w.DataSet.FieldByName("name");
  for (auto _ : state) {
    state.PauseTiming();
    w.DataSet.Locate("id", Variant(FirstMatch - WalkRows));
    state.ResumeTiming();
    w.DataSet.DisableControls();
    for (int i = 0; i < WalkRows; ++i) {
      benchmark::DoNotOptimize(name->DisplayText());
      w.DataSet.Next();
    }
    w.DataSet.EnableControls();
  }
  state.counters["records"] = WalkRows;
}

// A search typed and found at the far end, in a process of its own: its peak resident memory.
void PeakOfASearch(int rows) {
  zvbench::BuildInChildProcess([rows] {
    zvbench::TBackends backends;
    TSearchWindow w(FileName(rows));
    w.Type(rows > FirstMatch ? "zür" : "åsa");
    w.Key(VK_F1 + 2);
    std::printf("peak resident memory of a search over %d rows: %.1f MB\n", rows, zvbench::PeakResidentMb());
    std::fflush(stdout);
  });
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, const zvbench::TBenchResult*> by;
  for (const auto& r : results) by[r.Name.substr(0, r.Name.find("/iterations"))] = &r;
  auto cpu = [&](const std::string& name) { return by.count(name) ? by[name]->CpuSeconds : 0.0; };
  std::printf("\n%-32s %14s\n", "operation", "CPU time");
  for (const auto& r : results) std::printf("%-32s %11.3f ms\n", r.Name.c_str(), r.CpuSeconds * 1e3);
  const double base = cpu("PlainRead");
  if (base > 0) {
    std::printf("(a) keystroke, first match at row 900,000 / plain read: %.2f (at most 3)\n", cpu("Keystroke") / 3 / base);
    std::printf("(b) the same sorted on city / plain read: %.2f (at most 3)\n", cpu("KeystrokeSortedByCity") / 3 / base);
    std::printf("(d) a character matching nothing / plain read: %.2f (at most 3)\n", cpu("Miss") / base);
  }
  if (cpu("LocateById") > 0)
    std::printf("(c) find next 10 rows on / Locate by id: %.2f (at most 2)\n", cpu("FindNext") / cpu("LocateById"));
  if (cpu("NextDisplayText") > 0)
    std::printf("(e) the walk / Next and DisplayText, per record: %.2f (at most 1.5)\n", cpu("Walk") / cpu("NextDisplayText"));
}

}  // namespace

BENCHMARK(PlainRead)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Keystroke)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(KeystrokeSortedByCity)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(FindNext)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(LocateById)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(Miss)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Walk)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(NextDisplayText)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (int rows : {SmallRows, Rows}) FileName(rows);
  const bool built = zvbench::BuildInChildProcess([] {
    for (int rows : {SmallRows, Rows}) BuildTable(FileName(rows), rows);
  });
  if (built) {
    zvbench::TRatioReporter reporter(PrintTable);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int rows : {SmallRows, Rows}) PeakOfASearch(rows);
  }
  benchmark::Shutdown();
  std::error_code ignored;
  for (int rows : {SmallRows, Rows}) std::filesystem::remove(FileName(rows), ignored);
  return built ? 0 : 1;
}
