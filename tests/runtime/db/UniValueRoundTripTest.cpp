// Every kind of universal value goes out and comes back unchanged: through a second value, a
// host field of a real dataset, a host parameter, and a component's binary and text forms.

#include "UniValueTestUtil.h"

#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/db/Params.h"
#include "platform/rtl/FormatSettings.h"

#include <functional>

namespace zvtest {

// A component that publishes one value, as the library's components do.
class TUniValueHost : public TComponent {
  ZV_CLASS(TUniValueHost, TComponent)

public:
  explicit TUniValueHost(TComponent* owner) : TComponent(owner), fValue(std::make_unique<TvpUniValue>()) {
    SetName("Host");
  }
  TvpUniValue* Value() const { return fValue.get(); }
  static void DeclareProperties(TPropTable<TUniValueHost>& t) { t.Prop("Value", &TUniValueHost::Value); }

private:
  std::unique_ptr<TvpUniValue> fValue;
};

ZV_DEFINE_CLASS_WITH_PROPS(TUniValueHost, TComponent)

}  // namespace zvtest

using namespace zvtest;

namespace {

struct Sample {
  const char* name;
  TFieldType type;
  std::function<void(TvpUniValue&)> set;
  std::function<void(const TvpUniValue&)> check;
  int fieldSize = 0;  // < 0: no host field or parameter carries this kind
};

std::vector<std::uint8_t> OddBytes() { return {0, 255, 'a', 0, 128, 10, 0xC3}; }  // not UTF-8

std::vector<Sample> Samples() {
  const TDateTime day = EncodeDate(2024, 3, 5);
  const TDateTime time = EncodeTime(13, 2, 3, 456);
  const TDateTime both = EncodeDateTime(2024, 3, 5, 13, 2, 3, 456);
  const String text = "Gr\u00FC\u00DFe, 'world' \U0001F600";
  const WideString wide = u"\u03A9mega\U0001F600";
  const String bigDecimal = "12345678901234567.123456";
  const String memo = "line 1\r\nline 2\t\u00E9";
  auto bytesOf = [](std::vector<std::uint8_t> b) { return String(b.begin(), b.end()); };
  return {
      {"Text", ftString, [=](TvpUniValue& v) { v.SetAsString(text); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsString(), text); }, 60},
      {"FixedChar", ftFixedChar, [](TvpUniValue& v) { v.SetAsString("ABC"); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsString(), "ABC"); }, 3},
      {"Wide", ftWideString, [=](TvpUniValue& v) { v.SetAsWideString(wide); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsWideString(), wide); }, 20},
      {"Smallint", ftSmallint, [](TvpUniValue& v) { v.SetAsInteger(-12); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsInteger(), -12); }},
      {"Integer", ftInteger, [](TvpUniValue& v) { v.SetAsInteger(INT32_MIN); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsInteger(), INT32_MIN); }},
      {"Word", ftWord, [](TvpUniValue& v) { v.SetAsInteger(65535); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsInteger(), 65535); }},
      {"Largeint", ftLargeint, [](TvpUniValue& v) { v.SetAsLargeint(-(std::int64_t{1} << 62) - 5); },
       [](const TvpUniValue& v) { EXPECT_EQ(v.AsLargeint(), -(std::int64_t{1} << 62) - 5); }},
      {"Float", ftFloat, [](TvpUniValue& v) { v.SetAsFloat(1.0 / 3.0); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsFloat(), 1.0 / 3.0); }},
      {"TinyFloat", ftFloat, [](TvpUniValue& v) { v.SetAsFloat(-1.5e-300); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsFloat(), -1.5e-300); }},
      {"CurrencyFloat", ftCurrency, [](TvpUniValue& v) { v.SetAsFloat(12.5); }, [](const TvpUniValue& v) { EXPECT_EQ(v.AsFloat(), 12.5); }},
      {"True", ftBoolean, [](TvpUniValue& v) { v.SetAsBoolean(true); }, [](const TvpUniValue& v) { EXPECT_TRUE(v.AsBoolean()); }},
      {"False", ftBoolean, [](TvpUniValue& v) { v.SetAsBoolean(false); },
       [](const TvpUniValue& v) { EXPECT_FALSE(v.IsNull()); EXPECT_FALSE(v.AsBoolean()); }},
      {"Date", ftDate, [=](TvpUniValue& v) { v.SetAsDateTime(day); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsDateTime().Value, day.Value); }},
      {"Time", ftTime, [=](TvpUniValue& v) { v.SetAsDateTime(time); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsDateTime().Value, time.Value); }},
      {"DateTime", ftDateTime, [=](TvpUniValue& v) { v.SetAsDateTime(both); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsDateTime().Value, both.Value); }},
      {"TimeStamp", ftTimeStamp, [=](TvpUniValue& v) { v.SetAsSQLTimeStamp(DateTimeToSQLTimeStamp(both)); },
       [=](const TvpUniValue& v) { EXPECT_EQ(v.AsSQLTimeStamp(), DateTimeToSQLTimeStamp(both)); }},
      {"Bytes", ftBytes, [](TvpUniValue& v) { v.SetAsByteArray(ByteArray({0, 255, 128, 1})); },
       [](const TvpUniValue& v) { EXPECT_EQ(BytesOf(v), (std::vector<std::uint8_t>{0, 255, 128, 1})); }, 4},
      {"VarBytes", ftVarBytes, [](TvpUniValue& v) { v.SetAsByteArray(ByteArray(OddBytes())); },
       [](const TvpUniValue& v) { EXPECT_EQ(BytesOf(v), OddBytes()); }, 16},
      {"BCD", ftBCD, [](TvpUniValue& v) { v.SetAsCurrency(Currency::FromScaled(12345678)); },
       [](const TvpUniValue& v) { EXPECT_EQ(v.AsCurrency().Value, 12345678); }, 4},
      {"BCDMin", ftBCD, [](TvpUniValue& v) { v.SetAsCurrency(MinCurrency); },
       [](const TvpUniValue& v) { EXPECT_EQ(v.AsCurrency(), MinCurrency); }, 4},
      {"FMTBcd", ftFMTBcd, [=](TvpUniValue& v) { v.SetAsBCD(StrToBcd(bigDecimal)); },
       [=](const TvpUniValue& v) { EXPECT_EQ(BcdToStr(v.AsBCD()), bigDecimal); }, 8},
      {"FMTBcdSmall", ftFMTBcd, [](TvpUniValue& v) { v.SetAsBCD(StrToBcd("-1.25")); },
       [](const TvpUniValue& v) { EXPECT_EQ(BcdToStr(v.AsBCD()), "-1.25"); }, 8},
      {"Blob", ftBlob, [=](TvpUniValue& v) { v.SetAsString(bytesOf(OddBytes())); }, [](const TvpUniValue& v) { EXPECT_EQ(BytesOf(v), OddBytes()); }},
      {"Memo", ftMemo, [=](TvpUniValue& v) { v.SetAsString(memo); }, [=](const TvpUniValue& v) { EXPECT_EQ(v.AsString(), memo); }},
      {"Graphic", ftGraphic, [=](TvpUniValue& v) { v.SetAsString(bytesOf({'B', 'M', 0, 0, 255})); },
       [](const TvpUniValue& v) { EXPECT_EQ(BytesOf(v), (std::vector<std::uint8_t>{'B', 'M', 0, 0, 255})); }},
      {"VariantInt", ftVariant, [](TvpUniValue& v) { v.SetAsVariant(Variant(42)); },
       [](const TvpUniValue& v) { EXPECT_EQ(v.AsVariant().VarType(), varInteger); EXPECT_EQ(v.AsInteger(), 42); }},
      {"VariantText", ftVariant, [](TvpUniValue& v) { v.SetAsVariant(Variant(String("abc"))); },
       [](const TvpUniValue& v) { EXPECT_EQ(v.AsVariant().VarType(), varString); EXPECT_EQ(v.AsString(), "abc"); }},
      {"Guid", ftGuid, [](TvpUniValue& v) { v.SetDataType(ftGuid); v.SetData(OddBytes()); },
       [](const TvpUniValue& v) { EXPECT_EQ(BytesOf(v), OddBytes()); }, -1},
  };
}

std::unique_ptr<TvpUniValue> Filled(const Sample& s) {
  auto v = std::make_unique<TvpUniValue>();
  v->SetDataType(s.type);
  s.set(*v);
  EXPECT_EQ(v->DataType(), s.type) << s.name;
  return v;
}

}  // namespace

TEST(UniValueRoundTrip, ThroughASecondValue) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    auto a = Filled(s);
    TvpUniValue b;
    b.Assign(*a);
    EXPECT_EQ(b.DataType(), s.type);
    EXPECT_EQ(b.BufferSize(), a->BufferSize());
    s.check(b);
    EXPECT_EQ(a->CompareWith(b, true, true), 0);
    EXPECT_EQ(b.CompareWith(*a, true, true), 0);
  }
}

TEST(UniValueRoundTrip, ThroughAHostFieldOfADataset) {
  TMemTable table(nullptr);
  std::vector<Sample> samples;
  for (Sample& s : Samples()) {
    if (s.fieldSize < 0) continue;
    table.FieldDefs().Add(s.name, s.type, s.fieldSize);
    if (s.type == ftFMTBcd) table.FieldDefs().Find(s.name)->SetPrecision(30);
    samples.push_back(std::move(s));
  }
  table.FieldDefs().Add("Nothing", ftInteger);
  table.CreateDataSet();
  table.Append();
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.name);
    auto v = Filled(s);
    table.FieldByName(s.name)->Assign(v.get());
  }
  TvpUniValue null;
  null.SetDataType(ftInteger);
  table.FieldByName("Nothing")->SetAsInteger(5);
  table.FieldByName("Nothing")->Assign(&null);
  table.Post();
  table.First();
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.name);
    TvpUniValue back;
    back.Assign(table.FieldByName(s.name));
    EXPECT_EQ(back.DataType(), s.type);
    s.check(back);
  }
  EXPECT_TRUE(table.FieldByName("Nothing")->IsNull());
  TvpUniValue back;
  back.SetAsInteger(1);
  back.Assign(table.FieldByName("Nothing"));
  EXPECT_TRUE(back.IsNull());
}

TEST(UniValueRoundTrip, ThroughAHostParameter) {
  for (const Sample& s : Samples()) {
    if (s.fieldSize < 0) continue;
    SCOPED_TRACE(s.name);
    TParams params;
    TParam* p = params.AddParameter();
    auto v = Filled(s);
    p->Assign(v.get());
    EXPECT_FALSE(p->IsNull());
    auto back = MakeValue(s.type);  // the value's own kind takes the parameter's value
    back->Assign(p);
    s.check(*back);
  }

  TParams params;  // a parameter takes its type from the value; a null value clears it
  TParam* p = params.AddParameter();
  TvpUniValue v;
  v.SetAsLargeint(std::int64_t{1} << 40);
  p->Assign(&v);
  EXPECT_EQ(p->DataType(), ftLargeint);
  EXPECT_EQ(p->AsLargeInt(), std::int64_t{1} << 40);
  TvpUniValue fresh;
  fresh.Assign(p);
  EXPECT_EQ(fresh.DataType(), ftLargeint);
  EXPECT_EQ(fresh.AsLargeint(), std::int64_t{1} << 40);
  v.Clear();
  p->Assign(&v);
  EXPECT_TRUE(p->IsNull());
  fresh.Assign(p);
  EXPECT_TRUE(fresh.IsNull());
  EXPECT_EQ(fresh.DataType(), ftLargeint);
}

TEST(UniValueRoundTrip, ThroughTheBinaryAndTextFormsOfAComponent) {
  for (const Sample& s : Samples()) {
    SCOPED_TRACE(s.name);
    TUniValueHost host(nullptr);
    host.Value()->SetDataType(s.type);
    s.set(*host.Value());

    TUniValueHost fromBinary(nullptr);
    BinaryToComponent(ComponentToBinary(&host), &fromBinary);
    EXPECT_EQ(fromBinary.Value()->DataType(), s.type);
    s.check(*fromBinary.Value());

    const String text = ComponentToText(&host);
    TUniValueHost fromText(nullptr);
    TextToComponent(text, &fromText);
    EXPECT_EQ(fromText.Value()->DataType(), s.type);
    s.check(*fromText.Value());
  }
}

TEST(UniValueStreaming, WritesTheKindBeforeItsDataAndNothingForANullValue) {
  TUniValueHost host(nullptr);
  String text = ComponentToText(&host);
  EXPECT_EQ(text.find("Value."), String::npos);  // no kind, no data

  host.Value()->SetAsInteger(3);
  text = ComponentToText(&host);
  const auto kind = text.find("Value.DataType = ftInteger");
  const auto data = text.find("Value.Data = 3");
  ASSERT_NE(kind, String::npos);
  ASSERT_NE(data, String::npos);
  EXPECT_LT(kind, data);
  EXPECT_EQ(text.find("IsNull"), String::npos);
  EXPECT_EQ(text.find("AsString"), String::npos);

  host.Value()->Clear();
  text = ComponentToText(&host);
  EXPECT_NE(text.find("Value.DataType = ftInteger"), String::npos);
  EXPECT_EQ(text.find("Value.Data ="), String::npos);

  host.Value()->SetAsInteger(3);
  host.Value()->SetStoreDataType(false);
  text = ComponentToText(&host);
  EXPECT_EQ(text.find("DataType"), String::npos);
  EXPECT_NE(text.find("Value.Data = 3"), String::npos);

  auto empty = std::make_unique<TUniValueHost>(nullptr);  // an empty text is a value
  empty->Value()->SetAsString("");
  TUniValueHost back(nullptr);
  TextToComponent(ComponentToText(empty.get()), &back);
  EXPECT_FALSE(back.Value()->IsNull());
  EXPECT_EQ(back.Value()->DataType(), ftString);
}

TEST(UniValueStreaming, ReadingGoesThroughTheKindsOwnSetters) {
  TUniValueHost host(nullptr);
  host.Value()->SetAsInteger(9);
  TextToComponent("object Host: TUniValueHost\n  Value.Data = ''\nend\n", &host);
  EXPECT_TRUE(host.Value()->IsNull());
  EXPECT_EQ(host.Value()->DataType(), ftInteger);

  TextToComponent("object Host: TUniValueHost\n  Value.Data = '17'\nend\n", &host);
  EXPECT_EQ(host.Value()->AsInteger(), 17);

  TUniValueHost stamp(nullptr);  // a time stamp travels as a date; 0 clears it
  stamp.Value()->SetDataType(ftTimeStamp);
  TextToComponent("object Host: TUniValueHost\n  Value.Data = 0d\nend\n", &stamp);
  EXPECT_TRUE(stamp.Value()->IsNull());

  TUniValueHost flag(nullptr);
  EXPECT_THROW(TextToComponent("object Host: TUniValueHost\n  Value.DataType = ftBoolean\n  Value.Data = 'maybe'\nend\n", &flag),
               EReadError);
}

TEST(UniValueStreaming, DecimalsSurviveWhateverTheApplicationsSeparator) {
  const TFormatSettings saved = FormatSettings();
  FormatSettings().DecimalSeparator = ',';
  TUniValueHost host(nullptr);
  host.Value()->SetDataType(ftFMTBcd);
  host.Value()->SetAsBCD(StrToBcd("0,123456789"));
  const String text = ComponentToText(&host);
  EXPECT_NE(text.find("'0.123456789'"), String::npos);
  TUniValueHost back(nullptr);
  TextToComponent(text, &back);
  EXPECT_EQ(BcdToStr(back.Value()->AsBCD(), TFormatSettings()), "0.123456789");

  host.Value()->SetAsBCD(StrToBcd("2,5"));  // a currency form when that loses nothing
  EXPECT_NE(ComponentToText(&host).find("Value.Data = 2.5000"), String::npos);
  FormatSettings() = saved;
}

TEST(UniValueStreaming, VariantsTheStreamCannotEncodeWriteNoData) {
  TUniValueHost host(nullptr);
  host.Value()->SetAsVariant(VarFMTBcdCreate(StrToBcd("1.5")));
  EXPECT_FALSE(host.Value()->HasData());
  const String text = ComponentToText(&host);
  EXPECT_NE(text.find("Value.DataType = ftVariant"), String::npos);
  EXPECT_EQ(text.find("Value.Data ="), String::npos);
  host.Value()->SetAsVariant(Variant(2.5));
  EXPECT_TRUE(host.Value()->HasData());
}
