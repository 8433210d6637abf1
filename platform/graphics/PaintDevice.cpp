#include "platform/graphics/PaintDevice.h"

#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/DrawTextWhole.h"
#include "platform/graphics/TextLayout.h"
#include "platform/graphics/TextLayoutCache.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>
#include <unordered_map>

namespace zv {

TPaintDevice::~TPaintDevice() = default;

// ---------------------------------------------------------------------------------------------
// State

int TPaintDevice::SelectClipRegion(const TRegion* region) {
  if (region)
    fState.Clip = *region;
  else
    fState.Clip.reset();
  ClipChanged();
  return fState.Clip ? fState.Clip->Complexity() : SIMPLEREGION;
}

int TPaintDevice::IntersectClipRect(const TRect& r) {
  if (!fState.Clip) fState.Clip = TRegion(DeviceBounds());
  fState.Clip->Intersect(r);
  ClipChanged();
  return fState.Clip->Complexity();
}

int TPaintDevice::ExcludeClipRect(const TRect& r) {
  if (!fState.Clip) fState.Clip = TRegion(DeviceBounds());
  fState.Clip->Subtract(r);
  ClipChanged();
  return fState.Clip->Complexity();
}

int TPaintDevice::SaveState() {
  fSaved.push_back(fState);
  return static_cast<int>(fSaved.size());
}

bool TPaintDevice::RestoreState(int level) {
  const int count = static_cast<int>(fSaved.size());
  if (level < 0) level = count + level + 1;
  if (level <= 0 || level > count) return false;
  fState = std::move(fSaved[static_cast<std::size_t>(level - 1)]);
  fSaved.resize(static_cast<std::size_t>(level - 1));
  ClipChanged();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Pixels and blits

TColor TPaintDevice::GetPixel(int x, int y) {
  if (!PtInRect(DeviceBounds(), {x, y})) return CLR_INVALID;
  return PixelToColor(ReadPixels({x, y, x + 1, y + 1}).At(0, 0));
}

void TPaintDevice::SetPixel(int x, int y, TColor color) {
  const TPixelBuffer one(1, 1, ColorToPixel(color));
  WritePixels({x, y, x + 1, y + 1}, one, {0, 0}, SRCCOPY, 0, false);
}

void TPaintDevice::InvertRect(const TRect& r) { WritePixels(r, TPixelBuffer(), {0, 0}, DSTINVERT, 0, false); }

void TPaintDevice::BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) {
  if (dst.IsEmpty()) return;
  if (!RopUsesSource(rop)) {
    WritePixels(dst, TPixelBuffer(), {0, 0}, rop, pattern, false);
    return;
  }
  if (!src) return;
  // Read first: src may be this device with an overlapping area.
  const TPixelBuffer pixels = src->ReadPixels(Bounds(srcPos.X, srcPos.Y, dst.Width(), dst.Height()));
  WritePixels(dst, pixels, {0, 0}, rop, pattern, false);
}

void TPaintDevice::StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop,
                              TColor pattern) {
  if (dst.IsEmpty() || srcRect.IsEmpty()) return;
  const TPixelBuffer pixels = src.ReadPixels(srcRect);
  const TPixelBuffer scaled = ScaleImage(pixels, pixels.BoundsRect(), dst.Width(), dst.Height());
  WritePixels(dst, scaled, {0, 0}, rop, pattern, false);
}

void TPaintDevice::DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect) {
  if (dst.IsEmpty() || srcRect.IsEmpty()) return;
  if (dst.Width() == srcRect.Width() && dst.Height() == srcRect.Height()) {
    WritePixels(dst, image, srcRect.TopLeft(), SRCCOPY, 0, true);
    return;
  }
  WritePixels(dst, ScaleImage(image, srcRect, dst.Width(), dst.Height()), {0, 0}, SRCCOPY, 0, true);
}

// ---------------------------------------------------------------------------------------------
// Frames and text

void TPaintDevice::FrameRect(const TRect& r, const TBrushData& brush) {
  if (r.IsEmpty()) return;
  FillRect({r.Left, r.Top, r.Right, r.Top + 1}, brush);
  if (r.Height() > 1) FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, brush);
  if (r.Height() > 2) {
    FillRect({r.Left, r.Top + 1, r.Left + 1, r.Bottom - 1}, brush);
    if (r.Width() > 1) FillRect({r.Right - 1, r.Top + 1, r.Right, r.Bottom - 1}, brush);
  }
}

void TPaintDevice::TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                            TColor background) {
  if (background != clNone) FillRect(r, {background, bsSolid});
  const int saved = SaveState();
  IntersectClipRect(r);
  TextOut(x, y, text, font, color, clNone);
  RestoreState(saved);
}

namespace {

// The run widths of the last text this thread laid out, with what they belong to.
constexpr std::size_t MeasuringMemoLimit = 4096;
struct TLastLayout {
  std::size_t Device = 0;
  std::uint64_t Generation = 0;
  TFontData Font;
  String Text;
  std::unordered_map<String, int> Widths;
};
TLastLayout& LastLayout() {
  thread_local TLastLayout last;
  return last;
}

// One line of one run holding all of the text: nothing was cut off or replaced by an ellipsis.
bool ShowsWhole(const TTextLayout& layout, std::string_view text) {
  if (text.empty()) return true;
  return layout.Lines.size() == 1 && layout.Lines[0].Runs.size() == 1 && layout.Lines[0].Runs[0].Text == text;
}

}  // namespace

int TPaintDevice::DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
                           TColor background) {
  const unsigned flags = (format & DT_TABSTOP) ? (format & ~0xFF00u) : format;
  // Laid out at the origin, so that the same text in the same size of rectangle anywhere (a
  // column's cells, a scrolled screen) is one layout.
  TTextLayoutCache& cache = TextLayoutCache();
  const bool cached = cache.Capacity() > 0;
  const std::size_t device = typeid(*this).hash_code();
  const unsigned layoutFormat = format & ~(DT_PLACELINES | DT_WHOLEONLY);
  const int width = r.Width();
  const int height = static_cast<int>(std::clamp<long long>(static_cast<long long>(r.Bottom) - r.Top, INT32_MIN, INT32_MAX));
  std::string key = cached ? TTextLayoutCache::LayoutKey(device, font, text, width, height, layoutFormat) : std::string();
  std::shared_ptr<const TTextLayout> layout = cached ? cache.FindLayout(key) : nullptr;
  if (!layout) {
    const TFontMetrics fm = FontMetrics(font);
    // Each run is measured once: the widths of the last text laid out are kept, so that a draw
    // right after the measuring (DT_CALCRECT) of the same text takes them too.
    TLastLayout& last = LastLayout();
    const bool memo = cached && text.size() <= MeasuringMemoLimit;
    if (memo && !(last.Device == device && last.Generation == cache.Generation() && last.Text == text && last.Font == font)) {
      last.Device = device;
      last.Generation = cache.Generation();
      last.Font = font;
      last.Text.assign(text);
      last.Widths.clear();
    }
    const TTextMeasure measure{[&](std::string_view s) {
                                 if (!memo) return TextWidth(font, s);
                                 const auto [it, added] = last.Widths.try_emplace(String(s), 0);
                                 if (added) it->second = TextWidth(font, s);
                                 return it->second;
                               },
                               fm.Height + ((flags & DT_EXTERNALLEADING) ? fm.ExternalLeading : 0), fm.AveCharWidth};
    layout = std::make_shared<const TTextLayout>(LayoutText(text, TRect{0, 0, width, height}, layoutFormat, measure));
    if (cached) cache.StoreLayout(std::move(key), layout);
  }
  const int dx = r.Left, dy = r.Top;
  if (flags & DT_CALCRECT) {
    r = layout->CalcRect;
    OffsetRect(r, dx, dy);
    return layout->Result;
  }
  if ((flags & DT_WHOLEONLY) && !ShowsWhole(*layout, text)) return DrawTextCut;
  TRect band = r;
  int placed = 0;
  if ((flags & DT_PLACELINES) && !(flags & DT_SINGLELINE) && (flags & (DT_VCENTER | DT_BOTTOM))) {
    const int h = std::min(layout->TextHeight, std::max(0, r.Height()));
    band.Top = (flags & DT_BOTTOM) ? r.Bottom - h : r.Top + (r.Bottom - r.Top - h) / 2;
    band.Bottom = band.Top + h;
    placed = band.Top - r.Top;
  }
  const bool clip = !(flags & DT_NOCLIP);
  const int saved = clip ? SaveState() : 0;
  if (clip) IntersectClipRect(band);
  TFontData underlined = font;
  underlined.Style.Include(fsUnderline);
  for (const TTextLine& line : layout->Lines) {
    const int y = CheckedAdd(CheckedAdd(line.Y, dy), placed);
    for (const TTextRun& run : line.Runs)
      TextOut(CheckedAdd(run.X, dx), y, run.Text, run.Underline ? underlined : font, color, background);
  }
  if (clip) RestoreState(saved);
  return layout->Result;
}

}  // namespace zv
