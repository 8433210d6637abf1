// A library that is no design package: it adds a module but exports no Register.

#include "platform/classes/Modules.h"

namespace {
ZV_MODULE(noregister, {.Name = "noregister"});
}  // namespace

extern "C" __attribute__((visibility("default"))) int NotRegister() { return 1; }
