#pragma once
// Drag and drop and the clipboard on every backend: a drag from one control to another, with
// accept and drop; a drag refused; the clipboard's text (Unicode) and picture round trips.
//
// A test program joins with one instantiation over its driver:
//   INSTANTIATE_TEST_SUITE_P(Null, DragBehaviour, ::testing::Values(TDriverFactory{"null", MakeNullDriver}));

#include "HarnessTest.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/DragDrop.h"
#include "platform/graphics/Bitmap.h"

#include <gtest/gtest.h>

namespace zvtest {

class DragBehaviour : public TBehaviourTest {
};

TEST_P(DragBehaviour, ADragFromOneControlToAnotherIsAcceptedAndDropped) {
  TProbe* top = h->TopLevel(40, 30, 320, 160);
  TProbe* a = h->Child(top, "A", 10, 10, 100, 100);
  TProbe* b = h->Child(top, "B", 180, 10, 100, 100);
  h->Pump();
  std::vector<std::string> events;
  auto id = [](TObject* o) { return o ? static_cast<TProbe*>(o)->Id : std::string("null"); };
  a->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { a->BeginDrag(false); };
  a->OnClick = [&](TObject*) { events.push_back("A click"); };
  b->OnDragOver = [&](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = source == a && x < 50;
    if (state == dsDragEnter) events.push_back("B enter " + std::to_string(x) + " " + std::to_string(y));
  };
  b->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
    events.push_back("B drop " + id(source) + " " + std::to_string(x) + " " + std::to_string(y));
  };
  a->OnEndDrag = [&](TObject*, TObject* target, int x, int y) {
    events.push_back("A end " + id(target) + " " + std::to_string(x) + " " + std::to_string(y));
  };

  // A press and release in place is a click.
  h->MouseDown(a, 20, 20);
  h->MouseUp(a, 20, 20);
  EXPECT_EQ(events, std::vector<std::string>{"A click"});
  events.clear();

  // Presses far apart, so that none is a double click.
  h->MouseDown(a, 30, 50);
  h->MouseMove(a, 50, 50);
  EXPECT_TRUE(a->Dragging());
  h->MouseMove(b, 10, 15);
  h->MouseMove(b, 12, 16);
  h->MouseUp(b, 12, 16);
  EXPECT_EQ(events, (std::vector<std::string>{"B enter 10 15", "B drop A 12 16", "A end B 12 16"}));
  EXPECT_FALSE(a->Dragging());
  EXPECT_EQ(GetCapture(), HWND{});
  events.clear();

  // Refused where the target says no: the source hears of no target.
  h->MouseDown(a, 60, 80);
  h->MouseMove(b, 10, 15);
  h->MouseMove(b, 60, 15);
  h->MouseUp(b, 60, 15);
  EXPECT_EQ(events, (std::vector<std::string>{"B enter 10 15", "A end null 230 15"}));
}

TEST_P(DragBehaviour, TheClipboardRoundTripsUnicodeTextAndAPicture) {
  auto old = SetClipboard(std::make_unique<TClipboard>());
  const String text = "\xC3\xA9t\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9D\x84\x9E";
  Clipboard()->SetAsText(text);
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));

  TBitmap source;
  TPixelBuffer pixels(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) pixels.Set(x, y, 0xFF000000u | static_cast<TPixel>(x * 40) << 16 | static_cast<TPixel>(y * 60) << 8 | 0x33);
  source.SetPixels(pixels);
  Clipboard()->Open();
  Clipboard()->SetAsText(text);
  Clipboard()->Assign(&source);
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_EQ(Clipboard()->AsText(), text) << "text and picture together";
  TPicture picture;
  picture.Assign(Clipboard());
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Graphic()->ToPixels(), source.ToPixels());

  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  SetClipboard(std::move(old));
}

}  // namespace zvtest
