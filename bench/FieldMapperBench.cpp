// Finding a field's map in a mapper of 20 groups of 100 maps, each group with two-clause
// conditions, against as many plain SameText comparisons as a walk over every map would make.
// The lookup must stay within 3x of that walk.
#include "BenchSupport.h"

#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/map/QuickFieldMapper.h"

#include <cstdio>

namespace {

using namespace zv;

constexpr int Groups = 20;
constexpr int MapsPerGroup = 100;

// Every group maps the same names; only the last group's conditions hold for the attributes
// looked up with, so a lookup visits every group and searches the last one.
struct TWorld {
  TWorld() : Mapper(nullptr) {
    for (int g = 0; g < Groups; ++g) {
      TvpFieldMapGroup* group = Mapper.Groups()->Add();
      group->SetMapConditions(g == Groups - 1 ? "Lookup,Combo;ReadOnly" : Format("Lookup%d,Combo%d;ReadOnly", {g, g}));
      for (int i = 0; i < MapsPerGroup; ++i) {
        TvpFieldMapEx* map = group->Maps()->Add();
        map->SetFieldName(Format("FIELD_%04d", {i}));
        map->SetCaption(Format("Field %d of group %d", {i, g}));
      }
    }
    for (int i = 0; i < MapsPerGroup; ++i) Names.push_back(Format("field_%04d", {i}));
  }
  TQuickFieldMapper Mapper;
  std::vector<String> Names;
  const String Attrs = "Combo;ReadOnly;Wide";
};

TWorld& World() {
  static TWorld world;
  return world;
}

// The baseline: the comparisons a walk over every map of every group would make.
void SameTextWalk(benchmark::State& state) {
  auto& w = World();
  std::size_t n = 0;
  for (auto _ : state) {
    const String& wanted = w.Names[n++ % w.Names.size()];
    int hits = 0;
    for (int g = 0; g < Groups; ++g) {
      const TvpFieldMaps* maps = w.Mapper.Groups()->Items(g)->Maps();
      for (int i = 0; i < MapsPerGroup; ++i) hits += SameText(maps->Items(i)->FieldName(), wanted);
    }
    benchmark::DoNotOptimize(hits);
  }
}

void FindMap2(benchmark::State& state) {
  auto& w = World();
  std::size_t n = 0;
  for (auto _ : state) {
    TvpFieldMap* map = w.Mapper.FindMap2(w.Names[n++ % w.Names.size()], w.Attrs);
    if (!map) state.SkipWithError("no map found");
    benchmark::DoNotOptimize(map);
  }
}

// A name no group maps: every applying group is searched, nothing found.
void FindMap2Missing(benchmark::State& state) {
  auto& w = World();
  for (auto _ : state) benchmark::DoNotOptimize(w.Mapper.FindMap2("NO_SUCH_FIELD", w.Attrs));
}

// A rename between lookups: the renamed group's index is rebuilt from the keys kept per map.
void FindMap2AfterRename(benchmark::State& state) {
  auto& w = World();
  TvpFieldMapEx* map = w.Mapper.Groups()->Items(Groups - 1)->Maps()->Items(0);
  const String names[2] = {"FIELD_0000", "FIELD_RENAMED"};
  std::size_t n = 0;
  for (auto _ : state) {
    map->SetFieldName(names[++n % 2]);
    benchmark::DoNotOptimize(w.Mapper.FindMap2(names[n % 2], w.Attrs));
  }
  map->SetFieldName(names[0]);
}

// A grid of 200 columns re-applying the mapper (its message on a map change), against the 200
// lookups it makes.
constexpr int GridColumns = 200;

void FindMap2For200Columns(benchmark::State& state) {
  auto& w = World();
  for (auto _ : state)
    for (int i = 0; i < GridColumns; ++i) benchmark::DoNotOptimize(w.Mapper.FindMap2(w.Names[i % w.Names.size()], w.Attrs));
}

void GridRemap200Columns(benchmark::State& state) {
  auto& w = World();
  TDBDivoRud grid(nullptr);
  grid.Columns()->BeginUpdate();
  for (int i = 0; i < GridColumns; ++i) grid.Columns()->Add()->SetFieldName(w.Names[i % w.Names.size()]);
  grid.Columns()->EndUpdate();
  grid.SetAttrs(w.Attrs);
  grid.SetMapper(&w.Mapper);
  for (auto _ : state) grid.FieldMapChanged();
  grid.SetMapper(nullptr);
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const zvbench::TBenchResult* base = nullptr;
  for (const auto& r : results)
    if (r.Name == "SameTextWalk") base = &r;
  if (!base) return;
  std::printf("\n%-20s %12s %8s %8s   (%d groups x %d maps)\n", "per lookup", "us", "ratio", "limit", Groups,
              MapsPerGroup);
  for (const auto& r : results)
    std::printf("%-20s %12.2f %7.2fx %8s\n", r.Name.c_str(), r.CpuSeconds * 1e6, r.CpuSeconds / base->CpuSeconds,
                r.Name == "FindMap2" ? "3.0x" : "");
  const zvbench::TBenchResult *lookups = nullptr, *remap = nullptr;
  for (const auto& r : results) {
    if (r.Name == "FindMap2For200Columns") lookups = &r;
    if (r.Name == "GridRemap200Columns") remap = &r;
  }
  if (lookups && remap)
    std::printf("re-map of a %d-column grid: %.1f us, %.2fx its %d lookups\n", GridColumns, remap->CpuSeconds * 1e6,
                remap->CpuSeconds / lookups->CpuSeconds, GridColumns);
}

}  // namespace

BENCHMARK(SameTextWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindMap2)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindMap2Missing)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindMap2AfterRename)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindMap2For200Columns)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridRemap200Columns)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
