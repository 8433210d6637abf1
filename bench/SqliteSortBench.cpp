// The SQLite dataset sorted by a column without an index, on a table of 10,000,000 rows
// (id INTEGER PRIMARY KEY, amount REAL, label TEXT), shown through a link of 30 rows.
//
// The baseline is one full ORDER BY read: every row of the table in the order amount, id, read
// through a plain TSqliteStatement. Against it: opening the dataset on that order and showing
// its first window, and going from there to the last window. Neither may sort the whole table:
// each is one pass that keeps the top rows only. Each benchmark also reports the process's peak
// resident memory so far; it must stay flat whatever the size of the table. The table is built by
// a child process, so that its memory does not count, in a temporary directory removed at the end.

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

using namespace zv;
using namespace zv::sqlite;

namespace {

int RowCount = 10'000'000;  // ZV_BENCH_ROWS may make it smaller, to compare peak memory
constexpr int WindowRows = 30;

const std::filesystem::path& Directory() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / ("zv-sqlite-sort-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

String FileName() { return (Directory() / "sort.db").string(); }

// Amounts in no order, with repeats, so that the sort and its ties both matter.
double AmountOf(std::int64_t i) { return static_cast<double>((i * 2654435761LL) % 1'000'003) / 100.0; }

void BuildTable() {
  TSqliteDatabase db(FileName());
  db.Execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"
             "CREATE TABLE items (id INTEGER PRIMARY KEY, amount REAL, label TEXT)");
  db.Execute("BEGIN");
  TSqliteStatement insert(db, "INSERT INTO items (id, amount, label) VALUES (?, ?, ?)");
  for (int i = 1; i <= RowCount; ++i) {
    insert.Reset();
    insert.BindAll({Variant(i), Variant(AmountOf(i)), Variant("L" + std::to_string(i % 9973))});
    insert.Step();
  }
  db.Execute("COMMIT");
}

struct TOpenDataSet {
  TSqliteDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;

  TOpenDataSet() {
    DataSet.SetFileName(FileName());
    DataSet.SetTableName("items");
    DataSet.SetReadOnly(true);
    DataSet.SetSortFields("amount");
    Link.SetBufferCount(WindowRows);
    Source.SetDataSet(&DataSet);
    Link.SetDataSource(&Source);
    DataSet.Open();
  }
};

void FullOrderByRead(benchmark::State& state) {
  TSqliteDatabase db(FileName(), true);
  for (auto _ : state) {
    TSqliteStatement st(db, "SELECT id, amount, label FROM items ORDER BY amount, id");
    std::int64_t rows = 0;
    while (st.Step()) {
      benchmark::DoNotOptimize(st.ColumnValue(0, ftLargeint));
      benchmark::DoNotOptimize(st.ColumnValue(1, ftFloat));
      ++rows;
    }
    if (rows != RowCount) state.SkipWithError("the table is not complete");
  }
  state.counters["peakMB"] = zvbench::PeakResidentMb();
}

// The window read from where the dataset stands, towards the end (or the start): in order.
bool WindowIsOrdered(TDataSet& ds, bool last) {
  double previous = ds.FieldByName("amount")->AsFloat();
  for (int i = 1; i < WindowRows; ++i) {
    if (last)
      ds.Prior();
    else
      ds.Next();
    const double amount = ds.FieldByName("amount")->AsFloat();
    if (last ? amount > previous : amount < previous) return false;
    previous = amount;
  }
  return true;
}

void FirstWindow(benchmark::State& state) {
  for (auto _ : state) {
    TOpenDataSet open;
    benchmark::DoNotOptimize(open.DataSet.FieldByName("amount")->AsFloat());
    state.PauseTiming();
    if (!WindowIsOrdered(open.DataSet, false))
      state.SkipWithError("the first window is not the smallest amounts");
    state.ResumeTiming();
  }
  state.counters["peakMB"] = zvbench::PeakResidentMb();
}

void LastWindow(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    TOpenDataSet open;
    state.ResumeTiming();
    open.DataSet.Last();
    benchmark::DoNotOptimize(open.DataSet.FieldByName("amount")->AsFloat());
    state.PauseTiming();
    if (!WindowIsOrdered(open.DataSet, true)) state.SkipWithError("the last window is not the largest amounts");
    state.ResumeTiming();
  }
  state.counters["peakMB"] = zvbench::PeakResidentMb();
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const zvbench::TBenchResult* baseline = nullptr;
  for (const auto& r : results)
    if (r.Name.starts_with("FullOrderByRead")) baseline = &r;
  if (!baseline) return;
  std::printf("\n%-20s %12s %24s %10s\n", "benchmark", "CPU time", "times faster than ORDER BY", "peak RSS");
  for (const auto& r : results) {
    const double t = r.CpuSeconds;
    const auto peak = r.Counters.find("peakMB");
    std::printf("%-20s %10.1f ms %23.1fx %7.1f MB%s\n", r.Name.c_str(), t * 1e3, t > 0 ? baseline->CpuSeconds / t : 0.0,
                peak == r.Counters.end() ? 0.0 : peak->second,
                r.Name.starts_with("FirstWindow") && t * 5 > baseline->CpuSeconds ? "  (under 5x)" : "");
  }
}

}  // namespace

// The windows first, so that their peak memory is not the baseline's sort.
BENCHMARK(FirstWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(LastWindow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FullOrderByRead)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (const char* rows = std::getenv("ZV_BENCH_ROWS")) RowCount = std::max(1000, std::atoi(rows));

  Directory();  // named after this process, before the child has its own id
  auto cleanUp = [] {
    std::error_code ignored;
    std::filesystem::remove_all(Directory(), ignored);
  };
  if (!zvbench::BuildInChildProcess(BuildTable)) {
    cleanUp();
    return 1;
  }
  const double fileMb = static_cast<double>(std::filesystem::file_size(FileName())) / (1024.0 * 1024.0);

  zvbench::TRatioReporter reporter(PrintTable);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n%d rows; the table's file %.1f MB; peak resident memory of the run %.1f MB\n", RowCount, fileMb,
              zvbench::PeakResidentMb());
  cleanUp();
  return 0;
}
