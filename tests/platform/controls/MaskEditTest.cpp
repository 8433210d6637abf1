// TMaskEdit on the headless backend: keystrokes and clipboard messages through the mask
// engine, Text against EditText, the mask property, validation on exit, Escape, read-only.

#include "HarnessTest.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/Clipboard.h"
#include "platform/controls/MaskEdit.h"

using namespace zvtest;

namespace {

class MaskEditTest : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    top = h->TopLevel(40, 30, 260, 120);
    other = h->Child(top, "O", 10, 70, 60, 30);
    edit = new TMaskEdit(top);
    edit->SetParent(top);
    edit->SetBounds(10, 10, 200, 24);
    edit->OnChange = [this](TObject*) { ++changes; };
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
    h->Pump();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    THarnessTest::TearDown();
  }
  void Focus(const String& mask) {
    edit->SetEditMask(mask);
    edit->SetFocus();
    h->Pump();
  }
  void Type(const String& keys) {
    for (char32_t c : ToCodePoints(keys)) h->Char(edit, c);
  }

  TProbe* top = nullptr;
  TProbe* other = nullptr;
  TMaskEdit* edit = nullptr;  // owned by top
  int changes = 0;
  std::vector<String> errors;
};

}  // namespace

TEST_F(MaskEditTest, RefusedCharactersChangeNothing) {
  Focus("!99/99/0000;1;_");
  EXPECT_EQ(edit->MaxLength(), 10);
  EXPECT_EQ(edit->EditText(), "__/__/____");
  EXPECT_EQ(edit->Text(), "  /  /    ");
  const int before = changes;
  Type("1");
  const int afterOne = changes;
  EXPECT_EQ(afterOne, before + 1);
  Type("a-+");
  EXPECT_EQ(edit->EditText(), "1_/__/____");
  EXPECT_EQ(edit->CaretPos(), 1);
  EXPECT_EQ(changes, afterOne) << "no change notification for a refused character";
  Type("/");  // the separator skips the rest of the day
  EXPECT_EQ(edit->CaretPos(), 3);
  EXPECT_EQ(changes, afterOne);
  Type("0");
  EXPECT_EQ(edit->EditText(), "1_/0_/____");
  EXPECT_EQ(edit->SelLength(), 0);
}

TEST_F(MaskEditTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
  Focus("!\\(999\\) 000-0000;1;_");
  edit->SetEditText("(555) 123-4567");
  edit->SetSelStart(1);
  h->KeyDown(edit, VK_RIGHT, {ssShift});
  h->KeyDown(edit, VK_RIGHT, {ssShift});
  h->KeyDown(edit, VK_RIGHT, {ssShift});
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 5) << "the selection reaches over \") \"";
  Type("8");
  EXPECT_EQ(edit->EditText(), "(8__) 123-4567");
  EXPECT_EQ(edit->CaretPos(), 2);
  // Left with a selection lands on its start; Delete with a selection blanks it.
  edit->SetSel(6, 9);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 6);
  edit->SetSel(9, 12);
  h->KeyDown(edit, VK_DELETE);
  EXPECT_EQ(edit->EditText(), "(8__) 123-__67");
  EXPECT_EQ(edit->CaretPos(), 10);
}

TEST_F(MaskEditTest, ClipboardMessagesGoThroughTheMask) {
  Focus("!\\(999\\) 000-0000;1;_");
  h->KeyDown(edit, VK_HOME);
  Clipboard()->SetAsText("(555) 123-4a67");
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->EditText(), "(555) 123-4___") << "pasting stops at the first misfit";
  EXPECT_EQ(edit->CaretPos(), 11);
  EXPECT_TRUE(edit->Modified());

  edit->SetSel(1, 4);
  edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "555");
  EXPECT_EQ(edit->EditText(), "(___) 123-4___");
  EXPECT_EQ(edit->CaretPos(), 1);
  edit->Undo();
  EXPECT_EQ(edit->EditText(), "(555) 123-4___");

  edit->SetSel(6, 9);
  edit->ClearSelection();
  EXPECT_EQ(edit->EditText(), "(555) ___-4___");

  // Shift+Insert pastes, Ctrl+X cuts: the same messages.
  Clipboard()->SetAsText("7777777");
  edit->SetSelStart(6);
  h->KeyDown(edit, VK_INSERT, {ssShift});
  EXPECT_EQ(edit->EditText(), "(555) 777-7777");
  edit->SetSel(10, 14);
  h->KeyDown(edit, 'X', {ssCtrl});
  EXPECT_EQ(edit->EditText(), "(555) 777-____");
  EXPECT_EQ(Clipboard()->AsText(), "7777");

  // A huge text keeps what fits the mask.
  Clipboard()->SetAsText(String(100000, '1'));
  edit->SetSelStart(0);
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->EditText(), "(111) 111-1111");
}

TEST_F(MaskEditTest, ValidationOnExit) {
  Focus("!99/99/0000;1;_");
  // An untouched entry may stay incomplete: only a modified text is validated.
  other->SetFocus();
  h->Pump();
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(other->Focused());

  edit->SetFocus();
  h->Pump();
  Type("1205");
  other->SetFocus();
  h->Pump();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], SMaskEditErr);
  EXPECT_TRUE(edit->Focused());
  EXPECT_FALSE(other->Focused());
  EXPECT_EQ(edit->EditText(), "12/05/____");
  EXPECT_EQ(edit->CaretPos(), 6);
  EXPECT_THROW(edit->ValidateEdit(), EDBEditError);

  Type("2024");
  other->SetFocus();
  h->Pump();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(edit->Text(), "12/05/2024");
  EXPECT_NO_THROW(edit->ValidateEdit());
}

TEST_F(MaskEditTest, EscapeReturnsToTheTextBeforeEditing) {
  edit->SetEditMask("!99/99/0000;1;_");
  edit->SetText("12/05/2024");
  edit->SetFocus();
  h->Pump();
  Type("3");  // replaces the whole selection
  EXPECT_EQ(edit->EditText(), "3_/__/____");
  other->SetFocus();  // refused: the text is incomplete
  h->Pump();
  ASSERT_TRUE(edit->Focused());
  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(edit->EditText(), "12/05/2024") << "the value from before the refused exit";
  EXPECT_FALSE(edit->Modified());

  // A new entry starts from the text it found.
  other->SetFocus();
  h->Pump();
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_END);
  h->KeyDown(edit, VK_BACK);
  edit->Reset();
  EXPECT_EQ(edit->EditText(), "12/05/2024");
}

TEST_F(MaskEditTest, ReadOnlyRefusesEditingButNotCaretMoves) {
  Focus("!99/99/0000;1;_");
  edit->SetEditText("12/05/2024");
  edit->SetReadOnly(true);
  edit->SetSelStart(0);
  Type("9");
  h->KeyDown(edit, VK_DELETE);
  h->KeyDown(edit, VK_RIGHT);
  h->KeyDown(edit, VK_RIGHT);
  EXPECT_EQ(edit->CaretPos(), 3);
  h->KeyDown(edit, VK_BACK);
  Clipboard()->SetAsText("11");
  edit->PasteFromClipboard();
  edit->SetSel(0, 5);
  edit->CutToClipboard();
  edit->ClearSelection();
  EXPECT_EQ(edit->EditText(), "12/05/2024");
  EXPECT_EQ(Clipboard()->AsText(), "11");
  EXPECT_FALSE(edit->Modified());
}

TEST_F(MaskEditTest, EditMaskReformatsAndTextFollowsSaveLiterals) {
  edit->SetText("5551234567");
  edit->SetEditMask("!\\(999\\) 000-0000;0;_");
  EXPECT_TRUE(edit->IsMasked());
  EXPECT_EQ(edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(edit->Text(), "5551234567");
  EXPECT_EQ(edit->MaxLength(), 14);
  edit->SetEditMask("!\\(999\\) 000-0000;1;_");
  EXPECT_EQ(edit->EditText(), "(555) 123-4567");
  EXPECT_EQ(edit->Text(), "(555) 123-4567");
  edit->SetText("");
  EXPECT_EQ(edit->EditText(), "(___) ___-____");
  EXPECT_EQ(edit->Text(), "(   )    -    ");
  edit->SetText("(212) 555-0199");
  edit->SetEditMask("");
  EXPECT_FALSE(edit->IsMasked());
  EXPECT_EQ(edit->Text(), "(212) 555-0199");
  EXPECT_EQ(edit->MaxLength(), 0);
  edit->SetText("");

  // Time mask whose blank is '0': an untouched time is midnight.
  edit->SetEditMask("!90:00:00;1;0");
  EXPECT_EQ(edit->EditText(), "00:00:00");
  edit->SetText("7:15");  // read by position, as a text saved with literals
  EXPECT_EQ(edit->EditText(), "70:50:00");
  edit->SetText("07:15:30");
  EXPECT_EQ(edit->Text(), "07:15:30");

  // Published, before Text so that streamed text is laid out on the mask.
  TMaskEdit copy(nullptr);
  SetStrProp(&copy, "EditMask", ">LL;0;*");
  SetStrProp(&copy, "Text", "ab");
  EXPECT_EQ(copy.EditText(), "AB");
  EXPECT_EQ(GetStrProp(&copy, "EditMask"), ">LL;0;*");
  EXPECT_EQ(copy.MaxLength(), 2);
}

TEST_F(MaskEditTest, UnicodeLettersCountAsOneCharacter) {
  Focus(">LLL-l;1;_");
  Type("éжa");
  EXPECT_EQ(edit->EditText(), "ÉЖA-_");
  EXPECT_EQ(edit->CaretPos(), 4);
  Type("ß");
  EXPECT_EQ(edit->EditText(), "ÉЖA-ß") << "no single upper case letter: kept";
  h->KeyDown(edit, VK_LEFT);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 2);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(edit->EditText(), "É_A-ß");
  EXPECT_EQ(edit->Text(), "É A-ß");
}

TEST_F(MaskEditTest, AClickOnALiteralPutsTheCaretOnTheNextInputPosition) {
  Focus("!99/99/0000;1;_");
  edit->SetEditText("12/05/2024");
  const TPoint slash = edit->PosFromChar(2);
  const TPoint next = edit->PosFromChar(3);
  h->Click(edit, (slash.X + next.X) / 2, slash.Y + 2);
  EXPECT_EQ(edit->CaretPos(), 3);
  EXPECT_EQ(edit->SelLength(), 0);
  Type("7");
  EXPECT_EQ(edit->EditText(), "12/75/2024");
  // A drag that selects is left alone.
  const TPoint first = edit->PosFromChar(0);
  h->MouseDown(edit, first.X + 1, first.Y + 2);
  h->MouseMove(edit, slash.X + 1, slash.Y + 2, {ssLeft});
  h->MouseUp(edit, slash.X + 1, slash.Y + 2);
  EXPECT_GT(edit->SelLength(), 0);
}

