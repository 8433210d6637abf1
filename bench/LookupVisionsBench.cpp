// Lookup columns against plain key columns, headless, over SQLite tables of 10,000 and
// 1,000,000 rows: a 30-row grid of orders (the items table read through a query whose key
// spreads over every row) with a TVLookupVision column on the key and a lookup field shown
// through TLookupVision, against the same grid showing the key twice with the default vision.
// A full repaint and a page down, as ratios to the plain grid in the same run (at most 2), and
// the 1,000,000 run against the 10,000 run (at most 1.3): each painted cell costs one keyed
// read, whatever the size of the customers table.

#include "GridBenchWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/db/Fields.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/LookupVisions.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace zv;

namespace {

const int TableSizes[] = {10'000, 1'000'000};

const String& FileName(int rows) { return zvbench::GridBenchFileName("lookup-bench", rows); }

struct TPack {
  TPack() { StartDefaultPack(); }
  ~TPack() { StopDefaultPack(); }
};

// Ahead of the window, whose dataset's lookup field reads it from the start.
struct TCustomers {
  TSqliteDataSet Customers{nullptr};
  TDataSource CustomerSource{nullptr};
};

struct TLookupWindow : TCustomers, zvbench::TGridWindow {
  TVLookupVision KeyVision{nullptr};
  TLookupVision FieldVision{nullptr};

  TLookupWindow(int rows, bool lookups)
      : TGridWindow(FileName(rows), [this, rows](TSqliteDataSet& ds) {
          Customers.SetFileName(FileName(rows));
          Customers.SetTableName("items");
          Customers.Open();
          ds.SetTableName("");
          ds.SetSQL("SELECT id, (id * 7919) % " + std::to_string(rows) + " + 1 AS cust FROM items");
          if (std::getenv("NOLOOKUP")) return;
          auto* name = new TStringField(&ds);
          name->SetFieldName("custname");
          name->SetFieldKind(fkLookup);
          name->SetDataSet(&ds);
          name->SetKeyFields("cust");
          name->SetLookupDataSet(&Customers);
          name->SetLookupKeyFields("id");
          name->SetLookupResultField("name");
        }) {
    CustomerSource.SetDataSet(&Customers);
    KeyVision.LookupParams()->SetDataSource(&CustomerSource);
    KeyVision.LookupParams()->SetKeyField("id");
    KeyVision.LookupParams()->SetLookupField("name");
    Host.SetBounds(0, 0, 620, 600);
    Grid->SetBounds(0, 0, 600, 30 * Grid->RowHeight() + 40);
    TgpColumns& columns = *Grid->Columns();
    columns.BeginUpdate();
    columns.Clear();
    const char* fields[] = {"id", "cust", lookups ? "custname" : "cust"};
    for (const char* f : fields) columns.Add()->SetFieldName(f);
    if (lookups) {
      columns.Items(1)->SetVision(&KeyVision);
      columns.Items(2)->SetVision(&FieldVision);
    }
    columns.EndUpdate();
    Application->ProcessMessages();
  }
  ~TLookupWindow() {
    Grid->SetDataSource(nullptr);
    DataSet.Close();
  }
  void Paint() {
    Grid->Invalidate();
    UpdateWindow(Grid->Handle());
  }
};

// range(0): rows; range(1): 1 with the lookup columns.
void Repaint(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TLookupWindow w(static_cast<int>(state.range(0)), state.range(1) != 0);
  if (w.Grid->VisibleRowCount() < 30) state.SkipWithError("fewer than 30 rows on screen");
  for (auto _ : state) w.Paint();
}

void PageDown(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  const int rows = static_cast<int>(state.range(0));
  TLookupWindow w(rows, state.range(1) != 0);
  // Positions, not ids: the query has no order, and SQLite may read it through an index whose
  // order is not the ids'.
  const auto position = [&w] { return w.DataSet.RecNo(); };
  const int before = position();
  w.Key(VK_NEXT);
  if (position() == before) state.SkipWithError("Page Down did not move");
  for (auto _ : state) {
    if (position() > rows - 100) {
      state.PauseTiming();
      w.Key(VK_HOME, {ssCtrl});
      state.ResumeTiming();
    }
    const int from = position();
    w.Key(VK_NEXT);
    if (position() == from) {
      state.SkipWithError(("Page Down stuck at record " + std::to_string(from)).c_str());
      break;
    }
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, double> cost;
  for (const auto& r : results) cost[r.Name] = r.CpuSeconds;
  std::printf("\n%-26s %12s %12s %8s\n", "per step", "plain", "lookups", "ratio");
  for (const char* step : {"Repaint", "PageDown"}) {
    for (int rows : TableSizes) {
      const std::string base = std::string(step) + "/" + std::to_string(rows);
      const double plain = cost[base + "/0"], lookups = cost[base + "/1"];
      std::printf("%-26s %9.1f us %9.1f us %7.2fx (at most 2)\n", (std::string(step) + ", " + std::to_string(rows)).c_str(),
                  plain * 1e6, lookups * 1e6, plain > 0 ? lookups / plain : 0.0);
    }
    const double small = cost[std::string(step) + "/10000/1"], large = cost[std::string(step) + "/1000000/1"];
    if (small > 0) std::printf("%-26s %29.2fx (at most 1.3)\n", (std::string(step) + ", 1,000,000 / 10,000").c_str(), large / small);
  }
}

}  // namespace

BENCHMARK(Repaint)->ArgsProduct({{10'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(PageDown)->ArgsProduct({{10'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "lookup-bench", {std::begin(TableSizes), std::end(TableSizes)}, PrintTable);
}
