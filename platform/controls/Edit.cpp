#include "platform/controls/Edit.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/WinApi.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/graphics/TextBreak.h"

#include <algorithm>
#include <cstring>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TCustomEdit, TWinControl)
ZV_DEFINE_CLASS_WITH_PROPS(TEdit, TCustomEdit)

String TCustomEdit::ClipboardText() { return Clipboard()->AsText(); }
void TCustomEdit::SetClipboardText(const String& text) { Clipboard()->SetAsText(text); }

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner), fCanvas(std::make_unique<TControlCanvas>()) {
  fCanvas->SetControl(this);
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight});
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomEdit::~TCustomEdit() {
  Destroying();
  fCanvas->FreeHandle();
}

// --- Text and selection ---------------------------------------------------------------------------

void TCustomEdit::SetWindowText(const String& text) {
  if (text == fEditor.Text()) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Perform(CM_TEXTCHANGED);
}

void TCustomEdit::SetSelStart(int value) { SetSel(value, value); }

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  SetSel(start, start + std::max(0, value));
}

void TCustomEdit::SetSelText(const String& text) {
  Perform(EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomEdit::SetSel(int start, int end) {
  Perform(EM_SETSEL, static_cast<WPARAM>(static_cast<LPARAM>(start)), end);
}

void TCustomEdit::SelectAll() { SetSel(0, -1); }

TPoint TCustomEdit::PosFromChar(int pos) { return OffsetToPoint(fEditor.OffsetOf(pos)); }
int TCustomEdit::CharFromPos(TPoint p) { return fEditor.PosOf(PointToOffset(p)); }

// --- Properties ---------------------------------------------------------------------------------------

void TCustomEdit::SetMaxLength(int value) { Perform(EM_LIMITTEXT, static_cast<WPARAM>(std::max(0, value))); }

void TCustomEdit::SetReadOnly(bool value) { Perform(EM_SETREADONLY, value ? 1 : 0); }

void TCustomEdit::SetAutoSize(bool value) {
  if (fAutoSize == value) return;
  fAutoSize = value;
  if (value) AdjustHeight();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (fCharCase == value) return;
  fCharCase = value;
  if (value != ecNormal) {
    const String converted = ApplyCharCase(fEditor.Text());
    if (converted != fEditor.Text()) {
      const int start = fEditor.AnchorPos(), end = fEditor.CaretPos();
      SetWindowText(converted);
      fEditor.SetSel(start, end);
    }
  }
}

void TCustomEdit::SetHideSelection(bool value) {
  if (fHideSelection == value) return;
  fHideSelection = value;
  Invalidate();
}

void TCustomEdit::SetPasswordChar(char32_t value) { Perform(EM_SETPASSWORDCHAR, value); }

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value != bsNone) value = bsSingle;
  if (fBorderStyle == value) return;
  fBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
  if (fAutoSize) AdjustHeight();
}

void TCustomEdit::SetAlignment(TAlignment value) {
  if (fAlignment == value) return;
  fAlignment = value;
  Invalidate();
}

void TCustomEdit::SetMultiLine(bool value) {
  if (MultiLine() == value) return;
  fEditor.SetMultiLine(value);
  InvalidateLayout();
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::SetWordWrap(bool value) {
  if (fWordWrap == value) return;
  fWordWrap = value;
  fScrollX = 0;
  InvalidateLayout();
  ScrollCaret();
  Invalidate();
}

void TCustomEdit::SetScrollBars(TScrollStyle value) {
  if (fScrollBars == value) return;
  fScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomEdit::AdjustHeight() {
  if (!fAutoSize || MultiLine() || !HasGraphicsBackend()) return;
  const int edge = fBorderStyle == bsSingle ? GetSystemMetrics(SM_CYEDGE) * 4 : 2;
  SetHeight(LineHeight() + edge);
}

String TCustomEdit::ApplyCharCase(std::string_view text) const {
  switch (fCharCase) {
    case ecUpperCase: return AnsiUpperCase(text);
    case ecLowerCase: return AnsiLowerCase(text);
    default: return String(text);
  }
}

// --- Change notification -------------------------------------------------------------------------------

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::EditorChanged(bool textChanged, bool byUser) {
  // The layout follows the editor's own record of what changed (see VisualLines).
  if (textChanged && byUser) fModified = true;
  fDesiredX = -1;
  ScrollCaret();
  Invalidate();
  if (textChanged) {
    TextUpdated();
    Change();
  }
}

bool TCustomEdit::UserEdit(bool changed) {
  EditorChanged(changed, true);
  return changed;
}

// --- Message routing ---------------------------------------------------------------------------------

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_CUT: return WMCut(m);
    case WM_COPY: return WMCopy(m);
    case WM_PASTE: return WMPaste(m);
    case WM_CLEAR: return WMClear(m);
    case WM_UNDO: return WMUndo(m);
    case WM_SETTEXT: return WMSetText(m);
    case EM_REPLACESEL: return EMReplaceSel(m);
    default: return TWinControl::Dispatch(m);
  }
}

void TCustomEdit::WMCut(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::WMCopy(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::WMPaste(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::WMClear(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::WMUndo(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::WMSetText(TMessage& m) { DefaultHandler(m); }
void TCustomEdit::EMReplaceSel(TMessage& m) { DefaultHandler(m); }

void TCustomEdit::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      EditKeyDown(static_cast<Word>(m.WParam), KeyDataToShiftState(m.LParam) + KeyboardStateToShiftState());
      return;
    case WM_SYSKEYDOWN:
      // Alt+Backspace undoes, as in the system's edit.
      if (m.WParam == VK_BACK) {
        Perform(WM_UNDO);
        return;
      }
      break;
    case WM_CHAR: EditChar(static_cast<char32_t>(m.WParam)); return;
    case WM_MOUSEWHEEL:
      if (MultiLine()) {
        const int notches = static_cast<std::int16_t>(HiWord(m.WParam)) / WHEEL_DELTA;
        SetTopLine(fTopLine - notches * 3);
        m.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: EditMouse(m); return;
    case WM_SETCURSOR:
      if (static_cast<std::int16_t>(LoWord(static_cast<std::uintptr_t>(m.LParam))) == HTCLIENT) {
        if (Parent() && Parent()->HandleAllocated() &&
            SendMessage(Parent()->Handle(), WM_SETCURSOR, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
        zv::SetCursor(crIBeam);
        m.Result = 1;
        return;
      }
      break;
    case WM_CUT:
      if (fPasswordChar == 0 && !fEditor.ReadOnly() && fEditor.HasSelection()) {
        String removed;
        const bool changed = fEditor.Cut(removed);
        SetClipboardText(removed);
        UserEdit(changed);
      }
      return;
    case WM_COPY:
      if (fPasswordChar == 0 && fEditor.HasSelection()) SetClipboardText(fEditor.SelText());
      return;
    case WM_PASTE:
      if (!fEditor.ReadOnly()) {
        const String text = ClipboardText();
        if (!text.empty()) UserEdit(fEditor.Paste(ApplyCharCase(text)));
      }
      return;
    case WM_CLEAR: UserEdit(fEditor.Clear()); return;
    case WM_UNDO:
    case EM_UNDO: m.Result = UserEdit(fEditor.UserUndo()) ? 1 : 0; return;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(m.LParam);
      const bool changed = fEditor.SetText(ApplyCharCase(text ? text : ""));
      fModified = false;
      fScrollX = 0;
      fTopLine = 0;
      EditorChanged(changed, false);
      m.Result = 1;
      return;
    }
    case WM_GETTEXTLENGTH: m.Result = static_cast<LRESULT>(fEditor.Text().size()); return;
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(m.LParam);
      if (!buffer || m.WParam == 0) return;
      const std::size_t n = std::min<std::size_t>(fEditor.Text().size(), m.WParam - 1);
      std::memcpy(buffer, fEditor.Text().data(), n);
      buffer[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      return;
    }
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(m.LParam);
      const bool changed = fEditor.ReplaceSel(ApplyCharCase(text ? text : ""), m.WParam != 0);
      EditorChanged(changed, false);
      return;
    }
    case EM_SETSEL: {
      fEditor.SetSel(static_cast<int>(static_cast<LPARAM>(m.WParam)), static_cast<int>(m.LParam));
      fDesiredX = -1;
      ScrollCaret();
      Invalidate();
      return;
    }
    case EM_GETSEL: {
      const int start = fEditor.SelStart(), end = start + fEditor.SelLength();
      m.Result = MakeLParam(static_cast<Word>(start), static_cast<Word>(end));
      if (m.WParam) *reinterpret_cast<int*>(m.WParam) = start;
      if (m.LParam) *reinterpret_cast<int*>(m.LParam) = end;
      return;
    }
    case EM_SETREADONLY: fEditor.SetReadOnly(m.WParam != 0); Invalidate(); m.Result = 1; return;
    case EM_LIMITTEXT: fEditor.SetMaxLength(static_cast<int>(m.WParam)); return;
    case EM_GETLIMITTEXT: m.Result = fEditor.MaxLength(); return;
    case EM_CANUNDO: m.Result = fEditor.CanUndo() ? 1 : 0; return;
    case EM_EMPTYUNDOBUFFER: fEditor.ClearUndo(); return;
    case EM_GETMODIFY: m.Result = fModified ? 1 : 0; return;
    case EM_SETMODIFY: fModified = m.WParam != 0; return;
    case EM_SETPASSWORDCHAR:
      fPasswordChar = static_cast<char32_t>(m.WParam);
      InvalidateLayout();
      Invalidate();
      return;
    case EM_GETPASSWORDCHAR: m.Result = static_cast<LRESULT>(fPasswordChar); return;
    case EM_SCROLLCARET: ScrollCaret(); Invalidate(); return;
    case EM_GETLINECOUNT: m.Result = VisualLineCount(); return;
    case EM_LINEFROMCHAR: {
      const int pos = static_cast<int>(static_cast<LPARAM>(m.WParam));
      m.Result = LineOfPos(pos < 0 ? fEditor.CaretPos() : pos);
      return;
    }
    case EM_LINEINDEX: {
      const int line = static_cast<int>(static_cast<LPARAM>(m.WParam));
      const auto& lines = VisualLines();
      const int index = line < 0 ? LineIndexOfOffset(fEditor.CaretOffset()) : line;
      m.Result = index < static_cast<int>(lines.size()) ? fEditor.PosOf(lines[static_cast<std::size_t>(index)].Start) : -1;
      return;
    }
    case EM_LINELENGTH: {
      const int pos = static_cast<int>(static_cast<LPARAM>(m.WParam));
      const auto& line = VisualLines()[static_cast<std::size_t>(LineOfPos(pos < 0 ? fEditor.CaretPos() : pos))];
      m.Result = CountCodePoints(std::string_view(fEditor.Text()).substr(line.Start, line.End - line.Start));
      return;
    }
    case EM_GETRECT:
      if (m.LParam) *reinterpret_cast<TRect*>(m.LParam) = TextRect();
      return;
    case EM_SETRECT:
    case EM_SETRECTNP: {
      // No rectangle: back to the client area less the margins; WParam 1: the rectangle's
      // sides move the present ones by that much.
      const auto* r = reinterpret_cast<const TRect*>(m.LParam);
      if (!r) {
        fTextRectSet = false;
      } else {
        TRect next = *r;
        if (m.WParam == 1) {
          const TRect now = TextRect();
          next = TRect{now.Left + r->Left, now.Top + r->Top, now.Right + r->Right, now.Bottom + r->Bottom};
        }
        fTextRect = next;
        fTextRectSet = true;
      }
      TextRectChanged(m.Msg == EM_SETRECT);
      return;
    }
    case EM_SETMARGINS: {
      const unsigned flags = static_cast<unsigned>(m.WParam);
      int left = LoWord(static_cast<std::uintptr_t>(m.LParam)), right = HiWord(static_cast<std::uintptr_t>(m.LParam));
      if (flags == EC_USEFONTINFO) {
        // Margins from the font: half an average character on each side.
        left = right = HasGraphicsBackend() ? std::max(1, Measure().TextWidth("x") / 2) : 1;
        fLeftMargin = left;
        fRightMargin = right;
      } else {
        if (flags & EC_LEFTMARGIN) fLeftMargin = left;
        if (flags & EC_RIGHTMARGIN) fRightMargin = right;
      }
      fTextRectSet = false;
      TextRectChanged(true);
      return;
    }
    case EM_GETMARGINS:
      m.Result = MakeLParam(static_cast<Word>(fLeftMargin), static_cast<Word>(fRightMargin));
      return;
    case EM_GETFIRSTVISIBLELINE: m.Result = fTopLine; return;
    case EM_POSFROMCHAR: {
      const TPoint p = PosFromChar(static_cast<int>(m.WParam));
      m.Result = MakeLParam(static_cast<Word>(p.X), static_cast<Word>(p.Y));
      return;
    }
    case EM_CHARFROMPOS: m.Result = CharFromPos(LParamToPoint(m.LParam)); return;
    default: break;
  }
  TWinControl::DefaultHandler(m);
}

// --- Keyboard --------------------------------------------------------------------------------------------

void TCustomEdit::EditKeyDown(Word key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl), extend = shift.Contains(ssShift);
  auto move = [&](std::size_t offset) {
    fEditor.MoveToByte(offset, extend);
    if (key != VK_UP && key != VK_DOWN && key != VK_PRIOR && key != VK_NEXT) fDesiredX = -1;
    ScrollCaret();
    Invalidate();
  };
  const std::size_t caret = fEditor.CaretOffset();
  const std::size_t selFrom = std::min(caret, fEditor.AnchorOffset());
  const std::size_t selTo = std::max(caret, fEditor.AnchorOffset());
  switch (key) {
    case VK_LEFT:
      if (fEditor.HasSelection() && !extend && !ctrl) return move(selFrom);
      return move(ctrl ? fEditor.PriorWordOffset(caret) : fEditor.PriorOffset(caret));
    case VK_RIGHT:
      if (fEditor.HasSelection() && !extend && !ctrl) return move(selTo);
      return move(ctrl ? fEditor.NextWordOffset(caret) : fEditor.NextOffset(caret));
    case VK_UP:
    case VK_DOWN:
      if (!MultiLine()) return move(key == VK_UP ? fEditor.PriorOffset(caret) : fEditor.NextOffset(caret));
      MoveVertically(key == VK_UP ? -1 : 1, extend);
      return;
    case VK_PRIOR:
    case VK_NEXT:
      if (MultiLine()) {
        const int page = std::max(1, TextRect().Height() / std::max(1, LineHeight()));
        MoveVertically(key == VK_PRIOR ? -page : page, extend);
      }
      return;
    case VK_HOME:
      if (ctrl || !MultiLine()) return move(0);
      return move(VisualLines()[static_cast<std::size_t>(LineIndexOfOffset(caret))].Start);
    case VK_END: {
      if (ctrl || !MultiLine()) return move(fEditor.Text().size());
      const auto& lines = VisualLines();
      const std::size_t index = static_cast<std::size_t>(LineIndexOfOffset(caret));
      std::size_t end = lines[index].End;
      // A wrapped line ends where the next begins; the caret stays before the break's space.
      if (index + 1 < lines.size() && lines[index + 1].Start == end && end > lines[index].Start)
        end = fEditor.PriorOffset(end);
      return move(end);
    }
    case VK_DELETE:
      if (extend && !ctrl) {
        Perform(WM_CUT);
      } else if (!fEditor.HasSelection()) {
        UserEdit(fEditor.DeleteForward(ctrl));
      } else {
        Perform(WM_CLEAR);
      }
      return;
    case VK_BACK: UserEdit(fEditor.Backspace(ctrl)); return;
    case VK_INSERT:
      if (extend && !ctrl) Perform(WM_PASTE);
      if (ctrl && !extend) Perform(WM_COPY);
      return;
    default: break;
  }
  if (ctrl && !shift.Contains(ssAlt)) {
    switch (key) {
      case 'C': Perform(WM_COPY); return;
      case 'X': Perform(WM_CUT); return;
      case 'V': Perform(WM_PASTE); return;
      case 'Z': Perform(WM_UNDO); return;
      case 'A': SelectAll(); return;
      default: break;
    }
  }
}

void TCustomEdit::EditChar(char32_t c) {
  if (c == 0 || c == 0x7F) return;
  String text;
  if (c < 0x20) {
    // Enter and Tab are characters of a multi-line edit; Ctrl+Enter (a line feed) always is.
    if (!MultiLine()) return;
    if ((c == '\r' && fWantReturns) || c == '\n')
      text = "\r\n";
    else if (c == '\t' && fWantTabs)
      text = "\t";
    else
      return;
  } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return;
  } else {
    text = ApplyCharCase(CodePointToUTF8(c));
  }
  UserEdit(fEditor.TypeText(text));
}

// --- Mouse -------------------------------------------------------------------------------------------------

void TCustomEdit::EditMouse(TMessage& m) {
  const TPoint p = LParamToPoint(m.LParam);
  const unsigned keys = static_cast<unsigned>(m.WParam);
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (!Focused() && CanFocus()) SetFocus();
      fEditor.MoveToByte(PointToOffset(p), (keys & MK_SHIFT) != 0);
      fMouseSelecting = true;
      break;
    case WM_LBUTTONDBLCLK: {
      if (!Focused() && CanFocus()) SetFocus();
      // A password has no visible words: the whole text is the word.
      int start = 0, end = -1;
      if (fPasswordChar == 0) fEditor.WordAt(fEditor.PosOf(PointToOffset(p)), start, end);
      fEditor.SetSel(start, end);
      fMouseSelecting = false;
      break;
    }
    case WM_MOUSEMOVE:
      if (!fMouseSelecting || !(keys & MK_LBUTTON)) return;
      fEditor.MoveToByte(PointToOffset(p), true);
      break;
    case WM_LBUTTONUP: fMouseSelecting = false; return;
    default: return;
  }
  fDesiredX = -1;
  ScrollCaret();
  Invalidate();
}

// --- Focus, size, fonts ------------------------------------------------------------------------------------

void TCustomEdit::WMSetFocus(TWMSetFocus& m) {
  TWinControl::WMSetFocus(m);
  Invalidate();
}

void TCustomEdit::WMKillFocus(TWMKillFocus& m) {
  TWinControl::WMKillFocus(m);
  fMouseSelecting = false;
  Invalidate();
}

void TCustomEdit::CMEnter(TMessage& m) {
  // Entering by the keyboard selects everything; a click places the caret instead.
  if (fAutoSelect && !ControlState().Contains(csLButtonDown) && !MultiLine()) SelectAll();
  TWinControl::CMEnter(m);
}

void TCustomEdit::WMGetDlgCode(TMessage& m) {
  unsigned code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
  if (MultiLine()) {
    if (fWantReturns) code |= DLGC_WANTALLKEYS;
    if (fWantTabs) code |= DLGC_WANTTAB;
  }
  m.Result = static_cast<LRESULT>(code);
}

void TCustomEdit::WMSize(TWMSize& m) {
  // Sizing gives the text the new client area: a rectangle set before is dropped.
  fTextRectSet = false;
  TWinControl::WMSize(m);
  InvalidateLayout();
  if (HandleAllocated()) {
    ScrollCaret();
    Invalidate();
  }
}

void TCustomEdit::WMHScroll(TWMScroll& m) {
  const int page = std::max(1, TextRect().Width());
  const int step = std::max(1, LineHeight());
  switch (m.ScrollCode()) {
    case SB_LINELEFT: SetScrollX(fScrollX - step); break;
    case SB_LINERIGHT: SetScrollX(fScrollX + step); break;
    case SB_PAGELEFT: SetScrollX(fScrollX - page); break;
    case SB_PAGERIGHT: SetScrollX(fScrollX + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetScrollX(m.Pos()); break;
    case SB_LEFT: SetScrollX(0); break;
    default: break;
  }
}

void TCustomEdit::WMVScroll(TWMScroll& m) {
  const int page = std::max(1, TextRect().Height() / std::max(1, LineHeight()));
  switch (m.ScrollCode()) {
    case SB_LINEUP: SetTopLine(fTopLine - 1); break;
    case SB_LINEDOWN: SetTopLine(fTopLine + 1); break;
    case SB_PAGEUP: SetTopLine(fTopLine - page); break;
    case SB_PAGEDOWN: SetTopLine(fTopLine + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: SetTopLine(m.Pos()); break;
    case SB_TOP: SetTopLine(0); break;
    case SB_BOTTOM: SetTopLine(VisualLineCount()); break;
    default: break;
  }
}

void TCustomEdit::CMFontChanged(TMessage& m) {
  TWinControl::CMFontChanged(m);
  InvalidateLayout();
  AdjustHeight();
  Invalidate();
}

void TCustomEdit::CMEnabledChanged(TMessage& m) {
  TWinControl::CMEnabledChanged(m);
  Invalidate();
}

void TCustomEdit::CMColorChanged(TMessage& m) {
  TWinControl::CMColorChanged(m);
  Invalidate();
}

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (MultiLine()) {
    params.Style |= ES_MULTILINE;
    if (fScrollBars == ssVertical || fScrollBars == ssBoth) params.Style |= WS_VSCROLL;
    if ((fScrollBars == ssHorizontal || fScrollBars == ssBoth) && !fWordWrap) params.Style |= WS_HSCROLL;
  }
  if (fBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
  if (fAlignment == taRightJustify) params.Style |= ES_RIGHT;
  if (fAlignment == taCenter) params.Style |= ES_CENTER;
  if (fEditor.ReadOnly()) params.Style |= ES_READONLY;
  if (fPasswordChar != 0) params.Style |= ES_PASSWORD;
  if (!fHideSelection) params.Style |= ES_NOHIDESEL;
  if (fCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (fCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
  params.WindowClassStyle |= CS_DBLCLKS;
}

void TCustomEdit::FreeDeviceContexts() {
  TWinControl::FreeDeviceContexts();
  fCanvas->FreeHandle();
}

// --- Properties table -------------------------------------------------------------------------------------

// Declared here for every edit (TEdit, a masked edit, a rich edit) to publish what it shows.
void TCustomEdit::DeclareProperties(TPropTable<TCustomEdit>& t) {
  t.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1).Unpublished();
  t.Prop("AutoSize", &TCustomEdit::AutoSize, &TCustomEdit::SetAutoSize).Default(1).Unpublished();
  t.Prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle).Default(bsSingle).Unpublished();
  t.Prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal).Unpublished();
  t.Prop("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection).Default(1).Unpublished();
  t.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0).Unpublished();
  t.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(0).Unpublished();
  t.Prop("Text", &TCustomEdit::Text, &TCustomEdit::SetText).Unpublished();
  // Edits take part in tabbing unless told otherwise.
  t.Prop("TabStop", &TCustomEdit::TabStop, &TCustomEdit::SetTabStop)
      .Default(1)
      .Unpublished();
  t.Event("OnChange", &TCustomEdit::OnChange).Unpublished();
  t.Prop("Alignment", &TCustomEdit::Alignment, &TCustomEdit::SetAlignment).Default(taLeftJustify).Unpublished();
  DeclareSizing(t);
}

// The host's TEdit list, less what this host has no property for.
void TEdit::DeclareProperties(TPropTable<TEdit>& t) {
  for (const char* name :
       {"Alignment", "Anchors", "AutoSelect", "AutoSize", "BorderStyle", "CharCase", "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled",
        "Font", "HideSelection", "MaxLength", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ReadOnly",
        "ShowHint", "TabOrder", "TabStop", "Text", "Visible", "OnChange", "OnClick", "OnContextPopup", "OnDblClick",
        "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
        "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDrag"})
    t.Publish(name);
}

}  // namespace zv
