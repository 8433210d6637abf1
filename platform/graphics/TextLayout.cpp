#include "platform/graphics/TextLayout.h"

#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/TextBreak.h"

#include <algorithm>
#include <utility>

namespace zv {

namespace {

using TRange = std::pair<int, int>;  // byte offsets [first, second)

// A line's display text (prefixes removed) and its underlined clusters.
struct TLineText {
  String Text;
  std::vector<TRange> Underlines;
  int Width = -1;  // measured while wrapping; -1 when not known
};

class TLayouter {
public:
  TLayouter(const TTextMeasure& m, bool expandTabs, int tabChars)
      : fMeasure(m), fExpandTabs(expandTabs), fTabWidth(std::max(0, tabChars) * std::max(0, m.AveCharWidth)) {}

  int NextTab(int x) const { return fTabWidth > 0 ? (FloorDiv(x, fTabWidth) + 1) * fTabWidth : x; }

  int Width(std::string_view s) const {
    if (s.empty()) return 0;
    if (!fExpandTabs || s.find('\t') == std::string_view::npos) return fMeasure.Width(s);
    int x = 0;
    std::size_t start = 0;
    for (;;) {
      const std::size_t t = s.find('\t', start);
      const std::string_view piece = s.substr(start, t == std::string_view::npos ? std::string_view::npos : t - start);
      if (!piece.empty()) x = CheckedAdd(x, fMeasure.Width(piece));
      if (t == std::string_view::npos) break;
      x = NextTab(x);
      start = t + 1;
    }
    return x;
  }

  // Runs of one line, from x = 0, split at tabs and underline boundaries; returns the width.
  int Runs(const TLineText& line, std::vector<TTextRun>& runs) const {
    const String& s = line.Text;
    // A wrapped line of one plain run was measured already.
    if (line.Width >= 0 && line.Underlines.empty() && (!fExpandTabs || s.find('\t') == String::npos)) {
      if (!s.empty()) runs.push_back(TTextRun{s, 0, false});
      return line.Width;
    }
    const int n = static_cast<int>(s.size());
    int pos = 0, x = 0;
    while (pos < n) {
      if (fExpandTabs && s[pos] == '\t') {
        x = NextTab(x);
        ++pos;
        continue;
      }
      int cut = n;
      if (fExpandTabs) {
        const std::size_t t = s.find('\t', pos);
        if (t != String::npos) cut = static_cast<int>(t);
      }
      bool underline = false;
      for (const TRange& u : line.Underlines) {
        if (u.first <= pos && pos < u.second) {
          underline = true;
          cut = std::min(cut, u.second);
        } else if (u.first > pos) {
          cut = std::min(cut, u.first);
        }
      }
      TTextRun run{s.substr(pos, cut - pos), x, underline};
      x = CheckedAdd(x, fMeasure.Width(run.Text));
      runs.push_back(std::move(run));
      pos = cut;
    }
    return x;
  }

private:
  const TTextMeasure& fMeasure;
  bool fExpandTabs;
  int fTabWidth;
};

TLineText RemovePrefixes(std::string_view s, bool hideUnderline) {
  TLineText out;
  const std::vector<int> clusters = GraphemeBoundaries(s);
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '&' && i + 1 < s.size()) {
      if (s[i + 1] == '&') {
        out.Text += '&';
        i += 2;
        continue;
      }
      const auto next = std::upper_bound(clusters.begin(), clusters.end(), static_cast<int>(i + 1));
      const std::size_t end = next == clusters.end() ? s.size() : static_cast<std::size_t>(*next);
      const int first = static_cast<int>(out.Text.size());
      out.Text.append(s.substr(i + 1, end - (i + 1)));
      if (!hideUnderline) out.Underlines.push_back({first, static_cast<int>(out.Text.size())});
      i = end;
      continue;
    }
    out.Text += s[i++];
  }
  return out;
}

TLineText Slice(const TLineText& p, int first, int last) {
  TLineText out{p.Text.substr(first, last - first), {}};
  for (const TRange& u : p.Underlines)
    if (u.first >= first && u.second <= last) out.Underlines.push_back({u.first - first, u.second - first});
  return out;
}

int TrimEnd(const String& s, int first, int last) {
  while (last > first && (s[last - 1] == ' ' || s[last - 1] == '\t')) --last;
  return last;
}

// The largest cluster boundary g in (first, last] with Width(s[first, g)) <= maxWidth; at least
// the first cluster.
int FitClusters(const TLayouter& lay, const String& s, int first, int last, int maxWidth) {
  const std::vector<int> all = GraphemeBoundaries(std::string_view(s).substr(first, last - first));
  int lo = 1, hi = static_cast<int>(all.size()) - 1, best = 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (lay.Width(std::string_view(s).substr(first, all[mid])) <= maxWidth) {
      best = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return first + all[std::min<std::size_t>(best, all.size() - 1)];
}

void Wrap(const TLayouter& lay, const TLineText& p, int maxWidth, bool breakWords, std::vector<TLineText>& out) {
  const String& s = p.Text;
  const int n = static_cast<int>(s.size());
  if (n == 0) {
    out.push_back({});
    return;
  }
  const std::vector<int> breaks = LineBreakOpportunities(s);
  std::size_t bi = 0;
  int start = 0;
  while (start < n) {
    while (bi < breaks.size() && breaks[bi] <= start) ++bi;
    int lastFit = -1, fitWidth = -1;
    for (std::size_t k = bi; k < breaks.size(); ++k) {
      const int end = TrimEnd(s, start, breaks[k]);
      const int width = lay.Width(std::string_view(s).substr(start, end - start));
      if (width > maxWidth) break;
      lastFit = breaks[k];
      fitWidth = width;
    }
    if (lastFit < 0) {
      fitWidth = -1;
      const int word = bi < breaks.size() ? breaks[bi] : n;
      const int wordEnd = TrimEnd(s, start, word);
      lastFit = breakWords && wordEnd > start ? FitClusters(lay, s, start, wordEnd, maxWidth) : word;
      if (lastFit == wordEnd) lastFit = word;  // the word fitted after all: take its spaces too
    }
    out.push_back(Slice(p, start, TrimEnd(s, start, lastFit)));
    out.back().Width = fitWidth;
    start = lastFit;
  }
}

// The longest cluster prefix of line.Text that fits with the ellipsis after it.
void EndEllipsis(const TLayouter& lay, TLineText& line, int maxWidth, bool force) {
  if (!force && (line.Width >= 0 ? line.Width : lay.Width(line.Text)) <= maxWidth) return;
  const std::vector<int> clusters = GraphemeBoundaries(line.Text);
  int lo = 0, hi = static_cast<int>(clusters.size()) - 1, best = 0;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (lay.Width(line.Text.substr(0, clusters[mid]) + TextEllipsis) <= maxWidth) {
      best = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  const int cut = clusters[best];
  TLineText out = Slice(line, 0, cut);
  out.Text += TextEllipsis;
  line = std::move(out);
}

// Keeps the last path component whole and shortens what comes before it.
void PathEllipsis(const TLayouter& lay, TLineText& line, int maxWidth) {
  if (lay.Width(line.Text) <= maxWidth) return;
  const std::size_t sep = line.Text.find_last_of("\\/");
  if (sep == String::npos || sep == 0) return EndEllipsis(lay, line, maxWidth, false);
  const String tail = line.Text.substr(sep);
  const std::vector<int> clusters = GraphemeBoundaries(std::string_view(line.Text).substr(0, sep));
  int lo = 0, hi = static_cast<int>(clusters.size()) - 1, best = -1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    if (lay.Width(line.Text.substr(0, clusters[mid]) + TextEllipsis + tail) <= maxWidth) {
      best = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  if (best < 0) return EndEllipsis(lay, line, maxWidth, false);
  TLineText out = Slice(line, 0, clusters[best]);
  out.Text += TextEllipsis;
  const int shift = static_cast<int>(out.Text.size()) - static_cast<int>(sep);
  for (const TRange& u : line.Underlines)
    if (u.first >= static_cast<int>(sep)) out.Underlines.push_back({u.first + shift, u.second + shift});
  out.Text += tail;
  line = std::move(out);
}

// Splits at CR LF, LF or CR; a break at the very end adds no line.
std::vector<std::string_view> Paragraphs(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t b = text.find_first_of("\r\n", start);
    if (b == std::string_view::npos) {
      out.push_back(text.substr(start));
      break;
    }
    out.push_back(text.substr(start, b - start));
    start = b + ((text[b] == '\r' && b + 1 < text.size() && text[b + 1] == '\n') ? 2 : 1);
  }
  return out;
}

}  // namespace

TTextLayout LayoutText(std::string_view text, const TRect& rect, unsigned format, const TTextMeasure& measure) {
  int tabChars = 8;
  if (format & DT_TABSTOP) {  // bits 8..15 hold the tab width instead of flags
    tabChars = static_cast<int>((format >> 8) & 0xFF);
    format &= ~0xFF00u;
  }
  const bool single = format & DT_SINGLELINE;
  const bool calc = format & DT_CALCRECT;
  const bool wrap = (format & DT_WORDBREAK) && !single;
  const bool edit = format & DT_EDITCONTROL;
  const int maxWidth = rect.Width();
  TLayouter lay(measure, format & DT_EXPANDTABS, tabChars);

  std::vector<TLineText> lines;
  const std::vector<std::string_view> paragraphs =
      single ? (text.empty() ? std::vector<std::string_view>{} : std::vector<std::string_view>{text}) : Paragraphs(text);
  for (std::string_view para : paragraphs) {
    TLineText p = (format & DT_NOPREFIX) ? TLineText{String(para), {}} : RemovePrefixes(para, format & DT_HIDEPREFIX);
    if (wrap)
      Wrap(lay, p, maxWidth, edit, lines);
    else
      lines.push_back(std::move(p));
  }

  const int lineHeight = measure.LineHeight;
  if (!calc) {
    const bool ellipsis = format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);
    if (edit && !single && lineHeight > 0) {
      const std::size_t visible = static_cast<std::size_t>(std::max(1, rect.Height() / lineHeight));
      if (lines.size() > visible) {
        lines.resize(visible);
        if (ellipsis) EndEllipsis(lay, lines.back(), maxWidth, true);
      }
    }
    for (TLineText& l : lines) {
      if (format & DT_PATH_ELLIPSIS)
        PathEllipsis(lay, l, maxWidth);
      else if (format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
        EndEllipsis(lay, l, maxWidth, false);
    }
  }

  TTextLayout out;
  out.TextHeight = CheckedMul(static_cast<int>(lines.size()), lineHeight);
  int top = rect.Top;
  if (single && !lines.empty()) {
    if (format & DT_BOTTOM)
      top = CheckedSub(rect.Bottom, lineHeight);
    else if (format & DT_VCENTER)
      top = CheckedAdd(rect.Top, FloorDiv(CheckedSub(rect.Height(), lineHeight), 2));
  }
  int widest = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TTextLine line;
    line.Width = lay.Runs(lines[i], line.Runs);
    widest = std::max(widest, line.Width);
    if (format & DT_RIGHT)
      line.X = CheckedSub(rect.Right, line.Width);
    else if (format & DT_CENTER)
      line.X = CheckedAdd(rect.Left, FloorDiv(CheckedSub(maxWidth, line.Width), 2));
    else
      line.X = rect.Left;
    line.Y = CheckedAdd(top, CheckedMul(static_cast<int>(i), lineHeight));
    for (TTextRun& r : line.Runs) r.X = CheckedAdd(r.X, line.X);
    out.Lines.push_back(std::move(line));
  }
  out.Result = (format & (DT_VCENTER | DT_BOTTOM)) ? CheckedAdd(top - rect.Top, out.TextHeight) : out.TextHeight;
  out.CalcRect = {rect.Left, rect.Top, CheckedAdd(rect.Left, widest), CheckedAdd(rect.Top, out.TextHeight)};
  return out;
}

}  // namespace zv
