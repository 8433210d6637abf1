#pragma once
// What the Qt grid benchmarks share: a shown form holding a grid with the standard designer over
// a read-only SQLite table. The benchmark adds its columns and opens the dataset; Paint repaints
// the grid as the windowing system asks.

#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataLink.h"
#include "platform/db/SqliteDataSet.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

namespace zvbench {

struct TQtGridScene {
  zv::TForm* Form = nullptr;
  zv::TSqliteDataSet* DataSet = nullptr;
  zv::TDataSource* Source = nullptr;
  zv::TDBDivoRud* Grid = nullptr;

  TQtGridScene(const zv::String& fileName, const zv::String& table, int width, int height) {
    using namespace zv;
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, width, height);
    DataSet = new TSqliteDataSet(Form);
    DataSet->SetFileName(fileName);
    DataSet->SetTableName(table);
    DataSet->SetReadOnly(true);
    Source = new TDataSource(Form);
    Source->SetDataSet(DataSet);
    Grid = new TDBDivoRud(Form);
    Grid->SetDesigner(new TStandardDesigner(Form));
    Grid->SetAlign(alClient);
    Grid->SetParent(Form);
    Grid->SetDataSource(Source);
    Form->Show();
  }
  ~TQtGridScene() { delete Form; }
  TQtGridScene(const TQtGridScene&) = delete;
  TQtGridScene& operator=(const TQtGridScene&) = delete;

  void Paint() {
    Grid->Invalidate();
    zv::UpdateWindow(Grid->Handle());
  }
};

}  // namespace zvbench
