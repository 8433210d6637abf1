#pragma once
// TCanvas: the host's drawing surface object (pen, brush, font, pen position, copy mode) over a
// TPaintDevice, and the Windows-level drawing routines the library calls, taking a canvas
// where Windows takes a device context: DrawText, DrawEdge, DrawFrameControl, DrawFocusRect,
// InvertRect, BitBlt, PatBlt, StretchBlt, the clipping routines and SaveDC / RestoreDC.
//
// Coordinates are logical: the device's origin (SetViewportOrgEx) is added before drawing.
// Shapes fill with the brush and outline with the pen; text draws in the font's colour over
// the brush colour, or transparently when the brush is bsClear.

#include "platform/graphics/DrawFlags.h"
#include "platform/graphics/PaintDevice.h"

#include <memory>
#include <span>

namespace zv {

class TGraphic;

// CopyRect's raster operation.
using TCopyMode = std::uint32_t;
inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
  ZV_CLASS(TCanvas, TPersistent)

public:
  TCanvas();
  explicit TCanvas(TPaintDevice* device);
  ~TCanvas() override;

  TFont* Font() const { return fFont.get(); }
  void SetFont(const TFont* font) { fFont->Assign(font); }
  TPen* Pen() const { return fPen.get(); }
  void SetPen(const TPen* pen) { fPen->Assign(pen); }
  TBrush* Brush() const { return fBrush.get(); }
  void SetBrush(const TBrush* brush) { fBrush->Assign(brush); }
  TPoint PenPos() const { return fPenPos; }
  void SetPenPos(TPoint p) { fPenPos = p; }
  TCopyMode CopyMode() const { return fCopyMode; }
  void SetCopyMode(TCopyMode mode) { fCopyMode = mode; }
  // The bounds of the clip region (or of the device when nothing clips), in logical coordinates.
  TRect ClipRect();
  // CLR_INVALID outside the device.
  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  void MoveTo(int x, int y);
  // A line from PenPos to (x, y), the end point left out; PenPos moves there.
  void LineTo(int x, int y);
  void Polyline(std::span<const TPoint> points);
  void Polygon(std::span<const TPoint> points);
  // With a psClear pen the filled area is one pixel smaller to the right and bottom, as on the host.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);
  // A one-pixel border in the brush's colour.
  void FrameRect(const TRect& r);
  // Moves PenPos to the end of the text.
  void TextOut(int x, int y, std::string_view text);
  // Text at (x, y) clipped to r; r is filled with the brush first unless it is bsClear.
  void TextRect(const TRect& r, int x, int y, std::string_view text);
  TSize TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies source's part of canvas into dest here, through CopyMode, stretched as needed.
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  void DrawFocusRect(const TRect& r);

  // The device; created on demand by CreateHandle, else EInvalidOperation "Canvas does not
  // allow drawing".
  TPaintDevice& Handle();
  bool HandleAllocated() const { return fDevice != nullptr; }
  void SetHandle(TPaintDevice* device);
  // Painting runs on one thread; kept for the host's call sequences.
  void Lock() {}
  void Unlock() {}

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Logical to device coordinates.
  TRect ToDevice(const TRect& r);
  TPoint ToDevice(TPoint p);
  // The pen, brush and font colours as the device wants them (resolved; clNone for none).
  TPenData DevicePen() const;
  TBrushData DeviceBrush() const;
  TColor DeviceTextColor() const;
  TColor DeviceBackground() const;  // the brush colour, or clNone for bsClear

protected:
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();

private:
  std::unique_ptr<TFont> fFont;
  std::unique_ptr<TPen> fPen;
  std::unique_ptr<TBrush> fBrush;
  TPoint fPenPos;
  TCopyMode fCopyMode = cmSrcCopy;
  TPaintDevice* fDevice = nullptr;
};

// --- Windows-level routines ------------------------------------------------------------------

// DrawText with the canvas's font (colour included) and brush as background; DT_CALCRECT
// updates rect. Returns the text height (see TextLayout.h).
int DrawText(TCanvas& canvas, std::string_view text, TRect& rect, unsigned format);
// BF_ADJUST / DFCS_ADJUSTRECT shrink rect to the interior.
bool DrawEdge(TCanvas& canvas, TRect& rect, unsigned edge, unsigned flags);
bool DrawFrameControl(TCanvas& canvas, TRect& rect, unsigned type, unsigned state);
bool DrawFocusRect(TCanvas& canvas, const TRect& rect);
bool InvertRect(TCanvas& canvas, const TRect& rect);
bool FillRect(TCanvas& canvas, const TRect& rect, TColor color);
// source may be null (or the destination itself) when rop reads no source; the pattern is the
// destination's brush colour.
bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* source, int xSrc, int ySrc,
            std::uint32_t rop);
bool PatBlt(TCanvas& dest, int x, int y, int width, int height, std::uint32_t rop);
bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas& source, int xSrc, int ySrc,
                int widthSrc, int heightSrc, std::uint32_t rop);
// Clipping, in logical coordinates; return the region's complexity (NULLREGION, ...).
int IntersectClipRect(TCanvas& canvas, int left, int top, int right, int bottom);
int ExcludeClipRect(TCanvas& canvas, int left, int top, int right, int bottom);
int SelectClipRgn(TCanvas& canvas, const TRegion* region);
// Saves clipping and origin; RestoreDC(canvas, -1) restores the latest save.
int SaveDC(TCanvas& canvas);
bool RestoreDC(TCanvas& canvas, int savedDC);
// The device position of logical (0, 0).
bool SetViewportOrgEx(TCanvas& canvas, int x, int y, TPoint* previous);
bool GetViewportOrgEx(TCanvas& canvas, TPoint& origin);

struct TTextMetric {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
};
bool GetTextMetrics(TCanvas& canvas, TTextMetric& metric);
bool GetTextExtentPoint32(TCanvas& canvas, std::string_view text, TSize& size);

}  // namespace zv
