#pragma once
// The host's edit-mask rules, free of any control: what a mask allows at each position, how a
// value is laid out on the mask, the text a mask edit reports, validation, and the editing
// operations a mask edit performs on its (edit text, selection) pair. Both backends run the same
// rules because the controls call this engine instead of a native masked editor.
//
// Mask syntax: up to three sections separated by ';'. The first is the mask; the second, '0',
// drops literals from Text (anything else keeps them, the default); the third is the blank
// character shown in empty positions ('_' by default). In the mask: '!' optional blanks lead the
// unformatted text, '>' upper case, '<' lower case, "<>" no case conversion, '\' takes the next
// character literally, L/l letter, A/a letter or digit, C/c any character, 0/9 digit, # digit or
// sign (lower case letters, '9' and '#' are optional), ':' and '/' the time and date separators
// of the format settings, '_' a literal space; anything else is a literal.
// Positions count characters (code points), never bytes.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

#include <string>
#include <vector>

namespace zv {

// Raised when a mask edit's text does not fill its mask.
class EDBEditError : public Exception {
public:
  using Exception::Exception;
};

inline constexpr const char SMaskEditErr[] =
    "Invalid input value.  Use escape key to abandon changes";
inline constexpr const char SMaskErr[] = "Invalid input value";
inline constexpr const char SMaskControlChar[] = "An edit mask cannot hold a control character";

inline constexpr char MaskFieldSeparator = ';';
inline constexpr char MaskNoSave = '0';
inline constexpr char DefaultBlank = '_';

enum class TMaskCharType {
  mcLiteral,
  mcLetter, mcLetterOpt,              // L l
  mcAlphaNumeric, mcAlphaNumericOpt,  // A a
  mcAnyChar, mcAnyCharOpt,            // C c
  mcDigit, mcDigitOpt,                // 0 9
  mcNumberOpt                         // #
};

enum class TMaskCase { mcNone, mcUpper, mcLower };

struct TMaskPosition {
  TMaskCharType Type = TMaskCharType::mcLiteral;
  TMaskCase Case = TMaskCase::mcNone;
  char32_t Literal = 0;  // the character shown, for literals
};

// What a mask edit holds: its edit text and selection, in characters.
struct TMaskEditState {
  String EditText;
  int SelStart = 0;
  int SelLength = 0;
};

// A parsed edit mask. An empty mask is valid and means "not masked"; a mask holding a control
// character raises EConvertError (SMaskControlChar).
class TEditMask {
public:
  TEditMask() = default;
  explicit TEditMask(const String& editMask, const TFormatSettings& settings = FormatSettings());

  const String& Mask() const { return fMask; }
  bool IsMasked() const { return !fPositions.empty(); }
  // Number of positions, which is the length of the edit text.
  int Count() const { return static_cast<int>(fPositions.size()); }
  // ERangeError outside [0, Count).
  const TMaskPosition& Position(int index) const;
  bool SaveLiterals() const { return fSaveLiterals; }
  char32_t Blank() const { return fBlank; }
  bool LeadingBlanks() const { return fLeadingBlanks; }

  bool IsInput(int index) const;
  bool IsRequired(int index) const;
  // Whether c may be typed at the input position index (before case conversion).
  bool Accepts(int index, char32_t c) const;
  // c converted to the case the position asks for.
  char32_t Convert(int index, char32_t c) const;

  // The edit text of an empty value: literals and blanks.
  String EmptyEditText() const;
  // Lays a value out on the mask. With literals the value is read position by position (as an
  // edit text or a Text saved with literals); without, its characters fill the input positions
  // in turn (from the right when blanks lead). Characters a position refuses become blanks.
  String EditTextFor(const String& value, bool withLiterals) const;
  // The Text of an edit text: blanks become spaces; literals are kept when the mask saves them,
  // otherwise dropped and the outer spaces trimmed.
  String TextOf(const String& editText) const;
  // Index of the first required position left blank (or holding a refused character); -1 when
  // the edit text fills the mask.
  int FirstIncomplete(const String& editText) const;
  // Raises EDBEditError with SMaskEditErr when FirstIncomplete is not -1.
  void Validate(const String& editText) const;

  // Caret places: input positions, and the place after the last one.
  int FirstInput() const;
  int LastInput() const;
  int EndCaret() const { return LastInput() + 1; }
  // The nearest input position at or after index (EndCaret when none).
  int InputAtOrAfter(int index) const;
  int CaretLeft(int caret) const;
  int CaretRight(int caret) const;
  int CaretHome() const { return InputAtOrAfter(0); }
  int CaretEnd() const { return EndCaret(); }

  // Editing in overwrite mode; each returns false, leaving the state alone, when refused.
  // Types c at the caret (replacing a selection first): literals are skipped; a character equal
  // to the next literal moves the caret past it.
  bool InputChar(TMaskEditState& state, char32_t c) const;
  // Blanks the selection or the input position before the caret; the caret moves there.
  bool Backspace(TMaskEditState& state) const;
  // Blanks the selection or the input position at the caret; the caret stays.
  bool Delete(TMaskEditState& state) const;
  // Blanks the selected input positions; the caret goes to the selection start.
  bool DeleteSelection(TMaskEditState& state) const;
  // Puts text at the caret (replacing a selection first), keeping what fits and stopping at the
  // first character that does not. Literals in the text that match the mask's are stepped over.
  bool Paste(TMaskEditState& state, const String& text) const;

private:
  std::u32string Normalize(const String& editText) const;
  bool IsBlankAt(const std::u32string& text, int index) const;
  void Clear(std::u32string& text, int from, int to) const;

  String fMask;
  std::vector<TMaskPosition> fPositions;
  bool fSaveLiterals = true;
  bool fLeadingBlanks = false;
  char32_t fBlank = DefaultBlank;
};

// The host's FormatMaskText: value laid out on the mask (read with literals when the mask saves
// them), blanks shown as spaces.
String FormatMaskText(const String& editMask, const String& value);

// UTF-8 <-> code points, for the positions of an edit text.
std::u32string ToCodePoints(const String& text);
String FromCodePoints(const std::u32string& text);

}  // namespace zv
