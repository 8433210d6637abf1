#pragma once
// The drop-down panel the same on every backend, under a stand-alone edit control and under a
// grid's in-place editor: placement against the work area (normal and flipped), the width asked
// for, the font, linking and restoring, the event order of every way of closing, the focusable
// pop-up's loop (keys through the active window, presses, modal results, deactivation,
// Terminate, the editor destroyed), failures while linking, sizing by every edge and corner, the
// frame as shown, short-cuts, and the wheel reaching a real grid on the panel.
//
// A test program joins with one instantiation over its driver and a definition of
// BackendActiveWindow for its backend:
//   INSTANTIATE_TEST_SUITE_P(Null, ToolFormBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/WinApi.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/ToolForm.h"

#include "HarnessTest.h"
#include "IdleScript.h"

#include <gtest/gtest.h>

namespace zvtest {

// The top-level window the backend holds active (the one a keyboard types into); 0 when none.
TNativeWindow BackendActiveWindow();

namespace toolform {

using namespace zv;

// A vision that drops the panel down and logs what the panel asks of it.
class TUserVision : public TvpFieldVision, public IVisionToolFormUser {
public:
  TUserVision(TVisionToolForm* panel, TLog* log) : TvpFieldVision(nullptr), fPanel(panel), fLog(log) {}
  IVisionToolForm* Callback = nullptr;
  TWinControl* DefaultToolForm() override { return fPanel; }
  void PE_ShowDropDown(IvpFieldEditor& edit, TWinControl*) override {
    fPanel->ShowPopup(this, static_cast<TDBDevidEdit*>(edit.Control()));
  }
  TDataSource* DefDataSource() override { return nullptr; }
  void SetCallbackInterface(IVisionToolForm* form) override {
    Callback = form;
    fLog->push_back(form ? "linked" : "unlinked");
  }
  bool PostChanges(IvpFieldEditor& edit, bool selectAll) override {
    fLog->push_back("post");
    return TvpFieldVision::PostChanges(edit, selectAll);
  }
  bool PostChangesAndHide(IvpFieldEditor& edit, bool selectAll) override {
    fLog->push_back("post hide");
    return TvpFieldVision::PostChangesAndHide(edit, selectAll);
  }

private:
  TVisionToolForm* fPanel;
  TLog* fLog;
};

// A data grid's side of the drop-down, logged; wheel messages are counted.
class TFakeGrid : public TCustomControl, public IvtfDataGrid {
public:
  TFakeGrid(TWinControl* parent, TLog* log) : TCustomControl(parent), fLog(log) {
    SetBounds(0, 30, 100, 40);
    SetParent(parent);
  }
  int Wheels = 0;
  TControl* Linked = nullptr;
  void tfSetToolForm(TControl* form) override {
    Linked = form;
    fLog->push_back(form ? "grid linked" : "grid unlinked");
  }
  void tfCurrentChanged() override { fLog->push_back("grid current"); }
  void tfPostChanges() override { fLog->push_back("grid posts"); }

protected:
  void WMMouseWheel(TWMMouseWheel&) override { ++Wheels; }

private:
  TLog* fLog;
};

enum class TEditorKind { StandAlone, InPlace };
inline const char* KindName(TEditorKind k) { return k == TEditorKind::StandAlone ? "stand-alone" : "in-place"; }
constexpr TEditorKind kEditorKinds[] = {TEditorKind::StandAlone, TEditorKind::InPlace};

}  // namespace toolform

// A shown form (100, 100, 400 x 300) with a stand-alone editor at (10, 10, 150 x 21) and a grid
// at (10, 60) whose NAME column has the same vision; the panel (120 x 80 at 200, 100) holds a
// tab-stop probe "inner" at (5, 5).
class ToolFormBehaviour : public TBehaviourTest {
protected:
  using TEditorKind = toolform::TEditorKind;

  void SetUp() override {
    TBehaviourTest::SetUp();
    Application->OnException = [this](TObject*, const Exception& e) { h->Log.push_back("error " + e.Message()); };
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    data = CreateGridMemTable(3);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(data.get());
    panel = new TVisionToolForm(form.get());
    panel->SetName("Panel");
    panel->SetBounds(200, 100, 120, 80);
    panel->SetParent(form.get());
    inner = h->Child(panel, "inner", 5, 5, 50, 20, clRed);
    inner->SetTabStop(true);
    vision = std::make_unique<toolform::TUserVision>(panel, &h->Log);
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision.get());
    edit->SetDataSource(source.get());
    edit->SetDataField("NAME");
    outer = new TDBDivoRud(form.get());
    outer->SetBounds(10, 60, 300, 120);
    outer->SetParent(form.get());
    TgpColumn* column = outer->Columns()->Add();
    column->SetFieldName("NAME");
    column->SetVision(vision.get());
    outer->SetDataSource(source.get());
    for (auto [name, event] : {std::pair{"show", &TVisionToolForm::OnShow}, std::pair{"activate", &TVisionToolForm::OnActivate},
                               std::pair{"post changes", &TVisionToolForm::OnPostChanges},
                               std::pair{"close", &TVisionToolForm::OnClose}})
      panel->*event = [this, n = std::string(name)](TObject*) { h->Log.push_back(n); };
    edit->SetFocus();
    h->Wait(20);
    h->Log.clear();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    form.reset();
    vision.reset();
    source.reset();
    data.reset();
    TBehaviourTest::TearDown();
  }
  // The editor of kind, focused and editing.
  TDBDevidEdit* Open(TEditorKind kind) {
    if (kind == TEditorKind::StandAlone) {
      edit->SetFocus();
      h->Pump();
      return edit;
    }
    if (!(outer->InplaceEditor() && outer->InplaceEditor()->Visible())) {
      outer->SetFocus();
      h->Pump();
      h->KeyDown(outer, VK_F1 + 1);
      h->KeyUp(outer, VK_F1 + 1);
    }
    TDBDevidEdit* e = outer->InplaceEditor();
    EXPECT_TRUE(e && e->Visible() && e->Focused());
    h->Log.clear();
    return e;
  }
  // Keys reach the window the backend holds active, as a keyboard's do.
  void PressActive(Word key, TShiftState shift = {}) {
    TNativeInput in;
    in.Kind = TNativeInputKind::KeyDown;
    in.Key = key;
    in.Shift = shift;
    driver->Inject(BackendActiveWindow(), in);
    in.Kind = TNativeInputKind::KeyUp;
    driver->Inject(BackendActiveWindow(), in);
  }
  TLog Events() {
    TLog out;
    for (const auto& e : h->Log)
      if (e.rfind("inner", 0) != 0 && e.rfind("grid ", 0) != 0) out.push_back(e);
    h->Log.clear();
    return out;
  }
  // Closed and put back: invisible where it was designed, nothing linked, the editor editing
  // with the focus, its form the active window.
  void ExpectRestored(TDBDevidEdit* editor, toolform::TFakeGrid* grid = nullptr) {
    EXPECT_FALSE(panel->Visible());
    EXPECT_EQ(panel->Parent(), form.get());
    EXPECT_EQ(panel->BoundsRect(), (TRect{200, 100, 320, 180}));
    EXPECT_EQ(panel->Popup(), nullptr);
    EXPECT_EQ(panel->Editor(), nullptr);
    EXPECT_EQ(panel->User(), nullptr);
    EXPECT_EQ(vision->Callback, nullptr);
    if (grid) {
      EXPECT_EQ(grid->Linked, nullptr);
    }
    if (!editor) return;
    EXPECT_EQ(editor->ToolForm(), nullptr);
    EXPECT_TRUE(editor->Focused()) << "editing";
    EXPECT_EQ(Screen->ActiveControl(), editor);
    EXPECT_EQ(BackendActiveWindow(), NativeWindowOf(form->Handle()));
  }

  std::unique_ptr<TForm> form;
  std::unique_ptr<TDataSet> data;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<toolform::TUserVision> vision;
  TVisionToolForm* panel = nullptr;
  TProbe* inner = nullptr;
  TDBDevidEdit* edit = nullptr;
  TDBDivoRud* outer = nullptr;
};

TEST_P(ToolFormBehaviour, PublishedDefaultsAndPlacementChecks) {
  TVisionToolForm fresh(nullptr);
  EXPECT_EQ(fresh.Color(), clWindow);
  EXPECT_FALSE(fresh.ParentColor());
  EXPECT_TRUE(fresh.ParentFont());
  EXPECT_EQ(fresh.Placement(), tfpDefault);
  EXPECT_TRUE(fresh.Options().Empty());
  EXPECT_FALSE(fresh.Visible());
  std::vector<std::string> events;
  for (const TPropInfo* p : GetPropInfos(TVisionToolForm::StaticClass()))
    if (p->Published && p->Name.rfind("On", 0) == 0) events.push_back(p->Name);
  EXPECT_EQ(events, (std::vector<std::string>{"OnPaint", "OnShow", "OnPostChanges", "OnClose", "OnActivate", "OnSizing",
                                              "OnCurrentChanged", "OnTextChanged", "OnKeyDown", "OnKeyPress", "OnShortCut",
                                              "OnEditAction"}));

  // Only controls on the panel: the reference stays; null clears; a destroyed one is forgotten.
  panel->SetActiveControl(inner);
  try {
    panel->SetActiveControl(edit);
    ADD_FAILURE() << "an editor outside the panel was taken";
  } catch (const EZVError& e) {
    EXPECT_EQ(e.Message(), "'" + edit->Name() + "' must be placed on 'Panel'");
  }
  EXPECT_EQ(panel->ActiveControl(), inner);
  EXPECT_THROW(panel->SetDataGrid(outer), EZVError) << "a grid of the form, not of the panel";
  EXPECT_EQ(panel->DataGrid(), nullptr);
  delete inner;
  inner = nullptr;
  EXPECT_EQ(panel->ActiveControl(), nullptr);
}

TEST_P(ToolFormBehaviour, PlacementNextToEitherEditorInsideTheWorkArea) {
  const TRect work = Screen->WorkAreaRect();
  // e: the editor's window rectangle; w x h: the pop-up's outer size; ip: 1 for the in-place
  // editor, whose pop-up lines up with the cell's left edge.
  using TWhere = std::function<TPoint(const TRect& e, int w, int h, int ip)>;
  struct Case {
    const char* Name;
    TPoint FormAt;
    TvtfPlacement Placement;
    TWhere Expected;
    bool Flipped;
  } const cases[] = {
      {"default", {work.Left + 100, work.Top + 100}, tfpDefault,
       [](const TRect& e, int, int, int ip) { return TPoint{e.Left - ip, e.Bottom}; }, false},
      {"bottom left", {work.Left + 100, work.Top + 100}, tfpBottomLeft,
       [](const TRect& e, int, int, int ip) { return TPoint{e.Left - ip, e.Bottom}; }, false},
      {"bottom center", {work.Left + 100, work.Top + 100}, tfpBottomCenter,
       [](const TRect& e, int w, int, int) { return TPoint{e.Left - (w - e.Width()) / 2 - 1, e.Bottom}; }, false},
      {"bottom right", {work.Left + 100, work.Top + 100}, tfpBottomRight,
       [](const TRect& e, int w, int, int) { return TPoint{e.Right - w, e.Bottom}; }, false},
      {"right center", {work.Left + 100, work.Top + 100}, tfpRightCenter,
       [](const TRect& e, int, int h, int) { return TPoint{e.Right, e.Top - (h - e.Height()) / 2}; }, false},
      {"bottom left, above", {work.Left + 100, work.Bottom - 100}, tfpBottomLeft,
       [](const TRect& e, int, int h, int ip) { return TPoint{e.Left - ip, e.Top - h}; }, true},
      {"bottom center, above", {work.Left + 100, work.Bottom - 100}, tfpBottomCenter,
       [](const TRect& e, int w, int h, int) { return TPoint{e.Left - (w - e.Width()) / 2 - 1, e.Top - h}; }, true},
      {"bottom right, above", {work.Left + 100, work.Bottom - 100}, tfpBottomRight,
       [](const TRect& e, int w, int h, int) { return TPoint{e.Right - w, e.Top - h}; }, true},
      {"right center, left of it", {work.Right - 120, work.Top + 100}, tfpRightCenter,
       [](const TRect& e, int w, int h, int) { return TPoint{e.Left - w, e.Top - (h - e.Height()) / 2}; }, true},
      {"kept in at the left", {work.Left - 60, work.Top + 100}, tfpBottomCenter,
       [&work](const TRect& e, int, int, int) { return TPoint{work.Left, e.Bottom}; }, false},
      {"kept in at the right", {work.Right - 50, work.Top + 100}, tfpBottomLeft,
       [&work](const TRect& e, int w, int, int) { return TPoint{work.Right - w, e.Bottom}; }, false},
      {"kept in at the top", {work.Left + 100, work.Top - 60}, tfpRightCenter,
       [&work](const TRect& e, int, int, int) { return TPoint{e.Right, work.Top}; }, false},
  };
  for (TEditorKind kind : toolform::kEditorKinds) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(toolform::KindName(kind)) + ", " + c.Name);
      form->SetBounds(c.FormAt.X, c.FormAt.Y, 400, 300);
      h->Pump();
      TDBDevidEdit* e = Open(kind);
      panel->SetPlacement(c.Placement);
      e->DropDownBtnClick(false);
      ASSERT_NE(panel->Popup(), nullptr);
      TRect er;
      GetWindowRect(e->Handle(), er);
      EXPECT_EQ(panel->EditRect(), er);
      // The panel's 120 x 80 inside a two-pixel sizing frame.
      const TPoint at = c.Expected(er, 124, 84, kind == TEditorKind::InPlace ? 1 : 0);
      EXPECT_EQ(panel->Popup()->BoundsRect(), (TRect{at.X, at.Y, at.X + 124, at.Y + 84}));
      EXPECT_EQ(panel->Flipped(), c.Flipped);
      EXPECT_EQ(panel->Parent(), panel->Popup());
      EXPECT_EQ(panel->BoundsRect(), (TRect{0, 0, 120, 80})) << "the panel fills the pop-up";
      EXPECT_TRUE(panel->Visible());
      EXPECT_EQ(e->ToolForm(), panel);
      panel->ClosePopup(false, false);
      ExpectRestored(e);
    }
  }
}

TEST_P(ToolFormBehaviour, PopupWidthAndFontFollowTheEditor) {
  TFont bold;
  bold.SetName("Sans");
  bold.SetSize(14);
  bold.SetStyle({fsBold, fsItalic});
  edit->SetFont(&bold);
  outer->SetFont(&bold);
  panel->Font()->SetSize(8);
  const TFont* panelFont = panel->Font();
  for (TEditorKind kind : toolform::kEditorKinds) {
    for (int asked : {0, 1, 200}) {
      for (bool parentFont : {true, false}) {
        SCOPED_TRACE(std::string(toolform::KindName(kind)) + ", width " + std::to_string(asked) +
                     (parentFont ? ", parent font" : ", own font"));
        TDBDevidEdit* e = Open(kind);
        panel->SetParentFont(parentFont);
        if (!parentFont) panel->Font()->SetSize(8);
        panel->OnShow = [&](TObject*) {
          h->Log.push_back("show");
          panel->SetPopupWidth(asked);
        };
        e->DropDownBtnClick(false);
        ASSERT_NE(panel->Popup(), nullptr);
        const int expected = asked > 0 ? asked + 4 : e->Width() + (kind == TEditorKind::InPlace ? 2 : 0);
        EXPECT_EQ(panel->Popup()->Width(), expected);
        EXPECT_EQ(panel->PopupWidth(), asked > 0 ? asked : expected);
        EXPECT_EQ(panel->Popup()->Height(), 84);
        if (parentFont) {
          EXPECT_EQ(panel->Popup()->Font()->Size(), e->Font()->Size());
          EXPECT_EQ(panel->Popup()->Font()->Name(), e->Font()->Name());
          EXPECT_TRUE(panel->Popup()->Font()->Style().Empty()) << "the editor's font without styles";
          EXPECT_EQ(panel->Font()->Size(), e->Font()->Size());
          EXPECT_TRUE(panel->ParentFont());
        } else {
          EXPECT_EQ(panel->Popup()->Font()->Size(), 8) << "the panel's own font";
        }
        panel->ClosePopup(false, false);
        ExpectRestored(e);
        EXPECT_EQ(panel->ParentFont(), parentFont) << "restored";
        if (!parentFont) {
          EXPECT_EQ(panelFont->Size(), 8);
        }
      }
    }
  }
}

TEST_P(ToolFormBehaviour, EventsOfEachWayOfClosingAnOrdinaryPopup) {
  struct Case {
    const char* Name;
    TvtfOptions Options;
    bool Changed;
    Word Key;
    TLog Expected;
  } const cases[] = {
      {"escape", {}, false, VK_ESCAPE, {"linked", "show", "activate", "close", "unlinked"}},
      {"escape with a pick", {}, true, VK_ESCAPE, {"linked", "show", "activate", "close", "unlinked"}},
      {"escape, always posting", {tfoAlwaysPostChanges}, true, VK_ESCAPE,
       {"linked", "show", "activate", "post changes", "close", "unlinked"}},
      {"enter with a pick", {}, true, VK_RETURN, {"linked", "show", "activate", "post hide", "post changes", "close", "unlinked"}},
      {"enter, nothing picked", {}, false, VK_RETURN, {"linked", "show", "activate", "post hide", "close", "unlinked"}},
  };
  for (TEditorKind kind : toolform::kEditorKinds) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(toolform::KindName(kind)) + ", " + c.Name);
      TDBDevidEdit* e = Open(kind);
      panel->SetOptions(c.Options);
      e->DropDownBtnClick(false);
      panel->ShowPopup(vision.get(), e);  // a second showing is ignored
      panel->ShowPopup(vision.get(), kind == TEditorKind::StandAlone ? outer->InplaceEditor() : edit);
      EXPECT_EQ(panel->Editor(), e);
      if (c.Changed) panel->tfValueChanged();
      h->KeyDown(e, c.Key);
      h->KeyUp(e, c.Key);
      EXPECT_EQ(Events(), c.Expected);
      ExpectRestored(e);
    }
  }
}

TEST_P(ToolFormBehaviour, FailingOnShowLeavesNothingLinked) {
  panel->OnShow = [](TObject*) { throw EZVError("no"); };
  EXPECT_THROW(panel->ShowPopup(vision.get(), edit), EZVError);
  EXPECT_EQ(Events(), (TLog{"linked", "unlinked"}));
  ExpectRestored(edit);
  // A failing OnClose still puts everything back, and the failure reaches the caller.
  panel->OnShow = nullptr;
  panel->OnClose = [](TObject*) { throw EZVError("close"); };
  edit->DropDownBtnClick(false);
  EXPECT_THROW(panel->ClosePopup(false, false), EZVError);
  ExpectRestored(edit);
}

TEST_P(ToolFormBehaviour, FocusableLoopTakesKeysAndEndsEveryWay) {
  panel->SetActiveControl(inner);
  auto* grid = new toolform::TFakeGrid(panel, &h->Log);
  panel->SetDataGrid(grid);
  TForm* other = new TForm(form.get());
  other->SetBounds(600, 400, 100, 100);
  vision->SetEnableButton(true);
  vision->SetButtonStyle(pbsDropDown);
  vision->SetEnableDropDown(true);
  // Presses wait in the queue, as a user's do, for the loop to see them before they are handled.
  const auto press = [&](TControl* control, int x, int y) {
    h->PumpAfterInput = false;
    h->MouseDown(control, x, y);
    h->PumpAfterInput = true;
  };
  const auto pressOnText = [&](TDBDevidEdit* e) {
    e->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { h->Log.push_back("editor pressed"); };
    press(e, 3, 5);
  };
  struct Case {
    const char* Name;
    TvtfOptions Options;
    std::function<void(TDBDevidEdit*)> Act;
    TLog Expected;
  };
  const Case cases[] = {
      {"escape", {}, [&](TDBDevidEdit*) { PressActive(VK_ESCAPE); }, {"close", "unlinked"}},
      {"enter", {}, [&](TDBDevidEdit*) { PressActive(VK_RETURN); }, {"post hide", "close", "unlinked"}},
      {"enter kept, then escape", {tfoNoAutoPost},
       [&](TDBDevidEdit*) {
         PressActive(VK_RETURN);
         h->Log.push_back(panel->Popup() ? "still open" : "closed");
         PressActive(VK_ESCAPE);
       },
       {"still open", "close", "unlinked"}},
      {"escape kept, then enter", {tfoNoAutoCancel},
       [&](TDBDevidEdit*) {
         PressActive(VK_ESCAPE);
         h->Log.push_back(panel->Popup() ? "still open" : "closed");
         PressActive(VK_RETURN);
       },
       {"still open", "post hide", "close", "unlinked"}},
      {"escape with a pick, always posting", {tfoAlwaysPostChanges},
       [&](TDBDevidEdit*) {
         panel->tfValueChanged();
         PressActive(VK_ESCAPE);
       },
       {"post changes", "close", "unlinked"}},
      {"modal result", {}, [&](TDBDevidEdit*) { panel->Popup()->SetModalResult(mrOk); }, {"post changes", "close", "unlinked"}},
      {"cancel result", {}, [&](TDBDevidEdit*) { panel->Popup()->SetModalResult(mrCancel); }, {"close", "unlinked"}},
      {"press on the editor's text", {}, pressOnText, {"close", "unlinked", "editor pressed"}},
      {"press on the button", {},
       [&](TDBDevidEdit* e) { press(e, e->ButtonRect().Left + 2, e->ButtonRect().Top + 3); }, {"close", "unlinked"}},
      {"press on the form", {}, [&](TDBDevidEdit*) { press(form.get(), 390, 290); }, {"close", "unlinked"}},
      {"application switched", {}, [&](TDBDevidEdit*) { driver->SwitchApplication(false); }, {"close", "unlinked"}},
      {"terminate", {}, [&](TDBDevidEdit*) { Application->Terminate(); }, {"close", "unlinked"}},
      {"another form activated", {}, [&](TDBDevidEdit*) { other->Show(); }, {"close", "unlinked"}},
  };
  for (TEditorKind kind : toolform::kEditorKinds) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(toolform::KindName(kind)) + ", " + c.Name);
      TDBDevidEdit* e = Open(kind);
      panel->SetOptions(c.Options + TvtfOptions{tfoFocusable});
      bool focused = false;
      // Inside the application's own loop, so that Terminate has one to end after the pop-up's.
      TIdleScript script({[&] { e->DropDownBtnClick(false); },
                          [&] {
                            focused = Screen->ActiveControl() == inner;
                            PressActive('A');
                          },
                          [&] { c.Act(e); }, [] { Application->Terminate(); }});
      Application->Run();
      EXPECT_FALSE(script.GaveUp);
      EXPECT_TRUE(focused) << "the focus is in the active control while the pop-up is open";
      TLog log = h->Log;
      EXPECT_NE(std::find(log.begin(), log.end(), "inner keydown 65"), log.end()) << "keys reach the pop-up's control";
      TLog expected{"linked", "show", "activate"};
      expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
      EXPECT_EQ(Events(), expected);
      // Whatever the user did elsewhere is undone before the editor is looked at.
      h->MouseUp(e, 3, 5);
      e->OnMouseDown = nullptr;
      driver->SwitchApplication(true);
      other->Hide();
      h->Pump();
      if (kind == TEditorKind::InPlace) {
        EXPECT_TRUE(outer->InplaceEditor()->Visible()) << "still editing the cell";
      }
      ExpectRestored(e, grid);
    }
  }
}

TEST_P(ToolFormBehaviour, FocusablePopupPreviewsKeysShortCutsAndCharacters) {
  panel->SetOptions({tfoFocusable, tfoNoAutoCancel});
  panel->SetActiveControl(inner);
  TLog seen;
  panel->OnKeyDown = [&](TObject*, Word& key, TShiftState) {
    seen.push_back("key " + std::to_string(key));
  };
  panel->OnKeyPress = [&](TObject*, char32_t& c) { seen.push_back("char " + std::to_string(c)); };
  panel->OnEditAction = [&](TObject*, TvpEditAction a) { seen.push_back("action " + std::to_string(a)); };
  panel->OnShortCut = [&](TObject*, Word& key) { seen.push_back("shortcut " + std::to_string(key)); };
  bool openAfterEscape = false;
  TIdleScript script({[&] { PressActive('V', {ssCtrl}); },
                      [&] { PressActive('X', {ssCtrl}); },
                      [&] { PressActive('C', {ssCtrl}); },
                      [&] { PressActive(VK_INSERT, {ssShift}); },
                      [&] { PressActive(VK_DELETE, {ssShift}); },
                      [&] { PressActive(VK_INSERT, {ssCtrl}); },
                      [&] {
                        TNativeInput in;
                        in.Kind = TNativeInputKind::Char;
                        in.Char = U'z';
                        driver->Inject(BackendActiveWindow(), in);
                      },
                      [&] { panel->Popup()->Perform(CM_DIALOGCHAR, 'K', 0); },
                      [&] { PressActive(VK_ESCAPE); },
                      [&] { openAfterEscape = panel->Popup() != nullptr; },
                      [&] { PressActive(VK_RETURN); }});
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(openAfterEscape) << "Escape is not handed on with tfoNoAutoCancel";
  std::erase_if(seen, [](const std::string& s) { return s == "key 17" || s == "key 16"; });
  EXPECT_EQ(seen, (TLog{"key 86", "action 3", "key 88", "action 1", "key 67", "action 2", "key 45", "action 3", "key 46",
                        "action 1", "key 45", "action 2", "char 122", "shortcut 122", "shortcut 75", "key 27", "key 13"}))
      << "a character the focused control leaves is a dialog character";
  EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "post hide", "close", "unlinked"}));
  ExpectRestored(edit);
}

TEST_P(ToolFormBehaviour, PressOnTheButtonClosesWithoutReopening) {
  panel->SetOptions({tfoFocusable});
  vision->SetEnableButton(true);
  vision->SetButtonStyle(pbsDropDown);
  vision->SetEnableDropDown(true);
  for (TEditorKind kind : toolform::kEditorKinds) {
    SCOPED_TRACE(toolform::KindName(kind));
    TDBDevidEdit* e = Open(kind);
    h->Pump();
    const TRect b = e->ButtonRect();
    ASSERT_FALSE(b.IsEmpty());
    // The same press and release on a closed editor opens the drop-down.
    panel->SetOptions({});
    h->MouseDown(e, b.Left + 2, b.Top + 3);
    h->MouseUp(e, b.Left + 2, b.Top + 3);
    EXPECT_EQ(e->ToolForm(), panel);
    panel->ClosePopup(false, false);
    Events();
    panel->SetOptions({tfoFocusable});
    // The press waits in the queue, as a user's does, for the loop to see it.
    TIdleScript script({[&] {
      h->PumpAfterInput = false;
      h->MouseDown(e, b.Left + 2, b.Top + 3);
      h->PumpAfterInput = true;
    }});
    e->DropDownBtnClick(false);
    h->MouseUp(e, b.Left + 2, b.Top + 3);
    h->Pump();
    EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "close", "unlinked"}));
    EXPECT_EQ(e->ToolForm(), nullptr) << "the press that closed it did not open it again";
    ExpectRestored(e);
  }
}

TEST_P(ToolFormBehaviour, DestroyingTheEditorOrThePanelWhileShownClosesUnposted) {
  panel->SetOptions({tfoFocusable, tfoAlwaysPostChanges});
  for (TEditorKind kind : toolform::kEditorKinds) {
    SCOPED_TRACE(toolform::KindName(kind));
    TDBDevidEdit* e = Open(kind);
    bool forced = false;
    TIdleScript script({[&] {
                          panel->tfValueChanged();
                          // The in-place editor goes with its grid.
                          if (kind == TEditorKind::StandAlone) delete edit;
                          else delete outer;
                        },
                        [&] {
                          // Still open: the loop is ended by hand so that the test can fail.
                          if (panel->Popup()) {
                            forced = true;
                            panel->Popup()->SetModalResult(mrAbort);
                          }
                        }});
    e->DropDownBtnClick(false);
    EXPECT_FALSE(script.GaveUp);
    EXPECT_FALSE(forced) << "the editor's end closed the pop-up";
    EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "close", "unlinked"}));
    ExpectRestored(nullptr);
  }
  edit = nullptr;
  outer = nullptr;

  // The panel goes while shown, without a loop: the editor forgets it.
  TDBDevidEdit* second = new TDBDevidEdit(form.get());
  second->SetParent(form.get());
  second->SetVision(vision.get());
  panel->SetOptions({});
  second->SetFocus();
  second->DropDownBtnClick(false);
  EXPECT_EQ(second->ToolForm(), panel);
  delete panel;
  panel = nullptr;
  EXPECT_EQ(second->ToolForm(), nullptr);
  EXPECT_EQ(vision->Callback, nullptr);
}

TEST_P(ToolFormBehaviour, DataGridIsLinkedPostedToAndForgottenWhenDestroyed) {
  auto* grid = new toolform::TFakeGrid(panel, &h->Log);
  panel->SetDataGrid(grid);
  edit->DropDownBtnClick(false);
  panel->CurrentChanged();
  panel->tfValueChanged();
  panel->tfClosePopup(true);
  EXPECT_EQ(h->Log, (TLog{"grid linked", "linked", "show", "activate", "grid current", "post hide", "grid posts",
                          "post changes", "close", "grid unlinked", "unlinked"}));
  h->Log.clear();
  ExpectRestored(edit, grid);

  // The grid destroyed while shown: closed unposted, the grid not called again.
  panel->SetOptions({tfoAlwaysPostChanges});
  edit->DropDownBtnClick(false);
  panel->tfValueChanged();
  h->Log.clear();
  delete grid;
  EXPECT_EQ(Events(), (TLog{"close", "unlinked"}));
  EXPECT_EQ(panel->DataGrid(), nullptr);
  ExpectRestored(edit);
}

// A real grid on the panel scrolls with the wheel turned over the pop-up, whether the wheel
// lands on the panel or the focus is in another control on it.
TEST_P(ToolFormBehaviour, WheelReachesARealGridOnThePanel) {
  auto list = CreateGridMemTable(30);
  TDataSource listSource(nullptr);
  listSource.SetDataSet(list.get());
  auto* grid = new TDBDivoRud(panel);
  grid->SetName("List");
  grid->SetBounds(0, 30, 120, 50);
  grid->SetParent(panel);
  grid->SetDataSource(&listSource);
  panel->SetDataGrid(grid);
  for (bool focusable : {false, true}) {
    SCOPED_TRACE(focusable ? "focusable" : "not focusable");
    list->First();
    panel->SetOptions(focusable ? TvtfOptions{tfoFocusable} : TvtfOptions{});
    panel->SetActiveControl(focusable ? inner : nullptr);
    int before = 0, after = 0;
    const auto turn = [&] {
      before = list->RecNo();
      // Over the panel's own background, right of the inner control.
      h->Wheel(panel->Popup(), 100, 10, -WHEEL_DELTA);
      after = list->RecNo();
    };
    TIdleScript script({turn, [&] { PressActive(VK_ESCAPE); }});
    edit->DropDownBtnClick(false);
    if (!focusable) {
      ASSERT_NE(panel->Popup(), nullptr);
      turn();
      panel->ClosePopup(false, false);
    }
    EXPECT_GT(after, before) << "the grid scrolled down";
    Events();
    ExpectRestored(edit);
  }
}

TEST_P(ToolFormBehaviour, SizingByEveryEdgeAndCorner) {
  const TRect work = Screen->WorkAreaRect();
  // The eight zones in the order of the sizing codes: left, right, top, top left, top right,
  // bottom, bottom left, bottom right; what each answers to a hit test, and which sides a drag
  // there moves ("LRTB").
  struct Case {
    const char* Name;
    TvtfOptions Options;
    TvtfPlacement Placement;
    TPoint FormAt;
    bool Flipped;
    int Hits[8];
    const char* Moves[8];
  } const cases[] = {
      {"below", {}, tfpBottomLeft, {work.Left + 100, work.Top + 100}, false,
       {HTLEFT, HTRIGHT, HTBORDER, HTLEFT, HTRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT},
       {"L", "R", "", "L", "R", "B", "LB", "RB"}},
      {"above", {}, tfpBottomLeft, {work.Left + 100, work.Bottom - 100}, true,
       {HTLEFT, HTRIGHT, HTTOP, HTTOPLEFT, HTTOPRIGHT, HTBORDER, HTLEFT, HTRIGHT},
       {"L", "R", "T", "LT", "RT", "", "L", "R"}},
      {"right", {}, tfpRightCenter, {work.Left + 100, work.Top + 100}, false,
       {HTBORDER, HTRIGHT, HTTOP, HTTOP, HTTOPRIGHT, HTBOTTOM, HTBOTTOM, HTBOTTOMRIGHT},
       {"", "R", "T", "T", "RT", "B", "B", "RB"}},
      {"left", {}, tfpRightCenter, {work.Right - 120, work.Top + 100}, true,
       {HTLEFT, HTBORDER, HTTOP, HTTOPLEFT, HTTOP, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOM},
       {"L", "", "T", "LT", "T", "B", "LB", "B"}},
      {"fixed width", {tfoFixedWidth}, tfpBottomLeft, {work.Left + 100, work.Top + 100}, false,
       {HTCLIENT, HTCLIENT, HTBORDER, HTBORDER, HTBORDER, HTBOTTOM, HTBOTTOM, HTBOTTOM},
       {"", "", "", "", "", "B", "B", "B"}},
      {"fixed height", {tfoFixedHeight}, tfpBottomLeft, {work.Left + 100, work.Top + 100}, false,
       {HTLEFT, HTRIGHT, HTCLIENT, HTLEFT, HTRIGHT, HTCLIENT, HTLEFT, HTRIGHT},
       {"L", "R", "", "L", "R", "", "L", "R"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    form->SetBounds(c.FormAt.X, c.FormAt.Y, 400, 300);
    h->Pump();
    edit->SetFocus();
    panel->SetOptions(c.Options);
    panel->SetPlacement(c.Placement);
    edit->DropDownBtnClick(false);
    TvpToolFormBG* popup = panel->Popup();
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(panel->Flipped(), c.Flipped);
    const TRect start = popup->BoundsRect();
    const int f = popup->FrameWidth();
    const int w = start.Width(), ht = start.Height();
    const TPoint zones[8] = {{0, ht / 2}, {w - 1, ht / 2}, {w / 2, 0},  {0, 0},
                             {w - 1, 0}, {w / 2, ht - 1}, {0, ht - 1}, {w - 1, ht - 1}};
    for (unsigned edge = WMSZ_LEFT; edge <= WMSZ_BOTTOMRIGHT; ++edge) {
      SCOPED_TRACE("zone " + std::to_string(edge));
      const TPoint z = zones[edge - WMSZ_LEFT];
      EXPECT_EQ(popup->Perform(WM_NCHITTEST, 0, PointToLParam({start.Left + z.X, start.Top + z.Y})), c.Hits[edge - WMSZ_LEFT]);
      EXPECT_EQ(popup->FrameHitTest({f, f}), HTCLIENT);
      // The user drags every side of the zone 10 pixels outwards.
      const std::string dragged = edge == WMSZ_LEFT ? "L" : edge == WMSZ_RIGHT ? "R" : edge == WMSZ_TOP ? "T"
                                  : edge == WMSZ_TOPLEFT ? "LT" : edge == WMSZ_TOPRIGHT ? "RT" : edge == WMSZ_BOTTOM ? "B"
                                  : edge == WMSZ_BOTTOMLEFT ? "LB" : "RB";
      const auto grown = [&](const std::string& sides) {
        TRect r = start;
        if (sides.find('L') != std::string::npos) r.Left -= 10;
        if (sides.find('R') != std::string::npos) r.Right += 10;
        if (sides.find('T') != std::string::npos) r.Top -= 10;
        if (sides.find('B') != std::string::npos) r.Bottom += 10;
        return r;
      };
      popup->SetBoundsRect(start);
      TRect r = grown(dragged);
      popup->Perform(WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
      EXPECT_EQ(r, grown(c.Moves[edge - WMSZ_LEFT]));
    }
    popup->SetBoundsRect(start);
    panel->ClosePopup(false, false);
    ExpectRestored(edit);
  }

  // What OnSizing answers, kept within the constraints, the work area and above the frame.
  form->SetBounds(work.Left + 100, work.Top + 100, 400, 300);
  h->Pump();
  panel->SetOptions({});
  panel->SetPlacement(tfpBottomLeft);
  edit->SetFocus();
  edit->DropDownBtnClick(false);
  TvpToolFormBG* popup = panel->Popup();
  const TRect start = popup->BoundsRect();
  int asked = 0;
  TvpSizingInfo answer;
  panel->OnSizing = [&](TObject*, TvpSizingInfo& info) {
    ++asked;
    info = answer;
  };
  struct Answer {
    TvpSizingInfo Given;
    int Width, Height;
  } const answers[] = {
      {{300, 200}, 300, 200},
      {{0, 0}, 5, 5},
      {{-7, -2000000000}, 5, 5},
      {{2000000000, 2000000000}, work.Width(), work.Height()},
  };
  for (const Answer& a : answers) {
    answer = a.Given;
    popup->SetBoundsRect(start);
    TRect r{start.Left, start.Top, start.Right + 1, start.Bottom + 1};
    popup->UserSizing(WMSZ_BOTTOMRIGHT, r);
    EXPECT_EQ(r, (TRect{start.Left, start.Top, start.Left + a.Width, start.Top + a.Height}))
        << a.Given.Width << " x " << a.Given.Height;
  }
  EXPECT_EQ(asked, 4);
  popup->Constraints()->SetMaxHeight(150);
  popup->Constraints()->SetMinWidth(90);
  answer = {10, 300};
  TRect r = start;
  popup->UserSizing(WMSZ_BOTTOMRIGHT, r);
  EXPECT_EQ(r, (TRect{start.Left, start.Top, start.Left + 90, start.Top + 150}));
  EXPECT_TRUE(panel->WidthChanged());
  EXPECT_TRUE(panel->HeightChanged());
  panel->ClosePopup(false, false);
  ExpectRestored(edit);
}

TEST_P(ToolFormBehaviour, FrameAsShown) {
  struct Case {
    const char* Name;
    TvtfOptions Options;
    int Frame;
  } const cases[] = {
      {"sizable", {}, 2},
      {"fixed", {tfoFixedWidth, tfoFixedHeight}, 1},
  };
  panel->SetColor(clYellow);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    panel->SetOptions(c.Options);
    edit->DropDownBtnClick(false);
    TvpToolFormBG* popup = panel->Popup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->FrameWidth(), c.Frame);
    EXPECT_EQ(popup->Width(), 120 + 2 * c.Frame);
    EXPECT_EQ(popup->ClientWidth(), 120);
    h->Wait(30);
    const TNativeWindow native = NativeWindowOf(popup->Handle());
    const int f = c.Frame, w = popup->Width(), ht = popup->Height();
    for (TPoint p : {TPoint{0, 0}, TPoint{w - 1, ht / 2}, TPoint{w / 2, ht - 1}, TPoint{0, ht - 1}})
      EXPECT_EQ(driver->Shown(native, p.X, p.Y), ColorToRGB(clWindowFrame)) << "the outer edge at " << p.X << ", " << p.Y;
    if (f == 2) {
      EXPECT_EQ(driver->Shown(native, 1, ht / 2), ColorToRGB(clYellow)) << "the rest of the frame";
    }
    EXPECT_EQ(driver->Shown(native, f, ht - 1 - f), ColorToRGB(clYellow)) << "the panel's corner";
    EXPECT_EQ(driver->Shown(native, f + 5, f + 5), ColorToRGB(clRed)) << "the panel's control";
    EXPECT_EQ(driver->Shown(native, f + 4, f + 5), ColorToRGB(clYellow));
    h->KeyDown(edit, VK_ESCAPE);
    h->KeyUp(edit, VK_ESCAPE);
    ExpectRestored(edit);
  }
}

TEST_P(ToolFormBehaviour, AModalDialogFromThePopupKeepsItOpen) {
  panel->SetOptions({tfoFocusable});
  panel->SetActiveControl(inner);
  TForm dialog(nullptr);
  dialog.SetBounds(300, 300, 100, 80);
  bool stillShown = false, focusBack = false;
  TIdleScript script({[&] { dialog.ShowModal(); },
                      [&] { dialog.SetModalResult(mrOk); },
                      [&] {
                        stillShown = panel->Visible() && panel->Popup() != nullptr;
                        focusBack = Screen->ActiveControl() == inner;
                        PressActive(VK_ESCAPE);
                      }});
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(stillShown) << "the dialog did not close the pop-up";
  EXPECT_TRUE(focusBack) << "the pop-up's control has the focus again";
  EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "close", "unlinked"}));
  ExpectRestored(edit);
}

}  // namespace zvtest
