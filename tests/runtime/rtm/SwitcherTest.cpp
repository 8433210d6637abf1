// The switch tracker on the headless backend: presses by mouse and key, what a release
// toggles, and the auto-repeat schedule with the clock advanced tick by tick.

#include "runtime/rtm/Switcher.h"

#include "ControlHarness.h"
#include "platform/null/NullWindowBackend.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace zv;
using namespace zvtest;

namespace {

// Logs "down <index> <downed>" and "toggle <index> <x> <y> <key>".
class TLogSwitcher : public TvpSwitcher {
public:
  using TvpSwitcher::TvpSwitcher;
  std::vector<std::string> Log;
  bool Allow = true;
  std::function<void()> OnToggle;

protected:
  bool BeginSwitch(int, int, int, Word, TShiftState) override { return Allow; }
  void DownedStateChanged(int index) override {
    Log.push_back("down " + std::to_string(index) + " " + (Downed() ? "1" : "0"));
  }
  void Toggle(int index, int x, int y, Word key) override {
    Log.push_back("toggle " + std::to_string(index) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
                  std::to_string(key));
    // A copy: the hook may destroy this switcher.
    if (auto hook = OnToggle) hook();
  }
};

using L = std::vector<std::string>;
const TRect Area{10, 10, 30, 30};

class Switcher : public ::testing::Test {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    owner = h->TopLevel(0, 0, 100, 100);
    s = std::make_unique<TLogSwitcher>(owner);
  }
  void TearDown() override {
    s.reset();
    h.reset();
    driver.reset();
  }
  // One tick of the repeat timer.
  void Tick() { h->Wait(TvpSwitcher::RepeatInterval); }
  std::size_t BackendTimers() { return ActiveNullWindowBackend()->TimerCount(); }
  L Take() { return std::exchange(s->Log, {}); }

  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TWinControl* owner = nullptr;
  std::unique_ptr<TLogSwitcher> s;
};

TEST_F(Switcher, RepeatScheduleTickByTick) {
  s->MouseDown(3, 15, 16, {}, Area, false, true);
  EXPECT_EQ(Take(), L{"down 3 1"});
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), s.get());
  EXPECT_EQ(BackendTimers(), 1u);
  std::vector<int> toggledAt;
  for (int tick = 0; tick < 100; ++tick) {
    Tick();
    const L log = Take();
    ASSERT_LE(log.size(), 1u) << tick;
    if (!log.empty()) {
      EXPECT_EQ(log[0], "toggle 3 15 16 0");
      toggledAt.push_back(tick);
    }
  }
  std::vector<int> expected;
  for (int c = 9; c <= 24; c += 3) expected.push_back(c);
  for (int c = 26; c <= 66; c += 2) expected.push_back(c);
  for (int c = 67; c < 100; ++c) expected.push_back(c);
  EXPECT_EQ(toggledAt, expected);
  EXPECT_EQ(s->RepeatCount(), 100);

  // Outside the area the ticks count on but toggle nothing.
  s->MouseMove(50, 50);
  EXPECT_EQ(Take(), L{"down 3 0"});
  Tick();
  Tick();
  EXPECT_EQ(Take(), L{});
  s->MouseMove(20, 20);
  Tick();
  EXPECT_EQ(Take(), (L{"down 3 1", "toggle 3 20 20 0"}));
  EXPECT_EQ(s->RepeatCount(), 103);

  // The release toggles once more and stops the timer for good.
  s->MouseUp(20, 21);
  EXPECT_EQ(Take(), (L{"down 3 0", "toggle 3 20 21 0"}));
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), nullptr);
  EXPECT_EQ(BackendTimers(), 0u);
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_EQ(Take(), L{});
}

TEST_F(Switcher, FirstRepeatComesAfterThreeHundredMilliseconds) {
  s->MouseDown(0, 15, 15, {}, Area, true, true);
  EXPECT_EQ(Take(), (L{"down 0 1", "toggle 0 15 15 0"}));
  h->Wait(295);
  EXPECT_EQ(Take(), L{});
  h->Wait(5);
  EXPECT_EQ(Take(), L{"toggle 0 15 15 0"});
  // A new press starts the schedule over.
  s->MouseDown(0, 12, 12, {}, Area, false, true);
  h->Wait(295);
  EXPECT_EQ(Take(), (L{"down 0 0", "down 0 1"}));
  h->Wait(5);
  EXPECT_EQ(Take(), L{"toggle 0 12 12 0"});
}

TEST_F(Switcher, MouseReleaseToggles) {
  // Released outside: nothing.
  s->MouseDown(1, 15, 15, {}, Area, false, false);
  s->MouseMove(40, 15);
  s->MouseMove(45, 15);  // no change, no notification
  s->MouseUp(40, 15);
  EXPECT_EQ(Take(), (L{"down 1 1", "down 1 0"}));
  EXPECT_FALSE(s->Tracking());
  EXPECT_EQ(s->ItemIndex(), -1);
  // Out and back in: one toggle.
  s->MouseDown(1, 15, 15, {}, Area, false, false);
  s->MouseMove(40, 15);
  s->MouseUp(25, 25);
  EXPECT_EQ(Take(), (L{"down 1 1", "down 1 0", "down 1 1", "down 1 0", "toggle 1 25 25 0"}));
  // Pressed outside, released inside: the press never was down, but the release is.
  s->MouseDown(1, 5, 5, {}, Area, true, false);
  EXPECT_FALSE(s->Downed());
  EXPECT_TRUE(s->Tracking());
  s->MouseUp(12, 12);
  EXPECT_EQ(Take(), (L{"down 1 1", "down 1 0", "toggle 1 12 12 0"}));
  // Without a press, moves and releases do nothing.
  s->MouseMove(15, 15);
  s->MouseUp(15, 15);
  EXPECT_EQ(Take(), L{});
}

TEST_F(Switcher, ToggleOnPressDoesNotToggleAgain) {
  s->MouseDown(2, 15, 15, {}, Area, true, false);
  EXPECT_TRUE(s->ToggledOnPress());
  s->MouseUp(15, 15);
  EXPECT_EQ(Take(), (L{"down 2 1", "toggle 2 15 15 0", "down 2 0"}));
  EXPECT_FALSE(s->ToggledOnPress());
  // The next press without it toggles on release again.
  s->MouseDown(2, 15, 15, {}, Area, false, false);
  s->MouseUp(15, 15);
  EXPECT_EQ(Take(), (L{"down 2 1", "down 2 0", "toggle 2 15 15 0"}));
}

TEST_F(Switcher, KeyPresses) {
  EXPECT_TRUE(s->KeyDown(4, VK_SPACE, {}));
  EXPECT_EQ(s->Key(), VK_SPACE);
  EXPECT_TRUE(s->Downed());
  // The same key again (auto-repeat of the keyboard) is ignored.
  EXPECT_FALSE(s->KeyDown(4, VK_SPACE, {}));
  EXPECT_EQ(Take(), L{"down 4 1"});
  // Mouse moves and releases do not end a key press, another key's release neither.
  s->MouseMove(50, 50);
  s->MouseUp(50, 50);
  s->KeyUp(VK_RETURN);
  EXPECT_TRUE(s->Tracking());
  s->KeyUp(VK_SPACE);
  EXPECT_EQ(Take(), (L{"down 4 0", "toggle 4 -1 -1 32"}));
  EXPECT_FALSE(s->Tracking());
  s->KeyUp(VK_SPACE);
  EXPECT_EQ(Take(), L{});

  // A different key resets the press and starts its own: only its release toggles.
  EXPECT_TRUE(s->KeyDown(4, VK_SPACE, {}));
  EXPECT_TRUE(s->KeyDown(5, VK_RETURN, {}));
  EXPECT_EQ(s->ItemIndex(), 5);
  s->KeyUp(VK_SPACE);
  s->KeyUp(VK_RETURN);
  EXPECT_EQ(Take(), (L{"down 4 1", "down 4 0", "down 5 1", "down 5 0", "toggle 5 -1 -1 13"}));

  // A mouse press resets a key press too.
  s->KeyDown(4, VK_SPACE, {});
  s->MouseDown(1, 15, 15, {}, Area, false, false);
  s->KeyUp(VK_SPACE);
  EXPECT_EQ(s->Key(), 0);
  EXPECT_EQ(Take(), (L{"down 4 1", "down 4 0", "down 1 1"}));
}

TEST_F(Switcher, BeginSwitchMayRefuse) {
  s->Allow = false;
  s->MouseDown(1, 15, 15, {}, Area, true, true);
  EXPECT_FALSE(s->Tracking());
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), nullptr);
  EXPECT_FALSE(s->KeyDown(1, VK_SPACE, {}));
  s->KeyUp(VK_SPACE);
  s->MouseUp(15, 15);
  EXPECT_EQ(Take(), L{});
  EXPECT_EQ(BackendTimers(), 0u);
}

TEST_F(Switcher, OneSwitcherDrivesTheTimer) {
  auto other = std::make_unique<TLogSwitcher>(owner);
  s->MouseDown(1, 15, 15, {}, Area, false, true);
  other->MouseDown(2, 15, 15, {}, Area, false, true);
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), other.get());
  // Resetting the switcher that is no longer the target leaves the timer to the other one.
  s->Reset();
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(other->Log.back(), "toggle 2 15 15 0");
  EXPECT_EQ(Take(), (L{"down 1 1", "down 1 0"}));

  // Destroyed while it is the target: the timer stops and nothing reaches it any more.
  other.reset();
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), nullptr);
  EXPECT_EQ(BackendTimers(), 0u);
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_EQ(Take(), L{});
}

TEST_F(Switcher, ResetDuringARepeatToggle) {
  s->OnToggle = [this] { s->Reset(); };
  s->MouseDown(1, 15, 15, {}, Area, false, true);
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(Take(), (L{"down 1 1", "toggle 1 15 15 0", "down 1 0"}));
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), nullptr);
  EXPECT_EQ(BackendTimers(), 0u);
  for (int i = 0; i < 12; ++i) Tick();
  EXPECT_EQ(Take(), L{});
  // Repeat starts again as usual afterwards.
  s->OnToggle = nullptr;
  s->MouseDown(1, 15, 15, {}, Area, false, true);
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(Take(), (L{"down 1 1", "toggle 1 15 15 0"}));
  s->Reset();
}

TEST_F(Switcher, DestroyedDuringARepeatToggle) {
  s->OnToggle = [this] { s.reset(); };
  s->MouseDown(1, 15, 15, {}, Area, false, true);
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_EQ(s, nullptr);
  EXPECT_EQ(TvpSwitcher::RepeatTarget(), nullptr);
  for (int i = 0; i < 12; ++i) Tick();
}

}  // namespace
