#pragma once
// TRegion: a set of pixels kept as disjoint rectangles; what clipping is made of.

#include "platform/graphics/Geometry.h"

#include <vector>

namespace zv {

// Windows region complexity codes, returned by the clipping routines.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };

class TRegion {
public:
  TRegion() = default;
  explicit TRegion(const TRect& rect);

  bool IsEmpty() const { return fRects.empty(); }
  // The disjoint rectangles, in no particular order.
  const std::vector<TRect>& Rects() const { return fRects; }
  TRect Bounds() const;
  bool Contains(TPoint p) const;
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;

  void Intersect(const TRect& rect);
  void Intersect(const TRegion& other);
  void Subtract(const TRect& rect);
  void Unite(const TRect& rect);
  void Offset(int dx, int dy);

  // Same pixel set (whatever the decomposition).
  bool SamePixels(const TRegion& other) const;

private:
  std::vector<TRect> fRects;
};

}  // namespace zv
