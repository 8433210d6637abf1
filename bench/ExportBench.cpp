// Export as text over SQLite tables of 10,000, 100,000 and 1,000,000 rows of 8 columns (texts
// with quotes, separators and line breaks in one cell in ten, integers, floats with a display
// format, dates), through a grid on the headless backend.
//
// The baseline is the least any export does: a First/Next loop reading every field's
// DisplayText into a memory buffer with the separators. Printed against it: SaveToFile and
// DoExport, the cost per record as the table grows, the peak resident memory of SaveToFile (each
// size in a process of its own, so that one run's peak does not hide another's), and the time
// from a cancel to the return against the time one progress step of records takes. The tables
// are built by a child process, so that their building does not count.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "ProcessSupport.h"
#include "SqliteBenchTable.h"
#include "platform/controls/Application.h"
#include "platform/db/DataLink.h"
#include "platform/db/Fields.h"
#include "platform/db/Sqlite.h"
#include "platform/db/SqliteDataSet.h"
#include "platform/rtl/DateTime.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/ExportAsText.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

using namespace zv;

namespace {

constexpr int kSizes[] = {10'000, 100'000, 1'000'000};
constexpr int kStep = 1000;

// Named after the process that builds it; the children that measure memory are told it.
const String& FileName() {
  static const String name = std::getenv("ZV_EXPORT_BENCH_FILE") ? String(std::getenv("ZV_EXPORT_BENCH_FILE"))
                                                                 : zvbench::BenchTableFileName("export-bench");
  return name;
}

String OutFileName() { return FileName() + ".csv"; }

String TableName(int rows) { return "t" + std::to_string(rows); }

void BuildTables() {
  sqlite::TSqliteDatabase db(FileName());
  db.Execute("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;");
  const TDateTime start = EncodeDate(2020, 1, 1);
  for (const int rows : kSizes) {
    const String table = TableName(rows);
    db.Execute("CREATE TABLE " + table +
               " (id INTEGER PRIMARY KEY, code INTEGER, name VARCHAR(60), city VARCHAR(30), note VARCHAR(60),"
               " price REAL, weight REAL, created DATE)");
    db.Execute("BEGIN");
    sqlite::TSqliteStatement insert(db, "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    for (int i = 1; i <= rows; ++i) {
      // One cell in ten needs quoting: a quote, both separators and a line break.
      const String name = i % 10 == 0 ? "He said \"hi\", then\tleft;\r\n" + zvbench::BenchItemName(i)
                                      : zvbench::BenchItemName(i);
      insert.Reset();
      insert.BindAll({Variant(i), Variant((i * 7919) % 100'000), Variant(name), Variant("City " + std::to_string(i % 500)),
                      Variant("note number " + std::to_string(i)), Variant(i * 0.37), Variant(i % 1000 / 7.0),
                      Variant(TDateTime(start + i % 3000))});
      insert.Step();
    }
    db.Execute("COMMIT");
  }
}

// A shown grid over one table, the formats set as an application sets them.
struct TGridOnTable {
  TSqliteDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  std::unique_ptr<TDBDivoRud> Grid;

  explicit TGridOnTable(int rows) {
    DataSet.SetFileName(FileName());
    DataSet.SetTableName(TableName(rows));
    DataSet.SetReadOnly(true);
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    static_cast<TNumericField*>(DataSet.FieldByName("price"))->SetDisplayFormat("#,##0.00");
    static_cast<TNumericField*>(DataSet.FieldByName("weight"))->SetDisplayFormat("0.000");
    Grid = std::make_unique<TDBDivoRud>(nullptr);
    Grid->SetBounds(0, 0, 900, 600);
    Grid->SetDataSource(&Source);
    Grid->CreateDefColumns(true);
  }
};

struct TBackends : zvbench::THeadlessBackends {
  TBackends() { Application->Initialize(); }
};

void Baseline(benchmark::State& state) {
  TBackends backends;
  TGridOnTable open(static_cast<int>(state.range(0)));
  TDataSet& ds = open.DataSet;
  std::vector<TField*> fields;
  for (int i = 0; i < ds.Fields().Count(); ++i) fields.push_back(ds.Fields()[i]);
  for (auto _ : state) {
    String out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (i > 0) out += '\t';
      out += fields[i]->DisplayName();
    }
    ds.DisableControls();
    for (ds.First(); !ds.Eof(); ds.Next()) {
      out += "\r\n";
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += '\t';
        out += fields[i]->DisplayText();
      }
    }
    ds.EnableControls();
    benchmark::DoNotOptimize(out.data());
    state.counters["bytes"] = static_cast<double>(out.size());
  }
}

void SaveToFile(benchmark::State& state) {
  TBackends backends;
  TGridOnTable open(static_cast<int>(state.range(0)));
  TgpExportAsText exporter(open.Grid.get());
  for (auto _ : state) exporter.SaveToFile(OutFileName());
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(OutFileName()));
}

void DoExport(benchmark::State& state) {
  TBackends backends;
  TGridOnTable open(static_cast<int>(state.range(0)));
  TgpExportAsText exporter(open.Grid.get());
  for (auto _ : state) {
    const String text = exporter.DoExport();
    benchmark::DoNotOptimize(text.data());
    state.counters["bytes"] = static_cast<double>(text.size());
  }
}

const zvbench::TBenchResult* Find(const std::vector<zvbench::TBenchResult>& results, const std::string& name) {
  for (const auto& r : results)
    if (r.Name == name || r.Name.starts_with(name + "/")) return &r;  // "/iterations:1" follows
  return nullptr;
}

void PrintRatio(const char* what, const zvbench::TBenchResult* a, const zvbench::TBenchResult* b, double scale,
                double limit) {
  if (!a || !b) return;
  const double cpu = a->CpuSeconds / b->CpuSeconds * scale;
  const double real = a->RealSeconds / b->RealSeconds * scale;
  std::printf("%-52s %8.2f %8.2f %8.2f%s\n", what, cpu, real, limit, std::max(cpu, real) > limit ? "  (over)" : "");
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  std::printf("\n%-32s %12s %12s %12s\n", "benchmark", "CPU ms", "real ms", "MB written");
  for (const auto& r : results) {
    const auto bytes = r.Counters.find("bytes");
    std::printf("%-32s %12.1f %12.1f %12.1f\n", r.Name.c_str(), r.CpuSeconds * 1e3, r.RealSeconds * 1e3,
                bytes == r.Counters.end() ? 0.0 : bytes->second / (1024.0 * 1024.0));
  }
  std::printf("\n%-52s %8s %8s %8s\n", "ratio", "CPU", "real", "limit");
  for (const int rows : kSizes) {
    const std::string n = std::to_string(rows);
    PrintRatio(("SaveToFile / baseline at " + n).c_str(), Find(results, "SaveToFile/" + n),
               Find(results, "Baseline/" + n), 1.0, 1.5);
  }
  PrintRatio("DoExport / baseline at 100000", Find(results, "DoExport/100000"), Find(results, "Baseline/100000"), 1.0,
             2.0);
  PrintRatio("SaveToFile per record: 1000000 rows / 10000 rows", Find(results, "SaveToFile/1000000"),
             Find(results, "SaveToFile/10000"), 10'000.0 / 1'000'000.0, 1.2);
  PrintRatio("baseline per record: 1000000 rows / 10000 rows", Find(results, "Baseline/1000000"),
             Find(results, "Baseline/10000"), 10'000.0 / 1'000'000.0, 1.2);
}

// In a process of its own: SaveToFile of rows, then the peak resident memory in KiB.
int MeasureMemory(int rows) {
  TBackends backends;
  TGridOnTable open(rows);
  TgpExportAsText exporter(open.Grid.get());
  exporter.SaveToFile(OutFileName());
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("%ld\n", usage.ru_maxrss);
  return 0;
}

std::optional<double> PeakMbOfChild(int rows) {
  std::error_code error;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
  if (error) return std::nullopt;
  const std::string command = self + " --peak-memory " + std::to_string(rows);
  std::FILE* child = ::popen(command.c_str(), "r");
  if (!child) return std::nullopt;
  long kb = -1;
  const int read = std::fscanf(child, "%ld", &kb);
  if (::pclose(child) != 0 || read != 1) return std::nullopt;
  return static_cast<double>(kb) / 1024.0;
}

// The process's CPU time in milliseconds: on a busy machine the wall clock also counts the time
// other processes had the CPU, which is larger than a step of records.
double CpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Cancels half way, at a progress event, and times the way back to the caller against the time
// one step of records took just before (the mean of the hundred steps before). SaveToFile's way
// back includes removing the temporary file written so far.
void MeasureCancel(bool toFile) {
  TBackends backends;
  TGridOnTable open(1'000'000);
  TgpExportAsText exporter(open.Grid.get());
  exporter.SetProgressStep(kStep);
  const int cancelAt = 500'000;
  double stepCpu = 0, stepWall = 0, cancelCpu = 0, cancelWall = 0;
  exporter.OnProgress = [&](TObject*, int done, int, bool& cancel) {
    if (done == cancelAt - 100 * kStep) {
      stepCpu = CpuMs();
      stepWall = WallMs();
    }
    if (done == cancelAt) {
      stepCpu = (CpuMs() - stepCpu) / 100;
      stepWall = (WallMs() - stepWall) / 100;
      cancel = true;
      cancelCpu = CpuMs();
      cancelWall = WallMs();
    }
  };
  try {
    if (toFile)
      exporter.SaveToFile(OutFileName());
    else
      benchmark::DoNotOptimize(exporter.DoExport().data());
  } catch (const EAbort&) {
  }
  cancelCpu = CpuMs() - cancelCpu;
  cancelWall = WallMs() - cancelWall;
  std::printf("%-52s CPU %.3f ms against one step (%d records) of %.3f ms: %.2f (limit 1)%s; wall %.3f ms against "
              "%.3f ms\n",
              toFile ? "from Cancel to the return, SaveToFile" : "from Cancel to the return, DoExport", cancelCpu, kStep,
              stepCpu, cancelCpu / stepCpu, cancelCpu > stepCpu ? "  (over)" : "", cancelWall, stepWall);
}

}  // namespace

BENCHMARK(Baseline)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SaveToFile)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(DoExport)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) return MeasureMemory(std::atoi(argv[2]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  const auto cleanUp = [] {
    std::error_code ignored;
    std::filesystem::remove(FileName(), ignored);
    std::filesystem::remove(OutFileName(), ignored);
  };
  FileName();  // named after this process, before the child that builds it has its own id
  if (!zvbench::BuildInChildProcess(BuildTables)) {
    cleanUp();
    return 1;
  }
  zvbench::TRatioReporter reporter(PrintTable);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // The child processes read the table the parent built: the file's name goes along.
  ::setenv("ZV_EXPORT_BENCH_FILE", FileName().c_str(), 1);
  const std::optional<double> small = PeakMbOfChild(10'000);
  const std::optional<double> large = PeakMbOfChild(1'000'000);
  if (small && large)
    std::printf("%-52s %8.1f MB at 1000000, %.1f MB at 10000: %+.1f MB (limit +16)%s\n",
                "peak resident memory of SaveToFile", *large, *small, *large - *small,
                *large - *small > 16 ? "  (over)" : "");
  else
    std::printf("peak resident memory: a child process failed\n");
  MeasureCancel(false);
  MeasureCancel(true);
  cleanUp();
  return 0;
}
