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

TBookmarkStr IntegerBookmark(std::int64_t id) {
  TBookmarkStr s(8, '\0');
  auto u = static_cast<std::uint64_t>(id);
  for (char& c : s) {
    c = static_cast<char>(u & 0xFF);
    u >>= 8;
  }
  return s;
}

bool DecodeIntegerBookmark(const TBookmarkStr& bookmark, std::int64_t& id) {
  if (bookmark.size() != 8) return false;
  std::uint64_t u = 0;
  for (std::size_t i = 8; i-- > 0;) u = (u << 8) | static_cast<unsigned char>(bookmark[i]);
  id = static_cast<std::int64_t>(u);
  return true;
}

}  // namespace zv
