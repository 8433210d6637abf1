#pragma once
// The host's own design-time registrations: the standard property editors by type and name,
// the "Standard" and "Data Access" palette pages, and the editors of the SQLite dataset's file
// and table. The design module registers them when the modules are initialized.

#include "platform/design/DesignEditors.h"

namespace zv {

// A file name chosen in an open dialog.
class TSqliteFileNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
  void Edit() override;
};

// The tables of the dataset's file.
class TSqliteTableNameProperty : public TStringProperty {
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() override;
  void GetValues(const TGetStrProc& proc) override;
};

void RegisterHostDesignEditors();

}  // namespace zv
