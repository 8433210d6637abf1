// Only the Qt window backend's header: the QWindow it hands out is used as Qt's.
#include "platform/qt/QtWindowBackend.h"

#include <string>

std::string WindowTitle(zv::HWND handle) {
  QWindow* window = zv::qt::NativeQWindow(zv::NativeWindowOf(handle));
  if (!window) return "no native window";
  return "window \"" + window->title().toStdString() + "\"";
}
