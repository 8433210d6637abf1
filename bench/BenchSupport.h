#pragma once
// What every benchmark program shares: the console output of Google Benchmark, then a table of
// each benchmark against a baseline measured in the same run. CPU time per iteration is kept,
// being steadier than wall time on a busy two-core machine.

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zvbench {

struct TBenchResult {
  std::string Name;
  double CpuSeconds = 0;  // per iteration
  double RealSeconds = 0;  // per iteration, for work done mostly by another process (a server)
  std::map<std::string, double> Counters;
};

class TRatioReporter : public benchmark::ConsoleReporter {
public:
  using TTablePrinter = std::function<void(const std::vector<TBenchResult>& results)>;
  explicit TRatioReporter(TTablePrinter printer) : fPrinter(std::move(printer)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      TBenchResult* result = Find(run.benchmark_name());
      if (!result) {
        result = &fResults.emplace_back();
        result->Name = run.benchmark_name();
      }
      result->CpuSeconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
      result->RealSeconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      for (const auto& [name, counter] : run.counters) result->Counters[name] = counter.value;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (!fResults.empty()) fPrinter(fResults);
  }

private:
  TBenchResult* Find(const std::string& name) {
    for (auto& r : fResults)
      if (r.Name == name) return &r;
    return nullptr;
  }

  TTablePrinter fPrinter;
  std::vector<TBenchResult> fResults;
};

// The usual main: run what the command line selects, reporting through printer.
inline int RunBenchmarks(int argc, char** argv, TRatioReporter::TTablePrinter printer) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter(std::move(printer));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace zvbench
