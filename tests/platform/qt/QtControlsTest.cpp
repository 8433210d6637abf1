// The controls' behaviour suite on the Qt backend (off-screen unless a platform was chosen):
// input goes in as Qt events sent to the QWindow, time passes in Qt's event loop, and what a
// window shows is grabbed from its backing store. Then what only Qt has: window geometry and
// resizes, keys with their text.

#include "QtDriver.h"
#include "ControlBehaviour.h"
#include "DragBehaviour.h"
#include "EditBehaviour.h"
#include "FormBehaviour.h"
#include "HarnessTest.h"
#include "HintBehaviour.h"
#include "MaskEditBehaviour.h"
#include "MenuBehaviour.h"
#include "StdControlsBehaviour.h"
#include "WindowManagementBehaviour.h"

#include "platform/controls/RichEdit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

namespace zvtest {

namespace {

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
INSTANTIATE_TEST_SUITE_P(Qt, StdControlsBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));

// One of each standard control on a form, painted by Qt: each shows what it is.
TEST_F(QtControls, AFormWithEveryStandardControlPaintsEachOfThem) {
  TForm form(nullptr);
  form.SetBounds(30, 30, 420, 320);
  auto put = [&form](auto* c, int x, int y, int w, int hgt) {
    c->SetParent(&form);
    c->SetBounds(x, y, w, hgt);
    return c;
  };
  auto* label = put(new TLabel(&form), 10, 10, 80, 17);
  label->SetAutoSize(false);
  label->SetCaption("&Label");
  auto* button = put(new TButton(&form), 10, 40, 75, 25);
  button->SetCaption("OK");
  auto* check = put(new TCheckBox(&form), 10, 75, 100, 17);
  check->SetChecked(true);
  auto* combo = put(new TComboBox(&form), 10, 100, 120, 21);
  combo->SetStyle(csDropDownList);
  combo->Items()->Add("Item");
  combo->SetItemIndex(0);
  auto* bevel = put(new TBevel(&form), 150, 10, 100, 10);
  bevel->SetShape(bsTopLine);
  auto* image = put(new TImage(&form), 150, 30, 20, 20);
  TBitmap red;
  red.SetSize(4, 4);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(Rect(0, 0, 4, 4));
  image->Picture()->SetGraphic(&red);
  image->SetStretch(true);
  auto* bar = put(new TProgressBar(&form), 150, 60, 200, 16);
  bar->SetSmooth(true);
  bar->SetPosition(50);
  auto* pages = put(new TPageControl(&form), 10, 140, 250, 120);
  auto* sheet = new TTabSheet(&form);
  sheet->SetPageControl(pages);
  sheet->SetCaption("Page");
  auto* splitter = put(new TSplitter(&form), 0, 0, 4, 100);
  splitter->SetAlign(alRight);
  splitter->SetColor(clTeal);
  form.Show();
  h->Pump();

  auto anyPixel = [&](TWinControl* on, TRect r, TColor color) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (h->Pixel(on, x, y) == color) return true;
    return false;
  };
  // Text is smoothed: its strokes are dark rather than exactly black.
  auto anyDark = [&](TWinControl* on, TRect r) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (const TColor c = h->Pixel(on, x, y); GetRValue(c) < 0x70 && GetGValue(c) < 0x70 && GetBValue(c) < 0x70)
          return true;
    return false;
  };
  const TColor face = ColorToRGB(clBtnFace);
  EXPECT_TRUE(anyDark(&form, Rect(10, 10, 90, 27))) << "the label's caption";
  EXPECT_EQ(h->Pixel(&form, 160, 10), ColorToRGB(clBtnShadow)) << "the bevel's line";
  EXPECT_EQ(h->Pixel(&form, 160, 11), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(h->Pixel(&form, 160, 40), clRed) << "the stretched picture";
  EXPECT_EQ(h->Pixel(&form, 418, 150), clTeal) << "the splitter along the right edge";
  EXPECT_EQ(h->Pixel(button, 10, 12), face);
  EXPECT_TRUE(anyDark(button, Rect(20, 5, 55, 20))) << "the button's caption";
  TRect box, caption;
  check->CalcLayout(box, caption);
  EXPECT_TRUE(anyDark(check, Rect(box.Left + 3, box.Top + 3, box.Right - 3, box.Bottom - 3)))
      << "the check mark";
  EXPECT_TRUE(anyPixel(combo, Rect(4, 4, 60, 17), ColorToRGB(clWindowText)) ||
              anyPixel(combo, Rect(4, 4, 60, 17), ColorToRGB(clHighlightText)))
      << "the chosen item";
  const TRect barRect = bar->BarRect();
  EXPECT_EQ(h->Pixel(bar, barRect.Left + 5, barRect.Top + 3), ColorToRGB(clHighlight));
  EXPECT_EQ(h->Pixel(bar, barRect.Right + 5, barRect.Top + 3), face) << "half done";
  const TRect tab = pages->TabRect(0);
  EXPECT_TRUE(anyDark(pages, tab)) << "the tab's caption";
  EXPECT_EQ(h->Shown(&form, 160, 40), clRed) << "and it reached the screen";
}
// On the desktop's palette the whole window takes its colours from it: a scroll bar's track is
// the face colour of the form around it, not the fixed palette's beige.
TEST_F(QtControls, OnTheDesktopPaletteAScrollBarMatchesItsForm) {
  std::unique_ptr<TGraphicsBackend> fixed = SetGraphicsBackend(qt::CreateQtBackend(true));
  {
    TForm form(nullptr);
    form.SetBounds(30, 30, 300, 200);
    auto* memo = new TRichEdit(&form);
    memo->SetParent(&form);
    memo->SetBounds(10, 10, 150, 120);
    memo->SetScrollBars(ssVertical);  // nothing to scroll: shown disabled, all track
    form.Show();
    h->Pump();
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_NE(face, DefaultSysColor(COLOR_BTNFACE)) << "the desktop's palette is the fixed one here";
    EXPECT_EQ(h->Pixel(&form, 200, 100), face) << "the form";
    const int x = memo->Width() - 2 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    EXPECT_EQ(h->WindowPixel(memo, x, memo->Height() / 2), face) << "the scroll bar's track";
  }
  SetGraphicsBackend(std::move(fixed));
}

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
