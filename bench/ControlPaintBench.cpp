// Painting a 1920x1080 custom control full of text cells (40 rows x 12 columns: a row fill and
// a DrawText per cell) through the controls layer: invalidate, WM_PAINT, BeginPaint, the
// window device clipped to the update region, the canvas, and the backend; then presentation.
//
// The baseline is the same drawing on a plain canvas over a Qt surface (no window, no
// messages). The "timed" runs wrap the Qt surfaces so that every primitive Qt carries out is
// timed: what is left is the time spent outside Qt (the text layout, the canvas and the
// controls layer). The null run shows the layer over a backend that does almost nothing.

#include "BenchSupport.h"
#include "platform/controls/Application.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "platform/rtl/Format.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

using namespace zv;

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kRows = 40, kColumns = 12;
using TClock = std::chrono::steady_clock;

const std::vector<String>& CellTexts() {
  static const std::vector<String> texts = [] {
    std::vector<String> t;
    for (int i = 0; i < kRows * kColumns; ++i) t.push_back(Format("%.2n", {(i * 7919 % 100000) * 1.37 - 40000}));
    return t;
  }();
  return texts;
}

void PaintCells(TCanvas& c, const TRect& clip) {
  const int rh = kHeight / kRows, cw = kWidth / kColumns;
  const auto& texts = CellTexts();
  for (int row = std::max(clip.Top / rh, 0); row < kRows && row * rh < clip.Bottom; ++row) {
    c.Brush()->SetColor(row % 2 ? RGB(0xF3, 0xF6, 0xFA) : clWindow);
    c.FillRect(Rect(0, row * rh, kWidth, row * rh + rh));
    c.Brush()->SetStyle(bsClear);
    for (int col = 0; col < kColumns; ++col) {
      TRect cell = Rect(col * cw + 4, row * rh, col * cw + cw - 4, row * rh + rh);
      DrawText(c, texts[static_cast<std::size_t>(row * kColumns + col)], cell, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    }
  }
}

class TCells : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override { PaintCells(*Canvas(), Canvas()->ClipRect()); }
};

// --- Timing what Qt does ------------------------------------------------------------------------

double gInsideQt = 0;  // seconds spent in the wrapped surfaces' primitives

struct TTimer {
  TClock::time_point start = TClock::now();
  ~TTimer() { gInsideQt += std::chrono::duration<double>(TClock::now() - start).count(); }
};

// Forwards the primitives (timed) and keeps the composites here, so that only Qt's own work is
// counted inside.
class TTimedSurface : public TPaintDevice {
public:
  explicit TTimedSurface(std::unique_ptr<TPaintDevice> inner) : fInner(std::move(inner)) {}
  int Width() const override { return fInner->Width(); }
  int Height() const override { return fInner->Height(); }
  void Resize(int w, int h) override { TTimer t; fInner->Resize(w, h); }
  void FillRect(const TRect& r, const TBrushData& b) override { TTimer t; fInner->FillRect(r, b); }
  void Polyline(std::span<const TPoint> p, const TPenData& pen, TColor bg) override { TTimer t; fInner->Polyline(p, pen, bg); }
  void Polygon(std::span<const TPoint> p, const TPenData& pen, const TBrushData& b, TColor bg) override {
    TTimer t;
    fInner->Polygon(p, pen, b, bg);
  }
  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& b, TColor bg) override {
    TTimer t;
    fInner->Rectangle(r, pen, b, bg);
  }
  void Ellipse(const TRect& r, const TPenData& pen, const TBrushData& b) override { TTimer t; fInner->Ellipse(r, pen, b); }
  void TextOut(int x, int y, std::string_view s, const TFontData& f, TColor c, TColor bg) override {
    TTimer t;
    fInner->TextOut(x, y, s, f, c, bg);
  }
  TFontMetrics FontMetrics(const TFontData& f) override { TTimer t; return fInner->FontMetrics(f); }
  int TextWidth(const TFontData& f, std::string_view s) override { TTimer t; return fInner->TextWidth(f, s); }
  TPixelBuffer ReadPixels(const TRect& r) override { TTimer t; return fInner->ReadPixels(r); }
  void WritePixels(const TRect& d, const TPixelBuffer& s, TPoint p, std::uint32_t rop, TColor pat, bool blend) override {
    TTimer t;
    fInner->WritePixels(d, s, p, rop, pat, blend);
  }

protected:
  void ClipChanged() override {
    TTimer t;
    fInner->SelectClipRegion(ClipRegion());
  }

private:
  std::unique_ptr<TPaintDevice> fInner;
};

class TTimedBackend : public TGraphicsBackend {
public:
  String Name() const override { return "timed Qt"; }
  std::unique_ptr<TPaintDevice> CreateSurface(int w, int h) override {
    return std::make_unique<TTimedSurface>(fQt->CreateSurface(w, h));
  }

private:
  std::unique_ptr<TGraphicsBackend> fQt = qt::CreateQtBackend();
};

// --- The runs -------------------------------------------------------------------------------------

struct TBackends {
  TBackends(std::unique_ptr<TGraphicsBackend> graphics, std::unique_ptr<TWindowBackend> windows)
      : fGraphics(SetGraphicsBackend(std::move(graphics))), fWindows(SetWindowBackend(std::move(windows))) {}
  ~TBackends() {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }
  std::unique_ptr<TGraphicsBackend> fGraphics;
  std::unique_ptr<TWindowBackend> fWindows;
};

void Finish(benchmark::State& state, double seconds, bool timed) {
  state.counters["frames/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
  if (timed && seconds > 0) state.counters["outside Qt"] = 1.0 - gInsideQt / seconds;
}

void CanvasRun(benchmark::State& state, std::unique_ptr<TGraphicsBackend> backend, bool timed) {
  TBackends backends(std::move(backend), qt::CreateQtWindowBackend());
  auto surface = GraphicsBackend().CreateSurface(kWidth, kHeight);
  TCanvas canvas(surface.get());
  gInsideQt = 0;
  const auto start = TClock::now();
  for (auto _ : state) PaintCells(canvas, Rect(0, 0, kWidth, kHeight));
  Finish(state, std::chrono::duration<double>(TClock::now() - start).count(), timed);
}

void ControlRun(benchmark::State& state, std::unique_ptr<TGraphicsBackend> graphics,
                std::unique_ptr<TWindowBackend> windows, bool timed) {
  TBackends backends(std::move(graphics), std::move(windows));
  {
    TCustomControl top(nullptr);
    top.SetBounds(0, 0, kWidth, kHeight);
    auto* cells = new TCells(&top);
    cells->SetControlStyle(cells->ControlStyle() + TControlStyle{csOpaque});
    cells->SetAlign(alClient);
    cells->SetParent(&top);
    top.Show();
    Application->ProcessMessages();
    gInsideQt = 0;
    const auto start = TClock::now();
    TNullSurface* record = AsNullSurface(RetainedSurfaceOf(cells->Handle()));
    for (auto _ : state) {
      cells->Invalidate();
      cells->Update();
      if (record) record->ClearOps();  // the null backend records every operation
    }
    Finish(state, std::chrono::duration<double>(TClock::now() - start).count(), timed);
  }
  Application->ProcessMessages();
}

void CanvasOnQt(benchmark::State& state) { CanvasRun(state, qt::CreateQtBackend(), false); }
void ControlOnQt(benchmark::State& state) { ControlRun(state, qt::CreateQtBackend(), qt::CreateQtWindowBackend(), false); }
void CanvasOnTimedQt(benchmark::State& state) { CanvasRun(state, std::make_unique<TTimedBackend>(), true); }
void ControlOnTimedQt(benchmark::State& state) {
  ControlRun(state, std::make_unique<TTimedBackend>(), qt::CreateQtWindowBackend(), true);
}
void ControlOnNull(benchmark::State& state) { ControlRun(state, CreateNullBackend(), CreateNullWindowBackend(), false); }

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().CpuSeconds;
  std::printf("\n%-20s %12s %10s %18s %12s\n", "benchmark", "ms/frame", "frames/s", "CPU vs baseline", "outside Qt");
  for (const auto& r : results) {
    const double t = r.CpuSeconds;
    const auto outside = r.Counters.find("outside Qt");
    char share[32] = "";
    if (outside != r.Counters.end()) std::snprintf(share, sizeof share, "%.0f %%", outside->second * 100);
    std::printf("%-20s %12.2f %10.1f %17.2fx %12s\n", r.Name.c_str(), t * 1000, t > 0 ? 1 / t : 0.0, t / baseline, share);
  }
}

}  // namespace

BENCHMARK(CanvasOnQt)->Unit(benchmark::kMillisecond);  // the baseline
BENCHMARK(ControlOnQt)->Unit(benchmark::kMillisecond);
BENCHMARK(CanvasOnTimedQt)->Unit(benchmark::kMillisecond);
BENCHMARK(ControlOnTimedQt)->Unit(benchmark::kMillisecond);
BENCHMARK(ControlOnNull)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  char name[] = "bench-control-paint";
  char* qtArgv[] = {name, nullptr};
  qt::TGuiSession session(qtArgc, qtArgv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  zvbench::TRatioReporter reporter(PrintTable);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
