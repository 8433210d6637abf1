// libFuzzer target for the form readers. The first byte picks the input's kind (even: the
// binary form, odd: the textual form); the rest is the form. Whatever the bytes, reading
// raises a clean exception or succeeds, and what the text converter accepts survives a trip
// through the binary form and back unchanged.

#include "TestComponents.h"

#include "platform/classes/FormText.h"

#include <cstdio>
#include <cstdlib>

using namespace zv;
using namespace zvtest;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Contents(const TMemoryStream& s) { return {s.Memory().begin(), s.Memory().end()}; }

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

// Binary the text converter wrote must convert to text and back to the same bytes, and that
// text must be stable.
void CheckCanonical(const Bytes& binary) {
  TMemoryStream b1;
  b1.WriteBuffer(binary.data(), static_cast<std::int64_t>(binary.size()));
  b1.SetPosition(0);
  TStringStream t1;
  ObjectBinaryToText(b1, t1);
  t1.SetPosition(0);
  TMemoryStream b2;
  ObjectTextToBinary(t1, b2);
  if (Contents(b2) != binary) Fail("text -> binary -> text -> binary changed the binary");
  b2.SetPosition(0);
  TStringStream t2;
  ObjectBinaryToText(b2, t2);
  if (t2.DataString() != t1.DataString()) Fail("the text of a form changed on a round trip");
}

void ReadComponents(TMemoryStream& binary) {
  binary.SetPosition(0);
  TReader reader(binary);
  std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool registered = (RegisterSampleClasses(), true);
  (void)registered;
  if (size == 0) return 0;
  const bool text = (data[0] & 1) != 0;
  TMemoryStream input;
  input.WriteBuffer(data + 1, static_cast<std::int64_t>(size - 1));
  input.SetPosition(0);

  if (text) {
    TMemoryStream binary;
    try {
      ObjectTextToBinary(input, binary);
    } catch (const EParserError&) {
      return 0;
    }
    // Converted text gives a well-formed binary form: only the reader may object.
    CheckCanonical(Contents(binary));
    try {
      ReadComponents(binary);
    } catch (const Exception&) {
    }
    return 0;
  }

  try {
    TStringStream asText;
    ObjectBinaryToText(input, asText);
    asText.SetPosition(0);
    TMemoryStream again;
    try {
      ObjectTextToBinary(asText, again);
      CheckCanonical(Contents(again));
    } catch (const EParserError&) {  // names the text cannot spell
    }
  } catch (const EFilerError&) {
  }
  try {
    ReadComponents(input);
  } catch (const Exception&) {
  }
  return 0;
}
