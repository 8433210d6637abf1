#pragma once
// Sets a flag of the data edit control for the length of a scope and puts the old value back on
// every way out (the control's Updating, ChangeLock, MappingUpdate, ... brackets).

namespace zv {

struct TFlagScope {
  bool& Flag;
  bool Old;
  explicit TFlagScope(bool& flag, bool value = true) : Flag(flag), Old(flag) { Flag = value; }
  ~TFlagScope() { Flag = Old; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;
};

}  // namespace zv
