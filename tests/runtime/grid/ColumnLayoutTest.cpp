// Columns in groups and levels: the group model, moves between groups, widths to the pixel,
// fitting, scroll stops, mapping, and layouts that travel through streams.
#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/ScaleableItems.h"
#include "runtime/map/FieldMap.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/FieldVision.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace zv;
using griddetail::MulDivRound;
using griddetail::TScaleableItems;

// One column of a layout written as the form stores it: field, width, level, index.
struct Spec {
  const char* field;
  int width;
  int level = 0;
  int index = 0;
  bool visible = true;
  TgpColumnFixed fixed = cfNone;
};

// A window-less grid whose client width is given, with its columns read as stored.
class TGrid {
public:
  explicit TGrid(int available = 1000) : grid(nullptr) { Columns().SetAvailableWidth(available); }
  TgpColumns& Columns() { return *grid.Columns(); }
  TgpColumn& operator[](int i) { return *Columns().Items(i); }

  void Load(const std::vector<Spec>& specs) {
    Columns().BeginUpdate();
    for (const Spec& s : specs) {
      TgpColumn* c = Columns().Add();
      c->SetFieldName(s.field);
      c->SetWidth(s.width);
      c->SetLayoutLevel(s.level);
      c->SetLayoutIndex(s.index);
      c->SetVisible(s.visible);
      c->SetFixed(s.fixed);
    }
    Columns().EndUpdate();
  }
  std::vector<int> Widths() {
    std::vector<int> result;
    for (int i = 0; i < Columns().Count(); ++i) result.push_back((*this)[i].Width());
    return result;
  }
  std::vector<int> GroupWidths() {
    std::vector<int> result;
    for (TgpGroupInfo* g : Columns().Groups()) result.push_back(g->ContentWidth);
    return result;
  }
  String Order() {
    String s;
    for (int i = 0; i < Columns().Count(); ++i) {
      TgpColumn& c = (*this)[i];
      s += c.FieldName() + "(" + std::to_string(c.LayoutLevel()) + "," + std::to_string(c.LayoutIndex()) + ")";
    }
    return s;
  }

  TDBDivoRud grid;
};

// ---- Redistribution --------------------------------------------------------------------------

TEST(ColumnWidthsScaling, MultiplyThenDivideRoundsHalvesAwayFromZero) {
  struct Case { std::int64_t a, b, c, expected; };
  const Case cases[] = {{1, 1, 2, 1}, {-1, 1, 2, -1}, {1, 1, 3, 0}, {2, 1, 3, 1}, {-5, 3, 2, -8},
                        {7, 0, 3, 0},  {3, 5, 0, 0},  {0x0FFFFFFF, 0x0FFFFFFF, 0x0FFFFFFF, 0x0FFFFFFF}};
  for (const Case& c : cases) EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(ColumnWidthsScaling, SharesInProportionWithinBounds) {
  struct Case {
    std::vector<int> values;
    std::vector<bool> fixed;
    int target;
    int anchor;
    bool giveBack;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {{100, 100, 50}, {false, false, false}, 500, -1, false, {200, 200, 100}},
      {{90, 90, 90}, {false, false, false}, 150, 1, false, {90, 150, 30}},
      {{90, 90, 90}, {false, false, false}, 300, 1, false, {2, 300, 2}},
      {{90, 90, 90}, {false, false, false}, 300, 1, true, {2, 266, 2}},
      {{90, 90, 90}, {false, true, false}, 100, -1, false, {5, 90, 5}},
      {{10, 10, 10}, {false, false, false}, 31, -1, false, {11, 10, 10}},
      {{10, 10, 10}, {false, false, false}, 1, -1, false, {2, 2, 2}},
      // Rounding takes one pixel too many from the last item, which stops at its minimum.
      {{80, 80, 80}, {false, false, false}, 7, -1, false, {3, 2, 2}},
      {{50, 50}, {false, true}, 20, 0, false, {20, 50}},
  };
  for (const Case& c : cases) {
    TScaleableItems items;
    for (std::size_t i = 0; i < c.values.size(); ++i) items.Add(c.values[i], c.fixed[i], 2);
    items.Scale(c.target, c.anchor, c.giveBack);
    std::vector<int> got;
    for (int i = 0; i < items.Count(); ++i) got.push_back(items[i].Value);
    EXPECT_EQ(got, c.expected) << "target " << c.target << " anchor " << c.anchor;
  }
}

// ---- Group model -----------------------------------------------------------------------------

TEST(ColumnGroupModel, ANewColumnIsAVisibleLeadingUnfixedColumnWithBothImports) {
  TGrid g;
  TgpColumn* c = g.Columns().Add();
  EXPECT_EQ(c->Width(), 45);
  EXPECT_TRUE(c->Visible());
  EXPECT_TRUE(c->IsLeading());
  EXPECT_EQ(c->Fixed(), cfNone);
  EXPECT_EQ(c->OptionsMapping(), (TgpColumnMappingOptions{cioImportCaption, cioImportDomain}));
  EXPECT_EQ(c->FooterStates(), AllFooterStates);
  EXPECT_EQ(c->FooterState(), fsNone);
  EXPECT_EQ(c->TitleImageIndex(), -1);
  EXPECT_EQ(c->Color(), clNone);
  EXPECT_EQ(c->SortID(), -1);
  EXPECT_EQ(g.Columns().GroupCount(), 1);
}

TEST(ColumnGroupModel, ActualLevelsIndexesAndGroupRecordsSkipHiddenColumns) {
  TGrid g;
  // Group 0: A on level 0, hidden H and B on level 1, C beside B; group 1: D; group 2 hidden.
  g.Load({{"A", 60}, {"H", 30, 1, 0, false}, {"B", 40, 1, 1}, {"C", 20, 1, 2}, {"D", 50}, {"E", 70, 0, 0, false}});
  struct Expect { int level, index, offset; bool endsLine, lastLevel; };
  const Expect expect[] = {{0, 0, 0, true, false}, {-1, -1, -1, false, false}, {1, 0, 0, false, true},
                           {1, 1, 40, true, true}, {0, 0, 0, true, true},     {-1, -1, -1, false, false}};
  for (int i = 0; i < 6; ++i) {
    const Expect& e = expect[i];
    TgpColumn& c = g[i];
    EXPECT_EQ(c.ActualLevel(), e.level) << c.FieldName();
    EXPECT_EQ(c.ActualIndex(), e.index) << c.FieldName();
    EXPECT_EQ(c.OffsetInLevel(), e.offset) << c.FieldName();
    EXPECT_EQ(c.LowLevel().EndsLine, e.endsLine) << c.FieldName();
    EXPECT_EQ(c.LowLevel().OnLastLevel, e.lastLevel) << c.FieldName();
  }
  ASSERT_EQ(g.Columns().GroupCount(), 2);
  const TgpGroupInfo& first = *g.Columns().GetGroupInfo(0);
  const TgpGroupInfo& second = *g.Columns().GetGroupInfo(1);
  EXPECT_EQ(first.Number, 0);
  EXPECT_EQ(first.Ordinal, 0);
  EXPECT_EQ(first.FirstIndex, 0);
  EXPECT_EQ(first.LastIndex, 3);
  EXPECT_EQ(first.FirstVisible, 0);
  EXPECT_EQ(first.SecondVisible, 2);
  EXPECT_EQ(first.LastVisible, 3);
  EXPECT_EQ(first.LevelCount, 2);
  EXPECT_FALSE(first.Single);
  EXPECT_EQ(first.ContentWidth, 60);  // the wider level; B and C were stretched to it
  EXPECT_EQ(first.MinWidth, 4);
  EXPECT_EQ(second.Ordinal, 1);
  EXPECT_EQ(second.Left, 60);
  EXPECT_TRUE(second.Single);
  EXPECT_EQ(g[5].Group(), nullptr);
  EXPECT_EQ(g[2].LowLevel().PrevVisible, &g[0]);
  EXPECT_EQ(g[2].LowLevel().NextVisible, &g[3]);
  EXPECT_EQ(g.Columns().GetLayoutLevelR(&g[1]), 1);
  EXPECT_TRUE(g.Columns().AreSiblings(0, 3));
  EXPECT_FALSE(g.Columns().AreSiblings(3, 4));
  EXPECT_EQ(g.Columns().GetFieldNames(), "A;B;C;D");
  EXPECT_EQ(g.Columns().GetVisibleItem(2), &g[3]);
  EXPECT_EQ(g.Columns().GetVisibleItem(4), nullptr);
}

TEST(ColumnGroupModel, HidingAWholeGroupDropsItsRecordAndShowingBringsItBack) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 60}, {"C", 70}});
  g[1].SetVisible(false);
  ASSERT_EQ(g.Columns().GroupCount(), 2);
  EXPECT_EQ(g.Columns().GetGroupInfo(1)->Ordinal, 2);
  EXPECT_EQ(g.Columns().GetGroupInfo(1)->Left, 50);
  g[1].SetVisible(true);
  ASSERT_EQ(g.Columns().GroupCount(), 3);
  EXPECT_EQ(g.GroupWidths(), (std::vector<int>{50, 60, 70}));
  g.Columns().HideColumns();
  EXPECT_EQ(g.Columns().GroupCount(), 0);
  EXPECT_EQ(g.grid.CurrentColumn(), nullptr);
  g.Columns().ShowColumns();
  EXPECT_EQ(g.Columns().GroupCount(), 3);
}

// ---- Moves -----------------------------------------------------------------------------------

TEST(ColumnMoves, ALevelSetOnALeaderStacksItUnderTheGroupInFront) {
  TGrid g;
  g.Load({{"A", 80}, {"B", 50}});
  g[1].SetLayoutLevel(1);
  EXPECT_EQ(g.Order(), "A(0,0)B(1,0)");
  ASSERT_EQ(g.Columns().GroupCount(), 1);
  EXPECT_EQ(g.GroupWidths(), (std::vector<int>{80}));
  EXPECT_EQ(g.Widths(), (std::vector<int>{80, 80}));
}

TEST(ColumnMoves, RegroupPlacesColumnsAndKeepsGroupWidths) {
  struct Case {
    const char* name;
    int column, target, index, level;
    const char* order;
    std::vector<int> groups;
  };
  // Start: [A B] on one level (50 50), [C], [D over E].
  const Case cases[] = {
      {"equal position goes before", 2, 0, 1, 0, "A(0,0)C(0,1)B(0,2)D(0,0)E(1,0)", {100, 60}},
      {"new level in front", 2, 0, -1, 0, "C(0,0)A(1,0)B(1,1)D(0,0)E(1,0)", {100, 60}},
      {"new last level", 2, 0, -1, 5, "A(0,0)B(0,1)C(1,0)D(0,0)E(1,0)", {100, 60}},
      {"into another group", 0, 3, 1, 1, "B(0,0)C(0,0)D(0,0)E(1,0)A(1,1)", {100, 60, 60}},
      {"inside its own level", 1, 0, 0, 0, "B(0,0)A(0,1)C(0,0)D(0,0)E(1,0)", {100, 60, 60}},
  };
  for (const Case& c : cases) {
    TGrid g;
    g.Load({{"A", 50}, {"B", 50, 0, 1}, {"C", 60}, {"D", 60}, {"E", 60, 1, 0}});
    g.Columns().Regroup(&g[c.column], &g[c.target], c.index, c.level);
    EXPECT_EQ(g.Order(), c.order) << c.name;
    EXPECT_EQ(g.GroupWidths(), c.groups) << c.name;
  }
}

TEST(ColumnMoves, AnInvalidLayoutPositionRaisesAndChangesNothing) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 50, 1, 0}});
  const String before = g.Order();
  try {
    g.Columns().Regroup(&g[1], &g[0], 0, -1);
    FAIL() << "no error";
  } catch (const EDBDivoRud& e) {
    EXPECT_EQ(String(e.Message()), "Invalid layout position (-1,0)");
  }
  EXPECT_THROW(g.Columns().Regroup(&g[1], &g[0], -2, 0), EDBDivoRud);
  EXPECT_THROW(g[1].SetLayoutLevel(-1), EDBDivoRud);
  EXPECT_EQ(g.Order(), before);
}

TEST(ColumnMoves, OutgroupMoveGroupAndSetIndexMoveWholeGroups) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 50, 1, 0}, {"C", 60}, {"D", 70}});
  g.Columns().Outgroup(&g[0], nullptr);
  EXPECT_EQ(g.Order(), "B(0,0)C(0,0)D(0,0)A(0,0)");
  EXPECT_EQ(g.Widths(), (std::vector<int>{50, 60, 70, 50}));

  TGrid h;
  h.Load({{"A", 50}, {"B", 50, 1, 0}, {"C", 60}, {"D", 70}});
  h[1].SetIndex(3);  // B's whole group goes after D's
  EXPECT_EQ(h.Order(), "C(0,0)D(0,0)A(0,0)B(1,0)");
  h[3].SetIndex(0);
  EXPECT_EQ(h.Order(), "A(0,0)B(1,0)C(0,0)D(0,0)");
  h[0].SetIndex(1);  // inside its own group: nothing
  EXPECT_EQ(h.Order(), "A(0,0)B(1,0)C(0,0)D(0,0)");
  h.Columns().MoveGroup(&h[2], &h[2]);
  EXPECT_EQ(h.Order(), "A(0,0)B(1,0)C(0,0)D(0,0)");
  EXPECT_THROW(h[0].SetIndex(9), EListError);
}

TEST(ColumnMoves, InsertOpensAGroupOrJoinsOne) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 60}});
  g.Columns().Insert(&g[1], -1, 0, &g[0]);
  EXPECT_EQ(g.Order(), "A(0,0)A(0,0)B(0,0)");
  g.Columns().Insert(&g[0], 1, 0, nullptr);
  EXPECT_EQ(g.Order(), "A(0,0)(1,0)A(0,0)B(0,0)");
  EXPECT_EQ(g.Columns().GroupCount(), 3);
  // Index -1 opens a new level, as regrouping does.
  g.Columns().Insert(&g[3], 0, -1, &g[3]);
  EXPECT_EQ(g.Order(), "A(0,0)(1,0)A(0,0)B(0,0)B(1,0)");
}

TEST(ColumnMoves, FixedColumnsAndGroupsGoInFront) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 50}, {"C", 40, 1, 0}});
  g[1].SetFixed(cfLeft);  // B's group goes in front; C, not fixed, leaves it
  EXPECT_EQ(g.Order(), "B(0,0)C(0,0)A(0,0)");
  EXPECT_EQ(g.Columns().FixedAreaWidth(), 50);
  g[2].SetFixed(cfLeft);  // a fixed group behind a scrollable one moves in front of it
  EXPECT_EQ(g.Order(), "B(0,0)A(0,0)C(0,0)");
  EXPECT_EQ(g.Columns().LastFixedGroup(), 1);
  EXPECT_EQ(g.Columns().FirstScrollGroup(), 2);
  EXPECT_EQ(g.Columns().FixedAreaWidth(), 100);
}

TEST(ColumnMoves, ChangingFixedWidthOrStandaloneTakesTheColumnOutOfItsGroup) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 50, 0, 1}, {"C", 60}});
  g[1].SetOptionsBehavior({cboStandalone});
  EXPECT_EQ(g.Order(), "B(0,0)A(0,0)C(0,0)");
  g[2].SetOptionsBehavior({cboFixedWidth});  // alone already: stays, the groups keep their widths
  EXPECT_EQ(g.Order(), "B(0,0)A(0,0)C(0,0)");
  EXPECT_EQ(g.GroupWidths(), (std::vector<int>{50, 50, 60}));
  EXPECT_EQ(g.Columns().GetGroupInfo(2)->Left, 100);
}

TEST(ColumnMoves, StoredLayoutsThatBreakTheModelAreRepaired) {
  struct Case {
    const char* name;
    std::vector<Spec> specs;
    const char* order;
  };
  const Case cases[] = {
      {"first column not leading", {{"A", 50, 1, 3}, {"B", 50, 1, 1}}, "B(0,0)A(0,1)"},
      {"out of order in a group", {{"A", 50}, {"B", 50, 2, 0}, {"C", 50, 1, 0}}, "A(0,0)C(1,0)B(2,0)"},
      {"negative positions", {{"A", 50}, {"B", 50, -3, -1}}, "B(0,0)A(1,0)"},
      {"gaps in numbering", {{"A", 50}, {"B", 50, 4, 7}, {"C", 50, 4, 9}}, "A(0,0)B(1,0)C(1,1)"},
      {"fixed group after scrollable", {{"A", 50}, {"B", 50, 0, 0, true, cfLeft}}, "B(0,0)A(0,0)"},
      {"a sorted member first in its group", {{"A", 50}, {"B", 50}, {"C", 50, 0, 1}, {"D", 50, -1, 0}, {"E", 50}},
       "A(0,0)D(0,0)B(1,0)C(1,1)E(0,0)"},
  };
  for (const Case& c : cases) {
    TGrid g;
    g.Load(c.specs);
    EXPECT_EQ(g.Order(), c.order) << c.name;
    for (TgpGroupInfo* info : g.Columns().Groups()) EXPECT_GE(info->LastIndex, info->FirstIndex) << c.name;
  }
}

TEST(ColumnMoves, DeletingAColumnKeepsItsGroupsWidth) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 70, 0, 1}, {"C", 60}});
  delete &g[1];
  EXPECT_EQ(g.Order(), "A(0,0)C(0,0)");
  EXPECT_EQ(g.Widths(), (std::vector<int>{120, 60}));
  delete &g[0];
  EXPECT_EQ(g.Order(), "C(0,0)");
}

// ---- Widths ----------------------------------------------------------------------------------

TEST(ColumnWidths, SettingAWidthOnASharedLevel) {
  struct Case {
    int width;
    std::vector<TgpColumnBehaviorOptions> options;
    std::vector<int> widths;  // the level, then the column on the level below
    int group;
  };
  const TgpColumnBehaviorOptions none;
  const TgpColumnBehaviorOptions fixedWidth{cboFixedWidth};
  const Case cases[] = {
      {150, {none, none, none}, {90, 150, 30, 270}, 270},
      {300, {none, none, none}, {2, 300, 2, 304}, 304},
      {1, {none, none, none}, {90, 2, 178, 270}, 270},
      {150, {fixedWidth, none, fixedWidth}, {90, 150, 90, 330}, 330},
      {150, {none, fixedWidth, none}, {90, 150, 30, 270}, 270},
  };
  for (const Case& c : cases) {
    TGrid g;
    g.Load({{"A", 90}, {"B", 90, 0, 1}, {"C", 90, 0, 2}, {"D", 270, 1, 0}});
    // Stored options stay where they are read; set live, a fixed-width column leaves its group.
    g.Columns().BeginUpdate();
    for (int i = 0; i < 3; ++i) g[i].SetOptionsBehavior(c.options[static_cast<std::size_t>(i)]);
    g.Columns().EndUpdate();
    g[1].SetWidth(c.width);
    EXPECT_EQ(g.Widths(), c.widths) << c.width;
    EXPECT_EQ(g.GroupWidths(), (std::vector<int>{c.group})) << c.width;
  }
}

TEST(ColumnWidths, AColumnAloneOnItsLevelSetsTheGroupWidthDownToTheMinimum) {
  TGrid g;
  g.Load({{"A", 100}, {"B", 50, 1, 0}, {"C", 50, 1, 1}});
  g[0].SetWidth(160);
  EXPECT_EQ(g.Widths(), (std::vector<int>{160, 80, 80}));
  g[0].SetWidth(1);
  EXPECT_EQ(g.Widths(), (std::vector<int>{4, 2, 2}));
}

TEST(ColumnWidths, ShowingAndHidingOnAFullLevelKeepsTheLevelWidth) {
  TGrid g;
  g.Load({{"A", 60}, {"B", 60, 0, 1}, {"C", 30, 0, 2, false}, {"D", 120, 1, 0}});
  g[2].SetVisible(true);
  EXPECT_EQ(g.Widths(), (std::vector<int>{45, 45, 30, 120}));
  g[2].SetVisible(false);
  EXPECT_EQ(g.Widths(), (std::vector<int>{60, 60, 30, 120}));
  // Neighbours at their minimum: the group widens by what they cannot give.
  TGrid h;
  h.Load({{"A", 2}, {"B", 2, 0, 1}, {"C", 30, 0, 2, false}, {"D", 4, 1, 0}});
  h[2].SetVisible(true);
  EXPECT_EQ(h.Widths(), (std::vector<int>{2, 2, 30, 34}));
  EXPECT_EQ(h.GroupWidths(), (std::vector<int>{34}));
}

TEST(ColumnWidths, AutoFitFillsTheClientWidth) {
  struct Case {
    std::vector<Spec> specs;
    std::vector<int> widths;
  };
  const Case cases[] = {
      {{{"A", 100}, {"B", 100}, {"C", 50}}, {200, 200, 100}},
      {{{"F", 50, 0, 0, true, cfLeft}, {"A", 100}, {"B", 100}}, {100, 200, 200}},
      {{{"A", 33}, {"B", 33}, {"C", 33}}, {166, 167, 167}},
  };
  for (const Case& c : cases) {
    TGrid g(500);
    g.Load(c.specs);
    g.grid.SetAutoColumnFit(true);
    EXPECT_EQ(g.Widths(), c.widths);
    EXPECT_EQ(g.Columns().TotalWidth(), 500);
  }
}

TEST(ColumnWidths, AutoFitGivesTheFixedPartWhatHeldScrollableGroupsCannotTake) {
  // The scrollable group holds its width (a fixed-width column): the fixed part takes the rest
  // of the client width, down to its minimum, and fitting again changes nothing.
  struct Case {
    int available, fixedWidth, heldWidth, fittedFixed;
  };
  const Case cases[] = {{500, 100, 200, 300}, {500, 300, 400, 100}, {300, 100, 400, 2}};
  for (const Case& c : cases) {
    TGrid g(c.available);
    g.Load({{"F", c.fixedWidth, 0, 0, true, cfLeft}, {"H", c.heldWidth}});
    g[1].SetOptionsBehavior({cboFixedWidth});
    g.grid.SetAutoColumnFit(true);
    for (int pass = 0; pass < 3; ++pass) {
      EXPECT_EQ(g.Widths(), (std::vector<int>{c.fittedFixed, c.heldWidth})) << c.available << " pass " << pass;
      g.grid.FitColumns();
    }
  }
}

TEST(ColumnWidths, AutoFitFillsTheClientWhenRoundingSqueezesGroupsToTheirMinimum) {
  // Shared in proportion, the scrollable groups each lose one rounded pixel too many and stop at
  // their minimum; the pixel left over must still go to one of them, or a layout read back
  // into another grid fits differently from the one written.
  struct Case {
    int available;
    std::vector<Spec> specs;
    std::vector<int> widths;
  };
  const Case cases[] = {
      {7, {{"A", 80}, {"B", 80}, {"C", 80}}, {3, 2, 2}},
      {1016,
       {{"F", TgpColumn::MaxWidth, 0, 0, true, cfLeft}, {"G", TgpColumn::MaxWidth, 1, 0, true, cfLeft},
        {"A", 80}, {"B", 80}, {"C", 80}},
       {1009, 1009, 3, 2, 2}},
  };
  for (const Case& c : cases) {
    TGrid g(c.available);
    g.Load(c.specs);
    g.grid.SetAutoColumnFit(true);
    EXPECT_EQ(g.Widths(), c.widths) << c.available;
    EXPECT_EQ(g.Columns().TotalWidth(), c.available);
    g.grid.FitColumns();
    EXPECT_EQ(g.Widths(), c.widths) << c.available << " fitted again";
    TGrid copy(c.available);
    copy.grid.SetAutoColumnFit(true);
    StrToObject(copy.Columns(), ObjectToStr(g.Columns(), "layout", false), false);
    EXPECT_EQ(copy.Widths(), c.widths) << c.available << " read back";
  }
}

TEST(ColumnWidths, WidthsStayWithinBoundsWhateverIsStored) {
  TGrid g;
  g.Load({{"A", INT_MAX}, {"B", INT_MAX}, {"C", -5}, {"D", 100}, {"E", TgpColumn::MaxWidth, 1, 0},
          {"F", TgpColumn::MaxWidth, 1, 1}});
  EXPECT_EQ(g.Widths(), (std::vector<int>{32767, 32767, 2, 100, 32767, 32767}));
  EXPECT_EQ(g.Columns().TotalWidth(), 2 * 32767 + 2 + 2 * 32767);
  // Stretched to its group's width, a level stops at the widest column.
  g.Columns().UpdateGroupWidth(g[3].Group(), 0, 0);
  EXPECT_EQ(g.Widths(), (std::vector<int>{32767, 32767, 2, 32767, 32767, 32767}));
}

TEST(ColumnWidths, WithAutoFitWideningAGroupNarrowsTheOthers) {
  TGrid g(500);
  g.Load({{"A", 100}, {"B", 100}, {"C", 50}});
  g.grid.SetAutoColumnFit(true);
  g[0].SetWidth(300);
  EXPECT_EQ(g.Columns().TotalWidth(), 500);
  EXPECT_EQ(g.Widths(), (std::vector<int>{300, 133, 67}));
}

// ---- Scroll stops ----------------------------------------------------------------------------

TEST(ColumnScrolling, ScrollStopsGroupsInViewAndDisplayLefts) {
  TGrid g(250);
  g.Load({{"F", 50, 0, 0, true, cfLeft}, {"A", 100}, {"B", 100}, {"C", 100}, {"D", 100}});
  // Room 200: from C the rest (200) fits, so A, B, C may stand first.
  EXPECT_EQ(g.Columns().ScrollStopCount(), 3);
  EXPECT_EQ(g.grid.ViewBar().nMax, 2);
  g.Columns().SetFirstGroupInView(9);
  g.Columns().UpdateScrollStop(false, false);
  EXPECT_EQ(g.Columns().FirstGroupInView(), 3);
  std::vector<int> lefts;
  for (TgpGroupInfo* info : g.Columns().Groups()) lefts.push_back(info->InView ? info->DisplayLeft : -1);
  EXPECT_EQ(lefts, (std::vector<int>{0, -1, -1, 50, 150}));
  EXPECT_EQ(g.Columns().LastGroupInView(), 4);
  EXPECT_TRUE(g.Columns().IsColInView(&g[0]));
  EXPECT_FALSE(g.Columns().IsColInView(&g[1]));
  EXPECT_TRUE(g.Columns().IsColInView(&g[4]));  // the last stop shows the end
  // Keeping the current column in view scrolls back to it.
  g.grid.SetCol(1);
  EXPECT_EQ(g.Columns().FirstGroupInView(), 1);
  EXPECT_EQ(g.grid.ViewBar().nPos, 0);
  EXPECT_FALSE(g.Columns().IsColInView(&g[4]));
}

TEST(ColumnScrolling, EverythingFitsInOneStop) {
  TGrid g(300);
  g.Load({{"A", 100}, {"B", 100}, {"C", 100}});
  EXPECT_EQ(g.Columns().ScrollStopCount(), 1);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(g.Columns().IsColInView(&g[i]));
}

// ---- Current column and selectable columns -----------------------------------------------------

TEST(ColumnSelection, TheCurrentColumnMovesToTheNearestSelectable) {
  TGrid g;
  g.Load({{"A", 50}, {"B", 50}, {"C", 50}});
  g.grid.SetCol(1);
  g[1].SetOptionsBehavior({cboNoSelecting});
  EXPECT_EQ(g.grid.CurrentColumn(), &g[2]);
  EXPECT_EQ(g.Columns().GetSelectableCount(), 2);
  g[2].SetVisible(false);
  EXPECT_EQ(g.grid.CurrentColumn(), &g[0]);
  delete &g[0];
  EXPECT_EQ(g.grid.CurrentColumn(), nullptr);
  EXPECT_EQ(g.grid.Col(), -1);
}

// ---- Mapping ---------------------------------------------------------------------------------

class TTestMapper : public TvpCustomFieldMapper {
public:
  class TMap : public TvpFieldMap {
  public:
    using TvpFieldMap::TvpFieldMap;
    void VisionChanged(TvpFieldVision*) override {}
  };
  using TvpCustomFieldMapper::TvpCustomFieldMapper;
  void AddControl(TControl* c) override { controls.push_back(c); }
  void RemoveControl(TControl* c) override { std::erase(controls, c); }
  TvpFieldMap* FindMap(TgpFieldList* fields) override { return FindMap2(fields->FieldNames(), fields->Attrs()); }
  TvpFieldMap* FindMap2(const String& name, const String&) override {
    auto it = maps.find(name);
    return it == maps.end() ? nullptr : &it->second;
  }
  void Set(const String& name, const String& caption, TvpFieldVision* vision) {
    TMap& m = maps.try_emplace(name).first->second;
    m.SetFieldName(name);
    m.SetCaption(caption);
    m.SetVision(vision);
  }
  std::map<String, TMap> maps;
  std::vector<TControl*> controls;
};

TEST(ColumnMapping, ImportsUntilAManualChoiceSwitchesTheImportOff) {
  TTestMapper mapper(nullptr);
  TvpFieldVision vision(nullptr), other(nullptr);
  mapper.Set("AGE", "Âge", &vision);
  TGrid g;
  g.Load({{"AGE", 50}, {"NAME", 50}});
  g.grid.SetMapper(&mapper);
  EXPECT_EQ(mapper.controls.size(), 1u);
  EXPECT_EQ(g[0].Caption(), "Âge");
  EXPECT_EQ(g[0].Vision(), &vision);
  EXPECT_EQ(g[0].OptionsMapping(), (TgpColumnMappingOptions{cioImportCaption, cioImportDomain}));
  EXPECT_EQ(g[1].Caption(), "");

  g[0].SetCaption("Years");
  EXPECT_EQ(g[0].OptionsMapping(), (TgpColumnMappingOptions{cioImportDomain}));
  g[0].SetVision(&other);
  EXPECT_TRUE(g[0].OptionsMapping().Empty());
  mapper.Set("AGE", "Age again", nullptr);
  g.grid.Perform(CM_FIELDMAPCHANGED, 0, 0);
  EXPECT_EQ(g[0].Caption(), "Years");
  EXPECT_EQ(g[0].Vision(), &other);

  g[1].SetOptionsMapping({cioImportCaption});
  mapper.Set("NAME", "Name", &vision);
  g.grid.FieldMapChanged();
  EXPECT_EQ(g[1].Caption(), "Name");
  EXPECT_EQ(g[1].Vision(), nullptr);
}

TEST(ColumnMapping, ADestroyedVisionLeavesTheColumnWithItsImportOption) {
  TTestMapper mapper(nullptr);
  TGrid g;
  g.Load({{"AGE", 50}});
  {
    TvpFieldVision vision(nullptr);
    mapper.Set("AGE", "Age", &vision);
    g.grid.SetMapper(&mapper);
    EXPECT_EQ(g[0].Vision(), &vision);
    mapper.maps.clear();
  }
  EXPECT_EQ(g[0].Vision(), nullptr);
  EXPECT_TRUE(g[0].OptionsMapping().Contains(cioImportDomain));
  {
    TTestMapper gone(nullptr);
    g.grid.SetMapper(&gone);
  }
  EXPECT_EQ(g.grid.Mapper(), nullptr);
}

TEST(ColumnMapping, AttrsKeepEachWordOnceAtTheEnd) {
  TGrid g;
  g.Load({{"A", 50}});
  g.grid.SetAttrs("Lookup;Combo");
  g.grid.AddAttrs("Lookup;ReadOnly");
  EXPECT_EQ(g.grid.Attrs(), "Combo;Lookup;ReadOnly");
  EXPECT_EQ(g[0].FieldList()->Attrs(), "Combo;Lookup;ReadOnly");
  EXPECT_TRUE(g.grid.HasAttrs("ReadOnly;Combo"));
  g.grid.RemoveAttrs("Combo");
  EXPECT_FALSE(g.grid.HasAttrs("Combo"));
  EXPECT_EQ(g.Columns().ByField("a"), &g[0]);
}

TEST(ColumnFields, ColumnsFindTheirFieldsWhenTheDatasetOpensAndLoseThemWhenItCloses) {
  TMemTable table(nullptr);
  table.FieldDefs().Add("NAME", ftString, 20);
  table.FieldDefs().Add("AGE", ftInteger);
  TDataSource source(nullptr);
  source.SetDataSet(&table);
  TGrid g;
  g.Load({{"age", 50}, {"MISSING", 50}});
  g.grid.SetDataSource(&source);
  EXPECT_EQ(g[0].Field(), nullptr);
  table.CreateDataSet();
  EXPECT_EQ(g[0].Field(), table.FieldByName("AGE"));
  EXPECT_EQ(g[1].Field(), nullptr);
  table.Close();
  EXPECT_EQ(g[0].Field(), nullptr);
}

// ---- Persistence -----------------------------------------------------------------------------

class TVisionModule : public TComponent {
public:
  explicit TVisionModule() : TComponent(nullptr), vision(this) {
    SetName("Visions");
    vision.SetName("Vision1");
    RegisterGlobalRoot(this);
  }
  ~TVisionModule() override {
    UnregisterGlobalRoot(this);
    Destroying();
  }
  TvpFieldVision vision;
};

void BuildRichLayout(TDBDivoRud& grid, TvpFieldVision* vision) {
  TgpColumns& cols = *grid.Columns();
  cols.BeginUpdate();
  const Spec specs[] = {{"ID", 40, 0, 0, true, cfLeft}, {"NAME", 120}, {"CITY", 60, 1, 0}, {"ZIP", 60, 1, 1},
                        {"AGE", 50}, {"NOTE", 70, 0, 0, false}};
  for (const Spec& s : specs) {
    TgpColumn* c = cols.Add();
    c->SetFieldName(s.field);
    c->SetWidth(s.width);
    c->SetLayoutLevel(s.level);
    c->SetLayoutIndex(s.index);
    c->SetVisible(s.visible);
    c->SetFixed(s.fixed);
  }
  cols.EndUpdate();
  cols.Items(1)->Font()->SetStyle({fsBold});
  cols.Items(1)->TitleGlyph()->SetSize(8, 6);
  cols.Items(1)->SetTitleStateField(tsSortedUp);
  cols.Items(4)->SetTitleStateField(tsSortedDown);
  cols.Items(4)->SetVision(vision);
  cols.Items(4)->SetCaption("Âge ✓");
}

String Describe(TDBDivoRud& grid) {
  String s;
  TgpColumns& cols = *grid.Columns();
  for (int i = 0; i < cols.Count(); ++i) {
    TgpColumn* c = cols.Items(i);
    s += c->FieldName() + ":" + std::to_string(c->Width()) + ":" + std::to_string(c->LayoutLevel()) + "," +
         std::to_string(c->LayoutIndex()) + (c->Visible() ? "" : ":hidden") + (c->Fixed() == cfLeft ? ":fixed" : "") +
         (c->HasFont() && c->Font()->Style().Contains(fsBold) ? ":bold" : "") +
         (c->HasTitleGlyph() ? ":glyph" + std::to_string(c->TitleGlyph()->Width()) : "") +
         (c->SortID() >= 0 ? ":sort" + std::to_string(c->SortID()) : "") + (c->Vision() ? ":vision" : "") +
         (c->Caption().empty() ? "" : ":" + c->Caption()) + ";";
  }
  return s;
}

// Bitmaps need the headless graphics backend.
class ColumnPersistence : public zvtest::THarnessTest {};

TEST_F(ColumnPersistence, ALayoutRoundTripsThroughTextBinaryAndLayoutStrings) {
  TVisionModule module;
  TDBDivoRud source(nullptr);
  source.SetName("Grid1");
  source.Columns()->SetAvailableWidth(1000);
  BuildRichLayout(source, &module.vision);
  const String expected = Describe(source);
  EXPECT_EQ(expected,
            "ID:40:0,0:fixed;NAME:120:0,0:bold:glyph8:sort0;CITY:60:1,0;ZIP:60:1,1;AGE:50:0,0:sort1:vision:Âge ✓;"
            "NOTE:70:0,0:hidden;");

  struct Way {
    const char* name;
    std::function<String()> write;
    std::function<void(TDBDivoRud&, const String&)> read;
  };
  const Way ways[] = {
      {"text", [&] { return ComponentToText(&source); },
       [](TDBDivoRud& g, const String& s) { TextToComponent(s, &g); }},
      {"binary", [&] { return ComponentToStr(source, false); },
       [](TDBDivoRud& g, const String& s) { StrToComponent(g, s, false); }},
      {"layout text", [&] { return ObjectToStr(*source.Columns(), "layout", true); },
       [](TDBDivoRud& g, const String& s) { StrToObject(*g.Columns(), s, true); }},
      {"layout binary", [&] { return ObjectToStr(*source.Columns(), "layout", false); },
       [](TDBDivoRud& g, const String& s) { StrToObject(*g.Columns(), s, false); }},
  };
  for (const Way& way : ways) {
    const String stored = way.write();
    TDBDivoRud target(nullptr);
    target.SetName("Grid1");
    target.Columns()->SetAvailableWidth(1000);
    TGrid other;  // a live grid that holds other columns first
    target.Columns()->Add()->SetFieldName("OLD");
    target.Columns()->Add()->SetWidth(99);
    way.read(target, stored);
    EXPECT_EQ(Describe(target), expected) << way.name;
    EXPECT_EQ(target.Columns()->GroupCount(), 3) << way.name;
    EXPECT_EQ(target.Columns()->FixedAreaWidth(), 40) << way.name;
    EXPECT_EQ(target.TitleStateCounter(), 1) << way.name;
  }
}

TEST_F(ColumnPersistence, ANewColumnWritesAsAnEmptyItemAndBrokenLayoutsRaise) {
  TDBDivoRud grid(nullptr);
  grid.SetName("Grid1");
  grid.Columns()->Add();
  const String text = ObjectToStr(*grid.Columns(), "", true);
  EXPECT_NE(text.find("item\n    end"), String::npos) << text;

  TDBDivoRud target(nullptr);
  target.Columns()->SetAvailableWidth(500);
  target.Columns()->Add()->SetFieldName("KEEP");
  grid.Columns()->Items(0)->SetWidth(70);
  const String good = ObjectToStr(*grid.Columns(), "", true);
  auto replaced = [&](const String& from, const String& to) {
    String s = good;
    s.replace(s.find(from), from.size(), to);
    return s;
  };
  const String broken[] = {good.substr(0, good.size() / 2), replaced("Width = 70", "Width = 'wide'"),
                           replaced("Width = 70", "Breadth = 70"), replaced("Width = 70", "Width = 99999999999")};
  for (const String& s : broken) {
    EXPECT_ANY_THROW(StrToObject(*target.Columns(), s, true)) << s;
    for (TgpGroupInfo* info : target.Columns()->Groups()) EXPECT_LE(info->FirstIndex, info->LastIndex);
    EXPECT_EQ(target.Columns()->GroupCount(), target.Columns()->GetVisibleCount());
  }
}

}  // namespace
