#pragma once
// The main window: one table (or view) of an SQLite file, or of a PostgreSQL server, in the
// library's grid. Clicking titles sorts the dataset by the sorted columns; the footer menu
// chooses an aggregate per column, which one SQL statement over the table computes.

#include "platform/controls/Form.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sqlite.h"
#include "runtime/grid/DBDivoRud.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

  // The table's footers; on a server the footers stay empty. Aggregates already computed are
  // kept while the file's data stays as it was, so only those not known run, in one statement.
  void RecomputeFooters();
  // How many footer statements ran (a recomputation runs at most one, or two after an integer
  // sum overflowed and was summed again as a float).
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
  // The aggregate a stated column shows, as SQL over its quoted name; empty for none.
  zv::String FooterTerm(const zv::TgpColumn* column) const;
  // Computes the terms not known yet, in one statement, as of the data the cache then holds.
  void ComputeFooterTerms(const std::vector<zv::String>& terms);

  std::string fFile;
  std::string fTable;
  bool fOnServer = false;
  bool fIsView = false;
  zv::String fMessage;
  zv::String fDefaultStatus;
  int fFooterStatements = 0;
  std::unique_ptr<zv::sqlite::TSqliteDatabase> fReader;  // the footers' own read-only connection
  // An aggregate's result as SQLite gave it.
  struct TFooterValue {
    bool Null = true;
    int Storage = 0;
    std::int64_t Integer = 0;
    double Real = 0;
  };
  // Aggregates by their term, valid while the reader's data version is fDataVersion.
  std::map<zv::String, TFooterValue> fFooterValues;
  std::int64_t fDataVersion = -1;
  zv::TvpFieldVision* fVision = nullptr;
};

}  // namespace zovrin
