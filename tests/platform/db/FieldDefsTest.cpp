// Field definitions (naming rules, the fields they create) and parameters (typed values, SQL
// parsing, lists of values).

#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/Params.h"

#include "platform/classes/Strings.h"
#include "platform/db/DBConsts.h"
#include "tests/platform/db/TestDataSet.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zv;
using zvtest::TTestDataSet;

namespace {

String DbError(const std::function<void()>& f) {
  try {
    f();
  } catch (const EDatabaseError& e) {
    return e.Message();
  }
  return String();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Field definitions

TEST(FieldDefs, NamesAreRequiredUniqueAndFoundIgnoringCase) {
  TFieldDefs defs;
  defs.Add("ID", ftAutoInc);
  defs.Add("Name", ftString, 30, true);
  defs.Add("Größe", ftFloat);
  EXPECT_EQ(defs.Count(), 3);
  EXPECT_EQ(defs.IndexOf("name"), 1);
  EXPECT_EQ(defs.IndexOf("GRÖSSE"), 2);
  EXPECT_EQ(defs.IndexOf("Nope"), -1);
  EXPECT_EQ(defs.FindDef("Nope"), nullptr);
  EXPECT_EQ(DbError([&] { defs.Find("Nope"); }), "Field 'Nope' not found");
  EXPECT_EQ(DbError([&] { defs.Add("id", ftInteger); }), "Duplicate name 'id' in TFieldDefs");
  EXPECT_EQ(DbError([&] { defs.Add("", ftInteger); }), SFieldNameMissing);
  EXPECT_EQ(DbError([&] { defs[2]->SetName("NAME"); }), "Duplicate name 'NAME' in TFieldDefs");
  defs[1]->SetName("name");  // its own name in another case
  EXPECT_EQ(defs.Count(), 3);

  TFieldDef* name = defs.Find("NAME");
  EXPECT_EQ(name->DataType(), ftString);
  EXPECT_EQ(name->Size(), 30);
  EXPECT_TRUE(name->Required());
  EXPECT_TRUE(name->Attributes().Contains(faRequired));
  name->SetRequired(false);
  EXPECT_TRUE(name->Attributes().Empty());
  EXPECT_EQ(name->FieldNo(), 2);
  name->SetFieldNo(7);
  EXPECT_EQ(name->FieldNo(), 7);
  EXPECT_EQ(name->DisplayName(), "name");

  TStringList names;
  defs.GetItemNames(names);
  EXPECT_EQ(names.CommaText(), "ID,name,Größe");
}

TEST(FieldDefs, UpdateAsksTheOwnerOnceUntilTheDefinitionsChange) {
  TFieldDefs defs;
  int reads = 0;
  defs.OnUpdate = [&](TFieldDefs& d) {
    ++reads;
    if (d.Count() == 0) d.Add("A", ftInteger);
  };
  defs.Update();
  defs.Update();
  EXPECT_EQ(reads, 1);
  EXPECT_TRUE(defs.Updated());
  EXPECT_EQ(defs.Count(), 1);
  defs.Add("B", ftString, 5);
  EXPECT_FALSE(defs.Updated());
  defs.Update();
  EXPECT_EQ(reads, 2);
}

TEST(FieldDefs, CreateFieldMakesTheTypesClassAndCopiesTheDefinition) {
  TTestDataSet ds;
  TFieldDefs& defs = ds.FieldDefs();
  defs.Clear();
  defs.Add("Code", ftFixedChar, 3, true);
  defs.Add("Amount", ftBCD, 2);
  defs.Add("Total", ftFMTBcd, 6);
  defs.Add("Note", ftOraClob);
  defs.Add("Raw", ftBytes);
  defs.Add("Ref", ftReference);
  defs[1]->SetPrecision(12);
  defs[2]->SetPrecision(30);
  defs[0]->SetAttributes({faReadonly, faRequired});

  TField* code = defs[0]->CreateField(&ds);
  ASSERT_NE(dynamic_cast<TStringField*>(code), nullptr);
  EXPECT_EQ(code->DataType(), ftFixedChar);
  EXPECT_EQ(code->FieldName(), "Code");
  EXPECT_EQ(code->Size(), 3);
  EXPECT_TRUE(code->Required());
  EXPECT_TRUE(code->ReadOnly());
  EXPECT_EQ(code->FieldNo(), 1);
  EXPECT_EQ(code->Owner(), &ds);
  EXPECT_EQ(code->DataSet(), &ds);
  EXPECT_EQ(ds.FindField("code"), code);

  auto* amount = dynamic_cast<TBCDField*>(defs[1]->CreateField(&ds));
  ASSERT_NE(amount, nullptr);
  EXPECT_EQ(amount->Size(), 2);
  EXPECT_EQ(amount->Precision(), 12);
  auto* total = dynamic_cast<TFMTBCDField*>(defs[2]->CreateField(&ds, "GrandTotal"));
  ASSERT_NE(total, nullptr);
  EXPECT_EQ(total->FieldName(), "GrandTotal");
  EXPECT_EQ(total->Precision(), 30);
  EXPECT_EQ(total->Size(), 6);
  TField* note = defs[3]->CreateField(&ds);
  EXPECT_NE(dynamic_cast<TMemoField*>(note), nullptr);
  EXPECT_EQ(note->DataType(), ftOraClob);
  TField* raw = defs[4]->CreateField(&ds);
  EXPECT_EQ(raw->Size(), 16);  // no size defined: the class's own
  EXPECT_EQ(ds.FieldCount(), 5);

  EXPECT_EQ(DbError([&] { defs[5]->CreateField(&ds); }), "Field 'Ref' is of an unknown type");
  // A second field of the same name is refused and leaves nothing behind.
  const int owned = ds.ComponentCount();
  EXPECT_EQ(DbError([&] { defs[0]->CreateField(&ds); }), "Duplicate field name 'Code'");
  EXPECT_EQ(ds.ComponentCount(), owned);
  EXPECT_EQ(ds.FieldCount(), 5);
}

TEST(FieldDefs, FreeStandingDefinitionsCreateUnattachedFieldsAndCopy) {
  TFieldDefs defs;
  defs.Add("When", ftDateTime);
  defs.Add("N", ftSmallint);
  std::unique_ptr<TField> when(defs[0]->CreateField(nullptr));
  EXPECT_NE(dynamic_cast<TDateTimeField*>(when.get()), nullptr);
  EXPECT_EQ(when->DataSet(), nullptr);

  TFieldDefs copy;
  copy.Assign(&defs);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy[1]->Name(), "N");
  EXPECT_EQ(copy[1]->DataType(), ftSmallint);
  EXPECT_EQ(copy[1]->FieldClass(), TSmallintField::StaticClass());
}

// ---------------------------------------------------------------------------------------------
// Parameters

TEST(Params, TypedSettersSetTheDataType) {
  TParams params;
  TParam* p = params.CreateParam(ftUnknown, "P", ptInput);
  p->SetAsInteger(42);
  EXPECT_EQ(p->DataType(), ftInteger);
  EXPECT_EQ(p->AsString(), "42");
  EXPECT_DOUBLE_EQ(p->AsFloat(), 42.0);
  p->SetAsString("3.5");
  EXPECT_EQ(p->DataType(), ftString);
  EXPECT_DOUBLE_EQ(p->AsFloat(), 3.5);
  p->SetAsBoolean(true);
  EXPECT_EQ(p->DataType(), ftBoolean);
  EXPECT_EQ(p->AsString(), "True");
  p->SetAsLargeInt(INT64_C(1) << 40);
  EXPECT_EQ(p->DataType(), ftLargeint);
  EXPECT_EQ(p->AsLargeInt(), INT64_C(1) << 40);
  p->SetAsCurrency(Currency::FromScaled(12345));
  EXPECT_EQ(p->DataType(), ftCurrency);
  EXPECT_EQ(p->AsString(), "1.2345");
  p->SetAsBCD(Currency::FromInt(2));
  EXPECT_EQ(p->DataType(), ftBCD);
  EXPECT_EQ(p->Value().VarType(), varCurrency);
  p->SetAsFMTBCD(StrToBcd("12345678901234567890.5"));
  EXPECT_EQ(p->DataType(), ftFMTBcd);
  EXPECT_EQ(BcdToStr(p->AsFMTBCD()), "12345678901234567890.5");
  p->SetAsDate(EncodeDate(2020, 1, 2));
  EXPECT_EQ(p->DataType(), ftDate);
  p->SetAsTime(EncodeTime(3, 4, 5, 0));
  EXPECT_EQ(p->DataType(), ftTime);
  p->SetAsDateTime(EncodeDate(2020, 1, 2));
  EXPECT_EQ(p->DataType(), ftDateTime);
  EXPECT_EQ(p->AsDate().Value, double(EncodeDate(2020, 1, 2)));
  p->SetAsSQLTimeStamp(TSQLTimeStamp{2020, 1, 2, 3, 4, 5, 0});
  EXPECT_EQ(p->DataType(), ftTimeStamp);
  EXPECT_EQ(p->AsSQLTimeStamp().Hour, 3);
  p->SetAsMemo("memo");
  EXPECT_EQ(p->DataType(), ftMemo);
  p->SetAsBlob(String("\0\xff", 2));
  EXPECT_EQ(p->DataType(), ftBlob);
  EXPECT_EQ(p->Value().VarType(), varArray | varByte);
  EXPECT_EQ(p->AsBlob(), String("\0\xff", 2));
  p->SetAsSmallInt(7);
  EXPECT_EQ(p->DataType(), ftSmallint);
  p->SetAsWord(7);
  EXPECT_EQ(p->DataType(), ftWord);
  p->SetAsFloat(0.5);
  EXPECT_EQ(p->DataType(), ftFloat);
  // A fixed-char parameter stays one when given text.
  p->SetDataType(ftFixedChar);
  p->SetAsString("abc");
  EXPECT_EQ(p->DataType(), ftFixedChar);
}

TEST(Params, ValuesOfUnknownTypeGiveTheTypeAndNullReadsAsZero) {
  TParams params;
  TParam* p = params.CreateParam(ftUnknown, "P", ptInput);
  EXPECT_FALSE(p->Bound());
  EXPECT_TRUE(p->IsNull());
  EXPECT_EQ(p->AsInteger(), 0);
  EXPECT_EQ(p->AsString(), "");
  EXPECT_FALSE(p->AsBoolean());
  EXPECT_EQ(p->AsDateTime().Value, 0.0);
  p->SetValue(Variant(2.5));
  EXPECT_EQ(p->DataType(), ftFloat);
  EXPECT_TRUE(p->Bound());
  p->SetValue(Variant("text"));  // the type is kept once known
  EXPECT_EQ(p->DataType(), ftFloat);
  p->Clear();
  EXPECT_TRUE(p->IsNull());
  EXPECT_TRUE(p->Bound());

  const std::pair<Variant, TFieldType> cases[] = {
      {Variant(std::int16_t{1}), ftSmallint}, {Variant(1), ftInteger},          {Variant(INT64_C(1)), ftLargeint},
      {Variant(true), ftBoolean},             {Variant("s"), ftString},         {Variant(Currency()), ftBCD},
      {Variant(TDateTime(1.0)), ftDateTime},  {VarFMTBcdCreate(NullBcd), ftFMTBcd}};
  for (const auto& [value, type] : cases) {
    TParam* q = params.CreateParam(ftUnknown, "Q", ptInput);
    q->SetValue(value);
    EXPECT_EQ(q->DataType(), type) << VarTypeAsText(value.VarType());
  }

  // Changing the type converts a value that converts, and drops one that does not.
  p->SetAsString("12");
  p->SetDataType(ftInteger);
  EXPECT_EQ(p->Value().VarType(), varInteger);
  EXPECT_EQ(p->AsInteger(), 12);
  p->SetAsString("twelve");
  p->SetDataType(ftInteger);
  EXPECT_TRUE(p->IsNull());
}

TEST(Params, ParseSQLReplacesNamesByPlaceholders) {
  TParams params;
  EXPECT_EQ(params.ParseSQL("select * from t where a = :a and b=:B_2", true), "select * from t where a = ? and b=?");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params[0]->Name(), "a");
  EXPECT_EQ(params[1]->Name(), "B_2");
  EXPECT_EQ(params[0]->ParamType(), ptInput);

  // Literals are left alone, repeated names give one parameter per place.
  EXPECT_EQ(params.ParseSQL("select ':x', \":y\", `:z` from t where a=:p or b=:p", true),
            "select ':x', \":y\", `:z` from t where a=? or b=?");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params[1]->Name(), "p");
  EXPECT_EQ(params.ParseSQL("select 'it''s :no' || :yes", true), "select 'it''s :no' || ?");
  EXPECT_EQ(params[0]->Name(), "yes");

  // "::" is a colon; ":=" and a lone colon are text; a quoted name may hold anything.
  EXPECT_EQ(params.ParseSQL("x::int, y := 1, z : 2, :\"my param\", :née", true), "x:int, y := 1, z : 2, ?, ?");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params[0]->Name(), "my param");
  EXPECT_EQ(params[1]->Name(), "née");
  EXPECT_EQ(params.ParseSQL("where a=:a+1,(:b)", true), "where a=?+1,(?)");
  EXPECT_EQ(params[1]->Name(), "b");
  // An unclosed quoted name is not a parameter.
  EXPECT_EQ(params.ParseSQL("a = :\"open", true), "a = :\"open");
  EXPECT_EQ(params.Count(), 0);

  // Without doCreate the list stays as it is.
  params.CreateParam(ftInteger, "kept", ptInput);
  EXPECT_EQ(params.ParseSQL(":one :two", false), "? ?");
  ASSERT_EQ(params.Count(), 1);
  EXPECT_EQ(params[0]->Name(), "kept");
}

TEST(Params, ListsFindSetAndAssignValuesByName) {
  TParams params;
  params.ParseSQL("insert into t values (:ID, :Name, :Price)", true);
  EXPECT_EQ(params.FindParam("id"), params[0]);
  EXPECT_EQ(params.FindParam("nope"), nullptr);
  EXPECT_EQ(DbError([&] { params.ParamByName("nope"); }), "Parameter 'nope' not found");
  params.ParamByName("name")->SetAsString("Ann");
  params.SetParamValues("ID; Price", VarArrayOf({Variant(7), Variant(9.5)}));
  EXPECT_EQ(params[0]->AsInteger(), 7);
  EXPECT_EQ(params[2]->DataType(), ftFloat);
  const Variant values = params.ParamValues("Price;Name");
  ASSERT_TRUE(values.IsArray());
  EXPECT_EQ(values.GetElement(0).AsDouble(), 9.5);
  EXPECT_EQ(values.GetElement(1).AsString(), "Ann");
  EXPECT_EQ(params.ParamValues("ID").AsInteger(), 7);
  EXPECT_EQ(DbError([&] { params.ParamValues("ID;Missing"); }), "Parameter 'Missing' not found");

  TParams other;
  other.CreateParam(ftString, "NAME", ptInput)->SetAsString("Bob");
  other.CreateParam(ftInteger, "Unrelated", ptInput)->SetAsInteger(1);
  params.AssignValues(other);
  EXPECT_EQ(params[1]->AsString(), "Bob");
  EXPECT_EQ(params.Count(), 3);

  TParams copy;
  copy.Assign(&params);
  EXPECT_TRUE(copy.IsEqual(params));
  copy[2]->SetAsFloat(1.25);
  EXPECT_FALSE(copy.IsEqual(params));
}

TEST(Params, ParamsTakeValuesFromFieldsAndGiveThemBack) {
  TTestDataSet ds;
  auto* price = new TBCDField(&ds);
  price->SetFieldName("Price");
  price->SetPrecision(10);
  price->SetSize(2);
  price->SetDataSet(&ds);
  ds.SetTestState(dsEdit);
  price->SetAsString("12.5");

  TParams params;
  TParam* p = params.AddParameter();
  p->AssignField(price);
  EXPECT_EQ(p->Name(), "Price");
  EXPECT_EQ(p->DataType(), ftBCD);
  EXPECT_EQ(p->Precision(), 10);
  EXPECT_EQ(p->NumericScale(), 2);
  EXPECT_TRUE(p->Bound());
  EXPECT_EQ(p->AsCurrency(), Currency::FromScaled(125000));

  p->SetAsString("3.25");
  price->Assign(p);
  EXPECT_EQ(price->AsString(), "3.25");
  p->Clear();
  price->Assign(p);
  EXPECT_TRUE(price->IsNull());
}
