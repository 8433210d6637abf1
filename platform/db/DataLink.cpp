// TDataSource passes a dataset's events to its links; TDataLink keeps a control's window of
// rows inside the dataset's window and turns events into its notifications.

#include "platform/db/DataLink.h"

#include "platform/classes/TypeInfo.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataSet.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS_WITH_PROPS(TDataSource, TComponent)
ZV_DEFINE_CLASS(TDataLink, TPersistent)

namespace {
inline constexpr TSet<TDataSetState> dsEditModes{dsEdit, dsInsert, dsSetKey};
}

// ---------------------------------------------------------------------------------------------
// TDataSource

void TDataSource::DeclareProperties(TPropTable<TDataSource>& t) {
  t.Prop("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
  t.Prop("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
  t.Prop("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
}

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  Destroying();
  SetDataSet(nullptr);
  while (!fDataLinks.empty()) RemoveDataLink(fDataLinks.back());
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == fDataSet) return;
  if (IsLinkedTo(dataSet)) DatabaseError(SCircularDataLink, this);
  if (fDataSet) {
    RemoveFreeNotification(fDataSet);
    fDataSet->RemoveDataSource(this);
  }
  if (dataSet) {
    dataSet->AddDataSource(this);
    FreeNotification(dataSet);
  }
}

// True when dataSet is this source's dataset's detail, directly or through other details:
// linking to it would make a circle.
bool TDataSource::IsLinkedTo(const TDataSet* dataSet) const {
  while (dataSet) {
    const TDataSource* master = dataSet->GetDataSource();
    if (!master) break;
    if (master == this) return true;
    dataSet = master->fDataSet;
  }
  return false;
}

void TDataSource::SetEnabled(bool value) {
  fEnabled = value;
  UpdateState();
}

void TDataSource::Edit() {
  if (fAutoEdit && fState == dsBrowse) fDataSet->Edit();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == fDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  SetState(fEnabled && fDataSet ? fDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState state) {
  if (fState == state) return;
  const TDataSetState prior = fState;
  fState = state;
  NotifyDataLinks(deUpdateState, 0);
  if (ComponentState().Contains(csDestroying)) return;
  if (OnStateChange) OnStateChange(this);
  if (prior == dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent event, std::intptr_t info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (fState == dsInactive) return;
  NotifyDataLinks(event, info);
  switch (event) {
    case deFieldChange:
      if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange) OnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

// Links that are not controls (a detail dataset's, say) go first, so that what a control
// shows is already up to date.
void TDataSource::NotifyDataLinks(TDataEvent event, std::intptr_t info) {
  NotifyLinkTypes(event, info, false);
  NotifyLinkTypes(event, info, true);
}

void TDataSource::NotifyLinkTypes(TDataEvent event, std::intptr_t info, bool linkType) {
  // A handler may add or remove links; those removed meanwhile are skipped.
  const std::vector<TDataLink*> links = fDataLinks;
  for (TDataLink* link : links) {
    if (event == deFocusControl && !*reinterpret_cast<TField**>(info)) return;  // a control took it
    if (link->fVisualControl != linkType) continue;
    if (std::find(fDataLinks.begin(), fDataLinks.end(), link) == fDataLinks.end()) continue;
    link->DataEvent(event, info);
  }
}

void TDataSource::AddDataLink(TDataLink* link) {
  fDataLinks.push_back(link);
  link->fDataSource = this;
  if (fDataSet) fDataSet->UpdateBufferCount();
  link->UpdateState();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
  link->fDataSource = nullptr;
  fDataLinks.erase(std::remove(fDataLinks.begin(), fDataLinks.end(), link), fDataLinks.end());
  link->UpdateState();
  if (fDataSet) fDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------------------------------------
// TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  if (fDataSource) fDataSource->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == fDataSource) return;
  if (fDataSource) fDataSource->RemoveDataLink(this);
  if (source) source->AddDataLink(this);
}

TDataSet* TDataLink::DataSet() const { return fDataSource ? fDataSource->DataSet() : nullptr; }

bool TDataLink::Edit() {
  if (!fReadOnly && fDataSource) fDataSource->Edit();
  return fEditing;
}

void TDataLink::SetReadOnly(bool value) {
  if (fReadOnly == value) return;
  fReadOnly = value;
  UpdateState();
}

int TDataLink::ActiveRecord() const {
  if (!fActive) return 0;
  return DataSet()->fActiveRecord - fFirstRecord;
}

// Controls move the dataset's active row to read another row's fields (painting a grid) and
// put it back; the row must be one of the dataset's window.
void TDataLink::SetActiveRecord(int value) {
  if (!fActive) return;
  TDataSet* ds = DataSet();
  const int row = value + fFirstRecord;
  if (row < 0 || row >= ds->BufferCount()) throw EListError(Format(SListIndexError, {value}));
  ds->fActiveRecord = row;
}

void TDataLink::SetBufferCount(int value) {
  if (fBufferCount == value) return;
  fBufferCount = std::max(value, 1);
  if (!fActive) return;
  UpdateRange();
  DataSet()->UpdateBufferCount();
  UpdateRange();
}

// Rows of this link's window that hold records: the window may start past the dataset's
// last valid row after records were deleted.
int TDataLink::RecordCount() const {
  if (!fActive) return 0;
  return std::clamp(DataSet()->fRecordCount - fFirstRecord, 0, fBufferCount);
}

TWindowPlace TDataLink::WindowPlace(const TBookmarkStr& bookmark) const {
  const int count = RecordCount();
  if (bookmark.empty() || count == 0) return wpNoWindow;
  const TDataSet* ds = DataSet();
  auto bookmarkAt = [&](int row, TBookmarkStr& out) {
    const TRecordBuffer* buffer = ds->Buffer(fFirstRecord + row);
    if (!buffer || ds->GetBookmarkFlag(*buffer) != bfCurrent) return false;
    out = ds->GetBookmarkData(*buffer);
    return !out.empty();
  };
  TBookmarkStr first, last;
  int top = 0;
  while (top < count && !bookmarkAt(top, first)) ++top;
  if (top == count) return wpNoWindow;
  int bottom = count - 1;
  while (bottom > top && !bookmarkAt(bottom, last)) --bottom;
  if (bottom == top) last = first;
  if (bookmark == first || bookmark == last) return wpInWindow;
  if (ds->CompareBookmarks(bookmark, first) < 0) return wpBefore;
  if (ds->CompareBookmarks(bookmark, last) > 0) return wpAfter;
  return wpInWindow;
}

void TDataLink::UpdateRecord() {
  fUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    fUpdating = false;
    throw;
  }
  fUpdating = false;
}

void TDataLink::UpdateRange() {
  const TDataSet* ds = DataSet();
  const int lowest = std::max(ds->fActiveRecord - fBufferCount + 1, 0);
  const int highest = std::min(std::max(ds->BufferCount() - fBufferCount, 0), ds->fActiveRecord);
  fFirstRecord = std::min(std::max(fFirstRecord, lowest), highest);
}

void TDataLink::SetActive(bool value) {
  if (fActive == value) return;
  fActive = value;
  if (value)
    UpdateRange();
  else
    fFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
  if (fEditing == value) return;
  fEditing = value;
  EditingChanged();
}

void TDataLink::UpdateState() {
  const TDataSetState state = fDataSource ? fDataSource->State() : dsInactive;
  SetActive(state != dsInactive);
  SetEditing(dsEditModes.Contains(state) && !fReadOnly);
}

// Scrolling: `info` is how many rows the dataset's window shifted (negative when records left
// at the top). The link's first row first follows its record, then moves just enough to keep
// the active record in view; that move is the distance the control scrolls.
void TDataLink::DataEvent(TDataEvent event, std::intptr_t info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!fActive) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!fUpdating) RecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      int distance = 0;
      const TDataSet* ds = DataSet();
      if (ds->fRecordCount > 0) {
        const int active = ds->fActiveRecord;
        const int first = fFirstRecord + static_cast<int>(info);
        const int last = first + fBufferCount - 1;
        if (active > last)
          distance = active - last;
        else if (active < first)
          distance = active - first;
        fFirstRecord = first + distance;
      }
      if (event == deDataSetChange)
        DataSetChanged();
      else if (event == deDataSetScroll)
        DataSetScrolled(distance);
      else
        LayoutChanged();
      break;
    }
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      CheckBrowseMode();
      break;
    case deFocusControl:
      FocusControl(reinterpret_cast<TField**>(info));
      break;
    default:
      break;
  }
}

}  // namespace zv
