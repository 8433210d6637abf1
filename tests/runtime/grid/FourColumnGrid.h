#pragma once
// The grid the sizing and dragging suites share: 400 x 200 pixels (or as wide as asked) over ten
// records, without border or scroll bars, on a shown form: A (60) alone, B (80) and C (50) side
// by side in one group, D (70) alone.

#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Form.h"
#include "platform/db/DataLink.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <memory>
#include <string>

namespace zvtest {

// A (60) alone, B (80) and C (50) side by side in one group, D (70) alone, over ID and NAME.
inline void AddFourColumns(zv::TDBDivoRud& grid) {
  const int widths[] = {60, 80, 50, 70};
  for (int i = 0; i < 4; ++i) {
    zv::TgpColumn* c = grid.Columns()->Add();
    c->SetFieldName(i % 2 ? "NAME" : "ID");
    c->SetCaption(std::string(1, static_cast<char>('A' + i)));
    c->SetWidth(widths[i]);
    if (i == 2) c->SetLayoutIndex(1);
  }
}

class TFourColumnGridTest : public THarnessTest {
protected:
  void TearDown() override {
    grid.reset();
    source.reset();
    dataSet.reset();
    if (form) form->SetDesigner(nullptr);
    form.reset();
    THarnessTest::TearDown();
  }

  // A new grid each call; the form and the records stay.
  zv::TDBDivoRud& MakeGrid(int width = 400) {
    using namespace zv;
    if (!form) {
      form = std::make_unique<TForm>(nullptr);
      form->SetBounds(0, 0, 700, 300);
      form->Show();
      dataSet = CreateGridMemTable(10);
      source = std::make_unique<TDataSource>(nullptr);
      source->SetDataSet(dataSet.get());
    }
    grid.reset();
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, width, 200);
    grid->SetDesigner(&designer);
    grid->SetParent(form.get());
    AddFourColumns(*grid);
    grid->SetDataSource(source.get());
    h->Pump();
    return *grid;
  }

  zv::TStandardDesigner designer{nullptr};
  std::unique_ptr<zv::TForm> form;
  std::unique_ptr<zv::TDataSet> dataSet;
  std::unique_ptr<zv::TDataSource> source;
  std::unique_ptr<zv::TDBDivoRud> grid;
};

}  // namespace zvtest
