#pragma once
// Proportional redistribution of widths: the columns of one level, or the groups of one part of
// the grid, share a change in proportion to their widths, within their bounds.

#include <cstdint>
#include <vector>

namespace zv::griddetail {

// a × b / c rounded to the nearest integer, halves away from zero, in 64 bits; 0 when c is 0.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c);

struct TScaleableItem {
  int Value = 0;
  int Min = 0;
  int Max = 0;
  bool Saturated = false;  // reached a bound; later passes skip it, a sweep only moves it back
};

class TScaleableItems {
public:
  static constexpr int MaxValue = 0x0FFFFFFF;

  // A fixed item never changes (its bounds are its value). Returns the item's index.
  int Add(int value, bool fixed, int min, int max = MaxValue);
  int Count() const { return static_cast<int>(fItems.size()); }
  const TScaleableItem& operator[](int i) const { return fItems[static_cast<std::size_t>(i)]; }
  int Sum() const;

  // Without an anchor (-1) the items share target - Sum(). With one, the anchor takes target
  // (within its bounds) and the items after it, then those before it, absorb the difference;
  // with giveBack, whatever they cannot absorb returns to the anchor.
  void Scale(int target, int anchor, bool giveBack);

private:
  // Absorbs amount into [from, to); returns what is left.
  std::int64_t Absorb(int from, int to, std::int64_t amount, bool sweepToTheEnd);

  std::vector<TScaleableItem> fItems;
};

}  // namespace zv::griddetail
