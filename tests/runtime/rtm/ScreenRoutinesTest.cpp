// Screen helpers on the headless backend: scroll-bar width, screenshots of controls, fitting
// boxes into the work area.

#include "runtime/rtm/ScreenRoutines.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

class ScreenRoutines : public THarnessTest {};

TColor At(TBitmap& b, int x, int y) { return b.Canvas()->Pixels(x, y); }

TEST_F(ScreenRoutines, ScrollWidthIsTheSystemMetricMadeOddOnRequest) {
  const int w = GetSystemMetrics(SM_CXVSCROLL);
  ASSERT_GT(w, 0);
  EXPECT_EQ(GetScrollWidth(false), w);
  EXPECT_EQ(GetScrollWidth(true), w % 2 == 0 ? w - 1 : w);
  EXPECT_EQ(GetScrollWidth(true) % 2, 1);
}

TEST_F(ScreenRoutines, FitToWorkspaceKeepsBoxesInsideEachEdge) {
  const TRect area = Screen->WorkAreaRect();
  ASSERT_FALSE(area.IsEmpty());
  const int l = area.Left, t = area.Top, r = area.Right, b = area.Bottom;

  EXPECT_EQ(FitToWorkspace(l + 100, t + 50, 200, 100), TPoint(l + 100, t + 50)) << "inside: unchanged";
  EXPECT_EQ(FitToWorkspace(l - 40, t + 50, 200, 100), TPoint(l, t + 50)) << "left edge";
  EXPECT_EQ(FitToWorkspace(l + 100, t - 1, 200, 100), TPoint(l + 100, t)) << "top edge";
  EXPECT_EQ(FitToWorkspace(r - 150, t + 50, 200, 100), TPoint(r - 200 - 1, t + 50)) << "right edge";
  EXPECT_EQ(FitToWorkspace(l + 100, b - 10, 200, 100), TPoint(l + 100, b - 100 - 1)) << "bottom edge";
  EXPECT_EQ(FitToWorkspace(r - 200, b - 100, 200, 100), TPoint(r - 200, b - 100)) << "touching is inside";
  EXPECT_EQ(FitToWorkspace(r + 500, b + 500, 10, 10), TPoint(r - 11, b - 11)) << "bottom right corner";
  EXPECT_EQ(FitToWorkspace(l - 5, t - 5, area.Width() + 40, 20), TPoint(r - area.Width() - 41, t))
      << "a box wider than the area ends left of it";

  const TRect fitted = FitToWorkspace(TRect{r - 10, t - 30, r + 90, t + 20});
  EXPECT_EQ(fitted, (TRect{r - 101, t, r - 1, t + 50})) << "the rectangle form keeps the size";
}

TEST_F(ScreenRoutines, ScreenshotCopiesWhatTheControlShowsChildrenAndFrameIncluded) {
  TProbe* top = h->TopLevel(40, 30, 300, 200, clGray);
  TProbe* a = h->Child(top, "A", 10, 20, 60, 40, clRed, [](TProbe& p) {
    p.FrameWidth = 2;
    p.FrameColor = clLime;
  });
  TProbe* b = h->Child(a, "B", 5, 5, 10, 10, clBlue);
  TGraphicProbe* g = h->Graphic(a, "G", 30, 5, 10, 8);
  h->Pump();

  auto shot = MakeScreenshot(*a);
  ASSERT_EQ(shot->Width(), 60);
  ASSERT_EQ(shot->Height(), 40);
  EXPECT_EQ(At(*shot, 0, 0), ColorToRGB(clLime)) << "the frame";
  EXPECT_EQ(At(*shot, 59, 39), ColorToRGB(clLime));
  EXPECT_EQ(At(*shot, 2, 2), ColorToRGB(clRed));
  EXPECT_EQ(At(*shot, 7, 7), ColorToRGB(clBlue)) << "a child window at its place (frame + 5)";
  EXPECT_EQ(At(*shot, 16, 16), ColorToRGB(clBlue));
  EXPECT_EQ(At(*shot, 17, 17), ColorToRGB(clRed));
  EXPECT_EQ(At(*shot, 32, 7), ColorToRGB(clYellow)) << "a child without a window";

  auto small = MakeScreenshot(*g);
  ASSERT_EQ(small->Width(), 10);
  ASSERT_EQ(small->Height(), 8);
  EXPECT_EQ(At(*small, 0, 0), ColorToRGB(clYellow));
  EXPECT_EQ(At(*small, 9, 7), ColorToRGB(clYellow));

  auto whole = MakeScreenshot(*b);
  EXPECT_EQ(whole->Width(), 10);
  EXPECT_EQ(At(*whole, 9, 9), ColorToRGB(clBlue));

  // Nothing on the screen: an empty bitmap.
  b->Hide();
  EXPECT_TRUE(MakeScreenshot(*b)->Empty());
  TProbe loose(nullptr, "L", nullptr);
  loose.SetBounds(0, 0, 30, 30);
  EXPECT_TRUE(MakeScreenshot(loose)->Empty());
}

}  // namespace
}  // namespace zvtest
