#include "platform/graphics/TextBreak.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <memory>

namespace zv {

namespace {

struct BreakIteratorCloser {
  void operator()(UBreakIterator* b) const { ubrk_close(b); }
};
using BreakIteratorPtr = std::unique_ptr<UBreakIterator, BreakIteratorCloser>;

// Break iterators are costly to open; one of each kind is kept per thread.
UBreakIterator* Iterator(UBreakIteratorType type) {
  thread_local BreakIteratorPtr character, line;
  BreakIteratorPtr& slot = type == UBRK_CHARACTER ? character : line;
  if (!slot) {
    UErrorCode status = U_ZERO_ERROR;
    slot.reset(ubrk_open(type, "", nullptr, 0, &status));
    if (U_FAILURE(status)) slot.reset();
  }
  return slot.get();
}

// Runs f over the boundaries of text (as byte offsets), or over every code point start when
// ICU could not help.
template <class F>
void ForEachBoundary(UBreakIteratorType type, std::string_view text, F&& f) {
  UBreakIterator* it = Iterator(type);
  UErrorCode status = U_ZERO_ERROR;
  UText ut = UTEXT_INITIALIZER;
  bool opened = false;
  if (it && !text.empty()) {
    utext_openUTF8(&ut, text.data(), static_cast<int64_t>(text.size()), &status);
    opened = U_SUCCESS(status);
    if (opened) ubrk_setUText(it, &ut, &status);
  }
  if (!opened || U_FAILURE(status)) {
    if (opened) utext_close(&ut);
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
      UChar32 c;
      U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, n, c);
      (void)c;
      f(i);
    }
    return;
  }
  for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it)) f(b);
  ubrk_setText(it, nullptr, 0, &status);  // drop the reference to text
  utext_close(&ut);
}

}  // namespace

std::vector<int> GraphemeBoundaries(std::string_view text) {
  std::vector<int> out{0};
  ForEachBoundary(UBRK_CHARACTER, text, [&](int b) {
    if (b > out.back()) out.push_back(b);
  });
  if (out.back() != static_cast<int>(text.size())) out.push_back(static_cast<int>(text.size()));
  return out;
}

std::vector<int> LineBreakOpportunities(std::string_view text) {
  std::vector<int> out;
  ForEachBoundary(UBRK_LINE, text, [&](int b) {
    if (b > 0 && (out.empty() || b > out.back())) out.push_back(b);
  });
  if (!text.empty() && (out.empty() || out.back() != static_cast<int>(text.size())))
    out.push_back(static_cast<int>(text.size()));
  return out;
}

char32_t FirstCodePoint(std::string_view text) {
  if (text.empty()) return 0;
  int i = 0;
  UChar32 c;
  U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), i, static_cast<int>(text.size()), c);
  return c < 0 ? 0xFFFD : static_cast<char32_t>(c);
}

bool IsWideCodePoint(char32_t c) {
  const int w = u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_EAST_ASIAN_WIDTH);
  return w == U_EA_WIDE || w == U_EA_FULLWIDTH;
}

}  // namespace zv
