// TDataSet: opening and closing, the buffer window, moving and bookmarks, temporary states and
// the data events sent to data sources. Editing is in DataSetEditing.cpp; fields, searching and
// calculated fields in DataSetFields.cpp.
//
// Sections: errors; opening and closing; the buffer window; moving and bookmarks; data events.

#include "platform/db/DataSet.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataLink.h"
#include "platform/db/detail/DataSetInternal.h"
#include "platform/db/FieldDefs.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

using namespace dataset_detail;

ZV_DEFINE_CLASS_WITH_PROPS(TDataSet, TComponent)

void TDataSet::DeclareProperties(TPropTable<TDataSet>& t) {
  t.Prop("Active", &TDataSet::Active, &TDataSet::SetActive).Default(false);
  t.Prop("AutoCalcFields", &TDataSet::AutoCalcFields, &TDataSet::SetAutoCalcFields).Default(true);
}

namespace {

// Bigger windows are of no use to a control and would only cost memory.
constexpr int MaxBufferCount = 1024;

TDataSetExceptionHandler& ExceptionHandler() {
  static TDataSetExceptionHandler handler;
  return handler;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Errors

void DatabaseError(const String& message, const TComponent* component) {
  if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
  throw EDatabaseError(message);
}

void SetDataSetExceptionHandler(TDataSetExceptionHandler handler) { ExceptionHandler() = std::move(handler); }

const TDataSetExceptionHandler& DataSetExceptionHandler() { return ExceptionHandler(); }

void TDataSet::InternalHandleException() {
  const TDataSetExceptionHandler handler = ExceptionHandler();  // a copy: it may replace itself
  if (!handler) throw;
  try {
    throw;
  } catch (const std::exception& e) {
    handler(this, e);
  } catch (...) {
    handler(this, Exception("Unknown exception"));
  }
}

void TDataSet::HandleExceptionQuietly() noexcept {
  try {
    InternalHandleException();
  } catch (...) {
    // No handler, and no caller to give it to.
  }
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), fFields(this) {}

TDataSet::~TDataSet() {
  Destroying();
  // Descendants close in their own destructors: the cursor operations are theirs, and C++ no
  // longer reaches them from here. What is left to undo is the links to other objects.
  fState = dsInactive;
  while (!fDataSources.empty()) fDataSources.back()->SetDataSet(nullptr);
  DestroyFields();
  fFields.Clear();
}

bool TDataSet::Active() const { return fState != dsInactive && fState != dsOpening; }

void TDataSet::SetActive(bool value) {
  // A form being read opens its datasets once everything they refer to is there.
  if (ComponentState().Contains(csReading)) {
    fStreamedActive = value;
    return;
  }
  if (Active() == value) return;
  const bool destroying = ComponentState().Contains(csDestroying);
  if (value) {
    if (BeforeOpen) BeforeOpen(this);
    try {
      OpenCursor(false);
    } catch (...) {
      // A cursor that failed half way is closed again, so that Open can be retried.
      fState = dsInactive;
      CloseCursor();
      throw;
    }
    SetState(dsBrowse);
    LookupDataChanged();
    if (AfterOpen) AfterOpen(this);
    if (!IsEmpty()) DoAfterScroll();
  } else {
    if (!destroying && BeforeClose) BeforeClose(this);
    SetState(dsInactive);
    CloseCursor();
    LookupDataChanged();
    if (!destroying && AfterClose) AfterClose(this);
  }
}

// As the host: a failure to open while designing goes to the application's handler, so that
// the rest of the form still loads; at run time it reaches the code that loads the form.
void TDataSet::Loaded() {
  TComponent::Loaded();
  if (!fStreamedActive) return;
  fStreamedActive = false;
  try {
    SetActive(true);
  } catch (...) {
    if (!ComponentState().Contains(csDesigning)) throw;
    InternalHandleException();
  }
}

void TDataSet::OpenCursor(bool infoQuery) {
  if (infoQuery) {
    InternalInitFieldDefs();
    return;
  }
  InternalInitFieldDefs();
  const bool madeDataFields =
      std::any_of(fFields.begin(), fFields.end(), [](const TField* f) { return f->FieldKind() == fkData; });
  if (!madeDataFields) {
    const std::vector<TField*> before(fFields.begin(), fFields.end());
    // Remembered even when a definition fails half way, so that closing destroys them.
    TryFinally([&] { CreateFields(); },
               [&] {
                 for (TField* f : fFields)
                   if (std::find(before.begin(), before.end(), f) == before.end()) fDefaultFieldList.push_back(f);
               });
    // The made fields go first, in the order of the definitions.
    for (std::size_t i = 0; i < fDefaultFieldList.size(); ++i)
      fFields.Move(fFields.IndexOf(fDefaultFieldList[i]), static_cast<int>(i));
  }
  BindFields();
  InternalOpen();
  InternalFirst();
  // Sizing the window to the links reads the first rows.
  UpdateBufferCount();
  fBOF = true;
}

void TDataSet::CloseCursor() {
  ClearBuffers();
  fBuffers.clear();
  fBufferCount = 0;
  if (IsCursorOpen()) InternalClose();
  DestroyDefaultFields();
}

void TDataSet::CheckActive() const {
  if (fState == dsInactive) DatabaseError(SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, this);
}

bool TDataSet::IsEmpty() const { return fActiveRecord >= fRecordCount; }

// ---------------------------------------------------------------------------------------------
// The buffer window
//
// fBuffers holds fBufferCount rows and a spare at the end, where the next record is read
// before it joins the window. Rows 0..fRecordCount-1 are valid; fCurrentRecord is the row whose
// record the descendant's cursor is on, -1 when that is unknown.

TRecordBuffer* TDataSet::Buffer(int index) const {
  if (index < 0 || index >= static_cast<int>(fBuffers.size())) return nullptr;
  return fBuffers[static_cast<std::size_t>(index)].get();
}

TRecordBuffer* TDataSet::ActiveBuffer() const { return Buffer(fActiveRecord); }

TRecordBuffer* TDataSet::GetActiveRecordBuffer() const {
  switch (fState) {
    case dsBrowse:
      return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
      return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc:
      return fCalcBuffer;
    default:
      return nullptr;
  }
}

void TDataSet::InitRecord(TRecordBuffer& buffer) {
  InternalInitRecord(buffer);
  ClearCalcFields(buffer);
  SetBookmarkData(buffer, TBookmarkStr());
  SetBookmarkFlag(buffer, bfInserted);
}

TGetResult TDataSet::FetchRecord(TRecordBuffer& buffer, TGetMode mode, bool doCheck) {
  const TGetResult result = GetRecord(buffer, mode, doCheck);
  if (result != grOK) return result;
  try {
    GetCalcFields(buffer);
  } catch (...) {
    // The descendant's cursor is on a record that did not join the window.
    CursorPosChanged();
    throw;
  }
  return result;
}

void TDataSet::ClearBuffers() {
  fRecordCount = 0;
  fActiveRecord = 0;
  fCurrentRecord = -1;
  fBOF = true;
  fEOF = true;
}

void TDataSet::ActivateBuffers() {
  fRecordCount = 1;
  fActiveRecord = 0;
  fCurrentRecord = 0;
  fBOF = false;
  fEOF = false;
}

// Moves one buffer to another row, the rows between shifting by one; the cursor's row follows
// its buffer.
void TDataSet::MoveBuffer(int from, int to) {
  if (from == to) return;
  const auto b = fBuffers.begin();
  if (from < to)
    std::rotate(b + from, b + from + 1, b + to + 1);
  else
    std::rotate(b + to, b + from, b + from + 1);
  if (fCurrentRecord == from)
    fCurrentRecord = to;
  else if (from < to && fCurrentRecord > from && fCurrentRecord <= to)
    --fCurrentRecord;
  else if (from > to && fCurrentRecord >= to && fCurrentRecord < from)
    ++fCurrentRecord;
}

void TDataSet::SetCurrentRecord(int index) {
  if (fCurrentRecord == index) return;
  TRecordBuffer& buffer = *fBuffers[static_cast<std::size_t>(index)];
  switch (GetBookmarkFlag(buffer)) {
    case bfCurrent:
    case bfInserted:
      InternalSetToRecord(buffer);
      break;
    case bfBOF:
      InternalFirst();
      break;
    case bfEOF:
      InternalLast();
      break;
  }
  fCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
  if (fRecordCount > 0) SetCurrentRecord(fActiveRecord);
}

// Reads the record after the window's last row into the window: a new row while the window
// has room, else the first row drops out.
bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (fRecordCount > 0) {
    SetCurrentRecord(fRecordCount - 1);
    // A record being inserted at the end is not in the table yet: the cursor's record follows.
    if (fState == dsInsert && fCurrentRecord == fActiveRecord && GetBookmarkFlag(*ActiveBuffer()) == bfCurrent)
      mode = gmCurrent;
  }
  const bool ok = FetchRecord(*fBuffers[static_cast<std::size_t>(fRecordCount)], mode, true) == grOK;
  if (!ok) {
    CursorPosChanged();
    return false;
  }
  if (fRecordCount == 0) {
    ActivateBuffers();
  } else {
    if (fRecordCount < static_cast<int>(fBufferCount))
      ++fRecordCount;
    else
      MoveBuffer(0, fRecordCount);
    fCurrentRecord = fRecordCount - 1;
  }
  return true;
}

// Reads the record before the window's first row into row 0; the active row moves down with
// its record while the window has room.
bool TDataSet::GetPriorRecord() {
  if (fRecordCount > 0) SetCurrentRecord(0);
  const bool ok = FetchRecord(*fBuffers[static_cast<std::size_t>(fRecordCount)], gmPrior, true) == grOK;
  if (!ok) {
    CursorPosChanged();
    return false;
  }
  if (fRecordCount == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(fRecordCount, 0);
    if (fRecordCount < static_cast<int>(fBufferCount)) {
      ++fRecordCount;
      ++fActiveRecord;
    }
    fCurrentRecord = 0;
  }
  return true;
}

int TDataSet::GetNextRecords() {
  int n = 0;
  while (fRecordCount < static_cast<int>(fBufferCount) && GetNextRecord()) ++n;
  return n;
}

int TDataSet::GetPriorRecords() {
  int n = 0;
  while (fRecordCount < static_cast<int>(fBufferCount) && GetPriorRecord()) ++n;
  return n;
}

// Links keep their first row on the same record when rows are added before it or drop out.
void TDataSet::AdjustFirstRecord(int delta) {
  if (delta == 0) return;
  for (TDataSource* source : fDataSources)
    for (TDataLink* link : source->fDataLinks)
      if (link->fActive) link->fFirstRecord += delta;
}

void TDataSet::SetBufferCount(int count) {
  count = std::clamp(count, 0, MaxBufferCount);
  const int old = static_cast<int>(fBufferCount);
  if (count == old) return;
  if (count < old && fRecordCount > 0) {
    // Drop rows from the top as far as the links' windows allow, keeping the active record.
    int delta = fActiveRecord;
    for (TDataSource* source : fDataSources)
      for (TDataLink* link : source->fDataLinks)
        if (link->fActive && link->fFirstRecord < delta) delta = link->fFirstRecord;
    delta = std::max({delta, fActiveRecord - count + 1, 0});
    std::rotate(fBuffers.begin(), fBuffers.begin() + delta, fBuffers.end());
    fActiveRecord -= delta;
    if (fCurrentRecord >= 0) fCurrentRecord -= delta;
    if (fCurrentRecord < 0 || fCurrentRecord >= count) fCurrentRecord = -1;
    fRecordCount = std::min(fRecordCount - delta, count);
    AdjustFirstRecord(-delta);
  }
  if (count + 1 < static_cast<int>(fBuffers.size())) {
    fBuffers.resize(static_cast<std::size_t>(count) + 1);
  } else {
    while (static_cast<int>(fBuffers.size()) < count + 1) fBuffers.push_back(AllocRecordBuffer());
  }
  fBufferCount = static_cast<std::size_t>(count);
  if (fRecordCount > count) fRecordCount = count;
  if (!ComponentState().Contains(csDestroying) && count > 0) {
    GetNextRecords();
    AdjustFirstRecord(GetPriorRecords());
  }
}

// The window is as tall as the tallest link asks, one row at least.
void TDataSet::UpdateBufferCount() {
  if (ComponentState().Contains(csDestroying) || !IsCursorOpen()) return;
  int count = 1;
  for (TDataSource* source : fDataSources)
    for (TDataLink* link : source->fDataLinks) count = std::max(count, link->fBufferCount);
  SetBufferCount(count);
}

// Refills the window around the cursor's record: centred, or with the active record kept on
// its row. rmExact requires the record to be there still.
void TDataSet::Resync(TResyncMode mode) {
  if (static_cast<std::size_t>(fRecordCount) >= fBuffers.size()) return;  // closed
  TRecordBuffer& spare = *fBuffers[static_cast<std::size_t>(fRecordCount)];
  if (mode.Contains(rmExact)) {
    CursorPosChanged();
    if (FetchRecord(spare, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound, this);
  } else if (FetchRecord(spare, gmCurrent, false) != grOK && FetchRecord(spare, gmNext, false) != grOK &&
             FetchRecord(spare, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  int count = mode.Contains(rmCenter) ? (static_cast<int>(fBufferCount) - 1) / 2 : fActiveRecord;
  MoveBuffer(fRecordCount, 0);
  ActivateBuffers();
  TryFinally(
      [&] {
        while (count > 0 && GetPriorRecord()) --count;
        GetNextRecords();
        GetPriorRecords();
      },
      [&] { DataEvent(deDataSetChange, 0); });
}

// ---------------------------------------------------------------------------------------------
// Moving and bookmarks

void TDataSet::DoBeforeScroll() {
  if (fScrollEventLock == 0 && BeforeScroll) BeforeScroll(this);
}

void TDataSet::DoAfterScroll() {
  if (fScrollEventLock == 0 && AfterScroll) AfterScroll(this);
}

void TDataSet::First() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  TryFinally(
      [&] {
        InternalFirst();
        GetNextRecord();
        GetNextRecords();
      },
      [&] {
        fBOF = true;
        DataEvent(deDataSetChange, 0);
      });
  DoAfterScroll();
}

void TDataSet::Last() {
  CheckBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  TryFinally(
      [&] {
        InternalLast();
        GetPriorRecord();
        GetPriorRecords();
      },
      [&] {
        fEOF = true;
        DataEvent(deDataSetChange, 0);
      });
  DoAfterScroll();
}

// Moves the active record; past the window's edge the window shifts a row at a time. Links
// hear by how many rows the window shifted (negative when moving forward, as rows leave at
// the top), so that a control can scroll what it has painted.
int TDataSet::MoveBy(int distance) {
  CheckBrowseMode();
  int result = 0;
  DoBeforeScroll();
  if ((distance > 0 && !fEOF) || (distance < 0 && !fBOF)) {
    fBOF = false;
    fEOF = false;
    int shifted = 0;
    auto step = [&] {
      while (distance > 0) {
        if (fActiveRecord < fRecordCount - 1) {
          ++fActiveRecord;
        } else {
          const bool full = fRecordCount >= static_cast<int>(fBufferCount);
          if (!GetNextRecord()) {
            fEOF = true;
            break;
          }
          if (full)
            --shifted;
          else
            fActiveRecord = fRecordCount - 1;
        }
        --distance;
        ++result;
      }
      while (distance < 0) {
        if (fActiveRecord > 0) {
          --fActiveRecord;
        } else {
          const bool full = fRecordCount >= static_cast<int>(fBufferCount);
          if (!GetPriorRecord()) {
            fBOF = true;
            break;
          }
          if (full)
            ++shifted;
          else
            fActiveRecord = 0;
        }
        ++distance;
        --result;
      }
    };
    TryFinally(step, [&] { DataEvent(deDataSetScroll, shifted); });
    DoAfterScroll();
  }
  return result;
}

int TDataSet::RecordCount() const { return -1; }
int TDataSet::RecNo() const { return -1; }
void TDataSet::SetRecNo(int) {}
bool TDataSet::IsSequenced() const { return true; }

bool TDataSet::BookmarkAvailable() const {
  return (fState == dsBrowse || fState == dsEdit || fState == dsInsert) && !IsEmpty() &&
         GetBookmarkFlag(*ActiveBuffer()) == bfCurrent;
}

TBookmarkStr TDataSet::Bookmark() const {
  return BookmarkAvailable() ? GetBookmarkData(*ActiveBuffer()) : TBookmarkStr();
}

void TDataSet::SetBookmark(const TBookmarkStr& bookmark) { GotoBookmark(bookmark); }

void TDataSet::GotoBookmark(const TBookmarkStr& bookmark) {
  if (bookmark.empty()) return;
  CheckBrowseMode();
  DoBeforeScroll();
  InternalGotoBookmark(bookmark);
  Resync({rmExact, rmCenter});
  DoAfterScroll();
}

bool TDataSet::BookmarkValid(const TBookmarkStr&) const { return false; }
int TDataSet::CompareBookmarks(const TBookmarkStr&, const TBookmarkStr&) const { return 0; }

// ---------------------------------------------------------------------------------------------
// Data events

void TDataSet::SetState(TDataSetState state) {
  if (fState == state) return;
  fState = state;
  fModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState state) {
  const TDataSetState old = fState;
  fState = state;
  return old;
}

void TDataSet::RestoreState(TDataSetState state) { fState = state; }

void TDataSet::AddDataSource(TDataSource* source) {
  fDataSources.push_back(source);
  source->fDataSet = this;
  UpdateBufferCount();
  source->DataEvent(deUpdateState, 0);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
  source->fDataSet = nullptr;
  fDataSources.erase(std::remove(fDataSources.begin(), fDataSources.end(), source), fDataSources.end());
  UpdateBufferCount();
  source->DataEvent(deUpdateState, 0);
}

void TDataSet::DisableControls() {
  if (fDisableCount == 0) {
    fDisableState = fState;
    fDisabledEvent = deDataSetChange;
    fHasDisabledEvent = false;
  }
  ++fDisableCount;
}

// The last EnableControls tells the controls what they missed: the state when it changed,
// then one change of the whole dataset (or of its layout) when anything happened.
void TDataSet::EnableControls() {
  if (fDisableCount == 0) return;
  if (--fDisableCount > 0) return;
  if (fDisableState != fState) DataEvent(deUpdateState, 0);
  if (fHasDisabledEvent && fDisableState != dsInactive && fState != dsInactive) DataEvent(fDisabledEvent, 0);
  fHasDisabledEvent = false;
}

void TDataSet::DataEvent(TDataEvent event, std::intptr_t info) {
  TField* field = event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr;
  switch (event) {
    case deFieldChange:
      if (field && (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) {
        fModified = true;
        // The calculated values follow the record as it is edited (before the controls hear).
        if (fAutoCalcFields && (fState == dsEdit || fState == dsInsert)) GetCalcFields(*ActiveBuffer());
      }
      break;
    case dePropertyChange:
      if (fFieldDefs) fFieldDefs->SetUpdated(false);
      break;
    default:
      break;
  }
  if (fDisableCount == 0 && fState != dsBlockRead) {
    // A handler may detach a source.
    const std::vector<TDataSource*> sources = fDataSources;
    for (TDataSource* source : sources) {
      // The first control that took the focus cleared the field: the others are not asked.
      if (event == deFocusControl && !*reinterpret_cast<TField**>(info)) break;
      source->DataEvent(event, info);
    }
  } else {
    switch (event) {
      case deLayoutChange:
        fDisabledEvent = deLayoutChange;
        fHasDisabledEvent = true;
        break;
      case deUpdateState:
        if (fState == dsInactive) fDisabledEvent = deLayoutChange;
        fHasDisabledEvent = true;
        break;
      case deUpdateRecord:
      case deCheckBrowseMode:
      case deFocusControl:
        break;  // requests to the controls, nothing for them to redraw
      default:
        fHasDisabledEvent = true;
        break;
    }
  }
  if (field && fState != dsSetKey && fState != dsFilter) field->Change();
}

}  // namespace zv

