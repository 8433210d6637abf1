// The grid's records: its cursor type and key fields, the current record's snapshot and the row
// that shows it, bringing the dataset's cursor back to the marked record, and the record list
// role for a drop-down tool form.
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"
#include "runtime/db/DataLinkEx.h"
#include "runtime/grid/DBDivoRud.h"

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
  fParamsDB = std::make_unique<TgpDBParams>();
  fOwnedCurrentRecShot = std::make_unique<TgpCurrentRecShot>(this);
  fCurrentRecShot = fOwnedCurrentRecShot.get();
}

// ---------------------------------------------------------------------------------------------
// Properties

void TDBDivoRud::SetCursorType(TgpCursorType value) {
  if (value == fCursorType) return;
  fCursorType = value;
  if (value == gctSensitive)
    fCurrentRecShot->Select(true);
  else
    fCurrentRecShot->Deselect(false);
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
    if (!name.empty()) fDataLink->DataSet()->FieldByName(name);
    start = end + 1;
  }
}

void TDBDivoRud::SetUniqueFields(const String& value) {
  if (value == fUniqueFields) return;
  CheckFieldNames(value);
  fUniqueFields = value;
  fCurrentRecShot->Init(HasActiveDataSet() ? fDataLink->DataSet()->Bookmark() : TBookmarkStr());
}

void TDBDivoRud::SetBookmarkFields(const String& value) {
  const String names = WithoutRecNoToken(value);
  CheckFieldNames(names);
  fBookmarkFields = names;
}

void TDBDivoRud::SetParamsDB(TgpDBParams* value) { fParamsDB->Assign(value); }

bool TDBDivoRud::GetHasCurrent() const { return fCurrentRecShot->HasRecord(); }

bool TDBDivoRud::HasActiveDataSet() const { return fDataLink->Active() && fDataLink->DataSet(); }

int TDBDivoRud::RowCount() const {
  const int records = fDataLink->Active() ? fDataLink->RecordCount() : 0;
  return records > 0 ? records : 1;
}

// ---------------------------------------------------------------------------------------------
// Finding the current row

void TDBDivoRud::UpdateCurrentInfo(int scrolled) {
  if (!HasActiveDataSet()) {
    fCurrentRow = -1;
    return;
  }
  if (fCursorType == gctSensitive) {
    fCurrentRow = fDataLink->ActiveRecord();
    return;
  }
  if (scrolled != 0 && fCurrentRow != -1 && !fAction.InProgress()) {
    // The marked record moved with the view.
    fCurrentRow -= scrolled;
    if (fCurrentRow < 0 || fCurrentRow >= RowCount()) fCurrentRow = -1;
    return;
  }
  TgpCurrentRecShot& shot = *fCurrentRecShot;
  if (!shot.HasRecord()) return;
  // Only rows holding records are asked; after a short scroll only those that came into view.
  const int records = fDataLink->RecordCount();
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
  TDataSet& dataSet = *fDataLink->DataSet();
  TActiveRecordScope record(*fDataLink);
  bool found = false;
  for (int row = first; row <= last && !found; ++row) {
    fDataLink->SetActiveRecord(row);
    if (!shot.IsEqual()) continue;
    found = true;
    const TBookmarkStr bookmark = dataSet.Bookmark();
    // A mark found by its identity, or handed a bookmark, takes the bookmark of the row.
    if (shot.Resolved() && bookmark == shot.GetBookmarkPtr())
      fCurrentRow = row;
    else
      shot.Init(bookmark);
  }
  record.Restore();
  if (!found && scrolled == 0) fCurrentRow = -1;
}

// ---------------------------------------------------------------------------------------------
// Bringing the cursor to the mark

bool TDBDivoRud::SyncCursors(bool force) {
  if (fCursorType == gctSensitive) return true;
  if (!HasActiveDataSet()) return false;
  TDataSet& dataSet = *fDataLink->DataSet();
  if (fCurrentRow != -1 && fCurrentRow == fDataLink->ActiveRecord()) return true;
  if (fCurrentRow != -1) dataSet.MoveBy(fCurrentRow - fDataLink->ActiveRecord());
  const bool inView = fCurrentRow != -1 && fCurrentRow == fDataLink->ActiveRecord();
  if (!inView && !fCurrentRecShot->GotoRecShot() && force) {
    // The first record becomes current, as the user's move there would make it.
    dataSet.First();
    fCurrentRecShot->Select(false);
  }
  if (force) return inView;
  return (fCurrentRow != -1 && fCurrentRow == fDataLink->ActiveRecord()) || fCurrentRecShot->IsEqual();
}

// ---------------------------------------------------------------------------------------------
// Notifications

void TDBDivoRud::SelectionChanged(bool currentChanged, bool selectionChanged) {
  (void)selectionChanged;
  fAction.NoteSelectionChanged();
  if (currentChanged) fCurrentRecShot->SetCurrentChanged(true);
  if (fAction.InProgress()) {
    if (IvtfToolForm* toolForm = ToolFormValue()) toolForm->tfValueChanged();
    return;
  }
  DoSelectionChanged();
}

void TDBDivoRud::SetUserActionInProgress(bool value) {
  fAction.SetInProgress(value);
  if (value || !fAction.TakeSelectionChanged()) return;
  DoSelectionChanged();
}

void TDBDivoRud::DoSelectionChanged() {
  if (OnSelectionChange) OnSelectionChange(this);
}

// ---------------------------------------------------------------------------------------------
// The tool form's record list

IvtfToolForm* TDBDivoRud::ToolFormValue() const { return dynamic_cast<IvtfToolForm*>(fToolForm); }

void TDBDivoRud::tfSetToolForm(TControl* toolForm) {
  if (toolForm == fToolForm) return;
  if (fToolForm) fToolForm->RemoveFreeNotification(this);
  fToolForm = toolForm;
  if (toolForm) toolForm->FreeNotification(this);
}

void TDBDivoRud::tfCurrentChanged() {
  if (IvtfToolForm* toolForm = ToolFormValue()) fCurrentRecShot->SelectByID(toolForm->tfCurrentValue(), true, false);
}

void TDBDivoRud::tfPostChanges() {
  IvtfToolForm* toolForm = ToolFormValue();
  // Without a marked record, or a key captured from it, the tool form keeps its value.
  if (!toolForm || !fCurrentRecShot->HasRecord() || fCurrentRecShot->IdentityValue().IsEmpty()) return;
  toolForm->tfSetResultValue(fCurrentRecShot->IdentityValue());
}

// ---------------------------------------------------------------------------------------------
// The snapshot side of the data link reactions. A notification has no caller to raise to: a
// failure goes to the dataset's exception handler.

void TDBDivoRud::RecordsActiveChanged() {
  try {
    fCurrentRow = -1;
    if (fCursorType == gctSensitive) {
      fCurrentRecShot->fBookmark.clear();
      fCurrentRecShot->Select(true);
    } else {
      UpdateCurrentInfo(0);
    }
  } catch (...) {
    if (TDataSet* dataSet = fDataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

void TDBDivoRud::RecordsDataChanged() {
  try {
    // A posted record may have a new bookmark: the mark takes it.
    if (fPosting)
      fCurrentRecShot->Select(true);
    else
      fCurrentRecShot->Update(true);
    UpdateCurrentInfo(0);
  } catch (...) {
    if (TDataSet* dataSet = fDataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

void TDBDivoRud::RecordsDataSetScrolled(int distance) {
  try {
    fCurrentRecShot->Update(true);
    if (distance != 0) UpdateCurrentInfo(distance);
  } catch (...) {
    if (TDataSet* dataSet = fDataLink->DataSet()) dataSet->HandleExceptionQuietly();
  }
}

}  // namespace zv
