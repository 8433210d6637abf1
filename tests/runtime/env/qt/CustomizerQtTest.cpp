// The column customizer on real Qt windows (offscreen): a field dragged from its list onto the
// grid's titles and the title dragged back, across the two windows.

#include "QtDriver.h"
#include "HarnessTest.h"

#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/qt/GuiSession.h"
#include "runtime/env/Customizer.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/GridLayout.h"
#include "runtime/vision/StdDesigners.h"

#include <cstdlib>

namespace zvtest {
namespace {

using namespace zv;

class CustomizerQt : public THarnessTest {
protected:
  CustomizerQt() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    CustomizerPlace() = {};
    for (const char* name : {"ALPHA", "BETA", "GAMMA"}) table.FieldDefs().Add(name, ftString, 10);
    table.CreateDataSet();
    source.SetDataSet(&table);
    form = h->TopLevel(0, 0, 500, 100, clWhite);
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetDesigner(&designer);
    grid->SetBounds(0, 0, 400, 100);
    grid->SetParent(form);
    for (const char* name : {"ALPHA", "GAMMA"}) {
      TgpColumn* c = grid->Columns()->Add();
      c->SetFieldName(name);
      c->SetWidth(80);
    }
    grid->SetDataSource(&source);
    h->Pump();
  }
  void TearDown() override {
    delete zvDivoRudCustomizer;
    h->Pump();
    grid.reset();
    THarnessTest::TearDown();
  }
  std::string Fields() {
    std::string s;
    for (int i = 0; i < grid->Columns()->Count(); ++i) s += (i ? "," : "") + grid->Columns()->Items(i)->FieldName();
    return s;
  }

  TLiteDesigner designer{nullptr};
  TMemTable table{nullptr};
  TDataSource source{nullptr};
  TWinControl* form = nullptr;
  std::unique_ptr<TDBDivoRud> grid;
};

TEST_F(CustomizerQt, AFieldOntoTheGridAndItsTitleBack) {
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = zvDivoRudCustomizer;
  ASSERT_NE(c, nullptr);
  h->Pump();
  ASSERT_EQ(c->Listed(), "BETA");
  TDBDivoRud* list = c->gpList;
  const int y = grid->Layout().TitleArea / 2;
  const int x = grid->Columns()->Items(1)->Group()->DisplayLeft;
  h->MouseMove(list, 20, 10);
  h->MouseDown(list, 20, 10);
  h->MouseMove(list, 30, 30, {ssLeft});
  h->MouseMove(grid.get(), x, y, {ssLeft});
  h->MouseMove(grid.get(), x + 1, y, {ssLeft});
  h->MouseUp(grid.get(), x + 1, y);
  h->Pump();
  EXPECT_EQ(Fields(), "ALPHA,BETA,GAMMA");
  EXPECT_EQ(c->Listed(), "");
  // The new title goes back onto the list.
  const TRect r = grid->TitleClientRect(grid->Columns()->Items(1), false);
  const TPoint p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  h->MouseMove(grid.get(), p.X, p.Y);
  h->MouseDown(grid.get(), p.X, p.Y);
  h->MouseMove(grid.get(), p.X, r.Bottom + 30, {ssLeft});
  h->MouseMove(list, 20, 20, {ssLeft});
  h->MouseMove(list, 21, 20, {ssLeft});
  h->MouseUp(list, 21, 20);
  h->Pump();
  EXPECT_EQ(Fields(), "ALPHA,GAMMA");
  EXPECT_EQ(c->Listed(), "BETA");
}

// The window manager sizes the framed customizer: by its bottom right corner the bottom follows
// whole rows, by its top edge the top does; the window shows the answer.
TEST_F(CustomizerQt, SizingByTheFrameKeepsWholeRows) {
  grid->Customize(gcmRemove, "", "");
  TzvDivoRudCustomizer* c = zvDivoRudCustomizer;
  ASSERT_NE(c, nullptr);
  h->Pump();
  const TNativeWindow native = NativeWindowOf(c->Handle());
  const int rows = c->AlignedHeight(200), shown = c->Height();
  qt::ResizeNative(native, c->Width(), rows + 1);
  for (int i = 0; i < 40 && c->Height() == shown; ++i) h->Wait(5);
  h->Pump();
  EXPECT_EQ(c->Height(), rows);
  EXPECT_EQ(qt::NativeGeometry(native), c->BoundsRect());
  const TRect was = c->BoundsRect();
  qt::SizeNative(native, TRect(was.Left, was.Top - 30, was.Right, was.Bottom));
  for (int i = 0; i < 40 && c->Top() == was.Top; ++i) h->Wait(5);
  h->Pump();
  EXPECT_EQ(c->Top() + c->Height(), was.Bottom);
  EXPECT_EQ(c->Height(), c->AlignedHeight(was.Height() + 30));
  EXPECT_EQ(qt::NativeGeometry(native), c->BoundsRect());
}

}  // namespace
}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
