#pragma once
// The headless graphics and window backends for the length of a benchmark's setup; the ones in
// place before come back after.

#include "platform/controls/WindowBackend.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"

#include <memory>

namespace zvbench {

struct THeadlessBackends {
  THeadlessBackends()
      : graphics(zv::SetGraphicsBackend(zv::CreateNullBackend())),
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
