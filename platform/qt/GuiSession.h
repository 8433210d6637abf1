#pragma once
// TGuiSession: the Qt application object for programs and tests that paint without widgets.
// Chooses the off-screen platform when no display is reachable (unless QT_QPA_PLATFORM says
// otherwise), creates the application object (a QApplication, so that the system dialogs
// work) and loads the pinned fonts. One per process.

#include <memory>

class QGuiApplication;

namespace zv::qt {

class TGuiSession {
public:
  TGuiSession(int& argc, char** argv);
  TGuiSession(const TGuiSession&) = delete;
  TGuiSession& operator=(const TGuiSession&) = delete;
  ~TGuiSession();

  // True when a windowing system was reached.
  bool Windowed() const { return fWindowed; }

private:
  bool fWindowed = false;
  std::unique_ptr<QGuiApplication> fApp;
};

}  // namespace zv::qt
