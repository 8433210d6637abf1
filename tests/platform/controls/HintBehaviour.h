#pragma once
// Hints the same on every backend: the hint of the control under a resting mouse shows in a
// pop-up that takes no activation, says what the control's CM_HINTSHOW made of it, stays inside
// the work area, and goes on a key, a click, a move elsewhere or the control's destruction.
// Pauses are shortened so that a backend with a real clock stays fast; the headless suite checks
// the exact timing.
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, HintBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"

#include "platform/controls/HintWindow.h"

#include <gtest/gtest.h>

#include <chrono>

namespace zvtest {

class HintBehaviour : public TBehaviourTest {
protected:
  void SetUp() override {
    TBehaviourTest::SetUp();
    savedPause = Application->HintPause();
    savedShort = Application->HintShortPause();
    savedHide = Application->HintHidePause();
    Application->SetHintPause(60);
    Application->SetHintShortPause(20);
    Application->SetHintHidePause(400);
    top = h->TopLevel(40, 30, 320, 200);
    a = h->Child(top, "A", 10, 10, 100, 60);
    b = h->Child(top, "B", 150, 10, 100, 60);
    a->SetHint("Alpha|the long alpha");
    a->SetShowHint(true);
    b->SetHint("Beta");
    b->SetShowHint(true);
    h->Pump();
  }
  void TearDown() override {
    Application->CancelHint();
    Application->OnShowHint = nullptr;
    Application->SetHintPause(savedPause);
    Application->SetHintShortPause(savedShort);
    Application->SetHintHidePause(savedHide);
    TBehaviourTest::TearDown();
  }
  bool Showing() {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }
  // Waits in small steps until the hint shows (or stops showing); false on a timeout.
  bool WaitFor(bool showing, unsigned limit = 3000) {
    for (unsigned waited = 0; Showing() != showing && waited < limit; waited += 10) h->Wait(10);
    return Showing() == showing;
  }
  String ShownText() { return Showing() ? Application->HintWindow()->Caption() : String("<none>"); }

  int savedPause = 0, savedShort = 0, savedHide = 0;
  TProbe* top = nullptr;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
};

TEST_P(HintBehaviour, AHintShowsUnderTheRestingMouseWithoutTakingTheFocusAndGoesAgain) {
  a->SetFocus();
  h->Pump();
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  EXPECT_EQ(ShownText(), "Alpha") << "the part before '|'";
  THintWindow* w = Application->HintWindow();
  const TPoint mouse = a->ClientToScreen({20, 30});
  EXPECT_EQ(w->Left(), mouse.X);
  EXPECT_GT(w->Top(), mouse.Y) << "below the cursor";
  EXPECT_TRUE(a->Focused()) << "the hint takes no activation";
  EXPECT_EQ(GetFocus(), a->Handle());
  EXPECT_EQ(w->Parent(), nullptr);
  // The hint shows on its own colour and text.
  h->Pump();
  EXPECT_EQ(h->Pixel(w, 1, w->ClientHeight() - 2), ColorToRGB(clInfoBk));
  EXPECT_TRUE(WaitFor(false)) << "the hide pause ends it";
  h->Pump();
  EXPECT_FALSE(w->HandleAllocated()) << "no window stays behind";
}

TEST_P(HintBehaviour, KeysClicksAndLeavingEndTheHint) {
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  h->KeyDown(a, VK_SHIFT);
  EXPECT_FALSE(Showing()) << "a key";
  h->KeyUp(a, VK_SHIFT);
  h->MouseMove(a, 21, 30);
  ASSERT_TRUE(WaitFor(true));
  h->MouseDown(a, 21, 30);
  EXPECT_FALSE(Showing()) << "a click";
  h->MouseUp(a, 21, 30);
  h->MouseMove(a, 22, 30);
  ASSERT_TRUE(WaitFor(true));
  h->MouseMove(top, 5, 150);
  EXPECT_FALSE(Showing()) << "the mouse left for a control without hints";
  EXPECT_EQ(Application->HintControl(), nullptr);

  // Moving from one hinted control to the next shows the next one's hint.
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  h->MouseMove(b, 20, 30);
  for (int i = 0; i < 300 && ShownText() != "Beta"; ++i) h->Wait(10);
  EXPECT_EQ(ShownText(), "Beta");
}

TEST_P(HintBehaviour, TheControlChangesOrRefusesItsHint) {
  std::vector<std::string> pauses;
  auto inheritedA = a->WindowProc;
  a->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      THintInfo* info = TCMHintShow(m).HintInfo();
      EXPECT_EQ(info->HintControl, a);
      EXPECT_EQ(info->HintStr, "Alpha");
      EXPECT_EQ(info->CursorPos, (TPoint{20, 30}));
      EXPECT_EQ(info->CursorRect, a->ClientRect());
      EXPECT_EQ(info->HideTimeout, Application->HintHidePause());
      EXPECT_EQ(info->HintWindowClass, THintWindow::StaticClass());
      info->HintStr = "Changed\r\nin two lines";
      info->HintPos = a->ClientToScreen({60, 0});
      info->CursorRect = Rect(0, 0, 40, 60);  // the left part of the control only
      return;
    }
    if (m.Msg == CM_HINTSHOWPAUSE) pauses.push_back("A " + std::to_string(m.WParam));
    inheritedA(m);
  };
  auto inheritedB = b->WindowProc;
  b->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_HINTSHOW) {
      m.Result = 1;  // refused
      return;
    }
    if (m.Msg == CM_HINTSHOWPAUSE) {
      pauses.push_back("B " + std::to_string(m.WParam));
      *TCMHintShowPause(m).Pause() = 0;
    }
    inheritedB(m);
  };
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  EXPECT_EQ(ShownText(), "Changed\r\nin two lines");
  THintWindow* w = Application->HintWindow();
  EXPECT_EQ(w->Left(), a->ClientToScreen({60, 0}).X);
  EXPECT_GT(w->Height(), 2 * w->Canvas()->TextHeight("Wg")) << "two lines tall";
  h->MouseMove(a, 30, 30);
  EXPECT_TRUE(Showing()) << "inside the cursor rectangle nothing changes";
  h->MouseMove(b, 20, 30);
  h->Wait(100);
  EXPECT_FALSE(Showing()) << "B refuses its hint";
  EXPECT_EQ(pauses, (std::vector<std::string>{"A 0", "B 1"})) << "B was asked while A's hint showed";
  a->WindowProc = inheritedA;
  b->WindowProc = inheritedB;

  // The application's OnShowHint comes after the control and may refuse too.
  Application->OnShowHint = [](String& text, bool& canShow, THintInfo&) { canShow = text != "Alpha"; };
  h->MouseMove(a, 20, 31);
  h->Wait(200);
  EXPECT_FALSE(Showing());
}

TEST_P(HintBehaviour, ShowHintComesFromTheParentAndAHintFromTheNearestOwner) {
  TProbe* inner = h->Child(a, "I", 5, 5, 30, 30);
  EXPECT_TRUE(inner->ShowHint()) << "ParentShowHint takes the parent's";
  a->SetShowHint(false);
  EXPECT_FALSE(inner->ShowHint()) << "and follows it";
  a->SetShowHint(true);
  EXPECT_TRUE(inner->ShowHint());
  h->MouseMove(inner, 10, 10);
  ASSERT_TRUE(WaitFor(true));
  EXPECT_EQ(ShownText(), "Alpha") << "a control without a hint shows its parent's";
  EXPECT_EQ(Application->HintControl(), inner);
  inner->SetShowHint(false);
  EXPECT_FALSE(inner->ParentShowHint());
  h->MouseMove(inner, 12, 10);
  ASSERT_TRUE(WaitFor(true));
  EXPECT_EQ(Application->HintControl(), a) << "the nearest parent that shows hints";
  Application->SetShowHint(false);
  EXPECT_FALSE(Showing());
  h->MouseMove(inner, 14, 10);
  h->Wait(200);
  EXPECT_FALSE(Showing()) << "the application shows no hints at all";
  Application->SetShowHint(true);
}

TEST_P(HintBehaviour, AControlDestroyedWhileItsHintShowsTakesTheHintWithIt) {
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  delete a;
  a = nullptr;
  EXPECT_FALSE(Showing());
  EXPECT_EQ(Application->HintControl(), nullptr);
  h->Wait(100);
  EXPECT_FALSE(Showing()) << "no timer brings it back";
  // Destroyed while its hint is still pending.
  h->MouseMove(b, 20, 30);
  delete b;
  b = nullptr;
  h->Wait(200);
  EXPECT_FALSE(Showing());
}

TEST_P(HintBehaviour, AHugeHintWithLineBreaksAndInvalidUTF8StaysInsideTheWorkArea) {
  String text;
  text.reserve(4u << 20);
  for (int i = 0; text.size() < (4u << 20); ++i) {
    text += "line ";
    text += std::to_string(i);
    text += i % 7 == 0 ? " caf\xC3\xA9 \xFF\xC3 broken\r\n" : " a long run of ordinary words to wrap\n";
  }
  a->SetHint(text);
  const auto start = std::chrono::steady_clock::now();
  h->MouseMove(a, 20, 30);
  ASSERT_TRUE(WaitFor(true));
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 2500) << "measured and shown in bounded time";
  THintWindow* w = Application->HintWindow();
  const TRect work = Screen->WorkAreaRect();
  EXPECT_GE(w->Left(), work.Left);
  EXPECT_GE(w->Top(), work.Top);
  EXPECT_LE(w->Left() + w->Width(), work.Right);
  EXPECT_LE(w->Top() + w->Height(), work.Bottom);
  const String& shown = w->Caption();
  EXPECT_LT(shown.size(), text.size() / 4) << "only what can be on the screen";
  EXPECT_EQ(UTF8Encode(UTF8Decode(shown)), shown) << "valid UTF-8";
  EXPECT_NE(shown.find("\xEF\xBF\xBD"), String::npos) << "invalid bytes shown as U+FFFD";
  h->Pump();
}

}  // namespace zvtest
