#pragma once
// What visions ask of a field that the data layer does not answer itself yet: the caption of a
// field (its label, else its name) and whether a typed character suits it. Kept here alone so
// that the field's own answers replace them in one place.

#include "platform/rtl/StringUtils.h"

namespace zv {
class TField;
}

namespace zv::detail {

String FieldCaption(const TField& field);
// Numeric fields take digits and signs (real numbers also the decimal separator and an
// exponent); every other field any character.
bool FieldAcceptsChar(const TField& field, char32_t key);
// Integer, real, currency and decimal fields.
bool IsNumericField(const TField& field);

}  // namespace zv::detail
