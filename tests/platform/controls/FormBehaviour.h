#pragma once
// What forms and message boxes do on every backend: a modal form and a pop-up with a nested
// loop close with their results, and a message box is answered by a scripted responder or by
// a key pressed inside its loop. Input inside a loop comes from TIdleScript: the loop's idle
// time runs one step at a time (IdleScript.h).
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, FormBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"
#include "IdleScript.h"

#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/null/NullWindowBackend.h"

#include <gtest/gtest.h>

namespace zvtest {

class FormBehaviour : public TBehaviourTest {
protected:
  // Shows main with a probe "F" in it that takes the focus.
  TProbe* ShowWithFocusedField(TForm& main) {
    main.SetBounds(40, 40, 300, 200);
    TProbe* field = h->Child(&main, "F", 10, 10, 100, 30);
    field->SetTabStop(true);
    main.Show();
    h->Pump();
    return field;
  }
  void TearDown() override {
    SetDialogResponder(nullptr);
    TBehaviourTest::TearDown();
  }
};

TEST_P(FormBehaviour, AModalFormRunsItsLoopUntilAButtonGivesTheResult) {
  TForm main(nullptr);
  TProbe* field = ShowWithFocusedField(main);
  ASSERT_TRUE(field->Focused());

  TForm dialog(nullptr);
  dialog.SetBorderStyle(bsDialog);
  dialog.SetBounds(100, 100, 200, 100);
  auto* ok = new TMessageButton(&dialog);
  ok->SetModalResult(mrOk);
  ok->SetBounds(60, 60, 75, 25);
  ok->SetParent(&dialog);
  dialog.SetModalResult(mrYes);  // left over from an earlier run: ShowModal starts afresh

  int clicksOnMain = 0;
  main.OnClick = [&](TObject*) { ++clicksOnMain; };
  bool visibleInLoop = false;
  TIdleScript script({[&] { visibleInLoop = dialog.Visible() && ok->Focused(); },
                      [&] { h->Click(&main, 250, 150); },  // disabled while the dialog runs
                      [&] { h->Click(ok, 10, 10); }});
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(visibleInLoop) << "shown, its only control focused";
  EXPECT_EQ(clicksOnMain, 0);
  EXPECT_FALSE(dialog.Visible());
  EXPECT_TRUE(field->Focused()) << "the focus goes back where it was";

  // Close inside the loop answers mrCancel.
  TIdleScript closing({[&] { dialog.Close(); }});
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  h->Click(&main, 250, 150);
  EXPECT_EQ(clicksOnMain, 1) << "enabled again";
}

TEST_P(FormBehaviour, APopupAtScreenCoordinatesClosesANestedLoopWithItsResult) {
  TForm main(nullptr);
  TProbe* field = ShowWithFocusedField(main);
  ASSERT_TRUE(field->Focused());

  TForm popup(nullptr);
  popup.SetBorderStyle(bsNone);
  popup.SetBounds(500, 320, 120, 90);
  TProbe* item = h->Child(&popup, "I", 0, 30, 120, 30);
  item->OnClick = [&](TObject*) {
    popup.SetModalResult(mrOk);
    Application->EndNestedLoop();
  };
  popup.ShowNoActivate();
  h->Pump();
  EXPECT_TRUE(popup.Visible());
  EXPECT_EQ(popup.ClientOrigin(), (TPoint{500, 320}));
  EXPECT_TRUE(field->Focused()) << "a pop-up leaves the focus where it is";
  EXPECT_FALSE(popup.Active());

  TIdleScript script({[&] { h->Click(item, 60, 10); }});
  Application->RunNestedLoop();
  EXPECT_FALSE(script.GaveUp);
  EXPECT_EQ(popup.ModalResult(), mrOk);
  EXPECT_EQ(h->Take({"ldown"}, {"I"}), (TLog{"I ldown 60 10"}));
  popup.Hide();
  EXPECT_TRUE(field->Focused());
}

// A tool window is a panel with no parent: it pops up at screen coordinates, leaves the focus
// where it was, and its buttons end the nested loop that waits for it.
TEST_P(FormBehaviour, APanelWithoutParentPopsUpAndItsButtonEndsTheLoop) {
  TForm main(nullptr);
  TProbe* field = ShowWithFocusedField(main);
  ASSERT_TRUE(field->Focused());

  TPanel tool(nullptr);
  tool.SetBounds(420, 300, 160, 60);
  auto* ok = new TSpeedButton(&tool);
  ok->SetCaption("OK");
  ok->SetBounds(80, 20, 60, 24);
  ok->SetParent(&tool);
  bool chosen = false;
  ok->OnClick = [&](TObject*) {
    chosen = true;
    Application->EndNestedLoop();
  };
  tool.Show();
  h->Pump();
  EXPECT_EQ(tool.ClientOrigin(), (TPoint{420, 300}));
  EXPECT_TRUE(field->Focused()) << "the pop-up does not take the focus";
  if (TNullWindowBackend* null = ActiveNullWindowBackend()) {
    const auto* record = null->Window(NativeWindowOf(tool.Handle()));
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->Popup);
    EXPECT_EQ(record->Bounds, Rect(420, 300, 580, 360));
  }

  TIdleScript script({[&] { h->Click(ok, 10, 10); }});
  Application->RunNestedLoop();
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(chosen);
  tool.Hide();
  EXPECT_TRUE(field->Focused());
}

TEST_P(FormBehaviour, AMessageBoxAnswersAConfirmationByResponderOrByKey) {
  std::vector<TDialogRequest> asked;
  SetDialogResponder([&](TDialogRequest& r) {
    asked.push_back(r);
    return mrNo;
  });
  EXPECT_EQ(MessageDlg("Delete the record?", mtConfirmation, mbYesNoCancel), mrNo);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Caption, "Confirm");
  EXPECT_EQ(asked[0].Message, "Delete the record?");
  EXPECT_EQ(asked[0].ButtonCaptions, (std::vector<String>{"&Yes", "&No", "Cancel"}));
  SetDialogResponder(nullptr);

  // No responder: the box runs its loop; Enter takes the default button, Escape the cancel one.
  String caption;
  auto press = [&](Word key, char32_t c = 0) {
    return [&, key, c] {
      if (TCustomForm* box = Screen->ActiveCustomForm()) {
        caption = box->Caption();
        PressKey(*h, box, key, c);
      }
    };
  };
  {
    TIdleScript script({press(VK_ESCAPE, 0x1B)});
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, {mbYes, mbNo}), mrNo) << "no Cancel: Escape says No";
    EXPECT_EQ(caption, "Confirm");
  }
  {
    TIdleScript script({press(VK_RETURN, U'\r')});
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrYes);
  }
  {
    TIdleScript script({press(VK_RIGHT), press(VK_RIGHT), press(VK_RETURN, U'\r')});
    EXPECT_EQ(MessageDlg("Save changes?", mtConfirmation, mbYesNoCancel), mrCancel)
        << "the arrows move to the third button";
  }
}

TEST_P(FormBehaviour, APressTellsTheFocusedControlToCancelItsModeFirst) {
  TForm main(nullptr);
  TProbe* field = ShowWithFocusedField(main);
  ASSERT_TRUE(field->Focused());
  TProbe* other = h->Child(&main, "O", 10, 60, 100, 30);
  h->Graphic(&main, "G", 150, 10, 40, 40);
  TGraphicProbe* g = dynamic_cast<TGraphicProbe*>(main.ControlAtPos({160, 20}, false));
  ASSERT_NE(g, nullptr);
  // The press is handled (OnMouseDown) once the focused control has cancelled its mode.
  for (TControl* c : std::initializer_list<TControl*>{field, other, g})
    c->OnMouseDown = [this](TObject* sender, TMouseButton, TShiftState, int, int) {
      const TControl* c = static_cast<TControl*>(sender);
      h->Log.push_back((c->Left() == 150 ? "G" : c->Top() == 60 ? "O" : "F") + std::string(" pressed"));
    };
  h->Pump();
  h->Log.clear();

  h->Click(other, 5, 5);
  h->Click(g, 5, 5);
  h->MouseDown(field, 3, 3, mbRight);
  h->MouseUp(field, 3, 3, mbRight);
  EXPECT_EQ(h->Take({"cancelmode", "pressed"}),
            (TLog{"F cancelmode O", "O pressed", "F cancelmode G", "G pressed", "F cancelmode F", "F pressed"}));
}

}  // namespace zvtest
