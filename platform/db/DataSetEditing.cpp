// TDataSet: the editing states (edit, insert, append), posting, cancelling and deleting, the
// error events that may fail, abort or retry an operation, and refreshing.

#include "platform/db/DataSet.h"

#include "platform/db/DBConsts.h"
#include "platform/db/detail/DataSetInternal.h"
#include "platform/rtl/Format.h"

namespace zv {

using namespace dataset_detail;

bool TDataSet::CanModify() const { return true; }

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
}

void TDataSet::DoOnNewRecord() {
  if (OnNewRecord) OnNewRecord(this);
}

void TDataSet::CheckOperation(void (TDataSet::*operation)(), const TDataSetErrorEvent& onError) {
  for (;;) {
    try {
      UpdateCursorPos();
      (this->*operation)();
      return;
    } catch (EDatabaseError& e) {
      TDataAction action = daFail;
      if (onError) onError(this, e, action);
      if (action == daFail) throw;
      if (action == daAbort) Abort();
    }
  }
}

void TDataSet::Edit() {
  if (fState == dsEdit || fState == dsInsert) return;
  if (fRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  if (BeforeEdit) BeforeEdit(this);
  CheckOperation(&TDataSet::InternalEdit, OnEditError);
  GetCalcFields(*ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  if (AfterEdit) AfterEdit(this);
}

void TDataSet::BeginInsertAppend() {
  CheckBrowseMode();
  CheckCanModify();
  if (BeforeInsert) BeforeInsert(this);
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    DoOnNewRecord();
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  fModified = false;
  DataEvent(deDataSetChange, 0);
  if (AfterInsert) AfterInsert(this);
}

// The new record takes the active row; it remembers the record it was inserted before, so
// that the cursor can be put back there.
void TDataSet::Insert() {
  BeginInsertAppend();
  const TBookmarkStr before = Bookmark();
  MoveBuffer(fRecordCount, fActiveRecord);
  TRecordBuffer& buffer = *ActiveBuffer();
  InitRecord(buffer);
  if (fRecordCount == 0)
    SetBookmarkFlag(buffer, bfBOF);
  else
    SetBookmarkData(buffer, before);
  if (fRecordCount < static_cast<int>(fBufferCount)) ++fRecordCount;
  InternalInsert();
  EndInsertAppend();
}

// The new record goes to the bottom row, after the last records.
void TDataSet::Append() {
  BeginInsertAppend();
  ClearBuffers();
  TRecordBuffer& buffer = *fBuffers[0];
  InitRecord(buffer);
  SetBookmarkFlag(buffer, bfEOF);
  fRecordCount = 1;
  fBOF = false;
  GetPriorRecords();
  InternalInsert();
  EndInsertAppend();
}

// A failing post leaves the record in edit or insert state with what the user typed.
void TDataSet::Post() {
  UpdateRecord();
  if (fState != dsEdit && fState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforePost) BeforePost(this);
  CheckOperation(&TDataSet::InternalPost, OnPostError);
  SetState(dsBrowse);
  LookupDataChanged();
  Resync({});
  if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
  if (fState != dsEdit && fState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeCancel) BeforeCancel(this);
  const bool scrolls = fState == dsInsert;
  if (scrolls) DoBeforeScroll();
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  if (AfterCancel) AfterCancel(this);
  if (scrolls) DoAfterScroll();
}

void TDataSet::Delete() {
  CheckActive();
  if (fState == dsInsert || fState == dsSetKey) {
    Cancel();
    return;
  }
  if (fRecordCount == 0) DatabaseError(SDataSetEmpty, this);
  DataEvent(deCheckBrowseMode, 0);
  if (BeforeDelete) BeforeDelete(this);
  DoBeforeScroll();
  CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
  SetState(dsBrowse);
  LookupDataChanged();
  Resync({});
  if (AfterDelete) AfterDelete(this);
  DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (fState) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (fModified)
        Post();
      else
        Cancel();
      break;
    case dsSetKey:
      Post();
      break;
    default:
      break;
  }
}

// Asks the controls to write what they hold into the record.
void TDataSet::UpdateRecord() {
  if (!dsEditModes.Contains(fState)) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::InternalPost() { CheckRequiredFields(); }

void TDataSet::CheckRequiredFields() {
  for (TField* f : fFields) {
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
      // A control showing the field takes the focus, so the user sees what is missing.
      f->FocusControl();
      DatabaseErrorFmt(SFieldRequired, {f->DisplayName()});
    }
  }
}

void TDataSet::SetFields(const std::vector<Variant>& values) {
  if (values.size() > static_cast<std::size_t>(fFields.Count())) fFields.Fields(static_cast<int>(values.size()) - 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    TField* field = fFields.Fields(static_cast<int>(i));
    if (values[i].IsNull() || values[i].IsEmpty())
      field->Clear();
    else
      field->SetAsVariant(values[i]);
  }
}

void TDataSet::InsertRecord(const std::vector<Variant>& values) { AddRecord(values, false); }
void TDataSet::AppendRecord(const std::vector<Variant>& values) { AddRecord(values, true); }

// The record is made in the active row, in the insert state but without telling the controls,
// and handed to the descendant whole; then the window is read again around it.
void TDataSet::AddRecord(const std::vector<Variant>& values, bool append) {
  BeginInsertAppend();
  if (!append) UpdateCursorPos();
  TControlsGuard quiet(*this);
  MoveBuffer(fRecordCount, fActiveRecord);
  try {
    TRecordBuffer& buffer = *ActiveBuffer();
    InitRecord(buffer);
    fState = dsInsert;
    TryFinally(
        [&] {
          DoOnNewRecord();
          if (AfterInsert) AfterInsert(this);
          SetFields(values);
          if (BeforePost) BeforePost(this);
          CheckRequiredFields();
          InternalAddRecord(buffer, append);
        },
        [&] {
          fState = dsBrowse;
          fModified = false;
        });
  } catch (...) {
    MoveBuffer(fActiveRecord, fRecordCount);
    CursorPosChanged();
    throw;
  }
  LookupDataChanged();
  Resync({});
  if (AfterPost) AfterPost(this);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  if (BeforeRefresh) BeforeRefresh(this);
  UpdateCursorPos();
  TryFinally([&] { InternalRefresh(); }, [&] {
    LookupDataChanged();
    Resync({});
  });
  if (AfterRefresh) AfterRefresh(this);
}

void TDataSet::ClearFields() {
  if (!dsEditModes.Contains(fState)) DatabaseError(SNotEditing, this);
  DataEvent(deCheckBrowseMode, 0);
  InternalInitRecord(*ActiveBuffer());
  if (fState == dsSetKey)
    ClearCalcFields(*ActiveBuffer());
  else
    GetCalcFields(*ActiveBuffer());
  DataEvent(deRecordChange, 0);
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField*, TBlobStreamMode) { return nullptr; }

}  // namespace zv
