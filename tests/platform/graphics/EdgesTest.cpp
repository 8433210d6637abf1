// DrawEdge, DrawFrameControl and DrawFocusRect decomposed into one-pixel fills in the classic
// system colours.

#include "NullCanvasFixture.h"

using namespace zvtest;

namespace {

class EdgesTest : public NullCanvasTest {
protected:
  TColor Sys(TColor c) { return ColorToRGB(c); }
};

}  // namespace

TEST_F(EdgesTest, RaisedEdgeColoursAndCorners) {
  TRect r = Rect(10, 10, 20, 20);
  EXPECT_TRUE(DrawEdge(*canvas, r, EDGE_RAISED, BF_RECT | BF_ADJUST));
  EXPECT_EQ(r, Rect(12, 12, 18, 18));
  EXPECT_EQ(Px(10, 10), Sys(cl3DLight));
  EXPECT_EQ(Px(18, 10), Sys(cl3DLight));
  EXPECT_EQ(Px(19, 10), Sys(cl3DDkShadow));  // the dark sides own the off corners
  EXPECT_EQ(Px(10, 19), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(19, 19), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(11, 11), Sys(clBtnHighlight));
  EXPECT_EQ(Px(18, 11), Sys(clBtnShadow));
  EXPECT_EQ(Px(11, 18), Sys(clBtnShadow));
  EXPECT_EQ(Px(15, 15), clWhite);  // no BF_MIDDLE: the inside is left alone
  // Eight one-pixel lines, made by the edge itself.
  const auto ops = Surface().Ops();
  ASSERT_EQ(ops.size(), 9u);
  EXPECT_EQ(ops[0].Kind, TPaintOpKind::DrawEdge);
  EXPECT_EQ(ops[0].Edge, EDGE_RAISED);
  for (std::size_t i = 1; i < ops.size(); ++i) {
    EXPECT_EQ(ops[i].Kind, TPaintOpKind::FillRect);
    EXPECT_EQ(ops[i].Depth, 1);
    EXPECT_TRUE(ops[i].Rect.Width() == 1 || ops[i].Rect.Height() == 1);
  }
}

TEST_F(EdgesTest, SunkenSoftFlatMonoAndMiddle) {
  TRect r = Rect(0, 0, 10, 10);
  DrawEdge(*canvas, r, EDGE_SUNKEN, BF_RECT | BF_SOFT | BF_MIDDLE);
  EXPECT_EQ(Px(0, 0), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(9, 9), Sys(clBtnHighlight));
  EXPECT_EQ(Px(1, 1), Sys(clBtnShadow));
  EXPECT_EQ(Px(8, 8), Sys(cl3DLight));
  EXPECT_EQ(Px(5, 5), Sys(clBtnFace));
  r = Rect(20, 0, 30, 10);
  DrawEdge(*canvas, r, EDGE_SUNKEN, BF_RECT);
  EXPECT_EQ(Px(20, 0), Sys(clBtnShadow));
  EXPECT_EQ(Px(21, 1), Sys(cl3DDkShadow));
  r = Rect(40, 0, 50, 10);
  DrawEdge(*canvas, r, EDGE_RAISED, BF_RECT | BF_FLAT | BF_MIDDLE);
  EXPECT_EQ(Px(40, 0), Sys(clBtnShadow));
  EXPECT_EQ(Px(49, 9), Sys(clBtnShadow));
  EXPECT_EQ(Px(41, 1), Sys(clBtnFace));
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect({60, 0, 70, 10});
  r = Rect(60, 0, 70, 10);
  DrawEdge(*canvas, r, EDGE_SUNKEN, BF_RECT | BF_MONO | BF_MIDDLE);
  EXPECT_EQ(Px(60, 0), Sys(clWindowFrame));
  EXPECT_EQ(Px(61, 1), Sys(clWindow));
  EXPECT_EQ(Px(65, 5), Sys(clWindow));
}

TEST_F(EdgesTest, PartialSidesAndSingleLayers) {
  TRect r = Rect(0, 0, 10, 10);
  DrawEdge(*canvas, r, BDR_RAISEDOUTER, BF_TOPLEFT | BF_ADJUST);
  EXPECT_EQ(r, Rect(1, 1, 10, 10));
  EXPECT_EQ(Px(9, 0), Sys(cl3DLight));  // no right side: the top runs to the end
  EXPECT_EQ(Px(9, 9), clWhite);
  // An inner border alone takes the outer position.
  r = Rect(20, 0, 30, 10);
  DrawEdge(*canvas, r, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
  EXPECT_EQ(r, Rect(21, 1, 29, 9));
  EXPECT_EQ(Px(20, 0), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(29, 9), Sys(cl3DLight));
  EXPECT_EQ(Px(21, 1), clWhite);
  r = Rect(40, 0, 50, 10);
  DrawEdge(*canvas, r, BDR_RAISEDINNER, BF_BOTTOM);
  EXPECT_EQ(Px(40, 9), Sys(clBtnShadow));
  EXPECT_EQ(Px(40, 0), clWhite);
}

TEST_F(EdgesTest, PushButtons) {
  TRect r = Rect(0, 0, 20, 20);
  EXPECT_TRUE(DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
  EXPECT_EQ(r, Rect(2, 2, 18, 18));
  EXPECT_EQ(Px(0, 0), Sys(clBtnHighlight));
  EXPECT_EQ(Px(1, 1), Sys(cl3DLight));
  EXPECT_EQ(Px(19, 19), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(18, 18), Sys(clBtnShadow));
  EXPECT_EQ(Px(10, 10), Sys(clBtnFace));
  r = Rect(30, 0, 50, 20);
  DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(r, Rect(30, 0, 50, 20));
  EXPECT_EQ(Px(30, 0), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(31, 1), Sys(clBtnShadow));
  EXPECT_EQ(Px(49, 19), Sys(clBtnHighlight));
  // Decomposition: the frame control draws through DrawEdge.
  const auto edges = Surface().OpsOf(TPaintOpKind::DrawEdge);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_EQ(edges[1].Depth, 1);
  EXPECT_EQ(edges[1].Edge, EDGE_SUNKEN);
  EXPECT_EQ(edges[1].Flags & (BF_RECT | BF_SOFT | BF_MIDDLE), BF_RECT | BF_SOFT | BF_MIDDLE);
  r = Rect(60, 0, 80, 20);
  EXPECT_FALSE(DrawFrameControl(*canvas, r, DFC_CAPTION, 0));
}

TEST_F(EdgesTest, CheckBoxes) {
  // 13 x 13: a two-pixel sunken border around a 9 x 9 box with the 7 x 7 mark centred.
  TRect r = Rect(30, 0, 43, 13);
  DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(Px(30, 0), Sys(clBtnShadow));
  EXPECT_EQ(Px(31, 1), Sys(cl3DDkShadow));
  EXPECT_EQ(Px(33, 5), clBlack);  // mark: left column, rows 2..4 of the mark
  EXPECT_EQ(Px(39, 3), clBlack);  // right column, rows 0..2
  EXPECT_EQ(Px(33, 3), Sys(clWindow));
  r = Rect(50, 0, 63, 13);
  DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(Px(53, 5), Sys(clWindow));
  r = Rect(70, 0, 83, 13);
  DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(Px(73, 5), Sys(clBtnShadow));
  EXPECT_EQ(Px(73, 3), Sys(clBtnFace));
  // A wide rectangle gets a centred square box.
  r = Rect(0, 20, 40, 33);
  DrawFrameControl(*canvas, r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | DFCS_ADJUSTRECT);
  EXPECT_EQ(r, Rect(15, 22, 24, 31));
  EXPECT_EQ(Px(13, 20), Sys(clBtnShadow));
  EXPECT_EQ(Px(12, 20), clWhite);
}

TEST_F(EdgesTest, ScrollArrows) {
  TRect r = Rect(50, 0, 66, 16);
  DrawFrameControl(*canvas, r, DFC_SCROLL, DFCS_SCROLLUP);
  EXPECT_EQ(Px(58, 6), clBlack);  // apex
  EXPECT_EQ(Px(57, 6), Sys(clBtnFace));
  EXPECT_EQ(Px(55, 9), clBlack);  // base, seven pixels
  EXPECT_EQ(Px(61, 9), clBlack);
  EXPECT_EQ(Px(54, 9), Sys(clBtnFace));
  EXPECT_EQ(Px(58, 10), Sys(clBtnFace));
  r = Rect(70, 0, 86, 16);
  DrawFrameControl(*canvas, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_PUSHED);
  EXPECT_EQ(Px(70, 0), Sys(clBtnShadow));  // pushed: a flat frame
  EXPECT_EQ(Px(76, 7), clBlack);           // down arrow, shifted by one: base row 7
  EXPECT_EQ(Px(75, 7), Sys(clBtnFace));
  EXPECT_EQ(Px(79, 10), clBlack);          // apex
  EXPECT_EQ(Px(79, 11), Sys(clBtnFace));
  r = Rect(0, 20, 16, 36);
  DrawFrameControl(*canvas, r, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_INACTIVE);
  EXPECT_EQ(Px(6, 25), Sys(clGrayText));   // base column
  EXPECT_EQ(Px(9, 28), Sys(clGrayText));   // apex
  EXPECT_EQ(Px(10, 29), Sys(clBtnHighlight));  // the embossed shadow
}

TEST_F(EdgesTest, FocusAndInvertAreTheirOwnUndo) {
  canvas->Brush()->SetColor(clNavy);
  canvas->FillRect({0, 30, 40, 50});
  const TPixelBuffer before = Surface().Pixels();
  DrawFocusRect(*canvas, Rect(5, 30, 15, 40));
  EXPECT_EQ(Px(5, 30), clNavy);  // dots on even x + y only
  EXPECT_EQ(Px(6, 30), RGB(255, 255, 127));
  EXPECT_EQ(Px(5, 31), RGB(255, 255, 127));
  EXPECT_EQ(Px(14, 38), RGB(255, 255, 127));
  EXPECT_EQ(Px(14, 39), clNavy);
  EXPECT_EQ(Px(10, 35), clNavy);  // inside untouched
  canvas->DrawFocusRect(Rect(5, 30, 15, 40));
  EXPECT_EQ(Surface().Pixels(), before);
  InvertRect(*canvas, Rect(20, 30, 30, 40));
  EXPECT_EQ(Px(20, 30), RGB(255, 255, 127));
  EXPECT_EQ(Px(30, 30), clNavy);
  InvertRect(*canvas, Rect(20, 30, 30, 40));
  EXPECT_EQ(Surface().Pixels(), before);
  // A one-pixel-high focus rectangle toggles each pixel once.
  DrawFocusRect(*canvas, Rect(0, 45, 6, 46));
  EXPECT_EQ(Px(1, 45), RGB(255, 255, 127));
  EXPECT_EQ(Px(0, 45), clNavy);
  EXPECT_EQ(Px(1, 46), clNavy);
}
