// The Qt window backend's header alone: the QWindow is Qt's, usable as such.
#include "platform/qt/QtWindowBackend.h"

bool ReachThroughWindow(zv::TNativeWindow window) {
  return zv::qt::NativeQWindow(window)->isExposed();
}
