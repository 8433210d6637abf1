#pragma once
// Small value routines shared by the library: variant tests, integer helpers, vectors of
// integers and the index arithmetic of moving an item in a list.

#include "platform/rtl/StringUtils.h"
#include "platform/rtl/Variant.h"

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace zv {

// A set of 8-bit characters (valid input characters and the like).
class TChars {
public:
  TChars() = default;
  TChars(std::initializer_list<char> chars) {
    for (char c : chars) Include(c);
  }
  static TChars Range(char from, char to) {
    TChars s;
    for (int c = static_cast<unsigned char>(from); c <= static_cast<unsigned char>(to); ++c) s.fBits.set(static_cast<std::size_t>(c));
    return s;
  }
  bool Contains(char c) const { return fBits.test(static_cast<unsigned char>(c)); }
  TChars& Include(char c) { fBits.set(static_cast<unsigned char>(c)); return *this; }
  TChars operator+(const TChars& o) const { TChars s; s.fBits = fBits | o.fBits; return s; }
  bool Empty() const { return fBits.none(); }

private:
  std::bitset<256> fBits;
};

bool VarIsNE(const Variant& v);  // null or empty
// Equality as the library uses it: two empties are the same, one empty is not; arrays compare
// element by element; values that cannot be compared are not the same.
bool VarIsSame(const Variant& a, const Variant& b);

inline void SwapInt(int& a, int& b) { std::swap(a, b); }
inline void SwapStr(String& a, String& b) { a.swap(b); }
inline int MinInt(int a, int b) { return a < b ? a : b; }
inline int MaxInt(int a, int b) { return a > b ? a : b; }
inline void MaxIntRef(int& a, int b) { if (a < b) a = b; }
inline int SignInt(int x) { return x < 0 ? -1 : 1; }
inline int SignDbl(double x) { return x >= 0 ? 1 : -1; }

// Vectors of count items all set to value; empty when count <= 0.
std::vector<std::int32_t> CreateVectorInt(int count, std::int32_t value);
std::vector<std::int32_t> CreateVectorColor(int count, std::int32_t value);
std::vector<bool> CreateVectorBool(int count, bool value);
int FindVectorItemInt(const std::vector<std::int32_t>& vector, std::int32_t value);
// The index of the item whose absolute value is nearest to |value|; an exact match wins at once,
// a later item wins a tie; -1 for an empty vector.
int FindNearestVectorItemInt(const std::vector<std::int32_t>& vector, std::int32_t value);

// Where the item at index ends up after the item at from moves to to.
int UpdateIndexInt(int index, int from, int to);
// The target index of a move from oldIndex towards newIndex, corrected for the removed item.
int CalcIndexInt(int oldIndex, int newIndex, int count, bool backward);

bool ContainsChars(std::string_view s, const TChars& chars);
// s equals one of values (ignoring case).
bool HasString(std::string_view s, std::initializer_list<std::string_view> values);
bool HasString(std::string_view s, const std::vector<String>& values);

}  // namespace zv
