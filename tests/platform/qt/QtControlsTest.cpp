// The controls' behaviour suite on the Qt backend (off-screen unless a platform was chosen):
// input goes in as Qt events sent to the QWindow, time passes in Qt's event loop, and what a
// window shows is grabbed from its backing store. Then what only Qt has: window geometry and
// resizes, keys with their text.

#include "ControlBehaviour.h"
#include "DragBehaviour.h"
#include "EditBehaviour.h"
#include "FormBehaviour.h"
#include "HarnessTest.h"
#include "HintBehaviour.h"
#include "MaskEditBehaviour.h"
#include "MenuBehaviour.h"
#include "WindowManagementBehaviour.h"

#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

namespace zvtest {

namespace {

class TQtDriver : public TControlDriver {
public:
  TQtDriver()
      : fGraphics(SetGraphicsBackend(qt::CreateQtBackend())), fWindows(SetWindowBackend(qt::CreateQtWindowBackend())) {}
  ~TQtDriver() override {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }
  std::string Name() const override { return "Qt"; }
  void Inject(TNativeWindow window, const TNativeInput& input) override { qt::SendInputAsQtEvents(window, input); }
  void Wait(unsigned ms) override {
    qt::RunQtEventLoop(ms, [] { Application->ProcessMessages(); });
  }
  TColor Shown(TNativeWindow window, int x, int y) override { return qt::ShownPixel(window, x, y); }
  void SwitchApplication(bool active) override { qt::AnnounceApplicationState(active); }

private:
  std::unique_ptr<TGraphicsBackend> fGraphics;
  std::unique_ptr<TWindowBackend> fWindows;
};

std::unique_ptr<TControlDriver> MakeQtDriver() { return std::make_unique<TQtDriver>(); }

class QtControls : public THarnessTest {
protected:
  QtControls() : THarnessTest(MakeQtDriver) {}
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Qt, ControlBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, EditBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, MaskEditBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, DragBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, MenuBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, FormBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, HintBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));
INSTANTIATE_TEST_SUITE_P(Qt, WindowManagementBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));

TEST_F(QtControls, ATopLevelControlIsAQtWindowThatFollowsIt) {
  TProbe* top = h->TopLevel(60, 50, 240, 160, clNavy);
  const TNativeWindow native = NativeWindowOf(top->Handle());
  EXPECT_TRUE(qt::NativeVisible(native));
  EXPECT_EQ(qt::NativeGeometry(native), Rect(60, 50, 300, 210));
  top->SetCaption("Zovrin");
  EXPECT_EQ(qt::NativeTitle(native), "Zovrin");
  top->SetBounds(70, 40, 300, 200);
  EXPECT_EQ(qt::NativeGeometry(native), Rect(70, 40, 370, 240));
  h->Pump();
  EXPECT_EQ(h->Shown(top, 299, 199), clNavy) << "the grown surface was painted and shown";

  // Qt resizing the window resizes the control.
  qt::ResizeNative(native, 320, 210);
  for (int i = 0; i < 40 && top->Width() != 320; ++i) h->Wait(5);
  EXPECT_EQ(top->Width(), 320);
  EXPECT_EQ(top->Height(), 210);
  h->Pump();
  EXPECT_EQ(h->Shown(top, 319, 209), clNavy);

  top->Hide();
  EXPECT_FALSE(qt::NativeVisible(native));
}

TEST_F(QtControls, KeysTranslateBothWaysAndBringTheirText) {
  for (Word vk : {Word('A'), Word('Z'), Word('0'), Word('9'), VK_F1, Word(VK_F1 + 11), VK_LEFT, VK_DOWN, VK_PRIOR, VK_NEXT,
                  VK_HOME, VK_END, VK_INSERT, VK_DELETE, VK_RETURN, VK_ESCAPE, VK_TAB, VK_BACK, VK_SPACE, VK_SHIFT,
                  VK_CONTROL, VK_MENU, VK_OEM_COMMA, VK_OEM_MINUS, VK_OEM_PERIOD, VK_OEM_1, VK_OEM_7})
    EXPECT_EQ(qt::VirtualKeyFromQt(qt::QtKeyFromVirtualKey(vk), false), vk) << vk;
  EXPECT_EQ(qt::VirtualKeyFromQt(qt::QtKeyFromVirtualKey('5'), true), VK_NUMPAD0 + 5);
  EXPECT_EQ(qt::VirtualKeyFromQt(qt::QtKeyFromVirtualKey(VK_OEM_MINUS), true), VK_SUBTRACT);
  EXPECT_EQ(qt::QtKeyFromVirtualKey(0xFF), 0);

  // A key press with text is a key down and then its characters; Delete has no character and
  // an auto-repeated release is no key up.
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  h->Log.clear();
  const TNativeWindow native = NativeWindowOf(top->Handle());
  qt::SendQtKey(native, true, 'A', {ssShift}, "A");
  qt::SendQtKey(native, true, VK_DELETE, {}, "\x7f");
  qt::SendQtKey(native, false, 'A', {}, "a", true);
  qt::SendQtKey(native, true, 'E', {}, "\xC3\xA9");
  h->Pump();
  EXPECT_EQ(h->Take({"keydown", "char", "keyup"}), (TLog{"A keydown 65", "A char 65", "A keydown 46", "A keydown 69", "A char 233"}));
}

TEST_F(QtControls, EveryKeyThatTypesALetterHasAVirtualKey) {
  struct TCase {
    int QtKey;
    const char* Text;
    Word Vk;
    char32_t Char;
  };
  const TCase cases[] = {
      {0xC9, "\xC3\xA9", 'E', 0xE9},        {0xDC, "\xC3\xBC", VK_OEM_1, 0xFC},
      {0xDF, "\xC3\x9F", VK_OEM_4, 0xDF},   {0x416, "\xD0\xB6", VK_OEM_1, 0x436},
      {0x42F, "\xD1\x8F", 'Z', 0x44F},      {0x39B, "\xCE\xBB", 'L', 0x3BB},
      {0x388, "\xCE\xAD", 'E', 0x3AD},  // Greek epsilon with tonos, on its base letter
  };
  for (const TCase& c : cases) EXPECT_EQ(qt::VirtualKeyFromQt(c.QtKey, false), c.Vk) << c.QtKey;
  // Where the windowing system names the physical key, that key decides, as on the host.
  EXPECT_EQ(qt::VirtualKeyFromQt(0xC9, false, 11), '2');
  EXPECT_EQ(qt::VirtualKeyFromQt(0x416, false, 47), VK_OEM_1);
  EXPECT_EQ(qt::VirtualKeyFromQt(0x2603, false), VK_OEM_8) << "a printable character on no known key";

  TProbe* top = h->TopLevel(40, 30, 200, 120);
  TProbe* a = h->Child(top, "A", 10, 10, 80, 80);
  h->Pump();
  a->SetFocus();
  h->Log.clear();
  const TNativeWindow native = NativeWindowOf(top->Handle());
  TLog expected;
  for (const TCase& c : cases) {
    qt::SendQtKeyCode(native, true, c.QtKey, c.Text);
    qt::SendQtKeyCode(native, false, c.QtKey, c.Text);
    expected.push_back("A keydown " + std::to_string(c.Vk));
    expected.push_back("A char " + std::to_string(c.Char));
    expected.push_back("A keyup " + std::to_string(c.Vk));
  }
  h->Pump();
  EXPECT_EQ(h->Take({"keydown", "char", "keyup"}), expected);
}

TEST_F(QtControls, RunWaitsInQtsLoopAndHandlesExceptionsUntilTerminated) {
  TProbe* top = h->TopLevel(40, 30, 200, 120);
  int ticks = 0;
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(e.Message()); };
  auto inherited = top->WindowProc;
  top->WindowProc = [&](TMessage& m) {
    inherited(m);
    if (m.Msg != WM_TIMER) return;
    if (++ticks == 2) throw EInvalidOperation("tick two failed");
    if (ticks == 4) {
      KillTimer(top->Handle(), 1);
      Application->Terminate();
    }
  };
  SetTimer(top->Handle(), 1, 15);
  Application->Run();
  EXPECT_EQ(ticks, 4);
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(reported, std::vector<std::string>{"tick two failed"});
  top->WindowProc = inherited;
  Application->OnException = nullptr;
}

}  // namespace zvtest
