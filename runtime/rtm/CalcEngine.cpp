#include "runtime/rtm/CalcEngine.h"

#include "platform/rtl/Consts.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FormatSettings.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

char Separator() { return FormatSettings().DecimalSeparator; }

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
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  constexpr int precision = 18;
  // d.ddddddddddddddddde±x: the 18 significant digits, correctly rounded.
  std::array<char, 64> buf{};
  std::snprintf(buf.data(), buf.size(), "%.*Le", precision - 1, value);
  const String s(buf.data());
  const bool negative = s[0] == '-';
  const std::size_t ePos = s.find('e');
  String digits;
  for (std::size_t i = negative ? 1 : 0; i < ePos; ++i)
    if (s[i] != '.') digits += s[i];
  const int exponent = std::atoi(s.c_str() + ePos + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  String out = negative ? "-" : "";
  const char sep = Separator();
  if (exponent >= -5 && exponent < precision) {
    if (exponent < 0) {
      out += '0';
      out += sep;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      const auto intLen = static_cast<std::size_t>(exponent + 1);
      if (digits.size() <= intLen) {
        out += digits;
        out.append(intLen - digits.size(), '0');
      } else {
        out += digits.substr(0, intLen);
        out += sep;
        out += digits.substr(intLen);
      }
    }
    return out;
  }
  out += digits[0];
  if (digits.size() > 1) {
    out += sep;
    out += digits.substr(1);
  }
  out += 'E';
  if (exponent < 0) out += '-';
  String e = std::to_string(std::abs(exponent));
  if (static_cast<int>(e.size()) < expDigits) e.insert(0, static_cast<std::size_t>(expDigits) - e.size(), '0');
  return out + e;
}

bool TvpCalcEngine::TryTextToFloat(const String& text, long double& value) {
  std::size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  String s;
  bool negative = false;
  if (b < e && (text[b] == '+' || text[b] == '-')) negative = text[b++] == '-';
  // Only plain decimal text: digits, one separator, an optional exponent.
  bool digit = false, point = false, exp = false;
  for (std::size_t i = b; i < e; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digit = true;
      s += c;
    } else if (c == Separator() && !point && !exp) {
      point = true;
      s += '.';
    } else if ((c == 'E' || c == 'e') && digit && !exp) {
      exp = true;
      s += 'e';
      if (i + 1 < e && (text[i + 1] == '+' || text[i + 1] == '-')) s += text[++i];
      if (i + 1 >= e) return false;
    } else {
      return false;
    }
  }
  if (!digit) return false;
  long double v = 0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return false;
  value = negative ? -v : v;
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
    if (operand.find(Separator()) == String::npos) operand += Separator();
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
    if (--fFraction == 0 && !operand.empty() && operand.back() == Separator()) operand.pop_back();
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
      if (operand != "0" || fPoint) operand = operand.starts_with('-') ? operand.substr(1) : "-" + operand;
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
