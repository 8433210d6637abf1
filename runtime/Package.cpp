#include "runtime/Package.h"

namespace zv {

const char* ZvPackageVersion() { return ZV_VERSION; }

}  // namespace zv
