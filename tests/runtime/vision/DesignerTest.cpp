// The designer base: what each setter tells the grids, the margins it caches, fonts made on
// first read, copying between designers, the grid list across destruction orders, and the
// published table of a concrete designer through a form round trip.

#include "ExpectMessage.h"
#include "NullCanvasFixture.h"
#include "TestGrid.h"

#include "platform/classes/FormText.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/vision/Designer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zv;
using zvtest::MessageOf;
using zvtest::TTestGrid;

namespace {

using Log = std::vector<std::string>;

// A concrete designer as the standard ones are: it publishes the base's table, has margins of
// its own and copies through DM_Copy.
class TTestDesigner : public TgpDesigner {
  ZV_CLASS(TTestDesigner, TgpDesigner)

public:
  explicit TTestDesigner(TComponent* owner) : TgpDesigner(owner) {
    SetUpdateMode(dumSmartScroll);
    SetNoTitleInvert(false);
    MarginsChanged();
  }
  int RowLines() const { return fRowLines; }
  void SetRowLines(int v) {
    fRowLines = v;
    MarginsChanged();
  }
  bool failCopy = false;

  static void DeclareProperties(TPropTable<TTestDesigner>& t) {
    DeclareDesignerProperties(t);
    t.Prop("RowLines", &TTestDesigner::RowLines, &TTestDesigner::SetRowLines).Default(1);
  }

protected:
  int GetColumnMargin() const override { return 3; }
  int GetRowMargin() const override { return fRowLines; }
  void GetTitleMargins(int& top, int& bottom) const override { top = 0, bottom = 3; }
  void GetFooterMargins(int& top, int& bottom) const override { top = 4, bottom = 3; }
  void DM_Copy(const TgpDesigner& source) override {
    CopyDesignerProperties(source);
    fRowLines = static_cast<const TTestDesigner&>(source).fRowLines;
    if (failCopy) throw EZVError("copy failed");
  }

private:
  int fRowLines = 1;
};

class TOtherDesigner : public TgpDesigner {
  ZV_CLASS(TOtherDesigner, TgpDesigner)

public:
  using TgpDesigner::TgpDesigner;
};

ZV_DEFINE_CLASS_WITH_PROPS(TTestDesigner, TgpDesigner)
ZV_DEFINE_CLASS(TOtherDesigner, TgpDesigner, nullptr)

class DesignerTest : public ::testing::Test {
protected:
  DesignerTest() : designer(nullptr), grid(nullptr), second(nullptr) {
    grid.SetDesigner(&designer);
    second.SetDesigner(&designer);
  }
  // What the first grid heard while f ran; the second must have heard the same.
  Log Heard(const std::function<void()>& f) {
    grid.log.clear();
    second.log.clear();
    f();
    EXPECT_EQ(grid.log, second.log);
    return grid.log;
  }
  TTestDesigner designer;
  TTestGrid grid;
  TTestGrid second;
};

}  // namespace

TEST_F(DesignerTest, EachSetterTellsItsGridsOnceAndNothingWhenUnchanged) {
  struct Case {
    const char* name;
    std::function<void(TgpDesigner&)> set;
    Log expected;
  };
  const Case cases[] = {
      {"TitleColor", [](TgpDesigner& d) { d.SetTitleColor(clRed); }, {"Titles"}},
      {"FooterColor", [](TgpDesigner& d) { d.SetFooterColor(clRed); }, {"Footers"}},
      {"FixedColor", [](TgpDesigner& d) { d.SetFixedColor(clRed); }, {"Invalidate"}},
      {"FocusRectKind", [](TgpDesigner& d) { d.SetFocusRectKind(frcPersistentRow); }, {"SelectedRow"}},
      {"SelectedCell", [](TgpDesigner& d) { d.SetSelectedCell(clRed); }, {"SelectedRow"}},
      {"SelectedRow", [](TgpDesigner& d) { d.SetSelectedRow(clRed); }, {"SelectedRow"}},
      {"HiddenSelection", [](TgpDesigner& d) { d.SetHiddenSelection(clRed); }, {"SelectedRow"}},
      {"SelectedCellFill", [](TgpDesigner& d) { d.SetSelectedCellFill(false); }, {"SelectedRow"}},
      {"SelectedRowFill", [](TgpDesigner& d) { d.SetSelectedRowFill(true); }, {"SelectedRow"}},
      {"SelectedCellText", [](TgpDesigner& d) { d.SetSelectedCellText(clRed); }, {"Titles", "SelectedRow"}},
      {"SelectedRowText", [](TgpDesigner& d) { d.SetSelectedRowText(clRed); }, {"Invalidate"}},
      {"UltraSoftSelectedCell", [](TgpDesigner& d) { d.SetUltraSoftSelectedCell(true); }, {"Invalidate"}},
      {"UltraSoftSelectedRow", [](TgpDesigner& d) { d.SetUltraSoftSelectedRow(true); }, {"Invalidate"}},
      {"CellMargins.TopMargin", [](TgpDesigner& d) { d.CellMargins()->SetTopMargin(4); }, {"Heights"}},
      {"FooterFont.Color", [](TgpDesigner& d) { d.FooterFont()->SetColor(clRed); }, {"Heights"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Heard([&] { c.set(designer); }), c.expected) << c.name;
    EXPECT_EQ(Heard([&] { c.set(designer); }), Log{}) << c.name << " again";
  }
  EXPECT_EQ(designer.FocusRectKind(), frcPersistentRow);
  EXPECT_EQ(designer.SelectionColor(3), clRed);
  EXPECT_EQ(designer.SelectedCellText(), clRed);
  EXPECT_TRUE(designer.UltraSoft(2));

  // Font and margin objects set as a whole always re-measure, once.
  TgpCellMargins same(nullptr);
  same.SetTopMargin(4);
  EXPECT_EQ(Heard([&] { designer.SetCellMargins(&same); }), Log{"Heights"});
  TChildFont font;
  font.SetName("DejaVu Sans");
  font.SetStyle({fsBold});
  EXPECT_EQ(Heard([&] { designer.SetTitleFont(&font); }), Log{"Heights"});
  EXPECT_EQ(Heard([&] { designer.SetTitleFont(&font); }), Log{"Heights"});
  EXPECT_EQ(designer.TitleFont()->Name(), "DejaVu Sans");
  EXPECT_EQ(Heard([&] { designer.SetTitleFont(nullptr); }), Log{"Heights"});
  EXPECT_FALSE(designer.HasTitleFont());
}

TEST_F(DesignerTest, NothingIsToldWhileLoadingOrUpdating) {
  designer.SetStateFlag(csLoading, true);
  EXPECT_EQ(Heard([&] {
              designer.SetTitleColor(clAqua);
              designer.CellMargins()->SetLeftMargin(7);
              designer.CellFont()->SetName("Noto Serif");
              designer.MarginsChanged();
            }),
            Log{});
  designer.SetStateFlag(csLoading, false);
  EXPECT_EQ(designer.TitleColor(), clAqua);
  EXPECT_EQ(designer.CellMargins()->LeftMargin(), 7);
  EXPECT_FALSE(designer.Updating());
}

TEST_F(DesignerTest, MarginsAreCachedUntilMarginsChanged) {
  // The constructor's MarginsChanged reached the descendant's overrides.
  EXPECT_EQ(designer.ColumnMargin(), 3);
  EXPECT_EQ(designer.RowMargin(), 1);
  EXPECT_EQ(designer.TitleTopMargin(), 0);
  EXPECT_EQ(designer.TitleBottomMargin(), 3);
  EXPECT_EQ(designer.FooterTopMargin(), 4);
  EXPECT_EQ(designer.FooterBottomMargin(), 3);
  EXPECT_EQ(designer.UpdateMode(), dumSmartScroll);
  EXPECT_FALSE(designer.NoTitleInvert());
  EXPECT_EQ(Heard([&] { designer.SetRowLines(0); }), Log{"Layout"});
  EXPECT_EQ(designer.RowMargin(), 0);

  // The base class: no margins, smart updates, titles never inverted.
  TOtherDesigner base(nullptr);
  EXPECT_EQ(base.ColumnMargin() + base.RowMargin() + base.TitleBottomMargin() + base.FooterTopMargin(), 0);
  EXPECT_EQ(base.UpdateMode(), dumSmart);
  EXPECT_TRUE(base.NoTitleInvert());

  // Rejected values keep the old ones and tell nobody.
  EXPECT_EQ(Heard([&] {
              EXPECT_EQ(MessageOf<EZVError>([&] { designer.FooterMargins()->SetBottomMargin(-2); }),
                        "Value can not be negative (-2)");
            }),
            Log{});
  EXPECT_EQ(designer.FooterMargins()->BottomMargin(), 2);
  EXPECT_THROW(designer.SetMargins(2, nullptr), Exception);
  EXPECT_THROW(designer.GetMargins(4), EZVError);
  EXPECT_THROW(designer.GetFont(0), EZVError);
  EXPECT_THROW(designer.SetSelectionColor(4, clRed), EZVError);
}

TEST_F(DesignerTest, FontsAreMadeOnFirstReadAndStoredOnlyThen) {
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(designer.HasFont(i));
  const String before = ComponentToText(&designer);
  EXPECT_EQ(before.find("Font"), String::npos) << before;
  for (int i = 1; i <= 3; ++i) EXPECT_FALSE(designer.HasFont(i)) << "writing made font " << i;

  TChildFont* cell = designer.CellFont();
  ASSERT_NE(cell, nullptr);
  EXPECT_TRUE(designer.HasCellFont());
  EXPECT_EQ(designer.GetFont(2), cell);
  EXPECT_TRUE(cell->IsEmpty());
  EXPECT_EQ(Heard([&] { cell->SetName("Noto Sans"); }), Log{"Heights"});
}

TEST_F(DesignerTest, AssignCopiesFromTheSameClassAndLaysOutOnce) {
  TTestDesigner source(nullptr);
  source.SetTitleColor(clRed);
  source.SetFocusRectKind(frcRow);
  source.SetSelectedRowText(clYellow);
  source.SetHiddenSelection(clGray);
  source.SetSelectedRowFill(true);
  source.SetUltraSoftSelectedCell(true);
  source.CellFont()->SetColor(clBlue);
  source.TitleMargins()->SetRightMargin(6);
  source.SetRowLines(0);
  (void)designer.FooterFont();  // the copy frees a font the source lacks

  EXPECT_EQ(Heard([&] { designer.Assign(&source); }), Log{"Layout"});
  EXPECT_FALSE(designer.Updating());
  EXPECT_EQ(designer.TitleColor(), clRed);
  EXPECT_EQ(designer.FocusRectKind(), frcRow);
  EXPECT_EQ(designer.SelectedRowText(), clYellow);
  EXPECT_EQ(designer.HiddenSelection(), clGray);
  EXPECT_TRUE(designer.SelectedRowFill());
  EXPECT_TRUE(designer.UltraSoftSelectedCell());
  ASSERT_TRUE(designer.HasCellFont());
  EXPECT_EQ(designer.CellFont()->Color(), clBlue);
  EXPECT_NE(designer.CellFont(), source.CellFont());
  EXPECT_FALSE(designer.HasFooterFont());
  EXPECT_EQ(designer.TitleMargins()->RightMargin(), 6);
  EXPECT_EQ(designer.RowLines(), 0);
  EXPECT_EQ(Heard([&] { designer.Assign(&designer); }), Log{"Layout"});

  // A failing copy still lays the grids out once and leaves Updating cleared.
  designer.failCopy = true;
  source.SetFixedColor(clLime);
  EXPECT_EQ(Heard([&] { EXPECT_THROW(designer.Assign(&source), EZVError); }), Log{"Layout"});
  EXPECT_FALSE(designer.Updating());
  EXPECT_EQ(designer.FixedColor(), clLime);

  TOtherDesigner other(nullptr);
  EXPECT_EQ(Heard([&] {
              EXPECT_EQ(MessageOf<Exception>([&] { designer.Assign(&other); }),
                        "Cannot assign a TOtherDesigner to a TTestDesigner");
            }),
            Log{});
  EXPECT_THROW(other.Assign(&designer), Exception);
}

TEST_F(DesignerTest, GridListHasNoDuplicatesAndSurvivesEveryDestructionOrder) {
  ASSERT_EQ(designer.GridCount(), 2);
  designer.AddGrid(&grid);
  designer.AddGrid(nullptr);
  EXPECT_EQ(designer.GridCount(), 2);
  EXPECT_EQ(designer.Grids(0), &grid);
  EXPECT_EQ(designer.Grids(1), &second);
  EXPECT_THROW(designer.Grids(2), EZVError);

  // A grid freed without unhooking itself is dropped through the free notification.
  class TSilentGrid : public TTestGrid {
  public:
    TSilentGrid() : TTestGrid(nullptr) {}
    ~TSilentGrid() override { Destroying(); }
  };
  {
    TSilentGrid silent;
    designer.AddGrid(&silent);
    EXPECT_EQ(designer.GridCount(), 3);
  }
  EXPECT_EQ(designer.GridCount(), 2);
  EXPECT_EQ(Heard([&] { designer.SetFixedColor(clTeal); }), Log{"Invalidate"});

  second.SetDesigner(nullptr);
  EXPECT_EQ(designer.GridCount(), 1);
  grid.log.clear();
  second.log.clear();
  designer.SetFooterColor(clTeal);
  EXPECT_EQ(grid.log, Log{"Footers"});
  EXPECT_TRUE(second.log.empty());

  // The designer goes first: its grids forget it; later removals reach nothing.
  auto owned = std::make_unique<TTestDesigner>(nullptr);
  TTestGrid a(nullptr), b(nullptr);
  a.SetDesigner(owned.get());
  b.SetDesigner(owned.get());
  owned.reset();
  EXPECT_EQ(a.Designer(), nullptr);
  EXPECT_EQ(b.Designer(), nullptr);

  // Owned by one form, destroyed together in creation order and in reverse.
  for (bool designerFirst : {true, false}) {
    TComponent form(nullptr);
    TTestDesigner* d = nullptr;
    TTestGrid* g = nullptr;
    if (designerFirst) {
      d = new TTestDesigner(&form);
      g = new TTestGrid(&form);
    } else {
      g = new TTestGrid(&form);
      d = new TTestDesigner(&form);
    }
    g->SetDesigner(d);
    EXPECT_EQ(d->GridCount(), 1);
  }
}

class DesignerPaintTest : public zvtest::NullCanvasTest {};

TEST_F(DesignerPaintTest, BasePaintFillsTheClientAreaAndPrintsNothing) {
  TOtherDesigner d(nullptr);
  TTestGrid grid(nullptr);
  grid.clientRect = {0, 0, 40, 20};
  TgpPaintInfo info(&grid);
  info.Canvas = canvas;
  info.Color = clAqua;
  info.Rect = {5, 5, 10, 10};
  d.PaintToScreen(&grid, info);
  EXPECT_EQ(Px(0, 0), ColorToRGB(clAqua));
  EXPECT_EQ(Px(39, 19), ColorToRGB(clAqua));
  EXPECT_EQ(Px(40, 19), ColorToRGB(clWhite));
  Surface().ClearOps();
  d.PaintToPrinter(info);
  EXPECT_TRUE(Surface().Ops().empty());
}

TEST(DesignerStreamTest, PublishedTableRoundTripsThroughTheTextForm) {
  TTestDesigner d(nullptr);
  d.SetName("Designer1");
  const TPropInfo* kind = GetPropInfo(&d, "FocusRectKind");
  ASSERT_NE(kind, nullptr);
  EXPECT_EQ(kind->Default, frcCell);
  EXPECT_EQ(GetPropInfo(&d, "SelectedCellFill")->Default, 1);
  EXPECT_EQ(GetPropInfo(&d, "HiddenSelection")->Default, clBtnFace);
  // The base class publishes only what every component does.
  EXPECT_EQ(GetPropInfo(TgpDesigner::StaticClass(), "TitleColor"), nullptr);

  EXPECT_EQ(ComponentToText(&d), "object Designer1: TTestDesigner\nend\n");
  d.SetFocusRectKind(frcPersistentRow);
  d.SetTitleColor(clWindow);
  d.SetSelectedRowFill(true);
  d.SetUltraSoftSelectedRow(true);
  d.CellMargins()->SetLeftMargin(0);
  d.FooterFont()->SetName("Ünïcode");
  d.SetRowLines(0);
  const String text = ComponentToText(&d);
  EXPECT_NE(text.find("FocusRectKind = frcPersistentRow"), String::npos) << text;
  EXPECT_NE(text.find("TitleColor = clWindow"), String::npos) << text;
  EXPECT_NE(text.find("CellMargins.LeftMargin = 0"), String::npos) << text;
  EXPECT_EQ(text.find("TitleFont"), String::npos) << text;

  TTestDesigner back(nullptr);
  TTestGrid grid(nullptr);
  grid.SetDesigner(&back);
  TextToComponent(text, &back);
  EXPECT_EQ(back.FocusRectKind(), frcPersistentRow);
  EXPECT_EQ(back.TitleColor(), clWindow);
  EXPECT_TRUE(back.SelectedRowFill());
  EXPECT_TRUE(back.UltraSoftSelectedRow());
  EXPECT_EQ(back.CellMargins()->LeftMargin(), 0);
  EXPECT_EQ(back.CellMargins()->TopMargin(), 2);
  EXPECT_FALSE(back.HasTitleFont());
  ASSERT_TRUE(back.HasFooterFont());
  EXPECT_EQ(back.FooterFont()->Name(), "Ünïcode");
  EXPECT_EQ(back.RowMargin(), 0);
  // Everything read while loading is quiet.
  EXPECT_EQ(grid.log, Log{});
}
