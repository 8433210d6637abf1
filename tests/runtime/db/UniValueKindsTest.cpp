// Each kind of universal value: its stored form, what it reads and writes, what an empty text
// does to it and how its failures look.

#include "UniValueTestUtil.h"

#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/FormatSettings.h"

using namespace zvtest;

namespace {

// Changes the application's settings for one test.
class SettingsGuard {
public:
  SettingsGuard() : fSaved(FormatSettings()) {}
  ~SettingsGuard() { FormatSettings() = fSaved; }

private:
  TFormatSettings fSaved;
};

TDateTime Day() { return EncodeDate(2024, 3, 5); }
TDateTime Afternoon() { return EncodeTime(13, 2, 3, 0); }

}  // namespace

TEST(UniValueString, EmptyTextIsStoredWithItsTerminatorAndIsNotNull) {
  auto v = MakeValue(ftString);
  v->SetAsString("");
  EXPECT_FALSE(v->IsNull());
  EXPECT_EQ(v->BufferSize(), 1);
  EXPECT_EQ(BytesOf(v->AsByteArray()), std::vector<std::uint8_t>{0});
  v->SetAsString("Gr\u00FC\u00DFe");  // 7 bytes of UTF-8
  EXPECT_EQ(v->BufferSize(), 8);
  EXPECT_EQ(v->AsString(), "Gr\u00FC\u00DFe");
  EXPECT_EQ(v->AsByteArray().Bytes().back(), 0);
  EXPECT_EQ(v->AsVariant().VarType(), varString);
  EXPECT_EQ(v->AsWideString(), u"Gr\u00FC\u00DFe");
  auto fixed = MakeValue(ftFixedChar);
  fixed->SetAsString("AB");
  EXPECT_EQ(fixed->BufferSize(), 3);
}

TEST(UniValueString, ReadsParseTheTextAndRaiseTheHostsConversionErrors) {
  auto v = MakeValue(ftString);
  for (const char* yes : {"yes", "Y", "true", "T"}) {
    v->SetAsString(yes);
    EXPECT_TRUE(v->AsBoolean()) << yes;
  }
  for (const char* no : {"no", "", "F", "1"}) {
    v->SetAsString(no);
    EXPECT_FALSE(v->AsBoolean()) << no;
  }
  v->SetAsString("12");
  EXPECT_EQ(v->AsInteger(), 12);
  v->SetAsString("12345678901");
  EXPECT_EQ(v->AsLargeint(), 12345678901);
  v->SetAsString("1.23456");
  EXPECT_EQ(v->AsFloat(), 1.23456);
  EXPECT_EQ(v->AsCurrency().Value, 12346);  // to four decimals
  EXPECT_EQ(BcdToStr(v->AsBCD()), "1.23456");
  v->SetAsString("3/5/2024");
  EXPECT_EQ(v->AsDateTime().Value, Day().Value);
  EXPECT_EQ(v->AsSQLTimeStamp().Year, 2024);
  v->SetAsString("abc");
  try {
    v->AsInteger();
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_THROW(v->AsFloat(), EConvertError);
  v->Clear();  // a null text reads as "" and converts as such
  EXPECT_THROW(v->AsInteger(), EConvertError);
}

TEST(UniValueString, WritesOfOtherKindsStoreTheirTextByTheApplicationsSettings) {
  SettingsGuard guard;
  auto v = MakeValue(ftString);
  v->SetAsInteger(-42);
  EXPECT_EQ(v->AsString(), "-42");
  v->SetAsFloat(1.5);
  EXPECT_EQ(v->AsString(), "1.5");
  v->SetAsCurrency(Currency::FromScaled(12500));
  EXPECT_EQ(v->AsString(), "1.25");
  v->SetAsBoolean(true);
  EXPECT_EQ(v->AsString(), "T");
  v->SetAsBoolean(false);
  EXPECT_EQ(v->AsString(), "F");
  v->SetAsDateTime(Day() + Afternoon());
  EXPECT_EQ(v->AsString(), "3/5/2024 1:02:03 PM");
  v->SetAsBCD(StrToBcd("123.4500"));
  EXPECT_EQ(v->AsString(), "123.45");
  v->SetAsVariant(Variant(3.25));
  EXPECT_EQ(v->AsString(), "3.25");
  v->SetAsSQLTimeStamp(DateTimeToSQLTimeStamp(Day()));
  EXPECT_EQ(v->AsString(), SQLTimeStampToStr("", DateTimeToSQLTimeStamp(Day())));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsLargeint(1); }), AccessError("LargeInt"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsWideString(u"x"); }), AccessError("WideString"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsByteArray(ByteArray({1})); }), AccessError("ByteArray"));

  FormatSettings().DecimalSeparator = ',';
  v->SetAsFloat(1.5);
  EXPECT_EQ(v->AsString(), "1,5");
  EXPECT_EQ(v->AsFloat(), 1.5);
}

TEST(UniValueWideString, StoresUtf16WithATerminatorAndConvertsThroughText) {
  auto v = MakeValue(ftWideString);
  v->SetAsWideString(u"\u03A9mega\U0001F600");  // 5 + 2 code units
  EXPECT_EQ(v->BufferSize(), 16);
  EXPECT_EQ(v->AsWideString(), u"\u03A9mega\U0001F600");
  EXPECT_EQ(v->AsString(), "\u03A9mega\U0001F600");
  EXPECT_EQ(v->AsVariant().VarType(), varOleStr);
  const auto bytes = BytesOf(v->AsByteArray());
  EXPECT_EQ(bytes.size(), 16u);
  EXPECT_EQ(bytes[0], 0xA9);
  EXPECT_EQ(bytes[1], 0x03);
  EXPECT_EQ(bytes[15], 0);
  v->SetAsString("Gr\u00FC\u00DFe");  // widened
  EXPECT_EQ(v->BufferSize(), 12);
  v->SetAsInteger(7);  // as a string does, through the text
  EXPECT_EQ(v->AsWideString(), u"7");
  EXPECT_EQ(v->AsInteger(), 7);
  v->SetAsVariant(Variant(String("x")));
  EXPECT_EQ(v->AsWideString(), u"x");
  v->SetAsWideString(u"");
  EXPECT_FALSE(v->IsNull());
  EXPECT_EQ(v->BufferSize(), 2);
}

TEST(UniValueInteger, StoresFourBytesRoundsHalfToEvenAndNeverWraps) {
  for (TFieldType t : {ftSmallint, ftInteger, ftWord, ftAutoInc}) {
    auto v = MakeValue(t);
    EXPECT_EQ(v->AsInteger(), 0);  // null reads 0
    EXPECT_EQ(v->AsString(), "");
    v->SetAsInteger(258);
    EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{2, 1, 0, 0}));
  }
  auto v = MakeValue(ftInteger);
  const std::pair<double, int> rounding[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}};
  for (auto [x, n] : rounding) {
    v->SetAsFloat(x);
    EXPECT_EQ(v->AsInteger(), n) << x;
  }
  v->SetAsInteger(9);
  EXPECT_THROW(v->SetAsFloat(3e9), ERangeError);
  EXPECT_THROW(v->SetAsLargeint(std::int64_t{1} << 40), ERangeError);  // no low 32 bits
  EXPECT_EQ(v->AsInteger(), 9);
  v->SetAsLargeint(-7);
  EXPECT_EQ(v->AsInteger(), -7);
  v->SetAsString("$1F");
  EXPECT_EQ(v->AsInteger(), 31);
  v->SetAsVariant(Variant(String("15")));
  EXPECT_EQ(v->AsInteger(), 15);
  v->SetAsVariant(Variant(2.5));
  EXPECT_EQ(v->AsInteger(), 2);
  v->SetAsCurrency(Currency::FromScaled(35000));
  EXPECT_EQ(v->AsInteger(), 4);
  v->SetAsInteger(7);
  EXPECT_EQ(v->AsCurrency(), Currency::FromInt(7));
  EXPECT_EQ(BcdToStr(v->AsBCD()), "7");
  EXPECT_EQ(v->AsFloat(), 7.0);
  EXPECT_EQ(v->AsLargeint(), 7);
  EXPECT_EQ(v->AsVariant().VarType(), varInteger);
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsBoolean(); }), AccessError("Boolean"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsDateTime(); }), AccessError("DateTime"));
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());
}

TEST(UniValueLargeInt, HoldsAll64BitsAndRaisesWhereNarrowingWouldCut) {
  auto v = MakeValue(ftLargeint);
  EXPECT_EQ(v->AsLargeint(), 0);
  v->SetAsLargeint((std::int64_t{1} << 40) + 1);
  EXPECT_EQ(v->BufferSize(), 8);
  EXPECT_EQ(v->AsString(), "1099511627777");
  EXPECT_EQ(v->AsFloat(), 1099511627777.0);
  EXPECT_EQ(v->AsVariant().VarType(), varInt64);
  EXPECT_THROW(v->AsInteger(), ERangeError);
  v->SetAsString("9223372036854775807");
  EXPECT_EQ(v->AsLargeint(), INT64_MAX);
  EXPECT_THROW(v->SetAsString("9223372036854775808"), EConvertError);
  EXPECT_EQ(v->AsLargeint(), INT64_MAX);
  v->SetAsFloat(2.5);
  EXPECT_EQ(v->AsLargeint(), 2);
  EXPECT_THROW(v->SetAsFloat(1e19), EInvalidOp);
  v->SetAsInteger(-5);
  EXPECT_EQ(v->AsLargeint(), -5);
  EXPECT_EQ(v->AsInteger(), -5);
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());
}

TEST(UniValueFloat, StoresADoubleAndRoundsOnlyWhenReadAsAnInteger) {
  for (TFieldType t : {ftFloat, ftCurrency}) {
    auto v = MakeValue(t);
    EXPECT_EQ(v->AsFloat(), 0.0);
    v->SetAsFloat(2.5);
    EXPECT_EQ(v->BufferSize(), 8);
    EXPECT_EQ(v->AsInteger(), 2);
    v->SetAsFloat(3.5);
    EXPECT_EQ(v->AsLargeint(), 4);
  }
  auto v = MakeValue(ftFloat);
  v->SetAsFloat(1.23456);
  EXPECT_EQ(v->AsCurrency().Value, 12346);
  EXPECT_EQ(v->AsString(), "1.23456");
  v->SetAsFloat(1e10);
  EXPECT_THROW(v->AsInteger(), ERangeError);
  EXPECT_EQ(v->AsLargeint(), 10000000000);
  v->SetAsLargeint(3);
  EXPECT_EQ(v->AsFloat(), 3.0);
  v->SetAsVariant(Variant(String("2.25")));
  EXPECT_EQ(v->AsFloat(), 2.25);
  EXPECT_EQ(v->AsVariant().VarType(), varDouble);
  try {
    v->SetAsString("abc");
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
  EXPECT_EQ(v->AsFloat(), 2.25);
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsDateTime(); }), AccessError("DateTime"));
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());
}

TEST(UniValueBoolean, AcceptsOnlyTheHostsTextsAndStoresAllBitsForTrue) {
  auto v = MakeValue(ftBoolean);
  EXPECT_FALSE(v->AsBoolean());
  v->SetAsBoolean(true);
  EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{0xFF, 0xFF}));
  EXPECT_EQ(v->AsString(), "True");
  EXPECT_EQ(v->AsVariant().VarType(), varBoolean);
  v->SetAsBoolean(false);
  EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(v->AsString(), "False");

  v->SetModified(false);
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsString("yes"); }), "\"yes\" is not a valid boolean value");
  EXPECT_FALSE(v->AsBoolean());
  EXPECT_FALSE(v->Modified());
  v->SetAsString("TRUE");
  EXPECT_TRUE(v->AsBoolean());
  v->SetAsString("fAlSe");
  EXPECT_FALSE(v->AsBoolean());
  v->SetAsVariant(Variant(1));
  EXPECT_TRUE(v->AsBoolean());
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsInteger(); }), AccessError("Integer"));
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());

  auto f = MakeValue(ftBoolean), t = MakeValue(ftBoolean);
  f->SetAsBoolean(false);
  t->SetAsBoolean(true);
  EXPECT_LT(f->CompareWith(*t, true, true), 0);
}

TEST(UniValueDateTime, TextFollowsTheKindDateTimeOrBoth) {
  auto date = MakeValue(ftDate), time = MakeValue(ftTime), both = MakeValue(ftDateTime);
  date->SetAsDateTime(Day());
  time->SetAsDateTime(Afternoon());
  both->SetAsDateTime(Day() + Afternoon());
  EXPECT_EQ(date->AsString(), "3/5/2024");
  EXPECT_EQ(time->AsString(), "1:02:03 PM");
  EXPECT_EQ(both->AsString(), "3/5/2024 1:02:03 PM");
  EXPECT_EQ(date->BufferSize(), 8);

  time->SetAsString("13:02:03");
  EXPECT_EQ(time->AsDateTime().Value, Afternoon().Value);
  EXPECT_THROW(date->SetAsString("1:02 PM"), EConvertError);
  date->SetAsString("3/6/2024");
  EXPECT_EQ(date->AsDateTime().Value, Day().Value + 1);
  both->SetAsString("3/5/2024 1:02:03 PM");
  EXPECT_EQ(both->AsFloat(), Day().Value + Afternoon().Value);
  both->SetAsFloat(45000.75);
  EXPECT_EQ(both->AsDateTime().Value, 45000.75);
  EXPECT_EQ(both->AsInteger(), 45001);
  EXPECT_EQ(both->AsVariant().VarType(), varDate);
  both->SetAsVariant(Variant(String("3/5/2024")));
  EXPECT_EQ(both->AsDateTime().Value, Day().Value);
  EXPECT_EQ(DatabaseErrorOf([&] { both->SetAsInteger(1); }), AccessError("Integer"));
  both->SetAsString("");
  EXPECT_TRUE(both->IsNull());
  EXPECT_EQ(both->AsDateTime().Value, 0.0);
}

TEST(UniValueTimeStamp, ZeroDateClearsAndNullReadsAsTheBlankStamp) {
  auto v = MakeValue(ftTimeStamp);
  EXPECT_EQ(v->AsSQLTimeStamp(), NullSQLTimeStamp);
  EXPECT_EQ(v->AsDateTime().Value, 0.0);
  v->SetAsDateTime(EncodeDateTime(2024, 3, 5, 13, 2, 3, 456));
  EXPECT_EQ(v->BufferSize(), 16);
  const TSQLTimeStamp ts = v->AsSQLTimeStamp();
  EXPECT_EQ(ts.Year, 2024);
  EXPECT_EQ(ts.Day, 5);
  EXPECT_EQ(ts.Second, 3);
  EXPECT_EQ(ts.Fractions, 456u);
  EXPECT_EQ(v->AsString(), SQLTimeStampToStr("", ts));
  EXPECT_TRUE(VarIsSQLTimeStamp(v->AsVariant()));
  v->SetAsDateTime(0);
  EXPECT_TRUE(v->IsNull());
  v->SetAsString("3/5/2024 1:02:03 PM");
  EXPECT_EQ(v->AsDateTime().Value, Day().Value + Afternoon().Value);
  EXPECT_THROW(v->SetAsString("nonsense"), EConvertError);
  v->SetAsVariant(VarSQLTimeStampCreate(Day()));
  EXPECT_EQ(v->AsDateTime().Value, Day().Value);
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsFloat(); }), AccessError("Float"));
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());
}

TEST(UniValueBinary, TakesOnlyByteArraysAndKeepsTheValueOnRefusal) {
  for (TFieldType t : {ftBytes, ftVarBytes}) {
    auto v = MakeValue(t);
    EXPECT_TRUE(VarIsNull(v->AsVariant()));
    v->SetAsByteArray(ByteArray({1, 0, 255}));
    EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{1, 0, 255}));
    EXPECT_EQ(v->AsVariant().VarType(), varArray | varByte);
    EXPECT_EQ(v->AsString(), String("\x01\x00\xFF", 3));
    for (const Variant& bad : {Variant(5), Variant(String("ab")), VarArrayOf({Variant(1), Variant(2)})}) {
      EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsByteArray(bad); }), "Invalid variant type or size");
      EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsVariant(bad); }), "Invalid variant type or size");
    }
    EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{1, 0, 255}));
    v->SetAsString("ab");
    EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{'a', 'b'}));
    v->SetAsString("");
    EXPECT_TRUE(v->IsNull());
    v->SetAsByteArray(ByteArray({}));
    EXPECT_TRUE(v->IsNull());
  }
}

TEST(UniValueBCD, HoldsCurrencyToFourDecimalsAndRoundsExactly) {
  auto v = MakeValue(ftBCD);
  EXPECT_EQ(BcdCompare(v->AsBCD(), NullBcd), 0);
  EXPECT_EQ(v->AsBCD().Precision, 0);  // the null BCD record itself
  v->SetAsFloat(1.23456);
  EXPECT_EQ(v->AsCurrency().Value, 12346);
  EXPECT_EQ(v->BufferSize(), 8);
  EXPECT_EQ(v->AsString(), "1.2346");
  EXPECT_EQ(BcdToStr(v->AsBCD()), "1.2346");
  EXPECT_EQ(v->AsBCD().Precision, 32);
  v->SetAsInteger(7);
  EXPECT_EQ(v->AsCurrency(), Currency::FromInt(7));
  const std::pair<std::int64_t, int> rounding[] = {{25000, 2}, {35000, 4}, {-25000, -2}, {-35000, -4}, {24999, 2}, {-5001, -1}};
  for (auto [scaled, n] : rounding) {
    v->SetAsCurrency(Currency::FromScaled(scaled));
    EXPECT_EQ(v->AsInteger(), n) << scaled;
  }
  v->SetAsCurrency(Currency::FromScaled(INT64_MAX));  // exact, where a double would not be
  EXPECT_EQ(v->AsLargeint(), 922337203685478);
  v->SetAsString("12.34565");
  EXPECT_EQ(v->AsCurrency().Value, 123456);  // ties to even
  v->SetAsVariant(Variant(Currency::FromScaled(5)));
  EXPECT_EQ(v->AsCurrency().Value, 5);
  EXPECT_EQ(v->AsVariant().VarType(), varCurrency);
  EXPECT_THROW(v->SetAsBCD(StrToBcd("1e20")), EBcdOverflowException);
  EXPECT_EQ(v->AsCurrency().Value, 5);
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsLargeint(1); }), AccessError("LargeInt"));
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());
}

TEST(UniValueFMTBcd, KeepsEveryDigitAndRoundsTheDecimalItself) {
  auto v = MakeValue(ftFMTBcd);
  EXPECT_EQ(v->AsBCD().Precision, 0);
  EXPECT_EQ(v->AsFloat(), 0.0);
  v->SetAsBCD(StrToBcd("12345678901234567.125"));
  EXPECT_EQ(v->BufferSize(), 34);
  EXPECT_EQ(v->AsString(), "12345678901234567.125");
  EXPECT_EQ(v->AsLargeint(), 12345678901234567);
  EXPECT_TRUE(VarIsFMTBcd(v->AsVariant()));
  EXPECT_THROW(v->AsCurrency(), EBcdOverflowException);
  const std::pair<const char*, std::int64_t> rounding[] = {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"2.50000001", 3}, {"-0.4", 0}};
  for (auto [text, n] : rounding) {
    v->SetAsBCD(StrToBcd(text));
    EXPECT_EQ(v->AsLargeint(), n) << text;
  }
  v->SetAsBCD(StrToBcd("1.00115"));  // a tie whose nearest double lies below it
  EXPECT_EQ(v->AsCurrency().Value, 10012);
  v->SetAsBCD(StrToBcd("3000000000"));
  EXPECT_THROW(v->AsInteger(), ERangeError);
  v->SetAsFloat(1.23456);
  EXPECT_EQ(v->AsString(), "1.2346");
  v->SetAsInteger(7);
  EXPECT_EQ(v->AsString(), "7");
  EXPECT_EQ(v->AsFloat(), 7.0);
  v->SetAsCurrency(Currency::FromScaled(12345));
  EXPECT_EQ(v->AsBCD().Precision, 32);
  EXPECT_EQ(v->AsString(), "1.2345");
  v->SetAsVariant(Variant(String("0.000001")));
  EXPECT_EQ(v->AsString(), "0.000001");
  EXPECT_THROW(v->SetAsString("abc"), EBcdException);
  EXPECT_EQ(v->AsString(), "0.000001");
  v->SetAsString("");
  EXPECT_TRUE(v->IsNull());

  // Two decimals that one double cannot tell apart still order.
  auto a = MakeValue(ftFMTBcd), b = MakeValue(ftFMTBcd);
  a->SetAsString("12345678901234567890.1");
  b->SetAsString("12345678901234567890.2");
  EXPECT_LT(a->CompareWith(*b, true, true), 0);
  EXPECT_GT(b->CompareWith(*a, true, true), 0);
}

TEST(UniValueBlob, RawBytesWithoutTerminatorAndEmptyIsNull) {
  for (TFieldType t : {ftBlob, ftMemo, ftGraphic, ftOraClob}) {
    auto v = MakeValue(t);
    v->SetAsString("");
    EXPECT_TRUE(v->IsNull());
    v->SetAsString("Hello");
    EXPECT_EQ(v->BufferSize(), 5);
    EXPECT_EQ(BytesOf(v->AsByteArray()), (std::vector<std::uint8_t>{'H', 'e', 'l', 'l', 'o'}));
  }
  auto v = MakeValue(ftBlob);
  v->SetAsVariant(Variant(12));
  EXPECT_EQ(v->AsString(), "12");
  EXPECT_EQ(v->AsVariant().VarType(), varString);
  v->SetAsVariant(ByteArray({0, 1, 2}));  // what blob fields hand out
  EXPECT_EQ(BytesOf(*v), (std::vector<std::uint8_t>{0, 1, 2}));
  v->SetAsByteArray(ByteArray({3}));
  EXPECT_EQ(v->AsString(), "\x03");
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsInteger(); }), AccessError("Integer"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsInteger(1); }), AccessError("Integer"));
}

TEST(UniValueVariant, HoldsAnyVariantAndConvertsLikeTheHost) {
  auto v = MakeValue(ftVariant);
  v->SetAsInteger(3);
  EXPECT_EQ(v->AsVariant().VarType(), varInteger);
  EXPECT_EQ(v->AsString(), "3");
  EXPECT_EQ(v->AsFloat(), 3.0);
  EXPECT_EQ(v->AsLargeint(), 3);
  EXPECT_EQ(v->AsCurrency(), Currency::FromInt(3));
  EXPECT_EQ(DatabaseErrorOf([&] { v->AsByteArray(); }), AccessError("ByteArray"));
  v->SetAsString("2.5");
  EXPECT_EQ(v->AsVariant().VarType(), varString);
  EXPECT_EQ(v->AsFloat(), 2.5);
  EXPECT_EQ(v->AsInteger(), 2);
  v->SetAsBoolean(true);
  EXPECT_TRUE(v->AsBoolean());
  v->SetAsDateTime(Day());
  EXPECT_EQ(v->AsVariant().VarType(), varDate);
  v->SetAsBCD(StrToBcd("1.5"));
  EXPECT_TRUE(VarIsFMTBcd(v->AsVariant()));
  v->SetAsSQLTimeStamp(DateTimeToSQLTimeStamp(Day()));
  EXPECT_TRUE(VarIsSQLTimeStamp(v->AsVariant()));
  EXPECT_EQ(v->AsDateTime().Value, Day().Value);
  v->SetAsVariant(ByteArray({4, 5}));
  EXPECT_EQ(BytesOf(v->AsByteArray()), (std::vector<std::uint8_t>{4, 5}));
  v->SetAsVariant(Variant(String("abc")));
  EXPECT_THROW(v->AsInteger(), EConvertError);
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsLargeint(1); }), AccessError("LargeInt"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsWideString(u"x"); }), AccessError("WideString"));
  EXPECT_EQ(DatabaseErrorOf([&] { v->SetAsByteArray(ByteArray({1})); }), AccessError("ByteArray"));
  EXPECT_EQ(v->AsString(), "abc");
}

TEST(UniValueVariant, OrdersByTheHostsRulesAndStaysConsistentAcrossKinds) {
  auto a = MakeValue(ftVariant), b = MakeValue(ftVariant);
  a->SetAsVariant(Variant(3));
  b->SetAsVariant(Variant(5.5));
  EXPECT_LT(a->CompareWith(*b, true, true), 0);
  EXPECT_GT(b->CompareWith(*a, true, true), 0);
  a->SetAsString("abc");
  b->SetAsString("ABC");
  EXPECT_EQ(a->CompareWith(*b, false, true), 0);
  EXPECT_NE(a->CompareWith(*b, true, true), 0);
  b->SetAsInteger(5);  // a text that is no number against a number: ordered, not raised
  const int ab = a->CompareWith(*b, true, true);
  const int ba = b->CompareWith(*a, true, true);
  EXPECT_NE(ab, 0);
  EXPECT_EQ(ab, -ba);
  a->SetAsVariant(ByteArray({1, 2}));
  b->SetAsVariant(ByteArray({1, 3}));
  EXPECT_LT(a->CompareWith(*b, true, true), 0);
  b->SetAsVariant(ByteArray({1, 2}));
  EXPECT_EQ(a->CompareWith(*b, true, true), 0);
}
