#pragma once
// The system dialogs of the Qt backend: QFileDialog and QColorDialog, modal over a native
// window. They need a QApplication (GuiSession makes one).

#include "platform/controls/WindowBackend.h"

class QWindow;

namespace zv::qt {

// The host's filter ("Text (*.txt)|*.txt|All (*.*)|*.*") as Qt name filters
// ("Text (*.txt)", "All (*.*)").
std::vector<String> QtNameFilters(const String& filter);
bool RunQtFileDialog(QWindow* owner, TNativeFileDialog& dialog);
bool RunQtColorDialog(QWindow* owner, TColor& color);
// A user can answer windows: a real display, not the off-screen or minimal platform.
bool QtInteractive();

}  // namespace zv::qt
