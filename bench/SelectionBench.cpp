// Multi-record selection in a grid over the shared SQLite items table (SqliteBenchTable.h) of
// 1,000,000 and 10,000,000 rows, against the statements that read or delete the same rows:
//   - Ctrl+A, and Shift+Ctrl+End from the first record, against SELECT rowid FROM items (<= 2);
//   - the same range in the order of a column without an index (amount) against reading the
//     rowids in that order (<= 2);
//   - a full repaint with every record selected against none (<= 1.1);
//   - deleting 100,000 selected records against one DELETE ... WHERE rowid BETWEEN (<= 2);
//   - the dataset's AfterScroll count during each (<= 2);
//   - the selection's memory with every record selected, and the resident memory it added.
// Times are the process's CPU time, the best of a few runs. Run: bench-selection.

#include "GridBenchWindow.h"
#include "platform/db/BookmarkSet.h"
#include "runtime/grid/DeleteParams.h"
#include "runtime/grid/Selection.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

using namespace zv;

namespace {

// ZV_BENCH_ROWS=n measures one size only.
std::vector<int> Sizes() {
  if (const char* rows = std::getenv("ZV_BENCH_ROWS")) return {std::atoi(rows)};
  return {1'000'000, 10'000'000};
}

const String& FileName(int rows) { return zvbench::GridBenchFileName("selection-bench", rows); }

// A line of /proc/self/status in bytes (VmRSS: now, VmHWM: the peak since the last reset).
double StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) * 1024.0;
  return 0;
}

// How far the resident memory rose above where it stood, while f ran.
template <class F>
double PeakRise(F&& f) {
  { std::ofstream("/proc/self/clear_refs") << "5"; }  // the peak starts again from now
  const double start = StatusBytes("VmRSS");
  f();
  return StatusBytes("VmHWM") - start;
}

template <class F>
double Best(int runs, F&& f) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const double start = zvbench::CpuSeconds();
    f();
    best = std::min(best, zvbench::CpuSeconds() - start);
  }
  return best;
}

double ReadRowids(const String& file, const char* sql) {
  sqlite::TSqliteDatabase db(file, true);
  return Best(3, [&] {
    sqlite::TSqliteStatement st(db, sql);
    std::int64_t sum = 0;
    while (st.Step()) sum += st.ColumnInt64(0);
    if (sum == 42) std::puts("");
  });
}

void Row(const char* what, int rows, double ours, double base, double limit, int scrolls) {
  std::printf("%-44s %10d  %8.3f s  %8.3f s  ratio %5.2f (<= %.1f)  AfterScroll %d\n", what, rows, ours, base,
              ours / base, limit, scrolls);
}

void Measure(int rows) {
  zvbench::TGridWindow w(FileName(rows));
  TDBDivoRud& grid = *w.Grid;
  grid.SetMultiSelect(true);
  grid.ParamsDelete()->SetEnabled(true);
  grid.ParamsDelete()->SetPromptKind(dpkNever);
  int scrolls = 0;
  w.DataSet.AfterScroll = [&](TDataSet*) { ++scrolls; };
  const String file = FileName(rows);
  auto clear = [&] {
    grid.Selection().Clear(true, false);
    w.DataSet.First();
    Application->ProcessMessages();
    scrolls = 0;
  };

  const double rowids = ReadRowids(file, "SELECT rowid FROM items");
  // The peak memory of selecting every record, against reading every rowid through the same
  // connection with nothing selected.
  const double none = PeakRise([&] {
    sqlite::TSqliteStatement st(*w.DataSet.Database(), "SELECT rowid FROM items");
    while (st.Step()) {
    }
  });
  const double every = PeakRise([&] { w.Key('A', {ssCtrl}); });
  std::printf("%-44s %10d  peak +%.2f MiB, none +%.2f MiB: %.2f MiB apart (<= 4); the set holds %zu bytes\n",
              "memory, every record selected", rows, every / 1048576.0, none / 1048576.0, (every - none) / 1048576.0,
              grid.Selection().Set()->MemoryBytes());
  double all = 0;
  for (int i = 0; i < 3; ++i) {
    clear();
    const double start = zvbench::CpuSeconds();
    w.Key('A', {ssCtrl});
    all = i == 0 ? zvbench::CpuSeconds() - start : std::min(all, zvbench::CpuSeconds() - start);
  }
  Row("Ctrl+A", rows, all, rowids, 2, scrolls);

  // A full repaint, every record selected against none.
  auto repaint = [&] {
    return Best(3, [&] {
      for (int i = 0; i < 50; ++i) {
        grid.Invalidate();
        grid.Repaint();
      }
    });
  };
  const double paintAll = repaint();
  clear();
  const double paintNone = repaint();
  Row("repaint x50, all selected / none", rows, paintAll, paintNone, 1.1, 0);

  double range = 0;
  for (int i = 0; i < 3; ++i) {
    clear();
    const double start = zvbench::CpuSeconds();
    w.Key(VK_END, {ssShift, ssCtrl});
    range = i == 0 ? zvbench::CpuSeconds() - start : std::min(range, zvbench::CpuSeconds() - start);
  }
  Row("Shift+Ctrl+End from the first", rows, range, rowids, 2, scrolls);

  const double amountRowids = ReadRowids(file, "SELECT rowid FROM items ORDER BY amount, rowid");
  w.DataSet.SetSortFields("amount");
  double unindexed = 0;
  for (int i = 0; i < 2; ++i) {
    clear();
    const double start = zvbench::CpuSeconds();
    w.Key(VK_END, {ssShift, ssCtrl});
    unindexed = i == 0 ? zvbench::CpuSeconds() - start : std::min(unindexed, zvbench::CpuSeconds() - start);
  }
  Row("Shift+Ctrl+End, unindexed order", rows, unindexed, amountRowids, 2, scrolls);
  w.DataSet.SetSortFields("");

  // 100,000 selected records deleted, against one statement deleting as many others.
  clear();
  grid.Selection().AddRange(IntegerBookmark(100'000));
  scrolls = 0;
  const double startDelete = zvbench::CpuSeconds();
  grid.DeleteRecords();
  const double deleting = zvbench::CpuSeconds() - startDelete;
  const int deleteScrolls = scrolls;
  double statement = 0;
  {
    sqlite::TSqliteDatabase db(file);
    const double start = zvbench::CpuSeconds();
    db.Execute("DELETE FROM items WHERE rowid BETWEEN 100001 AND 200000");
    statement = zvbench::CpuSeconds() - start;
  }
  Row("delete 100,000 selected", rows, deleting, statement, 2, deleteScrolls);
}

}  // namespace

int main() {
  zvbench::TBackends backends;
  const std::vector<int> sizes = Sizes();
  for (int rows : sizes) FileName(rows);
  const bool built = zvbench::BuildInChildProcess([&] {
    for (int rows : sizes) zvbench::BuildItemsTable(FileName(rows), rows);
  });
  if (built)
    for (int rows : sizes) Measure(rows);
  std::error_code ignored;
  for (int rows : sizes) std::filesystem::remove(FileName(rows), ignored);
  return built ? 0 : 1;
}
