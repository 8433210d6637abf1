// The form text reader's header alone: the component it makes is usable as such.
#include "platform/classes/FormText.h"

bool ReachThroughFormText() {
  return zv::TextToComponent("object X: TComponent\nend\n")->Name() == "X";
}
