// TRichEdit on the headless backend: Lines kept in step with the text, line breaks typed and
// deleted, word wrap with vertical caret moves, the standard scroll bars, tabs and read-only.

#include "HarnessTest.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/RichEdit.h"

namespace zvtest {

namespace {

class RichEditTest : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    SetClipboard(nullptr);
    top = h->TopLevel(0, 0, 400, 300);
    other = h->Child(top, "O", 300, 250, 60, 30);
    edit = new TRichEdit(top);
    edit->SetParent(top);
    edit->SetBounds(10, 10, 200, 120);
    edit->OnChange = [this](TObject*) { ++changes; };
    h->Pump();
  }
  TStrings& Lines() { return *edit->Lines(); }
  TProbe* top = nullptr;
  TProbe* other = nullptr;
  TRichEdit* edit = nullptr;  // owned by top
  int changes = 0;
};

TEST_F(RichEditTest, LinesFollowTheTextAndEditIt) {
  edit->SetText("one\r\ntwo\r\n");
  ASSERT_EQ(Lines().Count(), 2) << "a final break makes no empty line";
  EXPECT_EQ(Lines().Strings(1), "two");
  Lines().Add("three");
  EXPECT_EQ(edit->Text(), "one\r\ntwo\r\nthree\r\n");
  Lines().Insert(0, "zero");
  Lines().Delete(2);
  Lines().SetStrings(0, "nil");
  EXPECT_EQ(edit->Text(), "nil\r\none\r\nthree\r\n");
  Lines().Delete(2);
  EXPECT_EQ(edit->Text(), "nil\r\none\r\n");
  EXPECT_EQ(changes, 6) << "every change of a line is a change";
  EXPECT_THROW(Lines().Strings(5), EStringListError);
  EXPECT_THROW(Lines().Delete(-1), EStringListError);

  EXPECT_EQ(edit->Perform(EM_LINELENGTH, 5), 3) << "the line holding character 5";
  edit->SetText("a\nb");
  EXPECT_EQ(edit->Text(), "a\r\nb");
  Lines().Delete(1);
  EXPECT_EQ(edit->Text(), "a") << "the last line goes with the break before it";
  Lines().Clear();
  EXPECT_EQ(Lines().Count(), 0);
  Lines().Add("x");
  Lines().Add("y");
  EXPECT_EQ(Lines().Text(), "x\r\ny");
  TStringList source;
  source.Add("p");
  source.Add("q");
  edit->SetLines(&source);
  EXPECT_EQ(Lines().Count(), 2);
  EXPECT_EQ(Lines().Strings(1), "q");
  edit->SetReadOnly(true);
  Lines().Add("r");
  EXPECT_EQ(Lines().Count(), 3) << "the program may change a read-only edit";
  EXPECT_FALSE(edit->CanUndo()) << "changes through Lines are not undoable";
}

TEST_F(RichEditTest, EnterInsertsABreakThatCountsTwoAndDeletesAsOne) {
  edit->SetFocus();
  h->Pump();
  for (char32_t c : U"ab") h->Char(edit, c);
  h->KeyDown(edit, VK_RETURN);
  h->Char(edit, '\r');
  h->Char(edit, U'é');
  EXPECT_EQ(edit->Text(), "ab\r\né");
  EXPECT_EQ(edit->SelStart(), 5);
  EXPECT_EQ(Lines().Count(), 2);
  h->KeyDown(edit, VK_HOME);
  EXPECT_EQ(edit->CaretPos(), 4);
  h->KeyDown(edit, VK_LEFT);
  EXPECT_EQ(edit->CaretPos(), 2) << "one step over the break";
  h->KeyDown(edit, VK_DELETE);
  EXPECT_EQ(edit->Text(), "abé");
  edit->SetWantReturns(false);
  h->Char(edit, '\r');
  EXPECT_EQ(edit->Text(), "abé");
  h->Char(edit, '\n');  // Ctrl+Enter
  EXPECT_EQ(edit->Text(), "ab\r\né");
  h->Char(edit, '\t');
  EXPECT_EQ(edit->Text(), "ab\r\né") << "no tabs unless WantTabs";
  edit->SetWantTabs(true);
  h->KeyDown(edit, VK_TAB);
  h->Char(edit, '\t');
  EXPECT_EQ(edit->Text(), "ab\r\n\té");
  EXPECT_TRUE(edit->Focused()) << "Tab stayed in the edit";
}

TEST_F(RichEditTest, WordWrapBreaksAtTheWidthAndUpDownFollowVisualLines) {
  edit->SetFocus();
  h->Pump();
  const String word = "word ";
  String text;
  for (int i = 0; i < 30; ++i) text += word;
  edit->SetText(text + "\r\nlast");
  const int wrapped = edit->VisualLineCount();
  EXPECT_GT(wrapped, 3);
  const TRect client = edit->ClientRect();
  for (int pos = 0; pos < edit->TextLength(); pos += 5) EXPECT_LE(edit->PosFromChar(pos).X, client.Right);
  // Each visual line starts at a word.
  for (int line = 1; line < wrapped - 1; ++line) {
    const int start = static_cast<int>(edit->Perform(EM_LINEINDEX, static_cast<WPARAM>(line)));
    EXPECT_EQ(start % 5, 0) << "line " << line;
  }
  edit->SetSel(2, 2);
  h->KeyDown(edit, VK_DOWN);
  EXPECT_EQ(edit->LineOfPos(edit->CaretPos()), 1);
  EXPECT_EQ(edit->PosFromChar(edit->CaretPos()).X, edit->PosFromChar(2).X) << "the column is kept";
  h->KeyDown(edit, VK_UP);
  EXPECT_EQ(edit->CaretPos(), 2);
  h->KeyDown(edit, VK_END, {ssCtrl});
  EXPECT_EQ(edit->LineOfPos(edit->CaretPos()), wrapped - 1);
  edit->SetWordWrap(false);
  EXPECT_EQ(edit->VisualLineCount(), 2);
  edit->SetWordWrap(true);
  edit->SetWidth(edit->Width() * 2);
  h->Pump();
  EXPECT_LT(edit->VisualLineCount(), wrapped) << "wrapping follows the width";
}

TEST_F(RichEditTest, ScrollBarsFollowTheLinesAndScrollTheText) {
  edit->SetScrollBars(ssVertical);
  edit->SetWordWrap(false);
  for (int i = 0; i < 40; ++i) Lines().Add("line " + std::to_string(i));
  h->Pump();
  TScrollInfo info;
  info.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(edit->Handle(), SB_VERT, info));
  EXPECT_EQ(info.nMax, 39) << "Add puts no break after the last line";
  EXPECT_GT(info.nPage, 1u);
  EXPECT_LT(info.nPage, 40u);
  edit->SetFocus();
  h->Pump();
  h->KeyDown(edit, VK_END, {ssCtrl});
  EXPECT_GT(edit->TopLine(), 0) << "the caret scrolled into view";
  EXPECT_EQ(GetScrollPos(edit->Handle(), SB_VERT), edit->TopLine());
  h->KeyDown(edit, VK_HOME, {ssCtrl});
  EXPECT_EQ(edit->TopLine(), 0);
  edit->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  edit->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(edit->TopLine(), 2);
  EXPECT_EQ(edit->CaretPos(), 0) << "scrolling leaves the caret";
  edit->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(edit->TopLine(), 10);
  EXPECT_EQ(edit->CharFromPos(edit->PosFromChar(static_cast<int>(edit->Perform(EM_LINEINDEX, 10)))),
            static_cast<int>(edit->Perform(EM_LINEINDEX, 10)));
  EXPECT_EQ(edit->Perform(EM_GETFIRSTVISIBLELINE), 10);
  h->Wheel(edit, 20, 20, -WHEEL_DELTA);
  EXPECT_EQ(edit->TopLine(), 13) << "a notch scrolls three lines";
  h->Wheel(edit, 20, 20, 10 * WHEEL_DELTA);
  EXPECT_EQ(edit->TopLine(), 0);
}

TEST_F(RichEditTest, HideScrollBarsHidesOrDisablesABarWithNothingToScroll) {
  edit->SetWordWrap(false);
  edit->SetScrollBars(ssVertical);
  EXPECT_TRUE(edit->HideScrollBars()) << "the default";
  struct Case {
    bool Hide;
    int Lines;
    bool Narrowed;  // the bar takes room from the client area
  } cases[] = {{true, 2, false}, {false, 2, true}, {true, 40, true}, {false, 40, true}, {true, 1, false}};
  const int full = edit->Width() - 4;  // the client edge only
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Hide << " " << c.Lines);
    edit->SetHideScrollBars(c.Hide);
    Lines().Clear();
    for (int i = 0; i < c.Lines; ++i) Lines().Add("line");
    h->Pump();
    EXPECT_EQ(edit->ClientWidth() < full, c.Narrowed);
  }
}

TEST_F(RichEditTest, ClipboardAndUndoAcrossLines) {
  edit->SetText("first\r\nsecond");
  edit->SetFocus();
  h->Pump();
  edit->SetSel(3, 9);
  EXPECT_EQ(edit->SelText(), "st\r\nse");
  edit->CutToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "st\r\nse");
  EXPECT_EQ(Lines().Count(), 1);
  edit->Undo();
  EXPECT_EQ(edit->Text(), "first\r\nsecond");
  Clipboard()->SetAsText("x\ny\rz");
  edit->SetSel(0, 0);
  edit->PasteFromClipboard();
  EXPECT_EQ(Lines().Count(), 4) << "any line break pastes as CR LF";
  EXPECT_EQ(Lines().Strings(2), "zfirst");
}

}  // namespace


TEST_F(RichEditTest, EditingLaysOutOnlyWhatChangedYetMatchesAFreshLayout) {
  edit->SetWordWrap(true);
  edit->SetText("alpha beta gamma delta epsilon zeta eta theta iota kappa\r\n\r\nshort\r\n"
                "lambda mu nu xi omicron pi rho sigma tau upsilon phi chi psi omega\r\nend");
  auto* fresh = new TRichEdit(top);
  fresh->SetParent(top);
  fresh->SetBounds(10, 140, 200, 120);
  fresh->SetWordWrap(true);
  auto sameLayout = [&](const char* step) {
    fresh->SetText(edit->Text());
    ASSERT_EQ(edit->VisualLineCount(), fresh->VisualLineCount()) << step;
    for (int pos = 0; pos <= edit->TextLength(); ++pos)
      ASSERT_EQ(edit->LineOfPos(pos), fresh->LineOfPos(pos)) << step << " at " << pos;
  };
  edit->SetFocus();
  sameLayout("start");
  edit->SetSelStart(20);
  for (char32_t c : U"wider words here ") h->Char(edit, c);
  sameLayout("typing that rewraps a line");
  h->KeyDown(edit, VK_RETURN);
  sameLayout("a break inserted");
  edit->SetSelStart(edit->Text().find("short"));
  h->KeyDown(edit, VK_BACK);
  h->KeyDown(edit, VK_BACK);
  sameLayout("breaks deleted, lines joined");
  edit->SetSel(10, 90);
  h->KeyDown(edit, VK_DELETE);
  sameLayout("a selection across lines deleted");
  edit->SetSelText("one\r\ntwo\r\n\r\nthree four five six seven eight nine ten eleven");
  sameLayout("several lines pasted");
  edit->SetSelStart(edit->TextLength());
  h->KeyDown(edit, VK_RETURN);
  sameLayout("an empty last line");
  edit->Undo();
  edit->Undo();
  sameLayout("undo and redo");
}

}  // namespace zvtest
