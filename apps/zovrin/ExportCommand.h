#pragma once
// The main program's export command: asks for a file (comma-separated .csv or tab-separated
// .txt), then writes the grid's records into it through a modal progress window whose Cancel
// button (or Esc) stops the export. The rest of the program takes no input meanwhile; the grid
// shows the same record on the same row afterwards; a failure is shown in a message box and
// leaves no file.

#include "runtime/grid/DBDivoRud.h"

namespace zovrin {

// True when the file was written.
bool ExportGridCommand(zv::TDBDivoRud& grid);

}  // namespace zovrin
