#pragma once
// The data edit control's brackets (Updating, ChangeLock, MappingUpdate, ...) use the runtime's
// one flag scope.

#include "runtime/rtm/FlagScope.h"
