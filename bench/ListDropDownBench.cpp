// The list drop-down of the default pack opened, painted once and closed over a pick list of
// 100,000 lines whose last line is the editor's value, against the same over 100 lines and one
// Locate of that last line in the editor's list dataset in the same run. Opening marks the
// current value (a locate) and sizes the list by its record count; the rest must not grow with
// the list: (large - small) stays within a locate and a half.
//
// Runs on the headless backends so that only the library's own work is timed.

#include "BenchSupport.h"
#include "HeadlessBackends.h"
#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/db/MemTable.h"
#include "platform/rtl/Format.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace zv;

namespace {

String Line(int i) { return Format("Item%.6d", {i}); }

// A shown form with an editor whose value is the last line of a pick list of `lines` lines.
struct TSetup {
  zvbench::THeadlessBackends backends;
  TMemTable table{nullptr};
  TDataSource source{nullptr};
  TStandardVision vision{nullptr};
  std::unique_ptr<TForm> form;
  TDBDevidEdit* edit = nullptr;

  explicit TSetup(int lines) {
    Application->Initialize();
    for (int i = 0; i < lines; ++i) vision.PickList()->Add(Line(i));
    table.FieldDefs().Add("NAME", ftString, 20);
    table.CreateDataSet();
    table.AppendRecord({Variant(Line(lines - 1))});
    source.SetDataSet(&table);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    form->Show();
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(&vision);
    edit->SetDataSource(&source);
    edit->SetDataField("NAME");
    edit->SetFocus();
    Application->ProcessMessages();
  }
  ~TSetup() {
    form.reset();
    FinalizeModules();
  }
};

void OpenPaintClose(benchmark::State& state) {
  TSetup s(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    s.edit->DropDownBtnClick(false);
    TVisionToolForm* list = zvDefPack->vtfDataList;
    if (s.edit->ToolForm() != list) {
      state.SkipWithError("the list did not open");
      break;
    }
    Application->ProcessMessages();  // the first paint
    if (zvDefPack->gpDataListList->DataSet()->FieldByName("value")->AsString() != Line(static_cast<int>(state.range(0)) - 1))
      state.SkipWithError("the current value is not marked");
    list->ClosePopup(false, false);
  }
}

void LocateLast(benchmark::State& state) {
  TSetup s(static_cast<int>(state.range(0)));
  TDataSet* list = s.vision.DL_EditDataSource(s.edit->Fields())->DataSet();
  const Variant last(Line(static_cast<int>(state.range(0)) - 1));
  for (auto _ : state) {
    list->First();
    benchmark::DoNotOptimize(list->Locate("value", last, {}));
  }
}

void PrintTable(const std::vector<zvbench::TBenchResult>& results) {
  auto cpu = [&](const char* name) {
    for (const auto& r : results)
      if (r.Name == name) return r.CpuSeconds;
    return 0.0;
  };
  const double large = cpu("OpenPaintClose/100000"), small = cpu("OpenPaintClose/100"), locate = cpu("LocateLast/100000");
  if (large <= 0 || small <= 0 || locate <= 0) return;
  std::printf("\nopen, paint, close: %.1f us over 100,000 lines, %.1f us over 100; one locate %.1f us\n", large * 1e6,
              small * 1e6, locate * 1e6);
  std::printf("(large - small) / locate = %.2f (at most 1.5)\n", (large - small) / locate);
}

}  // namespace

BENCHMARK(OpenPaintClose)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(LocateLast)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return zvbench::RunBenchmarks(argc, argv, PrintTable); }
