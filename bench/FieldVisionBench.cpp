// Cell texts through a field vision, as a grid asks for them: a window of 1,000 rows by 10
// columns read through a data link, each cell's text taken (a) through a base vision, (b) with
// an OnGetText handler, (c) as the field's value read into a universal value and formatted.
// Each is set against the field's own DisplayText over the same window in the same run. Also:
// re-resolving the fields of ten lists (a grid's columns after a layout change); a float column
// through a numeric vision with the stock "0.00," display format, set against the field's own
// DisplayText with the same format.

#include "BenchSupport.h"
#include "platform/db/DataLink.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "runtime/vision/FieldList.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/FieldVisionConsumer.h"
#include "runtime/std/NumericVision.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace zv;

namespace {

constexpr int Rows = 1000;
constexpr int Columns = 10;

class TQuietHost : public IvpFieldVisionConsumer {
public:
  TComponent* GetComponent() override { return nullptr; }
  bool CanModify() override { return true; }
  bool DoBeforeEdit() override { return true; }
  void DoBeginEdit() override {}
  void DoAfterPost() override {}
  bool UpdateVisualAttrs() override { return false; }
  void UpdatePopupMenu() override {}
  void VisionChanged(TvpFieldVision*) override {}
  void UpdateFields() override {}
  void ValidateFields() override {}
  void Invalidate() override {}
  void UpdateHeight() override {}
  void UpdateEditButton() override {}
  void RecreateEditor() override {}
};

// Ten columns of the kinds a table shows: texts, integers, reals and a date.
struct TWindow {
  TMemTable Table{nullptr};
  TDataSource Source{nullptr};
  TDataLink Link;
  TvpFieldVision Vision{nullptr};
  TQuietHost Host;
  std::vector<std::unique_ptr<TgpFieldList>> Lists;

  TWindow() {
    const TFieldType types[Columns] = {ftString, ftInteger, ftString, ftFloat, ftString,
                                       ftInteger, ftDateTime, ftString, ftFloat, ftInteger};
    for (int c = 0; c < Columns; ++c)
      Table.FieldDefs().Add("F" + std::to_string(c), types[c], types[c] == ftString ? 24 : 0);
    Table.CreateDataSet();
    for (int r = 0; r < Rows; ++r) {
      Table.Append();
      for (int c = 0; c < Columns; ++c) {
        TField* f = Table.Fields()[c];
        switch (types[c]) {
          case ftString: f->SetAsString("text " + std::to_string(r * 7 + c)); break;
          case ftInteger: f->SetAsInteger(r * 31 + c); break;
          case ftFloat: f->SetAsFloat(r * 1.25 + c); break;
          default: f->SetAsDateTime(TDateTime(45000.0 + r)); break;
        }
      }
      Table.Post();
    }
    Table.First();
    Source.SetDataSet(&Table);
    Link.SetDataSource(&Source);
    Link.SetBufferCount(Rows);
    for (int c = 0; c < Columns; ++c) {
      auto list = std::make_unique<TgpFieldList>(nullptr, fhtColumn, &Host, &Link);
      list->SetVision(&Vision);
      list->SetFieldNames("F" + std::to_string(c));
      list->UpdateList(&Table);
      list->SetValid(true);
      Lists.push_back(std::move(list));
    }
  }

  template <class F>
  std::size_t EachCell(F&& cell) {
    std::size_t bytes = 0;
    const int old = Link.ActiveRecord();
    for (int r = 0; r < Link.RecordCount(); ++r) {
      Link.SetActiveRecord(r);
      for (auto& list : Lists) bytes += cell(*list).size();
    }
    Link.SetActiveRecord(old);
    return bytes;
  }

  // Every row of one column.
  template <class F>
  std::size_t EachRow(int column, F&& cell) {
    std::size_t bytes = 0;
    const int old = Link.ActiveRecord();
    for (int r = 0; r < Link.RecordCount(); ++r) {
      Link.SetActiveRecord(r);
      bytes += cell(*Lists[column]).size();
    }
    Link.SetActiveRecord(old);
    return bytes;
  }
};

TWindow& Window() {
  static TWindow window;
  return window;
}

void Finish(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * Rows * Columns);
}

void DisplayTextOfField(benchmark::State& state) {
  auto& w = Window();
  for (auto _ : state) benchmark::DoNotOptimize(w.EachCell([](TgpFieldList& l) { return l.MainField()->DisplayText(); }));
  Finish(state);
}

void GetTextOfVision(benchmark::State& state) {
  auto& w = Window();
  w.Vision.OnGetText = nullptr;
  for (auto _ : state) benchmark::DoNotOptimize(w.EachCell([&](TgpFieldList& l) { return w.Vision.GetText(l, true); }));
  Finish(state);
}

void GetTextWithHandler(benchmark::State& state) {
  auto& w = Window();
  w.Vision.OnGetText = [](TObject*, TgpFieldList*, bool, String& value) {
    if (value.empty()) value = "-";
  };
  for (auto _ : state) benchmark::DoNotOptimize(w.EachCell([&](TgpFieldList& l) { return w.Vision.GetText(l, true); }));
  w.Vision.OnGetText = nullptr;
  Finish(state);
}

void FormattedValue(benchmark::State& state) {
  auto& w = Window();
  // One value per column, as a column keeps it: its type is set once.
  std::vector<TvpUniValue> values(Columns);
  for (auto _ : state) {
    std::size_t column = 0;
    benchmark::DoNotOptimize(w.EachCell([&](TgpFieldList& l) {
      TvpUniValue& value = values[column++ % Columns];
      value.Assign(l.MainField());
      return w.Vision.GetFormattedValue(l, value);
    }));
  }
  Finish(state);
}

// ---- A float column with thousand separators ---------------------------------------------------------

constexpr int FloatColumn = 3;
constexpr const char* SepFormat = "0.00,";

void FloatDisplayTextFormatted(benchmark::State& state) {
  auto& w = Window();
  auto* field = dynamic_cast<TFloatField*>(w.Lists[FloatColumn]->MainField());
  field->SetDisplayFormat(SepFormat);
  for (auto _ : state)
    benchmark::DoNotOptimize(w.EachRow(FloatColumn, [](TgpFieldList& l) { return l.MainField()->DisplayText(); }));
  field->SetDisplayFormat("");
  state.SetItemsProcessed(state.iterations() * Rows);
}

void NumericDefSepGetText(benchmark::State& state) {
  auto& w = Window();
  // The stock NumericDefSep: the display format on the vision, none on the field.
  TNumericVision vision(nullptr);
  vision.SetDisplayFormat(SepFormat);
  TgpFieldList& list = *w.Lists[FloatColumn];
  list.SetVision(&vision);
  for (auto _ : state)
    benchmark::DoNotOptimize(w.EachRow(FloatColumn, [&](TgpFieldList& l) { return vision.GetText(l, true); }));
  list.SetVision(&w.Vision);
  state.SetItemsProcessed(state.iterations() * Rows);
}

void UpdateTenLists(benchmark::State& state) {
  auto& w = Window();
  for (auto _ : state)
    for (auto& list : w.Lists) list->UpdateList(&w.Table);
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  const zvbench::TBenchResult* base = nullptr;
  for (const auto& r : results)
    if (r.Name == "DisplayTextOfField") base = &r;
  auto perCell = [](const zvbench::TBenchResult& r) { return r.CpuSeconds / (Rows * Columns) * 1e9; };
  std::printf("\n%-22s %12s %8s %8s\n", "per cell", "ns", "ratio", "limit");
  const struct {
    const char* Name;
    double Limit;
  } rows[] = {{"DisplayTextOfField", 1}, {"GetTextOfVision", 1.2}, {"GetTextWithHandler", 1.3}, {"FormattedValue", 2}};
  for (const auto& row : rows)
    for (const auto& r : results)
      if (base && r.Name == row.Name)
        std::printf("%-22s %12.1f %7.2fx %7.1fx\n", row.Name, perCell(r), perCell(r) / perCell(*base), row.Limit);
  const zvbench::TBenchResult* sepBase = nullptr;
  for (const auto& r : results)
    if (r.Name == "FloatDisplayTextFormatted") sepBase = &r;
  auto perRow = [](const zvbench::TBenchResult& r) { return r.CpuSeconds / Rows * 1e9; };
  for (const auto& r : results)
    if (sepBase && (r.Name == "FloatDisplayTextFormatted" || r.Name == "NumericDefSepGetText"))
      std::printf("%-26s %8.1f %7.2fx %7.1fx\n", r.Name.c_str(), perRow(r), perRow(r) / perRow(*sepBase),
                  r.Name == "NumericDefSepGetText" ? 1.3 : 1.0);
  for (const auto& r : results)
    if (r.Name == "UpdateTenLists") std::printf("%-22s %12.2f us for ten lists\n", r.Name.c_str(), r.CpuSeconds * 1e6);
}

}  // namespace

BENCHMARK(DisplayTextOfField)->Unit(benchmark::kMillisecond);
BENCHMARK(GetTextOfVision)->Unit(benchmark::kMillisecond);
BENCHMARK(GetTextWithHandler)->Unit(benchmark::kMillisecond);
BENCHMARK(FormattedValue)->Unit(benchmark::kMillisecond);
BENCHMARK(FloatDisplayTextFormatted)->Unit(benchmark::kMicrosecond);
BENCHMARK(NumericDefSepGetText)->Unit(benchmark::kMicrosecond);
BENCHMARK(UpdateTenLists)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
