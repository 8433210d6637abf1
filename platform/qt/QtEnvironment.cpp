#include "platform/qt/QtEnvironment.h"

#include <QFontDatabase>
#include <QString>

#include <cstdlib>

namespace zv::qt {

bool PrepareQtPlatform() {
  if (const char* chosen = std::getenv("QT_QPA_PLATFORM"); chosen && *chosen)
    return QString::fromUtf8(chosen) != QLatin1String("offscreen") && QString::fromUtf8(chosen) != QLatin1String("minimal");
  const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
  if (!display) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return display;
}

PinnedFonts LoadPinnedFonts() {
  static const char* const files[] = {
      "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
  };
  static const bool loaded = [] {
    for (const char* f : files) QFontDatabase::addApplicationFont(QString::fromUtf8(f));
    return true;
  }();
  (void)loaded;
  return {};
}

}  // namespace zv::qt
