#pragma once
// TCustomEdit / TEdit: the host's edit control, single-line or (for descendants such as the
// rich edit) multi-line. The editing itself is the edit's own window procedure, here
// DefaultHandler: key downs, characters, mouse, WM_CUT / WM_COPY / WM_PASTE / WM_CLEAR /
// WM_UNDO, WM_SETTEXT and the EM_ messages reach it after the control's handlers, so a
// descendant intercepts them as on the host: override KeyDown / KeyPress and set the key to
// 0, or override a message handler and call the inherited one (or not).
//
// Keys: arrows, Home/End (Ctrl: the whole text), Ctrl+arrows by word, Shift extends the
// selection; Backspace and Delete (Ctrl: by word) act on WM_KEYDOWN, as do Ctrl+C/X/V/Z/A,
// Shift+Del (cut), Shift+Ins (paste) and Ctrl+Ins (copy). WM_CHAR inserts printable
// characters; in multi-line mode also Enter ("\r", when WantReturns) and Tab (when WantTabs).
// Other control characters are ignored (the system's own WM_CHAR for Backspace included).
//
// Change() (and OnChange) runs once per change of the text, never for a caret move nor for
// setting the same text. Text changed by the user sets Modified; WM_SETTEXT clears it.

#include "platform/classes/ClassesTypes.h"
#include "platform/controls/TextEditing.h"
#include "platform/controls/WinControl.h"

#include <memory>
#include <vector>

namespace zv {

class TCanvas;
class TControlCanvas;

ZV_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase);

class TCustomEdit : public TWinControl {
  ZV_CLASS(TCustomEdit, TWinControl)

public:
  explicit TCustomEdit(TComponent* owner);
  ~TCustomEdit() override;

  // --- Text ------------------------------------------------------------------------------------
  // The host's Text. Virtual so that a masked edit can present its text without literals.
  virtual String Text() const { return WindowText(); }
  virtual void SetText(const String& text) { SetWindowText(text); }
  // The edit's own buffer (the host's window text): what is shown and edited.
  const String& WindowText() const { return fEditor.Text(); }
  // Sends WM_SETTEXT when the text differs.
  void SetWindowText(const String& text);
  int TextLength() const { return fEditor.Length(); }

  // --- Selection (characters) ------------------------------------------------------------------
  int SelStart() const { return fEditor.SelStart(); }
  void SetSelStart(int value);  // collapses the selection there
  int SelLength() const { return fEditor.SelLength(); }
  void SetSelLength(int value);  // from SelStart
  String SelText() const { return fEditor.SelText(); }
  // EM_REPLACESEL (undoable).
  void SetSelText(const String& text);
  // EM_SETSEL: anchor at start, caret at end (-1: the end of the text).
  void SetSel(int start, int end);
  // The caret's character position (the moving end of the selection) and the anchor's.
  int CaretPos() const { return fEditor.CaretPos(); }
  int AnchorPos() const { return fEditor.AnchorPos(); }
  // Client coordinates of a character's top left, and the character nearest a point.
  TPoint PosFromChar(int pos);
  int CharFromPos(TPoint p);

  // --- Operations ------------------------------------------------------------------------------
  void SelectAll();
  void ClearSelection() { Perform(WM_CLEAR); }
  void Clear() { SetText(String()); }
  void CutToClipboard() { Perform(WM_CUT); }
  void CopyToClipboard() { Perform(WM_COPY); }
  void PasteFromClipboard() { Perform(WM_PASTE); }
  bool CanUndo() const { return fEditor.CanUndo(); }
  void Undo() { Perform(WM_UNDO); }
  void ClearUndo() { Perform(EM_EMPTYUNDOBUFFER); }

  // --- Properties ------------------------------------------------------------------------------
  bool Modified() const { return fModified; }
  void SetModified(bool value) { fModified = value; }
  int MaxLength() const { return fEditor.MaxLength(); }
  void SetMaxLength(int value);
  bool ReadOnly() const { return fEditor.ReadOnly(); }
  void SetReadOnly(bool value);
  bool AutoSelect() const { return fAutoSelect; }
  void SetAutoSelect(bool value) { fAutoSelect = value; }
  bool AutoSize() const { return fAutoSize; }
  void SetAutoSize(bool value);
  TEditCharCase CharCase() const { return fCharCase; }
  // Converts the present text too.
  void SetCharCase(TEditCharCase value);
  bool HideSelection() const { return fHideSelection; }
  void SetHideSelection(bool value);
  // 0 shows the text; any other character masks each character and forbids copy and cut.
  char32_t PasswordChar() const { return fPasswordChar; }
  void SetPasswordChar(char32_t value);
  TBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  // Where the text of each line sits when it is narrower than the text rectangle (a wider
  // line scrolls as left-justified text does).
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment value);

  TNotifyEvent OnChange;

  static void DeclareProperties(TPropTable<TCustomEdit>& t);
  void Dispatch(TMessage& message) override;
  // The edit's window procedure.
  void DefaultHandler(TMessage& message) override;

protected:
  // After every change of the text.
  virtual void Change();
  void CreateParams(TCreateParams& params) override;
  // The edit paints itself (PaintWindow), as the system's edit does in its window procedure.
  void WMPaint(TWMPaint& message) override;
  void PaintWindow(TPaintDevice& dc) override;
  void FreeDeviceContexts() override;
  // The model, for descendants that edit by their own rules (a masked edit).
  TTextEditor& Editor() { return fEditor; }
  const TTextEditor& Editor() const { return fEditor; }
  // Redraws and keeps the caret visible after a descendant changed the model directly;
  // textChanged also runs the change notification.
  void EditorChanged(bool textChanged, bool byUser);
  // Where the text is laid out, drawn, hit and scrolled: the client area less the margins
  // (EM_SETMARGINS), unless EM_SETRECT set a rectangle, which holds until the control is sized
  // or the margins change. Single-line text is centred vertically in the default rectangle and
  // sits at the top of a set one, so a descendant places it by the rectangle it sets.
  TRect TextRect() const;
  // Scrolls so that the caret is visible.
  void ScrollCaret();

  // --- Multi-line mode (for memo-like descendants) ---------------------------------------------
  bool MultiLine() const { return fEditor.MultiLine(); }
  void SetMultiLine(bool value);
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return fScrollBars; }
  void SetScrollBars(TScrollStyle value);
  // A bar with nothing to scroll is hidden (true) or shown disabled (false).
  bool HideScrollBars() const { return fHideScrollBars; }
  void SetHideScrollBars(bool value);
  bool WantReturns() const { return fWantReturns; }
  void SetWantReturns(bool value) { fWantReturns = value; }
  bool WantTabs() const { return fWantTabs; }
  void SetWantTabs(bool value) { fWantTabs = value; }
  // Visual lines (after wrapping): count, first shown, and the line holding a position.
  int VisualLineCount();
  int TopLine() const { return fTopLine; }
  int LineOfPos(int pos);
  // Called when the text changed in any way (typing, WM_SETTEXT...), before Change.
  virtual void TextUpdated() {}

  // --- Message handlers: the base ones run the edit's window procedure -------------------------
  virtual void WMCut(TMessage& message);
  virtual void WMCopy(TMessage& message);
  virtual void WMPaste(TMessage& message);
  virtual void WMClear(TMessage& message);
  virtual void WMUndo(TMessage& message);
  // LParam: a null-terminated UTF-8 text.
  virtual void WMSetText(TMessage& message);
  // WParam: can undo; LParam: a null-terminated UTF-8 text.
  virtual void EMReplaceSel(TMessage& message);
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void WMGetDlgCode(TMessage& message) override;
  void WMSize(TWMSize& message) override;
  void WMHScroll(TWMScroll& message) override;
  void WMVScroll(TWMScroll& message) override;
  void CMEnter(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void CMColorChanged(TMessage& message) override;

private:
  struct TVisualLine {
    std::size_t Start = 0;  // byte offsets into the text
    std::size_t End = 0;    // the line's characters end here (before a break)
  };
  // The edit's window procedure, message by message.
  void EditKeyDown(Word key, TShiftState shift);
  void EditChar(char32_t c);
  void EditMouse(TMessage& message);
  bool UserEdit(bool changed);
  String ApplyCharCase(std::string_view text) const;
  String DisplayText(std::size_t from, std::size_t to) const;
  // Layout and measuring.
  void InvalidateLayout();
  const std::vector<TVisualLine>& VisualLines();
  void RelayoutChange(const TTextEditor::TChange& change, int width, bool wrap);
  void WrapLogicalLine(std::size_t start, std::size_t end, int width, bool wrap, std::vector<TVisualLine>& out);
  int LineIndexOfOffset(std::size_t offset);
  int TextWidthOf(std::size_t from, std::size_t to);
  // The top of a visual line, and how far Alignment moves it right.
  int LineTop(int index);
  int AlignOffset(const TVisualLine& line);
  void TextRectChanged(bool redraw);
  int LineHeight();
  TCanvas& Measure();
  std::size_t OffsetAtX(const TVisualLine& line, int x);
  TPoint OffsetToPoint(std::size_t offset);
  std::size_t PointToOffset(TPoint p);
  void MoveVertically(int lines, bool extend);
  void UpdateScrollBars();
  void AdjustHeight();
  void SetTopLine(int line);
  void SetScrollX(int x);
  void InvalidateText();
  void PaintEdit(TCanvas& canvas);
  static String ClipboardText();
  static void SetClipboardText(const String& text);

  TTextEditor fEditor;
  std::unique_ptr<TControlCanvas> fCanvas;
  std::unique_ptr<TCanvas> fMeasureCanvas;
  std::unique_ptr<TPaintDevice> fMeasureDevice;
  std::vector<TVisualLine> fLines;
  bool fLinesValid = false;
  int fLayoutWidth = -1;
  int fScrollX = 0;
  int fTopLine = 0;
  int fDesiredX = -1;  // kept across Up/Down
  bool fModified = false;
  bool fAutoSelect = true;
  bool fAutoSize = true;
  bool fHideSelection = true;
  bool fWordWrap = false;
  bool fWantReturns = true;
  bool fWantTabs = false;
  bool fMouseSelecting = false;
  bool fUpdatingScrollBars = false;
  bool fHideScrollBars = false;
  TEditCharCase fCharCase = ecNormal;
  char32_t fPasswordChar = 0;
  TBorderStyle fBorderStyle = bsSingle;
  TScrollStyle fScrollBars = ssNone;
  TAlignment fAlignment = taLeftJustify;
  TRect fTextRect;  // set by EM_SETRECT when fTextRectSet
  bool fTextRectSet = false;
  int fLeftMargin = 1;
  int fRightMargin = 1;
};

// TEdit publishes TCustomEdit's properties.
class TEdit : public TCustomEdit {
  ZV_CLASS(TEdit, TCustomEdit)

public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
  static void DeclareProperties(TPropTable<TEdit>& t);
};

}  // namespace zv
