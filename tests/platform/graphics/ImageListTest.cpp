#include "NullCanvasFixture.h"

#include "platform/graphics/ImageList.h"

using namespace zvtest;

using ImageListTest = NullCanvasTest;

namespace {
// w x h of colour, with a magenta pixel in the top-left corner of every 2-pixel column pair.
std::unique_ptr<TBitmap> Strip(int w, int h, TColor color) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(Rect(0, 0, w, h));
  for (int x = 0; x < w; x += 2) b->Canvas()->SetPixels(x, 0, clFuchsia);
  return b;
}
}  // namespace

TEST_F(ImageListTest, AddSplitsAndMasks) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  list.SetWidth(2);
  list.SetHeight(2);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  auto strip = Strip(6, 2, clGreen);
  EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
  EXPECT_EQ(list.Count(), 3);  // 6 pixels wide: three 2-pixel images
  EXPECT_EQ(changes, 1);
  list.Draw(canvas, 10, 10, 1);
  EXPECT_EQ(Px(10, 10), clWhite);  // masked
  EXPECT_EQ(Px(11, 10), clGreen);
  EXPECT_EQ(Px(10, 11), clGreen);

  // A monochrome mask: white is transparent.
  TBitmap mask;
  mask.SetSize(2, 2);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 2, 2));
  mask.Canvas()->SetPixels(1, 1, clWhite);
  auto blue = Strip(2, 2, clBlue);
  EXPECT_EQ(list.Add(blue.get(), &mask), 3);
  list.Draw(canvas, 20, 10, 3);
  EXPECT_EQ(Px(20, 10), clFuchsia);
  EXPECT_EQ(Px(21, 11), clWhite);
  // Unmasked lists draw every pixel.
  list.SetMasked(false);
  list.Draw(canvas, 30, 10, 3);
  EXPECT_EQ(Px(31, 11), clBlue);
}

TEST_F(ImageListTest, DisabledIndexesAndSizeChanges) {
  TImageList list(nullptr);
  list.SetWidth(3);
  list.SetHeight(3);
  TBitmap solid;
  solid.SetSize(3, 3);
  solid.Canvas()->Brush()->SetColor(clRed);
  solid.Canvas()->FillRect(Rect(0, 0, 3, 3));
  solid.Canvas()->SetPixels(2, 2, clFuchsia);
  list.AddMasked(&solid, clFuchsia);
  // Disabled: the shape in shadow over a highlight shifted down-right.
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(Rect(0, 0, 10, 10));
  list.Draw(canvas, 0, 0, 0, false);
  EXPECT_EQ(Px(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(3, 3), ColorToRGB(clBtnFace));
  EXPECT_EQ(Px(3, 1), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Px(2, 2), ColorToRGB(clBtnHighlight));  // transparent in the image, lit from below
  list.Draw(canvas, 0, 0, 5);  // a bad index draws nothing
  try {
    list.Delete(1);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "Invalid ImageList Index");
  }
  TBitmap copy;
  EXPECT_TRUE(list.GetBitmap(0, &copy));
  EXPECT_EQ(copy.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(copy.Canvas()->Pixels(2, 2), ColorToRGB(clBtnFace));
  EXPECT_FALSE(list.GetBitmap(1, &copy));
  list.SetHeight(4);  // a new size empties the list
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(GetOrdProp(&list, GetPropInfo(&list, "Width")), 3);
}

TEST_F(ImageListTest, ChangeLinksLetAnyNumberOfListenersFollowOneList) {
  auto list = std::make_unique<TImageList>(nullptr);
  std::vector<std::string> heard;
  TChangeLink a, b;
  auto c = std::make_unique<TChangeLink>();
  a.OnChange = [&](TObject* sender) { heard.push_back(sender == list.get() ? "a" : "a?"); };
  b.OnChange = [&](TObject*) { heard.push_back("b"); };
  c->OnChange = [&](TObject*) { heard.push_back("c"); };
  list->OnChange = [&](TObject*) { heard.push_back("list"); };
  list->RegisterChanges(&a);
  list->RegisterChanges(&b);
  list->RegisterChanges(&a);  // once is enough
  list->RegisterChanges(c.get());
  EXPECT_EQ(a.Sender(), list.get());

  list->SetBkColor(clRed);
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "b", "c", "list"}));

  // A link freed first leaves the list; an unregistered one hears nothing.
  c.reset();
  list->UnRegisterChanges(&b);
  EXPECT_EQ(b.Sender(), nullptr);
  heard.clear();
  list->BeginUpdate();
  list->SetMasked(false);
  list->SetBkColor(clBlue);
  EXPECT_TRUE(heard.empty()) << "changes inside an update are told at its end";
  list->EndUpdate();
  EXPECT_EQ(heard, (std::vector<std::string>{"a", "list"}));

  // A listener may leave while being told.
  b.OnChange = [&](TObject*) { list->UnRegisterChanges(&a); heard.push_back("b"); };
  list->UnRegisterChanges(&a);
  list->RegisterChanges(&b);
  list->RegisterChanges(&a);  // now after b
  heard.clear();
  list->SetBkColor(clGreen);
  EXPECT_EQ(heard, (std::vector<std::string>{"b", "list"}));

  // A list freed while links are registered clears them; freeing the links later is safe.
  list->RegisterChanges(&a);
  list.reset();
  EXPECT_EQ(a.Sender(), nullptr);
  EXPECT_EQ(b.Sender(), nullptr);
}
