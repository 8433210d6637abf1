#pragma once
// Enumerations of the host's Classes unit that several layers publish (fields, panels, labels).

#include "platform/classes/TypeInfo.h"

namespace zv {

ZV_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter);

}  // namespace zv
