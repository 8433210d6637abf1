#pragma once
// Sets a flag (or any small value: a saved pointer, an operation code) for the length of a scope
// and puts the old value back on every way out, a raised exception included. The one bracket
// for the Updating, Posting, Activating, Mapping ... flags of the controls.

namespace zv {

template <class T = bool>
class TFlagScope {
public:
  // The value becomes `value` now and goes back to what it was.
  explicit TFlagScope(T& ref, T value = T(true)) : fRef(ref), fAfter(ref) { fRef = value; }
  // The value becomes `value` now and `after` at the end, whatever it was before (a bracket
  // that always ends cleared, even when entered twice).
  TFlagScope(T& ref, T value, T after) : fRef(ref), fAfter(after) { fRef = value; }
  ~TFlagScope() { fRef = fAfter; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

  // What the value goes back to.
  const T& After() const { return fAfter; }
  // Puts the value back before the scope ends (the end puts it back again).
  void Restore() { fRef = fAfter; }

private:
  T& fRef;
  T fAfter;
};

}  // namespace zv
