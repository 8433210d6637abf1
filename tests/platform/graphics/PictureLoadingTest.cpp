// Loading pictures from bad data: every failure raises EInvalidGraphic (or the file error) with
// a clear message and leaves the picture or bitmap exactly as it was.

#include "NullCanvasFixture.h"

#include "platform/graphics/BmpCodec.h"
#include "platform/graphics/GraphicsConsts.h"

#include <filesystem>
#include <fstream>

#include <unistd.h>

using namespace zvtest;

namespace {

TPixelBuffer Pattern(int w, int h, bool alpha) {
  TPixelBuffer b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, (alpha ? static_cast<TPixel>(30 + 50 * x) << 24 : 0xFF000000u) | static_cast<TPixel>(x * 70) << 16 |
                      static_cast<TPixel>(y * 45) << 8 | 0x11);
  return b;
}

class PictureLoading : public NullCanvasTest {
protected:
  void SetUp() override {
    NullCanvasTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("zv-picload-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    NullCanvasTest::TearDown();
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  // Loads path into picture, expecting failure with message (empty: any); the picture must be
  // untouched: the same graphic, the same pixels, no change notified.
  void ExpectRefused(TPicture& picture, const std::string& path, const std::string& message) {
    const TGraphic* before = picture.Graphic();
    const TPixelBuffer pixels = before ? before->ToPixels() : TPixelBuffer();
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    try {
      picture.LoadFromFile(path);
      ADD_FAILURE() << path << " loaded";
    } catch (const Exception& e) {
      if (!message.empty()) {
        EXPECT_EQ(std::string(e.what()), message) << path;
      }
    }
    EXPECT_EQ(picture.Graphic(), before) << path;
    if (before) {
      EXPECT_EQ(picture.Graphic()->ToPixels(), pixels) << path;
    }
    EXPECT_EQ(changes, 0) << path;
    picture.OnChange = nullptr;
  }

  std::filesystem::path dir;
};

}  // namespace

TEST_F(PictureLoading, EveryTruncationOfABitmapIsRefusedAndKeepsTheOldImage) {
  for (int bpp : {24, 32}) {
    const auto good = EncodeBmp(Pattern(5, 4, bpp == 32), bpp);
    TBitmap target;
    target.SetPixels(Pattern(3, 2, false));
    const TPixelBuffer old = target.ToPixels();
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    for (std::size_t n = 0; n < good.size(); ++n) {
      TMemoryStream s;
      if (n) s.WriteBuffer(good.data(), static_cast<std::int64_t>(n));
      s.SetPosition(0);
      try {
        target.LoadFromStream(s);
        ADD_FAILURE() << bpp << " bits, " << n << " bytes loaded";
      } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), SInvalidBitmap) << n;
      }
    }
    EXPECT_EQ(target.ToPixels(), old);
    EXPECT_EQ(target.Width(), 3);
    EXPECT_EQ(changes, 0);
    // The whole file still loads.
    TMemoryStream whole;
    whole.WriteBuffer(good.data(), static_cast<std::int64_t>(good.size()));
    whole.SetPosition(0);
    target.LoadFromStream(whole);
    EXPECT_EQ(target.ToPixels(), Pattern(5, 4, bpp == 32));
  }
}

TEST_F(PictureLoading, BadFilesLeaveThePictureAsItWas) {
  TPicture picture;
  const auto good = EncodeBmp(Pattern(4, 3, false), 24);
  picture.LoadFromFile(Write("good.bmp", good));
  ASSERT_EQ(picture.Width(), 4);

  ExpectRefused(picture, Write("empty.bmp", {}), SInvalidBitmap);
  ExpectRefused(picture, Write("cut.bmp", std::vector<std::uint8_t>(good.begin(), good.begin() + 60)), SInvalidBitmap);
  ExpectRefused(picture, Write("header.bmp", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)), SInvalidBitmap);
  ExpectRefused(picture, Write("noise.bmp", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}), SInvalidBitmap);
  auto badHeader = good;
  badHeader[14] = 7;  // an unknown header size
  ExpectRefused(picture, Write("header-size.bmp", badHeader), SInvalidBitmap);
  // Other formats go to the backend's codecs; the headless one has none, and says so.
  ExpectRefused(picture, Write("noise.png", {1, 2, 3}), "The null graphics backend cannot read PNG images");
  ExpectRefused(picture, Write("empty.jpg", {}), "The null graphics backend cannot read JPEG images");
  ExpectRefused(picture, Write("image.xyz", good), "Unknown picture file extension (.xyz)");
  ExpectRefused(picture, Write("noextension", good), "Unknown picture file extension (.)");
  EXPECT_THROW(picture.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
  EXPECT_EQ(picture.Graphic()->ToPixels(), Pattern(4, 3, false));

  // An empty picture stays empty.
  TPicture none;
  ExpectRefused(none, Write("again.bmp", {'B', 'M'}), SInvalidBitmap);
  EXPECT_EQ(none.Graphic(), nullptr);

  // The bitmap of a picture, loaded directly, keeps its pixels too.
  TBitmap* bitmap = picture.Bitmap();
  EXPECT_THROW(bitmap->LoadFromFile((dir / "cut.bmp").string()), EInvalidGraphic);
  EXPECT_EQ(bitmap->ToPixels(), Pattern(4, 3, false));
}

TEST(ImageCompleteness, CutOffDataOfTheOtherFormatsIsRefused) {
  auto expectCut = [](std::vector<std::uint8_t> data, TImageFormat format, const char* message) {
    try {
      CheckImageComplete(data, format);
      ADD_FAILURE() << message << " accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), message);
    }
  };
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  EXPECT_NO_THROW(CheckImageComplete(png, TImageFormat::Png));
  png.back() = 0;  // a CRC may end in zero: not padding
  EXPECT_NO_THROW(CheckImageComplete(png, TImageFormat::Png));
  expectCut({png.begin(), png.end() - 1}, TImageFormat::Png, "PNG image is not valid: the data ends early");
  expectCut({png.begin(), png.begin() + 8}, TImageFormat::Png, "PNG image is not valid: the data ends early");

  std::vector<std::uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 0xFF, 0xD9};
  EXPECT_NO_THROW(CheckImageComplete(jpeg, TImageFormat::Jpeg));
  jpeg.insert(jpeg.end(), {0, 0});
  EXPECT_NO_THROW(CheckImageComplete(jpeg, TImageFormat::Jpeg)) << "zero padding after the end marker";
  expectCut({jpeg.begin(), jpeg.begin() + 8}, TImageFormat::Jpeg, "JPEG image is not valid: the data ends early");
  expectCut({}, TImageFormat::Jpeg, "JPEG image is not valid: the data ends early");

  std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0x2C, 0x3B};
  EXPECT_NO_THROW(CheckImageComplete(gif, TImageFormat::Gif));
  expectCut({gif.begin(), gif.end() - 1}, TImageFormat::Gif, "GIF image is not valid: the data ends early");
  EXPECT_NO_THROW(CheckImageComplete({}, TImageFormat::Bmp)) << "BMP is the decoder's to check";
}
