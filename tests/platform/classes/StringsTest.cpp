#include "platform/classes/Strings.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringUtils.h"

namespace zv {

// A component publishing a string list, as pick lists and memo lines are published.
class TLinesHolder : public TComponent {
  ZV_CLASS(TLinesHolder, TComponent)

public:
  using TComponent::TComponent;
  TStringList* Lines() const { return const_cast<TStringList*>(&fLines); }
  static void DeclareProperties(TPropTable<TLinesHolder>& t) { t.Prop("Lines", &TLinesHolder::Lines); }

private:
  TStringList fLines;
};
ZV_DEFINE_CLASS_WITH_PROPS(TLinesHolder, TComponent)

namespace {

using zvtest::MessageOf;

std::vector<String> Items(const TStrings& list) {
  std::vector<String> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

using V = std::vector<String>;

void Fill(TStrings& list, const V& items) {
  list.Clear();
  for (const auto& s : items) list.Add(s);
}

struct Tracked : TObject {
  explicit Tracked(int& destroyed) : destroyed(destroyed) {}
  ~Tracked() override { ++destroyed; }
  int& destroyed;
};

TEST(StringsTest, IndexAndSortedErrorsCarryTheHostMessages) {
  TStringList list;
  Fill(list, {"a", "b"});
  EXPECT_EQ(MessageOf<EListError>([&] { list.Strings(2); }), "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Objects(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(5); }), "List index out of bounds (5)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(3, "x"); }), "List index out of bounds (3)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Exchange(0, 2); }), "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 2); }), "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Names(9); }), "List index out of bounds (9)");
  list.Insert(2, "c");  // at Count: appends
  EXPECT_EQ(Items(list), (V{"a", "b", "c"}));

  list.SetSorted(true);
  EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(0, "x"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(MessageOf<EListError>([&] { list.SetStrings(0, "x"); }), "Operation not allowed on sorted list");
  EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 1); }), "Operation not allowed on sorted list");
  EXPECT_EQ(Items(list), (V{"a", "b", "c"}));
}

TEST(StringsTest, SortedListAppliesDuplicatesPolicy) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"pear", "Apple", "fig"});
  EXPECT_EQ(Items(list), (V{"Apple", "fig", "pear"}));

  EXPECT_EQ(list.Add("APPLE"), 0);  // dupIgnore: the index of the one already there
  EXPECT_EQ(list.Count(), 3);

  list.SetDuplicates(dupError);
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(MessageOf<EListError>([&] { list.Add("FIG"); }), "String list does not allow duplicates");
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(changes, 0);

  list.SetDuplicates(dupAccept);
  EXPECT_EQ(list.Add("FIG"), 1);  // before its equal
  EXPECT_EQ(Items(list), (V{"Apple", "FIG", "fig", "pear"}));

  int index = -1;
  EXPECT_TRUE(list.Find("Fig", index));
  EXPECT_EQ(index, 1);  // the first of the equal ones
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 3);  // where it would go
  EXPECT_EQ(list.IndexOf("PEAR"), 3);
  EXPECT_EQ(list.IndexOf("plum"), -1);

  list.SetDuplicates(dupIgnore);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("PEAR"), -1);
  EXPECT_GE(list.Add("APPLE"), 0);
  EXPECT_EQ(list.Count(), 5);  // no longer a duplicate
}

TEST(StringsTest, UnicodeCaseInsensitiveSortAndSearch) {
  TStringList list;
  Fill(list, {"яблоко", "Банан", "арбуз", "Ёж", "straße"});
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (V{"straße", "арбуз", "Банан", "Ёж", "яблоко"}));
  EXPECT_EQ(list.IndexOf("АРБУЗ"), 1);
  EXPECT_EQ(list.IndexOf("БАНАН"), 2);
  EXPECT_EQ(list.IndexOf("ёж"), 3);
  EXPECT_GE(list.IndexOf("STRASSE"), 0);  // full case folding
  EXPECT_EQ(list.Add("ЯБЛОКО"), 4);  // ignored as a duplicate
  EXPECT_EQ(list.Count(), 5);

  list.SetCaseSensitive(true);  // re-sorts, and "STRASSE" is now another string
  EXPECT_EQ(list.IndexOf("STRASSE"), -1);
  EXPECT_EQ(list.IndexOf("АРБУЗ"), -1);
  TStringList unsorted;
  Fill(unsorted, {"Straße=1"});
  EXPECT_EQ(unsorted.Values("STRASSE"), "1");
}

TEST(StringsTest, NamesAndValues) {
  TStringList list;
  Fill(list, {"Host=db.local", "Port=5432", "plain", "Expr=a=b"});
  EXPECT_EQ(list.Names(0), "Host");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.ValueFromIndex(-1), "");
  EXPECT_EQ(list.Values("EXPR"), "a=b");  // the first separator splits
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.IndexOfName("port"), 1);
  EXPECT_EQ(list.IndexOfName("plain"), -1);

  list.SetValues("port", "6543");  // in place, with the name as given
  EXPECT_EQ(list.Strings(1), "port=6543");
  list.SetValues("User", "admin");  // appended
  EXPECT_EQ(list.Strings(4), "User=admin");
  list.SetValues("Host", "");  // deletes
  list.SetValues("nothing", "");  // absent: no-op
  EXPECT_EQ(Items(list), (V{"port=6543", "plain", "Expr=a=b", "User=admin"}));
  list.SetValueFromIndex(0, "1");
  EXPECT_EQ(list.Strings(0), "port=1");
  list.SetValueFromIndex(0, "");
  EXPECT_EQ(list.Count(), 3);

  list.SetNameValueSeparator(':');
  Fill(list, {"a:1", "b=2"});
  EXPECT_EQ(list.Values("a"), "1");
  EXPECT_EQ(list.Values("b"), "");

  TStringList sorted;
  sorted.SetSorted(true);
  Fill(sorted, {"b=2", "c=3"});
  sorted.SetValues("a", "1");
  sorted.SetValues("c", "0");  // rewriting a sorted entry keeps the order
  EXPECT_EQ(Items(sorted), (V{"a=1", "b=2", "c=0"}));
}

TEST(StringsTest, CommaTextQuotesAndRoundTrips) {
  TStringList list;
  Fill(list, {"a", "b c", "d,e", "f\"g", "", "h\ti", "Ä"});
  const String text = list.CommaText();
  EXPECT_EQ(text, "a,\"b c\",\"d,e\",\"f\"\"g\",,\"h\ti\",Ä");
  TStringList back;
  back.SetCommaText(text);
  EXPECT_TRUE(back.Equals(list));

  for (const V& items : {V{}, V{""}, V{"", ""}, V{" "}, V{"x", ""}, V{"\"\""}}) {
    Fill(list, items);
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(back), items) << list.CommaText();
  }
  Fill(list, {""});
  EXPECT_EQ(list.CommaText(), "\"\"");
  Fill(list, {"", ""});
  EXPECT_EQ(list.CommaText(), ",");

  // Blanks separate unquoted items and are skipped around delimiters.
  back.SetCommaText("  a , b c,\"d \"\"e\"\"\" ,");
  EXPECT_EQ(Items(back), (V{"a", "b", "c", "d \"e\"", ""}));
  back.SetCommaText("a,,b");
  EXPECT_EQ(Items(back), (V{"a", "", "b"}));
  back.SetCommaText("\"open");  // unterminated quote: the rest of the text
  EXPECT_EQ(Items(back), (V{"open"}));
  back.SetCommaText("\"x\"y");
  EXPECT_EQ(Items(back), (V{"x", "y"}));
  back.SetCommaText("   ");
  EXPECT_EQ(back.Count(), 0);
}

TEST(StringsTest, DelimitedTextUsesItsOwnCharacters) {
  TStringList list;
  list.SetDelimiter(';');
  list.SetQuoteChar('\'');
  Fill(list, {"a b", "c;d", "it's", "e,f"});
  EXPECT_EQ(list.DelimitedText(), "'a b';'c;d';'it''s';e,f");
  TStringList back;
  back.SetDelimiter(';');
  back.SetQuoteChar('\'');
  back.SetDelimitedText(list.DelimitedText());
  EXPECT_TRUE(back.Equals(list));
  EXPECT_EQ(list.CommaText(), "\"a b\",c;d,it's,\"e,f\"");  // CommaText ignores both

  back.SetDelimitedText("x y;z");
  EXPECT_EQ(Items(back), (V{"x", "y", "z"}));
  back.SetStrictDelimiter(true);
  back.SetDelimitedText(" x y ;z;");
  EXPECT_EQ(Items(back), (V{" x y ", "z", ""}));
  EXPECT_EQ(back.DelimitedText(), " x y ;z;");  // blanks need no quotes when strict
  back.SetDelimitedText("'q;r';s");
  EXPECT_EQ(Items(back), (V{"q;r", "s"}));
}

TEST(StringsTest, TextSplitsAnyLineBreakAndJoinsWithLineBreak) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  EXPECT_EQ(Items(list), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("a\n\n");
  EXPECT_EQ(Items(list), (V{"a", ""}));
  list.SetText("\n\r");
  EXPECT_EQ(Items(list), (V{"", ""}));
  list.SetText("\r\r\n");
  EXPECT_EQ(Items(list), (V{"", ""}));
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
  list.SetText(String("x\0y", 3));  // NUL is data
  EXPECT_EQ(list.Strings(0).size(), 3u);

  list.SetLineBreak("\n");
  list.SetText("p\r\nq");
  EXPECT_EQ(list.Text(), "p\nq\n");
  list.SetLineBreak("||");
  list.SetText("p||q\nr||");
  EXPECT_EQ(Items(list), (V{"p", "q\nr"}));
}

TEST(StringsTest, UpdateBracketsFireOnce) {
  TStringList list;
  std::vector<String> log;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    log.push_back("changing:" + std::to_string(list.Count()));
  };
  list.OnChange = [&](TObject*) { log.push_back("change:" + std::to_string(list.Count())); };

  list.Add("a");
  EXPECT_EQ(log, (V{"changing:0", "change:1"}));
  log.clear();

  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.EndUpdate();
  list.Delete(0);
  EXPECT_EQ(log, (V{"changing:1"}));  // before the first change, not again
  list.EndUpdate();
  EXPECT_EQ(log, (V{"changing:1", "change:2"}));
  log.clear();

  list.BeginUpdate();
  list.IndexOf("b");
  list.EndUpdate();
  list.EndUpdate();  // unbalanced: ignored
  TStringList empty;
  empty.OnChange = list.OnChange;
  empty.Clear();
  EXPECT_TRUE(log.empty());

  list.SetText("x\ny\nz");
  list.SetCommaText("1,2");
  list.Sort();
  EXPECT_EQ(log, (V{"changing:2", "change:3", "changing:3", "change:2", "changing:2", "change:2"}));
}

TEST(StringsTest, ObjectsTravelWithStringsAndMayBeOwned) {
  int destroyed = 0;
  {
    TStringList list(true);
    list.AddObject("one", new Tracked(destroyed));
    list.AddObject("two", new Tracked(destroyed));
    list.AddObject("three", new Tracked(destroyed));
    TObject* third = list.Objects(2);
    list.Move(2, 0);
    EXPECT_EQ(list.Objects(0), third);
    EXPECT_EQ(list.IndexOfObject(third), 0);
    list.Exchange(0, 2);
    EXPECT_EQ(list.IndexOfObject(third), 2);
    EXPECT_EQ(destroyed, 0);
    list.Delete(0);
    EXPECT_EQ(destroyed, 1);
    list.SetObjects(0, new Tracked(destroyed));  // the replaced one goes
    EXPECT_EQ(destroyed, 2);
    list.SetObjects(0, list.Objects(0));  // the same one stays
    EXPECT_EQ(destroyed, 2);
    list.Clear();
    EXPECT_EQ(destroyed, 4);
    list.AddObject("four", new Tracked(destroyed));
  }
  EXPECT_EQ(destroyed, 5);

  destroyed = 0;
  Tracked kept(destroyed);
  {
    TStringList borrowed;
    borrowed.AddObject("k", &kept);
    borrowed.Delete(0);
    borrowed.AddObject("k", &kept);
  }
  EXPECT_EQ(destroyed, 0);
}

TEST(StringsTest, AssignAddStringsAndEquals) {
  TStringList source;
  TObject object;
  Fill(source, {"b", "a"});
  source.SetObjects(1, &object);
  source.SetNameValueSeparator(':');
  source.SetDelimiter(';');

  TStringList dest;
  Fill(dest, {"old"});
  dest.Assign(&source);
  EXPECT_TRUE(dest.Equals(source));
  EXPECT_EQ(dest.Objects(1), &object);
  EXPECT_EQ(dest.NameValueSeparator(), ':');
  EXPECT_EQ(dest.Delimiter(), ';');
  dest.Assign(&dest);
  EXPECT_EQ(Items(dest), (V{"b", "a"}));

  TStringList sorted;
  sorted.SetSorted(true);
  sorted.Assign(&source);  // the destination keeps its own order
  EXPECT_EQ(Items(sorted), (V{"a", "b"}));
  EXPECT_FALSE(sorted.Equals(source));

  TPersistent other;
  EXPECT_EQ(MessageOf<EConvertError>([&] { dest.Assign(&other); }), "Cannot assign a TPersistent to a TStringList");
  EXPECT_EQ(MessageOf<EConvertError>([&] { dest.Assign(nullptr); }), "Cannot assign a nil to a TStringList");

  dest.AddStrings(dest);
  EXPECT_EQ(Items(dest), (V{"b", "a", "b", "a"}));
  TStringList upper;
  Fill(upper, {"B", "A", "B", "A"});
  EXPECT_FALSE(upper.Equals(dest));  // Equals is case-sensitive
  EXPECT_EQ(upper.IndexOf("a"), 1);  // IndexOf is not
}

TEST(StringsTest, CustomSortSeesTheListAsItStands) {
  TStringList list;
  Fill(list, {"ccc", "a", "bb", "dddd", "", "ee"});
  list.CustomSort([](TStringList* l, int i, int j) {
    const auto a = l->Strings(i).size(), b = l->Strings(j).size();
    return a < b ? 1 : a > b ? -1 : CompareStr(l->Strings(i), l->Strings(j));
  });
  EXPECT_EQ(Items(list), (V{"dddd", "ccc", "bb", "ee", "a", ""}));
  list.SetSorted(true);
  EXPECT_EQ(Items(list), (V{"", "a", "bb", "ccc", "dddd", "ee"}));
  list.CustomSort([](TStringList*, int i, int j) { return j - i; });  // sorted: no effect
  EXPECT_EQ(list.Strings(0), "");
}

class StringsFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("zv-strings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(StringsFileTest, LoadAndSaveUtf8) {
  TStringList list;
  Fill(list, {"Grüße", "Привет", "", "end"});
  TMemoryStream stream;
  list.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), static_cast<std::int64_t>(list.Text().size()));

  TStringList back;
  back.LoadFromStream(stream);  // at the end: nothing left to read
  EXPECT_EQ(back.Count(), 0);
  stream.SetPosition(0);
  back.LoadFromStream(stream);
  EXPECT_TRUE(back.Equals(list));

  TStringStream withBom("\xEF\xBB\xBFone\ntwo");
  back.LoadFromStream(withBom);
  EXPECT_EQ(Items(back), (V{"one", "two"}));
  TStringStream partial("skip|a\nb");
  partial.SetPosition(5);
  back.LoadFromStream(partial);
  EXPECT_EQ(Items(back), (V{"a", "b"}));

  const String file = (dir / "list.txt").string();
  list.SaveToFile(file);
  back.LoadFromFile(file);
  EXPECT_TRUE(back.Equals(list));
  EXPECT_EQ(std::filesystem::file_size(file), list.Text().size());  // no BOM written

  const String missing = (dir / "missing.txt").string();
  EXPECT_EQ(MessageOf<EFOpenError>([&] { back.LoadFromFile(missing); }), "Cannot open file " + missing);
  EXPECT_TRUE(back.Equals(list));
}

TEST(StringsStreaming, PublishedListsWriteTheirLinesAndReadThemBackInPlace) {
  TLinesHolder holder(nullptr);
  holder.SetName("Holder");
  EXPECT_EQ(ComponentToText(&holder).find("Strings"), String::npos) << "an empty list writes nothing";
  holder.Lines()->Add("first");
  holder.Lines()->Add("sec\xC3\xB6nd 'quoted'");
  holder.Lines()->Add("");
  const String text = ComponentToText(&holder);
  EXPECT_NE(text.find("Lines.Strings = ("), String::npos) << text;

  TLinesHolder read(nullptr);
  read.Lines()->Add("stale");
  int changes = 0;
  read.Lines()->OnChange = [&](TObject*) { ++changes; };
  TextToComponent(text, &read);
  EXPECT_TRUE(read.Lines()->Equals(*holder.Lines())) << read.Lines()->Text();
  EXPECT_EQ(changes, 1) << "one change for the whole list";

  TLinesHolder fromBinary(nullptr);
  BinaryToComponent(ComponentToBinary(&holder), &fromBinary);
  EXPECT_TRUE(fromBinary.Lines()->Equals(*holder.Lines()));
}

}  // namespace
}  // namespace zv
