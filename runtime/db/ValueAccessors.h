#pragma once
// The accessor of each kind of universal value (the table in ValueAccessor.h), and the small
// helpers they share. Each class overrides only what differs from the base accessor. Where a
// writer "clears on empty", an empty text makes the value null instead of being converted.

#include "runtime/db/ValueAccessor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

namespace zv {

// ---------------------------------------------------------------------------------------------
// Text: TvpStringAccessor, TvpWideStringAccessor, TvpBinaryAccessor, TvpBlobAccessor

class TvpStringAccessor : public TvpValueAccessor {
public:
  TBcd GetAsBCD(const TvpUniValue& v) const override;                // StrToBcd
  bool GetAsBoolean(const TvpUniValue& v) const override;            // T, t, Y or y first
  TDateTime GetAsDateTime(const TvpUniValue& v) const override;      // StrToDateTime
  double GetAsFloat(const TvpUniValue& v) const override;            // StrToFloat
  int GetAsInteger(const TvpUniValue& v) const override;             // StrToInt
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;   // StrToInt64
  TSQLTimeStamp GetAsSQLTimeStamp(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;         // varString

  void SetAsBCD(TvpUniValue& v, const TBcd& value) const override;   // BcdToStr
  void SetAsBoolean(TvpUniValue& v, bool value) const override;      // "T" / "F"
  void SetAsDateTime(TvpUniValue& v, TDateTime value) const override;
  void SetAsFloat(TvpUniValue& v, double value) const override;      // FloatToStr
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;  // "" is kept
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // VarToStr

  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  // Collation, ignoring case unless caseSensitive.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

  // The stored characters without their terminating zero.
  static std::string_view Text(const TvpUniValue& v);
};

// UTF-16 storage; reads and writes of other kinds go through AsString as for a string.
class TvpWideStringAccessor : public TvpStringAccessor {
public:
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varOleStr
  WideString GetAsWideString(const TvpUniValue& v) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // VarToWideStr
  void SetAsWideString(TvpUniValue& v, const WideString& value) const override;

  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  // Collation ignoring case, whatever caseSensitive says.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// Raw bytes; only byte arrays (varArray | varByte) go in, anything else raises
// "Invalid variant type or size".
class TvpBinaryAccessor : public TvpValueAccessor {
public:
  String GetAsString(const TvpUniValue& v) const override;   // the bytes
  Variant GetAsVariant(const TvpUniValue& v) const override;  // AsByteArray
  void SetAsByteArray(TvpUniValue& v, const Variant& value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;  // clears on empty
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  // Byte order (memcmp, then length), so that a search finds the equal value.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// Raw bytes with no terminator: an empty blob is null.
class TvpBlobAccessor : public TvpValueAccessor {
public:
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varString
  void SetAsByteArray(TvpUniValue& v, const Variant& value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // VarToStr; bytes

  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  // Collation ignoring case, whatever caseSensitive says.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// ---------------------------------------------------------------------------------------------
// Numbers: TvpIntegerAccessor, TvpLargeIntAccessor, TvpFloatAccessor, TvpBCDAccessor,
// TvpFMTBCDAccessor. They share the number stream forms' reading rules and clear on an empty
// text.

class TvpNumericAccessor : public TvpValueAccessor {
public:
  void SetAsString(TvpUniValue& v, const String& value) const final;
  bool HasStreamForm(const TvpUniValue& v) const override;
  // A text in the stream goes through SetAsString (empty clears); nil clears; anything else
  // goes to ReadNumber.
  void ReadData(TvpUniValue& v, TReader& reader) const override;

protected:
  // SetAsString of a text that is not empty.
  virtual void SetFromText(TvpUniValue& v, std::string_view text) const = 0;
  virtual void ReadNumber(TvpUniValue& v, TReader& reader) const = 0;
};

class TvpIntegerAccessor : public TvpNumericAccessor {
public:
  double GetAsFloat(const TvpUniValue& v) const override;
  int GetAsInteger(const TvpUniValue& v) const override;  // 0 when null
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varInteger
  void SetAsFloat(TvpUniValue& v, double value) const override;  // rounded
  void SetAsInteger(TvpUniValue& v, int value) const override;
  // ERangeError outside 32 bits: a value is never cut to its low bits.
  void SetAsLargeint(TvpUniValue& v, std::int64_t value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

protected:
  void SetFromText(TvpUniValue& v, std::string_view text) const override;  // StrToInt
  void ReadNumber(TvpUniValue& v, TReader& reader) const override;
};

class TvpLargeIntAccessor : public TvpNumericAccessor {
public:
  double GetAsFloat(const TvpUniValue& v) const override;
  int GetAsInteger(const TvpUniValue& v) const override;  // ERangeError outside 32 bits
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;  // 0 when null
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varInt64
  void SetAsFloat(TvpUniValue& v, double value) const override;  // rounded
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsLargeint(TvpUniValue& v, std::int64_t value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  // Fields and parameters exchange all 64 bits (AsLargeInt).
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

protected:
  void SetFromText(TvpUniValue& v, std::string_view text) const override;  // StrToInt64
  void ReadNumber(TvpUniValue& v, TReader& reader) const override;
};

class TvpFloatAccessor : public TvpNumericAccessor {
public:
  double GetAsFloat(const TvpUniValue& v) const override;  // 0 when null
  int GetAsInteger(const TvpUniValue& v) const override;   // rounded
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;  // FloatToStr
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varDouble
  void SetAsFloat(TvpUniValue& v, double value) const override;
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsLargeint(TvpUniValue& v, std::int64_t value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

protected:
  void SetFromText(TvpUniValue& v, std::string_view text) const override;  // StrToFloat
  void ReadNumber(TvpUniValue& v, TReader& reader) const override;
};

// Currency held exactly (four decimals).
class TvpBCDAccessor : public TvpNumericAccessor {
public:
  TBcd GetAsBCD(const TvpUniValue& v) const override;  // NullBcd when null
  Currency GetAsCurrency(const TvpUniValue& v) const override;
  double GetAsFloat(const TvpUniValue& v) const override;
  int GetAsInteger(const TvpUniValue& v) const override;  // rounded, exactly
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;  // CurrToStr
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varCurrency
  void SetAsBCD(TvpUniValue& v, const TBcd& value) const override;
  void SetAsCurrency(TvpUniValue& v, Currency value) const override;
  void SetAsFloat(TvpUniValue& v, double value) const override;  // to four decimals
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

protected:
  void SetFromText(TvpUniValue& v, std::string_view text) const override;  // StrToCurr
  void ReadNumber(TvpUniValue& v, TReader& reader) const override;
};

// A TBcd of up to 64 digits, read exactly: AsCurrency, AsInteger and AsLargeint round the
// decimal itself (ties to even) rather than its nearest double.
class TvpFMTBCDAccessor : public TvpNumericAccessor {
public:
  TBcd GetAsBCD(const TvpUniValue& v) const override;  // NullBcd when null
  Currency GetAsCurrency(const TvpUniValue& v) const override;
  double GetAsFloat(const TvpUniValue& v) const override;  // BcdToDouble
  int GetAsInteger(const TvpUniValue& v) const override;
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;  // BcdToStr
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varFMTBcd
  void SetAsBCD(TvpUniValue& v, const TBcd& value) const override;
  void SetAsCurrency(TvpUniValue& v, Currency value) const override;  // 32 digits, 4 places
  void SetAsFloat(TvpUniValue& v, double value) const override;  // to four decimals
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // VarToBcd

  // A currency when the value is one exactly; otherwise its exact decimal text with '.',
  // whatever the application's settings, which reading takes back.
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  // Exact against another decimal kind, by AsFloat otherwise.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;

protected:
  void SetFromText(TvpUniValue& v, std::string_view text) const override;  // StrToBcd
  void ReadNumber(TvpUniValue& v, TReader& reader) const override;
};

// ---------------------------------------------------------------------------------------------
// TvpBoolAccessor, TvpDateTimeAccessor, TvpSQLTimeStampAccessor, TvpVariantAccessor

class TvpBoolAccessor : public TvpValueAccessor {
public:
  bool GetAsBoolean(const TvpUniValue& v) const override;  // false when null
  String GetAsString(const TvpUniValue& v) const override;  // STextTrue / STextFalse
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varBoolean
  void SetAsBoolean(TvpUniValue& v, bool value) const override;
  // Clears on empty; the true or false text in any case; else EDatabaseError
  // "\"<text>\" is not a valid boolean value".
  void SetAsString(TvpUniValue& v, const String& value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// Text by the kind: DateToStr / StrToDate for ftDate, TimeToStr / StrToTime for ftTime,
// DateTimeToStr / StrToDateTime otherwise.
class TvpDateTimeAccessor : public TvpValueAccessor {
public:
  TDateTime GetAsDateTime(const TvpUniValue& v) const override;  // 0 when null
  double GetAsFloat(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varDate
  void SetAsDateTime(TvpUniValue& v, TDateTime value) const override;
  void SetAsFloat(TvpUniValue& v, double value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;  // clears on empty
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // VarToDateTime

  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

class TvpSQLTimeStampAccessor : public TvpValueAccessor {
public:
  TDateTime GetAsDateTime(const TvpUniValue& v) const override;  // 0 when null
  TSQLTimeStamp GetAsSQLTimeStamp(const TvpUniValue& v) const override;  // blank when null
  String GetAsString(const TvpUniValue& v) const override;
  Variant GetAsVariant(const TvpUniValue& v) const override;  // varSQLTimeStamp
  void SetAsDateTime(TvpUniValue& v, TDateTime value) const override;  // 0 clears
  void SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;  // clears on empty
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;

  // As a date (AsDateTime).
  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// The variant lives in the value's holder; typed reads use the host's variant conversions.
class TvpVariantAccessor : public TvpValueAccessor {
public:
  TBcd GetAsBCD(const TvpUniValue& v) const override;  // VarToBcd
  bool GetAsBoolean(const TvpUniValue& v) const override;
  // The held byte array; the access error for anything else.
  Variant GetAsByteArray(const TvpUniValue& v) const override;
  TDateTime GetAsDateTime(const TvpUniValue& v) const override;
  double GetAsFloat(const TvpUniValue& v) const override;
  int GetAsInteger(const TvpUniValue& v) const override;
  std::int64_t GetAsLargeint(const TvpUniValue& v) const override;
  TSQLTimeStamp GetAsSQLTimeStamp(const TvpUniValue& v) const override;
  String GetAsString(const TvpUniValue& v) const override;  // VarToStr
  Variant GetAsVariant(const TvpUniValue& v) const override;
  void SetAsBCD(TvpUniValue& v, const TBcd& value) const override;  // VarFMTBcdCreate
  void SetAsBoolean(TvpUniValue& v, bool value) const override;
  void SetAsDateTime(TvpUniValue& v, TDateTime value) const override;
  void SetAsFloat(TvpUniValue& v, double value) const override;
  void SetAsInteger(TvpUniValue& v, int value) const override;
  void SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const override;
  void SetAsString(TvpUniValue& v, const String& value) const override;
  void SetAsVariant(TvpUniValue& v, const Variant& value) const override;  // Null clears

  // Through the host's variant stream form, for the variant types it encodes.
  bool HasStreamForm(const TvpUniValue& v) const override;
  void ReadData(TvpUniValue& v, TReader& reader) const override;
  void WriteData(const TvpUniValue& v, TWriter& writer) const override;
  void AssignValue(TvpUniValue& v, const TvpUniValue& source) const override;
  void AssignFromField(TvpUniValue& v, const TField& field) const override;
  void AssignFromParam(TvpUniValue& v, const TParam& param) const override;
  void AssignToField(const TvpUniValue& v, TField& field) const override;
  void AssignToParam(const TvpUniValue& v, TParam& param) const override;
  // The host's variant order; values it cannot order fall back to their type codes.
  int Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const override;
};

// ---------------------------------------------------------------------------------------------
// Shared helpers

namespace uvdetail {

// A fixed-size stored form (a value's, or its stored bytes), copied byte-wise (never an
// unaligned read): zero when there are fewer bytes.
template <class T>
T Load(std::span<const std::uint8_t> data) {
  T x{};
  std::memcpy(&x, data.data(), std::min(data.size(), sizeof(T)));
  return x;
}
template <class T>
T Load(const TvpUniValue& v) {
  return Load<T>(v.Data());
}

template <class T>
void Store(TvpUniValue& v, const T& x) {
  v.SetFixed(x);
}

// To the nearest integer, ties to even. NaN and values outside 64 bits raise EInvalidOp, as
// the host's Round does.
std::int64_t RoundToInt64(double value);
// ERangeError when the value does not fit 32 bits.
int NarrowToInt(std::int64_t value);
// -1, 0 or 1 (0 also when either is NaN).
template <class T>
int Sign(T a, T b) {
  return (a > b) - (a < b);
}

// "Invalid variant type or size" unless value is a one-dimensional byte array.
std::span<const std::uint8_t> ByteArrayOf(const Variant& value);
std::span<const std::uint8_t> BytesOf(std::string_view text);
// Stores the bytes as they are (none: null).
void StoreBytes(TvpUniValue& v, std::span<const std::uint8_t> bytes);
std::string_view StoredBytes(const TvpUniValue& v);

}  // namespace uvdetail

}  // namespace zv
