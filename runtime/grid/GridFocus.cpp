// Focus: the grid coming and going as the focused control, what leaving it does to an edited
// record, a press elsewhere cancelling what the mouse held, and the cursor shape.
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/AutoSearch.h"
#include "runtime/grid/TitleTracker.h"

namespace zv {

void TDBDivoRud::WMSetFocus(TWMSetFocus& message) {
  TCustomControl::WMSetFocus(message);
  if (EditorVisible()) EditorFocus();
  InvalidateRow(d->DataLink->ActiveRecord());
}

void TDBDivoRud::WMKillFocus(TWMKillFocus& message) {
  TCustomControl::WMKillFocus(message);
  InvalidateRow(d->DataLink->ActiveRecord());
  d->AutoSearch->Cancel();
}

void TDBDivoRud::CMEnter(TMessage& message) {
  if (EditorHiding()) return;
  d->HasFocus = true;
  InvalidateRow(d->CurrentRow);
  if (AlwaysShowEditor()) ActivateEdit(d->CurrentColumn);
  TCustomControl::CMEnter(message);
}

void TDBDivoRud::CMExit(TMessage& message) {
  if (EditorHiding()) return;
  d->HasFocus = false;
  InvalidateRow(d->CurrentRow);
  try {
    if (HasActiveDataSet()) {
      if (d->OptionsEdit.Contains(geoNoEditActionOnExit)) {
        CloseEdit(d->OptionsEdit.Contains(geoCancelFieldOnExit) ? feaCancel : feaPost, false);
      } else {
        if (d->OptionsEdit.Contains(geoCancelRecordOnExit))
          CancelChanges();
        else
          PostChanges();
        CloseEdit(feaCancel, false);
      }
    }
  } catch (...) {
    // The record could not be left as it is: the user stays on it.
    d->HasFocus = true;
    if (CanFocus()) SetFocus();
    throw;
  }
  TCustomControl::CMExit(message);
}

void TDBDivoRud::CMCancelMode(TMessage& message) {
  (void)message;
  d->AutoSearch->Cancel();
  DestroyAutoScroller();
  d->ClearOnMouseUp = false;
  d->EditOnMouseUp = false;
  d->TitleTracker->CancelTitleClick();
  d->TitleTracker->CancelSizing();
  d->GridState = gsNormal;
}

void TDBDivoRud::WMSetCursor(TWMSetCursor& message) {
  // Sizing and title clicks show their own shapes over the client area.
  if (message.HitTest() == HTCLIENT && d->TitleTracker->UpdateCursor()) {
    message.Result = 1;
    return;
  }
  TCustomControl::WMSetCursor(message);
}

}  // namespace zv
