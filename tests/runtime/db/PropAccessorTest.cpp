// The property accessor on a component that publishes every kind: the field type each kind
// maps to, values going out and coming back in every kind, through a field and a parameter,
// and writes that must be refused with the property left as it was.

#include "platform/classes/Component.h"
#include "platform/classes/Streams.h"
#include "platform/classes/Strings.h"
#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/db/MemTable.h"
#include "platform/db/Params.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsConsts.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/DateFormat.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/NumberConv.h"
#include "runtime/db/PropAccessor.h"
#include "runtime/rtm/ZvErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace zvtest {
enum TShade { shRed, shGreen, shBlue };
}
using zvtest::TShade;
ZV_ENUM_TYPE(TShade, shRed, shGreen, shBlue)

namespace zvtest {

using namespace zv;
using TShades = TSet<TShade>;

// Publishes one property of every kind the accessor moves.
class TKindsHost : public TComponent {
  ZV_CLASS(TKindsHost, TComponent)

public:
  explicit TKindsHost(TComponent* owner = nullptr)
      : TComponent(owner), fLines(std::make_unique<TStringList>()), fPicture(std::make_unique<TBitmap>()) {}

  int Int = 0;
  unsigned Card = 0;
  short Small = 0;
  unsigned short WordV = 0;
  unsigned char ByteV = 0;
  std::int64_t Big = 0;
  char Ch = 0;
  bool Flag = false;
  TShade Shade = shRed;
  TShades Shades;
  double Dbl = 0;
  float Sgl = 0;
  TDateTime Stamp;
  TDate Day;
  Currency Money;
  String Text;
  WideString Wide;
  Variant Var;
  TKindsHost* Buddy = nullptr;
  TvpUniValue Other;  // a persistent object of no family the accessor knows
  TNotifyEvent OnPing;
  int WriteOnlyV = 0;

  int GetInt() const { return Int; }
  void SetInt(int v) { Int = v; }
  unsigned GetCard() const { return Card; }
  void SetCard(unsigned v) { Card = v; }
  short GetSmall() const { return Small; }
  void SetSmall(short v) { Small = v; }
  unsigned short GetWord() const { return WordV; }
  void SetWord(unsigned short v) { WordV = v; }
  unsigned char GetByte() const { return ByteV; }
  void SetByte(unsigned char v) { ByteV = v; }
  std::int64_t GetBig() const { return Big; }
  void SetBig(std::int64_t v) { Big = v; }
  char GetCh() const { return Ch; }
  void SetCh(char v) { Ch = v; }
  bool GetFlag() const { return Flag; }
  void SetFlag(bool v) { Flag = v; }
  TShade GetShade() const { return Shade; }
  void SetShade(TShade v) { Shade = v; }
  TShades GetShades() const { return Shades; }
  void SetShades(TShades v) { Shades = v; }
  double GetDbl() const { return Dbl; }
  void SetDbl(double v) { Dbl = v; }
  float GetSgl() const { return Sgl; }
  void SetSgl(float v) { Sgl = v; }
  TDateTime GetStamp() const { return Stamp; }
  void SetStamp(TDateTime v) { Stamp = v; }
  TDate GetDay() const { return Day; }
  void SetDay(TDate v) { Day = v; }
  Currency GetMoney() const { return Money; }
  void SetMoney(Currency v) { Money = v; }
  String GetText() const { return Text; }
  void SetText(String v) { Text = v; }
  WideString GetWide() const { return Wide; }
  void SetWide(WideString v) { Wide = v; }
  Variant GetVar() const { return Var; }
  void SetVar(Variant v) { Var = v; }
  TStrings* Lines() const { return fLines.get(); }
  void SetLines(TStrings* v) { fLines->Assign(v); }
  TStrings* NoLines() const { return nullptr; }
  void SetNoLines(TStrings*) {}
  TBitmap* Picture() const { return fPicture.get(); }
  void SetPicture(TBitmap* v) { fPicture->Assign(v); }
  TBitmap* NoPicture() const { return nullptr; }
  void SetNoPicture(TBitmap*) {}
  TKindsHost* GetBuddy() const { return Buddy; }
  void SetBuddy(TKindsHost* v) { Buddy = v; }
  TvpUniValue* GetOther() const { return const_cast<TvpUniValue*>(&Other); }
  void SetOther(TvpUniValue*) {}
  int GetFixed() const { return 7; }
  void SetWriteOnly(int v) { WriteOnlyV = v; }

  static void DeclareProperties(TPropTable<TKindsHost>& t) {
    t.Prop("Int", &TKindsHost::GetInt, &TKindsHost::SetInt);
    t.Prop("Card", &TKindsHost::GetCard, &TKindsHost::SetCard);
    t.Prop("Small", &TKindsHost::GetSmall, &TKindsHost::SetSmall);
    t.Prop("Word", &TKindsHost::GetWord, &TKindsHost::SetWord);
    t.Prop("Byte", &TKindsHost::GetByte, &TKindsHost::SetByte);
    t.Prop("Big", &TKindsHost::GetBig, &TKindsHost::SetBig);
    t.Prop("Ch", &TKindsHost::GetCh, &TKindsHost::SetCh);
    t.Prop("Flag", &TKindsHost::GetFlag, &TKindsHost::SetFlag);
    t.Prop("Shade", &TKindsHost::GetShade, &TKindsHost::SetShade);
    t.Prop("Shades", &TKindsHost::GetShades, &TKindsHost::SetShades);
    t.Prop("Dbl", &TKindsHost::GetDbl, &TKindsHost::SetDbl);
    t.Prop("Sgl", &TKindsHost::GetSgl, &TKindsHost::SetSgl);
    t.Prop("Stamp", &TKindsHost::GetStamp, &TKindsHost::SetStamp);
    t.Prop("Day", &TKindsHost::GetDay, &TKindsHost::SetDay);
    t.Prop("Money", &TKindsHost::GetMoney, &TKindsHost::SetMoney);
    t.Prop("Text", &TKindsHost::GetText, &TKindsHost::SetText);
    t.Prop("Wide", &TKindsHost::GetWide, &TKindsHost::SetWide);
    t.Prop("Var", &TKindsHost::GetVar, &TKindsHost::SetVar);
    t.Prop("Lines", &TKindsHost::Lines, &TKindsHost::SetLines);
    t.Prop("NoLines", &TKindsHost::NoLines, &TKindsHost::SetNoLines);
    t.Prop("Picture", &TKindsHost::Picture, &TKindsHost::SetPicture);
    t.Prop("NoPicture", &TKindsHost::NoPicture, &TKindsHost::SetNoPicture);
    t.Prop("Buddy", &TKindsHost::GetBuddy, &TKindsHost::SetBuddy);
    t.Prop("Other", &TKindsHost::GetOther, &TKindsHost::SetOther);
    t.Event("OnPing", &TKindsHost::OnPing);
    t.Prop("Fixed", &TKindsHost::GetFixed);
    t.Prop("WriteOnly", nullptr, &TKindsHost::SetWriteOnly);
  }

private:
  std::unique_ptr<TStringList> fLines;
  std::unique_ptr<TBitmap> fPicture;
};

ZV_DEFINE_CLASS_WITH_PROPS(TKindsHost, TComponent)

// Bitmaps need a graphics backend: the headless one.
class PropAccessorTest : public ::testing::Test {
protected:
  void SetUp() override { fPrevious = SetGraphicsBackend(CreateNullBackend()); }
  void TearDown() override {
    host.reset();
    SetGraphicsBackend(std::move(fPrevious));
  }

  std::unique_ptr<TKindsHost> host = std::make_unique<TKindsHost>();

private:
  std::unique_ptr<TGraphicsBackend> fPrevious;
};

String BitmapBytes(int width, int height, TColor corner) {
  TBitmap b;
  b.SetSize(width, height);
  b.Canvas()->SetPixels(0, 0, corner);
  TMemoryStream s;
  b.SaveToStream(s);
  const auto m = s.Memory();
  return String(m.begin(), m.end());
}

template <class E, class F>
String MessageOf(F&& fn) {
  try {
    fn();
  } catch (const E& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return String("other exception: ") + e.what();
  }
  return "no exception";
}

// ---------------------------------------------------------------------------------------------
// The mapping

TEST_F(PropAccessorTest, MapsEveryKindToItsFieldType) {
  struct Row {
    const char* prop;
    TFieldType type;
    int size;
    TvpPropTypeEx how;
    bool readOnly;
  };
  const Row rows[] = {
      {"Int", ftInteger, 0, pteNormal, false},      {"Card", ftInteger, 0, pteNormal, false},
      {"Big", ftLargeint, 0, pteNormal, false},     {"Ch", ftString, 1, pteNormal, false},
      {"Flag", ftBoolean, 0, pteNormal, false},     {"Shade", ftInteger, 0, pteNormal, false},
      {"Shades", ftInteger, 0, pteSet, false},      {"Dbl", ftFloat, 0, pteNormal, false},
      {"Sgl", ftFloat, 0, pteNormal, false},        {"Money", ftFloat, 0, pteNormal, false},
      {"Stamp", ftDateTime, 0, pteNormal, false},   {"Day", ftDate, 0, pteNormal, false},
      {"Text", ftString, 40, pteNormal, false},     {"Wide", ftWideString, 80, pteNormal, false},
      {"Var", ftVariant, 0, pteNormal, false},      {"Lines", ftMemo, 0, pteStrings, false},
      {"Picture", ftBlob, 0, pteBitmap, false},     {"Buddy", ftInteger, 0, pteReference, false},
      {"Other", ftUnknown, 0, pteNormal, false},    {"OnPing", ftUnknown, 0, pteNormal, false},
      {"Fixed", ftInteger, 0, pteNormal, true},     {"WriteOnly", ftInteger, 0, pteNormal, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    const TvpPropInfo info = GetPropFieldInfo(GetPropInfo(host.get(), r.prop), 40, "Notes;Memo");
    EXPECT_EQ(info.DataType, r.type);
    EXPECT_EQ(info.Size, r.size);
    EXPECT_EQ(info.PropType, r.how);
    EXPECT_EQ(info.ReadOnly, r.readOnly);
    EXPECT_EQ(info.SetElements, r.how == pteSet ? "shRed;shGreen;shBlue" : "");
    TvpPropAccessor a(host.get(), r.prop);  // the accessor maps the same way
    EXPECT_EQ(a.DataType(), r.type);
    EXPECT_EQ(a.ReadOnly(), r.readOnly);
    EXPECT_EQ(a.SetElements(), info.SetElements);
  }
  // Long strings named in the blob list (case ignored) become memos; the accessor uses 1024.
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Text"), 40, "notes;TEXT").DataType, ftMemo);
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Text"), 40, "notes;TEXT").Size, 0);
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Wide"), 40, "Wide").DataType, ftMemo);
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Text"), 40, "Textual").DataType, ftString);
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Text"), 1024, "").Size, 1024);
  EXPECT_EQ(GetPropFieldInfo(nullptr, 40, "").DataType, ftUnknown);
  EXPECT_TRUE(GetPropFieldInfo(nullptr, 40, "").ReadOnly);
}

TEST_F(PropAccessorTest, FindsThePropertyIgnoringCaseAndKnowsItsType) {
  TvpPropAccessor a(host.get(), "sHADES");
  ASSERT_TRUE(a.Active());
  EXPECT_EQ(a.PropName(), "sHADES");
  EXPECT_EQ(a.Instance(), host.get());
  EXPECT_TRUE(a.PropTypeIs("SET OF tshade"));
  EXPECT_TRUE(TvpPropAccessor(host.get(), "Shade").PropTypeIs("tshade"));
  EXPECT_FALSE(TvpPropAccessor(host.get(), "Shade").PropTypeIs("Integer"));
  EXPECT_EQ(a.Value().DataType(), ftInteger);
  EXPECT_TRUE(a.Value().IsNull());
}

// ---------------------------------------------------------------------------------------------
// Values out and back

TEST_F(PropAccessorTest, WritesAndReadsEveryKind) {
  TKindsHost buddy;
  const String picture = BitmapBytes(3, 2, clRed);
  struct Row {
    const char* prop;
    std::function<void(TvpPropAccessor&)> write;
    std::function<bool(const TKindsHost&)> holds;
    String asString;  // what AsString reads back
  };
  const std::vector<Row> rows = {
      {"Int", [](auto& a) { a.SetAsInteger(-42); }, [](auto& h) { return h.Int == -42; }, "-42"},
      {"Int", [](auto& a) { a.SetAsString("17"); }, [](auto& h) { return h.Int == 17; }, "17"},
      {"Card", [](auto& a) { a.SetAsInteger(-1); }, [](auto& h) { return h.Card == 4294967295u; }, "-1"},
      {"Small", [](auto& a) { a.SetAsInteger(-32768); }, [](auto& h) { return h.Small == -32768; }, "-32768"},
      {"Word", [](auto& a) { a.SetAsInteger(65535); }, [](auto& h) { return h.WordV == 65535; }, "65535"},
      {"Byte", [](auto& a) { a.SetAsInteger(255); }, [](auto& h) { return h.ByteV == 255; }, "255"},
      {"Big", [](auto& a) { a.SetAsInt64((std::int64_t{1} << 40) + 1); },
       [](auto& h) { return h.Big == (std::int64_t{1} << 40) + 1; }, "1099511627777"},
      {"Ch", [](auto& a) { a.SetAsString("\u00E9"); }, [](auto& h) { return static_cast<unsigned char>(h.Ch) == 0xE9; }, "\u00E9"},
      {"Ch", [](auto& a) { a.SetAsString("Q"); }, [](auto& h) { return h.Ch == 'Q'; }, "Q"},
      {"Flag", [](auto& a) { a.SetAsString(STextTrue); }, [](auto& h) { return h.Flag; }, STextTrue},
      {"Flag", [](auto& a) { a.SetAsString(STextFalse); }, [](auto& h) { return !h.Flag; }, STextFalse},
      {"Flag", [](auto& a) { a.SetAsVariant(Variant(true)); }, [](auto& h) { return h.Flag; }, STextTrue},
      {"Shade", [](auto& a) { a.SetAsInteger(2); }, [](auto& h) { return h.Shade == shBlue; }, "2"},
      {"Shades", [](auto& a) { a.SetAsInteger(5); }, [](auto& h) { return h.Shades == TShades{shRed, shBlue}; }, "5"},
      {"Dbl", [](auto& a) { a.SetAsFloat(0.1); }, [](auto& h) { return h.Dbl == 0.1; }, "0.1"},
      {"Sgl", [](auto& a) { a.SetAsFloat(1.5); }, [](auto& h) { return h.Sgl == 1.5f; }, "1.5"},
      {"Money", [](auto& a) { a.SetAsString("12.34"); }, [](auto& h) { return h.Money.Value == 123400; }, "12.34"},
      {"Stamp", [](auto& a) { a.SetAsFloat(45000.5); }, [](auto& h) { return h.Stamp.Value == 45000.5; },
       FormatDateTime("c", TDateTime(45000.5))},
      {"Day", [](auto& a) { a.SetAsFloat(45000); }, [](auto& h) { return h.Day.Value == 45000; },
       FormatDateTime("ddddd", TDateTime(45000))},
      {"Text", [](auto& a) { a.SetAsString("Gr\u00FC\u00DFe \U0001F600"); },
       [](auto& h) { return h.Text == "Gr\u00FC\u00DFe \U0001F600"; }, "Gr\u00FC\u00DFe \U0001F600"},
      {"Wide", [](auto& a) { a.SetAsString("\u03A9\U0001F600"); }, [](auto& h) { return h.Wide == u"\u03A9\U0001F600"; },
       "\u03A9\U0001F600"},
      {"Var", [](auto& a) { a.SetAsVariant(Variant(7)); }, [](auto& h) { return h.Var.AsInteger() == 7; }, "7"},
      {"Lines", [](auto& a) { a.SetAsString("one\r\n\u00E9t\u00E9\r\n"); },
       [](auto& h) { return h.Lines()->Count() == 2 && h.Lines()->Strings(1) == "\u00E9t\u00E9"; }, "one\r\n\u00E9t\u00E9\r\n"},
      {"Lines", [](auto& a) { a.SetAsString("a\nb"); }, [](auto& h) { return h.Lines()->Count() == 2; }, "a\r\nb\r\n"},
      {"Picture", [&](auto& a) { a.SetAsString(picture); },
       [](auto& h) {
         return h.Picture()->Width() == 3 && h.Picture()->Height() == 2 && h.Picture()->Canvas()->Pixels(0, 0) == clRed &&
                h.Picture()->Canvas()->Pixels(1, 0) == clBlack;
       },
       picture},
      {"Buddy", [&](auto& a) { a.SetAsInteger(ComponentToHandle(&buddy)); }, [&](auto& h) { return h.Buddy == &buddy; },
       IntToStr(ComponentToHandle(&buddy))},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(String(r.prop) + " <- " + r.asString);
    TvpPropAccessor a(host.get(), r.prop);
    r.write(a);
    EXPECT_TRUE(r.holds(*host));
    EXPECT_TRUE(a.Value().IsNull());
    EXPECT_EQ(a.AsString(), r.asString);
    EXPECT_TRUE(a.Value().IsNull());
  }
}

TEST_F(PropAccessorTest, ReadsInEveryKindTheValueHolds) {
  host->Int = 12;
  host->Big = -(std::int64_t{1} << 50);
  host->Shades = TShades{shGreen};
  host->Flag = true;
  host->Dbl = 2.5;
  host->Var = Variant(String("x"));
  EXPECT_EQ(TvpPropAccessor(host.get(), "Int").AsInt64(), 12);
  EXPECT_EQ(TvpPropAccessor(host.get(), "Int").AsFloat(), 12.0);
  EXPECT_EQ(TvpPropAccessor(host.get(), "Int").AsVariant().AsInteger(), 12);
  EXPECT_EQ(TvpPropAccessor(host.get(), "Big").AsInt64(), -(std::int64_t{1} << 50));
  EXPECT_EQ(TvpPropAccessor(host.get(), "Shades").AsInteger(), 2);  // element of ordinal n is bit n
  EXPECT_EQ(TvpPropAccessor(host.get(), "Flag").AsString(), STextTrue);
  EXPECT_EQ(MessageOf<EDatabaseError>([&] { (void)TvpPropAccessor(host.get(), "Flag").AsInteger(); }),
            "Cannot access field 'UniValue' as type Integer");  // as a boolean field refuses it
  EXPECT_EQ(TvpPropAccessor(host.get(), "Dbl").AsString(), "2.5");
  EXPECT_EQ(TvpPropAccessor(host.get(), "Var").AsString(), "x");
  EXPECT_EQ(TvpPropAccessor(host.get(), "Fixed").AsInteger(), 7);
  // A write-only property cannot be read: the value stays null; it can be written.
  TvpPropAccessor writeOnly(host.get(), "WriteOnly");
  writeOnly.ReadData();
  EXPECT_TRUE(writeOnly.Value().IsNull());
  EXPECT_EQ(writeOnly.AsInteger(), 0);
  EXPECT_FALSE(writeOnly.IsEmpty());
  writeOnly.SetAsInteger(9);
  EXPECT_EQ(host->WriteOnlyV, 9);
  // Kinds that carry no value read as null and ignore writes.
  for (const char* prop : {"Other", "OnPing"}) {
    TvpPropAccessor a(host.get(), prop);
    EXPECT_EQ(a.AsString(), "");
    EXPECT_FALSE(a.IsEmpty());
    EXPECT_NO_THROW(a.SetAsString("5"));
  }
}

TEST_F(PropAccessorTest, ClearWritesTheNullValueOfEachKind) {
  TKindsHost buddy;
  host->Int = 3;
  host->Big = 3;
  host->Ch = 'x';
  host->Flag = true;
  host->Shade = shGreen;
  host->Shades = TShades{shBlue};
  host->Dbl = 3;
  host->Text = "t";
  host->Wide = u"w";
  host->Var = Variant(3);
  host->Lines()->Add("line");
  host->Picture()->SetSize(4, 4);
  host->Buddy = &buddy;
  for (const char* prop : {"Int", "Big", "Ch", "Flag", "Shade", "Shades", "Dbl", "Text", "Wide", "Var"}) {
    SCOPED_TRACE(prop);
    TvpPropAccessor a(host.get(), prop);
    EXPECT_FALSE(a.IsEmpty());
    a.Clear();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_TRUE(a.Value().IsNull());
  }
  EXPECT_TRUE(host->Var.IsNull());
  for (const char* prop : {"Lines", "Picture", "Buddy"}) {
    TvpPropAccessor a(host.get(), prop);
    a.Clear();
    EXPECT_FALSE(a.IsEmpty());  // objects have no empty value of their own
    EXPECT_TRUE(a.Value().IsNull());
  }
  EXPECT_EQ(host->Lines()->Count(), 0);
  EXPECT_TRUE(host->Picture()->Empty());
  EXPECT_EQ(host->Buddy, nullptr);
  EXPECT_EQ(TvpPropAccessor(host.get(), "Picture").AsString(), "");  // an empty image reads null
  EXPECT_EQ(TvpPropAccessor(host.get(), "Buddy").AsInteger(), 0);
}

// ---------------------------------------------------------------------------------------------
// Through fields, parameters and other accessors

TEST_F(PropAccessorTest, RoundTripsThroughAFieldAndAParameter) {
  struct Row {
    const char* prop;
    TFieldType fieldType;
    int size;
    std::function<void(TKindsHost&)> fill;
  };
  const std::vector<Row> rows = {
      {"Int", ftInteger, 0, [](auto& h) { h.Int = -5; }},
      {"Big", ftLargeint, 0, [](auto& h) { h.Big = std::int64_t{1} << 45; }},
      {"Flag", ftBoolean, 0, [](auto& h) { h.Flag = true; }},
      {"Shades", ftInteger, 0, [](auto& h) { h.Shades = TShades{shGreen, shBlue}; }},
      {"Dbl", ftFloat, 0, [](auto& h) { h.Dbl = 1.0 / 3.0; }},
      {"Stamp", ftDateTime, 0, [](auto& h) { h.Stamp = EncodeDateTime(2024, 3, 5, 13, 2, 3, 0); }},
      {"Text", ftString, 30, [](auto& h) { h.Text = "Gr\u00FC\u00DFe \U0001F600"; }},
      {"Lines", ftMemo, 0, [](auto& h) { h.Lines()->SetText("a\r\nb\r\n"); }},
  };
  TMemTable table(nullptr);
  for (const Row& r : rows) table.FieldDefs().Add(r.prop, r.fieldType, r.size);
  table.CreateDataSet();
  table.Append();
  TKindsHost source;
  for (const Row& r : rows) {
    r.fill(source);
    TvpPropAccessor a(&source, r.prop);
    table.FieldByName(r.prop)->Assign(&a);  // the field asks the accessor to assign itself
    EXPECT_TRUE(a.Value().IsNull());
  }
  table.Post();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    const String expected = TvpPropAccessor(&source, r.prop).AsString();
    TvpPropAccessor back(host.get(), r.prop);
    back.Assign(table.FieldByName(r.prop));
    EXPECT_EQ(back.AsString(), expected);
    EXPECT_TRUE(back.Value().IsNull());

    TParams params;
    TParam* p = params.AddParameter();
    p->Assign(&back);
    EXPECT_FALSE(p->IsNull());
    TKindsHost third;
    TvpPropAccessor viaParam(&third, r.prop);
    viaParam.Assign(p);
    EXPECT_EQ(viaParam.AsString(), expected);
  }
  // A null field clears the property.
  table.Edit();
  table.FieldByName("Int")->Clear();
  table.FieldByName("Text")->Clear();
  table.Post();
  TvpPropAccessor(host.get(), "Int").Assign(table.FieldByName("Int"));
  TvpPropAccessor(host.get(), "Text").Assign(table.FieldByName("Text"));
  EXPECT_EQ(host->Int, 0);
  EXPECT_EQ(host->Text, "");
}

TEST_F(PropAccessorTest, AssignsFromAnotherAccessorAndAValue) {
  TKindsHost other;
  other.Shades = TShades{shRed, shGreen};
  other.Text = "\u00E9";
  const TvpPropAccessor otherShades(&other, "Shades");
  TvpPropAccessor(host.get(), "Shades").Assign(&otherShades);
  EXPECT_EQ(host->Shades, (TShades{shRed, shGreen}));
  // Across kinds: the text property reads the set's mask.
  TvpPropAccessor text(host.get(), "Text");
  TvpPropAccessor shades(&other, "Shades");
  text.Assign(&shades);
  EXPECT_EQ(host->Text, "3");
  EXPECT_TRUE(shades.Value().IsNull());

  TvpUniValue v;
  v.SetAsString(STextTrue);
  TvpPropAccessor(host.get(), "Flag").Assign(&v);
  EXPECT_TRUE(host->Flag);
  TvpUniValue out;
  TvpPropAccessor flag(host.get(), "Flag");
  out.Assign(&flag);
  EXPECT_EQ(out.DataType(), ftBoolean);
  EXPECT_TRUE(out.AsBoolean());

  // Sources the accessor does not know raise the host's assignment error.
  TStringList list;
  TvpPropAccessor intAccessor(host.get(), "Int");
  EXPECT_THROW(intAccessor.Assign(&list), EConvertError);
  EXPECT_TRUE(intAccessor.Value().IsNull());
}

// ---------------------------------------------------------------------------------------------
// Refusals

TEST_F(PropAccessorTest, MissingPropertiesAreNotAvailable) {
  for (auto [instance, name] : {std::pair<TObject*, const char*>{host.get(), "Nmae"}, {nullptr, "Int"}}) {
    TvpPropAccessor a(instance, name);
    EXPECT_FALSE(a.Active());
    EXPECT_EQ(a.DataType(), ftUnknown);
    EXPECT_TRUE(a.ReadOnly());
    EXPECT_FALSE(a.PropTypeIs("Integer"));
    EXPECT_EQ(MessageOf<EZVError>([&] { (void)a.AsInteger(); }), SEValueNotAvailable);
    EXPECT_EQ(MessageOf<EZVError>([&] { a.SetAsString("x"); }), SEValueNotAvailable);
    EXPECT_EQ(MessageOf<EZVError>([&] { a.Clear(); }), SEValueNotAvailable);
    EXPECT_EQ(MessageOf<EZVError>([&] { (void)a.IsEmpty(); }), SEValueNotAvailable);
    TvpUniValue v;
    EXPECT_EQ(MessageOf<EZVError>([&] { a.Assign(&v); }), SEValueNotAvailable);
    EXPECT_EQ(MessageOf<EZVError>([&] { v.Assign(&a); }), SEValueNotAvailable);
    EXPECT_EQ(zvGetPropValueInt(instance, name), 0);
    EXPECT_EQ(zvGetPropValueStr(instance, name), "");
    EXPECT_NO_THROW(zvSetPropValueInt(instance, name, 1));
    EXPECT_NO_THROW(zvSetPropValueStr(instance, name, "1"));
  }
  zvSetPropValueInt(host.get(), "int", 31);
  EXPECT_EQ(zvGetPropValueStr(host.get(), "INT"), "31");
  zvSetPropValueStr(host.get(), "Text", "abc");
  EXPECT_EQ(zvGetPropValueStr(host.get(), "Text"), "abc");
  EXPECT_EQ(MessageOf<EZVError>([&] { zvSetPropValueInt(host.get(), "fixed", 1); }), "'fixed' is read-only property");
}

TEST_F(PropAccessorTest, RefusedWritesLeaveThePropertyAsItWas) {
  TKindsHost buddy;
  TComponent stranger(nullptr);
  int goneHandle = 0;
  {
    TKindsHost gone;
    goneHandle = ComponentToHandle(&gone);
  }
  host->Int = 1;
  host->ByteV = 1;
  host->WordV = 1;
  host->Small = 1;
  host->Ch = 'c';
  host->Shade = shGreen;
  host->Shades = TShades{shGreen};
  host->Sgl = 1;
  host->Money.Value = 10000;
  host->Buddy = &buddy;
  host->Picture()->SetSize(2, 2);
  host->Lines()->Add("kept");
  struct Row {
    const char* prop;
    std::function<void(TvpPropAccessor&)> write;
    std::function<String(const std::function<void()>&)> message;
    String expected;
  };
  auto range = [](const std::function<void()>& fn) { return MessageOf<ERangeError>(fn); };
  auto zverr = [](const std::function<void()>& fn) { return MessageOf<EZVError>(fn); };
  auto overflow = [](const std::function<void()>& fn) { return MessageOf<EOverflow>(fn); };
  auto convert = [](const std::function<void()>& fn) { return MessageOf<EConvertError>(fn); };
  auto graphic = [](const std::function<void()>& fn) { return MessageOf<EInvalidGraphic>(fn); };
  const String rangeText = "Range check error";
  const std::vector<Row> rows = {
      {"Byte", [](auto& a) { a.SetAsInteger(256); }, range, rangeText},
      {"Byte", [](auto& a) { a.SetAsInteger(-1); }, range, rangeText},
      {"Word", [](auto& a) { a.SetAsInteger(65536); }, range, rangeText},
      {"Small", [](auto& a) { a.SetAsInteger(32768); }, range, rangeText},
      {"Small", [](auto& a) { a.SetAsInteger(-32769); }, range, rangeText},
      {"Shade", [](auto& a) { a.SetAsInteger(3); }, range, rangeText},
      {"Shade", [](auto& a) { a.SetAsInteger(-1); }, range, rangeText},
      {"Shades", [](auto& a) { a.SetAsInteger(8); }, range, rangeText},
      {"Shades", [](auto& a) { a.SetAsInteger(-1); }, range, rangeText},
      {"Ch", [](auto& a) { a.SetAsString("ab"); }, range, rangeText},
      {"Ch", [](auto& a) { a.SetAsString("\u03A9"); }, range, rangeText},
      {"Sgl", [](auto& a) { a.SetAsFloat(1e300); }, overflow, "Floating point overflow"},
      {"Money", [](auto& a) { a.SetAsFloat(1e300); }, overflow, "Floating point overflow"},
      {"Int", [](auto& a) { a.SetAsString("twelve"); }, convert, "'twelve' is not a valid integer value"},
      {"Fixed", [](auto& a) { a.SetAsInteger(1); }, zverr, "'Fixed' is read-only property"},
      {"Buddy", [](auto& a) { a.SetAsInteger(123456789); }, zverr, "123456789 is not the handle of a live component"},
      {"Buddy", [&](auto& a) { a.SetAsInteger(goneHandle); }, zverr,
       IntToStr(goneHandle) + " is not the handle of a live component"},
      {"Buddy", [&](auto& a) { a.SetAsInteger(ComponentToHandle(&stranger)); }, zverr, "'Buddy' cannot refer to a TComponent"},
      {"NoLines", [](auto& a) { a.SetAsString("x"); }, zverr, "'NoLines' holds no object to take the value"},
      {"NoLines", [](auto& a) { a.Clear(); }, zverr, "'NoLines' holds no object to take the value"},
      {"NoPicture", [](auto& a) { a.SetAsString("x"); }, zverr, "'NoPicture' holds no object to take the value"},
      {"Picture", [](auto& a) { a.SetAsString("not an image"); }, graphic, "Bitmap image is not valid"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    TvpPropAccessor a(host.get(), r.prop);
    const String before = GetPropInfo(host.get(), r.prop)->IsReadable() ? a.AsString() : "";
    EXPECT_EQ(r.message([&] { r.write(a); }), r.expected);
    EXPECT_TRUE(a.Value().IsNull());
    EXPECT_EQ(GetPropInfo(host.get(), r.prop)->IsReadable() ? a.AsString() : "", before);
  }
  EXPECT_EQ(host->Buddy, &buddy);
  EXPECT_EQ(host->Picture()->Width(), 2);
  EXPECT_EQ(host->Lines()->Text(), "kept\r\n");
  EXPECT_EQ(host->Money.Value, 10000);
  // An absent object reads as null.
  EXPECT_EQ(TvpPropAccessor(host.get(), "NoLines").AsString(), "");
  EXPECT_EQ(TvpPropAccessor(host.get(), "NoPicture").AsVariant().IsNull(), true);
}

TEST_F(PropAccessorTest, AReferenceFollowsTheComponentsLife) {
  auto buddy = std::make_unique<TKindsHost>();
  TvpPropAccessor a(host.get(), "Buddy");
  a.SetAsInteger(ComponentToHandle(buddy.get()));
  const int handle = a.AsInteger();
  EXPECT_NE(handle, 0);
  EXPECT_EQ(HandleToComponent(handle), buddy.get());
  host->Buddy = nullptr;  // the test host keeps no free notification
  buddy.reset();
  EXPECT_THROW(a.SetAsInteger(handle), EZVError);
  EXPECT_EQ(host->Buddy, nullptr);
  a.SetAsInteger(0);
  EXPECT_EQ(host->Buddy, nullptr);
}

}  // namespace zvtest
