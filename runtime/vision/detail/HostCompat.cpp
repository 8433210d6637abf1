#include "runtime/vision/detail/HostCompat.h"

#include "platform/db/Field.h"
#include "platform/rtl/FormatSettings.h"

namespace zv::detail {

String FieldCaption(const TField& field) { return field.DisplayName(); }

namespace {
bool IsIntegerType(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint: return true;
    default: return false;
  }
}
bool IsRealType(TFieldType type) {
  switch (type) {
    case ftFloat: case ftCurrency: case ftBCD: case ftFMTBcd: return true;
    default: return false;
  }
}
}  // namespace

bool IsNumericField(const TField& field) { return IsIntegerType(field.DataType()) || IsRealType(field.DataType()); }

bool FieldAcceptsChar(const TField& field, char32_t key) {
  const TFieldType type = field.DataType();
  const bool integer = IsIntegerType(type);
  if (!integer && !IsRealType(type)) return true;
  if ((key >= U'0' && key <= U'9') || key == U'+' || key == U'-') return true;
  if (integer) return false;
  return key == static_cast<unsigned char>(FormatSettings().DecimalSeparator) || key == U'E' || key == U'e';
}

}  // namespace zv::detail
