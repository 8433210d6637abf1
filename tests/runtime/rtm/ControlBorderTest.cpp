// The library's non-client borders painted on a real window frame (headless backend).

#include "runtime/rtm/DrawRoutines.h"

#include "ControlHarness.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

// Measures and paints its frame as the library's bordered controls do.
class TBordered : public TCustomControl {
public:
  TBordered(TComponent* owner, TvpBorderStyle style, bool transparent)
      : TCustomControl(owner), Style(style), Transparent(transparent) {}
  TvpBorderStyle Style;
  bool Transparent;

protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clWhite);
    Canvas()->FillRect(ClientRect());
  }
  void WMNCCalcSize(TWMNCCalcSize& message) override {
    TCustomControl::WMNCCalcSize(message);
    CalcBorderSizeEx(Style, message.CalcSize_Params()->rgrc[0]);
  }
  void WMNCPaint(TWMNCPaint& message) override {
    TCustomControl::WMNCPaint(message);
    vprDrawBorderEx(Style, *this, Transparent);
  }
};

TEST(ControlBorder, PaintsTheCanvasFormsBorderOnTheWindowFrame) {
  auto driver = MakeNullDriver();
  THarness h(*driver);
  TProbe* top = h.TopLevel(0, 0, 300, 200, clGray);
  const int w = 50, ht = 30;
  // Transparent borders need a frame wider than CalcBorderSizeEx makes, so the window form is
  // checked opaque here (the canvas form's tests cover the transparent margins).
  struct Case {
    TvpBorderStyle style;
    bool transparent;
  };
  for (const Case c : {Case{bsSoft, false}, Case{bsSoftExt, false}, Case{bsFlatExt, false}, Case{bsMonoExt, false},
                       Case{bsFlat, false}, Case{bsMono, false}}) {
    SCOPED_TRACE(static_cast<int>(c.style));
    auto* control = new TBordered(top, c.style, c.transparent);
    control->SetColor(clLime);
    control->SetBounds(10, 10, w, ht);
    control->SetParent(top);
    h.Pump();
    const int border = vprBorderWidth(c.style);
    EXPECT_EQ(control->ClientWidth(), w - 2 * border);

    // What the canvas form draws over a known background, in window coordinates.
    TBitmap expected;
    expected.SetSize(w, ht);
    const TColor sentinel = RGB(1, 2, 3);
    expected.Canvas()->Brush()->SetColor(sentinel);
    expected.Canvas()->FillRect({0, 0, w, ht});
    vprDrawBorderEx(c.style, *expected.Canvas(), {0, 0, w, ht}, {border, border, w - border, ht - border}, clLime,
                    c.transparent);
    int drawn = 0;
    for (int y = 0; y < ht; ++y)
      for (int x = 0; x < w; ++x) {
        const TColor want = expected.Canvas()->Pixels(x, y);
        if (want == sentinel) continue;
        ++drawn;
        ASSERT_EQ(h.WindowPixel(control, x, y), want) << x << "," << y;
      }
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(h.Pixel(control, 0, 0), ColorToRGB(clWhite)) << "the client area is left alone";
    delete control;
  }

  // No window yet: nothing is drawn and no window is made.
  TBordered loose(nullptr, bsSoft, false);
  vprDrawBorderEx(bsSoft, loose, false);
  EXPECT_FALSE(loose.HandleAllocated());
}

}  // namespace
}  // namespace zvtest
