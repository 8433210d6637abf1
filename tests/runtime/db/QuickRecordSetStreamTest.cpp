// A quick record set stored with a form and read back: columns, kinds, cells (nulls included),
// the sort order, new bookmarks; corrupt forms leave every column in step.

#include "QuickRecordSetTestUtil.h"
#include "RecordSetHost.h"

#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/SqlTimeStamp.h"

#include <functional>

using namespace zvtest;

namespace {

struct TKindSample {
  TFieldType type;
  std::function<void(TvpUniValue&)> set;
};

// One column per streamable kind; record 0 holds a value, record 1 is null, record 2 another.
std::vector<TKindSample> KindSamples() {
  return {
      {ftString, [](TvpUniValue& v) { v.SetAsString("Gr\u00FC\u00DFe 'q' \U0001F600"); }},
      {ftFixedChar, [](TvpUniValue& v) { v.SetAsString("ABC"); }},
      {ftWideString, [](TvpUniValue& v) { v.SetAsWideString(u"\u03A9mega"); }},
      {ftSmallint, [](TvpUniValue& v) { v.SetAsInteger(-12); }},
      {ftInteger, [](TvpUniValue& v) { v.SetAsInteger(INT32_MIN); }},
      {ftLargeint, [](TvpUniValue& v) { v.SetAsLargeint(-(std::int64_t{1} << 62)); }},
      {ftFloat, [](TvpUniValue& v) { v.SetAsFloat(1.0 / 3.0); }},
      {ftCurrency, [](TvpUniValue& v) { v.SetAsFloat(12.5); }},
      {ftBoolean, [](TvpUniValue& v) { v.SetAsBoolean(false); }},
      {ftDate, [](TvpUniValue& v) { v.SetAsDateTime(EncodeDate(2024, 3, 5)); }},
      {ftDateTime, [](TvpUniValue& v) { v.SetAsDateTime(EncodeDateTime(2024, 3, 5, 13, 2, 3, 456)); }},
      {ftTimeStamp, [](TvpUniValue& v) { v.SetAsDateTime(EncodeDateTime(2024, 3, 5, 13, 2, 3, 0)); }},
      {ftBCD, [](TvpUniValue& v) { v.SetAsFloat(-7.1234); }},
      {ftFMTBcd, [](TvpUniValue& v) { v.SetAsString("12345678901234.1234"); }},
      {ftBytes, [](TvpUniValue& v) { v.SetAsString(std::string("\0\xFF" "a", 3)); }},
      {ftMemo, [](TvpUniValue& v) { v.SetAsString("line 1\r\nline 2"); }},
      {ftVariant, [](TvpUniValue& v) { v.SetAsVariant(Variant(42)); }},
  };
}

void Fill(TvpQuickRecordSet& rs) {
  const auto samples = KindSamples();
  for (const TKindSample& s : samples) rs.Fields()->Add(std::string("F") + FieldTypeName(s.type), s.type, 8);
  rs.Fields()->Items(0)->SetPrecision(3);
  rs.Fields()->Add("Key", ftInteger);
  for (int r = 0; r < 3; ++r) rs.AddRecord();
  for (std::size_t c = 0; c < samples.size(); ++c) {
    TvpQRSField* column = rs.Fields()->Items(static_cast<int>(c));
    samples[c].set(*column->Cells(0));
    samples[c].set(*column->Cells(2));
  }
  for (int r = 0; r < 3; ++r) rs.FieldByName("Key")->Cells(r)->SetAsInteger(10 - r);
}

void ExpectSameContent(const TvpQuickRecordSet& a, const TvpQuickRecordSet& b) {
  ASSERT_EQ(a.Fields()->Count(), b.Fields()->Count());
  ASSERT_EQ(a.RecordCount(), b.RecordCount());
  for (int c = 0; c < a.Fields()->Count(); ++c) {
    const TvpQRSField* x = a.Fields()->Items(c);
    const TvpQRSField* y = b.Fields()->Items(c);
    SCOPED_TRACE(x->FieldName());
    EXPECT_EQ(x->FieldName(), y->FieldName());
    EXPECT_EQ(x->DataType(), y->DataType());
    EXPECT_EQ(x->Size(), y->Size());
    EXPECT_EQ(x->Precision(), y->Precision());
    for (int pos = 0; pos < a.RecordCount(); ++pos) {
      const TvpUniValue* u = x->GetRowData(pos);
      const TvpUniValue* v = y->GetRowData(pos);
      EXPECT_EQ(u->IsNull(), v->IsNull()) << pos;
      EXPECT_EQ(v->DataType(), y->DataType());
      EXPECT_EQ(u->AsString(), v->AsString()) << pos;
      EXPECT_EQ(u->Data().size(), v->Data().size()) << pos;
    }
  }
}

}  // namespace

TEST(QuickRecordSetStreaming, BinaryAndTextFormsRoundTripEveryKindNullsAndTheOrder) {
  TRecordSetHost host(nullptr);
  Fill(*host.RecordSet());
  host.RecordSet()->SetSortString("Key");
  std::set<std::string> bookmarks;
  for (int pos = 0; pos < 3; ++pos) bookmarks.insert(host.RecordSet()->BookmarkOf(pos));

  TRecordSetHost fromBinary(nullptr);
  BinaryToComponent(ComponentToBinary(&host), &fromBinary);
  const String text = ComponentToText(&host);
  TRecordSetHost fromText(nullptr);
  fromText.RecordSet()->Fields()->Add("Stale", ftString);
  fromText.RecordSet()->AddRecord();
  TextToComponent(text, &fromText);

  for (TRecordSetHost* back : {&fromBinary, &fromText}) {
    TvpQuickRecordSet& rs = *back->RecordSet();
    EXPECT_EQ(rs.SortString(), "Key");
    EXPECT_EQ(ColumnTexts(rs, "Key"), (std::vector<std::string>{"8", "9", "10"}));
    ExpectSameContent(*host.RecordSet(), rs);
    ExpectInStep(rs);
  }
  TextToComponent(text, &host);  // read again, the records have new bookmarks
  ExpectInStep(*host.RecordSet());
  for (int pos = 0; pos < 3; ++pos) EXPECT_FALSE(bookmarks.count(host.RecordSet()->BookmarkOf(pos)));
  EXPECT_NE(text.find("RecordSet.SortString = 'Key'"), String::npos);
  EXPECT_EQ(text.find("Stale"), String::npos);
}

TEST(QuickRecordSetStreaming, AnEmptySetAndEmptyColumnsWriteNoData) {
  TRecordSetHost host(nullptr);
  host.RecordSet()->Fields()->Add("A", ftInteger);
  const String text = ComponentToText(&host);
  EXPECT_EQ(text.find("Data ="), String::npos);
  TRecordSetHost back(nullptr);
  TextToComponent(text, &back);
  EXPECT_EQ(back.RecordSet()->Fields()->Count(), 1);
  EXPECT_EQ(back.RecordSet()->RecordCount(), 0);
}

TEST(QuickRecordSetStreaming, AnUntypedColumnsCellsReadBackAsTheirValues) {
  TRecordSetHost host(nullptr);
  host.RecordSet()->Fields()->Add("U", ftUnknown);
  AddRows(*host.RecordSet(), {{nullptr}, {nullptr}, {nullptr}});
  host.RecordSet()->GetData("U", 0)->SetAsInteger(12);
  host.RecordSet()->GetData("U", 2)->SetAsString("xé");
  TRecordSetHost back(nullptr);
  TextToComponent(ComponentToText(&host), &back);
  EXPECT_EQ(ColumnTexts(*back.RecordSet(), "U"), (std::vector<std::string>{"12", NullText, "xé"}));
}

TEST(QuickRecordSetStreaming, AVariantTheStreamCannotEncodeReadsBackNull) {
  TRecordSetHost host(nullptr);
  host.RecordSet()->Fields()->Add("V", ftVariant);
  host.RecordSet()->AddRecord();
  host.RecordSet()->AddRecord();
  host.RecordSet()->GetData("V", 0)->SetAsVariant(VarArrayOf({1, 2}));
  host.RecordSet()->GetData("V", 1)->SetAsVariant(Variant("x"));
  TRecordSetHost back(nullptr);
  BinaryToComponent(ComponentToBinary(&host), &back);
  ASSERT_EQ(back.RecordSet()->RecordCount(), 2);
  EXPECT_TRUE(back.RecordSet()->GetData("V", 0)->IsNull());
  EXPECT_EQ(back.RecordSet()->GetData("V", 1)->AsString(), "x");
}

TEST(QuickRecordSetStreaming, ACorruptFormRaisesAReadErrorAndLeavesColumnsInStep) {
  TRecordSetHost host(nullptr);
  TvpQuickRecordSet& rs = *host.RecordSet();
  rs.Fields()->Add("A", ftInteger);
  rs.Fields()->Add("B", ftString);
  AddRows(rs, {{"1", "x"}, {"2", "y"}, {"3", "z"}});
  const String good = ComponentToText(&host);
  auto replaced = [&](const std::string& from, const std::string& to) {
    String text = good;
    const auto at = text.find(from);
    EXPECT_NE(at, String::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const std::vector<std::pair<const char*, String>> corrupt = {
      {"fewer cells in the second column", replaced("'y'", "")},
      {"more cells in the second column", replaced("'y'", "'y' 'w'")},
      {"an entry that does not convert", replaced("  2\n", "  'two'\n")},
  };
  for (const auto& [name, text] : corrupt) {
    SCOPED_TRACE(name);
    TRecordSetHost back(nullptr);
    EXPECT_THROW(TextToComponent(text, &back), EReadError);
    ExpectInStep(*back.RecordSet());
  }
}
