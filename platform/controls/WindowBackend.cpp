#include "platform/controls/WindowBackend.h"

#include "platform/controls/ControlsConsts.h"
#include "platform/controls/detail/WindowManager.h"
#include "platform/rtl/Exceptions.h"

namespace zv {

namespace {
std::unique_ptr<TWindowBackend>& Active() {
  static std::unique_ptr<TWindowBackend> backend;
  return backend;
}
}  // namespace

TWindowBackend::~TWindowBackend() = default;

std::unique_ptr<TWindowBackend> SetWindowBackend(std::unique_ptr<TWindowBackend> backend) {
  if (backend) backend->fSink = &detail::Manager();
  std::swap(Active(), backend);
  if (backend) backend->fSink = nullptr;
  return backend;
}

TWindowBackend& WindowBackend() {
  if (!Active()) throw EInvalidOperation(SNoWindowBackend);
  return *Active();
}

bool HasWindowBackend() { return Active() != nullptr; }

bool TWindowBackend::RunFileDialog(TNativeWindow, TNativeFileDialog&) { return false; }
bool TWindowBackend::RunColorDialog(TNativeWindow, TColor&) { return false; }

void TWindowBackend::SetClipboardContent(const std::vector<TClipboardFormat>& formats) { fClipboard = formats; }

std::vector<String> TWindowBackend::ClipboardFormats() const {
  std::vector<String> names;
  for (const TClipboardFormat& f : fClipboard) names.push_back(f.Mime);
  return names;
}

std::vector<std::uint8_t> TWindowBackend::ClipboardData(const String& mime) const {
  for (const TClipboardFormat& f : fClipboard)
    if (f.Mime == mime) return f.Data;
  return {};
}

void TWindowBackend::ClearClipboard() { fClipboard.clear(); }

TNativeWindow NativeWindowOf(HWND window) {
  detail::TWindow* w = detail::Manager().FindWindow(window);
  return w ? w->TopLevel().Native : 0;
}

TPaintDevice* RetainedSurfaceOf(HWND window, TPoint* clientOrigin) {
  detail::TWindow* w = detail::Manager().FindWindow(window);
  if (!w) return nullptr;
  if (clientOrigin) *clientOrigin = w->ClientSurfaceOrigin();
  return w->TopLevel().Surface.get();
}

}  // namespace zv
