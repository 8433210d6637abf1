// The standard controls on the headless backend: their behaviour suite, then what needs no
// backend's input (accelerator matching, the progress bar's range, where an image draws, the
// label's size) and form files holding each of them.

#include "StdControlsBehaviour.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Menus.h"
#include "platform/classes/Streams.h"
#include "platform/graphics/Bitmap.h"

#include <cstdio>
#include <fstream>
#include <functional>

namespace zvtest {

INSTANTIATE_TEST_SUITE_P(Null, StdControlsBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

namespace {

class StdControlsHeadless : public THarnessTest {};

TEST(StdControls, IsAccelFindsTheMarkedCharacter) {
  struct Case {
    char32_t Key;
    const char* Caption;
    bool Expected;
  } cases[] = {
      {U'o', "&OK", true},         {U'O', "&ok", true},          {U'k', "&OK", false},
      {U'a', "Save &as", true},    {U'&', "A && B", false},      {U'b', "A && &B", true},
      {U'x', "no marks", false},   {U'x', "trailing &", false},  {U'\u00E9', "\xC3\x9C&\xC3\x89nits", true},
      {U'\u0436', "&\xD0\x96", true}, {0, "&OK", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsAccel(c.Key, c.Caption), c.Expected) << c.Caption;
}

TEST(StdControls, AProgressBarKeepsItsPositionInRangeAndWrapsWhenStepping) {
  TProgressBar bar(nullptr);
  bar.SetBounds(0, 0, 200, 16);
  struct Step {
    std::function<void()> Do;
    int Position;
    int BarWidth;  // of the 200-pixel client area (no window yet: no frame)
  } steps[] = {
      {[&] { bar.SetPosition(50); }, 50, 100},
      {[&] { bar.SetPosition(150); }, 100, 200},
      {[&] { bar.SetPosition(-3); }, 0, 0},
      {[&] { bar.StepIt(); }, 10, 20},
      {[&] { bar.StepBy(85); }, 95, 190},
      {[&] { bar.StepIt(); }, 4, 8},  // 105 wraps to the start of the range
      {[&] { bar.SetMax(2); }, 2, 200},
      {[&] { bar.SetMin(10); }, 10, 0},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    steps[i].Do();
    EXPECT_EQ(bar.Position(), steps[i].Position) << "step " << i;
    EXPECT_EQ(bar.BarRect().Width(), steps[i].BarWidth) << "step " << i;
  }
  EXPECT_EQ(bar.Max(), 10) << "a minimum above the maximum raises the maximum";
}

TEST_F(StdControlsHeadless, AnImageDrawsWhereCenterStretchAndProportionalSay) {
  TImage image(nullptr);
  image.SetBounds(0, 0, 100, 50);
  struct Case {
    int W, H;
    bool Center, Stretch, Proportional;
    TRect Expected;
  } cases[] = {
      {40, 20, false, false, false, {0, 0, 40, 20}},  {40, 20, true, false, false, {30, 15, 70, 35}},
      {40, 20, false, true, false, {0, 0, 100, 50}},  {40, 10, false, true, true, {0, 0, 100, 25}},
      {40, 10, true, true, true, {0, 12, 100, 37}},   {10, 40, true, true, true, {44, 0, 56, 50}},
      {40, 20, false, false, true, {0, 0, 40, 20}},   {400, 100, false, false, true, {0, 0, 100, 25}},
      {300, 300, true, false, true, {25, 0, 75, 50}},
  };
  for (const Case& c : cases) {
    TBitmap bitmap;
    bitmap.SetSize(c.W, c.H);
    image.Picture()->SetGraphic(&bitmap);
    image.SetCenter(c.Center);
    image.SetStretch(c.Stretch);
    image.SetProportional(c.Proportional);
    EXPECT_EQ(image.DestRect(), c.Expected) << c.W << "x" << c.H << " " << c.Center << c.Stretch << c.Proportional;
  }
}


TEST_F(StdControlsHeadless, ALabelSizesToItsCaptionAndWrapsWithinItsWidth) {
  TProbe* top = h->TopLevel(10, 10, 300, 200);
  auto* label = new TLabel(top);
  label->SetParent(top);
  label->SetCaption("Short");
  const int shortWidth = label->Width(), lineHeight = label->Height();
  EXPECT_GT(shortWidth, 0);
  label->SetCaption("&Much longer caption");
  EXPECT_GT(label->Width(), shortWidth);
  label->SetCaption("\xE6\x97\xA5\xE6\x9C\xAC");  // two characters whatever their bytes
  EXPECT_LT(label->Width(), shortWidth);
  label->SetAlignment(taRightJustify);
  const int right = label->Left() + label->Width();
  label->SetCaption("A wider caption here");
  EXPECT_EQ(label->Left() + label->Width(), right) << "a right-aligned label grows to the left";
  label->SetWordWrap(true);
  label->SetWidth(40);
  label->SetCaption("one two three four");
  EXPECT_EQ(label->Width(), 40);
  EXPECT_GE(label->Height(), 3 * lineHeight) << "wrapped lines grow the height";
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_GE(label->Height(), 3 * lineHeight);
}

TEST_F(StdControlsHeadless, TypingInAListComboBoxBuildsAPrefixUntilAPause) {
  TProbe* top = h->TopLevel(10, 10, 300, 200);
  auto* combo = new TComboBox(top);
  combo->SetParent(top);
  combo->SetStyle(csDropDownList);
  combo->Items()->SetText("Carrot\nCelery\nCherry\nchive\nDate\n");
  combo->SetFocus();
  struct Typed {
    char32_t Key;
    unsigned PauseMs;
    const char* Expected;
  } typed[] = {
      {U'c', 0, "Carrot"},  {U'h', 100, "Cherry"}, {U'i', 100, "chive"}, {U'd', 1500, "Date"},
      {U'c', 1500, "Carrot"}, {U'c', 100, "Celery"}, {U'c', 100, "Cherry"}, {U'z', 1500, "Cherry"},
  };
  for (const Typed& t : typed) {
    h->Wait(t.PauseMs);
    h->Char(combo, t.Key);
    EXPECT_EQ(combo->Text(), t.Expected) << static_cast<char>(t.Key) << " after " << t.PauseMs << " ms";
  }
  combo->SetText("Date");
  EXPECT_EQ(combo->ItemIndex(), 4);
  combo->SetText("Fig");
  EXPECT_EQ(combo->ItemIndex(), -1) << "a list-only combo box shows items only";
}

TEST_F(StdControlsHeadless, ACorruptPictureFileLeavesTheImageAsItWas) {
  TImage image(nullptr);
  TBitmap bitmap;
  bitmap.SetSize(7, 5);
  image.Picture()->SetGraphic(&bitmap);
  const std::string path = ::testing::TempDir() + "zv_corrupt.bmp";
  {
    std::ofstream out(path, std::ios::binary);
    out << "BM\x10\x00garbage";
  }
  EXPECT_THROW(image.Picture()->LoadFromFile(path), Exception);
  EXPECT_EQ(image.Picture()->Width(), 7);
  EXPECT_EQ(image.Picture()->Height(), 5);
  std::remove(path.c_str());
}

// --- Form files ----------------------------------------------------------------------------------

template <class T>
T* Make(TForm& form, const char* name, TWinControl* parent) {
  auto* c = new T(&form);
  c->SetName(name);
  c->SetParent(parent);
  return c;
}

struct TStreamCase {
  const char* Name;
  std::function<void(TForm&)> Build;
  std::function<void(TForm&)> Check;
};

template <class T>
T* Found(TForm& form, const char* name) {
  auto* c = dynamic_cast<T*>(form.FindComponent(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

const TStreamCase kStreamCases[] = {
    {"label",
     [](TForm& f) {
       auto* edit = Make<TEdit>(f, "Edit1", &f);
       auto* l = Make<TLabel>(f, "Label1", &f);
       l->SetCaption("&Name \xC3\xA9");
       l->SetFocusControl(edit);
       l->SetAlignment(taCenter);
       l->SetLayout(tlCenter);
       l->SetWordWrap(true);
       l->SetTransparent(true);
       l->SetAutoSize(false);
       l->SetBounds(5, 6, 70, 30);
     },
     [](TForm& f) {
       auto* l = Found<TLabel>(f, "Label1");
       ASSERT_TRUE(l);
       EXPECT_EQ(l->Caption(), "&Name \xC3\xA9");
       EXPECT_EQ(l->FocusControl(), f.FindComponent("Edit1"));
       EXPECT_EQ(l->Alignment(), taCenter);
       EXPECT_EQ(l->Layout(), tlCenter);
       EXPECT_TRUE(l->WordWrap() && l->Transparent() && !l->AutoSize());
       EXPECT_EQ(l->BoundsRect(), (TRect{5, 6, 75, 36}));
     }},
    {"buttons",
     [](TForm& f) {
       auto* b = Make<TButton>(f, "OkButton", &f);
       b->SetCaption("&OK");
       b->SetDefault(true);
       b->SetModalResult(mrOk);
       Make<TButton>(f, "CancelButton", &f)->SetCancel(true);
       auto* c = Make<TCheckBox>(f, "Check1", &f);
       c->SetAllowGrayed(true);
       c->SetState(cbGrayed);
       c->SetAlignment(taLeftJustify);
     },
     [](TForm& f) {
       auto* b = Found<TButton>(f, "OkButton");
       auto* cancel = Found<TButton>(f, "CancelButton");
       auto* c = Found<TCheckBox>(f, "Check1");
       ASSERT_TRUE(b && cancel && c);
       EXPECT_TRUE(b->Default());
       EXPECT_EQ(b->ModalResult(), mrOk);
       EXPECT_TRUE(cancel->Cancel());
       EXPECT_FALSE(cancel->Default());
       EXPECT_EQ(c->State(), cbGrayed);
       EXPECT_TRUE(c->AllowGrayed());
       EXPECT_EQ(c->Alignment(), taLeftJustify);
       EXPECT_TRUE(c->TabStop());
     }},
    {"combo box",
     [](TForm& f) {
       auto* c = Make<TComboBox>(f, "Combo1", &f);
       c->SetStyle(csDropDownList);
       c->Items()->SetText("One\nTw\xC3\xB6\nThree\n");
       c->SetItemIndex(1);
       c->SetDropDownCount(3);
       auto* e = Make<TComboBox>(f, "Combo2", &f);
       e->Items()->Add("x");
       e->SetText("free text");
     },
     [](TForm& f) {
       auto* c = Found<TComboBox>(f, "Combo1");
       auto* e = Found<TComboBox>(f, "Combo2");
       ASSERT_TRUE(c && e);
       EXPECT_EQ(c->Style(), csDropDownList);
       EXPECT_EQ(c->Items()->Count(), 3);
       EXPECT_EQ(c->ItemIndex(), 1);
       EXPECT_EQ(c->Text(), "Tw\xC3\xB6");
       EXPECT_EQ(c->DropDownCount(), 3);
       EXPECT_EQ(e->Text(), "free text");
       EXPECT_EQ(e->ItemIndex(), -1);
       EXPECT_EQ(e->ControlCount(), 1) << "the edit line is the combo box's own, not read twice";
     }},
    {"extras",
     [](TForm& f) {
       auto* b = Make<TBevel>(f, "Bevel1", &f);
       b->SetShape(bsTopLine);
       b->SetStyle(bsRaised);
       auto* i = Make<TImage>(f, "Image1", &f);
       TBitmap bitmap;
       bitmap.SetSize(3, 2);
       bitmap.Canvas()->SetPixels(1, 1, clRed);
       i->Picture()->SetGraphic(&bitmap);
       i->SetCenter(true);
       i->SetProportional(true);
       auto* s = Make<TSplitter>(f, "Splitter1", &f);
       s->SetAlign(alTop);
       s->SetMinSize(12);
       s->SetResizeStyle(rsUpdate);
       auto* p = Make<TProgressBar>(f, "Progress1", &f);
       p->SetMax(40);
       p->SetPosition(25);
       p->SetSmooth(true);
     },
     [](TForm& f) {
       auto* b = Found<TBevel>(f, "Bevel1");
       auto* i = Found<TImage>(f, "Image1");
       auto* s = Found<TSplitter>(f, "Splitter1");
       auto* p = Found<TProgressBar>(f, "Progress1");
       ASSERT_TRUE(b && i && s && p);
       EXPECT_EQ(b->Shape(), bsTopLine);
       EXPECT_EQ(b->Style(), bsRaised);
       EXPECT_EQ(i->Picture()->Width(), 3);
       ASSERT_TRUE(i->Picture()->Graphic());
       EXPECT_EQ(i->Picture()->Graphic()->ToPixels().At(1, 1) & 0xFFFFFFu, 0xFF0000u);
       EXPECT_TRUE(i->Center() && i->Proportional() && !i->Stretch());
       EXPECT_EQ(s->Align(), alTop);
       EXPECT_EQ(s->MinSize(), 12);
       EXPECT_EQ(s->ResizeStyle(), rsUpdate);
       EXPECT_EQ(p->Max(), 40);
       EXPECT_EQ(p->Position(), 25);
       EXPECT_TRUE(p->Smooth());
     }},
    {"pages",
     [](TForm& f) {
       auto* pc = Make<TPageControl>(f, "Pages", &f);
       for (const char* name : {"SheetA", "SheetB", "SheetC"}) {
         auto* s = Make<TTabSheet>(f, name, pc);
         s->SetCaption(name);
       }
       Make<TEdit>(f, "EditOnB", static_cast<TWinControl*>(f.FindComponent("SheetB")));
       static_cast<TTabSheet*>(f.FindComponent("SheetC"))->SetPageIndex(0);
       static_cast<TTabSheet*>(f.FindComponent("SheetA"))->SetTabVisible(false);
       pc->SetActivePage(static_cast<TTabSheet*>(f.FindComponent("SheetB")));
     },
     [](TForm& f) {
       auto* pc = Found<TPageControl>(f, "Pages");
       ASSERT_TRUE(pc);
       ASSERT_EQ(pc->PageCount(), 3);
       EXPECT_EQ(pc->Pages(0)->Name(), "SheetC") << "pages keep their order";
       EXPECT_EQ(pc->ActivePage(), f.FindComponent("SheetB"));
       EXPECT_TRUE(pc->ActivePage()->Visible());
       EXPECT_FALSE(pc->Pages(0)->Visible());
       EXPECT_FALSE(static_cast<TTabSheet*>(f.FindComponent("SheetA"))->TabVisible());
       auto* edit = Found<TEdit>(f, "EditOnB");
       ASSERT_TRUE(edit);
       EXPECT_EQ(edit->Parent(), pc->ActivePage());
     }},
    {"main menu",
     [](TForm& f) {
       auto* menu = new TMainMenu(&f);
       menu->SetName("MainMenu1");
       auto* file = new TMenuItem(&f);
       file->SetName("FileMenu");
       file->SetCaption("&Fichier");
       menu->Items()->Add(file);
       auto* open = new TMenuItem(&f);
       open->SetName("OpenItem");
       open->SetCaption("&Ouvrir\xE2\x80\xA6");
       open->SetShortCut(ShortCut('O', {ssCtrl}));
       file->Add(open);
       f.SetMenu(menu);
     },
     [](TForm& f) {
       auto* menu = Found<TMainMenu>(f, "MainMenu1");
       ASSERT_TRUE(menu);
       EXPECT_EQ(f.Menu(), menu);
       ASSERT_EQ(menu->Items()->Count(), 1);
       TMenuItem* file = menu->Items()->Items(0);
       EXPECT_EQ(file->Name(), "FileMenu");
       ASSERT_EQ(file->Count(), 1);
       EXPECT_EQ(file->Items(0)->Caption(), "&Ouvrir\xE2\x80\xA6");
       EXPECT_EQ(menu->FindShortCut('O', {ssCtrl}), file->Items(0));
     }},
};

class StdControlsFormFiles : public ::testing::TestWithParam<TStreamCase> {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
  }
  void TearDown() override {
    h.reset();
    driver.reset();
  }
  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
};

TEST_P(StdControlsFormFiles, TextAndBinaryRoundTripsRestoreTheControls) {
  const TStreamCase& c = GetParam();
  TForm original(nullptr);
  original.SetName("StdForm");
  c.Build(original);
  const String text = ComponentToText(&original);

  TForm fromText(nullptr);
  ASSERT_EQ(TextToComponent(text, &fromText), &fromText) << text;
  c.Check(fromText);
  EXPECT_EQ(ComponentToText(&fromText), text) << "written again, the same file";

  TForm fromBinary(nullptr);
  BinaryToComponent(ComponentToBinary(&original), &fromBinary);
  c.Check(fromBinary);
}

INSTANTIATE_TEST_SUITE_P(Controls, StdControlsFormFiles, ::testing::ValuesIn(kStreamCases),
                         [](const auto& info) {
                           std::string name = info.param.Name;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

}  // namespace
}  // namespace zvtest
