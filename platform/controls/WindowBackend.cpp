#include "platform/controls/WindowBackend.h"

#include "platform/controls/ControlsConsts.h"
#include "platform/controls/WindowManager.h"
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
