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
class TPropInfo;
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
  // Published properties declared by this class itself (not its ancestors), in declaration
  // order; filled once, on first use, by the class's property table.
  void (*DeclareProperties)(std::vector<std::unique_ptr<TPropInfo>>& into) = nullptr;

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
};

// Registration makes a class findable by name; registering twice is harmless.
void RegisterClass(TClass cls);
void UnRegisterClass(TClass cls);
TClass GetClass(std::string_view name);   // null when not registered
TClass FindClass(std::string_view name);  // raises EClassNotFound when not registered

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
}  // namespace detail

}  // namespace zv

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
    static const ::zv::TClassInfo info{#Self, Parent::StaticClass(),                        \
                                       ::zv::detail::FactoryOf<Self>() __VA_OPT__(, ) __VA_ARGS__};     \
    return &info;                                                                           \
  }
