// The form designer against the run time, in one run: opening a form of 2,000 components in a
// designer against reading the same form at run time, and selecting all 2,000 components with
// the property editors they share against selecting 200 of them.
//
// Runs on the headless backends so that only the host's own work is timed.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Modules.h"
#include "platform/design/FormDesigner.h"
#include "platform/rtl/Format.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace zv;

namespace {

constexpr int kComponents = 2000;

String FormOf(int count) {
  String text = "object BenchForm: TForm\n  Left = 0\n  Top = 0\n  Width = 800\n  Height = 600\n";
  for (int i = 1; i <= count; ++i)
    text += Format("  object Button%d: TButton\n    Left = %d\n    Top = %d\n    Width = 60\n    Height = 20\n"
                   "    Caption = 'Button %d'\n    TabOrder = %d\n  end\n",
                   {i, (i % 10) * 70, (i / 10) * 3, i, i - 1});
  return text + "end\n";
}

struct TSetup {
  zvbench::THeadlessBackends backends;
  TSetup() { InitializeModules(); }
};

void ReadAtRunTime(benchmark::State& state) {
  TSetup s;
  const String text = FormOf(kComponents);
  for (auto _ : state) delete TextToComponent(text);
}

void OpenInDesigner(benchmark::State& state) {
  TSetup s;
  const String text = FormOf(kComponents);
  for (auto _ : state) benchmark::DoNotOptimize(TFormDesigner::OpenForm(text));
}

void Select(benchmark::State& state) {
  TSetup s;
  auto designer = TFormDesigner::OpenForm(FormOf(kComponents));
  TDesignerSelections all;
  for (int i = 0; i < static_cast<int>(state.range(0)); ++i) all.push_back(designer->Root()->Components(i));
  for (auto _ : state) {
    designer->ClearSelection();
    designer->SetSelections(all);
    int editors = 0;
    GetComponentProperties(designer->Selection(), tkAny, designer.get(), [&](std::unique_ptr<TPropertyEditor>) { ++editors; });
    if (editors == 0) state.SkipWithError("no common property");
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto cpu = [&](const char* name) {
    for (const auto& r : results)
      if (r.Name == name) return r.CpuSeconds;
    return 0.0;
  };
  std::printf("\n%-22s %12s %10s %8s\n", "operation", "ms/op", "ratio", "limit");
  const struct {
    const char* Op;
    const char* Base;
    double Limit;
  } rows[] = {{"OpenInDesigner", "ReadAtRunTime", 1.5}, {"Select/2000", "Select/200", 12}};
  for (const auto& r : rows)
    if (cpu(r.Op) > 0 && cpu(r.Base) > 0)
      std::printf("%-22s %12.2f %9.2fx %7.1fx  (%s %.2f ms)\n", r.Op, cpu(r.Op) * 1e3, cpu(r.Op) / cpu(r.Base), r.Limit,
                  r.Base, cpu(r.Base) * 1e3);
}

}  // namespace

BENCHMARK(ReadAtRunTime)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenInDesigner)->Unit(benchmark::kMillisecond);
BENCHMARK(Select)->Arg(200)->Arg(kComponents)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
