#include "platform/graphics/Brush.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Pen.h"

#include <gtest/gtest.h>

using namespace zv;

TEST(Font, SizeAndHeightFollowTheHostRule) {
  TFont f;
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);  // 10 * 96 / 72 = 13.33
  f.SetSize(12);
  EXPECT_EQ(f.Height(), -16);
  f.SetSize(9);
  EXPECT_EQ(f.Height(), -12);
  f.SetHeight(20);  // a positive height is the cell height: the size reads negative
  EXPECT_EQ(f.Size(), -15);
  f.SetPixelsPerInch(120);
  f.SetHeight(-20);
  EXPECT_EQ(f.Size(), 12);
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -17);  // 16.67 rounds away from zero
  EXPECT_EQ(MulDiv(-11, 72, 96), -8);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(Font, OnChangeOnlyOnRealChanges) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &f);
    ++changes;
  };
  f.SetName(f.Name());
  f.SetHeight(f.Height());
  f.SetSize(8);  // same height
  f.SetStyle({});
  f.SetColor(clWindowText);
  f.SetName("");  // ignored
  EXPECT_EQ(changes, 0);
  f.SetStyle({fsBold, fsItalic});
  f.SetColor(clRed);
  f.SetName("DejaVu Sans Mono");
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(f.Style().Contains(fsItalic));

  TFont other;
  other.SetSize(14);
  other.SetColor(clBlue);
  changes = 0;
  f.Assign(&other);  // several properties differ: one notification
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(f.Data(), other.Data());
  EXPECT_EQ(f.Color(), clBlue);
  f.Assign(&other);
  EXPECT_EQ(changes, 1);
  TPen pen;
  EXPECT_THROW(f.Assign(&pen), EConvertError);
}

TEST(Font, PublishedForForms) {
  const auto& props = GetPropList(TFont::StaticClass());
  std::vector<String> names;
  for (const TPropInfo* p : props) names.push_back(p->Name);
  EXPECT_EQ(names, (std::vector<String>{"Charset", "Color", "Height", "Name", "Orientation", "Pitch", "Size", "Style"}));
  TFont f;
  f.SetStyle({fsUnderline});
  EXPECT_EQ(GetSetProp(&f, "Style"), "[fsUnderline]");
  SetSetProp(&f, "Style", "[fsBold,fsStrikeOut]");
  EXPECT_EQ(f.Style(), (TFontStyles{fsBold, fsStrikeOut}));
  SetEnumProp(&f, "Pitch", "fpFixed");
  EXPECT_EQ(f.Pitch(), fpFixed);
  // Forms keep the height; the size is derived from it.
  EXPECT_FALSE(IsStoredProp(&f, GetPropInfo(&f, "Size")));
  EXPECT_TRUE(IsStoredProp(&f, GetPropInfo(&f, "Height")));
  EXPECT_EQ(GetPropInfo(&f, "Color")->Default, clWindowText);
}

TEST(PenAndBrush, HostSetterRules) {
  TBrush b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.SetStyle(bsClear);
  b.SetColor(clWhite);  // same colour, but a clear brush turns solid
  EXPECT_EQ(b.Style(), bsSolid);
  EXPECT_EQ(changes, 2);
  b.SetColor(clWhite);
  EXPECT_EQ(changes, 2);

  TPen p;
  EXPECT_EQ(p.Width(), 1);
  EXPECT_EQ(p.Mode(), pmCopy);
  p.SetWidth(-3);
  EXPECT_EQ(p.Width(), 1);
  p.SetWidth(0);
  EXPECT_EQ(p.Width(), 0);
  TPen q;
  q.SetMode(pmXor);
  q.SetStyle(psDot);
  p.Assign(&q);
  EXPECT_EQ(p.Data(), q.Data());
  EXPECT_EQ(GetEnumProp(&p, "Mode"), "pmXor");
  EXPECT_EQ(GetEnumProp(&b, "Style"), "bsSolid");
}
