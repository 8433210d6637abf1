#pragma once
// Pop-up menus on every backend: the menu opens in its own top-level window at the point, a
// nested loop runs until the user chooses with the mouse or the keyboard, and the chosen item's
// OnClick runs once the loop is over, as on the host.
//
//   INSTANTIATE_TEST_SUITE_P(Null, MenuBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"
#include "MenuScript.h"

#include "platform/graphics/Colors.h"

#include <gtest/gtest.h>

namespace zvtest {

class MenuBehaviour : public TBehaviourTest {
protected:
  void SetUp() override {
    TBehaviourTest::SetUp();
    form = h->TopLevel(100, 100, 300, 200);
    menu = std::make_unique<TPopupMenu>(nullptr);
    for (const char* caption : {"&Open", "-", "&Save", "E&xit"}) {
      auto* item = new TMenuItem(menu.get());
      item->SetCaption(caption);
      item->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
      menu->Items()->Add(item);
    }
    menu->Items()->Items(2)->SetEnabled(false);
  }
  void TearDown() override {
    menu.reset();
    TBehaviourTest::TearDown();
  }

  TProbe* form = nullptr;
  std::unique_ptr<TPopupMenu> menu;
  std::vector<String> clicked;
};

TEST_P(MenuBehaviour, APopupChosenWithTheMouse) {
  TMenuScript script(form);
  TNativeWindow shownIn = 0;
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    h->Pump();
    EXPECT_TRUE(w.Showing());
    EXPECT_EQ(w.BoundsRect().TopLeft(), (TPoint{140, 150})) << "the menu opens at the point";
    shownIn = NativeWindowOf(w.Handle());
    EXPECT_NE(shownIn, NativeWindowOf(form->Handle())) << "a window of its own";

    const TPoint open = RowCentre(w, 0);
    h->MouseMove(&w, open.X, open.Y);
    EXPECT_EQ(w.Selected(), 0) << "hovering highlights";
    h->Pump();
    EXPECT_EQ(h->Shown(&w, w.ItemRect(0).Left + 2, open.Y), ColorToRGB(clHighlight));
    const TPoint line = RowCentre(w, 1), disabled = RowCentre(w, 2);
    h->MouseMove(&w, line.X, line.Y);
    EXPECT_EQ(w.Selected(), -1) << "separators are never highlighted";
    h->MouseMove(&w, disabled.X, disabled.Y);
    EXPECT_EQ(w.Selected(), -1) << "nor are disabled items";
    h->Click(&w, disabled.X, disabled.Y);
    EXPECT_TRUE(w.Tracking()) << "clicking a disabled item chooses nothing";
    const TPoint exit = RowCentre(w, 3);
    h->MouseMove(&w, exit.X, exit.Y);
    h->Click(&w, exit.X, exit.Y);
    EXPECT_FALSE(w.Tracking());
  });
  menu->Popup(140, 150);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_FALSE(script.LeftOpen);
  EXPECT_EQ(menu->PopupWindow(), nullptr);
  EXPECT_TRUE(clicked.empty()) << "OnClick waits for the message loop, as on the host";
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"E&xit"}));
}

TEST_P(MenuBehaviour, APopupChosenWithTheKeyboardWhileTheFocusStays) {
  TProbe* edit = h->Child(form, "E", 10, 10, 100, 24);
  edit->SetFocus();
  h->Pump();
  h->Log.clear();
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    // Keys typed while the menu is open reach the menu, not the focused control.
    h->KeyDown(edit, VK_DOWN);
    EXPECT_EQ(w.Selected(), 0);
    h->KeyDown(edit, VK_DOWN);
    EXPECT_EQ(w.Selected(), 3) << "the separator and the disabled item are skipped";
    h->KeyDown(edit, VK_DOWN);
    EXPECT_EQ(w.Selected(), 0) << "wraps at the end";
    h->KeyDown(edit, VK_UP);
    EXPECT_EQ(w.Selected(), 3) << "and at the start";
    h->KeyDown(edit, VK_RETURN);
    EXPECT_FALSE(w.Tracking());
  });
  menu->Popup(140, 150);
  EXPECT_FALSE(script.LeftOpen);
  EXPECT_TRUE(h->Take({"keydown", "killfocus", "setfocus"}, {"E"}).empty()) << "the edit kept the focus, saw no key";
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"E&xit"}));
  h->KeyDown(edit, VK_DOWN);
  EXPECT_EQ(h->Take({"keydown"}, {"E"}), (TLog{"E keydown 40"})) << "keys go back to the control once closed";
}

}  // namespace zvtest
