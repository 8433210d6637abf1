#pragma once
// TTextEditor: the editing model behind the edit controls, with no window and no painting.
// It holds the text (UTF-8), the caret and the selection anchor, a one-level undo, the
// maximum length and the read-only flag, and does what the keyboard and the clipboard ask.
//
// Positions count characters (code points) as the host's SelStart does; a line break
// "\r\n" counts as two, but the caret never stands between its halves and one step crosses
// both. Internally positions are byte offsets that always fall on a character boundary, so
// caret moves are cheap whatever the length of the text.
//
// The user-level operations (TypeText, Backspace, DeleteForward, Cut, Paste, UserUndo) refuse
// when read-only and return false; the programmatic ones (SetText, ReplaceSel, Undo) do not.
// Every operation that changes the text returns true, and only then.

#include "platform/rtl/StringUtils.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace zv {

class TTextEditor {
public:
  TTextEditor() = default;

  // --- Text ----------------------------------------------------------------------------------
  const String& Text() const { return fText; }
  // Replaces the whole text: caret at the start, nothing selected, undo cleared. In a
  // single-line editor the text is kept up to its first line break; the maximum length is
  // not applied (as the host's WM_SETTEXT). False when the text stays the same.
  bool SetText(std::string_view text);
  int Length() const { return fLength; }
  // Single-line text stops at the first line break; multi-line text turns lone "\n" and "\r"
  // into "\r\n".
  bool MultiLine() const { return fMultiLine; }
  void SetMultiLine(bool value) { fMultiLine = value; }
  // 0 means no limit. Text already longer stays.
  int MaxLength() const { return fMaxLength; }
  void SetMaxLength(int value) { fMaxLength = value < 0 ? 0 : value; }
  bool ReadOnly() const { return fReadOnly; }
  void SetReadOnly(bool value) { fReadOnly = value; }

  // --- Caret and selection -------------------------------------------------------------------
  int CaretPos() const { return PosOf(fCaret); }
  int AnchorPos() const { return PosOf(fAnchor); }
  int SelStart() const;
  int SelLength() const;
  bool HasSelection() const { return fCaret != fAnchor; }
  String SelText() const;
  // As EM_SETSEL: the anchor at start, the caret at end; a negative end (or one past the
  // text) means the end of the text, a negative start removes the selection (caret kept).
  void SetSel(int start, int end);
  void SelectAll() { SetSel(0, -1); }
  // Moves the caret to pos; extend keeps the anchor (Shift), otherwise the selection goes.
  void MoveTo(int pos, bool extend);
  void MoveToByte(std::size_t offset, bool extend);

  // --- Navigation targets (positions) --------------------------------------------------------
  int NextPos(int pos) const { return PosOf(NextOffset(OffsetOf(pos))); }
  int PriorPos(int pos) const { return PosOf(PriorOffset(OffsetOf(pos))); }
  // The start of the next word (Ctrl+Right) and of this or the previous one (Ctrl+Left).
  int NextWordPos(int pos) const { return PosOf(NextWordOffset(OffsetOf(pos))); }
  int PriorWordPos(int pos) const { return PosOf(PriorWordOffset(OffsetOf(pos))); }
  // The word (or run of spaces, or punctuation) around pos, for a double click.
  void WordAt(int pos, int& start, int& end) const;

  // --- Byte offsets ----------------------------------------------------------------------------
  std::size_t CaretOffset() const { return fCaret; }
  std::size_t AnchorOffset() const { return fAnchor; }
  std::size_t OffsetOf(int pos) const;
  int PosOf(std::size_t offset) const;
  // The boundaries around a byte offset (a line break is one step).
  std::size_t NextOffset(std::size_t offset) const;
  std::size_t PriorOffset(std::size_t offset) const;
  std::size_t NextWordOffset(std::size_t offset) const;
  std::size_t PriorWordOffset(std::size_t offset) const;
  // Snaps an offset back onto a boundary (out of a UTF-8 sequence or a "\r\n").
  std::size_t Snap(std::size_t offset) const;

  // --- Editing -------------------------------------------------------------------------------
  // Replaces the selection with text, cut to what the maximum length still allows, with the
  // caret after it. canUndo records it for Undo. A partial line break never goes in.
  bool ReplaceSel(std::string_view text, bool canUndo = true);
  // Typing: replaces the selection; consecutive typed characters undo together.
  bool TypeText(std::string_view text);
  // Backspace / Delete: the selection when there is one, else the character (word with
  // word set) before / after the caret.
  bool Backspace(bool word);
  bool DeleteForward(bool word);
  // The clipboard side is the caller's: Cut returns the removed text in removed.
  bool Cut(String& removed);
  // Invalid UTF-8 bytes in text enter as U+FFFD.
  bool Paste(std::string_view text);
  bool Clear();  // deletes the selection

  // One level, as the host's edit: undoing twice redoes.
  bool CanUndo() const { return fUndo.Valid; }
  bool Undo();
  bool UserUndo() { return !fReadOnly && Undo(); }
  void ClearUndo() { fUndo = {}; }

  // What changed since the last TakeChange, so that a view can lay out only that: bytes
  // [Offset, Offset + Inserted) of the text replaced Removed bytes there; Whole after SetText.
  struct TChange {
    bool Any = false;
    bool Whole = false;
    std::size_t Offset = 0;
    std::size_t Removed = 0;
    std::size_t Inserted = 0;
  };
  TChange TakeChange() { return std::exchange(fChange, TChange{}); }

  // Text as it would be inserted: line breaks normalized (multi-line) or cut at the first
  // one (single-line), and shortened to room characters (no limit when negative).
  String PrepareInsert(std::string_view text, int room) const;

private:
  struct TUndo {
    bool Valid = false;
    std::size_t Offset = 0;  // where Inserted now stands
    String Removed;          // what the change took out
    String Inserted;         // what it put in
    bool Typing = false;     // still open for more typed characters
  };
  // The raw change: [from, to) becomes text; caret after it, anchor too.
  void Splice(std::size_t from, std::size_t to, std::string_view text);
  void RecordChange(std::size_t from, std::size_t to, std::size_t inserted);
  bool DeleteRange(std::size_t from, std::size_t to, bool canUndo);
  bool IsWordChar(std::size_t offset) const;

  String fText;
  int fLength = 0;  // code points
  std::size_t fCaret = 0;
  std::size_t fAnchor = 0;
  int fMaxLength = 0;
  bool fReadOnly = false;
  bool fMultiLine = false;
  TUndo fUndo;
  TChange fChange;
};

// Code points in a UTF-8 text, by the same rules as Length (an invalid byte is one).
int CountCodePoints(std::string_view text);

}  // namespace zv
