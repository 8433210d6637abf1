// Hints on the headless clock: the host's pauses to the millisecond, the reshow and hide
// timeouts a control asks for, and the hint window as the windowing system sees it.

#include "HarnessTest.h"
#include "HintBehaviour.h"

#include "platform/null/NullWindowBackend.h"

namespace zvtest {

INSTANTIATE_TEST_SUITE_P(Null, HintBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

namespace {

class Hints : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    top = h->TopLevel(40, 30, 320, 200);
    a = h->Child(top, "A", 10, 10, 100, 60);
    b = h->Child(top, "B", 150, 10, 100, 60);
    a->SetHint("Alpha");
    b->SetHint("Beta");
    top->SetShowHint(true);  // the children take it from their parent
    h->Pump();
  }
  void TearDown() override {
    Application->CancelHint();
    THarnessTest::TearDown();
  }
  TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
  // Advances the clock by ms and handles what came due.
  void Advance(unsigned ms) {
    Backend().AdvanceTime(ms);
    h->Pump();
  }
  bool Showing() {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }

  TProbe* top = nullptr;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
};

}  // namespace

TEST_F(Hints, TheHostsPausesToTheMillisecond) {
  EXPECT_EQ(Application->HintPause(), 500);
  EXPECT_EQ(Application->HintShortPause(), 50);
  EXPECT_EQ(Application->HintHidePause(), 2500);
  h->MouseMove(a, 20, 20);
  Advance(300);
  h->MouseMove(a, 21, 20);  // the mouse has not rested: the pause starts again
  Advance(499);
  EXPECT_FALSE(Showing());
  Advance(1);
  EXPECT_TRUE(Showing());
  Advance(2499);
  EXPECT_TRUE(Showing());
  Advance(1);
  EXPECT_FALSE(Showing());

  // From a showing hint to the next control: the short pause.
  h->MouseMove(a, 22, 20);
  Advance(500);
  ASSERT_TRUE(Showing());
  h->MouseMove(b, 20, 20);
  Advance(49);
  EXPECT_EQ(Application->HintWindow()->Caption(), "Alpha") << "the old hint stays until then";
  Advance(1);
  EXPECT_EQ(Application->HintWindow()->Caption(), "Beta");
}

TEST_F(Hints, TheHintWindowIsAnInactivePopUpAboveTheRest) {
  a->SetFocus();
  h->Pump();
  const TNativeWindow active = Backend().ActiveWindow();
  h->MouseMove(a, 20, 20);
  Advance(500);
  ASSERT_TRUE(Showing());
  THintWindow* w = Application->HintWindow();
  const auto* record = Backend().Window(NativeWindowOf(w->Handle()));
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->Popup);
  EXPECT_TRUE(record->Visible);
  EXPECT_EQ(Backend().ActiveWindow(), active);
  // Its size is the host's: the text plus 6 wide and 6 high, below the cursor by the margin.
  const TPoint mouse = a->ClientToScreen({20, 20});
  EXPECT_EQ(record->Bounds, Rect(mouse.X, mouse.Y + 20, mouse.X + 5 * 6 + 6, mouse.Y + 20 + 13 + 6));
  // The text is drawn inside a one-pixel frame 2 pixels further in, in the hint's text colour.
  TPoint origin;
  TPaintDevice* surface = RetainedSurfaceOf(w->Handle(), &origin);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->GetPixel(origin.X + 4, origin.Y + 8), ColorToRGB(clInfoText));
  EXPECT_EQ(surface->GetPixel(origin.X + 3, origin.Y + 8), ColorToRGB(clInfoBk));
  EXPECT_EQ(surface->GetPixel(origin.X, origin.Y + 8), ColorToRGB(clWindowFrame));
}

TEST_F(Hints, AHintNearTheScreensEdgeMovesInside) {
  top->SetBounds(1700, 950, 200, 80);
  a->SetHint("A hint wider than what is left of the screen at the right");
  h->Pump();
  h->MouseMove(a, 90, 50);
  Advance(500);
  ASSERT_TRUE(Showing());
  const TRect work = Screen->WorkAreaRect();
  const TRect r = Application->HintWindow()->BoundsRect();
  EXPECT_EQ(r.Right, work.Right);
  EXPECT_EQ(r.Bottom, work.Bottom);
}

TEST_F(Hints, ReshowAndHideTimeoutsFromTheControl) {
  int asked = 0;
  auto inherited = a->WindowProc;
  a->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      THintInfo* info = TCMHintShow(m).HintInfo();
      info->HintStr = "asked " + std::to_string(++asked);
      if (asked < 3) info->ReshowTimeout = 100;
      else info->HideTimeout = -1;  // stays
      return;
    }
    inherited(m);
  };
  h->MouseMove(a, 20, 20);
  Advance(500);
  EXPECT_EQ(Application->HintWindow()->Caption(), "asked 1");
  Advance(100);
  EXPECT_EQ(Application->HintWindow()->Caption(), "asked 2");
  Advance(100);
  EXPECT_EQ(Application->HintWindow()->Caption(), "asked 3");
  Advance(60000);
  EXPECT_TRUE(Showing()) << "a negative hide timeout keeps the hint";
  EXPECT_EQ(asked, 3);
  a->WindowProc = inherited;
}

TEST_F(Hints, LeavingTheWindowEndsAPendingOrShowingHint) {
  TNativeInput leave;
  leave.Kind = TNativeInputKind::MouseLeave;
  h->MouseMove(a, 20, 20);
  Advance(200);
  Backend().Inject(NativeWindowOf(top->Handle()), leave);
  Advance(400);
  EXPECT_FALSE(Showing()) << "the mouse is no longer there to rest";
  EXPECT_EQ(Application->HintControl(), nullptr);
  h->MouseMove(a, 20, 20);
  Advance(500);
  ASSERT_TRUE(Showing());
  Backend().Inject(NativeWindowOf(top->Handle()), leave);
  Advance(2500);
  EXPECT_FALSE(Showing());
  EXPECT_FALSE(Application->HintWindow()->HandleAllocated());
}

TEST_F(Hints, HintRoutines) {
  EXPECT_EQ(GetShortHint("Save|Saves the record"), "Save");
  EXPECT_EQ(GetLongHint("Save|Saves the record"), "Saves the record");
  EXPECT_EQ(GetShortHint("Plain"), "Plain");
  EXPECT_EQ(GetLongHint("Plain"), "Plain");
  EXPECT_EQ(GetHint(h->Child(a, "I", 0, 0, 5, 5)), "Alpha");
  EXPECT_THROW(SetHintWindowClass(TProbe::StaticClass()), EInvalidOperation);
  EXPECT_EQ(HintWindowClass(), THintWindow::StaticClass());
  // Nothing past what a screen can hold is kept, whatever the length.
  const String huge(8u << 20, 'x');
  const String kept = THintWindow::ShowableText(huge, 1920, Rect(0, 0, 1920, 1040), 13);
  EXPECT_LE(kept.size(), (1040u / 13 + 1) * (1920 + 2));
  EXPECT_EQ(THintWindow::ShowableText("ok\xE2\x82", 100, Rect(0, 0, 100, 100), 13), "ok\xEF\xBF\xBD")
      << "a sequence cut at the end";
}

}  // namespace zvtest
