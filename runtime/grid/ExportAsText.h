#pragma once
// TgpExportAsText: a grid's visible columns and every record of its dataset as delimited text,
// a caption line first. DoExport returns the text; SaveToStream and SaveToFile write it while it
// is made, so a table of millions of records never sits in memory, and report progress that
// may cancel.
//
// Cells come out as the columns show them (their visions' texts). A cell that holds a double
// quote, a line break or a separator is enclosed in double quotes with its quotes doubled, the
// convention spreadsheets read; with eqNone such a cell is written raw and shifts the columns
// or rows after it. Texts that a spreadsheet may evaluate as a formula ("=...", "+...", "@...")
// are written as they are: the export does not second-guess the data.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/StringUtils.h"

#include <functional>

namespace zv {

class TDBDivoRud;
class TStream;

// eqAsNeeded quotes what needs it, eqAll every caption and cell, eqNone nothing.
ZV_ENUM(TgpExportQuoting, eqNone, eqAsNeeded, eqAll);

// done records written of total (-1 when the dataset cannot count); cancel stops the export.
ZV_EVENT(TgpExportProgressEvent, void(TObject* sender, int done, int total, bool& cancel));

class TgpExportAsText : public TPersistent {
  ZV_CLASS(TgpExportAsText, TPersistent)

public:
  // The grid is not owned and must outlive the exporter's use.
  explicit TgpExportAsText(TDBDivoRud* grid);

  TDBDivoRud* Grid() const { return fGrid; }
  // Display texts (true) or edit texts of the cells.
  bool DisplayText() const { return fDisplayText; }
  void SetDisplayText(bool value) { fDisplayText = value; }
  const String& ColSep() const { return fColSep; }
  void SetColSep(const String& value) { fColSep = value; }
  const String& RowSep() const { return fRowSep; }
  void SetRowSep(const String& value) { fRowSep = value; }

  TgpExportQuoting Quoting() const { return fQuoting; }
  void SetQuoting(TgpExportQuoting value) { fQuoting = value; }
  // SaveToFile starts with the UTF-8 byte-order mark, by which spreadsheets know the encoding.
  bool WriteBOM() const { return fWriteBOM; }
  void SetWriteBOM(bool value) { fWriteBOM = value; }
  // Records between two progress reports; EZVError below 1, the old value kept.
  int ProgressStep() const { return fProgressStep; }
  void SetProgressStep(int value);

  // Done 0 before the first record, then after every ProgressStep records and after the last,
  // each once the record's line is written. A cancel enables the dataset's controls, unfreezes
  // the grid and raises EAbort, the dataset left on the last record written.
  TgpExportProgressEvent OnProgress;

  // The whole text: empty unless the grid has an open dataset. The dataset is left at its end.
  String DoExport();
  // The same text written to stream from its position.
  void SaveToStream(TStream& stream);
  // The same text (after the byte-order mark when WriteBOM) in fileName, which is replaced only
  // once the export completed: a failure or a cancel leaves it as it was. EFCreateError or
  // EWriteError naming fileName when it cannot be written, or is marked read-only.
  void SaveToFile(const String& fileName);

  void Assign(const TPersistent* source) override;
  static void DeclareProperties(TPropTable<TgpExportAsText>& t);

private:
  class TSink;
  void Export(TSink& sink);

  TDBDivoRud* fGrid;
  bool fDisplayText = true;
  String fColSep;
  String fRowSep;
  TgpExportQuoting fQuoting = eqAsNeeded;
  bool fWriteBOM = true;
  int fProgressStep = 1000;
};

}  // namespace zv
