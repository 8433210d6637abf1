#include "platform/qt/QtBackend.h"

#include "platform/graphics/GraphicsConsts.h"
#include "platform/graphics/HashSlots.h"
#include "platform/graphics/TextLayoutCache.h"
#include "platform/graphics/detail/Raster.h"
#include "platform/qt/detail/QtEnvironment.h"
#include "platform/rtl/Format.h"

#include <QBrush>
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <QStaticText>
#include <QTextLayout>
#include <QTextOption>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <list>
#include <mutex>
#include <memory>
#include <unordered_map>

namespace zv::qt {

namespace {

QColor ToQColor(TColor rgb) { return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)); }
TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
QString ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Windows family names that forms carry, and the pinned face that stands in for them.
QString FamilyFor(const TFontData& font) {
  static const PinnedFonts pinned = LoadPinnedFonts();
  static const char* const mono[] = {"Courier New", "Courier", "Fixedsys", "Consolas", "Lucida Console", "Terminal"};
  const QString name = QString::fromUtf8(font.Name.c_str());
  for (const char* m : mono)
    if (name.compare(QLatin1String(m), Qt::CaseInsensitive) == 0) return QString::fromUtf8(pinned.Mono);
  if (!name.isEmpty() && QFontDatabase::hasFamily(name)) return name;
  return QString::fromUtf8(font.Pitch == fpFixed ? pinned.Mono : pinned.Sans);
}

struct TQtFont {
  QFont Font;
  int EmPixels = 11;
};

// QFonts by their data; fonts are few, metrics are asked for often.
const TQtFont& FontForKey(const TFontData& data) {
  static std::unordered_map<std::string, TQtFont> cache;
  const std::string key = data.Name + '|' + std::to_string(data.Height) + '|' + std::to_string(data.Style.Bits()) + '|' +
                          std::to_string(static_cast<int>(data.Pitch));
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  TQtFont f;
  f.Font = QFont(FamilyFor(data));
  f.Font.setHintingPreference(QFont::PreferNoHinting);
  f.Font.setStyleStrategy(QFont::NoSubpixelAntialias);
  f.Font.setBold(data.Style.Contains(fsBold));
  f.Font.setItalic(data.Style.Contains(fsItalic));
  f.Font.setUnderline(data.Style.Contains(fsUnderline));
  f.Font.setStrikeOut(data.Style.Contains(fsStrikeOut));
  const int height = data.Height == 0 ? DefaultFontHeight : data.Height;
  if (height < 0) {
    f.EmPixels = std::max(1, -std::max(height, -100000));
  } else {
    // A positive height is the cell height: scale the em size until the cell matches.
    f.Font.setPixelSize(std::min(height, 100000));
    const int cell = std::max(1, QFontMetrics(f.Font).height());
    f.EmPixels = std::max(1, static_cast<int>((static_cast<long long>(height) * height + cell / 2) / cell));
  }
  f.Font.setPixelSize(f.EmPixels);
  return cache.emplace(key, std::move(f)).first->second;
}

const TQtFont& FontFor(const TFontData& data) {
  // Most calls ask for the font of the call before (every cell of a column): that one is
  // recognised without building its key.
  static const TQtFont* last = nullptr;
  static TFontData lastData;
  if (last && data.Height == lastData.Height && data.Style == lastData.Style && data.Pitch == lastData.Pitch &&
      data.Name == lastData.Name)
    return *last;
  const TQtFont& found = FontForKey(data);
  last = &found;
  lastData = data;
  return found;
}

// Runs shaped once for measuring and drawing alike, by font and text, the least recently used
// dropped first: the width the layout asks for and the glyphs drawn come from one shaping. A run
// drawn often is drawn from glyphs placed once for all (a static text) from its third drawing on:
// placing them costs about a shaping, which a run drawn only twice (a number shown in two
// columns, a wrapped line's tail) would not earn back.
constexpr std::size_t ShapedTextLimit = 256;
constexpr std::size_t ShapedTextCount = 2048;
constexpr int StaticTextDraws = 3;
// Runs keep their glyphs, about a few dozen bytes a character: long runs are bounded by bytes
// (an estimate) before the count, so that thousands of long distinct texts stay a few MiB.
constexpr std::size_t ShapedBytesLimit = 4u << 20;
std::size_t RunBytes(std::string_view text) { return 512 + 32 * text.size(); }
std::atomic<std::size_t> KeptBytes{0};

struct TShapedRun {
  QTextLayout Layout;
  int Width = 0;
  qreal Ascent = 0;
};
// Shared: another thread's paint may drop the entry meanwhile.
struct TShaped {
  std::shared_ptr<const TShapedRun> Run;
  std::shared_ptr<const QStaticText> Placed;  // from the third drawing on
};

TShaped ShapedRun(const TQtFont& font, std::string_view text, bool drawing = false) {
  // The index is keyed by a hash, so that dropping the oldest run touches no text of its own;
  // a hit compares font and text, because texts come from the data.
  struct TEntry {
    std::uint64_t Hash = 0;
    std::uintptr_t Font = 0;
    std::string Text;
    TShaped Shaped;
    int Draws = 0;
    std::size_t Bytes = 0;
  };
  static std::list<TEntry> order;  // most recent first
  static std::size_t bytes = 0;  // of the entries in the index
  static THashSlots<std::list<TEntry>::iterator> index;  // by TEntry::Hash
  static std::uint64_t generation = 0;
  static std::mutex lock;
  const std::lock_guard guard(lock);
  // Emptied with the layout cache, so that what it forgot is shaped again here too.
  if (const std::uint64_t g = TextLayoutCache().Generation(); g != generation) {
    index.Clear();
    order.clear();
    bytes = 0;
    generation = g;
  }
  // Fonts live as long as the program, each at its own address.
  const auto address = reinterpret_cast<std::uintptr_t>(&font);
  const std::uint64_t hash = std::hash<std::string_view>{}(text) ^ (address * 0x9E3779B97F4A7C15ull);
  std::list<TEntry>::iterator* it = index.Find(hash);
  if (it && ((*it)->Font != address || (*it)->Text != text)) {
    // Another run of the same hash: the new one takes its place.
    bytes -= (*it)->Bytes;
    order.erase(*it);
    index.Erase(hash);
    it = nullptr;
  }
  if (it) {
    order.splice(order.begin(), order, *it);
    TEntry& entry = **it;
    if (drawing && ++entry.Draws == StaticTextDraws) {
      auto placed = std::make_shared<QStaticText>(entry.Shaped.Run->Layout.text());
      placed->setTextFormat(Qt::PlainText);
      placed->prepare(QTransform(), font.Font);
      entry.Shaped.Placed = std::move(placed);
    }
    return entry.Shaped;
  }
  // Once the cache is full the oldest run makes room: its entry, and its layout when nobody
  // else holds it, take the new text, so that scrolling through new texts mostly reuses memory
  // instead of freeing cold blocks and allocating new ones for each.
  std::shared_ptr<TShapedRun> run;
  if (order.size() >= ShapedTextCount) {
    const auto oldest = std::prev(order.end());
    index.Erase(oldest->Hash);
    bytes -= oldest->Bytes;
    order.splice(order.begin(), order, oldest);
    TEntry& reused = order.front();
    if (reused.Shaped.Run.use_count() == 1) run = std::const_pointer_cast<TShapedRun>(reused.Shaped.Run);
    reused.Shaped = {};
    reused.Hash = hash;
    reused.Font = address;
    reused.Text.assign(text);
    reused.Draws = drawing ? 1 : 0;
  } else {
    order.push_front({hash, address, std::string(text), {}, drawing ? 1 : 0});
  }
  // The front entry is not indexed yet: a shaping that throws takes it away again.
  struct TUnindexed {
    std::list<TEntry>& Order;
    bool Indexed = false;
    ~TUnindexed() {
      if (!Indexed) Order.pop_front();
    }
  } front{order};
  if (!run) {
    run = std::make_shared<TShapedRun>();
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    run->Layout.setTextOption(option);
    // Without this, ending the layout throws its glyphs away and every draw of the run shapes it
    // again: the width measured and the glyphs drawn would cost two shapings.
    run->Layout.setCacheEnabled(true);
  }
  run->Layout.setText(ToQString(text));
  run->Layout.setFont(font.Font);
  run->Layout.beginLayout();
  QTextLine line = run->Layout.createLine();
  run->Layout.endLayout();
  run->Width = line.isValid() ? qRound(line.horizontalAdvance()) : 0;
  run->Ascent = line.isValid() ? line.ascent() : 0;
  order.front().Shaped.Run = std::move(run);
  order.front().Bytes = RunBytes(text);
  index.Set(hash, order.begin());
  front.Indexed = true;
  bytes += order.front().Bytes;
  while (bytes > ShapedBytesLimit && order.size() > 1) {
    index.Erase(order.back().Hash);
    bytes -= order.back().Bytes;
    order.pop_back();
  }
  KeptBytes.store(bytes, std::memory_order_relaxed);
  return order.front().Shaped;
}

// Short plain runs; control characters (a tab or a break left in a run) keep the plain path.
bool KeepsShapes(const TFontData& font, std::string_view text) {
  if (font.Orientation != 0 || text.empty() || text.size() > ShapedTextLimit || TextLayoutCache().Capacity() == 0)
    return false;
  return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

class TQtSurface : public TPaintDevice {
public:
  TQtSurface(int width, int height) : fStore(width, height, QImage::Format_RGB32) {
    if (width > 0 && height > 0 && fStore.isNull()) throw EOutOfResources(SOutOfResources);
    fStore.fill(Qt::black);
    View(width, height);
  }

  const QImage& Image() const { return fImage; }

  int Width() const override { return fImage.width(); }
  int Height() const override { return fImage.height(); }

  // The pixels live in a store kept at the largest size asked for: a surface sized down and up
  // again (a window resized every frame, a smaller paint) allocates and copies nothing. The
  // store is given back only when the surface shrinks to less than a quarter of it.
  void Resize(int width, int height) override {
    const int oldW = fImage.width(), oldH = fImage.height();
    const long long area = static_cast<long long>(width) * height;
    const bool fits = width <= fStore.width() && height <= fStore.height() &&
                      area * 4 >= static_cast<long long>(fStore.width()) * fStore.height();
    if (fits) {
      // A copy of the image taken and drawn on may have left the store: its pixels come back.
      if (!fImage.isNull() && fImage.constBits() != fStore.constBits()) CopyRows(fImage, fStore, oldW, oldH);
    } else {
      const int w = area * 4 < static_cast<long long>(fStore.width()) * fStore.height() ? width : std::max(width, fStore.width());
      const int h = area * 4 < static_cast<long long>(fStore.width()) * fStore.height() ? height : std::max(height, fStore.height());
      QImage store(w, h, QImage::Format_RGB32);
      if (w > 0 && h > 0 && store.isNull()) throw EOutOfResources(SOutOfResources);
      store.fill(Qt::black);
      if (!fImage.isNull() && !store.isNull()) CopyRows(fImage, store, std::min(oldW, width), std::min(oldH, height));
      fStore = std::move(store);
    }
    // New pixels are black, whatever an earlier, larger size left in the store.
    if (!fStore.isNull()) {
      const int keepW = std::min(oldW, width), keepH = std::min(oldH, height);
      for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(fStore.scanLine(y));
        std::fill(row + (y < keepH ? keepW : 0), row + width, 0xFF000000u);
      }
    }
    View(width, height);
  }

  void FillRect(const TRect& r, const TBrushData& brush) override {
    if (brush.Style == bsClear || fImage.isNull() || r.IsEmpty()) return;
    // Every cell's background comes this way: opaque spans written straight into the pixels
    // cost less than a painter begun, clipped and ended for each.
    Raster().FillRect(r, {ColorToPixel(brush.Color), brush.Style});
  }

  void Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) override {
    if (fImage.isNull()) return;
    Raster().Polyline(points, RasterPen(pen, background));
  }

  void Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush,
               TColor background) override {
    if (fImage.isNull() || points.empty()) return;
    if (!Plain(pen, brush)) return Raster().Polygon(points, RasterPen(pen, background), {ColorToPixel(brush.Color), brush.Style});
    QPolygon polygon;
    for (TPoint pt : points) polygon << QPoint(pt.X, pt.Y);
    QPainter p(&fImage);
    Prepare(p);
    SetPenAndBrush(p, pen, brush);
    p.drawPolygon(polygon, Qt::OddEvenFill);
  }

  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) override {
    if (fImage.isNull() || r.IsEmpty()) return;
    if (!Plain(pen, brush) || pen.Width > 1)
      return Raster().Rectangle(r, RasterPen(pen, background), {ColorToPixel(brush.Color), brush.Style});
    QPainter p(&fImage);
    Prepare(p);
    const bool outlined = pen.Style != psClear;
    const TRect inner = outlined ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1} : r;
    if (brush.Style == bsSolid && !inner.IsEmpty()) p.fillRect(ToQRect(inner), ToQColor(brush.Color));
    if (outlined) {
      const QColor c = ToQColor(pen.Color);
      p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), c);
      p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), c);
      p.fillRect(QRect(r.Left, r.Top, 1, r.Height()), c);
      p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), c);
    }
  }

  void Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) override {
    if (fImage.isNull() || r.IsEmpty()) return;
    if (!Plain(pen, brush)) return Raster().Ellipse(r, RasterPen(pen, clNone), {ColorToPixel(brush.Color), brush.Style});
    QPainter p(&fImage);
    Prepare(p);
    SetPenAndBrush(p, pen, brush);
    if (pen.Style == psClear)
      p.drawEllipse(ToQRect(r));
    else
      p.drawEllipse(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
  }

  void TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color, TColor background) override {
    if (fImage.isNull()) return;
    const TQtFont& f = FontFor(font);
    const QString s = ToQString(text);
    const QFontMetrics fm(f.Font);
    QPainter p(&fImage);
    Prepare(p);
    if (font.Orientation != 0) {
      p.translate(x, y);
      p.rotate(-font.Orientation / 10.0);
      x = y = 0;
    }
    if (background != clNone) p.fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(background));
    p.setFont(f.Font);
    p.setPen(ToQColor(color));
    if (KeepsShapes(font, text)) {
      const TShaped shaped = ShapedRun(f, text, true);
      if (shaped.Placed)
        p.drawStaticText(QPointF(x, y + fm.ascent() - QFontMetricsF(f.Font).ascent()), *shaped.Placed);
      else
        shaped.Run->Layout.draw(&p, QPointF(x, y + fm.ascent() - shaped.Run->Ascent));
      return;
    }
    p.drawText(QPoint(x, y + fm.ascent()), s);
  }

  TFontMetrics FontMetrics(const TFontData& font) override {
    const TQtFont& f = FontFor(font);
    const QFontMetrics fm(f.Font);
    TFontMetrics m;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - f.EmPixels);
    m.ExternalLeading = std::max(0, fm.leading());
    m.AveCharWidth = fm.averageCharWidth();
    m.MaxCharWidth = fm.maxWidth();
    return m;
  }

  int TextWidth(const TFontData& font, std::string_view text) override {
    if (KeepsShapes(font, text)) return ShapedRun(FontFor(font), text).Run->Width;
    return QFontMetrics(FontFor(font).Font).horizontalAdvance(ToQString(text));
  }

  TPixelBuffer ReadPixels(const TRect& r) override { return TRaster(View(), nullptr).Read(r); }

  void WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop, TColor pattern,
                   bool blendAlpha) override {
    if (fImage.isNull()) return;
    Raster().Blit(dst, src, srcPos, rop, ColorToPixel(pattern), blendAlpha);
  }

  // Another surface's pixels straight across, without the intermediate buffer of a read and a
  // write: the off-screen picture of every buffered paint comes this way.
  void BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) override {
    auto* surface = dynamic_cast<TQtSurface*>(src);
    if (rop != SRCCOPY || !surface || surface == this || fImage.isNull() || dst.IsEmpty())
      return TPaintDevice::BitBlt(dst, src, srcPos, rop, pattern);
    const TPixelView from = surface->View();
    Raster().Copy(dst, from.Bits, from.Width, from.Height, from.Stride, srcPos);
  }

protected:
  // A clip set and restored around one drawing (every cell's text) is converted once, when a
  // painter first needs it, not at each change.
  void ClipChanged() override { fClipStale = true; }

private:
  // RGB32 pixels are 0xffRRGGBB words, the layout of TPixel.
  TPixelView View() {
    if (fImage.isNull()) return {};
    return {reinterpret_cast<TPixel*>(fImage.bits()), fImage.width(), fImage.height(), fImage.bytesPerLine() / 4};
  }
  TRaster Raster() { return TRaster(View(), ClipRegion()); }

  void Prepare(QPainter& p) const {
    p.setRenderHint(QPainter::Antialiasing, false);
    const TRegion* clip = ClipRegion();
    if (!clip) return;
    if (fClipStale) {
      fClip = QRegion();
      for (const TRect& r : clip->Rects()) fClip += ToQRect(r);
      fClipStale = false;
    }
    p.setClipRegion(fClip);
  }

  // What QPainter draws like the host: copy mode, solid or no outline, solid or no fill.
  static bool Plain(const TPenData& pen, const TBrushData& brush) {
    return pen.Mode == pmCopy && (pen.Style == psSolid || pen.Style == psInsideFrame || pen.Style == psClear) &&
           (brush.Style == bsSolid || brush.Style == bsClear);
  }

  static void SetPenAndBrush(QPainter& p, const TPenData& pen, const TBrushData& brush) {
    if (pen.Style == psClear) {
      p.setPen(Qt::NoPen);
    } else {
      QPen qpen(ToQColor(pen.Color));
      qpen.setWidth(pen.Width <= 1 ? 0 : pen.Width);
      qpen.setCapStyle(Qt::RoundCap);
      qpen.setJoinStyle(Qt::RoundJoin);
      p.setPen(qpen);
    }
    p.setBrush(brush.Style == bsSolid ? QBrush(ToQColor(brush.Color)) : QBrush(Qt::NoBrush));
  }

  static TRasterPen RasterPen(const TPenData& pen, TColor background) {
    TRasterPen p;
    p.Color = ColorToPixel(pen.Color);
    p.Width = pen.Width;
    p.Style = pen.Style;
    p.Rop2 = PenModeToRop2(pen.Mode);
    if (background != clNone) p.GapColor = ColorToPixel(background);
    return p;
  }

  void View(int width, int height) {
    if (width <= 0 || height <= 0 || fStore.isNull())
      fImage = QImage();
    else
      fImage = QImage(fStore.bits(), width, height, fStore.bytesPerLine(), QImage::Format_RGB32);
  }

  static void CopyRows(const QImage& from, QImage& to, int width, int height) {
    width = std::min({width, from.width(), to.width()});
    height = std::min({height, from.height(), to.height()});
    if (width <= 0) return;
    for (int y = 0; y < height; ++y)
      std::memcpy(to.scanLine(y), from.constScanLine(y), static_cast<std::size_t>(width) * 4);
  }

  QImage fStore;  // the pixels; fImage shows its top left
  QImage fImage;
  mutable QRegion fClip;
  mutable bool fClipStale = false;
};

const char* QtFormat(TImageFormat format) {
  switch (format) {
    case TImageFormat::Png: return "PNG";
    case TImageFormat::Jpeg: return "JPEG";
    case TImageFormat::Gif: return "GIF";
    case TImageFormat::Bmp: return "BMP";
  }
  return "";
}

}  // namespace

TQtBackend::TQtBackend(bool nativePalette) : fNativePalette(nativePalette) { LoadPinnedFonts(); }

std::unique_ptr<TPaintDevice> TQtBackend::CreateSurface(int width, int height) {
  if (width < 0 || height < 0) throw EInvalidGraphicOperation(SInvalidImageSize);
  return std::make_unique<TQtSurface>(width, height);
}

// Every colour a window paints with comes from the one palette, so that no part of a window
// (a scroll bar's track, a border, a menu bar) keeps the fixed palette's beige among the
// desktop's colours. Colours the fixed palette gives the same value share a role here too, and a
// caption's gradient ends in its caption's colour. Only the desktop's own background stays
// fixed: no window paints it.
TColor TQtBackend::SysColor(int index) const {
  if (!fNativePalette || !qGuiApp) return TGraphicsBackend::SysColor(index);
  const QPalette pal = QGuiApplication::palette();
  switch (index) {
    case COLOR_WINDOW: return FromQColor(pal.color(QPalette::Base));
    case COLOR_WINDOWTEXT:
    case COLOR_WINDOWFRAME: return FromQColor(pal.color(QPalette::Text));
    case COLOR_BTNFACE:
    case COLOR_MENU:
    case COLOR_MENUBAR:
    case COLOR_SCROLLBAR:
    case COLOR_ACTIVEBORDER:
    case COLOR_INACTIVEBORDER:
    case COLOR_INACTIVECAPTIONTEXT:
    case COLOR_3DLIGHT: return FromQColor(pal.color(QPalette::Button));
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT: return FromQColor(pal.color(QPalette::ButtonText));
    case COLOR_BTNHIGHLIGHT: return FromQColor(pal.color(QPalette::Light));
    case COLOR_BTNSHADOW:
    case COLOR_INACTIVECAPTION:
    case COLOR_GRADIENTINACTIVECAPTION:
    case COLOR_APPWORKSPACE: return FromQColor(pal.color(QPalette::Mid));
    case COLOR_3DDKSHADOW: return FromQColor(pal.color(QPalette::Shadow));
    case COLOR_HIGHLIGHT:
    case COLOR_ACTIVECAPTION:
    case COLOR_GRADIENTACTIVECAPTION:
    case COLOR_MENUHILIGHT: return FromQColor(pal.color(QPalette::Highlight));
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_CAPTIONTEXT: return FromQColor(pal.color(QPalette::HighlightedText));
    case COLOR_GRAYTEXT: return FromQColor(pal.color(QPalette::Disabled, QPalette::Text));
    case COLOR_INFOBK: return FromQColor(pal.color(QPalette::ToolTipBase));
    case COLOR_INFOTEXT: return FromQColor(pal.color(QPalette::ToolTipText));
    case COLOR_HOTLIGHT: return FromQColor(pal.color(QPalette::Link));
    default: return TGraphicsBackend::SysColor(index);
  }
}

bool TQtBackend::CanDecode(TImageFormat) const { return true; }
bool TQtBackend::CanEncode(TImageFormat format) const { return format != TImageFormat::Gif; }

TPixelBuffer TQtBackend::DecodeImage(std::span<const std::uint8_t> data, TImageFormat format) {
  if (format == TImageFormat::Bmp) return TGraphicsBackend::DecodeImage(data, format);
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                   static_cast<qsizetype>(data.size()));
  QImage image = QImage::fromData(bytes, QtFormat(format));
  if (image.isNull()) throw EInvalidGraphic(Format(SInvalidImageData, {ImageFormatName(format), "cannot be decoded"}));
  image = image.convertToFormat(QImage::Format_ARGB32);
  TPixelBuffer out(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    std::copy(row, row + image.width(), out.Row(y).begin());
  }
  return out;
}

std::vector<std::uint8_t> TQtBackend::EncodeImage(const TPixelBuffer& pixels, TImageFormat format, int quality) {
  if (format == TImageFormat::Bmp) return TGraphicsBackend::EncodeImage(pixels, format, quality);
  if (!CanEncode(format)) Unsupported("write", format);
  QImage image(pixels.Width(), pixels.Height(), QImage::Format_ARGB32);
  if (image.isNull() && !pixels.Empty()) throw EOutOfResources(SOutOfResources);
  for (int y = 0; y < pixels.Height(); ++y) {
    auto row = pixels.Row(y);
    std::copy(row.begin(), row.end(), reinterpret_cast<QRgb*>(image.scanLine(y)));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, QtFormat(format), format == TImageFormat::Jpeg ? std::clamp(quality, 1, 100) : -1))
    throw EInvalidGraphic(Format(SInvalidImageData, {ImageFormatName(format), "cannot be encoded"}));
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::unique_ptr<TGraphicsBackend> CreateQtBackend(bool nativePalette) {
  return std::make_unique<TQtBackend>(nativePalette);
}

std::size_t KeptRunBytes() { return KeptBytes.load(std::memory_order_relaxed); }

const QImage* SurfaceImage(const TPaintDevice& device) {
  auto* s = dynamic_cast<const TQtSurface*>(&device);
  return s ? &s->Image() : nullptr;
}

}  // namespace zv::qt
