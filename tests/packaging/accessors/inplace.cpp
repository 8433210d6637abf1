// The grid's in-place editor's header alone.
#include "runtime/grid/InplaceEdit.h"

int ReachThroughInplaceEditor(zv::TgpInplaceEdit& editor) {
  return editor.Column()->Width() + (editor.DataLink()->Active() ? 1 : 0);
}
