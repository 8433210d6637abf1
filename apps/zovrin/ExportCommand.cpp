// The export command: the file dialog, the export under the progress window, and putting the
// grid's record back.
#include "ExportCommand.h"

#include "ProgressWindow.h"

#include "platform/controls/Dialogs.h"
#include "platform/rtl/FileUtils.h"
#include "runtime/grid/ExportAsText.h"

namespace zovrin {
namespace {

using namespace zv;

// The record that was current back on the row it was shown on: from the record that was at the
// top row, going down a window less one puts that record at the top again.
void PutRecordBack(TDBDivoRud& grid, const TBookmarkStr& bookmark, int row) {
  TDataSet* dataSet = grid.DataSet();
  if (!grid.HasActiveDataSet() || bookmark.empty()) return;
  grid.FreezeGrid();
  try {
    dataSet->GotoBookmark(bookmark);
    const int top = -dataSet->MoveBy(-row);
    const int down = dataSet->MoveBy(grid.DataLink()->BufferCount() - 1);
    dataSet->MoveBy(top - down);
  } catch (...) {
    grid.UnfreezeGrid(true);
    throw;
  }
  grid.UnfreezeGrid(true);
}

}  // namespace

bool ExportGridCommand(TDBDivoRud& grid) {
  if (!grid.HasActiveDataSet()) return false;
  TSaveDialog dialog(nullptr);
  dialog.SetTitle("Export");
  dialog.SetFilter("Comma-separated values (*.csv)|*.csv|Tab-separated text (*.txt)|*.txt");
  dialog.SetFilterIndex(1);
  dialog.SetOptions(dialog.Options() + TOpenOptions{ofOverwritePrompt, ofPathMustExist});
  if (!dialog.Execute()) return false;
  String fileName = dialog.FileName();
  // The name's own extension decides; without one, the chosen type does and lends its own.
  const String ext = LowerCase(ExtractFileExt(fileName));
  const bool tabs = ext == ".txt" || (ext != ".csv" && dialog.FilterIndex() == 2);
  if (ext.empty()) fileName += tabs ? ".txt" : ".csv";

  TgpExportAsText exporter(&grid);
  exporter.SetColSep(tabs ? "\t" : ",");
  TDataSet* dataSet = grid.DataSet();
  dataSet->CheckBrowseMode();  // the record as posted is the one put back
  const TBookmarkStr bookmark = dataSet->Bookmark();
  const int row = grid.DataLink()->ActiveRecord();
  String failure;
  const bool written = RunWithProgress("Exporting", [&](const TProgressReport& report) {
    exporter.OnProgress = [&](TObject*, int done, int total, bool& cancel) { cancel = report(done, total); };
    exporter.SaveToFile(fileName);
  }, failure) == mrOk;
  PutRecordBack(grid, bookmark, row);
  if (!failure.empty()) MessageDlg(failure, mtError, {mbOK});
  return written;
}

}  // namespace zovrin
