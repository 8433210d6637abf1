#include "platform/classes/Persistent.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Format.h"

namespace zv {

ZV_DEFINE_CLASS(TPersistent, TObject)

void TPersistent::Assign(const TPersistent* source) {
  if (!source) throw EConvertError(Format(SAssignError, {"nil", ClassName()}));
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) const {
  throw EConvertError(Format(SAssignError, {ClassName(), dest->ClassName()}));
}

String TPersistent::GetNamePath() const {
  String path = ClassName();
  if (const TPersistent* owner = GetOwner()) {
    const String ownerPath = owner->GetNamePath();
    if (!ownerPath.empty()) path = ownerPath + "." + path;
  }
  return path;
}

void TPersistent::DefineProperties(TFiler&) {}

}  // namespace zv
