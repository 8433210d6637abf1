// The grid's records: its cursor type and key fields, the current record's snapshot and the row
// that shows it, bringing the dataset's cursor back to the marked record, and the record list
// role for a drop-down tool form.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/DBDivoRud.h"
#include "runtime/grid/detail/GridPrivate.h"

#include <cstdlib>

namespace zv {

namespace {

// The ";" list without its empty items and without every "$RECNO$" item.
String WithoutRecNoToken(const String& names) {
  String result;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == String::npos) end = names.size();
    const String item = Trim(names.substr(start, end - start));
    if (!item.empty() && !SameText(item, "$RECNO$")) {
      if (!result.empty()) result += ';';
      result += item;
    }
    start = end + 1;
  }
  return result;
}

}  // namespace

void TDBDivoRud::InitRecords() {
  d->ParamsDB = std::make_unique<TgpDBParams>();
  d->OwnedCurrentRecShot = std::make_unique<TgpCurrentRecShot>(this);
  d->CurrentRecShot = d->OwnedCurrentRecShot.get();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TDBDivoRud::SetCursorType(TgpCursorType value) {
  if (value == d->CursorType) return;
  d->CursorType = value;
  if (value == gctSensitive)
    d->CurrentRecShot->Select(true);
  else
    d->CurrentRecShot->Deselect(false);
  InvalidateRows();
}

// A name the open dataset lacks raises the host's message before anything changes.
void TDBDivoRud::CheckFieldNames(const String& names) const {
  if (!HasActiveDataSet()) return;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == String::npos) end = names.size();
    const String name = Trim(names.substr(start, end - start));
    if (!name.empty()) d->DataLink->DataSet()->FieldByName(name);
    start = end + 1;
  }
}

void TDBDivoRud::SetUniqueFields(const String& value) {
  if (value == d->UniqueFields) return;
  CheckFieldNames(value);
  d->UniqueFields = value;
  d->CurrentRecShot->Init(HasActiveDataSet() ? d->DataLink->DataSet()->Bookmark() : TBookmarkStr());
}

void TDBDivoRud::SetBookmarkFields(const String& value) {
  const String names = WithoutRecNoToken(value);
  CheckFieldNames(names);
  d->BookmarkFields = names;
}

void TDBDivoRud::SetParamsDB(TgpDBParams* value) { d->ParamsDB->Assign(value); }

bool TDBDivoRud::GetHasCurrent() const { return d->CurrentRecShot->HasRecord(); }

bool TDBDivoRud::HasActiveDataSet() const { return d->DataLink->Active() && d->DataLink->DataSet(); }

int TDBDivoRud::RowCount() const {
  const int records = d->DataLink->Active() ? d->DataLink->RecordCount() : 0;
  return records > 0 ? records : 1;
}

// ---------------------------------------------------------------------------------------------
// Finding the current row

void TDBDivoRud::UpdateCurrentInfo(int scrolled) {
  if (!HasActiveDataSet()) {
    d->CurrentRow = -1;
    return;
  }
  if (d->CursorType == gctSensitive) {
    d->CurrentRow = d->DataLink->ActiveRecord();
    return;
  }
  if (scrolled != 0 && d->CurrentRow != -1 && !d->Action.InProgress()) {
    // The marked record moved with the view.
    d->CurrentRow -= scrolled;
    if (d->CurrentRow < 0 || d->CurrentRow >= RowCount()) d->CurrentRow = -1;
    return;
  }
  TgpCurrentRecShot& shot = *d->CurrentRecShot;
  if (!shot.HasRecord()) return;
  // Only rows holding records are asked; after a short scroll only those that came into view.
  const int records = d->DataLink->RecordCount();
  int first = 0;
  int last = records - 1;
  const int distance = std::abs(scrolled);
  if (scrolled != 0 && distance < RowCount() - 1) {
    if (scrolled < 0)
      last = std::min(last, distance);
    else
      first = RowCount() - scrolled - 1;
  }
  first = std::max(first, 0);
  TDataSet& dataSet = *d->DataLink->DataSet();
  TActiveRecordScope record(*d->DataLink);
  bool found = false;
  for (int row = first; row <= last && !found; ++row) {
    d->DataLink->SetActiveRecord(row);
    if (!shot.IsEqual()) continue;
    found = true;
    const TBookmarkStr bookmark = dataSet.Bookmark();
    // A mark found by its identity, or handed a bookmark, takes the bookmark of the row.
    if (shot.Resolved() && bookmark == shot.GetBookmarkPtr())
      d->CurrentRow = row;
    else
      shot.Init(bookmark);
  }
  record.Restore();
  if (!found && scrolled == 0) d->CurrentRow = -1;
}

// ---------------------------------------------------------------------------------------------
// Bringing the cursor to the mark

bool TDBDivoRud::SyncCursors(bool force) {
  if (d->CursorType == gctSensitive) return true;
  if (!HasActiveDataSet()) return false;
  TDataSet& dataSet = *d->DataLink->DataSet();
  if (d->CurrentRow != -1 && d->CurrentRow == d->DataLink->ActiveRecord()) return true;
  if (d->CurrentRow != -1) dataSet.MoveBy(d->CurrentRow - d->DataLink->ActiveRecord());
  const bool inView = d->CurrentRow != -1 && d->CurrentRow == d->DataLink->ActiveRecord();
  if (!inView && !d->CurrentRecShot->GotoRecShot() && force) {
    // The first record becomes current, as the user's move there would make it.
    dataSet.First();
    d->CurrentRecShot->Select(false);
  }
  if (force) return inView;
  return (d->CurrentRow != -1 && d->CurrentRow == d->DataLink->ActiveRecord()) || d->CurrentRecShot->IsEqual();
}

// ---------------------------------------------------------------------------------------------
// Notifications

void TDBDivoRud::SelectionChanged(bool currentChanged, bool selectionChanged) {
  if (selectionChanged) d->Selection->NoteChanged();
  d->Action.NoteSelectionChanged();
  if (currentChanged) d->CurrentRecShot->SetCurrentChanged(true);
  if (d->Action.InProgress()) {
    if (IvtfToolForm* toolForm = ToolFormValue()) toolForm->tfValueChanged();
    return;
  }
  DoSelectionChanged();
}

void TDBDivoRud::SetUserActionInProgress(bool value) {
  d->Action.SetInProgress(value);
  if (value || !d->Action.TakeSelectionChanged()) return;
  DoSelectionChanged();
}

void TDBDivoRud::DoSelectionChanged() {
  if (OnSelectionChange) OnSelectionChange(this);
}

// ---------------------------------------------------------------------------------------------
// The tool form's record list

IvtfToolForm* TDBDivoRud::ToolFormValue() const { return dynamic_cast<IvtfToolForm*>(d->ToolForm); }

void TDBDivoRud::tfSetToolForm(TControl* toolForm) {
  if (toolForm == d->ToolForm) return;
  if (d->ToolForm) d->ToolForm->RemoveFreeNotification(this);
  d->ToolForm = toolForm;
  if (toolForm) toolForm->FreeNotification(this);
}

void TDBDivoRud::tfCurrentChanged() {
  if (IvtfToolForm* toolForm = ToolFormValue()) d->CurrentRecShot->SelectByID(toolForm->tfCurrentValue(), true, false);
}

void TDBDivoRud::tfPostChanges() {
  IvtfToolForm* toolForm = ToolFormValue();
  // Without a marked record, or a key captured from it, the tool form keeps its value.
  if (!toolForm || !d->CurrentRecShot->HasRecord() || d->CurrentRecShot->IdentityValue().IsEmpty()) return;
  toolForm->tfSetResultValue(d->CurrentRecShot->IdentityValue());
}

// ---------------------------------------------------------------------------------------------
// The snapshot side of the data link reactions. A notification has no caller to raise to: a
// failure goes to the dataset's exception handler.

void TDBDivoRud::RecordsActiveChanged() {
  try {
    d->CurrentRow = -1;
    if (d->CursorType == gctSensitive) {
      d->CurrentRecShot->fBookmark.clear();
      d->CurrentRecShot->Select(true);
    } else {
      UpdateCurrentInfo(0);
    }
  } catch (...) {
    if (TDataSet* dataSet = d->DataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

void TDBDivoRud::RecordsDataChanged() {
  try {
    // A posted record may have a new bookmark: the mark takes it.
    if (d->Posting)
      d->CurrentRecShot->Select(true);
    else
      d->CurrentRecShot->Update(true);
    UpdateCurrentInfo(0);
  } catch (...) {
    if (TDataSet* dataSet = d->DataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

void TDBDivoRud::RecordsDataSetScrolled(int distance) {
  try {
    d->CurrentRecShot->Update(true);
    if (distance != 0) UpdateCurrentInfo(distance);
  } catch (...) {
    if (TDataSet* dataSet = d->DataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

}  // namespace zv
