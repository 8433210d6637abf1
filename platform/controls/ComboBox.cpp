// The combo box: items, the chosen one, the edit line and the keyboard.

#include "platform/controls/ComboBox.h"

#include "platform/controls/WinApi.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>

namespace zv {

namespace {
// Characters typed further apart than this start a new prefix.
constexpr std::uint64_t kPrefixPauseMs = 1000;
constexpr int kButtonWidth = 17;
}  // namespace

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
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == csSimple) value = csDropDown;
  const bool wantEdit = value == csDropDown;
  fStyle = value;
  if (wantEdit && !fEdit) {
    fEdit = new TEdit(this);
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
  fDroppedDown = value;
  if (value && OnDropDown) OnDropDown(this);
  if (!value && OnCloseUp) OnCloseUp(this);
  Invalidate();
}

bool TCustomComboBox::NavigationKey(Word key, TShiftState shift) {
  const int last = fItems->Count() - 1;
  if ((key == VK_DOWN && shift.Contains(ssAlt)) || key == VK_F1 + 3) {
    SetDroppedDown(!fDroppedDown);
    return true;
  }
  if (shift.Contains(ssAlt) || shift.Contains(ssCtrl)) return false;
  switch (key) {
    case VK_UP: Choose(std::max(fItemIndex - 1, 0)); return true;
    case VK_DOWN: Choose(std::min(fItemIndex + 1, last)); return true;
    case VK_PRIOR: Choose(std::max(fItemIndex - fDropDownCount, 0)); return true;
    case VK_NEXT: Choose(std::min(std::max(fItemIndex, 0) + fDropDownCount, last)); return true;
    case VK_HOME:
    case VK_END:
      // In the edit line Home and End move the caret.
      if (fEdit) return false;
      Choose(key == VK_HOME ? 0 : last);
      return true;
    case VK_RETURN:
    case VK_ESCAPE:
      if (!fDroppedDown) return false;
      SetDroppedDown(false);
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
  const int from = repeated || fTypedPrefix.size() == ch.size() ? fItemIndex : fItemIndex - 1;
  if (const int found = FindPrefix(fTypedPrefix, from); found >= 0) Choose(found);
  key = 0;
}

void TCustomComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (CanFocus() && !Focused()) SetFocus();
  if (!fEdit || PtInRect(ButtonRect(), {x, y})) SetDroppedDown(!fDroppedDown);
}

void TCustomComboBox::WMGetDlgCode(TMessage& message) { message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

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
