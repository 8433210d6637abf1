#include "platform/db/DBTypes.h"

#include <array>

namespace zv {

namespace {
constexpr std::array<const char*, ftFMTBcd + 1> kFieldTypeNames = {
    "Unknown", "String", "Smallint", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
    "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
    "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
    "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
    "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
}  // namespace

const char* FieldTypeName(TFieldType type) {
  const auto index = static_cast<std::size_t>(type);
  return index < kFieldTypeNames.size() ? kFieldTypeNames[index] : "Unknown";
}

}  // namespace zv
