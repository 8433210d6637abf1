#pragma once
// Unicode text boundaries used by text layout and by the backends' measuring: grapheme
// clusters (what a user sees as one character) and line-break opportunities, as byte offsets
// into UTF-8 text. Offsets never fall inside a UTF-8 sequence; invalid bytes count as one
// character each.

#include <string_view>
#include <vector>

namespace zv {

// Offsets of the grapheme cluster boundaries, 0 and text.size() included.
std::vector<int> GraphemeBoundaries(std::string_view text);
// Offsets after which a line may be broken (UAX #14: after spaces, hyphens, between CJK
// ideographs), text.size() included, 0 excluded.
std::vector<int> LineBreakOpportunities(std::string_view text);
// The first code point of text (U+FFFD for an invalid sequence); 0 for empty text.
char32_t FirstCodePoint(std::string_view text);
// East Asian Wide or Fullwidth: CJK ideographs, kana, Hangul, most emoji.
bool IsWideCodePoint(char32_t c);

}  // namespace zv
