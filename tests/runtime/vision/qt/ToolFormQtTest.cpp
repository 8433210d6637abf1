// The drop-down panel on Qt offscreen: the behaviour suite on real Qt windows, keys typed into
// the window Qt holds active.

#include "QtDriver.h"
#include "tests/runtime/vision/ToolFormBehaviour.h"

#include "platform/qt/GuiSession.h"

#include <QGuiApplication>

#include <cstdlib>

namespace zvtest {

TNativeWindow BackendActiveWindow() {
  const QWindow* focus = QGuiApplication::focusWindow();
  if (!focus) return 0;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f->HandleAllocated() && qt::NativeQWindow(NativeWindowOf(f->Handle())) == focus) return NativeWindowOf(f->Handle());
  }
  return 0;
}

INSTANTIATE_TEST_SUITE_P(Qt, ToolFormBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));

}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
