// Editing: opening the in-place editor over the current cell, closing it with a post, a cancel
// or a move, keeping it over its cell, and posting, cancelling, inserting and deleting records.
#include "platform/controls/Messages.h"
#include "platform/controls/WinApi.h"
#include "platform/db/DataSet.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/Column.h"
#include "runtime/rtm/FlagScope.h"
#include "runtime/grid/Columns.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"
#include "runtime/grid/Selection.h"
#include "runtime/grid/InplaceEdit.h"
#include "runtime/vision/FieldVision.h"

#include <vector>

namespace zv {

namespace {

bool Editing(const TDataSet* dataSet) {
  return dataSet && (dataSet->State() == dsEdit || dataSet->State() == dsInsert);
}


}  // namespace

bool TDBDivoRud::EditorVisible() const { return d->EditorShown && !d->EditorHiding && d->InplaceEdit; }

bool TDBDivoRud::AlwaysShowEditor() const {
  return d->OptionsEdit.Contains(geoAlwaysShowEditor) && d->CursorType == gctSensitive && d->Layout.DataRowsShown;
}

bool TDBDivoRud::Edit() {
  if (EditorVisible()) return true;
  return HasActiveDataSet() && d->CurrentColumn && d->CurrentColumn->Edit();
}

bool TgpColumn::Edit() {
  if (fEditing) return true;
  TDBDivoRud* grid = GetGrid();
  if (!grid || fReadOnly || !grid->HasActiveDataSet() || !grid->SyncCursors(true)) return false;
  if (grid->CurrentColumn() != this) grid->SetCol(Index());
  if (!fFieldList->Valid() || grid->CurrentColumn() != this) return false;
  return grid->ActivateEdit(this);
}

void TgpColumn::SetEditing(bool value) {
  if (value == fEditing) return;
  if (value)
    Edit();
  else if (TDBDivoRud* grid = GetGrid())
    grid->CloseEdit(feaPost, false);
}

bool TDBDivoRud::ActivateEdit(TgpColumn* column) {
  if (d->EditorActivating || !HasActiveDataSet() || !column || column != d->CurrentColumn || d->CurrentRow < 0)
    return false;
  if (EditorVisible()) {
    if (d->InplaceEdit->Column() == column) return true;
    CloseEdit(feaPost, false);
  }
  TgpFieldList* fields = column->FieldList();
  if (!fields->Valid() || !fields->CanModify()) return false;
  if (TvpFieldVision* vision = column->CurVision(); vision && !vision->FireBeforeEdit(*fields)) return false;
  if (!FireBeforeFieldEdit(column)) return false;
  if (!d->InplaceEdit) d->InplaceEdit = std::make_unique<TgpInplaceEdit>(this);
  TgpInplaceEdit* editor = d->InplaceEdit.get();
  editor->SetWantTabs(d->WantTabs && !d->RowSelect);
  TFlagScope activating(d->EditorActivating);
  std::vector<WPARAM> typedAhead;
  if (HandleAllocated()) {
    // The key that opened the editor must not reach it a second time. Its character is gone from
    // the queue by now (handled, or taken by a switch); the characters still waiting are the
    // user's next keys, typed ahead of the grid: the editor gets them, in order, once it is up.
    // Releases stay queued: they reach the editor, which has the focus by then, as they do when
    // they come later. A switch toggles and a character's chosen action closes the editor at
    // the release, so taking it away would make one quick keystroke do nothing.
    TMsg pending;
    while (PeekMessage(pending, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) typedAhead.push_back(pending.WParam);
  }
  editor->Init(column);
  column->fEditing = true;
  editor->UpdatePosition();
  if (OnInitEdit) OnInitEdit(this);
  d->EditorShown = true;
  editor->SetVisible(true);
  if (d->HasFocus && editor->CanFocus()) editor->SetFocus();
  // Without the window focus (a grid driven from code) the editor still enters edit mode.
  if (!editor->Focused()) editor->EnterEdit();
  editor->SelectAll();
  if (editor->HandleAllocated())
    for (WPARAM c : typedAhead) PostMessage(editor->Handle(), WM_CHAR, c, 0);
  return true;
}

void TDBDivoRud::HideEditor() {
  TgpInplaceEdit* editor = d->InplaceEdit.get();
  {
    TFlagScope hiding(d->EditorHiding);
    editor->HideEdit();
    if (d->HasFocus && CanFocus()) SetFocus();
  }
  editor->SetDataSource(nullptr);
  if (TgpColumn* column = editor->Column()) column->fEditing = false;
  d->EditorShown = false;
}

void TDBDivoRud::CloseEdit(TgpFieldEditAction action, bool keepAlwaysShown) {
  if (!EditorVisible() || action == feaNone) return;
  TgpInplaceEdit* editor = d->InplaceEdit.get();
  const bool keep = keepAlwaysShown && AlwaysShowEditor();
  if (action == feaCancel) {
    if (keep) {
      editor->Fields().SetModified(false);
      editor->ResetEdit();
    } else {
      HideEditor();
    }
    return;
  }
  editor->SetPendingAction(action == feaPost ? feaNone : action);
  try {
    editor->PostField();
  } catch (...) {
    // The user keeps the text to mend it; nothing moves.
    editor->SelectAll();
    throw;
  }
  const TgpFieldEditAction next = editor->PendingAction();
  if (keep)
    editor->UpdatePosition();
  else
    HideEditor();
  if (next >= feaMoveLeft && next <= feaNextTab) {
    const bool tab = next == feaPrevTab || next == feaNextTab;
    SelectCell(next, !tab && GetKeyState(VK_SHIFT) < 0);
  }
}

void TDBDivoRud::UpdateEditorPos() {
  if (!EditorVisible()) return;
  TgpColumn* column = d->InplaceEdit->Column();
  if (!column || !column->Visible() || !IsVisible(column->Index()) || d->CurrentRow < 0) {
    CloseEdit(feaCancel, false);
    return;
  }
  d->InplaceEdit->UpdatePosition();
  d->InplaceEdit->UpdateNC();
  d->InplaceEdit->SelectAll();
}

void TDBDivoRud::EditorFocus() {
  if (EditorVisible() && d->InplaceEdit->CanFocus()) d->InplaceEdit->SetFocus();
}

void TDBDivoRud::PassKeyToEditor(Word key, TShiftState shift) {
  if (EditorVisible()) d->InplaceEdit->PassKey(key, shift);
}

void TDBDivoRud::PassCharToEditor(char32_t key) {
  if (EditorVisible()) d->InplaceEdit->PassChar(key);
}

void TDBDivoRud::PassMouseToEditor(TMouseButton button, TShiftState shift, int x, int y) {
  if (!EditorVisible() || button != mbLeft) return;
  (void)shift;
  const TPoint p{x - d->InplaceEdit->Left(), y - d->InplaceEdit->Top()};
  d->InplaceEdit->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
}

bool TDBDivoRud::DoQuickEdit(TgpColumn* column, TgpGridEditOption option) {
  if (!column || !HasActiveDataSet() || !Editing(d->DataSet) || d->OptionsEdit.Contains(option)) return false;
  column->Edit();
  return true;
}

bool TDBDivoRud::InsertRecord(bool append) {
  if (!HasActiveDataSet() || d->DataSet->State() != dsBrowse || d->ReadOnly) return false;
  if (d->OptionsEdit.Contains(append ? geoNoAppends : geoNoInserts) || !d->DataSet->CanModify()) return false;
  bool doInsert = true;
  if (BeforeInsert) BeforeInsert(this, doInsert);
  if (!doInsert) return false;
  if (append)
    d->DataSet->Append();
  else
    d->DataSet->Insert();
  d->CurrentRecShot->Select(true);
  if (HandleAllocated() && PaintingEnabled()) UpdateWindow(Handle());
  if (AfterInsert) AfterInsert(this);
  return true;
}

void TDBDivoRud::PostChanges() {
  if (!HasActiveDataSet()) return;
  TFlagScope posting(d->Posting);
  if (d->DataSet->State() == dsInsert)
    d->DataSet->MoveBy(0);  // posts and keeps the position
  else if (d->DataSet->State() == dsEdit)
    d->DataSet->Post();
  else
    CloseEdit(feaCancel, true);
}

void TDBDivoRud::CancelChanges() {
  if (!HasActiveDataSet()) return;
  if (!Editing(d->DataSet)) return CloseEdit(feaCancel, true);
  d->DataSet->Cancel();
  // The open editor shows the stored value again, selected as when it opened.
  if (EditorVisible()) d->InplaceEdit->SelectAll();
}

// ---- Deleting: the command itself is TgpDeleteParams ------------------------------------------

void TDBDivoRud::SetParamsDelete(TgpDeleteParams* value) { d->ParamsDelete->Assign(value); }

int TDBDivoRud::DeleteCount() const {
  if (!d->Selection->Empty()) return d->Selection->Count();
  return GetHasCurrent() ? 1 : 0;
}

bool TDBDivoRud::DeleteRecords() {
  d->ParamsDelete->DeleteRecordsInt(0, {});
  return d->ParamsDelete->Deleted();
}

}  // namespace zv
