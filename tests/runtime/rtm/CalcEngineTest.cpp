// The calculator engine driven key by key, as the drop-down's buttons drive it: the display
// after each key, the notifications, and the failures.

#include "runtime/rtm/CalcEngine.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FormatSettings.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <vector>

using namespace zv;

namespace {

TvpCalcButton KeyOf(const std::string& token) {
  static const std::map<std::string, TvpCalcButton> keys = {
      {".", cbtnPoint}, {"+/-", cbtnChSign}, {"+", cbtnPlus}, {"-", cbtnMinus}, {"*", cbtnMult},
      {"/", cbtnDiv}, {"=", cbtnEqu}, {"%", cbtnPerc}, {"1/x", cbtn1DivX}, {"sqrt", cbtnSqrt},
      {"MS", cbtnMS}, {"M+", cbtnMPlus}, {"MR", cbtnMR}, {"MC", cbtnMC}, {"C", cbtnC},
      {"CE", cbtnCE}, {"BS", cbtnBS}};
  if (token.size() == 1 && token[0] >= '0' && token[0] <= '9') return static_cast<TvpCalcButton>(token[0] - '0');
  return keys.at(token);
}

// The display after each of the space-separated keys.
std::vector<std::string> Replay(TvpCalcEngine& calc, const std::string& keys) {
  std::vector<std::string> shown;
  std::istringstream in(keys);
  for (std::string token; in >> token;) {
    calc.PushButton(KeyOf(token));
    shown.push_back(calc.DisplayText());
  }
  return shown;
}

using V = std::vector<std::string>;

TEST(CalcEngine, WorkedSequencesAndChainedOperators) {
  TvpCalcEngine calc;
  EXPECT_EQ(calc.DisplayText(), "0");
  EXPECT_EQ(Replay(calc, "5 + 3 = ="), (V{"5", "5", "3", "8", "11"}));
  EXPECT_EQ(Replay(calc, "C 5 + ="), (V{"0", "5", "5", "10"}));
  EXPECT_EQ(Replay(calc, "C 2 + 3 * 4 ="), (V{"0", "2", "2", "3", "5", "4", "20"}));
  // A second operator right after the first replaces it.
  EXPECT_EQ(Replay(calc, "C 9 + - 4 ="), (V{"0", "9", "9", "9", "4", "5"}));
  EXPECT_EQ(Replay(calc, "C 1 0 / 4 ="), (V{"0", "1", "10", "10", "4", "2.5"}));
  // A digit after a result starts a new number; an operator continues from the result.
  EXPECT_EQ(Replay(calc, "7 - 1 0 ="), (V{"7", "7", "1", "10", "-3"}));
  EXPECT_EQ(Replay(calc, "* 3 ="), (V{"-3", "3", "-9"}));
  EXPECT_EQ(calc.State(), TvpCalcEngine::StateResult);
}

TEST(CalcEngine, PercentReciprocalAndSquareRoot) {
  TvpCalcEngine calc;
  EXPECT_EQ(Replay(calc, "5 0 + 1 0 % ="), (V{"5", "50", "50", "1", "10", "5", "55"}));
  EXPECT_EQ(Replay(calc, "C 9 sqrt"), (V{"0", "9", "3"}));
  EXPECT_EQ(Replay(calc, "C 2 sqrt"), (V{"0", "2", "1.41421356237309505"}));
  EXPECT_EQ(Replay(calc, "C 8 1/x"), (V{"0", "8", "0.125"}));
  EXPECT_EQ(Replay(calc, "C 3 1/x"), (V{"0", "3", "0.333333333333333333"}));
  // Results are operands as shown: 1/3 is 18 threes, and times 3 gives 18 nines. Extended
  // precision makes 0.1 + 0.2 show 0.3.
  EXPECT_EQ(Replay(calc, "* 3 ="), (V{"0.333333333333333333", "3", "0.999999999999999999"}));
  EXPECT_EQ(Replay(calc, "C . 1 + . 2 ="), (V{"0", "0", "0.1", "0.1", "0", "0.2", "0.3"}));
  // A function on the second operand keeps the pending operation.
  EXPECT_EQ(Replay(calc, "C 1 0 + 1 6 sqrt ="), (V{"0", "1", "10", "10", "1", "16", "4", "14"}));
  // Percent while typing the first operand clears.
  EXPECT_EQ(Replay(calc, "C 4 2 %"), (V{"0", "4", "42", "0"}));
  EXPECT_EQ(calc.State(), TvpCalcEngine::StateCleared);
}

TEST(CalcEngine, TypingPointSignAndBackspace) {
  TvpCalcEngine calc;
  // The separator appears with the next digit; sign change on a bare 0 does nothing.
  EXPECT_EQ(Replay(calc, "+/- . +/- 5"), (V{"0", "0", "-0", "-0.5"}));
  EXPECT_EQ(Replay(calc, "+/- +/- 0 0 7"), (V{"0.5", "-0.5", "-0.50", "-0.500", "-0.5007"}));
  EXPECT_EQ(Replay(calc, "C 1 . 5 BS"), (V{"0", "1", "1", "1.5", "1"}));
  EXPECT_TRUE(calc.PointTyped());
  EXPECT_EQ(Replay(calc, "BS"), V{"1"});
  EXPECT_FALSE(calc.PointTyped());
  EXPECT_EQ(Replay(calc, "BS BS"), (V{"0", "0"}));
  // After the point survived a backspace, the next digit goes after it.
  EXPECT_EQ(Replay(calc, "C 1 . 5 BS 2"), (V{"0", "1", "1", "1.5", "1", "1.2"}));
  // Backspacing a negative number's last digit gives 0, not a lone sign.
  EXPECT_EQ(Replay(calc, "C 5 +/- BS 3"), (V{"0", "5", "-5", "0", "3"}));
  // Backspace after a result changes nothing and reports nothing.
  Replay(calc, "C 2 + 2 =");
  int changes = 0;
  calc.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(Replay(calc, "BS"), V{"4"});
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Replay(calc, "."), V{"0"});
  EXPECT_EQ(changes, 1);
  // A second point is ignored.
  EXPECT_EQ(Replay(calc, "3 . 2"), (V{"0.3", "0.3", "0.32"}));
}

TEST(CalcEngine, ClearEntryAndClear) {
  TvpCalcEngine calc;
  EXPECT_EQ(Replay(calc, "1 2 + 9 9 CE 3 ="), (V{"1", "12", "12", "9", "99", "0", "3", "15"}));
  Replay(calc, "MC 7 MS");
  EXPECT_EQ(Replay(calc, "4 + 2 C ="), (V{"4", "4", "2", "0", "0"}));
  EXPECT_FALSE(calc.Operation().has_value());
  EXPECT_EQ(calc.Memory(), "7");  // clearing keeps the memory
}

TEST(CalcEngine, MemoryKeys) {
  TvpCalcEngine calc;
  int changes = 0;
  calc.OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(Replay(calc, "1 2 MS"), (V{"1", "12", "12"}));
  EXPECT_EQ(changes, 2);  // storing shows the operand but does not report a change
  EXPECT_TRUE(calc.HasMemory());
  EXPECT_EQ(calc.Memory(), "12");
  EXPECT_EQ(Replay(calc, "3 M+ C MR"), (V{"3", "3", "0", "15"}));
  EXPECT_EQ(calc.Memory(), "15");
  // Recall into the second operand, then a digit starts a new number.
  EXPECT_EQ(Replay(calc, "+ MR = 1"), (V{"15", "15", "30", "1"}));
  // Right after an operator MS and M+ do nothing, MC clears the memory.
  Replay(calc, "C 5 +");
  EXPECT_EQ(Replay(calc, "MS M+"), (V{"5", "5"}));
  EXPECT_EQ(calc.Memory(), "15");
  changes = 0;
  EXPECT_EQ(Replay(calc, "MC"), V{"5"});
  EXPECT_FALSE(calc.HasMemory());
  EXPECT_EQ(changes, 1);
  // MR with an empty memory changes nothing but the display copy; storing 0 leaves it empty.
  EXPECT_EQ(Replay(calc, "C 4 MR"), (V{"0", "4", "4"}));
  EXPECT_EQ(Replay(calc, "C MS"), (V{"0", "0"}));
  EXPECT_FALSE(calc.HasMemory());
  EXPECT_EQ(calc.Memory(), "");
  // Adding the negative of the memory empties it too.
  Replay(calc, "C 6 MS 6 +/- M+");
  EXPECT_FALSE(calc.HasMemory());
  // The memory survives a new calculation.
  Replay(calc, "C 8 MS");
  calc.InitCalc("1");
  EXPECT_EQ(Replay(calc, "MR"), V{"8"});
}

TEST(CalcEngine, ErrorsRaiseTheNotification) {
  TvpCalcEngine calc;
  int errors = 0, changes = 0;
  bool handle = true;
  calc.OnError = [&](TObject* sender, bool& handled) {
    EXPECT_EQ(sender, &calc);
    EXPECT_FALSE(handled);
    ++errors;
    handled = handle;
  };
  calc.OnChange = [&](TObject*) { ++changes; };
  Replay(calc, "8 / 0");
  changes = 0;
  calc.PushButton(cbtnEqu);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(changes, 0);
  EXPECT_TRUE(calc.IsErrorState());
  EXPECT_EQ(calc.ErrorText(), SDivByZero);
  EXPECT_EQ(calc.FirstOperand(), "8");  // nothing half-updated
  EXPECT_EQ(calc.DisplayText(), "0");
  // Every key but C is ignored, silently.
  EXPECT_EQ(Replay(calc, "5 + = MR sqrt CE BS"), (V{"0", "0", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(Replay(calc, "C 4"), (V{"0", "4"}));
  EXPECT_FALSE(calc.IsErrorState());
  EXPECT_EQ(calc.ErrorText(), "");

  EXPECT_EQ(Replay(calc, "C 0 1/x"), (V{"0", "0", "0"}));
  EXPECT_EQ(calc.ErrorText(), SDivByZero);
  EXPECT_EQ(Replay(calc, "C 9 +/- sqrt"), (V{"0", "9", "-9", "-9"}));
  EXPECT_EQ(calc.ErrorText(), SInvalidOp);
  EXPECT_EQ(errors, 3);

  // Unhandled, the silent abort reaches the caller and the engine stays in the error state.
  handle = false;
  Replay(calc, "C 1 / 0");
  EXPECT_THROW(calc.PushButton(cbtnEqu), EAbort);
  EXPECT_TRUE(calc.IsErrorState());
  // With no handler at all, too.
  calc.OnError = nullptr;
  Replay(calc, "C 0");
  EXPECT_THROW(calc.PushButton(cbtn1DivX), EAbort);
}

TEST(CalcEngine, VeryLargeAndVerySmallResults) {
  TvpCalcEngine calc;
  bool failed = false;
  calc.OnError = [&](TObject*, bool& handled) { failed = handled = true; };
  // 18 digits show in full; beyond that the exponent form takes over.
  EXPECT_EQ(Replay(calc, "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 + 1 =").back(), "1E0018");
  calc.InitCalc("123456789012345678");
  EXPECT_EQ(Replay(calc, "* 1 0 = ="), (V{"123456789012345678", "1", "10", "1.23456789012345678E0018",
                                         "1.23456789012345678E0019"}));
  calc.InitCalc("1E2000");
  EXPECT_EQ(Replay(calc, "* ="), (V{"1E2000", "1E4000"}));  // beyond the range of a double
  EXPECT_FALSE(failed);
  EXPECT_EQ(Replay(calc, "* 1 =").back(), "1E4000");
  Replay(calc, "* =");  // 1E8000 overflows even extended precision
  EXPECT_TRUE(failed);
  EXPECT_EQ(calc.ErrorText(), SOverflow);
  EXPECT_EQ(calc.FirstOperand(), "1E4000");

  failed = false;
  Replay(calc, "C");
  EXPECT_EQ(Replay(calc, ". 0 0 0 1 * =").back(), "1E-0008");
  EXPECT_EQ(Replay(calc, "C . 0 0 0 1 * 1 0 0 =").back(), "0.01");
  EXPECT_EQ(Replay(calc, "C . 0 0 0 0 1 / 2 =").back(), "5E-0006");
  EXPECT_EQ(Replay(calc, "C . 0 0 0 0 1 * 1 =").back(), "0.00001");
  calc.InitCalc("1E-2000");
  EXPECT_EQ(Replay(calc, "* =").back(), "1E-4000");
  EXPECT_FALSE(failed);
}

TEST(CalcEngine, TypingMoreDigitsThanFit) {
  TvpCalcEngine calc;
  int changes = 0;
  calc.OnChange = [&](TObject*) { ++changes; };
  const std::string eighteen = "1 2 3 4 5 6 7 8 9 1 2 3 4 5 6 7 8 9";
  EXPECT_EQ(Replay(calc, eighteen).back(), "123456789123456789");
  EXPECT_EQ(changes, 18);
  EXPECT_EQ(Replay(calc, "5 5"), (V{"123456789123456789", "123456789123456789"}));
  EXPECT_EQ(changes, 18);
  // The point is taken but no digit after it; backspace makes room again.
  EXPECT_EQ(Replay(calc, ". 1 BS BS 4"), (V{"123456789123456789", "123456789123456789", "123456789123456789",
                                           "12345678912345678", "123456789123456784"}));
  // A leading 0 before the point is no typed digit; the sign is none either.
  EXPECT_EQ(Replay(calc, "C +/- . 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 2").back(), "0.000000000000000001");
  EXPECT_EQ(Replay(calc, "C 9 +/- 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9").back(), "-999999999999999999");
  // The operand is exact as typed and exact in extended precision.
  EXPECT_EQ(Replay(calc, "+ 1 =").back(), "-999999999999999998");
}

TEST(CalcEngine, InitCalcAndTheDecimalSeparator) {
  TvpCalcEngine calc;
  int changes = 0;
  calc.OnChange = [&](TObject*) { ++changes; };
  calc.InitCalc("");
  EXPECT_EQ(calc.DisplayText(), "0");
  calc.InitCalc(" 12.50 ");
  EXPECT_EQ(calc.DisplayText(), " 12.50 ");
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Replay(calc, "* 2 ="), (V{" 12.50 ", "2", "25"}));
  // The sign goes onto the bare number of a text shown as given.
  calc.InitCalc(" +12.50 ");
  EXPECT_EQ(Replay(calc, "+/- +/- +/- * 2 ="), (V{"-12.50", "12.50", "-12.50", "-12.50", "2", "-25"}));
  Replay(calc, "3");
  EXPECT_THROW(calc.InitCalc("12abc"), EConvertError);
  EXPECT_EQ(calc.DisplayText(), "3");  // unchanged
  EXPECT_THROW(calc.InitCalc("-"), EConvertError);
  EXPECT_THROW(calc.InitCalc("1E"), EConvertError);

  const TFormatChar old = FormatSettings().DecimalSeparator;
  FormatSettings().DecimalSeparator = ',';
  calc.InitCalc("1,5");
  EXPECT_EQ(Replay(calc, "+ . 2 5 ="), (V{"1,5", "0", "0,2", "0,25", "1,75"}));
  EXPECT_THROW(calc.InitCalc("1.5"), EConvertError);
  FormatSettings().DecimalSeparator = old;
}

TEST(CalcEngine, FloatToStrFormsTheCalculatorsText) {
  EXPECT_EQ(TvpCalcEngine::FloatToStr(0.0L), "0");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(-0.0L), "0");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(-2.5L), "-2.5");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(1e17L), "100000000000000000");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(1e18L), "1E0018");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(-1.5e-10L, 2), "-1.5E-10");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(1.5e100L, 0), "1.5E100");
  EXPECT_EQ(TvpCalcEngine::FloatToStr(0.1L), "0.1");
  // Rounds to 18 significant digits, carrying into a new digit.
  EXPECT_EQ(TvpCalcEngine::FloatToStr(9.9999999999999999999L), "10");
  long double v = 0;
  EXPECT_TRUE(TvpCalcEngine::TryTextToFloat("-1.5E-0010", v));
  EXPECT_EQ(v, -1.5e-10L);
  EXPECT_TRUE(TvpCalcEngine::TryTextToFloat("-0", v));
  EXPECT_FALSE(TvpCalcEngine::TryTextToFloat("1E99999", v));
  EXPECT_FALSE(TvpCalcEngine::TryTextToFloat("1..2", v));
  EXPECT_FALSE(TvpCalcEngine::TryTextToFloat(".", v));
}

}  // namespace
