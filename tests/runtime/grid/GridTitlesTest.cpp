// Title states and footers on the headless backend: title clicks with every modifier and option,
// at run and design time, released elsewhere or cancelled; the sort numbers a form, a layout
// string or a click hands out; the shared footer menu (item states, when it opens, the choice,
// two grids, a grid or column freed while it is open); the sort glyph beside the caption.
#include "tests/runtime/db/TestDataSets.h"

#include "platform/classes/FormText.h"
#include "platform/controls/Form.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/WinApi.h"
#include "platform/db/MemTable.h"
#include "platform/null/NullBackend.h"
#include "runtime/env/Env.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/rtm/ComponentStreaming.h"
#include "runtime/vision/StdDesigners.h"

#include "CountingDesignerHook.h"
#include "HarnessTest.h"
#include "MenuScript.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <set>
#include <string>

namespace zvtest {
namespace {

using namespace zv;

class GridTitles : public THarnessTest {
protected:
  void TearDown() override {
    Application->OnException = nullptr;
    grids[1].reset();
    grids[0].reset();
    source.reset();
    dataSet.reset();
    if (form) form->SetDesigner(nullptr);
    form.reset();
    THarnessTest::TearDown();
  }

  // A shown form with a 300 x 200 grid over ten records: ID (60 px), NAME (80 px), footers shown.
  TDBDivoRud* Make(int which = 0) {
    if (!form) {
      form = std::make_unique<TForm>(nullptr);
      form->SetBounds(0, 0, 700, 300);
      form->Show();
      dataSet = CreateGridMemTable(10);
      source = std::make_unique<TDataSource>(nullptr);
      source->SetDataSet(dataSet.get());
    }
    auto& grid = grids[which];
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(which * 320, 0, 300, 200);
    grid->SetShowFooters(true);
    grid->SetDesigner(&designer);
    grid->SetParent(form.get());
    for (const char* name : {"ID", "NAME"}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(name);
      c->SetWidth(c->Index() == 0 ? 60 : 80);
    }
    grid->SetDataSource(source.get());
    grid->OnTitleStateChange = [this](TObject*, TgpColumn* c) { events += c->FieldName() + ";"; };
    grid->OnFooterStateChange = [this](TObject*, TgpColumn* c) {
      events += "footer " + c->FieldName() + ";";
      c->SetFooterText("7");
    };
    h->Pump();
    return grid.get();
  }
  TDBDivoRud& G(int which = 0) { return *grids[which]; }
  TgpColumn* Col(int i, int which = 0) { return G(which).Columns()->Items(i); }
  TPoint Title(int i, int which = 0) {
    const TRect r = G(which).TitleClientRect(Col(i, which), false);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  TPoint Footer(int i, int which = 0) {
    const TRect r = G(which).FooterClientRect(Col(i, which), true, false);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickTitle(int i, TShiftState shift = {}) {
    const TPoint p = Title(i);
    h->MouseDown(&G(), p.X, p.Y, mbLeft, shift);
    h->MouseUp(&G(), p.X, p.Y, mbLeft, shift);
  }
  // "U0 N D1": each column's state and number.
  std::string States(int which = 0) {
    std::string s;
    for (int i = 0; i < G(which).Columns()->Count(); ++i) {
      const TgpColumn* c = Col(i, which);
      s += (s.empty() ? "" : " ") + std::string(c->TitleState() == tsSortedUp ? "U" : c->TitleState() == tsSortedDown ? "D" : "N");
      if (c->TitleState() != tsSortedNone) s += std::to_string(c->SortID());
    }
    return s;
  }

  TStandardDesigner designer{nullptr};
  std::unique_ptr<TForm> form;
  std::unique_ptr<TDataSet> dataSet;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TDBDivoRud> grids[2];
  std::string events;
};

TEST_F(GridTitles, ClicksCycleTheSortStatesAsModifiersAndOptionsAllow) {
  struct Click {
    int column;
    TShiftState shift;
  };
  struct Case {
    const char* name;
    TgpGridBehaviorOptions options;
    TgpColumnBehaviorOptions firstColumn;
    bool design;
    std::vector<Click> clicks;
    const char* states;
    const char* sort;
    const char* events;
    int modified;
  } cases[] = {
      {"three plain clicks", {}, {}, false, {{0, {}}, {0, {}}, {0, {}}}, "U2 N", "ID ASC", "ID;ID;ID;", 0},
      {"a plain click sorts by one column", {}, {}, false, {{0, {}}, {1, {}}}, "N U1", "NAME ASC", "ID;NAME;", 0},
      {"Shift adds a column after the first", {}, {}, false, {{1, {}}, {0, {ssShift}}, {1, {ssShift}}},
       "U1 D0", "NAME DESC,ID ASC", "NAME;ID;NAME;", 0},
      {"Ctrl removes one sort only", {}, {}, false, {{0, {}}, {1, {ssShift}}, {0, {ssCtrl}}, {0, {ssCtrl}}},
       "N U1", "NAME ASC", "ID;NAME;ID;", 0},
      {"no multi-sorting: Shift is a plain click", {gboNoMultiTitleStates}, {}, false, {{0, {}}, {1, {ssShift}}},
       "N U1", "NAME ASC", "ID;NAME;", 0},
      {"no title states", {gboNoTitleStates}, {}, false, {{0, {}}, {1, {ssShift}}}, "N N", "", "", 0},
      {"a column without title states", {}, {cboNoTitleStates}, false, {{0, {}}, {1, {}}}, "N U0", "NAME ASC", "NAME;", 0},
      {"design mode ignores the options; Shift keeps the others", {gboNoTitleStates}, {cboNoTitleStates}, true,
       {{0, {}}, {1, {ssShift}}, {1, {}}}, "N D2", "NAME DESC", "ID;NAME;NAME;", 3},
  };
  TCountingDesignerHook recorder;
  for (const Case& c : cases) {
    Make();
    form->SetDesigner(&recorder);
    recorder.Modifications = 0;
    events.clear();
    G().SetOptionsBehavior(c.options);
    Col(0)->SetOptionsBehavior(c.firstColumn);
    if (c.design) {
      G().SetDesigning(true);
      // The form designer leaves presses on titles to the grid, and takes those on cells.
      EXPECT_EQ(G().Perform(CM_DESIGNHITTEST, 0, PointToLParam(Title(0))), 1);
      EXPECT_EQ(G().Perform(CM_DESIGNHITTEST, 0, PointToLParam({Title(0).X, 100})), 0);
    }
    for (const Click& k : c.clicks) ClickTitle(k.column, k.shift);
    EXPECT_EQ(States(), c.states) << c.name;
    EXPECT_EQ(G().Columns()->GetSortString(""), c.sort) << c.name;
    EXPECT_EQ(events, c.events) << c.name;
    EXPECT_EQ(recorder.Modifications, c.modified) << c.name;
    EXPECT_EQ(G().GridState(), gsNormal) << c.name;
    EXPECT_EQ(G().PaintPressedTitle(), -1) << c.name;
    form->SetDesigner(nullptr);
    grids[0].reset();
  }
}

TEST_F(GridTitles, APressHoldsTheTitleUntilAReleaseOverItAnythingElseChangesNothing) {
  Make();
  Col(1)->SetCaption("a caption far too long for its title");
  {
    THintInfo info;
    info.CursorPos = Title(1);
    G().Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(info.HintStr, "a caption far too long for its title") << "hinted while nothing is held";
  }
  const TPoint p0 = Title(0), p1 = Title(1);
  struct Case {
    const char* name;
    std::function<void()> end;
  } cases[] = {
      {"released over another title", [&] { h->MouseUp(&G(), p1.X, p1.Y); }},
      {"released over a cell", [&] { h->MouseUp(&G(), p0.X, 100); }},
      {"cancel mode", [&] { G().Perform(CM_CANCELMODE, 0, 0); }},
      {"the capture lost", [&] { ReleaseCapture(); }},
  };
  for (const Case& c : cases) {
    events.clear();
    h->MouseDown(&G(), p0.X, p0.Y);
    EXPECT_EQ(G().GridState(), gsTitleClick) << c.name;
    EXPECT_EQ(G().PaintPressedTitle(), 0) << c.name;
    // A title cut short would hint; not while it is held down.
    THintInfo info;
    info.CursorPos = p1;
    EXPECT_EQ(G().Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)), 1) << c.name;
    EXPECT_EQ(info.HintStr, "") << c.name;
    c.end();
    h->Pump();
    EXPECT_EQ(G().GridState(), gsNormal) << c.name;
    EXPECT_EQ(G().PaintPressedTitle(), -1) << c.name;
    EXPECT_EQ(States(), "N N") << c.name;
    EXPECT_EQ(events, "") << c.name;
    // A stray release afterwards clicks nothing either.
    h->MouseUp(&G(), p0.X, p0.Y);
    EXPECT_EQ(States(), "N N") << c.name;
  }
  // A column freed while its title is held.
  h->MouseDown(&G(), p0.X, p0.Y);
  delete Col(0);
  EXPECT_EQ(G().GridState(), gsNormal);
  EXPECT_EQ(G().PaintPressedTitle(), -1);
  h->MouseUp(&G(), p0.X, p0.Y);
  EXPECT_EQ(States(), "N");
}

TEST_F(GridTitles, ARecordThatCannotBePostedKeepsItsEditAndTheTitlesTheirStates) {
  Make();
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  dataSet->BeforePost = [](TDataSet*) { throw EDatabaseError("Field 'NAME' must have a value"); };
  dataSet->Edit();
  dataSet->FieldByName("NAME")->SetAsString("typed");
  ClickTitle(0);
  EXPECT_EQ(errors, std::vector<String>{"Field 'NAME' must have a value"});
  EXPECT_EQ(dataSet->State(), dsEdit);
  EXPECT_EQ(dataSet->FieldByName("NAME")->AsString(), "typed");
  EXPECT_EQ(States(), "N N");
  EXPECT_EQ(G().GridState(), gsNormal);
  EXPECT_EQ(G().PaintPressedTitle(), -1);
  EXPECT_EQ(events, "");
  dataSet->BeforePost = nullptr;
  dataSet->Cancel();
  // A raising handler: the state stays as set, the error goes to the application.
  G().OnTitleStateChange = [](TObject*, TgpColumn*) { throw Exception("handler"); };
  ClickTitle(1);
  EXPECT_EQ(errors.back(), "handler");
  EXPECT_EQ(States(), "N U0");
  EXPECT_EQ(G().GridState(), gsNormal);
}

TEST_F(GridTitles, AFormKeepsTheStatesOptionsAndOrderAndDropsAStatedFootersText) {
  Make();
  G().SetName("Grid1");
  G().SetOptionsBehavior({gboNoMultiTitleStates, gboNoFooterStates});
  Col(1)->SetTitleStateField(tsSortedDown);
  Col(0)->SetTitleStateField(tsSortedUp);
  Col(0)->SetFooterStateField(fsSum);
  Col(0)->SetFooterText("55");
  Col(1)->SetFooterText("plain text");
  const String text = ComponentToText(&G());
  TDBDivoRud copy(nullptr);
  copy.SetName("Grid1");
  TextToComponent(text, &copy);
  EXPECT_EQ(copy.OptionsBehavior(), (TgpGridBehaviorOptions{gboNoMultiTitleStates, gboNoFooterStates}));
  EXPECT_EQ(copy.Columns()->GetSortString(""), "NAME DESC,ID ASC");
  EXPECT_EQ(copy.TitleStateCounter(), 1);
  EXPECT_EQ(copy.Columns()->Items(0)->FooterState(), fsSum);
  EXPECT_EQ(copy.Columns()->Items(0)->FooterText(), "") << "the application computes it again";
  EXPECT_EQ(copy.Columns()->Items(1)->FooterText(), "plain text");
}

// ---- Sort numbers ------------------------------------------------------------------------------

String GridText(const std::string& columns) {
  return "object Grid1: TDBDivoRud\n  Columns = <" + columns + ">\nend\n";
}
String Item(const char* field, const char* state, const char* sortOrder, bool visible = true) {
  String s = "\n    item\n      FieldName = '" + String(field) + "'\n";
  if (!visible) s += "      Visible = False\n";
  if (*state) s += "      TitleState = " + String(state) + "\n";
  if (*sortOrder) s += "      SortOrder = " + String(sortOrder) + "\n";
  return s + "    end";
}

TEST_F(GridTitles, SortNumbersStayUniqueWhateverWasStored) {
  struct Case {
    const char* name;
    std::string columns;
    const char* loaded;  // states after loading
    int counter;
    const char* afterClick;  // after the third column is sorted too
    const char* afterRead;   // that layout read into another live grid
  } cases[] = {
      {"numbers in stored order", Item("A", "tsSortedUp", "7") + Item("B", "tsSortedDown", "3") + Item("C", "", ""),
       "U1 D0 N", 1, "U1 D0 U2", "U1 D0 U2"},
      {"an unsorted column holds no number", Item("A", "", "5") + Item("B", "tsSortedUp", "0") + Item("C", "", "-4"),
       "N U0 N", 0, "N U0 U1", "N U0 U1"},
      {"hidden sorted columns after the visible ones", Item("A", "tsSortedUp", "0", false) + Item("B", "tsSortedUp", "1") +
       Item("C", "", ""), "U1 U0 N", 1, "U1 U0 U2", "U2 U0 U1"},
      {"the largest number", Item("A", "tsSortedUp", "2147483647") + Item("B", "tsSortedUp", "-9") + Item("C", "", ""),
       "U0 U1 N", 1, "U0 U1 U2", "U0 U1 U2"},
  };
  for (const Case& c : cases) {
    Make();
    G().Columns()->Clear();
    G().SetName("Grid1");
    TextToComponent(GridText(c.columns), &G());
    EXPECT_EQ(States(), c.loaded) << c.name;
    EXPECT_EQ(G().TitleStateCounter(), c.counter) << c.name;
    G().Columns()->Items(2)->SetTitleStateField(tsSortedUp);
    EXPECT_EQ(States(), c.afterClick) << c.name;
    // The same columns as a layout string read into a live grid with numbers of its own.
    const String layout = ObjectToStr(*G().Columns(), "layout", true);
    TDBDivoRud& other = *Make(1);
    Col(0, 1)->SetTitleStateField(tsSortedUp);
    other.SetTitleStateCounter(40);
    StrToObject(*other.Columns(), layout, true);
    EXPECT_EQ(States(1), c.afterRead) << c.name << " as a layout string";
    EXPECT_EQ(other.TitleStateCounter(), G().TitleStateCounter()) << c.name << " as a layout string";
    grids[1].reset();
    grids[0].reset();
  }
  // A counter at the top renumbers rather than overflows.
  Make();
  Col(0)->SetTitleStateField(tsSortedUp);
  Col(0)->SetSortID(INT_MAX);
  G().SetTitleStateCounter(INT_MAX);
  Col(1)->SetTitleStateField(tsSortedDown);
  EXPECT_EQ(States(), "U0 D2");
}

TEST_F(GridTitles, ALayoutReadIntoALiveGridNumbersFromWhereItsOwnCounterStood) {
  // Stored numbers read one by one must never take the counter back: clicks after the read
  // would hand out numbers the read columns hold.
  Make();
  G().SetName("Grid1");
  TextToComponent(GridText(Item("A", "tsSortedUp", "5") + Item("B", "tsSortedUp", "2") + Item("C", "", "") +
                           Item("D", "", "") + Item("E", "", "") + Item("F", "", "")),
                  &G());
  const String layout = ObjectToStr(*G().Columns(), "layout", true);
  TDBDivoRud& other = *Make(1);
  StrToObject(*other.Columns(), layout, true);
  for (int i = 2; i < 6; ++i) other.Columns()->Items(i)->SetTitleStateField(tsSortedUp);
  std::set<int> numbers;
  for (int i = 0; i < 6; ++i) numbers.insert(other.Columns()->Items(i)->SortID());
  EXPECT_EQ(numbers.size(), 6u) << States(1);
}

// ---- The footer menu ---------------------------------------------------------------------------

class FooterMenu : public GridTitles {
protected:
  void SetUp() override {
    GridTitles::SetUp();
    ASSERT_NE(zvEnv, nullptr) << "the environment starts with the program's modules";
    envPopup = zvEnv->pumFooterMenu->OnPopup;
  }
  void TearDown() override {
    zvEnv->pumFooterMenu->OnPopup = envPopup;
    GridTitles::TearDown();
  }
  // Right-clicks footer i of grid which; steps run while the menu is open (the environment's
  // own pop-up handling first).
  void RightClick(int i, std::function<void(TMenuWindow&)> steps, int which = 0) {
    TMenuScript script(form.get());
    script.OnNextPopup(zvEnv->pumFooterMenu, std::move(steps));
    const TNotifyEvent scripted = zvEnv->pumFooterMenu->OnPopup;
    zvEnv->pumFooterMenu->OnPopup = [&](TObject* sender) {
      envPopup(sender);
      scripted(sender);
    };
    const TPoint p = Footer(i, which);
    h->MouseDown(&G(which), p.X, p.Y, mbRight);
    if (grids[which]) h->MouseUp(&G(which), p.X, p.Y, mbRight);
    popups += script.Popups;
    zvEnv->pumFooterMenu->OnPopup = envPopup;
  }
  static void Choose(TMenuWindow& window, TMenuItem* item) { window.EndTracking(item); }
  // "c+ e v": per state (Average..None) checked, enabled, visible.
  static std::string Items() {
    std::string s;
    for (int k = 0; k < TzvEnv::FooterStateCount; ++k) {
      const TMenuItem* m = zvEnv->GetFooterStateMenu(k);
      s += std::string(s.empty() ? "" : " ") + (m->Checked() ? "c" : "-") + (m->Enabled() ? "e" : "-") + (m->Visible() ? "v" : "-");
    }
    return s + (zvEnv->miSep1->Visible() ? " |" : "");
  }
  TNotifyEvent envPopup;
  int popups = 0;
};

TEST_F(FooterMenu, ItemStatesAndWhenTheMenuOpens) {
  struct Case {
    const char* name;
    TgpColumnFooterStates states;
    TgpColumnBehaviorOptions column;
    TgpGridBehaviorOptions grid;
    bool veto;
    const char* items;  // as the open menu showed them; empty when it did not open
  } cases[] = {
      {"every state", AllFooterStates, {}, {}, false, "-ev -ev cev -ev -ev -ev |"},
      {"no None, no line", {fsSum, fsMax}, {}, {}, false, "-e- -e- cev -e- -ev -e-"},
      {"None alone", {fsNone}, {}, {}, false, ""},
      {"no states", {}, {}, {}, false, ""},
      {"the column refuses", AllFooterStates, {cboNoFooterStates}, {}, false, ""},
      {"the grid refuses", AllFooterStates, {}, {gboNoFooterStates}, false, ""},
      {"the handler vetoes", AllFooterStates, {}, {}, true, ""},
  };
  for (const Case& c : cases) {
    Make();
    Col(1)->SetFooterStateField(fsMax);
    Col(1)->SetFooterStates(c.states);
    Col(1)->SetOptionsBehavior(c.column);
    G().SetOptionsBehavior(c.grid);
    zvEnv->GetFooterStateMenu(0)->SetEnabled(false);  // left over from elsewhere: enabled again
    G().OnFooterMenuPopup = [&](TObject*, int x, int y, bool& doPopup) {
      EXPECT_EQ(TPoint(x, y), Footer(1)) << c.name;
      if (c.veto) doPopup = false;
    };
    std::string shown;
    popups = 0;
    RightClick(1, [&](TMenuWindow&) { shown = Items(); });
    EXPECT_EQ(shown, c.items) << c.name;
    EXPECT_EQ(popups, *c.items ? 1 : 0) << c.name;
    if (*c.items) {
      EXPECT_EQ(zvEnv->pumFooterMenu->PopupComponent(), &G()) << c.name;
    }
    grids[0].reset();
  }
}

TEST_F(FooterMenu, AChoiceSetsTheStateOfTheColumnItOpenedForAndTheCheckedOneSwitchesOff) {
  Make();
  Make(1);
  Col(0, 1)->SetFieldName("NAME");
  RightClick(1, [](TMenuWindow& w) { Choose(w, zvEnv->miSum); });
  EXPECT_EQ(Col(1)->FooterState(), fsSum);
  EXPECT_EQ(Col(1)->FooterText(), "7");
  EXPECT_EQ(events, "footer NAME;");
  // The other grid opens the same menu: its choice goes to its own column.
  RightClick(0, [](TMenuWindow& w) { Choose(w, zvEnv->miCount); }, 1);
  EXPECT_EQ(Col(0, 1)->FooterState(), fsCount);
  EXPECT_EQ(Col(0)->FooterState(), fsNone);
  EXPECT_EQ(TDBDivoRud::FooterMenuColumn(), Col(0, 1));
  // The checked state chosen again: off, and its text goes.
  events.clear();
  G().OnFooterStateChange = [this](TObject*, TgpColumn* c) { events += "footer " + c->FieldName() + ";"; };
  RightClick(1, [](TMenuWindow& w) { Choose(w, zvEnv->miSum); });
  EXPECT_EQ(Col(1)->FooterState(), fsNone);
  EXPECT_EQ(Col(1)->FooterText(), "");
  EXPECT_EQ(events, "footer NAME;");
  // A raising handler: the error goes to the application, the state stays as set.
  std::vector<String> errors;
  Application->OnException = [&](TObject*, const Exception& e) { errors.push_back(e.Message()); };
  G().OnFooterStateChange = [](TObject*, TgpColumn*) { throw Exception("aggregate failed"); };
  RightClick(0, [](TMenuWindow& w) { Choose(w, zvEnv->miMax); });
  EXPECT_EQ(errors, std::vector<String>{"aggregate failed"});
  EXPECT_EQ(Col(0)->FooterState(), fsMax);
}

TEST_F(FooterMenu, AColumnOrGridFreedWhileTheMenuIsOpenTakesNoLateChoice) {
  struct Case {
    const char* name;
    std::function<void()> free;
  } cases[] = {
      {"column", [&] { delete Col(1); }},
      {"grid", [&] { grids[0].reset(); }},
  };
  for (const Case& c : cases) {
    Make();
    Make(1);
    RightClick(1, [&](TMenuWindow& w) {
      c.free();
      EXPECT_EQ(TDBDivoRud::FooterMenuColumn(), nullptr) << c.name;
      Choose(w, zvEnv->miSum);
    });
    if (grids[0]) {
      EXPECT_EQ(States(), "N") << c.name;
    }
    EXPECT_EQ(events, "") << c.name;
    // A late click of the item, as a stale window could still send it, does nothing either.
    zvEnv->miAverage->Click();
    EXPECT_EQ(events, "") << c.name;
    EXPECT_EQ(Col(0, 1)->FooterState(), fsNone) << c.name;
    grids[0].reset();
    grids[1].reset();
  }
}

// ---- Drawing -----------------------------------------------------------------------------------

TEST_F(GridTitles, TheSortGlyphSitsAtTheRightAndTheCaptionEndsBeforeIt) {
  Make();
  Col(1)->SetCaptionAlignment(talRightJustify);
  const TRect title = G().TitleClientRect(Col(1), false);
  const TRect inner = designer.TitleMargins()->Shrink(title);
  struct Case {
    TgpColumnTitleState state;
    int captionRight;
  } cases[] = {{tsSortedNone, inner.Right}, {tsSortedUp, inner.Right - 11}, {tsSortedDown, inner.Right - 11}};
  for (const Case& c : cases) {
    Col(1)->SetTitleStateField(c.state);
    TBitmap bitmap;
    bitmap.SetSize(300, 40);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect({0, 0, 300, 40});
    TNullSurface& surface = *AsNullSurface(&bitmap.Canvas()->Handle());
    surface.ClearOps();
    Col(1)->DrawTitle(*bitmap.Canvas());
    const auto runs = surface.OpsOf(TPaintOpKind::TextOut);
    ASSERT_FALSE(runs.empty()) << c.state;
    int right = 0;
    for (const TPaintOp& op : runs) right = std::max(right, op.Rect.Right);
    EXPECT_EQ(right, c.captionRight) << c.state;
    // The glyph's outline: its bottom row for Up, its top row for Down, vertically centred.
    const int glyphTop = inner.Top + (inner.Height() - 9) / 2;
    const int row = c.state == tsSortedUp ? glyphTop + 8 : glyphTop;
    if (c.state != tsSortedNone) {
      EXPECT_NE(bitmap.Canvas()->Pixels(inner.Right - 5, row), clWhite) << c.state;
    }
  }
}

TEST_F(GridTitles, AwkwardFooterTextsShowOnOneLineInBoundedTime) {
  Make();
  String huge;
  for (int i = 0; i < 100000; ++i) huge += "w\xC3\xA9rd\n";
  const String texts[] = {"a\nb\r\nc", huge, String("bad \xFF\xFE utf-8 \xC3"), String(1 << 20, '9')};
  const auto start = std::chrono::steady_clock::now();
  for (const String& text : texts) {
    Col(1)->SetFooterStateField(fsSum);
    Col(1)->SetFooterText(text);
    TBitmap bitmap;
    bitmap.SetSize(300, 200);
    TNullSurface& surface = *AsNullSurface(&bitmap.Canvas()->Handle());
    surface.ClearOps();
    bool truncated = false;
    EXPECT_NO_THROW(Col(1)->DrawFooter(*bitmap.Canvas(), &truncated));
    std::set<int> lines;
    for (const TPaintOp& op : surface.OpsOf(TPaintOpKind::TextOut)) lines.insert(op.Rect.Top);
    EXPECT_LE(lines.size(), 1u) << text.size();
    if (text.size() > 1000) {
      EXPECT_TRUE(truncated);
      EXPECT_FALSE(G().HintTextAt(G().PointToCell(Footer(1).X, Footer(1).Y)).empty()) << "the cut text hints";
    }
  }
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 100) << "megabytes of footer text must not cost megabytes of work";
}

}  // namespace
}  // namespace zvtest
