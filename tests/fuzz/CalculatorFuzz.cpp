// libFuzzer target for the calculator engine. The input is a starting text up to the first zero
// byte, then one key per byte. After every key the display is a number the engine parses back,
// or the engine is in its error state; the memory changes only by the memory keys and always
// holds a number.

#include "platform/rtl/Exceptions.h"
#include "runtime/rtm/CalcEngine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace zv;

namespace {

[[noreturn]] void Fail(const char* what, const TvpCalcEngine& calc) {
  std::fprintf(stderr, "invariant broken: %s\n  display: [%s] memory: [%s]\n", what, calc.DisplayText().c_str(),
               calc.Memory().c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
  const std::size_t textLength = zero ? static_cast<std::size_t>(zero - data) : 0;
  TvpCalcEngine calc;
  bool handled = false;
  calc.OnError = [&handled](TObject*, bool& h) { h = handled; };
  try {
    calc.InitCalc(String(reinterpret_cast<const char*>(data), textLength));
  } catch (const EConvertError&) {
    // Not a number: nothing changed, the calculator starts at 0.
  }
  long double value = 0;
  if (!calc.IsErrorState() && !TvpCalcEngine::TryTextToFloat(calc.DisplayText(), value))
    Fail("the starting display is not a number", calc);
  for (std::size_t i = zero ? textLength + 1 : 0; i < size; ++i) {
    const auto key = static_cast<TvpCalcButton>(data[i] % (cbtnBS + 1));
    handled = (data[i] & 0x80) != 0;
    const String memoryBefore = calc.Memory();
    const bool hadMemory = calc.HasMemory();
    try {
      calc.PushButton(key);
    } catch (const EAbort&) {
      if (!calc.IsErrorState()) Fail("a silent failure without the error state", calc);
    }
    if (!calc.IsErrorState() && !TvpCalcEngine::TryTextToFloat(calc.DisplayText(), value))
      Fail("the display is not a number", calc);
    const bool memoryKey = key == cbtnMS || key == cbtnMPlus || key == cbtnMC;
    if (!memoryKey && (calc.Memory() != memoryBefore || calc.HasMemory() != hadMemory))
      Fail("the memory changed by a key that is not a memory key", calc);
    if (calc.HasMemory() && !TvpCalcEngine::TryTextToFloat(calc.Memory(), value))
      Fail("the memory is not a number", calc);
  }
  return 0;
}
