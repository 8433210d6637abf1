// The customizer's framed window sized through the X server (xdotool) under a window manager on
// a private Xvfb: the height it answers with (whole rows) is the one the X window keeps.
// Skipped where there is no X server.

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/db/DataLink.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/env/Customizer.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

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

TEST(CustomizerX11, TheWindowKeepsTheHeightItAnswersASizingWith) {
  if (!gSession) GTEST_SKIP() << "no X server (run through with-xvfb.sh)";
  SetGraphicsBackend(qt::CreateQtBackend(true));
  SetWindowBackend(qt::CreateQtWindowBackend());
  Application->Initialize();
  {
    TMemTable table(nullptr);
    for (const char* name : {"ALPHA", "BETA", "GAMMA", "DELTA"}) table.FieldDefs().Add(name, ftString, 10);
    table.CreateDataSet();
    TDataSource source(nullptr);
    source.SetDataSet(&table);
    TLiteDesigner designer(nullptr);
    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 200);
    TDBDivoRud grid(nullptr);
    grid.SetDesigner(&designer);
    grid.SetBounds(0, 0, 400, 200);
    grid.SetParent(&form);
    grid.Columns()->Add()->SetFieldName("ALPHA");
    grid.SetDataSource(&source);
    form.Show();
    grid.Customize(gcmRemove, "", "");
    TzvDivoRudCustomizer* c = zvDivoRudCustomizer;
    ASSERT_NE(c, nullptr);
    const std::string id = std::to_string(qt::WindowSystemId(NativeWindowOf(c->Handle())));
    auto height = [&] { return IntAfter(Shell("xwininfo -id " + id + " 2>/dev/null"), "Height:"); };
    ASSERT_TRUE(Until([&] { return height() == c->Height(); })) << height() << " " << c->Height();
    // The window manager sizes the window to a height between whole rows.
    const int wanted = c->AlignedHeight(c->Height() + 50) + 7;
    ASSERT_TRUE(Succeeds("xdotool windowsize --sync " + id + " " + std::to_string(c->Width()) + " " +
                         std::to_string(wanted)) ||
                Succeeds("xdotool windowsize " + id + " " + std::to_string(c->Width()) + " " + std::to_string(wanted)));
    const int aligned = c->AlignedHeight(wanted);
    EXPECT_TRUE(Until([&] { return c->Height() == aligned; })) << c->Height();
    EXPECT_TRUE(Until([&] { return height() == aligned; })) << height();
    // Still so a moment later: the window manager took the answer.
    Until([] { return false; }, 300);
    EXPECT_EQ(height(), aligned);
    EXPECT_EQ(c->Height(), aligned);
    delete zvDivoRudCustomizer;
    Until([] { return false; }, 50);
  }
  SetWindowBackend(nullptr);
  SetGraphicsBackend(nullptr);
}

}  // namespace

}  // namespace zvtest

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Only on a reachable X server: Qt's xcb platform aborts the program when it finds none.
  if (std::getenv("DISPLAY") && zvtest::Succeeds("xdotool getdisplaygeometry")) {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    zvtest::gSession = std::make_unique<zv::qt::TGuiSession>(argc, argv);
  }
  const int result = RUN_ALL_TESTS();
  zvtest::gSession.reset();
  return result;
}
