// Forms on the headless backend: showing and closing, close actions, the modal loop and its
// nesting, focus and key preview, activation, and what the native windows are asked to be.

#include "HarnessTest.h"
#include "IdleScript.h"

#include "platform/controls/ControlsConsts.h"
#include "platform/null/NullWindowBackend.h"

namespace zvtest {

namespace {

class Forms : public THarnessTest {
protected:
  void TearDown() override {
    Application->OnIdle = nullptr;
    THarnessTest::TearDown();
  }
  TNullWindowBackend& Backend() { return *ActiveNullWindowBackend(); }
  TNullWindowBackend::TWindowRecord& Record(TWinControl* c) { return *Backend().Window(NativeWindowOf(c->Handle())); }
  static TMessageButton* Button(TCustomForm* form, TModalResult result, int x) {
    auto* b = new TMessageButton(form);
    b->SetModalResult(result);
    b->SetBounds(x, 10, 75, 25);
    b->SetParent(form);
    return b;
  }
};

}  // namespace

TEST_F(Forms, ShowHideAndTheCloseActions) {
  TLog events;
  auto form = std::make_unique<TForm>(nullptr);
  form->OnShow = [&](TObject*) { events.push_back(std::string("show ") + (form->HandleAllocated() ? "window" : "none")); };
  form->OnHide = [&](TObject*) { events.push_back("hide"); };
  TCloseAction action = caHide;
  bool canClose = true;
  form->OnCloseQuery = [&](TObject*, bool& can) {
    events.push_back("closequery");
    can = canClose;
  };
  form->OnClose = [&](TObject*, TCloseAction& a) {
    events.push_back("close " + std::to_string(a));
    a = action;
  };
  EXPECT_FALSE(form->Visible()) << "a form starts hidden";
  form->Show();
  h->Pump();
  EXPECT_TRUE(Record(form.get()).Visible);
  EXPECT_EQ(events, (TLog{"show none"})) << "OnShow comes before the window exists";

  canClose = false;
  form->Close();
  EXPECT_TRUE(form->Visible());
  canClose = true;
  action = caNone;
  form->Close();
  EXPECT_TRUE(form->Visible());
  action = caMinimize;
  form->Close();
  EXPECT_TRUE(form->Visible()) << "no minimized state: the form stays";
  action = caHide;
  Backend().UserClose(NativeWindowOf(form->Handle()));  // the frame's close box
  h->Pump();
  EXPECT_FALSE(form->Visible());
  EXPECT_FALSE(Record(form.get()).Visible);
  EXPECT_EQ(events, (TLog{"show none", "closequery", "closequery", "close 1", "closequery", "close 1", "closequery",
                          "close 1", "hide"}));

  // caFree: freed once the messages queued before are handled.
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->Show();
  const int forms = Screen->FormCount();
  action = caFree;
  TForm* raw = form.release();
  raw->Close();
  EXPECT_FALSE(destroyed);
  h->Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(Screen->FormCount(), forms - 1);
}

namespace {
// A form class whose OnCreate is set up by its constructor, as a streamed form's would be.
class TCountingForm : public TForm {
public:
  explicit TCountingForm(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { ++Creates; };
  }
  int Creates = 0;
};
}  // namespace

TEST_F(Forms, TheFirstCreatedFormIsTheMainFormAndClosingItEndsRun) {
  TCountingForm* main = nullptr;
  TCountingForm* second = nullptr;
  Application->CreateForm(main);
  Application->CreateForm(second);
  std::unique_ptr<TForm> ownMain(main), ownSecond(second);  // the test frees them before the backend goes
  EXPECT_EQ(main->Owner(), static_cast<TComponent*>(Application));
  EXPECT_EQ(Application->MainForm(), main);
  EXPECT_EQ(main->Creates, 1);
  EXPECT_EQ(second->Creates, 1);

  // Closing another form only hides it.
  TIdleScript script({[&] { EXPECT_TRUE(main->Visible()) << "Run shows the main form"; },
                      [&] {
                        second->Show();
                        second->Close();
                      },
                      [&] { Backend().UserClose(NativeWindowOf(main->Handle())); }});
  Application->Run();
  EXPECT_FALSE(script.GaveUp);
  EXPECT_EQ(script.StepsRun(), 3u);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_FALSE(second->Visible());
  ownMain.reset();
  EXPECT_EQ(Application->MainControl(), nullptr) << "a freed main form is forgotten";
}

TEST_F(Forms, TheModalLoopReturnsTheResultUnlessCloseQueryRefuses) {
  TForm dialog(nullptr);
  TMessageButton* ok = Button(&dialog, mrOk, 10);
  TMessageButton* retry = Button(&dialog, mrRetry, 100);
  int queries = 0;
  TLog closes;
  dialog.OnCloseQuery = [&](TObject*, bool& can) { can = ++queries > 1; };
  dialog.OnClose = [&](TObject*, TCloseAction&) { closes.push_back(std::to_string(dialog.ModalResult())); };
  TModalResult afterRefusal = -1;
  TIdleScript script({[&] { h->Click(retry, 5, 5); }, [&] { afterRefusal = dialog.ModalResult(); },
                      [&] { h->Click(ok, 5, 5); }});
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(afterRefusal, mrNone) << "a refused close puts the result back";
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, (TLog{"1"}));
  EXPECT_FALSE(dialog.FormState().Contains(fsModal));

  dialog.Show();
  try {
    dialog.ShowModal();
    ADD_FAILURE() << "a visible form cannot become modal";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), SCannotShowModal);
  }
}

TEST_F(Forms, NestedModalFormsEachDisableWhatIsBelow) {
  TProbe* outside = h->TopLevel(0, 0, 100, 100);
  TForm outer(nullptr), inner(nullptr);
  outer.SetBounds(200, 200, 200, 100);
  inner.SetBounds(300, 300, 200, 100);
  TMessageButton* outerOk = Button(&outer, mrOk, 10);
  TMessageButton* innerYes = Button(&inner, mrYes, 10);
  TModalResult innerResult = mrNone;
  bool outerTookClick = false;
  outerOk->OnClick = [&](TObject*) { outerTookClick = true; };
  TLog outsideClicks;
  TIdleScript script({[&] { innerResult = inner.ShowModal(); },  // the steps below run in the inner loop
                      [&] { h->Click(outside, 5, 5); },
                      [&] { h->Click(outerOk, 5, 5); },
                      [&] {
                        EXPECT_TRUE(inner.Active());
                        EXPECT_FALSE(outerTookClick) << "the outer form is disabled under the inner one";
                        h->Click(innerYes, 5, 5);
                      },
                      [&] { outsideClicks = h->Take({"ldown"}); },
                      [&] { h->Click(outerOk, 5, 5); }});
  EXPECT_EQ(outer.ShowModal(), mrOk);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_EQ(innerResult, mrYes);
  EXPECT_TRUE(outerTookClick);
  EXPECT_TRUE(outsideClicks.empty());
  h->Click(outside, 5, 5);
  EXPECT_EQ(h->Take({"ldown"}), (TLog{"T ldown 5 5"})) << "enabled again once both loops ended";
}

TEST_F(Forms, KeyPreviewLetsTheFormSeeKeysFirst) {
  TForm form(nullptr);
  TProbe* a = h->Child(&form, "A", 10, 10, 80, 30);
  a->SetTabStop(true);
  TLog keys;
  a->OnKeyDown = [&](TObject*, Word& k, TShiftState) { keys.push_back("A down " + std::to_string(k)); };
  a->OnKeyPress = [&](TObject*, char32_t& c) { keys.push_back("A press " + std::to_string(c)); };
  a->OnKeyUp = [&](TObject*, Word& k, TShiftState) { keys.push_back("A up " + std::to_string(k)); };
  form.OnKeyDown = [&](TObject*, Word& k, TShiftState) {
    keys.push_back("form down " + std::to_string(k));
    if (k == 'X') k = 0;
  };
  form.OnKeyPress = [&](TObject*, char32_t& c) { keys.push_back("form press " + std::to_string(c)); };
  form.OnKeyUp = [&](TObject*, Word& k, TShiftState) { keys.push_back("form up " + std::to_string(k)); };
  form.Show();
  h->Pump();
  ASSERT_TRUE(a->Focused());

  h->KeyDown(a, 'Q');
  h->Char(a, U'q');
  h->KeyUp(a, 'Q');
  EXPECT_EQ(keys, (TLog{"A down 81", "A press 113", "A up 81"})) << "without preview the form sees nothing";
  keys.clear();
  form.SetKeyPreview(true);
  h->KeyDown(a, 'Q');
  h->Char(a, U'q');
  h->KeyUp(a, 'Q');
  h->KeyDown(a, 'X');
  EXPECT_EQ(keys, (TLog{"form down 81", "A down 81", "form press 113", "A press 113", "form up 81", "A up 81",
                        "form down 88"}))
      << "a key the form swallows never reaches the control";
}

TEST_F(Forms, ActiveControlIsRememberedAcrossActivation) {
  TForm one(nullptr), two(nullptr);
  one.SetBounds(0, 0, 300, 200);
  two.SetBounds(400, 0, 300, 200);
  TProbe* a = h->Child(&one, "A", 10, 10, 80, 30);
  TProbe* b = h->Child(&one, "B", 10, 50, 80, 30);
  TProbe* c = h->Child(&two, "C", 10, 10, 80, 30);
  for (TProbe* p : {a, b, c}) p->SetTabStop(true);
  TLog events;
  for (TForm* f : {&one, &two}) {
    const std::string id = f == &one ? "one" : "two";
    f->OnActivate = [&events, id](TObject*) { events.push_back(id + " activate"); };
    f->OnDeactivate = [&events, id](TObject*) { events.push_back(id + " deactivate"); };
  }
  one.SetActiveControl(b);  // before showing: taken when the form is activated
  EXPECT_FALSE(b->Focused());
  one.Show();
  h->Pump();
  EXPECT_TRUE(b->Focused());
  EXPECT_TRUE(one.Active());
  EXPECT_EQ(Screen->ActiveCustomForm(), &one);
  EXPECT_EQ(Screen->ActiveForm(), &one);
  one.SetActiveControl(a);
  EXPECT_TRUE(a->Focused()) << "an active form focuses its new active control at once";

  two.Show();
  h->Pump();
  EXPECT_TRUE(c->Focused()) << "no active control: the first in tab order";
  EXPECT_EQ(two.ActiveControl(), c);
  EXPECT_FALSE(one.Active());
  EXPECT_EQ(Screen->ActiveCustomForm(), &two);

  // The user activates the first window again: its control gets the focus back.
  Backend().ActivateWindow(NativeWindowOf(one.Handle()));
  h->Pump();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(events, (TLog{"one activate", "one deactivate", "two activate", "two deactivate", "one activate"}));

  EXPECT_THROW(one.SetActiveControl(c), EInvalidOperation) << "a control of another form";
  delete a;
  EXPECT_EQ(one.ActiveControl(), nullptr) << "a destroyed active control is forgotten";
  one.Hide();
  EXPECT_FALSE(one.Active());
  EXPECT_EQ(events.back(), "one deactivate") << "hiding the active form deactivates it";
}

// A top-level window has a caption only with both caption bits (WS_CAPTION); a thin border
// alone (WS_BORDER shares one of them) or a dialog frame alone is still a pop-up.
TEST_F(Forms, OnlyTheWholeCaptionStyleMakesACaptionedWindow) {
  class TStyled : public TCustomControl {
  public:
    TStyled(unsigned style) : TCustomControl(nullptr), fStyle(style) { SetBounds(10, 10, 80, 40); }

  protected:
    void CreateParams(TCreateParams& params) override {
      TCustomControl::CreateParams(params);
      params.Style = (params.Style & ~(WS_CHILD | WS_CAPTION)) | fStyle;
    }

  private:
    unsigned fStyle;
  };
  for (auto [style, popup] : {std::pair{WS_POPUP, true}, std::pair{WS_POPUP | WS_BORDER, true},
                              std::pair{WS_POPUP | WS_DLGFRAME, true}, std::pair{WS_POPUP | WS_CAPTION, false}}) {
    TStyled control(style);
    EXPECT_EQ(Record(&control).Popup, popup) << std::hex << style;
  }
}

TEST_F(Forms, BorderAndStyleReachTheNativeWindow) {
  TForm owner(nullptr), tool(&owner), popup(nullptr), dialog(nullptr);
  owner.Show();
  tool.SetBorderStyle(bsToolWindow);
  tool.SetFormStyle(fsStayOnTop);
  tool.Show();
  const auto& t = Record(&tool);
  EXPECT_EQ(t.Frame, TNativeFrame::Tool);
  EXPECT_TRUE(t.StayOnTop);
  EXPECT_FALSE(t.Popup);
  EXPECT_EQ(t.Owner, NativeWindowOf(owner.Handle())) << "an owning form stays below";
  EXPECT_EQ(Record(&owner).Frame, TNativeFrame::Sizeable);
  EXPECT_FALSE(Record(&owner).StayOnTop);

  dialog.SetBorderStyle(bsDialog);
  EXPECT_EQ(Record(&dialog).Frame, TNativeFrame::Dialog);
  const TNativeWindow before = NativeWindowOf(dialog.Handle());
  dialog.SetBorderStyle(bsSizeToolWin);
  EXPECT_NE(NativeWindowOf(dialog.Handle()), before) << "a new border makes a new window";
  EXPECT_EQ(Record(&dialog).Frame, TNativeFrame::SizeableTool);

  // A borderless form shown without activation is a pop-up at its screen place.
  popup.SetBorderStyle(bsNone);
  popup.SetBounds(700, 500, 150, 90);
  const TNativeWindow active = Backend().ActiveWindow();
  popup.ShowNoActivate();
  h->Pump();
  const auto& p = Record(&popup);
  EXPECT_TRUE(p.Popup);
  EXPECT_FALSE(p.ActivateOnShow);
  EXPECT_EQ(p.Frame, TNativeFrame::None);
  EXPECT_EQ(p.Bounds, Rect(700, 500, 850, 590));
  EXPECT_EQ(Backend().ActiveWindow(), active);
  EXPECT_FALSE(popup.Active());
  // Shown normally again, it is a framed-less window that activates.
  popup.Hide();
  popup.Show();
  h->Pump();
  EXPECT_FALSE(Record(&popup).Popup);
  EXPECT_EQ(Backend().ActiveWindow(), NativeWindowOf(popup.Handle()));
  EXPECT_TRUE(popup.Active());
}

TEST_F(Forms, BorderIconsChooseTheCaptionButtonsTheFrameAllows) {
  struct Case {
    TFormBorderStyle Style;
    TBorderIcons Icons;
    bool Sys, Min, Max, Help;
  } cases[] = {
      {bsSizeable, {biSystemMenu, biMinimize, biMaximize}, true, true, true, false},
      {bsSingle, {biSystemMenu, biMinimize}, true, true, false, false},
      {bsSizeable, {biMinimize, biMaximize}, false, false, false, false},  // no system menu, no buttons
      {bsDialog, {biSystemMenu, biMinimize, biMaximize}, true, false, false, false},
      {bsSizeable, {biSystemMenu, biMaximize, biHelp}, true, false, true, false},  // help only alone
      {bsDialog, {biSystemMenu, biHelp}, true, false, false, true},
      {bsToolWindow, {biSystemMenu, biMinimize, biHelp}, true, false, false, true},
      {bsNone, {biSystemMenu, biMinimize, biMaximize}, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.Style);
    TForm form(nullptr);
    form.SetBorderStyle(c.Style);
    form.SetBorderIcons(c.Icons);
    form.Show();
    const bool* b = Record(&form).Buttons;
    EXPECT_EQ(b[0], c.Sys);
    EXPECT_EQ(b[1], c.Min);
    EXPECT_EQ(b[2], c.Max);
    EXPECT_EQ(b[3], c.Help);
  }
}

TEST_F(Forms, PositionCentresOnTheScreenOrOnTheOwner) {
  TForm main(nullptr), centred(nullptr), child(&main);
  main.SetBounds(100, 100, 400, 300);
  main.Show();
  centred.SetBounds(0, 0, 320, 240);
  centred.SetPosition(poScreenCenter);
  centred.Show();
  EXPECT_EQ(centred.BoundsRect(), Rect(800, 420, 1120, 660)) << "the null screen is 1920 x 1080";
  child.SetBounds(0, 0, 200, 100);
  child.SetPosition(poOwnerFormCenter);
  child.Show();
  EXPECT_EQ(child.BoundsRect(), Rect(200, 200, 400, 300));
  // Kept inside the work area.
  child.Hide();
  main.SetBounds(1800, 1000, 100, 60);
  child.Show();
  EXPECT_EQ(child.BoundsRect(), Rect(1720, 940, 1920, 1040));
  EXPECT_EQ(Screen->FormCount(), 3);
  EXPECT_EQ(Screen->Forms(0), &main);
  EXPECT_THROW(Screen->Forms(3), EListError);
}

}  // namespace zvtest
