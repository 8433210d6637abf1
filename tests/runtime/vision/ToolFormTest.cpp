// The drop-down panel on the headless backend under a stand-alone edit control on a form:
// placement against the work area, linking and restoring, the event order of every way of
// closing, the focusable pop-up's loop (keys through the active window, presses, modal results,
// deactivation, Terminate, the editor destroyed), failures while linking, sizing by the frame.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/WinApi.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/ToolForm.h"

#include "HarnessTest.h"
#include "IdleScript.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

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

// An editor that says it is a grid's in-place editor.
class TInplaceEdit : public TDBDevidEdit {
public:
  explicit TInplaceEdit(TComponent* owner) : TDBDevidEdit(owner, true) {}
};

// A data grid's side of the drop-down, logged; wheel messages are counted.
class TFakeGrid : public TCustomControl, public IvtfDataGrid {
public:
  TFakeGrid(TWinControl* parent, TLog* log) : TCustomControl(parent), fLog(log) {
    SetBounds(0, 30, 100, 40);
    SetParent(parent);
  }
  int Wheels = 0;
  void tfSetToolForm(TControl* form) override { fLog->push_back(form ? "grid linked" : "grid unlinked"); }
  void tfCurrentChanged() override { fLog->push_back("grid current"); }
  void tfPostChanges() override { fLog->push_back("grid posts"); }

protected:
  void WMMouseWheel(TWMMouseWheel&) override { ++Wheels; }

private:
  TLog* fLog;
};

class ToolForm : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
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
    inner = h->Child(panel, "inner", 5, 5, 50, 20);
    inner->SetTabStop(true);
    vision = std::make_unique<TUserVision>(panel, &h->Log);
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision.get());
    edit->SetDataSource(source.get());
    edit->SetDataField("NAME");
    for (auto [name, event] : {std::pair{"show", &TVisionToolForm::OnShow}, std::pair{"activate", &TVisionToolForm::OnActivate},
                               std::pair{"post changes", &TVisionToolForm::OnPostChanges},
                               std::pair{"close", &TVisionToolForm::OnClose}})
      panel->*event = [this, n = std::string(name)](TObject*) { h->Log.push_back(n); };
    edit->SetFocus();
    h->Pump();
    h->Log.clear();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    form.reset();
    vision.reset();
    source.reset();
    data.reset();
    THarnessTest::TearDown();
  }
  TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
  // Keys reach the window the backend holds active, as a keyboard's do.
  void PressActive(Word key, TShiftState shift = {}) {
    TNativeInput in;
    in.Kind = TNativeInputKind::KeyDown;
    in.Key = key;
    in.Shift = shift;
    driver->Inject(Backend().ActiveWindow(), in);
    in.Kind = TNativeInputKind::KeyUp;
    driver->Inject(Backend().ActiveWindow(), in);
  }
  TLog Events() {
    TLog out;
    for (const auto& e : h->Log)
      if (e.rfind("inner", 0) != 0) out.push_back(e);
    h->Log.clear();
    return out;
  }
  // Closed and put back: invisible where it was designed, nothing linked, the editor editing.
  void ExpectRestored() {
    EXPECT_FALSE(panel->Visible());
    EXPECT_EQ(panel->Parent(), form.get());
    EXPECT_EQ(panel->BoundsRect(), (TRect{200, 100, 320, 180}));
    EXPECT_EQ(panel->Popup(), nullptr);
    EXPECT_EQ(panel->Editor(), nullptr);
    EXPECT_EQ(panel->User(), nullptr);
    EXPECT_EQ(edit->ToolForm(), nullptr);
    EXPECT_EQ(vision->Callback, nullptr);
    EXPECT_TRUE(edit->Focused());
  }

  std::unique_ptr<TForm> form;
  std::unique_ptr<TDataSet> data;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TUserVision> vision;
  TVisionToolForm* panel = nullptr;
  TProbe* inner = nullptr;
  TDBDevidEdit* edit = nullptr;
};

TEST_F(ToolForm, PublishedDefaultsAndPlacementChecks) {
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
  EXPECT_THROW(panel->SetDataGrid(edit), EZVError);
  EXPECT_EQ(panel->DataGrid(), nullptr);
  delete inner;
  inner = nullptr;
  EXPECT_EQ(panel->ActiveControl(), nullptr);
}

TEST_F(ToolForm, PlacementNextToTheEditorInsideTheWorkArea) {
  // The editor is at (110, 110)-(260, 131) on the screen; the pop-up is the panel's 120 x 80
  // plus a two-pixel sizing frame.
  struct Case {
    const char* Name;
    TPoint FormAt;
    TvtfPlacement Placement;
    TRect Expected;
    bool Flipped;
  } cases[] = {
      {"default", {100, 100}, tfpDefault, {110, 131, 234, 215}, false},
      {"bottom left", {100, 100}, tfpBottomLeft, {110, 131, 234, 215}, false},
      {"bottom center", {100, 100}, tfpBottomCenter, {122, 131, 246, 215}, false},
      {"bottom right", {100, 100}, tfpBottomRight, {136, 131, 260, 215}, false},
      {"right center", {100, 100}, tfpRightCenter, {260, 79, 384, 163}, false},
      {"above at the bottom", {100, 980}, tfpBottomLeft, {110, 906, 234, 990}, true},
      {"left at the right", {1700, 100}, tfpRightCenter, {1586, 79, 1710, 163}, true},
      {"kept in at the left", {-60, 100}, tfpBottomCenter, {0, 131, 124, 215}, false},
      {"kept in at the right", {1800, 100}, tfpBottomLeft, {1796, 131, 1920, 215}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    form->SetBounds(c.FormAt.X, c.FormAt.Y, 400, 300);
    panel->SetPlacement(c.Placement);
    edit->DropDownBtnClick(false);
    ASSERT_NE(panel->Popup(), nullptr);
    EXPECT_EQ(panel->Popup()->BoundsRect(), c.Expected);
    EXPECT_EQ(panel->Flipped(), c.Flipped);
    EXPECT_EQ(panel->Parent(), panel->Popup());
    EXPECT_TRUE(panel->Visible());
    EXPECT_EQ(edit->ToolForm(), panel);
    panel->ClosePopup(false, false);
    ExpectRestored();
  }
  // Width 0 from OnShow asks for the editor's width.
  form->SetBounds(100, 100, 400, 300);
  panel->SetPlacement(tfpDefault);
  panel->OnShow = [this](TObject*) { panel->SetPopupWidth(0); };
  edit->DropDownBtnClick(false);
  EXPECT_EQ(panel->Popup()->BoundsRect(), (TRect{110, 131, 260, 215}));
  EXPECT_EQ(panel->PopupWidth(), 150);
  panel->ClosePopup(false, false);

  // The in-place editor's pop-up lines up with the cell: one further left, two wider.
  auto* inplace = new TInplaceEdit(form.get());
  inplace->SetBounds(10, 50, 150, 21);
  inplace->SetParent(form.get());
  inplace->SetVision(vision.get());
  inplace->SetFocus();
  h->Pump();
  inplace->DropDownBtnClick(false);
  ASSERT_NE(panel->Popup(), nullptr);
  EXPECT_EQ(panel->Popup()->BoundsRect(), (TRect{109, 171, 261, 255}));
  panel->ClosePopup(false, false);
  EXPECT_EQ(inplace->ToolForm(), nullptr);
}

TEST_F(ToolForm, EventsOfEachWayOfClosing) {
  struct Case {
    const char* Name;
    TvtfOptions Options;
    bool Changed;
    Word Key;
    TLog Expected;
  } cases[] = {
      {"escape", {}, false, VK_ESCAPE, {"linked", "show", "activate", "close", "unlinked"}},
      {"escape with a pick", {}, true, VK_ESCAPE, {"linked", "show", "activate", "close", "unlinked"}},
      {"escape, always posting", {tfoAlwaysPostChanges}, true, VK_ESCAPE,
       {"linked", "show", "activate", "post changes", "close", "unlinked"}},
      {"enter with a pick", {}, true, VK_RETURN, {"linked", "show", "activate", "post hide", "post changes", "close", "unlinked"}},
      {"enter, nothing picked", {}, false, VK_RETURN, {"linked", "show", "activate", "post hide", "close", "unlinked"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    panel->SetOptions(c.Options);
    edit->DropDownBtnClick(false);
    panel->ShowPopup(vision.get(), edit);  // a second showing is ignored
    if (c.Changed) panel->tfValueChanged();
    h->KeyDown(edit, c.Key);
    h->KeyUp(edit, c.Key);
    EXPECT_EQ(Events(), c.Expected);
    ExpectRestored();
  }
}

TEST_F(ToolForm, FailingOnShowLeavesNothingLinked) {
  panel->OnShow = [](TObject*) { throw EZVError("no"); };
  EXPECT_THROW(panel->ShowPopup(vision.get(), edit), EZVError);
  EXPECT_EQ(Events(), (TLog{"linked", "unlinked"}));
  ExpectRestored();
  // A failing OnClose still puts everything back, and the failure reaches the caller.
  panel->OnShow = nullptr;
  panel->OnClose = [](TObject*) { throw EZVError("close"); };
  edit->DropDownBtnClick(false);
  EXPECT_THROW(panel->ClosePopup(false, false), EZVError);
  ExpectRestored();
}

TEST_F(ToolForm, FocusableLoopTakesKeysAndEndsEveryWay) {
  panel->SetOptions({tfoFocusable});
  panel->SetActiveControl(inner);
  TForm* other = new TForm(form.get());
  other->SetBounds(600, 600, 100, 100);
  struct Case {
    const char* Name;
    std::function<void()> Act;
    TLog Expected;
  };
  const Case cases[] = {
      {"escape", [&] { PressActive(VK_ESCAPE); }, {"close", "unlinked"}},
      {"enter", [&] { PressActive(VK_RETURN); }, {"post hide", "close", "unlinked"}},
      {"modal result", [&] { panel->Popup()->SetModalResult(mrOk); }, {"post changes", "close", "unlinked"}},
      {"cancel result", [&] { panel->Popup()->SetModalResult(mrCancel); }, {"close", "unlinked"}},
      {"press on the form", [&] { h->MouseDown(form.get(), 300, 250); }, {"close", "unlinked"}},
      {"application switched", [&] { driver->SwitchApplication(false); }, {"close", "unlinked"}},
      {"terminate", [&] { Application->Terminate(); }, {"close", "unlinked"}},
      {"another form activated", [&] { other->Show(); }, {"close", "unlinked"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    bool focused = false;
    TIdleScript script({[&] {
                          focused = Screen->ActiveControl() == inner;
                          PressActive('A');
                        },
                        c.Act});
    edit->DropDownBtnClick(false);
    EXPECT_FALSE(script.GaveUp);
    EXPECT_TRUE(focused) << "the focus is in the active control while the pop-up is open";
    TLog log = h->Log;
    EXPECT_NE(std::find(log.begin(), log.end(), "inner keydown 65"), log.end()) << "keys reach the pop-up's control";
    TLog expected{"linked", "show", "activate"};
    expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
    EXPECT_EQ(Events(), expected);
    driver->SwitchApplication(true);
    other->Hide();
    form->Show();
    h->Pump();
    edit->SetFocus();
    h->Pump();
    ExpectRestored();
    EXPECT_EQ(Backend().ActiveWindow(), NativeWindowOf(form->Handle()));
  }
}

TEST_F(ToolForm, FocusablePopupPreviewsKeysShortCutsAndCharacters) {
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
                      [&] { PressActive(VK_INSERT, {ssShift}); },
                      [&] { PressActive(VK_DELETE, {ssShift}); },
                      [&] { PressActive(VK_INSERT, {ssCtrl}); },
                      [&] {
                        TNativeInput in;
                        in.Kind = TNativeInputKind::Char;
                        in.Char = U'z';
                        driver->Inject(Backend().ActiveWindow(), in);
                      },
                      [&] { panel->Popup()->Perform(CM_DIALOGCHAR, 'K', 0); },
                      [&] { PressActive(VK_ESCAPE); },
                      [&] { openAfterEscape = panel->Popup() != nullptr; },
                      [&] { PressActive(VK_RETURN); }});
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(openAfterEscape) << "Escape is not handed on with tfoNoAutoCancel";
  std::erase_if(seen, [](const std::string& s) { return s == "key 17" || s == "key 16"; });
  EXPECT_EQ(seen, (TLog{"key 86", "action 3", "key 45", "action 3", "key 46", "action 1", "key 45", "action 2",
                        "char 122", "shortcut 122", "shortcut 75", "key 27", "key 13"}))
      << "a character the focused control leaves is a dialog character";
  EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "post hide", "close", "unlinked"}));
  ExpectRestored();
}

TEST_F(ToolForm, PressOnTheButtonClosesWithoutReopening) {
  panel->SetOptions({tfoFocusable});
  vision->SetEnableButton(true);
  h->Pump();
  const TRect b = edit->ButtonRect();
  TIdleScript script({[&] { h->MouseDown(edit, b.Left + 2, 3); }});
  edit->DropDownBtnClick(false);
  h->MouseUp(edit, b.Left + 2, 3);
  h->Pump();
  EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "close", "unlinked"}));
  EXPECT_EQ(edit->ToolForm(), nullptr) << "the press that closed it did not open it again";
  EXPECT_FALSE(panel->Visible());
}

TEST_F(ToolForm, DestroyingTheEditorOrThePanelWhileShownClosesUnposted) {
  panel->SetOptions({tfoFocusable, tfoAlwaysPostChanges});
  bool forced = false;
  TIdleScript script({[&] {
                        panel->tfValueChanged();
                        delete edit;
                        edit = nullptr;
                      },
                      [&] {
                        // Still open: the loop is ended by hand so that the test can fail.
                        if (panel->Popup()) {
                          forced = true;
                          panel->Popup()->SetModalResult(mrAbort);
                        }
                      }});
  vision->SetCallbackInterface(nullptr);
  h->Log.clear();
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_FALSE(forced) << "the editor's end closed the pop-up";
  EXPECT_EQ(Events(), (TLog{"linked", "show", "activate", "close", "unlinked"}));
  EXPECT_FALSE(panel->Visible());
  EXPECT_EQ(panel->Parent(), form.get());

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

TEST_F(ToolForm, DataGridIsLinkedPostedToAndGetsTheWheel) {
  auto* grid = new TFakeGrid(panel, &h->Log);
  panel->SetDataGrid(grid);
  edit->DropDownBtnClick(false);
  panel->CurrentChanged();
  panel->Perform(WM_MOUSEWHEEL, MakeWParam(0, static_cast<Word>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(grid->Wheels, 1) << "the wheel over the panel scrolls the list";
  panel->tfValueChanged();
  panel->tfClosePopup(true);
  EXPECT_EQ(Events(), (TLog{"grid linked", "linked", "show", "activate", "grid current", "post hide", "grid posts",
                            "post changes", "close", "grid unlinked", "unlinked"}));
  ExpectRestored();

  // The grid destroyed while shown: closed unposted, the grid not called again.
  panel->SetOptions({tfoAlwaysPostChanges});
  edit->DropDownBtnClick(false);
  panel->tfValueChanged();
  h->Log.clear();
  delete grid;
  EXPECT_EQ(Events(), (TLog{"close", "unlinked"}));
  EXPECT_EQ(panel->DataGrid(), nullptr);
  ExpectRestored();
}

TEST_F(ToolForm, AModalDialogFromThePopupKeepsItOpen) {
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
  ExpectRestored();
}

TEST_F(ToolForm, SizingKeepsTheEditorEdgeAndTheLimits) {
  edit->DropDownBtnClick(false);
  TvpToolFormBG* popup = panel->Popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->FrameHitTest({0, 0}), HTLEFT) << "the top edge touches the editor";
  EXPECT_EQ(popup->FrameHitTest({123, 83}), HTBOTTOMRIGHT);
  EXPECT_EQ(popup->FrameHitTest({60, 1}), HTBORDER);
  EXPECT_EQ(popup->FrameHitTest({60, 40}), HTCLIENT);
  int asked = 0;
  panel->OnSizing = [&](TObject*, TvpSizingInfo& info) {
    ++asked;
    if (info.Width == 500) info.Width = -7;  // nonsense is kept above the frame
    if (info.Height == 300) info.Height = 2000000000;
  };
  struct Case {
    unsigned Edge;
    TRect Proposed, Expected;
  } cases[] = {
      {WMSZ_BOTTOMRIGHT, {110, 131, 300, 260}, {110, 131, 300, 260}},
      {WMSZ_TOP, {110, 100, 234, 215}, {110, 131, 234, 215}},
      {WMSZ_LEFT, {90, 131, 234, 215}, {90, 131, 234, 215}},
      {WMSZ_RIGHT, {110, 131, 610, 215}, {110, 131, 115, 215}},
      {WMSZ_BOTTOM, {110, 131, 234, 431}, {110, 131, 234, 1171}},
  };
  for (const Case& c : cases) {
    popup->SetBounds(110, 131, 124, 84);
    TRect r = c.Proposed;
    popup->UserSizing(c.Edge, r);
    EXPECT_EQ(r, c.Expected) << c.Edge;
  }
  EXPECT_EQ(asked, 5);
  popup->Constraints()->SetMaxHeight(200);
  TRect r{110, 131, 234, 431};
  popup->UserSizing(WMSZ_BOTTOM, r);
  EXPECT_EQ(r.Height(), 200);
  EXPECT_TRUE(panel->HeightChanged());
  panel->ClosePopup(false, false);

  // Fixed in both directions: no sizing frame, one pixel wide, all client.
  panel->SetOptions({tfoFixedWidth, tfoFixedHeight});
  edit->DropDownBtnClick(false);
  EXPECT_EQ(panel->Popup()->FrameWidth(), 1);
  EXPECT_EQ(panel->Popup()->BoundsRect(), (TRect{110, 131, 232, 213}));
  EXPECT_EQ(panel->Popup()->FrameHitTest({0, 0}), HTCLIENT);
  panel->ClosePopup(false, false);
}

}  // namespace
}  // namespace zvtest
