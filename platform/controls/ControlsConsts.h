#pragma once
// Message texts of the controls layer, as the host words them.

namespace zv {

inline constexpr const char SCannotFocus[] = "Cannot focus a disabled or invisible window";
inline constexpr const char SControlParentSetToSelf[] = "A control cannot have itself as its parent";
// Messages of this system's own making.
inline constexpr const char SNoWindowBackend[] = "No window backend is active";

}  // namespace zv
