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

  TRect GetRect() {
    TRect r;
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // The bounds of what is not the edit's background in its client area.
  TRect Inked() {
    const TColor background = h->Pixel(edit, 0, 0);
    TRect ink{10000, 10000, -1, -1};
    for (int y = 0; y < edit->ClientHeight(); ++y)
      for (int x = 0; x < edit->ClientWidth(); ++x)
        if (h->Pixel(edit, x, y) != background) {
          ink.Left = std::min(ink.Left, x);
          ink.Top = std::min(ink.Top, y);
          ink.Right = std::max(ink.Right, x + 1);
          ink.Bottom = std::max(ink.Bottom, y + 1);
        }
    return ink;
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

// The text rectangle and the alignment: where the text is drawn, where the caret stands and
// which character a click hits all follow EM_SETRECT / EM_SETMARGINS and Alignment.
TEST_P(EditBehaviour, TheTextRectanglePlacesTextCaretAndClicks) {
  edit->SetText("WgW");
  h->Pump();
  const TRect client = edit->ClientRect();
  EXPECT_EQ(GetRect(), Rect(1, 0, client.Right - 1, client.Bottom)) << "the client area less 1-pixel margins";

  // A rectangle lower and narrower than the client area: the line sits at its top.
  const TRect placed = Rect(30, 6, 100, client.Bottom);
  edit->Perform(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&placed));
  h->Pump();
  EXPECT_EQ(GetRect(), placed);
  EXPECT_EQ(edit->PosFromChar(0), (TPoint{30, 6}));
  const TRect ink = Inked();
  EXPECT_GE(ink.Left, 30) << "nothing is drawn left of the rectangle";
  EXPECT_GE(ink.Top, 6) << "nor above it";
  EXPECT_LE(ink.Right, 100);
  EXPECT_GT(ink.Right, ink.Left) << "the text is drawn";

  // Clicks are measured from the rectangle: left of it is the first character.
  const TPoint second = edit->PosFromChar(2);
  h->Click(edit, second.X + 1, 10);
  EXPECT_EQ(edit->CaretPos(), 2);
  EXPECT_TRUE(edit->Focused());
  h->Click(edit, 5, 10);
  EXPECT_EQ(edit->CaretPos(), 0);
  // The caret is drawn at the rectangle's left edge now.
  EXPECT_NE(h->Pixel(edit, 30, 8), h->Pixel(edit, 0, 0));

  // Relative form: the sides move by the given amounts; sizing drops the rectangle.
  const TRect shift = Rect(5, 0, -5, 0);
  edit->Perform(EM_SETRECT, 1, reinterpret_cast<LPARAM>(&shift));
  EXPECT_EQ(GetRect(), Rect(35, 6, 95, client.Bottom));
  edit->SetWidth(edit->Width() + 10);
  EXPECT_EQ(GetRect(), Rect(1, 0, edit->ClientWidth() - 1, edit->ClientHeight()));

  // Margins shape the default rectangle.
  edit->Perform(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MakeLParam(12, 20));
  EXPECT_EQ(GetRect(), Rect(12, 0, edit->ClientWidth() - 20, edit->ClientHeight()));
  EXPECT_EQ(edit->Perform(EM_GETMARGINS), MakeLParam(12, 20));
  EXPECT_EQ(edit->PosFromChar(0).X, 12);
  edit->Perform(EM_SETRECT, 0, 0);
  EXPECT_EQ(GetRect().Left, 12) << "no rectangle: back to the margins";
}

TEST_P(EditBehaviour, AlignmentPlacesTheLineInTheRectangle) {
  edit->SetText("abc");
  const TRect r = GetRect();
  const int width = edit->PosFromChar(3).X - edit->PosFromChar(0).X;
  ASSERT_GT(width, 0);

  edit->SetAlignment(taRightJustify);
  h->Pump();
  EXPECT_EQ(edit->PosFromChar(3).X, r.Right);
  EXPECT_EQ(edit->PosFromChar(0).X, r.Right - width);
  TRect ink = Inked();
  EXPECT_GE(ink.Left, r.Right - width) << "drawn where the caret positions say";
  EXPECT_LE(ink.Right, r.Right);
  h->Click(edit, r.Left + 2, 8);
  EXPECT_EQ(edit->CaretPos(), 0) << "a click left of right-aligned text hits its start";
  h->Click(edit, r.Right - 1, 8);
  EXPECT_EQ(edit->CaretPos(), 3);

  edit->SetAlignment(taCenter);
  h->Pump();
  const int left = edit->PosFromChar(0).X - r.Left, right = r.Right - edit->PosFromChar(3).X;
  EXPECT_LE(std::abs(left - right), 1) << left << " " << right;
  ink = Inked();
  EXPECT_GE(ink.Left, r.Left + left);

  // A line wider than the rectangle scrolls as left-justified text does.
  edit->SetText(String(200, 'm'));
  edit->SetSelStart(0);
  EXPECT_EQ(edit->PosFromChar(0).X, r.Left);
}

}  // namespace zvtest
