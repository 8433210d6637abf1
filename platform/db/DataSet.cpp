// TDataSet: opening and closing, the buffer window, moving, bookmarks, searching, editing
// states and the data events sent to data sources.
//
// Sections: errors and helpers; TFields; opening and closing; the buffer window; moving and
// bookmarks; searching and field values; editing; data events.

#include "platform/db/DataSet.h"

#include "platform/classes/Strings.h"
#include "platform/db/DBConsts.h"
#include "platform/db/DataLink.h"
#include "platform/db/FieldDefs.h"
#include "platform/rtl/Consts.h"
#include "platform/rtl/Format.h"

#include <algorithm>

namespace zv {

ZV_DEFINE_CLASS(TDataSet, TComponent)

namespace {

// Bigger windows are of no use to a control and would only cost memory.
constexpr int MaxBufferCount = 1024;

inline constexpr TSet<TDataSetState> dsEditModes{dsEdit, dsInsert, dsSetKey};

// Counts a scope in, and out however it ends.
struct TCounterGuard {
  int& Counter;
  explicit TCounterGuard(int& counter) : Counter(++counter) {}
  ~TCounterGuard() { --Counter; }
};

// Keeps controls quiet for a scope.
struct TControlsGuard {
  TDataSet& DataSet;
  explicit TControlsGuard(TDataSet& dataSet) : DataSet(dataSet) { DataSet.DisableControls(); }
  ~TControlsGuard() {
    try {
      DataSet.EnableControls();
    } catch (...) {
      // A control that fails to repaint must not replace the error that unwound the scope.
    }
  }
};

// Runs body, then finish, whether body fails or not (the host's try..finally).
template <class Body, class Finish>
void TryFinally(Body&& body, Finish&& finish) {
  try {
    body();
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// The names of a ";" list, trimmed, empty entries left out.
std::vector<String> SplitFieldNames(const String& names) {
  std::vector<String> list;
  std::size_t start = 0;
  while (start <= names.size()) {
    std::size_t end = names.find(';', start);
    if (end == String::npos) end = names.size();
    String name = Trim(std::string_view(names).substr(start, end - start));
    if (!name.empty()) list.push_back(std::move(name));
    start = end + 1;
  }
  return list;
}

// The i-th of the key values given to Locate or Lookup: the value itself for one field.
Variant KeyValue(const Variant& keyValues, std::size_t index, std::size_t count) {
  if (!keyValues.IsArray()) {
    if (count == 1) return keyValues;
    throw EVariantError(SVarNotArray);
  }
  return keyValues.GetElement(VarArrayLowBound(keyValues, 1) + static_cast<int>(index));
}

bool MatchesKey(const TField& field, const Variant& key, TLocateOptions options) {
  if (key.IsNull() || key.IsEmpty()) return field.IsNull();
  if (field.IsNull()) return false;
  const Variant value = field.AsVariant();
  if (VarIsStr(value)) {
    // Text compares as text, whatever the key's kind, so that the options apply.
    String text = VarToStr(value);
    String wanted = VarToStr(key);
    if (options.Contains(loCaseInsensitive)) {
      text = AnsiLowerCase(text);
      wanted = AnsiLowerCase(wanted);
    }
    if (options.Contains(loPartialKey)) return text.compare(0, wanted.size(), wanted) == 0;
    return text == wanted;
  }
  try {
    return VarCompareValue(value, key) == vrEqual;
  } catch (const Exception&) {
    return false;  // a key that is not even of the field's kind matches nothing
  }
}

}  // namespace

void DatabaseError(const String& message, const TComponent* component) {
  if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
  throw EDatabaseError(message);
}

// ---------------------------------------------------------------------------------------------
// TFields

TField* TFields::Fields(int index) const {
  if (index < 0 || index >= Count()) DatabaseError(SFieldIndexError, fDataSet);
  return fList[static_cast<std::size_t>(index)];
}

TField* TFields::FindField(std::string_view name) const {
  for (TField* f : fList)
    if (AnsiSameText(f->FieldName(), name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(std::string_view name) const {
  TField* f = FindField(name);
  if (!f) DatabaseError(Format(SFieldNotFound, {name}), fDataSet);
  return f;
}

int TFields::IndexOf(const TField* field) const {
  const auto it = std::find(fList.begin(), fList.end(), field);
  return it == fList.end() ? -1 : static_cast<int>(it - fList.begin());
}

void TFields::Add(TField* field) {
  if (IndexOf(field) >= 0) return;
  if (!field->FieldName().empty()) {
    const TField* other = FindField(field->FieldName());
    if (other && other != field) DatabaseError(Format(SDuplicateFieldName, {field->FieldName()}), fDataSet);
  }
  fList.push_back(field);
  if (fDataSet && !fDataSet->ComponentState().Contains(csDestroying)) fDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Remove(TField* field) {
  const int i = IndexOf(field);
  if (i < 0) return;
  fList.erase(fList.begin() + i);
  if (fDataSet && !fDataSet->ComponentState().Contains(csDestroying)) fDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Clear() {
  // Detaching a field removes it from this list through TField::SetDataSet.
  while (!fList.empty()) {
    TField* f = fList.back();
    f->SetDataSet(nullptr);
    if (!fList.empty() && fList.back() == f) fList.pop_back();
  }
}

void TFields::Move(int from, int to) {
  if (from < 0 || from >= Count()) DatabaseError(SFieldIndexError, fDataSet);
  to = std::clamp(to, 0, Count() - 1);
  if (from == to) return;
  TField* f = fList[static_cast<std::size_t>(from)];
  fList.erase(fList.begin() + from);
  fList.insert(fList.begin() + to, f);
  if (fDataSet) fDataSet->DataEvent(deFieldListChange, 0);
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
    if (AfterOpen) AfterOpen(this);
    if (!IsEmpty()) DoAfterScroll();
  } else {
    if (!destroying && BeforeClose) BeforeClose(this);
    SetState(dsInactive);
    CloseCursor();
    if (!destroying && AfterClose) AfterClose(this);
  }
}

void TDataSet::OpenCursor(bool infoQuery) {
  if (infoQuery) {
    InternalInitFieldDefs();
    return;
  }
  InternalInitFieldDefs();
  fDefaultFields = FieldCount() == 0;
  if (fDefaultFields) CreateFields();
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
  if (fDefaultFields) {
    DestroyFields();
    fDefaultFields = false;
  }
}

void TDataSet::CreateFields() {
  TFieldDefs& defs = FieldDefs();
  for (int i = 0; i < defs.Count(); ++i) {
    TFieldDef* def = defs[i];
    if (def->DataType() == ftUnknown || def->Attributes().Contains(faHiddenCol)) continue;
    def->CreateField(this);
  }
}

void TDataSet::DestroyFields() {
  // Fields the dataset created are its components; the others only leave it.
  const std::vector<TField*> fields(fFields.begin(), fFields.end());
  for (TField* f : fields) {
    if (f->Owner() == this) {
      fFields.Remove(f);  // a field does not leave a dataset that is being destroyed itself
      delete f;
    } else {
      f->SetDataSet(nullptr);
    }
  }
}

// Fields find their column through FieldNo, taken from the definition of the same name.
void TDataSet::BindFields() {
  if (!fFieldDefs) return;
  for (TField* f : fFields) {
    if (f->FieldKind() != fkData) continue;
    const int i = fFieldDefs->IndexOf(f->FieldName());
    if (i < 0) DatabaseError(Format(SFieldNotFound, {f->FieldName()}), this);
    f->SetFieldNo((*fFieldDefs)[i]->FieldNo());
  }
}

TFieldDefs& TDataSet::FieldDefs() {
  if (!fFieldDefs) fFieldDefs = std::make_unique<TFieldDefs>(this);
  return *fFieldDefs;
}

void TDataSet::CheckActive() const {
  if (fState == dsInactive) DatabaseError(SDataSetClosed, this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, this);
}

bool TDataSet::CanModify() const { return true; }

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, this);
}

bool TDataSet::IsEmpty() const { return fActiveRecord >= fRecordCount; }

void TDataSet::InternalHandleException() {
  // The host hands the exception to the application object; this layer has none, so the
  // caller's handler sees it.
}

void TDataSet::DoOnNewRecord() {
  if (OnNewRecord) OnNewRecord(this);
}

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
    default:
      return nullptr;
  }
}

void TDataSet::InitRecord(TRecordBuffer& buffer) {
  InternalInitRecord(buffer);
  SetBookmarkData(buffer, TBookmarkStr());
  SetBookmarkFlag(buffer, bfInserted);
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
  const bool ok = GetRecord(*fBuffers[static_cast<std::size_t>(fRecordCount)], mode, true) == grOK;
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
  const bool ok = GetRecord(*fBuffers[static_cast<std::size_t>(fRecordCount)], gmPrior, true) == grOK;
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
    if (GetRecord(spare, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound, this);
  } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
             GetRecord(spare, gmPrior, false) != grOK) {
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
// Searching and field values

// Walks the records from the first with controls quiet. On a match the window is rebuilt
// around it; otherwise the window is rebuilt as it was, with the same record on the same row.
// Callers have put the dataset in browse mode.
bool TDataSet::LocateRecord(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  const std::vector<TField*> fields = GetFieldList(keyFields);
  if (fields.empty() || IsEmpty()) return false;
  std::vector<Variant> keys;
  for (std::size_t i = 0; i < fields.size(); ++i) keys.push_back(KeyValue(keyValues, i, fields.size()));

  const TBookmarkStr saved = Bookmark();
  const int savedRow = fActiveRecord;
  TControlsGuard quiet(*this);
  TCounterGuard noScrollEvents(fScrollEventLock);
  bool found = false;
  for (First(); !Eof(); Next()) {
    found = true;
    for (std::size_t i = 0; i < fields.size() && found; ++i) found = MatchesKey(*fields[i], keys[i], options);
    if (found) break;
  }
  if (found) {
    UpdateCursorPos();
    Resync({rmExact, rmCenter});
  } else if (!saved.empty()) {
    InternalGotoBookmark(saved);
    fActiveRecord = savedRow;
    Resync({rmExact});
  } else {
    First();
  }
  return found;
}

bool TDataSet::Locate(const String& keyFields, const Variant& keyValues, TLocateOptions options) {
  CheckBrowseMode();
  DoBeforeScroll();
  const bool found = LocateRecord(keyFields, keyValues, options);
  if (found) DoAfterScroll();
  return found;
}

Variant TDataSet::Lookup(const String& keyFields, const Variant& keyValues, const String& resultFields) {
  CheckBrowseMode();
  const TBookmarkStr saved = Bookmark();
  const int savedRow = fActiveRecord;
  Variant result = Variant::Null();
  TControlsGuard quiet(*this);
  TCounterGuard noScrollEvents(fScrollEventLock);
  if (LocateRecord(keyFields, keyValues, {})) {
    result = FieldValues(resultFields);
    // Lookup reads; it does not move the cursor.
    if (!saved.empty()) {
      InternalGotoBookmark(saved);
      fActiveRecord = savedRow;
      Resync({rmExact});
    }
  }
  return result;
}

std::vector<TField*> TDataSet::GetFieldList(const String& fieldNames) const {
  std::vector<TField*> list;
  for (const String& name : SplitFieldNames(fieldNames)) list.push_back(FieldByName(name));
  return list;
}

Variant TDataSet::FieldValues(const String& fieldNames) const {
  const std::vector<TField*> fields = GetFieldList(fieldNames);
  if (fields.size() == 1) return fields[0]->AsVariant();
  std::vector<Variant> values;
  for (TField* f : fields) values.push_back(f->AsVariant());
  return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const String& fieldNames, const Variant& values) {
  const std::vector<TField*> fields = GetFieldList(fieldNames);
  if (fields.size() == 1 && !values.IsArray()) {
    fields[0]->SetAsVariant(values);
    return;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(KeyValue(values, i, fields.size()));
}

void TDataSet::GetFieldNames(TStrings& list) const {
  list.BeginUpdate();
  list.Clear();
  if (FieldCount() > 0 || !fFieldDefs) {
    for (TField* f : fFields) list.Add(f->FieldName());
  } else {
    fFieldDefs->GetItemNames(list);
  }
  list.EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// Editing

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

void TDataSet::InternalPost() {
  for (TField* f : fFields) {
    if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull()) {
      // A control showing the field takes the focus, so the user sees what is missing.
      TField* focus = f;
      DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&focus));
      DatabaseErrorFmt(SFieldRequired, {f->DisplayName()});
    }
  }
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  if (BeforeRefresh) BeforeRefresh(this);
  UpdateCursorPos();
  TryFinally([&] { InternalRefresh(); }, [&] { Resync({}); });
  if (AfterRefresh) AfterRefresh(this);
}

void TDataSet::ClearFields() {
  if (!dsEditModes.Contains(fState)) DatabaseError(SNotEditing, this);
  DataEvent(deCheckBrowseMode, 0);
  InternalInitRecord(*ActiveBuffer());
  DataEvent(deRecordChange, 0);
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField*, TBlobStreamMode) { return nullptr; }

// ---------------------------------------------------------------------------------------------
// Data events

void TDataSet::SetState(TDataSetState state) {
  if (fState == state) return;
  fState = state;
  fModified = false;
  DataEvent(deUpdateState, 0);
}

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
      if (field && (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc)) fModified = true;
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
    for (TDataSource* source : sources) source->DataEvent(event, info);
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
