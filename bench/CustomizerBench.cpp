// The column customizer over wide datasets: Customize in the removing mode over 200 and 2,000
// fields with half of them shown (the lists built, the customizer created, its list filled and
// its dataset opened), each against splitting its names list once into a string list in the
// same run, and the wide run against the narrow one.
//
// Runs on the headless backends so that only the library's own work is timed.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/db/DataLink.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"
#include "runtime/env/Customizer.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/OneStringLists.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace zv;

namespace {

using TBackends = zvbench::THeadlessBackends;

String FieldName(int i) { return Format("FIELD%.5d", {i}); }

struct TSetup {
  TBackends backends;
  TForm form{nullptr};
  TMemTable table{nullptr};
  TDataSource source{nullptr};
  TDBDivoRud grid{nullptr};
  String names;
  explicit TSetup(int fields) {
    Application->Initialize();
    for (int i = 0; i < fields; ++i) {
      table.FieldDefs().Add(FieldName(i), ftInteger);
      names += (i ? ";" : "") + FieldName(i);
    }
    table.CreateDataSet();
    source.SetDataSet(&table);
    form.SetBounds(0, 0, 600, 400);
    grid.SetBounds(0, 0, 600, 400);
    grid.SetParent(&form);
    // Every other field shown.
    for (int i = 0; i < fields; i += 2) grid.Columns()->Add()->SetFieldName(FieldName(i));
    grid.SetDataSource(&source);
    form.Show();
  }
  ~TSetup() {
    delete zvDivoRudCustomizer;
    Application->ProcessMessages();
  }
};

void Customize(benchmark::State& state) {
  TSetup s(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    s.grid.Customize(gcmRemove, "", "");
    if (!zvDivoRudCustomizer || zvDivoRudCustomizer->Strings()->Count() != state.range(0) / 2)
      state.SkipWithError("the list does not offer the hidden half");
    delete zvDivoRudCustomizer;
  }
}

void SplitNames(benchmark::State& state) {
  String names;
  for (int i = 0; i < state.range(0); ++i) names += (i ? ";" : "") + FieldName(i);
  for (auto _ : state) benchmark::DoNotOptimize(lioCreateStrings(names, ';'));
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto cpu = [&](const char* name) {
    for (const auto& r : results)
      if (r.Name == name) return r.CpuSeconds;
    return 0.0;
  };
  std::printf("\n%-18s %12s %10s\n", "operation", "us/op", "ratio");
  for (auto [op, base] : {std::pair{"Customize/200", "SplitNames/200"}, std::pair{"Customize/2000", "SplitNames/2000"},
                          std::pair{"Customize/2000", "Customize/200"}})
    if (cpu(op) > 0 && cpu(base) > 0)
      std::printf("%-18s %12.1f %9.2fx  (%s %.1f us)\n", op, cpu(op) * 1e6, cpu(op) / cpu(base), base, cpu(base) * 1e6);
}

}  // namespace

BENCHMARK(Customize)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SplitNames)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
