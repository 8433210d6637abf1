// Input and focus helpers on the headless backend, driven through the controls harness.

#include "runtime/rtm/InputRoutines.h"

#include "HarnessTest.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zvtest {
namespace {

class InputRoutines : public THarnessTest {};

bool Has(const std::vector<unsigned>& msgs, unsigned msg) {
  return std::find(msgs.begin(), msgs.end(), msg) != msgs.end();
}

TEST_F(InputRoutines, MousePositionIsInClientCoordinatesOfEachNestedControl) {
  TProbe* top = h->TopLevel(40, 30, 300, 200);
  TProbe* a = h->Child(top, "A", 10, 10, 200, 150);
  TProbe* b = h->Child(a, "B", 20, 15, 100, 80, clWhite, [](TProbe& p) { p.FrameWidth = 3; });
  h->Pump();

  h->MouseMove(b, 5, 7);
  EXPECT_EQ(GetMousePos(b), TPoint(5, 7));
  EXPECT_EQ(GetMousePos(a), TPoint(20 + 3 + 5, 15 + 3 + 7)) << "B's frame lies between A's and B's client areas";
  EXPECT_EQ(GetMousePosInScr(), b->ClientToScreen({5, 7}));
  EXPECT_EQ(GetMousePos(nullptr), GetMousePosInScr());

  // Outside B the position is still reported, relative to B.
  h->MouseMove(a, 2, 4);
  EXPECT_EQ(GetMousePos(a), TPoint(2, 4));
  EXPECT_EQ(GetMousePos(b), TPoint(2 - 23, 4 - 18));

  // Inside a handler it is the position of the message being handled.
  TPoint seen;
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { seen = GetMousePos(b); };
  h->MouseDown(b, 30, 40);
  h->MouseUp(b, 30, 40);
  EXPECT_EQ(seen, TPoint(30, 40));
}

TEST_F(InputRoutines, KeyStateIsTheOneOfTheInputBeingHandled) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  bool shift = false, ctrl = false, key = false, left = false;
  a->OnKeyDown = [&](TObject*, Word&, TShiftState) {
    shift = IsKeyPressed(VK_SHIFT);
    ctrl = IsKeyPressed(VK_CONTROL);
    key = IsKeyPressed('Q');
  };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { left = IsKeyPressed(VK_LBUTTON); };

  h->KeyDown(a, VK_SHIFT);
  h->KeyDown(a, 'Q');
  EXPECT_TRUE(shift);
  EXPECT_FALSE(ctrl);
  EXPECT_TRUE(key);
  h->KeyUp(a, 'Q');
  h->KeyUp(a, VK_SHIFT);
  EXPECT_FALSE(IsKeyPressed(VK_SHIFT));
  EXPECT_FALSE(IsKeyPressed('Q'));

  h->MouseDown(a, 5, 5);
  EXPECT_TRUE(left);
  h->MouseUp(a, 5, 5);
  EXPECT_FALSE(IsKeyPressed(VK_LBUTTON));
}

TEST_F(InputRoutines, PerformKeyDownSendsKeyDownWithTheAltContextBitOnly) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  std::vector<TMessage> raw;
  auto previous = a->WindowProc;
  a->WindowProc = [&, previous](TMessage& m) {
    if (m.Msg == WM_KEYDOWN) raw.push_back(m);
    previous(m);
  };
  Word key = 0;
  TShiftState shift;
  a->OnKeyDown = [&](TObject*, Word& k, TShiftState s) {
    key = k;
    shift = s;
  };

  PerformKeyDown(a, 'X', {ssAlt, ssCtrl});
  ASSERT_EQ(raw.size(), 1u) << "sent at once, not queued";
  EXPECT_EQ(raw[0].WParam, WPARAM('X'));
  EXPECT_EQ(raw[0].LParam, LPARAM(0x20000000));
  EXPECT_EQ(key, 'X');
  EXPECT_TRUE(shift.Contains(ssAlt));
  EXPECT_FALSE(shift.Contains(ssCtrl)) << "Ctrl comes from the key state, which nothing pressed";

  PerformKeyDown(a, VK_F1, {ssShift, ssCtrl});
  ASSERT_EQ(raw.size(), 2u);
  EXPECT_EQ(raw[1].WParam, WPARAM(VK_F1));
  EXPECT_EQ(raw[1].LParam, 0);
  EXPECT_FALSE(shift.Contains(ssAlt));

  PerformKeyDown(nullptr, 'X', {});
  EXPECT_EQ(raw.size(), 2u);
}

TEST_F(InputRoutines, HasAsParentWalksTheParentChainOnly) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 150, 100);
  TProbe* b = h->Child(a, "B", 10, 10, 100, 60);
  TGraphicProbe* g = h->Graphic(b, "G", 5, 5, 10, 10);
  TProbe* other = h->TopLevel(300, 0, 100, 100);
  TProbe* c = h->Child(other, "C", 0, 0, 50, 50);

  EXPECT_TRUE(HasAsParent(a, b));
  EXPECT_TRUE(HasAsParent(top, b));
  EXPECT_TRUE(HasAsParent(top, g));
  EXPECT_TRUE(HasAsParent(b, g));
  EXPECT_FALSE(HasAsParent(b, b)) << "not its own parent";
  EXPECT_FALSE(HasAsParent(b, a)) << "children are not parents";
  EXPECT_FALSE(HasAsParent(top, c));
  EXPECT_FALSE(HasAsParent(other, b));
  EXPECT_FALSE(HasAsParent(nullptr, b));
  EXPECT_FALSE(HasAsParent(a, nullptr));
  EXPECT_FALSE(HasAsParent(top, top));

  b->SetParent(other);
  EXPECT_FALSE(HasAsParent(a, g)) << "follows re-parenting";
  EXPECT_TRUE(HasAsParent(other, g));
}

TEST_F(InputRoutines, SafeSetFocusToDropsActivationWhileFocusing) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  TProbe* b = h->Child(top, "B", 100, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  std::vector<unsigned> seen;
  auto previous = top->WindowProc;
  top->WindowProc = [&, previous](TMessage& m) {
    seen.push_back(m.Msg);
    previous(m);
  };
  // Focusing B makes it activate the form, as a pop-up closing on focus would.
  b->OnEnter = [&](TObject*) {
    top->Perform(CM_ACTIVATE);
    top->Perform(CM_DEACTIVATE);
    top->Perform(WM_USER + 7);
  };

  SafeSetFocusTo(top, b);
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(Has(seen, CM_ACTIVATE));
  EXPECT_FALSE(Has(seen, CM_DEACTIVATE));
  EXPECT_TRUE(Has(seen, WM_USER + 7)) << "other messages pass to the previous procedure";

  seen.clear();
  top->Perform(CM_ACTIVATE);
  EXPECT_TRUE(Has(seen, CM_ACTIVATE)) << "the previous procedure is back";

  // Without a form the control is simply focused.
  b->OnEnter = nullptr;
  SafeSetFocusTo(nullptr, a);
  EXPECT_TRUE(a->Focused());
}

TEST_F(InputRoutines, SafeSetFocusToRestoresTheProcedureWhenFocusingFails) {
  TProbe* top = h->TopLevel(0, 0, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  std::vector<unsigned> seen;
  auto previous = top->WindowProc;
  top->WindowProc = [&, previous](TMessage& m) {
    seen.push_back(m.Msg);
    previous(m);
  };
  a->SetEnabled(false);
  EXPECT_THROW(SafeSetFocusTo(top, a), EInvalidOperation);
  EXPECT_FALSE(a->Focused());
  top->Perform(CM_DEACTIVATE);
  EXPECT_TRUE(Has(seen, CM_DEACTIVATE));

  // A form whose procedure was cleared still handles what the filter lets through.
  top->WindowProc = nullptr;
  a->SetEnabled(true);
  a->OnEnter = [&](TObject*) { top->Perform(WM_USER + 1); };
  EXPECT_NO_THROW(SafeSetFocusTo(top, a));
  EXPECT_TRUE(a->Focused());
  EXPECT_FALSE(top->WindowProc) << "restored as it was";
  top->WindowProc = previous;
}

TEST_F(InputRoutines, ProcessCommandMsgHandlesPendingMessagesOnlyBehindACommand) {
  TProbe* top = h->TopLevel(0, 0, 100, 60);
  h->Pump();
  std::vector<unsigned> seen;
  auto previous = top->WindowProc;
  top->WindowProc = [&, previous](TMessage& m) {
    seen.push_back(m.Msg);
    previous(m);
  };
  PostMessage(top->Handle(), WM_USER + 1, 0, 0);
  ProcessCommandMsg();  // the next message is no command: nothing is handled
  EXPECT_FALSE(Has(seen, WM_USER + 1));
  h->Pump();
  EXPECT_TRUE(Has(seen, WM_USER + 1));

  seen.clear();
  PostMessage(top->Handle(), WM_COMMAND, 5, 0);
  PostMessage(top->Handle(), WM_USER + 2, 0, 0);
  ProcessCommandMsg();  // a command waits: everything pending is handled
  EXPECT_TRUE(Has(seen, WM_COMMAND));
  EXPECT_TRUE(Has(seen, WM_USER + 2));
  ProcessCommandMsg();  // an empty queue is fine
}

TEST(InputRoutinesSettings, FirstDayOfWeekDefaultsToSundayAndAcceptsOnlyDays) {
  EXPECT_EQ(GetFirstDayOfWeek(), 1);
  SetFirstDayOfWeek(2);
  EXPECT_EQ(GetFirstDayOfWeek(), 2);
  SetFirstDayOfWeek(7);
  EXPECT_EQ(GetFirstDayOfWeek(), 7);
  EXPECT_THROW(SetFirstDayOfWeek(0), ERangeError);
  EXPECT_THROW(SetFirstDayOfWeek(8), ERangeError);
  EXPECT_EQ(GetFirstDayOfWeek(), 7) << "a rejected day changes nothing";
  SetFirstDayOfWeek(1);
}

}  // namespace
}  // namespace zvtest
