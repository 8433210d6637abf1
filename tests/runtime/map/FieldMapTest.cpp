// Captions for field lists, display names, and a mapper on a form through both form formats.
#include "MapperTestKit.h"

#include "platform/classes/FormText.h"
#include "platform/classes/Modules.h"
#include "platform/classes/Parser.h"
#include "platform/controls/WindowBackend.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <gtest/gtest.h>

#include <memory>

namespace zvtest {
namespace {

struct TCaptionCase {
  const char* FieldNames;
  const char* Attrs;
  bool WithDataSet;
  const char* Expected;
};

TEST(FieldMapCaptions, MapCaptionThenDisplayLabelThenTheNameItself) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("AGE", ftInteger);
  table.FieldDefs().Add("CITY", ftString, 20);
  table.FieldDefs().Add("NAME", ftString, 20);
  table.CreateDataSet();
  table.FieldByName("CITY")->SetDisplayLabel("Town");
  table.FieldByName("NAME")->SetDisplayLabel("Label");
  TQuickFieldMapper mapper(nullptr);
  AddGroups(mapper, {{"Wide", {{"NAME", "Full; name"}}}, {"", {{"age", "Âge"}}}});

  const TCaptionCase cases[] = {
      {"AGE;CITY;NOPE", "", true, "Âge;Town;NOPE"},
      {"AGE;CITY;NOPE", "", false, "Âge;CITY;NOPE"},
      {"NAME;CITY", "Wide", true, "Full; name;Town"},  // a caption holding the separator
      {"NAME;CITY", "", true, "Label;Town"},            // the group does not apply
      {"city;;AGE", "", true, "Town;;Âge"},
      {"", "Wide", true, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(mapper.GetFieldCaptions(c.FieldNames, c.Attrs, c.WithDataSet ? &table : nullptr), c.Expected)
        << c.FieldNames << " / " << c.Attrs;
}

TEST(FieldMapDisplayNames, MapsShowCaptionAndFieldGroupsTheirDescription) {
  TQuickFieldMapper mapper(nullptr);
  AddGroups(mapper, {{"", {{"NAME", "Full name"}, {"CITY", ""}}, "Lookups"}, {"ReadOnly", {}}});
  const TvpFieldMapGroup* first = mapper.Groups()->Items(0);
  const TvpFieldMapGroup* second = mapper.Groups()->Items(1);
  EXPECT_EQ(first->Maps()->Items(0)->DisplayName(), "Full name : NAME");
  EXPECT_EQ(first->Maps()->Items(1)->DisplayName(), " : CITY");
  EXPECT_EQ(first->DisplayName(), "Lookups");
  EXPECT_EQ(second->DisplayName(), "TvpFieldMapGroup");
  mapper.SetName("Mapper1");
  EXPECT_EQ(first->Maps()->Items(1)->GetNamePath(), "Mapper1.Groups[0].Maps[1]");
}

// ---------------------------------------------------------------------------------------------
// Form streaming

class TMapForm : public TComponent {
public:
  using TComponent::TComponent;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    if (root == this)
      for (int i = 0; i < ComponentCount(); ++i) proc(Components(i));
  }
};

class MapperStreaming : public testing::Test {
protected:
  // The modules make their resources on a backend: without one the suite's set-up throws, and
  // every test of it is skipped rather than run.
  static void SetUpTestSuite() {
    fGraphics = SetGraphicsBackend(CreateNullBackend());
    fWindows = SetWindowBackend(CreateNullWindowBackend());
    InitializeModules();
    RegisterClass(TvpFieldVision::StaticClass());
  }
  static void TearDownTestSuite() {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }

  // Two named visions, a mapper with two groups referring to them.
  static void Build(TMapForm& form) {
    form.SetName("Form1");
    auto* v1 = new TvpFieldVision(&form);
    v1->SetName("Vision1");
    auto* v2 = new TvpFieldVision(&form);
    v2->SetName("Vision2");
    auto* mapper = new TQuickFieldMapper(&form);
    mapper->SetName("Mapper1");
    mapper->SetTag(7);
    AddGroups(*mapper, {{"Lookup,Combo;ReadOnly", {{"NAME", "Имя", v1}, {"CITY", "Town 'quoted'", v2}}, "Read-only lookups"},
                        {"", {{"NAME", "Name", v2}, {"AGE", "Âge"}}}});
  }

  static TQuickFieldMapper* MapperOf(TMapForm& form) {
    return dynamic_cast<TQuickFieldMapper*>(form.FindComponent("Mapper1"));
  }

private:
  static inline std::unique_ptr<TGraphicsBackend> fGraphics;
  static inline std::unique_ptr<TWindowBackend> fWindows;
};

TEST_F(MapperStreaming, TheMapperIsRegisteredByItsModule) {
  EXPECT_EQ(GetClass("TQuickFieldMapper"), TQuickFieldMapper::StaticClass());
}

TEST_F(MapperStreaming, RoundTripsThroughTextAndBinaryUnchanged) {
  TMapForm form(nullptr);
  Build(form);
  const String text = ComponentToText(&form);
  EXPECT_NE(text.find("Groups = <"), String::npos) << text;
  EXPECT_NE(text.find("MapConditions = 'Lookup,Combo;ReadOnly'"), String::npos) << text;
  // The map's members in their declared order.
  const auto field = text.find("FieldName = 'CITY'"), vision = text.find("Vision = Vision2"),
             caption = text.find("Caption = 'Town");
  EXPECT_TRUE(field < vision && vision < caption) << text;

  // Assigning from themselves changes nothing; from nothing is refused.
  TQuickFieldMapper* source = MapperOf(form);
  source->SetGroups(source->Groups());
  source->Groups()->Items(0)->SetMaps(source->Groups()->Items(0)->Maps());
  EXPECT_THROW(source->SetGroups(nullptr), EConvertError);
  EXPECT_EQ(ComponentToText(&form), text);

  TMapForm fromText(nullptr);
  TextToComponent(text, &fromText);
  EXPECT_EQ(ComponentToText(&fromText), text);
  TMapForm fromBinary(nullptr);
  BinaryToComponent(ComponentToBinary(&form), &fromBinary);
  EXPECT_EQ(ComponentToBinary(&fromBinary), ComponentToBinary(&form));

  // The copies refer to their own form's visions, which they now watch.
  TQuickFieldMapper* mapper = MapperOf(fromBinary);
  ASSERT_NE(mapper, nullptr);
  TvpFieldMapEx* map = mapper->Groups()->Items(0)->Maps()->Items(0);
  EXPECT_EQ(map->Vision(), fromBinary.FindComponent("Vision1"));
  EXPECT_EQ(Found(*mapper, "name", "ReadOnly;Combo"), "Имя");
  EXPECT_EQ(mapper->Groups()->Items(0)->DisplayName(), "Read-only lookups");
  delete fromBinary.FindComponent("Vision1");
  EXPECT_EQ(map->Vision(), nullptr);
}

TEST_F(MapperStreaming, BadFormsRaiseAndLeaveNothingHalfLoaded) {
  TMapForm form(nullptr);
  Build(form);
  const String text = ComponentToText(&form);
  const auto binary = ComponentToBinary(&form);

  String missing = text;
  missing.replace(missing.find("Vision = Vision2"), 16, "Vision = Vision9");
  TMapForm target(nullptr);
  EXPECT_THROW(TextToComponent(missing, &target), EReadError);
  EXPECT_EQ(target.ComponentCount(), 0);

  EXPECT_THROW(TextToComponent(text.substr(0, text.size() / 2), &target), EParserError);
  EXPECT_EQ(target.ComponentCount(), 0);
  String wrongKind = text;
  wrongKind.replace(wrongKind.find("Groups = <"), 10, "Groups = 5 <");
  EXPECT_ANY_THROW(TextToComponent(wrongKind, &target));
  EXPECT_EQ(target.ComponentCount(), 0);

  for (const std::size_t cut : {binary.size() / 3, binary.size() / 2, binary.size() - 2}) {
    EXPECT_THROW(BinaryToComponent({binary.data(), cut}, &target), EReadError) << cut;
    EXPECT_EQ(target.ComponentCount(), 0);
  }
}

}  // namespace
}  // namespace zvtest
