// DrawText layouts on the null backend's fixed metrics: the default font is 6 px per cluster
// (12 px for East Asian wide ones) on 13 px lines, ascent 11, internal leading 2.

#include "NullCanvasFixture.h"
#include "TextTable.h"

using namespace zvtest;

namespace {

struct TRun {
  String Text;
  int X, Y;
  bool Underline;
  bool operator==(const TRun&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TRun& r) {
  return os << "{\"" << r.Text << "\", " << r.X << ", " << r.Y << (r.Underline ? ", u}" : "}");
}

class DrawTextTest : public NullCanvasTest {
protected:
  std::vector<TRun> Draw(std::string_view text, TRect r, unsigned format, int* result = nullptr) {
    Surface().ClearOps();
    const int h = DrawText(*canvas, text, r, format);
    if (result) *result = h;
    std::vector<TRun> out;
    for (const TPaintOp& op : Runs()) out.push_back({op.Text, op.Rect.Left, op.Rect.Top, op.Font.Style.Contains(fsUnderline)});
    return out;
  }
  TRect Calc(std::string_view text, TRect r, unsigned format, int* result = nullptr) {
    const int h = DrawText(*canvas, text, r, format | DT_CALCRECT);
    if (result) *result = h;
    return r;
  }
};

}  // namespace

TEST_F(DrawTextTest, SingleLineAlignments) {
  const TRect r = Rect(10, 5, 70, 35);
  int h = 0;
  EXPECT_EQ(Draw("abc", r, DT_SINGLELINE, &h), (std::vector<TRun>{{"abc", 10, 5, false}}));
  EXPECT_EQ(h, 13);
  EXPECT_EQ(Draw("abc", r, DT_SINGLELINE | DT_CENTER), (std::vector<TRun>{{"abc", 31, 5, false}}));
  EXPECT_EQ(Draw("abc", r, DT_SINGLELINE | DT_RIGHT), (std::vector<TRun>{{"abc", 52, 5, false}}));
  EXPECT_EQ(Draw("abc", r, DT_SINGLELINE | DT_VCENTER, &h), (std::vector<TRun>{{"abc", 10, 13, false}}));
  EXPECT_EQ(h, 8 + 13);  // the offset from the top to the bottom of the text
  EXPECT_EQ(Draw("abc", r, DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, &h), (std::vector<TRun>{{"abc", 52, 22, false}}));
  EXPECT_EQ(h, 30);
  // Vertical alignment needs DT_SINGLELINE.
  EXPECT_EQ(Draw("abc", r, DT_VCENTER, &h), (std::vector<TRun>{{"abc", 10, 5, false}}));
  EXPECT_EQ(h, 13);
  // Text wider than the rectangle centres by overflowing both sides.
  EXPECT_EQ(Draw("abcdefghijk", Rect(10, 0, 20, 13), DT_CENTER | DT_NOCLIP),
            (std::vector<TRun>{{"abcdefghijk", 10 - 28, 0, false}}));
}

TEST_F(DrawTextTest, LinesAndWordWrap) {
  int h = 0;
  EXPECT_EQ(Draw("one\r\ntwo\nthree\r", Rect(0, 0, 90, 60), DT_LEFT, &h),
            (std::vector<TRun>{{"one", 0, 0, false}, {"two", 0, 13, false}, {"three", 0, 26, false}}));
  EXPECT_EQ(h, 39);  // the trailing break adds no line
  EXPECT_EQ(Draw("a\nb", Rect(0, 0, 90, 60), DT_SINGLELINE), (std::vector<TRun>{{"a\nb", 0, 0, false}}));
  EXPECT_EQ(Draw("aaa bbb ccc", Rect(0, 0, 50, 60), DT_WORDBREAK, &h),
            (std::vector<TRun>{{"aaa bbb", 0, 0, false}, {"ccc", 0, 13, false}}));
  EXPECT_EQ(h, 26);
  EXPECT_EQ(Draw("aaa bbb ccc", Rect(0, 0, 50, 60), DT_WORDBREAK | DT_RIGHT),
            (std::vector<TRun>{{"aaa bbb", 50 - 42, 0, false}, {"ccc", 50 - 18, 13, false}}));
  // A word longer than the line stays whole unless the layout is an edit control's.
  EXPECT_EQ(Draw("a verylongword b", Rect(0, 0, 40, 60), DT_WORDBREAK | DT_NOCLIP),
            (std::vector<TRun>{{"a", 0, 0, false}, {"verylongword", 0, 13, false}, {"b", 0, 26, false}}));
  EXPECT_EQ(Draw("abcdefghijkl", Rect(0, 0, 40, 60), DT_WORDBREAK | DT_EDITCONTROL),
            (std::vector<TRun>{{"abcdef", 0, 0, false}, {"ghijkl", 0, 13, false}}));
  // Ideographs break between characters, never inside one.
  EXPECT_EQ(Draw("日本語日本語", Rect(0, 0, 40, 60), DT_WORDBREAK),
            (std::vector<TRun>{{"日本語", 0, 0, false}, {"日本語", 0, 13, false}}));
  EXPECT_EQ(Draw("", Rect(0, 0, 40, 60), DT_WORDBREAK, &h), std::vector<TRun>{});
  EXPECT_EQ(h, 0);
}

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
  int h = 0;
  EXPECT_EQ(Calc("aaa bbb ccc", Rect(5, 7, 55, 7), DT_WORDBREAK, &h), Rect(5, 7, 5 + 42, 7 + 26));
  EXPECT_EQ(h, 26);
  EXPECT_TRUE(Surface().OpsOf(TPaintOpKind::TextOut).empty());
  // The widest unbreakable word widens the rectangle.
  EXPECT_EQ(Calc("a verylongword", Rect(0, 0, 40, 0), DT_WORDBREAK), Rect(0, 0, 72, 26));
  EXPECT_EQ(Calc("abc", Rect(3, 4, 200, 100), DT_SINGLELINE | DT_CENTER), Rect(3, 4, 21, 17));
  EXPECT_EQ(Calc("", Rect(3, 4, 200, 100), DT_SINGLELINE, &h), Rect(3, 4, 3, 4));
  EXPECT_EQ(h, 0);
  // Calculation ignores ellipses: it reports what the whole text needs.
  EXPECT_EQ(Calc("abcdefghij", Rect(0, 0, 20, 0), DT_SINGLELINE | DT_END_ELLIPSIS), Rect(0, 0, 60, 13));
  // The canvas origin moves the rectangle but not the result.
  SetViewportOrgEx(*canvas, 10, 10, nullptr);
  EXPECT_EQ(Calc("abc", Rect(3, 4, 200, 100), DT_SINGLELINE), Rect(3, 4, 21, 17));
}

TEST_F(DrawTextTest, EllipsesCutWholeClusters) {
  EXPECT_EQ(Draw("abcdefghij", Rect(0, 0, 40, 13), DT_SINGLELINE | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"abc...", 0, 0, false}}));
  EXPECT_EQ(Draw("abcdef", Rect(0, 0, 40, 13), DT_SINGLELINE | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"abcdef", 0, 0, false}}));
  // e + combining acute is one character: it is kept or dropped whole.
  EXPECT_EQ(Draw("e\u0301e\u0301e\u0301e\u0301e\u0301", Rect(0, 0, 25, 13), DT_SINGLELINE | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"e\u0301...", 0, 0, false}}));
  EXPECT_EQ(Draw("日本語テキスト", Rect(0, 0, 50, 13), DT_SINGLELINE | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"日本...", 0, 0, false}}));
  EXPECT_EQ(Draw("👍🏽👍🏽👍🏽", Rect(0, 0, 35, 13), DT_SINGLELINE | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"👍🏽...", 0, 0, false}}));
  EXPECT_EQ(Draw("c:\\folder\\sub\\file.txt", Rect(0, 0, 90, 13), DT_SINGLELINE | DT_PATH_ELLIPSIS),
            (std::vector<TRun>{{"c:\\...\\file.txt", 0, 0, false}}));
  // An edit control drops the lines that do not fit and ends the last one with the ellipsis.
  EXPECT_EQ(Draw("one two three four", Rect(0, 0, 40, 30), DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS),
            (std::vector<TRun>{{"one", 0, 0, false}, {"two...", 0, 13, false}}));
  EXPECT_EQ(Draw("one two three four", Rect(0, 0, 40, 30), DT_WORDBREAK | DT_EDITCONTROL).size(), 2u);
  EXPECT_EQ(Draw("one two three four", Rect(0, 0, 40, 30), DT_WORDBREAK).size(), 4u);
}

TEST_F(DrawTextTest, PrefixesAndTabs) {
  EXPECT_EQ(Draw("&File", Rect(0, 0, 90, 13), DT_SINGLELINE),
            (std::vector<TRun>{{"F", 0, 0, true}, {"ile", 6, 0, false}}));
  // The underline sits below the baseline of the prefixed character only.
  EXPECT_EQ(Px(2, 11), clBlack);
  EXPECT_EQ(Px(8, 11), clWhite);
  EXPECT_EQ(Draw("A&&B", Rect(0, 0, 90, 13), DT_SINGLELINE), (std::vector<TRun>{{"A&B", 0, 0, false}}));
  EXPECT_EQ(Draw("&File", Rect(0, 0, 90, 13), DT_SINGLELINE | DT_NOPREFIX), (std::vector<TRun>{{"&File", 0, 0, false}}));
  EXPECT_EQ(Draw("&File", Rect(0, 0, 90, 13), DT_SINGLELINE | DT_HIDEPREFIX), (std::vector<TRun>{{"File", 0, 0, false}}));
  EXPECT_EQ(Draw("S&ä", Rect(0, 0, 90, 13), DT_SINGLELINE), (std::vector<TRun>{{"S", 0, 0, false}, {"ä", 6, 0, true}}));

  EXPECT_EQ(Draw("a\tb", Rect(0, 0, 90, 13), DT_SINGLELINE | DT_EXPANDTABS),
            (std::vector<TRun>{{"a", 0, 0, false}, {"b", 48, 0, false}}));
  // DT_TABSTOP: bits 8..15 are the tab width, not flags (0x400 there is not DT_CALCRECT).
  EXPECT_EQ(Draw("a\tb", Rect(0, 0, 90, 13), DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (4u << 8)),
            (std::vector<TRun>{{"a", 0, 0, false}, {"b", 24, 0, false}}));
  EXPECT_EQ(Draw("a\tb", Rect(0, 0, 90, 13), DT_SINGLELINE), (std::vector<TRun>{{"a\tb", 0, 0, false}}));
}

TEST_F(DrawTextTest, ClippingAndBackground) {
  // "f" (the sixth character) is drawn at columns 31..34, outside a 30 px rectangle.
  Draw("abcdefghij", Rect(0, 0, 30, 13), DT_SINGLELINE);
  EXPECT_EQ(Px(32, 5), clWhite);
  EXPECT_EQ(Px(26, 5), clBlack);
  Draw("abcdefghij", Rect(0, 20, 30, 33), DT_SINGLELINE | DT_NOCLIP);
  EXPECT_EQ(Px(32, 25), clBlack);
  // An opaque brush fills behind the runs, not the whole rectangle; bsClear leaves it.
  canvas->Brush()->SetColor(clRed);
  canvas->Font()->SetColor(clBlue);
  Draw("ab", Rect(40, 0, 100, 13), DT_SINGLELINE);
  EXPECT_EQ(Px(40, 0), clRed);
  EXPECT_EQ(Px(42, 5), clBlue);
  EXPECT_EQ(Px(60, 5), clWhite);
  canvas->Brush()->SetStyle(bsClear);
  Draw("ab", Rect(70, 35, 100, 48), DT_SINGLELINE);
  EXPECT_EQ(Px(70, 35), clWhite);
  EXPECT_EQ(Px(72, 40), clBlue);
  // A clip set before is kept and combined.
  IntersectClipRect(*canvas, 0, 45, 43, 60);
  Draw("ab", Rect(40, 45, 100, 58), DT_SINGLELINE);
  EXPECT_EQ(Px(42, 50), clBlue);
  EXPECT_EQ(Px(47, 50), clWhite);
}

// The drawn pixels of the table of hard texts stay what they were, cell by cell.
class TextTableTest : public NullCanvasTest {
protected:
  TextTableTest() : NullCanvasTest(TextTableWidth, 2400) {}
};

TEST_F(TextTableTest, HardTextsPaintAsTheGoldenSays) {
  const std::vector<TTextCell> cells = HardTextCells();
  int height = 0;
  const std::vector<TRect> rects = TextTableRects(cells, height);
  ASSERT_LE(height, 2400);
  DrawTextTable(*canvas, cells, rects);
  ExpectTextTableGolden(TextTableDigest(*canvas, cells, rects), std::string(ZV_TEXT_GOLDEN_DIR) + "/text-table-null.txt");
}
