#pragma once
// Message texts of the controls layer, as the host words them.

namespace zv {

inline constexpr const char SCannotFocus[] = "Cannot focus a disabled or invisible window";
inline constexpr const char SControlParentSetToSelf[] = "A control cannot have itself as its parent";
inline constexpr const char SCannotShowModal[] = "Cannot make a visible window modal";
// Message boxes: captions by message type, and button captions.
inline constexpr const char SMsgDlgWarning[] = "Warning";
inline constexpr const char SMsgDlgError[] = "Error";
inline constexpr const char SMsgDlgInformation[] = "Information";
inline constexpr const char SMsgDlgConfirm[] = "Confirm";
inline constexpr const char SMsgDlgYes[] = "&Yes";
inline constexpr const char SMsgDlgNo[] = "&No";
inline constexpr const char SMsgDlgOK[] = "OK";
inline constexpr const char SMsgDlgCancel[] = "Cancel";
inline constexpr const char SMsgDlgAbort[] = "&Abort";
inline constexpr const char SMsgDlgRetry[] = "&Retry";
inline constexpr const char SMsgDlgIgnore[] = "&Ignore";
inline constexpr const char SMsgDlgAll[] = "&All";
inline constexpr const char SMsgDlgNoToAll[] = "N&o to All";
inline constexpr const char SMsgDlgYesToAll[] = "Yes to &All";
inline constexpr const char SMsgDlgHelp[] = "&Help";
inline constexpr const char SMsgDlgClose[] = "&Close";
// Messages of this system's own making.
inline constexpr const char SNoWindowBackend[] = "No window backend is active";

}  // namespace zv
