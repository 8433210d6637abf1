// The quick record set at its working size: a million records with an integer column (a shuffled
// permutation) and a text column (100,000 distinct values, so that a two-column sort meets ties).
// Adding the records, sorting by the integer, by the text and by both, searching for the last
// record's key by one and two columns, a lookup and finding records by bookmark are each set
// against std::sort of the same values in plain vectors, measured in the same run (integers with
// <, texts with AnsiCompareStr, pairs in order). Appending a record (added, then both its cells
// written) to the set sorted by the integer and by the text is set against the same append to the
// unsorted set, and a write of a key cell (a new key, or its own again) against a write of a cell
// outside the sort. The resident memory the set takes is printed per record, for two columns and
// for 8 and 32 columns of mixed kinds, with the peak resident memory of the run.

#include "BenchSupport.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/QuickRecordSet.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace zv;

namespace {

constexpr int Count = 1'000'000;
constexpr int DistinctTexts = 100'000;
constexpr int BookmarkProbes = 1000;

struct TData {
  std::vector<int> Ints;
  std::vector<String> Texts;
};

const TData& Data() {
  static const TData data = [] {
    TData d;
    d.Ints.resize(Count);
    std::iota(d.Ints.begin(), d.Ints.end(), 0);
    std::mt19937 random(42);
    std::shuffle(d.Ints.begin(), d.Ints.end(), random);
    d.Texts.reserve(Count);
    for (int i = 0; i < Count; ++i)
      d.Texts.push_back("customer " + std::to_string(static_cast<unsigned>(d.Ints[static_cast<std::size_t>(i)]) * 2654435761u % DistinctTexts));
    return d;
  }();
  return data;
}

void Fill(TvpQuickRecordSet& rs) {
  const TData& d = Data();
  if (rs.Fields()->Count() == 0) {
    rs.Fields()->Add("Int", ftInteger);
    rs.Fields()->Add("Text", ftString, 40);
  }
  TvpQRSField* ints = rs.Fields()->Items(0);
  TvpQRSField* texts = rs.Fields()->Items(1);
  rs.BeginUpdate();
  for (int i = 0; i < Count; ++i) {
    rs.AddRecord();
    ints->Cells(i)->SetAsInteger(d.Ints[static_cast<std::size_t>(i)]);
    texts->Cells(i)->SetAsString(d.Texts[static_cast<std::size_t>(i)]);
  }
  rs.EndUpdate();
}

long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

double gBytesPerRecord = 0;
long gPeakAfterSharedKiB = 0;

constexpr int WideCount = 100'000;
struct TWide {
  int Columns;
  double BytesPerRecord;
};
std::vector<TWide> gWide;

TvpQuickRecordSet& Shared() {
  static TvpQuickRecordSet* rs = [] {
    Data();
    const long before = ResidentKiB();
    auto* set = new TvpQuickRecordSet;
    Fill(*set);
    gBytesPerRecord = static_cast<double>(ResidentKiB() - before) * 1024.0 / Count;
    gPeakAfterSharedKiB = PeakResidentKiB();
    return set;
  }();
  return *rs;
}

// ---------------------------------------------------------------------------------------------
// Baselines: std::sort of the values in plain vectors.

void SortIntVector(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<int> v = Data().Ints;
    std::sort(v.begin(), v.end());
    benchmark::DoNotOptimize(v.data());
  }
}

void SortTextVector(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<String> v = Data().Texts;
    std::sort(v.begin(), v.end(), [](const String& a, const String& b) { return AnsiCompareStr(a, b) < 0; });
    benchmark::DoNotOptimize(v.data());
  }
}

void SortPairVector(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<std::pair<String, int>> v;
    v.reserve(Count);
    for (int i = 0; i < Count; ++i) v.emplace_back(Data().Texts[static_cast<std::size_t>(i)], Data().Ints[static_cast<std::size_t>(i)]);
    std::sort(v.begin(), v.end(), [](const auto& a, const auto& b) {
      const int c = AnsiCompareStr(a.first, b.first);
      return c != 0 ? c < 0 : a.second < b.second;
    });
    benchmark::DoNotOptimize(v.data());
  }
}

// ---------------------------------------------------------------------------------------------
// The record set

void AddRecords(benchmark::State& state) {
  Data();
  for (auto _ : state) {
    TvpQuickRecordSet rs;
    Fill(rs);
    benchmark::DoNotOptimize(rs.RecordCount());
  }
}

void SortBy(benchmark::State& state, const char* sort) {
  TvpQuickRecordSet& rs = Shared();
  rs.SetSortString(sort);
  for (auto _ : state) rs.UpdateIndex();  // the whole sort again
  rs.SetSortString("");
}

void SortByInt(benchmark::State& state) { SortBy(state, "Int"); }
void SortByText(benchmark::State& state) { SortBy(state, "Text"); }
void SortByTextInt(benchmark::State& state) { SortBy(state, "Text, Int desc"); }

void IndexOfRecInt(benchmark::State& state) {
  TvpQuickRecordSet& rs = Shared();
  const Variant key = rs.GetData("Int", Count - 1)->AsInteger();
  for (auto _ : state) benchmark::DoNotOptimize(rs.IndexOfRec("Int", key));
  if (rs.IndexOfRec("Int", key) != Count - 1) state.SkipWithError("wrong record");
}

void IndexOfRecTextInt(benchmark::State& state) {
  TvpQuickRecordSet& rs = Shared();
  const Variant keys = VarArrayOf({rs.GetData("Text", Count - 1)->AsString(), rs.GetData("Int", Count - 1)->AsInteger()});
  for (auto _ : state) benchmark::DoNotOptimize(rs.IndexOfRec("Text;Int", keys));
  if (rs.IndexOfRec("Text;Int", keys) != Count - 1) state.SkipWithError("wrong record");
}

void LookupInt(benchmark::State& state) {
  TvpQuickRecordSet& rs = Shared();
  const Variant key = rs.GetData("Int", Count - 1)->AsInteger();
  for (auto _ : state) benchmark::DoNotOptimize(rs.Lookup("Int", key, "Text"));
}

// BookmarkProbes look-ups per iteration, of records spread over the set, under a sort.
void IndexOfBookmark(benchmark::State& state) {
  TvpQuickRecordSet& rs = Shared();
  rs.SetSortString("Int");
  std::vector<TBookmarkStr> bookmarks;
  for (int i = 0; i < BookmarkProbes; ++i) bookmarks.push_back(rs.BookmarkOf(static_cast<int>(std::int64_t{i} * 7919 * 113 % Count)));
  rs.IndexOfBookmark(bookmarks[0]);  // the table is built on first use
  for (auto _ : state)
    for (const auto& b : bookmarks) benchmark::DoNotOptimize(rs.IndexOfBookmark(b));
  rs.SetSortString("");
}

// An insert and a delete at the front (storage moves, the bookmark table is rebuilt), with a
// look-up in between, without a sort.
void InsertFindDelete(benchmark::State& state) {
  TvpQuickRecordSet& rs = Shared();
  const TBookmarkStr last = rs.BookmarkOf(Count - 1);
  for (auto _ : state) {
    rs.InsertRecord(0);
    benchmark::DoNotOptimize(rs.IndexOfBookmark(last));
    rs.DeleteRecord(0);
  }
}

// An application appending records one by one: a record added, then its two cells written.
// The set grows by one record per iteration; the records go again afterwards.
void Append(benchmark::State& state, const char* sort) {
  TvpQuickRecordSet& rs = Shared();
  rs.SetSortString(sort);
  TvpQRSField* ints = rs.Fields()->Items(0);
  TvpQRSField* texts = rs.Fields()->Items(1);
  int i = 0;
  for (auto _ : state) {
    rs.AddRecord();
    const int row = rs.RecordCount() - 1;
    ints->Cells(row)->SetAsInteger(Count + i);
    texts->Cells(row)->SetAsString(Data().Texts[static_cast<std::size_t>(i % Count)]);
    ++i;
  }
  rs.SetSortString("");
  rs.BeginUpdate();
  while (rs.RecordCount() > Count) rs.DeleteRecord(rs.RecordCount() - 1);
  rs.EndUpdate();
}

void AppendUnsorted(benchmark::State& state) { Append(state, ""); }
void AppendSortedByInt(benchmark::State& state) { Append(state, "Int"); }
void AppendSortedByText(benchmark::State& state) { Append(state, "Text"); }

// Two writes per iteration to a record spread over the set under a sort by the integer: its cell
// of column `column` takes another value and then its own again (`same`: its own value twice, as
// a dataset posting every field writes an unchanged key).
void WriteCells(benchmark::State& state, int column, bool same = false) {
  TvpQuickRecordSet& rs = Shared();
  rs.SetSortString("Int");
  TvpQRSField* field = rs.Fields()->Items(column);
  std::int64_t i = 0;
  for (auto _ : state) {
    const int row = static_cast<int>(i % 1024 * 7919 % Count);  // a user going over some records
    TvpUniValue* cell = field->Cells(row);
    if (column == 0) {
      const int old = cell->AsInteger();
      cell->SetAsInteger(same ? old : static_cast<int>(i * 104729 % Count));
      field->Cells(row)->SetAsInteger(old);
    } else {
      const String old = cell->AsString();
      cell->SetAsString("other value");
      field->Cells(row)->SetAsString(old);
    }
    ++i;
  }
  rs.SetSortString("");
}

void WriteKeyCell(benchmark::State& state) { WriteCells(state, 0); }
void WriteNonKeyCell(benchmark::State& state) { WriteCells(state, 1); }
void RewriteKeyCell(benchmark::State& state) { WriteCells(state, 0, true); }

// Resident bytes per record of WideCount records over `columns` columns of mixed kinds.
void MeasureWide(int columns) {
  malloc_trim(0);  // what an earlier measurement freed must not be counted as reused
  static const TFieldType kinds[] = {ftInteger, ftString, ftFloat, ftDateTime, ftBoolean, ftLargeint, ftCurrency, ftWideString};
  const long before = ResidentKiB();
  {
    auto rs = std::make_unique<TvpQuickRecordSet>();
    for (int c = 0; c < columns; ++c) rs->Fields()->Add("C" + std::to_string(c), kinds[c % 8], 20);
    rs->BeginUpdate();
    for (int r = 0; r < WideCount; ++r) {
      rs->AddRecord();
      for (int c = 0; c < columns; ++c) {
        TvpUniValue* cell = rs->Fields()->Items(c)->Cells(r);
        switch (kinds[c % 8]) {
          case ftString:
          case ftWideString:
            cell->SetAsString("text " + std::to_string(r % 9973 + 1000000));
            break;
          case ftBoolean:
            cell->SetAsBoolean(r % 3 == 0);
            break;
          case ftDateTime:
            cell->SetAsDateTime(TDateTime(40000.0 + r * 0.001));
            break;
          default:
            cell->SetAsInteger(r * (c + 1));
        }
      }
    }
    rs->EndUpdate();
    gWide.push_back({columns, static_cast<double>(ResidentKiB() - before) * 1024.0 / WideCount});
  }
}

double Millis(const zvbench::TBenchResult& r) { return r.CpuSeconds * 1e3; }

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto find = [&](const std::string& name) -> const zvbench::TBenchResult* {
    for (const auto& r : results)
      if (r.Name.rfind(name, 0) == 0) return &r;
    return nullptr;
  };
  struct Row {
    const char* label;
    const char* name;
    const char* baseline;
    double scale;  // operations per iteration
  };
  const Row rows[] = {
      {"add 1,000,000 records", "AddRecords", "SortIntVector", 1},
      {"sort by integer", "SortByInt", "SortIntVector", 1},
      {"sort by text", "SortByText", "SortTextVector", 1},
      {"sort by text, integer", "SortByTextInt", "SortPairVector", 1},
      {"IndexOfRec integer", "IndexOfRecInt", "SortIntVector", 1},
      {"IndexOfRec text;integer", "IndexOfRecTextInt", "SortPairVector", 1},
      {"Lookup integer", "LookupInt", "SortIntVector", 1},
      {"IndexOfBookmark (one)", "IndexOfBookmark", "SortIntVector", BookmarkProbes},
      {"insert+find+delete at 0", "InsertFindDelete", "SortIntVector", 1},
      {"append, sorted by integer", "AppendSortedByInt", "AppendUnsorted", 1},
      {"append, sorted by text", "AppendSortedByText", "AppendUnsorted", 1},
      {"write a key cell", "WriteKeyCell", "WriteNonKeyCell", 1},
      {"rewrite a key unchanged", "RewriteKeyCell", "WriteNonKeyCell", 1},
  };
  std::printf("\n%-26s %14s %-16s %14s %10s\n", "operation", "ms", "baseline", "baseline ms", "ratio");
  for (const Row& row : rows) {
    const auto* r = find(row.name);
    const auto* b = find(row.baseline);
    if (!r || !b) continue;
    const double t = Millis(*r) / row.scale, base = Millis(*b);
    std::printf("%-26s %14.6g %-16s %14.6g %10.3g\n", row.label, t, row.baseline, base, t / base);
  }
  if (gBytesPerRecord > 0)
    std::printf("\nresident memory of the set: %.0f bytes per record (two columns: an integer, a 12-character text)\n",
                gBytesPerRecord);
  if (gPeakAfterSharedKiB > 0)
    std::printf("peak resident memory after filling it: %.1f MiB (the input data included)\n", gPeakAfterSharedKiB / 1024.0);
  for (const TWide& w : gWide)
    std::printf("resident memory, %d columns of mixed kinds: %.0f bytes per record\n", w.Columns, w.BytesPerRecord);
}

}  // namespace

BENCHMARK(SortIntVector)->Unit(benchmark::kMillisecond);
BENCHMARK(SortTextVector)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SortPairVector)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(AddRecords)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SortByInt)->Unit(benchmark::kMillisecond);
BENCHMARK(SortByText)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(SortByTextInt)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(IndexOfRecInt)->Unit(benchmark::kMillisecond);
BENCHMARK(IndexOfRecTextInt)->Unit(benchmark::kMillisecond);
BENCHMARK(LookupInt)->Unit(benchmark::kMillisecond);
BENCHMARK(IndexOfBookmark)->Unit(benchmark::kMicrosecond);
BENCHMARK(InsertFindDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(AppendUnsorted)->Unit(benchmark::kMicrosecond);
BENCHMARK(AppendSortedByInt)->Unit(benchmark::kMicrosecond);
BENCHMARK(AppendSortedByText)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteNonKeyCell)->Unit(benchmark::kMicrosecond);
BENCHMARK(WriteKeyCell)->Unit(benchmark::kMicrosecond);
BENCHMARK(RewriteKeyCell)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  Shared();  // built first, so that its memory is measured on a quiet heap
  MeasureWide(8);
  MeasureWide(32);
  return zvbench::RunBenchmarks(argc, argv, PrintTable);
}
