#include "platform/classes/Object.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <map>

namespace zv {

bool TClassInfo::InheritsFrom(TClass other) const {
  for (TClass c = this; c; c = c->Parent)
    if (c == other) return true;
  return false;
}

TClass TObject::StaticClass() {
  static const TClassInfo info{"TObject", nullptr, nullptr};
  return &info;
}

namespace {

struct CaseInsensitiveLess {
  bool operator()(const String& a, const String& b) const { return CompareText(a, b) < 0; }
};

// Class names are identifiers, so ASCII case-insensitivity matches the host.
// Never destroyed: modules unregister their classes while the program exits.
std::map<String, TClass, CaseInsensitiveLess>& Registry() {
  static auto* registry = new std::map<String, TClass, CaseInsensitiveLess>;
  return *registry;
}

}  // namespace

void RegisterClass(TClass cls) { Registry()[cls->Name] = cls; }

void UnRegisterClass(TClass cls) {
  auto it = Registry().find(cls->Name);
  if (it != Registry().end() && it->second == cls) Registry().erase(it);
}

std::vector<TClass> RegisteredClasses() {
  std::vector<TClass> classes;
  classes.reserve(Registry().size());
  for (const auto& [name, cls] : Registry()) classes.push_back(cls);
  return classes;
}

TClass GetClass(std::string_view name) {
  auto it = Registry().find(String(name));
  return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(std::string_view name) {
  if (TClass c = GetClass(name)) return c;
  throw EClassNotFound(Format(SClassNotFound, {name}));
}

}  // namespace zv
