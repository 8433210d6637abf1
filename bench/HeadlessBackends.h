#pragma once
// The headless graphics and window backends for the length of a benchmark's setup; the ones in
// place before come back after. Surfaces keep their pixels, not the operations tests inspect,
// so that memory and time do not grow with the iterations.

#include "platform/controls/WindowBackend.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <memory>

namespace zvbench {

struct THeadlessBackends {
  THeadlessBackends()
      : graphics(zv::SetGraphicsBackend(zv::CreateNullBackend(/*recordOperations=*/false))),
        windows(zv::SetWindowBackend(zv::CreateNullWindowBackend())) {}
  ~THeadlessBackends() {
    zv::SetWindowBackend(std::move(windows));
    zv::SetGraphicsBackend(std::move(graphics));
  }
  THeadlessBackends(const THeadlessBackends&) = delete;
  THeadlessBackends& operator=(const THeadlessBackends&) = delete;

  std::unique_ptr<zv::TGraphicsBackend> graphics;
  std::unique_ptr<zv::TWindowBackend> windows;
};

}  // namespace zvbench
