// The grid on screen, on the headless backend (13-pixel text): band and level heights in both
// designers, column rectangles, hit tests, the exact update region of each invalidation, the
// scroll codes with their bar values, the wheel, freezing, one-row scrolls whose pixels equal a
// full repaint, the designers' lines checked through DrawGrid onto a bitmap, and what a cell too
// narrow for its text or number shows.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/WinApi.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageList.h"
#include "platform/graphics/Region.h"
#include "platform/null/NullBackend.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridHint.h"
#include "runtime/rtm/DrawRoutines.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>

namespace zvtest {
namespace {

using namespace zv;

enum class Look { Standard, Lite };

// Remembers the rectangle of each paint.
class TClipRecordingGrid : public TDBDivoRud {
public:
  using TDBDivoRud::TDBDivoRud;
  std::vector<TRect> Clips;

protected:
  void Paint() override {
    Clips.push_back(Canvas()->ClipRect());
    TDBDivoRud::Paint();
  }
};

class GridScreen : public THarnessTest {
protected:
  void TearDown() override {
    grid.reset();
    source.reset();
    dataSet.reset();
    designer.reset();
    THarnessTest::TearDown();
  }

  // A 300 x 200 grid without border or bars over `records` rows: ID (60 px) and NAME (80 px),
  // NAME stacked under ID when twoLevels.
  void Make(Look look, bool twoLevels, int records = 100, TScrollStyle bars = ssNone) {
    form = h->TopLevel(0, 0, 400, 300);
    dataSet = CreateGridMemTable(records);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(dataSet.get());
    if (look == Look::Standard)
      designer = std::make_unique<TStandardDesigner>(nullptr);
    else
      designer = std::make_unique<TLiteDesigner>(nullptr);
    grid = std::make_unique<TClipRecordingGrid>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(bars);
    grid->SetBounds(0, 0, 300, 200);
    grid->SetShowFooters(true);
    grid->SetDesigner(designer.get());
    grid->SetParent(form);
    grid->Columns()->BeginUpdate();
    TgpColumn* id = grid->Columns()->Add();
    id->SetFieldName("ID");
    id->SetWidth(60);
    TgpColumn* name = grid->Columns()->Add();
    name->SetFieldName("NAME");
    name->SetWidth(80);
    if (twoLevels) name->SetLayoutLevel(1);
    grid->Columns()->EndUpdate();
    grid->SetDataSource(source.get());
    h->Pump();
  }
  TgpColumn* Col(int i) { return grid->Columns()->Items(i); }
  TRect UpdateBounds() {
    TRegion region;
    GetUpdateRgn(grid->Handle(), &region, false);
    return region.Bounds();
  }
  int Top() { return dataSet->RecNo() - grid->DataLink()->ActiveRecord(); }
  void Scroll(int code, int pos = 0) { grid->Perform(WM_VSCROLL, MakeWParam(static_cast<Word>(code), static_cast<Word>(pos)), 0); }

  TProbe* form = nullptr;
  std::unique_ptr<TDataSet> dataSet;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TDBDivoRud> grid;
};

TEST_F(GridScreen, BandAndLevelHeightsFollowTheDesignerAndTheLevels) {
  struct Case {
    Look look;
    bool twoLevels;
    int title, row, footer, level;
  } cases[] = {
      // one level: text 13 + cell margins 4 = 17; standard adds 3 under titles and 1 under rows,
      // lite 1 and 1; footers add 4 + 3.
      {Look::Standard, false, 20, 18, 24, 17},
      {Look::Lite, false, 18, 18, 24, 17},
      // two levels: 17 + 1 + 17 per band.
      {Look::Standard, true, 38, 36, 42, 17},
      {Look::Lite, true, 36, 36, 42, 17},
  };
  for (const Case& c : cases) {
    Make(c.look, c.twoLevels);
    SCOPED_TRACE(testing::Message() << (c.look == Look::Standard ? "standard" : "lite") << " levels " << (c.twoLevels ? 2 : 1));
    EXPECT_EQ(grid->TitleHeight(), c.title);
    EXPECT_EQ(grid->RowHeight(), c.row);
    EXPECT_EQ(grid->FooterHeight(), c.footer);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(Col(i)->TitleLevelHeight(), c.level);
      EXPECT_EQ(Col(i)->CellLevelHeight(), c.level);
      EXPECT_EQ(Col(i)->FooterLevelHeight(), c.level);
    }
    const int rows = (200 - c.title - c.footer) / c.row;
    EXPECT_EQ(grid->VisibleRowCount(), rows);
    EXPECT_EQ(grid->DataLink()->BufferCount(), rows) << "the data link's window is the rows in view";
    EXPECT_EQ(grid->Layout().RowsBottom, c.title + rows * c.row);
    EXPECT_EQ(grid->Layout().FooterTop(), 200 - c.footer) << "footers sit at the bottom";
    grid.reset();
  }
}

TEST_F(GridScreen, MoreLinesGrowTheirBandAndBadCountsChangeNothing) {
  Make(Look::Standard, false);
  grid->SetRowLines(2);
  EXPECT_EQ(grid->RowHeight(), 2 * 13 + 4 + 1);
  grid->SetTitleLines(3);
  EXPECT_EQ(grid->TitleHeight(), 3 * 13 + 4 + 3);
  for (int bad : {0, -1}) {
    EXPECT_THROW(grid->SetFootLines(bad), EZVError);
    EXPECT_THROW(grid->SetRowLines(bad), EZVError);
  }
  EXPECT_EQ(grid->FootLines(), 1);
  EXPECT_EQ(grid->RowLines(), 2);
  for (int ignored : {0, 1, -2}) grid->SetStripStep(ignored);
  EXPECT_EQ(grid->StripStep(), -1);
  grid->SetStripStep(3);
  EXPECT_EQ(grid->StripStep(), 3);
  grid->SetBounds(0, 0, 300, 30);
  grid->MetricsChanged(2);
  EXPECT_EQ(grid->VisibleRowCount(), 1) << "a client smaller than the bands still shows a row";
}

// The plan a paint hands its designer: the groups on screen, their visible columns, and each
// column's rectangles from the layout.
TEST_F(GridScreen, ThePaintPlanListsTheColumnsOnScreenWithTheirRectangles) {
  Make(Look::Standard, false);
  struct Case {
    int column;
    TgpGridArea area;
    int row;
    bool lines;
    TRect expected;
  };
  auto check = [&](const TgpPaintInfo& info, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "column " << c.column << " area " << c.area << " lines " << c.lines);
      auto it = std::find_if(info.Columns.begin(), info.Columns.end(),
                             [&](const TgpPaintColumn& p) { return p.Index == c.column; });
      ASSERT_NE(it, info.Columns.end());
      const TRect r =
          c.area == gaCell ? info.CellRect(*it, c.row, c.lines) : TgpPaintInfo::BandRect(*it, c.area, c.lines);
      EXPECT_EQ(r, c.expected);
    }
  };
  TgpPaintInfo info(nullptr);
  // title 20, row 18, footer 24 at 176; groups 0..63 and 63..146 (3-pixel lines).
  grid->Layout().Plan(*grid->Columns(), 0, 1, info);
  ASSERT_EQ(info.PaintGroups.size(), 2u);
  EXPECT_EQ(info.RowHeight, 18);
  EXPECT_EQ(info.RowsTop, 20);
  EXPECT_EQ(info.RowTop(2), 56);
  EXPECT_EQ(info.FooterTop, 176);
  check(info, {
      {0, gaTitle, 0, false, {0, 0, 60, 17}},      {0, gaTitle, 0, true, {0, 0, 63, 20}},
      {1, gaTitle, 0, false, {63, 0, 143, 17}},    {0, gaCell, 2, false, {0, 56, 60, 73}},
      {0, gaCell, 2, true, {0, 56, 63, 74}},       {1, gaFooter, 0, false, {63, 180, 143, 197}},
      {1, gaFooter, 0, true, {63, 176, 146, 200}}, {0, gaFooter, 0, true, {1, 176, 63, 200}},
  });

  // A fixed column, a two-level group scrolled out of view and two more groups after it.
  grid->Columns()->BeginUpdate();
  Col(0)->SetFixed(cfLeft);
  TgpColumn* under = grid->Columns()->Add();
  under->SetFieldName("ID");
  under->SetWidth(100);
  under->SetLayoutLevel(1);
  for (int i = 0; i < 2; ++i) {
    TgpColumn* c = grid->Columns()->Add();
    c->SetFieldName(i == 0 ? "NAME" : "ID");
    c->SetWidth(150);
  }
  grid->Columns()->EndUpdate();
  h->Pump();
  grid->Columns()->SetFirstGroupInView(2);
  grid->Columns()->UpdateScrollStop(false, false);
  grid->Layout().Plan(*grid->Columns(), 0, grid->Columns()->GroupCount() - 1, info);
  std::vector<int> groups, columns;
  for (const TgpPaintGroup& g : info.PaintGroups) {
    groups.push_back(g.Number);
    for (const TgpPaintColumn& c : info.GroupColumns(g)) columns.push_back(c.Index);
  }
  EXPECT_EQ(groups, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(columns, (std::vector<int>{0, 3, 4}));
  EXPECT_TRUE(info.PaintGroups.back().LastOfGrid);
  // Two levels make the row 36 high; the titles 38, the footers 42 from 158; a one-level column fills the row.
  check(info, {
      {0, gaTitle, 0, false, {0, 0, 60, 35}},       {3, gaTitle, 0, false, {63, 0, 213, 35}},
      {4, gaCell, 0, false, {216, 38, 366, 73}},    {4, gaCell, 1, true, {216, 74, 369, 110}},
      {3, gaFooter, 0, true, {63, 158, 216, 200}},
  });
  // The plan of one group alone.
  grid->Layout().Plan(*grid->Columns(), 2, 2, info);
  ASSERT_EQ(info.Columns.size(), 1u);
  EXPECT_EQ(info.Columns[0].Index, 3);
  EXPECT_EQ(info.PaintGroups[0].Left, 63);
  grid->SetShowTitles(false);
  EXPECT_TRUE(grid->TitleClientRect(Col(0), true).IsEmpty()) << "no title band, no title rectangle";
}

TEST_F(GridScreen, TwoLevelCellsStackInsideTheirRow) {
  Make(Look::Standard, true);
  Col(0)->SetWidth(80);
  // title 38, row 36, levels of 17 with a 1-pixel line between them; the group 80 wide.
  EXPECT_EQ(grid->CellClientRect(Col(0), 0, true), (TRect{0, 38, 83, 56}));
  EXPECT_EQ(grid->CellClientRect(Col(1), 0, false), (TRect{0, 56, 80, 73}));
  EXPECT_EQ(grid->CellClientRect(Col(1), 1, true), (TRect{0, 92, 83, 110}));
  EXPECT_EQ(grid->TitleClientRect(Col(1), true), (TRect{0, 18, 83, 38}));
}

TEST_F(GridScreen, HitTestsInEveryBand) {
  Make(Look::Standard, false);
  struct Case {
    int x, y;
    TgpGridArea area;
    int row, column;
  } cases[] = {
      {5, 5, gaTitle, 0, 0},      {62, 19, gaTitle, 0, 0},   {63, 0, gaTitle, 0, 1},
      {10, 76, gaCell, 3, 0},     {145, 163, gaCell, 7, 1},  {10, 170, gaUndefined, 0, -1},
      {70, 190, gaFooter, 0, 1},  {200, 50, gaUndefined, 0, -1}, {-1, 50, gaUndefined, 0, -1},
      {10, 200, gaUndefined, 0, -1},
  };
  for (const Case& c : cases) {
    const TgpGridHit hit = grid->PointToCell(c.x, c.y);
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_EQ(hit.Area, c.area);
    if (c.area != gaUndefined) {
      EXPECT_EQ(hit.Row, c.row);
      EXPECT_EQ(hit.Column, c.column);
    }
  }
  // Painting reads the rows a clip crosses, and the band a damaged rectangle is widened to,
  // from the same layout (title 20, rows of 18 down to 164, footer from 176).
  const TgpGridLayout& l = grid->Layout();
  struct Span {
    int top, bottom, first, last;
  } spans[] = {{0, 20, -1, -1}, {0, 21, 0, 0}, {37, 39, 0, 1}, {160, 200, 7, 7}, {164, 200, -1, -1}};
  for (const Span& s : spans) {
    const TgpGridLayout::TRowSpan rows = l.RowsIn(s.top, s.bottom);
    EXPECT_EQ(rows.First, s.first) << s.top << ".." << s.bottom;
    EXPECT_EQ(rows.Last, s.last) << s.top << ".." << s.bottom;
  }
  EXPECT_EQ(l.RowAt(163), 7);
  EXPECT_EQ(l.RowAt(164), -1);
  EXPECT_EQ(l.WholeRows(TRect{5, 10, 40, 40}), (TRect{5, 0, 40, 56}));
  EXPECT_EQ(l.WholeRows(TRect{5, 168, 40, 180}), (TRect{5, 168, 40, 200}));
  grid->DoMouseMove(10, 76);
  grid->DoMouseMove(70, 190);
  EXPECT_EQ(grid->OverPrevPos().Area, gaCell);
  EXPECT_EQ(grid->OverPrevPos().Row, 3);
  EXPECT_EQ(grid->HoverColumn(), Col(1));
}

TEST_F(GridScreen, EachInvalidationMarksItsGroupRectangleOrRowBand) {
  Make(Look::Standard, false);
  struct Case {
    const char* name;
    std::function<void(TDBDivoRud&)> run;
    TRect expected;
  } cases[] = {
      {"row 2", [](TDBDivoRud& g) { g.InvalidateSelectedRow(); }, {}},
      {"rows", [](TDBDivoRud& g) { g.InvalidateGrid(); }, {0, 0, 300, 200}},
      {"titles", [](TDBDivoRud& g) { g.InvalidateTitles(); }, {0, 0, 300, 20}},
      {"footers", [](TDBDivoRud& g) { g.InvalidateFooters(); }, {0, 176, 300, 200}},
      {"title 1", [](TDBDivoRud& g) { g.InvalidateTitle(1); }, {63, 0, 146, 20}},
      {"column 0", [](TDBDivoRud& g) { g.InvalidateCol(0); }, {0, 0, 63, 200}},
      {"cell 1, 3", [](TDBDivoRud& g) { g.InvalidateCell(1, 3); }, {63, 74, 146, 92}},
      {"footer 0", [](TDBDivoRud& g) { g.InvalidateFooter(0); }, {0, 176, 63, 200}},
      {"negative index", [](TDBDivoRud& g) { g.InvalidateCell(-1, 0); }, {}},
  };
  for (const Case& c : cases) {
    h->Pump();
    ASSERT_TRUE(UpdateBounds().IsEmpty());
    c.run(*grid);
    if (std::string(c.name) == "row 2") {
      EXPECT_EQ(UpdateBounds(), (TRect{0, 20, 300, 38})) << "the current row is the first";
      continue;
    }
    EXPECT_EQ(UpdateBounds(), c.expected) << c.name;
  }
  h->Pump();
  grid->FreezeGrid();
  grid->InvalidateGrid();
  EXPECT_TRUE(UpdateBounds().IsEmpty()) << "a frozen grid invalidates nothing";
  grid->UnfreezeGrid(true);
  EXPECT_EQ(UpdateBounds(), (TRect{0, 0, 300, 200}));
  EXPECT_THROW(grid->UnfreezeGrid(true), EDBDivoRud);
}

TEST_F(GridScreen, ScrollCodesMoveTheDatasetAndTheBarFollows) {
  Make(Look::Standard, false, 100, ssVertical);
  const int rows = grid->VisibleRowCount();
  ASSERT_EQ(rows, 8);
  struct Case {
    const char* name;
    int startRecNo;
    int code;
    int expectedTop;  // record at the top row afterwards; 0: expectedRecNo decides
    int expectedRecNo;
  } cases[] = {
      {"line down at the top", 1, SB_LINEDOWN, 2, 9},
      {"line up at the top", 1, SB_LINEUP, 1, 1},
      {"page down", 1, SB_PAGEDOWN, 0, 9},
      {"page up", 50, SB_PAGEUP, 0, 42},
      {"bottom", 1, SB_BOTTOM, 93, 100},
      {"top", 50, SB_TOP, 1, 1},
      {"thumb position does nothing", 50, SB_THUMBPOSITION, 0, 50},
  };
  for (const Case& c : cases) {
    dataSet->First();
    dataSet->MoveBy(c.startRecNo - 1);
    const int before = Top();
    Scroll(c.code);
    SCOPED_TRACE(c.name);
    if (c.expectedTop) { EXPECT_EQ(Top(), c.expectedTop); }
    EXPECT_EQ(dataSet->RecNo(), c.expectedRecNo);
    if (c.code == SB_LINEUP && c.startRecNo > 1) { EXPECT_EQ(Top(), before - 1); }
    EXPECT_EQ(grid->RecordBar().nMin, 1);
    EXPECT_EQ(grid->RecordBar().nMax, 100 - rows + 1);
    EXPECT_EQ(static_cast<int>(grid->RecordBar().nPage), 1);
    EXPECT_EQ(grid->RecordBar().nPos, Top()) << "the bar shows the top row's record";
  }
  // Thumb tracking asks for the record at the top.
  struct Track {
    int pos, top;
  } tracks[] = {{1, 1}, {60, 60}, {30, 30}, {31, 31}, {100, 93}};
  dataSet->First();
  for (const Track& t : tracks) {
    Scroll(SB_THUMBTRACK, t.pos);
    EXPECT_EQ(Top(), t.top) << "thumb at " << t.pos;
  }
}

TEST_F(GridScreen, TheWheelScrollsOneRecordPerNotchWhateverTheDelta) {
  Make(Look::Standard, false, 100, ssVertical);
  for (int delta : {-120, -360, -1}) {
    const int top = Top();
    h->Wheel(grid.get(), 10, 50, delta);
    EXPECT_EQ(Top(), top + 1) << delta;
  }
  const int top = Top();
  h->Wheel(grid.get(), 10, 50, 240);
  EXPECT_EQ(Top(), top - 1);
}

TEST_F(GridScreen, ABarForRecordsThatAllFitIsDisabled) {
  Make(Look::Standard, false, 8, ssVertical);
  EXPECT_EQ(grid->RecordBar().nMin, 1);
  EXPECT_EQ(grid->RecordBar().nMax, 1);
  EXPECT_EQ(static_cast<int>(grid->RecordBar().nPage), 0);
}

// Every pixel of the client area.
std::vector<TColor> Picture(THarness& h, TDBDivoRud& grid) {
  std::vector<TColor> pixels;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) pixels.push_back(h.Pixel(&grid, x, y));
  return pixels;
}

// Where two pictures of the same size first differ ("same" when they do not).
std::string FirstDifference(const std::vector<TColor>& shown, const std::vector<TColor>& repainted) {
  const auto at = std::mismatch(shown.begin(), shown.end(), repainted.begin());
  if (at.first == shown.end()) return "same";
  const int i = static_cast<int>(at.first - shown.begin());
  return testing::PrintToString(i % 300) + "," + testing::PrintToString(i / 300) + ": " + ColorToString(*at.first) +
         " where a full repaint draws " + ColorToString(*at.second);
}

TEST_F(GridScreen, OneRowScrollsLeaveThePicturesOfAFullRepaint) {
  struct Case {
    const char* name;
    Look look;
    TColor boundLines;  // the standard designer paints smart when they differ from its lines
    TgpDsgnUpdateMode mode;
  } cases[] = {
      {"standard, smart scroll", Look::Standard, clBlack, dumSmartScroll},
      {"standard, smart", Look::Standard, clRed, dumSmart},
      {"lite", Look::Lite, clNone, dumSmartScroll},
  };
  for (const Case& c : cases) {
    Make(c.look, false, 100, ssNone);
    if (c.look == Look::Standard) static_cast<TStandardDesigner*>(designer.get())->SetBoundLines(c.boundLines);
    ASSERT_EQ(designer->UpdateMode(), c.mode) << c.name;
    const int rows = grid->RowCount();
    h->Pump();
    auto expectRepaintedPicture = [&](const char* what) {
      const std::vector<TColor> shown = Picture(*h, *grid);
      grid->InvalidateGrid();
      h->Pump();
      EXPECT_EQ(FirstDifference(shown, Picture(*h, *grid)), "same")
          << c.name << ", " << what << " to record " << dataSet->RecNo() << " (top " << Top() << ")";
    };
    // A walk inside the window and past its ends.
    for (int step : {1, 1, 7, 1, 1, -1, -1, -8, -1}) {
      dataSet->MoveBy(step);
      h->Pump();
      expectRepaintedPicture(step > 0 ? "moving down" : "moving up");
    }
    // The window moved by one row either way from several places, each after a full paint:
    // the cursor leaves the first row upwards or the last row downwards.
    for (int top : {2, 3, 9, 40, 90 - rows}) {
      for (int step : {-1, 1}) {
        dataSet->First();
        dataSet->MoveBy(top + rows - 2);  // the last row, with `top` at the top
        if (step < 0) dataSet->MoveBy(1 - rows);
        grid->InvalidateGrid();
        h->Pump();
        ASSERT_EQ(Top(), top) << c.name;
        dataSet->MoveBy(step);
        h->Pump();
        ASSERT_EQ(Top(), top + step) << c.name << ": the window moves by one row";
        expectRepaintedPicture(step > 0 ? "one row down" : "one row up");
      }
    }
    // Moves of several rows keep the rows still in view: from the last row down, from the first
    // row up, by as many as leave one row or a few.
    for (int by : {2, 3, rows - 3, rows - 2}) {
      for (int direction : {-1, 1}) {
        dataSet->First();
        dataSet->MoveBy(40 + rows - 2);  // the last row
        if (direction < 0) dataSet->MoveBy(1 - rows);  // the first row
        grid->InvalidateGrid();
        h->Pump();
        const int top = Top();
        dataSet->MoveBy(direction > 0 ? by : -1 - (by - 1));
        h->Pump();
        ASSERT_EQ(Top(), top + direction * by) << c.name << ": the window moves by " << by << " rows";
        expectRepaintedPicture(direction > 0 ? "rows down" : "rows up");
      }
    }
    grid.reset();
  }
}

// A move leaves the picture of a full repaint, painting little: a window moved by one row paints
// the rows that came into view and the current rows, not every row between them; a page or a
// jump that replaces every row paints each row once.
TEST_F(GridScreen, MovesPaintTheRowsTheyChangeOnceAndLeaveThePictureOfAFullRepaint) {
  struct Case {
    const char* name;
    int start;  // record made current first (1 = the first row of the first page)
    int code;   // a scroll code, or a key when negative
    int most;   // rows painted at most; 0: every row exactly once
    int rowsMoved = 0;  // instead of code: the window moved by this many rows (down when positive)
  } cases[] = {
      {"line down from the first row", 1, SB_LINEDOWN, 3},
      {"line up from the first row", 20, SB_LINEUP, 4},
      {"three rows down from a last row", 30, 0, 4, 3},
      {"three rows up from a first row", 20, 0, 6, -3},
      {"page down from a last row", 30, SB_PAGEDOWN, 0},
      {"jump to the last record", 1, SB_BOTTOM, 0},
      {"jump to the first record", 60, SB_TOP, 0},
      {"page down key", 1, -VK_NEXT, 0},
  };
  Make(Look::Standard, false, 100, ssNone);
  const int rows = grid->RowCount();
  grid->SetFocus();
  std::map<int, int> painted;
  grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) { ++painted[a.Row]; };
  for (const Case& c : cases) {
    dataSet->First();
    dataSet->MoveBy(c.start - 1);
    grid->InvalidateGrid();
    h->Pump();
    const int top = Top();
    painted.clear();
    const int active = grid->DataLink()->ActiveRecord();
    if (c.rowsMoved > 0)
      dataSet->MoveBy(rows - 1 - active + c.rowsMoved);
    else if (c.rowsMoved < 0)
      dataSet->MoveBy(-active + c.rowsMoved);
    else if (c.code < 0)
      h->KeyDown(grid.get(), static_cast<Word>(-c.code));
    else
      Scroll(c.code);
    h->Pump();
    ASSERT_NE(Top(), top) << c.name << ": the window moved";
    int total = 0;
    for (const auto& [row, times] : painted) {
      if (c.most == 0) { EXPECT_EQ(times, 1) << c.name << ": row " << row; }
      total += times;
    }
    if (c.most == 0)
      EXPECT_EQ(total, rows) << c.name;
    else
      EXPECT_LE(total, c.most) << c.name;
    const std::vector<TColor> shown = Picture(*h, *grid);
    grid->InvalidateGrid();
    h->Pump();
    EXPECT_EQ(FirstDifference(shown, Picture(*h, *grid)), "same") << c.name;
  }
}

// The window's surface is already off screen: a paint draws straight onto it, partial paints
// leave the picture of a full one, and no picture of the grid is copied across.
TEST_F(GridScreen, PaintsDrawStraightOntoTheWindowAndPartialOnesMatchAFullOne) {
  Make(Look::Standard, false, 100, ssNone);
  grid->InvalidateGrid();
  h->Pump();
  const std::vector<TColor> full = Picture(*h, *grid);
  TPoint origin;
  auto* surface = dynamic_cast<TNullSurface*>(RetainedSurfaceOf(grid->Handle(), &origin));
  ASSERT_NE(surface, nullptr);
  for (const TRect r : {Rect(0, 40, 60, 58), Rect(10, 0, 200, 12), Rect(130, 120, 300, 200), Rect(0, 0, 300, 200)}) {
    surface->ClearOps();
    InvalidateRect(grid->Handle(), &r, false);
    h->Pump();
    EXPECT_TRUE(surface->OpsOf(TPaintOpKind::BitBlt).empty()) << r.Left << "," << r.Top;
    EXPECT_FALSE(surface->OpsOf(TPaintOpKind::DrawText).empty()) << r.Left << "," << r.Top;
    EXPECT_EQ(FirstDifference(full, Picture(*h, *grid)), "same") << r.Left << "," << r.Top;
  }
}

// The background is filled only where no band paints its own: whatever the window held before,
// a paint leaves the same pixels, right of the columns, below the rows, in the rows with and
// without a colour of their own, and in a band of rows painted alone.
TEST_F(GridScreen, APaintLeavesNoPixelOfWhatTheWindowHeldBefore) {
  struct Case {
    const char* name;
    Look look;
    int records, columnWidth;
    bool footers;
    TColor rowColor;  // of the second row
  } cases[] = {
      {"standard, narrower than the window", Look::Standard, 100, 0, true, clNone},
      {"lite, three rows", Look::Lite, 3, 0, true, clNone},
      {"standard, a last partial row, no footers", Look::Standard, 100, 0, false, clYellow},
      {"lite, wider than the window", Look::Lite, 100, 200, false, clYellow},
      {"standard, two rows over a coloured one", Look::Standard, 2, 0, true, clAqua},
  };
  for (const Case& c : cases) {
    Make(c.look, false, c.records);
    grid->SetShowFooters(c.footers);
    if (c.columnWidth > 0)
      for (int i = 0; i < 2; ++i) Col(i)->SetWidth(c.columnWidth);
    grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) {
      if (a.Row == 1) a.Color = c.rowColor;
    };
    h->Pump();
    for (const TRect r : {Rect(0, 0, 300, 200), Rect(0, 45, 300, 90)}) {
      std::vector<TColor> pictures[2];
      for (int k = 0; k < 2; ++k) {
        GetDC(grid->Handle())->FillRect(Rect(0, 0, 300, 200), {k ? clLime : clRed, bsSolid});
        InvalidateRect(grid->Handle(), &r, false);
        h->Pump();
        for (int y = r.Top; y < r.Bottom; ++y)
          for (int x = r.Left; x < r.Right; ++x) pictures[k].push_back(h->Pixel(grid.get(), x, y));
      }
      EXPECT_EQ(FirstDifference(pictures[0], pictures[1]), "same") << c.name << ", from y " << r.Top
                                                                     << " (x, y - " << r.Top << ")";
    }
    grid.reset();
  }
}

TEST_F(GridScreen, TheStandardDesignerDrawsDoubleLinesWithAMarginLine) {
  Make(Look::Standard, false);
  TBitmap bitmap;
  bitmap.SetSize(146, 200);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect{0, 0, 146, 200});
  grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaTitle, gaCell}, 0, 1, 0, 3, 146, 200);
  TCanvas& c = *bitmap.Canvas();
  // After each group: black, silver, black in its last three pixels, in titles and cells.
  for (int y : {5, 30, 60}) {
    EXPECT_EQ(ColorToRGB(c.Pixels(60, y)), clBlack) << y;
    EXPECT_EQ(ColorToRGB(c.Pixels(61, y)), clSilver) << y;
    EXPECT_EQ(ColorToRGB(c.Pixels(62, y)), clBlack) << y;
    EXPECT_EQ(ColorToRGB(c.Pixels(143, y)), clBlack) << y;
  }
  // Titles end with black, silver, black lines; each row ends with a horizontal line.
  EXPECT_EQ(ColorToRGB(c.Pixels(30, 17)), clBlack);
  EXPECT_EQ(ColorToRGB(c.Pixels(30, 18)), clSilver);
  EXPECT_EQ(ColorToRGB(c.Pixels(30, 19)), clBlack);
  EXPECT_EQ(ColorToRGB(c.Pixels(30, 20 + 17)), clBlack);
  EXPECT_NE(ColorToRGB(c.Pixels(30, 20 + 10)), clBlack);
}

// A picture that starts at a lower level's cells draws the rows' lines and fills where those
// cells are, not a level further down.
TEST_F(GridScreen, APictureOfALowerLevelsCellsLinesUpItsRowsWithThem) {
  Make(Look::Standard, true);
  TBitmap bitmap;
  bitmap.SetSize(83, 72);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect{0, 0, 83, 72});
  // NAME's cells are 17 high under ID's, in rows of 36: the picture starts at row 0's NAME.
  grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaCell}, 1, 1, 0, 1, 83, 72);
  TCanvas& c = *bitmap.Canvas();
  for (int y : {17, 53}) EXPECT_EQ(ColorToRGB(c.Pixels(30, y)), clBlack) << "the line below a row at " << y;
}

// With the titles, such a picture starts at the title band's top and shows the cells of both
// levels under it where the window shows them.
TEST_F(GridScreen, APictureWithTitlesOfALowerLevelsCellsKeepsEveryTextInItsPlace) {
  Make(Look::Standard, true);
  TBitmap bitmap;
  bitmap.SetSize(83, 74);
  grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaTitle, gaCell}, 1, 1, 0, 0, 83, 74);
  std::vector<int> tops, expected;
  for (const TPaintOp& op : AsNullSurface(&bitmap.Canvas()->Handle())->OpsOf(TPaintOpKind::DrawText))
    tops.push_back(op.Rect.Top);
  // The title and the cell margins leave 2 pixels above each text.
  for (int i = 0; i < 2; ++i) expected.push_back(grid->TitleClientRect(Col(i), false).Top + 2);
  for (int i = 0; i < 2; ++i) expected.push_back(grid->CellClientRect(Col(i), 0, false).Top + 2);
  std::sort(tops.begin(), tops.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(tops, expected);
}

TEST_F(GridScreen, TheLiteDesignerDrawsSilverLinesAndCanHideThem) {
  Make(Look::Lite, false);
  TBitmap bitmap;
  bitmap.SetSize(146, 200);
  auto draw = [&] {
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect(TRect{0, 0, 146, 200});
    grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaCell}, 0, 1, 0, 3, 142, 200);
  };
  draw();
  TCanvas& c = *bitmap.Canvas();
  // Cells start at the top of the bitmap: the first row's line is at 17, the group's at 60.
  EXPECT_EQ(ColorToRGB(c.Pixels(30, 17)), clSilver);
  EXPECT_EQ(ColorToRGB(c.Pixels(60, 5)), clSilver);
  auto& lite = static_cast<TLiteDesigner&>(*designer);
  lite.SetShowLines(false);
  EXPECT_EQ(grid->RowHeight(), 17) << "no lines, no row margin";
  draw();
  EXPECT_NE(ColorToRGB(c.Pixels(30, 16)), clSilver);
}

// A cell's text as a designer draws it: the rectangle it was laid out in and the one run shown.
struct TDrawnCell {
  TRect Room;
  String Shown;
  TRect Ink;
};

TDrawnCell DrawnCell(TDBDivoRud& grid, int column) {
  TBitmap bitmap;
  bitmap.SetSize(300, 60);
  grid.DrawGrid(bitmap.Canvas(), TgpGridAreas{gaCell}, column, column, 0, 0, 300, 60);
  const TNullSurface& surface = *AsNullSurface(&bitmap.Canvas()->Handle());
  const std::vector<TPaintOp> laid = surface.OpsOf(TPaintOpKind::DrawText);
  const std::vector<TPaintOp> runs = surface.OpsOf(TPaintOpKind::TextOut);
  // A number too wide is laid out and not drawn, then its marks are: the last layout drew.
  if (laid.empty() || laid.size() > 2 || runs.size() != 1) return {};
  return {laid.back().Rect, runs[0].Text, runs[0].Rect};
}

TEST_F(GridScreen, ANumberTooWideForItsCellIsMarkedInItsAlignmentWhereTextIsCutAtItsEnd) {
  String decomposed;  // "e" and a combining acute accent: one character, three bytes
  for (int i = 0; i < 12; ++i) decomposed += "e\xCC\x81";
  enum Shown { Whole, Marks, Cut };
  // Widths of 43 leave 39 pixels of text: six marks of 6 and 3 to spare, so every side differs.
  struct Case {
    const char* name;
    int column;  // 0 ID (an integer field), 1 NAME (a text field)
    TvpDefAlignment alignment;  // the column's: only a vision takes it
    int width;
    bool noEllipsis;
    Shown shown;
    TAlignment side;  // where the run sits in its rectangle
  } cases[] = {
      {"a number that fits", 0, talDefault, 120, false, Whole, taRightJustify},
      {"a number too wide", 0, talDefault, 43, false, Marks, taRightJustify},
      {"a number too wide, aligned left", 0, talLeftJustify, 43, false, Marks, taLeftJustify},
      {"a number too wide, centred", 0, talCenter, 43, false, Marks, taCenter},
      {"a number in a cell narrower than a mark", 0, talDefault, 6, false, Marks, taRightJustify},
      {"a number too wide without ellipses", 0, talDefault, 43, true, Whole, taRightJustify},
      {"a text too wide, aligned right", 1, talRightJustify, 43, false, Cut, taRightJustify},
      {"a text too wide", 1, talDefault, 43, false, Cut, taLeftJustify},
  };
  TvpFieldVision plain(nullptr);
  for (Look look : {Look::Standard, Look::Lite}) {
    for (TvpFieldVision* vision : {static_cast<TvpFieldVision*>(nullptr), &plain}) {
      Make(look, false, 5);
      dataSet->Edit();
      dataSet->FieldByName("ID")->SetAsInteger(199987001);
      dataSet->FieldByName("NAME")->SetAsString(decomposed);
      dataSet->Post();
      for (const Case& c : cases) {
        if (!vision && c.alignment != talDefault) continue;
        SCOPED_TRACE(testing::Message() << (look == Look::Standard ? "standard, " : "lite, ")
                                        << (vision ? "a vision: " : "no vision: ") << c.name);
        Col(c.column)->SetVision(vision);
        Col(c.column)->SetAlignment(c.alignment);
        Col(c.column)->SetWidth(c.width);
        grid->SetOptionsVisual(c.noEllipsis ? TgpGridVisualOptions{gvoNoEndEllipsis} : TgpGridVisualOptions{});
        const TDrawnCell cell = DrawnCell(*grid, c.column);
        ASSERT_FALSE(cell.Shown.empty());
        const int room = cell.Room.Width();
        switch (c.shown) {
          case Whole: EXPECT_EQ(cell.Shown, "199987001"); break;
          case Marks: {
            const int n = static_cast<int>(cell.Shown.size());
            EXPECT_EQ(cell.Shown, String(cell.Shown.size(), '#'));
            EXPECT_EQ(n, std::max(1, room / (cell.Ink.Width() / n))) << "as many as fit, at least one";
            break;
          }
          case Cut:
            ASSERT_GE(cell.Shown.size(), 3u);
            EXPECT_EQ(cell.Shown.substr(cell.Shown.size() - 3), "...");
            EXPECT_EQ(decomposed.compare(0, cell.Shown.size() - 3, cell.Shown, 0, cell.Shown.size() - 3), 0);
            EXPECT_EQ((cell.Shown.size() - 3) % 3, 0u) << "cut between characters, never inside one";
            EXPECT_LE(cell.Ink.Width(), room);
            break;
        }
        switch (c.side) {
          case taLeftJustify: EXPECT_EQ(cell.Ink.Left, cell.Room.Left); break;
          case taRightJustify: EXPECT_EQ(cell.Ink.Right, cell.Room.Right); break;
          case taCenter: EXPECT_EQ(cell.Ink.Left - cell.Room.Left, (room - cell.Ink.Width()) / 2); break;
        }
      }
      grid.reset();
    }
  }
}

TEST_F(GridScreen, RowAttributesSeeTheirRecordAndAFailingHandlerLeavesThePaintWhole) {
  Make(Look::Standard, false);
  grid->SetStripStep(3);
  std::vector<std::pair<int, int>> seen;  // row, ID
  std::vector<int> strips;
  grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) {
    seen.emplace_back(a.Row, dataSet->FieldByName("ID")->AsInteger());
    strips.push_back(a.StripIndex);
    if (a.Row == 1) a.Color = clYellow;
  };
  dataSet->MoveBy(2);  // paints the rows it leaves and enters at once
  h->Pump();
  seen.clear();
  strips.clear();
  grid->InvalidateGrid();
  h->Pump();
  ASSERT_EQ(seen.size(), 8u);
  for (int row = 0; row < 8; ++row) {
    EXPECT_EQ(seen[row].first, row);
    EXPECT_EQ(seen[row].second, row + 1) << "the row's record is active";
    EXPECT_EQ(strips[row], row % 3 + 1);
  }
  EXPECT_EQ(dataSet->RecNo(), 3) << "the active record comes back";
  EXPECT_EQ(ColorToRGB(h->Pixel(grid.get(), 30, 20 + 18 + 3)), ColorToRGB(clYellow));

  grid->OnGetRowAttrs = [](TObject*, TgpRowAttrs& a) {
    if (a.Row == 4) throw EZVError("bad row");
  };
  TBitmap bitmap;
  bitmap.SetSize(146, 200);
  EXPECT_THROW(grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaCell}, 0, 1, 0, 7, 146, 200), EZVError);
  EXPECT_EQ(dataSet->RecNo(), 3);
  grid->OnGetRowAttrs = nullptr;
  grid->InvalidateGrid();
  EXPECT_NO_THROW(h->Pump());
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

TEST_F(GridScreen, CellColoursFollowTheRowTheColumnAndTheCell) {
  Make(Look::Standard, false);
  struct Case {
    const char* name;
    TColor rowColor;
    bool rowForce, rowUltraSoft;
    TColor columnColor;
    bool foreColorFill;
    TColor cellColor;
    bool cellForce;
    TColor expected;
  } cases[] = {
      {"nothing set: the grid colour", clNone, false, false, clNone, false, clNone, false, clWindow},
      {"a row colour", clYellow, false, false, clNone, false, clNone, false, clYellow},
      {"a column colour under no row colour", clNone, false, false, clAqua, false, clNone, false, clAqua},
      {"the row wins over a plain column colour", clYellow, false, false, clAqua, false, clNone, false, clYellow},
      {"a fore-colour-filled column wins over the row", clYellow, false, false, clAqua, true, clNone, false, clAqua},
      {"a forced row wins over that column", clYellow, true, false, clAqua, true, clNone, false, clYellow},
      {"a forced cell wins over a forced row", clYellow, true, false, clAqua, true, clLime, true, clLime},
      {"an ultra-soft row without colour", clNone, false, true, clNone, false, clNone, false,
       vprGetUltraColor(ColorToRGB(clWindow))},
  };
  for (const Case& c : cases) {
    Col(1)->SetColor(c.columnColor);
    Col(1)->SetOptionsVisual(c.foreColorFill ? TgpColumnVisualOptions{cvoForeColorFill} : TgpColumnVisualOptions{});
    grid->OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) {
      if (a.Row != 1) return;
      a.Color = c.rowColor;
      a.ForceColor = c.rowForce;
      a.UltraSoft = c.rowUltraSoft;
      TgpCellAttrs* cell = a.GetCellAttr(1);
      cell->Color = c.cellColor;
      cell->ForceColor = c.cellForce;
    };
    TBitmap bitmap;
    bitmap.SetSize(146, 200);
    bitmap.Canvas()->Brush()->SetColor(clWindow);
    bitmap.Canvas()->FillRect(TRect{0, 0, 146, 200});
    grid->DrawGrid(bitmap.Canvas(), TgpGridAreas{gaCell}, 0, 1, 0, 3, 146, 200);
    // Row 1 of the NAME column, right of its text.
    EXPECT_EQ(ColorToRGB(bitmap.Canvas()->Pixels(135, 18 + 10)), ColorToRGB(c.expected)) << c.name;
  }
}

TEST_F(GridScreen, TheAutoScrollTimerScrollsFasterFartherFromTheRows) {
  struct Case {
    int below;  // pixels under the client area
    int lines;  // line-down messages in 12 ticks
  } cases[] = {{200, 12}, {100, 8}, {50, 4}, {10, 2}};  // the rules add up: 100 is even ticks and every third
  for (const Case& c : cases) {
    Make(Look::Standard, false, 1000, ssNone);
    const TPoint screen = grid->ClientToScreen(TPoint{10, 200 + c.below});
    SetCursorPos(screen.X, screen.Y);
    const int top = Top();
    grid->CreateAutoScroller();
    ASSERT_TRUE(grid->AutoScrolling());
    for (int tick = 0; tick < 12; ++tick) grid->AutoScrollTimerProc();
    EXPECT_EQ(Top() - top, c.lines) << c.below << " pixels below";
    h->MouseUp(grid.get(), 10, 10);
    EXPECT_FALSE(grid->AutoScrolling()) << "the mouse going up stops it";
    grid.reset();
  }
}

// The horizontal bar is there only while the groups do not all fit, and each bar of the window
// holds what the grid last gave it, whether the columns were laid out before the window
// existed, in it, or before the window was made anew.
TEST_F(GridScreen, EachBarOfTheWindowHoldsWhatTheGridGaveIt) {
  enum class When { BeforeTheWindow, InTheWindow, BeforeANewWindow };
  const struct {
    When when;
    int columns, width;
    bool horizontal;
  } cases[] = {
      {When::BeforeTheWindow, 1, 60, false}, {When::InTheWindow, 1, 60, false},
      {When::BeforeANewWindow, 1, 60, false}, {When::BeforeTheWindow, 2, 250, true},
      {When::BeforeANewWindow, 2, 250, true},
  };
  const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "when " << static_cast<int>(c.when) << ", " << c.columns << " columns");
    form = h->TopLevel(0, 0, 400, 300);
    dataSet = CreateGridMemTable(100);
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(dataSet.get());
    designer = std::make_unique<TStandardDesigner>(nullptr);
    grid = std::make_unique<TClipRecordingGrid>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetBounds(0, 0, 300, 200);
    grid->SetDesigner(designer.get());
    grid->SetDataSource(source.get());
    if (c.when != When::BeforeTheWindow) {
      grid->SetParent(form);
      grid->HandleNeeded();
    }
    grid->Columns()->BeginUpdate();
    for (int i = 0; i < c.columns; ++i) {
      TgpColumn* column = grid->Columns()->Add();
      column->SetFieldName(i == 0 ? "ID" : "NAME");
      column->SetWidth(c.width);
    }
    grid->Columns()->EndUpdate();
    if (c.when == When::BeforeTheWindow) grid->SetParent(form);
    if (c.when == When::BeforeANewWindow) {
      grid->SetBorderStyle(bs3D);
      grid->SetBorderStyle(bsNoBorder);
    }
    h->Pump();
    ASSERT_TRUE(grid->HandleAllocated());
    EXPECT_EQ(grid->ClientHeight(), c.horizontal ? 200 - barHeight : 200);
    for (const int bar : {SB_HORZ, SB_VERT}) {
      const TScrollInfo& given = bar == SB_HORZ ? grid->ViewBar() : grid->RecordBar();
      TScrollInfo shown;
      shown.fMask = SIF_ALL;
      GetScrollInfo(grid->Handle(), bar, shown);
      EXPECT_EQ(shown.nMin, given.nMin) << bar;
      EXPECT_EQ(shown.nMax, given.nMax) << bar;
      EXPECT_EQ(shown.nPage, given.nPage) << bar;
      EXPECT_EQ(shown.nPos, given.nPos) << bar;
    }
    EXPECT_EQ(grid->ViewBar().nMax, c.horizontal ? 1 : 0);
    grid.reset();
  }
}

TEST_F(GridScreen, DraggingTheThumbReachesRecordsPastThe16BitLimit) {
  Make(Look::Standard, false, 40000, ssVertical);
  const int rows = grid->VisibleRowCount();
  const int barX = grid->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2;
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  h->MouseDown(grid.get(), barX, arrow + 1);
  h->MouseMove(grid.get(), barX, 200 - arrow - 20);
  const int top = Top();
  TScrollInfo info;
  info.fMask = SIF_ALL;
  GetScrollInfo(grid->Handle(), SB_VERT, info);
  EXPECT_GT(top, 32767) << "track " << info.nTrackPos << " max " << info.nMax << " pos " << info.nPos << " a 16-bit position would stop below row 32768";
  EXPECT_LT(top, 40000 - rows + 1);
  h->MouseUp(grid.get(), barX, 200 - arrow - 20);
  EXPECT_EQ(grid->RecordBar().nPos, Top());
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

TEST_F(GridScreen, HintsShowCutTitlesAndFootersWithTheirAggregate) {
  Make(Look::Standard, false);
  Col(0)->SetCaption("A caption far too long for sixty pixels");
  Col(1)->SetCaption("Name");
  Col(1)->SetFooterText("1250");
  Col(0)->SetFooterText("a footer text that does not fit");
  Col(0)->SetFooterStateField(fsSum);
  Col(0)->SetFooterText("125000000000000");
  struct Case {
    int x, y;
    const char* expected;
  } cases[] = {
      {10, 5, "A caption far too long for sixty pixels"},
      {70, 5, ""},  // fits
      {10, 190, "Sum = 125000000000000"},
      {70, 190, ""},
      {10, 50, ""},  // cells have no hint here
  };
  for (const Case& c : cases) {
    THintInfo info;
    info.CursorPos = TPoint{c.x, c.y};
    const LRESULT refused = grid->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    SCOPED_TRACE(testing::Message() << "(" << c.x << ", " << c.y << ")");
    EXPECT_EQ(info.HintStr, c.expected);
    EXPECT_EQ(refused != 0, std::string(c.expected).empty());
    if (refused) continue;
    EXPECT_EQ(info.HideTimeout, 20000);
    EXPECT_EQ(info.HintWindowClass, THintWindowEx::StaticClass());
    EXPECT_EQ(info.CursorRect, (TRect{c.x - 4, c.y - 4, c.x + 4, c.y + 4}));
  }
  int pause = 0;
  grid->Perform(CM_HINTSHOWPAUSE, 0, reinterpret_cast<LPARAM>(&pause));
  EXPECT_EQ(pause, 500);
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

TEST(GridDesigners, MarginsUpdateModesAndOptionsFollowTheirProperties) {
  TStandardDesigner standard(nullptr);
  EXPECT_EQ(standard.ColumnMargin(), 3);
  EXPECT_EQ(standard.RowMargin(), 1);
  EXPECT_EQ(standard.TitleBottomMargin(), 3);
  EXPECT_EQ(standard.FooterTopMargin(), 4);
  EXPECT_EQ(standard.FooterBottomMargin(), 3);
  EXPECT_EQ(standard.UpdateMode(), dumSmartScroll) << "bound lines the colour of the horizontal lines";
  standard.SetBoundLines(clRed);
  EXPECT_EQ(standard.UpdateMode(), dumSmart);
  standard.SetOptions(TStdDsgnOptions{dg3DTitle});
  EXPECT_EQ(standard.Options(), (TStdDsgnOptions{dg3DTitle, dgHorizBackground}));
  EXPECT_TRUE(standard.FlatFooter());
  EXPECT_EQ(standard.RowMargin(), 0);
  EXPECT_TRUE(standard.NoTitleInvert());
  standard.SetOptions(TStdDsgnOptions{dgHorizLines});
  EXPECT_FALSE(standard.NoTitleInvert()) << "without 3D titles a pressed title is inverted";

  TLiteDesigner lite(nullptr);
  EXPECT_EQ(lite.VertLines(), clSilver);
  EXPECT_EQ(lite.HorizLines(), clSilver);
  EXPECT_EQ(lite.UpdateMode(), dumSmartScroll);
  EXPECT_EQ(lite.ColumnMargin(), 1);
  EXPECT_EQ(lite.RowMargin(), 1);
  lite.SetHorizLines(clNone);
  EXPECT_EQ(lite.RowMargin(), 0);
  lite.SetHorizLines(clBlack);
  EXPECT_EQ(lite.RowMargin(), 1);
  lite.SetShowLines(false);
  EXPECT_EQ(lite.ColumnMargin(), 0);
  EXPECT_EQ(lite.RowMargin(), 0);
  lite.SetTitleStyle(ltsNon3D);
  EXPECT_FALSE(lite.NoTitleInvert());

  // Lines declared black but made silver: black ones are not stored and load as silver.
  TLiteDesigner copy(nullptr);
  copy.Assign(&lite);
  EXPECT_EQ(copy.HorizLines(), clBlack);
  EXPECT_FALSE(copy.ShowLines());
  EXPECT_EQ(copy.TitleStyle(), ltsNon3D);
}

TEST_F(GridScreen, FootersShowTheirAggregateMarker) {
  Make(Look::Standard, false);
  Col(1)->SetFooterStateField(fsSum);
  Col(1)->SetFooterText("1250");
  EXPECT_EQ(grid->FooterDisplayText(*Col(1)), "SUM=1250");
  Col(1)->SetOptionsVisual(TgpColumnVisualOptions{cvoNoFooterMarker});
  EXPECT_EQ(grid->FooterDisplayText(*Col(1)), "1250");
  Col(0)->SetFooterStateField(fsCount);
  Col(0)->SetFooterText("100");
  EXPECT_EQ(grid->FooterDisplayText(*Col(0)), "100") << "counts have no marker";
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

TEST_F(GridScreen, TheLibrarysBordersTakeTheirRoomFromTheClientArea) {
  struct Case {
    TvpBorderStyle style;
    int clientWidth;
  } cases[] = {{bsNoBorder, 300}, {bs3D, 296}, {bsFlat, 298}, {bsFlatExt, 296}};
  for (const Case& c : cases) {
    Make(Look::Standard, false);
    grid->SetBorderStyle(c.style);
    h->Pump();
    EXPECT_EQ(grid->ClientWidth(), c.clientWidth) << c.style;
    EXPECT_EQ(grid->GetClientRect().Width(), c.clientWidth);
    grid.reset();
  }
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

TEST_F(GridScreen, AwkwardTextsPaintInTimeBoundedByTheCell) {
  Make(Look::Standard, false, 5);
  String huge;
  for (int i = 0; i < 200000; ++i) huge += "word\tw\xC3\xA9rd\n";  // ~2.6 MB with tabs and line breaks
  const String texts[] = {huge, "a\nb\r\nc\td", String("bad \xFF\xFE utf-8 \xC3"), String(1 << 20, 'x')};
  auto table = std::make_unique<TMemTable>(nullptr);
  table->FieldDefs().Add("ID", ftInteger);
  table->FieldDefs().Add("NAME", ftString, 4 << 20);
  table->CreateDataSet();
  int id = 0;
  for (const String& t : texts) table->AppendRecord({Variant(++id), Variant(t)});
  table->First();
  ASSERT_EQ(table->FieldByName("NAME")->AsString().size(), huge.size());
  source->SetDataSet(table.get());
  dataSet = std::move(table);
  Col(1)->SetOptionsVisual(TgpColumnVisualOptions{cvoWordWrap});
  const auto start = std::chrono::steady_clock::now();
  grid->InvalidateGrid();
  EXPECT_NO_THROW(h->Pump());
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 500) << "painting megabytes of text must not cost megabytes of work";
}

TEST_F(GridScreen, ClosedAndColumnlessGridsPaintWhatTheyHave) {
  Make(Look::Standard, false);
  dataSet->Close();
  EXPECT_FALSE(grid->DataRowsShown());
  grid->InvalidateGrid();
  EXPECT_NO_THROW(h->Pump());
  EXPECT_EQ(ColorToRGB(h->Pixel(grid.get(), 30, 10)), ColorToRGB(clBtnFace)) << "titles still paint";
  EXPECT_EQ(ColorToRGB(h->Pixel(grid.get(), 30, 60)), ColorToRGB(clWindow)) << "no rows";
  grid->Columns()->Clear();
  grid->InvalidateGrid();
  EXPECT_NO_THROW(h->Pump());
  EXPECT_EQ(ColorToRGB(h->Pixel(grid.get(), 30, 10)), ColorToRGB(clWindow)) << "no columns: background only";
}


// What DrawGrid paints of areas from the first row, 300 pixels wide.
std::vector<TColor> Drawn(TDBDivoRud& grid, TgpGridAreas areas, int height) {
  TBitmap bitmap;
  bitmap.SetSize(300, height);
  grid.DrawGrid(bitmap.Canvas(), areas, 0, grid.Columns()->Count() - 1, 0, 1, 300, height);
  std::vector<TColor> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < 300; ++x) pixels.push_back(ColorToRGB(bitmap.Canvas()->Pixels(x, y)));
  return pixels;
}

// The bounds of the pixels of one colour in the title band.
TRect TitleInk(TDBDivoRud& grid, TColor colour) {
  const std::vector<TColor> pixels = Drawn(grid, TgpGridAreas{gaTitle}, 40);
  TRect ink{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int i = 0; i < static_cast<int>(pixels.size()); ++i)
    if (pixels[i] == ColorToRGB(colour))
      ink = {std::min(ink.Left, i % 300), std::min(ink.Top, i / 300), std::max(ink.Right, i % 300 + 1), std::max(ink.Bottom, i / 300 + 1)};
  return ink;
}

std::unique_ptr<TImageList> RedImages(int width, int height) {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetWidth(width);
  list->SetHeight(height);
  TBitmap red;
  red.SetSize(width, height);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(TRect{0, 0, width, height});
  list->Add(&red, nullptr);
  return list;
}

TEST_F(GridScreen, TitleImagesGrowTheTitlesAndShowBesideOrInsteadOfTheCaption) {
  Make(Look::Standard, false);
  const int plain = grid->TitleHeight();
  Col(1)->SetTitleImageIndex(0);
  Col(1)->SetCaption("abcdefghijk");  // fits the column alone, not beside an image
  const auto captionHint = [&] { return grid->HintTextAt(grid->PointToCell(100, 5)); };
  EXPECT_EQ(captionHint(), "");
  auto small = RedImages(12, 8), tall = RedImages(16, 30);
  struct Step {
    const char* name;
    std::function<void()> run;
    bool grows;
    TRect update;  // empty: the whole client area
  } steps[] = {
      {"an image shorter than the text", [&] { grid->SetTitleImages(small.get()); }, false, {0, 0, 300, 20}},
      {"a taller list", [&] { grid->SetTitleImages(tall.get()); }, true, {}},
      {"the list changes", [&] { tall->SetHeight(34); }, true, {}},
      {"the list is freed", [&] { tall.reset(); }, false, {}},
  };
  for (const Step& s : steps) {
    h->Pump();
    s.run();
    EXPECT_EQ(grid->TitleHeight() > plain, s.grows) << s.name;
    EXPECT_EQ(UpdateBounds(), s.update.IsEmpty() ? (TRect{0, 0, 300, 200}) : s.update) << s.name;
  }
  EXPECT_EQ(grid->TitleImages(), nullptr);
  grid->SetTitleImages(small.get());
  EXPECT_EQ(captionHint(), "abcdefghijk") << "the image takes the room the caption needed";
  // Beside the caption: at the left of the text rectangle, centred vertically; without a caption
  // centred both ways.
  const TRect text = designer->TitleMargins()->Shrink(grid->Layout().TitleRect(*Col(1), false));
  const int top = text.Top + (text.Height() - 8) / 2;
  EXPECT_EQ(TitleInk(*grid, clRed), (TRect{text.Left, top, text.Left + 12, top + 8}));
  Col(1)->SetOptionsVisual(TgpColumnVisualOptions{cvoNoCaption});
  const int left = text.Left + (text.Width() - 12) / 2;
  EXPECT_EQ(TitleInk(*grid, clRed), (TRect{left, top, left + 12, top + 8}));
  EXPECT_EQ(captionHint(), "") << "no caption, nothing cut";
}

TEST_F(GridScreen, AFixedColumnStaysUnderTheMouseWhenTheOthersScroll) {
  Make(Look::Standard, false);
  grid->Columns()->BeginUpdate();
  Col(0)->SetFixed(cfLeft);
  for (int i = 0; i < 3; ++i) {
    TgpColumn* c = grid->Columns()->Add();
    c->SetFieldName("NAME");
    c->SetWidth(80);
  }
  grid->Columns()->EndUpdate();
  const TgpGridHit before = grid->PointToCell(100, 50);
  grid->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_FALSE(grid->IsVisible(1));
  struct Case {
    int x, y;
    TgpGridArea area;
    int column;
  } cases[] = {
      {10, 5, gaTitle, 0}, {10, 50, gaCell, 0}, {10, 190, gaFooter, 0}, {100, 5, gaTitle, 2}, {100, 50, gaCell, 2},
  };
  for (const Case& c : cases) {
    const TgpGridHit hit = grid->PointToCell(c.x, c.y);
    EXPECT_EQ(hit.Area, c.area) << c.x << "," << c.y;
    EXPECT_EQ(hit.Column, c.column) << c.x << "," << c.y;
  }
  EXPECT_EQ(before.Column, 1);
}

TEST_F(GridScreen, OneRowScrollsPaintOnlyTheUncoveredBandAndTheRowsThatChanged) {
  struct Case {
    TColor boundLines;  // black: smart scroll; red: smart (the fixed end row painted first)
    int step;
  } cases[] = {{clBlack, 1}, {clBlack, -1}, {clRed, 1}, {clRed, -1}};
  for (const Case& c : cases) {
    Make(Look::Standard, false, 100, ssNone);
    static_cast<TStandardDesigner*>(designer.get())->SetBoundLines(c.boundLines);
    const int rows = grid->RowCount(), rh = grid->Layout().RowHeight, ta = grid->Layout().TitleArea;
    auto band = [&](int first, int last) { return TRect{0, ta + first * rh, 300, ta + (last + 1) * rh}; };
    dataSet->MoveBy(50);
    dataSet->MoveBy(c.step > 0 ? rows - 1 - grid->DataLink()->ActiveRecord() : -grid->DataLink()->ActiveRecord());
    h->Pump();
    std::vector<TRect>& clips = static_cast<TClipRecordingGrid&>(*grid).Clips;
    clips.clear();
    dataSet->MoveBy(c.step);  // past the end of the window: it moves one row
    h->Pump();
    std::vector<TRect> expected;
    if (c.boundLines == clRed) expected.push_back(c.step > 0 ? band(0, 0) : band(rows - 1, rows - 1));
    // The two rows at the end the view moved towards; the row the cursor left is one of them.
    expected.push_back(c.step > 0 ? band(rows - 2, rows - 1) : band(0, 1));
    // Moved down into the last row, a smart scroll brings another row's bottom edge: that row is
    // painted again on its own (a smart paint painted it first).
    if (c.boundLines == clBlack && c.step < 0) expected.push_back(band(rows - 1, rows - 1));
    EXPECT_EQ(clips, expected) << ColorToString(c.boundLines) << " by " << c.step;
    grid.reset();
  }
}

TEST_F(GridScreen, CellFocusFramesFollowTheKindAndTheFocus) {
  Make(Look::Standard, false);
  struct Case {
    TgpFocusRectKind kind;
    bool focused;
    bool framed;
  } cases[] = {
      {frcCell, true, true}, {frcCell, false, false}, {frcPersistentCell, false, true}, {frcPersistentCell, true, true},
  };
  ASSERT_EQ(grid->CurrentColumn(), Col(0));
  for (const Case& c : cases) {
    if (c.focused)
      grid->SetFocus();
    else
      form->SetFocus();
    ASSERT_EQ(grid->Focused(), c.focused);
    designer->SetFocusRectKind(frcNone);
    const std::vector<TColor> plain = Drawn(*grid, TgpGridAreas{gaCell}, 60);
    designer->SetFocusRectKind(c.kind);
    const std::vector<TColor> picture = Drawn(*grid, TgpGridAreas{gaCell}, 60);
    EXPECT_EQ(picture != plain, c.framed) << "kind " << c.kind << (c.focused ? ", focused" : "");
    // Only along the current cell's edges (the picture starts at the first row).
    TRect cell = grid->Layout().CellRect(*Col(0), 0, true);
    OffsetRect(cell, 0, -grid->Layout().TitleArea);
    InflateRect(cell, 1, 1);
    for (int i = 0; i < static_cast<int>(picture.size()); ++i)
      if (picture[i] != plain[i]) { ASSERT_TRUE(PtInRect(cell, TPoint{i % 300, i / 300})) << i % 300 << "," << i / 300; }
  }
}

TEST_F(GridScreen, TheInheritedSizeHandlingRunsFrozen) {
  Make(Look::Standard, false);
  bool paintingDuring = true;
  grid->OnResize = [&](TObject*) { paintingDuring = grid->PaintingEnabled(); };
  grid->SetBounds(0, 0, 250, 150);
  EXPECT_FALSE(paintingDuring);
  EXPECT_TRUE(grid->PaintingEnabled());
  EXPECT_EQ(grid->RowCount(), grid->Layout().VisibleRowCount);
}

}  // namespace
}  // namespace zvtest
