// A standard vision over a pick list of 100,000 lines: one filtered keystroke (the typed text
// matched against the list with completion) and one most-recently-used posting (the posted
// value moved to the top, the editor's list refreshed), each against what it cannot do with less
// work in the same run: a direct case-insensitive prefix scan of the lines, and IndexOf plus Move
// on the string list. The matches lie near the end of the list, the worst case for a scan.
//
// Runs on the headless backends so that only the library's own work is timed.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "platform/controls/Application.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldValue.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace zv;

namespace {

constexpr int kLines = 100000;

using TBackends = zvbench::THeadlessBackends;

String Line(int i) { return Format("Item%.6d", {i}); }

// An editor whose list dataset shows the vision's pick list.
struct TSetup {
  TBackends backends;
  TStandardVision vision{nullptr};
  TDBDevidEdit edit{nullptr};
  TSetup() {
    for (int i = 0; i < kLines; ++i) vision.PickList()->Add(Line(i));
    edit.SetVision(&vision);
    vision.PE_InitEdit(edit);
  }
};

void FilteredKeystroke(benchmark::State& state) {
  TSetup s;
  s.edit.Perform(WM_KEYDOWN, VK_SHIFT, 0);  // the last key allows completion
  const String typed = "item09999";  // first match: line 99,990
  for (auto _ : state) {
    String text = typed;
    int selStart = 9, selEnd = 9;
    benchmark::DoNotOptimize(s.vision.PE_AcceptText(s.edit, text, "item0999", selStart, selEnd));
    if (text != "Item099990") state.SkipWithError("no completion");
  }
}

void PrefixScan(benchmark::State& state) {
  std::vector<String> lines;
  for (int i = 0; i < kLines; ++i) lines.push_back(Line(i));
  const String typed = "item09999";
  for (auto _ : state) {
    int found = -1;
    for (int i = 0; i < kLines && found < 0; ++i)
      if (lines[i].size() >= typed.size() && AnsiSameText(std::string_view(lines[i]).substr(0, typed.size()), typed))
        found = i;
    benchmark::DoNotOptimize(found);
  }
}

void MruPosting(benchmark::State& state) {
  TSetup s;
  s.vision.SetPickListType(pltMRU);
  TgpFieldValue value;
  int n = 0;
  for (auto _ : state) {
    // A value from the far end each time: the one that went to the top moves down one line.
    value.SetAsString(Line(kLines - 1 - (n++ % 1000)));
    s.vision.VM_SetFieldValue(s.edit.Fields(), value);
  }
}

void IndexOfAndMove(benchmark::State& state) {
  TStringList list;
  for (int i = 0; i < kLines; ++i) list.Add(Line(i));
  int n = 0;
  for (auto _ : state) {
    const int index = list.IndexOf(Line(kLines - 1 - (n++ % 1000)));
    list.Move(index, 0);
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto cpu = [&](const char* name) {
    for (const auto& r : results)
      if (r.Name == name) return r.CpuSeconds;
    return 0.0;
  };
  std::printf("\n%-22s %12s %10s\n", "operation", "us/op", "ratio");
  for (auto [op, base] : {std::pair{"FilteredKeystroke", "PrefixScan"}, std::pair{"MruPosting", "IndexOfAndMove"}})
    if (cpu(op) > 0 && cpu(base) > 0)
      std::printf("%-22s %12.1f %9.2fx  (%s %.1f us)\n", op, cpu(op) * 1e6, cpu(op) / cpu(base), base, cpu(base) * 1e6);
}

}  // namespace

BENCHMARK(FilteredKeystroke)->Unit(benchmark::kMicrosecond);
BENCHMARK(PrefixScan)->Unit(benchmark::kMicrosecond);
BENCHMARK(MruPosting)->Unit(benchmark::kMicrosecond);
BENCHMARK(IndexOfAndMove)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
