// The vision component: what each property change tells the consumers, the switch mirror, the
// glyph and image list, assignment, the text and default queries, and release in every order.

#include "ExpectMessage.h"
#include "VisionTestKit.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/rtm/DrawRoutines.h"

namespace zvtest {

class TOtherVision : public TvpFieldVision {
  ZV_CLASS(TOtherVision, TvpFieldVision)

public:
  using TvpFieldVision::TvpFieldVision;
};
ZV_DEFINE_CLASS(TOtherVision, TvpFieldVision)

namespace {

using VisionTest = VisionFixture;

struct BroadcastCase {
  const char* Name;
  std::function<void(TTestVision&)> Change;
  Log Expected;       // what each consumer hears
  bool WhileLoading;  // still heard while the vision loads
};

TEST_F(VisionTest, EachPropertyChangeTellsEveryConsumerOnceAndOnlyWhenChanged) {
  TImageList images(nullptr);
  const BroadcastCase cases[] = {
      {"Caption", [](TTestVision& v) { v.SetCaption("Name"); }, {"UpdateVisualAttrs"}, true},
      {"Alignment", [](TTestVision& v) { v.SetAlignment(talCenter); }, {"UpdateVisualAttrs"}, true},
      {"RelatedFields", [](TTestVision& v) { v.SetRelatedFields("AGE"); }, {"UpdateFields"}, true},
      {"AlignImage", [](TTestVision& v) { v.SetAlignImage(aiRight); }, {"Invalidate"}, false},
      {"DrawText", [](TTestVision& v) { v.SetDrawText(false); }, {"Invalidate"}, false},
      {"Images", [&](TTestVision& v) { v.SetImages(&images); }, {"UpdateHeight"}, false},
      {"DrawImages", [](TTestVision& v) { v.SetDrawImages(false); }, {"UpdateHeight"}, false},
      {"EditWordWrap", [](TTestVision& v) { v.SetEditWordWrap(true); }, {"RecreateEditor"}, true},
      {"EditScrollBars", [](TTestVision& v) { v.SetEditScrollBars(ssBoth); }, {"RecreateEditor"}, true},
      {"EnableButton", [](TTestVision& v) { v.SetEnableButton(true); }, {"UpdateEditButton"}, true},
      {"ButtonStyle", [](TTestVision& v) { v.SetButtonStyle(pbsSpin); }, {"UpdateEditButton"}, true},
      {"Description", [](TTestVision& v) { v.SetDescription("d"); }, {}, true},
      {"ReadOnly", [](TTestVision& v) { v.SetReadOnly(true); }, {}, true},
      {"MaxLength", [](TTestVision& v) { v.SetMaxLength(5); }, {}, true},
      {"EditMask", [](TTestVision& v) { v.SetEditMask("000"); }, {}, true},
      {"OptionsSwitch", [](TTestVision& v) { v.SetOptionsSwitch({vsoNeedEditing}); }, {}, true},
  };
  for (const auto& c : cases) {
    for (bool loading : {false, true}) {
      TTestVision vision(nullptr);
      TTestHost a(&Link), b(&Link, false);
      a.SetVision(&vision);
      b.SetVision(&vision);
      a.Bind("NAME");
      a.Calls().clear();
      b.Calls().clear();
      if (loading) vision.SetStateFlag(csLoading, true);
      c.Change(vision);
      const Log expected = loading && !c.WhileLoading ? Log{} : c.Expected;
      EXPECT_EQ(a.Calls(), expected) << c.Name << (loading ? " loading" : "");
      EXPECT_EQ(b.Calls(), expected) << c.Name << (loading ? " loading" : "");
      a.Calls().clear();
      c.Change(vision);  // the same value again
      EXPECT_TRUE(a.Calls().empty()) << c.Name << " unchanged";
      vision.SetImages(nullptr);
    }
  }
}

TEST_F(VisionTest, VisualAttrsRepaintOnlyConsumersWhoseAttributesChanged) {
  auto a = MakeHost("NAME");
  auto b = MakeHost("AGE");
  b->VisualAttrsChange = true;
  Vision->UpdateVisualAttrs();
  EXPECT_EQ(a->Calls(), (Log{"UpdateVisualAttrs"}));
  EXPECT_EQ(b->Calls(), (Log{"UpdateVisualAttrs", "Invalidate"}));
  Vision->UpdatePopupMenus();
  EXPECT_EQ(a->Calls().back(), "UpdatePopupMenu");
  a->Calls().clear();
  Vision->SetStateFlag(csLoading, true);
  Vision->ValidateFields();
  Vision->UpdateHeight();
  Vision->Invalidate();
  EXPECT_TRUE(a->Calls().empty());
  Vision->SetStateFlag(csLoading, false);
  Vision->ValidateFields();
  EXPECT_EQ(a->Calls(), (Log{"ValidateFields"}));
}

// A host that, when told to repaint, moves another list away and brings a new one in.
TEST_F(VisionTest, BroadcastCallsEachListPresentAtTheStartAndStillThereOnce) {
  TTestVision other(nullptr);
  auto a = MakeHost("NAME");
  auto b = MakeHost("NAME");
  std::unique_ptr<TTestHost> late;
  struct Mover : TTestHost {
    using TTestHost::TTestHost;
    std::function<void()> OnInvalidate;
    void Invalidate() override {
      TTestHost::Invalidate();
      if (OnInvalidate) OnInvalidate();
    }
  } mover(&Link);
  mover.SetVision(Vision.get());
  // mover sits after a and b; make it first by re-adding a and b behind it.
  a->SetVision(&other);
  a->SetVision(Vision.get());
  b->SetVision(&other);
  b->SetVision(Vision.get());
  a->Calls().clear();
  b->Calls().clear();
  mover.OnInvalidate = [&] {
    a->SetVision(&other);  // leaves: must not be called
    late = MakeHost("AGE");  // joins: must not be called this time
    mover.SetVision(&other);
    mover.SetVision(Vision.get());  // leaves and rejoins at the end: still only once
  };
  Vision->Invalidate();
  EXPECT_EQ(std::count(mover.Calls().begin(), mover.Calls().end(), "Invalidate"), 1);
  EXPECT_EQ(std::count(a->Calls().begin(), a->Calls().end(), "Invalidate"), 0);
  EXPECT_EQ(b->Calls(), (Log{"Invalidate"}));
  EXPECT_TRUE(late->Calls().empty());
  mover.OnInvalidate = nullptr;
}

TEST_F(VisionTest, UnboundModeAndOptionsSwitchMirrorEachOtherThroughAFormRoundTrip) {
  EXPECT_EQ(Vision->OptionsSwitch(), TfvSwitchOptions{vsoEditDataSet});
  EXPECT_FALSE(Vision->UnboundMode());
  Vision->SetUnboundMode(true);
  EXPECT_EQ(Vision->OptionsSwitch(), TfvSwitchOptions{});
  Vision->SetOptionsSwitch({vsoNeedCurrent});
  Vision->SetUnboundMode(false);
  EXPECT_EQ(Vision->OptionsSwitch(), (TfvSwitchOptions{vsoEditDataSet, vsoNeedCurrent}));
  Vision->SetOptionsSwitch({vsoNeedEditing});
  EXPECT_TRUE(Vision->UnboundMode());

  for (bool unbound : {true, false}) {
    Vision->SetUnboundMode(unbound);
    for (bool asText : {true, false}) {
      const String form = ComponentToStr(*Vision, asText);
      TTestVision copy(nullptr);
      StrToComponent(copy, form, asText);
      EXPECT_EQ(copy.UnboundMode(), unbound) << form;
      EXPECT_EQ(copy.OptionsSwitch(), Vision->OptionsSwitch()) << form;
    }
  }
}

TEST_F(VisionTest, CarriedPropertiesStreamWithTheirDefaults) {
  Vision->SetCaption("Who");
  Vision->SetAlignment(talRightJustify);
  Vision->SetMaxLength(12);
  Vision->SetEditScrollBars(ssVertical);
  Vision->SetButtonStyle(pbsEllipsis);
  const String text = ComponentToStr(*Vision, true);
  EXPECT_EQ(text.find("DrawText"), String::npos) << "defaults are not written";
  EXPECT_EQ(text.find("ButtonGlyph"), String::npos) << "no glyph, none written";
  EXPECT_FALSE(Vision->HasButtonGlyph()) << "writing must not create the glyph";
  TTestVision copy(nullptr);
  StrToComponent(copy, text, true);
  EXPECT_EQ(copy.Caption(), "Who");
  EXPECT_EQ(copy.Alignment(), talRightJustify);
  EXPECT_EQ(copy.MaxLength(), 12);
  EXPECT_EQ(copy.EditScrollBars(), ssVertical);
  EXPECT_EQ(copy.ButtonStyle(), pbsEllipsis);
}

TEST_F(VisionTest, ButtonGlyphIsCreatedOnReadAndAssignedByCopy) {
  auto host = MakeHost("NAME");
  EXPECT_FALSE(Vision->HasButtonGlyph());
  TBitmap* glyph = Vision->ButtonGlyph();
  ASSERT_TRUE(glyph);
  EXPECT_TRUE(glyph->Empty());
  EXPECT_TRUE(glyph->Transparent());
  EXPECT_EQ(Vision->ButtonStyle(), pbsDropDown) << "reading changes nothing";
  EXPECT_TRUE(host->Calls().empty());

  glyph->SetSize(8, 8);  // the glyph's own changes re-lay the buttons out
  EXPECT_EQ(host->Calls(), (Log{"UpdateEditButton"}));

  host->Calls().clear();
  TBitmap source;
  source.SetSize(12, 10);
  Vision->SetButtonGlyph(&source);
  EXPECT_EQ(Vision->ButtonStyle(), pbsCustom);
  EXPECT_NE(Vision->ButtonGlyph(), &source);
  EXPECT_EQ(Vision->ButtonGlyph()->Width(), 12);
  EXPECT_TRUE(Vision->ButtonGlyph()->Transparent());
  EXPECT_FALSE(host->Calls().empty());
  EXPECT_EQ(host->Calls().back(), "UpdateEditButton");
  const String text = ComponentToStr(*Vision, true);
  TTestVision copy(nullptr);
  StrToComponent(copy, text, true);
  ASSERT_TRUE(copy.HasButtonGlyph()) << text;
  EXPECT_EQ(copy.ButtonGlyph()->Width(), 12);
  EXPECT_EQ(copy.ButtonStyle(), pbsCustom);

  Vision->SetButtonStyle(pbsSpin);
  Vision->SetButtonGlyph(nullptr);
  EXPECT_FALSE(Vision->HasButtonGlyph());
  EXPECT_EQ(Vision->ButtonStyle(), pbsCustom) << "even a null glyph asks for the custom style";
}

TEST_F(VisionTest, SharedImageListSizesBothVisionsAndReleasesInEitherOrder) {
  for (bool listFirst : {true, false}) {
    auto images = std::make_unique<TImageList>(nullptr);
    images->SetWidth(20);
    images->SetHeight(18);
    int ownChanges = 0;
    images->OnChange = [&](TObject*) { ++ownChanges; };
    auto second = std::make_unique<TTestVision>(nullptr);
    auto a = MakeHost("NAME");
    TTestHost b(&Link);
    b.SetVision(second.get());
    Vision->SetImages(images.get());
    second->SetImages(images.get());
    EXPECT_EQ(Vision->ImageWidth(), 20);
    EXPECT_EQ(second->ImageHeight(), 18);
    a->Calls().clear();
    b.Calls().clear();

    images->SetHeight(24);
    EXPECT_EQ(Vision->ImageHeight(), 24);
    EXPECT_EQ(second->ImageHeight(), 24);
    EXPECT_EQ(a->Calls(), (Log{"UpdateHeight"}));
    EXPECT_EQ(b.Calls().back(), "UpdateHeight");
    EXPECT_EQ(ownChanges, 1) << "the list's own handler still runs";

    Vision->SetDrawImages(false);
    EXPECT_EQ(Vision->ImageHeight(), 0);
    Vision->SetDrawImages(true);
    EXPECT_EQ(Vision->ImageHeight(), 24);

    if (listFirst) {
      a->Calls().clear();
      images.reset();
      EXPECT_EQ(Vision->Images(), nullptr);
      EXPECT_EQ(second->Images(), nullptr);
      EXPECT_EQ(Vision->ImageHeight(), 0);
      EXPECT_EQ(a->Calls(), (Log{"UpdateHeight"}));
      second.reset();
    } else {
      second.reset();
      Vision->SetImages(nullptr);
      images->SetWidth(30);
      EXPECT_EQ(ownChanges, 2);
      EXPECT_EQ(Vision->ImageWidth(), 0);
      images.reset();
    }
  }
}

TEST_F(VisionTest, AssignCopiesOnlyFromTheSameClass) {
  auto host = MakeHost("NAME");
  TTestVision source(nullptr);
  source.SetCaption("C");
  source.SetDescription("D");
  source.SetAlignment(talCenter);
  source.SetRelatedFields("AGE");
  source.SetReadOnly(true);
  source.SetTag(7);
  source.SetMaxLength(9);  // not part of an assignment
  Vision->Assign(&source);
  EXPECT_EQ(Vision->Caption(), "C");
  EXPECT_EQ(Vision->Description(), "D");
  EXPECT_EQ(Vision->Alignment(), talCenter);
  EXPECT_EQ(Vision->RelatedFields(), "AGE");
  EXPECT_TRUE(Vision->ReadOnly());
  EXPECT_EQ(Vision->Tag(), 7);
  EXPECT_EQ(Vision->MaxLength(), 0);
  EXPECT_EQ(host->Fields().Count(), 2) << "consumers re-resolved the related field";

  TOtherVision other(nullptr);
  EXPECT_EQ(MessageOf<EConvertError>([&] { Vision->Assign(&other); }),
            "Cannot assign a TOtherVision to a TTestVision");
  TvpFieldVision base(nullptr);
  EXPECT_EQ(MessageOf<EConvertError>([&] { base.Assign(Vision.get()); }),
            "Cannot assign a TTestVision to a TvpFieldVision");
}

TEST_F(VisionTest, TextAndDefaultQueries) {
  auto host = MakeHost("AGE");
  TgpFieldList& f = host->Fields();
  TField* age = Table->FieldByName("AGE");
  static_cast<TNumericField*>(age)->SetDisplayFormat("#,##0 y");
  static_cast<TNumericField*>(age)->SetEditFormat("0");
  EXPECT_EQ(Vision->GetText(f, true), "30 y");
  EXPECT_EQ(Vision->GetText(f, false), "30");
  EXPECT_EQ(Vision->AutoSearchText(f), "30") << "numbers are searched raw";
  std::vector<bool> seen;
  Vision->OnGetText = [&](TObject*, TgpFieldList*, bool display, String& v) {
    seen.push_back(display);
    v = "[" + v + "]";
  };
  EXPECT_EQ(Vision->GetText(f, true), "[30 y]");
  Vision->OnGetText = nullptr;

  TgpFieldValue value;
  EXPECT_EQ(Vision->GetFormattedValue(f, value), "");
  EXPECT_EQ(Vision->FormattedCalls, 0);
  value.SetAsInteger(5);
  EXPECT_EQ(Vision->GetFormattedValue(f, value), "<5>");

  EXPECT_EQ(Vision->DefaultCaption(f), "AGE") << "the label falls back to the name";
  age->SetDisplayLabel("Age (years)");
  EXPECT_EQ(Vision->DefaultCaption(f), "Age (years)");
  Vision->SetCaption("Years");
  EXPECT_EQ(Vision->DefaultCaption(f), "Years");
  EXPECT_EQ(Vision->DefaultAlignment(f), taRightJustify);
  EXPECT_EQ(Vision->DefaultLayout(f), tlaDefault);
  EXPECT_EQ(Vision->DefaultMaxLength(f), 0);
  char32_t key = U'7';
  EXPECT_TRUE(Vision->IsValidChar(f, key));
  key = U'x';
  EXPECT_FALSE(Vision->IsValidChar(f, key));

  auto name = MakeHost("NAME");
  EXPECT_EQ(Vision->DefaultMaxLength(name->Fields()), 20);
  Vision->SetMaxLength(4);
  EXPECT_EQ(Vision->DefaultMaxLength(name->Fields()), 4);
  EXPECT_EQ(MessageOf<EZVError>([&] { Vision->SetMaxLength(-1); }), "Value can not be negative (-1)");
  EXPECT_EQ(Vision->MaxLength(), 4);
  key = U'ж';
  EXPECT_TRUE(Vision->IsValidChar(name->Fields(), key));
  EXPECT_EQ(Vision->DefaultAlignment(name->Fields()), taLeftJustify);
  EXPECT_EQ(Vision->AutoSearchText(name->Fields()), "Eve");

  String mask;
  Vision->PE_GetEditMask(name->Fields(), mask);
  EXPECT_EQ(mask, "");
  Table->FieldByName("NAME")->SetEditMask(">L<l;0;_");
  Vision->PE_GetEditMask(name->Fields(), mask);
  EXPECT_EQ(mask, ">L<l;0;_");
  mask.clear();
  Vision->SetEditMask("999");
  Vision->PE_GetEditMask(name->Fields(), mask);
  EXPECT_EQ(mask, "999");
  mask = "kept";
  Vision->PE_GetEditMask(name->Fields(), mask);
  EXPECT_EQ(mask, "kept");

  TTestHost nothing(&Link);
  nothing.SetVision(Vision.get());
  nothing.Bind("NOPE");
  EXPECT_FALSE(nothing.Fields().Valid());
  EXPECT_EQ(Vision->GetText(nothing.Fields(), true), "");
  EXPECT_EQ(Vision->DefaultMaxLength(nothing.Fields()), 4);
  EXPECT_TRUE(Vision->IsValidChar(nothing.Fields(), key));
  bool valid = true;
  nothing.Fields().SetFieldNames("");
  Vision->VM_ValidFields(nothing.Fields(), valid);
  EXPECT_FALSE(valid);
  EXPECT_TRUE(Vision->WantArrows());
  EXPECT_FALSE(Vision->SupportsDropDownOption(ddoShowOnEnter));
  EXPECT_EQ(Vision->DefaultToolForm(), nullptr);
  EXPECT_EQ(Vision->DefaultPopupMenu(), nullptr);
}

// A cell paints as the editor does unless a vision says otherwise: the base prepares the text
// and a cell reaches VM_DrawEdit.
TEST_F(VisionTest, CellsPrepareTheTextAndDrawAsTheEditor) {
  class TEditDrawingVision : public TTestVision {
  public:
    using TTestVision::TTestVision;
    int EditDraws = 0;
    void VM_DrawEdit(TgpFieldList&, TfvPainter&) override { ++EditDraws; }
  } vision(nullptr);
  auto host = MakeHost("NAME");
  host->SetVision(&vision);
  TgpPainter painter;
  vision.VM_PreparePainter(host->Fields(), painter);
  EXPECT_EQ(painter.Text, vision.GetText(host->Fields(), true));
  EXPECT_FALSE(painter.Text.empty());
  vision.VM_DrawCell(host->Fields(), painter);
  EXPECT_EQ(vision.EditDraws, 1);
  host->SetVision(nullptr);
}

// The painter places what the list's vision says: its images on the side it names, or centred
// when it draws no text; without a vision, text only.
TEST_F(VisionTest, ThePainterPlacesWhatTheVisionSays) {
  TImageList images(nullptr);
  images.SetWidth(16);
  images.SetHeight(10);
  auto host = MakeHost("NAME");
  Vision->SetImages(&images);
  TfvPainter painter(false);
  painter.ClientRect = TRect(0, 0, 100, 20);
  struct Case {
    TvpAlignImage align;
    bool drawText;
    TRect image, text;
  };
  for (const Case& c : {Case{aiLeft, true, TRect(0, 5, 16, 15), TRect(18, 0, 100, 20)},
                        Case{aiRight, true, TRect(84, 5, 100, 15), TRect(0, 0, 82, 20)},
                        Case{aiLeft, false, TRect(42, 5, 58, 15), TRect(0, 0, 100, 20)}}) {
    host->Fields().SetLayout(tlCenter);
    Vision->SetAlignImage(c.align);
    Vision->SetDrawText(c.drawText);
    painter.Init(host->Fields());
    EXPECT_EQ(painter.Fields, &host->Fields());
    EXPECT_EQ(painter.Images, &images);
    EXPECT_EQ(painter.ImageRect, c.image) << c.align << c.drawText;
    EXPECT_EQ(painter.TextRect, c.text) << c.align << c.drawText;
  }
  Vision->SetImages(nullptr);
  host->SetVision(nullptr);
  SetDefaultVision(nullptr);
  painter.Init(host->Fields());
  EXPECT_EQ(painter.Images, nullptr);
  EXPECT_EQ(painter.TextRect, painter.ClientRect);
}

TEST_F(VisionTest, CalcHeightTakesTheTallerOfTextLinesAndImage) {
  TFont font;
  const int line = GetFontHeight(font);
  ASSERT_GT(line, 0);
  EXPECT_EQ(Vision->VM_CalcHeight(nullptr, font, 2, 4), 4 + 2 * line);
  TImageList images(nullptr);
  images.SetHeight(4 + 2 * line + 10);
  Vision->SetImages(&images);
  EXPECT_EQ(Vision->VM_CalcHeight(nullptr, font, 2, 4), 4 + 2 * line + 10);
  Vision->SetImages(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Release

TEST_F(VisionTest, DestroyedVisionDetachesEveryListAndEachHostHearsOfItOnce) {
  TTestVision fallback(nullptr);
  fallback.SetName("Fallback");
  SetDefaultVision(&fallback);
  auto withComponent = MakeHost("NAME", true);
  auto without = MakeHost("NAME", false);
  Vision.reset();
  for (TTestHost* host : {withComponent.get(), without.get()}) {
    EXPECT_EQ(host->Fields().Vision(), &fallback);
    EXPECT_EQ(host->Calls(), (Log{"VisionChanged(nil)"}));
    EXPECT_EQ(fallback.GetText(host->Fields(), true), "Eve");
  }
  EXPECT_EQ(fallback.ConsumerCount(), 2);
  withComponent.reset();
  EXPECT_EQ(fallback.ConsumerCount(), 1);
}

TEST_F(VisionTest, DestroyingTheDefaultVisionClearsItAndLeavesListsWithoutVision) {
  auto defaultVision = std::make_unique<TTestVision>(nullptr);
  SetDefaultVision(defaultVision.get());
  TTestHost a(&Link), b(&Link, false);
  a.Bind("NAME");
  b.Bind("NAME");
  defaultVision.reset();
  EXPECT_EQ(DefaultVision(), nullptr);
  for (TTestHost* host : {&a, &b}) {
    EXPECT_EQ(host->Fields().Vision(), nullptr);
    EXPECT_EQ(host->Calls(), (Log{"VisionChanged(nil)"}));
    EXPECT_FALSE(host->Fields().CanModify());
    EXPECT_FALSE(host->Fields().EditInt(true));
  }
  a.SetVision(Vision.get());
  EXPECT_EQ(a.Fields().Vision(), Vision.get());
}

TEST_F(VisionTest, AnOwnerFreeingItsVisionsAndTheDefaultLeavesNoListBehind) {
  for (bool defaultFirst : {true, false}) {
    auto owner = std::make_unique<TComponent>(nullptr);
    TTestVision* stock = nullptr;
    TTestVision* fallback = nullptr;
    if (defaultFirst) fallback = new TTestVision(owner.get());
    stock = new TTestVision(owner.get());
    if (!defaultFirst) fallback = new TTestVision(owner.get());
    SetDefaultVision(fallback);
    TTestHost a(&Link), b(&Link, false), c(&Link);
    a.SetVision(stock);
    b.SetVision(stock);
    a.Calls().clear();
    b.Calls().clear();
    owner.reset();
    EXPECT_EQ(DefaultVision(), nullptr);
    for (TTestHost* host : {&a, &b, &c}) {
      EXPECT_EQ(host->Fields().Vision(), nullptr) << defaultFirst;
      EXPECT_EQ(host->Calls(), (Log{"VisionChanged(nil)"})) << defaultFirst;
    }
  }
}

TEST_F(VisionTest, HostsMayGoBeforeOrAfterTheirVision) {
  {
    auto host = MakeHost("NAME");
    auto vision = std::make_unique<TTestVision>(nullptr);
    host->SetVision(vision.get());
    host.reset();
    EXPECT_EQ(vision->ConsumerCount(), 0);
  }
  auto vision = std::make_unique<TTestVision>(nullptr);
  auto host = MakeHost("NAME");
  host->SetVision(vision.get());
  vision.reset();
  EXPECT_EQ(host->AskedVision(), nullptr) << "free notification cleared the host's reference";
  EXPECT_EQ(host->Fields().Vision(), nullptr);
}

}  // namespace
}  // namespace zvtest
