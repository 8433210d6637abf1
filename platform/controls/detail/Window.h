#pragma once
// Internal to platform/controls: the window model behind a TWinControl's handle.
//
// Every window is a rectangle of its top-level window's retained surface. A window knows its
// frame (the client rectangle inside it, from WM_NCCALCSIZE), its update region (client
// coordinates) and its standard scroll bars; the top-level one also owns the surface, the
// native window, and the region drawn since the last presentation (Dirty).
//
// Drawing goes through TWindowDevice, a device in the window's (or its client area's)
// coordinates that forwards to the surface clipped to what of the window is visible: inside
// the parents' client areas, not under siblings above it, not over its child windows.

#include "platform/controls/WinApi.h"
#include "platform/controls/WindowBackend.h"
#include "platform/controls/WinControl.h"

#include <optional>
#include <vector>

namespace zv::detail {

class TWindowDevice;

// Bumped whenever a window appears, goes, moves, resizes, shows, hides, changes its frame or
// its z-order: cached visible regions and clips are then rebuilt.
std::uint64_t GeometrySerial();
void GeometryChanged();
// True while a size or position reported by the backend is being applied (so that it is not
// sent back to the backend).
bool NativeResizeInProgress();

struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  unsigned Page = 0;
  int Pos = 0;
  bool Shown = false;
  bool Disabled = false;  // shown but without a usable range (SIF_DISABLENOSCROLL)
  bool Tracking = false;  // the thumb is being dragged
  int TrackPos = 0;
};

// The parts of a standard scroll bar, for hit-testing and painting.
enum class TBarPart { None, LineUp, PageUp, Thumb, PageDown, LineDown };

class TWindow {
public:
  TWindow(TWinControl& control, const TCreateParams& params);
  ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  TWinControl& Control;
  const HWND Handle;
  unsigned Style;
  unsigned ExStyle;
  unsigned ClassStyle;
  TRect ClientInWindow;   // the client rectangle in window coordinates
  TRegion Update;         // client coordinates
  bool Erase = false;
  bool FrameInvalid = true;
  TRegion FrameUpdate;  // window coordinates: parts of a frame otherwise valid (a moved thumb)
  unsigned UpdateSerial = 0;  // counts invalidations, to tell whether WM_PAINT validated
  TScrollBarState Bars[2];    // SB_HORZ, SB_VERT
  // SetWindowRgn's shape in window coordinates; without one the window is its rectangle.
  std::optional<TRegion> Shape;

  // Top-level windows only.
  TNativeWindow Native = 0;
  // The window this one stays above and whose activation it shares (WndParent).
  HWND Owner{};
  // Never activated natively: focus inside it leaves the activation with its owner, whose
  // keys then come here (drop-downs, hints, markers).
  bool NoActivate = false;
  // Stacking: a band (0 normal, 1 stay-on-top, 2 pop-ups above those, 3 stay-on-top pop-ups)
  // and, inside it, the
  // serial of the last time the window was shown or activated; higher is above.
  int Band = 0;
  std::uint64_t ZSerial = 0;
  // Input passes through it to whatever lies below (WS_EX_TRANSPARENT).
  bool InputTransparent = false;
  std::unique_ptr<TPaintDevice> Surface;
  TRegion Dirty;  // surface coordinates, drawn but not yet presented
  // Who set the surface's clip last, and for which geometry: a device sets it again only when
  // someone else drew in between or the windows moved.
  const void* ClipOwner = nullptr;
  std::uint64_t ClipStamp = 0;
  std::uint64_t PresentSerial = 1;  // counts presentations

  bool IsTopLevel() const { return Control.Parent() == nullptr; }
  TWindow& TopLevel();
  TWindow* ParentWindow() const;
  bool Visible() const { return Control.Showing(); }
  int Width() const { return Control.Width(); }
  int Height() const { return Control.Height(); }

  // Where the window's top left lies on the surface.
  TPoint SurfaceOrigin() const;
  TPoint ClientSurfaceOrigin() const;
  TRect SurfaceRect() const;
  TRect ClientSurfaceRect() const;
  // What the window covers of the surface: its rectangle, cut to its shape.
  TRegion SurfaceArea() const;
  // Whether a surface point lies inside the shape (always, without one).
  bool InShape(TPoint surfacePos) const;
  TRect ClientRect() const { return {0, 0, ClientInWindow.Width(), ClientInWindow.Height()}; }
  // The part of the window (or of its client area) that can be seen, in surface coordinates;
  // cached until the geometry of any window changes.
  const TRegion& VisibleRegion(bool clientOnly);

  // Adds r (client coordinates; null for the whole client area) to the update region.
  void Invalidate(const TRect* r, bool erase);
  void InvalidateFrame();
  // A part of the frame (window coordinates), the rest staying valid.
  void InvalidateFramePart(const TRect& r);
  // The whole window and, with children, every window inside it.
  void InvalidateAll(bool children);
  void MarkDirty(const TRegion& surfaceRegion);
  void MarkDirty(const TRect& surfaceRect);

  // Asks the control for its client rectangle (WM_NCCALCSIZE) and repaints the frame; with
  // sendSize, a changed client size is reported by WM_SIZE.
  void RecalcFrame(bool sendSize = false);
  // ScrollWindowEx on this window (see WinApi.h).
  int Scroll(int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* update, TRect* updateRect,
             unsigned flags);
  // Default frame metrics: the window rectangle less border and client edge (window coordinates).
  TRect FrameInner() const;
  // The frame's default painting (border, edge, scroll bars) into a window device; with area
  // (window coordinates), only the parts it touches.
  void PaintDefaultFrame(TPaintDevice& dc, const TRegion* area = nullptr);
  // Geometry of the standard scroll bars in window coordinates (empty when hidden).
  TRect BarRect(int bar) const;
  TBarPart BarPartAt(int bar, TPoint windowPos) const;
  TRect ThumbRect(int bar) const;
  // The scroll position for a thumb whose leading edge is at offset along the bar.
  int PosFromThumb(int bar, int offset) const;
  // The scroll-bar frame changed (shown or hidden): the client area changes too.
  void SetBarShown(int bar, bool shown);

  void AddDevice(TWindowDevice* device) { fDevices.push_back(device); }
  void RemoveDevice(TWindowDevice* device);

private:
  void DetachDevices();
  std::vector<TWindowDevice*> fDevices;
  TRegion fVisible[2];
  std::uint64_t fVisibleSerial[2] = {0, 0};
};

// A drawing device on a window: whole window or client area, in its own coordinates.
class TWindowDevice : public TPaintDevice {
public:
  TWindowDevice(TWindow& window, bool clientArea);
  ~TWindowDevice() override;
  // The window went away: drawing does nothing from now on.
  void Detach() { fWindow = nullptr; }
  TWindow* Window() const { return fWindow; }

  int Width() const override;
  int Height() const override;
  void Resize(int, int) override {}

  void FillRect(const TRect& r, const TBrushData& brush) override;
  void Polyline(std::span<const TPoint> points, const TPenData& pen, TColor background) override;
  void Polygon(std::span<const TPoint> points, const TPenData& pen, const TBrushData& brush, TColor background) override;
  void Rectangle(const TRect& r, const TPenData& pen, const TBrushData& brush, TColor background) override;
  void Ellipse(const TRect& r, const TPenData& pen, const TBrushData& brush) override;
  void TextOut(int x, int y, std::string_view text, const TFontData& font, TColor color, TColor background) override;
  TFontMetrics FontMetrics(const TFontData& font) override;
  int TextWidth(const TFontData& font, std::string_view text) override;
  TPixelBuffer ReadPixels(const TRect& r) override;
  void WritePixels(const TRect& dst, const TPixelBuffer& src, TPoint srcPos, std::uint32_t rop, TColor pattern,
                   bool blendAlpha) override;
  TColor GetPixel(int x, int y) override;
  void SetPixel(int x, int y, TColor color) override;
  void FrameRect(const TRect& r, const TBrushData& brush) override;
  void TextRect(const TRect& r, int x, int y, std::string_view text, const TFontData& font, TColor color,
                TColor background) override;
  int DrawText(std::string_view text, TRect& r, unsigned format, const TFontData& font, TColor color,
               TColor background) override;
  bool DrawEdge(TRect& r, unsigned edge, unsigned flags) override;
  bool DrawFrameControl(TRect& r, unsigned type, unsigned state) override;
  void DrawFocusRect(const TRect& r) override;
  void InvertRect(const TRect& r) override;
  void BitBlt(const TRect& dst, TPaintDevice* src, TPoint srcPos, std::uint32_t rop, TColor pattern) override;
  void StretchBlt(const TRect& dst, TPaintDevice& src, const TRect& srcRect, std::uint32_t rop, TColor pattern) override;
  void DrawImage(const TRect& dst, const TPixelBuffer& image, const TRect& srcRect) override;

protected:
  void ClipChanged() override { fClipDirty = true; }

private:
  // The surface, clipped for this device and marked dirty; null when nothing can be drawn.
  TPaintDevice* Target();
  TPaintDevice* Measure();
  TPoint Offset() const;
  TRect Out(TRect r) const;
  TPoint Out(TPoint p) const;

  TWindow* fWindow;
  bool fClientArea;
  TRegion fClip;                 // surface coordinates
  std::uint64_t fBuiltFor = 0;   // the geometry serial fClip was made for
  bool fClipDirty = true;        // the own clip changed since
  std::uint64_t fStamp = 0;      // tells the surface whether its clip is still this device's
  std::uint64_t fDirtySerial = 0;
  std::unique_ptr<TPaintDevice> fMeasure;  // measures text once the window is gone
};

// Windows' default handling of a message (DefWindowProc): painting that validates, the default
// frame, cursor, cancel mode, close.
void DefWindowProc(TWindow& window, TMessage& message);
// The host's BeginPaint on a window (see WinApi.h).
bool BeginPaint(TWindow& window, TPaintStruct& ps);

}  // namespace zv::detail
