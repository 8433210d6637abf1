// Editing cells through the grid on SQLite tables of 10,000 and 1,000,000 records, headless,
// painting included. One edit cycle is what a user does to change a cell and go on: F2, a
// typed character, Enter (the cell is posted), Enter (the record is posted: an UPDATE and its
// commit), Down. The baseline is a plain Down on the same table; every figure is printed as a
// ratio to it. An edit cycle must not grow with the table: 1,000,000 within 1.5x of 10,000.

#include "GridBenchWindow.h"
#include "runtime/vision/FieldVision.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;

namespace {

const int TableSizes[] = {10'000, 1'000'000};

const String& FileName(int rows) { return zvbench::GridBenchFileName("edit-bench", rows); }

// The grid on the table, every column edited through the base vision, NAME current.
struct TEditWindow : zvbench::TGridWindow {
  TvpFieldVision Vision{nullptr};
  explicit TEditWindow(int rows) : TGridWindow(FileName(rows)) {
    for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetVision(&Vision);
    Grid->SetCol(1);
  }
  // Back to the first record when the next step would leave the table.
  void Rewind(benchmark::State& state, int rows) {
    if (Id() < rows - 1) return;
    state.PauseTiming();
    Key(VK_HOME, {ssCtrl});
    state.ResumeTiming();
  }
};

void Down(benchmark::State& state) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  TEditWindow w(rows);
  for (auto _ : state) {
    w.Rewind(state, rows);
    w.Key(VK_DOWN);
  }
}

void EditCycle(benchmark::State& state) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  TEditWindow w(rows);
  for (auto _ : state) {
    w.Rewind(state, rows);
    const int id = w.Id();
    w.Key(VK_F1 + 1);  // F2
    w.Key('X', {}, U'x');
    w.Key(VK_RETURN);
    w.Key(VK_RETURN);
    if (w.DataSet.State() != dsBrowse || w.DataSet.FieldByName("name")->AsString() != "x")
      state.SkipWithError("the edit was not posted");
    w.Key(VK_DOWN);
    if (w.Id() != id + 1) state.SkipWithError("Down did not follow the edit");
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, std::map<int, double>> cost;
  for (const auto& r : results) {
    const auto slash = r.Name.find('/');
    cost[r.Name.substr(0, slash)][std::stoi(r.Name.substr(slash + 1))] = r.CpuSeconds;
  }
  std::printf("\n%-28s %14s %22s\n", "per step", "time", "ratio to Down");
  for (int rows : TableSizes) {
    const double down = cost["Down"][rows];
    const double edit = cost["EditCycle"][rows];
    std::printf("%-28s %11.2f us %21.1fx\n", ("Down, " + std::to_string(rows)).c_str(), down * 1e6, 1.0);
    std::printf("%-28s %11.2f us %21.1fx\n", ("edit cycle, " + std::to_string(rows)).c_str(), edit * 1e6,
                down > 0 ? edit / down : 0.0);
  }
  const double small = cost["EditCycle"][TableSizes[0]];
  if (small > 0)
    std::printf("edit cycle 1,000,000 / 10,000: %.2f (at most 1.5)\n", cost["EditCycle"][TableSizes[1]] / small);
}

}  // namespace

BENCHMARK(Down)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(EditCycle)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "edit-bench", {std::begin(TableSizes), std::end(TableSizes)}, PrintTable);
}
