// Searching by typing, driven by keys through the harness over the in-memory table and an SQLite
// table: how a search starts and ends, the typed text and its prompt, next and previous at both
// ends, the cursor types, numbers and text in any script, and the parameters as stored.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Application.h"
#include "platform/controls/Menus.h"
#include "platform/db/DBConsts.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridHint.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <set>

namespace zvtest {
namespace {

// Record n is ID n with the n-th name; the 12th name is NULL.
const char* const kNames[] = {"Alpha", "beta", "Straße", "ΣΟΦΟΣ", "e\u0301cole", "école", "a\u00A0b", "東京",
                              "😀 smile", "Alpine", "Beta2", nullptr, "alpha"};
constexpr int kCount = sizeof(kNames) / sizeof(kNames[0]);

std::unique_ptr<TDataSet> NamesMemTable() {
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 40);
  table->CreateDataSet();
  for (int i = 1; i <= kCount; ++i)
    table->AppendRecord({Variant(i), kNames[i - 1] ? Variant(String(kNames[i - 1])) : Variant::Null()});
  table->First();
  return table;
}

std::unique_ptr<TDataSet> NamesSqlite() {
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME VARCHAR(40))");
    for (int i = 1; i <= kCount; ++i) {
      const String name = kNames[i - 1] ? "'" + String(kNames[i - 1]) + "'" : String("NULL");
      db.Execute("INSERT INTO items VALUES (" + std::to_string(i) + ", " + name + ")");
    }
  }
  auto table = std::make_unique<TGridSqliteDataSet>();
  table->SetFileName(path);
  table->SetTableName("items");
  table->Open();
  return table;
}

struct Source {
  const char* Name;
  std::unique_ptr<TDataSet> (*Create)();
};
void PrintTo(const Source& s, std::ostream* os) { *os << s.Name; }

constexpr Word kF3 = 0x72;
const TShortCut kNext = ShortCut(kF3, {});
const TShortCut kPrev = ShortCut(kF3, {ssShift});

class AutoSearch : public ::testing::TestWithParam<Source> {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    form = h->TopLevel(10, 20, 500, 420);
    designer = std::make_unique<TStandardDesigner>(nullptr);
    ds = GetParam().Create();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(ds.get());
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetDesigner(designer.get());
    grid->SetBounds(0, 0, 400, 200);
    grid->SetParent(form);
    for (const char* f : {"ID", "NAME"}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(f);
      c->SetWidth(100);
    }
    grid->SetDataSource(source.get());
    grid->SetCol(1);
    params = grid->ParamsAutoSearch();
    params->SetEnabled(true);
    params->SetShortCutFindNext(kNext);
    params->SetShortCutFindPrevious(kPrev);
    grid->SetFocus();
    h->Pump();
  }
  void TearDown() override {
    grid.reset();
    source.reset();
    ds.reset();
    designer.reset();
    h.reset();
    driver.reset();
  }
  int Id() { return ds->FieldByName("ID")->AsInteger(); }
  void Goto(int id) { ASSERT_TRUE(ds->Locate("ID", Variant(id))); }
  void Key(Word key, TShiftState shift = {}) {
    h->KeyDown(grid.get(), key, shift);
    h->KeyUp(grid.get(), key, shift);
  }
  // Each code point as a key-down of a character key and its character; "\b" is Backspace,
  // "\x01" find next (F3), "\x02" find previous (Shift+F3).
  void Type(const String& text) {
    const WideString wide = UTF8Decode(text);
    for (std::size_t i = 0; i < wide.size(); ++i) {
      char32_t c = wide[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < wide.size()) c = 0x10000 + ((c - 0xD800) << 10) + (wide[++i] - 0xDC00);
      if (c == 1 || c == 2) {
        Key(kF3, c == 2 ? TShiftState{ssShift} : TShiftState{});
        continue;
      }
      const Word vk = c == 8 ? VK_BACK : c >= 'a' && c <= 'z' ? Word(c - 32) : c < 128 ? Word(c) : Word('A');
      h->KeyDown(grid.get(), vk);
      h->Char(grid.get(), c);
      h->KeyUp(grid.get(), vk);
    }
  }
  String PromptText() { return params->PromptWindow() ? params->PromptWindow()->Caption() : String("<none>"); }

  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TProbe* form = nullptr;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TDataSet> ds;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TDBDivoRud> grid;
  TgpAutoSearchParams* params = nullptr;
};

TEST_P(AutoSearch, KeystrokeScripts) {
  struct Case {
    const char* name;
    int startId;
    const char* keys;
    int wantId;
    const char* wantText;
    bool fromBegin = true, cycle = false;
  } cases[] = {
      {"a first letter finds the first record with it", 5, "b", 2, "b"},
      {"the text narrows", 1, "alpi", 10, "alpi"},
      {"case is ignored", 1, "BETA2", 11, "BETA2"},
      {"a character that matches nothing is rejected", 5, "alpx", 1, "alp"},
      {"Backspace takes the last character back and searches again", 1, "alpi\b", 1, "alp"},
      {"Backspace to nothing leaves the record", 1, "alpi\b\b\b\b", 1, ""},
      {"Backspace to nothing leaves the record, from the current one too", 1, "alpi\b\b\b\b", 10, "", false},
      {"Backspace on nothing changes nothing", 3, "b\b\b", 2, ""},
      {"Backspace takes a whole character", 1, "東京\b", 8, "東"},
      {"full folding: ss finds ß", 1, "strasse", 3, "strasse"},
      {"final sigma", 1, "σοφος", 4, "σοφος"},
      {"a middle sigma typed at the end", 1, "σοφοσ", 4, "σοφοσ"},
      {"composed typing finds a decomposed cell", 1, "é", 5, "é"},
      {"composed typing finds the composed cell", 6, "é", 6, "é", false},
      {"a plain e finds no accented letter", 1, "e", 1, ""},
      {"a space finds a non-breaking space", 1, "a b", 7, "a b"},
      {"a typed non-breaking space reads as a space", 1, "a\u00A0b", 7, "a\u00A0b"},
      {"a typed non-breaking space finds a space", 1, "😀\u00A0s", 9, "😀\u00A0s"},
      {"CJK", 1, "東", 8, "東"},
      {"emoji", 1, "😀 s", 9, "😀 s"},
      {"find next", 1, "alp\x01", 10, "alp"},
      {"find next past the last match stays", 1, "alp\x01\x01\x01", 13, "alp"},
      {"find previous", 13, "alp\x02", 10, "alp", false},
      {"find previous at the first match stays", 1, "alp\x02", 1, "alp"},
      {"find next wraps to a match on the first record", 1, "alp\x01\x01\x01", 1, "alp", true, true},
      {"find previous wraps to a match on the last record", 1, "alp\x02", 13, "alp", true, true},
      {"from the current record", 6, "alp", 10, "alp", false},
      {"from the current record, no match after it", 12, "st", 12, "", false},
      {"from the current record, cycling does not wrap typing", 12, "st", 12, "", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    params->Cancel();
    params->SetSearchFromBegin(c.fromBegin);
    params->SetCycleSearch(c.cycle);
    Goto(c.startId);
    Type(c.keys);
    EXPECT_TRUE(params->Active());
    EXPECT_EQ(Id(), c.wantId);
    EXPECT_EQ(params->SearchText(), c.wantText);
    EXPECT_EQ(PromptText(), String("Search: ") + c.wantText);
  }
}

// Next and previous stop at the last match, where they neither find the record they stand on
// nor keep it from wrapping.
TEST_P(AutoSearch, NextAndPreviousAtTheEnds) {
  Type("alp");
  struct Case {
    int from;
    bool forward, cycle, found;
    int wantId;
  } cases[] = {
      {13, true, false, false, 13}, {1, false, false, false, 1}, {13, true, true, true, 1},
      {1, false, true, true, 13},   {10, true, false, true, 13}, {10, false, true, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.from);
    Goto(c.from);
    EXPECT_EQ(params->Find("alp", c.forward, c.cycle, true, false), c.found);
    EXPECT_EQ(Id(), c.wantId);
  }
  // The only match wraps round to itself.
  Goto(8);
  EXPECT_TRUE(params->Find("東", true, true, true, false));
  EXPECT_EQ(Id(), 8);
}

TEST_P(AutoSearch, StartingAndStopping) {
  // Keys the grid handles itself, a click and focus loss end a search.
  Type("b");
  Key(VK_DOWN);
  EXPECT_FALSE(params->Active());
  EXPECT_EQ(params->PromptWindow(), nullptr);
  EXPECT_EQ(Id(), 3);
  Type("b");
  h->MouseDown(grid.get(), 150, 50);
  h->MouseUp(grid.get(), 150, 50);
  EXPECT_FALSE(params->Active());
  Type("b");
  grid->Perform(CM_CANCELMODE, 0, 0);
  EXPECT_FALSE(params->Active());
  // A key nothing handled starts with the prompt alone; its character follows.
  Goto(1);
  h->KeyDown(grid.get(), 'B');
  EXPECT_TRUE(params->Active());
  EXPECT_EQ(PromptText(), "Search: ");
  h->Char(grid.get(), U'b');
  EXPECT_EQ(Id(), 2);
  params->Cancel();
  // With a short-cut, only the short-cut starts one.
  params->SetShortCut(ShortCut('F', {ssCtrl}));
  Type("b");
  EXPECT_FALSE(params->Active());
  Key('F', {ssCtrl});
  EXPECT_TRUE(params->Active());
  Type("be");
  EXPECT_EQ(Id(), 2);
  params->Cancel();
  params->SetShortCut(0);
  // Only listed fields, compared ignoring case.
  params->SetSearchableFields("id;Name");
  EXPECT_TRUE(params->Start(0));
  params->Cancel();
  params->SetSearchableFields("ID");
  EXPECT_FALSE(params->Start(0));
  params->SetSearchableFields("");
  // Disabled, or already active: no start; FindNext only while active.
  EXPECT_FALSE(params->FindNext("b"));
  params->SetEnabled(false);
  Type("b");
  EXPECT_FALSE(params->Active());
  params->SetEnabled(true);
  // No open dataset: no search, and its keys raise nothing.
  ds->Close();
  EXPECT_FALSE(params->Start(0));
  EXPECT_NO_THROW(Key(kF3));
  EXPECT_FALSE(params->FindNext("b"));
  ds->Open();
  // The dataset closing under an active search takes the prompt with it.
  Type("b");
  ASSERT_NE(params->PromptWindow(), nullptr);
  ds->Close();
  EXPECT_FALSE(params->Active());
  EXPECT_EQ(params->PromptWindow(), nullptr);
}

// A failure while searching reaches the user from the key press; the dataset is left as it was
// and the next key searches again. The grid going away takes the prompt with it.
TEST_P(AutoSearch, AFailingSearchAndAGridGoingAway) {
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  TvpFieldVision failing(nullptr);
  bool fail = false;
  // Once, on record 10 while the search walks (painting reads the texts too).
  failing.OnGetText = [&](TObject*, TgpFieldList* fields, bool, String&) {
    TDataSet* data = fields->MainField()->DataSet();
    if (fail && data->ControlsDisabled() && data->FieldByName("ID")->AsInteger() == 10) {
      fail = false;
      throw EDatabaseError("table locked");
    }
  };
  grid->Columns()->Items(1)->SetVision(&failing);
  Goto(5);
  Type("alp");  // "a" finds record 1; "al" and "alp" stay there
  params->SetSearchFromBegin(false);
  Goto(5);
  fail = true;
  Type("i");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "table locked");
  EXPECT_EQ(Id(), 5);
  EXPECT_FALSE(ds->ControlsDisabled());
  EXPECT_EQ(params->SearchText(), "alp");
  Type("i");
  EXPECT_EQ(Id(), 10);
  EXPECT_EQ(params->SearchText(), "alpi");
  grid->Columns()->Items(1)->SetVision(nullptr);
  Application->OnException = nullptr;
  // Freed with its prompt shown.
  ASSERT_NE(params->PromptWindow(), nullptr);
  grid.reset();
}

TEST_P(AutoSearch, KeysTypedFasterThanThePump) {
  h->PumpAfterInput = false;
  Type("alpi\bi");
  h->Pump();
  h->PumpAfterInput = true;
  EXPECT_EQ(Id(), 10);
  EXPECT_EQ(params->SearchText(), "alpi");
  EXPECT_EQ(PromptText(), "Search: alpi");
}

TEST_P(AutoSearch, NumericColumnsSearchTheirEditText) {
  grid->SetCol(0);
  Type("1");
  EXPECT_EQ(Id(), 1);
  Type("2");
  EXPECT_EQ(Id(), 12);
  Type("9");
  EXPECT_EQ(Id(), 12);
  EXPECT_EQ(params->SearchText(), "12");
}

TEST_P(AutoSearch, NullAndMissingTextsMatchOnlyNothing) {
  // Record 12 is NULL: typing never lands on it; a column bound to no field finds nothing.
  for (int i = 0; i < 3; ++i) Type("\x01");
  Type("a");
  Type("\x01\x01\x01\x01\x01");
  EXPECT_NE(Id(), 12);
  params->Cancel();
  grid->Columns()->Items(1)->SetFieldName("NOSUCH");
  Goto(3);
  Type("a");
  EXPECT_EQ(Id(), 3);
  EXPECT_EQ(params->SearchText(), "");
}

TEST_P(AutoSearch, InsensitiveCursorsSearchFromTheMarkedRecord) {
  for (TgpCursorType type : {gctInsensitiveBmrk, gctInsensitiveID}) {
    SCOPED_TRACE(static_cast<int>(type));
    grid->SetCursorType(type);
    if (type == gctInsensitiveID) grid->SetUniqueFields("ID");
    params->SetSearchFromBegin(false);
    Goto(6);
    grid->CurrentRecShot()->Select(true);
    // Code moves the cursor past the matches without moving the mark.
    ds->Last();
    Type("alp");
    EXPECT_EQ(Id(), 10);
    EXPECT_TRUE(grid->CurrentRecShot()->IsEqual());
    params->Cancel();
    grid->SetCursorType(gctSensitive);
  }
}

TEST_P(AutoSearch, ThePrompt) {
  grid->Font()->SetColor(clMaroon);
  Type("al");
  THintWindowEx* prompt = params->PromptWindow();
  ASSERT_NE(prompt, nullptr);
  const TPoint corner = form->ClientToScreen(TPoint{0, 200});
  EXPECT_EQ(prompt->Left(), corner.X);
  EXPECT_EQ(prompt->Top(), corner.Y);
  EXPECT_LE(prompt->Width(), 400);
  EXPECT_EQ(prompt->Color(), clInfoBk);
  EXPECT_EQ(prompt->Font()->Color(), clInfoText);
  params->Cancel();
  params->SetWndColor(clYellow);
  params->SetWndTextColor(clNone);
  params->SetPrompt("Find %s now");
  Type("al");
  EXPECT_EQ(PromptText(), "Find al now");
  EXPECT_EQ(params->PromptWindow()->Color(), clYellow);
  EXPECT_EQ(params->PromptWindow()->Font()->Color(), clMaroon);
  params->Cancel();
  // A prompt that is no format for one string shows as written, the text after it.
  for (const char* written : {"100% sure: ", "%d: ", "%s %s"}) {
    params->SetPrompt(written);
    EXPECT_NO_THROW(Type("al"));
    EXPECT_EQ(PromptText(), String(written) + "al");
    params->Cancel();
  }
  params->SetPrompt("");
  params->SetEnablePrompt(false);
  Type("al");
  EXPECT_TRUE(params->Active());
  EXPECT_EQ(params->PromptWindow(), nullptr);
}

TEST_P(AutoSearch, ParamsRoundTripThroughTextAndBinary) {
  TgpAutoSearchParams changed;
  changed.SetEnabled(true);
  changed.SetSearchableFields("NAME;CITY");
  changed.SetShortCut(ShortCut('F', {ssCtrl}));
  changed.SetShortCutFindNext(kNext);
  changed.SetShortCutFindPrevious(kPrev);
  changed.SetSearchFromBegin(false);
  changed.SetCycleSearch(true);
  changed.SetWndColor(clYellow);
  changed.SetWndTextColor(clNone);
  changed.SetPrompt("Find: %s");
  changed.SetEnablePrompt(false);
  grid->SetParamsAutoSearch(&changed);
  auto same = [](const TgpAutoSearchParams& a, const TgpAutoSearchParams& b) {
    return a.Enabled() == b.Enabled() && a.SearchableFields() == b.SearchableFields() && a.ShortCut() == b.ShortCut() &&
           a.ShortCutFindNext() == b.ShortCutFindNext() && a.ShortCutFindPrevious() == b.ShortCutFindPrevious() &&
           a.SearchFromBegin() == b.SearchFromBegin() && a.CycleSearch() == b.CycleSearch() &&
           a.WndColor() == b.WndColor() && a.WndTextColor() == b.WndTextColor() && a.Prompt() == b.Prompt() &&
           a.EnablePrompt() == b.EnablePrompt();
  };
  EXPECT_TRUE(same(*grid->ParamsAutoSearch(), changed));
  grid->SetName("Grid1");
  const String text = ComponentToStr(*grid, true);
  EXPECT_NE(text.find("ParamsAutoSearch.WndColor = clYellow"), String::npos) << text;
  EXPECT_NE(text.find("ParamsAutoSearch.WndTextColor = clNone"), String::npos) << text;
  for (bool asText : {true, false}) {
    TDBDivoRud back(nullptr);
    StrToComponent(back, ComponentToStr(*grid, asText), asText);
    EXPECT_TRUE(same(*back.ParamsAutoSearch(), changed)) << asText;
  }
  EXPECT_THROW(grid->ParamsAutoSearch()->Assign(grid->ParamsDelete()), Exception);
}

INSTANTIATE_TEST_SUITE_P(Sources, AutoSearch,
                         ::testing::Values(Source{"MemTable", NamesMemTable}, Source{"Sqlite", NamesSqlite}),
                         [](const auto& info) { return String(info.param.Name); });

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

// An SQLite table of mixed texts under a grid with two columns on NAME: the first reads through
// a plain vision, which the dataset can search in one statement; the second through a vision
// with an OnGetText handler, which the search walks.
class AutoSearchSqlite : public ::testing::Test {
protected:
  void SetUp() override {
    driver = MakeNullDriver();
    h = std::make_unique<THarness>(*driver);
    form = h->TopLevel(10, 20, 500, 420);
    const String path = GridTempFileName();
    {
      sqlite::TSqliteDatabase db(path);
      db.Execute("CREATE TABLE items (ID INTEGER PRIMARY KEY, NAME VARCHAR(40))");
      db.Execute("BEGIN");
      const char* pieces[] = {"Ab", "ab", "Äb", "A\u0308b", "ß", "ss", "Σ", "σ", "ς", "a\u00A0", "a ", "東", "😀", "é", "e\u0301"};
      for (int i = 1; i <= kRows; ++i) {
        String value;
        if (i % 37 == 0) value = "NULL";
        else if (i % 41 == 0) value = std::to_string(100 + i);
        else if (i % 43 == 0) value = std::to_string(i) + ".5";
        else {
          String text;
          for (int k = 0, n = 1 + (i * 7) % 3; k < n; ++k) text += pieces[(i * 31 + k * 17 + i / 7) % 15];
          value = "'" + text + "'";
        }
        db.Execute("INSERT INTO items VALUES (" + std::to_string(i) + ", " + value + ")");
      }
      db.Execute("COMMIT");
    }
    table = std::make_unique<TGridSqliteDataSet>();
    table->SetFileName(path);
    table->SetTableName("items");
    table->Open();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    plain = std::make_unique<TvpFieldVision>(nullptr);
    handled = std::make_unique<TvpFieldVision>(nullptr);
    handled->OnGetText = [](TObject*, TgpFieldList*, bool, String&) {};
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetParent(form);
    for (TvpFieldVision* vision : {plain.get(), handled.get()}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName("NAME");
      c->SetVision(vision);
    }
    grid->SetDataSource(source.get());
    params = grid->ParamsAutoSearch();
    params->SetEnabled(true);
    grid->SetFocus();
    h->Pump();
  }
  void TearDown() override {
    grid.reset();
    source.reset();
    table.reset();
    plain.reset();
    handled.reset();
    h.reset();
    driver.reset();
  }
  int Id() { return table->FieldByName("ID")->AsInteger(); }

  static constexpr int kRows = 2000;
  std::unique_ptr<TControlDriver> driver;
  std::unique_ptr<THarness> h;
  TProbe* form = nullptr;
  std::unique_ptr<TGridSqliteDataSet> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TvpFieldVision> plain, handled;
  std::unique_ptr<TDBDivoRud> grid;
  TgpAutoSearchParams* params = nullptr;
};

// The query and the walk land on the same record for each prefix of each cell (each distinct
// prefix of up to three characters once), in every direction and from every kind of start,
// unsorted and sorted by the text.
TEST_F(AutoSearchSqlite, TheQueryAndTheWalkLandAlike) {
  std::set<String> prefixes;
  for (table->First(); !table->Eof(); table->Next()) {
    const WideString cell = UTF8Decode(table->FieldByName("NAME")->AsString());
    for (std::size_t n = 1; n <= cell.size() && n <= 3; ++n) prefixes.insert(UTF8Encode(cell.substr(0, n)));
  }
  ASSERT_GT(prefixes.size(), 50u);
  struct Mode {
    bool forward, cycle, skip, fromBegin;
  } modes[] = {{true, false, false, true}, {false, false, false, true}, {true, false, false, false},
               {true, false, true, false}, {false, false, true, false}, {true, true, true, false},
               {false, true, true, false}};
  int found = 0;
  for (const char* sort : {"", "NAME"}) {
    table->SetSortFields(sort);
    params->Start(0);
    int start = 1;
    int turn = 0;
    for (const String& prefix : prefixes) {
      // Two of the modes for each prefix, in turn: every mode meets every kind of prefix.
      for (const Mode& m : {modes[turn % 7], modes[(turn + 3) % 7]}) {
        start = start * 1103 % kRows + 1;
        int landed[2];
        bool ok[2];
        for (int col = 0; col < 2; ++col) {
          grid->SetCol(col);
          ASSERT_TRUE(table->Locate("ID", Variant(start)));
          ok[col] = params->Find(prefix, m.forward, m.cycle, m.skip, m.fromBegin);
          landed[col] = Id();
        }
        EXPECT_EQ(ok[0], ok[1]) << sort << " " << prefix << " from " << start;
        EXPECT_EQ(landed[0], landed[1]) << sort << " " << prefix << " from " << start;
        found += ok[0];
      }
      ++turn;
    }
    params->Cancel();
  }
  EXPECT_GT(found, 200);
}

int CountStatements(unsigned, void* context, void* statement, void*) {
  const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
  static_cast<std::vector<String>*>(context)->push_back(sql ? sql : "");
  return 0;
}

// A keystroke asks one statement and reads at most what shows the found window; a miss asks one
// statement and reads nothing.
TEST_F(AutoSearchSqlite, AKeystrokeIsOneStatement) {
  std::vector<String> statements;
  sqlite3_trace_v2(table->Database()->Handle(), SQLITE_TRACE_STMT, CountStatements, &statements);
  grid->SetCol(0);
  int before = 0, after = 0;
  table->BeforeScroll = [&](TDataSet*) { ++before; };
  table->AfterScroll = [&](TDataSet*) { ++after; };
  auto type = [&](char32_t c) {
    statements.clear();
    before = after = 0;
    h->KeyDown(grid.get(), 'A');
    h->Char(grid.get(), c);
  };
  auto searches = [&] {
    return std::count_if(statements.begin(), statements.end(),
                         [](const String& s) { return s.find("zv_prefix") != String::npos; });
  };
  type(U'σ');
  EXPECT_EQ(searches(), 1);
  EXPECT_LE(statements.size(), 3u);
  EXPECT_EQ(before, 1);  // moved once, as Locate moves
  EXPECT_EQ(after, 1);
  const int at = Id();
  type(U'q');
  EXPECT_EQ(searches(), 1);
  EXPECT_EQ(statements.size(), 1u);
  EXPECT_EQ(Id(), at);
  EXPECT_EQ(after, 0);
  // Next from the current record: one statement again.
  params->SetShortCutFindNext(ShortCut(0x72, {}));
  statements.clear();
  h->KeyDown(grid.get(), 0x72);
  EXPECT_EQ(searches(), 1);
  EXPECT_GT(Id(), at);
  sqlite3_trace_v2(table->Database()->Handle(), 0, nullptr, nullptr);
}

}  // namespace
}  // namespace zvtest
