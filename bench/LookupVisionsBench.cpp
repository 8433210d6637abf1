// Lookup columns against plain key columns, headless, over SQLite tables of 10,000 and
// 1,000,000 rows: a 30-row grid of orders (the items table read through a query whose key
// spreads over every row) with a TVLookupVision column on the key and a lookup field shown
// through TLookupVision, against the same grid showing the key twice with the default vision.
// A full repaint and a page down, as ratios to the plain grid in the same run (at most 2), and
// the 1,000,000 run against the 10,000 run (at most 1.3): each painted cell costs one keyed
// read, whatever the size of the customers table. Then a lookup editor on a customer near the end:
// its drop-down opened, painted and closed against one full SELECT of the customers (at least
// 100 times faster at 1,000,000; 1,000,000 within 1.5 of 10,000; the first opening, which may
// count the table, apart), one typed character completing that customer's name against one Locate
// with the same options (at most 1.3), and the peak memory of both sizes, each in a process of
// its own (within 10 MiB).

#include "GridBenchWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/Form.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/LookupVisions.h"
#include "runtime/vision/DevidEdit.h"

#include <benchmark/benchmark.h>

#include <cctype>
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

// A shown form with a lookup editor on an order whose key is a customer near the end of the
// table, the drop-down and typed text working against the customers' SQLite dataset.
struct TEditWindow : TCustomers {
  TMemTable Orders{nullptr};
  TDataSource OrderSource{nullptr};
  TVLookupVision Vision{nullptr};
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TDBDevidEdit* Edit = nullptr;
  const int Key;

  explicit TEditWindow(int rows) : Key(rows - 10) {
    Customers.SetFileName(FileName(rows));
    Customers.SetTableName("items");
    Customers.Open();
    CustomerSource.SetDataSet(&Customers);
    Vision.LookupParams()->SetDataSource(&CustomerSource);
    Vision.LookupParams()->SetKeyField("id");
    Vision.LookupParams()->SetLookupField("name");
    Orders.FieldDefs().Add("CUST", ftInteger);
    Orders.CreateDataSet();
    Orders.AppendRecord({Variant(Key)});
    OrderSource.SetDataSet(&Orders);
    Form->SetBounds(0, 0, 300, 200);
    Form->Show();
    Edit = new TDBDevidEdit(Form.get());
    Edit->SetBounds(10, 10, 150, 21);
    Edit->SetParent(Form.get());
    Edit->SetVision(&Vision);
    Edit->SetDataSource(&OrderSource);
    Edit->SetDataField("CUST");
    Edit->SetFocus();
    Application->ProcessMessages();
  }
  ~TEditWindow() { Form.reset(); }

  // Opened, painted once, closed; false when the list did not open on the order's customer.
  bool OpenClose() {
    Edit->DropDownBtnClick(false);
    if (Edit->ToolForm() != zvDefPack->vtfDataList) return false;
    Application->ProcessMessages();
    const bool marked = zvDefPack->gpDataListList->DataSet()->FieldByName("id")->AsInteger() == Key;
    zvDefPack->vtfDataList->ClosePopup(false, false);
    return marked;
  }
  void Type(char32_t ch) { zvbench::InjectKey(*Form, static_cast<Word>(std::toupper(static_cast<int>(ch))), {}, ch); }
};

// (b) range(0): rows. The first opening of each window is timed apart (FirstOpen).
void OpenDropDown(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TEditWindow w(static_cast<int>(state.range(0)));
  if (!w.OpenClose()) state.SkipWithError("the list did not open on the key");
  for (auto _ : state)
    if (!w.OpenClose()) {
      state.SkipWithError("the list did not open on the key");
      break;
    }
}

void FirstOpen(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<TEditWindow>(static_cast<int>(state.range(0)));
    state.ResumeTiming();
    if (!w->OpenClose()) state.SkipWithError("the list did not open on the key");
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
}

void SelectAllCustomers(benchmark::State& state) {
  sqlite::TSqliteDatabase db(FileName(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    sqlite::TSqliteStatement all(db, "SELECT id, name FROM items");
    std::int64_t n = 0;
    while (all.Step()) n += all.ColumnText(1).size();
    benchmark::DoNotOptimize(n);
  }
}

// (c) The name of the order's customer typed but for its last character, which is typed timed: the
// completion finds it near the end of the table. Against one Locate of that name with the same
// options on the customers' dataset.
String TypedName(const TEditWindow& w) { return zvbench::BenchItemName(w.Key); }

void TypeCompletion(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TEditWindow w(static_cast<int>(state.range(0)));
  const String name = TypedName(w);
  w.Edit->SelectAll();
  for (char ch : name.substr(0, name.size() - 1)) w.Type(static_cast<char32_t>(ch));
  const char32_t last = static_cast<char32_t>(name.back());
  for (auto _ : state) {
    w.Type(last);
    state.PauseTiming();
    if (w.Edit->Text() != name || w.Customers.FieldByName("id")->AsInteger() != w.Key) {
      state.SkipWithError(("completed to " + w.Edit->Text()).c_str());
      break;
    }
    w.Type(U'\b');
    state.ResumeTiming();
  }
}

void LocateName(benchmark::State& state) {
  zvbench::TBackends backends;
  TPack pack;
  TEditWindow w(static_cast<int>(state.range(0)));
  const Variant name(TypedName(w));
  for (auto _ : state) {
    state.PauseTiming();
    w.Customers.First();
    state.ResumeTiming();
    if (!w.Customers.Locate("name", name, {loCaseInsensitive, loPartialKey})) state.SkipWithError("not found");
  }
}

// (d) The drop-down opened and a name completed, in a process of its own: its peak resident memory.
void PeakOfAnEdit(int rows) {
  zvbench::BuildInChildProcess([rows] {
    zvbench::TBackends backends;
    TPack pack;
    TEditWindow w(rows);
    w.OpenClose();
    w.Edit->SelectAll();
    for (char ch : TypedName(w)) w.Type(static_cast<char32_t>(ch));
    std::printf("peak resident memory, drop-down and completion over %d customers: %.1f MB\n", rows,
                zvbench::PeakResidentMb());
    std::fflush(stdout);
  });
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::map<std::string, double> cost;
  for (const auto& r : results) cost[r.Name.substr(0, r.Name.find("/iterations"))] = r.CpuSeconds;
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
  for (int rows : TableSizes) {
    const std::string n = "/" + std::to_string(rows);
    const double open = cost["OpenDropDown" + n], select = cost["SelectAllCustomers" + n];
    const double type = cost["TypeCompletion" + n], locate = cost["LocateName" + n];
    std::printf("%d customers: drop-down %.1f us (first %.1f us), full SELECT %.1f us: %.0fx faster (at least 100)\n",
                rows, open * 1e6, cost["FirstOpen" + n] * 1e6, select * 1e6, open > 0 ? select / open : 0.0);
    std::printf("%d customers: typed character %.1f us, Locate %.1f us: %.2fx (at most 1.3)\n", rows, type * 1e6,
                locate * 1e6, locate > 0 ? type / locate : 0.0);
  }
  if (cost["OpenDropDown/10000"] > 0)
    std::printf("drop-down, 1,000,000 / 10,000: %.2fx (at most 1.5)\n", cost["OpenDropDown/1000000"] / cost["OpenDropDown/10000"]);
}

}  // namespace

BENCHMARK(Repaint)->ArgsProduct({{10'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(PageDown)->ArgsProduct({{10'000, 1'000'000}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenDropDown)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FirstOpen)->Arg(10'000)->Arg(1'000'000)->Iterations(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(SelectAllCustomers)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(TypeCompletion)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocateName)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "lookup-bench", {std::begin(TableSizes), std::end(TableSizes)}, PrintTable,
                                     [] {
                                       for (int rows : TableSizes) PeakOfAnEdit(rows);
                                     });
}
