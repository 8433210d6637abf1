// Title clicks and footers of the main window, headless, on the shared items table of
// 1,000,000 rows:
//   - TitleClick: a click on the title of amount (no index) until the first window of the new
//     order is painted; beside it SortByCode, the same order set by code (the title's state and
//     the dataset's sort) and painted;
//   - FiveFooters: five footer states (two counts, a sum, a maximum date, an average) refreshed
//     by the window and painted; beside it OneSum, one SELECT SUM(amount); FiveFootersAfterWrite,
//     the same after another connection wrote, when every aggregate is computed again (shown,
//     no limit);
//   - RepaintStated: a full repaint with two sorted titles and the five footers; beside it
//     RepaintPlain, the same grid with neither.
// Ratios: TitleClick / SortByCode at most 1.2; FiveFooters / OneSum at most 1.5; RepaintStated
// / RepaintPlain at most 1.1. The table is built by a child process.

#include "GridBenchWindow.h"
#include "MainForm.h"

#include "platform/controls/WinApi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

using namespace zv;

namespace {

constexpr int Rows = 1'000'000;

const String& FileName() { return zvbench::GridBenchFileName("title-footer", Rows); }

struct TWindow {
  zvbench::TBackends backends;
  std::unique_ptr<zovrin::TMainForm> form;

  TWindow() {
    form = std::make_unique<zovrin::TMainForm>(nullptr, FileName(), "items", false);
    form->Show();
    Application->ProcessMessages();
  }
  TDBDivoRud& Grid() { return *form->Grid; }
  TgpColumn* Col(int i) { return Grid().Columns()->Items(i); }
  // Five footers: counts of id and name, the sum of amount, the latest created, the average
  // amount in a fifth column.
  void StateFooters() {
    TgpColumn* average = Grid().Columns()->Add();
    average->SetFieldName("amount");
    Col(1)->SetFooterStateField(fsCount);
    Col(2)->SetFooterStateField(fsSum);
    Col(3)->SetFooterStateField(fsMax);
    average->SetFooterStateField(fsAverage);
    form->RecomputeFooters();
    Application->ProcessMessages();
  }
  void Unsort() {
    for (int i = 0; i < Grid().Columns()->Count(); ++i) Col(i)->SetTitleStateField(tsSortedNone);
    static_cast<TSqliteDataSet*>(form->DataSet)->SetSortFields("");
    Application->ProcessMessages();
  }
  void ClickTitle(int column) {
    const TRect r = Grid().TitleClientRect(Col(column), false);
    const TPoint screen = Grid().ClientToScreen({(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    TNativeInput in;
    in.Pos = {screen.X - form->Left(), screen.Y - form->Top()};
    in.Kind = TNativeInputKind::MouseDown;
    in.Shift = {ssLeft};
    const TNativeWindow window = NativeWindowOf(form->Handle());
    ActiveNullWindowBackend()->Inject(window, in);
    in.Kind = TNativeInputKind::MouseUp;
    in.Shift = {};
    ActiveNullWindowBackend()->Inject(window, in);
    Application->ProcessMessages();
  }
  void Repaint() {
    Grid().InvalidateGrid();
    UpdateWindow(Grid().Handle());
  }
};

void TitleClick(benchmark::State& state) {
  TWindow w;
  for (auto _ : state) {
    state.PauseTiming();
    w.Unsort();
    state.ResumeTiming();
    w.ClickTitle(2);
    if (w.Col(2)->TitleState() != tsSortedUp || w.form->Message() != "") state.SkipWithError("not sorted by the click");
  }
}

void SortByCode(benchmark::State& state) {
  TWindow w;
  for (auto _ : state) {
    state.PauseTiming();
    w.Unsort();
    state.ResumeTiming();
    w.Col(2)->SetTitleStateField(tsSortedUp);
    static_cast<TSqliteDataSet*>(w.form->DataSet)->SetSortFields("\"amount\"");
    w.Repaint();
  }
}

void FiveFooters(benchmark::State& state) {
  TWindow w;
  w.StateFooters();
  for (auto _ : state) {
    w.form->RecomputeFooters();
    Application->ProcessMessages();
  }
  if (w.Col(2)->FooterText().empty()) state.SkipWithError("no sum");
}

void FiveFootersAfterWrite(benchmark::State& state) {
  TWindow w;
  w.StateFooters();
  sqlite::TSqliteDatabase writer(FileName());
  for (auto _ : state) {
    state.PauseTiming();
    writer.Execute("UPDATE items SET amount = -amount WHERE id = 1");
    state.ResumeTiming();
    w.form->RecomputeFooters();
    Application->ProcessMessages();
  }
  if (w.Col(2)->FooterText().empty()) state.SkipWithError("no sum");
}

void OneSum(benchmark::State& state) {
  sqlite::TSqliteDatabase db(FileName(), true);
  for (auto _ : state) {
    sqlite::TSqliteStatement st(db, "SELECT SUM(amount) FROM items");
    st.Step();
    benchmark::DoNotOptimize(st.ColumnDouble(0));
  }
}

void RepaintStated(benchmark::State& state) {
  TWindow w;
  w.StateFooters();
  w.Col(2)->SetTitleStateField(tsSortedUp);
  w.Col(1)->SetTitleStateField(tsSortedDown);
  for (auto _ : state) w.Repaint();
}

void RepaintPlain(benchmark::State& state) {
  TWindow w;
  w.Col(0)->SetFooterStateField(fsNone);
  w.Grid().Columns()->Add()->SetFieldName("amount");
  Application->ProcessMessages();
  for (auto _ : state) w.Repaint();
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, double> cpu;
  for (const auto& r : results) cpu[r.Name.substr(0, r.Name.find("/"))] = r.CpuSeconds;
  std::printf("\n%-20s %14s\n", "operation", "CPU time");
  for (const auto& r : results) std::printf("%-20s %11.3f ms\n", r.Name.c_str(), r.CpuSeconds * 1e3);
  const auto ratio = [&](const char* a, const char* b, const char* what, double limit) {
    if (cpu[a] > 0 && cpu[b] > 0) std::printf("%s: %.2f (at most %.1f)\n", what, cpu[a] / cpu[b], limit);
  };
  ratio("TitleClick", "SortByCode", "a title click / the same sort by code", 1.2);
  ratio("FiveFooters", "OneSum", "five footers refreshed / one SELECT SUM", 1.5);
  if (cpu["FiveFootersAfterWrite"] > 0 && cpu["OneSum"] > 0)
    std::printf("five footers after another connection's write / one SELECT SUM: %.2f\n",
                cpu["FiveFootersAfterWrite"] / cpu["OneSum"]);
  ratio("RepaintStated", "RepaintPlain", "repaint with two sorts and five footers / without", 1.1);
}

}  // namespace

BENCHMARK(TitleClick)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByCode)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(FiveFooters)->Unit(benchmark::kMillisecond);
BENCHMARK(FiveFootersAfterWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(OneSum)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintStated)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintPlain)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "title-footer", {Rows}, PrintTable);
}
