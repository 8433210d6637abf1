#pragma once
// Process-wide set-up of Qt that every program and test on the Qt backend shares.

namespace zv::qt {

// True when a windowing system can be reached; otherwise Qt is pointed at its off-screen
// platform (unless the caller chose a platform through QT_QPA_PLATFORM already).
bool PrepareQtPlatform();

// Family names of the pinned fonts, loaded from fonts-dejavu-core so that rendered pixels are
// the same on every machine. Requires a live QGuiApplication.
struct PinnedFonts {
  const char* Sans = "DejaVu Sans";
  const char* Mono = "DejaVu Sans Mono";
};
PinnedFonts LoadPinnedFonts();

}  // namespace zv::qt
