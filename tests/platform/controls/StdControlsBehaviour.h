#pragma once
// What the standard controls do with real input on every backend: accelerators, Enter and Esc
// on a form, pressing buttons, toggling check boxes, choosing in combo boxes, turning pages and
// dragging splitters.

#include "HarnessTest.h"
#include "MenuScript.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/detail/ComboDropDown.h"

#include <gtest/gtest.h>

namespace zvtest {

class StdControlsBehaviour : public TBehaviourTest {
protected:
  template <class T>
  T* Put(TWinControl* parent, int x, int y, int w, int hgt, const char* caption = "") {
    auto* c = new T(parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, hgt);
    if (*caption) c->SetCaption(caption);
    return c;
  }
  void ShowForm() {
    form.SetBounds(40, 40, 360, 260);
    form.Show();
    h->Pump();
  }
  TForm form{nullptr};
};

TEST_P(StdControlsBehaviour, AcceleratorsFocusClickAndToggle) {
  auto* first = Put<TEdit>(&form, 10, 10, 100, 21);
  auto* name = Put<TEdit>(&form, 10, 40, 100, 21);
  auto* label = Put<TLabel>(&form, 120, 40, 60, 17, "&Name");
  label->SetFocusControl(name);
  auto* ok = Put<TButton>(&form, 10, 80, 75, 25, "&OK");
  auto* check = Put<TCheckBox>(&form, 10, 120, 120, 17, "&Wrap");
  auto* units = Put<TButton>(&form, 100, 80, 75, 25, "\xC3\x9C&\xC3\xA9nits && more");
  int okClicks = 0, unitClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  units->OnClick = [&](TObject*) { ++unitClicks; };
  ShowForm();
  first->SetFocus();

  h->Char(first, U'n', {ssAlt});
  EXPECT_TRUE(name->Focused()) << "Alt+N focuses the label's control";
  h->Char(name, U'o', {ssAlt});
  EXPECT_EQ(okClicks, 1);
  h->Char(name, U'w', {ssAlt});
  EXPECT_TRUE(check->Checked());
  EXPECT_TRUE(check->Focused());
  // The focused check box takes no characters: a plain letter is an accelerator there.
  h->Char(check, U'o');
  EXPECT_EQ(okClicks, 2);
  // An edit takes its characters.
  name->SetFocus();
  h->Char(name, U'o');
  EXPECT_EQ(okClicks, 2);
  EXPECT_EQ(name->Text(), "o");
  // A non-ASCII accelerator matches without regard to case; "&&" marks nothing.
  h->Char(name, U'\u00C9', {ssAlt});
  EXPECT_EQ(unitClicks, 1);
  h->Char(name, U'm', {ssAlt});
  h->Char(name, U'&', {ssAlt});
  EXPECT_EQ(unitClicks, 1);
  // Disabled buttons and labels without a focus control answer nothing.
  ok->SetEnabled(false);
  h->Char(name, U'o', {ssAlt});
  EXPECT_EQ(okClicks, 2);
  label->SetFocusControl(nullptr);
  first->SetFocus();
  h->Char(first, U'n', {ssAlt});
  EXPECT_TRUE(first->Focused());
}

TEST_P(StdControlsBehaviour, EnterAndEscClickTheDefaultAndCancelButtons) {
  auto* edit = Put<TEdit>(&form, 10, 10, 100, 21);
  auto* ok = Put<TButton>(&form, 10, 80, 75, 25, "OK");
  auto* cancel = Put<TButton>(&form, 100, 80, 75, 25, "Cancel");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  std::string clicks;
  ok->OnClick = [&](TObject*) { clicks += "ok "; };
  cancel->OnClick = [&](TObject*) { clicks += "cancel "; };
  ShowForm();
  edit->SetFocus();
  EXPECT_TRUE(ok->Active());

  h->KeyDown(edit, VK_RETURN);
  h->KeyUp(edit, VK_RETURN);
  EXPECT_EQ(clicks, "ok ");
  EXPECT_EQ(form.ModalResult(), mrOk);
  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(clicks, "ok cancel ");
  EXPECT_EQ(form.ModalResult(), mrCancel);

  // Another button with the focus takes Enter from the default one.
  cancel->SetFocus();
  EXPECT_FALSE(ok->Active());
  EXPECT_TRUE(cancel->Active());
  h->KeyDown(cancel, VK_RETURN);
  EXPECT_EQ(clicks, "ok cancel cancel ");
  edit->SetFocus();
  EXPECT_TRUE(ok->Active()) << "the default button is active again once the focus leaves the buttons";

  // A hidden or disabled default button does nothing.
  ok->SetEnabled(false);
  h->KeyDown(edit, VK_RETURN);
  EXPECT_EQ(clicks, "ok cancel cancel ");
}

TEST_P(StdControlsBehaviour, AButtonClicksOnReleaseInsideAndOnSpace) {
  auto* button = Put<TButton>(&form, 10, 10, 80, 25, "Go");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  h->MouseDown(button, 10, 10);
  EXPECT_TRUE(button->Pressed());
  EXPECT_TRUE(button->Focused());
  h->MouseMove(button, 200, 10);
  EXPECT_FALSE(button->Pressed()) << "pressed only while the mouse is over it";
  h->MouseUp(button, 200, 10);
  EXPECT_EQ(clicks, 0);
  h->Click(button, 20, 12);
  EXPECT_EQ(clicks, 1);
  h->KeyDown(button, VK_SPACE);
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(clicks, 1) << "a space clicks on release";
  h->KeyUp(button, VK_SPACE);
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(button->Pressed());
}

TEST_P(StdControlsBehaviour, ACheckBoxTogglesByClickAndSpaceThroughGrayedWhenAllowed) {
  auto* check = Put<TCheckBox>(&form, 10, 10, 120, 17, "Bold");
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  h->Click(check, 5, 8);
  EXPECT_EQ(check->State(), cbChecked);
  EXPECT_EQ(clicks, 1);
  h->KeyDown(check, VK_SPACE);
  h->KeyUp(check, VK_SPACE);
  EXPECT_EQ(check->State(), cbUnchecked);
  check->SetAllowGrayed(true);
  const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked};
  for (TCheckBoxState expected : cycle) {
    h->Click(check, 5, 8);
    EXPECT_EQ(check->State(), expected);
  }
  EXPECT_EQ(clicks, 5);
  check->SetChecked(true);
  EXPECT_EQ(clicks, 6) << "a change from code clicks too";
  check->SetChecked(true);
  EXPECT_EQ(clicks, 6);
}

TEST_P(StdControlsBehaviour, AComboBoxChoosesWithTheKeysAndFollowsTypedText) {
  for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
    SCOPED_TRACE(style);
    auto* combo = Put<TComboBox>(&form, 10, 10, 150, 21);
    combo->SetStyle(style);
    combo->Items()->SetText("Apple\nBanana\nCherry\n\xD0\x81lka\n");
    int changes = 0, selects = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->OnSelect = [&](TObject*) { ++selects; };
    ShowForm();
    combo->SetFocus();
    TWinControl* keys = combo->EditLine() ? static_cast<TWinControl*>(combo->EditLine()) : combo;
    EXPECT_TRUE(keys->Focused());
    h->KeyDown(keys, VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    h->KeyDown(keys, VK_DOWN);
    h->KeyDown(keys, VK_DOWN);
    EXPECT_EQ(combo->Text(), "Cherry");
    h->KeyDown(keys, VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(selects, 4);
    EXPECT_EQ(changes, 4);
    h->KeyDown(keys, VK_NEXT);
    EXPECT_EQ(combo->ItemIndex(), 3) << "a page down stops at the last item";
    int dropped = 0;
    combo->OnDropDown = [&](TObject*) { ++dropped; };
    h->KeyDown(keys, VK_DOWN, {ssAlt});
    EXPECT_TRUE(combo->DroppedDown());
    h->KeyDown(keys, VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(dropped, 1);
    combo->SetItemIndex(7);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    if (style == csDropDown) {
      h->Char(keys, U'B');
      for (char32_t c : std::u32string(U"anana")) h->Char(keys, c);
      EXPECT_EQ(combo->ItemIndex(), 1) << "typed text equal to an item chooses it";
      h->Char(keys, U's');
      EXPECT_EQ(combo->ItemIndex(), -1);
      EXPECT_EQ(combo->Text(), "Bananas");
    } else {
      h->Char(keys, U'\u0451');
      EXPECT_EQ(combo->Text(), "\xD0\x81lka") << "typing chooses by first letter, any case";
    }
    delete combo;
  }
}

TEST_P(StdControlsBehaviour, AComboBoxListDropsDownInAPopupThatLeavesTheFocusAndChoosesOrCancels) {
  for (TComboBoxStyle style : {csDropDownList, csDropDown}) {
    SCOPED_TRACE(style);
    auto* other = Put<TEdit>(&form, 200, 10, 100, 21);
    auto* combo = Put<TComboBox>(&form, 10, 10, 150, 21);
    combo->SetStyle(style);
    for (int i = 0; i < 20; ++i) combo->Items()->Add("Item " + std::to_string(i));
    combo->SetItemIndex(2);
    std::string log;
    combo->OnChange = [&](TObject*) { log += "change" + std::to_string(combo->ItemIndex()) + " "; };
    combo->OnCloseUp = [&](TObject*) { log += "closeup "; };
    ShowForm();
    combo->SetFocus();
    TWinControl* keys = combo->EditLine() ? static_cast<TWinControl*>(combo->EditLine()) : combo;

    h->KeyDown(keys, VK_DOWN, {ssAlt});
    TComboDropDown* list = combo->DropDownWindow();
    ASSERT_NE(list, nullptr);
    h->Pump();
    EXPECT_TRUE(list->Showing());
    EXPECT_NE(NativeWindowOf(list->Handle()), NativeWindowOf(form.Handle())) << "a window of its own";
    EXPECT_EQ(list->BoundsRect().TopLeft(), combo->ClientToScreen({0, combo->Height()})) << "under the combo box";
    EXPECT_TRUE(keys->Focused());
    EXPECT_TRUE(form.Active()) << "the list never takes the activation";
    EXPECT_EQ(list->VisibleRows(), 8);
    EXPECT_EQ(list->Highlighted(), 2);
    EXPECT_EQ(h->Shown(list, 4, list->ItemRect(2).Top + 2), ColorToRGB(clHighlight));

    // Keys move the highlight only; Esc closes and leaves the choice.
    h->KeyDown(keys, VK_DOWN);
    h->KeyDown(keys, VK_NEXT);
    EXPECT_EQ(list->Highlighted(), 10);
    EXPECT_EQ(list->TopIndex(), 3) << "scrolled to show the highlight";
    EXPECT_EQ(combo->ItemIndex(), 2);
    h->KeyDown(keys, VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_FALSE(list->Showing());
    EXPECT_EQ(log, "closeup ");
    // Enter chooses the highlighted item, then the list closes.
    h->KeyDown(keys, VK_F1 + 3);
    h->KeyDown(keys, VK_UP);
    h->KeyDown(keys, VK_RETURN);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(log, "closeup change1 closeup ");
    log.clear();

    // The button opens it; the wheel and the scroll bar scroll it; a click chooses.
    const TRect button = combo->ButtonRect();
    h->Click(combo, button.Left + 3, button.Top + 3);
    ASSERT_EQ(combo->DropDownWindow(), list);
    h->Wheel(list, 5, 5, -WHEEL_DELTA);
    EXPECT_EQ(list->TopIndex(), 3);
    h->Wheel(combo, 5, 5, -2 * WHEEL_DELTA);
    EXPECT_EQ(list->TopIndex(), 9);
    h->Click(list, list->ClientWidth() + 3, list->ClientHeight() - 3);
    EXPECT_EQ(list->TopIndex(), 10) << "the scroll bar's down arrow";
    h->Click(list, list->ClientWidth() + 3, 3);
    EXPECT_EQ(list->TopIndex(), 9);
    EXPECT_TRUE(combo->DroppedDown()) << "pressing its scroll bar keeps the list open";
    const TRect row = list->ItemRect(12);
    h->MouseMove(list, 10, row.Top + 2);
    EXPECT_EQ(list->Highlighted(), 12) << "hovering highlights";
    h->Click(list, 10, row.Top + 2);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 12);
    EXPECT_EQ(log, "change12 closeup ");

    // A click outside closes it without a choice, and goes no further.
    h->KeyDown(keys, VK_DOWN, {ssAlt});
    h->KeyDown(keys, VK_DOWN);
    h->Click(other, 5, 5);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 12);
    EXPECT_TRUE(keys->Focused());
    // Closed, the wheel steps through the items; losing the focus closes an open list.
    h->Wheel(keys, 5, 5, -WHEEL_DELTA);
    EXPECT_EQ(combo->ItemIndex(), 13);
    h->KeyDown(keys, VK_DOWN, {ssAlt});
    other->SetFocus();
    EXPECT_FALSE(combo->DroppedDown());
    delete combo;
    delete other;
  }
}

TEST_P(StdControlsBehaviour, AFormsMenuBarOpensByMouseAltAndF10WhileTheFocusStays) {
  auto* menu = new TMainMenu(&form);
  std::vector<String> clicked;
  TMenuItem* tops[3];
  const char* captions[3][3] = {{"&File", "&Open", "E&xit"}, {"&Edit", "&Copy", "&Paste"}, {"&View", "&Zoom", "&Full"}};
  for (int t = 0; t < 3; ++t) {
    tops[t] = new TMenuItem(&form);
    tops[t]->SetCaption(captions[t][0]);
    menu->Items()->Add(tops[t]);
    for (int i = 1; i < 3; ++i) {
      auto* item = new TMenuItem(&form);
      item->SetCaption(captions[t][i]);
      item->OnClick = [&](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
      tops[t]->Add(item);
    }
  }
  tops[0]->Items(0)->SetShortCut(ShortCut('O', {ssCtrl}));
  form.SetMenu(menu);
  auto* edit = Put<TEdit>(&form, 10, 10, 100, 21);
  ShowForm();
  edit->SetFocus();

  const int bar = form.MenuBarHeight();
  ASSERT_GT(bar, 0);
  EXPECT_EQ(form.ClientHeight(), form.Height() - bar) << "the bar takes its height from the client area";
  EXPECT_EQ(form.ClientOrigin().Y, form.Top() + bar);
  const auto items = menu->BarItems(form.Width());
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(h->Shown(&form, items[2].Rect.Right + 5, 2 - bar), ColorToRGB(clMenu)) << "the bar is painted";

  // A short-cut works wherever the focus is on the form, before the control sees the key.
  h->KeyDown(edit, 'O', {ssCtrl});
  EXPECT_EQ(clicked, (std::vector<String>{"&Open"}));
  clicked.clear();

  TMenuScript script(&form);
  // A press on a bar item drops its menu down under it; the focus and the activation stay.
  script.OnNextOpen(menu, tops[1], [&](TMenuWindow& w) {
    h->Pump();
    EXPECT_EQ(w.BoundsRect().TopLeft(), (TPoint{form.Left() + items[1].Rect.Left, form.Top() + bar}));
    EXPECT_EQ(menu->OpenIndex(), 1);
    EXPECT_EQ(w.Selected(), -1);
    EXPECT_TRUE(edit->Focused());
    EXPECT_TRUE(form.Active());
    EXPECT_EQ(h->Shown(&form, items[1].Rect.Left + 2, 2 - bar), ColorToRGB(clHighlight)) << "the open item is lit";
    const TPoint paste = RowCentre(w, 1);
    h->MouseMove(&w, paste.X, paste.Y);
    h->Click(&w, paste.X, paste.Y);
  });
  h->MouseDown(&form, items[1].Rect.Left + 3, items[1].Rect.Top + 3 - bar);
  h->MouseUp(&form, items[1].Rect.Left + 3, items[1].Rect.Top + 3 - bar);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_FALSE(script.LeftOpen);
  EXPECT_EQ(menu->OpenIndex(), -1);
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"&Paste"}));
  clicked.clear();

  // The keyboard: each way in opens a menu with its first item lit; Left and Right step along
  // the bar (wrapping), Esc leaves it with nothing chosen.
  struct Way {
    const char* Name;
    std::function<void()> Press;
    int Opens;
  } ways[] = {
      {"Alt+letter", [&] { h->KeyDown(edit, 'V', {ssAlt}); h->Char(edit, U'v', {ssAlt}); }, 2},
      {"F10", [&] { h->KeyDown(edit, VK_F10); }, 0},
      {"Alt alone", [&] { h->KeyDown(edit, VK_MENU, {ssAlt}); h->KeyUp(edit, VK_MENU); }, 0},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.Name);
    const int next = (way.Opens + 1) % 3;
    script.OnNextOpen(menu, tops[way.Opens], [&](TMenuWindow& w) {
      EXPECT_EQ(menu->OpenIndex(), way.Opens);
      EXPECT_EQ(w.Selected(), 0);
      script.OnNextOpen(menu, tops[next], [&](TMenuWindow& w2) {
        EXPECT_EQ(menu->OpenIndex(), next);
        EXPECT_EQ(w2.Item(), tops[next]);
        h->KeyDown(edit, VK_ESCAPE);
      });
      h->KeyDown(edit, VK_RIGHT);
    });
    script.Popups = 0;
    way.Press();
    EXPECT_EQ(script.Popups, 2);
    EXPECT_FALSE(script.LeftOpen);
    EXPECT_EQ(menu->OpenIndex(), -1);
    EXPECT_TRUE(edit->Focused());
  }
  h->Pump();
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(edit->Text(), "") << "no key of the menu reached the edit";

  // Alt pressed with another key opens nothing; the bar goes with the menu.
  h->KeyDown(edit, VK_MENU, {ssAlt});
  h->KeyDown(edit, VK_LEFT, {ssAlt});
  h->KeyUp(edit, VK_MENU);
  EXPECT_EQ(script.Popups, 2);
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
  EXPECT_EQ(form.ClientHeight(), form.Height());
}

TEST_P(StdControlsBehaviour, APageControlTurnsPagesByClickKeysAndAccelerators) {
  auto* pages = Put<TPageControl>(&form, 10, 10, 300, 200);
  TTabSheet* sheets[3];
  const char* captions[] = {"&General", "&Fonts", "&Colors"};
  for (int i = 0; i < 3; ++i) {
    sheets[i] = new TTabSheet(&form);
    sheets[i]->SetPageControl(pages);
    sheets[i]->SetCaption(captions[i]);
  }
  pages->SetActivePage(sheets[0]);
  auto* edit = Put<TEdit>(sheets[0], 10, 10, 100, 21);
  std::string log;
  pages->OnChange = [&](TObject*) { log += "change" + std::to_string(pages->ActivePageIndex()) + " "; };
  bool allow = true;
  pages->OnChanging = [&](TObject*, bool& a) { a = allow; };
  ShowForm();
  EXPECT_TRUE(sheets[0]->Visible());
  EXPECT_FALSE(sheets[1]->Visible());
  EXPECT_EQ(sheets[0]->BoundsRect(), pages->DisplayRect());

  const TRect tab = pages->TabRect(1);
  h->Click(pages, tab.Left + 3, tab.Top + 3);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_TRUE(sheets[1]->Visible());
  EXPECT_FALSE(sheets[0]->Visible());
  h->KeyDown(pages, VK_CONTROL);
  h->KeyDown(pages, VK_TAB);
  EXPECT_EQ(pages->ActivePageIndex(), 2);
  h->KeyDown(pages, VK_TAB);
  h->KeyUp(pages, VK_CONTROL);
  EXPECT_EQ(pages->ActivePageIndex(), 0) << "wraps";
  edit->SetFocus();
  ASSERT_TRUE(edit->Focused());
  ASSERT_TRUE(sheets[0]->Showing());
  // As a keyboard types it: the key, then its character.
  h->KeyDown(edit, 'C', {ssAlt});
  h->Char(edit, U'c', {ssAlt});
  EXPECT_EQ(pages->ActivePageIndex(), 2);
  EXPECT_FALSE(edit->Focused()) << "the focus left the hidden page";
  allow = false;
  h->KeyDown(pages, 'F', {ssAlt});
  h->Char(pages, U'f', {ssAlt});
  EXPECT_EQ(pages->ActivePageIndex(), 2) << "OnChanging refused";
  EXPECT_EQ(log, "change1 change2 change0 change2 ");
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  delete sheets[2];
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[0]) << "the next page with a tab shows";
}

TEST_P(StdControlsBehaviour, DraggingASplitterSizesItsControlWithinTheLimits) {
  auto* left = Put<TPanel>(&form, 0, 0, 100, 100);
  left->SetAlign(alLeft);
  auto* splitter = Put<TSplitter>(&form, 100, 0, 4, 100);
  splitter->SetAlign(alLeft);
  auto* rest = Put<TPanel>(&form, 200, 0, 100, 100);
  rest->SetAlign(alClient);
  int moved = 0;
  splitter->OnMoved = [&](TObject*) { ++moved; };
  ShowForm();
  ASSERT_EQ(splitter->Left(), 100);
  EXPECT_EQ(splitter->FindControl(), left);
  EXPECT_EQ(splitter->Cursor(), crHSplit);

  for (TResizeStyle style : {rsUpdate, rsPattern, rsLine}) {
    SCOPED_TRACE(style);
    splitter->SetResizeStyle(style);
    left->SetWidth(100);
    h->Pump();
    // Two neighbouring pixels where the line will be drawn, as the form shows them now.
    const TColor before[2] = {h->Pixel(&form, 141, 50), h->Pixel(&form, 142, 50)};
    h->MouseDown(splitter, 2, 50);
    h->MouseMove(splitter, 42, 50);
    EXPECT_EQ(left->Width(), style == rsUpdate ? 140 : 100);
    if (style != rsUpdate) {
      const TColor during[2] = {h->Pixel(&form, 141, 50), h->Pixel(&form, 142, 50)};
      // The line inverts the bar where the splitter would go; the pattern every other pixel.
      EXPECT_EQ(during[0] != before[0], style == rsLine || ((141 + 50) & 1) == 0);
      EXPECT_EQ(during[1] != before[1], style == rsLine || ((142 + 50) & 1) == 0);
      h->MouseMove(splitter, 62, 50);
      EXPECT_EQ(h->Pixel(&form, 141, 50), before[0]) << "the old line goes as the new one comes";
      EXPECT_EQ(h->Pixel(&form, 142, 50), before[1]);
    }
    h->MouseMove(splitter, style == rsUpdate ? 2 - 400 + 40 : -400, 50);
    h->MouseUp(splitter, style == rsUpdate ? 2 - 400 + 40 : -400, 50);
    EXPECT_EQ(left->Width(), 30) << "MinSize";
    EXPECT_EQ(splitter->Left(), 30);
  }
  EXPECT_EQ(moved, 3);
  h->MouseDown(splitter, 2, 50);
  h->MouseMove(splitter, 1000, 50);
  h->MouseUp(splitter, 1000, 50);
  EXPECT_EQ(left->Width(), 360 - 4 - 30) << "the rest keeps MinSize";
}

}  // namespace zvtest
