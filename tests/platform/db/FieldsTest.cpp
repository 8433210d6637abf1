// Fields on a one-record test dataset: the write checks and events of TField, and each field
// class's conversions, formats, ranges and failures with the host's messages.

#include "platform/db/Fields.h"

#include "platform/classes/Streams.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/db/TestDataSet.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace zv;
using zvtest::TTestDataSet;

namespace zvtest {
ZV_DEFINE_CLASS(TTestDataSet, TDataSet)
}

namespace {

// Runs f and returns the message of the exception of type E it raised ("" when none).
template <class E = EDatabaseError>
String ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return String();
}

// A dataset with fields made by the test; the dataset owns them.
class FieldsFixture : public ::testing::Test {
protected:
  template <class F>
  F* Make(const String& name) {
    auto* f = new F(&ds);
    f->SetFieldName(name);
    f->SetDataSet(&ds);
    return f;
  }
  void Edit() { ds.SetTestState(dsEdit); }

  TTestDataSet ds;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TField

TEST_F(FieldsFixture, WritesNeedADataSetAnEditStateAndAWritableField) {
  TStringField loose(nullptr);
  loose.SetFieldName("Name");
  EXPECT_EQ(ErrorOf([&] { loose.SetAsString("x"); }), "Field 'Name' has no dataset");
  EXPECT_EQ(ErrorOf([&] { (void)loose.IsNull(); }), "Field 'Name' has no dataset");

  auto* name = Make<TStringField>("Name");
  name->SetDisplayLabel("Customer name");
  EXPECT_EQ(ErrorOf([&] { name->SetAsString("x"); }), SNotEditing);
  Edit();
  name->SetReadOnly(true);
  EXPECT_EQ(ErrorOf([&] { name->SetAsString("x"); }), "Field 'Customer name' cannot be modified");
  EXPECT_EQ(ds.Writes, 0);
  // Calculations may fill read-only fields.
  ds.SetTestState(dsCalcFields);
  name->SetAsString("calc");
  EXPECT_EQ(name->AsString(), "calc");
  ds.SetTestState(dsInsert);
  name->SetReadOnly(false);
  name->SetAsString("ok");
  EXPECT_EQ(ds.Writes, 2);
  name->Clear();
  EXPECT_TRUE(name->IsNull());
  EXPECT_TRUE(ds.Raw(name).IsNull());
}

TEST_F(FieldsFixture, OnValidateSeesTheNewValueAndCanRefuseIt_OnChangeFollowsTheWrite) {
  auto* qty = Make<TIntegerField>("Qty");
  Edit();
  qty->SetAsInteger(1);
  std::vector<String> log;
  qty->OnValidate = [&](TField* f) {
    log.push_back("validate " + f->AsString());
    if (f->AsInteger() < 0) DatabaseError("negative");
  };
  qty->OnChange = [&](TField* f) { log.push_back("change " + f->AsString()); };
  qty->SetAsInteger(5);
  EXPECT_EQ(ErrorOf([&] { qty->SetAsInteger(-3); }), "negative");
  // The refused value never reached the record, and the field reads the stored one again.
  EXPECT_EQ(qty->AsInteger(), 5);
  EXPECT_EQ(log, (std::vector<String>{"validate 5", "change 5", "validate -3"}));
}

TEST_F(FieldsFixture, OnGetTextReplacesTheTextAndOnSetTextReplacesTheConversion) {
  auto* price = Make<TFloatField>("Price");
  price->SetDisplayFormat("0.00");
  Edit();
  price->SetAsFloat(2.5);
  EXPECT_EQ(price->DisplayText(), "2.50");
  EXPECT_EQ(price->Text(), "2.50");  // no EditFormat: editing uses DisplayFormat
  price->SetEditFormat("0.0##");
  EXPECT_EQ(price->Text(), "2.5");

  std::vector<bool> asked;
  price->OnGetText = [&](TField* f, String& text, bool display) {
    asked.push_back(display);
    EXPECT_TRUE(text.empty());
    text = (display ? "show " : "edit ") + f->AsString();
  };
  EXPECT_EQ(price->DisplayText(), "show 2.5");
  EXPECT_EQ(price->Text(), "edit 2.5");
  EXPECT_EQ(asked, (std::vector<bool>{true, false}));

  price->SetText("7");
  EXPECT_EQ(price->AsFloat(), 7.0);
  price->OnSetText = [](TField* f, const String& text) { f->SetAsFloat(static_cast<double>(text.size())); };
  price->SetText("abcd");
  EXPECT_EQ(price->AsFloat(), 4.0);
}

TEST_F(FieldsFixture, ConversionsAClassLacksRaiseTheAccessErrorWithTheHostTypeName) {
  auto* flag = Make<TBooleanField>("Flag");
  auto* name = Make<TStringField>("Name");
  auto* qty = Make<TIntegerField>("Qty");
  auto* memo = Make<TMemoField>("Notes");
  flag->SetDisplayLabel("Active");
  EXPECT_EQ(ErrorOf([&] { (void)flag->AsInteger(); }), "Cannot access field 'Active' as type Integer");
  EXPECT_EQ(ErrorOf([&] { (void)flag->AsFloat(); }), "Cannot access field 'Active' as type Float");
  EXPECT_EQ(ErrorOf([&] { (void)flag->AsLargeInt(); }), "Cannot access field 'Active' as type Largeint");
  EXPECT_EQ(ErrorOf([&] { (void)flag->AsDateTime(); }), "Cannot access field 'Active' as type DateTime");
  EXPECT_EQ(ErrorOf([&] { (void)name->AsSQLTimeStamp(); }), "Cannot access field 'Name' as type SQLTimeStamp");
  EXPECT_EQ(ErrorOf([&] { (void)qty->AsBoolean(); }), "Cannot access field 'Qty' as type Boolean");
  EXPECT_EQ(ErrorOf([&] { (void)qty->AsBCD(); }), "Cannot access field 'Qty' as type BCD");
  EXPECT_EQ(ErrorOf([&] { qty->SetAsDateTime(1.0); }), "Cannot access field 'Qty' as type DateTime");
  EXPECT_EQ(ErrorOf([&] { (void)memo->AsInteger(); }), "Cannot access field 'Notes' as type Integer");
  // Currency goes through the float conversion, as the host's TField does.
  Edit();
  name->SetAsString("2.5");
  EXPECT_EQ(name->AsCurrency(), Currency::FromScaled(25000));
  EXPECT_EQ(ErrorOf([&] { (void)flag->AsCurrency(); }), "Cannot access field 'Active' as type Float");
}

TEST_F(FieldsFixture, NamesAreUniqueInADataSetAndFieldsLeaveItWhenDestroyed) {
  auto* id = Make<TIntegerField>("ID");
  EXPECT_EQ(ErrorOf([&] { Make<TStringField>("id"); }), "Duplicate field name 'id'");
  auto* name = Make<TStringField>("Name");
  EXPECT_EQ(ErrorOf([&] { name->SetFieldName("Id"); }), "Duplicate field name 'Id'");
  name->SetFieldName("NAME");  // a change of case is no clash
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.FieldByName("name"), name);
  EXPECT_EQ(name->Index(), 1);
  name->SetIndex(0);
  EXPECT_EQ(ds.Fields()[0], name);
  EXPECT_EQ(id->Index(), 1);

  auto* extra = new TStringField(nullptr);
  extra->SetFieldName("Extra");
  extra->SetDataSet(&ds);
  EXPECT_EQ(ds.FieldCount(), 3);
  delete extra;
  EXPECT_EQ(ds.FieldCount(), 2);
  EXPECT_EQ(ds.FindField("Extra"), nullptr);

  TStringField unnamed(nullptr);
  EXPECT_EQ(ErrorOf([&] { unnamed.SetDataSet(&ds); }), SFieldNameMissing);

  // The field list and names are fixed while the dataset is open.
  Edit();
  TStringField late(nullptr);
  late.SetFieldName("Late");
  EXPECT_EQ(ErrorOf([&] { late.SetDataSet(&ds); }), SDataSetOpen);
  EXPECT_EQ(ErrorOf([&] { name->SetFieldName("Other"); }), SDataSetOpen);
  EXPECT_EQ(ErrorOf([&] { id->SetDataSet(nullptr); }), SDataSetOpen);
  EXPECT_EQ(ds.FieldCount(), 2);
}

TEST_F(FieldsFixture, DisplayPropertiesHaveClassDefaults) {
  auto* s = Make<TStringField>("S");
  auto* i = Make<TIntegerField>("I");
  auto* w = Make<TWordField>("W");
  auto* d = Make<TDateField>("D");
  auto* b = Make<TBooleanField>("B");
  EXPECT_EQ(s->DisplayWidth(), 20);
  s->SetSize(5);
  EXPECT_EQ(s->DisplayWidth(), 5);
  s->SetDisplayWidth(12);
  EXPECT_EQ(s->DisplayWidth(), 12);
  EXPECT_EQ(i->DisplayWidth(), 11);
  EXPECT_EQ(w->DisplayWidth(), 5);
  EXPECT_EQ(d->DisplayWidth(), 10);
  EXPECT_EQ(b->DisplayWidth(), 5);  // "False"
  EXPECT_EQ(s->Alignment(), taLeftJustify);
  EXPECT_EQ(i->Alignment(), taRightJustify);
  EXPECT_EQ(s->DisplayName(), "S");
  s->SetDisplayLabel("Label");
  EXPECT_EQ(s->DisplayName(), "Label");
  EXPECT_EQ(ErrorOf([&] { i->SetSize(4); }), SInvalidFieldSize);
  EXPECT_EQ(ErrorOf([&] { s->SetSize(-1); }), SInvalidFieldSize);
}

TEST_F(FieldsFixture, PublishedPropertiesCarryTheClassDefaults) {
  auto* i = Make<TIntegerField>("I");
  const TPropInfo* align = GetPropInfo(i, "Alignment");
  ASSERT_NE(align, nullptr);
  EXPECT_EQ(align->Default, taRightJustify);
  EXPECT_EQ(GetPropInfo(TStringField::StaticClass(), "Size")->Default, 20);
  EXPECT_EQ(GetPropInfo(TField::StaticClass(), "Alignment")->Default, taLeftJustify);
  EXPECT_EQ(GetPropInfo(TField::StaticClass(), "Size"), nullptr);
  for (const char* name : {"FieldName", "DisplayLabel", "DisplayWidth", "ReadOnly", "Required", "Visible",
                           "EditMask", "DisplayFormat", "EditFormat", "MinValue", "MaxValue"})
    EXPECT_NE(GetPropInfo(i, name), nullptr) << name;
  SetPropValue(i, "DisplayFormat", Variant("#,##0"));
  EXPECT_EQ(i->DisplayFormat(), "#,##0");
  auto* b = Make<TBooleanField>("B");
  SetStrProp(b, "DisplayValues", "Yes;No");
  EXPECT_EQ(b->DisplayValues(), "Yes;No");
  // DisplayWidth is stored only once set.
  EXPECT_FALSE(IsStoredProp(i, GetPropInfo(i, "DisplayWidth")));
  i->SetDisplayWidth(3);
  EXPECT_TRUE(IsStoredProp(i, GetPropInfo(i, "DisplayWidth")));

  // The lookup properties are published; LookupDataSet refers to a component that may go.
  {
    TTestDataSet other;
    SetObjectProp(i, "LookupDataSet", &other);
    EXPECT_EQ(i->LookupDataSet(), &other);
    EXPECT_THROW(SetObjectProp(i, "LookupDataSet", &ds), EDatabaseError);  // its own dataset
    SetStrProp(i, "KeyFields", "I");
    EXPECT_EQ(i->KeyFields(), "I");
    EXPECT_EQ(GetPropInfo(i, "LookupCache")->Default, 0);
  }
  EXPECT_EQ(i->LookupDataSet(), nullptr);
}

// ---------------------------------------------------------------------------------------------
// Class map

TEST(FieldClasses, DefaultClassesFollowTheHostHierarchy) {
  EXPECT_EQ(DefaultFieldClass(ftString), TStringField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftFixedChar), TStringField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftAutoInc), TAutoIncField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftCurrency), TCurrencyField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftTimeStamp), TSQLTimeStampField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftOraClob), TMemoField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftTypedBinary), TBlobField::StaticClass());
  EXPECT_EQ(DefaultFieldClass(ftADT), nullptr);
  EXPECT_EQ(DefaultFieldClass(ftCursor), nullptr);
  EXPECT_TRUE(TSmallintField::StaticClass()->InheritsFrom(TIntegerField::StaticClass()));
  EXPECT_TRUE(TCurrencyField::StaticClass()->InheritsFrom(TNumericField::StaticClass()));
  EXPECT_TRUE(TTimeField::StaticClass()->InheritsFrom(TDateTimeField::StaticClass()));
  EXPECT_TRUE(TGraphicField::StaticClass()->InheritsFrom(TBlobField::StaticClass()));
  EXPECT_TRUE(TVarBytesField::StaticClass()->InheritsFrom(TBinaryField::StaticClass()));
  EXPECT_TRUE(TWideStringField::StaticClass()->InheritsFrom(TStringField::StaticClass()));
  EXPECT_FALSE(TBooleanField::StaticClass()->InheritsFrom(TNumericField::StaticClass()));
  TMemoField memo(nullptr);
  TField* f = &memo;
  EXPECT_NE(dynamic_cast<TBlobField*>(f), nullptr);
  EXPECT_TRUE(f->IsBlob());
  EXPECT_EQ(f->DataType(), ftMemo);
  // Every class the map names can be created by name.
  for (int t = ftUnknown; t <= ftFMTBcd; ++t)
    if (TClass c = DefaultFieldClass(static_cast<TFieldType>(t))) {
      EXPECT_NE(c->Factory, nullptr) << c->Name;
    }
  EXPECT_STREQ(FieldTypeName(ftSmallint), "Smallint");
  EXPECT_STREQ(FieldTypeName(ftLargeint), "Largeint");
  EXPECT_STREQ(FieldTypeName(ftFMTBcd), "FMTBcd");
}

// ---------------------------------------------------------------------------------------------
// String fields

TEST_F(FieldsFixture, StringFieldsCutTextToSizeCharacters) {
  auto* s = Make<TStringField>("S");
  auto* unlimited = Make<TStringField>("U");
  auto* w = Make<TWideStringField>("W");
  s->SetSize(4);
  unlimited->SetSize(0);
  Edit();
  s->SetAsString("Grüße 😀");
  EXPECT_EQ(s->AsString(), "Grüß");
  EXPECT_EQ(ds.Raw(s).VarType(), varString);
  s->SetAsString("😀😀😀😀😀");
  EXPECT_EQ(s->AsString(), "😀😀😀😀");
  s->SetAsString("");
  EXPECT_FALSE(s->IsNull());
  const String longText(5000, 'x');
  unlimited->SetAsString(longText);
  EXPECT_EQ(unlimited->AsString(), longText);
  EXPECT_EQ(w->DataType(), ftWideString);
  w->SetValue(u"Ωmega");
  EXPECT_EQ(w->AsString(), "Ωmega");
  EXPECT_EQ(w->Value(), u"Ωmega");
}

TEST_F(FieldsFixture, StringFieldsConvertThroughText) {
  auto* s = Make<TStringField>("S");
  Edit();
  EXPECT_EQ(s->AsString(), "");
  EXPECT_TRUE(s->AsVariant().IsNull());
  s->SetAsInteger(-42);
  EXPECT_EQ(s->AsString(), "-42");
  EXPECT_EQ(s->AsInteger(), -42);
  EXPECT_EQ(s->AsLargeInt(), -42);
  s->SetAsFloat(1.5);
  EXPECT_EQ(s->AsString(), "1.5");
  EXPECT_DOUBLE_EQ(s->AsFloat(), 1.5);
  EXPECT_EQ(BcdToStr(s->AsBCD()), "1.5");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { (void)s->AsInteger(); }), "'1.5' is not a valid integer value");
  s->SetAsString("abc");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { (void)s->AsFloat(); }), "'abc' is not a valid floating point value");
  s->SetAsBoolean(true);
  EXPECT_EQ(s->AsString(), "T");
  s->SetAsBoolean(false);
  EXPECT_EQ(s->AsString(), "F");
  EXPECT_FALSE(s->AsBoolean());
  for (const char* yes : {"yes", "Y", "true", "T"}) {
    s->SetAsString(yes);
    EXPECT_TRUE(s->AsBoolean()) << yes;
  }
  s->SetAsString("no");
  EXPECT_FALSE(s->AsBoolean());
  s->SetAsDateTime(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(s->AsString(), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(s->AsDateTime().Value, double(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0)));
  s->SetAsVariant(Variant(12.25));
  EXPECT_EQ(s->AsString(), "12.25");
  s->SetAsVariant(Variant::Null());
  EXPECT_TRUE(s->IsNull());
}

TEST_F(FieldsFixture, StringFieldsShowTheirValueOnTheEditMaskButEditItRaw) {
  auto* phone = Make<TStringField>("Phone");
  phone->SetEditMask("!\\(999\\) 000-0000;0;_");
  Edit();
  phone->SetAsString("5551234567");
  EXPECT_EQ(phone->DisplayText(), "(555) 123-4567");
  EXPECT_EQ(phone->Text(), "5551234567");
  phone->SetEditMask("");
  EXPECT_EQ(phone->DisplayText(), "5551234567");
}

TEST_F(FieldsFixture, FixedCharAndGuidFieldsAreStringFields) {
  auto* s = Make<TStringField>("S");
  s->SetFixedChar(true);
  EXPECT_EQ(s->DataType(), ftFixedChar);
  auto* g = Make<TGuidField>("G");
  EXPECT_EQ(g->Size(), 38);
  EXPECT_EQ(g->DataType(), ftGuid);
  EXPECT_EQ(ErrorOf([&] { g->SetSize(20); }), SInvalidFieldSize);
}

// ---------------------------------------------------------------------------------------------
// Numeric fields

TEST_F(FieldsFixture, IntegerFieldsParseTextAndRejectBadText) {
  auto* qty = Make<TIntegerField>("Qty");
  Edit();
  qty->SetAsString("123");
  EXPECT_EQ(qty->AsInteger(), 123);
  EXPECT_EQ(ds.Raw(qty).VarType(), varInteger);
  EXPECT_EQ(ErrorOf([&] { qty->SetAsString("12x"); }), "'12x' is not a valid integer value for field 'Qty'");
  EXPECT_EQ(ErrorOf([&] { qty->SetAsString("3000000000"); }),
            "'3000000000' is not a valid integer value for field 'Qty'");
  EXPECT_EQ(qty->AsInteger(), 123);
  qty->SetAsString("");
  EXPECT_TRUE(qty->IsNull());
  EXPECT_EQ(qty->AsInteger(), 0);
  EXPECT_EQ(qty->AsString(), "");
  EXPECT_EQ(qty->DisplayText(), "");
  qty->SetAsFloat(2.5);  // half to even, as the host's Round
  EXPECT_EQ(qty->AsInteger(), 2);
  qty->SetAsFloat(3.5);
  EXPECT_EQ(qty->AsInteger(), 4);
  qty->SetAsVariant(Variant("77"));
  EXPECT_EQ(qty->AsLargeInt(), 77);
  EXPECT_DOUBLE_EQ(qty->AsFloat(), 77.0);
  EXPECT_EQ(qty->AsVariant().VarType(), varInteger);
}

TEST_F(FieldsFixture, IntegerFieldsCheckTheirTypeRangeOrTheirOwnBounds) {
  auto* small = Make<TSmallintField>("S");
  auto* word = Make<TWordField>("W");
  auto* qty = Make<TIntegerField>("Qty");
  auto* id = Make<TAutoIncField>("ID");
  Edit();
  small->SetAsInteger(-32768);
  EXPECT_EQ(ErrorOf([&] { small->SetAsInteger(40000); }),
            "40000 is not a valid value for field 'S'. The allowed range is -32768 to 32767");
  EXPECT_EQ(ErrorOf([&] { word->SetAsString("-1"); }),
            "-1 is not a valid value for field 'W'. The allowed range is 0 to 65535");
  EXPECT_EQ(ErrorOf([&] { qty->SetAsLargeInt(INT64_C(5000000000)); }),
            "5000000000 is not a valid value for field 'Qty'. The allowed range is -2147483648 to 2147483647");
  EXPECT_EQ(ErrorOf([&] { qty->SetAsFloat(1e300); }),
            "1E300 is not a valid value for field 'Qty'. The allowed range is -2147483648 to 2147483647");
  qty->SetMinValue(1);
  qty->SetMaxValue(10);
  qty->SetAsInteger(10);
  EXPECT_EQ(ErrorOf([&] { qty->SetAsInteger(11); }),
            "11 is not a valid value for field 'Qty'. The allowed range is 1 to 10");
  EXPECT_EQ(ErrorOf([&] { qty->SetAsInteger(0); }),
            "0 is not a valid value for field 'Qty'. The allowed range is 1 to 10");
  EXPECT_EQ(qty->AsInteger(), 10);
  // Bounds of the field's own replace the type's range entirely.
  word->SetMinValue(-5);
  word->SetMaxValue(5);
  word->SetAsInteger(-5);
  EXPECT_EQ(word->AsInteger(), -5);
  EXPECT_EQ(id->DataType(), ftAutoInc);
}

TEST_F(FieldsFixture, NumericTextUsesDisplayAndEditFormats) {
  auto* qty = Make<TIntegerField>("Qty");
  Edit();
  qty->SetAsInteger(1234567);
  EXPECT_EQ(qty->DisplayText(), "1234567");
  qty->SetDisplayFormat("#,##0");
  EXPECT_EQ(qty->DisplayText(), "1,234,567");
  EXPECT_EQ(qty->Text(), "1,234,567");
  qty->SetEditFormat("0");
  EXPECT_EQ(qty->Text(), "1234567");
  EXPECT_EQ(qty->AsString(), "1234567");  // AsString ignores formats
  qty->SetDisplayFormat("0;(0);'zero'");
  qty->SetAsInteger(-3);
  EXPECT_EQ(qty->DisplayText(), "(3)");
  qty->SetAsInteger(0);
  EXPECT_EQ(qty->DisplayText(), "zero");
}

TEST_F(FieldsFixture, LargeintFieldsKeepSixtyFourBits) {
  auto* big = Make<TLargeintField>("Big");
  Edit();
  big->SetAsString("9223372036854775807");
  EXPECT_EQ(big->AsLargeInt(), INT64_MAX);
  EXPECT_EQ(ds.Raw(big).VarType(), varInt64);
  EXPECT_EQ(big->AsString(), "9223372036854775807");
  EXPECT_THROW((void)big->AsInteger(), ERangeError);
  EXPECT_EQ(ErrorOf([&] { big->SetAsString("9223372036854775808"); }),
            "'9223372036854775808' is not a valid integer value for field 'Big'");
  big->SetAsInteger(-7);
  EXPECT_EQ(big->AsInteger(), -7);
  big->SetMinValue(0);
  big->SetMaxValue(100);
  EXPECT_EQ(ErrorOf([&] { big->SetAsLargeInt(101); }),
            "101 is not a valid value for field 'Big'. The allowed range is 0 to 100");
  big->SetDisplayFormat("000");
  big->SetAsLargeInt(7);
  EXPECT_EQ(big->DisplayText(), "007");
  EXPECT_EQ(big->AsVariant().VarType(), varInt64);
}

TEST_F(FieldsFixture, FloatFieldsFormatWithPrecisionOrAsMoney) {
  auto* f = Make<TFloatField>("F");
  auto* money = Make<TCurrencyField>("M");
  Edit();
  f->SetAsFloat(1234.5);
  EXPECT_EQ(ds.Raw(f).VarType(), varDouble);
  EXPECT_EQ(f->AsString(), "1234.5");
  EXPECT_EQ(f->DisplayText(), "1234.5");
  f->SetAsFloat(2.0 / 3.0);
  EXPECT_EQ(f->DisplayText(), "0.666666666666667");
  f->SetPrecision(4);
  EXPECT_EQ(f->DisplayText(), "0.6667");
  f->SetPrecision(1);
  EXPECT_EQ(f->Precision(), 2);
  f->SetPrecision(40);
  EXPECT_EQ(f->Precision(), 15);
  f->SetCurrency(true);
  f->SetAsFloat(-1234.5);
  EXPECT_EQ(f->DisplayText(), "($1,234.50)");
  EXPECT_EQ(f->Text(), "-1234.50");
  f->SetText(f->Text());  // edit text reads back
  EXPECT_DOUBLE_EQ(f->AsFloat(), -1234.5);
  f->SetDisplayFormat("0.0");
  EXPECT_EQ(f->DisplayText(), "-1234.5");

  EXPECT_TRUE(money->Currency());
  EXPECT_EQ(money->DataType(), ftCurrency);
  money->SetAsCurrency(Currency::FromScaled(12345));
  EXPECT_EQ(ds.Raw(money).VarType(), varDouble);
  EXPECT_EQ(money->DisplayText(), "$1.23");
}

TEST_F(FieldsFixture, FloatFieldsRejectBadTextAndValuesOutOfRange) {
  auto* f = Make<TFloatField>("Weight");
  Edit();
  EXPECT_EQ(ErrorOf([&] { f->SetAsString("1,5"); }), "'1,5' is not a valid floating point value for field 'Weight'");
  f->SetAsString(" 2.5E1 ");
  EXPECT_DOUBLE_EQ(f->AsFloat(), 25.0);
  f->SetMinValue(0);
  f->SetMaxValue(99.5);
  EXPECT_EQ(ErrorOf([&] { f->SetAsFloat(100); }),
            "100 is not a valid value for field 'Weight'. The allowed range is 0 to 99.5");
  EXPECT_EQ(ErrorOf([&] { f->SetAsInteger(-1); }),
            "-1 is not a valid value for field 'Weight'. The allowed range is 0 to 99.5");
  f->SetAsFloat(2.5);
  EXPECT_EQ(f->AsInteger(), 2);
  f->SetAsFloat(99.5);
  EXPECT_EQ(f->AsLargeInt(), 100);
  f->SetMaxValue(0);
  f->SetMinValue(0);
  f->SetAsFloat(1e300);
  EXPECT_THROW((void)f->AsInteger(), ERangeError);
  f->SetAsString("");
  EXPECT_TRUE(f->IsNull());
  EXPECT_EQ(f->AsFloat(), 0.0);
}

TEST_F(FieldsFixture, BCDFieldsHoldCurrencyCutToTheirScale) {
  auto* b = Make<TBCDField>("Amount");
  Edit();
  EXPECT_EQ(b->Size(), 4);
  b->SetAsString("1234.5678");
  EXPECT_EQ(ds.Raw(b).VarType(), varCurrency);
  EXPECT_EQ(b->AsString(), "1234.5678");
  // The scale is part of the column: it changes only while the dataset is closed.
  EXPECT_EQ(ErrorOf([&] { b->SetSize(2); }), SDataSetOpen);
  ds.SetTestState(dsInactive);
  EXPECT_EQ(ErrorOf([&] { b->SetSize(5); }), SInvalidFieldSize);
  b->SetSize(2);
  Edit();
  b->SetAsString("-1.2399");
  EXPECT_EQ(b->AsCurrency(), Currency::FromScaled(-12300));
  EXPECT_EQ(b->AsString(), "-1.23");
  EXPECT_EQ(BcdToStr(b->AsBCD()), "-1.23");
  EXPECT_DOUBLE_EQ(b->AsFloat(), -1.23);
  b->SetAsBCD(StrToBcd("7.5"));
  EXPECT_EQ(b->AsInteger(), 8);  // half to even
  EXPECT_EQ(ErrorOf([&] { b->SetAsString("1.2.3"); }), "'1.2.3' is not a valid floating point value for field 'Amount'");
  b->SetMinValue(Currency::FromInt(0));
  b->SetMaxValue(Currency::FromInt(10));
  EXPECT_EQ(ErrorOf([&] { b->SetAsFloat(10.01); }),
            "10.01 is not a valid value for field 'Amount'. The allowed range is 0 to 10");
  b->SetAsFloat(9.5);
  b->SetCurrency(true);
  EXPECT_EQ(b->DisplayText(), "$9.50");
  EXPECT_EQ(b->Text(), "9.50");
  b->SetCurrency(false);
  EXPECT_EQ(b->DisplayText(), "9.5");
  b->SetDisplayFormat("#,##0.000");
  EXPECT_EQ(b->DisplayText(), "9.500");
}

TEST_F(FieldsFixture, FMTBCDFieldsAreExactToManyDigits) {
  auto* b = Make<TFMTBCDField>("Big");
  Edit();
  b->SetPrecision(32);
  b->SetAsString("123456789012345678901234.56789012");
  EXPECT_EQ(ds.Raw(b).VarType(), varFMTBcd);
  EXPECT_EQ(b->AsString(), "123456789012345678901234.56789012");
  EXPECT_EQ(b->DisplayText(), "123456789012345678901234.56789012");
  ds.SetTestState(dsInactive);
  b->SetSize(2);
  Edit();
  b->SetAsString("-9.999");
  EXPECT_EQ(b->AsString(), "-9.99");  // cut to the scale, not rounded
  EXPECT_EQ(b->AsInteger(), -9);      // truncated
  EXPECT_EQ(b->AsCurrency(), Currency::FromScaled(-99900));
  EXPECT_EQ(ErrorOf([&] { b->SetAsString("x1"); }), "'x1' is not a valid floating point value for field 'Big'");
  b->SetMinValue("-1");
  b->SetMaxValue("1.5");
  EXPECT_EQ(ErrorOf([&] { b->SetAsString("1.51"); }),
            "1.51 is not a valid value for field 'Big'. The allowed range is -1 to 1.5");
  b->SetAsString("1.5");
  EXPECT_EQ(b->DisplayText(), "1.5");
  b->SetCurrency(true);
  EXPECT_EQ(b->DisplayText(), "$1.50");
  b->SetDisplayFormat("0.000");
  EXPECT_EQ(b->DisplayText(), "1.500");
  EXPECT_THROW(b->SetMinValue("abc"), EBcdException);
  EXPECT_EQ(b->AsVariant().VarType(), varFMTBcd);
}

// ---------------------------------------------------------------------------------------------
// Boolean

TEST_F(FieldsFixture, BooleanFieldsReadAndWriteTheirDisplayValues) {
  auto* flag = Make<TBooleanField>("Flag");
  Edit();
  flag->SetAsBoolean(true);
  EXPECT_EQ(ds.Raw(flag).VarType(), varBoolean);
  EXPECT_EQ(flag->AsString(), "True");
  EXPECT_EQ(flag->DisplayText(), "True");
  flag->SetAsString("f");  // a leading part, any case
  EXPECT_FALSE(flag->AsBoolean());
  flag->SetAsString("TR");
  EXPECT_TRUE(flag->AsBoolean());
  EXPECT_EQ(ErrorOf([&] { flag->SetAsString("Truest"); }), "'Truest' is not a valid boolean value for field 'Flag'");
  EXPECT_EQ(ErrorOf([&] { flag->SetAsString("yes"); }), "'yes' is not a valid boolean value for field 'Flag'");
  flag->SetAsString("");
  EXPECT_TRUE(flag->IsNull());
  EXPECT_EQ(flag->AsString(), "");
  EXPECT_FALSE(flag->AsBoolean());

  flag->SetDisplayValues("Yes;No");
  flag->SetAsString("y");
  EXPECT_EQ(flag->AsString(), "Yes");
  flag->SetAsString("NO");
  EXPECT_EQ(flag->DisplayText(), "No");
  EXPECT_EQ(flag->DisplayWidth(), 3);
  EXPECT_EQ(ErrorOf([&] { flag->SetAsString("true"); }), "'true' is not a valid boolean value for field 'Flag'");
  // One text alone is the true text; empty text then means false.
  flag->SetDisplayValues("Checked");
  flag->SetAsString("");
  EXPECT_FALSE(flag->IsNull());
  EXPECT_FALSE(flag->AsBoolean());
  EXPECT_EQ(flag->AsString(), "");
  flag->SetAsString("check");
  EXPECT_TRUE(flag->AsBoolean());
  flag->SetDisplayValues("");
  EXPECT_EQ(flag->AsString(), "True");
  flag->SetAsVariant(Variant(0));
  EXPECT_EQ(flag->AsString(), "False");
}

// ---------------------------------------------------------------------------------------------
// Dates and times

TEST_F(FieldsFixture, DateTimeFieldsShowTheirDefaultFormatsOrTheirDisplayFormat) {
  auto* dt = Make<TDateTimeField>("When");
  auto* d = Make<TDateField>("Day");
  auto* t = Make<TTimeField>("At");
  const TDateTime when = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  Edit();
  dt->SetAsDateTime(when);
  d->SetAsDateTime(when);
  t->SetAsDateTime(when);
  EXPECT_EQ(ds.Raw(dt).VarType(), varDate);
  EXPECT_EQ(dt->DisplayText(), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(d->DisplayText(), "3/5/2024");
  EXPECT_EQ(t->DisplayText(), "2:07:09 PM");
  // A date column keeps the day, a time column the time of day.
  EXPECT_EQ(d->AsDateTime().Value, double(EncodeDate(2024, 3, 5)));
  EXPECT_NEAR(t->AsFloat(), EncodeTime(14, 7, 9, 0), 1e-12);
  dt->SetDisplayFormat("yyyy-mm-dd hh:nn");
  EXPECT_EQ(dt->DisplayText(), "2024-03-05 14:07");
  EXPECT_EQ(dt->Text(), "3/5/2024 2:07:09 PM");  // editing ignores DisplayFormat
  EXPECT_EQ(dt->AsString(), "3/5/2024 2:07:09 PM");
  dt->SetAsDateTime(EncodeDate(2024, 3, 5));
  EXPECT_EQ(dt->AsString(), "3/5/2024");  // midnight shows no time
  const TSQLTimeStamp stamp = dt->AsSQLTimeStamp();
  EXPECT_EQ(stamp.Year, 2024);
  EXPECT_EQ(stamp.Day, 5);
}

TEST_F(FieldsFixture, DateTimeFieldsParseTextByTheirKind) {
  auto* dt = Make<TDateTimeField>("When");
  auto* d = Make<TDateField>("Day");
  auto* t = Make<TTimeField>("At");
  Edit();
  dt->SetAsString("12/31/1999 11:59:58 PM");
  EXPECT_EQ(dt->AsDateTime().Value, double(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0)));
  d->SetAsString("2/29/2000");
  EXPECT_EQ(d->AsDateTime().Value, double(EncodeDate(2000, 2, 29)));
  t->SetAsString("6:30");
  EXPECT_NEAR(t->AsDateTime(), EncodeTime(6, 30, 0, 0), 1e-12);
  EXPECT_EQ(ErrorOf<EConvertError>([&] { d->SetAsString("2/30/2001"); }), "'2/30/2001' is not a valid date");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { t->SetAsString("25:00"); }), "'25:00' is not a valid time");
  EXPECT_EQ(ErrorOf<EConvertError>([&] { dt->SetAsString("soon"); }), "'soon' is not a valid date and time");
  dt->SetAsString("");
  EXPECT_TRUE(dt->IsNull());
  EXPECT_EQ(dt->AsDateTime().Value, 0.0);
  dt->SetAsSQLTimeStamp(TSQLTimeStamp{1850, 6, 1, 13, 5, 7, 250});
  EXPECT_NEAR(dt->AsFloat(), EncodeDateTime(1850, 6, 1, 13, 5, 7, 250), 1e-9);
}

TEST_F(FieldsFixture, SQLTimeStampFieldsKeepTheirFields) {
  auto* ts = Make<TSQLTimeStampField>("Stamp");
  Edit();
  ts->SetAsSQLTimeStamp(TSQLTimeStamp{2024, 3, 5, 14, 7, 9, 0});
  EXPECT_EQ(ds.Raw(ts).VarType(), varSQLTimeStamp);
  EXPECT_EQ(ts->AsString(), "3/5/2024 2:07:09 PM");
  ts->SetDisplayFormat("yyyy");
  EXPECT_EQ(ts->DisplayText(), "2024");
  EXPECT_EQ(ts->AsDateTime().Value, double(EncodeDateTime(2024, 3, 5, 14, 7, 9, 0)));
  EXPECT_THROW(ts->SetAsSQLTimeStamp(TSQLTimeStamp{2023, 2, 29, 0, 0, 0, 0}), ESQLTimeStampException);
  EXPECT_EQ(ErrorOf<EConvertError>([&] { ts->SetAsString("bad"); }), "Could not parse SQL TimeStamp string");
  ts->SetAsString("1/2/2003 4:05:06 AM");
  EXPECT_EQ(ts->AsSQLTimeStamp(), (TSQLTimeStamp{2003, 1, 2, 4, 5, 6, 0}));
  ts->SetAsDateTime(EncodeDate(2000, 1, 1));
  EXPECT_EQ(ts->AsSQLTimeStamp().Year, 2000);
  ts->Clear();
  EXPECT_EQ(ts->AsSQLTimeStamp(), NullSQLTimeStamp);
}

// ---------------------------------------------------------------------------------------------
// Binary and blob fields

TEST_F(FieldsFixture, BinaryFieldsPadOrCutToTheirSize) {
  auto* fixed = Make<TBytesField>("Fixed");
  auto* var = Make<TVarBytesField>("Var");
  fixed->SetSize(4);
  var->SetSize(4);
  Edit();
  EXPECT_EQ(fixed->DisplayText(), "(Bytes)");
  fixed->SetAsString(String("\x01\x02", 2));
  EXPECT_EQ(ds.Raw(fixed).VarType(), varArray | varByte);
  EXPECT_EQ(fixed->AsString(), String("\x01\x02\x00\x00", 4));
  EXPECT_EQ(fixed->DisplayText(), "(BYTES)");
  var->SetAsString("abcdef");
  EXPECT_EQ(var->AsString(), "abcd");
  var->SetAsVariant(VarArrayOf({1, 255}));
  EXPECT_EQ(var->AsString(), "\x01\xff");
  EXPECT_THROW(var->SetAsVariant(VarArrayOf({256})), ERangeError);
  EXPECT_EQ(var->DisplayText(), "(VARBYTES)");
  ds.SetTestState(dsInactive);
  EXPECT_EQ(ErrorOf([&] { var->SetSize(0); }), SInvalidFieldSize);
}

TEST_F(FieldsFixture, BlobFieldsShowTheirClassAndHoldBytes) {
  auto* blob = Make<TBlobField>("Data");
  auto* memo = Make<TMemoField>("Notes");
  auto* pic = Make<TGraphicField>("Photo");
  Edit();
  EXPECT_EQ(memo->DisplayText(), "(Memo)");
  EXPECT_EQ(pic->DisplayText(), "(Graphic)");
  EXPECT_EQ(blob->DisplayText(), "(Blob)");
  EXPECT_EQ(memo->AsString(), "");
  memo->SetAsString("line one\nline two");
  EXPECT_EQ(ds.Raw(memo).VarType(), varString);
  EXPECT_EQ(memo->DisplayText(), "(MEMO)");
  EXPECT_EQ(memo->AsVariant().AsString(), "line one\nline two");
  EXPECT_TRUE(memo->Modified());
  blob->SetAsString(String("\0\x01\x02", 3));
  EXPECT_EQ(ds.Raw(blob).VarType(), varArray | varByte);
  EXPECT_EQ(blob->BlobSize(), 3);
  EXPECT_EQ(blob->DisplayText(), "(BLOB)");
  pic->SetAsString("PNG");
  EXPECT_EQ(pic->DisplayText(), "(GRAPHIC)");
  // An empty blob is a null one.
  memo->SetAsString("");
  EXPECT_TRUE(memo->IsNull());
  blob->SetAsVariant(VarArrayOfBytes({}));
  EXPECT_TRUE(blob->IsNull());
  EXPECT_EQ(blob->BlobSize(), 0);
  blob->SetBlobType(ftTypedBinary);
  EXPECT_EQ(blob->DataType(), ftTypedBinary);
}

TEST_F(FieldsFixture, BlobFieldsLoadAndSaveThroughTheDataSetsBlobStream) {
  auto* blob = Make<TBlobField>("Data");
  Edit();
  TStringStream in(String("stream\0data", 11));
  in.SetPosition(3);  // the whole stream is loaded, wherever it stands
  blob->LoadFromStream(in);
  EXPECT_EQ(blob->AsString(), String("stream\0data", 11));
  TStringStream out;
  blob->SaveToStream(out);
  EXPECT_EQ(out.DataString(), String("stream\0data", 11));

  const String path = ::testing::TempDir() + "zv_blob_field_test.bin";
  blob->SaveToFile(path);
  blob->Clear();
  blob->LoadFromFile(path);
  std::remove(path.c_str());
  EXPECT_EQ(blob->AsString(), String("stream\0data", 11));
  EXPECT_THROW(blob->LoadFromFile(path), EFOpenError);

  TBlobField loose(nullptr);
  loose.SetFieldName("Loose");
  EXPECT_EQ(ErrorOf([&] { loose.LoadFromStream(in); }), "Field 'Loose' has no dataset");
}

// ---------------------------------------------------------------------------------------------
// Variant

TEST_F(FieldsFixture, VariantFieldsStoreValuesAsTheyAre) {
  auto* v = Make<TVariantField>("V");
  Edit();
  v->SetAsVariant(Variant("42"));
  EXPECT_EQ(ds.Raw(v).VarType(), varString);
  EXPECT_EQ(v->AsInteger(), 42);
  v->SetAsCurrency(Currency::FromScaled(15000));
  EXPECT_EQ(ds.Raw(v).VarType(), varCurrency);
  EXPECT_EQ(v->AsString(), "1.5");
  v->SetAsBoolean(true);
  EXPECT_EQ(v->AsInteger(), -1);
  v->SetAsBCD(StrToBcd("0.125"));
  EXPECT_EQ(ds.Raw(v).VarType(), varFMTBcd);
  v->Clear();
  EXPECT_EQ(v->AsString(), "");
  EXPECT_TRUE(v->AsVariant().IsNull());
  EXPECT_THROW((void)v->AsInteger(), EVariantTypeCastError);  // Null does not convert
  // Bytes show as a blob does, in display and edit text; asked for as a string they still raise.
  v->SetAsVariant(VarArrayOfBytes(std::vector<std::uint8_t>{0x41, 0x00}));
  EXPECT_EQ(v->DisplayText(), "(BLOB)");
  EXPECT_EQ(v->Text(), "(BLOB)");
  EXPECT_THROW((void)v->AsString(), EVariantTypeCastError);
  EXPECT_EQ(v->AsVariant().Bytes().size(), 2u) << "the bytes as stored";
}

// ---------------------------------------------------------------------------------------------
// Typed characters, labels

TEST_F(FieldsFixture, IsValidCharAcceptsWhatTheFieldsTextCanHold) {
  struct TCase {
    TClass FieldClass;
    std::u32string Accepted;
    std::u32string Refused;
  };
  // Numbers take digits and signs, decimals the separator, floats the exponent letter; the
  // rest take any character, Unicode included. A second separator is the conversion's to refuse.
  const TCase cases[] = {
      {TIntegerField::StaticClass(), U"0123456789+-", U".,eEa x\u0661"},
      {TSmallintField::StaticClass(), U"09-+", U".e"},
      {TWordField::StaticClass(), U"09-+", U".e"},
      {TAutoIncField::StaticClass(), U"09-+", U".e"},
      {TLargeintField::StaticClass(), U"09-+", U".eE,"},
      {TFloatField::StaticClass(), U"0123456789+-.eE", U",xa $"},
      {TCurrencyField::StaticClass(), U"09+-.eE", U",$"},
      {TBCDField::StaticClass(), U"09+-.", U"eE,"},
      {TFMTBCDField::StaticClass(), U"09+-.", U"eE,"},
      {TStringField::StaticClass(), U"aZ09 .,;\u00e9\u0416\u4e2d\U0001F600", U""},
      {TWideStringField::StaticClass(), U"a\u0416\U0001F600", U""},
      {TMemoField::StaticClass(), U"a\n\u00e9", U""},
      {TBooleanField::StaticClass(), U"TtFf1", U""},
      {TDateTimeField::StaticClass(), U"09/: .", U""},
  };
  for (const TCase& c : cases) {
    std::unique_ptr<TField> field(static_cast<TField*>(c.FieldClass->Factory(nullptr)));
    for (char32_t ch : c.Accepted) EXPECT_TRUE(field->IsValidChar(ch)) << c.FieldClass->Name << " U+" << std::hex << unsigned(ch);
    for (char32_t ch : c.Refused) EXPECT_FALSE(field->IsValidChar(ch)) << c.FieldClass->Name << " U+" << std::hex << unsigned(ch);
  }

  // The separator is the one in force when the field is made; ValidChars can be narrowed or
  // widened by the application.
  TFormatSettings& settings = FormatSettings();
  const TFormatChar saved = settings.DecimalSeparator;
  settings.DecimalSeparator = ',';
  TFloatField comma(nullptr);
  settings.DecimalSeparator = saved;
  EXPECT_TRUE(comma.IsValidChar(U','));
  EXPECT_FALSE(comma.IsValidChar(U'.'));
  TStringField code(nullptr);
  TFieldChars upper;
  upper.Include(U'A', U'Z');
  code.SetValidChars(upper);
  EXPECT_TRUE(code.IsValidChar(U'Q'));
  EXPECT_FALSE(code.IsValidChar(U'q'));
  TIntegerField hex(nullptr);
  hex.SetValidChars(TFieldChars(hex.ValidChars()).Include(U'A', U'F').Exclude(U'+'));
  EXPECT_TRUE(hex.IsValidChar(U'C'));
  EXPECT_TRUE(hex.IsValidChar(U'7'));
  EXPECT_FALSE(hex.IsValidChar(U'+'));
  TStringField noSpace(nullptr);
  noSpace.SetValidChars(TFieldChars::All().Exclude(U' '));
  EXPECT_FALSE(noSpace.IsValidChar(U' '));
  EXPECT_TRUE(noSpace.IsValidChar(U'\u0416'));
}

TEST_F(FieldsFixture, DisplayLabelIsTheNameUntilALabelIsSet) {
  auto* f = Make<TStringField>("CustName");
  const TPropInfo* label = GetPropInfo(f, "DisplayLabel");
  EXPECT_EQ(f->DisplayLabel(), "CustName");
  EXPECT_EQ(GetStrProp(f, "DisplayLabel"), "CustName");
  EXPECT_FALSE(IsStoredProp(f, label));  // a form does not repeat the name
  f->SetDisplayLabel("Customer");
  EXPECT_EQ(f->DisplayLabel(), "Customer");
  EXPECT_EQ(f->DisplayName(), "Customer");
  EXPECT_TRUE(IsStoredProp(f, label));
  f->SetDisplayLabel("CustName");  // the name again: no label of its own
  EXPECT_FALSE(IsStoredProp(f, label));
  f->SetDisplayLabel("Before");
  f->SetFieldName("Client");
  EXPECT_EQ(f->DisplayLabel(), "Before");
  f->SetDisplayLabel("");
  EXPECT_EQ(f->DisplayLabel(), "Client");  // follows a renamed field
}
