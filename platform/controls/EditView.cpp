// The edit's view: visual lines (wrapping), the mapping between text offsets and client
// points, scrolling and painting.
#include "platform/controls/Edit.h"

#include "platform/controls/CustomControl.h"
#include "platform/controls/WinApi.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/graphics/TextBreak.h"

#include <algorithm>

namespace zv {

namespace {
constexpr const char* kTabSpaces = "    ";
}  // namespace

// --- Layout ------------------------------------------------------------------------------------------------

TCanvas& TCustomEdit::Measure() {
  if (!fMeasureCanvas) {
    fMeasureDevice = GraphicsBackend().CreateSurface(1, 1);
    fMeasureCanvas = std::make_unique<TCanvas>(fMeasureDevice.get());
    fMeasureCanvas->SetFont(Font());
  }
  return *fMeasureCanvas;
}

int TCustomEdit::LineHeight() { return std::max(1, Measure().TextHeight("Wg")); }

String TCustomEdit::DisplayText(std::size_t from, std::size_t to) const {
  const std::string_view text = std::string_view(fEditor.Text()).substr(from, to - from);
  if (fPasswordChar != 0) {
    const String mask = CodePointToUTF8(fPasswordChar);
    String out;
    for (int n = CountCodePoints(text); n > 0; --n) out += mask;
    return out;
  }
  if (text.find('\t') == std::string_view::npos) return String(text);
  return StringReplaceAll(text, "\t", kTabSpaces);
}

int TCustomEdit::TextWidthOf(std::size_t from, std::size_t to) {
  if (to <= from) return 0;
  return Measure().TextWidth(DisplayText(from, to));
}

TRect TCustomEdit::TextRect() const {
  TRect r = fTextRectSet ? fTextRect : ClientRect();
  if (!fTextRectSet) {
    r.Left += fLeftMargin;
    r.Right -= fRightMargin;
  }
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

int TCustomEdit::LineTop(int index) {
  const TRect r = TextRect();
  if (MultiLine()) return r.Top + (index - fTopLine) * LineHeight();
  return fTextRectSet ? r.Top : r.Top + std::max(0, (r.Height() - LineHeight()) / 2);
}

int TCustomEdit::AlignOffset(const TVisualLine& line) {
  if (fAlignment == taLeftJustify) return 0;
  const int room = TextRect().Width() - TextWidthOf(line.Start, line.End);
  if (room <= 0) return 0;
  return fAlignment == taRightJustify ? room : room / 2;
}

void TCustomEdit::TextRectChanged(bool redraw) {
  InvalidateLayout();
  if (!HandleAllocated()) return;
  ScrollCaret();
  if (redraw) Invalidate();
}

void TCustomEdit::InvalidateLayout() {
  fLinesValid = false;
  if (fMeasureCanvas) fMeasureCanvas->SetFont(Font());
}

const std::vector<TCustomEdit::TVisualLine>& TCustomEdit::VisualLines() {
  const int width = TextRect().Width();
  const bool wrap = MultiLine() && fWordWrap;
  const TTextEditor::TChange change = fEditor.TakeChange();
  const bool layoutKept = fLinesValid && (!wrap || width == fLayoutWidth);
  if (layoutKept && !change.Any) return fLines;
  if (layoutKept && MultiLine() && !change.Whole) {
    RelayoutChange(change, width, wrap);
    return fLines;
  }
  fLines.clear();
  fLayoutWidth = width;
  fLinesValid = true;
  const String& text = fEditor.Text();
  if (!MultiLine()) {
    fLines.push_back({0, text.size()});
    return fLines;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t brk = text.find("\r\n", start);
    const std::size_t end = brk == String::npos ? text.size() : brk;
    WrapLogicalLine(start, end, width, wrap, fLines);
    if (brk == String::npos) break;
    start = brk + 2;
  }
  return fLines;
}

// Typing in a long memo must not lay out the whole text again: only the logical lines the
// change touched are wrapped anew, and the lines after them move by the change in length.
void TCustomEdit::RelayoutChange(const TTextEditor::TChange& change, int width, bool wrap) {
  const String& text = fEditor.Text();
  const std::size_t changedEnd = change.Offset + change.Inserted;
  const std::size_t before = std::string_view(text).substr(0, change.Offset).rfind("\r\n");
  const std::size_t first = before == String::npos ? 0 : before + 2;
  const std::size_t brk = text.find("\r\n", changedEnd);
  const std::size_t last = brk == String::npos ? text.size() : brk;  // end of the last touched line
  const std::size_t oldLast = last - change.Inserted + change.Removed;

  auto byStart = [](const TVisualLine& line, std::size_t offset) { return line.Start < offset; };
  const auto from = std::lower_bound(fLines.begin(), fLines.end(), first, byStart);
  auto to = from;
  while (to != fLines.end() && to->Start <= oldLast) ++to;
  std::vector<TVisualLine> fresh;
  std::size_t start = first;
  while (true) {
    const std::size_t b = text.find("\r\n", start);
    const std::size_t end = b == String::npos || b > last ? last : b;
    WrapLogicalLine(start, end, width, wrap, fresh);
    if (end == last) break;
    start = end + 2;
  }
  const auto at = fLines.erase(from, to);
  const auto after = fLines.insert(at, fresh.begin(), fresh.end()) + static_cast<std::ptrdiff_t>(fresh.size());
  const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(change.Inserted) - static_cast<std::ptrdiff_t>(change.Removed);
  for (auto it = after; it != fLines.end(); ++it) {
    it->Start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(it->Start) + delta);
    it->End = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(it->End) + delta);
  }
}

// The visual lines of the logical line [start, end) (no break inside), appended to out.
void TCustomEdit::WrapLogicalLine(std::size_t start, std::size_t end, int width, bool wrap,
                                  std::vector<TVisualLine>& out) {
  const String& text = fEditor.Text();
  if (!wrap || TextWidthOf(start, end) <= width) {
    out.push_back({start, end});
    return;
  }
  // Greedy wrapping at break opportunities; a word wider than the line breaks anywhere.
  std::vector<int> opportunities = LineBreakOpportunities(std::string_view(text).substr(start, end - start));
  std::size_t lineStart = start;
  while (lineStart < end) {
    auto fits = [&](std::size_t to) {
      std::size_t visible = to;
      while (visible > lineStart && (text[visible - 1] == ' ')) --visible;
      return TextWidthOf(lineStart, visible) <= width;
    };
    // The last opportunity after lineStart that fits (widths grow with the offset).
    auto firstOpportunity =
        std::upper_bound(opportunities.begin(), opportunities.end(), static_cast<int>(lineStart - start));
    std::size_t best = lineStart;
    auto lo = firstOpportunity, hi = opportunities.end();
    while (lo < hi) {
      auto mid = lo + (hi - lo) / 2;
      if (fits(start + static_cast<std::size_t>(*mid))) {
        best = start + static_cast<std::size_t>(*mid);
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    if (best == lineStart) {
      // Nothing fits whole: as many characters as fit, at least one.
      best = fEditor.NextOffset(lineStart);
      while (best < end && TextWidthOf(lineStart, fEditor.NextOffset(best)) <= width) best = fEditor.NextOffset(best);
    }
    out.push_back({lineStart, best});
    lineStart = best;
  }
}

int TCustomEdit::VisualLineCount() { return static_cast<int>(VisualLines().size()); }

int TCustomEdit::LineIndexOfOffset(std::size_t offset) {
  const auto& lines = VisualLines();
  auto it = std::upper_bound(lines.begin(), lines.end(), offset,
                             [](std::size_t o, const TVisualLine& line) { return o < line.Start; });
  return std::max(0, static_cast<int>(it - lines.begin()) - 1);
}

int TCustomEdit::LineOfPos(int pos) { return LineIndexOfOffset(fEditor.OffsetOf(pos)); }

std::size_t TCustomEdit::OffsetAtX(const TVisualLine& line, int x) {
  if (x <= 0) return line.Start;
  std::vector<std::size_t> bounds;
  for (std::size_t o = line.Start; o < line.End; o = fEditor.NextOffset(o)) bounds.push_back(o);
  bounds.push_back(line.End);
  // The last boundary at or left of x, then the nearer of it and the next one.
  std::size_t lo = 0, hi = bounds.size();
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (TextWidthOf(line.Start, bounds[mid]) <= x)
      lo = mid;
    else
      hi = mid;
  }
  if (lo + 1 < bounds.size()) {
    const int left = TextWidthOf(line.Start, bounds[lo]), right = TextWidthOf(line.Start, bounds[lo + 1]);
    if (x - left > (right - left) / 2) ++lo;
  }
  return bounds[lo];
}

TPoint TCustomEdit::OffsetToPoint(std::size_t offset) {
  const TRect r = TextRect();
  const int index = LineIndexOfOffset(offset);
  const TVisualLine& line = VisualLines()[static_cast<std::size_t>(index)];
  return {r.Left - fScrollX + AlignOffset(line) + TextWidthOf(line.Start, std::min(offset, line.End)), LineTop(index)};
}

std::size_t TCustomEdit::PointToOffset(TPoint p) {
  const TRect r = TextRect();
  const auto& lines = VisualLines();
  int index = 0;
  if (MultiLine()) {
    const int row = p.Y < r.Top ? -1 - (r.Top - p.Y - 1) / LineHeight() : (p.Y - r.Top) / LineHeight();
    index = std::clamp(fTopLine + row, 0, static_cast<int>(lines.size()) - 1);
  }
  const TVisualLine& line = lines[static_cast<std::size_t>(index)];
  return OffsetAtX(line, p.X - r.Left - AlignOffset(line) + fScrollX);
}

void TCustomEdit::MoveVertically(int count, bool extend) {
  const std::size_t caret = fEditor.CaretOffset();
  const auto& lines = VisualLines();
  const int index = LineIndexOfOffset(caret);
  const TVisualLine& line = lines[static_cast<std::size_t>(index)];
  if (fDesiredX < 0) fDesiredX = TextWidthOf(line.Start, std::min(caret, line.End));
  const int target = std::clamp(index + count, 0, static_cast<int>(lines.size()) - 1);
  std::size_t offset;
  if (target == index)
    offset = count < 0 ? line.Start : line.End;
  else {
    const TVisualLine& to = lines[static_cast<std::size_t>(target)];
    offset = OffsetAtX(to, fDesiredX);
    // On a wrapped line, its end belongs to the next line; stay before the last character.
    if (offset == to.End && static_cast<std::size_t>(target) + 1 < lines.size() && lines[target + 1].Start == to.End &&
        to.End > to.Start)
      offset = fEditor.PriorOffset(offset);
  }
  fEditor.MoveToByte(offset, extend);
  ScrollCaret();
  Invalidate();
}

// --- Scrolling -------------------------------------------------------------------------------------------

void TCustomEdit::ScrollCaret() {
  // Measuring needs the window's backend; a new window scrolls on its first size message.
  if (!HandleAllocated()) return;
  const TRect r = TextRect();
  const std::size_t caret = fEditor.CaretOffset();
  const int index = LineIndexOfOffset(caret);
  if (!(MultiLine() && fWordWrap)) {
    const TVisualLine& line = VisualLines()[static_cast<std::size_t>(index)];
    const int x = TextWidthOf(line.Start, std::min(caret, line.End));
    const int width = std::max(1, r.Width());
    // Jumps by a quarter of the width, as the system's edit does, so that typing does not
    // scroll on every character.
    if (x - fScrollX >= width) fScrollX = x - width * 3 / 4;
    if (x < fScrollX) fScrollX = std::max(0, x - width / 4);
    if (fScrollX < 0) fScrollX = 0;
  } else {
    fScrollX = 0;
  }
  if (MultiLine()) {
    const int visible = std::max(1, r.Height() / LineHeight());
    if (index < fTopLine) fTopLine = index;
    if (index >= fTopLine + visible) fTopLine = index - visible + 1;
    fTopLine = std::clamp(fTopLine, 0, std::max(0, VisualLineCount() - 1));
  }
  UpdateScrollBars();
}

void TCustomEdit::SetTopLine(int line) {
  line = std::clamp(line, 0, std::max(0, VisualLineCount() - 1));
  if (line == fTopLine) return;
  fTopLine = line;
  UpdateScrollBars();
  Invalidate();
}

void TCustomEdit::SetScrollX(int x) {
  x = std::max(0, x);
  if (x == fScrollX) return;
  fScrollX = x;
  UpdateScrollBars();
  Invalidate();
}

void TCustomEdit::SetHideScrollBars(bool value) {
  if (fHideScrollBars == value) return;
  fHideScrollBars = value;
  UpdateScrollBars();
}

void TCustomEdit::UpdateScrollBars() {
  if (!MultiLine() || fScrollBars == ssNone || !HandleAllocated() || fUpdatingScrollBars) return;
  fUpdatingScrollBars = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{fUpdatingScrollBars};
  const TRect r = TextRect();
  if (fScrollBars == ssVertical || fScrollBars == ssBoth) {
    TScrollInfo info;
    info.fMask = SIF_ALL | (fHideScrollBars ? 0 : SIF_DISABLENOSCROLL);
    info.nMax = VisualLineCount() - 1;
    info.nPage = static_cast<unsigned>(std::max(1, r.Height() / LineHeight()));
    info.nPos = fTopLine;
    SetScrollInfo(Handle(), SB_VERT, info, true);
  }
  if ((fScrollBars == ssHorizontal || fScrollBars == ssBoth) && !fWordWrap) {
    int widest = 0;
    for (const TVisualLine& line : VisualLines()) widest = std::max(widest, TextWidthOf(line.Start, line.End));
    TScrollInfo info;
    info.fMask = SIF_ALL | (fHideScrollBars ? 0 : SIF_DISABLENOSCROLL);
    info.nMax = widest;
    info.nPage = static_cast<unsigned>(std::max(1, r.Width()));
    info.nPos = fScrollX;
    SetScrollInfo(Handle(), SB_HORZ, info, true);
  }
}

// --- Painting ----------------------------------------------------------------------------------------------

void TCustomEdit::WMPaint(TWMPaint& message) {
  SetControlState(ControlState() + TControlState{csCustomPaint});
  struct Reset {
    TCustomEdit* edit;
    ~Reset() { edit->SetControlState(edit->ControlState() - TControlState{csCustomPaint}); }
  } reset{this};
  TWinControl::WMPaint(message);
}

void TCustomEdit::PaintWindow(TPaintDevice& dc) {
  TCanvasLoan loan(*fCanvas, dc);
  PaintEdit(*fCanvas);
}

void TCustomEdit::PaintEdit(TCanvas& canvas) {
  canvas.Font()->Assign(Font());
  canvas.Brush()->SetColor(Color());
  canvas.Brush()->SetStyle(bsSolid);
  canvas.FillRect(ClientRect());
  const TRect r = TextRect();
  const int lh = LineHeight();
  const auto& lines = VisualLines();
  const bool showSelection = fEditor.HasSelection() && (Focused() || !fHideSelection);
  const std::size_t selFrom = std::min(fEditor.CaretOffset(), fEditor.AnchorOffset());
  const std::size_t selTo = std::max(fEditor.CaretOffset(), fEditor.AnchorOffset());
  const TColor textColor = Enabled() ? Font()->Color() : clGrayText;
  const int visible = MultiLine() ? r.Height() / lh + 2 : 1;
  for (int i = fTopLine; i < static_cast<int>(lines.size()) && i < fTopLine + visible; ++i) {
    const TVisualLine& line = lines[static_cast<std::size_t>(i)];
    const int y = LineTop(i);
    const int x0 = r.Left - fScrollX + AlignOffset(line);
    // A set rectangle clips the text at its top and bottom too.
    const int clipTop = fTextRectSet ? std::max(y, r.Top) : y;
    const int clipBottom = fTextRectSet ? std::min(y + lh, r.Bottom) : y + lh;
    if (clipBottom <= clipTop) continue;
    // Three runs: before, inside and after the selection.
    const std::size_t a = showSelection ? std::clamp(selFrom, line.Start, line.End) : line.End;
    const std::size_t b = showSelection ? std::clamp(selTo, line.Start, line.End) : line.End;
    const std::size_t cuts[4] = {line.Start, a, b, line.End};
    for (int run = 0; run < 3; ++run) {
      if (cuts[run + 1] <= cuts[run]) continue;
      const int left = x0 + TextWidthOf(line.Start, cuts[run]);
      const int right = x0 + TextWidthOf(line.Start, cuts[run + 1]);
      if (right < r.Left || left > r.Right) continue;
      const bool selected = run == 1;
      if (selected) {
        canvas.Brush()->SetColor(clHighlight);
        canvas.FillRect(TRect{std::max(left, r.Left), clipTop, std::min(right, r.Right), clipBottom});
      }
      canvas.Brush()->SetStyle(bsClear);
      canvas.Font()->SetColor(selected ? clHighlightText : textColor);
      canvas.TextRect(TRect{r.Left, clipTop, r.Right, clipBottom}, left, y, DisplayText(cuts[run], cuts[run + 1]));
      canvas.Brush()->SetStyle(bsSolid);
    }
  }
  if (Focused()) {
    // The caret: a line as tall as the text, in the text's colour.
    const TPoint p = OffsetToPoint(fEditor.CaretOffset());
    if (p.X >= r.Left - 1 && p.X <= r.Right && p.Y + lh > r.Top && p.Y < r.Bottom) {
      canvas.Brush()->SetColor(textColor);
      const int top = fTextRectSet ? std::max(p.Y, r.Top) : p.Y;
      const int bottom = fTextRectSet ? std::min(p.Y + lh, r.Bottom) : p.Y + lh;
      canvas.FillRect(TRect{p.X, top, p.X + 1, bottom});
    }
  }
}

}  // namespace zv
