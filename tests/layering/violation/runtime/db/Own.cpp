// Not compiled: a module may use the private headers of its own detail/ folder.
#include "runtime/db/detail/Index.h"
