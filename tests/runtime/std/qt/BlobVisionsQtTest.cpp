// The image vision on Qt off-screen: PNG and JPEG pictures stored in an SQLite BLOB column
// painted into a stand-alone edit control, and a PNG picture pasted through the clipboard.

#include "QtDriver.h"
#include "HarnessTest.h"
#include "tests/runtime/db/TestDataSets.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/WindowBackend.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsBackend.h"
#include "runtime/std/BlobVisions.h"
#include "runtime/vision/DevidEdit.h"

#include <cstdlib>

namespace zvtest {
namespace {

using namespace zv;

bool Near(TColor a, TColor b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) return false;
  return true;
}

class BlobVisionsQt : public THarnessTest {
protected:
  BlobVisionsQt() : THarnessTest(MakeQtDriver) {}
  void TearDown() override {
    form.reset();
    THarnessTest::TearDown();
  }
  std::unique_ptr<TForm> form;
};

TEST_F(BlobVisionsQt, PngAndJpegFromSqlitePaintedAndPngPasted) {
  const TColor colors[] = {clRed, clBlue};
  const TImageFormat formats[] = {TImageFormat::Png, TImageFormat::Jpeg};
  const String path = GridTempFileName();
  {
    sqlite::TSqliteDatabase db(path);
    db.Execute("CREATE TABLE pictures (ID INTEGER PRIMARY KEY, P BLOB)");
    db.Execute("INSERT INTO pictures (ID) VALUES (1), (2)");
  }
  TGridSqliteDataSet table;
  table.SetFileName(path);
  table.SetTableName("pictures");
  table.Open();
  for (int i = 0; i < 2; ++i) {
    const std::vector<std::uint8_t> bytes =
        GraphicsBackend().EncodeImage(TPixelBuffer(32, 24, ColorToPixel(ColorToRGB(colors[i]))), formats[i]);
    table.Edit();
    table.FieldByName("P")->SetAsString(String(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    table.Post();
    table.Next();
  }
  table.First();

  TImageVision image(nullptr);
  image.SetStretch(true);
  TDataSource source(nullptr);
  source.SetDataSet(&table);
  form = std::make_unique<TForm>(nullptr);
  form->SetBounds(40, 40, 300, 200);
  form->Show();
  auto* edit = new TDBDevidEdit(form.get());
  edit->SetBounds(10, 10, 80, 60);
  edit->SetParent(form.get());
  edit->SetVision(&image);
  edit->SetDataSource(&source);
  edit->SetDataField("P");
  for (int i = 0; i < 2; ++i) {
    edit->Repaint();
    h->Pump();
    TPoint origin;
    TPaintDevice* surface = RetainedSurfaceOf(edit->Handle(), &origin);
    ASSERT_NE(surface, nullptr);
    const TPixelBuffer shown = surface->ReadPixels({origin.X + 30, origin.Y + 25, origin.X + 31, origin.Y + 26});
    EXPECT_TRUE(Near(PixelToColor(shown.At(0, 0)), ColorToRGB(colors[i])))
        << ImageFormatName(formats[i]) << " " << std::hex << PixelToColor(shown.At(0, 0));
    table.Next();
  }

  // A PNG picture on the clipboard, pasted into the focused editor: stored as a BMP file.
  table.First();
  edit->SetFocus();
  h->Pump();
  TPngImage png;
  png.SetPixels(TPixelBuffer(7, 5, ColorToPixel(ColorToRGB(clLime))));
  Clipboard()->Assign(&png);
  image.PE_EditAction(*edit, veaPaste);
  std::unique_ptr<TBitmap> pasted = DecodePicture(edit->CurrentValue().Data());
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->Width(), 7);
  EXPECT_EQ(DetectImageFormat(edit->CurrentValue().Data()), TImageFormat::Bmp);
  EXPECT_TRUE(Near(PixelToColor(pasted->ToPixels().At(3, 2)), ColorToRGB(clLime)));
}

}  // namespace
}  // namespace zvtest
