// The SQLite dataset on a table of 1,000,000 rows (id INTEGER PRIMARY KEY, name TEXT with an
// index, amount REAL, created DATETIME), shown through a link of 30 rows as a grid shows it.
//
// The baseline is one full scan: every row and column read through a plain TSqliteStatement,
// converted to the Variants the dataset would hold. Every other figure is one operation of the
// dataset, printed as a ratio to that scan; the scan of the whole table through the dataset
// (First..Eof) is there for comparison. At the end: the process's peak resident memory after
// all of it, against the size of the file. The table is built by a child process, so that its
// memory does not count.

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "SqliteBenchTable.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>

using namespace zv;
using namespace zv::sqlite;

namespace {

constexpr int RowCount = 1'000'000;
constexpr int WindowRows = 30;

const String& FileName() {
  static const String name = zvbench::BenchTableFileName("sqlite-bench");
  return name;
}

void BuildTable() { zvbench::BuildItemsTable(FileName(), RowCount); }

// A dataset open on the table with a grid-sized link.
struct TOpenDataSet {
  TSqliteDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;

  explicit TOpenDataSet(const String& sort = "") {
    DataSet.SetFileName(FileName());
    DataSet.SetTableName("items");
    DataSet.SetSortFields(sort);
    Link.SetBufferCount(WindowRows);
    Source.SetDataSet(&DataSet);
    Link.SetDataSource(&Source);
    DataSet.Open();
  }
};

void FullScanStatement(benchmark::State& state) {
  TSqliteDatabase db(FileName(), true);
  for (auto _ : state) {
    TSqliteStatement st(db, "SELECT id, name, amount, created FROM items");
    std::int64_t rows = 0;
    while (st.Step()) {
      benchmark::DoNotOptimize(st.ColumnValue(0, ftLargeint));
      benchmark::DoNotOptimize(st.ColumnValue(1, ftMemo));
      benchmark::DoNotOptimize(st.ColumnValue(2, ftFloat));
      benchmark::DoNotOptimize(st.ColumnValue(3, ftDateTime));
      ++rows;
    }
    if (rows != RowCount) state.SkipWithError("the table is not complete");
  }
}

void FullScanDataSet(benchmark::State& state) {
  TOpenDataSet open;
  for (auto _ : state) {
    std::int64_t rows = 0;
    for (open.DataSet.First(); !open.DataSet.Eof(); open.DataSet.Next()) ++rows;
    if (rows != RowCount) state.SkipWithError("the walk missed rows");
  }
}

void Open(benchmark::State& state) {
  std::optional<TOpenDataSet> open;
  for (auto _ : state) {
    state.PauseTiming();  // closing is not opening
    open.reset();
    state.ResumeTiming();
    open.emplace();
    benchmark::DoNotOptimize(open->DataSet.FieldByName("name")->AsString());
  }
}

// Each operation runs from the first page, which the untimed First puts back.
template <class Op>
void FromFirst(benchmark::State& state, const String& sort, Op op) {
  TOpenDataSet open(sort);
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.First();
    state.ResumeTiming();
    op(open.DataSet);
  }
}

void Last(benchmark::State& state) {
  FromFirst(state, "", [](TDataSet& ds) { ds.Last(); });
}
void SetRecNoMiddle(benchmark::State& state) {
  FromFirst(state, "", [](TDataSet& ds) { ds.SetRecNo(RowCount / 2); });
}
void LastByName(benchmark::State& state) {
  FromFirst(state, "name", [](TDataSet& ds) { ds.Last(); });
}
void SetRecNoMiddleByName(benchmark::State& state) {
  FromFirst(state, "name", [](TDataSet& ds) { ds.SetRecNo(RowCount / 2); });
}

// Page by page through the table, as Page Down does.
void MoveByPage(benchmark::State& state, const String& sort) {
  TOpenDataSet open(sort);
  for (auto _ : state) {
    if (open.DataSet.MoveBy(WindowRows) < WindowRows) {
      state.PauseTiming();
      open.DataSet.First();
      state.ResumeTiming();
    }
  }
}
void MoveByPageRowid(benchmark::State& state) { MoveByPage(state, ""); }
void MoveByPageByName(benchmark::State& state) { MoveByPage(state, "name"); }

void LocateIndexed(benchmark::State& state) {
  TOpenDataSet open;
  int i = 1;
  for (auto _ : state) {
    i = (i * 48271) % RowCount + 1;
    if (!open.DataSet.Locate("name", Variant(zvbench::BenchItemName(i)))) state.SkipWithError("not found");
  }
}

void RecordCountFresh(benchmark::State& state) {
  TOpenDataSet open;
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.Refresh();  // forgets the count
    state.ResumeTiming();
    benchmark::DoNotOptimize(open.DataSet.RecordCount());
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().CpuSeconds;
  std::printf("\n%-28s %14s %26s\n", "benchmark", "CPU time", "times faster than the scan");
  for (const auto& r : results) {
    const double t = r.CpuSeconds;
    std::printf("%-28s %12.3f ms %25.1fx%s\n", r.Name.c_str(), t * 1e3, t > 0 ? baseline / t : 0.0,
                !r.Name.starts_with("FullScan") && t * 100 > baseline ? "  (under 100x)" : "");
  }
}

}  // namespace

BENCHMARK(FullScanStatement)->Unit(benchmark::kMillisecond)->Iterations(2);  // the baseline
BENCHMARK(FullScanDataSet)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Open)->Unit(benchmark::kMicrosecond);
BENCHMARK(Last)->Unit(benchmark::kMicrosecond);
BENCHMARK(SetRecNoMiddle)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveByPageRowid)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocateIndexed)->Unit(benchmark::kMicrosecond);
BENCHMARK(RecordCountFresh)->Unit(benchmark::kMicrosecond);
BENCHMARK(LastByName)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveByPageByName)->Unit(benchmark::kMicrosecond);
BENCHMARK(SetRecNoMiddleByName)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  FileName();  // named after this process, before the child that builds it has its own id
  if (!zvbench::BuildInChildProcess(BuildTable)) {
    std::error_code ignored;
    std::filesystem::remove(FileName(), ignored);
    return 1;
  }

  zvbench::TRatioReporter reporter(PrintTable);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const double fileMb = static_cast<double>(std::filesystem::file_size(FileName())) / (1024.0 * 1024.0);
  const double peakMb = zvbench::PeakResidentMb();
  std::printf("\npeak resident memory %.1f MB; the table's file %.1f MB (%d rows)\n", peakMb, fileMb, RowCount);
  std::error_code ignored;
  std::filesystem::remove(FileName(), ignored);
  return 0;
}
