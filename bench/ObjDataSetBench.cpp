// The object dataset over a collection of items with five published properties (integer,
// string, float, date-time, boolean), watched by a data link of 30 rows as a grid would: a
// scroll from First to Eof by Next and by pages of 30, Last, GotoBookmark of the first item from
// the end, and Locate of the last key. Each is set against a loop, in the same run, that reads
// the five properties of every item by name. At 100,000 and 10,000 items: a scroll should cost
// in proportion to the items, Last and GotoBookmark in proportion to the window.

#include "BenchSupport.h"
#include "platform/classes/Collection.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DataLink.h"
#include "runtime/db/ObjDataSet.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace zv;

namespace {

class TBenchItem : public TCollectionItem {
  ZV_CLASS(TBenchItem, TCollectionItem)

public:
  using TCollectionItem::TCollectionItem;
  int Number() const { return fNumber; }
  void SetNumber(int v) { fNumber = v; }
  const String& Text() const { return fText; }
  void SetText(const String& v) { fText = v; }
  double Amount() const { return fAmount; }
  void SetAmount(double v) { fAmount = v; }
  TDateTime Stamp() const { return fStamp; }
  void SetStamp(TDateTime v) { fStamp = v; }
  bool Flag() const { return fFlag; }
  void SetFlag(bool v) { fFlag = v; }
  static void DeclareProperties(TPropTable<TBenchItem>& t) {
    t.Prop("Number", &TBenchItem::Number, &TBenchItem::SetNumber);
    t.Prop("Text", &TBenchItem::Text, &TBenchItem::SetText);
    t.Prop("Amount", &TBenchItem::Amount, &TBenchItem::SetAmount);
    t.Prop("Stamp", &TBenchItem::Stamp, &TBenchItem::SetStamp);
    t.Prop("Flag", &TBenchItem::Flag, &TBenchItem::SetFlag);
  }

private:
  int fNumber = 0;
  String fText;
  double fAmount = 0;
  TDateTime fStamp;
  bool fFlag = false;
};

}  // namespace

ZV_DEFINE_CLASS_WITH_PROPS(TBenchItem, TCollectionItem)

namespace {

constexpr int WindowRows = 30;
const char* const PropNames[] = {"Number", "Text", "Amount", "Stamp", "Flag"};

struct TFixture {
  std::unique_ptr<TCollection> Items;
  std::unique_ptr<TObjDataSet> DataSet;
  std::unique_ptr<TDataSource> Source;
  std::unique_ptr<TDataLink> Link;
};

TFixture& Fixture(int count) {
  static std::map<int, std::unique_ptr<TFixture>> fixtures;
  auto& slot = fixtures[count];
  if (!slot) {
    slot = std::make_unique<TFixture>();
    slot->Items = std::make_unique<TCollection>(TBenchItem::StaticClass());
    for (int i = 0; i < count; ++i) {
      auto* item = static_cast<TBenchItem*>(slot->Items->Add());
      item->SetNumber(i);
      item->SetText("item " + std::to_string(i));
      item->SetAmount(i * 0.25);
      item->SetStamp(TDateTime(45000.0 + i / 100.0));
      item->SetFlag(i % 2 == 0);
    }
    slot->DataSet = std::make_unique<TObjDataSet>();
    slot->DataSet->SetObjectRef(slot->Items.get());
    slot->DataSet->Open();
    slot->Source = std::make_unique<TDataSource>(nullptr);
    slot->Source->SetDataSet(slot->DataSet.get());
    slot->Link = std::make_unique<TDataLink>();
    slot->Link->SetBufferCount(WindowRows);
    slot->Link->SetDataSource(slot->Source.get());
  }
  return *slot;
}

// The baseline: every item's five properties read by name.
void ReadLoop(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (int i = 0; i < f.Items->Count(); ++i) {
      TObject* item = f.Items->Items(i);
      for (const char* name : PropNames) benchmark::DoNotOptimize(GetPropValue(item, name, false));
    }
  }
}

void ScrollNext(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    int seen = 0;
    for (f.DataSet->First(); !f.DataSet->Eof(); f.DataSet->Next()) ++seen;
    if (seen != f.Items->Count()) state.SkipWithError("missed records");
  }
}

void ScrollPages(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.DataSet->First();
    while (!f.DataSet->Eof()) f.DataSet->MoveBy(WindowRows);
  }
}

// First and Last in turn, so that each Last reads a whole window anew.
void LastFirst(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    f.DataSet->Last();
    f.DataSet->First();
  }
}

void LastGotoFirst(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  f.DataSet->First();
  const TBookmarkStr first = f.DataSet->Bookmark();
  for (auto _ : state) {
    f.DataSet->Last();
    f.DataSet->GotoBookmark(first);
  }
  if (f.DataSet->FieldByName("Number")->AsInteger() != 0) state.SkipWithError("wrong record");
}

void LocateLast(benchmark::State& state) {
  TFixture& f = Fixture(static_cast<int>(state.range(0)));
  const int key = f.Items->Count() - 1;
  for (auto _ : state) benchmark::DoNotOptimize(f.DataSet->Locate("Number", key));
  if (f.DataSet->FieldByName("Number")->AsInteger() != key) state.SkipWithError("wrong record");
  f.DataSet->First();
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto find = [&](const std::string& name) -> const zvbench::TBenchResult* {
    for (const auto& r : results)
      if (r.Name == name) return &r;
    return nullptr;
  };
  const std::pair<const char*, const char*> rows[] = {
      {"scroll by Next", "ScrollNext"},       {"scroll by pages of 30", "ScrollPages"},
      {"Last + First", "LastFirst"},          {"Last + GotoBookmark(first)", "LastGotoFirst"},
      {"Locate of the last key", "LocateLast"},
  };
  std::printf("\n%-28s %8s %12s %12s %10s\n", "operation", "items", "ms", "loop ms", "ratio");
  for (const int count : {10'000, 100'000}) {
    const auto* loop = find("ReadLoop/" + std::to_string(count));
    if (!loop) continue;
    for (const auto& [label, name] : rows) {
      const auto* r = find(std::string(name) + "/" + std::to_string(count));
      if (!r) continue;
      std::printf("%-28s %8d %12.4f %12.4f %10.4f\n", label, count, r->CpuSeconds * 1e3, loop->CpuSeconds * 1e3,
                  r->CpuSeconds / loop->CpuSeconds);
    }
  }
  // The cost of a scroll per item should not grow with the collection.
  const auto* small = find("ScrollNext/10000");
  const auto* large = find("ScrollNext/100000");
  if (small && large)
    std::printf("\nscroll by Next, 10,000 items against 100,000: %.3f (0.1 when linear)\n",
                small->CpuSeconds / large->CpuSeconds);
}

}  // namespace

BENCHMARK(ReadLoop)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollNext)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollPages)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(LastFirst)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LastGotoFirst)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocateLast)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
