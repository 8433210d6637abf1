#pragma once
// Message texts of the universal value.

namespace zv {

// The field name the access error reports for a universal value.
inline constexpr const char SvpUniValueName[] = "UniValue";
inline constexpr const char SvpInvalidBoolValue[] = "\"%s\" is not a valid boolean value";
inline constexpr const char SvpInvalidVarByteArray[] = "Invalid variant type or size";

}  // namespace zv
