#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace zv;

TEST(Colors, HostValues) {
  EXPECT_EQ(clRed, 0x0000FF);
  EXPECT_EQ(clBlue, 0xFF0000);
  EXPECT_EQ(clNavy, 0x800000);
  EXPECT_EQ(clNone, 0x1FFFFFFF);
  EXPECT_EQ(clDefault, 0x20000000);
  EXPECT_EQ(static_cast<std::uint32_t>(clScrollBar), 0x80000000u);
  EXPECT_EQ(static_cast<std::uint32_t>(clBtnFace), 0x8000000Fu);
  EXPECT_EQ(static_cast<std::uint32_t>(clWindowText), 0x80000008u);
  EXPECT_EQ(static_cast<std::uint32_t>(clInfoBk), 0x80000018u);
  EXPECT_EQ(static_cast<std::uint32_t>(cl3DDkShadow), 0x80000015u);
  EXPECT_EQ(RGB(1, 2, 3), 0x030201);
  EXPECT_EQ(GetRValue(RGB(10, 20, 30)), 10);
  EXPECT_EQ(GetGValue(RGB(10, 20, 30)), 20);
  EXPECT_EQ(GetBValue(RGB(10, 20, 30)), 30);
}

namespace {
class TDarkBackend : public TNullBackend {
public:
  TColor SysColor(int index) const override { return index == COLOR_WINDOW ? RGB(30, 30, 30) : TNullBackend::SysColor(index); }
};
}  // namespace

TEST(Colors, SystemColoursResolveThroughTheBackend) {
  auto previous = SetGraphicsBackend(nullptr);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), RGB(255, 255, 255));
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(10, 36, 106));
  EXPECT_EQ(ColorToRGB(clRed), clRed);
  // Not system colours: returned as they are.
  EXPECT_EQ(ColorToRGB(clNone), clNone);
  EXPECT_EQ(ColorToRGB(clDefault), clDefault);
  // Any negative value names an index by its low byte (the host's later 0xFF000000 form too).
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0xFF00000Fu)), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(SysColor(200)), clBlack);

  SetGraphicsBackend(std::make_unique<TDarkBackend>());
  EXPECT_EQ(ColorToRGB(clWindow), RGB(30, 30, 30));
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  SetGraphicsBackend(std::move(previous));
}

TEST(Colors, NamesAndText) {
  EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorToString(clRed), "clRed");
  EXPECT_EQ(ColorToString(RGB(0x12, 0x34, 0x56)), "$00563412");
  EXPECT_EQ(StringToColor("clbtnface"), clBtnFace);
  EXPECT_EQ(StringToColor("$00563412"), RGB(0x12, 0x34, 0x56));
  EXPECT_EQ(StringToColor("255"), clRed);
  for (TColor c : {clBlack, clWindowText, clNone, clDefault, cl3DLight, RGB(1, 2, 3), SysColor(25)})
    EXPECT_EQ(StringToColor(ColorToString(c)), c) << ColorToString(c);
  EXPECT_THROW(StringToColor("clPink"), EConvertError);
  EXPECT_THROW(StringToColor(""), EConvertError);
}

TEST(Colors, GetColorValuesListsEveryNameOnceInTheTablesOrder) {
  std::vector<String> names;
  GetColorValues([&](const String& name) { names.push_back(name); });
  ASSERT_EQ(names.size(), 52u);
  EXPECT_EQ(names.front(), "clBlack");
  EXPECT_EQ(names[15], "clWhite") << "the sixteen standard colours first";
  EXPECT_EQ(names.back(), "clWindowText");
  std::set<String> seen;
  for (const String& name : names) {
    TColor c;
    ASSERT_TRUE(IdentToColor(name, c)) << name;
    EXPECT_EQ(ColorToString(c), name) << "each name reads back to itself";
    EXPECT_TRUE(seen.insert(name).second) << name;
  }
  GetColorValues(nullptr);
}
