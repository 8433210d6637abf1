// The grid's records on both datasets (100 records, a 10-row link): what a snapshot captures,
// when it is equal, how it is found again, the current row through scrolls, marks resolved by
// the search, bringing the cursor back, cursor types, inserting, bad input, and the record list
// role of a tool form.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "runtime/rtm/ValueRoutines.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/DBDivoRud.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

namespace zvtest {
namespace {

// The grid with the flags later parts set, and its invalidations written down.
class TTestGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  using TDBDivoRud::SetPosting;
  using TDBDivoRud::SetUserActionInProgress;
  std::vector<int> Invalidated;

protected:
  void InvalidateRow(int row) override { Invalidated.push_back(row); }
};

// A tool form holding the grid: a value to start from and the value posted back.
class TTestToolForm : public TCustomControl, public IvtfToolForm {
public:
  TTestToolForm() : TCustomControl(nullptr) {}
  Variant Current;
  Variant Result = Variant("untouched");
  int Changes = 0;
  Variant tfCurrentValue() const override { return Current; }
  void tfSetResultValue(const Variant& value) override { Result = value; }
  void tfValueChanged() override { ++Changes; }
};

class GridRecords : public ::testing::TestWithParam<DataSetFactory> {
protected:
  void SetUp() override {
    fDriver = MakeNullDriver();
    fHarness = std::make_unique<THarness>(*fDriver);
    Open(GetParam().Create(100));
  }
  void TearDown() override {
    fGrid.reset();
    fSource.reset();
    fDataSet.reset();
    fHarness.reset();
    fDriver.reset();
  }
  void Open(std::unique_ptr<TDataSet> dataSet) {
    fGrid.reset();
    fDataSet = std::move(dataSet);
    fSource = std::make_unique<TDataSource>(nullptr);
    fSource->SetDataSet(fDataSet.get());
    fGrid = std::make_unique<TTestGrid>(nullptr);
    fGrid->SetDataSource(fSource.get());
    // A window of ten rows: the grid sizes its data link's window to the rows that fit.
    fGrid->SetShowTitles(false);
    fGrid->SetBounds(0, 0, 340, 10 * fGrid->RowHeight());
    fGrid->MetricsChanged(2);
    fGrid->OnSelectionChange = [this](TObject*) { ++fSelectionChanges; };
  }

  TDataSet& DS() { return *fDataSet; }
  TTestGrid& G() { return *fGrid; }
  TgpCurrentRecShot& Shot() { return *fGrid->CurrentRecShot(); }
  int Id() { return DS().FieldByName("ID")->AsInteger(); }
  int ActiveRow() { return fGrid->DataLink()->ActiveRecord(); }
  void GoTo(int id) { ASSERT_TRUE(DS().Locate("ID", Variant(id))); }
  TBookmarkStr BookmarkOf(int id) {
    const TBookmarkStr saved = DS().Bookmark();
    GoTo(id);
    const TBookmarkStr result = DS().Bookmark();
    DS().GotoBookmark(saved);
    return result;
  }
  // An insensitive grid whose mark is on record `id`, the cursor left on `cursor`.
  void MarkAt(TgpCursorType type, int id, int cursor) {
    G().SetCursorType(type);
    DS().First();
    DS().MoveBy(id - 1);
    Shot().Select(false);
    DS().MoveBy(cursor - id);
    ASSERT_EQ(Id(), cursor);
  }
  // The ID of the marked record, read by going there and back.
  int MarkedId() {
    const TBookmarkStr saved = DS().Bookmark();
    if (!Shot().GotoRecShot()) return -1;
    const int id = Id();
    DS().GotoBookmark(saved);
    return id;
  }
  void SetName(int id, const Variant& name) {
    GoTo(id);
    DS().Edit();
    DS().FieldByName("NAME")->SetAsVariant(name);
    DS().Post();
  }

  std::unique_ptr<TControlDriver> fDriver;
  std::unique_ptr<THarness> fHarness;
  std::unique_ptr<TDataSet> fDataSet;
  std::unique_ptr<TDataSource> fSource;
  std::unique_ptr<TTestGrid> fGrid;
  int fSelectionChanges = 0;
};

// ---------------------------------------------------------------------------------------------
// Capture

TEST_P(GridRecords, CapturesBookmarkKeysAndNumber) {
  EXPECT_TRUE(G().GetHasCurrent());  // a sensitive grid marks the record it opens on
  EXPECT_EQ(G().CurrentRow(), 0);
  EXPECT_EQ(G().RowCount(), 10);
  struct Case {
    const char* unique;
    const char* bookmarkFields;
    bool recNo;
    const char* storedBookmarkFields;
    Variant identity;
    Variant bookmarkValues;
    int number;
  };
  const std::vector<Case> cases = {
      {"", "", true, "", Variant(), Variant(), 45},
      {"ID", "NAME;$RECNO$", true, "NAME", Variant(45), Variant(ItemName(45)), 45},
      {"ID;NAME", "$RECNO$;ID;$RECNO$", false, "ID", VarArrayOf({Variant(45), Variant(ItemName(45))}), Variant(45), -1},
  };
  for (const Case& c : cases) {
    GoTo(45);  // a jump: the number is not known for free here
    G().SetUniqueFields(c.unique);
    G().SetBookmarkFields(c.bookmarkFields);
    G().ParamsDB()->SetEnableRecNo(c.recNo);
    TgpRecShot shot(&G());
    shot.Init(DS().Bookmark());
    EXPECT_EQ(G().BookmarkFields(), c.storedBookmarkFields) << c.unique;
    EXPECT_TRUE(shot.HasRecord());
    EXPECT_EQ(shot.GetBookmarkPtr(), DS().Bookmark());
    EXPECT_TRUE(VarIsSame(shot.IdentityValue(), c.identity)) << c.unique;
    EXPECT_TRUE(VarIsSame(shot.BookmarkFieldsValue(), c.bookmarkValues)) << c.unique;
    DS().MoveBy(-3);  // the number is read where the record is in view
    EXPECT_EQ(shot.RecNo(), c.number) << c.unique;
    shot.Init(TBookmarkStr());
    EXPECT_FALSE(shot.HasRecord());
    EXPECT_TRUE(shot.IdentityValue().IsEmpty());
    EXPECT_EQ(shot.RecNo(), -1);
  }
  // A number asked for while the record is far out of view is not known, never another one.
  TgpRecShot far(&G());
  G().ParamsDB()->SetEnableRecNo(true);
  GoTo(80);
  far.Init(DS().Bookmark());
  DS().First();
  EXPECT_EQ(far.RecNo(), -1);
  GoTo(80);
  EXPECT_EQ(far.RecNo(), 80);
}

TEST_P(GridRecords, DBParamsAssignCopiesAndThePropertiesArePublished) {
  TgpDBParams other;
  other.SetEnableRecNo(false);
  G().SetParamsDB(&other);
  EXPECT_FALSE(G().ParamsDB()->EnableRecNo());
  EXPECT_NE(G().ParamsDB(), &other);  // copied, never replaced
  for (const char* name : {"CursorType", "UniqueFields", "BookmarkFields", "ParamsDB", "OnSelectionChange"})
    EXPECT_TRUE(IsPublishedProp(&G(), name)) << name;
  SetEnumProp(&G(), "CursorType", "gctInsensitiveID");
  EXPECT_EQ(G().CursorType(), gctInsensitiveID);
}

// ---------------------------------------------------------------------------------------------
// Equality

TEST_P(GridRecords, AKeyEditedUnderTheSameBookmarkIsAnotherRecordOnlyByThatKey) {
  G().SetCursorType(gctInsensitiveBmrk);
  struct Case {
    const char* unique;
    bool equalAfterEdit;
  };
  for (const Case& c : std::vector<Case>{{"NAME", false}, {"ID;NAME", false}, {"ID", true}, {"", true}}) {
    G().SetUniqueFields(c.unique);
    GoTo(5);
    TgpRecShot shot(&G());
    shot.Init(DS().Bookmark());
    EXPECT_TRUE(shot.IsEqual());
    DS().Next();
    EXPECT_FALSE(shot.IsEqual()) << c.unique;
    SetName(5, Variant("Renamed"));
    EXPECT_EQ(shot.IsEqual(), c.equalAfterEdit) << c.unique;
    SetName(5, Variant(ItemName(5)));
  }
}

// ---------------------------------------------------------------------------------------------
// Re-finding by bookmark and by key

TEST_P(GridRecords, ARecordAddedAgainIsFoundByKeyNotByBookmark) {
  G().SetUniqueFields("NAME");
  struct Case {
    TgpCursorType type;
    bool found;
  };
  for (const Case& c : std::vector<Case>{{gctInsensitiveBmrk, false}, {gctInsensitiveID, true}}) {
    Open(GetParam().Create(100));
    G().SetUniqueFields("NAME");
    MarkAt(c.type, 5, 5);
    DS().Delete();
    DS().AppendRecord({Variant(105), Variant(ItemName(5))});  // the same name under a new bookmark
    GoTo(50);
    EXPECT_EQ(Shot().GotoRecShot(), c.found);
    EXPECT_EQ(Id(), c.found ? 105 : 50);
  }
}

// ---------------------------------------------------------------------------------------------
// The current row through scrolls

TEST_P(GridRecords, TheCurrentRowFollowsTheViewAndComesBackWithoutADatasetMove) {
  struct Step {
    int move;
    int cursor;      // the record the cursor is on afterwards
    int currentRow;  // the row of record 4, -1 out of view
  };
  const std::vector<Step> steps = {
      {5, 6, 3},     // the cursor moves inside the window; the mark stays
      {6, 12, 1},    // the view scrolls two rows
      {10, 22, -1},  // the mark leaves the view
      {-15, 7, -1},  // the view comes back, still without the mark
      {-4, 3, 1},    // the mark comes back into view at its row
      {-2, 1, 3},
  };
  for (TgpCursorType type : {gctInsensitiveBmrk, gctInsensitiveID}) {
    G().SetUniqueFields(type == gctInsensitiveID ? "ID" : "");
    MarkAt(type, 4, 1);
    for (const Step& s : steps) {
      DS().MoveBy(s.move);
      EXPECT_EQ(Id(), s.cursor) << type;
      EXPECT_EQ(G().CurrentRow(), s.currentRow) << type << " after " << s.move;
      EXPECT_TRUE(G().GetHasCurrent());
    }
    EXPECT_EQ(MarkedId(), 4);
  }
  // Sensitive: the row is the cursor's, always.
  G().SetCursorType(gctSensitive);
  for (const Step& s : steps) {
    DS().MoveBy(s.move);
    EXPECT_EQ(G().CurrentRow(), ActiveRow());
    EXPECT_TRUE(Shot().IsEqual());
  }
}

// ---------------------------------------------------------------------------------------------
// Marks resolved by the search

TEST_P(GridRecords, MarksHandedInAreResolvedWhenTheirRecordIsInView) {
  G().SetUniqueFields("ID");
  G().SetCursorType(gctInsensitiveID);
  struct Case {
    const char* what;
    std::function<void()> select;
    bool resolvedAtOnce;
    int row;
  };
  const std::vector<Case> cases = {
      {"identity in view", [&] { Shot().SelectByID(Variant(7), false, true); }, true, 6},
      {"identity out of view", [&] { Shot().SelectByID(Variant(50), false, true); }, false, -1},
      {"bookmark in view", [&] { Shot().SelectByBookmark(BookmarkOf(9), false, true); }, true, 8},
      {"bookmark out of view", [&] { Shot().SelectByBookmark(BookmarkOf(50), false, true); }, false, -1},
      {"identity located", [&] { Shot().SelectByID(Variant(50), true, true); }, true, -2},
      {"bookmark gone to", [&] { Shot().SelectByBookmark(BookmarkOf(60), true, true); }, true, -2},
  };
  for (const Case& c : cases) {
    DS().First();
    fSelectionChanges = 0;
    c.select();
    EXPECT_EQ(Shot().Resolved(), c.resolvedAtOnce) << c.what;
    EXPECT_TRUE(G().GetHasCurrent()) << c.what;
    EXPECT_EQ(G().CurrentRow(), c.row == -2 ? ActiveRow() : c.row) << c.what;
    EXPECT_EQ(fSelectionChanges, 1) << c.what;
    if (!c.resolvedAtOnce) {
      // Coming into view resolves it: the bookmark of the row is taken.
      GoTo(50);
      EXPECT_TRUE(Shot().Resolved()) << c.what;
      EXPECT_EQ(G().CurrentRow(), ActiveRow()) << c.what;
      EXPECT_EQ(Shot().GetBookmarkPtr(), DS().Bookmark()) << c.what;
    }
  }
}

TEST_P(GridRecords, ANewMarkKeepsNothingOfTheOld) {
  G().SetUniqueFields("ID");
  G().SetCursorType(gctInsensitiveBmrk);
  Shot().SelectByID(Variant(50), false, false);
  Shot().SelectByBookmark(BookmarkOf(60), false, false);
  EXPECT_TRUE(Shot().IdentityValue().IsEmpty());
  EXPECT_EQ(MarkedId(), 60);
  Shot().SelectByID(Variant(70), false, false);
  EXPECT_TRUE(Shot().GetBookmarkPtr().empty());
  GoTo(70);  // an identity alone is equal where it matches, under either insensitive type
  EXPECT_TRUE(Shot().IsEqual());
  EXPECT_EQ(G().CurrentRow(), ActiveRow());
}

// ---------------------------------------------------------------------------------------------
// Bringing the cursor to the mark

TEST_P(GridRecords, SyncCursorsInViewOutOfViewAndDeleted) {
  struct Case {
    const char* what;
    int cursor;
    bool deleteMark;
    bool force;
    bool result;
    int cursorAfter;
    int markAfter;
  };
  const std::vector<Case> cases = {
      {"in view", 8, false, false, true, 4, 4},
      {"in view, forced", 8, false, true, true, 4, 4},
      {"out of view", 50, false, false, true, 4, 4},
      {"out of view, forced", 50, false, true, false, 4, 4},  // moves there, yet reports false
      {"deleted", 50, true, false, false, 50, -1},
      {"deleted, forced", 50, true, true, false, 1, 1},  // marks the first record
  };
  for (const Case& c : cases) {
    Open(GetParam().Create(100));
    MarkAt(gctInsensitiveBmrk, 4, c.deleteMark ? 4 : c.cursor);
    if (c.deleteMark) {
      DS().Delete();
      EXPECT_TRUE(G().GetHasCurrent()) << c.what;  // the mark keeps what it knew
      EXPECT_EQ(G().CurrentRow(), -1) << c.what;
      GoTo(c.cursor);
    }
    EXPECT_EQ(G().SyncCursors(c.force), c.result) << c.what;
    EXPECT_EQ(Id(), c.cursorAfter) << c.what;
    EXPECT_EQ(MarkedId(), c.markAfter) << c.what;
    if (c.result) { EXPECT_EQ(G().CurrentRow(), ActiveRow()) << c.what; }
  }
  G().SetCursorType(gctSensitive);
  EXPECT_TRUE(G().SyncCursors(false));
}

// ---------------------------------------------------------------------------------------------
// Cursor types and switching

TEST_P(GridRecords, CursorTypesAndSwitchingBetweenThem) {
  DS().MoveBy(30);
  EXPECT_TRUE(Shot().IsEqual());  // sensitive: the mark follows the cursor
  EXPECT_EQ(G().CurrentRow(), ActiveRow());

  fSelectionChanges = 0;
  G().SetCursorType(gctInsensitiveBmrk);  // starts with no mark
  EXPECT_FALSE(G().GetHasCurrent());
  EXPECT_EQ(G().CurrentRow(), -1);
  DS().MoveBy(-5);
  EXPECT_FALSE(G().GetHasCurrent());  // moves of the cursor by code do not mark
  Shot().Select(true);
  EXPECT_EQ(fSelectionChanges, 1);
  const int marked = Id();
  DS().MoveBy(2);
  EXPECT_EQ(MarkedId(), marked);
  G().SetUserActionInProgress(true);  // a move of the grid's own takes the mark along
  DS().MoveBy(1);
  EXPECT_EQ(fSelectionChanges, 1);  // inside an action the event waits for the action's end
  G().SetUserActionInProgress(false);
  EXPECT_EQ(fSelectionChanges, 2);
  EXPECT_EQ(MarkedId(), marked + 3);

  // Changing the key fields captures again from the cursor's record.
  DS().MoveBy(2);
  G().SetUniqueFields("ID");
  EXPECT_TRUE(VarIsSame(Shot().IdentityValue(), Variant(marked + 5)));

  G().SetCursorType(gctInsensitiveID);  // another insensitive type drops the mark as well
  EXPECT_FALSE(G().GetHasCurrent());
  G().SetCursorType(gctSensitive);  // back: the cursor's record, announced
  EXPECT_TRUE(Shot().IsEqual());
  EXPECT_EQ(G().CurrentRow(), ActiveRow());
  EXPECT_EQ(fSelectionChanges, 3);
  EXPECT_TRUE(Shot().CurrentChanged());
}

TEST_P(GridRecords, ReopeningKeepsAnIdentityMarkAndRemarksASensitiveGrid) {
  G().SetUniqueFields("ID");
  MarkAt(gctInsensitiveID, 6, 2);
  DS().Close();
  EXPECT_EQ(G().CurrentRow(), -1);
  DS().Open();
  EXPECT_EQ(G().CurrentRow(), 5);  // found again by its key among the rows in view
  EXPECT_EQ(MarkedId(), 6);
  G().SetCursorType(gctSensitive);
  DS().Close();
  DS().Open();
  EXPECT_TRUE(Shot().IsEqual());
  EXPECT_EQ(G().CurrentRow(), 0);
}

// ---------------------------------------------------------------------------------------------
// Inserting and posting

TEST_P(GridRecords, ARecordBeingInsertedIsCurrentAtTheActiveRowAndThePostedOneIsMarked) {
  for (TgpCursorType type : {gctSensitive, gctInsensitiveBmrk}) {
    Open(GetParam().Create(100));
    G().SetCursorType(type);
    GoTo(5);
    G().SetUserActionInProgress(true);  // the grid's own insert
    DS().Insert();
    G().SetUserActionInProgress(false);
    EXPECT_FALSE(G().GetHasCurrent()) << type;  // no bookmark yet
    EXPECT_EQ(G().CurrentRow(), ActiveRow()) << type;
    DS().FieldByName("ID")->SetAsInteger(1000);
    DS().FieldByName("NAME")->SetAsString("New");
    G().SetPosting(true);
    DS().Post();
    G().SetPosting(false);
    EXPECT_TRUE(G().GetHasCurrent()) << type;
    EXPECT_EQ(MarkedId(), 1000) << type;
    EXPECT_EQ(G().CurrentRow(), ActiveRow()) << type;
  }
}

// ---------------------------------------------------------------------------------------------
// Bad input

TEST_P(GridRecords, StaleBookmarksFindNothingAndLeaveTheCursor) {
  auto other = GetParam().Create(300);
  other->Last();
  const TBookmarkStr foreign = other->Bookmark();
  const TBookmarkStr deleted = BookmarkOf(7);
  GoTo(7);
  DS().Delete();
  for (const TBookmarkStr& stale : {deleted, foreign, TBookmarkStr("\x01garbage")}) {
    G().SetCursorType(gctInsensitiveBmrk);
    GoTo(40);
    Shot().SelectByBookmark(stale, true, false);
    EXPECT_EQ(Id(), 40);
    EXPECT_FALSE(Shot().Resolved());
    EXPECT_EQ(G().CurrentRow(), -1);
    EXPECT_FALSE(Shot().GotoRecShot());
    EXPECT_FALSE(G().SyncCursors(false));
    EXPECT_EQ(Id(), 40);
    G().SetCursorType(gctSensitive);
  }
}

TEST_P(GridRecords, MissingKeyFieldsAreRefusedOrLeaveMarksByBookmark) {
  G().SetUniqueFields("ID");
  G().SetBookmarkFields("NAME");
  for (const char* bad : {"CODE", "ID;CODE"}) {
    EXPECT_THROW(G().SetUniqueFields(bad), EDatabaseError);
    EXPECT_THROW(G().SetBookmarkFields(bad), EDatabaseError);
  }
  EXPECT_EQ(G().UniqueFields(), "ID");
  EXPECT_EQ(G().BookmarkFields(), "NAME");
  try {
    G().SetUniqueFields("NAME;CODE");
  } catch (const EDatabaseError& e) {
    EXPECT_NE(e.Message().find("Field 'CODE' not found"), String::npos);
  }

  // Named while no dataset is open, then opened without it: nothing captured there.
  G().SetDataSource(nullptr);
  G().SetUniqueFields("CODE");
  G().SetDataSource(fSource.get());
  MarkAt(gctInsensitiveBmrk, 6, 30);
  EXPECT_TRUE(Shot().IdentityValue().IsEmpty());
  EXPECT_EQ(MarkedId(), 6);  // works by bookmark
  G().SetCursorType(gctInsensitiveID);
  DS().MoveBy(-25);
  Shot().Select(false);
  EXPECT_FALSE(Shot().GotoRecShot());  // re-finding by key is not possible
  Shot().SelectByID(Variant(3), true, true);
  EXPECT_FALSE(G().GetHasCurrent());
}

// An identity that can no longer be trusted: a null part, or a bookmark whose record lost it.
TEST_P(GridRecords, NullKeysAreNeverLocatedAndABookmarkMustKeepItsKey) {
  G().SetUniqueFields("NAME");
  MarkAt(gctInsensitiveID, 10, 10);
  const Variant before = Shot().IdentityValue();
  Shot().SelectByID(Variant::Null(), true, true);  // does nothing
  EXPECT_TRUE(VarIsSame(Shot().IdentityValue(), before));
  EXPECT_EQ(MarkedId(), 10);

  SetName(3, Variant::Null());
  SetName(20, Variant::Null());
  MarkAt(gctInsensitiveID, 20, 50);
  EXPECT_TRUE(Shot().IdentityValue().IsNull());
  EXPECT_TRUE(Shot().GotoRecShot());  // by its bookmark, not the first null name
  EXPECT_EQ(Id(), 20);

  MarkAt(gctInsensitiveBmrk, 12, 12);
  SetName(12, Variant("Other"));
  GoTo(60);
  EXPECT_FALSE(Shot().GotoRecShot());
  EXPECT_EQ(Id(), 60);
  G().SetDataSource(nullptr);
  EXPECT_EQ(G().RowCount(), 1);
}

// ---------------------------------------------------------------------------------------------
// The tool form's record list

TEST_P(GridRecords, AToolFormMarksItsValueAndGetsThePickBack) {
  G().SetUniqueFields("ID");
  G().SetCursorType(gctInsensitiveID);
  auto form = std::make_unique<TTestToolForm>();
  G().tfPostChanges();  // no tool form: nothing
  G().tfSetToolForm(form.get());
  G().tfPostChanges();  // no mark: the form's value stays
  EXPECT_TRUE(VarIsSame(form->Result, Variant("untouched")));

  form->Current = Variant(30);
  fSelectionChanges = 0;
  G().tfCurrentChanged();
  EXPECT_EQ(Id(), 30);
  EXPECT_EQ(MarkedId(), 30);
  EXPECT_EQ(fSelectionChanges, 0);
  G().SetUserActionInProgress(true);  // the user moves the mark
  DS().Next();
  G().SetUserActionInProgress(false);
  EXPECT_GE(form->Changes, 1);
  G().tfPostChanges();
  EXPECT_TRUE(VarIsSame(form->Result, Variant(31)));

  form->Current = Variant(1000);  // no such key: no mark, and posting leaves the form's value
  form->Result = Variant("kept");
  G().tfCurrentChanged();
  EXPECT_FALSE(G().GetHasCurrent());
  G().tfPostChanges();
  EXPECT_TRUE(VarIsSame(form->Result, Variant("kept")));

  form.reset();  // a tool form that goes is forgotten
  EXPECT_EQ(G().ToolForm(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Grid, GridRecords, ::testing::ValuesIn(TestDataSets()),
                         [](const ::testing::TestParamInfo<DataSetFactory>& info) { return info.param.Name; });

// ---------------------------------------------------------------------------------------------
// A SELECT refreshed after another program inserted a row

class GridSelectRefresh : public ::testing::TestWithParam<TgpCursorType> {};

TEST_P(GridSelectRefresh, AMarkByKeySurvivesTheRefreshAMarkByPositionDoesNotNameAnother) {
  auto driver = MakeNullDriver();
  THarness harness(*driver);
  auto query = CreateGridSqlite(100, "SELECT ID, NAME FROM items ORDER BY ID");
  TDataSource source(nullptr);
  source.SetDataSet(query.get());
  TTestGrid grid(nullptr);
  grid.DataLink()->SetBufferCount(10);
  grid.SetDataSource(&source);
  grid.SetUniqueFields("ID");
  grid.SetCursorType(GetParam());
  query->MoveBy(19);
  grid.CurrentRecShot()->Select(false);  // ID 20
  const TBookmarkStr old = grid.CurrentRecShot()->GetBookmarkPtr();
  query->MoveBy(-5);
  {
    sqlite::TSqliteDatabase other(query->FileName());
    other.Execute("INSERT INTO items (ID, NAME) VALUES (0, 'First')");
  }
  query->Refresh();
  const bool byKey = GetParam() == gctInsensitiveID;
  EXPECT_FALSE(query->BookmarkValid(old));
  query->First();
  const bool went = grid.SyncCursors(false);
  EXPECT_EQ(went, byKey);
  if (went) {
    EXPECT_EQ(query->FieldByName("ID")->AsInteger(), 20);
    EXPECT_NE(grid.CurrentRecShot()->GetBookmarkPtr(), old);  // the new position was taken
  } else {
    EXPECT_EQ(query->FieldByName("ID")->AsInteger(), 0);  // never another record
  }
}

INSTANTIATE_TEST_SUITE_P(Grid, GridSelectRefresh, ::testing::Values(gctInsensitiveBmrk, gctInsensitiveID));

}  // namespace
}  // namespace zvtest
