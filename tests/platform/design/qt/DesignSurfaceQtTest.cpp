// A designed form drawn by Qt off-screen against a golden PNG (ZV_UPDATE_GOLDENS=1 rewrites it;
// a mismatch writes the actual picture into the build folder): the grab handles of the selected
// button above the panel that holds it, and a data source's icon with its name.

#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Panel.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/WindowBackend.h"
#include "platform/db/DataLink.h"
#include "platform/design/FormDesigner.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zvtest {
namespace {

using namespace zv;

// The Qt backend for the whole run, as a program on the shared libraries sets it up.
class TQtEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    fSession = std::make_unique<qt::TGuiSession>(fArgc, fArgv);
    SetGraphicsBackend(qt::CreateQtBackend());
    SetWindowBackend(qt::CreateQtWindowBackend());
    Application->Initialize();
  }
  void TearDown() override {
    FinalizeModules();
    SetWindowBackend(nullptr);
    SetGraphicsBackend(nullptr);
    fSession.reset();
  }

private:
  int fArgc = 1;
  char fName[5] = "test";
  char* fArgv[2] = {fName, nullptr};
  std::unique_ptr<qt::TGuiSession> fSession;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Compare(const TPixelBuffer& actual, const std::string& name) {
  const std::string golden = std::string(ZV_DESIGN_GOLDEN_DIR) + "/" + name + ".png";
  if (std::getenv("ZV_UPDATE_GOLDENS")) {
    WriteFile(golden, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
    return;
  }
  const std::string actualPath = std::string(ZV_DESIGN_ACTUAL_DIR) + "/" + name + ".actual.png";
  std::ifstream in(golden, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!bytes.empty() && GraphicsBackend().DecodeImage(bytes, TImageFormat::Png) == actual) return;
  WriteFile(actualPath, GraphicsBackend().EncodeImage(actual, TImageFormat::Png));
  ADD_FAILURE() << name << " differs from " << golden << " (or it is missing); the picture is in " << actualPath;
}

}  // namespace

TEST(DesignSurfaceQt, HandlesLieAboveTheControlsAndIconsShowTheirNames) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetName("Form1");
  form->SetBounds(40, 40, 320, 200);
  form->SetColor(clWhite);
  auto designer = std::make_unique<TFormDesigner>(form.get());
  TComponent* panel = designer->CreateComponent(TPanel::StaticClass(), nullptr, 10, 10, 180, 100);
  TComponent* button = designer->CreateComponent(TButton::StaticClass(), panel, 20, 30, 90, 25);
  designer->CreateComponent(TDataSource::StaticClass(), nullptr, 220, 30, 0, 0);
  designer->SelectComponent(button);
  form->Show();
  Application->ProcessMessages();
  TPaintDevice* surface = RetainedSurfaceOf(form->Handle());
  ASSERT_NE(surface, nullptr);
  Compare(surface->ReadPixels({0, 0, surface->Width(), surface->Height()}), "designed-form");
  designer.reset();
  form.reset();
}

}  // namespace zvtest
