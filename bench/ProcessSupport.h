#pragma once
// What the benchmarks over large files share: building the data in a child process (so that its
// memory does not count in the parent's peak) and reading the parent's peak resident memory.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <functional>

namespace zvbench {

// Runs build in a forked child; false (with a message) when it failed or could not start.
inline bool BuildInChildProcess(const std::function<void()>& build) {
  const pid_t child = ::fork();
  if (child == 0) {
    try {
      build();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "building the data failed: %s\n", e.what());
      ::_exit(1);
    }
    ::_exit(0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "could not build the data\n");
    return false;
  }
  return true;
}

// The process's peak resident memory so far.
inline double PeakResidentMb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace zvbench
