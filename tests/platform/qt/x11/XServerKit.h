#pragma once
// What the tests that drive a real X server share: shell commands (xdotool, xwininfo), reading
// numbers out of their output, and waiting for a condition while Qt and the application handle
// their messages. Waits end as soon as the condition holds, so their limits can be generous for a
// loaded machine.

#include "platform/controls/Application.h"
#include "platform/qt/QtWindowBackend.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <regex>
#include <string>

namespace zvtest {

// The standard output of a shell command.
inline std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

inline bool Succeeds(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// The X server can be reached and xdotool talks to it.
inline bool XServerUsable() { return std::getenv("DISPLAY") && Succeeds("xdotool getdisplaygeometry"); }

// The integer printed after label, -1 when there is none.
inline int IntAfter(const std::string& text, const std::string& label) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex(label + R"(\s*(-?\d+))"))) return -1;
  return std::stoi(m[1]);
}

// Handles messages until done() holds or about ms passed; the result is done().
inline bool Until(const std::function<bool()>& done, unsigned ms = 10000) {
  for (unsigned waited = 0; !done() && waited < ms; waited += 10)
    zv::qt::RunQtEventLoop(10, [] { zv::Application->ProcessMessages(); });
  return done();
}

}  // namespace zvtest
