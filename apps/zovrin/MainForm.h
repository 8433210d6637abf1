#pragma once
// The main window: one table (or view) of an SQLite file, or of a PostgreSQL server, in the
// library's grid. Clicking titles sorts the dataset by the sorted columns; the footer menu
// chooses an aggregate per column, which one SQL statement over the table computes.

#include "platform/controls/Form.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sqlite.h"
#include "runtime/grid/DBDivoRud.h"

#include <memory>
#include <string>

namespace zv {
class TPanel;
class TvpFieldVision;
}  // namespace zv

namespace zovrin {

class TMainForm : public zv::TForm {
public:
  // file: an SQLite file, or a connection string when onServer; table: a table or view in it.
  TMainForm(zv::TComponent* owner, const std::string& file, const std::string& table, bool onServer);
  ~TMainForm() override;

  zv::TDataSet* DataSet = nullptr;
  zv::TDataSource* Source = nullptr;
  zv::TDBDivoRud* Grid = nullptr;
  zv::TPanel* Status = nullptr;

  // The table's footers, all in one statement; on a server the footers stay empty.
  void RecomputeFooters();
  // How many footer statements ran (each recomputation is one, or two after an integer sum
  // overflowed and was summed again as a float).
  int FooterStatements() const { return fFooterStatements; }
  // The last message shown in the status line about a refused order or a failed footer.
  const zv::String& Message() const { return fMessage; }
  bool IsView() const { return fIsView; }

private:
  void BuildMenus();
  void TitleStateChanged(zv::TObject* sender, zv::TgpColumn* column);
  void FooterMenuPopup(zv::TObject* sender, int x, int y, bool& doPopup);
  // The titles as the dataset is ordered now.
  void ShowDataOrder();
  void Say(const zv::String& message);
  // How many records are selected, or the default status when none is.
  void ShowSelection();
  zv::String FooterSql(bool totals, std::vector<zv::TgpColumn*>& columns) const;

  std::string fFile;
  std::string fTable;
  bool fOnServer = false;
  bool fIsView = false;
  zv::String fMessage;
  zv::String fDefaultStatus;
  int fFooterStatements = 0;
  std::unique_ptr<zv::sqlite::TSqliteDatabase> fReader;  // the footers' own read-only connection
  zv::TvpFieldVision* fVision = nullptr;
};

}  // namespace zovrin
