// The column customizer on the headless backend: showing and placing it, the offered fields,
// drags from its list onto the grid and titles back onto the list in both modes, refusals,
// sizing, and closing by the user, by replacement and with its grid.
#include "platform/controls/Application.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Panel.h"
#include "platform/controls/SpeedButton.h"
#include "platform/db/DataLink.h"
#include "platform/db/MemTable.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/db/ObjDataSet.h"
#include "runtime/env/Customizer.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridLayout.h"
#include "runtime/grid/ColumnTypes.h"
#include "runtime/vision/StdDesigners.h"

#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zvtest {
namespace {

using namespace zv;

class Customizer : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    CustomizerPlace() = {};
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 500, 300);
    form->Show();
    table = std::make_unique<TMemTable>(nullptr);
    for (const char* name : {"ALPHA", "BETA", "GAMMA", "DELTA"}) table->FieldDefs().Add(name, ftString, 10);
    table->CreateDataSet();
    table->AppendRecord({Variant("a"), Variant("b"), Variant("c"), Variant("d")});
    table->FieldByName("BETA")->SetDisplayLabel("Beta;2");
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    grid = MakeGrid(form.get());
  }
  void TearDown() override {
    delete zvDivoRudCustomizer;
    h->Pump();
    grid.reset();
    other.reset();
    source.reset();
    table.reset();
    form.reset();
    THarnessTest::TearDown();
  }
  std::unique_ptr<TDBDivoRud> MakeGrid(TForm* parent) {
    auto g = std::make_unique<TDBDivoRud>(nullptr);
    g->SetBounds(0, 0, 400, 200);
    g->SetDesigner(&designer);
    g->SetParent(parent);
    for (const char* name : {"ALPHA", "GAMMA"}) {
      TgpColumn* c = g->Columns()->Add();
      c->SetFieldName(name);
      c->SetCaption(name);
      c->SetWidth(80);
    }
    g->SetDataSource(source.get());
    g->OnCustomizerAction = [this](TObject*, TgpCustomizerAction a, TgpColumn* c) {
      events += std::string(GetEnumName(ZvEnumTypeInfo(a), a)).substr(3) + (c ? " " + c->FieldName() : "") + ";";
    };
    h->Pump();
    return g;
  }
  TzvDivoRudCustomizer* Shown() { return zvDivoRudCustomizer; }
  // "ALPHA | GAMMA", hidden columns in brackets.
  std::string Layout() {
    std::string s;
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
      const TgpColumn* c = grid->Columns()->Items(i);
      if (i) s += c->IsLeading() ? " | " : " ";
      s += c->Visible() ? c->FieldName() : "(" + c->FieldName() + ")";
    }
    return s;
  }
  std::string Rows() {
    std::string s;
    for (int i = 0; i < Shown()->Strings()->Count(); ++i) s += (i ? "|" : "") + Shown()->Strings()->Strings(i);
    return s;
  }
  // Drags the list's row onto the grid's title area at x.
  void DragRowTo(int row, int x) {
    TDBDivoRud* list = Shown()->gpList;
    const int y = list->RowHeight() * row + list->RowHeight() / 2 + 1;
    h->MouseMove(list, 20, y);
    h->MouseDown(list, 20, y);
    h->MouseMove(list, 30, y + 20, {ssLeft});
    h->MouseMove(grid.get(), x, TitleY(), {ssLeft});
    h->MouseMove(grid.get(), x + 1, TitleY(), {ssLeft});
    h->MouseUp(grid.get(), x + 1, TitleY());
    h->Pump();
  }
  // Drags the title of g's column at index onto the customizer's list.
  void DragTitleToList(TDBDivoRud* g, int index) {
    const TRect r = g->TitleClientRect(g->Columns()->Items(index), false);
    const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    TDBDivoRud* list = Shown()->gpList;
    h->MouseMove(g, p.X, p.Y);
    h->MouseDown(g, p.X, p.Y);
    h->MouseMove(g, p.X, r.Bottom + 30, {ssLeft});
    h->MouseMove(list, 20, 20, {ssLeft});
    h->MouseMove(list, 21, 20, {ssLeft});
    h->MouseUp(list, 21, 20);
    h->Pump();
  }
  int TitleY() { return grid->Layout().TitleArea / 2; }

  TLiteDesigner designer{nullptr};
  std::unique_ptr<TForm> form;
  std::unique_ptr<TMemTable> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TDBDivoRud> grid, other;
  std::string events;
};

TEST_F(Customizer, ShowsTheFieldsNotShownAndPlacesItselfWhereTheLastClosed) {
  ASSERT_EQ(ShowGridCustomizer, &ShowDivoRudCustomizer) << "the module hands the grid its customizer";
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = Shown();
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->Owner(), Application);
  EXPECT_EQ(c->Caption(), "Customize");
  EXPECT_EQ(c->FormStyle(), fsStayOnTop);
  EXPECT_EQ(c->BorderStyle(), bsSizeToolWin);
  EXPECT_EQ(c->Listed(), "BETA;DELTA");
  EXPECT_EQ(Rows(), "Beta,2|DELTA") << "a caption's ';' does not shift the later captions";
  EXPECT_EQ(c->datFields->RecordCount(), 2);
  EXPECT_EQ(grid->CustomizerWindow(), c);
  EXPECT_EQ(c->BoundsRect(), TRect(248, 108, 248 + 224, 108 + 325)) << "17 rows of 19 and the list's border";
  EXPECT_FALSE(c->pnBottom->Visible());
  // Replaced: the grid hears the old one finish, and its place is not kept.
  c->SetBounds(10, 10, 224, 200);
  events.clear();
  grid->Customize(gcmHide, "", "");
  TzvDivoRudCustomizer* next = Shown();
  ASSERT_NE(next, c);
  EXPECT_TRUE(c->Replaced());
  EXPECT_EQ(events, "Finish;Start;");
  EXPECT_EQ(next->Left(), 248);
  EXPECT_EQ(grid->CustomizerWindow(), next);
  h->Pump();
  // Closed by the user: the next one shows 8 pixels further.
  next->SetBounds(100, 50, 250, 200);
  next->sbClose->Click();
  EXPECT_EQ(Shown(), nullptr);
  EXPECT_EQ(grid->CustomizerWindow(), nullptr);
  h->Pump();
  grid->Customize(gcmRemove, "", "");
  ASSERT_NE(Shown(), nullptr);
  EXPECT_EQ(Shown()->Left(), 108);
  EXPECT_EQ(Shown()->Top(), 58);
  EXPECT_EQ(Shown()->Width(), 250);
  // Without a dataset: none, and the open one stays.
  TzvDivoRudCustomizer* open = Shown();
  grid->SetDataSource(nullptr);
  grid->Customize(gcmRemove, "", "");
  EXPECT_EQ(Shown(), open);
}

TEST_F(Customizer, DragsFromTheListOntoTheGridAndTitlesBack) {
  struct Case {
    TgpCustomizeMode mode;
    int row;
    const char *added, *addedEvents, *removed, *removedEvents, *rowsAfter;
  };
  const Case cases[] = {
      {gcmRemove, 1, "DELTA | ALPHA | GAMMA", "GetSel;BeforeAddColumn DELTA;AddColumn DELTA;DragDrop;",
       "ALPHA | GAMMA", "RemoveColumn DELTA;", "Beta,2|DELTA"},
      {gcmHide, 0, "(DELTA) | BETA | ALPHA | GAMMA", "GetSel;ShowColumn BETA;DragDrop;",
       "(DELTA) | (BETA) | ALPHA | GAMMA", "HideColumn BETA;", "BETA|DELTA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode == gcmRemove ? "remove" : "hide");
    if (c.mode == gcmHide) {
      for (const char* name : {"BETA", "DELTA"}) {
        TgpColumn* col = grid->Columns()->Insert(nullptr, -1, 0, nullptr);
        col->SetFieldName(name);
        col->SetCaption(name);
        col->SetWidth(80);
        col->SetVisible(false);
      }
      grid->Columns()->Items(0)->SetIndex(grid->Columns()->Count() - 1);
      grid->Columns()->Items(0)->SetIndex(grid->Columns()->Count() - 1);
    }
    grid->Customize(c.mode, "", "");
    ASSERT_NE(Shown(), nullptr);
    h->Pump();
    events.clear();
    // Before the first group.
    DragRowTo(c.row, grid->Columns()->ByField("ALPHA")->Group()->DisplayLeft);
    EXPECT_EQ(Layout(), c.added);
    EXPECT_EQ(events, c.addedEvents);
    EXPECT_EQ(Shown()->Strings()->Count(), 1);
    EXPECT_EQ(Shown()->datFields->RecordCount(), 1);
    // The title goes back: the list offers it again.
    events.clear();
    const int index = c.mode == gcmRemove ? 0 : 1;
    DragTitleToList(grid.get(), index);
    EXPECT_EQ(Layout(), c.removed);
    EXPECT_EQ(events, c.removedEvents);
    EXPECT_EQ(Rows(), c.rowsAfter);
    // The list's dataset shows the rows as they are now, not as they were.
    EXPECT_EQ(Shown()->datFields->RecordCount(), 2);
    TObjDataSet* fields = Shown()->datFields;
    EXPECT_EQ(fields->FieldByName("value")->AsString(), Shown()->Strings()->Strings(fields->RecNo() - 1));
    delete zvDivoRudCustomizer;
    h->Pump();
    grid = MakeGrid(form.get());
  }
  // Nothing offered at the row (an empty list starts no drag; a drop reported anyway): no column
  // on an empty name.
  grid->Customize(gcmRemove, "", "ALPHA;GAMMA");
  ASSERT_NE(Shown(), nullptr);
  EXPECT_EQ(Shown()->Listed(), "");
  events.clear();
  grid->Perform(CM_CUSTOMIZER, gcaDragDrop, 0);
  EXPECT_EQ(Layout(), "ALPHA | GAMMA");
  EXPECT_EQ(events, "BeforeAddColumn ;DragDrop;");
}

// A field dragged from the list onto each kind of place among the titles: a new first level, a
// place within a level, nowhere (the middle of a title), in both modes.
TEST_F(Customizer, DropsOnEveryKindOfPlace) {
  struct Case {
    TgpCustomizeMode mode;
    TgpDragColHitTest hit;
    const char* layout;  // fields in order, each with its level and index
  };
  const Case cases[] = {
      {gcmRemove, chtNewLayoutLevel, "ALPHA 0.0 | DELTA 0.0 GAMMA 1.0"},
      {gcmRemove, chtNewLayoutIndex, "DELTA 0.0 ALPHA 0.1 | GAMMA 0.0"},
      {gcmRemove, chtUndefined, "ALPHA 0.0 | GAMMA 0.0 | DELTA 0.0"},
      {gcmHide, chtNewLayoutLevel, "ALPHA 0.0 | DELTA 0.0 GAMMA 1.0"},
      {gcmHide, chtNewLayoutIndex, "DELTA 0.0 ALPHA 0.1 | GAMMA 0.0"},
      {gcmHide, chtUndefined, "ALPHA 0.0 | GAMMA 0.0 | DELTA 0.0"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.mode == gcmRemove ? "remove " : "hide ") + GetEnumName(ZvEnumTypeInfo(k.hit), k.hit));
    grid = MakeGrid(form.get());
    if (k.mode == gcmHide) {
      TgpColumn* hidden = grid->Columns()->Add();
      hidden->SetFieldName("DELTA");
      hidden->SetCaption("DELTA");
      hidden->SetWidth(80);
      hidden->SetVisible(false);
    }
    grid->Customize(k.mode, "", "");
    ASSERT_NE(Shown(), nullptr);
    h->Pump();
    const int row = k.mode == gcmRemove ? 1 : 0;  // "Beta,2|DELTA", or "DELTA" alone
    const TRect alpha = grid->TitleClientRect(grid->Columns()->ByField("ALPHA"), false);
    const TRect gamma = grid->TitleClientRect(grid->Columns()->ByField("GAMMA"), false);
    TPoint at;
    switch (k.hit) {
      case chtNewLayoutLevel: at = {gamma.Left + 40, gamma.Top + 1}; break;
      case chtNewLayoutIndex: at = {alpha.Left + 20, TitleY()}; break;
      default: at = {gamma.Left + 40, TitleY()}; break;
    }
    TDBDivoRud* list = Shown()->gpList;
    const int y = list->RowHeight() * row + list->RowHeight() / 2 + 1;
    events.clear();
    h->MouseMove(list, 20, y);
    h->MouseDown(list, 20, y);
    h->MouseMove(list, 30, y + 20, {ssLeft});
    h->MouseMove(grid.get(), at.X - 1, at.Y, {ssLeft});
    h->MouseMove(grid.get(), at.X, at.Y, {ssLeft});
    ASSERT_EQ(grid->LastDropHit().Result, k.hit);
    h->MouseUp(grid.get(), at.X, at.Y);
    h->Pump();
    std::string placed;
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
      const TgpColumn* c = grid->Columns()->Items(i);
      if (!c->Visible()) continue;
      if (!placed.empty()) placed += c->IsLeading() ? " | " : " ";
      placed += c->FieldName() + " " + std::to_string(c->LayoutLevel()) + "." + std::to_string(c->LayoutIndex());
    }
    EXPECT_EQ(placed, k.layout);
    EXPECT_EQ(events, k.mode == gcmRemove ? "GetSel;BeforeAddColumn DELTA;AddColumn DELTA;DragDrop;"
                                          : "GetSel;ShowColumn DELTA;DragDrop;");
    EXPECT_EQ(Shown()->Listed(), k.mode == gcmRemove ? "BETA" : "");
    delete zvDivoRudCustomizer;
    h->Pump();
  }
}

TEST_F(Customizer, ADropAfterItsHiddenColumnWasFreedDoesNothing) {
  TgpColumn* hidden = grid->Columns()->Add();
  hidden->SetFieldName("BETA");
  hidden->SetVisible(false);
  grid->Customize(gcmHide, "", "");
  ASSERT_NE(Shown(), nullptr);
  EXPECT_EQ(Shown()->Listed(), "BETA");
  h->Pump();
  TDBDivoRud* list = Shown()->gpList;
  const int x = grid->Columns()->ByField("GAMMA")->Group()->DisplayLeft;
  h->MouseDown(list, 20, 5);
  h->MouseMove(list, 30, 25, {ssLeft});
  h->MouseMove(grid.get(), x, TitleY(), {ssLeft});
  h->MouseMove(grid.get(), x + 1, TitleY(), {ssLeft});
  delete hidden;
  events.clear();
  h->MouseUp(grid.get(), x + 1, TitleY());
  EXPECT_EQ(events, "DragDrop;");
  EXPECT_EQ(Layout(), "ALPHA | GAMMA");
}

TEST_F(Customizer, RefusesTitlesItDoesNotCustomize) {
  grid->Customize(gcmRemove, "", "");
  ASSERT_NE(Shown(), nullptr);
  h->Pump();
  struct Case {
    const char* name;
    std::function<TDBDivoRud*()> prepare;
  };
  const Case cases[] = {
      {"another grid", [&] {
         auto* f = new TForm(form.get());
         f->SetBounds(0, 300, 400, 200);
         f->Show();
         other = MakeGrid(f);
         return other.get();
       }},
      {"a column not to customize", [&] {
         grid->Columns()->Items(0)->SetOptionsBehavior({cboNoCustomizing});
         return grid.get();
       }},
      {"a field the customizer does not offer", [&] {
         grid->Columns()->Items(0)->SetOptionsBehavior({});
         grid->Columns()->Items(0)->SetFieldName("NONE");
         return grid.get();
       }},
  };
  for (const Case& c : cases) {
    TDBDivoRud* g = c.prepare();
    events.clear();
    DragTitleToList(g, 0);
    EXPECT_EQ(events, "") << c.name;
    EXPECT_EQ(g->Columns()->Count(), 2) << c.name;
    EXPECT_EQ(Shown()->Listed(), "BETA;DELTA") << c.name;
  }
}

TEST_F(Customizer, SizingKeepsWholeRowsOnTheEdgeThatDidNotMove) {
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = Shown();
  ASSERT_NE(c, nullptr);
  const int top = c->Top(), bottom = c->Top() + c->Height();
  struct Case {
    const char* name;
    unsigned edge;
    int top, bottom;
    int wantTop, wantBottom;
  };
  const Case cases[] = {
      {"bottom", WMSZ_BOTTOM, top, top + 100, top, top + 2 + 5 * 19},
      {"bottom right", WMSZ_BOTTOMRIGHT, top, top + 60, top, top + 2 + 3 * 19},
      {"top", WMSZ_TOP, bottom - 100, bottom, bottom - 2 - 5 * 19, bottom},
      {"top left", WMSZ_TOPLEFT, bottom - 70, bottom, bottom - 2 - 3 * 19, bottom},
      {"below two rows", WMSZ_BOTTOM, top, top + 10, top, top + 2 + 2 * 19},
      {"negative", WMSZ_TOP, bottom + 30, bottom, bottom - 2 - 2 * 19, bottom},
  };
  for (const Case& k : cases) {
    TRect r(c->Left(), k.top, c->Left() + c->Width(), k.bottom);
    c->Perform(WM_SIZING, k.edge, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Top, k.wantTop) << k.name;
    EXPECT_EQ(r.Bottom, k.wantBottom) << k.name;
  }
}

// The user drags each edge of the framed window: the window hears WM_SIZING with that edge, and
// its answer (whole rows, the edge that did not move kept) is what the windowing system shows.
TEST_F(Customizer, SizingByEachEdgeOfTheFrameKeepsWholeRows) {
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = Shown();
  ASSERT_NE(c, nullptr);
  h->Pump();
  TNullWindowBackend& windows = *ActiveNullWindowBackend();
  const TNativeWindow native = NativeWindowOf(c->Handle());
  struct Case {
    unsigned edge;
    int dx, dy;  // how far the dragged edge goes
    int wantLeft, wantTop, wantRight, wantBottom;  // change of each side
  };
  const int rows3 = 2 + 3 * 19;
  const Case cases[] = {
      {WMSZ_LEFT, -30, 0, -30, 0, 0, 0},          {WMSZ_RIGHT, 25, 0, 0, 0, 25, 0},
      {WMSZ_BOTTOM, 0, -200, 0, 0, 0, -19},        {WMSZ_TOP, 0, 200, 0, 19, 0, 0},
      {WMSZ_TOPLEFT, -10, -30, -10, -19, 0, 0},    {WMSZ_TOPRIGHT, 10, 25, 0, 19, 10, 0},
      {WMSZ_BOTTOMLEFT, 10, 30, 10, 0, 0, 19},     {WMSZ_BOTTOMRIGHT, -10, -25, 0, 0, -10, -19},
  };
  for (const Case& k : cases) {
    // Start each from three rows high.
    c->SetBounds(100, 100, 224, rows3);
    h->Pump();
    const TRect was = c->BoundsRect();
    const bool left = k.edge == WMSZ_LEFT || k.edge == WMSZ_TOPLEFT || k.edge == WMSZ_BOTTOMLEFT;
    const bool top = k.edge >= WMSZ_TOP && k.edge <= WMSZ_TOPRIGHT;
    const TPoint to{(left ? was.Left : was.Right) + k.dx, (top ? was.Top : was.Bottom) + k.dy};
    windows.UserSizeEdge(native, k.edge, to);
    h->Pump();
    const TRect want(was.Left + k.wantLeft, was.Top + k.wantTop, was.Right + k.wantRight, was.Bottom + k.wantBottom);
    EXPECT_EQ(c->BoundsRect(), want) << k.edge;
    EXPECT_EQ(windows.Window(native)->Bounds, want) << k.edge;
  }
}

TEST_F(Customizer, ClosesWithItsGridAndDetachesWhenFreedOpen) {
  grid->Customize(gcmRemove, "", "");
  ASSERT_NE(Shown(), nullptr);
  Shown()->SetBounds(30, 40, 224, 200);
  grid.reset();
  EXPECT_EQ(Shown(), nullptr);
  h->Pump();
  EXPECT_EQ(CustomizerPlace().Left, 30);
  // Freed while open: the grid lets it go.
  grid = MakeGrid(form.get());
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = Shown();
  ASSERT_NE(c, nullptr);
  events.clear();
  delete c;
  EXPECT_EQ(events, "Finish;");
  EXPECT_EQ(grid->CustomizerWindow(), nullptr);
  EXPECT_FALSE(IsCustomizerWindow(c));
  EXPECT_EQ(Shown(), nullptr);
}

}  // namespace
}  // namespace zvtest
