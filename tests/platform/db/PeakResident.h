#pragma once
// The process's peak resident memory, for tests that bound what reading large values costs.

#include <fstream>
#include <string>

namespace zvtest {

// In KiB since the last reset.
inline long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  return -1;
}
inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace zvtest
