// Finding a map: group order, conditions against attribute words, names ignoring case in any
// script, and the index that keeps up with renames, moves and deletions.
#include "MapperTestKit.h"

#include "platform/rtl/StringUtils.h"
#include "runtime/vision/FieldList.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

struct TLookupCase {
  const char* Name;
  std::vector<TGroupDesc> Groups;
  const char* Field;
  const char* Attrs;
  const char* Expected;  // caption of the map found, "" for none
};

void PrintTo(const TLookupCase& c, std::ostream* os) { *os << c.Name; }

const std::vector<TGroupDesc> Example = {{"Lookup,Combo;ReadOnly", {{"NAME", "first"}}}, {"", {{"NAME", "second"}}}};

const TLookupCase LookupCases[] = {
    {"FirstApplyingGroupWins", {{"", {{"NAME", "first"}}}, {"", {{"NAME", "second"}}}}, "NAME", "", "first"},
    {"FailingGroupDefersToTheNext", {{"ReadOnly", {{"NAME", "first"}}}, {"", {{"NAME", "second"}}}}, "NAME", "Combo", "second"},
    {"ApplyingGroupWithoutTheMapGoesOn", {{"", {{"CITY", "city"}}}, {"", {{"NAME", "second"}}}}, "NAME", "", "second"},
    {"EmptyGroupGoesOn", {{"", {}}, {"", {{"NAME", "second"}}}}, "NAME", "", "second"},
    {"ExampleAppliesWithBothWords", Example, "NAME", "Combo;ReadOnly", "first"},
    {"ExampleAppliesWithTheOtherTerm", Example, "NAME", "ReadOnly;Lookup", "first"},
    {"ExampleFailsWithoutReadOnly", Example, "NAME", "Combo", "second"},
    {"ExampleFailsWithOnlyReadOnly", Example, "NAME", "ReadOnly", "second"},
    {"ExampleFailsWithNoWords", Example, "NAME", "", "second"},
    {"NoGroupFindsNothing", {}, "NAME", "", ""},
    {"UnknownFieldFindsNothing", Example, "AGE", "Combo;ReadOnly", ""},
    {"NoApplyingGroupFindsNothing", {{"ReadOnly", {{"NAME", "first"}}}}, "NAME", "Combo", ""},
    {"FieldCaseIgnored", {{"", {{"Name", "first"}}}}, "nAME", "", "first"},
    {"ConditionCaseIgnored", {{"readonly;COMBO", {{"NAME", "first"}}}}, "NAME", "ReadOnly;combo", "first"},
    {"FieldUnicodeCase", {{"", {{"Имя", "first"}}}}, "ИМЯ", "", "first"},
    {"FieldFullFolding", {{"", {{"Straße", "first"}}}}, "STRASSE", "", "first"},
    {"FieldAccentsCount", {{"", {{"ete", "first"}}}}, "été", "", ""},
    {"FieldAccentedCase", {{"", {{"Été", "first"}}}}, "éTÉ", "", "first"},
    {"ConditionUnicodeCase", {{"Größe,Ширина", {{"NAME", "first"}}}}, "NAME", "ширина", "first"},
    {"ConditionFullFolding", {{"Größe", {{"NAME", "first"}}}}, "NAME", "GRÖSSE", "first"},
    {"TermIsAWholeWordNotAPart", {{"Read", {{"NAME", "first"}}}}, "NAME", "ReadOnly", ""},
    {"TermsAreNotTrimmed", {{"Combo, ReadOnly", {{"NAME", "first"}}}}, "NAME", "ReadOnly", ""},
    {"UntrimmedTermMatchesItsOwnSpelling", {{"Combo, ReadOnly", {{"NAME", "first"}}}}, "NAME", " ReadOnly", "first"},
    {"TrailingEmptyClauseNeverHolds", {{"ReadOnly;", {{"NAME", "first"}}}}, "NAME", "ReadOnly", ""},
    {"LeadingEmptyClauseNeverHolds", {{";ReadOnly", {{"NAME", "first"}}}}, "NAME", "ReadOnly;", ""},
    {"OnlySeparatorsNeverHold", {{";;", {{"NAME", "first"}}}}, "NAME", ";;", ""},
    {"EmptyTermsAloneNeverHold", {{",", {{"NAME", "first"}}}}, "NAME", ";", ""},
    {"EmptyTermBesideAMatchingOne", {{",ReadOnly,", {{"NAME", "first"}}}}, "NAME", "ReadOnly", "first"},
    {"EmptyTermBesideAFailingOne", {{"ReadOnly,", {{"NAME", "first"}}}}, "NAME", "", ""},
    {"EmptyWordsInAttrsAreSkipped", {{"Combo", {{"NAME", "first"}}}}, "NAME", ";ReadOnly;;Combo;", "first"},
    {"EmptyFieldNameMatchesOnlyAnEmptyName", {{"", {{"NAME", "first"}, {"", "blank"}}}}, "", "", "blank"},
    {"FirstOfTwoEqualNamesWins", {{"", {{"name", "first"}, {"NAME", "second"}}}}, "Name", "", "first"},
};

class MapperLookup : public testing::TestWithParam<TLookupCase> {};

TEST_P(MapperLookup, FindsTheExpectedMap) {
  const TLookupCase& c = GetParam();
  TQuickFieldMapper mapper(nullptr);
  AddGroups(mapper, c.Groups);
  EXPECT_EQ(Found(mapper, c.Field, c.Attrs), c.Expected);
  // Each group's index agrees with a plain walk comparing names as the datasets do.
  for (int g = 0; g < mapper.Groups()->Count(); ++g) {
    TvpFieldMaps* maps = mapper.Groups()->Items(g)->Maps();
    TvpFieldMap* walked = nullptr;
    for (int i = 0; i < maps->Count() && !walked; ++i)
      if (AnsiSameText(maps->Items(i)->FieldName(), c.Field)) walked = maps->Items(i);
    EXPECT_EQ(maps->FindMap(c.Field), walked) << "group " << g;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, MapperLookup, testing::ValuesIn(LookupCases),
                         [](const testing::TestParamInfo<TLookupCase>& info) { return std::string(info.param.Name); });

TEST(MapperLookupIndex, FollowsRenamesMovesAdditionsAndDeletions) {
  TQuickFieldMapper mapper(nullptr);
  AddGroups(mapper, {{"", {{"A", "a"}, {"B", "b"}, {"C", "c"}}}});
  TvpFieldMaps* maps = mapper.Groups()->Items(0)->Maps();
  ASSERT_EQ(Found(mapper, "b", ""), "b");

  maps->Items(1)->SetFieldName("Z");
  EXPECT_EQ(Found(mapper, "b", ""), "");
  EXPECT_EQ(Found(mapper, "z", ""), "b");

  maps->Items(2)->SetFieldName("z");  // a second map of the same name, later in order
  EXPECT_EQ(Found(mapper, "Z", ""), "b");
  maps->Items(2)->SetIndex(0);  // now first
  EXPECT_EQ(Found(mapper, "Z", ""), "c");

  maps->Delete(0);
  EXPECT_EQ(Found(mapper, "Z", ""), "b");

  maps->BeginUpdate();  // renames inside a bracket are seen before it closes
  maps->Items(1)->SetFieldName("Y");
  EXPECT_EQ(Found(mapper, "Z", ""), "");
  EXPECT_EQ(Found(mapper, "y", ""), "b");
  TvpFieldMapEx* added = maps->Add();
  added->SetFieldName("Y");
  maps->EndUpdate();
  EXPECT_EQ(Found(mapper, "Y", ""), "b");
  added->SetIndex(0);
  added->SetCaption("added");
  EXPECT_EQ(Found(mapper, "Y", ""), "added");

  TvpFieldMapEx copy(nullptr);
  copy.SetFieldName("W");
  maps->Items(0)->Assign(&copy);  // a name taken over by Assign
  EXPECT_EQ(Found(mapper, "w", ""), "");  // Assign copies the caption too: empty
  EXPECT_EQ(mapper.FindMap2("w", ""), maps->Items(0));
}

TEST(MapperLookupIndex, FindMapOfAFieldListUsesItsNamesAndAttrs) {
  TQuickFieldMapper mapper(nullptr);
  AddGroups(mapper, Example);
  TgpFieldList list(nullptr, fhtEdit, nullptr);
  list.SetFieldNames("name");
  list.SetAttrs("Lookup;ReadOnly");
  ASSERT_NE(mapper.FindMap(&list), nullptr);
  EXPECT_EQ(mapper.FindMap(&list)->Caption(), "first");
  list.SetAttrs("Lookup");
  EXPECT_EQ(mapper.FindMap(&list)->Caption(), "second");
  list.SetFieldNames("CITY");
  EXPECT_EQ(mapper.FindMap(&list), nullptr);
  EXPECT_EQ(mapper.FindMap(nullptr), nullptr);
}

}  // namespace
}  // namespace zvtest
