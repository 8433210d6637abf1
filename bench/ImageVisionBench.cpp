// A 20-row grid on Qt off-screen with a stretched image-vision column over SQLite rows of
// distinct 320 x 240 PNG pictures: a full repaint against drawing the same decoded bitmaps into
// the same cells (the floor), and the first paint of a new page against decoding and drawing its
// pictures. Run with --rows 200 and --rows 1000 to compare the peak resident memory.

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "QtGridScene.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/grid/Column.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/BlobVisions.h"
#include "runtime/vision/StdDesigners.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

using namespace zv;

int RowCount = 1000;
constexpr int PageRows = 20;

const std::string& FileName() {
  static const std::string name =
      (std::filesystem::temp_directory_path() / ("zv-image-vision-" + std::to_string(getpid()) + ".db")).string();
  return name;
}

// Each picture a gradient of its own: no two rows hold the same bytes.
std::vector<std::uint8_t> Picture(int i) {
  TPixelBuffer pixels(320, 240);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x)
      pixels.Set(x, y, 0xFF000000u | std::uint32_t((x + i) & 0xFF) << 16 | std::uint32_t((y * 3 + i * 7) & 0xFF) << 8 |
                           std::uint32_t(i & 0xFF));
  return GraphicsBackend().EncodeImage(pixels, TImageFormat::Png);
}

void BuildTable() {
  sqlite::TSqliteDatabase db(FileName());
  db.Execute("CREATE TABLE t (id INTEGER PRIMARY KEY, p BLOB)");
  db.Execute("BEGIN");
  sqlite::TSqliteStatement insert(db, "INSERT INTO t VALUES (?, ?)");
  for (int i = 1; i <= RowCount; ++i) {
    const std::vector<std::uint8_t> png = Picture(i);
    insert.Reset();
    insert.BindAll({Variant(i), VarArrayOfBytes(png)});
    insert.Step();
  }
  db.Execute("COMMIT");
}

struct TScene : zvbench::TQtGridScene {
  TImageVision* Vision = nullptr;

  TScene() : TQtGridScene(FileName(), "t", 400, 800) {
    Vision = new TImageVision(Form);
    Vision->SetStretch(true);
    DataSet->Open();
    TgpColumn* c = Grid->Columns()->Add();
    c->SetFieldName("p");
    c->SetWidth(240);
    c->SetVision(Vision);
    Grid->SetRowLines(2);
    Application->ProcessMessages();
    // As many rows as fill 20 lines of the grid.
    Form->SetBounds(0, 0, 400, Form->Height() + (PageRows - Grid->Layout().RowCount) * Grid->RowHeight());
    Application->ProcessMessages();
  }
};

TScene& Scene() {
  static TScene* scene = new TScene();
  return *scene;
}

// The pictures of the rows on screen and their cells.
struct TCells {
  std::vector<std::vector<std::uint8_t>> Bytes;
  std::vector<TRect> Rects;
};

TCells VisibleCells() {
  TScene& s = Scene();
  TCells cells;
  TDataLink* link = s.Grid->DataLink();
  const int saved = link->ActiveRecord();
  TgpColumn* c = s.Grid->Columns()->Items(0);
  for (int row = 0; row < s.Grid->Layout().RowCount && row < link->RecordCount(); ++row) {
    link->SetActiveRecord(row);
    const String bytes = c->Field()->AsString();
    cells.Bytes.emplace_back(bytes.begin(), bytes.end());
    cells.Rects.push_back(s.Grid->CellClientRect(c, row, false));
  }
  link->SetActiveRecord(saved);
  return cells;
}

void DrawFloor(benchmark::State& state) {
  TCells cells = VisibleCells();
  std::vector<std::unique_ptr<TBitmap>> bitmaps;
  for (const auto& b : cells.Bytes) bitmaps.push_back(DecodePicture(b));
  TBitmap target;
  target.SetSize(400, 1000);
  for (auto _ : state)
    for (std::size_t k = 0; k < bitmaps.size(); ++k) target.Canvas()->StretchDraw(cells.Rects[k], bitmaps[k].get());
  state.counters["cells"] = static_cast<double>(bitmaps.size());
}

void DecodeAndDrawFloor(benchmark::State& state) {
  TCells cells = VisibleCells();
  TBitmap target;
  target.SetSize(400, 1000);
  for (auto _ : state)
    for (std::size_t k = 0; k < cells.Bytes.size(); ++k) {
      std::unique_ptr<TBitmap> bitmap = DecodePicture(cells.Bytes[k]);
      target.Canvas()->StretchDraw(cells.Rects[k], bitmap.get());
    }
}

void FullRepaint(benchmark::State& state) {
  TScene& s = Scene();
  s.DataSet->First();
  for (auto _ : state) s.Paint();
}

// Each page is new: its pictures were never decoded.
void NewPagePaint(benchmark::State& state) {
  TScene& s = Scene();
  s.DataSet->First();
  s.Paint();
  for (auto _ : state) {
    state.PauseTiming();
    if (s.DataSet->RecNo() + 2 * PageRows >= RowCount) {
      s.DataSet->First();
      s.Paint();
    }
    state.ResumeTiming();
    // Past the rows in view: the next page scrolls in and is painted.
    s.DataSet->MoveBy(PageRows);
    UpdateWindow(s.Grid->Handle());
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  double draw = 0, decode = 0;
  for (const auto& r : results) {
    if (r.Name.starts_with("DrawFloor")) draw = r.CpuSeconds;
    if (r.Name.starts_with("DecodeAndDrawFloor")) decode = r.CpuSeconds;
  }
  std::printf("\n%d rows\n%-20s %12s %14s %20s\n", RowCount, "benchmark", "CPU time", "x drawing", "x decoding+drawing");
  for (const auto& r : results)
    std::printf("%-20s %10.3f ms %14.2f %20.2f\n", r.Name.c_str(), r.CpuSeconds * 1e3, draw > 0 ? r.CpuSeconds / draw : 0.0,
                decode > 0 ? r.CpuSeconds / decode : 0.0);
}

}  // namespace

BENCHMARK(DrawFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeAndDrawFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(NewPagePaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc)
      RowCount = std::max(std::atoi(argv[++i]), 4 * PageRows);
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  int qtArgc = 1;
  char name[] = "bench-image-vision";
  char* qtArgv[] = {name, nullptr};
  {
    qt::TGuiSession session(qtArgc, qtArgv);
    SetGraphicsBackend(qt::CreateQtBackend());
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
    // Encoding needs the backend: the pictures are built here, one at a time.
    BuildTable();
    zvbench::TRatioReporter reporter(PrintTable);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\npeak resident memory %.1f MB over %d rows\n", zvbench::PeakResidentMb(), RowCount);
    std::fflush(stdout);
    std::error_code ignored;
    std::filesystem::remove(FileName(), ignored);
    std::_Exit(0);
  }
}
