#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace zv {
namespace {

// Runs f and returns the message of the E it raises ("" if it raised nothing).
template <class E>
String MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "";
}

struct NullRulesGuard {
  bool strict = NullStrictConvert;
  String text = NullAsStringValue;
  ~NullRulesGuard() {
    NullStrictConvert = strict;
    NullAsStringValue = text;
  }
};

struct SettingsGuard {
  TFormatSettings saved = FormatSettings();
  ~SettingsGuard() { FormatSettings() = saved; }
};

TSQLTimeStamp Stamp(int y, int mo, int d, int h, int mi, int s, int ms) {
  TSQLTimeStamp t;
  t.Year = static_cast<std::int16_t>(y);
  t.Month = static_cast<std::uint16_t>(mo);
  t.Day = static_cast<std::uint16_t>(d);
  t.Hour = static_cast<std::uint16_t>(h);
  t.Minute = static_cast<std::uint16_t>(mi);
  t.Second = static_cast<std::uint16_t>(s);
  t.Fractions = static_cast<std::uint32_t>(ms);
  return t;
}

TEST(VariantKinds, TypeCodeFollowsTheValue) {
  EXPECT_EQ(VarType(Variant()), varEmpty);
  EXPECT_EQ(VarType(Null()), varNull);
  EXPECT_EQ(VarType(Variant(42)), varInteger);
  EXPECT_EQ(VarType(Variant(std::int64_t{42})), varInt64);
  EXPECT_EQ(VarType(Variant(std::int16_t{42})), varSmallint);
  EXPECT_EQ(VarType(Variant(std::int8_t{42})), varShortInt);
  EXPECT_EQ(VarType(Variant(std::uint8_t{42})), varByte);
  EXPECT_EQ(VarType(Variant(std::uint16_t{42})), varWord);
  EXPECT_EQ(VarType(Variant(42u)), varLongWord);
  EXPECT_EQ(VarType(Variant(std::uint64_t{42})), varUInt64);
  EXPECT_EQ(VarType(Variant(1.5f)), varSingle);
  EXPECT_EQ(VarType(Variant(1.5)), varDouble);
  EXPECT_EQ(VarType(Variant(Currency::FromInt(2))), varCurrency);
  EXPECT_EQ(VarType(Variant(TDateTime(2.0))), varDate);
  EXPECT_EQ(VarType(Variant(true)), varBoolean);
  EXPECT_EQ(VarType(Variant("text")), varString);
  EXPECT_EQ(VarType(Variant(String("text"))), varString);
  EXPECT_EQ(VarType(Variant(u"text")), varOleStr);
  EXPECT_EQ(VarType(Variant(StrToBcd("1.5"))), varFMTBcd);
  EXPECT_EQ(VarType(Variant(Stamp(2024, 1, 2, 3, 4, 5, 6))), varSQLTimeStamp);
  // The codes the host's streams and field buffers carry.
  EXPECT_EQ(varBoolean, 11);
  EXPECT_EQ(varInt64, 20);
  EXPECT_EQ(varString, 0x100);
  EXPECT_EQ(VarTypeAsText(varOleStr), "OleStr");
  EXPECT_EQ(VarTypeAsText(varArray | varByte), "Array Byte");
  EXPECT_EQ(VarTypeAsText(0x0042), "$0042");
  EXPECT_TRUE(VarIsNumeric(Variant(true)));
  EXPECT_TRUE(VarIsNumeric(Variant(StrToBcd("1"))));
  EXPECT_FALSE(VarIsNumeric(Variant(TDateTime(1.0))));
  EXPECT_FALSE(VarIsNumeric(Variant("1")));
  EXPECT_TRUE(VarIsStr(Variant(u"x")));
  EXPECT_FALSE(VarIsStr(Variant()));
}

TEST(VariantText, EveryKindRoundTripsThroughText) {
  const std::vector<Variant> values = {
      Variant(42), Variant(std::int64_t{-9000000000000000000}), Variant(std::int16_t{-32768}),
      Variant(std::uint8_t{255}), Variant(std::uint64_t{18446744073709551615ULL}),
      Variant(1.5), Variant(-1.25e-10), Variant(0.1f), Variant(Currency::FromScaled(123456)),
      Variant(EncodeDateTime(2024, 2, 29, 13, 45, 30, 0)), Variant(true), Variant(false),
      Variant(StrToBcd("-1234567890123456789012345678.901234")), Variant(u"h\u00e9llo"),
      Variant(Stamp(2024, 2, 29, 13, 45, 30, 0))};
  for (const Variant& v : values) {
    const String text = v.AsString();
    const Variant back = VarAsType(Variant(text), VarType(v));
    EXPECT_EQ(VarType(back), VarType(v)) << text;
    EXPECT_EQ(VarCompareValue(back, v), vrEqual) << text;
    EXPECT_EQ(back.AsString(), text);
  }
  EXPECT_EQ(Variant(true).AsString(), "True");
  EXPECT_EQ(Variant(1.5).AsString(), "1.5");
  EXPECT_EQ(Variant(0.1f).AsString(), "0.1");
  EXPECT_EQ(Variant(Currency::FromScaled(123456)).AsString(), "12.3456");
  EXPECT_EQ(Variant(EncodeDateTime(2024, 2, 29, 13, 45, 30, 0)).AsString(), "2/29/2024 1:45:30 PM");
  EXPECT_EQ(Variant(EncodeDate(2024, 2, 29)).AsString(), "2/29/2024");
  EXPECT_EQ(Variant(StrToBcd("12.50")).AsString(), "12.5");
  EXPECT_EQ(Variant(u"\u03a9mega").AsString(), "\u03a9mega");
  EXPECT_EQ(Variant("\u03a9mega").AsWideString(), u"\u03a9mega");
}

TEST(VariantText, FollowsTheGlobalSettings) {
  SettingsGuard guard;
  FormatSettings().DecimalSeparator = ',';
  EXPECT_EQ(Variant(1.5).AsString(), "1,5");
  EXPECT_EQ(Variant("2,5").AsDouble(), 2.5);
  EXPECT_EQ(Variant("2,5").AsCurrency().Value, 25000);
  EXPECT_EQ(BcdToStr(Variant("-0,75").AsBcd()), "-0,75");
  EXPECT_THROW(Variant("2.5").AsDouble(), EConvertError);
}

TEST(VariantConvert, AcrossKinds) {
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(false).AsInteger(), 0);
  EXPECT_EQ(Variant(true).AsDouble(), -1.0);
  EXPECT_EQ(Variant(true).AsCurrency().Value, -10000);
  EXPECT_TRUE(Variant(5).AsBoolean());
  EXPECT_TRUE(Variant(-0.5).AsBoolean());
  EXPECT_FALSE(Variant(0.0).AsBoolean());
  EXPECT_TRUE(Variant("true").AsBoolean());
  EXPECT_FALSE(Variant("0").AsBoolean());
  EXPECT_TRUE(Variant(StrToBcd("0.01")).AsBoolean());
  // Floats round half to even; FMTBcd truncates.
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);
  EXPECT_EQ(Variant(3.5).AsInteger(), 4);
  EXPECT_EQ(Variant(-2.5).AsInteger(), -2);
  EXPECT_EQ(Variant(-2.7).AsInt64(), -3);
  EXPECT_EQ(Variant(Currency::FromScaled(25000)).AsInteger(), 2);
  EXPECT_EQ(Variant(Currency::FromScaled(35000)).AsInteger(), 4);
  EXPECT_EQ(Variant(Currency::FromScaled(-15001)).AsInteger(), -2);
  EXPECT_EQ(Variant(StrToBcd("12.75")).AsInteger(), 12);
  EXPECT_EQ(Variant(StrToBcd("-12.75")).AsInteger(), -12);
  EXPECT_EQ(Variant("42").AsInteger(), 42);
  EXPECT_EQ(Variant("2.5").AsInteger(), 2);
  EXPECT_EQ(Variant("$FF").AsInteger(), 255);
  EXPECT_EQ(Variant(u"-17").AsInt64(), -17);
  // Dates are doubles.
  EXPECT_EQ(Variant(TDateTime(45000.25)).AsDouble(), 45000.25);
  EXPECT_EQ(Variant(45000.25).AsDateTime().Value, 45000.25);
  EXPECT_EQ(VarType(VarAsType(Variant(45000.25), varDate)), varDate);
  EXPECT_EQ(Variant("2/29/2024").AsDateTime().Value, EncodeDate(2024, 2, 29).Value);
  // Currency and BCD are exact.
  EXPECT_EQ(Variant("1.25").AsCurrency().Value, 12500);
  EXPECT_EQ(Variant(1.23456).AsCurrency().Value, 12346);
  EXPECT_EQ(Variant(StrToBcd("0.00015")).AsCurrency().Value, 2);
  EXPECT_EQ(BcdToStr(Variant(Currency::FromScaled(-5)).AsBcd()), "-0.0005");
  EXPECT_EQ(BcdToStr(Variant(1.5).AsBcd()), "1.5");
  EXPECT_EQ(BcdToStr(Variant(0.1f).AsBcd()), "0.1");
  EXPECT_EQ(BcdToStr(Variant(std::uint64_t{18446744073709551615ULL}).AsBcd()),
            "18446744073709551615");
  EXPECT_EQ(Variant(StrToBcd("12.75")).AsDouble(), 12.75);
  // Time stamps go through dates.
  const TSQLTimeStamp stamp = Stamp(2024, 2, 29, 13, 45, 30, 250);
  const TDateTime when = EncodeDateTime(2024, 2, 29, 13, 45, 30, 250);
  EXPECT_EQ(Variant(stamp).AsDateTime().Value, when.Value);
  EXPECT_TRUE(Variant(when).AsSQLTimeStamp() == stamp);
  EXPECT_TRUE(VarToSQLTimeStamp(Variant()) == NullSQLTimeStamp);
  EXPECT_THROW(Variant(true).AsSQLTimeStamp(), EVariantTypeCastError);
  // VarAsType to each code gives that code.
  for (TVarType t : {varSmallint, varInteger, varSingle, varDouble, varCurrency, varDate,
                     varOleStr, varBoolean, varShortInt, varByte, varWord, varLongWord, varInt64,
                     varUInt64, varString, varFMTBcd}) {
    EXPECT_EQ(VarType(VarAsType(Variant(1), t)), t) << VarTypeAsText(t);
  }
  EXPECT_THROW(VarAsType(Variant(1), 0x0042), EVariantTypeCastError);
  EXPECT_EQ(VarAsType(Variant(1.8446744073709550e19), varUInt64).AsString(), "18446744073709549568");
  EXPECT_THROW(VarAsType(Variant(-1.0), varUInt64), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant("18446744073709551616"), varUInt64), EVariantOverflowError);
}

TEST(VariantNullEmpty, EmptyReadsAsZeroAndNullRaises) {
  const Variant empty;
  EXPECT_TRUE(VarIsEmpty(empty));
  EXPECT_TRUE(VarIsClear(empty));
  EXPECT_EQ(empty.AsInteger(), 0);
  EXPECT_EQ(empty.AsDouble(), 0.0);
  EXPECT_EQ(empty.AsString(), "");
  EXPECT_FALSE(empty.AsBoolean());
  EXPECT_EQ(empty.AsCurrency().Value, 0);
  EXPECT_EQ(BcdToStr(empty.AsBcd()), "0");
  EXPECT_EQ(VarToStr(empty), "");

  const Variant null = Null();
  EXPECT_TRUE(VarIsNull(null));
  EXPECT_FALSE(VarIsEmpty(null));
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { null.AsInteger(); }),
            "Could not convert variant of type (Null) into type (Integer)");
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { null.AsString(); }),
            "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { null.AsWideString(); }),
            "Could not convert variant of type (Null) into type (OleStr)");
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { null.AsDouble(); }),
            "Could not convert variant of type (Null) into type (Double)");
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { VarToDateTime(null); }),
            "Could not convert variant of type (Null) into type (Date)");
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { VarAsType(null, varByte); }),
            "Could not convert variant of type (Null) into type (Byte)");
  EXPECT_THROW(null.AsBcd(), EVariantTypeCastError);
  EXPECT_EQ(VarToStr(null), "");
  EXPECT_EQ(VarToWideStr(null), u"");
  EXPECT_TRUE(VarIsNull(VarAsType(Variant(5), varNull)));
  EXPECT_TRUE(VarIsEmpty(VarAsType(null, varEmpty)));
}

TEST(VariantNullEmpty, LenientNullConvertsLikeEmpty) {
  NullRulesGuard guard;
  NullStrictConvert = false;
  NullAsStringValue = "<null>";
  const Variant null = Null();
  EXPECT_EQ(null.AsInteger(), 0);
  EXPECT_FALSE(null.AsBoolean());
  EXPECT_EQ(null.AsString(), "<null>");
  EXPECT_EQ(null.AsWideString(), u"<null>");
  EXPECT_EQ(VarToStr(null), "<null>");
  EXPECT_EQ(VarType(VarAsType(null, varInteger)), varInteger);
}

TEST(VariantConvert, NarrowingOverflowRaises) {
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(std::int64_t{5000000000}).AsInteger(); }),
            "Overflow while converting variant of type (Int64) into type (Integer)");
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { VarAsType(Variant(256), varByte); }),
            "Overflow while converting variant of type (Integer) into type (Byte)");
  EXPECT_THROW(VarAsType(Variant(-1), varWord), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(-1), varLongWord), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(128), varShortInt), EVariantOverflowError);
  EXPECT_THROW(VarAsType(Variant(40000), varSmallint), EVariantOverflowError);
  EXPECT_EQ(VarAsType(Variant(255), varByte).AsInteger(), 255);
  EXPECT_EQ(VarAsType(Variant(-128), varShortInt).AsInteger(), -128);
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(1e300).AsInt64(); }),
            "Overflow while converting variant of type (Double) into type (Int64)");
  EXPECT_THROW(Variant(std::nan("")).AsInteger(), EVariantOverflowError);
  EXPECT_THROW(Variant(2147483647.5).AsInteger(), EVariantOverflowError);
  EXPECT_EQ(Variant(2147483646.5).AsInteger(), 2147483646);
  EXPECT_THROW(Variant("99999999999999999999").AsInt64(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::uint64_t{9223372036854775808ULL}).AsInt64(), EVariantOverflowError);
  EXPECT_THROW(Variant(1e20).AsCurrency(), EVariantOverflowError);
  EXPECT_THROW(Variant(std::int64_t{922337203685478}).AsCurrency(), EVariantOverflowError);
  EXPECT_EQ(Variant(std::int64_t{922337203685477}).AsCurrency().Value, 9223372036854770000);
  EXPECT_THROW(Variant(StrToBcd("1e30")).AsCurrency(), EVariantOverflowError);
  EXPECT_EQ(MessageOf<EVariantOverflowError>([] { Variant(StrToBcd("1e30")).AsInteger(); }),
            "Overflow while converting variant of type (FMTBcd) into type (Integer)");
  EXPECT_THROW(VarAsType(Variant(1e39), varSingle), EVariantOverflowError);
  EXPECT_TRUE(std::isinf(VarAsType(Variant(HUGE_VAL), varSingle).AsDouble()));
}

TEST(VariantConvert, BadTextRaisesTheParsersError) {
  EXPECT_EQ(MessageOf<EConvertError>([] { Variant("abc").AsInteger(); }),
            "'abc' is not a valid integer value");
  EXPECT_EQ(MessageOf<EConvertError>([] { Variant(u"abc").AsDouble(); }),
            "'abc' is not a valid floating point value");
  EXPECT_EQ(MessageOf<EConvertError>([] { Variant("1.2.3").AsCurrency(); }),
            "'1.2.3' is not a valid currency value");
  EXPECT_EQ(MessageOf<EConvertError>([] { Variant("maybe").AsBoolean(); }),
            "'maybe' is not a valid boolean value");
  EXPECT_THROW(Variant("31/31/2024").AsDateTime(), EConvertError);
  EXPECT_THROW(Variant("abc").AsBcd(), EBcdException);
  EXPECT_THROW(VarAsType(Variant(""), varInteger), EConvertError);
}

TEST(VariantArray, BoundsAndElementTypes) {
  Variant a = VarArrayCreate(1, 3, varInteger);
  EXPECT_TRUE(VarIsArray(a));
  EXPECT_EQ(VarType(a), varArray | varInteger);
  EXPECT_EQ(VarArrayDimCount(a), 1);
  EXPECT_EQ(VarArrayLowBound(a, 1), 1);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(VarType(VarArrayGet(a, 2)), varInteger);
  EXPECT_EQ(VarArrayGet(a, 2).AsInteger(), 0);
  VarArrayPut(a, Variant("7"), 3);  // converted to the element type
  EXPECT_EQ(VarType(VarArrayGet(a, 3)), varInteger);
  EXPECT_EQ(VarArrayGet(a, 3).AsInteger(), 7);
  EXPECT_EQ(MessageOf<EVariantBadIndexError>([&] { VarArrayGet(a, 0); }),
            "Variant or safe array index out of bounds");
  EXPECT_THROW(VarArrayGet(a, 4), EVariantBadIndexError);
  EXPECT_THROW(VarArrayPut(a, Variant(1), std::numeric_limits<int>::min()), EVariantBadIndexError);
  EXPECT_THROW(VarArrayPut(a, Null(), 1), EVariantTypeCastError);
  EXPECT_THROW(VarArrayLowBound(a, 2), EVariantBadIndexError);

  const Variant empty = VarArrayCreate(0, -1, varVariant);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_THROW(VarArrayGet(empty, 0), EVariantBadIndexError);

  EXPECT_THROW(VarArrayCreate(0, 1, varString), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate(0, 1, varNull), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate(0, 1, varArray | varInteger), EVariantArrayCreateError);
  EXPECT_THROW(VarArrayCreate(5, 3, varInteger), EVariantArrayCreateError);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_EQ(MessageOf<EVariantError>([] { VarArrayLowBound(Variant(1), 1); }),
            "Variant is not an array");
  EXPECT_THROW(Variant(1).GetElement(0), EVariantError);
  EXPECT_EQ(MessageOf<EVariantTypeCastError>([&] { VarArrayOf({1, 2}).AsInteger(); }),
            "Could not convert variant of type (Array Variant) into type (Integer)");
  EXPECT_THROW(VarToStr(a), EVariantTypeCastError);
}

TEST(VariantArray, ByteArraysHoldBytes) {
  Variant bytes = VarArrayCreate(0, 2, varByte);
  VarArrayPut(bytes, Variant(255), 0);
  VarArrayPut(bytes, Variant("16"), 1);
  EXPECT_THROW(VarArrayPut(bytes, Variant(256), 2), EVariantOverflowError);
  EXPECT_THROW(VarArrayPut(bytes, Variant(-1), 2), EVariantOverflowError);
  EXPECT_EQ(VarType(VarArrayGet(bytes, 0)), varByte);
  const std::vector<std::uint8_t> expected{255, 16, 0};
  const auto span = bytes.Bytes();
  EXPECT_EQ(std::vector<std::uint8_t>(span.begin(), span.end()), expected);

  const std::vector<std::uint8_t> blob{1, 2, 3, 0, 200};
  const Variant fromBlob = VarArrayOfBytes(blob);
  EXPECT_EQ(VarType(fromBlob), varArray | varByte);
  EXPECT_EQ(VarArrayHighBound(fromBlob, 1), 4);
  EXPECT_EQ(VarArrayGet(fromBlob, 4).AsInteger(), 200);
  EXPECT_EQ(VarCompareValue(fromBlob, VarArrayOfBytes(blob)), vrEqual);
  EXPECT_THROW(VarArrayOf({1}).Bytes(), EVariantTypeCastError);
}

TEST(VariantArray, VariantArraysAreDeepValues) {
  Variant a = VarArrayOf({1, "two", 3.0, VarArrayOf({4, 5})});
  EXPECT_EQ(VarType(a), varArray | varVariant);
  EXPECT_EQ(VarArrayLowBound(a, 1), 0);
  EXPECT_EQ(VarArrayHighBound(a, 1), 3);
  EXPECT_EQ(VarType(VarArrayGet(a, 1)), varString);
  EXPECT_EQ(VarType(VarArrayGet(a, 2)), varDouble);
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, 3), 1).AsInteger(), 5);

  Variant copy = a;
  VarArrayPut(copy, Variant("changed"), 0);
  EXPECT_EQ(VarArrayGet(a, 0).AsInteger(), 1);
  EXPECT_NE(VarCompareValue(a, copy), vrEqual);

  // Storing an array in itself stores a copy of what it was.
  VarArrayPut(a, a, 0);
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, 0), 0).AsInteger(), 1);
  EXPECT_EQ(VarArrayGet(VarArrayGet(a, 0), 1).AsString(), "two");
}

TEST(VariantCompare, NumbersAcrossKinds) {
  EXPECT_EQ(VarCompareValue(Variant(1), Variant(1.0)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(std::int16_t{2}), Variant(std::int64_t{3})), vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant(Currency::FromScaled(15000)), Variant(1.5)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(StrToBcd("1.50")), Variant(1.5)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(StrToBcd("2.000")), Variant(2)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(StrToBcd("0.1")), Variant(Currency::FromScaled(1000))), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(std::uint64_t{9223372036854775808ULL}),
                            Variant(std::numeric_limits<std::int64_t>::max())),
            vrGreaterThan);
  // Exact where doubles would see equal values.
  EXPECT_EQ(VarCompareValue(Variant(std::int64_t{9007199254740993}),
                            Variant(StrToBcd("9007199254740992"))),
            vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Variant(-0.5), Variant(std::int8_t{-1})), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Variant(std::nan("")), Variant(1.0)), vrNotEqual);
  EXPECT_TRUE(Variant(1) == 1.0);
  EXPECT_TRUE(Variant(2) < Variant(2.5));
  EXPECT_TRUE(Variant(3) >= Variant(Currency::FromInt(3)));
}

TEST(VariantCompare, TextBooleansAndDates) {
  EXPECT_EQ(VarCompareValue(Variant("apple"), Variant("banana")), vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant("abc"), Variant(u"abc")), vrEqual);
  // Text against a number is read as a number, not compared as text.
  EXPECT_EQ(VarCompareValue(Variant("10"), Variant(9)), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Variant("1.50"), Variant(1.5)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(Currency::FromScaled(1)), Variant("0.0001")), vrEqual);
  EXPECT_THROW(VarCompareValue(Variant("abc"), Variant(1)), EConvertError);
  EXPECT_EQ(VarCompareValue(Variant(false), Variant(true)), vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant(true), Variant(-1)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant("True"), Variant(true)), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(TDateTime(2.0)), Variant(TDateTime(1.5))), vrGreaterThan);
  EXPECT_EQ(VarCompareValue(Variant(TDateTime(2.0)), Variant("1/1/1900")), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(Stamp(2024, 1, 1, 0, 0, 0, 1)), Variant(Stamp(2024, 1, 1, 0, 0, 0, 2))),
            vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant(Stamp(2024, 1, 1, 12, 0, 0, 0)), Variant(EncodeDateTime(2024, 1, 1, 12, 0, 0, 0))),
            vrEqual);
}

TEST(VariantCompare, NullEmptyAndArrays) {
  EXPECT_EQ(VarCompareValue(Null(), Null()), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(), Variant()), vrEqual);
  EXPECT_EQ(VarCompareValue(Null(), Variant()), vrNotEqual);
  EXPECT_EQ(VarCompareValue(Null(), Variant(0)), vrNotEqual);
  EXPECT_EQ(VarCompareValue(Variant(""), Variant()), vrNotEqual);
  EXPECT_TRUE(Null() == Null());
  EXPECT_TRUE(Null() != Variant(0));
  EXPECT_TRUE(Null() < Variant(-1e300));
  EXPECT_FALSE(Variant(-1e300) < Null());
  EXPECT_FALSE(Null() < Null());
  EXPECT_TRUE(Null() <= Null());
  EXPECT_FALSE(Variant() < Variant(1));

  const Variant a = VarArrayOf({1, "x"});
  EXPECT_EQ(VarCompareValue(a, VarArrayOf({1, "x"})), vrEqual);
  EXPECT_EQ(VarCompareValue(a, VarArrayOf({1, "y"})), vrNotEqual);
  EXPECT_EQ(VarCompareValue(a, VarArrayOf({1})), vrNotEqual);
  EXPECT_EQ(VarCompareValue(a, Variant(1)), vrNotEqual);
  EXPECT_EQ(VarCompareValue(a, VarArrayOf({1.0, "x"})), vrNotEqual);  // no conversion inside
  EXPECT_FALSE(a < VarArrayOf({2, "x"}));
  Variant shifted = VarArrayCreate(1, 2, varVariant);
  VarArrayPut(shifted, Variant(1), 1);
  VarArrayPut(shifted, Variant("x"), 2);
  EXPECT_EQ(VarCompareValue(a, shifted), vrNotEqual);
}

TEST(VariantBcd, CreateAndReadBack) {
  const Variant v = VarFMTBcdCreate("123.456", 10, 2);
  EXPECT_TRUE(VarIsFMTBcd(v));
  EXPECT_EQ(BcdScale(VarToBcd(v)), 2);
  EXPECT_EQ(VarToStr(v), "123.45");
  EXPECT_EQ(VarToStr(VarFMTBcdCreate(2.5)), "2.5");
  EXPECT_EQ(BcdScale(VarToBcd(VarFMTBcdCreate(2.5))), 4);
  EXPECT_THROW(VarFMTBcdCreate("123456", 4, 0), EBcdOverflowException);
  EXPECT_TRUE(VarIsSQLTimeStamp(VarSQLTimeStampCreate(EncodeDate(2000, 1, 1))));
  EXPECT_TRUE(VarToSQLTimeStamp(VarSQLTimeStampCreate(EncodeDate(2000, 1, 1))) == Stamp(2000, 1, 1, 0, 0, 0, 0));
}

}  // namespace
}  // namespace zv
