#pragma once
// Typing, selecting and the clipboard in TEdit and TRichEdit, the same on every backend: the
// editing lives in the controls layer, so whatever keys a backend delivers reach the same model.
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, EditBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Edit.h"
#include "platform/controls/RichEdit.h"

#include <gtest/gtest.h>

namespace zvtest {

class EditBehaviour : public TBehaviourTest {
protected:
  void SetUp() override {
    TBehaviourTest::SetUp();
    top = h->TopLevel(40, 30, 320, 200);
    edit = new TEdit(top);
    edit->SetParent(top);
    edit->SetBounds(10, 10, 150, 24);
    edit->OnChange = [this](TObject*) { ++changes; };
    h->Pump();
  }
  void Type(TControl* target, const std::u32string& keys) {
    for (char32_t c : keys) h->Char(target, c);
  }

  TProbe* top = nullptr;
  TEdit* edit = nullptr;  // owned by top
  int changes = 0;
};

TEST_P(EditBehaviour, TypingAndDeletingUnicodeText) {
  edit->SetFocus();
  h->Pump();
  Type(edit, U"aé𝄞z");
  EXPECT_EQ(edit->Text(), "aé𝄞z");
  EXPECT_EQ(edit->CaretPos(), 4);
  EXPECT_EQ(changes, 4);
  h->KeyDown(edit, VK_LEFT);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->Text(), "aéz");
  h->KeyDown(edit, VK_HOME);
  h->KeyDown(edit, VK_RIGHT);
  h->KeyDown(edit, VK_DELETE);
  EXPECT_EQ(edit->Text(), "az");
  EXPECT_EQ(edit->CaretPos(), 1);
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(changes, 6);
}

TEST_P(EditBehaviour, ShiftSelectsAndTypingReplacesTheSelection) {
  edit->SetText("hello world");
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_HOME);
  h->KeyDown(edit, VK_RIGHT, {ssCtrl, ssShift});
  EXPECT_EQ(edit->SelText(), "hello ");
  Type(edit, U"Ç");
  EXPECT_EQ(edit->Text(), "Çworld");
  h->KeyDown(edit, VK_END, {ssShift});
  EXPECT_EQ(edit->SelText(), "world");
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->Text(), "Ç");
  h->KeyDown(edit, 'Z', {ssCtrl});
  EXPECT_EQ(edit->Text(), "Çworld");
}

TEST_P(EditBehaviour, ClipboardRoundTripBetweenEdits) {
  auto* rich = new TRichEdit(top);
  rich->SetParent(top);
  rich->SetBounds(10, 50, 200, 100);
  rich->SetText("ligne 1\r\nligne ü");
  edit->SetFocus();
  h->Pump();
  Type(edit, U"été ");
  h->KeyDown(edit, 'A', {ssCtrl});
  h->KeyDown(edit, 'C', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "été ");
  rich->SetFocus();
  h->Pump();
  h->KeyDown(rich, VK_END, {ssCtrl});
  h->KeyDown(rich, 'V', {ssCtrl});
  EXPECT_EQ(rich->Lines()->Count(), 2);
  EXPECT_EQ(rich->Lines()->Strings(1), "ligne üété ");
  h->KeyDown(rich, VK_HOME, {ssCtrl});
  h->KeyDown(rich, VK_DOWN, {ssShift});
  h->KeyDown(rich, 'X', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "ligne 1\r\n");
  EXPECT_EQ(rich->Lines()->Count(), 1);
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, 'V', {ssCtrl});
  EXPECT_EQ(edit->Text(), "ligne 1") << "a single line takes the text up to the break";
}

}  // namespace zvtest
