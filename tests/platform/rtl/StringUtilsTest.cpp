#include "platform/rtl/StringUtils.h"

#include <gtest/gtest.h>

using namespace zv;

TEST(StringUtils, Utf8AndUtf16RoundTrip) {
  const String samples[] = {"", "plain", "Grüße", "Привет", "漢字かな", "emoji 😀 mixed"};
  for (const auto& s : samples) EXPECT_EQ(UTF8Encode(UTF8Decode(s)), s) << s;
  EXPECT_EQ(UTF8Decode("😀").size(), 2u);  // a surrogate pair
  // Broken input never reads past the end and turns into replacement characters.
  EXPECT_EQ(UTF8Decode("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(UTF8Encode(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(StringUtils, CaseInsensitiveComparisonIsUnicodeAware) {
  EXPECT_EQ(AnsiCompareText("straße", "STRASSE"), 0);
  EXPECT_EQ(CaseFoldCompare("straße", "STRASSE"), 0);
  EXPECT_TRUE(AnsiSameText("Привет", "ПРИВЕТ"));
  EXPECT_EQ(CaseFoldCompare("ёлка", "ЁЛКА"), 0);
  EXPECT_EQ(CaseFold("STRASSE"), CaseFold("straße"));
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_GT(AnsiCompareText("Zebra", "apple"), 0);
  EXPECT_NE(AnsiCompareText("résumé", "resume"), 0);  // accents still count
  // The plain host routines only fold ASCII.
  EXPECT_EQ(CompareText("Hello", "hELLO"), 0);
  EXPECT_NE(CompareText("Ä", "ä"), 0);
  EXPECT_FALSE(SameText("abc", "abcd"));
  EXPECT_LT(CompareStr("B", "a"), 0);  // ordinal: upper case sorts first
}

TEST(StringUtils, LocaleAwareOrderingDiffersFromOrdinal) {
  EXPECT_LT(AnsiCompareStr("a", "B"), 0);
  EXPECT_LT(AnsiCompareStr("é", "f"), 0);
  EXPECT_GT(CompareStr("é", "f"), 0);
  EXPECT_LT(AnsiCompareStr("a", "A"), 0);  // case breaks ties only
  EXPECT_EQ(AnsiCompareStr("same", "same"), 0);
}

TEST(StringUtils, CaseMapping) {
  EXPECT_EQ(AnsiUpperCase("straße"), "STRASSE");
  EXPECT_EQ(AnsiLowerCase("ПРИВЕТ Мир"), "привет мир");
  EXPECT_EQ(UpperCase("grüße"), "GRüßE");
  EXPECT_EQ(LowerCase("ÄBC"), "Äbc");
  EXPECT_EQ(WideUpperCase(u"ǆ"), u"Ǆ");
  EXPECT_EQ(WideLowerCase(u"ΣΑΣ"), u"σας");  // final sigma
}

TEST(StringUtils, PositionsCountCharactersNotBytes) {
  EXPECT_EQ(Length("日本語"), 3);
  EXPECT_EQ(Pos("語", "日本語"), 3);
  EXPECT_EQ(Pos("x", "日本語"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Copy("Привет", 2, 3), "рив");
  EXPECT_EQ(Copy("abc", 0, 2), "ab");
  EXPECT_EQ(Copy("abc", 3, 100), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(Copy("abc", 2, -1), "");
  String s = "a😀b";
  Delete(s, 2, 1);
  EXPECT_EQ(s, "ab");
  Insert("ü", s, 2);
  EXPECT_EQ(s, "aüb");
  Insert("!", s, 99);
  EXPECT_EQ(s, "aüb!");
}

TEST(StringUtils, TrimAndQuoting) {
  EXPECT_EQ(Trim(" \t x y \r\n"), "x y");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  std::size_t pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr("'a''b' rest", pos, '\''), "a'b");
  EXPECT_EQ(pos, 6u);
  pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr("abc", pos, '\''), "");
  EXPECT_EQ(pos, 0u);
  EXPECT_EQ(AnsiDequotedStr("'x''y'", '\''), "x'y");
  EXPECT_EQ(AnsiDequotedStr("'unclosed", '\''), "'unclosed");
  EXPECT_EQ(AnsiDequotedStr("'a''", '\''), "'a''");
  EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
  EXPECT_EQ(StringReplaceAll("a;b;;c", ";", ", "), "a, b, , c");
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', -1), "");
}

// The key searching by typing compares: what a reader calls the same beginning, in any script
// and either normal form, and no more.
TEST(StringUtils, CaselessKeyPrefixes) {
  struct Case {
    const char* text;
    const char* typed;
    bool starts;
  };
  const Case cases[] = {
      {"Straße", "strasse", true},
      {"STRASSE", "straß", true},
      {"ΣΟΦΟΣ", "σοφος", true},       // final sigma
      {"école", "é", true},           // composed
      {"e\u0301cole", "é", true},     // decomposed cell, composed typing
      {"école", "e\u0301", true},     // and the other way round
      {"école", "e", false},          // the accent counts
      {"e\u0301cole", "e", false},
      {"\u01F0a", "j", false},        // a fold that decomposes is composed again
      {"a\u00A0b", "a b", true},      // a non-breaking space reads as a space
      {"a b", "a\u00A0", true},
      {"東京都", "東京", true},
      {"東京", "京", false},
      {"\u212Aelvin", "k", true},    // the Kelvin sign is a K
      {"Åsa", "å", true},
      {"A\u030Asa", "å", true},
      {"A\u030Asa", "a", false},
      {"ǅ", "ǆ", true},
      {"😀 smile", "😀 S", true},
      {"Zürich", "ZÜ", true},
      {"abc", "abcd", false},
      {"", "", true},
      {"", "a", false},
      {"\xff\xfe", "a", false},        // invalid UTF-8 compares as its replacement
      {"x\xffy", "X\xEF\xBF\xBD", true},
      {"Ab\x01" "c", "ab\x01", true},
  };
  for (const Case& c : cases) {
    const String key = CaselessKey(c.typed);
    EXPECT_EQ(CaselessKeyStartsWith(c.text, key), c.starts) << c.text << " / " << c.typed;
    // The bounded test agrees with keying the whole text.
    EXPECT_EQ(CaselessKey(c.text).rfind(key, 0) == 0, c.starts) << c.text << " / " << c.typed;
  }
  // Long cells key only their beginning: the same answer on a text far longer than the key.
  const String longCell = "Ärger" + String(100000, 'x');
  EXPECT_TRUE(CaselessKeyStartsWith(longCell, CaselessKey("ärgerxx")));
  EXPECT_FALSE(CaselessKeyStartsWith(longCell, CaselessKey("ärgery")));
  EXPECT_EQ(CaselessKey("STRASSE"), CaselessKey("straße"));
}

// The bounded test and its shortcuts answer as keying the whole text does, over every text of
// three pieces that compose, fold or expand, and every beginning of it.
TEST(StringUtils, CaselessPrefixTestAgreesWithTheWholeKey) {
  const char* const pieces[] = {"a", "J", "\u0301", "\u030C", "ß", "Σ", "\u00A0", "\u1100", "\u1161", "\u212A",
                                "Å", "ﬁ", "İ", "ǰ", "東", "😀", "e", "\u0345"};
  int checked = 0;
  for (const char* a : pieces)
    for (const char* b : pieces)
      for (const char* c : pieces) {
        const String text = String(a) + b + c;
        const WideString wide = UTF8Decode(text);
        for (std::size_t n = 1; n <= wide.size(); ++n) {
          const String key = CaselessKey(UTF8Encode(wide.substr(0, n)));
          for (const String& other : {key, CaselessKey("a"), CaselessKey("j"), CaselessKey("s")}) {
            ASSERT_EQ(CaselessKeyStartsWith(text, other), CaselessKey(text).rfind(other, 0) == 0) << text << " / " << other;
            ++checked;
          }
        }
      }
  EXPECT_GT(checked, 20000);
}
