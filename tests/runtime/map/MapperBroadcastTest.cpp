// Telling the attached controls: one message per control and change, in attachment order, none
// for changes that change nothing; and the lifetimes of visions, controls and the mapper itself.
#include "MapperTestKit.h"

#include "platform/controls/Application.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace zvtest {
namespace {

// A form: two visions, a mapper with two groups using them, two probes attached in order A, B.
class MapperBroadcast : public testing::Test {
public:
  MapperBroadcast() {
    v1 = new TvpFieldVision(&form);
    v2 = new TvpFieldVision(&form);
    mapper = new TQuickFieldMapper(&form);
    AddGroups(*mapper, {{"ReadOnly", {{"NAME", "Name", v1}, {"CITY", "City", v2}}, "read-only"},
                        {"", {{"NAME", "Full name", v1}, {"AGE", "Age"}}}});
    a = new TMapProbe(&form, "A", &log);
    b = new TMapProbe(&form, "B", &log);
    a->SetMapper(mapper);
    b->SetMapper(mapper);
  }
  TvpFieldMaps* Maps(int group) { return mapper->Groups()->Items(group)->Maps(); }
  TvpFieldMapEx* Map(int group, int index) { return Maps(group)->Items(index); }

  TComponent form{nullptr};
  TvpFieldVision* v1;
  TvpFieldVision* v2;
  TQuickFieldMapper* mapper;
  TMapProbe* a;
  TMapProbe* b;
  Log log;
};

struct TChangeCase {
  const char* Name;
  std::function<void(MapperBroadcast&)> Change;
  bool Told;  // every control once, in order, or none
};

void PrintTo(const TChangeCase& c, std::ostream* os) { *os << c.Name; }

class MapperBroadcastOfChange : public MapperBroadcast, public testing::WithParamInterface<TChangeCase> {};

const TChangeCase ChangeCases[] = {
    {"FieldName", [](auto& f) { f.Map(0, 0)->SetFieldName("FULLNAME"); }, true},
    {"SameFieldName", [](auto& f) { f.Map(0, 0)->SetFieldName("NAME"); }, false},
    {"FieldNameCaseOnly", [](auto& f) { f.Map(0, 0)->SetFieldName("Name"); }, true},
    {"Caption", [](auto& f) { f.Map(0, 0)->SetCaption("Имя"); }, true},
    {"SameCaption", [](auto& f) { f.Map(0, 0)->SetCaption("Name"); }, false},
    {"Vision", [](auto& f) { f.Map(0, 0)->SetVision(f.v2); }, true},
    {"VisionToNil", [](auto& f) { f.Map(0, 0)->SetVision(nullptr); }, true},
    {"SameVision", [](auto& f) { f.Map(0, 0)->SetVision(f.v1); }, false},
    {"AssignMap", [](auto& f) { f.Map(0, 0)->Assign(f.Map(1, 1)); }, true},
    {"AddMap", [](auto& f) { f.Maps(1)->Add(); }, true},
    {"DeleteMap", [](auto& f) { f.Maps(1)->Delete(0); }, true},
    {"MoveMap", [](auto& f) { f.Map(0, 1)->SetIndex(0); }, true},
    {"ThreeChangesInABracketOfMaps",
     [](auto& f) {
       f.Maps(0)->BeginUpdate();
       f.Map(0, 0)->SetCaption("x");
       f.Map(0, 1)->SetFieldName("y");
       f.Maps(0)->Add();
       f.Maps(0)->EndUpdate();
     },
     true},
    {"AssignMaps", [](auto& f) { f.mapper->Groups()->Items(0)->SetMaps(f.Maps(1)); }, true},
    {"Conditions", [](auto& f) { f.mapper->Groups()->Items(0)->SetMapConditions("Combo"); }, true},
    {"SameConditions", [](auto& f) { f.mapper->Groups()->Items(0)->SetMapConditions("ReadOnly"); }, false},
    {"Description", [](auto& f) { f.mapper->Groups()->Items(0)->SetDescription("other"); }, false},
    {"AddGroup", [](auto& f) { f.mapper->Groups()->Add(); }, true},
    {"DeleteGroup", [](auto& f) { f.mapper->Groups()->Delete(0); }, true},
    {"MoveGroup", [](auto& f) { f.mapper->Groups()->Items(1)->SetIndex(0); }, true},
    {"AssignGroup", [](auto& f) { f.mapper->Groups()->Items(1)->Assign(f.mapper->Groups()->Items(0)); }, true},
    {"ChangesAcrossGroupsInABracketOfGroups",
     [](auto& f) {
       f.mapper->Groups()->BeginUpdate();
       f.Map(0, 0)->SetCaption("x");
       f.Map(1, 0)->SetCaption("y");
       f.mapper->Groups()->Items(1)->SetMapConditions("Combo");
       f.mapper->Groups()->Add();
       f.mapper->Groups()->EndUpdate();
     },
     true},
    {"AssignGroups",
     [](auto& f) {
       TgpFieldMapGroups other;
       other.Add()->Maps()->Add()->SetFieldName("X");
       f.mapper->SetGroups(&other);
     },
     true},
    {"AssignGroupsFromThemselves", [](auto& f) { f.mapper->SetGroups(f.mapper->Groups()); }, false},
    {"AssignMapsFromThemselves", [](auto& f) { f.mapper->Groups()->Items(0)->SetMaps(f.Maps(0)); }, false},
    {"DestroyUnusedVision", [](auto& f) { delete new TvpFieldVision(&f.form); }, false},
    {"DestroyUsedVision", [](auto& f) { delete f.v1; }, true},
};

TEST_P(MapperBroadcastOfChange, TellsEveryControlOnceOrNone) {
  GetParam().Change(*this);
  EXPECT_EQ(log, (GetParam().Told ? Log{"A", "B"} : Log{}));
}

INSTANTIATE_TEST_SUITE_P(Changes, MapperBroadcastOfChange, testing::ValuesIn(ChangeCases),
                         [](const testing::TestParamInfo<TChangeCase>& info) { return std::string(info.param.Name); });

TEST_F(MapperBroadcast, AHandlerSeesTheNewState) {
  std::vector<std::string> seen;
  a->OnRemap = [&](TMapProbe&) {
    seen.push_back(Found(*mapper, "FULLNAME", "ReadOnly") + "|" + Found(*mapper, "NAME", "ReadOnly"));
  };
  Map(0, 0)->SetFieldName("FULLNAME");
  Map(0, 0)->SetCaption("Full");
  EXPECT_EQ(seen, (std::vector<std::string>{"Name|Full name", "Full|Full name"}));
}

TEST_F(MapperBroadcast, DestroyingAUsedVisionClearsEveryMapBeforeTellingOnce) {
  std::vector<bool> cleared;
  a->OnRemap = [&](TMapProbe&) {
    cleared.push_back(Map(0, 0)->Vision() == nullptr && Map(1, 0)->Vision() == nullptr);
  };
  delete v1;
  EXPECT_EQ(log, (Log{"A", "B"}));
  EXPECT_EQ(cleared, std::vector<bool>{true});
  EXPECT_EQ(Map(0, 1)->Vision(), v2);
  // Nothing still points at the freed vision: the next change is told normally.
  Map(0, 1)->SetVision(nullptr);
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(MapperBroadcast, VisionsOfMapsMadeBeforeJoiningAreWatched) {
  // Maps of a group built outside any mapper, then the group moved in; and groups assigned.
  TgpFieldMapGroups loose;
  TvpFieldMapGroup* group = loose.Add();
  TvpFieldMapEx* map = group->Maps()->Add();
  auto* v3 = new TvpFieldVision(nullptr);
  map->SetFieldName("ZIP");
  map->SetVision(v3);
  mapper->SetGroups(&loose);
  group->SetCollection(mapper->Groups());
  log.clear();
  delete v3;
  EXPECT_EQ(log, (Log{"A", "B"}));
  EXPECT_EQ(mapper->Groups()->Items(0)->Maps()->Items(0)->Vision(), nullptr);
  EXPECT_EQ(mapper->Groups()->Items(1)->Maps()->Items(0)->Vision(), nullptr);
}

TEST_F(MapperBroadcast, AControlIsListedOnceAndToldUntilDetached) {
  mapper->AddControl(a);
  mapper->AddControl(nullptr);
  EXPECT_EQ(mapper->Controls()->Count(), 2);
  Map(0, 0)->SetCaption("x");
  a->SetMapper(nullptr);
  mapper->RemoveControl(a);  // no longer attached: nothing
  Map(0, 0)->SetCaption("y");
  EXPECT_EQ(log, (Log{"A", "B", "B"}));
}

TEST_F(MapperBroadcast, ControlsDetachedOrDestroyedByAHandlerAreSkipped) {
  auto* c = new TMapProbe(&form, "C", &log);
  c->SetMapper(mapper);
  a->OnRemap = [&](TMapProbe&) {
    b->SetMapper(nullptr);
    delete c;
  };
  Map(0, 0)->SetCaption("x");
  EXPECT_EQ(log, (Log{"A"}));
  EXPECT_EQ(mapper->Controls()->Count(), 1);
}

TEST_F(MapperBroadcast, AHandlerThatDestroysTheMapperEndsTheRound) {
  a->OnRemap = [&](TMapProbe&) { delete mapper; };
  Map(0, 0)->SetCaption("x");
  EXPECT_EQ(log, (Log{"A"}));
  EXPECT_EQ(a->Mapper(), nullptr);
  EXPECT_EQ(b->Mapper(), nullptr);
}

TEST_F(MapperBroadcast, AHandlersExceptionEndsTheRoundAndLeavesTheMapperWhole) {
  a->OnRemap = [&](TMapProbe&) { throw Exception("refused"); };
  EXPECT_THROW(Map(0, 0)->SetCaption("x"), Exception);
  EXPECT_EQ(log, (Log{"A"}));
  EXPECT_EQ(Map(0, 0)->Caption(), "x");
  // Out of a bracket's end: the bracket is closed all the same.
  mapper->Groups()->BeginUpdate();
  Map(1, 0)->SetCaption("z");
  EXPECT_THROW(mapper->Groups()->EndUpdate(), Exception);
  EXPECT_EQ(mapper->Groups()->UpdateCount(), 0);
  // Out of a vision's destruction, which nothing may leave: every map is cleared, the brackets
  // are closed and the application is told.
  std::vector<std::string> reported;
  Application->OnException = [&](TObject*, const Exception& e) { reported.push_back(e.Message()); };
  delete v1;
  Application->OnException = nullptr;
  EXPECT_EQ(reported, std::vector<std::string>{"refused"});
  EXPECT_EQ(Map(0, 0)->Vision(), nullptr);
  EXPECT_EQ(Map(1, 0)->Vision(), nullptr);
  EXPECT_EQ(mapper->Groups()->UpdateCount(), 0);
  EXPECT_EQ(Maps(0)->UpdateCount(), 0);
  a->OnRemap = nullptr;
  log.clear();
  Map(0, 0)->SetCaption("y");
  EXPECT_EQ(log, (Log{"A", "B"}));
}

TEST_F(MapperBroadcast, AControlDestroyedWhileAttachedLeavesTheList) {
  delete a;
  EXPECT_EQ(mapper->Controls()->Count(), 1);
  // Not through delete, and without announcing itself first.
  {
    struct TQuiet : TControl {
      using TControl::TControl;
    } quiet(nullptr);
    mapper->AddControl(&quiet);
    EXPECT_EQ(mapper->Controls()->Count(), 2);
  }
  EXPECT_EQ(mapper->Controls()->Count(), 1);
  Map(0, 0)->SetCaption("x");
  EXPECT_EQ(log, (Log{"B"}));
}

TEST_F(MapperBroadcast, WhileTheMapperGoesItNeitherAttachesNorFinds) {
  std::vector<std::string> seen;
  a->OnMapperGoing = [&](TMapProbe& probe, TvpCustomFieldMapper& going) {
    going.AddControl(&probe);
    going.RemoveControl(b);
    seen.push_back(going.FindMap2("NAME", "") ? "found" : "nil");
  };
  delete mapper;
  EXPECT_EQ(seen, std::vector<std::string>{"nil"});
  EXPECT_EQ(a->Mapper(), nullptr);
  EXPECT_EQ(b->Mapper(), nullptr);
  EXPECT_TRUE(log.empty());
  delete v1;  // the visions no longer reach the mapper
}

TEST(MapperLifetime, AMapperOnTheStackGoesWithControlsAttachedAndVisionsWatched) {
  Log log;
  TComponent form(nullptr);
  auto* vision = new TvpFieldVision(&form);
  auto* probe = new TMapProbe(&form, "A", &log);
  {
    TQuickFieldMapper mapper(nullptr);
    AddGroups(mapper, {{"", {{"NAME", "Name", vision}}}});
    probe->SetMapper(&mapper);
  }
  EXPECT_EQ(probe->Mapper(), nullptr);
  delete vision;
  EXPECT_TRUE(log.empty());
}

}  // namespace
}  // namespace zvtest
