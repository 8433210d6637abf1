#pragma once
// The runtime package zv40c6 as a whole.

namespace zv {

// The package's version, "major.minor.patch".
const char* ZvPackageVersion();

// The package is a module named "zv40c6" that uses the host's controls module: its
// initialization runs when the program's modules are initialized (Application->Initialize())
// and creates the objects the whole library shares; its finalization frees them, in reverse.
inline constexpr const char ZvPackageModule[] = "zv40c6";

}  // namespace zv
