#include "platform/graphics/Canvas.h"

#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsConsts.h"

#include <vector>

namespace zv {

ZV_DEFINE_CLASS(TCanvas, TPersistent)

TCanvas::TCanvas() : fFont(std::make_unique<TFont>()), fPen(std::make_unique<TPen>()), fBrush(std::make_unique<TBrush>()) {}

TCanvas::TCanvas(TPaintDevice* device) : TCanvas() { fDevice = device; }

TCanvas::~TCanvas() = default;

TPaintDevice& TCanvas::Handle() {
  if (!fDevice) CreateHandle();
  if (!fDevice) throw EInvalidOperation(SNoCanvasHandle);
  return *fDevice;
}

void TCanvas::SetHandle(TPaintDevice* device) { fDevice = device; }

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TRect TCanvas::ToDevice(const TRect& r) {
  TRect d = r;
  const TPoint o = Handle().Origin();
  OffsetRect(d, o.X, o.Y);
  return d;
}

TPoint TCanvas::ToDevice(TPoint p) {
  const TPoint o = Handle().Origin();
  return {CheckedAdd(p.X, o.X), CheckedAdd(p.Y, o.Y)};
}

TPenData TCanvas::DevicePen() const {
  TPenData p = fPen->Data();
  if (p.Color == clNone) p.Style = psClear;
  p.Color = p.Color == clNone ? clBlack : ColorToRGB(p.Color);
  return p;
}

TBrushData TCanvas::DeviceBrush() const {
  TBrushData b = fBrush->Data();
  if (b.Color == clNone) b.Style = bsClear;
  b.Color = b.Color == clNone ? clWhite : ColorToRGB(b.Color);
  return b;
}

TColor TCanvas::DeviceTextColor() const { return ColorToRGB(fFont->Color() == clNone ? clWindowText : fFont->Color()); }

TColor TCanvas::DeviceBackground() const {
  const TBrushData b = DeviceBrush();
  return b.Style == bsClear ? clNone : b.Color;
}

TRect TCanvas::ClipRect() {
  TPaintDevice& d = Handle();
  TRect r = d.ClipRegion() ? d.ClipRegion()->Bounds() : TRect{0, 0, d.Width(), d.Height()};
  OffsetRect(r, -d.Origin().X, -d.Origin().Y);
  return r;
}

TColor TCanvas::Pixels(int x, int y) {
  const TPoint p = ToDevice(TPoint{x, y});
  return Handle().GetPixel(p.X, p.Y);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Changing();
  const TPoint p = ToDevice(TPoint{x, y});
  Handle().SetPixel(p.X, p.Y, ColorToRGB(color));
  Changed();
}

void TCanvas::MoveTo(int x, int y) { fPenPos = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  Changing();
  const TPoint line[] = {ToDevice(fPenPos), ToDevice(TPoint{x, y})};
  Handle().Polyline(line, DevicePen(), DeviceBackground());
  fPenPos = {x, y};
  Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  Changing();
  std::vector<TPoint> d;
  d.reserve(points.size());
  for (TPoint p : points) d.push_back(ToDevice(p));
  Handle().Polyline(d, DevicePen(), DeviceBackground());
  Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  Changing();
  std::vector<TPoint> d;
  d.reserve(points.size());
  for (TPoint p : points) d.push_back(ToDevice(p));
  Handle().Polygon(d, DevicePen(), DeviceBrush(), DeviceBackground());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  TRect r = ToDevice(TRect{left, top, right, bottom});
  const TPenData pen = DevicePen();
  if (pen.Style == psClear) {
    --r.Right;
    --r.Bottom;
  }
  Handle().Rectangle(r, pen, DeviceBrush(), DeviceBackground());
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  Handle().Ellipse(ToDevice(TRect{left, top, right, bottom}), DevicePen(), DeviceBrush());
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  Handle().FillRect(ToDevice(r), DeviceBrush());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  TBrushData b = DeviceBrush();
  b.Style = bsSolid;
  Handle().FrameRect(ToDevice(r), b);
  Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  Changing();
  const TPoint p = ToDevice(TPoint{x, y});
  Handle().TextOut(p.X, p.Y, text, fFont->Data(), DeviceTextColor(), DeviceBackground());
  fPenPos = {CheckedAdd(x, TextWidth(text)), y};
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
  Changing();
  const TPoint p = ToDevice(TPoint{x, y});
  Handle().TextRect(ToDevice(r), p.X, p.Y, text, fFont->Data(), DeviceTextColor(), DeviceBackground());
  Changed();
}

TSize TCanvas::TextExtent(std::string_view text) {
  TPaintDevice& d = Handle();
  return {d.TextWidth(fFont->Data(), text), d.FontMetrics(fFont->Data()).Height};
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  graphic->Draw(*this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas) return;
  Changing();
  const TRect s = canvas->ToDevice(source);
  const TRect d = ToDevice(dest);
  if (d.Width() == s.Width() && d.Height() == s.Height())
    Handle().BitBlt(d, &canvas->Handle(), s.TopLeft(), fCopyMode, DeviceBrush().Color);
  else
    Handle().StretchBlt(d, canvas->Handle(), s, fCopyMode, DeviceBrush().Color);
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  Handle().DrawFocusRect(ToDevice(r));
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Windows-level routines

int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format) {
  TPaintDevice& d = canvas.Handle();
  TRect r = canvas.ToDevice(rect);
  const int height = d.DrawText(text, r, format, canvas.Font()->Data(), canvas.DeviceTextColor(), canvas.DeviceBackground());
  const unsigned flags = (format & DT_TABSTOP) ? (format & ~0xFF00u) : format;
  if (flags & DT_CALCRECT) {
    OffsetRect(r, -d.Origin().X, -d.Origin().Y);
    rect = r;
  }
  return height;
}

bool DrawEdge(TCanvas& canvas, TRect& rect, unsigned edge, unsigned flags) {
  TPaintDevice& d = canvas.Handle();
  TRect r = canvas.ToDevice(rect);
  const bool ok = d.DrawEdge(r, edge, flags);
  if (flags & BF_ADJUST) {
    OffsetRect(r, -d.Origin().X, -d.Origin().Y);
    rect = r;
  }
  return ok;
}

bool DrawFrameControl(TCanvas& canvas, TRect& rect, unsigned type, unsigned state) {
  TPaintDevice& d = canvas.Handle();
  TRect r = canvas.ToDevice(rect);
  const bool ok = d.DrawFrameControl(r, type, state);
  if (state & DFCS_ADJUSTRECT) {
    OffsetRect(r, -d.Origin().X, -d.Origin().Y);
    rect = r;
  }
  return ok;
}

bool DrawFocusRect(TCanvas& canvas, const TRect& rect) {
  canvas.Handle().DrawFocusRect(canvas.ToDevice(rect));
  return true;
}

bool InvertRect(TCanvas& canvas, const TRect& rect) {
  canvas.Handle().InvertRect(canvas.ToDevice(rect));
  return true;
}

bool FillRect(TCanvas& canvas, const TRect& rect, TColor color) {
  canvas.Handle().FillRect(canvas.ToDevice(rect), {ColorToRGB(color), bsSolid});
  return true;
}

bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int xSrc, int ySrc,
            std::uint32_t rop) {
  const TRect d = dest.ToDevice(Bounds(x, y, width, height));
  TPaintDevice* src = nullptr;
  TPoint s{xSrc, ySrc};
  if (source && RopUsesSource(rop)) {
    src = &source->Handle();
    s = source->ToDevice(s);
  } else if (RopUsesSource(rop)) {
    return false;
  }
  dest.Handle().BitBlt(d, src, s, rop, dest.DeviceBrush().Color);
  return true;
}

bool PatBlt(TCanvas& dest, int x, int y, int width, int height, std::uint32_t rop) {
  if (RopUsesSource(rop)) return false;
  return BitBlt(dest, x, y, width, height, nullptr, 0, 0, rop);
}

bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas& source, int xSrc, int ySrc,
                int widthSrc, int heightSrc, std::uint32_t rop) {
  dest.Handle().StretchBlt(dest.ToDevice(Bounds(x, y, width, height)), source.Handle(),
                           source.ToDevice(Bounds(xSrc, ySrc, widthSrc, heightSrc)), rop, dest.DeviceBrush().Color);
  return true;
}

int IntersectClipRect(TCanvas& canvas, int left, int top, int right, int bottom) {
  return canvas.Handle().IntersectClipRect(canvas.ToDevice(TRect{left, top, right, bottom}));
}

int ExcludeClipRect(TCanvas& canvas, int left, int top, int right, int bottom) {
  return canvas.Handle().ExcludeClipRect(canvas.ToDevice(TRect{left, top, right, bottom}));
}

int SelectClipRgn(TCanvas& canvas, const TRegion* region) {
  TPaintDevice& d = canvas.Handle();
  if (!region) return d.SelectClipRegion(nullptr);
  TRegion r = *region;
  r.Offset(d.Origin().X, d.Origin().Y);
  return d.SelectClipRegion(&r);
}

int SaveDC(TCanvas& canvas) { return canvas.Handle().SaveState(); }
bool RestoreDC(TCanvas& canvas, int savedDC) { return canvas.Handle().RestoreState(savedDC); }

bool SetViewportOrgEx(TCanvas& canvas, int x, int y, TPoint* previous) {
  TPaintDevice& d = canvas.Handle();
  if (previous) *previous = d.Origin();
  d.SetOrigin({x, y});
  return true;
}

bool GetViewportOrgEx(TCanvas& canvas, TPoint& origin) {
  origin = canvas.Handle().Origin();
  return true;
}

bool GetTextMetrics(TCanvas& canvas, TTextMetric& m) {
  const TFontMetrics f = canvas.Handle().FontMetrics(canvas.Font()->Data());
  m = {f.Height, f.Ascent, f.Descent, f.InternalLeading, f.ExternalLeading, f.AveCharWidth, f.MaxCharWidth};
  return true;
}

bool GetTextExtentPoint32(TCanvas& canvas, std::string_view text, TSize& size) {
  size = canvas.TextExtent(text);
  return true;
}

}  // namespace zv
