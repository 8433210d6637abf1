#pragma once
// TObject and the class registry: every class of the component model knows its name and its
// parent class, and a registered class can be found and created by name (form reading does).

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zv {

using String = std::string;

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
class TPropInfo;
struct TMethodInfo;
struct TClassTables;
template <class C>
class TPropTable;
struct TClassInfo;
using TClass = const TClassInfo*;

// What the host calls a metaclass: one static instance per class.
struct TClassInfo {
  const char* Name = "";
  TClass Parent = nullptr;
  // Creates an instance; components are created with their owner. Null for abstract classes.
  TObject* (*Factory)(TComponent* owner) = nullptr;
  // Creates a collection item inside its collection, so that the item's constructor already
  // reaches the collection and its owner. Null for classes that are not items.
  TObject* (*ItemFactory)(TCollection* collection) = nullptr;
  // The properties and published methods declared by this class itself (not its ancestors),
  // in declaration order; filled once, on first use, by the class's property table.
  void (*DeclareProperties)(TClassTables& into) = nullptr;

  bool InheritsFrom(TClass other) const;
  String ClassName() const { return Name; }
};

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const { return ClassType()->Name; }
  TClass ClassParent() const { return ClassType()->Parent; }
  bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
  // The published method of this class or an ancestor with that name (case-insensitive), or
  // null; and the name of a published method of this class or an ancestor ("" otherwise).
  const TMethodInfo* MethodAddress(std::string_view name) const;
  String MethodName(const TMethodInfo* address) const;
};

// Registration makes a class findable by name; registering twice is harmless.
void RegisterClass(TClass cls);
void UnRegisterClass(TClass cls);
TClass GetClass(std::string_view name);   // null when not registered
TClass FindClass(std::string_view name);  // raises EClassNotFound when not registered
// Every registered class, by name.
std::vector<TClass> RegisteredClasses();

namespace detail {
template <class T>
TObject* CreateInstance(TComponent* owner) {
  if constexpr (std::is_constructible_v<T, TComponent*>) {
    return new T(owner);
  } else {
    (void)owner;
    return new T();
  }
}
// Classes that are abstract or need constructor arguments cannot be created by name.
template <class T>
constexpr auto FactoryOf() -> TObject* (*)(TComponent*) {
  if constexpr (std::is_abstract_v<T> ||
                !(std::is_constructible_v<T, TComponent*> || std::is_default_constructible_v<T>))
    return nullptr;
  else
    return &CreateInstance<T>;
}
template <class T>
TObject* CreateItem(TCollection* collection) {
  return new T(collection);
}
template <class T>
constexpr auto ItemFactoryOf() -> TObject* (*)(TCollection*) {
  // Only items: any other class would take the pointer as some other argument (a bool).
  if constexpr (std::is_abstract_v<T> || !std::is_base_of_v<TCollectionItem, T> ||
                !std::is_constructible_v<T, TCollection*>)
    return nullptr;
  else
    return &CreateItem<T>;
}
}  // namespace detail

}  // namespace zv

// Declares an event type: the std::function of the signature, under a name of its own that
// its event properties' type information reads (two event types may share a signature, as
// OnDragDrop's and OnEndDrag's do, and still read apart).
//   ZV_EVENT(TKeyEvent, void(TObject* sender, Word& key, TShiftState shift));
#define ZV_EVENT(Name, ...)                                \
  struct Name : std::function<__VA_ARGS__> {               \
    using Function = std::function<__VA_ARGS__>;           \
    using Function::Function;                              \
    using Function::operator=;                             \
    static constexpr const char* ZvEventTypeName = #Name;  \
  }

// In the class body: gives the class its metaclass.
#define ZV_CLASS(Self, Parent)                                       \
 public:                                                             \
  static ::zv::TClass StaticClass();                                 \
  ::zv::TClass ClassType() const override { return StaticClass(); } \
                                                                     \
 private:

// In one source file: defines the metaclass. The optional last argument is the function that
// declares the class's published properties (see TypeInfo.h).
#define ZV_DEFINE_CLASS(Self, Parent, ...)                                                  \
  ::zv::TClass Self::StaticClass() {                                                        \
    static const ::zv::TClassInfo info{#Self, Parent::StaticClass(), ::zv::detail::FactoryOf<Self>(), \
                                       ::zv::detail::ItemFactoryOf<Self>() __VA_OPT__(, ) __VA_ARGS__};  \
    return &info;                                                                           \
  }
