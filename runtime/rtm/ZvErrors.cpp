#include "runtime/rtm/ZvErrors.h"

#include "platform/rtl/Format.h"
#include "runtime/rtm/ZvStrings.h"

namespace zv {

void CheckForPositiveAndZero(int value) {
  if (value < 0) throw EZVError(Format(SENegativeValue, {value}));
}

void CheckForPositive(int value) {
  if (value <= 0) throw EZVError(Format(SEPositiveValue, {value}));
}

void CheckIndex(int index, int count) {
  if (index < 0 || index > count - 1) throw EZVError(Format(SEInvalidIndex, {index, count}));
}

}  // namespace zv
