// The delete command on both datasets: the short-cut and code paths, the question each prompt
// kind asks and only OK deleting, the application's own questions (with a stray "%"), the event
// order, and what refuses a delete.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Menus.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Selection.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <set>

namespace zvtest {
namespace {

// A stand-in selection of record IDs, deleted from the last to the first; the cursor is left
// after the first one deleted (record 3 for {2, 4, 7}).
class TDeleteSelection : public TgpSelection {
public:
  TDeleteSelection(TDBDivoRud& grid, std::set<int>& selected) : TgpSelection(grid), Selected(selected) {}
  bool Empty() const override { return Selected.empty(); }
  int Count() const override { return static_cast<int>(Selected.size()); }
  void DeleteRecords() override {
    TDataSet* dataSet = Grid().DataSet();
    for (auto it = Selected.rbegin(); it != Selected.rend(); ++it)
      if (dataSet->Locate("ID", Variant(*it), {})) dataSet->Delete();
    Selected.clear();
  }

private:
  std::set<int>& Selected;
};

class TDeleteGrid : public TDBDivoRud {
public:
  explicit TDeleteGrid(TComponent* owner) : TDBDivoRud(owner) {
    SetSelection(std::make_unique<TDeleteSelection>(*this, Selected));
  }
  std::set<int> Selected;
};

class GridDelete : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    h = std::make_unique<THarness>(*driver);
    TProbe* form = h->TopLevel(0, 0, 500, 420);
    ds = GetParam().Create(20);
    source.SetDataSet(ds.get());
    grid = std::make_unique<TDeleteGrid>(nullptr);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetParent(form);
    for (const char* name : {"ID", "NAME"}) grid->Columns()->Add()->SetFieldName(name);
    grid->SetDataSource(&source);
    grid->AfterDelete = [this](TObject*) { log.push_back("AfterDelete " + std::to_string(Id())); };
    Application->SetTitle("Zovrin Orders");
    SetDialogResponder([this](TDialogRequest& r) {
      log.push_back("ask: " + r.Message);
      EXPECT_EQ(r.Caption, "Zovrin Orders");
      EXPECT_EQ(r.DlgType, mtConfirmation);
      EXPECT_EQ(r.Buttons, mbOKCancel);
      return answer;
    });
    grid->SetFocus();
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
    grid->SetCol(1);
  }
  void TearDown() override {
    SetDialogResponder(nullptr);
    grid.reset();
  }
  void CtrlDelete() {
    h->KeyDown(grid.get(), VK_CONTROL);
    h->KeyDown(grid.get(), VK_DELETE);
    h->KeyUp(grid.get(), VK_DELETE);
    h->KeyUp(grid.get(), VK_CONTROL);
  }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  std::string Joined() { return TakeJoined(log, " | "); }

  std::unique_ptr<TControlDriver> driver = MakeNullDriver();
  std::unique_ptr<THarness> h;
  std::unique_ptr<TDataSet> ds;
  TDataSource source{nullptr};
  std::unique_ptr<TDeleteGrid> grid;
  TModalResult answer = mrOk;
  TLog log;
};

// Each prompt kind and message, one record or three selected, by key and by code, answered
// with OK or Cancel: the question asked, the records left, where the grid stands.
TEST_P(GridDelete, PromptKindsMessagesAndAnswers) {
  struct Case {
    TgpDeletePromptKind kind;
    String msg, msgMulti;
    bool three, byKey;
    TModalResult answer;
    std::string log;
    int recordsLeft;
  } const cases[] = {
      {dpkAlways, "", "", false, true, mrOk, "ask: Delete record. Are you sure? | AfterDelete 6", 19},
      {dpkAlways, "", "", false, false, mrCancel, "ask: Delete record. Are you sure?", 20},
      {dpkAlways, "", "", true, false, mrOk, "ask: Delete 3 records. Are you sure? | AfterDelete 3", 17},
      {dpkAlways, "", "", true, true, mrCancel, "ask: Delete 3 records. Are you sure?", 20},
      {dpkMultiRecord, "", "", false, true, mrCancel, "AfterDelete 6", 19},
      {dpkMultiRecord, "", "", true, false, mrOk, "ask: Delete 3 records. Are you sure? | AfterDelete 3", 17},
      {dpkNever, "", "", true, true, mrCancel, "AfterDelete 3", 17},
      {dpkNever, "", "", false, false, mrCancel, "AfterDelete 6", 19},
      {dpkAlways, "Drop this order?", "Drop %d orders?", false, true, mrOk, "ask: Drop this order? | AfterDelete 6", 19},
      {dpkAlways, "Drop this order?", "Drop %d orders?", true, true, mrOk, "ask: Drop 3 orders? | AfterDelete 3", 17},
      // An application's question that is not a format is shown as written, and still deletes.
      {dpkAlways, "100% sure? Delete %d", "", false, false, mrOk, "ask: 100% sure? Delete %d | AfterDelete 6", 19},
      {dpkAlways, "", "Delete %s of them?", true, false, mrOk, "ask: Delete %s of them? | AfterDelete 3", 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log);
    grid->ParamsDelete()->SetEnabled(true);
    grid->ParamsDelete()->SetPromptKind(c.kind);
    grid->ParamsDelete()->SetPromptMsg(c.msg);
    grid->ParamsDelete()->SetPromptMsgMulti(c.msgMulti);
    if (c.three) grid->Selected = {2, 4, 7};
    answer = c.answer;
    if (c.byKey) {
      CtrlDelete();
      EXPECT_EQ(grid->ParamsDelete()->Deleted(), c.recordsLeft < 20);
    } else {
      EXPECT_EQ(grid->DeleteRecords(), c.recordsLeft < 20);
    }
    EXPECT_EQ(Joined(), c.log);
    EXPECT_EQ(ds->RecordCount(), c.recordsLeft);
    if (c.recordsLeft == 19) {
      EXPECT_EQ(Id(), 6) << "the next record takes the deleted one's place";
      EXPECT_TRUE(grid->SyncCursors(false));
      EXPECT_EQ(grid->CurrentRow(), grid->DataLink()->ActiveRecord()) << "and is marked current";
    }
    EXPECT_EQ(ds->State(), dsBrowse);
    // Back to 20 records, 5 current.
    grid->Selected.clear();
    ds->Close();
    ds = GetParam().Create(20);
    source.SetDataSet(ds.get());
    ASSERT_TRUE(ds->Locate("ID", Variant(5), {}));
  }
}

// Ctrl+Delete needs Enabled and the short-cut; code needs neither. A dataset's own delete events
// come before the grid's AfterDelete; the last record hands over to the one before it.
TEST_P(GridDelete, ShortCutEnabledAndEventOrder) {
  answer = mrOk;
  CtrlDelete();
  EXPECT_EQ(Joined(), "") << "disabled: the key is not the command";
  EXPECT_EQ(ds->RecordCount(), 20);
  ds->BeforeDelete = [this](TDataSet*) { log.push_back("ds.BeforeDelete " + std::to_string(Id())); };
  ds->AfterDelete = [this](TDataSet*) { log.push_back("ds.AfterDelete"); };
  EXPECT_TRUE(grid->DeleteRecords());
  EXPECT_EQ(Joined(), "ask: Delete record. Are you sure? | ds.BeforeDelete 5 | ds.AfterDelete | AfterDelete 6");

  grid->ParamsDelete()->SetEnabled(true);
  grid->ParamsDelete()->SetShortCut(ShortCut('D', {ssCtrl}));
  CtrlDelete();
  EXPECT_EQ(Joined(), "") << "Ctrl+Delete is no longer the short-cut";
  h->KeyDown(grid.get(), VK_CONTROL);
  h->KeyDown(grid.get(), 'D');
  h->KeyUp(grid.get(), 'D');
  h->KeyUp(grid.get(), VK_CONTROL);
  EXPECT_EQ(Joined(), "ask: Delete record. Are you sure? | ds.BeforeDelete 6 | ds.AfterDelete | AfterDelete 7");

  ds->Last();
  EXPECT_TRUE(grid->DeleteRecords());
  EXPECT_EQ(Joined(), "ask: Delete record. Are you sure? | ds.BeforeDelete 20 | ds.AfterDelete | AfterDelete 19");
  EXPECT_EQ(ds->RecordCount(), 17);
}

// Nothing to delete, a dataset that cannot be changed, a record in edit that the delete drops.
TEST_P(GridDelete, RefusalsAndARecordInEdit) {
  ds->Edit();
  ds->FieldByName("NAME")->SetAsString("changed");
  EXPECT_TRUE(grid->DeleteRecords()) << "the record in edit is deleted, its change with it";
  EXPECT_EQ(ds->RecordCount(), 19);
  EXPECT_FALSE(ds->Locate("ID", Variant(5), {}));
  Joined();

  while (!ds->IsEmpty()) ds->Delete();
  EXPECT_FALSE(grid->DeleteRecords());
  EXPECT_EQ(Joined(), "") << "no record: nothing asked";

  if (auto* sqlite = dynamic_cast<TSqliteDataSet*>(ds.get())) {
    ds->Close();
    ds = GetParam().Create(3);
    source.SetDataSet(ds.get());
    sqlite = dynamic_cast<TSqliteDataSet*>(ds.get());
    sqlite->Close();
    sqlite->SetReadOnly(true);
    sqlite->Open();
    grid->ParamsDelete()->SetEnabled(true);
    EXPECT_FALSE(grid->DeleteRecords());
    CtrlDelete();
    EXPECT_EQ(Joined(), "") << "a read-only dataset: neither code nor key asks";
    EXPECT_EQ(ds->RecordCount(), 3);
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, GridDelete, ::testing::ValuesIn(TestDataSets()),
                         [](const auto& info) { return info.param.Name; });

// Assigning copies every published value; the grid keeps its own object.
TEST(GridDeleteParams, AssignCopiesAndTheGridKeepsItsOwn) {
  TDBDivoRud grid(nullptr);
  TgpDeleteParams other;
  EXPECT_FALSE(other.Enabled());
  EXPECT_EQ(other.ShortCut(), ShortCut(VK_DELETE, {ssCtrl}));
  EXPECT_EQ(other.PromptKind(), dpkAlways);
  other.SetEnabled(true);
  other.SetShortCut(ShortCut('D', {ssCtrl}));
  other.SetPromptKind(dpkMultiRecord);
  other.SetPromptMsg("Löschen?");
  other.SetPromptMsgMulti("%d löschen?");
  grid.SetParamsDelete(&other);
  TgpDeleteParams* own = grid.ParamsDelete();
  EXPECT_NE(own, &other);
  EXPECT_EQ(own->Grid(), &grid);
  EXPECT_TRUE(own->Enabled());
  EXPECT_EQ(own->ShortCut(), ShortCut('D', {ssCtrl}));
  EXPECT_EQ(own->PromptKind(), dpkMultiRecord);
  EXPECT_EQ(own->PromptMsg(), "Löschen?");
  EXPECT_EQ(own->PromptMsgMulti(), "%d löschen?");
}

}  // namespace
}  // namespace zvtest
