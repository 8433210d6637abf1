#pragma once
// A grid stand-in for the vision tests: columns that keep one cell-attribute record per visible
// row, and a log of what designers tell it.

#include "runtime/vision/Designer.h"
#include "runtime/vision/PaintRecords.h"

#include <string>
#include <vector>

namespace zvtest {

using namespace zv;

class TTestGrid : public TComponent, public IgpPaintGrid, public IgpDesignerClient {
public:
  explicit TTestGrid(TComponent* owner = nullptr, std::vector<String> fields = {})
      : TComponent(owner), fFields(std::move(fields)), fColumns(fFields.size()) {}
  ~TTestGrid() override {
    Destroying();
    if (fDesigner) fDesigner->RemoveGrid(this);
  }

  // The grid's Designer property: keeps the designer's list and the free notification.
  void SetDesigner(TgpDesigner* designer) {
    if (fDesigner == designer) return;
    if (fDesigner) fDesigner->RemoveGrid(this);
    fDesigner = designer;
    if (designer) {
      designer->AddGrid(this);
      FreeNotification(designer);
    }
  }
  TgpDesigner* Designer() const { return fDesigner; }

  // IgpPaintGrid
  TDataSet* PaintDataSet() const override { return dataSet; }
  int VisibleRowCount() const override { return visibleRows; }
  int PaintColumnCount() const override { return static_cast<int>(fColumns.size()); }
  TgpCellAttrs* ColumnCellAttrs(int column, int row) override {
    if (column < 0 || column >= PaintColumnCount()) return nullptr;
    auto& cells = fColumns[static_cast<std::size_t>(column)];
    if (row < 0 || row >= static_cast<int>(cells.size())) return nullptr;
    return &cells[static_cast<std::size_t>(row)];
  }
  int ColumnIndexOfField(const String& name) const override {
    for (std::size_t i = 0; i < fFields.size(); ++i)
      if (fFields[i] == name) return static_cast<int>(i);
    return -1;
  }
  void ResizeColumnCellAttrs(int rows) override {
    for (auto& c : fColumns) c.resize(static_cast<std::size_t>(rows));
  }
  void ClearColumnCellAttrs() override {
    for (auto& c : fColumns) c.clear();
  }
  std::size_t CellRows(int column) const { return fColumns[static_cast<std::size_t>(column)].size(); }

  // IgpDesignerClient
  TComponent* DesignerClientComponent() override { return this; }
  TRect DesignerClientRect() const override { return clientRect; }
  void InvalidateTitles() override { log.push_back("Titles"); }
  void InvalidateFooters() override { log.push_back("Footers"); }
  void InvalidateSelectedRow() override { log.push_back("SelectedRow"); }
  void InvalidateGrid() override { log.push_back("Invalidate"); }
  void LayoutChanged() override { log.push_back("Layout"); }
  void HeightsChanged() override { log.push_back("Heights"); }

  TDataSet* dataSet = nullptr;
  int visibleRows = 0;
  TRect clientRect{0, 0, 50, 30};
  std::vector<std::string> log;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == fDesigner) fDesigner = nullptr;
  }

private:
  std::vector<String> fFields;
  std::vector<std::vector<TgpCellAttrs>> fColumns;
  TgpDesigner* fDesigner = nullptr;
};

}  // namespace zvtest
