#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/graphics/GraphicsBackend.h"
#include "platform/qt/GuiSession.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtWindowBackend.h"

#include <cstdio>
#include <string>

std::string GridLink(zv::TWinControl* parent);
std::string WindowTitle(zv::HWND handle);

int main(int argc, char** argv) {
  zv::qt::TGuiSession session(argc, argv);
  zv::SetGraphicsBackend(zv::qt::CreateQtBackend(session.Windowed()));
  zv::SetWindowBackend(zv::qt::CreateQtWindowBackend());
  zv::Application->Initialize();
  std::string said;
  {
    zv::TForm form(nullptr);
    form.SetCaption("consumer");
    form.SetBounds(0, 0, 320, 200);
    said = GridLink(&form);
    form.Show();
    said += ", " + WindowTitle(form.Handle());
  }
  zv::FinalizeModules();
  zv::SetWindowBackend(nullptr);
  zv::SetGraphicsBackend(nullptr);
  std::printf("%s\n", said.c_str());
}
