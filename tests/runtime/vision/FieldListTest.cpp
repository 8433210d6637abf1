// The field list: binding names to fields, following its vision, the editing gate and the
// posting brackets.

#include "VisionTestKit.h"

namespace zvtest {
namespace {

using FieldListTest = VisionFixture;

std::vector<std::string> Names(TgpFieldList& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Items(i) ? list.Items(i)->FieldName() : "nil");
  return out;
}

TEST_F(FieldListTest, NewListHoldsOneNullEntryAndTakesTheDefaultVision) {
  TTestHost bare(&Link);
  EXPECT_EQ(bare.Fields().Count(), 1);
  EXPECT_EQ(bare.Fields().Items(0), nullptr);
  EXPECT_EQ(bare.Fields().Vision(), nullptr);
  EXPECT_EQ(bare.Fields().HostType(), fhtColumn);
  EXPECT_EQ(bare.Fields().Host(), &bare);

  SetDefaultVision(Vision.get());
  TTestHost host(&Link);
  EXPECT_EQ(host.Fields().Vision(), Vision.get());
  EXPECT_TRUE(Vision->HasConsumer(&host.Fields()));
  EXPECT_TRUE(host.Calls().empty());  // no VisionChanged at construction
}

struct BindCase {
  const char* FieldNames;
  const char* Related;
  bool ExtraB;  // the table has a field B too
  std::vector<std::string> Expected;
};

TEST_F(FieldListTest, UpdateListKeepsEntriesAlignedAndTakesTheFirstAlternativeThatExists) {
  const BindCase cases[] = {
      {"NAME", "", false, {"NAME"}},
      {"NAME", "B,CITY;AGE", false, {"NAME", "CITY", "AGE"}},
      {"NAME", "B,CITY;AGE", true, {"NAME", "B", "AGE"}},
      {"NAME", "NOPE;AGE", false, {"NAME", "nil", "AGE"}},
      {"name;city", "", false, {"NAME", "CITY"}},
      {"", "", false, {"nil"}},
      {"", "AGE", false, {"nil", "AGE"}},
      {"NAME;", "", false, {"NAME", "nil"}},
      {"NOPE,,AGE", "", false, {"AGE"}},
  };
  for (const auto& c : cases) {
    TMemTable table(nullptr);
    table.FieldDefs().Add("NAME", ftString, 10);
    table.FieldDefs().Add("CITY", ftString, 10);
    table.FieldDefs().Add("AGE", ftInteger);
    if (c.ExtraB) table.FieldDefs().Add("B", ftString, 10);
    table.CreateDataSet();
    Vision->SetRelatedFields(c.Related);
    TTestHost host(nullptr);
    host.SetVision(Vision.get());
    host.Fields().SetFieldNames(c.FieldNames);
    host.Fields().UpdateList(&table);
    EXPECT_EQ(Names(host.Fields()), c.Expected) << c.FieldNames << " + " << c.Related;
    EXPECT_EQ(host.Fields().DataSet(), &table);
  }
}

TEST_F(FieldListTest, ClosedOrMissingDataSetGivesOneNullEntryPerName) {
  Vision->SetRelatedFields("CITY,AGE");
  auto host = MakeHost("NAME;AGE");
  EXPECT_EQ(Names(host->Fields()), (std::vector<std::string>{"NAME", "AGE", "CITY"}));
  Table->Close();
  host->Fields().UpdateList(Table.get());
  EXPECT_EQ(Names(host->Fields()), (std::vector<std::string>{"nil", "nil", "nil"}));
  host->Fields().UpdateList(nullptr);
  EXPECT_EQ(Names(host->Fields()), (std::vector<std::string>{"nil", "nil", "nil"}));
  EXPECT_EQ(host->Fields().DataSet(), nullptr);
}

TEST_F(FieldListTest, FieldByNameIgnoresCaseAndSkipsHoles) {
  auto host = MakeHost("NOPE;age;NAME");
  EXPECT_EQ(host->Fields().FieldByName("Age"), Table->FieldByName("AGE"));
  EXPECT_EQ(host->Fields().FieldByName("name"), Table->FieldByName("NAME"));
  EXPECT_EQ(host->Fields().FieldByName("NOPE"), nullptr);
  EXPECT_EQ(host->Fields().FieldByName(""), nullptr);
}

TEST_F(FieldListTest, SettingTheVisionMovesTheListAndTellsTheHostWhatItAskedFor) {
  TTestVision other(nullptr);
  other.SetName("Other");
  SetDefaultVision(&other);
  TTestHost host(&Link);
  host.SetVision(Vision.get());
  host.SetVision(Vision.get());  // unchanged: nothing
  EXPECT_EQ(host.Calls(), (Log{"VisionChanged(Vision1)"}));
  EXPECT_TRUE(Vision->HasConsumer(&host.Fields()));
  EXPECT_FALSE(other.HasConsumer(&host.Fields()));

  host.Calls().clear();
  host.SetVision(nullptr);
  EXPECT_EQ(host.Fields().Vision(), &other);
  EXPECT_EQ(host.Calls(), (Log{"VisionChanged(nil)"}));
  EXPECT_FALSE(Vision->HasConsumer(&host.Fields()));
  EXPECT_EQ(other.ConsumerCount(), 1);
  host.SetVision(nullptr);
  EXPECT_EQ(host.Calls().size(), 1u);

  // Naming the default explicitly is a different choice for the host.
  host.SetVision(&other);
  EXPECT_EQ(host.Calls().back(), "VisionChanged(Other)");
  EXPECT_EQ(other.ConsumerCount(), 1);  // never twice
}

TEST_F(FieldListTest, DestroyedListLeavesItsVision) {
  {
    auto host = MakeHost("NAME");
    EXPECT_EQ(Vision->ConsumerCount(), 1);
  }
  EXPECT_EQ(Vision->ConsumerCount(), 0);
}

TEST_F(FieldListTest, CanModifyNeedsVisionHostAndData) {
  auto host = MakeHost("NAME");
  EXPECT_TRUE(host->Fields().CanModify());
  host->HostCanModify = false;
  EXPECT_FALSE(host->Fields().CanModify());
  host->HostCanModify = true;
  Vision->SetReadOnly(true);
  EXPECT_FALSE(host->Fields().CanModify());
  Vision->SetUnboundMode(true);
  EXPECT_FALSE(host->Fields().CanModify()) << "ReadOnly wins over UnboundMode";
  Vision->SetReadOnly(false);
  Table->FieldByName("NAME")->SetReadOnly(true);
  EXPECT_TRUE(host->Fields().CanModify()) << "unbound ignores the field";
  Vision->SetUnboundMode(false);
  EXPECT_FALSE(host->Fields().CanModify());
  Table->FieldByName("NAME")->SetReadOnly(false);

  TReadOnlyTable locked(nullptr);
  Open(locked);
  locked.Locked = true;
  Source->SetDataSet(&locked);
  host->Resolve();
  EXPECT_FALSE(host->Fields().CanModify());
  Vision->SetUnboundMode(true);
  EXPECT_TRUE(host->Fields().CanModify());
  Vision->SetUnboundMode(false);
  Source->SetDataSet(Table.get());

  // Without a dataset nothing can take a change.
  TTestHost loose(nullptr);
  loose.SetVision(Vision.get());
  EXPECT_FALSE(loose.Fields().CanModify());
}

TEST_F(FieldListTest, ListWithoutVisionOrLinkIsNeitherValidNorEditable) {
  TTestHost noVision(&Link);
  noVision.Bind("NAME");
  EXPECT_FALSE(noVision.Fields().Valid());
  EXPECT_FALSE(noVision.Fields().CanModify());
  EXPECT_FALSE(noVision.Fields().EditInt(true));

  TTestHost noLink(nullptr);
  noLink.SetVision(Vision.get());
  noLink.Bind("NAME");
  EXPECT_FALSE(noLink.Fields().Valid());
  EXPECT_FALSE(noLink.Fields().EditInt(true));
  EXPECT_EQ(Vision->GetText(noLink.Fields(), true), "");
}

TEST_F(FieldListTest, EditIntShortCircuitsInOrder) {
  auto host = MakeHost("NAME");
  std::vector<bool> inEditSeen;
  Vision->BeforeEdit = [&](TObject*, TgpFieldList* f, bool&) { inEditSeen.push_back(f->InEdit()); };

  host->HostCanModify = false;
  EXPECT_FALSE(host->Fields().EditInt(true));
  EXPECT_TRUE(host->Calls().empty()) << "no DoBeforeEdit when the host refuses";
  host->HostCanModify = true;

  host->Fields().SetValid(false);
  EXPECT_FALSE(host->Fields().EditInt(true));
  EXPECT_TRUE(host->Calls().empty());
  host->Fields().SetValid(true);

  host->HostBeforeEdit = false;
  EXPECT_FALSE(host->Fields().EditInt(true));
  EXPECT_EQ(host->Calls(), (Log{"DoBeforeEdit"}));
  EXPECT_EQ(Table->State(), dsBrowse);
  host->HostBeforeEdit = true;

  host->Calls().clear();
  EXPECT_TRUE(host->Fields().EditInt(false));
  EXPECT_EQ(host->Calls(), (Log{"DoBeforeEdit", "DoBeginEdit"}));
  EXPECT_EQ(Table->State(), dsEdit);
  EXPECT_FALSE(host->Fields().Modified());
  EXPECT_TRUE(host->Fields().Edit());
  EXPECT_TRUE(host->Fields().EditInt(true));
  EXPECT_TRUE(host->Fields().Modified());

  host->Calls().clear();
  EXPECT_TRUE(host->Fields().EditInt(true));
  EXPECT_TRUE(host->Calls().empty()) << "already modified: no second BeforeEdit";
  EXPECT_FALSE(host->Fields().InEdit());
  EXPECT_EQ(inEditSeen, (std::vector<bool>{true, true, true, true}));
}

TEST_F(FieldListTest, EditIntRespectsAutoEditAndUnboundMode) {
  auto host = MakeHost("NAME");
  Source->SetAutoEdit(false);
  EXPECT_FALSE(host->Fields().EditInt(true));
  EXPECT_EQ(host->Calls(), (Log{"DoBeforeEdit"}));

  Vision->SetOptionsSwitch({});
  EXPECT_TRUE(Vision->UnboundMode());
  EXPECT_TRUE(host->Fields().EditInt(true));
  EXPECT_EQ(Table->State(), dsBrowse) << "unbound editing leaves the dataset alone";
  EXPECT_TRUE(host->Fields().Modified());
}

TEST_F(FieldListTest, BeforeEditExceptionLeavesInEditCleared) {
  auto host = MakeHost("NAME");
  Vision->BeforeEdit = [](TObject*, TgpFieldList*, bool&) { throw EZVError("no"); };
  EXPECT_THROW(host->Fields().EditInt(true), EZVError);
  EXPECT_FALSE(host->Fields().InEdit());
  EXPECT_FALSE(host->Fields().Modified());
  Vision->BeforeEdit = [](TObject*, TgpFieldList*, bool& doEdit) { doEdit = false; };
  EXPECT_FALSE(host->Fields().EditInt(true));
}

TEST_F(FieldListTest, NestedBracketsFireAfterPostOnceAtTheOutermostEnd) {
  auto host = MakeHost("NAME");
  TgpFieldList& f = host->Fields();
  f.BeginPostChanges();
  f.BeginPostChanges();
  f.EndPostChanges(true);
  EXPECT_TRUE(host->Calls().empty());
  f.EndPostChanges(true);
  EXPECT_EQ(host->Calls(), (Log{"DoAfterPost"}));
  f.BeginPostChanges();
  f.EndPostChanges(false);
  EXPECT_EQ(host->Calls().size(), 1u);
  f.EndPostChanges(true);  // unmatched
  EXPECT_EQ(f.PostLevel(), 0);
  EXPECT_EQ(host->Calls().size(), 1u);
}

TEST_F(FieldListTest, ActionsReachTheHostAndTheVision) {
  TTestHost column(&Link);
  column.SetVision(Vision.get());
  std::vector<std::string> seen;
  TObject grid;
  TgpActionEvent gridAction = [&](TObject* sender, TgpColumn* col, const String& action, int param) {
    seen.push_back("grid:" + action + std::to_string(param) + (sender == &grid ? "" : "?") + (col ? "?" : ""));
  };
  column.Fields().DoCtlAction("a", 1);  // no target yet: nothing
  column.Fields().SetActionTarget(&grid, &gridAction);
  column.Fields().DoCtlAction("a", 2);

  TTestEditor edit(&Link);
  TvpActionEvent editAction = [&](TObject* sender, const String& action, int param) {
    seen.push_back("edit:" + action + std::to_string(param) + (sender == &edit ? "" : "?"));
  };
  edit.Fields().SetActionTarget(static_cast<TComponent*>(&edit), &editAction);
  edit.Fields().DoCtlAction("b", 3);
  TvpActionEvent unassigned;
  edit.Fields().SetActionTarget(static_cast<TComponent*>(&edit), &unassigned);
  edit.Fields().DoCtlAction("b", 4);

  column.Fields().DoVisionAction("c", 5);  // vision's OnAction unassigned
  Vision->OnAction = [&](TObject* sender, TgpFieldList* f, const String& action, int param) {
    seen.push_back("vision:" + action + std::to_string(param) + (sender == Vision.get() && f == &column.Fields() ? "" : "?"));
  };
  column.Fields().DoVisionAction("c", 6);
  EXPECT_EQ(seen, (std::vector<std::string>{"grid:a2", "edit:b3", "vision:c6"}));
}

}  // namespace
}  // namespace zvtest
