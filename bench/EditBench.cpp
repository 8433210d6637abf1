// What a keystroke costs in a multi-line edit as its text grows: typing a character, moving the
// caret down a line and repainting the window, with word wrap on, for a memo of 10 lines (the
// baseline) and for 1,000 and 100,000 lines. The work on screen is the same in every case (the
// window shows about 30 lines), so the ratios show what grows with the text.
//
// Runs on the headless backends so that only the library's own work is timed.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "platform/controls/Application.h"
#include "platform/controls/Messages.h"
#include "platform/controls/RichEdit.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "platform/rtl/Format.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace zv;

namespace {

using TBackends = zvbench::THeadlessBackends;

// A shown, focused, word-wrapping edit holding lines lines of prose, the caret in the middle.
std::unique_ptr<TRichEdit> MakeMemo(int lines) {
  auto edit = std::make_unique<TRichEdit>(nullptr);
  edit->SetBounds(0, 0, 480, 480);
  edit->SetWordWrap(true);
  String text;
  for (int i = 0; i < lines; ++i)
    text += Format("Line %d: the quick brown fox jumps over the lazy dog, again and again.\r\n", {i});
  edit->SetText(text);
  edit->Show();
  edit->SetFocus();
  edit->SetSelStart(static_cast<int>(text.size() / 2));
  Application->ProcessMessages();
  return edit;
}

void TypeCharacter(benchmark::State& state) {
  TBackends backends;
  auto edit = MakeMemo(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    edit->Perform(WM_CHAR, 'x');
    Application->ProcessMessages();
  }
}

void MoveCaretDown(benchmark::State& state) {
  TBackends backends;
  auto edit = MakeMemo(static_cast<int>(state.range(0)));
  const int middle = edit->SelStart();
  int moves = 0;
  for (auto _ : state) {
    if (++moves % 20 == 0) edit->SetSelStart(middle);  // stay in the middle of the text
    edit->Perform(WM_KEYDOWN, VK_DOWN);
    Application->ProcessMessages();
  }
}

void Repaint(benchmark::State& state) {
  TBackends backends;
  auto edit = MakeMemo(static_cast<int>(state.range(0)));
  for (auto _ : state) edit->Repaint();
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::printf("\n%-28s %12s %10s\n", "operation", "us/op", "ratio");
  for (const auto& r : results) {
    const std::string op = r.Name.substr(0, r.Name.find('/'));
    for (const auto& b : results)
      if (b.Name == op + "/10") {
        std::printf("%-28s %12.1f %9.1fx\n", r.Name.c_str(), r.CpuSeconds * 1e6, r.CpuSeconds / b.CpuSeconds);
        break;
      }
  }
}

}  // namespace

BENCHMARK(TypeCharacter)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(MoveCaretDown)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Repaint)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
