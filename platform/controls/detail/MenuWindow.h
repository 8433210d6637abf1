#pragma once
// The window of an open pop-up menu: one per level (the menu, then each open sub-menu), each a
// top-level pop-up window that lays out and paints the visible items of one TMenuItem.
//
// The top window tracks the whole chain while the menu is open: it holds the mouse capture
// (mouse input anywhere reaches it and is handed to the level under the mouse), takes the keys
// (its own and, through a hook, those sent to the focused control, which keeps the focus as it
// does on the host), and ends the nested loop when an item is chosen or the menu dismissed.

#include "platform/controls/CustomControl.h"
#include "platform/controls/Menus.h"

#include <functional>
#include <memory>
#include <vector>

namespace zv {

class TMenuWindow : public TCustomControl {
  ZV_CLASS(TMenuWindow, TCustomControl)

public:
  // item's sub-items are shown; parentMenu is null for the top window.
  TMenuWindow(TMenu* menu, TMenuItem* item, TMenuWindow* parentMenu);
  ~TMenuWindow() override;

  TMenu* Menu() const { return fMenu; }
  TMenuItem* Item() const { return fItem; }
  TMenuWindow* ParentMenu() const { return fParentMenu; }
  TMenuWindow* SubMenu() const { return fSubMenu.get(); }
  // The deepest open level.
  TMenuWindow* Deepest();

  // --- Layout (client coordinates) -----------------------------------------------------------
  // Measures the visible items and sizes the window to them.
  void Layout();
  int ItemCount() const { return static_cast<int>(fRows.size()); }
  TMenuItem* ItemAt(int index) const;
  TRect ItemRect(int index) const;
  // The row at pos, -1 outside the rows (on the frame or outside the window).
  int RowAt(TPoint pos) const;
  // The highlighted row, -1 for none.
  int Selected() const { return fSelected; }
  void Select(int index);
  // Places the window at a screen point (aligned as alignment says) inside the work area,
  // flipping to the point's other side when it would leave it.
  void PlaceAt(TPoint screen, TPopupAlignment alignment);

  // --- Tracking (top window) -----------------------------------------------------------------
  // Shows the window and runs the nested loop until a choice or a dismissal; returns the
  // chosen item or null. With selectFirst the first item that can be chosen is highlighted.
  TMenuItem* Track(bool selectFirst = false);
  // Ends tracking; with item, that item is the choice.
  void EndTracking(TMenuItem* item);
  bool Tracking() const { return fTracking; }
  // The menu is going away while its loop runs: end tracking and forget the items.
  void Orphan();

  // --- A menu bar's drop-down (top window) ---------------------------------------------------
  // The window drops down from item index of a bar of count items; itemAt tells which bar item
  // is at a screen point (-1 for none). Left and Right past the ends of the menus, and the
  // mouse over another bar item, end tracking with a step to that item (BarStep).
  void SetBar(std::function<int(TPoint screen)> itemAt, int index, int count);
  // After Track: the bar item to open next, -1 for none.
  int BarStep() const { return fBarStep; }

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  struct TRow {
    TMenuItem* Item = nullptr;
    TRect Rect;
  };
  TMenuWindow* Root();
  void PaintRow(TCanvas& canvas, int index);
  void OpenSubMenu(bool selectFirst);
  void CloseSubMenu();
  // The next selectable row from start in direction step (wrapping), -1 when none.
  int NextSelectable(int start, int step) const;
  bool Selectable(int index) const;
  // Acts on a row as Enter does: opens its sub-menu or chooses it.
  void Activate(int index);
  // The mouse over row (-1 for none): highlights it and opens its sub-menu.
  void HoverRow(int row);
  void TrackMouse(unsigned msg, TPoint screen);
  void TrackKey(Word key);
  void TrackChar(char32_t c);
  // Closes the chain, releases the capture and the keys, hides the window.
  void Finish();
  void HookFocus();
  void UnhookFocus();
  void StepBar(int index);

  TMenu* fMenu;
  TMenuItem* fItem;
  TMenuWindow* fParentMenu;
  std::unique_ptr<TMenuWindow> fSubMenu;
  std::vector<TRow> fRows;
  int fSelected = -1;
  int fGutter = 0;         // the column of check marks and images
  int fShortCutLeft = 0;   // where short-cut texts start, 0 when none has one
  // Top window only.
  bool fTracking = false;
  bool fArmed = false;     // a button went down or the mouse moved since the menu opened
  TPoint fOpenedAt;
  TMenuItem* fChosen = nullptr;
  TWinControl* fHooked = nullptr;
  bool fInKey = false;     // handling a key sent to the hooked control
  bool fTrailing = false;  // closed by such a key: its character is still to come
  std::function<void(TMessage&)> fHookedProc;
  std::function<int(TPoint)> fBarItemAt;
  int fBarIndex = -1;
  int fBarCount = 0;
  int fBarStep = -1;
};

}  // namespace zv
