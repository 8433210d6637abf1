// The default pack drawn by Qt off-screen: the list and calculator drop-downs pixel for pixel
// against golden PNGs (ZV_UPDATE_GOLDENS=1 rewrites them; a mismatch writes the actual picture
// into the build folder), the colour picker's swatch and the title surface's edges.

#include "QtDriver.h"
#include "HarnessTest.h"
#include "IdleScript.h"
#include "tests/runtime/std/DataListBehaviour.h"

#include "platform/db/MemTable.h"
#include "platform/controls/SpeedButton.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/std/DefPack.h"
#include "runtime/std/ListVisions.h"
#include "runtime/vision/DevidEdit.h"
#include "runtime/vision/Painter.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zvtest {
namespace {

using namespace zv;

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The window's whole retained picture, frame included.
TPixelBuffer Picture(HWND window) {
  TRect r;
  GetWindowRect(window, r);
  TPaintDevice* surface = RetainedSurfaceOf(window);
  return surface ? surface->ReadPixels(TRect{0, 0, r.Width(), r.Height()}) : TPixelBuffer{};
}

void Compare(const TPixelBuffer& actual, const std::string& name) {
  const std::string golden = std::string(ZV_STD_GOLDEN_DIR) + "/" + name + ".png";
  if (std::getenv("ZV_UPDATE_GOLDENS")) {
    WriteFile(golden, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
    return;
  }
  const std::string actualPath = std::string(ZV_STD_ACTUAL_DIR) + "/" + name + ".actual.png";
  std::ifstream in(golden, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!bytes.empty() && GraphicsBackend().DecodeImage(bytes, TImageFormat::Png) == actual) return;
  WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
  ADD_FAILURE() << name << " differs from " << golden << " (or it is missing); the picture is in " << actualPath;
}

class DefPackQt : public THarnessTest {
protected:
  DefPackQt() : THarnessTest(MakeQtDriver) {}
  void SetUp() override {
    THarnessTest::SetUp();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    StartDefaultPack();
    pack = zvDefPack;
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("ID", ftInteger);
    table->FieldDefs().Add("NAME", ftString, 20);
    table->CreateDataSet();
    for (int i = 1; i <= 3; ++i) table->AppendRecord({Variant(i == 2 ? 255 : i), Variant("Name00" + std::to_string(i))});
    table->First();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(40, 40, 400, 300);
    form->SetColor(clWhite);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    source.reset();
    table.reset();
    while (DefaultPackStarts() > 0) StopDefaultPack();
    THarnessTest::TearDown();
  }
  TDBDevidEdit* Editor(TvpFieldVision* vision, const char* field) {
    auto* edit = new TDBDevidEdit(form.get());
    edit->SetBounds(10, 10, 150, 21);
    edit->SetParent(form.get());
    edit->SetVision(vision);
    edit->SetDataSource(source.get());
    edit->SetDataField(field);
    edit->SetFocus();
    h->Wait(20);
    return edit;
  }
  TDBDivoRud* Grid(TvpFieldVision* vision) {
    auto* grid = new TDBDivoRud(form.get());
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 60, 200, 100);
    grid->SetParent(form.get());
    TgpColumn* column = grid->Columns()->Add();
    column->SetFieldName("ID");
    column->SetWidth(120);
    column->SetVision(vision);
    grid->SetDataSource(source.get());
    grid->SetShowTitles(false);
    h->Wait(20);
    grid->Repaint();
    h->Wait(20);
    return grid;
  }

  TzvDefPack* pack = nullptr;
  std::unique_ptr<TMemTable> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TForm> form;
};

INSTANTIATE_TEST_SUITE_P(Qt, DataListBehaviour, ::testing::Values(TDriverFactory{"Qt", MakeQtDriver}));

TEST_F(DefPackQt, ListDropDownGolden) {
  TStandardVision vision(nullptr);
  for (const char* s : {"Alpha", "Name001", "Gamma"}) vision.PickList()->Add(s);
  TDBDevidEdit* edit = Editor(&vision, "NAME");
  edit->DropDownBtnClick(false);
  h->Wait(30);
  ASSERT_NE(pack->vtfDataList->Popup(), nullptr);
  Compare(Picture(pack->vtfDataList->Popup()->Handle()), "datalist");
  h->KeyDown(edit, VK_ESCAPE);
}

TEST_F(DefPackQt, CalculatorGoldenAndHeldKey) {
  TToolFormVision vision(nullptr);
  vision.SetDropDown(pack->vtfCalculator);
  TDBDevidEdit* edit = Editor(&vision, "ID");
  TPixelBuffer shown, held, released;
  auto centre = [&] { return Picture(pack->vtfCalculator->Popup()->Handle()); };
  TIdleScript script({[&] { h->Wait(20); },
                      [&] { shown = Picture(pack->vtfCalculator->Popup()->Handle()); },
                      [&] { h->KeyDown(pack->vtfCalculator, '7'); },
                      [&] { held = centre(); },
                      [&] { h->Wait(TzvDefPack::CalcPressTime + 20); },
                      [&] { released = centre(); },
                      [&] { h->KeyDown(pack->vtfCalculator, VK_ESCAPE); }});
  edit->DropDownBtnClick(false);
  EXPECT_FALSE(script.GaveUp);
  Compare(shown, "calculator");
  EXPECT_FALSE(held == released) << "the key looks pressed while held";
  EXPECT_TRUE(released == shown) << "and as before once released";
}

TEST_F(DefPackQt, ColorPickerSwatchAndTitleSurfaceEdges) {
  TDBDivoRud* grid = Grid(pack->ColorPicker);
  // Row 2 holds clRed: its swatch is a black frame around red, left of the text.
  const int rowHeight = grid->RowHeight();
  const int y = rowHeight + rowHeight / 2;
  int firstRed = -1;
  for (int x = 0; x < 40 && firstRed < 0; ++x)
    if (h->Pixel(grid, x, y) == clRed) firstRed = x;
  ASSERT_GT(firstRed, 0) << "a red swatch";
  EXPECT_EQ(h->Pixel(grid, firstRed - 1, y), clBlack) << "its frame";
  EXPECT_NE(h->Pixel(grid, firstRed, y - rowHeight), clRed) << "row 1 is no red";

  // A painter text that is no colour draws no swatch, and raises nothing.
  TBitmap bitmap;
  bitmap.SetWidth(20);
  bitmap.SetHeight(20);
  bitmap.Canvas()->Brush()->SetColor(clWhite);
  bitmap.Canvas()->FillRect(TRect(0, 0, 20, 20));
  TfvPainter painter(false);
  painter.Canvas = bitmap.Canvas();
  painter.ImageRect = TRect(0, 0, 16, 16);
  for (const auto& [text, colour] : {std::pair{"abc", clWhite}, std::pair{"", clWhite}, std::pair{"clLime", clLime}}) {
    painter.Text = text;
    EXPECT_NO_THROW(pack->ColorPickerDrawEdit(pack->ColorPicker, nullptr, &painter)) << text;
    EXPECT_EQ(bitmap.Canvas()->Pixels(8, 8), colour) << text;
  }

  grid->Columns()->Items(0)->SetVision(pack->TitleSurface);
  grid->Columns()->Items(0)->SetColor(clBtnFace);  // the light edge shows on it
  h->Wait(20);
  // Row 2 (not current): a raised inner edge, light at the top left, shadow at the bottom right
  // (the row's last pixel is the grid's line).
  const TColor light = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
  EXPECT_EQ(h->Pixel(grid, 5, rowHeight), light);
  EXPECT_EQ(h->Pixel(grid, 0, rowHeight + 5), light);
  EXPECT_EQ(h->Pixel(grid, 5, 2 * rowHeight - 2), shadow);
  // Row 1 is current: the cell is inverted.
  EXPECT_EQ(h->Pixel(grid, 5, 0), light ^ 0xFFFFFF);
  EXPECT_EQ(h->Pixel(grid, 5, rowHeight - 2), shadow ^ 0xFFFFFF);
}

}  // namespace
}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
