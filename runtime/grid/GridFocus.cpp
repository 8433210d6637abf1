// Focus: the grid coming and going as the focused control, what leaving it does to an edited
// record, a press elsewhere cancelling what the mouse held, and the cursor shape.
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/TitleTracker.h"

namespace zv {

void TDBDivoRud::WMSetFocus(TWMSetFocus& message) {
  TCustomControl::WMSetFocus(message);
  if (EditorVisible()) EditorFocus();
  InvalidateRow(fDataLink->ActiveRecord());
}

void TDBDivoRud::WMKillFocus(TWMKillFocus& message) {
  TCustomControl::WMKillFocus(message);
  InvalidateRow(fDataLink->ActiveRecord());
  fAutoSearch->Cancel();
}

void TDBDivoRud::CMEnter(TMessage& message) {
  if (EditorHiding()) return;
  fHasFocus = true;
  InvalidateRow(fCurrentRow);
  if (AlwaysShowEditor()) ActivateEdit(fCurrentColumn);
  TCustomControl::CMEnter(message);
}

void TDBDivoRud::CMExit(TMessage& message) {
  if (EditorHiding()) return;
  fHasFocus = false;
  InvalidateRow(fCurrentRow);
  try {
    if (HasActiveDataSet()) {
      if (fOptionsEdit.Contains(geoNoEditActionOnExit)) {
        CloseEdit(fOptionsEdit.Contains(geoCancelFieldOnExit) ? feaCancel : feaPost, false);
      } else {
        if (fOptionsEdit.Contains(geoCancelRecordOnExit))
          CancelChanges();
        else
          PostChanges();
        CloseEdit(feaCancel, false);
      }
    }
  } catch (...) {
    // The record could not be left as it is: the user stays on it.
    fHasFocus = true;
    if (CanFocus()) SetFocus();
    throw;
  }
  TCustomControl::CMExit(message);
}

void TDBDivoRud::CMCancelMode(TMessage& message) {
  (void)message;
  DestroyAutoScroller();
  fClearOnMouseUp = false;
  fEditOnMouseUp = false;
  fGridState = gsNormal;
}

void TDBDivoRud::WMSetCursor(TWMSetCursor& message) {
  // Sizing and title clicks show their own shapes over the client area.
  if (fGridState != gsNormal && message.HitTest() == HTCLIENT) {
    fTitleTracker->UpdateCursorShape();
    message.Result = 1;
    return;
  }
  TCustomControl::WMSetCursor(message);
}

}  // namespace zv
