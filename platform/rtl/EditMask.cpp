#include "platform/rtl/EditMask.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/StringUtils.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace zv {

// ---- code points -------------------------------------------------------------------------

std::u32string ToCodePoints(const String& text) {
  std::u32string out;
  out.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    unsigned char b = s[i];
    int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra >= n) {  // stray or truncated sequence
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters either: written
    // back they would come out as something else.
    static constexpr char32_t Least[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < Least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

String FromCodePoints(const std::u32string& text) {
  String out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUTF8(out, c);
  return out;
}

// ---- parsing -----------------------------------------------------------------------------

namespace {

bool IsOptional(TMaskCharType type) {
  switch (type) {
    case TMaskCharType::mcLetterOpt:
    case TMaskCharType::mcAlphaNumericOpt:
    case TMaskCharType::mcAnyCharOpt:
    case TMaskCharType::mcDigitOpt:
    case TMaskCharType::mcNumberOpt: return true;
    default: return false;
  }
}

bool IsLetter(char32_t c) { return u_isalpha(static_cast<UChar32>(c)) != 0; }
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

}  // namespace

TEditMask::TEditMask(const String& editMask, const TFormatSettings& settings) : fMask(editMask) {
  const std::u32string m = ToCodePoints(editMask);
  // A one-line edit cannot show a control character (a NUL or a line break ends its text), so a
  // mask with one as a literal or blank could never be filled.
  for (char32_t c : m)
    if (c < 0x20 || c == 0x7F) throw EConvertError(SMaskControlChar);
  // The mask proper ends at the first ';' that no '\' escapes; the save flag and the blank
  // character follow in their own sections.
  std::size_t end = 0;
  for (; end < m.size(); ++end) {
    if (m[end] == U'\\') {
      // A trailing escape escapes nothing: stepping past it would end the mask beyond the text.
      if (end + 1 < m.size()) ++end;
      continue;
    }
    if (m[end] == static_cast<char32_t>(MaskFieldSeparator)) break;
  }
  if (end < m.size()) {
    std::size_t i = end + 1;
    if (i < m.size() && m[i] != static_cast<char32_t>(MaskFieldSeparator)) {
      fSaveLiterals = m[i] != static_cast<char32_t>(MaskNoSave);
      ++i;
    }
    while (i < m.size() && m[i] != static_cast<char32_t>(MaskFieldSeparator)) ++i;
    if (i + 1 < m.size()) fBlank = m[i + 1];
  }

  TMaskCase currentCase = TMaskCase::mcNone;
  for (std::size_t i = 0; i < end; ++i) {
    const char32_t c = m[i];
    TMaskPosition pos;
    pos.Case = currentCase;
    switch (c) {
      case U'!': fLeadingBlanks = true; continue;
      case U'>': currentCase = TMaskCase::mcUpper; continue;
      case U'<':
        if (i + 1 < end && m[i + 1] == U'>') {
          currentCase = TMaskCase::mcNone;
          ++i;
        } else {
          currentCase = TMaskCase::mcLower;
        }
        continue;
      case U'\\':
        if (i + 1 >= end) continue;  // a trailing escape escapes nothing
        pos.Literal = m[++i];
        break;
      case U'L': pos.Type = TMaskCharType::mcLetter; break;
      case U'l': pos.Type = TMaskCharType::mcLetterOpt; break;
      case U'A': pos.Type = TMaskCharType::mcAlphaNumeric; break;
      case U'a': pos.Type = TMaskCharType::mcAlphaNumericOpt; break;
      case U'C': pos.Type = TMaskCharType::mcAnyChar; break;
      case U'c': pos.Type = TMaskCharType::mcAnyCharOpt; break;
      case U'0': pos.Type = TMaskCharType::mcDigit; break;
      case U'9': pos.Type = TMaskCharType::mcDigitOpt; break;
      case U'#': pos.Type = TMaskCharType::mcNumberOpt; break;
      // Settings with no separator keep the mask's own character.
      case U':': pos.Literal = settings.TimeSeparator.IsEmpty() ? c : settings.TimeSeparator.Code(); break;
      case U'/': pos.Literal = settings.DateSeparator.IsEmpty() ? c : settings.DateSeparator.Code(); break;
      case U'_': pos.Literal = U' '; break;
      default: pos.Literal = c; break;
    }
    fPositions.push_back(pos);
  }
}

// ---- positions ---------------------------------------------------------------------------

const TMaskPosition& TEditMask::Position(int index) const {
  if (index < 0 || index >= Count()) throw ERangeError(SRangeError);
  return fPositions[static_cast<std::size_t>(index)];
}

bool TEditMask::IsInput(int index) const {
  return index >= 0 && index < Count() && fPositions[index].Type != TMaskCharType::mcLiteral;
}

bool TEditMask::IsRequired(int index) const {
  return IsInput(index) && !IsOptional(fPositions[index].Type);
}

bool TEditMask::Accepts(int index, char32_t c) const {
  if (!IsInput(index)) return false;
  const TMaskCharType type = fPositions[index].Type;
  if (c == U' ') return IsOptional(type);  // a space empties an optional position
  switch (type) {
    case TMaskCharType::mcLetter:
    case TMaskCharType::mcLetterOpt: return IsLetter(c);
    case TMaskCharType::mcAlphaNumeric:
    case TMaskCharType::mcAlphaNumericOpt: return IsLetter(c) || IsDigit(c);
    case TMaskCharType::mcAnyChar:
    case TMaskCharType::mcAnyCharOpt: return c >= 32 && u_iscntrl(static_cast<UChar32>(c)) == 0;
    case TMaskCharType::mcDigit:
    case TMaskCharType::mcDigitOpt: return IsDigit(c);
    case TMaskCharType::mcNumberOpt: return IsDigit(c) || c == U'+' || c == U'-';
    default: return false;
  }
}

char32_t TEditMask::Convert(int index, char32_t c) const {
  if (!IsInput(index)) return c;
  switch (fPositions[index].Case) {
    case TMaskCase::mcUpper: return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
    case TMaskCase::mcLower: return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
    default: return c;
  }
}

bool TEditMask::IsBlankAt(const std::u32string& text, int index) const {
  const char32_t c = text[index];
  // A blank character the position itself accepts (the "0" of a time mask) reads as a value.
  return c == U' ' || (c == fBlank && !Accepts(index, c));
}

void TEditMask::Clear(std::u32string& text, int from, int to) const {
  for (int i = std::max(from, 0); i < std::min(to, Count()); ++i)
    if (IsInput(i)) text[i] = fBlank;
}

int TEditMask::FirstInput() const { return InputAtOrAfter(0); }

int TEditMask::LastInput() const {
  for (int i = Count() - 1; i >= 0; --i)
    if (IsInput(i)) return i;
  return -1;
}

int TEditMask::InputAtOrAfter(int index) const {
  for (int i = std::max(index, 0); i < Count(); ++i)
    if (IsInput(i)) return i;
  return EndCaret();
}

int TEditMask::CaretLeft(int caret) const {
  for (int i = std::min(caret, Count()) - 1; i >= 0; --i)
    if (IsInput(i)) return i;
  return FirstInput();
}

int TEditMask::CaretRight(int caret) const {
  return caret >= EndCaret() ? EndCaret() : InputAtOrAfter(caret + 1);
}

// ---- values and texts --------------------------------------------------------------------

String TEditMask::EmptyEditText() const {
  std::u32string t(fPositions.size(), fBlank);
  for (int i = 0; i < Count(); ++i)
    if (!IsInput(i)) t[i] = fPositions[i].Literal;
  return FromCodePoints(t);
}

String TEditMask::EditTextFor(const String& value, bool withLiterals) const {
  std::u32string t = ToCodePoints(EmptyEditText());
  const std::u32string v = ToCodePoints(value);
  auto put = [&](int index, char32_t c) {
    if (c != U' ' && c != fBlank && Accepts(index, c)) t[index] = Convert(index, c);
  };
  if (withLiterals) {
    for (int i = 0; i < Count() && i < static_cast<int>(v.size()); ++i)
      if (IsInput(i)) put(i, v[i]);
    return FromCodePoints(t);
  }
  std::vector<int> inputs;
  for (int i = 0; i < Count(); ++i)
    if (IsInput(i)) inputs.push_back(i);
  const int n = static_cast<int>(std::min(inputs.size(), v.size()));
  const int first = fLeadingBlanks ? static_cast<int>(inputs.size()) - n : 0;
  for (int k = 0; k < n; ++k) put(inputs[first + k], v[k]);
  return FromCodePoints(t);
}

std::u32string TEditMask::Normalize(const String& editText) const {
  std::u32string t = ToCodePoints(editText);
  if (static_cast<int>(t.size()) == Count()) return t;
  return ToCodePoints(EditTextFor(editText, true));
}

String TEditMask::TextOf(const String& editText) const {
  if (!IsMasked()) return editText;
  const std::u32string t = Normalize(editText);
  std::u32string out;
  for (int i = 0; i < Count(); ++i) {
    if (!IsInput(i)) {
      if (fSaveLiterals) out.push_back(t[i]);
    } else {
      out.push_back(IsBlankAt(t, i) ? U' ' : t[i]);
    }
  }
  if (fSaveLiterals) return FromCodePoints(out);
  std::size_t b = 0, e = out.size();
  while (b < e && out[b] <= U' ') ++b;
  while (e > b && out[e - 1] <= U' ') --e;
  return FromCodePoints(out.substr(b, e - b));
}

int TEditMask::FirstIncomplete(const String& editText) const {
  const std::u32string t = Normalize(editText);
  for (int i = 0; i < Count(); ++i) {
    if (!IsInput(i)) continue;
    if (IsBlankAt(t, i)) {
      if (IsRequired(i)) return i;
    } else if (!Accepts(i, t[i]) && t[i] != fBlank) {
      return i;
    }
  }
  return -1;
}

void TEditMask::Validate(const String& editText) const {
  if (FirstIncomplete(editText) >= 0) throw EDBEditError(SMaskEditErr);
}

// ---- editing -----------------------------------------------------------------------------

bool TEditMask::InputChar(TMaskEditState& state, char32_t c) const {
  if (!IsMasked()) return false;
  std::u32string t = Normalize(state.EditText);
  int caret = std::clamp(state.SelStart, 0, Count());
  if (state.SelLength > 0) Clear(t, caret, caret + state.SelLength);
  const int p = InputAtOrAfter(caret);
  if (p < Count() && Accepts(p, c)) {
    t[p] = c == U' ' ? fBlank : Convert(p, c);
    caret = InputAtOrAfter(p + 1);
  } else {
    // Typing the separator that comes next jumps over the positions left before it.
    int q = caret;
    while (q < Count() && IsInput(q)) ++q;
    if (q >= Count() || fPositions[q].Literal != c) return false;
    caret = InputAtOrAfter(q + 1);
  }
  state.EditText = FromCodePoints(t);
  state.SelStart = caret;
  state.SelLength = 0;
  return true;
}

bool TEditMask::DeleteSelection(TMaskEditState& state) const {
  if (!IsMasked() || state.SelLength <= 0) return false;
  std::u32string t = Normalize(state.EditText);
  const int start = std::clamp(state.SelStart, 0, Count());
  Clear(t, start, start + state.SelLength);
  state.EditText = FromCodePoints(t);
  state.SelStart = InputAtOrAfter(start);
  state.SelLength = 0;
  return true;
}

bool TEditMask::Backspace(TMaskEditState& state) const {
  if (state.SelLength > 0) return DeleteSelection(state);
  if (!IsMasked()) return false;
  int q = std::min(state.SelStart, Count()) - 1;
  while (q >= 0 && !IsInput(q)) --q;
  if (q < 0) return false;
  std::u32string t = Normalize(state.EditText);
  t[q] = fBlank;
  state.EditText = FromCodePoints(t);
  state.SelStart = q;
  return true;
}

bool TEditMask::Delete(TMaskEditState& state) const {
  if (state.SelLength > 0) return DeleteSelection(state);
  if (!IsMasked()) return false;
  // A mask of literals alone has no input position: its end caret is 0, a literal.
  const int p = InputAtOrAfter(state.SelStart);
  if (!IsInput(p)) return false;
  std::u32string t = Normalize(state.EditText);
  t[p] = fBlank;
  state.EditText = FromCodePoints(t);
  state.SelStart = p;
  return true;
}

bool TEditMask::Paste(TMaskEditState& state, const String& text) const {
  if (!IsMasked()) return false;
  std::u32string t = Normalize(state.EditText);
  int p = std::clamp(state.SelStart, 0, Count());
  bool changed = state.SelLength > 0;
  if (changed) Clear(t, p, p + state.SelLength);
  const std::u32string v = ToCodePoints(text);
  std::size_t from = 0;
  if (IsInput(p)) {
    // A formatted value pasted after the literals that open its field ("(555)" with the caret
    // after "("): its copy of those literals is stepped over.
    int q = p;
    while (q > 0 && !IsInput(q - 1)) --q;
    for (int k = q; k < p; ++k) {
      const std::size_t n = static_cast<std::size_t>(p - k);
      bool match = v.size() >= n;
      for (std::size_t j = 0; match && j < n; ++j) match = v[j] == fPositions[k + j].Literal;
      if (match) {
        from = n;
        break;
      }
    }
  }
  for (std::size_t i = from; i < v.size(); ++i) {
    const char32_t c = v[i];
    if (p >= Count()) break;
    if (!IsInput(p)) {
      if (fPositions[p].Literal == c) {
        ++p;
        continue;
      }
      p = InputAtOrAfter(p);
      if (p >= Count()) break;
    }
    if (!Accepts(p, c)) break;
    t[p] = c == U' ' ? fBlank : Convert(p, c);
    ++p;
    changed = true;
  }
  if (!changed) return false;
  state.EditText = FromCodePoints(t);
  state.SelStart = InputAtOrAfter(p);
  state.SelLength = 0;
  return true;
}

// ---- host routine ------------------------------------------------------------------------

String FormatMaskText(const String& editMask, const String& value) {
  const TEditMask mask(editMask);
  if (!mask.IsMasked()) return value;
  const String edit = mask.EditTextFor(value, mask.SaveLiterals());
  // Shown as Text saved with literals would be: blanks as spaces.
  std::u32string t = ToCodePoints(edit);
  for (int i = 0; i < mask.Count(); ++i)
    if (mask.IsInput(i) && t[i] == mask.Blank() && !mask.Accepts(i, t[i])) t[i] = U' ';
  return FromCodePoints(t);
}

}  // namespace zv
