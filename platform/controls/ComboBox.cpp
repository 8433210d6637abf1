// The combo box: items, the chosen one, the edit line and the keyboard.

#include "platform/controls/ComboBox.h"

#include "platform/controls/WinApi.h"
#include "platform/controls/detail/ComboDropDown.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

namespace {
// Characters typed further apart than this start a new prefix.
constexpr std::uint64_t kPrefixPauseMs = 1000;
constexpr int kButtonWidth = 17;
}  // namespace

// The edit line of an editable combo box: it lets the combo box have Enter and Esc while the
// list is open, and its wheel turns the combo box's items.
class TComboEdit : public TEdit {
public:
  TComboEdit(TCustomComboBox* combo) : TEdit(combo), fCombo(combo) {}

protected:
  void WMGetDlgCode(TMessage& message) override {
    TEdit::WMGetDlgCode(message);
    if (fCombo->DroppedDown()) message.Result |= DLGC_WANTALLKEYS;
  }
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override {
    return fCombo->DoMouseWheel(shift, wheelDelta, mousePos);
  }
  void WMKillFocus(TWMKillFocus& message) override {
    TEdit::WMKillFocus(message);
    TWinControl* now = FindControl(GetFocus());
    if (now != fCombo && !fCombo->ContainsControl(now)) fCombo->SetDroppedDown(false);
  }

private:
  TCustomComboBox* fCombo;
};

ZV_DEFINE_CLASS_WITH_PROPS(TCustomComboBox, TCustomControl)
ZV_DEFINE_CLASS_WITH_PROPS(TComboBox, TCustomComboBox)

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TCustomControl(owner), fItems(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  fItems->OnChange = [this](TObject* sender) { ItemsChanged(sender); };
  SetStyle(csDropDown);
}

TCustomComboBox::~TCustomComboBox() {
  Destroying();
  fItems->OnChange = nullptr;
  fDropDown.reset();
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == csSimple) value = csDropDown;
  const bool wantEdit = value == csDropDown;
  fStyle = value;
  if (wantEdit && !fEdit) {
    fEdit = new TComboEdit(this);
    fEdit->SetBorderStyle(bsNone);
    fEdit->SetParent(this);
    fEdit->SetTabStop(false);
    fEdit->SetMaxLength(fMaxLength);
    fEdit->OnChange = [this](TObject*) { EditChanged(); };
    fEdit->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) {
      if (NavigationKey(key, shift)) key = 0;
    };
    fEdit->SetText(fItemIndex >= 0 ? fItems->Strings(fItemIndex) : String());
    PlaceEdit();
  } else if (!wantEdit && fEdit) {
    TEdit* edit = fEdit;
    fEdit = nullptr;
    delete edit;
    // Only an item can be shown now.
    SetItemIndex(fItemIndex);
  }
  Invalidate();
}

void TCustomComboBox::ItemsChanged(TObject*) {
  if (fItemIndex >= fItems->Count()) fItemIndex = -1;
  // The open list follows the items; a highlight past the end goes.
  if (fDroppedDown && fDropDown) {
    fDropDown->SetHighlighted(fDropDown->Highlighted());
    fDropDown->SetTopIndex(fDropDown->TopIndex());
    fDropDown->Invalidate();
  }
  if (fEdit) EditChanged();
  Invalidate();
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= fItems->Count()) value = -1;
  fItemIndex = value;
  if (fEdit) {
    fSettingEdit = true;
    fEdit->SetText(value >= 0 ? fItems->Strings(value) : String());
    fSettingEdit = false;
    if (fEdit->Focused()) fEdit->SelectAll();
  }
  Invalidate();
}

String TCustomComboBox::Text() const {
  if (fEdit) return fEdit->Text();
  return fItemIndex >= 0 ? fItems->Strings(fItemIndex) : String();
}

void TCustomComboBox::SetText(const String& value) {
  if (fEdit) {
    fSettingEdit = true;
    fEdit->SetText(value);
    fSettingEdit = false;
    EditChanged();
    return;
  }
  // A list-only combo box shows an item or nothing.
  SetItemIndex(fItems->IndexOf(value));
}

void TCustomComboBox::SetMaxLength(int value) {
  fMaxLength = std::max(value, 0);
  if (fEdit) fEdit->SetMaxLength(fMaxLength);
}

void TCustomComboBox::EditChanged() {
  if (!fEdit) return;
  // The item that matches the typed text exactly, as the host's edit combo box finds it.
  int match = -1;
  for (int i = 0; i < fItems->Count(); ++i)
    if (fItems->Strings(i) == fEdit->Text()) {
      match = i;
      break;
    }
  fItemIndex = match;
  if (!fSettingEdit && !ComponentState().Contains(csLoading) && OnChange) OnChange(this);
}

int TCustomComboBox::FindPrefix(const String& prefix, int startAfter) const {
  if (prefix.empty() || fItems->Count() == 0) return -1;
  const String upper = AnsiUpperCase(prefix);
  const int count = fItems->Count();
  for (int n = 1; n <= count; ++n) {
    const int i = ((startAfter < 0 ? -1 : startAfter) + n) % count;
    if (AnsiUpperCase(fItems->Strings(i)).starts_with(upper)) return i;
  }
  return -1;
}

void TCustomComboBox::Choose(int index) {
  if (index < 0 || index >= fItems->Count() || index == fItemIndex) return;
  SetItemIndex(index);
  if (OnChange) OnChange(this);
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::SetDroppedDown(bool value) {
  if (fDroppedDown == value) return;
  if (value) {
    if (!HandleAllocated() || !Showing() || ComponentState().Contains(csDestroying)) return;
    fDroppedDown = true;
    if (OnDropDown) OnDropDown(this);
    // The handler may have closed it again, or hidden or freed what holds it.
    if (!fDroppedDown || !Showing()) {
      fDroppedDown = false;
      return;
    }
    if (!fDropDown) fDropDown = std::make_unique<TComboDropDown>(this);
    fDropDown->Open();
  } else {
    fDroppedDown = false;
    if (fDropDown) fDropDown->Close();
    if (OnCloseUp && !ComponentState().Contains(csDestroying)) OnCloseUp(this);
  }
  Invalidate();
}

void TCustomComboBox::CloseUp(bool choose, int index) {
  if (!fDroppedDown) return;
  if (index < 0 && fDropDown) index = fDropDown->Highlighted();
  // As the host reports it: the change of item, then the list closing.
  if (choose && index >= 0) Choose(index);
  SetDroppedDown(false);
}

int TCustomComboBox::Current() const {
  return fDroppedDown && fDropDown ? fDropDown->Highlighted() : fItemIndex;
}

void TCustomComboBox::Pick(int index) {
  if (fDroppedDown && fDropDown)
    fDropDown->SetHighlighted(index);
  else
    Choose(index);
}

bool TCustomComboBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
  if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
  const int notches = wheelDelta / WHEEL_DELTA;
  if (notches == 0) return false;
  if (fDroppedDown && fDropDown) {
    fDropDown->SetTopIndex(fDropDown->TopIndex() - 3 * notches);
    return true;
  }
  if (fItems->Count() > 0) Choose(std::clamp(fItemIndex - notches, 0, fItems->Count() - 1));
  return true;
}

bool TCustomComboBox::NavigationKey(Word key, TShiftState shift) {
  const int last = fItems->Count() - 1;
  const int current = Current();
  const int page = fDroppedDown && fDropDown ? std::max(fDropDown->VisibleRows() - 1, 1) : fDropDownCount;
  if (((key == VK_DOWN || key == VK_UP) && shift.Contains(ssAlt)) || key == VK_F1 + 3) {
    if (fDroppedDown)
      CloseUp(true);
    else
      SetDroppedDown(true);
    return true;
  }
  if (shift.Contains(ssAlt) || shift.Contains(ssCtrl)) return false;
  switch (key) {
    case VK_UP: Pick(std::max(current - 1, 0)); return true;
    case VK_DOWN: Pick(std::min(current + 1, last)); return true;
    case VK_PRIOR: Pick(std::max(current - page, 0)); return true;
    case VK_NEXT: Pick(std::min(std::max(current, 0) + page, last)); return true;
    case VK_HOME:
    case VK_END:
      // In the edit line Home and End move the caret.
      if (fEdit) return false;
      Pick(key == VK_HOME ? 0 : last);
      return true;
    case VK_RETURN:
      if (!fDroppedDown) return false;
      CloseUp(true);
      return true;
    case VK_ESCAPE:
      if (!fDroppedDown) return false;
      CloseUp(false);
      return true;
    default: return false;
  }
}

void TCustomComboBox::KeyDown(Word& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key != 0 && NavigationKey(key, shift)) key = 0;
}

void TCustomComboBox::KeyPress(char32_t& key) {
  TCustomControl::KeyPress(key);
  if (key < 32 || fEdit) return;
  const std::uint64_t now = GetTickCount();
  if (now - fLastTyped > kPrefixPauseMs) fTypedPrefix.clear();
  fLastTyped = now;
  String ch;
  // One code point as UTF-8.
  if (key < 0x80) ch += static_cast<char>(key);
  else if (key < 0x800) ch += {static_cast<char>(0xC0 | (key >> 6)), static_cast<char>(0x80 | (key & 0x3F))};
  else if (key < 0x10000)
    ch += {static_cast<char>(0xE0 | (key >> 12)), static_cast<char>(0x80 | ((key >> 6) & 0x3F)),
           static_cast<char>(0x80 | (key & 0x3F))};
  else
    ch += {static_cast<char>(0xF0 | (key >> 18)), static_cast<char>(0x80 | ((key >> 12) & 0x3F)),
           static_cast<char>(0x80 | ((key >> 6) & 0x3F)), static_cast<char>(0x80 | (key & 0x3F))};
  // The same letter again steps through the items that start with it.
  const bool repeated = fTypedPrefix == ch;
  if (!repeated) fTypedPrefix += ch;
  const int current = Current();
  const int from = repeated || fTypedPrefix.size() == ch.size() ? current : current - 1;
  if (const int found = FindPrefix(fTypedPrefix, from); found >= 0) Pick(found);
  key = 0;
}

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused()) SetFocus();
  if (!fEdit || PtInRect(ButtonRect(), {x, y})) SetDroppedDown(!fDroppedDown);
}

void TCustomComboBox::WMGetDlgCode(TMessage& message) {
  message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (fDroppedDown ? DLGC_WANTALLKEYS : 0);
}

void TCustomComboBox::WMSetFocus(TWMSetFocus& message) {
  TCustomControl::WMSetFocus(message);
  // The edit line takes the keys of an editable combo box.
  if (fEdit && fEdit->CanFocus()) {
    fEdit->SetFocus();
    fEdit->SelectAll();
  }
  Invalidate();
}

void TCustomComboBox::WMKillFocus(TWMKillFocus& message) {
  TCustomControl::WMKillFocus(message);
  if (!ContainsControl(FindControl(GetFocus()))) SetDroppedDown(false);
  Invalidate();
}

TRect TCustomComboBox::ButtonRect() const {
  const TRect client = ClientRect();
  return {client.Right - kButtonWidth - 2, client.Top + 2, client.Right - 2, client.Bottom - 2};
}

void TCustomComboBox::PlaceEdit() {
  if (!fEdit) return;
  const TRect button = ButtonRect();
  fEdit->SetBounds(3, 3, std::max(button.Left - 4, 0), std::max(ClientHeight() - 6, 0));
}

void TCustomComboBox::Resize() {
  PlaceEdit();
  TCustomControl::Resize();
}

void TCustomComboBox::CMEnabledChanged(TMessage& message) {
  TCustomControl::CMEnabledChanged(message);
  if (fEdit) fEdit->SetEnabled(Enabled());
  Invalidate();
}

void TCustomComboBox::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  Invalidate();
}

void TCustomComboBox::Loaded() {
  TCustomControl::Loaded();
  // ItemIndex may have been read before the items.
  PlaceEdit();
}

void TCustomComboBox::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  c.FillRect(r);
  DrawEdge(c, r, EDGE_SUNKEN, BF_RECT);
  TRect button = ButtonRect();
  DrawFrameControl(c, button, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (fDroppedDown ? DFCS_PUSHED : 0) |
                                              (Enabled() ? 0 : DFCS_INACTIVE));
  if (fEdit) return;
  TRect text{3, 3, ButtonRect().Left - 1, r.Bottom - 3};
  const bool focused = Focused() && !fDroppedDown;
  if (focused) {
    c.Brush()->SetColor(clHighlight);
    c.FillRect(text);
  }
  c.SetFont(Font());
  if (focused) c.Font()->SetColor(clHighlightText);
  else if (!Enabled()) c.Font()->SetColor(clGrayText);
  c.Brush()->SetStyle(bsClear);
  TRect t = text;
  t.Left += 2;
  DrawText(c, Text(), t, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  c.Brush()->SetStyle(bsSolid);
  if (focused) {
    c.Font()->SetColor(clHighlightText);
    c.Brush()->SetColor(clHighlight);
    c.DrawFocusRect(text);
  }
}

void TCustomComboBox::DeclareProperties(TPropTable<TCustomComboBox>& t) {
  t.Prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown).Unpublished();
  t.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
      .Default(8)
      .Unpublished();
  t.Prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0).Unpublished();
  t.Prop("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText).Unpublished();
  t.Prop("Items", &TCustomComboBox::Items).Unpublished();
  // After the items, so that a form read back chooses among them.
  t.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1).Unpublished();
  t.Event("OnChange", &TCustomComboBox::OnChange).Unpublished();
  t.Event("OnSelect", &TCustomComboBox::OnSelect).Unpublished();
  t.Event("OnDropDown", &TCustomComboBox::OnDropDown).Unpublished();
  t.Event("OnCloseUp", &TCustomComboBox::OnCloseUp).Unpublished();
  DeclareSizing(t);
}

// The host's TComboBox list, less what this host has no property for.
void TComboBox::DeclareProperties(TPropTable<TComboBox>& t) {
  for (const char* name :
       {"Style", "Anchors", "Color", "Constraints", "DragCursor", "DragKind", "DragMode", "DropDownCount", "Enabled",
        "Font", "MaxLength", "ParentColor", "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder",
        "TabStop", "Text", "Visible", "OnChange", "OnClick", "OnCloseUp", "OnContextPopup", "OnDblClick",
        "OnDragDrop", "OnDragOver", "OnDropDown", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress",
        "OnKeyUp", "OnSelect", "OnStartDrag", "Items", "ItemIndex"})
    t.Publish(name);
}

}  // namespace zv
