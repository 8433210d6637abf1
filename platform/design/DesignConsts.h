#pragma once
// The design-time host's messages and menu captions.

namespace zv {

inline constexpr const char SDuplicateClass[] = "A class named %s already exists";
inline constexpr const char SErrorLoadingPackage[] = "Can't load package %s.\n%s";
inline constexpr const char SNoRegisterProc[] = "The package has no Register procedure";
inline constexpr const char SPackageInUse[] = "Cannot unload package %s while components of its classes exist";
inline constexpr const char SCannotDeleteRoot[] = "The form itself cannot be deleted";
inline constexpr const char SNotAMethodName[] = "'%s' is not a valid method name";
inline constexpr const char SNone[] = "(None)";
inline constexpr const char SOutOfRange[] = "Value must be between %d and %d";
inline constexpr const char SStringListEditor[] = "String List Editor";
// The host's own items of a component's context menu, after its editor's verbs.
inline constexpr const char SMenuBringToFront[] = "Bring to &Front";
inline constexpr const char SMenuSendToBack[] = "Send to &Back";
inline constexpr const char SMenuDelete[] = "&Delete";

}  // namespace zv
