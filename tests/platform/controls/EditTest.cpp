// The editing model and TEdit on the headless backend: Unicode caret moves and deletions,
// undo, maximum length, read-only, change notifications, focus, mouse, scrolling, painting
// and how a descendant intercepts the edit's messages.

#include "HarnessTest.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/Edit.h"
#include "platform/graphics/TextBreak.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <chrono>

namespace zvtest {

namespace {

std::u32string CodePoints(const String& text) {
  TTextEditor e;
  e.SetText(text);
  std::u32string out;
  for (int i = 0; i < e.Length(); ++i)
    out += FirstCodePoint(std::string_view(text).substr(e.OffsetOf(i), e.OffsetOf(i + 1) - e.OffsetOf(i)));
  return out;
}

// --- The model ------------------------------------------------------------------------------------

TEST(TextEditor, CaretAndDeletionNeverSplitACharacter) {
  TTextEditor e;
  // é (2 bytes), the G clef U+1D11E (4 bytes), e + combining acute (two code points).
  e.SetText("aé𝄞e\u0301b");
  EXPECT_EQ(e.Length(), 6);
  e.MoveTo(0, false);
  std::vector<std::size_t> offsets;
  for (int i = 0; i < 6; ++i) {
    e.MoveTo(e.NextPos(e.CaretPos()), false);
    offsets.push_back(e.CaretOffset());
  }
  EXPECT_EQ(offsets, (std::vector<std::size_t>{1, 3, 7, 8, 10, 11}));
  e.MoveTo(3, false);  // after the clef
  EXPECT_TRUE(e.Backspace(false));
  EXPECT_EQ(e.Text(), "aée\u0301b");
  EXPECT_EQ(e.CaretPos(), 2);
  EXPECT_TRUE(e.DeleteForward(false));
  EXPECT_EQ(e.Text(), "aé\u0301b") << "combining marks are characters of their own";
  e.MoveTo(1, false);
  e.MoveTo(2, true);
  EXPECT_EQ(e.SelText(), "é");
  EXPECT_EQ(e.SelStart(), 1);
  EXPECT_EQ(e.SelLength(), 1);
  // Out-of-range and mid-sequence positions snap onto boundaries.
  e.SetSel(-5, 99);
  EXPECT_EQ(e.SelLength(), 0);
  e.SetSel(0, 99);
  EXPECT_EQ(e.SelLength(), 4);
  EXPECT_EQ(e.Snap(2), 1u) << "inside é";
}

TEST(TextEditor, InvalidBytesAreSingleCharacters) {
  TTextEditor e;
  e.SetText(std::string("a\xC3" "b\x80", 4));  // a lead byte without its tail, a stray tail
  EXPECT_EQ(e.Length(), 4);
  e.MoveTo(4, false);
  EXPECT_TRUE(e.Backspace(false));
  EXPECT_TRUE(e.Backspace(false));
  EXPECT_EQ(e.Text(), std::string("a\xC3", 2));
  EXPECT_TRUE(e.Backspace(false));
  EXPECT_EQ(e.Text(), "a");
}

TEST(TextEditor, PastedBytesThatAreNoCharacterEnterAsReplacementCharacters) {
  TTextEditor e;
  e.SetText("abc");
  e.MoveTo(3, false);
  EXPECT_TRUE(e.Paste(std::string("\xFF\xFE" "d\xE2\x82" "\xC3\xA9", 7)));
  EXPECT_EQ(e.Text(), "abc\uFFFD\uFFFDd\uFFFD\uFFFD\u00E9");
  EXPECT_EQ(e.CaretPos(), 9);
}

TEST(TextEditor, LineBreaksAreOneStepButTwoCharacters) {
  TTextEditor e;
  e.SetMultiLine(true);
  e.SetText("ab\ncd\r\n");
  EXPECT_EQ(e.Text(), "ab\r\ncd\r\n") << "lone breaks become CR LF";
  EXPECT_EQ(e.Length(), 8);
  e.MoveTo(2, false);
  EXPECT_EQ(e.NextPos(2), 4);
  e.MoveTo(3, false);
  EXPECT_EQ(e.CaretPos(), 2) << "never between CR and LF";
  e.MoveTo(4, false);
  EXPECT_TRUE(e.Backspace(false));
  EXPECT_EQ(e.Text(), "abcd\r\n");
  TTextEditor single;
  single.SetText("first\r\nsecond");
  EXPECT_EQ(single.Text(), "first");
  EXPECT_TRUE(single.Paste("x\ny"));
  EXPECT_EQ(single.Text(), "xfirst") << "a single line takes text up to the first break";
}

TEST(TextEditor, WordMovesAndWordSelection) {
  TTextEditor e;
  e.SetText("héllo, wörld  end");
  EXPECT_EQ(e.NextWordPos(0), 5);   // the punctuation is a stop of its own
  EXPECT_EQ(e.NextWordPos(5), 7);
  EXPECT_EQ(e.NextWordPos(7), 14);
  EXPECT_EQ(e.NextWordPos(14), 17);
  EXPECT_EQ(e.PriorWordPos(17), 14);
  EXPECT_EQ(e.PriorWordPos(14), 7);
  EXPECT_EQ(e.PriorWordPos(3), 0);
  int start = 0, end = 0;
  e.WordAt(9, start, end);
  EXPECT_EQ(start, 7);
  EXPECT_EQ(end, 14) << "a word takes its trailing spaces";
  e.MoveTo(14, false);
  EXPECT_TRUE(e.Backspace(true));
  EXPECT_EQ(e.Text(), "héllo, end");
  e.MoveTo(0, false);
  EXPECT_TRUE(e.DeleteForward(true));
  EXPECT_EQ(e.Text(), ", end");
}

TEST(TextEditor, OneLevelUndoMergesTypingAndRedoes) {
  TTextEditor e;
  e.SetText("x");
  EXPECT_FALSE(e.CanUndo());
  e.MoveTo(1, false);
  for (const char* c : {"a", "b", "c"}) e.TypeText(c);
  EXPECT_EQ(e.Text(), "xabc");
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.Text(), "x") << "consecutive typing undoes as one";
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.Text(), "xabc") << "undoing the undo redoes";
  e.MoveTo(0, false);
  e.TypeText("1");
  e.MoveTo(5, false);
  e.TypeText("2");  // typing elsewhere starts a new change
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.Text(), "1xabc");
  e.SetSel(1, 3);
  EXPECT_TRUE(e.Clear());
  EXPECT_TRUE(e.Undo());
  EXPECT_EQ(e.Text(), "1xabc");
  EXPECT_EQ(e.SelText(), "xa") << "the restored text comes back selected";
  e.SetText("new");
  EXPECT_FALSE(e.CanUndo()) << "setting the text forgets the undo";
}

TEST(TextEditor, MaximumLengthTruncatesHugeInsertsQuickly) {
  TTextEditor e;
  e.SetMaxLength(10);
  e.SetText("abc");
  e.MoveTo(3, false);
  const String huge(1 << 20, 'z');
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(e.Paste(huge));
  const auto elapsed = std::chrono::steady_clock::now() - t0;
  EXPECT_EQ(e.Text(), "abczzzzzzz");
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 200);
  EXPECT_FALSE(e.TypeText("q")) << "full";
  e.SetSel(0, 2);
  EXPECT_TRUE(e.Paste("ééé"));
  EXPECT_EQ(e.Text(), "ééczzzzzzz") << "replacing the selection frees its room, counted in characters";
  e.SetMultiLine(true);
  e.SetSel(0, 1);
  EXPECT_TRUE(e.Paste("\r\n"));
  EXPECT_EQ(e.Text(), "éczzzzzzz") << "a line break that does not fit whole stays out";
}

TEST(TextEditor, ReadOnlyRefusesEditingButNotMovesOrProgrammaticChanges) {
  TTextEditor e;
  e.SetText("abc");
  e.SetReadOnly(true);
  e.SetSel(0, 2);
  String removed;
  EXPECT_FALSE(e.TypeText("x"));
  EXPECT_FALSE(e.Backspace(false));
  EXPECT_FALSE(e.DeleteForward(false));
  EXPECT_FALSE(e.Cut(removed));
  EXPECT_FALSE(e.Paste("y"));
  EXPECT_FALSE(e.Clear());
  EXPECT_EQ(e.Text(), "abc");
  EXPECT_EQ(e.SelText(), "ab");
  e.MoveTo(3, false);
  EXPECT_EQ(e.CaretPos(), 3);
  EXPECT_TRUE(e.ReplaceSel("d"));
  EXPECT_FALSE(e.UserUndo());
  EXPECT_EQ(e.Text(), "abcd");
}

TEST(EditWithoutWindow, TextSelectionAndUndoNeedNoWindow) {
  TEdit edit(nullptr);
  int changes = 0;
  edit.OnChange = [&](TObject*) { ++changes; };
  edit.SetText("abcdef");
  edit.SetSel(1, 3);
  EXPECT_EQ(edit.SelText(), "bc");
  edit.SetSelText("X");
  EXPECT_EQ(edit.Text(), "aXdef");
  edit.Undo();
  EXPECT_EQ(edit.Text(), "abcdef");
  edit.Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Y"));
  EXPECT_FALSE(edit.CanUndo()) << "a change that cannot be undone clears the undo";
  EXPECT_EQ(changes, 4);
  EXPECT_FALSE(edit.HandleAllocated());
}

// --- TEdit ----------------------------------------------------------------------------------------------

class EditTest : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    SetClipboard(nullptr);
    top = h->TopLevel(0, 0, 300, 120);
    other = h->Child(top, "O", 10, 80, 60, 30);
    edit = new TEdit(top);
    edit->SetParent(top);
    edit->SetBounds(10, 10, 120, 24);
    edit->OnChange = [this](TObject*) { ++changes; };
    h->Pump();
  }
  void Type(const String& text) {
    for (char32_t c : CodePoints(text)) h->Char(edit, c);
  }
  TProbe* top = nullptr;
  TProbe* other = nullptr;
  TEdit* edit = nullptr;  // owned by top
  int changes = 0;
};

TEST_F(EditTest, ChangeFiresOncePerChangeOnly) {
  edit->SetText("hello");
  EXPECT_EQ(changes, 1);
  edit->SetText("hello");
  EXPECT_EQ(changes, 1) << "the same text is no change";
  edit->SetSelStart(2);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), "ll");
  EXPECT_EQ(changes, 1) << "selection moves are no change";
  EXPECT_FALSE(edit->Modified()) << "setting the text is not the user's change";
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_END);
  Type("!");
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(edit->Modified());
  h->KeyDown(edit, VK_LEFT);
  h->KeyDown(edit, VK_HOME);
  EXPECT_EQ(changes, 2);
  h->KeyDown(edit, VK_BACK);
  EXPECT_EQ(changes, 2) << "nothing before the caret";
  edit->SetSelText("X");
  EXPECT_EQ(edit->Text(), "Xhello!");
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(edit->CanUndo());
  edit->Undo();
  EXPECT_EQ(edit->Text(), "hello!");
  EXPECT_EQ(changes, 4);
  edit->SetText("");
  EXPECT_FALSE(edit->Modified());
  EXPECT_FALSE(edit->CanUndo());
}

TEST_F(EditTest, KeyboardMovesSelectsAndDeletesByCharacterAndWord) {
  edit->SetText("one twø three");
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_HOME);
  h->KeyDown(edit, VK_RIGHT, {ssCtrl});
  EXPECT_EQ(edit->CaretPos(), 4);
  h->KeyDown(edit, VK_RIGHT, {ssCtrl, ssShift});
  EXPECT_EQ(edit->SelText(), "twø ");
  h->KeyDown(edit, VK_LEFT, {ssShift});
  EXPECT_EQ(edit->SelText(), "twø");
  EXPECT_EQ(edit->AnchorPos(), 4);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 4) << "Left collapses a selection to its start";
  EXPECT_EQ(edit->SelLength(), 0);
  h->KeyDown(edit, VK_END, {ssShift});
  EXPECT_EQ(edit->SelText(), "twø three");
  h->KeyDown(edit, VK_DELETE);
  EXPECT_EQ(edit->Text(), "one ");
  h->KeyDown(edit, VK_BACK, {ssCtrl});
  EXPECT_EQ(edit->Text(), "");
  Type("ab é");
  h->KeyDown(edit, VK_BACK);
  h->KeyDown(edit, VK_HOME);
  h->KeyDown(edit, VK_DELETE, {ssCtrl});
  EXPECT_EQ(edit->Text(), "") << "a word goes with the spaces after it";
  Type(" ");
  h->KeyDown(edit, VK_UP);
  EXPECT_EQ(edit->CaretPos(), 0) << "Up is Left in a single line";
  h->KeyDown(edit, VK_DOWN);
  EXPECT_EQ(edit->CaretPos(), 1);
  h->Char(edit, 8);  // the system's Backspace character changes nothing more
  h->Char(edit, 13);
  EXPECT_EQ(edit->Text(), " ");
}

TEST_F(EditTest, ClipboardShortcutsAndPasswordAndReadOnly) {
  edit->SetText("copy me");
  edit->SetFocus();
  h->Pump();
  edit->SetSel(0, 4);
  h->KeyDown(edit, 'C', {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "copy");
  h->KeyDown(edit, VK_END);
  h->KeyDown(edit, 'V', {ssCtrl});
  EXPECT_EQ(edit->Text(), "copy mecopy");
  h->KeyDown(edit, 'A', {ssCtrl});
  h->KeyDown(edit, 'X', {ssCtrl});
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(Clipboard()->AsText(), "copy mecopy");
  h->KeyDown(edit, 'Z', {ssCtrl});
  EXPECT_EQ(edit->Text(), "copy mecopy");
  edit->SetSel(0, 5);
  h->KeyDown(edit, VK_DELETE, {ssShift});
  EXPECT_EQ(Clipboard()->AsText(), "copy ");
  h->KeyDown(edit, VK_INSERT, {ssShift});
  h->KeyDown(edit, VK_INSERT, {ssShift});
  EXPECT_EQ(edit->Text(), "copy copy mecopy");

  // Read-only: copy and caret moves only.
  const int before = changes;
  edit->SetReadOnly(true);
  edit->SetSel(0, 4);
  h->KeyDown(edit, VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "copy");
  Clipboard()->SetAsText("other");
  Type("x");
  h->KeyDown(edit, VK_BACK);
  h->KeyDown(edit, 'X', {ssCtrl});
  h->KeyDown(edit, 'V', {ssCtrl});
  edit->ClearSelection();
  edit->Undo();
  EXPECT_EQ(edit->Text(), "copy copy mecopy");
  EXPECT_EQ(Clipboard()->AsText(), "other");
  EXPECT_EQ(changes, before);
  h->KeyDown(edit, VK_RIGHT);
  EXPECT_EQ(edit->CaretPos(), 4);
  edit->SetText("set anyway");
  EXPECT_EQ(edit->Text(), "set anyway");
  edit->SetReadOnly(false);

  // A password edit shows masks and never gives its text away.
  edit->SetPasswordChar('*');
  edit->SelectAll();
  edit->CopyToClipboard();
  edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "other");
  EXPECT_EQ(edit->Text(), "set anyway");
  TNullSurface* surface = AsNullSurface(RetainedSurfaceOf(edit->Handle()));
  ASSERT_NE(surface, nullptr);
  surface->ClearOps();
  edit->Repaint();
  bool sawMask = false;
  for (const TPaintOp& op : surface->OpsOf(TPaintOpKind::TextRect)) {
    EXPECT_EQ(op.Text.find("set"), String::npos);
    if (op.Text == "**********") sawMask = true;
  }
  EXPECT_TRUE(sawMask);
}

TEST_F(EditTest, HugePasteIntoAShortEditKeepsWhatFits) {
  edit->SetMaxLength(10);
  edit->SetFocus();
  h->Pump();
  Clipboard()->SetAsText(String(1 << 20, 'q') + "tail");
  const auto t0 = std::chrono::steady_clock::now();
  edit->PasteFromClipboard();
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count(), 500);
  EXPECT_EQ(edit->Text(), "qqqqqqqqqq");
  EXPECT_EQ(changes, 1);
  Type("z");
  EXPECT_EQ(edit->Text(), "qqqqqqqqqq");
  EXPECT_EQ(changes, 1) << "a refused character is no change";
  edit->SetText(String(20, 'w'));
  EXPECT_EQ(edit->TextLength(), 20) << "the limit binds the user, not the program";
}

TEST_F(EditTest, CharCaseConvertsTypedPastedAndPresentText) {
  edit->SetText("Straße");
  edit->SetCharCase(ecUpperCase);
  EXPECT_EQ(edit->Text(), "STRASSE");
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_END);
  Type("é");
  EXPECT_EQ(edit->Text(), "STRASSEÉ");
  edit->SetCharCase(ecLowerCase);
  Clipboard()->SetAsText("ÀB");
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), "strasseéàb");
}

TEST_F(EditTest, AutoSelectOnKeyboardEntryButNotOnClick) {
  edit->SetText("whole");
  other->SetFocus();
  h->Pump();
  h->KeyDown(other, VK_TAB);
  h->Pump();
  ASSERT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelText(), "whole");
  other->SetFocus();
  h->Pump();
  edit->SetAutoSelect(false);
  edit->SetSel(1, 1);
  h->KeyDown(other, VK_TAB);
  EXPECT_EQ(edit->SelLength(), 0);
  edit->SetAutoSelect(true);
  other->SetFocus();
  h->Pump();
  const TPoint p = edit->PosFromChar(2);
  h->Click(edit, p.X, p.Y + 2);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(edit->CaretPos(), 2);
}

TEST_F(EditTest, MouseClickDragAndDoubleClick) {
  edit->SetText("alpha beta gamma");
  h->Pump();
  const int y = edit->PosFromChar(0).Y + 2;
  const int x6 = edit->PosFromChar(6).X, x10 = edit->PosFromChar(10).X;
  h->MouseDown(edit, x6 + 1, y);
  h->MouseMove(edit, x10 - 1, y);
  h->MouseUp(edit, x10 - 1, y);
  EXPECT_EQ(edit->SelText(), "beta");
  EXPECT_EQ(edit->AnchorPos(), 6);
  h->MouseDown(edit, x10 + 1, y, mbLeft, {ssShift});
  h->MouseUp(edit, x10 + 1, y);
  EXPECT_EQ(edit->SelText(), "beta") << "Shift+click extends from the anchor";
  ActiveNullWindowBackend()->AdvanceTime(1000);
  const int x1 = edit->PosFromChar(1).X;
  h->Click(edit, x1, y);
  h->Click(edit, x1, y);
  EXPECT_EQ(edit->SelText(), "alpha ") << "a double click selects the word";
  EXPECT_EQ(edit->CharFromPos({-50, y}), 0);
  EXPECT_EQ(edit->CharFromPos({5000, y}), 16);
}

TEST_F(EditTest, TheCaretStaysVisibleInALongText) {
  edit->SetFocus();
  h->Pump();
  Type(String(60, 'm'));
  const TRect client = edit->ClientRect();
  TPoint caret = edit->PosFromChar(edit->CaretPos());
  EXPECT_GE(caret.X, client.Left);
  EXPECT_LT(caret.X, client.Right);
  EXPECT_LT(edit->PosFromChar(0).X, 0) << "the start scrolled out";
  h->KeyDown(edit, VK_HOME);
  EXPECT_EQ(edit->PosFromChar(0).X, 1);
  h->KeyDown(edit, VK_END);
  caret = edit->PosFromChar(edit->CaretPos());
  EXPECT_LT(caret.X, client.Right);
}

TEST_F(EditTest, PaintsSelectionInHighlightColoursAndTheCaretWhenFocused) {
  edit->SetText("MMMM");
  edit->SetSel(0, 2);
  h->Pump();
  const int y = edit->PosFromChar(0).Y + 1;
  const int inside = (edit->PosFromChar(0).X + edit->PosFromChar(1).X) / 2;
  EXPECT_NE(h->Pixel(edit, inside, y), ColorToRGB(clHighlight)) << "hidden without the focus";
  edit->SetHideSelection(false);
  h->Pump();
  EXPECT_EQ(h->Pixel(edit, inside, y), ColorToRGB(clHighlight));
  edit->SetHideSelection(true);
  edit->SetSel(4, 4);
  edit->SetFocus();
  h->Pump();
  const TPoint caret = edit->PosFromChar(4);
  EXPECT_EQ(h->Pixel(edit, caret.X, caret.Y + 2), ColorToRGB(edit->Font()->Color()));
  EXPECT_EQ(h->Pixel(edit, caret.X + 3, caret.Y + 2), ColorToRGB(clWindow));
  other->SetFocus();
  h->Pump();
  EXPECT_EQ(h->Pixel(edit, caret.X, caret.Y + 2), ColorToRGB(clWindow)) << "no caret without the focus";
}

TEST_F(EditTest, BorderAndAutoSize) {
  EXPECT_EQ(edit->ClientRect(), Rect(0, 0, 116, 20)) << "a sunken client edge of two pixels";
  edit->SetBorderStyle(bsNone);
  h->Pump();
  EXPECT_EQ(edit->ClientWidth(), edit->Width());
  const int before = edit->Height();
  TFont big;
  big.SetHeight(-30);
  edit->SetFont(&big);
  EXPECT_GT(edit->Height(), before) << "AutoSize follows the font";
  edit->SetAutoSize(false);
  edit->SetHeight(15);
  edit->SetFont(&big);
  EXPECT_EQ(edit->Height(), 15);
}

// A descendant refuses paste and swallows digits, as a masked edit does.
class TGuardedEdit : public TEdit {
public:
  using TEdit::TEdit;
  int Pastes = 0;

protected:
  void WMPaste(TMessage&) override { ++Pastes; }
  void KeyPress(char32_t& key) override {
    if (key >= '0' && key <= '9') key = 0;
    TEdit::KeyPress(key);
  }
};

TEST_F(EditTest, DescendantsInterceptTheEditsMessages) {
  auto* guarded = new TGuardedEdit(top);
  guarded->SetParent(top);
  guarded->SetBounds(150, 10, 100, 24);
  guarded->SetFocus();
  h->Pump();
  Clipboard()->SetAsText("pasted");
  h->KeyDown(guarded, 'V', {ssCtrl});
  h->KeyDown(guarded, VK_INSERT, {ssShift});
  for (char32_t c : U"a1b2") h->Char(guarded, c);
  EXPECT_EQ(guarded->Text(), "ab");
  EXPECT_EQ(guarded->Pastes, 2);
  EXPECT_EQ(guarded->Perform(EM_CANUNDO), 1);
  EXPECT_EQ(guarded->Perform(EM_GETMODIFY), 1);
  guarded->Perform(EM_SETSEL, 0, 1);
  int start = -1, end = -1;
  guarded->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(guarded->Perform(WM_GETTEXTLENGTH), 2);
}

}  // namespace

}  // namespace zvtest
