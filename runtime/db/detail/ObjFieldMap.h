#pragma once
// The field-to-property map of the object providers, built with the field definitions: which
// property (and which element of a set) each field shows, and whether the dataset's options
// make the property nullable. Looked up by the lower-case field name the record buffers carry.

#include "platform/classes/Object.h"

#include <functional>
#include <string_view>
#include <unordered_map>

namespace zv::odsdetail {

struct TObjFieldBinding {
  String PropName;
  int SetElement = -1;  // the element's place in the set's element list; -1: the whole property
  bool NullableByOptions = false;
};

class TObjFieldMap {
public:
  void Clear() {
    fByName.clear();
    fDescribedClass = nullptr;
    fUndescribedClass = nullptr;
  }
  void Add(const String& lowerName, TObjFieldBinding binding) { fByName.emplace(lowerName, std::move(binding)); }
  const TObjFieldBinding* Find(std::string_view lowerName) const {
    const auto it = fByName.find(lowerName);
    return it == fByName.end() ? nullptr : &it->second;
  }
  bool Empty() const { return fByName.empty(); }
  // One class of each answer is remembered, so a walk over items of one class asks once.
  bool Describes(TClass cls, bool (*ask)(TClass)) {
    if (cls == fDescribedClass) return true;
    if (cls == fUndescribedClass) return false;
    const bool described = ask(cls);
    (described ? fDescribedClass : fUndescribedClass) = cls;
    return described;
  }

private:
  // Looked up by string_view without making a String per read.
  struct THash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<String, TObjFieldBinding, THash, std::equal_to<>> fByName;
  TClass fDescribedClass = nullptr;
  TClass fUndescribedClass = nullptr;
};

}  // namespace zv::odsdetail
