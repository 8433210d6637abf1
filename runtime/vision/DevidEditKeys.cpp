// TDBDevidEdit: keys, characters, dialog codes, clipboard and editing messages, accelerators,
// and the message routing of a custom surface.

#include "runtime/vision/DevidEdit.h"

#include "platform/controls/WinApi.h"
#include "runtime/vision/EditSwitchers.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/ToolFormLink.h"

namespace zv {

// The accelerator test of the host's labels (StdCtrls).
bool IsAccel(char32_t key, const String& caption);

namespace {

IVisionToolForm* ToolFormOf(TWinControl* control) { return dynamic_cast<IVisionToolForm*>(control); }

bool IsModifierKey(Word key) { return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU; }

}  // namespace

bool TDBDevidEdit::CloseToolForm(bool post) {
  if (!fToolForm) return false;
  if (IVisionToolForm* form = ToolFormOf(fToolForm))
    form->ClosePopup(post, true);
  else
    tfSetToolForm(nullptr);
  return true;
}

bool TDBDevidEdit::PostAndSelect() {
  const bool posted = PostField();
  SelectAll();
  return posted;
}

// ---- The key operations a descendant redefines ------------------------------------------------

void TDBDevidEdit::DoEscapeKey() {
  if (!CloseToolForm(false)) ResetEdit();
}

bool TDBDevidEdit::DoReturnKey(TShiftState shift) {
  if (CloseToolForm(true)) return true;
  const bool exactlyCtrl = shift == TShiftState{ssCtrl};
  // With returns wanted Enter is a new line and only Ctrl+Enter posts; otherwise Enter posts
  // and Ctrl+Enter is left alone.
  if (WantReturnsAny() ? exactlyCtrl : !exactlyCtrl) return PostAndSelect();
  return false;
}

bool TDBDevidEdit::DoArrowKey(bool up, TShiftState shift) {
  (void)shift;
  TvpFieldVision* vision = fFields->Vision();
  if (!vision || !vision->EnableButton() || vision->ButtonStyle() != pbsSpin) return false;
  vision->ButtonClick(*this, up ? vbsShortCut : vbsShortCut2);
  return true;
}

bool TDBDevidEdit::DoLeftRightKey(bool left) {
  (void)left;
  return false;
}

bool TDBDevidEdit::DoTabKey(TShiftState shift) {
  (void)shift;
  CloseToolForm(true);
  return false;
}

void TDBDevidEdit::DoMouseWheelMsg(TMessage& message) { (void)message; }

// ---- Keys -------------------------------------------------------------------------------------

void TDBDevidEdit::KeyDown(Word& key, TShiftState shift) {
  if (fMouseUpLock || fUpdating) return TCustomMaskEdit::KeyDown(key, shift);
  const Word original = key;
  TvpFieldVision* vision = fFields->Vision();
  if (vision && vision->EnableSwitches() && !IsModifierKey(key) && fSwitchTracker->KeyDown(0, key, shift)) key = 0;

  if (key != 0 && CustomSurface()) {
    const unsigned msg = key == VK_INSERT && shift == TShiftState{ssShift}  ? WM_PASTE
                         : key == VK_INSERT && shift == TShiftState{ssCtrl} ? WM_COPY
                         : key == VK_DELETE && shift == TShiftState{ssShift} ? WM_CUT
                                                                             : 0;
    if (msg) {
      Perform(msg);
      key = 0;
    }
  }

  if (key != 0 && key != VK_RETURN && key != VK_ESCAPE) {
    if (IVisionToolForm* form = ToolFormOf(fToolForm)) form->UserKeyDown(key, shift);
    if (key != 0 && vision) vision->PE_KeyDown(*this, key, shift);
  }

  switch (key) {
    case VK_TAB:
      if (DoTabKey(shift)) key = 0;
      break;
    case VK_RETURN:
      if (vision && vision->EnableButton() && shift.Contains(ssCtrl) &&
          (vision->ButtonStyle() == pbsEllipsis || vision->ButtonStyle() == pbsCustom)) {
        vision->ButtonClick(*this, vbsShortCut);
        key = 0;
      } else if (DoReturnKey(shift)) {
        key = 0;
      }
      break;
    case VK_ESCAPE:
      DoEscapeKey();
      key = 0;
      break;
    case VK_LEFT:
    case VK_RIGHT:
      if (DoLeftRightKey(key == VK_LEFT)) key = 0;
      break;
    case VK_UP:
    case VK_DOWN:
      if (key == VK_DOWN && shift.Contains(ssAlt)) {
        if (vision && ((vision->EnableButton() && vision->ButtonStyle() == pbsDropDown) || fToolForm)) {
          vision->ButtonClick(*this, vbsShortCut);
          key = 0;
        } else if (vision && vision->SupportsDropDownOption(ddoAlwaysEnableAltDown)) {
          vision->ButtonClick(*this, vbsDropDown);
          key = 0;
        }
      } else if (DoArrowKey(key == VK_UP, shift)) {
        key = 0;
      }
      break;
    default: break;
  }

  if (original != 0 && key == 0) RemoveDeadMsgs(true);
  if ((key == VK_BACK || key == VK_TAB || key == VK_DELETE) && Editable()) BeginEdit();
  TCustomMaskEdit::KeyDown(key, shift);
  fAutoCompleteAllowed = original != VK_BACK && original != VK_DELETE;
}

void TDBDevidEdit::KeyUp(Word& key, TShiftState shift) {
  const Word original = key;
  TCustomMaskEdit::KeyUp(key, shift);
  fSwitchTracker->KeyUp(original);
}

void TDBDevidEdit::KeyPress(char32_t& key) {
  TvpFieldVision* vision = fFields->Vision();
  if (!fMouseUpLock && fFields->Valid() && vision) {
    if (key == U'\r' && !WantReturnsAny()) key = 0;
    // A masked text has fixed places and no room for a line: the Enter is refused as a character
    // is, audibly. (The grid's editor has acted on Enter already when its character comes.)
    if (key == U'\r' && !fIsInplace && IsMasked()) {
      MessageBeep(0);
      key = 0;
    }
    if (key >= U' ' && !CustomSurface() && !vision->IsValidChar(*fFields, key)) {
      MessageBeep(0);
      key = 0;
    }
    if (Editable() && (key == 8 || key == 9 || key == 10 || key == 13 || key >= U' ')) BeginEdit();
    if (CustomSurface() && (key == 3 || key == 22 || key == 24)) {
      Perform(key == 3 ? WM_COPY : key == 22 ? WM_PASTE : WM_CUT);
      key = 0;
    }
    if (key != 0 && vision->SupportsDropDownOption(ddoShowOnTyping) && !vision->EditReadOnly() &&
        !vision->ReadOnly() && !ReadOnly() && HandleAllocated())
      PostMessage(Handle(), CM_SHOWTOOLFORM, 0, 0);
    if (key != 0) vision->PE_KeyPress(*this, key);
  }
  TCustomMaskEdit::KeyPress(key);
}

void TDBDevidEdit::RemoveDeadMsgs(bool charsOnly) {
  if (!HandleAllocated()) return;
  TMsg msg;
  if (charsOnly) {
    while (PeekMessage(msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
    return;
  }
  while (PeekMessage(msg, Handle(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

void TDBDevidEdit::WMGetDlgCode(TMessage& message) {
  TCustomMaskEdit::WMGetDlgCode(message);
  unsigned code = static_cast<unsigned>(message.Result);
  TvpFieldVision* vision = fFields->Vision();
  if (fIsInplace || (vision && vision->WantArrows()))
    code |= DLGC_WANTARROWS;
  else
    code &= ~DLGC_WANTARROWS;
  if (WantTabsAny()) code |= DLGC_WANTTAB;
  if (WantReturnsAny()) code |= DLGC_WANTALLKEYS;
  message.Result = static_cast<LRESULT>(code);
}

bool TDBDevidEdit::WantsSpecialKey(Word key) const {
  if (fIsInplace) return false;
  // Dialogs must not close under an open drop-down or unposted typing.
  if (key == VK_ESCAPE) return fToolForm || fFields->Modified();
  if (key == VK_RETURN) return fToolForm != nullptr;
  return false;
}

// ---- Clipboard and editing messages -----------------------------------------------------------

void TDBDevidEdit::EditMessage(TMessage& message, TvpEditAction action, bool startsEdit) {
  if (startsEdit) {
    if (!Editable() || !BeginEdit()) return;
  }
  const bool report = fFields->Valid() && (action == veaCopy || fFields->Modified() || CustomSurface());
  switch (message.Msg) {
    case WM_CUT: TCustomMaskEdit::WMCut(message); break;
    case WM_COPY: TCustomMaskEdit::WMCopy(message); break;
    case WM_PASTE: TCustomMaskEdit::WMPaste(message); break;
    case WM_CLEAR: TCustomMaskEdit::WMClear(message); break;
    case WM_UNDO: TCustomMaskEdit::WMUndo(message); break;
    case EM_REPLACESEL: TCustomMaskEdit::EMReplaceSel(message); break;
    default: break;
  }
  if (action != veaUnknown && report)
    if (TvpFieldVision* vision = fFields->Vision()) vision->PE_EditAction(*this, action);
}

void TDBDevidEdit::WMCut(TMessage& message) { EditMessage(message, veaCut, true); }
void TDBDevidEdit::WMCopy(TMessage& message) { EditMessage(message, veaCopy, false); }
void TDBDevidEdit::WMPaste(TMessage& message) { EditMessage(message, veaPaste, true); }
void TDBDevidEdit::WMClear(TMessage& message) { EditMessage(message, veaClear, true); }
void TDBDevidEdit::WMUndo(TMessage& message) { EditMessage(message, veaUnknown, true); }

void TDBDevidEdit::EMReplaceSel(TMessage& message) {
  // Reloading puts text in place through the same message; only the user's replacement edits.
  if (fUpdating) return TCustomMaskEdit::EMReplaceSel(message);
  EditMessage(message, veaUnknown, true);
}

void TDBDevidEdit::WMHScroll(TWMScroll& message) {
  if (!fFocused && CanFocus()) SetFocus();
  TCustomMaskEdit::WMHScroll(message);
}

void TDBDevidEdit::WMVScroll(TWMScroll& message) {
  if (!fFocused && CanFocus()) SetFocus();
  TCustomMaskEdit::WMVScroll(message);
}

void TDBDevidEdit::WMMouseWheel(TWMMouseWheel& message) {
  if (fToolForm) {
    // A drop-down with a record list scrolls it.
    fToolForm->Perform(message.Msg, message.WParam, message.LParam);
    message.Result = 1;
    return;
  }
  DoMouseWheelMsg(message);
  if (message.Result == 0) TCustomMaskEdit::WMMouseWheel(message);
}

// ---- Accelerators -----------------------------------------------------------------------------

bool TDBDevidEdit::HandleDialogChar(TMessage& message) {
  TvpFieldVision* vision = fFields->Vision();
  if (!vision || !vision->EnableSwitches() || !fFields->Valid()) return false;
  if (!IsAccel(static_cast<char32_t>(message.WParam), fFields->Caption()) || !CanFocus()) return false;
  SetFocus();
  if (fFocused) vision->KeySwitch(*this);
  message.Result = 1;
  return true;
}

// ---- Routing ----------------------------------------------------------------------------------

void TDBDevidEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_FIELDMAPCHANGED:
      FieldMapChanged();
      message.Result = 0;
      return;
    case CM_SHOWTOOLFORM: ShowToolForm(); return;
    case CM_CANCELMODE: {
      TControl* sender = reinterpret_cast<TControl*>(message.LParam);
      if (sender != this) CancelMode(sender);
      break;
    }
    case CM_WANTSPECIALKEY:
      if (WantsSpecialKey(static_cast<Word>(message.WParam))) {
        message.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (HandleDialogChar(message)) return;
      break;
    case WM_NCHITTEST: NCHitTest(message); return;
    default: break;
  }
  TCustomMaskEdit::Dispatch(message);
}

void TDBDevidEdit::DefaultHandler(TMessage& message) {
  // A custom surface is no text editor: the vision drives it by keys, mouse and switches.
  if (CustomSurface()) switch (message.Msg) {
      case WM_KEYDOWN:
      case WM_CHAR:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_LBUTTONUP:
      case WM_MOUSEMOVE:
      case WM_CUT:
      case WM_COPY:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO: return TWinControl::DefaultHandler(message);
      default: break;
    }
  TCustomMaskEdit::DefaultHandler(message);
}

}  // namespace zv
