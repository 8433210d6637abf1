#pragma once
// The layout decisions of DrawText, made here once for every backend: line splitting at CR/LF,
// word wrapping (DT_WORDBREAK; words longer than the line break only with DT_EDITCONTROL),
// tab expansion, '&' prefixes, end/word/path ellipses, alignment and DT_CALCRECT. Text is
// broken and truncated only at grapheme cluster boundaries; a backend only measures and draws
// the runs.
//
// Choices where the host is not explicit: a trailing line break adds no empty last line;
// empty text has no line (height 0); DT_WORD_ELLIPSIS truncates like DT_END_ELLIPSIS; with
// DT_EDITCONTROL a partially visible last line is dropped (the first line always stays) and,
// with an ellipsis flag, the last visible line ends in "..." when lines were dropped.

#include "platform/graphics/Geometry.h"
#include "platform/rtl/StringUtils.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zv {

inline constexpr const char TextEllipsis[] = "...";

// What layout needs to know about the font.
struct TTextMeasure {
  std::function<int(std::string_view)> Width;  // advance width of a run (never holds a tab or a line break)
  int LineHeight = 0;                          // the font's height (plus external leading if asked)
  int AveCharWidth = 0;                        // tab stops are multiples of it
};

struct TTextRun {
  String Text;
  int X = 0;  // absolute
  bool Underline = false;  // the character after a '&' prefix
};

struct TTextLine {
  std::vector<TTextRun> Runs;
  int X = 0;  // absolute left of the line
  int Y = 0;  // absolute top of the line
  int Width = 0;
};

struct TTextLayout {
  std::vector<TTextLine> Lines;
  int TextHeight = 0;  // lines * line height
  int Result = 0;      // DrawText's return value
  TRect CalcRect;      // the rectangle DT_CALCRECT gives back
};

TTextLayout LayoutText(std::string_view text, const TRect& rect, unsigned format, const TTextMeasure& measure);

}  // namespace zv
