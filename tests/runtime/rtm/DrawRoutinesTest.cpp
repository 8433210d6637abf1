// The shared painting routines on the recording null backend: which operations they make,
// where, and with which flags; pixels where the result matters more than the calls.

#include "NullCanvasFixture.h"

#include "platform/graphics/GraphicsBackend.h"
#include "runtime/rtm/DrawRoutines.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace zv;

namespace {

class DrawRoutinesTest : public zvtest::NullCanvasTest {
protected:
  DrawRoutinesTest() : NullCanvasTest(120, 80) {}
  std::vector<TPaintOp> Top(TPaintOpKind kind) {
    std::vector<TPaintOp> out;
    for (const auto& op : Surface().TopLevelOps())
      if (op.Kind == kind) out.push_back(op);
    return out;
  }
  // Top-level operations other than the face fill.
  std::vector<TPaintOp> Drawn() {
    auto ops = Surface().TopLevelOps();
    if (!ops.empty() && ops.front().Kind == TPaintOpKind::FillRect) ops.erase(ops.begin());
    return ops;
  }
  int CountColor(const TRect& r, TColor color) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += Px(x, y) == ColorToRGB(color);
    return n;
  }
};

}  // namespace

TEST_F(DrawRoutinesTest, SingleLineTextFlagsAndIndents) {
  vprDrawText(*canvas, {10, 10, 90, 40}, "abc", taRightJustify, tlCenter, 3, 4, false, true, false);
  auto ops = Top(TPaintOpKind::DrawText);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect, Rect(13, 10, 86, 40));
  EXPECT_EQ(ops[0].Text, "abc");
  EXPECT_EQ(ops[0].Flags, DT_NOPREFIX | DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);

  Surface().ClearOps();
  vprDrawText(*canvas, {0, 0, 50, 20}, "x", taCenter, tlBottom, 0, 0, false, false, true, DT_NOPREFIX);
  ops = Top(TPaintOpKind::DrawText);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Flags, DT_CENTER | DT_BOTTOM | DT_SINGLELINE | DT_EDITCONTROL);

  Surface().ClearOps();
  vprDrawText(*canvas, {0, 0, 50, 20}, "x", taLeftJustify, tlTop, 0, 0, false, false, false);
  EXPECT_EQ(Top(TPaintOpKind::DrawText).at(0).Flags, DT_NOPREFIX | DT_SINGLELINE);
}

TEST_F(DrawRoutinesTest, WrappedTextIsPlacedByLayoutAsABlockCutToItsRectangle) {
  // 6 pixels a character and 13 a line: three lines of three letters in 40 pixels.
  struct Case {
    TRect rect;
    const char* text;
    TLayout layout;
    int left, indent, firstTop, lines;
  } cases[] = {
      {{0, 0, 40, 60}, "aaa bbb ccc", tlTop, 0, 0, 0, 3},
      {{0, 0, 40, 60}, "aaa bbb ccc", tlCenter, 0, 0, 10, 3},
      {{0, 0, 40, 60}, "aaa bbb ccc", tlBottom, 0, 0, 21, 3},
      // Taller than the rectangle: from its top whatever the layout; indents narrow it.
      {{5, 5, 45, 25}, "aaa bbb ccc", tlCenter, 7, 2, 5, 3},
      {{5, 5, 45, 25}, "aaa bbb ccc", tlBottom, 7, 2, 5, 3},
      {{0, 0, 40, 16}, "a", tlCenter, 0, 0, 1, 1},  // an odd gap rounds towards the top
  };
  for (const Case& c : cases) {
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 100, 60));
    Surface().ClearOps();
    vprDrawText(*canvas, c.rect, c.text, taLeftJustify, c.layout, c.indent, c.indent, true, false, false);
    SCOPED_TRACE(testing::Message() << c.text << " layout " << c.layout << " in " << c.rect.Height());
    ASSERT_EQ(Top(TPaintOpKind::DrawText).size(), 1u) << "laid out once";
    const auto runs = Surface().OpsOf(TPaintOpKind::TextOut);
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(c.lines));
    EXPECT_EQ(runs.front().Rect.Left, c.left);
    EXPECT_EQ(runs.front().Rect.Top, c.firstTop);
    // Nothing of a cut line shows below the rectangle.
    for (int y = c.rect.Bottom; y < 60; ++y)
      for (int x = 0; x < 100; ++x) ASSERT_EQ(Px(x, y), clWhite) << x << "," << y;
  }
}

TEST_F(DrawRoutinesTest, CalcTextRectPlacesAndCuts) {
  const TRect outer{0, 0, 100, 51};
  TRect t{5, 7, 50, 27};
  CalcTextRect(outer, t, tlTop);
  EXPECT_EQ(t, Rect(5, 0, 50, 20));
  CalcTextRect(outer, t, tlCenter);
  EXPECT_EQ(t, Rect(5, 15, 50, 35));
  CalcTextRect(outer, t, tlBottom);
  EXPECT_EQ(t, Rect(5, 31, 50, 51));
  for (TLayout layout : {tlTop, tlCenter, tlBottom}) {
    TRect tall{5, -10, 50, 90};
    CalcTextRect(outer, tall, layout);
    EXPECT_EQ(tall, Rect(5, 0, 50, 51)) << layout;
  }
}

TEST_F(DrawRoutinesTest, BitmapPlacementInAllNineLayouts) {
  struct Case {
    TImageLayout layout;
    TRect bitmap;
    TRect free;
  } cases[] = {
      {ilLeft, {10, 41, 26, 57}, {29, 20, 110, 80}},        {ilLeftTop, {10, 20, 26, 36}, {10, 39, 110, 80}},
      {ilTop, {51, 20, 67, 36}, {10, 39, 110, 80}},         {ilRightTop, {93, 20, 109, 36}, {10, 39, 110, 80}},
      {ilRight, {93, 41, 109, 57}, {10, 20, 91, 80}},       {ilRightBottom, {93, 63, 109, 79}, {10, 20, 110, 61}},
      {ilBottom, {51, 63, 67, 79}, {10, 20, 110, 61}},      {ilLeftBottom, {10, 63, 26, 79}, {10, 20, 110, 61}},
      {ilCenter, {51, 41, 67, 57}, {10, 20, 110, 80}},
  };
  for (const auto& c : cases) {
    TRect free{10, 20, 110, 80};
    TRect bmp{0, 0, 16, 16};
    CalcBitmapRect(free, bmp, c.layout);
    EXPECT_EQ(bmp, c.bitmap) << c.layout;
    EXPECT_EQ(free, c.free) << c.layout;
  }
  // A bitmap larger than the free room is cut to it first.
  TRect free{0, 0, 10, 8};
  TRect bmp{3, 3, 19, 19};
  CalcBitmapRect(free, bmp, ilLeft);
  EXPECT_EQ(bmp, Rect(0, 0, 10, 8));
  EXPECT_EQ(free, Rect(13, 0, 10, 8));
  // No room at all: an empty bitmap rectangle, never a negative one.
  TRect none{0, 0, 0, 0};
  TRect b2{0, 0, 16, 16};
  CalcBitmapRect(none, b2, ilCenter);
  EXPECT_EQ(b2.Width(), 0);
  EXPECT_EQ(b2.Height(), 0);
}

TEST_F(DrawRoutinesTest, DrawBitmapAndFocusRectKeepCanvasColours) {
  TBitmap glyph;
  glyph.SetSize(4, 3);
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect({0, 0, 4, 3});
  canvas->Brush()->SetColor(clRed);
  canvas->Font()->SetColor(clBlue);
  DrawBitmap(*canvas, 5, 6, glyph);
  EXPECT_EQ(Px(5, 6), clLime);
  EXPECT_EQ(Px(8, 8), clLime);
  EXPECT_EQ(Px(9, 6), clWhite);
  EXPECT_EQ(Px(5, 9), clWhite);
  EXPECT_EQ(canvas->Brush()->Color(), clRed);
  EXPECT_EQ(canvas->Font()->Color(), clBlue);

  Surface().ClearOps();
  vprDrawFocusRect(*canvas, {20, 20, 40, 30});
  const auto ops = Top(TPaintOpKind::DrawFocusRect);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect, Rect(20, 20, 40, 30));
  EXPECT_NE(CountColor({20, 20, 40, 30}, clWhite), 200);
  vprDrawFocusRect(*canvas, {20, 20, 40, 30});
  EXPECT_EQ(CountColor({20, 20, 40, 30}, clWhite), 200);  // twice restores
  EXPECT_EQ(canvas->Brush()->Color(), clRed);
  EXPECT_EQ(canvas->Font()->Color(), clBlue);
}

TEST_F(DrawRoutinesTest, FramesRaisedFlatAndSoft) {
  const TRect r{10, 10, 30, 25};
  vprDrawFrame(*canvas, r, false, false);
  auto ops = Top(TPaintOpKind::DrawEdge);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Edge, EDGE_RAISED);
  EXPECT_EQ(ops[0].Flags, BF_RECT);
  EXPECT_EQ(ops[0].Rect, r);

  Surface().ClearOps();
  vprDrawFrame(*canvas, r, true, true);  // down wins over soft
  ops = Top(TPaintOpKind::DrawEdge);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Flags, BF_RECT | BF_FLAT);

  Surface().ClearOps();
  vprDrawFrame(*canvas, r, false, true);
  ops = Top(TPaintOpKind::DrawEdge);
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].Edge, BDR_RAISEDINNER);
  EXPECT_EQ(ops[0].Flags, BF_TOP);
  EXPECT_EQ(ops[1].Edge, EDGE_RAISED);
  EXPECT_EQ(ops[1].Flags, BF_LEFT);
  EXPECT_EQ(ops[2].Edge, BDR_RAISEDINNER);
  EXPECT_EQ(ops[2].Flags, BF_RIGHT | BF_BOTTOM);
  for (const auto& op : ops) EXPECT_EQ(op.Rect, r);
}

TEST_F(DrawRoutinesTest, DropDownButtonStates) {
  const TRect r{10, 10, 27, 31};
  canvas->Brush()->SetColor(clYellow);
  vprDrawButton(vbkDropDown, 0, *canvas, r);
  EXPECT_EQ(canvas->Brush()->Color(), clYellow);
  auto ops = Surface().TopLevelOps();
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].Kind, TPaintOpKind::FillRect);
  EXPECT_EQ(ops[0].Rect, r);
  EXPECT_EQ(ops[0].Brush.Color, ColorToRGB(clBtnFace));
  EXPECT_EQ(ops[1].Kind, TPaintOpKind::DrawEdge);
  EXPECT_EQ(ops[1].Flags, BF_RECT);
  EXPECT_EQ(ops[2].Kind, TPaintOpKind::BitBlt);
  EXPECT_EQ(ops[2].Rect, Rect(12, 12, 25, 29));
  const TRect arrow{12, 12, 25, 29};
  EXPECT_GT(CountColor(arrow, clBtnText), 0);  // the arrow, without the picture's own frame
  EXPECT_EQ(CountColor({12, 12, 25, 13}, clBtnFace), 13);  // no frame line on the top row
  EXPECT_EQ(CountColor({12, 12, 13, 29}, clBtnFace), 17);  // nor on the left

  Surface().ClearOps();
  vprDrawButton(vbkDropDown, vbsPressed, *canvas, r);
  ops = Drawn();
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].Flags, BF_RECT | BF_FLAT);
  EXPECT_EQ(ops[1].Rect, Rect(12, 13, 25, 30));  // one pixel down

  Surface().ClearOps();
  vprDrawButton(vbkDropDown, vbsDisabled, *canvas, r);
  EXPECT_EQ(CountColor(arrow, clBtnText), 0);
  EXPECT_GT(CountColor(arrow, clBtnShadow), 0);

  Surface().ClearOps();
  vprDrawButton(vbkDropDown, vbsPressed | vbsMono, *canvas, r);
  ops = Drawn();
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].Kind, TPaintOpKind::FrameRect);
  EXPECT_EQ(ops[0].Rect, r);
  EXPECT_EQ(ops[0].Brush.Color, ColorToRGB(clWindow));
  EXPECT_EQ(ops[1].Kind, TPaintOpKind::InvertRect);
  EXPECT_EQ(ops[1].Rect, Rect(11, 11, 26, 30));
  EXPECT_EQ(ops[2].Rect, Rect(12, 12, 25, 29));  // mono: no offset

  Surface().ClearOps();
  vprDrawButton(vbkDropDown, vbsSoft, *canvas, r);
  EXPECT_EQ(Top(TPaintOpKind::DrawEdge).size(), 3u);
  Surface().ClearOps();
  vprDrawButton(vbkDropDown, vbsSoft | vbsPressed, *canvas, r);
  EXPECT_EQ(Top(TPaintOpKind::DrawEdge).size(), 1u);
}

TEST_F(DrawRoutinesTest, EllipsisDotsSpacingAndStates) {
  auto dots = [&] {
    auto fills = Top(TPaintOpKind::FillRect);
    fills.erase(fills.begin());  // the face
    return fills;
  };
  vprDrawButton(vbkEllipsis, 0, *canvas, {0, 0, 16, 20});
  auto d = dots();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].Rect, Rect(4, 9, 6, 11));
  EXPECT_EQ(d[1].Rect, Rect(7, 9, 9, 11));  // 1 pixel apart when narrower than 17
  EXPECT_EQ(d[2].Rect, Rect(10, 9, 12, 11));
  EXPECT_EQ(d[0].Brush.Color, ColorToRGB(clBtnText));

  Surface().ClearOps();
  vprDrawButton(vbkEllipsis, vbsPressed | vbsDisabled, *canvas, {0, 0, 17, 20});
  d = dots();
  ASSERT_EQ(d.size(), 3u);
  EXPECT_EQ(d[0].Rect, Rect(3, 10, 5, 12));
  EXPECT_EQ(d[1].Rect, Rect(7, 10, 9, 12));  // 2 apart from 17 pixels on
  EXPECT_EQ(d[2].Rect, Rect(11, 10, 13, 12));
  EXPECT_EQ(d[0].Brush.Color, ColorToRGB(clGrayText));
}

TEST_F(DrawRoutinesTest, SpinButtonHalvesAndGlyph) {
  vprDrawButton(vbkSpin, 0, *canvas, {0, 0, 17, 20});
  auto ops = Drawn();
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_EQ(ops[0].Rect, Rect(0, 0, 17, 10));
  EXPECT_EQ(ops[0].Flags, BF_RECT);
  EXPECT_EQ(ops[1].Rect, Rect(0, 10, 17, 20));
  EXPECT_EQ(ops[1].Flags, BF_RECT);
  EXPECT_EQ(ops[2].Rect, Rect(2, 2, 15, 8));
  EXPECT_EQ(ops[3].Rect, Rect(2, 12, 15, 18));

  Surface().ClearOps();
  vprDrawButton(vbkSpin, vbsLowerPressed, *canvas, {0, 0, 17, 20});
  ops = Drawn();
  ASSERT_EQ(ops.size(), 4u);
  EXPECT_EQ(ops[0].Flags, BF_RECT);
  EXPECT_EQ(ops[1].Flags, BF_RECT | BF_FLAT);
  EXPECT_EQ(ops[2].Rect, Rect(2, 2, 15, 8));
  EXPECT_EQ(ops[3].Rect, Rect(2, 13, 15, 19));

  Surface().ClearOps();
  vprDrawButton(vbkSpin, vbsPressed | vbsMono, *canvas, {0, 0, 17, 20});
  EXPECT_EQ(Top(TPaintOpKind::FrameRect).size(), 2u);
  ASSERT_EQ(Top(TPaintOpKind::InvertRect).size(), 1u);
  EXPECT_EQ(Top(TPaintOpKind::InvertRect)[0].Rect, Rect(1, 1, 16, 9));

  TBitmap glyph;
  glyph.SetSize(6, 4);
  glyph.Canvas()->Brush()->SetColor(clFuchsia);
  glyph.Canvas()->FillRect({0, 0, 6, 4});
  vprDrawButton(vbkGlyph, 0, *canvas, {40, 40, 60, 60}, &glyph);
  EXPECT_EQ(Px(47, 48), clFuchsia);
  EXPECT_EQ(Px(52, 51), clFuchsia);
  EXPECT_NE(Px(53, 48), clFuchsia);
  EXPECT_NE(Px(47, 52), clFuchsia);
  vprDrawButton(vbkGlyph, vbsPressed, *canvas, {70, 40, 90, 60}, &glyph);
  EXPECT_NE(Px(77, 48), clFuchsia);
  EXPECT_EQ(Px(77, 49), clFuchsia);
  vprDrawButton(vbkGlyph, 0, *canvas, {70, 0, 90, 20}, nullptr);  // no glyph: a plain face
}

TEST_F(DrawRoutinesTest, BorderSizes) {
  const TvpBorderStyle all[] = {bsNoBorder, bs3D, bsSoft, bsSoftExt, bsFlat, bsFlatExt, bsMono, bsMonoExt};
  const int widths[] = {0, 0, 1, 2, 1, 2, 1, 2};
  const int transparent[] = {2, 0, 1, 0, 1, 0, 1, 0};
  for (int i = 0; i < 8; ++i) {
    TRect client{0, 0, 100, 50};
    CalcBorderSizeEx(all[i], client);
    const int w = widths[i];
    EXPECT_EQ(client, Rect(w, w, 100 - w, 50 - w)) << i;
    const int t = transparent[i];
    EXPECT_EQ(vprGetTranspBorderSize(all[i]), Rect(t, t, t, t)) << i;
  }
}

TEST_F(DrawRoutinesTest, BorderStylesDrawEdgeAndInnerLine) {
  const TRect window{0, 0, 60, 40};
  vprDrawBorderEx(bsSoftExt, *canvas, window, {2, 2, 58, 38}, clRed, false);
  auto edges = Top(TPaintOpKind::DrawEdge);
  ASSERT_EQ(edges.size(), 1u);
  EXPECT_EQ(edges[0].Edge, BDR_SUNKENOUTER);
  EXPECT_EQ(edges[0].Flags, BF_RECT | BF_ADJUST);
  EXPECT_EQ(edges[0].Rect, window);
  auto frames = Top(TPaintOpKind::FrameRect);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].Rect, Rect(1, 1, 59, 39));
  EXPECT_EQ(frames[0].Brush.Color, ColorToRGB(cl3DLight));
  EXPECT_EQ(Px(1, 20), ColorToRGB(cl3DLight));

  struct Case {
    TvpBorderStyle style;
    unsigned flags;
    bool inner;
  } cases[] = {{bsSoft, BF_RECT | BF_ADJUST, false},           {bsFlat, BF_RECT | BF_ADJUST | BF_FLAT, false},
               {bsFlatExt, BF_RECT | BF_ADJUST | BF_FLAT, true}, {bsMono, BF_RECT | BF_ADJUST | BF_MONO, false},
               {bsMonoExt, BF_RECT | BF_ADJUST | BF_MONO, true}};
  for (const auto& c : cases) {
    Surface().ClearOps();
    vprDrawBorderEx(c.style, *canvas, window, {2, 2, 58, 38}, clRed, false);
    edges = Top(TPaintOpKind::DrawEdge);
    ASSERT_EQ(edges.size(), 1u) << c.style;
    EXPECT_EQ(edges[0].Flags, c.flags) << c.style;
    frames = Top(TPaintOpKind::FrameRect);
    ASSERT_EQ(frames.size(), c.inner ? 1u : 0u) << c.style;
    if (c.inner) {
      EXPECT_EQ(frames[0].Brush.Color, clRed) << c.style;
    }
  }

  for (TvpBorderStyle style : {bsNoBorder, bs3D}) {
    Surface().ClearOps();
    vprDrawBorderEx(style, *canvas, window, {2, 2, 58, 38}, clRed, false);
    EXPECT_TRUE(Surface().Ops().empty()) << style;
  }

  // Transparent controls keep their margin; the client area is never painted; clipping is
  // restored afterwards.
  Surface().ClearOps();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect({0, 0, 120, 80});
  vprDrawBorderEx(bsMonoExt, *canvas, {0, 0, 60, 40}, {1, 1, 59, 39}, clRed, false);
  EXPECT_EQ(Px(1, 20), clWhite);
  Surface().ClearOps();
  vprDrawBorderEx(bsSoft, *canvas, window, {2, 2, 58, 38}, clRed, true);
  EXPECT_EQ(Top(TPaintOpKind::DrawEdge).at(0).Rect, Rect(1, 1, 59, 39));
  canvas->Brush()->SetColor(clNavy);
  canvas->FillRect({0, 0, 120, 80});
  EXPECT_EQ(Px(30, 20), clNavy);
}

TEST_F(DrawRoutinesTest, UltraColorTintAndRounding) {
  EXPECT_EQ(vprGetUltraColor(clWhite), RGB(174, 178, 202));
  EXPECT_EQ(vprGetUltraColor(clBlack), RGB(0, 11, 38));
  // 7 / 2.8 = 2.5 rounds to 2, 21 / 2.8 = 7.5 to 8; green above 47 loses 77 less 3 per 8 steps.
  EXPECT_EQ(GetBValue(vprGetUltraColor(RGB(255, 255, 248))), 197);
  EXPECT_EQ(vprGetUltraColor(RGB(100, 100, 234)), RGB(58, 80, 189));
  EXPECT_EQ(vprGetUltraColor(clWindow), vprGetUltraColor(ColorToRGB(clWindow)));
}

TEST_F(DrawRoutinesTest, FontHeightAndStripCutting) {
  TFont font;
  EXPECT_EQ(GetFontHeight(font), 13);
  font.SetHeight(-20);
  EXPECT_EQ(GetFontHeight(font), 24);

  TBitmap strip;
  strip.SetSize(50, 16);  // three whole 16-pixel images and two spare columns
  const TColor colors[] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    strip.Canvas()->Brush()->SetColor(colors[i]);
    strip.Canvas()->FillRect(Bounds(i * 16, 0, 16, 16));
    strip.Canvas()->SetPixels(i * 16, 15, clFuchsia);  // each image's own transparent colour
  }
  TImageList list(nullptr);
  EXPECT_EQ(CutAndAddToList(strip, list), 3);
  ASSERT_EQ(list.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const TPixelBuffer& image = list.Image(i);
    EXPECT_EQ(PixelToColor(image.At(5, 5)), colors[i]) << i;
    EXPECT_EQ(PixelAlpha(image.At(5, 5)), 255) << i;
    EXPECT_EQ(PixelAlpha(image.At(0, 15)), 0) << i;
  }
  list.SetWidth(60);  // wider than the strip: nothing to cut
  EXPECT_EQ(CutAndAddToList(strip, list), 0);
  EXPECT_EQ(list.Count(), 0);
}
