// The data edit control's header alone.
#include "runtime/vision/DevidEdit.h"

bool ReachThroughEdit(zv::TDBDevidEdit& edit) {
  edit.ButtonTracker().Reset();
  edit.SwitchTracker().Reset();
  return edit.DataLink()->Editing() && edit.DataSource()->AutoEdit();
}
