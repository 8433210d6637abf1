#include "runtime/rtm/CalcEngine.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FloatFormat.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/StringUtils.h"

#include <array>
#include <cmath>

namespace zv {

ZV_DEFINE_CLASS(TvpCalcEngine, TPersistent)

namespace {

enum TKeyClass { kcDigit, kcPoint, kcChSign, kcOperator, kcFunction, kcPercent, kcEquals, kcMemStore, kcMemRecall,
                 kcClear, kcClearEntry, kcBackspace };

TKeyClass ClassOf(TvpCalcButton key) {
  switch (key) {
    case cbtnPoint: return kcPoint;
    case cbtnChSign: return kcChSign;
    case cbtnPlus: case cbtnMinus: case cbtnMult: case cbtnDiv: return kcOperator;
    case cbtn1DivX: case cbtnSqrt: return kcFunction;
    case cbtnPerc: return kcPercent;
    case cbtnEqu: return kcEquals;
    case cbtnMS: case cbtnMPlus: case cbtnMC: return kcMemStore;
    case cbtnMR: return kcMemRecall;
    case cbtnC: return kcClear;
    case cbtnCE: return kcClearEntry;
    case cbtnBS: return kcBackspace;
    default: return kcDigit;
  }
}

bool IsOperator(TvpCalcButton key) { return key >= cbtnPlus && key <= cbtnDiv; }

// New state by current state (rows 0..10) and key class; states 6..9 are never entered.
constexpr std::array<std::array<int, 12>, 11> Transitions = {{
    {1, 1, 1, 2, 1, 0, 1, 1, 1, 0, 0, 1},
    {1, 1, 1, 2, 1, 0, 1, 1, 1, 0, 1, 1},
    {3, 3, 3, 2, 3, 3, 5, 2, 3, 0, 3, 3},
    {3, 3, 3, 4, 3, 3, 5, 3, 3, 0, 3, 3},
    {3, 3, 3, 2, 3, 3, 5, 2, 3, 0, 3, 3},
    {1, 1, 1, 2, 1, 0, 5, 1, 1, 0, 1, 1},
    {}, {}, {}, {},
    {10, 10, 10, 10, 10, 10, 10, 10, 10, 0, 10, 10},
}};

const TFormatChar& Separator() { return FormatSettings().DecimalSeparator; }

// Digits typed into an operand; a lone leading zero before the separator does not count.
int TypedDigits(const String& operand) {
  int digits = 0;
  for (char c : operand)
    if (c >= '0' && c <= '9') ++digits;
  const std::size_t start = !operand.empty() && operand[0] == '-' ? 1 : 0;
  if (operand.size() > start && operand[start] == '0') --digits;
  return digits;
}

}  // namespace

TvpCalcEngine::TvpCalcEngine() { InitCalc("0"); }

// --- Number text ---------------------------------------------------------------------------------

String TvpCalcEngine::FloatToStr(long double value, int expDigits) {
  return zv::FloatToStrF(value, ffGeneral, MaxTypedDigits, expDigits);
}

bool TvpCalcEngine::TryTextToFloat(const String& text, long double& value) {
  // The display never shows INF or NAN: such text is no operand.
  long double v = 0;
  if (!TryStrToFloat(text, v) || !std::isfinite(v)) return false;
  value = v;
  return true;
}

long double TvpCalcEngine::Value(const String& text) {
  long double v = 0;
  if (!TryTextToFloat(text, v)) RaiseError(SOverflow);
  return v;
}

String TvpCalcEngine::Text(long double value) {
  if (!std::isfinite(value)) RaiseError(SOverflow);
  return FloatToStr(value, 4);
}

// --- Keys ----------------------------------------------------------------------------------------

void TvpCalcEngine::InitCalc(const String& text) {
  const String t = text.empty() ? String("0") : text;
  long double v = 0;
  if (!TryTextToFloat(t, v)) throw EConvertError(Format(SInvalidFloat, {t}));
  Clear();
  fDisplay = t;
  fFirst = t;
  fFirstFresh = true;
  fChanged = false;
}

void TvpCalcEngine::Clear() {
  fFirst = "0";
  fSecond = "0";
  fFirstFresh = fSecondFresh = false;
  fPoint = false;
  fFraction = 0;
  fState = StateCleared;
  fDisplay = fFirst;
  fOperation.reset();
  fErrorText.clear();
  fChanged = true;
}

void TvpCalcEngine::PushButton(TvpCalcButton key) {
  // A key ignored in the error state must not report a change left over from an earlier key.
  fChanged = false;
  try {
    fState = Transitions.at(static_cast<std::size_t>(fState)).at(ClassOf(key));
    switch (fState) {
      case StateCleared: Clear(); break;
      case StateFirst: EditNumber(fFirst, fFirstFresh, key); break;
      case StateOperator: FirstOperation(key); break;
      case StateSecond: EditNumber(fSecond, fSecondFresh, key); break;
      case StateChained:
        Calculate();
        FirstOperation(key);
        break;
      case StateResult: Calculate(); break;
      default: break;
    }
  } catch (const Exception&) {
    bool handled = false;
    if (OnError) OnError(this, handled);
    if (handled) return;
    throw;
  }
  if (fChanged && OnChange) OnChange(this);
  fChanged = false;
}

void TvpCalcEngine::ClearNumber(String& operand, bool& fresh) {
  operand = "0";
  fresh = false;
  fFraction = 0;
  fPoint = false;
}

void TvpCalcEngine::AppendDigit(String& operand, TvpCalcButton key) {
  const char digit = static_cast<char>('0' + static_cast<int>(key));
  if (fPoint) {
    ++fFraction;
    if (operand.find(Separator().View()) == String::npos) operand += Separator();
    operand += digit;
  } else if (operand == "0") {
    operand = String(1, digit);
  } else {
    operand += digit;
  }
}

void TvpCalcEngine::Backspace(String& operand) {
  if (!fPoint) {
    operand.pop_back();
    // "-5" loses its digit, not just its sign's companion: nothing left is 0.
    if (operand.empty() || operand == "-") operand = "0";
  } else if (fFraction > 0) {
    operand.pop_back();
    if (--fFraction == 0 && operand.ends_with(Separator().View())) operand.resize(operand.size() - Separator().Size());
  } else {
    fPoint = false;
  }
}

void TvpCalcEngine::EditNumber(String& operand, bool& fresh, TvpCalcButton key) {
  const TKeyClass kc = ClassOf(key);
  switch (kc) {
    case kcDigit:
      if (fresh) ClearNumber(operand, fresh);
      if (TypedDigits(operand) >= MaxTypedDigits) return;
      AppendDigit(operand, key);
      break;
    case kcPoint:
      if (fresh) ClearNumber(operand, fresh);
      if (!fPoint) {
        fPoint = true;
        fFraction = 0;
      }
      break;
    case kcChSign:
      if (operand != "0" || fPoint) {
        // A starting text is shown as given (" +12.50 "); the sign goes onto its bare number.
        String bare = Trim(operand);
        if (bare.starts_with('+')) bare.erase(0, 1);
        operand = bare.starts_with('-') ? bare.substr(1) : "-" + bare;
      }
      break;
    case kcFunction: {
      const long double v = Value(operand);
      if (key == cbtn1DivX) {
        if (v == 0) RaiseError(SDivByZero);
        operand = Text(1 / v);
      } else {
        if (v < 0) RaiseError(SInvalidOp);
        operand = Text(std::sqrt(v));
      }
      fresh = true;
      fPoint = false;
      break;
    }
    case kcPercent:
      operand = Text(Value(fFirst) * Value(fSecond) / 100);
      fresh = true;
      fPoint = false;
      break;
    case kcEquals:
      fresh = true;
      fPoint = false;
      break;
    case kcMemStore:
      if (key == cbtnMPlus && fHasMemory) {
        fMemory = Text(Value(fMemory) + Value(operand));
      } else if (key == cbtnMS || key == cbtnMPlus) {
        fMemory = operand;
        fHasMemory = true;
      } else {
        fMemory.clear();
        fHasMemory = false;
      }
      fresh = true;
      fPoint = false;
      if (fMemory == "0") {
        fMemory.clear();
        fHasMemory = false;
      }
      fDisplay = operand;
      return;
    case kcMemRecall:
      if (fHasMemory) {
        operand = fMemory;
        fresh = true;
        fPoint = false;
      }
      break;
    case kcClearEntry: ClearNumber(operand, fresh); break;
    case kcBackspace:
      if (fresh) return;
      Backspace(operand);
      break;
    default: break;
  }
  fDisplay = operand;
  fChanged = true;
}

void TvpCalcEngine::FirstOperation(TvpCalcButton key) {
  if (IsOperator(key)) {
    fOperation = key;
    fSecond = fFirst;
    fSecondFresh = true;
    fPoint = false;
  } else if (key == cbtnMC) {
    fMemory.clear();
    fHasMemory = false;
    fChanged = true;
  }
}

void TvpCalcEngine::Calculate() {
  long double a = Value(fFirst);
  const long double b = Value(fSecond);
  if (fOperation) {
    switch (*fOperation) {
      case cbtnPlus: a += b; break;
      case cbtnMinus: a -= b; break;
      case cbtnMult: a *= b; break;
      case cbtnDiv:
        if (b == 0) RaiseError(SDivByZero);
        a /= b;
        break;
      default: break;
    }
  }
  fFirst = Text(a);
  fFirstFresh = true;
  fPoint = false;
  fDisplay = fFirst;
  fChanged = true;
}

void TvpCalcEngine::RaiseError(const char* message) {
  fState = StateError;
  fErrorText = message;
  Abort();
}

}  // namespace zv
