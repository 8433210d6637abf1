// Dialogs on the headless backend: the message box's layout and answers, the responder for
// every kind of dialog, and exceptions reported while no user can answer.

#include "HarnessTest.h"
#include "IdleScript.h"

#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

class Dialogs : public THarnessTest {
protected:
  void TearDown() override {
    SetDialogResponder(nullptr);
    Application->OnIdle = nullptr;
    Application->OnException = nullptr;
    THarnessTest::TearDown();
  }
  static TMessageButton* ButtonOf(TCustomForm& form, const char* name) {
    return dynamic_cast<TMessageButton*>(form.FindComponent(name));
  }
};

}  // namespace

TEST_F(Dialogs, TheMessageBoxLaysItsButtonsOutInTheHostsOrder) {
  auto box = CreateMessageDialog("Overwrite the file?", mtWarning, {mbCancel, mbNo, mbYes, mbHelp});
  EXPECT_EQ(box->Caption(), "Warning");
  EXPECT_EQ(box->BorderStyle(), bsDialog);
  const std::vector<std::string> names{"Yes", "No", "Cancel", "Help"};
  const std::vector<std::string> captions{"&Yes", "&No", "Cancel", "&Help"};
  ASSERT_EQ(box->ControlCount(), 4);
  int right = 0;
  for (int i = 0; i < 4; ++i) {
    auto* b = dynamic_cast<TMessageButton*>(box->Controls(i));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Name(), names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(b->Caption(), captions[static_cast<std::size_t>(i)]);
    EXPECT_GT(b->Left(), right) << "left to right, apart";
    EXPECT_EQ(b->Width(), box->Controls(0)->Width());
    EXPECT_EQ(b->Top(), box->Controls(0)->Top());
    right = b->BoundsRect().Right;
  }
  EXPECT_EQ(box->Controls(0)->Left(), box->ClientWidth() - right) << "the row is centred";
  EXPECT_GT(box->Controls(0)->Top(), 0);
  EXPECT_EQ(ButtonOf(*box, "Yes")->ModalResult(), mrYes);
  EXPECT_EQ(ButtonOf(*box, "Help")->ModalResult(), mrHelp);
  EXPECT_TRUE(ButtonOf(*box, "Yes")->Default());
  EXPECT_TRUE(ButtonOf(*box, "Cancel")->Cancel());
  EXPECT_FALSE(ButtonOf(*box, "No")->Cancel());
  EXPECT_EQ(box->ActiveControl(), ButtonOf(*box, "Yes"));

  // Without OK or Yes, Retry is the default; without Cancel, No answers Escape; a long
  // message wraps at half the screen and a long caption widens every button.
  String words;
  for (int i = 0; i < 200; ++i) words += "word ";
  auto other = CreateMessageDialog(words, mtError, mbAbortRetryIgnore);
  EXPECT_EQ(other->Caption(), "Error");
  EXPECT_TRUE(ButtonOf(*other, "Retry")->Default());
  EXPECT_FALSE(ButtonOf(*other, "Abort")->Cancel());
  EXPECT_LE(other->ClientWidth(), 1920 / 2 + 2 * 12) << "wrapped at half the screen";
  EXPECT_GT(other->ClientWidth(), 1920 / 2 - 100);
  EXPECT_GT(ButtonOf(*other, "Abort")->Top(), 3 * ButtonOf(*box, "Yes")->Top()) << "several lines";
  auto all = CreateMessageDialog("Replace?", mtConfirmation, mbYesAllNoAllCancel);
  EXPECT_GT(ButtonOf(*all, "YesToAll")->Width(), ButtonOf(*box, "Yes")->Width() - 1);
  EXPECT_EQ(ButtonOf(*all, "No")->Width(), ButtonOf(*all, "YesToAll")->Width());
  EXPECT_EQ(all->ControlCount(), 5);
  auto none = CreateMessageDialog("Nothing to choose", mtInformation, {});
  ASSERT_EQ(none->ControlCount(), 1) << "a box nobody could close gets OK";
  EXPECT_EQ(none->Controls(0)->Name(), "OK");
}

TEST_F(Dialogs, AMessageBoxWithoutResponderRunsModallyAndIsClicked) {
  TCustomForm* seen = nullptr;
  TIdleScript script({[&] { seen = Screen->ActiveCustomForm(); },
                      [&] {
                        if (seen)
                          if (auto* no = dynamic_cast<TMessageButton*>(seen->FindComponent("No"))) h->Click(no, 5, 5);
                      }});
  EXPECT_EQ(MessageDlg("Keep the changes?", mtConfirmation, mbYesNoCancel), mrNo);
  EXPECT_EQ(script.StepsRun(), 2u);
  EXPECT_FALSE(script.GaveUp);

  // Space on the focused button clicks it, on release; Escape with only OK says OK.
  TRect placed;
  TIdleScript keys({[&] {
    TCustomForm* box = Screen->ActiveCustomForm();
    placed = box->BoundsRect();
    PressKey(*h, box, VK_SPACE, U' ');
  }});
  EXPECT_EQ(MessageDlgPos("Done", mtInformation, {mbOK, mbCancel}, 0, 30, 40), mrOk);
  EXPECT_EQ(placed.TopLeft(), (TPoint{30, 40})) << "MessageDlgPos places the box";
  TIdleScript escape({[&] { PressKey(*h, Screen->ActiveCustomForm(), VK_ESCAPE, 0x1B); }});
  EXPECT_EQ(MessageDlg("Done", mtInformation, {mbOK}), mrOk);
}

TEST_F(Dialogs, TheResponderAnswersEveryKindOfDialog) {
  std::vector<TDialogRequest> asked;
  TModalResult answer = mrOk;
  SetDialogResponder([&](TDialogRequest& r) {
    asked.push_back(r);
    if (r.Kind == TDialogKind::OpenFile || r.Kind == TDialogKind::SaveFile) {
      r.File.FileName = "/tmp/pictures/sunset";
      r.File.FilterIndex = 3;
    }
    if (r.Kind == TDialogKind::Color) r.Color = clRed;
    return answer;
  });
  Application->SetTitle("Zovrin");
  ShowMessage("Hello");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Caption, "Zovrin");
  EXPECT_EQ(asked[0].ButtonCaptions, (std::vector<String>{"OK"}));
  EXPECT_EQ(asked[0].DlgType, mtCustom);

  TSavePictureDialog save(nullptr);
  save.SetDefaultExt("png");
  save.SetTitle("Save picture");
  save.SetOptions({ofOverwritePrompt});
  EXPECT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/pictures/sunset.png") << "the default extension is added";
  EXPECT_EQ(save.FilterIndex(), 3);
  EXPECT_EQ(asked.back().Kind, TDialogKind::SaveFile);
  EXPECT_EQ(asked.back().File.Filter, GraphicFilter());
  EXPECT_TRUE(asked.back().File.OverwritePrompt);
  EXPECT_EQ(asked.back().Caption, "Save picture");

  TOpenPictureDialog open(nullptr);
  open.SetFileName("old.bmp");
  answer = mrCancel;
  EXPECT_FALSE(open.Execute());
  EXPECT_EQ(open.FileName(), "old.bmp") << "a cancelled dialog changes nothing";
  EXPECT_EQ(asked.back().Kind, TDialogKind::OpenFile);
  EXPECT_EQ(asked.back().File.FileName, "old.bmp");

  TColorDialog color(nullptr);
  color.SetColor(clBlue);
  EXPECT_FALSE(color.Execute());
  EXPECT_EQ(color.Color(), clBlue);
  answer = mrOk;
  EXPECT_TRUE(color.Execute());
  EXPECT_EQ(color.Color(), clRed);
  EXPECT_EQ(asked.back().Color, clBlue) << "the dialog starts from the current colour";

  // Without a responder the headless backend has nobody to ask: cancelled.
  SetDialogResponder(nullptr);
  EXPECT_FALSE(open.Execute());
  EXPECT_FALSE(color.Execute());
  EXPECT_FALSE(DialogsCanShow());
}

TEST_F(Dialogs, ExceptionsShowAnErrorBoxOnlyWhenSomeoneCanAnswer) {
  std::vector<TDialogRequest> asked;
  TProbe* top = h->TopLevel(0, 0, 100, 100);
  auto inherited = top->WindowProc;
  top->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_USER) throw EInvalidOperation("Nothing to save");
    inherited(m);
  };
  // Headless, no responder: standard error, no loop.
  PostMessage(top->Handle(), WM_USER, 0, 0);
  h->Pump();
  SetDialogResponder([&](TDialogRequest& r) {
    asked.push_back(r);
    return mrOk;
  });
  Application->SetTitle("Zovrin");
  PostMessage(top->Handle(), WM_USER, 0, 0);
  h->Pump();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].DlgType, mtError);
  EXPECT_EQ(asked[0].Message, "Nothing to save.");
  EXPECT_EQ(asked[0].Caption, "Zovrin");
  top->WindowProc = inherited;
}

}  // namespace zvtest
