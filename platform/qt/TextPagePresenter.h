#pragma once
// Shows a titled page of text lines: in a window when a display is reachable, otherwise
// rendered off-screen to a PNG. A stand-in presenter for programs that run before the full
// control set exists.

#include <string>
#include <vector>

namespace zv::qt {

struct TextPage {
  std::string Title;
  std::vector<std::string> Lines;  // UTF-8; shown in a monospaced font
};

struct PresentResult {
  bool Windowed = false;    // shown on a display (and closed by the user)
  std::string PngPath;      // set when rendered off-screen
  int ExitCode = 0;
};

// pngPath is used when no display is reachable or when forceOffscreen is set.
PresentResult PresentTextPage(const TextPage& page, const std::string& pngPath, bool forceOffscreen);

}  // namespace zv::qt
