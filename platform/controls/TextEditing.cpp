#include "platform/controls/TextEditing.h"

#include "platform/graphics/TextBreak.h"

#include <algorithm>

namespace zv {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the UTF-8 sequence starting at text[i], by the same rules as Length: a lead
// byte whose continuation bytes are missing counts as one character.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
  if (i + n > text.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if (!IsContinuation(static_cast<unsigned char>(text[i + k]))) return 1;
  return n;
}

enum class TCharClass { Space, Word, Break, Other };

TCharClass ClassOf(std::string_view text, std::size_t offset) {
  const char c = text[offset];
  if (c == '\r' || c == '\n') return TCharClass::Break;
  if (c == ' ' || c == '\t') return TCharClass::Space;
  const auto b = static_cast<unsigned char>(c);
  if (b >= 0x80) {
    // Beyond ASCII: letters of every script count as word characters; the few spaces and
    // punctuation marks that matter for word moves are checked by code point.
    const char32_t cp = FirstCodePoint(text.substr(offset));
    if (cp == 0x00A0 || cp == 0x3000 || (cp >= 0x2000 && cp <= 0x200B)) return TCharClass::Space;
    if ((cp >= 0x2010 && cp <= 0x2027) || (cp >= 0x3001 && cp <= 0x3003) || cp == 0x00AB || cp == 0x00BB)
      return TCharClass::Other;
    return TCharClass::Word;
  }
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') return TCharClass::Word;
  return TCharClass::Other;
}

}  // namespace

int CountCodePoints(std::string_view text) {
  int n = 0;
  for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i)) ++n;
  return n;
}

// --- Positions ----------------------------------------------------------------------------------

std::size_t TTextEditor::OffsetOf(int pos) const {
  if (pos <= 0) return 0;
  std::size_t i = 0;
  for (int n = 0; n < pos && i < fText.size(); ++n) i += SequenceLength(fText, i);
  return Snap(i);
}

int TTextEditor::PosOf(std::size_t offset) const {
  return CountCodePoints(std::string_view(fText).substr(0, std::min(offset, fText.size())));
}

std::size_t TTextEditor::Snap(std::size_t offset) const {
  if (offset >= fText.size()) return fText.size();
  // Inside a sequence: back to its lead byte (a stray continuation byte is a character itself).
  std::size_t lead = offset;
  while (lead > 0 && offset - lead < 3 && IsContinuation(static_cast<unsigned char>(fText[lead]))) --lead;
  if (lead < offset && lead + SequenceLength(fText, lead) > offset) offset = lead;
  if (offset > 0 && fText[offset] == '\n' && fText[offset - 1] == '\r') --offset;
  return offset;
}

std::size_t TTextEditor::NextOffset(std::size_t offset) const {
  if (offset >= fText.size()) return fText.size();
  if (fText.compare(offset, 2, "\r\n") == 0) return offset + 2;
  return offset + SequenceLength(fText, offset);
}

std::size_t TTextEditor::PriorOffset(std::size_t offset) const {
  if (offset == 0) return 0;
  offset = std::min(offset, fText.size());
  if (offset >= 2 && fText.compare(offset - 2, 2, "\r\n") == 0) return offset - 2;
  std::size_t p = offset - 1;
  while (p > 0 && offset - p < 4 && IsContinuation(static_cast<unsigned char>(fText[p]))) --p;
  // p is a lead byte only when its sequence reaches exactly to offset; otherwise the byte just
  // before offset is a character of its own.
  if (p + SequenceLength(fText, p) == offset) return p;
  return offset - 1;
}

bool TTextEditor::IsWordChar(std::size_t offset) const { return ClassOf(fText, offset) == TCharClass::Word; }

std::size_t TTextEditor::NextWordOffset(std::size_t offset) const {
  const std::size_t n = fText.size();
  if (offset >= n) return n;
  const TCharClass start = ClassOf(fText, offset);
  if (start == TCharClass::Break) {
    offset = NextOffset(offset);
  } else if (start != TCharClass::Space) {
    while (offset < n && ClassOf(fText, offset) == start) offset = NextOffset(offset);
  }
  while (offset < n && ClassOf(fText, offset) == TCharClass::Space) offset = NextOffset(offset);
  return offset;
}

std::size_t TTextEditor::PriorWordOffset(std::size_t offset) const {
  offset = std::min(offset, fText.size());
  while (offset > 0 && ClassOf(fText, PriorOffset(offset)) == TCharClass::Space) offset = PriorOffset(offset);
  if (offset == 0) return 0;
  const TCharClass cls = ClassOf(fText, PriorOffset(offset));
  if (cls == TCharClass::Break) return PriorOffset(offset);
  while (offset > 0 && ClassOf(fText, PriorOffset(offset)) == cls) offset = PriorOffset(offset);
  return offset;
}

void TTextEditor::WordAt(int pos, int& start, int& end) const {
  std::size_t at = OffsetOf(pos);
  if (fText.empty()) {
    start = end = 0;
    return;
  }
  if (at >= fText.size() || ClassOf(fText, at) == TCharClass::Break) {
    if (at == 0) {
      start = end = 0;
      return;
    }
    at = PriorOffset(at);
    if (ClassOf(fText, at) == TCharClass::Break) {
      start = end = PosOf(NextOffset(at));
      return;
    }
  }
  const TCharClass cls = ClassOf(fText, at);
  std::size_t b = at, e = at;
  while (b > 0 && ClassOf(fText, PriorOffset(b)) == cls) b = PriorOffset(b);
  while (e < fText.size() && ClassOf(fText, e) == cls) e = NextOffset(e);
  // A word takes the spaces after it along, as the host's double click does.
  if (cls == TCharClass::Word)
    while (e < fText.size() && ClassOf(fText, e) == TCharClass::Space) e = NextOffset(e);
  start = PosOf(b);
  end = start + CountCodePoints(std::string_view(fText).substr(b, e - b));
}

// --- Caret and selection --------------------------------------------------------------------------

int TTextEditor::SelStart() const { return PosOf(std::min(fCaret, fAnchor)); }

int TTextEditor::SelLength() const {
  const std::size_t a = std::min(fCaret, fAnchor), b = std::max(fCaret, fAnchor);
  return CountCodePoints(std::string_view(fText).substr(a, b - a));
}

String TTextEditor::SelText() const {
  const std::size_t a = std::min(fCaret, fAnchor), b = std::max(fCaret, fAnchor);
  return fText.substr(a, b - a);
}

void TTextEditor::SetSel(int start, int end) {
  if (start < 0) {
    fAnchor = fCaret;
    return;
  }
  fAnchor = OffsetOf(start);
  fCaret = end < 0 ? fText.size() : OffsetOf(end);
}

void TTextEditor::MoveTo(int pos, bool extend) { MoveToByte(OffsetOf(pos), extend); }

void TTextEditor::MoveToByte(std::size_t offset, bool extend) {
  fCaret = Snap(offset);
  if (!extend) fAnchor = fCaret;
  fUndo.Typing = false;
}

// --- Editing --------------------------------------------------------------------------------------

String TTextEditor::PrepareInsert(std::string_view text, int room) const {
  String out;
  out.reserve(std::min<std::size_t>(text.size(), room < 0 ? text.size() : static_cast<std::size_t>(room) * 4 + 2));
  int count = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (room >= 0 && count >= room) break;
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (!fMultiLine) break;
      // A line break is two characters; one that does not fit whole is left out.
      if (room >= 0 && count + 2 > room) break;
      out += "\r\n";
      count += 2;
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    if (c == '\0') break;
    const std::size_t n = SequenceLength(text, i);
    out.append(text.substr(i, n));
    ++count;
    i += n;
  }
  return out;
}

void TTextEditor::Splice(std::size_t from, std::size_t to, std::string_view text) {
  fLength += CountCodePoints(text) - CountCodePoints(std::string_view(fText).substr(from, to - from));
  fText.replace(from, to - from, text);
  fCaret = fAnchor = from + text.size();
  RecordChange(from, to, text.size());
}

void TTextEditor::RecordChange(std::size_t from, std::size_t to, std::size_t inserted) {
  if (fChange.Whole) return;
  if (!fChange.Any) {
    fChange = {true, false, from, to - from, inserted};
    return;
  }
  // One range covering both changes: its end, before this splice, maps back to the text the
  // pending change started from and forward to the text now.
  const std::size_t start = std::min(fChange.Offset, from);
  const std::size_t end = std::max(fChange.Offset + fChange.Inserted, to);
  fChange.Removed = end - fChange.Inserted + fChange.Removed - start;
  fChange.Inserted = end - (to - from) + inserted - start;
  fChange.Offset = start;
}

bool TTextEditor::SetText(std::string_view text) {
  String t = fMultiLine ? PrepareInsert(text, -1) : String(text.substr(0, text.find_first_of(String("\r\n\0", 3))));
  fUndo = {};
  if (t == fText) {
    fCaret = fAnchor = 0;
    return false;
  }
  fText = std::move(t);
  fLength = CountCodePoints(fText);
  fChange = {true, true};
  fCaret = fAnchor = 0;
  return true;
}

bool TTextEditor::ReplaceSel(std::string_view text, bool canUndo) {
  const std::size_t a = std::min(fCaret, fAnchor), b = std::max(fCaret, fAnchor);
  const int kept = fLength - CountCodePoints(std::string_view(fText).substr(a, b - a));
  const int room = fMaxLength > 0 ? std::max(0, fMaxLength - kept) : -1;
  const String insert = PrepareInsert(text, room);
  if (insert.empty() && a == b) return false;
  // A change that cannot be undone makes the older one meaningless too.
  fUndo = canUndo ? TUndo{true, a, fText.substr(a, b - a), insert, false} : TUndo{};
  Splice(a, b, insert);
  return true;
}

bool TTextEditor::TypeText(std::string_view text) {
  if (fReadOnly) return false;
  const std::size_t a = std::min(fCaret, fAnchor), b = std::max(fCaret, fAnchor);
  // Characters typed one after the other undo as one change.
  const bool extend = fUndo.Valid && fUndo.Typing && a == b && a == fUndo.Offset + fUndo.Inserted.size();
  TUndo before = fUndo;
  if (!ReplaceSel(text, true)) {
    fUndo = before;
    return false;
  }
  if (extend) {
    before.Inserted += fUndo.Inserted;
    fUndo = before;
  }
  fUndo.Typing = true;
  return true;
}

bool TTextEditor::DeleteRange(std::size_t from, std::size_t to, bool canUndo) {
  if (from >= to) return false;
  if (canUndo) fUndo = {true, from, fText.substr(from, to - from), String(), false};
  Splice(from, to, {});
  return true;
}

bool TTextEditor::Backspace(bool word) {
  if (fReadOnly) return false;
  if (HasSelection()) return Clear();
  const std::size_t from = word ? PriorWordOffset(fCaret) : PriorOffset(fCaret);
  return DeleteRange(from, fCaret, true);
}

bool TTextEditor::DeleteForward(bool word) {
  if (fReadOnly) return false;
  if (HasSelection()) return Clear();
  const std::size_t to = word ? NextWordOffset(fCaret) : NextOffset(fCaret);
  return DeleteRange(fCaret, to, true);
}

bool TTextEditor::Cut(String& removed) {
  removed.clear();
  if (fReadOnly || !HasSelection()) return false;
  removed = SelText();
  return Clear();
}

bool TTextEditor::Paste(std::string_view text) {
  if (fReadOnly) return false;
  // Bytes that are no UTF-8 character (text another program wrote in another encoding) enter
  // as the replacement character: what the user pastes never makes the text invalid.
  // Valid runs are copied whole: a megabyte pasted into a short edit stays quick.
  String valid;
  valid.reserve(text.size());
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = SequenceLength(text, i);
    if (n == 1) {
      valid.append(text.substr(run, i - run));
      valid += "\xEF\xBF\xBD";
      run = i + 1;
    }
    i += n;
  }
  valid.append(text.substr(run));
  return ReplaceSel(valid, true);
}

bool TTextEditor::Clear() {
  if (fReadOnly) return false;
  return DeleteRange(std::min(fCaret, fAnchor), std::max(fCaret, fAnchor), true);
}

bool TTextEditor::Undo() {
  if (!fUndo.Valid) return false;
  TUndo u = fUndo;
  const std::size_t from = std::min(u.Offset, fText.size());
  const std::size_t to = std::min(from + u.Inserted.size(), fText.size());
  Splice(from, to, u.Removed);
  // The restored text comes back selected; undoing again redoes.
  fAnchor = from;
  fCaret = from + u.Removed.size();
  fUndo = {true, from, u.Inserted, u.Removed, false};
  return true;
}

}  // namespace zv
