#pragma once
// A table of hard texts for DrawText, drawn cell by cell onto a canvas, and a digest of each
// cell's pixels: ellipses at every width from 0 to 200, wrapped and placed blocks, the nine
// alignments, right-to-left and mixed runs, invalid UTF-8, prefixes and tabs. Both backends keep
// the digests of their output in golden/ so that any change to how text is laid out or drawn
// shows up cell by cell. ZV_UPDATE_GOLDENS=1 rewrites them (the one deliberate way to change them).

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zvtest {

struct TTextCell {
  std::string Label;
  std::string Text;
  int Width, Height;
  unsigned Format;
};

inline std::vector<TTextCell> HardTextCells() {
  using namespace zv;
  std::vector<TTextCell> cells;
  const unsigned line = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  const std::string ellipsed = "Ellipsis at every width: Ωμέγα 日本語 e\xCC\x81 end";
  for (int w = 0; w <= 200; ++w) cells.push_back({"end w=" + std::to_string(w), ellipsed, w, 16, line | DT_END_ELLIPSIS});
  for (int w = 0; w <= 200; w += 5)
    cells.push_back({"path w=" + std::to_string(w), "C:\\Program Files\\Zovrin\\grids\\layout.ini", w, 16, line | DT_PATH_ELLIPSIS});
  for (int w = 0; w <= 200; w += 5)
    cells.push_back({"word w=" + std::to_string(w), "Word ellipsis cuts words here", w, 16, line | DT_WORD_ELLIPSIS});
  for (int w = 0; w <= 100; w += 4)
    cells.push_back({"right w=" + std::to_string(w), "Right aligned with an ellipsis", w, 16, line | DT_RIGHT | DT_END_ELLIPSIS});

  const char* const horizontal[] = {"left", "center", "right"};
  const unsigned hflags[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  const char* const vertical[] = {"top", "vcenter", "bottom"};
  const unsigned vflags[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  for (int h = 0; h < 3; ++h)
    for (int v = 0; v < 3; ++v)
      cells.push_back({std::string("align ") + horizontal[h] + "/" + vertical[v], "Aligned", 200, 40,
                       DT_SINGLELINE | hflags[h] | vflags[v]});

  const std::string prose = "The quick brown fox jumps over the lazy dog; averyveryverylongwordthatfitsnowhere ok";
  for (int w : {0, 1, 30, 60, 97, 150, 200}) {
    const std::string ws = " w=" + std::to_string(w);
    cells.push_back({"wrap" + ws, prose, w, 48, DT_WORDBREAK | DT_NOPREFIX});
    cells.push_back({"wrap-edit" + ws, prose, w, 48, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_NOPREFIX});
    cells.push_back({"wrap-centre" + ws, prose, w, 48, DT_WORDBREAK | DT_CENTER | DT_NOPREFIX});
    cells.push_back({"wrap-placed" + ws, prose, w, 48, DT_WORDBREAK | DT_VCENTER | DT_PLACELINES | DT_NOPREFIX});
    cells.push_back({"wrap-bottom" + ws, "two\nlines", w, 48, DT_WORDBREAK | DT_BOTTOM | DT_PLACELINES | DT_RIGHT});
  }

  const struct {
    const char* label;
    const char* text;
  } hard[] = {
      {"hebrew", "abc \xD7\xA2\xD7\x91\xD7\xA8\xD7\x99\xD7\xAA 123 def"},
      {"arabic", "\xD9\x85\xD8\xB1\xD8\xAD\xD8\xA8\xD8\xA7 \xD8\xA8\xD8\xA7\xD9\x84\xD8\xB9\xD8\xA7\xD9\x84\xD9\x85"},
      {"mixed", "mixed \xD8\xA7\xD9\x84\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A\xD8\xA9 and English 42"},
      {"invalid", "ab\xFF\xFE" "cd"},
      {"invalid-lead", "\xC3(x\xE2\x82"},
      {"invalid-tail", "tail \xF0\x9F\x98"},
      {"overlong", "\xC0\xAF over \xED\xA0\x80 long"},
      {"emoji", "flags \xF0\x9F\x87\xA9\xF0\x9F\x87\xAA and \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"},
      {"combining", "a\xCC\x81\xCC\xA8 e\xCC\x81 o\xCC\x88"},
      {"prefix-tabs", "&File\tCtrl+O && more"},
  };
  for (const auto& t : hard) {
    const std::string l = t.label;
    cells.push_back({l, t.text, 200, 16, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS});
    cells.push_back({l + " right", t.text, 200, 16, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_EXPANDTABS});
    cells.push_back({l + " rtl", t.text, 200, 16, DT_SINGLELINE | DT_VCENTER | DT_RTLREADING | DT_RIGHT});
    for (int w : {0, 20, 45, 70})
      cells.push_back({l + " end w=" + std::to_string(w), t.text, w, 16, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS});
    cells.push_back({l + " wrap", t.text, 40, 48, DT_WORDBREAK | DT_EDITCONTROL});
  }
  return cells;
}

// Cells flow in columns of 210 pixels, each on its own band; returns every cell's rectangle.
inline constexpr int TextTableWidth = 5 * 210;

inline std::vector<zv::TRect> TextTableRects(const std::vector<TTextCell>& cells, int& height) {
  std::vector<zv::TRect> rects;
  int x = 0, y = 0, band = 0;
  for (const TTextCell& c : cells) {
    if (x + 210 > TextTableWidth) {
      x = 0;
      y += band + 2;
      band = 0;
    }
    rects.push_back({x + 4, y, x + 4 + c.Width, y + c.Height});
    band = std::max(band, c.Height);
    x += 210;
  }
  height = y + band;
  return rects;
}

// Draws every cell in black on white, the cell's own rectangle in pale yellow.
inline void DrawTextTable(zv::TCanvas& canvas, const std::vector<TTextCell>& cells, const std::vector<zv::TRect>& rects) {
  using namespace zv;
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(clWhite);
  canvas.FillRect({0, 0, 10000, 10000});
  canvas.Font()->SetColor(clBlack);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    canvas.Brush()->SetColor(RGB(255, 255, 224));
    canvas.FillRect(rects[i]);
    TRect r = rects[i];
    DrawText(canvas, cells[i].Text, r, cells[i].Format);
  }
}

// One line per cell: its label and the FNV-1a hash of its pixels (the cell's band, 210 wide).
inline std::string TextTableDigest(zv::TCanvas& canvas, const std::vector<TTextCell>& cells,
                                   const std::vector<zv::TRect>& rects) {
  std::ostringstream out;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const zv::TRect band{rects[i].Left - 4, rects[i].Top, rects[i].Left - 4 + 210, rects[i].Bottom};
    const zv::TPixelBuffer px = canvas.Handle().ReadPixels(band);
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < px.Height(); ++y)
      for (int x = 0; x < px.Width(); ++x) {
        const std::uint32_t p = px.At(x, y) & 0xFFFFFFu;
        for (int b = 0; b < 3; ++b) {
          h ^= (p >> (8 * b)) & 0xFF;
          h *= 1099511628211ull;
        }
      }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    out << cells[i].Label << ' ' << hex << '\n';
  }
  return out.str();
}

// Compares the digest with the golden file line by line, naming every cell that changed.
inline void ExpectTextTableGolden(const std::string& actual, const std::string& path) {
  if (std::getenv("ZV_UPDATE_GOLDENS")) {
    std::ofstream(path, std::ios::binary) << actual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "no golden " << path << " (ZV_UPDATE_GOLDENS=1 makes it)";
  std::stringstream golden;
  golden << in.rdbuf();
  std::istringstream a(actual), g(golden.str());
  std::string la, lg;
  int changed = 0;
  while (std::getline(g, lg)) {
    if (!std::getline(a, la)) la.clear();
    if (la != lg && ++changed <= 20) ADD_FAILURE() << "cell changed: golden `" << lg << "`, now `" << la << "`";
  }
  EXPECT_EQ(changed, 0);
  EXPECT_FALSE(std::getline(a, la)) << "more cells than the golden has";
}

}  // namespace zvtest
