// libFuzzer target for mask edits. The input's first line is the edit mask; the rest is a script
// of operations on a focused TMaskEdit on the headless backend: typed characters, editing and
// caret keys (with Shift), clipboard pastes and cuts, selections and assigned text. After every
// step the edit text is valid UTF-8, lays out exactly on the mask (literals in place, input
// positions blank or holding a character they accept) and the selection lies inside the text.

#include "ControlHarness.h"

#include "platform/controls/Clipboard.h"
#include "platform/controls/MaskEdit.h"
#include "platform/controls/WindowBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/rtl/EditMask.h"
#include "platform/rtl/StringUtils.h"

#include <cstdio>
#include <cstdlib>

using namespace zv;
using namespace zvtest;

namespace {

// The probe logs every paint and message it sees, and the headless surface records every paint
// operation, for the tests that read them; kept from one input to the next they grow without end.
void Forget(THarness& harness, TProbe& top) {
  harness.Log.clear();
  harness.Log.shrink_to_fit();
  if (TNullSurface* surface = AsNullSurface(RetainedSurfaceOf(top.Handle()))) surface->ClearOps();
}

[[noreturn]] void Fail(const char* what, const String& mask, const String& text) {
  std::fprintf(stderr, "invariant broken: %s\n  mask: %s\n  edit text: %s\n", what, mask.c_str(), text.c_str());
  std::abort();
}

bool ValidUtf8(const String& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

void Check(TMaskEdit& edit) {
  const String text = edit.EditText();
  const String& mask = edit.EditMask();
  if (!ValidUtf8(text)) Fail("the edit text is not UTF-8", mask, text);
  const int length = Length(text);
  if (edit.SelStart() < 0 || edit.SelLength() < 0 || edit.SelStart() + edit.SelLength() > length)
    Fail("the selection lies outside the text", mask, text);
  if (!edit.IsMasked()) return;
  const TEditMask& rules = edit.MaskRules();
  const std::u32string chars = ToCodePoints(text);
  if (static_cast<int>(chars.size()) != rules.Count()) Fail("the edit text does not have the mask's length", mask, text);
  for (int i = 0; i < rules.Count(); ++i) {
    const TMaskPosition& p = rules.Position(i);
    const char32_t c = chars[static_cast<std::size_t>(i)];
    if (!rules.IsInput(i)) {
      if (c != p.Literal) Fail("a literal of the mask moved", mask, text);
    } else if (c != rules.Blank() && !rules.Accepts(i, c)) {
      Fail("an input position holds a character it refuses", mask, text);
    }
  }
}

// Reads a piece of up to 16 bytes (length from the script's next byte); may cut a UTF-8
// sequence, as pasted bytes from another program may.
String Piece(const std::uint8_t*& p, const std::uint8_t* end) {
  if (p >= end) return {};
  std::size_t n = std::min<std::size_t>(*p++ % 17, static_cast<std::size_t>(end - p));
  String s(reinterpret_cast<const char*>(p), n);
  p += n;
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TControlDriver* driver = MakeNullDriver().release();
  static THarness* harness = new THarness(*driver);
  static TProbe* top = harness->TopLevel(0, 0, 300, 80);

  const std::uint8_t* end = data + size;
  const std::uint8_t* p = data;
  while (p < end && *p != '\n') ++p;
  const String mask(reinterpret_cast<const char*>(data), static_cast<std::size_t>(p - data));
  if (p < end) ++p;

  auto* edit = new TMaskEdit(top);
  edit->SetParent(top);
  edit->SetBounds(4, 4, 200, 24);
  try {
    edit->SetEditMask(mask);
  } catch (const Exception&) {
    delete edit;
    Forget(*harness, *top);
    return 0;  // a mask the rules refuse is the host's error, nothing to edit
  }
  edit->SetFocus();
  harness->Pump();
  Check(*edit);
  const TShiftState shiftOnly{ssShift};
  while (p < end) {
    const std::uint8_t op = *p++;
    try {
      switch (op % 9) {
        case 0: {  // one typed character (a whole code point; invalid bytes become U+FFFD)
          const String piece = Piece(p, end);
          for (char32_t c : ToCodePoints(piece)) harness->Char(edit, c);
          break;
        }
        case 1: harness->KeyDown(edit, VK_BACK); break;
        case 2: harness->KeyDown(edit, VK_DELETE); break;
        case 3: harness->KeyDown(edit, (op & 0x10) ? VK_LEFT : VK_RIGHT, (op & 0x20) ? shiftOnly : TShiftState{}); break;
        case 4: harness->KeyDown(edit, (op & 0x10) ? VK_HOME : VK_END, (op & 0x20) ? shiftOnly : TShiftState{}); break;
        case 5:
          Clipboard()->SetAsText(Piece(p, end));
          edit->PasteFromClipboard();
          break;
        case 6: edit->CutToClipboard(); break;
        case 7:
          if (p + 1 < end) {
            edit->SetSelStart(p[0] % 24);
            edit->SetSelLength(p[1] % 24);
            p += 2;
          }
          break;
        case 8:  // text from the program, which answers for its encoding
          edit->SetText(FromCodePoints(ToCodePoints(Piece(p, end))));
          break;
      }
    } catch (const Exception&) {
      // The host's errors (a refused paste, an invalid value) are fine; the state must hold.
    }
    harness->Pump();
    Check(*edit);
  }
  delete edit;
  harness->Pump();
  Forget(*harness, *top);
  return 0;
}
