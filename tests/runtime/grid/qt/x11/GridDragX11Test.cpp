// A title drag through the X server (xdotool) on a private Xvfb: while the button is held the two
// arrows are 15 x 15 viewable X windows at the marker places; after the release none is left and
// the columns have their new order. Skipped where there is no X server.

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
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

std::string XId(TWinControl* control) {
  return std::to_string(qt::WindowSystemId(NativeWindowOf(control->Handle())));
}

bool Viewable(const std::string& id) {
  return Shell("xwininfo -id " + id + " 2>/dev/null").find("Map State: IsViewable") != std::string::npos;
}

class GridDragX11 : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gSession) GTEST_SKIP() << "no X server (run through with-xvfb.sh)";
    SetGraphicsBackend(qt::CreateQtBackend(true));
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
  }
  void TearDown() override {
    grid.reset();
    form.reset();
    if (HasWindowBackend()) {
      SetWindowBackend(nullptr);
      SetGraphicsBackend(nullptr);
    }
  }
  TStandardDesigner designer{nullptr};
  std::unique_ptr<TForm> form;
  std::unique_ptr<TDBDivoRud> grid;
};

TEST_F(GridDragX11, ATitleDragShowsTwoArrowWindowsWhileHeld) {
  form = std::make_unique<TForm>(nullptr);
  form->SetCaption("Drag");
  form->SetBounds(100, 100, 500, 300);
  grid = std::make_unique<TDBDivoRud>(nullptr);
  grid->SetBorderStyle(bsNoBorder);
  grid->SetScrollBars(ssNone);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 0, 400, 200);
  grid->SetParent(form.get());
  const int widths[] = {60, 80, 50, 70};
  for (int i = 0; i < 4; ++i) {
    TgpColumn* c = grid->Columns()->Add();
    c->SetCaption(std::string(1, static_cast<char>('A' + i)));
    c->SetWidth(widths[i]);
    if (i == 2) c->SetLayoutIndex(1);
  }
  form->Show();
  ASSERT_TRUE(Until([&] { return Viewable(XId(form.get())); }));
  const std::string id = XId(form.get());
  Succeeds("xdotool windowactivate --sync " + id) || Succeeds("xdotool windowfocus --sync " + id);
  auto move = [&](TPoint client) {
    const TPoint s = grid->ClientToScreen(client);
    Succeeds("xdotool mousemove " + std::to_string(s.X) + " " + std::to_string(s.Y));
    Until([] { return false; }, 60);
  };
  TgpColumn* b = grid->Columns()->Items(1);
  const TRect title = grid->TitleClientRect(b, false);
  const int y = (title.Top + title.Bottom) / 2;
  const int x = grid->Columns()->Items(3)->Group()->DisplayLeft;
  const int cx = (title.Left + title.Right) / 2;
  move({cx, y});
  ASSERT_TRUE(Succeeds("xdotool mousedown 1"));
  Until([] { return false; }, 100);
  move({cx, title.Bottom + 30});
  move({x, y});
  move({x + 1, y});
  const TgpDragger::TMarkers& m = grid->TitleTracker().Dragger().Markers;
  ASSERT_TRUE(Until([&] { return m.Shown && m.Windows[0] && m.Windows[1]; }))
      << "no arrows: state " << grid->GridState() << " dragging " << grid->ColumnDragging() << " hit "
      << grid->LastDropHit().Result << " hover " << grid->Hover().Area << "/" << grid->Hover().Column << " pointer "
      << Shell("xdotool getmouselocation") << " grid at " << grid->ClientToScreen({0, 0}).X << ","
      << grid->ClientToScreen({0, 0}).Y;
  const TPoint places[2] = {grid->ClientToScreen({x - 7, -15}), grid->ClientToScreen({x - 7, grid->Layout().TitleArea})};
  std::string arrows[2];
  for (int i = 0; i < 2; ++i) {
    arrows[i] = XId(m.Windows[i].get());
    ASSERT_TRUE(Until([&] { return Viewable(arrows[i]); })) << "arrow " << i << " is not viewable";
    const std::string info = Shell("xwininfo -id " + arrows[i]);
    EXPECT_EQ(IntAfter(info, "Width:"), 15) << info;
    EXPECT_EQ(IntAfter(info, "Height:"), 15) << info;
    EXPECT_EQ(IntAfter(info, "Absolute upper-left X:"), places[i].X) << info;
    EXPECT_EQ(IntAfter(info, "Absolute upper-left Y:"), places[i].Y) << info;
  }
  ASSERT_TRUE(Succeeds("xdotool mouseup 1"));
  ASSERT_TRUE(Until([&] { return !grid->ColumnDragging(); }));
  for (const std::string& arrow : arrows) EXPECT_TRUE(Until([&] { return !Viewable(arrow); })) << arrow;
  std::string order;
  for (int i = 0; i < 4; ++i) order += grid->Columns()->Items(i)->Caption();
  EXPECT_EQ(order, "ACBD");
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
