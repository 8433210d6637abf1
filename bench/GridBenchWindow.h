#pragma once
// What the grid benchmarks on the headless backend share: the backends, a shown window holding a
// focused grid over an SQLite items table (SqliteBenchTable.h), keys injected as the windowing
// system delivers them, and the process's CPU clock.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "ProcessSupport.h"
#include "SqliteBenchTable.h"
#include "platform/controls/Application.h"
#include "platform/controls/CustomControl.h"
#include "platform/db/DataLink.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace zvbench {

// The table file of a benchmark for a row count, named once per process.
inline const zv::String& GridBenchFileName(const std::string& tag, int rows) {
  static std::map<std::string, zv::String> names;
  zv::String& name = names[tag + "-" + std::to_string(rows)];
  if (name.empty()) name = BenchTableFileName(tag + "-" + std::to_string(rows));
  return name;
}

struct TBackends : THeadlessBackends {
  TBackends() { zv::Application->Initialize(); }
};

// Key down and up in a shown top-level window (with a character between them when given), then
// the messages they left: as a user types, to whichever control has the focus.
inline void InjectKey(zv::TWinControl& topLevel, zv::Word key, zv::TShiftState shift = {}, char32_t character = 0) {
  using namespace zv;
  TNativeInput in;
  in.Kind = TNativeInputKind::KeyDown;
  in.Key = key;
  in.Shift = shift;
  const TNativeWindow window = NativeWindowOf(topLevel.Handle());
  ActiveNullWindowBackend()->Inject(window, in);
  if (character) {
    TNativeInput c;
    c.Kind = TNativeInputKind::Char;
    c.Char = character;
    ActiveNullWindowBackend()->Inject(window, c);
  }
  in.Kind = TNativeInputKind::KeyUp;
  ActiveNullWindowBackend()->Inject(window, in);
  Application->ProcessMessages();
}

// A shown window holding a focused 600 x 400 grid of the table's four columns.
struct TGridWindow {
  zv::TSqliteDataSet DataSet{nullptr};
  zv::TDataSource Source{nullptr};
  zv::TStandardDesigner Designer{nullptr};
  zv::TCustomControl Host{nullptr};
  zv::TDBDivoRud* Grid = new zv::TDBDivoRud(&Host);

  // prepare, when given, sets the dataset up before it opens.
  explicit TGridWindow(const zv::String& fileName, const std::function<void(zv::TSqliteDataSet&)>& prepare = nullptr) {
    DataSet.SetFileName(fileName);
    DataSet.SetTableName("items");
    if (prepare) prepare(DataSet);
    DataSet.Open();
    Source.SetDataSet(&DataSet);
    Host.SetBounds(0, 0, 620, 420);
    Grid->SetBounds(0, 0, 600, 400);
    Grid->SetDesigner(&Designer);
    Grid->SetParent(&Host);
    Grid->SetDataSource(&Source);
    Grid->CreateDefColumns(true);
    Host.Show();
    Grid->SetFocus();
    zv::Application->ProcessMessages();
  }
  ~TGridWindow() {
    Grid->SetDataSource(nullptr);
    Grid->SetDesigner(nullptr);
  }

  void Key(zv::Word key, zv::TShiftState shift = {}, char32_t character = 0) { InjectKey(Host, key, shift, character); }
  int Id() { return DataSet.FieldByName("id")->AsInteger(); }
};

// The process's CPU time, as the baseline is measured (the machine is shared).
inline double CpuSeconds() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The main of a grid benchmark: the items tables of the given sizes built by a child process
// (named first, after this process), the selected benchmarks reported through printer, the
// tables removed.
// beforehand, when given, runs once the tables are built and before the benchmarks, so that a
// process it forks (to read its peak memory) starts from a parent that has run nothing yet.
inline int RunWithItemsTables(int argc, char** argv, const std::string& tag, const std::vector<int>& sizes,
                              TRatioReporter::TTablePrinter printer, const std::function<void()>& beforehand = nullptr) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  for (int rows : sizes) GridBenchFileName(tag, rows);
  const bool built = BuildInChildProcess([&] {
    for (int rows : sizes) BuildItemsTable(GridBenchFileName(tag, rows), rows);
  });
  if (built) {
    if (beforehand) beforehand();
    TRatioReporter reporter(std::move(printer));
    benchmark::RunSpecifiedBenchmarks(&reporter);
  }
  benchmark::Shutdown();
  std::error_code ignored;
  for (int rows : sizes) std::filesystem::remove(GridBenchFileName(tag, rows), ignored);
  return built ? 0 : 1;
}

}  // namespace zvbench
