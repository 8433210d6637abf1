#pragma once
// Points, sizes and rectangles as the host has them: a rectangle's right and bottom edges are
// exclusive, so Rect(0, 0, 10, 10) covers the pixels 0..9 in both directions. Arithmetic that
// would overflow an int raises EIntOverflow instead of wrapping.

namespace zv {

// Constructors rather than aggregates, so that TPoint(x, y) also compiles where parenthesized
// aggregate initialization is not available (Clang 14).
struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int x, int y) : X(x), Y(y) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int width, int height) : cx(width), cy(height) {}
  constexpr bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int left, int top, int right, int bottom) : Left(left), Top(top), Right(right), Bottom(bottom) {}

  int Width() const;   // Right - Left; raises on overflow
  int Height() const;  // Bottom - Top
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
// A rectangle from its origin and size.
TRect Bounds(int left, int top, int width, int height);

bool PtInRect(const TRect& rect, TPoint point);
// The common part of a and b; an empty intersection sets dest to (0,0,0,0) and returns false.
bool IntersectRect(TRect& dest, const TRect& a, const TRect& b);
// The smallest rectangle holding both; empty rectangles do not count. False when both are empty.
bool UnionRect(TRect& dest, const TRect& a, const TRect& b);
bool OffsetRect(TRect& rect, int dx, int dy);
// Grows every side outwards by dx, dy (shrinks for negative values).
bool InflateRect(TRect& rect, int dx, int dy);
bool IsRectEmpty(const TRect& rect);
bool EqualRect(const TRect& a, const TRect& b);

// Overflow-checked int arithmetic shared by the graphics code.
int CheckedAdd(int a, int b);
int CheckedSub(int a, int b);
int CheckedMul(int a, int b);
// Division rounding towards minus infinity (centring must not depend on the sign).
int FloorDiv(int a, int b);

}  // namespace zv
