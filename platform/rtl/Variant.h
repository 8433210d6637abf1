#pragma once
// Variant: the host's self-describing value, with the host's type codes and conversion rules.
// A Variant owns its value (copies are deep, arrays included); nothing is shared.
//
// Conversions (the As... getters, VarAsType) follow the host:
//   Empty        converts to 0, "", False, zero BCD, the blank time stamp;
//   Null         raises EVariantTypeCastError (SVarTypeCouldNotConvert) while NullStrictConvert
//                is true, else converts like Empty (text: NullAsStringValue);
//   Boolean      is -1 / 0 as a number and "True" / "False" as text; numbers are true when
//                non-zero;
//   text         parses with the global FormatSettings through StrToInt64 / StrToFloat /
//                StrToCurr / StrToBool / StrToDateTime / StrToBcd / StrToSQLTimeStamp, whose
//                errors (EConvertError; EBcdException for BCD) pass through unchanged;
//   floats       round to integers half to even, as the host's variant conversion does;
//                FMTBcd values truncate to integers, as BcdToInteger(..., True) does;
//   narrowing    out of range raises EVariantOverflowError (SVarTypeConvertOverflow);
//   arrays       convert to nothing but themselves (EVariantTypeCastError).

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/rtl/Bcd.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SqlTimeStamp.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

using TVarType = std::uint16_t;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varUInt64 = 0x0015;
inline constexpr TVarType varString = 0x0100;
// The host registers these two custom types at run time (from 0x010F up); here they are fixed.
inline constexpr TVarType varFMTBcd = 0x010F;
inline constexpr TVarType varSQLTimeStamp = 0x0110;
inline constexpr TVarType varTypeMask = 0x0FFF;
inline constexpr TVarType varArray = 0x2000;

enum TVariantRelationship { vrEqual, vrLessThan, vrGreaterThan, vrNotEqual };

// Raised by VarArrayCreate for an element type an array cannot hold, or impossible bounds.
class EVariantArrayCreateError : public EVariantError {
public:
  using EVariantError::EVariantError;
};

// While true (the default) converting Null raises; otherwise Null reads as Empty does, except
// that its text is NullAsStringValue.
extern bool NullStrictConvert;
extern String NullAsStringValue;

class Variant {
public:
  Variant() noexcept = default;  // Unassigned (varEmpty)
  static Variant Null();
  static Variant Unassigned() { return Variant(); }

  Variant(bool value) : fValue(value) {}
  // Integers keep their width and signedness: int is varInteger, std::int64_t varInt64,
  // std::uint8_t varByte, and so on.
  template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char> &&
             !std::is_same_v<T, wchar_t> && !std::is_same_v<T, char8_t> &&
             !std::is_same_v<T, char16_t> && !std::is_same_v<T, char32_t>)
  Variant(T value) : fValue(Fixed(value)) {}
  Variant(float value) : fValue(value) {}
  Variant(double value) : fValue(value) {}
  Variant(Currency value) : fValue(value) {}
  Variant(TDateTime value) : fValue(value) {}  // varDate
  Variant(const char* text) : fValue(String(text)) {}
  Variant(std::string_view text) : fValue(String(text)) {}
  Variant(String text) : fValue(std::move(text)) {}  // varString
  Variant(const char16_t* text) : fValue(WideString(text)) {}
  Variant(WideString text) : fValue(std::move(text)) {}  // varOleStr
  Variant(const TBcd& value) : fValue(value) {}  // varFMTBcd
  Variant(const TSQLTimeStamp& value) : fValue(value) {}  // varSQLTimeStamp

  TVarType VarType() const;
  bool IsEmpty() const { return fValue.index() == 0; }
  bool IsNull() const { return fValue.index() == 1; }
  bool IsArray() const { return std::holds_alternative<ArrayValue>(fValue); }

  // The value converted by the rules above.
  int AsInteger() const;
  std::int64_t AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDateTime() const;
  bool AsBoolean() const;
  String AsString() const;
  WideString AsWideString() const;
  TBcd AsBcd() const;
  TSQLTimeStamp AsSQLTimeStamp() const;

  // Array elements by index within the bounds (else EVariantBadIndexError, SVarArrayBounds);
  // a stored value is converted to the element type first. On a non-array these raise
  // EVariantError (SVarNotArray).
  Variant GetElement(int index) const;
  void PutElement(int index, const Variant& value);
  // The bytes of a varArray | varByte array, without copying; valid while the array is.
  std::span<const std::uint8_t> Bytes() const;

private:
  friend Variant VarAsType(const Variant& value, TVarType varType);
  friend Variant VarArrayCreate(int low, int high, TVarType elementType);
  friend Variant VarArrayOfBytes(std::span<const std::uint8_t> bytes);
  friend TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
  friend int VarArrayLowBound(const Variant& value, int dim);
  friend int VarArrayHighBound(const Variant& value, int dim);

  struct NullValue {};
  struct ArrayValue {
    TVarType ElementType = varVariant;
    int Low = 0;
    std::vector<Variant> Items;        // every element type but varByte
    std::vector<std::uint8_t> Bytes;   // varByte
    int Count() const;
  };
  // One alternative per type code, so that the code follows from the alternative held.
  using Storage = std::variant<std::monostate, NullValue, std::int16_t, std::int32_t, float, double,
                               Currency, TDateTime, WideString, bool, std::int8_t, std::uint8_t,
                               std::uint16_t, std::uint32_t, std::int64_t, std::uint64_t, String,
                               TBcd, TSQLTimeStamp, ArrayValue>;

  template <class T>
  static Storage Fixed(T v) {
    if constexpr (std::is_signed_v<T>) {
      if constexpr (sizeof(T) == 1) return static_cast<std::int8_t>(v);
      else if constexpr (sizeof(T) == 2) return static_cast<std::int16_t>(v);
      else if constexpr (sizeof(T) == 4) return static_cast<std::int32_t>(v);
      else return static_cast<std::int64_t>(v);
    } else {
      if constexpr (sizeof(T) == 1) return static_cast<std::uint8_t>(v);
      else if constexpr (sizeof(T) == 2) return static_cast<std::uint16_t>(v);
      else if constexpr (sizeof(T) == 4) return static_cast<std::uint32_t>(v);
      else return static_cast<std::uint64_t>(v);
    }
  }

  // The integer value, checked against [lo, hi] for the target type code.
  std::int64_t IntegerIn(TVarType target, std::int64_t lo, std::int64_t hi) const;
  std::uint64_t UnsignedValue() const;  // for varUInt64, whose top half int64 cannot hold
  double FloatValue(TVarType target) const;
  const ArrayValue& Array() const;
  [[noreturn]] void CastError(TVarType target) const;
  [[noreturn]] void OverflowError(TVarType target) const;
  // Null under NullStrictConvert raises; true when the value reads as Empty.
  bool ReadsAsEmpty(TVarType target) const;

  Storage fValue;
};

inline Variant Null() { return Variant::Null(); }
inline Variant Unassigned() { return Variant(); }

TVarType VarType(const Variant& value);
// The value converted to the type code (varArray codes only to themselves).
Variant VarAsType(const Variant& value, TVarType varType);
// The host's names: "Empty", "Integer", "String", "FMTBcd", "Array Variant"...
String VarTypeAsText(TVarType varType);

// Null gives NullAsStringValue (""), never an error.
String VarToStr(const Variant& value);
WideString VarToWideStr(const Variant& value);
TDateTime VarToDateTime(const Variant& value);

bool VarIsNull(const Variant& value);
bool VarIsEmpty(const Variant& value);
bool VarIsClear(const Variant& value);
bool VarIsArray(const Variant& value);
// Ordinal: the integer types and Boolean; float: Single, Double, Currency, FMTBcd.
bool VarIsOrdinal(const Variant& value);
bool VarIsFloat(const Variant& value);
bool VarIsNumeric(const Variant& value);
bool VarIsStr(const Variant& value);

// FMTBcd and SQL time stamp variants.
Variant VarFMTBcdCreate(const TBcd& value);
// The text or double normalised to precision and scale (surplus decimals truncated).
Variant VarFMTBcdCreate(std::string_view text, int precision, int scale);
Variant VarFMTBcdCreate(double value, int precision = 18, int scale = 4);
bool VarIsFMTBcd(const Variant& value);
TBcd VarToBcd(const Variant& value);
Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value);
Variant VarSQLTimeStampCreate(TDateTime value);
bool VarIsSQLTimeStamp(const Variant& value);
TSQLTimeStamp VarToSQLTimeStamp(const Variant& value);

// One-dimensional arrays. Element types: any simple type code but varEmpty, varNull and
// varString (use varOleStr or varVariant, as the host requires); elements start as Empty
// converts to that type. high may be low - 1 for an empty array.
Variant VarArrayCreate(int low, int high, TVarType elementType);
// A varArray | varVariant array with bounds 0..size - 1.
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
// A varArray | varByte array with bounds 0..size - 1.
Variant VarArrayOfBytes(std::span<const std::uint8_t> bytes);
// 1 for arrays, 0 otherwise. Bounds of dimension 1; another dimension raises
// EVariantBadIndexError, a non-array EVariantError (SVarNotArray).
int VarArrayDimCount(const Variant& value);
int VarArrayLowBound(const Variant& value, int dim);
int VarArrayHighBound(const Variant& value, int dim);
Variant VarArrayGet(const Variant& array, int index);
void VarArrayPut(Variant& array, const Variant& value, int index);

// The host's comparison: numbers numerically across kinds (exactly when a Currency, FMTBcd or
// integer is involved), text by AnsiCompareStr, text against a number or date converted to it
// (conversion errors pass through), Boolean False < True and as -1 / 0 against numbers. Two
// Nulls or two Empties are equal; Null or Empty against anything else is vrNotEqual. Arrays
// are vrEqual when of the same type and bounds with elements of the same types and values,
// else vrNotEqual.
TVariantRelationship VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);

// Operators on VarCompareValue with the host's default (loose) Null rules: Null equals only
// Null and is less than any other value.
bool operator==(const Variant& a, const Variant& b);
bool operator<(const Variant& a, const Variant& b);
inline bool operator!=(const Variant& a, const Variant& b) { return !(a == b); }
inline bool operator>(const Variant& a, const Variant& b) { return b < a; }
inline bool operator<=(const Variant& a, const Variant& b) { return a < b || a == b; }
inline bool operator>=(const Variant& a, const Variant& b) { return b < a || a == b; }

}  // namespace zv
