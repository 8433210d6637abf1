#pragma once
// The host's Menus unit: TMenuItem (a tree of items with captions, "&"
// accelerators, "-" separators, check marks, radio groups, images, short-cuts) and TPopupMenu,
// shown at a screen point by Popup, and TMainMenu, the menu bar of a form (TCustomForm::Menu).
//
// Popup runs a nested message loop while the menu is open (TMenuWindow, painted here). The
// chosen item's OnClick does not run inside Popup: as on the host, the choice is posted and
// OnClick runs when the message loop next dispatches messages.

#include "platform/classes/Component.h"
#include "platform/controls/Control.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zv {

class TCanvas;
class TCustomImageList;
class TMenu;
class TWinControl;
class TMenuWindow;

class EMenuError : public Exception {
public:
  using Exception::Exception;
};

// A key code with scShift / scCtrl / scAlt; 0 is none.
using TShortCut = Word;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(Word key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift);
// "Ctrl+Shift+F5", "Del", "A"; empty for none.
String ShortCutToText(TShortCut shortCut);
// The reverse ("Shift+Ctrl+F5", modifiers in any order, without case); scNone for text that
// names no key.
TShortCut TextToShortCut(std::string_view text);
// The type of short-cut properties (declare them with .Idents(ShortCutTypeInfo())), so that a
// short-cut can be told from a plain number; forms still store the number.
const TTypeInfo* ShortCutTypeInfo();
// The caption without its "&" marks ("&&" stays one "&").
String StripHotkey(const String& caption);
// The accelerator character of a caption (upper-cased), empty when it has none.
String GetHotkey(const String& caption);

// The caption that makes an item a separator line.
inline constexpr const char cLineCaption[] = "-";

class TMenuItem : public TComponent {
  ZV_CLASS(TMenuItem, TComponent)

public:
  explicit TMenuItem(TComponent* owner);
  // Frees the sub-items and leaves the parent item.
  ~TMenuItem() override;

  const String& Caption() const { return fCaption; }
  void SetCaption(const String& caption) {
    fCaption = caption;
    Changed();
  }
  bool IsLine() const { return fCaption == cLineCaption; }
  // Checking a radio item unchecks the other radio items of its GroupIndex under the same parent.
  bool Checked() const { return fChecked; }
  void SetChecked(bool checked);
  bool RadioItem() const { return fRadioItem; }
  void SetRadioItem(bool value);
  std::uint8_t GroupIndex() const { return fGroupIndex; }
  void SetGroupIndex(std::uint8_t index);
  // Clicking toggles Checked (a radio item is only checked) before OnClick.
  bool AutoCheck() const { return fAutoCheck; }
  void SetAutoCheck(bool value) { fAutoCheck = value; }
  // In the owning menu's Images; -1 for none.
  int ImageIndex() const { return fImageIndex; }
  void SetImageIndex(int index) { fImageIndex = index; }
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool value) {
    fEnabled = value;
    Changed();
  }
  bool Visible() const { return fVisible; }
  void SetVisible(bool value) {
    fVisible = value;
    Changed();
  }
  // The default item is drawn in bold.
  bool Default() const { return fDefault; }
  void SetDefault(bool value) { fDefault = value; }
  TShortCut ShortCut() const { return fShortCut; }
  void SetShortCut(TShortCut value) { fShortCut = value; }
  const String& Hint() const { return fHint; }
  void SetHint(const String& hint) { fHint = hint; }
  // A number unique to the item in this process (the command a chosen item posts).
  unsigned Command() const { return fCommand; }

  // --- The tree -----------------------------------------------------------------------------
  int Count() const { return static_cast<int>(fItems.size()); }
  // EMenuError "Menu index out of range" for a bad index.
  TMenuItem* Items(int index) const;
  TMenuItem* Parent() const { return fParent; }
  int MenuIndex() const;
  // EMenuError "Menu inserted twice" when item already has a parent.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Take the item out without freeing it; EMenuError "Sub-menu is not in menu" for a stranger.
  void Delete(int index);
  void Remove(TMenuItem* item);
  // Frees every sub-item.
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  // The sub-item whose caption, without "&" marks, equals caption (case-insensitive).
  TMenuItem* Find(const String& caption) const;
  // The menu whose item tree holds this item, or null.
  TMenu* GetParentMenu() const;

  // Toggles an AutoCheck item, then fires OnClick (enabled items only).
  virtual void Click();

  // Streaming: an item is written inside its parent item, or inside the menu for a top item.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  // Moves the item under parent: a TMenu's Items or a TMenuItem; anything else only detaches.
  void SetParentComponent(TComponent* parent) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  TNotifyEvent OnClick;

  static void DeclareProperties(TPropTable<TMenuItem>& t);

private:
  friend class TMenu;
  // Tells the menu holding the item that its tree changed.
  void Changed();
  String fCaption;
  bool fChecked = false;
  bool fRadioItem = false;
  std::uint8_t fGroupIndex = 0;
  bool fAutoCheck = false;
  int fImageIndex = -1;
  bool fEnabled = true;
  bool fVisible = true;
  bool fDefault = false;
  TShortCut fShortCut = scNone;
  String fHint;
  unsigned fCommand;
  TMenuItem* fParent = nullptr;
  TMenu* fMenu = nullptr;  // set on the root item only
  std::vector<TMenuItem*> fItems;
};

class TMenu : public TComponent {
  ZV_CLASS(TMenu, TComponent)

public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;

  // The root item; its sub-items are the menu's items.
  TMenuItem* Items() const { return fItems.get(); }
  TCustomImageList* Images() const { return fImages; }
  void SetImages(TCustomImageList* images);
  // The item holding command (searching the whole tree), or null.
  TMenuItem* FindItem(unsigned command) const;
  // The enabled, visible item whose ShortCut is key with shift, or null.
  TMenuItem* FindShortCut(Word key, TShiftState shift) const;
  // Clicks the item whose short-cut the key message (WM_KEYDOWN / WM_SYSKEYDOWN) is; true then.
  bool IsShortCut(const TMessage& keyMessage);
  // An item of the tree was added, removed, renamed, shown, hidden, enabled or disabled.
  virtual void MenuChanged() {}

  // Streaming: the top items root owns (their sub-items are written inside them).
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  static void DeclareProperties(TPropTable<TMenu>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::unique_ptr<TMenuItem> fItems;
  TCustomImageList* fImages = nullptr;
};

ZV_ENUM(TPopupAlignment, paLeft, paRight, paCenter);

class TPopupMenu : public TMenu {
  ZV_CLASS(TPopupMenu, TMenu)

public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // Where Popup's point lies on the menu: its left edge, right edge or middle.
  TPopupAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TPopupAlignment value) { fAlignment = value; }
  // Controls pop the menu up on a right click (WM_CONTEXTMENU).
  bool AutoPopup() const { return fAutoPopup; }
  void SetAutoPopup(bool value) { fAutoPopup = value; }
  // The control the menu was last popped up for (set before Popup by the context-menu handling).
  TComponent* PopupComponent() const { return fPopupComponent; }
  void SetPopupComponent(TComponent* component);
  TPoint PopupPoint() const { return fPopupPoint; }

  // Fires OnPopup, then shows the menu at the screen point and tracks it until an item is
  // chosen or the menu is dismissed (Esc, a click elsewhere, CloseMenu). Nothing while another
  // pop-up menu is open, or when the menu has no visible item.
  virtual void Popup(int x, int y);
  // Dismisses the open menu without a choice.
  void CloseMenu();
  // The menu's top window while it is open, else null.
  TMenuWindow* PopupWindow() const;
  // The pop-up menu open now, if any.
  static TPopupMenu* Current();

  TNotifyEvent OnPopup;

  static void DeclareProperties(TPropTable<TPopupMenu>& t);

protected:
  virtual void DoPopup(TObject* sender);
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TMenuWindow;
  TPopupAlignment fAlignment = paLeft;
  bool fAutoPopup = true;
  TComponent* fPopupComponent = nullptr;
  TPoint fPopupPoint;
  std::unique_ptr<TMenuWindow> fWindow;
};


// A form's menu bar: the visible top items side by side, each opening its sub-items in a drop-
// down (a TMenuWindow) under it. The form draws the bar above its client area and hands it the
// mouse and the keys: a press on an item, Alt+its letter, Alt alone or F10 open a menu; Left and
// Right move between the menus, Esc closes. While a menu is open the focused control keeps the
// focus. As with pop-ups, a chosen item's OnClick runs once the loop is over; a top item's own
// OnClick runs just before its drop-down opens (to update its sub-items), and a top item with
// no sub-items is clicked at once.
class TMainMenu : public TMenu {
  ZV_CLASS(TMainMenu, TMenu)

public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  struct TBarItem {
    TMenuItem* Item = nullptr;
    TRect Rect;  // on the bar, whose top left is (0, 0)
  };
  // The visible top items and where they lie on a bar of the given width (one row; items past
  // the end are cut).
  std::vector<TBarItem> BarItems(int width) const;
  // The bar's height, 0 when no top item is visible.
  int BarHeight() const;
  // Paints the bar into rect of canvas.
  void PaintBar(TCanvas& canvas, const TRect& rect) const;

  // The form showing the bar (TCustomForm::SetMenu sets it).
  TWinControl* Host() const { return fHost; }
  void SetHost(TWinControl* host);
  // Opens the drop-down of the visible top item index and tracks the bar until a choice or a
  // dismissal; with byKey its first item is highlighted. Nothing while a menu is open already.
  void Open(int index, bool byKey);
  // The visible top item whose accelerator is c, or -1.
  int FindBarHotkey(char32_t c) const;
  // The bar item drawn open (-1 when none).
  int OpenIndex() const { return fOpenIndex; }
  // The open drop-down, null when the bar is not tracking.
  TMenuWindow* DropDownWindow() const;
  // Closes an open drop-down without a choice.
  void CloseMenu();
  // The main menu whose drop-down is open, if any.
  static TMainMenu* Current();
  // The bar item under a screen point, -1 for none.
  int BarItemAt(TPoint screen) const;
  // Asks the host to lay the bar out again (CM_MENUCHANGED).
  void MenuChanged() override;

  static void DeclareProperties(TPropTable<TMainMenu>& t);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TRect BarOnScreen() const;
  void InvalidateBar() const;

  TWinControl* fHost = nullptr;
  int fOpenIndex = -1;
  std::unique_ptr<TMenuWindow> fWindow;
};

}  // namespace zv
