#include "runtime/db/PropAccessor.h"

#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/Field.h"
#include "platform/db/Params.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/UniValue.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ValueRoutines.h"
#include "runtime/rtm/ZvErrors.h"

#include <cfloat>
#include <cmath>

namespace zv {

ZV_DEFINE_CLASS(TvpPropAccessor, TPersistent)

namespace {

// The length the accessor maps long strings to; no blob list.
constexpr int kAccessorStringLength = 1024;
// A short string's declared length is not in the type information: it is at most this.
constexpr int kShortStringMax = 255;

bool IsBooleanType(const TTypeInfo* type) { return SameText(type->Name, "Boolean"); }

bool ClassInherits(const TTypeInfo* type, TClass ancestor) {
  return type->ClassType && type->ClassType->InheritsFrom(ancestor);
}

// The ranges of the integer types narrower than the 32 bits a value carries. Cardinal is
// absent on purpose: it travels as its 32-bit pattern, as the host reads it.
struct IntegerRange {
  const char* name;
  std::int64_t low;
  std::int64_t high;
};
constexpr IntegerRange kNarrowIntegers[] = {
    {"Byte", 0, 255}, {"Word", 0, 65535}, {"Smallint", -32768, 32767}, {"ShortInt", -128, 127}};

[[noreturn]] void RangeError() { throw ERangeError(SRangeError); }

void CheckIntegerRange(const TTypeInfo* type, std::int64_t value) {
  for (const IntegerRange& r : kNarrowIntegers)
    if (SameText(type->Name, r.name) && (value < r.low || value > r.high)) RangeError();
}

// Ordinals of an enumeration run from 0 to its last name.
void CheckEnumOrdinal(const TTypeInfo* type, std::int64_t ordinal) {
  if (ordinal < 0 || ordinal >= static_cast<std::int64_t>(type->EnumNames.size())) RangeError();
}

void CheckSetBits(const TTypeInfo* type, std::uint64_t bits) {
  const std::size_t count = type->CompType ? type->CompType->EnumNames.size() : 0;
  if (count < 64 && (bits >> count) != 0) RangeError();
}

// A character property holds one byte, read as the Latin-1 character of that code so that the
// text stays valid UTF-8 and every byte round-trips.
String CharToText(std::int64_t ordinal) {
  const auto code = static_cast<unsigned char>(ordinal);
  if (code == 0) return String();
  return UTF8Encode(std::u16string(1, static_cast<char16_t>(code)));
}

std::int64_t TextToChar(const String& text, char16_t highest) {
  const WideString wide = UTF8Decode(text);
  if (wide.empty()) return 0;
  if (wide.size() != 1 || wide[0] > highest || (wide[0] >= 0xD800 && wide[0] <= 0xDFFF)) RangeError();
  return wide[0];
}

std::int64_t SignedChar(std::int64_t code) {
  // A char property stores its byte in a C++ char, which may be signed.
  return static_cast<char>(static_cast<unsigned char>(code));
}

void CheckFloatRange(const TTypeInfo* type, double value) {
  if (type->FloatType == ftSingle && std::isfinite(value) && std::fabs(value) > FLT_MAX)
    throw EOverflow(SOverflow);
}

TObject* HeldObject(const TObject& instance, const TPropInfo& prop) {
  return prop.GetObj ? prop.GetObj(instance) : nullptr;
}

// Clears the scratch value when an operation ends, however it ends.
class TValueScope {
public:
  explicit TValueScope(TvpUniValue& value) : fValue(value) {}
  ~TValueScope() { fValue.Clear(); }
  TValueScope(const TValueScope&) = delete;
  TValueScope& operator=(const TValueScope&) = delete;

private:
  TvpUniValue& fValue;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Property type to field type

TvpPropInfo GetPropFieldInfo(const TPropInfo* propInfo, int stringLength, std::string_view blobProperties) {
  TvpPropInfo info;
  if (!propInfo || !propInfo->PropType) {
    info.ReadOnly = true;
    return info;
  }
  info.ReadOnly = !propInfo->IsWritable();
  const TTypeInfo* type = propInfo->PropType;
  const bool isBlob = lioHasItem(blobProperties, propInfo->Name);
  switch (type->Kind) {
    case tkInteger:
      info.DataType = ftInteger;
      break;
    case tkChar:
      info.DataType = ftString;
      info.Size = 1;
      break;
    case tkEnumeration:
      info.DataType = IsBooleanType(type) ? ftBoolean : ftInteger;
      break;
    case tkFloat:
      if (SameText(type->Name, "TDate"))
        info.DataType = ftDate;
      else if (SameText(type->Name, "TTime"))
        info.DataType = ftTime;
      else if (SameText(type->Name, "TDateTime"))
        info.DataType = ftDateTime;
      else
        info.DataType = ftFloat;
      break;
    case tkString:
      info.DataType = ftString;
      info.Size = kShortStringMax;
      break;
    case tkSet: {
      info.DataType = ftInteger;
      info.PropType = pteSet;
      if (type->CompType) {
        std::vector<std::string_view> names(type->CompType->EnumNames.begin(), type->CompType->EnumNames.end());
        info.SetElements = lioJoin(names);
      }
      break;
    }
    case tkClass:
      // Later matches override earlier ones, so the most specific family wins.
      if (ClassInherits(type, TStrings::StaticClass())) {
        info.DataType = ftMemo;
        info.PropType = pteStrings;
      }
      if (ClassInherits(type, TBitmap::StaticClass())) {
        info.DataType = ftBlob;
        info.PropType = pteBitmap;
      }
      if (ClassInherits(type, TComponent::StaticClass())) {
        info.DataType = ftInteger;
        info.PropType = pteReference;
      }
      break;
    case tkWChar:
      info.DataType = ftWideString;
      info.Size = 2;
      break;
    case tkLString:
      info.DataType = isBlob ? ftMemo : ftString;
      info.Size = isBlob ? 0 : stringLength;
      break;
    case tkWString:
      info.DataType = isBlob ? ftMemo : ftWideString;
      info.Size = isBlob ? 0 : 2 * stringLength;
      break;
    case tkVariant:
      info.DataType = ftVariant;
      break;
    case tkInt64:
      info.DataType = ftLargeint;
      break;
    default:  // methods, arrays, records, interfaces, dynamic arrays
      break;
  }
  return info;
}

// ---------------------------------------------------------------------------------------------
// Construction

TvpPropAccessor::TvpPropAccessor(TObject* instance, std::string_view propName)
    : fInstance(instance), fPropName(propName), fValue(std::make_unique<TvpUniValue>(false, true)) {
  if (instance) fPropInfo = GetPropInfo(instance, propName);
  if (!fPropInfo) return;
  const TvpPropInfo info = GetPropFieldInfo(fPropInfo, kAccessorStringLength, {});
  fDataType = info.DataType;
  fReadOnly = info.ReadOnly;
  fSetElements = info.SetElements;
  fValue->SetDataType(fDataType);
}

TvpPropAccessor::~TvpPropAccessor() = default;

// ---------------------------------------------------------------------------------------------
// Checks

void TvpPropAccessor::CheckActive() const {
  if (!Active()) throw EZVError(SEValueNotAvailable);
}

void TvpPropAccessor::CheckReadOnly() const {
  if (fReadOnly) throw EZVError(Format(SEReadOnlyProperty, {fPropName}));
}

bool TvpPropAccessor::PropTypeIs(std::string_view typeName) const {
  return Active() && fPropInfo->PropType && SameText(fPropInfo->PropType->Name, typeName);
}

// ---------------------------------------------------------------------------------------------
// Moving the value

void TvpPropAccessor::ReadData() { ReadInto(*fValue); }

void TvpPropAccessor::ReadInto(TvpUniValue& value) const {
  CheckActive();
  value.Clear();
  const TPropInfo& prop = *fPropInfo;
  if (!prop.IsReadable()) return;
  const TObject& instance = *fInstance;
  const TTypeInfo* type = prop.PropType;
  switch (type->Kind) {
    case tkInteger:
      // Truncation keeps the 32-bit pattern: a Cardinal above 2^31 reads negative, as on the host.
      value.SetAsInteger(static_cast<std::int32_t>(prop.GetOrd(instance)));
      break;
    case tkChar:
      value.SetAsString(CharToText(prop.GetOrd(instance)));
      break;
    case tkWChar: {
      const auto unit = static_cast<char16_t>(prop.GetOrd(instance));
      value.SetAsString(unit == 0 ? String() : UTF8Encode(std::u16string(1, unit)));
      break;
    }
    case tkString:
    case tkLString:
    case tkWString:
      value.SetAsString(prop.GetStr(instance));
      break;
    case tkEnumeration:
    case tkSet:
      if (IsBooleanType(type))
        value.SetAsBoolean(prop.GetOrd(instance) != 0);
      else
        value.SetAsInteger(static_cast<std::int32_t>(static_cast<std::uint32_t>(prop.GetOrd(instance))));
      break;
    case tkFloat:
      value.SetAsFloat(static_cast<double>(prop.GetFloat(instance)));
      break;
    case tkVariant:
      value.SetAsVariant(prop.GetVar(instance));
      break;
    case tkInt64:
      value.SetAsLargeint(prop.GetOrd(instance));
      break;
    case tkClass: {
      TObject* held = HeldObject(instance, prop);
      switch (GetPropFieldInfo(fPropInfo, kAccessorStringLength, {}).PropType) {
        case pteStrings:
          if (auto* strings = dynamic_cast<TStrings*>(held)) {
            TMemoryStream stream;
            strings->SaveToStream(stream);
            stream.SetPosition(0);
            value.LoadFromStream(stream);
          }
          break;
        case pteBitmap:
          // An empty image is the bitmap's null value: it reads as no bytes at all.
          if (auto* bitmap = dynamic_cast<TBitmap*>(held); bitmap && !bitmap->Empty()) {
            TMemoryStream stream;
            bitmap->SaveToStream(stream);
            stream.SetPosition(0);
            value.LoadFromStream(stream);
          }
          break;
        case pteReference:
          value.SetAsInteger(ComponentToHandle(dynamic_cast<TComponent*>(held)));
          break;
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
}

void TvpPropAccessor::WriteData() {
  TValueScope scope(*fValue);
  WriteFrom(*fValue);
}

// Everything is converted and checked before the setter runs, so a failure leaves the
// property as it was.
void TvpPropAccessor::WriteFrom(const TvpUniValue& value) {
  CheckActive();
  CheckReadOnly();
  const TPropInfo& prop = *fPropInfo;
  TObject& instance = *fInstance;
  const TTypeInfo* type = prop.PropType;
  switch (type->Kind) {
    case tkInteger: {
      const int v = value.AsInteger();
      if (SameText(type->Name, "Cardinal")) {
        prop.SetOrd(instance, static_cast<std::int64_t>(static_cast<std::uint32_t>(v)));
      } else {
        CheckIntegerRange(type, v);
        prop.SetOrd(instance, v);
      }
      break;
    }
    case tkChar:
      prop.SetOrd(instance, SignedChar(TextToChar(value.AsString(), 0xFF)));
      break;
    case tkWChar:
      prop.SetOrd(instance, TextToChar(value.AsString(), 0xFFFF));
      break;
    case tkString:
    case tkLString:
    case tkWString:
      prop.SetStr(instance, value.AsString());
      break;
    case tkEnumeration:
      if (IsBooleanType(type)) {
        prop.SetOrd(instance, value.AsBoolean() ? 1 : 0);
      } else {
        const int ordinal = value.AsInteger();
        CheckEnumOrdinal(type, ordinal);
        prop.SetOrd(instance, ordinal);
      }
      break;
    case tkSet:
      if (IsBooleanType(type)) {
        prop.SetOrd(instance, value.AsBoolean() ? 1 : 0);
      } else {
        const auto bits = static_cast<std::uint32_t>(value.AsInteger());
        CheckSetBits(type, bits);
        prop.SetOrd(instance, static_cast<std::int64_t>(bits));
      }
      break;
    case tkFloat: {
      const double v = value.AsFloat();
      CheckFloatRange(type, v);
      prop.SetFloat(instance, v);
      break;
    }
    case tkVariant:
      prop.SetVar(instance, value.AsVariant());
      break;
    case tkInt64:
      prop.SetOrd(instance, value.AsLargeint());
      break;
    case tkClass: {
      TObject* held = HeldObject(instance, prop);
      switch (GetPropFieldInfo(fPropInfo, kAccessorStringLength, {}).PropType) {
        case pteStrings: {
          // The list is filled, never replaced: whoever owns it keeps its object.
          auto* strings = dynamic_cast<TStrings*>(held);
          if (!strings) throw EZVError(Format(SEPropertyHasNoObject, {fPropName}));
          TMemoryStream stream;
          value.SaveToStream(stream);
          stream.SetPosition(0);
          strings->LoadFromStream(stream);
          break;
        }
        case pteBitmap: {
          auto* bitmap = dynamic_cast<TBitmap*>(held);
          if (!bitmap) throw EZVError(Format(SEPropertyHasNoObject, {fPropName}));
          if (value.IsNull()) {
            bitmap->SetSize(0, 0);
          } else {
            // The bitmap decodes the whole stream before it changes: bad data leaves the image.
            TMemoryStream stream;
            value.SaveToStream(stream);
            stream.SetPosition(0);
            bitmap->LoadFromStream(stream);
          }
          break;
        }
        case pteReference: {
          const int handle = value.AsInteger();
          TComponent* component = handle == 0 ? nullptr : HandleToComponent(handle);
          if (handle != 0 && !component) throw EZVError(Format(SENoComponentOfHandle, {handle}));
          // The setter would quietly store nil for a component of another class.
          if (component && !component->InheritsFrom(type->ClassType))
            throw EZVError(Format(SEReferenceClassMismatch, {fPropName, component->ClassName()}));
          prop.SetObj(instance, component);
          break;
        }
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Typed access

int TvpPropAccessor::AsInteger() const {
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  return fValue->AsInteger();
}

void TvpPropAccessor::SetAsInteger(int value) {
  TValueScope scope(*fValue);
  fValue->SetAsInteger(value);
  WriteFrom(*fValue);
}

std::int64_t TvpPropAccessor::AsInt64() const {
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  return fValue->AsLargeint();
}

void TvpPropAccessor::SetAsInt64(std::int64_t value) {
  TValueScope scope(*fValue);
  fValue->SetAsLargeint(value);
  WriteFrom(*fValue);
}

double TvpPropAccessor::AsFloat() const {
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  return fValue->AsFloat();
}

void TvpPropAccessor::SetAsFloat(double value) {
  TValueScope scope(*fValue);
  fValue->SetAsFloat(value);
  WriteFrom(*fValue);
}

String TvpPropAccessor::AsString() const {
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  return fValue->AsString();
}

void TvpPropAccessor::SetAsString(const String& value) {
  TValueScope scope(*fValue);
  fValue->SetAsString(value);
  WriteFrom(*fValue);
}

Variant TvpPropAccessor::AsVariant() const {
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  return fValue->AsVariant();
}

void TvpPropAccessor::SetAsVariant(const Variant& value) {
  TValueScope scope(*fValue);
  fValue->SetAsVariant(value);
  WriteFrom(*fValue);
}

void TvpPropAccessor::Clear() {
  TValueScope scope(*fValue);
  fValue->Clear();
  WriteFrom(*fValue);
}

bool TvpPropAccessor::IsEmpty() const {
  CheckActive();
  const TPropInfo& prop = *fPropInfo;
  if (!prop.IsReadable()) return false;
  const TObject& instance = *fInstance;
  switch (prop.PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
      return prop.GetOrd(instance) == 0;
    case tkString:
    case tkLString:
    case tkWString:
      return prop.GetStr(instance).empty();
    case tkFloat:
      return prop.GetFloat(instance) == 0;
    case tkVariant:
      return VarIsNE(prop.GetVar(instance));
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Assignment

void TvpPropAccessor::Assign(const TPersistent* source) {
  CheckActive();
  TValueScope scope(*fValue);
  if (const auto* other = dynamic_cast<const TvpPropAccessor*>(source)) {
    // Read straight into this value: the source's own scratch value stays untouched.
    TvpUniValue read(false, true);
    read.SetDataType(other->DataType());
    other->ReadInto(read);
    fValue->Assign(read);
    WriteFrom(*fValue);
  } else if (dynamic_cast<const TvpUniValue*>(source) || dynamic_cast<const TField*>(source) ||
             dynamic_cast<const TParam*>(source)) {
    fValue->Assign(source);
    WriteFrom(*fValue);
  } else {
    TPersistent::Assign(source);
  }
}

void TvpPropAccessor::AssignTo(TPersistent* dest) const {
  CheckActive();
  TValueScope scope(*fValue);
  ReadInto(*fValue);
  dest->Assign(fValue.get());
}

// ---------------------------------------------------------------------------------------------
// One-call access

int zvGetPropValueInt(TObject* instance, std::string_view propName) {
  TvpPropAccessor accessor(instance, propName);
  return accessor.Active() ? accessor.AsInteger() : 0;
}

String zvGetPropValueStr(TObject* instance, std::string_view propName) {
  TvpPropAccessor accessor(instance, propName);
  return accessor.Active() ? accessor.AsString() : String();
}

void zvSetPropValueInt(TObject* instance, std::string_view propName, int value) {
  TvpPropAccessor accessor(instance, propName);
  if (accessor.Active()) accessor.SetAsInteger(value);
}

void zvSetPropValueStr(TObject* instance, std::string_view propName, const String& value) {
  TvpPropAccessor accessor(instance, propName);
  if (accessor.Active()) accessor.SetAsString(value);
}

}  // namespace zv
