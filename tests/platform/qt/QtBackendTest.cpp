// The Qt backend on pixels: frames and raster operations match the null backend exactly, text
// lands where the layout says, and images survive PNG.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/null/NullBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"

#include <QImage>
#include <gtest/gtest.h>

#include "TextTable.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <functional>

#include <unistd.h>

using namespace zv;

namespace {

// Pixels of rect that are darker than mid grey, and their bounds.
struct TInk {
  int Count = 0;
  TRect Bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
};
TInk InkIn(TCanvas& c, const TRect& r) {
  TInk ink;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const TColor p = c.Pixels(x, y);
      if (GetRValue(p) + GetGValue(p) + GetBValue(p) < 3 * 128) {
        ++ink.Count;
        ink.Bounds = {std::min(ink.Bounds.Left, x), std::min(ink.Bounds.Top, y), std::max(ink.Bounds.Right, x + 1),
                      std::max(ink.Bounds.Bottom, y + 1)};
      }
    }
  return ink;
}

class QtCanvasTest : public ::testing::Test {
protected:
  void SetUp() override {
    surface = GraphicsBackend().CreateSurface(120, 60);
    canvas = std::make_unique<TCanvas>(surface.get());
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 120, 60));
  }
  std::unique_ptr<TPaintDevice> surface;
  std::unique_ptr<TCanvas> canvas;
};

}  // namespace

TEST_F(QtCanvasTest, FramesAndRasterOperationsMatchTheNullBackend) {
  TNullSurface nullSurface(120, 60);
  TCanvas nullCanvas(&nullSurface);
  const std::function<void(TCanvas&)> paint = [](TCanvas& c) {
    c.Brush()->SetColor(clWhite);
    c.FillRect(Rect(0, 0, 120, 60));
    TRect r = Rect(2, 2, 22, 22);
    DrawEdge(c, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    DrawEdge(c, r, EDGE_ETCHED, BF_RECT);
    r = Rect(24, 2, 44, 22);
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    r = Rect(46, 2, 59, 15);
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    r = Rect(62, 2, 78, 18);
    DrawFrameControl(c, r, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_INACTIVE);
    r = Rect(80, 2, 96, 18);
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_CHECKED);
    DrawFocusRect(c, Rect(2, 30, 40, 50));
    InvertRect(c, Rect(10, 35, 20, 45));
    c.Brush()->SetColor(clRed);
    c.Rectangle(44, 30, 60, 45);
    c.Brush()->SetStyle(bsDiagCross);
    c.Brush()->SetColor(clBlue);
    c.FillRect(Rect(62, 30, 80, 45));
    c.Pen()->SetStyle(psDashDot);
    c.MoveTo(0, 55);
    c.LineTo(119, 52);
    c.Pen()->SetStyle(psSolid);
    c.Pen()->SetMode(pmXor);
    c.Pen()->SetColor(clWhite);
    c.Brush()->SetColor(clYellow);
    c.Rectangle(84, 30, 100, 58);
    c.Pen()->SetMode(pmCopy);
    c.Pen()->SetWidth(3);
    c.MoveTo(102, 30);
    c.LineTo(115, 50);
    BitBlt(c, 100, 2, 16, 16, &c, 2, 2, SRCINVERT);
  };
  paint(*canvas);
  paint(nullCanvas);
  EXPECT_TRUE(surface->ReadPixels(Rect(0, 0, 120, 60)) == nullSurface.Pixels());
  EXPECT_NE(qt::SurfaceImage(*surface), nullptr);
  EXPECT_EQ(qt::SurfaceImage(nullSurface), nullptr);
}

// Buffered paints copy one surface onto another directly: clipped, partly outside the source
// (black there) and with one-pixel lines drawn as spans, the same pixels as the null backend.
TEST_F(QtCanvasTest, SurfaceCopiesAndLinesMatchTheNullBackend) {
  TNullSurface nullSource(30, 20), nullTarget(120, 60);
  const std::unique_ptr<TPaintDevice> qtSource = GraphicsBackend().CreateSurface(30, 20);
  TCanvas nullSourceCanvas(&nullSource), qtSourceCanvas(qtSource.get()), nullCanvas(&nullTarget);
  const std::function<void(TCanvas&)> source = [](TCanvas& c) {
    c.Brush()->SetColor(clYellow);
    c.FillRect(Rect(0, 0, 30, 20));
    c.Pen()->SetColor(clBlue);
    const TPoint path[] = {{2, 2}, {27, 2}, {27, 17}, {2, 17}, {2, 3}};
    c.Polyline(path);
    c.MoveTo(20, 10);
    c.LineTo(5, 10);  // leftwards: the end point stays out
    c.MoveTo(15, 15);
    c.LineTo(15, 4);
  };
  source(nullSourceCanvas);
  source(qtSourceCanvas);
  const auto paint = [](TCanvas& c, TCanvas& src) {
    c.Brush()->SetColor(clWhite);
    c.FillRect(Rect(0, 0, 120, 60));
    BitBlt(c, 0, 0, 30, 20, &src, 0, 0, SRCCOPY);
    BitBlt(c, 40, 5, 30, 20, &src, -5, 8, SRCCOPY);  // left and bottom fall outside the source
    const int saved = SaveDC(c);
    IntersectClipRect(c, 80, 0, 110, 50);
    ExcludeClipRect(c, 90, 10, 95, 15);
    c.CopyRect(Rect(75, 10, 105, 30), &src, Rect(0, 0, 30, 20));
    c.Pen()->SetColor(clRed);
    c.MoveTo(70, 40);
    c.LineTo(119, 40);  // cut by the clip
    RestoreDC(c, saved);
  };
  paint(*canvas, qtSourceCanvas);
  paint(nullCanvas, nullSourceCanvas);
  EXPECT_TRUE(surface->ReadPixels(Rect(0, 0, 120, 60)) == nullTarget.Pixels());
  EXPECT_EQ(canvas->Pixels(45, 20), clBlack) << "source rows past the bottom read as black";
  EXPECT_EQ(canvas->Pixels(91, 11), clWhite) << "the excluded part stays";
  EXPECT_EQ(canvas->Pixels(100, 40), clRed);
  EXPECT_EQ(canvas->Pixels(110, 40), clWhite);
}

TEST_F(QtCanvasTest, TextIsDrawnWhereItIsMeasured) {
  const TSize extent = canvas->TextExtent("Hello");
  TTextMetric tm;
  GetTextMetrics(*canvas, tm);
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(extent.cy, tm.tmHeight);
  EXPECT_GE(tm.tmHeight, 11);
  EXPECT_GE(tm.tmInternalLeading, 0);
  EXPECT_GT(tm.tmAveCharWidth, 3);
  EXPECT_NEAR(canvas->TextWidth("HHHH"), 2 * canvas->TextWidth("HH"), 1);
  canvas->Font()->SetStyle({fsBold});
  EXPECT_GT(canvas->TextWidth("Hello"), extent.cx);
  canvas->Font()->SetStyle({});

  canvas->TextOut(4, 4, "Hello");
  const TInk ink = InkIn(*canvas, Rect(0, 0, 120, 30));
  EXPECT_GT(ink.Count, 20);
  EXPECT_GE(ink.Bounds.Left, 4);
  EXPECT_LE(ink.Bounds.Right, 4 + extent.cx + 1);
  EXPECT_GE(ink.Bounds.Top, 4);
  EXPECT_LE(ink.Bounds.Bottom, 4 + tm.tmAscent + 1);  // no descenders in "Hello"

  // Centred in a rectangle, clipped to it, in the font's colour over the brush.
  canvas->Font()->SetColor(clRed);
  canvas->Brush()->SetColor(clYellow);
  TRect r = Rect(0, 30, 120, 60);
  DrawText(*canvas, "Mid", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const int w = canvas->TextWidth("Mid");
  const int left = (120 - w) / 2, top = 30 + (30 - tm.tmHeight) / 2;
  EXPECT_EQ(canvas->Pixels(left, top), clYellow);
  EXPECT_EQ(canvas->Pixels(left - 1, top), clWhite);
  int red = 0;
  for (int y = top; y < top + tm.tmHeight; ++y)
    for (int x = left; x < left + w; ++x) {
      const TColor p = canvas->Pixels(x, y);
      red += GetRValue(p) > 200 && GetGValue(p) < 100;
    }
  EXPECT_GT(red, 5);
  canvas->Brush()->SetStyle(bsClear);
  r = Rect(0, 0, 10, 20);
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(Rect(0, 0, 120, 30));
  canvas->Brush()->SetStyle(bsClear);
  DrawText(*canvas, "Wide text", r, DT_SINGLELINE);
  EXPECT_GT(InkIn(*canvas, Rect(0, 0, 10, 20)).Count, 0);
  EXPECT_EQ(InkIn(*canvas, Rect(10, 0, 120, 30)).Count, 0);
}

TEST_F(QtCanvasTest, FontHeightsFollowTheHostRule) {
  canvas->Font()->SetHeight(-20);
  TTextMetric tm;
  GetTextMetrics(*canvas, tm);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);
  canvas->Font()->SetHeight(24);  // the cell height
  GetTextMetrics(*canvas, tm);
  EXPECT_NEAR(tm.tmHeight, 24, 1);
  canvas->Font()->SetName("Courier New");
  canvas->Font()->SetHeight(-12);
  EXPECT_EQ(canvas->TextWidth("iiii"), canvas->TextWidth("MMMM"));  // mapped to the fixed-pitch face
}

TEST(QtImages, PngRoundTripsAndFormats) {
  TBitmap b;
  b.SetSize(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) b.Canvas()->SetPixels(x, y, RGB(x * 30, y * 50, 200 - x * y));
  TMemoryStream s;
  b.SaveToStream(s, TImageFormat::Png);
  ASSERT_GT(s.Size(), 8);
  EXPECT_EQ(s.Memory()[1], 'P');
  s.SetPosition(0);
  TBitmap c;
  c.LoadFromStream(s);
  EXPECT_TRUE(c.ToPixels() == b.ToPixels());

  TPngImage alpha;
  TPixelBuffer px(3, 2, 0x80FF0000u);
  px.Set(0, 0, 0x00000000u);
  alpha.SetPixels(px);
  TMemoryStream a;
  alpha.SaveToStream(a);
  a.SetPosition(0);
  TPngImage back;
  back.LoadFromStream(a);
  EXPECT_TRUE(back.ToPixels() == px);

  TJPEGImage jpeg;
  jpeg.SetPixels(TPixelBuffer(16, 16, 0xFF3060C0u));
  TMemoryStream j;
  jpeg.SaveToStream(j);
  j.SetPosition(0);
  TJPEGImage jback;
  jback.LoadFromStream(j);
  const TPixel p = jback.ToPixels().At(8, 8);
  EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 0x30, 8);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 0xC0, 8);

  TGIFImage gif;
  gif.SetPixels(px);
  TMemoryStream g;
  try {
    gif.SaveToStream(g);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "The Qt graphics backend cannot write GIF images");
  }
  const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3};
  EXPECT_THROW(GraphicsBackend().DecodeImage(junk, TImageFormat::Png), EInvalidGraphic);

  const auto file = std::filesystem::temp_directory_path() / ("zv-qt-" + std::to_string(::getpid()) + ".png");
  b.SaveToFile(file.string());
  TPicture pic;
  pic.LoadFromFile(file.string());
  ASSERT_NE(dynamic_cast<TPngImage*>(pic.Graphic()), nullptr);
  EXPECT_TRUE(pic.Graphic()->ToPixels() == b.ToPixels());
  std::filesystem::remove(file);
}

// On the desktop's palette a window is painted in that one scheme: each colour the fixed palette
// gives the value of another takes that other's colour from the desktop's palette too, so that
// no track, border or menu bar keeps the fixed palette's beige.
TEST(QtPalette, TheDesktopPaletteKeepsTheFixedPalettesPairs) {
  qt::TQtBackend desktop(true);
  ASSERT_NE(desktop.SysColor(COLOR_BTNFACE), DefaultSysColor(COLOR_BTNFACE))
      << "the desktop's palette is the fixed one here: nothing to tell apart";
  const struct {
    int index, sameAs;
  } pairs[] = {
      {COLOR_SCROLLBAR, COLOR_BTNFACE},       {COLOR_ACTIVEBORDER, COLOR_BTNFACE},
      {COLOR_INACTIVEBORDER, COLOR_BTNFACE},  {COLOR_INACTIVECAPTIONTEXT, COLOR_BTNFACE},
      {COLOR_MENUBAR, COLOR_BTNFACE},         {COLOR_MENU, COLOR_BTNFACE},
      {COLOR_ACTIVECAPTION, COLOR_HIGHLIGHT}, {COLOR_MENUHILIGHT, COLOR_HIGHLIGHT},
      {COLOR_CAPTIONTEXT, COLOR_HIGHLIGHTTEXT}, {COLOR_INACTIVECAPTION, COLOR_BTNSHADOW},
      {COLOR_APPWORKSPACE, COLOR_BTNSHADOW},  {COLOR_WINDOWFRAME, COLOR_WINDOWTEXT},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(DefaultSysColor(p.index), DefaultSysColor(p.sameAs)) << p.index << " in the fixed palette";
    EXPECT_EQ(desktop.SysColor(p.index), desktop.SysColor(p.sameAs)) << p.index << " in the desktop's palette";
  }
}

// A surface sized down and up again keeps its store (no allocation, no copy), keeps the pixels
// at the top left and shows black wherever it grew, whatever a larger size left there.
TEST(QtSurfaces, ResizingWithinTheLargestSizeKeepsTheStore) {
  auto surface = GraphicsBackend().CreateSurface(200, 100);
  const QImage* image = qt::SurfaceImage(*surface);
  ASSERT_NE(image, nullptr);
  surface->FillRect({0, 0, 200, 100}, {clRed, bsSolid});
  const uchar* store = image->constBits();
  const struct {
    int w, h;
    TColor inside, grown;  // at (5, 5), and at the far corner of the new size
  } steps[] = {{120, 60, clRed, clRed}, {200, 100, clRed, clBlack}, {60, 100, clRed, clBlack}, {180, 40, clRed, clBlack},
               {200, 100, clRed, clBlack}};
  for (const auto& step : steps) {
    surface->Resize(step.w, step.h);
    EXPECT_EQ(surface->Width(), step.w);
    EXPECT_EQ(surface->Height(), step.h);
    EXPECT_EQ(image->constBits(), store) << step.w << "x" << step.h << ": the store was replaced";
    EXPECT_EQ(surface->GetPixel(5, 5), step.inside) << step.w << "x" << step.h;
    EXPECT_EQ(surface->GetPixel(step.w - 1, step.h - 1), step.grown) << step.w << "x" << step.h;
  }
  // Larger than ever: a new store, the old pixels copied; far smaller: the memory goes back.
  surface->Resize(300, 120);
  EXPECT_EQ(surface->GetPixel(5, 5), clRed);
  EXPECT_EQ(surface->GetPixel(299, 119), clBlack);
  EXPECT_EQ(surface->GetPixel(150, 50), clBlack);  // grown while 60 wide, then black ever since
  surface->Resize(20, 10);
  EXPECT_EQ(surface->GetPixel(5, 5), clRed);
  surface->Resize(0, 10);
  EXPECT_EQ(surface->Width(), 0);
  surface->Resize(30, 10);
  EXPECT_EQ(surface->GetPixel(29, 9), clBlack);
}

// The pixels of the table of hard texts stay what they were, cell by cell: drawn twice (a run
// drawn again is drawn from its kept shape), and drawn again once the backend's kept runs are
// full, when new texts take the places of old ones and must draw as if shaped afresh.
TEST(QtText, HardTextsPaintAsTheGoldenSays) {
  const std::vector<zvtest::TTextCell> cells = zvtest::HardTextCells();
  int height = 0;
  const std::vector<TRect> rects = zvtest::TextTableRects(cells, height);
  auto surface = GraphicsBackend().CreateSurface(zvtest::TextTableWidth, height);
  TCanvas canvas(surface.get());
  for (const char* step : {"first drawing", "drawn again", "after other texts in bold", "after other texts"}) {
    SCOPED_TRACE(step);
    if (std::string_view(step).starts_with("after")) {
      canvas.Font()->SetStyle(std::string_view(step).ends_with("bold") ? TFontStyles{fsBold} : TFontStyles{});
      for (int i = 0; i < 3000; ++i) {
        TRect r = Rect(0, 0, 90, 16);
        DrawText(canvas, std::string("filler ") + step + " " + std::to_string(i), r, DT_SINGLELINE | DT_END_ELLIPSIS);
      }
      canvas.Font()->SetStyle({});
    }
    zvtest::DrawTextTable(canvas, cells, rects);
    zvtest::ExpectTextTableGolden(zvtest::TextTableDigest(canvas, cells, rects),
                                  std::string(ZV_TEXT_GOLDEN_DIR) + "/text-table-qt.txt");
  }
}

// Long distinct texts keep their runs within a bound in bytes, well before the count fills.
TEST(QtText, KeptRunsOfLongTextsStayWithinTheirBound) {
  auto surface = GraphicsBackend().CreateSurface(300, 20);
  TCanvas canvas(surface.get());
  const std::string tail(200, 'w');
  for (int i = 0; i < 2000; ++i) {
    TRect r = Rect(0, 0, 300, 16);
    DrawText(canvas, std::to_string(i) + tail, r, DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  EXPECT_GT(qt::KeptRunBytes(), 1u << 20);
  EXPECT_LE(qt::KeptRunBytes(), 4u << 20);
}

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qt::TGuiSession session(argc, argv);
  SetGraphicsBackend(qt::CreateQtBackend());
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  SetGraphicsBackend(nullptr);
  return result;
}
