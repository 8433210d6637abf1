#pragma once
// The host's combo box (StdCtrls): a choice among Items shown in one line, with a button.
// csDropDownList shows only items: the arrows, Home/End and typing choose among them (typed
// characters within a second of each other build a prefix; the first item starting with it,
// without regard to case, is chosen). csDropDown adds an edit line where any text may be typed;
// ItemIndex then follows the item whose text equals it exactly.
//
// The list drops down in a pop-up window of its own (TComboDropDown) that leaves the focus and
// the activation where they are. While it is open the arrows, pages, Home/End and typing move its
// highlight; Enter, Alt+Up/Down, F4 or a click choose the highlighted item and close it; Esc or
// a click outside close it and leave the choice as it was. The wheel scrolls the open list and
// steps through the items of a closed one.

#include "platform/classes/Strings.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/Edit.h"

#include <memory>

namespace zv {

class TComboDropDown;

ZV_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList);

class TCustomComboBox : public TCustomControl {
  ZV_CLASS(TCustomComboBox, TCustomControl)

public:
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return fStyle; }
  // csSimple is shown as csDropDown.
  void SetStyle(TComboBoxStyle value);
  TStrings* Items() const { return fItems.get(); }
  void SetItems(const TStrings* value) { fItems->Assign(value); }
  // -1 for none; a value outside the items counts as -1.
  int ItemIndex() const { return fItemIndex; }
  void SetItemIndex(int value);
  // The shown text: the chosen item's, or what was typed into the edit line.
  String Text() const;
  void SetText(const String& value);
  // Typed text is cut at MaxLength characters; 0 for no limit.
  int MaxLength() const { return fMaxLength; }
  void SetMaxLength(int value);
  int DropDownCount() const { return fDropDownCount; }
  void SetDropDownCount(int value) { fDropDownCount = value; }
  // Alt+Down and F4 open and close the list; opening fires OnDropDown (which may still fill
  // the items) before the list shows, closing OnCloseUp. A combo box not on screen drops nothing.
  bool DroppedDown() const { return fDroppedDown; }
  void SetDroppedDown(bool value);
  // The open list's window, null while it is closed.
  TComboDropDown* DropDownWindow() const { return fDroppedDown ? fDropDown.get() : nullptr; }
  // The edit line of csDropDown, null for csDropDownList.
  TEdit* EditLine() const { return fEdit; }
  // The item the typed prefix chooses (see above), or -1.
  int FindPrefix(const String& prefix, int startAfter) const;
  // Where the button is drawn.
  TRect ButtonRect() const;

  // A change of the text or the item the user made (not one made from code).
  TNotifyEvent OnChange;
  // The user chose an item.
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  static void DeclareProperties(TPropTable<TCustomComboBox>& t);

protected:
  void Paint() override;
  void KeyDown(Word& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void WMGetDlgCode(TMessage& message) override;
  void WMSetFocus(TWMSetFocus& message) override;
  void WMKillFocus(TWMKillFocus& message) override;
  void Resize() override;
  void CMEnabledChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
  void Loaded() override;
  // The user chose index: ItemIndex, then OnChange and OnSelect.
  void Choose(int index);

private:
  friend class TComboDropDown;
  friend class TComboEdit;
  // Closes the list; with choose, the item (the highlighted one for -1) is chosen first.
  void CloseUp(bool choose, int index = -1);
  // Where the keys put a new item: the list's highlight while it is open, else the choice.
  void Pick(int index);
  int Current() const;
  void ItemsChanged(TObject* sender);
  void PlaceEdit();
  void EditChanged();
  // Up/Down/Home/End/Page keys; true when used.
  bool NavigationKey(Word key, TShiftState shift);

  std::unique_ptr<TStringList> fItems;
  TComboBoxStyle fStyle = csDropDown;
  int fItemIndex = -1;
  int fMaxLength = 0;
  int fDropDownCount = 8;
  bool fDroppedDown = false;
  TEdit* fEdit = nullptr;  // owned by the combo box
  std::unique_ptr<TComboDropDown> fDropDown;
  bool fSettingEdit = false;
  String fTypedPrefix;
  std::uint64_t fLastTyped = 0;
};

class TComboBox : public TCustomComboBox {
  ZV_CLASS(TComboBox, TCustomComboBox)

public:
  using TCustomComboBox::TCustomComboBox;
  static void DeclareProperties(TPropTable<TComboBox>& t);
};

}  // namespace zv
