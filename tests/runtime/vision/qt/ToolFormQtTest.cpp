// The drop-down panel on Qt offscreen: the pop-up window is where it was computed, shows its
// frame around the panel's controls, and a focusable pop-up's loop takes keys that reach the
// editor's window and ends on Escape with everything put back.

#include "QtDriver.h"
#include "HarnessTest.h"
#include "IdleScript.h"

#include <cstdlib>

#include "platform/qt/GuiSession.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/ToolForm.h"

namespace zvtest {
namespace {

using namespace zv;

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

class ToolFormQt : public THarnessTest {
protected:
  ToolFormQt() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 50, 300, 200);
    form->Show();
    panel = new TVisionToolForm(form.get());
    panel->SetBounds(150, 100, 120, 60);
    panel->SetParent(form.get());
    probe = h->Child(panel, "probe", 0, 0, 120, 60, clRed);
    probe->SetTabStop(true);
    vision = std::make_unique<TDropVision>(panel);
    edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision.get());
    edit->SetFocus();
    h->Wait(30);
  }
  void TearDown() override {
    form.reset();
    vision.reset();
    THarnessTest::TearDown();
  }
  std::unique_ptr<TForm> form;
  std::unique_ptr<TDropVision> vision;
  TVisionToolForm* panel = nullptr;
  TProbe* probe = nullptr;
  TDBDevidEdit* edit = nullptr;
};

TEST_F(ToolFormQt, PopupShowsItsFrameAroundThePanelWhereComputed) {
  edit->DropDownBtnClick(false);
  h->Wait(30);
  TvpToolFormBG* popup = panel->Popup();
  ASSERT_NE(popup, nullptr);
  TRect editRect;
  GetWindowRect(edit->Handle(), editRect);
  TRect shown;
  GetWindowRect(popup->Handle(), shown);
  EXPECT_EQ(shown, (TRect{editRect.Left, editRect.Bottom, editRect.Left + 124, editRect.Bottom + 64}));
  const TNativeWindow native = NativeWindowOf(popup->Handle());
  EXPECT_EQ(driver->Shown(native, 10, 10), clRed) << "the panel's control inside the frame";
  EXPECT_NE(driver->Shown(native, 0, 0), clRed) << "the frame";
  EXPECT_NE(driver->Shown(native, 0, 0), CLR_INVALID);
  h->KeyDown(edit, VK_ESCAPE);
  h->KeyUp(edit, VK_ESCAPE);
  EXPECT_EQ(panel->Popup(), nullptr);
  EXPECT_EQ(panel->Parent(), form.get());
  EXPECT_FALSE(panel->Visible());
}

TEST_F(ToolFormQt, FocusableLoopTakesKeysThroughTheEditorsWindow) {
  panel->SetOptions({tfoFocusable});
  panel->SetActiveControl(probe);
  bool focused = false;
  TIdleScript script({[&] { focused = Screen->ActiveControl() == probe; },
                      [&] { h->KeyDown(form.get(), 'Q'); },
                      [&] { h->KeyDown(form.get(), VK_ESCAPE); }});
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  EXPECT_TRUE(focused);
  const TLog keys = h->Take({"keydown"}, {"probe"});
  EXPECT_EQ(keys, (TLog{"probe keydown 81", "probe keydown 27"})) << "the window sees the keys; the pop-up takes Escape";
  EXPECT_EQ(panel->Popup(), nullptr);
  EXPECT_EQ(edit->ToolForm(), nullptr);
  h->Wait(20);
  EXPECT_TRUE(edit->Focused());
}

}  // namespace
}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
