#include "platform/graphics/Geometry.h"
#include "platform/graphics/Region.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <climits>

using namespace zv;

TEST(Geometry, RectanglesExcludeRightAndBottom) {
  const TRect r = Rect(10, 20, 30, 25);
  EXPECT_EQ(r.Width(), 20);
  EXPECT_EQ(r.Height(), 5);
  EXPECT_TRUE(PtInRect(r, {10, 20}));
  EXPECT_TRUE(PtInRect(r, {29, 24}));
  EXPECT_FALSE(PtInRect(r, {30, 24}));
  EXPECT_FALSE(PtInRect(r, {29, 25}));
  EXPECT_EQ(Bounds(10, 20, 20, 5), r);
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 5, 10)));
  EXPECT_TRUE(IsRectEmpty(Rect(5, 5, 4, 10)));
  EXPECT_FALSE(IsRectEmpty(Rect(5, 5, 6, 6)));
}

TEST(Geometry, IntersectAndUnion) {
  TRect d;
  EXPECT_TRUE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(5, 5, 20, 20)));
  EXPECT_EQ(d, Rect(5, 5, 10, 10));
  // Touching rectangles share no pixel: the result is cleared.
  d = Rect(1, 2, 3, 4);
  EXPECT_FALSE(IntersectRect(d, Rect(0, 0, 10, 10), Rect(10, 0, 20, 10)));
  EXPECT_EQ(d, TRect{});
  EXPECT_TRUE(UnionRect(d, Rect(0, 0, 10, 10), Rect(20, 5, 30, 15)));
  EXPECT_EQ(d, Rect(0, 0, 30, 15));
  // An empty rectangle does not stretch the union.
  EXPECT_TRUE(UnionRect(d, Rect(100, 100, 100, 100), Rect(1, 1, 2, 2)));
  EXPECT_EQ(d, Rect(1, 1, 2, 2));
  EXPECT_FALSE(UnionRect(d, TRect{}, Rect(3, 3, 3, 9)));
}

TEST(Geometry, OffsetInflateAndOverflow) {
  TRect r = Rect(0, 0, 10, 10);
  OffsetRect(r, -5, 3);
  EXPECT_EQ(r, Rect(-5, 3, 5, 13));
  InflateRect(r, 2, -1);
  EXPECT_EQ(r, Rect(-7, 4, 7, 12));
  EXPECT_TRUE(EqualRect(r, Rect(-7, 4, 7, 12)));
  TRect big = Rect(0, 0, INT_MAX - 1, 10);
  EXPECT_THROW(OffsetRect(big, 5, 0), EIntOverflow);
  EXPECT_EQ(big, Rect(0, 0, INT_MAX - 1, 10));  // unchanged after the failure
  EXPECT_THROW(Rect(INT_MIN, 0, INT_MAX, 1).Width(), EIntOverflow);
  EXPECT_THROW(Bounds(INT_MAX, 0, 1, 1), EIntOverflow);
  EXPECT_EQ(FloorDiv(-7, 2), -4);
  EXPECT_EQ(FloorDiv(7, 2), 3);
  EXPECT_EQ(FloorDiv(-8, 2), -4);
}

TEST(Region, IntersectSubtractUnite) {
  TRegion r(Rect(0, 0, 10, 10));
  EXPECT_EQ(r.Complexity(), SIMPLEREGION);
  r.Subtract(Rect(3, 3, 6, 6));  // a hole
  EXPECT_EQ(r.Complexity(), COMPLEXREGION);
  EXPECT_FALSE(r.Contains({4, 4}));
  EXPECT_TRUE(r.Contains({2, 4}));
  EXPECT_TRUE(r.Contains({6, 6}));
  EXPECT_EQ(r.Bounds(), Rect(0, 0, 10, 10));
  r.Unite(Rect(3, 3, 6, 6));
  EXPECT_TRUE(r.SamePixels(TRegion(Rect(0, 0, 10, 10))));
  // Disjoint after overlapping unions: every pixel counted once.
  r.Unite(Rect(5, 5, 15, 15));
  long long area = 0;
  for (const TRect& part : r.Rects()) area += static_cast<long long>(part.Width()) * part.Height();
  EXPECT_EQ(area, 100 + 100 - 25);
  r.Intersect(Rect(8, 8, 12, 9));
  EXPECT_TRUE(r.SamePixels(TRegion(Rect(8, 8, 12, 9))));
  r.Intersect(Rect(50, 50, 60, 60));
  EXPECT_TRUE(r.IsEmpty());
  EXPECT_EQ(r.Complexity(), NULLREGION);
  EXPECT_TRUE(TRegion(Rect(5, 5, 5, 9)).IsEmpty());
}
