// The grid's layout pass with AutoColumnFit (groups, widths, fit, scroll stops), one SetWidth and
// one Regroup, each against reading every column's Width and Visible in the same run; and the
// layout pass for 2,000 columns against 200.
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"

#include "BenchSupport.h"

#include <cstdio>
#include <memory>

namespace {

using namespace zv;

constexpr int Levels = 5;

// groups × 5 columns, one per level, fitted into 1,600 pixels.
std::unique_ptr<TDBDivoRud> MakeGrid(int groups) {
  auto grid = std::make_unique<TDBDivoRud>(nullptr);
  TgpColumns& cols = *grid->Columns();
  cols.SetAvailableWidth(1600);
  cols.BeginUpdate();
  for (int g = 0; g < groups; ++g)
    for (int level = 0; level < Levels; ++level) {
      TgpColumn* c = cols.Add();
      c->SetWidth(40 + (g * 7 + level * 13) % 60);
      c->SetLayoutLevel(level);
    }
  cols.EndUpdate();
  grid->SetAutoColumnFit(true);
  return grid;
}

void ReadWidths(benchmark::State& state) {
  auto grid = MakeGrid(40);
  TgpColumns& cols = *grid->Columns();
  for (auto _ : state) {
    int sum = 0;
    for (int i = 0; i < cols.Count(); ++i) sum += cols.Items(i)->Visible() ? cols.Items(i)->Width() : 0;
    benchmark::DoNotOptimize(sum);
  }
}

void LayoutPass(benchmark::State& state) {
  auto grid = MakeGrid(static_cast<int>(state.range(0)) / Levels);
  for (auto _ : state) grid->LayoutChanged();
}

void SetWidth(benchmark::State& state) {
  auto grid = MakeGrid(40);
  TgpColumn* c = grid->Columns()->Items(52);
  int w = 60;
  for (auto _ : state) {
    w = w == 60 ? 80 : 60;
    c->SetWidth(w);
  }
}

void Regroup(benchmark::State& state) {
  auto grid = MakeGrid(40);
  TgpColumns& cols = *grid->Columns();
  for (auto _ : state) {
    // Moves the last level of group 10 to the front of group 11 and back.
    TgpColumn* c = cols.Items(10 * Levels + 4);
    cols.Regroup(c, cols.Items(11 * Levels - 1 + 1), 0, 0);
    cols.Regroup(c, cols.Items(10 * Levels), 0, Levels - 1);
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto find = [&](const std::string& name) -> const zvbench::TBenchResult* {
    for (const auto& r : results)
      if (r.Name == name) return &r;
    return nullptr;
  };
  const auto* base = find("ReadWidths");
  std::printf("\n%-22s %12s %10s\n", "200 columns", "us", "ratio");
  for (const char* name : {"LayoutPass/200", "SetWidth", "Regroup"})
    if (const auto* r = find(name); r && base)
      std::printf("%-22s %12.2f %9.1fx\n", name, r->CpuSeconds * 1e6, r->CpuSeconds / base->CpuSeconds);
  if (const auto *small = find("LayoutPass/200"), *large = find("LayoutPass/2000"); small && large)
    std::printf("%-22s %12.2f %9.1fx of 200 (limit 12x)\n", "LayoutPass/2000", large->CpuSeconds * 1e6,
                large->CpuSeconds / small->CpuSeconds);
}

}  // namespace

BENCHMARK(ReadWidths);
BENCHMARK(LayoutPass)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SetWidth)->Unit(benchmark::kMicrosecond);
BENCHMARK(Regroup)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
