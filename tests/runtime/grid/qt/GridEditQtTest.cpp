// Editing on a real Qt window (offscreen): the grid's in-place editor laid over a cell that the
// grid's edge cuts, Unicode typed through Qt key events into the field (also typed ahead of the
// grid), a stand-alone data edit control that posts what was typed when the focus leaves it, and
// title clicks through Qt's mouse events.

#include "QtDriver.h"
#include "HarnessTest.h"

#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/FieldVision.h"
#include "runtime/vision/StdDesigners.h"

namespace zvtest {
namespace {

using namespace zv;

class GridEditQt : public THarnessTest {
protected:
  GridEditQt() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    Application->OnException = [this](TObject*, const Exception& e) { errors.push_back(e.Message()); };
    table.FieldDefs().Add("ID", ftInteger);
    table.FieldDefs().Add("NAME", ftString, 30);
    table.CreateDataSet();
    for (int i = 1; i <= 4; ++i) table.AppendRecord({Variant(i), Variant(String("Name ") + std::to_string(i))});
    table.First();
    table.Next();
    source.SetDataSet(&table);
    form = h->TopLevel(0, 0, 320, 200, clWhite);
  }
  void TearDown() override {
    Application->OnException = nullptr;
    grid.reset();
    edit.reset();
    THarnessTest::TearDown();
  }
  void Type(TControl* target, const std::u32string& text) {
    for (char32_t c : text) h->Char(target, c);
  }
  void Key(TControl* target, Word key) {
    h->KeyDown(target, key);
    h->KeyUp(target, key);
  }

  TStandardDesigner designer{nullptr};
  TvpFieldVision vision{nullptr};
  TMemTable table{nullptr};
  TDataSource source{nullptr};
  TWinControl* form = nullptr;
  std::unique_ptr<TDBDivoRud> grid;
  std::unique_ptr<TDBDevidEdit> edit;
  std::vector<String> errors;
};

// NAME is wider than what is left of the grid: the editor takes the visible part of the cell only.
TEST_F(GridEditQt, InplaceEditorOverTheCutCellTakesUnicodeTyping) {
  grid = std::make_unique<TDBDivoRud>(nullptr);
  grid->SetBorderStyle(bsNoBorder);
  grid->SetScrollBars(ssNone);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 0, 200, 160);
  grid->SetParent(form);
  for (const auto& [name, width] : {std::pair{"ID", 60}, std::pair{"NAME", 300}}) {
    TgpColumn* c = grid->Columns()->Add();
    c->SetFieldName(name);
    c->SetWidth(width);
    c->SetVision(&vision);
  }
  grid->SetDataSource(&source);
  grid->SetCol(1);
  grid->SetFocus();
  h->Pump();
  TgpColumn* name = grid->Columns()->Items(1);
  const TRect cell = grid->CellClientRect(name, grid->CurrentRow(), false);
  const TRect client = grid->GetClientRect();
  ASSERT_GT(cell.Right, client.Right) << "the cell must run past the grid's edge";
  const TColor before = h->Pixel(grid.get(), client.Right - 10, cell.Bottom - 3);

  Key(grid.get(), VK_F1 + 1);
  TgpInplaceEdit* editor = grid->InplaceEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->Visible());
  EXPECT_TRUE(editor->Focused());
  EXPECT_EQ(editor->Column(), name);
  EXPECT_EQ(editor->BoundsRect(), (TRect{cell.Left, cell.Top, client.Right, cell.Bottom}));
  EXPECT_EQ(editor->Text(), "Name 2");
  grid->Repaint();
  h->Pump();
  // The focused grid marks its current cell; the open editor covers the mark with its own colour
  // (sampled right of the selected text).
  EXPECT_NE(before, h->Pixel(grid.get(), client.Right - 10, cell.Bottom - 3));
  EXPECT_EQ(h->Pixel(grid.get(), client.Right - 10, cell.Bottom - 3), ColorToRGB(editor->Color()));

  Type(editor, U"Zé😀漢");
  EXPECT_EQ(editor->Text(), "Zé😀漢") << "typing replaced the selected text";
  Key(editor, VK_RETURN);
  EXPECT_FALSE(editor->Visible());
  EXPECT_EQ(table.State(), dsEdit);
  Key(grid.get(), VK_RETURN);
  EXPECT_EQ(table.State(), dsBrowse);
  EXPECT_EQ(table.FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Zé😀漢");

  // Typing on the next record, queued as Qt delivers a fast typist's keys: the first character
  // opens the editor and the rest follow it there.
  Key(grid.get(), VK_DOWN);
  h->PumpAfterInput = false;
  Type(grid.get(), U"Ωk😀");
  h->PumpAfterInput = true;
  h->Pump();
  ASSERT_TRUE(editor->Visible());
  EXPECT_EQ(editor->Text(), "Ωk😀");
  Key(editor, VK_RETURN);
  Key(grid.get(), VK_RETURN);
  EXPECT_EQ(table.FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Ωk😀");
  EXPECT_TRUE(errors.empty());
}

TEST_F(GridEditQt, StandAloneEditPostsTypingOnExit) {
  edit = std::make_unique<TDBDevidEdit>(nullptr);
  edit->SetBounds(10, 10, 160, 24);
  edit->SetParent(form);
  edit->SetVision(&vision);
  edit->SetDataSource(&source);
  edit->SetDataField("NAME");
  TProbe* other = h->Child(form, "other", 200, 10, 60, 24);
  other->SetTabStop(true);
  h->Pump();
  EXPECT_EQ(edit->Text(), "Name 2");
  edit->SetFocus();
  h->Pump();
  ASSERT_TRUE(edit->Focused());
  edit->SelectAll();
  Type(edit.get(), U"Zé😀漢");
  Key(edit.get(), VK_BACK);
  Type(edit.get(), U"!");
  EXPECT_EQ(edit->Text(), "Zé😀!");
  EXPECT_EQ(table.State(), dsEdit) << "typing started the edit";
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Name 2") << "nothing posted before the exit";
  other->SetFocus();
  h->Pump();
  EXPECT_FALSE(edit->Focused());
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Zé😀!");
  table.Post();
  table.Refresh();
  EXPECT_EQ(table.FieldByName("NAME")->AsString(), "Zé😀!");
  EXPECT_EQ(edit->Text(), "Zé😀!");
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace zvtest

namespace zvtest {
namespace {

// Title clicks through Qt's mouse events: the press holds the title (painted sunken or inverted
// at once), the release sorts; a release elsewhere sorts nothing.
TEST_F(GridEditQt, TitleClicksThroughQtMouseEvents) {
  grid = std::make_unique<TDBDivoRud>(nullptr);
  grid->SetBorderStyle(bsNoBorder);
  grid->SetScrollBars(ssNone);
  grid->SetDesigner(&designer);
  grid->SetBounds(0, 0, 200, 160);
  grid->SetParent(form);
  for (const char* name : {"ID", "NAME"}) grid->Columns()->Add()->SetFieldName(name);
  grid->SetDataSource(&source);
  h->Pump();
  int changes = 0;
  grid->OnTitleStateChange = [&](TObject*, TgpColumn*) { ++changes; };
  const auto centre = [&](int i) {
    const TRect r = grid->TitleClientRect(grid->Columns()->Items(i), false);
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  const TRect title = grid->TitleClientRect(grid->Columns()->Items(0), true);
  const auto picture = [&] {
    std::vector<TColor> pixels;
    for (int y = title.Top; y < title.Bottom; ++y)
      for (int x = title.Left; x < title.Right; ++x) pixels.push_back(h->Pixel(grid.get(), x, y));
    return pixels;
  };
  const std::vector<TColor> released = picture();
  h->MouseDown(grid.get(), centre(0).X, centre(0).Y);
  EXPECT_EQ(grid->GridState(), gsTitleClick);
  EXPECT_EQ(grid->PaintPressedTitle(), 0);
  EXPECT_NE(picture(), released) << "the pressed title shows at once";
  h->MouseUp(grid.get(), centre(0).X, centre(0).Y);
  EXPECT_EQ(grid->Columns()->Items(0)->TitleState(), tsSortedUp);
  h->MouseDown(grid.get(), centre(1).X, centre(1).Y, mbLeft, {ssShift});
  h->MouseUp(grid.get(), centre(1).X, centre(1).Y, mbLeft, {ssShift});
  EXPECT_EQ(grid->Columns()->GetSortString(""), "ID ASC,NAME ASC");
  h->MouseDown(grid.get(), centre(1).X, centre(1).Y);
  h->MouseUp(grid.get(), centre(1).X, 100);
  EXPECT_EQ(grid->Columns()->GetSortString(""), "ID ASC,NAME ASC");
  EXPECT_EQ(grid->GridState(), gsNormal);
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace zvtest
