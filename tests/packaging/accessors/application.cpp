// The application object's header alone: its forms and controls are usable as such.
#include "platform/controls/Application.h"

bool ReachThroughApplication() {
  return zv::Application->MainForm()->Visible() && zv::Application->MainControl()->Focused() &&
         zv::Application->HintWindow()->Visible() && zv::Screen->ActiveForm()->Visible() &&
         zv::Screen->ActiveControl()->Focused();
}
