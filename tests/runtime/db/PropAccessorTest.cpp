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
ZV_ENUM(TShade, shRed, shGreen, shBlue);
}
using zvtest::TShade;
namespace zvtest {

using namespace zv;
using TShades = TSet<TShade>;

// Publishes one property of every kind the accessor moves: a member V<Name> with its getter
// and setter.
#define ZV_KIND(T, Name) \
  T V##Name{};         \
  T Get##Name() const { return V##Name; } \
  void Set##Name(T v) { V##Name = v; }
#define ZV_PROP(Name) t.Prop(#Name, &TKindsHost::Get##Name, &TKindsHost::Set##Name)

class TKindsHost : public TComponent {
  ZV_CLASS(TKindsHost, TComponent)

public:
  explicit TKindsHost(TComponent* owner = nullptr) : TComponent(owner) {}

  ZV_KIND(int, Int) ZV_KIND(unsigned, Card) ZV_KIND(short, Small) ZV_KIND(unsigned short, Word)
  ZV_KIND(unsigned char, Byte) ZV_KIND(std::int64_t, Big) ZV_KIND(char, Ch) ZV_KIND(bool, Flag)
  ZV_KIND(TShade, Shade) ZV_KIND(TShades, Shades) ZV_KIND(double, Dbl) ZV_KIND(float, Sgl)
  ZV_KIND(TDateTime, Stamp) ZV_KIND(TDate, Day) ZV_KIND(Currency, Money) ZV_KIND(String, Text)
  ZV_KIND(WideString, Wide) ZV_KIND(Variant, Var) ZV_KIND(TKindsHost*, Buddy)
  ZV_KIND(TStrings*, NoLines) ZV_KIND(TBitmap*, NoPicture) ZV_KIND(TvpUniValue*, Other)
  TStrings* GetLines() const { return fLines.get(); }
  void SetLines(TStrings* v) { fLines->Assign(v); }
  TBitmap* GetPicture() const { return fPicture.get(); }
  void SetPicture(TBitmap* v) { fPicture->Assign(v); }
  int GetFixed() const { return 7; }
  int VWriteOnly = 0;
  void SetWriteOnly(int v) { VWriteOnly = v; }
  TNotifyEvent OnPing;

  static void DeclareProperties(TPropTable<TKindsHost>& t) {
    ZV_PROP(Int); ZV_PROP(Card); ZV_PROP(Small); ZV_PROP(Word); ZV_PROP(Byte); ZV_PROP(Big); ZV_PROP(Ch);
    ZV_PROP(Flag); ZV_PROP(Shade); ZV_PROP(Shades); ZV_PROP(Dbl); ZV_PROP(Sgl); ZV_PROP(Stamp); ZV_PROP(Day);
    ZV_PROP(Money); ZV_PROP(Text); ZV_PROP(Wide); ZV_PROP(Var); ZV_PROP(Lines); ZV_PROP(NoLines);
    ZV_PROP(Picture); ZV_PROP(NoPicture); ZV_PROP(Buddy); ZV_PROP(Other);  // Other: a class of no known family
    t.Event("OnPing", &TKindsHost::OnPing);
    t.Prop("Fixed", &TKindsHost::GetFixed);
    t.Prop("WriteOnly", nullptr, &TKindsHost::SetWriteOnly);
  }

private:
  std::unique_ptr<TStringList> fLines = std::make_unique<TStringList>();
  std::unique_ptr<TBitmap> fPicture = std::make_unique<TBitmap>();
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
    bool readOnly = false;
  };
  const Row rows[] = {
      {"Int", ftInteger, 0, pteNormal},   {"Card", ftInteger, 0, pteNormal},  {"Big", ftLargeint, 0, pteNormal},
      {"Ch", ftString, 1, pteNormal},     {"Flag", ftBoolean, 0, pteNormal},  {"Shade", ftInteger, 0, pteNormal},
      {"Shades", ftInteger, 0, pteSet},   {"Dbl", ftFloat, 0, pteNormal},     {"Money", ftFloat, 0, pteNormal},
      {"Stamp", ftDateTime, 0, pteNormal}, {"Day", ftDate, 0, pteNormal},     {"Text", ftString, 40, pteNormal},
      {"Wide", ftWideString, 80, pteNormal}, {"Var", ftVariant, 0, pteNormal}, {"Lines", ftMemo, 0, pteStrings},
      {"Picture", ftBlob, 0, pteBitmap},  {"Buddy", ftInteger, 0, pteReference}, {"Other", ftUnknown, 0, pteNormal},
      {"OnPing", ftUnknown, 0, pteNormal}, {"Fixed", ftInteger, 0, pteNormal, true}, {"WriteOnly", ftInteger, 0, pteNormal},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    const TvpPropInfo info = GetPropFieldInfo(GetPropInfo(host.get(), r.prop), 40, "Notes;Memo");
    EXPECT_EQ(info.DataType, r.type);
    EXPECT_EQ(info.Size, r.size);
    EXPECT_EQ(info.PropType, r.how);
    EXPECT_EQ(info.ReadOnly, r.readOnly);
    EXPECT_EQ(info.SetElements, r.how == pteSet ? "shRed;shGreen;shBlue" : "");
    TvpPropAccessor a(host.get(), r.prop);
    EXPECT_EQ(a.DataType(), r.type);
    EXPECT_EQ(a.ReadOnly(), r.readOnly);
    EXPECT_EQ(a.SetElements(), info.SetElements);
  }
  // Strings named in the blob list (case ignored) become memos; the accessor's strings are 1024 long.
  const TPropInfo* text = GetPropInfo(host.get(), "Text");
  EXPECT_EQ(GetPropFieldInfo(text, 40, "notes;TEXT").DataType, ftMemo);
  EXPECT_EQ(GetPropFieldInfo(GetPropInfo(host.get(), "Wide"), 40, "Wide").DataType, ftMemo);
  EXPECT_EQ(GetPropFieldInfo(text, 1024, "").Size, 1024);
  EXPECT_TRUE(GetPropFieldInfo(nullptr, 40, "").ReadOnly);
  // Found ignoring case; the type name compared ignoring case.
  TvpPropAccessor shades(host.get(), "sHADES");
  EXPECT_TRUE(shades.Active());
  EXPECT_TRUE(shades.PropTypeIs("SET OF tshade"));
  EXPECT_FALSE(shades.PropTypeIs("tshade"));
  EXPECT_EQ(shades.Value().DataType(), ftInteger);
}

// ---------------------------------------------------------------------------------------------
// Values out and back

TEST_F(PropAccessorTest, WritesAndReadsEveryKind) {
  TKindsHost buddy;
  const String picture = BitmapBytes(3, 2, clRed);
  const String smile = "Gr\u00FC\u00DFe \U0001F600";
  struct Row {
    const char* prop;
    std::function<void(TvpPropAccessor&)> write;
    std::function<bool(TKindsHost&)> holds;
    String asString;  // what AsString reads back
  };
  const std::vector<Row> rows = {
      {"Int", [](auto& a) { a.SetAsString("17"); }, [](auto& h) { return h.VInt == 17; }, "17"},
      {"Card", [](auto& a) { a.SetAsInteger(-1); }, [](auto& h) { return h.VCard == 4294967295u; }, "-1"},
      {"Small", [](auto& a) { a.SetAsInteger(-32768); }, [](auto& h) { return h.VSmall == -32768; }, "-32768"},
      {"Word", [](auto& a) { a.SetAsInteger(65535); }, [](auto& h) { return h.VWord == 65535; }, "65535"},
      {"Byte", [](auto& a) { a.SetAsInteger(255); }, [](auto& h) { return h.VByte == 255; }, "255"},
      {"Big", [](auto& a) { a.SetAsInt64((std::int64_t{1} << 40) + 1); }, [](auto& h) { return h.VBig == (std::int64_t{1} << 40) + 1; }, "1099511627777"},
      {"Ch", [](auto& a) { a.SetAsString("\u00E9"); }, [](auto& h) { return static_cast<unsigned char>(h.VCh) == 0xE9; }, "\u00E9"},
      {"Flag", [](auto& a) { a.SetAsString(STextTrue); }, [](auto& h) { return h.VFlag; }, STextTrue},
      {"Flag", [](auto& a) { a.SetAsString(STextFalse); }, [](auto& h) { return !h.VFlag; }, STextFalse},
      {"Shade", [](auto& a) { a.SetAsInteger(2); }, [](auto& h) { return h.VShade == shBlue; }, "2"},
      {"Shades", [](auto& a) { a.SetAsInteger(5); }, [](auto& h) { return h.VShades == TShades{shRed, shBlue}; }, "5"},
      {"Dbl", [](auto& a) { a.SetAsFloat(0.1); }, [](auto& h) { return h.VDbl == 0.1; }, "0.1"},
      {"Sgl", [](auto& a) { a.SetAsFloat(1.5); }, [](auto& h) { return h.VSgl == 1.5f; }, "1.5"},
      {"Money", [](auto& a) { a.SetAsString("12.34"); }, [](auto& h) { return h.VMoney.Value == 123400; }, "12.34"},
      {"Stamp", [](auto& a) { a.SetAsFloat(45000.5); }, [](auto& h) { return h.VStamp.Value == 45000.5; }, FormatDateTime("c", TDateTime(45000.5))},
      {"Day", [](auto& a) { a.SetAsFloat(45000); }, [](auto& h) { return h.VDay.Value == 45000; }, FormatDateTime("ddddd", TDateTime(45000))},
      {"Text", [&](auto& a) { a.SetAsString(smile); }, [&](auto& h) { return h.VText == smile; }, smile},
      {"Wide", [](auto& a) { a.SetAsString("\u03A9\U0001F600"); }, [](auto& h) { return h.VWide == u"\u03A9\U0001F600"; }, "\u03A9\U0001F600"},
      {"Var", [](auto& a) { a.SetAsVariant(Variant(7)); }, [](auto& h) { return h.VVar.AsInteger() == 7; }, "7"},
      {"Lines", [](auto& a) { a.SetAsString("one\n\u00E9t\u00E9"); }, [](auto& h) { return h.GetLines()->Strings(1) == "\u00E9t\u00E9"; }, "one\r\n\u00E9t\u00E9\r\n"},
      {"Picture", [&](auto& a) { a.SetAsString(picture); },
       [](auto& h) { return h.GetPicture()->Width() == 3 && h.GetPicture()->Canvas()->Pixels(0, 0) == clRed; }, picture},
      {"Buddy", [&](auto& a) { a.SetAsInteger(ComponentToHandle(&buddy)); }, [&](auto& h) { return h.VBuddy == &buddy; },
       IntToStr(ComponentToHandle(&buddy))},
      {"WriteOnly", [](auto& a) { a.SetAsInteger(9); }, [](auto& h) { return h.VWriteOnly == 9; }, ""},  // reads as null
      {"Other", [](auto& a) { a.SetAsString("5"); }, [](auto&) { return true; }, ""},  // kinds with no value
      {"OnPing", [](auto& a) { a.SetAsString("5"); }, [](auto& h) { return !h.OnPing; }, ""},
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
  EXPECT_EQ(TvpPropAccessor(host.get(), "Big").AsInt64(), (std::int64_t{1} << 40) + 1);
  EXPECT_EQ(TvpPropAccessor(host.get(), "Var").AsVariant().AsInteger(), 7);
  EXPECT_EQ(zvGetPropValueInt(host.get(), "fixed"), 7);
  TvpPropAccessor a(host.get(), "Int");  // the two halves of every operation
  a.ReadData();
  EXPECT_EQ(a.Value().AsInteger(), 17);
  a.Value().SetAsInteger(4);
  a.WriteData();
  EXPECT_EQ(host->VInt, 4);
  EXPECT_TRUE(a.Value().IsNull());
}

TEST_F(PropAccessorTest, ClearWritesTheNullValueOfEachKind) {
  TKindsHost buddy;
  const char* props[] = {"Int", "Big", "Ch", "Flag", "Shade", "Shades", "Dbl", "Text", "Wide", "Var", "Lines", "Picture", "Buddy"};
  const char* values[] = {"3", "3", "x", STextTrue, "1", "4", "3", "t", "w", "3", "line", "", ""};
  const char* cleared[] = {"0", "0", "", STextFalse, "0", "0", "0", "", "", "", "", "", "0"};
  for (int i = 0; i < 10; ++i) TvpPropAccessor(host.get(), props[i]).SetAsString(values[i]);
  host->GetLines()->Add("line");
  host->GetPicture()->SetSize(4, 4);
  host->VBuddy = &buddy;
  for (int i = 0; i < 13; ++i) {
    SCOPED_TRACE(props[i]);
    TvpPropAccessor a(host.get(), props[i]);
    const bool hasEmpty = i < 10;  // objects have no empty value of their own
    EXPECT_FALSE(a.IsEmpty());
    a.Clear();
    EXPECT_EQ(a.IsEmpty(), hasEmpty);
    EXPECT_TRUE(a.Value().IsNull());
    EXPECT_EQ(a.AsString(), cleared[i]);
  }
  EXPECT_TRUE(host->VVar.IsNull());
  EXPECT_EQ(host->VInt, 0);
  EXPECT_EQ(host->GetLines()->Count(), 0);
  EXPECT_TRUE(host->GetPicture()->Empty());
  EXPECT_EQ(host->VBuddy, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Through fields, parameters and other accessors

TEST_F(PropAccessorTest, RoundTripsThroughAFieldAndAParameter) {
  struct Row {
    const char* prop;
    TFieldType fieldType;
    const char* text;
  };
  const Row rows[] = {{"Int", ftInteger, "-5"},     {"Big", ftLargeint, "35184372088832"}, {"Flag", ftBoolean, STextTrue},
                      {"Shades", ftInteger, "6"},   {"Dbl", ftFloat, "0.125"},             {"Stamp", ftDateTime, "45000.25"},
                      {"Text", ftString, "\u00E9\U0001F600"}, {"Lines", ftMemo, "a\r\nb\r\n"}};
  TMemTable table(nullptr);
  for (const Row& r : rows) table.FieldDefs().Add(r.prop, r.fieldType, r.fieldType == ftString ? 30 : 0);
  table.CreateDataSet();
  table.Append();
  TKindsHost source;
  for (const Row& r : rows) {
    TvpPropAccessor a(&source, r.prop);
    a.SetAsString(r.fieldType == ftDateTime ? FormatDateTime("c", TDateTime(45000.25)) : String(r.text));
    table.FieldByName(r.prop)->Assign(&a);  // the field has the accessor assign itself
  }
  table.Post();
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    const String expected = TvpPropAccessor(&source, r.prop).AsString();
    TvpPropAccessor back(host.get(), r.prop);
    back.Assign(table.FieldByName(r.prop));
    EXPECT_EQ(back.AsString(), expected);
    TParams params;
    TParam* p = params.AddParameter();
    p->Assign(&back);
    TKindsHost third;
    TvpPropAccessor viaParam(&third, r.prop);
    viaParam.Assign(p);
    EXPECT_EQ(viaParam.AsString(), expected);
    EXPECT_TRUE(back.Value().IsNull() && viaParam.Value().IsNull());
  }
  table.Edit();
  table.FieldByName("Text")->Clear();
  table.Post();
  TvpPropAccessor(host.get(), "Text").Assign(table.FieldByName("Text"));  // a null source clears
  EXPECT_EQ(host->VText, "");
}

TEST_F(PropAccessorTest, AssignsFromAnotherAccessorAndAValue) {
  TKindsHost other;
  other.VShades = TShades{shRed, shGreen};
  const TvpPropAccessor shades(&other, "Shades");
  TvpPropAccessor(host.get(), "Shades").Assign(&shades);
  EXPECT_EQ(host->VShades, (TShades{shRed, shGreen}));
  TvpPropAccessor(host.get(), "Text").Assign(&shades);  // across kinds: the text takes the mask
  EXPECT_EQ(host->VText, "3");
  EXPECT_TRUE(shades.Value().IsNull());
  TvpUniValue out;
  out.Assign(&shades);
  EXPECT_EQ(out.AsInteger(), 3);
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
    TvpUniValue v;
    const std::function<void()> accesses[] = {[&] { (void)a.AsInteger(); }, [&] { a.SetAsString("x"); }, [&] { a.Clear(); },
                                              [&] { (void)a.IsEmpty(); }, [&] { a.Assign(&v); }, [&] { v.Assign(&a); }};
    for (const auto& access : accesses)
      EXPECT_EQ(MessageOf<EZVError>(access), SEValueNotAvailable);
    EXPECT_EQ(zvGetPropValueInt(instance, name), 0);
    EXPECT_EQ(zvGetPropValueStr(instance, name), "");
    EXPECT_NO_THROW(zvSetPropValueInt(instance, name, 1));
    EXPECT_NO_THROW(zvSetPropValueStr(instance, name, "1"));
  }
  zvSetPropValueStr(host.get(), "int", "31");
  EXPECT_EQ(zvGetPropValueStr(host.get(), "INT"), "31");
}

TEST_F(PropAccessorTest, RefusedWritesLeaveThePropertyAsItWas) {
  TKindsHost buddy;
  TComponent stranger(nullptr);
  int goneHandle = 0;
  {
    TKindsHost gone;
    goneHandle = ComponentToHandle(&gone);
  }
  for (auto [prop, value] : {std::pair<const char*, const char*>{"Byte", "1"}, {"Word", "1"}, {"Small", "1"}, {"Ch", "c"},
                             {"Shade", "1"}, {"Shades", "2"}, {"Sgl", "1"}, {"Int", "1"}})
    TvpPropAccessor(host.get(), prop).SetAsString(value);
  host->VBuddy = &buddy;
  host->GetPicture()->SetSize(2, 2);
  host->GetLines()->Add("kept");
  auto range = [](const std::function<void()>& fn) { return MessageOf<ERangeError>(fn); };
  auto zverr = [](const std::function<void()>& fn) { return MessageOf<EZVError>(fn); };
  auto overflow = [](const std::function<void()>& fn) { return MessageOf<EOverflow>(fn); };
  struct Row {
    const char* prop;
    std::function<void(TvpPropAccessor&)> write;
    std::function<String(const std::function<void()>&)> message;
    String expected;
  };
  const String rangeText = "Range check error";
  const std::vector<Row> rows = {
      {"Byte", [](auto& a) { a.SetAsInteger(256); }, range, rangeText},
      {"Byte", [](auto& a) { a.Value().SetAsInteger(300); a.WriteData(); }, range, rangeText},
      {"Word", [](auto& a) { a.SetAsInteger(65536); }, range, rangeText},
      {"Small", [](auto& a) { a.SetAsInteger(32768); }, range, rangeText},
      {"Shade", [](auto& a) { a.SetAsInteger(3); }, range, rangeText},
      {"Shades", [](auto& a) { a.SetAsInteger(8); }, range, rangeText},
      {"Shades", [](auto& a) { a.SetAsInteger(-1); }, range, rangeText},
      {"Ch", [](auto& a) { a.SetAsString("\u03A9"); }, range, rangeText},
      {"Sgl", [](auto& a) { a.SetAsFloat(1e300); }, overflow, "Floating point overflow"},
      {"Int", [](auto& a) { a.SetAsString("twelve"); }, [](auto fn) { return MessageOf<EConvertError>(fn); },
       "'twelve' is not a valid integer value"},
      {"Fixed", [](auto& a) { a.SetAsInteger(1); }, zverr, "'Fixed' is read-only property"},
      {"Buddy", [](auto& a) { a.SetAsInteger(123456789); }, zverr, "123456789 is not the handle of a live component"},
      {"Buddy", [&](auto& a) { a.SetAsInteger(goneHandle); }, zverr, IntToStr(goneHandle) + " is not the handle of a live component"},
      {"Buddy", [&](auto& a) { a.SetAsInteger(ComponentToHandle(&stranger)); }, zverr, "'Buddy' cannot refer to a TComponent"},
      {"NoLines", [](auto& a) { a.SetAsString("x"); }, zverr, "'NoLines' holds no object to take the value"},
      {"NoPicture", [](auto& a) { a.SetAsString("x"); }, zverr, "'NoPicture' holds no object to take the value"},
      {"Picture", [](auto& a) { a.SetAsString("not an image"); }, [](auto fn) { return MessageOf<EInvalidGraphic>(fn); },
       "Bitmap image is not valid"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.prop);
    TvpPropAccessor a(host.get(), r.prop);
    const String before = a.AsString();
    EXPECT_EQ(r.message([&] { r.write(a); }), r.expected);
    EXPECT_TRUE(a.Value().IsNull());
    EXPECT_EQ(a.AsString(), before);
  }
  EXPECT_EQ(host->VBuddy, &buddy);
  EXPECT_EQ(host->GetPicture()->Width(), 2);
  EXPECT_EQ(host->GetLines()->Text(), "kept\r\n");
  EXPECT_EQ(TvpPropAccessor(host.get(), "NoLines").AsString(), "");  // an absent object reads as null
  EXPECT_TRUE(TvpPropAccessor(host.get(), "NoPicture").AsVariant().IsNull());
}

}  // namespace zvtest
