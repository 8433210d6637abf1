#pragma once
// The year editor of the calendars: one edit control for the process, put over the year label
// of the calendar that opens it, its spin buttons stepping that calendar's year through an
// object dataset over one navigator object.

#include "platform/db/DataLink.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"

namespace zv {

class TDevidCalendar;

// The record the editor shows: the year of the calendar it serves (0 for none); a different
// year written to it moves that calendar and fires its OnChange.
class TvpYearNaviObj : public TPersistent {
  ZV_CLASS(TvpYearNaviObj, TPersistent)

public:
  TDevidCalendar* Calendar = nullptr;
  int Year() const;
  void SetYear(int value);

  static void DeclareProperties(TPropTable<TvpYearNaviObj>& t);
};

class TvpYearEditor : public TDBDevidEdit {
  ZV_CLASS(TvpYearEditor, TDBDevidEdit)

public:
  explicit TvpYearEditor(TComponent* owner);
  // Another control taking over hides the editor.
  void CancelMode(TControl* control) override;
};

// The editor and what it stands on; the editor goes first.
struct TYearEditorParts {
  TYearEditorParts();
  ~TYearEditorParts();
  TvpYearNaviObj Navi;
  TObjDataSet Data{nullptr};
  TDataSource Source{nullptr};
  TLiteVision Vision{nullptr};
  std::unique_ptr<TvpYearEditor> Editor;
};

// Created on the first use, freed by FreeYearEditor (at the module's shutdown).
TYearEditorParts& YearEditorParts();
bool YearEditorExists();
void FreeYearEditor();

}  // namespace zv
