#include "platform/classes/TypeInfo.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/NumberConv.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <typeindex>

namespace zv {

namespace detail {

const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* commaSeparatedNames) {
  auto* t = new TTypeInfo;  // type information lives as long as the program, as the host's
  t->Kind = tkEnumeration;
  std::string_view qualified(name);  // "ns::TAlign" names the type "TAlign"
  if (const auto colons = qualified.rfind("::"); colons != std::string_view::npos) qualified.remove_prefix(colons + 2);
  t->Name = String(qualified);
  std::string_view rest(commaSeparatedNames);
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    t->EnumNames.push_back(Trim(rest.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return t;
}

const TTypeInfo* MakeSetTypeInfo(const TTypeInfo* element) {
  auto* t = new TTypeInfo;
  t->Kind = tkSet;
  t->Name = "set of " + element->Name;
  t->CompType = element;
  return t;
}

const TTypeInfo* MakeClassTypeInfo(TClass cls, bool componentReference) {
  auto* t = new TTypeInfo;
  t->Kind = tkClass;
  t->Name = cls->Name;
  t->ClassType = cls;
  t->IsComponentReference = componentReference;
  return t;
}

const TTypeInfo* SimpleTypeInfo(TTypeKind kind, const char* name, TFloatType floatType) {
  static std::map<String, std::unique_ptr<TTypeInfo>> types;
  auto& slot = types[name];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = kind;
    slot->Name = name;
    slot->FloatType = floatType;
  }
  return slot.get();
}

Currency CurrencyFromFloat(long double v) {
  // Nearest, ties to even, as the host's FPU rounds; the 64-bit mantissa keeps every currency.
  const long double scaled = std::nearbyint(v * Currency::Scale);
  if (!(scaled >= -0x1p63L && scaled < 0x1p63L)) throw EOverflow(SOverflow);
  return Currency::FromScaled(static_cast<std::int64_t>(scaled));
}

void AddProperty(TClassTables& into, std::unique_ptr<TPropInfo> prop) { into.Props.push_back(std::move(prop)); }

void AddMethod(TClassTables& into, std::unique_ptr<TMethodInfo> method) { into.Methods.push_back(std::move(method)); }

const TTypeInfo* MakeMethodTypeInfo(const std::type_info& signature, const char* typeName) {
  // Keyed by copies of the names: a signature may first come from a design package, whose
  // type_info and name strings go when it is unloaded while the entry stays.
  String name = typeName ? String(typeName) : signature == typeid(void(TObject*)) ? String("TNotifyEvent") : String("TMethod");
  static std::map<std::pair<String, String>, std::unique_ptr<TTypeInfo>> types;
  auto& slot = types[{name, String(signature.name())}];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkMethod;
    slot->Name = std::move(name);
    slot->SignatureName = signature.name();
  }
  return slot.get();
}

void RaiseSignatureMismatch(const String& methodName) {
  throw EPropertyConvertError(Format(SInvalidPropertyElement, {methodName}));
}

void SetIdents(TPropInfo& prop, const TTypeInfo* integerType) {
  // The identifiers replace the property's plain integer type, so a type of another kind (or
  // an int64, whose values identifiers cannot cover) is a mistake in the declaration.
  if (!integerType || integerType->Kind != tkInteger || !integerType->IdentToInt || prop.PropType->Kind != tkInteger)
    throw EPropertyError(Format(SInvalidPropertyTypeNamed, {prop.Name}));
  prop.PropType = integerType;
}

}  // namespace detail

const TTypeInfo* RegisterIntegerConsts(const char* typeName, TIdentToInt identToInt, TIntToIdent intToIdent) {
  static std::map<String, std::unique_ptr<TTypeInfo>, std::less<>> types;
  auto& slot = types[typeName];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkInteger;
    slot->Name = typeName;
  }
  slot->IdentToInt = identToInt;
  slot->IntToIdent = intToIdent;
  return slot.get();
}

bool SignatureFits(const TTypeInfo* methodType, const std::type_info& signature) {
  return methodType && methodType->Kind == tkMethod && methodType->SignatureName == signature.name();
}

String IntToIdentText(const TTypeInfo* type, std::int64_t value) {
  String ident;
  if (type->IntToIdent && value >= INT32_MIN && value <= INT32_MAX && type->IntToIdent(static_cast<int>(value), ident))
    return ident;
  return IntToStr(value);
}

int IdentTextToInt(const TTypeInfo* type, std::string_view text) {
  const String trimmed = Trim(text);
  int value = 0;
  if (type->IdentToInt && type->IdentToInt(trimmed, value)) return value;
  if (!TryStrToInt(trimmed, value)) throw EPropertyConvertError(Format(SInvalidPropertyElement, {text}));
  return value;
}

bool IsDateTimeType(const TTypeInfo* type) {
  return type->Kind == tkFloat && (type->Name == "TDateTime" || type->Name == "TDate" || type->Name == "TTime");
}

bool IdentToInt(std::string_view ident, int& value, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& e : map)
    if (SameText(ident, e.Name)) {
      value = e.Value;
      return true;
    }
  return false;
}

bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map) {
  for (const TIdentMapEntry& e : map)
    if (e.Value == value) {
      ident = e.Name;
      return true;
    }
  return false;
}

String GetEnumName(const TTypeInfo* type, int value) {
  if (value < 0 || value >= static_cast<int>(type->EnumNames.size())) return IntToStr(value);
  return type->EnumNames[static_cast<std::size_t>(value)];
}

int GetEnumValue(const TTypeInfo* type, std::string_view name) {
  for (std::size_t i = 0; i < type->EnumNames.size(); ++i)
    if (SameText(type->EnumNames[i], name)) return static_cast<int>(i);
  return -1;
}

String SetToString(const TTypeInfo* setType, std::uint64_t bits, bool brackets) {
  String out;
  const auto& names = setType->CompType->EnumNames;
  for (std::size_t i = 0; i < names.size() && i < 64; ++i) {
    if (!(bits & (std::uint64_t{1} << i))) continue;
    if (!out.empty()) out += ',';
    out += names[i];
  }
  return brackets ? "[" + out + "]" : out;
}

std::uint64_t StringToSet(const TTypeInfo* setType, std::string_view text) {
  String s = Trim(text);
  std::string_view v(s);
  if (!v.empty() && v.front() == '[') v.remove_prefix(1);
  if (!v.empty() && v.back() == ']') v.remove_suffix(1);
  std::uint64_t bits = 0;
  while (!v.empty()) {
    const auto comma = v.find(',');
    const String name = Trim(v.substr(0, comma));
    if (!name.empty()) {
      const int ord = GetEnumValue(setType->CompType, name);
      if (ord < 0) throw EPropertyConvertError(Format(SInvalidPropertyElement, {name}));
      bits |= std::uint64_t{1} << ord;
    }
    if (comma == std::string_view::npos) break;
    v.remove_prefix(comma + 1);
  }
  return bits;
}

bool TPropInfo::IsReadable() const {
  return static_cast<bool>(GetOrd) || static_cast<bool>(GetFloat) || static_cast<bool>(GetStr) ||
         static_cast<bool>(GetVar) || static_cast<bool>(GetObj) || static_cast<bool>(GetMethod);
}

bool TPropInfo::IsWritable() const {
  return static_cast<bool>(SetOrd) || static_cast<bool>(SetFloat) || static_cast<bool>(SetStr) ||
         static_cast<bool>(SetVar) || static_cast<bool>(SetObj) || static_cast<bool>(SetMethod);
}

bool TPropInfo::IsStored(const TObject& instance) const {
  if (!StoredConst) return false;
  return !Stored || Stored(instance);
}

namespace {

struct ClassEntry {
  bool declared = false;
  TClassTables own;
  std::vector<const TPropInfo*> declarationOrder;
  std::vector<const TPropInfo*> sorted;
  bool listed = false;
};

// Type information lives as long as the program; the tables are built on first use.
std::map<TClass, ClassEntry>& Cache() {
  static std::map<TClass, ClassEntry> cache;
  return cache;
}

ClassEntry& Declared(TClass cls) {
  ClassEntry& e = Cache()[cls];  // map nodes stay put while ancestors are declared
  if (!e.declared) {
    e.declared = true;
    if (cls->DeclareProperties) cls->DeclareProperties(e.own);
    for (auto& p : e.own.Props) p->Owner = cls;
    for (auto& m : e.own.Methods) m->Owner = cls;
  }
  return e;
}

const TPropInfo& Require(const TObject* instance, std::string_view name) {
  const TPropInfo* p = GetPropInfo(instance, name);
  if (!p) throw EPropertyError(Format(SUnknownProperty, {name}));
  return *p;
}

void RequireWritable(const TPropInfo& p, bool hasSetter) {
  if (!hasSetter) throw EPropertyError(Format(SReadOnlyPropertyNamed, {p.Name}));
}

void RequireReadable(const TPropInfo& p, bool hasGetter) {
  if (!hasGetter) throw EPropertyError(Format(SWriteOnlyPropertyNamed, {p.Name}));
}

bool IsOrdinal(const TPropInfo& p) {
  switch (p.PropType->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkInt64:
    case tkWChar: return true;
    default: return false;
  }
}

bool IsString(const TPropInfo& p) {
  const TTypeKind k = p.PropType->Kind;
  return k == tkString || k == tkLString || k == tkWString;
}

}  // namespace

namespace detail {

std::unique_ptr<TPropInfo> InheritedProperty(TClass ancestor, const char* name) {
  for (TClass c = ancestor; c; c = c->Parent)
    for (const auto& p : Declared(c).own.Props)
      if (SameText(p->Name, name)) return std::make_unique<TPropInfo>(*p);
  throw EPropertyError(Format(SUnknownProperty, {name}));
}

}  // namespace detail

void ReleaseTypeInfo(const std::function<bool(TClass cls)>& going) {
  std::erase_if(Cache(), [&](const auto& entry) { return going(entry.first); });
}

const std::vector<const TPropInfo*>& GetPropList(TClass cls, bool sortList) {
  ClassEntry& entry = Declared(cls);
  if (!entry.listed) {
    std::vector<const TPropInfo*> list;
    if (cls->Parent) list = GetPropList(cls->Parent, false);
    for (auto& p : entry.own.Props) {
      if (!p->Published) continue;
      // A property published again keeps its ancestor's place (and index), as on the host;
      // one the ancestor only declared comes in this class's order.
      auto existing = std::find_if(list.begin(), list.end(), [&](const TPropInfo* e) { return SameText(e->Name, p->Name); });
      if (existing != list.end()) {
        p->NameIndex = (*existing)->NameIndex;
        *existing = p.get();
      } else {
        p->NameIndex = static_cast<int>(list.size());
        list.push_back(p.get());
      }
    }
    entry.sorted = list;
    std::sort(entry.sorted.begin(), entry.sorted.end(),
              [](const TPropInfo* a, const TPropInfo* b) { return CompareText(a->Name, b->Name) < 0; });
    entry.declarationOrder = std::move(list);
    entry.listed = true;
  }
  return sortList ? entry.sorted : entry.declarationOrder;
}

std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds, bool sortList) {
  std::vector<const TPropInfo*> out;
  for (const TPropInfo* p : GetPropList(cls, sortList))
    if (kinds.Contains(p->PropType->Kind)) out.push_back(p);
  return out;
}

const TPropInfo* GetPropInfo(TClass cls, std::string_view name) {
  const auto& sorted = GetPropList(cls, true);
  const auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                                   [](const TPropInfo* p, std::string_view n) { return CompareText(p->Name, n) < 0; });
  return it != sorted.end() && SameText((*it)->Name, name) ? *it : nullptr;
}

const TMethodInfo* MethodAddress(TClass cls, std::string_view name) {
  for (TClass c = cls; c; c = c->Parent)
    for (const auto& m : Declared(c).own.Methods)
      if (SameText(m->Name, name)) return m.get();
  return nullptr;
}

std::vector<const TMethodInfo*> GetMethodList(TClass cls) {
  std::vector<const TMethodInfo*> list;
  for (TClass c = cls; c; c = c->Parent)
    for (const auto& m : Declared(c).own.Methods)
      if (zv::MethodAddress(cls, m->Name) == m.get()) list.push_back(m.get());  // not hidden by a descendant
  return list;
}

String MethodName(TClass cls, const TMethodInfo* address) {
  if (!address) return String();
  for (TClass c = cls; c; c = c->Parent)
    if (c == address->Owner) return MethodAddress(cls, address->Name) == address ? address->Name : String();
  return String();
}

const TMethodInfo* TObject::MethodAddress(std::string_view name) const { return zv::MethodAddress(ClassType(), name); }

String TObject::MethodName(const TMethodInfo* address) const { return zv::MethodName(ClassType(), address); }

TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop) {
  if (prop->PropType->Kind != tkMethod) throw EPropertyConvertError(SInvalidPropertyType);
  RequireReadable(*prop, static_cast<bool>(prop->GetMethod));
  return prop->GetMethod(*instance);
}

TMethod GetMethodProp(const TObject* instance, std::string_view name) {
  return GetMethodProp(instance, &Require(instance, name));
}

void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& method) {
  if (prop->PropType->Kind != tkMethod) throw EPropertyConvertError(SInvalidPropertyType);
  RequireWritable(*prop, static_cast<bool>(prop->SetMethod));
  if (method.Code && !SignatureFits(prop->PropType, *method.Code->Signature))
    throw EPropertyConvertError(Format(SInvalidPropertyElement, {method.Code->Name}));
  prop->SetMethod(*instance, method);
}

void SetMethodProp(TObject* instance, std::string_view name, const TMethod& method) {
  SetMethodProp(instance, &Require(instance, name), method);
}

const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name) {
  return GetPropInfo(instance->ClassType(), name);
}

bool IsPublishedProp(const TObject* instance, std::string_view name) { return GetPropInfo(instance, name) != nullptr; }

bool IsStoredProp(const TObject* instance, const TPropInfo* prop) { return prop->IsStored(*instance); }

std::int64_t GetOrdProp(const TObject* instance, const TPropInfo* prop) {
  if (!IsOrdinal(*prop)) throw EPropertyConvertError(SInvalidPropertyType);
  RequireReadable(*prop, static_cast<bool>(prop->GetOrd));
  return prop->GetOrd(*instance);
}

void SetOrdProp(TObject* instance, const TPropInfo* prop, std::int64_t value) {
  if (!IsOrdinal(*prop)) throw EPropertyConvertError(SInvalidPropertyType);
  RequireWritable(*prop, static_cast<bool>(prop->SetOrd));
  prop->SetOrd(*instance, value);
}

String GetEnumProp(const TObject* instance, std::string_view name) {
  const TPropInfo& p = Require(instance, name);
  return GetEnumName(p.PropType, static_cast<int>(GetOrdProp(instance, &p)));
}

void SetEnumProp(TObject* instance, std::string_view name, std::string_view value) {
  const TPropInfo& p = Require(instance, name);
  const int ord = GetEnumValue(p.PropType, value);
  if (ord < 0) throw EPropertyConvertError(Format(SInvalidPropertyElement, {value}));
  SetOrdProp(instance, &p, ord);
}

String GetSetProp(const TObject* instance, std::string_view name, bool brackets) {
  const TPropInfo& p = Require(instance, name);
  return SetToString(p.PropType, static_cast<std::uint64_t>(GetOrdProp(instance, &p)), brackets);
}

void SetSetProp(TObject* instance, std::string_view name, std::string_view value) {
  const TPropInfo& p = Require(instance, name);
  SetOrdProp(instance, &p, static_cast<std::int64_t>(StringToSet(p.PropType, value)));
}

String GetStrProp(const TObject* instance, std::string_view name) {
  const TPropInfo& p = Require(instance, name);
  if (!IsString(p)) throw EPropertyConvertError(SInvalidPropertyType);
  RequireReadable(p, static_cast<bool>(p.GetStr));
  return p.GetStr(*instance);
}

void SetStrProp(TObject* instance, std::string_view name, const String& value) {
  const TPropInfo& p = Require(instance, name);
  if (!IsString(p)) throw EPropertyConvertError(SInvalidPropertyType);
  RequireWritable(p, static_cast<bool>(p.SetStr));
  p.SetStr(*instance, value);
}

long double GetFloatProp(const TObject* instance, std::string_view name) {
  const TPropInfo& p = Require(instance, name);
  if (p.PropType->Kind != tkFloat) throw EPropertyConvertError(SInvalidPropertyType);
  RequireReadable(p, static_cast<bool>(p.GetFloat));
  return p.GetFloat(*instance);
}

void SetFloatProp(TObject* instance, std::string_view name, long double value) {
  const TPropInfo& p = Require(instance, name);
  if (p.PropType->Kind != tkFloat) throw EPropertyConvertError(SInvalidPropertyType);
  RequireWritable(p, static_cast<bool>(p.SetFloat));
  p.SetFloat(*instance, value);
}

TObject* GetObjectProp(const TObject* instance, std::string_view name) {
  const TPropInfo& p = Require(instance, name);
  if (p.PropType->Kind != tkClass) throw EPropertyConvertError(SInvalidPropertyType);
  RequireReadable(p, static_cast<bool>(p.GetObj));
  return p.GetObj(*instance);
}

void SetObjectProp(TObject* instance, std::string_view name, TObject* value) {
  const TPropInfo& p = Require(instance, name);
  if (p.PropType->Kind != tkClass) throw EPropertyConvertError(SInvalidPropertyType);
  if (value && !value->InheritsFrom(p.PropType->ClassType)) throw EPropertyConvertError(SInvalidPropertyValue);
  RequireWritable(p, static_cast<bool>(p.SetObj));
  p.SetObj(*instance, value);
}

Variant GetPropValue(const TObject* instance, const TPropInfo* prop, bool preferStrings) {
  const TTypeInfo* t = prop->PropType;
  switch (t->Kind) {
    case tkEnumeration: {
      const auto ord = GetOrdProp(instance, prop);
      if (t->Name == "Boolean") return Variant(ord != 0);
      if (preferStrings) return Variant(GetEnumName(t, static_cast<int>(ord)));
      return Variant(static_cast<int>(ord));
    }
    case tkSet: {
      const auto bits = GetOrdProp(instance, prop);
      if (preferStrings) return Variant(SetToString(t, static_cast<std::uint64_t>(bits), false));
      return Variant(static_cast<int>(bits));
    }
    case tkInteger:
      return Variant(static_cast<int>(GetOrdProp(instance, prop)));
    case tkChar:
      return Variant(String(1, static_cast<char>(GetOrdProp(instance, prop))));
    case tkInt64:
      return Variant(static_cast<std::int64_t>(GetOrdProp(instance, prop)));
    case tkFloat: {
      RequireReadable(*prop, static_cast<bool>(prop->GetFloat));
      const long double v = prop->GetFloat(*instance);
      if (t->FloatType == ftCurr) return Variant(detail::CurrencyFromFloat(v));
      if (IsDateTimeType(t)) return Variant(TDateTime(static_cast<double>(v)));
      return Variant(static_cast<double>(v));
    }
    case tkLString:
    case tkString:
      RequireReadable(*prop, static_cast<bool>(prop->GetStr));
      return Variant(prop->GetStr(*instance));
    case tkWString:
      RequireReadable(*prop, static_cast<bool>(prop->GetStr));
      return Variant(UTF8Decode(prop->GetStr(*instance)));
    case tkVariant:
      RequireReadable(*prop, static_cast<bool>(prop->GetVar));
      return prop->GetVar(*instance);
    default:
      throw EPropertyConvertError(Format(SInvalidPropertyTypeNamed, {t->Name}));
  }
}

Variant GetPropValue(const TObject* instance, std::string_view name, bool preferStrings) {
  return GetPropValue(instance, &Require(instance, name), preferStrings);
}

void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value) {
  const TTypeInfo* t = prop->PropType;
  switch (t->Kind) {
    case tkEnumeration:
      if (t->Name == "Boolean") {
        SetOrdProp(instance, prop, value.AsBoolean() ? 1 : 0);
      } else if (VarIsStr(value)) {
        const int ord = GetEnumValue(t, value.AsString());
        if (ord < 0) throw EPropertyConvertError(Format(SInvalidPropertyElement, {value.AsString()}));
        SetOrdProp(instance, prop, ord);
      } else {
        const auto ord = value.AsInt64();
        if (ord < 0 || ord >= static_cast<std::int64_t>(t->EnumNames.size()))
          throw EPropertyConvertError(SInvalidPropertyValue);
        SetOrdProp(instance, prop, ord);
      }
      return;
    case tkSet:
      SetOrdProp(instance, prop,
                 VarIsStr(value) ? static_cast<std::int64_t>(StringToSet(t, value.AsString())) : value.AsInt64());
      return;
    case tkInteger:
      SetOrdProp(instance, prop, t->IdentToInt && VarIsStr(value) ? IdentTextToInt(t, value.AsString()) : value.AsInteger());
      return;
    case tkInt64:
      SetOrdProp(instance, prop, value.AsInt64());
      return;
    case tkChar: {
      const String s = value.AsString();
      SetOrdProp(instance, prop, s.empty() ? 0 : static_cast<unsigned char>(s[0]));
      return;
    }
    case tkFloat:
      RequireWritable(*prop, static_cast<bool>(prop->SetFloat));
      if (t->FloatType == ftCurr) {
        prop->SetFloat(*instance, static_cast<long double>(value.AsCurrency().Value) / Currency::Scale);
      } else {
        prop->SetFloat(*instance, value.AsDouble());
      }
      return;
    case tkLString:
    case tkString:
    case tkWString:
      RequireWritable(*prop, static_cast<bool>(prop->SetStr));
      prop->SetStr(*instance, value.AsString());
      return;
    case tkVariant:
      RequireWritable(*prop, static_cast<bool>(prop->SetVar));
      prop->SetVar(*instance, value);
      return;
    default:
      throw EPropertyConvertError(Format(SInvalidPropertyTypeNamed, {t->Name}));
  }
}

void SetPropValue(TObject* instance, std::string_view name, const Variant& value) {
  SetPropValue(instance, &Require(instance, name), value);
}

String GetPropText(const TObject* instance, const TPropInfo* prop) {
  const TTypeInfo* t = prop->PropType;
  switch (t->Kind) {
    case tkEnumeration:
      return GetEnumName(t, static_cast<int>(GetOrdProp(instance, prop)));
    case tkSet:
      return SetToString(t, static_cast<std::uint64_t>(GetOrdProp(instance, prop)));
    case tkInteger:
      if (t->IntToIdent) return IntToIdentText(t, GetOrdProp(instance, prop));
      return GetPropValue(instance, prop).AsString();
    case tkFloat: {
      TFormatSettings fs;  // stored text is independent of the application's settings
      fs.DecimalSeparator = '.';
      if (t->FloatType == ftCurr) return CurrToStr(GetPropValue(instance, prop).AsCurrency(), fs);
      RequireReadable(*prop, static_cast<bool>(prop->GetFloat));
      // An extended keeps every digit it holds, so that the text sets the same value back.
      const long double v = prop->GetFloat(*instance);
      return t->FloatType == ftExtended ? FloatToStrF(v, ffGeneral, 18, 0, fs)
                                        : FloatToStr(static_cast<double>(v), fs);
    }
    default:
      return GetPropValue(instance, prop).AsString();
  }
}

void SetPropText(TObject* instance, const TPropInfo* prop, std::string_view text) {
  const TTypeInfo* t = prop->PropType;
  switch (t->Kind) {
    case tkEnumeration: {
      const int ord = GetEnumValue(t, Trim(text));
      if (ord < 0) throw EPropertyConvertError(Format(SInvalidPropertyElement, {text}));
      SetOrdProp(instance, prop, ord);
      return;
    }
    case tkSet:
      SetOrdProp(instance, prop, static_cast<std::int64_t>(StringToSet(t, text)));
      return;
    case tkInteger:
      SetOrdProp(instance, prop, t->IdentToInt ? IdentTextToInt(t, text) : StrToInt(Trim(text)));
      return;
    case tkInt64:
      SetOrdProp(instance, prop, StrToInt64(Trim(text)));
      return;
    case tkFloat: {
      TFormatSettings fs;
      fs.DecimalSeparator = '.';
      RequireWritable(*prop, static_cast<bool>(prop->SetFloat));
      if (t->FloatType == ftCurr) {
        prop->SetFloat(*instance, static_cast<long double>(StrToCurr(text, fs).Value) / Currency::Scale);
      } else {
        // Read at the property's own precision: "0.1" sets the nearest double to a double and
        // the nearest extended to an extended, as typing it would.
        if (t->FloatType == ftExtended)
          prop->SetFloat(*instance, StrToFloat<long double>(text, fs));
        else
          prop->SetFloat(*instance, StrToFloat(text, fs));
      }
      return;
    }
    default:
      SetPropValue(instance, prop, Variant(String(text)));
  }
}

}  // namespace zv
