#pragma once
// The runtime package zv40c6 as a whole.

namespace zv {

// The package's version, "major.minor.patch".
const char* ZvPackageVersion();

}  // namespace zv
