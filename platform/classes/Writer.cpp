#include "platform/classes/Writer.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Variant.h"

#include <cstring>
#include <limits>

namespace zv {

namespace {

template <class T>
void PutLittleEndian(TWriter& w, T value) {
  std::uint8_t bytes[sizeof(T)];
  using U = std::make_unsigned_t<T>;
  auto u = static_cast<U>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<std::uint8_t>(u >> (8 * i));
  w.Write(bytes, sizeof(T));
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) > 0x7F) return false;
  return true;
}

}  // namespace

void TWriter::Write(const void* data, std::int64_t size) { fStream.WriteBuffer(data, size); }

void TWriter::WriteValue(TValueType value) { Write(&value, 1); }

void TWriter::WriteSignature() { Write(FilerSignature.data(), 4); }

void TWriter::WriteRootComponent(TComponent* root) {
  SetRoot(root);
  WriteSignature();
  WriteComponent(root);
}

void TWriter::WriteComponent(TComponent* component) {
  if (++fDepth > MaxFormNesting) throw EWriteError(SInvalidImage);
  component->SetStateFlag(csWriting, true);
  try {
    TFilerFlags flags;
    if (component->ComponentState().Contains(csInline)) flags.Include(ffInline);
    if (component->ComponentState().Contains(csAncestor)) flags.Include(ffInherited);
    WritePrefix(flags, 0);
    WriteStr(component->ClassName());
    WriteStr(component->Name());
    component->WriteState(*this);
    WriteProperties(component);
    WriteListEnd();
    component->GetChildren([this](TComponent* child) { WriteComponent(child); }, Root());
    WriteListEnd();
  } catch (...) {
    component->SetStateFlag(csWriting, false);
    --fDepth;
    throw;
  }
  component->SetStateFlag(csWriting, false);
  --fDepth;
}

void TWriter::WritePrefix(TFilerFlags flags, int childPos) {
  if (flags.Empty()) return;
  const auto prefix = static_cast<std::uint8_t>(0xF0 | flags.Bits());
  Write(&prefix, 1);
  if (flags.Contains(ffChildPos)) WriteInteger(childPos);
}

void TWriter::WriteStr(std::string_view text) {
  if (text.size() > 255) throw EWriteError(SInvalidImage);
  const auto len = static_cast<std::uint8_t>(text.size());
  Write(&len, 1);
  Write(text.data(), len);
}

void TWriter::WritePropName(std::string_view name) { WriteStr(fPropPath + String(name)); }

void TWriter::WriteInteger(std::int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    WriteValue(vaInt8);
    PutLittleEndian(*this, static_cast<std::int8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    WriteValue(vaInt16);
    PutLittleEndian(*this, static_cast<std::int16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteValue(vaInt32);
    PutLittleEndian(*this, static_cast<std::int32_t>(value));
  } else {
    WriteValue(vaInt64);
    PutLittleEndian(*this, value);
  }
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char value) { WriteString(std::string_view(&value, 1)); }

void TWriter::WriteFloat(long double value) {
  WriteValue(vaExtended);
  const auto bytes = EncodeExtended(value);
  Write(bytes.data(), 10);
}

void TWriter::WriteSingle(float value) {
  WriteValue(vaSingle);
  std::uint32_t bits;
  std::memcpy(&bits, &value, 4);
  PutLittleEndian(*this, bits);
}

void TWriter::WriteCurrency(Currency value) {
  WriteValue(vaCurrency);
  PutLittleEndian(*this, value.Value);
}

void TWriter::WriteDate(TDateTime value) {
  WriteValue(vaDate);
  std::uint64_t bits;
  const double d = value;
  std::memcpy(&bits, &d, 8);
  PutLittleEndian(*this, bits);
}

void TWriter::WriteString(std::string_view value) {
  if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) throw EWriteError(SWriteError);
  if (!IsAscii(value)) {
    WriteValue(vaUTF8String);
    PutLittleEndian(*this, static_cast<std::int32_t>(value.size()));
  } else if (value.size() <= 255) {
    WriteValue(vaString);
    const auto len = static_cast<std::uint8_t>(value.size());
    Write(&len, 1);
  } else {
    WriteValue(vaLString);
    PutLittleEndian(*this, static_cast<std::int32_t>(value.size()));
  }
  Write(value.data(), static_cast<std::int64_t>(value.size()));
}

void TWriter::WriteWideString(std::u16string_view value) {
  WriteValue(vaWString);
  PutLittleEndian(*this, static_cast<std::int32_t>(value.size()));
  for (char16_t c : value) PutLittleEndian(*this, static_cast<std::uint16_t>(c));
}

void TWriter::WriteIdent(std::string_view ident) {
  if (SameText(ident, "False")) {
    WriteValue(vaFalse);
  } else if (SameText(ident, "True")) {
    WriteValue(vaTrue);
  } else if (SameText(ident, "nil")) {
    WriteValue(vaNil);
  } else if (SameText(ident, "Null")) {
    WriteValue(vaNull);
  } else {
    WriteValue(vaIdent);
    WriteStr(ident);
  }
}

void TWriter::WriteBinary(const void* data, std::int64_t size) {
  if (size > std::numeric_limits<std::int32_t>::max()) throw EWriteError(SWriteError);
  WriteValue(vaBinary);
  PutLittleEndian(*this, static_cast<std::int32_t>(size));
  Write(data, size);
}

void TWriter::WriteSet(const std::vector<String>& names) {
  WriteValue(vaSet);
  for (const auto& n : names) WriteStr(n);
  WriteStr("");
}

void TWriter::WriteCollection(const TCollection* collection) {
  WriteValue(vaCollection);
  if (collection) {
    const String savedPath = fPropPath;
    fPropPath.clear();
    for (int i = 0; i < collection->Count(); ++i) {
      WriteListBegin();
      WriteProperties(collection->Items(i));
      WriteListEnd();
    }
    fPropPath = savedPath;
  }
  WriteListEnd();
}

void TWriter::WriteVariant(const Variant& value) {
  switch (VarType(value) & varTypeMask) {
    case varEmpty:
      WriteValue(vaNil);
      return;
    case varNull:
      WriteValue(vaNull);
      return;
    case varOleStr:
      WriteWideString(value.AsWideString());
      return;
    case varString:
      WriteString(value.AsString());
      return;
    case varBoolean:
      WriteBoolean(value.AsBoolean());
      return;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      WriteInteger(value.AsInt64());
      return;
    case varSingle:
      WriteSingle(static_cast<float>(value.AsDouble()));
      return;
    case varDouble:
      WriteFloat(value.AsDouble());
      return;
    case varCurrency:
      WriteCurrency(value.AsCurrency());
      return;
    case varDate:
      WriteDate(value.AsDateTime());
      return;
    default:
      throw EWriteError(Format(SWriteVariantError, {VarTypeAsText(VarType(value))}));
  }
}

void TWriter::DefineProperty(const String& name, const TReaderProc&, const TWriterProc& writeData, bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  writeData(*this);
}

void TWriter::DefineBinaryProperty(const String& name, const TStreamProc&, const TStreamProc& writeData,
                                   bool hasData) {
  if (!hasData || !writeData) return;
  WritePropName(name);
  TMemoryStream buffer;
  writeData(buffer);
  const auto bytes = buffer.Memory();
  WriteBinary(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TWriter::WriteProperties(const TPersistent* instance) {
  // Declaration order, as the host writes them (GetPropList would sort them by name).
  for (const TPropInfo* prop : GetPropInfos(instance->ClassType()))
    if (prop->IsReadable() && prop->IsStored(*instance)) WriteProperty(instance, prop);
  const_cast<TPersistent*>(instance)->DefineProperties(*this);
}

String TWriter::ComponentReferenceName(const TComponent* component) const {
  const TComponent* lookup = LookupRoot();
  if (component == lookup) return component->Name();
  if (component->Owner() == lookup) return component->Name();
  if (component->Owner() && !component->Owner()->Name().empty() && !component->Name().empty())
    return component->Owner()->Name() + "." + component->Name();
  return String();
}

void TWriter::WriteProperty(const TPersistent* instance, const TPropInfo* prop) {
  const TTypeInfo* type = prop->PropType;
  const bool writable = prop->IsWritable();
  switch (type->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64: {
      if (!writable) return;
      const std::int64_t value = prop->GetOrd(*instance);
      if (prop->Default != NoDefault ? value == prop->Default : (type->Kind == tkInt64 && value == 0)) return;
      WritePropName(prop->Name);
      if (type->Kind == tkEnumeration) {
        if (type->Name == "Boolean")
          WriteBoolean(value != 0);
        else
          WriteIdent(GetEnumName(type, static_cast<int>(value)));
      } else if (type->Kind == tkSet) {
        std::vector<String> names;
        for (std::size_t i = 0; i < type->CompType->EnumNames.size(); ++i)
          if (static_cast<std::uint64_t>(value) & (std::uint64_t{1} << i)) names.push_back(type->CompType->EnumNames[i]);
        WriteSet(names);
      } else if (type->Kind == tkChar) {
        WriteChar(static_cast<char>(value));
      } else if (String ident; type->IntToIdent && value >= INT32_MIN && value <= INT32_MAX &&
                               type->IntToIdent(static_cast<int>(value), ident)) {
        WriteIdent(ident);
      } else {
        WriteInteger(value);
      }
      return;
    }
    case tkFloat: {
      if (!writable) return;
      const long double value = prop->GetFloat(*instance);
      if (value == 0) return;
      WritePropName(prop->Name);
      if (type->FloatType == ftCurr)
        WriteCurrency(detail::CurrencyFromFloat(value));
      else if (type->FloatType == ftSingle)
        WriteSingle(static_cast<float>(value));
      else if (IsDateTimeType(type))
        WriteDate(TDateTime(static_cast<double>(value)));
      else if (type->FloatType == ftDouble)
        WriteFloat(StreamedDouble(static_cast<double>(value)));
      else
        WriteFloat(value);
      return;
    }
    case tkLString:
    case tkString:
    case tkWString: {
      if (!writable) return;
      const String value = prop->GetStr(*instance);
      if (value.empty()) return;
      WritePropName(prop->Name);
      if (type->Kind == tkWString)
        WriteWideString(UTF8Decode(value));
      else
        WriteString(value);
      return;
    }
    case tkVariant: {
      if (!writable) return;
      const Variant value = prop->GetVar(*instance);
      if (VarIsEmpty(value)) return;
      WritePropName(prop->Name);
      WriteVariant(value);
      return;
    }
    case tkClass: {
      TObject* object = prop->GetObj(*instance);
      if (type->IsComponentReference) {
        if (!writable || !object) return;
        const String name = ComponentReferenceName(static_cast<TComponent*>(object));
        if (name.empty()) return;
        WritePropName(prop->Name);
        WriteIdent(name);
        return;
      }
      if (auto* collection = dynamic_cast<const TCollection*>(object)) {
        if (collection->Count() == 0) return;
        WritePropName(prop->Name);
        WriteCollection(collection);
        return;
      }
      if (auto* nested = dynamic_cast<const TPersistent*>(object)) {
        const String savedPath = fPropPath;
        fPropPath += prop->Name + ".";
        WriteProperties(nested);
        fPropPath = savedPath;
      }
      return;
    }
    case tkMethod: {
      // A handler is stored by the name it has in the root's class; one assigned in code (or
      // a method the root does not publish) cannot be read back and is not written.
      if (!writable || !LookupRoot()) return;
      const TMethod method = prop->GetMethod(*instance);
      String name = LookupRoot()->MethodName(method.Code);
      if (OnFindMethodName) OnFindMethodName(*this, instance, prop, name);
      if (name.empty()) return;
      WritePropName(prop->Name);
      WriteIdent(name);
      return;
    }
    default:
      return;
  }
}

}  // namespace zv
