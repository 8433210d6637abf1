// The grid on Qt off-screen at 1280 x 800 over an SQLite table of 8 columns (one word-wrapped):
// opening, the first paint, a full repaint, a page down and the jump to the last record, each
// against painting the same cells' texts straight onto a canvas with DrawText (the floor, with
// the text layout cache off). Every painting step reports the cache's hits and misses per
// iteration; RepaintNewTexts is a full repaint of texts the cache has not seen (of the first screen,
// the last one and the screens page downs reach, each move's own baseline). The table is built
// by a child process; run with --rows 10000 and the default 1,000,000 to compare the peak resident
// memory; --columns 30 gives the wide layout (horizontal scrolling), --lines 3 taller rows,
// --cache-kib N another bound for the text layout cache.

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "QtGridScene.h"

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/graphics/TextLayoutCache.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace zv;

int RowCount = 1000000;
int ColumnCount = 8;  // --columns: more than 8 repeat the fields, wider than the window
int RowLines = 2;     // --lines
int CacheKib = -1;    // --cache-kib: the text layout cache's bound, other than the default

const std::string& FileName() {
  static const std::string name =
      (std::filesystem::temp_directory_path() / ("zv-grid-paint-" + std::to_string(getpid()) + ".db")).string();
  return name;
}

void BuildTable() {
  sqlite::TSqliteDatabase db(FileName());
  db.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount REAL, qty INTEGER, city TEXT, code TEXT, "
             "flag INTEGER, notes TEXT)");
  db.Execute("BEGIN");
  sqlite::TSqliteStatement insert(db, "INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
  for (int i = 1; i <= RowCount; ++i) {
    insert.Reset();
    insert.BindAll({Variant(i), Variant(String("Name ") + std::to_string(i)), Variant(i * 0.37), Variant(i % 1000),
                    Variant(String(i % 2 ? "København" : "Łódź")), Variant(String("C") + std::to_string(i % 97)),
                    Variant(i % 2), Variant(String("A note long enough to wrap in its column, row ") + std::to_string(i))});
    insert.Step();
  }
  db.Execute("COMMIT");
}

// The grid on its form, over the table; built once.
struct TScene : zvbench::TQtGridScene {
  TScene() : TQtGridScene(FileName(), "t", 1280, 800) {
    Grid->SetShowFooters(true);
    Open();
    TgpColumns& columns = *Grid->Columns();
    columns.BeginUpdate();
    const char* fields[] = {"id", "name", "amount", "qty", "city", "code", "flag", "notes"};
    for (int k = 0; k < ColumnCount; ++k) {
      const char* f = fields[k % 8];
      TgpColumn* c = columns.Add();
      c->SetFieldName(f);
      c->SetWidth(std::strcmp(f, "notes") == 0 ? 300 : 120);
      if (std::strcmp(f, "notes") == 0) c->SetOptionsVisual(TgpColumnVisualOptions{cvoWordWrap});
    }
    columns.EndUpdate();
    Grid->SetRowLines(RowLines);
    Application->ProcessMessages();
  }
  void Open() { DataSet->Open(); }
};

TScene& Scene() {
  static TScene* scene = new TScene();  // lives until the program ends with the backends
  return *scene;
}

// The texts of the cells on screen and their rectangles, read once.
struct TCells {
  std::vector<String> Texts;
  std::vector<TRect> Rects;
  std::vector<bool> Wrap;
};

TCells VisibleCells() {
  TScene& s = Scene();
  TCells cells;
  TDataLink* link = s.Grid->DataLink();
  const int saved = link->ActiveRecord();
  for (int row = 0; row < s.Grid->Layout().RowCount; ++row) {
    link->SetActiveRecord(row);
    for (int i = 0; i < s.Grid->Columns()->Count(); ++i) {
      TgpColumn* c = s.Grid->Columns()->Items(i);
      if (!c->Field()) continue;
      const TRect r = s.Grid->CellClientRect(c, row, false);
      TRect shown;
      if (!IntersectRect(shown, r, s.Grid->ClientRect())) continue;  // scrolled out of the window
      cells.Texts.push_back(c->Field()->DisplayText());
      cells.Rects.push_back(r);
      cells.Wrap.push_back(c->OptionsVisual().Contains(cvoWordWrap));
    }
  }
  link->SetActiveRecord(saved);
  return cells;
}

// The layout cache's lookups made by the timed parts of a step.
struct TCacheTally {
  std::uint64_t Hits = 0, Misses = 0;
  TTextCacheStats At;
  void Start() { At = TextLayoutCache().Stats(); }
  void Stop() {
    const TTextCacheStats s = TextLayoutCache().Stats();
    Hits += s.LayoutHits - At.LayoutHits;
    Misses += s.LayoutMisses - At.LayoutMisses;
  }
  void Report(benchmark::State& state) const {
    state.counters["hits"] = benchmark::Counter(static_cast<double>(Hits), benchmark::Counter::kAvgIterations);
    state.counters["misses"] = benchmark::Counter(static_cast<double>(Misses), benchmark::Counter::kAvgIterations);
  }
};

void Floor(benchmark::State& state) {
  TCells cells = VisibleCells();
  TBitmap bitmap;
  bitmap.SetSize(1280, 800);
  TCanvas& canvas = *bitmap.Canvas();
  canvas.Font()->Assign(Scene().Grid->Font());
  canvas.Brush()->SetStyle(bsClear);
  const std::size_t capacity = TextLayoutCache().Capacity();
  TextLayoutCache().SetCapacity(0);
  for (auto _ : state) {
    for (std::size_t k = 0; k < cells.Texts.size(); ++k) {
      TRect r = cells.Rects[k];
      DrawText(canvas, cells.Texts[k], r, DT_NOPREFIX | (cells.Wrap[k] ? DT_WORDBREAK : DT_SINGLELINE | DT_END_ELLIPSIS));
    }
  }
  TextLayoutCache().SetCapacity(capacity);
  state.counters["cells"] = static_cast<double>(cells.Texts.size());
}

void Open(benchmark::State& state) {
  TScene& s = Scene();
  for (auto _ : state) {
    s.DataSet->Close();
    s.Open();
  }
}

void FirstPaint(benchmark::State& state) {
  TScene& s = Scene();
  TCacheTally tally;
  for (auto _ : state) {
    state.PauseTiming();
    s.DataSet->Close();
    s.Open();
    TextLayoutCache().Clear();
    state.ResumeTiming();
    tally.Start();
    s.Paint();
    tally.Stop();
  }
  tally.Report(state);
}

void FullRepaint(benchmark::State& state) {
  TScene& s = Scene();
  s.DataSet->First();
  TCacheTally tally;
  tally.Start();
  for (auto _ : state) s.Paint();
  tally.Stop();
  tally.Report(state);
}

// A repaint with every text new to the cache of the first screen, of the last (the one a jump
// to the end shows: its ids are longer and its notes wrap on more lines than the first screen's)
// or of each screen a page down shows in turn, reached by page downs outside the timing: each
// move is also weighed against a repaint of the screens it shows.
enum class TScreen { First, Last, Paged };

void RepaintNewTextsOf(benchmark::State& state, TScreen screen) {
  TScene& s = Scene();
  if (screen == TScreen::Last) s.DataSet->Last();
  else s.DataSet->First();
  s.Paint();
  TCacheTally tally;
  for (auto _ : state) {
    state.PauseTiming();
    if (screen == TScreen::Paged) {
      if (s.DataSet->Eof()) s.DataSet->First();
      s.Grid->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
      UpdateWindow(s.Grid->Handle());
    }
    TextLayoutCache().Clear();
    state.ResumeTiming();
    tally.Start();
    s.Paint();
    tally.Stop();
  }
  s.DataSet->First();
  tally.Report(state);
}

void RepaintNewTexts(benchmark::State& state) { RepaintNewTextsOf(state, TScreen::First); }
void RepaintNewTextsAtEnd(benchmark::State& state) { RepaintNewTextsOf(state, TScreen::Last); }
void RepaintNewTextsPaged(benchmark::State& state) { RepaintNewTextsOf(state, TScreen::Paged); }

void PageDown(benchmark::State& state) {
  TScene& s = Scene();
  s.DataSet->First();
  s.Paint();
  TCacheTally tally;
  for (auto _ : state) {
    if (s.DataSet->Eof()) {
      state.PauseTiming();
      s.DataSet->First();
      s.Paint();
      state.ResumeTiming();
    }
    tally.Start();
    s.Grid->Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
    UpdateWindow(s.Grid->Handle());
    tally.Stop();
  }
  tally.Report(state);
}

void JumpToLast(benchmark::State& state) {
  TScene& s = Scene();
  TCacheTally tally;
  for (auto _ : state) {
    state.PauseTiming();
    s.DataSet->First();
    s.Paint();
    TextLayoutCache().Clear();  // the last records' texts are new each time
    state.ResumeTiming();
    tally.Start();
    s.Grid->Perform(WM_VSCROLL, SB_BOTTOM, 0);
    UpdateWindow(s.Grid->Handle());
    tally.Stop();
  }
  tally.Report(state);
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  double floor = 0, repaint = 0, fresh = 0;
  for (const auto& r : results) {
    if (r.Name.starts_with("Floor")) floor = r.CpuSeconds;
    if (r.Name.starts_with("FullRepaint")) repaint = r.CpuSeconds;
    if (r.Name.starts_with("RepaintNewTexts") && !r.Name.starts_with("RepaintNewTextsAtEnd") &&
        !r.Name.starts_with("RepaintNewTextsPaged"))
      fresh = r.CpuSeconds;
  }
  std::printf("\n%d rows, %d columns, %d lines a row\n%-20s %12s %16s %18s %20s %10s %10s\n", RowCount, ColumnCount, RowLines,
              "benchmark", "CPU time", "x the DrawText floor", "x a full repaint", "x a repaint of new texts", "hits", "misses");
  auto count = [](const zvbench::TBenchResult& r, const char* name) {
    auto it = r.Counters.find(name);
    return it == r.Counters.end() ? 0.0 : it->second;
  };
  for (const auto& r : results)
    std::printf("%-20s %10.3f ms %16.2f %18.2f %20.2f %10.0f %10.0f\n", r.Name.c_str(), r.CpuSeconds * 1e3,
                floor > 0 ? r.CpuSeconds / floor : 0.0, repaint > 0 ? r.CpuSeconds / repaint : 0.0,
                fresh > 0 ? r.CpuSeconds / fresh : 0.0, count(r, "hits"), count(r, "misses"));
  double end = 0, jump = 0, paged = 0, pageDown = 0;
  for (const auto& r : results) {
    if (r.Name.starts_with("RepaintNewTextsAtEnd")) end = r.CpuSeconds;
    if (r.Name.starts_with("JumpToLast")) jump = r.CpuSeconds;
    if (r.Name.starts_with("RepaintNewTextsPaged")) paged = r.CpuSeconds;
    if (r.Name.starts_with("PageDown")) pageDown = r.CpuSeconds;
  }
  if (end > 0) std::printf("JumpToLast x a repaint of new texts of the screen it shows: %.2f\n", jump / end);
  if (paged > 0) std::printf("PageDown x a repaint of new texts of the screens it shows: %.2f\n", pageDown / paged);
  const TTextCacheStats s = TextLayoutCache().Stats();
  std::printf("text layout cache: %zu entries, %.2f of %.2f MiB, %llu evictions\n", s.Entries, s.Bytes / 1048576.0,
              s.Capacity / 1048576.0, static_cast<unsigned long long>(s.Evictions));
  std::printf("shaped runs kept: %.2f MiB (reckoned)\n", qt::KeptRunBytes() / 1048576.0);
}

}  // namespace

BENCHMARK(Floor)->Unit(benchmark::kMillisecond);  // the baseline
BENCHMARK(Open)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintNewTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintNewTextsAtEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintNewTextsPaged)->Unit(benchmark::kMillisecond);
BENCHMARK(PageDown)->Unit(benchmark::kMillisecond);
BENCHMARK(JumpToLast)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  // --rows N is ours; the rest goes to Google Benchmark.
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
      RowCount = std::max(std::atoi(argv[++i]), 1);
    else if (std::strcmp(argv[i], "--columns") == 0 && i + 1 < argc)
      ColumnCount = std::max(std::atoi(argv[++i]), 1);
    else if (std::strcmp(argv[i], "--lines") == 0 && i + 1 < argc)
      RowLines = std::max(std::atoi(argv[++i]), 1);
    else if (std::strcmp(argv[i], "--cache-kib") == 0 && i + 1 < argc)
      CacheKib = std::max(std::atoi(argv[++i]), 0);
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FileName();
  if (!zvbench::BuildInChildProcess(BuildTable)) return 1;
  int qtArgc = 1;
  char name[] = "bench-grid-paint";
  char* qtArgv[] = {name, nullptr};
  {
    qt::TGuiSession session(qtArgc, qtArgv);
    SetGraphicsBackend(qt::CreateQtBackend());
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
    if (CacheKib >= 0) TextLayoutCache().SetCapacity(static_cast<std::size_t>(CacheKib) << 10);
    zvbench::TRatioReporter reporter(PrintTable);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\npeak resident memory %.1f MB over %d rows\n", zvbench::PeakResidentMb(), RowCount);
    std::fflush(stdout);
    std::error_code ignored;
    std::filesystem::remove(FileName(), ignored);
    std::_Exit(0);  // the scene outlives the run; the operating system takes it back
  }
}
