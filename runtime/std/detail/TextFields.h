#pragma once
// What the visions of this module share about fields: a memo is text.

#include "platform/db/DBTypes.h"
#include "platform/rtl/StringUtils.h"

namespace zv {
class TField;
class TgpFieldList;
}  // namespace zv

namespace zv::switchdetail {

bool IsMemoType(TFieldType type);
// Valid with a field name whose field is missing, no blob, or a memo.
void ValidTextOrMemo(TgpFieldList& fields, bool& valid);
// The field's edit text; a memo's own text rather than its marker.
String FieldValueText(const TField& field);

}  // namespace zv::switchdetail
