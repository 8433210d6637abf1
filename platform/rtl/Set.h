#pragma once
// TSet<Enum>: the host's "set of enumeration" as a small value type. Enumerations must have
// at most 64 values, numbered from 0.

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace zv {

template <class E>
class TSet {
  static_assert(std::is_enum_v<E>);

public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) fBits |= Bit(e);
  }
  static constexpr TSet FromBits(std::uint64_t bits) { TSet s; s.fBits = bits; return s; }

  constexpr bool Contains(E e) const { return (fBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return fBits == 0; }
  constexpr std::uint64_t Bits() const { return fBits; }

  constexpr TSet& Include(E e) { fBits |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { fBits &= ~Bit(e); return *this; }

  constexpr TSet operator+(TSet o) const { return FromBits(fBits | o.fBits); }
  constexpr TSet operator-(TSet o) const { return FromBits(fBits & ~o.fBits); }
  constexpr TSet operator*(TSet o) const { return FromBits(fBits & o.fBits); }
  constexpr TSet& operator+=(TSet o) { fBits |= o.fBits; return *this; }
  constexpr TSet& operator-=(TSet o) { fBits &= ~o.fBits; return *this; }
  constexpr TSet& operator*=(TSet o) { fBits &= o.fBits; return *this; }
  constexpr bool operator==(const TSet&) const = default;
  // Subset test, as the host's "<=" on sets.
  constexpr bool operator<=(TSet o) const { return (fBits & ~o.fBits) == 0; }

private:
  static constexpr std::uint64_t Bit(E e) {
    return std::uint64_t{1} << static_cast<unsigned>(static_cast<std::underlying_type_t<E>>(e));
  }
  std::uint64_t fBits = 0;
};

}  // namespace zv
