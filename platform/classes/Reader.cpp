#include "platform/classes/Reader.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Variant.h"

#include <algorithm>
#include <cstring>

namespace zv {

// ---------------------------------------------------------------------------------------------
// Global roots, for references across owners

namespace {
std::vector<TComponent*>& GlobalRoots() {
  static std::vector<TComponent*> roots;
  return roots;
}

std::vector<String> SplitPath(const String& path) {
  std::vector<String> parts;
  std::size_t start = 0;
  for (std::size_t dot = path.find('.'); dot != String::npos; dot = path.find('.', start)) {
    parts.push_back(path.substr(start, dot - start));
    start = dot + 1;
  }
  parts.push_back(path.substr(start));
  return parts;
}
}  // namespace

void RegisterGlobalRoot(TComponent* root) {
  if (std::find(GlobalRoots().begin(), GlobalRoots().end(), root) == GlobalRoots().end()) GlobalRoots().push_back(root);
}

void UnregisterGlobalRoot(TComponent* root) {
  auto& roots = GlobalRoots();
  roots.erase(std::remove(roots.begin(), roots.end(), root), roots.end());
}

TComponent* FindGlobalComponent(std::string_view name) {
  for (TComponent* r : GlobalRoots())
    if (SameText(r->Name(), name)) return r;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Primitive reads

void TReader::Read(void* buffer, std::int64_t count) { fStream.ReadBuffer(buffer, count); }

std::int64_t TReader::RemainingBytes() { return fStream.Size() - fStream.Position(); }

template <class T>
T TReader::ReadLittleEndian() {
  std::uint8_t bytes[sizeof(T)];
  Read(bytes, sizeof(T));
  std::make_unsigned_t<T> u = 0;
  for (std::size_t i = sizeof(T); i-- > 0;) u = static_cast<std::make_unsigned_t<T>>((u << 8) | bytes[i]);
  return static_cast<T>(u);
}

void TReader::ReadSignature() {
  std::array<std::uint8_t, 4> sig{};
  Read(sig.data(), 4);
  if (sig != FilerSignature) throw EReadError(SInvalidImage);
}

TFilerFlags TReader::ReadPrefix(int& childPos) {
  childPos = 0;
  TFilerFlags flags;
  if ((NextValue() & 0xF0) != 0xF0) return flags;
  std::uint8_t prefix;
  Read(&prefix, 1);
  flags = TFilerFlags::FromBits(prefix & 0x07);
  if (flags.Contains(ffChildPos)) childPos = static_cast<int>(ReadInteger());
  return flags;
}

String TReader::ReadStr() {
  std::uint8_t len;
  Read(&len, 1);
  String s(len, '\0');
  Read(s.data(), len);
  return s;
}

TValueType TReader::ReadValue() {
  std::uint8_t v;
  Read(&v, 1);
  return static_cast<TValueType>(v);
}

TValueType TReader::NextValue() {
  const TValueType v = ReadValue();
  fStream.Seek(-1, soCurrent);
  return v;
}

void TReader::ReadListBegin() {
  if (ReadValue() != vaList) PropertyError(SInvalidPropertyValue);
}

void TReader::ReadListEnd() {
  if (ReadValue() != vaNull) PropertyError(SInvalidPropertyValue);
}

std::int64_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8: return ReadLittleEndian<std::int8_t>();
    case vaInt16: return ReadLittleEndian<std::int16_t>();
    case vaInt32: return ReadLittleEndian<std::int32_t>();
    case vaInt64: return ReadLittleEndian<std::int64_t>();
    default: PropertyError(SInvalidPropertyValue);
  }
}

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaTrue: return true;
    case vaFalse: return false;
    default: PropertyError(SInvalidPropertyValue);
  }
}

char TReader::ReadChar() {
  const TValueType v = NextValue();
  if (v >= vaInt8 && v <= vaInt32) {
    const auto code = ReadInteger();
    if (code < 0 || code > 255) PropertyError(SInvalidPropertyValue);
    return static_cast<char>(code);
  }
  const String s = ReadString();
  if (s.size() != 1) PropertyError(SInvalidPropertyValue);
  return s[0];
}

long double TReader::ReadFloat() {
  switch (NextValue()) {
    case vaExtended: {
      ReadValue();
      std::array<std::uint8_t, 10> bytes{};
      Read(bytes.data(), 10);
      return DecodeExtended(bytes);
    }
    case vaSingle: {
      ReadValue();
      const auto bits = ReadLittleEndian<std::uint32_t>();
      float f;
      std::memcpy(&f, &bits, 4);
      return f;
    }
    case vaCurrency:
      return static_cast<long double>(ReadCurrency().Value) / Currency::Scale;
    case vaDate:
      return static_cast<double>(ReadDate());
    default:
      return static_cast<long double>(ReadInteger());
  }
}

Currency TReader::ReadCurrency() {
  if (ReadValue() != vaCurrency) PropertyError(SInvalidPropertyValue);
  return Currency::FromScaled(ReadLittleEndian<std::int64_t>());
}

TDateTime TReader::ReadDate() {
  if (ReadValue() != vaDate) PropertyError(SInvalidPropertyValue);
  const auto bits = ReadLittleEndian<std::uint64_t>();
  double d;
  std::memcpy(&d, &bits, 8);
  return TDateTime(d);
}

String TReader::ReadString() {
  const TValueType v = ReadValue();
  std::int64_t len = 0;
  switch (v) {
    case vaString: {
      std::uint8_t n;
      Read(&n, 1);
      len = n;
      break;
    }
    case vaLString:
    case vaUTF8String:
      len = ReadLittleEndian<std::int32_t>();
      break;
    case vaWString: {
      const std::int64_t units = ReadLittleEndian<std::int32_t>();
      if (units < 0 || units * 2 > RemainingBytes()) throw EReadError(SReadError);
      WideString w(static_cast<std::size_t>(units), u'\0');
      for (auto& c : w) c = static_cast<char16_t>(ReadLittleEndian<std::uint16_t>());
      return UTF8Encode(w);
    }
    default:
      PropertyError(SInvalidPropertyValue);
  }
  // A length the stream cannot hold is corruption, not a request for gigabytes.
  if (len < 0 || len > RemainingBytes()) throw EReadError(SReadError);
  String s(static_cast<std::size_t>(len), '\0');
  Read(s.data(), len);
  return s;
}

WideString TReader::ReadWideString() { return UTF8Decode(ReadString()); }

String TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: PropertyError(SInvalidPropertyValue);
  }
}

std::vector<String> TReader::ReadSet() {
  if (ReadValue() != vaSet) PropertyError(SInvalidPropertyValue);
  std::vector<String> names;
  for (String name = ReadStr(); !name.empty(); name = ReadStr()) {
    if (names.size() >= 64) PropertyError(SInvalidPropertyValue);
    names.push_back(name);
  }
  return names;
}

std::vector<std::uint8_t> TReader::ReadBinary() {
  if (ReadValue() != vaBinary) PropertyError(SInvalidPropertyValue);
  const std::int64_t size = ReadLittleEndian<std::int32_t>();
  if (size < 0 || size > RemainingBytes()) throw EReadError(SReadError);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  Read(bytes.data(), size);
  return bytes;
}

Variant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNil: ReadValue(); return Variant();
    case vaNull: ReadValue(); return Variant::Null();
    case vaFalse:
    case vaTrue: return Variant(ReadBoolean());
    case vaInt8:
    case vaInt16:
    case vaInt32: return Variant(static_cast<int>(ReadInteger()));
    case vaInt64: return Variant(ReadInteger());
    case vaExtended:
    case vaSingle: return Variant(static_cast<double>(ReadFloat()));
    case vaCurrency: return Variant(ReadCurrency());
    case vaDate: return Variant(ReadDate());
    case vaWString: return Variant(ReadWideString());
    case vaString:
    case vaLString:
    case vaUTF8String: return Variant(ReadString());
    default: PropertyError(SInvalidPropertyValue);
  }
}

void TReader::SkipValue() {
  if (++fDepth > MaxFormNesting) throw EReadError(SInvalidImage);
  switch (NextValue()) {
    case vaList:
      ReadValue();
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      break;
    case vaCollection:
      ReadValue();
      while (!EndOfList()) {
        if (NextValue() >= vaInt8 && NextValue() <= vaInt32) ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
          ReadStr();
          SkipValue();
        }
        ReadListEnd();
      }
      ReadListEnd();
      break;
    case vaSet: ReadSet(); break;
    case vaBinary: ReadBinary(); break;
    case vaIdent:
    case vaFalse:
    case vaTrue:
    case vaNil:
    case vaNull: ReadIdent(); break;
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String: ReadString(); break;
    case vaCurrency: ReadCurrency(); break;
    case vaDate: ReadDate(); break;
    case vaExtended:
    case vaSingle: ReadFloat(); break;
    default: ReadInteger(); break;
  }
  --fDepth;
}

void TReader::ReadCollection(TCollection* collection) {
  if (++fDepth > MaxFormNesting) throw EReadError(SInvalidImage);
  collection->BeginUpdate();
  try {
    collection->Clear();
    while (!EndOfList()) {
      const TValueType v = NextValue();
      if (v >= vaInt8 && v <= vaInt32) ReadInteger();  // an item's position, written by descendants
      ReadListBegin();
      TCollectionItem* item = collection->Add();
      while (!EndOfList()) ReadProperty(item);
      ReadListEnd();
    }
    ReadListEnd();
  } catch (...) {
    collection->EndUpdate();
    --fDepth;
    throw;
  }
  collection->EndUpdate();
  --fDepth;
}

// ---------------------------------------------------------------------------------------------
// Defined properties

void TReader::DefineProperty(const String& name, const TReaderProc& readData, const TWriterProc&, bool) {
  if (fPropName.empty() || !readData || !SameText(name, fPropName)) return;
  fPropName.clear();
  readData(*this);
}

void TReader::DefineBinaryProperty(const String& name, const TStreamProc& readData, const TStreamProc&, bool) {
  if (fPropName.empty() || !readData || !SameText(name, fPropName)) return;
  fPropName.clear();
  const auto bytes = ReadBinary();
  TMemoryStream buffer;
  if (!bytes.empty()) buffer.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  buffer.SetPosition(0);
  readData(buffer);
}

// ---------------------------------------------------------------------------------------------
// Components and properties

void TReader::PropertyError(const String& message) const {
  if (fCurrentProp.empty()) throw EReadError(message);
  throw EReadError(Format(SPropertyException, {fCurrentPath, fCurrentPath.empty() ? "" : ".", fCurrentProp, message}));
}

void TReader::ReadProperties(TPersistent* instance) {
  while (!EndOfList()) ReadProperty(instance);
  ReadListEnd();
}

void TReader::ReadProperty(TPersistent* instance) {
  const String path = ReadStr();
  const String savedProp = fCurrentProp;
  fCurrentProp = path;
  try {
    const auto parts = SplitPath(path);
    TPersistent* target = instance;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      const TPropInfo* prop = GetPropInfo(target, parts[i]);
      if (!prop || prop->PropType->Kind != tkClass || prop->PropType->IsComponentReference || !prop->GetObj)
        PropertyError(Format(SUnknownProperty, {parts[i]}));
      target = dynamic_cast<TPersistent*>(prop->GetObj(*target));
      if (!target) PropertyError(SInvalidPropertyPath);
    }
    if (const TPropInfo* prop = GetPropInfo(target, parts.back())) {
      ReadPropValue(target, prop);
    } else {
      fPropName = parts.back();
      target->DefineProperties(*this);
      if (!fPropName.empty()) {
        fPropName.clear();
        PropertyError(Format(SUnknownProperty, {parts.back()}));
      }
    }
  } catch (const EFilerError&) {
    throw;
  } catch (const Exception& e) {
    PropertyError(e.Message());
  }
  fCurrentProp = savedProp;
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* prop) {
  const TTypeInfo* type = prop->PropType;
  auto requireSetter = [&](bool has) {
    if (!has) PropertyError(Format(SReadOnlyPropertyNamed, {prop->Name}));
  };
  switch (type->Kind) {
    case tkInteger: {
      requireSetter(static_cast<bool>(prop->SetOrd));
      if (NextValue() == vaIdent) {
        int named = 0;
        const String ident = ReadIdent();
        if (!type->IdentToInt || !type->IdentToInt(ident, named)) PropertyError(SInvalidPropertyValue);
        prop->SetOrd(*instance, named);
        return;
      }
      const std::int64_t v = ReadInteger();
      if (v < INT32_MIN || v > UINT32_MAX) PropertyError(SInvalidPropertyValue);
      prop->SetOrd(*instance, v);
      return;
    }
    case tkInt64:
      requireSetter(static_cast<bool>(prop->SetOrd));
      prop->SetOrd(*instance, ReadInteger());
      return;
    case tkChar:
      requireSetter(static_cast<bool>(prop->SetOrd));
      prop->SetOrd(*instance, static_cast<unsigned char>(ReadChar()));
      return;
    case tkEnumeration: {
      requireSetter(static_cast<bool>(prop->SetOrd));
      if (type->Name == "Boolean") {
        prop->SetOrd(*instance, ReadBoolean() ? 1 : 0);
        return;
      }
      const String ident = ReadIdent();
      const int ord = GetEnumValue(type, ident);
      if (ord < 0) PropertyError(SInvalidPropertyValue);
      prop->SetOrd(*instance, ord);
      return;
    }
    case tkSet: {
      requireSetter(static_cast<bool>(prop->SetOrd));
      std::uint64_t bits = 0;
      for (const auto& name : ReadSet()) {
        const int ord = GetEnumValue(type->CompType, name);
        if (ord < 0) PropertyError(SInvalidPropertyValue);
        bits |= std::uint64_t{1} << ord;
      }
      prop->SetOrd(*instance, static_cast<std::int64_t>(bits));
      return;
    }
    case tkFloat:
      requireSetter(static_cast<bool>(prop->SetFloat));
      prop->SetFloat(*instance, ReadFloat());
      return;
    case tkLString:
    case tkString:
    case tkWString:
      requireSetter(static_cast<bool>(prop->SetStr));
      prop->SetStr(*instance, ReadString());
      return;
    case tkVariant:
      requireSetter(static_cast<bool>(prop->SetVar));
      prop->SetVar(*instance, ReadVariant());
      return;
    case tkClass: {
      if (type->IsComponentReference) {
        requireSetter(static_cast<bool>(prop->SetObj));
        const String name = ReadIdent();
        if (SameText(name, "nil")) {
          prop->SetObj(*instance, nullptr);
          return;
        }
        fFixups.push_back({instance, prop, name, fCurrentPath + (fCurrentPath.empty() ? "" : ".") + fCurrentProp});
        return;
      }
      auto* collection = prop->GetObj ? dynamic_cast<TCollection*>(prop->GetObj(*instance)) : nullptr;
      if (!collection || ReadValue() != vaCollection) PropertyError(SInvalidPropertyValue);
      ReadCollection(collection);
      return;
    }
    case tkMethod: {
      // Handlers are methods the root publishes, found by name as the host's FindMethod does.
      requireSetter(static_cast<bool>(prop->SetMethod));
      const String name = ReadIdent();
      if (SameText(name, "nil")) {
        SetMethodProp(instance, prop, TMethod{});
        return;
      }
      const TMethodInfo* method = Root()->MethodAddress(name);
      if (!method) {
        bool error = true;
        if (OnFindMethod) OnFindMethod(*this, name, instance, prop, error);
        if (error) PropertyError(Format(SMethodNotFound, {name, Root()->ClassName()}));
        return;
      }
      SetMethodProp(instance, prop, TMethod{method, Root()});
      return;
    }
    default:
      PropertyError(SInvalidPropertyValue);
  }
}

TComponent* TReader::ReadComponent(TComponent* parent) {
  if (++fDepth > MaxFormNesting) throw EReadError(SInvalidImage);
  int childPos;
  const TFilerFlags flags = ReadPrefix(childPos);
  const String className = ReadStr();
  const String name = ReadStr();
  const String savedPath = fCurrentPath;
  fCurrentPath = Root()->Name() + "." + name;
  TComponent* component = nullptr;
  try {
    if (flags.Contains(ffInherited)) {
      component = Root()->FindComponent(name);
      if (!component) throw EReadError(Format(SAncestorNotFound, {name}));
    } else {
      const TClass cls = FindClass(className);
      if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->Factory)
        throw EReadError(Format(SInvalidComponentClass, {className}));
      component = static_cast<TComponent*>(cls->Factory(Root()));
      fCreated.push_back(component);
      if (component->Owner() != Root()) Root()->InsertComponent(component);
      component->SetName(name);
    }
    component->SetStateFlag(csLoading, true);
    component->SetStateFlag(csReading, true);
    fLoaded.push_back(component);
    // Placed before its properties are read, as the host does: a control's position and
    // parent-dependent properties (ParentFont, ParentColor) need the parent.
    if (parent && !flags.Contains(ffInherited)) component->SetParentComponent(parent);
    component->ReadState(*this);
    ReadProperties(component);
    fParent = component;
    while (!EndOfList()) ReadComponent(component);
    fParent = parent;
    ReadListEnd();
    component->SetStateFlag(csReading, false);
    (void)childPos;
  } catch (const EFilerError&) {
    fParent = parent;
    throw;
  } catch (const Exception& e) {
    fParent = parent;
    throw EReadError(Format(SComponentReadError, {fCurrentPath, e.Message()}));
  }
  fCurrentPath = savedPath;
  --fDepth;
  return component;
}

void TReader::ResolveFixups() {
  for (const Fixup& f : fFixups) {
    const auto parts = SplitPath(f.name);
    TComponent* found = nullptr;
    if (parts.size() == 1) {
      found = SameText(Root()->Name(), parts[0]) ? Root() : Root()->FindComponent(parts[0]);
    } else if (parts.size() == 2) {
      TComponent* owner = SameText(Root()->Name(), parts[0]) ? Root() : FindGlobalComponent(parts[0]);
      if (owner) found = owner->FindComponent(parts[1]);
    }
    if (!found || !found->InheritsFrom(f.prop->PropType->ClassType))
      throw EReadError(Format(SUnresolvedReference, {f.context, f.name}));
    f.prop->SetObj(*f.instance, found);
  }
  fFixups.clear();
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
  fFixups.clear();
  fLoaded.clear();
  fCreated.clear();
  fDepth = 0;
  TComponent* createdRoot = nullptr;
  try {
    ReadSignature();
    int childPos;
    ReadPrefix(childPos);
    const String className = ReadStr();
    const String name = ReadStr();
    if (!root) {
      const TClass cls = FindClass(className);
      if (!cls->InheritsFrom(TComponent::StaticClass()) || !cls->Factory)
        throw EReadError(Format(SInvalidComponentClass, {className}));
      root = createdRoot = static_cast<TComponent*>(cls->Factory(nullptr));
    }
    SetRoot(root);
    fCurrentPath = name;
    root->SetStateFlag(csLoading, true);
    root->SetStateFlag(csReading, true);
    fLoaded.push_back(root);
    if (!name.empty() && name != root->Name()) root->SetName(name);
    root->ReadState(*this);
    ReadProperties(root);
    fParent = root;
    while (!EndOfList()) ReadComponent(root);
    fParent = nullptr;
    ReadListEnd();
    root->SetStateFlag(csReading, false);
    fCurrentPath.clear();
    fCurrentProp.clear();
    ResolveFixups();
    for (TComponent* c : fLoaded) c->Loaded();
  } catch (...) {
    // Nothing half-built survives: drop what this reader made, newest first.
    if (createdRoot) {
      delete createdRoot;
    } else if (root) {
      for (auto it = fCreated.rbegin(); it != fCreated.rend(); ++it) delete *it;
      root->SetStateFlag(csLoading, false);
      root->SetStateFlag(csReading, false);
    }
    fCreated.clear();
    fLoaded.clear();
    fFixups.clear();
    fParent = nullptr;
    throw;
  }
  fCreated.clear();
  fLoaded.clear();
  return root;
}

}  // namespace zv
