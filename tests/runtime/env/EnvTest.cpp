// The environment: created with the program's modules, its image lists with their sizes and
// pictures, the footer-state menu (items, tags, images, captions, the line before None), the
// states that apply to every field class, and a choice handed to the control that opened it.
#include "platform/controls/Menus.h"
#include "platform/db/Fields.h"
#include "platform/graphics/ImageList.h"
#include "runtime/env/Env.h"
#include "runtime/rtm/ZvStrings.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

namespace zvtest {
namespace {

using namespace zv;

class Env : public THarnessTest {};

TEST_F(Env, ImageListsHoldDistinctPicturesOfTheirSize) {
  ASSERT_NE(zvEnv, nullptr) << "the program's modules create the environment";
  struct Case {
    TImageList* list;
    int width, height, count;
  } cases[] = {
      {zvEnv->ArrowsYwImgs, 15, 15, 4},  {zvEnv->ArrowsGrImgs, 15, 15, 4},    {zvEnv->TitleStateImgs, 10, 9, 2},
      {zvEnv->FooterStateImgs, 16, 16, 5}, {zvEnv->DesigntimeImgs, 16, 16, 2}, {zvEnv->ToolbarImages, 16, 16, 7},
      {zvEnv->BlobMarkers, 12, 12, 3},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.list, nullptr);
    const String name = c.list->Name();
    EXPECT_EQ(zvEnv->FindComponent(name), c.list) << name;
    EXPECT_EQ(c.list->Width(), c.width) << name;
    EXPECT_EQ(c.list->Height(), c.height) << name;
    ASSERT_EQ(c.list->Count(), c.count) << name;
    std::set<std::vector<TPixel>> pictures;
    for (int i = 0; i < c.count; ++i) {
      const TPixelBuffer& image = c.list->Image(i);
      int opaque = 0;
      for (TPixel p : image.Data()) opaque += (p >> 24) != 0 ? 1 : 0;
      EXPECT_GT(opaque, 8) << name << " " << i;
      EXPECT_LT(opaque, c.width * c.height) << name << " " << i << ": the ground is transparent";
      pictures.insert({image.Data().begin(), image.Data().end()});
    }
    EXPECT_EQ(static_cast<int>(pictures.size()), c.count) << name;
  }
  // The two arrow lists differ by colour only.
  EXPECT_NE(zvEnv->ArrowsYwImgs->Image(0), zvEnv->ArrowsGrImgs->Image(0));
}

TEST_F(Env, TheFooterMenuHasOneRadioItemPerStateAndTheLineBeforeNone) {
  TPopupMenu* menu = zvEnv->pumFooterMenu;
  EXPECT_EQ(menu->Alignment(), paCenter);
  EXPECT_EQ(menu->Images(), zvEnv->FooterStateImgs);
  const char* names[] = {"miAverage", "miCount", "miMax", "miMin", "miSum", "miSep1", "miNone"};
  const char* captions[] = {"Average", "Count", "Maximum", "Minimum", "Sum", "-", "None"};
  const int tags[] = {0, 1, 2, 3, 4, 0, 5};
  const int images[] = {0, 1, 2, 3, 4, -1, -1};
  ASSERT_EQ(menu->Items()->Count(), 7);
  for (int i = 0; i < 7; ++i) {
    const TMenuItem* item = menu->Items()->Items(i);
    EXPECT_EQ(item->Name(), names[i]);
    EXPECT_EQ(item->Caption(), captions[i]) << names[i];
    EXPECT_EQ(item->Tag(), tags[i]) << names[i];
    EXPECT_EQ(item->ImageIndex(), images[i]) << names[i];
    EXPECT_EQ(item->RadioItem(), i != 5) << names[i];
    EXPECT_EQ(item->ShortCut(), scNone) << names[i];
    if (i != 5) { EXPECT_EQ(zvEnv->GetFooterStateMenu(tags[i]), item) << names[i]; }
  }
  EXPECT_EQ(zvEnv->GetFooterStateMenu(-1), nullptr);
  EXPECT_EQ(zvEnv->GetFooterStateMenu(6), nullptr);
  // The line shows exactly with None, decided when the menu opens.
  for (bool none : {false, true, false}) {
    zvEnv->miNone->SetVisible(none);
    menu->OnPopup(menu);
    EXPECT_EQ(zvEnv->miSep1->Visible(), none);
  }
  zvEnv->miNone->SetVisible(true);
}

TEST_F(Env, EveryFieldClassEnablesTheStatesThatApplyToIt) {
  // Average, Count, Max, Min, Sum, None.
  const char* numbers = "111111";
  const char* dates = "111101";
  const char* others = "010001";
  struct Case {
    const char* name;
    std::function<TField*(TComponent*)> make;
    const char* enabled;
  } cases[] = {
      {"Integer", [](TComponent* o) { return new TIntegerField(o); }, numbers},
      {"Smallint", [](TComponent* o) { return new TSmallintField(o); }, numbers},
      {"Word", [](TComponent* o) { return new TWordField(o); }, numbers},
      {"AutoInc", [](TComponent* o) { return new TAutoIncField(o); }, numbers},
      {"Largeint", [](TComponent* o) { return new TLargeintField(o); }, numbers},
      {"Float", [](TComponent* o) { return new TFloatField(o); }, numbers},
      {"Currency", [](TComponent* o) { return new TCurrencyField(o); }, numbers},
      {"BCD", [](TComponent* o) { return new TBCDField(o); }, numbers},
      {"FMTBCD", [](TComponent* o) { return new TFMTBCDField(o); }, numbers},
      {"DateTime", [](TComponent* o) { return new TDateTimeField(o); }, dates},
      {"Date", [](TComponent* o) { return new TDateField(o); }, dates},
      {"Time", [](TComponent* o) { return new TTimeField(o); }, dates},
      {"SQLTimeStamp", [](TComponent* o) { return new TSQLTimeStampField(o); }, dates},
      {"String", [](TComponent* o) { return new TStringField(o); }, others},
      {"WideString", [](TComponent* o) { return new TWideStringField(o); }, others},
      {"Guid", [](TComponent* o) { return new TGuidField(o); }, others},
      {"Boolean", [](TComponent* o) { return new TBooleanField(o); }, others},
      {"Bytes", [](TComponent* o) { return new TBytesField(o); }, others},
      {"VarBytes", [](TComponent* o) { return new TVarBytesField(o); }, others},
      {"Blob", [](TComponent* o) { return new TBlobField(o); }, others},
      {"Memo", [](TComponent* o) { return new TMemoField(o); }, others},
      {"Graphic", [](TComponent* o) { return new TGraphicField(o); }, others},
      {"Variant", [](TComponent* o) { return new TVariantField(o); }, others},
      {"no field", [](TComponent*) { return nullptr; }, others},
  };
  TComponent owner(nullptr);
  for (const Case& c : cases) {
    for (int k = 0; k < TzvEnv::FooterStateCount; ++k) zvEnv->GetFooterStateMenu(k)->SetEnabled(k % 2 == 0);
    zvEnv->DisableNonApplicableFooterStates(c.make(&owner));
    std::string enabled;
    for (int k = 0; k < TzvEnv::FooterStateCount; ++k) enabled += zvEnv->GetFooterStateMenu(k)->Enabled() ? '1' : '0';
    EXPECT_EQ(enabled, c.enabled) << c.name;
  }
}

class TTarget : public TComponent, public IzvFooterMenuTarget {
public:
  using TComponent::TComponent;
  std::vector<TMenuItem*> Chosen;
  void FooterMenuClick(TMenuItem* item) override { Chosen.push_back(item); }
};

TEST_F(Env, AChoiceGoesToTheControlThatOpenedTheMenuAndStartsNest) {
  TTarget target(nullptr);
  TComponent stranger(nullptr);
  zvEnv->DisableNonApplicableFooterStates(nullptr);
  zvEnv->miSum->SetEnabled(true);
  zvEnv->pumFooterMenu->SetPopupComponent(&target);
  zvEnv->miSum->Click();
  zvEnv->miNone->Click();
  EXPECT_EQ(target.Chosen, (std::vector<TMenuItem*>{zvEnv->miSum, zvEnv->miNone}));
  zvEnv->pumFooterMenu->SetPopupComponent(&stranger);
  EXPECT_NO_THROW(zvEnv->miCount->Click());
  EXPECT_EQ(target.Chosen.size(), 2u);
  zvEnv->pumFooterMenu->SetPopupComponent(nullptr);
  // Nested starts keep the one environment; the outermost stop frees it.
  TzvEnv* env = zvEnv;
  StartEnv();
  EXPECT_EQ(zvEnv, env);
  StopEnv();
  EXPECT_EQ(zvEnv, env);
}

}  // namespace
}  // namespace zvtest
