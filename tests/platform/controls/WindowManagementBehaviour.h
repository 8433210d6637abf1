#pragma once
// Pop-up windows and window management on every backend: a pop-up takes its owner's keys
// without being activated, the focus comes back to the owner when a focused window goes, a
// drop-down's loop sees clicks and the application's switch before they are handled, frameless
// windows are sized by their own edges, stacking, shapes and input transparency decide which
// window is under a point, and a cancelled drag tells its target.
//
//   INSTANTIATE_TEST_SUITE_P(Null, WindowManagementBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"
#include "IdleScript.h"

#include "platform/controls/DragDrop.h"
#include "platform/controls/Form.h"
#include "platform/null/NullWindowBackend.h"

#include <gtest/gtest.h>

namespace zvtest {

class WindowManagementBehaviour : public TBehaviourTest {
protected:
  // An owner form with a focused field "E", and a pop-up form it owns holding a field "P".
  struct TPopupScene {
    TForm owner{nullptr};
    TForm* popup = nullptr;
    TProbe* edit = nullptr;
    TProbe* pick = nullptr;
  };
  void MakeScene(TPopupScene& s, bool asPopup) {
    s.owner.SetBounds(100, 100, 300, 200);
    s.edit = h->Child(&s.owner, "E", 10, 10, 120, 24);
    s.edit->SetTabStop(true);
    s.owner.SetActiveControl(s.edit);
    s.owner.Show();
    h->Pump();
    s.popup = new TForm(&s.owner);
    s.popup->SetBorderStyle(asPopup ? bsNone : bsToolWindow);
    s.popup->SetBounds(110, 134, 120, 80);
    s.pick = h->Child(s.popup, "P", 0, 0, 120, 80);
    s.pick->SetTabStop(true);
    if (asPopup)
      s.popup->ShowNoActivate();
    else
      s.popup->Show();
    h->Pump();
    s.pick->SetFocus();
    h->Pump();
    h->Log.clear();
  }
};

// Keys pressed while a pop-up holds the focus arrive at the owner's window (the windowing
// system never activated the pop-up) and go to the pop-up's focused control; the owner stays
// active. Once the pop-up, or an owned window, hides or goes, the focus is back on the owner's
// active control and so are the keys.
TEST_P(WindowManagementBehaviour, APopupTakesTheOwnersKeysAndTheFocusComesBackWhenItGoes) {
  struct TCase {
    const char* Name;
    bool Popup;
    bool Destroy;
  };
  for (const TCase& c : {TCase{"pop-up hidden", true, false}, TCase{"pop-up destroyed", true, true},
                         TCase{"owned form hidden", false, false}, TCase{"owned form destroyed", false, true}}) {
    SCOPED_TRACE(c.Name);
    TPopupScene s;
    std::vector<std::string> events;
    s.owner.OnDeactivate = [&](TObject*) { events.push_back("owner deactivate"); };
    s.owner.OnActivate = [&](TObject*) { events.push_back("owner activate"); };
    MakeScene(s, c.Popup);
    events.clear();
    ASSERT_TRUE(s.pick->Focused());
    if (c.Popup) {
      EXPECT_TRUE(s.owner.Active()) << "the owner's caption stays active";
      EXPECT_EQ(events, (std::vector<std::string>{})) << "the owner is not deactivated by its pop-up";
      if (TNullWindowBackend* null = ActiveNullWindowBackend()) {
        EXPECT_EQ(null->ActiveWindow(), NativeWindowOf(s.owner.Handle())) << "no native activation";
      }
      h->KeyDown(&s.owner, 'A');
      h->Pump();
      EXPECT_EQ(h->Take({"keydown"}), (TLog{"P keydown 65"}));
    }
    if (c.Destroy)
      delete s.popup;
    else
      s.popup->Hide();
    h->Pump();
    EXPECT_TRUE(s.edit->Focused()) << "back on the owner's active control";
    EXPECT_TRUE(s.owner.Active());
    h->KeyDown(&s.owner, 'B');
    h->Pump();
    EXPECT_EQ(h->Take({"keydown"}), (TLog{"E keydown 66"}));
    if (!c.Destroy) delete s.popup;
  }
}

// A drop-down's loop looks at the input before it is handled: a click on the owner closes the
// pop-up and still reaches the owner; switching to another application ends the loop.
TEST_P(WindowManagementBehaviour, ADropDownLoopEndsOnAClickOnTheOwnerOrAnApplicationSwitch) {
  struct TCase {
    const char* Name;
    std::function<void(TPopupScene&)> User;
    TLog OwnerHears;
  };
  const std::vector<TCase> cases = {
      {"click on the owner",
       [&](TPopupScene& s) {
         h->PumpAfterInput = false;
         h->Click(s.edit, 5, 6);
         h->PumpAfterInput = true;
       },
       {"E ldown 5 6", "E lup 5 6"}},
      {"another application", [&](TPopupScene&) { driver->SwitchApplication(false); }, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TPopupScene s;
    MakeScene(s, true);
    int deactivations = 0;
    Application->OnDeactivate = [&](TObject*) { ++deactivations; };
    TLog seen;
    TIdleScript script({[&] { c.User(s); }});
    while (s.popup->Visible() && Application->Active() && !script.GaveUp) {
      TMsg m;
      if (PeekMessage(m, HWND{}, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE)) {
        seen.push_back(TWinControl::FindControl(m.hwnd) == s.edit ? "press on the owner" : "press elsewhere");
        s.popup->Hide();
        break;
      }
      Application->HandleMessage();
    }
    h->Pump();
    EXPECT_EQ(seen.size(), c.OwnerHears.empty() ? 0u : 1u);
    EXPECT_EQ(h->Take({"ldown", "lup"}), c.OwnerHears);
    EXPECT_EQ(Application->Active(), c.OwnerHears.size() != 0);
    EXPECT_EQ(deactivations, c.OwnerHears.empty() ? 1 : 0);
    Application->OnDeactivate = nullptr;
    driver->SwitchApplication(true);
    h->Pump();
    EXPECT_TRUE(Application->Active());
    delete s.popup;
  }
}

// PeekMessage names the message a waiting press becomes and the window it reaches; removed,
// the press never arrives, yet it counts as the first click of a double click.
TEST_P(WindowManagementBehaviour, PeekMessageSeesMousePressesAndCanRemoveThem) {
  TProbe* top = h->TopLevel(200, 200, 200, 150);
  TProbe* field = h->Child(top, "F", 20, 20, 100, 60);
  TProbe* framed = h->Child(top, "G", 130, 20, 60, 60, clWhite, [](TProbe& p) { p.FrameWidth = 5; });
  h->Pump();
  h->Log.clear();
  TMsg m;
  EXPECT_FALSE(PeekMessage(m, HWND{}, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) << "nothing waits";
  h->PumpAfterInput = false;

  h->MouseDown(field, 7, 8);
  ASSERT_TRUE(PeekMessage(m, top->Handle(), WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) << "a child's press";
  EXPECT_EQ(m.hwnd, field->Handle());
  EXPECT_EQ(m.Msg, WM_LBUTTONDOWN);
  EXPECT_EQ(LParamToPoint(m.LParam), (TPoint{7, 8}));
  EXPECT_FALSE(PeekMessage(m, HWND{}, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) << "outside the filter";
  ASSERT_TRUE(PeekMessage(m, HWND{}, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  h->MouseUp(field, 7, 8);
  h->Pump();
  EXPECT_EQ(h->Take({"ldown", "lup", "ldbl"}), (TLog{"F lup 7 8"})) << "the removed press never arrives";

  // The removed press was the first click: the next one is a double click.
  h->MouseDown(field, 7, 8);
  ASSERT_TRUE(PeekMessage(m, HWND{}, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.Msg, WM_LBUTTONDBLCLK);
  h->MouseUp(field, 7, 8);
  h->Pump();
  EXPECT_EQ(h->Take({"ldown", "lup", "ldbl"}), (TLog{"F ldbl 7 8", "F lup 7 8"}));

  // Over a frame: the non-client press, with the hit code and the screen point.
  h->Wait(600);
  h->MouseDown(framed, -2, 10, mbRight);
  ASSERT_TRUE(PeekMessage(m, HWND{}, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.hwnd, framed->Handle());
  EXPECT_EQ(m.Msg, WM_NCRBUTTONDOWN);
  EXPECT_EQ(static_cast<int>(m.WParam), HTBORDER);
  EXPECT_EQ(LParamToPoint(m.LParam), framed->ClientToScreen({-2, 10}));
  h->MouseUp(framed, -2, 10, mbRight);
  h->Pump();
  h->PumpAfterInput = true;
}

// A frameless window whose edges answer the sizing hit codes is sized by dragging them, told
// each step with WM_SIZING and the edge; the caption hit moves it; Esc puts it back.
TEST_P(WindowManagementBehaviour, AFramelessWindowIsSizedByTheEdgesItAnswers) {
  class TSizable : public TCustomControl {
  public:
    TSizable() : TCustomControl(nullptr) { SetBounds(300, 300, 200, 100); }
    std::vector<unsigned> Edges;
    int SnapHeight = 0;

  protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_NCHITTEST) {
        const TPoint p = ScreenToClient(LParamToPoint(m.LParam));
        const bool l = p.X < 4, r = p.X >= Width() - 4, t = p.Y < 4, b = p.Y >= Height() - 4;
        m.Result = t && l ? HTTOPLEFT : t && r ? HTTOPRIGHT : b && l ? HTBOTTOMLEFT : b && r ? HTBOTTOMRIGHT
                   : l ? HTLEFT : r ? HTRIGHT : t ? HTTOP : b ? HTBOTTOM : p.Y < 20 ? HTCAPTION : HTCLIENT;
        return;
      }
      if (m.Msg == WM_SIZING) {
        Edges.push_back(static_cast<unsigned>(m.WParam));
        auto* r = reinterpret_cast<TRect*>(m.LParam);
        if (SnapHeight > 0) r->Bottom = r->Top + r->Height() / SnapHeight * SnapHeight;
      }
      TCustomControl::WndProc(m);
    }
  };
  struct TCase {
    const char* Name;
    TPoint Grab;  // client point
    TPoint By;
    int Snap;
    TRect Expected;
    unsigned Edge;
  };
  for (const TCase& c : {TCase{"right", {198, 50}, {30, 5}, 0, Rect(300, 300, 530, 400), WMSZ_RIGHT},
                         TCase{"left", {1, 50}, {-20, 0}, 0, Rect(280, 300, 500, 400), WMSZ_LEFT},
                         TCase{"top, snapped to 10", {100, 1}, {0, -17}, 10, Rect(300, 283, 500, 393), WMSZ_TOP},
                         TCase{"bottom right", {199, 99}, {10, 15}, 0, Rect(300, 300, 510, 415), WMSZ_BOTTOMRIGHT},
                         TCase{"caption", {100, 10}, {-50, 40}, 0, Rect(250, 340, 450, 440), 0}}) {
    SCOPED_TRACE(c.Name);
    TSizable w;
    w.SnapHeight = c.Snap;
    w.Show();
    h->Pump();
    h->MouseDown(&w, c.Grab.X, c.Grab.Y);
    h->Pump();
    TPoint at = c.Grab;
    // The mouse moves in two steps; each position is taken relative to where the window is.
    for (int step = 1; step <= 2; ++step) {
      const TPoint screen = {300 + c.Grab.X + c.By.X * step / 2, 300 + c.Grab.Y + c.By.Y * step / 2};
      at = w.ScreenToClient(screen);
      h->MouseMove(&w, at.X, at.Y, TShiftState{ssLeft});
      h->Pump();
    }
    h->MouseUp(&w, at.X, at.Y);
    h->Pump();
    EXPECT_EQ(w.BoundsRect(), c.Expected);
    if (c.Edge) {
      ASSERT_FALSE(w.Edges.empty());
      EXPECT_EQ(w.Edges.back(), c.Edge);
    } else {
      EXPECT_TRUE(w.Edges.empty()) << "a move is no sizing";
    }
  }
  // Esc during the drag restores the window.
  TSizable w;
  w.Show();
  h->Pump();
  h->MouseDown(&w, 198, 50);
  h->MouseMove(&w, 250, 50, TShiftState{ssLeft});
  h->Pump();
  EXPECT_EQ(w.Width(), 252);
  h->KeyDown(&w, VK_ESCAPE);
  h->Pump();
  EXPECT_EQ(w.BoundsRect(), Rect(300, 300, 500, 400));
  h->MouseUp(&w, 250, 50);
  h->Pump();
}

// Which window lies under a point, for the drag's target search: the last shown or activated
// one in its band, stay-on-top windows above the others, and a window that lets input through
// (by its style, by answering HTTRANSPARENT, or outside its shape) counts as absent.
TEST_P(WindowManagementBehaviour, TheWindowUnderAPointFollowsStackingShapesAndTransparency) {
  TProbe* below = h->TopLevel(400, 400, 100, 100);
  below->Id = "below";
  class TMarker : public TProbe {
  public:
    using TProbe::TProbe;
    bool Transparent = false;

  protected:
    void WndProc(TMessage& m) override {
      if (m.Msg == WM_NCHITTEST && Transparent)
        m.Result = HTTRANSPARENT;
      else
        TProbe::WndProc(m);
    }
  };
  auto make = [&](const char* id, unsigned exStyle, bool transparentHit) {
    auto p = std::make_unique<TMarker>(nullptr, id, &h->Log);
    p->ExtraExStyle = exStyle;
    p->Transparent = transparentHit;
    p->SetBounds(440, 440, 15, 15);
    return p;
  };
  const TPoint inside{447, 447}, corner{441, 441};
  struct TCase {
    const char* Name;
    unsigned ExStyle;
    bool TransparentHit;
    bool Shaped;
    const char* AtInside;
    const char* AtCorner;
  };
  for (const TCase& c : {TCase{"plain marker", 0, false, false, "m", "m"},
                         TCase{"transparent style", WS_EX_TRANSPARENT, false, false, "below", "below"},
                         TCase{"answers HTTRANSPARENT", 0, true, false, "below", "below"},
                         TCase{"shaped as a cross", 0, false, true, "m", "below"}}) {
    SCOPED_TRACE(c.Name);
    auto marker = make("m", c.ExStyle, c.TransparentHit);
    marker->Show();
    marker->HandleNeeded();
    if (c.Shaped) {
      TRegion cross(Rect(5, 0, 10, 15));
      cross.Unite(Rect(0, 5, 15, 10));
      SetWindowRgn(marker->Handle(), &cross, true);
    }
    h->Pump();
    auto id = [&](TPoint p) {
      auto* probe = dynamic_cast<TProbe*>(FindDragTarget(p, false));
      return std::string(probe ? probe->Id : "none");
    };
    EXPECT_EQ(id(inside), c.AtInside);
    EXPECT_EQ(id(corner), c.AtCorner);
  }

  // Stacking: the window shown last is above; activating another raises it; a stay-on-top
  // window stays above both.
  auto a = make("a", 0, false), b = make("b", 0, false);
  a->SetBounds(420, 420, 50, 50);
  b->SetBounds(430, 430, 50, 50);
  a->Show();
  a->HandleNeeded();
  b->Show();
  b->HandleNeeded();
  h->Pump();
  EXPECT_EQ(dynamic_cast<TProbe*>(FindDragTarget(inside, false))->Id, "b");
  a->SetFocus();
  h->Pump();
  EXPECT_EQ(dynamic_cast<TProbe*>(FindDragTarget(inside, false))->Id, "a");
  auto top = make("top", WS_EX_TOPMOST, false);
  top->Show();
  top->HandleNeeded();
  h->Pump();
  b->SetFocus();
  h->Pump();
  EXPECT_EQ(dynamic_cast<TProbe*>(FindDragTarget(inside, false))->Id, "top");
}

// However a drag ends without a drop (Esc, another window taking the mouse, its source
// destroyed), the target hears the leave and then DragCanceled, so that what it drew goes; a
// drop is no cancel.
TEST_P(WindowManagementBehaviour, ACancelledDragReachesTheTargetsDragCanceled) {
  class TTarget : public TProbe {
  public:
    using TProbe::TProbe;
    TLog Events;

  protected:
    void DragOver(TObject*, int, int, TDragState state, bool& accept) override {
      accept = true;
      Events.push_back(state == dsDragEnter ? "enter" : state == dsDragLeave ? "leave" : "over");
    }
    void DragDrop(TObject*, int, int) override { Events.push_back("drop"); }
    void DragCanceled() override { Events.push_back("cancel"); }
  };
  struct TCase {
    const char* Name;
    std::function<void(TProbe* source, TProbe* other, TControl* target)> End;
    TLog Expected;
  };
  const std::vector<TCase> cases = {
      {"drop", [&](TProbe*, TProbe*, TControl* t) { h->MouseUp(t, 12, 16); }, {"enter", "over", "drop"}},
      {"Esc", [&](TProbe* s, TProbe*, TControl*) { h->KeyDown(s, VK_ESCAPE); }, {"enter", "over", "leave", "cancel"}},
      {"capture taken", [&](TProbe*, TProbe* o, TControl*) { SetCapture(o->Handle()); }, {"enter", "over", "leave", "cancel"}},
      {"source destroyed", [&](TProbe* s, TProbe*, TControl*) { delete s; }, {"enter", "over", "leave", "cancel"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbe* top = h->TopLevel(40, 30, 320, 160);
    TProbe* source = h->Child(top, "S", 10, 10, 100, 100);
    TProbe* other = h->Child(top, "O", 120, 120, 20, 20);
    auto* target = new TTarget(top, "T", &h->Log);
    target->SetBounds(180, 10, 100, 100);
    target->SetParent(top);
    h->Pump();
    source->OnMouseDown = [source](TObject*, TMouseButton, TShiftState, int, int) { source->BeginDrag(false); };
    h->MouseDown(source, 30, 50);
    h->MouseMove(source, 50, 50);
    ASSERT_TRUE(source->Dragging());
    h->MouseMove(target, 10, 15);
    h->MouseMove(target, 12, 16);
    c.End(source, other, target);
    h->Pump();
    EXPECT_EQ(target->Events, c.Expected);
    EXPECT_FALSE(Mouse->IsDragging());
    h->MouseUp(top, 5, 5);
    h->Pump();
  }
}

}  // namespace zvtest
