#pragma once
// Enumerations of the host's Classes unit that several layers publish (fields, panels, labels).

#include "platform/classes/TypeInfo.h"

namespace zv {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace zv

ZV_ENUM_TYPE(zv::TAlignment, taLeftJustify, taRightJustify, taCenter)
