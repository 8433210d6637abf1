// The edit-mask engine: keystroke scripts on (edit text, caret) pairs for the masks a mask edit
// meets in practice, the Text a mask reports, validation, and the host's FormatMaskText.

#include "platform/rtl/EditMask.h"
#include "platform/rtl/StringUtils.h"

#include <gtest/gtest.h>

using namespace zv;

namespace {

// Types each character of keys in turn; returns how many were refused.
int Type(const TEditMask& mask, TMaskEditState& st, const String& keys) {
  int refused = 0;
  for (char32_t c : ToCodePoints(keys))
    if (!mask.InputChar(st, c)) ++refused;
  return refused;
}

TMaskEditState Fresh(const TEditMask& mask) { return {mask.EmptyEditText(), mask.CaretHome(), 0}; }

}  // namespace

TEST(EditMaskTest, DateMaskTypingSkipsSeparatorsAndRefusesLetters) {
  const TEditMask mask("!99/99/0000;1;_");
  EXPECT_EQ(mask.Count(), 10);
  TMaskEditState st = Fresh(mask);
  EXPECT_EQ(st.EditText, "__/__/____");
  EXPECT_EQ(mask.TextOf(st.EditText), "  /  /    ");
  EXPECT_EQ(st.SelStart, 0);

  EXPECT_EQ(Type(mask, st, "12"), 0);
  EXPECT_EQ(st.EditText, "12/__/____");
  EXPECT_EQ(st.SelStart, 3);  // the caret stepped over '/'
  EXPECT_EQ(Type(mask, st, "x"), 1);
  EXPECT_EQ(st.EditText, "12/__/____");
  EXPECT_EQ(st.SelStart, 3);
  EXPECT_EQ(Type(mask, st, "05202"), 0);
  EXPECT_EQ(st.EditText, "12/05/202_");
  EXPECT_EQ(st.SelStart, 9);
  EXPECT_EQ(mask.FirstIncomplete(st.EditText), 9);
  EXPECT_EQ(Type(mask, st, "4"), 0);
  EXPECT_EQ(st.SelStart, 10);
  EXPECT_EQ(Type(mask, st, "5"), 1);  // no room left
  EXPECT_EQ(st.EditText, "12/05/2024");
  EXPECT_EQ(mask.TextOf(st.EditText), "12/05/2024");
  EXPECT_EQ(mask.FirstIncomplete(st.EditText), -1);

  // Typing the separator early leaves the optional day digit blank and jumps to the month.
  TMaskEditState jump = Fresh(mask);
  EXPECT_EQ(Type(mask, jump, "1/7/2024"), 0);
  EXPECT_EQ(jump.EditText, "1_/7_/2024");
  EXPECT_EQ(mask.TextOf(jump.EditText), "1 /7 /2024");
  EXPECT_EQ(mask.FirstIncomplete(jump.EditText), -1);
  // A separator that is not the next literal is refused.
  TMaskEditState wrong = Fresh(mask);
  EXPECT_EQ(Type(mask, wrong, "1-"), 1);
  EXPECT_EQ(wrong.SelStart, 1);
}

TEST(EditMaskTest, BackspaceDeleteAndSelectionBlankWithoutShifting) {
  const TEditMask mask("!99/99/0000;1;_");
  TMaskEditState st{"12/05/2024", 3, 0};
  EXPECT_TRUE(mask.Backspace(st));  // over the literal to the day's second digit
  EXPECT_EQ(st.EditText, "1_/05/2024");
  EXPECT_EQ(st.SelStart, 1);
  EXPECT_TRUE(mask.Backspace(st));
  EXPECT_EQ(st.EditText, "__/05/2024");
  EXPECT_EQ(st.SelStart, 0);
  EXPECT_FALSE(mask.Backspace(st));  // nothing before the first position

  st = {"12/05/2024", 2, 0};
  EXPECT_TRUE(mask.Delete(st));  // from the literal, the next input position goes
  EXPECT_EQ(st.EditText, "12/_5/2024");
  EXPECT_EQ(st.SelStart, 3);
  st = {"12/05/2024", 10, 0};
  EXPECT_FALSE(mask.Delete(st));

  st = {"12/05/2024", 1, 4};  // "2/05" selected
  EXPECT_TRUE(mask.Backspace(st));
  EXPECT_EQ(st.EditText, "1_/__/2024");
  EXPECT_EQ(st.SelStart, 1);
  EXPECT_EQ(st.SelLength, 0);

  // A typed character replaces the selection; a refused one leaves the selection alone.
  st = {"12/05/2024", 0, 5};
  EXPECT_FALSE(mask.InputChar(st, U'x'));
  EXPECT_EQ(st.EditText, "12/05/2024");
  EXPECT_EQ(st.SelLength, 5);
  EXPECT_TRUE(mask.InputChar(st, U'3'));
  EXPECT_EQ(st.EditText, "3_/__/2024");
  EXPECT_EQ(st.SelStart, 1);
}

TEST(EditMaskTest, PhoneMaskCaretMovesSkipLiterals) {
  const TEditMask mask("!\\(999\\) 000-0000;1;_");
  TMaskEditState st = Fresh(mask);
  EXPECT_EQ(st.EditText, "(___) ___-____");
  EXPECT_EQ(st.SelStart, 1);  // Home is the first input position
  EXPECT_EQ(Type(mask, st, "5551234567"), 0);
  EXPECT_EQ(st.EditText, "(555) 123-4567");
  EXPECT_EQ(st.SelStart, 14);

  EXPECT_EQ(mask.CaretLeft(14), 13);
  EXPECT_EQ(mask.CaretLeft(10), 8);  // over '-'
  EXPECT_EQ(mask.CaretLeft(6), 3);   // over ") "
  EXPECT_EQ(mask.CaretLeft(1), 1);   // stays on the first input position
  EXPECT_EQ(mask.CaretRight(3), 6);
  EXPECT_EQ(mask.CaretRight(13), 14);
  EXPECT_EQ(mask.CaretRight(14), 14);
  EXPECT_EQ(mask.CaretHome(), 1);
  EXPECT_EQ(mask.CaretEnd(), 14);

  EXPECT_EQ(mask.FirstIncomplete("(555) 12_-4567"), 8);
  EXPECT_EQ(mask.FirstIncomplete("(___) ___-____"), 6);  // the area code is optional
  try {
    mask.Validate("(555) 12_-4567");
    FAIL() << "an incomplete number must not validate";
  } catch (const EDBEditError& e) {
    EXPECT_STREQ(e.what(), "Invalid input value.  Use escape key to abandon changes");
  }
  EXPECT_NO_THROW(mask.Validate("(555) 123-4567"));
}

TEST(EditMaskTest, PasteKeepsWhatFitsAndStepsOverMatchingLiterals) {
  const TEditMask mask("!\\(999\\) 000-0000;1;_");
  TMaskEditState st{mask.EmptyEditText(), 0, 0};
  EXPECT_TRUE(mask.Paste(st, "(555) 123-4a67"));
  EXPECT_EQ(st.EditText, "(555) 123-4___");
  EXPECT_EQ(st.SelStart, 11);

  st = Fresh(mask);  // the caret after "(": the pasted "(" is the mask's own
  EXPECT_TRUE(mask.Paste(st, "(555) 123-4567"));
  EXPECT_EQ(st.EditText, "(555) 123-4567");
  st = {"(___) ___-____", 6, 0};
  EXPECT_TRUE(mask.Paste(st, ") 1"));  // the literals just before the caret
  EXPECT_EQ(st.EditText, "(___) 1__-____");
  EXPECT_FALSE(mask.Paste(st, "-1"));  // but no other

  st = Fresh(mask);
  EXPECT_TRUE(mask.Paste(st, "5551234567"));  // digits only flow over the literals
  EXPECT_EQ(st.EditText, "(555) 123-4567");

  st = Fresh(mask);
  EXPECT_FALSE(mask.Paste(st, "abc"));  // nothing fits: nothing changes
  EXPECT_EQ(st.EditText, "(___) ___-____");
  EXPECT_TRUE(mask.Paste(st, "12345678901234567890"));  // the surplus is dropped
  EXPECT_EQ(st.EditText, "(123) 456-7890");
  EXPECT_EQ(st.SelStart, 14);

  st = {"(555) 123-4567", 6, 3};  // paste over a selection
  EXPECT_TRUE(mask.Paste(st, "9"));
  EXPECT_EQ(st.EditText, "(555) 9__-4567");
  EXPECT_EQ(st.SelStart, 7);
}

TEST(EditMaskTest, CaseConversionAndReset) {
  const TEditMask mask(">LL<llll");
  TMaskEditState st = Fresh(mask);
  EXPECT_EQ(Type(mask, st, "a1bCDEF"), 1);  // the digit is refused
  EXPECT_EQ(st.EditText, "ABcdef");
  EXPECT_EQ(mask.TextOf(st.EditText), "ABcdef");

  const TEditMask reset(">L<>L<L");
  st = Fresh(reset);
  EXPECT_EQ(Type(reset, st, "aBC"), 0);
  EXPECT_EQ(st.EditText, "ABc");

  // Letters of any script; positions count characters, not bytes.
  const TEditMask wide(">LLL");
  st = Fresh(wide);
  EXPECT_EQ(Type(wide, st, "éжa"), 0);
  EXPECT_EQ(st.EditText, "ÉЖA");
  EXPECT_EQ(st.SelStart, 3);
  EXPECT_TRUE(wide.Backspace(st));
  EXPECT_EQ(st.EditText, "ÉЖ_");
  EXPECT_EQ(st.SelStart, 2);
  EXPECT_EQ(wide.FirstIncomplete(st.EditText), 2);
}

TEST(EditMaskTest, EscapesBlankCharacterAndSeparatorsFromSettings) {
  const TEditMask escaped("\\A\\\\-99\\;99;0;*");
  EXPECT_EQ(escaped.Blank(), U'*');
  EXPECT_FALSE(escaped.SaveLiterals());
  EXPECT_EQ(escaped.EmptyEditText(), "A\\-**;**");
  TMaskEditState st = Fresh(escaped);
  EXPECT_EQ(st.SelStart, 3);
  EXPECT_EQ(Type(escaped, st, "12A34"), 1);
  EXPECT_EQ(st.EditText, "A\\-12;34");
  EXPECT_EQ(escaped.TextOf(st.EditText), "1234");  // literals are not saved
  EXPECT_EQ(escaped.EditTextFor("1234", false), "A\\-12;34");

  TFormatSettings settings;
  settings.DateSeparator = '.';
  settings.TimeSeparator = 'h';
  EXPECT_EQ(TEditMask("99/99 99:99_L", settings).EmptyEditText(), "__.__ __h__ _");
  // Sections: no save flag keeps literals; an empty blank section keeps '_'.
  const TEditMask sections("00-00;;");
  EXPECT_TRUE(sections.SaveLiterals());
  EXPECT_EQ(sections.Blank(), U'_');
  EXPECT_EQ(sections.Position(2).Literal, U'-');
  EXPECT_EQ(sections.Position(0).Type, TMaskCharType::mcDigit);
  EXPECT_THROW(sections.Position(5), ERangeError);
  EXPECT_FALSE(TEditMask("").IsMasked());
  EXPECT_FALSE(TEditMask(";1;_").IsMasked());
  // A trailing escape adds no position: the empty text has exactly one character a position.
  struct Trailing { const char* mask; const char* empty; };
  for (const Trailing& t : {Trailing{"\\", ""}, Trailing{"99\\", "__"}, Trailing{"cc-a\\", "__-_"},
                            Trailing{"0\\\\", "_\\"}}) {
    const TEditMask mask(t.mask);
    EXPECT_EQ(mask.EmptyEditText(), t.empty) << t.mask;
    EXPECT_EQ(mask.Count(), Length(String(t.empty))) << t.mask;
  }
}

TEST(EditMaskTest, SaveLiteralsDecidesTheText) {
  const TEditMask saved("!\\(999\\) 000-0000;1;_");
  const TEditMask dropped("!\\(999\\) 000-0000;0;_");
  EXPECT_EQ(saved.TextOf("(555) 123-4567"), "(555) 123-4567");
  EXPECT_EQ(dropped.TextOf("(555) 123-4567"), "5551234567");
  EXPECT_EQ(dropped.TextOf("(___) ___-____"), "");
  EXPECT_EQ(dropped.TextOf("(__5) 123-4567"), "51234567");
  EXPECT_EQ(dropped.TextOf("(5_5) 123-4567"), "5 51234567");
  // Text set back on each lays out the same edit text.
  EXPECT_EQ(saved.EditTextFor("(555) 123-4567", true), "(555) 123-4567");
  EXPECT_EQ(dropped.EditTextFor("5551234567", false), "(555) 123-4567");
  // A value that does not fit loses the refused characters, not the positions.
  EXPECT_EQ(dropped.EditTextFor("55x1234567", false), "(55_) 123-4567");
  // An edit text of the wrong length is laid out again rather than trusted.
  EXPECT_EQ(saved.FirstIncomplete("(555)"), 6);
}

TEST(EditMaskTest, OptionalPositionsAndLeadingBlanks) {
  const TEditMask leading("!999;0;_");
  const TEditMask trailing("999;0;_");
  EXPECT_TRUE(leading.LeadingBlanks());
  EXPECT_EQ(leading.EditTextFor("12", false), "_12");
  EXPECT_EQ(trailing.EditTextFor("12", false), "12_");
  EXPECT_EQ(leading.FirstIncomplete("___"), -1);

  // A space empties an optional position; a required one refuses it.
  TMaskEditState st{"123", 0, 0};
  EXPECT_TRUE(trailing.InputChar(st, U' '));
  EXPECT_EQ(st.EditText, "_23");
  EXPECT_EQ(trailing.TextOf(st.EditText), "23");
  const TEditMask required("000");
  st = {"123", 0, 0};
  EXPECT_FALSE(required.InputChar(st, U' '));

  const TEditMask signs("#99;1;_");
  st = Fresh(signs);
  EXPECT_EQ(Type(signs, st, "-+5"), 1);  // the sign goes only in '#'
  EXPECT_EQ(st.EditText, "-5_");
  const TEditMask any("Cc;1;_");
  st = Fresh(any);
  EXPECT_EQ(Type(any, st, "\t%"), 1);  // control characters are never typed
  EXPECT_EQ(st.EditText, "%_");
}

TEST(EditMaskTest, TimeMaskWithZeroBlank) {
  const TEditMask mask("!90:00:00;1;0");
  TMaskEditState st = Fresh(mask);
  EXPECT_EQ(st.EditText, "00:00:00");
  // The blank '0' is itself a digit: an untouched time reads as midnight and validates.
  EXPECT_EQ(mask.TextOf(st.EditText), "00:00:00");
  EXPECT_EQ(mask.FirstIncomplete(st.EditText), -1);
  EXPECT_EQ(Type(mask, st, "123"), 0);
  EXPECT_EQ(st.EditText, "12:30:00");
  EXPECT_EQ(st.SelStart, 4);
  EXPECT_EQ(Type(mask, st, ":"), 0);  // jump to the seconds
  EXPECT_EQ(st.SelStart, 6);
  EXPECT_EQ(Type(mask, st, "45"), 0);
  EXPECT_EQ(st.EditText, "12:30:45");
  EXPECT_TRUE(mask.Backspace(st));
  EXPECT_EQ(st.EditText, "12:30:40");
  EXPECT_EQ(mask.TextOf(st.EditText), "12:30:40");
}

TEST(EditMaskTest, FormatMaskTextLaysValuesOut) {
  EXPECT_EQ(FormatMaskText("!\\(999\\) 000-0000;0;_", "5551234567"), "(555) 123-4567");
  EXPECT_EQ(FormatMaskText("!\\(999\\) 000-0000;0;_", "5551"), "(   )    -5551");
  EXPECT_EQ(FormatMaskText("000-00;0;_", "5551"), "555-1 ");
  EXPECT_EQ(FormatMaskText("!99/99/0000;1;_", "12/05/2024"), "12/05/2024");
  EXPECT_EQ(FormatMaskText(">LLL;0;_", "abc"), "ABC");
  EXPECT_EQ(FormatMaskText("", "as is"), "as is");
  EXPECT_EQ(FormatMaskText("!90:00:00;1;0", "7:5"), "70:00:00");  // by position, not parsed
}

TEST(EditMaskTest, Utf8RoundTripAndBadBytes) {
  const String text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(ToCodePoints(text), (std::u32string{U'a', U'é', U'€', U'\U0001F600'}));
  EXPECT_EQ(FromCodePoints(ToCodePoints(text)), text);
  EXPECT_EQ(ToCodePoints("\xC3"), std::u32string{U'\uFFFD'});        // truncated
  EXPECT_EQ(ToCodePoints("\x80z"), (std::u32string{U'\uFFFD', U'z'}));  // stray continuation
  // Decoded, these would be no characters; each of their bytes is a replacement character, and
  // a mask made of them keeps its literals where the edit text shows them.
  for (const String& bad : {String("\xC0\xAF"), String("\xED\xA0\x80"), String("\xF5\x9C\x9C\x99")}) {
    EXPECT_EQ(ToCodePoints(bad), std::u32string(bad.size(), U'\uFFFD')) << bad;
    const TEditMask mask(bad + "#");
    EXPECT_EQ(ToCodePoints(mask.EmptyEditText()), std::u32string(bad.size(), U'\uFFFD') + mask.Blank()) << bad;
  }
}

TEST(EditMaskTest, AMaskWithAControlCharacterIsRefused) {
  // A one-line edit ends its text at a NUL or a line break: such a literal could never show.
  for (const String& mask : {String("!99/99\0" "0000;1;_", 15), String("99\r99"), String("99;1;\n"), String("a\x7F")})
    EXPECT_THROW(TEditMask{mask}, EConvertError) << mask;
  EXPECT_NO_THROW(TEditMask{"99\\-99;1; "});
}

TEST(EditMaskTest, AMaskOfLiteralsAloneRefusesEveryEdit) {
  const TEditMask mask("(z)");
  for (int caret : {0, 1, 3}) {
    TMaskEditState state{"(z)", caret, 0};
    EXPECT_FALSE(mask.Delete(state)) << caret;
    EXPECT_FALSE(mask.Backspace(state)) << caret;
    EXPECT_FALSE(mask.InputChar(state, U'a')) << caret;
    EXPECT_FALSE(mask.Paste(state, "ab")) << caret;
    EXPECT_EQ(state.EditText, "(z)");
  }
}
