// Pop-up menus on the headless backend: the item tree, captions and short-cuts, radio groups,
// tracking by keyboard and mouse (sub-menus included), dismissal, placement, painting, and
// context menus from a right click.

#include "HarnessTest.h"
#include "MenuScript.h"

#include "platform/controls/Menus.h"
#include "platform/graphics/ImageList.h"
#include "platform/null/NullBackend.h"

#include <gtest/gtest.h>

#include <map>

namespace zvtest {
namespace {

// Tells whether a component was freed.
class TMenuWatcher : public TComponent {
public:
  explicit TMenuWatcher(TComponent* target) : TComponent(nullptr) { target->FreeNotification(this); }
  bool Freed = false;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) Freed = true;
  }
};

class Menus : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    form = h->TopLevel(100, 100, 300, 200);
    menu = std::make_unique<TPopupMenu>(nullptr);
  }
  void TearDown() override {
    menu.reset();
    THarnessTest::TearDown();
  }
  // An item of the menu (owned by it) that logs its clicks.
  TMenuItem* Item(TMenuItem* parent, const String& caption) {
    auto* item = new TMenuItem(menu.get());
    item->SetCaption(caption);
    item->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
    parent->Add(item);
    return item;
  }

  TProbe* form = nullptr;
  std::unique_ptr<TPopupMenu> menu;
  std::vector<String> clicked;
};

TEST_F(Menus, TheItemTreeAddsInsertsRemovesAndFrees) {
  TMenuItem* root = menu->Items();
  TMenuItem* a = Item(root, "&Alpha");
  TMenuItem* c = Item(root, "Gamma");
  auto* b = new TMenuItem(menu.get());
  b->SetCaption("Beta");
  root->Insert(1, b);
  EXPECT_EQ(root->Count(), 3);
  EXPECT_EQ(root->Items(1), b);
  EXPECT_EQ(b->Parent(), root);
  EXPECT_EQ(c->MenuIndex(), 2);
  EXPECT_EQ(root->IndexOf(c), 2);
  EXPECT_EQ(root->Find("alpha"), a) << "Find ignores case and the & marks";
  EXPECT_EQ(root->Find("Delta"), nullptr);
  EXPECT_EQ(b->GetParentMenu(), menu.get());
  EXPECT_EQ(menu->FindItem(c->Command()), c);
  EXPECT_NE(a->Command(), c->Command());

  EXPECT_THROW(root->Add(b), EMenuError) << "an item has one parent";
  EXPECT_THROW(root->Items(3), EMenuError);
  EXPECT_THROW(root->Insert(5, new TMenuItem(menu.get())), EMenuError);
  EXPECT_THROW(a->Add(root), EMenuError) << "no cycles";

  // Delete takes an item out without freeing it.
  root->Delete(0);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_EQ(a->GetParentMenu(), nullptr);
  EXPECT_THROW(root->Remove(a), EMenuError);
  b->Add(a);
  EXPECT_EQ(a->GetParentMenu(), menu.get()) << "found through the sub-menu";
  EXPECT_EQ(menu->FindItem(a->Command()), a);

  // Freeing an item takes it out of its parent, and frees its sub-items.
  TMenuItem* sub = Item(a, "Sub");
  TMenuWatcher watch(sub);
  delete b;
  EXPECT_EQ(root->Count(), 1);
  EXPECT_TRUE(watch.Freed) << "a and its sub-item went with b";
  root->Clear();
  EXPECT_EQ(root->Count(), 0);
}

TEST_F(Menus, CaptionsAcceleratorsAndShortCuts) {
  EXPECT_EQ(StripHotkey("&File"), "File");
  EXPECT_EQ(StripHotkey("Save && E&xit"), "Save & Exit");
  EXPECT_EQ(StripHotkey("Trailing&"), "Trailing");
  EXPECT_EQ(GetHotkey("E&xit"), "X");
  EXPECT_EQ(GetHotkey("A&&B &c"), "C") << "&& is a plain ampersand";
  EXPECT_EQ(GetHotkey("&äpfel"), "Ä") << "one whole character, upper-cased";
  EXPECT_EQ(GetHotkey("None"), "");
  EXPECT_EQ(GetHotkey("End&"), "");

  EXPECT_EQ(ShortCutToText(ShortCut('C', {ssCtrl})), "Ctrl+C");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_F1 + 4, {ssShift, ssCtrl})), "Shift+Ctrl+F5");
  EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, {ssAlt})), "Alt+Del");
  EXPECT_EQ(ShortCutToText(scNone), "");
  Word key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut(VK_INSERT, {ssShift}), key, shift);
  EXPECT_EQ(key, VK_INSERT);
  EXPECT_EQ(shift, TShiftState{ssShift});

  TMenuItem* edit = Item(menu->Items(), "Edit");
  TMenuItem* copy = Item(edit, "Copy");
  copy->SetShortCut(ShortCut('C', {ssCtrl}));
  TMenuItem* paste = Item(menu->Items(), "Paste");
  paste->SetShortCut(ShortCut('V', {ssCtrl}));
  paste->SetEnabled(false);
  EXPECT_EQ(menu->FindShortCut('C', {ssCtrl, ssLeft}), copy) << "mouse buttons do not count";
  EXPECT_EQ(menu->FindShortCut('C', {}), nullptr);
  EXPECT_EQ(menu->FindShortCut('V', {ssCtrl}), nullptr) << "disabled items have no short-cut";
  EXPECT_TRUE(menu->IsShortCut(KeyMessage(WM_KEYDOWN, 'C', MakeKeyData(false, false, false))) == false)
      << "Ctrl is not down";
  // Asked from a key handler, the key state gives the modifiers.
  int taken = 0;
  form->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    if (menu->IsShortCut(KeyMessage(WM_KEYDOWN, key, MakeKeyData(false, false, false)))) ++taken;
  };
  h->KeyDown(form, 'C');
  EXPECT_EQ(taken, 0);
  h->KeyDown(form, VK_CONTROL);
  h->KeyDown(form, 'C');
  h->KeyUp(form, VK_CONTROL);
  EXPECT_EQ(taken, 1);
  EXPECT_EQ(clicked, (std::vector<String>{"Copy"})) << "the short-cut clicks its item";
  form->OnKeyDown = nullptr;
  edit->SetVisible(false);
  EXPECT_EQ(menu->FindShortCut('C', {ssCtrl}), nullptr) << "a hidden sub-menu hides its short-cuts";
}

TEST_F(Menus, RadioItemsOfAGroupAreExclusiveAndAutoCheckToggles) {
  TMenuItem* root = menu->Items();
  TMenuItem* r1 = Item(root, "One");
  TMenuItem* r2 = Item(root, "Two");
  TMenuItem* other = Item(root, "Other group");
  TMenuItem* plain = Item(root, "Plain");
  for (TMenuItem* r : {r1, r2, other}) r->SetRadioItem(true);
  r1->SetGroupIndex(1);
  r2->SetGroupIndex(1);
  other->SetGroupIndex(2);
  plain->SetChecked(true);
  other->SetChecked(true);
  r1->SetChecked(true);
  r2->SetChecked(true);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(other->Checked()) << "another group";
  EXPECT_TRUE(plain->Checked()) << "not a radio item";
  other->SetGroupIndex(1);
  EXPECT_FALSE(r2->Checked()) << "joining a group with a checked item unchecks the others";

  plain->SetAutoCheck(true);
  plain->Click();
  EXPECT_FALSE(plain->Checked());
  r1->SetAutoCheck(true);
  r1->Click();
  r1->Click();
  EXPECT_TRUE(r1->Checked()) << "a radio item is only checked by clicking";
  EXPECT_FALSE(other->Checked());
  r2->SetEnabled(false);
  r2->Click();
  EXPECT_EQ(clicked, (std::vector<String>{"Plain", "One", "One"})) << "disabled items do not click";
}

TEST_F(Menus, SubMenusByKeyboardAndAccelerators) {
  Item(menu->Items(), "&Open");
  TMenuItem* more = Item(menu->Items(), "&More");
  Item(more, "&Alpha");
  Item(more, "&Beta");
  Item(menu->Items(), "&Bold");
  Item(menu->Items(), "&Big");
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    h->KeyDown(&w, VK_DOWN);
    h->KeyDown(&w, VK_DOWN);
    EXPECT_EQ(w.Selected(), 1);
    h->KeyDown(&w, VK_RIGHT);
    ASSERT_NE(w.SubMenu(), nullptr);
    EXPECT_EQ(w.SubMenu()->Selected(), 0) << "the sub-menu opens with its first item";
    EXPECT_EQ(w.SubMenu()->Left(), w.Left() + w.ItemRect(1).Right) << "beside its item";
    h->KeyDown(&w, VK_LEFT);
    EXPECT_EQ(w.SubMenu(), nullptr);
    EXPECT_EQ(w.Selected(), 1);
    h->Char(&w, U'b');
    EXPECT_EQ(w.Selected(), 2) << "two items share B: the letter moves between them";
    h->Char(&w, U'B');
    EXPECT_EQ(w.Selected(), 3);
    EXPECT_TRUE(w.Tracking());
    h->Char(&w, U'm');
    ASSERT_NE(w.SubMenu(), nullptr) << "a unique accelerator opens the sub-menu";
    h->KeyDown(&w, VK_ESCAPE);
    EXPECT_EQ(w.SubMenu(), nullptr) << "Esc closes the sub-menu only";
    EXPECT_TRUE(w.Tracking());
    h->Char(&w, U'm');
    h->Char(&w, U'b');
  });
  menu->Popup(120, 130);
  EXPECT_FALSE(script.LeftOpen);
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"&Beta"}));
}

TEST_F(Menus, SubMenusByMouse) {
  Item(menu->Items(), "Open");
  TMenuItem* more = Item(menu->Items(), "More");
  Item(more, "Alpha");
  Item(more, "Beta");
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    const TPoint p = RowCentre(w, 1);
    h->MouseMove(&w, p.X, p.Y);
    ASSERT_NE(w.SubMenu(), nullptr) << "hovering an item with a sub-menu opens it";
    TMenuWindow* sub = w.SubMenu();
    const TPoint beta = RowCentre(*sub, 1);
    // The mouse is captured by the menu: input at the sub-menu's place arrives at the top window.
    const TPoint inTop = w.ScreenToClient(sub->ClientToScreen(beta));
    h->MouseMove(&w, inTop.X, inTop.Y);
    EXPECT_EQ(sub->Selected(), 1);
    EXPECT_EQ(w.Selected(), 1) << "the parent item stays highlighted";
    const TPoint open = RowCentre(w, 0);
    h->MouseMove(&w, open.X, open.Y);
    EXPECT_EQ(w.SubMenu(), nullptr) << "another item of the parent closes it";
    h->MouseMove(&w, p.X, p.Y);
    ASSERT_NE(w.SubMenu(), nullptr);
    h->Click(w.SubMenu(), beta.X, beta.Y);
  });
  menu->Popup(120, 130);
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"Beta"}));
}

TEST_F(Menus, DismissedWithoutAChoice) {
  Item(menu->Items(), "Open");
  TMenuItem* more = Item(menu->Items(), "More");
  Item(more, "Alpha");
  TMenuScript script(form);

  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    EXPECT_EQ(GetCapture(), w.Handle()) << "the open menu has the mouse";
    h->KeyDown(&w, VK_ESCAPE);
  });
  menu->Popup(120, 130);
  EXPECT_EQ(GetCapture(), HWND{});

  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    h->MouseMove(&w, 10, RowCentre(w, 0).Y);
    h->MouseDown(&w, -30, -30);  // outside the menu: arrives at the captured window
    EXPECT_FALSE(w.Tracking());
    h->MouseUp(&w, -30, -30);
  });
  menu->Popup(120, 130);

  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    h->KeyDown(&w, VK_RETURN);  // nothing highlighted
  });
  menu->Popup(120, 130);

  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { w.Perform(WM_CANCELMODE); });
  menu->Popup(120, 130);

  script.OnNextPopup(menu.get(), [&](TMenuWindow&) { menu->CloseMenu(); });
  menu->Popup(120, 130);

  EXPECT_EQ(script.Popups, 5);
  EXPECT_FALSE(script.LeftOpen);
  h->Pump();
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(h->Take({"ldown", "lup"}, {"T"}), TLog{}) << "the dismissing click went nowhere";
}

TEST_F(Menus, ReleasingTheButtonThatOpenedTheMenuChoosesNothing) {
  Item(menu->Items(), "Open");
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    const TPoint p = RowCentre(w, 0);
    h->MouseUp(&w, p.X, p.Y);  // as if the press opened the menu, unmoved
    EXPECT_TRUE(w.Tracking());
    h->MouseMove(&w, p.X, p.Y + 1);
    h->MouseUp(&w, p.X, p.Y + 1, mbRight);
    EXPECT_FALSE(w.Tracking()) << "the right button chooses in a pop-up menu too";
  });
  const TPoint at = form->ClientToScreen({20, 20});
  menu->Popup(at.X - 5, at.Y - 5);
  h->Pump();
  EXPECT_EQ(clicked, (std::vector<String>{"Open"}));
}

TEST_F(Menus, TheKeyThatChoseKeepsItsCharacterFromTheFocusedControl) {
  Item(menu->Items(), "Open");
  TProbe* edit = h->Child(form, "E", 10, 10, 100, 24);
  edit->SetFocus();
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow&) {
    h->KeyDown(edit, VK_DOWN);
    h->KeyDown(edit, VK_SPACE);
  });
  menu->Popup(120, 130);
  h->Log.clear();
  h->Char(edit, U' ');
  h->KeyUp(edit, VK_SPACE);
  h->Char(edit, U'x');
  EXPECT_EQ(h->Take({"char", "keyup"}, {"E"}), (TLog{"E keyup 32", "E char 120"}))
      << "the space went to the menu; what follows is the edit's";
  EXPECT_EQ(clicked, (std::vector<String>{"Open"}));

  // Closed by the mouse, nothing of the keyboard is held back.
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    const TPoint p = RowCentre(w, 0);
    h->MouseMove(&w, p.X, p.Y);
    h->Click(&w, p.X, p.Y);
  });
  menu->Popup(120, 130);
  h->Char(edit, U'y');
  EXPECT_EQ(h->Take({"char"}, {"E"}), (TLog{"E char 121"}));
}

TEST_F(Menus, PlacedInsideTheWorkArea) {
  Item(menu->Items(), "Open");
  Item(menu->Items(), "Close");
  const TRect work = Screen->WorkAreaRect();
  TRect placed, rightAligned;
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { placed = w.BoundsRect(); });
  menu->Popup(work.Right - 5, work.Bottom - 5);
  EXPECT_EQ(placed.Right, work.Right - 5) << "flipped to the left of the point";
  EXPECT_EQ(placed.Bottom, work.Bottom - 5) << "and above it";

  menu->SetAlignment(paRight);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { rightAligned = w.BoundsRect(); });
  menu->Popup(300, 200);
  EXPECT_EQ(rightAligned.Right, 300);
  EXPECT_EQ(rightAligned.Top, 200);

  menu->SetAlignment(paLeft);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { placed = w.BoundsRect(); });
  menu->Popup(work.Left - 50, work.Top - 50);
  EXPECT_EQ(placed.TopLeft(), work.TopLeft());
}

TEST_F(Menus, NothingPopsUpWithoutVisibleItemsOrWhileAnotherIsOpen) {
  TMenuItem* only = Item(menu->Items(), "Only");
  only->SetVisible(false);
  int popups = 0;
  menu->OnPopup = [&](TObject*) {
    ++popups;
    only->SetVisible(popups > 1);  // OnPopup may change the items
  };
  menu->Popup(100, 100);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(TPopupMenu::Current(), nullptr);

  TPopupMenu other(nullptr);
  auto* item = new TMenuItem(&other);
  item->SetCaption("Other");
  other.Items()->Add(item);
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow&) {
    EXPECT_EQ(TPopupMenu::Current(), menu.get());
    other.Popup(10, 10);
    EXPECT_EQ(TPopupMenu::Current(), menu.get()) << "one menu at a time";
    h->KeyDown(menu->PopupWindow(), VK_ESCAPE);
  });
  menu->Popup(100, 100);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_FALSE(script.LeftOpen);
}

TEST_F(Menus, FreedWhileOpen) {
  Item(menu->Items(), "Open");
  TMenuScript script(form);
  TPopupMenu* raw = menu.get();
  script.OnNextPopup(raw, [&](TMenuWindow&) { menu.reset(); });
  raw->Popup(100, 100);
  EXPECT_EQ(TPopupMenu::Current(), nullptr);
  EXPECT_EQ(GetCapture(), HWND{});
  h->Pump();
  EXPECT_TRUE(clicked.empty());
}

TEST_F(Menus, PaintsCheckMarksImagesShortCutsAndDisabledItems) {
  TImageList images(nullptr);
  TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(Rect(0, 0, 16, 16));
  images.Add(&red, nullptr);
  menu->SetImages(&images);
  TMenuItem* image = Item(menu->Items(), "Image");
  image->SetImageIndex(0);
  TMenuItem* checked = Item(menu->Items(), "Checked");
  checked->SetChecked(true);
  checked->SetShortCut(ShortCut('K', {ssCtrl}));
  TMenuItem* disabled = Item(menu->Items(), "Disabled");
  disabled->SetEnabled(false);
  TMenuItem* bold = Item(menu->Items(), "&Default");
  bold->SetDefault(true);
  TMenuScript script(form);
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    TPoint origin;
    TNullSurface* surface = AsNullSurface(RetainedSurfaceOf(w.Handle(), &origin));
    ASSERT_NE(surface, nullptr);
    surface->ClearOps();
    h->Pump();
    std::map<String, TPaintOp> texts;
    for (const TPaintOp& op : surface->OpsOf(TPaintOpKind::DrawText)) texts[op.Text] = op;
    ASSERT_TRUE(texts.count("Image") && texts.count("Ctrl+K") && texts.count("&Default"));
    EXPECT_FALSE(texts["&Default"].Flags & DT_NOPREFIX) << "the accelerator is underlined";
    EXPECT_TRUE(texts["&Default"].Font.Style.Contains(fsBold));
    EXPECT_GE(texts["Ctrl+K"].Rect.Left, texts["Checked"].Rect.Left + 7 * 6) << "short-cuts in a column of their own";
    EXPECT_EQ(texts["Disabled"].Color, ColorToRGB(clBtnShadow)) << "disabled text is embossed";
    const TRect imageRow = w.ItemRect(0);
    EXPECT_EQ(h->Pixel(&w, imageRow.Left + 11, (imageRow.Top + imageRow.Bottom) / 2), clRed);
    bool mark = false;
    for (const TPaintOp& op : surface->OpsOf(TPaintOpKind::Polyline))
      mark = mark || (op.Rect.Top >= w.ItemRect(1).Top + origin.Y && op.Rect.Bottom <= w.ItemRect(1).Bottom + origin.Y);
    EXPECT_TRUE(mark) << "a check mark on the checked row";
    EXPECT_GE(w.Width(), 3 + 22 + 4 + 7 * 7 + 16 + 6 * 6 + 16 + 3) << "room for the widest caption and short-cut";
    h->KeyDown(&w, VK_ESCAPE);
  });
  menu->Popup(100, 100);
  menu->SetImages(nullptr);
}

TEST_F(Menus, ARightClickPopsUpTheControlsMenu) {
  Item(menu->Items(), "Open");
  TProbe* child = h->Child(form, "C", 20, 20, 100, 60);
  TProbe* bare = h->Child(form, "B", 150, 20, 100, 60);
  TGraphicProbe* graphic = h->Graphic(form, "G", 20, 100, 50, 30);
  child->SetPopupMenu(menu.get());
  graphic->SetPopupMenu(menu.get());
  std::vector<TPoint> asked;
  bool handle = true;
  child->OnContextPopup = [&](TObject*, TPoint pos, bool& handled) {
    asked.push_back(pos);
    handled = handle;
  };
  TMenuScript script(form);
  TPoint placed;
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) {
    placed = w.BoundsRect().TopLeft();
    h->KeyDown(&w, VK_ESCAPE);
  });

  h->MouseDown(child, 30, 25, mbRight);
  h->MouseUp(child, 30, 25, mbRight);
  EXPECT_EQ(asked, (std::vector<TPoint>{{30, 25}}));
  EXPECT_EQ(script.Popups, 0) << "OnContextPopup handled it";

  handle = false;
  h->MouseDown(child, 30, 25, mbRight);
  h->MouseUp(child, 30, 25, mbRight);
  EXPECT_EQ(script.Popups, 1);
  EXPECT_EQ(placed, child->ClientToScreen({30, 25})) << "at the mouse";
  EXPECT_EQ(menu->PopupComponent(), child);

  // A graphic control's own menu; a control without one asks its parent.
  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { h->KeyDown(&w, VK_ESCAPE); });
  h->MouseDown(graphic, 5, 5, mbRight);
  h->MouseUp(graphic, 5, 5, mbRight);
  EXPECT_EQ(script.Popups, 2);
  EXPECT_EQ(menu->PopupComponent(), graphic);

  script.OnNextPopup(menu.get(), [&](TMenuWindow& w) { h->KeyDown(&w, VK_ESCAPE); });
  h->MouseDown(bare, 5, 5, mbRight);
  h->MouseUp(bare, 5, 5, mbRight);
  EXPECT_EQ(script.Popups, 2) << "nobody up the chain has a menu";
  form->SetPopupMenu(menu.get());
  h->MouseDown(bare, 5, 5, mbRight);
  h->MouseUp(bare, 5, 5, mbRight);
  EXPECT_EQ(script.Popups, 3);
  EXPECT_EQ(menu->PopupComponent(), form) << "the parent answered";

  menu->SetAutoPopup(false);
  h->MouseDown(child, 30, 25, mbRight);
  h->MouseUp(child, 30, 25, mbRight);
  EXPECT_EQ(script.Popups, 3) << "AutoPopup off";
  EXPECT_FALSE(script.LeftOpen);
  child->SetPopupMenu(nullptr);
  graphic->SetPopupMenu(nullptr);
  form->SetPopupMenu(nullptr);
}

}  // namespace

TEST_F(Menus, ShiftF10AndTheMenuKeyOpenTheFocusedControlsMenu) {
  Item(menu->Items(), "Open");
  TProbe* child = h->Child(form, "C", 20, 20, 100, 60);
  child->SetTabStop(true);
  child->SetPopupMenu(menu.get());
  child->SetFocus();
  std::vector<TPoint> asked;
  child->OnContextPopup = [&](TObject*, TPoint pos, bool&) { asked.push_back(pos); };
  TMenuScript script(form);
  TPoint placed;
  auto escape = [&](TMenuWindow& w) {
    placed = w.BoundsRect().TopLeft();
    h->KeyDown(&w, VK_ESCAPE);
  };

  script.OnNextPopup(menu.get(), escape);
  h->KeyDown(child, VK_F10, {ssShift});
  EXPECT_EQ(script.Popups, 1);
  EXPECT_EQ(asked, (std::vector<TPoint>{{-1, -1}})) << "no mouse position from the keyboard";
  EXPECT_EQ(placed, child->ClientToScreen({0, 0}));
  EXPECT_EQ(menu->PopupComponent(), child);
  h->KeyUp(child, VK_F10, {ssShift});

  h->KeyDown(child, VK_F10);
  h->KeyUp(child, VK_F10);
  EXPECT_EQ(script.Popups, 1) << "F10 alone is no context-menu key";

  script.OnNextPopup(menu.get(), escape);
  h->KeyDown(child, VK_APPS);
  EXPECT_EQ(script.Popups, 1) << "the menu key acts when released";
  h->KeyUp(child, VK_APPS);
  EXPECT_EQ(script.Popups, 2);
  EXPECT_FALSE(script.LeftOpen);
  child->SetPopupMenu(nullptr);
}

}  // namespace zvtest
