// The textual form format: exact text of the host's layout, conversions both ways that keep
// every byte, the tokenizer, and clear errors for bad text or a corrupt binary form.

#include "TestComponents.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/classes/FormText.h"
#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace zv;
using namespace zvtest;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Build(const std::function<void(TWriter&)>& write) {
  TMemoryStream s;
  TWriter w(s);
  write(w);
  return {s.Memory().begin(), s.Memory().end()};
}

String ToText(const Bytes& binary) {
  TMemoryStream in;
  in.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  in.SetPosition(0);
  TStringStream out;
  ObjectBinaryToText(in, out);
  return out.DataString();
}

Bytes ToBinary(const String& text) {
  TStringStream in(text);
  TMemoryStream out;
  ObjectTextToBinary(in, out);
  return {out.Memory().begin(), out.Memory().end()};
}

// The message of the EParserError that converting text raises.
String ParseError(const String& text) {
  try {
    ToBinary(text);
  } catch (const EParserError& e) {
    return e.Message();
  }
  return "no error";
}

// A form with one property whose value `write` writes.
Bytes OneProperty(const std::function<void(TWriter&)>& write) {
  return Build([&](TWriter& w) {
    w.WriteSignature();
    w.WriteStr("TX");
    w.WriteStr("A");
    w.WritePropName("P");
    write(w);
    w.WriteListEnd();
    w.WriteListEnd();
  });
}

// The text of that property's value.
String ValueText(const Bytes& form) {
  const String text = ToText(form);
  const auto start = text.find("P = ") + 4;
  return text.substr(start, text.find("\nend") - start);
}

class FormText : public ::testing::Test {
protected:
  void SetUp() override { RegisterSampleClasses(); }

  static std::unique_ptr<TSampleRoot> BuildTree() { return BuildSampleTree(); }
};

}  // namespace

TEST_F(FormText, WritesTheHostLayout) {
  TSampleRoot root(nullptr);
  root.SetName("Form1");
  root.SetCount(3);
  root.SetEnabled(false);
  root.SetMoods({smBusy, smAngry});
  root.SetRatio(2.5);
  root.SetPrice(Currency::FromInt(-2));
  root.SetCaption("It's Grüße");
  root.Style()->SetFontName("DejaVu Sans");
  root.Style()->blob = {0, 1, 0xFF};
  auto* item = static_cast<TSampleItem*>(root.Items()->Add());
  item->SetWidth(10);
  item->SetTitle("first");
  auto* alpha = new TSample(&root);
  alpha->SetName("Alpha");
  // 70 characters, a tab among them: 64 on the first line, the tab counting as one.
  alpha->SetCaption("012345678901234567890123456789012345678901234567890123456789" "01\t3456789");
  alpha->SetPeer(&root);
  alpha->SetWide(u"abc");

  const String text = ComponentToText(&root);
  EXPECT_EQ(text,
            "object Form1: TSampleRoot\n"
            "  Count = 3\n"
            "  Enabled = False\n"
            "  Moods = [smBusy, smAngry]\n"
            "  Ratio = 2.500000000000000000\n"
            "  Price = -2.000000000000000000c\n"
            "  Caption = 'It'#39's Gr'#252#223'e'\n"
            "  Style.FontName = 'DejaVu Sans'\n"
            "  Style.Blob = {\n"
            "    0001FF}\n"
            "  Items = <\n"
            "    item\n"
            "      Width = 10\n"
            "      Title = 'first'\n"
            "    end>\n"
            "  object Alpha: TSample\n"
            "    Caption = \n"
            "      '01234567890123456789012345678901234567890123456789012345678901'#9'3' +\n"
            "      '456789'\n"
            "    Wide = 'abc'\n"
            "    Peer = Form1\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(ToBinary(text), ComponentToBinary(&root));
}

TEST_F(FormText, WritesListsBinaryCollectionsAndHeaders) {
  const String longText(70, 'x');
  const Bytes form = Build([&](TWriter& w) {
    w.WriteSignature();
    w.WritePrefix(TFilerFlags{ffInline, ffChildPos}, 2);
    w.WriteStr("TFrame");
    w.WriteStr("Frame1");
    w.WritePropName("Lines.Strings");
    w.WriteListBegin();
    w.WriteString("a");
    w.WriteString("");
    w.WriteString(longText);
    w.WriteListEnd();
    w.WritePropName("Empty");
    w.WriteListBegin();
    w.WriteListEnd();
    w.WritePropName("Nested");
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteListBegin();
    w.WriteBoolean(true);
    w.WriteIdent("nil");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WritePropName("Cols");
    w.WriteValue(vaCollection);
    w.WriteInteger(3);  // an item with its position
    w.WriteListBegin();
    w.WritePropName("X");
    w.WriteIdent("Null");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WritePropName("NoCols");
    w.WriteCollection(nullptr);
    Bytes data(33);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 8);
    w.WritePropName("Data");
    w.WriteBinary(data.data(), 33);
    w.WritePropName("NoData");
    w.WriteBinary(nullptr, 0);
    w.WritePropName("Ref");
    w.WriteIdent("Other.Button1");
    w.WritePropName("Low");
    w.WriteInteger(INT64_MIN);
    w.WriteListEnd();
    w.WritePrefix(TFilerFlags{ffInherited}, 0);
    w.WriteStr("TSample");
    w.WriteStr("Beta");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteStr("TPanel");  // an unnamed child
    w.WriteStr("");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
  });
  const String text = ToText(form);
  EXPECT_EQ(text,
            "inline Frame1: TFrame [2]\n"
            "  Lines.Strings = (\n"
            "    'a'\n"
            "    ''\n"
            "    \n"
            "      'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx' +\n"
            "      'xxxxxx')\n"
            "  Empty = ()\n"
            "  Nested = (\n"
            "    1\n"
            "    (\n"
            "      True\n"
            "      nil))\n"
            "  Cols = <\n"
            "    item [3]\n"
            "      X = Null\n"
            "    end>\n"
            "  NoCols = <>\n"
            "  Data = {\n"
            "    0008101820283038404850586068707880889098A0A8B0B8C0C8D0D8E0E8F0F8\n"
            "    00}\n"
            "  NoData = {}\n"
            "  Ref = Other.Button1\n"
            "  Low = -9223372036854775808\n"
            "  inherited Beta: TSample\n"
            "  end\n"
            "  object TPanel\n"
            "  end\n"
            "end\n");
  EXPECT_EQ(ToBinary(text), form);
}

TEST_F(FormText, BinaryTextBinaryKeepsEveryByteAndValue) {
  auto original = BuildTree();
  const Bytes binary = ComponentToBinary(original.get());
  const String text = ToText(binary);
  EXPECT_NE(text.find("  Caption = 'Gr'#252#223'e, '#1084#1080#1088' '#128512\n"), String::npos) << text;
  EXPECT_NE(text.find("  Ratio = 0.100000000000000000\n"), String::npos);
  EXPECT_NE(text.find("  Price = -12345.678900000000000000c\n"), String::npos);
  EXPECT_NE(text.find("  When = -18202.250000000000000000d\n"), String::npos);
  EXPECT_NE(text.find("  Wide = 'wide '#9786\n"), String::npos);
  EXPECT_EQ(ToBinary(text), binary);  // the wide string comes back as a wide string
  EXPECT_EQ(ToText(ToBinary(text)), text);

  std::unique_ptr<TComponent> loaded(TextToComponent(text));
  auto* root = dynamic_cast<TSampleRoot*>(loaded.get());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Caption(), "Grüße, мир 😀");
  EXPECT_EQ(root->Ratio(), 0.1);
  EXPECT_EQ(root->Price().Value, -123456789);
  EXPECT_EQ(root->When().Value, original->When().Value);
  EXPECT_EQ(root->Wide(), u"wide \u263A");
  EXPECT_EQ(root->Moods(), (TSampleMoods{smCalm, smBusy}));
  EXPECT_EQ(root->Style()->blob, (Bytes{0, 1, 2, 0xFF}));
  EXPECT_EQ(root->Style()->note, "defined");
  ASSERT_EQ(root->Items()->Count(), 2);
  EXPECT_EQ(root->Items()->ItemAs<TSampleItem>(0)->Title(), "first");
  auto* alpha = dynamic_cast<TSample*>(root->FindComponent("Alpha"));
  auto* beta = dynamic_cast<TSample*>(root->FindComponent("Beta"));
  ASSERT_TRUE(alpha && beta);
  EXPECT_EQ(alpha->Peer(), beta);
  EXPECT_EQ(root->Peer(), beta);
  EXPECT_EQ(ComponentToBinary(root), binary);
}

TEST_F(FormText, FloatsKeepTheirValueAndUseTheHostTextWhenItIsExact) {
  struct Case {
    std::function<void(TWriter&)> write;
    const char* text;
  };
  const long double beyondDouble = 9007199254740993.0L;  // 2^53 + 1
  const Case cases[] = {
      // A double property streams as the extended its short text reads as.
      {[](TWriter& w) { w.WriteFloat(StreamedDouble(0.1)); }, "0.100000000000000000"},
      {[](TWriter& w) { w.WriteFloat(-1234.5); }, "-1234.500000000000000000"},
      {[](TWriter& w) { w.WriteFloat(StreamedDouble(1.0 / 3)); }, "0.333333333333333300"},
      // 16 digits are not enough for every double: then 17.
      {[](TWriter& w) { w.WriteFloat(StreamedDouble(1.0 / 24)); }, "0.041666666666666664"},
      {[](TWriter& w) { w.WriteFloat(1e20); }, "1E20"},
      {[](TWriter& w) { w.WriteFloat(StreamedDouble(1e-20)); }, "1E-20"},
      {[](TWriter& w) { w.WriteFloat(-0.0); }, "-0.000000000000000000"},
      {[](TWriter& w) { w.WriteFloat(StreamedDouble(5e-324)); }, "5E-324"},
      // Texts read as the nearest extended, so an extended that is not the nearest to a short
      // text takes the digits that tell it apart.
      {[&](TWriter& w) { w.WriteFloat(beyondDouble); }, "9007199254740993.000000000000000000"},
      {[](TWriter& w) { w.WriteFloat(0.1L); }, "0.100000000000000000"},
      {[](TWriter& w) { w.WriteFloat(static_cast<long double>(0.1)); }, "1.0000000000000000555E-1"},
      {[](TWriter& w) { w.WriteFloat(std::numeric_limits<long double>::infinity()); }, "INF"},
      {[](TWriter& w) { w.WriteFloat(-std::numeric_limits<long double>::quiet_NaN()); }, "-NAN"},
      {[](TWriter& w) { w.WriteSingle(0.4f); }, "0.400000005960464500s"},
      {[](TWriter& w) { w.WriteSingle(-std::numeric_limits<float>::infinity()); }, "-INFs"},
      {[](TWriter& w) { w.WriteSingle(std::numeric_limits<float>::max()); }, "3.402823466385289E38s"},
      {[](TWriter& w) { w.WriteCurrency(MinCurrency); }, "-922337203685477.580800000000000000c"},
      {[](TWriter& w) { w.WriteCurrency(MaxCurrency); }, "922337203685477.580700000000000000c"},
      {[](TWriter& w) { w.WriteDate(TDateTime(45000.75)); }, "45000.750000000000000000d"},
      {[](TWriter& w) { w.WriteDate(TDateTime(std::nan(""))); }, "NANd"},
  };
  for (const auto& c : cases) {
    const Bytes form = OneProperty(c.write);
    EXPECT_EQ(ValueText(form), c.text);
    EXPECT_EQ(ToBinary(ToText(form)), form) << c.text;
  }
  // A denormal extended, which no double holds.
  const Bytes denormal = OneProperty([](TWriter& w) {
    w.WriteValue(vaExtended);
    const std::uint8_t bytes[10] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    w.Write(bytes, 10);
  });
  EXPECT_EQ(ToBinary(ToText(denormal)), denormal);

  // Text written by hand: any spelling, the nearest extended (what typing the value gives).
  auto valueOf = [](const String& value) {
    TMemoryStream s;
    const Bytes b = ToBinary("object A: TX\n  P = " + value + "\nend");
    s.WriteBuffer(b.data(), static_cast<std::int64_t>(b.size()));
    s.SetPosition(4 + 3 + 2 + 2);  // signature, "TX", "A", "P"
    TReader r(s);
    return r.ReadFloat();
  };
  EXPECT_EQ(valueOf("0.1"), 0.1L);
  EXPECT_EQ(valueOf("1.5E3"), 1500.0L);
  EXPECT_EQ(valueOf("2.5e-1"), 0.25L);
  EXPECT_EQ(valueOf("1E400"), 1e400L);  // beyond a double: extended
  EXPECT_EQ(valueOf("0.00005c"), 0.0L);  // currency rounds half to even...
  EXPECT_EQ(valueOf("0.00015c"), 0.0002L);
  EXPECT_EQ(valueOf("-7c"), -7.0L);
  EXPECT_EQ(valueOf("1.25E2c"), 125.0L);
  EXPECT_EQ(valueOf("2S"), 2.0L);
}

TEST_F(FormText, StringsEscapeControlQuoteAndNonAsciiAndReadEverySpelling) {
  auto stringValue = [](const String& value) {
    TMemoryStream s;
    const Bytes b = ToBinary("object A: TX\n  P = " + value + "\nend");
    s.WriteBuffer(b.data(), static_cast<std::int64_t>(b.size()));
    s.SetPosition(4 + 3 + 2 + 2);
    TReader r(s);
    return r.ReadString();
  };
  EXPECT_EQ(ValueText(OneProperty([](TWriter& w) { w.WriteString("a'b\r\n\x7F" "end"); })), "'a'#39'b'#13#10#127'end'");
  EXPECT_EQ(ValueText(OneProperty([](TWriter& w) { w.WriteString("\xF0\x9F\x98\x80" "x"); })), "#128512'x'");
  // UTF-16 with a lone surrogate: written as its unit, which reads back as U+FFFD.
  EXPECT_EQ(ValueText(OneProperty([](TWriter& w) { w.WriteWideString(u"a\xD800" "b"); })), "'a'#55296'b'");
  EXPECT_EQ(stringValue("'It''s'#$41 + 'Grüße'#55357#56832"), "It'sAGrüße😀");
  EXPECT_EQ(stringValue("#128512#233''"), "😀é");
  EXPECT_EQ(stringValue("#56832#55357"), "\uFFFD\uFFFD");  // halves in the wrong order
  EXPECT_EQ(stringValue("''"), "");
  // Bytes that are not UTF-8 travel unchanged inside the quotes.
  const Bytes raw = OneProperty([](TWriter& w) { w.WriteString("\xFF\xC3" "a\xF8\x90\x80\x80\xE2\x82"); });
  EXPECT_EQ(ToBinary(ToText(raw)), raw);

  // ASCII-only text is a short or a long string by length; other text is UTF-8.
  const auto tagOf = [](const String& value) { return ToBinary("object A: TX\n  P = " + value + "\nend")[11]; };
  EXPECT_EQ(tagOf("'abc'"), vaString);
  EXPECT_EQ(tagOf("'" + String(256, 'a') + "'"), vaLString);
  EXPECT_EQ(tagOf("#233"), vaUTF8String);
  // A published wide string property stays wide, whatever its characters.
  const Bytes wide = ToBinary("object A: TSample\n  Style.FontName = 'x'\n  Wide = 'abc'\nend");
  // ... vaWString, 3 as int32, 3 UTF-16 units, end of properties, end of children
  EXPECT_EQ(wide[wide.size() - 2 - 6 - 4 - 1], vaWString);
}

TEST_F(FormText, LongStringsSplitEvery64Characters) {
  const String caption = String(64, 'a') + String(64, 'b') + "c";
  TSampleRoot root(nullptr);
  root.SetName("F");
  root.SetCaption(caption);
  EXPECT_EQ(ComponentToText(&root),
            "object F: TSampleRoot\n"
            "  Caption = \n"
            "    '" + String(64, 'a') + "' +\n"
            "    '" + String(64, 'b') + "' +\n"
            "    'c'\n"
            "end\n");
  root.SetCaption(String(64, 'a'));  // exactly 64: one line
  EXPECT_EQ(ComponentToText(&root), "object F: TSampleRoot\n  Caption = '" + String(64, 'a') + "'\nend\n");
  // Non-ASCII characters count once, however many bytes or digits they take.
  String wide;
  for (int i = 0; i < 65; ++i) wide += "é";
  root.SetCaption(wide);
  const String text = ComponentToText(&root);
  String firstLine;
  for (int i = 0; i < 64; ++i) firstLine += "#233";
  EXPECT_NE(text.find("    " + firstLine + " +\n    #233\n"), String::npos) << text;
  std::unique_ptr<TComponent> back(TextToComponent(text));
  EXPECT_EQ(static_cast<TSampleRoot*>(back.get())->Caption(), wide);
}

TEST_F(FormText, ParserErrorsNameTheLine) {
  const String head = "object Form1: TSampleRoot\n";
  EXPECT_EQ(ParseError(head + "  Caption = 'abc\nend\n"), "Unterminated string on line 2");
  EXPECT_EQ(ParseError(head + "  Caption = 'abc\r\nend\r\n"), "Unterminated string on line 2");
  EXPECT_EQ(ParseError(head + "  Count 5\nend\n"), "'=' expected on line 2");
  EXPECT_EQ(ParseError(head + "  Caption = 'a' +\n  5\nend\n"), "String expected on line 3");
  EXPECT_EQ(ParseError(head + "  Caption = #\nend\n"), "Invalid string constant on line 2");
  EXPECT_EQ(ParseError(head + "  Caption = #1114112\nend\n"), "Invalid string constant on line 2");
  EXPECT_EQ(ParseError(head + "  Caption = #99999999999999999999999\nend\n"), "Invalid string constant on line 2");
  EXPECT_EQ(ParseError(head + "  Data = {\n    0G}\nend\n"), "Invalid binary value on line 3");
  EXPECT_EQ(ParseError(head + "  Data = {\n    001}\nend\n"), "Invalid binary value on line 3");
  EXPECT_EQ(ParseError(head + "  Data = {\n    00"), "Invalid binary value on line 3");
  EXPECT_EQ(ParseError(head + "  Count = 9223372036854775808\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Count = -9223372036854775809\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Count = $10000000000000000\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Ratio = 1e99999\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Ratio = 1e40s\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Price = 1e15c\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Price = 922337203685477.5808c\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Count = 12abc\nend\n"), "Invalid number on line 2");
  EXPECT_EQ(ParseError(head + "  Ratio = 1e\nend\n"), "Invalid number on line 2");
  EXPECT_EQ(ParseError("object : TX\nend\n"), "Identifier expected on line 1");
  EXPECT_EQ(ParseError("\n\nthing Form1: TX\nend\n"), "object expected on line 3");
  EXPECT_EQ(ParseError(head + "  Moods = [smCalm smBusy]\nend\n"), "',' expected on line 2");
  EXPECT_EQ(ParseError(head + "  Moods = [smCalm, 5]\nend\n"), "Identifier expected on line 2");
  EXPECT_EQ(ParseError(head + "  Count = =\nend\n"), "Invalid property value on line 2");
  EXPECT_EQ(ParseError(head + "  Count = -x\nend\n"), "Invalid property value on line 2");
  EXPECT_EQ(ParseError(head + "  Lines = (\n    'a'\n"), "Invalid property value on line 4");
  // The binary form cannot hold Null inside a list (its byte ends the list): refused, not
  // written as a form that does not read back.
  EXPECT_EQ(ParseError(head + "  Lines = (\n    Null)\nend\n"), "Invalid property value on line 3");
  EXPECT_EQ(ParseError("inline F e=((Null))end"), "Invalid property value on line 1");
  EXPECT_EQ(ParseError(head + "  Items = <\n    thing\n    end>\nend\n"), "item expected on line 3");
  EXPECT_EQ(ParseError(head + "  Items = <\n    item\n      X = 1\n"), "Identifier expected on line 5");
  EXPECT_EQ(ParseError(head + "  Count = 1\n"), "Identifier expected on line 3");
  EXPECT_EQ(ParseError(head + "  object A: TSample [x]\n  end\nend\n"), "Number expected on line 2");
  EXPECT_EQ(ParseError(head + "  object A: TSample [3\n  end\nend\n"), "']' expected on line 3");
  EXPECT_EQ(ParseError(head + "  object A: TSample [4294967296]\n  end\nend\n"), "Number too large on line 2");
  EXPECT_EQ(ParseError(head + "  Peer = " + String(256, 'p') + "\nend\n"), "Identifier too long on line 2");
  EXPECT_EQ(ParseError("object " + String(256, 'F') + ": TX\nend\n"), "Identifier too long on line 1");
  // Nesting deeper than MaxFormNesting, in values and in objects.
  EXPECT_EQ(ParseError(head + "  P = " + String(MaxFormNesting + 1, '(')), "Nesting too deep on line 2");
  String objects;
  for (int i = 0; i <= MaxFormNesting; ++i) objects += "object A: TX\n";
  EXPECT_EQ(ParseError(objects), "Nesting too deep on line " + std::to_string(MaxFormNesting + 1));
  EXPECT_EQ(ParseError(String(MaxFormNesting, '(')), "object expected on line 1");
}

TEST_F(FormText, CorruptBinaryFailsCleanly) {
  auto tree = BuildTree();
  const Bytes good = ComponentToBinary(tree.get());
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    const Bytes part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_THROW(ToText(part), EFilerError) << cut;
  }
  // Any byte changed: either another valid form or a read error, never anything else.
  for (std::size_t i = 4; i < good.size(); ++i) {
    for (std::uint8_t b : {0x00, 0x07, 0x14, 0x7F, 0xFF}) {
      Bytes bad = good;
      bad[i] = b;
      try {
        ToText(bad);
      } catch (const EFilerError&) {
      }
    }
  }
  EXPECT_THROW(ToText(Bytes{'T', 'P', 'F', '1', 0, 0, 0, 0}), EReadError);
  const Bytes deep = OneProperty([](TWriter& w) {
    for (int i = 0; i <= MaxFormNesting; ++i) w.WriteListBegin();
  });
  EXPECT_THROW(ToText(deep), EReadError);
  const Bytes hugeWide = OneProperty([](TWriter& w) {
    w.WriteValue(vaWString);
    const std::int32_t units = 0x40000000;
    w.Write(&units, 4);
  });
  EXPECT_THROW(ToText(hugeWide), EReadError);
}

TEST_F(FormText, ConversionsUseStreamPositions) {
  const String text = "object A: TX\n  P = 1\nend  trailing words\n";
  TStringStream in("xx" + text);
  in.SetPosition(2);
  TMemoryStream binary;
  binary.WriteBuffer("??", 2);
  ObjectTextToBinary(in, binary);
  EXPECT_EQ(in.Position(), 2 + static_cast<std::int64_t>(text.find("end") + 3));  // just after the root's end
  EXPECT_EQ(binary.Memory()[0], '?');
  binary.SetPosition(2);
  TStringStream out("> ");
  out.SetPosition(2);
  ObjectBinaryToText(binary, out);
  EXPECT_EQ(out.DataString(), "> object A: TX\n  P = 1\nend\n");
  EXPECT_EQ(binary.Position(), binary.Size());
}

TEST_F(FormText, ComponentHelpers) {
  auto tree = BuildTree();
  const Bytes binary = ComponentToBinary(tree.get());
  std::unique_ptr<TComponent> fromBinary(BinaryToComponent(binary));
  ASSERT_TRUE(dynamic_cast<TSampleRoot*>(fromBinary.get()));
  EXPECT_EQ(ComponentToText(fromBinary.get()), ComponentToText(tree.get()));

  // Into an existing root: its name and properties change, the children are created.
  TSampleRoot target(nullptr);
  EXPECT_EQ(TextToComponent("object Form9: TSampleRoot\n  Count = 5\n  object K: TSample\n  end\nend\n", &target),
            &target);
  EXPECT_EQ(target.Name(), "Form9");
  EXPECT_EQ(target.Count(), 5);
  EXPECT_EQ(target.ComponentCount(), 1);
  TSampleRoot other(nullptr);
  EXPECT_EQ(BinaryToComponent(ComponentToBinary(&target), &other), &other);
  EXPECT_EQ(other.Count(), 5);

  EXPECT_THROW(TextToComponent("object X: TNoSuchClass\nend\n"), EClassNotFound);
  EXPECT_THROW(TextToComponent("object X: TSampleRoot\n  Count = 'seven'\nend\n"), EReadError);
  EXPECT_THROW(TextToComponent("object X: TSampleRoot\n  Count = \nend\n"), EParserError);
  EXPECT_THROW(BinaryToComponent(Bytes{}), EReadError);
}

TEST(Parser, Tokens) {
  TStringStream s("object F1: T [3] 'a'#13'b' #$263A -12 $FF 1.5 2.5s 3C 4d -6.0E-2 x.y <\n+ }");
  TParser p(s);
  EXPECT_TRUE(p.TokenSymbolIs("OBJECT"));
  EXPECT_EQ(p.NextToken(), toSymbol);
  EXPECT_EQ(p.TokenString(), "F1");
  EXPECT_EQ(p.NextToken(), ':');
  p.NextToken();
  p.NextToken();
  EXPECT_EQ(p.Token(), '[');
  EXPECT_EQ(p.NextToken(), toInteger);
  EXPECT_EQ(p.TokenInt(), 3);
  EXPECT_EQ(p.SourcePos(), 14);
  p.NextToken();
  EXPECT_EQ(p.NextToken(), toString);
  EXPECT_EQ(p.TokenString(), "a\rb");
  EXPECT_EQ(p.NextToken(), toWString);
  EXPECT_EQ(p.TokenWideString(), u"\u263A");
  EXPECT_EQ(p.NextToken(), toInteger);
  EXPECT_EQ(p.TokenInt(), -12);
  EXPECT_EQ(p.NextToken(), toInteger);
  EXPECT_EQ(p.TokenInt(), 255);
  EXPECT_EQ(p.TokenFloat(), 255.0L);
  EXPECT_EQ(p.NextToken(), toFloat);
  EXPECT_EQ(p.FloatType(), 0);
  EXPECT_EQ(p.TokenFloat(), 1.5L);
  EXPECT_EQ(p.NextToken(), toFloat);
  EXPECT_EQ(p.FloatType(), 's');
  EXPECT_EQ(p.TokenFloat(), 2.5L);
  EXPECT_EQ(p.NextToken(), toFloat);
  EXPECT_EQ(p.FloatType(), 'c');
  EXPECT_EQ(p.NextToken(), toFloat);
  EXPECT_EQ(p.FloatType(), 'd');
  EXPECT_EQ(p.NextToken(), toFloat);
  EXPECT_EQ(p.TokenFloat(), -6.0E-2L);
  EXPECT_THROW(p.TokenInt(), EParserError);
  p.NextToken();
  EXPECT_EQ(p.TokenComponentIdent(), "x.y");
  EXPECT_EQ(p.Token(), '<');
  EXPECT_EQ(p.SourceLine(), 1);
  EXPECT_EQ(p.NextToken(), '+');
  EXPECT_EQ(p.SourceLine(), 2);
  try {
    p.CheckToken(toString);
    ADD_FAILURE();
  } catch (const EParserError& e) {
    EXPECT_STREQ(e.what(), "String expected on line 2");
  }
  EXPECT_EQ(p.NextToken(), '}');
  EXPECT_EQ(p.NextToken(), toEOF);
  EXPECT_EQ(p.NextToken(), toEOF);
}
