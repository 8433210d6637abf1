// The calculator drop-down on a real X server (run through with-xvfb.sh): "12+3=" typed with
// xdotool while the calculator is open shows 15 in the editor, and Enter posts it. Skipped
// where there is no X server or no xdotool.

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"

#include "tests/platform/qt/x11/XServerKit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace zvtest {

using namespace zv;

namespace {

std::unique_ptr<qt::TGuiSession> gSession;

TEST(CalculatorWindowed, TypedSumShowsInTheEditorAndEnterPostsIt) {
  if (!gSession) GTEST_SKIP() << "no X server (run through with-xvfb.sh)";
  SetGraphicsBackend(qt::CreateQtBackend(true));
  SetWindowBackend(qt::CreateQtWindowBackend());
  Application->Initialize();
  ASSERT_NE(zvDefPack, nullptr);
  {
    TMemTable table(nullptr);
    table.FieldDefs().Add("NAME", ftString, 20);
    table.CreateDataSet();
    table.AppendRecord({Variant("7")});
    TDataSource source(nullptr);
    source.SetDataSet(&table);
    TToolFormVision vision(nullptr);
    vision.SetDropDown(zvDefPack->vtfCalculator);
    TForm form(nullptr);
    form.SetCaption("Calculator");
    form.SetBounds(80, 60, 300, 160);
    auto* edit = new TDBDevidEdit(&form);
    edit->SetBounds(10, 10, 150, 24);
    edit->SetParent(&form);
    edit->SetVision(&vision);
    edit->SetDataSource(&source);
    edit->SetDataField("NAME");
    form.SetActiveControl(edit);
    form.Show();
    const std::string id = std::to_string(qt::WindowSystemId(NativeWindowOf(form.Handle())));
    ASSERT_TRUE(Until([&] { return Succeeds("xwininfo -id " + id + " | grep -q IsViewable"); }));
    ASSERT_TRUE(Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id));
    ASSERT_TRUE(Until([&] { return edit->Focused(); })) << "the editor never got the focus";

    // The keys are typed by another process while the calculator's loop runs.
    String shown;
    TVisionToolForm* calculator = zvDefPack->vtfCalculator;
    const TNotifyEvent onClose = calculator->OnClose;
    calculator->OnClose = [&](TObject* sender) {
      shown = edit->Text();
      onClose(sender);
    };
    ASSERT_TRUE(Succeeds("(sleep 0.7; xdotool type --delay 120 '12+3='; sleep 0.8; xdotool key Return) &"));
    edit->DropDownBtnClick(false);
    calculator->OnClose = onClose;
    EXPECT_EQ(shown, "15") << "what the editor showed when Enter closed the calculator";
    EXPECT_EQ(table.FieldByName("NAME")->AsString(), "15");
    EXPECT_EQ(edit->ToolForm(), nullptr);
  }
  FinalizeModules();
  SetWindowBackend(nullptr);
  SetGraphicsBackend(nullptr);
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
