// The SQLite dataset under a filter and stopped mid-read: every read sees only the admitted rows,
// parameters bound with their type, hostile filters refused with nothing run; an interrupted
// sort, filter or open raises EAbort and leaves the dataset as it was.

#define ZV_DATASET_BEHAVIOUR_FIXTURE_ONLY
#include "SqliteDataSetFixture.h"

#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"

#include <sqlite3.h>

#include <fstream>
#include <iterator>

// ---------------------------------------------------------------------------------------------
// Filters

namespace zvtest {
namespace {

String FileBytes(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SqliteFilterTest : public SqliteDataSetTest {
protected:
  TSqliteDataSet& OpenFiltered(const String& filter, const String& sort = "") {
    FillItems(fPath, 100);
    fDataSet = std::make_unique<TSqliteDataSet>(nullptr);
    fDataSet->SetFileName(fPath);
    fDataSet->SetTableName("items");
    fDataSet->SetSortFields(sort);
    fDataSet->Params()->CreateParam(ftInteger, "m", ptInput)->SetValue(Variant(10));
    fDataSet->SetFilter(filter);
    fDataSet->SetFiltered(true);
    fDataSet->Open();
    return *fDataSet;
  }
  std::vector<std::int64_t> Walk() {
    std::vector<std::int64_t> ids;
    for (DS().First(); !DS().Eof(); DS().Next()) ids.push_back(Id());
    return ids;
  }
};

TEST_F(SqliteFilterTest, EveryReadSeesOnlyTheAdmittedRows) {
  TSqliteDataSet& ds = OpenFiltered("ID % :m = 0", "NAME DESC");
  EXPECT_EQ(ds.RecordCount(), 10);
  EXPECT_EQ(Walk(), (std::vector<std::int64_t>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));
  ds.Last();
  EXPECT_EQ(Id(), 10);
  EXPECT_EQ(ds.RecNo(), 10);
  EXPECT_TRUE(ds.Locate("ID", Variant(50), {}));
  EXPECT_EQ(ds.RecNo(), 6);
  EXPECT_FALSE(ds.Locate("ID", Variant(55), {}));
  EXPECT_TRUE(ds.Lookup("ID", Variant(55), "NAME").IsNull());
  EXPECT_EQ(ds.Lookup("ID", Variant(40), "NAME").AsString(), ItemName(40));
  ds.SetRecNo(3);
  EXPECT_EQ(Id(), 80);
  const TBookmarkStr eighty = ds.Bookmark();
  // A bookmark of a row the filter leaves out is not valid while it does.
  ds.SetFiltered(false);
  EXPECT_EQ(Id(), 80);  // still admitted: kept
  EXPECT_TRUE(ds.Locate("ID", Variant(55), {}));
  const TBookmarkStr fiftyFive = ds.Bookmark();
  ds.SetFiltered(true);
  EXPECT_EQ(Id(), 100);  // no longer admitted: the first
  EXPECT_FALSE(ds.BookmarkValid(fiftyFive));
  EXPECT_TRUE(ds.BookmarkValid(eighty));
  EXPECT_GT(ds.CompareBookmarks(eighty, ds.Bookmark()), 0);  // 80 after 100 in NAME DESC
  // A new parameter value reads again, keeping the record it still admits.
  ds.GotoBookmark(eighty);
  ds.Params()->ParamByName("m")->SetValue(Variant(20));
  EXPECT_EQ(ds.RecordCount(), 5);
  EXPECT_EQ(Id(), 80);
  ds.Params()->ParamByName("m")->SetValue(Variant(30));
  EXPECT_EQ(Id(), 90);
  EXPECT_EQ(ds.RecordCount(), 3);
}

TEST_F(SqliteFilterTest, ParametersAreBoundWithTheirType) {
  FillItems(fPath, 0, "CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME TEXT, AMOUNT REAL, DATA BLOB)");
  Other().Execute("INSERT INTO items VALUES (1, 'it''s; -- not code', 1.5, x'00ff'), (2, '2', 2, x'01'), (3, NULL, NULL, NULL), "
                  "(4, '', 0, x'')");
  struct TCase {
    const char* Filter;
    TFieldType Type;
    Variant Value;
    std::vector<std::int64_t> Ids;
  };
  const std::vector<TCase> cases = {
      {"NAME = :v", ftString, Variant(String("it's; -- not code")), {1}},
      {"typeof(:v) = 'integer' AND ID = 1", ftInteger, Variant(2), {1}},
      {"typeof(:v) = 'integer' AND ID = 1", ftString, Variant(String("2")), {}},
      {"NAME = :v", ftString, Variant(String("2")), {2}},
      {"AMOUNT > :v", ftFloat, Variant(1.25), {1, 2}},
      {"ID = :v", ftLargeint, Variant(std::int64_t{3}), {3}},
      {"DATA = :v", ftBlob, VarArrayOfBytes(std::vector<std::uint8_t>{0x00, 0xFF}), {1}},
      {"DATA = :v", ftBlob, VarArrayOfBytes(std::vector<std::uint8_t>{}), {4}},  // empty, not NULL
      {"NAME = :v", ftString, Variant(String()), {4}},
      {"NAME IS :v", ftString, Variant::Null(), {3}},
      {"(NAME = :v) OR (ID = 3 AND :v IS NOT NULL)", ftString, Variant(String("2")), {2, 3}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Filter);
    fDataSet = std::make_unique<TSqliteDataSet>(nullptr);
    fDataSet->SetFileName(fPath);
    fDataSet->SetTableName("items");
    TParam* p = fDataSet->Params()->CreateParam(c.Type, "v", ptInput);
    p->SetValue(c.Value);
    fDataSet->SetFilter(c.Filter);
    fDataSet->SetFiltered(true);
    fDataSet->Open();
    EXPECT_EQ(Walk(), c.Ids);
    EXPECT_EQ(DS().RecordCount(), static_cast<int>(c.Ids.size()));
  }
}

// Each refusal keeps the filter in force, runs nothing and leaves the file's bytes as they were.
TEST_F(SqliteFilterTest, HostileFiltersAreRefusedAndNothingRuns) {
  TSqliteDataSet& ds = OpenFiltered("ID % :m = 0");
  ds.Params()->CreateParam(ftString, "text", ptInput)->SetValue(Variant(String("'); DROP TABLE items; --")));
  const String bytes = FileBytes(fPath);
  const String refused = SFilterNotExpression;
  struct TCase {
    const char* Filter;
    bool Ours;  // our message rather than the database's
  };
  const std::vector<TCase> cases = {
      {"1); DROP TABLE items; --", true},
      {"ID > 0; DELETE FROM items", true},
      {"1) UNION SELECT * FROM items WHERE (1", true},
      {"1 = 1) OR (1 = 1", true},
      {"(ID > 0", true},
      {"ID > 0)", true},
      {"ID > 0 --", true},
      {"ID > 0 /* eats the parenthesis", true},
      {"NAME = 'unterminated", true},
      {"NAME = \"unterminated", true},
      {"load_extension('libevil') IS NULL", true},
      {"ID > ?", true},
      {"ID > @x", true},
      {"ID % :m = 0 AND ?1 = :m", true},  // a mark of its own naming the parameter's place
      {"#x = 10 AND ID % :m = 0", true},  // a mark of its own taking the parameter's place
      {"ID IN (SELECT rowid FROM items WHERE 0) OR (DELETE FROM items) IS NULL", false},
      {"NO_SUCH_COLUMN > 1", false},
      {"ID > :missing", false},
      {"", false},
  };
  const long long before = SqliteStatementsRun(ds);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Filter);
    String message = MessageOf([&] { ds.SetFilter(c.Filter); });
    if (String(c.Filter).empty()) {
      // An empty filter admits every row; restore the one under test.
      EXPECT_EQ(message, "(no error)");
      EXPECT_EQ(ds.RecordCount(), 100);
      ds.SetFilter("ID % :m = 0");
      continue;
    }
    if (c.Ours)
      EXPECT_EQ(message, refused);
    else
      EXPECT_NE(message, "(no error)");
    EXPECT_EQ(ds.Filter(), "ID % :m = 0");
    EXPECT_EQ(ds.RecordCount(), 10);
  }
  // Only the reads of the filter in force ran: counts and windows, never a refused text.
  EXPECT_LE(SqliteStatementsRun(ds) - before, 12);
  // A parameter holding SQL is a value.
  ds.SetFilter("NAME = :text OR ID = 1");
  EXPECT_EQ(Walk(), (std::vector<std::int64_t>{1}));
  ds.Close();
  EXPECT_EQ(FileBytes(fPath), bytes);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM items").AsInt64(), 100);
}

TEST_F(SqliteFilterTest, APostedRecordTheFilterLeavesStaysCurrentUntilTheNextMove) {
  TSqliteDataSet& ds = OpenFiltered("ID % :m = 0 AND NAME <> 'gone'");
  ASSERT_TRUE(ds.Locate("ID", Variant(50), {}));
  ds.Edit();
  F("NAME")->SetAsString("gone");
  ds.Post();
  EXPECT_EQ(Id(), 50);
  EXPECT_EQ(F("NAME")->AsString(), "gone");
  EXPECT_TRUE(ds.RecordOutsideFilter());
  EXPECT_EQ(ds.RecordCount(), 9);
  ds.Next();
  EXPECT_EQ(Id(), 60);
  EXPECT_FALSE(ds.RecordOutsideFilter());
  ds.Prior();
  EXPECT_EQ(Id(), 40);
  EXPECT_EQ(Walk(), (std::vector<std::int64_t>{10, 20, 30, 40, 60, 70, 80, 90, 100}));
  // An inserted record the filter leaves out: current, not counted.
  ds.Append();
  F("ID")->SetAsInteger(133);
  ds.Post();
  EXPECT_EQ(Id(), 133);
  EXPECT_TRUE(ds.RecordOutsideFilter());
  EXPECT_EQ(ds.RecordCount(), 9);
  ds.Refresh();
  EXPECT_EQ(ds.RecordCount(), 9);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM items").AsInt64(), 101);
}

TEST_F(SqliteFilterTest, AQueryTakesAFilterOverItsOwnColumns) {
  FillItems(fPath, 30);
  TSqliteDataSet& ds = OpenQuery("SELECT ID AS N, NAME FROM items WHERE ID > 10");
  ds.SetFilter("N % 5 = 0");
  ds.SetFiltered(true);
  std::vector<std::int64_t> ids;
  for (ds.First(); !ds.Eof(); ds.Next()) ids.push_back(F("N")->AsLargeInt());
  EXPECT_EQ(ids, (std::vector<std::int64_t>{15, 20, 25, 30}));
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_TRUE(ds.Locate("N", Variant(25), {}));
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(MessageOf([&] { ds.SetFilter("N > 0); SELECT (1"); }), SFilterNotExpression);
  EXPECT_EQ(ds.RecordCount(), 4);
}

}  // namespace
}  // namespace zvtest

// ---------------------------------------------------------------------------------------------
// Stopping a long read

namespace zvtest {
namespace {

class SqliteInterruptTest : public SqliteDataSetTest {
protected:
  // Enough rows that a sort or scan of NAME (no index) runs many progress steps.
  void SetUp() override {
    SqliteDataSetTest::SetUp();
    Other().Execute("CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME TEXT, N INTEGER)");
    Other().Execute("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 60000) "
                    "INSERT INTO items SELECT x, printf('n%06d', (x * 7919) % 60000), x % 7 FROM c");
  }
  // Stops the next long read, once, by one of the two ways an application has.
  void StopNextRead(bool byInterrupt) {
    fCalls = 0;
    DS().OnProgress = [this, byInterrupt](TDataSet*, bool& stop) {
      if (++fCalls > 1) return;
      if (byInterrupt)
        DS().Interrupt();
      else
        stop = true;
    };
  }
  int fCalls = 0;
};

// A window of rows, as a grid keeps, noting the order and filter of each change it hears of.
struct TOrderNotingLink : TDataLink {
  std::vector<String> Heard;
  void DataSetChanged() override {
    const auto* ds = static_cast<const TSqliteDataSet*>(DataSet());
    Heard.push_back(ds->SortFields() + "|" + ds->Filter());
  }
};

TEST_F(SqliteInterruptTest, AnInterruptedReadRaisesEAbortAndLeavesTheDataSetAsItWas) {
  struct TCase {
    const char* Name;
    std::function<void(TSqliteDataSet&)> Run;
  };
  const std::vector<TCase> cases = {
      {"sort", [](TSqliteDataSet& ds) { ds.SetSortFields("NAME DESC"); }},
      {"count", [](TSqliteDataSet& ds) { ds.RecordCount(); }},
      {"locate", [](TSqliteDataSet& ds) { ds.Locate("NAME", Variant(String("no such name")), {}); }},
      {"filter", [](TSqliteDataSet& ds) { ds.SetFilter("NAME > 'n05' AND N = 3"); }},
      {"lookup", [](TSqliteDataSet& ds) { ds.Lookup("NAME", Variant(String("none")), "ID"); }},
  };
  for (const bool byInterrupt : {false, true}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(String(c.Name) + (byInterrupt ? " by Interrupt" : " by the callback"));
      TSqliteDataSet& ds = Open("items", "N");
      TDataSource source(nullptr);
      TOrderNotingLink grid;  // a new order reads the window at once
      grid.SetBufferCount(12);
      source.SetDataSet(&ds);
      grid.SetDataSource(&source);
      ds.SetFilter("ID > 10");
      ds.SetFiltered(true);
      ds.MoveBy(5);
      const std::int64_t id = Id();
      StopNextRead(byInterrupt);
      grid.Heard.clear();
      EXPECT_THROW(c.Run(ds), EAbort);
      EXPECT_GT(fCalls, 0);
      // A control asking during the failed read would read on through the dropped cursor.
      for (const String& heard : grid.Heard) EXPECT_EQ(heard, "N|ID > 10") << "a control heard of the unfinished window";
      ds.OnProgress = nullptr;
      EXPECT_EQ(ds.SortFields(), "N");
      EXPECT_EQ(ds.Filter(), "ID > 10");
      EXPECT_EQ(Id(), id);
      // The order in force is the old one, and reads work again.
      ds.Next();
      EXPECT_EQ(F("N")->AsInteger(), 0);
      EXPECT_EQ(ds.RecordCount(), 60000 - 10);
      grid.SetDataSource(nullptr);
    }
  }
}

TEST_F(SqliteInterruptTest, AnInterruptedOpenLeavesTheDataSetClosed) {
  fDataSet = std::make_unique<TSqliteDataSet>(nullptr);
  fDataSet->SetFileName(fPath);
  fDataSet->SetTableName("items");
  fDataSet->SetSortFields("NAME");
  StopNextRead(false);
  EXPECT_THROW(fDataSet->Open(), EAbort);
  EXPECT_FALSE(fDataSet->Active());
  fDataSet->OnProgress = nullptr;
  fDataSet->Open();
  EXPECT_EQ(F("NAME")->AsString(), "n000000");
}

// Nothing running, twice, or asked during a write: nothing happens, and a write completes.
TEST_F(SqliteInterruptTest, InterruptsOutsideAReadDoNothing) {
  Other().Execute("CREATE TABLE log (X)");
  Other().Execute("CREATE TRIGGER t AFTER UPDATE ON items BEGIN "
                  "INSERT INTO log WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 20000) "
                  "SELECT x FROM c; END");
  TSqliteDataSet& ds = Open("items");
  ds.Interrupt();
  ds.Interrupt();
  ds.Next();
  EXPECT_EQ(Id(), 2);
  EXPECT_EQ(ds.RecordCount(), 60000);
  int calls = 0;
  ds.OnProgress = [&](TDataSet*, bool& stop) {
    ++calls;
    stop = true;
  };
  ds.BeforePost = [&](TDataSet*) { ds.Interrupt(); };
  ds.Edit();
  F("NAME")->SetAsString("written");
  ds.Post();
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(Scalar("SELECT count(*) FROM log").AsInt64(), 20000);
  EXPECT_EQ(Scalar("SELECT NAME FROM items WHERE ID = 2").AsString(), "written");
}

}  // namespace
}  // namespace zvtest
