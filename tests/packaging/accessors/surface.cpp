// The Qt graphics backend's header alone: a surface's QImage is Qt's, usable as such.
#include "platform/qt/QtBackend.h"

int ReachThroughSurface(const zv::TPaintDevice& device) {
  return zv::qt::SurfaceImage(device)->width();
}
