#include "platform/controls/ControlSizing.h"

#include "platform/controls/Control.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TSizeConstraints, TPersistent)

namespace {
void CheckSize(const char* name, int value) {
  if (value < 0) throw ERangeError(Format("%s must not be negative (%d)", {name, value}));
}
}  // namespace

void TSizeConstraints::SetMinWidth(int value) {
  CheckSize("MinWidth", value);
  if (value == fMinWidth) return;
  fMinWidth = value;
  if (fMaxWidth > 0 && value > fMaxWidth) fMaxWidth = value;
  Change();
}

void TSizeConstraints::SetMinHeight(int value) {
  CheckSize("MinHeight", value);
  if (value == fMinHeight) return;
  fMinHeight = value;
  if (fMaxHeight > 0 && value > fMaxHeight) fMaxHeight = value;
  Change();
}

void TSizeConstraints::SetMaxWidth(int value) {
  CheckSize("MaxWidth", value);
  if (value == fMaxWidth) return;
  fMaxWidth = value;
  if (value > 0 && value < fMinWidth) fMinWidth = value;
  Change();
}

void TSizeConstraints::SetMaxHeight(int value) {
  CheckSize("MaxHeight", value);
  if (value == fMaxHeight) return;
  fMaxHeight = value;
  if (value > 0 && value < fMinHeight) fMinHeight = value;
  Change();
}

void TSizeConstraints::Apply(int& width, int& height) const {
  if (fMaxWidth > 0) width = std::min(width, fMaxWidth);
  if (fMaxHeight > 0) height = std::min(height, fMaxHeight);
  width = std::max(width, fMinWidth);
  height = std::max(height, fMinHeight);
}

void TSizeConstraints::Assign(const TPersistent* source) {
  if (auto* other = dynamic_cast<const TSizeConstraints*>(source)) {
    fMinWidth = other->fMinWidth;
    fMinHeight = other->fMinHeight;
    fMaxWidth = other->fMaxWidth;
    fMaxHeight = other->fMaxHeight;
    Change();
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TSizeConstraints::GetOwner() const { return fControl; }

void TSizeConstraints::Change() {
  if (fControl) fControl->ConstraintsChanged();
}

void TSizeConstraints::DeclareProperties(TPropTable<TSizeConstraints>& t) {
  t.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
  t.Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  t.Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  t.Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

}  // namespace zv
