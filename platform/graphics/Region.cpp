#include "platform/graphics/Region.h"

#include <algorithm>

namespace zv {

namespace {
// Appends the parts of r outside cut (at most four bands) to out.
void SubtractInto(const TRect& r, const TRect& cut, std::vector<TRect>& out) {
  TRect common;
  if (!IntersectRect(common, r, cut)) {
    out.push_back(r);
    return;
  }
  if (r.Top < common.Top) out.push_back({r.Left, r.Top, r.Right, common.Top});
  if (common.Bottom < r.Bottom) out.push_back({r.Left, common.Bottom, r.Right, r.Bottom});
  if (r.Left < common.Left) out.push_back({r.Left, common.Top, common.Left, common.Bottom});
  if (common.Right < r.Right) out.push_back({common.Right, common.Top, r.Right, common.Bottom});
}
}  // namespace

TRegion::TRegion(const TRect& rect) {
  if (!rect.IsEmpty()) fRects.push_back(rect);
}

TRect TRegion::Bounds() const {
  TRect b;
  for (const TRect& r : fRects) UnionRect(b, b, r);
  return b;
}

bool TRegion::Contains(TPoint p) const {
  return std::any_of(fRects.begin(), fRects.end(), [p](const TRect& r) { return PtInRect(r, p); });
}

int TRegion::Complexity() const {
  if (fRects.empty()) return NULLREGION;
  return fRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void TRegion::Intersect(const TRect& rect) {
  std::vector<TRect> out;
  for (const TRect& r : fRects) {
    TRect common;
    if (IntersectRect(common, r, rect)) out.push_back(common);
  }
  fRects = std::move(out);
}

void TRegion::Intersect(const TRegion& other) {
  std::vector<TRect> out;
  for (const TRect& a : fRects)
    for (const TRect& b : other.fRects) {
      TRect common;
      if (IntersectRect(common, a, b)) out.push_back(common);
    }
  fRects = std::move(out);
}

void TRegion::Subtract(const TRect& rect) {
  if (rect.IsEmpty()) return;
  std::vector<TRect> out;
  for (const TRect& r : fRects) SubtractInto(r, rect, out);
  fRects = std::move(out);
}

void TRegion::Unite(const TRect& rect) {
  if (rect.IsEmpty()) return;
  // Mostly a region grows by what it already holds (a window's presented pixels): no pieces then.
  if (std::any_of(fRects.begin(), fRects.end(), [&rect](const TRect& r) {
        return r.Left <= rect.Left && r.Top <= rect.Top && rect.Right <= r.Right && rect.Bottom <= r.Bottom;
      }))
    return;
  // Keep the rectangles disjoint: add only the parts of rect not yet covered.
  std::vector<TRect> pieces{rect};
  for (const TRect& r : fRects) {
    std::vector<TRect> next;
    for (const TRect& p : pieces) SubtractInto(p, r, next);
    pieces = std::move(next);
    if (pieces.empty()) return;
  }
  fRects.insert(fRects.end(), pieces.begin(), pieces.end());
}

void TRegion::Offset(int dx, int dy) {
  for (TRect& r : fRects) OffsetRect(r, dx, dy);
}

bool TRegion::SamePixels(const TRegion& other) const {
  auto area = [](const std::vector<TRect>& rs) {
    long long a = 0;
    for (const TRect& r : rs) a += static_cast<long long>(r.Width()) * r.Height();
    return a;
  };
  TRegion common = *this;
  common.Intersect(other);
  const long long c = area(common.fRects);
  return c == area(fRects) && c == area(other.fRects);
}

}  // namespace zv
