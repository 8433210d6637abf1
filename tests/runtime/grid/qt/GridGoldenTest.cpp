// A small grid painted by Qt off-screen in both designers (a fixed column, a two-level group,
// footers, the current cell, a word-wrapped cell), compared pixel for pixel with golden PNGs; and
// the pixels a one-row scroll moves, compared with a full repaint.

#include "QtDriver.h"
#include "HarnessTest.h"

#include "platform/db/DataLink.h"
#include "platform/db/Field.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/MemTable.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/vision/StdDesigners.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zvtest {
namespace {

using namespace zv;

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class GridGolden : public THarnessTest {
protected:
  GridGolden() : THarnessTest(MakeQtDriver) {}
  void TearDown() override {
    grid.reset();
    source.reset();
    table.reset();
    designer.reset();
    THarnessTest::TearDown();
  }

  TPixelBuffer Render(std::unique_ptr<TgpDesigner> d) {
    designer = std::move(d);
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("ID", ftInteger);
    table->FieldDefs().Add("NAME", ftString, 30);
    table->FieldDefs().Add("NOTES", ftString, 200);
    table->CreateDataSet();
    const char* notes[] = {"short", "a note long enough to wrap onto its second line", "Ωμέγα · Łódź", "", "end"};
    for (int i = 1; i <= 5; ++i)
      table->AppendRecord({Variant(i), Variant(String("Name ") + std::to_string(i)), Variant(String(notes[i - 1]))});
    table->First();
    table->Next();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    TWinControl* form = h->TopLevel(0, 0, 360, 320, clWhite);
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, 340, 300);
    grid->SetShowFooters(true);
    grid->SetRowLines(2);
    grid->SetDesigner(designer.get());
    grid->SetParent(form);
    TgpColumns& columns = *grid->Columns();
    columns.BeginUpdate();
    TgpColumn* id = columns.Add();
    id->SetFieldName("ID");
    id->SetWidth(30);
    id->SetFixed(cfLeft);
    id->SetFooterText("5");
    TgpColumn* name = columns.Add();
    name->SetFieldName("NAME");
    name->SetWidth(120);
    TgpColumn* notesColumn = columns.Add();
    notesColumn->SetFieldName("NOTES");
    notesColumn->SetLayoutLevel(1);
    notesColumn->SetWidth(120);
    notesColumn->SetOptionsVisual(TgpColumnVisualOptions{cvoWordWrap});
    TgpColumn* last = columns.Add();
    last->SetFieldName("NAME");
    last->SetCaption("Again");
    last->SetWidth(90);
    last->SetFooterStateField(fsCount);
    last->SetFooterText("5");
    columns.EndUpdate();
    grid->SetDataSource(source.get());
    grid->SetCol(1);
    grid->SetFocus();
    h->Pump();
    grid->Repaint();
    h->Pump();
    TPoint origin;
    TPaintDevice* surface = RetainedSurfaceOf(grid->Handle(), &origin);
    EXPECT_NE(surface, nullptr);
    if (!surface) return {};
    return surface->ReadPixels(TRect{origin.X, origin.Y, origin.X + 340, origin.Y + 300});
  }

  void Compare(const TPixelBuffer& actual, const std::string& name) {
    const std::string golden = std::string(ZV_GRID_GOLDEN_DIR) + "/" + name + ".png";
    if (std::getenv("ZV_UPDATE_GOLDENS")) {
      WriteFile(golden, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
      return;
    }
    const std::string actualPath = std::string(ZV_GRID_ACTUAL_DIR) + "/" + name + ".actual.png";
    std::ifstream in(golden, std::ios::binary);
    if (!in) {
      WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
      FAIL() << "no golden " << golden << "; the picture is in " << actualPath << " (ZV_UPDATE_GOLDENS=1 makes it)";
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const TPixelBuffer expected = GraphicsBackend().DecodeImage(bytes, TImageFormat::Png);
    if (expected == actual) return;
    // The difference: red where pixels differ, the golden dimmed elsewhere.
    TPixelBuffer diff(actual.Width(), actual.Height());
    int differing = 0;
    for (int y = 0; y < actual.Height(); ++y)
      for (int x = 0; x < actual.Width(); ++x) {
        const bool same = expected.At(x, y) == actual.At(x, y);
        differing += same ? 0 : 1;
        diff.Set(x, y, same ? ((expected.At(x, y) >> 2) & 0x003F3F3Fu) | 0xFF000000u : 0xFFFF0000u);
      }
    WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
    WriteFile(std::string(ZV_GRID_ACTUAL_DIR) + "/" + name + ".diff.png", GraphicsBackend().EncodeImage(diff, TImageFormat::Png));
    ADD_FAILURE() << name << ": " << differing << " pixels differ (sizes " << actual.Width() << "x" << actual.Height()
                  << " and " << expected.Width() << "x" << expected.Height() << "); see " << actualPath;
  }

  std::unique_ptr<TgpDesigner> designer;
  std::unique_ptr<TMemTable> table;
  std::unique_ptr<TDataSource> source;
  std::unique_ptr<TDBDivoRud> grid;
};

// Titles sorted up and down beside their captions (one right-aligned, one too long), and four
// footers with their aggregate markers, in both designers.
TEST_F(GridGolden, SortedTitlesAndAggregateFooters) {
  for (bool standard : {true, false}) {
    designer = standard ? std::unique_ptr<TgpDesigner>(std::make_unique<TStandardDesigner>(nullptr))
                        : std::unique_ptr<TgpDesigner>(std::make_unique<TLiteDesigner>(nullptr));
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("ID", ftInteger);
    table->FieldDefs().Add("NAME", ftString, 30);
    table->FieldDefs().Add("AMOUNT", ftFloat);
    table->CreateDataSet();
    for (int i = 1; i <= 4; ++i)
      table->AppendRecord({Variant(5 - i), Variant(String("Name ") + std::to_string(i)), Variant(i * 1.5)});
    table->First();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    TWinControl* form = h->TopLevel(0, 0, 380, 200, clWhite);
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetBorderStyle(bsNoBorder);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, 360, 180);
    grid->SetShowFooters(true);
    grid->SetDesigner(designer.get());
    grid->SetParent(form);
    const struct {
      const char* field;
      const char* caption;
      int width;
      TgpColumnTitleState title;
      TgpColumnFooterState footer;
      const char* text;
    } columns[] = {
        {"ID", "", 50, tsSortedDown, fsSum, "10"},
        {"NAME", "A name too long for it", 90, tsSortedUp, fsMax, "Name 4"},
        {"AMOUNT", "", 80, tsSortedNone, fsAverage, "3.75"},
        {"AMOUNT", "Least", 80, tsSortedUp, fsMin, "1.5"},
    };
    for (const auto& c : columns) {
      TgpColumn* column = grid->Columns()->Add();
      column->SetFieldName(c.field);
      column->SetCaption(c.caption);
      column->SetWidth(c.width);
      column->SetCaptionAlignment(column->Index() == 2 ? talRightJustify : talDefault);
      column->SetTitleStateField(c.title);
      column->SetFooterStateField(c.footer);
      column->SetFooterText(c.text);
    }
    grid->SetDataSource(source.get());
    h->Pump();
    grid->Repaint();
    h->Pump();
    TPoint origin;
    TPaintDevice* surface = RetainedSurfaceOf(grid->Handle(), &origin);
    ASSERT_NE(surface, nullptr);
    Compare(surface->ReadPixels(TRect{origin.X, origin.Y, origin.X + 360, origin.Y + 180}),
            standard ? "titles-footers-standard" : "titles-footers-lite");
    grid.reset();
  }
}

TEST_F(GridGolden, StandardDesigner) { Compare(Render(std::make_unique<TStandardDesigner>(nullptr)), "grid-standard"); }

TEST_F(GridGolden, LiteDesigner) { Compare(Render(std::make_unique<TLiteDesigner>(nullptr)), "grid-lite"); }

// Pixels moved by a one-row scroll, on Qt's retained surface, against a full repaint: 50 records
// in a 400 x 200 grid with the designer's initial options (a smart scroll) and no bars.
TEST_F(GridGolden, ScrollsAndJumpsLeaveThePictureOfAFullRepaint) {
  for (bool standard : {true, false}) {
    SCOPED_TRACE(standard ? "standard" : "lite");
    designer = standard ? std::unique_ptr<TgpDesigner>(std::make_unique<TStandardDesigner>(nullptr))
                        : std::unique_ptr<TgpDesigner>(std::make_unique<TLiteDesigner>(nullptr));
    ASSERT_EQ(designer->UpdateMode(), dumSmartScroll);
    table = std::make_unique<TMemTable>(nullptr);
    table->FieldDefs().Add("ID", ftInteger);
    table->FieldDefs().Add("NAME", ftString, 30);
    table->CreateDataSet();
    for (int i = 1; i <= 50; ++i) table->AppendRecord({Variant(i), Variant(String("Name ") + std::to_string(i))});
    table->First();
    source = std::make_unique<TDataSource>(nullptr);
    source->SetDataSet(table.get());
    TWinControl* form = h->TopLevel(0, 0, 420, 220, clWhite);
    grid = std::make_unique<TDBDivoRud>(nullptr);
    grid->SetScrollBars(ssNone);
    grid->SetBounds(0, 0, 400, 200);
    grid->SetDesigner(designer.get());
    grid->SetParent(form);
    for (const char* name : {"ID", "NAME", "ID"}) {
      TgpColumn* column = grid->Columns()->Add();
      column->SetFieldName(name);
      column->SetWidth(80);
    }
    grid->SetDataSource(source.get());
    h->Pump();
    const TRect client = grid->ClientRect();
    auto picture = [&] {
      TPoint origin;
      TPaintDevice* surface = RetainedSurfaceOf(grid->Handle(), &origin);
      return surface ? surface->ReadPixels(TRect{origin.X, origin.Y, origin.X + client.Width(), origin.Y + client.Height()})
                     : TPixelBuffer{};
    };
    const int rows = grid->RowCount();
    auto top = [&] { return table->RecNo() - grid->DataLink()->ActiveRecord(); };
    for (int first : {2, 9, 30}) {
      for (int step : {-1, 1}) {
        table->First();
        table->MoveBy(first + rows - 2);
        if (step < 0) table->MoveBy(1 - rows);
        grid->Repaint();
        h->Pump();
        ASSERT_EQ(top(), first);
        table->MoveBy(step);
        h->Pump();
        ASSERT_EQ(top(), first + step);
        const TPixelBuffer shown = picture();
        grid->Repaint();
        h->Pump();
        EXPECT_TRUE(shown == picture()) << "a move of " << step << " from top " << first;
      }
    }
    // Moves that replace every row: a page either way, and past both ends.
    for (int step : {rows, -rows, 1000, -1000}) {
      table->First();
      table->MoveBy(20);
      grid->Repaint();
      h->Pump();
      const int before = top();
      table->MoveBy(step);
      h->Pump();
      ASSERT_NE(top(), before);
      const TPixelBuffer shown = picture();
      grid->Repaint();
      h->Pump();
      EXPECT_TRUE(shown == picture()) << "a move of " << step;
    }
    grid.reset();
  }
}

}  // namespace
}  // namespace zvtest

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  zv::qt::TGuiSession session(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
