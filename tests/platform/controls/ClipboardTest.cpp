// The clipboard on the headless backend: Unicode text, pictures through TPicture and TBitmap,
// formats, batching with Open/Close, and the process-wide store used with no window backend.

#include "HarnessTest.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/controls/Clipboard.h"
#include "platform/graphics/Bitmap.h"

namespace zvtest {

namespace {

TPixelBuffer Pattern(int w, int h, bool alpha) {
  TPixelBuffer b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, (alpha ? static_cast<TPixel>(40 + x * 20) << 24 : 0xFF000000u) |
                      static_cast<TPixel>(x * 31 & 0xFF) << 16 | static_cast<TPixel>(y * 53 & 0xFF) << 8 | 0x21);
  return b;
}

class ClipboardTest : public THarnessTest {
protected:
  void SetUp() override {
    THarnessTest::SetUp();
    fOld = SetClipboard(std::make_unique<TClipboard>());
    Clipboard()->Clear();
  }
  void TearDown() override {
    SetClipboard(std::move(fOld));
    THarnessTest::TearDown();
  }
  // What the backend holds, which other applications would see.
  static String Published() {
    const auto data = WindowBackend().ClipboardData("text/plain");
    return String(data.begin(), data.end());
  }

private:
  std::unique_ptr<TClipboard> fOld;
};

}  // namespace

TEST_F(ClipboardTest, TextRoundTripsUnicodeAndReportsItsFormats) {
  TClipboard* c = Clipboard();
  EXPECT_FALSE(c->HasFormat(CF_TEXT));
  EXPECT_EQ(c->FormatCount(), 0);
  EXPECT_EQ(c->AsText(), "");

  const String text = "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9D\x84\x9E\nline two";  // café 中文 𝄞
  c->SetAsText(text);
  EXPECT_EQ(c->AsText(), text);
  EXPECT_EQ(Published(), text) << "UTF-8 bytes, unchanged";
  EXPECT_TRUE(c->HasFormat(CF_TEXT));
  EXPECT_TRUE(c->HasFormat(CF_UNICODETEXT));
  EXPECT_FALSE(c->HasFormat(CF_BITMAP));
  EXPECT_FALSE(c->HasFormat(CF_PICTURE));
  ASSERT_EQ(c->FormatCount(), 2);
  EXPECT_EQ(c->Formats(0), CF_UNICODETEXT);
  EXPECT_EQ(c->Formats(1), CF_TEXT);
  EXPECT_THROW(c->Formats(2), EListError);
  EXPECT_THROW(c->Formats(-1), EListError);

  // Another instance reads the same clipboard.
  TClipboard other;
  EXPECT_EQ(other.AsText(), text);
  c->SetAsText("");
  EXPECT_TRUE(other.HasFormat(CF_TEXT)) << "empty text is still text";
  EXPECT_EQ(other.AsText(), "");
  c->Clear();
  EXPECT_FALSE(other.HasFormat(CF_TEXT));
  EXPECT_TRUE(WindowBackend().ClipboardFormats().empty());
}

TEST_F(ClipboardTest, PicturesRoundTripThroughPicturesAndBitmaps) {
  TBitmap source;
  source.SetPixels(Pattern(5, 3, false));
  Clipboard()->SetAsText("replaced by the picture");
  Clipboard()->Assign(&source);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT)) << "setting a format outside Open replaces the content";
  EXPECT_EQ(Clipboard()->FormatCount(), 1);

  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  picture.Assign(Clipboard());
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Graphic()->ToPixels(), source.ToPixels());
  EXPECT_GE(changes, 1);
  TBitmap bitmap;
  bitmap.Assign(Clipboard());
  EXPECT_EQ(bitmap.ToPixels(), source.ToPixels());

  // Alpha survives, and so does a picture of another graphic class.
  TPicture withAlpha;
  TPngImage png;
  png.SetPixels(Pattern(4, 4, true));
  withAlpha.SetGraphic(&png);
  Clipboard()->Assign(&withAlpha);
  TBitmap back;
  back.Assign(Clipboard());
  EXPECT_EQ(back.ToPixels(), png.ToPixels());
  EXPECT_EQ(back.PixelFormat(), pf32bit);

  // An empty picture clears; pasting with no picture there fails and leaves the target alone.
  TPicture empty;
  Clipboard()->Assign(&empty);
  EXPECT_EQ(Clipboard()->FormatCount(), 0);
  Clipboard()->SetAsText("text only");
  try {
    picture.Assign(Clipboard());
    FAIL() << "assigned";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TClipboard to a TPicture");
  }
  EXPECT_EQ(picture.Graphic()->ToPixels(), source.ToPixels());
  TStringList strings;
  EXPECT_THROW(Clipboard()->Assign(&strings), EConvertError);
  EXPECT_EQ(Clipboard()->AsText(), "text only");
}

TEST_F(ClipboardTest, OpenBatchesChangesIntoOnePublicationOnTheLastClose) {
  TClipboard* c = Clipboard();
  c->SetAsText("before");
  TBitmap picture;
  picture.SetPixels(Pattern(2, 2, false));

  c->Open();
  c->Open();
  c->SetAsText("inside");
  c->Assign(&picture);  // adds: the first change inside Open emptied the clipboard
  EXPECT_EQ(c->AsText(), "inside") << "the open clipboard reads what is being built";
  EXPECT_EQ(Published(), "before") << "nothing published while open";
  c->Close();
  EXPECT_EQ(Published(), "before") << "still open once";
  c->Close();
  EXPECT_EQ(Published(), "inside");
  EXPECT_TRUE(c->HasFormat(CF_TEXT));
  EXPECT_TRUE(c->HasFormat(CF_BITMAP));
  c->Close();  // unbalanced: harmless
  EXPECT_EQ(c->AsText(), "inside");

  // Opening without changing anything publishes nothing.
  c->Open();
  c->Close();
  EXPECT_EQ(Published(), "inside");
  c->Open();
  c->Clear();
  EXPECT_FALSE(c->HasFormat(CF_TEXT));
  EXPECT_EQ(Published(), "inside");
  c->Close();
  EXPECT_TRUE(WindowBackend().ClipboardFormats().empty());
}

TEST(ClipboardWithoutBackend, KeepsTextInTheProcess) {
  ASSERT_FALSE(HasWindowBackend());
  auto old = SetClipboard(nullptr);
  TClipboard* first = Clipboard();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Clipboard(), first) << "one global instance";
  first->SetAsText("\xF0\x9D\x84\x9E");
  TClipboard other;
  EXPECT_EQ(other.AsText(), "\xF0\x9D\x84\x9E");
  first->Clear();
  EXPECT_FALSE(other.HasFormat(CF_UNICODETEXT));
  auto mine = SetClipboard(std::move(old));
  EXPECT_EQ(mine.get(), first);
}

}  // namespace zvtest
