// The grid's record snapshots on an SQLite table of 1,000,000 rows (id INTEGER PRIMARY KEY, name
// TEXT with an index, amount REAL, created DATETIME) shown through a 30-row link, in rowid order
// and sorted by the indexed name, with the snapshots' record numbers on and off:
//   - SyncBack: after a Refresh with the cursor moved to the first record, SyncCursors brings it
//     back to the mark at position 700,000, found by bookmark (gctInsensitiveBmrk) or by the
//     indexed key (gctInsensitiveID, UniqueFields = name);
//   - Locate: a sensitive grid follows a Locate of the name at position 700,000 (the mark is
//     taken again on the way);
//   - UpdateCurrentInfo: the search of the current row with the mark in view.
// The baseline is one full scan of the table through a plain statement; every figure is printed
// as a ratio to it and must be at least 100 times faster. At the end: the peak resident memory
// against the file's size. The table is built by a child process, so its memory does not count.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "ProcessSupport.h"
#include "SqliteBenchTable.h"
#include "platform/db/DataLink.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/DBDivoRud.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

using namespace zv;
using namespace zv::sqlite;

namespace {

constexpr int RowCount = 1'000'000;
constexpr int WindowRows = 30;
constexpr int MarkPosition = 700'000;

const String& FileName() {
  static const String name = zvbench::BenchTableFileName("grid-bench");
  return name;
}

void BuildTable() { zvbench::BuildItemsTable(FileName(), RowCount); }

using TBackends = zvbench::THeadlessBackends;

// A grid of 30 rows on the open table.
struct TOpenGrid {
  TSqliteDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDBDivoRud Grid{nullptr};

  TOpenGrid(const String& sort, TgpCursorType type, bool recNo) {
    DataSet.SetFileName(FileName());
    DataSet.SetTableName("items");
    DataSet.SetSortFields(sort);
    DataSet.Open();
    Grid.DataLink()->SetBufferCount(WindowRows);
    Grid.ParamsDB()->SetEnableRecNo(recNo);
    Source.SetDataSet(&DataSet);
    Grid.SetDataSource(&Source);
    if (type == gctInsensitiveID) Grid.SetUniqueFields("name");
    Grid.SetCursorType(type);
  }
  ~TOpenGrid() { Grid.SetDataSource(nullptr); }

  // The record at the position, marked; its name.
  String MarkAt(int position) {
    DataSet.SetRecNo(position);
    Grid.CurrentRecShot()->Select(false);
    return DataSet.FieldByName("name")->AsString();
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

void SyncBack(benchmark::State& state, TgpCursorType type, const String& sort, bool recNo) {
  TBackends backends;
  TOpenGrid open(sort, type, recNo);
  const String name = open.MarkAt(MarkPosition);
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.First();
    open.DataSet.Refresh();
    state.ResumeTiming();
    const bool back = open.Grid.SyncCursors(false);
    if (!back || open.DataSet.FieldByName("name")->AsString() != name) state.SkipWithError("not back on the mark");
  }
}

void LocateSensitive(benchmark::State& state, const String& sort, bool recNo) {
  TBackends backends;
  TOpenGrid open(sort, gctSensitive, recNo);
  open.DataSet.SetRecNo(MarkPosition);
  const String name = open.DataSet.FieldByName("name")->AsString();
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.First();
    state.ResumeTiming();
    if (!open.DataSet.Locate("name", Variant(name))) state.SkipWithError("not found");
    if (!open.Grid.CurrentRecShot()->IsEqual()) state.SkipWithError("not marked");
  }
}

void UpdateCurrentInfoInView(benchmark::State& state, const String& sort, bool recNo) {
  TBackends backends;
  TOpenGrid open(sort, gctInsensitiveBmrk, recNo);
  open.MarkAt(MarkPosition);
  open.DataSet.MoveBy(WindowRows / 2);  // the mark stays in view, above the cursor
  for (auto _ : state) {
    open.Grid.UpdateCurrentInfo(0);
    if (open.Grid.CurrentRow() < 0) state.SkipWithError("the mark is not found in view");
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().CpuSeconds;
  std::printf("\n%-44s %14s %26s\n", "benchmark", "CPU time", "times faster than the scan");
  for (const auto& r : results) {
    const double t = r.CpuSeconds;
    std::printf("%-44s %12.3f ms %25.1fx%s\n", r.Name.c_str(), t * 1e3, t > 0 ? baseline / t : 0.0,
                !r.Name.starts_with("FullScan") && t * 100 > baseline ? "  (under 100x)" : "");
  }
}

}  // namespace

BENCHMARK(FullScanStatement)->Unit(benchmark::kMillisecond)->Iterations(2);  // the baseline
BENCHMARK_CAPTURE(SyncBack, Bmrk_Rowid_RecNo, gctInsensitiveBmrk, "", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(SyncBack, Bmrk_Rowid_NoRecNo, gctInsensitiveBmrk, "", false)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(SyncBack, ID_Rowid_RecNo, gctInsensitiveID, "", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(SyncBack, Bmrk_ByName_RecNo, gctInsensitiveBmrk, "name", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(SyncBack, Bmrk_ByName_NoRecNo, gctInsensitiveBmrk, "name", false)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(SyncBack, ID_ByName_RecNo, gctInsensitiveID, "name", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(LocateSensitive, Rowid_RecNo, "", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(LocateSensitive, Rowid_NoRecNo, "", false)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(LocateSensitive, ByName_RecNo, "name", true)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(LocateSensitive, ByName_NoRecNo, "name", false)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK_CAPTURE(UpdateCurrentInfoInView, Rowid_RecNo, "", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(UpdateCurrentInfoInView, ByName_RecNo, "name", true)->Unit(benchmark::kMicrosecond);

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
