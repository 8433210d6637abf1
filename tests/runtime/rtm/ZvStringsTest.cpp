// The message table and the argument guards that quote it.

#include "platform/rtl/Format.h"
#include "runtime/rtm/ZvErrors.h"
#include "runtime/rtm/ZvStrings.h"

#include "ExpectMessage.h"

#include <gtest/gtest.h>

using namespace zv;

namespace {
}  // namespace

TEST(ZvStrings, TextsStandAsShippedAndFormatWithTheirArguments) {
  EXPECT_EQ(SfvdNumeric.Text(), "Dsiplays and edits data as number.");
  EXPECT_EQ(String(SENoRecords), "no records");
  EXPECT_EQ(String(SENoDataProvider), "No data provider. Please assign value to \"ObjectRef\" property");
  EXPECT_EQ(Format(SDeleteRecordsPrompt, {3}), "Delete 3 records. Are you sure?");
  EXPECT_EQ(Format(SENumericValueOutOfRange, {"12a", 1.5, 10.0}), "\"12a\" is out of range. The allowed range is 1.5 to 10");
  EXPECT_EQ(DefaultMessageTable().size(), 52u);
}

TEST(ZvStrings, ReplacingTheTableTranslatesAndKeepsWhatTheTranslationLacks) {
  ReplaceMessageTable({{SToday.Id, "Heute"}, {SEInvalidIndex.Id, "Index außerhalb (%d/%d)"}});
  EXPECT_EQ(SToday.Text(), "Heute");
  EXPECT_EQ(SClearAction.Text(), "Clear");
  EXPECT_EQ(zvtest::MessageOf<EZVError>([] { CheckIndex(5, 2); }), "Index außerhalb (5/2)");
  RestoreDefaultMessageTable();
  EXPECT_EQ(SToday.Text(), "Today");
}

TEST(ZvErrors, GuardsPassAndFailAtTheirBounds) {
  EXPECT_EQ(zvtest::MessageOf<EZVError>([] { CheckIndex(0, 0); }), "Index is out of range (0/0)");
  EXPECT_EQ(zvtest::MessageOf<EZVError>([] { CheckIndex(-1, 3); }), "Index is out of range (-1/3)");
  EXPECT_NO_THROW(CheckIndex(2, 3));
  EXPECT_EQ(zvtest::MessageOf<EZVError>([] { CheckForPositive(0); }), "Value must be positive (0)");
  EXPECT_NO_THROW(CheckForPositive(1));
  EXPECT_NO_THROW(CheckForPositiveAndZero(0));
  EXPECT_EQ(zvtest::MessageOf<EZVError>([] { CheckForPositiveAndZero(-7); }), "Value can not be negative (-7)");
  // The grid's exception is a library exception.
  EXPECT_THROW(throw EDBDivoRud("x"), EZVError);
}
