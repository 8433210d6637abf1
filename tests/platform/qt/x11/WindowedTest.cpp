// Windowed mode as a user with a desktop meets it, on a private X server (with-xvfb.sh starts
// one): a form is a mapped X window of its size and caption, keys and clicks sent through the
// X server reach its controls, it repaints what another window covered, and closing it from
// the window manager ends Application->Run. Skipped where there is no X server or no xdotool.

#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/Panel.h"
#include "platform/graphics/Region.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

#include "tests/platform/qt/x11/XServerKit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <regex>
#include <string>

namespace zvtest {

using namespace zv;

namespace {

std::unique_ptr<qt::TGuiSession> gSession;

class Windowed : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gSession) GTEST_SKIP() << "no X server (run through with-xvfb.sh)";
    SetGraphicsBackend(qt::CreateQtBackend(true));
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
  }
  void TearDown() override {
    forms.clear();
    if (HasWindowBackend()) {
      SetWindowBackend(nullptr);
      SetGraphicsBackend(nullptr);
    }
  }

  TForm* NewForm(const String& caption, int x, int y, int width, int height, TColor color) {
    forms.push_back(std::make_unique<TForm>(nullptr));
    TForm* form = forms.back().get();
    form->SetCaption(caption);
    form->SetBounds(x, y, width, height);
    form->SetColor(color);
    return form;
  }
  static std::string XId(TWinControl* control) {
    return std::to_string(qt::WindowSystemId(NativeWindowOf(control->Handle())));
  }
  // What the screen shows at client point (x, y) of control, straight from the X server.
  static TColor Screen(TWinControl* control, int x, int y) {
    TPoint p = ClientToWindow(control, {x, y});
    return qt::ScreenPixel(NativeWindowOf(control->Handle()), p.X, p.Y);
  }
  static TPoint ClientToWindow(TWinControl* control, TPoint p) {
    TPoint screen = control->ClientToScreen(p);
    TWinControl* top = control;
    while (top->Parent()) top = top->Parent();
    return {screen.X - top->Left(), screen.Y - top->Top()};
  }
  static bool Mapped(TWinControl* form) {
    return Shell("xwininfo -id " + XId(form)).find("Map State: IsViewable") != std::string::npos;
  }

  std::vector<std::unique_ptr<TForm>> forms;
};

TEST_F(Windowed, AFormIsAMappedXWindowOfItsSizeAndCaption) {
  TForm* form = NewForm("Zovrin — Überblick", 60, 40, 420, 260, clBtnFace);
  form->Show();
  ASSERT_TRUE(Until([&] { return Mapped(form); })) << "the form never became a viewable X window";
  const std::string info = Shell("xwininfo -id " + XId(form));
  EXPECT_EQ(IntAfter(info, "Width:"), 420) << info;
  EXPECT_EQ(IntAfter(info, "Height:"), 260) << info;
  EXPECT_NE(Shell("xprop -id " + XId(form) + " _NET_WM_NAME").find("\"Zovrin — Überblick\""), std::string::npos);

  form->SetCaption("Renamed");
  EXPECT_TRUE(Until([&] { return Shell("xprop -id " + XId(form) + " _NET_WM_NAME").find("\"Renamed\"") != std::string::npos; }));
  form->Hide();
  EXPECT_TRUE(Until([&] { return !Mapped(form); })) << "a hidden form is unmapped";
}

TEST_F(Windowed, KeysAndClicksSentThroughTheXServerReachTheControls) {
  TForm* form = NewForm("Input", 80, 60, 360, 220, clBtnFace);
  auto* edit = new TEdit(form);
  edit->SetBounds(10, 10, 200, 24);
  edit->SetParent(form);
  auto* pad = new TPanel(form);
  pad->SetBounds(10, 60, 300, 120);
  pad->SetParent(form);
  std::vector<TPoint> clicks;
  pad->OnMouseDown = [&](TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button == mbLeft) clicks.push_back({x, y});
  };
  form->SetActiveControl(edit);
  form->Show();
  ASSERT_TRUE(Until([&] { return Mapped(form); }));
  const std::string id = XId(form);
  ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id));
  ASSERT_TRUE(Until([&] { return edit->Focused(); })) << "the edit never got the focus";

  // Real key events (XTEST) on a German keyboard, where ü has a key of its own (xdotool's
  // temporary remapping of missing keys races with the client reading the map): letters, a
  // shifted character, an umlaut, then Backspace.
  const bool german = Succeeds("setxkbmap de");
  const String typed = german ? "Zürich!" : "Zurich!";
  Until([] { return false; }, 100);  // let Qt take the new keyboard map
  ASSERT_TRUE(Succeeds("xdotool type --delay 15 '" + typed + "'"));
  EXPECT_TRUE(Until([&] { return edit->Text() == typed; })) << edit->Text();
  ASSERT_TRUE(Succeeds("xdotool key BackSpace"));
  EXPECT_TRUE(Until([&] { return edit->Text() == typed.substr(0, typed.size() - 1); })) << edit->Text();
  if (german) Succeeds("setxkbmap us");

  const TPoint at = ClientToWindow(pad, {40, 30});
  ASSERT_TRUE(Succeeds("xdotool mousemove --window " + id + " " + std::to_string(at.X) + " " + std::to_string(at.Y) +
                       " click 1"));
  ASSERT_TRUE(Until([&] { return !clicks.empty(); })) << "the click never arrived";
  EXPECT_EQ(clicks.front(), (TPoint{40, 30}));
}

TEST_F(Windowed, WhatAnotherWindowCoveredIsRepainted) {
  TForm* form = NewForm("Covered", 100, 100, 300, 200, clLime);
  form->Show();
  ASSERT_TRUE(Until([&] { return Mapped(form) && Screen(form, 150, 100) == clLime; })) << "the form was never shown";

  TForm* cover = NewForm("Cover", 0, 0, 300, 200, clBlue);
  cover->SetFormStyle(fsStayOnTop);
  cover->Show();
  ASSERT_TRUE(Until([&] { return Mapped(cover); }));
  // Place it over the form's client area wherever the window manager put the form.
  const TPoint origin = form->ClientToScreen({0, 0});
  cover->SetBounds(origin.X + 50, origin.Y + 50, 200, 120);
  ASSERT_TRUE(Until([&] { return Screen(form, 150, 100) == clBlue; })) << "the cover never showed over the form";

  cover->Hide();
  EXPECT_TRUE(Until([&] { return Screen(form, 150, 100) == clLime; }))
      << "the uncovered part was not repainted: " << std::hex << Screen(form, 150, 100);
  EXPECT_EQ(Screen(form, 60, 60), clLime);
}

TEST_F(Windowed, ClosingTheMainFormFromTheWindowManagerEndsRun) {
  if (!std::getenv("ZV_TEST_WINDOW_MANAGER")) GTEST_SKIP() << "no window manager to close the window";
  TForm* form = nullptr;
  Application->CreateForm(form);
  std::unique_ptr<TForm> owned(form);
  form->SetCaption("Main");
  form->SetBounds(120, 80, 320, 200);
  bool closed = false;
  form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
  form->Show();
  ASSERT_TRUE(Until([&] { return Mapped(form); }));

  // The window manager's close (Alt+F4) reaches the application as WM_DELETE_WINDOW while Run
  // waits; a timer ends a Run that would otherwise never end.
  const std::string id = XId(form);
  ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id));
  bool timedOut = false;
  auto inherited = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    inherited(m);
    if (m.Msg == WM_TIMER && m.WParam == 1) {
      KillTimer(form->Handle(), 1);
      std::system("xdotool key alt+F4 &");
    }
    if (m.Msg == WM_TIMER && m.WParam == 2) {
      timedOut = true;
      Application->Terminate();
    }
  };
  SetTimer(form->Handle(), 1, 50);
  SetTimer(form->Handle(), 2, 10000);
  Application->Run();
  EXPECT_FALSE(timedOut) << "Run did not end when the window manager closed the main form";
  EXPECT_TRUE(closed);
}

// The whole dance of a drop-down under a real X server: a pop-up shown without activation
// takes the typed keys (the owner keeps the activation and hands them on), a click on the
// owner is seen by the drop-down's loop before the owner handles it and closes the pop-up,
// and the keys go to the owner's field afterwards.
TEST_F(Windowed, APopupTakesTypedKeysWithoutActivationAndAClickOnTheOwnerClosesIt) {
  TForm* owner = NewForm("Owner", 120, 100, 360, 220, clBtnFace);
  auto* field = new TEdit(owner);
  field->SetBounds(10, 10, 200, 24);
  field->SetParent(owner);
  owner->SetActiveControl(field);
  owner->Show();
  ASSERT_TRUE(Until([&] { return Mapped(owner); }));
  const std::string id = XId(owner);
  ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id));
  ASSERT_TRUE(Until([&] { return field->Focused(); }));

  auto popup = std::make_unique<TForm>(owner);
  popup->SetBorderStyle(bsNone);
  auto* pick = new TEdit(popup.get());
  pick->SetBounds(0, 0, 160, 24);
  pick->SetParent(popup.get());
  const TPoint under = field->ClientToScreen({0, field->Height()});
  popup->SetBounds(under.X, under.Y, 160, 60);
  popup->ShowNoActivate();
  pick->SetFocus();
  ASSERT_TRUE(Until([&] { return Mapped(popup.get()); }));
  Until([] { return false; }, 200);  // a window manager would have activated it by now

  if (std::getenv("ZV_TEST_WINDOW_MANAGER")) {
    EXPECT_EQ(std::stoul("0" + Shell("xdotool getactivewindow 2>/dev/null")), std::stoul(id))
        << "the owner stays the active window";
  }
  ASSERT_TRUE(Succeeds("xdotool type --delay 15 abc"));
  EXPECT_TRUE(Until([&] { return pick->Text() == "abc"; })) << "the pop-up has '" << pick->Text() << "'";
  EXPECT_EQ(field->Text(), "");

  // The drop-down's loop: a press waiting for the owner closes the pop-up first.
  bool sawPress = false;
  const TPoint at = ClientToWindow(field, {40, 12});
  ASSERT_TRUE(Succeeds("xdotool mousemove --window " + id + " " + std::to_string(at.X) + " " + std::to_string(at.Y) +
                       " click 1"));
  for (int i = 0; i < 400 && popup->Visible(); ++i)
    qt::RunQtEventLoop(10, [&] {
      TMsg m;
      if (popup->Visible() && PeekMessage(m, owner->Handle(), WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) {
        sawPress = true;
        popup->Hide();
      }
      Application->ProcessMessages();
    });
  EXPECT_TRUE(sawPress) << "the loop never saw the click on the owner";
  EXPECT_FALSE(popup->Visible());
  EXPECT_TRUE(Until([&] { return field->Focused() && !Mapped(popup.get()); }));

  ASSERT_TRUE(Succeeds("xdotool type --delay 15 xy"));
  EXPECT_TRUE(Until([&] { return field->Text() == "xy"; })) << "the owner's field has '" << field->Text() << "'";
  EXPECT_EQ(pick->Text(), "abc");
}

// A 15 x 15 drag marker shaped as a cross floats over a form: the screen shows the cross and,
// around it, the form; a drag passes through it to the control below.
TEST_F(Windowed, AShapedMarkerShowsItsShapeAndLetsADragPassThrough) {
  class TMarkerWindow : public TCustomControl {
  public:
    TMarkerWindow() : TCustomControl(nullptr) { SetColor(clRed); }

  protected:
    void CreateParams(TCreateParams& params) override {
      TCustomControl::CreateParams(params);
      params.ExStyle |= WS_EX_TRANSPARENT | WS_EX_TOPMOST;
    }
    void Paint() override {
      Canvas()->Brush()->SetColor(clRed);
      Canvas()->FillRect(ClientRect());
    }
  };
  TForm* form = NewForm("Drag", 100, 100, 400, 240, clLime);
  auto* source = new TPanel(form);
  source->SetBounds(10, 10, 100, 100);
  source->SetParent(form);
  auto* target = new TPanel(form);
  target->SetBounds(200, 10, 150, 150);
  target->SetParent(form);
  target->SetColor(clLime);
  target->SetBevelOuter(bvNone);
  std::vector<TPoint> drops;
  source->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false, 4); };
  target->OnDragOver = [&](TObject*, TObject* from, int, int, TDragState, bool& accept) { accept = from == source; };
  target->OnDragDrop = [&](TObject*, TObject*, int x, int y) { drops.push_back({x, y}); };
  form->Show();
  ASSERT_TRUE(Until([&] { return Mapped(form); }));
  const std::string id = XId(form);
  Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id);

  TMarkerWindow marker;
  const TPoint origin = target->ClientToScreen({60, 60});
  marker.SetBounds(origin.X, origin.Y, 15, 15);
  TRegion cross(Rect(5, 0, 10, 15));
  cross.Unite(Rect(0, 5, 15, 10));
  marker.Show();
  marker.HandleNeeded();
  SetWindowRgn(marker.Handle(), &cross, true);
  ASSERT_TRUE(Until([&] { return Mapped(&marker) && Screen(target, 67, 67) == clRed; })) << "the cross never showed";
  EXPECT_TRUE(Until([&] { return Screen(target, 61, 61) == clLime; }))
      << "outside its shape the marker shows what lies below: " << std::hex << Screen(target, 61, 61);
  EXPECT_EQ(Screen(target, 67, 61), clRed) << "the vertical bar of the cross";

  // Press on the source, move onto the marker's centre, release: the target takes the drop.
  const TPoint from = ClientToWindow(source, {50, 50}), to = ClientToWindow(target, {67, 67});
  auto move = [&](TPoint p) {
    return Succeeds("xdotool mousemove --window " + id + " " + std::to_string(p.X) + " " + std::to_string(p.Y));
  };
  ASSERT_TRUE(move(from));
  ASSERT_TRUE(Succeeds("xdotool mousedown 1"));
  Until([] { return false; }, 100);
  for (int step = 1; step <= 4; ++step) {
    move({from.X + (to.X - from.X) * step / 4, from.Y + (to.Y - from.Y) * step / 4});
    Until([] { return false; }, 50);
  }
  ASSERT_TRUE(Succeeds("xdotool mouseup 1"));
  ASSERT_TRUE(Until([&] { return !drops.empty(); })) << "the drop never reached the control below the marker";
  EXPECT_EQ(drops.front(), (TPoint{67, 67}));
}

}  // namespace

}  // namespace zvtest

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Only on a reachable X server: Qt's xcb platform aborts the program when it finds none.
  if (zvtest::XServerUsable()) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    zvtest::gSession = std::make_unique<zv::qt::TGuiSession>(argc, argv);
  }
  const int result = RUN_ALL_TESTS();
  zvtest::gSession.reset();
  return result;
}
