#pragma once
// Keystroke scripts of the masked edit that must come out the same on every backend: the mask
// rules live in the controls layer, so the keys a backend delivers reach the same engine.
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, MaskEditBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"

#include "platform/controls/MaskEdit.h"

#include <gtest/gtest.h>

namespace zvtest {

class MaskEditBehaviour : public TBehaviourTest {
protected:
  void SetUp() override {
    TBehaviourTest::SetUp();
    top = h->TopLevel(40, 30, 260, 120);
    other = h->Child(top, "O", 10, 70, 60, 30);
    edit = new TMaskEdit(top);
    edit->SetParent(top);
    edit->SetBounds(10, 10, 200, 24);
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
    h->Pump();
  }
  void Type(const String& keys) {
    for (char32_t c : ToCodePoints(keys)) h->Char(edit, c);
  }

  TProbe* top = nullptr;
  TProbe* other = nullptr;
  TMaskEdit* edit = nullptr;  // owned by top
  std::vector<String> errors;
};

TEST_P(MaskEditBehaviour, DateMaskTypingDeletingAndCaretMoves) {
  edit->SetEditMask("!99/99/0000;1;_");
  edit->SetFocus();
  h->Pump();
  Type("12x0520");
  EXPECT_EQ(edit->EditText(), "12/05/20__");
  EXPECT_EQ(edit->CaretPos(), 8);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->EditText(), "12/05/2___");
  EXPECT_EQ(edit->CaretPos(), 7);
  h->KeyDown(edit, VK_LEFT);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 4);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 3) << "the separator is stepped over";
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 1);
  h->KeyDown(edit, VK_DELETE);
  EXPECT_EQ(edit->EditText(), "1_/05/2___");
  EXPECT_EQ(edit->CaretPos(), 1);
  Type("7");
  EXPECT_EQ(edit->CaretPos(), 3);
  h->KeyDown(edit, VK_END);
  EXPECT_EQ(edit->CaretPos(), 10);
  h->KeyDown(edit, VK_HOME);
  EXPECT_EQ(edit->CaretPos(), 0);
  EXPECT_EQ(edit->Text(), "17/05/2   ");
  EXPECT_TRUE(edit->Modified());
}

TEST_P(MaskEditBehaviour, IncompleteEntryKeepsFocusAndTextThenEscapeRestores) {
  edit->SetEditMask("!\\(999\\) 000-0000;0;_");
  edit->SetText("5551234567");
  edit->SetFocus();
  h->Pump();
  ASSERT_EQ(edit->SelLength(), 14) << "entering by the program selects all";
  h->KeyDown(edit, VK_HOME);
  EXPECT_EQ(edit->CaretPos(), 1);
  Type("9a8");
  EXPECT_EQ(edit->EditText(), "(985) 123-4567");
  h->KeyDown(edit, VK_END);
  h->KeyDown(edit, VK_BACK);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->EditText(), "(985) 123-45__");

  other->SetFocus();
  h->Pump();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Invalid input value.  Use escape key to abandon changes");
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->EditText(), "(985) 123-45__");
  EXPECT_EQ(edit->CaretPos(), 12) << "the caret goes to the first missing digit";

  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(edit->Text(), "5551234567");
  EXPECT_FALSE(edit->Modified());
  other->SetFocus();
  h->Pump();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(other->Focused());
}

TEST_P(MaskEditBehaviour, CaseConversionOfTypedLetters) {
  edit->SetEditMask(">LL<llll;1;_");
  edit->SetFocus();
  h->Pump();
  Type("ab1CDéF");
  EXPECT_EQ(edit->EditText(), "ABcdéf");
  EXPECT_EQ(edit->CaretPos(), 6);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->EditText(), "ABcdé_");
  EXPECT_EQ(edit->CaretPos(), 5);
}

}  // namespace zvtest
