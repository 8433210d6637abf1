// Accessors of the text and byte kinds: string, wide string, binary and blob.

#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/db/Field.h"
#include "platform/db/Params.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/db/ValueAccessors.h"

namespace zv {

using namespace uvdetail;

namespace {

bool IsNil(TReader& reader) {
  const TValueType next = reader.NextValue();
  if (next != vaNil && next != vaNull) return false;
  reader.ReadValue();
  return true;
}

String AsText(std::span<const std::uint8_t> bytes) {
  return String(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TvpStringAccessor

std::string_view TvpStringAccessor::Text(const TvpUniValue& v) {
  std::string_view bytes = StoredBytes(v);
  // The terminator this accessor wrote; raw bytes stored without one are all text.
  if (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
  return bytes;
}

String TvpStringAccessor::GetAsString(const TvpUniValue& v) const { return String(Text(v)); }

// The other reads go through GetAsString so that the wide-string kind shares them.
TBcd TvpStringAccessor::GetAsBCD(const TvpUniValue& v) const { return StrToBcd(GetAsString(v)); }

bool TvpStringAccessor::GetAsBoolean(const TvpUniValue& v) const {
  const String text = GetAsString(v);
  return !text.empty() && (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
}

TDateTime TvpStringAccessor::GetAsDateTime(const TvpUniValue& v) const { return StrToDateTime(GetAsString(v)); }
double TvpStringAccessor::GetAsFloat(const TvpUniValue& v) const { return StrToFloat(GetAsString(v)); }
int TvpStringAccessor::GetAsInteger(const TvpUniValue& v) const { return StrToInt(GetAsString(v)); }
std::int64_t TvpStringAccessor::GetAsLargeint(const TvpUniValue& v) const { return StrToInt64(GetAsString(v)); }

TSQLTimeStamp TvpStringAccessor::GetAsSQLTimeStamp(const TvpUniValue& v) const {
  return StrToSQLTimeStamp(GetAsString(v));
}

Variant TvpStringAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsString(v)); }

void TvpStringAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.size() >= static_cast<std::size_t>(INT32_MAX)) throw ERangeError(SRangeError);
  const auto bytes = v.NewData(static_cast<int>(value.size()) + 1);
  std::memcpy(bytes.data(), value.data(), value.size());
  bytes.back() = 0;
}

void TvpStringAccessor::SetAsBCD(TvpUniValue& v, const TBcd& value) const { SetAsString(v, BcdToStr(value)); }
void TvpStringAccessor::SetAsBoolean(TvpUniValue& v, bool value) const { SetAsString(v, value ? "T" : "F"); }
void TvpStringAccessor::SetAsDateTime(TvpUniValue& v, TDateTime value) const { SetAsString(v, DateTimeToStr(value)); }
void TvpStringAccessor::SetAsFloat(TvpUniValue& v, double value) const { SetAsString(v, FloatToStr(value)); }
void TvpStringAccessor::SetAsInteger(TvpUniValue& v, int value) const { SetAsString(v, IntToStr(value)); }

void TvpStringAccessor::SetAsSQLTimeStamp(TvpUniValue& v, const TSQLTimeStamp& value) const {
  SetAsString(v, SQLTimeStampToStr("", value));
}

void TvpStringAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsString(v, VarToStr(value)); }

bool TvpStringAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpStringAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader)) {
    v.Clear();
  } else if (reader.NextValue() == vaBinary) {
    SetAsString(v, AsText(reader.ReadBinary()));
  } else {
    SetAsString(v, reader.ReadString());
  }
}

void TvpStringAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteString(Text(v)); }

void TvpStringAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  SetAsString(v, source.AsString());
}
void TvpStringAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsString(v, field.AsString()); }
void TvpStringAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsString(v, param.AsString()); }
void TvpStringAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsString(GetAsString(v)); }
void TvpStringAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsString(GetAsString(v)); }

int TvpStringAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool caseSensitive) const {
  const std::string_view a = Text(v);
  // Another plain string is read in place; any other kind gives its text.
  String otherText;
  const std::string_view b = &other.Accessor() == &AccessorOf(ftString) ? Text(other) : (otherText = other.AsString());
  return caseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

// ---------------------------------------------------------------------------------------------
// TvpWideStringAccessor

namespace {

WideString StoredWide(const TvpUniValue& v) {
  const auto data = v.Data();
  std::size_t units = data.size() / 2;
  WideString text(units, u'\0');
  std::memcpy(text.data(), data.data(), units * 2);
  if (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

}  // namespace

WideString TvpWideStringAccessor::GetAsWideString(const TvpUniValue& v) const { return StoredWide(v); }
String TvpWideStringAccessor::GetAsString(const TvpUniValue& v) const { return UTF8Encode(StoredWide(v)); }
Variant TvpWideStringAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(StoredWide(v)); }

void TvpWideStringAccessor::SetAsWideString(TvpUniValue& v, const WideString& value) const {
  if (value.size() >= static_cast<std::size_t>(INT32_MAX / 2)) throw ERangeError(SRangeError);
  const auto bytes = v.NewData(static_cast<int>(value.size() * 2 + 2));
  std::memcpy(bytes.data(), value.data(), value.size() * 2);
  bytes[bytes.size() - 2] = 0;
  bytes[bytes.size() - 1] = 0;
}

void TvpWideStringAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  SetAsWideString(v, UTF8Decode(value));
}

void TvpWideStringAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const {
  SetAsWideString(v, VarToWideStr(value));
}

void TvpWideStringAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else
    SetAsWideString(v, reader.ReadWideString());
}

void TvpWideStringAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const {
  writer.WriteWideString(StoredWide(v));
}

int TvpWideStringAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return AnsiCompareText(GetAsString(v), UTF8Encode(other.AsWideString()));
}

// ---------------------------------------------------------------------------------------------
// TvpBinaryAccessor

String TvpBinaryAccessor::GetAsString(const TvpUniValue& v) const { return String(StoredBytes(v)); }
Variant TvpBinaryAccessor::GetAsVariant(const TvpUniValue& v) const { return GetAsByteArray(v); }

void TvpBinaryAccessor::SetAsByteArray(TvpUniValue& v, const Variant& value) const {
  StoreBytes(v, ByteArrayOf(value));
}

void TvpBinaryAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const { SetAsByteArray(v, value); }

void TvpBinaryAccessor::SetAsString(TvpUniValue& v, const String& value) const {
  if (value.empty())
    v.Clear();
  else
    StoreBytes(v, BytesOf(value));
}

bool TvpBinaryAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpBinaryAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else if (reader.NextValue() == vaBinary)
    StoreBytes(v, reader.ReadBinary());
  else
    SetAsString(v, reader.ReadString());
}

void TvpBinaryAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteString(StoredBytes(v)); }

void TvpBinaryAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const {
  SetAsByteArray(v, source.AsByteArray());
}
void TvpBinaryAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsVariant(v, field.AsVariant()); }
void TvpBinaryAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsVariant(v, param.Value()); }
void TvpBinaryAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsVariant(GetAsVariant(v)); }
void TvpBinaryAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetValue(GetAsVariant(v)); }

int TvpBinaryAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  int c;
  if (&other.Accessor() == this) {
    c = StoredBytes(v).compare(StoredBytes(other));
  } else {
    const Variant bytes = other.AsByteArray();
    const auto b = bytes.IsArray() ? bytes.Bytes() : std::span<const std::uint8_t>();
    c = StoredBytes(v).compare(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
  }
  return (c > 0) - (c < 0);
}

// ---------------------------------------------------------------------------------------------
// TvpBlobAccessor

String TvpBlobAccessor::GetAsString(const TvpUniValue& v) const { return String(StoredBytes(v)); }
Variant TvpBlobAccessor::GetAsVariant(const TvpUniValue& v) const { return Variant(GetAsString(v)); }

void TvpBlobAccessor::SetAsString(TvpUniValue& v, const String& value) const { StoreBytes(v, BytesOf(value)); }

// Blob fields hand out their bytes as byte arrays: take them as they are.
void TvpBlobAccessor::SetAsByteArray(TvpUniValue& v, const Variant& value) const { StoreBytes(v, ByteArrayOf(value)); }

void TvpBlobAccessor::SetAsVariant(TvpUniValue& v, const Variant& value) const {
  if (value.VarType() == (varArray | varByte))
    StoreBytes(v, value.Bytes());
  else
    SetAsString(v, VarToStr(value));
}

bool TvpBlobAccessor::HasStreamForm(const TvpUniValue&) const { return true; }

void TvpBlobAccessor::ReadData(TvpUniValue& v, TReader& reader) const {
  if (IsNil(reader))
    v.Clear();
  else if (reader.NextValue() == vaBinary)
    StoreBytes(v, reader.ReadBinary());
  else
    SetAsString(v, reader.ReadString());
}

void TvpBlobAccessor::WriteData(const TvpUniValue& v, TWriter& writer) const { writer.WriteString(StoredBytes(v)); }

void TvpBlobAccessor::AssignValue(TvpUniValue& v, const TvpUniValue& source) const { SetAsString(v, source.AsString()); }
void TvpBlobAccessor::AssignFromField(TvpUniValue& v, const TField& field) const { SetAsString(v, field.AsString()); }
void TvpBlobAccessor::AssignFromParam(TvpUniValue& v, const TParam& param) const { SetAsString(v, param.AsString()); }
void TvpBlobAccessor::AssignToField(const TvpUniValue& v, TField& field) const { field.SetAsString(GetAsString(v)); }
void TvpBlobAccessor::AssignToParam(const TvpUniValue& v, TParam& param) const { param.SetAsString(GetAsString(v)); }

int TvpBlobAccessor::Compare(const TvpUniValue& v, const TvpUniValue& other, bool) const {
  return AnsiCompareText(StoredBytes(v), other.AsString());
}

}  // namespace zv
