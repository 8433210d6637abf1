// Integer properties with identifiers: written by name when the value has one, read back from a
// name or a number, in both form formats and through the generic text access.

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Reader.h"
#include "platform/classes/TypeInfo.h"
#include "platform/classes/Writer.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zv;

namespace {

constexpr TIdentMapEntry ToneNames[] = {{0, "tnNone"}, {10, "tnLight"}, {20, "tnDark"}, {-5, "tnDim"}, {20, "tnDeep"}};
bool ToneToIdent(int value, String& ident) { return IntToIdent(value, ident, ToneNames); }
bool IdentToTone(std::string_view ident, int& value) { return IdentToInt(ident, value, ToneNames); }
const TTypeInfo* ToneType() { return RegisterIntegerConsts("TTone", &IdentToTone, &ToneToIdent); }

class TTonePen : public TPersistent {
  ZV_CLASS(TTonePen, TPersistent)
public:
  int Tone() const { return fTone; }
  void SetTone(int v) { fTone = v; }
  static void DeclareProperties(TPropTable<TTonePen>& t) { t.Prop("Tone", &TTonePen::Tone, &TTonePen::SetTone).Idents(ToneType()).Default(10); }

private:
  int fTone = 10;
};

class TShade : public TComponent {
  ZV_CLASS(TShade, TComponent)
public:
  using TComponent::TComponent;
  int Tone() const { return fTone; }
  void SetTone(int v) { fTone = v; }
  int Level() const { return fLevel; }
  void SetLevel(int v) { fLevel = v; }
  TTonePen* Pen() const { return fPen.get(); }
  static void DeclareProperties(TPropTable<TShade>& t) {
    t.Prop("Tone", &TShade::Tone, &TShade::SetTone).Idents(ToneType()).Default(0);
    t.Prop("Level", &TShade::Level, &TShade::SetLevel).Default(0);
    t.Prop("Pen", &TShade::Pen);
  }

private:
  int fTone = 0;
  int fLevel = 0;
  std::unique_ptr<TTonePen> fPen = std::make_unique<TTonePen>();
};

ZV_DEFINE_CLASS_WITH_PROPS(TTonePen, TPersistent)
ZV_DEFINE_CLASS_WITH_PROPS(TShade, TComponent)

class IntegerIdents : public ::testing::Test {
protected:
  void SetUp() override { RegisterClass(TShade::StaticClass()); }

  static std::unique_ptr<TShade> Read(std::string_view body) {
    auto shade = std::make_unique<TShade>(nullptr);
    TextToComponent("object Shade1: TShade\n" + String(body) + "end\n", shade.get());
    return shade;
  }
  static String ReadError(std::string_view body) {
    try {
      Read(body);
    } catch (const EReadError& e) {
      return e.Message();
    }
    return "no error";
  }
};

bool Contains(const std::vector<std::uint8_t>& bytes, std::string_view text) {
  return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

}  // namespace

TEST_F(IntegerIdents, TextNamesValuesThatHaveANameAndNumbersTheRest) {
  TShade shade(nullptr);
  shade.SetName("Shade1");
  shade.SetTone(20);    // two names share 20: the first one is written
  shade.SetLevel(20);   // the same value on a plain integer stays a number
  shade.Pen()->SetTone(33);
  const String text = ComponentToText(&shade);
  EXPECT_NE(text.find("Tone = tnDark\n"), String::npos) << text;
  EXPECT_NE(text.find("Level = 20\n"), String::npos) << text;
  EXPECT_NE(text.find("Pen.Tone = 33\n"), String::npos) << text;

  TShade back(nullptr);
  TextToComponent(text, &back);
  EXPECT_EQ(back.Tone(), 20);
  EXPECT_EQ(back.Level(), 20);
  EXPECT_EQ(back.Pen()->Tone(), 33);

  // A named default is not written; a negative named value is.
  shade.SetTone(0);
  shade.Pen()->SetTone(-5);
  const String second = ComponentToText(&shade);
  EXPECT_EQ(second.find("  Tone ="), String::npos) << second;
  EXPECT_NE(second.find("Pen.Tone = tnDim\n"), String::npos) << second;
}

TEST_F(IntegerIdents, BinaryFormStoresTheNameAsAnIdentifier) {
  TShade shade(nullptr);
  shade.SetName("Shade1");
  shade.SetTone(-5);
  shade.Pen()->SetTone(11);
  const auto bytes = ComponentToBinary(&shade);
  EXPECT_TRUE(Contains(bytes, std::string_view("\x07\x05tnDim", 7)));  // vaIdent, length, name
  EXPECT_FALSE(Contains(bytes, "tnLight"));

  TShade back(nullptr);
  BinaryToComponent(bytes, &back);
  EXPECT_EQ(back.Tone(), -5);
  EXPECT_EQ(back.Pen()->Tone(), 11);

  // A hand-written form may give the number where a name exists, or the name in another case.
  auto read = Read("  Tone = 10\n  Pen.Tone = TNDARK\n");
  EXPECT_EQ(read->Tone(), 10);
  EXPECT_EQ(read->Pen()->Tone(), 20);
}

TEST_F(IntegerIdents, UnknownOrMisplacedNamesFailWithThePropertyPath) {
  EXPECT_EQ(ReadError("  Tone = tnPurple\n"), "Error reading Shade1.Tone: Invalid property value");
  EXPECT_EQ(ReadError("  Pen.Tone = tnPurple\n"), "Error reading Shade1.Pen.Tone: Invalid property value");
  // A plain integer property has no names to read.
  EXPECT_EQ(ReadError("  Level = tnDark\n"), "Error reading Shade1.Level: Invalid property value");
  // Strings are not names.
  EXPECT_EQ(ReadError("  Tone = 'tnDark'\n"), "Error reading Shade1.Tone: Invalid property value");
}

TEST_F(IntegerIdents, GenericTextAccessUsesTheNames) {
  TShade shade(nullptr);
  const TPropInfo* tone = GetPropInfo(&shade, "Tone");
  const TPropInfo* level = GetPropInfo(&shade, "Level");
  ASSERT_NE(tone, nullptr);
  EXPECT_EQ(tone->PropType, ToneType());
  EXPECT_EQ(tone->PropType->Name, "TTone");
  EXPECT_EQ(level->PropType->IdentToInt, nullptr);

  EXPECT_EQ(GetPropText(&shade, tone), "tnNone");
  SetPropText(&shade, tone, " tnLight ");
  EXPECT_EQ(shade.Tone(), 10);
  SetPropText(&shade, tone, "-7");
  EXPECT_EQ(shade.Tone(), -7);
  EXPECT_EQ(GetPropText(&shade, tone), "-7");
  EXPECT_THROW(SetPropText(&shade, tone, "tnPurple"), EPropertyConvertError);
  EXPECT_EQ(shade.Tone(), -7);
  EXPECT_THROW(SetPropText(&shade, level, "tnDark"), Exception);

  SetPropValue(&shade, tone, Variant(String("tnDim")));
  EXPECT_EQ(shade.Tone(), -5);
  SetPropValue(&shade, tone, Variant(20));
  EXPECT_EQ(shade.Tone(), 20);
  EXPECT_EQ(GetPropValue(&shade, tone).AsInteger(), 20);  // values stay numbers

  // Registering the same type again keeps one type information.
  EXPECT_EQ(RegisterIntegerConsts("TTone", &IdentToTone, &ToneToIdent), ToneType());
  EXPECT_EQ(IntToIdentText(ToneType(), INT64_C(1) << 40), "1099511627776");
  String ident;
  EXPECT_FALSE(IntToIdent(3, ident, ToneNames));
  EXPECT_EQ(ident, "");
}
