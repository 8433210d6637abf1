// The label, the push button and the check box. Sections: accelerators; label; button
// control; button; check box.

#include "platform/controls/StdCtrls.h"

#include "platform/controls/WinApi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

// --- Accelerators ----------------------------------------------------------------------------------

namespace {

// The UTF-8 sequence that starts at text[i] (one code point).
std::string_view CodePointAt(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  const std::size_t n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  return text.substr(i, std::min(n, text.size() - i));
}

String Utf8Of(char32_t c) {
  String s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

TCustomForm* FormOf(TControl* control) { return GetParentForm(control); }

}  // namespace

bool IsAccel(char32_t key, const String& caption) {
  if (key == 0) return false;
  const String wanted = AnsiUpperCase(Utf8Of(key));
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return AnsiUpperCase(CodePointAt(caption, i + 1)) == wanted;
  }
  return false;
}

// --- Label -------------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TCustomLabel, TGraphicControl)
ZV_DEFINE_CLASS_WITH_PROPS(TLabel, TCustomLabel)

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
  SetBounds(0, 0, 65, 17);
}

TCustomLabel::~TCustomLabel() { Destroying(); }

unsigned TCustomLabel::TextFormat() const {
  unsigned format = DT_EXPANDTABS;
  if (fAlignment == taRightJustify) format |= DT_RIGHT;
  else if (fAlignment == taCenter) format |= DT_CENTER;
  if (fWordWrap) format |= DT_WORDBREAK;
  if (!fShowAccelChar) format |= DT_NOPREFIX;
  return format;
}

void TCustomLabel::AdjustBounds() {
  if (!fAutoSize || ComponentState().Contains(csLoading) || ComponentState().Contains(csReading)) return;
  TBitmap measure;
  measure.SetSize(1, 1);
  measure.Canvas()->SetFont(Font());
  // An empty caption keeps the height of one line.
  const String text = Caption().empty() ? String("W") : Caption();
  TRect r{0, 0, fWordWrap ? Width() : 0, 0};
  DrawText(*measure.Canvas(), text, r, TextFormat() | DT_CALCRECT);
  int width = fWordWrap ? Width() : (Caption().empty() ? 0 : r.Width());
  int left = Left();
  // A right-aligned label keeps its right edge, a centred one its middle.
  if (!fWordWrap && fAlignment == taRightJustify) left += Width() - width;
  else if (!fWordWrap && fAlignment == taCenter) left += (Width() - width) / 2;
  SetBounds(left, Top(), width, r.Height());
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (fAlignment == value) return;
  fAlignment = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (fLayout == value) return;
  fLayout = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (fWordWrap == value) return;
  fWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (fAutoSize == value) return;
  fAutoSize = value;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool value) {
  if (Transparent() == value) return;
  TControlStyle style = ControlStyle();
  if (value) style.Exclude(csOpaque);
  else style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (fShowAccelChar == value) return;
  fShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (fFocusControl == control) return;
  if (fFocusControl) fFocusControl->RemoveFreeNotification(this);
  fFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == fFocusControl) fFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage& message) {
  TGraphicControl::CMTextChanged(message);
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::CMFontChanged(TMessage& message) {
  TGraphicControl::CMFontChanged(message);
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR) {
    if (fFocusControl && Enabled() && fShowAccelChar && IsAccel(static_cast<char32_t>(message.WParam), Caption()) &&
        fFocusControl->CanFocus() && fFocusControl->Showing()) {
      fFocusControl->SetFocus();
      message.Result = 1;
    }
    return;
  }
  TGraphicControl::Dispatch(message);
}

void TCustomLabel::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    c.Brush()->SetStyle(bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(r);
  }
  c.Brush()->SetStyle(bsClear);
  c.SetFont(Font());
  const unsigned format = TextFormat();
  if (fLayout != tlTop) {
    TRect calc = r;
    DrawText(c, Caption(), calc, format | DT_CALCRECT);
    const int h = calc.Height();
    r.Top = fLayout == tlBottom ? r.Bottom - h : r.Top + (r.Height() - h) / 2;
  }
  if (!Enabled()) {
    TRect lit = r;
    OffsetRect(lit, 1, 1);
    c.Font()->SetColor(clBtnHighlight);
    DrawText(c, Caption(), lit, format);
    c.Font()->SetColor(clBtnShadow);
  }
  DrawText(c, Caption(), r, format);
  c.Brush()->SetStyle(bsSolid);
}

void TCustomLabel::DeclareProperties(TPropTable<TCustomLabel>& t) {
  t.Prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify).Unpublished();
  t.Prop("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(1).Unpublished();
  t.Prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl).Unpublished();
  t.Prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop).Unpublished();
  t.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(1).Unpublished();
  t.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(0).Unpublished();
  t.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(0).Unpublished();
  DeclareSizing(t);
}

// The host's TLabel list, less what this host has no property for.
void TLabel::DeclareProperties(TPropTable<TLabel>& t) {
  for (const char* name :
       {"Align", "Alignment", "Anchors", "AutoSize", "Caption", "Color", "Constraints", "DragCursor", "DragKind",
        "DragMode", "Enabled", "FocusControl", "Font", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu",
        "ShowAccelChar", "ShowHint", "Transparent", "Layout", "Visible", "WordWrap", "OnClick", "OnContextPopup",
        "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnMouseDown", "OnMouseMove", "OnMouseUp",
        "OnMouseEnter", "OnMouseLeave", "OnStartDrag"})
    t.Publish(name);
}

// --- Button control -------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TButtonControl, TCustomControl)

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clBtnFace);
}

void TButtonControl::WMGetDlgCode(TMessage& message) { message.Result = DLGC_BUTTON; }

void TButtonControl::CMTextChanged(TMessage& message) {
  TCustomControl::CMTextChanged(message);
  Invalidate();
}

void TButtonControl::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  Invalidate();
}

void TButtonControl::CMEnabledChanged(TMessage& message) {
  TCustomControl::CMEnabledChanged(message);
  Invalidate();
}

void TButtonControl::WMSetFocus(TWMSetFocus& message) {
  TCustomControl::WMSetFocus(message);
  Invalidate();
}

void TButtonControl::WMKillFocus(TWMKillFocus& message) {
  TCustomControl::WMKillFocus(message);
  Invalidate();
}

void TButtonControl::DrawCaption(TCanvas& c, TRect r, unsigned format) {
  c.SetFont(Font());
  c.Brush()->SetStyle(bsClear);
  if (!Enabled()) {
    TRect lit = r;
    OffsetRect(lit, 1, 1);
    c.Font()->SetColor(clBtnHighlight);
    DrawText(c, Caption(), lit, format);
    c.Font()->SetColor(clBtnShadow);
  }
  DrawText(c, Caption(), r, format);
  c.Brush()->SetStyle(bsSolid);
}

void TButtonControl::DeclareProperties(TPropTable<TButtonControl>& t) { DeclareSizing(t); }

// --- Button ------------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TButton, TButtonControl)

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetControlStyle({csSetCaption, csDoubleClicks, csCaptureMouse, csOpaque});
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool value) {
  if (fDefault == value) return;
  fDefault = value;
  // A default button is active unless another button has the focus.
  TCustomForm* form = FormOf(this);
  TWinControl* focused = form ? form->ActiveControl() : nullptr;
  fActive = focused == this || (value && !dynamic_cast<TButton*>(focused));
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* form = FormOf(this); form && fModalResult != mrNone) form->SetModalResult(fModalResult);
  TButtonControl::Click();
}

void TButton::SetPressed(bool value) {
  if (fPressed == value) return;
  fPressed = value;
  Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TButtonControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused()) SetFocus();
  fMouseHeld = true;
  SetPressed(true);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  TButtonControl::MouseMove(shift, x, y);
  if (fMouseHeld) SetPressed(PtInRect(ClientRect(), {x, y}));
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // The click event of the host's controls comes with the release inside; the button's own
  // click is decided here so that a release outside clicks nothing.
  const bool wasHeld = fMouseHeld && button == mbLeft;
  if (wasHeld) fMouseHeld = false;
  const bool inside = PtInRect(ClientRect(), {x, y});
  SetPressed(false);
  TButtonControl::MouseUp(button, shift, x, y);
  if (wasHeld && inside && !ControlStyle().Contains(csClickEvents)) Click();
}

void TButton::KeyDown(Word& key, TShiftState shift) {
  TButtonControl::KeyDown(key, shift);
  if (key == VK_SPACE && shift.Empty()) {
    fSpaceHeld = true;
    SetPressed(true);
  }
}

void TButton::KeyUp(Word& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && fSpaceHeld) {
    fSpaceHeld = false;
    SetPressed(false);
    Click();
  }
}

void TButton::WMKillFocus(TWMKillFocus& message) {
  fSpaceHeld = false;
  fMouseHeld = fMouseHeld && MouseCapture();
  if (!fMouseHeld) SetPressed(false);
  TButtonControl::WMKillFocus(message);
}

void TButton::CMDialogKey(TWMKey& message) {
  const Word key = message.CharCode();
  const bool plain = GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_CONTROL) >= 0;
  if (plain && ((key == VK_RETURN && fActive) || (key == VK_ESCAPE && fCancel)) && CanFocus() && Showing()) {
    Click();
    message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(message);
}

void TButton::CMFocusChanged(TMessage& message) {
  auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
  const bool active = dynamic_cast<TButton*>(focused) ? focused == this : fDefault;
  if (active != fActive) {
    fActive = active;
    Invalidate();
  }
  TButtonControl::CMFocusChanged(message);
}

void TButton::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(static_cast<char32_t>(message.WParam), Caption()) && CanFocus() && Showing()) {
      Click();
      message.Result = 1;
    }
    return;
  }
  TButtonControl::Dispatch(message);
}

void TButton::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  // The active button wears a dark outer frame, as the host draws a default button.
  if (fActive && Enabled()) {
    c.Brush()->SetColor(clWindowFrame);
    c.FrameRect(r);
    InflateRect(r, -1, -1);
  }
  DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (fPressed ? DFCS_PUSHED : 0));
  TRect text = r;
  if (fPressed) OffsetRect(text, 1, 1);
  DrawCaption(c, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    TRect focus = r;
    InflateRect(focus, -2, -2);
    c.Brush()->SetColor(Color());
    c.Font()->SetColor(clBtnText);
    c.DrawFocusRect(focus);
  }
}

void TButton::DeclareProperties(TPropTable<TButton>& t) {
  for (const char* name : {"Align", "Anchors"}) t.Publish(name);
  t.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(0);
  t.Publish("Caption");
  t.Publish("Constraints");
  t.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(0);
  for (const char* name : {"DragCursor", "DragKind", "DragMode", "Enabled", "Font"}) t.Publish(name);
  t.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  for (const char* name : {"ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible",
                           "OnClick", "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDrag", "OnEnter",
                           "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                           "OnMouseUp", "OnStartDrag"})
    t.Publish(name);
}

// --- Check box -----------------------------------------------------------------------------------------

namespace {
constexpr int kCheckSize = 13;
}

ZV_DEFINE_CLASS_WITH_PROPS(TCheckBox, TButtonControl)

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetControlStyle({csSetCaption, csDoubleClicks, csCaptureMouse, csOpaque});
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetState(TCheckBoxState value) {
  if (fState == value) return;
  fState = value;
  Invalidate();
  if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading)) Click();
}

void TCheckBox::SetAlignment(TAlignment value) {
  if (value == taCenter) value = taRightJustify;
  if (fAlignment == value) return;
  fAlignment = value;
  Invalidate();
}

void TCheckBox::Toggle() {
  switch (fState) {
    case cbUnchecked: SetState(fAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCheckBox::CalcLayout(TRect& box, TRect& text) const {
  const TRect client = ClientRect();
  const int top = (client.Height() - kCheckSize) / 2;
  if (fAlignment == taRightJustify) {
    box = {0, top, kCheckSize, top + kCheckSize};
    text = {kCheckSize + 4, 0, client.Right, client.Bottom};
  } else {
    box = {client.Right - kCheckSize, top, client.Right, top + kCheckSize};
    text = {0, 0, client.Right - kCheckSize - 4, client.Bottom};
  }
}

void TCheckBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TButtonControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused()) SetFocus();
  fMouseHeld = true;
}

void TCheckBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  const bool wasHeld = fMouseHeld && button == mbLeft;
  if (wasHeld) fMouseHeld = false;
  TButtonControl::MouseUp(button, shift, x, y);
  // The state change fires OnClick; the release alone clicks nothing more.
  if (wasHeld && PtInRect(ClientRect(), {x, y})) Toggle();
}

void TCheckBox::KeyUp(Word& key, TShiftState shift) {
  TButtonControl::KeyUp(key, shift);
  if (key == VK_SPACE && shift.Empty()) Toggle();
}

void TCheckBox::Dispatch(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(static_cast<char32_t>(message.WParam), Caption()) && CanFocus() && Showing()) {
      SetFocus();
      if (Focused()) Toggle();
      message.Result = 1;
    }
    return;
  }
  TButtonControl::Dispatch(message);
}

void TCheckBox::Paint() {
  TCanvas& c = *Canvas();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(ClientRect());
  TRect box, text;
  CalcLayout(box, text);
  unsigned state = DFCS_BUTTONCHECK;
  if (fState == cbChecked) state |= DFCS_CHECKED;
  if (fState == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (!Enabled()) state |= DFCS_INACTIVE;
  DrawFrameControl(c, box, DFC_BUTTON, state);
  const unsigned align = fAlignment == taRightJustify ? DT_LEFT : DT_RIGHT;
  DrawCaption(c, text, align | DT_VCENTER | DT_SINGLELINE);
  if (Focused() && !Caption().empty()) {
    TRect calc = text;
    DrawText(c, Caption(), calc, DT_CALCRECT | DT_SINGLELINE);
    const int h = calc.Height();
    TRect focus{text.Left - 1, (text.Top + text.Bottom - h) / 2 - 1, text.Left + calc.Width() + 1,
                (text.Top + text.Bottom + h) / 2 + 1};
    if (fAlignment != taRightJustify) OffsetRect(focus, text.Width() - calc.Width(), 0);
    c.Brush()->SetColor(Color());
    c.Font()->SetColor(clBtnText);
    c.DrawFocusRect(focus);
  }
}

void TCheckBox::DeclareProperties(TPropTable<TCheckBox>& t) {
  t.Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
  t.Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(0);
  t.Publish("Anchors");
  t.Publish("Caption");
  // State carries the value; Checked is its view and is not stored twice.
  t.Prop("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(0).Stored(false);
  for (const char* name : {"Color", "Constraints", "DragCursor", "DragKind", "DragMode", "Enabled", "Font",
                           "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint"})
    t.Publish(name);
  t.Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  for (const char* name : {"TabOrder", "TabStop", "Visible", "OnClick", "OnContextPopup", "OnDragDrop", "OnDragOver",
                           "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown",
                           "OnMouseMove", "OnMouseUp", "OnStartDrag"})
    t.Publish(name);
}

}  // namespace zv
