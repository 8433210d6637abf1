#pragma once
// TvpCalcEngine: the non-visual model of a pocket calculator with one memory slot, behind the
// calculator drop-down. Operands are kept as decimal text exactly as typed (with the host's
// decimal separator) and computed in extended precision; every visible change is reported by
// OnChange, every failure by OnError.

#include "platform/classes/Persistent.h"
#include "platform/classes/Strings.h"

#include <functional>
#include <optional>

namespace zv {

enum TvpCalcButton {
  cbtnZero, cbtnOne, cbtnTwo, cbtnThree, cbtnFour, cbtnFive, cbtnSix, cbtnSeven, cbtnEight, cbtnNine,
  cbtnPoint, cbtnChSign, cbtnPlus, cbtnMinus, cbtnMult, cbtnDiv, cbtnEqu, cbtnPerc, cbtn1DivX, cbtnSqrt,
  cbtnMS, cbtnMPlus, cbtnMR, cbtnMC, cbtnC, cbtnCE, cbtnBS
};

// Handled := true stops the failure inside PushButton; otherwise the silent EAbort propagates.
ZV_EVENT(TvpCalcErrorEvent, void(TObject* sender, bool& handled));

class TvpCalcEngine : public TPersistent {
  ZV_CLASS(TvpCalcEngine, TPersistent)

public:
  // The most digits a typed operand takes: what extended precision holds; further digit keys
  // are ignored.
  static constexpr int MaxTypedDigits = 18;
  // States of the key machine.
  static constexpr int StateCleared = 0, StateFirst = 1, StateOperator = 2, StateSecond = 3, StateChained = 4,
                       StateResult = 5, StateError = 10;

  TvpCalcEngine();

  // Starts a new calculation showing text ("" counts as "0"); EConvertError when text is not a
  // number, and then nothing changes. The memory survives.
  void InitCalc(const String& text);
  // Back to 0 with no pending operation; the memory survives.
  void Clear();
  // One key press: OnChange when the display changed; a failure enters the error state, calls
  // OnError and, unless handled, raises the silent EAbort.
  void PushButton(TvpCalcButton key);
  bool IsErrorState() const { return fState == StateError; }

  const String& DisplayText() const { return fDisplay; }
  const String& FirstOperand() const { return fFirst; }
  const String& SecondOperand() const { return fSecond; }
  int State() const { return fState; }
  const String& Memory() const { return fMemory; }  // "" when clear
  bool HasMemory() const { return fHasMemory; }
  bool PointTyped() const { return fPoint; }
  int FractionDigits() const { return fFraction; }
  std::optional<TvpCalcButton> Operation() const { return fOperation; }
  const String& ErrorText() const { return fErrorText; }

  // The calculator's number text: the general format with 18 significant digits and at least
  // expDigits exponent digits in the exponent form ("1E0020", "1.5E-0010").
  static String FloatToStr(long double value, int expDigits = 4);
  // The calculator's text back into a number; false for bad text or a value out of range.
  static bool TryTextToFloat(const String& text, long double& value);

  TNotifyEvent OnChange;
  TvpCalcErrorEvent OnError;

protected:
  void EditNumber(String& operand, bool& fresh, TvpCalcButton key);
  void FirstOperation(TvpCalcButton key);
  void Calculate();
  void ClearNumber(String& operand, bool& fresh);
  // Enters the error state with message and raises the silent EAbort.
  [[noreturn]] void RaiseError(const char* message);

private:
  long double Value(const String& text);  // overflow error when text is not a number
  String Text(long double value);         // overflow error when value is not finite
  void AppendDigit(String& operand, TvpCalcButton key);
  void Backspace(String& operand);

  String fDisplay;
  String fFirst;
  String fSecond;
  bool fFirstFresh = false;
  bool fSecondFresh = false;
  int fState = StateCleared;
  String fMemory;
  bool fHasMemory = false;
  bool fPoint = false;
  int fFraction = 0;
  std::optional<TvpCalcButton> fOperation;
  bool fChanged = false;
  String fErrorText;
};

}  // namespace zv
