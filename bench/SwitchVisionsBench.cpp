// Check-box and multi-state columns against plain ones, headless: a 40-row grid of 20 columns
// over 100,000 SQLite rows, ten columns of check boxes (0/1) and ten of a five-state switch with
// images, against the same grid with the default vision on every column. A full repaint and a
// page down each, printed as ratios to the plain grid in the same run (at most 1.5).

#include "GridBenchWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/SwitchVisions.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;

namespace {

constexpr int Rows = 100'000;

const String& FileName() { return zvbench::GridBenchFileName("switch-bench", Rows); }

struct TSwitchWindow : zvbench::TGridWindow {
  TCheckBoxVision CheckBox{nullptr};
  TXStateVision States{nullptr};
  TImageList Images{nullptr};

  int Kind = 1;
  explicit TSwitchWindow(bool switches, int kind = 1)
      : TGridWindow(FileName(), [](TSqliteDataSet& ds) {
          ds.SetTableName("");
          ds.SetSQL("SELECT id, id % 2 AS flag, id % 5 + 1 AS state, name FROM items");
        }) {
    Kind = kind;
    CheckBox.SetValueChecked("1");
    CheckBox.SetValueUnChecked("0");
    Images.SetWidth(16);
    Images.SetHeight(16);
    for (int i = 0; i < 10; ++i) {
      TBitmap image;
      image.SetWidth(16);
      image.SetHeight(16);
      image.Canvas()->Brush()->SetColor(RGB(i * 20, 100, 200 - i * 20));
      image.Canvas()->FillRect({0, 0, 16, 16});
      Images.Add(&image, nullptr);
    }
    States.SetImages(&Images);
    for (int i = 1; i <= 5; ++i) {
      TXState* s = States.States()->Add();
      s->SetFieldValue(std::to_string(i));
      s->SetDisplayText("State " + std::to_string(i));
      s->SetImageIndex(i - 1);
      s->SetPushedImageIndex(i + 4);
    }
    Host.SetBounds(0, 0, 1300, 820);
    Grid->SetBounds(0, 0, 1280, 800);
    TgpColumns& columns = *Grid->Columns();
    columns.BeginUpdate();
    columns.Clear();
    for (int i = 0; i < 20; ++i) {
      TgpColumn* c = columns.Add();
      c->SetFieldName(i < 10 ? "flag" : "state");
      c->SetWidth(60);
      if (switches && (Kind == 1 || (Kind == 2 && i < 10) || (Kind == 3 && i >= 10))) c->SetVision(i < 10 ? static_cast<TvpFieldVision*>(&CheckBox) : &States);
    }
    columns.EndUpdate();
    Application->ProcessMessages();
  }
  void Paint() {
    Grid->Invalidate();
    UpdateWindow(Grid->Handle());
  }
};

struct TPack {
  TPack() { StartDefaultPack(); }
  ~TPack() { StopDefaultPack(); }
};

void Repaint(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TSwitchWindow w(state.range(0) != 0, state.range(0) == 0 ? 1 : static_cast<int>(state.range(0)));
  if (w.Grid->VisibleRowCount() < 40) state.SkipWithError("fewer than 40 rows on screen");
  for (auto _ : state) w.Paint();
}

void PageDown(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TSwitchWindow w(state.range(0) != 0);
  for (auto _ : state) {
    if (w.Id() > Rows - 100) {
      state.PauseTiming();
      w.Key(VK_HOME, {ssCtrl});
      state.ResumeTiming();
    }
    w.Key(VK_NEXT);
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, double> cost;
  for (const auto& r : results) cost[r.Name] = r.CpuSeconds;
  std::printf("\n%-32s %14s %14s %10s\n", "per step", "plain", "switches", "ratio");
  for (const char* step : {"Repaint", "PageDown"}) {
    const double plain = cost[std::string(step) + "/0"], switches = cost[std::string(step) + "/1"];
    std::printf("%-32s %11.1f us %11.1f us %9.2fx (at most 1.5)\n", step, plain * 1e6, switches * 1e6,
                plain > 0 ? switches / plain : 0.0);
  }
}

}  // namespace

BENCHMARK(Repaint)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(PageDown)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "switch-bench", {Rows}, PrintTable);
}
