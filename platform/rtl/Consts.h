#pragma once
// The host runtime's message texts, as the host words them. Messages with %s take the
// offending text.

namespace zv {

inline constexpr const char SOperationAborted[] = "Operation aborted";
inline constexpr const char SInvalidInteger[] = "'%s' is not a valid integer value";
inline constexpr const char SInvalidFloat[] = "'%s' is not a valid floating point value";
inline constexpr const char SInvalidCurrency[] = "'%s' is not a valid currency value";
inline constexpr const char SInvalidBoolean[] = "'%s' is not a valid boolean value";
inline constexpr const char SInvalidDate[] = "'%s' is not a valid date";
inline constexpr const char SInvalidTime[] = "'%s' is not a valid time";
inline constexpr const char SInvalidDateTime[] = "'%s' is not a valid date and time";
inline constexpr const char SDateEncodeError[] = "Invalid argument to date encode";
inline constexpr const char STimeEncodeError[] = "Invalid argument to time encode";
inline constexpr const char SInvalidFormat[] = "Format '%s' invalid or incompatible with argument";
inline constexpr const char SArgumentMissing[] = "No argument for format '%s'";
inline constexpr const char SIntOverflow[] = "Integer overflow";
inline constexpr const char SRangeError[] = "Range check error";
inline constexpr const char SDivByZero[] = "Division by zero";
inline constexpr const char SOverflow[] = "Floating point overflow";
inline constexpr const char SZeroDivide[] = "Floating point division by zero";
inline constexpr const char SInvalidOp[] = "Invalid floating point operation";
inline constexpr const char SListIndexError[] = "List index out of bounds (%d)";
inline constexpr const char SInvalidVarCast[] = "Invalid variant type conversion";
inline constexpr const char SInvalidVarOp[] = "Invalid variant operation";
inline constexpr const char SInvalidVarNullOp[] = "Invalid NULL variant operation";
inline constexpr const char SVarTypeCouldNotConvert[] = "Could not convert variant of type (%s) into type (%s)";
inline constexpr const char SVarTypeConvertOverflow[] = "Overflow while converting variant of type (%s) into type (%s)";
inline constexpr const char SVarArrayBounds[] = "Variant or safe array index out of bounds";
inline constexpr const char SVarArrayCreate[] = "Error creating variant or safe array";
inline constexpr const char SVarNotArray[] = "Variant is not an array";
inline constexpr const char SBcdOverflow[] = "BCD overflow";
inline constexpr const char SInvalidBcdValue[] = "%s is not a valid BCD value";
inline constexpr const char SInvalidSQLTimeStamp[] = "Invalid SQL date/time values";
inline constexpr const char SCouldNotParseTimeStamp[] = "Could not parse SQL TimeStamp string";
inline constexpr const char SInvalidFormatChar[] = "'%s' is not a single character";
inline constexpr const char SSeparatorsCollide[] =
    "The decimal separator '%s' cannot also be the thousand separator";
inline constexpr const char SNoDecimalSeparator[] = "The decimal separator is empty";
inline constexpr const char SUnknownLocale[] = "No locale data for '%s'";
inline constexpr const char SDefaultTrueBoolStr[] = "True";
inline constexpr const char SDefaultFalseBoolStr[] = "False";

}  // namespace zv
