// The focusable drop-down panel on a real X server (run through with-xvfb.sh, with openbox and
// bare): keys typed with xdotool reach the pop-up's control and, once it closed, the editor; a
// click in another program's window ends the pop-up's loop; the pop-up is mapped where it was
// computed; an open pop-up waiting for the user costs next to no processor time. Skipped where
// there is no X server or no xdotool.
//
// The steps run from a timer inside the pop-up's own loop, each waiting for what it needs with a
// generous deadline that ends as soon as the condition holds.

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/CustomControl.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/ToolForm.h"

#include "tests/platform/qt/x11/XServerKit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zvtest {

using namespace zv;

namespace {

std::unique_ptr<qt::TGuiSession> gSession;
std::string gSelf;  // this program, started again as the other process

std::string XId(TWinControl* control) { return std::to_string(qt::WindowSystemId(NativeWindowOf(control->Handle()))); }

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double WallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Steps played from a timer while a loop runs: each is called at every tick until it answers
// true; a step that waits longer than the deadline fails the script and ends the pop-up.
class TScript : public TCustomControl {
public:
  TScript(TWinControl* parent, TVisionToolForm* panel) : TCustomControl(parent), fPanel(panel) {
    SetBounds(0, 0, 1, 1);
    SetParent(parent);
  }
  std::vector<std::function<bool()>> Steps;
  std::string Failed;
  void Start(unsigned tick = 20) {
    fTick = tick;
    fStepStart = WallSeconds();
    SetTimer(Handle(), 1, tick);
  }
  // The next ticks come after ms (a quiet stretch), then at the usual pace again.
  void Pause(unsigned ms) {
    KillTimer(Handle(), 1);
    SetTimer(Handle(), 1, ms);
    fPaused = true;
  }
  bool Done() const { return fNext >= Steps.size(); }

protected:
  void WMTimer(TWMTimer&) override {
    if (fPaused) {
      fPaused = false;
      KillTimer(Handle(), 1);
      SetTimer(Handle(), 1, fTick);
    }
    if (Done()) return;
    if (Steps[fNext]()) {
      ++fNext;
      fStepStart = WallSeconds();
    } else if (WallSeconds() - fStepStart > 20) {
      Failed = "step " + std::to_string(fNext) + " never came true";
      fNext = Steps.size();
      if (fPanel->Popup()) fPanel->Popup()->SetModalResult(mrAbort);
    }
  }

private:
  TVisionToolForm* fPanel;
  std::size_t fNext = 0;
  unsigned fTick = 20;
  double fStepStart = 0;
  bool fPaused = false;
};

class TDropVision : public TvpFieldVision, public IVisionToolFormUser {
public:
  explicit TDropVision(TVisionToolForm* panel) : TvpFieldVision(nullptr), fPanel(panel) {}
  TWinControl* DefaultToolForm() override { return fPanel; }
  void PE_ShowDropDown(IvpFieldEditor& edit, TWinControl*) override {
    fPanel->ShowPopup(this, static_cast<TDBDevidEdit*>(edit.Control()));
  }
  TDataSource* DefDataSource() override { return nullptr; }
  void SetCallbackInterface(IVisionToolForm*) override {}
  bool PostChanges(IvpFieldEditor& edit, bool selectAll) override { return TvpFieldVision::PostChanges(edit, selectAll); }
  bool PostChangesAndHide(IvpFieldEditor& edit, bool selectAll) override {
    return TvpFieldVision::PostChangesAndHide(edit, selectAll);
  }

private:
  TVisionToolForm* fPanel;
};

// A shown, active form with an editor on a memory table and a focusable panel holding an edit
// field as its active control.
class ToolFormWindowed : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gSession) GTEST_SKIP() << "no X server (run through with-xvfb.sh)";
    SetGraphicsBackend(qt::CreateQtBackend(true));
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("NAME", ftString, 20);
    table->CreateDataSet();
    table->AppendRecord({Variant("")});
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    form = std::make_unique<TForm>(nullptr);
    form->SetCaption("Editor");
    form->SetBounds(80, 60, 320, 200);
    panel = new TVisionToolForm(form.get());
    panel->SetBounds(150, 100, 160, 60);
    panel->SetParent(form.get());
    field = new TEdit(panel);
    field->SetBounds(4, 4, 120, 24);
    field->SetParent(panel);
    panel->SetActiveControl(field);
    panel->SetOptions({tfoFocusable});
    vision = std::make_unique<TDropVision>(panel);
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 24);
    edit->SetParent(form.get());
    edit->SetVision(vision.get());
    edit->SetDataSource(source.get());
    edit->SetDataField("NAME");
    script = new TScript(form.get(), panel);
    form->SetActiveControl(edit);
    form->Show();
    id = XId(form.get());
    ASSERT_TRUE(Until([&] { return Shell("xwininfo -id " + id).find("IsViewable") != std::string::npos; }));
    ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id));
    ASSERT_TRUE(Until([&] { return edit->Focused() && Application->Active(); })) << "the editor never got the focus";
  }
  void TearDown() override {
    if (other > 0) {
      kill(other, SIGTERM);
      int status = 0;
      waitpid(other, &status, 0);
    }
    form.reset();
    vision.reset();
    source.reset();
    table.reset();
    if (HasWindowBackend()) {
      SetWindowBackend(nullptr);
      SetGraphicsBackend(nullptr);
    }
  }
  bool PopupMapped() {
    return panel->Popup() && panel->Popup()->HandleAllocated() &&
           Shell("xwininfo -id " + XId(panel->Popup())).find("IsViewable") != std::string::npos;
  }
  bool Closed() const { return !panel->Popup() && !panel->Visible() && edit->ToolForm() == nullptr; }

  std::unique_ptr<TMemTable> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TForm> form;
  std::unique_ptr<TDropVision> vision;
  TVisionToolForm* panel = nullptr;
  TEdit* field = nullptr;
  TDBDevidEdit* edit = nullptr;
  TScript* script = nullptr;
  std::string id;
  pid_t other = 0;
};

TEST_F(ToolFormWindowed, KeysReachThePopupsControlThenTheEditorAndItIsMappedWhereComputed) {
  std::string geometry;
  script->Steps = {
      [&] { return PopupMapped() && field->Focused(); },
      [&] {
        geometry = Shell("xwininfo -id " + XId(panel->Popup()));
        return Succeeds("xdotool type --delay 20 abc");
      },
      [&] { return field->Text() == "abc"; },
      [&] { return Succeeds("xdotool key Escape"); },
  };
  script->Start();
  edit->DropDownBtnClick(false);
  EXPECT_EQ(script->Failed, "");
  EXPECT_EQ(field->Text(), "abc") << "typed into the pop-up's control";
  EXPECT_TRUE(Closed());
  const TRect computed{IntAfter(geometry, "Absolute upper-left X:"), IntAfter(geometry, "Absolute upper-left Y:"), 0, 0};
  TRect er;
  GetWindowRect(edit->Handle(), er);
  EXPECT_EQ(computed.Left, er.Left) << geometry;
  EXPECT_EQ(computed.Top, er.Bottom) << geometry;
  EXPECT_EQ(IntAfter(geometry, "Width:"), 164) << geometry;
  EXPECT_EQ(IntAfter(geometry, "Height:"), 64) << geometry;

  ASSERT_TRUE(Until([&] { return edit->Focused(); }));
  ASSERT_TRUE(Succeeds("xdotool type --delay 20 xy"));
  EXPECT_TRUE(Until([&] { return edit->Text() == "xy"; })) << "the editor has '" << edit->Text() << "'";
  EXPECT_EQ(field->Text(), "abc");
}

TEST_F(ToolFormWindowed, AClickInAnotherProgramsWindowEndsTheLoop) {
  // Without a window manager a click moves no X focus: the application stays active and the
  // pop-up, which grabs no pointer, never hears of the click.
  if (std::getenv("ZV_TEST_BARE_X")) GTEST_SKIP() << "a click elsewhere is not seen without a window manager";
  other = fork();
  ASSERT_GE(other, 0);
  if (other == 0) {
    execl(gSelf.c_str(), gSelf.c_str(), "--other-window", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string otherId, focusAfterClick;
  bool activeAfterClick = false;
  ASSERT_TRUE(Until([&] {
    otherId = Shell("xdotool search --name '^Other program$' 2>/dev/null | head -n 1");
    while (!otherId.empty() && (otherId.back() == '\n' || otherId.back() == '\r')) otherId.pop_back();
    return !otherId.empty() && Shell("xwininfo -id " + otherId).find("IsViewable") != std::string::npos;
  }, 20000)) << "the other program showed no window";
  ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id));
  ASSERT_TRUE(Until([&] { return edit->Focused() && Application->Active(); }));

  script->Steps = {
      [&] { return PopupMapped() && field->Focused(); },
      [&] { return Succeeds("xdotool mousemove --window " + otherId + " 30 30 click 1"); },
      [&] {
        // Reached only while the loop still runs after the click: it fails once the deadline passed.
        focusAfterClick = Shell("xdotool getwindowfocus 2>&1");
        activeAfterClick = Application->Active();
        return false;
      },
  };
  script->Start();
  const double started = WallSeconds();
  edit->DropDownBtnClick(false);
  EXPECT_EQ(script->Failed, "") << "the X focus in " << focusAfterClick << " (the other program's window is " << otherId
                                << "); the application active: " << activeAfterClick;
  EXPECT_LT(WallSeconds() - started, 25);
  EXPECT_TRUE(Closed());
}

TEST_F(ToolFormWindowed, AnOpenPopupIdlesWithoutUsingTheProcessor) {
  double cpu = 0, wall = 0;
  script->Steps = {
      [&] { return PopupMapped() && field->Focused(); },
      [&] {
        // Let whatever showing the pop-up started settle, then a quiet stretch of two seconds.
        cpu = CpuSeconds();
        wall = WallSeconds();
        script->Pause(2100);
        return true;
      },
      [&] {
        cpu = CpuSeconds() - cpu;
        wall = WallSeconds() - wall;
        return true;
      },
      [&] { return Succeeds("xdotool key Escape"); },
  };
  script->Start();
  edit->DropDownBtnClick(false);
  EXPECT_EQ(script->Failed, "");
  EXPECT_GE(wall, 2.0);
  const double share = cpu / wall;
  std::printf("processor while the pop-up waited: %.2f ms over %.2f s (%.2f%% of a core)\n", cpu * 1000, wall, share * 100);
  EXPECT_LT(share, 0.02);
  EXPECT_TRUE(Closed());
}

// The other program: one plain window until it is ended.
int RunOtherWindow() {
  SetGraphicsBackend(qt::CreateQtBackend(true));
  SetWindowBackend(qt::CreateQtWindowBackend());
  Application->Initialize();
  {
    TForm form(nullptr);
    form.SetCaption("Other program");
    form.SetBounds(500, 400, 200, 150);
    form.Show();
    Application->Run();
  }
  FinalizeModules();
  SetWindowBackend(nullptr);
  SetGraphicsBackend(nullptr);
  return 0;
}

}  // namespace

}  // namespace zvtest

int main(int argc, char** argv) {
  zvtest::gSelf = argv[0];
  const bool otherWindow = argc > 1 && std::string(argv[1]) == "--other-window";
  if (!otherWindow) ::testing::InitGoogleTest(&argc, argv);
  // Only on a reachable X server: Qt's xcb platform aborts the program when it finds none.
  if (zvtest::XServerUsable()) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    zvtest::gSession = std::make_unique<zv::qt::TGuiSession>(argc, argv);
  }
  if (otherWindow) return zvtest::gSession ? zvtest::RunOtherWindow() : 77;
  const int result = RUN_ALL_TESTS();
  zvtest::gSession.reset();
  return result;
}
