// Dragging titles on the headless backend: the hit test per point, restrictions and fixed
// boundaries, the layout after a drop, the arrow windows while held and after, Esc, design mode.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Form.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/Dragger.h"
#include "runtime/vision/StdDesigners.h"

#include "FourColumnGrid.h"
#include "HarnessTest.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zvtest {
namespace {

using namespace zv;

class ColumnDrag : public TFourColumnGridTest {
protected:
  TDBDivoRud& Make() {
    MakeGrid();
    grid->OnColMoved = [this](TObject*, int from, int to) { moved += std::to_string(from) + ">" + std::to_string(to) + ";"; };
    grid->OnStartDrag = [this](TObject*, TDragObject*&) { moved += "start;"; };
    grid->OnEndDrag = [this](TObject*, TObject*, int, int) { moved += "end;"; };
    h->Pump();
    return *grid;
  }
  TgpColumn* Col(const char* caption) {
    for (int i = 0; i < grid->Columns()->Count(); ++i)
      if (grid->Columns()->Items(i)->Caption() == caption) return grid->Columns()->Items(i);
    return nullptr;
  }
  TRect Title(const char* caption) { return grid->TitleClientRect(Col(caption), false); }
  // "A | B C | D"; a column on a lower level shows as "/X".
  std::string Layout() {
    std::string s;
    const TgpColumns& cols = *grid->Columns();
    for (int i = 0; i < cols.Count(); ++i) {
      const TgpColumn* c = cols.Items(i);
      if (i) s += c->IsLeading() ? " | " : " ";
      if (c->LayoutLevel() > 0) s += "/";
      s += c->Caption();
    }
    return s;
  }
  TgpDragger& Dragger() { return grid->TitleTracker().Dragger(); }
  // Presses caption's title, leaves it, moves to (x, y) and reports the hit there; releases
  // when drop.
  TgpDropHit DragTo(const char* caption, int x, int y, bool drop = true, TShiftState shift = {}) {
    const TRect r = Title(caption);
    const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    h->MouseMove(grid.get(), p.X, p.Y);
    h->MouseDown(grid.get(), p.X, p.Y, mbLeft, shift);
    h->MouseMove(grid.get(), p.X, r.Bottom + 30, shift + TShiftState{ssLeft});
    h->MouseMove(grid.get(), x, y, shift + TShiftState{ssLeft});
    h->MouseMove(grid.get(), x, y, shift + TShiftState{ssLeft});
    const TgpDropHit hit = grid->LastDropHit();
    if (drop) h->MouseUp(grid.get(), x, y, mbLeft, shift);
    return hit;
  }
  int MidY() { return grid->Layout().TitleArea / 2; }

  std::string moved;
};

TEST_F(ColumnDrag, HitTestPerPoint) {
  Make();
  const TgpHotZones& z = GridHotZones();
  const int ta = grid->Layout().TitleArea;
  const TgpGroupInfo* g1 = Col("B")->Group();
  const TgpGroupInfo* g2 = Col("D")->Group();
  const int bc = Title("C").Left;  // the boundary inside B C
  struct Case {
    const char* name;
    int x, y, exclusions;
    TgpDragColHitTest result;
    const TgpGroupInfo* group;
    int level, index;
  };
  const Case cases[] = {
      {"the boundary before D's group", g2->DisplayLeft, MidY(), 0, chtMovingSingle, g2, -1, -1},
      {"within g left of it", g2->DisplayLeft - z.BetweenGroups + 1, MidY(), 0, chtMovingSingle, g2, -1, -1},
      {"past the last group", g2->DisplayLeft + g2->TotalWidth - 2, MidY(), 0, chtMovingSingle, nullptr, -1, -1},
      {"the top of B: a new first level", Title("B").Left + 20, 1, 0, chtNewLayoutLevel, g1, 0, -1},
      {"the bottom of B: a level below", Title("B").Left + 20, ta - 2, 0, chtNewLayoutLevel, g1, 1, -1},
      {"levels excluded: between B and C", bc, ta - 2, htxNewLevel, chtNewLayoutIndex, g1, 0, 1},
      {"between B and C", bc, MidY(), 0, chtNewLayoutIndex, g1, 0, 1},
      {"the right third of C", Title("C").Right - 3, MidY(), htxBetweenGroups, chtNewLayoutIndex, g1, 0, 2},
      {"the middle of a title", Title("D").Left + 35, MidY(), 0, chtUndefined, nullptr, -1, -1},
      {"a row is no title", Title("D").Left + 35, ta + 5, 0, chtUndefined, nullptr, -1, -1},
      {"all excluded", g2->DisplayLeft, MidY(), htxBetweenGroups | htxNewIndex | htxNewLevel, chtUndefined, nullptr, -1, -1},
  };
  for (const Case& c : cases) {
    const TgpDropHit hit = grid->GetTitleHitTest(c.x, c.y, c.exclusions, gaTitle);
    EXPECT_EQ(hit.Result, c.result) << c.name;
    EXPECT_EQ(hit.Group, c.group) << c.name;
    EXPECT_EQ(hit.Level, c.level) << c.name;
    EXPECT_EQ(hit.Index, c.index) << c.name;
  }
}

TEST_F(ColumnDrag, DropsRestrictionsAndFixedBoundaries) {
  struct Case {
    const char* name;
    TgpGridBehaviorOptions options;
    const char* dragged;
    TgpColumnBehaviorOptions columnOptions;
    bool fixedA;
    // Where: 'g' before D's group, 'G' before B's group, 'F' before the first group, 'l' under B,
    // 'i' between B and C.
    char where;
    TShiftState shift;
    std::string layout, events;
  };
  const Case cases[] = {
      {"out of its group, before another", {}, "B", {}, false, 'g', {}, "A | C | B | D", "1>2;"},
      {"Shift takes the whole group", {}, "B", {}, false, 'F', {ssShift}, "B C | A | D", "1>0;"},
      {"no grouping: whole groups only", {gboNoColumnGrouping}, "C", {}, false, 'F', {}, "B C | A | D", "2>1;"},
      {"a new level below B", {}, "A", {}, false, 'l', {}, "B C /A | D", "0>2;"},
      {"between B and C", {}, "D", {}, false, 'i', {}, "A | B D C", "3>2;"},
      {"no moving: not into another group", {gboNoColumnMoving}, "A", {}, false, 'i', {}, "A | B C | D", ""},
      {"no moving: a new level of its own group", {gboNoColumnMoving}, "C", {}, false, 'l', {}, "A | B /C | D", ""},
      {"no moving and no grouping: no drag at all", {gboNoColumnMoving, gboNoColumnGrouping}, "A", {}, false, 'g', {}, "A | B C | D", ""},
      {"a standalone column joins no group", {}, "A", {cboStandalone}, false, 'i', {}, "A | B C | D", ""},
      {"no dragging without a customizer", {}, "A", {cboNoDragging}, false, 'g', {}, "A | B C | D", ""},
      {"a fixed column stays among fixed ones", {}, "A", {}, true, 'g', {}, "A | B C | D", ""},
      {"a scrollable column may go first of the scrollable", {}, "D", {}, true, 'G', {}, "A | D | B C", "3>1;"},
  };
  for (const Case& c : cases) {
    Make();
    grid->SetOptionsBehavior(c.options);
    Col(c.dragged)->SetOptionsBehavior(c.columnOptions);
    if (c.fixedA) Col("A")->SetFixed(cfLeft);
    h->Pump();
    moved.clear();
    const TRect b = Title("B");
    TPoint p;
    switch (c.where) {
      case 'g': p = {Col("D")->Group()->DisplayLeft, MidY()}; break;
      case 'G': p = {Col("B")->Group()->DisplayLeft, MidY()}; break;
      case 'F': p = {1, MidY()}; break;
      case 'l': p = {b.Left + 20, grid->Layout().TitleArea - 2}; break;
      default: p = {Title("C").Left, MidY()}; break;
    }
    DragTo(c.dragged, p.X, p.Y, true, c.shift);
    EXPECT_EQ(Layout(), c.layout) << c.name;
    // A column drag fires none of the drag events.
    EXPECT_EQ(moved, c.events) << c.name;
    EXPECT_EQ(grid->DraggedColumn(), nullptr) << c.name;
    EXPECT_FALSE(grid->ColumnDragging()) << c.name;
    EXPECT_EQ(grid->GridState(), gsNormal) << c.name;
  }
}

TEST_F(ColumnDrag, ArrowsArePopUpsAtTheMarkerPlacesWhileHeld) {
  Make();
  const int ta = grid->Layout().TitleArea;
  const int x = Col("D")->Group()->DisplayLeft;
  const TRect c = Title("C");
  const TgpGroupInfo* g1 = Col("B")->Group();
  struct Case {
    const char* name;
    TPoint at;
    TPoint first, second;  // client places of the two arrows
    TCustomImageList* images;
  };
  const Case cases[] = {
      {"between groups: green", {x, MidY()}, {x - 7, -15}, {x - 7, ta}, zvEnv->ArrowsGrImgs},
      {"between cells: yellow", {c.Left, MidY()}, {c.Left - 7, c.Top - 15}, {c.Left - 7, c.Bottom}, zvEnv->ArrowsYwImgs},
      {"a new level: yellow, beside the group",
       {Title("B").Left + 20, ta - 2},
       {g1->DisplayLeft - 15, Title("B").Bottom + 1 - 7},
       {g1->DisplayLeft + g1->TotalWidth, Title("B").Bottom + 1 - 7},
       zvEnv->ArrowsYwImgs},
  };
  for (const Case& k : cases) {
    DragTo("A", k.at.X, k.at.Y, false);
    const TgpDragger::TMarkers& m = Dragger().Markers;
    ASSERT_TRUE(m.Shown) << k.name;
    EXPECT_EQ(m.Images, k.images) << k.name;
    const TPoint expected[2] = {grid->ClientToScreen(k.first), grid->ClientToScreen(k.second)};
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(m.Windows[i]) << k.name;
      EXPECT_TRUE(m.Windows[i]->Visible()) << k.name;
      EXPECT_EQ(m.Windows[i]->BoundsRect(), TRect(expected[i].X, expected[i].Y, expected[i].X + 15, expected[i].Y + 15))
          << k.name << " " << i;
      // The mouse goes through them.
      EXPECT_EQ(m.Windows[i]->Perform(WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    }
    // Moving within the same target neither moves nor repaints them.
    const int updates = m.Updates;
    h->MouseMove(grid.get(), k.at.X + (k.at.X == x ? 1 : 0), k.at.Y, {ssLeft});
    EXPECT_EQ(m.Updates, updates) << k.name;
    h->KeyDown(grid.get(), VK_ESCAPE);
    h->MouseUp(grid.get(), k.at.X, k.at.Y);
    EXPECT_FALSE(Dragger().Markers.Shown) << k.name;
    EXPECT_FALSE(Dragger().Markers.Windows[0]) << k.name;
    EXPECT_EQ(Layout(), "A | B C | D") << k.name;
  }
}

TEST_F(ColumnDrag, ASmallMoveInsideTheTitleIsAClick) {
  Make();
  const TRect r = Title("A");
  const int y = (r.Top + r.Bottom) / 2;
  h->MouseMove(grid.get(), r.Left + 10, y);
  h->MouseDown(grid.get(), r.Left + 10, y);
  h->MouseMove(grid.get(), r.Left + 30, y, {ssLeft});
  EXPECT_EQ(grid->GridState(), gsTitleClick);
  EXPECT_FALSE(grid->ColumnDragging());
  h->MouseUp(grid.get(), r.Left + 30, y);
  EXPECT_EQ(Col("A")->TitleState(), tsSortedUp);
}

TEST_F(ColumnDrag, DesignModeRunsTheDragInsideTheGrid) {
  Make();
  grid->SetDesigning(true);
  grid->SetOptionsBehavior({gboNoColumnMoving, gboNoColumnGrouping});
  h->Pump();
  moved.clear();
  DragTo("A", Col("D")->Group()->DisplayLeft, MidY());
  EXPECT_EQ(Layout(), "B C | A | D");
  EXPECT_EQ(moved, "0>2;");
  EXPECT_FALSE(grid->ColumnDragging());
  EXPECT_FALSE(Dragger().Markers.Shown);
}

TEST_F(ColumnDrag, ADraggedColumnFreedMidDragIsForgotten) {
  Make();
  DragTo("A", Col("D")->Group()->DisplayLeft, MidY(), false);
  ASSERT_TRUE(grid->ColumnDragging());
  delete Col("A");
  EXPECT_EQ(grid->DraggedColumn(), nullptr);
  h->MouseMove(grid.get(), Title("C").Left, MidY(), {ssLeft});
  h->MouseUp(grid.get(), Title("C").Left, MidY());
  EXPECT_EQ(Layout(), "B C | D");
  EXPECT_FALSE(Dragger().Markers.Shown);
}

TEST_F(ColumnDrag, AFailingHandlerReachesTheApplicationOnceAndEndsTheDrag) {
  Make();
  int errors = 0;
  Application->OnException = [&](TObject*, const Exception&) { ++errors; };
  grid->OnColMoved = [](TObject*, int, int) { throw Exception("refused"); };
  DragTo("A", Col("D")->Group()->DisplayLeft, MidY());
  h->Pump();
  Application->OnException = nullptr;
  EXPECT_EQ(errors, 1);
  EXPECT_FALSE(grid->ColumnDragging());
  EXPECT_EQ(grid->DraggedColumn(), nullptr);
  EXPECT_FALSE(Dragger().Markers.Shown);
  EXPECT_FALSE(Dragger().Markers.Windows[0]);
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(moved, "");
}

TEST_F(ColumnDrag, AGridFreedMidDragEndsItWithNoArrowLeft) {
  Make();
  DragTo("A", Col("D")->Group()->DisplayLeft, MidY(), false);
  ASSERT_TRUE(Dragger().Markers.Shown);
  TCustomForm* arrow = Dragger().Markers.Windows[0].get();
  ASSERT_TRUE(arrow && arrow->HandleAllocated());
  const HWND arrowHandle = arrow->Handle();
  grid.reset();
  h->Pump();
  EXPECT_FALSE(IsWindow(arrowHandle));
  EXPECT_FALSE(Mouse->IsDragging());
  h->MouseMove(form.get(), 100, 10, {ssLeft});
  h->MouseUp(form.get(), 100, 10);
}

TEST_F(ColumnDrag, TwoGridsTradeRecords) {
  struct Case {
    const char* name;
    TgpGridBehaviorOptions targetOptions;
    bool accept;
    std::string events;  // on both grids, in order
    bool track;          // the drop row shown on the target while over it
  };
  const Case cases[] = {
      {"accepted: a drop row follows the mouse", {}, true, "start;over;drop 4;end 2;", true},
      {"no incoming track, and no hot-spot record", {gboNoIncomingDragTrack}, true, "start;over;drop -1;end 2;", false},
      {"refused: nothing dropped", {}, false, "start;over;end 0;", true},
  };
  for (const Case& c : cases) {
    Make();
    TDBDivoRud& from = *grid;
    from.SetDragMode(dmAutomatic);
    auto other = std::make_unique<TDBDivoRud>(nullptr);
    TDBDivoRud& to = *other;
    to.SetBorderStyle(bsNoBorder);
    to.SetScrollBars(ssNone);
    to.SetBounds(420, 0, 250, 200);
    to.SetDesigner(&designer);
    to.SetParent(form.get());
    to.Columns()->Add()->SetFieldName("ID");
    to.SetDataSource(source.get());
    to.SetOptionsBehavior(c.targetOptions);
    h->Pump();
    moved.clear();
    std::set<int> trackedRows;
    to.OnGetRowAttrs = [&](TObject*, TgpRowAttrs& a) {
      if (a.Tracked && a.ForceColor && a.Color == designer.SelectedRow()) trackedRows.insert(a.Row);
    };
    to.OnDragOver = [&](TObject*, TObject* src, int, int, TDragState, bool& accept) {
      if (moved.find("over;") == std::string::npos) moved += "over;";
      accept = c.accept && src == &from;
    };
    to.OnDragDrop = [&](TObject*, TObject*, int, int) {
      moved += "drop " + std::to_string(to.HotSpotRecShot().RecNo()) + ";";
    };
    from.OnEndDrag = [&](TObject*, TObject* target, int, int) {
      moved += "end " + std::to_string(target == &to ? 2 : 0) + ";";
    };
    const TRect cell = from.CellClientRect(Col("A"), 1, false);
    const int y = (cell.Top + cell.Bottom) / 2;
    h->MouseMove(&from, cell.Left + 5, y);
    h->MouseDown(&from, cell.Left + 5, y);
    h->MouseMove(&from, cell.Left + 20, y, {ssLeft});
    EXPECT_FALSE(from.Dragging()) << c.name;
    h->MouseMove(&from, cell.Left + 20, y + from.RowHeight(), {ssLeft});
    EXPECT_TRUE(from.Dragging()) << c.name;
    const TRect target = to.CellClientRect(to.Columns()->Items(0), 3, false);
    const TPoint p{target.Left + 10, (target.Top + target.Bottom) / 2};
    h->MouseMove(&to, p.X, p.Y, {ssLeft});
    h->MouseMove(&to, p.X + 1, p.Y, {ssLeft});
    h->Pump();
    EXPECT_EQ(trackedRows.count(3) == 1, c.track) << c.name;
    h->MouseUp(&to, p.X + 1, p.Y);
    h->Pump();
    EXPECT_EQ(moved, c.events) << c.name;
    // The drop ended the drag over the target too: no row stays marked.
    trackedRows.clear();
    to.Invalidate();
    h->Pump();
    EXPECT_TRUE(trackedRows.empty()) << c.name;
    EXPECT_FALSE(from.Dragging()) << c.name;
    other.reset();
  }
}

std::string EnumName(TgpCustomizerAction a) {
  return a <= gcaDragDrop ? std::string(GetEnumName(ZvEnumTypeInfo(a), a)) : std::to_string(static_cast<int>(a));
}

// Stands in for the customizer's form: records what the grid forwards and answers as the
// customizer would.
class TStandInCustomizer : public TForm {
public:
  explicit TStandInCustomizer(TDBDivoRud* grid) : TForm(nullptr), Grid(grid) {}
  TDBDivoRud* Grid;
  std::string* Log = nullptr;
  TgpColumn* Selected = nullptr;
  void WndProc(TMessage& m) override {
    if (m.Msg != CM_CUSTOMIZER) return TForm::WndProc(m);
    const auto action = static_cast<TgpCustomizerAction>(m.WParam);
    *Log += std::string("fwd ") + EnumName(action) + ";";
    switch (action) {
      case gcaGetSel: m.Result = reinterpret_cast<LRESULT>(static_cast<TObject*>(Selected)); break;
      case gcaRemoveColumn: delete reinterpret_cast<TgpColumn*>(m.LParam); break;
      case gcaDragDrop:
        Selected->SetVisible(true);
        Grid->Perform(CM_CUSTOMIZER, gcaShowColumn, reinterpret_cast<LPARAM>(static_cast<TObject*>(Selected)));
        break;
      default: break;
    }
  }
};

struct TShown {
  static inline std::string Text;
  static void Show(TDBDivoRud*, const String& names, const String& captions, TgpCustomizeMode mode,
                   const String& present) {
    Text = std::string(mode == gcmHide ? "hide " : "remove ") + names + " / " + captions + " / " + present;
  }
};

TEST_F(ColumnDrag, CustomizeListsWhatTheCustomizerShows) {
  struct Case {
    const char* name;
    TgpCustomizeMode mode;
    const char *exclude, *fields, *shown;
    const char* idLabel = "";
    const char* captionA = "";
    const char* fieldD = "";
  };
  const Case cases[] = {
      {"hide: the customizable columns", gcmHide, "", "", "hide ID;ID;NAME / A;C;D / ID;ID"},
      {"hide: fields left out", gcmHide, "id ; x", "", "hide NAME / D / "},
      {"remove: every field", gcmRemove, "", "", "remove ID;NAME / ID;NAME / ID;NAME;ID"},
      {"remove: the fields asked, less the excluded", gcmRemove, "ID", "NAME;ID", "remove NAME / NAME / ID;NAME;ID"},
      // A separator in a caption would shift every later caption against its name.
      {"remove: a caption holding the separator", gcmRemove, "", "", "remove ID;NAME / I,D;NAME / ID;NAME;ID", "I;D"},
      {"hide: a caption holding the separator", gcmHide, "", "", "hide ID;ID;NAME / A,1;C;D / ID;ID", "", "A;1"},
      // A field name holding it cannot be named in the lists: not offered.
      {"hide: a field name holding the separator", gcmHide, "", "", "hide ID;ID / A;C / ID;ID", "", "", "X;Y"},
  };
  const TgpShowCustomizer saved = ShowGridCustomizer;
  for (const Case& c : cases) {
    Make();
    Col("B")->SetOptionsBehavior({cboNoCustomizing});
    Col("D")->SetVisible(false);
    if (*c.idLabel) dataSet->FieldByName("ID")->SetDisplayLabel(c.idLabel);
    if (*c.captionA) Col("A")->SetCaption(c.captionA);
    if (*c.fieldD) Col("D")->SetFieldName(c.fieldD);
    TShown::Text = "none";
    ShowGridCustomizer = nullptr;
    grid->Customize(c.mode, c.exclude, c.fields);
    EXPECT_EQ(TShown::Text, "none") << c.name;
    ShowGridCustomizer = &TShown::Show;
    grid->Customize(c.mode, c.exclude, c.fields);
    EXPECT_EQ(TShown::Text, c.shown) << c.name;
    // Without a dataset: nothing.
    TShown::Text = "none";
    grid->SetDataSource(nullptr);
    grid->Customize(c.mode, c.exclude, c.fields);
    EXPECT_EQ(TShown::Text, "none") << c.name;
  }
  ShowGridCustomizer = saved;
}

TEST_F(ColumnDrag, TheCustomizerMessageWithAStandIn) {
  Make();
  std::string log;
  grid->OnCustomizerAction = [&](TObject*, TgpCustomizerAction a, TgpColumn* c) {
    log += std::string("event ") + EnumName(a) + (c ? " " + c->Caption() : std::string()) + ";";
  };
  auto stand = std::make_unique<TStandInCustomizer>(grid.get());
  stand->Log = &log;
  // The action as the message carries it: any number, known or not.
  auto send = [&](WPARAM a, TObject* o) {
    return grid->Perform(CM_CUSTOMIZER, a, reinterpret_cast<LPARAM>(o));
  };
  Col("A")->SetOptionsBehavior({cboNoDragging});
  EXPECT_FALSE(grid->CanMoveColumn(Col("A")));
  // Only a form attaches.
  send(gcaStart, grid.get());
  EXPECT_EQ(grid->CustomizerWindow(), nullptr);
  send(gcaStart, stand.get());
  EXPECT_EQ(grid->CustomizerWindow(), stand.get());
  EXPECT_TRUE(IsCustomizerWindow(stand.get()));
  EXPECT_TRUE(grid->CanMoveColumn(Col("A")));
  struct Step {
    WPARAM action;
    const char* column;  // nullptr: none
    std::string log;
  };
  const Step steps[] = {
      {gcaShowColumn, "B", "fwd gcaShowColumn;event gcaShowColumn B;"},
      {gcaHideColumn, nullptr, ""},
      {42, "B", ""},
      {gcaGetSel, nullptr, "fwd gcaGetSel;event gcaGetSel;"},
      // The application hears of the column before the customizer frees it.
      {gcaRemoveColumn, "C", "event gcaRemoveColumn C;fwd gcaRemoveColumn;"},
  };
  stand->Selected = Col("D");
  for (const Step& s : steps) {
    log.clear();
    const LRESULT r = send(s.action, s.column ? static_cast<TObject*>(Col(s.column)) : nullptr);
    EXPECT_EQ(log, s.log) << "action " << s.action;
    if (s.action == gcaGetSel) {
      EXPECT_EQ(r, reinterpret_cast<LRESULT>(static_cast<TObject*>(Col("D"))));
    }
  }
  EXPECT_EQ(Layout(), "A | B | D");
  // A freed customizer is forgotten everywhere.
  stand.reset();
  EXPECT_EQ(grid->CustomizerWindow(), nullptr);
  log.clear();
  send(gcaShowColumn, Col("B"));
  EXPECT_EQ(log, "event gcaShowColumn B;");
}

TEST_F(ColumnDrag, ADropFromTheCustomizerShowsTheColumnWhereItFell) {
  Make();
  std::string log;
  grid->OnCustomizerAction = [&](TObject*, TgpCustomizerAction a, TgpColumn*) { log += std::string(EnumName(a)) + ";"; };
  auto stand = std::make_unique<TStandInCustomizer>(grid.get());
  stand->Log = &log;
  stand->SetBounds(450, 0, 200, 200);
  stand->Show();
  TProbe* list = h->Child(stand.get(), "list", 0, 0, 150, 150);
  list->SetDragMode(dmAutomatic);
  grid->Perform(CM_CUSTOMIZER, gcaStart, reinterpret_cast<LPARAM>(static_cast<TObject*>(stand.get())));
  Col("D")->SetVisible(false);
  h->Pump();
  stand->Selected = Col("D");
  log.clear();
  const int x = Col("B")->Group()->DisplayLeft;
  h->MouseDown(list, 20, 20);
  h->MouseMove(list, 40, 40, {ssLeft});
  h->MouseMove(grid.get(), x, MidY(), {ssLeft});
  h->MouseMove(grid.get(), x + 1, MidY(), {ssLeft});
  EXPECT_EQ(grid->DraggedColumn(), Col("D"));
  EXPECT_EQ(grid->LastDropHit().Result, chtMovingSingle);
  EXPECT_TRUE(Dragger().Markers.Shown);
  h->MouseUp(grid.get(), x + 1, MidY());
  EXPECT_EQ(log, "fwd gcaGetSel;gcaGetSel;fwd gcaDragDrop;fwd gcaShowColumn;gcaShowColumn;gcaDragDrop;");
  EXPECT_TRUE(Col("D")->Visible());
  EXPECT_FALSE(Dragger().Markers.Shown);
  EXPECT_EQ(grid->DraggedColumn(), nullptr);
  grid->Perform(CM_CUSTOMIZER, gcaFinish, 0);
  EXPECT_FALSE(IsCustomizerWindow(stand.get()));
}

}  // namespace
}  // namespace zvtest
