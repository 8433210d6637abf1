#pragma once
// What the window model and the message routing do on every backend: painting the invalid
// region, drawing outside painting, scrolling painted pixels, mouse capture, the order of focus
// messages, timers, the wheel, the key state, the non-client frame and exceptions in handlers.
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, ControlBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"

#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace zvtest {

class ControlBehaviour : public TBehaviourTest {
};

TEST_P(ControlBehaviour, InvalidRectanglesArePaintedOnceClippedToThem) {
  TProbe* top = h->TopLevel(40, 30, 220, 160, clBlue);
  TProbe* a = h->Child(top, "A", 10, 10, 120, 90);
  h->Pump();
  ASSERT_EQ(a->PaintCount, 1);
  EXPECT_EQ(h->Pixel(a, 60, 45), clWhite);
  const int topPaints = top->PaintCount;

  a->PaintColor = clRed;
  const TRect r1 = Rect(5, 5, 20, 20), r2 = Rect(50, 40, 60, 70);
  InvalidateRect(a->Handle(), &r1, false);
  InvalidateRect(a->Handle(), &r2, false);
  InvalidateRect(a->Handle(), &r1, false);
  EXPECT_EQ(a->PaintCount, 1) << "painting waits for the message loop";
  h->Pump();
  ASSERT_EQ(a->PaintCount, 2);
  TRegion expected(r1);
  expected.Unite(r2);
  EXPECT_TRUE(a->PaintClips.back().SamePixels(expected));
  EXPECT_EQ(h->Pixel(a, 5, 5), clRed);
  EXPECT_EQ(h->Pixel(a, 19, 19), clRed);
  EXPECT_EQ(h->Pixel(a, 20, 20), clWhite);
  EXPECT_EQ(h->Pixel(a, 55, 69), clRed);
  EXPECT_EQ(h->Pixel(a, 30, 30), clWhite);
  EXPECT_EQ(top->PaintCount, topPaints) << "the parent had nothing to paint";

  // The parent's painting never covers a child window.
  top->PaintColor = clLime;
  top->Invalidate();
  h->Pump();
  EXPECT_EQ(h->Pixel(top, 5, 5), clLime);
  EXPECT_EQ(h->Pixel(a, 30, 30), clWhite);
  EXPECT_EQ(a->PaintCount, 2);

  // Update paints at once; the loop then shows it.
  a->PaintColor = clYellow;
  a->Invalidate();
  a->Update();
  EXPECT_EQ(a->PaintCount, 3);
  EXPECT_EQ(h->Pixel(a, 30, 30), clYellow);
  h->Pump();
  EXPECT_EQ(h->Shown(a, 30, 30), clYellow);
  EXPECT_EQ(h->Shown(top, 5, 5), clLime);

  // Hiding a child uncovers the parent, which repaints there.
  a->Hide();
  h->Pump();
  EXPECT_EQ(h->Pixel(top, 40, 40), clLime);
  EXPECT_EQ(h->Shown(top, 40, 40), clLime);
}

TEST_P(ControlBehaviour, DrawingOutsidePaintingIsClippedToWhatIsVisible) {
  TProbe* top = h->TopLevel(40, 30, 220, 160, clBlue);
  TProbe* a = h->Child(top, "A", 10, 10, 120, 90);
  TProbe* b = h->Child(top, "B", 100, 20, 60, 40, clLime);
  TGraphicProbe* g = h->Graphic(top, "G", 150, 110, 40, 30);
  h->Pump();
  const int paints = a->PaintCount;

  TCanvas* c = a->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(Rect(-50, -50, 500, 500));
  EXPECT_EQ(h->Pixel(a, 50, 50), clRed);
  EXPECT_EQ(h->Pixel(a, 119, 89), clRed);
  EXPECT_EQ(h->Pixel(b, 5, 5), clLime) << "the sibling above is not drawn over";
  EXPECT_EQ(h->Pixel(top, 5, 5), clBlue);
  EXPECT_EQ(h->Pixel(top, 131, 80), clBlue);
  h->Pump();
  EXPECT_EQ(h->Shown(a, 50, 50), clRed);
  EXPECT_EQ(a->PaintCount, paints) << "drawing invalidates nothing";

  // A focus rectangle drawn twice leaves the pixels as they were (a drag line's trick).
  DrawFocusRect(*c, Rect(20, 20, 60, 60));
  EXPECT_NE(h->Pixel(a, 20, 20), clRed);
  DrawFocusRect(*c, Rect(20, 20, 60, 60));
  EXPECT_EQ(h->Pixel(a, 20, 20), clRed);

  // A control without a window draws on its part of the parent only.
  g->Canvas()->Brush()->SetColor(clFuchsia);
  g->Canvas()->FillRect(Rect(-10, -10, 100, 100));
  EXPECT_EQ(h->Pixel(top, 150, 110), clFuchsia);
  EXPECT_EQ(h->Pixel(top, 189, 139), clFuchsia);
  EXPECT_EQ(h->Pixel(top, 149, 110), clBlue);
  EXPECT_EQ(h->Pixel(top, 190, 139), clBlue);
  h->Pump();
  g->SetBounds(170, 70, 20, 20);
  g->Canvas()->FillRect(Rect(-10, -10, 100, 100));
  EXPECT_EQ(h->Pixel(top, 170, 70), clFuchsia) << "a moved control draws at its new place";
  EXPECT_EQ(h->Pixel(top, 169, 70), clBlue);
  EXPECT_EQ(h->Pixel(top, 190, 89), clBlue);
}

TEST_P(ControlBehaviour, ScrollingMovesPaintedPixelsAndRepaintsOnlyWhatIsUncovered) {
  const TColor palette[] = {clRed, clLime, clBlue, clYellow, clAqua};
  int offset = 0;
  TProbe* top = h->TopLevel(40, 30, 220, 160, clGray);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 100);
  a->OnPaint = [&](TProbe& p) {
    for (int row = 0; row < 10; ++row) {
      p.Canvas()->Brush()->SetColor(palette[(row + offset) % 5]);
      p.Canvas()->FillRect(Rect(0, row * 10, 100, row * 10 + 10));
    }
  };
  a->Invalidate();
  h->Pump();
  auto expectRows = [&](const char* when, std::initializer_list<int> xs = {0, 55, 99}) {
    for (int row = 0; row < 10; ++row)
      for (int x : xs) EXPECT_EQ(h->Pixel(a, x, row * 10 + 5), palette[(row + offset) % 5]) << when << " row " << row;
  };
  expectRows("painted");

  offset = 2;
  TRegion update;
  TRect updateRect;
  EXPECT_EQ(ScrollWindowEx(a->Handle(), 0, -20, nullptr, nullptr, &update, &updateRect, SW_INVALIDATE), SIMPLEREGION);
  EXPECT_EQ(updateRect, Rect(0, 80, 100, 100));
  EXPECT_EQ(h->Pixel(a, 50, 5), palette[2]) << "pixels move at once";
  const int paints = a->PaintCount;
  h->Pump();
  EXPECT_EQ(a->PaintCount, paints + 1);
  EXPECT_TRUE(a->PaintClips.back().SamePixels(TRegion(Rect(0, 80, 100, 100))));
  expectRows("scrolled up");

  // A pending update region moves with the pixels.
  offset = 3;
  const TRect pending = Rect(0, 50, 100, 60);
  InvalidateRect(a->Handle(), &pending, false);
  ScrollWindowEx(a->Handle(), 0, -10, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  h->Pump();
  TRegion expected(Rect(0, 40, 100, 50));
  expected.Unite(Rect(0, 90, 100, 100));
  EXPECT_TRUE(a->PaintClips.back().SamePixels(expected));
  expectRows("with a pending update");

  // Pixels hidden under a sibling cannot move out from under it: they are painted instead.
  TProbe* b = h->Child(top, "B", 70, 10, 50, 30, clBlack);
  h->Pump();
  offset = 2;
  ScrollWindowEx(a->Handle(), 0, 10, nullptr, nullptr, &update, nullptr, SW_INVALIDATE);
  EXPECT_TRUE(update.Contains({80, 35}));
  EXPECT_TRUE(update.Contains({10, 5}));
  EXPECT_FALSE(update.Contains({10, 50}));
  h->Pump();
  for (int row = 3; row < 10; ++row) EXPECT_EQ(h->Pixel(a, 80, row * 10 + 5), palette[(row + offset) % 5]) << row;
  expectRows("after uncovering", {0, 55});
  EXPECT_EQ(h->Pixel(b, 5, 5), clBlack);
  h->Pump();
  EXPECT_EQ(h->Shown(a, 80, 35), palette[(3 + offset) % 5]);
}

TEST_P(ControlBehaviour, CaptureSendsMouseInputOutsideTheControlToIt) {
  TProbe* top = h->TopLevel(40, 30, 240, 170);
  TProbe* a = h->Child(top, "A", 10, 10, 60, 60);
  TProbe* b = h->Child(top, "B", 120, 10, 60, 60);
  int clicks = 0;
  a->OnClick = [&](TObject*) { ++clicks; };
  h->Pump();
  h->Log.clear();

  h->MouseDown(a, 5, 5);
  EXPECT_EQ(GetCapture(), a->Handle());
  EXPECT_TRUE(a->MouseCapture());
  h->MouseMove(a, 130, 20);   // over B
  h->MouseMove(a, -70, -60);  // outside the top-level window
  h->MouseUp(a, -70, -60);
  EXPECT_EQ(h->Take({"ldown", "move", "lup"}), (TLog{"A ldown 5 5", "A move 130 20", "A move -70 -60", "A lup -70 -60"}));
  EXPECT_EQ(GetCapture(), HWND{});
  EXPECT_EQ(clicks, 0) << "released outside: no click";

  h->MouseMove(a, 130, 20);
  EXPECT_EQ(h->Take({"move"}), TLog{"B move 20 20"}) << "without capture the mouse reaches what is below it";
  h->Click(a, 20, 20);
  EXPECT_EQ(clicks, 1);
  h->Log.clear();

  SetCapture(a->Handle());
  SetCapture(b->Handle());
  EXPECT_EQ(h->Take({"capturechanged"}), TLog{"A capturechanged"});
  ReleaseCapture();
  EXPECT_EQ(h->Take({"capturechanged"}), TLog{"B capturechanged"});

  // A control without a window captures through its parent and gets its own coordinates.
  TGraphicProbe* g = h->Graphic(top, "G", 10, 100, 50, 40);
  h->Pump();
  h->Log.clear();
  h->MouseDown(g, 5, 5);
  EXPECT_EQ(GetCaptureControl(), g);
  h->MouseMove(g, 150, -50);
  h->MouseUp(g, 150, -50);
  EXPECT_EQ(h->Take({"ldown", "move", "lup"}, {"G"}), (TLog{"G ldown 5 5", "G move 150 -50", "G lup 150 -50"}));
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST_P(ControlBehaviour, FocusMovesSendExitAndEnterInOrder) {
  TProbe* top = h->TopLevel(40, 30, 260, 160);
  TProbe* p1 = h->Child(top, "P1", 10, 10, 100, 100);
  TProbe* a1 = h->Child(p1, "A1", 5, 5, 40, 30);
  TProbe* a2 = h->Child(p1, "A2", 5, 50, 40, 30);
  TProbe* p2 = h->Child(top, "P2", 120, 10, 100, 100);
  TProbe* b1 = h->Child(p2, "B1", 5, 5, 40, 30);
  for (TProbe* p : {a1, a2, b1}) p->SetTabStop(true);
  const std::set<std::string> focus{"setfocus", "killfocus", "enter", "exit"};
  h->Pump();
  a1->SetFocus();
  h->Pump();
  h->Log.clear();

  a2->SetFocus();
  EXPECT_EQ(h->Take(focus), (TLog{"A1 killfocus", "A1 exit", "A2 enter", "A2 setfocus"}));
  b1->SetFocus();
  EXPECT_EQ(h->Take(focus), (TLog{"A2 killfocus", "A2 exit", "P1 exit", "P2 enter", "B1 enter", "B1 setfocus"}));
  EXPECT_TRUE(b1->Focused());
  EXPECT_FALSE(a2->Focused());
  EXPECT_EQ(GetFocus(), b1->Handle());
  EXPECT_EQ(Screen->ActiveControl(), b1);
  EXPECT_EQ(GetTopLevelParent(Screen->ActiveControl()), top);
  EXPECT_EQ(top->FocusedControl(), b1);

  // Tab follows the tab order (wrapping) and its character is swallowed; Shift+Tab goes back.
  h->KeyDown(b1, VK_TAB);
  h->Char(b1, U'\t');
  h->KeyUp(b1, VK_TAB);
  EXPECT_TRUE(a1->Focused());
  EXPECT_EQ(h->Take({"keydown", "char"}), TLog{});
  h->KeyDown(a1, VK_SHIFT);
  h->KeyDown(a1, VK_TAB);
  h->KeyUp(a1, VK_TAB);
  h->KeyUp(a1, VK_SHIFT);
  EXPECT_TRUE(b1->Focused());
  // A control that wants the tab key gets it.
  a1->DlgCode = DLGC_WANTTAB;
  a1->SetFocus();
  h->Log.clear();
  h->KeyDown(a1, VK_TAB);
  h->Char(a1, U'\t');
  EXPECT_EQ(h->Take({"keydown", "char"}), (TLog{"A1 keydown 9", "A1 char 9"}));
  EXPECT_TRUE(a1->Focused());

  // An exit handler that keeps the focus (a failed validation) ends the move.
  a1->OnExitHook = [](TProbe& p) { p.SetFocus(); };
  b1->SetFocus();
  EXPECT_TRUE(a1->Focused());
  EXPECT_EQ(top->FocusedControl(), a1);
  EXPECT_EQ(h->Take(focus, {"A1"}), (TLog{"A1 killfocus", "A1 exit", "A1 enter", "A1 setfocus"}));
  a1->OnExitHook = nullptr;

  // Hiding the focused control gives the focus to the top-level control.
  a1->Hide();
  EXPECT_TRUE(top->Focused());
  EXPECT_EQ(h->Take(focus), (TLog{"A1 killfocus", "A1 exit", "P1 exit", "T setfocus"}));

  try {
    a1->SetFocus();
    ADD_FAILURE() << "a hidden control took the focus";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot focus a disabled or invisible window");
  }
  p2->SetEnabled(false);
  EXPECT_FALSE(b1->CanFocus());
  EXPECT_THROW(b1->SetFocus(), EInvalidOperation);
}

TEST_P(ControlBehaviour, TimersSendWMTimerUntilKilled) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 60, 60);
  h->Pump();
  h->Log.clear();
  EXPECT_EQ(SetTimer(a->Handle(), 7, 20), 7u);
  h->Wait(90);
  const TLog ticks = h->Take({"timer"});
  ASSERT_FALSE(ticks.empty());
  for (const auto& t : ticks) EXPECT_EQ(t, "A timer 7");

  SetTimer(a->Handle(), 8, 20);
  EXPECT_TRUE(KillTimer(a->Handle(), 7));
  EXPECT_FALSE(KillTimer(a->Handle(), 7));
  h->Wait(90);
  const TLog eights = h->Take({"timer"});
  ASSERT_FALSE(eights.empty());
  for (const auto& t : eights) EXPECT_EQ(t, "A timer 8");

  // A window that goes takes its timers along.
  const HWND old = a->Handle();
  a->DestroyHandle();
  h->Wait(60);
  EXPECT_EQ(h->Take({"timer"}), TLog{});
  EXPECT_EQ(SetTimer(old, 9, 20), 0u);
  EXPECT_FALSE(KillTimer(old, 8));
}

TEST_P(ControlBehaviour, WheelGoesToTheFocusedControlAndBubbles) {
  TProbe* top = h->TopLevel(40, 30, 240, 160);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  TProbe* b = h->Child(top, "B", 120, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  int delta = 0, downs = 0, ups = 0, parentWheels = 0;
  TPoint where;
  TShiftState shift;
  bool handle = false;
  a->OnMouseWheel = [&](TObject*, TShiftState s, int d, TPoint p, bool& handled) {
    delta = d;
    where = p;
    shift = s;
    handled = handle;
  };
  a->OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& handled) {
    ++downs;
    handled = true;
  };
  a->OnMouseWheelUp = [&](TObject*, TShiftState, TPoint, bool& handled) {
    ++ups;
    handled = true;
  };
  top->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool&) { ++parentWheels; };

  h->Wheel(b, 10, 10, -WHEEL_DELTA);
  EXPECT_EQ(delta, -WHEEL_DELTA);
  EXPECT_EQ(where, b->ClientToScreen({10, 10})) << "the position is on the screen";
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(parentWheels, 0);
  h->Wheel(b, 10, 10, WHEEL_DELTA / 2);
  EXPECT_EQ(ups, 0) << "half a notch is kept";
  EXPECT_EQ(parentWheels, 1) << "and, unhandled, offered to the parent";
  h->Wheel(b, 10, 10, WHEEL_DELTA / 2);
  EXPECT_EQ(ups, 1);
  EXPECT_EQ(parentWheels, 1);

  h->KeyDown(a, VK_CONTROL);
  handle = true;
  h->Wheel(a, 5, 5, WHEEL_DELTA);
  EXPECT_TRUE(shift.Contains(ssCtrl));
  EXPECT_EQ(ups, 1) << "handled by OnMouseWheel";
  h->KeyUp(a, VK_CONTROL);

  // Unhandled, the wheel goes to the parent.
  a->OnMouseWheel = nullptr;
  a->OnMouseWheelDown = nullptr;
  h->Wheel(a, 5, 5, -WHEEL_DELTA);
  EXPECT_EQ(parentWheels, 2);
}

TEST_P(ControlBehaviour, KeyStateFollowsTheInputBeingHandled) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  TShiftState shift;
  bool ctrlDown = false, leftDown = false;
  a->OnMouseMove = [&](TObject*, TShiftState s, int, int) {
    shift = s;
    ctrlDown = GetKeyState(VK_CONTROL) < 0;
    leftDown = GetKeyState(VK_LBUTTON) < 0;
  };
  h->KeyDown(a, VK_CONTROL);
  h->MouseMove(a, 10, 10);
  EXPECT_TRUE(shift.Contains(ssCtrl));
  EXPECT_TRUE(ctrlDown);
  EXPECT_FALSE(leftDown);
  h->KeyUp(a, VK_CONTROL);
  h->MouseMove(a, 11, 10);
  EXPECT_FALSE(shift.Contains(ssCtrl));
  EXPECT_FALSE(ctrlDown);

  h->MouseDown(a, 12, 10);
  h->MouseMove(a, 20, 10);
  EXPECT_TRUE(shift.Contains(ssLeft));
  EXPECT_TRUE(leftDown);
  h->MouseUp(a, 20, 10);
  h->KeyDown(a, VK_MENU);
  h->MouseMove(a, 21, 10);
  EXPECT_TRUE(shift.Contains(ssAlt)) << "Alt comes from the key state";
  EXPECT_FALSE(shift.Contains(ssLeft));
  h->KeyUp(a, VK_MENU);

  Word key = 0;
  TShiftState keyShift;
  char32_t typed = 0;
  a->OnKeyDown = [&](TObject*, Word& k, TShiftState s) {
    key = k;
    keyShift = s;
  };
  a->OnKeyPress = [&](TObject*, char32_t& c) { typed = c; };
  h->KeyDown(a, VK_SHIFT);
  h->KeyDown(a, 'E');
  h->Char(a, U'\u00C9');
  h->KeyUp(a, 'E');
  h->KeyUp(a, VK_SHIFT);
  EXPECT_EQ(key, 'E');
  EXPECT_TRUE(keyShift.Contains(ssShift));
  EXPECT_EQ(typed, U'\u00C9');
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_P(ControlBehaviour, NonClientFrameSizesTheClientAreaAndPaints) {
  TProbe* top = h->TopLevel(40, 30, 340, 200, clGray);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 80, clWhite, [](TProbe& p) { p.ExtraExStyle = WS_EX_CLIENTEDGE; });
  TProbe* b = h->Child(top, "B", 120, 10, 100, 80, clWhite, [](TProbe& p) { p.FrameWidth = 3; });
  TProbe* c = h->Child(top, "C", 230, 10, 100, 80, clWhite, [](TProbe& p) { p.ExtraStyle = WS_VSCROLL; });
  h->Pump();

  EXPECT_EQ(a->ClientRect(), Rect(0, 0, 96, 76));
  EXPECT_EQ(a->ClientOrigin(), top->ClientToScreen({12, 12}));
  TBitmap edge;
  edge.SetSize(100, 80);
  TRect r = Rect(0, 0, 100, 80);
  DrawEdge(*edge.Canvas(), r, EDGE_SUNKEN, BF_RECT);
  for (TPoint p : {TPoint{0, 0}, TPoint{1, 1}, TPoint{99, 79}, TPoint{98, 78}, TPoint{50, 0}})
    EXPECT_EQ(h->WindowPixel(a, p.X, p.Y), edge.Canvas()->Pixels(p.X, p.Y)) << p.X << "," << p.Y;
  EXPECT_EQ(h->Pixel(a, 0, 0), clWhite);
  EXPECT_EQ(h->Shown(a, -2, -2), edge.Canvas()->Pixels(0, 0));

  EXPECT_EQ(b->ClientRect(), Rect(0, 0, 94, 74));
  EXPECT_EQ(h->WindowPixel(b, 0, 0), clRed);
  EXPECT_EQ(h->WindowPixel(b, 2, 40), clRed);
  EXPECT_EQ(h->WindowPixel(b, 3, 40), clWhite);
  const int paints = b->PaintCount;
  b->FrameColor = clBlue;
  FrameChanged(b->Handle());
  h->Pump();
  EXPECT_EQ(h->WindowPixel(b, 0, 0), clBlue);
  EXPECT_EQ(b->PaintCount, paints) << "the client area stayed valid";

  // A standard scroll bar takes its width from the client area and sends scroll messages.
  EXPECT_EQ(c->ClientWidth(), 83);
  TScrollInfo info;
  info.fMask = SIF_ALL;
  info.nMin = 0;
  info.nMax = 99;
  info.nPage = 10;
  info.nPos = 50;
  SetScrollInfo(c->Handle(), SB_VERT, info, true);
  EXPECT_EQ(GetScrollPos(c->Handle(), SB_VERT), 50);
  info.nPos = 500;
  info.fMask = SIF_POS;
  EXPECT_EQ(SetScrollInfo(c->Handle(), SB_VERT, info, true), 90) << "kept inside the range less the page";
  SetScrollPos(c->Handle(), SB_VERT, 50, true);
  h->Pump();
  h->Log.clear();
  h->MouseDown(c, 91, 72);  // the down arrow
  h->MouseUp(c, 91, 72);
  h->MouseDown(c, 91, 60);  // the track below the thumb
  h->MouseUp(c, 91, 60);
  EXPECT_EQ(h->Take({"vscroll"}), (TLog{"C vscroll 1 0", "C vscroll 8 0", "C vscroll 3 0", "C vscroll 8 0"}));
  h->MouseDown(c, 91, 42);  // the thumb
  h->MouseMove(c, 91, 52);
  h->MouseUp(c, 91, 52);
  const TLog drag = h->Take({"vscroll"});
  ASSERT_EQ(drag.size(), 3u);
  EXPECT_EQ(drag[0].rfind("C vscroll 5 ", 0), 0u) << drag[0];
  EXPECT_GT(std::stoi(drag[0].substr(12)), 50);
  EXPECT_EQ(drag[1], "C vscroll 4 " + drag[0].substr(12));
  EXPECT_EQ(drag[2], "C vscroll 8 0");

  // A range that fits the page hides the bar: the client area grows and is told so.
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMax = 9;
  SetScrollInfo(c->Handle(), SB_VERT, info, true);
  EXPECT_EQ(c->ClientWidth(), 100);
  EXPECT_EQ(h->Take({"size"}), TLog{"C size 100 80"});
  h->Pump();
  EXPECT_EQ(h->Pixel(c, 95, 40), clWhite);
}

TEST_P(ControlBehaviour, ExceptionsInHandlersGoToTheApplication) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  std::vector<std::string> reported;
  Application->OnException = [&](TObject* sender, const Exception& e) {
    reported.push_back(e.Message() + (sender == a ? " from A" : ""));
  };
  a->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { throw EConvertError("'x' is not a valid integer value"); };
  a->OnMouseUp = [](TObject*, TMouseButton, TShiftState, int, int) { Abort(); };
  EXPECT_NO_THROW(h->MouseDown(a, 5, 5));
  EXPECT_NO_THROW(h->MouseUp(a, 5, 5));
  EXPECT_EQ(reported, std::vector<std::string>{"'x' is not a valid integer value from A"}) << "EAbort is silent";

  a->OnPaint = [](TProbe&) { throw EInvalidOperation("paint failed"); };
  a->Invalidate();
  EXPECT_NO_THROW(h->Pump());
  EXPECT_EQ(reported.back(), "paint failed from A");
  EXPECT_NO_THROW(h->Pump());
  EXPECT_EQ(reported.size(), 2u) << "the failed paint is not retried forever";
  EXPECT_THROW(a->Perform(WM_PAINT), EInvalidOperation) << "Perform hands exceptions to the caller";
}

TEST_P(ControlBehaviour, PeekMessageSeesQueuedKeysAndPostedMessagesComeFirst) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 60);
  h->Pump();
  a->SetFocus();
  h->Pump();
  h->Log.clear();
  // Typed without a pause, so that everything waits in the queue.
  const TNativeWindow native = NativeWindowOf(top->Handle());
  auto type = [&](TNativeInputKind kind, Word key, char32_t c) {
    TNativeInput in;
    in.Kind = kind;
    in.Key = key;
    in.Char = c;
    h->Driver().Inject(native, in);
  };
  type(TNativeInputKind::KeyDown, 'E', 0);
  type(TNativeInputKind::Char, 0, U'\u00E9');
  type(TNativeInputKind::KeyUp, 'E', 0);
  type(TNativeInputKind::KeyDown, 'X', 0);
  type(TNativeInputKind::Char, 0, U'x');
  PostMessage(a->Handle(), WM_USER + 1, 7, 0);

  TMsg m;
  ASSERT_TRUE(PeekMessage(m, HWND{}, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.Msg, WM_USER + 1u) << "posted messages come before input";
  EXPECT_EQ(m.hwnd, a->Handle());
  ASSERT_TRUE(PeekMessage(m, a->Handle(), WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE));
  EXPECT_EQ(m.WParam, WPARAM{'E'});
  // What an editor opened by the key does: drop that key's character and key-up.
  ASSERT_TRUE(PeekMessage(m, a->Handle(), WM_CHAR, WM_CHAR, PM_REMOVE));
  EXPECT_EQ(m.WParam, WPARAM{0xE9});
  ASSERT_TRUE(PeekMessage(m, a->Handle(), WM_KEYUP, WM_KEYUP, PM_REMOVE));
  EXPECT_EQ(m.WParam, WPARAM{'E'});
  EXPECT_FALSE(PeekMessage(m, a->Handle(), WM_KEYUP, WM_KEYUP, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessage(m, top->Handle(), WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "a parent sees its children's";
  EXPECT_EQ(m.hwnd, a->Handle()) << "keys go to the focus";
  EXPECT_FALSE(PeekMessage(m, static_cast<HWND>(~std::uintptr_t{0}), 0, 0, PM_NOREMOVE)) << "nothing for no window";
  EXPECT_FALSE(PeekMessage(m, a->Handle(), WM_CHAR, WM_KEYDOWN, PM_NOREMOVE)) << "an empty range";
  EXPECT_FALSE(PeekMessage(m, static_cast<HWND>(999999), 0, 0, PM_NOREMOVE)) << "no such window";

  h->Pump();
  EXPECT_EQ(h->Take({"posted", "keydown", "keyup", "char"}),
            (TLog{"A posted 7", "A keydown 69", "A keydown 88", "A char 120"}));
  EXPECT_FALSE(PeekMessage(m, HWND{}, 0, 0, PM_NOREMOVE));
}

TEST_P(ControlBehaviour, NonClientHitTestDecidesWhereClientMouseMessagesGo) {
  TProbe* top = h->TopLevel(40, 30, 240, 140);
  // A 10-pixel frame whose right side is claimed as client area (a button drawn there).
  TProbe* a = h->Child(top, "A", 10, 10, 100, 60, clWhite, [](TProbe& p) { p.FrameWidth = 10; });
  a->ClaimsAsClient = [](TPoint p) { return p.X >= 80 && p.X < 90 && p.Y >= 0 && p.Y < 40; };
  h->Pump();
  ASSERT_EQ(a->ClientRect(), Rect(0, 0, 80, 40));
  auto hit = [&](int x, int y) { return SendMessage(a->Handle(), WM_NCHITTEST, 0, PointToLParam(a->ClientToScreen({x, y}))); };
  EXPECT_EQ(hit(20, 20), HTCLIENT);
  EXPECT_EQ(hit(-5, 20), HTBORDER);
  EXPECT_EQ(hit(85, 20), HTCLIENT);
  EXPECT_EQ(hit(200, 20), HTNOWHERE);
  h->Log.clear();

  h->MouseMove(a, 85, 20);
  h->Click(a, 85, 20);
  h->Click(a, -5, 20);  // the frame nobody claimed
  h->Click(a, 20, 20);
  EXPECT_EQ(h->Take({"move", "ldown", "lup"}, {"A", "T"}),
            (TLog{"A move 85 20", "A ldown 85 20", "A lup 85 20", "A ldown 20 20", "A lup 20 20"}));
}

}  // namespace zvtest
