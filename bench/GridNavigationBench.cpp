// Keys through the grid on SQLite tables, headless, painting included: each key is injected as
// the windowing system delivers it and the messages it leaves (the grid's painting among them)
// are handled before the next.
//   - HoldDown: Down held through all 100,000 records of a table, the cost per key over the
//     first and the last 10,000 keys;
//   - CtrlEndHome: Ctrl+End then Ctrl+Home on tables of 10,000 and 1,000,000 records.
// The baseline is the dataset's own Next through a data link as wide as the grid's rows; every
// figure is printed as a ratio to it. The per-key cost must not grow with the table: the last
// 10,000 Downs within 1.5x of the first, Ctrl+End/Home at 1,000,000 within 1.5x of 10,000. The
// tables are built by a child process.

#include "GridBenchWindow.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;

namespace {

constexpr int HoldRows = 100'000;
constexpr int Chunk = 10'000;
const int TableSizes[] = {10'000, 100'000, 1'000'000};

const String& FileName(int rows) { return zvbench::GridBenchFileName("nav-bench", rows); }

// The dataset's Next through a link of the grid's rows: what a Down must at least cost.
void BaselineNext(benchmark::State& state) {
  zvbench::TBackends backends;
  int rows = 0;
  {
    zvbench::TGridWindow probe(FileName(HoldRows));
    rows = probe.Grid->VisibleRowCount();
  }
  TSqliteDataSet dataSet(nullptr);
  dataSet.SetFileName(FileName(HoldRows));
  dataSet.SetTableName("items");
  dataSet.Open();
  TDataSource source(nullptr);
  source.SetDataSet(&dataSet);
  TDataLink link;
  link.SetBufferCount(rows);
  link.SetDataSource(&source);
  for (auto _ : state) {
    dataSet.Next();
    if (dataSet.Eof()) {
      state.PauseTiming();
      dataSet.First();
      state.ResumeTiming();
    }
  }
  link.SetDataSource(nullptr);
}

// One pass of Down through the whole table; the counters are CPU seconds per key of the first
// and the last chunk.
void HoldDown(benchmark::State& state) {
  zvbench::TBackends backends;
  for (auto _ : state) {
    state.PauseTiming();
    zvbench::TGridWindow w(FileName(HoldRows));
    state.ResumeTiming();
    double first = 0, last = 0;
    double chunkStart = zvbench::CpuSeconds();
    for (int k = 1; k < HoldRows; ++k) {
      w.Key(VK_DOWN);
      if (k % Chunk == 0 || k == HoldRows - 1) {
        const double now = zvbench::CpuSeconds();
        const double perKey = (now - chunkStart) / Chunk;
        if (k == Chunk) first = perKey;
        last = perKey;
        chunkStart = now;
      }
    }
    if (w.Id() != HoldRows) state.SkipWithError("Down did not reach the last record");
    state.counters["first"] = first;
    state.counters["last"] = last;
  }
}

void CtrlEndHome(benchmark::State& state) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  zvbench::TGridWindow w(FileName(rows));
  for (auto _ : state) {
    w.Key(VK_END, {ssCtrl});
    if (w.Id() != rows) state.SkipWithError("Ctrl+End did not reach the last record");
    w.Key(VK_HOME, {ssCtrl});
    if (w.Id() != 1) state.SkipWithError("Ctrl+Home did not reach the first record");
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().CpuSeconds;
  std::printf("\n%-36s %14s %22s\n", "per key", "time", "ratio to the baseline");
  auto line = [&](const std::string& name, double seconds) {
    std::printf("%-36s %11.2f us %21.1fx\n", name.c_str(), seconds * 1e6, seconds / baseline);
  };
  line("Next through the link (baseline)", baseline);
  std::map<int, double> ends;
  double first = 0, last = 0;
  for (const auto& r : results) {
    if (r.Name.starts_with("HoldDown")) {
      first = r.Counters.at("first");
      last = r.Counters.at("last");
      line("Down, first 10,000", first);
      line("Down, last 10,000", last);
    } else if (r.Name.starts_with("CtrlEndHome/")) {
      const int rows = std::stoi(r.Name.substr(r.Name.find('/') + 1));
      ends[rows] = r.CpuSeconds / 2;
      line("Ctrl+End/Home, " + std::to_string(rows) + " records", ends[rows]);
    }
  }
  if (first > 0) std::printf("last / first 10,000 Downs: %.2f (at most 1.5)\n", last / first);
  if (ends.count(10'000) && ends.count(1'000'000))
    std::printf("Ctrl+End/Home 1,000,000 / 10,000: %.2f (at most 1.5)\n", ends[1'000'000] / ends[10'000]);
}

}  // namespace

BENCHMARK(BaselineNext)->Unit(benchmark::kMicrosecond);
BENCHMARK(HoldDown)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(CtrlEndHome)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "nav-bench", {std::begin(TableSizes), std::end(TableSizes)}, PrintTable);
}
