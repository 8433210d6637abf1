// Not compiled: what the private-header check must refuse in a library folder.
#include "platform/controls/detail/WindowManager.h"
#include "runtime/db/detail/Index.h"

void Reaches() { zv::detail::Manager(); }
