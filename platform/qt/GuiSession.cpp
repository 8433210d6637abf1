#include "platform/qt/GuiSession.h"

#include "platform/qt/detail/QtEnvironment.h"

#include <QApplication>

namespace zv::qt {

TGuiSession::TGuiSession(int& argc, char** argv)
    : fWindowed(PrepareQtPlatform()), fApp(std::make_unique<QApplication>(argc, argv)) {
  LoadPinnedFonts();
}

TGuiSession::~TGuiSession() = default;

}  // namespace zv::qt
