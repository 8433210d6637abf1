// Form streaming: components with every property kind survive the binary form; defaults and
// unstored properties are not written; bad input fails cleanly.

#include "TestComponents.h"

#include "platform/rtl/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zv;
using namespace zvtest;

namespace {

class Streaming : public ::testing::Test {
protected:
  void SetUp() override { RegisterSampleClasses(); }

  static std::unique_ptr<TSampleRoot> BuildTree() { return BuildSampleTree(); }

  static std::unique_ptr<TMemoryStream> Write(TComponent* root) {
    auto stream = std::make_unique<TMemoryStream>();
    TWriter writer(*stream);
    writer.WriteRootComponent(root);
    stream->SetPosition(0);
    return stream;
  }
};

}  // namespace

TEST_F(Streaming, BinaryRoundTripKeepsEveryKindAndReference) {
  auto original = BuildTree();
  auto stream = Write(original.get());
  TReader reader(*stream);
  std::unique_ptr<TComponent> loaded(reader.ReadRootComponent(nullptr));
  auto* root = dynamic_cast<TSampleRoot*>(loaded.get());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Name(), "Form1");
  EXPECT_EQ(root->Caption(), "Grüße, мир 😀");
  EXPECT_EQ(root->Count(), -70000);
  EXPECT_EQ(root->Big(), INT64_C(1) << 40);
  EXPECT_EQ(root->Letter(), 'z');
  EXPECT_FALSE(root->Enabled());
  EXPECT_EQ(root->Mood(), smAngry);
  EXPECT_EQ(root->Moods(), (TSampleMoods{smCalm, smBusy}));
  EXPECT_EQ(root->Ratio(), 0.1);  // exact through the extended encoding
  EXPECT_EQ(root->Price().Value, -123456789);
  EXPECT_EQ(root->When().Value, original->When().Value);
  EXPECT_EQ(root->Wide(), u"wide \u263A");
  EXPECT_EQ(root->Extra().AsInteger(), 42);
  EXPECT_EQ(root->Style()->FontName(), "DejaVu Sans");
  EXPECT_EQ(root->Style()->note, "defined");
  EXPECT_EQ(root->Style()->blob, (std::vector<std::uint8_t>{0, 1, 2, 0xFF}));
  ASSERT_EQ(root->Items()->Count(), 2);
  EXPECT_EQ(root->Items()->ItemAs<TSampleItem>(0)->Title(), "first");
  EXPECT_EQ(root->Items()->ItemAs<TSampleItem>(1)->Width(), 64);
  ASSERT_EQ(root->ComponentCount(), 2);
  auto* alpha = dynamic_cast<TSample*>(root->FindComponent("Alpha"));
  auto* beta = dynamic_cast<TSample*>(root->FindComponent("Beta"));
  ASSERT_TRUE(alpha && beta);
  EXPECT_EQ(alpha->Peer(), beta);
  EXPECT_EQ(beta->Peer(), alpha);
  EXPECT_EQ(root->Peer(), beta);
  // Loaded ran once per component, after the fix-ups, and cleared the loading state.
  EXPECT_EQ(root->loadedCalls, 1);
  EXPECT_EQ(alpha->loadedCalls, 1);
  EXPECT_FALSE(alpha->ComponentState().Contains(csLoading));
  // Writing the loaded tree again gives the same bytes.
  auto again = Write(root);
  EXPECT_TRUE(std::equal(stream->Memory().begin(), stream->Memory().end(), again->Memory().begin(), again->Memory().end()));
}

TEST_F(Streaming, DefaultsAndUnstoredPropertiesAreNotWritten) {
  TSampleRoot plain(nullptr);
  plain.SetName("Plain");
  auto stream = Write(&plain);
  // Signature, class name, name, end of properties, end of children: nothing else.
  EXPECT_EQ(stream->Size(), 4 + 1 + 11 + 1 + 5 + 1 + 1);
  plain.SetCaption("(unsaved)");
  EXPECT_EQ(Write(&plain)->Size(), stream->Size());
}

TEST_F(Streaming, BadInputFailsCleanlyWithClearErrors) {
  auto original = BuildTree();
  auto good = Write(original.get());
  const auto bytes = std::vector<std::uint8_t>(good->Memory().begin(), good->Memory().end());

  // Every truncation raises a read error and leaks nothing (checked by the sanitizer build).
  for (std::size_t cut = 0; cut < bytes.size(); cut += 7) {
    TMemoryStream s;
    if (cut) s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(cut));
    s.SetPosition(0);
    TReader reader(s);
    EXPECT_THROW(std::unique_ptr<TComponent>(reader.ReadRootComponent(nullptr)), EFilerError) << cut;
  }

  auto expectError = [](TMemoryStream& s, const char* text) {
    s.SetPosition(0);
    TReader reader(s);
    try {
      std::unique_ptr<TComponent>(reader.ReadRootComponent(nullptr));
      ADD_FAILURE() << "no error";
    } catch (const EFilerError& e) {
      EXPECT_STREQ(e.what(), text);
    }
  };
  // An unknown class.
  {
    TMemoryStream s;
    TWriter w(s);
    w.WriteSignature();
    w.WriteStr("TUnknownThing");
    w.WriteStr("X");
    expectError(s, "Class TUnknownThing not found");
  }
  // An unknown property, and a value of the wrong kind.
  {
    TMemoryStream s;
    TWriter w(s);
    w.WriteSignature();
    w.WriteStr("TSampleRoot");
    w.WriteStr("Form2");
    w.WritePropName("Colour");
    w.WriteInteger(3);
    expectError(s, "Error reading Form2.Colour: Property Colour does not exist");
  }
  {
    TMemoryStream s;
    TWriter w(s);
    w.WriteSignature();
    w.WriteStr("TSampleRoot");
    w.WriteStr("Form2");
    w.WritePropName("Count");
    w.WriteString("seven");
    expectError(s, "Error reading Form2.Count: Invalid property value");
  }
  // A reference to a component that is not there.
  {
    TMemoryStream s;
    TWriter w(s);
    w.WriteSignature();
    w.WriteStr("TSampleRoot");
    w.WriteStr("Form2");
    w.WritePropName("Peer");
    w.WriteIdent("Ghost");
    w.WriteListEnd();
    w.WriteListEnd();
    expectError(s, "Error reading Form2.Peer: Component Ghost not found");
  }
  // A string length larger than the stream is corruption, not an allocation.
  {
    TMemoryStream s;
    TWriter w(s);
    w.WriteSignature();
    w.WriteStr("TSampleRoot");
    w.WriteStr("Form2");
    w.WritePropName("Caption");
    w.WriteValue(vaLString);
    const std::int32_t huge = 0x7FFFFFF0;
    w.Write(&huge, 4);
    expectError(s, "Stream read error");
  }
}

TEST_F(Streaming, ReadingIntoAnExistingRootKeepsItOnFailure) {
  TSampleRoot target(nullptr);
  target.SetName("Form1");
  auto original = BuildTree();
  auto good = Write(original.get());
  TMemoryStream cut;
  cut.WriteBuffer(good->Memory().data(), good->Size() - 3);
  cut.SetPosition(0);
  TReader reader(cut);
  EXPECT_THROW(reader.ReadRootComponent(&target), EFilerError);
  EXPECT_EQ(target.ComponentCount(), 0);  // the children it had created are gone
  EXPECT_FALSE(target.ComponentState().Contains(csLoading));
}

TEST(ExtendedEncoding, RoundTripsDoublesAndSpecialValues) {
  for (long double v : {0.0L, -0.0L, 1.0L, -2.5L, 0.1L, 1e308L, 4.9e-324L, 1e-310L, 123456789.125L}) {
    EXPECT_EQ(DecodeExtended(EncodeExtended(v)), v) << static_cast<double>(v);
  }
  EXPECT_TRUE(std::isinf(DecodeExtended(EncodeExtended(std::numeric_limits<long double>::infinity()))));
  EXPECT_TRUE(std::isnan(DecodeExtended(EncodeExtended(std::numeric_limits<long double>::quiet_NaN()))));
  // 1.0 as the x87 lays it out.
  const auto one = EncodeExtended(1.0L);
  EXPECT_EQ(one[7], 0x80);
  EXPECT_EQ(one[8], 0xFF);
  EXPECT_EQ(one[9], 0x3F);
}
