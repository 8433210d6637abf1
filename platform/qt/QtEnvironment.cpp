#include "platform/qt/detail/QtEnvironment.h"

#include <QFontDatabase>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace zv::qt {

namespace {

// Qt warns on every start without a runtime directory; give it a private one.
void EnsureRuntimeDir() {
  if (std::getenv("XDG_RUNTIME_DIR")) return;
  const auto dir = std::filesystem::temp_directory_path() / ("zovrin-runtime-" + std::to_string(getuid()));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::permissions(dir, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace, ec);
  if (!ec) setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

}  // namespace

bool PrepareQtPlatform() {
  EnsureRuntimeDir();
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
