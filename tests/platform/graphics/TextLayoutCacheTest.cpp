// Laid-out texts kept between paints: what is measured, what is kept, and what the bound allows.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/HashSlots.h"
#include "platform/graphics/TextLayoutCache.h"
#include "platform/null/NullBackend.h"

#include <gtest/gtest.h>

#include <map>

using namespace zv;

namespace {

// Counts the measuring of each run.
class TCountingSurface : public TNullSurface {
public:
  using TNullSurface::TNullSurface;
  int TextWidth(const TFontData& font, std::string_view text) override {
    ++Measured[String(text)];
    return TNullSurface::TextWidth(font, text);
  }
  int Total() const {
    int n = 0;
    for (const auto& [text, count] : Measured) n += count;
    return n;
  }
  std::map<String, int> Measured;
};

class TextLayoutCacheTest : public ::testing::Test {
protected:
  void SetUp() override {
    fPrevious = SetGraphicsBackend(CreateNullBackend());  // starts from an empty cache
    TextLayoutCache().ResetCounters();
    canvas.Brush()->SetStyle(bsClear);
  }
  void TearDown() override {
    TextLayoutCache().SetCapacity(TTextLayoutCache::DefaultCapacity);
    SetGraphicsBackend(std::move(fPrevious));
  }
  // The drawn runs as text@x,y.
  std::vector<String> Draw(std::string_view text, TRect r, unsigned format) {
    surface.ClearOps();
    DrawText(canvas, text, r, format);
    std::vector<String> runs;
    for (const TPaintOp& op : surface.OpsOf(TPaintOpKind::TextOut))
      runs.push_back(op.Text + "@" + std::to_string(op.Rect.Left) + "," + std::to_string(op.Rect.Top));
    return runs;
  }

  TCountingSurface surface{400, 200};
  TCanvas canvas{&surface};

private:
  std::unique_ptr<TGraphicsBackend> fPrevious;
};

}  // namespace

TEST_F(TextLayoutCacheTest, ARepaintMeasuresNothingAndMovedCellsReuseTheirLayout) {
  const struct {
    const char* text;
    TRect rect;
    unsigned format;
  } cells[] = {
      {"A cell text that is cut short", Rect(0, 0, 60, 16), DT_SINGLELINE | DT_END_ELLIPSIS | DT_VCENTER},
      {"Wrapped over several lines of a cell", Rect(0, 20, 70, 80), DT_WORDBREAK | DT_PLACELINES | DT_VCENTER},
      {"C:\\dir\\sub\\file.txt", Rect(0, 90, 80, 106), DT_SINGLELINE | DT_PATH_ELLIPSIS},
      {"&Prefix\tand tab", Rect(100, 0, 300, 16), DT_SINGLELINE | DT_EXPANDTABS | DT_RIGHT},
  };
  for (const auto& c : cells) {
    surface.Measured.clear();
    const std::vector<String> first = Draw(c.text, c.rect, c.format);
    EXPECT_GT(surface.Total(), 0) << c.text;
    for (const auto& [run, count] : surface.Measured) EXPECT_EQ(count, 1) << c.text << ": \"" << run << "\" measured again";
    surface.Measured.clear();
    EXPECT_EQ(Draw(c.text, c.rect, c.format), first) << c.text;
    // The same size of rectangle elsewhere (the next row, a scrolled screen) draws the same runs, moved.
    TRect moved = c.rect;
    OffsetRect(moved, 7, 33);
    const std::vector<String> shifted = Draw(c.text, moved, c.format);
    ASSERT_EQ(shifted.size(), first.size()) << c.text;
    EXPECT_EQ(surface.Total(), 0) << c.text << ": measured on a repaint";
  }
  const TTextCacheStats s = TextLayoutCache().Stats();
  EXPECT_EQ(s.LayoutMisses, std::size(cells));
  EXPECT_EQ(s.LayoutHits, 2 * std::size(cells));
}

TEST_F(TextLayoutCacheTest, MeasuringBeforeDrawingMeasuresEachRunOnce) {
  for (const unsigned format : {DT_WORDBREAK | DT_NOPREFIX, DT_SINGLELINE | DT_END_ELLIPSIS, DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS}) {
    surface.Measured.clear();
    TRect calc = Rect(0, 0, 50, 30);
    DrawText(canvas, "Measured first, then drawn into the same rectangle", calc, format | DT_CALCRECT);
    Draw("Measured first, then drawn into the same rectangle", Rect(0, 0, 50, 30), format);
    for (const auto& [run, count] : surface.Measured) EXPECT_EQ(count, 1) << format << ": \"" << run << "\"";
  }
}

TEST_F(TextLayoutCacheTest, AChangedFontIsLaidOutAfresh) {
  const std::vector<String> plain = Draw("Bold is wider", Rect(0, 0, 200, 16), DT_SINGLELINE | DT_RIGHT);
  canvas.Font()->SetStyle({fsBold});
  surface.Measured.clear();
  const std::vector<String> bold = Draw("Bold is wider", Rect(0, 0, 200, 16), DT_SINGLELINE | DT_RIGHT);
  EXPECT_GT(surface.Total(), 0);
  EXPECT_NE(bold, plain);  // right-aligned by the bold width
  canvas.Font()->SetStyle({});
  EXPECT_EQ(Draw("Bold is wider", Rect(0, 0, 200, 16), DT_SINGLELINE | DT_RIGHT), plain);
}

TEST_F(TextLayoutCacheTest, TheBoundHoldsForManyTextsAndHugeOnes) {
  TTextLayoutCache& cache = TextLayoutCache();
  cache.SetCapacity(64 * 1024);
  for (int i = 0; i < 3000; ++i) Draw("distinct text number " + std::to_string(i), Rect(0, 0, 80, 16), DT_SINGLELINE | DT_END_ELLIPSIS);
  TTextCacheStats s = cache.Stats();
  EXPECT_LE(s.Bytes, 64u * 1024);
  EXPECT_GT(s.Evictions, 0u);
  // The most recent texts are still there.
  cache.ResetCounters();
  Draw("distinct text number 2999", Rect(0, 0, 80, 16), DT_SINGLELINE | DT_END_ELLIPSIS);
  EXPECT_EQ(cache.Stats().LayoutHits, 1u);

  // A huge cell: what the rectangle shows is kept, never the string; without an ellipsis the
  // whole run is the layout, too big to keep.
  cache.Clear();
  const String huge(256u << 10, 'x');
  EXPECT_EQ(Draw(huge, Rect(0, 0, 60, 16), DT_SINGLELINE | DT_END_ELLIPSIS), std::vector<String>{"xxxxxxx...@0,0"});
  EXPECT_LT(cache.Stats().Bytes, 1024u);
  cache.ResetCounters();
  EXPECT_EQ(Draw(huge, Rect(0, 0, 60, 16), DT_SINGLELINE | DT_END_ELLIPSIS), std::vector<String>{"xxxxxxx...@0,0"});
  EXPECT_EQ(cache.Stats().LayoutHits, 1u);
  Draw(huge, Rect(0, 0, 60, 16), DT_SINGLELINE);
  EXPECT_LE(cache.Stats().Bytes, 64u * 1024);
}

// The caches' index against a map doing the same: hashes from a small pool (long probe chains,
// erases inside them, hash 0) and a table that grows and is cleared.
TEST(HashSlots, FindsWhatAMapFindsThroughSetsErasesAndGrowth) {
  THashSlots<int> slots;
  std::map<std::uint64_t, int> model;
  std::uint64_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return seed >> 33;
  };
  const std::uint64_t pool[] = {0, 2, 3, 16, 17, 32, 48, 0x9E3779B97F4A7C15ull, ~0ull, 1ull << 63, 1ull << 60, 7};
  for (int round = 0; round < 3; ++round) {
    for (int step = 0; step < 4000; ++step) {
      const std::uint64_t hash = step % 3 == 0 ? pool[next() % std::size(pool)] : next() % (64u << round);
      const std::uint64_t key = hash ? hash : 1;  // 0 and 1 share a slot
      if (next() % 3 == 0) {
        ASSERT_EQ(slots.Erase(hash), model.erase(key) == 1) << round << ":" << step;
      } else {
        slots.Set(hash, step);
        model[key] = step;
      }
      ASSERT_EQ(slots.Size(), model.size());
    }
    for (std::uint64_t h = 0; h < (64u << round); ++h) {
      const int* found = slots.Find(h);
      const auto it = model.find(h ? h : 1);
      ASSERT_EQ(found != nullptr, it != model.end()) << h;
      if (found) {
        EXPECT_EQ(*found, it->second) << h;
      }
    }
    for (const auto& [hash, value] : model) ASSERT_TRUE(slots.Find(hash) && *slots.Find(hash) == value) << hash;
    if (round == 1) {
      slots.Clear();
      model.clear();
      EXPECT_EQ(slots.Find(5), nullptr);
    }
  }
}
