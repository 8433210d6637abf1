// The main window on the headless backend over a generated file: the row order after each title
// click (names that only quoting can sort by), the footer texts after each menu choice, after an
// edit and a delete, the statements they cost, a refused order, views and read-only files.
#include "MainForm.h"

#include "platform/controls/Application.h"
#include "platform/controls/Menus.h"
#include "platform/controls/detail/MenuWindow.h"
#include "platform/db/Sqlite.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Columns.h"

#include "HarnessTest.h"
#include "MenuScript.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

namespace zvtest {
namespace {

using namespace zv;
namespace fs = std::filesystem;

// Column names a sort text could not name unquoted, a keyword, and mixed storage classes.
constexpr const char* kSchema = R"SQL(
CREATE TABLE "odd table" (id INTEGER PRIMARY KEY, "a;b" INTEGER, "x ASC" TEXT, "say ""hi""" REAL,
                          "select" DATE, note TEXT, mixed REAL);
INSERT INTO "odd table" VALUES (1, 30, 'b', 1.5, '2024-03-01', 'one', 1),
                               (2, 10, 'c', 2.25, '2024-01-15', NULL, 'text'),
                               (3, 20, 'a', NULL, '2023-12-31', 'three', 2.5),
                               (4, NULL, 'a', 4, NULL, 'four', NULL);
CREATE VIEW "v" AS SELECT id, "a;b" FROM "odd table" WHERE id < 4;
CREATE TABLE empty (n INTEGER);
CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(40), uuid CHAR(36), code VARCHAR(3), notes TEXT);
INSERT INTO people VALUES (1, 'Ålesund Fisk 4711', '123e4567-e89b-12d3-a456-426614174000', 'NO', 'x');
)SQL";

class MainWindow : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    dir = fs::temp_directory_path() / ("zv-mainform-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    file = (dir / "odd.db").string();
    fs::remove(file);
    sqlite::TSqliteDatabase(file).Execute(kSchema);
  }
  void TearDown() override {
    form.reset();
    Application->OnException = nullptr;
    ::chmod(file.c_str(), 0644);
    fs::remove_all(dir);
    THarnessTest::TearDown();
  }
  TDBDivoRud& G() { return *form->Grid; }
  void Open(const std::string& table) {
    form = std::make_unique<zovrin::TMainForm>(nullptr, file, table, false);
    form->Show();
    h->Pump();
  }
  TgpColumn* Col(const char* name) {
    for (int i = 0; i < G().Columns()->Count(); ++i)
      if (G().Columns()->Items(i)->FieldName() == name) return G().Columns()->Items(i);
    return nullptr;
  }
  void Click(const char* column, TShiftState shift = {}) {
    const TRect r = G().TitleClientRect(Col(column), false);
    h->MouseDown(&G(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, mbLeft, shift);
    h->MouseUp(&G(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, mbLeft, shift);
  }
  // The ids in the dataset's order; the current record stays where it was.
  std::string Ids() {
    TDataSet& ds = *form->DataSet;
    const TBookmarkStr here = ds.Bookmark();
    std::string s;
    for (ds.First(); !ds.Eof(); ds.Next()) s += ds.FieldByName("id")->AsString();
    ds.SetBookmark(here);
    return s;
  }
  // Chooses state in the footer menu of column.
  void Choose(const char* column, int state) {
    TMenuScript script(form.get());
    script.OnNextPopup(zvEnv->pumFooterMenu, [state](TMenuWindow& w) { w.EndTracking(zvEnv->GetFooterStateMenu(state)); });
    const TRect r = G().FooterClientRect(Col(column), true, false);
    h->MouseDown(&G(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, mbRight);
    h->MouseUp(&G(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, mbRight);
  }
  std::string Footers() {
    std::string s;
    for (int i = 0; i < G().Columns()->Count(); ++i) s += G().Columns()->Items(i)->FooterText() + "|";
    return s;
  }

  fs::path dir;
  std::string file;
  std::unique_ptr<zovrin::TMainForm> form;
};

TEST_F(MainWindow, TitleClicksSortByQuotedNamesAndKeepTheCurrentRecord) {
  Open("odd table");
  form->DataSet->Locate("id", Variant(3), {});
  const struct {
    const char* column;
    TShiftState shift;
    const char* ids;
  } clicks[] = {
      {"a;b", {}, "4231"},          // nulls first
      {"a;b", {}, "1324"},          // descending
      {"x ASC", {}, "3412"},        // ties in storage order
      {"a;b", {ssShift}, "4312"},   // then by "a;b" within "x ASC"
      {"say \"hi\"", {}, "3124"},
      {"select", {}, "4321"},
      {"mixed", {}, "4132"},        // numbers before text
      {"mixed", {ssCtrl}, "1234"},  // no sort: the table's order
  };
  for (const auto& c : clicks) {
    Click(c.column, c.shift);
    EXPECT_EQ(Ids(), c.ids) << c.column;
    EXPECT_EQ(form->DataSet->FieldByName("id")->AsInteger(), 3) << c.column << ": the current record stays";
    EXPECT_EQ(form->Message(), "") << c.column;
  }
}

TEST_F(MainWindow, FootersFollowTheMenuEditsAndDeletesComputingOnlyWhatIsNotKnown) {
  Open("odd table");
  EXPECT_EQ(Footers(), "4|||||||") << "the first column counts from the start";
  const struct {
    const char* column;
    TgpColumnFooterState state;
    const char* footers;
    int statements;  // an aggregate already known costs none
  } choices[] = {
      {"a;b", fsSum, "4|60||||||", 1},
      {"a;b", fsAverage, "4|20||||||", 1},
      {"say \"hi\"", fsMax, "4|20||4||||", 1},
      {"say \"hi\"", fsAverage, "4|20||2.58333333333333||||", 1},
      {"select", fsMin, "4|20||2.58333333333333|12/31/2023|||", 1},
      {"select", fsMax, "4|20||2.58333333333333|3/1/2024|||", 1},
      {"note", fsCount, "4|20||2.58333333333333|3/1/2024|3||", 1},
      {"note", fsCount, "4|20||2.58333333333333|3/1/2024|||", 0},  // checked again: off
      {"mixed", fsCount, "4|20||2.58333333333333|3/1/2024||3|", 1},
      {"select", fsMin, "4|20||2.58333333333333|12/31/2023||3|", 0},
  };
  for (const auto& c : choices) {
    const int before = form->FooterStatements();
    Choose(c.column, c.state);
    EXPECT_EQ(Footers(), c.footers) << c.column << " " << c.state;
    EXPECT_EQ(form->FooterStatements() - before, c.statements) << c.column << " " << c.state;
  }
  Choose("select", fsMax);
  const int statements = form->FooterStatements();
  // Scrolling, sorting and a refresh of unchanged data compute nothing.
  form->DataSet->Last();
  Click("a;b");
  form->DataSet->Refresh();
  EXPECT_EQ(form->FooterStatements(), statements);
  // Each write, the dataset's or another connection's, recomputes every footer in one statement.
  TDataSet& ds = *form->DataSet;
  const struct {
    std::function<void()> write;
    const char* footers;
  } writes[] = {
      {[&] { ds.Locate("id", Variant(2), {}), ds.Edit(), ds.FieldByName("a;b")->SetAsInteger(70), ds.Post(); },
       "4|40||2.58333333333333|3/1/2024||3|"},
      {[&] { ds.Locate("id", Variant(1), {}), ds.Delete(); }, "3|45||3.125|1/15/2024||2|"},
      {[&] {
         sqlite::TSqliteDatabase(file).Execute(
             R"(UPDATE "odd table" SET "select" = '2025-02-02', mixed = 7 WHERE id = 4)");
         ds.Refresh();
       },
       "3|45||3.125|2/2/2025||3|"},
      {[&] { ds.Append(), ds.FieldByName("id")->SetAsInteger(9), ds.FieldByName("a;b")->SetAsInteger(5), ds.Post(); },
       "4|31.6666666666667||3.125|2/2/2025||3|"},
  };
  for (const auto& w : writes) {
    const int before = form->FooterStatements();
    w.write();
    EXPECT_EQ(Footers(), w.footers);
    EXPECT_EQ(form->FooterStatements() - before, 1) << w.footers;
  }
}

// Short texts show whole: their column is as wide as the first rows need, within the declared
// size; long or unsized texts wrap in a wide column; numbers stay narrow.
TEST_F(MainWindow, ShortTextColumnsAreAsWideAsTheirRowsNeed) {
  Open("people");
  TCanvas& canvas = *G().Canvas();
  canvas.Font()->Assign(G().Font());
  for (const char* name : {"name", "uuid"}) {
    SCOPED_TRACE(name);
    const String value = form->DataSet->FieldByName(name)->AsString();
    EXPECT_GT(Col(name)->Width(), canvas.TextWidth(value) + 4);
    EXPECT_FALSE(Col(name)->OptionsVisual().Contains(cvoWordWrap));
  }
  EXPECT_LT(Col("name")->Width(), Col("uuid")->Width()) << "forty characters declared, seventeen held";
  EXPECT_EQ(Col("code")->Width(), 95);
  EXPECT_EQ(Col("id")->Width(), 95);
  EXPECT_EQ(Col("notes")->Width(), 170);
  EXPECT_TRUE(Col("notes")->OptionsVisual().Contains(cvoWordWrap));
}

TEST_F(MainWindow, TheFooterMenuOffersWhatAppliesToTheField) {
  Open("odd table");
  const struct {
    const char* column;
    const char* enabled;  // Average, Count, Max, Min, Sum, None
  } cases[] = {{"a;b", "111111"}, {"select", "111101"}, {"note", "010001"}, {"mixed", "010001"}};
  for (const auto& c : cases) {
    std::string seen;
    TMenuScript script(form.get());
    script.OnNextPopup(zvEnv->pumFooterMenu, [&](TMenuWindow&) {
      for (int k = 0; k < TzvEnv::FooterStateCount; ++k) seen += zvEnv->GetFooterStateMenu(k)->Enabled() ? '1' : '0';
    });
    const TRect r = G().FooterClientRect(Col(c.column), true, false);
    h->MouseDown(&G(), r.Left + 5, r.Top + 5, mbRight);
    h->MouseUp(&G(), r.Left + 5, r.Top + 5, mbRight);
    EXPECT_EQ(seen, c.enabled) << c.column;
  }
}

TEST_F(MainWindow, IntegerSumsPastSixtyFourBitsShowTheFloatTotal) {
  sqlite::TSqliteDatabase(file).Execute("CREATE TABLE big (n INTEGER); INSERT INTO big VALUES (9223372036854775807), (10)");
  Open("big");
  Choose("n", fsSum);
  EXPECT_EQ(Col("n")->FooterText(), "9.22337203685478E18");
  EXPECT_EQ(form->Message(), "");
}

TEST_F(MainWindow, ViewsOnlyShowAndEmptyTablesShowNoValue) {
  Open("v");
  EXPECT_TRUE(form->IsView());
  EXPECT_FALSE(form->DataSet->CanModify());
  Choose("a;b", fsSum);
  EXPECT_EQ(Col("a;b")->FooterText(), "60");
  Click("a;b");
  EXPECT_EQ(Ids(), "231");
  form.reset();

  Open("empty");
  EXPECT_TRUE(form->DataSet->CanModify());
  Choose("n", fsMax);
  EXPECT_EQ(Footers(), "|") << "no value: no text";
}

TEST_F(MainWindow, AReadOnlyFileOnlyShowsAndSorts) {
  ::chmod(file.c_str(), 0444);
  if (::access(file.c_str(), W_OK) == 0) GTEST_SKIP() << "running as a user who writes anything";
  Open("odd table");
  EXPECT_FALSE(form->DataSet->CanModify());
  Click("x ASC");
  EXPECT_EQ(Ids(), "3412");
}

TEST_F(MainWindow, AnOrderTheDatasetRefusesIsSaidAndTheTitlesShowTheDataOrder) {
  Open("odd table");
  Click("a;b");
  ASSERT_EQ(Ids(), "4231");
  // A column whose field the dataset does not know (renamed behind its back).
  Col("note")->SetFieldName("gone");
  Click("gone");
  EXPECT_NE(form->Message().find("Invalid sort field 'gone'"), String::npos) << form->Message();
  EXPECT_EQ(Col("a;b")->TitleState(), tsSortedUp);
  EXPECT_EQ(Col("gone")->TitleState(), tsSortedNone);
  EXPECT_EQ(Ids(), "4231");
}

}  // namespace
}  // namespace zvtest
