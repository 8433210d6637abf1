// Canvas shapes, pen modes, clipping, origins and raster operations, checked on pixels.

#include "NullCanvasFixture.h"

#include "platform/graphics/GraphicsConsts.h"

using namespace zvtest;

using CanvasTest = NullCanvasTest;

TEST_F(CanvasTest, ShapesExcludeRightAndBottom) {
  canvas->Brush()->SetColor(clRed);
  canvas->Rectangle(10, 10, 20, 15);
  EXPECT_EQ(Px(10, 10), clBlack);
  EXPECT_EQ(Px(19, 14), clBlack);
  EXPECT_EQ(Px(20, 14), clWhite);
  EXPECT_EQ(Px(19, 15), clWhite);
  EXPECT_EQ(Px(15, 12), clRed);
  // Without a pen the host fills one pixel less to the right and bottom.
  canvas->Pen()->SetStyle(psClear);
  canvas->Rectangle(30, 10, 40, 15);
  EXPECT_EQ(Px(30, 10), clRed);
  EXPECT_EQ(Px(38, 13), clRed);
  EXPECT_EQ(Px(39, 13), clWhite);
  EXPECT_EQ(Px(38, 14), clWhite);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Ellipse(70, 10, 90, 30);
  EXPECT_EQ(Px(80, 20), clRed);
  EXPECT_EQ(Px(70, 10), clWhite);
  EXPECT_EQ(Px(70, 20), clBlack);
  EXPECT_EQ(Px(89, 20), clBlack);
  EXPECT_EQ(Px(90, 20), clWhite);
  const TPoint square[] = {{50, 10}, {60, 10}, {60, 20}, {50, 20}};
  canvas->Polygon(square);
  EXPECT_EQ(Px(55, 15), clRed);
  EXPECT_EQ(Px(60, 15), clBlack);  // the closed outline passes through every vertex
  EXPECT_EQ(Px(50, 10), clBlack);
  EXPECT_EQ(Px(61, 15), clWhite);
  canvas->Brush()->SetColor(clBlue);
  canvas->FrameRect(Rect(0, 30, 5, 35));
  EXPECT_EQ(Px(0, 30), clBlue);
  EXPECT_EQ(Px(4, 34), clBlue);
  EXPECT_EQ(Px(2, 32), clWhite);
  EXPECT_EQ(Px(5, 34), clWhite);
  // Far larger than the surface: drawn by the visible part only.
  canvas->Brush()->SetColor(clLime);
  canvas->Rectangle(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(Px(50, 30), clLime);
  canvas->Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPoint) {
  canvas->MoveTo(0, 20);
  canvas->LineTo(10, 20);
  EXPECT_EQ(Px(9, 20), clBlack);
  EXPECT_EQ(Px(10, 20), clWhite);
  EXPECT_EQ(canvas->PenPos(), Point(10, 20));
  canvas->LineTo(20, 30);
  EXPECT_EQ(Px(10, 20), clBlack);
  EXPECT_EQ(Px(19, 29), clBlack);
  EXPECT_EQ(Px(20, 30), clWhite);
  canvas->Pen()->SetWidth(3);
  canvas->MoveTo(30, 40);
  canvas->LineTo(40, 40);
  EXPECT_EQ(Px(35, 39), clBlack);
  EXPECT_EQ(Px(35, 41), clBlack);
  EXPECT_EQ(Px(35, 42), clWhite);
  // A huge line is cut to the surface, not walked pixel by pixel.
  canvas->Pen()->SetWidth(1);
  canvas->MoveTo(-2000000000, 50);
  canvas->LineTo(2000000000, 50);
  EXPECT_EQ(Px(0, 50), clBlack);
  EXPECT_EQ(Px(99, 50), clBlack);
}

// Copy-mode lines along the axes take a shortcut; over white a mask-mode pen takes the general
// path and must leave the same pixels, also clipped and partly off the surface.
TEST_F(CanvasTest, AxisLinesMatchTheGeneralPath) {
  struct Case {
    std::vector<TPoint> Path;
    TRect Clip;
  };
  const Case cases[] = {
      {{{5, 5}, {40, 5}}, {}},
      {{{40, 8}, {5, 8}}, {}},
      {{{7, 50}, {7, 10}}, {}},
      {{{2, 2}, {60, 2}, {60, 40}, {2, 40}, {2, 3}}, {}},
      {{{-10, 20}, {200, 20}, {200, -5}}, {}},
      {{{0, 30}, {99, 30}, {99, 59}}, {10, 0, 50, 45}},
      {{{20, 20}, {20, 20}, {30, 20}}, {}},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    TBitmap masked;
    masked.SetSize(100, 60);
    masked.Canvas()->Brush()->SetColor(clWhite);
    masked.Canvas()->FillRect({0, 0, 100, 60});
    canvas->FillRect({0, 0, 100, 60});
    for (TCanvas* c : {canvas, masked.Canvas()}) {
      c->Pen()->SetColor(clTeal);
      c->Pen()->SetMode(c == canvas ? pmCopy : pmMask);
      if (!cases[i].Clip.IsEmpty())
        IntersectClipRect(*c, cases[i].Clip.Left, cases[i].Clip.Top, cases[i].Clip.Right, cases[i].Clip.Bottom);
      c->Polyline(cases[i].Path);
      SelectClipRgn(*c, nullptr);
    }
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) ASSERT_EQ(Px(x, y), masked.Canvas()->Pixels(x, y)) << "case " << i << " at " << x << "," << y;
  }
}

// A single segment along an axis, up to two pixels wide, is drawn as a bar in any pen mode; the
// same segment split at a point on it takes the general path (joints composed once) and must
// leave the same pixels, over a background of many colours, clipped and partly off the surface.
TEST_F(CanvasTest, AxisBarsInEveryModeMatchTheGeneralPath) {
  struct Case {
    TPoint From, To;
    int Width;
    TPenMode Mode;
    TRect Clip;
  };
  const Case cases[] = {
      {{30, 0}, {30, 60}, 2, pmXor, {}},        {{30, 59}, {30, 3}, 2, pmXor, {}},
      {{4, 20}, {90, 20}, 2, pmNot, {}},        {{90, 25}, {4, 25}, 1, pmMerge, {}},
      {{99, -10}, {99, 70}, 2, pmXor, {}},      {{-5, 59}, {50, 59}, 2, pmNotXor, {}},
      {{50, 5}, {50, 55}, 2, pmXor, {0, 10, 51, 30}}, {{10, 40}, {80, 40}, 1, pmMask, {20, 0, 60, 60}},
  };
  TBitmap general;
  general.SetSize(100, 60);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& k = cases[i];
    for (TCanvas* c : {canvas, general.Canvas()}) {
      for (int y = 0; y < 60; y += 3)
        for (int x = 0; x < 100; x += 5) {
          c->Brush()->SetColor(RGB(x * 2, y * 4, (x * y) & 0xFF));
          c->FillRect({x, y, x + 5, y + 3});
        }
      c->Pen()->SetColor(clTeal);
      c->Pen()->SetWidth(k.Width);
      c->Pen()->SetMode(k.Mode);
      if (!k.Clip.IsEmpty()) IntersectClipRect(*c, k.Clip.Left, k.Clip.Top, k.Clip.Right, k.Clip.Bottom);
      const TPoint mid{(k.From.X + k.To.X) / 2, (k.From.Y + k.To.Y) / 2};
      if (c == canvas) {
        const TPoint bar[] = {k.From, k.To};
        c->Polyline(bar);
      } else {
        const TPoint split[] = {k.From, mid, k.To};
        c->Polyline(split);
      }
      SelectClipRgn(*c, nullptr);
    }
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x)
        ASSERT_EQ(Px(x, y), general.Canvas()->Pixels(x, y)) << "case " << i << " at " << x << "," << y;
  }
}

TEST_F(CanvasTest, PenModesAndDashes) {
  canvas->Pen()->SetColor(clWhite);
  canvas->Pen()->SetMode(pmXor);
  const TPoint path[] = {{0, 40}, {10, 40}, {10, 50}};
  canvas->Polyline(path);
  EXPECT_EQ(Px(5, 40), clBlack);
  EXPECT_EQ(Px(10, 40), clBlack);  // the joint is drawn once, not cancelled
  EXPECT_EQ(Px(10, 50), clWhite);
  canvas->Polyline(path);
  EXPECT_EQ(Px(10, 40), clWhite);
  EXPECT_EQ(Px(5, 40), clWhite);
  canvas->Pen()->SetMode(pmNot);
  canvas->Brush()->SetColor(clYellow);
  canvas->Rectangle(20, 40, 25, 45);  // the mode applies to the interior too
  EXPECT_EQ(Px(20, 40), clBlack);
  EXPECT_EQ(Px(22, 42), clBlack);
  canvas->Pen()->SetMode(pmNop);
  canvas->Rectangle(30, 40, 35, 45);
  EXPECT_EQ(Px(32, 42), clWhite);

  // Dotted: three on, three off; the gaps take the brush colour unless it is clear.
  canvas->Pen()->SetMode(pmCopy);
  canvas->Pen()->SetColor(clBlack);
  canvas->Pen()->SetStyle(psDot);
  canvas->MoveTo(0, 55);
  canvas->LineTo(30, 55);
  EXPECT_EQ(Px(2, 55), clBlack);
  EXPECT_EQ(Px(3, 55), clYellow);
  EXPECT_EQ(Px(6, 55), clBlack);
  canvas->Brush()->SetStyle(bsClear);
  canvas->MoveTo(0, 57);
  canvas->LineTo(30, 57);
  EXPECT_EQ(Px(2, 57), clBlack);
  EXPECT_EQ(Px(3, 57), clWhite);
}

TEST_F(CanvasTest, TextOutAndTextRect) {
  canvas->TextOut(5, 5, "abc");
  EXPECT_EQ(canvas->PenPos(), Point(23, 5));
  EXPECT_EQ(canvas->TextExtent("abc"), (TSize{18, 13}));
  EXPECT_EQ(canvas->TextWidth("日本"), 24);
  EXPECT_EQ(canvas->TextWidth("e\u0301"), 6);
  canvas->Font()->SetStyle({fsBold});
  EXPECT_EQ(canvas->TextWidth("abc"), 21);
  TTextMetric tm;
  GetTextMetrics(*canvas, tm);
  EXPECT_EQ(tm.tmHeight, 13);
  EXPECT_EQ(tm.tmAscent, 11);
  EXPECT_EQ(tm.tmInternalLeading, 2);
  EXPECT_EQ(tm.tmAveCharWidth, 7);
  canvas->Font()->SetStyle({});
  // TextRect fills all of its rectangle and clips the text to it.
  canvas->Brush()->SetColor(clGreen);
  canvas->TextRect(Rect(0, 20, 20, 33), 2, 20, "abcdef");
  EXPECT_EQ(Px(19, 32), clGreen);
  EXPECT_EQ(Px(4, 25), clBlack);
  EXPECT_EQ(Px(21, 25), clWhite);
  const auto ops = Surface().TopLevelOps();
  ASSERT_EQ(ops.back().Kind, TPaintOpKind::TextRect);
  EXPECT_EQ(ops.back().Text, "abcdef");
  EXPECT_EQ(ops.back().Background, clGreen);
}

TEST_F(CanvasTest, ClippingSaveAndRestore) {
  EXPECT_EQ(canvas->ClipRect(), Rect(0, 0, 100, 60));
  EXPECT_EQ(IntersectClipRect(*canvas, 10, 10, 20, 20), SIMPLEREGION);
  EXPECT_EQ(ExcludeClipRect(*canvas, 12, 12, 15, 15), COMPLEXREGION);
  EXPECT_EQ(canvas->ClipRect(), Rect(10, 10, 20, 20));
  const int level = SaveDC(*canvas);
  EXPECT_EQ(level, 1);
  EXPECT_EQ(IntersectClipRect(*canvas, 0, 0, 11, 11), SIMPLEREGION);
  EXPECT_EQ(canvas->ClipRect(), Rect(10, 10, 11, 11));
  EXPECT_EQ(SaveDC(*canvas), 2);
  EXPECT_EQ(IntersectClipRect(*canvas, 50, 50, 60, 60), NULLREGION);
  EXPECT_TRUE(RestoreDC(*canvas, level));  // drops the later save too
  EXPECT_FALSE(RestoreDC(*canvas, -1));
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, 100, 60));
  EXPECT_EQ(Px(10, 10), clRed);
  EXPECT_EQ(Px(19, 19), clRed);
  EXPECT_EQ(Px(13, 13), clWhite);
  EXPECT_EQ(Px(9, 10), clWhite);
  EXPECT_EQ(Px(20, 19), clWhite);
  SelectClipRgn(*canvas, nullptr);
  EXPECT_EQ(canvas->ClipRect(), Rect(0, 0, 100, 60));
  EXPECT_FALSE(RestoreDC(*canvas, 3));
}

TEST_F(CanvasTest, ViewportOriginMovesDrawingAndClipping) {
  TPoint old;
  SetViewportOrgEx(*canvas, 10, 5, &old);
  EXPECT_EQ(old, Point(0, 0));
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(canvas->Pixels(0, 0), clBlue);
  EXPECT_EQ(Surface().Pixels().At(10, 5), ColorToPixel(clBlue));
  EXPECT_EQ(Surface().Pixels().At(9, 5), ColorToPixel(clWhite));
  EXPECT_EQ(Surface().TopLevelOps().back().Rect, Rect(10, 5, 15, 10));  // recorded in device pixels
  IntersectClipRect(*canvas, 0, 0, 3, 3);
  EXPECT_EQ(canvas->ClipRect(), Rect(0, 0, 3, 3));
  const int saved = SaveDC(*canvas);
  SetViewportOrgEx(*canvas, 0, 0, nullptr);
  EXPECT_EQ(canvas->ClipRect(), Rect(10, 5, 13, 8));
  RestoreDC(*canvas, saved);
  TPoint now;
  GetViewportOrgEx(*canvas, now);
  EXPECT_EQ(now, Point(10, 5));
}

TEST_F(CanvasTest, BitBltRasterOperations) {
  TBitmap src;
  src.SetSize(4, 1);
  const TColor s[] = {RGB(0xFF, 0, 0), RGB(0x0F, 0xF0, 0x55), clWhite, clBlack};
  for (int x = 0; x < 4; ++x) src.Canvas()->SetPixels(x, 0, s[x]);
  const TColor d = RGB(0x3C, 0xA5, 0x0F);
  const TColor p = RGB(0x11, 0x22, 0x33);
  struct Case {
    std::uint32_t rop;
    TColor (*expect)(TColor s, TColor d, TColor p);
  };
  const Case cases[] = {
      {SRCCOPY, [](TColor s, TColor, TColor) { return s; }},
      {SRCAND, [](TColor s, TColor d, TColor) { return s & d; }},
      {SRCPAINT, [](TColor s, TColor d, TColor) { return s | d; }},
      {SRCINVERT, [](TColor s, TColor d, TColor) { return s ^ d; }},
      {SRCERASE, [](TColor s, TColor d, TColor) { return s & (~d & 0xFFFFFF); }},
      {NOTSRCCOPY, [](TColor s, TColor, TColor) { return ~s & 0xFFFFFF; }},
      {MERGEPAINT, [](TColor s, TColor d, TColor) { return (~s & 0xFFFFFF) | d; }},
      {DSTINVERT, [](TColor, TColor d, TColor) { return ~d & 0xFFFFFF; }},
      {PATCOPY, [](TColor, TColor, TColor p) { return p; }},
      {PATINVERT, [](TColor, TColor d, TColor p) { return p ^ d; }},
      {BLACKNESS, [](TColor, TColor, TColor) { return TColor(0); }},
      {WHITENESS, [](TColor, TColor, TColor) { return TColor(0xFFFFFF); }},
  };
  canvas->Brush()->SetColor(p);
  int row = 0;
  for (const Case& c : cases) {
    FillRect(*canvas, Rect(0, row, 4, row + 1), d);
    EXPECT_TRUE(BitBlt(*canvas, 0, row, 4, 1, src.Canvas(), 0, 0, c.rop));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(x, row), c.expect(s[x], d, p)) << std::hex << c.rop << " x=" << x;
    ++row;
  }
  EXPECT_FALSE(BitBlt(*canvas, 0, 0, 4, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(PatBlt(*canvas, 10, 0, 2, 1, DSTINVERT));
  EXPECT_EQ(Px(10, 0), clBlack);
}

TEST_F(CanvasTest, OverlappingBlitScrollsAndCopyRectStretches) {
  for (int x = 0; x < 6; ++x) canvas->SetPixels(x, 0, RGB(x * 40, 0, 0));
  BitBlt(*canvas, 1, 0, 5, 1, canvas, 0, 0, SRCCOPY);  // scroll right by one
  for (int x = 1; x < 6; ++x) EXPECT_EQ(Px(x, 0), RGB((x - 1) * 40, 0, 0));
  TBitmap src;
  src.SetSize(2, 1);
  src.Canvas()->SetPixels(0, 0, clRed);
  src.Canvas()->SetPixels(1, 0, clBlue);
  canvas->CopyRect(Rect(10, 10, 14, 12), src.Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(Px(10, 10), clRed);
  EXPECT_EQ(Px(11, 11), clRed);
  EXPECT_EQ(Px(12, 10), clBlue);
  EXPECT_EQ(Px(13, 11), clBlue);
  EXPECT_EQ(Px(14, 11), clWhite);
  canvas->SetCopyMode(cmSrcInvert);
  canvas->CopyRect(Rect(10, 10, 14, 12), src.Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(Px(10, 10), clBlack);
}

TEST(Canvas, WithoutADeviceRefusesToDraw) {
  TCanvas c;
  try {
    c.FillRect(Rect(0, 0, 1, 1));
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Canvas does not allow drawing");
  }
  EXPECT_FALSE(c.HandleAllocated());
  auto previous = SetGraphicsBackend(nullptr);
  TBitmap b;
  b.SetSize(2, 2);  // the surface is made on first use
  EXPECT_THROW(b.Canvas()->FillRect(Rect(0, 0, 1, 1)), EInvalidGraphicOperation);
  SetGraphicsBackend(std::move(previous));
}
