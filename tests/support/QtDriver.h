#pragma once
// The harness driver on the Qt backend, for the suites that link zv_qt (rendering on Qt
// offscreen, the behaviour suites' Qt instantiations).

#include "ControlHarness.h"

#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

#include <memory>

namespace zvtest {

class TQtDriver : public TControlDriver {
public:
  TQtDriver()
      : fGraphics(SetGraphicsBackend(qt::CreateQtBackend())), fWindows(SetWindowBackend(qt::CreateQtWindowBackend())) {}
  ~TQtDriver() override {
    SetWindowBackend(std::move(fWindows));
    SetGraphicsBackend(std::move(fGraphics));
  }
  std::string Name() const override { return "Qt"; }
  void Inject(TNativeWindow window, const TNativeInput& input) override { qt::SendInputAsQtEvents(window, input); }
  void Wait(unsigned ms) override {
    qt::RunQtEventLoop(ms, [] { Application->ProcessMessages(); });
  }
  TColor Shown(TNativeWindow window, int x, int y) override { return qt::ShownPixel(window, x, y); }
  void SwitchApplication(bool active) override { qt::AnnounceApplicationState(active); }

private:
  std::unique_ptr<TGraphicsBackend> fGraphics;
  std::unique_ptr<TWindowBackend> fWindows;
};

inline std::unique_ptr<TControlDriver> MakeQtDriver() { return std::make_unique<TQtDriver>(); }

}  // namespace zvtest
