// The list drop-down, on whichever backend the suite is instantiated with: sized in rows, the
// current value marked, navigation keys handed to the list, picks by Enter and click, Escape,
// sizing in whole rows, the rows written back; a class's own columns; the in-place editor.
#include "DataListBehaviour.h"

#include "platform/controls/WinApi.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/rtm/OneStringLists.h"
#include "runtime/rtm/ScreenRoutines.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/StdDesigners.h"

#include <gtest/gtest.h>

namespace zvtest {

using namespace zv;

void DataListBehaviour::SetUp() {
  TBehaviourTest::SetUp();
  while (DefaultPackStarts() > 0) StopDefaultPack();
  StartDefaultPack();
  ASSERT_NE(zvDefPack, nullptr);
  pack = zvDefPack;
}

void DataListBehaviour::TearDown() {
  form.reset();
  source.reset();
  data.reset();
  while (DefaultPackStarts() > 0) StopDefaultPack();
  TBehaviourTest::TearDown();
}

void DataListBehaviour::MakeEditor(TvpFieldVision* vision) {
  form = std::make_unique<TForm>(nullptr);
  form->SetBounds(100, 100, 400, 300);
  form->Show();
  data = CreateGridMemTable(3);
  source = std::make_unique<TDataSource>(nullptr);
  source->SetDataSet(data.get());
  edit = new TDBDevidEdit(form.get());
  edit->SetBounds(10, 10, 150, 21);
  edit->SetParent(form.get());
  edit->SetVision(vision);
  edit->SetDataSource(source.get());
  edit->SetDataField("NAME");
  h->Pump();
  edit->SetFocus();
  h->Wait(20);
}

namespace {

TEST_P(DataListBehaviour, ListDropDownSizesMarksPicksAndRemembersRows) {
  TStandardVision vision(nullptr);
  for (const char* s : {"Alpha", "Beta", "Name001", "Delta", "Echo", "Fox", "Golf", "Hotel", "India", "Juliet"})
    vision.PickList()->Add(s);
  EXPECT_EQ(vision.DefaultToolForm(), pack->vtfDataList);
  MakeEditor(&vision);
  TVisionToolForm* list = pack->vtfDataList;
  TDBDivoRud* grid = pack->gpDataListList;

  edit->DropDownBtnClick(false);
  ASSERT_EQ(edit->ToolForm(), list);
  const int rowHeight = grid->RowHeight();
  ASSERT_GT(rowHeight, 0);
  h->Wait(20);
  EXPECT_EQ(list->Popup()->ClientHeight(), 7 * rowHeight) << list->Height() << " " << grid->VisibleRowCount();
  EXPECT_TRUE(list->Options().Contains(tfoFixedWidth));
  EXPECT_FALSE(list->Options().Contains(tfoFixedHeight));
  EXPECT_EQ(list->PopupWidth(), edit->Width()) << "as wide as the editor";
  EXPECT_EQ(grid->Columns()->Count(), 1);
  EXPECT_EQ(grid->Columns()->Items(0)->Vision(), pack->visImagedText);
  EXPECT_EQ(pack->visImagedText->RelatedFields(), "?");
  EXPECT_EQ(grid->DataSet()->FieldByName("value")->AsString(), "Name001") << "the current value is marked";

  // Navigation keys of the editor move the list; Enter picks and posts; the editor stays.
  for (const auto& [key, expected] : std::vector<std::pair<Word, const char*>>{
           {VK_DOWN, "Delta"}, {VK_NEXT, "Juliet"}, {VK_PRIOR, "Alpha"}, {VK_DOWN, "Beta"}}) {
    h->KeyDown(edit, key);
    EXPECT_EQ(grid->DataSet()->FieldByName("value")->AsString(), expected) << key;
  }
  h->KeyDown(edit, VK_RETURN);
  EXPECT_EQ(edit->ToolForm(), nullptr);
  EXPECT_EQ(Name(), "Beta");
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->Text(), "Beta");

  // A click picks the row under it: the one below the current row, at the top.
  edit->DropDownBtnClick(false);
  h->MouseMove(grid, 5, rowHeight + rowHeight / 2);
  EXPECT_EQ(grid->DataSet()->FieldByName("value")->AsString(), "Name001") << "the mouse tracks";
  h->Click(grid, 5, rowHeight + rowHeight / 2);
  EXPECT_EQ(edit->ToolForm(), nullptr);
  EXPECT_EQ(Name(), "Name001");
  EXPECT_TRUE(edit->Focused());

  // Escape posts nothing.
  edit->DropDownBtnClick(false);
  EXPECT_EQ(grid->DataSet()->FieldByName("value")->AsString(), "Name001") << "the current value is marked";
  h->KeyDown(edit, VK_DOWN);
  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(Name(), "Name001");

  // Sizing snaps to whole rows between 2 and the record count; the rows shown are kept.
  edit->DropDownBtnClick(false);
  const int frame = 2 * list->Popup()->FrameWidth();
  for (const auto& [asked, rows] : std::vector<std::pair<int, int>>{{5 * rowHeight + 3, 5}, {rowHeight, 2}, {40 * rowHeight, 10}}) {
    TvpSizingInfo info{list->Width(), asked + frame};
    list->Sizing(info);
    EXPECT_EQ(info.Height, rows * rowHeight + frame) << asked;
  }
  list->Popup()->SetBounds(list->Popup()->Left(), list->Popup()->Top(), list->Popup()->Width(), 5 * rowHeight + frame);
  h->Wait(20);
  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(vision.DropDownRows(), 5);
  EXPECT_EQ(grid->DataSource(), nullptr);

  // A list shorter than the rows: its own height, fixed; never below two rows.
  for (int lines : {3, 1, 0}) {
    vision.PickList()->Clear();
    for (int i = 0; i < lines; ++i) vision.PickList()->Add("L" + std::to_string(i));
    edit->SetFocus();
    h->Wait(20);
    edit->DropDownBtnClick(false);
    ASSERT_EQ(edit->ToolForm(), list) << lines;
    h->Wait(20);
    EXPECT_EQ(list->Popup()->ClientHeight(), std::max(lines, 2) * rowHeight) << lines;
    EXPECT_TRUE(list->Options().Contains(tfoFixedHeight)) << lines;
    h->KeyDown(edit, VK_ESCAPE);
  }
}

// A list vision answering columns of its own: the pop-up as wide as they are, lines between them,
// an image field, and the widths the user leaves handed back.
class TTwoColumnVision : public TStandardVision {
public:
  using TStandardVision::TStandardVision;
  bool DL_DropDownLayout(int width, TDataListLayout& layout) override {
    TStandardVision::DL_DropDownLayout(width, layout);
    layout.FieldNames = "Value;No";
    layout.Widths = "40;x";
    layout.ImageField = "No";
    layout.EditorWidth = false;
    layout.KeepsWidths = true;
    return true;
  }
  void DL_StoreDropDownWidths(const String& widths) override { Stored = widths; }
  String Stored;
};

TEST_P(DataListBehaviour, ListDropDownOfAClassWithColumnsOfItsOwn) {
  TTwoColumnVision vision(nullptr);
  for (const char* s : {"Alpha", "Beta"}) vision.PickList()->Add(s);
  MakeEditor(&vision);
  TVisionToolForm* list = pack->vtfDataList;
  const int width = list->Width();
  edit->DropDownBtnClick(false);
  ASSERT_EQ(edit->ToolForm(), list);
  TDBDivoRud* grid = pack->gpDataListList;
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(grid->Columns()->Items(1)->FieldName(), "No");
  EXPECT_EQ(list->PopupWidth(), 40 + width + 2 * pack->dsgDataList->ColumnMargin() + GetScrollWidth(true));
  EXPECT_FALSE(list->Options().Contains(tfoFixedWidth));
  EXPECT_TRUE(pack->dsgDataList->ShowLines());
  EXPECT_EQ(pack->visImagedText->RelatedFields(), "No");
  h->KeyDown(edit, VK_ESCAPE);
  EXPECT_EQ(lioCount2(vision.Stored), 2) << vision.Stored;
}

// The same list under a grid's in-place editor: Down moves in the list, Enter picks into the cell.
TEST_P(DataListBehaviour, ListDropDownInPlace) {
  TStandardVision vision(nullptr);
  for (const char* s : {"Alpha", "Beta", "Gamma"}) vision.PickList()->Add(s);
  MakeEditor(nullptr);
  auto* grid = new TDBDivoRud(form.get());
  grid->SetBounds(10, 60, 300, 120);
  grid->SetParent(form.get());
  TgpColumn* column = grid->Columns()->Add();
  column->SetFieldName("NAME");
  column->SetVision(&vision);
  grid->SetDataSource(source.get());
  grid->SetFocus();
  h->Wait(20);
  h->KeyDown(grid, VK_F1 + 1);
  TgpInplaceEdit* inplace = grid->InplaceEditor();
  ASSERT_TRUE(inplace && inplace->Visible());
  inplace->DropDownBtnClick(false);
  ASSERT_EQ(inplace->ToolForm(), pack->vtfDataList);
  EXPECT_EQ(pack->vtfDataList->PopupWidth(), inplace->Width() + 2) << "an in-place editor's drop-down covers its cell";
  TDBDivoRud* list = pack->gpDataListList;
  EXPECT_EQ(list->DataSet()->FieldByName("value")->AsString(), "Alpha") << "none matches: the first";
  h->KeyDown(inplace, VK_DOWN);
  EXPECT_EQ(list->DataSet()->FieldByName("value")->AsString(), "Beta");
  h->KeyDown(inplace, VK_RETURN);
  EXPECT_EQ(inplace->ToolForm(), nullptr);
  EXPECT_EQ(inplace->Text(), "Beta");
  h->KeyDown(inplace, VK_RETURN);
  grid->PostChanges();
  EXPECT_EQ(Name(), "Beta");
}

}  // namespace
}  // namespace zvtest
