// The PostgreSQL dataset on a server table of 10,000,000 rows (id integer primary key, name text,
// amount numeric(12,2), created timestamp), generated on the server, shown through a link of 30
// rows as a grid shows it.
//
// The baseline is one full read of the table: every row and column fetched through a cursor in
// batches of 10,000 (a plain SELECT would hold the whole result in the client) and converted to
// the Variants the dataset would hold. Every other figure is one operation of the dataset,
// printed as a ratio to that read. At the end: the process's peak resident memory, which must not
// follow the table's size (compare ZV_PG_BENCH_ROWS=1000000 with the default).
//
// The server: ZV_PG_CONNINFO, or else a private cluster started (and stopped) with the tests'
// script. Not part of the test run: building the table alone takes a minute.

#include "BenchSupport.h"
#include "ProcessSupport.h"
#include "platform/db/DataLink.h"
#include "platform/db/pg/PgConnection.h"
#include "platform/db/pg/PgDataSet.h"
#include "platform/rtl/NumberConv.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

using namespace zv;

namespace {

int RowCount = 10'000'000;
constexpr int WindowRows = 30;
String ConnInfo;

std::unique_ptr<TPgConnection> Connect() {
  auto conn = std::make_unique<TPgConnection>(nullptr);
  conn->SetConnectionString(ConnInfo);
  conn->Open();
  return conn;
}

void BuildTable() {
  auto conn = Connect();
  conn->Execute("DROP TABLE IF EXISTS zv_bench");
  conn->Execute("CREATE UNLOGGED TABLE zv_bench AS SELECT i AS id, md5(i::text) AS name, (i % 100000 * 0.25)::numeric(12,2) AS "
                "amount, timestamp '2020-01-01' + i * interval '1 minute' AS created FROM generate_series(1, $1::int) i",
                {IntToStr(RowCount)});
  conn->Execute("ALTER TABLE zv_bench ADD PRIMARY KEY (id)");
  conn->Execute("ANALYZE zv_bench");
}

// The session is opened once: opening a dataset does not start a server process.
TPgConnection& Shared() {
  static std::unique_ptr<TPgConnection> connection = Connect();
  return *connection;
}

struct TOpenDataSet {
  TPgDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;

  // filter: an indexed condition on the key admitting the second half of the rows.
  explicit TOpenDataSet(const String& sort = "", bool filter = false) {
    DataSet.SetConnection(&Shared());
    DataSet.SetTableName("zv_bench");
    DataSet.SetSortFields(sort);
    if (filter) {
      DataSet.Params()->CreateParam(ftInteger, "from", ptInput)->SetAsInteger(RowCount / 2);
      DataSet.SetFilter("id > :from");
      DataSet.SetFiltered(true);
    }
    Link.SetBufferCount(WindowRows);
    Source.SetDataSet(&DataSet);
    Link.SetDataSource(&Source);
    DataSet.Open();
  }
  ~TOpenDataSet() { DataSet.Close(); }
};

void FullRead(benchmark::State& state) {
  auto conn = Connect();
  for (auto _ : state) {
    conn->StartTransaction();
    conn->Execute("DECLARE zv_all NO SCROLL CURSOR FOR SELECT id, name, amount, created FROM zv_bench");
    std::int64_t rows = 0;
    for (;;) {
      const pg::TPgResult batch = conn->Execute("FETCH FORWARD 10000 FROM zv_all");
      if (batch.Rows() == 0) break;
      for (int r = 0; r < batch.Rows(); ++r) {
        benchmark::DoNotOptimize(Variant(StrToInt64(batch.Text(r, 0))));
        benchmark::DoNotOptimize(Variant(String(batch.Text(r, 1))));
        benchmark::DoNotOptimize(VarFMTBcdCreate(StrToBcd(batch.Text(r, 2))));
        benchmark::DoNotOptimize(Variant(String(batch.Text(r, 3))));
      }
      rows += batch.Rows();
    }
    conn->Rollback();
    if (rows != RowCount) state.SkipWithError("the table is not complete");
  }
}

void Open(benchmark::State& state) {
  std::optional<TOpenDataSet> open;
  for (auto _ : state) {
    state.PauseTiming();
    open.reset();
    state.ResumeTiming();
    open.emplace();
    benchmark::DoNotOptimize(open->DataSet.FieldByName("name")->AsString());
  }
}

// The same under the filter: the bar starts from the table's estimate, as unfiltered, so the
// open reads the first window and counts nothing.
void FilteredOpen(benchmark::State& state) {
  std::optional<TOpenDataSet> open;
  for (auto _ : state) {
    state.PauseTiming();
    open.reset();
    state.ResumeTiming();
    open.emplace("", true);
    benchmark::DoNotOptimize(open->DataSet.FieldByName("name")->AsString());
    if (open->DataSet.RecordCountKnown() || open->DataSet.RecordCountEstimate() < RowCount / 2)
      state.SkipWithError("the filtered open counted, or has no estimate");
  }
}

void PageDown(benchmark::State& state) {
  TOpenDataSet open;
  for (auto _ : state) {
    if (open.DataSet.MoveBy(WindowRows) < WindowRows) {
      state.PauseTiming();
      open.DataSet.First();
      state.ResumeTiming();
    }
  }
}

void Last(benchmark::State& state) {
  TOpenDataSet open;
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.First();
    state.ResumeTiming();
    open.DataSet.Last();
  }
}

// The first window in the order of a column no index serves: one top-N pass on the server.
void SortUnindexed(benchmark::State& state) {
  std::optional<TOpenDataSet> open;
  bool descending = false;
  for (auto _ : state) {
    state.PauseTiming();
    open.reset();
    descending = !descending;
    state.ResumeTiming();
    open.emplace(descending ? "amount DESC" : "amount");
    benchmark::DoNotOptimize(open->DataSet.FieldByName("id")->AsInteger());
  }
}

// One read of the first window in the order of amount (no index), through a plain statement.
void TopNRead(benchmark::State& state) {
  for (auto _ : state) {
    const pg::TPgResult r = Shared().Execute("SELECT id, name, amount, created FROM zv_bench ORDER BY amount, id LIMIT 64");
    if (r.Rows() != 64) state.SkipWithError("short read");
  }
}

// A title click's new order on amount from a record in the middle: the record is kept.
void SortKeepingRecord(benchmark::State& state) {
  TOpenDataSet open;
  for (auto _ : state) {
    state.PauseTiming();
    open.DataSet.SetSortFields("");
    open.DataSet.SetRecNo(RowCount / 2);
    const int id = open.DataSet.FieldByName("id")->AsInteger();
    state.ResumeTiming();
    open.DataSet.SetSortFields("amount");
    if (open.DataSet.FieldByName("id")->AsInteger() != id) state.SkipWithError("the record was not kept");
  }
}

// The same order on created DESC stopped by Interrupt 20 ms in; the figure is the time from the
// Interrupt to the return.
void Interrupted(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  TOpenDataSet open;
  double latency = 0;
  for (auto _ : state) {
    open.DataSet.SetSortFields("");
    std::optional<Clock::time_point> asked;
    const auto start = Clock::now();
    open.DataSet.OnProgress = [&](TDataSet* ds, bool&) {
      if (!asked && Clock::now() - start > std::chrono::milliseconds(20)) {
        asked = Clock::now();
        static_cast<TPgDataSet*>(ds)->Interrupt();
      }
    };
    bool aborted = false;
    try {
      open.DataSet.SetSortFields("created DESC");
    } catch (const EAbort&) {
      aborted = true;
    }
    const auto end = Clock::now();
    open.DataSet.OnProgress = nullptr;
    if (!aborted || !asked) {
      state.SkipWithError("the sort was not interrupted");
      break;
    }
    latency += std::chrono::duration<double>(end - *asked).count();
  }
  state.counters["latency"] = latency / static_cast<double>(state.iterations());
}

void LocateKey(benchmark::State& state) {
  TOpenDataSet open;
  int i = 1;
  for (auto _ : state) {
    i = static_cast<int>((static_cast<long long>(i) * 48271) % RowCount) + 1;
    if (!open.DataSet.Locate("id", Variant(i))) state.SkipWithError("not found");
  }
}

// Wall time: most of the work is the server's, which the client's CPU time does not see.
void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const double baseline = results.front().RealSeconds;
  std::printf("\n%-40s %14s %26s\n", "benchmark", "wall time", "times faster than the read");
  for (const auto& r : results) {
    const double t = r.RealSeconds;
    std::printf("%-40s %12.3f ms %25.1fx\n", r.Name.c_str(), t * 1e3, t > 0 ? baseline / t : 0.0);
  }
  auto wall = [&](const std::string& name) {
    for (const auto& r : results)
      if (r.Name.rfind(name, 0) == 0) return r.RealSeconds;
    return 0.0;
  };
  if (wall("Open") > 0 && wall("FilteredOpen") > 0)
    std::printf("filtered (indexed) / unfiltered open: %.2f (at most 2)\n", wall("FilteredOpen") / wall("Open"));
  if (wall("SortKeepingRecord") > 0 && wall("TopNRead") > 0)
    std::printf("unindexed sort keeping the record / one top-N read: %.2f (at most 1.5)\n",
                wall("SortKeepingRecord") / wall("TopNRead"));
  for (const auto& r : results)
    if (r.Name.rfind("Interrupted", 0) == 0 && r.Counters.count("latency"))
      std::printf("Interrupt to return during an unindexed sort: %.1f ms (under 100)\n", r.Counters.at("latency") * 1e3);
}

}  // namespace

BENCHMARK(FullRead)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();  // the baseline
BENCHMARK(Open)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(FilteredOpen)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(PageDown)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(Last)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(SortUnindexed)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(LocateKey)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(TopNRead)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(SortKeepingRecord)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Interrupted)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (const char* rows = std::getenv("ZV_PG_BENCH_ROWS")) RowCount = std::atoi(rows);

  const std::string state = "/tmp/zv-pg-bench-" + std::to_string(::getpid()) + ".conninfo";
  const std::string script = std::string(ZV_SOURCE_DIR) + "/tests/platform/db/pg/pg-cluster.sh";
  const bool ownCluster = std::getenv("ZV_PG_CONNINFO") == nullptr;
  if (ownCluster) {
    if (std::system(("bash " + script + " start " + state).c_str()) != 0) return 1;
    std::ifstream in(state);
    std::getline(in, ConnInfo);
  } else {
    ConnInfo = std::getenv("ZV_PG_CONNINFO");
  }
  int exitCode = 0;
  try {
    BuildTable();  // on the server: the client's memory does not see it
    zvbench::TRatioReporter reporter(PrintTable);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\npeak resident memory %.1f MB (%d rows)\n", zvbench::PeakResidentMb(), RowCount);
    Shared().Execute("DROP TABLE zv_bench");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pg bench: %s\n", e.what());
    exitCode = 1;
  }
  if (ownCluster) std::system(("bash " + script + " stop " + state).c_str());
  return exitCode;
}
