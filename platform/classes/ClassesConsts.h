#pragma once
// Message texts of the host's component model, lists and streams, as the host words them.

#include "platform/rtl/Exceptions.h"

namespace zv {

class EClassNotFound : public EFilerError {
public:
  using EFilerError::EFilerError;
};

inline constexpr const char SClassNotFound[] = "Class %s not found";
inline constexpr const char SModuleUnnamed[] = "A module needs a name";
inline constexpr const char SModuleCycle[] = "Modules use each other in a cycle through %s";
inline constexpr const char SModuleNotLinked[] = "Module %s uses %s, which is not linked in";
inline constexpr const char SAssignError[] = "Cannot assign a %s to a %s";
inline constexpr const char SDuplicateName[] = "A component named %s already exists";
inline constexpr const char SInvalidName[] = "'%s' is not a valid component name";
inline constexpr const char SListCapacityError[] = "List capacity out of bounds (%d)";
inline constexpr const char SListCountError[] = "List count out of bounds (%d)";
inline constexpr const char SSortedListError[] = "Operation not allowed on sorted list";
inline constexpr const char SDuplicateString[] = "String list does not allow duplicates";
inline constexpr const char SReadError[] = "Stream read error";
inline constexpr const char SWriteError[] = "Stream write error";
inline constexpr const char SFCreateError[] = "Cannot create file %s";
inline constexpr const char SFOpenError[] = "Cannot open file %s";
inline constexpr const char SMemoryStreamError[] = "Out of memory while expanding memory stream";
inline constexpr const char SInvalidProperty[] = "Invalid property value";
inline constexpr const char SUnknownProperty[] = "Property %s does not exist";
inline constexpr const char SPropertyException[] = "Error reading %s%s%s: %s";
inline constexpr const char SInvalidImage[] = "Invalid stream format";
inline constexpr const char SInvalidPropertyValue[] = "Invalid property value";
inline constexpr const char SReadOnlyProperty[] = "Property is read-only";
inline constexpr const char SReadOnlyPropertyNamed[] = "Property %s is read-only";
inline constexpr const char SWriteOnlyPropertyNamed[] = "Property %s is write-only";
inline constexpr const char SMethodNotFound[] = "Method %s of class %s not found";
inline constexpr const char SInvalidPropertyElement[] = "Invalid property element: %s";
inline constexpr const char SInvalidPropertyType[] = "Invalid property type";
inline constexpr const char SInvalidPropertyTypeNamed[] = "Invalid property type: %s";
inline constexpr const char SParseError[] = "%s on line %d";
inline constexpr const char SIdentifierExpected[] = "Identifier expected";
inline constexpr const char SStringExpected[] = "String expected";
inline constexpr const char SNumberExpected[] = "Number expected";
inline constexpr const char SCharExpected[] = "'%s' expected";
inline constexpr const char SSymbolExpected[] = "%s expected";
inline constexpr const char SWriteVariantError[] = "Cannot write a variant of type %s";
inline constexpr const char SComponentNotFound[] = "Component %s not found";
inline constexpr const char SInvalidPropertyPath[] = "Invalid property path";
inline constexpr const char SAncestorNotFound[] = "Ancestor for '%s' not found";
inline constexpr const char SInvalidComponentClass[] = "Class %s is not a component class that can be created";
inline constexpr const char SComponentReadError[] = "Error reading %s: %s";
inline constexpr const char SUnresolvedReference[] = "Error reading %s: Component %s not found";
inline constexpr const char SInvalidBinary[] = "Invalid binary value";
inline constexpr const char SCollectionItemClass[] = "Collection item class %s does not descend from %s";

}  // namespace zv
