#include "runtime/Package.h"

#include "platform/classes/Modules.h"

namespace zv {

const char* ZvPackageVersion() { return ZV_VERSION; }

// The package-wide objects (the environment form, the default pack, the default vision and
// designer) are created in the initialization, after the host's modules they are built on, and
// freed in the finalization before those go. The environment comes first: the default pack's
// menus show its glyphs, so the pack's module uses it and is finalized before it.
ZV_MODULE(zv40c6, {.Name = ZvPackageModule, .Uses = {"graphics", "controls", "zvenv", "zvdefpack"}});

}  // namespace zv
