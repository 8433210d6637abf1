#include "platform/controls/Menus.h"

#include "platform/controls/Application.h"
#include "platform/controls/detail/MenuWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/ImageList.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <atomic>

namespace zv {

namespace {

constexpr const char SMenuIndexError[] = "Menu index out of range";
constexpr const char SMenuReinserted[] = "Menu inserted twice";
constexpr const char SMenuNotFound[] = "Sub-menu is not in menu";

unsigned NextCommand() {
  static std::atomic<unsigned> next{1};
  return next++;
}

// Bytes of the UTF-8 sequence led by c.
std::size_t SequenceLength(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c & 0xE0) == 0xC0) return 2;
  if ((c & 0xF0) == 0xE0) return 3;
  if ((c & 0xF8) == 0xF0) return 4;
  return 1;
}

String KeyName(Word key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return String(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_ESCAPE: return "Esc";
    case VK_RETURN: return "Enter";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_MULTIPLY: return "Num *";
    case VK_DIVIDE: return "Num /";
    default: return {};
  }
}

}  // namespace

// --- Short-cuts and captions ---------------------------------------------------------------------

TShortCut ShortCut(Word key, TShiftState shift) {
  if (key & 0xF000) return scNone;
  TShortCut r = key;
  if (shift.Contains(ssShift)) r |= scShift;
  if (shift.Contains(ssCtrl)) r |= scCtrl;
  if (shift.Contains(ssAlt)) r |= scAlt;
  return r;
}

void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift) {
  key = shortCut & 0x0FFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

String ShortCutToText(TShortCut shortCut) {
  const String name = KeyName(shortCut & 0x0FFF);
  if (name.empty()) return {};
  String r;
  if (shortCut & scShift) r += "Shift+";
  if (shortCut & scCtrl) r += "Ctrl+";
  if (shortCut & scAlt) r += "Alt+";
  return r + name;
}

TShortCut TextToShortCut(std::string_view text) {
  TShortCut shift = 0;
  for (;;) {
    bool found = false;
    for (const auto& [prefix, flag] : {std::pair<std::string_view, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
      if (text.size() > prefix.size() && SameText(text.substr(0, prefix.size()), prefix)) {
        shift |= flag;
        text.remove_prefix(prefix.size());
        found = true;
      }
    }
    if (!found) break;
  }
  for (Word key = 1; key < 256; ++key) {
    const String name = KeyName(key);
    if (!name.empty() && SameText(name, text)) return static_cast<TShortCut>(key | shift);
  }
  return scNone;
}

namespace {
// Short-cuts have names, but not names a form file could hold as identifiers.
bool NoShortCutIdent(std::string_view, int&) { return false; }
bool NoShortCutName(int, String&) { return false; }
}  // namespace

const TTypeInfo* ShortCutTypeInfo() {
  static const TTypeInfo* type = RegisterIntegerConsts("TShortCut", &NoShortCutIdent, &NoShortCutName);
  return type;
}

String StripHotkey(const String& caption) {
  String r;
  r.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') r += '&';
      ++i;
      if (i >= caption.size()) break;
      if (caption[i] == '&') continue;
    }
    r += caption[i];
  }
  return r;
}

String GetHotkey(const String& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    const std::size_t n = std::min(SequenceLength(static_cast<unsigned char>(caption[i + 1])), caption.size() - i - 1);
    return AnsiUpperCase(std::string_view(caption).substr(i + 1, n));
  }
  return {};
}

// --- TMenuItem -------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TMenuItem, TComponent)

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), fCommand(NextCommand()) {}

TMenuItem::~TMenuItem() {
  Destroying();
  while (!fItems.empty()) delete fItems.back();
  if (fParent) fParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError(SMenuIndexError);
  return fItems[static_cast<std::size_t>(index)];
}

int TMenuItem::MenuIndex() const { return fParent ? fParent->IndexOf(this) : -1; }

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->fParent) throw EMenuError(SMenuReinserted);
  if (index < 0 || index > Count()) throw EMenuError(SMenuIndexError);
  for (const TMenuItem* p = this; p; p = p->fParent)
    if (p == item) throw EMenuError(SMenuReinserted);
  fItems.insert(fItems.begin() + index, item);
  item->fParent = this;
  if (item->fChecked && item->fRadioItem) item->SetChecked(true);
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  fItems.erase(fItems.begin() + index);
  item->fParent = nullptr;
  Changed();
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu(); menu && !menu->ComponentState().Contains(csDestroying)) menu->MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
  const int i = IndexOf(item);
  if (i < 0) throw EMenuError(SMenuNotFound);
  Delete(i);
}

void TMenuItem::Clear() {
  while (!fItems.empty()) delete fItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  const auto it = std::find(fItems.begin(), fItems.end(), item);
  return it == fItems.end() ? -1 : static_cast<int>(it - fItems.begin());
}

TMenuItem* TMenuItem::Find(const String& caption) const {
  const String wanted = StripHotkey(caption);
  for (TMenuItem* item : fItems)
    if (AnsiSameText(StripHotkey(item->fCaption), wanted)) return item;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* p = this;
  while (p->fParent) p = p->fParent;
  return p->fMenu;
}

void TMenuItem::SetChecked(bool checked) {
  fChecked = checked;
  if (!checked || !fRadioItem || !fParent) return;
  for (TMenuItem* sibling : fParent->fItems)
    if (sibling != this && sibling->fRadioItem && sibling->fGroupIndex == fGroupIndex) sibling->fChecked = false;
}

void TMenuItem::SetRadioItem(bool value) {
  fRadioItem = value;
  if (value && fChecked) SetChecked(true);
}

void TMenuItem::SetGroupIndex(std::uint8_t index) {
  fGroupIndex = index;
  if (fChecked && fRadioItem) SetChecked(true);
}

void TMenuItem::Click() {
  if (!fEnabled) return;
  if (fAutoCheck) SetChecked(fRadioItem ? true : !fChecked);
  if (OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (fParent && fParent->fMenu) return fParent->fMenu;
  return fParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (fParent) fParent->Remove(this);
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (std::size_t i = 0; i < fItems.size(); ++i)
    if (fItems[i]->Owner() == root) proc(fItems[i]);
}

void TMenuItem::DeclareProperties(TPropTable<TMenuItem>& t) {
  t.Prop("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck).Default(0);
  t.Prop("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  t.Prop("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(0);
  t.Prop("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(0);
  t.Prop("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(1);
  t.Prop("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  t.Prop("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  t.Prop("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).Default(-1);
  t.Prop("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(0);
  t.Prop("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0).Idents(ShortCutTypeInfo());
  t.Prop("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(1);
}

// --- TMenu -----------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TMenu, TComponent)

TMenu::TMenu(TComponent* owner) : TComponent(owner), fItems(std::make_unique<TMenuItem>(nullptr)) {
  fItems->fMenu = this;
}

TMenu::~TMenu() {
  Destroying();
  fItems.reset();
}

void TMenu::SetImages(TCustomImageList* images) {
  if (fImages == images) return;
  if (fImages) fImages->RemoveFreeNotification(this);
  fImages = images;
  if (images) images->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fImages) fImages = nullptr;
}

namespace {

TMenuItem* FindIn(TMenuItem* item, const std::function<bool(TMenuItem*)>& match) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* sub = item->Items(i);
    if (match(sub)) return sub;
    if (TMenuItem* found = FindIn(sub, match)) return found;
  }
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindItem(unsigned command) const {
  return FindIn(fItems.get(), [command](TMenuItem* item) { return item->Command() == command; });
}

TMenuItem* TMenu::FindShortCut(Word key, TShiftState shift) const {
  const TShortCut wanted = ShortCut(key, shift * TShiftState{ssShift, ssCtrl, ssAlt});
  if (wanted == scNone) return nullptr;
  // A disabled or hidden sub-menu hides its items' short-cuts too.
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* sub = item->Items(i);
      if (!sub->Enabled() || !sub->Visible()) continue;
      if (sub->ShortCut() == wanted) return sub;
      if (TMenuItem* found = find(sub)) return found;
    }
    return nullptr;
  };
  return find(fItems.get());
}

bool TMenu::IsShortCut(const TMessage& keyMessage) {
  if (keyMessage.Msg != WM_KEYDOWN && keyMessage.Msg != WM_SYSKEYDOWN) return false;
  TShiftState shift = KeyDataToShiftState(keyMessage.LParam);
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  TMenuItem* item = FindShortCut(static_cast<Word>(keyMessage.WParam), shift);
  if (!item) return false;
  item->Click();
  return true;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  fItems->GetChildren(proc, root);
}

void TMenu::DeclareProperties(TPropTable<TMenu>& t) {
  t.Prop("Images", &TMenu::Images, &TMenu::SetImages);
}

// --- TPopupMenu ------------------------------------------------------------------------------------

ZV_DEFINE_CLASS_WITH_PROPS(TPopupMenu, TMenu)

namespace {
TPopupMenu* gCurrent = nullptr;
// Windows of menus freed while their loop ran: the loop still runs in them, so they go later.
std::vector<std::unique_ptr<TMenuWindow>> gOrphans;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() {
  Destroying();
  if (gCurrent == this) {
    gCurrent = nullptr;
    if (fWindow) {
      fWindow->Orphan();
      gOrphans.push_back(std::move(fWindow));
    }
  }
  fWindow.reset();
}

void TPopupMenu::SetPopupComponent(TComponent* component) {
  if (fPopupComponent == component) return;
  if (fPopupComponent) fPopupComponent->RemoveFreeNotification(this);
  fPopupComponent = component;
  if (component) component->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == fPopupComponent) fPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* sender) {
  if (OnPopup) OnPopup(sender);
}

TPopupMenu* TPopupMenu::Current() { return gCurrent && gCurrent->fWindow->Tracking() ? gCurrent : nullptr; }

TMenuWindow* TPopupMenu::PopupWindow() const { return Current() == this ? fWindow.get() : nullptr; }

void TPopupMenu::CloseMenu() {
  if (gCurrent == this && fWindow) fWindow->EndTracking(nullptr);
}

void TPopupMenu::Popup(int x, int y) {
  if (gCurrent) return;
  fPopupPoint = {x, y};
  DoPopup(this);
  if (gCurrent || ComponentState().Contains(csDestroying)) return;
  if (!fWindow) fWindow = std::make_unique<TMenuWindow>(this, Items(), nullptr);
  fWindow->Layout();
  if (fWindow->ItemCount() == 0) return;
  fWindow->PlaceAt(fPopupPoint, fAlignment);
  gCurrent = this;
  TMenuItem* chosen = fWindow->Track();
  if (gCurrent != this) {
    // A handler inside the loop freed the menu: its window can go now that the loop is over.
    gOrphans.clear();
    return;
  }
  gCurrent = nullptr;
  // As on the host, the choice arrives as a posted command: OnClick runs after Popup returns.
  if (chosen && fWindow->HandleAllocated()) PostMessage(fWindow->Handle(), WM_COMMAND, chosen->Command(), 0);
}

void TPopupMenu::DeclareProperties(TPropTable<TPopupMenu>& t) {
  t.Prop("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment).Default(paLeft);
  t.Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(1);
}

}  // namespace zv
