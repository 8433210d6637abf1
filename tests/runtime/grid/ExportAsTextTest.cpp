// The grid's records as delimited text on the memory table and an SQLite table: exact texts
// (quoting, separators, edit texts, hidden columns, a record in edit), a spreadsheet reader
// (Python's csv module) reading every hard cell back, progress and cancel with each way out,
// and the failures: files that cannot be written, handlers that raise or pull the data away.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Streams.h"
#include "platform/db/Fields.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/ExportAsText.h"
#include "runtime/rtm/ZvErrors.h"

#include "ExpectMessage.h"
#include "HarnessTest.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace zvtest {
namespace {

namespace fs = std::filesystem;

// ID, NAME (text), AMOUNT (real); a null Variant is NULL.
using TRows = std::vector<std::vector<Variant>>;

class TUnsequencedTable : public TMemTable {
public:
  using TMemTable::TMemTable;
  bool IsSequenced() const override { return false; }
};

std::unique_ptr<TDataSet> MemTable(const TRows& rows, bool sequenced = true) {
  auto table = sequenced ? std::make_unique<TMemTable>(nullptr) : std::make_unique<TUnsequencedTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 20000);
  table->FieldDefs().Add("AMOUNT", ftFloat);
  table->CreateDataSet();
  for (const auto& row : rows) table->AppendRecord(row);
  table->First();
  return table;
}

std::unique_ptr<TDataSet> SqliteTable(const TRows& rows, bool = true) {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("PRAGMA synchronous = OFF; CREATE TABLE t (ID INTEGER, NAME TEXT, AMOUNT REAL); BEGIN");
    sqlite::TSqliteStatement insert(db, "INSERT INTO t VALUES (?, ?, ?)");
    for (const auto& row : rows) {
      insert.Reset();
      insert.BindAll(row);
      insert.Step();
    }
    db.Execute("COMMIT");
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("t");
  table->Open();
  return table;
}

TRows Numbered(int count) {
  TRows rows;
  for (int i = 1; i <= count; ++i) rows.push_back({Variant(i), Variant(ItemName(i)), Variant(i * 1000.5)});
  return rows;
}

String FileText(const String& name) {
  std::ifstream in(name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void PutFile(const String& name, const String& text) { std::ofstream(name, std::ios::binary) << text; }

// Files in folder other than the ones named.
std::vector<String> Strays(const fs::path& folder, const std::vector<String>& known) {
  std::vector<String> strays;
  for (const auto& entry : fs::directory_iterator(folder))
    if (std::find(known.begin(), known.end(), entry.path().string()) == known.end())
      strays.push_back(entry.path().string());
  return strays;
}

using TFactory = std::unique_ptr<TDataSet> (*)(const TRows&, bool);

// Public: the cases' set-ups reach into the fixture.
class ExportAsText : public ::testing::TestWithParam<TFactory> {
public:
  void SetUp() override {
    fDriver = MakeNullDriver();
    fHarness = std::make_unique<THarness>(*fDriver);
    fFolder = fs::temp_directory_path() / ("zv-export-" + std::to_string(::getpid()));
    fs::create_directories(fFolder);
  }
  void TearDown() override {
    fExport.reset();
    fGrid.reset();
    fSource.reset();
    fDataSet.reset();
    fHarness.reset();
    fDriver.reset();
    std::error_code ignored;
    fs::permissions(fFolder, fs::perms::owner_all, ignored);
    fs::remove_all(fFolder, ignored);
  }
  void Open(const TRows& rows, bool sequenced = true) {
    fExport.reset();
    fGrid.reset();
    fDataSet = GetParam()(rows, sequenced);
    fSource = std::make_unique<TDataSource>(nullptr);
    fSource->SetDataSet(fDataSet.get());
    fGrid = std::make_unique<TDBDivoRud>(nullptr);
    fGrid->SetBounds(0, 0, 400, 200);
    fGrid->SetDataSource(fSource.get());
    fGrid->CreateDefColumns(true);
    fExport = std::make_unique<TgpExportAsText>(fGrid.get());
  }
  TNumericField& Amount() { return static_cast<TNumericField&>(*fDataSet->FieldByName("AMOUNT")); }
  String File(const String& name) const { return (fFolder / name).string(); }
  // The data is usable again: controls enabled, the grid unfrozen, a second export complete.
  void ExpectUsable() {
    EXPECT_FALSE(fDataSet->ControlsDisabled());
    EXPECT_EQ(fGrid->FreezeCount(), 0);
    if (!fDataSet->Active()) return;
    TgpExportProgressEvent handler = std::move(fExport->OnProgress);
    fExport->OnProgress = nullptr;
    const String again = fExport->DoExport();
    EXPECT_TRUE(fDataSet->Eof());
    EXPECT_EQ(again.empty(), fGrid->Columns()->GetVisibleCount() == 0 && fDataSet->IsEmpty());
    fExport->OnProgress = std::move(handler);
  }

  std::unique_ptr<TControlDriver> fDriver;
  std::unique_ptr<THarness> fHarness;
  std::unique_ptr<TDataSet> fDataSet;
  std::unique_ptr<TDataSource> fSource;
  std::unique_ptr<TDBDivoRud> fGrid;
  std::unique_ptr<TgpExportAsText> fExport;
  fs::path fFolder;
};

TEST_P(ExportAsText, ExactTexts) {
  const TRows hard = {{Variant(1), Variant("plain"), Variant(2.5)},
                      {Variant(2), Variant("tab\there"), Variant()},
                      {Variant(3), Variant("say \"hi\""), Variant(-1.0)},
                      {Variant(4), Variant("two\r\nlines"), Variant(0.0)},
                      {Variant(5), Variant("a;b"), Variant(1234.5)},
                      {Variant(6), Variant(), Variant(7.0)}};
  struct TCase {
    const char* Name;
    TRows Rows;
    std::function<void(ExportAsText&)> Setup;
    String Expected;
  };
  const std::vector<TCase> cases = {
      {"ordinary data as the raw text", Numbered(2), nullptr,
       "ID\tNAME\tAMOUNT\r\n1\tName001\t1000.5\r\n2\tName002\t2001"},
      {"an empty dataset: the captions only", {}, nullptr, "ID\tNAME\tAMOUNT"},
      {"a closed dataset: nothing", Numbered(2), [](ExportAsText& t) { t.fDataSet->Close(); }, ""},
      {"no visible column: a row separator per record", Numbered(3),
       [](ExportAsText& t) { t.fGrid->Columns()->HideColumns(); }, "\r\n\r\n\r\n"},
      {"a hidden column and a field's label", Numbered(2),
       [](ExportAsText& t) {
         t.fGrid->Columns()->Items(0)->SetVisible(false);
         t.fDataSet->FieldByName("NAME")->SetDisplayLabel("Full name");
       },
       "Full name\tAMOUNT\r\nName001\t1000.5\r\nName002\t2001"},
      {"as needed: what holds a quote, a line break or a separator", hard, nullptr,
       "ID\tNAME\tAMOUNT\r\n1\tplain\t2.5\r\n2\t\"tab\there\"\t\r\n3\t\"say \"\"hi\"\"\"\t-1\r\n"
       "4\t\"two\r\nlines\"\t0\r\n5\ta;b\t1234.5\r\n6\t\t7"},
      {"all quoted, empty cells too", {hard[0], hard[5]}, [](ExportAsText& t) { t.fExport->SetQuoting(eqAll); },
       "\"ID\"\t\"NAME\"\t\"AMOUNT\"\r\n\"1\"\t\"plain\"\t\"2.5\"\r\n\"6\"\t\"\"\t\"7\""},
      {"none: raw cells", hard, [](ExportAsText& t) { t.fExport->SetQuoting(eqNone); },
       "ID\tNAME\tAMOUNT\r\n1\tplain\t2.5\r\n2\ttab\there\t\r\n3\tsay \"hi\"\t-1\r\n"
       "4\ttwo\r\nlines\t0\r\n5\ta;b\t1234.5\r\n6\t\t7"},
      {"other separators quote what holds them, and only that", hard,
       [](ExportAsText& t) {
         t.fExport->SetColSep(";");
         t.fExport->SetRowSep("|");
       },
       "ID;NAME;AMOUNT|1;plain;2.5|2;tab\there;|3;\"say \"\"hi\"\"\";-1|4;\"two\r\nlines\";0|5;\"a;b\";1234.5|6;;7"},
      {"empty separators run together; quoting ignores them", {hard[0], hard[4]},
       [](ExportAsText& t) {
         t.fExport->SetColSep("");
         t.fExport->SetRowSep("");
       },
       "IDNAMEAMOUNT1plain2.55a;b1234.5"},
      {"display texts through the display format, quoted where it writes the separator", {hard[4]},
       [](ExportAsText& t) {
         t.Amount().SetDisplayFormat("#,##0.00");
         t.fExport->SetColSep(",");
       },
       "ID,NAME,AMOUNT\r\n5,a;b,\"1,234.50\""},
      {"edit texts", {hard[4]},
       [](ExportAsText& t) {
         t.Amount().SetDisplayFormat("#,##0.00");
         t.Amount().SetEditFormat("0.0");
         t.fExport->SetDisplayText(false);
       },
       "ID\tNAME\tAMOUNT\r\n5\ta;b\t1234.5"},
      {"a record in edit is posted first", Numbered(2),
       [](ExportAsText& t) {
         t.fDataSet->Last();
         t.fDataSet->Edit();
         t.fDataSet->FieldByName("NAME")->SetAsString("Changed");
       },
       "ID\tNAME\tAMOUNT\r\n1\tName001\t1000.5\r\n2\tChanged\t2001"},
      {"bytes that are not UTF-8 become U+FFFD", {{Variant(1), Variant(String("a\xC3(b\xFF")), Variant(1.0)}},
       nullptr, "ID\tNAME\tAMOUNT\r\n1\ta\xEF\xBF\xBD(b\xEF\xBF\xBD\t1"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Open(c.Rows);
    if (c.Setup) c.Setup(*this);
    EXPECT_EQ(fExport->DoExport(), c.Expected);
    EXPECT_TRUE(!fDataSet->Active() || fDataSet->Eof()) << "left at the end";
    EXPECT_TRUE(!fDataSet->Active() || fDataSet->State() == dsBrowse);
    // The stream gets the same text; the file the same after the byte-order mark.
    TStringStream stream;
    fExport->SaveToStream(stream);
    EXPECT_EQ(stream.DataString(), c.Expected);
    fExport->SaveToFile(File("out.txt"));
    EXPECT_EQ(FileText(File("out.txt")), "\xEF\xBB\xBF" + c.Expected);
    ExpectUsable();
  }
  fExport->SetWriteBOM(false);
  fExport->SaveToFile(File("out.txt"));
  EXPECT_EQ(FileText(File("out.txt")), fExport->DoExport());
}

// What a spreadsheet reads: Python's csv module (a reader written by others) gets back every
// caption and cell, in both dialects.
TEST_P(ExportAsText, ASpreadsheetReaderGetsEveryCellBack) {
  if (std::system("python3 -c 'import csv' >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
  const std::vector<String> cells = {
      "a,b", "tab\tin", "semi;colon", "say \"hi\"", "\"", "cr\ronly", "lf\nonly", "crlf\r\nboth", "  lead",
      "trail  ", "", "Crème brûlée", "漢字かな", "🎉 party", "שלום עולם", String(10'000, 'x') + "\"end"};
  TRows rows;
  for (std::size_t i = 0; i < cells.size(); ++i)
    rows.push_back({Variant(static_cast<int>(i)), Variant(cells[i]), Variant(0.5)});
  rows.push_back({Variant(), Variant(), Variant()});  // NULLs read back as empty cells
  Open(rows);
  fDataSet->FieldByName("NAME")->SetDisplayLabel("Name, \"quoted\"");
  // The expected table, every cell as hex so that no reader of ours stands in between.
  const auto hex = [](const String& s) {
    String out;
    for (unsigned char c : s) out += Format("%.2x", {static_cast<int>(c)});
    return out.empty() ? String(".") : out;
  };
  std::ostringstream expected;
  expected << hex("ID") << ' ' << hex("Name, \"quoted\"") << ' ' << hex("AMOUNT") << '\n';
  for (std::size_t i = 0; i < cells.size(); ++i) expected << hex(std::to_string(i)) << ' ' << hex(cells[i]) << ' ' << hex("0.5") << '\n';
  expected << ". . .\n";
  PutFile(File("expected.txt"), expected.str());
  PutFile(File("check.py"),
          "import csv, sys\n"
          "want = [[bytes.fromhex(c).decode() if c != '.' else '' for c in l.split()] for l in open(sys.argv[1])]\n"
          "with open(sys.argv[2], newline='', encoding='utf-8-sig') as f:\n"
          "    got = list(csv.reader(f, dialect=sys.argv[3]))\n"
          "if got != want:\n"
          "    print(next((i, g, w) for i, (g, w) in enumerate(zip(got + [None] * 99, want)) if g != w))\n"
          "    sys.exit(1)\n");
  for (const auto& [dialect, sep] : {std::pair{"excel", ","}, std::pair{"excel-tab", "\t"}}) {
    SCOPED_TRACE(dialect);
    fExport->SetColSep(sep);
    fExport->SaveToFile(File("out.csv"));
    const String command = "python3 " + File("check.py") + " " + File("expected.txt") + " " + File("out.csv") + " " + dialect;
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
}

TEST_P(ExportAsText, ProgressReportsInSteps) {
  struct TCase {
    int Records;
    int Step;
    bool Sequenced;
    std::vector<int> Done;
  };
  const std::vector<TCase> cases = {{0, 1000, true, {0}},         {3, 1000, true, {0, 3}},
                                    {4, 2, true, {0, 2, 4}},      {5, 2, true, {0, 2, 4, 5}},
                                    {1, 1, true, {0, 1}},         {2500, 1000, true, {0, 1000, 2000, 2500}},
                                    {5, 2, false, {0, 2, 4, 5}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Records << " records, step " << c.Step);
    if (!c.Sequenced && GetParam() == &SqliteTable) continue;  // an SQLite table counts
    Open(Numbered(c.Records), c.Sequenced);
    fExport->SetProgressStep(c.Step);
    std::vector<int> done;
    fExport->OnProgress = [&](TObject* sender, int d, int total, bool&) {
      EXPECT_EQ(sender, fExport.get());
      EXPECT_EQ(total, c.Sequenced ? c.Records : -1);
      // Reported once the record is written, before the move to the next.
      if (d > 0) {
        EXPECT_EQ(fDataSet->FieldByName("ID")->AsInteger(), d);
      }
      EXPECT_TRUE(fDataSet->ControlsDisabled());
      EXPECT_EQ(fGrid->FreezeCount(), 1);
      done.push_back(d);
    };
    TStringStream stream;
    fExport->SaveToStream(stream);
    EXPECT_EQ(done, c.Done);
  }
  fExport->SetProgressStep(7);
  EXPECT_EQ(MessageOf<EZVError>([&] { fExport->SetProgressStep(0); }), "Value must be positive (0)");
  EXPECT_EQ(fExport->ProgressStep(), 7);
}

TEST_P(ExportAsText, CancelLeavesTheTargetAndTheDataAsTheyWere) {
  const String target = File("target.csv");
  for (const char* way : {"DoExport", "SaveToStream", "SaveToFile"}) {
    for (const int at : {0, 40, 100}) {  // the first, a middle and the last event
      SCOPED_TRACE(testing::Message() << way << " cancelled at " << at);
      Open(Numbered(100));
      PutFile(target, "old");
      fExport->SetProgressStep(20);
      fExport->OnProgress = [&](TObject*, int done, int, bool& cancel) { cancel = done == at; };
      const String method = way;
      EXPECT_THROW(
          {
            TStringStream stream;
            if (method == "DoExport") fExport->DoExport();
            else if (method == "SaveToStream") fExport->SaveToStream(stream);
            else fExport->SaveToFile(target);
          },
          EAbort);
      EXPECT_EQ(FileText(target), "old");
      EXPECT_EQ(Strays(fFolder, {target}), std::vector<String>{});
      // On the last record written (the first when none was).
      EXPECT_EQ(fDataSet->FieldByName("ID")->AsInteger(), std::max(at, 1));
      ExpectUsable();
    }
  }
}

// The target is left as it was, no temporary file stays, and the data is usable.
TEST_P(ExportAsText, FailuresLeaveNothingBehind) {
  const String target = File("target.csv");
  struct TCase {
    const char* Name;
    std::function<void(ExportAsText&)> Setup;
    std::function<void(ExportAsText&)> Cleanup;
    const char* Message;  // of the exception raised, %s the target
  };
  rlimit fileSize{};
  const std::vector<TCase> cases = {
      {"a read-only target", [&](ExportAsText&) { ::chmod(target.c_str(), 0444); },
       [&](ExportAsText&) { ::chmod(target.c_str(), 0644); }, "Cannot create file %s"},
      {"a read-only folder", [&](ExportAsText& t) { ::chmod(t.fFolder.c_str(), 0555); },
       [&](ExportAsText& t) { ::chmod(t.fFolder.c_str(), 0755); }, "Cannot create file %s"},
      {"a full disk",
       [&](ExportAsText&) {
         // The file-size limit fails a write as a full disk does.
         std::signal(SIGXFSZ, SIG_IGN);
         ::getrlimit(RLIMIT_FSIZE, &fileSize);
         rlimit small = fileSize;
         small.rlim_cur = 48 * 1024;
         ::setrlimit(RLIMIT_FSIZE, &small);
       },
       [&](ExportAsText&) {
         ::setrlimit(RLIMIT_FSIZE, &fileSize);
         std::signal(SIGXFSZ, SIG_DFL);
       },
       "Cannot write file %s"},
      {"a field's OnGetText raises",
       [](ExportAsText& t) {
         t.fDataSet->FieldByName("NAME")->OnGetText = [](TField* f, String& text, bool) {
           if (f->DataSet()->FieldByName("ID")->AsInteger() == 2000) throw EConvertError("no text for 2000");
           text = "x";
         };
       },
       [](ExportAsText& t) { t.fDataSet->FieldByName("NAME")->OnGetText = nullptr; }, "no text for 2000"},
      {"a handler closes the dataset",
       [](ExportAsText& t) {
         t.fExport->OnProgress = [&t](TObject*, int done, int, bool&) {
           if (done == 2000) t.fDataSet->Close();
         };
       },
       nullptr, "Cannot perform this operation on a closed dataset"},
      {"a handler removes the columns",
       [](ExportAsText& t) {
         t.fExport->OnProgress = [&t](TObject*, int done, int, bool&) {
           if (done == 2000) t.fGrid->Columns()->Clear();
         };
       },
       nullptr, "List index out of bounds (0)"},
      {"a handler unfreezes the grid once too often",
       [](ExportAsText& t) {
         t.fExport->OnProgress = [&t](TObject*, int done, int, bool&) {
           if (done == 0) t.fGrid->UnfreezeGrid(false);
         };
       },
       nullptr, "Method call was cancelled (UnfreezeGrid)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Open(Numbered(4000));
    PutFile(target, "old");
    c.Setup(*this);
    String message = "<no exception>";
    try {
      fExport->SaveToFile(target);
    } catch (const Exception& e) {
      message = e.Message();
    }
    if (c.Cleanup) c.Cleanup(*this);
    EXPECT_EQ(message, Format(c.Message, {target}));
    EXPECT_EQ(FileText(target).substr(0, 10), "old");
    EXPECT_EQ(Strays(fFolder, {target}), std::vector<String>{});
    ExpectUsable();
  }
  // A record in edit whose post fails: nothing is written.
  Open(Numbered(3));
  fDataSet->Edit();
  fDataSet->FieldByName("NAME")->SetAsString("Changed");
  fDataSet->BeforePost = [](TDataSet*) { throw EDatabaseError("refused"); };
  TStringStream stream;
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { fExport->SaveToStream(stream); }), "refused");
  EXPECT_EQ(stream.DataString(), "");
  fDataSet->BeforePost = nullptr;
  fDataSet->Cancel();
  ExpectUsable();
  EXPECT_EQ(MessageOf<EFCreateError>([&] { fExport->SaveToFile(File("missing/out.csv")); }),
            "Cannot create file " + File("missing/out.csv"));
  EXPECT_EQ(MessageOf<EFCreateError>([&] { fExport->SaveToFile(fFolder.string()); }),
            "Cannot create file " + fFolder.string());
  EXPECT_EQ(Strays(fFolder, {target}), std::vector<String>{});
}

INSTANTIATE_TEST_SUITE_P(DataSets, ExportAsText, ::testing::Values(&MemTable, &SqliteTable),
                         [](const auto& info) { return info.param == &MemTable ? "MemTable" : "Sqlite"; });

}  // namespace
}  // namespace zvtest
