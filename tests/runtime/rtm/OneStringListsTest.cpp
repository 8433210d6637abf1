// Lists held in one string: splitting, the add rules, case-insensitive search and the index
// rules, including empty lists and separators at the ends.

#include "runtime/rtm/OneStringLists.h"

#include <gtest/gtest.h>

using namespace zv;

TEST(OneStringLists, CountsAndReadsIncludingEmptyItems) {
  EXPECT_EQ(lioCount(""), 1);
  EXPECT_EQ(lioCount2(""), 0);
  EXPECT_EQ(lioCount(";a;"), 3);
  EXPECT_EQ(lioCount2("a"), 1);
  EXPECT_EQ(lioRead(";a;", 0), "");
  EXPECT_EQ(lioRead(";a;", 2), "");
  EXPECT_EQ(lioRead("x; y ;z", 1), " y ");  // no trimming
  EXPECT_THROW(lioRead("a;b", 2), EListError);
  EXPECT_THROW(lioRead("a;b", -1), EListError);
  EXPECT_EQ(lioWrite("a;b;c", 1, "B"), "a;B;c");
  EXPECT_EQ(lioCreateStrings("a;;b")->Count(), 3);
  EXPECT_EQ(lioEmptyStr(3), ";;;");
  EXPECT_EQ(lioEmptyStr(0), "");
  EXPECT_EQ(lioChangeSep("a;b;c", ','), "a,b,c");
  EXPECT_EQ(lioRead("a|b", 1, '|'), "b");
}

TEST(OneStringLists, AddRulesSkipEmptyAndPresentItems) {
  EXPECT_EQ(lioAdd("", "a"), "a");
  EXPECT_EQ(lioAdd("a;b", "B"), "a;b");
  EXPECT_EQ(lioAdd("a;b", ""), "a;b");
  EXPECT_EQ(lioAdd("a;b", "c"), "a;b;c");
  EXPECT_EQ(lioAdd2("a", ""), "a;");
  EXPECT_EQ(lioAdd2("a;b", "A"), "a;b");
  EXPECT_EQ(lioAdd3("a;b", "a"), "a;b;a");
  EXPECT_EQ(lioAdd3("", "x"), "x");
}

TEST(OneStringLists, SearchIgnoresCaseInAnyScript) {
  EXPECT_EQ(lioIndexOf("p;q", "Q"), 1);
  EXPECT_EQ(lioIndexOf("p;q", "r"), -1);
  EXPECT_EQ(lioIndexOf("", "a"), -1);
  EXPECT_EQ(lioIndexOf("Имя;Дата", "дата"), 1);
  EXPECT_EQ(lioIndexOf("Strasse;Größe", "STRASSE"), 0);
  EXPECT_EQ(lioIndexOf("STRASSE;x", "straße"), 0);
  EXPECT_EQ(lioIndexOf("a;;b", ""), 1);  // the empty item is an item
  EXPECT_EQ(lioIndexOf("x;a;b", "a;b"), 1);  // the text search finds spans as written
  EXPECT_FALSE(lioHasItem("a;b", ""));
  EXPECT_FALSE(lioHasItem("", "a"));
  EXPECT_TRUE(lioHasItem("a;b", "B"));
  EXPECT_TRUE(lioHasItems("a;b;c", "C;a"));
  EXPECT_FALSE(lioHasItems("a;b;c", "a;d"));
  EXPECT_FALSE(lioHasItems("a;b", ""));
  EXPECT_EQ(lioPlaceCount("a;A;b;a", "a"), 3);
}

TEST(OneStringLists, EditingKeepsTheOtherItems) {
  EXPECT_EQ(lioMove("a;b;c;d", 0, 2), "b;c;a;d");
  EXPECT_EQ(lioMove("a;b;c;d", 3, 0), "d;a;b;c");
  EXPECT_THROW(lioMove("a;b", 0, 2), EListError);
  EXPECT_EQ(lioDelete("a;b;c", 1), "a;c");
  EXPECT_EQ(lioDelete("a", 0), "");
  EXPECT_EQ(lioRemove("a;b;a", "A"), "b;a");
  EXPECT_EQ(lioRemove("a;b", "z"), "a;b");
  EXPECT_EQ(lioRemoveItems("a;b;c;B;d", "b;d"), "a;c");
  EXPECT_EQ(lioReplace("x;y;X", "x", "z"), "z;y;z");
  EXPECT_EQ(lioUpdateItems("a;b", "[", "]"), "[a];[b]");
  EXPECT_EQ(lioUpdateItems("", "<", ">"), "<>");
}
