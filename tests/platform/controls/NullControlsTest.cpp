// The behaviour suite on the headless backend, and what only the headless backend can show:
// the drawing record, presented regions, exact time (double clicks, the order of the queue),
// user resizes and closes, cursors.

#include "HarnessTest.h"
#include "ControlBehaviour.h"
#include "DragBehaviour.h"
#include "EditBehaviour.h"
#include "FormBehaviour.h"
#include "MaskEditBehaviour.h"
#include "MenuBehaviour.h"
#include "WindowManagementBehaviour.h"

#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <cstdlib>

namespace zvtest {

INSTANTIATE_TEST_SUITE_P(Null, ControlBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, EditBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, MaskEditBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, DragBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, MenuBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, FormBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
INSTANTIATE_TEST_SUITE_P(Null, WindowManagementBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

namespace {

class NullControls : public THarnessTest {
protected:
  TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
  TNullWindowBackend::TWindowRecord& Record(TWinControl* c) { return *Backend().Window(NativeWindowOf(c->Handle())); }

};

}  // namespace

TEST_F(NullControls, PaintingIsRecordedOnTheSurfaceAndPresentedWhereItHappened) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 20, 100, 50);
  a->OnPaint = [](TProbe& p) {
    TRect r = p.ClientRect();
    DrawText(*p.Canvas(), "Hello", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  };
  h->Pump();
  TNullSurface* surface = AsNullSurface(RetainedSurfaceOf(a->Handle()));
  ASSERT_NE(surface, nullptr);
  surface->ClearOps();
  Record(top).Presented = TRegion();
  Record(top).PresentCount = 0;

  a->Invalidate();
  h->Pump();
  const auto texts = surface->OpsOf(TPaintOpKind::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Text, "Hello");
  EXPECT_EQ(texts[0].Rect, Rect(10, 20, 110, 70)) << "in the window's place on the surface";
  EXPECT_EQ(Record(top).PresentCount, 1);
  EXPECT_TRUE(Record(top).Presented.SamePixels(TRegion(Rect(10, 20, 110, 70))));

  Record(top).Presented = TRegion();
  const TRect part = Rect(0, 0, 10, 10);
  InvalidateRect(a->Handle(), &part, false);
  h->Pump();
  EXPECT_TRUE(Record(top).Presented.SamePixels(TRegion(Rect(10, 20, 20, 30))));

  // A validated region is not painted.
  const int paints = a->PaintCount;
  a->Invalidate();
  TRect pending;
  EXPECT_TRUE(GetUpdateRect(a->Handle(), &pending, false));
  EXPECT_EQ(pending, Rect(0, 0, 100, 50));
  ValidateRect(a->Handle(), nullptr);
  EXPECT_FALSE(GetUpdateRect(a->Handle(), &pending, false));
  h->Pump();
  EXPECT_EQ(a->PaintCount, paints);
}

TEST_F(NullControls, TheQueueDeliversPostedMessagesThenPaintingThenTimers) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 50, 50);
  h->Pump();
  std::vector<std::string> order;
  // Subclassing through WindowProc, as the host allows.
  auto inherited = a->WindowProc;
  a->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER + 1) order.push_back("posted");
    if (m.Msg == WM_PAINT) order.push_back("paint");
    if (m.Msg == WM_TIMER) order.push_back("timer");
    inherited(m);
  };
  SetTimer(a->Handle(), 1, 10);
  Backend().AdvanceTime(10);
  a->Invalidate();
  EXPECT_TRUE(PostMessage(a->Handle(), WM_USER + 1, 0, 0));
  h->Pump();
  EXPECT_EQ(order, (std::vector<std::string>{"posted", "paint", "timer"}));
  EXPECT_EQ(SendMessage(a->Handle(), CM_HITTEST, 0, 0), HTCLIENT);
  a->WindowProc = inherited;
}

TEST_F(NullControls, DoubleClicksNeedTwoPressesCloseInTimeAndPlace) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 80);
  int doubles = 0;
  a->OnDblClick = [&](TObject*) { ++doubles; };
  h->Pump();
  h->Log.clear();
  h->Click(a, 10, 10);
  Backend().AdvanceTime(300);
  h->Click(a, 11, 11);
  h->Click(a, 11, 11);  // a third press starts again
  Backend().AdvanceTime(600);
  h->Click(a, 11, 11);
  h->Click(a, 30, 30);  // too far
  EXPECT_EQ(h->Take({"ldown", "ldbl"}),
            (TLog{"A ldown 10 10", "A ldbl 11 11", "A ldown 11 11", "A ldown 11 11", "A ldown 30 30"}));
  EXPECT_EQ(doubles, 1);
}

TEST_F(NullControls, NestedLoopRunsUntilEndedFromInside) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  std::vector<std::string> order;
  auto inherited = top->WindowProc;
  top->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER + 2) {
      PostMessage(top->Handle(), WM_USER + 3, 0, 0);
      order.push_back("open");
      Application->RunNestedLoop();
      order.push_back("closed");
    } else if (m.Msg == WM_USER + 3) {
      order.push_back("inside " + std::to_string(Application->NestedLoopDepth()));
      Application->EndNestedLoop();
    }
    inherited(m);
  };
  PostMessage(top->Handle(), WM_USER + 2, 0, 0);
  h->Pump();
  EXPECT_EQ(order, (std::vector<std::string>{"open", "inside 1", "closed"}));
  EXPECT_EQ(Application->NestedLoopDepth(), 0);
  top->WindowProc = inherited;
}

TEST_F(NullControls, ClosingTheMainControlEndsRun) {
  EXPECT_EXIT(
      {
        TProbe* top = h->TopLevel(0, 0, 200, 120);
        Application->SetMainControl(top);
        Backend().UserClose(NativeWindowOf(top->Handle()));
        Application->Run();
        std::exit(Application->Terminated() && !top->Visible() && !Record(top).Visible ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(NullControls, AUserResizeResizesTheControlRealignsAndRepaints) {
  TProbe* top = h->TopLevel(30, 40, 200, 120);
  TProbe* a = h->Child(top, "A", 0, 0, 10, 10);
  a->SetAlign(alClient);
  h->Pump();
  EXPECT_EQ(a->BoundsRect(), Rect(0, 0, 200, 120));
  h->Log.clear();
  Backend().UserResize(NativeWindowOf(top->Handle()), 300, 200);
  h->Pump();
  EXPECT_EQ(top->BoundsRect(), Rect(30, 40, 330, 240));
  EXPECT_EQ(a->BoundsRect(), Rect(0, 0, 300, 200));
  EXPECT_EQ(RetainedSurfaceOf(a->Handle())->Width(), 300);
  EXPECT_EQ(h->Take({"size"}, {"A"}), TLog{"A size 300 200"});
  EXPECT_EQ(h->Shown(a, 299, 199), clWhite);
  EXPECT_EQ(Record(top).Bounds, Rect(30, 40, 330, 240));
  top->SetBounds(0, 0, 150, 100);
  EXPECT_EQ(Record(top).Bounds, Rect(0, 0, 150, 100)) << "the window follows the control";
}

TEST_F(NullControls, TheCursorFollowsTheControlUnderTheMouse) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 60, 60);
  TGraphicProbe* g = h->Graphic(top, "G", 100, 10, 40, 40);
  a->SetCursor(crHandPoint);
  g->SetCursor(crIBeam);
  h->Pump();
  h->MouseMove(a, 5, 5);
  EXPECT_EQ(Record(top).Cursor, crHandPoint);
  h->MouseMove(top, 150, 100);
  EXPECT_EQ(Record(top).Cursor, crArrow);
  h->MouseMove(g, 5, 5);
  EXPECT_EQ(Record(top).Cursor, crIBeam);
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Record(top).Cursor, crHourGlass);
  h->MouseMove(a, 5, 5);
  EXPECT_EQ(Record(top).Cursor, crHourGlass);
  Screen->SetCursor(crDefault);
  h->MouseMove(a, 6, 5);
  EXPECT_EQ(Record(top).Cursor, crHandPoint);
}

TEST_F(NullControls, MouseEnterAndLeaveFollowTheMouse) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 60, 60);
  TGraphicProbe* g = h->Graphic(top, "G", 100, 10, 40, 40);
  int enters = 0;
  g->OnMouseEnter = [&](TObject*) { ++enters; };
  h->Pump();
  h->Log.clear();
  h->MouseMove(a, 5, 5);
  h->MouseMove(a, 6, 5);
  h->MouseMove(g, 5, 5);
  TNativeInput leave;
  leave.Kind = TNativeInputKind::MouseLeave;
  Backend().Inject(NativeWindowOf(top->Handle()), leave);
  h->Pump();
  EXPECT_EQ(h->Take({"mouseenter", "mouseleave"}),
            (TLog{"A mouseenter", "A mouseleave", "G mouseenter", "G mouseleave"}));
  EXPECT_EQ(enters, 1);
}

}  // namespace zvtest
