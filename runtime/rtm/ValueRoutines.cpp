#include "runtime/rtm/ValueRoutines.h"

#include <cstdlib>

namespace zv {

bool VarIsNE(const Variant& v) { return VarIsNull(v) || VarIsEmpty(v); }

bool VarIsSame(const Variant& a, const Variant& b) {
  const bool emptyA = VarIsEmpty(a), emptyB = VarIsEmpty(b);
  if (emptyA || emptyB) return emptyA && emptyB;
  const bool arrayA = VarIsArray(a), arrayB = VarIsArray(b);
  if (arrayA || arrayB) {
    if (!(arrayA && arrayB)) return false;
    // Arrays of other bounds are different values (comparing them as the old routine did would
    // read outside the shorter one).
    const int low = VarArrayLowBound(a, 1), high = VarArrayHighBound(a, 1);
    if (low != VarArrayLowBound(b, 1) || high != VarArrayHighBound(b, 1)) return false;
    for (int i = low; i <= high; ++i)
      if (!VarIsSame(a.GetElement(i), b.GetElement(i))) return false;
    return true;
  }
  try {
    return a == b;
  } catch (const Exception&) {
    return false;  // "abc" and 5 are simply not the same
  }
}

std::vector<std::int32_t> CreateVectorInt(int count, std::int32_t value) {
  return count > 0 ? std::vector<std::int32_t>(static_cast<std::size_t>(count), value) : std::vector<std::int32_t>();
}

std::vector<std::int32_t> CreateVectorColor(int count, std::int32_t value) { return CreateVectorInt(count, value); }

std::vector<bool> CreateVectorBool(int count, bool value) {
  return count > 0 ? std::vector<bool>(static_cast<std::size_t>(count), value) : std::vector<bool>();
}

int FindVectorItemInt(const std::vector<std::int32_t>& vector, std::int32_t value) {
  for (std::size_t i = 0; i < vector.size(); ++i)
    if (vector[i] == value) return static_cast<int>(i);
  return -1;
}

int FindNearestVectorItemInt(const std::vector<std::int32_t>& vector, std::int32_t value) {
  int best = -1;
  std::int64_t bestDistance = 0;
  const std::int64_t target = std::llabs(value);
  for (std::size_t i = 0; i < vector.size(); ++i) {
    const std::int64_t distance = std::llabs(std::llabs(vector[i]) - target);
    if (distance == 0) return static_cast<int>(i);
    if (best < 0 || distance <= bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

int UpdateIndexInt(int index, int from, int to) {
  if (index == from) return to;
  if (from < index) --index;
  if (index >= to) ++index;
  return index;
}

int CalcIndexInt(int oldIndex, int newIndex, int count, bool backward) {
  if (backward && oldIndex < newIndex) return newIndex - 1 < 0 ? 0 : newIndex - 1;
  if (!backward && newIndex < oldIndex) return newIndex + 1 > count - 1 ? count - 1 : newIndex + 1;
  return newIndex;
}

bool ContainsChars(std::string_view s, const TChars& chars) {
  for (char c : s)
    if (chars.Contains(c)) return true;
  return false;
}

bool HasString(std::string_view s, std::initializer_list<std::string_view> values) {
  for (auto v : values)
    if (AnsiSameText(s, v)) return true;
  return false;
}

bool HasString(std::string_view s, const std::vector<String>& values) {
  for (const auto& v : values)
    if (AnsiSameText(s, v)) return true;
  return false;
}

}  // namespace zv
