#pragma once
// Run-time type information of published properties: what streaming, the object dataset and the
// design-time editors use to find, read and write a component's properties by name.
//
// A class declares its own published properties in one table; descendants inherit them:
//
//   // header, in the class body
//   static void DeclareProperties(TPropTable<TMyButton>& t);
//   // source
//   ZV_DEFINE_CLASS_WITH_PROPS(TMyButton, TComponent)
//   void TMyButton::DeclareProperties(TPropTable<TMyButton>& t) {
//     t.Prop("Caption", &TMyButton::Caption, &TMyButton::SetCaption);
//     t.Prop("Width", &TMyButton::Width, &TMyButton::SetWidth).Default(75);
//     t.Prop("Color", &TMyButton::Color, &TMyButton::SetColor).Idents(ColorTypeInfo());  // "clRed"
//     t.Event("OnClick", &TMyButton::OnClick);           // streamed as the handler's name
//   }
//
// Publishing follows the host's class declarations. A property declared .Unpublished() is known
// to the class but neither listed nor streamed (the host's protected and public properties);
// a descendant publishes the inherited properties it chooses, in its own order, with
// t.Publish("Caption") (the host's redeclaration in a published section), optionally with a
// new default. Redeclaring a property that is already published keeps its place.
//
// A class publishes methods by name (a form's event handlers, "_GetObjFieldsInfo"):
//     t.Method("Button1Click", &TForm1::Button1Click);
// Reading a form sets each event property to the root's published method of that name.

#include "platform/classes/Object.h"
#include "platform/rtl/Currency.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/StringUtils.h"
#include "platform/rtl/Variant.h"

#include <any>
#include <concepts>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <type_traits>
#include <typeinfo>

namespace zv {

class TPersistent;
class TComponent;

// The host's kinds, in the host's order.
enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

// Integer constants with identifiers (colours, cursors): the names an integer type's values are
// written and read by. Each returns false when the value or the name has none.
using TIntToIdent = bool (*)(int value, String& ident);
using TIdentToInt = bool (*)(std::string_view ident, int& value);

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  String Name;
  std::vector<String> EnumNames;          // tkEnumeration: names by ordinal
  const TTypeInfo* CompType = nullptr;    // tkSet: the element enumeration
  TFloatType FloatType = ftDouble;        // tkFloat
  TClass ClassType = nullptr;             // tkClass
  bool IsComponentReference = false;      // tkClass: a reference streamed by name, not owned
  TIntToIdent IntToIdent = nullptr;       // tkInteger: set for integer constants with identifiers
  TIdentToInt IdentToInt = nullptr;
  // tkMethod: the handler's signature, R(Args...), by the name of its type. A name, not the
  // type_info: a design package that brought the signature takes its type_info with it.
  String SignatureName;
};
// Whether a handler of the given signature fits an event of type methodType.
bool SignatureFits(const TTypeInfo* methodType, const std::type_info& signature);

// A published method. Its address is what a method property holds beside the instance.
struct TMethodInfo {
  String Name;
  TClass Owner = nullptr;                     // the class that published it
  const std::type_info* Signature = nullptr;  // R(Args...), without the instance
  std::any Invoker;                           // std::function<R(TObject*, Args...)>
};

// The host's method pointer: a published method (Code) and the instance it runs on (Data).
struct TMethod {
  const TMethodInfo* Code = nullptr;
  TObject* Data = nullptr;
  explicit operator bool() const { return Code != nullptr; }
  bool operator==(const TMethod&) const = default;
};

// The type information of a C++ type used as a property type.
template <class T, class = void>
struct TypeInfoTraits;
template <class T>
const TTypeInfo* TypeInfoOf() { return TypeInfoTraits<std::remove_cvref_t<T>>::Get(); }

// The float types that hold dates: TDateTime, TDate, TTime.
bool IsDateTimeType(const TTypeInfo* type);
// Enumeration names and values.
String GetEnumName(const TTypeInfo* type, int value);
int GetEnumValue(const TTypeInfo* type, std::string_view name);  // -1 when unknown
// A set as "[a,b]" (brackets optional) and back; an unknown element name raises.
String SetToString(const TTypeInfo* setType, std::uint64_t bits, bool brackets = true);
std::uint64_t StringToSet(const TTypeInfo* setType, std::string_view text);

// The named integer type whose values have identifiers: "TColor" with ColorToIdent and
// IdentToColor. Registering a name again returns the same type information.
const TTypeInfo* RegisterIntegerConsts(const char* typeName, TIdentToInt identToInt, TIntToIdent intToIdent);
// A value's identifier, or its decimal number when it has none (or the type has no identifiers).
String IntToIdentText(const TTypeInfo* type, std::int64_t value);
// An identifier of the type (case-insensitive) or a number; EPropertyConvertError otherwise.
int IdentTextToInt(const TTypeInfo* type, std::string_view text);

// Tables of identifiers, for writing IntToIdent/IdentToInt functions.
struct TIdentMapEntry {
  int Value;
  const char* Name;
};
bool IdentToInt(std::string_view ident, int& value, std::span<const TIdentMapEntry> map);  // case-insensitive
bool IntToIdent(int value, String& ident, std::span<const TIdentMapEntry> map);          // the first match

inline constexpr std::int64_t NoDefault = std::numeric_limits<std::int64_t>::min();

class TPropInfo {
public:
  String Name;
  const TTypeInfo* PropType = nullptr;
  std::int64_t Default = NoDefault;  // ordinal kinds only; NoDefault = always stored
  int NameIndex = 0;                 // declaration order within the whole class chain
  TClass Owner = nullptr;            // the class that declared (or published) the property
  bool Published = true;             // false: declared for descendants to publish

  bool IsReadable() const;
  bool IsWritable() const;
  bool IsStored(const TObject& instance) const;

  // One group of accessors is set, chosen by the kind. Setters are empty for read-only
  // properties (object properties are still streamed through their getter), getters for
  // write-only ones.
  std::function<std::int64_t(const TObject&)> GetOrd;  // integer, char, enum, set, int64
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<long double(const TObject&)> GetFloat;
  std::function<void(TObject&, long double)> SetFloat;
  std::function<String(const TObject&)> GetStr;        // string, wide string (as UTF-8)
  std::function<void(TObject&, const String&)> SetStr;
  std::function<Variant(const TObject&)> GetVar;
  std::function<void(TObject&, const Variant&)> SetVar;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<TMethod(const TObject&)> GetMethod;   // method (event) properties
  std::function<void(TObject&, const TMethod&)> SetMethod;
  std::function<bool(const TObject&)> Stored;         // empty = stored
  bool StoredConst = true;
};

using TTypeKinds = TSet<TTypeKind>;
inline constexpr TTypeKinds tkProperties{tkInteger, tkChar,   tkEnumeration, tkFloat,   tkString,
                                         tkSet,     tkClass,  tkWChar,       tkLString, tkWString,
                                         tkVariant, tkArray,  tkRecord,      tkInterface, tkInt64, tkDynArray};
inline constexpr TTypeKinds tkMethods{tkMethod};
inline constexpr TTypeKinds tkAny = tkProperties + tkMethods;

// All published properties of a class with its ancestors', events among them, sorted by name
// as the host sorts them (ASCII letters compared without case), or in declaration order
// (ancestors' first, a redeclared property at its first place): the order forms are written in.
const std::vector<const TPropInfo*>& GetPropList(TClass cls, bool sortList = true);
// Only the properties of the given kinds (tkMethods: the events).
std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds, bool sortList = true);
// The declaration order, as the host's GetPropInfos gives it.
inline const std::vector<const TPropInfo*>& GetPropInfos(TClass cls) { return GetPropList(cls, false); }
const TPropInfo* GetPropInfo(TClass cls, std::string_view name);  // null when absent
// Forgets the tables of the classes whose code is going away (an unloaded package's).
void ReleaseTypeInfo(const std::function<bool(TClass cls)>& going);
const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name);
bool IsPublishedProp(const TObject* instance, std::string_view name);
bool IsStoredProp(const TObject* instance, const TPropInfo* prop);

// Typed access; a name that is not a property raises EPropertyError "Unknown property".
std::int64_t GetOrdProp(const TObject* instance, const TPropInfo* prop);
void SetOrdProp(TObject* instance, const TPropInfo* prop, std::int64_t value);
String GetEnumProp(const TObject* instance, std::string_view name);
void SetEnumProp(TObject* instance, std::string_view name, std::string_view value);
String GetSetProp(const TObject* instance, std::string_view name, bool brackets = true);
void SetSetProp(TObject* instance, std::string_view name, std::string_view value);
String GetStrProp(const TObject* instance, std::string_view name);
void SetStrProp(TObject* instance, std::string_view name, const String& value);
long double GetFloatProp(const TObject* instance, std::string_view name);
void SetFloatProp(TObject* instance, std::string_view name, long double value);
TObject* GetObjectProp(const TObject* instance, std::string_view name);
void SetObjectProp(TObject* instance, std::string_view name, TObject* value);
// Event properties. Setting a method whose signature is not the event's raises
// EPropertyConvertError; a handler assigned in code (a lambda) reads as an empty TMethod.
TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop);
TMethod GetMethodProp(const TObject* instance, std::string_view name);
void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& method);
void SetMethodProp(TObject* instance, std::string_view name, const TMethod& method);

// Published methods, found through the ancestors (a descendant's method of the same name
// hides its ancestor's).
const TMethodInfo* MethodAddress(TClass cls, std::string_view name);
String MethodName(TClass cls, const TMethodInfo* address);
std::vector<const TMethodInfo*> GetMethodList(TClass cls);  // the class's and its ancestors' published methods
// The published method `name` of instance bound to it, as a callable of signature Sig; empty
// when there is no such method or its signature differs.
template <class Sig>
std::function<Sig> PublishedMethod(TObject* instance, std::string_view name);

// Components handed around as 32-bit integers (a reference property read as an integer): the
// handle stays the component's while it lives and is never given to another; once the
// component is destroyed, the handle finds nothing. Null has handle 0.
std::int32_t ComponentToHandle(TComponent* component);
TComponent* HandleToComponent(std::int32_t handle);

// Generic access as a Variant: enumerations and sets as their names when preferStrings.
Variant GetPropValue(const TObject* instance, const TPropInfo* prop, bool preferStrings = true);
Variant GetPropValue(const TObject* instance, std::string_view name, bool preferStrings = true);
void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value);
void SetPropValue(TObject* instance, std::string_view name, const Variant& value);
// Generic access as text, in the form the textual form file uses for the value
// (enumeration names, "[a,b]" sets, numbers with '.', booleans as True/False).
String GetPropText(const TObject* instance, const TPropInfo* prop);
void SetPropText(TObject* instance, const TPropInfo* prop, std::string_view text);

class EPropertyError : public Exception {
public:
  using Exception::Exception;
};
class EPropertyConvertError : public Exception {
public:
  using Exception::Exception;
};

// ---------------------------------------------------------------------------------------------
// Declaring properties

namespace detail {
const TTypeInfo* MakeEnumTypeInfo(const char* name, const char* commaSeparatedNames);
const TTypeInfo* MakeSetTypeInfo(const TTypeInfo* element);
const TTypeInfo* MakeClassTypeInfo(TClass cls, bool componentReference);
const TTypeInfo* SimpleTypeInfo(TTypeKind kind, const char* name, TFloatType floatType = ftDouble);
void AddProperty(TClassTables& into, std::unique_ptr<TPropInfo> prop);
void AddMethod(TClassTables& into, std::unique_ptr<TMethodInfo> method);
// A copy of the nearest ancestor's declaration of name, published or not, for a descendant to
// publish; raises EPropertyError when no ancestor declares it.
std::unique_ptr<TPropInfo> InheritedProperty(TClass ancestor, const char* name);
void SetIdents(TPropInfo& prop, const TTypeInfo* integerType);  // raises unless both are integers
// The type information of an event type: typeName, or for an unnamed std::function
// "TNotifyEvent" (the sender alone) or "TMethod".
const TTypeInfo* MakeMethodTypeInfo(const std::type_info& signature, const char* typeName = nullptr);
[[noreturn]] void RaiseSignatureMismatch(const String& methodName);

// What an event property holds when a published method is assigned to it: the method's
// identity travels inside the std::function, so the property reads back what was set.
template <class R, class... A>
struct TMethodClosure {
  TMethod Method;
  const std::function<R(TObject*, A...)>* Invoke;
  R operator()(A... args) const { return (*Invoke)(Method.Data, std::forward<A>(args)...); }
};
// An event type declared with ZV_EVENT is the std::function it derives from, under its name.
template <class F>
struct TEventTraits : TEventTraits<typename F::Function> {
  static constexpr const char* TypeName = F::ZvEventTypeName;
};
template <class R, class... A>
struct TEventTraits<std::function<R(A...)>> {
  using Closure = TMethodClosure<R, A...>;
  using Invoker = std::function<R(TObject*, A...)>;
  static const std::type_info& Signature() { return typeid(R(A...)); }
  static constexpr const char* TypeName = nullptr;
};
// Currency properties travel as long double, whose 64-bit mantissa holds every currency exactly.
// Out of range (or NaN) raises EOverflow rather than wrapping.
Currency CurrencyFromFloat(long double v);
}  // namespace detail

struct TClassTables {
  std::vector<std::unique_ptr<TPropInfo>> Props;
  std::vector<std::unique_ptr<TMethodInfo>> Methods;
};

template <class C>
class TPropTable {
public:
  explicit TPropTable(TClassTables& into) : fInto(into) {}

  class Builder {
  public:
    explicit Builder(TPropInfo& p) : fProp(p) {}
    Builder& Default(std::int64_t v) { fProp.Default = v; return *this; }
    template <class E, std::enable_if_t<std::is_enum_v<E>, int> = 0>
    Builder& Default(E v) { fProp.Default = static_cast<std::int64_t>(v); return *this; }
    template <class E>
    Builder& Default(TSet<E> v) { fProp.Default = static_cast<std::int64_t>(v.Bits()); return *this; }
    template <class B>
      requires std::is_base_of_v<B, C>
    Builder& Stored(bool (B::*pred)() const) {
      fProp.Stored = [pred](const TObject& o) { return (static_cast<const C&>(o).*pred)(); };
      return *this;
    }
    Builder& Stored(bool always) { fProp.StoredConst = always; return *this; }
    // Declared for descendants to publish; not listed and not streamed for this class.
    Builder& Unpublished() { fProp.Published = false; return *this; }
    // Streams an integer property by the identifiers of integerType (from RegisterIntegerConsts).
    Builder& Idents(const TTypeInfo* integerType) { detail::SetIdents(fProp, integerType); return *this; }

  private:
    TPropInfo& fProp;
  };

  // A property read and written through member functions, of this class or inherited (a base's
  // accessors bind as they are); a null setter makes it read-only.
  template <class G, class V, class B, class S>
    requires(std::is_base_of_v<G, C> && std::is_base_of_v<B, C>)
  Builder Prop(const char* name, V (G::*getter)() const, void (B::*setter)(S)) {
    using T = std::remove_cvref_t<V>;
    static_assert(std::is_same_v<T, std::remove_cvref_t<S>>, "getter and setter types differ");
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = TypeInfoOf<T>();
    Bind<T>(*prop, std::function<T(const TObject&)>([getter](const TObject& o) -> T { return (static_cast<const C&>(o).*getter)(); }),
            setter ? std::function<void(TObject&, T)>([setter](TObject& o, T v) { (static_cast<C&>(o).*setter)(v); })
                   : std::function<void(TObject&, T)>());
    TPropInfo& ref = *prop;
    detail::AddProperty(fInto, std::move(prop));
    return Builder(ref);
  }

  template <class G, class V>
    requires std::is_base_of_v<G, C>
  Builder Prop(const char* name, V (G::*getter)() const) {
    return Prop(name, getter, static_cast<void (C::*)(V)>(nullptr));
  }

  // A write-only property: it can be set by name and read from a form, never written.
  template <class B, class S>
    requires std::is_base_of_v<B, C>
  Builder Prop(const char* name, std::nullptr_t, void (B::*setter)(S)) {
    using T = std::remove_cvref_t<S>;
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = TypeInfoOf<T>();
    Bind<T>(*prop, std::function<T(const TObject&)>(),
            std::function<void(TObject&, T)>([setter](TObject& o, T v) { (static_cast<C&>(o).*setter)(v); }));
    TPropInfo& ref = *prop;
    detail::AddProperty(fInto, std::move(prop));
    return Builder(ref);
  }

  // An event: a std::function member streamed as the name of the published method it holds.
  template <class B, class F>
  Builder Event(const char* name, F B::*member) {
    static_assert(std::is_base_of_v<B, C>, "the event is not a member of this class");
    using Traits = detail::TEventTraits<F>;
    using Closure = typename Traits::Closure;
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = detail::MakeMethodTypeInfo(Traits::Signature(), Traits::TypeName);
    prop->GetMethod = [member](const TObject& o) -> TMethod {
      const F& f = static_cast<const C&>(o).*member;
      if (const Closure* c = f.template target<Closure>()) return c->Method;
      return TMethod{};
    };
    prop->SetMethod = [member](TObject& o, const TMethod& m) {
      F& f = static_cast<C&>(o).*member;
      if (!m) {
        f = nullptr;
        return;
      }
      const auto* invoke = std::any_cast<typename Traits::Invoker>(&m.Code->Invoker);
      if (!invoke) detail::RaiseSignatureMismatch(m.Code->Name);
      f = Closure{m, invoke};
    };
    TPropInfo& ref = *prop;
    detail::AddProperty(fInto, std::move(prop));
    return Builder(ref);
  }

  // Publishes an inherited property (declared by an ancestor, published there or not) at
  // this point of the class's list.
  Builder Publish(const char* name) {
    auto prop = detail::InheritedProperty(C::StaticClass()->Parent, name);
    prop->Published = true;
    TPropInfo& ref = *prop;
    detail::AddProperty(fInto, std::move(prop));
    return Builder(ref);
  }

  // Publishes a method by name: what a form's event properties are read against.
  template <class R, class... A>
  void Method(const char* name, R (C::*method)(A...)) {
    auto info = std::make_unique<TMethodInfo>();
    info->Name = name;
    info->Signature = &typeid(R(A...));
    info->Invoker = std::function<R(TObject*, A...)>(
        [method](TObject* self, A... args) -> R { return (static_cast<C*>(self)->*method)(std::forward<A>(args)...); });
    detail::AddMethod(fInto, std::move(info));
  }

private:
  template <class T, class G, class S>
  static void Bind(TPropInfo& p, G get, S set) {
    const bool readable = static_cast<bool>(get);
    if constexpr (std::is_same_v<T, String>) {
      if (readable) p.GetStr = get;
      if (set) p.SetStr = [set](TObject& o, const String& v) { set(o, v); };
    } else if constexpr (std::is_same_v<T, WideString>) {
      if (readable) p.GetStr = [get](const TObject& o) { return UTF8Encode(get(o)); };
      if (set) p.SetStr = [set](TObject& o, const String& v) { set(o, UTF8Decode(v)); };
    } else if constexpr (std::is_same_v<T, Variant>) {
      if (readable) p.GetVar = get;
      if (set) p.SetVar = [set](TObject& o, const Variant& v) { set(o, v); };
    } else if constexpr (std::is_same_v<T, long double>) {
      // Extended properties travel whole: a detour through double would lose their last digits.
      if (readable) p.GetFloat = get;
      if (set) p.SetFloat = [set](TObject& o, long double v) { set(o, v); };
    } else if constexpr (std::is_same_v<T, double> || std::is_same_v<T, float> || std::is_base_of_v<TDateTime, T>) {
      if (readable) p.GetFloat = [get](const TObject& o) { return static_cast<long double>(static_cast<double>(get(o))); };
      if (set) p.SetFloat = [set](TObject& o, long double v) { set(o, T(static_cast<double>(v))); };
    } else if constexpr (std::is_same_v<T, Currency>) {
      if (readable) p.GetFloat = [get](const TObject& o) { return static_cast<long double>(get(o).Value) / Currency::Scale; };
      if (set) p.SetFloat = [set](TObject& o, long double v) { set(o, detail::CurrencyFromFloat(v)); };
    } else if constexpr (std::is_pointer_v<T>) {
      if (readable) p.GetObj = [get](const TObject& o) -> TObject* { return get(o); };
      if (set) p.SetObj = [set](TObject& o, TObject* v) { set(o, dynamic_cast<T>(v)); };
    } else if constexpr (IsSet<T>::value) {
      if (readable) p.GetOrd = [get](const TObject& o) { return static_cast<std::int64_t>(get(o).Bits()); };
      if (set) p.SetOrd = [set](TObject& o, std::int64_t v) { set(o, T::FromBits(static_cast<std::uint64_t>(v))); };
    } else {  // integers, bool, char, enumerations
      if (readable) p.GetOrd = [get](const TObject& o) { return static_cast<std::int64_t>(get(o)); };
      if (set) p.SetOrd = [set](TObject& o, std::int64_t v) { set(o, static_cast<T>(v)); };
    }
  }

  template <class T> struct IsSet : std::false_type {};
  template <class E> struct IsSet<TSet<E>> : std::true_type {};

  TClassTables& fInto;
};

namespace detail {
template <class C>
void DeclareVia(TClassTables& into) {
  TPropTable<C> table(into);
  C::DeclareProperties(table);
}
}  // namespace detail

template <class Sig>
std::function<Sig> PublishedMethod(TObject* instance, std::string_view name) {
  const TMethodInfo* m = instance ? instance->MethodAddress(name) : nullptr;
  if (!m || *m->Signature != typeid(Sig)) return {};
  using Traits = detail::TEventTraits<std::function<Sig>>;
  return typename Traits::Closure{TMethod{m, instance}, std::any_cast<typename Traits::Invoker>(&m->Invoker)};
}

// ---------------------------------------------------------------------------------------------
// Type information of the property types

template <> struct TypeInfoTraits<int> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInteger, "Integer"); } };
template <> struct TypeInfoTraits<unsigned> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInteger, "Cardinal"); } };
template <> struct TypeInfoTraits<short> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInteger, "Smallint"); } };
template <> struct TypeInfoTraits<unsigned short> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInteger, "Word"); } };
template <> struct TypeInfoTraits<unsigned char> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInteger, "Byte"); } };
template <> struct TypeInfoTraits<std::int64_t> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkInt64, "Int64"); } };
template <> struct TypeInfoTraits<char> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkChar, "Char"); } };
template <> struct TypeInfoTraits<bool> { static const TTypeInfo* Get() { static const TTypeInfo* t = detail::MakeEnumTypeInfo("Boolean", "False, True"); return t; } };
template <> struct TypeInfoTraits<double> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "Double", ftDouble); } };
template <> struct TypeInfoTraits<float> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "Single", ftSingle); } };
template <> struct TypeInfoTraits<long double> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "Extended", ftExtended); } };
template <> struct TypeInfoTraits<TDateTime> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "TDateTime", ftDouble); } };
template <> struct TypeInfoTraits<TDate> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "TDate", ftDouble); } };
template <> struct TypeInfoTraits<TTime> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "TTime", ftDouble); } };
template <> struct TypeInfoTraits<Currency> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkFloat, "Currency", ftCurr); } };
template <> struct TypeInfoTraits<String> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkLString, "String"); } };
template <> struct TypeInfoTraits<WideString> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkWString, "WideString"); } };
template <> struct TypeInfoTraits<Variant> { static const TTypeInfo* Get() { return detail::SimpleTypeInfo(tkVariant, "Variant"); } };

template <class F>
struct TypeInfoTraits<std::function<F>> {
  static const TTypeInfo* Get() { return detail::MakeMethodTypeInfo(typeid(F)); }
};
template <class F>
struct TypeInfoTraits<F, std::void_t<decltype(F::ZvEventTypeName)>> {
  using Traits = detail::TEventTraits<F>;
  static const TTypeInfo* Get() { return detail::MakeMethodTypeInfo(Traits::Signature(), Traits::TypeName); }
};

namespace detail {
// An enumeration declared with ZV_ENUM: its ZvEnumTypeInfo is found beside it by argument lookup.
template <class E>
concept DeclaredEnum = std::is_enum_v<E> && requires(E e) {
  { ZvEnumTypeInfo(e) } -> std::same_as<const TTypeInfo*>;
};
}  // namespace detail

template <class E>
struct TypeInfoTraits<E, std::enable_if_t<detail::DeclaredEnum<E>>> {
  static const TTypeInfo* Get() { return ZvEnumTypeInfo(E{}); }
};

template <class E>
struct TypeInfoTraits<TSet<E>> {
  static const TTypeInfo* Get() { static const TTypeInfo* t = detail::MakeSetTypeInfo(TypeInfoOf<E>()); return t; }
};

// Pointers to components are references; pointers to other persistent objects are owned parts.
template <class T>
struct TypeInfoTraits<T*, std::enable_if_t<std::is_base_of_v<TObject, T>>> {
  static const TTypeInfo* Get() {
    static const TTypeInfo* t = detail::MakeClassTypeInfo(T::StaticClass(), std::is_base_of_v<TComponent, T>);
    return t;
  }
};

}  // namespace zv

// Declares an enumeration and the type information of its names from one list, so the names
// streamed and shown by editors can never drift from the type. Values run from 0 in order; use
// it at namespace scope and end it with a semicolon:
//   ZV_ENUM(TAlign, alNone, alTop, alBottom);
#define ZV_ENUM(E, ...)                                                                 \
  enum E { __VA_ARGS__ };                                                               \
  [[maybe_unused]] inline const ::zv::TTypeInfo* ZvEnumTypeInfo(E) {                   \
    static const ::zv::TTypeInfo* t = ::zv::detail::MakeEnumTypeInfo(#E, #__VA_ARGS__); \
    return t;                                                                           \
  }                                                                                     \
  static_assert(true)

// Defines the metaclass of a class that has a `static void DeclareProperties(TPropTable<Self>&)`.
#define ZV_DEFINE_CLASS_WITH_PROPS(Self, Parent) ZV_DEFINE_CLASS(Self, Parent, &::zv::detail::DeclareVia<Self>)
