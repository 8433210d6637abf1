#pragma once
// Drives an open pop-up menu or a menu bar's drop-down from inside its nested loop: the menu's
// OnPopup (the bar item's OnClick) posts a message to a host control, and the loop's handling of that message runs the steps (input through the
// harness). Whatever the steps did, the menu is closed afterwards so that no test can hang.

#include "ControlHarness.h"

#include "platform/controls/detail/MenuWindow.h"
#include "platform/controls/Menus.h"

#include <gtest/gtest.h>

#include <functional>

namespace zvtest {

class TMenuScript {
public:
  static constexpr unsigned kRunMessage = WM_USER + 0x4D;

  explicit TMenuScript(TWinControl* host) : fHost(host), fInherited(host->WindowProc) {
    host->WindowProc = [this](TMessage& m) {
      if (m.Msg == kRunMessage) return Run();
      fInherited(m);
    };
  }
  ~TMenuScript() { fHost->WindowProc = fInherited; }
  TMenuScript(const TMenuScript&) = delete;
  TMenuScript& operator=(const TMenuScript&) = delete;

  // The next Popup of menu runs steps with the open menu's window.
  void OnNextPopup(TPopupMenu* menu, std::function<void(TMenuWindow&)> steps) {
    fMenu = menu;
    fSteps = std::move(steps);
    menu->OnPopup = [this](TObject*) {
      ++Popups;
      PostMessage(fHost->Handle(), kRunMessage, 0, 0);
    };
  }

  // The next opening of top, an item on main's bar, runs steps with its drop-down.
  void OnNextOpen(TMainMenu* main, TMenuItem* top, std::function<void(TMenuWindow&)> steps) {
    fMenu = nullptr;
    fMainMenu = main;
    fSteps = std::move(steps);
    top->OnClick = [this](TObject*) {
      ++Popups;
      PostMessage(fHost->Handle(), kRunMessage, 0, 0);
    };
  }

  int Popups = 0;
  bool LeftOpen = false;  // the steps did not close the menu

private:
  void Run() {
    auto steps = std::move(fSteps);
    fSteps = nullptr;
    TMenuWindow* window = fMenu ? fMenu->PopupWindow() : fMainMenu ? fMainMenu->DropDownWindow() : nullptr;
    if (!window) {
      ADD_FAILURE() << "the menu is not open when its loop runs";
    } else if (steps) {
      steps(*window);
    }
    if (TPopupMenu* open = TPopupMenu::Current()) {
      LeftOpen = true;
      open->CloseMenu();
    }
    if (TMainMenu* bar = TMainMenu::Current(); bar && bar->DropDownWindow()) {
      LeftOpen = true;
      bar->CloseMenu();
    }
  }

  TWinControl* fHost;
  std::function<void(TMessage&)> fInherited;
  TPopupMenu* fMenu = nullptr;
  TMainMenu* fMainMenu = nullptr;
  std::function<void(TMenuWindow&)> fSteps;
};

// The centre of row index of window, in its client coordinates.
inline TPoint RowCentre(const TMenuWindow& window, int index) {
  const TRect r = window.ItemRect(index);
  return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

}  // namespace zvtest
