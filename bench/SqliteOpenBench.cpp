// Opening an SQLite table under a grid, headless, on tables of 10,000 and 10,000,000 rows:
//   - OpenFirst: the first open of the file in the process (the stored values are checked);
//   - OpenWithGrid: an open after it (the check kept), with the grid attached: the columns
//     made, the record bar set, the first window painted; the windows presented are counted;
//   - FilteredOpen: the same with an indexed condition (name >= :from) in force (the bar starts
//     from the table's rowid span, as unfiltered);
//   - SortKeepingRecord: a title click's new order on an unindexed column (amount), from a
//     record in the middle, the grid asking what it asks; beside it TopNRead, one read of that
//     order's first window through a plain statement;
//   - Interrupted: the same sort stopped by Interrupt from the progress callback 20 ms in; the
//     figure is the time from the Interrupt to the return.
// Ratios: OpenWithGrid at 10,000,000 to 10,000 (at most 1.5); FilteredOpen to OpenWithGrid (at
// most 2); SortKeepingRecord to TopNRead (at most 1.5); Interrupted under 100 ms. The tables are
// built by a child process.

#include "GridBenchWindow.h"

#include "platform/db/Sqlite.h"
#include "platform/rtl/Exceptions.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <optional>

using namespace zv;

namespace {

const int TableSizes[] = {10'000, 10'000'000};

const String& FileName(int rows) { return zvbench::GridBenchFileName("open-bench", rows); }

using Clock = std::chrono::steady_clock;

int Presents(zvbench::TGridWindow& w) {
  const auto* record = ActiveNullWindowBackend()->Window(NativeWindowOf(w.Host.Handle()));
  return record ? record->PresentCount : 0;
}

void OpenOnce(benchmark::State& state, const std::function<void(TSqliteDataSet&)>& prepare) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  double presents = 0;
  std::optional<zvbench::TGridWindow> w;
  for (auto _ : state) {
    state.PauseTiming();  // closing is not opening
    w.reset();
    state.ResumeTiming();
    w.emplace(FileName(rows), prepare);
    presents += Presents(*w);
    if (w->Id() < 1) state.SkipWithError("no first record");
    // The bar starts from the rowid span, filtered or not: the count comes later.
    if (w->DataSet.RecordCountKnown() && rows > 10'000)
      state.SkipWithError("opening took the count");
  }
  state.counters["presents"] = presents / static_cast<double>(state.iterations());
}

void OpenFirst(benchmark::State& state) { OpenOnce(state, nullptr); }
void OpenWithGrid(benchmark::State& state) { OpenOnce(state, nullptr); }
void FilteredOpen(benchmark::State& state) {
  OpenOnce(state, [](TSqliteDataSet& ds) {
    ds.Params()->CreateParam(ftString, "from", ptInput)->SetValue(Variant(String("Name5")));
    ds.SetFilter("name >= :from");
    ds.SetFiltered(true);
  });
}

void TopNRead(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  sqlite::TSqliteDatabase db(FileName(rows), true);
  for (auto _ : state) {
    sqlite::TSqliteStatement st(db, "SELECT id, name, amount, created FROM items ORDER BY amount, id LIMIT 64");
    int n = 0;
    while (st.Step()) {
      benchmark::DoNotOptimize(st.ColumnValue(1, ftString));
      ++n;
    }
    if (n != 64) state.SkipWithError("short read");
  }
}

// The grid on a record in the middle (a jump through the bar), then the order changed.
void SortKeepingRecord(benchmark::State& state) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  zvbench::TGridWindow w(FileName(rows));
  for (auto _ : state) {
    state.PauseTiming();
    w.DataSet.SetSortFields("");
    w.DataSet.SetRecNo(rows / 2);
    Application->ProcessMessages();
    const int id = w.Id();
    state.ResumeTiming();
    w.DataSet.SetSortFields("amount");
    Application->ProcessMessages();
    if (w.Id() != id) state.SkipWithError("the record was not kept");
  }
}

void Interrupted(benchmark::State& state) {
  zvbench::TBackends backends;
  const int rows = static_cast<int>(state.range(0));
  zvbench::TGridWindow w(FileName(rows));
  double latency = 0;
  for (auto _ : state) {
    w.DataSet.SetSortFields("");
    std::optional<Clock::time_point> asked;
    const auto start = Clock::now();
    w.DataSet.OnProgress = [&](TDataSet* ds, bool&) {
      if (!asked && Clock::now() - start > std::chrono::milliseconds(20)) {
        asked = Clock::now();
        static_cast<TSqliteDataSet*>(ds)->Interrupt();
      }
    };
    bool aborted = false;
    try {
      w.DataSet.SetSortFields("created DESC");
    } catch (const EAbort&) {
      aborted = true;
    }
    const auto end = Clock::now();
    w.DataSet.OnProgress = nullptr;
    if (!aborted || !asked) {
      state.SkipWithError("the sort was not interrupted");
      break;
    }
    latency += std::chrono::duration<double>(end - *asked).count();
    if (w.DataSet.SortFields() != "") state.SkipWithError("the old order was not kept");
  }
  state.counters["latency"] = latency / static_cast<double>(state.iterations());
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  // By name and size, without the iteration count and time kind the runner adds.
  std::map<std::string, const zvbench::TBenchResult*> by;
  for (const auto& r : results) by[r.Name.substr(0, r.Name.find("/iterations"))] = &r;
  auto cpu = [&](const std::string& name) { return by.count(name) ? by[name]->CpuSeconds : 0.0; };
  std::printf("\n%-40s %14s %10s\n", "operation", "CPU time", "presents");
  for (const auto& r : results) {
    const auto presents = r.Counters.find("presents");
    std::printf("%-40s %11.3f ms %10s\n", r.Name.c_str(), r.CpuSeconds * 1e3,
                presents == r.Counters.end() ? "" : std::to_string(static_cast<int>(presents->second + 0.5)).c_str());
  }
  const std::string small = "/10000", large = "/10000000";
  if (cpu("OpenWithGrid" + small) > 0 && cpu("OpenWithGrid" + large) > 0)
    std::printf("open with a grid, 10,000,000 / 10,000 rows: %.2f (at most 1.5)\n",
                cpu("OpenWithGrid" + large) / cpu("OpenWithGrid" + small));
  if (cpu("FilteredOpen" + large) > 0 && cpu("OpenWithGrid" + large) > 0)
    std::printf("filtered (indexed) / unfiltered open at 10,000,000: %.2f (at most 2)\n",
                cpu("FilteredOpen" + large) / cpu("OpenWithGrid" + large));
  for (const auto& [size, text] : {std::pair{small, "10,000"}, std::pair{large, "10,000,000"}})
    if (cpu("SortKeepingRecord" + size) > 0 && cpu("TopNRead" + size) > 0)
      std::printf("unindexed sort keeping the record / one top-N read at %s: %.2f (at most 1.5 at 10,000,000)\n", text,
                  cpu("SortKeepingRecord" + size) / cpu("TopNRead" + size));
  if (by.count("Interrupted" + large))
    std::printf("Interrupt to return during an unindexed sort at 10,000,000: %.1f ms (under 100)\n",
                by["Interrupted" + large]->Counters.at("latency") * 1e3);
}

}  // namespace

BENCHMARK(OpenFirst)->Arg(10'000)->Arg(10'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenWithGrid)->Arg(10'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(FilteredOpen)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(TopNRead)->Arg(10'000)->Arg(10'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(SortKeepingRecord)->Arg(10'000)->Arg(10'000'000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(Interrupted)->Arg(10'000'000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  return zvbench::RunWithItemsTables(argc, argv, "open-bench", {std::begin(TableSizes), std::end(TableSizes)}, PrintTable);
}
