#include "platform/graphics/Geometry.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

namespace zv {

int CheckedAdd(int a, int b) {
  int r;
  if (__builtin_add_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

int CheckedSub(int a, int b) {
  int r;
  if (__builtin_sub_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

int CheckedMul(int a, int b) {
  int r;
  if (__builtin_mul_overflow(a, b, &r)) throw EIntOverflow(SIntOverflow);
  return r;
}

int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int TRect::Width() const { return CheckedSub(Right, Left); }
int TRect::Height() const { return CheckedSub(Bottom, Top); }

TRect Bounds(int left, int top, int width, int height) {
  return {left, top, CheckedAdd(left, width), CheckedAdd(top, height)};
}

bool PtInRect(const TRect& rect, TPoint p) {
  return p.X >= rect.Left && p.X < rect.Right && p.Y >= rect.Top && p.Y < rect.Bottom;
}

bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty()) {
    dest = TRect{};
    return false;
  }
  dest = r;
  return true;
}

bool UnionRect(TRect& dest, const TRect& a, const TRect& b) {
  if (a.IsEmpty() && b.IsEmpty()) {
    dest = TRect{};
    return false;
  }
  if (a.IsEmpty()) {
    dest = b;
  } else if (b.IsEmpty()) {
    dest = a;
  } else {
    dest = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
            std::max(a.Bottom, b.Bottom)};
  }
  return true;
}

bool OffsetRect(TRect& rect, int dx, int dy) {
  rect = {CheckedAdd(rect.Left, dx), CheckedAdd(rect.Top, dy), CheckedAdd(rect.Right, dx),
          CheckedAdd(rect.Bottom, dy)};
  return true;
}

bool InflateRect(TRect& rect, int dx, int dy) {
  rect = {CheckedSub(rect.Left, dx), CheckedSub(rect.Top, dy), CheckedAdd(rect.Right, dx),
          CheckedAdd(rect.Bottom, dy)};
  return true;
}

bool IsRectEmpty(const TRect& rect) { return rect.IsEmpty(); }
bool EqualRect(const TRect& a, const TRect& b) { return a == b; }

}  // namespace zv
