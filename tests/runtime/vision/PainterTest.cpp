// The painters on the recording headless canvas: where Init puts the image and the text, what
// DrawText, DrawImage and DrawFocusRect draw and with which flags, and the one edit painter.

#include "NullCanvasFixture.h"

#include "platform/graphics/ImageList.h"
#include "runtime/vision/Painter.h"

#include <gtest/gtest.h>

using namespace zv;

namespace {

class PainterTest : public zvtest::NullCanvasTest {
protected:
  PainterTest() : NullCanvasTest(140, 60) {}
  void SetUp() override {
    NullCanvasTest::SetUp();
    images = std::make_unique<TImageList>(nullptr);
    images->SetWidth(8);
    images->SetHeight(6);
    AddImage(*images, clBlue);
    AddImage(*images, clLime);
  }
  void TearDown() override {
    images.reset();
    NullCanvasTest::TearDown();
  }
  static void AddImage(TCustomImageList& list, TColor color) {
    TBitmap b;
    b.SetSize(list.Width(), list.Height());
    b.Canvas()->Brush()->SetColor(color);
    b.Canvas()->FillRect({0, 0, list.Width(), list.Height()});
    list.Add(&b, nullptr);
  }
  std::vector<TPaintOp> Top(TPaintOpKind kind) {
    std::vector<TPaintOp> out;
    for (const auto& op : Surface().TopLevelOps())
      if (op.Kind == kind) out.push_back(op);
    return out;
  }
  std::unique_ptr<TImageList> images;
};

// Stands in for a field list: the painter only keeps the pointer.
TgpFieldList* const someFields = reinterpret_cast<TgpFieldList*>(0x1000);

}  // namespace

TEST_F(PainterTest, InitPlacesTheImageAndLeavesTheRestToTheText) {
  const TRect client{10, 5, 110, 35};  // 100 x 30
  struct Case {
    const char* name;
    TfvPlacement p;
    TRect image;
    TRect text;
  };
  auto place = [](int w, int h, TLayout layout, TvpAlignImage align, bool text) {
    TfvPlacement p;
    p.ImageWidth = w;
    p.ImageHeight = h;
    p.Layout = layout;
    p.AlignImage = align;
    p.DrawText = text;
    return p;
  };
  const Case cases[] = {
      {"left top", place(16, 16, tlTop, aiDefault, true), {10, 5, 26, 21}, {28, 5, 110, 35}},
      {"aiLeft bottom", place(16, 16, tlBottom, aiLeft, true), {10, 19, 26, 35}, {28, 5, 110, 35}},
      {"right centre", place(16, 16, tlCenter, aiRight, true), {94, 12, 110, 28}, {10, 5, 92, 35}},
      {"odd spare rounds down", place(16, 15, tlCenter, aiDefault, true), {10, 12, 26, 27}, {28, 5, 110, 35}},
      {"no text: centred", place(16, 16, tlBottom, aiRight, false), {52, 19, 68, 35}, client},
      {"odd width centred", place(15, 16, tlTop, aiDefault, false), {52, 5, 67, 21}, client},
      // Taller than the cell: the spare height is negative and its half rounds towards zero.
      {"taller than the cell", place(16, 41, tlCenter, aiDefault, true), {10, 0, 26, 41}, {28, 5, 110, 35}},
      {"no image", place(0, 16, tlTop, aiRight, true), client, client},
  };
  for (const auto& c : cases) {
    TgpPainter painter;
    painter.ClientRect = client;
    painter.Init(someFields, c.p);
    EXPECT_EQ(painter.ImageRect, c.image) << c.name;
    EXPECT_EQ(painter.TextRect, c.text) << c.name;
    EXPECT_EQ(painter.Fields, someFields);
    EXPECT_FALSE(painter.WordWrap);
  }

  TfvPainter edit(false);
  TfvPlacement multi;
  multi.Images = images.get();
  multi.MultiLine = true;
  edit.Init(nullptr, multi);
  EXPECT_TRUE(edit.WordWrap);
  EXPECT_EQ(edit.Images, images.get());
  TfvPlacement single;
  edit.Init(nullptr, single);
  EXPECT_TRUE(edit.WordWrap) << "a wrap set before Init stays";
  EXPECT_EQ(edit.Images, nullptr);
}

TEST_F(PainterTest, DrawTextUsesTheTextRectTheLayoutAndTheFlags) {
  TgpPainter grid;
  grid.Canvas = canvas;
  grid.ClientRect = {0, 0, 120, 40};
  TfvPlacement p;
  p.Layout = tlBottom;
  p.ImageWidth = 8;
  p.ImageHeight = 6;
  grid.Init(nullptr, p);
  grid.EndEllipsis = true;

  struct Case {
    TvpDefLayout layout;
    unsigned vertical;
  } cases[] = {{tlaDefault, DT_BOTTOM}, {tlaTop, DT_TOP}, {tlaCenter, DT_VCENTER}, {tlaBottom, DT_BOTTOM}};
  for (const auto& c : cases) {
    Surface().ClearOps();
    grid.DrawText("Привет, 世界 🙂", taRightJustify, c.layout, 2, 3);
    const auto ops = Top(TPaintOpKind::DrawText);
    ASSERT_EQ(ops.size(), 1u) << c.layout;
    EXPECT_EQ(ops[0].Text, "Привет, 世界 🙂");
    EXPECT_EQ(ops[0].Rect, Rect(12, 0, 117, 40)) << "TextRect less the indents";
    EXPECT_EQ(ops[0].Flags, DT_NOPREFIX | DT_RIGHT | c.vertical | DT_SINGLELINE | DT_END_ELLIPSIS) << c.layout;
  }

  // An edit painter marks its text as edit text, unless the vision paints a custom surface.
  TfvPainter& edit = EditPainter();
  edit.Canvas = canvas;
  edit.ClientRect = {0, 0, 60, 20};
  edit.EndEllipsis = false;
  edit.WordWrap = false;
  TfvPlacement plain;
  plain.Layout = tlCenter;
  edit.Init(nullptr, plain);
  Surface().ClearOps();
  edit.DrawText("abc", taLeftJustify, tlaDefault, 0, 0);
  EXPECT_EQ(Top(TPaintOpKind::DrawText).at(0).Flags, DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE | DT_EDITCONTROL);
  TfvPlacement custom = plain;
  custom.CustomSurface = true;
  edit.Init(nullptr, custom);
  Surface().ClearOps();
  edit.DrawText("abc", taCenter, tlaDefault, 0, 0);
  EXPECT_EQ(Top(TPaintOpKind::DrawText).at(0).Flags, DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_SINGLELINE);

  // Wrapped text goes to DrawText once, its lines placed as a block.
  edit.Init(nullptr, plain);
  edit.WordWrap = true;
  Surface().ClearOps();
  edit.DrawText("aaa bbb ccc ddd", taLeftJustify, tlaTop, 0, 0);
  const auto wrapped = Top(TPaintOpKind::DrawText);
  ASSERT_EQ(wrapped.size(), 1u);
  EXPECT_TRUE(wrapped[0].Flags & DT_WORDBREAK);
  EXPECT_TRUE(wrapped[0].Flags & DT_PLACELINES);
  edit.WordWrap = false;
  edit.Canvas = nullptr;
}

TEST_F(PainterTest, DrawImageAtTheImageRectFromEitherList) {
  TgpPainter painter;
  painter.Canvas = canvas;
  painter.ClientRect = {20, 10, 120, 40};
  TfvPlacement p;
  p.Images = images.get();
  p.ImageWidth = 8;
  p.ImageHeight = 6;
  p.Layout = tlTop;
  painter.Init(nullptr, p);

  painter.DrawImage(-1);
  EXPECT_TRUE(Surface().Ops().empty());
  painter.DrawImage(1);
  auto ops = Top(TPaintOpKind::DrawImage);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect, Rect(20, 10, 28, 16));
  EXPECT_EQ(Px(20, 10), ColorToRGB(clLime));
  EXPECT_EQ(Px(28, 10), ColorToRGB(clWhite));

  // Another list given explicitly wins over the painter's.
  TImageList other(nullptr);
  other.SetWidth(4);
  other.SetHeight(4);
  AddImage(other, clRed);
  Surface().ClearOps();
  painter.DrawImage(0, &other);
  ops = Top(TPaintOpKind::DrawImage);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect, Rect(20, 10, 24, 14));
  EXPECT_EQ(Px(21, 11), ColorToRGB(clRed));

  // No list at all, or an index the list lacks: nothing.
  TgpPainter bare;
  bare.Canvas = canvas;
  Surface().ClearOps();
  bare.DrawImage(0);
  painter.DrawImage(5);
  EXPECT_TRUE(Surface().Ops().empty());
}

TEST_F(PainterTest, FocusRectUnlessSwitchedOff) {
  TgpPainter painter;
  painter.Canvas = canvas;
  painter.DrawFocusRect({2, 3, 40, 20});
  const auto ops = Surface().OpsOf(TPaintOpKind::DrawFocusRect);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect, Rect(2, 3, 40, 20));
  auto dotsOnTop = [&] {
    int n = 0;
    for (int x = 2; x < 40; ++x) n += Px(x, 3) != ColorToRGB(clWhite);
    return n;
  };
  EXPECT_GT(dotsOnTop(), 10);
  painter.DrawFocusRect({2, 3, 40, 20});
  EXPECT_EQ(dotsOnTop(), 0) << "drawn twice, the pixels come back";

  Surface().ClearOps();
  painter.NoFocusRect = true;
  painter.DrawFocusRect({2, 3, 40, 20});
  EXPECT_TRUE(Surface().Ops().empty());
}

// A number is measured once, by the layout it is drawn from: the check for the "#" marks asks
// nothing more of the device, and an unchanged repaint (the layout kept) measures nothing.
TEST(PainterNumbersTest, ANumberIsMeasuredOnlyByTheLayoutItIsDrawnFrom) {
  struct TCountingSurface : TNullSurface {
    using TNullSurface::TNullSurface;
    std::string_view Counted;
    int Measured = 0;
    int TextWidth(const TFontData& font, std::string_view text) override {
      if (text == Counted) ++Measured;
      return TNullSurface::TextWidth(font, text);
    }
  };
  struct Case {
    const char* text;
    int width;
    bool marks;
  } cases[] = {{"12345", 120, false}, {"1234567890123", 30, true}};
  for (const Case& c : cases) {
    TCountingSurface surface(140, 40);
    TCanvas canvas(&surface);
    surface.Counted = c.text;
    TgpPainter number;
    number.Canvas = &canvas;
    number.ClientRect = {0, 0, c.width, 20};
    TfvPlacement p;
    p.Number = true;
    number.Init(nullptr, p);
    number.EndEllipsis = true;
    for (int paint : {1, 2}) {
      surface.ClearOps();
      surface.Measured = 0;
      number.DrawText(c.text, taRightJustify, tlaDefault, 0, 0);
      EXPECT_EQ(surface.Measured, paint == 1 ? 1 : 0) << c.text << ", paint " << paint;
      std::string shown;
      for (const TPaintOp& run : surface.OpsOf(TPaintOpKind::TextOut)) shown += run.Text;
      EXPECT_EQ(shown, c.marks ? std::string(static_cast<std::size_t>(c.width / canvas.TextWidth("#")), '#') : c.text)
          << c.text;
    }
    number.Canvas = nullptr;
  }
}

TEST(PainterKindsTest, GridPaintersAndTheOneEditPainter) {
  TgpPainter grid;
  EXPECT_TRUE(grid.IsGrid);
  EXPECT_TRUE(grid.DefaultDrawing);
  EXPECT_EQ(grid.ImageIndex, -1);
  EXPECT_EQ(grid.OverlayIndex, -1);
  TgpCellAttrs cell;
  grid.SetGridCellAttrs(&cell);
  EXPECT_EQ(grid.CellAttrs, &cell);
  EXPECT_EQ(grid.GridCellAttrs(), &cell);

  EXPECT_EQ(&EditPainter(), &EditPainter());
  EXPECT_FALSE(EditPainter().IsGrid);
  EXPECT_EQ(&EditCellAttrs(), &EditCellAttrs());
  EXPECT_EQ(EditCellAttrs().Color, clNone);
}
