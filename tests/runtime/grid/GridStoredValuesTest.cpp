// The grid over what a real SQLite file may hold: any storage class in any declared type. Every
// value paints as the dataset shows it; a value its field cannot turn into text shows the
// failure in the disabled-text colour, and the rest of the grid paints; the file is not touched.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/WinApi.h"
#include "platform/db/Sqlite.h"
#include "platform/graphics/Bitmap.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace zvtest {
namespace {

using namespace zv;

std::string FileBytes(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One column per declared type, one row per kind of stored value.
const char* const kDeclaredTypes[] = {"",        "INTEGER", "INT",      "REAL",     "NUMERIC", "DECIMAL(10,2)",
                                      "TEXT",    "VARCHAR(5)", "CLOB",  "BLOB",     "BOOLEAN", "DATE",
                                      "DATETIME", "MONEY"};
const char* const kStoredValues[] = {"NULL",     "42",           "-2.5",     "1e308",      "'abc'",
                                     "x'41'",    "x''",          "'2024-01-02'", "'true'", "'1_Ceres'",
                                     "9223372036854775807"};

enum class Painting { FieldText, PlainVision };

class GridStoredValues : public THarnessTest, public ::testing::WithParamInterface<Painting> {
protected:
  void TearDown() override {
    grid.reset();
    source.reset();
    dataSet.reset();
    vision.reset();
    designer.reset();
    THarnessTest::TearDown();
  }

  // A grid with a column per field of dataSet, each with a footer text, wide enough for its texts.
  void ShowGrid() {
    form = h->TopLevel(0, 0, 800, 400);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(dataSet.get());
    designer = std::make_unique<TStandardDesigner>(nullptr);
    if (GetParam() == Painting::PlainVision) vision = std::make_unique<TvpFieldVision>(nullptr);
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, 780, 380);
    grid->SetShowFooters(true);
    grid->SetDesigner(designer.get());
    grid->SetParent(form);
    grid->Columns()->BeginUpdate();
    for (int i = 0; i < dataSet->FieldCount(); ++i) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(dataSet->Fields()[i]->FieldName());
      c->SetWidth(400);
      c->SetFooterText("Footer" + IntToStr(i));
      if (vision) c->SetVision(vision.get());
    }
    grid->Columns()->EndUpdate();
    grid->SetDataSource(source.get());
    h->Pump();
  }

  // The texts of every title, cell and footer of columns first..last, rows 0..rows - 1.
  std::vector<TPaintOp> PaintTexts(int first, int last, int rows) {
    TBitmap bitmap;
    bitmap.SetSize(400 * (last - first + 1), 20 * (rows + 2));
    grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaTitle, gaCell, gaFooter}, first, last, 0, rows - 1,
                   bitmap.Width(), bitmap.Height());
    return AsNullSurface(&bitmap.Canvas()->Handle())->OpsOf(TPaintOpKind::DrawText);
  }
  static const TPaintOp* Find(const std::vector<TPaintOp>& ops, const String& text) {
    for (const TPaintOp& op : ops)
      if (op.Text == text) return &op;
    return nullptr;
  }

  TProbe* form = nullptr;
  std::unique_ptr<TDataSet> dataSet;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TvpFieldVision> vision;
  std::unique_ptr<TDBDivoRud> grid;
};

TEST_P(GridStoredValues, EveryStorageClassInEveryDeclaredTypePaintsAsTheDatasetShowsIt) {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    String columns;
    for (std::size_t c = 0; c < std::size(kDeclaredTypes); ++c)
      columns += (c ? ", " : "") + Format("c%d %s", {static_cast<int>(c), kDeclaredTypes[c]});
    db.Execute("CREATE TABLE t (" + columns + ")");
    for (const char* value : kStoredValues) {
      String values;
      for (std::size_t c = 0; c < std::size(kDeclaredTypes); ++c) values += (c ? ", " : "") + String(value);
      db.Execute("INSERT INTO t VALUES (" + values + ")");
    }
  }
  const std::string bytes = FileBytes(path);
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("t");
  table->Open();
  dataSet = std::move(table);
  ShowGrid();

  const int rows = static_cast<int>(std::size(kStoredValues));
  ASSERT_GE(grid->DataLink()->RecordCount(), rows) << "every row on screen";
  std::vector<TPaintOp> texts;
  ASSERT_NO_THROW(texts = PaintTexts(0, grid->Columns()->Count() - 1, rows));
  for (int c = 0; c < dataSet->FieldCount(); ++c) {
    SCOPED_TRACE(Format("column of type \"%s\"", {kDeclaredTypes[c]}));
    EXPECT_NE(Find(texts, dataSet->Fields()[c]->FieldName()), nullptr) << "its title";
    EXPECT_NE(Find(texts, "Footer" + IntToStr(c)), nullptr) << "its footer";
    dataSet->First();
    for (int row = 0; row < rows; ++row, dataSet->Next()) {
      TField* field = dataSet->Fields()[c];
      String shown;
      ASSERT_NO_THROW(shown = field->DisplayText()) << kStoredValues[row];
      if (field->IsNull()) continue;  // nothing drawn for an empty text
      EXPECT_NE(Find(texts, shown), nullptr) << kStoredValues[row] << " shown as \"" << shown << "\"";
      if (String(kStoredValues[row]).starts_with("x'")) { EXPECT_EQ(shown, "(BLOB)"); }
    }
  }
  // A real paint, through the window, raises nothing either.
  int raised = 0;
  Application->OnException = [&](TObject*, const std::exception&) { ++raised; };
  grid->InvalidateGrid();
  h->Pump();
  Application->OnException = nullptr;
  EXPECT_EQ(raised, 0);

  EXPECT_TRUE(FileBytes(path) == bytes) << "showing a table writes nothing";
}

// Past the rows the dataset checks when it opens, a typed column may still hold a value of
// another kind: a blob in a text column cannot become text.
TEST_P(GridStoredValues, AValueTheFieldCannotTurnIntoTextShowsItsFailureInTheDisabledColour) {
  auto table = CreateGridSqlite(1);
  {
    sqlite::TSqliteDatabase db(table->FileName());
    db.Execute("WITH RECURSIVE n(i) AS (SELECT 2 UNION ALL SELECT i + 1 FROM n WHERE i < 100002) "
               "INSERT INTO items (ID, NAME) SELECT i, 'Name' FROM n");
    db.Execute("UPDATE items SET NAME = x'00ff' WHERE ID = 100002");
    db.Execute("ALTER TABLE items ADD COLUMN QTY INTEGER DEFAULT 7");
    db.Execute("UPDATE items SET QTY = 'many' WHERE ID = 100002");
  }
  table->Close();
  table->Open();
  ASSERT_EQ(table->FieldByName("NAME")->DataType(), ftString) << "the checked rows all hold texts";
  dataSet = std::move(table);
  ShowGrid();
  dataSet->Last();
  h->Pump();
  const int row = grid->DataLink()->ActiveRecord();
  std::vector<TPaintOp> texts;
  ASSERT_NO_THROW(texts = PaintTexts(0, 2, row + 1));
  std::vector<const TPaintOp*> marks;
  for (const TPaintOp& op : texts)
    if (op.Text.find("Could not convert") != String::npos || op.Text.find("'many'") != String::npos)
      marks.push_back(&op);
  ASSERT_EQ(marks.size(), 2u) << "the failure's message in the text cell and in the number cell, not \"###\"";
  for (const TPaintOp* mark : marks) EXPECT_EQ(mark->Color, ColorToRGB(clGrayText));
  EXPECT_NE(Find(texts, "100002"), nullptr) << "the cells beside it";
  EXPECT_NE(Find(texts, "Footer1"), nullptr) << "the footers after it";
  EXPECT_NE(Find(texts, "Name"), nullptr) << "the rows above it";
  EXPECT_THROW(dataSet->FieldByName("NAME")->AsString(), EVariantError) << "code that asks still learns";

  // An application's handler that fails is the application's to see, whatever it raises.
  dataSet->FieldByName("ID")->OnGetText = [](TField*, String&, bool) { throw EConvertError("the handler's"); };
  EXPECT_THROW(PaintTexts(0, 2, row + 1), EConvertError);
  dataSet->FieldByName("ID")->OnGetText = nullptr;

  // The in-place editor shows it too, and nothing typed replaces the stored bytes.
  if (!vision) return;  // no vision, no editor
  int raised = 0;
  Application->OnException = [&](TObject*, const std::exception&) { ++raised; };
  grid->SetFocus();
  grid->SetCol(1);
  h->Pump();
  h->KeyDown(grid.get(), VK_F1 + 1);
  h->KeyUp(grid.get(), VK_F1 + 1);
  ASSERT_NE(grid->InplaceEditor(), nullptr);
  TControl* editor = grid->InplaceEditor();
  EXPECT_NE(grid->InplaceEditor()->Text().find("Could not convert"), String::npos);
  h->Char(editor, U'x');
  h->KeyDown(editor, VK_RETURN);
  h->KeyUp(editor, VK_RETURN);
  Application->OnException = nullptr;
  EXPECT_EQ(raised, 0);
  EXPECT_EQ(dataSet->State(), dsBrowse);
  sqlite::TSqliteDatabase db(static_cast<TSqliteDataSet*>(dataSet.get())->FileName());
  sqlite::TSqliteStatement stored(db, "SELECT typeof(NAME) FROM items WHERE ID = 100002");
  ASSERT_TRUE(stored.Step());
  EXPECT_EQ(stored.ColumnText(0), "blob");

}

INSTANTIATE_TEST_SUITE_P(, GridStoredValues, ::testing::Values(Painting::FieldText, Painting::PlainVision),
                         [](const auto& info) {
                           return info.param == Painting::FieldText ? "FieldText" : "PlainVision";
                         });

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

// A grid opening on a large file takes no count: its record bar starts from the dataset's
// estimate (here the rowid span, one more than the rows) and settles on the count, once asked,
// when the window next moves.
class GridOverAFile : public THarnessTest {};

TEST_F(GridOverAFile, TheRecordBarStartsFromTheEstimateAndSettlesOnTheCount) {
  auto table = CreateGridSqlite(1000);
  table->Close();
  sqlite::TSqliteDatabase(table->FileName()).Execute("DELETE FROM items WHERE ID = 500");
  table->Open();
  TDataSource source(nullptr);
  source.SetDataSet(table.get());
  TProbe* form = h->TopLevel(0, 0, 400, 300);
  TDBDivoRud grid(nullptr);
  grid.SetScrollBars(ssVertical);
  grid.SetBounds(0, 0, 380, 280);
  grid.SetParent(form);
  grid.SetDataSource(&source);
  h->Pump();
  const int rows = grid.DataLink()->RecordCount();
  ASSERT_GT(rows, 1);
  EXPECT_FALSE(table->RecordCountKnown()) << "the grid took the count";
  EXPECT_EQ(grid.RecordBar().nMax, 1000 - rows + 1);
  EXPECT_EQ(grid.RecordBar().nPos, 1);
  EXPECT_EQ(table->RecordCount(), 999);
  table->MoveBy(rows);  // the window moves: the bar settles
  h->Pump();
  EXPECT_EQ(grid.RecordBar().nMax, 999 - rows + 1);
  grid.SetDataSource(nullptr);
}

// After a new order no index serves, the record's place would cost a count: the thumb stays
// where it was until the place is known, then follows it.
TEST_F(GridOverAFile, TheRecordBarWaitsForThePlaceOfARecordInAnUnindexedOrder) {
  auto table = CreateGridSqlite(1000);
  TDataSource source(nullptr);
  source.SetDataSet(table.get());
  TProbe* form = h->TopLevel(0, 0, 400, 300);
  TDBDivoRud grid(nullptr);
  grid.SetScrollBars(ssVertical);
  grid.SetBounds(0, 0, 380, 280);
  grid.SetParent(form);
  grid.SetDataSource(&source);
  table->SetRecNo(500);
  h->Pump();
  const int thumb = grid.RecordBar().nPos;
  ASSERT_GT(thumb, 300);
  table->SetSortFields("NAME DESC");
  h->Pump();
  EXPECT_FALSE(table->RecNoKnown()) << "the grid counted the record's place";
  EXPECT_EQ(grid.RecordBar().nPos, thumb);
  table->RecNo();  // asked: the place is known from now on
  table->MoveBy(grid.DataLink()->RecordCount());  // the window moves: the thumb follows
  h->Pump();
  EXPECT_EQ(grid.RecordBar().nPos, table->RecNo() - grid.DataLink()->ActiveRecord());
  EXPECT_NE(grid.RecordBar().nPos, thumb);
  grid.SetDataSource(nullptr);
}

}  // namespace
}  // namespace zvtest
