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

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "SqliteBenchTable.h"
#include "platform/controls/Application.h"
#include "platform/controls/CustomControl.h"
#include "platform/db/DataLink.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdio>
#include <filesystem>
#include <map>

using namespace zv;

namespace {

constexpr int HoldRows = 100'000;
constexpr int Chunk = 10'000;
const int TableSizes[] = {10'000, 100'000, 1'000'000};

const String& FileName(int rows) {
  static std::map<int, String> names;
  String& name = names[rows];
  if (name.empty()) name = zvbench::BenchTableFileName("nav-bench-" + std::to_string(rows));
  return name;
}

struct TBackends {
  TBackends() : graphics(SetGraphicsBackend(CreateNullBackend())), windows(SetWindowBackend(CreateNullWindowBackend())) {
    Application->Initialize();
  }
  ~TBackends() {
    SetWindowBackend(std::move(windows));
    SetGraphicsBackend(std::move(graphics));
  }
  std::unique_ptr<TGraphicsBackend> graphics;
  std::unique_ptr<TWindowBackend> windows;
};

// A shown window holding a focused 600 x 400 grid of the table's four columns.
struct TGridWindow {
  TSqliteDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TStandardDesigner Designer{nullptr};
  TCustomControl Host{nullptr};
  TDBDivoRud* Grid = new TDBDivoRud(&Host);

  explicit TGridWindow(int rows) {
    DataSet.SetFileName(FileName(rows));
    DataSet.SetTableName("items");
    DataSet.Open();
    Source.SetDataSet(&DataSet);
    Host.SetBounds(0, 0, 620, 420);
    Grid->SetBounds(0, 0, 600, 400);
    Grid->SetDesigner(&Designer);
    Grid->SetParent(&Host);
    Grid->SetDataSource(&Source);
    Grid->CreateDefColumns(true);
    Host.Show();
    Grid->SetFocus();
    Application->ProcessMessages();
  }
  ~TGridWindow() {
    Grid->SetDataSource(nullptr);
    Grid->SetDesigner(nullptr);
  }

  void Key(Word key, TShiftState shift = {}) {
    TNativeInput in;
    in.Kind = TNativeInputKind::KeyDown;
    in.Key = key;
    in.Shift = shift;
    const TNativeWindow window = NativeWindowOf(Host.Handle());
    ActiveNullWindowBackend()->Inject(window, in);
    in.Kind = TNativeInputKind::KeyUp;
    ActiveNullWindowBackend()->Inject(window, in);
    Application->ProcessMessages();
  }
  int Id() { return DataSet.FieldByName("id")->AsInteger(); }
};

// The dataset's Next through a link of the grid's rows: what a Down must at least cost.
void BaselineNext(benchmark::State& state) {
  TBackends backends;
  int rows = 0;
  {
    TGridWindow probe(HoldRows);
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

// The process's CPU time, as the baseline is measured (the machine is shared).
double CpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One pass of Down through the whole table; the counters are CPU seconds per key of the first
// and the last chunk.
void HoldDown(benchmark::State& state) {
  TBackends backends;
  for (auto _ : state) {
    state.PauseTiming();
    TGridWindow w(HoldRows);
    state.ResumeTiming();
    double first = 0, last = 0;
    double chunkStart = CpuSeconds();
    for (int k = 1; k < HoldRows; ++k) {
      w.Key(VK_DOWN);
      if (k % Chunk == 0 || k == HoldRows - 1) {
        const double now = CpuSeconds();
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
  TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  TGridWindow w(rows);
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
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (int rows : TableSizes) FileName(rows);  // named after this process, before the child runs
  const bool built = zvbench::BuildInChildProcess([] {
    for (int rows : TableSizes) zvbench::BuildItemsTable(FileName(rows), rows);
  });
  if (built) {
    zvbench::TRatioReporter reporter(PrintTable);
    benchmark::RunSpecifiedBenchmarks(&reporter);
  }
  benchmark::Shutdown();
  std::error_code ignored;
  for (int rows : TableSizes) std::filesystem::remove(FileName(rows), ignored);
  return built ? 0 : 1;
}
