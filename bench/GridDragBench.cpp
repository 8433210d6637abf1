// Mouse work on the titles of a 200-column grid (40 groups of 5 levels), headless: 10,000 moves
// of a title drag and 10,000 moves while sizing, each against 10,000 plain hover moves over the
// titles in the same run (CPU time). Limits: the drag at most 8 times the hover, sizing at most
// 2. The drop markers must move or repaint only when the drop target changes: their update count
// is printed beside the number of target changes the drag crossed.
#include "GridBenchWindow.h"

#include "runtime/grid/Dragger.h"

#include <cstdio>

using namespace zv;

namespace {

constexpr int Levels = 5;
constexpr int Groups = 40;
constexpr int Moves = 10'000;

struct TDragWindow {
  TStandardDesigner Designer{nullptr};
  TCustomControl Host{nullptr};
  TDBDivoRud* Grid = new TDBDivoRud(&Host);

  TDragWindow() {
    Host.SetBounds(0, 0, 1620, 420);
    Grid->SetBounds(0, 0, 1600, 400);
    Grid->SetDesigner(&Designer);
    Grid->SetParent(&Host);
    TgpColumns& cols = *Grid->Columns();
    cols.BeginUpdate();
    for (int g = 0; g < Groups; ++g)
      for (int level = 0; level < Levels; ++level) {
        TgpColumn* c = cols.Add();
        c->SetWidth(40 + (g * 7 + level * 13) % 60);
        c->SetLayoutLevel(level);
      }
    cols.EndUpdate();
    Host.Show();
    Application->ProcessMessages();
  }
  ~TDragWindow() { Grid->SetDesigner(nullptr); }

  void Input(TNativeInputKind kind, int x, int y, TShiftState shift) {
    TNativeInput in;
    in.Kind = kind;
    in.Pos = {x, y};
    in.Shift = shift;
    ActiveNullWindowBackend()->Inject(NativeWindowOf(Host.Handle()), in);
    Application->ProcessMessages();
  }
  int TitleY(int level) {
    const TRect r = Grid->TitleClientRect(Grid->Columns()->Items(level), false);
    return (r.Top + r.Bottom) / 2;
  }
  // x of the i-th of Moves positions sweeping the visible titles back and forth.
  static int SweepX(int i) {
    const int span = 1500;
    const int k = (i * 7) % (2 * span);
    return 20 + (k < span ? k : 2 * span - k);
  }
};

double Hover(TDragWindow& w) {
  const int y = w.TitleY(2);
  const double t0 = zvbench::CpuSeconds();
  for (int i = 0; i < Moves; ++i) w.Input(TNativeInputKind::MouseMove, TDragWindow::SweepX(i) | 1, y, {});
  return zvbench::CpuSeconds() - t0;
}

double Drag(TDragWindow& w, int& markerUpdates, int& targetChanges) {
  const int y = w.TitleY(2);
  const TRect r = w.Grid->TitleClientRect(w.Grid->Columns()->Items(2), false);
  const int x0 = (r.Left + r.Right) / 2;
  w.Input(TNativeInputKind::MouseMove, x0, y, {});
  w.Input(TNativeInputKind::MouseDown, x0, y, {ssLeft});
  w.Input(TNativeInputKind::MouseMove, x0, r.Bottom + 40, {ssLeft});
  const TgpDragger& dragger = w.Grid->TitleTracker().Dragger();
  const int updates0 = dragger.Markers.Updates;
  TgpDropHit last = w.Grid->LastDropHit();
  targetChanges = 0;
  const double t0 = zvbench::CpuSeconds();
  for (int i = 0; i < Moves; ++i) {
    w.Input(TNativeInputKind::MouseMove, TDragWindow::SweepX(i), y, {ssLeft});
    const TgpDropHit& hit = w.Grid->LastDropHit();
    if (hit.Result != last.Result || hit.Group != last.Group || hit.Level != last.Level || hit.Index != last.Index) {
      ++targetChanges;
      last = hit;
    }
  }
  const double t = zvbench::CpuSeconds() - t0;
  markerUpdates = dragger.Markers.Updates - updates0;
  w.Grid->EndDrag(false);
  Application->ProcessMessages();
  return t;
}

double Sizing(TDragWindow& w) {
  const int y = w.TitleY(0);
  const int edge = w.Grid->TitleClientRect(w.Grid->Columns()->Items(10 * Levels), true).Right;
  w.Input(TNativeInputKind::MouseMove, edge, y, {});
  w.Input(TNativeInputKind::MouseDown, edge, y, {ssLeft});
  const double t0 = zvbench::CpuSeconds();
  for (int i = 0; i < Moves; ++i) w.Input(TNativeInputKind::MouseMove, TDragWindow::SweepX(i), y, {ssLeft});
  const double t = zvbench::CpuSeconds() - t0;
  w.Grid->Perform(CM_CANCELMODE, 0, 0);
  w.Input(TNativeInputKind::MouseUp, edge, y, {});
  return t;
}

}  // namespace

int main() {
  zvbench::TBackends backends;
  TDragWindow w;
  Hover(w);  // warm-up
  const double hover = Hover(w);
  int updates = 0, changes = 0;
  const double drag = Drag(w, updates, changes);
  const double sizing = Sizing(w);
  std::printf("%-28s %10s %8s\n", "10,000 moves", "ms", "ratio");
  std::printf("%-28s %10.1f %8s\n", "hover over the titles", hover * 1e3, "1.0x");
  std::printf("%-28s %10.1f %7.1fx (limit 8x)\n", "title drag", drag * 1e3, drag / hover);
  std::printf("%-28s %10.1f %7.1fx (limit 2x)\n", "sizing", sizing * 1e3, sizing / hover);
  std::printf("marker updates %d for %d target changes\n", updates, changes);
  const bool ok = drag / hover <= 8 && sizing / hover <= 2 && updates <= changes;
  return ok ? 0 : 1;
}
