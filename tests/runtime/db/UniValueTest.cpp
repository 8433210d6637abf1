// The universal value as a whole: its life cycle, the flag rules of type changes, null, raw
// bytes, the variant holder, assignment between values, ordering and blob streams.

#include "UniValueTestUtil.h"

#include "platform/classes/Streams.h"
#include "platform/rtl/DateFormat.h"
#include "runtime/db/ValueAccessor.h"

using namespace zvtest;

TEST(UniValue, NewValueIsNullUntypedAndOnlyTextAndVariantReadsSucceed) {
  TvpUniValue v;
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(v.DataType(), ftUnknown);
  EXPECT_EQ(v.BufferSize(), 0);
  EXPECT_TRUE(v.StoreDataType());
  EXPECT_FALSE(v.Modified());
  EXPECT_FALSE(v.ChangingType());
  EXPECT_EQ(&v.Accessor(), &BaseAccessor());
  EXPECT_EQ(v.AsString(), "");
  EXPECT_TRUE(VarIsNull(v.AsVariant()));
  EXPECT_TRUE(VarIsNull(v.AsByteArray()));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsInteger(); }), AccessError("Integer"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsFloat(); }), AccessError("Float"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsBoolean(); }), AccessError("Boolean"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsDateTime(); }), AccessError("DateTime"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsSQLTimeStamp(); }), AccessError("SQLTimeStamp"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsLargeint(); }), AccessError("Integer"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.AsWideString(); }), AccessError("String"));
}

TEST(UniValue, WithBothFlagsOffTheFirstTypeSticks) {
  TvpUniValue v;
  v.SetAsInteger(5);
  EXPECT_EQ(v.DataType(), ftInteger);
  EXPECT_TRUE(v.Modified());
  v.SetAsString("12");
  EXPECT_EQ(v.DataType(), ftInteger);
  EXPECT_EQ(v.AsInteger(), 12);
  EXPECT_EQ(v.BufferSize(), 4);
  v.SetAsString("");
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(v.DataType(), ftInteger);
  v.SetDataType(ftString);
  EXPECT_EQ(v.DataType(), ftInteger);
  v.SetAsFloat(2.5);  // converted by the integer kind, ties to even
  EXPECT_EQ(v.AsInteger(), 2);
}

TEST(UniValue, ConvertOnChangeCarriesTheValueIntoTheNewKind) {
  TvpUniValue v(false, true);
  v.SetAsInteger(42);
  v.SetDataType(ftString);
  EXPECT_EQ(v.DataType(), ftString);
  EXPECT_EQ(v.AsString(), "42");
  EXPECT_EQ(v.BufferSize(), 3);
  v.SetDataType(ftInteger);
  EXPECT_EQ(v.AsInteger(), 42);

  v.SetDataType(ftString);
  v.SetAsString("3/5/2024 1:02:03 PM");
  v.SetDataType(ftDate);
  EXPECT_EQ(v.AsDateTime().Value, EncodeDateTime(2024, 3, 5, 13, 2, 3, 0).Value);
  v.SetDataType(ftString);  // a date kind's text is the date alone
  EXPECT_EQ(v.AsString(), "3/5/2024");
  EXPECT_THROW(v.SetDataType(ftFloat), EConvertError);
  EXPECT_TRUE(v.IsNull());

  TvpUniValue text(false, true);
  text.SetAsString("abc");
  try {
    text.SetDataType(ftInteger);
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid integer value");
  }
  EXPECT_TRUE(text.IsNull());
  EXPECT_EQ(text.DataType(), ftInteger);
  EXPECT_FALSE(text.ChangingType());

  TvpUniValue nothing(false, true);  // a null value changes kind with nothing to convert
  nothing.SetDataType(ftBoolean);
  nothing.SetDataType(ftFloat);
  EXPECT_TRUE(nothing.IsNull());
  EXPECT_EQ(nothing.DataType(), ftFloat);
}

TEST(UniValue, AutoChangeTypeRetypesOnEveryWriteWithoutConvertingTheOldValue) {
  TvpUniValue autoValue(true, false);
  autoValue.SetAsInteger(1);
  autoValue.SetAsFloat(1.5);
  EXPECT_EQ(autoValue.DataType(), ftFloat);
  EXPECT_EQ(autoValue.AsFloat(), 1.5);

  TvpUniValue fixed;
  fixed.SetAsInteger(1);
  fixed.SetAsFloat(1.5);
  EXPECT_EQ(fixed.DataType(), ftInteger);
  EXPECT_EQ(fixed.AsInteger(), 2);
  fixed.SetAsFloat(2.5);
  EXPECT_EQ(fixed.AsInteger(), 2);
  fixed.SetAsFloat(3.5);
  EXPECT_EQ(fixed.AsInteger(), 4);
  fixed.SetAsFloat(-2.5);
  EXPECT_EQ(fixed.AsInteger(), -2);

  // Both flags: a write never converts the value it replaces, so "abc" cannot fail it.
  TvpUniValue both(true, true);
  both.SetAsString("abc");
  both.SetAsInteger(5);
  EXPECT_EQ(both.DataType(), ftInteger);
  EXPECT_EQ(both.AsInteger(), 5);
  EXPECT_FALSE(both.ChangingType());
}

TEST(UniValue, FailedWriteKeepsTheValueOrLeavesItClearedInTheRequestedKind) {
  TvpUniValue v;
  v.SetAsInteger(7);
  v.SetModified(false);
  EXPECT_THROW(v.SetAsString("x"), EConvertError);
  EXPECT_THROW(v.SetAsFloat(3e9), ERangeError);
  EXPECT_THROW(v.SetAsBoolean(true), EDatabaseError);
  EXPECT_EQ(v.AsInteger(), 7);
  EXPECT_FALSE(v.Modified());

  TvpUniValue retyped(true, false);
  retyped.SetAsInteger(7);
  EXPECT_EQ(DatabaseErrorOf([&] { retyped.SetAsByteArray(Variant(5)); }), "Invalid variant type or size");
  EXPECT_TRUE(retyped.IsNull());
  EXPECT_EQ(retyped.DataType(), ftBytes);
  EXPECT_FALSE(retyped.ChangingType());
}

TEST(UniValue, ClearingSetsModifiedAndIsNullFalseDoesNothing) {
  TvpUniValue v;
  v.Clear();  // even a null value counts as changed
  EXPECT_TRUE(v.Modified());
  v.SetModified(false);
  v.SetAsString("a");
  v.SetModified(false);
  v.SetIsNull(false);
  EXPECT_FALSE(v.IsNull());
  EXPECT_FALSE(v.Modified());
  v.SetIsNull(true);
  EXPECT_TRUE(v.IsNull());
  EXPECT_TRUE(v.Modified());
  EXPECT_EQ(v.DataType(), ftString);
}

TEST(UniValue, RawBytesGrowShrinkAndEmptyToNull) {
  TvpUniValue v;
  v.SetDataType(ftGuid);  // a kind without typed access
  const std::vector<std::uint8_t> guid{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  v.SetData(guid);
  EXPECT_EQ(BytesOf(v), guid);
  EXPECT_EQ(BytesOf(v.AsByteArray()), guid);
  EXPECT_EQ(VarArrayLowBound(v.AsByteArray(), 1), 0);
  EXPECT_EQ(VarArrayHighBound(v.AsByteArray(), 1), 15);

  v.SetModified(false);
  v.SetBufferSize(20);  // keeps the bytes, zero-fills the rest, not a change of value
  EXPECT_EQ(v.BufferSize(), 20);
  EXPECT_EQ(v.Data()[15], 16);
  EXPECT_EQ(v.Data()[19], 0);
  EXPECT_FALSE(v.Modified());
  v.SetBufferSize(100);  // past the inline capacity
  EXPECT_EQ(v.Data()[0], 1);
  EXPECT_EQ(v.Data()[99], 0);
  v.SetBufferSize(2);
  EXPECT_EQ(BytesOf(v), (std::vector<std::uint8_t>{1, 2}));
  EXPECT_THROW(v.SetBufferSize(-1), ERangeError);
  EXPECT_EQ(v.BufferSize(), 2);
  v.SetBufferSize(0);
  EXPECT_TRUE(v.IsNull());

  const std::vector<std::uint8_t> big(1000, 0xAB);
  v.SetData(big);
  EXPECT_EQ(BytesOf(v), big);
  v.SetData(nullptr, 5);
  EXPECT_TRUE(v.IsNull());
  EXPECT_TRUE(v.Modified());

  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsInteger(1); }), AccessError("Integer"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsString("x"); }), AccessError("String"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsLargeint(1); }), AccessError("LargeInt"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsWideString(u"x"); }), AccessError("WideString"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsVariant(Variant(1)); }), AccessError("Variant"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsSQLTimeStamp({}); }), AccessError("SQLTimeStamp"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsDateTime(1.0); }), AccessError("DateTime"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsByteArray(ByteArray({1})); }), AccessError("ByteArray"));
  EXPECT_EQ(DatabaseErrorOf([&] { v.SetAsCurrency(Currency::FromInt(1)); }), AccessError("Float"));
}

TEST(UniValue, BaseKindsCopyTheirBytesAndRefuseEverythingElse) {
  TvpUniValue a, b, other;
  a.SetDataType(ftGuid);
  a.SetData(std::vector<std::uint8_t>{9, 8, 7});
  b.Assign(a);
  EXPECT_EQ(b.DataType(), ftGuid);
  EXPECT_EQ(BytesOf(b), (std::vector<std::uint8_t>{9, 8, 7}));
  EXPECT_EQ(a.CompareWith(b, true, true), 0);
  b.SetData(std::vector<std::uint8_t>{9, 8, 8});
  EXPECT_LT(a.CompareWith(b, true, true), 0);
  EXPECT_GT(b.CompareWith(a, true, true), 0);

  other.SetAsInteger(5);
  EXPECT_EQ(DatabaseErrorOf([&] { b.Assign(other); }), AccessError("Guid"));
  EXPECT_EQ(BytesOf(b), (std::vector<std::uint8_t>{9, 8, 8}));
}

TEST(UniValue, VariantHolderLivesExactlyAsLongAsTheValueHoldsBytes) {
  TvpUniValue v;
  v.SetAsVariant(Variant(3));
  EXPECT_EQ(v.DataType(), ftVariant);
  EXPECT_EQ(v.BufferSize(), 4);
  ASSERT_NE(v.VariantHolder(), nullptr);
  EXPECT_EQ(v.AsInteger(), 3);

  v.SetModified(false);
  const TvpVariantHolder* holder = v.VariantHolder();
  v.SetAsVariant(Variant(String("x")));  // the holder is reused
  EXPECT_EQ(v.VariantHolder(), holder);
  EXPECT_TRUE(v.Modified());
  EXPECT_EQ(v.AsVariant().VarType(), varString);

  TMemoryStream stream;  // its four bytes are no address and are not written
  v.SaveToStream(stream);
  EXPECT_EQ(stream.Size(), 0);

  v.SetAsVariant(Variant::Null());
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(v.VariantHolder(), nullptr);
  v.SetAsVariant(Variant(1.5));
  v.SetBufferSize(0);
  EXPECT_EQ(v.VariantHolder(), nullptr);
  v.SetAsVariant(Variant(true));
  v.Clear();
  EXPECT_EQ(v.VariantHolder(), nullptr);

  TvpUniValue converted(false, true);  // leaving the variant kind frees the holder
  converted.SetAsVariant(Variant(7));
  converted.SetDataType(ftInteger);
  EXPECT_EQ(converted.VariantHolder(), nullptr);
  EXPECT_EQ(converted.AsInteger(), 7);
}

TEST(UniValue, AssignmentBetweenValuesCopiesNullConvertsOrRetypes) {
  TvpUniValue source;
  source.SetAsInteger(5);
  TvpUniValue fresh;
  fresh.Assign(&source);
  EXPECT_EQ(fresh.DataType(), ftInteger);
  EXPECT_EQ(fresh.AsInteger(), 5);

  TvpUniValue text;
  text.SetAsString("old");
  text.Assign(source);
  EXPECT_EQ(text.DataType(), ftString);
  EXPECT_EQ(text.AsString(), "5");

  TvpUniValue retyped(true, false);
  retyped.SetAsString("old");
  retyped.Assign(source);
  EXPECT_EQ(retyped.DataType(), ftInteger);

  TvpUniValue null;
  null.SetDataType(ftFloat);
  text.Assign(null);  // a null source clears, the kind stays
  EXPECT_TRUE(text.IsNull());
  EXPECT_EQ(text.DataType(), ftString);

  source.Assign(source);
  EXPECT_EQ(source.AsInteger(), 5);

  TvpUniValue dest;  // AssignTo a value is that value's Assign
  TvpVariantHolder holder;
  holder.SetValue(Variant(1));
  try {
    dest.Assign(&holder);
    ADD_FAILURE() << "no assignment error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TvpVariantHolder to a TvpUniValue");
  }
  EXPECT_THROW(holder.Assign(&source), EConvertError);
  EXPECT_THROW(dest.Assign(static_cast<const TPersistent*>(nullptr)), EConvertError);
}

TEST(UniValue, CompareWithOrdersNullsByTheFlagAndValuesByThisValuesKind) {
  TvpUniValue null, five, nine;
  null.SetDataType(ftInteger);
  five.SetAsInteger(5);
  nine.SetAsInteger(9);
  EXPECT_EQ(null.CompareWith(five, false, true), -1);
  EXPECT_EQ(null.CompareWith(five, false, false), 1);
  EXPECT_EQ(five.CompareWith(null, false, true), 1);
  EXPECT_EQ(five.CompareWith(null, false, false), -1);
  EXPECT_EQ(null.CompareWith(null, false, true), 0);
  EXPECT_LT(five.CompareWith(nine, false, true), 0);

  TvpUniValue abc, ABC;
  abc.SetAsString("abc");
  ABC.SetAsString("ABC");
  EXPECT_EQ(abc.CompareWith(ABC, false, true), 0);
  EXPECT_NE(abc.CompareWith(ABC, true, true), 0);

  // The left value's kind decides: the text "10" sorts before "9", the number 10 after 9.
  TvpUniValue ten, text9;
  ten.SetAsString("10");
  text9.SetAsString("9");
  EXPECT_LT(ten.CompareWith(nine, true, true), 0);
  TvpUniValue number10;
  number10.SetAsInteger(10);
  EXPECT_GT(number10.CompareWith(text9, true, true), 0);

  auto wideA = MakeValue(ftWideString), wideB = MakeValue(ftWideString);
  wideA->SetAsWideString(u"\u00C9t\u00E9");
  wideB->SetAsWideString(u"\u00E9T\u00C9");
  EXPECT_EQ(wideA->CompareWith(*wideB, true, true), 0);
  auto blobA = MakeValue(ftMemo), blobB = MakeValue(ftMemo);
  blobA->SetAsString("Memo");
  blobB->SetAsString("MEMO");
  EXPECT_EQ(blobA->CompareWith(*blobB, true, true), 0);

  // Byte values are ordered by their bytes, so that searching for one finds only it.
  auto binA = MakeValue(ftVarBytes), binB = MakeValue(ftVarBytes);
  binA->SetAsByteArray(ByteArray({1, 2, 3}));
  binB->SetAsByteArray(ByteArray({1, 2, 3}));
  EXPECT_EQ(binA->CompareWith(*binB, true, true), 0);
  binB->SetAsByteArray(ByteArray({1, 2, 4}));
  EXPECT_LT(binA->CompareWith(*binB, true, true), 0);
  binB->SetAsByteArray(ByteArray({1, 2}));
  EXPECT_GT(binA->CompareWith(*binB, true, true), 0);
}

TEST(UniValue, LoadFromStreamReadsWholeStreamsIntoBlobKindsOnly) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);  // left at its end, as after writing

  auto text = MakeValue(ftString);
  text->SetAsString("x");
  text->SetModified(false);
  text->LoadFromStream(stream);
  EXPECT_EQ(text->AsString(), "x");
  EXPECT_FALSE(text->Modified());

  auto blob = MakeValue(ftBlob);
  blob->LoadFromStream(stream);
  EXPECT_EQ(blob->AsString(), "hello");
  EXPECT_EQ(blob->BufferSize(), 5);
  EXPECT_TRUE(blob->Modified());

  TMemoryStream empty;
  blob->SetModified(false);
  blob->LoadFromStream(empty);
  EXPECT_TRUE(blob->IsNull());
  EXPECT_TRUE(blob->Modified());

  TMemoryStream out;  // the stored bytes as they are: a string with its terminator
  text->SaveToStream(out);
  EXPECT_EQ(out.Size(), 2);
  EXPECT_EQ(out.Memory()[0], 'x');
  EXPECT_EQ(out.Memory()[1], 0);
  TMemoryStream none;
  blob->SaveToStream(none);
  EXPECT_EQ(none.Size(), 0);
}

TEST(UniValue, IsBlobFieldIsTrueForExactlyTheNineBlobTypes) {
  int count = 0;
  for (int t = ftUnknown; t <= ftFMTBcd; ++t) count += IsBlobField(static_cast<TFieldType>(t)) ? 1 : 0;
  EXPECT_EQ(count, 9);
  for (TFieldType t : {ftBlob, ftMemo, ftGraphic, ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftOraBlob, ftOraClob}) {
    EXPECT_TRUE(IsBlobField(t));
    EXPECT_EQ(&AccessorOf(t), &AccessorOf(ftBlob));
  }
  EXPECT_FALSE(IsBlobField(ftBytes));
  EXPECT_FALSE(IsBlobField(ftString));
}
