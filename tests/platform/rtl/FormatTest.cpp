#include "platform/rtl/Format.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {


TEST(FormatTest, Integers) {
  EXPECT_EQ(Format("%d", {42}), "42");
  EXPECT_EQ(Format("%d", {-5}), "-5");
  EXPECT_EQ(Format("%.3d", {-5}), "-005");
  EXPECT_EQ(Format("%.3d", {12345}), "12345");
  EXPECT_EQ(Format("[%5d]", {42}), "[   42]");
  EXPECT_EQ(Format("[%-5d]", {42}), "[42   ]");
  EXPECT_EQ(Format("[%6.3d]", {7}), "[   007]");
  EXPECT_EQ(Format("%d", {INT64_MIN}), "-9223372036854775808");
  EXPECT_EQ(Format("%d", {UINT64_MAX}), "18446744073709551615");
  EXPECT_EQ(Format("%u", {-2}), "4294967294");
  EXPECT_EQ(Format("%u", {std::int64_t{-1}}), "18446744073709551615");
  EXPECT_EQ(Format("%u", {7u}), "7");
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%.4X", {255}), "00FF");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%x", {std::int64_t{-1}}), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%D", {3}), "3");
}

TEST(FormatTest, Floats) {
  EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
  EXPECT_EQ(Format("%.3e", {-1234.5}), "-1.23E+003");
  EXPECT_EQ(Format("%e", {0.0}), "0.00000000000000E+000");
  EXPECT_EQ(Format("%f", {1234.5678}), "1234.57");
  EXPECT_EQ(Format("%.0f", {2.5}), "3");
  EXPECT_EQ(Format("%.3f", {1.0005}), "1.000");  // 1.000499999999999989...
  EXPECT_EQ(Format("%.3f", {1.0015}), "1.002");
  EXPECT_EQ(Format("%.2f", {1.005}), "1.00");
  EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
  EXPECT_EQ(Format("%.0n", {4552.5}), "4,553");
  EXPECT_EQ(Format("%g", {1e20}), "1E20");
  EXPECT_EQ(Format("%g", {2.200}), "2.2");
  EXPECT_EQ(Format("%.2g", {123.456}), "1.2E2");
  EXPECT_EQ(Format("%g", {1.0L / 3}), "0.333333333333333");
  EXPECT_EQ(Format("%8.2f|", {3.14159}), "    3.14|");
  TFormatSettings fs;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(Format("%n", {1234.5}, fs), "1.234,50");
}

TEST(FormatTest, MoneyUsesTheCurrencySettings) {
  EXPECT_EQ(Format("%m", {1234.5}), "$1,234.50");
  EXPECT_EQ(Format("%m", {-1234.5}), "($1,234.50)");
  EXPECT_EQ(Format("%.0m", {2.5}), "$3");
  EXPECT_EQ(Format("%m", {MaxCurrency}), "$922,337,203,685,477.58");
  EXPECT_EQ(Format("%.4m", {MinCurrency}), "($922,337,203,685,477.5808)");
  EXPECT_EQ(Format("%f", {Currency::FromScaled(123456)}), "12.35");
  EXPECT_EQ(Format("%e", {Currency::FromScaled(123456)}), "1.23456000000000E+001");
  TFormatSettings fs;
  fs.CurrencyString = "€";
  fs.CurrencyFormat = 3;
  fs.NegCurrFormat = 8;
  fs.CurrencyDecimals = 3;
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(Format("%m", {1234.5}, fs), "1.234,500 €");
  EXPECT_EQ(Format("%m", {-1234.5}, fs), "-1.234,500 €");
  // Width counts characters: the euro sign is one.
  EXPECT_EQ(Format("[%12m]", {1.5}, fs), "[     1,500 €]");
}

TEST(FormatTest, Strings) {
  String s = "owned";
  std::string_view v = "view";
  EXPECT_EQ(Format("%s/%s/%s/%s", {"lit", s, v, 'c'}), "lit/owned/view/c");
  EXPECT_EQ(Format("%s", {WideString(u"\u00dcn\u00efcode")}), "\u00dcn\u00efcode");
  EXPECT_EQ(Format("%s", {String("temporary")}), "temporary");
  EXPECT_EQ(Format("[%.2s]", {"abcdef"}), "[ab]");
  EXPECT_EQ(Format("[%.10s]", {"abc"}), "[abc]");
  EXPECT_EQ(Format("[%.0s]", {"abc"}), "[]");
  EXPECT_EQ(Format("[%6s]", {"abc"}), "[   abc]");
  EXPECT_EQ(Format("[%-6s]", {"abc"}), "[abc   ]");
  EXPECT_EQ(Format("[%2s]", {"abcdef"}), "[abcdef]");
  EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
}

TEST(FormatTest, StringWidthAndPrecisionCountCharacters) {
  EXPECT_EQ(Format("[%.2s]", {"h\u00e9llo"}), "[h\u00e9]");
  EXPECT_EQ(Format("[%5s]", {"\u65e5\u672c"}), "[   \u65e5\u672c]");
  EXPECT_EQ(Format("[%-4s]", {"\u65e5\u672c"}), "[\u65e5\u672c  ]");
  EXPECT_EQ(Format("[%.1s]", {"\U0001F600x"}), "[\U0001F600]");
  EXPECT_EQ(Format("[%3.2s]", {"\u0416\u0416\u0416\u0416"}), "[ \u0416\u0416]");
  EXPECT_EQ(Format("[%.1s]", {WideString(u"\U0001F600\U0001F601")}), "[\U0001F600]");
}

TEST(FormatTest, IndexesStarsAndPercent) {
  EXPECT_EQ(Format("%1:s %0:s", {"a", "b"}), "b a");
  // An index moves the position for the specifiers that follow.
  EXPECT_EQ(Format("%d %d %d %0:d %d", {1, 2, 3, 4}), "1 2 3 1 2");
  EXPECT_EQ(Format("%*d|", {5, 42}), "   42|");
  EXPECT_EQ(Format("%-*.*f|", {8, 2, 3.14159}), "3.14    |");
  EXPECT_EQ(Format("%.*s", {2, "abcdef"}), "ab");
  EXPECT_EQ(Format("%*:s", {1, "x", "y"}), "x");
  EXPECT_EQ(Format("%2:-4d|", {0, 0, 9}), "9   |");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%%d", {}), "%d");
  EXPECT_EQ(Format("no specifiers", {1}), "no specifiers");
  EXPECT_EQ(Format("", {}), "");
}

TEST(FormatTest, Pointers) {
  int x = 0;
  String expected = Format("%.16x", {static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&x))});
  EXPECT_EQ(Format("%p", {&x}), expected.substr(expected.size() - sizeof(void*) * 2));
  EXPECT_EQ(Format("%p", {nullptr}), String(sizeof(void*) * 2, '0'));
}

TEST(FormatTest, WrongOrMissingArgumentsNameTheFormat) {
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%d", {1.5}); }),
            "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("x=%f", {1}); }),
            "Format 'x=%f' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%s", {5}); }),
            "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%d", {true}); }),
            "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%s", {false}); }),
            "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%p", {1}); }),
            "Format '%p' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%d", {}); }), "No argument for format '%d'");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%d %d", {1}); }), "No argument for format '%d %d'");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%5:d", {1}); }), "No argument for format '%5:d'");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%*d", {1}); }), "No argument for format '%*d'");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%k", {1}); }),
            "Format '%k' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("50%", {}); }),
            "Format '50%' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%5", {1}); }),
            "Format '%5' invalid or incompatible with argument");
  EXPECT_EQ(zvtest::MessageOf<EConvertError>([] { Format("%*d", {"x", 1}); }),
            "Format '%*d' invalid or incompatible with argument");
}

TEST(FormatTest, DatabaseErrorFmtRaisesTheFormattedMessage) {
  try {
    DatabaseErrorFmt("Field '%s' not found (%d)", {"Name", 3});
    FAIL() << "no exception";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field 'Name' not found (3)");
  }
}

}  // namespace
}  // namespace zv
