#include "NullCanvasFixture.h"

#include "platform/graphics/BmpCodec.h"
#include "platform/classes/Component.h"
#include "platform/classes/Reader.h"
#include "platform/classes/Writer.h"
#include "platform/graphics/GraphicsConsts.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace zvtest;

namespace {

TPixelBuffer Sample(int w, int h, bool alpha) {
  TPixelBuffer b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, (alpha ? static_cast<TPixel>((x * 60) & 0xFF) << 24 : 0xFF000000u) |
                      static_cast<TPixel>((x * 37) & 0xFF) << 16 | static_cast<TPixel>((y * 91) & 0xFF) << 8 | 0x5A);
  return b;
}

// A hand-made BMP: file header, info header, palette, rows.
std::vector<std::uint8_t> MakeBmp(int w, int h, int bpp, std::vector<std::uint32_t> palette,
                                  std::vector<std::uint8_t> rows, std::uint32_t compression = 0,
                                  std::vector<std::uint32_t> masks = {}) {
  std::vector<std::uint8_t> out;
  auto u16 = [&](unsigned v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); };
  auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF); };
  const std::uint32_t off = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size() + masks.size());
  out.push_back('B');
  out.push_back('M');
  u32(off + static_cast<std::uint32_t>(rows.size()));
  u32(0);
  u32(off);
  u32(40);
  u32(static_cast<std::uint32_t>(w));
  u32(static_cast<std::uint32_t>(h));
  u16(1);
  u16(bpp);
  u32(compression);
  u32(static_cast<std::uint32_t>(rows.size()));
  u32(0);
  u32(0);
  u32(static_cast<std::uint32_t>(palette.size()));
  u32(0);
  for (auto m : masks) u32(m);
  for (auto c : palette) u32(c);
  out.insert(out.end(), rows.begin(), rows.end());
  return out;
}

// A component with a font and a picture, as a form's control has them.
class TGlyphHolder : public TComponent {
  ZV_CLASS(TGlyphHolder, TComponent)
public:
  explicit TGlyphHolder(TComponent* owner) : TComponent(owner) {}
  ~TGlyphHolder() override { Destroying(); }
  TFont* Font() const { return fFont.get(); }
  void SetFont(TFont* f) { fFont->Assign(f); }
  TPicture* Picture() const { return fPicture.get(); }
  void SetPicture(TPicture* p) { fPicture->Assign(p); }
  static void DeclareProperties(TPropTable<TGlyphHolder>& t) {
    t.Prop("Font", &TGlyphHolder::Font, &TGlyphHolder::SetFont);
    t.Prop("Picture", &TGlyphHolder::Picture, &TGlyphHolder::SetPicture);
  }

private:
  std::unique_ptr<TFont> fFont = std::make_unique<TFont>();
  std::unique_ptr<TPicture> fPicture = std::make_unique<TPicture>();
};
ZV_DEFINE_CLASS_WITH_PROPS(TGlyphHolder, TComponent)

}  // namespace

TEST(BmpCodec, RoundTripsAndReadsTheCommonDepths) {
  const TPixelBuffer opaque = Sample(5, 3, false);
  EXPECT_EQ(DecodeBmp(EncodeBmp(opaque, 24)), opaque);
  const TPixelBuffer translucent = Sample(3, 4, true);
  EXPECT_EQ(DecodeBmp(EncodeBmp(translucent, 32)), translucent);
  EXPECT_EQ(EncodeBmp(opaque, 24).size(), 54u + 3 * 16);  // rows padded to 4 bytes
  EXPECT_THROW(EncodeBmp(opaque, 16), EInvalidGraphic);

  // 8 bits with a palette, bottom-up: the first row in the file is the bottom one.
  const auto pal8 = MakeBmp(2, 2, 8, {0x00FF0000, 0x0000FF00}, {1, 0, 0, 0, 0, 1, 0, 0});
  const TPixelBuffer p8 = DecodeBmp(pal8);
  EXPECT_EQ(p8.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p8.At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(p8.At(0, 1), 0xFF00FF00u);
  // 1 bit, top-down (negative height).
  auto mono = MakeBmp(3, 1, 1, {0x00000000, 0x00FFFFFF}, {0xA0, 0, 0, 0});
  mono[22] = 0xFF, mono[23] = 0xFF, mono[24] = 0xFF, mono[25] = 0xFF;  // height -1
  const TPixelBuffer p1 = DecodeBmp(mono);
  EXPECT_EQ(p1.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(p1.At(1, 0), 0xFF000000u);
  EXPECT_EQ(p1.At(2, 0), 0xFFFFFFFFu);
  // 16 bits, 5-6-5 bit fields: pure red and pure green.
  const auto p565 = MakeBmp(2, 1, 16, {}, {0x00, 0xF8, 0xE0, 0x07}, 3, {0xF800, 0x07E0, 0x001F});
  const TPixelBuffer p16 = DecodeBmp(p565);
  EXPECT_EQ(p16.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(p16.At(1, 0), 0xFF00FF00u);
}

TEST(BmpCodec, RejectsBadData) {
  const auto good = EncodeBmp(Sample(4, 4, false), 24);
  auto expectBad = [](std::vector<std::uint8_t> data) {
    try {
      DecodeBmp(data);
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    }
  };
  expectBad({});
  expectBad({'B', 'M'});
  expectBad(std::vector<std::uint8_t>(good.begin(), good.end() - 1));  // truncated pixels
  auto badPalette = MakeBmp(2, 1, 8, {0}, {0, 5, 0, 0});               // index past the palette
  expectBad(badPalette);
  auto rle = MakeBmp(2, 1, 8, {0, 0}, {0, 0, 0, 0}, 1);
  expectBad(rle);
  auto huge = good;
  huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;  // width 2^31 - 1
  expectBad(huge);
  auto negativeWidth = good;
  negativeWidth[21] = 0xFF;
  expectBad(negativeWidth);
}

using BitmapTest = NullCanvasTest;

TEST_F(BitmapTest, SizePixelsAndStreams) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(4, 3);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 4, 3));
  b.SetWidth(6);  // keeps what was there, new pixels black
  EXPECT_EQ(b.Canvas()->Pixels(3, 2), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(5, 2), clBlack);
  EXPECT_THROW(b.SetHeight(-1), EInvalidGraphic);

  TMemoryStream s;
  b.SaveToStream(s);
  s.SetPosition(0);
  TBitmap c;
  c.LoadFromStream(s);
  EXPECT_EQ(c.Width(), 6);
  EXPECT_EQ(c.Height(), 3);
  EXPECT_EQ(c.ToPixels(), b.ToPixels());
  // A 32-bit image keeps its alpha beside the opaque surface.
  TBitmap a;
  a.SetPixels(Sample(3, 2, true));
  EXPECT_EQ(a.PixelFormat(), pf32bit);
  TMemoryStream s32;
  a.SaveToStream(s32);
  s32.SetPosition(0);
  c.LoadFromStream(s32);
  EXPECT_EQ(c.ToPixels(), Sample(3, 2, true));

  // PNG needs a codec the null backend does not have.
  TMemoryStream png;
  try {
    b.SaveToStream(png, TImageFormat::Png);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "The null graphics backend cannot write PNG images");
  }
}

TEST_F(BitmapTest, DrawingWithTransparencyAndModes) {
  TBitmap b;
  b.SetSize(3, 1);
  b.Canvas()->SetPixels(0, 0, clLime);
  b.Canvas()->SetPixels(1, 0, clBlue);
  b.Canvas()->SetPixels(2, 0, clLime);
  EXPECT_EQ(b.TransparentColor(), clLime);  // the bottom-left pixel
  canvas->Draw(0, 0, &b);
  EXPECT_EQ(Px(0, 0), clLime);
  b.SetTransparent(true);
  canvas->Draw(0, 1, &b);
  EXPECT_EQ(Px(0, 1), clWhite);
  EXPECT_EQ(Px(1, 1), clBlue);
  b.SetTransparentColor(clBlue);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  canvas->Draw(0, 2, &b);
  EXPECT_EQ(Px(0, 2), clLime);
  EXPECT_EQ(Px(1, 2), clWhite);
  b.SetTransparent(false);
  canvas->StretchDraw(Rect(10, 0, 16, 2), &b);
  EXPECT_EQ(Px(11, 1), clLime);
  EXPECT_EQ(Px(12, 0), clBlue);
  canvas->SetCopyMode(cmSrcAnd);
  canvas->Draw(20, 0, &b);
  EXPECT_EQ(Px(21, 0), clBlue);  // white AND blue
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Canvas()->SetPixels(0, 0, clRed);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(b.Modified());
}

TEST_F(BitmapTest, PictureFilesByExtension) {
  const auto dir = std::filesystem::temp_directory_path() / ("zv-graphics-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  TBitmap b;
  b.SetPixels(Sample(4, 2, false));
  b.SaveToFile((dir / "a.bmp").string());

  TPicture pic;
  int changes = 0;
  pic.OnChange = [&](TObject*) { ++changes; };
  pic.LoadFromFile((dir / "a.bmp").string());
  ASSERT_NE(dynamic_cast<TBitmap*>(pic.Graphic()), nullptr);
  EXPECT_EQ(pic.Width(), 4);
  EXPECT_EQ(pic.Graphic()->ToPixels(), b.ToPixels());
  EXPECT_GE(changes, 1);
  try {
    pic.LoadFromFile((dir / "a.xyz").string());
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(pic.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
  // A PNG file loads as a TPngImage, through the backend's codec (missing here).
  std::ofstream((dir / "b.png").string(), std::ios::binary) << "\x89PNG\r\n\x1a\n....";
  EXPECT_THROW(pic.LoadFromFile((dir / "b.png").string()), EInvalidGraphic);

  TPicture copy;
  copy.Assign(&pic);
  ASSERT_NE(copy.Graphic(), pic.Graphic());
  EXPECT_EQ(copy.Graphic()->ToPixels(), b.ToPixels());
  copy.Assign(nullptr);
  EXPECT_EQ(copy.Graphic(), nullptr);
  TBitmap target;
  target.Assign(&pic);
  EXPECT_EQ(target.ToPixels(), b.ToPixels());
  // Asking for the bitmap of a picture holding another graphic replaces it.
  TPngImage png;
  png.SetPixels(Sample(2, 2, false));
  pic.SetGraphic(&png);
  EXPECT_NE(dynamic_cast<TPngImage*>(pic.Graphic()), nullptr);
  EXPECT_TRUE(pic.Bitmap()->Empty());
  std::filesystem::remove_all(dir);
}

TEST_F(BitmapTest, FormsStoreFontsAndPictures) {
  TGlyphHolder holder(nullptr);
  holder.SetName("Holder");
  holder.Font()->SetHeight(-14);
  holder.Font()->SetStyle({fsBold, fsUnderline});
  holder.Font()->SetColor(clHighlight);
  holder.Picture()->Bitmap()->SetPixels(Sample(5, 3, false));
  TMemoryStream s;
  TWriter writer(s);
  writer.WriteRootComponent(&holder);
  s.SetPosition(0);
  TGlyphHolder loaded(nullptr);
  TReader reader(s);
  reader.ReadRootComponent(&loaded);
  EXPECT_EQ(loaded.Font()->Data(), holder.Font()->Data());
  EXPECT_EQ(loaded.Font()->Color(), clHighlight);
  ASSERT_NE(dynamic_cast<TBitmap*>(loaded.Picture()->Graphic()), nullptr);
  EXPECT_EQ(loaded.Picture()->Graphic()->ToPixels(), Sample(5, 3, false));
  // An empty picture writes no data and reads back empty.
  holder.Picture()->Assign(nullptr);
  TMemoryStream e;
  TWriter w2(e);
  w2.WriteRootComponent(&holder);
  e.SetPosition(0);
  TGlyphHolder again(nullptr);
  TReader r2(e);
  r2.ReadRootComponent(&again);
  EXPECT_EQ(again.Picture()->Graphic(), nullptr);
}
