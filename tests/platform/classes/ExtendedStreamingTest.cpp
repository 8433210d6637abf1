// Extended properties kept whole by the type information and both form formats, next to double
// properties that keep their short text.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "platform/classes/Component.h"
#include "platform/classes/FormText.h"
#include "platform/classes/TypeInfo.h"
#include "platform/rtl/FloatFormat.h"

namespace zv {
namespace {

class TRangeHolder : public TComponent {
  ZV_CLASS(TRangeHolder, TComponent)
public:
  using TComponent::TComponent;
  long double MaxValue() const { return fMaxValue; }
  void SetMaxValue(long double v) { fMaxValue = v; }
  double Ratio() const { return fRatio; }
  void SetRatio(double v) { fRatio = v; }
  static void DeclareProperties(TPropTable<TRangeHolder>& t) {
    t.Prop("MaxValue", &TRangeHolder::MaxValue, &TRangeHolder::SetMaxValue);
    t.Prop("Ratio", &TRangeHolder::Ratio, &TRangeHolder::SetRatio);
  }

private:
  long double fMaxValue = 0;
  double fRatio = 0;
};

ZV_DEFINE_CLASS_WITH_PROPS(TRangeHolder, TComponent)

struct TStreamed {
  long double MaxValue;
  double Ratio;
};

TStreamed ThroughText(const TRangeHolder& source) {
  const String text = ComponentToText(const_cast<TRangeHolder*>(&source));
  TRangeHolder back(nullptr);
  TextToComponent(text, &back);
  return {back.MaxValue(), back.Ratio()};
}

TStreamed ThroughBinary(const TRangeHolder& source) {
  const auto binary = ComponentToBinary(const_cast<TRangeHolder*>(&source));
  TRangeHolder back(nullptr);
  BinaryToComponent(binary, &back);
  return {back.MaxValue(), back.Ratio()};
}

// Values typed as text, set through the type information, written and read back.
TEST(ExtendedStreaming, TypedValuesComeBackWhole) {
  const char* typed[] = {"0.1", "0.3", "1.1", "123456789.123456789", "-2.5E-4000", "1E4000",
                         "0.333333333333333333", "9007199254740993", "1E-310", "0.000001"};
  for (const char* text : typed) {
    SCOPED_TRACE(text);
    TRangeHolder h(nullptr);
    SetPropText(&h, GetPropInfo(&h, "MaxValue"), text);
    if (std::abs(StrToFloat<long double>(text)) < 1e300L && std::abs(StrToFloat<long double>(text)) > 1e-300L)
      SetPropText(&h, GetPropInfo(&h, "Ratio"), text);
    const long double extended = StrToFloat<long double>(text);
    EXPECT_EQ(h.MaxValue(), extended);  // not through a double
    const TStreamed t = ThroughText(h);
    const TStreamed b = ThroughBinary(h);
    EXPECT_EQ(t.MaxValue, extended);
    EXPECT_EQ(b.MaxValue, extended);
    EXPECT_EQ(t.Ratio, h.Ratio());
    EXPECT_EQ(b.Ratio, h.Ratio());
    EXPECT_EQ(GetFloatProp(&h, "MaxValue"), extended);
    EXPECT_EQ(StrToFloat<long double>(GetPropText(&h, GetPropInfo(&h, "MaxValue"))), extended);
  }
}

// Values that no short text gives: every bit of the mantissa survives.
TEST(ExtendedStreaming, ComputedExtendedsKeepEveryBit) {
  const long double values[] = {1.0L / 3, std::nextafter(0.1L, 1.0L), static_cast<long double>(0.1),
                                std::ldexp(1.0L, -16440), 1.0L + std::ldexp(1.0L, -63), -1e4000L / 7};
  for (long double v : values) {
    TRangeHolder h(nullptr);
    h.SetMaxValue(v);
    EXPECT_EQ(ThroughText(h).MaxValue, v) << FloatToStrF(v, ffExponent, 21, 0);
    EXPECT_EQ(ThroughBinary(h).MaxValue, v);
  }
}

// A bound written into a form by hand reads as the value typing it gives; doubles keep their
// short text in the form.
TEST(ExtendedStreaming, HandWrittenFormsReadAsTyped) {
  TRangeHolder h(nullptr);
  TextToComponent("object TRangeHolder\n  MaxValue = 0.1\n  Ratio = 0.1\nend\n", &h);
  EXPECT_EQ(h.MaxValue(), StrToFloat<long double>("0.1"));
  EXPECT_EQ(h.Ratio(), 0.1);
  const String text = ComponentToText(&h);
  EXPECT_NE(text.find("  MaxValue = 0.100000000000000000\n"), String::npos) << text;
  EXPECT_NE(text.find("  Ratio = 0.100000000000000000\n"), String::npos) << text;

  // 17 digits that land an extended exactly between two doubles still give the double its own
  // value (a double property read from its own text).
  for (double d : {9007199254740994.0, 0.1, 1.0 / 3, 2.0 / 3, 1e23, 5e-324}) {
    TRangeHolder r(nullptr);
    r.SetRatio(d);
    EXPECT_EQ(ThroughText(r).Ratio, d);
    EXPECT_EQ(ThroughBinary(r).Ratio, d);
  }
}

}  // namespace
}  // namespace zv
